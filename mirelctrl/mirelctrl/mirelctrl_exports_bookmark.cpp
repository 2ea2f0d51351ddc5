// Exported functions: bookmark queries.
#include "mirelctrl/mirelctrl.h"

#include "mirel/cmireldoc.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

MIREL_API BOOL MIREL_CALL Mirel_IsExistBookmark(HWND hWnd) {
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsExistBookmark() : FALSE;
}

MIREL_API BOOL MIREL_CALL Mirel_IsExistNamedBookmark(HWND hWnd, const char* pszName) {
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsExistNamedBookmark(pszName) : FALSE;
}

}  // extern "C"
