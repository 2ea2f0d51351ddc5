// The text view's mouse: placing the caret, selecting by dragging, by words
// (double click, Ctrl+click), by paragraphs (triple click) and by whole rows
// (the left margin), column selection with Alt, dragging the selection to
// move or copy it, the cursor shape and scrolling while the pointer is
// outside the window.
//
// A gesture runs from the button-down (or triple click), which takes the
// mouse, to the button-up, before which the edit window has let it go.
#include <algorithm>
#include <climits>

#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelviewtext.h"
#include "mirel/metablock/mrmetaranges.h"
#include "mirel/mrhyperlinkopen.h"
#include "mirel/mirel.h"

namespace {

constexpr int kNearBand = 50;  // pixels beyond an edge where auto-scroll is fast
constexpr UINT kFastPeriod = 100;
constexpr UINT kSlowPeriod = 500;

BOOL IsKeyDown(int nVirtKey) {
  return GetKeyState(nVirtKey) < 0 ? TRUE : FALSE;
}

BOOL HasRow(const CMirelDoc& doc, int nRow) {
  return doc.pLines != nullptr && nRow >= 0 && nRow < doc.nLineCount;
}

DWORD RowStart(const CMirelDoc& doc, int nRow) {
  return HasRow(doc, nRow) ? doc.pLines[nRow].nStart : 0;
}

DWORD RowEnd(const CMirelDoc& doc, int nRow) {
  return HasRow(doc, nRow) ? MrRowEnd(doc.pLines[nRow]) : 0;
}

// The word a double click or a drag by words takes at a position (the
// document's word for selection: blanks bound words, a run of punctuation or
// line-end bytes stands alone), with an empty range at the position when the
// document has none.
void WordForSelect(CMirelDoc& doc, DWORD nPos, DWORD* pStart, DWORD* pEnd) {
  if (!doc.GetWordRangeForSelect(nPos, pStart, pEnd)) *pStart = *pEnd = nPos;
}

// The row of a position: nRow when it holds the position, else the row the
// position belongs to.
int RowHolding(CMirelDoc& doc, int nRow, DWORD nPos) {
  if (HasRow(doc, nRow) && RowStart(doc, nRow) <= nPos && nPos <= RowEnd(doc, nRow)) return nRow;
  return doc.GetLineFromPos(nPos);
}

}  // namespace

// ---------------------------------------------------------------------------
// Hit tests and the cursor

BOOL CMirelViewText::IsPointInSelection(int x, int y) {
  if (pMirel == nullptr || pdoc == nullptr || !pdoc->block.HasSelection() || !HasRow(*pdoc, 0)) return FALSE;
  CMrBlock& block = pdoc->block;
  const int nRow = static_cast<int>(LineFromYRaw(y));
  const long long nDocX = static_cast<long long>(x) + pMirel->nHScrollPos - pdoc->nLeftMargin;
  const DWORD nPos =
      pdoc->GetPosFromX(nRow, static_cast<int>(std::clamp<long long>(nDocX, INT_MIN, INT_MAX)), FALSE);
  if (block.IsColumnBlock()) {
    DWORD nStart = 0;
    DWORD nEnd = 0;
    if (!block.GetBoxSegmentStart(nRow, &nStart) || !block.GetBoxSegmentEnd(nRow, &nEnd)) return FALSE;
    return nStart <= nPos && nPos <= nEnd;
  }
  return block.GetStartPtr() <= nPos && nPos <= block.GetEndPtr();
}

int CMirelViewText::OnSetCursor(HWND, HWND, UINT nHitTest, UINT) {
  if (nHitTest != HTCLIENT || pMirel == nullptr || pdoc == nullptr || pMirel->hWndEdit == nullptr) return 0;
  POINT pt{0, 0};
  GetCursorPos(&pt);
  ScreenToClient(pMirel->hWndEdit, &pt);
  if (pt.x < pdoc->nLeftMargin) {
    SetCursor(pdoc->cursor.GetMarginCursor());
    return 1;
  }
  if (IsPointInSelection(pt.x, pt.y)) {
    SetCursor(pdoc->cursor.GetArrowCursor());
    return 1;
  }
  if (pdoc->bShowHyperLink && HasRow(*pdoc, 0)) {
    // Over a link: the hand while Ctrl is down (a click opens it), else the arrow.
    const long long nDocX = static_cast<long long>(pt.x) + pMirel->nHScrollPos - pdoc->nLeftMargin;
    const int nRow = static_cast<int>(LineFromYRaw(pt.y));
    const DWORD nPos =
        pdoc->GetPosFromX(nRow, static_cast<int>(std::clamp<long long>(nDocX, INT_MIN, INT_MAX)), FALSE);
    if (MrFindLinkAt(*pdoc, nPos, nullptr)) {
      SetCursor(IsKeyDown(VK_CONTROL) ? LoadCursorA(nullptr, IDC_HAND) : pdoc->cursor.GetArrowCursor());
      return 1;
    }
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Button down

void CMirelViewText::OnLButtonDown(HWND, int bDouble, int x, int y, UINT) {
  if (pMirel == nullptr || pdoc == nullptr || !HasRow(*pdoc, 0)) return;
  CMirelDoc& doc = *pdoc;
  HWND hWndEdit = pMirel->hWndEdit;
  if (IsPointInSelection(x, y)) {
    // A click (even a double click) in the selection may start dragging it.
    doc.SetDragPending(1);
    pMirel->bTracking = 1;
    SetCapture(hWndEdit);
    return;
  }
  const BOOL bExtend = IsKeyDown(VK_SHIFT) || doc.bAutoSelect;
  const BOOL bAlt = IsKeyDown(VK_MENU);
  const BOOL bCtrl = IsKeyDown(VK_CONTROL);
  if (!bAlt && bMouseColumnMode) {
    // The column mode of the last Alt gesture ends with this plain one.
    bMouseColumnMode = FALSE;
    if (doc.block.IsColumnMode()) {
      doc.block.LeaveColumnMode();
      doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
    }
  }
  const int nRow = static_cast<int>(LineFromYRaw(y));
  const long long nDocXWide = static_cast<long long>(x) + pMirel->nHScrollPos - doc.nLeftMargin;
  const int nDocX = static_cast<int>(std::clamp<long long>(nDocXWide, INT_MIN, INT_MAX));
  const BOOL bVirtual =
      doc.bVirtualSpace || doc.block.IsColumnMode() || (bAlt && doc.nWrapMode == MIREL_WRAP_NONE);
  if (!bVirtual) doc.nVirtualSpace = 0;
  const DWORD nPos = doc.GetPosFromX(nRow, nDocX, bVirtual);

  MrTextRange link{0, 0};
  if (bCtrl && !bDouble && MrFindLinkAt(doc, doc.GetPosFromX(nRow, nDocX, FALSE), &link)) {
    // Ctrl+click on a link opens it and leaves the caret where it is.
    MrOpenHyperLink(doc, link.nStart, link.nEnd);
    return;
  }
  if (bDouble || bCtrl) {
    if ((bDouble && doc.IsDblClkWordSelect()) || (bCtrl && !bDouble)) {
      const DWORD nOldStart = doc.block.GetStartPtr();
      const DWORD nOldEnd = doc.block.GetEndPtr();
      DWORD nWordStart = 0;
      DWORD nWordEnd = 0;
      doc.nVirtualSpace = 0;
      WordForSelect(doc, nPos, &nWordStart, &nWordEnd);
      const int nStartRow = RowHolding(doc, nRow, nWordStart);
      const int nEndRow = RowHolding(doc, nRow, nWordEnd);
      doc.cli = nStartRow;
      doc.nCaretPos = static_cast<int>(nWordStart);
      doc.block.Reset(nWordStart, nStartRow, FALSE);
      doc.block.SetCaret(nWordEnd, nEndRow);
      doc.anchorBlock.Reset(nWordStart, nStartRow, FALSE);
      doc.anchorBlock.SetCaret(nWordEnd, nEndRow);
      doc.UpdateAllViews(REPAINT_TAG_RANGE, std::min(nOldStart, nWordStart), std::max(nWordEnd, nOldEnd));
      UpdateCaret(1, 1);
      // The button is still down: a drag from here extends by whole words,
      // which needs the mouse until the button-up.
      pMirel->bTracking = 1;
      SetCapture(hWndEdit);
    }
    if (bDouble) doc.NotifyParent(5);
    return;
  }

  pMirel->bTracking = 1;
  SetCapture(hWndEdit);
  if (x < doc.nLeftMargin) {
    // Whole rows from here; the drag and the button-up extend them.
    doc.bLineSelecting = 1;
    doc.nVirtualSpace = 0;
    const DWORD nStart = RowStart(doc, nRow);
    if (!bExtend) doc.block.Reset(nStart, nRow, FALSE);
    doc.block.SetCaret(RowEnd(doc, nRow), nRow);
    nMarginAnchorRow = nRow;
    doc.nCaretPos = static_cast<int>(nStart);
    doc.cli = nRow;
    UpdateCaret(1, 1);
    doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
    return;
  }
  doc.cli = nRow;
  doc.nCaretPos = static_cast<int>(nPos);
  if (bAlt) {
    if (doc.nWrapMode != MIREL_WRAP_NONE) {
      // Wrapped rows share no column grid: the caret moves, no column block.
      MessageBeep(MB_ICONHAND);
      if (doc.block.HasSelection()) doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
      doc.block.Reset(nPos, nRow, FALSE);
    } else {
      if (doc.block.HasSelection()) doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
      bMouseColumnMode = bMouseColumnMode || !doc.block.IsColumnMode();
      doc.block.Reset(nPos, nRow, TRUE);
    }
  } else if (bExtend) {
    doc.block.SetCaret(nPos, nRow);
    doc.UpdateAllViews(REPAINT_TAG_RANGE, doc.block.GetStartPtr(), doc.block.GetEndPtr());
  } else {
    if (doc.block.HasSelection())
      doc.UpdateAllViews(REPAINT_TAG_RANGE, doc.block.GetStartPtr(), doc.block.GetEndPtr());
    doc.block.Reset(nPos, nRow, FALSE);
  }
  UpdateCaret(1, 1);
}

void CMirelViewText::OnLButtonTripleClk(HWND, int, int, UINT) {
  if (pMirel == nullptr || pdoc == nullptr || !HasRow(*pdoc, 0)) return;
  CMirelDoc& doc = *pdoc;
  const DWORD nCaret = std::min(static_cast<DWORD>(std::max(doc.nCaretPos, 0)), doc.GetContentsSize());
  const DWORD nStart = doc.GetParagraphStart(nCaret);
  const DWORD nEnd = doc.GetParagraphEndWithNewline(nCaret);
  const DWORD nOldStart = doc.block.GetStartPtr();
  const DWORD nOldEnd = doc.block.GetEndPtr();
  const int nStartRow = doc.GetLineFromPos(nStart);
  const int nEndRow = doc.GetLineFromPos(nEnd);
  doc.nVirtualSpace = 0;
  doc.block.Reset(nStart, nStartRow, FALSE);
  doc.block.SetCaret(nEnd, nEndRow);
  doc.anchorBlock.Reset(nStart, nStartRow, FALSE);
  doc.anchorBlock.SetCaret(nEnd, nEndRow);
  doc.nCaretPos = static_cast<int>(nEnd);
  doc.cli = nEndRow;
  UpdateCaret(1, 1);
  doc.UpdateAllViews(REPAINT_TAG_RANGE, std::min(nOldStart, nStart), std::max(nEnd, nOldEnd));
  pMirel->bTracking = 1;
  SetCapture(pMirel->hWndEdit);
}

// ---------------------------------------------------------------------------
// Moves while the mouse is held

UINT CMirelViewText::OnMouseMove(HWND hWnd, int x, int y, UINT) {
  if (pMirel == nullptr || pdoc == nullptr || !HasRow(*pdoc, 0)) return 0;
  CMirelDoc& doc = *pdoc;
  CMrBlock& block = doc.block;
  const int nRow = static_cast<int>(LineFromYRaw(y));
  const long long nDocXWide = static_cast<long long>(x) + pMirel->nHScrollPos - doc.nLeftMargin;
  const int nDocX = static_cast<int>(std::clamp<long long>(nDocXWide, INT_MIN, INT_MAX));
  const RECT& rc = pMirel->rcEdit;

  if (doc.bLineSelecting) {
    const DWORD nOldCaret = block.nCaret;
    const int nAnchor = std::clamp(nMarginAnchorRow, 0, doc.nLineCount - 1);
    doc.nVirtualSpace = 0;
    if (nRow < nAnchor) {
      block.Reset(RowEnd(doc, nAnchor), nAnchor, FALSE);
      block.SetCaret(RowStart(doc, nRow), nRow);
    } else {
      block.Reset(RowStart(doc, nAnchor), nAnchor, FALSE);
      block.SetCaret(RowEnd(doc, nRow), nRow);
    }
    doc.nCaretPos = static_cast<int>(RowStart(doc, nRow));
    doc.cli = nRow;
    UpdateCaret(1, 0);
    doc.UpdateAllViews(REPAINT_TAG_RANGE, std::min(nOldCaret, block.nCaret),
                       std::max(nOldCaret, block.nCaret));
  } else if (block.IsColumnMode()) {
    const DWORD nPos = doc.GetPosFromX(nRow, nDocX, TRUE);
    doc.nCaretPos = static_cast<int>(nPos);
    doc.cli = nRow;
    block.SetCaret(nPos, nRow);
    UpdateCaret(1, 0);
    doc.UpdateAllViews(REPAINT_TAG_RANGE, block.GetStartPtr(), block.GetEndPtr());
  } else if (doc.IsDragPending()) {
    // Nothing can be dropped into a read-only document: no scrolling either.
    if (doc.bReadOnly) {
      SetCursor(LoadCursorA(nullptr, IDC_NO));
      return 0;
    }
    const BOOL bInside = doc.nLeftMargin < x && x < rc.right && doc.nRulerHeight < y && y < rc.bottom;
    if (bInside) {
      // The caret shows where the text would land.
      doc.nVirtualSpace = 0;
      const DWORD nDrop = doc.GetPosFromX(nRow, nDocX, FALSE);
      const long long nCaretX =
          static_cast<long long>(doc.GetXFromPos(nRow, nDrop, FALSE)) + doc.nLeftMargin - pMirel->nHScrollPos;
      const long long nCaretY =
          static_cast<long long>(nRow - pMirel->nTopLine) * GetSafeLineHeight() + doc.nRulerHeight;
      SetCaretPos(static_cast<int>(std::clamp<long long>(nCaretX, INT_MIN, INT_MAX)),
                  static_cast<int>(std::clamp<long long>(nCaretY, INT_MIN, INT_MAX)));
      SetCursor(IsKeyDown(VK_CONTROL) ? doc.cursor.GetDragCopyCursor() : doc.cursor.GetDragMoveCursor());
    } else {
      SetCursor(LoadCursorA(nullptr, IDC_NO));
    }
  } else {
    const DWORD nOldCaret = block.nCaret;
    if (!doc.bVirtualSpace) doc.nVirtualSpace = 0;
    const DWORD nPos = doc.GetPosFromX(nRow, nDocX, doc.bVirtualSpace);
    if (doc.anchorBlock.HasSelection()) {
      // Whole words (or paragraphs) around the anchor: the selection always
      // covers the anchor and its caret end is the higher end.
      const DWORD nAnchorStart = doc.anchorBlock.GetStartPtr();
      const DWORD nAnchorEnd = doc.anchorBlock.GetEndPtr();
      DWORD nWordStart = 0;
      DWORD nWordEnd = 0;
      WordForSelect(doc, nPos, &nWordStart, &nWordEnd);
      const DWORD nMoving = nPos > nAnchorEnd ? nWordEnd : nWordStart;
      doc.nVirtualSpace = 0;
      doc.nCaretPos = static_cast<int>(nMoving);
      doc.cli = RowHolding(doc, nRow, nMoving);
      const DWORD nLow = std::min(nMoving, nAnchorStart);
      const DWORD nHigh = std::max(nMoving, nAnchorEnd);
      block.Reset(nLow, doc.GetLineFromPos(nLow), FALSE);
      block.SetCaret(nHigh, doc.GetLineFromPos(nHigh));
      UpdateCaret(1, 1);
    } else {
      doc.nCaretPos = static_cast<int>(nPos);
      doc.cli = nRow;
      block.SetCaret(nPos, nRow);
      UpdateCaret(1, 0);
    }
    doc.UpdateAllViews(REPAINT_TAG_RANGE, std::min(nOldCaret, block.nCaret),
                       std::max(nOldCaret, block.nCaret));
  }

  // Scrolling while the pointer is outside: the farther, the slower.
  UINT nPeriod = AutoScroll(y);
  if (nPeriod != 0 && pMirel->bInSplitter)
    NotifyPaneScrolled(-1, pMirel->nTopLine, reinterpret_cast<LPARAM>(pMirel));
  if (doc.nWrapMode == MIREL_WRAP_NONE) {
    const long long nBeyondRight = static_cast<long long>(x) - rc.right;
    BOOL bScrolled = FALSE;
    if (nBeyondRight > 0 && block.GetEndPtr() < RowEnd(doc, doc.cli)) {
      SendMessageA(hWnd, WM_HSCROLL, SB_LINERIGHT, 0);
      nPeriod = std::max(nPeriod, nBeyondRight <= kNearBand ? kFastPeriod : kSlowPeriod);
      bScrolled = TRUE;
    } else if (x < 0 && RowStart(doc, doc.cli) < block.GetStartPtr()) {
      SendMessageA(hWnd, WM_HSCROLL, SB_LINELEFT, 0);
      nPeriod = std::max(nPeriod, -static_cast<long long>(x) > kNearBand ? kSlowPeriod : kFastPeriod);
      bScrolled = TRUE;
    }
    if (bScrolled && pMirel->bInSplitter)
      NotifyPaneScrolled(pMirel->nHScrollPos, -1, reinterpret_cast<LPARAM>(pMirel));
  }
  return nPeriod;
}

// ---------------------------------------------------------------------------
// Button up

void CMirelViewText::OnLButtonUp(HWND, int x, int y, UINT) {
  if (pMirel == nullptr || pdoc == nullptr || !HasRow(*pdoc, 0)) return;
  CMirelDoc& doc = *pdoc;
  CMrBlock& block = doc.block;
  const BOOL bCtrl = IsKeyDown(VK_CONTROL);
  doc.anchorBlock.Clear();
  const int nRow = static_cast<int>(LineFromYRaw(y));
  const long long nDocXWide = static_cast<long long>(x) + pMirel->nHScrollPos - doc.nLeftMargin;
  const int nDocX = static_cast<int>(std::clamp<long long>(nDocXWide, INT_MIN, INT_MAX));
  const RECT& rc = pMirel->rcEdit;

  if (doc.bLineSelecting) {
    // The release row is selected whole, with its line break.
    doc.bLineSelecting = 0;
    DWORD nCaret = 0;
    if (nRow < nMarginAnchorRow) {
      nCaret = RowStart(doc, nRow);
    } else if (nRow + 1 < doc.nLineCount) {
      nCaret = RowStart(doc, nRow + 1);
    } else {
      nCaret = doc.GetContentsSize();
    }
    const int nCaretRow = doc.GetLineFromPos(nCaret);
    doc.nVirtualSpace = 0;
    doc.nCaretPos = static_cast<int>(nCaret);
    doc.cli = nCaretRow;
    block.SetCaret(nCaret, nCaretRow);
    UpdateCaret(1, 1);
    doc.UpdateAllViews(REPAINT_TAG_RANGE, block.GetStartPtr(), block.GetEndPtr());
    return;
  }
  if (!doc.IsDragPending()) return;
  doc.SetDragPending(0);

  doc.nVirtualSpace = 0;
  const BOOL bOutside = x <= doc.nLeftMargin || x >= rc.right || y <= doc.nRulerHeight || y >= rc.bottom;
  if (IsPointInSelection(x, y)) {
    // A click in the selection without a drag: the caret goes there.
    const DWORD nPos = doc.GetPosFromX(nRow, nDocX, FALSE);
    doc.nCaretPos = static_cast<int>(nPos);
    doc.cli = nRow;
    block.Reset(nPos, nRow, FALSE);
    UpdateCaret(1, 1);
    doc.bAutoSelect = FALSE;
  } else if (bOutside) {
    UpdateCaret(1, 1);  // the drop is cancelled
  } else if (doc.bReadOnly) {
    const DWORD nPos = doc.GetPosFromX(nRow, nDocX, FALSE);
    doc.nCaretPos = static_cast<int>(nPos);
    doc.cli = nRow;
    block.Reset(nPos, nRow, FALSE);
    UpdateCaret(1, 1);
  } else if (!block.IsColumnBlock()) {
    // The drop lands on a real position: virtual space is not filled.
    const DWORD nDest = doc.GetPosFromX(nRow, nDocX, FALSE);
    const DWORD nSource = block.GetStartPtr();
    const DWORD nCount = block.GetEndPtr() - nSource;
    const DWORD nSizeBefore = doc.GetContentsSize();
    DWORD nNew = doc.MoveBytes(bCtrl, nSource, nDest, nCount, TRUE);
    const BOOL bChanged = bCtrl ? doc.GetContentsSize() != nSizeBefore : nNew != nSource;
    if (bChanged) {
      // The moved text selected, whole characters at both ends.
      const DWORD nEnd = MrCaretOffCharMiddle(doc, nNew + nCount, TRUE);
      nNew = MrCaretOffCharMiddle(doc, nNew);
      doc.UpdateAllScrollBars();
      block.Reset(nNew, doc.GetLineFromPos(nNew), FALSE);
      const int nEndRow = doc.GetLineFromPos(nEnd);
      block.SetCaret(nEnd, nEndRow);
      doc.nCaretPos = static_cast<int>(nEnd);
      doc.cli = nEndRow;
    }
    UpdateCaret(1, 1);
  }
  doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}
