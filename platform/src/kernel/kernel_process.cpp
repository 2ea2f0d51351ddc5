// The current process and thread, and the process-wide top-level exception
// filter (kept and handed back; nothing here ever raises an exception).
#include <windows.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>

namespace {
std::atomic<LPTOP_LEVEL_EXCEPTION_FILTER> gTopLevelFilter{nullptr};
}  // namespace

LPTOP_LEVEL_EXCEPTION_FILTER SetUnhandledExceptionFilter(
    LPTOP_LEVEL_EXCEPTION_FILTER lpTopLevelExceptionFilter) {
  return gTopLevelFilter.exchange(lpTopLevelExceptionFilter);
}

HANDLE GetCurrentProcess(void) {
  return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1));  // the pseudo handle Windows returns
}

DWORD GetCurrentProcessId(void) {
  return static_cast<DWORD>(getpid());
}

DWORD GetCurrentThreadId(void) {
  return static_cast<DWORD>(syscall(SYS_gettid));
}
