// Line-end counting sixteen bytes at a time where the processor has SSE2,
// else a word at a time; never a branch on the data.
#include "mirel/mrlineends.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "mirel/mirel.h"

namespace {

#if defined(__SSE2__)

// Every CR, and every LF whose unit before it is no CR, in the first
// n & ~15 bytes; the CR mark of a block's last unit carries into the next.
// The per-lane counters are emptied before they can overflow. bWide reads
// the bytes as 16-bit units (eight per block).
DWORD CountBlocks(const BYTE* p, DWORD n, bool bWide) {
  const DWORD nBlocks = n / 16;
  const __m128i cr = bWide ? _mm_set1_epi16(MR_CHAR_CR) : _mm_set1_epi8(MR_CHAR_CR);
  const __m128i lf = bWide ? _mm_set1_epi16(MR_CHAR_LF) : _mm_set1_epi8(MR_CHAR_LF);
  const __m128i zero = _mm_setzero_si128();
  unsigned long long nTotal = 0;
  __m128i prevCr = zero;
  DWORD b = 0;
  while (b < nBlocks) {
    // A byte lane gains at most 1 per block: 255 blocks fit.
    const DWORD nRun = nBlocks - b < 255 ? nBlocks - b : 255;
    __m128i acc = zero;
    for (DWORD k = 0; k < nRun; ++k, ++b) {
      const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * b));
      const __m128i isCr = bWide ? _mm_cmpeq_epi16(x, cr) : _mm_cmpeq_epi8(x, cr);
      const __m128i isLf = bWide ? _mm_cmpeq_epi16(x, lf) : _mm_cmpeq_epi8(x, lf);
      const __m128i crBefore = bWide ? _mm_or_si128(_mm_slli_si128(isCr, 2), _mm_srli_si128(prevCr, 14))
                                     : _mm_or_si128(_mm_slli_si128(isCr, 1), _mm_srli_si128(prevCr, 15));
      // Lanes are 0 or all ones: subtracting adds one per line end (a unit
      // counts in both of its byte lanes, halved below).
      acc = _mm_sub_epi8(acc, isCr);
      acc = _mm_sub_epi8(acc, _mm_andnot_si128(crBefore, isLf));
      prevCr = isCr;
    }
    const __m128i sums = _mm_sad_epu8(acc, zero);
    nTotal += static_cast<unsigned long long>(_mm_cvtsi128_si32(sums)) +
              static_cast<unsigned long long>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
  }
  return static_cast<DWORD>(bWide ? nTotal / 2 : nTotal);
}

// Bytes the block count covers: whole 16-byte blocks.
DWORD BlockBytes(DWORD n) {
  return n & ~static_cast<DWORD>(15);
}

#else

DWORD CountBlocks(const BYTE*, DWORD, bool) {
  return 0;
}

DWORD BlockBytes(DWORD) {
  return 0;
}

#endif

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHigh = 0x8080808080808080ull;

// Bit 7 of every byte of x that equals the byte v, and no other bit (the
// exact form of the zero-byte test: no borrow runs between bytes).
uint64_t BytesEqual(uint64_t x, BYTE v) {
  const uint64_t y = x ^ (kOnes * v);
  return ~(((y & ~kHigh) + ~kHigh) | y) & kHigh;
}

// The number of bytes marked in a mask of BytesEqual.
DWORD CountMarked(uint64_t m) {
  return static_cast<DWORD>(((m >> 7) * kOnes) >> 56);
}

DWORD CountBytes(const BYTE* p, DWORD n) {
  // Every CR and every LF not right after a CR, eight bytes at a time; the
  // CR mark of the last byte of a word carries over to the next word.
  DWORD i = BlockBytes(n);
  DWORD nEnds = CountBlocks(p, i, false);
  uint64_t nCarry = i > 0 && p[i - 1] == MR_CHAR_CR ? 0x80 : 0;
  for (; n - i >= 8; i += 8) {
    uint64_t x;
    std::memcpy(&x, p + i, 8);
    const uint64_t cr = BytesEqual(x, MR_CHAR_CR);
    const uint64_t lf = BytesEqual(x, MR_CHAR_LF);
    nEnds += CountMarked(cr) + CountMarked(lf & ~((cr << 8) | nCarry));
    nCarry = cr >> 56;
  }
  for (; i < n; ++i) {
    nEnds += (p[i] == MR_CHAR_CR) + ((p[i] == MR_CHAR_LF) & (i == 0 || p[i - 1] != MR_CHAR_CR));
  }
  return nEnds;
}

DWORD CountUnits(const BYTE* p, DWORD n) {
  const DWORD nBlockBytes = BlockBytes(n);
  DWORD nEnds = CountBlocks(p, nBlockBytes, true);
  const DWORD nUnits = n / 2;
  UINT prev = nBlockBytes > 0 ? MrUnitAt(p + nBlockBytes - 2, TRUE) : 0;
  for (DWORD i = nBlockBytes / 2; i < nUnits; ++i) {
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
