// The whole-text converter. The source is scanned one character at a time
// by a tight loop per source encoding; characters that convert the same
// alone as in company are gathered into runs of up to 64 KiB and converted
// with one call (or one pass of the UTF routines below), written straight
// into the output. Characters that could convert differently in company (a
// lead byte cut off by a control character, an ill-formed UTF-8 sequence, a
// lone surrogate) are converted alone, and NUL characters are written as
// one zero unit. A tracked position ends a run, so it maps to the output
// length exactly at its character boundary.
//
// ANSI to UTF-8 or UTF-16, UTF-8 to ANSI and UTF-8 to UTF-16 go faster: the
// plain characters are converted as they are scanned, in one pass, through
// per-code-page tables of the system's own conversions (mrcodepagetables.h),
// and the scanner above takes only what that pass leaves (NUL, lone lead
// bytes, ill-formed or supplementary-plane UTF-8, characters the tables do
// not cover).
#include "mirel/cmrcharencoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "mirel/cencodings.h"
#include "mirel/cmireldoc.h"
#include "mirel/mirel.h"
#include "mirel/mrcodepagetables.h"
#include "mirel/mrlargeblock.h"
#include "mirel/mrtextunits.h"

namespace {

DWORD g_nMemoryLimitOverride = 0;
DWORD g_nOutputMemoryLimit = 0;
DWORD g_nOutputFileLimit = 0;

// Source bytes converted by one call at most.
constexpr DWORD kRunBytes = 0x10000;
// Output room asked for in memory besides twice the source.
constexpr DWORD kRunRoom = 3 * kRunBytes + 16;
// Temporary-file output is written in blocks of this size.
constexpr DWORD kFileBlock = 0x100000;

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;

BOOL IsUtf8Encoding(int nEncoding) {
  return nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM;
}

// TRUE when the UTF-8 sequence of n bytes at p is well formed (shortest
// form, no surrogate, at most U+10FFFF).
BOOL IsWellFormedUtf8(const BYTE* p, DWORD n) {
  const BYTE b = p[0];
  if (b >= 0xC2 && b <= 0xDF) return n == 2;
  if (b >= 0xE0 && b <= 0xEF) {
    if (n != 3) return FALSE;
    if (b == 0xE0 && p[1] < 0xA0) return FALSE;
    if (b == 0xED && p[1] >= 0xA0) return FALSE;
    return TRUE;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    if (n != 4) return FALSE;
    if (b == 0xF0 && p[1] < 0x90) return FALSE;
    if (b == 0xF4 && p[1] >= 0x90) return FALSE;
    return TRUE;
  }
  return FALSE;
}

// TRUE when the 8 bytes at p are all ASCII and none is zero: no character
// boundary question and nothing to convert alone among them.
inline bool IsPlainAsciiWord(const BYTE* p) {
  uint64_t x;
  std::memcpy(&x, p, 8);
  return (((x - kOnes) | x) & kHighs) == 0;
}

// How many of the 8 bytes of x (in memory order) are ASCII and not zero
// before the first that is not (0 to 8). The first byte in memory is the
// lowest of the word on every target of the control (little-endian); the
// lowest flagged byte is exact, since a borrow only runs up from a zero byte.
inline DWORD PlainAsciiPrefix(uint64_t x) {
  const uint64_t nStops = ((x - kOnes) | x) & kHighs;
  return nStops == 0 ? 8 : static_cast<DWORD>(__builtin_ctzll(nStops)) >> 3;
}

inline UINT UnitAt(const BYTE* p) {
  return static_cast<UINT>(p[0] | (p[1] << 8));
}

inline void PutUnit(BYTE* d, UINT u) {
  d[0] = static_cast<BYTE>(u);
  d[1] = static_cast<BYTE>(u >> 8);
}

// UTF-16 units to UTF-8 as Utf16ToUtf8 gives them (a lone surrogate as
// U+FFFD, the output ending at a NUL unit); returns the bytes written, at
// most 3 a unit.
DWORD EncodeUnitsAsUtf8(const WCHAR* pUnits, DWORD nUnits, BYTE* d) {
  DWORD k = 0;
  for (DWORD i = 0; i < nUnits; ++i) {
    UINT c = static_cast<UINT>(pUnits[i]);
    if (c < 0x80) {
      if (c == 0) break;
      d[k++] = static_cast<BYTE>(c);
      continue;
    }
    if (c < 0x800) {
      d[k++] = static_cast<BYTE>(0xC0 | (c >> 6));
      d[k++] = static_cast<BYTE>(0x80 | (c & 0x3F));
      continue;
    }
    if (c >= 0xD800 && c <= 0xDFFF) {
      if (MrIsHighSurrogate(c) && i + 1 < nUnits && MrIsLowSurrogate(static_cast<UINT>(pUnits[i + 1]))) {
        c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<UINT>(pUnits[i + 1]) - 0xDC00);
        ++i;
        d[k++] = static_cast<BYTE>(0xF0 | (c >> 18));
        d[k++] = static_cast<BYTE>(0x80 | ((c >> 12) & 0x3F));
        d[k++] = static_cast<BYTE>(0x80 | ((c >> 6) & 0x3F));
        d[k++] = static_cast<BYTE>(0x80 | (c & 0x3F));
        continue;
      }
      c = 0xFFFD;
    }
    d[k++] = static_cast<BYTE>(0xE0 | (c >> 12));
    d[k++] = static_cast<BYTE>(0x80 | ((c >> 6) & 0x3F));
    d[k++] = static_cast<BYTE>(0x80 | (c & 0x3F));
  }
  return k;
}

// Well-formed UTF-8 without NUL (a run the scanner passed) to UTF-16 units;
// returns the units written, at most one a byte.
DWORD DecodeWellFormedUtf8(const BYTE* p, DWORD n, WCHAR* pUnits) {
  DWORD k = 0;
  DWORD i = 0;
  while (i < n) {
    const UINT b = p[i];
    if (b < 0x80) {
      pUnits[k++] = static_cast<WCHAR>(b);
      ++i;
    } else if (b < 0xE0) {
      pUnits[k++] = static_cast<WCHAR>(((b & 0x1F) << 6) | (p[i + 1] & 0x3F));
      i += 2;
    } else if (b < 0xF0) {
      pUnits[k++] = static_cast<WCHAR>(((b & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F));
      i += 3;
    } else {
      const UINT c =
          (((b & 0x07) << 18) | ((p[i + 1] & 0x3F) << 12) | ((p[i + 2] & 0x3F) << 6) | (p[i + 3] & 0x3F)) -
          0x10000;
      pUnits[k++] = static_cast<WCHAR>(0xD800 + (c >> 10));
      pUnits[k++] = static_cast<WCHAR>(0xDC00 + (c & 0x3FF));
      i += 4;
    }
  }
  return k;
}

// The eight ASCII bytes of x as eight UTF-16 units at d (the bytes of x in
// memory order; every target of the control is little-endian).
inline void WidenAsciiWord(uint64_t x, BYTE* d) {
  auto spread = [](uint64_t v) {
    v = (v | (v << 16)) & 0x0000FFFF0000FFFFull;
    return (v | (v << 8)) & 0x00FF00FF00FF00FFull;
  };
  const uint64_t lo = spread(x & 0xFFFFFFFFull);
  const uint64_t hi = spread(x >> 32);
  std::memcpy(d, &lo, 8);
  std::memcpy(d + 8, &hi, 8);
}

// Table runs: plain characters converted straight through the code-page
// tables, the same characters and stops as the scanner's plain runs, but in
// one pass. Each stops at nLimit or before the first character it does not
// take (NUL, a lone lead byte, an ill-formed or supplementary-plane UTF-8
// sequence, a character the tables leave to the system, one that crosses
// nLimit); the scanner takes it from there. Output room: 3 bytes a source
// byte and 4 more (a UTF-8 entry is copied as 4 bytes; ASCII is copied 8
// bytes at a time only while 8 source bytes are left, with room for 24).

// The ASCII before the next other byte of the 8 at p, as UTF-16 units
// (bToUnits) or bytes: all 8 are written, and what lies past the ASCII is
// written over next. Returns the ASCII bytes taken (8: all of them).
template <bool bToUnits>
inline DWORD CopyAsciiWord(const BYTE* p, BYTE** ppOut) {
  uint64_t x;
  std::memcpy(&x, p, 8);
  const DWORD n = PlainAsciiPrefix(x);
  if (bToUnits) {
    WidenAsciiWord(x, *ppOut);
    *ppOut += 2 * n;
  } else {
    std::memcpy(*ppOut, &x, 8);
    *ppOut += n;
  }
  return n;
}

// ANSI to UTF-16 units (bToUnits) or UTF-8.
template <bool bToUnits>
DWORD DecodeAnsiRun(const CMrAnsiDecodeTable& t, const BYTE* p, DWORD nTextLen, DWORD i, DWORD nLimit,
                    BYTE** ppOut) {
  const bool bWords = t.IsAsciiSame() != FALSE;
  BYTE* o = *ppOut;
  while (i < nLimit) {
    if (bWords && nLimit - i >= 8) {
      const DWORD n = CopyAsciiWord<bToUnits>(p + i, &o);
      i += n;
      if (n == 8) continue;
    }
    const BYTE b = p[i];
    const MrAnsiChar* c = &t.Single(b);
    DWORD n = 1;
    if (t.IsLead(b)) {
      if (nLimit - i < 2 || nTextLen - i < 2 || p[i + 1] < MR_MIN_TRAIL_BYTE) break;
      c = &t.Pair(b, p[i + 1]);
      n = 2;
    }
    if (c->nLen == 0) break;
    if (bToUnits) {
      PutUnit(o, c->nUnit);
      o += 2;
    } else {
      std::memcpy(o, c, 4);  // the UTF-8 bytes and their count, which the next character overwrites
      o += c->nLen;
    }
    i += n;
  }
  *ppOut = o;
  return i;
}

// Well-formed basic-plane UTF-8 to UTF-16 units (bToUnits, pTable unused)
// or to ANSI.
template <bool bToUnits>
DWORD Utf8Run(const CMrAnsiEncodeTable* pTable, const BYTE* p, DWORD i, DWORD nLimit, BYTE** ppOut) {
  const bool bWords = bToUnits || pTable->IsAsciiSame();
  BYTE* o = *ppOut;
  while (i < nLimit) {
    if (bWords && nLimit - i >= 8) {
      const DWORD n = CopyAsciiWord<bToUnits>(p + i, &o);
      i += n;
      if (n == 8) continue;
    }
    const UINT b = p[i];
    UINT u = b;
    DWORD n = 1;
    if (b >= 0xE0 && b <= 0xEF) {
      if (nLimit - i < 3) break;
      const UINT b1 = p[i + 1];
      const UINT b2 = p[i + 2];
      if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) break;
      u = ((b & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F);
      // Shortest form, no surrogate.
      if (u < 0x800 || (u >= 0xD800 && u <= 0xDFFF)) break;
      n = 3;
    } else if (b >= 0xC2 && b <= 0xDF) {
      if (nLimit - i < 2) break;
      const UINT b1 = p[i + 1];
      if ((b1 & 0xC0) != 0x80) break;
      u = ((b & 0x1F) << 6) | (b1 & 0x3F);
      n = 2;
    } else if (b >= 0x80 || b == 0) {
      break;
    }
    if (bToUnits) {
      PutUnit(o, u);
      o += 2;
    } else {
      const CMrAnsiEncodeTable::Bytes& e = pTable->Of(static_cast<WORD>(u));
      if (e.nLen == 0) break;
      std::memcpy(o, e.ab, 2);
      o += e.nLen;
    }
    i += n;
  }
  *ppOut = o;
  return i;
}

}  // namespace

// ---------------------------------------------------------------------------
// Output: a growing memory buffer, or blocks written to the temporary file.
// When the memory output cannot grow, what it holds is written to a new
// temporary file and the conversion goes on there.

class CMrCharEncoder::COutput {
 public:
  explicit COutput(CMrCharEncoder& enc) : m_enc(enc) {}

  // Room for n more bytes at the end of the output, or NULL when neither
  // memory nor the temporary file can take them. Commit says how many of
  // them were written.
  BYTE* Room(DWORD n) {
    if (m_enc.hTempFile == INVALID_HANDLE_VALUE) {
      const size_t nNeed = static_cast<size_t>(m_enc.nOutFront) + m_nTotal + n;
      if (nNeed <= m_enc.nOutCap || GrowMemory(nNeed)) return m_enc.pOut + m_enc.nOutFront + m_nTotal;
      if (!MoveToFile()) return nullptr;
    }
    if (m_block == nullptr) {
      m_block.reset(new (std::nothrow) BYTE[kFileBlock]);
      if (m_block == nullptr) return nullptr;
    }
    if (n > kFileBlock) return nullptr;
    if (m_nBlockUsed + n > kFileBlock && !Flush()) return nullptr;
    return m_block.get() + m_nBlockUsed;
  }

  BOOL Commit(DWORD n) {
    if (n > 0xFFFFFFFFu - m_nTotal) return FALSE;
    m_nTotal += n;
    if (m_enc.hTempFile != INVALID_HANDLE_VALUE) m_nBlockUsed += n;
    return TRUE;
  }

  BOOL Append(const BYTE* p, DWORD n) {
    if (n == 0) return TRUE;
    BYTE* d = Room(n);
    if (d == nullptr) return FALSE;
    std::memcpy(d, p, n);
    return Commit(n);
  }

  BOOL Flush() {
    if (m_enc.hTempFile == INVALID_HANDLE_VALUE || m_nBlockUsed == 0) return TRUE;
    const BOOL bOk = WriteAll(m_block.get(), m_nBlockUsed);
    m_nBlockUsed = 0;
    return bOk;
  }

  DWORD Total() const { return m_nTotal; }

 private:
  BOOL GrowMemory(size_t nNeed) {
    size_t nCap = std::max(nNeed, m_enc.nOutCap + m_enc.nOutCap / 2);
    if (g_nOutputMemoryLimit != 0) {
      if (nNeed > g_nOutputMemoryLimit) return FALSE;
      nCap = std::min<size_t>(nCap, g_nOutputMemoryLimit);
    }
    if (nNeed > 0xFFFFFFFFu) return FALSE;
    nCap = std::min<size_t>(nCap, 0xFFFFFFFFu);
    BYTE* p = static_cast<BYTE*>(m_enc.ReallocateOutput(m_enc.pOut, static_cast<DWORD>(nCap)));
    if (p == nullptr) return FALSE;
    m_enc.pOut = p;
    m_enc.nOutCap = nCap;
    return TRUE;
  }

  // The memory output ran out: the bytes so far go to a new temporary file,
  // and the memory is given back.
  BOOL MoveToFile() {
    if (!m_enc.OpenTempFile()) return FALSE;
    if (m_nTotal > 0 && !WriteAll(m_enc.pOut + m_enc.nOutFront, m_nTotal)) return FALSE;
    m_enc.FreeOutput();
    return TRUE;
  }

  BOOL WriteAll(const BYTE* p, DWORD n) {
    if (g_nOutputFileLimit != 0 && n > g_nOutputFileLimit - std::min(m_nWritten, g_nOutputFileLimit))
      return FALSE;
    while (n > 0) {
      DWORD nWritten = 0;
      if (!::WriteFile(m_enc.hTempFile, p, n, &nWritten, nullptr) || nWritten == 0) return FALSE;
      p += nWritten;
      n -= nWritten;
      m_nWritten += nWritten;
    }
    return TRUE;
  }

  CMrCharEncoder& m_enc;
  std::unique_ptr<BYTE[]> m_block;
  DWORD m_nBlockUsed = 0;
  DWORD m_nWritten = 0;
  DWORD m_nTotal = 0;
};

// ---------------------------------------------------------------------------

namespace {

// How a scan stopped.
enum class StopKind {
  kLimit,  // at the run limit: go on with the next run
  kCross,  // the next character crosses the stop: the walk stops before it
  kNul,    // a NUL character: one zero unit in the target
  kLone,   // a character to be converted alone
  kDrop,   // half a UTF-16 unit at the very end: nothing to convert
};

struct ScanStop {
  DWORD nPos;  // end of the plain run
  StopKind kind;
  DWORD nLen;  // length of the character at nPos (kNul, kLone, kDrop)
};

// One conversion pass: the scanners and the run converters.
class CConvertPass {
 public:
  CConvertPass(const BYTE* pSrc, DWORD nSrcLen, int nFrom, int nTo, int nCodePage)
      : m_p(pSrc),
        m_n(nSrcLen),
        m_nFrom(nFrom),
        m_nTo(nTo),
        m_nCp(nCodePage == 0 ? CP_ACP : static_cast<UINT>(nCodePage)),
        m_wide(kRunBytes + 16) {
    if (m_nFrom == MIREL_ENCODING_ANSI) {
      MrBuildLeadByteTable(static_cast<UINT>(nCodePage), m_abLead.data());
      m_pDecode = CMrAnsiDecodeTable::For(static_cast<UINT>(nCodePage));
    } else if (IsUtf8Encoding(m_nFrom) && m_nTo == MIREL_ENCODING_ANSI) {
      m_pEncode = CMrAnsiEncodeTable::For(static_cast<UINT>(nCodePage));
    }
    m_bUtf8ToUnits = IsUtf8Encoding(m_nFrom) && IsWideEncoding(m_nTo);
  }

  // The plain run from nPos: it ends at nLimit (<= nStop), or before the
  // first character that is converted alone or crosses nStop.
  ScanStop Scan(DWORD nPos, DWORD nLimit, DWORD nStop) const;

  // TRUE when plain characters of this pair convert in one pass (TableRun):
  // through the code-page tables, or UTF-8 to UTF-16.
  BOOL HasTableRuns() const { return m_pDecode != nullptr || m_pEncode != nullptr || m_bUtf8ToUnits; }
  // Converts plain characters from nPos toward nLimit (<= the stop) into d,
  // which has room for 3 bytes a source byte and 4 more; returns where it
  // stopped, *pnWritten the bytes written. Where it stops short of nLimit,
  // Scan goes on; it never stops between the halves of a CR LF pair.
  DWORD TableRun(DWORD nPos, DWORD nLimit, BYTE* d, DWORD* pnWritten) const;

  // Converts [nFrom, nTo) of plain characters into the output.
  template <typename Output>
  BOOL ConvertRun(DWORD nFrom, DWORD nTo, Output& out);
  // Converts one character alone, through the general routines.
  template <typename Output>
  BOOL ConvertAlone(DWORD nPos, DWORD nLen, Output& out);

 private:
  ScanStop ScanNarrow(DWORD nPos, DWORD nLimit, DWORD nStop) const;
  ScanStop ScanWide(DWORD nPos, DWORD nLimit, DWORD nStop) const;
  // The run from nStart ends at nPos, where the next character ends at
  // nNextEnd: the walk stops there when that character crosses the stop. A
  // CR right before nPos and an LF at it are one character, so the run then
  // ends before the CR.
  ScanStop EndAt(DWORD nStart, DWORD nPos, DWORD nNextEnd, DWORD nStop) const;
  WCHAR* Wide() { return m_wide.data(); }

  const BYTE* m_p;
  DWORD m_n;
  int m_nFrom;
  int m_nTo;
  UINT m_nCp;
  std::array<BYTE, 256> m_abLead{};
  std::vector<WCHAR> m_wide;
  const CMrAnsiDecodeTable* m_pDecode = nullptr;  // ANSI source
  const CMrAnsiEncodeTable* m_pEncode = nullptr;  // UTF-8 source, ANSI target
  bool m_bUtf8ToUnits = false;
};

DWORD CConvertPass::TableRun(DWORD nPos, DWORD nLimit, BYTE* d, DWORD* pnWritten) const {
  BYTE* o = d;
  DWORD i = nPos;
  DWORD nCrBytes = 1;  // what a CR became
  if (m_pDecode != nullptr) {
    if (IsWideEncoding(m_nTo)) {
      i = DecodeAnsiRun<true>(*m_pDecode, m_p, m_n, nPos, nLimit, &o);
      nCrBytes = 2;
    } else {
      i = DecodeAnsiRun<false>(*m_pDecode, m_p, m_n, nPos, nLimit, &o);
      nCrBytes = m_pDecode->Single(MR_CHAR_CR).nLen;
    }
  } else if (m_pEncode != nullptr) {
    i = Utf8Run<false>(m_pEncode, m_p, nPos, nLimit, &o);
    nCrBytes = m_pEncode->Of(MR_CHAR_CR).nLen;
  } else if (m_bUtf8ToUnits) {
    i = Utf8Run<true>(nullptr, m_p, nPos, nLimit, &o);
    nCrBytes = 2;
  }
  // As in the scanner's runs, a CR LF pair cut by the limit is left whole
  // to what follows.
  if (i == nLimit && i > nPos && i < m_n && m_p[i - 1] == MR_CHAR_CR && m_p[i] == MR_CHAR_LF) {
    --i;
    o -= nCrBytes;
  }
  *pnWritten = static_cast<DWORD>(o - d);
  return i;
}

ScanStop CConvertPass::EndAt(DWORD nStart, DWORD nPos, DWORD nNextEnd, DWORD nStop) const {
  const DWORD u = IsWideEncoding(m_nFrom) ? 2 : 1;
  auto unitIs = [&](DWORD n, UINT ch) { return u == 2 ? UnitAt(m_p + n) == ch : m_p[n] == ch; };
  if (nPos >= nStart + u && m_n - nPos >= u && unitIs(nPos - u, MR_CHAR_CR) && unitIs(nPos, MR_CHAR_LF))
    return {nPos - u, nPos + u > nStop ? StopKind::kCross : StopKind::kLimit, 0};
  return {nPos, nNextEnd > nStop ? StopKind::kCross : StopKind::kLimit, 0};
}

ScanStop CConvertPass::ScanNarrow(DWORD nPos, DWORD nLimit, DWORD nStop) const {
  const BYTE* p = m_p;
  const BOOL bUtf8 = IsUtf8Encoding(m_nFrom);
  DWORD i = nPos;
  for (;;) {
    while (nLimit - i >= 8 && IsPlainAsciiWord(p + i)) i += 8;
    if (i >= nLimit) return EndAt(nPos, i, i + 1, nStop);
    const BYTE b = p[i];
    if (b == MR_CHAR_NUL)
      return i + 1 > nStop ? ScanStop{i, StopKind::kCross, 0} : ScanStop{i, StopKind::kNul, 1};
    if (b < 0x80) {
      ++i;
      continue;
    }
    DWORD nLen = 1;
    BOOL bLone = FALSE;
    if (bUtf8) {
      // A lead byte and the continuation bytes that follow it, as the
      // layout counts characters.
      const DWORD nWant = b >= 0xF0 ? 4 : (b >= 0xE0 ? 3 : 2);
      while (nLen < nWant && i + nLen < m_n && (p[i + nLen] & 0xC0) == 0x80) ++nLen;
      bLone = !IsWellFormedUtf8(p + i, nLen);
    } else if (m_abLead[b]) {
      if (i + 1 < m_n && p[i + 1] >= MR_MIN_TRAIL_BYTE) {
        nLen = 2;
      } else {
        bLone = TRUE;
      }
    }
    if (i + nLen > nLimit) return {i, i + nLen > nStop ? StopKind::kCross : StopKind::kLimit, 0};
    if (bLone) return {i, StopKind::kLone, nLen};
    i += nLen;
  }
}

ScanStop CConvertPass::ScanWide(DWORD nPos, DWORD nLimit, DWORD nStop) const {
  const BYTE* p = m_p;
  DWORD i = nPos;
  while (i < nLimit) {
    if (m_n - i < 2) return {i, StopKind::kDrop, m_n - i};
    if (i + 2 > nLimit) return EndAt(nPos, i, i + 2, nStop);
    const UINT u = UnitAt(p + i);
    if (u == MR_CHAR_NUL) return {i, StopKind::kNul, 2};
    if (u >= 0xD800 && u <= 0xDFFF) {
      if (MrIsHighSurrogate(u) && m_n - i >= 4 && MrIsLowSurrogate(UnitAt(p + i + 2))) {
        if (i + 4 > nLimit) return {i, i + 4 > nStop ? StopKind::kCross : StopKind::kLimit, 0};
        i += 4;
        continue;
      }
      return {i, StopKind::kLone, 2};
    }
    i += 2;
  }
  return EndAt(nPos, i, i + 1, nStop);
}

ScanStop CConvertPass::Scan(DWORD nPos, DWORD nLimit, DWORD nStop) const {
  return IsWideEncoding(m_nFrom) ? ScanWide(nPos, nLimit, nStop) : ScanNarrow(nPos, nLimit, nStop);
}

template <typename Output>
BOOL CConvertPass::ConvertRun(DWORD nFrom, DWORD nTo, Output& out) {
  if (nFrom >= nTo) return TRUE;
  const BYTE* p = m_p + nFrom;
  const DWORD n = nTo - nFrom;
  // Three output bytes a source byte at most (ANSI to UTF-8).
  const DWORD nRoom = 3 * n;
  BYTE* d = out.Room(nRoom);
  if (d == nullptr) return FALSE;
  WCHAR* pWide = Wide();
  const int nWideCap = static_cast<int>(m_wide.size());
  DWORD k = 0;
  if (IsWideEncoding(m_nFrom)) {
    const DWORD nUnits = n / 2;
    const WCHAR* pUnits = reinterpret_cast<const WCHAR*>(p);
    if ((reinterpret_cast<uintptr_t>(p) & 1) != 0) {
      std::memcpy(pWide, p, nUnits * 2);
      pUnits = pWide;
    }
    if (IsUtf8Encoding(m_nTo)) {
      k = EncodeUnitsAsUtf8(pUnits, nUnits, d);
    } else {
      const int nBytes =
          WideCharToMultiByte(m_nCp, 0, pUnits, static_cast<int>(nUnits), reinterpret_cast<char*>(d),
                              static_cast<int>(nRoom), nullptr, nullptr);
      if (nBytes <= 0) return FALSE;
      k = static_cast<DWORD>(nBytes);
    }
    return out.Commit(k);
  }
  if (IsUtf8Encoding(m_nFrom)) {
    if (IsUtf8Encoding(m_nTo)) {
      std::memcpy(d, p, n);
      return out.Commit(n);
    }
    if (IsWideEncoding(m_nTo) && (reinterpret_cast<uintptr_t>(d) & 1) == 0) {
      // Straight into the output: at most one unit a byte.
      return out.Commit(DecodeWellFormedUtf8(p, n, reinterpret_cast<WCHAR*>(d)) * 2);
    }
    const DWORD nUnits = DecodeWellFormedUtf8(p, n, pWide);
    if (IsWideEncoding(m_nTo)) {
      for (DWORD i = 0; i < nUnits; ++i) PutUnit(d + 2 * i, pWide[i]);
      return out.Commit(nUnits * 2);
    }
    const int nBytes =
        WideCharToMultiByte(m_nCp, 0, pWide, static_cast<int>(nUnits), reinterpret_cast<char*>(d),
                            static_cast<int>(nRoom), nullptr, nullptr);
    if (nBytes <= 0) return FALSE;
    return out.Commit(static_cast<DWORD>(nBytes));
  }
  // ANSI: one call of the code-page conversion for the whole run.
  const BOOL bDirect = IsWideEncoding(m_nTo) && (reinterpret_cast<uintptr_t>(d) & 1) == 0;
  WCHAR* pUnits = bDirect ? reinterpret_cast<WCHAR*>(d) : pWide;
  const int nUnits = MultiByteToWideChar(m_nCp, 0, reinterpret_cast<const char*>(p), static_cast<int>(n),
                                         pUnits, bDirect ? static_cast<int>(nRoom / 2) : nWideCap);
  if (nUnits <= 0) return FALSE;
  if (IsWideEncoding(m_nTo)) {
    if (!bDirect) std::memcpy(d, pUnits, static_cast<size_t>(nUnits) * 2);
    return out.Commit(static_cast<DWORD>(nUnits) * 2);
  }
  return out.Commit(EncodeUnitsAsUtf8(pUnits, static_cast<DWORD>(nUnits), d));
}

template <typename Output>
BOOL CConvertPass::ConvertAlone(DWORD nPos, DWORD nLen, Output& out) {
  const BYTE* p = m_p + nPos;
  WCHAR units[8];
  int nUnits = 0;
  if (IsWideEncoding(m_nFrom)) {
    nUnits = static_cast<int>(nLen / 2);
    std::memcpy(units, p, static_cast<size_t>(nUnits) * 2);
  } else if (IsUtf8Encoding(m_nFrom)) {
    nUnits = Utf8ToUtf16(p, static_cast<int>(nLen), units, 8);
  } else {
    nUnits =
        MultiByteToWideChar(m_nCp, 0, reinterpret_cast<const char*>(p), static_cast<int>(nLen), units, 8);
  }
  if (nUnits <= 0) return FALSE;
  if (IsWideEncoding(m_nTo)) {
    BYTE bytes[16];
    for (int i = 0; i < nUnits; ++i) PutUnit(bytes + 2 * i, units[i]);
    return out.Append(bytes, static_cast<DWORD>(nUnits) * 2);
  }
  BYTE bytes[32];
  int nBytes = 0;
  if (IsUtf8Encoding(m_nTo)) {
    nBytes = Utf16ToUtf8(units, nUnits, bytes, sizeof(bytes));
  } else {
    nBytes = WideCharToMultiByte(m_nCp, 0, units, nUnits, reinterpret_cast<char*>(bytes), sizeof(bytes),
                                 nullptr, nullptr);
  }
  if (nBytes <= 0) return FALSE;
  return out.Append(bytes, static_cast<DWORD>(nBytes));
}

}  // namespace

// ---------------------------------------------------------------------------

CMrCharEncoder::CMrCharEncoder(CMirelDoc* /*pDocument*/, const BYTE* pSource, DWORD nSourceLen,
                               int nSourceEncoding, int nAnsiCodePage)
    : pOut(nullptr),
      nOutCap(0),
      nOutFront(0),
      pOutBlocks(nullptr),
      pSrc(pSource),
      pszTempName(nullptr),
      hTempFile(INVALID_HANDLE_VALUE),
      nSrcEncoding(nSourceEncoding),
      nCodePage(nAnsiCodePage),
      nOutLen(0),
      nSrcLen(pSource != nullptr ? nSourceLen : 0),
      nReadPos(0),
      nCaret(0),
      nBlockStart(0),
      nBlockEnd(0) {}

CMrCharEncoder::~CMrCharEncoder() {
  CloseTempFile();
  FreeOutput();
}

void CMrCharEncoder::SetMemoryLimitForTesting(DWORD nBytes) {
  g_nMemoryLimitOverride = nBytes;
}

void CMrCharEncoder::SetOutputLimitsForTesting(DWORD nMemoryBytes, DWORD nFileBytes) {
  g_nOutputMemoryLimit = nMemoryBytes;
  g_nOutputFileLimit = nFileBytes;
}

void CMrCharEncoder::SetTrackedPointers(DWORD nCaretPos, DWORD nStart, DWORD nEnd) {
  nCaret = nCaretPos;
  nBlockStart = nStart;
  nBlockEnd = nEnd;
}

void CMrCharEncoder::GetTrackedPointers(DWORD* pnCaret, DWORD* pnStart, DWORD* pnEnd) const {
  if (pnCaret != nullptr) *pnCaret = nCaret;
  if (pnStart != nullptr) *pnStart = nBlockStart;
  if (pnEnd != nullptr) *pnEnd = nBlockEnd;
}

void CMrCharEncoder::SetOutputBlocks(COutputBlocks* pBlocks, DWORD nFrontRoom) {
  pOutBlocks = pBlocks;
  nOutFront = std::min<DWORD>(nFrontRoom, 16);
}

BYTE* CMrCharEncoder::DetachOutput(DWORD* pnCapacity) {
  if (pnCapacity != nullptr) *pnCapacity = 0;
  if (hTempFile != INVALID_HANDLE_VALUE || pOut == nullptr) return nullptr;
  BYTE* p = pOut;
  if (pnCapacity != nullptr) *pnCapacity = static_cast<DWORD>(nOutCap);
  pOut = nullptr;
  nOutCap = 0;
  return p;
}

void* CMrCharEncoder::ReallocateOutput(void* p, DWORD nBytes) {
  if (pOutBlocks != nullptr)
    return p == nullptr ? pOutBlocks->Allocate(nBytes) : pOutBlocks->Reallocate(p, nBytes);
  void* pNew = std::realloc(p, nBytes);
  MrAdviseLargeBlock(pNew, nBytes);
  return pNew;
}

void CMrCharEncoder::FreeOutput() {
  std::free(pOut);
  pOut = nullptr;
  nOutCap = 0;
}

BOOL CMrCharEncoder::OpenTempFile() {
  char szDir[1040] = {0};
  const DWORD nDir = GetTempPathA(sizeof(szDir), szDir);
  if (nDir == 0 || nDir >= sizeof(szDir)) return FALSE;
  pszTempName = static_cast<char*>(std::calloc(1300, 1));
  if (pszTempName == nullptr) return FALSE;
  if (GetTempFileNameA(szDir, "che", 0, pszTempName) == 0) {
    CloseTempFile();
    return FALSE;
  }
  hTempFile = CreateFileA(pszTempName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hTempFile == INVALID_HANDLE_VALUE) {
    CloseTempFile();
    return FALSE;
  }
  return TRUE;
}

void CMrCharEncoder::CloseTempFile() {
  if (hTempFile != INVALID_HANDLE_VALUE) CloseHandle(hTempFile);
  hTempFile = INVALID_HANDLE_VALUE;
  // GetTempFileNameA already made the file, so the name is removed even when
  // opening it failed.
  if (pszTempName != nullptr && pszTempName[0] != '\0') DeleteFileA(pszTempName);
  std::free(pszTempName);
  pszTempName = nullptr;
}

BOOL CMrCharEncoder::Convert(int nTargetEncoding) {
  if (nTargetEncoding == nSrcEncoding) return FALSE;
  if (nTargetEncoding < MIREL_ENCODING_ANSI || nTargetEncoding > MIREL_ENCODING_UTF8_BOM) return FALSE;
  if (nTargetEncoding == MIREL_ENCODING_UTF16BE || nSrcEncoding == MIREL_ENCODING_UTF16BE) return FALSE;
  if (nSrcEncoding < MIREL_ENCODING_ANSI || nSrcEncoding > MIREL_ENCODING_UTF8_BOM) return FALSE;
  if (pSrc == nullptr && nSrcLen > 0) return FALSE;

  // A second conversion starts from nothing.
  CloseTempFile();
  FreeOutput();
  nOutLen = 0;
  // In memory whenever room for twice the source can be had (a write to a
  // file and a read back cost more than the conversion); the temporary file
  // is the way out when it cannot, or when a test asks for it. Untouched
  // room costs no more than its address range.
  const unsigned long long nWantCap = static_cast<unsigned long long>(nSrcLen) * 2 + kRunRoom + nOutFront;
  BOOL bInMemory = g_nMemoryLimitOverride != 0
                       ? nSrcLen < g_nMemoryLimitOverride
                       : nWantCap <= std::min<unsigned long long>(SIZE_MAX, 0xFFFFFFFFu);
  if (bInMemory) {
    DWORD nCap = static_cast<DWORD>(std::min<unsigned long long>(nWantCap, 0xFFFFFFFFu));
    if (g_nOutputMemoryLimit != 0) nCap = std::min(nCap, g_nOutputMemoryLimit);
    pOut = static_cast<BYTE*>(ReallocateOutput(nullptr, nCap));
    if (pOut != nullptr) nOutCap = nCap;
    bInMemory = pOut != nullptr;
  }
  if (!bInMemory && !OpenTempFile()) return FALSE;

  // The tracked positions in source order; each ends the walk there once.
  DWORD* const apTracked[3] = {&nCaret, &nBlockStart, &nBlockEnd};
  std::array<DWORD, 3> aTargets = {nCaret, nBlockStart, nBlockEnd};
  std::array<DWORD, 3> aMapped = {0, 0, 0};
  std::array<DWORD, 3> aOrder = aTargets;
  std::sort(aOrder.begin(), aOrder.end());

  const BOOL bCopyOnly = IsUtf8Encoding(nSrcEncoding) && IsUtf8Encoding(nTargetEncoding);
  COutput out(*this);
  BOOL bOk = TRUE;
  if (bCopyOnly) {
    // Only the byte-order mark differs: bytes and positions stay.
    for (DWORD nPos = 0; bOk && nPos < nSrcLen; nPos += std::min(kRunBytes, nSrcLen - nPos))
      bOk = out.Append(pSrc + nPos, std::min(kRunBytes, nSrcLen - nPos));
    aMapped = aTargets;
  } else {
    std::unique_ptr<CConvertPass> pass(
        new (std::nothrow) CConvertPass(pSrc, nSrcLen, nSrcEncoding, nTargetEncoding, nCodePage));
    bOk = pass != nullptr;
    DWORD nPos = 0;
    // Converts whole characters from nPos up to nStop; a character that
    // crosses nStop is left for the next walk.
    auto walkTo = [&](DWORD nStop) -> BOOL {
      while (nPos < nStop) {
        const DWORD nLimit = nPos + std::min(kRunBytes, nStop - nPos);
        if (pass->HasTableRuns()) {
          BYTE* d = out.Room(3 * (nLimit - nPos) + 4);
          if (d == nullptr) return FALSE;
          DWORD nWritten = 0;
          nPos = pass->TableRun(nPos, nLimit, d, &nWritten);
          if (!out.Commit(nWritten)) return FALSE;
          // At the limit the scanner would stop at once, as it does here.
          if (nPos == nLimit) continue;
        }
        const ScanStop s = pass->Scan(nPos, nLimit, nStop);
        if (!pass->ConvertRun(nPos, s.nPos, out)) return FALSE;
        nPos = s.nPos;
        switch (s.kind) {
          case StopKind::kLimit:
            break;
          case StopKind::kCross:
            return TRUE;
          case StopKind::kNul: {
            static constexpr BYTE kZero[2] = {0, 0};
            if (!out.Append(kZero, IsWideEncoding(nTargetEncoding) ? 2 : 1)) return FALSE;
            nPos += s.nLen;
            break;
          }
          case StopKind::kLone:
            if (!pass->ConvertAlone(nPos, s.nLen, out)) return FALSE;
            nPos += s.nLen;
            break;
          case StopKind::kDrop:
            nPos += s.nLen;
            break;
        }
      }
      return TRUE;
    };
    for (size_t k = 0; k < aOrder.size(); ++k) {
      const DWORD t = aOrder[k];
      if (!bOk) break;
      if (t == 0 || t > nSrcLen || (k > 0 && t == aOrder[k - 1])) continue;
      if (t > nPos) bOk = walkTo(t);
      // A position inside a character maps to where that character starts.
      for (int i = 0; i < 3; ++i)
        if (aTargets[i] == t) aMapped[i] = out.Total();
    }
    if (bOk) bOk = walkTo(nSrcLen);
  }
  if (bOk) bOk = out.Flush();
  if (!bOk) {
    CloseTempFile();
    FreeOutput();
    return FALSE;
  }
  nOutLen = out.Total();
  for (int i = 0; i < 3; ++i) *apTracked[i] = aMapped[i];
  return TRUE;
}

DWORD CMrCharEncoder::Read(BYTE* pDest, DWORD nCapacity) {
  if (pDest == nullptr) return 0;
  if (hTempFile == INVALID_HANDLE_VALUE) {
    if (nCapacity < nOutLen) return 0;
    if (nOutLen > 0) std::memcpy(pDest, pOut + nOutFront, nOutLen);
    return nOutLen;
  }
  // The file is read from its start, whatever was written last.
  if (SetFilePointer(hTempFile, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return 0;
  const DWORD nWant = std::min(nCapacity, nOutLen);
  DWORD nTotal = 0;
  while (nTotal < nWant) {
    DWORD nRead = 0;
    if (!ReadFile(hTempFile, pDest + nTotal, nWant - nTotal, &nRead, nullptr) || nRead == 0) break;
    nTotal += nRead;
  }
  return nTotal;
}
