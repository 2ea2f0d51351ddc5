// Exported functions: selection and column mode.
#include "mirelctrl/mirelctrl.h"

#include <climits>

#include "mirel/cmireldoc.h"
#include "mirel/mrlibraryframe.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

// Negative host positions mean the start of the text; the document clamps
// positions past its end.
DWORD ToPosition(int n) {
  return n < 0 ? 0 : static_cast<DWORD>(n);
}

int ToInt(DWORD n) {
  return n > static_cast<DWORD>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

}  // namespace

extern "C" {

MIREL_API void MIREL_CALL Mirel_SetSel(HWND hWnd, int nFrom, int nTo, BOOL bNoScroll) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetSel(ToPosition(nFrom), ToPosition(nTo), bNoScroll);
}

MIREL_API void MIREL_CALL Mirel_GetBlock(HWND hWnd, int* pnStart, int* pnEnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  if (pdoc == nullptr) return;
  DWORD nStart = 0;
  DWORD nEnd = 0;
  pdoc->GetBlock(&nStart, &nEnd);
  if (pnStart != nullptr) *pnStart = ToInt(nStart);
  if (pnEnd != nullptr) *pnEnd = ToInt(nEnd);
}

MIREL_API BOOL MIREL_CALL Mirel_IsSelected(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsSelected() : FALSE;
}

MIREL_API BOOL MIREL_CALL Mirel_IsColumnBlock(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsColumnBlock() : FALSE;
}

MIREL_API BOOL MIREL_CALL Mirel_IsColumnMode(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsColumnMode() : FALSE;
}

MIREL_API void MIREL_CALL Mirel_SetColumnMode(HWND hWnd, BOOL bEnable) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetColumnMode(bEnable);
}

MIREL_API BOOL MIREL_CALL Mirel_IsAutoSelectMode(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsAutoSelectMode() : FALSE;
}

MIREL_API void MIREL_CALL Mirel_SetAutoSelect(HWND hWnd, BOOL bEnable) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetAutoSelect(bEnable);
}

}  // extern "C"
