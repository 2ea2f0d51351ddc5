// Helpers shared by the tests of both trees (native and Windows under Wine).
#pragma once

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

namespace mirel_test {

// True when the tests run against the Win32 stand-in rather than Windows.
constexpr bool kStandIn =
#ifdef _WIN32
    false;
#else
    true;
#endif

// Called once before the tests run.
void PrepareProcess();

// UTF-16 text from a literal written with u"...".
std::basic_string<WCHAR> Wide(const char16_t* text);

}  // namespace mirel_test

// Skips a test that needs a stand-in hook when it runs on Windows.
#define MIREL_REQUIRE_STANDIN()                                         \
  do {                                                                  \
    if (!mirel_test::kStandIn) GTEST_SKIP() << "needs a stand-in hook"; \
  } while (0)
