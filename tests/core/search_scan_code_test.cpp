// The code the byte scans of find were compiled to. Every x86 processor that
// runs a supported Windows has SSE2, so x86 builds (the i686 product above
// all) scan with vectors; the plain loop is for targets without SSE2.
#include <windows.h>

#include <cfloat>

#include <gtest/gtest.h>

#include "mirel/search/mrbytescan.h"

namespace {

#if defined(__i386__) || defined(__x86_64__) || defined(_M_IX86) || defined(_M_X64)
constexpr bool kX86 = true;
#else
constexpr bool kX86 = false;
#endif

#if defined(__i386__)
// The 32-bit tree rounds floating point like the 64-bit one the Windows tests
// run as: in SSE registers, without the x87's excess precision.
static_assert(FLT_EVAL_METHOD == 0, "the i686 tree computes floating point in SSE registers");
#endif

TEST(SearchScanCode, X86BuildsScanWithVectors) {
  if (!kX86) GTEST_SKIP() << "not an x86 target";
  EXPECT_NE(static_cast<int>(MrScanCodeBuilt()), static_cast<int>(MrScanCode::Plain))
      << "the byte scans were compiled to the plain loop";
}

}  // namespace
