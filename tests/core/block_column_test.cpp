// Column (box) blocks: the rows built between the two ends, their text, and
// deleting them, in ANSI (code page 949), UTF-16 and UTF-8. Pixel positions
// are derived from the widths of the test font on the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "mirel/cmireldoc.h"
#include "mirel/cmrundomanager.h"
#include "selection_fixture.h"

namespace {

using mirel_sel_test::kGa;
using mirel_sel_test::SelDoc;

class ColumnBlock : public ::testing::TestWithParam<int> {
 protected:
  // The column text of the block as the copy writes it, after checking that
  // the size query announces exactly that many bytes.
  static std::string ColumnText(CMrBlock& block) {
    const DWORD nSize = block.GetColumnText(nullptr);
    std::string out(nSize + 8, '#');
    const DWORD nWritten = block.GetColumnText(reinterpret_cast<BYTE*>(&out[0]));
    EXPECT_EQ(nSize, nWritten);
    EXPECT_EQ(std::string(8, '#'), out.substr(nSize)) << "wrote past the announced size";
    out.resize(nWritten);
    return out;
  }
  // The rows shown in a window, with column mode on.
  static void ShowInColumnMode(SelDoc& t, std::initializer_list<std::u16string> rows) {
    ASSERT_TRUE(t.SetRows(rows));
    t.ShowInWindow();
    t.doc.SetColumnMode(TRUE);
  }
};

TEST_P(ColumnBlock, ShortMiddleRowHasAnEmptyVirtualSegmentAndCopiesAsAnEmptyLine) {
  SelDoc t(GetParam());
  ASSERT_NO_FATAL_FAILURE(ShowInColumnMode(t, {u"xxxxxxxx", u"x", u"xxxxxxxx"}));
  ASSERT_TRUE(t.doc.IsColumnMode());
  t.doc.SetSel(t.Pos(0, 2), t.Pos(2, 5), FALSE);

  CMrBlock& b = t.doc.block;
  ASSERT_TRUE(t.doc.IsColumnBlock());
  ASSERT_EQ(3, b.nRowCount);
  const int w = t.Width('x');
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(i, b.pRows[i].nLine);
    EXPECT_EQ(2 * w, b.pRows[i].nLeftX);
    EXPECT_EQ(5 * w, b.pRows[i].nRightX);
  }
  EXPECT_EQ(t.Pos(0, 2), b.pRows[0].nStart);
  EXPECT_EQ(t.Pos(0, 5), b.pRows[0].nEnd);
  EXPECT_EQ(0, b.pRows[0].nStartVirtual);
  EXPECT_EQ(0, b.pRows[0].nEndVirtual);
  // The short row: both ends at its end, reached by virtual columns.
  EXPECT_EQ(t.Pos(1, 1), b.pRows[1].nStart);
  EXPECT_EQ(t.Pos(1, 1), b.pRows[1].nEnd);
  EXPECT_GT(b.pRows[1].nStartVirtual, 0);
  EXPECT_GT(b.pRows[1].nEndVirtual, b.pRows[1].nStartVirtual);
  const int s = t.Width(' ');
  EXPECT_LE(std::abs(w + b.pRows[1].nStartVirtual * s - 2 * w), s);
  EXPECT_LE(std::abs(w + b.pRows[1].nEndVirtual * s - 5 * w), s);
  EXPECT_EQ(t.Pos(2, 2), b.pRows[2].nStart);
  EXPECT_EQ(t.Pos(2, 5), b.pRows[2].nEnd);

  EXPECT_EQ(t.Bytes(u"xxx\r\n\r\nxxx"), ColumnText(b));
  // Building the rows leaves the caret's virtual columns alone.
  EXPECT_EQ(0, t.doc.nVirtualSpace);
}

TEST_P(ColumnBlock, ReversedEndsGiveTheSameRows) {
  SelDoc t(GetParam());
  ASSERT_NO_FATAL_FAILURE(ShowInColumnMode(t, {u"xxxxxxxx", u"xxxxxxxx", u"xxxxxxxx"}));
  const std::string expected = t.Bytes(u"xxx\r\nxxx\r\nxxx");
  // Caret above the anchor, caret left of the anchor, and both.
  const DWORD ends[][2] = {
      {t.Pos(2, 5), t.Pos(0, 2)}, {t.Pos(0, 5), t.Pos(2, 2)}, {t.Pos(2, 2), t.Pos(0, 5)}};
  for (const auto& e : ends) {
    t.doc.SetSel(e[0], e[1], FALSE);
    CMrBlock& b = t.doc.block;
    ASSERT_TRUE(b.IsColumnBlock());
    ASSERT_EQ(3, b.nRowCount);
    EXPECT_EQ(0, b.pRows[0].nLine);
    EXPECT_EQ(2, b.pRows[2].nLine);
    EXPECT_EQ(2 * t.Width('x'), b.pRows[1].nLeftX);
    EXPECT_EQ(5 * t.Width('x'), b.pRows[1].nRightX);
    EXPECT_EQ(expected, ColumnText(b));
    EXPECT_EQ(std::min(e[0], e[1]), b.GetStartPtr());
    EXPECT_EQ(std::max(e[0], e[1]), b.GetEndPtr());
    EXPECT_EQ(0, b.GetStartLine());
    EXPECT_EQ(2, b.GetEndLine());
    EXPECT_EQ(static_cast<int>(e[1]), t.doc.nCaretPos);
    EXPECT_EQ(t.doc.GetLineFromPos(e[1]), t.doc.cli);
  }
}

TEST_P(ColumnBlock, DoubleWidthCharactersAreWholeInTheSegments) {
  SelDoc t(GetParam());
  ASSERT_NO_FATAL_FAILURE(
      ShowInColumnMode(t, {std::u16string(u"x") + kGa + u"xx", std::u16string(u"x") + kGa + u"x"}));
  // From after GA on the lower row up to the start of GA on the upper row.
  t.doc.SetSel(t.Pos(1, 2), t.Pos(0, 1), FALSE);
  CMrBlock& b = t.doc.block;
  ASSERT_TRUE(b.IsColumnBlock());
  EXPECT_EQ(t.Bytes(std::u16string(1, kGa) + u"\r\n" + kGa), ColumnText(b));
  EXPECT_EQ(t.Pos(0, 1), b.GetStartPtr());
  EXPECT_EQ(t.Pos(1, 2), b.GetEndPtr());
}

TEST_P(ColumnBlock, TabsAreTakenWholeWhereTheEdgeFallsInTheirFirstHalf) {
  SelDoc t(GetParam());
  ASSERT_TRUE(t.SetRows({u"\txx", u"xx", u"x\tx"}));
  const int w = t.Width('x');
  const int nTab = t.doc.nTabWidth;
  ASSERT_GE(nTab, 2 * w);
  t.ShowInWindow();
  t.doc.SetColumnMode(TRUE);
  // Left edge at the tab of row 2 (x = w), right edge after "\tx" of row 0.
  t.doc.SetSel(t.Pos(2, 1), t.Pos(0, 2), FALSE);
  CMrBlock& b = t.doc.block;
  ASSERT_EQ(3, b.nRowCount);
  EXPECT_EQ(w, b.pRows[0].nLeftX);
  EXPECT_EQ(nTab + w, b.pRows[0].nRightX);
  // Row 0: x = w lies in the first half of the leading tab.
  EXPECT_EQ(t.Pos(0, 0), b.pRows[0].nStart);
  EXPECT_EQ(t.Pos(0, 2), b.pRows[0].nEnd);
  // Row 1 is shorter than the right edge.
  EXPECT_EQ(t.Pos(1, 1), b.pRows[1].nStart);
  EXPECT_EQ(t.Pos(1, 2), b.pRows[1].nEnd);
  EXPECT_GT(b.pRows[1].nEndVirtual, 0);
  // Row 2 ends before the right edge: no virtual column is needed to reach it.
  EXPECT_EQ(t.Pos(2, 1), b.pRows[2].nStart);
  EXPECT_EQ(t.Pos(2, 3), b.pRows[2].nEnd);
  EXPECT_EQ(0, b.pRows[2].nEndVirtual);
  EXPECT_EQ(t.Bytes(u"\tx\r\nx\r\n\tx"), ColumnText(b));
}

TEST_P(ColumnBlock, OneRowIsAStreamBlockOrCollapses) {
  SelDoc t(GetParam());
  ASSERT_NO_FATAL_FAILURE(ShowInColumnMode(t, {u"xxxxxxxx", u"xxxxxxxx"}));
  CMrBlock& b = t.doc.block;
  // A box first, then the caret comes back to the anchor's row.
  t.doc.SetSel(t.Pos(0, 2), t.Pos(1, 5), FALSE);
  ASSERT_TRUE(b.IsColumnBlock());
  b.SetCaret(t.Pos(0, 5), 0);
  EXPECT_FALSE(b.IsColumnBlock());
  EXPECT_TRUE(b.HasSelection());
  EXPECT_EQ(nullptr, b.pRows);  // the old box's rows are gone with it
  EXPECT_EQ(0u, b.GetColumnText(nullptr));
  EXPECT_EQ(t.Pos(0, 2), b.GetStartPtr());
  EXPECT_EQ(t.Pos(0, 5), b.GetEndPtr());
  // The same x as the anchor: the block collapses there, column mode stays.
  b.SetCaret(t.Pos(0, 2), 0);
  EXPECT_FALSE(b.HasSelection());
  EXPECT_EQ(t.Pos(0, 2), b.nAnchor);
  EXPECT_EQ(t.Pos(0, 2), b.nCaret);
  EXPECT_EQ(2 * t.Width('x'), b.nCaretX);
  EXPECT_TRUE(b.IsColumnMode());
}

TEST_P(ColumnBlock, SegmentQueriesAnswerOnlyForTheBlocksRows) {
  SelDoc t(GetParam());
  ASSERT_NO_FATAL_FAILURE(ShowInColumnMode(t, {u"xxxxxx", u"xxxxxx", u"xxxxxx", u"xxxxxx"}));
  t.doc.SetSel(t.Pos(1, 1), t.Pos(2, 4), FALSE);
  CMrBlock& b = t.doc.block;
  DWORD nPos = 99;
  int x = 99;
  EXPECT_TRUE(b.GetBoxSegmentStart(2, &nPos));
  EXPECT_EQ(t.Pos(2, 1), nPos);
  EXPECT_TRUE(b.GetBoxSegmentEnd(1, &nPos));
  EXPECT_EQ(t.Pos(1, 4), nPos);
  EXPECT_TRUE(b.GetBoxSegmentLeftX(1, &x));
  EXPECT_EQ(t.Width('x'), x);
  EXPECT_TRUE(b.GetBoxSegmentRightX(2, &x));
  EXPECT_EQ(4 * t.Width('x'), x);
  for (int nLine : {-1, 0, 3, 1000}) {
    EXPECT_FALSE(b.GetBoxSegmentStart(nLine, &nPos));
    EXPECT_EQ(0u, nPos);
    EXPECT_FALSE(b.GetBoxSegmentRightX(nLine, &x));
    EXPECT_EQ(0, x);
  }
  EXPECT_TRUE(b.GetBoxSegmentEnd(2, nullptr));
}

TEST_P(ColumnBlock, DeletingABoxKeepsTheCaretOnItsRowAtTheLeftEdge) {
  for (bool bCaretOnFirst : {false, true}) {
    SCOPED_TRACE(bCaretOnFirst ? "caret on the first row" : "caret on the last row");
    SelDoc t(GetParam());
    ASSERT_NO_FATAL_FAILURE(ShowInColumnMode(t, {u"xxxxxxxx", u"x", u"xxxxxxxx"}));
    if (bCaretOnFirst) {
      t.doc.SetSel(t.Pos(2, 5), t.Pos(0, 2), FALSE);
    } else {
      t.doc.SetSel(t.Pos(0, 2), t.Pos(2, 5), FALSE);
    }
    const LONG nFirstRecord = t.doc.undo.cr;
    t.doc.block.DeleteColumnBlock(&t.doc);

    ASSERT_TRUE(t.TextIs({u"xxxxx", u"x", u"xxxxx"})) << t.Text();
    const int nCaretRow = bCaretOnFirst ? 0 : 2;
    CMrBlock& b = t.doc.block;
    EXPECT_EQ(static_cast<int>(t.Pos(nCaretRow, 2)), t.doc.nCaretPos);
    EXPECT_EQ(nCaretRow, t.doc.cli);
    EXPECT_EQ(nCaretRow, b.nCaretLine);
    EXPECT_EQ(2 - nCaretRow, b.nAnchorLine);
    // What is left is a zero-width column at the old left edge.
    ASSERT_TRUE(b.IsColumnBlock());
    ASSERT_EQ(3, b.nRowCount);
    EXPECT_EQ(t.Pos(0, 2), b.pRows[0].nStart);
    EXPECT_EQ(t.Pos(0, 2), b.pRows[0].nEnd);
    EXPECT_EQ(t.Pos(2, 2), b.pRows[2].nEnd);
    EXPECT_EQ(4u * static_cast<DWORD>(t.Unit()), b.GetColumnText(nullptr));  // two empty-line breaks

    // All deletions form one undo step.
    LONG nGroup = 0;
    int nRecords = 0;
    for (LONG i = nFirstRecord; i <= t.doc.undo.cr && i < t.doc.undo.nAlloc; ++i) {
      const MIREL_UNDO_RECORD& rec = t.doc.undo.pUR[i];
      if (rec.action == URA_NONE) continue;
      EXPECT_EQ(URA_REMOVE, rec.action);
      if (nRecords++ == 0) nGroup = rec.nGroup;
      EXPECT_EQ(nGroup, rec.nGroup);
    }
    EXPECT_GE(nRecords, 1);
    EXPECT_NE(0, nGroup);
  }
}

TEST_P(ColumnBlock, DeletingABoxThatRunsPastEveryRowEndLeavesTheCaretAtItsLeftEdge) {
  SelDoc t(GetParam());
  ASSERT_NO_FATAL_FAILURE(ShowInColumnMode(t, {u"xxxxxx", u"xxxxxx"}));
  CMrBlock& b = t.doc.block;
  b.Reset(t.Pos(0, 1), 0, FALSE);
  t.doc.nVirtualSpace = 4;  // the caret stands four columns past the row end
  b.SetCaret(t.Pos(1, 6), 1);
  t.doc.cli = 1;
  ASSERT_TRUE(b.IsColumnBlock());
  ASSERT_GT(b.pRows[0].nEndVirtual, 0);
  b.DeleteColumnBlock(&t.doc);

  EXPECT_EQ(t.Bytes(u"x\r\nx"), t.Text());
  EXPECT_EQ(static_cast<int>(t.Bytes(u"x\r\nx").size()), t.doc.nCaretPos);
  EXPECT_EQ(0, t.doc.nVirtualSpace);
  EXPECT_EQ(t.Width('x'), b.nCaretX);
  EXPECT_EQ(t.Width('x'), b.nAnchorX);
}

TEST_P(ColumnBlock, DeletingAZeroWidthColumnSparesRowsItEndsOrPasses) {
  SelDoc t(GetParam());
  ASSERT_NO_FATAL_FAILURE(ShowInColumnMode(t, {u"xxxx", u"x", u"xx", u"xxxx"}));
  t.doc.SetSel(t.Pos(0, 2), t.Pos(3, 2), FALSE);
  CMrBlock& b = t.doc.block;
  ASSERT_TRUE(b.IsColumnBlock());
  ASSERT_EQ(4, b.nRowCount);
  b.DeleteColumnBlock(&t.doc);
  EXPECT_EQ(t.Bytes(u"xxx\r\nx\r\nxx\r\nxxx"), t.Text());
  EXPECT_EQ(3, t.doc.cli);
  EXPECT_TRUE(b.IsColumnBlock());
}

// A font change measures every x again; the block keeps the characters it
// covered (and the virtual columns beyond a short row), so copying it gives
// the same text.
TEST_P(ColumnBlock, AFontChangeKeepsTheCharactersTheBlockCovers) {
  struct Case {
    std::u16string rows[3];
    size_t nAnchorChar, nCaretChar;  // on the first and the last row
    std::u16string copied;
  } const kCases[] = {
      {{u"abcdef", u"ABCDEF", u"012345"}, 2, 6, u"cdef\r\nCDEF\r\n2345"},
      {{u"abcdef", u"ABCDEF", u"012345"}, 6, 2, u"cdef\r\nCDEF\r\n2345"},
      {{u"abcdef", u"ab", u"abcdef"}, 3, 5, u"de\r\n\r\nde"},
      {{u"abcdef", u"abcdef", u"ab"}, 1, 4, u"bcd\r\nbcd\r\nb"},  // the caret 2 columns past "ab"
  };
  for (const Case& c : kCases) {
    SelDoc t(GetParam());
    ASSERT_NO_FATAL_FAILURE(ShowInColumnMode(t, {c.rows[0], c.rows[1], c.rows[2]}));
    LOGFONTA lf{};
    lf.lfHeight = -13;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    t.doc.SetFont(&lf);
    // In a fixed-pitch font a column of row 0 is the same x on every row.
    const int xAnchor = t.doc.GetXFromPos(0, t.Pos(0, c.nAnchorChar), FALSE);
    const int xCaret = t.doc.GetXFromPos(0, t.Pos(0, c.nCaretChar), FALSE);
    t.doc.block.Reset(t.doc.GetPosFromX(0, xAnchor, TRUE), 0, FALSE);
    const DWORD nCaret = t.doc.GetPosFromX(2, xCaret, TRUE);
    t.doc.nCaretPos = static_cast<int>(nCaret);
    t.doc.cli = 2;
    t.doc.block.SetCaret(nCaret, 2);
    CMrBlock& b = t.doc.block;
    ASSERT_EQ(t.Bytes(c.copied), ColumnText(b));
    const MIREL_BLOCK_ROW middle = b.pRows[1];

    lf.lfHeight = -26;
    t.doc.SetFont(&lf);
    ASSERT_TRUE(t.doc.IsColumnBlock());
    EXPECT_EQ(t.Bytes(c.copied), ColumnText(b)) << c.nAnchorChar;
    EXPECT_EQ(middle.nStartVirtual, b.pRows[1].nStartVirtual);
    EXPECT_EQ(middle.nEndVirtual, b.pRows[1].nEndVirtual);
  }
}

INSTANTIATE_TEST_SUITE_P(Encodings, ColumnBlock,
                         ::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8),
                         mirel_sel_test::EncodingParamName);

// ---------------------------------------------------------------------------

TEST(ColumnBlockRefusals, NoRowsWithoutAWindowOrOutsideTheTextView) {
  SelDoc t(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(t.SetRows({u"xxxxxx", u"xxxxxx"}));
  t.doc.SetColumnMode(TRUE);
  EXPECT_TRUE(t.doc.IsColumnMode());
  t.doc.SetSel(1, t.Pos(1, 4), FALSE);
  EXPECT_FALSE(t.doc.IsColumnBlock());
  EXPECT_FALSE(t.doc.block.BuildColumnRows());

  t.ShowInWindow();
  t.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  EXPECT_FALSE(t.doc.block.BuildColumnRows());
  EXPECT_EQ(nullptr, t.doc.block.pRows);
  t.doc.nViewType = MIREL_VIEW_TYPE_TEXT;
  EXPECT_TRUE(t.doc.block.BuildColumnRows());
}

TEST(ColumnBlockRefusals, ColumnModeIsRefusedWhileWordWrapIsOn) {
  SelDoc t(MIREL_ENCODING_ANSI, MIREL_WRAP_CHAR);
  ASSERT_TRUE(t.SetRows({u"xxxxxx", u"xxxxxx"}));
  t.ShowInWindow();
  t.doc.SetSel(1, t.Pos(1, 4), FALSE);
  t.doc.block.SetColumnMode(TRUE);
  EXPECT_FALSE(t.doc.IsColumnMode());
  EXPECT_FALSE(t.doc.IsColumnBlock());
  t.doc.SetColumnMode(FALSE);  // the document's switch refuses turning it off too
  EXPECT_EQ(MIREL_WRAP_CHAR, t.doc.nWrapMode);
  EXPECT_EQ(1u, t.doc.block.nAnchor);
  EXPECT_EQ(t.Pos(1, 4), t.doc.block.nCaret);
}

}  // namespace
