// The text view of an edit window: shows the document's display rows and
// turns keys, characters and the mouse into document commands.
//
// Where each operation lives:
//   cmirelviewtext.cpp        construction and destruction
//   cmirelviewtext_paint.cpp  OnPaint and the row, run and mark painters
//   cmirelviewtext_caret.cpp  GetPageLineCount, GetTopLineToShow, LineFromY,
//                             LineFromYRaw, Invalidate, OnHScroll, OnVScroll,
//                             OnSize, UpdateCaret, UpdateScrollBars and the
//                             scroll helpers
//   cmirelviewtext_ime.cpp    OnImeChar, OnImeComposition, OnImeNotify,
//                             OnKeyHanja: input-method text and composition
//   cmirelviewtext_keys.cpp   OnChar, OnKeyBack, OnKeyDelete, OnKeyReturn,
//                             OnKeyEscape, OnKeyTab and the Move* operations
//   cmirelviewtext_mouse.cpp  IsPointInSelection, OnSetCursor, OnMouseMove,
//                             OnLButtonDown, OnLButtonTripleClk, OnLButtonUp
#pragma once

#include <windows.h>

#include <array>
#include <climits>
#include <vector>

#include "cmirelview.h"

enum class MrImeDrop;

// The record a pane of a split-pane window sends with WM_MIREL_PANESCROLLED:
// the edit object, the new horizontal offset and top row (-1: unchanged), a
// field the text view leaves alone, and 1.
struct MIREL_PANESCROLL_INFO {
  LONG_PTR pEdit;  // the CMirel* that scrolled
  LONG nHScrollPos;
  LONG nTopLine;
  LONG nReserved;
  LONG nOne;
};

class CMirelViewText : public CMirelView {
 public:
  CMirelViewText();
  ~CMirelViewText() override;

  // --- View interface, in slot order -----------------------------------------
  int GetPageLineCount() override;                                                     // caret
  BOOL GetTopLineToShow(UINT nLine, int nMode, UINT* pTop) override;                   // caret
  BOOL IsPointInSelection(int x, int y) override;                                      // mouse
  int OnSetCursor(HWND hWnd, HWND hWndUnder, UINT nHitTest, UINT nMouseMsg) override;  // mouse
  UINT OnMouseMove(HWND hWnd, int x, int y, UINT nKeys) override;                      // mouse
  LRESULT OnImeChar(WPARAM wParam, LPARAM lParam) override;                            // ime
  LRESULT OnImeComposition(WPARAM wParam, LPARAM lParam) override;                     // ime
  LRESULT OnImeNotify(WPARAM wParam, LPARAM lParam) override;                          // ime
  // Ends a composition shown here when the text changes under it (see
  // CMirelDoc::DropImeComposition) and tells the input method to cancel it.
  void DropImeComposition(MrImeDrop how);                                              // ime
  UINT LineFromY(int y) override;                                                      // caret
  void Invalidate(int nTag, DWORD nFrom, DWORD nTo) override;                          // caret
  void OnChar(HWND hWnd, char ch, int nRepeat) override;                               // keys
  void OnHScroll(HWND hWnd, HWND hWndBar, UINT nCode, short nPos) override;            // caret
  void OnKeyBack(int nRepeat, int bCtrl, int bAlt, int bShift) override;               // keys
  void OnKeyDelete(int nRepeat, int bCtrl, int bAlt, int bShift) override;             // keys
  void MoveDown(int nRepeat, int bCtrl, int bAlt, int bShift) override;                // keys
  void MoveLineEnd(int nRepeat, int bCtrl, int bAlt, int bShift) override;             // keys
  void OnKeyReturn(int nRepeat, int bCtrl, int bAlt, int bShift) override;             // keys
  void OnKeyEscape(int nRepeat, int bCtrl, int bAlt, int bShift) override;             // keys
  void OnKeyHanja(int nRepeat, int bCtrl, int bAlt, int bShift) override;              // ime
  void MoveLineHome(int nRepeat, int bCtrl, int bAlt, int bShift) override;            // keys
  void MoveLeft(int nRepeat, int bCtrl, int bAlt, int bShift) override;                // keys
  void MovePageDown(int nRepeat, int bCtrl, int bAlt, int bShift) override;            // keys
  void MovePageUp(int nRepeat, int bCtrl, int bAlt, int bShift) override;              // keys
  void MoveRight(int nRepeat, int bCtrl, int bAlt, int bShift) override;               // keys
  void OnKeyTab(int nRepeat, int bCtrl, int bAlt, int bShift) override;                // keys
  void MoveUp(int nRepeat, int bCtrl, int bAlt, int bShift) override;                  // keys
  void OnLButtonDown(HWND hWnd, int bDouble, int x, int y, UINT nKeys) override;       // mouse
  void OnLButtonTripleClk(HWND hWnd, int x, int y, UINT nKeys) override;               // mouse
  void OnLButtonUp(HWND hWnd, int x, int y, UINT nKeys) override;                      // mouse
  void OnPaint(HWND hWnd) override;                                                    // paint
  void OnSize(HWND hWnd, UINT nType, int cx, int cy) override;                         // caret
  void OnVScroll(HWND hWnd, HWND hWndBar, UINT nCode, short nPos) override;            // caret
  void UpdateCaret(int bSetGoalX, int bScroll) override;                               // caret
  void UpdateScrollBars() override;                                                    // caret

  // --- cmirelviewtext_caret.cpp: helpers for the other parts of the view -----
  // The row under a client y for the mouse: the top row above the text area,
  // a y on a row boundary belongs to the row above, the last row below all.
  UINT LineFromYRaw(int y);
  // Row height, font height and text area height, each safe to divide by or
  // compare (row and font height at least 1, area height at least 0).
  int GetSafeLineHeight() const;
  int GetSafeFontHeight() const;
  int GetTextAreaHeight() const;
  // The last row shown whole below the top row (keys).
  int LastWhollyVisibleRow();
  // The window's vertical / horizontal scroll position (the shared bar of a
  // split-pane parent or the window's own bar), redrawn.
  void SetVScrollPosToTopLine();
  void SetHScrollPosToOffset();
  // Tells a split-pane parent that this pane scrolled (-1: unchanged);
  // lParam is the view or the edit object, as the caller's protocol says.
  void NotifyPaneScrolled(int nHScroll, int nTop, LPARAM lParam);
  // Invalidates a 1x1 rectangle at the origin (no erase) while redrawing.
  void RequestPaint();
  // A message the view leaves to the default window procedure.
  LRESULT PassToDefault(UINT uMsg, WPARAM wParam, LPARAM lParam);

  // --- cmirelviewtext_paint.cpp: row, run and mark painters ------------------
  BOOL DrawLine(HDC hdc, int nLine, int y, COLORREF crFore, COLORREF crBack, BOOL bFocused, int chBookmark,
                BOOL bArrow);
  // What the run painters put down: a run painted by itself gets its cell and
  // its glyphs; DrawLine paints all the cells of a row first and then all its
  // glyphs, so that no cell covers ink a neighbouring glyph puts past its advance.
  enum RunLayer : BYTE { RUN_LAYER_ALL, RUN_LAYER_BACK, RUN_LAYER_INK };
  RunLayer nRunLayer = RUN_LAYER_ALL;
  // 1: the right edge was reached, 0: drawn, -1: wholly left of the text area.
  int DrawTextRun(HDC hdc, int* px, int y, const BYTE* pText, DWORD nLen, COLORREF crFore, COLORREF crBack,
                  BOOL bLink);
  int DrawImeRun(HDC hdc, int* px, int y, const BYTE* pText, DWORD nPos, DWORD nLen, COLORREF crFore,
                 COLORREF crBack);
  void DrawMatchingBrace(HDC hdc, int xRun, int y, const BYTE* pRun, DWORD nRunLen, DWORD nOffset,
                         COLORREF crFore, COLORREF crBack);
  void DrawEolMark(HDC hdc, int x, int y, COLORREF crBack);
  void DrawEofMark(HDC hdc, int x, int y, COLORREF crBack);
  void DrawSpaceMark(HDC hdc, int x, int y, const BYTE* pText, DWORD nLen);
  void DrawTabMark(HDC hdc, int x1, int x2, int y);
  void FillSelectionRect(HDC hdc, int x1, int x2, int y, COLORREF cr);
  void DrawRuler(HDC hdc);

  // --- cmirelviewtext_box.cpp: column-block typing ---------------------------
  // Each edits every row of the column block as one undo step and leaves a
  // box (or a zero-width column) on the same rows. TypeInBox takes the typed
  // character as code-page bytes (one or two). DeleteBox is in the keys file.
  void TypeInBox(const char* pChars, size_t nChars);
  void BackInBox();
  void DeleteBox();
  void TabInBox();
  // The box again over its rows with anchor and caret at the two x values.
  void PlaceBox(int nFirstRow, int nLastRow, BOOL bCaretOnFirst, int nAnchorX, int nCaretX);
  // Scroll bars, caret and a full repaint.
  void FinishBoxEdit();

  // --- cmirelviewtext_keys.cpp: helpers of the key operations ----------------
  // Set when a keyboard or mouse gesture (Shift+Alt, Alt+drag) turned column
  // mode on; the next plain gesture turns it off again, so only a column mode
  // the host set through the document lasts beyond one selection.
  BOOL bColumnModeFromGesture = FALSE;
  void EndGestureColumnMode();
  // The common start and end of every caret move (see the keys file).
  BOOL BeginMove(int bAlt, BOOL bExtend);
  void FinishMove(BOOL bExtend, DWORD nOldCaret);
  // The common end of every edit: block collapsed at the caret, scroll bars,
  // caret, repaint from nFrom. bInCaretParagraph: the edit was one
  // contiguous change that put no line break in (typing, Backspace), so while
  // the paragraph count stays what was painted it changed the caret's
  // paragraph only.
  void FinishEdit(DWORD nFrom, BOOL bInCaretParagraph = FALSE);

  // --- cmirelviewtext_rowrepaint.cpp: repainting only an edited paragraph ----
  // The layout the back buffer shows, taken at each paint.
  struct PaintedLayout {
    int nLineCount = -1;
    int nParaCount = -1;
    int nTopLine = 0;
    int nHScrollPos = 0;
    int nLeftMargin = 0;
    int nLineHeight = 0;
    int nRulerHeight = 0;
    int nWrapMode = 0;
    RECT rcEdit{};
  };
  PaintedLayout paintedLayout;
  PaintedLayout CurrentLayout() const;
  static bool SameLayout(const PaintedLayout& a, const PaintedLayout& b);
  // After an edit inside the caret's paragraph: requests a repaint of that
  // paragraph's visible rows alone when every other row still shows what
  // the back buffer holds (same rows, paragraphs, scroll, margin and no
  // other request pending, and nothing that colours across paragraphs).
  // FALSE when it cannot tell, and nothing was requested.
  BOOL RequestCaretParagraphRepaint();
  // Moves the caret to a row at the goal x (vertical moves).
  void PlaceCaretAtGoalX(int nRow, BOOL bAllowVirtual);

  // --- cmirelviewtext_mouse.cpp: (helpers are declared here as they land) ----
  // Column mode that an Alt+click turned on; the next plain click ends it, so
  // that later selections are not silently made column blocks.
  BOOL bMouseColumnMode = FALSE;
  // The row where a row selection in the left margin started.
  int nMarginAnchorRow = 0;

  // --- cmirelviewtext_ime.cpp: the inline composition ------------------------
  // What a composition took the place of when it started: the text it
  // replaced (a selection, an overwritten character) and the spaces that
  // filled virtual space before it. The composition itself never enters the
  // undo history: the replaced text is put back before the result is
  // recorded as one replace step, and a cancelled composition puts it back.
  struct ImeOrigin {
    BOOL bActive = FALSE;
    DWORD nStart = 0;            // where the replaced text was
    std::vector<BYTE> replaced;  // the bytes the composition replaced
    DWORD nPrefixLen = 0;        // spaces before the composition
    int nVirtualSpace = 0;       // virtual space before the composition
    BOOL bModified = FALSE;      // modified flag before the composition
  } imeOrigin;
  // Bytes the composition and its leading spaces take in the text, or
  // kNotHeld when the text no longer holds it where it was recorded.
  static constexpr DWORD kNotHeld = 0xFFFFFFFF;
  DWORD ImeShownLength() const;
  // Puts the replaced text back without a record; FALSE when the text no
  // longer holds the composition where it was recorded.
  BOOL RestoreImeOrigin();
  // Replaces the composition (or, with none shown, the selection or the
  // character to overwrite) by the document bytes as one undoable step and
  // moves the caret after them. FALSE when nothing changed.
  BOOL CommitImeText(const std::vector<BYTE>& text);
  // Removes a shown composition and puts back what it replaced.
  void CancelImeComposition();

  // Conversion buffer of one run for TextOutW (UTF-16 units).
  static constexpr int TEXT_RUN_BUFFER_LEN = 10000;
  std::array<WCHAR, TEXT_RUN_BUFFER_LEN> szRunBuffer{};

  // Last caret y set by UpdateCaret (client pixels); the caret-row repaint
  // compares with it instead of asking the system caret.
  // INT_MIN until the first update.
  int nLastCaretY = INT_MIN;
};
