// One editing command as one undo step, and the caret and block placement
// the editing commands share.
#pragma once

#include <windows.h>

#include "mirel/cmireldoc.h"
#include "mirel/mrmodifiednotify.h"

// The edits of one command. The undo boundary and group open with the first
// edit, so a command that ends up changing nothing leaves the history (and
// its redo tail) as it was; the destructor closes them. The host hears of the
// modified state once the command is complete.
class CMrEditStep {
 public:
  explicit CMrEditStep(CMirelDoc& doc, BOOL bRecord = TRUE, BOOL bGroup = TRUE)
      : m_doc(doc), m_notify(doc), m_bRecord(bRecord), m_bGroup(bGroup) {}
  ~CMrEditStep() { Close(); }
  CMrEditStep(const CMrEditStep&) = delete;
  CMrEditStep& operator=(const CMrEditStep&) = delete;

  BOOL Insert(DWORD nPos, const BYTE* pData, DWORD nLen) {
    if (nLen == 0) return TRUE;
    Open();
    return Note(m_doc.InsertContents(nPos, pData, nLen, m_bRecord));
  }
  BOOL Delete(DWORD nPos, DWORD nLen) {
    if (nLen == 0) return TRUE;
    Open();
    return Note(m_doc.DeleteContents(nPos, nLen, m_bRecord));
  }
  // Replaces nOldLen bytes at nPos (an insert or a delete when one side is empty).
  BOOL Replace(DWORD nPos, DWORD nOldLen, const BYTE* pData, DWORD nNewLen) {
    if (nOldLen == 0) return Insert(nPos, pData, nNewLen);
    if (nNewLen == 0) return Delete(nPos, nOldLen);
    Open();
    return Note(m_doc.ReplaceContents(nPos, nOldLen, m_bRecord, pData, nNewLen, m_bRecord));
  }
  // Ends the group and the step now (before the command places the caret).
  void Close() {
    if (!m_bOpen) return;
    m_bOpen = FALSE;
    if (m_bRecord) {
      if (m_bGroup) m_doc.EndUndoGroup();
      m_doc.SeparateUndo();
    }
  }
  BOOL Changed() const { return m_bChanged; }
  // Takes back the edits made so far, when one of the command failed part
  // way: text, history and modified flag are as before the command.
  void TakeBack();

  // Opens the step for an edit made through another document operation
  // (which then reports its result with Note).
  void Open() {
    if (m_bOpen || m_bStarted) return;
    m_bOpen = m_bStarted = TRUE;
    if (!m_bRecord) return;
    m_doc.SeparateUndo();
    if (m_bGroup) m_doc.StartUndoGroup();
  }
  BOOL Note(BOOL bDone) {
    if (m_notify.Note(bDone)) m_bChanged = TRUE;
    return bDone;
  }

 private:
  CMirelDoc& m_doc;
  CMrModifiedNotifyHold m_notify;
  BOOL m_bRecord;
  BOOL m_bGroup;
  BOOL m_bOpen = FALSE;
  BOOL m_bStarted = FALSE;
  BOOL m_bChanged = FALSE;
};

// The caret at nPos on the row that holds it, the block collapsed there.
inline void MrCollapseAt(CMirelDoc& doc, DWORD nPos) {
  doc.nCaretPos = static_cast<int>(nPos);
  doc.cli = doc.GetLineFromPos(nPos);
  doc.block.Reset(nPos, doc.cli, FALSE);
}

// The stream selection from nAnchor to nCaret, the caret at nCaret.
inline void MrSelectRange(CMirelDoc& doc, DWORD nAnchor, DWORD nCaret) {
  doc.block.Reset(nAnchor, doc.GetLineFromPos(nAnchor), FALSE);
  doc.nCaretPos = static_cast<int>(nCaret);
  doc.cli = doc.GetLineFromPos(nCaret);
  doc.block.SetCaret(nCaret, doc.cli);
}

// Takes back the edits of an undo group that failed part way (the group is
// closed), so that the command leaves the text, the history and the
// modified flag as they were. Inside a group opened around the command an
// undo would take the outer edits too: the caller that owns it takes back.
inline void MrTakeBackFailedGroup(CMirelDoc& doc) {
  if (doc.undo.nNestLevel != 0) return;
  if (doc.undo.CanUndo()) doc.Undo(nullptr);
  doc.undo.DropRedoTail();
}

inline void CMrEditStep::TakeBack() {
  Close();
  if (!m_bChanged) return;
  if (m_bRecord) MrTakeBackFailedGroup(m_doc);
  m_bChanged = FALSE;
  m_notify.Forget();
}
