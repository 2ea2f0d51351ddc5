// The back buffer both views paint through: made once at the client size,
// kept across paints, and selected with the view's font only while painting.
#include <gtest/gtest.h>
#include <windows.h>

#include "mirel/mrbackbuffer.h"

namespace {

class BackBufferDC : public ::testing::Test {
 protected:
  void SetUp() override {
    hScreen = GetDC(nullptr);
    ASSERT_NE(hScreen, nullptr);
    hFont = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
  }
  void TearDown() override {
    if (hBitmap != nullptr) DeleteObject(hBitmap);
    ReleaseDC(nullptr, hScreen);
  }
  HDC hScreen = nullptr;
  HFONT hFont = nullptr;
  HBITMAP hBitmap = nullptr;
};

TEST_F(BackBufferDC, EmptyClientGetsNoBufferAndNoDC) {
  const struct { int cx, cy; } kSizes[] = {{0, 10}, {10, 0}, {-5, 10}, {10, -5}};
  for (const auto& size : kSizes) {
    const CMrBackBufferDC buffer(hScreen, &hBitmap, size.cx, size.cy, hFont);
    EXPECT_EQ(buffer.Get(), nullptr) << size.cx << " x " << size.cy;
    EXPECT_FALSE(buffer.IsNew());
    EXPECT_EQ(hBitmap, nullptr);
  }
  const CMrBackBufferDC noScreen(nullptr, &hBitmap, 10, 10, hFont);
  EXPECT_EQ(noScreen.Get(), nullptr);
  EXPECT_EQ(hBitmap, nullptr);
}

TEST_F(BackBufferDC, MadeOnceKeptAfterwardsWithTheFontSelected) {
  HBITMAP hFirst = nullptr;
  {
    const CMrBackBufferDC buffer(hScreen, &hBitmap, 40, 20, hFont);
    ASSERT_NE(buffer.Get(), nullptr);
    EXPECT_TRUE(buffer.IsNew());
    hFirst = hBitmap;
    ASSERT_NE(hFirst, nullptr);
    EXPECT_EQ(GetCurrentObject(buffer.Get(), OBJ_BITMAP), hFirst);
    EXPECT_EQ(GetCurrentObject(buffer.Get(), OBJ_FONT), hFont);
    BITMAP bm{};
    ASSERT_NE(GetObjectA(hFirst, sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmWidth, 40);
    EXPECT_EQ(bm.bmHeight, 20);
  }
  const CMrBackBufferDC again(hScreen, &hBitmap, 40, 20, nullptr);
  ASSERT_NE(again.Get(), nullptr);
  EXPECT_FALSE(again.IsNew());  // what the last paint left is still there
  EXPECT_EQ(hBitmap, hFirst);
  EXPECT_EQ(GetCurrentObject(again.Get(), OBJ_BITMAP), hFirst);
}

}  // namespace
