// Byte-string scans: SSE2 first-and-last-byte filtering with a plain loop for
// the tail and for builds without SSE2.
#include "mirel/search/mrbytescan.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

BOOL EqualNoCase(const BYTE* a, const BYTE* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (MrFoldByte(a[i]) != MrFoldByte(b[i])) return FALSE;
  }
  return TRUE;
}

// The other case of an ASCII letter, else the byte itself.
constexpr BYTE OtherCase(BYTE b) {
  if (b >= 'a' && b <= 'z') return static_cast<BYTE>(b - 'a' + 'A');
  if (b >= 'A' && b <= 'Z') return static_cast<BYTE>(b - 'A' + 'a');
  return b;
}

// Starts in [i, nStarts) are tried one by one.
template <bool kNoCase>
size_t ScanTail(const BYTE* pHay, size_t i, size_t nStarts, const BYTE* pNeedle, size_t nNeedle) {
  const BYTE f0 = pNeedle[0];
  const BYTE f1 = kNoCase ? OtherCase(f0) : f0;
  for (; i < nStarts; ++i) {
    const BYTE b = pHay[i];
    if (b != f0 && b != f1) continue;
    if (kNoCase ? EqualNoCase(pHay + i + 1, pNeedle + 1, nNeedle - 1)
                : std::memcmp(pHay + i + 1, pNeedle + 1, nNeedle - 1) == 0)
      return i;
  }
  return MR_SCAN_NONE;
}

template <bool kNoCase>
size_t Scan(const BYTE* pHay, size_t nStarts, size_t nHay, const BYTE* pNeedle, size_t nNeedle) {
  if (pHay == nullptr || pNeedle == nullptr || nNeedle == 0 || nHay < nNeedle) return MR_SCAN_NONE;
  if (nStarts > nHay - nNeedle + 1) nStarts = nHay - nNeedle + 1;
  size_t i = 0;
  if (!kNoCase && nNeedle == 1) {
    const void* p = nStarts > 0 ? std::memchr(pHay, pNeedle[0], nStarts) : nullptr;
    return p ? static_cast<size_t>(static_cast<const BYTE*>(p) - pHay) : MR_SCAN_NONE;
  }
#if defined(__SSE2__)
  const size_t nLast = nNeedle - 1;
  const __m128i vFirst = _mm_set1_epi8(static_cast<char>(pNeedle[0]));
  const __m128i vFirst2 = _mm_set1_epi8(static_cast<char>(kNoCase ? OtherCase(pNeedle[0]) : pNeedle[0]));
  const __m128i vLast = _mm_set1_epi8(static_cast<char>(pNeedle[nLast]));
  const __m128i vLast2 =
      _mm_set1_epi8(static_cast<char>(kNoCase ? OtherCase(pNeedle[nLast]) : pNeedle[nLast]));
  // A block of 16 starts reads up to i + 15 + nLast < nHay.
  while (i + 16 <= nStarts) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pHay + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pHay + i + nLast));
    __m128i eqA = _mm_cmpeq_epi8(a, vFirst);
    __m128i eqB = _mm_cmpeq_epi8(b, vLast);
    if (kNoCase) {
      eqA = _mm_or_si128(eqA, _mm_cmpeq_epi8(a, vFirst2));
      eqB = _mm_or_si128(eqB, _mm_cmpeq_epi8(b, vLast2));
    }
    unsigned nMask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(eqA, eqB)));
    while (nMask != 0) {
      const unsigned nBit = static_cast<unsigned>(__builtin_ctz(nMask));
      const size_t nAt = i + nBit;
      if (kNoCase ? EqualNoCase(pHay + nAt, pNeedle, nNeedle)
                  : std::memcmp(pHay + nAt, pNeedle, nNeedle) == 0)
        return nAt;
      nMask &= nMask - 1;
    }
    i += 16;
  }
#endif
  return ScanTail<kNoCase>(pHay, i, nStarts, pNeedle, nNeedle);
}

}  // namespace

size_t MrScanBytes(const BYTE* pHay, size_t nStarts, size_t nHay, const BYTE* pNeedle, size_t nNeedle) {
  return Scan<false>(pHay, nStarts, nHay, pNeedle, nNeedle);
}

size_t MrScanBytesNoCase(const BYTE* pHay, size_t nStarts, size_t nHay, const BYTE* pNeedle, size_t nNeedle) {
  return Scan<true>(pHay, nStarts, nHay, pNeedle, nNeedle);
}
