// The control window class, its window table and its window procedure.
#include "mirel/cmirelregistrar.h"

#include <cstdlib>
#include <cstring>

#include "mirel/cmirel.h"
#include "mirel/mirel.h"
#include "mirel/mrcreatingobject.h"
#include "mirel/mrlibraryframe.h"
#include "mirel/mrmessageguard.h"

namespace {

// CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC
constexpr UINT kControlClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;

}  // namespace

CMirelRegistrar* CMirelRegistrar::s_pActive = nullptr;

CMirelRegistrar::CMirelRegistrar()
    : pEntries(static_cast<MIREL_EDIT_ENTRY*>(
          std::calloc(MIREL_REGISTRAR_INITIAL_CAPACITY, sizeof(MIREL_EDIT_ENTRY)))),
      nCapacity(pEntries != nullptr ? MIREL_REGISTRAR_INITIAL_CAPACITY : 0),
      nUsed(0) {
  WNDCLASSA wc{};
  wc.style = kControlClassStyle;
  wc.lpfnWndProc = MirelControlWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  wc.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
  wc.hbrBackground = nullptr;  // the views paint the whole client area
  wc.lpszClassName = MIREL_CONTROL_CLASS_NAME;
  // A second registrar in the same process finds the class registered.
  RegisterClassA(&wc);
  if (s_pActive == nullptr) s_pActive = this;
}

CMirelRegistrar::~CMirelRegistrar() {
  if (s_pActive == this) s_pActive = nullptr;
  std::free(pEntries);
  pEntries = nullptr;
  nCapacity = 0;
  nUsed = 0;
}

CMirelRegistrar* CMirelRegistrar::GetActive() {
  return s_pActive;
}

CMirel* CMirelRegistrar::Lookup(HWND hWnd) const {
  if (hWnd == nullptr) return nullptr;
  for (int i = 0; i < nUsed; ++i) {
    if (pEntries[i].hWnd == hWnd) return pEntries[i].pMirel;
  }
  return nullptr;
}

BOOL CMirelRegistrar::Add(HWND hWnd, CMirel* pMirel) {
  if (hWnd == nullptr || pMirel == nullptr || Lookup(hWnd) != nullptr) return FALSE;
  // The table keeps one free entry beyond the used ones.
  if (pEntries == nullptr || nUsed + 1 >= nCapacity) {
    const int nNewCapacity = nCapacity + MIREL_REGISTRAR_GROWTH;
    auto* pNew =
        static_cast<MIREL_EDIT_ENTRY*>(std::realloc(pEntries, sizeof(MIREL_EDIT_ENTRY) * nNewCapacity));
    if (pNew == nullptr) return FALSE;  // the old table stays as it was
    std::memset(pNew + nCapacity, 0, sizeof(MIREL_EDIT_ENTRY) * (nNewCapacity - nCapacity));
    pEntries = pNew;
    nCapacity = nNewCapacity;
  }
  pEntries[nUsed].pMirel = pMirel;
  pEntries[nUsed].hWnd = hWnd;
  ++nUsed;
  pMirel->hWndEdit = hWnd;
  return TRUE;
}

void CMirelRegistrar::Remove(HWND hWnd) {
  if (Lookup(hWnd) == nullptr) return;
  // Destroying the window drops its entry on WM_NCDESTROY.
  if (IsWindow(hWnd)) DestroyWindow(hWnd);
  Forget(hWnd);
}

void CMirelRegistrar::Forget(HWND hWnd) {
  if (hWnd == nullptr) return;
  for (int i = 0; i < nUsed; ++i) {
    if (pEntries[i].hWnd != hWnd) continue;
    std::memmove(pEntries + i, pEntries + i + 1, sizeof(MIREL_EDIT_ENTRY) * (nUsed - i - 1));
    --nUsed;
    pEntries[nUsed] = MIREL_EDIT_ENTRY{nullptr, nullptr};
    return;
  }
}

void CMirelRegistrar::ForgetEdit(const CMirel* pMirel) {
  if (pMirel == nullptr) return;
  for (int i = nUsed - 1; i >= 0; --i) {
    if (pEntries[i].pMirel == pMirel) Forget(pEntries[i].hWnd);
  }
}

LRESULT CALLBACK MirelControlWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (MrCreatingObject<CMirel>::TakeNotice(hWnd, uMsg, lParam)) return 0;
  CMirelRegistrar* pRegistrar = CMirelRegistrar::GetActive();
  CMirel* pMirel = pRegistrar != nullptr ? pRegistrar->Lookup(hWnd) : nullptr;
  if (pMirel == nullptr) {
    // Only the creation message carries the edit object; any message that
    // comes before it is left to the system. A window not made by
    // CMirel::Create (no object, or a pointer of the host's) is refused.
    if (uMsg != WM_NCCREATE) return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    pMirel = pRegistrar != nullptr ? MrCreatingObject<CMirel>::Adopt(lParam) : nullptr;
    if (pMirel == nullptr || !pRegistrar->Add(hWnd, pMirel)) return FALSE;
  }
  // The handle may be handed to a new window later: from the last message
  // of this window on, it leads to nothing.
  if (uMsg == WM_NCDESTROY) pRegistrar->Forget(hWnd);
  // The owner's free of the object after the last message waits, like any
  // other, until the outermost library frame closes.
  MrLibraryFrame frame;
  LRESULT lResult = 0;
  try {
    lResult = pMirel->WindowProc(uMsg, wParam, lParam);
  } catch (...) {
    lResult = MrFailedMessageResult(hWnd, uMsg, wParam, lParam);
  }
  if (uMsg == WM_NCDESTROY) pMirel->OnFinalMessage(hWnd);
  return lResult;
}
