// Contracts between the parts of the Win32 stand-in: window manager (user)
// and graphics (gdi) need a little of each other. Not for product code.
#pragma once

#include <windows.h>

#include <string>

// Provided by the window manager.
bool MrwUserGetClientSize(HWND hWnd, int* pcx, int* pcy);  // false: not a window
bool MrwUserIsWindow(HWND hWnd);

// Provided by graphics. Every window has a pixel surface the size of its
// client area that its DCs draw on, so tests and screenshots can read it.
HDC MrwGdiCreateWindowDC(HWND hWnd);  // NULL window: the screen
void MrwGdiDeleteWindowDC(HDC hdc);
void MrwGdiWindowResized(HWND hWnd, int cx, int cy);
void MrwGdiWindowDestroyed(HWND hWnd);
HBRUSH MrwGdiCreatePermanentBrush(COLORREF color);  // DeleteObject ignores it

// Provided by the input method manager.
// The result string of a window's input context in code-page bytes; false
// when the window has no context.
bool MrwImmGetResultString(HWND hWnd, std::string* pResult);
void MrwImmResetContexts();
