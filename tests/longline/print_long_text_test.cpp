// Pagination of very long texts: every character is measured once and every
// row and page is appended, so the time grows with the text. A walk that
// re-scanned a row per character, or tables that grew by a fixed step, would
// pass this program's short timeout.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "../core/print_test_util.h"

using mirel_print_test::PrintTest;

namespace {

TEST_F(PrintTest, LongParagraphsAndManyPagesPaginateInOnePass) {
  struct Case {
    const char* pszName;
    int nEncoding;
    std::string text;
    int nMode;
    int nChars;
    int nRowsPerPage;
    int nRows;
  };
  const std::string word(3000000, 'w');
  std::string lines;
  for (int i = 0; i < 400000; ++i) lines += "ab\n";
  const Case cases[] = {
      {"one word, word wrap", MIREL_ENCODING_ANSI, word, MIREL_WRAP_WORD, 70, 60, (3000000 + 69) / 70},
      {"one word, whole rows", MIREL_ENCODING_UTF16LE, mirel_doc_test::Utf16(word), MIREL_WRAP_WORD_DBCS,
       10000000, 60, (6000000 + 65533) / 65534},
      {"short paragraphs, one per page", MIREL_ENCODING_ANSI, lines, MIREL_WRAP_CHAR, 70, 1, 400001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszName);
    Open(c.nEncoding, c.text);
    Prepare(c.nMode, c.nChars * nCharWidth, c.nRowsPerPage);
    EXPECT_EQ(Info().nLastLine + 1, c.nRows);
    EXPECT_EQ(Info().nPageCount, (c.nRows + c.nRowsPerPage - 1) / c.nRowsPerPage);
  }
}

}  // namespace
