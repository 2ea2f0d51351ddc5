// Making and deleting a syntax object by its type.
#include "mirel/syntax/cmrsyntax.h"
#include "mirel/syntax/cmrsyntaxgeneral.h"
#include "mirel/syntax/cmrsyntaxhtml.h"
#include "mirel/syntax/cmrsyntaxhtmlembedded.h"
#include "mirel/syntax/cmrsyntaxnone.h"

#include <new>

CMrSyntax* CreateSyntax(int nOwner, int nSyntaxType, BOOL bInitDefaults) {
  switch (nSyntaxType) {
    case MIREL_SYNTAX_NONE:
      return new (std::nothrow) CMrSyntaxNone(nOwner, bInitDefaults);
    case MIREL_SYNTAX_GENERAL:
      return new (std::nothrow) CMrSyntaxGeneral(nOwner, bInitDefaults);
    case MIREL_SYNTAX_HTML:
      return new (std::nothrow) CMrSyntaxHtml(nOwner, bInitDefaults);
    case MIREL_SYNTAX_HTML_EMBEDDED:
      return new (std::nothrow) CMrSyntaxHtmlEmbedded(nOwner, bInitDefaults);
    default:
      return nullptr;
  }
}

void DeleteSyntax(CMrSyntax* pSyntax) {
  delete pSyntax;
}
