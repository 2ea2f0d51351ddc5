// The shipped libraries load in a host process and export the flat interface.
#include <windows.h>

#include <gtest/gtest.h>

#include "dll_paths.h"

#include <string>

namespace {

typedef int(__cdecl* DetermineEncodingFn)(const char*, int);
typedef int(__cdecl* DetermineFileFormatFn)(const char*, unsigned, int);

class LibraryLoad : public testing::TestWithParam<const char*> {};

TEST_P(LibraryLoad, LoadsAndAnswersThroughItsExports) {
  HMODULE module = LoadLibraryA(GetParam());
  ASSERT_NE(module, nullptr) << GetParam();

  auto detect = reinterpret_cast<DetermineEncodingFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "Mirel_DetermineEncoding")));
  auto format = reinterpret_cast<DetermineFileFormatFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "Mirel_DetermineFileFormat")));
  ASSERT_NE(detect, nullptr);
  ASSERT_NE(format, nullptr);

  const char utf8[] = "A\xC3\xA9";
  EXPECT_EQ(detect(utf8, 3), 4);
  EXPECT_EQ(detect("\xFF\xFE"
                   "A\0",
                   4),
            3);
  const char text[] = "a\nb\nc\r\n";
  EXPECT_EQ(format(text, 7, 1), 2);

  // Names are exported undecorated.
  EXPECT_EQ(GetProcAddress(module, "_Mirel_DetermineEncoding"), nullptr);
  EXPECT_TRUE(FreeLibrary(module));
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, LibraryLoad, testing::Values(kReleaseLibrary, kDebugLibrary));

}  // namespace
