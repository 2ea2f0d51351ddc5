// What the fake debug help library records, read by the tests through the
// functions it exports.
#pragma once

#include <windows.h>
#include <dbghelp.h>

constexpr char kFakeDumpMarker[] = "MDMP-fake";

struct FakeDumpCall {
  HANDLE hProcess;
  DWORD dwPid;
  int nDumpType;
  bool bHasExceptionParam;
  MINIDUMP_EXCEPTION_INFORMATION exception;
  bool bHasUserStreams;
  bool bHasCallback;
};

// Exported names and their types, for GetProcAddress.
using FakeDumpLastCallFn = const FakeDumpCall* (*)(void);
using FakeDumpCallCountFn = int (*)(void);
using FakeDumpFailWithFn = void (*)(DWORD);
