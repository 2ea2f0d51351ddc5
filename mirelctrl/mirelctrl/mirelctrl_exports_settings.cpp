// Exported functions: contents, encoding, newline kind, view, layout, marks
// and editing behaviour.
#include "mirelctrl/mirelctrl.h"

#include "mirel/cmireldoc.h"
#include "mirel/mrlibraryframe.h"
#include "mirel/mrnothrow.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

// --- Contents, encoding, newline kind and code page

MIREL_API int MIREL_CALL Mirel_NewFile(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? MrGuarded([&] { return pdoc->NewFile(); }) : 0;
}

MIREL_API void MIREL_CALL Mirel_Reset(HWND hWnd) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->Reset();
}

MIREL_API int MIREL_CALL Mirel_GetFileEncoding(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->nFileEncoding : 0;
}

MIREL_API int MIREL_CALL Mirel_GetFileFormat(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->nFileFormat : 0;
}

MIREL_API int MIREL_CALL Mirel_GetNewLineCodeA(HWND hWnd, char* pBuf, int nBufSize) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->GetNewLineCodeA(pBuf, nBufSize) : 0;
}

MIREL_API int MIREL_CALL Mirel_GetCodePage(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->nCodePage : 0;
}

MIREL_API BOOL MIREL_CALL Mirel_IsBinary(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsBinary() : FALSE;
}

// --- View, layout and marks

MIREL_API int MIREL_CALL Mirel_GetViewType(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->GetViewType() : 0;
}

MIREL_API int MIREL_CALL Mirel_GetWordWrap(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->nWrapMode : 0;
}

MIREL_API int MIREL_CALL Mirel_GetTabSize(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->GetTabSize() : 0;
}

MIREL_API void MIREL_CALL Mirel_SetTabSize(HWND hWnd, int nTabSize) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->SetTabSize(nTabSize); });
}

MIREL_API void MIREL_CALL Mirel_SetHexCharsPerLine(HWND hWnd, int nBytes) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->SetHexCharsPerLine(nBytes); });
}

MIREL_API void MIREL_CALL Mirel_SetLineSpacing(HWND hWnd, int nPercent) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->SetLineSpacing(nPercent); });
}

MIREL_API void MIREL_CALL Mirel_SetFont(HWND hWnd, const LOGFONTA* pLogFont) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->SetFont(pLogFont); });
}

MIREL_API void MIREL_CALL Mirel_SetFontHex(HWND hWnd, const LOGFONTA* pLogFont) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->SetFontHex(pLogFont); });
}

MIREL_API void MIREL_CALL Mirel_EnableLineNo(HWND hWnd, BOOL bEnable) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->EnableLineNo(bEnable);
}

MIREL_API BOOL MIREL_CALL Mirel_IsShowLineNo(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsShowLineNo() : FALSE;
}

MIREL_API void MIREL_CALL Mirel_EnableRuler(HWND hWnd, BOOL bEnable) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->EnableRuler(bEnable);
}

MIREL_API BOOL MIREL_CALL Mirel_IsShowRuler(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsShowRuler() : FALSE;
}

MIREL_API void MIREL_CALL Mirel_EnableIndicatorMargin(HWND hWnd, BOOL bEnable) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->EnableIndicatorMargin(bEnable);
}

MIREL_API BOOL MIREL_CALL Mirel_IsShowIndicatorMargin(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsShowIndicatorMargin() : FALSE;
}

MIREL_API void MIREL_CALL Mirel_EnableFolderMargin(HWND hWnd, BOOL bEnable) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->EnableFolderMargin(bEnable);
}

MIREL_API void MIREL_CALL Mirel_ShowBreakCode(HWND hWnd, BOOL bShow) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->ShowBreakCode(bShow);
}

MIREL_API void MIREL_CALL Mirel_ShowWhiteSpaceCode(HWND hWnd, BOOL bShow) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->ShowWhiteSpaceCode(bShow);
}

MIREL_API BOOL MIREL_CALL Mirel_IsSimpleSpace(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsSimpleSpace() : FALSE;
}

MIREL_API BOOL MIREL_CALL Mirel_IsSimpleTab(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsSimpleTab() : FALSE;
}

MIREL_API BOOL MIREL_CALL Mirel_IsSimpleEnter(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsSimpleEnter() : FALSE;
}

MIREL_API BOOL MIREL_CALL Mirel_IsSimpleEOF(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsSimpleEOF() : FALSE;
}

MIREL_API void MIREL_CALL Mirel_SetActiveLineType(HWND hWnd, int nType) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetActiveLineType(nType);
}

MIREL_API void MIREL_CALL Mirel_SetShowMatchingBrace(HWND hWnd, BOOL bShow) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetShowMatchingBrace(bShow);
}

MIREL_API void MIREL_CALL Mirel_SetViewType(HWND hWnd, int nViewType) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) MrGuarded([&] { return pdoc->SetViewType(nViewType); });
}

// --- Editing behaviour and state

MIREL_API BOOL MIREL_CALL Mirel_IsModified(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsModified() : FALSE;
}

MIREL_API void MIREL_CALL Mirel_SetModified(HWND hWnd, BOOL bModified) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetModified(bModified);
}

MIREL_API BOOL MIREL_CALL Mirel_IsReadOnly(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsReadOnly() : FALSE;
}

MIREL_API void MIREL_CALL Mirel_SetReadOnly(HWND hWnd, BOOL bReadOnly) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetReadOnly(bReadOnly);
}

MIREL_API BOOL MIREL_CALL Mirel_IsOverwriteMode(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->IsOverwriteMode() : FALSE;
}

MIREL_API void MIREL_CALL Mirel_SetOverwriteMode(HWND hWnd, BOOL bEnable) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetOverwriteMode(bEnable);
}

MIREL_API void MIREL_CALL Mirel_SetAutoIndentation(HWND hWnd, BOOL bEnable) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetAutoIndentation(bEnable);
}

MIREL_API void MIREL_CALL Mirel_SetSyntaxIndentation(HWND hWnd, BOOL bEnable) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetSyntaxIndentation(bEnable);
}

MIREL_API void MIREL_CALL Mirel_SetSkipEmptyLineOnBlockIndent(HWND hWnd, BOOL bEnable) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetSkipEmptyLineOnBlockIndent(bEnable);
}

MIREL_API void MIREL_CALL Mirel_SetTabToSpace(HWND hWnd, BOOL bEnable) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetTabToSpace(bEnable);
}

MIREL_API void MIREL_CALL Mirel_SetHomeToFirstCol(HWND hWnd, BOOL bEnable) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->SetHomeToFirstCol(bEnable);
}

MIREL_API void MIREL_CALL Mirel_WantTab(HWND hWnd, BOOL bWantTab) {
  const MrLibraryFrame frame;
  if (CMirelDoc* pdoc = MirelFindDoc(hWnd)) pdoc->WantTab(bWantTab);
}

}  // extern "C"
