// The text view's input method: characters it delivers (WM_IME_CHAR), the
// inline composition written into the text while the user composes, the
// candidate window's position and the Hangul-to-Hanja conversion.
//
// The composition text is in the document but never in the undo history:
// what it replaced is kept in imeOrigin and put back before the result is
// recorded as one replace step, or when the composition is cancelled.
#include <windows.h>

#include <imm.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cencodings.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelviewtext.h"
#include "mirel/mirel.h"

namespace {

using Bytes = std::vector<BYTE>;

constexpr BYTE kImeLanguageChineseTraditional = 1;
constexpr BYTE kImeLanguageJapanese = 2;
constexpr BYTE kImeLanguageKorean = 3;
constexpr BYTE kImeLanguageChineseSimplified = 4;

BOOL IsUtf8Encoding(int nEncoding) {
  return nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM;
}

// Input-method text (code-page bytes) in the document encoding, with the
// document offset of every code-page byte offset (one more than the bytes,
// so the string's end maps too).
struct ImeText {
  Bytes bytes;
  std::vector<DWORD> offsetOf;
};

ImeText ToDocumentText(const CMirelDoc& doc, const char* pText, size_t nLen) {
  ImeText out;
  out.offsetOf.assign(nLen + 1, 0);
  const UINT nCodePage = static_cast<UINT>(doc.nCodePage);
  const BOOL bWide = IsWideEncoding(doc.nFileEncoding);
  const BOOL bUtf8 = IsUtf8Encoding(doc.nFileEncoding);
  for (size_t i = 0; i < nLen;) {
    const BYTE b = static_cast<BYTE>(pText[i]);
    const size_t n = i + 1 < nLen && IsDBCSLeadByteEx(nCodePage, b) ? 2 : 1;
    for (size_t k = 0; k < n; ++k) out.offsetOf[i + k] = static_cast<DWORD>(out.bytes.size());
    if (!bWide && !bUtf8) {
      out.bytes.insert(out.bytes.end(), pText + i, pText + i + n);
    } else {
      WCHAR units[2] = {0, 0};
      int nUnits = MultiByteToWideChar(nCodePage, 0, pText + i, static_cast<int>(n), units, 2);
      if (nUnits <= 0) {
        units[0] = 0xFFFD;  // a character the code page cannot read is never dropped
        nUnits = 1;
      }
      if (bWide) {
        for (int u = 0; u < nUnits; ++u) {
          out.bytes.push_back(static_cast<BYTE>(units[u] & 0xFF));
          out.bytes.push_back(static_cast<BYTE>(units[u] >> 8));
        }
      } else {
        BYTE utf8[8];
        const int nBytes = Utf16ToUtf8(units, nUnits, utf8, static_cast<int>(sizeof utf8));
        out.bytes.insert(out.bytes.end(), utf8, utf8 + nBytes);
      }
    }
    i += n;
  }
  out.offsetOf[nLen] = static_cast<DWORD>(out.bytes.size());
  return out;
}

// A document character in code-page bytes (empty when it has none).
Bytes ToCodePage(const CMirelDoc& doc, const BYTE* pChar, DWORD nLen) {
  if (!IsWideEncoding(doc.nFileEncoding) && !IsUtf8Encoding(doc.nFileEncoding))
    return Bytes(pChar, pChar + nLen);
  std::vector<WCHAR> units(nLen + 1, 0);
  int nUnits = 0;
  if (IsWideEncoding(doc.nFileEncoding)) {
    for (DWORD i = 0; i + 2 <= nLen; i += 2)
      units[static_cast<size_t>(nUnits++)] = static_cast<WCHAR>(pChar[i] | (pChar[i + 1] << 8));
  } else {
    nUnits = Utf8ToUtf16(pChar, static_cast<int>(nLen), units.data(), static_cast<int>(units.size()));
  }
  if (nUnits <= 0) return Bytes();
  char buf[16];
  const int n = WideCharToMultiByte(static_cast<UINT>(doc.nCodePage), 0, units.data(), nUnits, buf,
                                    static_cast<int>(sizeof buf), nullptr, nullptr);
  return n > 0 ? Bytes(buf, buf + n) : Bytes();
}

// Replaces nOldLen bytes at nPos by data, recorded for undo or not. The
// unrecorded splices show a composition and take it back before its result
// is recorded, so the history stays valid through them.
BOOL Splice(CMirelDoc& doc, DWORD nPos, DWORD nOldLen, const Bytes& data, BOOL bRecord) {
  if (nOldLen == 0 && data.empty()) return TRUE;
  CMrKeepUndoHistory keep(doc);
  // The document's own guard ends a composition before any other change.
  struct Own {
    CMirelDoc& doc;
    explicit Own(CMirelDoc& d) : doc(d) { ++doc.nImeSplicing; }
    ~Own() { --doc.nImeSplicing; }
    Own(const Own&) = delete;
    Own& operator=(const Own&) = delete;
  } own(doc);
  if (nOldLen == 0) return doc.InsertContents(nPos, data.data(), static_cast<DWORD>(data.size()), bRecord);
  if (data.empty()) return doc.DeleteContents(nPos, nOldLen, bRecord);
  return doc.ReplaceContents(nPos, nOldLen, bRecord, data.data(), static_cast<DWORD>(data.size()), bRecord);
}

Bytes TextAt(CMirelDoc& doc, DWORD nPos, DWORD nLen) {
  const MrDocText text = MrGetDocText(doc);
  if (text.p == nullptr || nPos > text.nLen || nLen > text.nLen - nPos) return Bytes();
  return Bytes(text.p + nPos, text.p + nPos + nLen);
}

// What a new composition, a typed character or a result replaces at the
// caret: the selection, else in overwrite mode the character under the caret
// (never a line end); spaces fill virtual space before it.
struct Target {
  DWORD nPos = 0;
  DWORD nOldLen = 0;
  Bytes prefix;
};

Target TargetAtCaret(CMirelDoc& doc) {
  Target t;
  t.nPos = MrCaretInText(doc);
  DWORD nSelStart = 0;
  DWORD nSelEnd = 0;
  if (MrStreamSelection(doc, &nSelStart, &nSelEnd)) {
    t.nPos = nSelStart;
    t.nOldLen = nSelEnd - nSelStart;
  } else if (doc.nVirtualSpace > 0) {
    const int nSize = doc.MakeSpaces(doc.nVirtualSpace, nullptr, 0);
    t.prefix.resize(static_cast<size_t>(std::max(nSize, 0)));
    if (nSize > 0) doc.MakeSpaces(doc.nVirtualSpace, t.prefix.data(), nSize);
  } else if (doc.IsOverwriteMode()) {
    DWORD nLen = 0;
    if (t.nPos < doc.GetContentsSize() && !doc.IsNewLineChar(t.nPos, &nLen))
      t.nOldLen = std::min(nLen, doc.GetContentsSize() - t.nPos);
  }
  return t;
}

// Reads one part of the composition into a buffer of the size the input
// method reports; empty when it has none or the read fails.
Bytes ReadPart(HIMC hIMC, DWORD dwIndex) {
  const LONG nSize = ImmGetCompositionStringA(hIMC, dwIndex, nullptr, 0);
  if (nSize <= 0) return Bytes();
  Bytes buf(static_cast<size_t>(nSize));
  const LONG nRead = ImmGetCompositionStringA(hIMC, dwIndex, buf.data(), static_cast<DWORD>(buf.size()));
  if (nRead <= 0) return Bytes();
  buf.resize(std::min(static_cast<size_t>(nRead), buf.size()));
  return buf;
}

void FreeImeBuffers(CMirelDoc& doc) {
  std::free(doc.pIMEAttr);
  std::free(doc.pIMEClause);
  doc.pIMEAttr = nullptr;
  doc.pIMEClause = nullptr;
  doc.nIMEAttrLen = 0;
}

// Attributes, clauses and cursor of a composition, moved from the input
// method's code-page offsets to the offsets of its text in the document.
// Parts the input method did not give in full are left out.
void StoreCompositionParts(CMirelDoc& doc, HIMC hIMC, LPARAM flags, const ImeText& comp, size_t nCompBytes) {
  const size_t nDocLen = comp.bytes.size();
  if (flags & GCS_COMPATTR) {
    const Bytes attr = ReadPart(hIMC, GCS_COMPATTR);
    if (attr.size() >= nCompBytes && nDocLen > 0) {
      BYTE* p = static_cast<BYTE*>(std::calloc(nDocLen, 1));
      if (p != nullptr) {
        for (size_t i = 0; i < nCompBytes; ++i) {
          for (DWORD d = comp.offsetOf[i]; d < comp.offsetOf[i + 1]; ++d) p[d] = attr[i];
        }
        // A double-byte character's trail byte maps to nothing; its lead
        // byte's attribute covers all of the character.
        doc.pIMEAttr = p;
        doc.nIMEAttrLen = static_cast<int>(nDocLen);
      }
    }
  }
  if (flags & GCS_CURSORPOS) {
    const LONG nCursor = ImmGetCompositionStringA(hIMC, GCS_CURSORPOS, nullptr, 0);
    doc.nIMECursor =
        static_cast<int>(comp.offsetOf[std::clamp<size_t>(nCursor < 0 ? 0 : nCursor, 0, nCompBytes)]);
  }
  if (flags & GCS_COMPCLAUSE) {
    const Bytes raw = ReadPart(hIMC, GCS_COMPCLAUSE);
    const size_t nCount = raw.size() / sizeof(DWORD);
    if (nCount >= 2) {
      // Offsets rising, within the text, ending with its length.
      std::vector<int> clause;
      for (size_t k = 0; k < nCount; ++k) {
        DWORD c = 0;
        std::memcpy(&c, raw.data() + k * sizeof(DWORD), sizeof c);
        const int d = static_cast<int>(comp.offsetOf[std::min<size_t>(c, nCompBytes)]);
        if (clause.empty() || d > clause.back()) clause.push_back(d);
        if (static_cast<size_t>(d) >= nDocLen) break;
      }
      if (clause.front() != 0) clause.insert(clause.begin(), 0);
      if (static_cast<size_t>(clause.back()) != nDocLen) clause.push_back(static_cast<int>(nDocLen));
      int* p = static_cast<int*>(std::malloc(clause.size() * sizeof(int)));
      if (p != nullptr) {
        std::copy(clause.begin(), clause.end(), p);
        doc.pIMEClause = p;
      }
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Composition bookkeeping

DWORD CMirelViewText::ImeShownLength() const {
  const CMirelDoc& doc = *pdoc;
  const DWORD nStart = imeOrigin.nStart;
  const DWORD nShown = imeOrigin.nPrefixLen + static_cast<DWORD>(std::max(doc.nIMECompLen, 0));
  const BOOL bHeld = imeOrigin.bActive && doc.nIMECompPos >= 0 &&
                     static_cast<DWORD>(doc.nIMECompPos) == nStart + imeOrigin.nPrefixLen &&
                     nStart <= doc.GetContentsSize() && nShown <= doc.GetContentsSize() - nStart;
  return bHeld ? nShown : kNotHeld;
}

BOOL CMirelViewText::RestoreImeOrigin() {
  CMirelDoc& doc = *pdoc;
  const DWORD nStart = imeOrigin.nStart;
  const DWORD nShown = ImeShownLength();
  BOOL bDone = FALSE;
  if (nShown != kNotHeld) {
    bDone = Splice(doc, nStart, nShown, imeOrigin.replaced, FALSE);
    if (bDone) doc.SetModified(imeOrigin.bModified);
  }
  imeOrigin.bActive = FALSE;
  doc.nIMECompLen = 0;
  return bDone;
}

BOOL CMirelViewText::CommitImeText(const Bytes& text) {
  CMirelDoc& doc = *pdoc;
  if (text.empty()) return FALSE;
  Target t;
  const BOOL bFromComposition = doc.nIMECompLen > 0 && imeOrigin.bActive;
  if (bFromComposition) {
    const Bytes prefix = TextAt(doc, imeOrigin.nStart, imeOrigin.nPrefixLen);
    const DWORD nStart = imeOrigin.nStart;
    const DWORD nOldLen = static_cast<DWORD>(imeOrigin.replaced.size());
    if (!RestoreImeOrigin()) return FALSE;
    t.nPos = nStart;
    t.nOldLen = nOldLen;
    t.prefix = prefix;
  } else {
    doc.nIMECompLen = 0;
    imeOrigin.bActive = FALSE;
    t = TargetAtCaret(doc);
  }
  Bytes data = t.prefix;
  data.insert(data.end(), text.begin(), text.end());
  // A composition's result is a step of its own, not merged into earlier
  // typing; characters typed without one merge as keys do.
  if (bFromComposition) doc.SeparateUndo();
  if (!Splice(doc, t.nPos, t.nOldLen, data, TRUE)) return FALSE;
  doc.nVirtualSpace = 0;
  doc.nCaretPos = static_cast<int>(MrCaretOffCharMiddle(doc, t.nPos + static_cast<DWORD>(data.size()), TRUE));
  doc.cli = doc.GetLineFromPos(static_cast<DWORD>(doc.nCaretPos));
  doc.bHanjaConvert = FALSE;
  FinishEdit(t.nPos);
  return TRUE;
}

void CMirelViewText::CancelImeComposition() {
  CMirelDoc& doc = *pdoc;
  const DWORD nStart = imeOrigin.nStart;
  const int nVirtualSpace = imeOrigin.nVirtualSpace;
  const BOOL bHad = imeOrigin.bActive;
  if (!RestoreImeOrigin() || !bHad) return;
  doc.nIMECompPos = static_cast<int>(nStart);
  doc.nCaretPos = static_cast<int>(nStart);
  doc.cli = doc.GetLineFromPos(nStart);
  FinishEdit(nStart);
  // The caret goes back to the virtual column the composition started at.
  if (nVirtualSpace > 0) {
    doc.nVirtualSpace = nVirtualSpace;
    UpdateCaret(1, 1);
  }
}

void CMirelViewText::DropImeComposition(MrImeDrop how) {
  if (pdoc == nullptr || !imeOrigin.bActive) return;
  CMirelDoc& doc = *pdoc;
  if (how == MrImeDrop::kTakeBack) {
    CancelImeComposition();
  } else if (how == MrImeDrop::kKeepAsText && doc.nKeepUndoHistory == 0) {
    // The text stays as shown and the history learns of it as a step of its
    // own; text it cannot account for makes its older records unusable.
    const DWORD nShown = ImeShownLength();
    BOOL bRecorded = FALSE;
    if (nShown != kNotHeld) {
      const Bytes shown = TextAt(doc, imeOrigin.nStart, nShown);
      doc.SeparateUndo();
      bRecorded = shown.size() == nShown &&
                  doc.undo.AddReplace(static_cast<LONG>(imeOrigin.nStart), imeOrigin.replaced.data(),
                                      static_cast<LONG>(imeOrigin.replaced.size()), shown.data(),
                                      static_cast<LONG>(shown.size()));
      doc.SeparateUndo();
    }
    if (!bRecorded) doc.undo.ForgetRecords();
  }
  imeOrigin.bActive = FALSE;
  doc.nIMECompLen = 0;
  doc.bIMETarget = FALSE;
  FreeImeBuffers(doc);
  // The input method's composition ends with nothing left to deliver; what
  // it sends on the way finds no composition here.
  const HWND hWnd = pMirel != nullptr ? pMirel->hWndEdit : nullptr;
  HIMC hIMC = hWnd != nullptr ? ImmGetContext(hWnd) : nullptr;
  if (hIMC != nullptr) {
    ImmNotifyIME(hIMC, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
    ImmReleaseContext(hWnd, hIMC);
  }
}

// ---------------------------------------------------------------------------
// Messages

LRESULT CMirelViewText::OnImeChar(WPARAM wParam, LPARAM lParam) {
  (void)lParam;
  if (pdoc == nullptr || pdoc->pContents == nullptr || pdoc->pLines == nullptr) return 0;
  CMirelDoc& doc = *pdoc;
  // A read-only document takes nothing, and shows no composition to replace.
  if (doc.bReadOnly) return 0;
  const BYTE nLead = static_cast<BYTE>((wParam >> 8) & 0xFF);
  const BYTE nLow = static_cast<BYTE>(wParam & 0xFF);
  char chars[2];
  size_t nChars = 0;
  if (nLead != 0 && IsDBCSLeadByteEx(static_cast<UINT>(doc.nCodePage), nLead))
    chars[nChars++] = static_cast<char>(nLead);
  chars[nChars++] = static_cast<char>(nLow);
  // Control characters have keys of their own.
  if (nChars == 1 && (nLow < MR_CHAR_SPACE || nLow == 0x7F)) return 0;
  if (doc.block.IsColumnBlock() && doc.nIMECompLen == 0) {
    TypeInBox(chars, nChars);
    return 0;
  }
  CommitImeText(ToDocumentText(doc, chars, nChars).bytes);
  return 0;
}

LRESULT CMirelViewText::OnImeComposition(WPARAM wParam, LPARAM lParam) {
  if (pdoc == nullptr || pdoc->pContents == nullptr || pdoc->pLines == nullptr || pMirel == nullptr)
    return PassToDefault(WM_IME_COMPOSITION, wParam, lParam);
  CMirelDoc& doc = *pdoc;
  const BOOL bColumn = doc.block.IsColumnBlock();
  if (doc.IsOverwriteMode() && bColumn) {
    MessageBeep(0);
    return 0;
  }
  if (doc.bReadOnly) return 0;
  if (doc.bHanjaConvert || bColumn) return PassToDefault(WM_IME_COMPOSITION, wParam, lParam);

  // A composition whose place in the text changed under it (an edit from
  // elsewhere) is no longer ours to replace.
  if (doc.nIMECompLen > 0 &&
      (doc.nIMECompPos < 0 || static_cast<DWORD>(doc.nIMECompPos) > doc.GetContentsSize() ||
       static_cast<DWORD>(doc.nIMECompLen) > doc.GetContentsSize() - static_cast<DWORD>(doc.nIMECompPos))) {
    doc.nIMECompLen = 0;
    imeOrigin.bActive = FALSE;
  }

  const HWND hWnd = pMirel->hWndEdit;
  if ((lParam & GCS_COMPSTR) == 0) {
    if (lParam & GCS_RESULTSTR) {
      doc.bIMETarget = FALSE;
      // The result replaces the composition as one step; without an input
      // context the system turns it into WM_IME_CHAR messages instead.
      if (doc.nIMECompLen > 0) {
        HIMC hIMC = ImmGetContext(hWnd);
        if (hIMC != nullptr) {
          const Bytes result = ReadPart(hIMC, GCS_RESULTSTR);
          ImmReleaseContext(hWnd, hIMC);
          const ImeText text =
              ToDocumentText(doc, reinterpret_cast<const char*>(result.data()), result.size());
          if (text.bytes.empty()) {
            CancelImeComposition();
          } else {
            CommitImeText(text.bytes);
          }
          return 0;
        }
      }
    } else if (doc.nIMECompLen > 0 || imeOrigin.bActive) {
      CancelImeComposition();
    }
    return PassToDefault(WM_IME_COMPOSITION, wParam, lParam);
  }
  if ((doc.nIMEProperty & IME_PROP_AT_CARET) == 0) return PassToDefault(WM_IME_COMPOSITION, wParam, lParam);

  HIMC hIMC = ImmGetContext(hWnd);
  if (hIMC == nullptr) return 0;
  // A Korean input method ends one syllable and starts the next in one
  // message: the finished syllable goes in first.
  if (lParam & GCS_RESULTSTR) {
    doc.bIMETarget = FALSE;
    const Bytes result = ReadPart(hIMC, GCS_RESULTSTR);
    const ImeText text = ToDocumentText(doc, reinterpret_cast<const char*>(result.data()), result.size());
    if (!text.bytes.empty()) CommitImeText(text.bytes);
  }
  const Bytes compRaw = ReadPart(hIMC, GCS_COMPSTR);
  FreeImeBuffers(doc);
  const ImeText comp = ToDocumentText(doc, reinterpret_cast<const char*>(compRaw.data()), compRaw.size());
  doc.nIMECursor = static_cast<int>(comp.bytes.size());
  if (doc.nIMELanguage != kImeLanguageKorean) StoreCompositionParts(doc, hIMC, lParam, comp, compRaw.size());
  ImmReleaseContext(hWnd, hIMC);

  if (comp.bytes.empty()) {
    // The user emptied the composition: what it replaced comes back.
    CancelImeComposition();
    return 0;
  }
  DWORD nFrom = 0;
  if (doc.nIMECompLen > 0 && imeOrigin.bActive) {
    // Replaced in place, where the composition started.
    const DWORD nPos = static_cast<DWORD>(doc.nIMECompPos);
    if (!Splice(doc, nPos, static_cast<DWORD>(doc.nIMECompLen), comp.bytes, FALSE)) return 0;
    nFrom = nPos;
  } else {
    Target t = TargetAtCaret(doc);
    Bytes data = t.prefix;
    data.insert(data.end(), comp.bytes.begin(), comp.bytes.end());
    ImeOrigin origin;
    origin.bActive = TRUE;
    origin.nStart = t.nPos;
    origin.replaced = TextAt(doc, t.nPos, t.nOldLen);
    origin.nPrefixLen = static_cast<DWORD>(t.prefix.size());
    origin.nVirtualSpace = doc.nVirtualSpace;
    origin.bModified = doc.IsModified();
    if (origin.replaced.size() != t.nOldLen || !Splice(doc, t.nPos, t.nOldLen, data, FALSE)) return 0;
    imeOrigin = origin;
    doc.nVirtualSpace = 0;
    doc.nIMECompPos = static_cast<int>(t.nPos + t.prefix.size());
    nFrom = t.nPos;
  }
  doc.nIMECompLen = static_cast<int>(comp.bytes.size());
  if (doc.nIMELanguage == kImeLanguageChineseTraditional ||
      doc.nIMELanguage == kImeLanguageChineseSimplified) {
    // The converted target: the run of target bytes from the cursor on.
    doc.bIMETarget = TRUE;
    const int nCursor = std::clamp(doc.nIMECursor, 0, doc.nIMECompLen);
    int nEnd = nCursor;
    while (doc.pIMEAttr != nullptr && nEnd < doc.nIMEAttrLen && doc.pIMEAttr[nEnd] == ATTR_TARGET_CONVERTED)
      ++nEnd;
    doc.nIMETargetStart = doc.nIMECompPos + nCursor;
    doc.nIMETargetEnd = doc.nIMECompPos + nEnd;
  }
  doc.nCaretPos = doc.nIMECompPos + doc.nIMECompLen;
  doc.cli = doc.GetLineFromPos(static_cast<DWORD>(doc.nCaretPos));
  FinishEdit(nFrom);
  return 0;
}

LRESULT CMirelViewText::OnImeNotify(WPARAM wParam, LPARAM lParam) {
  if (wParam == IMN_OPENCANDIDATE && pdoc != nullptr && pMirel != nullptr && pMirel->hWndEdit != nullptr) {
    CMirelDoc& doc = *pdoc;
    const HWND hWnd = pMirel->hWndEdit;
    HIMC hIMC = ImmGetContext(hWnd);
    if (hIMC != nullptr) {
      CANDIDATEFORM form{};
      form.dwIndex = 0;
      form.dwStyle = CFS_FORCE_POSITION;
      const int nFontHeight = GetSafeFontHeight();
      if (doc.nIMELanguage == kImeLanguageJapanese && doc.pContents != nullptr && doc.pLines != nullptr &&
          doc.nLineCount > 0) {
        // Under the composition's cursor.
        const long long nPos = std::clamp<long long>(
            static_cast<long long>(std::max(doc.nIMECompPos, 0)) + std::max(doc.nIMECursor, 0), 0,
            doc.GetContentsSize());
        const int nRow = doc.GetLineFromPos(static_cast<DWORD>(nPos));
        const long long x = static_cast<long long>(doc.GetXFromPos(nRow, static_cast<DWORD>(nPos), FALSE)) +
                            doc.nLeftMargin - pMirel->nHScrollPos;
        const long long y = (static_cast<long long>(nRow) - pMirel->nTopLine) * GetSafeLineHeight() +
                            doc.nRulerHeight + nFontHeight + 1;
        form.ptCurrentPos.x = static_cast<LONG>(std::clamp<long long>(x, INT_MIN, INT_MAX));
        form.ptCurrentPos.y = static_cast<LONG>(std::clamp<long long>(y, INT_MIN, INT_MAX));
      } else {
        POINT pt{0, 0};
        GetCaretPos(&pt);
        form.ptCurrentPos.x = pt.x;
        form.ptCurrentPos.y = pt.y + nFontHeight;
      }
      ImmSetCandidateWindow(hIMC, &form);
      ImmReleaseContext(hWnd, hIMC);
    }
  }
  return PassToDefault(WM_IME_NOTIFY, wParam, lParam);
}

void CMirelViewText::OnKeyHanja(int, int, int, int) {
  if (pdoc == nullptr || pMirel == nullptr || pMirel->hWndEdit == nullptr || pdoc->pContents == nullptr ||
      pdoc->pLines == nullptr || pdoc->nLineCount <= 0)
    return;
  CMirelDoc& doc = *pdoc;
  // Nothing to convert in a read-only document; a composition shown is the
  // input method's own to convert.
  if (doc.bReadOnly || doc.nIMECompLen > 0) return;
  const DWORD nCaret = MrCaretInText(doc);
  const DWORD nLen = doc.GetCharLengthAt(nCaret);
  const Bytes chars = TextAt(doc, nCaret, nLen);
  if (chars.empty()) return;
  const Bytes ansi = ToCodePage(doc, chars.data(), static_cast<DWORD>(chars.size()));
  if (ansi.size() < 2 || !IsDBCSLeadByteEx(static_cast<UINT>(doc.nCodePage), ansi[0])) return;

  // The whole character is selected, the caret at its start, so the chosen
  // Hanja replaces it.
  const DWORD nOldStart = doc.block.GetStartPtr();
  const DWORD nOldEnd = doc.block.GetEndPtr();
  doc.nVirtualSpace = 0;
  doc.nCaretPos = static_cast<int>(nCaret);
  doc.cli = doc.GetLineFromPos(nCaret);
  doc.block.Reset(nCaret + nLen, doc.cli, FALSE);
  doc.block.SetCaret(nCaret, doc.cli);
  UpdateCaret(1, 1);
  doc.UpdateAllViews(REPAINT_TAG_RANGE, std::min(nOldStart, nCaret), std::max(nOldEnd, nCaret + nLen));

  const HWND hWnd = pMirel->hWndEdit;
  HIMC hIMC = ImmGetContext(hWnd);
  if (hIMC == nullptr) return;
  doc.bHanjaConvert = TRUE;
  if (!ImmGetOpenStatus(hIMC)) ImmSimulateHotKey(hWnd, IME_KHOTKEY_ENGLISH);
  ImmSetCompositionStringA(hIMC, SCS_SETSTR, const_cast<BYTE*>(ansi.data()), static_cast<DWORD>(ansi.size()),
                           nullptr, 0);
  ImmNotifyIME(hIMC, NI_OPENCANDIDATE, 0, 0);
  ImmReleaseContext(hWnd, hIMC);
}
