// The caret: one per thread, owned by a window, hidden when created and
// shown once it has been shown as often as it was hidden. It goes away with
// DestroyCaret, with a new CreateCaret, or when its window is destroyed.
#include <hooks_user_extra.h>
#include <windows.h>

#include "internal.h"

namespace {

constexpr UINT kDefaultBlinkTime = 530;

struct Caret {
  HWND hOwner = nullptr;
  int nWidth = 0;
  int nHeight = 0;
  POINT pos{0, 0};
  int nHideCount = 1;  // a new caret is hidden
  UINT nBlinkTime = kDefaultBlinkTime;
  UINT nCreations = 0;  // for tests
};

Caret& State() {
  static Caret caret;
  return caret;
}

// The caret of a window that is gone no longer exists.
bool HasCaret() {
  Caret& c = State();
  if (c.hOwner != nullptr && !MrwUserIsWindow(c.hOwner)) {
    c.hOwner = nullptr;
    c.nHideCount = 1;
  }
  return c.hOwner != nullptr;
}

}  // namespace

extern "C" {

BOOL WINAPI CreateCaret(HWND hWnd, HBITMAP hBitmap, int nWidth, int nHeight) {
  if (!MrwUserIsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  (void)hBitmap;
  Caret& c = State();
  // Width and height 0 mean the system's border sizes.
  ++c.nCreations;
  c.hOwner = hWnd;
  c.nWidth = nWidth > 0 ? nWidth : GetSystemMetrics(SM_CXBORDER);
  c.nHeight = nHeight > 0 ? nHeight : GetSystemMetrics(SM_CYBORDER);
  c.nHideCount = 1;
  c.pos = POINT{0, 0};
  return TRUE;
}

BOOL WINAPI DestroyCaret(void) {
  if (!HasCaret()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  Caret& c = State();
  c.hOwner = nullptr;
  c.nHideCount = 1;
  return TRUE;
}

BOOL WINAPI SetCaretPos(int X, int Y) {
  if (!HasCaret()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  State().pos = POINT{X, Y};
  return TRUE;
}

BOOL WINAPI GetCaretPos(LPPOINT lpPoint) {
  if (lpPoint == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // Without a caret the last position is reported, as Windows does.
  *lpPoint = State().pos;
  return TRUE;
}

// NULL stands for the window that owns the caret.
BOOL WINAPI ShowCaret(HWND hWnd) {
  if (!HasCaret() || (hWnd != nullptr && hWnd != State().hOwner)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  Caret& c = State();
  if (c.nHideCount == 0) return FALSE;
  --c.nHideCount;
  return TRUE;
}

BOOL WINAPI HideCaret(HWND hWnd) {
  if (!HasCaret() || (hWnd != nullptr && hWnd != State().hOwner)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  ++State().nHideCount;
  return TRUE;
}

UINT WINAPI GetCaretBlinkTime(void) {
  return State().nBlinkTime;
}

BOOL WINAPI SetCaretBlinkTime(UINT uMSeconds) {
  State().nBlinkTime = uMSeconds;
  return TRUE;
}

BOOL WINAPI GetGUIThreadInfo(DWORD idThread, PGUITHREADINFO pgui) {
  if (pgui == nullptr || pgui->cbSize != sizeof(GUITHREADINFO)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The stand-in has one thread with windows.
  if (idThread != 0 && idThread != GetCurrentThreadId()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *pgui = GUITHREADINFO{};
  pgui->cbSize = sizeof(GUITHREADINFO);
  pgui->hwndActive = GetActiveWindow();
  pgui->hwndFocus = GetFocus();
  pgui->hwndCapture = GetCapture();
  if (HasCaret()) {
    const Caret& c = State();
    pgui->hwndCaret = c.hOwner;
    pgui->rcCaret = RECT{c.pos.x, c.pos.y, c.pos.x + c.nWidth, c.pos.y + c.nHeight};
    if (c.nHideCount == 0) pgui->flags |= GUI_CARETBLINKING;
  }
  return TRUE;
}

HWND MrwTestCaretOwner(void) {
  return HasCaret() ? State().hOwner : nullptr;
}

BOOL MrwTestCaretShown(void) {
  return HasCaret() && State().nHideCount == 0 ? TRUE : FALSE;
}

SIZE MrwTestCaretSize(void) {
  const Caret& c = State();
  return SIZE{HasCaret() ? c.nWidth : 0, HasCaret() ? c.nHeight : 0};
}

UINT MrwTestCaretCreations(void) {
  return State().nCreations;
}

}  // extern "C"
