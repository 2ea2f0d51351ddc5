// Where a wrapped row may break before a word: the candidate that the screen
// layout and the print pagination keep while they walk a row, character by
// character, in the two word-wrap modes.
#pragma once

#include <windows.h>

#include "mirel/cmireldoc.h"

class CMrWordBreak {
 public:
  explicit CMrWordBreak(int nMode) : m_nMode(nMode) {}

  // The character of nLen bytes at nPos: a tab, a double-byte character or
  // anything else. Word wrap breaks before a double-byte character and after
  // a run of them; the double-byte mode breaks where the runs change.
  void Step(DWORD nPos, bool bTab, bool bDoubleByte) {
    if (m_nMode == MIREL_WRAP_WORD) {
      if (bTab) {
        m_bDoubleRun = false;
      } else if (bDoubleByte) {
        nCandidate = nPos;
        m_bDoubleRun = true;
      } else {
        if (m_bDoubleRun) nCandidate = nPos;
        m_bDoubleRun = false;
      }
    } else if (m_nMode == MIREL_WRAP_WORD_DBCS) {
      if (bTab) {
        m_run = kRunSingle;
      } else if (bDoubleByte) {
        if (m_run == kRunSingle) nCandidate = nPos;
        m_run = kRunDouble;
      } else {
        if (m_run == kRunDouble) nCandidate = nPos;
        m_run = kRunSingle;
      }
    }
  }

  // 0: no break candidate (a candidate always lies past the row start).
  DWORD nCandidate = 0;

 private:
  int m_nMode;
  bool m_bDoubleRun = false;
  enum { kRunNone, kRunSingle, kRunDouble } m_run = kRunNone;
};
