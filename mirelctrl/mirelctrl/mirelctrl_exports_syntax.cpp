// Exported functions: syntax definitions from the host.
#include "mirelctrl/mirelctrl.h"

#include "mirel/cmireldoc.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

MIREL_API int MIREL_CALL Mirel_SetSyntaxGeneral(HWND hWnd, const MIREL_SYNTAX_INFO* pDef,
                                                const MIREL_SYNTAX_COLORS* pColors) {
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->SetSyntaxGeneral(pDef, pColors) : 0;
}

}  // extern "C"
