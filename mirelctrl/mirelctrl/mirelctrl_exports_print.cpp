// Exported functions: printing.
#include "mirelctrl/mirelctrl.h"

#include "mirel/cmireldoc.h"
#include "mirel/cmrprintinfo.h"
#include "mirel/mrlibraryframe.h"
#include "mirel/mrnothrow.h"
#include "mirelctrl/mirelctrl_module.h"

extern "C" {

MIREL_API void MIREL_CALL Mirel_PreparePrint(HWND hWnd, MIREL_PRINT_PARAM* pParam) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  if (pdoc == nullptr || pParam == nullptr) return;
  CMrPrintInfo* pInfo = pdoc->GetOrCreatePrintInfo();
  if (pInfo == nullptr) {
    pParam->nLinesPerPage = 0;
    pParam->nPageCount = 0;
    return;
  }
  pInfo->hDC = pParam->hDC;
  pInfo->bColor = pParam->bColor;
  pInfo->bLineNo = pParam->bLineNo;
  pInfo->nWrapMode = static_cast<BYTE>(pParam->nWrapMode & 0xFF);
  pInfo->nReserved = pParam->nReserved;
  SetRect(&pInfo->rcPrint, pParam->rcPrint.left, pParam->rcPrint.top, pParam->rcPrint.right,
          pParam->rcPrint.bottom);
  // Pages the memory could not be found for are no pages.
  const bool bPrepared = MrNoThrowVoid([&] { pdoc->PreparePrint(pInfo); });
  pParam->nLinesPerPage = bPrepared ? pInfo->nLinesPerPage : 0;
  pParam->nPageCount = bPrepared ? pInfo->nPageCount : 0;
}

MIREL_API void MIREL_CALL Mirel_PrintPage(HWND hWnd, HDC hDC, int nPage) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  CMrPrintInfo* pInfo = pdoc ? pdoc->GetPrintInfo() : nullptr;
  if (pInfo == nullptr) return;
  pInfo->hDC = hDC;
  MrGuarded([&] { return pdoc->PrintPage(pInfo, nPage); });
}

MIREL_API void MIREL_CALL Mirel_EndPrint(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  if (pdoc != nullptr && pdoc->GetPrintInfo() != nullptr) pdoc->EndPrint(pdoc->GetPrintInfo());
}

}  // extern "C"
