// The document's selection operations: select all, set the selection from
// host positions, the block queries, column mode, and moving or copying a
// byte range (dropping a dragged selection, undo and redo of a move).
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"
#include "mirel/mrmodifiednotify.h"

namespace {

// Word wrap off, as the word-wrap switch does it for mode 0, with every row
// laid out again even while no edit window is registered (a table of wrapped
// rows must not outlive word wrap); the caret row and the block's rows and
// pixel points are taken again from their positions in the new rows.
void TurnWordWrapOff(CMirelDoc& doc) {
  doc.nWrapMode = MIREL_WRAP_NONE;
  if (doc.nEditCount > 0) {
    doc.nTextWidth = doc.nLeftMargin + 10;
    for (int i = 0; i < doc.nEditCount; ++i) {
      if (doc.ppEdits[i] != nullptr) doc.ppEdits[i]->UpdateScrollStyle(doc.nWrapMode);
    }
  }
  if (doc.pContents == nullptr || doc.GetContentsSize() == 0) return;
  doc.ReloadContents();
  const DWORD nLen = doc.GetContentsSize();
  const DWORD nCaret = std::min(static_cast<DWORD>(std::max(doc.nCaretPos, 0)), nLen);
  doc.cli = doc.GetLineFromPos(nCaret);
  const DWORD nAnchor = std::min(doc.block.nAnchor, nLen);
  const DWORD nBlockCaret = std::min(doc.block.nCaret, nLen);
  doc.block.Reset(nAnchor, doc.GetLineFromPos(nAnchor), FALSE);
  doc.block.SetCaret(nBlockCaret, doc.GetLineFromPos(nBlockCaret));
  if (doc.nEditCount > 0) {
    doc.UpdateAllScrollBars();
    doc.RefreshFocusedEdit();
    doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
  }
}

}  // namespace

void CMirelDoc::SelectAll() {
  if (pContents == nullptr || pLines == nullptr || nLineCount <= 0) return;
  if (nViewType == MIREL_VIEW_TYPE_TEXT) {
    // Leaving column mode goes through the block's switch, which sounds its
    // refusal beep while word wrap is on (column mode is off then anyway).
    block.SetColumnMode(FALSE);
    nVirtualSpace = 0;
    block.Reset(GetContentsSize(), nLineCount - 1, FALSE);
    block.SetCaret(0, 0);
  } else if (nViewType == MIREL_VIEW_TYPE_HEX) {
    block.SetBoth(GetFileSize(), GetHexLineCount() - 1);
    block.SetCaretRaw(0, 0);
  } else {
    return;
  }
  nCaretPos = 0;
  cli = 0;
  if (pActiveMirel != nullptr) pActiveMirel->nTopLine = 0;
  if (nEditCount > 0) {
    UpdateAllScrollBars();
    UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
  }
}

void CMirelDoc::SetSel(DWORD nFrom, DWORD nTo, BOOL bKeepScroll) {
  if (pContents == nullptr || pLines == nullptr || nLineCount <= 0) return;
  // Both views take positions up to the text length (mark excluded).
  const DWORD nLimit = GetContentsSize();
  if (nViewType == MIREL_VIEW_TYPE_TEXT) {
    // Host positions go to the start of the character that holds them.
    nFrom = MrCharStartAt(*this, nFrom);
    nTo = MrCharStartAt(*this, nTo);
    // Host positions are real positions: no virtual columns at either end.
    nVirtualSpace = 0;
    block.Reset(nFrom, GetLineFromPos(nFrom), FALSE);
    cli = GetLineFromPos(nTo);
    block.SetCaret(nTo, cli);
  } else if (nViewType == MIREL_VIEW_TYPE_HEX) {
    nFrom = std::min(nFrom, nLimit);
    nTo = std::min(nTo, nLimit);
    block.SetBoth(nFrom, GetHexLineFromPos(nFrom));
    cli = GetHexLineFromPos(nTo);
    block.SetCaretRaw(nTo, cli);
  } else {
    return;
  }
  nCaretPos = static_cast<int>(nTo);
  if (pActiveMirel != nullptr) {
    UpdateActiveCaret(1, bKeepScroll ? 0 : 1);
    UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
  }
}

void CMirelDoc::GetBlock(DWORD* pnStart, DWORD* pnEnd) {
  if (pnStart != nullptr) *pnStart = block.GetStartPtr();
  if (pnEnd != nullptr) *pnEnd = block.GetEndPtr();
}

BOOL CMirelDoc::IsSelected() {
  if (nViewType == MIREL_VIEW_TYPE_TEXT) return block.HasSelection();
  if (nViewType == MIREL_VIEW_TYPE_HEX) return block.IsNotEmpty();
  return FALSE;
}

void CMirelDoc::SetColumnMode(BOOL bOn) {
  if (nViewType != MIREL_VIEW_TYPE_TEXT) return;
  bOn = bOn ? TRUE : FALSE;
  if (bOn && nWrapMode != MIREL_WRAP_NONE) TurnWordWrapOff(*this);
  block.SetColumnMode(bOn);
  if (!block.IsColumnMode()) nVirtualSpace = 0;
  RefreshFocusedEdit();
  if (nEditCount > 0) UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}

DWORD CMirelDoc::MoveBytes(BOOL bCopy, DWORD nSource, DWORD nDest, DWORD nCount, BOOL bRecordUndo) {
  if (pContents == nullptr) return nSource;
  const BOOL bHex = nViewType == MIREL_VIEW_TYPE_HEX;
  const DWORD nLimit = bHex ? GetFileSize() : GetContentsSize();
  // Refused, with the bytes left where they are: a range or destination
  // outside the text, half a UTF-16 unit, or a move into the moved bytes
  // themselves (which would mix the two copies).
  if (nSource > nLimit || nCount > nLimit - nSource || nDest > nLimit) return nSource;
  if (!bHex && IsWideEncoding(nFileEncoding) && ((nSource | nDest | nCount) & 1)) return nSource;
  if (!bCopy && nDest > nSource && nDest < nSource + nCount) return nSource;
  if (nCount == 0) return nDest;

  std::unique_ptr<BYTE, decltype(&std::free)> buffer(static_cast<BYTE*>(std::malloc(nCount)), &std::free);
  if (!buffer) return nSource;
  for (DWORD i = 0; i < nCount; ++i) {
    buffer.get()[i] = bHex ? pContents->GetBodyByte(nSource + i) : pContents->GetTextByte(nSource + i);
  }

  CMrModifiedNotifyHold notify(*this);
  if (bRecordUndo) {
    SeparateUndo();
    StartUndoGroup();
  }
  DWORD nResult = nSource;
  BOOL bDone = FALSE;
  {
    // The two halves are recorded as one move below.
    CMrKeepUndoHistory keep(*this);
    if (notify.Note(InsertContents(nDest, buffer.get(), nCount, FALSE))) {
      if (bCopy) {
        nResult = nDest;
        bDone = TRUE;
      } else if (DeleteContents(nSource < nDest ? nSource : nSource + nCount, nCount, FALSE)) {
        nResult = nSource < nDest ? nDest - nCount : nDest;
        bDone = TRUE;
      } else {
        // The text must not keep both copies: take the inserted one out again.
        DeleteContents(nDest, nCount, FALSE);
      }
    }
  }
  BOOL bRecorded = TRUE;
  if (bRecordUndo && bDone) {
    if (!bCopy) {
      bRecorded =
          undo.AddMove(static_cast<LONG>(nSource), static_cast<LONG>(nDest), static_cast<LONG>(nCount));
    } else if (bHex) {
      bRecorded = undo.AddInsertHex(static_cast<LONG>(nDest), buffer.get(), static_cast<LONG>(nCount));
    } else {
      bRecorded = undo.AddInsert(static_cast<LONG>(nDest), buffer.get(), static_cast<LONG>(nCount));
    }
  }
  if (bRecordUndo) EndUndoGroup();
  // A move the history could not take would make every older record replay
  // at the wrong place: forget the history rather than corrupt the text.
  if (!bRecorded) {
    MirelTrace("MoveBytes: undo history dropped (out of memory)\n");
    undo.Reset();
  }
  return nResult;
}
