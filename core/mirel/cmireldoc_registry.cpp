// The document's edit windows: registration, the active window, and the
// broadcasts that keep every window in step with the document (scroll bars,
// caret, repaint), the messages to all windows and the notifications to the
// host window.
#include <cstdlib>
#include <vector>

#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"
#include "mirel/mrlibraryframe.h"

namespace {

// Growth step of the edit-window array.
constexpr int kEditAllocStep = 4;

// Traced when a window without a handle is registered ("the handle value is
// not valid"), in code page 949.
constexpr char kInvalidHandleTrace[] =
    "Handle \xB0\xAA\xC0\xCC \xC0\xAF\xC8\xBF\xC7\xCF\xC1\xF6 \xBE\xCA\xBD\xC0\xB4\xCF\xB4\xD9\n";

}  // namespace

CMirel* CMirelDoc::RegisterEdit(CMirel* pRegister) {
  MIREL_ASSERT(pRegister);
  if (pRegister == nullptr) return nullptr;
  // A window listed twice would be repainted twice and leave a stale entry
  // behind when it is unregistered.
  for (int i = 0; i < nEditCount; ++i) {
    if (ppEdits[i] == pRegister) return nullptr;
  }
  if (ppEdits == nullptr || nEditCount + 1 > nEditAlloc) {
    const int nNewAlloc = nEditAlloc + kEditAllocStep;
    CMirel** ppNew = static_cast<CMirel**>(std::realloc(ppEdits, sizeof(CMirel*) * nNewAlloc));
    MIREL_ASSERT(ppNew != NULL);
    if (ppNew == nullptr) return nullptr;  // the old array and its windows stay
    ppEdits = ppNew;
    for (int i = nEditCount; i < nNewAlloc; ++i) ppEdits[i] = nullptr;
    nEditAlloc = nNewAlloc;
  }
  CMirel* pRet = ppEdits[nEditCount];
  MIREL_ASSERT(!pRet);
  ppEdits[nEditCount] = pRegister;
  ++nEditCount;

  if (pRegister->hWndEdit == nullptr) {
    MirelTrace("%s", kInvalidHandleTrace);
    return nullptr;
  }
  // The first window with a handle becomes active and brings the font
  // metrics, the margins and the caret into being.
  if (pActiveMirel == nullptr) {
    pActiveMirel = pRegister;
    ApplyFont();
    if (pRegister->pView != nullptr) pRegister->pView->UpdateCaret(1, 1);
  }
  return pRet;
}

void CMirelDoc::UnregisterEdit(CMirel* pEdit) {
  if (pEdit == nullptr || ppEdits == nullptr) return;
  int nIndex = -1;
  for (int i = 0; i < nEditCount; ++i) {
    if (ppEdits[i] == pEdit) {
      nIndex = i;
      break;
    }
  }
  if (nIndex < 0) return;
  for (int i = nIndex; i + 1 < nEditAlloc; ++i) ppEdits[i] = ppEdits[i + 1];
  ppEdits[nEditAlloc - 1] = nullptr;
  --nEditCount;
  if (pActiveMirel == pEdit) pActiveMirel = nEditCount > 0 ? ppEdits[nEditCount - 1] : nullptr;
  for (int i = nEditCount; i < nEditAlloc; ++i) ppEdits[i] = nullptr;
}

void CMirelDoc::ReleaseEdits() {
  for (int i = 0; i < nEditCount && ppEdits != nullptr; ++i) {
    if (ppEdits[i] != nullptr && ppEdits[i]->pdoc == this) ppEdits[i]->pdoc = nullptr;
  }
  for (int i = 0; i < nEditAlloc && ppEdits != nullptr; ++i) ppEdits[i] = nullptr;
  nEditCount = 0;
  pActiveMirel = nullptr;
}

// ---------------------------------------------------------------------------
// Broadcasts

void CMirelDoc::UpdateAllViews(int nHint, DWORD nFrom, DWORD nTo) {
  for (int i = 0; i < nEditCount; ++i) {
    CMirel* pEdit = ppEdits[i];
    MIREL_ASSERT(pEdit);
    if (pEdit == nullptr || pEdit->pView == nullptr) continue;
    pEdit->pView->Invalidate(nHint, nFrom, nTo);
  }
}

void CMirelDoc::UpdateAllScrollBars() {
  for (int i = 0; i < nEditCount; ++i) {
    CMirel* pEdit = ppEdits[i];
    if (pEdit == nullptr) continue;
    if (pEdit->pView != nullptr) pEdit->pView->UpdateScrollBars();
    pEdit->UpdateScrollStyle(nWrapMode);
  }
}

void CMirelDoc::RefreshFocusedEdit() {
  HWND hFocus = GetFocus();
  if (hFocus == nullptr) return;
  for (int i = 0; i < nEditCount; ++i) {
    CMirel* pEdit = ppEdits[i];
    if (pEdit == nullptr || pEdit->hWndEdit != hFocus || pEdit->pView == nullptr) continue;
    pEdit->pView->UpdateCaret(1, 1);
  }
}

void CMirelDoc::UpdateActiveCaret(int bSetGoalX, int bScroll) {
  if (pActiveMirel == nullptr || pActiveMirel->pView == nullptr) return;
  pActiveMirel->pView->UpdateCaret(bSetGoalX, bScroll);
}

void CMirelDoc::UpdateEditsAfterChange(int nHint, DWORD nFrom, DWORD nTo) {
  if (nEditCount <= 0) return;
  UpdateAllScrollBars();
  UpdateActiveCaret(1, 1);
  UpdateAllViews(nHint, nFrom, nTo);
}

void CMirelDoc::SetRedraw(BOOL bOn) {
  for (int i = 0; i < nEditCount; ++i) {
    CMirel* pEdit = ppEdits[i];
    MIREL_ASSERT(pEdit);
    if (pEdit != nullptr) pEdit->SetRedraw(bOn ? 1 : 0);
  }
}

void CMirelDoc::SendMessageToEdits(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  // A handler may register or unregister windows while the messages go out:
  // send to the windows listed now, each only while it still exists.
  std::vector<HWND> windows;
  windows.reserve(static_cast<size_t>(nEditCount > 0 ? nEditCount : 0));
  for (int i = 0; i < nEditCount; ++i) {
    if (ppEdits[i] != nullptr && ppEdits[i]->hWndEdit != nullptr) windows.push_back(ppEdits[i]->hWndEdit);
  }
  MrLibraryFrame frame;  // a host's subclass of a window may run
  for (HWND hWnd : windows) {
    if (IsWindow(hWnd)) SendMessageA(hWnd, uMsg, wParam, lParam);
  }
}

void CMirelDoc::NotifyParent(int nCode) {
  if (ppEdits == nullptr || nEditCount <= 0 || ppEdits[0] == nullptr) return;
  HWND hWnd = ppEdits[0]->hWndEdit;
  if (hWnd == nullptr || !IsWindow(hWnd)) return;
  HWND hParent = GetParent(hWnd);
  if (hParent == nullptr) return;
  const WORD wID = LOWORD(GetWindowLongA(hWnd, GWL_ID));
  // The host may destroy this control from its handler.
  MrLibraryFrame frame;
  SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(wID, nCode), reinterpret_cast<LPARAM>(hWnd));
}

BOOL CMirelDoc::CanPaste() {
  if (pActiveMirel == nullptr) return FALSE;
  if (pActiveMirel->uBinaryFormat != 0 && IsClipboardFormatAvailable(pActiveMirel->uBinaryFormat))
    return TRUE;
  return IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_UNICODETEXT) ? TRUE : FALSE;
}
