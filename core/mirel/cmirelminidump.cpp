// The crash-dump guard of the debug library. The filter runs after a fault,
// with the process in an unknown state: it allocates nothing, every buffer
// is a bounded array on the stack, and every failure ends in a message box.
#include "mirel/cmirelminidump.h"

#ifdef MIREL_DEBUG

#include <dbghelp.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE hProcess, DWORD dwPid, HANDLE hFile, MINIDUMP_TYPE DumpType,
                                          PMINIDUMP_EXCEPTION_INFORMATION ExceptionParam,
                                          PMINIDUMP_USER_STREAM_INFORMATION UserStreamParam,
                                          PMINIDUMP_CALLBACK_INFORMATION CallbackParam);

constexpr char kDbgHelpName[] = "DBGHELP.DLL";
constexpr DWORD kModulePathSize = 1300;
constexpr int kMessageSize = 260;

// printf into a fixed buffer; a text too long is cut and still terminated.
void FormatInto(char* pszOut, size_t nSize, const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  std::vsnprintf(pszOut, nSize, pszFormat, args);
  va_end(args);
}

// The last backslash of a multibyte path, never the trail byte of a
// double-byte character; NULL when there is none.
char* FindLastBackslash(char* pszPath) {
  char* pLast = nullptr;
  for (char* p = pszPath; *p != '\0'; ++p) {
    if (IsDBCSLeadByte(static_cast<BYTE>(*p))) {
      if (p[1] == '\0') break;
      ++p;
    } else if (*p == '\\') {
      pLast = p;
    }
  }
  return pLast;
}

// The library beside the host program; NULL when its path cannot be had
// whole or the library's name does not fit after its folder.
HMODULE LoadBesideProgram() {
  char szPath[kModulePathSize];
  const DWORD n = GetModuleFileNameA(nullptr, szPath, kModulePathSize);
  if (n == 0 || n >= kModulePathSize) return nullptr;  // failed or cut short
  szPath[n] = '\0';
  char* pSlash = FindLastBackslash(szPath);
  if (pSlash == nullptr) return nullptr;
  const size_t nRoom = static_cast<size_t>(szPath + kModulePathSize - (pSlash + 1));
  if (sizeof(kDbgHelpName) > nRoom) return nullptr;
  std::memcpy(pSlash + 1, kDbgHelpName, sizeof(kDbgHelpName));
  return LoadLibraryA(szPath);
}

}  // namespace

CMirelMiniDump::CMirelMiniDump()
    : pPrevFilter(SetUnhandledExceptionFilter(&CMirelMiniDump::TopLevelFilter)) {}

CMirelMiniDump::~CMirelMiniDump() {
  SetUnhandledExceptionFilter(pPrevFilter);
}

LONG WINAPI CMirelMiniDump::TopLevelFilter(EXCEPTION_POINTERS* pExceptionInfo) {
  LONG nResult = EXCEPTION_CONTINUE_SEARCH;
  char szMessage[kMessageSize];
  szMessage[0] = '\0';

  HMODULE hDbgHelp = LoadBesideProgram();
  if (hDbgHelp == nullptr) hDbgHelp = LoadLibraryA(kDbgHelpName);
  if (hDbgHelp == nullptr) {
    FormatInto(szMessage, sizeof(szMessage), "DBGHELP.DLL not found");
  } else {
    const auto pWriteDump = reinterpret_cast<MiniDumpWriteDumpFn>(
        reinterpret_cast<void*>(GetProcAddress(hDbgHelp, "MiniDumpWriteDump")));
    if (pWriteDump == nullptr) {
      FormatInto(szMessage, sizeof(szMessage), "DBGHELP.DLL too old");
    } else {
      SYSTEMTIME now{};
      GetLocalTime(&now);
      char szDumpPath[MAX_PATH];
      FormatInto(szDumpPath, sizeof(szDumpPath), "%d_%d_%d_%d_%d_%d.dmp", now.wYear, now.wMonth, now.wDay,
                 now.wHour, now.wMinute, now.wSecond);
      if (MessageBoxA(nullptr,
                      "Something bad happened in your program, would you like to save a diagnostic file?", "",
                      MB_YESNO) != IDYES)
        return EXCEPTION_CONTINUE_SEARCH;
      HANDLE hFile = CreateFileA(szDumpPath, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
      if (hFile == INVALID_HANDLE_VALUE) {
        FormatInto(szMessage, sizeof(szMessage), "Failed to create dump file '%s' (error %d)", szDumpPath,
                   static_cast<int>(GetLastError()));
      } else {
        MINIDUMP_EXCEPTION_INFORMATION info{};
        info.ThreadId = GetCurrentThreadId();
        info.ExceptionPointers = pExceptionInfo;
        info.ClientPointers = FALSE;
        if (pWriteDump(GetCurrentProcess(), GetCurrentProcessId(), hFile, MiniDumpNormal, &info, nullptr,
                       nullptr)) {
          FormatInto(szMessage, sizeof(szMessage), "Saved dump file to '%s'", szDumpPath);
          nResult = EXCEPTION_EXECUTE_HANDLER;
        } else {
          FormatInto(szMessage, sizeof(szMessage), "Failed to save dump file to '%s' (error %d)", szDumpPath,
                     static_cast<int>(GetLastError()));
        }
        CloseHandle(hFile);
      }
    }
  }
  if (szMessage[0] != '\0') MessageBoxA(nullptr, szMessage, "", MB_OK);
  return nResult;
}

#endif  // MIREL_DEBUG
