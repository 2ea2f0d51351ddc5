// The split-pane window: the class and its registrar, creation, size
// distribution, layout of panes and shared bars, and the messages it passes
// between its panes and its parent.
#include <windows.h>

#include <gtest/gtest.h>

#include "splitter_fixture.h"

using namespace mirel_splitter_test;

namespace {

// The class is the library's own from the start, as in the library, however
// the test program orders its tests.
const bool kSplitterClassRegistered = (SplitterRegistrar(), true);

using SplitterLayout = SplitterFixture;

TEST_F(SplitterLayout, ClassIsRegisteredForTheHostModule) {
  WNDCLASSA wc{};
  ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "__MIREL_SPLITTER__", &wc));
  EXPECT_EQ(wc.style, 0x0Bu);
  EXPECT_EQ(wc.lpfnWndProc, &MirelSplitterWndProc);
  EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
}

TEST_F(SplitterLayout, AWindowOfTheClassTheHostMakesItselfIsRefusedWhateverItsParameter) {
  // Only CMirelSplitter::Create makes a window of the class.
  CMirelSplitter idle;
  mirel_window_test::ExpectHostMadeWindowsRefused("__MIREL_SPLITTER__", hParent, &idle,
                                                  [] { return SplitterRegistrar().GetUsed(); });
  EXPECT_EQ(idle.m_hWnd, nullptr);
  EXPECT_TRUE(idle.Create(hParent, 1, 1, kMin, kMin, 78, nullptr, WS_CHILD));
}

TEST_F(SplitterLayout, CreationMakesOnePaneWithSharedBarsAndSizeBox) {
  const int nUsed = SplitterRegistrar().GetUsed();
  CMirelSplitter& s = Make(2, 2);
  ASSERT_NE(Wnd(), nullptr);
  EXPECT_EQ(SplitterRegistrar().GetUsed(), nUsed + 1);
  EXPECT_EQ(SplitterRegistrar().Lookup(Wnd()), &s);
  EXPECT_EQ(GetDlgCtrlID(Wnd()), 77);
  // The scroll styles became shared bars, not bars of the window.
  EXPECT_EQ(GetWindowLongA(Wnd(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
  EXPECT_EQ(s.m_nRows, 1);
  EXPECT_EQ(s.m_nCols, 1);
  HWND hPane = GetDlgItem(Wnd(), 0xE900);
  ASSERT_NE(hPane, nullptr);
  EXPECT_EQ(s.GetPaneEdit(0, 0)->hWndEdit, hPane);
  EXPECT_EQ(s.GetPaneEdit(0, 0)->bInSplitter, 1);
  EXPECT_EQ(s.hActivePane, hPane);
  EXPECT_EQ(s.m_pColInfo[0].nIdealSize, kMin + 100);
  EXPECT_EQ(s.m_pRowInfo[0].nIdealSize, kMin + 100);
  EXPECT_NE(GetDlgItem(Wnd(), 0xEA00), nullptr);
  EXPECT_NE(GetDlgItem(Wnd(), 0xEA10), nullptr);
  EXPECT_NE(GetDlgItem(Wnd(), 0xEA20), nullptr);
  // The pane uses the shared bars of its row and column.
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(hPane, WM_MIREL_GETSCROLLBAR, SB_VERT, 0)),
            GetDlgItem(Wnd(), 0xEA10));
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(hPane, WM_MIREL_GETSCROLLBAR, SB_HORZ, 0)),
            GetDlgItem(Wnd(), 0xEA00));
}

TEST_F(SplitterLayout, LimitsAreKeptWithinOneToSixteen) {
  struct Case {
    int nRows, nCols, nWantRows, nWantCols;
  };
  for (const Case& c : {Case{0, 0, 1, 1}, Case{-5, 3, 1, 3}, Case{17, 40, 16, 16}, Case{16, 1, 16, 1}}) {
    CMirelSplitter& s = Make(c.nRows, c.nCols);
    EXPECT_EQ(s.m_nMaxRows, c.nWantRows) << c.nRows;
    EXPECT_EQ(s.m_nMaxCols, c.nWantCols) << c.nCols;
    // The split boxes exist exactly while a split is possible.
    RECT grid, inside;
    s.GetGridRects(&grid, &inside);
    const int nRowBox = s.HitTest(POINT{inside.right + 2, grid.top + 2});
    EXPECT_EQ(nRowBox, c.nWantRows > 1 ? MIREL_HIT_ROW_SPLITBOX : MIREL_HIT_NONE);
  }
}

TEST_F(SplitterLayout, DistributingSizesCollapsesWhatCannotReachItsMinimum) {
  struct Case {
    int nExtent, nWantFirst, nWantSecond;
  };
  CMirelSplitter& s = Make();
  for (const Case& c : {Case{150, 100, 43}, Case{115, 110, 0}, Case{105, 100, 0}, Case{400, 100, 293},
                        Case{0, 0, 0}, Case{-20, 0, 0}}) {
    CMirelSplitterRowColInfo info[2] = {{20, 100, -1}, {20, 100, -1}};
    s.DistributeSizes(info, 2, c.nExtent, 7);
    EXPECT_EQ(info[0].nCurSize, c.nWantFirst) << c.nExtent;
    EXPECT_EQ(info[1].nCurSize, c.nWantSecond) << c.nExtent;
  }
  // A column asked below its minimum collapses; the last takes the rest.
  CMirelSplitterRowColInfo three[3] = {{20, 10, -1}, {20, 50, -1}, {20, 50, -1}};
  s.DistributeSizes(three, 3, 200, 7);
  EXPECT_EQ(three[0].nCurSize, 0);
  EXPECT_EQ(three[1].nCurSize, 50);
  EXPECT_EQ(three[2].nCurSize, 200 - 7 - 50 - 7);
}

TEST_F(SplitterLayout, PanesAndBarsFillTheGrid) {
  CMirelSplitter& s = Make(3, 3);
  ASSERT_TRUE(s.SplitColumn(150));
  ASSERT_TRUE(s.SplitRow(100));
  const int cxV = GetSystemMetrics(SM_CXVSCROLL), cyH = GetSystemMetrics(SM_CYHSCROLL);
  const int b = s.m_cxBorder;
  const RECT inside{b, b, kWidth - b - cxV, kHeight - b - cyH};
  // The first column and row keep the split position; the last take the rest.
  struct Case {
    int row, col;
    RECT want;
  };
  const int x1 = 150 + s.m_cxGap, y1 = 100 + s.m_cyGap;
  for (const Case& c :
       {Case{0, 0, {b, b, 150, 100}}, Case{0, 1, {x1, b, inside.right, 100}},
        Case{1, 0, {b, y1, 150, inside.bottom}}, Case{1, 1, {x1, y1, inside.right, inside.bottom}}}) {
    const RECT rc = PaneRect(c.row, c.col);
    EXPECT_EQ(rc.left, c.want.left) << c.row << "," << c.col;
    EXPECT_EQ(rc.top, c.want.top) << c.row << "," << c.col;
    EXPECT_EQ(rc.right, c.want.right) << c.row << "," << c.col;
    EXPECT_EQ(rc.bottom, c.want.bottom) << c.row << "," << c.col;
  }
  // Bars under the columns and beside the rows; the first ones leave room
  // for the split boxes while more splits are possible.
  const RECT h0 = ChildRect(GetDlgItem(Wnd(), 0xEA00)), h1 = ChildRect(GetDlgItem(Wnd(), 0xEA01));
  EXPECT_EQ(h0.left, b + s.m_cxBar);
  EXPECT_EQ(h0.right, 150);
  EXPECT_EQ(h0.top, inside.bottom);
  EXPECT_EQ(h1.left, x1);
  EXPECT_EQ(h1.right, inside.right);
  const RECT v1 = ChildRect(GetDlgItem(Wnd(), 0xEA11));
  EXPECT_EQ(v1.left, inside.right);
  EXPECT_EQ(v1.top, y1);
  EXPECT_EQ(v1.bottom, inside.bottom);
  const RECT box = ChildRect(GetDlgItem(Wnd(), 0xEA20));
  EXPECT_EQ(box.left, inside.right);
  EXPECT_EQ(box.top, inside.bottom);
}

TEST_F(SplitterLayout, MinimizedOrEmptySizesLeaveThePanesAlone) {
  CMirelSplitter& s = Make();
  const RECT before = PaneRect(0, 0);
  for (LPARAM lParam : {MAKELPARAM(0, 200), MAKELPARAM(200, 0)}) {
    SendMessageA(Wnd(), WM_SIZE, SIZE_RESTORED, lParam);
    EXPECT_EQ(PaneRect(0, 0).right, before.right);
  }
  SendMessageA(Wnd(), WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(100, 100));
  EXPECT_EQ(PaneRect(0, 0).right, before.right);
  EXPECT_EQ(PaneRect(0, 0).bottom, before.bottom);
  (void)s;
}

TEST_F(SplitterLayout, MessagesBetweenPanesParentAndHost) {
  CMirelSplitter& s = Make();
  ASSERT_TRUE(s.SplitRow(100));
  ASSERT_TRUE(s.SplitColumn(150));
  // A pane's command reaches the parent as from pane 0xE900.
  HWND hPane11 = s.GetPaneWindow(1, 1);
  ASSERT_EQ(GetDlgCtrlID(hPane11), 0xE900 + 17);
  SendMessageA(Wnd(), WM_COMMAND, MAKEWPARAM(0xE900 + 17, 5), reinterpret_cast<LPARAM>(hPane11));
  ASSERT_EQ(mirel_window_test::ParentMessages().size(), 1u);
  EXPECT_EQ(mirel_window_test::ParentMessages()[0].wParam, MAKEWPARAM(0xE900, 5));
  EXPECT_EQ(mirel_window_test::ParentMessages()[0].lParam, reinterpret_cast<LPARAM>(hPane11));
  // A command from anything else is not passed on.
  SendMessageA(Wnd(), WM_COMMAND, MAKEWPARAM(0xEA00, 1), 0);
  EXPECT_EQ(mirel_window_test::ParentMessages().size(), 1u);
  // Row 1's pane stands in for its vertical bar with 0xEA11.
  EXPECT_EQ(GetDlgCtrlID(reinterpret_cast<HWND>(SendMessageA(hPane11, WM_MIREL_GETSCROLLBAR, SB_VERT, 0))),
            0xEA11);
  // The host's value.
  SendMessageA(Wnd(), WM_MIREL_SPLITTER_SETVALUE, 0, 1234);
  EXPECT_EQ(SendMessageA(Wnd(), WM_MIREL_SPLITTER_GETVALUE, 0, 0), 1234);
  // The size box's kind on request.
  HWND hBox = GetDlgItem(Wnd(), 0xEA20);
  SendMessageA(Wnd(), WM_MIREL_SPLITTER_SIZEBOXSTYLE, 8, 0);
  EXPECT_NE(GetWindowLongA(hBox, GWL_STYLE) & WS_DISABLED, 0);
  EXPECT_NE(GetWindowLongA(hBox, GWL_STYLE) & SBS_SIZEBOX, 0);
  SendMessageA(Wnd(), WM_MIREL_SPLITTER_SIZEBOXSTYLE, 0, 0);
  EXPECT_EQ(GetWindowLongA(hBox, GWL_STYLE) & (WS_DISABLED | SBS_SIZEBOX), 0);
  EXPECT_NE(GetWindowLongA(hBox, GWL_STYLE) & SBS_SIZEGRIP, 0);
}

TEST_F(SplitterLayout, BarsArePaintedInTheButtonFace) {
  CMirelSplitter& s = Make();
  ASSERT_TRUE(s.SplitColumn(150));
  ShowWindow(hParent, SW_SHOW);
  UpdateWindow(Wnd());
  HDC hdc = GetDC(Wnd());
  ASSERT_NE(hdc, nullptr);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  // The middle of the bar between the columns, half-way down.
  EXPECT_EQ(GetPixel(hdc, ColumnBarX(0), kHeight / 2), face);
  // The row split box's face.
  RECT grid, inside;
  s.GetGridRects(&grid, &inside);
  EXPECT_EQ(GetPixel(hdc, (inside.right + grid.right) / 2, grid.top + s.m_cyBar / 2), face);
  ReleaseDC(Wnd(), hdc);
}

}  // namespace
