// The hex view's geometry and bookkeeping: rows per page, the row under a y,
// repaint requests, the scroll bars and scrolling, resizing, the system
// caret and keeping it in view, the cursor, and the input-method messages it
// leaves to the system.
#include "mirel/cmirelviewhex.h"

#include <imm.h>

#include <algorithm>
#include <climits>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmirelviewtext.h"
#include "mirel/mirel.h"
#include "mirel/mrviewdraw.h"

namespace {

using MrViewDraw::ClampToInt;

// Height of the overwrite caret in the character column: a bar under the
// character.
constexpr int kOverwriteCaretHeight = 2;
// A row is the cells (3 digits per byte), the characters and the gaps around
// them: this many digit widths besides 3 per byte.
constexpr long long kRowExtraDigits = 18;

}  // namespace

CMirelViewHex::CMirelViewHex() : CMirelView(MIREL_VIEW_TYPE_HEX) {}

// The edit window owns the back buffer and the caret.
CMirelViewHex::~CMirelViewHex() = default;

// ---------------------------------------------------------------------------
// Helpers

BOOL CMirelViewHex::IsReady() const {
  return pMirel != nullptr && pdoc != nullptr && pdoc->pContents != nullptr && pdoc->pLines != nullptr &&
         pdoc->nViewType == MIREL_VIEW_TYPE_HEX;
}

int CMirelViewHex::GetDigitWidth() const {
  return pdoc != nullptr ? std::max<int>(pdoc->sizeHexDigit.cx, 1) : 1;
}

int CMirelViewHex::GetDigitHeight() const {
  return pdoc != nullptr ? std::max<int>(pdoc->sizeHexDigit.cy, 1) : 1;
}

DWORD CMirelViewHex::GetDataLength() const {
  return pdoc != nullptr ? pdoc->GetFileSize() : 0;
}

void CMirelViewHex::SetVScrollPosToTopLine() {
  if (pMirel == nullptr || pMirel->hWndEdit == nullptr) return;
  const int nPos = ClampToInt(static_cast<long long>(std::max(pMirel->nTopLine, 0)) * GetRowHeight());
  if (HWND hBar = pMirel->GetScrollBarCtrl(SB_VERT)) {
    SetScrollPos(hBar, SB_CTL, nPos, TRUE);
  } else {
    SetScrollPos(pMirel->hWndEdit, SB_VERT, nPos, TRUE);
  }
}

void CMirelViewHex::SetHScrollPosToOffset() {
  if (pMirel == nullptr || pMirel->hWndEdit == nullptr) return;
  if (HWND hBar = pMirel->GetScrollBarCtrl(SB_HORZ)) {
    SetScrollPos(hBar, SB_CTL, pMirel->nHScrollPos, TRUE);
  } else {
    SetScrollPos(pMirel->hWndEdit, SB_HORZ, pMirel->nHScrollPos, TRUE);
  }
}

void CMirelViewHex::NotifyPaneScrolled(int nHScroll, int nTop) {
  if (pMirel == nullptr || !pMirel->bInSplitter || pMirel->hWndEdit == nullptr) return;
  HWND hParent = GetParent(pMirel->hWndEdit);
  if (hParent == nullptr) return;
  MIREL_PANESCROLL_INFO info{};
  info.pEdit = reinterpret_cast<LONG_PTR>(pMirel);
  info.nHScrollPos = nHScroll;
  info.nTopLine = nTop;
  info.nOne = 1;
  SendMessageA(hParent, WM_MIREL_PANESCROLLED, reinterpret_cast<WPARAM>(&info),
               reinterpret_cast<LPARAM>(pMirel));
}

// ---------------------------------------------------------------------------
// Geometry

int CMirelViewHex::GetPageLineCount() {
  if (pMirel == nullptr || pdoc == nullptr) return 0;
  const long long room = static_cast<long long>(pMirel->rcEdit.bottom) - pdoc->nRulerHeight -
                         std::max<int>(pdoc->sizeHexDigit.cy, 0);
  return room > 0 ? ClampToInt(room / GetRowHeight()) : 0;
}

BOOL CMirelViewHex::GetTopLineToShow(UINT nLine, int nMode, UINT* pTop) {
  return FindTopLineToShow(nLine, nMode, pTop);
}

BOOL CMirelViewHex::IsPointInSelection(int, int) {
  // A hex selection is never dragged.
  return FALSE;
}

UINT CMirelViewHex::LineFromY(int y) {
  return RowFromY(y);
}

void CMirelViewHex::Invalidate(int nTag, DWORD nFrom, DWORD nTo) {
  // Ranges are kept while nothing else is pending; reversed ranges count
  // from their lower end.
  RecordRepaint(nTag, nFrom, nTo, TRUE);
}

int CMirelViewHex::OnSetCursor(HWND, HWND, UINT nHitTest, UINT) {
  if (nHitTest != HTCLIENT || pMirel == nullptr || pdoc == nullptr || pMirel->hWndEdit == nullptr) return 0;
  POINT pt{0, 0};
  GetCursorPos(&pt);
  ScreenToClient(pMirel->hWndEdit, &pt);
  const long long x = static_cast<long long>(pt.x) + pMirel->nHScrollPos;
  if (x < pdoc->nHexAddrWidth) {
    SetCursor(pdoc->cursor.GetMarginCursor());
    return 1;
  }
  if (x > pdoc->nHexDigitsEndX && x < pdoc->nHexCharsX) {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return 1;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Scroll bars and scrolling

void CMirelViewHex::UpdateScrollBars() {
  if (pMirel == nullptr || pdoc == nullptr || !pMirel->bRedraw || pMirel->hWndEdit == nullptr) return;
  const long long cx = GetDigitWidth();
  const long long nBytes = std::max(pdoc->nHexBytesPerLine, 1);
  nContentWidth = ClampToInt((nBytes * 3 + kRowExtraDigits) * cx + pdoc->nHexAddrWidth);
  SetVerticalScrollBar();
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = nContentWidth;
  si.nPage = static_cast<UINT>(
      std::clamp<long long>(static_cast<long long>(pMirel->rcEdit.right) - pdoc->nHexAddrWidth, 0, INT_MAX));
  si.nPos = pMirel->nHScrollPos;
  if (HWND hBar = pMirel->GetScrollBarCtrl(SB_HORZ)) {
    SetScrollInfo(hBar, SB_CTL, &si, TRUE);
  } else {
    SetScrollInfo(pMirel->hWndEdit, SB_HORZ, &si, TRUE);
  }
}

void CMirelViewHex::OnVScroll(HWND, HWND, UINT nCode, short) {
  // The thumb position comes from the bar itself (32 bits), not the short.
  ScrollVertically(nCode);
}

void CMirelViewHex::OnHScroll(HWND, HWND, UINT nCode, short) {
  if (pMirel == nullptr || pdoc == nullptr || pMirel->hWndEdit == nullptr) return;
  const long long nPage = static_cast<long long>(pMirel->rcEdit.right) - pdoc->nHexAddrWidth;
  // Never past the row's width, never left of its start.
  const long long d = HScrollStep(nCode, GetDigitWidth(), nPage, nContentWidth);
  if (d == 0) return;
  pMirel->nHScrollPos = ClampToInt(std::max(pMirel->nHScrollPos, 0) + d);
  SetHScrollPosToOffset();
  UpdateCaret(0, 0);
  Invalidate(REPAINT_TAG_ALL, 0, 0);
}

void CMirelViewHex::OnSize(HWND, UINT, int, int) {
  ResizeToClient();
}

// ---------------------------------------------------------------------------
// Caret

void CMirelViewHex::UpdateCaret(int bSetGoalX, int bScroll) {
  if (!IsReady()) return;
  CMirelDoc& doc = *pdoc;
  const int nArea = doc.nHexCaretArea;
  if (nArea != MIREL_HEX_AREA_CELLS && nArea != MIREL_HEX_AREA_CHARS) return;
  const long long cx = GetDigitWidth();
  const long long cy = GetDigitHeight();
  const long long h = GetRowHeight();
  const BOOL bOverwrite = doc.IsOverwriteMode();

  // The caret on a position of the data, on the row that holds it.
  const DWORD nCaret = std::min(static_cast<DWORD>(std::max(doc.nCaretPos, 0)), GetDataLength());
  doc.nCaretPos = static_cast<int>(nCaret);
  doc.cli = doc.GetHexLineFromPos(nCaret);
  const int nRow = doc.cli;

  const long long xCell = doc.GetHexXFromPos(nRow, nCaret, nArea);
  long long x = xCell;
  long long nWidth = 1;
  long long nHeight = cy;
  long long yShift = 0;
  if (nArea == MIREL_HEX_AREA_CELLS) {
    if (doc.bHexComposition) {
      // The caret stands on the second digit of the byte being typed.
      x += cx;
      nWidth = cx;
    } else if (bOverwrite) {
      nWidth = cx;
    }
  } else if (bOverwrite) {
    nWidth = cx;
    nHeight = kOverwriteCaretHeight;
    yShift = cy - kOverwriteCaretHeight;
  }
  nCaretX = ClampToInt(xCell);

  // Keep the caret in view.
  CMirel& edit = *pMirel;
  const int nPageLines = GetPageLineCount();
  const bool bClientEmpty = edit.rcEdit.right <= 0 || edit.rcEdit.bottom <= 0;
  if (bScroll && !bClientEmpty) {
    bool bScrolled = false;
    const long long nAreaStart = nArea == MIREL_HEX_AREA_CELLS ? doc.nHexAddrWidth : doc.nHexCharsX;
    const long long nStep = 2 * cx;
    long long hs = std::max(edit.nHScrollPos, 0);
    if (x < hs + nAreaStart) {
      // Whole steps left until the caret shows, never left of the row start.
      const long long nSteps = (hs + nAreaStart - x + nStep - 1) / nStep;
      hs = std::max(hs - nSteps * nStep, 0LL);
    } else if (x + nStep > hs + edit.rcEdit.right) {
      const long long nSteps = (x + nStep - hs - edit.rcEdit.right + nStep - 1) / nStep;
      hs += nSteps * nStep;
    }
    if (hs != edit.nHScrollPos) {
      edit.nHScrollPos = ClampToInt(hs);
      bScrolled = true;
    }
    if (ScrollRowIntoView(nRow, nPageLines)) bScrolled = true;
    if (bScrolled) {
      SetHScrollPosToOffset();
      SetVScrollPosToTopLine();
      Invalidate(REPAINT_TAG_ALL, 0, 0);
      NotifyPaneScrolled(edit.nHScrollPos, edit.nTopLine);
    }
  }

  const int nCaretY = CaretYOfRow(nRow, nPageLines, h, yShift);
  const int nOldCaretY = nLastCaretY;
  const DWORD nOldCaretPos = nLastCaretPos;
  nLastCaretY = nCaretY;
  nLastCaretPos = nCaret;

  PlaceSystemCaret(ClampToInt(x - edit.nHScrollPos), nCaretY, ClampToInt(nWidth), ClampToInt(nHeight),
                   doc.nHexAddrWidth);

  if (bSetGoalX) edit.nGoalCaretX = nCaretX;

  if (doc.nActiveLineType != 0 && nOldCaretY != INT_MIN && nCaretY != nOldCaretY) {
    Invalidate(REPAINT_TAG_RANGE, nOldCaretPos, nCaret);
  } else if (doc.IsShowRuler()) {
    Invalidate(REPAINT_TAG_RULER, 0, 0);
  }
}

// ---------------------------------------------------------------------------
// Input method: composition belongs to the system in this view; composed
// characters arrive as WM_IME_CHAR (cmirelviewhex_keys.cpp).

LRESULT CMirelViewHex::OnImeComposition(WPARAM wParam, LPARAM lParam) {
  if (pMirel == nullptr || pMirel->hWndEdit == nullptr) return 0;
  return DefWindowProcA(pMirel->hWndEdit, WM_IME_COMPOSITION, wParam, lParam);
}

LRESULT CMirelViewHex::OnImeNotify(WPARAM wParam, LPARAM lParam) {
  if (pMirel == nullptr || pMirel->hWndEdit == nullptr) return 0;
  return DefWindowProcA(pMirel->hWndEdit, WM_IME_NOTIFY, wParam, lParam);
}
