// Exported functions: undo history and the clipboard check.
#include "mirelctrl/mirelctrl.h"

#include "mirel/cmireldoc.h"
#include "mirel/mrlibraryframe.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

MIREL_API BOOL MIREL_CALL Mirel_CanPaste(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->CanPaste() : FALSE;
}

MIREL_API BOOL MIREL_CALL Mirel_CanUndo(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->CanUndo() : FALSE;
}

MIREL_API BOOL MIREL_CALL Mirel_CanRedo(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->CanRedo() : FALSE;
}

MIREL_API void MIREL_CALL Mirel_StartUndoGroup(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->StartUndoGroup();
}

MIREL_API void MIREL_CALL Mirel_EndUndoGroup(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->EndUndoGroup();
}

MIREL_API void MIREL_CALL Mirel_SeparateUndo(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SeparateUndo();
}

}  // extern "C"
