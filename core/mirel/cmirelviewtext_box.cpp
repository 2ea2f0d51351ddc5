// Typing into a column block: a character, Tab and Backspace act on every row
// of the box, each as one undo step, and leave a box (or a zero-width column)
// on the same rows.
#include <algorithm>
#include <climits>
#include <vector>

#include "mirel/cencodings.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_editstep.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelviewtext.h"
#include "mirel/mirel.h"
#include "mirel/mrtextunits.h"
#include "mirel/mrtryalloc.h"

namespace {

using Bytes = std::vector<BYTE>;
using Rows = std::vector<MIREL_BLOCK_ROW>;

BOOL IsUtf8(int nEncoding) {
  return nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM;
}

// A typed character (one or two code-page bytes) in the document encoding;
// empty when the bytes are no character of the code page.
Bytes ToDocumentChar(const CMirelDoc& doc, const char* pChars, size_t nChars) {
  Bytes out;
  const BOOL bWide = IsWideEncoding(doc.nFileEncoding);
  if (!bWide && !IsUtf8(doc.nFileEncoding)) {
    out.assign(pChars, pChars + nChars);
    return out;
  }
  WCHAR unit = 0;
  if (MultiByteToWideChar(static_cast<UINT>(doc.nCodePage), 0, pChars, static_cast<int>(nChars), &unit, 1) !=
      1)
    return out;
  if (bWide) {
    out.push_back(static_cast<BYTE>(unit & 0xFF));
    out.push_back(static_cast<BYTE>(unit >> 8));
  } else {
    BYTE utf8[8];
    const int n = Utf16ToUtf8(&unit, 1, utf8, static_cast<int>(sizeof utf8));
    if (n > 0) out.assign(utf8, utf8 + n);
  }
  return out;
}

// Columns of the nLen text bytes at nPos, as a double-byte code page counts
// them (MrCharColumns), so that a row takes as many narrow copies of a typed
// character as its text is wide in every encoding.
long long TextColumns(CMirelDoc& doc, DWORD nPos, DWORD nLen) {
  const MrDocText text = MrGetDocText(doc);
  if (nPos > text.nLen) return 0;
  const DWORD nEnd = nPos + std::min(nLen, text.nLen - nPos);
  long long nColumns = 0;
  while (nPos < nEnd) {
    const DWORD nCharLen =
        std::max<DWORD>(doc.GetCharLength(text.p, nPos, text.nLen, doc.nFileEncoding, doc.nCodePage), 1);
    nColumns += MrCharColumns(text.p + nPos, std::min(nCharLen, nEnd - nPos), doc.nFileEncoding);
    nPos += nCharLen;
  }
  return nColumns;
}

// FALSE when the memory for the spaces is not there.
BOOL AppendSpaceRun(const CMirelDoc& doc, int nCount, Bytes* pOut) {
  if (nCount <= 0) return TRUE;
  const int nSize = doc.MakeSpaces(nCount, nullptr, 0);
  const size_t nOld = pOut->size();
  if (!MrTryResize(*pOut, nOld + static_cast<size_t>(std::max(nSize, 0)))) return FALSE;
  doc.MakeSpaces(nCount, pOut->data() + nOld, nSize);
  return TRUE;
}

BOOL IsZeroWidth(const Rows& rows) {
  for (const MIREL_BLOCK_ROW& row : rows) {
    if (row.nStart != row.nEnd || row.nStartVirtual != row.nEndVirtual) return FALSE;
  }
  return TRUE;
}

// The x of the box's left edge: the leftmost row start with the virtual
// columns that lead to it.
int LeftEdgeX(CMirelDoc& doc, const Rows& rows) {
  const int nSaved = doc.nVirtualSpace;
  int x = INT_MAX;
  for (const MIREL_BLOCK_ROW& row : rows) {
    doc.nVirtualSpace = row.nStartVirtual;
    x = std::min(x, doc.GetXFromPos(row.nLine, row.nStart, TRUE));
  }
  doc.nVirtualSpace = nSaved;
  return x;
}

// Inserts (or replaces nOld bytes by) the data at nPos with undo; the change
// in length goes to *pShift.
BOOL Put(CMirelDoc& doc, DWORD nPos, DWORD nOld, const Bytes& data, long long* pShift) {
  if (data.empty() && nOld == 0) return FALSE;
  const DWORD nNew = static_cast<DWORD>(data.size());
  BOOL bDone = FALSE;
  if (nOld == 0) {
    bDone = doc.InsertContents(nPos, data.data(), nNew, TRUE);
  } else if (nNew == 0) {
    bDone = doc.DeleteContents(nPos, nOld, TRUE);
  } else {
    bDone = doc.ReplaceContents(nPos, nOld, TRUE, data.data(), nNew, TRUE);
  }
  if (bDone) *pShift += static_cast<long long>(nNew) - static_cast<long long>(nOld);
  return bDone;
}

// A row's recorded position moved by the edits on earlier rows, kept inside
// the text and on a whole unit.
DWORD Shifted(const CMirelDoc& doc, DWORD nPos, long long nShift) {
  long long p = static_cast<long long>(nPos) + nShift;
  p = std::max(0LL, std::min<long long>(p, doc.GetContentsSize()));
  if (IsWideEncoding(doc.nFileEncoding)) p &= ~1LL;
  return static_cast<DWORD>(p);
}

// The box as a typed character or Tab finds it, taken before its rows change.
struct BoxEdit {
  Rows rows;
  BOOL bWidth = FALSE;
  BOOL bLeftToRight = FALSE;
  BOOL bCaretOnFirst = FALSE;
  int nLeftX = 0;
  int nFirstRow = 0;
  int nLastRow = 0;
  int nOldVirtual = 0;
};

// Takes the box and opens the one undo step its row edits make; FALSE, with
// nothing changed, when the memory for the rows is not there.
BOOL BeginBoxEdit(CMirelDoc& doc, BoxEdit* pBox) {
  const CMrBlock& block = doc.block;
  BoxEdit& box = *pBox;
  if (!MrTryAppend(box.rows, block.pRows, block.pRows + block.nRowCount)) return FALSE;
  box.nOldVirtual = doc.nVirtualSpace;
  doc.bHanjaConvert = FALSE;
  doc.nVirtualSpace = 0;
  box.bWidth = !IsZeroWidth(box.rows);
  box.bLeftToRight = block.nCaretX >= block.nAnchorX;
  box.bCaretOnFirst = doc.cli == box.rows.front().nLine;
  box.nLeftX = LeftEdgeX(doc, box.rows);
  box.nFirstRow = box.rows.front().nLine;
  box.nLastRow = box.rows.back().nLine;
  doc.SeparateUndo();
  doc.StartUndoGroup();
  return TRUE;
}

// A row edit that could not be made ends the command: the rows done so far
// are taken back and the windows show the text as it is.
void AbandonBoxEdit(CMirelDoc& doc, const BoxEdit& box, BOOL bChanged) {
  doc.EndUndoGroup();
  doc.SeparateUndo();
  doc.nVirtualSpace = box.nOldVirtual;
  if (!bChanged) return;
  MrTakeBackFailedGroup(doc);
  MrCollapseAt(doc, std::min(static_cast<DWORD>(std::max(doc.nCaretPos, 0)), doc.GetContentsSize()));
  doc.UpdateEditsAfterChange(REPAINT_TAG_ALL, 0, 0);
}

// Closes the undo step. FALSE when no row changed: the caret stays where the
// block has it. Otherwise *pxAfter is the x after the first row's new text.
BOOL EndBoxEdit(CMirelDoc& doc, const BoxEdit& box, BOOL bChanged, DWORD nFirstAfter, int* pxAfter) {
  doc.EndUndoGroup();
  doc.SeparateUndo();
  if (!bChanged) {
    doc.nVirtualSpace = box.nOldVirtual;
    return FALSE;
  }
  doc.nVirtualSpace = 0;
  *pxAfter = doc.GetXFromPos(box.nFirstRow, std::min(nFirstAfter, doc.GetContentsSize()), FALSE);
  return TRUE;
}

}  // namespace

// Sets the box again over the rows it had: anchor and caret at the two x
// values, the caret on the first row when it was there before.
void CMirelViewText::PlaceBox(int nFirstRow, int nLastRow, BOOL bCaretOnFirst, int nAnchorX, int nCaretX) {
  CMirelDoc& doc = *pdoc;
  const int nAnchorRow = bCaretOnFirst ? nLastRow : nFirstRow;
  const int nCaretRow = bCaretOnFirst ? nFirstRow : nLastRow;
  const BOOL bMode = doc.block.bColumnMode;
  doc.block.bColumnMode = TRUE;
  doc.block.Reset(doc.GetPosFromX(nAnchorRow, nAnchorX, TRUE), nAnchorRow, 0);
  const DWORD nCaret = doc.GetPosFromX(nCaretRow, nCaretX, TRUE);
  const int nCaretVirtual = doc.nVirtualSpace;
  doc.block.SetCaret(nCaret, nCaretRow);
  doc.block.bColumnMode = bMode;
  doc.nVirtualSpace = nCaretVirtual;
  doc.nCaretPos = static_cast<int>(nCaret);
  doc.cli = nCaretRow;
}

void CMirelViewText::FinishBoxEdit() {
  pdoc->UpdateAllScrollBars();
  UpdateCaret(1, 1);
  pdoc->UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}

void CMirelViewText::TypeInBox(const char* pChars, size_t nChars) {
  if (pdoc == nullptr || pdoc->pContents == nullptr || pdoc->pLines == nullptr || pdoc->bReadOnly) return;
  CMirelDoc& doc = *pdoc;
  CMrBlock& block = doc.block;
  if (!block.IsColumnBlock() || block.pRows == nullptr || block.nRowCount <= 0) return;
  if (pChars == nullptr || nChars == 0 || nChars > 2 || doc.nIMECompLen != 0) return;
  const Bytes ch = ToDocumentChar(doc, pChars, nChars);
  if (ch.empty()) return;
  BoxEdit box;
  if (!BeginBoxEdit(doc, &box)) return;
  const Rows& rows = box.rows;
  const BOOL bWidth = box.bWidth;
  // Columns are counted as a double-byte code page counts them, the typed
  // character's too; every row gets at least one copy.
  const long long nCharColumns = MrCharColumns(ch.data(), static_cast<DWORD>(ch.size()), doc.nFileEncoding);

  long long s = 0;
  BOOL bChanged = FALSE;
  DWORD nFirstAfter = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const MIREL_BLOCK_ROW& row = rows[i];
    const DWORD p = Shifted(doc, row.nStart, s);
    const DWORD nEnd = std::max(p, Shifted(doc, row.nEnd, s));
    const int vs = std::max(row.nStartVirtual, 0);
    const int ve = std::max(row.nEndVirtual, 0);
    DWORD nOld = 0;
    DWORD nCopies = 1;
    // A row that ends at or inside the box is filled up to its right edge
    // like the rows that run through it.
    if (bWidth && (vs > 0 || nEnd > p || ve > vs)) {
      nOld = vs > 0 ? 0 : nEnd - p;
      const long long nColumns = TextColumns(doc, p, nOld) + std::max(ve - vs, 0);
      nCopies = static_cast<DWORD>(std::max<long long>(nColumns / nCharColumns, 1));
    }
    // The row's bytes are taken at their full size before they are made.
    Bytes data;
    const int nSpaceBytes = vs > 0 ? std::max(doc.MakeSpaces(vs, nullptr, 0), 0) : 0;
    if (!MrTryReserve(data, static_cast<size_t>(nSpaceBytes) + static_cast<size_t>(nCopies) * ch.size()) ||
        !AppendSpaceRun(doc, vs, &data)) {
      AbandonBoxEdit(doc, box, bChanged);
      return;
    }
    for (DWORD k = 0; k < nCopies; ++k) data.insert(data.end(), ch.begin(), ch.end());
    if (!Put(doc, p, nOld, data, &s)) {
      AbandonBoxEdit(doc, box, bChanged);
      return;
    }
    bChanged = TRUE;
    if (i == 0) nFirstAfter = p + static_cast<DWORD>(data.size());
  }
  int xAfter = 0;
  if (!EndBoxEdit(doc, box, bChanged, nFirstAfter, &xAfter)) return;
  // A box with width keeps its left edge and ends after the new text.
  const int xLeft = bWidth ? box.nLeftX : xAfter;
  PlaceBox(box.nFirstRow, box.nLastRow, box.bCaretOnFirst, box.bLeftToRight ? xLeft : xAfter,
           box.bLeftToRight ? xAfter : xLeft);
  FinishBoxEdit();
}

void CMirelViewText::TabInBox() {
  if (pdoc == nullptr || pdoc->pContents == nullptr || pdoc->pLines == nullptr || pdoc->bReadOnly) return;
  CMirelDoc& doc = *pdoc;
  CMrBlock& block = doc.block;
  if (!block.IsColumnBlock() || block.pRows == nullptr || block.nRowCount <= 0 || doc.nIMECompLen != 0)
    return;
  const int nBoxWidth = std::abs(block.nCaretX - block.nAnchorX);
  BoxEdit box;
  if (!BeginBoxEdit(doc, &box)) return;
  const Rows& rows = box.rows;
  const BOOL bWidth = box.bWidth;
  Bytes space;
  if (!AppendSpaceRun(doc, 1, &space)) {
    AbandonBoxEdit(doc, box, FALSE);
    return;
  }
  const long long w = std::max(doc.GetCharWidth(space.data(), static_cast<DWORD>(space.size())), 1);
  const long long nTab = std::max(doc.nTabWidth, 1);

  long long s = 0;
  BOOL bChanged = FALSE;
  DWORD nFirstAfter = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const MIREL_BLOCK_ROW& row = rows[i];
    DWORD p = Shifted(doc, row.nStart, s);
    const int vs = std::max(row.nStartVirtual, 0);
    const int ve = std::max(row.nEndVirtual, 0);
    DWORD nAfter = p;
    if (doc.bTabToSpace) {
      long long nSpaces = 0;
      if (bWidth && !(vs != 0 && vs == ve)) {
        nSpaces = static_cast<long long>(ve) + 1;
      } else {
        const long long x = doc.GetXFromPos(row.nLine, p, FALSE) + vs * w;
        nSpaces = vs + ((x / nTab + 1) * nTab - x) / w;
      }
      Bytes data;
      if (!AppendSpaceRun(doc, static_cast<int>(std::min<long long>(nSpaces, INT_MAX / 4)), &data)) {
        AbandonBoxEdit(doc, box, bChanged);
        return;
      }
      if (!data.empty() && !Put(doc, p, 0, data, &s)) {
        AbandonBoxEdit(doc, box, bChanged);
        return;
      }
      if (!data.empty()) {
        bChanged = TRUE;
        nAfter = p + static_cast<DWORD>(data.size());
      }
    } else {
      Bytes lead;
      if (!AppendSpaceRun(doc, vs, &lead)) {
        AbandonBoxEdit(doc, box, bChanged);
        return;
      }
      if (Put(doc, p, 0, lead, &s)) {
        bChanged = TRUE;
        p += static_cast<DWORD>(lead.size());
      }
      nAfter = doc.InsertTab(p, TRUE);
      if (nAfter > p) {
        bChanged = TRUE;
        s += nAfter - p;
      } else {
        nAfter = p;
      }
    }
    if (i == 0) nFirstAfter = nAfter;
  }
  int xAfter = 0;
  if (!EndBoxEdit(doc, box, bChanged, nFirstAfter, &xAfter)) return;
  // A box with width moves right with its text and keeps its width.
  const int xLeft = bWidth ? std::max(xAfter, box.nLeftX) : xAfter;
  const int xRight = bWidth ? xLeft + nBoxWidth : xLeft;
  PlaceBox(box.nFirstRow, box.nLastRow, box.bCaretOnFirst, box.bLeftToRight ? xLeft : xRight,
           box.bLeftToRight ? xRight : xLeft);
  FinishBoxEdit();
}

void CMirelViewText::BackInBox() {
  if (pdoc == nullptr || pdoc->pContents == nullptr || pdoc->pLines == nullptr || pdoc->bReadOnly) return;
  CMirelDoc& doc = *pdoc;
  CMrBlock& block = doc.block;
  if (!block.IsColumnBlock() || block.pRows == nullptr || block.nRowCount <= 0) return;
  const Rows rows(block.pRows, block.pRows + block.nRowCount);
  if (!IsZeroWidth(rows)) {
    // A box with width loses its contents, as with Delete.
    DeleteBox();
    return;
  }

  // The column moves one column left: out of virtual space by one, or to the
  // start of the character before it.
  const int nSaved = doc.nVirtualSpace;
  int x = INT_MAX;
  for (const MIREL_BLOCK_ROW& row : rows) {
    if (row.nEndVirtual > 0) {
      doc.nVirtualSpace = row.nEndVirtual - 1;
      x = std::min(x, doc.GetXFromPos(row.nLine, row.nEnd, TRUE));
      continue;
    }
    doc.nVirtualSpace = 0;
    const DWORD nRowStart = doc.pLines[row.nLine].nStart;
    const DWORD nPrev = row.nEnd > nRowStart ? std::max(doc.GetPrevCharPos(row.nEnd), nRowStart) : row.nEnd;
    x = std::min(x, doc.GetXFromPos(row.nLine, nPrev, FALSE));
  }
  doc.nVirtualSpace = nSaved;

  doc.SeparateUndo();
  doc.StartUndoGroup();
  long long s = 0;
  for (const MIREL_BLOCK_ROW& row : rows) {
    if (row.nEndVirtual > 0) continue;
    const DWORD nColumn = Shifted(doc, row.nEnd, s);
    const DWORD nRowStart = doc.pLines[row.nLine].nStart;
    if (nColumn <= nRowStart) continue;
    const DWORD nPrev = std::max(doc.GetPrevCharPos(nColumn), nRowStart);
    if (nPrev < nColumn && doc.DeleteContents(nPrev, nColumn - nPrev, TRUE)) s -= nColumn - nPrev;
  }
  doc.EndUndoGroup();
  doc.SeparateUndo();

  PlaceBox(rows.front().nLine, rows.back().nLine, doc.cli == rows.front().nLine, x, x);
  FinishBoxEdit();
}
