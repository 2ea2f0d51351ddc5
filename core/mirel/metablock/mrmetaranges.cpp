// Reading the range lists for painting and for Ctrl+click.
#include "mirel/metablock/mrmetaranges.h"

#include "mirel/cmireldoc.h"
#include "mirel/metablock/cmrmetablock.h"

std::vector<MrTextRange> MrParagraphRanges(const CMrMetaBlock* pList, const CMirelDoc& doc, int nRow) {
  std::vector<MrTextRange> out;
  if (pList == nullptr || doc.pLines == nullptr || nRow < 0 || nRow >= doc.nLineCount) return out;
  const MIREL_LINE& row = doc.pLines[nRow];
  const MIREL_META_SLOT* pSlot = pList->GetSlot(static_cast<int>(row.nPara));
  if (pSlot == nullptr) return out;
  const int nFirst = nRow - static_cast<int>(row.nSubLine < static_cast<DWORD>(nRow) ? row.nSubLine : nRow);
  const DWORD nParaStart = doc.pLines[nFirst].nStart;
  for (const MIREL_META_RANGE& range : pSlot->ranges) {
    if (range.nStart == 0 && range.nEnd == 0) break;
    if (range.nStart < 0 || range.nEnd < range.nStart) continue;
    out.push_back(
        {nParaStart + static_cast<DWORD>(range.nStart), nParaStart + static_cast<DWORD>(range.nEnd)});
  }
  return out;
}

BOOL MrFindLinkAt(CMirelDoc& doc, DWORD nPos, MrTextRange* pRange) {
  if (!doc.bShowHyperLink || doc.pHyperLink == nullptr || doc.pLines == nullptr || doc.nLineCount <= 0)
    return FALSE;
  const int nRow = doc.GetLineFromPos(nPos);
  // The list may not hold the paragraph yet (a click before any paint).
  doc.pHyperLink->Rescan(&doc, nRow, nRow);
  for (const MrTextRange& range : MrParagraphRanges(doc.pHyperLink, doc, nRow)) {
    if (range.nStart <= nPos && nPos <= range.nEnd) {
      if (pRange != nullptr) *pRange = range;
      return TRUE;
    }
  }
  return FALSE;
}
