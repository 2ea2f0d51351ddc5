// Installing a syntax object in the document.
#include <new>

#include "mirel/cmireldoc.h"
#include "mirel/cmirelview.h"
#include "mirel/cmrwaitcursor.h"
#include "mirel/syntax/cmrsyntaxgeneral.h"

void CMirelDoc::SetSyntax(CMrSyntax* pNew) {
  // Once a text store exists the document always holds a syntax object.
  if (pNew == nullptr || pNew == pSyntax) return;
  CMrWaitCursor wait;
  delete pSyntax;
  pSyntax = pNew;
  if (pContents == nullptr) return;
  // Every paragraph is lexed now, not on the next paint.
  pSyntax->InvalidateAll();
  pSyntax->ParseAll(this, nullptr);
  UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}

int CMirelDoc::SetSyntaxGeneral(const MIREL_SYNTAX_INFO* pDef, const MIREL_SYNTAX_COLORS* pColors) {
  if (pDef == nullptr || pColors == nullptr) return 0;
  CMrSyntaxGeneral* pNew = new (std::nothrow) CMrSyntaxGeneral(0, FALSE);
  if (pNew == nullptr) return 0;
  pNew->SetDefinition(*pDef, *pColors);
  SetSyntax(pNew);
  return 1;
}
