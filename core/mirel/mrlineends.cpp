// Line-end counting without a branch per byte: the byte loop below has no
// data-dependent jumps, so the compiler turns it into vector compares.
#include "mirel/mrlineends.h"

#include "mirel/mirel.h"

namespace {

// Blocks short enough that the per-block counters cannot overflow.
constexpr DWORD kBlock = 1u << 16;

DWORD CountBytes(const BYTE* p, DWORD n) {
  // Every CR and every LF, less the LFs that complete a CR LF pair.
  DWORD nEnds = (p[0] == MR_CHAR_CR) + (p[0] == MR_CHAR_LF);
  for (DWORD nDone = 1; nDone < n; nDone += kBlock) {
    const DWORD nEnd = n - nDone < kBlock ? n : nDone + kBlock;
    DWORD nCR = 0, nLone = 0;
    for (DWORD i = nDone; i < nEnd; ++i) {
      nCR += p[i] == MR_CHAR_CR;
      nLone += (p[i] == MR_CHAR_LF) & (p[i - 1] != MR_CHAR_CR);
    }
    nEnds += nCR + nLone;
  }
  return nEnds;
}

DWORD CountUnits(const BYTE* p, DWORD n) {
  DWORD nEnds = 0;
  const DWORD nUnits = n / 2;
  UINT prev = 0;
  for (DWORD i = 0; i < nUnits; ++i) {
    const UINT u = MrUnitAt(p + 2 * i, TRUE);
    nEnds += (u == MR_CHAR_LF && prev != MR_CHAR_CR) || u == MR_CHAR_CR;
    prev = u;
  }
  return nEnds;
}

}  // namespace

DWORD MrCountLineEnds(const BYTE* p, DWORD n, BOOL bWide) {
  if (p == nullptr || n == 0) return 0;
  return bWide ? CountUnits(p, n) : CountBytes(p, n);
}
