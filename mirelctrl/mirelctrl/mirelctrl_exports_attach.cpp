// Exported functions: strings put around the selection or its paragraphs.
#include "mirelctrl/mirelctrl.h"

#include "mirel/cmireldoc.h"
#include "mirel/mrlibraryframe.h"
#include "mirel/mrnothrow.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

MIREL_API void MIREL_CALL Mirel_AttachA(HWND hWnd, const char* pszStart, int nStartLen, const char* pszEnd,
                                        int nEndLen, BOOL bUndo) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd))
    MrGuarded([&] { return pdoc->AttachA(pszStart, nStartLen, pszEnd, nEndLen, bUndo); });
}

MIREL_API void MIREL_CALL Mirel_AttachOnParagraphA(HWND hWnd, const char* pszStart, int nStartLen,
                                                   const char* pszEnd, int nEndLen, BOOL bUndo) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd))
    MrGuarded([&] { return pdoc->AttachOnParagraphA(pszStart, nStartLen, pszEnd, nEndLen, bUndo); });
}

MIREL_API void MIREL_CALL Mirel_DetachOnParagraphA(HWND hWnd, const char* pszStart, int nStartLen,
                                                   const char* pszEnd, int nEndLen, BOOL bUndo) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd))
    MrGuarded([&] { return pdoc->DetachOnParagraphA(pszStart, nStartLen, pszEnd, nEndLen, bUndo); });
}

}  // extern "C"
