// Scroll bar updates that skip a bar already showing what is asked.
#include "mirel/mrscrollbar.h"

#include <algorithm>

namespace {

// What a bar holds after SetScrollInfo with si: the page is cut to the range
// and the position kept where a whole page still fits.
SCROLLINFO AsTheBarWouldHoldIt(const SCROLLINFO& current, const SCROLLINFO& si) {
  SCROLLINFO want = current;
  if (si.fMask & SIF_RANGE) {
    want.nMin = si.nMin;
    want.nMax = std::max(si.nMin, si.nMax);
  }
  if (si.fMask & SIF_PAGE) want.nPage = si.nPage;
  if (si.fMask & SIF_POS) want.nPos = si.nPos;
  const long long span = std::max(0LL, static_cast<long long>(want.nMax) - want.nMin + 1);
  if (static_cast<long long>(want.nPage) > span) want.nPage = static_cast<UINT>(span);
  const long long pageLess = want.nPage > 0 ? static_cast<long long>(want.nPage) - 1 : 0;
  const long long hi = std::max<long long>(want.nMin, want.nMax - pageLess);
  want.nPos = static_cast<int>(std::clamp<long long>(want.nPos, want.nMin, hi));
  return want;
}

BOOL BarIsShown(HWND hWnd, int nBar) {
  if (nBar == SB_CTL) return TRUE;
  const LONG lStyle = GetWindowLongA(hWnd, GWL_STYLE);
  const LONG lBit = nBar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
  return (lStyle & lBit) != 0;
}

}  // namespace

BOOL MrSetScrollInfo(HWND hWnd, int nBar, const SCROLLINFO& si) {
  SCROLLINFO current{};
  current.cbSize = sizeof(current);
  current.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  // A bar that keeps itself when there is nothing to scroll must be shown;
  // one that hides itself then may be either, so only a match of every value
  // with the bar shown counts as unchanged.
  if (GetScrollInfo(hWnd, nBar, &current) && BarIsShown(hWnd, nBar)) {
    const SCROLLINFO want = AsTheBarWouldHoldIt(current, si);
    if (want.nMin == current.nMin && want.nMax == current.nMax && want.nPage == current.nPage &&
        want.nPos == current.nPos)
      return FALSE;
  }
  SetScrollInfo(hWnd, nBar, &si, TRUE);
  return TRUE;
}

void MrSetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
  SCROLLINFO current{};
  current.cbSize = sizeof(current);
  current.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (GetScrollInfo(hWnd, nBar, &current)) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    si.nPos = nPos;
    if (AsTheBarWouldHoldIt(current, si).nPos == current.nPos) return;
  }
  SetScrollPos(hWnd, nBar, nPos, bRedraw);
}
