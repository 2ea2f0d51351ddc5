// The debug library's crash-dump guard against the stand-in: scripted message
// box answers, a pinned clock and a fake debug help library copied where the
// guard looks for it (beside the host program, whose path a hook sets).
#include <windows.h>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "helpers/fake_dbghelp.h"
#include "mirel/cmirelminidump.h"
#include "platform_hooks.h"

namespace {

namespace fs = std::filesystem;

constexpr char kQuestion[] =
    "Something bad happened in your program, would you like to save a diagnostic file?";
constexpr char kDumpName[] = "2025_2_3_9_5_7.dmp";  // the pinned clock below

enum class Library { kNone, kCurrent, kTooOld };

class CrashGuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char szTemplate[] = "/tmp/mirel_guard_XXXXXX";
    ASSERT_NE(mkdtemp(szTemplate), nullptr);
    dir = szTemplate;
    oldCwd = fs::current_path();
    fs::current_path(dir);                         // the dump goes to the current directory
    SYSTEMTIME t = {2025, 2, 1, 3, 9, 5, 7, 456};  // Monday 3 February 2025, 09:05:07.456
    MrwTestSetLocalTime(&t);
    MrwTestResetMessageBoxes();
    SetProgram("host.exe");
  }
  void TearDown() override {
    MrwTestSetProgramPath(nullptr);
    MrwTestSetLocalTime(nullptr);
    MrwTestResetMessageBoxes();
    fs::current_path(oldCwd);
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  // The host program lives in the temporary folder, named the Windows way.
  void SetProgram(const std::string& name) {
    programPath = dir.string() + "\\" + name;
    MrwTestSetProgramPath(programPath.c_str());
  }

  // Puts a copy of a fake library beside the host program; a fresh copy is a
  // fresh module with nothing recorded.
  HMODULE Install(Library kind) {
    if (kind == Library::kNone) return nullptr;
    const fs::path target = dir / "DBGHELP.DLL";
    fs::copy_file(kind == Library::kCurrent ? MIREL_FAKE_DBGHELP_PATH : MIREL_FAKE_DBGHELP_OLD_PATH, target,
                  fs::copy_options::overwrite_existing);
    return LoadLibraryA(target.c_str());
  }

  template <typename Fn>
  Fn Export(HMODULE h, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(h, name)));
  }

  static std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path dir;
  fs::path oldCwd;
  std::string programPath;
  EXCEPTION_RECORD record{};
  EXCEPTION_POINTERS pointers{&record, nullptr};
};

// Every way the filter can end, with the boxes it shows and what it returns.
TEST_F(CrashGuardTest, FilterOutcomes) {
  struct Case {
    const char* name;
    Library library;
    int nAnswer;        // scripted answer to the question; 0 when none is expected
    DWORD dwDumpError;  // the fake dump writer fails with this, 0 = succeeds
    bool bDirInTheWay;  // a folder holds the dump's name, so creating it fails
    LONG nResult;
    int nBoxes;
    const char* pszLast;  // text of the last box
    const char* pszFile;  // expected dump file contents, NULL for no file
  };
  const std::string saved = std::string("Saved dump file to '") + kDumpName + "'";
  const std::string failed = std::string("Failed to save dump file to '") + kDumpName + "' (error 1234)";
  const std::string notCreated = std::string("Failed to create dump file '") + kDumpName + "' (error 5)";
  const Case cases[] = {
      {"no library: no question", Library::kNone, 0, 0, false, EXCEPTION_CONTINUE_SEARCH, 1,
       "DBGHELP.DLL not found", nullptr},
      {"library without the writer", Library::kTooOld, 0, 0, false, EXCEPTION_CONTINUE_SEARCH, 1,
       "DBGHELP.DLL too old", nullptr},
      {"user says no", Library::kCurrent, IDNO, 0, false, EXCEPTION_CONTINUE_SEARCH, 1, kQuestion, nullptr},
      {"user says yes", Library::kCurrent, IDYES, 0, false, EXCEPTION_EXECUTE_HANDLER, 2, saved.c_str(),
       kFakeDumpMarker},
      {"writer fails", Library::kCurrent, IDYES, 1234, false, EXCEPTION_CONTINUE_SEARCH, 2, failed.c_str(),
       ""},
      {"file cannot be made", Library::kCurrent, IDYES, 0, true, EXCEPTION_CONTINUE_SEARCH, 2,
       notCreated.c_str(), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    HMODULE hFake = Install(c.library);
    if (c.library == Library::kCurrent) Export<FakeDumpFailWithFn>(hFake, "FakeDumpFailWith")(c.dwDumpError);
    if (c.bDirInTheWay) fs::create_directory(dir / kDumpName);
    if (c.nAnswer != 0) MrwTestScriptMessageBox(c.nAnswer);

    EXPECT_EQ(CMirelMiniDump::TopLevelFilter(&pointers), c.nResult);
    EXPECT_EQ(MrwTestMessageBoxCount(), c.nBoxes);
    EXPECT_STREQ(MrwTestLastMessageBoxText(), c.pszLast);
    EXPECT_STREQ(MrwTestLastMessageBoxCaption(), "");
    EXPECT_EQ(MrwTestLastMessageBoxFlags(), c.nBoxes == 1 && c.nAnswer != 0 ? UINT{MB_YESNO} : UINT{MB_OK});
    if (c.pszFile != nullptr) {
      EXPECT_EQ(ReadFile(dir / kDumpName), c.pszFile);
    } else if (!c.bDirInTheWay) {
      EXPECT_FALSE(fs::exists(dir / kDumpName));
    }
    if (c.library == Library::kCurrent) {
      EXPECT_EQ(Export<FakeDumpCallCountFn>(hFake, "FakeDumpCallCount")(),
                c.nAnswer == IDYES && !c.bDirInTheWay);
    }
  }
}

// The writer gets this process, this thread, the fault and nothing else.
TEST_F(CrashGuardTest, WriterReceivesTheFault) {
  HMODULE hFake = Install(Library::kCurrent);
  MrwTestScriptMessageBox(IDYES);
  ASSERT_EQ(CMirelMiniDump::TopLevelFilter(&pointers), EXCEPTION_EXECUTE_HANDLER);
  const FakeDumpCall* call = Export<FakeDumpLastCallFn>(hFake, "FakeDumpLastCall")();
  EXPECT_EQ(call->hProcess, GetCurrentProcess());
  EXPECT_EQ(call->dwPid, GetCurrentProcessId());
  EXPECT_EQ(call->nDumpType, static_cast<int>(MiniDumpNormal));
  ASSERT_TRUE(call->bHasExceptionParam);
  EXPECT_EQ(call->exception.ThreadId, GetCurrentThreadId());
  EXPECT_EQ(call->exception.ExceptionPointers, &pointers);
  EXPECT_FALSE(call->exception.ClientPointers);
  EXPECT_FALSE(call->bHasUserStreams);
  EXPECT_FALSE(call->bHasCallback);
}

// A second fault in the same second writes over the first dump.
TEST_F(CrashGuardTest, SameSecondOverwrites) {
  Install(Library::kCurrent);
  std::ofstream(dir / kDumpName) << std::string(4096, 'x');
  MrwTestScriptMessageBox(IDYES);
  ASSERT_EQ(CMirelMiniDump::TopLevelFilter(&pointers), EXCEPTION_EXECUTE_HANDLER);
  EXPECT_EQ(ReadFile(dir / kDumpName), kFakeDumpMarker);
}

// Host program paths where the library beside it cannot be named: the guard
// falls back to loading by name (nothing is found by name here) and never
// writes past its buffers.
TEST_F(CrashGuardTest, UnusableProgramPathsFallBackToName) {
  Install(Library::kCurrent);
  const std::string base = dir.string();
  const std::string paths[] = {
      std::string(1400, 'a'),  // longer than the path buffer: cut short
      base + "/host.exe",      // no backslash at all
  };
  for (const std::string& path : paths) {
    SCOPED_TRACE(path.size());
    MrwTestResetMessageBoxes();
    MrwTestSetProgramPath(path.c_str());
    EXPECT_EQ(CMirelMiniDump::TopLevelFilter(&pointers), EXCEPTION_CONTINUE_SEARCH);
    EXPECT_EQ(MrwTestMessageBoxCount(), 1);
    EXPECT_STREQ(MrwTestLastMessageBoxText(), "DBGHELP.DLL not found");
  }
}

// The library's name just fits after the folder of the host program, or
// misses by one byte (the name goes into the 1300-byte path buffer).
TEST_F(CrashGuardTest, LibraryNameAtTheEndOfThePathBuffer) {
  for (size_t nFolder : {size_t{1287}, size_t{1288}}) {
    SCOPED_TRACE(nFolder);
    std::string folder = dir.string();
    while (folder.size() < nFolder) {
      const size_t nPart = std::min<size_t>(200, nFolder - folder.size() - 1);
      folder += "/" + std::string(nPart, static_cast<char>('a' + folder.size() % 26));
    }
    ASSERT_EQ(folder.size(), nFolder);
    fs::create_directories(folder);
    fs::copy_file(MIREL_FAKE_DBGHELP_PATH, folder + "/DBGHELP.DLL", fs::copy_options::overwrite_existing);
    const std::string program = folder + "\\h.exe";
    MrwTestSetProgramPath(program.c_str());
    MrwTestResetMessageBoxes();
    MrwTestScriptMessageBox(IDNO);
    EXPECT_EQ(CMirelMiniDump::TopLevelFilter(&pointers), EXCEPTION_CONTINUE_SEARCH);
    EXPECT_STREQ(MrwTestLastMessageBoxText(), nFolder == 1287 ? kQuestion : "DBGHELP.DLL not found");
  }
}

// A double-byte character whose second byte is a backslash is not a folder
// separator.
TEST_F(CrashGuardTest, DoubleByteTrailIsNotASeparator) {
  MrwTestSetACP(932);
  Install(Library::kCurrent);
  SetProgram("host\x83\x5C.exe");
  MrwTestScriptMessageBox(IDNO);
  EXPECT_EQ(CMirelMiniDump::TopLevelFilter(&pointers), EXCEPTION_CONTINUE_SEARCH);
  MrwTestSetACP(949);
  EXPECT_STREQ(MrwTestLastMessageBoxText(), kQuestion);  // the library was found beside the program
}

LONG WINAPI FirstFilter(EXCEPTION_POINTERS*) {
  return EXCEPTION_CONTINUE_SEARCH;
}

// Guards install the dump filter for their lifetime and unwind in reverse.
TEST(CrashGuard, NestedGuardsRestoreFilters) {
  LPTOP_LEVEL_EXCEPTION_FILTER original = SetUnhandledExceptionFilter(&FirstFilter);
  {
    CMirelMiniDump outer;
    {
      CMirelMiniDump inner;
      EXPECT_EQ(SetUnhandledExceptionFilter(&CMirelMiniDump::TopLevelFilter),
                &CMirelMiniDump::TopLevelFilter);
    }
    EXPECT_EQ(SetUnhandledExceptionFilter(&CMirelMiniDump::TopLevelFilter), &CMirelMiniDump::TopLevelFilter);
  }
  EXPECT_EQ(SetUnhandledExceptionFilter(original), &FirstFilter);
}

}  // namespace

#endif  // _WIN32
