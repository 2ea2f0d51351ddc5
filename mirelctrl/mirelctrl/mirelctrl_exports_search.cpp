// Exported functions: find and replace, matching braces and the
// find-result and hyperlink highlighters.
#include "mirel/cmireldoc.h"
#include "mirelctrl/mirelctrl.h"
#include "mirel/mrlibraryframe.h"
#include "mirel/mrnothrow.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

MIREL_API int MIREL_CALL Mirel_FindTextA(HWND hWnd, const char* pszText, int nFlags, BOOL bFindCurrent,
                                         int* pnPos, BOOL bShow) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc != nullptr
             ? MrGuarded([&] { return pdoc->FindTextA(pszText, nFlags, bFindCurrent, pnPos, bShow); })
             : 0;
}

MIREL_API int MIREL_CALL Mirel_ReplaceTextA(HWND hWnd, const char* pszFind, const char* pszReplace,
                                            int nFlags, BOOL bFindCurrent, int* pnPos, BOOL bShow) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc != nullptr ? MrGuarded([&] {
    return pdoc->ReplaceTextA(pszFind, pszReplace, nFlags, bFindCurrent, pnPos, bShow);
  })
                         : 0;
}

MIREL_API int MIREL_CALL Mirel_MatchBrace(HWND hWnd, int nUnused) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc != nullptr ? MrGuarded([&] { return pdoc->MatchBrace(nUnused); }) : 0;
}

MIREL_API void MIREL_CALL Mirel_SetFindResult(HWND hWnd, const char* pPattern, int nLen, int nFlags) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  if (pdoc != nullptr)
    MrGuarded([&] { return pdoc->SetFindResult(reinterpret_cast<const BYTE*>(pPattern), nLen, nFlags); });
}

MIREL_API void MIREL_CALL Mirel_SetShowFindResult(HWND hWnd, BOOL bShow) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  if (pdoc != nullptr) MrGuarded([&] { return pdoc->SetShowFindResult(bShow); });
}

MIREL_API BOOL MIREL_CALL Mirel_IsShowFindResult(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc != nullptr ? pdoc->IsShowFindResult() : FALSE;
}

MIREL_API void MIREL_CALL Mirel_SetShowHyperLink(HWND hWnd, BOOL bShow) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  if (pdoc != nullptr) MrGuarded([&] { return pdoc->SetShowHyperLink(bShow); });
}

MIREL_API BOOL MIREL_CALL Mirel_IsShowHyperLink(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc != nullptr ? pdoc->IsShowHyperLink() : FALSE;
}

}  // extern "C"
