// Which byte offsets of a text start a character, for searches that must not
// return part of one: in UTF-8 a continuation byte starts none, in a
// double-byte code page neither does the trail byte of a pair. Queries that
// move steadily in either direction cost amortised constant time.
#pragma once

#include <windows.h>

class CMrCharStarts {
 public:
  // bUtf8: the text is UTF-8; otherwise pLead is the lead-byte table of its
  // code page (NULL for a single-byte one). The text starts on a character.
  CMrCharStarts(const BYTE* pText, DWORD nLen, BOOL bUtf8, const BYTE* pLead)
      : m_p(pText), m_nLen(nLen), m_bUtf8(bUtf8), m_pLead(pLead) {}

  BOOL IsCharStart(DWORD nPos);

 private:
  const BYTE* m_p;
  DWORD m_nLen;
  BOOL m_bUtf8;
  const BYTE* m_pLead;
  // Every byte of [m_nRunStart, m_nRunEnd) has a lead-byte value, and the
  // byte before m_nRunStart (if any) has not.
  BOOL m_bRun = FALSE;
  DWORD m_nRunStart = 0;
  DWORD m_nRunEnd = 0;
};
