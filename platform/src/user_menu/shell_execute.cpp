// The shell's open call: recorded, never run, so that no test starts a
// program or a browser.
#include <hooks_user_menu.h>
#include <shellapi.h>
#include <windows.h>

#include <string>

namespace {

struct ShellCalls {
  int count = 0;
  std::string verb;
  std::string file;
  int show = 0;
};

ShellCalls& Calls() {
  static ShellCalls calls;
  return calls;
}

// What the shell answers for a call it accepted (any value above 32).
constexpr ULONG_PTR kShellSuccess = 42;
// SE_ERR_FNF: no file given.
constexpr ULONG_PTR kShellFileNotFound = 2;

}  // namespace

HINSTANCE WINAPI ShellExecuteA(HWND /*hwnd*/, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR /*lpParameters*/,
                               LPCSTR /*lpDirectory*/, INT nShowCmd) {
  ShellCalls& c = Calls();
  ++c.count;
  c.verb = lpOperation ? lpOperation : "";
  c.file = lpFile ? lpFile : "";
  c.show = nShowCmd;
  return reinterpret_cast<HINSTANCE>(lpFile ? kShellSuccess : kShellFileNotFound);
}

int MrwTestShellExecuteCount(void) {
  return Calls().count;
}

const char* MrwTestLastShellExecuteVerb(void) {
  return Calls().verb.c_str();
}

const char* MrwTestLastShellExecuteFile(void) {
  return Calls().file.c_str();
}

int MrwTestLastShellExecuteShow(void) {
  return Calls().show;
}

void MrwTestResetShellExecute(void) {
  Calls() = ShellCalls{};
}
