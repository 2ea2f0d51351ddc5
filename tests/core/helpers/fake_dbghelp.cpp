// A stand-in for the debug help library, loaded by the crash-dump guard's
// tests in its place. It records how it was called and writes a marker into
// the dump file through the file handle it was given. Built without
// MiniDumpWriteDump it plays a library too old to have it.
#include <windows.h>
#include <dbghelp.h>

#include "fake_dbghelp.h"

namespace {
FakeDumpCall gLast{};
int gCalls = 0;
DWORD gFailWith = 0;
}  // namespace

extern "C" {

__attribute__((visibility("default"))) const FakeDumpCall* FakeDumpLastCall(void) {
  return &gLast;
}

__attribute__((visibility("default"))) int FakeDumpCallCount(void) {
  return gCalls;
}

__attribute__((visibility("default"))) void FakeDumpFailWith(DWORD dwError) {
  gFailWith = dwError;
}

#ifndef FAKE_DBGHELP_TOO_OLD
__attribute__((visibility("default"))) BOOL MiniDumpWriteDump(
    HANDLE hProcess, DWORD dwPid, HANDLE hFile, MINIDUMP_TYPE DumpType,
    PMINIDUMP_EXCEPTION_INFORMATION ExceptionParam, PMINIDUMP_USER_STREAM_INFORMATION UserStreamParam,
    PMINIDUMP_CALLBACK_INFORMATION CallbackParam) {
  ++gCalls;
  gLast = FakeDumpCall{};
  gLast.hProcess = hProcess;
  gLast.dwPid = dwPid;
  gLast.nDumpType = static_cast<int>(DumpType);
  gLast.bHasExceptionParam = ExceptionParam != nullptr;
  if (ExceptionParam != nullptr) gLast.exception = *ExceptionParam;
  gLast.bHasUserStreams = UserStreamParam != nullptr;
  gLast.bHasCallback = CallbackParam != nullptr;
  if (gFailWith != 0) {
    SetLastError(gFailWith);
    return FALSE;
  }
  DWORD nWritten = 0;
  return WriteFile(hFile, kFakeDumpMarker, sizeof(kFakeDumpMarker) - 1, &nWritten, nullptr) &&
         nWritten == sizeof(kFakeDumpMarker) - 1;
}
#endif

}  // extern "C"
