// Window geometry and state: rectangles, coordinate mapping, moving and
// sizing, showing and hiding, enabling.
#include <algorithm>

#include "user/user_state.h"

namespace mrw_user {

namespace {

void Reorder(Window& w, HWND insertAfter) {
  WindowPtr parent = FindWindowPtr(w.parent);
  if (!parent || insertAfter == w.hwnd) return;
  auto& sib = parent->children;
  if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) insertAfter = HWND_TOP;
  if (insertAfter != HWND_TOP && insertAfter != HWND_BOTTOM &&
      std::find(sib.begin(), sib.end(), insertAfter) == sib.end())
    return;  // not a sibling: the order stays
  sib.erase(std::remove(sib.begin(), sib.end(), w.hwnd), sib.end());
  if (insertAfter == HWND_TOP) {
    sib.insert(sib.begin(), w.hwnd);
  } else if (insertAfter == HWND_BOTTOM) {
    sib.push_back(w.hwnd);
  } else {
    sib.insert(std::find(sib.begin(), sib.end(), insertAfter) + 1, w.hwnd);
  }
}

// After a resize, the newly uncovered strips need painting; classes with
// CS_HREDRAW/CS_VREDRAW repaint everything when the width/height changes.
void InvalidateAfterResize(Window& w, int oldCx, int oldCy) {
  bool widthChanged = oldCx != w.cx;
  bool heightChanged = oldCy != w.cy;
  UINT cs = w.cls->style;
  if ((widthChanged && (cs & CS_HREDRAW)) || (heightChanged && (cs & CS_VREDRAW))) {
    InvalidateClient(w, nullptr, true);
    return;
  }
  if (w.cx > oldCx) {
    RECT strip = {oldCx, 0, w.cx, w.cy};
    InvalidateClient(w, &strip, true);
  }
  if (w.cy > oldCy) {
    RECT strip = {0, oldCy, w.cx, w.cy};
    InvalidateClient(w, &strip, true);
  }
}

// A hidden window cannot keep the focus or stay active: a child passes the
// focus to its parent, a top-level window is deactivated and the focus is
// lost.
void LeaveHiddenWindow(const WindowPtr& w) {
  UserState& s = State();
  bool hasFocus = s.focus && (s.focus == w->hwnd || IsChild(w->hwnd, s.focus));
  if (!IsTopLevel(*w)) {
    if (hasFocus) SetFocus(w->parent);
    return;
  }
  if (s.active == w->hwnd) {
    s.active = nullptr;
    CallProc(w->proc, w->hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
  }
  if (hasFocus && s.focus && (s.focus == w->hwnd || IsChild(w->hwnd, s.focus))) SetFocus(nullptr);
}

bool IsActivatingShow(int nCmdShow) {
  switch (nCmdShow) {
    case SW_SHOWNORMAL:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMAXIMIZED:
    case SW_SHOW:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
      return true;
    default:
      return false;
  }
}

}  // namespace

BOOL SetWindowPosInternal(const WindowPtr& w, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  WINDOWPOS wp = {w->hwnd, insertAfter, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) {
    wp.x = w->x;
    wp.y = w->y;
  }
  if (flags & SWP_NOSIZE) {
    wp.cx = w->cx;
    wp.cy = w->cy;
  }
  if (!(flags & SWP_NOSENDCHANGING)) {
    CallProc(w->proc, w->hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!IsAlive(w)) return FALSE;
  }
  wp.hwnd = w->hwnd;
  wp.cx = std::max(wp.cx, 0);
  wp.cy = std::max(wp.cy, 0);
  bool moved = !(wp.flags & SWP_NOMOVE) && (wp.x != w->x || wp.y != w->y);
  bool sized = !(wp.flags & SWP_NOSIZE) && (wp.cx != w->cx || wp.cy != w->cy);
  if (moved || sized) {
    // The window may claim a non-client part; the stand-in keeps the client
    // area equal to the window, so the answer is not used.
    NCCALCSIZE_PARAMS nc = {};
    nc.rgrc[0] = RECT{wp.x, wp.y, ClampLong(static_cast<long long>(wp.x) + wp.cx),
                      ClampLong(static_cast<long long>(wp.y) + wp.cy)};
    nc.rgrc[1] = RECT{w->x, w->y, ClampLong(static_cast<long long>(w->x) + w->cx),
                      ClampLong(static_cast<long long>(w->y) + w->cy)};
    nc.rgrc[2] = nc.rgrc[1];
    WINDOWPOS ncPos = wp;
    nc.lppos = &ncPos;
    CallProc(w->proc, w->hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&nc));
    if (!IsAlive(w)) return FALSE;
  }
  int oldCx = w->cx;
  int oldCy = w->cy;
  if (moved) {
    w->x = wp.x;
    w->y = wp.y;
  }
  if (sized) {
    w->cx = wp.cx;
    w->cy = wp.cy;
    w->update.ClipTo(RECT{0, 0, w->cx, w->cy});
    MrwGdiWindowResized(w->hwnd, w->cx, w->cy);
  }
  if (!(wp.flags & SWP_NOZORDER)) Reorder(*w, wp.hwndInsertAfter);

  bool becameVisible = false;
  bool becameHidden = false;
  if ((wp.flags & SWP_SHOWWINDOW) && !(w->style & WS_VISIBLE)) {
    w->style |= WS_VISIBLE;
    becameVisible = true;
  } else if ((wp.flags & SWP_HIDEWINDOW) && (w->style & WS_VISIBLE)) {
    w->style &= ~WS_VISIBLE;
    becameHidden = true;
  }
  if (becameVisible) {
    if (IsShown(*w)) InvalidateTree(*w);
  } else if (sized && !(wp.flags & SWP_NOREDRAW)) {
    InvalidateAfterResize(*w, oldCx, oldCy);
  }

  WINDOWPOS changed = wp;
  changed.x = w->x;
  changed.y = w->y;
  changed.cx = w->cx;
  changed.cy = w->cy;
  if (!moved) changed.flags |= kSwpNoClientMove;
  if (!sized) changed.flags |= kSwpNoClientSize;
  CallProc(w->proc, w->hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&changed));
  if (becameHidden && IsAlive(w)) LeaveHiddenWindow(w);
  return TRUE;
}

}  // namespace mrw_user

using namespace mrw_user;

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w || !lpRect) return FALSE;
  *lpRect = RECT{0, 0, w->cx, w->cy};
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w || !lpRect) return FALSE;
  POINT o = ClientOrigin(*w);
  *lpRect = RECT{o.x, o.y, ClampLong(static_cast<long long>(o.x) + w->cx),
                 ClampLong(static_cast<long long>(o.y) + w->cy)};
  return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w || !lpPoint) return FALSE;
  POINT o = ClientOrigin(*w);
  lpPoint->x = ClampLong(static_cast<long long>(lpPoint->x) + o.x);
  lpPoint->y = ClampLong(static_cast<long long>(lpPoint->y) + o.y);
  return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w || !lpPoint) return FALSE;
  POINT o = ClientOrigin(*w);
  lpPoint->x = ClampLong(static_cast<long long>(lpPoint->x) - o.x);
  lpPoint->y = ClampLong(static_cast<long long>(lpPoint->y) - o.y);
  return TRUE;
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
  UserState& s = State();
  WindowPtr from = RequireWindow(hWndFrom ? hWndFrom : s.desktop);
  WindowPtr to = RequireWindow(hWndTo ? hWndTo : s.desktop);
  if (!from || !to) return 0;
  POINT a = ClientOrigin(*from);
  POINT b = ClientOrigin(*to);
  long long dx = static_cast<long long>(a.x) - b.x;
  long long dy = static_cast<long long>(a.y) - b.y;
  for (UINT i = 0; lpPoints && i < cPoints; ++i) {
    lpPoints[i].x = ClampLong(lpPoints[i].x + dx);
    lpPoints[i].y = ClampLong(lpPoints[i].y + dy);
  }
  SetLastError(0);
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return FALSE;
  if (w->hwnd == State().desktop) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  BOOL ok = SetWindowPosInternal(w, hWndInsertAfter, X, Y, cx, cy, uFlags);
  // Without SWP_NOACTIVATE a visible top-level window is activated as well.
  if (ok && IsAlive(w) && IsTopLevel(*w) && !(uFlags & SWP_NOACTIVATE) && IsShown(*w)) ActivateWindow(hWnd);
  return ok;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                      SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0u : static_cast<UINT>(SWP_NOREDRAW)));
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w || w->hwnd == State().desktop) return FALSE;
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  const UINT keep = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  if (nCmdShow == SW_HIDE) {
    if (!wasVisible) return FALSE;
    CallProc(w->proc, hWnd, WM_SHOWWINDOW, FALSE, 0);
    if (!IsAlive(w)) return TRUE;
    SetWindowPosInternal(w, nullptr, 0, 0, 0, 0, keep | SWP_HIDEWINDOW);
    return TRUE;
  }
  // Every other command shows the window in its normal state: the stand-in
  // has no minimised or maximised windows.
  if (!wasVisible) {
    CallProc(w->proc, hWnd, WM_SHOWWINDOW, TRUE, 0);
    if (!IsAlive(w)) return FALSE;
    SetWindowPosInternal(w, nullptr, 0, 0, 0, 0, keep | SWP_SHOWWINDOW);
    if (!IsAlive(w)) return FALSE;
  }
  if (IsTopLevel(*w) && IsActivatingShow(nCmdShow) && !(w->exStyle & WS_EX_NOACTIVATE)) ActivateWindow(hWnd);
  return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
  WindowPtr w = FindWindowPtr(hWnd);
  return w && IsShown(*w);
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return FALSE;
  bool wasDisabled = (w->style & WS_DISABLED) != 0;
  if (bEnable && wasDisabled) {
    w->style &= ~WS_DISABLED;
    CallProc(w->proc, hWnd, WM_ENABLE, TRUE, 0);
  } else if (!bEnable && !wasDisabled) {
    CallProc(w->proc, hWnd, WM_CANCELMODE, 0, 0);
    if (!IsAlive(w)) return FALSE;
    w->style |= WS_DISABLED;
    // A disabled window cannot keep the keyboard focus.
    UserState& s = State();
    if (s.focus && (s.focus == hWnd || IsChild(hWnd, s.focus))) SetFocus(nullptr);
    if (!IsAlive(w)) return FALSE;
    CallProc(w->proc, hWnd, WM_ENABLE, FALSE, 0);
  }
  return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
  WindowPtr w = FindWindowPtr(hWnd);
  return w && !(w->style & WS_DISABLED);
}
