// Moving several windows in one batch, the scroll-bar control class and the
// system version number, in the Win32 stand-in.
#pragma once

#include "win32_types.h"

extern "C" {

// Styles of the "SCROLLBAR" control class.
#define SBS_HORZ 0x0000L
#define SBS_VERT 0x0001L
#define SBS_SIZEBOX 0x0008L
#define SBS_SIZEGRIP 0x0010L

// A batch of window moves, applied together by EndDeferWindowPos.
MIREL_DECLARE_HANDLE(HDWP);

HDWP WINAPI BeginDeferWindowPos(int nNumWindows);
// The batch, possibly a new handle; NULL when the move cannot be taken (the
// whole batch is then dropped).
HDWP WINAPI DeferWindowPos(HDWP hWinPosInfo, HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy,
                           UINT uFlags);
BOOL WINAPI EndDeferWindowPos(HDWP hWinPosInfo);

// The low byte holds the major version, the next byte the minor version,
// the high word the build number (bit 31 clear on the NT line).
DWORD WINAPI GetVersion(void);

}  // extern "C"
