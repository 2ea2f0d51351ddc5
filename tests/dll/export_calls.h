// Every export that takes a control handle, as a table of calls with fixed,
// valid arguments: the tests run each against handles in different states.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace mirel_test {

// One export call: returns the export's result, or for a function without
// one 0 when it wrote nothing into the caller's variables (1 when it did).
struct ExportCall {
  const char* name;
  std::function<long long(HWND)> call;
};

std::vector<ExportCall> HandleExports();

}  // namespace mirel_test
