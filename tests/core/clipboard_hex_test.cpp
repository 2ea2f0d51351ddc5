// Copy, cut, append and paste of raw bytes in the hex view, on the document
// with a recording view.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "clipboard_test_util.h"
#include "doc_test_util.h"
#include "window_test_util.h"

using namespace mirel_clipboard_test;
using mirel_window_test::WindowFixture;

namespace {

class ClipboardHex : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    pEdit = &NewEdit(true);
    hWnd = CreateEditWindow(*pEdit);
    ASSERT_NE(hWnd, nullptr);
  }
  void TearDown() override {
    if (hWnd != nullptr) Clear(hWnd);
    WindowFixture::TearDown();
  }
  // A hex-view document of the file bytes (mark included) in the encoding.
  void Open(int nEncoding, const std::string& text) {
    doc.nFileEncoding = static_cast<BYTE>(nEncoding);
    ASSERT_EQ(doc.NewFile(), 1);
    doc.nViewType = MIREL_VIEW_TYPE_HEX;
    const DWORD nMark = doc.GetFileSize();
    ASSERT_TRUE(doc.InsertContents(nMark, mirel_doc_test::Bytes(text), mirel_doc_test::Len(text), FALSE));
    doc.undo.Reset();
    Select(0, 0);
  }
  void Select(DWORD nAnchor, DWORD nCaret) {
    doc.nCaretPos = static_cast<int>(nCaret);
    doc.cli = doc.GetHexLineFromPos(nCaret);
    doc.block.SetBoth(nAnchor, doc.GetHexLineFromPos(nAnchor));
    doc.block.SetCaretRaw(nCaret, doc.cli);
  }
  std::string File() { return mirel_doc_test::FileOf(doc); }
  CMirel* Focus() { return &pEdit->edit; }

  Edit* pEdit = nullptr;
  HWND hWnd = nullptr;
};

TEST_F(ClipboardHex, CopyPlacesTextThenBytesMarkAndZeroBytesIncluded) {
  Open(MIREL_ENCODING_UTF8_BOM, std::string("a\0b", 3));
  Place(hWnd, {{CF_TEXT, std::string("old\0", 4)}});
  EXPECT_EQ(doc.Copy(Focus()), 0);  // nothing selected: the clipboard stays
  EXPECT_EQ(ClipText(hWnd, CF_TEXT), "old");
  Select(5, 1);
  ASSERT_EQ(doc.Copy(Focus()), 1);
  const std::vector<UINT> placed = Placed(hWnd);
  ASSERT_GE(placed.size(), 2u);
  EXPECT_EQ(placed[0], static_cast<UINT>(CF_TEXT));
  EXPECT_EQ(placed[1], BinaryFormat());
  EXPECT_EQ(Raw(hWnd, BinaryFormat()), BinaryBlock(std::string("\xBB\xBF"
                                                               "a\0",
                                                               4)));
  EXPECT_EQ(Raw(hWnd, CF_TEXT).substr(0, 5), std::string("\xBB\xBF"
                                                         "a\0\0",
                                                         5));
}

TEST_F(ClipboardHex, AppendCopyOfTextToTwoCopiedBytesGrowsBothFormats) {
  Open(MIREL_ENCODING_ANSI, "xyabc");
  Select(0, 2);
  ASSERT_EQ(doc.Copy(Focus()), 1);
  // The text view appends "abc" to the hex copy of "xy".
  doc.nViewType = MIREL_VIEW_TYPE_TEXT;
  doc.ReloadContents();
  doc.SetSel(2, 5, FALSE);
  ASSERT_EQ(doc.CopyAppend(Focus()), 1);
  EXPECT_EQ(Raw(hWnd, BinaryFormat()), BinaryBlock("xyabc"));
  EXPECT_EQ(ClipText(hWnd, CF_TEXT), "xyabc");
  // The hex view appends to both, whatever was there.
  doc.nViewType = MIREL_VIEW_TYPE_HEX;
  doc.ReloadContents();
  Select(4, 5);
  ASSERT_EQ(doc.CopyAppend(Focus()), 1);
  EXPECT_EQ(Raw(hWnd, BinaryFormat()), BinaryBlock("xyabcc"));
  EXPECT_EQ(ClipText(hWnd, CF_TEXT), "xyabcc");
}

TEST_F(ClipboardHex, PasteTakesTheBytesUnconvertedInTheirOrderOfPreference) {
  struct Case {
    const char* what;
    std::vector<std::pair<UINT, std::string>> blocks;
    std::string want;
  } cases[] = {
      {"raw bytes first",
       {{CF_TEXT, std::string("t\0", 2)}, {BinaryFormat(), BinaryBlock(std::string("\0\xFF", 2))}},
       std::string("\0\xFF", 2)},
      {"a too short block is absent", {{CF_TEXT, std::string("t\0", 2)}, {BinaryFormat(), "\x09"}}, "t"},
      {"Unicode text as its bytes", {{CF_UNICODETEXT, std::string("\x5C\xD5\0\0", 4)}}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open(MIREL_ENCODING_UTF16LE, std::string("a\0", 2));
    Place(hWnd, c.blocks);
    Select(2, 4);  // the unit after the mark
    ASSERT_EQ(doc.Paste(Focus()), 1);
    // Unicode text reaches the hex view through the system's CF_TEXT.
    const std::string want = c.want.empty() ? ClipText(hWnd, CF_TEXT) : c.want;
    EXPECT_EQ(File(), std::string("\xFF\xFE", 2) + want);
    EXPECT_EQ(doc.nCaretPos, static_cast<int>(2 + want.size()));
    EXPECT_EQ(doc.cli, doc.GetHexLineFromPos(static_cast<DWORD>(doc.nCaretPos)));
    EXPECT_FALSE(doc.block.IsNotEmpty());
    ASSERT_TRUE(doc.Undo(Focus()));
    EXPECT_EQ(File(), std::string("\xFF\xFE"
                                  "a\0",
                                  4));
  }
}

TEST_F(ClipboardHex, CutNeedsASelectionTakesItAwayAsOneStepAndIsRefusedReadOnly) {
  Open(MIREL_ENCODING_ANSI, "0123456789");
  EXPECT_EQ(doc.Cut(Focus()), 0);
  Select(7, 3);
  doc.SetReadOnly(TRUE);
  EXPECT_EQ(doc.Cut(Focus()), 0);
  EXPECT_EQ(doc.Paste(Focus()), 0);
  doc.SetReadOnly(FALSE);
  EXPECT_EQ(File(), "0123456789");
  ASSERT_EQ(doc.Cut(Focus()), 1);
  EXPECT_EQ(File(), "012789");
  EXPECT_EQ(Raw(hWnd, BinaryFormat()), BinaryBlock("3456"));
  EXPECT_EQ(doc.nCaretPos, 3);
  ASSERT_TRUE(doc.Undo(Focus()));
  EXPECT_EQ(File(), "0123456789");
  Select(0, 1);
  ASSERT_EQ(doc.CutAppend(Focus()), 1);
  EXPECT_EQ(Raw(hWnd, BinaryFormat()), BinaryBlock("34560"));
}

}  // namespace
