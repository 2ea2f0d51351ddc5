// Test hooks for the input method part of the Win32 stand-in (non-Windows
// builds only).
#pragma once

#include "win32_types.h"
#include "imm.h"

// Layout that GetKeyboardLayout reports until a test sets another: Korean
// (language 0x0412), matching the default ANSI code page 949.
#define MRW_TEST_DEFAULT_KEYBOARD_LAYOUT ((HKL)(ULONG_PTR)0x04120412)

extern "C" {

// The layout GetKeyboardLayout reports for every thread.
void MrwTestSetKeyboardLayout(HKL hKL);

// The answer of ImmGetProperty(hKL, dwIndex); indexes never set answer 0.
void MrwTestSetImeProperty(HKL hKL, DWORD dwIndex, DWORD dwValue);

// The calls of ImmSetCompositionWindow since the last reset, oldest first:
// nCount is the number of calls; *pLast (when not NULL) receives the form of
// the latest one and *phLast its context.
void MrwTestGetCompositionWindowCalls(int* pnCount, COMPOSITIONFORM* pLast, HIMC* phLast);

// Forgets every property answer, every recorded call and restores the default keyboard layout.
void MrwTestResetImm(void);

}  // extern "C"
