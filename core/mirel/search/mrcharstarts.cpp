// Character starts for searches, with the run of lead-byte values before the
// last position asked about kept, so that walks in either direction do not
// walk the run again.
#include "mirel/search/mrcharstarts.h"

#include "mirel/mrtextunits.h"

BOOL CMrCharStarts::IsCharStart(DWORD nPos) {
  if (m_p == nullptr || nPos == 0 || nPos >= m_nLen) return TRUE;
  if (m_bUtf8) return (m_p[nPos] & 0xC0) != 0x80;
  if (m_pLead == nullptr || !m_pLead[m_p[nPos - 1]]) return TRUE;  // after a single byte or a trail byte
  // The byte before nPos has a lead-byte value.
  const DWORD nLast = nPos - 1;
  if (m_bRun && nLast >= m_nRunStart) {
    // At or past the kept run: walk on from its end.
    for (DWORD i = m_nRunEnd; i < nLast; ++i) {
      if (!m_pLead[m_p[i]]) m_nRunStart = i + 1;
    }
    if (nPos > m_nRunEnd) m_nRunEnd = nPos;
  } else {
    // Before it: walk back to the start of the run that holds nLast.
    DWORD r = nLast;
    while (r > 0 && m_pLead[m_p[r - 1]]) --r;
    m_nRunStart = r;
    m_nRunEnd = nPos;
    m_bRun = TRUE;
  }
  // Lead-byte values pair up from the run start (a byte after a byte that
  // is no lead byte starts a character); the last one stands alone before a
  // byte that cannot trail.
  return ((nPos - m_nRunStart) % 2) == 0 || m_p[nPos] < MR_MIN_TRAIL_BYTE;
}
