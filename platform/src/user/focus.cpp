// Keyboard focus, mouse capture and window activation.
#include "user/user_state.h"

namespace mrw_user {

namespace {

bool InTree(HWND root, HWND h) {
  for (WindowPtr w = FindWindowPtr(h); w; w = FindWindowPtr(w->parent))
    if (w->hwnd == root) return true;
  return false;
}

}  // namespace

HWND ActivateWindow(HWND hWnd) {
  UserState& s = State();
  HWND root = GetAncestor(hWnd, GA_ROOT);
  HWND old = s.active;
  if (!root || root == old) return old;
  if (old) Send(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(root));
  if (!FindWindowPtr(root)) return old;
  s.active = root;
  Send(root, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
  return old;
}

void ReleaseFocusAndCaptureFor(HWND hWnd) {
  UserState& s = State();
  if (s.focus && InTree(hWnd, s.focus)) {
    HWND old = s.focus;
    s.focus = nullptr;
    Send(old, WM_KILLFOCUS, 0, 0);
  }
  if (s.capture && InTree(hWnd, s.capture)) {
    HWND old = s.capture;
    s.capture = nullptr;
    Send(old, WM_CAPTURECHANGED, 0, 0);
  }
}

}  // namespace mrw_user

using namespace mrw_user;

HWND WINAPI SetFocus(HWND hWnd) {
  UserState& s = State();
  HWND previous = s.focus;
  if (!hWnd) {
    if (previous) {
      Send(previous, WM_KILLFOCUS, 0, 0);
      if (s.focus == previous) s.focus = nullptr;
    }
    return previous;
  }
  WindowPtr w = RequireWindow(hWnd);
  if (!w || hWnd == s.desktop) return nullptr;
  if (s.focus == hWnd) return previous;
  // Focus goes to a window of the active window; activating it first lets
  // the top-level window see WM_ACTIVATE (and take the focus itself).
  HWND root = GetAncestor(hWnd, GA_ROOT);
  if (root && root != s.active) ActivateWindow(root);
  if (!IsAlive(w)) return nullptr;
  HWND old = s.focus;
  if (old == hWnd) return previous;
  if (old) {
    Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    if (!IsAlive(w)) return nullptr;
  }
  s.focus = hWnd;
  Send(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(FindWindowPtr(old) ? old : nullptr), 0);
  return previous;
}

HWND WINAPI GetFocus(void) {
  return State().focus;
}

HWND WINAPI SetCapture(HWND hWnd) {
  UserState& s = State();
  if (!RequireWindow(hWnd)) return nullptr;
  HWND previous = s.capture;
  s.capture = hWnd;
  if (previous && previous != hWnd) Send(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
  return previous;
}

BOOL WINAPI ReleaseCapture(void) {
  UserState& s = State();
  HWND old = s.capture;
  s.capture = nullptr;
  if (old) Send(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND WINAPI GetCapture(void) {
  return State().capture;
}

HWND WINAPI GetActiveWindow(void) {
  return State().active;
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
  if (!RequireWindow(hWnd)) return nullptr;
  return ActivateWindow(hWnd);
}

HWND WINAPI GetForegroundWindow(void) {
  return State().active;
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
  if (!RequireWindow(hWnd)) return FALSE;
  ActivateWindow(hWnd);
  return TRUE;
}
