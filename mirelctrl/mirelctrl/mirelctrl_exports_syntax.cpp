// Exported functions: syntax definitions from the host.
#include "mirelctrl/mirelctrl.h"

#include "mirel/cmireldoc.h"
#include "mirel/mrlibraryframe.h"
#include "mirel/mrnothrow.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

MIREL_API int MIREL_CALL Mirel_SetSyntaxGeneral(HWND hWnd, const MIREL_SYNTAX_INFO* pDef,
                                                const MIREL_SYNTAX_COLORS* pColors) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->SetSyntaxGeneral(pDef, pColors); }) : 0;
}

MIREL_API int MIREL_CALL Mirel_SetSyntaxHtml(HWND hWnd, const MIREL_SYNTAX_INFO* pHtmlDef,
                                             const MIREL_SYNTAX_COLORS* pHtmlColors,
                                             const MIREL_SYNTAX_INFO* pScriptDef,
                                             const MIREL_SYNTAX_COLORS* pScriptColors) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded(
                    [&] { return pdoc->SetSyntaxHtml(pHtmlDef, pHtmlColors, pScriptDef, pScriptColors); })
              : 0;
}

MIREL_API int MIREL_CALL Mirel_SetSyntaxHtmlEmbedded(HWND hWnd, const MIREL_SYNTAX_INFO* pServerDef,
                                                     const MIREL_SYNTAX_COLORS* pServerColors,
                                                     const MIREL_SYNTAX_INFO* pHtmlDef,
                                                     const MIREL_SYNTAX_COLORS* pHtmlColors,
                                                     const MIREL_SYNTAX_INFO* pClientDef,
                                                     const MIREL_SYNTAX_COLORS* pClientColors) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] {
    return pdoc->SetSyntaxHtmlEmbedded(pServerDef, pServerColors, pHtmlDef, pHtmlColors, pClientDef,
                                       pClientColors);
  })
              : 0;
}

}  // extern "C"
