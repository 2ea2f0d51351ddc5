// A selection of the document: anchor and caret ends with their rows and
// pixel points, either a stream block (the text between the two positions) or
// a column (box) block described by one record per display row.
//
// Pixel points are document pixels: x from the text start (virtual columns
// included), y = LinesToPixels(row). A column block takes its rows from the
// two y values and its left and right edges from the two x values.
//
// Invariants: bColumnBlock is set exactly while pRows holds nRowCount (> 0)
// records, one per row from the first row of the block to the last, in row
// order; column blocks exist only in the text view; column mode is never on
// while word wrap is.
#pragma once

#include <windows.h>

#include <cstdlib>

class CMirelDoc;

// One row of a column block.
struct MIREL_BLOCK_ROW {
  DWORD nUnused;
  int nLine;          // display row
  DWORD nStart;       // first position of the segment
  DWORD nEnd;         // position after the segment
  int nStartVirtual;  // virtual columns beyond the row end at the start
  int nEndVirtual;    // and at the end
  int nLeftX;         // x bounds of the block
  int nRightX;
};

class CMrBlock {
 public:
  CMrBlock() = default;
  virtual ~CMrBlock() { std::free(pRows); }
  CMrBlock(const CMrBlock&) = delete;
  CMrBlock& operator=(const CMrBlock&) = delete;

  // The lower and higher ends, whichever way the block runs.
  DWORD GetStartPtr() const { return nAnchor < nCaret ? nAnchor : nCaret; }
  DWORD GetEndPtr() const { return nAnchor < nCaret ? nCaret : nAnchor; }
  int GetStartLine() const { return nAnchorLine < nCaretLine ? nAnchorLine : nCaretLine; }
  int GetEndLine() const { return nAnchorLine < nCaretLine ? nCaretLine : nAnchorLine; }
  BOOL IsColumnBlock() const { return bColumnBlock; }
  BOOL IsColumnMode() const { return bColumnMode; }
  BOOL IsNotEmpty() const { return nAnchor != nCaret; }
  BOOL HasSelection() const { return bColumnBlock || nAnchor != nCaret; }
  BOOL IsBlockSelected() const { return HasSelection(); }
  BOOL IsMultiLine() const { return nAnchorLine != nCaretLine; }

  // Anchor, caret and both rows 0; the column rows are freed.
  void Clear() {
    nAnchor = nCaret = 0;
    nAnchorLine = nCaretLine = 0;
    FreeRows();
  }
  // Drops the column rows (the block becomes a stream block).
  void FreeRows() {
    std::free(pRows);
    pRows = nullptr;
    nRowCount = 0;
    bColumnBlock = FALSE;
  }

  // Collapses the block at (nPos, nLine) with both pixel points there; the
  // column rows go. A non-zero bColumn turns column mode on, 0 leaves it.
  void Reset(DWORD nPos, int nLine, BOOL bColumn);
  // Moves the caret end with its pixel point; in column mode the rows are
  // built again.
  void SetCaret(DWORD nPos, int nLine);
  // The same with the caret's pixel x already known.
  void SetCaretAtX(DWORD nPos, int nLine, int x);
  // Hex view: positions and rows only, pixel points unchanged.
  void SetBoth(DWORD nPos, int nLine);
  void SetCaretRaw(DWORD nPos, int nLine);

  // Column mode on or off; refused with a beep while word wrap is on.
  void SetColumnMode(BOOL bOn);
  // Column mode off without the word-wrap check: rows freed, no virtual space.
  void LeaveColumnMode();
  // Builds the rows between the two ends; TRUE when a column block results.
  // On a single row the block becomes a stream block, or collapses when both
  // x values fall on the same position.
  BOOL BuildColumnRows();
  // Copies the rows' bytes joined by CR LF into pBuffer and returns the bytes
  // written; with a NULL buffer returns the bytes it would write.
  DWORD GetColumnText(BYTE* pBuffer);
  // Deletes the rows' segments (or, for a zero-width column, the character
  // after the column on each row) as one undo step; the block stays a
  // zero-width column at its left edge with the caret on its row.
  void DeleteColumnBlock(CMirelDoc* pDoc);

  // The segment of a display row of the column block; FALSE and 0 for a row
  // the block does not cover.
  BOOL GetBoxSegmentStart(int nLine, DWORD* pnValue);
  BOOL GetBoxSegmentEnd(int nLine, DWORD* pnValue);
  BOOL GetBoxSegmentLeftX(int nLine, int* pnValue);
  BOOL GetBoxSegmentRightX(int nLine, int* pnValue);

  BOOL bColumnBlock = FALSE;
  BOOL bColumnMode = FALSE;
  DWORD nAnchor = 0;
  DWORD nCaret = 0;
  int nAnchorLine = 0;
  int nCaretLine = 0;
  MIREL_BLOCK_ROW* pRows = nullptr;
  CMirelDoc* pdoc = nullptr;
  int nInactiveSelMode = 1;  // 0 hidden, 1 inactive colour, 2 unchanged while unfocused
  int nRowCount = 0;
  int nCollapseLine = 0;  // row of the last Reset; the text view's drag origin row
  int nAnchorX = 0;
  int nAnchorY = 0;
  int nCaretX = 0;
  int nCaretY = 0;

 private:
  // The row record of a display row, or NULL.
  const MIREL_BLOCK_ROW* FindRow(int nLine) const;
};
