// Through the messages and the real clipboard: what is copied and pasted
// back over the same selection is what was there, in every encoding and both
// views; an ANSI document in another code page than the system's meets other
// programs in Unicode; a copy with nothing to copy leaves the clipboard alone.
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

class ClipboardRoundTrip : public mirel_test::ControlTest {
 protected:
  ClipboardRoundTrip() : ControlTest(23) {}
  void TearDown() override {
    Clear(m_host.hWnd());
    ControlTest::TearDown();
  }

  // A new document in the encoding whose file holds exactly the bytes (its
  // mark first), the text typed as hex digits after the mark in the hex view.
  void Load(int nEncoding, const std::string& file) {
    Mirel_SetViewType(m_hCtrl, MIREL_VIEW_TYPE_TEXT);
    Mirel_SetFileEncoding(m_hCtrl, nEncoding);
    ASSERT_EQ(Mirel_GetFileEncoding(m_hCtrl), nEncoding);
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    Mirel_SetViewType(m_hCtrl, MIREL_VIEW_TYPE_HEX);
    const std::string mark = File();
    ASSERT_EQ(file.compare(0, mark.size(), mark), 0);
    Key(VK_END, kCtrl);
    static const char kDigits[] = "0123456789abcdef";
    for (unsigned char c : file.substr(mark.size())) {
      SendMessageA(m_hCtrl, WM_CHAR, static_cast<BYTE>(kDigits[c >> 4]), 1);
      SendMessageA(m_hCtrl, WM_CHAR, static_cast<BYTE>(kDigits[c & 15]), 1);
    }
    ASSERT_EQ(Hex(File()), Hex(file));
    Mirel_SetViewType(m_hCtrl, MIREL_VIEW_TYPE_TEXT);
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
// as Unicode too, beside its bytes as CF_TEXT.
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
  EXPECT_EQ(Hex(ClipText(CF_TEXT)), Hex(cp1252));
  const int nEnd = Mirel_GetContentsSize(m_hCtrl);
  Mirel_SetSel(m_hCtrl, nEnd, nEnd, FALSE);
  SendMessageA(m_hCtrl, WM_PASTE, 0, 0);
  EXPECT_EQ(Hex(File()), Hex(cp1252 + cp1252));
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
