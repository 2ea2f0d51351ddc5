// Scroll bars and the caret of the Win32 stand-in's window manager.
//
// The stand-in is headless: a window's own scroll bars take no room from its
// client area and are never drawn; their state (range, page, position,
// visibility, enabled arrows) is kept so that a window can set and read it.
// A scroll-bar control (SB_CTL) is any window whose bar state is set with
// SB_CTL. The caret is one per thread, as in Windows.
#pragma once

#include "win32_types.h"

extern "C" {

typedef struct tagSCROLLINFO {
  UINT cbSize;
  UINT fMask;
  int nMin;
  int nMax;
  UINT nPage;
  int nPos;
  int nTrackPos;
} SCROLLINFO, *LPSCROLLINFO;
typedef const SCROLLINFO* LPCSCROLLINFO;

// SCROLLINFO::fMask
#define SIF_RANGE 0x0001
#define SIF_PAGE 0x0002
#define SIF_POS 0x0004
#define SIF_DISABLENOSCROLL 0x0008
#define SIF_TRACKPOS 0x0010
#define SIF_ALL (SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS)

// EnableScrollBar
#define ESB_ENABLE_BOTH 0x0000
#define ESB_DISABLE_BOTH 0x0003
#define ESB_DISABLE_LEFT 0x0001
#define ESB_DISABLE_RIGHT 0x0002
#define ESB_DISABLE_UP 0x0001
#define ESB_DISABLE_DOWN 0x0002
#define ESB_DISABLE_LTUP ESB_DISABLE_LEFT
#define ESB_DISABLE_RTDN ESB_DISABLE_RIGHT

// Scroll bars
int WINAPI SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw);
BOOL WINAPI GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi);
int WINAPI SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw);
int WINAPI GetScrollPos(HWND hWnd, int nBar);
BOOL WINAPI SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw);
BOOL WINAPI GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos);
BOOL WINAPI ShowScrollBar(HWND hWnd, int wBar, BOOL bShow);
BOOL WINAPI EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows);

// How a bar is drawn: its rectangle (screen), arrow size, thumb span and the
// state of the bar (rgstate[0]) and its parts.
#define CCHILDREN_SCROLLBAR 5
typedef struct tagSCROLLBARINFO {
  DWORD cbSize;
  RECT rcScrollBar;
  int dxyLineButton;
  int xyThumbTop;
  int xyThumbBottom;
  int reserved;
  DWORD rgstate[CCHILDREN_SCROLLBAR + 1];
} SCROLLBARINFO, *PSCROLLBARINFO, *LPSCROLLBARINFO;
#define OBJID_HSCROLL ((LONG)0xFFFFFFFA)
#define OBJID_VSCROLL ((LONG)0xFFFFFFFB)
#define OBJID_CLIENT ((LONG)0xFFFFFFFC)
#define STATE_SYSTEM_UNAVAILABLE 0x00000001
#define STATE_SYSTEM_INVISIBLE 0x00008000
#define STATE_SYSTEM_OFFSCREEN 0x00010000
// Style of a scroll-bar control: vertical rather than horizontal.
#define SBS_VERT 0x0001L
BOOL WINAPI GetScrollBarInfo(HWND hwnd, LONG idObject, PSCROLLBARINFO psbi);

// Caret
BOOL WINAPI CreateCaret(HWND hWnd, HBITMAP hBitmap, int nWidth, int nHeight);
BOOL WINAPI DestroyCaret(void);
BOOL WINAPI SetCaretPos(int X, int Y);
BOOL WINAPI GetCaretPos(LPPOINT lpPoint);
BOOL WINAPI ShowCaret(HWND hWnd);
BOOL WINAPI HideCaret(HWND hWnd);
UINT WINAPI GetCaretBlinkTime(void);
BOOL WINAPI SetCaretBlinkTime(UINT uMSeconds);

// Windows of a thread that hold the input state, and its caret: its window
// and rectangle (client coordinates); GUI_CARETBLINKING while it is shown.
typedef struct tagGUITHREADINFO {
  DWORD cbSize;
  DWORD flags;
  HWND hwndActive;
  HWND hwndFocus;
  HWND hwndCapture;
  HWND hwndMenuOwner;
  HWND hwndMoveSize;
  HWND hwndCaret;
  RECT rcCaret;
} GUITHREADINFO, *PGUITHREADINFO, *LPGUITHREADINFO;
#define GUI_CARETBLINKING 0x00000001
BOOL WINAPI GetGUIThreadInfo(DWORD idThread, PGUITHREADINFO pgui);

}  // extern "C"
