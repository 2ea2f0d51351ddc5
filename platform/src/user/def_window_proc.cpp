// Default message processing and calls through saved window procedures.
#include <algorithm>
#include <cstring>
#include <string>

#include <windowsx.h>

#include "internal.h"
#include "user/user_state.h"

namespace mrw_user {

namespace {

// The result-string part of WM_IME_COMPOSITION (GCS_RESULTSTR in imm.h).
constexpr LPARAM kGcsResultStr = 0x0800;

// A class brush may name a system colour as COLOR_xxx + 1.
HBRUSH ResolveBrush(HBRUSH brush) {
  ULONG_PTR value = reinterpret_cast<ULONG_PTR>(brush);
  if (value != 0 && value <= COLOR_MENUBAR + 1) return GetSysColorBrush(static_cast<int>(value - 1));
  return brush;
}

LRESULT EraseBackground(const Window& w, HDC hdc) {
  HBRUSH brush = ResolveBrush(w.cls->hbrBackground);
  if (!brush || !hdc) return 0;
  RECT client = {0, 0, w.cx, w.cy};
  FillRect(hdc, &client, brush);
  return 1;
}

LRESULT SetCursorDefault(const WindowPtr& w, WPARAM wParam, LPARAM lParam) {
  // The parent decides first.
  if ((w->style & WS_CHILD) && !IsTopLevel(*w)) {
    if (Send(w->parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
    if (!IsAlive(w)) return FALSE;
  }
  if (static_cast<short>(LOWORD(lParam)) == HTCLIENT) {
    if (w->cls->hCursor) SetCursor(w->cls->hCursor);
    return TRUE;
  }
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  return FALSE;
}

LRESULT HitTest(const Window& w, LPARAM lParam) {
  POINT o = ClientOrigin(w);
  long long x = GET_X_LPARAM(lParam);
  long long y = GET_Y_LPARAM(lParam);
  bool inside = x >= o.x && y >= o.y && x < static_cast<long long>(o.x) + w.cx &&
                y < static_cast<long long>(o.y) + w.cy;
  return inside ? HTCLIENT : HTNOWHERE;
}

LRESULT CopyText(const Window& w, WPARAM cchMax, LPSTR buffer) {
  if (!buffer || cchMax == 0) return 0;
  size_t n = std::min(w.text.size(), static_cast<size_t>(cchMax - 1));
  std::memcpy(buffer, w.text.data(), n);
  buffer[n] = '\0';
  return static_cast<LRESULT>(n);
}

LRESULT ForwardToParent(const Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!(w.style & WS_CHILD) || IsTopLevel(w)) return 0;
  return Send(w.parent, msg, wParam, lParam);
}

}  // namespace

}  // namespace mrw_user

using namespace mrw_user;

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  WindowPtr w = FindWindowPtr(hWnd);
  if (!w) return 0;
  switch (Msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) Send(hWnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(hWnd, &ps)) EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return EraseBackground(*w, reinterpret_cast<HDC>(wParam));
    case WM_SETCURSOR:
      return SetCursorDefault(w, wParam, lParam);
    case WM_NCHITTEST:
      return HitTest(*w, lParam);
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_CONTEXTMENU:
      return ForwardToParent(*w, Msg, wParam, lParam);
    case WM_MOUSEACTIVATE: {
      LRESULT r = ForwardToParent(*w, Msg, wParam, lParam);
      return r ? r : MA_ACTIVATE;
    }
    case WM_SETTEXT: {
      LPCSTR text = reinterpret_cast<LPCSTR>(lParam);
      w->text = text ? text : "";
      return TRUE;
    }
    case WM_GETTEXT:
      return CopyText(*w, wParam, reinterpret_cast<LPSTR>(lParam));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_WINDOWPOSCHANGED: {
      auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (!wp) return 0;
      UINT flags = wp->flags;
      if (!(flags & kSwpNoClientMove)) Send(hWnd, WM_MOVE, 0, MAKELPARAM(w->x, w->y));
      if (!(flags & kSwpNoClientSize) && IsAlive(w))
        Send(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->cx, w->cy));
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(hWnd);
      return 0;
    case WM_SETREDRAW:
      // Drawing is switched off by hiding the window without any message.
      if (wParam)
        w->style |= WS_VISIBLE;
      else
        w->style &= ~WS_VISIBLE;
      return 0;
    case WM_CANCELMODE:
      if (State().capture == hWnd) ReleaseCapture();
      return 0;
    case WM_IME_CHAR:
      // An ANSI window receives the character as WM_CHAR, a double-byte
      // character as its lead byte followed by its trail byte.
      if (HIBYTE(LOWORD(wParam))) PostMessageA(hWnd, WM_CHAR, HIBYTE(LOWORD(wParam)), lParam);
      PostMessageA(hWnd, WM_CHAR, LOBYTE(LOWORD(wParam)), lParam);
      return 0;
    case WM_IME_COMPOSITION: {
      // The result string comes back as one WM_IME_CHAR per character.
      std::string result;
      if ((lParam & kGcsResultStr) == 0 || !MrwImmGetResultString(hWnd, &result)) return 0;
      for (size_t i = 0; i < result.size();) {
        const BYTE b = static_cast<BYTE>(result[i]);
        if (i + 1 < result.size() && IsDBCSLeadByteEx(GetACP(), b)) {
          PostMessageA(hWnd, WM_IME_CHAR, static_cast<WPARAM>((b << 8) | static_cast<BYTE>(result[i + 1])),
                       1);
          i += 2;
        } else {
          PostMessageA(hWnd, WM_IME_CHAR, b, 1);
          ++i;
        }
      }
      return 0;
    }
    case WM_NCACTIVATE:
    case WM_QUERYENDSESSION:
      return TRUE;
    default:
      return 0;
  }
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return CallProc(lpPrevWndFunc, hWnd, Msg, wParam, lParam);
}
