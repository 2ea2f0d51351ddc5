// Scroll bar updates that leave a bar alone when it already shows what is
// asked: each set redraws the bar, which costs milliseconds on some systems,
// and most edits change neither range, page nor position. A bar whose thumb
// would stay on the same pixels takes its new values without a redraw.
#pragma once

#include <windows.h>

// SetScrollInfo (nBar SB_CTL for a bar control) unless the bar holds the same
// range, page and position already and, for a window's own bar, is shown.
// Returns TRUE when the bar was set.
BOOL MrSetScrollInfo(HWND hWnd, int nBar, const SCROLLINFO& si);

// SetScrollPos unless the bar is at that position already.
void MrSetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw = TRUE);
