// Test hooks for the window manager part of the Win32 stand-in (non-Windows
// builds only).
#pragma once

#include "win32_types.h"

extern "C" {

// Window handles. The stand-in never hands out a handle value twice, so a
// stale handle can never reach a newer window by accident. A test that wants
// to prove stale handles are harmless asks for a specific old value: the next
// window created gets hWnd (once), even if it belonged to a destroyed window.
void MrwTestRecycleNextHandle(HWND hWnd);

// Destroys every window still alive, unregisters nothing. For test teardown.
void MrwTestDestroyAllWindows(void);

// Timers run on a virtual clock of their own (GetTickCount is not affected):
// advancing it makes due timers post WM_TIMER from the next GetMessageA or
// PeekMessageA. MrwTestTimerClock returns the current virtual time in ms.
void MrwTestAdvanceClock(DWORD dwMilliseconds);
DWORD MrwTestTimerClock(void);

// Runs a message loop (TranslateMessage, DispatchMessageA) over everything
// pending without blocking: posted messages, then WM_PAINT for invalid
// windows and WM_TIMER for due timers, until nothing is left. A window whose
// WM_PAINT leaves it invalid is painted once per call. A WM_QUIT found in the
// queue stays there. Returns the number of messages dispatched.
int MrwTestPumpMessages(void);

// Drops every posted message and timer message without dispatching them.
void MrwTestDiscardMessages(void);

// Keyboard state seen by GetKeyState and GetAsyncKeyState.
void MrwTestSetKeyDown(int nVirtKey, BOOL bDown);
void MrwTestResetKeyState(void);

// Cursor position on the screen, reported by GetCursorPos and GetMessagePos.
void MrwTestSetCursorPos(int x, int y);

// System colours and metrics. Setting a colour also makes GetSysColorBrush
// answer with a brush of the new colour. Reset restores the defaults.
void MrwTestSetSysColor(int nIndex, COLORREF color);
void MrwTestSetSystemMetric(int nIndex, int nValue);
// Lines per wheel notch reported by SPI_GETWHEELSCROLLLINES (3 by default;
// WHEEL_PAGESCROLL scrolls by pages).
void MrwTestSetWheelScrollLines(UINT nLines);
void MrwTestResetSystemSettings(void);

// MessageBeep is counted.
int MrwTestBeepCount(void);
void MrwTestResetBeepCount(void);

// MessageBoxA never shows anything: it records its arguments and answers with
// the next scripted answer (first in, first out), or IDOK when none is left.
void MrwTestScriptMessageBox(int nAnswer);
int MrwTestMessageBoxCount(void);
// Text, caption and flags of the most recent message box; empty/0 when none.
const char* MrwTestLastMessageBoxText(void);
const char* MrwTestLastMessageBoxCaption(void);
UINT MrwTestLastMessageBoxFlags(void);
void MrwTestResetMessageBoxes(void);

// Empties the clipboard, frees its data, closes it and forgets the owner.
// Registered formats keep their numbers.
void MrwTestResetClipboard(void);

}  // extern "C"
