// Byte-string scans: two needle bytes, the ones least likely to turn up in
// text, are compared over blocks of 64 starts, with AVX2 where the processor
// offers it, else with SSE2; a plain loop takes the tail and builds without
// either. (No AVX2 in Windows builds: their compiler does not align the
// stack for 32-byte values it may spill.)
#include "mirel/search/mrbytescan.h"

#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#if (defined(__GNUC__) || defined(__clang__)) && !defined(_WIN32)
#define MR_SCAN_AVX2 1
#endif
#endif

// The short scans of a regular-expression search (one line each) run with
// the whole scan inlined.
#if defined(__GNUC__) || defined(__clang__)
#define MR_SCAN_INLINE inline __attribute__((always_inline))
#else
#define MR_SCAN_INLINE inline
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

// How common a byte is in text, roughly (higher is more common): the zero
// byte of UTF-16 text, blanks and line ends, lower-case letters by their
// frequency in prose, then the first bytes of UTF-8 characters (a script
// shares a few), digits, punctuation, capitals and the UTF-8 continuation
// bytes.
struct CByteRanks {
  BYTE a[256];
};

constexpr CByteRanks MakeByteRanks() {
  CByteRanks r{};
  for (int i = 0; i < 256; ++i) r.a[i] = i >= 0xC0 ? 180 : 40;
  for (int c = 'A'; c <= 'Z'; ++c) r.a[c] = 90;
  for (int c = '0'; c <= '9'; ++c) r.a[c] = 110;
  const char kPunctuation[] = ".,;:()\"'-_=/<>{}[]*";
  for (char c : kPunctuation) r.a[static_cast<BYTE>(c)] = 120;
  const char kByFrequency[] = "etaoinshrdlcumwfgypbvkjxqz";
  for (int k = 0; k < 26; ++k) r.a[static_cast<BYTE>(kByFrequency[k])] = static_cast<BYTE>(250 - 6 * k);
  r.a[static_cast<BYTE>('\t')] = 150;
  r.a[static_cast<BYTE>('\r')] = 200;
  r.a[static_cast<BYTE>('\n')] = 200;
  r.a[static_cast<BYTE>(' ')] = 255;
  r.a[0] = 255;
  return r;
}

constexpr CByteRanks kByteRanks = MakeByteRanks();

template <bool kNoCase>
int RankOf(BYTE b) {
  const int n = kByteRanks.a[b];
  return kNoCase ? n + kByteRanks.a[OtherCase(b)] : n;
}

// The needle and the two offsets of it the filter compares.
template <bool kNoCase>
struct CNeedle {
  // bRank: choose the filter bytes by their rank (worth it for a long scan);
  // else the first and the last byte that is not zero.
  CNeedle(const BYTE* p, size_t n, bool bRank) : pBytes(p), nLen(n) {
    if (!bRank) {
      nOther = n - 1;
      if (p[nOther] == 0 && nOther > 1) --nOther;
      return;
    }
    for (size_t i = 1; i < n; ++i) {
      if (RankOf<kNoCase>(p[i]) < RankOf<kNoCase>(p[nRare])) nRare = i;
    }
    // The second differs in value where it can, so that the two tests are
    // not one.
    nOther = nRare == 0 ? n - 1 : 0;
    for (size_t i = 0; i < n; ++i) {
      if (i == nRare) continue;
      const bool bDiffers = MrFoldByte(p[i]) != MrFoldByte(p[nRare]);
      const bool bOtherDiffers = MrFoldByte(p[nOther]) != MrFoldByte(p[nRare]);
      if ((bDiffers && !bOtherDiffers) ||
          (bDiffers == bOtherDiffers && RankOf<kNoCase>(p[i]) < RankOf<kNoCase>(p[nOther])))
        nOther = i;
    }
  }
  BOOL MatchesAt(const BYTE* pAt) const {
    return kNoCase ? EqualNoCase(pAt, pBytes, nLen) : std::memcmp(pAt, pBytes, nLen) == 0;
  }
  const BYTE* pBytes;
  size_t nLen;
  size_t nRare = 0;
  size_t nOther = 0;
};

// Starts in [i, nStarts) are tried one by one.
template <bool kNoCase>
MR_SCAN_INLINE size_t ScanTail(const BYTE* pHay, size_t i, size_t nStarts, const CNeedle<kNoCase>& needle) {
  const BYTE r0 = needle.pBytes[needle.nRare];
  const BYTE r1 = kNoCase ? OtherCase(r0) : r0;
  for (; i < nStarts; ++i) {
    const BYTE b = pHay[i + needle.nRare];
    if ((b == r0 || b == r1) && needle.MatchesAt(pHay + i)) return i;
  }
  return MR_SCAN_NONE;
}

// The candidates of one block of starts (bit k for start i + k) checked in
// order; the first whole match wins.
template <bool kNoCase, typename Mask>
MR_SCAN_INLINE size_t FirstMatchInMask(const BYTE* pHay, size_t i, Mask nMask,
                                       const CNeedle<kNoCase>& needle) {
  while (nMask != 0) {
    const size_t nAt = i + static_cast<size_t>(__builtin_ctzll(static_cast<unsigned long long>(nMask)));
    if (needle.MatchesAt(pHay + nAt)) return nAt;
    nMask &= nMask - 1;
  }
  return MR_SCAN_NONE;
}

#if defined(__SSE2__)
// Candidate starts among 16 from p: both filter bytes in place.
template <bool kNoCase>
MR_SCAN_INLINE __m128i Sse2Candidates(const BYTE* p, const CNeedle<kNoCase>& needle, __m128i vA, __m128i vA2,
                                      __m128i vB, __m128i vB2) {
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + needle.nRare));
  const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + needle.nOther));
  __m128i eqA = _mm_cmpeq_epi8(x, vA);
  __m128i eqB = _mm_cmpeq_epi8(y, vB);
  if (kNoCase) {
    eqA = _mm_or_si128(eqA, _mm_cmpeq_epi8(x, vA2));
    eqB = _mm_or_si128(eqB, _mm_cmpeq_epi8(y, vB2));
  }
  return _mm_and_si128(eqA, eqB);
}

// Blocks of 64 starts, then of 16; a block reads up to its last start plus
// the needle length - 1, inside the haystack while the block's starts are
// below nStarts.
template <bool kNoCase>
MR_SCAN_INLINE size_t ScanSse2(const BYTE* pHay, size_t* pi, size_t nStarts, const CNeedle<kNoCase>& needle) {
  const BYTE a = needle.pBytes[needle.nRare];
  const BYTE b = needle.pBytes[needle.nOther];
  const __m128i vA = _mm_set1_epi8(static_cast<char>(a));
  const __m128i vA2 = _mm_set1_epi8(static_cast<char>(kNoCase ? OtherCase(a) : a));
  const __m128i vB = _mm_set1_epi8(static_cast<char>(b));
  const __m128i vB2 = _mm_set1_epi8(static_cast<char>(kNoCase ? OtherCase(b) : b));
  size_t i = *pi;
  for (; i + 64 <= nStarts; i += 64) {
    const __m128i c0 = Sse2Candidates(pHay + i, needle, vA, vA2, vB, vB2);
    const __m128i c1 = Sse2Candidates(pHay + i + 16, needle, vA, vA2, vB, vB2);
    const __m128i c2 = Sse2Candidates(pHay + i + 32, needle, vA, vA2, vB, vB2);
    const __m128i c3 = Sse2Candidates(pHay + i + 48, needle, vA, vA2, vB, vB2);
    const __m128i any = _mm_or_si128(_mm_or_si128(c0, c1), _mm_or_si128(c2, c3));
    if (_mm_movemask_epi8(any) == 0) continue;
    const unsigned long long nMask =
        static_cast<unsigned long long>(static_cast<unsigned>(_mm_movemask_epi8(c0))) |
        (static_cast<unsigned long long>(static_cast<unsigned>(_mm_movemask_epi8(c1))) << 16) |
        (static_cast<unsigned long long>(static_cast<unsigned>(_mm_movemask_epi8(c2))) << 32) |
        (static_cast<unsigned long long>(static_cast<unsigned>(_mm_movemask_epi8(c3))) << 48);
    const size_t nAt = FirstMatchInMask(pHay, i, nMask, needle);
    if (nAt != MR_SCAN_NONE) return nAt;
  }
  for (; i + 16 <= nStarts; i += 16) {
    const unsigned nMask =
        static_cast<unsigned>(_mm_movemask_epi8(Sse2Candidates(pHay + i, needle, vA, vA2, vB, vB2)));
    if (nMask == 0) continue;
    const size_t nAt = FirstMatchInMask(pHay, i, nMask, needle);
    if (nAt != MR_SCAN_NONE) return nAt;
  }
  *pi = i;
  return MR_SCAN_NONE;
}
#endif

#if defined(MR_SCAN_AVX2)
template <bool kNoCase>
__attribute__((target("avx2"))) inline __m256i Avx2Candidates(const BYTE* p, const CNeedle<kNoCase>& needle,
                                                              __m256i vA, __m256i vA2, __m256i vB,
                                                              __m256i vB2) {
  const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + needle.nRare));
  const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + needle.nOther));
  __m256i eqA = _mm256_cmpeq_epi8(x, vA);
  __m256i eqB = _mm256_cmpeq_epi8(y, vB);
  if (kNoCase) {
    eqA = _mm256_or_si256(eqA, _mm256_cmpeq_epi8(x, vA2));
    eqB = _mm256_or_si256(eqB, _mm256_cmpeq_epi8(y, vB2));
  }
  return _mm256_and_si256(eqA, eqB);
}

// Blocks of 64 starts in two 32-byte halves whose candidates are tested
// together.
template <bool kNoCase>
__attribute__((target("avx2"))) size_t ScanAvx2(const BYTE* pHay, size_t* pi, size_t nStarts,
                                                const CNeedle<kNoCase>& needle) {
  const BYTE a = needle.pBytes[needle.nRare];
  const BYTE b = needle.pBytes[needle.nOther];
  const __m256i vA = _mm256_set1_epi8(static_cast<char>(a));
  const __m256i vA2 = _mm256_set1_epi8(static_cast<char>(kNoCase ? OtherCase(a) : a));
  const __m256i vB = _mm256_set1_epi8(static_cast<char>(b));
  const __m256i vB2 = _mm256_set1_epi8(static_cast<char>(kNoCase ? OtherCase(b) : b));
  size_t i = *pi;
  for (; i + 64 <= nStarts; i += 64) {
    const __m256i lo = Avx2Candidates(pHay + i, needle, vA, vA2, vB, vB2);
    const __m256i hi = Avx2Candidates(pHay + i + 32, needle, vA, vA2, vB, vB2);
    if (_mm256_testz_si256(_mm256_or_si256(lo, hi), _mm256_or_si256(lo, hi))) continue;
    const unsigned long long nMask =
        static_cast<unsigned long long>(static_cast<unsigned>(_mm256_movemask_epi8(lo))) |
        (static_cast<unsigned long long>(static_cast<unsigned>(_mm256_movemask_epi8(hi))) << 32);
    const size_t nAt = FirstMatchInMask(pHay, i, nMask, needle);
    if (nAt != MR_SCAN_NONE) return nAt;
  }
  *pi = i;
  return MR_SCAN_NONE;
}

BOOL HasAvx2() {
  static const BOOL bHas = __builtin_cpu_supports("avx2") ? TRUE : FALSE;
  return bHas;
}
#endif

template <bool kNoCase>
size_t Scan(const BYTE* pHay, size_t nStarts, size_t nHay, const BYTE* pNeedle, size_t nNeedle) {
  if (pHay == nullptr || pNeedle == nullptr || nNeedle == 0 || nHay < nNeedle) return MR_SCAN_NONE;
  if (nStarts > nHay - nNeedle + 1) nStarts = nHay - nNeedle + 1;
  if (!kNoCase && nNeedle == 1) {
    const void* p = nStarts > 0 ? std::memchr(pHay, pNeedle[0], nStarts) : nullptr;
    return p ? static_cast<size_t>(static_cast<const BYTE*>(p) - pHay) : MR_SCAN_NONE;
  }
  // A long scan pays for choosing its filter bytes and for the wide blocks;
  // short ones (a line of a regular-expression search) go straight on.
  constexpr size_t kLongScan = 256;
  const bool bLong = nStarts >= kLongScan;
  const CNeedle<kNoCase> needle(pNeedle, nNeedle, bLong);
  size_t i = 0;
#if defined(MR_SCAN_AVX2)
  if (bLong && HasAvx2()) {
    const size_t nAt = ScanAvx2(pHay, &i, nStarts, needle);
    if (nAt != MR_SCAN_NONE) return nAt;
  }
#endif
#if defined(__SSE2__)
  const size_t nAt = ScanSse2(pHay, &i, nStarts, needle);
  if (nAt != MR_SCAN_NONE) return nAt;
#endif
  return ScanTail(pHay, i, nStarts, needle);
}

}  // namespace

MrScanCode MrScanCodeBuilt() {
#if defined(MR_SCAN_AVX2)
  return MrScanCode::Sse2AndAvx2;
#elif defined(__SSE2__)
  return MrScanCode::Sse2;
#else
  return MrScanCode::Plain;
#endif
}

size_t MrScanBytes(const BYTE* pHay, size_t nStarts, size_t nHay, const BYTE* pNeedle, size_t nNeedle) {
  return Scan<false>(pHay, nStarts, nHay, pNeedle, nNeedle);
}

size_t MrScanBytesNoCase(const BYTE* pHay, size_t nStarts, size_t nHay, const BYTE* pNeedle, size_t nNeedle) {
  return Scan<true>(pHay, nStarts, nHay, pNeedle, nNeedle);
}
