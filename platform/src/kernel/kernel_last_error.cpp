// The last-error code, kept per thread as Windows does.
#include <windows.h>

namespace {
thread_local DWORD tLastError = ERROR_SUCCESS;
}  // namespace

DWORD GetLastError(void) {
  return tLastError;
}

void SetLastError(DWORD dwErrCode) {
  tLastError = dwErrCode;
}
