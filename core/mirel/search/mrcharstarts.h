// Which byte offsets of a text start a character, for searches that must not
// return or split part of one: in UTF-8 a continuation byte starts none, in a
// double-byte code page neither does the trail byte of a pair. Queries that
// move steadily in either direction cost amortised constant time.
#pragma once

#include <windows.h>

// Whether byte offsets of an ANSI buffer in a double-byte code page start a
// character. Up to two offsets known to start one (a row start, the start of
// a search) bound the walks: a query costs the distance to the nearer of them
// or to the last byte that cannot lead, and queries that move steadily in one
// direction cost amortised constant time.
class CMrDbcsBoundary {
 public:
  // pBuf starts on a character; nFloor <= nKnown are character starts.
  CMrDbcsBoundary(const BYTE* pBuf, DWORD nLen, const BYTE* pLead, DWORD nKnown = 0, DWORD nFloor = 0)
      : p(pBuf),
        n(nLen),
        lead(pLead),
        m_nKnown(nKnown),
        m_nFloor(nFloor <= nKnown ? nFloor : nKnown),
        m_nLeadDown(nKnown) {}
  BOOL IsBoundary(DWORD s);

 private:
  BOOL ParityFromKnown(DWORD s, BOOL* pbBoundary);

  const BYTE* p;
  DWORD n;
  const BYTE* lead;
  DWORD m_nKnown;
  DWORD m_nFloor;
  DWORD m_nLeadDown;             // every byte of [m_nLeadDown, m_nKnown) is a lead-byte value
  BOOL m_bLeadDownEnds = FALSE;  // the byte before m_nLeadDown cannot lead
  BOOL bCache = FALSE;
  DWORD nRunStart = 0;  // a character start; every byte of [nRunStart, nCovered) is a lead-byte value
  DWORD nCovered = 0;
};

// TRUE when byte offset s of an ANSI buffer (starting on a character) in a
// double-byte code page with the lead-byte table pLead starts a character.
BOOL MrIsDbcsBoundary(const BYTE* pBuf, DWORD nLen, DWORD s, const BYTE* pLead);

class CMrCharStarts {
 public:
  // bUtf8: the text is UTF-8; otherwise pLead is the lead-byte table of its
  // code page (NULL for a single-byte one). The text starts on a character;
  // nFloor <= nKnown are character starts that bound the walks.
  CMrCharStarts(const BYTE* pText, DWORD nLen, BOOL bUtf8, const BYTE* pLead, DWORD nKnown = 0,
                DWORD nFloor = 0)
      : m_p(pText),
        m_nLen(nLen),
        m_bUtf8(bUtf8),
        m_dbcs(pText, nLen, bUtf8 ? nullptr : pLead, nKnown, nFloor) {}

  BOOL IsCharStart(DWORD nPos) {
    if (m_p == nullptr || nPos == 0 || nPos >= m_nLen) return TRUE;
    if (m_bUtf8) return (m_p[nPos] & 0xC0) != 0x80;
    return m_dbcs.IsBoundary(nPos);
  }

 private:
  const BYTE* m_p;
  DWORD m_nLen;
  BOOL m_bUtf8;
  CMrDbcsBoundary m_dbcs;
};
