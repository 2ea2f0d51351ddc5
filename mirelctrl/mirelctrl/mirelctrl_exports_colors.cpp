// Exported functions: colours and the current-tag mark.
#include "mirelctrl/mirelctrl.h"

#include "mirel/cmireldoc.h"
#include "mirel/mrlibraryframe.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

MIREL_API void MIREL_CALL Mirel_SetForeColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetForeColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetBackColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetBackColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetSelForeColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetSelForeColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetSelBackColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetSelBackColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetActiveLineColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetActiveLineColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetActiveLineBackColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetActiveLineBackColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetLineNoColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetLineNoColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetCodeColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetCodeColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetBookmarkColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetBookmarkColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetBookmarkForeColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetBookmarkForeColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetMatchingBraceForeColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetMatchingBraceForeColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetMatchingBraceBackColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetMatchingBraceBackColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetFindHighlightColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetFindHighlightColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetFindHighlightBackColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetFindHighlightBackColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetCurrentTagColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetCurrentTagColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetCurrentTagForeColor(HWND hWnd, COLORREF cr) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetCurrentTagForeColor(cr);
}

MIREL_API void MIREL_CALL Mirel_SetCurrentTag(HWND hWnd, int nParagraph) {
  const MrLibraryFrame frame;
  // Taken unsigned: a negative paragraph lies past the last, where the
  // document clamps it.
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetCurrentTag(static_cast<UINT>(nParagraph));
}

MIREL_API void MIREL_CALL Mirel_ResetCurrentTag(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->ResetCurrentTag();
}

}  // extern "C"
