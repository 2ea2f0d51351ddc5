// The interface through which an edit window and its document drive a view:
// painting, caret, scroll bars, keys, characters, mouse, input method and
// repaint requests. The text view and the hex view implement it; an edit
// window makes each at most once and keeps it.
//
// Key operations take (repeat, ctrl, alt, shift): the repeat count and three
// flags, each 0 or 1. Mouse operations take client coordinates.
#pragma once

#include <windows.h>

#include <functional>

class CMirel;
class CMirelDoc;

// Pending repaint request of an edit window (CMirel::nRepaintTag). The
// document's update hints are the same numbers.
constexpr int REPAINT_TAG_NONE = 0;    // nothing pending: WM_PAINT only copies the back buffer
constexpr int REPAINT_TAG_RECORD = 1;  // record the visible rows as dirty, do not invalidate
constexpr int REPAINT_TAG_ALL = 2;     // every visible row
constexpr int REPAINT_TAG_FROM = 3;    // from the row of a position to the end of the page
constexpr int REPAINT_TAG_RANGE = 4;   // from the row of one position to the row of another
constexpr int REPAINT_TAG_RULER = 5;   // the ruler only

class CMirelView {
 public:
  explicit CMirelView(int nType) : nViewType(nType) {}
  virtual ~CMirelView() = default;
  CMirelView(const CMirelView&) = delete;
  CMirelView& operator=(const CMirelView&) = delete;

  // Whole rows that fit below the ruler; the views compute it from their
  // own row height.
  virtual int GetPageLineCount() { return 0; }
  // TRUE when the row is visible; otherwise FALSE and *pTop receives a top
  // row that shows it (mode 0: second row of the page, 1: last row, 2: centred).
  virtual BOOL GetTopLineToShow(UINT nLine, int nMode, UINT* pTop) = 0;
  virtual BOOL IsPointInSelection(int x, int y) = 0;
  // 1 when the view set a cursor, 0 for the class cursor.
  virtual int OnSetCursor(HWND hWnd, HWND hWndUnder, UINT nHitTest, UINT nMouseMsg) = 0;
  // Called only while the window holds the capture; returns the auto-scroll
  // period in milliseconds, 0 inside the text area.
  virtual UINT OnMouseMove(HWND hWnd, int x, int y, UINT nKeys) = 0;
  virtual LRESULT OnImeChar(WPARAM wParam, LPARAM lParam) = 0;
  virtual LRESULT OnImeComposition(WPARAM wParam, LPARAM lParam) = 0;
  virtual LRESULT OnImeNotify(WPARAM wParam, LPARAM lParam) = 0;
  // The row under a client y.
  virtual UINT LineFromY(int y) = 0;
  // A repaint request: one of the REPAINT_TAG_* values with the positions it
  // uses (REPAINT_TAG_FROM the first, REPAINT_TAG_RANGE both).
  virtual void Invalidate(int nTag, DWORD nFrom, DWORD nTo) = 0;
  virtual void OnChar(HWND hWnd, char ch, int nRepeat) = 0;
  virtual void OnHScroll(HWND hWnd, HWND hWndBar, UINT nCode, short nPos) = 0;
  virtual void OnKeyBack(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void OnKeyDelete(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void MoveDown(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void MoveLineEnd(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void OnKeyReturn(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void OnKeyEscape(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void OnKeyHanja(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void MoveLineHome(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void MoveLeft(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void MovePageDown(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void MovePageUp(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void MoveRight(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void OnKeyTab(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void MoveUp(int nRepeat, int bCtrl, int bAlt, int bShift) = 0;
  virtual void OnLButtonDown(HWND hWnd, int bDouble, int x, int y, UINT nKeys) = 0;
  virtual void OnLButtonTripleClk(HWND hWnd, int x, int y, UINT nKeys) = 0;
  virtual void OnLButtonUp(HWND hWnd, int x, int y, UINT nKeys) = 0;
  virtual void OnPaint(HWND hWnd) = 0;
  virtual void OnSize(HWND hWnd, UINT nType, int cx, int cy) = 0;
  virtual void OnVScroll(HWND hWnd, HWND hWndBar, UINT nCode, short nPos) = 0;
  // Places the caret; bScroll brings it into view, bSetGoalX stores its x as
  // the goal of vertical moves (CMirel::nGoalCaretX).
  virtual void UpdateCaret(int bSetGoalX, int bScroll) = 0;
  virtual void UpdateScrollBars() = 0;

  // --- Geometry and repaint steps both views share ---------------------------
  // Height of one row in this view type (never below 1) and the rows there are.
  int GetRowHeight() const;
  int GetRowCount() const;
  // The row that holds a position (display line or hex row).
  int GetRowOfPos(DWORD nPos) const;
  // Whole rows that fit below the ruler, 0 when none.
  int GetWholeRowsBelowRuler() const;
  // Records a repaint request in the edit window and invalidates it (tag 1
  // of the hex view only records). bKeepRanges: the hex view's rules, where
  // tags 3 to 5 keep their rows while nothing else is pending; otherwise
  // every request repaints all visible rows.
  void RecordRepaint(int nTag, DWORD nFrom, DWORD nTo, BOOL bKeepRanges);
  // The row under a client y: the top row on the ruler, at most the last row.
  UINT RowFromY(int y) const;
  // TRUE when the row is visible; otherwise FALSE and *pTop (when given) gets
  // a top row that shows it: mode 0 as the second row of the page, 1 as the
  // last fully visible row, 2 centred.
  BOOL FindTopLineToShow(UINT nLine, int nMode, UINT* pTop) const;
  // WM_VSCROLL: moves the top row by whole rows within the scroll range.
  void ScrollVertically(UINT nCode);
  // The vertical scroll range, page and position (the window's own bar or a
  // split-pane parent's shared bar).
  void SetVerticalScrollBar();
  // WM_SIZE: the new client rectangle, a new back buffer on the next paint,
  // scroll bars, caret (when focused) and a full repaint.
  void ResizeToClient();
  // WM_PAINT through the edit window's back buffer (made at the client size
  // when missing, kept until the next size change). By the pending tag:
  // nothing new (0), the ruler only (5), or the ruler and each dirty row that
  // starts inside the client area, each row first filled with the background,
  // and the area below the last row filled too. Then the whole client area is
  // copied to the screen and nothing is pending any more. paintRow gets the
  // memory DC, the row and its rectangle; paintRuler (may be empty) the DC.
  using RowPainter = std::function<void(HDC hdc, int nRow, const RECT& rcRow)>;
  using RulerPainter = std::function<void(HDC hdc)>;
  void PaintThroughBackBuffer(HFONT hFont, const RowPainter& paintRow, const RulerPainter& paintRuler);

  // During a drag: scrolls one row when the pointer is above or below the text
  // area and returns the period of the next step in ms (0 inside).
  UINT AutoScroll(int y);

  // --- The caret steps both views share --------------------------------------
  // Moves the top row just far enough that nRow is on a page of nPageLines
  // rows; TRUE when it moved.
  BOOL ScrollRowIntoView(int nRow, int nPageLines);
  // Client y of a caret on nRow: yShift below the row's top while the row is
  // on the page, above the window otherwise.
  int CaretYOfRow(int nRow, int nPageLines, long long nRowHeight, long long yShift) const;
  // Makes, moves and shows the system caret, only in the focused window (one
  // caret per thread), hidden over the ruler or left of nLeftEdge, and moves
  // a composition window that follows the caret.
  void PlaceSystemCaret(int xClient, int nCaretY, int nWidth, int nHeight, int nLeftEdge);
  // The horizontal bar's track position while its thumb is dragged (the
  // split-pane parent's bar or the window's own); FALSE when it has none.
  BOOL GetHScrollTrackPos(int* pnTrack) const;
  // WM_HSCROLL: how far the horizontal position moves for the code (a line
  // of nLine or a page of nPage pixels, or to the thumb), never past nWidth
  // and never left of 0; 0 for a code that does not scroll.
  long long HScrollStep(UINT nCode, long long nLine, long long nPage, long long nWidth) const;

  int nCaretX = 0;            // caret x in document pixels, before horizontal scrolling
  int nViewType;              // MIREL_VIEW_TYPE_TEXT or MIREL_VIEW_TYPE_HEX
  CMirel* pMirel = nullptr;   // the owning edit window
  CMirelDoc* pdoc = nullptr;  // its document
};
