// Update regions, WM_PAINT, background erasing and window DCs.
#include <windows.h>

#include "user_test_window.h"

namespace {

using user_test::kBrushlessClassName;
using user_test::kClassName;
using user_test::kOwnDCClassName;
using user_test::Pump;
using user_test::WindowTest;

class UserPaintTest : public WindowTest {};

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(UserPaintTest, InvalidRectangleIsPaintedOnceAndBeginPaintValidates) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 10, 10, 200, 100);
  Settle();
  RECT area = {10, 20, 50, 60};
  ASSERT_TRUE(InvalidateRect(child, &area, TRUE));
  RECT update;
  ASSERT_TRUE(GetUpdateRect(child, &update, FALSE));
  EXPECT_TRUE(SameRect(update, area));

  Pump();
  auto paints = rec().Find(child, WM_PAINT);
  ASSERT_EQ(paints.size(), 1u);
  EXPECT_TRUE(SameRect(paints[0].paint, area));
  EXPECT_TRUE(paints[0].validAfterBeginPaint);
  EXPECT_EQ(rec().MessagesOf(child, {WM_PAINT, WM_ERASEBKGND}), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
  EXPECT_FALSE(GetUpdateRect(child, &update, FALSE));
}

TEST_F(UserPaintTest, InvalidAreasAccumulateAndPartlyValidate) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 200, 100);
  Settle();
  RECT a = {0, 0, 10, 10};
  RECT b = {20, 30, 40, 50};
  InvalidateRect(child, &a, FALSE);
  InvalidateRect(child, &b, FALSE);
  RECT update;
  GetUpdateRect(child, &update, FALSE);
  EXPECT_TRUE(SameRect(update, (RECT{0, 0, 40, 50})));

  ValidateRect(child, &a);  // the rest stays invalid
  GetUpdateRect(child, &update, FALSE);
  EXPECT_TRUE(SameRect(update, b));

  // Areas outside the client area are ignored.
  ValidateRect(child, nullptr);
  RECT outside = {300, 300, 400, 400};
  InvalidateRect(child, &outside, FALSE);
  EXPECT_FALSE(GetUpdateRect(child, &update, FALSE));
}

TEST_F(UserPaintTest, UpdateWindowPaintsAtOnce) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 100, 100);
  Settle();
  UpdateWindow(child);  // nothing invalid: no WM_PAINT
  EXPECT_TRUE(rec().Find(child, WM_PAINT).empty());
  InvalidateRect(child, nullptr, FALSE);
  UpdateWindow(child);
  auto paints = rec().Find(child, WM_PAINT);
  ASSERT_EQ(paints.size(), 1u);
  EXPECT_TRUE(SameRect(paints[0].paint, (RECT{0, 0, 100, 100})));
}

TEST_F(UserPaintTest, HiddenWindowsCollectNothingToPaint) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 100, 100, 0);
  Settle();
  InvalidateRect(child, nullptr, TRUE);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(child, &update, FALSE));
  Pump();
  EXPECT_TRUE(rec().Find(child, WM_PAINT).empty());
}

TEST_F(UserPaintTest, BackgroundIsErasedByTheClassBrushOrLeftToThePainter) {
  HWND parent = CreateTopLevel();
  HWND withBrush = CreateChild(parent, 1, 0, 0, 50, 50, WS_VISIBLE, kClassName);
  HWND without = CreateChild(parent, 2, 60, 0, 50, 50, WS_VISIBLE, kBrushlessClassName);
  Settle();
  InvalidateRect(withBrush, nullptr, TRUE);
  InvalidateRect(without, nullptr, TRUE);
  Pump();
  auto a = rec().Find(withBrush, WM_PAINT);
  auto b = rec().Find(without, WM_PAINT);
  ASSERT_EQ(a.size(), 1u);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_FALSE(a[0].paintErase);  // DefWindowProc erased with the class brush
  EXPECT_TRUE(b[0].paintErase);   // no brush: the painter must erase

  InvalidateRect(withBrush, nullptr, FALSE);  // no erase requested
  rec().Clear();
  Pump();
  EXPECT_TRUE(rec().Find(withBrush, WM_ERASEBKGND).empty());
}

TEST_F(UserPaintTest, OwnDCIsTheSameForTheWholeLifeOfTheWindow) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 100, 100, WS_VISIBLE, kOwnDCClassName);
  Settle();
  HDC first = GetDC(child);
  ASSERT_NE(first, nullptr);
  SetTextColor(first, RGB(1, 2, 3));
  ReleaseDC(child, first);
  HDC second = GetDC(child);
  EXPECT_EQ(second, first);
  EXPECT_EQ(GetTextColor(second), RGB(1, 2, 3));  // its state survives a release
  ReleaseDC(child, second);

  HDC painted = nullptr;
  rec().handler = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (h == child && msg == WM_PAINT) {
      PAINTSTRUCT ps;
      painted = BeginPaint(h, &ps);
      EndPaint(h, &ps);
      return 0;
    }
    return std::nullopt;
  };
  InvalidateRect(child, nullptr, FALSE);
  UpdateWindow(child);
  EXPECT_EQ(painted, first);
}

TEST_F(UserPaintTest, CommonDCsAreReleased) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 100, 100);
  HDC dc = GetDC(child);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(WindowFromDC(dc), child);
  EXPECT_EQ(ReleaseDC(child, dc), 1);
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

#ifndef _WIN32
TEST_F(UserPaintTest, ResizingPaintsOnlyTheUncoveredStrip) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 100, 50);
  Settle();
  SetWindowPos(child, nullptr, 0, 0, 120, 50, SWP_NOMOVE | SWP_NOZORDER);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(child, &update, FALSE));
  EXPECT_TRUE(SameRect(update, (RECT{100, 0, 120, 50})));
  int cx = 0;
  int cy = 0;
  ASSERT_TRUE(MrwTestWindowSurfaceSize(child, &cx, &cy));
  EXPECT_EQ(cx, 120);
  EXPECT_EQ(cy, 50);
}

TEST_F(UserPaintTest, ErasingFillsWithTheClassBrushColour) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 40, 30);
  Settle();
  HDC dc = GetDC(child);
  RECT all = {0, 0, 40, 30};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &all, red);
  DeleteObject(red);
  ReleaseDC(child, dc);
  RECT part = {0, 0, 10, 10};
  InvalidateRect(child, &part, TRUE);
  Pump();
  EXPECT_EQ(MrwTestWindowPixel(child, 5, 5), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(MrwTestWindowPixel(child, 20, 20), RGB(255, 0, 0));  // outside the update area
}
#endif

}  // namespace
