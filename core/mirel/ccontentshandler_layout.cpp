// The display-line layout of a text store: the row finder in the four wrap
// modes, the full rebuild of the line table, and the incremental re-layout
// after an edit.
//
// The incremental re-layout lays the text out again from the start of the
// first paragraph the edit touched, into a scratch table, until it reaches a
// paragraph start that lies past the edit and that the old table also has as
// a paragraph start (the text from there on is the same, so the old rows from
// there on are still right). The old rows in between are replaced by the new
// ones with one move of the tail, whose starts and paragraph numbers shift by
// the change in bytes and in paragraphs.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cencodings.h"
#include "mirel/mirel.h"
#include "mirel/mrwordbreak.h"
#include "mirel/mrlineends.h"
#include "mirel/mrtextunits.h"
#include "mirel/mrtryalloc.h"

// Everything the row finder needs, read from the document once per layout.
class CMrRowLayout {
 public:
  CMrRowLayout(CMirelDoc* pDocument, const BYTE* pTextIn, DWORD nTextLen, int nWrapMode);

  // One row from nStart; see CContentsHandler::FindLineEnd.
  int FindEnd(DWORD nStart, DWORD* pnEnd, int* pnWidth, BOOL bNoLimit) const;

  // Walks the rows from a paragraph start, one call per row.
  struct Walker {
    DWORD nStart;
    DWORD nPara;
    DWORD nSubLine;
    bool bPageBreakRow;  // the next row is the page-break character itself
  };
  // Fills *pRow with the next row and advances the walker; returns the break
  // code that ended the row (31 for the page-break character's own row).
  int Step(Walker& walker, MIREL_LINE* pRow);

  int nMaxWidth = 0;  // widest row seen

 private:
  static constexpr int kPageBreakRow = 31;

  int FindEndNoWrapBytes(DWORD nStart, DWORD* pnEnd, int* pnWidth) const;
  int FindEndNoWrapUnits(DWORD nStart, DWORD* pnEnd, int* pnWidth) const;
  // Moves from pos over plain bytes (adding their widths) up to nEnd or the
  // first byte of another class; returns where it stopped.
  DWORD SkipPlainBytes(DWORD pos, DWORD nEnd, long long* pnWidth) const;
  // Moves *pPos over multi-byte characters, plain bytes and tabs (adding
  // their widths) up to nCapEnd, a line end or the page-break byte; false
  // when the next character would pass the row cap from nStart.
  bool SkipMultiByteChars(DWORD nStart, DWORD nCapEnd, DWORD* pPos, long long* pnWidth) const;
  // How many of the eight bytes at p lie from 0x20 to 0x7F (plain wherever
  // the word scan is used) before the first that does not (0 to 8): a word
  // and the space after it are taken in one step, with no branch a byte.
  // The first byte in memory is the lowest of the word on every target of
  // the control (little-endian); the lowest flagged byte is exact, since a
  // borrow only runs up from a flagged byte.
  static DWORD PlainPrefix(const BYTE* p) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    uint64_t x;
    std::memcpy(&x, p, 8);
    const uint64_t nStops = ((x - 0x20 * kOnes) | x) & (0x80 * kOnes);
    return nStops == 0 ? 8 : static_cast<DWORD>(__builtin_ctzll(nStops)) >> 3;
  }
  // The widths of the first n of the eight bytes at p, summed without a
  // branch on n (a word's length is anyone's guess).
  int PlainRunWidth(const BYTE* p, DWORD n) const {
    if (nPlainWidth >= 0) return static_cast<int>(n) * nPlainWidth;
    int w = 0;
    for (DWORD i = 0; i < 8; ++i) w += i < n ? aWidth[p[i]] : 0;
    return w;
  }
  int FindEndGeneric(DWORD nStart, DWORD* pnEnd, int* pnWidth, BOOL bNoLimit) const;
  DWORD CharLength(DWORD nPos) const { return MrCharLength(pText, nPos, nLen, nEncoding, pLead); }
  UINT UnitAt(DWORD nPos) const { return MrUnitAt(pText + nPos, bWide); }
  bool IsPageBreakAt(DWORD nPos) const {
    return chPageBreak != 0 && nPos + nUnit <= nLen && UnitAt(nPos) == chPageBreak;
  }
  int CharWidth(DWORD nPos, DWORD nCharLen) const;
  bool IsDoubleByteChar(DWORD nPos, DWORD nCharLen) const;
  // Widths are summed in 64 bits: a row of 64 KiB of wide characters and tab
  // stops can pass the range of int. Callers saturate where they store one.
  long long NextTabStop(long long nWidth) const { return (nWidth / nTabWidth + 1) * nTabWidth; }

  CMirelDoc* pDoc;
  const BYTE* pText;
  DWORD nLen;
  int nMode;
  int nEncoding;
  BOOL bWide;
  DWORD nUnit;
  int nLimit;
  int nTabWidth;
  UINT chPageBreak;
  const BYTE* pLead;
  int aWidth[256];
  // Byte classes of the no-wrap scan of 1-byte encodings.
  enum : BYTE { kPlain = 0, kMulti, kCR, kLF, kTab, kPageBreak };
  BYTE aClass[256];
  // Plain runs may be scanned a word at a time: every byte of another class
  // lies below 0x20 or from 0x80 on.
  bool bWordScan = false;
  // The width every plain byte has, or -1 when they differ.
  int nPlainWidth = -1;
  // Word delimiters among the units 0 to 255 (no unit above is one).
  bool aDelimiter[256];
  bool IsDelimiterAt(DWORD nPos) const {
    const UINT ch = nPos + nUnit <= nLen ? UnitAt(nPos) : pText[nPos];
    return ch < 256 && aDelimiter[ch];
  }
};

namespace {

// Scratch rows kept between edits; a typed character needs one or two.
constexpr DWORD kKeptScratchRows = 1024;
// Spare records left after a load (an edit reserves four beyond its rows).
constexpr int kLoadSpareRows = 8;

// Records to add when a layout of nTotal bytes has filled the table after
// nRows rows covering nDone bytes. Geometric growth keeps a rebuild of
// millions of rows to a few moves; once a fair share of the text is laid
// out, its rows per byte size the table for the rest at once, so a load
// moves the table two or three times, not a dozen (a load trims what the
// estimate overshot). The first 64 KiB may be unlike the rest, so their
// estimate grows the table at most fourfold; from a sixteenth of the text
// on, the estimate is taken whole (bounded by a row per byte left). A table
// capped short of the estimate would otherwise need one more move near the
// end, half the table's size at once, and a trim after it.
int RowsToGrow(int nRows, DWORD nDone, DWORD nTotal, int nAlloc) {
  long long nMore = std::max(256, nAlloc / 2);
  constexpr DWORD kSampleBytes = 1u << 16;
  if (nDone >= kSampleBytes && nTotal > nDone) {
    const DWORD nLeft = nTotal - nDone;
    long long nRest = static_cast<long long>(nRows) * nLeft / nDone;
    nRest += nRest / 8 + 256;
    const long long nCap = nDone >= nTotal / 16 ? static_cast<long long>(nLeft) + 256 : 4LL * nAlloc;
    nMore = std::max(nMore, std::min(nRest, nCap));
  }
  return static_cast<int>(std::min<long long>(nMore, INT_MAX / 2));
}

// The paragraph index (CMirelDoc::paraSamples) holds the first row of every
// paragraph whose number is a multiple of its step.
constexpr DWORD kParaSampleMask = (1u << CMirelDoc::kParaSampleShift) - 1;

bool StartsSampledParagraph(const MIREL_LINE& row) {
  return row.nSubLine == 0 && (row.nPara & kParaSampleMask) == 0;
}

// The index entry of the first sampled paragraph at or after nPara.
size_t ParaSampleIndexAtOrAfter(DWORD nPara) {
  return (static_cast<size_t>(nPara) + kParaSampleMask) >> CMirelDoc::kParaSampleShift;
}

bool IsLineEndCode(int nCode) {
  return nCode == MIREL_BREAK_CRLF || nCode == MIREL_BREAK_LF || nCode == MIREL_BREAK_CR;
}

}  // namespace

CMrRowLayout::CMrRowLayout(CMirelDoc* pDocument, const BYTE* pTextIn, DWORD nTextLen, int nWrapMode)
    : pDoc(pDocument) {
  pText = pTextIn;
  nLen = nTextLen;
  nMode = nWrapMode;
  nEncoding = pDoc->nFileEncoding;
  bWide = IsWideEncoding(nEncoding);
  nUnit = bWide ? 2 : 1;
  const long long nRoom = static_cast<long long>(pDoc->nTextWidth) - pDoc->nLeftMargin - 3;
  nLimit = static_cast<int>(std::max<long long>(std::min<long long>(nRoom, INT_MAX), INT_MIN));
  nTabWidth = pDoc->nTabWidth >= 1 ? pDoc->nTabWidth : 1;
  chPageBreak = pDoc->chPageBreak;
  pLead = pDoc->GetLeadByteTable();
  // Single-byte widths once per layout; an unmeasured entry is measured (the
  // document measures the whole table at once) through the width query.
  for (int b = 0; b < 256; ++b) {
    int w = pDoc->nCharWidth[b];
    if (w < 0) {
      const BYTE ch = static_cast<BYTE>(b);
      w = pDoc->GetCharWidth(&ch, 1);
    }
    aWidth[b] = w > 0 ? w : 0;
  }
  const bool bAnsi = nEncoding == MIREL_ENCODING_ANSI;
  const bool bUtf8 = nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM;
  for (int b = 0; b < 256; ++b) {
    BYTE k = kPlain;
    if ((bAnsi && pLead[b]) || (bUtf8 && b >= 0x80)) k = kMulti;
    aClass[b] = k;
  }
  // The delimiter set with its terminating zero, as the delimiter test reads it.
  std::memset(aDelimiter, 0, sizeof(aDelimiter));
  for (const char* pSet = pDoc->GetDelimiterSet();; ++pSet) {
    aDelimiter[static_cast<BYTE>(*pSet)] = true;
    if (*pSet == '\0') break;
  }
  aClass[MR_CHAR_CR] = kCR;
  aClass[MR_CHAR_LF] = kLF;
  aClass[MR_CHAR_TAB] = kTab;
  if (chPageBreak != 0) aClass[chPageBreak] = kPageBreak;
  bWordScan = true;
  nPlainWidth = aWidth[0x20];
  for (int b = 0; b < 256; ++b) {
    if (aClass[b] != kPlain) {
      if (b >= 0x20 && b < 0x80) bWordScan = false;
    } else if (aWidth[b] != nPlainWidth) {
      nPlainWidth = -1;
    }
  }
}

int CMrRowLayout::CharWidth(DWORD nPos, DWORD nCharLen) const {
  const BYTE* p = pText + nPos;
  if (nCharLen == 1) return aWidth[p[0]];
  // A measured entry of the wide-character table is read here, as the
  // document's width query would read it (line ends and the rest go there).
  const int* pWide = pDoc->pWideWidth;
  if (pWide != nullptr) {
    int nIndex = -1;
    if (bWide) {
      if (nCharLen == 2) nIndex = static_cast<int>(UnitAt(nPos));
    } else if (nEncoding == MIREL_ENCODING_ANSI) {
      if (nCharLen == 2 && p[0] >= 0x80) nIndex = p[0] * 256 + p[1];
    } else if (nCharLen == 3 && p[0] >= 0xE0 && p[0] <= 0xEF && (p[1] & 0xC0) == 0x80 &&
               (p[2] & 0xC0) == 0x80) {
      // UTF-8 of a basic-plane character: shortest form, no surrogate.
      const int c = ((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
      if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) nIndex = c;
    }
    if (nIndex > static_cast<int>(MR_CHAR_CR) && pWide[nIndex] >= 0) return pWide[nIndex];
  }
  const int w = pDoc->GetCharWidth(p, nCharLen);
  return w > 0 ? w : 0;
}

bool CMrRowLayout::IsDoubleByteChar(DWORD nPos, DWORD nCharLen) const {
  if (nCharLen < 2) return false;
  const BYTE* p = pText + nPos;
  if (bWide) return MrIsWideCodePoint(MrUnitAt(p, TRUE));
  if (nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM) {
    WCHAR units[2];
    const int n = Utf8ToUtf16(p, static_cast<int>(nCharLen), units, 2);
    return n >= 1 && MrIsWideCodePoint(units[0]);
  }
  return pLead[p[0]] != 0;
}

int CMrRowLayout::FindEnd(DWORD nStart, DWORD* pnEnd, int* pnWidth, BOOL bNoLimit) const {
  if (nStart >= nLen) {
    *pnEnd = nStart > nLen ? nLen : nStart;
    *pnWidth = 0;
    return MIREL_BREAK_END;
  }
  if (nMode == MIREL_WRAP_NONE && nUnit == 1 && !bNoLimit) return FindEndNoWrapBytes(nStart, pnEnd, pnWidth);
  if (nMode == MIREL_WRAP_NONE && nUnit == 2 && !bNoLimit) return FindEndNoWrapUnits(nStart, pnEnd, pnWidth);
  return FindEndGeneric(nStart, pnEnd, pnWidth, bNoLimit);
}

// Plain bytes are printable ASCII in every case the word scan is used for, so
// a word without a byte below 0x20 or from 0x80 on is plain throughout.
DWORD CMrRowLayout::SkipPlainBytes(DWORD pos, DWORD nEnd, long long* pnWidth) const {
  const BYTE* t = pText;
  long long w = *pnWidth;
  for (;;) {
    if (bWordScan) {
      while (nEnd - pos >= 8) {
        const DWORD n = PlainPrefix(t + pos);
        w += PlainRunWidth(t + pos, n);
        pos += n;
        if (n < 8) break;
      }
    }
    // Byte by byte through the word that stopped the scan (or to the end).
    const DWORD nStop = bWordScan && nEnd - pos > 8 ? pos + 8 : nEnd;
    while (pos < nStop && aClass[t[pos]] == kPlain) w += aWidth[t[pos++]];
    if (pos < nStop || pos >= nEnd) break;
  }
  *pnWidth = w;
  return pos;
}

// No wrap, 1-byte units: runs of plain bytes are summed in a tight loop; only
// line ends, tabs, the page-break byte and multi-byte characters stop it.
int CMrRowLayout::FindEndNoWrapBytes(DWORD nStart, DWORD* pnEnd, int* pnWidth) const {
  const BYTE* t = pText;
  const DWORD nCapEnd = nLen - nStart > MIREL_MAX_ROW_BYTES ? nStart + MIREL_MAX_ROW_BYTES : nLen;
  DWORD pos = nStart;
  long long w = 0;
  for (;;) {
    pos = SkipPlainBytes(pos, nCapEnd, &w);
    const BYTE c = pos < nCapEnd ? t[pos] : 0;
    const BYTE k = pos < nCapEnd ? aClass[c] : static_cast<BYTE>(kPlain);
    *pnWidth = static_cast<int>(std::min<long long>(w, INT_MAX));
    *pnEnd = pos;
    if (pos >= nLen) return MIREL_BREAK_END;
    if (pos >= nCapEnd) {
      // The row is full; a page-break character right there still wins.
      return aClass[t[pos]] == kPageBreak ? MIREL_BREAK_PAGE : MIREL_BREAK_WRAP;
    }
    switch (k) {
      case kPageBreak:
        return MIREL_BREAK_PAGE;
      case kCR:
        return (pos + 1 < nLen && t[pos + 1] == MR_CHAR_LF) ? MIREL_BREAK_CRLF : MIREL_BREAK_CR;
      case kLF:
        return MIREL_BREAK_LF;
      case kTab:
        w = NextTabStop(w);
        ++pos;
        break;
      default:
        if (!SkipMultiByteChars(nStart, nCapEnd, &pos, &w)) {
          *pnWidth = static_cast<int>(std::min<long long>(w, INT_MAX));
          *pnEnd = pos;
          return MIREL_BREAK_WRAP;
        }
        break;
    }
  }
}

// Multi-byte text mixes its characters with short words, single spaces and
// tabs, so all of them are taken here in one loop (plain bytes a word at a
// time where eight come together); only line ends and the page-break byte
// end it. Lengths and widths are those CharLength and CharWidth give, read
// inline for double-byte characters of the code page and 3-byte UTF-8
// sequences, whose widths the wide-character table caches.
bool CMrRowLayout::SkipMultiByteChars(DWORD nStart, DWORD nCapEnd, DWORD* pPos, long long* pnWidth) const {
  const BYTE* t = pText;
  const bool bAnsi = nEncoding == MIREL_ENCODING_ANSI;
  DWORD pos = *pPos;
  long long w = *pnWidth;
  bool bFits = true;
  while (pos < nCapEnd) {
    const BYTE k = aClass[t[pos]];
    if (k == kPlain) {
      const BYTE c = t[pos];
      if (bWordScan && nCapEnd - pos >= 8) {
        const DWORD n = PlainPrefix(t + pos);
        if (n > 0) {
          w += PlainRunWidth(t + pos, n);
          pos += n;
          continue;
        }
      }
      w += aWidth[c];
      ++pos;
      continue;
    }
    if (k == kTab) {
      w = NextTabStop(w);
      ++pos;
      continue;
    }
    if (k != kMulti) break;
    // Words of double-byte characters or 3-byte UTF-8 sequences with cached
    // widths, the bulk of Asian text, are taken in a tight loop; whatever
    // else comes (or a width not cached yet) goes the way below.
    // (nCapEnd lies at most the row cap past nStart, so whatever ends by it
    // fits.)
    if (const int* pWide = pDoc->pWideWidth) {
      if (bAnsi) {
        while (nCapEnd - pos >= 2 && aClass[t[pos]] == kMulti && t[pos] >= 0x80 &&
               t[pos + 1] >= MR_MIN_TRAIL_BYTE) {
          const int nWidth = pWide[t[pos] * 256 + t[pos + 1]];
          if (nWidth < 0) break;
          w += nWidth;
          pos += 2;
        }
      } else {
        while (nCapEnd - pos >= 3) {
          const UINT c0 = t[pos];
          const UINT c1 = t[pos + 1];
          const UINT c2 = t[pos + 2];
          if ((c0 & 0xF0) != 0xE0 || (c1 & 0xC0) != 0x80 || (c2 & 0xC0) != 0x80) break;
          // A basic-plane character: shortest form, no surrogate.
          const UINT ch = ((c0 & 0x0F) << 12) | ((c1 & 0x3F) << 6) | (c2 & 0x3F);
          if (ch < 0x800 || (ch >= 0xD800 && ch <= 0xDFFF) || pWide[ch] < 0) break;
          w += pWide[ch];
          pos += 3;
        }
      }
      if (pos >= nCapEnd || aClass[t[pos]] != kMulti) continue;
    }
    const BYTE c = t[pos];
    const DWORD nLeft = nLen - pos;
    DWORD nCharLen = 1;
    int nIndex = -1;  // the character's entry of the wide-character table
    if (bAnsi) {
      if (nLeft >= 2 && t[pos + 1] >= MR_MIN_TRAIL_BYTE) {
        nCharLen = 2;
        if (c >= 0x80) nIndex = c * 256 + t[pos + 1];
      }
    } else {
      const DWORD nWant = c >= 0xF0 ? 4 : (c >= 0xE0 ? 3 : 2);
      while (nCharLen < nWant && nCharLen < nLeft && (t[pos + nCharLen] & 0xC0) == 0x80) ++nCharLen;
      if (nCharLen == 3 && c <= 0xEF) {
        // A basic-plane character: shortest form, no surrogate.
        const int ch = ((c & 0x0F) << 12) | ((t[pos + 1] & 0x3F) << 6) | (t[pos + 2] & 0x3F);
        if (ch >= 0x800 && (ch < 0xD800 || ch > 0xDFFF)) nIndex = ch;
      }
    }
    if (pos - nStart + nCharLen > MIREL_MAX_ROW_BYTES) {
      bFits = false;
      break;
    }
    if (nCharLen == 1) {
      w += aWidth[c];
    } else {
      const int* pWide = pDoc->pWideWidth;
      w += (pWide != nullptr && nIndex > static_cast<int>(MR_CHAR_CR) && pWide[nIndex] >= 0)
               ? pWide[nIndex]
               : CharWidth(pos, nCharLen);
    }
    pos += nCharLen;
  }
  *pPos = pos;
  *pnWidth = w;
  return bFits;
}

// No wrap, UTF-16: the generic walk's steps in its order, without the
// wrapping and word-break work, and with each unit's width read at once (a
// surrogate pair goes the slow way, as one character).
int CMrRowLayout::FindEndNoWrapUnits(DWORD nStart, DWORD* pnEnd, int* pnWidth) const {
  long long w = 0;
  DWORD pos = nStart;
  auto finish = [&](DWORD nEnd, int nCode) {
    *pnEnd = nEnd;
    *pnWidth = static_cast<int>(std::min<long long>(w, INT_MAX));
    return nCode;
  };
  const int* pWide = pDoc->pWideWidth;
  const DWORD nRowEnd = nLen - nStart > MIREL_MAX_ROW_BYTES ? nStart + MIREL_MAX_ROW_BYTES : nLen;
  for (;;) {
    // Units with a cached width that are neither a control character, a
    // surrogate nor the page-break character, in a tight loop; the steps
    // below take the rest.
    if (pWide != nullptr) {
      while (nRowEnd - pos >= 2) {
        const UINT ch = UnitAt(pos);
        if (ch <= MR_CHAR_CR || ch == chPageBreak || (ch & 0xF800) == 0xD800 || pWide[ch] < 0) break;
        w += pWide[ch];
        pos += 2;
      }
    }
    if (pos >= nLen) return finish(nLen, MIREL_BREAK_END);
    if (nLen - pos < 2) {
      // Half a unit at the very end: one byte wide, as the generic walk has it.
      if (pos - nStart >= MIREL_MAX_ROW_BYTES || pos - nStart + 1 > MIREL_MAX_ROW_BYTES)
        return finish(pos, MIREL_BREAK_WRAP);
      w += CharWidth(pos, 1);
      ++pos;
      continue;
    }
    const UINT ch = UnitAt(pos);
    if (chPageBreak != 0 && ch == chPageBreak) return finish(pos, MIREL_BREAK_PAGE);
    if (pos - nStart >= MIREL_MAX_ROW_BYTES) return finish(pos, MIREL_BREAK_WRAP);
    if (ch == MR_CHAR_CR) {
      const bool bPair = pos + 4 <= nLen && UnitAt(pos + 2) == MR_CHAR_LF;
      return finish(pos, bPair ? MIREL_BREAK_CRLF : MIREL_BREAK_CR);
    }
    if (ch == MR_CHAR_LF) return finish(pos, MIREL_BREAK_LF);
    // A unit, or a surrogate pair: one character of 4 bytes.
    const DWORD nCharLen = CharLength(pos);
    if (pos - nStart + nCharLen > MIREL_MAX_ROW_BYTES) return finish(pos, MIREL_BREAK_WRAP);
    w = ch == MR_CHAR_TAB ? NextTabStop(w) : w + CharWidth(pos, nCharLen);
    pos += nCharLen;
    pWide = pDoc->pWideWidth;  // the width query may have made the table
  }
}

int CMrRowLayout::FindEndGeneric(DWORD nStart, DWORD* pnEnd, int* pnWidth, BOOL bNoLimit) const {
  const bool bWrap = nMode != MIREL_WRAP_NONE;
  const bool bCheckBreaks = bWrap || !bNoLimit;
  long long w = 0;
  DWORD pos = nStart;
  CMrWordBreak brk(nMode);
  auto finish = [&](DWORD nEnd, int nCode) {
    *pnEnd = nEnd;
    *pnWidth = static_cast<int>(std::min<long long>(w, INT_MAX));
    return nCode;
  };
  // Wrapping 1-byte text, a plain byte is a character of its own that is no
  // line end, tab or page break and no double-byte character: its width,
  // the row cap, the limit and the break candidates are all it needs.
  const bool bPlainRuns = bWrap && nUnit == 1;
  const bool bWordModes = nMode >= MIREL_WRAP_WORD;
  for (;;) {
    if (bPlainRuns) {
      const BYTE* t = pText;
      while (pos < nLen && aClass[t[pos]] == kPlain) {
        if (pos - nStart >= MIREL_MAX_ROW_BYTES) return finish(pos, MIREL_BREAK_WRAP);
        w += aWidth[t[pos]];
        if (bWordModes) brk.Step(pos, false, false);
        if (w > nLimit && pos > nStart) {
          return finish((bWordModes && brk.nCandidate > nStart) ? brk.nCandidate : pos, MIREL_BREAK_WRAP);
        }
        if (bWordModes && aDelimiter[t[pos]]) brk.nCandidate = pos + 1;
        ++pos;
      }
    }
    if (pos >= nLen) return finish(nLen, MIREL_BREAK_END);
    if (bCheckBreaks) {
      if (IsPageBreakAt(pos)) return finish(pos, MIREL_BREAK_PAGE);
      if (pos - nStart >= MIREL_MAX_ROW_BYTES) return finish(pos, MIREL_BREAK_WRAP);
    }
    if (pos + nUnit <= nLen) {
      const UINT ch = UnitAt(pos);
      if (ch == MR_CHAR_CR) {
        const bool bPair = pos + 2 * nUnit <= nLen && UnitAt(pos + nUnit) == MR_CHAR_LF;
        return finish(pos, bPair ? MIREL_BREAK_CRLF : MIREL_BREAK_CR);
      }
      if (ch == MR_CHAR_LF) return finish(pos, MIREL_BREAK_LF);
    }
    const DWORD nCharLen = CharLength(pos);
    if (bCheckBreaks && pos - nStart + nCharLen > MIREL_MAX_ROW_BYTES) return finish(pos, MIREL_BREAK_WRAP);
    const bool bTab = pos + nUnit <= nLen && UnitAt(pos) == MR_CHAR_TAB;
    if (bTab) {
      w = NextTabStop(w);
    } else {
      w += CharWidth(pos, nCharLen);
    }
    if (nMode >= MIREL_WRAP_WORD) brk.Step(pos, bTab, IsDoubleByteChar(pos, nCharLen));
    // Every row keeps at least its first character, and a candidate at the
    // row start would give an empty row.
    if (bWrap && w > nLimit && pos > nStart) {
      const DWORD nEnd = (nMode >= MIREL_WRAP_WORD && brk.nCandidate > nStart) ? brk.nCandidate : pos;
      return finish(nEnd, MIREL_BREAK_WRAP);
    }
    if (nMode >= MIREL_WRAP_WORD && IsDelimiterAt(pos)) brk.nCandidate = pos + nCharLen;
    pos += nCharLen;
  }
}

int CMrRowLayout::Step(Walker& walker, MIREL_LINE* pRow) {
  DWORD nEnd = 0;
  int nCode;
  if (walker.bPageBreakRow) {
    nEnd = std::min(nLen, walker.nStart + nUnit);
    nCode = kPageBreakRow;
  } else {
    int nWidth = 0;
    nCode = FindEnd(walker.nStart, &nEnd, &nWidth, FALSE);
    if (nWidth > nMaxWidth) nMaxWidth = nWidth;
  }
  pRow->nStart = walker.nStart;
  pRow->nPara = walker.nPara;
  pRow->nSubLine = walker.nSubLine;
  pRow->nLen = static_cast<WORD>(nEnd - walker.nStart);
  pRow->nKind = MIREL_LINE_ROW;
  std::memset(pRow->reserved, 0, sizeof(pRow->reserved));
  switch (nCode) {
    case MIREL_BREAK_END:
      pRow->nKind = MIREL_LINE_LAST;
      break;
    case MIREL_BREAK_WRAP:
      walker.nStart = nEnd;
      ++walker.nSubLine;
      break;
    case MIREL_BREAK_PAGE:
      walker.nStart = nEnd;
      ++walker.nSubLine;
      walker.bPageBreakRow = true;
      break;
    case kPageBreakRow:
      walker.nStart = nEnd;
      ++walker.nSubLine;
      walker.bPageBreakRow = false;
      break;
    case MIREL_BREAK_CRLF:
    case MIREL_BREAK_LF:
    case MIREL_BREAK_CR:
      walker.nStart = std::min(nLen, nEnd + (nCode == MIREL_BREAK_CRLF ? 2 * nUnit : nUnit));
      ++walker.nPara;
      walker.nSubLine = 0;
      break;
    default:
      break;
  }
  return nCode;
}

// ---------------------------------------------------------------------------

int CContentsHandler::FindLineEnd(const BYTE* pTextIn, DWORD nLen, DWORD nStart, DWORD* pnEnd, int* pnWidth,
                                  BOOL bNoLimit) {
  DWORD nEnd = nStart;
  int nWidth = 0;
  int nCode = MIREL_BREAK_BAD_MODE;
  if (pDoc != nullptr && pDoc->nWrapMode <= MIREL_WRAP_WORD_DBCS && pTextIn != nullptr) {
    const CMrRowLayout layout(pDoc, pTextIn, nLen, pDoc->nWrapMode);
    nCode = layout.FindEnd(nStart, &nEnd, &nWidth, bNoLimit);
  }
  if (pnEnd) *pnEnd = nEnd;
  if (pnWidth) *pnWidth = nWidth;
  return nCode;
}

int CContentsHandler::FindRowAtOrBefore(DWORD nOffset) const {
  const MIREL_LINE* pLines = pDoc->pLines;
  int lo = 0;
  int hi = pDoc->nLineCount - 1;
  int nFound = 0;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    if (pLines[mid].nStart <= nOffset) {
      nFound = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return nFound;
}

void CContentsHandler::ZeroRecords(int nFrom, int nTo) {
  nTo = std::min(nTo, pDoc->nLineAlloc);
  if (nFrom < 0) nFrom = 0;
  if (nFrom < nTo)
    std::memset(pDoc->pLines + nFrom, 0, static_cast<size_t>(nTo - nFrom) * sizeof(MIREL_LINE));
}

BOOL CContentsHandler::EnsureScratch(DWORD nRows) {
  if (nRows <= nInsAlloc) return TRUE;
  DWORD nNew = std::max<DWORD>(nRows, nInsAlloc < 64 ? 64 : nInsAlloc + nInsAlloc / 2);
  if (nNew > static_cast<DWORD>(INT_MAX / sizeof(MIREL_LINE))) nNew = nRows;
  if (nNew > static_cast<DWORD>(INT_MAX / sizeof(MIREL_LINE))) return FALSE;
  MIREL_LINE* p =
      static_cast<MIREL_LINE*>(std::realloc(pInsLines, static_cast<size_t>(nNew) * sizeof(MIREL_LINE)));
  if (p == nullptr) return FALSE;
  pInsLines = p;
  nInsAlloc = nNew;
  return TRUE;
}

BOOL CContentsHandler::RebuildLines() {
  if (pEditBodyFile == nullptr || pDoc == nullptr) return TRUE;
  pDoc->InvalidateParagraphDataFrom(0);
  if (pDoc->pLines == nullptr && !pDoc->GrowLines(1)) return FALSE;
  pDoc->PrepareMarginForText(pText, nTextLen);
  // Every row is measured again: the widest one is that of the rows as they
  // are now, not of widths that no longer hold.
  pDoc->nMaxLineWidth = 0;
  const BOOL bDone = LayToEnd(0, 0, 0);
  pDoc->UpdateMarginsAfterLayout();
  return bDone;
}

int CContentsHandler::MeasureWidestRow() {
  if (pEditBodyFile == nullptr || pDoc == nullptr || pText == nullptr) return 0;
  const int nMode = pDoc->nWrapMode <= MIREL_WRAP_WORD_DBCS ? pDoc->nWrapMode : MIREL_WRAP_NONE;
  CMrRowLayout layout(pDoc, pText, nTextLen, nMode);
  CMrRowLayout::Walker walker{0, 0, 0, false};
  MIREL_LINE row{};
  for (;;) {
    const int nCode = layout.Step(walker, &row);
    if (!IsLineEndCode(nCode) && nCode != MIREL_BREAK_WRAP && nCode != MIREL_BREAK_PAGE && nCode != 31) break;
  }
  return layout.nMaxWidth;
}

BOOL CContentsHandler::LayToEnd(int nFirstRow, DWORD nStart, DWORD nPara) {
  CMirelDoc* d = pDoc;
  const int nMode = d->nWrapMode <= MIREL_WRAP_WORD_DBCS ? d->nWrapMode : MIREL_WRAP_NONE;
  CMrRowLayout layout(d, pText, nTextLen, nMode);
  CMrRowLayout::Walker walker{nStart, nPara, 0, false};
  const int nOldCount = d->nLineCount;
  if (nFirstRow == 0) ++nFullLayouts;
  // The paragraph index keeps its entries before the first paragraph laid
  // out and takes the rest as the rows come.
  std::vector<DWORD>& samples = d->paraSamples;
  const size_t nKept = ParaSampleIndexAtOrAfter(nPara);
  bool bTrack = samples.size() >= nKept;
  if (bTrack) {
    samples.resize(nKept);
  } else {
    d->bParaSamplesMissed = true;
  }
  // So does the position index, from the first row laid out on.
  std::vector<DWORD>& rowSamples = d->rowSamples;
  constexpr int kRowMask = (1 << CMirelDoc::kRowSampleShift) - 1;
  const size_t nRowsKept = static_cast<size_t>(nFirstRow + kRowMask) >> CMirelDoc::kRowSampleShift;
  bool bTrackRows = rowSamples.size() >= nRowsKept;
  if (bTrackRows) rowSamples.resize(nRowsKept);
  int i = nFirstRow;
  BOOL bDone = TRUE;
  for (;;) {
    if (i >= d->nLineAlloc) {
      // An estimate the memory cannot hold falls back to geometric growth,
      // and only then to a record at a time.
      const int nMore = RowsToGrow(i - nFirstRow, walker.nStart - nStart, nTextLen - nStart, d->nLineAlloc);
      if (!d->GrowLines(nMore) && !d->GrowLines(std::max(256, d->nLineAlloc / 2)) && !d->GrowLines(1)) {
        bDone = FALSE;
        break;
      }
    }
    const int nCode = layout.Step(walker, d->pLines + i);
    // An index the memory cannot hold is dropped: the look-ups fall back to
    // the table search and take it again later.
    if (bTrack && StartsSampledParagraph(d->pLines[i])) {
      if (samples.size() < samples.capacity() || MrTryGrowIndex(&samples)) {
        samples.push_back(static_cast<DWORD>(i));
      } else {
        bTrack = false;
        samples.clear();
        d->bParaSamplesMissed = true;
      }
    }
    if (bTrackRows && (i & kRowMask) == 0) {
      if (rowSamples.size() < rowSamples.capacity() || MrTryGrowIndex(&rowSamples)) {
        rowSamples.push_back(d->pLines[i].nStart);
      } else {
        bTrackRows = false;
        rowSamples.clear();
        d->bSamplesMissed = true;
      }
    }
    if (nCode == MIREL_BREAK_END) break;
    if (!IsLineEndCode(nCode) && nCode != MIREL_BREAK_WRAP && nCode != MIREL_BREAK_PAGE && nCode != 31) {
      bDone = FALSE;
      break;
    }
    ++i;
  }
  if (!bDone) {
    // Keep the table usable: the rows laid so far, the last one marked last.
    if (i <= 0 || i >= d->nLineAlloc) i = std::max(0, std::min(i, d->nLineAlloc) - 1);
    d->pLines[i].nKind = MIREL_LINE_LAST;
  }
  d->nLineCount = i + 1;
  // A whole layout leaves a whole index.
  if (bTrack && nFirstRow == 0 && bDone) d->bParaSamplesMissed = false;
  if (bTrackRows && nFirstRow == 0 && bDone) {
    d->bSamplesMissed = false;
    d->nSampleLookups = 0;
  }
  ZeroRecords(d->nLineCount, std::max(nOldCount, d->nLineCount));
  if (layout.nMaxWidth > d->nMaxLineWidth) d->nMaxLineWidth = layout.nMaxWidth;
  return bDone;
}

// ---------------------------------------------------------------------------
// Bookmarks and the current tag follow their paragraphs through an edit.

namespace {

// What happens to one paragraph mark (a bookmark slot or the current tag).
struct MarkMove {
  enum Kind { kRemove, kToPosition, kShift } kind;
  int nSlot;   // bookmark slot, or kTagSlot
  DWORD nPos;  // kToPosition: a position in the new text inside the mark's paragraph
  int nOldPara;
};
constexpr int kTagSlot = -1;

// The old table around an edit, read before the new rows replace it.
struct EditFrame {
  DWORD nPos, nOldLen, nNewLen;
  DWORD nFirstPara;      // first paragraph laid out again
  DWORD nFirstTailPara;  // first old paragraph kept (old numbering)
  DWORD nParaOfPos;      // old paragraph holding the edit start
  DWORD nParaOfEnd;      // old paragraph holding the end of the old span
};

// Decides where each mark on a touched paragraph goes. Marks before the
// touched paragraphs stay; marks after them move with the paragraph count;
// marks on a paragraph whose line end the edit removed go; every other mark
// follows the start of its paragraph's text.
void PlanMarks(CMirelDoc* d, const EditFrame& f, std::vector<MarkMove>* pMoves) {
  auto plan = [&](int nSlot, int nPara) {
    if (nPara < 0 || static_cast<DWORD>(nPara) < f.nFirstPara) return;
    const DWORD q = static_cast<DWORD>(nPara);
    if (q >= f.nFirstTailPara) {
      pMoves->push_back({MarkMove::kShift, nSlot, 0, nPara});
      return;
    }
    if (f.nOldLen > 0 && q >= f.nParaOfPos && q < f.nParaOfEnd) {
      pMoves->push_back({MarkMove::kRemove, nSlot, 0, nPara});
      return;
    }
    const int nRow = d->FindFirstRowOfParagraph(q);
    const DWORD s = nRow >= 0 ? d->pLines[nRow].nStart : f.nPos;
    DWORD nNew;
    if (s < f.nPos) {
      nNew = s;
    } else if (s == f.nPos) {
      nNew = f.nOldLen == 0 ? f.nPos + f.nNewLen : f.nPos;
    } else {
      nNew = std::max(s, f.nPos + f.nOldLen) - f.nOldLen + f.nNewLen;
    }
    pMoves->push_back({MarkMove::kToPosition, nSlot, nNew, nPara});
  };
  for (int i = 0; i < d->nBookmarkAlloc && d->pBookmark; ++i) {
    if (!d->pBookmark[i].IsFree()) plan(i, d->pBookmark[i].nPara);
  }
  if (d->pCurrentTag) plan(kTagSlot, d->nCurrentTagPara);
}

void FreeMark(CMirelDoc* d, int nSlot) {
  if (nSlot == kTagSlot) {
    d->pCurrentTag = nullptr;
    d->nCurrentTagPara = 0;
    return;
  }
  if (nSlot >= MIREL_NAMED_BOOKMARK_COUNT) {
    MIREL_ASSERT(d->nBookmarkCount > 0);
    if (d->nBookmarkCount > 0) --d->nBookmarkCount;
  }
  d->pBookmark[nSlot] = CMrBookmark();
}

void SetMarkPara(CMirelDoc* d, int nSlot, long long nPara) {
  const int n = static_cast<int>(std::max(0LL, std::min<long long>(nPara, INT_MAX)));
  if (nSlot == kTagSlot) {
    d->nCurrentTagPara = n;
  } else {
    d->pBookmark[nSlot].nPara = n;
  }
}

// Applies the plan on the new table. Two marks of one kind that end up on one
// paragraph (paragraphs merged) keep the one from the later paragraph.
void ApplyMarks(CMirelDoc* d, const std::vector<MarkMove>& moves, long long nParaShift,
                int (*findRow)(const CMirelDoc*, DWORD)) {
  for (const MarkMove& m : moves) {
    switch (m.kind) {
      case MarkMove::kRemove:
        FreeMark(d, m.nSlot);
        break;
      case MarkMove::kShift:
        SetMarkPara(d, m.nSlot, m.nOldPara + nParaShift);
        break;
      case MarkMove::kToPosition:
        SetMarkPara(d, m.nSlot, d->pLines[findRow(d, m.nPos)].nPara);
        break;
    }
  }
  if (moves.empty() || d->pBookmark == nullptr) return;
  // Ordinary bookmarks keep ascending order, so equal paragraphs are neighbours.
  int nPrev = -1;
  for (int i = MIREL_NAMED_BOOKMARK_COUNT; i < d->nBookmarkAlloc; ++i) {
    if (d->pBookmark[i].IsFree()) continue;
    if (nPrev >= 0 && d->pBookmark[nPrev].nPara == d->pBookmark[i].nPara) FreeMark(d, nPrev);
    nPrev = i;
  }
  const int nNamed = std::min(MIREL_NAMED_BOOKMARK_COUNT, d->nBookmarkAlloc);
  for (int i = 0; i < nNamed; ++i) {
    for (int j = i + 1; j < nNamed && !d->pBookmark[i].IsFree(); ++j) {
      if (d->pBookmark[j].IsFree() || d->pBookmark[j].nPara != d->pBookmark[i].nPara) continue;
      // Free the one that came from the earlier paragraph.
      int nOldI = -1, nOldJ = -1;
      for (const MarkMove& m : moves) {
        if (m.nSlot == i) nOldI = m.nOldPara;
        if (m.nSlot == j) nOldJ = m.nOldPara;
      }
      FreeMark(d, nOldI < nOldJ ? i : j);
    }
  }
}

int RowAtOrBefore(const CMirelDoc* d, DWORD nOffset) {
  int lo = 0;
  int hi = d->nLineCount - 1;
  int nFound = 0;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    if (d->pLines[mid].nStart <= nOffset) {
      nFound = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return nFound;
}

bool HasMarks(const CMirelDoc* d) {
  return d->pCurrentTag != nullptr || (d->pBookmark != nullptr && d->nBookmarkAlloc > 0);
}

// A bookmark in use or the current tag.
bool HasLiveMarks(const CMirelDoc* d) {
  if (d->pCurrentTag != nullptr) return true;
  for (int i = 0; i < d->nBookmarkAlloc && d->pBookmark != nullptr; ++i) {
    if (!d->pBookmark[i].IsFree()) return true;
  }
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------
// Incremental re-layout

BOOL CContentsHandler::DeleteAndRelayout(DWORD nPos, DWORD nLen, BOOL bRecordUndo) {
  if (nLen == 0) return FALSE;
  return EditAndRelayout(EditKind::kDelete, nPos, nLen, bRecordUndo, nullptr, 0, FALSE);
}

BOOL CContentsHandler::InsertAndRelayout(DWORD nPos, const BYTE* pData, DWORD nLen, BOOL bRecordUndo) {
  return EditAndRelayout(EditKind::kInsert, nPos, 0, FALSE, pData, nLen, bRecordUndo);
}

BOOL CContentsHandler::ReplaceAndRelayout(DWORD nPos, DWORD nOldLen, BOOL bRecordOld, const BYTE* pData,
                                          DWORD nNewLen, BOOL bRecordNew) {
  if (nOldLen > 0 && nNewLen == 0) return DeleteAndRelayout(nPos, nOldLen, bRecordOld);
  return EditAndRelayout(EditKind::kReplace, nPos, nOldLen, bRecordOld, pData, nNewLen, bRecordNew);
}

BOOL CContentsHandler::EditAndRelayout(EditKind kind, DWORD nPos, DWORD nOldLen, BOOL bRecordOld,
                                       const BYTE* pData, DWORD nNewLen, BOOL bRecordNew) {
  if (pDoc == nullptr || pEditBodyFile == nullptr) return FALSE;
  if ((pDoc->pLines == nullptr || pDoc->nLineCount <= 0) && !pDoc->GrowLines(2)) return FALSE;
  if (pDoc->nLineCount <= 0) pDoc->nLineCount = 1;
  // Room for the rows the new bytes add without wrapping (a row per line end,
  // two per page-break character, one per full-length row), taken before the
  // text changes: a table that cannot grow refuses the edit untouched.
  // Wrapped rows beyond that are made room for after the edit.
  // A length the store would refuse anyway is not read at all.
  if (nNewLen > nOldLen &&
      nNewLen - nOldLen > MIREL_MAX_BODY_BYTES - std::min(nBodyLen, MIREL_MAX_BODY_BYTES)) {
    return FALSE;
  }
  // Text into an empty document (a file being loaded): laid out once, straight
  // into the table, which grows as the rows come.
  if (kind == EditKind::kInsert && nTextLen == 0 && nNewLen > 0 && pData != nullptr &&
      pDoc->nViewType == MIREL_VIEW_TYPE_TEXT && !HasLiveMarks(pDoc)) {
    return LoadAndLayout(nPos, pData, nNewLen, bRecordNew);
  }
  if (nNewLen > 0 && pData != nullptr) {
    const BOOL bWide = IsWideEncoding(pDoc->nFileEncoding) && pDoc->nViewType == MIREL_VIEW_TYPE_TEXT;
    const DWORD nUnit = bWide ? 2 : 1;
    const UINT chPage = pDoc->chPageBreak;
    unsigned long long nBreaks = MrCountLineEnds(pData, nNewLen, bWide);
    if (chPage != 0) {
      if (nUnit == 1) {
        nBreaks += 2ull * static_cast<unsigned long long>(
                              std::count(pData, pData + nNewLen, static_cast<BYTE>(chPage)));
      } else {
        for (DWORD i = 0; i + nUnit <= nNewLen; i += nUnit)
          nBreaks += MrUnitAt(pData + i, TRUE) == chPage ? 2 : 0;
      }
    }
    const unsigned long long nNeed =
        static_cast<unsigned long long>(pDoc->nLineCount) + nBreaks + nNewLen / MIREL_MAX_ROW_BYTES + 4;
    if (nNeed > static_cast<unsigned long long>(pDoc->nLineAlloc)) {
      if (nNeed > static_cast<unsigned long long>(INT_MAX)) return FALSE;
      // Some slack, so that pressing Enter again and again does not move the
      // table each time.
      const int nMore = static_cast<int>(nNeed - pDoc->nLineAlloc);
      if (!pDoc->GrowLines(std::max(nMore, pDoc->nLineAlloc / 8)) && !pDoc->GrowLines(nMore)) return FALSE;
    }
  }
  TextEdit edit;
  if (!EditBytes(kind, nPos, nOldLen, bRecordOld, pData, nNewLen, bRecordNew, &edit)) return FALSE;
  BOOL bDone = TRUE;
  if (edit.nOldLen != 0 || edit.nNewLen != 0) bDone = RelayoutAfterEdit(edit);
  pDoc->SetModified(TRUE);
  return bDone;
}

BOOL CContentsHandler::LoadAndLayout(DWORD nPos, const BYTE* pData, DWORD nLen, BOOL bRecordUndo) {
  TextEdit edit;
  if (!EditBytes(EditKind::kInsert, nPos, 0, FALSE, pData, nLen, bRecordUndo, &edit)) return FALSE;
  pDoc->InvalidateParagraphDataFrom(0);
  pDoc->PrepareMarginForText(pText, nTextLen);
  const BOOL bDone = LayToEnd(0, 0, 0);
  if (!bDone) pDoc->ReportFault();
  // The few spare records an edit asks for beyond its own rows, so that
  // typing into the loaded text needs no growth at once; no more than an
  // eighth beyond that stays of what the growth estimate overshot.
  if (bDone && pDoc->nLineAlloc - pDoc->nLineCount < kLoadSpareRows) pDoc->GrowLines(kLoadSpareRows);
  if (bDone) pDoc->TrimLines(pDoc->nLineCount + kLoadSpareRows + pDoc->nLineCount / 8);
  pDoc->UpdateMarginsAfterLayout();
  pDoc->SetModified(TRUE);
  return bDone;
}

BOOL CContentsHandler::RelayoutAfterEdit(const TextEdit& edit) {
  CMirelDoc* d = pDoc;
  const DWORD p = edit.nPos;
  const long long nDelta = static_cast<long long>(edit.nNewLen) - edit.nOldLen;
  const BOOL bWide = IsWideEncoding(d->nFileEncoding);
  const DWORD nUnit = bWide ? 2 : 1;

  // First row: the start of the paragraph holding the edit, one paragraph
  // earlier when that one ends with a lone CR (an LF at the edit may join it).
  int nFirstRow = FindRowAtOrBefore(p);
  nFirstRow -= static_cast<int>(std::min<DWORD>(nFirstRow, d->pLines[nFirstRow].nSubLine));
  {
    const DWORD s = d->pLines[nFirstRow].nStart;
    if (nFirstRow > 0 && s >= nUnit && s <= nTextLen && MrUnitAt(pText + s - nUnit, bWide) == MR_CHAR_CR) {
      const int r = nFirstRow - 1;
      nFirstRow = r - static_cast<int>(std::min<DWORD>(r, d->pLines[r].nSubLine));
    }
  }
  const DWORD nStart = d->pLines[nFirstRow].nStart;
  const DWORD nFirstPara = d->pLines[nFirstRow].nPara;
  auto layoutStartsWithPageBreak = [&](int nRow) {
    const DWORD s = d->pLines[nRow].nStart;
    return d->chPageBreak != 0 && s + nUnit <= nTextLen && MrUnitAt(pText + s, bWide) == d->chPageBreak;
  };
  d->InvalidateParagraphDataFrom(static_cast<int>(nFirstPara));

  const int nOldCount = d->nLineCount;
  const DWORD nOldLastPara = d->pLines[nOldCount - 1].nPara;
  EditFrame frame{p,
                  edit.nOldLen,
                  edit.nNewLen,
                  nFirstPara,
                  nOldLastPara + 1,
                  d->pLines[FindRowAtOrBefore(p)].nPara,
                  d->pLines[FindRowAtOrBefore(p + edit.nOldLen)].nPara};
  std::vector<MarkMove> moves;

  // An odd change of length shifts every later UTF-16 unit against the byte
  // pairs it was made of: nothing after the edit can be reused.
  if (bWide && (nDelta & 1)) {
    if (HasMarks(d)) PlanMarks(d, frame, &moves);
    const BOOL bDone = LayToEnd(nFirstRow, nStart, nFirstPara);
    if (!moves.empty())
      ApplyMarks(d, moves, static_cast<long long>(d->pLines[d->nLineCount - 1].nPara) - nOldLastPara,
                 RowAtOrBefore);
    d->UpdateMarginsAfterLayout();
    return bDone;
  }

  // The rows of the paragraph up to two rows before the edit stay as they
  // are: a row ends where the character that overflows it lies, inside the
  // row after it, so no edit further on can move that end. Laying out from
  // there, not from the paragraph start, keeps an edit in a long wrapped
  // paragraph from re-wrapping all of it. A page-break row is never the
  // first one (the walker would not know it is one).
  const int nParaFirstRow = nFirstRow;
  const DWORD nParaStart = nStart;
  const int nResumeRow = std::max(nFirstRow, FindRowAtOrBefore(p) - 2);
  nFirstRow = nResumeRow;
  while (nFirstRow > nParaFirstRow && layoutStartsWithPageBreak(nFirstRow)) --nFirstRow;
  const MIREL_LINE& resume = d->pLines[nFirstRow];

  const int nMode = d->nWrapMode <= MIREL_WRAP_WORD_DBCS ? d->nWrapMode : MIREL_WRAP_NONE;
  CMrRowLayout layout(d, pText, nTextLen, nMode);
  CMrRowLayout::Walker walker{resume.nStart, resume.nPara, resume.nSubLine, false};
  const DWORD nEditEnd = p + edit.nNewLen;
  DWORD nRows = 0;
  int j = nFirstRow;  // old row cursor
  for (;;) {
    if (!EnsureScratch(nRows + 1)) {
      d->ReportFault();
      return FALSE;
    }
    const int nCode = layout.Step(walker, pInsLines + nRows);
    ++nRows;
    if (nCode == MIREL_BREAK_END) {
      j = nOldCount;
      break;
    }
    if (IsLineEndCode(nCode)) {
      if (walker.nStart >= nEditEnd) {
        const long long nTarget = static_cast<long long>(walker.nStart) - nDelta;
        while (j < nOldCount && d->pLines[j].nStart < nTarget) ++j;
        if (j < nOldCount && d->pLines[j].nStart == nTarget && d->pLines[j].nSubLine == 0) break;
      }
    } else if (nCode != MIREL_BREAK_WRAP && nCode != MIREL_BREAK_PAGE && nCode != 31) {
      d->ReportFault();
      return FALSE;
    }
  }

  long long nParaShift = 0;
  if (j < nOldCount) {
    frame.nFirstTailPara = d->pLines[j].nPara;
    nParaShift = static_cast<long long>(walker.nPara) - d->pLines[j].nPara;
  } else {
    nParaShift = static_cast<long long>(pInsLines[nRows - 1].nPara) - nOldLastPara;
  }
  if (HasMarks(d)) PlanMarks(d, frame, &moves);

  // Splice: the old rows [nFirstRow, j) give way to the nRows new ones.
  const long long nNewCount = static_cast<long long>(nFirstRow) + nRows + (nOldCount - j);
  if (nNewCount > INT_MAX) {
    d->ReportFault();
    return FALSE;
  }
  if (nNewCount > d->nLineAlloc) {
    const int nNeed = static_cast<int>(nNewCount - d->nLineAlloc);
    if (!d->GrowLines(std::max(nNeed, d->nLineAlloc / 8)) && !d->GrowLines(nNeed)) {
      // No room for the rows: lay the text out in place as far as the table
      // reaches, so that every row still lies inside the text, and report.
      LayToEnd(nParaFirstRow, nParaStart, nFirstPara);
      d->ReportFault();
      return FALSE;
    }
  }
  MIREL_LINE* pLines = d->pLines;
  const int nTail = nOldCount - j;
  const int nDest = nFirstRow + static_cast<int>(nRows);
  const DWORD nStartShift = static_cast<DWORD>(nDelta);  // modular: adds a negative change too
  const DWORD nParaAdd = static_cast<DWORD>(nParaShift);

  // The paragraph index: entries before the first paragraph that starts in
  // the new rows stay, the new rows set theirs, and the tail's entries are
  // set as its rows move (they stay when the tail keeps its rows and
  // numbers).
  DWORD* pSamples = nullptr;
  {
    const DWORD nFirstNewPara = pInsLines[0].nPara + (pInsLines[0].nSubLine == 0 ? 0 : 1);
    const DWORD nNewLastPara =
        nTail > 0 ? pLines[nOldCount - 1].nPara + nParaAdd : pInsLines[nRows - 1].nPara;
    const size_t nNewSize = (static_cast<size_t>(nNewLastPara) >> CMirelDoc::kParaSampleShift) + 1;
    std::vector<DWORD>& samples = d->paraSamples;
    const bool bTailKept = nTail > 0 && nDest == j && nParaAdd == 0;
    if (samples.size() >= ParaSampleIndexAtOrAfter(nFirstNewPara) &&
        (!bTailKept || samples.size() == nNewSize) && MrTryResize(samples, nNewSize)) {
      pSamples = samples.data();
      for (DWORD i = 0; i < nRows; ++i) {
        if (StartsSampledParagraph(pInsLines[i]))
          pSamples[pInsLines[i].nPara >> CMirelDoc::kParaSampleShift] = static_cast<DWORD>(nFirstRow) + i;
      }
      if (bTailKept) pSamples = nullptr;  // nothing more to set
    } else {
      samples.clear();  // out of step, or more than the memory holds
      d->bParaSamplesMissed = true;
    }
  }
  auto noteSample = [pSamples](const MIREL_LINE& row, int nRow) {
    if (pSamples != nullptr && StartsSampledParagraph(row))
      pSamples[row.nPara >> CMirelDoc::kParaSampleShift] = static_cast<DWORD>(nRow);
  };

  // The position index (the start of every row whose number is a multiple
  // of its step) follows the splice too, so that position look-ups after an
  // edit keep their short cut. An index taken for another table is left to
  // the look-ups, which check every entry they use.
  std::vector<DWORD>& rowSamples = d->rowSamples;
  constexpr int kRowShift = CMirelDoc::kRowSampleShift;
  constexpr int kRowMask = (1 << kRowShift) - 1;
  DWORD* pRowSamples = nullptr;
  if (rowSamples.size() == (static_cast<size_t>(nOldCount - 1) >> kRowShift) + 1) {
    if (MrTryResize(rowSamples, (static_cast<size_t>(nNewCount - 1) >> kRowShift) + 1)) {
      pRowSamples = rowSamples.data();
    } else {
      rowSamples.clear();
      d->bSamplesMissed = true;
    }
  }
  auto noteRowSample = [pRowSamples](const MIREL_LINE& row, int nRow) {
    if (pRowSamples != nullptr && (nRow & kRowMask) == 0) pRowSamples[nRow >> kRowShift] = row.nStart;
  };

  if (nDest < j) {
    for (int i = 0; i < nTail; ++i) {
      MIREL_LINE row = pLines[j + i];
      row.nStart += nStartShift;
      row.nPara += nParaAdd;
      pLines[nDest + i] = row;
      noteSample(row, nDest + i);
      noteRowSample(row, nDest + i);
    }
  } else if (nDest > j) {
    for (int i = nTail - 1; i >= 0; --i) {
      MIREL_LINE row = pLines[j + i];
      row.nStart += nStartShift;
      row.nPara += nParaAdd;
      pLines[nDest + i] = row;
      noteSample(row, nDest + i);
      noteRowSample(row, nDest + i);
    }
  } else if (nStartShift != 0 || nParaAdd != 0) {
    // The rows stay where they are: plain loops the compiler vectorises.
    MIREL_LINE* pRow = pLines + nDest;
    if (pSamples == nullptr) {
      for (int i = 0; i < nTail; ++i) {
        pRow[i].nStart += nStartShift;
        pRow[i].nPara += nParaAdd;
      }
    } else {
      for (int i = 0; i < nTail; ++i) {
        pRow[i].nStart += nStartShift;
        pRow[i].nPara += nParaAdd;
        noteSample(pRow[i], nDest + i);
      }
    }
    if (pRowSamples != nullptr) {
      const size_t nFirstShifted = (static_cast<size_t>(nDest) + kRowMask) >> kRowShift;
      const size_t nSamples = rowSamples.size();
      for (size_t k = nFirstShifted; k < nSamples; ++k) pRowSamples[k] += nStartShift;
    }
  }
  std::memcpy(pLines + nFirstRow, pInsLines, static_cast<size_t>(nRows) * sizeof(MIREL_LINE));
  for (int r = (nFirstRow + kRowMask) & ~kRowMask; pRowSamples != nullptr && r < nDest; r += kRowMask + 1)
    pRowSamples[r >> kRowShift] = pLines[r].nStart;
  // A large paste leaves no large scratch behind: the table is the only
  // per-row memory kept.
  if (nInsAlloc > kKeptScratchRows) {
    std::free(pInsLines);
    pInsLines = nullptr;
    nInsAlloc = 0;
  }
  d->nLineCount = static_cast<int>(nNewCount);
  if (nNewCount < nOldCount) ZeroRecords(static_cast<int>(nNewCount), nOldCount);
  if (layout.nMaxWidth > d->nMaxLineWidth) d->nMaxLineWidth = layout.nMaxWidth;

  if (!moves.empty()) ApplyMarks(d, moves, nParaShift, RowAtOrBefore);
  d->UpdateMarginsAfterLayout();
  return TRUE;
}
