// Exported functions: word wrap, code page, file encoding, newline kind,
// page-break character and virtual space.
#include "mirelctrl/mirelctrl.h"

#include "mirel/cmireldoc.h"
#include "mirel/mrlibraryframe.h"
#include "mirel/mrnothrow.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

MIREL_API void MIREL_CALL Mirel_SetWordWrap(HWND hWnd, int nWrap) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->SetWordWrap(nWrap); });
}

MIREL_API int MIREL_CALL Mirel_SetCodePage(HWND hWnd, int nCodePage) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->SetCodePage(nCodePage); }) : 0;
}

MIREL_API int MIREL_CALL Mirel_SetFileEncoding(HWND hWnd, int nEncoding) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->SetFileEncoding(nEncoding); }) : 0;
}

MIREL_API int MIREL_CALL Mirel_SetFileFormat(HWND hWnd, int nFormat) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->SetFileFormat(nFormat); }) : 0;
}

MIREL_API void MIREL_CALL Mirel_ChangeFileFormat(HWND hWnd, int nFormat) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->ChangeFileFormat(nFormat); });
}

MIREL_API void MIREL_CALL Mirel_SetPageBreakCode(HWND hWnd, int ch) {
  const MrLibraryFrame frame;
  // Only the low byte of the argument is the character.
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd))
    MrGuarded([&] { return pdoc->SetPageBreakCode(static_cast<BYTE>(ch & 0xFF)); });
}

MIREL_API void MIREL_CALL Mirel_EnableVirtualSpace(HWND hWnd, BOOL bEnable) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->EnableVirtualSpace(bEnable); });
}

}  // extern "C"
