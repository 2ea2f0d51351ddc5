// Exported functions: writing into a column block.
#include "mirelctrl/mirelctrl.h"

#include "mirel/cmireldoc.h"
#include "mirel/mrlibraryframe.h"
#include "mirel/mrnothrow.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

MIREL_API int MIREL_CALL Mirel_InsertColumnsTextA(HWND hWnd, const char* pText, int nLen, BOOL bUndo) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->InsertColumnsTextA(pText, nLen, bUndo); }) : 0;
}

MIREL_API int MIREL_CALL Mirel_InsertColumnsNumber(HWND hWnd, int nStart, int nStep, BOOL bHex,
                                                   BOOL bRightAlign, BOOL bZeroPad, BOOL bUndo) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] {
    return pdoc->InsertColumnsNumber(nStart, nStep, bHex, bRightAlign, bZeroPad, bUndo);
  })
              : 0;
}

MIREL_API int MIREL_CALL Mirel_InsertColumnsNumber2(HWND hWnd, const char* pszFormat, int nStart, int nStep,
                                                    BOOL bUndo) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->InsertColumnsNumberFormat(pszFormat, nStart, nStep, bUndo); })
              : 0;
}

MIREL_API void MIREL_CALL Mirel_GetBlockColumnCount(HWND hWnd, int* pnCount) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->GetBlockColumnCount(pnCount); });
}

}  // extern "C"
