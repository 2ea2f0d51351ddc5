// Module start-up: the entry point and the process-wide objects.
//
// The objects are defined in this one file so that they are built in this
// order and destroyed in the reverse order: the split-pane window class
// registrar, the control class registrar (each registers its window class),
// then the handle-to-document registry.
#include <windows.h>

#include "mirel/cmirelregistrar.h"
#include "mirel/cmirelsplitter.h"
#include "mirelctrl/mirelctrl_module.h"

HINSTANCE g_hInstance = nullptr;

CMirelSplitterRegistrar g_SplitterRegistrar;
CMirelRegistrar g_EditRegistrar;
CRegHelper g_RegHelper;

#ifdef _WIN32
// Only stores the module handle: the window classes are registered by the
// objects above, under the host program's module handle. (A shared library
// on Linux has no such entry point.)
extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID /*pReserved*/) {
  if (dwReason == DLL_PROCESS_ATTACH) g_hInstance = hInstance;
  return TRUE;
}
#endif
