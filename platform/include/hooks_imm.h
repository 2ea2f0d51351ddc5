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

// --- The scripted input method ---------------------------------------------
// While it is on, every window has an input context, and tests drive a
// composition through it; the messages reach the window in the order the
// system sends them. Strings are code-page bytes (GetACP).

// Turns the scripted input method on or off (off: ImmGetContext answers NULL).
void MrwTestImeEnable(BOOL bEnable);

// One state of a composition: its string, one attribute byte per string byte
// (NULL: none), clause start offsets ending with the string length (NULL:
// none) and the cursor offset.
typedef struct tagMRW_IME_COMPOSITION {
  const char* pszComp;
  const BYTE* pAttr;
  int nAttrLen;
  const DWORD* pClause;
  int nClauseCount;
  int nCursor;
} MRW_IME_COMPOSITION;

// Shows a composition: WM_IME_STARTCOMPOSITION first when none runs, then
// WM_IME_COMPOSITION with the last character in wParam and GCS_COMPSTR,
// GCS_CURSORPOS, GCS_DELTASTART, GCS_COMPATTR and GCS_COMPCLAUSE where given,
// plus dwExtraFlags (CS_INSERTCHAR, CS_NOMOVECARET). Returns the window's answer.
LRESULT MrwTestImeCompose(HWND hWnd, const MRW_IME_COMPOSITION* pComp, DWORD dwExtraFlags);

// Ends a composition with a result: WM_IME_COMPOSITION with GCS_RESULTSTR;
// with pNext the next composition comes in the same message (GCS_COMPSTR and
// its parts, as a Korean input method does) and stays running; without it
// WM_IME_ENDCOMPOSITION follows. A window that leaves the message to the
// default procedure gets the result as posted WM_IME_CHAR messages.
void MrwTestImeCommit(HWND hWnd, const char* pszResult, const MRW_IME_COMPOSITION* pNext);

// Cancels a composition: WM_IME_COMPOSITION with no parts, then WM_IME_ENDCOMPOSITION.
void MrwTestImeCancel(HWND hWnd);

// What the control asked of the input method since the last reset.
typedef struct tagMRW_IME_LOG {
  int nCandidateWindowCalls;
  CANDIDATEFORM lastCandidateForm;
  int nHotKeyCalls;
  DWORD dwLastHotKey;
  int nSetStringCalls;
  DWORD dwLastSetStringIndex;
  char szLastSetString[16];
  int nNotifyCalls;
  DWORD dwLastNotifyAction;
  DWORD dwLastNotifyIndex;
  int nContextsHeld;  // ImmGetContext answers not yet given back
} MRW_IME_LOG;
void MrwTestImeGetLog(MRW_IME_LOG* pLog);

// Forgets every property answer, every recorded call and restores the default keyboard layout;
// the scripted input method is switched off.
void MrwTestResetImm(void);

}  // extern "C"
