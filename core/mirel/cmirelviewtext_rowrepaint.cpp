// Repainting only the paragraph an edit changed. Typing or deleting inside
// a paragraph leaves every other row as the back buffer holds it, so while
// the rows, paragraphs, scroll positions and margin are those of the last
// paint, the other rows need not be painted again: the buffer keeps them and
// the screen gets the same pixels as from a full repaint.
#include <algorithm>

#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmirelviewtext.h"
#include "mirel/syntax/cmrsyntax.h"

CMirelViewText::PaintedLayout CMirelViewText::CurrentLayout() const {
  PaintedLayout layout;
  if (pMirel == nullptr || pdoc == nullptr) return layout;
  layout.nLineCount = pdoc->nLineCount;
  layout.nParaCount = pdoc->GetParagraphCount();
  layout.nTopLine = pMirel->nTopLine;
  layout.nHScrollPos = pMirel->nHScrollPos;
  layout.nLeftMargin = pdoc->nLeftMargin;
  layout.nLineHeight = pdoc->nLineHeight;
  layout.nRulerHeight = pdoc->nRulerHeight;
  layout.nWrapMode = pdoc->nWrapMode;
  layout.rcEdit = pMirel->rcEdit;
  return layout;
}

bool CMirelViewText::SameLayout(const PaintedLayout& a, const PaintedLayout& b) {
  return a.nLineCount == b.nLineCount && a.nParaCount == b.nParaCount && a.nTopLine == b.nTopLine &&
         a.nHScrollPos == b.nHScrollPos && a.nLeftMargin == b.nLeftMargin && a.nLineHeight == b.nLineHeight &&
         a.nRulerHeight == b.nRulerHeight && a.nWrapMode == b.nWrapMode && EqualRect(&a.rcEdit, &b.rcEdit);
}

BOOL CMirelViewText::RequestCaretParagraphRepaint() {
  if (pMirel == nullptr || pdoc == nullptr || !pMirel->bRedraw || pMirel->hWndEdit == nullptr) return FALSE;
  CMirelDoc& doc = *pdoc;
  // Anything else pending (a scroll, a brace, the caret row) repaints all.
  if (pMirel->nRepaintTag != REPAINT_TAG_NONE) return FALSE;
  // Other windows on the document, highlights found over the whole text and
  // colouring whose state runs on into the next paragraph take the full way.
  if (doc.nEditCount != 1 || doc.bShowFindResult || doc.bShowHyperLink || doc.block.IsColumnBlock())
    return FALSE;
  if (doc.pSyntax == nullptr || doc.pSyntax->GetSyntaxType() != MIREL_SYNTAX_NONE) return FALSE;
  if (doc.pLines == nullptr || doc.nLineCount <= 0 || paintedLayout.nLineCount <= 0) return FALSE;
  if (!SameLayout(paintedLayout, CurrentLayout())) return FALSE;
  const int nRow = doc.cli;
  const int nTop = std::max(pMirel->nTopLine, 0);
  const int nPageEnd = static_cast<int>(
      std::min<long long>(static_cast<long long>(nTop) + GetPageLineCount() + 1, doc.nLineCount - 1));
  if (nRow < nTop || nRow > nPageEnd) return FALSE;
  // The paragraph's rows on the page (one unless rows wrap).
  const DWORD nPara = doc.pLines[nRow].nPara;
  int nFirst = nRow;
  while (nFirst > nTop && doc.pLines[nFirst - 1].nPara == nPara) --nFirst;
  int nLast = nRow;
  while (nLast < nPageEnd && doc.pLines[nLast + 1].nPara == nPara) ++nLast;
  pMirel->nDirtyFirst = nFirst;
  pMirel->nDirtyLast = nLast;
  pMirel->nRepaintTag = REPAINT_TAG_RANGE;
  // Only those rows and the ruler (its caret mark follows the caret) change
  // on the screen; the column guide is drawn on the screen alone, over every
  // row, so with it the whole client area is copied again.
  RECT rc = pMirel->rcEdit;
  const bool bColumnGuide = doc.nActiveLineType == 6 || doc.nActiveLineType == 7;
  if (!bColumnGuide) {
    const long long h = std::max(doc.nLineHeight, 1);
    const long long yFirst = doc.nRulerHeight > 0 ? 0 : doc.nRulerHeight + (nFirst - nTop) * h;
    const long long yEnd = doc.nRulerHeight + (static_cast<long long>(nLast) + 1 - nTop) * h;
    rc.top = static_cast<int>(std::clamp<long long>(yFirst, rc.top, rc.bottom));
    rc.bottom = static_cast<int>(std::clamp<long long>(yEnd, rc.top, rc.bottom));
  }
  InvalidateRect(pMirel->hWndEdit, &rc, FALSE);
  return TRUE;
}
