// Keyboard focus, mouse capture and activation.
#include <windows.h>

#include "user_test_window.h"

namespace {

using user_test::WindowTest;

class UserFocusTest : public WindowTest {};

TEST_F(UserFocusTest, FocusMovesWithKillFocusThenSetFocus) {
  HWND parent = CreateTopLevel();
  HWND a = CreateChild(parent, 1, 0, 0, 50, 50);
  HWND b = CreateChild(parent, 2, 60, 0, 50, 50);
  SetFocus(a);
  ASSERT_EQ(GetFocus(), a);
  rec().Clear();

  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(GetFocus(), b);
  ASSERT_EQ(rec().log.size() >= 2, true);
  std::vector<std::pair<HWND, UINT>> order;
  for (const auto& r : rec().log)
    if (r.msg == WM_KILLFOCUS || r.msg == WM_SETFOCUS) order.emplace_back(r.hwnd, r.msg);
  EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{a, WM_KILLFOCUS}, {b, WM_SETFOCUS}}));
  EXPECT_EQ(reinterpret_cast<HWND>(rec().Find(a, WM_KILLFOCUS)[0].wParam), b);
  EXPECT_EQ(reinterpret_cast<HWND>(rec().Find(b, WM_SETFOCUS)[0].wParam), a);

  rec().Clear();
  EXPECT_EQ(SetFocus(b), b);  // no change, no message
  EXPECT_TRUE(rec().Find(b, WM_SETFOCUS).empty());
  EXPECT_TRUE(rec().Find(b, WM_KILLFOCUS).empty());
}

TEST_F(UserFocusTest, FocusActivatesTheTopLevelWindow) {
  HWND first = CreateTopLevel(0, 0, 100, 100);
  HWND second = CreateTopLevel(200, 0, 100, 100);
  HWND child = CreateChild(first, 1, 0, 0, 50, 50);
  SetActiveWindow(second);
  ASSERT_EQ(GetActiveWindow(), second);
  SetFocus(child);
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_EQ(GetFocus(), child);
}

TEST_F(UserFocusTest, HidingTheFocusedChildGivesTheFocusToItsParent) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 50, 50);
  SetFocus(child);
  rec().Clear();
  ShowWindow(child, SW_HIDE);
  EXPECT_EQ(GetFocus(), parent);
  auto kill = rec().Find(child, WM_KILLFOCUS);
  ASSERT_EQ(kill.size(), 1u);
  EXPECT_EQ(reinterpret_cast<HWND>(kill[0].wParam), parent);
}

TEST_F(UserFocusTest, DestroyingTheFocusedWindowTakesTheFocusAway) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 50, 50);
  SetFocus(child);
  rec().Clear();
  DestroyWindow(child);
  EXPECT_NE(GetFocus(), child);
  // The window heard about it before it was destroyed.
  EXPECT_EQ(rec().MessagesOf(child, {WM_KILLFOCUS, WM_DESTROY}),
            (std::vector<UINT>{WM_KILLFOCUS, WM_DESTROY}));

  HWND other = CreateChild(parent, 2, 0, 0, 50, 50);
  SetFocus(other);
  DestroyWindow(parent);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(UserFocusTest, CaptureChangeIsReportedToTheLoser) {
  HWND parent = CreateTopLevel();
  HWND a = CreateChild(parent, 1, 0, 0, 50, 50);
  HWND b = CreateChild(parent, 2, 60, 0, 50, 50);
  rec().Clear();
  EXPECT_EQ(SetCapture(a), nullptr);
  EXPECT_EQ(GetCapture(), a);
  EXPECT_EQ(SetCapture(b), a);
  auto lost = rec().Find(a, WM_CAPTURECHANGED);
  ASSERT_EQ(lost.size(), 1u);
  EXPECT_EQ(reinterpret_cast<HWND>(lost[0].lParam), b);
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(GetCapture(), nullptr);
  auto released = rec().Find(b, WM_CAPTURECHANGED);
  ASSERT_EQ(released.size(), 1u);
  EXPECT_EQ(released[0].lParam, 0);

  SetCapture(a);
  DestroyWindow(a);
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
