// Selection blocks: collapsing and extending, column mode, the rows of a
// column block, its text and its deletion.
#include "mirel/cmrblock.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/mirel.h"

namespace {

// Pixel y as the row lookup takes it; a negative value is the top.
DWORD RowY(int y) {
  return y > 0 ? static_cast<DWORD>(y) : 0;
}

// A row's segment cut to the text, so that a block left over from an older
// text never reads or deletes past its end.
struct Segment {
  DWORD nStart;
  DWORD nEnd;
};

Segment ClampSegment(const MIREL_BLOCK_ROW& row, DWORD nTextLen) {
  const DWORD nStart = std::min(row.nStart, nTextLen);
  const DWORD nEnd = std::clamp(row.nEnd, nStart, nTextLen);
  return {nStart, nEnd};
}

}  // namespace

// ---------------------------------------------------------------------------
// Ends of the block

void CMrBlock::Reset(DWORD nPos, int nLine, BOOL bColumn) {
  nAnchor = nCaret = nPos;
  nAnchorLine = nCaretLine = nLine;
  nCollapseLine = nLine;
  const int x = pdoc != nullptr ? pdoc->GetXFromPos(nLine, nPos, TRUE) : 0;
  const int y = pdoc != nullptr ? pdoc->LinesToPixels(nLine) : 0;
  nAnchorX = nCaretX = x;
  nAnchorY = nCaretY = y;
  FreeRows();
  if (bColumn) bColumnMode = TRUE;
}

void CMrBlock::SetCaret(DWORD nPos, int nLine) {
  if (pdoc == nullptr) {
    nCaret = nPos;
    nCaretLine = nLine;
    if (bColumnMode) BuildColumnRows();
    return;
  }
  SetCaretAtX(nPos, nLine, pdoc->GetXFromPos(nLine, nPos, TRUE));
}

void CMrBlock::SetCaretAtX(DWORD nPos, int nLine, int x) {
  nCaret = nPos;
  nCaretLine = nLine;
  nCaretX = x;
  if (pdoc != nullptr) nCaretY = pdoc->LinesToPixels(nLine);
  if (bColumnMode) BuildColumnRows();
}

void CMrBlock::SetBoth(DWORD nPos, int nLine) {
  nAnchor = nCaret = nPos;
  nAnchorLine = nCaretLine = nLine;
}

void CMrBlock::SetCaretRaw(DWORD nPos, int nLine) {
  nCaret = nPos;
  nCaretLine = nLine;
}

// ---------------------------------------------------------------------------
// Column mode and rows

void CMrBlock::SetColumnMode(BOOL bOn) {
  // Wrapped rows have no common x grid: neither switch is allowed then.
  if (pdoc != nullptr && pdoc->nWrapMode != MIREL_WRAP_NONE) {
    MessageBeep(MB_ICONHAND);
    return;
  }
  if (!bOn) {
    LeaveColumnMode();
    return;
  }
  bColumnMode = TRUE;
  BuildColumnRows();
}

void CMrBlock::LeaveColumnMode() {
  bColumnMode = FALSE;
  FreeRows();
  if (pdoc != nullptr) pdoc->nVirtualSpace = 0;
}

BOOL CMrBlock::BuildColumnRows() {
  if (pdoc == nullptr) return FALSE;
  CMirelDoc& doc = *pdoc;
  MIREL_ASSERT(doc.nViewType == MIREL_VIEW_TYPE_TEXT);
  MIREL_ASSERT(doc.pActiveMirel);
  if (doc.nViewType != MIREL_VIEW_TYPE_TEXT || doc.pActiveMirel == nullptr) return FALSE;
  // Rows come from pixel y: without a row height every y is row 0.
  if (doc.nLineHeight <= 0 || doc.nLineCount <= 0 || doc.pLines == nullptr) return FALSE;

  const int nSavedVirtual = doc.nVirtualSpace;
  const int a = doc.GetLineFromY(RowY(nAnchorY));
  const int e = doc.GetLineFromY(RowY(nCaretY));

  if (a != e) {
    const int nFirst = std::min(a, e);
    const int nCount = std::max(a, e) - nFirst + 1;
    const int nLeft = std::min(nAnchorX, nCaretX);
    const int nRight = std::max(nAnchorX, nCaretX);
    void* pNew = std::realloc(pRows, static_cast<size_t>(nCount) * sizeof(MIREL_BLOCK_ROW));
    if (pNew == nullptr) {
      FreeRows();
      return FALSE;
    }
    pRows = static_cast<MIREL_BLOCK_ROW*>(pNew);
    nRowCount = nCount;
    bColumnBlock = TRUE;
    for (int i = 0; i < nCount; ++i) {
      MIREL_BLOCK_ROW& row = pRows[i];
      row.nUnused = 0;
      row.nLine = nFirst + i;
      row.nStart = doc.GetPosFromX(row.nLine, nLeft, TRUE);
      row.nStartVirtual = doc.nVirtualSpace;
      row.nEnd = doc.GetPosFromX(row.nLine, nRight, TRUE);
      row.nEndVirtual = doc.nVirtualSpace;
      row.nLeftX = nLeft;
      row.nRightX = nRight;
    }
    doc.nVirtualSpace = nSavedVirtual;
    return TRUE;
  }

  const DWORD p = doc.GetPosFromX(a, nAnchorX, FALSE);
  const DWORD q = doc.GetPosFromX(a, nCaretX, FALSE);
  doc.nVirtualSpace = nSavedVirtual;
  if (p == q) {
    const BOOL bMode = bColumnMode;
    Clear();
    Reset(p, a, bMode);
    nCaret = q;
    nCaretLine = e;
    nCaretX = doc.GetXFromPos(e, q, TRUE);
    nCaretY = doc.LinesToPixels(e);
  } else {
    // One row with two x values is a stream block on that row; the rows of
    // a box it may have been before go with it.
    FreeRows();
  }
  return FALSE;
}

const MIREL_BLOCK_ROW* CMrBlock::FindRow(int nLine) const {
  if (pRows == nullptr || nRowCount <= 0) return nullptr;
  // Rows are consecutive from the first one.
  const long long i = static_cast<long long>(nLine) - pRows[0].nLine;
  if (i < 0 || i >= nRowCount || pRows[i].nLine != nLine) return nullptr;
  return &pRows[i];
}

BOOL CMrBlock::GetBoxSegmentStart(int nLine, DWORD* pnValue) {
  const MIREL_BLOCK_ROW* pRow = FindRow(nLine);
  if (pnValue != nullptr) *pnValue = pRow != nullptr ? pRow->nStart : 0;
  return pRow != nullptr;
}

BOOL CMrBlock::GetBoxSegmentEnd(int nLine, DWORD* pnValue) {
  const MIREL_BLOCK_ROW* pRow = FindRow(nLine);
  if (pnValue != nullptr) *pnValue = pRow != nullptr ? pRow->nEnd : 0;
  return pRow != nullptr;
}

BOOL CMrBlock::GetBoxSegmentLeftX(int nLine, int* pnValue) {
  const MIREL_BLOCK_ROW* pRow = FindRow(nLine);
  if (pnValue != nullptr) *pnValue = pRow != nullptr ? pRow->nLeftX : 0;
  return pRow != nullptr;
}

BOOL CMrBlock::GetBoxSegmentRightX(int nLine, int* pnValue) {
  const MIREL_BLOCK_ROW* pRow = FindRow(nLine);
  if (pnValue != nullptr) *pnValue = pRow != nullptr ? pRow->nRightX : 0;
  return pRow != nullptr;
}

// ---------------------------------------------------------------------------
// Text and deletion

DWORD CMrBlock::GetColumnText(BYTE* pBuffer) {
  if (pRows == nullptr || nRowCount <= 0 || pdoc == nullptr) return 0;
  const MrDocText text = MrGetDocText(*pdoc);
  const DWORD nUnit = text.bWide ? 2 : 1;
  const DWORD nBreak = 2 * nUnit;  // CR LF between rows

  if (pBuffer == nullptr) {
    unsigned long long nTotal = 0;
    for (int i = 0; i < nRowCount; ++i) {
      const Segment seg = ClampSegment(pRows[i], text.nLen);
      nTotal += seg.nEnd - seg.nStart + nBreak;
    }
    if (nTotal != 0) nTotal -= nBreak;
    return static_cast<DWORD>(std::min<unsigned long long>(nTotal, 0xFFFFFFFFu));
  }

  DWORD nWritten = 0;
  for (int i = 0; i < nRowCount; ++i) {
    if (i > 0) {
      nWritten += static_cast<DWORD>(MrPutUnit(pBuffer + nWritten, text.bWide, MR_CHAR_CR));
      nWritten += static_cast<DWORD>(MrPutUnit(pBuffer + nWritten, text.bWide, MR_CHAR_LF));
    }
    const Segment seg = ClampSegment(pRows[i], text.nLen);
    if (seg.nEnd > seg.nStart) {
      std::memcpy(pBuffer + nWritten, text.p + seg.nStart, seg.nEnd - seg.nStart);
      nWritten += seg.nEnd - seg.nStart;
    }
  }
  return nWritten;
}

void CMrBlock::DeleteColumnBlock(CMirelDoc* pDoc) {
  MIREL_ASSERT(pDoc == pdoc);
  if (pDoc == nullptr || pDoc != pdoc || pRows == nullptr || nRowCount <= 0 || pDoc->pContents == nullptr) {
    return;
  }
  CMirelDoc& doc = *pDoc;

  // The left edge of the block: the x of each row's start with the virtual
  // columns that lead to it (a short row's start lies at its row end).
  const int nSavedVirtual = doc.nVirtualSpace;
  int nLeftX = INT_MAX;
  BOOL bAnyFilled = FALSE;
  BOOL bAnyEmpty = FALSE;
  for (int i = 0; i < nRowCount; ++i) {
    const MIREL_BLOCK_ROW& row = pRows[i];
    doc.nVirtualSpace = row.nStartVirtual;
    nLeftX = std::min(nLeftX, doc.GetXFromPos(row.nLine, row.nStart, TRUE));
    if (row.nEnd > row.nStart) {
      bAnyFilled = TRUE;
    } else {
      bAnyEmpty = TRUE;
    }
  }
  doc.nVirtualSpace = nSavedVirtual;
  const int nFirstLine = pRows[0].nLine;
  const int nLastLine = pRows[nRowCount - 1].nLine;

  doc.StartUndoGroup();
  DWORD nDeleted = 0;  // bytes deleted on earlier rows
  if (bAnyFilled || !bAnyEmpty) {
    for (int i = 0; i < nRowCount; ++i) {
      MIREL_BLOCK_ROW& row = pRows[i];
      row.nEndVirtual = 0;
      const Segment seg = ClampSegment(row, doc.GetContentsSize() + nDeleted);
      if (seg.nEnd <= seg.nStart || seg.nStart < nDeleted) continue;
      if (doc.DeleteContents(seg.nStart - nDeleted, seg.nEnd - seg.nStart, TRUE))
        nDeleted += seg.nEnd - seg.nStart;
    }
  } else {
    // A zero-width column: the character after the column on every row that
    // has one (a row the column stands beyond, or ends at, keeps its text).
    for (int i = 0; i < nRowCount; ++i) {
      const MIREL_BLOCK_ROW& row = pRows[i];
      if (row.nEndVirtual != 0 || row.nEnd < nDeleted || row.nLine < 0 || row.nLine >= doc.nLineCount)
        continue;
      const DWORD nColumn = row.nEnd - nDeleted;
      if (nColumn == MrRowEnd(doc.pLines[row.nLine])) continue;
      const MrDocText text = MrGetDocText(doc);
      const DWORD nCharLen = doc.GetCharLength(text.p, nColumn, text.nLen, doc.nFileEncoding, doc.nCodePage);
      if (nCharLen == 0) continue;
      if (doc.DeleteContents(nColumn, nCharLen, TRUE)) nDeleted += nCharLen;
    }
  }
  doc.EndUndoGroup();

  // The caret keeps its end of the block (first or last row).
  const BOOL bCaretOnFirst = doc.cli == nFirstLine;
  const int nAnchorRow = bCaretOnFirst ? nLastLine : nFirstLine;
  const int nCaretRow = bCaretOnFirst ? nFirstLine : nLastLine;
  Reset(doc.GetPosFromX(nAnchorRow, nLeftX, TRUE), nAnchorRow, FALSE);
  const DWORD nCaretPos = doc.GetPosFromX(nCaretRow, nLeftX, TRUE);
  SetCaret(nCaretPos, nCaretRow);
  doc.nCaretPos = static_cast<int>(nCaretPos);
  doc.cli = nCaretRow;
}
