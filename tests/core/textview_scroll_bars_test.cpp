// The text view's scroll bars and scrolling: the vertical range lets the
// last row reach the top, the horizontal range covers the widest row, the
// bars never get a negative page, scrolling stays inside the ranges by whole
// rows (vertically) and font heights (horizontally), and the thumb's final
// position changes nothing.
#include <windows.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "textview_test_util.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

using namespace mirel_textview_test;

namespace {

using TextViewScrollBars = TextViewFixture;

SCROLLINFO BarInfo(HWND h, int nBar) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  EXPECT_TRUE(GetScrollInfo(h, nBar, &si));
  return si;
}

TEST_F(TextViewScrollBars, VerticalRangeIsTheTextPlusOnePageOfWholeRows) {
  MakeWindow(Rows(30));
  SizeTextArea(10, H / 2, 200);  // a part row below the whole ones
  const SCROLLINFO si = BarInfo(hWnd, SB_VERT);
  EXPECT_EQ(doc.nScrollHeight, (10 + 31) * H);
  EXPECT_EQ(si.nMax, (10 + 31) * H);
  EXPECT_EQ(si.nPage, static_cast<UINT>(10 * H));
  EXPECT_EQ(si.nPos, 0);
}

TEST_F(TextViewScrollBars, HorizontalRangeCoversTheWidestRowBeyondTheMargin) {
  MakeWindow("short\r\n" + std::string(100, 'm') + "\r\n");
  const int nClient = Mirel().rcEdit.right;
  ASSERT_EQ(doc.nMaxLineWidth, TextWidth(std::string(100, 'm').c_str()));
  const SCROLLINFO si = BarInfo(hWnd, SB_HORZ);
  EXPECT_EQ(si.nMax, nClient + doc.nMaxLineWidth - doc.nLeftMargin);
  EXPECT_EQ(si.nPage, static_cast<UINT>(nClient - doc.nLeftMargin));
}

TEST_F(TextViewScrollBars, AWindowNarrowerThanTheMarginOrLowerThanARowHasNoNegativePage) {
  MakeWindow(Rows(5));
  const int nNarrow = doc.nLeftMargin / 2;
  ASSERT_GT(nNarrow, 0);
  SizeTextArea(0, nFontHeight / 2, nNarrow);
  EXPECT_EQ(pView->GetPageLineCount(), 0);
  const SCROLLINFO sh = BarInfo(hWnd, SB_HORZ);
  EXPECT_EQ(sh.nPage, 0u);
  EXPECT_GE(sh.nMax, 0);
  const SCROLLINFO sv = BarInfo(hWnd, SB_VERT);
  EXPECT_EQ(sv.nPage, 0u);
  // Scrolling such a window stays inside the text.
  SendMessageA(hWnd, WM_VSCROLL, SB_PAGEDOWN, 0);
  SendMessageA(hWnd, WM_HSCROLL, SB_PAGELEFT, 0);
  EXPECT_GE(Mirel().nTopLine, 0);
  EXPECT_LE(Mirel().nTopLine, doc.nLineCount - 1);
  EXPECT_EQ(Mirel().nHScrollPos, 0);
}

TEST_F(TextViewScrollBars, VerticalScrollingMovesWholeRowsAndStopsAtTheLastRow) {
  MakeWindow(Rows(30));
  SendMessageA(hWnd, WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(Mirel().nTopLine, 0);
  SendMessageA(hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Mirel().nTopLine, 1);
  EXPECT_EQ(GetScrollPos(hWnd, SB_VERT), H);
  for (int i = 0; i < 10; ++i) SendMessageA(hWnd, WM_VSCROLL, SB_PAGEDOWN, 0);
  // The range ends one page past the rows: the page stops at the end of the text.
  const int nEnd = Mirel().nTopLine;
  EXPECT_EQ(nEnd, doc.nScrollHeight / H - 10);
  EXPECT_GE(nEnd, doc.nLineCount - 1);
  EXPECT_LE(nEnd, doc.nLineCount);
  EXPECT_EQ(GetScrollPos(hWnd, SB_VERT), nEnd * H);
  SendMessageA(hWnd, WM_VSCROLL, SB_THUMBPOSITION, 0);
  SendMessageA(hWnd, WM_VSCROLL, SB_ENDSCROLL, 0);
  EXPECT_EQ(Mirel().nTopLine, nEnd);
  SendMessageA(hWnd, WM_VSCROLL, SB_PAGEUP, 0);
  EXPECT_EQ(Mirel().nTopLine, nEnd - 10);
}

TEST_F(TextViewScrollBars, HorizontalScrollingStepsByTheFontHeightWithinTheWidestRow) {
  MakeWindow(std::string(60, 'm'));
  const int nWidest = doc.nMaxLineWidth;
  ASSERT_GT(nWidest, nFontHeight);
  SendMessageA(hWnd, WM_HSCROLL, SB_LINELEFT, 0);
  EXPECT_EQ(Mirel().nHScrollPos, 0);
  SendMessageA(hWnd, WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(Mirel().nHScrollPos, nFontHeight);
  EXPECT_EQ(GetScrollPos(hWnd, SB_HORZ), nFontHeight);
  SendMessageA(hWnd, WM_HSCROLL, SB_THUMBPOSITION, 0);
  SendMessageA(hWnd, WM_HSCROLL, SB_ENDSCROLL, 0);
  EXPECT_EQ(Mirel().nHScrollPos, nFontHeight);
  for (int i = 0; i < 50; ++i) SendMessageA(hWnd, WM_HSCROLL, SB_PAGERIGHT, 0);
  EXPECT_EQ(Mirel().nHScrollPos, nWidest);
  SendMessageA(hWnd, WM_HSCROLL, SB_PAGELEFT, 0);
  EXPECT_EQ(Mirel().nHScrollPos,
            std::max(nWidest - (static_cast<int>(Mirel().rcEdit.right) - doc.nLeftMargin), 0));
}

TEST_F(TextViewScrollBars, ThumbTrackingFollowsTheTrackedPosition) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  MakeWindow(Rows(30) + std::string(80, 'm'));
  MrwTestSetScrollTrackPos(hWnd, SB_VERT, 12 * H + H / 2);
  SendMessageA(hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
  EXPECT_EQ(Mirel().nTopLine, 12);
  MrwTestSetScrollTrackPos(hWnd, SB_HORZ, 7);
  SendMessageA(hWnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
  EXPECT_EQ(Mirel().nHScrollPos, 7);
#endif
}

TEST_F(TextViewScrollBars, SizingKeepsTheCaretRowInStepWithTheNewWrap) {
  MakeWindow(std::string(120, 'w') + "\r\nend");
  doc.nWrapMode = MIREL_WRAP_CHAR;
  PutCaret(124);  // inside "end"
  SizeTextArea(10, 0, 300);
  const int nWideRows = doc.nLineCount;
  EXPECT_EQ(doc.cli, doc.GetLineFromPos(124));
  SizeTextArea(10, 0, 150);
  EXPECT_GT(doc.nLineCount, nWideRows);
  EXPECT_EQ(doc.cli, doc.GetLineFromPos(124));
  EXPECT_EQ(doc.cli, doc.nLineCount - 1);
  EXPECT_EQ(doc.nTextWidth, 150);
}

}  // namespace
