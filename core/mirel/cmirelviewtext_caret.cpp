// The text view's geometry and repaint bookkeeping: rows per page, the row
// under a y, bringing a row into view, repaint requests, the system caret,
// keeping the caret in view, and the scroll bars.
#include <windows.h>

#include <imm.h>

#include <algorithm>
#include <climits>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelviewtext.h"
#include "mirel/mirel.h"
#include "mirel/mrscrollbar.h"
#include "mirel/mrviewdraw.h"

namespace {

using MrViewDraw::ClampToInt;

// Input language of the composition whose caret covers the composed syllable.
constexpr BYTE kImeLanguageKorean = 3;
// Height of the overwrite caret: a bar at the bottom of the glyph cell.
constexpr int kOverwriteCaretHeight = 2;

// Finds the bracket pair at the caret and records it for painting.
void UpdateMatchingBrace(CMirelViewText& view, CMirelDoc& doc);

// The nCharLen bytes of the character at text offset nPos, read the way every
// store hands them out: the pointer GetText returns stands for the offset
// GetTextOffset, not for nPos. NULL when they are not all loaded.
const BYTE* CharBytesAt(CContentsHandler& store, DWORD nPos, DWORD nCharLen) {
  const BYTE* p = store.GetText(nPos);
  const long long nIndex = static_cast<long long>(nPos) - store.GetTextOffset();
  if (p == nullptr || nIndex < 0 || nIndex + nCharLen > store.GetLoadedLength()) return nullptr;
  return p + nIndex;
}

}  // namespace

// ---------------------------------------------------------------------------
// Geometry

int CMirelViewText::GetSafeLineHeight() const {
  return pdoc != nullptr ? std::max(pdoc->nLineHeight, 1) : 1;
}

int CMirelViewText::GetSafeFontHeight() const {
  return pdoc != nullptr ? std::max(pdoc->nFontHeight, 1) : 1;
}

int CMirelViewText::GetTextAreaHeight() const {
  if (pMirel == nullptr || pdoc == nullptr) return 0;
  return ClampToInt(std::max(0LL, static_cast<long long>(pMirel->rcEdit.bottom) - pdoc->nRulerHeight));
}

int CMirelViewText::GetPageLineCount() {
  if (pdoc == nullptr) return 0;
  // A window lower than one glyph cell has no page rows, never a negative count.
  const long long room = static_cast<long long>(GetTextAreaHeight()) - std::max(pdoc->nFontHeight, 0);
  return room > 0 ? ClampToInt(room / GetSafeLineHeight()) : 0;
}

BOOL CMirelViewText::GetTopLineToShow(UINT nLine, int nMode, UINT* pTop) {
  return FindTopLineToShow(nLine, nMode, pTop);
}

UINT CMirelViewText::LineFromY(int y) {
  return RowFromY(y);
}

UINT CMirelViewText::LineFromYRaw(int y) {
  if (pMirel == nullptr || pdoc == nullptr) return 0;
  const long long nTop = std::max(pMirel->nTopLine, 0);
  const long long nRows = GetRowCount();
  if (y < pdoc->nRulerHeight || nRows == 0)
    return static_cast<UINT>(std::min(nTop, std::max(nRows - 1, 0LL)));
  // The first row whose bottom is at or below y: a y on a boundary belongs
  // to the row above.
  const long long h = GetSafeLineHeight();
  const long long below = static_cast<long long>(y) - pdoc->nRulerHeight;
  const long long nRow = nTop + (below > 0 ? (below - 1) / h : 0);
  return static_cast<UINT>(std::min(nRow, nRows - 1));
}

// ---------------------------------------------------------------------------
// Repaint requests

void CMirelViewText::Invalidate(int nTag, DWORD nFrom, DWORD nTo) {
  // Every request repaints all visible rows; the positions are not needed.
  RecordRepaint(nTag, nFrom, nTo, FALSE);
}

void CMirelViewText::RequestPaint() {
  if (pMirel == nullptr || !pMirel->bRedraw || pMirel->hWndEdit == nullptr) return;
  const RECT rc{0, 0, 1, 1};
  InvalidateRect(pMirel->hWndEdit, &rc, FALSE);
}

// ---------------------------------------------------------------------------
// Scroll bars

void CMirelViewText::SetVScrollPosToTopLine() {
  if (pMirel == nullptr || pMirel->hWndEdit == nullptr) return;
  const int nPos = ClampToInt(static_cast<long long>(std::max(pMirel->nTopLine, 0)) * GetSafeLineHeight());
  if (HWND hBar = pMirel->GetScrollBarCtrl(SB_VERT)) {
    MrSetScrollPos(hBar, SB_CTL, nPos);
  } else {
    MrSetScrollPos(pMirel->hWndEdit, SB_VERT, nPos);
  }
}

void CMirelViewText::SetHScrollPosToOffset() {
  if (pMirel == nullptr || pMirel->hWndEdit == nullptr) return;
  if (HWND hBar = pMirel->GetScrollBarCtrl(SB_HORZ)) {
    MrSetScrollPos(hBar, SB_CTL, pMirel->nHScrollPos);
  } else {
    MrSetScrollPos(pMirel->hWndEdit, SB_HORZ, pMirel->nHScrollPos);
  }
}

void CMirelViewText::NotifyPaneScrolled(int nHScroll, int nTop, LPARAM lParam) {
  if (pMirel == nullptr || !pMirel->bInSplitter || pMirel->hWndEdit == nullptr) return;
  HWND hParent = GetParent(pMirel->hWndEdit);
  if (hParent == nullptr) return;
  MIREL_PANESCROLL_INFO info{};
  info.pEdit = reinterpret_cast<LONG_PTR>(pMirel);
  info.nHScrollPos = nHScroll;
  info.nTopLine = nTop;
  info.nOne = 1;
  SendMessageA(hParent, WM_MIREL_PANESCROLLED, reinterpret_cast<WPARAM>(&info), lParam);
}

void CMirelViewText::UpdateScrollBars() {
  if (pMirel == nullptr || pdoc == nullptr || !pMirel->bRedraw || pMirel->hWndEdit == nullptr) return;
  SetVerticalScrollBar();
  if (pdoc->nWrapMode != MIREL_WRAP_NONE) {
    // Wrapped rows fit the window: there is no horizontal range, and the
    // hidden bar keeps none from the rows before wrapping (a shared bar of a
    // split-pane parent is only disabled).
    if (pMirel->GetScrollBarCtrl(SB_HORZ) == nullptr) {
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      MrSetScrollInfo(pMirel->hWndEdit, SB_HORZ, si);
    }
    return;
  }
  const long long nClientWidth = pMirel->rcEdit.right;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  // A margin wider than the window leaves an empty page, never a negative one.
  si.nMax = ClampToInt(std::max(0LL, nClientWidth + std::max(pdoc->nMaxLineWidth, 0) - pdoc->nLeftMargin));
  si.nPage = static_cast<UINT>(std::clamp<long long>(nClientWidth - pdoc->nLeftMargin, 0, INT_MAX));
  si.nPos = pMirel->nHScrollPos;
  if (HWND hBar = pMirel->GetScrollBarCtrl(SB_HORZ)) {
    MrSetScrollInfo(hBar, SB_CTL, si);
  } else {
    MrSetScrollInfo(pMirel->hWndEdit, SB_HORZ, si);
  }
}

void CMirelViewText::OnVScroll(HWND, HWND, UINT nCode, short) {
  // The thumb position comes from the bar itself (32 bits), not the short.
  ScrollVertically(nCode);
}

void CMirelViewText::OnHScroll(HWND, HWND, UINT nCode, short) {
  if (pMirel == nullptr || pdoc == nullptr || pMirel->hWndEdit == nullptr) return;
  // Wrapped text always fits the width.
  if (pdoc->nWrapMode != MIREL_WRAP_NONE) return;
  const long long nPage = static_cast<long long>(pMirel->rcEdit.right) - pdoc->nLeftMargin;
  const long long d =
      HScrollStep(nCode, GetSafeFontHeight(), std::max(nPage, 0LL), std::max(pdoc->nMaxLineWidth, 0));
  if (d == 0) return;
  pMirel->nHScrollPos = ClampToInt(std::max(pMirel->nHScrollPos, 0) + d);
  SetHScrollPosToOffset();
  UpdateCaret(0, 0);
  Invalidate(REPAINT_TAG_ALL, 0, 0);
}

void CMirelViewText::OnSize(HWND, UINT, int cx, int cy) {
  if (pMirel == nullptr || pMirel->hWndEdit == nullptr) return;
  GetClientRect(pMirel->hWndEdit, &pMirel->rcEdit);
  // The next paint makes a back buffer of the new size.
  if (pMirel->hBackBitmap != nullptr) DeleteObject(pMirel->hBackBitmap);
  pMirel->hBackBitmap = nullptr;
  // Only the width moves wrap points: a window made taller or shorter keeps
  // its rows. WM_SIZE (0, 0) comes after the left margin changed, which
  // moves them as well.
  const BOOL bMarginChanged = cx == 0 && cy == 0;
  if (pdoc != nullptr && pdoc->nWrapMode != MIREL_WRAP_NONE && pdoc->pContents != nullptr &&
      (bMarginChanged || pdoc->nTextWidth != pMirel->rcEdit.right)) {
    // Rows follow the new width; the caret keeps its position and its row
    // is found again.
    pdoc->nTextWidth = pMirel->rcEdit.right;
    pdoc->ReloadContents();
    pdoc->ResyncRowsAfterRelayout();
  }
  UpdateScrollBars();
  if (GetFocus() == pMirel->hWndEdit) UpdateCaret(1, 0);
  Invalidate(REPAINT_TAG_ALL, 0, 0);
}

// ---------------------------------------------------------------------------
// Caret

void CMirelViewText::UpdateCaret(int bSetGoalX, int bScroll) {
  if (pMirel == nullptr || pdoc == nullptr) return;
  CMirelDoc& doc = *pdoc;
  const int nPageLines = GetPageLineCount();
  const int nLineHeight = GetSafeLineHeight();
  const int nFontHeight = GetSafeFontHeight();
  const BOOL bOverwrite = doc.IsOverwriteMode();
  const bool bHasRows = doc.pContents != nullptr && doc.pLines != nullptr && doc.nLineCount > 0;
  // The caret row is the one the commands left. A row that does not hold
  // the caret position (stale after a change) is replaced by the row that
  // does, so the caret never stands on one row with the x of another.
  int nCaretRow = 0;
  if (bHasRows) {
    const DWORD nPos = static_cast<DWORD>(std::max(doc.nCaretPos, 0));
    nCaretRow = doc.cli;
    const bool bInTable = nCaretRow >= 0 && nCaretRow < doc.nLineCount;
    if (!bInTable || nPos < doc.pLines[nCaretRow].nStart ||
        nPos > static_cast<unsigned long long>(doc.pLines[nCaretRow].nStart) + doc.pLines[nCaretRow].nLen) {
      nCaretRow = doc.GetLineFromPos(nPos);
      doc.cli = nCaretRow;
    }
  }

  // Caret x, width and height.
  long long x = doc.nLeftMargin;
  int nWidth = 1;
  int nHeight = nFontHeight;
  if (!bHasRows) {
    if (bOverwrite) {
      nWidth = std::max(doc.nCharWidth[0], 1);
      nHeight = kOverwriteCaretHeight;
    }
  } else if (doc.nIMECompLen > 0 && doc.nIMECompPos >= 0) {
    const DWORD nCompPos = static_cast<DWORD>(doc.nIMECompPos);
    const DWORD nTextLen = doc.pContents->GetTextLength();
    const int nCompRow = doc.GetLineFromPos(nCompPos);
    if (doc.nIMELanguage == kImeLanguageKorean) {
      x += doc.GetXFromPos(nCompRow, nCompPos, FALSE);
      // The caret covers the syllable being composed.
      const DWORD nCharLen = nCompPos < nTextLen ? doc.GetCharLengthAt(nCompPos) : 0;
      const BYTE* pText = nCharLen > 0 ? CharBytesAt(*doc.pContents, nCompPos, nCharLen) : nullptr;
      if (pText != nullptr) nWidth = std::max(doc.GetCharWidth(pText, nCharLen), 1);
    } else {
      const long long nCursor = std::clamp<long long>(doc.nIMECursor, 0, doc.nIMECompLen);
      const DWORD nCursorPos = static_cast<DWORD>(std::min<long long>(nCompPos + nCursor, nTextLen));
      x += doc.GetXFromPos(doc.GetLineFromPos(nCursorPos), nCursorPos, FALSE);
    }
  } else {
    const DWORD nPos = static_cast<DWORD>(std::max(doc.nCaretPos, 0));
    x += doc.GetXFromPos(nCaretRow, nPos, TRUE);
    if (bOverwrite) {
      // As wide as the character under it; at the end of the text there is
      // none to read, and the caret keeps a visible width.
      const DWORD nCharLen = doc.GetCharLengthAt(nPos);
      const BYTE* pText = nCharLen > 0 ? CharBytesAt(*doc.pContents, nPos, nCharLen) : nullptr;
      nWidth = pText != nullptr ? doc.GetCharWidth(pText, nCharLen) : doc.nCharWidth[0];
      nWidth = std::max(nWidth, 1);
      nHeight = kOverwriteCaretHeight;
    }
  }
  const int nOldCaretX = nCaretX;
  nCaretX = ClampToInt(x);

  // Keep the caret in view.
  const long long nClientWidth = pMirel->rcEdit.right;
  const bool bClientEmpty = pMirel->rcEdit.right <= 0 || pMirel->rcEdit.bottom <= 0;
  if (bScroll && !bClientEmpty) {
    bool bScrolled = false;
    if (doc.nWrapMode == MIREL_WRAP_NONE) {
      const long long nLeft = static_cast<long long>(pMirel->nHScrollPos) + doc.nLeftMargin;
      const bool bLeftOf = x < nLeft;
      const bool bRightOf = x + nWidth > pMirel->nHScrollPos + nClientWidth && doc.nLeftMargin < nClientWidth;
      if (bLeftOf || bRightOf) {
        const int nNew = ClampToInt(std::max(x - nClientWidth / 2, 0LL));
        if (nNew != pMirel->nHScrollPos) bScrolled = true;
        pMirel->nHScrollPos = nNew;
      }
    }
    if (ScrollRowIntoView(nCaretRow, nPageLines)) bScrolled = true;
    if (bScrolled) {
      SetHScrollPosToOffset();
      SetVScrollPosToTopLine();
      Invalidate(REPAINT_TAG_ALL, 0, 0);
      NotifyPaneScrolled(pMirel->nHScrollPos, pMirel->nTopLine, reinterpret_cast<LPARAM>(this));
    }
  }

  // The overwrite bar sits at the bottom of the glyph cell.
  const long long yShift =
      nHeight == kOverwriteCaretHeight && bOverwrite ? nFontHeight - kOverwriteCaretHeight : 0;
  const int nCaretY = CaretYOfRow(nCaretRow, nPageLines, nLineHeight, yShift);
  const int nOldCaretY = nLastCaretY;
  nLastCaretY = nCaretY;

  PlaceSystemCaret(ClampToInt(x - pMirel->nHScrollPos), nCaretY, nWidth, nHeight, doc.nLeftMargin);

  if (bSetGoalX) pMirel->nGoalCaretX = nCaretX;

  if (doc.bShowMatchingBrace && doc.pContents != nullptr) UpdateMatchingBrace(*this, doc);

  // The caret row may be drawn differently; the ruler shows the caret column.
  if (doc.nActiveLineType != 0 && nCaretY != nOldCaretY) {
    Invalidate(REPAINT_TAG_RANGE, 0, 0);
  } else if (doc.IsShowRuler()) {
    Invalidate(REPAINT_TAG_RULER, 0, 0);
  }
  // The column guide is drawn on the screen at the caret's x by every paint:
  // a caret that moved along its row needs the screen copied again, or the
  // guide would stay where the caret was.
  const bool bColumnGuide = doc.nActiveLineType == 6 || doc.nActiveLineType == 7;
  if (bColumnGuide && nCaretX != nOldCaretX && pMirel->bRedraw && pMirel->hWndEdit != nullptr)
    InvalidateRect(pMirel->hWndEdit, &pMirel->rcEdit, FALSE);
}

// ---------------------------------------------------------------------------
// Messages left to the system

LRESULT CMirelViewText::PassToDefault(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (pMirel == nullptr || pMirel->hWndEdit == nullptr) return 0;
  return DefWindowProcA(pMirel->hWndEdit, uMsg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Matching braces

namespace {

void UpdateMatchingBrace(CMirelViewText& view, CMirelDoc& doc) {
  const MrDocText text = MrGetDocText(doc);
  const DWORD nCaret = static_cast<DWORD>(std::clamp<long long>(doc.nCaretPos, 0, text.nLen));
  // The bracket at the caret wins over the one before it; a caret at the end
  // of the text has no character to read.
  auto BraceAt = [&text](DWORD nPos, const char* pszSet) -> UINT {
    for (const char* pc = pszSet; *pc != '\0'; ++pc)
      if (text.UnitIs(nPos, static_cast<BYTE>(*pc))) return static_cast<BYTE>(*pc);
    return 0;
  };
  constexpr char kOpening[] = "(<[{";
  constexpr char kClosing[] = ")>]}";
  DWORD p = 0;
  DWORD q = 0;
  BOOL bFound = FALSE;
  if (const UINT ch = BraceAt(nCaret, kOpening)) {
    p = nCaret;
    q = doc.GetNextCharPos(nCaret);
    bFound = doc.FindMatchingBrace(&q, ch, TRUE);
  } else if (const UINT ch2 = BraceAt(nCaret, kClosing)) {
    q = nCaret;
    p = doc.GetPrevCharPosInParagraph(nCaret);
    bFound = nCaret > 0 && doc.FindMatchingBrace(&p, ch2, FALSE);
  } else if (nCaret > 0) {
    const DWORD h = doc.GetPrevCharPosInParagraph(nCaret);
    if (const UINT ch3 = BraceAt(h, kOpening)) {
      p = h;
      q = nCaret;
      bFound = doc.FindMatchingBrace(&q, ch3, TRUE);
    } else if (const UINT ch4 = BraceAt(h, kClosing)) {
      q = h;
      p = doc.GetPrevCharPosInParagraph(h);
      bFound = h > 0 && doc.FindMatchingBrace(&p, ch4, FALSE);
    }
  }
  const DWORD nOld0 = static_cast<DWORD>(std::max(doc.nBracePos[0], 0));
  const DWORD nOld1 = static_cast<DWORD>(std::max(doc.nBracePos[1], 0));
  if (bFound) {
    view.Invalidate(REPAINT_TAG_RANGE, std::min(nOld0, p), std::max(nOld1, q));
    doc.nBracePos[0] = static_cast<int>(p);
    doc.nBracePos[1] = static_cast<int>(q);
  } else if (doc.nBracePos[0] != doc.nBracePos[1]) {
    // No pair at the caret (no bracket, or one without a partner): the old
    // pair must not stay highlighted on text it no longer belongs to.
    view.Invalidate(REPAINT_TAG_RANGE, nOld0, nOld1);
    doc.nBracePos[0] = doc.nBracePos[1] = 0;
  }
}

}  // namespace
