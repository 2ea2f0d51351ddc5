// Popup menus, built cursors and the shell call of the window manager: the
// documented answers of each call, and the stand-in's scripted menu choice.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include "test_support.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

namespace {

TEST(UserMenu, ItemsKeepTheirOrderTextAndState) {
  HMENU hMenu = CreatePopupMenu();
  ASSERT_NE(hMenu, nullptr);
  ASSERT_TRUE(AppendMenuA(hMenu, MF_STRING, 11, "One"));
  ASSERT_TRUE(AppendMenuA(hMenu, MF_SEPARATOR, 0, nullptr));
  ASSERT_TRUE(AppendMenuA(hMenu, MF_STRING | MF_GRAYED, 12, "Two"));
  EXPECT_EQ(GetMenuItemCount(hMenu), 3);
  EXPECT_EQ(GetMenuItemID(hMenu, 0), 11u);
  EXPECT_EQ(GetMenuItemID(hMenu, 2), 12u);
  char sz[16] = {0};
  EXPECT_EQ(GetMenuStringA(hMenu, 12, sz, sizeof sz, MF_BYCOMMAND), 3);
  EXPECT_STREQ(sz, "Two");
  // Each change answers with the state it replaced; -1 for no such item.
  EXPECT_EQ(EnableMenuItem(hMenu, 11, MF_BYCOMMAND | MF_GRAYED), static_cast<BOOL>(MF_ENABLED));
  EXPECT_EQ(EnableMenuItem(hMenu, 11, MF_BYCOMMAND | MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
  EXPECT_EQ(EnableMenuItem(hMenu, 99, MF_BYCOMMAND | MF_GRAYED), -1);
  EXPECT_TRUE(GetMenuState(hMenu, 12, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(hMenu, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(CheckMenuItem(hMenu, 11, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_TRUE(GetMenuState(hMenu, 11, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(DestroyMenu(hMenu));
}

TEST(UserMenu, CursorsFromPlanesAreMadeAndDestroyed) {
  BYTE andPlane[4 * 32];
  BYTE xorPlane[4 * 32] = {0};
  for (BYTE& b : andPlane) b = 0xFF;
  HCURSOR hCursor = CreateCursor(GetModuleHandleA(nullptr), 1, 1, 32, 32, andPlane, xorPlane);
  ASSERT_NE(hCursor, nullptr);
  EXPECT_TRUE(DestroyCursor(hCursor));
}

#ifndef _WIN32

TEST(UserMenu, TrackingAnswersWithTheScriptedChoiceUnlessItIsGreyed) {
  MIREL_REQUIRE_STANDIN();
  MrwTestResetMenus();
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MrwMenuOwner";
  RegisterClassA(&wc);
  HWND hWnd = CreateWindowExA(0, "MrwMenuOwner", "owner", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(hWnd, nullptr);
  HMENU hMenu = CreatePopupMenu();
  AppendMenuA(hMenu, MF_STRING, 11, "One");
  AppendMenuA(hMenu, MF_STRING | MF_GRAYED, 12, "Two");
  MrwTestChooseMenuCommand(11);
  EXPECT_EQ(TrackPopupMenu(hMenu, TPM_RETURNCMD, 5, 6, 0, hWnd, nullptr), 11);
  MrwTestChooseMenuCommand(12);
  EXPECT_EQ(TrackPopupMenu(hMenu, TPM_RETURNCMD, 5, 6, 0, hWnd, nullptr), 0);
  EXPECT_EQ(TrackPopupMenu(hMenu, TPM_RETURNCMD, 5, 6, 0, hWnd, nullptr), 0);  // nothing chosen
  EXPECT_EQ(MrwTestMenuTrackCount(), 3);
  EXPECT_EQ(MrwTestLastMenuPos().x, 5);
  DestroyMenu(hMenu);
  EXPECT_EQ(MrwTestLiveMenuCount(), 0);
  EXPECT_FALSE(DestroyMenu(hMenu));
  DestroyWindow(hWnd);
}

TEST(UserMenu, TheShellCallIsRecordedAndNeverRun) {
  MIREL_REQUIRE_STANDIN();
  MrwTestResetShellExecute();
  HINSTANCE h = ShellExecuteA(nullptr, "open", "http://example.org", nullptr, nullptr, SW_SHOWNORMAL);
  EXPECT_GT(reinterpret_cast<INT_PTR>(h), 32);
  EXPECT_EQ(MrwTestShellExecuteCount(), 1);
  EXPECT_STREQ(MrwTestLastShellExecuteFile(), "http://example.org");
  EXPECT_STREQ(MrwTestLastShellExecuteVerb(), "open");
}

#endif

}  // namespace
