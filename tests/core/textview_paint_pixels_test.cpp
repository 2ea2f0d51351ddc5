// Pixels of the text view's paint, read back from the back buffer it copies
// to the screen: background and margins, selection colours with and without
// the focus, tabs, selected line ends, the caret row, bookmarked rows and the
// repaint tags. Positions come from the font's own metrics.
#include <windows.h>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "textview_paint_fixture.h"

using mirel_paint_test::TextViewPaint;

namespace {

constexpr COLORREF kGrayMargin = RGB(0xE4, 0xE4, 0xE4);

}  // namespace

TEST_F(TextViewPaint, BeforeTheFirstTextTheClientAreaIsEmpty) {
  Paint();
  EXPECT_EQ(Pixel(2, 2), kBack);
  EXPECT_EQ(Pixel(cx / 2, cy / 2), kBack);
  EXPECT_EQ(Pixel(cx - 1, cy - 1), kBack);
}

TEST_F(TextViewPaint, MarginsRunFromTheFirstRowToTheBottomAndTheTextAreaIsBackground) {
  Open("one\r\ntwo\r\nthree");
  ASSERT_TRUE(doc.IsShowIndicatorMargin());
  ASSERT_TRUE(doc.IsShowLineNo());
  Paint();
  const COLORREF crFace = GetSysColor(COLOR_BTNFACE);
  const int yBelow = RowY(3) + 4;
  ASSERT_LT(yBelow, cy);
  for (int y : {RowY(0) + 1, RowY(2) + 1, yBelow}) {
    SCOPED_TRACE(y);
    EXPECT_EQ(Pixel(3, y), crFace);
    EXPECT_EQ(Pixel(14, y), doc.crMarginLine);
    // The numbers are right-aligned: the strip's left edge stays clear.
    EXPECT_EQ(Pixel(16, y), kGrayMargin);
    EXPECT_EQ(Pixel(doc.nLeftMargin - 2, y), kBack);
    EXPECT_EQ(Pixel(cx - 2, y), kBack);
  }
}

TEST_F(TextViewPaint, SelectionShowsInSelectionColoursWhileFocused) {
  Open("      x");
  doc.SetSel(0, 3, TRUE);
  SetFocus(hWnd);
  ASSERT_EQ(GetFocus(), hWnd);
  Paint();
  const int lm = doc.nLeftMargin;
  EXPECT_EQ(Pixel(lm + nSpace / 2, MidY(0)), kSelBack);
  EXPECT_EQ(Pixel(lm + 2 * nSpace + nSpace / 2, MidY(0)), kSelBack);
  EXPECT_EQ(Pixel(lm + 4 * nSpace + nSpace / 2, MidY(0)), kBack);
}

TEST_F(TextViewPaint, UnfocusedSelectionFollowsTheInactiveMode) {
  Open("      x");
  doc.SetSel(0, 3, TRUE);
  ASSERT_NE(GetFocus(), hWnd);
  const int xSelected = doc.nLeftMargin + nSpace + nSpace / 2;
  doc.block.nInactiveSelMode = 0;
  Paint();
  EXPECT_EQ(Pixel(xSelected, MidY(0)), kBack);
  doc.block.nInactiveSelMode = 1;
  Paint();
  EXPECT_EQ(Pixel(xSelected, MidY(0)), doc.crSelBack);
  EXPECT_NE(Pixel(xSelected, MidY(0)), kBack);
}

TEST_F(TextViewPaint, TabAtColumnZeroFillsToTheFirstTabStop) {
  Open("\tx\r\n");
  doc.SetSel(0, 1, TRUE);
  SetFocus(hWnd);
  ASSERT_EQ(GetFocus(), hWnd);
  const int tab = tm.tmAveCharWidth * doc.GetTabSize();
  ASSERT_GT(tab, 4);
  const int lm = doc.nLeftMargin;
  Paint();
  EXPECT_EQ(Pixel(lm, MidY(0)), kSelBack);
  EXPECT_EQ(Pixel(lm + tab - 1, MidY(0)), kSelBack);
  // Scrolled by 3 pixels the tab still ends at its stop, 3 pixels further
  // left, and the gap before the text covers what lies left of it.
  edit->nHScrollPos = 3;
  Paint();
  EXPECT_EQ(Pixel(lm - 2, MidY(0)), kBack);
  EXPECT_EQ(Pixel(lm, MidY(0)), kSelBack);
  EXPECT_EQ(Pixel(lm + tab - 4, MidY(0)), kSelBack);
  EXPECT_NE(Pixel(lm + tab - 1, RowY(0)), kSelBack);
}

TEST_F(TextViewPaint, SelectedLineEndIsABlankOrTheMarkOnSelectionBack) {
  Open("ab\r\ncd");
  doc.SetSel(0, 4, TRUE);
  SetFocus(hWnd);
  ASSERT_EQ(GetFocus(), hWnd);
  const int xEnd = doc.nLeftMargin + TextWidth("ab");
  Paint();
  EXPECT_EQ(Pixel(xEnd + nSpace / 2, MidY(0)), kSelBack);
  EXPECT_EQ(Pixel(xEnd + nSpace + 3, MidY(0)), kBack);
  // The second row is not selected: its own line has no blank.
  EXPECT_EQ(Pixel(doc.nLeftMargin + TextWidth("cd") + nSpace / 2, MidY(1)), kBack);

  doc.ShowBreakCode(TRUE);
  Paint();
  EXPECT_EQ(Pixel(xEnd + 1, RowY(0) + 1), kSelBack);
}

TEST_F(TextViewPaint, CaretRowOfActiveTypeFourHasItsOwnBackground) {
  Open("a\r\nb\r\n");
  constexpr COLORREF kActive = RGB(200, 255, 200);
  doc.SetActiveLineBackColor(kActive);
  doc.SetActiveLineType(4);
  ASSERT_EQ(doc.cli, 0);
  Paint();
  EXPECT_EQ(Pixel(cx - 2, RowY(0) + 1), kActive);
  EXPECT_EQ(Pixel(cx - 2, RowY(1) + 1), kBack);
}

TEST_F(TextViewPaint, BookmarkedRowIsColouredOnlyWhileTheIndicatorMarginIsHidden) {
  Open("a\r\nb\r\nc");
  constexpr COLORREF kMark = RGB(255, 200, 0);
  doc.SetBookmarkColor(kMark);
  mirel_doc_test::MakeBookmarkSlots(doc);
  mirel_doc_test::AddOrdinaryBookmark(doc, 1);
  Paint();
  // Margin shown: ordinary colours, the mark in the margin.
  EXPECT_EQ(Pixel(cx - 2, RowY(1) + 1), kBack);
  EXPECT_EQ(Pixel(7, RowY(1) + tm.tmHeight / 2), kMark);
  doc.EnableIndicatorMargin(FALSE);
  Paint();
  EXPECT_EQ(Pixel(cx - 2, RowY(1) + 1), kMark);
  EXPECT_EQ(Pixel(cx - 2, RowY(0) + 1), kBack);
}

TEST_F(TextViewPaint, RulerTagRepaintsTheRulerOnlyAndNoTagOnlyCopies) {
  Open("a\r\nb");
  doc.EnableRuler(TRUE);
  ASSERT_GT(doc.nRulerHeight, 1);
  Paint();
  const int rh = doc.nRulerHeight;
  EXPECT_EQ(Pixel(cx - 2, rh - 1), doc.crLineNo);
  EXPECT_EQ(Pixel(cx - 2, rh + 1), kBack);
  // Changed colours show only where the pending request repaints.
  constexpr COLORREF kNewBack = RGB(1, 2, 3);
  constexpr COLORREF kNewLineNo = RGB(9, 200, 9);
  doc.crBack = kNewBack;
  doc.crLineNo = kNewLineNo;
  Paint(REPAINT_TAG_NONE);
  EXPECT_NE(Pixel(cx - 2, rh - 1), kNewLineNo);
  Paint(REPAINT_TAG_RULER);
  EXPECT_EQ(Pixel(cx - 2, rh - 1), kNewLineNo);
  EXPECT_EQ(Pixel(cx - 2, rh + 1), kBack);
  Paint(REPAINT_TAG_ALL);
  EXPECT_EQ(Pixel(cx - 2, rh + 1), kNewBack);
}

TEST_F(TextViewPaint, SyntaxStylesColourTheirRunsAndAutomaticBackIsTheRowBack) {
  Open("int x; // a b\r\nint");
  MIREL_SYNTAX_INFO info = {};
  info.bCaseSensitive = 1;
  info.pszDelimiters = "";
  info.pszLineComment1 = "//";
  info.pszKeywords[0] = " int ";
  MIREL_SYNTAX_COLORS colors;
  for (MIREL_SYNTAX_COLOR_PAIR& pair : colors.pairs) pair = {MIREL_CLR_AUTO, MIREL_CLR_AUTO};
  constexpr COLORREF kCommentBack = RGB(0, 128, 128);
  colors.pairs[MIREL_SYNTAX_PAIR_COMMENT1] = {RGB(255, 255, 255), kCommentBack};
  ASSERT_EQ(doc.SetSyntaxGeneral(&info, &colors), 1);
  constexpr COLORREF kActive = RGB(200, 255, 200);
  doc.SetActiveLineBackColor(kActive);
  doc.SetActiveLineType(4);
  ASSERT_EQ(doc.cli, 0);
  Paint();
  const int lm = doc.nLeftMargin;
  // The blank inside the comment takes the comment's back colour; the blank
  // before it (plain text, automatic back) the caret row's background.
  EXPECT_EQ(Pixel(lm + TextWidth("int x; // a") + nSpace / 2, MidY(0)), kCommentBack);
  EXPECT_EQ(Pixel(lm + TextWidth("int x;") + nSpace / 2, MidY(0)), kActive);
  EXPECT_EQ(Pixel(lm + TextWidth("int") + nSpace / 2, MidY(0)), kActive);
}

TEST_F(TextViewPaint, MetricsBelowOnePixelNeverStopThePaint) {
  Open("\tx\r\ny");
  doc.EnableRuler(TRUE);
  doc.ShowWhiteSpaceCode(TRUE);
  doc.nTabWidth = 0;
  doc.nAveCharWidth = 0;
  doc.nLineHeight = 0;
  doc.nFontHeight = 0;
  Paint();
  // Everything still lands in the buffer: the ruler's line and the text area.
  EXPECT_EQ(Pixel(cx - 2, doc.nRulerHeight - 1), doc.crLineNo);
  EXPECT_EQ(Pixel(cx - 2, cy - 2), kBack);
}
