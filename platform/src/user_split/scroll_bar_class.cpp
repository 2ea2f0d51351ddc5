// The system's "ScrollBar" control class. A bar keeps its SB_CTL range, page
// and position (scroll_bars.cpp); its window paints itself in the scroll-bar
// colour, and a size box or size grip (SBS_SIZEBOX, SBS_SIZEGRIP) in the
// button face colour. Nothing reacts to the mouse: the stand-in is headless.
#include <memory>

#include "user/user_state.h"

namespace mrw_user {

namespace {

constexpr char kScrollBarClassName[] = "ScrollBar";

LRESULT CALLBACK ScrollBarProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers the whole bar
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(hWnd, &ps);
      if (hdc != nullptr) {
        RECT rc;
        GetClientRect(hWnd, &rc);
        const LONG lStyle = GetWindowLongA(hWnd, GWL_STYLE);
        const bool bBox = (lStyle & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0;
        FillRect(hdc, &rc, GetSysColorBrush(bBox ? COLOR_BTNFACE : COLOR_SCROLLBAR));
      }
      EndPaint(hWnd, &ps);
      return 0;
    }
    default:
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
  }
}

// Built-in classes exist from the start, like the desktop's.
const bool kRegistered = [] {
  auto cls = std::make_shared<WindowClass>();
  cls->name = kScrollBarClassName;
  cls->proc = ScrollBarProc;
  cls->style = CS_DBLCLKS | CS_VREDRAW | CS_HREDRAW;
  cls->hCursor = LoadCursorA(nullptr, IDC_ARROW);
  cls->system = true;
  State().classes.push_back(cls);
  return true;
}();

}  // namespace

}  // namespace mrw_user
