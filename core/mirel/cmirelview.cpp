// The steps of painting, scrolling and repaint requests that the text view
// and the hex view share: row geometry, the pending-repaint record, the row
// under a point, bringing a row into view, vertical scrolling, the vertical
// scroll bar, resizing, auto-scroll during a drag, and keeping and placing
// the caret.
#include "mirel/cmirelview.h"

#include <imm.h>

#include <algorithm>
#include <climits>

#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/mirel.h"
#include "mirel/mrbackbuffer.h"
#include "mirel/mrscrollbar.h"
#include "mirel/mrviewdraw.h"

namespace {

using MrViewDraw::ClampToInt;

// Auto-scroll: a pointer up to this far beyond the text area scrolls fast.
constexpr int kAutoScrollNearBand = 50;
constexpr UINT kAutoScrollFastPeriod = 100;
constexpr UINT kAutoScrollSlowPeriod = 500;

// Debug traces when the caret forces a vertical scroll ("must scroll up" /
// "must scroll down"), in code page 949.
constexpr char kScrollUpTrace[] =
    "\xC0\xA7\xC2\xCA\xC0\xB8\xB7\xCE \xBD\xBA\xC5\xA9\xB7\xD1 \xB5\xC7\xBE\xDF\xC7\xCF\xB4\xC2 "
    "\xB0\xE6\xBF\xEC\n";
constexpr char kScrollDownTrace[] =
    "\xBE\xC6\xB7\xA1\xC2\xCA\xC0\xB8\xB7\xCE \xBD\xBA\xC5\xA9\xB7\xD1 \xB5\xC7\xBE\xDF\xC7\xCF\xB4\xC2 "
    "\xB0\xE6\xBF\xEC\n";

}  // namespace

int CMirelView::GetRowHeight() const {
  if (pdoc == nullptr) return 1;
  const int h = nViewType == MIREL_VIEW_TYPE_HEX ? pdoc->nHexLineHeight : pdoc->nLineHeight;
  return std::max(h, 1);
}

int CMirelView::GetRowCount() const {
  if (pdoc == nullptr || pdoc->pLines == nullptr) return 0;
  if (nViewType == MIREL_VIEW_TYPE_HEX) return std::max(pdoc->GetHexLineCount(), 0);
  return std::max(pdoc->nLineCount, 0);
}

int CMirelView::GetRowOfPos(DWORD nPos) const {
  if (pdoc == nullptr || pdoc->pLines == nullptr) return 0;
  return nViewType == MIREL_VIEW_TYPE_HEX ? pdoc->GetHexLineFromPos(nPos) : pdoc->GetLineFromPos(nPos);
}

int CMirelView::GetWholeRowsBelowRuler() const {
  if (pMirel == nullptr || pdoc == nullptr) return 0;
  const long long height = static_cast<long long>(pMirel->rcEdit.bottom) - pdoc->nRulerHeight;
  return height > 0 ? ClampToInt(height / GetRowHeight()) : 0;
}

void CMirelView::RecordRepaint(int nTag, DWORD nFrom, DWORD nTo, BOOL bKeepRanges) {
  if (pMirel == nullptr || !pMirel->bRedraw) return;
  const bool bKnownTag = nTag >= REPAINT_TAG_RECORD && nTag <= REPAINT_TAG_RULER;
  if (!bKnownTag && pMirel->nRepaintTag == REPAINT_TAG_NONE) return;
  const int nTop = pMirel->nTopLine;
  const int nPageEnd = ClampToInt(static_cast<long long>(nTop) + GetPageLineCount() + 1);
  const int nLast = GetRowCount() - 1;
  int nRecord = REPAINT_TAG_ALL;
  int nFirst = nTop;
  int nEnd = std::min(nPageEnd, nLast);
  if (bKeepRanges && bKnownTag && pMirel->nRepaintTag == REPAINT_TAG_NONE) {
    nRecord = nTag;
    if (nTag == REPAINT_TAG_FROM) {
      nFirst = GetRowOfPos(nFrom);
    } else if (nTag == REPAINT_TAG_RANGE) {
      // A reversed range still names the rows between its ends.
      nFirst = std::min(GetRowOfPos(nFrom), GetRowOfPos(nTo));
      nEnd = std::max(GetRowOfPos(nFrom), GetRowOfPos(nTo));
    } else if (nTag == REPAINT_TAG_RULER) {
      nFirst = pMirel->nDirtyFirst;
      nEnd = pMirel->nDirtyLast;
    }
  }
  pMirel->nDirtyFirst = nFirst;
  pMirel->nDirtyLast = nEnd;
  pMirel->nRepaintTag = nRecord;
  // The views paint every pixel: no erase.
  if (nRecord != REPAINT_TAG_RECORD && pMirel->hWndEdit != nullptr)
    InvalidateRect(pMirel->hWndEdit, &pMirel->rcEdit, FALSE);
}

UINT CMirelView::RowFromY(int y) const {
  if (pMirel == nullptr || pdoc == nullptr) return 0;
  const int nTop = std::max(pMirel->nTopLine, 0);
  const long long below = static_cast<long long>(y) - pdoc->nRulerHeight;
  if (below < 0) return static_cast<UINT>(nTop);
  const long long row = nTop + below / GetRowHeight();
  const long long last = std::max(GetRowCount() - 1, 0);
  return static_cast<UINT>(std::min(row, last));
}

BOOL CMirelView::FindTopLineToShow(UINT nLine, int nMode, UINT* pTop) const {
  if (pMirel == nullptr || pdoc == nullptr) return FALSE;
  const long long h = GetRowHeight();
  const long long height = static_cast<long long>(pMirel->rcEdit.bottom) - pdoc->nRulerHeight;
  const long long nTop = std::max(pMirel->nTopLine, 0);
  const long long nRows = GetRowCount();
  // The last row that shows, even in part.
  long long nLastVisible = nTop;
  long long sum = 0;
  for (long long r = nTop; r < nRows; ++r) {
    nLastVisible = r;
    sum += h;
    if (sum >= height) break;
  }
  if (nTop <= nLine && nLine <= nLastVisible) return TRUE;
  if (pTop == nullptr) return FALSE;
  long long nNewTop;
  if (nMode == 1) {
    // The row becomes the last fully visible one.
    const long long nFullRows = std::max<long long>(height / h, 1);
    nNewTop = static_cast<long long>(nLine) - (nFullRows - 1);
  } else if (nMode == 2) {
    nNewTop = static_cast<long long>(nLine) - (nLastVisible - nTop) / 2;
  } else {
    nNewTop = static_cast<long long>(nLine) - 1;
  }
  *pTop = static_cast<UINT>(std::clamp<long long>(nNewTop, 0, UINT_MAX));
  return FALSE;
}

void CMirelView::ScrollVertically(UINT nCode) {
  if (pMirel == nullptr || pdoc == nullptr || pMirel->hWndEdit == nullptr) return;
  const long long h = GetRowHeight();
  const long long cur = static_cast<long long>(std::max(pMirel->nTopLine, 0)) * h;
  const long long page = static_cast<long long>(GetWholeRowsBelowRuler()) * h;
  HWND hBar = pMirel->GetScrollBarCtrl(SB_VERT);
  long long want = 0;
  switch (nCode) {
    case SB_LINEUP:
      want = -h;
      break;
    case SB_LINEDOWN:
      want = h;
      break;
    case SB_PAGEUP:
      want = -page;
      break;
    case SB_PAGEDOWN:
      want = page;
      break;
    case SB_THUMBTRACK: {
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_TRACKPOS;
      const BOOL bGot =
          hBar != nullptr ? GetScrollInfo(hBar, SB_CTL, &si) : GetScrollInfo(pMirel->hWndEdit, SB_VERT, &si);
      if (bGot) want = static_cast<long long>(si.nTrackPos) - cur;
      break;
    }
    default:
      break;
  }
  long long d = std::min(want, static_cast<long long>(pdoc->nScrollHeight) - cur - page);
  d = std::max(d, -cur);
  d -= d % h;  // whole rows, towards zero
  if (d == 0) return;
  pMirel->nTopLine = ClampToInt(cur / h + d / h);
  const int nPos = ClampToInt(static_cast<long long>(pMirel->nTopLine) * h);
  if (hBar != nullptr) {
    MrSetScrollPos(hBar, SB_CTL, nPos);
  } else {
    MrSetScrollPos(pMirel->hWndEdit, SB_VERT, nPos);
  }
  UpdateCaret(0, 0);
  Invalidate(REPAINT_TAG_ALL, 0, 0);
}

void CMirelView::SetVerticalScrollBar() {
  if (pMirel == nullptr || pdoc == nullptr || !pMirel->bRedraw || pMirel->hWndEdit == nullptr) return;
  const long long h = GetRowHeight();
  const long long nWholeRows = GetWholeRowsBelowRuler();
  // The document scrolls until its last row is at the top of the page.
  pdoc->nScrollHeight = ClampToInt((nWholeRows + GetRowCount()) * h);
  const long long page = nWholeRows * h;
  if (pdoc->nScrollHeight < page) {
    pMirel->nTopLine = 0;
    Invalidate(REPAINT_TAG_ALL, 0, 0);
  }
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = pdoc->nScrollHeight;
  si.nPage = static_cast<UINT>(std::clamp<long long>(page, 0, INT_MAX));
  si.nPos = ClampToInt(static_cast<long long>(std::max(pMirel->nTopLine, 0)) * h);
  if (HWND hBar = pMirel->GetScrollBarCtrl(SB_VERT)) {
    MrSetScrollInfo(hBar, SB_CTL, si);
  } else {
    MrSetScrollInfo(pMirel->hWndEdit, SB_VERT, si);
  }
}

void CMirelView::ResizeToClient() {
  if (pMirel == nullptr || pMirel->hWndEdit == nullptr) return;
  GetClientRect(pMirel->hWndEdit, &pMirel->rcEdit);
  // The next paint makes a back buffer of the new size.
  if (pMirel->hBackBitmap != nullptr) DeleteObject(pMirel->hBackBitmap);
  pMirel->hBackBitmap = nullptr;
  UpdateScrollBars();
  if (GetFocus() == pMirel->hWndEdit) UpdateCaret(1, 0);
  Invalidate(REPAINT_TAG_ALL, 0, 0);
}

UINT CMirelView::AutoScroll(int y) {
  if (pMirel == nullptr || pdoc == nullptr || pMirel->hWndEdit == nullptr) return 0;
  const long long bottom = pMirel->rcEdit.bottom;
  if (y > bottom) {
    SendMessageA(pMirel->hWndEdit, WM_VSCROLL, SB_LINEDOWN, 0);
    return y - bottom <= kAutoScrollNearBand ? kAutoScrollFastPeriod : kAutoScrollSlowPeriod;
  }
  if (y < pdoc->nRulerHeight) {
    SendMessageA(pMirel->hWndEdit, WM_VSCROLL, SB_LINEUP, 0);
    return -static_cast<long long>(y) > kAutoScrollNearBand ? kAutoScrollSlowPeriod : kAutoScrollFastPeriod;
  }
  return 0;
}

void CMirelView::PaintThroughBackBuffer(HFONT hFont, const RowPainter& paintRow,
                                        const RulerPainter& paintRuler) {
  if (pMirel == nullptr || pMirel->hWndEdit == nullptr) return;
  HWND hWnd = pMirel->hWndEdit;
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hWnd, &ps);
  if (hdc == nullptr) return;
  const RECT& rc = pMirel->rcEdit;
  const CMrBackBufferDC buffer(hdc, &pMirel->hBackBitmap, rc.right, rc.bottom, hFont);
  if (HDC hMemDC = buffer.Get()) {
    const int nTag = pMirel->nRepaintTag;
    const bool bRuler = pdoc != nullptr && pdoc->nRulerHeight > 0 && paintRuler;
    if (nTag != REPAINT_TAG_NONE && bRuler) paintRuler(hMemDC);
    if (nTag != REPAINT_TAG_NONE && nTag != REPAINT_TAG_RULER && pdoc != nullptr) {
      HBRUSH hBack = CreateSolidBrush(pdoc->crBack);
      const long long h = GetRowHeight();
      const int nTop = std::max(pMirel->nTopLine, 0);
      const int nRows = GetRowCount();
      const int nFirst = std::max(pMirel->nDirtyFirst, nTop);
      const int nLast = std::min(pMirel->nDirtyLast, nRows - 1);
      long long y = pdoc->nRulerHeight + (static_cast<long long>(nFirst) - nTop) * h;
      for (int nRow = nFirst; nRow <= nLast && y < rc.bottom; ++nRow, y += h) {
        const RECT rcRow{0, ClampToInt(y), rc.right, ClampToInt(y + h)};
        if (hBack != nullptr) FillRect(hMemDC, &rcRow, hBack);
        if (paintRow) paintRow(hMemDC, nRow, rcRow);
      }
      // Past the document's last row only the background shows.
      const long long yEnd = pdoc->nRulerHeight + (static_cast<long long>(nRows) - nTop) * h;
      if (nLast >= nRows - 1 && yEnd < rc.bottom && hBack != nullptr) {
        const RECT rcBelow{0, ClampToInt(std::max<long long>(yEnd, pdoc->nRulerHeight)), rc.right, rc.bottom};
        FillRect(hMemDC, &rcBelow, hBack);
      }
      if (hBack != nullptr) DeleteObject(hBack);
    }
    BitBlt(hdc, 0, 0, rc.right, rc.bottom, hMemDC, 0, 0, SRCCOPY);
  }
  pMirel->nRepaintTag = REPAINT_TAG_NONE;
  EndPaint(hWnd, &ps);
}

// ---------------------------------------------------------------------------
// Caret

BOOL CMirelView::ScrollRowIntoView(int nRow, int nPageLines) {
  if (nRow < pMirel->nTopLine) {
    MirelTrace(kScrollUpTrace);
    pMirel->nTopLine = nRow;
    return TRUE;
  }
  if (static_cast<long long>(nRow) > static_cast<long long>(pMirel->nTopLine) + nPageLines) {
    MirelTrace(kScrollDownTrace);
    pMirel->nTopLine = std::max(nRow - nPageLines, 0);
    return TRUE;
  }
  return FALSE;
}

int CMirelView::CaretYOfRow(int nRow, int nPageLines, long long nRowHeight, long long yShift) const {
  const long long nRowsBelowTop = static_cast<long long>(nRow) - pMirel->nTopLine;
  if (nRowsBelowTop < 0 || nRowsBelowTop > nPageLines)
    return ClampToInt(-2 * nRowHeight - pdoc->nRulerHeight);
  return ClampToInt(nRowsBelowTop * nRowHeight + pdoc->nRulerHeight + yShift);
}

namespace {

// Whether the window holds the thread's caret, shown and of that size.
bool OwnsShownCaret(HWND hWnd, int nWidth, int nHeight) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetCurrentThreadId(), &info) || info.hwndCaret != hWnd) return false;
  return (info.flags & GUI_CARETBLINKING) != 0 && info.rcCaret.right - info.rcCaret.left == nWidth &&
         info.rcCaret.bottom - info.rcCaret.top == nHeight;
}

}  // namespace

void CMirelView::PlaceSystemCaret(int xClient, int nCaretY, int nWidth, int nHeight, int nLeftEdge) {
  HWND hWnd = pMirel->hWndEdit;
  if (hWnd == nullptr || GetFocus() != hWnd) return;
  const bool bShow = nCaretY >= pdoc->nRulerHeight && xClient >= nLeftEdge;
  // A shown caret of the same size only moves: making it anew costs more
  // than the move and ends up with the same caret at the same place.
  if (!(bShow && pMirel->bCaretVisible && OwnsShownCaret(hWnd, nWidth, nHeight)))
    CreateCaret(hWnd, nullptr, nWidth, nHeight);
  SetCaretPos(xClient, nCaretY);
  if (!bShow) {
    HideCaret(hWnd);
    pMirel->bCaretVisible = 0;
  } else {
    ShowCaret(hWnd);
    pMirel->bCaretVisible = 1;
  }
  // An input method that does not draw at the caret composes in its own
  // window, which follows the caret.
  if ((pdoc->nIMEProperty & IME_PROP_AT_CARET) == 0) {
    HIMC hIMC = ImmGetContext(hWnd);
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos.x = xClient;
    form.ptCurrentPos.y = nCaretY;
    ImmSetCompositionWindow(hIMC, &form);
    ImmReleaseContext(hWnd, hIMC);
  }
}

BOOL CMirelView::GetHScrollTrackPos(int* pnTrack) const {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_TRACKPOS;
  HWND hBar = pMirel->GetScrollBarCtrl(SB_HORZ);
  const BOOL bGot =
      hBar != nullptr ? GetScrollInfo(hBar, SB_CTL, &si) : GetScrollInfo(pMirel->hWndEdit, SB_HORZ, &si);
  if (!bGot) return FALSE;
  *pnTrack = si.nTrackPos;
  return TRUE;
}

long long CMirelView::HScrollStep(UINT nCode, long long nLine, long long nPage, long long nWidth) const {
  const long long nPos = std::max(pMirel->nHScrollPos, 0);
  long long want = 0;
  switch (nCode) {
    case SB_LINELEFT:
      want = -nLine;
      break;
    case SB_LINERIGHT:
      want = nLine;
      break;
    case SB_PAGELEFT:
      want = -nPage;
      break;
    case SB_PAGERIGHT:
      want = nPage;
      break;
    case SB_THUMBTRACK: {
      int nTrack = 0;
      if (!GetHScrollTrackPos(&nTrack)) return 0;
      want = static_cast<long long>(nTrack) - nPos;
      break;
    }
    default:
      return 0;
  }
  return std::max(std::min(want, nWidth - nPos), -nPos);
}
