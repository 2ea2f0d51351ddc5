// Holds back the host's "modified" notification until a command is complete.
#pragma once

#include <windows.h>

#include "mirel/cmireldoc.h"

// The host hears that the text became modified once the command is complete
// (text, rows, caret and block), not from inside a gateway: a host that reads
// the text or the caret or repaints from its notification sees a consistent
// document, and a command made of several gateway calls (a move) is one
// change. The flag is held set while the command edits; holds nest.
class CMrModifiedNotifyHold {
 public:
  explicit CMrModifiedNotifyHold(CMirelDoc& doc)
      : m_doc(doc), m_bWasModified(doc.bModified), m_nBodyLen(doc.GetFileSize()) {
    doc.bModified = TRUE;
  }
  ~CMrModifiedNotifyHold() {
    const BOOL bChanged = m_bChanged || m_doc.GetFileSize() != m_nBodyLen;
    m_doc.bModified = m_bWasModified;
    if (bChanged) m_doc.SetModified(TRUE);
  }
  CMrModifiedNotifyHold(const CMrModifiedNotifyHold&) = delete;
  CMrModifiedNotifyHold& operator=(const CMrModifiedNotifyHold&) = delete;

  // Notes a gateway's result: TRUE means the text changed.
  BOOL Note(BOOL bChanged) {
    if (bChanged) m_bChanged = TRUE;
    return bChanged;
  }
  // The changes noted so far were taken back.
  void Forget() { m_bChanged = FALSE; }

 private:
  CMirelDoc& m_doc;
  BOOL m_bWasModified;
  DWORD m_nBodyLen;
  BOOL m_bChanged = FALSE;
};
