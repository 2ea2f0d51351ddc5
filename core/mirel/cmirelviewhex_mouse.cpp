// The hex view's mouse: a press in the cells or the character column places
// the caret there (Shift or sticky selection extends the selection), and
// dragging with the button held extends the selection, scrolling while the
// pointer is above or below the rows.
//
// The gesture keeps no state of its own: its anchor is the selection's, so an
// edit made while the button is held (a key is not held back) leaves nothing
// stale behind.
#include <algorithm>
#include <climits>

#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmirelviewhex.h"
#include "mirel/mirel.h"
#include "mirel/mrviewdraw.h"

namespace {

using MrViewDraw::ClampToInt;

BOOL IsKeyDown(int nVirtKey) {
  return GetKeyState(nVirtKey) < 0 ? TRUE : FALSE;
}

}  // namespace

void CMirelViewHex::OnLButtonDown(HWND, int, int x, int y, UINT) {
  if (!IsReady()) return;
  CMirelDoc& doc = *pdoc;
  doc.bHexComposition = FALSE;
  const int xDoc = ClampToInt(static_cast<long long>(x) + pMirel->nHScrollPos);
  const int nArea = doc.HexHitTest(xDoc);
  // The address column, the gap and the space beyond the characters hold no
  // position.
  if (nArea != MIREL_HEX_AREA_CELLS && nArea != MIREL_HEX_AREA_CHARS) return;
  const BOOL bAreaChanged = doc.nHexCaretArea != nArea;
  doc.nHexCaretArea = static_cast<BYTE>(nArea);
  const BOOL bExtend = IsKeyDown(VK_SHIFT) || doc.bAutoSelect;
  BeginMove();
  const DWORD nOld = static_cast<DWORD>(doc.nCaretPos);
  // The row under the pointer holds the position (a press on a row's first
  // byte stays on that row).
  const int nRow = static_cast<int>(LineFromY(y));
  PlaceCaret(doc.GetHexPosFromX(nRow, xDoc, nArea));
  // The selection's colours depend on the area.
  if (bAreaChanged && doc.block.IsNotEmpty())
    doc.UpdateAllViews(REPAINT_TAG_RANGE, doc.block.GetStartPtr(), doc.block.GetEndPtr());
  FinishMove(bExtend, nOld);
  pMirel->bTracking = 1;
  UpdateCaret(1, 1);
  if (pMirel->hWndEdit != nullptr) SetCapture(pMirel->hWndEdit);
}

UINT CMirelViewHex::OnMouseMove(HWND, int x, int y, UINT) {
  if (!IsReady() || !pMirel->bTracking) return 0;
  CMirelDoc& doc = *pdoc;
  const int nArea = doc.nHexCaretArea;
  if (nArea != MIREL_HEX_AREA_CELLS && nArea != MIREL_HEX_AREA_CHARS) return 0;
  const DWORD nOld = std::min(static_cast<DWORD>(std::max(doc.nCaretPos, 0)), GetDataLength());
  if (!doc.block.IsNotEmpty()) doc.block.SetBoth(nOld, doc.GetHexLineFromPos(nOld));
  const int xDoc = ClampToInt(static_cast<long long>(x) + pMirel->nHScrollPos);
  PlaceCaret(doc.GetHexPosFromX(static_cast<int>(LineFromY(y)), xDoc, nArea));
  const DWORD nCaret = static_cast<DWORD>(doc.nCaretPos);
  doc.block.SetCaretRaw(nCaret, doc.cli);
  UpdateCaret(1, 1);
  doc.UpdateAllViews(REPAINT_TAG_RANGE, nOld, nCaret);
  const UINT nPeriod = AutoScroll(y);
  if (nPeriod != 0) NotifyPaneScrolled(-1, pMirel->nTopLine);
  return nPeriod;
}

void CMirelViewHex::OnLButtonUp(HWND, int, int, UINT) {}

void CMirelViewHex::OnLButtonTripleClk(HWND, int, int, UINT) {}
