// Test hooks for popup menus, built cursors and the shell call of the Win32
// stand-in (non-Windows builds only).
#pragma once

#include "win32_types.h"

extern "C" {

// The command the next TrackPopupMenu answers with (once); 0 dismisses the
// menu. A command that is greyed, disabled or not in the menu is not chosen.
void MrwTestChooseMenuCommand(UINT nID);

// One item of the menu most recently tracked: its identifier (0 for a
// separator), its flags and its text.
typedef struct tagMRW_MENU_ITEM {
  UINT nID;
  UINT uFlags;
  char szText[128];
} MRW_MENU_ITEM;

// Number of TrackPopupMenu calls, and what the last one showed: its items
// (FALSE past the end), its screen position, flags and owner.
int MrwTestMenuTrackCount(void);
int MrwTestLastMenuItemCount(void);
BOOL MrwTestLastMenuItem(int nIndex, MRW_MENU_ITEM* pItem);
POINT MrwTestLastMenuPos(void);
UINT MrwTestLastMenuFlags(void);
HWND MrwTestLastMenuOwner(void);
// Menus made and not yet destroyed.
int MrwTestLiveMenuCount(void);
void MrwTestResetMenus(void);

// Cursors made by CreateCursor and not yet destroyed; the hot spot, size and
// planes of one (FALSE for a handle CreateCursor did not make). The planes
// are copied into the buffers (each nCapacity bytes) when given.
int MrwTestLiveCursorCount(void);
int MrwTestCreateCursorCount(void);
BOOL MrwTestCursorInfo(HCURSOR hCursor, POINT* pHotSpot, SIZE* pSize, BYTE* pAnd, BYTE* pXor, int nCapacity);

// ShellExecuteA calls: their number and the last one's verb, file and show
// command.
int MrwTestShellExecuteCount(void);
const char* MrwTestLastShellExecuteVerb(void);
const char* MrwTestLastShellExecuteFile(void);
int MrwTestLastShellExecuteShow(void);
void MrwTestResetShellExecute(void);

}  // extern "C"
