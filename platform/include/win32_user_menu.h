// Popup menus, cursors built from bit planes and moving the pointer, in the
// Win32 stand-in's window manager.
//
// The stand-in is headless: a popup menu is never shown. TrackPopupMenu
// answers with the command a test chose in advance (hooks_user_menu.h) and
// sends nothing when no choice was made, as if the user dismissed the menu.
#pragma once

#include "win32_types.h"

extern "C" {

#ifndef ERROR_INVALID_CURSOR_HANDLE
#define ERROR_INVALID_CURSOR_HANDLE 1402L
#endif

// AppendMenuA, EnableMenuItem, CheckMenuItem, GetMenuState
#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_STRING 0x00000000L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_POPUP 0x00000010L
#define MF_SEPARATOR 0x00000800L

// TrackPopupMenu
#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_LEFTALIGN 0x0000L
#define TPM_TOPALIGN 0x0000L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L

HMENU WINAPI CreatePopupMenu(void);
BOOL WINAPI DestroyMenu(HMENU hMenu);
BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
// The previous state (MF_GRAYED, MF_DISABLED bits), -1 when there is no such item.
BOOL WINAPI EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);
// The previous check state (MF_CHECKED or MF_UNCHECKED), -1 when there is no such item.
DWORD WINAPI CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);
// The item's flags, -1 when there is no such item.
UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags);
int WINAPI GetMenuItemCount(HMENU hMenu);
UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos);
int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags);
BOOL WINAPI TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd,
                           const RECT* prcRect);

// Cursors made from an AND and an XOR plane, one bit per pixel, rows padded
// to 16 bits, top row first.
HCURSOR WINAPI CreateCursor(HINSTANCE hInst, int xHotSpot, int yHotSpot, int nWidth, int nHeight,
                            const VOID* pvANDPlane, const VOID* pvXORPlane);
BOOL WINAPI DestroyCursor(HCURSOR hCursor);
BOOL WINAPI SetCursorPos(int X, int Y);

#define GetMenuString GetMenuStringA
#define AppendMenu AppendMenuA

}  // extern "C"
