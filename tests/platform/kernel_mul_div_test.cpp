// MulDiv: rounding half away from zero, and -1 for a zero divisor or overflow.
#include "test_support.h"

#include <climits>

namespace {

TEST(KernelMulDiv, RoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(-5, 1, 2), -3);
  EXPECT_EQ(MulDiv(5, -1, 2), -3);
  EXPECT_EQ(MulDiv(3, 1, -2), -2);
  EXPECT_EQ(MulDiv(10, 3, 4), 8);    // 7.5
  EXPECT_EQ(MulDiv(-10, 3, 4), -8);  // -7.5
  EXPECT_EQ(MulDiv(2, 3, -4), -2);   // -1.5
  EXPECT_EQ(MulDiv(1, 1, 3), 0);     // 0.33
  EXPECT_EQ(MulDiv(2, 1, 3), 1);     // 0.67
  EXPECT_EQ(MulDiv(100, 96, 72), 133);
}

TEST(KernelMulDiv, ProductMayExceedThirtyTwoBits) {
  EXPECT_EQ(MulDiv(INT_MAX, 2, 2), INT_MAX);
  EXPECT_EQ(MulDiv(1 << 30, 1 << 10, 1 << 20), 1 << 20);
  EXPECT_EQ(MulDiv(-(1 << 30), 3, 2), -1610612736);
}

TEST(KernelMulDiv, ZeroDivisorAndOverflowGiveMinusOne) {
  EXPECT_EQ(MulDiv(7, 3, 0), -1);
  EXPECT_EQ(MulDiv(0, 0, 0), -1);
  EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
  EXPECT_EQ(MulDiv(1 << 30, 4, 2), -1);
  EXPECT_EQ(MulDiv(-(1 << 30), 6, 2), -1);
}

}  // namespace
