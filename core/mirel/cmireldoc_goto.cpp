// Word queries (the word at a position, the word a double click selects, the
// word around the caret within its row) and moving the caret to a paragraph
// and column.
//
// Positions from outside are clamped to the text and moved back to the start
// of the character that holds them, and every walk steps by whole characters
// from a row start (rows always start on one), so no range ever splits a
// double-byte character, a UTF-8 sequence or a UTF-16 unit.
#include <algorithm>
#include <climits>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"

namespace {

// The text with the character tests the word queries share.
class CWordWalker {
 public:
  explicit CWordWalker(CMirelDoc& doc) : m_doc(doc), m_text(MrGetDocText(doc)) {}

  BOOL HasText() const { return m_text.p != nullptr && m_doc.pLines != nullptr && m_doc.nLineCount > 0; }
  DWORD Length() const { return m_text.nLen; }

  // Bytes of the character at nPos, at least 1 inside the text.
  DWORD CharLen(DWORD nPos) const {
    if (nPos >= m_text.nLen) return 0;
    const DWORD n = m_doc.GetCharLength(m_text.p, nPos, m_text.nLen, m_doc.nFileEncoding, m_doc.nCodePage);
    return std::max<DWORD>(n, 1);
  }
  // The end of the text and a lone byte at the end of UTF-16 text count as
  // delimiters.
  BOOL IsDelimiter(DWORD nPos) const {
    if (nPos >= m_text.nLen || (m_text.bWide && m_text.nLen - nPos < 2)) return TRUE;
    return m_doc.IsWordDelimiter(m_text.p + nPos);
  }
  BOOL IsSpace(DWORD nPos) const { return m_text.UnitIs(nPos, MR_CHAR_SPACE); }
  BOOL IsTab(DWORD nPos) const { return m_text.UnitIs(nPos, MR_CHAR_TAB); }
  BOOL IsLineEnd(DWORD nPos) const { return m_text.IsLineEndAt(nPos); }
  // Punctuation for a double click: a delimiter that is neither a blank nor
  // the end of the text.
  BOOL IsPunctuation(DWORD nPos) const {
    return nPos < m_text.nLen && IsDelimiter(nPos) && !IsSpace(nPos) && !IsTab(nPos);
  }

  // The row of a position; where a soft wrap makes it the end of one row
  // and the start of the next, the next (the character there is on it).
  int RowOf(DWORD nPos) const {
    int nRow = m_doc.GetLineFromPos(nPos);
    while (nRow + 1 < m_doc.nLineCount && m_doc.pLines[nRow + 1].nStart == nPos) ++nRow;
    return nRow;
  }
  DWORD RowStart(int nRow) const { return std::min(m_doc.pLines[nRow].nStart, m_text.nLen); }
  DWORD RowEnd(int nRow) const { return std::min(MrRowEnd(m_doc.pLines[nRow]), m_text.nLen); }

  // The start of the character that holds nPos (nPos clamped to the text).
  DWORD CharStartAtOrBefore(DWORD nPos) const {
    nPos = std::min(nPos, m_text.nLen);
    DWORD nChar = RowStart(RowOf(nPos));
    if (nChar > nPos) return nPos;
    while (nChar < nPos) {
      const DWORD n = CharLen(nChar);
      if (nChar + n > nPos) break;
      nChar += n;
    }
    return nChar;
  }

  // The last delimiter at or before nPos, walking back over the rows of its
  // paragraph; FALSE when the paragraph has none up to nPos.
  BOOL LastDelimiterAtOrBefore(DWORD nPos, DWORD* pnFound) const {
    int nRow = RowOf(nPos);
    DWORD nLimit = nPos;
    for (;;) {
      BOOL bFound = FALSE;
      for (DWORD c = RowStart(nRow); c <= nLimit && c < m_text.nLen; c += CharLen(c)) {
        if (IsDelimiter(c)) {
          *pnFound = c;
          bFound = TRUE;
        }
      }
      if (bFound) return TRUE;
      // A word may go on from the row before only on a wrapped continuation.
      if (nRow == 0 || m_doc.pLines[nRow].nSubLine == 0) return FALSE;
      --nRow;
      nLimit = RowEnd(nRow);
    }
  }

  // Word range of a character start (the algorithm behind GetWordRange).
  void WordAt(DWORD nPos, DWORD* pnStart, DWORD* pnEnd) const {
    if (nPos >= m_text.nLen || IsSpace(nPos)) {
      *pnStart = *pnEnd = nPos;
      return;
    }
    DWORD nStart = 0;
    DWORD nStop = 0;
    if (LastDelimiterAtOrBefore(nPos, &nStop)) {
      // Past the delimiter when a word follows it.
      const DWORD nNext = nStop + CharLen(nStop);
      nStart = (nNext < m_text.nLen && !IsDelimiter(nNext)) ? nNext : nStop;
    } else {
      nStart = m_doc.GetParagraphStart(nPos);
    }
    DWORD nEnd = nStart;
    while (nEnd < m_text.nLen && !IsDelimiter(nEnd)) nEnd += CharLen(nEnd);
    *pnStart = nStart;
    *pnEnd = nEnd;
  }

 private:
  CMirelDoc& m_doc;
  MrDocText m_text;
};

}  // namespace

// ---------------------------------------------------------------------------
// Word queries

BOOL CMirelDoc::GetWordRange(DWORD nPos, DWORD* pnStart, DWORD* pnEnd) {
  if (pnStart == nullptr || pnEnd == nullptr) return FALSE;
  const CWordWalker walker(*this);
  if (!walker.HasText()) return FALSE;
  walker.WordAt(walker.CharStartAtOrBefore(nPos), pnStart, pnEnd);
  return TRUE;
}

BOOL CMirelDoc::GetWordRangeForSelect(DWORD nPos, DWORD* pnStart, DWORD* pnEnd) {
  if (pnStart == nullptr || pnEnd == nullptr) return FALSE;
  const CWordWalker walker(*this);
  if (!walker.HasText()) return FALSE;
  nPos = walker.CharStartAtOrBefore(nPos);
  if (nPos >= walker.Length() || !walker.IsDelimiter(nPos)) {
    walker.WordAt(nPos, pnStart, pnEnd);
    return TRUE;
  }
  // Punctuation: the run of it around nPos; a space or a tab selects nothing.
  DWORD nStart = nPos;
  DWORD nEnd = nPos;
  if (walker.IsPunctuation(nPos)) {
    while (nStart > 0) {
      const DWORD nPrev = GetPrevCharPos(nStart);
      if (nPrev >= nStart || !walker.IsPunctuation(nPrev)) break;
      nStart = nPrev;
    }
    while (walker.IsPunctuation(nEnd)) nEnd += walker.CharLen(nEnd);
  }
  *pnStart = nStart;
  *pnEnd = nEnd;
  return TRUE;
}

BOOL CMirelDoc::GetCurrentWordInLine(DWORD nPos, DWORD* pnStart, DWORD* pnEnd) {
  if (pnStart == nullptr || pnEnd == nullptr || nViewType != MIREL_VIEW_TYPE_TEXT) return FALSE;
  const CWordWalker walker(*this);
  if (!walker.HasText()) return FALSE;
  nPos = walker.CharStartAtOrBefore(nPos);
  const int nRow = walker.RowOf(nPos);
  const DWORD nRowStart = walker.RowStart(nRow);
  const DWORD nRowEnd = walker.RowEnd(nRow);
  nPos = std::clamp(nPos, nRowStart, std::max(nRowStart, nRowEnd));
  auto setRange = [&](DWORD nFrom, DWORD nTo) {
    *pnStart = nFrom;
    *pnEnd = std::clamp(nTo, nFrom, std::max(nFrom, nRowEnd));
  };
  // A character other than a space under the caret: that whole character,
  // cut at the row end. A line end counts as such a character, so on it the
  // range is empty at the position.
  if (nPos < walker.Length() && !walker.IsSpace(nPos)) {
    setRange(nPos, nPos + walker.CharLen(nPos));
    return TRUE;
  }
  // The word just before the caret, and the last character that is not a
  // space before it, both found in one walk from the row start.
  DWORD nBefore = nRowStart;
  BOOL bHasBefore = FALSE;
  DWORD nLastSolid = nRowStart;
  BOOL bHasSolid = FALSE;
  for (DWORD c = nRowStart; c < nPos; c += walker.CharLen(c)) {
    nBefore = c;
    bHasBefore = TRUE;
    if (!walker.IsSpace(c)) {
      nLastSolid = c;
      bHasSolid = TRUE;
    }
  }
  DWORD nStart = 0;
  DWORD nEnd = 0;
  if (bHasBefore) {
    walker.WordAt(nBefore, &nStart, &nEnd);
    if (nStart != nEnd) {
      setRange(nStart, nEnd);
      return TRUE;
    }
  }
  // The nearest delimiter or word after the spaces, else before them.
  auto takeAt = [&](DWORD c) {
    if (walker.IsDelimiter(c)) {
      setRange(c, c + walker.CharLen(c));
    } else {
      walker.WordAt(c, &nStart, &nEnd);
      setRange(nStart, nEnd);
    }
  };
  for (DWORD c = nPos; c < nRowEnd && !walker.IsLineEnd(c); c += walker.CharLen(c)) {
    if (!walker.IsSpace(c)) {
      takeAt(c);
      return TRUE;
    }
  }
  if (bHasSolid && !walker.IsLineEnd(nLastSolid)) {
    takeAt(nLastSolid);
    return TRUE;
  }
  setRange(nRowStart, nRowEnd);
  return TRUE;
}

// ---------------------------------------------------------------------------
// Goto

void CMirelDoc::Goto(int nParagraph, int nColumn) {
  if (pContents == nullptr || nLineCount <= 0 || pLines == nullptr) return;
  nParagraph = std::max(nParagraph, 0);
  nColumn = std::max(nColumn, 0);
  const BOOL bHadSelection = block.HasSelection();
  const DWORD nOldStart = block.GetStartPtr();
  const DWORD nOldEnd = block.GetEndPtr();
  nVirtualSpace = 0;
  if (nViewType == MIREL_VIEW_TYPE_TEXT) {
    const CWordWalker walker(*this);
    const int nRow = std::clamp(GetLineFromParagraph(nParagraph), 0, nLineCount - 1);
    const DWORD nRowEnd = walker.RowEnd(nRow);
    DWORD nPos = walker.RowStart(nRow);
    const unsigned long long nWanted = static_cast<unsigned long long>(nPos) + static_cast<unsigned>(nColumn);
    // Whole characters only, and never past the row.
    while (nPos < nWanted && nPos < nRowEnd) {
      const DWORD n = walker.CharLen(nPos);
      if (nPos + n > nRowEnd || static_cast<unsigned long long>(nPos) + n > nWanted) break;
      nPos += n;
    }
    // Never after a lone last byte of UTF-16 text.
    nPos = MrCharStartAt(*this, nPos);
    nCaretPos = static_cast<int>(nPos);
    cli = nRow;
    block.Reset(nPos, nRow, FALSE);
  } else if (nViewType == MIREL_VIEW_TYPE_HEX) {
    const DWORD nSize = GetFileSize();
    const long long nWanted =
        static_cast<long long>(nParagraph) * std::max(nHexBytesPerLine, 1) + static_cast<long long>(nColumn);
    const DWORD nLast = nSize > 0 ? nSize - 1 : 0;
    const DWORD nPos = nWanted >= static_cast<long long>(nLast) ? nLast : static_cast<DWORD>(nWanted);
    nCaretPos = static_cast<int>(nPos);
    // The row always follows the caret, even for a paragraph past the last row.
    cli = GetHexLineFromPos(nPos);
    block.SetBoth(nPos, cli);
  } else {
    return;
  }
  if (nEditCount <= 0) return;
  UpdateActiveCaret(1, 1);
  if (bHadSelection) UpdateAllViews(REPAINT_TAG_RANGE, nOldStart, nOldEnd);
}
