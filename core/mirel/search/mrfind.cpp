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

// Whether a byte offset of an ANSI buffer in a double-byte code page starts a
// character. Queries that move steadily in one direction cost amortised
// constant time: the run of lead-byte values before the offset is cached.
class CDbcsBoundary {
 public:
  CDbcsBoundary(const BYTE* pBuf, DWORD nLen, const BYTE* pLead) : p(pBuf), n(nLen), lead(pLead) {}
  BOOL IsBoundary(DWORD s) {
    if (lead == nullptr || s == 0 || s >= n) return TRUE;
    if (!lead[p[s - 1]]) return TRUE;  // after a single byte or a trail byte
    DWORD r;
    if (bCache && nRunStart <= s - 1 && s <= nCovered) {
      r = nRunStart;
    } else if (bCache && s > nCovered && nCovered > nRunStart) {
      r = nRunStart;
      for (DWORD i = nCovered; i < s; ++i) {
        if (!lead[p[i]]) r = i + 1;
      }
    } else {
      r = s - 1;
      while (r > 0 && lead[p[r - 1]]) --r;
    }
    bCache = TRUE;
    nRunStart = r;
    nCovered = s;
    // Lead-byte values pair up from the run start; the last one stands alone
    // before a byte that cannot trail.
    return ((s - r) % 2) == 0 || p[s] < MR_MIN_TRAIL_BYTE;
  }

 private:
  const BYTE* p;
  DWORD n;
  const BYTE* lead;
  BOOL bCache = FALSE;
  DWORD nRunStart = 0;  // every byte of [nRunStart, nCovered) is a lead-byte value
  DWORD nCovered = 0;
};

}  // namespace

BOOL MrIsDbcsBoundary(const BYTE* pBuf, DWORD nLen, DWORD s, const BYTE* pLead) {
  CDbcsBoundary boundary(pBuf, nLen, pLead);
  return boundary.IsBoundary(s);
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

// Decodes the UTF-8 character of nBytes at p (the length GetUTF8CharLen gave).
UINT DecodeUtf8(const BYTE* p, int nBytes) {
  if (nBytes <= 1) return p[0];
  UINT ch = p[0] & (nBytes == 2 ? 0x1F : nBytes == 3 ? 0x0F : 0x07);
  for (int i = 1; i < nBytes; ++i) ch = (ch << 6) | (p[i] & 0x3F);
  return ch;
}

class CFinder {
 public:
  CFinder(const BYTE* pBuf, DWORD nLen, const BYTE* pPat, DWORD nPat, int nEncoding, int nCodePage,
          BOOL bMatchCase)
      : buf(pBuf),
        len(nLen),
        pat(pPat),
        n(nPat),
        wide(IsWideEncoding(nEncoding)),
        utf8(nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM),
        matchCase(bMatchCase),
        lead(nEncoding == MIREL_ENCODING_ANSI ? LeadTableFor(nCodePage) : nullptr),
        startB(pBuf, nLen, lead),
        endB(pBuf, nLen, lead) {
    if (wide) n &= ~1u;
  }

  long long Forward(DWORD i) {
    if (n == 0 || n > len) return -1;
    const DWORD nLastStart = len - n;
    // The scan needle: the whole pattern, or for a case-blind UTF-8 search
    // its ASCII lead (only single bytes can equal those characters).
    DWORD nNeedle = n;
    BOOL bNoCaseScan = !matchCase;
    if (!matchCase && utf8) {
      nNeedle = 0;
      while (nNeedle < n && pat[nNeedle] < 0x80 && pat[nNeedle] != MR_CHAR_CR) ++nNeedle;
    }
    if (!matchCase && wide) {
      // Scan for the leading ASCII units that no other unit folds to.
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
        if (Verify(c)) return c;
      }
      return -1;
    }
    while (i <= nLastStart) {
      const size_t nAt = bNoCaseScan ? MrScanBytesNoCase(buf + i, nLastStart - i + 1, len - i, pat, nNeedle)
                                     : MrScanBytes(buf + i, nLastStart - i + 1, len - i, pat, nNeedle);
      if (nAt == MR_SCAN_NONE) return -1;
      const DWORD c = i + static_cast<DWORD>(nAt);
      if (Verify(c)) return c;
      i = c + 1;
    }
    return -1;
  }

  long long Backward(DWORD i) {
    if (n == 0 || n > len) return -1;
    const DWORD nLastStart = len - n;
    DWORD c = i < nLastStart ? i : nLastStart;
    if (wide) c &= ~1u;
    const BYTE f0 = pat[0];
    const BYTE f1 = (matchCase || wide || (f0 >= 0x80)) ? f0 : static_cast<BYTE>(MrToLowerA(f0));
    const BYTE f2 = (matchCase || wide || (f0 >= 0x80)) ? f0 : static_cast<BYTE>(MrToUpperA(f0));
    for (;;) {
      const BOOL bQuick = (!matchCase && (wide || f0 >= 0x80)) || buf[c] == f1 || buf[c] == f2;
      if (bQuick && Verify(c)) return c;
      if (c < static_cast<DWORD>(wide ? 2 : 1)) return -1;
      c -= wide ? 2 : 1;
    }
  }

 private:
  BOOL Verify(DWORD c) {
    if (c > len || n > len - c) return FALSE;
    const BYTE* p = buf + c;
    if (wide) {
      if (c & 1) return FALSE;
      for (DWORD k = 0; k < n; k += 2) {
        const UINT a = MrUnitAt(p + k, TRUE);
        const UINT b = MrUnitAt(pat + k, TRUE);
        if (a != b && (matchCase || MrFoldWide(a) != MrFoldWide(b))) return FALSE;
      }
    } else if (utf8) {
      if ((p[0] & 0xC0) == 0x80) return FALSE;
      if (c + n < len && (buf[c + n] & 0xC0) == 0x80) return FALSE;
      if (matchCase) {
        if (std::memcmp(p, pat, n) != 0) return FALSE;
      } else {
        DWORD k = 0;
        while (k < n) {
          const int nA = GetUTF8CharLen(p, k, n);
          const int nB = GetUTF8CharLen(pat, k, n);
          if (nA != nB) return FALSE;
          const UINT a = DecodeUtf8(p + k, nA);
          const UINT b = DecodeUtf8(pat + k, nB);
          if (a != b && MrFoldWide(a) != MrFoldWide(b)) return FALSE;
          k += static_cast<DWORD>(nA);
        }
      }
    } else {
      if (lead != nullptr && (!startB.IsBoundary(c) || !endB.IsBoundary(c + n))) return FALSE;
      if (matchCase) {
        if (std::memcmp(p, pat, n) != 0) return FALSE;
      } else {
        for (DWORD k = 0; k < n; ++k) {
          if (lead != nullptr && lead[pat[k]] && k + 1 < n && pat[k + 1] >= MR_MIN_TRAIL_BYTE) {
            // A double-byte character compares exactly.
            if (p[k] != pat[k] || p[k + 1] != pat[k + 1]) return FALSE;
            ++k;
            continue;
          }
          if (p[k] != pat[k] && MrFoldByte(p[k]) != MrFoldByte(pat[k])) return FALSE;
        }
      }
    }
    // A lone CR or LF pattern does not match half of a CR LF pair.
    const DWORD nUnit = wide ? 2 : 1;
    if (n == nUnit) {
      const UINT u = MrUnitAt(pat, wide);
      if (u == MR_CHAR_CR && MrUnitAtIn(buf, c + nUnit, len, wide, 0) == MR_CHAR_LF) return FALSE;
      if (u == MR_CHAR_LF && MrUnitAtIn(buf, static_cast<long long>(c) - nUnit, len, wide, 0) == MR_CHAR_CR)
        return FALSE;
    }
    return TRUE;
  }

  const BYTE* buf;
  DWORD len;
  const BYTE* pat;
  DWORD n;
  BOOL wide;
  BOOL utf8;
  BOOL matchCase;
  const BYTE* lead;
  CDbcsBoundary startB;
  CDbcsBoundary endB;
};

}  // namespace

const BYTE* FindTextInBuffer(const BYTE* pBuf, DWORD nLen, DWORD nIndex, const BYTE* pPattern, DWORD nPattern,
                             int nEncoding, int nCodePage, BOOL bForward, BOOL bMatchCase) {
  if (pBuf == nullptr || pPattern == nullptr || nPattern == 0) return nullptr;
  CFinder finder(pBuf, nLen, pPattern, nPattern, nEncoding, nCodePage, bMatchCase);
  const long long nAt = bForward ? finder.Forward(nIndex) : finder.Backward(nIndex);
  return nAt < 0 ? nullptr : pBuf + nAt;
}
