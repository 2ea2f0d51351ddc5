// The debug library's crash-dump guard with the real system calls: the
// system's debug help library writes a real minidump. The filter is called
// directly with a captured context; a hook on this thread answers its
// message boxes as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <cstring>
#include <string>
#include <vector>

#include "mirel/cmirelminidump.h"

namespace {

constexpr char kQuestion[] =
    "Something bad happened in your program, would you like to save a diagnostic file?";

// Message boxes shown while a BoxAnswerer lives: their texts are kept and
// each is closed with the button given.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(int nQuestionAnswer) {
    nAnswer = nQuestionAnswer;
    texts.clear();
    hHook = SetWindowsHookExA(WH_CBT, &BoxAnswerer::Hook, nullptr, GetCurrentThreadId());
  }
  ~BoxAnswerer() { UnhookWindowsHookEx(hHook); }
  static std::vector<std::string> texts;

 private:
  static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HCBT_ACTIVATE) {
      HWND hBox = reinterpret_cast<HWND>(wParam);
      char szClass[32] = "";
      GetClassNameA(hBox, szClass, sizeof(szClass));
      if (std::strcmp(szClass, "#32770") == 0) {
        char szText[512] = "";
        GetDlgItemTextA(hBox, 0xFFFF, szText, sizeof(szText));
        texts.push_back(szText);
        const int nButton = std::strcmp(szText, kQuestion) == 0 ? nAnswer : IDOK;
        PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), 0);
      }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
  }
  static int nAnswer;
  HHOOK hHook;
};
std::vector<std::string> BoxAnswerer::texts;
int BoxAnswerer::nAnswer = IDNO;

std::string DumpName(const SYSTEMTIME& t) {
  char sz[64];
  wsprintfA(sz, "%d_%d_%d_%d_%d_%d.dmp", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  return sz;
}

class CrashGuardWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetCurrentDirectoryA(MAX_PATH, szOldDir);
    char szTemp[MAX_PATH];
    GetTempPathA(MAX_PATH, szTemp);
    dir = std::string(szTemp) + "mirel_guard_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    RtlCaptureContext(&context);
    record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    record.ExceptionAddress = reinterpret_cast<PVOID>(&DumpName);
    pointers.ExceptionRecord = &record;
    pointers.ContextRecord = &context;
  }
  void TearDown() override {
    SetCurrentDirectoryA(szOldDir);
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstFileA((dir + "\\*.dmp").c_str(), &found);
    if (hFind != INVALID_HANDLE_VALUE) {
      do DeleteFileA((dir + "\\" + found.cFileName).c_str());
      while (FindNextFileA(hFind, &found));
      FindClose(hFind);
    }
    RemoveDirectoryA(dir.c_str());
  }
  // The dump files in the folder.
  std::vector<std::string> Dumps() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstFileA((dir + "\\*.dmp").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(hFind, &found));
    FindClose(hFind);
    return names;
  }

  char szOldDir[MAX_PATH] = "";
  std::string dir;
  CONTEXT context{};
  EXCEPTION_RECORD record{};
  EXCEPTION_POINTERS pointers{};
};

TEST_F(CrashGuardWineTest, NoWritesNothing) {
  BoxAnswerer answerer(IDNO);
  EXPECT_EQ(CMirelMiniDump::TopLevelFilter(&pointers), EXCEPTION_CONTINUE_SEARCH);
  ASSERT_EQ(BoxAnswerer::texts.size(), 1u);
  EXPECT_EQ(BoxAnswerer::texts[0], kQuestion);
  EXPECT_TRUE(Dumps().empty());
}

TEST_F(CrashGuardWineTest, YesWritesAMinidumpNamedByTheLocalTime) {
  SYSTEMTIME before, after;
  GetLocalTime(&before);
  LONG nResult;
  {
    BoxAnswerer answerer(IDYES);
    nResult = CMirelMiniDump::TopLevelFilter(&pointers);
  }
  GetLocalTime(&after);
  EXPECT_EQ(nResult, EXCEPTION_EXECUTE_HANDLER);
  const std::vector<std::string> dumps = Dumps();
  ASSERT_EQ(dumps.size(), 1u);
  EXPECT_TRUE(dumps[0] == DumpName(before) || dumps[0] == DumpName(after)) << dumps[0];
  ASSERT_EQ(BoxAnswerer::texts.size(), 2u);
  EXPECT_EQ(BoxAnswerer::texts[1], "Saved dump file to '" + dumps[0] + "'");
  HANDLE hFile = CreateFileA((dir + "\\" + dumps[0]).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
  char signature[4] = {};
  DWORD nRead = 0;
  ReadFile(hFile, signature, sizeof(signature), &nRead, nullptr);
  CloseHandle(hFile);
  EXPECT_EQ(std::string(signature, nRead), "MDMP");
}

LONG WINAPI FirstFilter(EXCEPTION_POINTERS*) {
  return EXCEPTION_CONTINUE_SEARCH;
}

TEST(CrashGuardWine, GuardsRestoreTheFilterInForce) {
  LPTOP_LEVEL_EXCEPTION_FILTER original = SetUnhandledExceptionFilter(&FirstFilter);
  {
    CMirelMiniDump outer;
    { CMirelMiniDump inner; }
    EXPECT_EQ(SetUnhandledExceptionFilter(&CMirelMiniDump::TopLevelFilter), &CMirelMiniDump::TopLevelFilter);
  }
  EXPECT_EQ(SetUnhandledExceptionFilter(original), &FirstFilter);
}

}  // namespace

#endif  // _WIN32
