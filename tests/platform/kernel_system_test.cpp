// Version, clock, debug output and strings of the kernel and oleaut32.
#include "test_support.h"

#ifndef _WIN32
#include <platform_hooks.h>
#endif

#include <cstring>
#include <ctime>
#include <thread>

namespace {

TEST(KernelVersion, ReportsAnNtSystem) {
  OSVERSIONINFOA info;
  std::memset(&info, 0xCC, sizeof(info));
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_EQ(sizeof(info), 148u);
  ASSERT_TRUE(GetVersionExA(&info));
  EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  EXPECT_GE(info.dwMajorVersion, 5u);
  EXPECT_LT(std::strlen(info.szCSDVersion), sizeof(info.szCSDVersion));
}

TEST(KernelVersion, RefusesAWrongStructureSize) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info) - 4;
  SetLastError(0);
  EXPECT_FALSE(GetVersionExA(&info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(info.dwMajorVersion, 0u);
}

TEST(KernelClock, TickCountDoesNotGoBackAndLocalTimeIsValid) {
  const DWORD before = GetTickCount();
  Sleep(1);
  EXPECT_LT(GetTickCount() - before, 60000u);  // unsigned: a backward step would wrap to a huge value

  SYSTEMTIME local = {};
  GetLocalTime(&local);
  EXPECT_GE(local.wYear, 2024);
  EXPECT_TRUE(local.wMonth >= 1 && local.wMonth <= 12);
  EXPECT_TRUE(local.wDay >= 1 && local.wDay <= 31);
  EXPECT_LE(local.wDayOfWeek, 6);
  EXPECT_LE(local.wHour, 23);
  EXPECT_LE(local.wMilliseconds, 999);
}

TEST(KernelClockStandIn, PinnedLocalTime) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  SYSTEMTIME pinned = {2001, 2, 6, 3, 4, 5, 6, 7};
  MrwTestSetLocalTime(&pinned);
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  EXPECT_EQ(std::memcmp(&now, &pinned, sizeof(now)), 0);
  MrwTestSetLocalTime(nullptr);
  GetLocalTime(&now);
  const std::time_t seconds = std::time(nullptr);
  std::tm parts{};
  localtime_r(&seconds, &parts);
  EXPECT_EQ(now.wYear, parts.tm_year + 1900);
#endif
}

TEST(KernelDebugOutputStandIn, OutputIsCapturedUntilCleared) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  MrwTestClearDebugOutput();
  OutputDebugStringA("first ");
  OutputDebugStringA(nullptr);
  OutputDebugStringA("second\n");
  EXPECT_EQ(MrwTestDebugOutput(), "first second\n");
  MrwTestClearDebugOutput();
  EXPECT_EQ(MrwTestDebugOutput(), "");
#endif
}

TEST(KernelStrings, SysAllocStringLenCopiesAndTerminates) {
  const std::basic_string<WCHAR> source = mirel_test::Wide(u"abc\uD55Cdef");
  BSTR text = SysAllocStringLen(source.c_str(), 4);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 4u);
  EXPECT_EQ(std::memcmp(text, source.c_str(), 4 * sizeof(WCHAR)), 0);
  EXPECT_EQ(text[4], 0);
  // The length prefix holds the byte count.
  UINT bytes = 0;
  std::memcpy(&bytes, reinterpret_cast<const char*>(text) - sizeof(bytes), sizeof(bytes));
  EXPECT_EQ(bytes, 8u);
  EXPECT_EQ(lstrlenW(text), 4);
  SysFreeString(text);
}

TEST(KernelStrings, SysAllocStringLenWithoutSource) {
  BSTR text = SysAllocStringLen(nullptr, 3);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 3u);
  EXPECT_EQ(text[3], 0);
  if (mirel_test::kStandIn) {
    // Windows leaves the content undefined; the stand-in zeroes it.
    EXPECT_EQ(text[0], 0);
    EXPECT_EQ(text[2], 0);
  }
  SysFreeString(text);
  BSTR empty = SysAllocStringLen(nullptr, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringLen(empty), 0u);
  EXPECT_EQ(empty[0], 0);
  SysFreeString(empty);
  EXPECT_EQ(SysAllocStringLen(nullptr, 0xFFFFFFFFu), nullptr);  // the byte length cannot be stored
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
  EXPECT_EQ(lstrlenW(nullptr), 0);
}

TEST(KernelLastError, IsKeptPerThread) {
  SetLastError(ERROR_FILE_EXISTS);
  DWORD seenByOtherThread = 12345;
  std::thread other([&] {
    seenByOtherThread = GetLastError();
    SetLastError(ERROR_ACCESS_DENIED);
  });
  other.join();
  EXPECT_EQ(seenByOtherThread, static_cast<DWORD>(ERROR_SUCCESS));  // a new thread starts clean
  // Starting and joining the thread may reset this thread's code, but never to the other thread's.
  EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

}  // namespace
