// Fuzz target: one control driven by a program of exported calls and window
// messages (keys, characters, mouse, wheel, size, paint, timers) in every
// encoding and wrap mode. After every step the caret, its row and the block
// lie inside the text and the rows; buffers are written to exactly the sizes
// announced; at the end the rows equal a fresh layout, undoing everything
// gives back the first bytes and redoing it the last ones. Every step the row
// of a position and the first row of a paragraph agree with plain searches of
// the row table, and on small texts the rows now and then equal a fresh layout.
// A copy pasted back over its own selection changes no byte; pasted into a
// document of another encoding it is the clipboard's text converted.
//
// Input: byte 0 picks the encoding, the wrap mode and the page-break code,
// then each step is an opcode byte followed by the bytes it takes (missing
// bytes read as 0).
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

// A failed check is a finding: report it and stop, as a crash would.
#define FUZZ_CHECK(cond)                                                             \
  do {                                                                               \
    if (!(cond)) {                                                                   \
      std::fprintf(stderr, "check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
      std::abort();                                                                  \
    }                                                                                \
  } while (0)

class Reader {
 public:
  Reader(const uint8_t* p, size_t n) : m_p(p), m_n(n) {}
  bool More() const { return m_i < m_n; }
  uint8_t Byte() { return m_i < m_n ? m_p[m_i++] : 0; }
  int Small(int nRange) { return Byte() % nRange; }
  // A position: mostly near the text, sometimes anything at all.
  int Pos(int nLen) {
    const uint8_t b = Byte();
    if (b >= 250)
      return static_cast<int>(static_cast<int32_t>(Byte() << 24 | Byte() << 16 | Byte() << 8 | Byte()));
    return nLen > 0 ? static_cast<int>((b * 0x101u + Byte()) % static_cast<unsigned>(nLen + 3)) - 1
                    : b % 4 - 1;
  }
  // Up to nMax bytes of data.
  std::vector<char> Data(size_t nMax) {
    const size_t n = std::min<size_t>(Byte() % (nMax + 1), m_n - std::min(m_i, m_n));
    std::vector<char> out(m_p + m_i, m_p + m_i + n);
    m_i += n;
    return out;
  }

 private:
  const uint8_t* m_p;
  size_t m_n;
  size_t m_i = 0;
};

HWND Parent() {
  static HWND hParent = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "MirelFuzzParent";
    wc.hInstance = GetModuleHandleA(nullptr);
    RegisterClassA(&wc);
    HWND h = CreateWindowExA(0, "MirelFuzzParent", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700, 500,
                             nullptr, nullptr, wc.hInstance, nullptr);
    return h;
  }();
  return hParent;
}

std::vector<BYTE> FileBytes(HWND h) {
  const int n = Mirel_GetFileBuffer(h, nullptr, 0, INT_MAX);
  FUZZ_CHECK(n >= 0);
  std::vector<BYTE> out(static_cast<size_t>(n));
  if (n > 0) FUZZ_CHECK(Mirel_GetFileBuffer(h, reinterpret_cast<char*>(out.data()), 0, INT_MAX) == n);
  return out;
}

// A read export writes exactly the size it announced, never past it.
template <typename T, typename F>
void CheckExactSize(F read) {
  const int n = read(static_cast<T*>(nullptr));
  FUZZ_CHECK(n >= 0 && n < (1 << 26));
  constexpr size_t kGuard = 16;
  std::vector<T> buf(static_cast<size_t>(n) + kGuard);
  std::memset(buf.data(), 0xA5, buf.size() * sizeof(T));
  const int nWritten = read(buf.data());
  FUZZ_CHECK(nWritten == n);
  const BYTE* pTail = reinterpret_cast<const BYTE*>(buf.data() + n);
  for (size_t i = 0; i < kGuard * sizeof(T); ++i) FUZZ_CHECK(pTail[i] == 0xA5);
}

// Caret, its row and the block lie inside the text and the row table.
void CheckCaret(CMirelDoc& doc) {
  if (doc.pContents == nullptr) return;
  const DWORD nLen = doc.GetContentsSize();
  FUZZ_CHECK(doc.nLineCount >= 1 && doc.pLines != nullptr);
  FUZZ_CHECK(doc.nCaretPos >= 0 && static_cast<DWORD>(doc.nCaretPos) <= nLen);
  FUZZ_CHECK(doc.cli >= 0 && doc.cli < doc.nLineCount);
  const MIREL_LINE& row = doc.pLines[doc.cli];
  FUZZ_CHECK(row.nStart <= static_cast<DWORD>(doc.nCaretPos));
  FUZZ_CHECK(static_cast<DWORD>(doc.nCaretPos) <= MrRowEnd(row) || doc.cli == doc.nLineCount - 1);
  if (!doc.block.IsColumnBlock()) {
    FUZZ_CHECK(doc.block.GetStartPtr() <= doc.block.GetEndPtr());
    FUZZ_CHECK(doc.block.GetEndPtr() <= nLen);
  }
  const MIREL_LINE& last = doc.pLines[doc.nLineCount - 1];
  FUZZ_CHECK(MrRowEnd(last) <= nLen);
}

// The row of a position as a plain binary search over the row table finds
// it: the first probed row that holds it (start to end, both included), else
// the last row that starts at or before it.
int PlainRowOfPos(const CMirelDoc& doc, DWORD nPos) {
  int lo = 0;
  int hi = doc.nLineCount - 1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const MIREL_LINE& row = doc.pLines[mid];
    if (row.nStart <= nPos && nPos <= MrRowEnd(row)) return mid;
    if (nPos < row.nStart) {
      hi = mid - 1;
    } else {
      lo = mid + 1;
    }
  }
  int nLast = 0;
  for (int i = 0; i < doc.nLineCount && doc.pLines[i].nStart <= nPos; ++i) nLast = i;
  return nLast;
}

// The first row of a paragraph as a plain scan finds it, or -1.
int PlainFirstRowOfParagraph(const CMirelDoc& doc, DWORD nPara) {
  for (int i = 0; i < doc.nLineCount; ++i) {
    if (doc.pLines[i].nPara == nPara) return i;
  }
  return -1;
}

// The look-ups through the indexes beside the row table give what plain
// searches of the table give: at the positions around the caret and the
// block and a spread of others each step, everywhere when bEverywhere.
// Small texts only, to stay cheap.
void CheckLookups(CMirelDoc& doc, bool bEverywhere) {
  if (doc.pContents == nullptr || doc.pLines == nullptr || doc.nLineCount <= 0) return;
  const DWORD nLen = doc.GetContentsSize();
  if (nLen > 4096) return;
  std::vector<DWORD> positions;
  if (bEverywhere) {
    for (DWORD p = 0; p <= nLen + 1; ++p) positions.push_back(p);
  } else {
    for (int d = -3; d <= 3; ++d) {
      for (const long long nBase :
           {static_cast<long long>(doc.nCaretPos), static_cast<long long>(doc.block.GetStartPtr()),
            static_cast<long long>(doc.block.GetEndPtr())}) {
        if (nBase + d >= 0) positions.push_back(static_cast<DWORD>(nBase + d));
      }
    }
    for (DWORD k = 0; k <= 8; ++k) positions.push_back(nLen * k / 8);
  }
  // The position index follows every edit and layout (a stale one would
  // only cost speed, since the look-ups check it, so check it here).
  if (doc.nLineCount >= 32) FUZZ_CHECK(doc.RowSamplesInStep());
  for (const DWORD p : positions) {
    if (p > nLen + 1) continue;
    FUZZ_CHECK(doc.GetLineFromPos(p) == PlainRowOfPos(doc, p));
  }
  const DWORD nLastPara = doc.pLines[doc.nLineCount - 1].nPara;
  const DWORD nParaStep = bEverywhere ? 1 : std::max<DWORD>(1, nLastPara / 8);
  for (DWORD q = 0; q <= nLastPara + 2; q += nParaStep)
    FUZZ_CHECK(doc.FindFirstRowOfParagraph(q) == PlainFirstRowOfParagraph(doc, q));
}

// The rows kept by the edits equal a layout of the whole text.
void CheckRows(CMirelDoc& doc) {
  if (doc.pContents == nullptr) return;
  const std::vector<MIREL_LINE> incremental(doc.pLines, doc.pLines + doc.nLineCount);
  FUZZ_CHECK(doc.ReloadContents());
  FUZZ_CHECK(static_cast<size_t>(doc.nLineCount) == incremental.size());
  for (size_t i = 0; i < incremental.size(); ++i) {
    const MIREL_LINE& a = incremental[i];
    const MIREL_LINE& b = doc.pLines[i];
    FUZZ_CHECK(a.nStart == b.nStart && a.nPara == b.nPara && a.nSubLine == b.nSubLine && a.nLen == b.nLen &&
               a.nKind == b.nKind);
  }
}

// The clipboard's Unicode text, up to its terminator.
std::vector<WCHAR> ClipboardUnicode() {
  std::vector<WCHAR> out;
  FUZZ_CHECK(OpenClipboard(Parent()));
  if (HANDLE hData = GetClipboardData(CF_UNICODETEXT)) {
    const WCHAR* p = static_cast<const WCHAR*>(GlobalLock(hData));
    const size_t nUnits = GlobalSize(hData) / sizeof(WCHAR);
    for (size_t i = 0; i < nUnits && p[i] != 0; ++i) out.push_back(p[i]);
    GlobalUnlock(hData);
  }
  CloseClipboard();
  return out;
}

std::vector<BYTE> TextBytes(HWND h) {
  const std::vector<BYTE> file = FileBytes(h);
  const size_t nMark = file.size() - static_cast<size_t>(Mirel_GetContentsSize(h));
  return std::vector<BYTE>(file.begin() + static_cast<std::ptrdiff_t>(nMark), file.end());
}

// A copy pasted into a document of another encoding (UTF-8, or UTF-16 after
// a UTF-8 copy) is the clipboard's Unicode text as the host would insert it
// there: never the copied bytes as they are.
void CheckPasteIntoAnotherEncoding(const CMirelDoc& doc) {
  const bool bFromUtf8 =
      doc.nFileEncoding == MIREL_ENCODING_UTF8 || doc.nFileEncoding == MIREL_ENCODING_UTF8_BOM;
  const int nOther = bFromUtf8 ? MIREL_ENCODING_UTF16LE : MIREL_ENCODING_UTF8;
  HWND hPasted = Mirel_Create(Parent(), 8, 0, 0, 200, 100, 0, WS_CHILD | WS_VISIBLE);
  HWND hInserted = Mirel_Create(Parent(), 9, 0, 0, 200, 100, 0, WS_CHILD | WS_VISIBLE);
  FUZZ_CHECK(hPasted != nullptr && hInserted != nullptr);
  for (HWND h : {hPasted, hInserted}) {
    FUZZ_CHECK(Mirel_SetFileEncoding(h, nOther) == 1);
    FUZZ_CHECK(Mirel_NewFile(h) == 1);
  }
  const std::vector<WCHAR> text = ClipboardUnicode();
  SendMessageA(hPasted, WM_PASTE, 0, 0);
  if (!text.empty()) Mirel_InsertW(hInserted, text.data(), static_cast<int>(text.size()), FALSE);
  FUZZ_CHECK(TextBytes(hPasted) == TextBytes(hInserted));
  Mirel_Destroy(hPasted);
  Mirel_Destroy(hInserted);
}

// Copying a selection and pasting it over itself gives back the very bytes,
// in the text or the hex view (a column block pastes as a column: not here);
// in another document the copy is the text converted.
// TRUE when the view was switched, which starts the undo history afresh.
bool CheckCopyPasteRoundTrip(HWND h, CMirelDoc& doc, Reader& in) {
  const uint8_t nHow = in.Byte();
  const int nFrom = in.Pos(static_cast<int>(doc.GetContentsSize()));
  const int nTo = in.Pos(static_cast<int>(doc.GetContentsSize()));
  CMirel* pEdit = doc.GetActiveEdit();
  if (doc.pContents == nullptr || pEdit == nullptr || doc.block.IsColumnMode()) return false;
  const int nView = doc.nViewType;
  const int nRoundTripView = (nHow & 1) ? MIREL_VIEW_TYPE_HEX : MIREL_VIEW_TYPE_TEXT;
  Mirel_SetViewType(h, nRoundTripView);
  if (nHow & 2) {
    SendMessageA(h, WM_MIREL_SELECTALL, 0, 0);
  } else {
    Mirel_SetSel(h, nFrom, nTo, TRUE);
  }
  // Without a selection the text view copies the caret's line and pastes it
  // in front: no round trip.
  if (doc.block.IsNotEmpty()) {
    const std::vector<BYTE> before = FileBytes(h);
    if (doc.Copy(pEdit)) {
      CheckPasteIntoAnotherEncoding(doc);
      doc.Paste(pEdit);
      FUZZ_CHECK(FileBytes(h) == before);
    }
  }
  Mirel_SetViewType(h, nView);
  return nRoundTripView != nView;
}

constexpr UINT kKeys[] = {VK_LEFT, VK_RIGHT, VK_UP,     VK_DOWN,   VK_HOME, VK_END,    VK_PRIOR,
                          VK_NEXT, VK_BACK,  VK_DELETE, VK_RETURN, VK_TAB,  VK_ESCAPE, VK_INSERT};
constexpr BYTE kEncodings[] = {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE,  MIREL_ENCODING_UTF16BE,
                               MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF8_BOM, MIREL_ENCODING_ANSI};

void RunProgram(Reader& in) {
  const uint8_t nSetup = in.Byte();
  HWND h = Mirel_Create(Parent(), 7, 0, 0, 400, 300, 0, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
  FUZZ_CHECK(h != nullptr);
  CMirelDoc* pdoc = MirelFindDoc(h);
  FUZZ_CHECK(pdoc != nullptr);
  CMirelDoc& doc = *pdoc;
  doc.nFileEncoding = kEncodings[nSetup % 6];
  doc.nCodePage = (nSetup % 6) == 5 ? 949 : 0;
  doc.nWrapMode = static_cast<BYTE>((nSetup / 6) % 4);
  // Page breaks: none, the form feed, or a letter typed often.
  static constexpr int kPageBreaks[] = {0, '\f', 'x'};
  Mirel_SetPageBreakCode(h, kPageBreaks[(nSetup / 24) % 3]);
  FUZZ_CHECK(Mirel_NewFile(h) == 1);
  SetFocus(h);
  SendMessageA(h, WM_SIZE, 0, MAKELPARAM(400, 300));
  std::vector<BYTE> initial = FileBytes(h);
  bool bHistoryComplete = true;

  for (int nStep = 0; in.More() && nStep < 400; ++nStep) {
    const int nLen = static_cast<int>(doc.GetContentsSize());
    switch (in.Byte() % 24) {
      case 0: {
        const std::vector<char> d = in.Data(48);
        Mirel_InsertA(h, d.data(), static_cast<int>(d.size()), TRUE);
        break;
      }
      case 1: {
        // Without undo the history can no longer give back the first bytes.
        const std::vector<char> d = in.Data(48);
        const BOOL bUndo = in.Byte() & 1;
        if (Mirel_InsertU(h, d.data(), static_cast<int>(d.size()), bUndo) && !bUndo && !d.empty())
          bHistoryComplete = false;
        break;
      }
      case 2: {
        std::vector<char> d = in.Data(48);
        d.resize(d.size() & ~size_t{1});
        Mirel_InsertW(h, reinterpret_cast<const WCHAR*>(d.data()), static_cast<int>(d.size() / 2), TRUE);
        break;
      }
      case 3:
        if (in.Byte() & 1) {
          Delete(h, 0);
        } else {
          DeleteWord(h);
        }
        break;
      case 4:
        Mirel_SetSel(h, in.Pos(nLen), in.Pos(nLen), in.Byte() & 1);
        break;
      case 5:
      case 6:
      case 7: {
        const UINT vk = kKeys[in.Small(sizeof(kKeys) / sizeof(kKeys[0]))];
        SendMessageA(h, WM_MIREL_KEYCOMMAND, vk, in.Byte() & 0x1C);
        break;
      }
      case 8: {
        static const char kChars[] = "a( )[]{}<>\t\r\n.x\xB0\xA1\xC3\xA9";
        const uint8_t b = in.Byte();
        const UINT ch = b < 200 ? static_cast<BYTE>(kChars[b % (sizeof(kChars) - 1)]) : b;
        SendMessageA(h, WM_CHAR, ch, 1);
        break;
      }
      case 9:
      case 10: {
        static const UINT kMouse[] = {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONUP,
                                      WM_LBUTTONDBLCLK};
        const UINT msg = kMouse[in.Small(5)];
        const int x = static_cast<int>(in.Byte()) * 3 - 100;
        const int y = static_cast<int>(in.Byte()) * 2 - 60;
        SendMessageA(
            h, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON,
            MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y))));
        break;
      }
      case 11:
        SendMessageA(h, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<short>((in.Byte() - 128) * 8)), 0);
        break;
      case 12: {
        const int w = in.Small(8) == 0 ? 0 : 20 + in.Byte() * 3;
        const int hgt = in.Small(8) == 0 ? 0 : 10 + in.Byte() * 2;
        MoveWindow(h, 0, 0, w, hgt, FALSE);
        SendMessageA(h, WM_SIZE, 0, MAKELPARAM(w, hgt));
        break;
      }
      case 13:
        InvalidateRect(h, nullptr, FALSE);
        UpdateWindow(h);
        break;
      case 14:
        SendMessageA(h, WM_TIMER, (in.Byte() & 1) ? TIMER_AUTOSCROLL : TIMER_DBLCLK_WAIT, 0);
        break;
      case 15:
        SendMessageA(h, (in.Byte() & 1) ? WM_UNDO : WM_MIREL_REDO, 0, 0);
        break;
      case 16:
        switch (in.Small(4)) {
          case 0:
            Mirel_StartUndoGroup(h);
            break;
          case 1:
            Mirel_EndUndoGroup(h);
            break;
          default:
            Mirel_SeparateUndo(h);
            break;
        }
        break;
      case 17: {
        const int nValue = static_cast<int8_t>(in.Byte());
        switch (in.Small(12)) {
          case 0:
            Mirel_SetTabSize(h, nValue);
            break;
          case 1:
            Mirel_SetLineSpacing(h, nValue * 4);
            break;
          case 2:
            Mirel_SetOverwriteMode(h, nValue & 1);
            break;
          case 3:
            Mirel_SetColumnMode(h, nValue & 1);
            break;
          case 4:
            Mirel_SetAutoSelect(h, nValue & 1);
            break;
          case 5:
            Mirel_EnableLineNo(h, nValue & 1);
            break;
          case 6:
            Mirel_EnableRuler(h, nValue & 1);
            break;
          case 7:
            Mirel_EnableIndicatorMargin(h, nValue & 1);
            break;
          case 8:
            Mirel_SetShowMatchingBrace(h, nValue & 1);
            break;
          case 9:
            Mirel_SetReadOnly(h, nValue & 1);
            break;
          case 10:
            Mirel_SetActiveLineType(h, nValue & 3);
            break;
          default:
            Mirel_SetTabToSpace(h, nValue & 1);
            break;
        }
        break;
      }
      case 18: {
        const int nFrom = in.Pos(nLen);
        const int nTo = in.Pos(nLen);
        CheckExactSize<char>([&](char* p) { return Mirel_GetTextA(h, p, nFrom, nTo); });
        CheckExactSize<WCHAR>([&](WCHAR* p) { return Mirel_GetTextW(h, p, nFrom, nTo); });
        CheckExactSize<char>([&](char* p) { return Mirel_GetTextU(h, p, nFrom, nTo); });
        CheckExactSize<char>([&](char* p) { return Mirel_GetFileBuffer(h, p, nFrom, nTo); });
        break;
      }
      case 19: {
        int s = 0;
        int e = 0;
        Mirel_GetCurrentWord(h, in.Pos(nLen), &s, &e);
        Mirel_GetCurrentWordInLine(h, in.Pos(nLen), &s, &e);
        Mirel_GetParagraph(h, in.Pos(nLen), &s, &e);
        Mirel_IsDelimiter(h, "");
        break;
      }
      case 20:
        Mirel_Goto(h, in.Pos(nLen), in.Pos(nLen));
        break;
      case 21:
        SendMessageA(h, WM_MIREL_SELECTALL, 0, 0);
        break;
      case 22:
        SendMessageA(h, WM_KEYDOWN, kKeys[in.Small(sizeof(kKeys) / sizeof(kKeys[0]))], 1);
        break;
      default:
        switch (in.Small(16)) {
          case 0:
            Mirel_Reset(h);
            initial = FileBytes(h);
            bHistoryComplete = true;
            break;
          case 1:
            Mirel_SetWordWrap(h, in.Small(5));
            break;
          case 2:
            Mirel_InsertPageBreak(h);
            break;
          case 3:
            if (CheckCopyPasteRoundTrip(h, doc, in)) {
              initial = FileBytes(h);
              bHistoryComplete = true;
            }
            break;
          default:
            break;
        }
        break;
    }
    CheckCaret(doc);
    CheckLookups(doc, false);
    // Every eighth step on a small text the rows so far equal a fresh layout
    // (not every step: the indexes kept across edits are under test too).
    if ((nStep & 7) == 7 && doc.GetContentsSize() <= 4096) CheckRows(doc);
  }

  // Let go of the mouse, then the rows and the history.
  SendMessageA(h, WM_LBUTTONUP, 0, 0);
  CheckLookups(doc, true);
  CheckRows(doc);
  Mirel_SetReadOnly(h, FALSE);
  const std::vector<BYTE> final = FileBytes(h);
  // As many redo steps as undo steps: steps undone before the end stay undone.
  int nUndone = 0;
  while (Mirel_CanUndo(h) && nUndone < 100000) {
    SendMessageA(h, WM_UNDO, 0, 0);
    ++nUndone;
  }
  if (bHistoryComplete) FUZZ_CHECK(FileBytes(h) == initial);
  CheckCaret(doc);
  for (int i = 0; i < nUndone; ++i) {
    FUZZ_CHECK(Mirel_CanRedo(h));
    SendMessageA(h, WM_MIREL_REDO, 0, 0);
  }
  if (bHistoryComplete) FUZZ_CHECK(FileBytes(h) == final);
  CheckCaret(doc);
  CheckRows(doc);
  Mirel_Destroy(h);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  Reader in(pData, nSize);
  RunProgram(in);
  return 0;
}
