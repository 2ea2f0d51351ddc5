// A control's edit object whose window owns it and the document.
#include "mirelctrl/cmirelcontroledit.h"

#include "mirel/cmireldoc.h"
#include "mirel/mrlibraryframe.h"
#include "mirelctrl/mirelctrl_module.h"

void MirelFreeControl(CMirel* pEdit, CMirelDoc* pdoc) {
  MrFreeWhenIdle([pEdit, pdoc] {
    delete pEdit;
    delete pdoc;
  });
}

void CMirelControlEdit::OnFinalMessage(HWND hWnd) {
  if (!bFreeWithWindow) return;
  bFreeWithWindow = FALSE;
  CMirelDoc* pDocument = pdoc;
  // The value may name another window from now on.
  if (g_RegHelper.Find(hWnd) == pDocument) g_RegHelper.Drop(hWnd);
  MirelFreeControl(this, pDocument);
}
