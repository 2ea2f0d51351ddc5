// The split-pane window class, its table of windows and objects, and its
// window procedure.
#include <cstdlib>
#include <cstring>

#include "mirel/cmirelsplitter.h"
#include "mirel/mrcreatingobject.h"
#include "mirel/mrlibraryframe.h"
#include "mirel/mrmessageguard.h"

namespace {

constexpr UINT kSplitterClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;

}  // namespace

CMirelSplitterRegistrar* CMirelSplitterRegistrar::s_pActive = nullptr;

CMirelSplitterRegistrar::CMirelSplitterRegistrar()
    : pEntries(static_cast<MIREL_SPLITTER_ENTRY*>(
          std::calloc(MIREL_SPLITTER_REGISTRAR_INITIAL_CAPACITY, sizeof(MIREL_SPLITTER_ENTRY)))),
      nCapacity(pEntries != nullptr ? MIREL_SPLITTER_REGISTRAR_INITIAL_CAPACITY : 0),
      nUsed(0) {
  WNDCLASSA wc{};
  wc.style = kSplitterClassStyle;
  wc.lpfnWndProc = MirelSplitterWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = MIREL_SPLITTER_CLASS_NAME;
  // A second registrar in the same process finds the class registered.
  RegisterClassA(&wc);
  if (s_pActive == nullptr) s_pActive = this;
}

CMirelSplitterRegistrar::~CMirelSplitterRegistrar() {
  if (s_pActive == this) s_pActive = nullptr;
  std::free(pEntries);
  pEntries = nullptr;
  nCapacity = 0;
  nUsed = 0;
}

CMirelSplitterRegistrar* CMirelSplitterRegistrar::GetActive() {
  return s_pActive;
}

BOOL CMirelSplitterRegistrar::Add(CMirelSplitter* pSplitter, HWND hWnd) {
  if (pSplitter == nullptr || hWnd == nullptr || Lookup(hWnd) != nullptr) return FALSE;
  // One zero pair always stays beyond the used ones.
  if (pEntries == nullptr || nCapacity <= nUsed + 1) {
    const int nNew = nCapacity + 1;
    auto* pNew =
        static_cast<MIREL_SPLITTER_ENTRY*>(std::realloc(pEntries, sizeof(MIREL_SPLITTER_ENTRY) * nNew));
    if (pNew == nullptr) return FALSE;
    std::memset(pNew + nCapacity, 0, sizeof(MIREL_SPLITTER_ENTRY) * (nNew - nCapacity));
    pEntries = pNew;
    nCapacity = nNew;
  }
  pEntries[nUsed] = MIREL_SPLITTER_ENTRY{pSplitter, hWnd};
  ++nUsed;
  pSplitter->m_hWnd = hWnd;
  return TRUE;
}

CMirelSplitter* CMirelSplitterRegistrar::Lookup(HWND hWnd) const {
  if (hWnd == nullptr) return nullptr;
  for (int i = 0; i < nUsed; ++i) {
    if (pEntries[i].hWnd == hWnd) return pEntries[i].pSplitter;
  }
  return nullptr;
}

void CMirelSplitterRegistrar::Forget(HWND hWnd) {
  if (hWnd == nullptr) return;
  for (int i = 0; i < nUsed; ++i) {
    if (pEntries[i].hWnd != hWnd) continue;
    std::memmove(pEntries + i, pEntries + i + 1, sizeof(MIREL_SPLITTER_ENTRY) * (nUsed - i - 1));
    --nUsed;
    pEntries[nUsed] = MIREL_SPLITTER_ENTRY{nullptr, nullptr};
    return;
  }
}

void CMirelSplitterRegistrar::ForgetSplitter(const CMirelSplitter* pSplitter) {
  for (int i = nUsed - 1; i >= 0; --i) {
    if (pEntries[i].pSplitter == pSplitter) Forget(pEntries[i].hWnd);
  }
}

LRESULT CALLBACK MirelSplitterWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (MrCreatingObject<CMirelSplitter>::TakeNotice(hWnd, uMsg, lParam)) return 0;
  CMirelSplitterRegistrar* pRegistrar = CMirelSplitterRegistrar::GetActive();
  CMirelSplitter* pSplitter = pRegistrar != nullptr ? pRegistrar->Lookup(hWnd) : nullptr;
  if (pSplitter == nullptr) {
    // Only the creation message carries the object; a window of the class
    // not made by CMirelSplitter::Create (no object, or a pointer of the
    // host's) is refused.
    if (uMsg != WM_NCCREATE) return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    pSplitter = pRegistrar != nullptr ? MrCreatingObject<CMirelSplitter>::Adopt(lParam) : nullptr;
    if (pSplitter == nullptr || !pRegistrar->Add(pSplitter, hWnd)) return FALSE;
  }
  // A pane's control destroyed from inside this message is freed once it
  // is over.
  MrLibraryFrame frame;
  if (uMsg == WM_NCDESTROY) {
    // The handle may be given to another window from here on.
    pRegistrar->Forget(hWnd);
    LRESULT lResult = 0;
    try {
      lResult = pSplitter->WindowProc(uMsg, wParam, lParam);
    } catch (...) {
      lResult = MrFailedMessageResult(hWnd, uMsg, wParam, lParam);
    }
    pSplitter->OnNcDestroy();  // the window's objects go whatever its handler did
    return lResult;
  }
  try {
    return pSplitter->WindowProc(uMsg, wParam, lParam);
  } catch (...) {
    return MrFailedMessageResult(hWnd, uMsg, wParam, lParam);
  }
}
