// Tick count, sleeping and the wall-clock time (local time can be pinned by tests).
#include <windows.h>
#include <platform_hooks.h>

#include <sched.h>

#include <cerrno>
#include <ctime>
#include <mutex>
#include <optional>

namespace {

// Trivially destructible, so usable at any time during exit.
std::mutex gPinnedMutex;
std::optional<SYSTEMTIME> gPinnedLocalTime;

void FillSystemTime(const std::tm& parts, long nanoseconds, LPSYSTEMTIME pTime) {
  pTime->wYear = static_cast<WORD>(parts.tm_year + 1900);
  pTime->wMonth = static_cast<WORD>(parts.tm_mon + 1);
  pTime->wDayOfWeek = static_cast<WORD>(parts.tm_wday);
  pTime->wDay = static_cast<WORD>(parts.tm_mday);
  pTime->wHour = static_cast<WORD>(parts.tm_hour);
  pTime->wMinute = static_cast<WORD>(parts.tm_min);
  pTime->wSecond = static_cast<WORD>(parts.tm_sec > 59 ? 59 : parts.tm_sec);  // no leap seconds in SYSTEMTIME
  pTime->wMilliseconds = static_cast<WORD>(nanoseconds / 1000000);
}

void ClockTime(LPSYSTEMTIME pTime, bool local) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm parts{};
  if (local)
    localtime_r(&now.tv_sec, &parts);
  else
    gmtime_r(&now.tv_sec, &parts);
  FillSystemTime(parts, now.tv_nsec, pTime);
}

}  // namespace

DWORD GetTickCount(void) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const unsigned long long ms = static_cast<unsigned long long>(now.tv_sec) * 1000ULL +
                                static_cast<unsigned long long>(now.tv_nsec) / 1000000ULL;
  return static_cast<DWORD>(ms);  // wraps after 49.7 days, as on Windows
}

void Sleep(DWORD dwMilliseconds) {
  if (dwMilliseconds == 0) {
    sched_yield();
    return;
  }
  constexpr DWORD kInfinite = 0xFFFFFFFF;
  do {
    timespec wait{static_cast<time_t>(dwMilliseconds / 1000),
                  static_cast<long>(dwMilliseconds % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
  } while (dwMilliseconds == kInfinite);
}

void GetLocalTime(LPSYSTEMTIME lpSystemTime) {
  if (lpSystemTime == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(gPinnedMutex);
    if (gPinnedLocalTime) {
      *lpSystemTime = *gPinnedLocalTime;
      return;
    }
  }
  ClockTime(lpSystemTime, true);
}

void GetSystemTime(LPSYSTEMTIME lpSystemTime) {
  if (lpSystemTime != nullptr) ClockTime(lpSystemTime, false);
}

void MrwTestSetLocalTime(const SYSTEMTIME* pTime) {
  std::lock_guard<std::mutex> lock(gPinnedMutex);
  if (pTime != nullptr)
    gPinnedLocalTime = *pTime;
  else
    gPinnedLocalTime.reset();
}
