// The object whose window CreateWindowExA is making right now. A class window
// procedure takes its object from the creation message only when it is this
// one: a window that a host makes of one of the library's classes, with a
// pointer of its own as the creation parameter, is refused and the host's
// memory is never touched.
#pragma once

#include <windows.h>

template <typename T>
class MrCreatingObject {
 public:
  // Marks pObject as the one being created until the scope ends; a creation
  // started while another runs (from a hook) restores the outer one.
  explicit MrCreatingObject(T* pObject) : pOuter(s_pCreating) { s_pCreating = pObject; }
  ~MrCreatingObject() { s_pCreating = pOuter; }
  MrCreatingObject(const MrCreatingObject&) = delete;
  MrCreatingObject& operator=(const MrCreatingObject&) = delete;

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
};
