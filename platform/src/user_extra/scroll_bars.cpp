// Scroll-bar state of windows (SB_HORZ, SB_VERT) and scroll-bar controls
// (SB_CTL). Nothing is drawn; what a program sets is kept and reported back
// as Windows does: the page is clamped to the range and the position to the
// range less the page.
#include <hooks_user_extra.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <utility>

#include "internal.h"

namespace {

struct ScrollBar {
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  UINT nSetCalls = 0;  // SetScrollInfo and SetScrollPos calls, for tests
  UINT nRedraws = 0;   // those of them that asked for a redraw
  int nTrackPos = 0;
  UINT disabledArrows = 0;
};

using Key = std::pair<HWND, int>;

std::map<Key, ScrollBar>& Bars() {
  static std::map<Key, ScrollBar> bars;
  return bars;
}

// State of a live window's bar; the state of windows that are gone is
// dropped on the way.
ScrollBar* FindBar(HWND hWnd, int nBar, bool create) {
  auto& bars = Bars();
  for (auto it = bars.begin(); it != bars.end();) {
    it = MrwUserIsWindow(it->first.first) ? std::next(it) : bars.erase(it);
  }
  if (!MrwUserIsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (nBar != SB_HORZ && nBar != SB_VERT && nBar != SB_CTL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto it = bars.find({hWnd, nBar});
  if (it != bars.end()) return &it->second;
  if (!create) return nullptr;
  return &bars[{hWnd, nBar}];
}

LONG StyleBit(int nBar) {
  return nBar == SB_HORZ ? static_cast<LONG>(WS_HSCROLL) : static_cast<LONG>(WS_VSCROLL);
}

void SetStyleBit(HWND hWnd, int nBar, bool bOn) {
  if (nBar != SB_HORZ && nBar != SB_VERT) return;
  const LONG lStyle = GetWindowLongA(hWnd, GWL_STYLE);
  const LONG lNew = bOn ? (lStyle | StyleBit(nBar)) : (lStyle & ~StyleBit(nBar));
  if (lNew != lStyle) SetWindowLongA(hWnd, GWL_STYLE, lNew);
}

long long RangeSpan(const ScrollBar& b) {
  return static_cast<long long>(b.nMax) - b.nMin + 1;
}

void Normalise(ScrollBar* b) {
  const long long span = std::max(0LL, RangeSpan(*b));
  if (static_cast<long long>(b->nPage) > span) b->nPage = static_cast<UINT>(span);
  const long long pageLess = b->nPage > 0 ? static_cast<long long>(b->nPage) - 1 : 0;
  const long long hi = std::max<long long>(b->nMin, b->nMax - pageLess);
  b->nPos = static_cast<int>(std::clamp<long long>(b->nPos, b->nMin, hi));
}

}  // namespace

extern "C" {

int WINAPI SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw) {
  if (lpsi == nullptr || (lpsi->cbSize != sizeof(SCROLLINFO) && lpsi->cbSize != sizeof(SCROLLINFO) - 4)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  ScrollBar* b = FindBar(hwnd, nBar, true);
  if (b == nullptr) return 0;
  ++b->nSetCalls;
  if (redraw) ++b->nRedraws;
  if (lpsi->fMask & SIF_RANGE) {
    b->nMin = lpsi->nMin;
    b->nMax = std::max(lpsi->nMin, lpsi->nMax);
  }
  if (lpsi->fMask & SIF_PAGE) b->nPage = lpsi->nPage;
  if (lpsi->fMask & SIF_POS) b->nPos = lpsi->nPos;
  Normalise(b);
  if (lpsi->fMask & SIF_POS) b->nTrackPos = b->nPos;
  // A window's own bar appears when there is something to scroll and goes
  // away otherwise, unless the caller asked to keep it (disabled).
  if (lpsi->fMask & (SIF_RANGE | SIF_PAGE)) {
    const bool bScrollable = RangeSpan(*b) > static_cast<long long>(std::max<UINT>(b->nPage, 1)) ||
                             (b->nPage == 0 && b->nMax > b->nMin);
    if (bScrollable) {
      SetStyleBit(hwnd, nBar, true);
    } else if (lpsi->fMask & SIF_DISABLENOSCROLL) {
      SetStyleBit(hwnd, nBar, true);
    } else {
      SetStyleBit(hwnd, nBar, false);
    }
  }
  return b->nPos;
}

BOOL WINAPI GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi) {
  if (lpsi == nullptr || (lpsi->fMask & SIF_ALL) == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ScrollBar* b = FindBar(hwnd, nBar, false);
  if (b == nullptr) {
    // A window bar that exists by style but was never set reports zeros.
    if (!MrwUserIsWindow(hwnd) || nBar == SB_CTL || (nBar != SB_HORZ && nBar != SB_VERT)) return FALSE;
    if ((GetWindowLongA(hwnd, GWL_STYLE) & StyleBit(nBar)) == 0) return FALSE;
    b = FindBar(hwnd, nBar, true);
    if (b == nullptr) return FALSE;
  }
  if (lpsi->fMask & SIF_RANGE) {
    lpsi->nMin = b->nMin;
    lpsi->nMax = b->nMax;
  }
  if (lpsi->fMask & SIF_PAGE) lpsi->nPage = b->nPage;
  if (lpsi->fMask & SIF_POS) lpsi->nPos = b->nPos;
  if (lpsi->fMask & SIF_TRACKPOS) lpsi->nTrackPos = b->nTrackPos;
  return TRUE;
}

int WINAPI SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
  ScrollBar* b = FindBar(hWnd, nBar, true);
  if (b == nullptr) return 0;
  ++b->nSetCalls;
  if (bRedraw) ++b->nRedraws;
  const int nOld = b->nPos;
  b->nPos = nPos;
  Normalise(b);
  b->nTrackPos = b->nPos;
  return nOld;
}

int WINAPI GetScrollPos(HWND hWnd, int nBar) {
  ScrollBar* b = FindBar(hWnd, nBar, false);
  return b != nullptr ? b->nPos : 0;
}

BOOL WINAPI SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE;
  si.nMin = nMinPos;
  si.nMax = nMaxPos;
  if (FindBar(hWnd, nBar, false) == nullptr && !MrwUserIsWindow(hWnd)) return FALSE;
  SetScrollInfo(hWnd, nBar, &si, bRedraw);
  return FindBar(hWnd, nBar, false) != nullptr;
}

BOOL WINAPI GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos) {
  if (lpMinPos == nullptr || lpMaxPos == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ScrollBar* b = FindBar(hWnd, nBar, false);
  *lpMinPos = b != nullptr ? b->nMin : 0;
  *lpMaxPos = b != nullptr ? b->nMax : 0;
  return MrwUserIsWindow(hWnd) ? TRUE : FALSE;
}

BOOL WINAPI ShowScrollBar(HWND hWnd, int wBar, BOOL bShow) {
  if (!MrwUserIsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (wBar == SB_CTL) {
    ShowWindow(hWnd, bShow ? SW_SHOW : SW_HIDE);
    return TRUE;
  }
  if (wBar == SB_HORZ || wBar == SB_BOTH) SetStyleBit(hWnd, SB_HORZ, bShow != FALSE);
  if (wBar == SB_VERT || wBar == SB_BOTH) SetStyleBit(hWnd, SB_VERT, bShow != FALSE);
  return wBar >= SB_HORZ && wBar <= SB_BOTH ? TRUE : FALSE;
}

BOOL WINAPI EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows) {
  const int nBar = static_cast<int>(wSBflags);
  if (nBar == SB_BOTH) {
    const BOOL bH = EnableScrollBar(hWnd, SB_HORZ, wArrows);
    const BOOL bV = EnableScrollBar(hWnd, SB_VERT, wArrows);
    return bH || bV;
  }
  ScrollBar* b = FindBar(hWnd, nBar, true);
  if (b == nullptr) return FALSE;
  const UINT nNew = wArrows & ESB_DISABLE_BOTH;
  // Windows answers FALSE when the arrows already were in the asked state.
  if (b->disabledArrows == nNew) return FALSE;
  b->disabledArrows = nNew;
  return TRUE;
}

BOOL WINAPI GetScrollBarInfo(HWND hwnd, LONG idObject, PSCROLLBARINFO psbi) {
  if (psbi == nullptr || psbi->cbSize != sizeof(SCROLLBARINFO)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const int nBar = idObject == OBJID_HSCROLL   ? SB_HORZ
                   : idObject == OBJID_VSCROLL ? SB_VERT
                   : idObject == OBJID_CLIENT  ? SB_CTL
                                               : -1;
  if (nBar < 0 || !MrwUserIsWindow(hwnd)) {
    SetLastError(nBar < 0 ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const ScrollBar* pBar = FindBar(hwnd, nBar, false);
  const ScrollBar b = pBar != nullptr ? *pBar : ScrollBar{};
  const LONG lStyle = GetWindowLongA(hwnd, GWL_STYLE);
  RECT rc{};
  GetWindowRect(hwnd, &rc);
  const bool bVertical = nBar == SB_VERT || (nBar == SB_CTL && (lStyle & SBS_VERT) != 0);
  // A window's bars lie along its bottom and right edges, the horizontal one
  // stopping short of the vertical one.
  if (nBar == SB_HORZ) {
    rc.top = rc.bottom - GetSystemMetrics(SM_CYHSCROLL);
    if (lStyle & WS_VSCROLL) rc.right -= GetSystemMetrics(SM_CXVSCROLL);
  } else if (nBar == SB_VERT) {
    rc.left = rc.right - GetSystemMetrics(SM_CXVSCROLL);
    if (lStyle & WS_HSCROLL) rc.bottom -= GetSystemMetrics(SM_CYHSCROLL);
  }
  *psbi = SCROLLBARINFO{};
  psbi->cbSize = sizeof(SCROLLBARINFO);
  psbi->rcScrollBar = rc;
  const long long nLength = bVertical ? rc.bottom - rc.top : rc.right - rc.left;
  const long long nArrow = std::min<long long>(
      bVertical ? GetSystemMetrics(SM_CYVSCROLL) : GetSystemMetrics(SM_CXHSCROLL), nLength / 2);
  psbi->dxyLineButton = static_cast<int>(nArrow);
  // The thumb is as long against the track as the page against the range
  // (never shorter than a minimum) and slides over what the page leaves.
  const long long nTrack = std::max(0LL, nLength - 2 * nArrow);
  const long long nSpan = std::max(1LL, RangeSpan(b));
  const long long nPage = std::max<long long>(b.nPage, 1);
  const bool bScrollable = nSpan > nPage;
  if (bScrollable && nTrack > 0) {
    constexpr long long kMinThumb = 8;
    const long long nThumb = b.nPage > 0
                                 ? std::clamp(nTrack * b.nPage / nSpan, std::min(kMinThumb, nTrack), nTrack)
                                 : std::min(nArrow, nTrack);
    const long long nTop =
        nArrow + (nTrack - nThumb) * (static_cast<long long>(b.nPos) - b.nMin) / (nSpan - nPage);
    psbi->xyThumbTop = static_cast<int>(nTop);
    psbi->xyThumbBottom = static_cast<int>(nTop + nThumb);
  }
  const bool bShown = nBar == SB_CTL || (lStyle & StyleBit(nBar)) != 0;
  if (!bShown) psbi->rgstate[0] |= STATE_SYSTEM_INVISIBLE;
  if (!bScrollable || b.disabledArrows == ESB_DISABLE_BOTH) psbi->rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
  if (b.disabledArrows & ESB_DISABLE_LTUP) psbi->rgstate[1] |= STATE_SYSTEM_UNAVAILABLE;
  if (b.disabledArrows & ESB_DISABLE_RTDN) psbi->rgstate[5] |= STATE_SYSTEM_UNAVAILABLE;
  return TRUE;
}

void MrwTestSetScrollTrackPos(HWND hWnd, int nBar, int nTrackPos) {
  ScrollBar* b = FindBar(hWnd, nBar, true);
  if (b != nullptr) b->nTrackPos = nTrackPos;
}

UINT MrwTestScrollBarDisabledArrows(HWND hWnd, int nBar) {
  ScrollBar* b = FindBar(hWnd, nBar, false);
  return b != nullptr ? b->disabledArrows : 0;
}

UINT MrwTestScrollBarSetCalls(HWND hWnd, int nBar) {
  ScrollBar* b = FindBar(hWnd, nBar, false);
  return b != nullptr ? b->nSetCalls : 0;
}

UINT MrwTestScrollBarRedraws(HWND hWnd, int nBar) {
  ScrollBar* b = FindBar(hWnd, nBar, false);
  return b != nullptr ? b->nRedraws : 0;
}

}  // extern "C"
