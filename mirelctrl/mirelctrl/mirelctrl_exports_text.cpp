// Exported functions: text in and out.
#include "mirelctrl/mirelctrl.h"

#include "mirel/cmireldoc.h"
#include "mirel/mrlibraryframe.h"
#include "mirel/mrnothrow.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

MIREL_API int MIREL_CALL Mirel_InsertA(HWND hWnd, const char* pText, int nLen, BOOL bUndo) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->InsertA(pText, nLen, bUndo); }) : 0;
}

MIREL_API int MIREL_CALL Mirel_InsertW(HWND hWnd, const WCHAR* pText, int nChars, BOOL bUndo) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->InsertW(pText, nChars, bUndo); }) : 0;
}

MIREL_API int MIREL_CALL Mirel_InsertU(HWND hWnd, const char* pUtf8, int nLen, BOOL bUndo) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->InsertU(pUtf8, nLen, bUndo); }) : 0;
}

MIREL_API int MIREL_CALL Delete(HWND hWnd, int nUnused) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->Delete(nUnused); }) : 0;
}

MIREL_API int MIREL_CALL DeleteWord(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->DeleteWord(); }) : 0;
}

MIREL_API int MIREL_CALL Mirel_GetTextA(HWND hWnd, char* pBuf, int nFrom, int nTo) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->GetTextA(pBuf, nFrom, nTo); }) : 0;
}

MIREL_API int MIREL_CALL Mirel_GetTextW(HWND hWnd, WCHAR* pBuf, int nFrom, int nTo) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->GetTextW(pBuf, nFrom, nTo); }) : 0;
}

MIREL_API int MIREL_CALL Mirel_GetTextU(HWND hWnd, char* pBuf, int nFrom, int nTo) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->GetTextU(pBuf, nFrom, nTo); }) : 0;
}

MIREL_API int MIREL_CALL Mirel_GetFileBuffer(HWND hWnd, char* pBuf, int nFrom, int nTo) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  // A negative start reads from the first byte; a negative or reversed end
  // reads nothing. The count fits an int because the range does.
  if (pdoc == nullptr || nTo < 0) return 0;
  if (nFrom < 0) nFrom = 0;
  if (nTo <= nFrom) return 0;
  return static_cast<int>(MrGuarded([&] {
    return pdoc->GetFileBuffer(reinterpret_cast<BYTE*>(pBuf), static_cast<DWORD>(nFrom),
                               static_cast<DWORD>(nTo));
  }));
}

}  // extern "C"
