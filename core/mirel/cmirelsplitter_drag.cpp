// The split-pane window's bars: what the pointer is over, dragging a bar or a
// split box with the mouse or the arrow keys while an inverted tracker
// follows, and applying the drag by resizing, splitting or deleting rows and
// columns of panes.
#include <algorithm>
#include <climits>
#include <vector>

#include "mirel/cmireldoc.h"
#include "mirel/cmirelsplitter.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"

namespace {

constexpr int kArrowStep = 16;
constexpr int kFineArrowStep = 1;

bool IsRowCode(int nHit) {
  return nHit == MIREL_HIT_ROW_SPLITBOX ||
         (nHit >= MIREL_HIT_ROW_BAR && nHit < MIREL_HIT_ROW_BAR + MIREL_HIT_BAR_COUNT);
}

bool IsColumnCode(int nHit) {
  return nHit == MIREL_HIT_COL_SPLITBOX ||
         (nHit >= MIREL_HIT_COL_BAR && nHit < MIREL_HIT_COL_BAR + MIREL_HIT_BAR_COUNT);
}

bool IsCrossingCode(int nHit) {
  return nHit >= MIREL_HIT_CROSSING && nHit <= MIREL_HIT_CROSSING_LAST;
}

// n - nBorder without overflow.
int Shrink(int n, int nBorder) {
  return static_cast<int>(std::max<long long>(static_cast<long long>(n) - nBorder, INT_MIN));
}

bool InRect(const RECT& rc, POINT pt) {
  return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

}  // namespace

int CMirelSplitter::HitTest(POINT pt) const {
  if (m_hWnd == nullptr || m_nRows <= 0 || m_nCols <= 0) return MIREL_HIT_NONE;
  RECT grid, inside;
  GetGridRects(&grid, &inside);
  if (m_bVertBars && m_nRows < m_nMaxRows &&
      InRect(RECT{inside.right, grid.top, grid.right, grid.top + m_cyBar}, pt))
    return MIREL_HIT_ROW_SPLITBOX;
  if (m_bHorzBars && m_nCols < m_nMaxCols &&
      InRect(RECT{grid.left, inside.bottom, grid.left + m_cxBar, grid.bottom}, pt))
    return MIREL_HIT_COL_SPLITBOX;
  int col = -1, row = -1;
  for (int c = 0; c + 1 < m_nCols && col < 0; ++c) {
    const int x = ColumnStart(c) + m_pColInfo[c].nCurSize;
    if (pt.x >= x && pt.x < x + m_cxGap && pt.y >= grid.top && pt.y < grid.bottom) col = c;
  }
  for (int r = 0; r + 1 < m_nRows && row < 0; ++r) {
    const int y = RowStart(r) + m_pRowInfo[r].nCurSize;
    if (pt.y >= y && pt.y < y + m_cyGap && pt.x >= grid.left && pt.x < grid.right) row = r;
  }
  if (row < 0 && col < 0) return MIREL_HIT_NONE;
  if (col < 0) return MIREL_HIT_ROW_BAR + row;
  if (row < 0) return MIREL_HIT_COL_BAR + col;
  return MIREL_HIT_CROSSING + row * MIREL_HIT_BAR_COUNT + col;
}

void CMirelSplitter::GetHitRect(int nHit, RECT* pRect) {
  if (pRect == nullptr) return;
  RECT grid;
  GetGridRects(&grid, nullptr);
  int x = grid.left, y = grid.top;
  int cx = grid.right - grid.left, cy = grid.bottom - grid.top;
  m_ptDragOffset = POINT{0, 0};
  const int nRowTracker = m_cyBar + m_bModernLook - 2 * m_cyBorder;
  const int nColTracker = m_cxBar + m_bModernLook - 2 * m_cxBorder;
  if (nHit == MIREL_HIT_ROW_SPLITBOX) {
    cy = nRowTracker;
    m_ptDragOffset.y = -(cy / 2);
    m_rcDragLimit.bottom -= cy;
  } else if (nHit == MIREL_HIT_COL_SPLITBOX) {
    cx = nColTracker;
    m_ptDragOffset.x = -(cx / 2);
    m_rcDragLimit.right -= cx;
  } else if (nHit >= MIREL_HIT_ROW_BAR && nHit < MIREL_HIT_ROW_BAR + MIREL_HIT_BAR_COUNT &&
             nHit - MIREL_HIT_ROW_BAR + 1 < m_nRows) {
    const int row = nHit - MIREL_HIT_ROW_BAR;
    cy = nRowTracker;
    m_ptDragOffset.y = -(cy / 2);
    y = RowStart(row);
    m_rcDragLimit.top = y;
    y += m_pRowInfo[row].nCurSize + m_cyBarInset + m_bModernLook;
    m_rcDragLimit.bottom -= cy;
  } else if (nHit >= MIREL_HIT_COL_BAR && nHit < MIREL_HIT_COL_BAR + MIREL_HIT_BAR_COUNT &&
             nHit - MIREL_HIT_COL_BAR + 1 < m_nCols) {
    const int col = nHit - MIREL_HIT_COL_BAR;
    cx = nColTracker;
    m_ptDragOffset.x = -(cx / 2);
    x = ColumnStart(col);
    m_rcDragLimit.left = x;
    x += m_pColInfo[col].nCurSize + m_cxBarInset + m_bModernLook;
    m_rcDragLimit.right -= cx;
  } else {
    MirelTrace("Error: GetHitRect(%d): Not Found!\n", nHit);
  }
  *pRect = RECT{x, y, x + cx, y + cy};
}

void CMirelSplitter::InvertTrackerRect(const RECT* pRect) {
  if (pRect == nullptr || m_hWnd == nullptr) return;
  HDC hdc = GetDC(m_hWnd);
  if (hdc == nullptr) return;
  HGDIOBJ hOld = brTracker != nullptr ? SelectObject(hdc, brTracker) : nullptr;
  PatBlt(hdc, pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top, PATINVERT);
  if (hOld != nullptr) SelectObject(hdc, hOld);
  ReleaseDC(m_hWnd, hdc);
}

void CMirelSplitter::SetCursorForHit(int nHit) {
  HCURSOR hCursor = nullptr;
  if (IsRowCode(nHit)) {
    hCursor = m_cursors.hRow;
  } else if (IsColumnCode(nHit)) {
    hCursor = m_cursors.hColumn;
  } else if (IsCrossingCode(nHit)) {
    hCursor = m_cursors.hCross;
  }
  if (hCursor == nullptr) hCursor = LoadCursorA(nullptr, IDC_ARROW);
  SetCursor(hCursor);
}

void CMirelSplitter::BeginDrag(int nHit) {
  if (nHit == MIREL_HIT_NONE || m_bDragging || m_hWnd == nullptr) return;
  RECT inside;
  GetGridRects(nullptr, &inside);
  m_rcDragLimit = inside;
  if (IsCrossingCode(nHit)) {
    const int n = nHit - MIREL_HIT_CROSSING;
    GetHitRect(MIREL_HIT_ROW_BAR + n / MIREL_HIT_BAR_COUNT, &m_rcDragBar);
    const LONG yOffset = m_ptDragOffset.y;
    GetHitRect(MIREL_HIT_COL_BAR + n % MIREL_HIT_BAR_COUNT, &m_rcDragBar2);
    m_ptDragOffset.y = yOffset;
    m_bDragBoth = TRUE;
  } else {
    GetHitRect(nHit, &m_rcDragBar);
  }
  SetCapture(m_hWnd);
  SetFocus(m_hWnd);
  RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  m_bDragging = TRUE;
  InvertTrackerRect(&m_rcDragBar);
  if (m_bDragBoth) InvertTrackerRect(&m_rcDragBar2);
  m_nDragHit = nHit;
  SetCursorForHit(nHit);
}

void CMirelSplitter::EndDrag(BOOL bAccept) {
  if (!m_bDragging) return;
  // Cleared first: releasing the capture reports back here.
  m_bDragging = FALSE;
  const BOOL bBoth = m_bDragBoth;
  m_bDragBoth = FALSE;
  if (GetCapture() == m_hWnd) ReleaseCapture();
  InvertTrackerRect(&m_rcDragBar);
  if (bBoth) InvertTrackerRect(&m_rcDragBar2);
  OffsetRect(&m_rcDragBar, -1, -1);
  OffsetRect(&m_rcDragBar2, -1, -1);
  const int nHit = m_nDragHit;
  m_nDragHit = MIREL_HIT_NONE;
  if (bAccept) {
    if (nHit == MIREL_HIT_ROW_SPLITBOX) {
      SplitRow(m_rcDragBar.top);
    } else if (nHit == MIREL_HIT_COL_SPLITBOX) {
      SplitColumn(m_rcDragBar.left);
    } else if (IsRowCode(nHit)) {
      ResizeRowAt(m_rcDragBar.top, nHit - MIREL_HIT_ROW_BAR);
      Relayout();
    } else if (IsColumnCode(nHit)) {
      ResizeColumnAt(m_rcDragBar.left, nHit - MIREL_HIT_COL_BAR);
      Relayout();
    } else if (IsCrossingCode(nHit)) {
      const int n = nHit - MIREL_HIT_CROSSING;
      const int col = n % MIREL_HIT_BAR_COUNT;
      ResizeRowAt(m_rcDragBar.top, n / MIREL_HIT_BAR_COUNT);
      ResizeColumnAt(m_rcDragBar2.left, col);
      Relayout();
    }
  }
  // The keyboard goes back to the active pane.
  int row = -1, col = -1;
  if (HWND hActive = GetActivePane(&row, &col)) SetActivePane(row, col, hActive);
}

void CMirelSplitter::OnMouseMove(POINT pt) {
  if (m_bDragging && GetCapture() != m_hWnd) EndDrag(FALSE);
  if (!m_bDragging) {
    SetCursorForHit(HitTest(pt));
    return;
  }
  LONG x = pt.x + m_ptDragOffset.x;
  LONG y = pt.y + m_ptDragOffset.y;
  y = std::min(std::max(y, m_rcDragLimit.top), std::max(m_rcDragLimit.top, m_rcDragLimit.bottom));
  x = std::min(std::max(x, m_rcDragLimit.left), std::max(m_rcDragLimit.left, m_rcDragLimit.right));
  auto moveTo = [this](RECT* pBar, LONG dx, LONG dy) {
    if (dx == 0 && dy == 0) return;
    InvertTrackerRect(pBar);
    OffsetRect(pBar, dx, dy);
    InvertTrackerRect(pBar);
  };
  if (IsRowCode(m_nDragHit)) {
    moveTo(&m_rcDragBar, 0, y - m_rcDragBar.top);
  } else if (IsColumnCode(m_nDragHit)) {
    moveTo(&m_rcDragBar, x - m_rcDragBar.left, 0);
  } else if (IsCrossingCode(m_nDragHit)) {
    moveTo(&m_rcDragBar, 0, y - m_rcDragBar.top);
    moveTo(&m_rcDragBar2, x - m_rcDragBar2.left, 0);
  }
}

BOOL CMirelSplitter::OnKeyDown(UINT nVirtKey) {
  if (!m_bDragging) return FALSE;
  if (nVirtKey == VK_RETURN || nVirtKey == VK_ESCAPE) {
    EndDrag(nVirtKey == VK_RETURN);
    return TRUE;
  }
  if (nVirtKey != VK_LEFT && nVirtKey != VK_RIGHT && nVirtKey != VK_UP && nVirtKey != VK_DOWN) return FALSE;
  const int nStep = GetKeyState(VK_CONTROL) < 0 ? kFineArrowStep : kArrowStep;
  int dx = nVirtKey == VK_LEFT ? -nStep : (nVirtKey == VK_RIGHT ? nStep : 0);
  int dy = nVirtKey == VK_UP ? -nStep : (nVirtKey == VK_DOWN ? nStep : 0);
  if (IsRowCode(m_nDragHit)) dx = 0;
  if (IsColumnCode(m_nDragHit)) dy = 0;
  POINT pt{0, 0};
  GetCursorPos(&pt);
  ScreenToClient(m_hWnd, &pt);
  pt.x = std::min(std::max(pt.x + dx, m_rcDragLimit.left), std::max(m_rcDragLimit.left, m_rcDragLimit.right));
  pt.y = std::min(std::max(pt.y + dy, m_rcDragLimit.top), std::max(m_rcDragLimit.top, m_rcDragLimit.bottom));
  ClientToScreen(m_hWnd, &pt);
  // The system's mouse move then moves the tracker.
  SetCursorPos(pt.x, pt.y);
  return TRUE;
}

void CMirelSplitter::OnDoubleClick(POINT pt) {
  const int nHit = HitTest(pt);
  EndDrag(FALSE);
  int activeRow = -1, activeCol = -1;
  GetActivePane(&activeRow, &activeCol);
  if (nHit == MIREL_HIT_ROW_SPLITBOX) {
    SplitRow(m_pRowInfo[0].nCurSize / 2);
  } else if (nHit == MIREL_HIT_COL_SPLITBOX) {
    SplitColumn(m_pColInfo[0].nCurSize / 2);
  } else if (IsRowCode(nHit)) {
    const int row = nHit - MIREL_HIT_ROW_BAR;
    DeleteRow(activeRow == row ? row + 1 : row);
  } else if (IsColumnCode(nHit)) {
    const int col = nHit - MIREL_HIT_COL_BAR;
    DeleteColumn(activeCol == col ? col + 1 : col);
  } else if (IsCrossingCode(nHit)) {
    const int n = nHit - MIREL_HIT_CROSSING;
    const int row = n / MIREL_HIT_BAR_COUNT, col = n % MIREL_HIT_BAR_COUNT;
    DeleteRow(activeRow == row ? row + 1 : row);
    DeleteColumn(activeCol == col ? col + 1 : col);
  }
}

// ---------------------------------------------------------------------------
// Resizing, splitting and deleting

void CMirelSplitter::ResizeColumnAt(int x, int col) {
  if (m_nCols <= 1 || col < 0 || col + 1 >= m_nCols) return;
  POINT pt{x, 0};
  if (HWND hPane = GetPaneWindow(0, col)) {
    MapWindowPoints(m_hWnd, hPane, &pt, 1);
  } else {
    pt.x -= ColumnStart(col);
  }
  CMirelSplitterRowColInfo& info = m_pColInfo[col];
  info.nIdealSize = pt.x;
  if (pt.x < info.nMinSize) {
    info.nIdealSize = 0;
    DeleteColumn(col);
  } else if (static_cast<long long>(info.nCurSize) + m_pColInfo[col + 1].nCurSize <
             static_cast<long long>(pt.x) + m_pColInfo[col + 1].nMinSize) {
    DeleteColumn(col + 1);
  }
}

void CMirelSplitter::ResizeRowAt(int y, int row) {
  if (m_nRows <= 1 || row < 0 || row + 1 >= m_nRows) return;
  POINT pt{0, y};
  if (HWND hPane = GetPaneWindow(row, 0)) {
    MapWindowPoints(m_hWnd, hPane, &pt, 1);
  } else {
    pt.y -= RowStart(row);
  }
  CMirelSplitterRowColInfo& info = m_pRowInfo[row];
  info.nIdealSize = pt.y;
  if (pt.y < info.nMinSize) {
    info.nIdealSize = 0;
    DeleteRow(row);
  } else if (static_cast<long long>(info.nCurSize) + m_pRowInfo[row + 1].nCurSize <
             static_cast<long long>(pt.y) + m_pRowInfo[row + 1].nMinSize) {
    DeleteRow(row + 1);
  }
}

int CMirelSplitter::GetNewPaneSize(const CMirelSplitterRowColInfo* pInfoBefore, int nBeforeSize,
                                   int nSizeSplitter) const {
  if (pInfoBefore == nullptr) return -1;
  if (nBeforeSize < pInfoBefore->nMinSize) {
    MirelTrace("Warning: split too small to fit in a new pane.\n");
    return -1;
  }
  const long long nNew = static_cast<long long>(pInfoBefore->nCurSize) - nBeforeSize - nSizeSplitter;
  if (nNew < pInfoBefore[1].nMinSize) {
    MirelTrace("Warning: split too small to create new pane.\n");
    return -1;
  }
  return static_cast<int>(nNew);
}

void CMirelSplitter::CopyViewStateInto(int rowFrom, int colFrom, int row, int col) {
  CMirel* pFrom = GetPaneEdit(rowFrom, colFrom);
  CMirel* pTo = GetPaneEdit(row, col);
  if (pFrom == nullptr || pTo == nullptr) return;
  pTo->CopyViewState(pFrom);
  // The new pane's shared bars show where it stands (unchanged bars are
  // left alone).
  if (pTo->pView != nullptr) pTo->pView->UpdateScrollBars();
}

BOOL CMirelSplitter::SplitRow(int y) {
  if (m_hWnd == nullptr || m_nRows <= 0 || m_nRows >= m_nMaxRows) return FALSE;
  const int rowNew = m_nRows;
  const int nBefore = Shrink(y, m_cyBorder);
  const int nNewSize = GetNewPaneSize(&m_pRowInfo[rowNew - 1], nBefore, m_cyBar);
  if (nNewSize < 0) return FALSE;
  // Whatever fails below leaves the grid as it was.
  const std::vector<CMirelSplitterRowColInfo> rows(m_pRowInfo, m_pRowInfo + m_nMaxRows);
  const std::vector<CMirelSplitterRowColInfo> cols(m_pColInfo, m_pColInfo + m_nMaxCols);
  const int nBarID = static_cast<int>(MIREL_SHARED_VBAR_ID) + rowNew;
  HWND hNewBar = nullptr;
  if (m_bVertBars && GetDlgItem(m_hWnd, nBarID) == nullptr) {
    if (!CreateSharedScrollBar(SBS_VERT, static_cast<UINT>(nBarID))) return FALSE;
    hNewBar = GetDlgItem(m_hWnd, nBarID);
  }
  ++m_nRows;
  for (int c = 0; c < m_nCols; ++c) {
    if (CreatePane(rowNew, c, m_pColInfo[c].nCurSize, nNewSize)) continue;
    for (int k = c - 1; k >= 0; --k) DeletePane(rowNew, k);
    if (hNewBar != nullptr) DestroyWindow(hNewBar);
    --m_nRows;
    std::copy(rows.begin(), rows.end(), m_pRowInfo);
    std::copy(cols.begin(), cols.end(), m_pColInfo);
    return FALSE;
  }
  // Each new pane starts where the pane above it stands.
  for (int c = 0; c < m_nCols; ++c) CopyViewStateInto(rowNew - 1, c, rowNew, c);
  m_pRowInfo[rowNew - 1].nIdealSize = nBefore;
  m_pRowInfo[rowNew].nIdealSize = nNewSize;
  Relayout();
  return TRUE;
}

BOOL CMirelSplitter::SplitColumn(int x) {
  if (m_hWnd == nullptr || m_nCols <= 0 || m_nCols >= m_nMaxCols) return FALSE;
  const int colNew = m_nCols;
  const int nBefore = Shrink(x, m_cxBorder);
  const int nNewSize = GetNewPaneSize(&m_pColInfo[colNew - 1], nBefore, m_cxBar);
  if (nNewSize < 0) return FALSE;
  const std::vector<CMirelSplitterRowColInfo> rows(m_pRowInfo, m_pRowInfo + m_nMaxRows);
  const std::vector<CMirelSplitterRowColInfo> cols(m_pColInfo, m_pColInfo + m_nMaxCols);
  const int nBarID = static_cast<int>(MIREL_SHARED_HBAR_ID) + colNew;
  HWND hNewBar = nullptr;
  if (m_bHorzBars && GetDlgItem(m_hWnd, nBarID) == nullptr) {
    if (!CreateSharedScrollBar(SBS_HORZ, static_cast<UINT>(nBarID))) return FALSE;
    hNewBar = GetDlgItem(m_hWnd, nBarID);
  }
  // Panes side by side show whole rows: word wrap goes off.
  const int nWrapBefore = m_pDoc != nullptr ? m_pDoc->GetWordWrap() : MIREL_WRAP_NONE;
  if (m_pDoc != nullptr && nWrapBefore != MIREL_WRAP_NONE) m_pDoc->SetWordWrap(MIREL_WRAP_NONE);
  ++m_nCols;
  for (int r = 0; r < m_nRows; ++r) {
    if (CreatePane(r, colNew, nNewSize, m_pRowInfo[r].nCurSize)) continue;
    for (int k = r - 1; k >= 0; --k) DeletePane(k, colNew);
    if (hNewBar != nullptr) DestroyWindow(hNewBar);
    --m_nCols;
    std::copy(rows.begin(), rows.end(), m_pRowInfo);
    std::copy(cols.begin(), cols.end(), m_pColInfo);
    if (m_pDoc != nullptr && nWrapBefore != MIREL_WRAP_NONE) m_pDoc->SetWordWrap(nWrapBefore);
    return FALSE;
  }
  for (int r = 0; r < m_nRows; ++r) CopyViewStateInto(r, colNew - 1, r, colNew);
  m_pColInfo[colNew - 1].nIdealSize = nBefore;
  m_pColInfo[colNew].nIdealSize = nNewSize;
  Relayout();
  return TRUE;
}

void CMirelSplitter::CloseRowGap(int rowDelete) {
  for (int c = 0; c < m_nCols; ++c) {
    for (int i = rowDelete + 1; i < m_nRows; ++i) {
      if (HWND hPane = GetPaneWindow(i, c))
        SetWindowLongA(hPane, GWL_ID, static_cast<LONG>(PaneID(i - 1, c)));
      m_ppPanes[c + (i - 1) * m_nMaxCols] = m_ppPanes[c + i * m_nMaxCols];
      m_ppPanes[c + i * m_nMaxCols] = nullptr;
    }
  }
  for (int i = rowDelete + 1; i < m_nRows && m_bVertBars; ++i) {
    if (HWND hBar = GetDlgItem(m_hWnd, static_cast<int>(MIREL_SHARED_VBAR_ID) + i))
      SetWindowLongA(hBar, GWL_ID, static_cast<LONG>(MIREL_SHARED_VBAR_ID) + i - 1);
  }
  // The size records move with their rows.
  const CMirelSplitterRowColInfo gone = m_pRowInfo[rowDelete];
  for (int i = rowDelete; i + 1 < m_nMaxRows; ++i) m_pRowInfo[i] = m_pRowInfo[i + 1];
  m_pRowInfo[m_nMaxRows - 1] = CMirelSplitterRowColInfo{gone.nMinSize, gone.nMinSize, -1};
}

void CMirelSplitter::CloseColumnGap(int colDelete) {
  for (int r = 0; r < m_nRows; ++r) {
    for (int i = colDelete + 1; i < m_nCols; ++i) {
      if (HWND hPane = GetPaneWindow(r, i))
        SetWindowLongA(hPane, GWL_ID, static_cast<LONG>(PaneID(r, i - 1)));
      m_ppPanes[(i - 1) + r * m_nMaxCols] = m_ppPanes[i + r * m_nMaxCols];
      m_ppPanes[i + r * m_nMaxCols] = nullptr;
    }
  }
  for (int i = colDelete + 1; i < m_nCols && m_bHorzBars; ++i) {
    if (HWND hBar = GetDlgItem(m_hWnd, static_cast<int>(MIREL_SHARED_HBAR_ID) + i))
      SetWindowLongA(hBar, GWL_ID, static_cast<LONG>(MIREL_SHARED_HBAR_ID) + i - 1);
  }
  const CMirelSplitterRowColInfo gone = m_pColInfo[colDelete];
  for (int i = colDelete; i + 1 < m_nMaxCols; ++i) m_pColInfo[i] = m_pColInfo[i + 1];
  m_pColInfo[m_nMaxCols - 1] = CMirelSplitterRowColInfo{gone.nMinSize, gone.nMinSize, -1};
}

void CMirelSplitter::DeleteRow(int rowDelete) {
  if (m_hWnd == nullptr || m_nRows <= 1 || rowDelete < 0 || rowDelete >= m_nRows) return;
  int activeRow = -1, activeCol = -1;
  if (GetActivePane(&activeRow, &activeCol) != nullptr && activeRow == rowDelete)
    SetActivePane(rowDelete + 1 < m_nRows ? rowDelete + 1 : 0, activeCol, nullptr);
  // The row's bar leaves the numbering at once, so the bars renumbered
  // below never share an identifier with it.
  HWND hKeptBar =
      m_bVertBars ? GetDlgItem(m_hWnd, static_cast<int>(MIREL_SHARED_VBAR_ID) + rowDelete) : nullptr;
  if (hKeptBar != nullptr) SetWindowLongA(hKeptBar, GWL_ID, 0);
  for (int c = 0; c < m_nCols; ++c) DeletePane(rowDelete, c);
  CloseRowGap(rowDelete);
  --m_nRows;
  if (hKeptBar != nullptr) DestroyWindow(hKeptBar);
  Relayout();
}

void CMirelSplitter::DeleteColumn(int colDelete) {
  if (m_hWnd == nullptr || m_nCols <= 1 || colDelete < 0 || colDelete >= m_nCols) return;
  int activeRow = -1, activeCol = -1;
  if (GetActivePane(&activeRow, &activeCol) != nullptr && activeCol == colDelete)
    SetActivePane(activeRow, colDelete + 1 < m_nCols ? colDelete + 1 : 0, nullptr);
  HWND hKeptBar =
      m_bHorzBars ? GetDlgItem(m_hWnd, static_cast<int>(MIREL_SHARED_HBAR_ID) + colDelete) : nullptr;
  if (hKeptBar != nullptr) SetWindowLongA(hKeptBar, GWL_ID, 0);
  for (int r = 0; r < m_nRows; ++r) DeletePane(r, colDelete);
  CloseColumnGap(colDelete);
  --m_nCols;
  if (hKeptBar != nullptr) DestroyWindow(hKeptBar);
  Relayout();
}
