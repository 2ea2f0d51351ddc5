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

// Reads a part of the composition (GCS_*): with dwBufLen 0 the byte size
// needed, else the bytes copied (strings without a terminator; clauses as
// 32-bit offsets; GCS_CURSORPOS and GCS_DELTASTART as the result itself).
// The A form counts in code-page bytes, the W form in UTF-16 units (its
// sizes still in bytes). IMM_ERROR_NODATA / IMM_ERROR_GENERAL on failure.
LONG WINAPI ImmGetCompositionStringA(HIMC hIMC, DWORD dwIndex, LPVOID lpBuf, DWORD dwBufLen);
LONG WINAPI ImmGetCompositionStringW(HIMC hIMC, DWORD dwIndex, LPVOID lpBuf, DWORD dwBufLen);

// Sets the composition string (SCS_SETSTR) in code-page bytes.
BOOL WINAPI ImmSetCompositionStringA(HIMC hIMC, DWORD dwIndex, LPVOID lpComp, DWORD dwCompLen, LPVOID lpRead,
                                     DWORD dwReadLen);

// Where a candidate window is drawn (CFS_*).
typedef struct tagCANDIDATEFORM {
  DWORD dwIndex;
  DWORD dwStyle;
  POINT ptCurrentPos;
  RECT rcArea;
} CANDIDATEFORM, *PCANDIDATEFORM, *LPCANDIDATEFORM;

BOOL WINAPI ImmSetCandidateWindow(HIMC hIMC, LPCANDIDATEFORM lpCandidate);

// Whether the input method of a context is open (takes keys).
BOOL WINAPI ImmGetOpenStatus(HIMC hIMC);
BOOL WINAPI ImmSetOpenStatus(HIMC hIMC, BOOL fOpen);

// Acts as if the user pressed an input-method hot key (IME_*HOTKEY_*) in a window.
BOOL WINAPI ImmSimulateHotKey(HWND hWnd, DWORD dwHotKeyID);

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
#define NI_OPENCANDIDATE 0x0010
#define NI_CLOSECANDIDATE 0x0011
#define NI_SELECTCANDIDATESTR 0x0012
#define NI_CHANGECANDIDATELIST 0x0013
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
#define CFS_CANDIDATEPOS 0x0040
#define CFS_EXCLUDE 0x0080

// Parts of a composition (ImmGetCompositionString, the lParam of
// WM_IME_COMPOSITION) and the flags that go with them.
#define GCS_COMPREADSTR 0x0001
#define GCS_COMPREADATTR 0x0002
#define GCS_COMPREADCLAUSE 0x0004
#define GCS_COMPSTR 0x0008
#define GCS_COMPATTR 0x0010
#define GCS_COMPCLAUSE 0x0020
#define GCS_CURSORPOS 0x0080
#define GCS_DELTASTART 0x0100
#define GCS_RESULTREADSTR 0x0200
#define GCS_RESULTREADCLAUSE 0x0400
#define GCS_RESULTSTR 0x0800
#define GCS_RESULTCLAUSE 0x1000
#define CS_INSERTCHAR 0x2000
#define CS_NOMOVECARET 0x4000

// Attribute bytes of GCS_COMPATTR.
#define ATTR_INPUT 0x00
#define ATTR_TARGET_CONVERTED 0x01
#define ATTR_CONVERTED 0x02
#define ATTR_TARGET_NOTCONVERTED 0x03
#define ATTR_INPUT_ERROR 0x04
#define ATTR_FIXEDCONVERTED 0x05

#define IMM_ERROR_NODATA (-1)
#define IMM_ERROR_GENERAL (-2)

// Index of ImmSetCompositionString.
#define SCS_SETSTR 0x0009
#define SCS_CHANGEATTR 0x0012
#define SCS_CHANGECLAUSE 0x0024

// Commands of WM_IME_NOTIFY.
#define IMN_CLOSESTATUSWINDOW 0x0001
#define IMN_OPENSTATUSWINDOW 0x0002
#define IMN_CHANGECANDIDATE 0x0003
#define IMN_CLOSECANDIDATE 0x0004
#define IMN_OPENCANDIDATE 0x0005
#define IMN_SETCONVERSIONMODE 0x0006
#define IMN_SETSENTENCEMODE 0x0007
#define IMN_SETOPENSTATUS 0x0008
#define IMN_SETCANDIDATEPOS 0x0009
#define IMN_SETCOMPOSITIONFONT 0x000A
#define IMN_SETCOMPOSITIONWINDOW 0x000B
#define IMN_SETSTATUSWINDOWPOS 0x000C
#define IMN_GUIDELINE 0x000D
#define IMN_PRIVATE 0x000E

// Korean hot keys of ImmSimulateHotKey.
#define IME_KHOTKEY_SHAPE_TOGGLE 0x0050
#define IME_KHOTKEY_HANJACONVERT 0x0051
#define IME_KHOTKEY_ENGLISH 0x0052
