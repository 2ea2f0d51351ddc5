// Input method manager functions of the Win32 stand-in (imm32), with the
// keyboard-layout query of the window manager that goes with them.
#pragma once

#ifdef _WIN32
#error "The Win32 stand-in must not be used on Windows"
#endif

#include "win32_types.h"
#include "win32_user.h"

extern "C" {

// The keyboard layout of a thread (0: the calling thread): the language
// identifier in the low word, the device identifier in the high word.
HKL WINAPI GetKeyboardLayout(DWORD idThread);

// A property of the input method of a keyboard layout (IGP_*); 0 when the
// layout has no input method or the index is unknown.
DWORD WINAPI ImmGetProperty(HKL hKL, DWORD dwIndex);

// The input context of a window, NULL when the window has none; every
// context obtained is given back with ImmReleaseContext.
HIMC WINAPI ImmGetContext(HWND hWnd);
BOOL WINAPI ImmReleaseContext(HWND hWnd, HIMC hIMC);

// Tells the input method of a context to act on its composition (NI_*,
// with CPS_* for NI_COMPOSITIONSTR).
BOOL WINAPI ImmNotifyIME(HIMC hIMC, DWORD dwAction, DWORD dwIndex, DWORD dwValue);

// Where the composition window of a context is drawn (CFS_*).
typedef struct tagCOMPOSITIONFORM {
  DWORD dwStyle;
  POINT ptCurrentPos;
  RECT rcArea;
} COMPOSITIONFORM, *PCOMPOSITIONFORM, *LPCOMPOSITIONFORM;

// Places the composition window of a context; FALSE without a context or form.
BOOL WINAPI ImmSetCompositionWindow(HIMC hIMC, LPCOMPOSITIONFORM lpCompForm);

}  // extern "C"

// Indexes of ImmGetProperty.
#define IGP_GETIMEVERSION ((DWORD)-4)
#define IGP_PROPERTY 0x00000004
#define IGP_CONVERSION 0x00000008
#define IGP_SENTENCE 0x0000000C
#define IGP_UI 0x00000010
#define IGP_SETCOMPSTR 0x00000014
#define IGP_SELECT 0x00000018

// Actions of ImmNotifyIME and the values of NI_COMPOSITIONSTR.
#define NI_COMPOSITIONSTR 0x0015
#define CPS_COMPLETE 0x0001
#define CPS_CONVERT 0x0002
#define CPS_REVERT 0x0003
#define CPS_CANCEL 0x0004

// Bits of the IGP_PROPERTY answer.
#define IME_PROP_AT_CARET 0x00010000
#define IME_PROP_SPECIAL_UI 0x00020000
#define IME_PROP_CANDLIST_START_FROM_1 0x00040000
#define IME_PROP_UNICODE 0x00080000
#define IME_PROP_COMPLETE_ON_UNSELECT 0x00100000

// Styles of COMPOSITIONFORM.
#define CFS_DEFAULT 0x0000
#define CFS_RECT 0x0001
#define CFS_POINT 0x0002
#define CFS_FORCE_POSITION 0x0020
