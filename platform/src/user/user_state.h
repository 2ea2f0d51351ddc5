// State shared by the window manager files: classes, windows, the message
// queue, focus and the clipboard. Everything runs on the one thread that owns
// the windows, as a Windows user-interface thread does.
#pragma once

#include <hooks_user.h>
#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "internal.h"
#include "user/update_region.h"

namespace mrw_user {

// Flags SetWindowPos adds to the WINDOWPOS of WM_WINDOWPOSCHANGED when the
// client area kept its place or size; DefWindowProcA then skips WM_MOVE or
// WM_SIZE. They share the values Windows uses internally for this purpose.
constexpr UINT kSwpNoClientSize = 0x0800;
constexpr UINT kSwpNoClientMove = 0x1000;

// Nested SendMessageA calls beyond this depth are refused instead of
// overflowing the stack.
constexpr int kMaxSendDepth = 1000;

// Coordinates are computed in 64 bits and stored clamped to 32.
constexpr LONG ClampLong(long long v) {
  return static_cast<LONG>(v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v));
}

constexpr RECT OffsetRectClamped(const RECT& r, long long dx, long long dy) {
  return RECT{ClampLong(r.left + dx), ClampLong(r.top + dy), ClampLong(r.right + dx),
              ClampLong(r.bottom + dy)};
}

struct WindowClass {
  ATOM atom = 0;
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HICON hIconSm = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  std::string menuName;     // when the menu is named by a string
  LPCSTR menuId = nullptr;  // when the menu is an integer resource (or none)
  int windowCount = 0;
  bool system = false;  // built-in classes cannot be unregistered
};

enum class WindowState { kCreating, kAlive, kDestroying, kGone };

struct Window {
  HWND hwnd = nullptr;
  std::shared_ptr<WindowClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;       // the desktop for top-level windows
  HWND owner = nullptr;        // top-level windows only
  std::vector<HWND> children;  // z-order, topmost first
  HINSTANCE hInstance = nullptr;
  LONG_PTR id = 0;  // child windows: control id; others: menu
  LONG_PTR userData = 0;
  std::vector<BYTE> extra;
  std::string text;
  // Position relative to the parent's client area (the screen for top-level
  // windows) and size. The client area is the whole window.
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  UpdateRegion update;
  bool erasePending = false;
  bool internalPaint = false;
  HDC ownDC = nullptr;
  WindowState state = WindowState::kCreating;
  bool destroyMessagesSent = false;
};

using WindowPtr = std::shared_ptr<Window>;

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  ULONGLONG due = 0;
  ULONGLONG serial = 0;  // creation order, to break ties between due timers
};

struct UserState {
  UserState();

  // Classes and the string atom table shared by class names, clipboard
  // formats and registered messages (as on Windows).
  std::vector<std::shared_ptr<WindowClass>> classes;
  std::map<std::string, ATOM> atomsByName;  // key: upper-cased name
  std::map<ATOM, std::string> namesByAtom;
  ATOM nextAtom = 0xC000;

  // Windows and handles.
  std::unordered_map<HWND, WindowPtr> windows;
  HWND desktop = nullptr;
  UINT_PTR nextHandle = 0x20000;
  HWND recycledHandle = nullptr;

  // Queue, timers, clock.
  std::deque<MSG> posted;
  bool quitPending = false;
  int quitCode = 0;
  std::vector<Timer> timers;
  ULONGLONG timerSerial = 0;
  UINT_PTR nextThreadTimerId = 0x7FF0;
  ULONGLONG clock = 0;
  DWORD lastMessageTime = 0;
  DWORD lastMessagePos = 0;
  int sendDepth = 0;
  BYTE keyState[256] = {};
  POINT cursorPos = {0, 0};
  HCURSOR cursor = nullptr;

  // Focus and activation.
  HWND focus = nullptr;
  HWND capture = nullptr;
  HWND active = nullptr;

  // Device contexts handed out by GetDC/GetWindowDC/BeginPaint that are not a
  // window's own DC, with the window they belong to.
  std::unordered_map<HDC, HWND> commonDCs;
};

UserState& State();

// Window lookup: null for NULL, unknown or destroyed handles. The
// returned pointer stays usable even if the window is destroyed meanwhile;
// check `state` after anything that may run a window procedure.
WindowPtr FindWindowPtr(HWND hWnd);
// Same, setting ERROR_INVALID_WINDOW_HANDLE when not found.
WindowPtr RequireWindow(HWND hWnd);
bool IsAlive(const WindowPtr& w);
bool IsTopLevel(const Window& w);

// Screen position of a window's client area.
POINT ClientOrigin(const Window& w);
// True when the window and all its ancestors are visible.
bool IsShown(const Window& w);
// The client rectangle in the window's own coordinates, clipped to the
// client areas of its ancestors: the part that can be seen and painted.
RECT VisibleClientRect(const Window& w);

// Atoms, case-insensitive.
ATOM AddAtom(const std::string& name);
ATOM FindAtom(const std::string& name);
std::string AtomName(ATOM atom);
std::string UpperAscii(const std::string& s);

// Calls a window procedure with the send-depth guard.
LRESULT CallProc(WNDPROC proc, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT Send(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Painting helpers used by positioning and showing.
void InvalidateClient(Window& w, const RECT* rect, bool erase);
void InvalidateTree(Window& w);

// The first window (parents before children, in z-order) that needs a
// WM_PAINT and matches the message filter window; `skip` lists windows left
// out. NULL when none.
HWND NextWindowToPaint(HWND filter, const std::vector<HWND>& skip);
bool NeedsPaint(const Window& w);

// Removes timers, queued messages and DCs of a window being destroyed.
void ForgetWindowMessages(HWND hWnd);
void ForgetWindowDCs(Window& w);

// Focus and capture leave a window tree that is being destroyed.
void ReleaseFocusAndCaptureFor(HWND hWnd);
// Clipboard ownership ends with the owner window.
void ClipboardWindowDestroyed(HWND hWnd);

// Positioning used by CreateWindowExA and ShowWindow.
BOOL SetWindowPosInternal(const WindowPtr& w, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);

// Activation; SetActiveWindow for a window known to be alive.
HWND ActivateWindow(HWND hWnd);

}  // namespace mrw_user
