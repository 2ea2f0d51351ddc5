// Module names, loading libraries and finding their functions.
#include "test_support.h"

#include <cstring>
#include <string>

namespace {

// A system library with a plain C function in it.
#ifdef _WIN32
constexpr const char* kMathLibrary = "msvcrt.dll";
#else
constexpr const char* kMathLibrary = "libm.so.6";
#endif

TEST(KernelModules, ProgramFileName) {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
  ASSERT_GT(n, 0u);
  EXPECT_EQ(std::strlen(path), n);
  EXPECT_NE(std::string(path).find("mirel_platform_tests"), std::string::npos);
  char same[MAX_PATH];
  EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), same, sizeof(same)), n);
  EXPECT_STREQ(same, path);

  // Too small a buffer: truncated, the buffer size returned, an error set.
  char small[5];
  SetLastError(0);
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof(small)), sizeof(small));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::memcmp(small, path, 4), 0);
}

TEST(KernelModules, LoadLibraryFindsFunctionsAndItsPath) {
  HMODULE library = LoadLibraryA(kMathLibrary);
  ASSERT_NE(library, nullptr);
  using CosFunction = double (*)(double);
  auto cosine = reinterpret_cast<CosFunction>(reinterpret_cast<void*>(GetProcAddress(library, "cos")));
  ASSERT_NE(cosine, nullptr);
  EXPECT_EQ(cosine(0.0), 1.0);
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(library, "mirel_no_such_function"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

  // Its full path loads the same module again.
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(library, path, sizeof(path)), 0u);
  EXPECT_NE(std::string(path).find(kMathLibrary), std::string::npos);
  HMODULE again = LoadLibraryA(path);
  EXPECT_EQ(again, library);
  EXPECT_TRUE(FreeLibrary(again));
  EXPECT_TRUE(FreeLibrary(library));
}

TEST(KernelModules, MissingLibraryFails) {
  EXPECT_EQ(LoadLibraryA("mirel-no-such-library.dll"), nullptr);
  EXPECT_EQ(GetModuleHandleA("mirel-no-such-library.dll"), nullptr);
}

}  // namespace
