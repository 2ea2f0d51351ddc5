// UTF-16 rows without wrapping: the row cap, line ends and the page-break
// character fall where the walk of the other modes puts them.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "mirel/cmireldoc.h"

using namespace mirel_doc_test;

namespace {

std::string Units(size_t n, unsigned u) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += Utf16({u});
  return out;
}

TEST(LayoutUnits, CapLineEndsPageBreaksAndAHalfUnitInTheNoWrapMode) {
  const DWORD nCapUnits = MIREL_MAX_ROW_BYTES / 2;  // whole units in a full row
  struct Case {
    const char* what;
    std::string text;
    std::vector<Row> rows;
  } cases[] = {
      {"a line end right at the cap ends the paragraph",
       Units(nCapUnits, 'a') + Utf16("\r\nb"),
       {{0, 0, 0, 2 * nCapUnits, MIREL_LINE_ROW}, {2 * nCapUnits + 4, 1, 0, 2, MIREL_LINE_LAST}}},
      {"a character right at the cap starts a row",
       Units(nCapUnits + 1, 0xAC00),
       {{0, 0, 0, 2 * nCapUnits, MIREL_LINE_ROW}, {2 * nCapUnits, 0, 1, 2, MIREL_LINE_LAST}}},
      {"a lone CR and a lone LF",
       Utf16("a\rb\nc"),
       {{0, 0, 0, 2, MIREL_LINE_ROW}, {4, 1, 0, 2, MIREL_LINE_ROW}, {8, 2, 0, 2, MIREL_LINE_LAST}}},
      {"the page-break character has a row of its own",
       Utf16("a\fb"),
       {{0, 0, 0, 2, MIREL_LINE_ROW}, {2, 0, 1, 2, MIREL_LINE_ROW}, {4, 0, 2, 2, MIREL_LINE_LAST}}},
  };
  for (const Case& c : cases) {
    CMirelDoc doc;
    OpenEmpty(doc, MIREL_ENCODING_UTF16LE);
    doc.nWrapMode = MIREL_WRAP_NONE;
    doc.chPageBreak = '\f';
    SetFixedMetrics(doc, 10, 40, 1000);
    ASSERT_TRUE(doc.InsertContents(0, Bytes(c.text), Len(c.text), FALSE)) << c.what;
    EXPECT_EQ(RowsOf(doc), c.rows) << c.what;
    EXPECT_EQ(RowsOf(doc), RebuiltRows(doc)) << c.what;
  }
}

}  // namespace
