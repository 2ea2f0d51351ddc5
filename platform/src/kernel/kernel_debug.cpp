// Debug output: kept for tests to read, and echoed to standard error when
// the MIREL_TRACE environment variable is set.
#include <windows.h>
#include <platform_hooks.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>

namespace {

// Keeps the newest text when nobody clears it, so a long session cannot grow without bound.
constexpr std::size_t kMaxKept = 1 << 20;

// Never destroyed: traces may be written from static destructors.
struct DebugOutput {
  std::mutex mutex;
  std::string text;
};

DebugOutput& Output() {
  static DebugOutput& output = *new DebugOutput;
  return output;
}

bool TraceToStderr() {
  static const bool enabled = std::getenv("MIREL_TRACE") != nullptr;
  return enabled;
}

}  // namespace

void OutputDebugStringA(LPCSTR lpOutputString) {
  if (lpOutputString == nullptr) return;
  {
    DebugOutput& output = Output();
    std::lock_guard<std::mutex> lock(output.mutex);
    output.text += lpOutputString;
    if (output.text.size() > kMaxKept) output.text.erase(0, output.text.size() - kMaxKept / 2);
  }
  if (TraceToStderr()) {
    std::fputs(lpOutputString, stderr);
    std::fflush(stderr);
  }
}

BOOL IsDebuggerPresent(void) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, 10, "TracerPid:") == 0) return std::atoi(line.c_str() + 10) != 0 ? TRUE : FALSE;
  }
  return FALSE;
}

void DebugBreak(void) {
  // Without a debugger Windows would end the process; the stand-in only reports it.
  if (IsDebuggerPresent())
    std::raise(SIGTRAP);
  else
    OutputDebugStringA("DebugBreak\n");
}

std::string MrwTestDebugOutput() {
  DebugOutput& output = Output();
  std::lock_guard<std::mutex> lock(output.mutex);
  return output.text;
}

void MrwTestClearDebugOutput() {
  DebugOutput& output = Output();
  std::lock_guard<std::mutex> lock(output.mutex);
  output.text.clear();
}
