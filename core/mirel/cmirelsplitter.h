// The split-pane window: one document shown in a grid of edit panes (at most
// 16 x 16) separated by draggable bars, with one shared scroll bar per column
// and per row instead of bars in every pane. The class is registered when the
// library loads; a window of it has an object only when made by
// CMirelSplitter::Create.
#pragma once

#include <windows.h>

#include "mirel/cmirel.h"
#include "mirel/cmrsplitcursor.h"

class CMirel;
class CMirelDoc;
class CMirelSplitter;

// Child identifiers: panes 0xE900 + 16 * row + column (cmirel.h), the shared
// bars 0xEA00 + column and 0xEA10 + row, and the size box in the corner.
constexpr UINT MIREL_SPLITTER_SIZEBOX_ID = 0xEA20;
constexpr int MIREL_SPLITTER_MAX_PANES = 16;  // rows and columns each

// Messages of the split-pane window besides those of its panes.
#ifndef WM_MIREL_SPLITTER_SETVALUE
#define WM_MIREL_SPLITTER_SETVALUE (WM_USER + 40)      // lParam: a value kept for the host
#define WM_MIREL_SPLITTER_GETVALUE (WM_USER + 41)      // returns that value
#define WM_MIREL_SPLITTER_SIZEBOXSTYLE (WM_USER + 53)  // wParam 8: a disabled size box, else a grip
#endif

// Hit codes of the bars and boxes.
constexpr int MIREL_HIT_NONE = 0;
constexpr int MIREL_HIT_ROW_SPLITBOX = 1;
constexpr int MIREL_HIT_COL_SPLITBOX = 2;
constexpr int MIREL_HIT_ROW_BAR = 101;   // + row above the bar, 0 to 14
constexpr int MIREL_HIT_COL_BAR = 201;   // + column left of the bar, 0 to 14
constexpr int MIREL_HIT_CROSSING = 301;  // + row * 15 + column
constexpr int MIREL_HIT_BAR_COUNT = 15;
constexpr int MIREL_HIT_CROSSING_LAST = MIREL_HIT_CROSSING + MIREL_HIT_BAR_COUNT * MIREL_HIT_BAR_COUNT - 1;

// Size of one row or one column.
struct CMirelSplitterRowColInfo {
  int nMinSize;    // below it the row or column collapses
  int nIdealSize;  // the size asked for; 0 when it is to collapse
  int nCurSize;    // the size laid out; -1 before the first layout
};

// The class registration and the table of splitter windows and their objects.
struct MIREL_SPLITTER_ENTRY {
  CMirelSplitter* pSplitter;
  HWND hWnd;
};

class CMirelSplitterRegistrar {
 public:
  // Registers the class under the host program's module handle. The first
  // registrar built becomes the one the class window procedure uses.
  CMirelSplitterRegistrar();
  virtual ~CMirelSplitterRegistrar();
  CMirelSplitterRegistrar(const CMirelSplitterRegistrar&) = delete;
  CMirelSplitterRegistrar& operator=(const CMirelSplitterRegistrar&) = delete;

  static CMirelSplitterRegistrar* GetActive();

  // Records a window and its object and sets the object's window handle;
  // FALSE when either is NULL, the handle is recorded already or the table
  // cannot grow.
  BOOL Add(CMirelSplitter* pSplitter, HWND hWnd);
  CMirelSplitter* Lookup(HWND hWnd) const;
  // Drops the pair of a window that is going; later pairs move forward.
  void Forget(HWND hWnd);
  // Drops every pair of an object that is being deleted.
  void ForgetSplitter(const CMirelSplitter* pSplitter);

  int GetCapacity() const { return nCapacity; }
  int GetUsed() const { return nUsed; }

  MIREL_SPLITTER_ENTRY* pEntries;  // zero-filled past the used pairs
  int nCapacity;
  int nUsed;

 private:
  static CMirelSplitterRegistrar* s_pActive;
};

constexpr int MIREL_SPLITTER_REGISTRAR_INITIAL_CAPACITY = 10;

// The process-wide registrar, first of the library's process-wide objects.
extern CMirelSplitterRegistrar g_SplitterRegistrar;

// The class window procedure: the creation message of a window binds it to
// the object that CMirelSplitter::Create is making it for; any other
// creation is refused.
LRESULT CALLBACK MirelSplitterWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

class CMirelSplitter {
 public:
  CMirelSplitter();
  virtual ~CMirelSplitter();
  CMirelSplitter(const CMirelSplitter&) = delete;
  CMirelSplitter& operator=(const CMirelSplitter&) = delete;

  // Makes the window (child nID of hWndParent) with its first pane. The
  // limits are kept within 1 to 16; dwStyle's WS_HSCROLL and WS_VSCROLL ask
  // for shared bars instead of bars of the window. FALSE when the window or
  // its first pane cannot be made (nothing is left behind).
  BOOL Create(HWND hWndParent, int nMaxRows, int nMaxCols, int nMinCx, int nMinCy, UINT nID, LPVOID pUnused,
              DWORD dwStyle);

  virtual BOOL CreateSharedScrollBar(DWORD dwStyle, UINT nID);
  virtual BOOL CreatePane(int row, int col, int cx, int cy);
  virtual CMirel* GetPaneEdit(int row, int col) const;
  virtual int HitTest(POINT pt) const;
  virtual void DeletePane(int row, int col);
  virtual void DrawBars(HDC hdc);
  // The tracker of a bar or box, and the drag limit and offset for it.
  virtual void GetHitRect(int nHit, RECT* pRect);
  // Draws a split box (1), a bar (2) or a sunken border (3); without a DC
  // the whole window is invalidated instead.
  virtual void DrawBarPart(HDC hdc, int nPart, const RECT* pRect);
  virtual void InvertTrackerRect(const RECT* pRect);
  virtual void SetCursorForHit(int nHit);
  virtual void BeginDrag(int nHit);
  virtual void EndDrag(BOOL bAccept);
  virtual void ResizeColumnAt(int x, int col);
  virtual void ResizeRowAt(int y, int row);
  virtual void OnPaneScrolled(const void* pInfo);
  virtual int Reserved(int, int, int, int) { return 0; }
  virtual BOOL SplitRow(int y);
  virtual BOOL SplitColumn(int x);
  virtual HWND GetActivePane(int* pRow, int* pCol) const;
  virtual void FocusNextPane(BOOL bPrev);
  virtual void DeleteColumn(int colDelete);
  virtual void DeleteRow(int rowDelete);
  virtual void SetActivePane(int row, int col, HWND hWnd);

  // The size of a new pane after a split at nBeforeSize, or -1 when it or
  // the pane before it would be below its minimum.
  int GetNewPaneSize(const CMirelSplitterRowColInfo* pInfoBefore, int nBeforeSize, int nSizeSplitter) const;
  // Sizes along one direction: the last row or column takes what is left,
  // one that cannot reach its minimum collapses into the one before.
  void DistributeSizes(CMirelSplitterRowColInfo* pInfo, int nCount, int nExtent, int nGap) const;
  void Relayout();

  static UINT PaneID(int row, int col) { return MIREL_PANE_ID_FIRST + static_cast<UINT>(row * 16 + col); }
  HWND GetPaneWindow(int row, int col) const;
  // TRUE for a child of this window with a pane identifier; -1, -1 otherwise.
  BOOL GetPaneRowCol(HWND hWnd, int* pRow, int* pCol) const;

  // The grid area (client less the border) and the inside rectangle (the
  // grid area less the shared bars).
  void GetGridRects(RECT* pGrid, RECT* pInside) const;
  // Left or top of a column or row in client coordinates.
  int ColumnStart(int col) const;
  int RowStart(int row) const;
  CMirelDoc* GetDocument() const { return m_pDoc; }

  LRESULT WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam);
  // WM_NCDESTROY: the handle leads nowhere from now on.
  void OnNcDestroy() { m_hWnd = nullptr; }

  BOOL m_bModernLook;
  BOOL m_bClassicLook;
  BOOL m_bHorzBars;
  BOOL m_bVertBars;
  BOOL m_bDragging;
  BOOL m_bDragBoth;
  CMrSplitCursor m_cursors;
  CMirel** m_ppPanes;
  HBRUSH brTracker;
  HWND hActivePane;
  int nCxBorder2, nCyBorder2;
  int m_cxBar, m_cyBar;
  int m_cxBarInset, m_cyBarInset;
  int m_cxGap, m_cyGap;
  int m_cxBorder, m_cyBorder;
  POINT m_ptDragOffset;
  RECT m_rcDragLimit;
  RECT m_rcDragBar, m_rcDragBar2;
  CMirelSplitterRowColInfo* m_pColInfo;
  CMirelSplitterRowColInfo* m_pRowInfo;
  int m_nDragHit;
  int m_nRows, m_nCols;
  int m_nMaxRows, m_nMaxCols;
  int m_nUserValue;
  CMirelDoc* m_pDoc;
  HWND m_hWnd;

 private:
  void ApplySharedBars(DWORD dwStyle);
  void PlaceSizeBox(HDWP* phdwp, const RECT& inside, const RECT& grid);
  HWND GetSizingParent() const;
  void OnDestroy();
  void FreeGrid();
  void OnMouseMove(POINT pt);
  // TRUE when the key belonged to a drag.
  BOOL OnKeyDown(UINT nVirtKey);
  void OnDoubleClick(POINT pt);
  void OnMouseWheel(WPARAM wParam, LPARAM lParam);
  void RouteScroll(UINT uMsg, WPARAM wParam, HWND hBar);
  void MoveTracker(RECT* pTracker, int x, int y);
  void CopyViewStateInto(int rowFrom, int colFrom, int row, int col);
  // Moves rows (or columns) after `index` one place forward: identifiers,
  // table entries, shared bars and size records.
  void CloseRowGap(int rowDelete);
  void CloseColumnGap(int colDelete);
  void ForgetPaneWindow(HWND hWnd);
};
