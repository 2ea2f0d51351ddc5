// The control window class and the table that maps a control window to its
// edit object. One registrar lives for the whole process; it registers the
// class when it is built and keeps the class registered until the process
// ends.
#pragma once

#include <windows.h>

class CMirel;

// One window of the control class and its edit object. An entry whose
// handle is NULL is free.
struct MIREL_EDIT_ENTRY {
  CMirel* pMirel;
  HWND hWnd;
};

class CMirelRegistrar {
 public:
  // Registers the control class under the host program's module handle.
  // The first registrar built becomes the one the class window procedure
  // uses.
  CMirelRegistrar();
  virtual ~CMirelRegistrar();
  CMirelRegistrar(const CMirelRegistrar&) = delete;
  CMirelRegistrar& operator=(const CMirelRegistrar&) = delete;

  // The registrar the class window procedure uses; NULL before one is built
  // and after it is gone.
  static CMirelRegistrar* GetActive();

  // The edit object of a window, NULL when the window is not in the table.
  CMirel* Lookup(HWND hWnd) const;
  // Records a window and its edit object and sets the object's hWndEdit.
  // FALSE (and nothing recorded) when the handle or the object is NULL, the
  // handle is already recorded or the table cannot grow.
  BOOL Add(HWND hWnd, CMirel* pMirel);
  // Destroys the window when it still exists and drops its entry; a handle
  // not in the table changes nothing.
  void Remove(HWND hWnd);
  // Drops the entry of a window that is being destroyed; later entries move
  // one place to the front. Nothing is destroyed.
  void Forget(HWND hWnd);
  // Drops every entry of an edit object that is being deleted.
  void ForgetEdit(const CMirel* pMirel);

  int GetCapacity() const { return nCapacity; }
  int GetUsed() const { return nUsed; }

  MIREL_EDIT_ENTRY* pEntries;  // zero-filled, the used entries first
  int nCapacity;               // entries allocated
  int nUsed;                   // entries in use

 private:
  static CMirelRegistrar* s_pActive;
};

// Entries allocated at start and the growth step of the table.
constexpr int MIREL_REGISTRAR_INITIAL_CAPACITY = 8;
constexpr int MIREL_REGISTRAR_GROWTH = 4;

// The process-wide registrar, defined with the other process-wide objects
// of the library so that they are built in their order.
extern CMirelRegistrar g_EditRegistrar;

// The window procedure of the control class: hands every message of a
// recorded window to its edit object. A window is recorded by WM_NCCREATE
// when its creation parameter is the edit object that CMirel::Create is
// making it for; any other creation is refused, and messages of windows that
// are not recorded go to DefWindowProcA.
LRESULT CALLBACK MirelControlWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
