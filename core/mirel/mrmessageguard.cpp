// The failure results of the library's window procedures.
#include "mirel/mrmessageguard.h"

LRESULT MrFailedMessageResult(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept {
  switch (uMsg) {
    case WM_NCCREATE:
      return FALSE;
    case WM_CREATE:
      return -1;
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_NCCALCSIZE:
    case WM_NCHITTEST:
    case WM_SETCURSOR:
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    default:
      return 0;
  }
}
