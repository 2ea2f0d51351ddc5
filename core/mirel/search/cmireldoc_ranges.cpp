// Switching the find-result and hyperlink highlighters, and the find pattern
// they show.
#include <windows.h>

#include <new>

#include "mirel/cmireldoc.h"
#include "mirel/cmirelview.h"
#include "mirel/metablock/cmrmetablock.h"

void CMirelDoc::SetShowFindResult(BOOL bShow) {
  bShowFindResult = bShow ? TRUE : FALSE;
  if (bShowFindResult) {
    if (pFindResult == nullptr) pFindResult = new (std::nothrow) CMrMetaBlockFindResult();
  } else {
    delete pFindResult;
    pFindResult = nullptr;
  }
}

void CMirelDoc::SetShowHyperLink(BOOL bShow) {
  bShowHyperLink = bShow ? TRUE : FALSE;
  if (bShowHyperLink) {
    if (pHyperLink == nullptr) pHyperLink = new (std::nothrow) CMrMetaBlockHyperLink();
  } else {
    delete pHyperLink;
    pHyperLink = nullptr;
  }
}

void CMirelDoc::SetFindResult(const BYTE* pPattern, int nLen, int nFlags) {
  if (pFindResult == nullptr) return;
  pFindResult->SetPattern(nLen > 0 ? pPattern : nullptr, nLen, nFlags);
  UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}
