// The built cursors: made once on first use, at the size of their planes,
// with their hot spots and shapes, and destroyed with their owner.
#include <windows.h>

#include <array>

#include <gtest/gtest.h>

#include "mirel/cmrcursor.h"
#include "test_support.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

namespace {

TEST(Cursor, EachCursorIsMadeOnceAndTheArrowIsTheSystems) {
  CMrCursor cursors;
  const HCURSOR hCopy = cursors.GetDragCopyCursor();
  const HCURSOR hMove = cursors.GetDragMoveCursor();
  const HCURSOR hMargin = cursors.GetMarginCursor();
  ASSERT_NE(hCopy, nullptr);
  ASSERT_NE(hMove, nullptr);
  ASSERT_NE(hMargin, nullptr);
  EXPECT_NE(hCopy, hMove);
  EXPECT_NE(hCopy, hMargin);
  EXPECT_NE(hMove, hMargin);
  EXPECT_EQ(cursors.GetDragCopyCursor(), hCopy);
  EXPECT_EQ(cursors.GetDragMoveCursor(), hMove);
  EXPECT_EQ(cursors.GetMarginCursor(), hMargin);
  EXPECT_EQ(cursors.GetArrowCursor(), LoadCursorA(nullptr, IDC_ARROW));
}

#ifndef _WIN32

// A pixel of a 32-pixel-wide plane: 1 or 0.
int Bit(const std::array<BYTE, 128>& plane, int x, int y) {
  return (plane[static_cast<size_t>(y * 4 + x / 8)] >> (7 - x % 8)) & 1;
}

struct Planes {
  POINT hot{-1, -1};
  SIZE size{0, 0};
  std::array<BYTE, 128> andPlane{};
  std::array<BYTE, 128> xorPlane{};
};

Planes PlanesOf(HCURSOR h) {
  Planes p;
  EXPECT_TRUE(MrwTestCursorInfo(h, &p.hot, &p.size, p.andPlane.data(), p.xorPlane.data(), 128));
  return p;
}

TEST(Cursor, ADocumentThatShowsNoDragOrMarginBuildsNothing) {
  MIREL_REQUIRE_STANDIN();
  const int nBefore = MrwTestCreateCursorCount();
  const int nLive = MrwTestLiveCursorCount();
  {
    CMrCursor cursors;
    cursors.GetArrowCursor();
    EXPECT_EQ(MrwTestCreateCursorCount(), nBefore);
    cursors.GetMarginCursor();
    cursors.GetMarginCursor();
    EXPECT_EQ(MrwTestCreateCursorCount(), nBefore + 1);
    EXPECT_EQ(MrwTestLiveCursorCount(), nLive + 1);
  }
  EXPECT_EQ(MrwTestLiveCursorCount(), nLive);  // destroyed with its owner
}

TEST(Cursor, CursorsKeepTheirPlaneSizeWhateverTheSystemCursorSize) {
  MIREL_REQUIRE_STANDIN();
  MrwTestSetSystemMetric(SM_CXCURSOR, 64);
  MrwTestSetSystemMetric(SM_CYCURSOR, 64);
  CMrCursor cursors;
  for (HCURSOR h : {cursors.GetDragCopyCursor(), cursors.GetDragMoveCursor(), cursors.GetMarginCursor()}) {
    const Planes p = PlanesOf(h);
    EXPECT_EQ(p.size.cx, 32);
    EXPECT_EQ(p.size.cy, 32);
  }
  MrwTestResetSystemSettings();
}

TEST(Cursor, DragCursorsShareTheArrowAndDifferInTheBoxBelowIt) {
  MIREL_REQUIRE_STANDIN();
  CMrCursor cursors;
  const Planes copy = PlanesOf(cursors.GetDragCopyCursor());
  const Planes move = PlanesOf(cursors.GetDragMoveCursor());
  EXPECT_EQ(copy.hot.x, 1);
  EXPECT_EQ(copy.hot.y, 1);
  EXPECT_EQ(move.hot.x, 1);
  EXPECT_EQ(move.hot.y, 1);
  // The arrow's black outline starts at its tip; its inside is white.
  EXPECT_EQ(Bit(copy.andPlane, 1, 1), 0);
  EXPECT_EQ(Bit(copy.xorPlane, 1, 1), 0);
  EXPECT_EQ(Bit(copy.andPlane, 2, 2), 0);
  EXPECT_EQ(Bit(copy.xorPlane, 2, 2), 1);
  // Above and left of the tip it is transparent.
  EXPECT_EQ(Bit(copy.andPlane, 0, 0), 1);
  EXPECT_EQ(Bit(copy.xorPlane, 0, 0), 0);
  for (int y = 0; y < 19; ++y) {
    for (int x = 0; x < 32; ++x) {
      ASSERT_EQ(Bit(copy.andPlane, x, y), Bit(move.andPlane, x, y)) << x << "," << y;
      ASSERT_EQ(Bit(copy.xorPlane, x, y), Bit(move.xorPlane, x, y)) << x << "," << y;
    }
  }
  // The copy cursor's framed box at the lower right; the move cursor has none
  // there (transparent).
  EXPECT_EQ(Bit(copy.andPlane, 17, 22), 0);
  EXPECT_EQ(Bit(move.andPlane, 17, 22), 1);
  EXPECT_EQ(Bit(move.xorPlane, 17, 22), 0);
  // Nothing of either reaches the last rows.
  for (int x = 0; x < 32; ++x) {
    EXPECT_EQ(Bit(copy.andPlane, x, 31), 1);
    EXPECT_EQ(Bit(move.andPlane, x, 31), 1);
  }
}

TEST(Cursor, TheMarginArrowPointsUpRight) {
  MIREL_REQUIRE_STANDIN();
  CMrCursor cursors;
  const Planes p = PlanesOf(cursors.GetMarginCursor());
  EXPECT_EQ(p.hot.x, 31);
  EXPECT_EQ(p.hot.y, 1);
  // The tip's outline at the right edge, white inside below it.
  EXPECT_EQ(Bit(p.andPlane, 30, 1), 0);
  EXPECT_EQ(Bit(p.xorPlane, 29, 2), 1);
  // Left half and bottom rows are transparent.
  for (int y = 0; y < 32; ++y) EXPECT_EQ(Bit(p.andPlane, 3, y), 1);
  for (int x = 0; x < 32; ++x) EXPECT_EQ(Bit(p.andPlane, x, 25), 1);
}

#endif

}  // namespace
