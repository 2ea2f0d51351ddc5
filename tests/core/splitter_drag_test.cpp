// Dragging the split-pane window's bars and boxes with scripted mouse
// messages and keys, double clicks on them, and the cursors they show.
#include <windows.h>

#include <gtest/gtest.h>

#include "splitter_fixture.h"

#ifndef _WIN32
#include "hooks_user.h"
#include "hooks_user_menu.h"
#endif

using namespace mirel_splitter_test;

namespace {

enum class Grab { kPane, kColBox, kRowBox, kColBar, kRowBar, kCrossing };

class SplitterDrag : public SplitterFixture {
 protected:
  // A point on what is grabbed (bars: the first ones).
  POINT GrabPoint(Grab grab) const {
    RECT grid, inside;
    splitter->GetGridRects(&grid, &inside);
    switch (grab) {
      case Grab::kPane:
        return POINT{50, 50};
      case Grab::kColBox:
        return POINT{grid.left + 2, inside.bottom + 3};
      case Grab::kRowBox:
        return POINT{inside.right + 3, grid.top + 2};
      case Grab::kColBar:
        return POINT{ColumnBarX(0), 100};
      case Grab::kRowBar:
        return POINT{100, RowBarY(0)};
      default:
        return POINT{ColumnBarX(0), RowBarY(0)};
    }
  }
};
enum class Finish { kButtonUp, kReturn, kEscape, kCancelMode };
constexpr int kUnchanged = -1;

TEST_F(SplitterDrag, ScriptedDragsResizeSplitAndDelete) {
  struct Case {
    const char* name;
    bool bSplitFirst;  // start from a 2 x 2 grid split at (200, 150)
    Grab grab;
    POINT to;  // kUnchanged: where the grab started
    Finish finish;
    int nWantCols, nWantRows;
    int nWantRight, nWantBottom;  // of pane (0, 0): kUnchanged, or TrackerEdge(to)
  };
  constexpr Grab kPane = Grab::kPane, kColBox = Grab::kColBox, kRowBox = Grab::kRowBox;
  constexpr Grab kColBar = Grab::kColBar, kRowBar = Grab::kRowBar, kCrossing = Grab::kCrossing;
  constexpr Finish kUp = Finish::kButtonUp, kReturn = Finish::kReturn, kEscape = Finish::kEscape;
  constexpr Finish kCancel = Finish::kCancelMode;
  constexpr int kSame = kUnchanged;
  // clang-format off
  const Case cases[] = {
      {"interior starts no drag", false, kPane, {300, 200}, kUp, 1, 1, kSame, kSame},
      {"column box splits", false, kColBox, {150, 290}, kUp, 2, 1, 150, kSame},
      {"row box splits", false, kRowBox, {390, 120}, kUp, 1, 2, kSame, 120},
      {"split below the minimum", false, kColBox, {12, 290}, kUp, 1, 1, kSame, kSame},
      {"column bar resizes", true, kColBar, {260, 100}, kUp, 2, 2, 260, kSame},
      {"row bar resizes", true, kRowBar, {100, 80}, kUp, 2, 2, kSame, 80},
      {"crossing resizes both", true, kCrossing, {120, 200}, kUp, 2, 2, 120, 200},
      {"click changes nothing", true, kColBar, {kSame, 0}, kUp, 2, 2, kSame, kSame},
      {"column below its minimum", true, kColBar, {14, 100}, kUp, 1, 2, kSame, kSame},
      {"next column below its minimum", true, kColBar, {370, 100}, kUp, 1, 2, kSame, kSame},
      {"row below its minimum", true, kRowBar, {100, 10}, kUp, 2, 1, kSame, kSame},
      {"Return applies", true, kColBar, {260, 100}, kReturn, 2, 2, 260, kSame},
      {"Escape drops", true, kColBar, {260, 100}, kEscape, 2, 2, kSame, kSame},
      {"cancel mode drops", true, kRowBar, {100, 60}, kCancel, 2, 2, kSame, kSame},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMirelSplitter& s = Make();
    if (c.bSplitFirst) {
      ASSERT_TRUE(s.SplitColumn(200));
      ASSERT_TRUE(s.SplitRow(150));
    }
    const POINT from = GrabPoint(c.grab);
    const POINT to = c.to.x == kUnchanged ? from : c.to;
    const RECT before = PaneRect(0, 0);
    Send(WM_LBUTTONDOWN, from.x, from.y, MK_LBUTTON);
    EXPECT_EQ(s.m_bDragging, c.grab == Grab::kPane ? FALSE : TRUE);
    EXPECT_EQ(GetCapture() == Wnd(), c.grab != Grab::kPane);
    if (c.to.x != kUnchanged) Send(WM_MOUSEMOVE, to.x, to.y, MK_LBUTTON);
    switch (c.finish) {
      case Finish::kButtonUp:
        break;
      case Finish::kReturn:
        SendMessageA(Wnd(), WM_KEYDOWN, VK_RETURN, 0);
        break;
      case Finish::kEscape:
        SendMessageA(Wnd(), WM_KEYDOWN, VK_ESCAPE, 0);
        break;
      case Finish::kCancelMode:
        SendMessageA(Wnd(), WM_CANCELMODE, 0, 0);
        break;
    }
    Send(WM_LBUTTONUP, to.x, to.y);
    EXPECT_FALSE(s.m_bDragging);
    EXPECT_NE(GetCapture(), Wnd());
    EXPECT_EQ(s.m_nCols, c.nWantCols);
    EXPECT_EQ(s.m_nRows, c.nWantRows);
    const RECT after = PaneRect(0, 0);
    if (c.nWantRight == kUnchanged && c.nWantCols == (c.bSplitFirst ? 2 : 1)) {
      EXPECT_EQ(after.right, before.right);
    } else if (c.nWantRight != kUnchanged) {
      EXPECT_EQ(after.right, TrackerEdge(c.nWantRight, s.m_cxBar));
    }
    if (c.nWantBottom == kUnchanged && c.nWantRows == (c.bSplitFirst ? 2 : 1)) {
      EXPECT_EQ(after.bottom, before.bottom);
    } else if (c.nWantBottom != kUnchanged) {
      EXPECT_EQ(after.bottom, TrackerEdge(c.nWantBottom, s.m_cyBar));
    }
    // Every pane in use has its window; nothing is left past the grid.
    for (int r = 0; r < 2; ++r) {
      for (int col = 0; col < 2; ++col) {
        const bool bUsed = r < s.m_nRows && col < s.m_nCols;
        EXPECT_EQ(s.GetPaneWindow(r, col) != nullptr, bUsed) << r << "," << col;
        EXPECT_EQ(s.GetPaneEdit(r, col) != nullptr, bUsed) << r << "," << col;
      }
    }
    EXPECT_EQ(s.GetDocument()->nEditCount, s.m_nRows * s.m_nCols);
  }
}

TEST_F(SplitterDrag, TheTrackerStaysWithinTheDragLimit) {
  CMirelSplitter& s = Make();
  ASSERT_TRUE(s.SplitColumn(200));
  Send(WM_LBUTTONDOWN, ColumnBarX(0), 100, MK_LBUTTON);
  Send(WM_MOUSEMOVE, -500, 100, MK_LBUTTON);
  EXPECT_EQ(s.m_rcDragBar.left, s.m_rcDragLimit.left);
  Send(WM_MOUSEMOVE, 5000, 100, MK_LBUTTON);
  EXPECT_EQ(s.m_rcDragBar.left, s.m_rcDragLimit.right);
  // Column bars move only sideways.
  const RECT bar = s.m_rcDragBar;
  Send(WM_MOUSEMOVE, 5000, 10, MK_LBUTTON);
  EXPECT_EQ(s.m_rcDragBar.top, bar.top);
  SendMessageA(Wnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  // A lost capture drops the drag at the next move.
  Send(WM_LBUTTONDOWN, ColumnBarX(0), 100, MK_LBUTTON);
  ASSERT_TRUE(s.m_bDragging);
  SetCapture(hParent);
  Send(WM_MOUSEMOVE, 300, 100, MK_LBUTTON);
  EXPECT_FALSE(s.m_bDragging);
  ReleaseCapture();
}

TEST_F(SplitterDrag, ArrowKeysMoveThePointerAlongTheBarOnly) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  struct Case {
    Grab grab;
    UINT nKey;
    bool bCtrl;
    int dx, dy;
  };
  for (const Case& c :
       {Case{Grab::kRowBar, VK_DOWN, false, 0, 16}, Case{Grab::kRowBar, VK_RIGHT, false, 0, 0},
        Case{Grab::kRowBar, VK_UP, true, 0, -1}, Case{Grab::kColBar, VK_LEFT, false, -16, 0},
        Case{Grab::kColBar, VK_DOWN, false, 0, 0}, Case{Grab::kCrossing, VK_RIGHT, true, 1, 0}}) {
    CMirelSplitter& s = Make();
    ASSERT_TRUE(s.SplitColumn(200));
    ASSERT_TRUE(s.SplitRow(150));
    const POINT from = GrabPoint(c.grab);
    Send(WM_LBUTTONDOWN, from.x, from.y, MK_LBUTTON);
    POINT screen = from;
    ClientToScreen(Wnd(), &screen);
    MrwTestSetCursorPos(screen.x, screen.y);
    MrwTestSetKeyDown(VK_CONTROL, c.bCtrl);
    SendMessageA(Wnd(), WM_KEYDOWN, c.nKey, 0);
    MrwTestResetKeyState();
    POINT now{};
    GetCursorPos(&now);
    EXPECT_EQ(now.x - screen.x, c.dx) << c.nKey;
    EXPECT_EQ(now.y - screen.y, c.dy) << c.nKey;
    EXPECT_TRUE(s.m_bDragging);
    SendMessageA(Wnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  }
#endif
}

TEST_F(SplitterDrag, DoubleClicksSplitOrDeleteKeepingTheActivePane) {
  struct Case {
    const char* name;
    bool bSplitFirst;
    Grab grab;
    int nActiveRow, nActiveCol;
    int nWantCols, nWantRows;
    int nWantActiveRow, nWantActiveCol;
  };
  const Case cases[] = {
      {"column box splits at half", false, Grab::kColBox, 0, 0, 2, 1, 0, 0},
      {"row box splits at half", false, Grab::kRowBox, 0, 0, 1, 2, 0, 0},
      {"bar below the active row deletes the next row", true, Grab::kRowBar, 0, 1, 2, 1, 0, 1},
      {"bar above the active row deletes the row above", true, Grab::kRowBar, 1, 0, 2, 1, 0, 0},
      {"bar right of the active column deletes the next column", true, Grab::kColBar, 1, 0, 1, 2, 1, 0},
      {"bar left of the active column deletes that column", true, Grab::kColBar, 1, 1, 1, 2, 1, 0},
      {"crossing deletes a row and a column", true, Grab::kCrossing, 1, 1, 1, 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMirelSplitter& s = Make();
    if (c.bSplitFirst) {
      ASSERT_TRUE(s.SplitColumn(200));
      ASSERT_TRUE(s.SplitRow(150));
    }
    s.SetActivePane(c.nActiveRow, c.nActiveCol, nullptr);
    HWND hActive = s.GetPaneWindow(c.nActiveRow, c.nActiveCol);
    ASSERT_EQ(s.GetActivePane(nullptr, nullptr), hActive);
    const POINT at = GrabPoint(c.grab);
    Send(WM_LBUTTONDBLCLK, at.x, at.y, MK_LBUTTON);
    EXPECT_EQ(s.m_nCols, c.nWantCols);
    EXPECT_EQ(s.m_nRows, c.nWantRows);
    int row = -1, col = -1;
    EXPECT_EQ(s.GetActivePane(&row, &col), hActive);
    EXPECT_EQ(row, c.nWantActiveRow);
    EXPECT_EQ(col, c.nWantActiveCol);
    EXPECT_EQ(GetDlgCtrlID(hActive), static_cast<int>(CMirelSplitter::PaneID(row, col)));
  }
}

TEST_F(SplitterDrag, CursorsFollowTheHitCode) {
  CMirelSplitter& s = Make(16, 16);
  struct Case {
    int nHit;
    HCURSOR hWant;
  };
  for (const Case& c :
       {Case{1, s.m_cursors.hRow}, Case{101, s.m_cursors.hRow}, Case{115, s.m_cursors.hRow},
        Case{2, s.m_cursors.hColumn}, Case{215, s.m_cursors.hColumn}, Case{301, s.m_cursors.hCross},
        Case{525, s.m_cursors.hCross}, Case{0, LoadCursorA(nullptr, IDC_ARROW)},
        Case{116, LoadCursorA(nullptr, IDC_ARROW)}, Case{526, LoadCursorA(nullptr, IDC_ARROW)}}) {
    s.SetCursorForHit(c.nHit);
    EXPECT_EQ(GetCursor(), c.hWant) << c.nHit;
  }
  EXPECT_NE(s.m_cursors.hRow, nullptr);
  EXPECT_NE(s.m_cursors.hColumn, nullptr);
  EXPECT_NE(s.m_cursors.hCross, nullptr);
}

TEST_F(SplitterDrag, SplitCursorsAreBuiltAtTheSizeOfTheirPlanes) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  // A system asking for bigger cursors must not make the cursors read
  // beyond their 32 x 32 planes.
  MrwTestSetSystemMetric(SM_CXCURSOR, 64);
  MrwTestSetSystemMetric(SM_CYCURSOR, 64);
  const int nLive = MrwTestLiveCursorCount();
  {
    CMrSplitCursor cursors;
    EXPECT_EQ(MrwTestLiveCursorCount(), nLive + 3);
    struct Case {
      HCURSOR h;
      POINT hot;
    };
    for (const Case& c :
         {Case{cursors.hColumn, {15, 15}}, Case{cursors.hCross, {16, 15}}, Case{cursors.hRow, {15, 15}}}) {
      POINT hot{};
      SIZE size{};
      BYTE andPlane[128], xorPlane[128];
      ASSERT_TRUE(MrwTestCursorInfo(c.h, &hot, &size, andPlane, xorPlane, 128));
      EXPECT_EQ(size.cx, 32);
      EXPECT_EQ(size.cy, 32);
      EXPECT_EQ(hot.x, c.hot.x);
      EXPECT_EQ(hot.y, c.hot.y);
      // The hot spot is drawn (not transparent).
      const int i = hot.y * 4 + hot.x / 8;
      EXPECT_EQ(andPlane[i] & (0x80 >> (hot.x % 8)), 0);
    }
  }
  EXPECT_EQ(MrwTestLiveCursorCount(), nLive);
  MrwTestResetSystemSettings();
#endif
}

}  // namespace
