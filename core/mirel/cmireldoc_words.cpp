// Word stepping inside a display row, and the indentation helpers (leading
// blanks of a paragraph, their width in columns, a run of indent units).
//
// Every walk moves by whole characters (GetCharLength), so it never stops
// inside a double-byte character, a UTF-8 sequence or a UTF-16 unit, and
// blanks in UTF-16 text are whole 16-bit units.
#include <algorithm>
#include <climits>

#include "mirel/cmireldoc.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/mirel.h"

namespace {

// The bounds of a row and a position clamped into them.
struct RowWalk {
  DWORD nStart = 0;
  DWORD nEnd = 0;
  DWORD nPos = 0;
};

// FALSE when nLine is not a row of the table.
BOOL PrepareRowWalk(const CMirelDoc& doc, const MrDocText& text, int nLine, DWORD nPos, RowWalk* pWalk) {
  if (doc.pLines == nullptr || nLine < 0 || nLine >= doc.nLineCount) return FALSE;
  const MIREL_LINE& row = doc.pLines[nLine];
  pWalk->nStart = std::min(row.nStart, text.nLen);
  pWalk->nEnd = std::min(MrRowEnd(row), text.nLen);
  // A position outside the row is a caller's slip: keep the walk inside it.
  MIREL_ASSERT(nPos >= pWalk->nStart && nPos <= pWalk->nEnd);
  pWalk->nPos = std::clamp(nPos, pWalk->nStart, pWalk->nEnd);
  // Rows start on whole units: half a unit goes back to the unit's start.
  if (text.bWide && ((pWalk->nPos - pWalk->nStart) & 1)) --pWalk->nPos;
  return TRUE;
}

BOOL BlankUnit(UINT nUnit) {
  return nUnit == MR_CHAR_SPACE || nUnit == MR_CHAR_TAB || nUnit == MR_CHAR_NUL;
}

// TRUE when the character at nPos is a word delimiter; the text end and a
// lone byte at the end of UTF-16 text count as delimiters.
BOOL DelimiterAt(CMirelDoc& doc, const MrDocText& text, DWORD nPos) {
  if (nPos >= text.nLen || (text.bWide && text.nLen - nPos < 2)) return TRUE;
  return doc.IsWordDelimiter(text.p + nPos);
}

}  // namespace

DWORD CMirelDoc::GetWordStart(int nLine, DWORD nPos) {
  const MrDocText text = MrGetDocText(*this);
  RowWalk walk;
  if (!PrepareRowWalk(*this, text, nLine, nPos, &walk)) return std::min(nPos, text.nLen);
  if (walk.nPos == walk.nStart) return walk.nStart;
  // The start of the word that ends before the position or holds it: back
  // over delimiters, then back over the word. Done forwards from the row start
  // (the only place where characters can be told apart): the last word start
  // before the position is the answer, the row start when there is none.
  DWORD nAnswer = walk.nStart;
  BOOL bPrevDelimiter = TRUE;
  DWORD nChar = walk.nStart;
  while (nChar < walk.nPos) {
    const DWORD nCharLen = GetCharLength(text.p, nChar, text.nLen, nFileEncoding, nCodePage);
    if (nCharLen == 0) break;
    const BOOL bDelimiter = DelimiterAt(*this, text, nChar);
    if (!bDelimiter && bPrevDelimiter) nAnswer = nChar;
    bPrevDelimiter = bDelimiter;
    nChar += nCharLen;
  }
  return nAnswer;
}

DWORD CMirelDoc::GetWordEnd(int nLine, DWORD nPos) {
  const MrDocText text = MrGetDocText(*this);
  RowWalk walk;
  if (!PrepareRowWalk(*this, text, nLine, nPos, &walk)) return std::min(nPos, text.nLen);
  // Over the rest of the word, then over the delimiters: the next word's start.
  BOOL bPassedDelimiter = FALSE;
  DWORD nChar = walk.nPos;
  while (nChar < walk.nEnd) {
    const BOOL bDelimiter = DelimiterAt(*this, text, nChar);
    if (!bDelimiter && bPassedDelimiter) return nChar;
    if (bDelimiter) bPassedDelimiter = TRUE;
    const DWORD nCharLen = GetCharLength(text.p, nChar, text.nLen, nFileEncoding, nCodePage);
    if (nCharLen == 0) break;
    nChar += nCharLen;
  }
  return walk.nEnd;
}

DWORD CMirelDoc::GetNextWordEnd(int nLine, DWORD nPos) {
  const MrDocText text = MrGetDocText(*this);
  RowWalk walk;
  if (!PrepareRowWalk(*this, text, nLine, nPos, &walk)) return std::min(nPos, text.nLen);
  // Over delimiters, then to the end of the word there.
  DWORD nChar = walk.nPos;
  BOOL bInWord = FALSE;
  while (nChar < walk.nEnd) {
    const BOOL bDelimiter = DelimiterAt(*this, text, nChar);
    if (bDelimiter && bInWord) return nChar;
    if (!bDelimiter) bInWord = TRUE;
    const DWORD nCharLen = GetCharLength(text.p, nChar, text.nLen, nFileEncoding, nCodePage);
    if (nCharLen == 0) break;
    nChar += nCharLen;
  }
  return walk.nEnd;
}

// ---------------------------------------------------------------------------
// Indentation

int CMirelDoc::GetIndentWidth(const BYTE* pText, int nLen) {
  if (pText == nullptr || nLen <= 0) return 0;
  const BOOL bWide = IsWideEncoding(nFileEncoding);
  const int nUnit = bWide ? 2 : 1;
  const long long nTab = std::max(nTabSize, 1);
  long long nColumns = 0;
  for (int i = 0; nLen - i >= nUnit; i += nUnit) {
    const UINT nChar = MrUnitAt(pText + i, bWide);
    if (nChar == MR_CHAR_TAB) {
      nColumns += nTab;
    } else if (nChar == MR_CHAR_SPACE || nChar == MR_CHAR_NUL) {
      nColumns += 1;
    } else {
      break;
    }
    if (nColumns >= INT_MAX) return INT_MAX;
  }
  return static_cast<int>(nColumns);
}

int CMirelDoc::GetLeadingBlanks(int nPara, BYTE* pBuffer, int nCapacity) {
  if (pBuffer == nullptr || nCapacity <= 0 || nPara < 0 || nLineCount <= 0 || pLines == nullptr) return 0;
  if (static_cast<DWORD>(nPara) > pLines[nLineCount - 1].nPara) return 0;
  const MrDocText text = MrGetDocText(*this);
  const DWORD nStart = pLines[GetLineFromParagraph(nPara)].nStart;
  // Blanks never run past the paragraph's own text (the store keeps zero
  // bytes after the text end, which must not be taken for NUL blanks).
  const DWORD nEnd = std::min(GetParagraphEnd(nStart), text.nLen);
  const DWORD nUnit = text.bWide ? 2 : 1;
  DWORD nCopied = 0;
  for (DWORD nPos = nStart; nPos < nEnd && nEnd - nPos >= nUnit; nPos += nUnit) {
    if (!BlankUnit(MrUnitAt(text.p + nPos, text.bWide))) break;
    if (static_cast<DWORD>(nCapacity) - nCopied < nUnit) break;
    std::copy(text.p + nPos, text.p + nPos + nUnit, pBuffer + nCopied);
    nCopied += nUnit;
  }
  return static_cast<int>(nCopied);
}

int CMirelDoc::FillIndent(int nUnits, BYTE* pBuffer, int nCapacity) {
  if (pBuffer == nullptr || nCapacity <= 0 || nUnits <= 0) return 0;
  const BOOL bWide = IsWideEncoding(nFileEncoding);
  const int nUnitSize = bWide ? 2 : 1;
  const UINT nChar = bTabToSpace ? MR_CHAR_SPACE : MR_CHAR_TAB;
  const long long nWanted = bTabToSpace ? static_cast<long long>(nUnits) * std::max(nTabSize, 1) : nUnits;
  const long long nFit = std::min<long long>(nWanted, nCapacity / nUnitSize);
  int nWritten = 0;
  for (long long i = 0; i < nFit; ++i) nWritten += MrPutUnit(pBuffer + nWritten, bWide, nChar);
  return nWritten;
}
