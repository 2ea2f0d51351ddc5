// The library's process-wide state: its module handle and the registry that
// maps control windows to their documents. The exported functions reach a
// document only through MirelFindDoc, each inside an MrLibraryFrame opened
// first: a control that the host destroys from a notification of the call
// is freed when the export returns, not while the call still uses it.
#pragma once

#include <windows.h>

#include "mirelctrl/creghelper.h"

// Module instance handle of the library, stored on process attach.
extern HINSTANCE g_hInstance;
// Handle-to-document registry of every control made by Mirel_Create.
extern CRegHelper g_RegHelper;

// The document of a control window, or NULL when the handle is not one.
inline CMirelDoc* MirelFindDoc(HWND hWnd) {
  return g_RegHelper.Find(hWnd);
}
