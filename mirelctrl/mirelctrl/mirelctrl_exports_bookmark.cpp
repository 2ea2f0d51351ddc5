// Exported functions: bookmarks.
#include "mirelctrl/mirelctrl.h"

#include <memory>
#include <new>

#include "mirel/cmireldoc.h"
#include "mirel/mrlibraryframe.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

MIREL_API BOOL MIREL_CALL Mirel_IsExistBookmark(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsExistBookmark() : FALSE;
}

MIREL_API BOOL MIREL_CALL Mirel_IsExistNamedBookmark(HWND hWnd, const char* pszName) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsExistNamedBookmark(pszName) : FALSE;
}

MIREL_API void MIREL_CALL Mirel_Bookmark(HWND hWnd, int nAtCaret, int nParagraph, const char* pszName) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->ToggleBookmark(nAtCaret, nParagraph, pszName);
}

MIREL_API void MIREL_CALL Mirel_ClearBookmark(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->ClearBookmark();
}

MIREL_API void MIREL_CALL Mirel_MoveBookmark(HWND hWnd, BOOL bNext) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->MoveBookmark(bNext);
}

MIREL_API void MIREL_CALL Mirel_GotoNamedBookmark(HWND hWnd, const char* pszName) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->GotoNamedBookmark(pszName);
}

MIREL_API int MIREL_CALL Mirel_GetBookmarkCount(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->GetBookmarkCount() : 0;
}

MIREL_API int MIREL_CALL Mirel_GetNamedBookmarkCount(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->GetNamedBookmarkCount() : 0;
}

}  // extern "C"

namespace {

// Writes the paragraphs of the bookmarks of one kind, at most as many as the
// count the host was told; 0 (nothing written) for NULL or without memory.
template <typename CountFn, typename CopyFn>
int CopyParagraphs(int* pnParagraphs, CountFn count, CopyFn copy) {
  if (pnParagraphs == nullptr) return 0;
  const int nCount = count();
  if (nCount <= 0) return 0;
  std::unique_ptr<CMrBookmark[]> marks(new (std::nothrow) CMrBookmark[static_cast<size_t>(nCount)]);
  if (!marks) return 0;
  const int n = copy(marks.get(), nCount);
  for (int i = 0; i < n; ++i) pnParagraphs[i] = marks[static_cast<size_t>(i)].nPara;
  return n;
}

}  // namespace

extern "C" {

MIREL_API int MIREL_CALL Mirel_GetBookmark(HWND hWnd, int* pnParagraphs) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  if (pdoc == nullptr) return 0;
  return CopyParagraphs(
      pnParagraphs, [pdoc] { return pdoc->GetBookmarkCount(); },
      [pdoc](CMrBookmark* p, int n) { return pdoc->GetBookmarks(p, n); });
}

MIREL_API int MIREL_CALL Mirel_GetNamedBookmark(HWND hWnd, int* pnParagraphs) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  if (pdoc == nullptr) return 0;
  return CopyParagraphs(
      pnParagraphs, [pdoc] { return pdoc->GetNamedBookmarkCount(); },
      [pdoc](CMrBookmark* p, int n) { return pdoc->GetNamedBookmarks(p, n); });
}

}  // extern "C"
