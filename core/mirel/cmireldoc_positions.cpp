// Positions, display rows, paragraphs, character stepping and pixel x in the
// text view, and the caret queries of both views.
//
// A display row covers the positions from its start to its end (start +
// length), both included; the line end after the last row of a paragraph
// belongs to no row. Every position taken from outside is clamped to the text
// or refused, and every row index is checked against nLineCount.
#include <algorithm>
#include <climits>

#include "mirel/cmireldoc.h"
#include "mirel/ccontentshandler.h"
#include "mirel/mrtryalloc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/mirel.h"
#include "mirel/mrcharsync.h"
#include "mirel/mrtextunits.h"

// ---------------------------------------------------------------------------
// Characters

DWORD CMirelDoc::GetCharLength(const BYTE* pText, DWORD nPos, DWORD nLen, int nEncoding, int nCodePage) {
  if (pText == nullptr || nPos >= nLen) return 0;
  // Half a UTF-16 unit: step to the next whole unit.
  if (IsWideEncoding(nEncoding) && (nPos & 1)) return 1;
  if (nEncoding != MIREL_ENCODING_ANSI) return MrCharLength(pText, nPos, nLen, nEncoding, nullptr);
  if (nCodePage == this->nCodePage) return MrCharLength(pText, nPos, nLen, nEncoding, GetLeadByteTable());
  BYTE abLead[256];
  MrBuildLeadByteTable(static_cast<UINT>(nCodePage), abLead);
  return MrCharLength(pText, nPos, nLen, nEncoding, abLead);
}

BOOL CMirelDoc::IsNewLineChar(DWORD nPos, DWORD* pnLen) {
  const MrDocText text = MrGetDocText(*this);
  DWORD nCharLen = text.LineEndLength(nPos);
  const BOOL bNewLine = nCharLen != 0;
  if (!bNewLine) nCharLen = GetCharLength(text.p, nPos, text.nLen, nFileEncoding, nCodePage);
  if (pnLen != nullptr) *pnLen = nCharLen;
  return bNewLine;
}

DWORD CMirelDoc::GetNextCharPos(DWORD nPos) {
  const MrDocText text = MrGetDocText(*this);
  if (nPos >= text.nLen) return text.nLen;
  return nPos + GetCharLength(text.p, nPos, text.nLen, nFileEncoding, nCodePage);
}

DWORD CMirelDoc::GetPrevCharPos(DWORD nPos) {
  const MrDocText text = MrGetDocText(*this);
  nPos = std::min(nPos, text.nLen);
  if (nPos == 0 || nLineCount <= 0 || pLines == nullptr) return 0;
  // The row holding the character before nPos: at a row start that is the
  // row before (its line end, or the last character of a wrapped row).
  int nRow = GetLineFromPos(nPos);
  while (nRow > 0 && pLines[nRow].nStart >= nPos) --nRow;
  const DWORD nFloor = std::min(pLines[nRow].nStart, nPos);
  // Walk forward from the nearest sure character start, not the row start:
  // a step back costs the distance to it, not the length of the row.
  DWORD nChar = nFloor == nPos ? nPos
                               : MrCharStartAtOrBefore(text.p, text.nLen, nPos - 1, nFloor, nFileEncoding,
                                                       GetLeadByteTable());
  while (nChar < nPos) {
    const DWORD nCharLen = GetCharLength(text.p, nChar, text.nLen, nFileEncoding, nCodePage);
    if (nCharLen == 0 || nChar + nCharLen >= nPos) break;
    nChar += nCharLen;
  }
  return nChar;
}

DWORD CMirelDoc::GetPrevCharPosInParagraph(DWORD nPos) {
  const MrDocText text = MrGetDocText(*this);
  nPos = std::min(nPos, text.nLen);
  if (nPos == 0 || nLineCount <= 0 || pLines == nullptr) return 0;
  int nRow = GetLineFromPos(nPos);
  const int nFirst = nRow - static_cast<int>(std::min<DWORD>(pLines[nRow].nSubLine, nRow));
  if (nPos <= pLines[nFirst].nStart) return nFirst > 0 ? MrRowEnd(pLines[nFirst - 1]) : 0;
  // The last character that ends at or before nPos. Rows start on character
  // boundaries, and so do the sure character starts (MrIsSurelyCharStart), so
  // walking forward from either never splits a character (a backward byte
  // walk would, on trail bytes that look like lead bytes).
  while (nRow > nFirst && pLines[nRow].nStart >= nPos) --nRow;
  const BYTE* pLead = GetLeadByteTable();
  for (;;) {
    const DWORD nRowStart = pLines[nRow].nStart;
    DWORD nChar = MrCharStartAtOrBefore(text.p, text.nLen, nPos - 1, nRowStart, nFileEncoding, pLead);
    const DWORD nFrom = nChar;
    DWORD nFound = nChar;
    BOOL bFound = FALSE;
    while (nChar < nPos) {
      const DWORD nCharLen = GetCharLength(text.p, nChar, text.nLen, nFileEncoding, nCodePage);
      if (nCharLen == 0) break;
      if (nChar + nCharLen <= nPos) {
        nFound = nChar;
        bFound = TRUE;
      }
      nChar += nCharLen;
    }
    if (bFound) return nFound;
    if (nFrom > nRowStart) {
      // nPos lies inside the character that starts at nFrom: the answer is
      // the character before that one.
      nPos = nFrom;
      continue;
    }
    // nPos lies inside the first character of this row.
    if (nRow == nFirst) return nFirst > 0 ? MrRowEnd(pLines[nFirst - 1]) : 0;
    --nRow;
  }
}

DWORD MrCharStartAt(CMirelDoc& doc, DWORD nPos) {
  const MrDocText text = MrGetDocText(doc);
  nPos = std::min(nPos, text.nLen);
  if (text.bWide) nPos &= ~static_cast<DWORD>(1);
  if (text.p == nullptr || doc.pLines == nullptr || doc.nLineCount <= 0 || nPos >= text.nLen) return nPos;
  // Rows start on characters; the walk starts at the nearest sure character
  // start after the row's, so it costs the distance to it.
  const DWORD nRowStart = doc.pLines[doc.GetLineFromPos(nPos)].nStart;
  if (nRowStart >= nPos) return nPos;
  DWORD nChar =
      MrCharStartAtOrBefore(text.p, text.nLen, nPos, nRowStart, doc.nFileEncoding, doc.GetLeadByteTable());
  while (nChar < nPos) {
    const DWORD nCharLen = doc.GetCharLength(text.p, nChar, text.nLen, doc.nFileEncoding, doc.nCodePage);
    if (nCharLen == 0 || nChar + nCharLen > nPos) break;
    nChar += nCharLen;
  }
  return nChar;
}

DWORD MrCaretOffCharMiddle(CMirelDoc& doc, DWORD nPos, BOOL bAfterInsert) {
  const DWORD nStart = MrCharStartAt(doc, nPos);
  if (!bAfterInsert || nStart >= nPos) return nStart;
  const MrDocText text = MrGetDocText(doc);
  const DWORD nEnd = nStart + doc.GetCharLength(text.p, nStart, text.nLen, doc.nFileEncoding, doc.nCodePage);
  // Past the character (the next one starts there), unless that is after a
  // lone last byte of UTF-16 text.
  return nEnd > nPos && !(text.bWide && (nEnd & 1)) ? nEnd : nStart;
}

// ---------------------------------------------------------------------------
// Rows and paragraphs

int CMirelDoc::FindRowThroughSamples(DWORD nPos) {
  constexpr int kStep = 1 << kRowSampleShift;
  if (nLineCount < 4 * kStep) return -1;
  ++nSampleLookups;
  const size_t nWanted = static_cast<size_t>((nLineCount - 1) >> kRowSampleShift) + 1;
  // Taken again once the look-ups since the last time pay for the reads.
  if (bSamplesMissed && (rowSamples.size() != nWanted || nSampleLookups >= nWanted / 4)) {
    // Without the memory for the index the table search answers alone.
    if (!MrTryResize(rowSamples, nWanted)) {
      rowSamples.clear();
      return -1;
    }
    for (size_t k = 0; k < nWanted; ++k) rowSamples[k] = pLines[k << kRowSampleShift].nStart;
    nSampleLookups = 0;
    bSamplesMissed = false;
  }
  if (rowSamples.empty()) return -1;
  // The last sample at or before the position, checked against the table.
  // (Halving without a branch on the data: the probes of a look-up are
  // independent of each other's results for the branch predictor.)
  const DWORD* pBase = rowSamples.data();
  for (size_t n = rowSamples.size(); n > 1;) {
    const size_t nHalf = n / 2;
    pBase = pBase[nHalf] <= nPos ? pBase + nHalf : pBase;
    n -= nHalf;
  }
  const size_t k = static_cast<size_t>(pBase - rowSamples.data()) + (*pBase <= nPos ? 1 : 0);
  const long long nLow = k == 0 ? 0 : static_cast<long long>(k - 1) << kRowSampleShift;
  const long long nHigh = std::min<long long>(nLow + kStep, nLineCount);  // exclusive
  const bool bLowHolds = nLow < nLineCount && (nLow == 0 || pLines[nLow].nStart <= nPos);
  const bool bHighHolds = nHigh >= nLineCount || nPos < pLines[nHigh].nStart;
  if (!bLowHolds || !bHighHolds) {
    bSamplesMissed = true;
    return -1;
  }
  const MIREL_LINE* pFirst = pLines + nLow;
  const MIREL_LINE* pLimit = pLines + nHigh;
  const MIREL_LINE* pAfter = std::upper_bound(
      pFirst, pLimit, nPos, [](DWORD pos, const MIREL_LINE& row) { return pos < row.nStart; });
  return pAfter == pFirst ? static_cast<int>(nLow) : static_cast<int>(pAfter - pLines - 1);
}

BOOL CMirelDoc::RowSamplesInStep() const {
  if (pLines == nullptr || nLineCount <= 0) return FALSE;
  if (rowSamples.size() != (static_cast<size_t>(nLineCount - 1) >> kRowSampleShift) + 1) return FALSE;
  for (size_t k = 0; k < rowSamples.size(); ++k) {
    if (rowSamples[k] != pLines[k << kRowSampleShift].nStart) return FALSE;
  }
  return TRUE;
}

int CMirelDoc::GetLineFromPos(DWORD nPos) {
  if (nLineCount <= 0 || pLines == nullptr) return 0;
  int nRow = FindRowThroughSamples(nPos);
  if (nRow < 0) {
    const MIREL_LINE* pBegin = pLines;
    const MIREL_LINE* pAfter = std::upper_bound(
        pBegin, pBegin + nLineCount, nPos, [](DWORD pos, const MIREL_LINE& row) { return pos < row.nStart; });
    nRow = pAfter == pBegin ? 0 : static_cast<int>(pAfter - pBegin - 1);
  }
  // While every row is a paragraph at most one row can hold a position, so
  // the last row starting at or before it is the one.
  if (RowsAreParagraphs()) return nRow;
  return ResolveRowOfPos(nPos, nRow);
}

// The search of the table probes rows by halving: the first probed row that
// holds the position (start to end, both included) is the answer; when none
// does (inside a line end, or past the text) the last row that starts at or
// before the position is. Rows that hold a position are neighbours (two or
// three at a wrap or page break), and every other probe only moves the
// bounds the way its index says, so the probes are replayed on the indices
// alone.
int CMirelDoc::ResolveRowOfPos(DWORD nPos, int nLast) const {
  if (MrRowEnd(pLines[nLast]) < nPos) return nLast;
  int nFirst = nLast;
  while (nFirst > 0 && MrRowEnd(pLines[nFirst - 1]) >= nPos) --nFirst;
  if (nFirst == nLast) return nLast;  // the only row that holds it
  DWORD nLow = 0;
  DWORD nHigh = static_cast<DWORD>(nLineCount) - 1;
  while (nLow <= nHigh) {
    const DWORD nMid = nLow + (nHigh - nLow) / 2;
    if (nMid >= static_cast<DWORD>(nFirst) && nMid <= static_cast<DWORD>(nLast))
      return static_cast<int>(nMid);
    if (nMid < static_cast<DWORD>(nFirst)) {
      nLow = nMid + 1;
    } else {
      if (nMid == 0) break;
      nHigh = nMid - 1;
    }
  }
  return nLast;
}

int CMirelDoc::GetLineFromFilePos(DWORD nPos) {
  if (nLineCount <= 0) return 0;
  if (nViewType == MIREL_VIEW_TYPE_HEX) {
    const DWORD nBom = pContents != nullptr ? pContents->GetBomLength() : 0;
    if (nPos <= nBom) return 0;
    nPos -= nBom;
  }
  return GetLineFromPos(nPos);
}

int CMirelDoc::GetParagraphFromPos(DWORD nPos) {
  if (nLineCount <= 0 || pLines == nullptr) return 0;
  return static_cast<int>(pLines[GetLineFromPos(nPos)].nPara);
}

DWORD CMirelDoc::GetParagraphStart(DWORD nPos) {
  if (nLineCount <= 0 || pLines == nullptr) return 0;
  const int nRow = GetLineFromPos(nPos);
  return pLines[nRow - static_cast<int>(std::min<DWORD>(pLines[nRow].nSubLine, nRow))].nStart;
}

int CMirelDoc::GetLineFromParagraph(int nPara) {
  if (nLineCount <= 0 || pLines == nullptr || nPara <= 0) return 0;
  const DWORD nWanted = static_cast<DWORD>(nPara);
  auto firstRowOf = [this](int nRow) {
    return nRow - static_cast<int>(std::min<DWORD>(pLines[nRow].nSubLine, nRow));
  };
  const int nLast = nLineCount - 1;
  if (RowsAreParagraphs()) return nWanted < static_cast<DWORD>(nLast) ? static_cast<int>(nWanted) : nLast;
  if (pLines[nLast].nPara < nWanted) return firstRowOf(nLast);
  const int nSampled = FindFirstRowThroughSamples(nWanted);
  if (nSampled >= 0) return nSampled;
  int nLow = 0;
  int nHigh = nLast;
  while (nLow <= nHigh) {
    const int nMid = nLow + (nHigh - nLow) / 2;
    const DWORD nMidPara = pLines[nMid].nPara;
    if (nMidPara == nWanted) return firstRowOf(nMid);
    if (nWanted < nMidPara) {
      nHigh = nMid - 1;
    } else {
      nLow = nMid + 1;
    }
  }
  return 0;
}

namespace {

// Last row of the paragraph that row nRow belongs to.
int LastRowOfParagraph(const MIREL_LINE* pLines, int nLineCount, int nRow) {
  while (nRow + 1 < nLineCount && pLines[nRow + 1].nSubLine != 0) ++nRow;
  return nRow;
}

}  // namespace

DWORD CMirelDoc::GetParagraphEnd(DWORD nPos) {
  const MrDocText text = MrGetDocText(*this);
  if (nLineCount <= 0 || pLines == nullptr) return text.nLen;
  const DWORD nEnd = MrRowEnd(pLines[LastRowOfParagraph(pLines, nLineCount, GetLineFromPos(nPos))]);
  return text.IsLineEndAt(nEnd) ? nEnd : text.nLen;
}

DWORD CMirelDoc::GetParagraphEndWithNewline(DWORD nPos) {
  const MrDocText text = MrGetDocText(*this);
  if (nLineCount <= 0 || pLines == nullptr) return text.nLen;
  const DWORD nEnd = MrRowEnd(pLines[LastRowOfParagraph(pLines, nLineCount, GetLineFromPos(nPos))]);
  const DWORD nBreak = text.LineEndLength(nEnd);
  return nBreak != 0 ? nEnd + nBreak : text.nLen;
}

BOOL CMirelDoc::IsParagraphEmpty(int nPara) {
  if (nPara < 0 || nLineCount <= 0 || pLines == nullptr) return FALSE;
  if (static_cast<DWORD>(nPara) > pLines[nLineCount - 1].nPara) return FALSE;
  const MrDocText text = MrGetDocText(*this);
  const DWORD nStart = pLines[GetLineFromParagraph(nPara)].nStart;
  // Empty means a line end right at the start: the paragraph after a final
  // line end has none, so it does not count as empty.
  return nStart < text.nLen && text.IsLineEndAt(nStart);
}

int CMirelDoc::GetPrevParagraph(DWORD nPos, BOOL bSkipEmpty) {
  int nPara = GetParagraphFromPos(nPos);
  if (nPara <= 0) return 0;
  --nPara;
  if (bSkipEmpty) {
    while (nPara >= 0 && IsParagraphEmpty(nPara)) --nPara;
    if (nPara < 0) return 0;
  }
  return nPara;
}

int CMirelDoc::GetParagraphCount() {
  if (nViewType == MIREL_VIEW_TYPE_TEXT) {
    if (nLineCount <= 0 || pLines == nullptr) return 0;
    return static_cast<int>(std::min<DWORD>(pLines[nLineCount - 1].nPara, INT_MAX - 1)) + 1;
  }
  if (nViewType == MIREL_VIEW_TYPE_HEX) return GetHexLineCount();
  return 0;
}

int CMirelDoc::GetParagraphIndex(DWORD nPos) {
  if (nViewType == MIREL_VIEW_TYPE_TEXT) return GetParagraphFromPos(nPos);
  if (nViewType == MIREL_VIEW_TYPE_HEX) return GetHexLineFromPos(nPos);
  return 0;
}

int CMirelDoc::GetNextLineClamped(int nLine) {
  if (nLineCount <= 0) return 0;
  if (nLine < 0) return 0;
  return nLine >= nLineCount - 1 ? nLineCount - 1 : nLine + 1;
}

int CMirelDoc::GetPrevLineClamped(int nLine) {
  if (nLine <= 1) return 0;
  if (nLineCount > 0 && nLine > nLineCount) return nLineCount - 1;
  return nLine - 1;
}

// ---------------------------------------------------------------------------
// Pixel x within a row

namespace {

int SaturateToInt(long long n) {
  return static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));
}

}  // namespace

int CMirelDoc::GetXFromPos(int nLine, DWORD nPos, BOOL bAddVirtual) {
  if (nLine < 0 || nLine >= nLineCount || pLines == nullptr) return 0;
  return GetXFromPosAfter(nLine, pLines[nLine].nStart, 0, nPos, bAddVirtual);
}

int CMirelDoc::GetXFromPosAfter(int nLine, DWORD nFrom, int xFrom, DWORD nPos, BOOL bAddVirtual) {
  if (nLine < 0 || nLine >= nLineCount || pLines == nullptr) return 0;
  const MrDocText text = MrGetDocText(*this);
  const MIREL_LINE& row = pLines[nLine];
  const DWORD nUnit = text.bWide ? 2 : 1;
  const long long nTab = std::max(nTabWidth, 1);
  const DWORD nStop = std::min({nPos, MrRowEnd(row), text.nLen});
  if (nFrom < row.nStart || nFrom > nPos) {
    nFrom = row.nStart;
    xFrom = 0;
  }
  const BYTE* pLead = !text.bWide && nFileEncoding == MIREL_ENCODING_ANSI ? GetLeadByteTable() : nullptr;
  long long x = xFrom;
  DWORD nChar = nFrom;
  while (nChar < nStop) {
    // ASCII other than tab and CR is one byte and one width-table entry in
    // every 1-byte-unit encoding, and a double-byte character measured
    // before one entry of the wide table: summed without the general steps,
    // which matters on rows of tens of thousands of characters.
    if (!text.bWide) {
      const BYTE b = text.p[nChar];
      if (b < 0x80 && b != MR_CHAR_TAB && b != MR_CHAR_CR && nCharWidth[b] >= 0) {
        x += nCharWidth[b];
        ++nChar;
        continue;
      }
      if (pLead != nullptr && pLead[b] && pWideWidth != nullptr && nChar + 1 < text.nLen &&
          text.p[nChar + 1] >= MR_MIN_TRAIL_BYTE && pWideWidth[b * 256u + text.p[nChar + 1]] >= 0) {
        x += pWideWidth[b * 256u + text.p[nChar + 1]];
        nChar += 2;
        continue;
      }
    }
    if (text.UnitIs(nChar, MR_CHAR_TAB)) {
      x = (x / nTab + 1) * nTab;
      nChar += nUnit;
      continue;
    }
    const DWORD nCharLen = GetCharLength(text.p, nChar, text.nLen, nFileEncoding, nCodePage);
    if (nCharLen == 0) break;
    x += GetCharWidth(text.p + nChar, nCharLen);
    nChar += nCharLen;
  }
  if (bAddVirtual && nVirtualSpace > 0) x += static_cast<long long>(nVirtualSpace) * GetSpaceWidth();
  return SaturateToInt(x);
}

DWORD CMirelDoc::GetPosFromX(int nLine, int x, BOOL bAllowVirtual) {
  if (nLineCount <= 0 || pLines == nullptr) return 0;
  nLine = std::clamp(nLine, 0, nLineCount - 1);
  const MIREL_LINE& row = pLines[nLine];
  if (x < 0) return row.nStart;
  const MrDocText text = MrGetDocText(*this);
  const DWORD nUnit = text.bWide ? 2 : 1;
  const long long nTab = std::max(nTabWidth, 1);
  const DWORD nEnd = std::min(MrRowEnd(row), text.nLen);
  long long w = 0;
  DWORD nChar = std::min(row.nStart, nEnd);
  while (nChar < nEnd) {
    DWORD nCharLen = nUnit;
    long long nWidth = 0;
    if (text.UnitIs(nChar, MR_CHAR_TAB)) {
      nWidth = (w / nTab + 1) * nTab - w;
    } else {
      nCharLen = GetCharLength(text.p, nChar, text.nLen, nFileEncoding, nCodePage);
      if (nCharLen == 0) break;
      nWidth = GetCharWidth(text.p + nChar, nCharLen);
    }
    w += nWidth;
    // Past the middle of the character: the position before it.
    if (w - nWidth / 2 >= x) {
      if (bAllowVirtual) nVirtualSpace = 0;
      return nChar;
    }
    nChar += nCharLen;
  }
  if (bAllowVirtual) {
    // Whole space widths beyond the row end, each taken once x passes its
    // middle: the smallest k with w + (k + 1) * s - s / 2 >= x. Without a
    // width no column can be told apart, so none is added.
    const long long s = GetSpaceWidth();
    long long k = 0;
    if (s > 0) {
      const long long nNeed = static_cast<long long>(x) - w - s + s / 2;
      if (nNeed > 0) k = (nNeed + s - 1) / s;
    }
    nVirtualSpace = static_cast<int>(std::min<long long>(k, INT_MAX));
  }
  return nChar;
}

int CMirelDoc::LinesToPixels(int nLines) {
  long long nHeight = 0;
  if (nViewType == MIREL_VIEW_TYPE_TEXT) {
    nHeight = static_cast<long long>(nLines) * nLineHeight;
  } else if (nViewType == MIREL_VIEW_TYPE_HEX) {
    nHeight = static_cast<long long>(nLines) * nHexLineHeight;
  }
  return SaturateToInt(nHeight);
}

int CMirelDoc::GetLineFromY(DWORD y) {
  if (nViewType == MIREL_VIEW_TYPE_TEXT) {
    if (nLineCount <= 0) return 0;
    const DWORD nRow = y / static_cast<DWORD>(std::max(nLineHeight, 1));
    return static_cast<int>(std::min<DWORD>(nRow, static_cast<DWORD>(nLineCount - 1)));
  }
  if (nViewType == MIREL_VIEW_TYPE_HEX) {
    const DWORD nRow = y / static_cast<DWORD>(std::max(nHexLineHeight, 1));
    const int nRows = GetHexLineCount();
    return static_cast<int>(std::min<DWORD>(nRow, static_cast<DWORD>(std::max(nRows - 1, 0))));
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Caret queries

DWORD CMirelDoc::GetCurrentPos() {
  return static_cast<DWORD>(nCaretPos);
}

DWORD CMirelDoc::GetCurrentFilePos() {
  if (nViewType == MIREL_VIEW_TYPE_TEXT) {
    const DWORD nBom = pContents != nullptr ? pContents->GetBomLength() : 0;
    return static_cast<DWORD>(nCaretPos) + nBom;
  }
  if (nViewType == MIREL_VIEW_TYPE_HEX) return static_cast<DWORD>(nCaretPos);
  return 0;
}

DWORD CMirelDoc::GetCurrentColumnIndex() {
  const DWORD nCaret = static_cast<DWORD>(nCaretPos);
  if (nViewType == MIREL_VIEW_TYPE_HEX) {
    // cli is a hex row there, not a display row: the column within the hex row.
    return nCaret % static_cast<DWORD>(std::max(nHexBytesPerLine, 1));
  }
  if (nViewType != MIREL_VIEW_TYPE_TEXT || cli < 0 || cli >= nLineCount || pLines == nullptr) return 0;
  if (pLines[cli].nKind == MIREL_LINE_SPARE) return 0;
  const int nFirst = cli - static_cast<int>(std::min<DWORD>(pLines[cli].nSubLine, cli));
  const DWORD nStart = pLines[nFirst].nStart;
  return nCaret > nStart ? nCaret - nStart : 0;
}

int CMirelDoc::GetCurrentParagraphIndex() {
  if (nViewType == MIREL_VIEW_TYPE_HEX) return GetHexLineFromPos(static_cast<DWORD>(nCaretPos));
  if (nViewType != MIREL_VIEW_TYPE_TEXT || cli < 0 || cli >= nLineCount || pLines == nullptr) return 0;
  return static_cast<int>(std::min<DWORD>(pLines[cli].nPara, INT_MAX));
}

DWORD CMirelDoc::GetCurrentCharLen() {
  const MrDocText text = MrGetDocText(*this);
  if (text.nLen == 0) return 0;
  if (nViewType == MIREL_VIEW_TYPE_TEXT) {
    return GetCharLength(text.p, static_cast<DWORD>(nCaretPos), text.nLen, nFileEncoding, nCodePage);
  }
  return nViewType == MIREL_VIEW_TYPE_HEX ? 1 : 0;
}
