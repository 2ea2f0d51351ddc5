// Keeping the caret row, the selection rows and the wrapped rows in step
// when something other than an edit changes the layout: a font, a margin or
// the ruler.
#include <algorithm>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmirelview.h"

namespace {

// A block end's row: the caret's own row when the end is the caret, so that
// the caret and its block end never disagree at a wrap boundary.
int RowOfBlockEnd(CMirelDoc& doc, DWORD nPos) {
  return nPos == static_cast<DWORD>(std::max(doc.nCaretPos, 0)) ? doc.cli : doc.GetLineFromPos(nPos);
}

// The virtual columns beyond a column block's end on its row, as the row
// record keeps them: the start columns at the left edge, else the end ones.
int ColumnEndVirtual(const CMrBlock& block, int nLine, BOOL bLeftEdge) {
  for (int i = 0; i < block.nRowCount; ++i) {
    const MIREL_BLOCK_ROW& row = block.pRows[i];
    if (row.nLine == nLine) return std::max(bLeftEdge ? row.nStartVirtual : row.nEndVirtual, 0);
  }
  return 0;
}

// The x of a position followed by nVirtual virtual columns, in the current
// widths.
int XWithVirtual(CMirelDoc& doc, int nLine, DWORD nPos, int nVirtual) {
  const int nSaved = doc.nVirtualSpace;
  doc.nVirtualSpace = nVirtual;
  const int x = doc.GetXFromPos(nLine, nPos, TRUE);
  doc.nVirtualSpace = nSaved;
  return x;
}

}  // namespace

void CMirelDoc::ResyncRowsAfterRelayout() {
  if (nViewType != MIREL_VIEW_TYPE_TEXT || pContents == nullptr || pLines == nullptr || nLineCount <= 0)
    return;
  const DWORD nTextLen = pContents->GetTextLength();
  const DWORD nCaret = std::min(static_cast<DWORD>(std::max(nCaretPos, 0)), nTextLen);
  nCaretPos = static_cast<int>(nCaret);
  const bool bRowHolds = cli >= 0 && cli < nLineCount && pLines[cli].nStart <= nCaret &&
                         nCaret <= static_cast<unsigned long long>(pLines[cli].nStart) + pLines[cli].nLen;
  if (!bRowHolds) cli = GetLineFromPos(nCaret);
  if (!block.HasSelection()) {
    block.Reset(nCaret, cli, FALSE);
    return;
  }
  if (block.IsColumnBlock()) {
    // Rows of a column block are display rows: built again from the ends.
    // The ends' x values were measured in the old widths; each end keeps its
    // character and the virtual columns beyond it, so that the block covers
    // the same characters in the new ones.
    const BOOL bAnchorLeft = block.nAnchorX <= block.nCaretX;
    const int nAnchorVirtual = ColumnEndVirtual(block, block.nAnchorLine, bAnchorLeft);
    const int nCaretVirtual = ColumnEndVirtual(block, block.nCaretLine, !bAnchorLeft);
    block.nAnchor = std::min(block.nAnchor, nTextLen);
    block.nCaret = std::min(block.nCaret, nTextLen);
    block.nAnchorLine = GetLineFromPos(block.nAnchor);
    block.nCaretLine = RowOfBlockEnd(*this, block.nCaret);
    block.nAnchorX = XWithVirtual(*this, block.nAnchorLine, block.nAnchor, nAnchorVirtual);
    block.nCaretX = XWithVirtual(*this, block.nCaretLine, block.nCaret, nCaretVirtual);
    block.nAnchorY = LinesToPixels(block.nAnchorLine);
    block.nCaretY = LinesToPixels(block.nCaretLine);
    block.BuildColumnRows();
    return;
  }
  const DWORD nAnchor = std::min(block.nAnchor, nTextLen);
  const DWORD nBlockCaret = std::min(block.nCaret, nTextLen);
  const int nAnchorRow = RowOfBlockEnd(*this, nAnchor);
  block.nAnchor = nAnchor;
  block.nAnchorLine = nAnchorRow;
  block.nAnchorX = GetXFromPos(nAnchorRow, nAnchor, FALSE);
  block.nAnchorY = LinesToPixels(nAnchorRow);
  block.SetCaret(nBlockCaret, RowOfBlockEnd(*this, nBlockCaret));
}

BOOL CMirelDoc::RelayoutForWrapWidth(int nOldLeftMargin) {
  if (nLeftMargin == nOldLeftMargin || nViewType != MIREL_VIEW_TYPE_TEXT || nWrapMode == MIREL_WRAP_NONE ||
      pContents == nullptr || pContents->GetTextLength() == 0)
    return FALSE;
  ReloadContents();
  ResyncRowsAfterRelayout();
  return TRUE;
}

void CMirelDoc::RefreshEditAfterLayoutChange(CMirel* pEdit) {
  if (nEditCount <= 0) return;
  if (pEdit == nullptr) pEdit = pActiveMirel;
  UpdateAllScrollBars();
  if (pEdit != nullptr && pEdit->pView != nullptr) pEdit->pView->UpdateCaret(1, 1);
  UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}
