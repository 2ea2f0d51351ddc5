// A reference for the regular-expression matcher: plain greedy backtracking
// over a compiled program, retrying the rest of the program at every repeat
// length (the matcher as it was before it remembered failures or swept), and
// the searches a find makes with it: forward by starting again after each
// match it turns down, backward by one attempt per start. Slow on purpose;
// an optional step cap lets a caller give up on inputs it cannot afford.
#pragma once

#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <functional>

#include "mirel/search/cregexp.h"

namespace mirel_test {

class CPlainMatcher {
 public:
  CPlainMatcher(const CRegExp& rx, const BYTE* t, DWORD nEnd, DWORD nLimit, DWORD nLineStart,
                uint64_t nMaxSteps = UINT64_MAX)
      : m_prog(rx.abProgram),
        m_t(t),
        m_nEnd(nEnd),
        m_nLimit(nLimit),
        m_nLineStart(nLineStart),
        m_nMaxSteps(nMaxSteps) {}

  // The end of a match attempted at p, or -1.
  long long At(DWORD p) {
    std::memset(m_bClosed, 0, sizeof(m_bClosed));
    DWORD e = 0;
    return Here(p, 0, &e) ? static_cast<long long>(e) : -1;
  }

  // First start in [nStart, nEnd) (for "^" only the line start, for "$"
  // the end) with its match end; FALSE when none.
  BOOL First(DWORD nStart, DWORD* ps, DWORD* pe) {
    if (m_prog[0] == RX_EOL) {
      *ps = *pe = m_nEnd;
      return TRUE;
    }
    for (DWORD p = nStart; p < m_nEnd || (m_prog[0] == RX_BOL && p == m_nEnd); ++p) {
      if (m_prog[0] == RX_BOL && p != m_nLineStart) continue;
      const long long e = At(p);
      if (e >= 0) {
        *ps = p;
        *pe = static_cast<DWORD>(e);
        return TRUE;
      }
    }
    return FALSE;
  }

  // The step cap was reached: the answers are not to be trusted.
  BOOL GaveUp() const { return m_nSteps > m_nMaxSteps; }

 private:
  static BOOL Word(BYTE b) { return b >= 128 || std::isalnum(b) || b == '_'; }
  static int Size(const BYTE* prog, int pc) {
    switch (prog[pc]) {
      case RX_CHAR:
      case RX_GROUP_START:
      case RX_GROUP_END:
      case RX_BACKREF:
        return 2;
      case RX_CLASS:
        return 1 + RX_CLASS_SIZE;
      case RX_CLOSURE:
        return 2 + Size(prog, pc + 1);
      default:
        return 1;
    }
  }
  BOOL One(int pc, DWORD p, DWORD nBound) const {
    if (p >= nBound) return FALSE;
    if (m_prog[pc] == RX_CHAR) return m_t[p] == m_prog[pc + 1];
    if (m_prog[pc] == RX_CLASS) return (m_prog[pc + 1 + m_t[p] / 8] >> (m_t[p] % 8)) & 1;
    return TRUE;  // RX_ANY
  }

  BOOL Here(DWORD p, int pc, DWORD* pe) {
    if (++m_nSteps > m_nMaxSteps) return FALSE;
    for (;;) {
      const BYTE c = m_prog[pc];
      const int n = m_prog[pc + 1] % RX_MAX_GROUPS;
      switch (c) {
        case RX_END:
          *pe = p;
          return TRUE;
        case RX_CHAR:
        case RX_CLASS:
        case RX_ANY:
          if (!One(pc, p, c == RX_ANY ? m_nEnd : m_nLimit)) return FALSE;
          ++p;
          break;
        case RX_BOL:
          if (p != m_nLineStart) return FALSE;
          break;
        case RX_EOL:
          if (p < m_nEnd) return FALSE;
          break;
        case RX_GROUP_START:
          m_nStart[n] = p;
          m_bClosed[n] = FALSE;
          break;
        case RX_GROUP_END:
          m_nGroupEnd[n] = p;
          m_bClosed[n] = TRUE;
          break;
        case RX_WORD_START:
          if ((p > 0 && p <= m_nLimit && Word(m_t[p - 1])) || p >= m_nLimit || !Word(m_t[p])) return FALSE;
          break;
        case RX_WORD_END:
          if (p == 0 || p > m_nLimit || !Word(m_t[p - 1]) || (p < m_nLimit && Word(m_t[p]))) return FALSE;
          break;
        case RX_BACKREF: {
          const DWORD nLen = m_bClosed[n] && m_nGroupEnd[n] > m_nStart[n] ? m_nGroupEnd[n] - m_nStart[n] : 0;
          if (nLen > m_nLimit || p > m_nLimit - nLen) return FALSE;
          if (std::memcmp(m_t + m_nStart[n], m_t + p, nLen) != 0) return FALSE;
          p += nLen;
          break;
        }
        default: {  // RX_CLOSURE
          DWORD q = p;
          while (One(pc + 1, q, m_nEnd)) ++q;
          const int nRest = pc + Size(m_prog, pc);
          for (DWORD k = q + 1; k-- > p;) {
            if (Here(k, nRest, pe)) return TRUE;
            if (GaveUp()) return FALSE;
          }
          return FALSE;
        }
      }
      pc += Size(m_prog, pc);
    }
  }

  const BYTE* m_prog;
  const BYTE* m_t;
  DWORD m_nEnd;
  DWORD m_nLimit;
  DWORD m_nLineStart;
  uint64_t m_nMaxSteps;
  uint64_t m_nSteps = 0;
  DWORD m_nStart[RX_MAX_GROUPS] = {};
  DWORD m_nGroupEnd[RX_MAX_GROUPS] = {};
  BOOL m_bClosed[RX_MAX_GROUPS] = {};
};

// Whether a byte offset starts a character (the text's own rule).
using CharStartRule = std::function<BOOL(DWORD)>;

// A find's forward search in one line [nLineStart, nEnd) from nStart: the
// first match, starting again one byte after each one that starts or ends
// inside a character or is the empty match at nFrom. FALSE when none.
inline BOOL ReferenceFirst(CPlainMatcher& plain, DWORD nFrom, DWORD nStart, DWORD nEnd,
                           const CharStartRule& isStart, DWORD* ps, DWORD* pe) {
  for (DWORD p = nStart; p <= nEnd;) {
    DWORD s = 0;
    DWORD e = 0;
    if (!plain.First(p, &s, &e)) return FALSE;
    if ((s == nFrom && e == nFrom) || !isStart(s) || !isStart(e)) {
      if (s >= nEnd) return FALSE;
      p = s + 1;
      continue;
    }
    *ps = s;
    *pe = e;
    return TRUE;
  }
  return FALSE;
}

// A find's backward search in one line [nLineStart, nEnd): one attempt per
// character start from nHigh down to nLow, none at the end itself unless
// the program starts with "^" or is a lone "$"; the first match that ends on
// a character start.
inline BOOL ReferenceLast(CPlainMatcher& plain, const BYTE* pProgram, DWORD nLow, DWORD nHigh, DWORD nEnd,
                          const CharStartRule& isStart, DWORD* ps, DWORD* pe) {
  const BYTE nFirst = pProgram[0];
  for (DWORD k = (nHigh < nEnd ? nHigh : nEnd) + 1; k-- > nLow;) {
    if (k == nEnd && nFirst != RX_EOL && nFirst != RX_BOL) continue;
    if (!isStart(k)) continue;
    if (nFirst == RX_EOL) {
      if (k != nEnd) continue;
      *ps = *pe = k;
      return TRUE;
    }
    const long long e = plain.At(k);
    if (e >= 0 && isStart(static_cast<DWORD>(e))) {
      *ps = k;
      *pe = static_cast<DWORD>(e);
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace mirel_test
