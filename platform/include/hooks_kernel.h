// Test hooks for the kernel part of the Win32 stand-in (non-Windows builds only).
#pragma once

#include "win32_types.h"

#include <string>

// The ANSI code page that GetACP reports and CP_ACP converts with (949 by default).
void MrwTestSetACP(UINT codePage);

// Text written with OutputDebugStringA since the last clear.
std::string MrwTestDebugOutput();
void MrwTestClearDebugOutput();

// GetLocalTime answers this time from now on; NULL returns to the real clock.
void MrwTestSetLocalTime(const SYSTEMTIME* pTime);

// GetModuleFileNameA (NULL) answers this path for the host program from now
// on (a Windows-style path may be given: the file functions read backslashes
// as separators); NULL returns to the real one.
void MrwTestSetProgramPath(const char* pszPath);
