// Installing the HTML lexers from host records.
#include <new>

#include "mirel/cmireldoc.h"
#include "mirel/syntax/cmrsyntaxhtml.h"
#include "mirel/syntax/cmrsyntaxhtmlembedded.h"

int CMirelDoc::SetSyntaxHtml(const MIREL_SYNTAX_INFO* pHtmlDef, const MIREL_SYNTAX_COLORS* pHtmlColors,
                             const MIREL_SYNTAX_INFO* pScriptDef, const MIREL_SYNTAX_COLORS* pScriptColors) {
  if (pHtmlDef == nullptr || pHtmlColors == nullptr || pScriptDef == nullptr || pScriptColors == nullptr) {
    return 0;
  }
  CMrSyntaxHtml* pNew = new (std::nothrow) CMrSyntaxHtml(0, FALSE);
  if (pNew == nullptr) return 0;
  pNew->SetDefinition(*pHtmlDef, *pHtmlColors, *pScriptDef, *pScriptColors);
  SetSyntax(pNew);
  return 1;
}

int CMirelDoc::SetSyntaxHtmlEmbedded(const MIREL_SYNTAX_INFO* pServerDef,
                                     const MIREL_SYNTAX_COLORS* pServerColors,
                                     const MIREL_SYNTAX_INFO* pHtmlDef,
                                     const MIREL_SYNTAX_COLORS* pHtmlColors,
                                     const MIREL_SYNTAX_INFO* pClientDef,
                                     const MIREL_SYNTAX_COLORS* pClientColors) {
  if (pServerDef == nullptr || pServerColors == nullptr || pHtmlDef == nullptr || pHtmlColors == nullptr ||
      pClientDef == nullptr || pClientColors == nullptr) {
    return 0;
  }
  CMrSyntaxHtmlEmbedded* pNew = new (std::nothrow) CMrSyntaxHtmlEmbedded(0, FALSE);
  if (pNew == nullptr) return 0;
  pNew->SetDefinition(*pServerDef, *pServerColors, *pHtmlDef, *pHtmlColors, *pClientDef, *pClientColors);
  SetSyntax(pNew);
  return 1;
}
