// The shell's "open a document or address" call of the Win32 stand-in. It
// never starts anything: the call is recorded for tests (hooks_user_menu.h).
#pragma once

#include "win32_types.h"

extern "C" {

// A value above 32 means success.
HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                               LPCSTR lpDirectory, INT nShowCmd);

#define ShellExecute ShellExecuteA

}  // extern "C"
