/* The public header serves a host written in C: it compiles as C99 without
 * warnings and every function is reachable by its plain name. Compiled, not
 * run, by the Windows tree's tests. */
#include "mirelctrl/mirelctrl.h"

int MirelCHostCheck(HWND hWndParent) {
  char buf[4];
  HWND hWnd = Mirel_Create(hWndParent, 1, 0, 0, 100, 100, 0, WS_CHILD | WS_VISIBLE);
  int n = Mirel_NewFile(hWnd);
  n += Mirel_InsertA(hWnd, "text", 4, TRUE);
  n += Mirel_GetNewLineCodeA(hWnd, buf, (int)sizeof buf);
  n += Delete(hWnd, 0) + DeleteWord(hWnd);
  Mirel_SetBackColor(hWnd, MIREL_CLR_AUTO);
  n += Mirel_DetermineFileFormat("a\n", 2u, MIREL_ENCODING_ANSI);
  {
    MIREL_PRINT_PARAM param = {0};
    param.hDC = GetDC(hWnd);
    Mirel_PreparePrint(hWnd, &param);
    Mirel_PrintPage(hWnd, param.hDC, 0);
    Mirel_EndPrint(hWnd);
    n += param.nPageCount;
    ReleaseDC(hWnd, param.hDC);
  }
  Mirel_Destroy(hWnd);
  return n;
}
