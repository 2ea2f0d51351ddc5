// Line-end counting a word at a time, without a branch on the data.
#include "mirel/mrlineends.h"

#include <cstdint>
#include <cstring>

#include "mirel/mirel.h"

namespace {

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
  DWORD nEnds = 0;
  DWORD i = 0;
  uint64_t nCarry = 0;
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
