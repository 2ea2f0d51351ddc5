// The split-pane window: creation, panes and the shared document, shared
// scroll bars, layout, painting and message dispatch. Bars, dragging,
// splitting and deleting are in cmirelsplitter_drag.cpp.
#include "mirel/cmirelsplitter.h"

#include <algorithm>
#include <climits>
#include <new>

#include "mirel/cmireldoc.h"
#include "mirel/cmirelview.h"
#include "mirel/cmirelviewtext.h"
#include "mirel/mirel.h"
#include "mirel/mrcreatingobject.h"
#include "mirel/mrscrollbar.h"

#include <windowsx.h>

namespace {

constexpr int kModernMajorVersion = 4;
constexpr int kFirstPaneExtra = 100;  // the first pane is this much above the minimum
constexpr int kSizeBoxDisabledRequest = 8;

// Parts DrawBarPart draws.
constexpr int kPartSplitBox = 1;
constexpr int kPartBar = 2;
constexpr int kPartBorder = 3;

void FillColor(HDC hdc, int left, int top, int right, int bottom, int nColor) {
  if (right <= left || bottom <= top) return;
  const RECT rc{left, top, right, bottom};
  HBRUSH hBrush = CreateSolidBrush(GetSysColor(nColor));
  if (hBrush == nullptr) return;
  FillRect(hdc, &rc, hBrush);
  DeleteObject(hBrush);
}

// A window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND hWnd) {
  RECT rc{0, 0, 0, 0};
  GetWindowRect(hWnd, &rc);
  MapWindowPoints(nullptr, GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

// Adds a move to the batch unless the window is there already; a window with
// a client edge is placed with its edge outside the given rectangle.
void DeferMove(HDWP* phdwp, HWND hWnd, int x, int y, int cx, int cy, int nEdgeX, int nEdgeY) {
  if (*phdwp == nullptr || hWnd == nullptr) return;
  if (GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
    x -= nEdgeX;
    y -= nEdgeY;
    cx += 2 * nEdgeX;
    cy += 2 * nEdgeY;
  }
  cx = std::max(cx, 0);
  cy = std::max(cy, 0);
  const RECT now = RectInParent(hWnd);
  if (now.left == x && now.top == y && now.right - now.left == cx && now.bottom - now.top == cy) return;
  *phdwp = DeferWindowPos(*phdwp, hWnd, nullptr, x, y, cx, cy, SWP_NOACTIVATE | SWP_NOZORDER);
}

int Clamp(int n, int lo, int hi) {
  return std::min(std::max(n, lo), hi);
}

}  // namespace

CMirelSplitter::CMirelSplitter()
    : m_bModernLook(LOBYTE(LOWORD(GetVersion())) >= kModernMajorVersion ? TRUE : FALSE),
      m_bClassicLook(m_bModernLook ? FALSE : TRUE),
      m_bHorzBars(FALSE),
      m_bVertBars(FALSE),
      m_bDragging(FALSE),
      m_bDragBoth(FALSE),
      m_ppPanes(nullptr),
      brTracker(nullptr),
      hActivePane(nullptr),
      nCxBorder2(2),
      nCyBorder2(2),
      m_cxBar(m_bModernLook ? 7 : 4),
      m_cyBar(m_bModernLook ? 7 : 4),
      m_cxBarInset(m_bModernLook ? 0 : 1),
      m_cyBarInset(m_bModernLook ? 0 : 1),
      m_cxGap(m_bModernLook ? 7 : 6),
      m_cyGap(m_bModernLook ? 7 : 6),
      m_cxBorder(m_bModernLook ? 2 : 0),
      m_cyBorder(m_bModernLook ? 2 : 0),
      m_ptDragOffset{0, 0},
      m_rcDragLimit{0, 0, 0, 0},
      m_rcDragBar{0, 0, 0, 0},
      m_rcDragBar2{0, 0, 0, 0},
      m_pColInfo(nullptr),
      m_pRowInfo(nullptr),
      m_nDragHit(0),
      m_nRows(0),
      m_nCols(0),
      m_nMaxRows(1),
      m_nMaxCols(1),
      m_nUserValue(0),
      m_pDoc(nullptr),
      m_hWnd(nullptr) {}

CMirelSplitter::~CMirelSplitter() {
  // The window goes first (its WM_DESTROY frees the panes and the document);
  // whatever is left is freed here.
  if (m_hWnd != nullptr && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
  FreeGrid();
  if (brTracker != nullptr) DeleteObject(brTracker);
  brTracker = nullptr;
  if (CMirelSplitterRegistrar* pRegistrar = CMirelSplitterRegistrar::GetActive())
    pRegistrar->ForgetSplitter(this);
}

BOOL CMirelSplitter::Create(HWND hWndParent, int nMaxRows, int nMaxCols, int nMinCx, int nMinCy, UINT nID,
                            LPVOID /*pUnused*/, DWORD dwStyle) {
  if (m_hWnd != nullptr) return FALSE;  // one window per object
  const DWORD dwWindowStyle = dwStyle & ~static_cast<DWORD>(WS_BORDER | WS_VSCROLL | WS_HSCROLL);
  HWND hWnd = nullptr;
  {
    MrCreatingObject<CMirelSplitter> creating(this, MIREL_SPLITTER_CLASS_NAME, MirelSplitterWndProc);
    hWnd =
        CreateWindowExA(0, MIREL_SPLITTER_CLASS_NAME, nullptr, dwWindowStyle, 0, 0, 1, 1, hWndParent,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), GetModuleHandleA(nullptr), this);
  }
  if (hWnd == nullptr) return FALSE;
  m_nMaxRows = Clamp(nMaxRows, 1, MIREL_SPLITTER_MAX_PANES);
  m_nMaxCols = Clamp(nMaxCols, 1, MIREL_SPLITTER_MAX_PANES);
  nMinCx = std::max(nMinCx, 0);
  nMinCy = std::max(nMinCy, 0);
  m_ppPanes = new (std::nothrow) CMirel*[static_cast<size_t>(m_nMaxRows * m_nMaxCols)]();
  m_pColInfo = new (std::nothrow) CMirelSplitterRowColInfo[static_cast<size_t>(m_nMaxCols)];
  m_pRowInfo = new (std::nothrow) CMirelSplitterRowColInfo[static_cast<size_t>(m_nMaxRows)];
  if (m_ppPanes == nullptr || m_pColInfo == nullptr || m_pRowInfo == nullptr) {
    DestroyWindow(hWnd);
    return FALSE;
  }
  for (int i = 0; i < m_nMaxCols; ++i) m_pColInfo[i] = CMirelSplitterRowColInfo{nMinCx, nMinCx, -1};
  for (int i = 0; i < m_nMaxRows; ++i) m_pRowInfo[i] = CMirelSplitterRowColInfo{nMinCy, nMinCy, -1};
  m_nRows = m_nCols = 1;
  ApplySharedBars(dwStyle);
  const int cx = nMinCx > INT_MAX - kFirstPaneExtra ? INT_MAX : nMinCx + kFirstPaneExtra;
  const int cy = nMinCy > INT_MAX - kFirstPaneExtra ? INT_MAX : nMinCy + kFirstPaneExtra;
  if (m_hWnd == nullptr || !CreatePane(0, 0, cx, cy)) {
    if (m_hWnd != nullptr) DestroyWindow(m_hWnd);
    return FALSE;
  }
  hActivePane = GetPaneWindow(0, 0);
  m_pColInfo[0].nIdealSize = cx;
  m_pRowInfo[0].nIdealSize = cy;
  return TRUE;
}

BOOL CMirelSplitter::CreateSharedScrollBar(DWORD dwStyle, UINT nID) {
  HWND hBar = CreateWindowExA(0, "SCROLLBAR", nullptr, dwStyle | WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, m_hWnd,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), GetModuleHandleA(nullptr),
                              nullptr);
  return hBar != nullptr ? TRUE : FALSE;
}

void CMirelSplitter::ApplySharedBars(DWORD dwStyle) {
  m_bHorzBars = (dwStyle & WS_HSCROLL) ? TRUE : FALSE;
  m_bVertBars = (dwStyle & WS_VSCROLL) ? TRUE : FALSE;
  for (int c = 0; c < m_nCols; ++c) {
    const UINT nID = MIREL_SHARED_HBAR_ID + static_cast<UINT>(c);
    HWND hBar = GetDlgItem(m_hWnd, static_cast<int>(nID));
    if (hBar == nullptr && m_bHorzBars) {
      if (!CreateSharedScrollBar(SBS_HORZ, nID)) return;
    } else if (hBar != nullptr) {
      ShowWindow(hBar, m_bHorzBars ? SW_SHOW : SW_HIDE);
    }
  }
  for (int r = 0; r < m_nRows; ++r) {
    const UINT nID = MIREL_SHARED_VBAR_ID + static_cast<UINT>(r);
    HWND hBar = GetDlgItem(m_hWnd, static_cast<int>(nID));
    if (hBar == nullptr && m_bVertBars) {
      if (!CreateSharedScrollBar(SBS_VERT, nID)) return;
    } else if (hBar != nullptr) {
      ShowWindow(hBar, m_bVertBars ? SW_SHOW : SW_HIDE);
    }
  }
  HWND hBox = GetDlgItem(m_hWnd, static_cast<int>(MIREL_SPLITTER_SIZEBOX_ID));
  if (m_bHorzBars && m_bVertBars) {
    if (hBox == nullptr)
      CreateSharedScrollBar(SBS_SIZEBOX | WS_DISABLED, MIREL_SPLITTER_SIZEBOX_ID);
    else
      ShowWindow(hBox, SW_SHOW);
  } else if (hBox != nullptr) {
    DestroyWindow(hBox);
  }
}

BOOL CMirelSplitter::CreatePane(int row, int col, int cx, int cy) {
  if (m_hWnd == nullptr || m_ppPanes == nullptr || row < 0 || col < 0 || row >= m_nMaxRows ||
      col >= m_nMaxCols)
    return FALSE;
  if (GetPaneWindow(row, col) != nullptr) return FALSE;
  // A pane that cannot be made leaves the size records as they were.
  const CMirelSplitterRowColInfo colBefore = m_pColInfo[col];
  const CMirelSplitterRowColInfo rowBefore = m_pRowInfo[row];
  m_pColInfo[col].nIdealSize = cx;
  m_pRowInfo[row].nIdealSize = cy;
  auto restore = [&]() {
    m_pColInfo[col] = colBefore;
    m_pRowInfo[row] = rowBefore;
    return FALSE;
  };
  if (m_pDoc == nullptr) m_pDoc = new (std::nothrow) CMirelDoc();
  if (m_pDoc == nullptr) return restore();
  CMirel* pEdit = new (std::nothrow) CMirel(m_pDoc);
  if (pEdit == nullptr) return restore();
  const DWORD dwStyle = WS_CHILD | WS_VISIBLE | (m_bModernLook ? 0 : WS_BORDER);
  if (pEdit->Create(m_hWnd, PaneID(row, col), 0, 0, std::max(cx, 0), std::max(cy, 0), 0, dwStyle) ==
      nullptr) {
    delete pEdit;
    return restore();
  }
  m_pDoc->RegisterEdit(pEdit);
  m_ppPanes[col + row * m_nMaxCols] = pEdit;
  return TRUE;
}

CMirel* CMirelSplitter::GetPaneEdit(int row, int col) const {
  if (m_ppPanes == nullptr || row < 0 || col < 0 || row >= m_nMaxRows || col >= m_nMaxCols) return nullptr;
  return m_ppPanes[col + row * m_nMaxCols];
}

HWND CMirelSplitter::GetPaneWindow(int row, int col) const {
  if (m_hWnd == nullptr || row < 0 || col < 0 || row >= MIREL_SPLITTER_MAX_PANES ||
      col >= MIREL_SPLITTER_MAX_PANES)
    return nullptr;
  return GetDlgItem(m_hWnd, static_cast<int>(PaneID(row, col)));
}

BOOL CMirelSplitter::GetPaneRowCol(HWND hWnd, int* pRow, int* pCol) const {
  int row = -1, col = -1;
  BOOL bPane = FALSE;
  if (hWnd != nullptr && m_hWnd != nullptr && IsWindow(hWnd) && GetParent(hWnd) == m_hWnd) {
    const UINT nID = static_cast<UINT>(GetDlgCtrlID(hWnd)) & 0xFFFF;
    if (nID >= MIREL_PANE_ID_FIRST && nID <= MIREL_PANE_ID_LAST) {
      row = static_cast<int>((nID - MIREL_PANE_ID_FIRST) >> 4);
      col = static_cast<int>(nID & 15);
      bPane = TRUE;
    }
  }
  if (pRow != nullptr) *pRow = row;
  if (pCol != nullptr) *pCol = col;
  return bPane;
}

void CMirelSplitter::DeletePane(int row, int col) {
  CMirel* pEdit = GetPaneEdit(row, col);
  HWND hPane = GetPaneWindow(row, col);
  if (pEdit == nullptr && hPane == nullptr) return;
  int activeRow = -1, activeCol = -1;
  if (GetActivePane(&activeRow, &activeCol) != nullptr && activeRow == row && activeCol == col)
    FocusNextPane(FALSE);
  // The window goes while its object exists; then the document forgets the
  // object before it is deleted.
  if (hPane != nullptr) DestroyWindow(hPane);
  ForgetPaneWindow(hPane);
  if (pEdit != nullptr) {
    if (m_pDoc != nullptr) m_pDoc->UnregisterEdit(pEdit);
    delete pEdit;
  }
  m_ppPanes[col + row * m_nMaxCols] = nullptr;
}

void CMirelSplitter::ForgetPaneWindow(HWND hWnd) {
  if (hWnd != nullptr && hActivePane == hWnd) hActivePane = nullptr;
}

HWND CMirelSplitter::GetActivePane(int* pRow, int* pCol) const {
  HWND hPane = nullptr;
  if (m_pDoc != nullptr && m_pDoc->GetActiveEdit() != nullptr) hPane = m_pDoc->GetActiveEdit()->hWndEdit;
  int row = -1, col = -1;
  if (!GetPaneRowCol(hPane, &row, &col)) hPane = nullptr;
  if (pRow != nullptr) *pRow = row;
  if (pCol != nullptr) *pCol = col;
  return hPane;
}

void CMirelSplitter::SetActivePane(int row, int col, HWND hWnd) {
  if (hWnd == nullptr) hWnd = GetPaneWindow(row, col);
  if (hWnd == nullptr) return;
  hActivePane = hWnd;
  SetFocus(hWnd);
}

void CMirelSplitter::FocusNextPane(BOOL bPrev) {
  if (m_nRows <= 0 || m_nCols <= 0) return;
  int row = 0, col = 0;
  if (GetActivePane(&row, &col) == nullptr) {
    row = 0;
    col = 0;
  }
  if (bPrev) {
    if (--col < 0) {
      col = m_nCols - 1;
      if (--row < 0) row = m_nRows - 1;
    }
  } else if (++col >= m_nCols) {
    col = 0;
    if (++row >= m_nRows) row = 0;
  }
  SetActivePane(row, col, nullptr);
}

// ---------------------------------------------------------------------------
// Layout

void CMirelSplitter::DistributeSizes(CMirelSplitterRowColInfo* pInfo, int nCount, int nExtent,
                                     int nGap) const {
  if (pInfo == nullptr || nCount <= 0) return;
  for (int i = 0; i + 1 < nCount; ++i) {
    if (pInfo[i].nIdealSize < pInfo[i].nMinSize) pInfo[i].nIdealSize = 0;
    pInfo[i].nCurSize = pInfo[i].nIdealSize;
  }
  pInfo[nCount - 1].nCurSize = INT_MAX;
  long long nLeft = std::max(nExtent, 0);
  for (int i = 0; i < nCount; ++i) {
    CMirelSplitterRowColInfo& info = pInfo[i];
    if (nLeft == 0) {
      info.nCurSize = 0;
      continue;
    }
    if (nLeft < info.nMinSize && i != 0) {
      // Too small for its minimum: it collapses into the one before.
      info.nCurSize = 0;
      pInfo[i - 1].nCurSize = static_cast<int>(
          std::min<long long>(static_cast<long long>(pInfo[i - 1].nCurSize) + nLeft + nCxBorder2, INT_MAX));
      nLeft = 0;
      continue;
    }
    if (info.nCurSize != 0) {
      if (nLeft < info.nCurSize) {
        info.nCurSize = static_cast<int>(nLeft);
        nLeft = 0;
      } else {
        nLeft -= info.nCurSize;
      }
    }
    if (i + 1 == nCount) continue;
    if (nGap < nLeft) {
      nLeft -= nGap;
    } else {
      long long n = nLeft + info.nCurSize;
      if (n > nGap - nCxBorder2) n -= nGap - nCxBorder2;
      info.nCurSize = static_cast<int>(std::max<long long>(std::min<long long>(n, INT_MAX), 0));
      nLeft = 0;
    }
  }
}

void CMirelSplitter::GetGridRects(RECT* pGrid, RECT* pInside) const {
  RECT rc{0, 0, 0, 0};
  if (m_hWnd != nullptr) GetClientRect(m_hWnd, &rc);
  InflateRect(&rc, -m_cxBorder, -m_cyBorder);
  RECT inside = rc;
  if (m_bVertBars) inside.right -= GetSystemMetrics(SM_CXVSCROLL);
  if (m_bHorzBars) inside.bottom -= GetSystemMetrics(SM_CYHSCROLL);
  if (pGrid != nullptr) *pGrid = rc;
  if (pInside != nullptr) *pInside = inside;
}

int CMirelSplitter::ColumnStart(int col) const {
  RECT grid;
  GetGridRects(&grid, nullptr);
  long long x = grid.left;
  for (int c = 0; c < col && c < m_nMaxCols && m_pColInfo != nullptr; ++c)
    x += std::max(m_pColInfo[c].nCurSize, 0) + m_cxGap;
  return static_cast<int>(std::min<long long>(x, INT_MAX));
}

int CMirelSplitter::RowStart(int row) const {
  RECT grid;
  GetGridRects(&grid, nullptr);
  long long y = grid.top;
  for (int r = 0; r < row && r < m_nMaxRows && m_pRowInfo != nullptr; ++r)
    y += std::max(m_pRowInfo[r].nCurSize, 0) + m_cyGap;
  return static_cast<int>(std::min<long long>(y, INT_MAX));
}

HWND CMirelSplitter::GetSizingParent() const {
  if (m_hWnd == nullptr) return nullptr;
  if (GetWindowLongA(m_hWnd, GWL_STYLE) & WS_THICKFRAME) return m_hWnd;
  HWND hParent = GetParent(m_hWnd);
  if (hParent == nullptr) return nullptr;
  const LONG lStyle = GetWindowLongA(hParent, GWL_STYLE);
  if (!(lStyle & WS_THICKFRAME) || (lStyle & WS_MAXIMIZE)) return nullptr;
  RECT rcParent, rcMine;
  GetClientRect(hParent, &rcParent);
  GetClientRect(m_hWnd, &rcMine);
  MapWindowPoints(m_hWnd, hParent, reinterpret_cast<POINT*>(&rcMine), 2);
  return rcParent.right == rcMine.right && rcParent.bottom == rcMine.bottom ? hParent : nullptr;
}

void CMirelSplitter::PlaceSizeBox(HDWP* phdwp, const RECT& inside, const RECT& grid) {
  HWND hBox = GetDlgItem(m_hWnd, static_cast<int>(MIREL_SPLITTER_SIZEBOX_ID));
  if (hBox == nullptr) return;
  const BOOL bGrip = GetSizingParent() != nullptr;
  const LONG lStyle = GetWindowLongA(hBox, GWL_STYLE);
  const LONG lKinds = SBS_SIZEBOX | SBS_SIZEGRIP | WS_DISABLED;
  const LONG lNew = (lStyle & ~lKinds) | (bGrip ? SBS_SIZEGRIP : (SBS_SIZEBOX | WS_DISABLED));
  if (lNew != lStyle) {
    SetWindowLongA(hBox, GWL_STYLE, lNew);
    InvalidateRect(hBox, nullptr, TRUE);
  }
  const int x = inside.right + m_bClassicLook;
  const int y = inside.bottom + m_bClassicLook;
  DeferMove(phdwp, hBox, x, y, grid.right - x, grid.bottom - y, nCxBorder2, nCyBorder2);
}

void CMirelSplitter::Relayout() {
  if (m_hWnd == nullptr || m_nRows <= 0 || m_nCols <= 0) return;
  RECT grid, inside;
  GetGridRects(&grid, &inside);
  DistributeSizes(m_pColInfo, m_nCols, inside.right - inside.left, m_cxGap);
  DistributeSizes(m_pRowInfo, m_nRows, inside.bottom - inside.top, m_cyGap);

  HDWP hdwp = BeginDeferWindowPos((m_nCols + 1) * (m_nRows + 1) + 1);
  if (m_bHorzBars && m_bVertBars) PlaceSizeBox(&hdwp, inside, grid);
  if (m_bHorzBars) {
    const int y = inside.bottom + m_bClassicLook;
    int x = grid.left;
    for (int c = 0; c < m_nCols; ++c) {
      int cx = m_pColInfo[c].nCurSize;
      int xBar = x;
      if (c == 0 && m_nCols < m_nMaxCols) {
        // Room for the column split box.
        xBar += m_cxBar + m_bClassicLook;
        cx -= m_cxBar + m_bClassicLook;
      }
      HWND hBar = GetDlgItem(m_hWnd, static_cast<int>(MIREL_SHARED_HBAR_ID + c));
      DeferMove(&hdwp, hBar, xBar, y, cx, grid.bottom - y, nCxBorder2, nCyBorder2);
      if (hBar != nullptr) InvalidateRect(hBar, nullptr, TRUE);
      x += m_pColInfo[c].nCurSize + m_cxGap;
    }
  }
  if (m_bVertBars) {
    const int x = inside.right + m_bClassicLook;
    int y = grid.top;
    for (int r = 0; r < m_nRows; ++r) {
      int cy = m_pRowInfo[r].nCurSize;
      int yBar = y;
      if (r == 0 && m_nRows < m_nMaxRows) {
        yBar += m_cyBar + m_bClassicLook;
        cy -= m_cyBar + m_bClassicLook;
      }
      HWND hBar = GetDlgItem(m_hWnd, static_cast<int>(MIREL_SHARED_VBAR_ID + r));
      DeferMove(&hdwp, hBar, x, yBar, grid.right - x, cy, nCxBorder2, nCyBorder2);
      if (hBar != nullptr) InvalidateRect(hBar, nullptr, TRUE);
      y += m_pRowInfo[r].nCurSize + m_cyGap;
    }
  }
  for (int r = 0; r < m_nRows; ++r) {
    const int y = RowStart(r);
    for (int c = 0; c < m_nCols; ++c) {
      DeferMove(&hdwp, GetPaneWindow(r, c), ColumnStart(c), y, m_pColInfo[c].nCurSize, m_pRowInfo[r].nCurSize,
                nCxBorder2, nCyBorder2);
    }
  }
  if (hdwp == nullptr || !EndDeferWindowPos(hdwp))
    MirelTrace("Warning: DeferWindowPos failed - low system resources.\n");
  InvalidateRect(m_hWnd, nullptr, TRUE);
}

// ---------------------------------------------------------------------------
// Painting

void CMirelSplitter::DrawBarPart(HDC hdc, int nPart, const RECT* pRect) {
  if (hdc == nullptr) {
    if (m_hWnd != nullptr) InvalidateRect(m_hWnd, nullptr, TRUE);
    return;
  }
  if (pRect == nullptr) return;
  const RECT r = *pRect;
  switch (nPart) {
    case kPartSplitBox:
      FillColor(hdc, r.left, r.top, r.right, r.top + 1, COLOR_BTNFACE);
      FillColor(hdc, r.left, r.top, r.left + 1, r.bottom, COLOR_BTNFACE);
      FillColor(hdc, r.left, r.bottom - 1, r.right, r.bottom, COLOR_WINDOWFRAME);
      FillColor(hdc, r.right - 1, r.top, r.right, r.bottom, COLOR_WINDOWFRAME);
      FillColor(hdc, r.left + 1, r.top + 1, r.right - 1, r.top + 2, COLOR_BTNHIGHLIGHT);
      FillColor(hdc, r.left + 1, r.top + 1, r.left + 2, r.bottom - 1, COLOR_BTNHIGHLIGHT);
      FillColor(hdc, r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1, COLOR_BTNSHADOW);
      FillColor(hdc, r.right - 2, r.top + 1, r.right - 1, r.bottom - 1, COLOR_BTNSHADOW);
      FillColor(hdc, r.left + 2, r.top + 2, r.right - 2, r.bottom - 2, COLOR_BTNFACE);
      break;
    case kPartBar:
      FillColor(hdc, r.left, r.top, r.right, r.bottom, COLOR_BTNFACE);
      break;
    case kPartBorder:
      // Outer right and bottom, inner right and bottom, then top and left
      // over them, so the corners read as a sunken edge.
      FillColor(hdc, r.left, r.bottom - 1, r.right, r.bottom, COLOR_BTNHIGHLIGHT);
      FillColor(hdc, r.right - 1, r.top, r.right, r.bottom, COLOR_BTNHIGHLIGHT);
      FillColor(hdc, r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1, COLOR_BTNFACE);
      FillColor(hdc, r.right - 2, r.top + 1, r.right - 1, r.bottom - 1, COLOR_BTNFACE);
      FillColor(hdc, r.left, r.top, r.right - 1, r.top + 1, COLOR_BTNSHADOW);
      FillColor(hdc, r.left, r.top, r.left + 1, r.bottom - 1, COLOR_BTNSHADOW);
      FillColor(hdc, r.left + 1, r.top + 1, r.right - 2, r.top + 2, COLOR_WINDOWFRAME);
      FillColor(hdc, r.left + 1, r.top + 1, r.left + 2, r.bottom - 2, COLOR_WINDOWFRAME);
      break;
    default:
      break;
  }
}

void CMirelSplitter::DrawBars(HDC hdc) {
  if (hdc == nullptr) {
    DrawBarPart(nullptr, kPartBar, nullptr);
    return;
  }
  if (m_nRows <= 0 || m_nCols <= 0) return;
  RECT client{0, 0, 0, 0};
  GetClientRect(m_hWnd, &client);
  RECT grid, inside;
  GetGridRects(&grid, &inside);
  if (m_bVertBars && m_nRows < m_nMaxRows) {
    const RECT box{inside.right + m_bClassicLook, grid.top, grid.right, grid.top + m_cyBar};
    DrawBarPart(hdc, kPartSplitBox, &box);
  }
  if (m_bHorzBars && m_nCols < m_nMaxCols) {
    const RECT box{grid.left, inside.bottom + m_bClassicLook, grid.left + m_cxBar, grid.bottom};
    DrawBarPart(hdc, kPartSplitBox, &box);
  }
  for (int c = 0; c + 1 < m_nCols; ++c) {
    const int x = ColumnStart(c) + m_pColInfo[c].nCurSize + m_cxBarInset;
    if (x > inside.right) break;
    const RECT bar{x, client.top, x + m_cxBar, client.bottom};
    DrawBarPart(hdc, kPartBar, &bar);
  }
  for (int r = 0; r + 1 < m_nRows; ++r) {
    const int y = RowStart(r) + m_pRowInfo[r].nCurSize + m_cyBarInset;
    if (y > inside.bottom) break;
    const RECT bar{client.left, y, client.right, y + m_cyBar};
    DrawBarPart(hdc, kPartBar, &bar);
  }
  int y = client.top;
  for (int r = 0; r < m_nRows; ++r) {
    int cy = m_pRowInfo[r].nCurSize + 2 * m_cyBorder;
    if (r + 1 == m_nRows && m_bHorzBars) cy += GetSystemMetrics(SM_CYHSCROLL) - 1;
    int x = client.left;
    for (int c = 0; c < m_nCols; ++c) {
      int cx = m_pColInfo[c].nCurSize + 2 * m_cxBorder;
      if (c + 1 == m_nCols && m_bVertBars) cx += GetSystemMetrics(SM_CXVSCROLL) - 1;
      const RECT border{x, y, x + cx, y + cy};
      DrawBarPart(hdc, kPartBorder, &border);
      x += m_pColInfo[c].nCurSize + m_cxGap;
    }
    y += m_pRowInfo[r].nCurSize + m_cyGap;
  }
}

// ---------------------------------------------------------------------------
// Messages

void CMirelSplitter::FreeGrid() {
  // Each pane's window goes first, while its object exists; the document
  // forgets the object before it is deleted, and the document goes last.
  if (m_ppPanes != nullptr) {
    for (int i = 0; i < m_nMaxRows * m_nMaxCols; ++i) {
      CMirel* pEdit = m_ppPanes[i];
      if (pEdit == nullptr) continue;
      m_ppPanes[i] = nullptr;
      if (pEdit->hWndEdit != nullptr && IsWindow(pEdit->hWndEdit)) DestroyWindow(pEdit->hWndEdit);
      if (m_pDoc != nullptr) m_pDoc->UnregisterEdit(pEdit);
      delete pEdit;
    }
  }
  delete[] m_ppPanes;
  m_ppPanes = nullptr;
  delete m_pDoc;
  m_pDoc = nullptr;
  delete[] m_pColInfo;
  delete[] m_pRowInfo;
  m_pColInfo = nullptr;
  m_pRowInfo = nullptr;
  m_nRows = m_nCols = 0;
  hActivePane = nullptr;
}

void CMirelSplitter::OnDestroy() {
  if (m_bDragging) EndDrag(FALSE);
  FreeGrid();
  if (brTracker != nullptr) DeleteObject(brTracker);
  brTracker = nullptr;
}

void CMirelSplitter::RouteScroll(UINT uMsg, WPARAM wParam, HWND hBar) {
  // A shared bar scrolls the pane of its column (its row) in the active
  // pane's row (column).
  const UINT nID = static_cast<UINT>(GetDlgCtrlID(hBar)) & 0xFFFF;
  int row = 0, col = 0;
  GetActivePane(&row, &col);
  row = std::max(row, 0);
  col = std::max(col, 0);
  if (uMsg == WM_HSCROLL) {
    if (nID < MIREL_SHARED_HBAR_ID || nID >= MIREL_SHARED_HBAR_ID + static_cast<UINT>(m_nCols)) return;
    col = static_cast<int>(nID - MIREL_SHARED_HBAR_ID);
  } else {
    if (nID < MIREL_SHARED_VBAR_ID || nID >= MIREL_SHARED_VBAR_ID + static_cast<UINT>(m_nRows)) return;
    row = static_cast<int>(nID - MIREL_SHARED_VBAR_ID);
  }
  if (HWND hPane = GetPaneWindow(row, col)) SendMessageA(hPane, uMsg, wParam, reinterpret_cast<LPARAM>(hBar));
}

void CMirelSplitter::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
  for (int r = 0; r < m_nRows; ++r) {
    for (int c = 0; c < m_nCols; ++c) {
      CMirel* pEdit = GetPaneEdit(r, c);
      HWND hPane = GetPaneWindow(r, c);
      if (pEdit == nullptr || hPane == nullptr) continue;
      HWND hBar = pEdit->GetScrollBarCtrl(SB_VERT);
      if (hBar == nullptr) hBar = pEdit->GetScrollBarCtrl(SB_HORZ);
      const int nPos = hBar != nullptr ? GetScrollPos(hBar, SB_CTL) : 0;
      SendMessageA(hPane, WM_MOUSEWHEEL, wParam, lParam);
      // Panes of one row share the bar: it ends at the last pane's position.
      if (hBar != nullptr && c + 1 < m_nCols && IsWindow(hBar)) MrSetScrollPos(hBar, SB_CTL, nPos, FALSE);
    }
  }
}

void CMirelSplitter::OnPaneScrolled(const void* pInfo) {
  const auto* pScroll = static_cast<const MIREL_PANESCROLL_INFO*>(pInfo);
  if (pScroll == nullptr || pScroll->pEdit == 0) return;
  auto* pEdit = reinterpret_cast<CMirel*>(pScroll->pEdit);
  int row = -1, col = -1;
  // Only a pane of this window is looked at; the positions are read and
  // nothing changes.
  for (int r = 0; r < m_nRows && row < 0; ++r) {
    for (int c = 0; c < m_nCols; ++c) {
      if (GetPaneEdit(r, c) == pEdit) {
        row = r;
        col = c;
        break;
      }
    }
  }
  if (row < 0) return;
  if (HWND hBar = pEdit->GetScrollBarCtrl(SB_HORZ)) GetScrollPos(hBar, SB_CTL);
  if (HWND hBar = pEdit->GetScrollBarCtrl(SB_VERT)) GetScrollPos(hBar, SB_CTL);
  (void)col;
}

LRESULT CMirelSplitter::WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  HWND hWnd = m_hWnd;
  switch (uMsg) {
    case WM_NCCREATE: {
      if (HWND hParent = GetParent(hWnd)) {
        const LONG lEx = GetWindowLongA(hParent, GWL_EXSTYLE);
        if (lEx & WS_EX_CLIENTEDGE)
          SetWindowLongA(hParent, GWL_EXSTYLE, lEx & ~static_cast<LONG>(WS_EX_CLIENTEDGE));
      }
      DefWindowProcA(hWnd, uMsg, wParam, lParam);
      return TRUE;
    }
    case WM_CREATE:
      if (brTracker == nullptr) {
        static const WORD kHalftone[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
        if (HBITMAP hbm = CreateBitmap(8, 8, 1, 1, kHalftone)) {
          brTracker = CreatePatternBrush(hbm);
          DeleteObject(hbm);
        }
      }
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED && LOWORD(lParam) != 0 && HIWORD(lParam) != 0) Relayout();
      return 0;
    case WM_SETFOCUS:
      if (hActivePane != nullptr && IsWindow(hActivePane))
        SendMessageA(hActivePane, WM_SETFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(hWnd, &ps);
      if (hdc != nullptr) DrawBars(hdc);
      EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_CANCELMODE:
      EndDrag(FALSE);
      return 0;
    case WM_CAPTURECHANGED:
      // Another window took the mouse: the drag is dropped.
      if (m_bDragging && reinterpret_cast<HWND>(lParam) != hWnd) EndDrag(FALSE);
      return 0;
    case WM_KEYDOWN:
      if (OnKeyDown(static_cast<UINT>(wParam))) return 0;
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_LBUTTONDOWN:
      if (!m_bDragging) {
        const int nHit = HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (nHit != MIREL_HIT_NONE) BeginDrag(nHit);
      }
      return 0;
    case WM_LBUTTONUP:
      EndDrag(TRUE);
      return 0;
    case WM_LBUTTONDBLCLK:
      OnDoubleClick(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_COMMAND: {
      const UINT nID = LOWORD(wParam);
      if (nID >= MIREL_PANE_ID_FIRST && nID <= MIREL_PANE_ID_LAST) {
        return SendMessageA(GetParent(hWnd), WM_COMMAND, MAKEWPARAM(MIREL_PANE_ID_FIRST, HIWORD(wParam)),
                            lParam);
      }
      break;
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_SIZE) {
        if (HWND hSizing = GetSizingParent()) SendMessageA(hSizing, uMsg, wParam, lParam);
      }
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (lParam != 0) RouteScroll(uMsg, wParam, reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_MOUSEWHEEL:
      OnMouseWheel(wParam, lParam);
      return 0;
    case WM_MIREL_SPLITTER_SETVALUE:
      m_nUserValue = static_cast<int>(lParam);
      break;
    case WM_MIREL_SPLITTER_GETVALUE:
      return m_nUserValue;
    case WM_MIREL_PANESCROLLED:
      OnPaneScrolled(reinterpret_cast<const void*>(wParam));
      return 0;
    case WM_MIREL_SPLITTER_SIZEBOXSTYLE:
      if (m_bHorzBars && m_bVertBars) {
        if (HWND hBox = GetDlgItem(hWnd, static_cast<int>(MIREL_SPLITTER_SIZEBOX_ID))) {
          const LONG lStyle =
              GetWindowLongA(hBox, GWL_STYLE) & ~static_cast<LONG>(SBS_SIZEBOX | SBS_SIZEGRIP | WS_DISABLED);
          const LONG lNew = wParam == kSizeBoxDisabledRequest ? (lStyle | SBS_SIZEBOX | WS_DISABLED)
                                                              : (lStyle | SBS_SIZEGRIP);
          SetWindowLongA(hBox, GWL_STYLE, lNew);
          InvalidateRect(hBox, nullptr, TRUE);
        }
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}
