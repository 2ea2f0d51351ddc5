// The debug library's crash-dump guard: while one lives, a fault that nothing
// else handles offers the user a minidump of the process. The release library
// has no guard.
#pragma once

#ifdef MIREL_DEBUG

#include <windows.h>

class CMirelMiniDump {
 public:
  // Installs TopLevelFilter as the process's top-level exception filter.
  CMirelMiniDump();
  // Puts back the filter that was in force when the guard was made, so
  // nested guards unwind in reverse order.
  virtual ~CMirelMiniDump();
  CMirelMiniDump(const CMirelMiniDump&) = delete;
  CMirelMiniDump& operator=(const CMirelMiniDump&) = delete;

  // Loads the debug help library (beside the host program, else by name),
  // asks the user and writes the dump into the current directory.
  // EXCEPTION_EXECUTE_HANDLER after a saved dump, else EXCEPTION_CONTINUE_SEARCH.
  static LONG WINAPI TopLevelFilter(EXCEPTION_POINTERS* pExceptionInfo);

 private:
  LPTOP_LEVEL_EXCEPTION_FILTER pPrevFilter;
};

#endif  // MIREL_DEBUG
