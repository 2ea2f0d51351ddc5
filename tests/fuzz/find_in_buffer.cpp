// Fuzz target: the text search of find, replace and the find-result list,
// over a buffer of exactly the searched size in every encoding, against a
// plain reference that tries every start in turn. The same search started
// from a known character start (as find starts it) must agree too.
//
// Input: byte 0 = encoding (low 2 bits: ANSI, UTF-16, UTF-8, UTF-8 with
// mark), bit 2 forward, bit 3 match case, bits 4-5 code page (system, 949,
// 932, 1252); byte 1 = start index; byte 2 = pattern length; then the
// pattern, then the text.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "mirel/mrtextunits.h"
#include "mirel/search/mrbytescan.h"
#include "mirel/search/mrfind.h"
#include "mirelctrl/mirelctrl.h"

namespace {

#define FUZZ_CHECK(cond) \
  if (!(cond)) __builtin_trap()

// A well-formed UTF-8 character at p: its value and length; else the byte
// alone, as a value no character has.
unsigned RefDecodeUtf8(const BYTE* p, size_t nLeft, size_t* pnLen) {
  *pnLen = 1;
  if (p[0] < 0x80) return p[0];
  for (size_t nLen = 2; nLen <= 4 && nLen <= nLeft; ++nLen) {
    if (p[0] < (0xFF00u >> nLen & 0xFF) || p[0] >= (0xFF00u >> (nLen + 1) & 0xFF)) continue;
    unsigned ch = p[0] & (0x7Fu >> nLen);
    size_t i = 1;
    while (i < nLen && (p[i] & 0xC0) == 0x80) ch = (ch << 6) | (p[i++] & 0x3Fu);
    static const unsigned kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (i < nLen || ch < kLeast[nLen] || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) break;
    *pnLen = nLen;
    return ch;
  }
  return 0x200000u + p[0];
}

struct Reference {
  const std::vector<BYTE>& text;
  const std::vector<BYTE>& pat;
  int nEncoding;
  BOOL bMatchCase;
  std::vector<bool> charStart;  // ANSI: double-byte characters walked from the start
  const BYTE* lead;

  bool Wide() const { return nEncoding == MIREL_ENCODING_UTF16LE; }
  bool Utf8() const { return nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM; }
  unsigned Unit(size_t i) const { return text[i] | (text[i + 1] << 8); }

  // Neither a match's start nor its end may fall inside a character.
  bool IsStart(size_t i) const {
    if (i >= text.size()) return true;
    // No UTF-8 match starts on a continuation byte, or ends before one.
    if (Utf8()) return (text[i] & 0xC0) != 0x80;
    if (i == 0) return true;
    if (Wide()) {
      return (i & 1) == 0 && !(i + 2 <= text.size() && Unit(i - 2) >= 0xD800 && Unit(i - 2) <= 0xDBFF &&
                               Unit(i) >= 0xDC00 && Unit(i) <= 0xDFFF);
    }
    return charStart[i];
  }

  // Length of the text matching the pattern at c, or 0.
  size_t MatchAt(size_t c) const {
    const size_t n = Wide() ? pat.size() & ~size_t{1} : pat.size();
    if (n == 0 || !IsStart(c) || c >= text.size()) return 0;
    size_t j = c;
    for (size_t k = 0; k < n;) {
      if (j >= text.size()) return 0;
      size_t nA = Wide() ? 2 : 1;
      size_t nB = nA;
      unsigned a, b;
      if (Wide()) {
        if (j + 2 > text.size()) return 0;
        a = Unit(j);
        b = pat[k] | (pat[k + 1] << 8);
      } else if (Utf8() && !bMatchCase) {
        a = RefDecodeUtf8(&text[j], text.size() - j, &nA);
        b = RefDecodeUtf8(&pat[k], n - k, &nB);
      } else {
        a = text[j];
        b = pat[k];
        // A double-byte character of the pattern compares exactly.
        if (lead != nullptr && lead[b] && k + 1 < n && pat[k + 1] >= 0x40) {
          if (j + 2 > text.size() || text[j + 1] != pat[k + 1]) return 0;
          nA = nB = 2;
          if (a != b) return 0;
        }
      }
      const bool bSame = Wide() || Utf8()
                             ? MrFoldWide(a) == MrFoldWide(b)
                             : MrFoldByte(static_cast<BYTE>(a)) == MrFoldByte(static_cast<BYTE>(b));
      if (a != b && (bMatchCase || !bSame)) return 0;
      j += nA;
      k += nB;
    }
    if (!IsStart(j)) return 0;
    // A one-unit CR or LF pattern matches only a lone one.
    const size_t u = Wide() ? 2 : 1;
    if (n == u) {
      const unsigned p0 = Wide() ? pat[0] | (pat[1] << 8) : pat[0];
      auto unitAt = [&](size_t i) { return Wide() ? Unit(i) : text[i]; };
      if (p0 == '\r' && c + 2 * u <= text.size() && unitAt(c + u) == '\n') return 0;
      if (p0 == '\n' && c >= u && unitAt(c - u) == '\r') return 0;
    }
    return j - c;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  static const int kEncodings[] = {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8,
                                   MIREL_ENCODING_UTF8_BOM};
  static const int kCodePages[] = {0, 949, 932, 1252};
  const int nEncoding = kEncodings[data[0] & 3];
  const BOOL bForward = (data[0] >> 2) & 1;
  const BOOL bMatchCase = (data[0] >> 3) & 1;
  const int nCodePage = kCodePages[(data[0] >> 4) & 3];
  const DWORD nIndex = data[1];
  size_t nPattern = data[2];
  data += 3;
  size -= 3;
  if (nPattern > size) nPattern = size;
  const std::vector<BYTE> pattern(data, data + nPattern);
  const std::vector<BYTE> text(data + nPattern, data + size);
  if (text.empty()) return 0;
  const DWORD nLen = static_cast<DWORD>(text.size());
  const DWORD n = static_cast<DWORD>(pattern.size());
  const BYTE* pPattern = pattern.empty() ? reinterpret_cast<const BYTE*>("") : pattern.data();

  BYTE abLead[256];
  MrBuildLeadByteTable(static_cast<UINT>(nCodePage), abLead);
  bool bAnyLead = false;
  for (BYTE b : abLead) bAnyLead = bAnyLead || b != 0;
  Reference ref{text,
                pattern,
                nEncoding,
                bMatchCase,
                std::vector<bool>(nLen + 1, false),
                nEncoding == MIREL_ENCODING_ANSI && bAnyLead ? abLead : nullptr};
  for (size_t i = 0; i < nLen;) {
    ref.charStart[i] = true;
    i += (ref.lead != nullptr && i + 1 < nLen && ref.lead[text[i]] && text[i + 1] >= 0x40) ? 2 : 1;
  }
  ref.charStart[nLen] = true;

  // The reference: the first start in the search direction that matches.
  long long nWant = -1;
  size_t nWantLen = 0;
  const bool bWide = nEncoding == MIREL_ENCODING_UTF16LE;
  if (bForward) {
    for (size_t c = bWide ? (nIndex + 1) & ~1u : nIndex; c < nLen && nWant < 0; c += bWide ? 2 : 1) {
      if ((nWantLen = ref.MatchAt(c)) > 0) nWant = static_cast<long long>(c);
    }
  } else {
    for (long long c = std::min<long long>(nIndex, nLen - 1); c >= 0 && nWant < 0; --c) {
      if ((nWantLen = ref.MatchAt(static_cast<size_t>(c))) > 0) nWant = c;
    }
  }

  DWORD nMatch = 0;
  const BYTE* pHit = FindTextInBuffer(text.data(), nLen, nIndex, pPattern, n, nEncoding, nCodePage, bForward,
                                      bMatchCase, &nMatch);
  FUZZ_CHECK((pHit == nullptr ? -1 : pHit - text.data()) == nWant);
  if (pHit != nullptr) FUZZ_CHECK(nMatch == nWantLen);

  // Started from a known character start at or before the index, with the
  // start of the text as the floor, as find starts.
  auto startAtOrBefore = [&](DWORD i) {
    while (i > 0 && !ref.IsStart(i)) --i;
    return i;
  };
  const DWORD nKnown = startAtOrBefore(std::min(nIndex, nLen));
  CMrTextFinder finder(text.data(), nLen, pPattern, n, nEncoding, nCodePage, bMatchCase, nKnown,
                       startAtOrBefore(nKnown / 2));
  const long long nAt = bForward ? finder.Forward(nIndex, &nMatch) : finder.Backward(nIndex, nLen, &nMatch);
  FUZZ_CHECK(nAt == nWant);
  if (nAt >= 0) FUZZ_CHECK(nMatch == nWantLen);
  for (DWORD c = 0; c < nLen; ++c) FUZZ_CHECK(finder.MatchAt(c) == ref.MatchAt(c));

  const BYTE* pBytes = FindBytes(text.data(), nLen, nIndex, pPattern, n, bForward);
  if (pBytes != nullptr) {
    const DWORD s = static_cast<DWORD>(pBytes - text.data());
    FUZZ_CHECK(s <= nLen && n <= nLen - s && std::memcmp(pBytes, pPattern, n) == 0);
  }
  for (DWORD i = 0; i <= nLen && i < 8; ++i) {
    const int nChar = GetUTF8CharLen(text.data(), i, nLen);
    FUZZ_CHECK(nChar >= 0 && static_cast<DWORD>(nChar) <= nLen - (i < nLen ? i : nLen));
  }
  return 0;
}
