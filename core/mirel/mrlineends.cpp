// Line-end counting sixteen bytes at a time where the processor has SSE2,
// else a word at a time; never a branch on the data.
#include "mirel/mrlineends.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "mirel/mirel.h"

namespace {

#if defined(__SSE2__)

// The line ends of one 16-byte block x added to acc: every CR, and every LF
// whose unit before it is no CR; before holds the 16 bytes one unit earlier.
// Lanes are 0 or all ones: subtracting adds one per line end (a UTF-16 unit
// counts in both of its byte lanes).
template <bool bWide>
__m128i AddBlock(__m128i acc, __m128i x, __m128i before) {
  const __m128i cr = bWide ? _mm_set1_epi16(MR_CHAR_CR) : _mm_set1_epi8(MR_CHAR_CR);
  const __m128i lf = bWide ? _mm_set1_epi16(MR_CHAR_LF) : _mm_set1_epi8(MR_CHAR_LF);
  const __m128i isCr = bWide ? _mm_cmpeq_epi16(x, cr) : _mm_cmpeq_epi8(x, cr);
  const __m128i isLf = bWide ? _mm_cmpeq_epi16(x, lf) : _mm_cmpeq_epi8(x, lf);
  const __m128i crBefore = bWide ? _mm_cmpeq_epi16(before, cr) : _mm_cmpeq_epi8(before, cr);
  return _mm_sub_epi8(_mm_sub_epi8(acc, isCr), _mm_andnot_si128(crBefore, isLf));
}

__m128i Load(const BYTE* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The line ends in the first n & ~15 bytes. The bytes one unit before a
// block are read as a block of their own (cheaper than shifting the CR marks
// across blocks); the first block's come from a copy with a zero unit in
// front. Two blocks per step go into two counters, so that the additions of
// one block need not wait for those of the other (one chain of additions
// halves the speed). A byte lane gains at most 1 per block, so each counter
// is emptied after 255 blocks.
template <bool bWide>
DWORD CountBlocks(const BYTE* p, DWORD n) {
  constexpr DWORD nUnit = bWide ? 2 : 1;
  const DWORD nBlocks = n / 16;
  if (nBlocks == 0) return 0;
  const __m128i zero = _mm_setzero_si128();
  BYTE first[16] = {};
  std::memcpy(first + nUnit, p, 16 - nUnit);
  __m128i accEven = AddBlock<bWide>(zero, Load(p), Load(first));
  __m128i accOdd = zero;
  unsigned long long nTotal = 0;
  auto flush = [&] {
    const __m128i sums = _mm_add_epi64(_mm_sad_epu8(accEven, zero), _mm_sad_epu8(accOdd, zero));
    nTotal += static_cast<unsigned long long>(_mm_cvtsi128_si32(sums)) +
              static_cast<unsigned long long>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    accEven = accOdd = zero;
  };
  DWORD b = 1;
  DWORD nInRun = 1;  // blocks in accEven since it was emptied (accOdd holds no more)
  for (;;) {
    const DWORD nPairs = std::min<DWORD>((nBlocks - b) / 2, 255 - nInRun);
    for (DWORD k = 0; k < nPairs; ++k, b += 2) {
      const BYTE* q = p + 16 * b;
      accEven = AddBlock<bWide>(accEven, Load(q), Load(q - nUnit));
      accOdd = AddBlock<bWide>(accOdd, Load(q + 16), Load(q + 16 - nUnit));
    }
    nInRun += nPairs;
    if (nInRun == 255) {
      flush();
      nInRun = 0;
      continue;
    }
    // At most one block is left.
    if (b < nBlocks) accEven = AddBlock<bWide>(accEven, Load(p + 16 * b), Load(p + 16 * b - nUnit));
    break;
  }
  flush();
  return static_cast<DWORD>(bWide ? nTotal / 2 : nTotal);
}

// Bytes the block count covers: whole 16-byte blocks.
DWORD BlockBytes(DWORD n) {
  return n & ~static_cast<DWORD>(15);
}

#else

template <bool bWide>
DWORD CountBlocks(const BYTE*, DWORD) {
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
  DWORD nEnds = CountBlocks<false>(p, i);
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
  DWORD nEnds = CountBlocks<true>(p, nBlockBytes);
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
