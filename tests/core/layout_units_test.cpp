// UTF-16 rows without wrapping: the row cap, line ends and the page-break
// character fall where the walk of the other modes puts them. No row, in any
// mode, ends between the two halves of a surrogate pair.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "mirel/cmireldoc.h"
#include "mirel/mirel.h"

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

// A character beyond the basic plane is one surrogate pair: the row cap and
// the width limit of every wrap mode break before or after it, never inside.
TEST(LayoutUnits, RowsNeverSplitASurrogatePair) {
  std::string pairs;
  for (int i = 0; i < 20000; ++i) pairs += Utf16({0xD83D, 0xDE00});
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(doc.InsertContents(0, Bytes(pairs), Len(pairs), FALSE));
  // The cap holds whole pairs only.
  const DWORD nFull = MIREL_MAX_ROW_BYTES / 4 * 4;
  EXPECT_EQ(RowsOf(doc), (std::vector<Row>{{0, 0, 0, nFull, MIREL_LINE_ROW},
                                           {nFull, 0, 1, Len(pairs) - nFull, MIREL_LINE_LAST}}));

  // Narrow rows in the wrap modes, at widths that end rows after every
  // number of pairs and half pairs.
  const std::string text = Utf16("a ") + pairs.substr(0, 4 * 40) + Utf16(" b") + pairs.substr(0, 4 * 9);
  for (int nMode : {MIREL_WRAP_CHAR, MIREL_WRAP_WORD, MIREL_WRAP_WORD_DBCS}) {
    for (int nRoom = 1; nRoom <= 12; ++nRoom) {
      SCOPED_TRACE("mode " + std::to_string(nMode) + " room " + std::to_string(nRoom));
      doc.nWrapMode = static_cast<BYTE>(nMode);
      const BYTE a = 'a';
      doc.nLeftMargin = 0;
      doc.nTextWidth = nRoom * doc.GetCharWidth(&a, 1) + 3;
      ASSERT_TRUE(doc.NewFile());
      ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), FALSE));
      // A row that starts on the low half of a pair splits it.
      for (const Row& r : RowsOf(doc)) {
        EXPECT_FALSE(r.nStart >= 2 &&
                     MrIsSurrogatePairAt(Bytes(text) + r.nStart - 2, Len(text) - r.nStart + 2))
            << "row at " << r.nStart;
      }
      EXPECT_EQ(RowsOf(doc), RebuiltRows(doc));
    }
  }
}

}  // namespace
