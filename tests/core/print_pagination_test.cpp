// Print pagination: rows in every wrap mode, pages by row count and by the
// page-break character, the 16-bit row cap, narrow pages, double-byte text in
// every encoding, and refused modes. Widths come from the DC's font.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "print_test_util.h"
#include "syntax_test_util.h"

using mirel_doc_test::Row;
using mirel_print_test::Page;
using mirel_print_test::PrintTest;

namespace {

using Texts = std::vector<std::string>;

TEST_F(PrintTest, RowsFollowTheWrapModeAndANoWrapModeBecomesWordWrap) {
  struct Case {
    int nMode;
    const char* pszText;
    int nChars;  // characters of room
    Texts rows;
    int nModeAfter;
  };
  const Case cases[] = {
      {MIREL_WRAP_CHAR, "hello world foo", 8, {"hello wo", "rld foo"}, MIREL_WRAP_CHAR},
      {MIREL_WRAP_WORD, "hello world foo", 8, {"hello ", "world ", "foo"}, MIREL_WRAP_WORD},
      {MIREL_WRAP_NONE, "hello world foo", 8, {"hello ", "world ", "foo"}, MIREL_WRAP_WORD},
      {MIREL_WRAP_WORD_DBCS, "hello world foo", 8, {"hello ", "world ", "foo"}, MIREL_WRAP_WORD_DBCS},
      // A tab moves to the next stop of four average characters.
      {MIREL_WRAP_CHAR, "a\tbcdefgh", 8, {"a\tbcde", "fgh"}, MIREL_WRAP_CHAR},
      // Line ends start paragraphs; an empty one is a row of its own.
      {MIREL_WRAP_CHAR, "ab\r\n\r\ncd\ne", 8, {"ab", "", "cd", "e"}, MIREL_WRAP_CHAR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszText);
    SCOPED_TRACE(c.nMode);
    Open(MIREL_ENCODING_ANSI, c.pszText);
    Prepare(c.nMode, c.nChars * nCharWidth, 50);
    EXPECT_EQ(RowTexts(), c.rows);
    EXPECT_EQ(Info().nWrapMode, c.nModeAfter);
    EXPECT_EQ(Info().nPageCount, 1);
    const std::vector<Row> rows = Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back().nKind, MIREL_LINE_LAST);
  }
}

TEST_F(PrintTest, PagesEndByRowCountAndAtThePageBreakCharacter) {
  struct Case {
    const char* pszName;
    std::string text;
    int nChars;
    int nRowsPerPage;
    std::vector<Row> rows;  // empty: not checked
    std::vector<Page> pages;
  };
  const Case cases[] = {
      {"seven paragraphs", "1\n2\n3\n4\n5\n6\n7", 8, 3, {}, {{0, 2}, {3, 5}, {6, 6}}},
      {"wrapped rows count", "aaaaaaaaaa", 4, 2, {}, {{0, 1}, {2, 2}}},
      {"empty text", "", 8, 3, {{0, 0, 0, 0, MIREL_LINE_LAST}}, {{0, 0}}},
      {"break inside a paragraph",
       "ab\fcd\nef",
       8,
       10,
       {{0, 0, 0, 2, 1}, {3, 0, 1, 2, 1}, {6, 1, 0, 2, MIREL_LINE_LAST}},
       {{0, 0}, {1, 2}}},
      {"break at a paragraph start",
       "a\n\fb",
       8,
       10,
       {{0, 0, 0, 1, 1}, {2, 1, 0, 0, 1}, {3, 1, 1, 1, MIREL_LINE_LAST}},
       {{0, 1}, {2, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszName);
    Open(MIREL_ENCODING_ANSI, c.text);
    doc.SetPageBreakCode('\f');
    Prepare(MIREL_WRAP_CHAR, c.nChars * nCharWidth, c.nRowsPerPage);
    EXPECT_EQ(Info().nLinesPerPage, c.nRowsPerPage);
    if (!c.rows.empty()) {
      EXPECT_EQ(Rows(), c.rows);
    }
    EXPECT_EQ(Pages(), c.pages);
  }
}

TEST_F(PrintTest, TablesGrowPastTheirFirstCapacity) {
  // One character per row and one row per page: hundreds of rows and pages.
  Open(MIREL_ENCODING_ANSI, std::string(500, 'x') + "\n" + std::string(300, 'y'));
  Prepare(MIREL_WRAP_CHAR, nCharWidth, 1);
  ASSERT_EQ(Info().nPageCount, 800);
  const std::vector<Page> pages = Pages();
  for (int i = 0; i < 800; ++i) ASSERT_EQ(pages[i], (Page{i, i}));
  const std::vector<Row> rows = Rows();
  EXPECT_EQ(rows[499], (Row{499, 0, 499, 1, 1}));
  EXPECT_EQ(rows[500], (Row{501, 1, 0, 1, 1}));
  EXPECT_EQ(rows[799], (Row{800, 1, 299, 1, MIREL_LINE_LAST}));
}

TEST_F(PrintTest, RowsNeverPassTheLengthFieldNorLoopOnANarrowPage) {
  // A page wide enough for everything: the 16-bit length still cuts.
  Open(MIREL_ENCODING_ANSI, std::string(70000, 'a'));
  Prepare(MIREL_WRAP_CHAR, 100000 * nCharWidth, 50);
  std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].nLen, 65535u);
  EXPECT_EQ(rows[1].nLen, 4465u);
  // In UTF-16 the cut falls on a whole unit.
  Open(MIREL_ENCODING_UTF16LE, mirel_doc_test::Utf16(std::string(40000, 'a')));
  Prepare(MIREL_WRAP_WORD, 100000 * nCharWidth, 50);
  rows = Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].nLen, 65534u);
  EXPECT_EQ(rows[1].nLen, 80000u - 65534u);
  // Narrower than any character: one character per row in every mode.
  for (int nMode = MIREL_WRAP_CHAR; nMode <= MIREL_WRAP_WORD_DBCS; ++nMode) {
    SCOPED_TRACE(nMode);
    Open(MIREL_ENCODING_ANSI, "a b\xB0\xA1-c", 949);
    Prepare(nMode, 0, 50);
    EXPECT_EQ(RowTexts(), (Texts{"a", " ", "b", "\xB0\xA1", "-", "c"}));
  }
}

TEST_F(PrintTest, DoubleByteTextBreaksAtWholeCharactersInEveryEncoding) {
  // '%', '@', '~' and '^' stand for Hangul syllables (syntax_test_util.h).
  const std::string tmpl = "%@% ~^";
  for (int nEncoding : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8}) {
    SCOPED_TRACE(nEncoding);
    const mirel_syntax_test::Encoded text = mirel_syntax_test::Encode(tmpl, nEncoding);
    Open(nEncoding, text.bytes, 949);
    // Room for two of the wide characters, measured as the pagination does.
    const mirel_syntax_test::Encoded two = mirel_syntax_test::Encode("%@", nEncoding);
    const int nTwo = nEncoding == MIREL_ENCODING_ANSI ? ExtentA(two.bytes) : ExtentW(u"\uAC20\uD55C");
    ASSERT_GT(nTwo, 0);
    for (int nMode = MIREL_WRAP_CHAR; nMode <= MIREL_WRAP_WORD_DBCS; ++nMode) {
      SCOPED_TRACE(nMode);
      Prepare(nMode, nTwo, 50);
      const std::vector<int>& at = text.offsets;
      const auto bytes = [&](int from, int to) { return text.bytes.substr(at[from], at[to] - at[from]); };
      EXPECT_EQ(RowTexts(), (Texts{bytes(0, 2), bytes(2, 4), bytes(4, 6)}));
    }
  }
}

TEST_F(PrintTest, Utf16UnitsWhoseLowByteIsAControlCharacterAreText) {
  // U+4E0D, U+4E0A, U+4E09 and U+4E0C end in the bytes of CR, LF, tab and
  // the page-break character.
  Open(MIREL_ENCODING_UTF16LE, mirel_doc_test::Utf16({0x4E0D, 0x4E0A, 0x4E09, 0x4E0C, 'a'}));
  doc.SetPageBreakCode('\f');
  Prepare(MIREL_WRAP_CHAR, 1000 * nCharWidth, 50);
  EXPECT_EQ(Rows(), (std::vector<Row>{{0, 0, 0, 10, MIREL_LINE_LAST}}));
  EXPECT_EQ(Pages(), (std::vector<Page>{{0, 0}}));
}

TEST_F(PrintTest, FailedOrImpossiblePaginationReportsNoPages) {
  Open(MIREL_ENCODING_ANSI, "1\n2\n3\n4");
  struct Case {
    const char* pszName;
    int nMode;
    int nRows;
  };
  const Case cases[] = {{"wrap mode 4", 4, 50}, {"wrap mode -1", -1, 50}, {"lower than one row", 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszName);
    Prepare(MIREL_WRAP_CHAR, 8 * nCharWidth, 2);
    ASSERT_EQ(Info().nPageCount, 2);
    Prepare(c.nMode, 8 * nCharWidth, c.nRows);
    EXPECT_EQ(Info().nPageCount, 0);
    EXPECT_EQ(Info().pLines, nullptr);
  }
  // A handle that is no device context measures nothing.
  Prepare(MIREL_WRAP_CHAR, 8 * nCharWidth, 2);
  Info().hDC = reinterpret_cast<HDC>(GetStockObject(WHITE_BRUSH));
  doc.PreparePrint(&Info());
  EXPECT_EQ(Info().nPageCount, 0);
  EXPECT_EQ(Info().nLinesPerPage, 0);
}

TEST_F(PrintTest, RowHeightTabsAndTheNumberColumnComeFromTheDc) {
  Open(MIREL_ENCODING_ANSI, "x");
  doc.SetLineSpacing(150);
  doc.SetTabSize(3);
  Prepare(MIREL_WRAP_WORD, 8 * nCharWidth, 1, TRUE);
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(hdc, &tm));
  CMrPrintInfo& s = Info();
  EXPECT_EQ(s.nLineHeight, tm.tmHeight * 150 / 100);
  EXPECT_EQ(s.nLinesPerPage, (s.rcPrint.bottom - s.rcPrint.top) / s.nLineHeight);
  EXPECT_EQ(s.nTabWidth, tm.tmAveCharWidth * 3);
  EXPECT_EQ(s.nTextLeft, kLeft + ExtentA("99999"));
}

}  // namespace
