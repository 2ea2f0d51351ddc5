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
    block.nAnchorLine = GetLineFromPos(std::min(block.nAnchor, nTextLen));
    block.nCaretLine = RowOfBlockEnd(*this, std::min(block.nCaret, nTextLen));
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
