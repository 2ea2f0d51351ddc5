// Buffer searches: a fast scan proposes candidates and one verifier decides,
// so every encoding rule lives in one place.
#include "mirel/search/mrfind.h"

#include <cstring>

#include "mirel/mirel.h"
#include "mirel/mrtextunits.h"
#include "mirel/search/mrbytescan.h"

namespace {

// Upper case of every UTF-16 unit, taken once from the system's mapping so
// that a search folds exactly the letters the system does, at the cost of
// one table look-up per unit.
class CWideUpper {
 public:
  CWideUpper() {
    for (UINT i = 0; i < kUnits; ++i) m_awUpper[i] = static_cast<WCHAR>(i);
    CharUpperBuffW(m_awUpper, kUnits);
    for (UINT i = 0; i < 0x80; ++i) m_awUpper[i] = static_cast<WCHAR>(MrFoldByte(static_cast<BYTE>(i)));
    for (UINT i = 0x80; i < kUnits; ++i) {
      if (m_awUpper[i] < 0x80) m_abAsciiFromWide[m_awUpper[i]] = TRUE;
    }
  }
  UINT Upper(UINT ch) const { return ch < kUnits ? m_awUpper[ch] : ch; }
  BOOL IsAsciiFromWide(UINT ch) const { return ch < 0x80 && m_abAsciiFromWide[ch]; }

 private:
  static constexpr UINT kUnits = 0x10000;
  WCHAR m_awUpper[kUnits];
  BOOL m_abAsciiFromWide[0x80] = {};  // some unit of 0x80 or more folds to this ASCII value
};

const CWideUpper& WideUpper() {
  static const CWideUpper table;
  return table;
}

}  // namespace

UINT MrFoldWide(UINT ch) {
  if (ch < 0x80) return MrFoldByte(static_cast<BYTE>(ch));
  return WideUpper().Upper(ch);
}

BOOL MrIsWideFoldTarget(UINT ch) {
  return WideUpper().IsAsciiFromWide(MrFoldWide(ch));
}

int GetUTF8CharLen(const BYTE* pText, DWORD nIndex, DWORD nEnd) {
  if (pText == nullptr || nIndex >= nEnd) return 0;
  const BYTE b = pText[nIndex];
  const DWORD nLeft = nEnd - nIndex;
  if (b == MR_CHAR_CR && nLeft >= 2 && pText[nIndex + 1] == MR_CHAR_LF) return 2;
  if (b < 0x80) return 1;
  const DWORD nWant = b >= 0xF0 ? 4 : (b >= 0xE0 ? 3 : 2);
  return static_cast<int>(nWant < nLeft ? nWant : nLeft);
}

const BYTE* FindBytes(const BYTE* pBuf, DWORD nLen, DWORD nIndex, const BYTE* pPattern, DWORD nPattern,
                      BOOL bForward) {
  if (pBuf == nullptr || pPattern == nullptr || nPattern == 0 || nPattern > nLen) return nullptr;
  const DWORD nLastStart = nLen - nPattern;
  if (bForward) {
    if (nIndex > nLastStart) return nullptr;
    const size_t nAt = MrScanBytes(pBuf + nIndex, nLastStart - nIndex + 1, nLen - nIndex, pPattern, nPattern);
    return nAt == MR_SCAN_NONE ? nullptr : pBuf + nIndex + nAt;
  }
  for (DWORD i = nIndex < nLastStart ? nIndex : nLastStart;; --i) {
    if (pBuf[i] == pPattern[0] && std::memcmp(pBuf + i, pPattern, nPattern) == 0) return pBuf + i;
    if (i == 0) return nullptr;
  }
}

namespace {

// Lead-byte table of the last code page asked for; NULL for a single-byte one.
const BYTE* LeadTableFor(int nCodePage) {
  static BYTE abTable[256];
  static int nTableCodePage = -1;
  static BOOL bAny = FALSE;
  if (nTableCodePage != nCodePage) {
    MrBuildLeadByteTable(static_cast<UINT>(nCodePage), abTable);
    bAny = FALSE;
    for (BYTE b : abTable) bAny = bAny || b != 0;
    nTableCodePage = nCodePage;
  }
  return bAny ? abTable : nullptr;
}

// Value of a byte that starts no well-formed UTF-8 sequence: it stands for
// itself, beyond every code point, so that no case folds it.
constexpr UINT kRawUtf8Byte = 0x110000;

// The UTF-8 character at p (nLeft > 0 bytes left): its value, its length in
// *pnLen. Only well-formed sequences are decoded; any other byte is a
// character of one byte.
UINT DecodeUtf8Char(const BYTE* p, DWORD nLeft, DWORD* pnLen) {
  const BYTE b = p[0];
  *pnLen = 1;
  if (b < 0x80) return b;
  DWORD nLen = 0;
  UINT ch = 0;
  BYTE lo = 0x80;  // the range of the second byte: no overlong form, surrogate or value past U+10FFFF
  BYTE hi = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    nLen = 2;
    ch = b & 0x1Fu;
  } else if (b >= 0xE0 && b <= 0xEF) {
    nLen = 3;
    ch = b & 0x0Fu;
    lo = b == 0xE0 ? 0xA0 : 0x80;
    hi = b == 0xED ? 0x9F : 0xBF;
  } else if (b >= 0xF0 && b <= 0xF4) {
    nLen = 4;
    ch = b & 0x07u;
    lo = b == 0xF0 ? 0x90 : 0x80;
    hi = b == 0xF4 ? 0x8F : 0xBF;
  } else {
    return kRawUtf8Byte + b;
  }
  if (nLeft < nLen || p[1] < lo || p[1] > hi) return kRawUtf8Byte + b;
  for (DWORD i = 1; i < nLen; ++i) {
    if ((p[i] & 0xC0) != 0x80) return kRawUtf8Byte + b;
    ch = (ch << 6) | (p[i] & 0x3Fu);
  }
  *pnLen = nLen;
  return ch;
}

}  // namespace

CMrTextFinder::CMrTextFinder(const BYTE* pBuf, DWORD nLen, const BYTE* pPattern, DWORD nPattern,
                             int nEncoding, int nCodePage, BOOL bMatchCase, DWORD nKnownStart, DWORD nFloor)
    : buf(pBuf),
      len(pBuf != nullptr ? nLen : 0),
      pat(pPattern),
      n(pPattern != nullptr ? nPattern : 0),
      wide(IsWideEncoding(nEncoding)),
      utf8(nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM),
      matchCase(bMatchCase),
      lead(nEncoding == MIREL_ENCODING_ANSI ? LeadTableFor(nCodePage) : nullptr),
      m_nMinMatch(0),
      startB(pBuf, len, lead, nKnownStart < len ? nKnownStart : len, nFloor),
      endB(pBuf, len, lead, nKnownStart < len ? nKnownStart : len, nFloor) {
  if (wide) n &= ~1u;
  m_nMinMatch = n;
  if (utf8 && !matchCase) {
    // Every character of the pattern matches at least one byte.
    m_nMinMatch = 0;
    for (DWORD k = 0; k < n; ++m_nMinMatch) {
      DWORD nChar = 1;
      DecodeUtf8Char(pat + k, n - k, &nChar);
      k += nChar;
    }
  }
}

long long CMrTextFinder::Forward(DWORD i, DWORD* pnMatchLen) {
  if (n == 0 || m_nMinMatch > len) return -1;
  const DWORD nLastStart = len - m_nMinMatch;
  // The scan needle: the whole pattern, or for a case-blind UTF-8 or UTF-16
  // search its ASCII lead that no other character folds to (only single
  // bytes, or units, can equal those).
  DWORD nNeedle = n;
  const BOOL bNoCaseScan = !matchCase;
  if (!matchCase && utf8) {
    nNeedle = 0;
    while (nNeedle < n && pat[nNeedle] < 0x80 && !MrIsWideFoldTarget(pat[nNeedle])) ++nNeedle;
  }
  if (!matchCase && wide) {
    nNeedle = 0;
    while (nNeedle + 2 <= n && MrUnitAt(pat + nNeedle, TRUE) < 0x80 &&
           !MrIsWideFoldTarget(MrUnitAt(pat + nNeedle, TRUE)))
      nNeedle += 2;
  }
  if (!matchCase && lead != nullptr) {
    // A trail byte may be an ASCII letter: scan for the bytes as they are
    // only when the pattern has no double-byte character.
    for (DWORD k = 0; k < n; ++k) {
      if (lead[pat[k]]) {
        nNeedle = 0;
        break;
      }
    }
  }
  if (nNeedle == 0) {
    const DWORD nStep = wide ? 2 : 1;
    if (wide && (i & 1)) ++i;
    for (DWORD c = i; c <= nLastStart; c += nStep) {
      const DWORD nMatch = Verify(c);
      if (nMatch > 0) {
        *pnMatchLen = nMatch;
        return c;
      }
    }
    return -1;
  }
  while (i <= nLastStart) {
    const size_t nAt = bNoCaseScan ? MrScanBytesNoCase(buf + i, nLastStart - i + 1, len - i, pat, nNeedle)
                                   : MrScanBytes(buf + i, nLastStart - i + 1, len - i, pat, nNeedle);
    if (nAt == MR_SCAN_NONE) return -1;
    const DWORD c = i + static_cast<DWORD>(nAt);
    const DWORD nMatch = Verify(c);
    if (nMatch > 0) {
      *pnMatchLen = nMatch;
      return c;
    }
    i = c + 1;
  }
  return -1;
}

long long CMrTextFinder::Backward(DWORD i, DWORD nEndLimit, DWORD* pnMatchLen) {
  if (nEndLimit > len) nEndLimit = len;
  if (n == 0 || m_nMinMatch > nEndLimit) return -1;
  DWORD c = i < nEndLimit - m_nMinMatch ? i : nEndLimit - m_nMinMatch;
  if (wide) c &= ~1u;
  const DWORD nStep = wide ? 2 : 1;
  // Candidates start with the pattern's first byte in either ASCII case,
  // unless another character can fold to it.
  const BYTE f0 = pat[0];
  const BOOL bEvery = !matchCase && (wide || f0 >= 0x80 || (utf8 && MrIsWideFoldTarget(f0)));
  const BYTE f1 = matchCase ? f0 : static_cast<BYTE>(MrToLowerA(f0));
  const BYTE f2 = matchCase ? f0 : static_cast<BYTE>(MrToUpperA(f0));
  for (;;) {
    if (bEvery || buf[c] == f1 || buf[c] == f2) {
      const DWORD nMatch = Verify(c);
      if (nMatch > 0 && nMatch <= nEndLimit - c) {
        *pnMatchLen = nMatch;
        return c;
      }
    }
    if (c < nStep) return -1;
    c -= nStep;
  }
}

// A case-blind UTF-8 comparison, one character of each side at a time: the
// length of the text that matches at c, or 0.
DWORD CMrTextFinder::VerifyUtf8NoCase(DWORD c) {
  DWORD j = c;
  for (DWORD k = 0; k < n;) {
    if (j >= len) return 0;
    DWORD nA = 1;
    DWORD nB = 1;
    const UINT a = DecodeUtf8Char(buf + j, len - j, &nA);
    const UINT b = DecodeUtf8Char(pat + k, n - k, &nB);
    if (a != b && MrFoldWide(a) != MrFoldWide(b)) return 0;
    j += nA;
    k += nB;
  }
  return j - c;
}

// A lone CR or LF pattern does not match half of a CR LF pair.
BOOL CMrTextFinder::IsLoneLineEndHalf(DWORD c) {
  const DWORD nUnit = wide ? 2 : 1;
  if (n != nUnit) return FALSE;
  const UINT u = MrUnitAt(pat, wide);
  if (u == MR_CHAR_CR && MrUnitAtIn(buf, c + nUnit, len, wide, 0) == MR_CHAR_LF) return TRUE;
  return u == MR_CHAR_LF && MrUnitAtIn(buf, static_cast<long long>(c) - nUnit, len, wide, 0) == MR_CHAR_CR;
}

DWORD CMrTextFinder::Verify(DWORD c) {
  if (n == 0 || c >= len) return 0;
  const BYTE* p = buf + c;
  DWORD nMatch = n;
  if (wide) {
    if ((c & 1) || n > len - c) return 0;
    for (DWORD k = 0; k < n; k += 2) {
      const UINT a = MrUnitAt(p + k, TRUE);
      const UINT b = MrUnitAt(pat + k, TRUE);
      if (a != b && (matchCase || MrFoldWide(a) != MrFoldWide(b))) return 0;
    }
    // A surrogate pair is one character.
    auto insidePair = [&](DWORD x) { return x >= 2 && x + 2 <= len && MrIsSurrogatePairAt(buf + x - 2, 4); };
    if (insidePair(c) || insidePair(c + n)) return 0;
  } else if (utf8) {
    if (!m_bEndsKnown && (p[0] & 0xC0) == 0x80) return 0;
    if (matchCase) {
      if (n > len - c || std::memcmp(p, pat, n) != 0) return 0;
    } else {
      nMatch = VerifyUtf8NoCase(c);
      if (nMatch == 0) return 0;
    }
    if (!m_bEndsKnown && nMatch < len - c && (buf[c + nMatch] & 0xC0) == 0x80) return 0;
  } else {
    if (n > len - c) return 0;
    if (matchCase) {
      if (std::memcmp(p, pat, n) != 0) return 0;
    } else {
      for (DWORD k = 0; k < n; ++k) {
        if (lead != nullptr && lead[pat[k]] && k + 1 < n && pat[k + 1] >= MR_MIN_TRAIL_BYTE) {
          // A double-byte character compares exactly.
          if (p[k] != pat[k] || p[k + 1] != pat[k + 1]) return 0;
          ++k;
          continue;
        }
        if (p[k] != pat[k] && MrFoldByte(p[k]) != MrFoldByte(pat[k])) return 0;
      }
    }
    if (lead != nullptr && (!startB.IsBoundary(c) || !endB.IsBoundary(c + n))) return 0;
  }
  return IsLoneLineEndHalf(c) ? 0 : nMatch;
}

const BYTE* FindTextInBuffer(const BYTE* pBuf, DWORD nLen, DWORD nIndex, const BYTE* pPattern, DWORD nPattern,
                             int nEncoding, int nCodePage, BOOL bForward, BOOL bMatchCase,
                             DWORD* pnMatchLen) {
  if (pBuf == nullptr || pPattern == nullptr || nPattern == 0) return nullptr;
  CMrTextFinder finder(pBuf, nLen, pPattern, nPattern, nEncoding, nCodePage, bMatchCase);
  DWORD nMatch = 0;
  const long long nAt = bForward ? finder.Forward(nIndex, &nMatch) : finder.Backward(nIndex, nLen, &nMatch);
  if (nAt < 0) return nullptr;
  if (pnMatchLen != nullptr) *pnMatchLen = nMatch;
  return pBuf + nAt;
}
