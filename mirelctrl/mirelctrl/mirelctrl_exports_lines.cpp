// Exported functions: line and character commands of the text view.
#include "mirelctrl/mirelctrl.h"

#include "mirel/cmireldoc.h"
#include "mirel/mrlibraryframe.h"
#include "mirel/mrnothrow.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

MIREL_API void MIREL_CALL Mirel_DeleteLine(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->DeleteLine(); });
}

MIREL_API void MIREL_CALL Mirel_DuplicateLine(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->DuplicateLine(); });
}

MIREL_API void MIREL_CALL Mirel_InsertLine(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->InsertLine(); });
}

MIREL_API void MIREL_CALL Mirel_JoinLines(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->JoinLines(); });
}

MIREL_API void MIREL_CALL Mirel_TransposeLine(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->TransposeLine(); });
}

MIREL_API void MIREL_CALL Mirel_TrimTrailingWhiteSpace(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->TrimTrailingWhiteSpace(); });
}

MIREL_API void MIREL_CALL Mirel_ChangeCase(HWND hWnd, int nMode) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->ChangeCase(nMode); });
}

MIREL_API void MIREL_CALL Mirel_ConvertSpaceToTab(HWND hWnd, BOOL bLeadingOnly) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->ConvertSpaceToTab(bLeadingOnly); });
}

MIREL_API void MIREL_CALL Mirel_ConvertTabToSpace(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->ConvertTabToSpace(); });
}

MIREL_API void MIREL_CALL Mirel_InsertPageBreak(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->InsertPageBreak(); });
}

MIREL_API void MIREL_CALL Mirel_InsertDate(HWND hWnd, const char* pszFormat) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->InsertDate(pszFormat); });
}

}  // extern "C"
