// Window geometry: rectangles, coordinate mapping, moving, sizing, showing
// and enabling. Sizes are checked on borderless windows only, whose client
// area is the window rectangle on Windows too.
#include <windows.h>

#include <vector>

#include "user_test_window.h"

namespace {

using user_test::WindowTest;
using Edges = std::vector<LONG>;

// Left, top, right and bottom.
Edges EdgesOf(const RECT& rc) {
  return {rc.left, rc.top, rc.right, rc.bottom};
}
Edges ClientEdges(HWND h) {
  RECT rc{};
  EXPECT_TRUE(GetClientRect(h, &rc));
  return EdgesOf(rc);
}
Edges WindowEdges(HWND h) {
  RECT rc{};
  EXPECT_TRUE(GetWindowRect(h, &rc));
  return EdgesOf(rc);
}

class UserPositionTest : public WindowTest {};

TEST_F(UserPositionTest, ChildRectanglesAndCoordinateMapping) {
  HWND parent = CreateTopLevel(100, 100, 300, 200);
  HWND child = CreateChild(parent, 1, 10, 20, 100, 50);
  EXPECT_EQ(ClientEdges(child), (Edges{0, 0, 100, 50}));
  EXPECT_EQ(WindowEdges(child), (Edges{110, 120, 210, 170}));

  POINT pt = {5, 6};
  ASSERT_TRUE(ClientToScreen(child, &pt));
  EXPECT_EQ(pt.x, 115);
  EXPECT_EQ(pt.y, 126);
  ASSERT_TRUE(ScreenToClient(parent, &pt));
  EXPECT_EQ(pt.x, 15);
  EXPECT_EQ(pt.y, 26);

  POINT pts[2] = {{0, 0}, {-3, 4}};
  MapWindowPoints(child, parent, pts, 2);
  EXPECT_EQ(pts[0].x, 10);
  EXPECT_EQ(pts[0].y, 20);
  EXPECT_EQ(pts[1].x, 7);
  EXPECT_EQ(pts[1].y, 24);
}

TEST_F(UserPositionTest, MoveWindowReportsTheNewPlaceAndClientSize) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 10, 20, 100, 50);
  rec().Clear();
  ASSERT_TRUE(MoveWindow(child, 5, 6, 120, 70, TRUE));

  EXPECT_EQ(rec().MessagesOf(child, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}),
            (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
  auto size = rec().Find(child, WM_SIZE);
  ASSERT_EQ(size.size(), 1u);
  EXPECT_EQ(size[0].wParam, static_cast<WPARAM>(SIZE_RESTORED));
  EXPECT_EQ(LOWORD(size[0].lParam), 120);
  EXPECT_EQ(HIWORD(size[0].lParam), 70);
  auto move = rec().Find(child, WM_MOVE);
  ASSERT_EQ(move.size(), 1u);
  EXPECT_EQ(LOWORD(move[0].lParam), 5);
  EXPECT_EQ(HIWORD(move[0].lParam), 6);
  EXPECT_EQ(ClientEdges(child), (Edges{0, 0, 120, 70}));
}

TEST_F(UserPositionTest, SizingWithoutMovingSendsNoMove) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 10, 20, 100, 50);
  rec().Clear();
  ASSERT_TRUE(SetWindowPos(child, nullptr, 0, 0, 30, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
  EXPECT_EQ(rec().MessagesOf(child, {WM_MOVE, WM_SIZE}), (std::vector<UINT>{WM_SIZE}));
  RECT rc;
  GetWindowRect(child, &rc);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(EdgesOf(rc), (Edges{10, 20, 10 + 30, 20 + 40}));

  rec().Clear();
  ASSERT_TRUE(SetWindowPos(child, nullptr, 1, 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  EXPECT_EQ(rec().MessagesOf(child, {WM_MOVE, WM_SIZE}), (std::vector<UINT>{WM_MOVE}));
}

TEST_F(UserPositionTest, PositionChangingCanAdjustTheSize) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 100, 50);
  rec().handler = [&](HWND h, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
    if (h == child && msg == WM_WINDOWPOSCHANGING) {
      auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
      if (!(wp->flags & SWP_NOSIZE) && wp->cx > 60) wp->cx = 60;  // a width limit
    }
    return std::nullopt;
  };
  MoveWindow(child, 0, 0, 200, 80, FALSE);
  EXPECT_EQ(ClientEdges(child), (Edges{0, 0, 60, 80}));
}

TEST_F(UserPositionTest, NegativeSizesBecomeEmpty) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 100, 50);
  MoveWindow(child, 0, 0, -20, -5, FALSE);
  EXPECT_EQ(ClientEdges(child), (Edges{0, 0, 0, 0}));
}

TEST_F(UserPositionTest, ShowWindowChangesVisibilityOnce) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 100, 50, 0);
  EXPECT_FALSE(IsWindowVisible(child));
  rec().Clear();
  EXPECT_FALSE(ShowWindow(child, SW_SHOW));  // was hidden
  EXPECT_TRUE(IsWindowVisible(child));
  auto shown = rec().Find(child, WM_SHOWWINDOW);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].wParam, static_cast<WPARAM>(TRUE));
  rec().Clear();
  EXPECT_TRUE(ShowWindow(child, SW_SHOW));  // already visible: no message
  EXPECT_TRUE(rec().Find(child, WM_SHOWWINDOW).empty());
  EXPECT_TRUE(ShowWindow(child, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(child));

  // A visible child of a hidden parent is not visible.
  ShowWindow(child, SW_SHOW);
  ShowWindow(parent, SW_HIDE);
  EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(IsWindowVisible(child));
}

TEST_F(UserPositionTest, EnableWindowReportsThePreviousState) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 100, 50);
  rec().Clear();
  EXPECT_FALSE(EnableWindow(child, FALSE));  // was enabled
  EXPECT_FALSE(IsWindowEnabled(child));
  EXPECT_TRUE(EnableWindow(child, FALSE));  // was disabled already
  EXPECT_TRUE(EnableWindow(child, TRUE));
  EXPECT_TRUE(IsWindowEnabled(child));
  auto enable = rec().Find(child, WM_ENABLE);
  ASSERT_EQ(enable.size(), 2u);  // one per change
  EXPECT_EQ(enable[0].wParam, static_cast<WPARAM>(FALSE));
  EXPECT_EQ(enable[1].wParam, static_cast<WPARAM>(TRUE));
}

TEST_F(UserPositionTest, SetParentMovesAChildBetweenParents) {
  HWND first = CreateTopLevel(0, 0, 200, 200);
  HWND second = CreateTopLevel(300, 0, 200, 200);
  HWND child = CreateChild(first, 9, 5, 5, 20, 20);
  EXPECT_EQ(SetParent(child, second), first);
  EXPECT_EQ(GetParent(child), second);
  EXPECT_EQ(GetDlgItem(second, 9), child);
  EXPECT_EQ(GetDlgItem(first, 9), nullptr);
  EXPECT_EQ(WindowEdges(child)[0], 305);  // the same place, now inside the new parent
  // A window cannot become a child of its own descendant.
  HWND inner = CreateChild(child, 10, 0, 0, 5, 5);
  EXPECT_EQ(SetParent(child, inner), nullptr);
  EXPECT_EQ(GetParent(child), second);
}

}  // namespace

namespace {

TEST(UserRectTest, HelpersFollowTheHalfOpenConvention) {
  RECT a;
  SetRect(&a, 10, 10, 20, 20);
  POINT inside = {10, 19};
  POINT edge = {20, 15};
  EXPECT_TRUE(PtInRect(&a, inside));
  EXPECT_FALSE(PtInRect(&a, edge));  // right and bottom edges are outside

  RECT b = {15, 0, 30, 12};
  RECT r;
  EXPECT_TRUE(IntersectRect(&r, &a, &b));
  RECT expected = {15, 10, 20, 12};
  EXPECT_TRUE(EqualRect(&r, &expected));
  RECT distant = {100, 100, 110, 110};
  EXPECT_FALSE(IntersectRect(&r, &a, &distant));
  EXPECT_TRUE(IsRectEmpty(&r));

  RECT empty = {5, 5, 5, 50};
  EXPECT_TRUE(UnionRect(&r, &a, &empty));  // the empty one adds nothing
  EXPECT_TRUE(EqualRect(&r, &a));
  EXPECT_TRUE(UnionRect(&r, &a, &b));
  expected = {10, 0, 30, 20};
  EXPECT_TRUE(EqualRect(&r, &expected));

  OffsetRect(&a, -10, 5);
  expected = {0, 15, 10, 25};
  EXPECT_TRUE(EqualRect(&a, &expected));
  InflateRect(&a, 2, -1);
  expected = {-2, 16, 12, 24};
  EXPECT_TRUE(EqualRect(&a, &expected));
}

}  // namespace
