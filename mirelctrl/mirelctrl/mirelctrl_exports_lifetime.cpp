// Exported functions: creating and destroying a control.
#include "mirelctrl/mirelctrl.h"

#include <memory>
#include <new>

#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/mrlibraryframe.h"
#include "mirelctrl/cmirelcontroledit.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

// The edit window of the document that shows hWnd; the active edit when none
// names it.
CMirel* FindEditOf(CMirelDoc* pdoc, HWND hWnd) {
  for (int i = 0; pdoc->ppEdits != nullptr && i < pdoc->nEditCount; ++i) {
    if (pdoc->ppEdits[i] != nullptr && pdoc->ppEdits[i]->hWndEdit == hWnd) return pdoc->ppEdits[i];
  }
  return pdoc->GetActiveEdit();
}

}  // namespace

extern "C" {

MIREL_API HWND MIREL_CALL Mirel_Create(HWND hWndParent, int nID, int x, int y, int cx, int cy,
                                       DWORD dwExStyle, DWORD dwStyle) {
  const MrLibraryFrame frame;  // a host's subclass may destroy the window in WM_SIZE
  // Whatever is made before a failing step is freed again (edit object
  // first, since it points to the document), and the registry is untouched.
  std::unique_ptr<CMirelDoc> pdoc(new (std::nothrow) CMirelDoc());
  if (!pdoc) return nullptr;
  std::unique_ptr<CMirelControlEdit> pEdit(new (std::nothrow) CMirelControlEdit(pdoc.get()));
  if (!pEdit) return nullptr;
  HWND hWnd = pEdit->Create(hWndParent, static_cast<UINT>(nID), x, y, cx, cy, dwExStyle, dwStyle);
  if (hWnd == nullptr) return nullptr;

  pdoc->RegisterEdit(pEdit.get());
  // The document lists its one edit window, and the registry names the
  // document; when either cannot be recorded the control is not made.
  if (pdoc->nEditCount != 1 || !g_RegHelper.Add(hWnd, pdoc.get())) {
    pdoc->UnregisterEdit(pEdit.get());
    DestroyWindow(hWnd);
    return nullptr;
  }
  // From here on the window owns both objects: whoever destroys it, they go
  // with it.
  pEdit->BindLifeToWindow();
  pEdit.release();
  pdoc.release();
  const LPARAM lSize = MAKELPARAM(static_cast<WORD>(cx), static_cast<WORD>(cy));
  SendMessageA(hWnd, WM_SIZE, 0, lSize);
  return hWnd;
}

MIREL_API void MIREL_CALL Mirel_Destroy(HWND hWnd) {
  // Called from a notification of the control itself, the frees wait until
  // the library frames under this call are done with the objects.
  const MrLibraryFrame frame;
  // A control whose window has gone is no longer registered: its value
  // leads nowhere, whatever window has it now.
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  if (pdoc == nullptr) return;
  CMirel* pEdit = FindEditOf(pdoc, hWnd);
  // This call frees the objects; the window's going must not free them too.
  if (auto* pControl = dynamic_cast<CMirelControlEdit*>(pEdit)) pControl->UnbindLifeFromWindow();
  // The window receives WM_DESTROY after its edit has left the document and
  // before either is deleted.
  if (pEdit != nullptr) pdoc->UnregisterEdit(pEdit);
  g_RegHelper.Remove(hWnd);
  MirelFreeControl(pEdit, pdoc);
}

}  // extern "C"
