// Thread identity: every thread that calls gets an id of its own, never 0,
// fixed for the thread's life.
#include <windows.h>

#include <atomic>

DWORD GetCurrentThreadId(void) {
  static std::atomic<DWORD> s_nNext{1};
  thread_local const DWORD s_nId = s_nNext.fetch_add(1);
  return s_nId;
}
