// Scroll bar updates that skip a bar already showing what is asked.
#include "mirel/mrscrollbar.h"

#include <algorithm>
#include <iterator>

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

bool HasSomethingToScroll(const SCROLLINFO& si) {
  const long long span = static_cast<long long>(si.nMax) - si.nMin + 1;
  return span > static_cast<long long>(std::max<UINT>(si.nPage, 1));
}

// What decides the pixels of a bar: where it is, its arrows, its thumb and
// the enabled state of each part.
bool GetBarLooks(HWND hWnd, int nBar, SCROLLBARINFO* pInfo) {
  *pInfo = SCROLLBARINFO{};
  pInfo->cbSize = sizeof(SCROLLBARINFO);
  const LONG idObject = nBar == SB_HORZ ? OBJID_HSCROLL : nBar == SB_VERT ? OBJID_VSCROLL : OBJID_CLIENT;
  return GetScrollBarInfo(hWnd, idObject, pInfo) != FALSE;
}

bool LookAlike(const SCROLLBARINFO& a, const SCROLLBARINFO& b) {
  if (!EqualRect(&a.rcScrollBar, &b.rcScrollBar) || a.dxyLineButton != b.dxyLineButton ||
      a.xyThumbTop != b.xyThumbTop || a.xyThumbBottom != b.xyThumbBottom)
    return false;
  return std::equal(std::begin(a.rgstate), std::end(a.rgstate), std::begin(b.rgstate));
}

// Moves a shown, enabled bar that keeps something to scroll to new values
// without redrawing it when its thumb stays on the same pixels (a page in a
// long document moves the thumb by less than one): the redraw would paint
// what is on the screen already. When the thumb does move, the bar goes back
// to its old values and is set with a redraw, exactly as without the test.
// Set(bRedraw) sets the new values, quietly or with a redraw.
template <typename Set>
void SetRedrawingOnlyWhenSeen(HWND hWnd, int nBar, const SCROLLINFO& current, const SCROLLINFO& want,
                              Set set) {
  SCROLLBARINFO before;
  const bool bQuietPossible = BarIsShown(hWnd, nBar) && HasSomethingToScroll(current) &&
                              HasSomethingToScroll(want) && GetBarLooks(hWnd, nBar, &before) &&
                              (before.rgstate[0] & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE)) == 0;
  if (bQuietPossible) {
    set(FALSE);
    SCROLLBARINFO after;
    if (GetBarLooks(hWnd, nBar, &after) && LookAlike(before, after)) return;
    SCROLLINFO old = current;
    old.cbSize = sizeof(old);
    old.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    SetScrollInfo(hWnd, nBar, &old, FALSE);
  }
  set(TRUE);
}

}  // namespace

BOOL MrSetScrollInfo(HWND hWnd, int nBar, const SCROLLINFO& si) {
  SCROLLINFO current{};
  current.cbSize = sizeof(current);
  current.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  // A bar that keeps itself when there is nothing to scroll must be shown;
  // one that hides itself then may be either, so only a match of every value
  // with the bar shown counts as unchanged.
  if (!GetScrollInfo(hWnd, nBar, &current)) {
    SetScrollInfo(hWnd, nBar, &si, TRUE);
    return TRUE;
  }
  const SCROLLINFO want = AsTheBarWouldHoldIt(current, si);
  if (BarIsShown(hWnd, nBar) && want.nMin == current.nMin && want.nMax == current.nMax &&
      want.nPage == current.nPage && want.nPos == current.nPos)
    return FALSE;
  SetRedrawingOnlyWhenSeen(hWnd, nBar, current, want,
                           [&](BOOL bRedraw) { SetScrollInfo(hWnd, nBar, &si, bRedraw); });
  return TRUE;
}

void MrSetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
  SCROLLINFO current{};
  current.cbSize = sizeof(current);
  current.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (!GetScrollInfo(hWnd, nBar, &current)) {
    SetScrollPos(hWnd, nBar, nPos, TRUE);
    return;
  }
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS;
  si.nPos = nPos;
  const SCROLLINFO want = AsTheBarWouldHoldIt(current, si);
  if (want.nPos == current.nPos) return;
  if (!bRedraw) {
    SetScrollPos(hWnd, nBar, nPos, FALSE);
    return;
  }
  SetRedrawingOnlyWhenSeen(hWnd, nBar, current, want, [&](BOOL bRedraw) {
    if (bRedraw) {
      SetScrollPos(hWnd, nBar, nPos, TRUE);
    } else {
      SetScrollInfo(hWnd, nBar, &si, FALSE);
    }
  });
}
