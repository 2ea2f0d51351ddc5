// Character starts in double-byte text: lead-byte values pair up from the
// start of their run or from a character start known inside it, and the
// walks that find those are kept between queries.
#include "mirel/search/mrcharstarts.h"

#include "mirel/mrtextunits.h"

BOOL CMrDbcsBoundary::IsBoundary(DWORD s) {
  if (lead == nullptr || s == 0 || s >= n) return TRUE;
  if (!lead[p[s - 1]]) return TRUE;  // after a single byte or a trail byte
  // The last lead-byte value of a run stands alone before a byte that cannot
  // trail.
  if (p[s] < MR_MIN_TRAIL_BYTE) return TRUE;
  if (s == m_nKnown || s == m_nFloor) return TRUE;
  BOOL bBoundary = TRUE;
  if (s < m_nKnown && ParityFromKnown(s, &bBoundary)) return bBoundary;
  // Lead-byte values pair up from the start of their run, or from a known
  // character start inside it.
  const DWORD nFloor = s > m_nKnown ? m_nKnown : (s > m_nFloor ? m_nFloor : 0);
  DWORD r;
  if (bCache && nRunStart <= s - 1 && s <= nCovered) {
    // Inside the walked run: the walk stays, so that queries going back and
    // forth inside one run do not walk it again.
    return ((s - nRunStart) % 2) == 0;
  }
  if (bCache && s > nCovered && nCovered > nRunStart && nCovered > nFloor) {
    r = nRunStart;
    for (DWORD i = nCovered; i < s; ++i) {
      if (!lead[p[i]]) r = i + 1;
    }
  } else {
    r = s - 1;
    while (r > nFloor && lead[p[r - 1]]) --r;
  }
  bCache = TRUE;
  nRunStart = r;
  nCovered = s;
  return ((s - r) % 2) == 0;
}

// Below a known start inside the same run of lead-byte values, with a byte
// at the known start that could trail: the characters pair up back from it.
BOOL CMrDbcsBoundary::ParityFromKnown(DWORD s, BOOL* pbBoundary) {
  if (m_nKnown >= n || p[m_nKnown] < MR_MIN_TRAIL_BYTE) return FALSE;
  while (!m_bLeadDownEnds && m_nLeadDown > s - 1) {
    if (!lead[p[m_nLeadDown - 1]]) {
      m_bLeadDownEnds = TRUE;
      break;
    }
    --m_nLeadDown;
  }
  if (m_nLeadDown > s - 1) return FALSE;
  *pbBoundary = ((m_nKnown - s) % 2) == 0;
  return TRUE;
}

BOOL MrIsDbcsBoundary(const BYTE* pBuf, DWORD nLen, DWORD s, const BYTE* pLead) {
  CMrDbcsBoundary boundary(pBuf, nLen, pLead);
  return boundary.IsBoundary(s);
}
