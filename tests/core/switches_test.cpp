// Word wrap, code page, file encoding, newline kind, page break and virtual
// space: refused values change nothing; accepted ones leave rows, caret row
// and selection rows as a fresh layout has them, in either view.
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "textview_test_util.h"

using mirel_textview_test::TextViewFixture;

namespace {

using mirel_doc_test::RebuiltRows;
using mirel_doc_test::Row;
using mirel_doc_test::RowsOf;

// What a switch may change.
struct Snapshot {
  int nWrap, nEncoding, nFormat, nLoaded, nCodePage, nTab, nSpacing, nHexBytes;
  std::string text;
  bool operator==(const Snapshot& o) const {
    return nWrap == o.nWrap && nEncoding == o.nEncoding && nFormat == o.nFormat && nLoaded == o.nLoaded &&
           nCodePage == o.nCodePage && nTab == o.nTab && nSpacing == o.nSpacing && nHexBytes == o.nHexBytes &&
           text == o.text;
  }
};

Snapshot Take(CMirelDoc& doc) {
  return {doc.nWrapMode,
          doc.nFileEncoding,
          doc.nFileFormat,
          doc.nLoadedFileFormat,
          doc.nCodePage,
          doc.nTabSize,
          doc.nLineSpacing,
          doc.nHexBytesPerLine,
          doc.pContents ? mirel_doc_test::FileOf(doc) : std::string()};
}

class Switches : public TextViewFixture {
 protected:
  // Rows, caret row and selection rows as a fresh layout gives them.
  void ExpectInStep(const char* what) {
    const std::vector<Row> rows = RowsOf(doc);
    EXPECT_EQ(rows, RebuiltRows(doc)) << what;
    const bool bHex = doc.nViewType == MIREL_VIEW_TYPE_HEX;
    auto rowOf = [&](DWORD n) { return bHex ? doc.GetHexLineFromPos(n) : doc.GetLineFromPos(n); };
    EXPECT_EQ(doc.cli, rowOf(static_cast<DWORD>(doc.nCaretPos))) << what;
    EXPECT_EQ(doc.block.nAnchorLine, rowOf(doc.block.nAnchor)) << what;
    EXPECT_EQ(doc.block.nCaretLine, rowOf(doc.block.nCaret)) << what;
  }
};

TEST_F(Switches, RefusedValuesChangeNothing) {
  MakeWindow("line one\r\nline two");
  doc.SetTabSize(4);
  const std::vector<std::pair<const char*, std::function<void()>>> cases = {
      {"wrap -1", [&] { doc.SetWordWrap(-1); }},
      {"wrap 4", [&] { doc.SetWordWrap(4); }},
      {"encoding 0", [&] { EXPECT_EQ(doc.SetFileEncoding(0), 0); }},
      {"encoding 6", [&] { EXPECT_EQ(doc.SetFileEncoding(6), 0); }},
      {"encoding 255", [&] { EXPECT_EQ(doc.SetFileEncoding(MIREL_ENCODING_BINARY), 0); }},
      {"same encoding", [&] { EXPECT_EQ(doc.SetFileEncoding(doc.nFileEncoding), 0); }},
      {"format of a text", [&] { EXPECT_EQ(doc.SetFileFormat(MIREL_FILE_FORMAT_LF), 0); }},
      {"format 0", [&] { EXPECT_EQ(doc.SetFileFormat(0), 0); }},
      {"change format 4", [&] { doc.ChangeFileFormat(4); }},
      {"change format 0", [&] { doc.ChangeFileFormat(0); }},
      {"unknown code page", [&] { EXPECT_EQ(doc.SetCodePage(12345), 0); }},
      {"negative code page", [&] { EXPECT_EQ(doc.SetCodePage(-949), 0); }},
      {"tab 0", [&] { doc.SetTabSize(0); }},
      {"spacing 0", [&] { doc.SetLineSpacing(0); }},
      {"hex bytes 0", [&] { doc.SetHexCharsPerLine(0); }},
  };
  for (const auto& c : cases) {
    const Snapshot before = Take(doc);
    doc.SetModified(FALSE);
    c.second();
    EXPECT_TRUE(Take(doc) == before) << c.first;
    EXPECT_FALSE(doc.IsModified()) << c.first;
  }
}

TEST_F(Switches, WordWrapLeavesRowsCaretAndSelectionInStepInBothViews) {
  MakeWindow(Rows(3) + std::string(120, 'w') + " tail of a long row\r\n" + Rows(2));
  for (int nView : {MIREL_VIEW_TYPE_TEXT, MIREL_VIEW_TYPE_HEX}) {
    doc.nViewType = static_cast<BYTE>(nView);
    doc.SetWordWrap(MIREL_WRAP_NONE);
    doc.SetSel(70, 130, FALSE);
    for (int nMode : {MIREL_WRAP_CHAR, MIREL_WRAP_WORD, MIREL_WRAP_WORD_DBCS, MIREL_WRAP_NONE}) {
      doc.SetWordWrap(nMode);
      EXPECT_EQ(doc.nWrapMode, nMode);
      ExpectInStep(nView == MIREL_VIEW_TYPE_TEXT ? "text view" : "hex view");
    }
    doc.nViewType = MIREL_VIEW_TYPE_TEXT;
    doc.ReloadContents();
  }
}

TEST_F(Switches, WordWrapInAWindowSizedToNothingLaysOutWithoutAnAssertion) {
  // A host may size the control to nothing in either direction; wrapping
  // then lays the rows out for a width of at least one pixel.
  MakeWindow(Rows(2) + std::string(90, 'w') + " tail\r\n" + Rows(2));
  doc.SetSel(40, 100, FALSE);
  for (SIZE size : {SIZE{300, 0}, SIZE{0, 200}, SIZE{0, 0}}) {
    SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
    doc.SetWordWrap(MIREL_WRAP_NONE);
    MoveWindow(hWnd, 0, 0, size.cx, size.cy, TRUE);
    MirelResetAssertFailures();
    doc.SetWordWrap(MIREL_WRAP_WORD);
    EXPECT_EQ(MirelAssertFailureCount(), 0);
    EXPECT_EQ(doc.nWrapMode, MIREL_WRAP_WORD);
    EXPECT_GE(doc.nTextWidth, 1);
    ExpectInStep("wrapped in an empty window");
  }
}

TEST_F(Switches, WrappingEndsColumnModeAndVirtualSpace) {
  MakeWindow("abc\r\ndef");
  doc.block.SetColumnMode(TRUE);
  doc.nVirtualSpace = 3;
  doc.SetWordWrap(MIREL_WRAP_CHAR);
  EXPECT_FALSE(doc.IsColumnMode());
  EXPECT_EQ(doc.nVirtualSpace, 0);
}

TEST_F(Switches, TabSizeCodePageAndPageBreakLayWrappedRowsOutAgain) {
  MakeWindow(std::string("\t\ta\tb\tc\td\te\tf\tg\th\ti\x0Cj\xB0\xA1k\xB0") + "\xA1 " + std::string(60, 'x'));
  doc.SetWordWrap(MIREL_WRAP_CHAR);
  doc.SetSel(5, 12, FALSE);
  doc.SetTabSize(16);
  ExpectInStep("tab size");
  doc.SetCodePage(1252);
  EXPECT_EQ(doc.nCodePage, 1252);
  ExpectInStep("code page");
  doc.SetPageBreakCode('k');
  EXPECT_EQ(doc.chPageBreak, 'k');
  ExpectInStep("page break");
}

TEST_F(Switches, CodePageOfTheSystemIsStoredAsZeroAndEveryChangeClearsTheHistory) {
  MakeWindow("ab");
  ASSERT_EQ(doc.InsertA("c", 1, TRUE), 1);
  ASSERT_TRUE(doc.CanUndo());
  EXPECT_EQ(doc.SetCodePage(static_cast<int>(GetACP())), 1);
  EXPECT_EQ(doc.GetCodePage(), 0);
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_EQ(doc.SetCodePage(1252), 1);
  EXPECT_EQ(doc.GetCodePage(), 1252);
  EXPECT_NE(doc.localeCodePage, MIREL_LOCALE());
  EXPECT_EQ(doc.SetCodePage(12345), 0);
  EXPECT_EQ(doc.GetCodePage(), 1252);
  EXPECT_EQ(doc.localeCodePage, MIREL_LOCALE());
}

TEST_F(Switches, NewlineKindIsSetOnAnEmptyTextAndChangedWithoutConvertingTheText) {
  MakeWindow("");
  EXPECT_EQ(doc.SetFileFormat(MIREL_FILE_FORMAT_CR), 1);
  EXPECT_EQ(doc.nLoadedFileFormat, MIREL_FILE_FORMAT_CR);
  ASSERT_EQ(doc.InsertA("a\r\nb", 4, TRUE), 1);
  doc.SetModified(FALSE);
  doc.ChangeFileFormat(MIREL_FILE_FORMAT_LF);
  EXPECT_EQ(doc.GetFileFormat(), MIREL_FILE_FORMAT_LF);
  EXPECT_EQ(doc.nLoadedFileFormat, MIREL_FILE_FORMAT_CR);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(mirel_doc_test::TextOf(doc), "a\r\nb");

  struct Case {
    int nFormat;
    const char* psz;
  } cases[] = {{MIREL_FILE_FORMAT_CRLF, "\r\n"}, {MIREL_FILE_FORMAT_LF, "\n"}, {MIREL_FILE_FORMAT_CR, "\r"}};
  for (const Case& c : cases) {
    doc.ChangeFileFormat(c.nFormat);
    const int nLen = static_cast<int>(std::strlen(c.psz));
    char buf[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(doc.GetNewLineCodeA(buf, sizeof buf), nLen);
    EXPECT_STREQ(buf, c.psz);
    EXPECT_EQ(doc.GetNewLineCodeA(nullptr, 4), nLen);
    char small[2] = {'#', '#'};
    EXPECT_EQ(doc.GetNewLineCodeA(small, nLen), nLen);  // no room for the terminator
    EXPECT_EQ(small[0], '\0');
    EXPECT_EQ(small[1], '#');
  }
}

TEST_F(Switches, VirtualSpaceOffDropsTheCaretsVirtualColumns) {
  MakeWindow("ab");
  doc.EnableVirtualSpace(TRUE);
  EXPECT_TRUE(doc.bVirtualSpace);
  doc.nVirtualSpace = 4;
  doc.EnableVirtualSpace(FALSE);
  EXPECT_FALSE(doc.bVirtualSpace);
  EXPECT_EQ(doc.nVirtualSpace, 0);
}

TEST(SwitchesDetect, NewlineKindsAreCountedByWholeUnits) {
  struct Case {
    const char* what;
    int nEncoding;
    std::string bytes;
    int nKind, nTotal;
  } cases[] = {
      {"two LF against one CR LF", MIREL_ENCODING_ANSI, "a\r\nb\nc\n", MIREL_FILE_FORMAT_LF, 3},
      {"a tie goes to CR LF", MIREL_ENCODING_ANSI, "a\r\nb\n", MIREL_FILE_FORMAT_CRLF, 2},
      {"no newline", MIREL_ENCODING_UTF8, "abc", MIREL_FILE_FORMAT_CRLF, 0},
      {"a CR at the very end", MIREL_ENCODING_UTF8, "a\rb\r", MIREL_FILE_FORMAT_CR, 2},
      {"UTF-16 units", MIREL_ENCODING_UTF16LE, mirel_doc_test::Utf16({'a', 13, 10, 'b', 10, 'c', 10}),
       MIREL_FILE_FORMAT_LF, 3},
      {"UTF-16 units whose first byte looks like CR", MIREL_ENCODING_UTF16LE,
       mirel_doc_test::Utf16({0x0A0D, 0x0A0D, 0x000D}), MIREL_FILE_FORMAT_CR, 1},
  };
  for (const Case& c : cases) {
    CMirelDoc doc;
    doc.nFileEncoding = static_cast<BYTE>(c.nEncoding);
    int nTotal = -1;
    EXPECT_EQ(doc.DetectFileFormat(mirel_doc_test::Bytes(c.bytes), mirel_doc_test::Len(c.bytes), &nTotal),
              c.nKind)
        << c.what;
    EXPECT_EQ(nTotal, c.nTotal) << c.what;
    EXPECT_FALSE(doc.IsBinary()) << c.what;
  }
  CMirelDoc doc;
  const std::string nul("a\0b", 3);
  EXPECT_EQ(doc.DetectFileFormat(mirel_doc_test::Bytes(nul), 3, nullptr), MIREL_FILE_FORMAT_CRLF);
  EXPECT_TRUE(doc.IsBinary());
  EXPECT_EQ(doc.DetectEncoding(mirel_doc_test::Bytes(std::string("\xEF\xBB\xBFx")), 4),
            MIREL_ENCODING_UTF8_BOM);
}

}  // namespace
