// The object whose window CreateWindowExA is making right now. A class window
// procedure takes its object from the creation message only when it is this
// one: a window that a host makes of one of the library's classes, with a
// pointer of its own as the creation parameter, is refused and the host's
// memory is never touched.
#pragma once

#include <windows.h>

// Sent with no window to the class's window procedure when another copy of
// the library in the process registered the class (the first copy loaded
// owns it): lParam is the object that copy is to adopt, or NULL.
constexpr UINT MR_MSG_CREATING_OBJECT = WM_USER + 0x3F0;

template <typename T>
class MrCreatingObject {
 public:
  // Marks pObject as the one being created until the scope ends; a creation
  // started while another runs (from a hook) restores the outer one.
  MrCreatingObject(T* pObject, const char* szClass, WNDPROC pfnOwnProc) : pOuter(s_pCreating) {
    s_pCreating = pObject;
    WNDCLASSA wc{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), szClass, &wc) && wc.lpfnWndProc != pfnOwnProc)
      pfnOwnerProc = wc.lpfnWndProc;
    if (pfnOwnerProc != nullptr)
      pfnOwnerProc(nullptr, MR_MSG_CREATING_OBJECT, 0, reinterpret_cast<LPARAM>(pObject));
  }
  ~MrCreatingObject() {
    s_pCreating = pOuter;
    if (pfnOwnerProc != nullptr) pfnOwnerProc(nullptr, MR_MSG_CREATING_OBJECT, 0, 0);
  }
  MrCreatingObject(const MrCreatingObject&) = delete;
  MrCreatingObject& operator=(const MrCreatingObject&) = delete;

  // TRUE for the notice of another copy (handled: the object is noted).
  static bool TakeNotice(HWND hWnd, UINT uMsg, LPARAM lParam) {
    if (hWnd != nullptr || uMsg != MR_MSG_CREATING_OBJECT) return false;
    s_pCreating = reinterpret_cast<T*>(lParam);
    return true;
  }

  // The object of a WM_NCCREATE when it is the one being created, else NULL.
  // It is handed out once, to the first window that asks.
  static T* Adopt(LPARAM lParam) {
    const auto* pCreate = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    if (pCreate == nullptr || s_pCreating == nullptr || pCreate->lpCreateParams != s_pCreating)
      return nullptr;
    T* pObject = s_pCreating;
    s_pCreating = nullptr;
    return pObject;
  }

 private:
  static inline T* s_pCreating = nullptr;
  T* pOuter;
  WNDPROC pfnOwnerProc = nullptr;  // the class's procedure when another copy owns it
};
