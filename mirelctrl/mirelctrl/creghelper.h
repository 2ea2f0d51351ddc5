// The process-wide registry that maps a control's window handle to the
// document behind it. Every exported function that takes a window handle
// looks its document up here first.
#pragma once

#include <windows.h>

#include <cstddef>

class CMirelDoc;

// One registered control: handle first, then its document.
struct MIREL_REG_PAIR {
  HWND hWnd;
  CMirelDoc* pdoc;
};

// Pairs allocated when the registry is made.
constexpr int MIREL_REG_INITIAL_ALLOC = 4;

class CRegHelper {
 public:
  CRegHelper();
  virtual ~CRegHelper();
  CRegHelper(const CRegHelper&) = delete;
  CRegHelper& operator=(const CRegHelper&) = delete;

  // The document registered for the handle, or NULL (also for NULL).
  CMirelDoc* Find(HWND hWnd) const;
  // Registers a pair in the first free slot, growing the array by one pair
  // when only one free pair would be left. FALSE, with nothing changed, for a
  // NULL handle or document, a handle already registered, or when the array
  // cannot grow.
  BOOL Add(HWND hWnd, CMirelDoc* pdoc);
  // Destroys the window (while its pair is still registered) and drops the
  // pair; later pairs move down. An unknown handle destroys nothing.
  void Remove(HWND hWnd);
  // Drops the pair of a window that is already going; nothing is destroyed.
  void Drop(HWND hWnd);

  int GetCount() const { return nCount; }
  int GetAlloc() const { return nAlloc; }

 protected:
  // Memory of the pair array (realloc); tests fail it to exercise the
  // recovery path. NULL when the memory cannot be had.
  virtual void* ReallocatePairs(void* p, size_t nBytes);

 private:
  // Pairs 0 to nCount-1 are the registered controls in registration order;
  // every pair from nCount to nAlloc-1 is zero, and at least one is.
  MIREL_REG_PAIR* pPairs;
  int nAlloc;
  int nCount;

  int IndexOf(HWND hWnd) const;
};
