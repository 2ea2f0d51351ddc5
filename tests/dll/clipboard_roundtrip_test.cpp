// Through the messages and the real clipboard: what is copied and pasted
// back over the same selection is what was there, in every encoding and both
// views; from one document to another the bytes go as they are only between
// documents that read them alike, the text converted everywhere else; an ANSI
// document in another code page than the system's meets other programs in
// Unicode; a copy with nothing to copy leaves the clipboard alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../core/clipboard_test_util.h"
#include "control_fixture.h"
#include "mirelctrl/mirelctrl.h"

namespace {

using mirel_clipboard_test::Clear;

constexpr UINT kSelectAll = WM_USER + 101;
// A key press with modifier bits in lParam.
constexpr UINT kKeyCommand = WM_USER + 200;
constexpr UINT kShift = 0x04;
constexpr UINT kCtrl = 0x08;

std::string Hex(const std::string& s) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if (!out.empty()) out += ' ';
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

using WString = std::basic_string<WCHAR>;

struct DocKind {
  const char* name;
  int nEncoding;
  int nCodePage;  // ANSI only
};
const DocKind kDocKinds[] = {{"ANSI 949", MIREL_ENCODING_ANSI, 949},
                             {"ANSI 1252", MIREL_ENCODING_ANSI, 1252},
                             {"UTF-16", MIREL_ENCODING_UTF16LE, 0},
                             {"UTF-8", MIREL_ENCODING_UTF8, 0},
                             {"UTF-8 with mark", MIREL_ENCODING_UTF8_BOM, 0}};

// Documents that read their text bytes alike: ANSI in one code page, UTF-16,
// UTF-8 with or without its mark (the mark is no part of the text).
int ReadingOf(const DocKind& d) {
  return d.nEncoding == MIREL_ENCODING_ANSI ? d.nCodePage : d.nEncoding == MIREL_ENCODING_UTF16LE ? -16 : -8;
}

// The platform's own conversions: what the clipboard's text formats carry.
WString ToUnicode(const DocKind& d, const std::string& bytes) {
  WString w;
  if (d.nEncoding == MIREL_ENCODING_UTF16LE) {
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
      w += static_cast<WCHAR>(static_cast<BYTE>(bytes[i]) | static_cast<BYTE>(bytes[i + 1]) << 8);
  } else if (!bytes.empty()) {
    const UINT cp = d.nEncoding == MIREL_ENCODING_ANSI ? static_cast<UINT>(d.nCodePage) : CP_UTF8;
    const int n = static_cast<int>(bytes.size());
    w.resize(static_cast<size_t>(MultiByteToWideChar(cp, 0, bytes.data(), n, nullptr, 0)));
    MultiByteToWideChar(cp, 0, bytes.data(), n, &w[0], static_cast<int>(w.size()));
  }
  return w.substr(0, w.find(WCHAR(0)));  // clipboard text ends at a zero
}

std::string FromUnicode(const DocKind& d, const WString& w) {
  std::string out;
  if (d.nEncoding == MIREL_ENCODING_UTF16LE) {
    for (WCHAR u : w) out += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  } else if (!w.empty()) {
    const UINT cp = d.nEncoding == MIREL_ENCODING_ANSI ? static_cast<UINT>(d.nCodePage) : CP_UTF8;
    const int n = static_cast<int>(w.size());
    out.resize(static_cast<size_t>(WideCharToMultiByte(cp, 0, w.data(), n, nullptr, 0, nullptr, nullptr)));
    WideCharToMultiByte(cp, 0, w.data(), n, &out[0], static_cast<int>(out.size()), nullptr, nullptr);
  }
  return out;
}

class ClipboardRoundTrip : public mirel_test::ControlTest {
 protected:
  ClipboardRoundTrip() : ControlTest(23) {}
  void TearDown() override {
    Clear(m_host.hWnd());
    ControlTest::TearDown();
  }

  // A new document in the encoding whose file holds exactly the bytes (its
  // mark first), the text typed as hex digits after the mark in the hex view.
  void Load(int nEncoding, const std::string& file) { LoadInto(m_hCtrl, nEncoding, 0, file, true); }
  // The same in any control, the file given with or without its mark, in
  // the code page given (0: as it is).
  static void LoadInto(HWND h, int nEncoding, int nCodePage, const std::string& file, bool bWithMark) {
    Mirel_SetViewType(h, MIREL_VIEW_TYPE_TEXT);
    Mirel_SetFileEncoding(h, nEncoding);
    ASSERT_EQ(Mirel_GetFileEncoding(h), nEncoding);
    ASSERT_EQ(Mirel_NewFile(h), 1);
    if (nCodePage != 0) {
      ASSERT_EQ(Mirel_SetCodePage(h, nCodePage), 1);
    }
    Mirel_SetViewType(h, MIREL_VIEW_TYPE_HEX);
    const std::string mark = mirel_test::ControlFileBytes(h);
    const std::string whole = bWithMark ? file : mark + file;
    ASSERT_EQ(whole.compare(0, mark.size(), mark), 0);
    SendMessageA(h, kKeyCommand, VK_END, kCtrl);
    static const char kDigits[] = "0123456789abcdef";
    for (unsigned char c : whole.substr(mark.size())) {
      SendMessageA(h, WM_CHAR, static_cast<BYTE>(kDigits[c >> 4]), 1);
      SendMessageA(h, WM_CHAR, static_cast<BYTE>(kDigits[c & 15]), 1);
    }
    ASSERT_EQ(Hex(mirel_test::ControlFileBytes(h)), Hex(whole));
    Mirel_SetViewType(h, MIREL_VIEW_TYPE_TEXT);
  }
  void Key(UINT vk, UINT nModifiers) { SendMessageA(m_hCtrl, kKeyCommand, vk, nModifiers); }
  // Selects [nFrom, nTo) of the file with the keys in the hex view.
  void SelectHex(int nFrom, int nTo) {
    Key(VK_HOME, kCtrl);
    for (int i = 0; i < nFrom; ++i) Key(VK_RIGHT, 0);
    for (int i = nFrom; i < nTo; ++i) Key(VK_RIGHT, kShift);
  }
  std::string File() { return mirel_test::ControlFileBytes(m_hCtrl); }

  void Place(const std::vector<std::pair<UINT, std::string>>& blocks) {
    mirel_clipboard_test::Place(m_host.hWnd(), blocks);
  }
  std::string ClipText(UINT uFormat) { return mirel_clipboard_test::ClipText(m_host.hWnd(), uFormat); }
};

TEST_F(ClipboardRoundTrip, CopyThenPasteOverTheSameSelectionKeepsTheBytes) {
  struct Case {
    const char* what;
    int nEncoding;
    int nView;
    std::string file;
    int nFrom, nTo;  // -1: select all
  } cases[] = {
      {"ANSI text with a zero byte", MIREL_ENCODING_ANSI, MIREL_VIEW_TYPE_TEXT,
       std::string("\xE7\x00\xCF\xF3\x68\x74", 6), -1, -1},
      {"UTF-16 text with a zero unit", MIREL_ENCODING_UTF16LE, MIREL_VIEW_TYPE_TEXT,
       std::string("\xFF\xFE\x41\x00\x00\x00\x5C\xD5", 8), -1, -1},
      {"UTF-8 text with bytes that are not UTF-8", MIREL_ENCODING_UTF8, MIREL_VIEW_TYPE_TEXT,
       "\x32\xFE\x2D\x6E\xE8\x1C", -1, -1},
      {"the mark alone in the hex view", MIREL_ENCODING_UTF16LE, MIREL_VIEW_TYPE_HEX, "\xFF\xFE", -1, -1},
      {"the mark and an odd byte in the hex view", MIREL_ENCODING_UTF16LE, MIREL_VIEW_TYPE_HEX,
       "\xFF\xFE\x90", -1, -1},
      {"half the mark in the hex view", MIREL_ENCODING_UTF8_BOM, MIREL_VIEW_TYPE_HEX, "\xEF\xBB\xBF\x41", 1,
       4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Load(c.nEncoding, c.file);
    Mirel_SetViewType(m_hCtrl, c.nView);
    if (c.nFrom < 0) {
      SendMessageA(m_hCtrl, kSelectAll, 0, 0);
    } else if (c.nView == MIREL_VIEW_TYPE_HEX) {
      SelectHex(c.nFrom, c.nTo);
    } else {
      Mirel_SetSel(m_hCtrl, c.nFrom, c.nTo, FALSE);
    }
    SendMessageA(m_hCtrl, WM_COPY, 0, 0);
    SendMessageA(m_hCtrl, WM_PASTE, 0, 0);
    EXPECT_EQ(Hex(File()), Hex(c.file));
  }
}

// CF_TEXT is the system's code page for every program: an ANSI document in
// code page 1252 takes Unicode text with its own code page and gives its text
// as Unicode too, which the system offers as CF_TEXT in its own code page.
TEST_F(ClipboardRoundTrip, AnAnsiDocumentInAnotherCodePageMeetsOtherProgramsInUnicode) {
  const std::string unicode("\xE9\x00t\x00\xE9\x00", 6);  // "été"
  const std::string cp1252 = "\xE9t\xE9";
  Load(MIREL_ENCODING_ANSI, "");
  ASSERT_EQ(Mirel_SetCodePage(m_hCtrl, 1252), 1);
  Place({{CF_UNICODETEXT, unicode + std::string(2, '\0')}});
  SendMessageA(m_hCtrl, WM_PASTE, 0, 0);
  EXPECT_EQ(Hex(File()), Hex(cp1252));

  SendMessageA(m_hCtrl, kSelectAll, 0, 0);
  SendMessageA(m_hCtrl, WM_COPY, 0, 0);
  EXPECT_EQ(Hex(ClipText(CF_UNICODETEXT)), Hex(unicode));
  // CF_TEXT is the same text in the system's code page.
  const DocKind system = {"system", MIREL_ENCODING_ANSI, static_cast<int>(GetACP())};
  EXPECT_EQ(Hex(ClipText(CF_TEXT)), Hex(FromUnicode(system, {0xE9, 't', 0xE9})));
  const int nEnd = Mirel_GetContentsSize(m_hCtrl);
  Mirel_SetSel(m_hCtrl, nEnd, nEnd, FALSE);
  SendMessageA(m_hCtrl, WM_PASTE, 0, 0);
  EXPECT_EQ(Hex(File()), Hex(cp1252 + cp1252));
}

// The control's own bytes come back only into a document that reads them
// alike; every other paste gets the text converted into its encoding, so no
// byte of one encoding lands in a document of another (one UTF-16 "A" never
// arrives as 41 00 in UTF-8), nor does a block that mixes two encodings.
TEST_F(ClipboardRoundTrip, ThePastedTextIsConvertedUnlessTheDocumentReadsTheBytesAlike) {
  struct TextKind {
    const char* what;
    WString text;
    std::string raw;  // these bytes instead, in the encodings of nRawIn
    int nRawIn;       // 1 ANSI, 2 UTF-16, 4 UTF-8
    WString rawUtf8;  // their text in UTF-8: a U+FFFD for each ill-formed part
  } kinds[] = {
      {"U+0041", {0x41}, "", 0, {}},
      {"U+00E9", {0xE9}, "", 0, {}},
      {"U+AC00", {0xAC00}, "", 0, {}},
      {"U+1F600", {0xD83D, 0xDE00}, "", 0, {}},
      {"several characters", {0x41, 0xE9, 0xAC00, 0xD83D, 0xDE00, 0x7A}, "", 0, {}},
      {"a zero", {0x41, 0, 0x42}, "", 0, {}},
      {"invalid UTF-8", {}, "A\xFF\x42\xC3", 7, {0x41, 0xFFFD, 0x42, 0xFFFD}},
      {"a lone surrogate",
       {0x41, 0xD800, 0x42},
       "A\xED\xA0\x80\x42",
       4,
       {0x41, 0xFFFD, 0xFFFD, 0xFFFD, 0x42}},
  };
  const struct {
    const char* what;
    UINT uMsg;
  } ops[] = {{"copy", WM_COPY}, {"cut", WM_CUT}, {"append-copy", 40005}};
  // One control per kind of document, each side; a copy refills them.
  HWND hFrom[5] = {}, hTo[5] = {};
  for (int i = 0; i < 5; ++i) {
    for (HWND* ph : {&hFrom[i], &hTo[i]}) {
      *ph = Mirel_Create(m_host.hWnd(), 24, 0, 0, 300, 200, 0, WS_CHILD | WS_VISIBLE);
      ASSERT_NE(*ph, nullptr);
      LoadInto(*ph, kDocKinds[i].nEncoding, kDocKinds[i].nCodePage, "", false);
    }
  }
  auto body = [](HWND h) {
    return mirel_test::ControlFileBytes(h).substr(
        static_cast<size_t>(Mirel_GetFileSize(h) - Mirel_GetContentsSize(h)));
  };
  for (int i = 0; i < 5; ++i) {
    const DocKind& from = kDocKinds[i];
    for (const TextKind& kind : kinds) {
      const int nIn = ReadingOf(from) == -16 ? 2 : ReadingOf(from) == -8 ? 4 : 1;
      const bool bRaw = (kind.nRawIn & nIn) != 0;
      const std::string bytes = bRaw ? kind.raw : FromUnicode(from, kind.text);
      const WString text = bRaw && nIn == 4 ? kind.rawUtf8 : ToUnicode(from, bytes);
      LoadInto(hFrom[i], from.nEncoding, 0, bytes, false);
      for (const auto& op : ops) {
        for (int j = 0; j < 5; ++j) {
          const DocKind& to = kDocKinds[j];
          SCOPED_TRACE(std::string(kind.what) + ", " + op.what + " from " + from.name + " into " + to.name);
          // An append-copy grows a copy of "x" made in the receiving document;
          // the paste replaces all.
          const std::string before = op.uMsg == 40005 ? FromUnicode(to, {'x'}) : "";
          ASSERT_EQ(Mirel_NewFile(hTo[j]), 1);
          if (!before.empty()) {
            const WCHAR x = 'x';
            ASSERT_EQ(Mirel_InsertW(hTo[j], &x, 1, FALSE), 1);
            SendMessageA(hTo[j], kSelectAll, 0, 0);
            SendMessageA(hTo[j], WM_COPY, 0, 0);
          }
          SendMessageA(hFrom[i], kSelectAll, 0, 0);
          SendMessageA(hFrom[i], op.uMsg, 0, 0);
          SendMessageA(hTo[j], kSelectAll, 0, 0);
          SendMessageA(hTo[j], WM_PASTE, 0, 0);
          const std::string want =
              before + (ReadingOf(from) == ReadingOf(to) ? bytes : FromUnicode(to, text));
          EXPECT_EQ(Hex(body(hTo[j])), Hex(want));
          if (op.uMsg == WM_CUT) {
            EXPECT_EQ(Mirel_GetContentsSize(hFrom[i]), 0);
            LoadInto(hFrom[i], from.nEncoding, 0, bytes, false);
          }
        }
      }
    }
  }
  for (int i = 0; i < 5; ++i) {
    Mirel_Destroy(hFrom[i]);
    Mirel_Destroy(hTo[i]);
  }
}

// With the caret on the empty last line and no selection there is nothing
// to copy: the clipboard keeps what it held.
TEST_F(ClipboardRoundTrip, CopyWithNothingToCopyLeavesTheClipboardAlone) {
  struct Case {
    const char* what;
    int nEncoding;
    std::string file;
    UINT uMsg;
    WPARAM wParam;
  } cases[] = {
      {"WM_COPY, ANSI", MIREL_ENCODING_ANSI, "abc\r\n", WM_COPY, 0},
      {"Ctrl+C, UTF-8", MIREL_ENCODING_UTF8, "abc\r\n", WM_CHAR, 0x03},
      {"append copy, UTF-16", MIREL_ENCODING_UTF16LE,
       std::string("\xFF\xFE"
                   "a\0\n\0",
                   6),
       40005, 0},
      {"an empty document", MIREL_ENCODING_ANSI, "", WM_COPY, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Load(c.nEncoding, c.file);
    const int nEnd = Mirel_GetContentsSize(m_hCtrl);
    Mirel_SetSel(m_hCtrl, nEnd, nEnd, FALSE);
    Place({{CF_TEXT, std::string("old\0", 4)}});
    SendMessageA(m_hCtrl, c.uMsg, c.wParam, 1);
    EXPECT_EQ(ClipText(CF_TEXT), "old");
    EXPECT_EQ(Hex(File()), Hex(c.file));
  }
}

}  // namespace
