// The edit object of a control made by Mirel_Create. Once the control is
// registered its window decides the life of this object and of the
// document: when the window goes without Mirel_Destroy (the host destroyed
// it, or its parent), the registry stops naming the handle and both objects
// are freed, so a later Mirel_Destroy with the old handle value finds
// nothing and destroys no other window that got the value.
#pragma once

#include <windows.h>

#include "mirel/cmirel.h"

class CMirelControlEdit final : public CMirel {
 public:
  using CMirel::CMirel;

  // From now on the window's going frees this object and the document.
  void BindLifeToWindow() { bFreeWithWindow = TRUE; }
  // Mirel_Destroy frees them itself.
  void UnbindLifeFromWindow() { bFreeWithWindow = FALSE; }
  void OnFinalMessage(HWND hWnd) override;

 private:
  BOOL bFreeWithWindow = FALSE;
};

// Deletes a control's edit object (which leaves its document) and then the
// document, at once or, while a library frame that may still use them is
// open, once none is.
void MirelFreeControl(CMirel* pEdit, CMirelDoc* pdoc);
