// Test hooks for the scroll bars and the caret of the Win32 stand-in
// (non-Windows builds only).
#pragma once

#include "win32_types.h"

extern "C" {

// The thumb position a drag would report through SIF_TRACKPOS; it holds
// until the next change of the bar's position.
void MrwTestSetScrollTrackPos(HWND hWnd, int nBar, int nTrackPos);

// Arrows of a bar disabled by EnableScrollBar (ESB_* bits); 0 when enabled
// or unknown.
UINT MrwTestScrollBarDisabledArrows(HWND hWnd, int nBar);

// How often SetScrollInfo and SetScrollPos were called for a bar: each call
// redraws the bar on Windows, whether or not anything changed.
UINT MrwTestScrollBarSetCalls(HWND hWnd, int nBar);

// How many of those calls asked for the bar to be redrawn.
UINT MrwTestScrollBarRedraws(HWND hWnd, int nBar);

// The caret: its owner (NULL when there is none), size and whether it is
// shown (created and shown as often as hidden).
HWND MrwTestCaretOwner(void);
BOOL MrwTestCaretShown(void);
SIZE MrwTestCaretSize(void);
// How many carets CreateCaret has made so far.
UINT MrwTestCaretCreations(void);

}  // extern "C"
