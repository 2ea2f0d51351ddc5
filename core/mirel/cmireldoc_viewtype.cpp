// Switching the document between the text view and the hex view. Text
// positions leave the byte-order mark out and hex positions count it, so the
// caret and the selection are moved across the mark to stay on the same
// bytes; the undo history, whose positions belong to one view, starts again.
#include <algorithm>
#include <climits>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"

namespace {

// A file position as a text position: the mark's bytes become 0, the rest
// goes to the start of the character that holds it.
DWORD TextPosOfFilePos(CMirelDoc& doc, DWORD nFilePos, DWORD nMark) {
  return MrCharStartAt(doc, nFilePos > nMark ? nFilePos - nMark : 0);
}

}  // namespace

void CMirelDoc::SetViewType(int nType) {
  if (nType != MIREL_VIEW_TYPE_TEXT && nType != MIREL_VIEW_TYPE_HEX) return;
  if (nType == nViewType) return;
  // A composition still running belongs to the old view's positions; one
  // the input method did not complete is kept as it was typed.
  if (pActiveMirel != nullptr) pActiveMirel->CompleteComposition();
  DropImeComposition(MrImeDrop::kKeepAsText);

  // The selection's lower and upper ends; without one, the caret.
  const BOOL bSelection = block.IsNotEmpty() || block.IsColumnBlock();
  const DWORD nCaret = static_cast<DWORD>(std::max(nCaretPos, 0));
  const DWORD nStart = bSelection ? block.GetStartPtr() : nCaret;
  const DWORD nEnd = bSelection ? block.GetEndPtr() : nCaret;
  const DWORD nMark = pContents != nullptr ? pContents->GetBomLength() : 0;

  // Nothing a gesture or a half-typed byte left may outlive the switch.
  bHexComposition = FALSE;
  nVirtualSpace = 0;
  bLineSelecting = FALSE;
  SetDragPending(FALSE);
  anchorBlock.Clear();
  if (block.IsColumnMode() || block.IsColumnBlock()) block.LeaveColumnMode();

  nViewType = static_cast<BYTE>(nType);
  if (nType == MIREL_VIEW_TYPE_TEXT) {
    const DWORD nNewStart = TextPosOfFilePos(*this, nStart, nMark);
    const DWORD nNewEnd = TextPosOfFilePos(*this, nEnd, nMark);
    nCaretPos = static_cast<int>(nNewEnd);
    cli = pLines != nullptr ? GetLineFromPos(nNewEnd) : 0;
    block.Reset(nNewStart, pLines != nullptr ? GetLineFromPos(nNewStart) : 0, FALSE);
    block.SetCaret(nNewEnd, cli);
  } else {
    const DWORD nLength = GetFileSize();
    const DWORD nNewStart =
        static_cast<DWORD>(std::min<long long>(static_cast<long long>(nStart) + nMark, nLength));
    const DWORD nNewEnd =
        static_cast<DWORD>(std::min<long long>(static_cast<long long>(nEnd) + nMark, nLength));
    nCaretPos = static_cast<int>(nNewEnd);
    cli = GetHexLineFromPos(nNewEnd);
    block.SetBoth(nNewStart, GetHexLineFromPos(nNewStart));
    block.SetCaretRaw(nNewEnd, cli);
  }
  undo.Reset();

  // Every window shows the new view from its left edge.
  for (int i = 0; i < nEditCount; ++i) {
    CMirel* pEdit = ppEdits != nullptr ? ppEdits[i] : nullptr;
    MIREL_ASSERT(pEdit);
    if (pEdit == nullptr) continue;
    pEdit->nHScrollPos = 0;
    CMirelView* pView = pEdit->CreateView(nType);
    if (pView != nullptr) {
      const int nRows = pView->GetRowCount();
      pEdit->nTopLine = std::clamp(pEdit->nTopLine, 0, std::max(nRows - 1, 0));
    }
  }

  // The view's font, measured on the active window (the screen while there
  // is none, so the hex layout is known before a window shows it).
  if (nType == MIREL_VIEW_TYPE_TEXT) {
    if (pActiveMirel != nullptr) SetEditFont(pActiveMirel, &lfText);
    // A font change under word wrap lays the rows out again: the rows and
    // pixel points of the caret and the block are taken again.
    if (pLines != nullptr) {
      const DWORD nAnchor = block.nAnchor;
      const DWORD nBlockCaret = block.nCaret;
      cli = GetLineFromPos(nBlockCaret);
      block.Reset(nAnchor, GetLineFromPos(nAnchor), FALSE);
      block.SetCaret(nBlockCaret, cli);
    }
  } else {
    SetEditFontHex(pActiveMirel, &lfHex);
    CalcHexLayout();
  }

  if (nEditCount <= 0) return;
  UpdateAllScrollBars();
  UpdateActiveCaret(1, 1);
  UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}
