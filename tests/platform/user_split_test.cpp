// Moving windows in one batch, the scroll-bar control class and the packed
// version number.
#include <windows.h>

#include "user_test_window.h"

namespace {

using user_test::WindowTest;

class UserSplitTest : public WindowTest {};

TEST_F(UserSplitTest, ABatchMovesEveryWindowAtItsEnd) {
  HWND parent = CreateTopLevel(100, 100, 300, 200);
  HWND a = CreateChild(parent, 1, 0, 0, 10, 10);
  HWND b = CreateChild(parent, 2, 0, 0, 10, 10);
  HDWP h = BeginDeferWindowPos(2);
  ASSERT_NE(h, nullptr);
  h = DeferWindowPos(h, a, nullptr, 5, 6, 40, 30, SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_NE(h, nullptr);
  h = DeferWindowPos(h, b, nullptr, 50, 6, 40, 30, SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_NE(h, nullptr);
  RECT rc;
  GetClientRect(a, &rc);
  EXPECT_EQ(rc.right, 10);  // nothing moves before the batch ends
  EXPECT_TRUE(EndDeferWindowPos(h));
  struct Case {
    HWND hWnd;
    int x;
  };
  for (const Case& c : {Case{a, 5}, Case{b, 50}}) {
    GetWindowRect(c.hWnd, &rc);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, c.x);
    EXPECT_EQ(rc.top, 6);
    EXPECT_EQ(rc.right - rc.left, 40);
    EXPECT_EQ(rc.bottom - rc.top, 30);
  }
}

TEST_F(UserSplitTest, ScrollBarControlsKeepTheirStyleAndScrollState) {
  HWND parent = CreateTopLevel(100, 100, 300, 200);
  HWND bar = CreateWindowExA(0, "SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 16, 100, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0xEA10)),
                             GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetDlgItem(parent, 0xEA10), bar);
  EXPECT_EQ(GetWindowLongA(bar, GWL_STYLE) & SBS_VERT, SBS_VERT);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 95;
  SetScrollInfo(bar, SB_CTL, &si, TRUE);
  SCROLLINFO got{};
  got.cbSize = sizeof(got);
  got.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &got));
  EXPECT_EQ(got.nMax, 99);
  EXPECT_EQ(got.nPos, 90);  // a whole page still fits
  char name[32] = {0};
  GetClassNameA(bar, name, sizeof(name));
  EXPECT_EQ(lstrcmpiA(name, "ScrollBar"), 0);
}

TEST_F(UserSplitTest, VersionPacksMajorMinorAndBuild) {
  const DWORD v = GetVersion();
  EXPECT_GE(LOBYTE(LOWORD(v)), 4);
  EXPECT_EQ(v & 0x80000000u, 0u);  // the NT line
}

}  // namespace
