// The hex view of an edit window: the document's file bytes (byte-order mark
// included) as rows of an address, two-digit hex cells and the same bytes as
// characters, with a ruler of column numbers above. Hex digits are typed
// nibble by nibble into the cells, characters into the character column.
//
// Positions are file offsets; row r holds the bytes from r * bytes per row up
// to the next row's start, so the position after a row's last byte shows at
// the start of the next row (cli is always the row of the caret position).
//
// Where each operation lives:
//   cmirelviewhex.cpp        geometry, repaint requests, scroll bars,
//                            scrolling, size, caret, cursor, input method
//   cmirelviewhex_paint.cpp  OnPaint, the row, cell, character and ruler painters
//   cmirelviewhex_keys.cpp   typing (hex digits, characters, input-method
//                            characters), Backspace, Delete, Tab, Escape, moves
//   cmirelviewhex_mouse.cpp  button down, drag selection, button up
#pragma once

#include <windows.h>

#include <climits>

#include "cmirelview.h"

// Where the hex view's caret stands (CMirelDoc::nHexCaretArea) and what a
// document x hits (CMirelDoc::HexHitTest).
constexpr int MIREL_HEX_AREA_ADDRESS = 0;
constexpr int MIREL_HEX_AREA_CELLS = 1;
constexpr int MIREL_HEX_AREA_GAP = 2;
constexpr int MIREL_HEX_AREA_CHARS = 3;
constexpr int MIREL_HEX_AREA_BEYOND = 4;

class CMirelViewHex : public CMirelView {
 public:
  CMirelViewHex();
  ~CMirelViewHex() override;

  // --- View interface, in slot order -----------------------------------------
  int GetPageLineCount() override;
  BOOL GetTopLineToShow(UINT nLine, int nMode, UINT* pTop) override;
  BOOL IsPointInSelection(int x, int y) override;
  int OnSetCursor(HWND hWnd, HWND hWndUnder, UINT nHitTest, UINT nMouseMsg) override;
  UINT OnMouseMove(HWND hWnd, int x, int y, UINT nKeys) override;  // mouse
  LRESULT OnImeChar(WPARAM wParam, LPARAM lParam) override;        // keys
  LRESULT OnImeComposition(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnImeNotify(WPARAM wParam, LPARAM lParam) override;
  UINT LineFromY(int y) override;
  void Invalidate(int nTag, DWORD nFrom, DWORD nTo) override;
  void OnChar(HWND hWnd, char ch, int nRepeat) override;  // keys
  void OnHScroll(HWND hWnd, HWND hWndBar, UINT nCode, short nPos) override;
  void OnKeyBack(int nRepeat, int bCtrl, int bAlt, int bShift) override;          // keys
  void OnKeyDelete(int nRepeat, int bCtrl, int bAlt, int bShift) override;        // keys
  void MoveDown(int nRepeat, int bCtrl, int bAlt, int bShift) override;           // keys
  void MoveLineEnd(int nRepeat, int bCtrl, int bAlt, int bShift) override;        // keys
  void OnKeyReturn(int nRepeat, int bCtrl, int bAlt, int bShift) override;        // keys
  void OnKeyEscape(int nRepeat, int bCtrl, int bAlt, int bShift) override;        // keys
  void OnKeyHanja(int nRepeat, int bCtrl, int bAlt, int bShift) override;         // keys
  void MoveLineHome(int nRepeat, int bCtrl, int bAlt, int bShift) override;       // keys
  void MoveLeft(int nRepeat, int bCtrl, int bAlt, int bShift) override;           // keys
  void MovePageDown(int nRepeat, int bCtrl, int bAlt, int bShift) override;       // keys
  void MovePageUp(int nRepeat, int bCtrl, int bAlt, int bShift) override;         // keys
  void MoveRight(int nRepeat, int bCtrl, int bAlt, int bShift) override;          // keys
  void OnKeyTab(int nRepeat, int bCtrl, int bAlt, int bShift) override;           // keys
  void MoveUp(int nRepeat, int bCtrl, int bAlt, int bShift) override;             // keys
  void OnLButtonDown(HWND hWnd, int bDouble, int x, int y, UINT nKeys) override;  // mouse
  void OnLButtonTripleClk(HWND hWnd, int x, int y, UINT nKeys) override;          // mouse
  void OnLButtonUp(HWND hWnd, int x, int y, UINT nKeys) override;                 // mouse
  void OnPaint(HWND hWnd) override;                                               // paint
  void OnSize(HWND hWnd, UINT nType, int cx, int cy) override;
  void OnVScroll(HWND hWnd, HWND hWndBar, UINT nCode, short nPos) override;
  void UpdateCaret(int bSetGoalX, int bScroll) override;
  void UpdateScrollBars() override;

  // --- cmirelviewhex.cpp: helpers for the other parts of the view ------------
  // TRUE while the view can act: it has its window and document, the
  // document has a text store and is shown as hex.
  BOOL IsReady() const;
  // Width and height of a digit of the hex font, each at least 1.
  int GetDigitWidth() const;
  int GetDigitHeight() const;
  // Bytes in the file (byte-order mark included).
  DWORD GetDataLength() const;
  // The window's vertical / horizontal scroll position (the shared bar of a
  // split-pane parent or the window's own), redrawn.
  void SetVScrollPosToTopLine();
  void SetHScrollPosToOffset();
  // Tells a split-pane parent that this pane scrolled (-1: unchanged).
  void NotifyPaneScrolled(int nHScroll, int nTop);

  // --- cmirelviewhex_paint.cpp ------------------------------------------------
  // One row at y; FALSE for a row outside the data.
  BOOL DrawLine(HDC hdc, int nRow, int y, COLORREF crFore, COLORREF crBack, BOOL bFocused);
  // A run of n bytes from position p, as cells and as characters; each
  // advances its own x.
  void DrawHexCells(HDC hdc, int* px, int y, DWORD p, DWORD n, BOOL bSelected, COLORREF crFore,
                    COLORREF crBack);
  void DrawChars(HDC hdc, int* px, int y, DWORD p, DWORD n, BOOL bSelected, COLORREF crFore, COLORREF crBack);
  void DrawRuler(HDC hdc);

  // --- cmirelviewhex_keys.cpp: the shared steps of edits and moves -----------
  // Caret on a position (cut to the data) and its row.
  void PlaceCaret(DWORD nPos);
  // The common end of every edit: block collapsed at the caret, scroll bars,
  // caret, repaint from nFrom.
  void FinishEdit(DWORD nFrom);
  // Before a move: the nibble is dropped, and without a selection the anchor
  // is set to the caret.
  void BeginMove();
  // After a move: the selection follows the caret (bExtend) or collapses at
  // it; the rows that changed are repainted.
  void FinishMove(BOOL bExtend, DWORD nOldCaret);
  // One whole move: refused with Alt; BeginMove, the step (given the
  // document, whether the selection extends and the caret before), FinishMove
  // and the caret (goal x kept by the vertical moves).
  template <typename Step>
  void RunMove(int bAlt, int bShift, BOOL bSetGoalX, Step step);
  // Caret onto a row at the goal x, in the caret's area.
  void PlaceCaretAtGoalX(int nRow);
  // Replaces nOldLen bytes at nPos by the data (an insertion when nOldLen is
  // 0) as one recorded edit; FALSE when the document refused it.
  BOOL ReplaceBytes(DWORD nPos, DWORD nOldLen, const BYTE* pData, DWORD nLen);
  // A hex digit typed into the cells.
  void TypeHexDigit(int nValue);
  // A character unit typed into the character column.
  void TypeCharUnit(const BYTE* pUnit, DWORD nLen, BOOL bReplaceSelection, DWORD nRepaintFrom);

  // The byte whose high nibble was typed last (valid while the document's
  // bHexComposition is set): the second digit writes only this byte.
  DWORD nNibblePos = 0;
  // Width of a row in pixels, set by UpdateScrollBars.
  int nContentWidth = 0;
  // Caret row and y of the last UpdateCaret (the caret-row repaint compares
  // with them); INT_MIN until the first update.
  int nLastCaretY = INT_MIN;
  DWORD nLastCaretPos = 0;
};
