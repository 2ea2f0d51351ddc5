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
  (void)redraw;
  if (lpsi == nullptr || (lpsi->cbSize != sizeof(SCROLLINFO) && lpsi->cbSize != sizeof(SCROLLINFO) - 4)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  ScrollBar* b = FindBar(hwnd, nBar, true);
  if (b == nullptr) return 0;
  ++b->nSetCalls;
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
  (void)bRedraw;
  ScrollBar* b = FindBar(hWnd, nBar, true);
  if (b == nullptr) return 0;
  ++b->nSetCalls;
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

}  // extern "C"
