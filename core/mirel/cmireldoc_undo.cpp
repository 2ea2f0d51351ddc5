// Undo and redo: one step of the history (one record, or every consecutive
// record of one group) replayed through the text gateways without
// recording, the caret put at the changed place, every view repainted and the
// modified flag brought up to date.
//
// The host may change the text without recording undo; a record whose range
// no longer fits the text is then stepped over unchanged instead of editing
// outside the text.
#include <algorithm>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/cmrundomanager.h"
#include "mirel/mirel.h"

namespace {

// The end of the positions of a view: the text length in the text view, the
// file length (byte-order mark included) in the hex view.
long long PositionLimit(const CMirelDoc& doc, BOOL bHex) {
  if (doc.pContents == nullptr) return 0;
  return bHex ? doc.GetFileSize() : doc.GetContentsSize();
}

BOOL IsUndone(const MIREL_UNDO_RECORD& rec) {
  return rec.action != URA_NONE && rec.bUndone;
}
BOOL IsOpen(const MIREL_UNDO_RECORD& rec) {
  return rec.action != URA_NONE && !rec.bUndone;
}

// Takes out the bytes [pos, pos + count) when they lie inside the text.
BOOL RemoveRange(CMirelDoc& doc, long long nLimit, LONG pos, LONG count, DWORD* pCaret) {
  if (pos < 0 || count <= 0 || pos + static_cast<long long>(count) > nLimit) return FALSE;
  doc.DeleteContents(static_cast<DWORD>(pos), static_cast<DWORD>(count), FALSE);
  *pCaret = static_cast<DWORD>(pos);
  return TRUE;
}

// Puts the record's bytes back at pos when pos lies inside the text.
BOOL RestoreRange(CMirelDoc& doc, long long nLimit, const MIREL_UNDO_RECORD& rec, DWORD* pCaret) {
  if (rec.pos < 0 || rec.count <= 0 || rec.pData == nullptr || rec.pos > nLimit) return FALSE;
  doc.InsertContents(static_cast<DWORD>(rec.pos), rec.pData, static_cast<DWORD>(rec.count), FALSE);
  *pCaret = static_cast<DWORD>(rec.pos) + static_cast<DWORD>(rec.count);
  return TRUE;
}

// A block move: the bytes now at nFrom go to nTo, when both fit the text and
// the destination is not inside the moved bytes.
BOOL MoveRange(CMirelDoc& doc, long long nLimit, long long nFrom, long long nTo, long long nSize,
               DWORD* pCaret) {
  if (nFrom < 0 || nTo < 0 || nSize <= 0 || nFrom + nSize > nLimit || nTo > nLimit) return FALSE;
  if (nTo > nFrom && nTo < nFrom + nSize) return FALSE;
  const DWORD nStart = doc.MoveBytes(FALSE, static_cast<DWORD>(nFrom), static_cast<DWORD>(nTo),
                                     static_cast<DWORD>(nSize), FALSE);
  *pCaret = nStart + static_cast<DWORD>(nSize);
  return TRUE;
}

// Replays one record (bUndo: its inverse) when it belongs to the view and
// still fits the text; *pCaret then receives where the change ended.
void ReplayRecord(CMirelDoc& doc, const MIREL_UNDO_RECORD& rec, BOOL bUndo, BOOL bHex, DWORD* pCaret) {
  const long long nLimit = PositionLimit(doc, bHex);
  const BYTE insertAction = bHex ? URA_INSERT_HV : URA_INSERT;
  const BYTE removeAction = bHex ? URA_REMOVE_HV : URA_REMOVE;
  if (rec.action == insertAction || rec.action == removeAction) {
    // Undoing an insertion or redoing a removal takes bytes out.
    if ((rec.action == insertAction) == (bUndo != FALSE)) {
      RemoveRange(doc, nLimit, rec.pos, rec.count, pCaret);
    } else {
      RestoreRange(doc, nLimit, rec, pCaret);
    }
    return;
  }
  LONG nDest = 0;
  LONG nSize = 0;
  if (bHex || !CMrUndoManager::GetMoveTarget(rec, &nDest, &nSize)) return;
  const long long s = rec.pos;
  const long long d = nDest;
  const long long n = nSize;
  if (!bUndo) {
    MoveRange(doc, nLimit, s, d, n, pCaret);
  } else if (d < s) {
    // The block stands at d; it goes back in front of s + n (before the
    // move, s + n was the end of its source).
    MoveRange(doc, nLimit, d, s + n, n, pCaret);
  } else {
    MoveRange(doc, nLimit, d - n, s, n, pCaret);
  }
}

// Every gateway of a replay marks the document modified; the host is to hear
// of the change once, after the whole step. The flag is held set while the
// records are replayed and settled by FinishReplay.
BOOL HoldModifiedDuringReplay(CMirelDoc& doc) {
  const BOOL bWasModified = doc.bModified;
  doc.bModified = TRUE;
  return bWasModified;
}

void FinishReplay(CMirelDoc& doc, CMirel* pEdit, DWORD nCaret, BOOL bHex, BOOL bWasModified) {
  // The caret at the change, inside the text, with the block collapsed there.
  nCaret = static_cast<DWORD>(std::min<long long>(nCaret, PositionLimit(doc, bHex)));
  if (!bHex && IsWideEncoding(doc.nFileEncoding)) nCaret &= ~static_cast<DWORD>(1);
  if (!bHex) nCaret = MrGetDocText(doc).OffPairMiddle(nCaret);
  doc.nCaretPos = static_cast<int>(nCaret);
  doc.nVirtualSpace = 0;
  if (bHex) {
    doc.cli = doc.GetHexLineFromPos(nCaret);
    doc.block.SetBoth(nCaret, doc.cli);
  } else {
    doc.cli = doc.GetLineFromPos(nCaret);
    doc.block.Reset(nCaret, doc.cli, FALSE);
  }
  if (doc.nEditCount > 0) {
    doc.UpdateAllScrollBars();
    // The window that asked for the replay shows the caret, scrolled into view.
    CMirel* pCaller = pEdit != nullptr ? pEdit : doc.pActiveMirel;
    if (pCaller != nullptr && pCaller->pView != nullptr) pCaller->pView->UpdateCaret(TRUE, TRUE);
    doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
  }
  // Back to the flag the host knows, then up to date with one notification.
  doc.bModified = bWasModified;
  doc.UpdateModifiedAfterUndo();
}

BOOL ReplayUndo(CMirelDoc& doc, CMirel* pEdit, BOOL bHex) {
  CMrUndoManager& u = doc.undo;
  if (u.pUR == nullptr || u.cr < 0 || u.cr >= u.nAlloc) return FALSE;
  // An open record is undone first; otherwise the step ends before cr.
  if (!IsOpen(u.pUR[u.cr])) {
    if (u.cr == 0) return FALSE;
    --u.cr;
  }
  if (!IsOpen(u.pUR[u.cr])) return FALSE;
  doc.block.Clear();
  const BOOL bWasModified = HoldModifiedDuringReplay(doc);
  DWORD nCaret = doc.nCaretPos < 0 ? 0 : static_cast<DWORD>(doc.nCaretPos);
  const LONG nGroup = u.pUR[u.cr].nGroup;
  for (;;) {
    MIREL_UNDO_RECORD& rec = u.pUR[u.cr];
    ReplayRecord(doc, rec, TRUE, bHex, &nCaret);
    rec.bUndone = 1;
    if (nGroup == 0 || u.cr == 0 || u.pUR[u.cr - 1].nGroup != nGroup || !IsOpen(u.pUR[u.cr - 1])) break;
    --u.cr;
  }
  FinishReplay(doc, pEdit, nCaret, bHex, bWasModified);
  return TRUE;
}

BOOL ReplayRedo(CMirelDoc& doc, CMirel* pEdit, BOOL bHex) {
  CMrUndoManager& u = doc.undo;
  if (!u.IsCurrentUndone()) return FALSE;
  doc.block.Clear();
  const BOOL bWasModified = HoldModifiedDuringReplay(doc);
  DWORD nCaret = doc.nCaretPos < 0 ? 0 : static_cast<DWORD>(doc.nCaretPos);
  const LONG nGroup = u.pUR[u.cr].nGroup;
  do {
    MIREL_UNDO_RECORD& rec = u.pUR[u.cr];
    ReplayRecord(doc, rec, FALSE, bHex, &nCaret);
    rec.bUndone = 0;
    // Closes the record and moves on; it may grow or trim the history.
    if (!u.NextRecord()) break;
  } while (nGroup != 0 && IsUndone(u.pUR[u.cr]) && u.pUR[u.cr].nGroup == nGroup);
  FinishReplay(doc, pEdit, nCaret, bHex, bWasModified);
  return TRUE;
}

}  // namespace

BOOL CMirelDoc::Undo(CMirel* pEdit) {
  if (pEdit != nullptr) pEdit->CompleteComposition();
  CMrKeepUndoHistory keep(*this);  // the replay is not recorded, by design
  if (nViewType == MIREL_VIEW_TYPE_TEXT) return UndoText(pEdit);
  if (nViewType == MIREL_VIEW_TYPE_HEX) return UndoHex(pEdit);
  return FALSE;
}

BOOL CMirelDoc::Redo(CMirel* pEdit) {
  if (pEdit != nullptr) pEdit->CompleteComposition();
  CMrKeepUndoHistory keep(*this);
  if (nViewType == MIREL_VIEW_TYPE_TEXT) return RedoText(pEdit);
  if (nViewType == MIREL_VIEW_TYPE_HEX) return RedoHex(pEdit);
  return FALSE;
}

BOOL CMirelDoc::CanUndo() {
  return undo.CanUndo() || nIMECompLen > 0;
}

BOOL CMirelDoc::CanRedo() {
  return undo.IsCurrentUndone() && nIMECompLen <= 0;
}

BOOL CMirelDoc::UndoText(CMirel* pEdit) {
  return ReplayUndo(*this, pEdit, FALSE);
}

BOOL CMirelDoc::RedoText(CMirel* pEdit) {
  return ReplayRedo(*this, pEdit, FALSE);
}

BOOL CMirelDoc::UndoHex(CMirel* pEdit) {
  bHexComposition = FALSE;  // a half-typed byte is abandoned
  return ReplayUndo(*this, pEdit, TRUE);
}

BOOL CMirelDoc::RedoHex(CMirel* pEdit) {
  bHexComposition = FALSE;
  return ReplayRedo(*this, pEdit, TRUE);
}
