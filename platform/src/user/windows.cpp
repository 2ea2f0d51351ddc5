// Window objects: creation, destruction, handles, the window tree, window
// data (Get/SetWindowLong) and window text.
#include <algorithm>
#include <cstring>

#include "user/user_state.h"

namespace mrw_user {

std::shared_ptr<WindowClass> FindClass(LPCSTR name, HINSTANCE hInstance, bool lenient);

namespace {

// Size and place of a top-level window created with CW_USEDEFAULT.
constexpr int kDefaultX = 16;
constexpr int kDefaultY = 16;
constexpr int kDefaultWidth = 768;
constexpr int kDefaultHeight = 576;

HWND NewHandle() {
  UserState& s = State();
  if (s.recycledHandle && s.windows.find(s.recycledHandle) == s.windows.end()) {
    HWND h = s.recycledHandle;
    s.recycledHandle = nullptr;
    return h;
  }
  s.recycledHandle = nullptr;
  for (;;) {
    HWND h = reinterpret_cast<HWND>(s.nextHandle);
    s.nextHandle += 2;
    if (s.windows.find(h) == s.windows.end()) return h;
  }
}

void Unlink(Window& w) {
  if (WindowPtr parent = FindWindowPtr(w.parent)) {
    auto& c = parent->children;
    c.erase(std::remove(c.begin(), c.end(), w.hwnd), c.end());
  }
}

// Owned top-level windows of `owner`, in z-order.
std::vector<HWND> OwnedWindows(HWND owner) {
  std::vector<HWND> owned;
  WindowPtr desktop = FindWindowPtr(State().desktop);
  for (HWND h : desktop->children) {
    WindowPtr w = FindWindowPtr(h);
    if (w && w->owner == owner) owned.push_back(h);
  }
  return owned;
}

// WM_DESTROY goes to the window first, then to its children, so during the
// message all child windows still exist.
void SendDestroyMessages(const WindowPtr& w) {
  if (!IsAlive(w) || w->destroyMessagesSent) return;
  w->destroyMessagesSent = true;
  w->state = WindowState::kDestroying;
  CallProc(w->proc, w->hwnd, WM_DESTROY, 0, 0);
  std::vector<HWND> children = w->children;
  for (HWND child : children) SendDestroyMessages(FindWindowPtr(child));
}

// WM_NCDESTROY goes to the children first; then the window is gone.
void FreeWindow(const WindowPtr& w) {
  if (!IsAlive(w)) return;
  std::vector<HWND> children = w->children;
  for (HWND child : children) FreeWindow(FindWindowPtr(child));
  if (!IsAlive(w)) return;
  CallProc(w->proc, w->hwnd, WM_NCDESTROY, 0, 0);
  if (!IsAlive(w)) return;
  // Children created during the destruction messages are freed too.
  children = w->children;
  for (HWND child : children) FreeWindow(FindWindowPtr(child));
  w->state = WindowState::kGone;
  ForgetWindowMessages(w->hwnd);
  ForgetWindowDCs(*w);
  MrwGdiWindowDestroyed(w->hwnd);
  Unlink(*w);
  w->cls->windowCount--;
  State().windows.erase(w->hwnd);
}

void Destroy(const WindowPtr& w) {
  UserState& s = State();
  if (!IsAlive(w) || w->destroyMessagesSent) return;
  // Owned windows go first, completely.
  for (HWND owned : OwnedWindows(w->hwnd)) Destroy(FindWindowPtr(owned));
  if (!IsAlive(w) || w->destroyMessagesSent) return;

  if (!(w->exStyle & WS_EX_NOPARENTNOTIFY) && (w->style & WS_CHILD)) {
    if (WindowPtr parent = FindWindowPtr(w->parent))
      if (parent->hwnd != s.desktop)
        CallProc(parent->proc, parent->hwnd, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, LOWORD(w->id)),
                 reinterpret_cast<LPARAM>(w->hwnd));
  }
  if (!IsAlive(w) || w->destroyMessagesSent) return;
  // A visible window is hidden first, which also moves the focus away.
  if (w->style & WS_VISIBLE) {
    SetWindowPosInternal(w, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!IsAlive(w) || w->destroyMessagesSent) return;
  }
  ReleaseFocusAndCaptureFor(w->hwnd);
  ClipboardWindowDestroyed(w->hwnd);
  if (s.active == w->hwnd) s.active = nullptr;
  SendDestroyMessages(w);
  FreeWindow(w);
}

bool IsDescendantOrSelf(HWND ancestor, HWND h) {
  for (WindowPtr w = FindWindowPtr(h); w; w = FindWindowPtr(w->parent))
    if (w->hwnd == ancestor) return true;
  return false;
}

// Whether `h` is `start` or one of the windows owning it.
bool OwnerChainContains(HWND start, HWND h) {
  for (WindowPtr w = FindWindowPtr(start); w; w = FindWindowPtr(w->owner))
    if (w->hwnd == h) return true;
  return false;
}

HWND PublicParent(const Window& w) {
  return w.parent == State().desktop ? nullptr : w.parent;
}

// Window data reached through GetWindowLong/SetWindowLong indices.
bool ReadLong(const Window& w, int index, LONG_PTR* value, bool pointerSized) {
  if (index >= 0) {
    size_t size = pointerSized ? sizeof(LONG_PTR) : sizeof(LONG);
    if (static_cast<size_t>(index) + size > w.extra.size()) return false;
    if (pointerSized) {
      std::memcpy(value, &w.extra[static_cast<size_t>(index)], size);
    } else {
      LONG v;
      std::memcpy(&v, &w.extra[static_cast<size_t>(index)], size);
      *value = v;
    }
    return true;
  }
  switch (index) {
    case GWL_STYLE:
      *value = static_cast<LONG>(w.style);
      return true;
    case GWL_EXSTYLE:
      *value = static_cast<LONG>(w.exStyle);
      return true;
    case GWL_ID:
      *value = w.id;
      return true;
    case GWL_USERDATA:
      *value = w.userData;
      return true;
    case GWLP_WNDPROC:
      *value = reinterpret_cast<LONG_PTR>(w.proc);
      return true;
    case GWLP_HINSTANCE:
      *value = reinterpret_cast<LONG_PTR>(w.hInstance);
      return true;
    case GWLP_HWNDPARENT:
      *value = reinterpret_cast<LONG_PTR>((w.style & WS_CHILD) ? PublicParent(w) : w.owner);
      return true;
    default:
      return false;
  }
}

// Pointer-valued indices cannot travel through a 32-bit LONG when pointers
// are wider; the LONG functions refuse them then, as 64-bit Windows does.
constexpr bool IsPointerIndex(int index) {
  return index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT;
}

LONG_PTR GetLong(HWND hWnd, int index, bool pointerSized) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return 0;
  if (!pointerSized && sizeof(LONG_PTR) > sizeof(LONG) && IsPointerIndex(index)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  LONG_PTR value = 0;
  if (!ReadLong(*w, index, &value, pointerSized)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  return pointerSized ? value : static_cast<LONG>(value);
}

LONG_PTR SetStyle(const WindowPtr& w, int index, DWORD newStyle) {
  DWORD& field = index == GWL_STYLE ? w->style : w->exStyle;
  STYLESTRUCT ss = {field, newStyle};
  LONG_PTR old = static_cast<LONG>(field);
  CallProc(w->proc, w->hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
  if (!IsAlive(w)) return old;
  ss.styleOld = field;
  field = ss.styleNew;
  CallProc(w->proc, w->hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
  return old;
}

LONG_PTR SetLong(HWND hWnd, int index, LONG_PTR value, bool pointerSized) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return 0;
  if (w->hwnd == State().desktop) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  if (!pointerSized && sizeof(LONG_PTR) > sizeof(LONG) && IsPointerIndex(index)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  if (!pointerSized) value = static_cast<LONG>(value);
  LONG_PTR old = 0;
  if (!ReadLong(*w, index, &old, pointerSized)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  if (!pointerSized) old = static_cast<LONG>(old);
  if (index >= 0) {
    size_t at = static_cast<size_t>(index);
    if (pointerSized) {
      std::memcpy(&w->extra[at], &value, sizeof(LONG_PTR));
    } else {
      LONG v = static_cast<LONG>(value);
      std::memcpy(&w->extra[at], &v, sizeof(LONG));
    }
    return old;
  }
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE:
      return SetStyle(w, index, static_cast<DWORD>(value));
    case GWL_ID:
      w->id = value;
      break;
    case GWL_USERDATA:
      w->userData = value;
      break;
    case GWLP_WNDPROC:
      if (!value) {  // a window without a procedure could not answer any message
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      w->proc = reinterpret_cast<WNDPROC>(value);
      break;
    case GWLP_HINSTANCE:
      w->hInstance = reinterpret_cast<HINSTANCE>(value);
      break;
    case GWLP_HWNDPARENT:
      // Changes the owner of a top-level window; a child's parent changes only
      // through SetParent.
      if (!(w->style & WS_CHILD)) {
        HWND owner = reinterpret_cast<HWND>(value);
        if (owner) owner = FindWindowPtr(owner) ? GetAncestor(owner, GA_ROOT) : nullptr;
        if (reinterpret_cast<HWND>(value) && (!owner || OwnerChainContains(owner, w->hwnd))) {
          SetLastError(ERROR_INVALID_PARAMETER);
          return 0;
        }
        w->owner = owner;
      }
      break;
  }
  return old;
}

}  // namespace

}  // namespace mrw_user

using namespace mrw_user;

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  UserState& s = State();
  std::shared_ptr<WindowClass> cls = FindClass(lpClassName, hInstance, true);
  if (!cls) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  // A message-only window is kept as a hidden top-level window.
  bool messageOnly = hWndParent == HWND_MESSAGE;
  if (messageOnly) {
    hWndParent = nullptr;
    dwStyle &= ~(WS_CHILD | WS_VISIBLE);
  }
  WindowPtr parent;
  if (hWndParent) {
    parent = FindWindowPtr(hWndParent);
    if (!parent) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
  }
  bool child = (dwStyle & WS_CHILD) != 0;
  if (child && !parent) {
    SetLastError(ERROR_TLW_WITH_WSCHILD);
    return nullptr;
  }
  if (!child && !(dwStyle & WS_POPUP))
    dwStyle |= WS_CLIPSIBLINGS | WS_CAPTION;  // overlapped windows have a title bar

  // Size and place; CW_USEDEFAULT means (0, 0) for child and pop-up windows.
  bool overlapped = !child && !(dwStyle & WS_POPUP);
  if (X == CW_USEDEFAULT) {
    X = overlapped ? kDefaultX : 0;
    Y = overlapped ? kDefaultY : 0;
  }
  if (nWidth == CW_USEDEFAULT) {
    nWidth = overlapped ? kDefaultWidth : 0;
    nHeight = overlapped ? kDefaultHeight : 0;
  }
  nWidth = std::max(nWidth, 0);
  nHeight = std::max(nHeight, 0);

  auto w = std::make_shared<Window>();
  w->hwnd = NewHandle();
  w->cls = cls;
  w->proc = cls->proc;
  w->style = dwStyle & ~WS_VISIBLE;
  w->exStyle = dwExStyle;
  w->hInstance = hInstance;
  w->extra.assign(static_cast<size_t>(cls->cbWndExtra), 0);
  w->x = X;
  w->y = Y;
  w->cx = nWidth;
  w->cy = nHeight;
  if (child) {
    w->parent = parent->hwnd;
    w->id = reinterpret_cast<LONG_PTR>(hMenu);
    parent->children.push_back(w->hwnd);  // new children go to the bottom of the z-order
  } else {
    w->parent = s.desktop;
    w->owner = parent ? GetAncestor(parent->hwnd, GA_ROOT) : nullptr;
    w->id = reinterpret_cast<LONG_PTR>(hMenu);
    WindowPtr desktop = FindWindowPtr(s.desktop);
    desktop->children.insert(desktop->children.begin(), w->hwnd);  // new top-level windows go on top
  }
  cls->windowCount++;
  s.windows.emplace(w->hwnd, w);
  HWND hwnd = w->hwnd;

  if ((dwStyle & WS_THICKFRAME) || overlapped) {
    MINMAXINFO mmi = {};
    mmi.ptMaxSize = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    mmi.ptMaxPosition = {0, 0};
    mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    CallProc(w->proc, hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    if (!IsAlive(w)) return nullptr;
    w->cx = std::max<int>(std::min<int>(w->cx, mmi.ptMaxTrackSize.x), mmi.ptMinTrackSize.x);
    w->cy = std::max<int>(std::min<int>(w->cy, mmi.ptMaxTrackSize.y), mmi.ptMinTrackSize.y);
    w->cx = std::max(w->cx, 0);
    w->cy = std::max(w->cy, 0);
  }

  CREATESTRUCTA cs = {};
  cs.lpCreateParams = lpParam;
  cs.hInstance = hInstance;
  cs.hMenu = hMenu;
  cs.hwndParent = parent ? parent->hwnd : nullptr;
  cs.cx = w->cx;
  cs.cy = w->cy;
  cs.x = w->x;
  cs.y = w->y;
  cs.style = static_cast<LONG>(dwStyle);
  cs.lpszName = lpWindowName;
  cs.lpszClass = lpClassName;
  cs.dwExStyle = dwExStyle;

  if (!CallProc(w->proc, hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (IsAlive(w)) {
      // Refused: the window never existed for its procedure beyond this point.
      w->destroyMessagesSent = true;
      FreeWindow(w);
    }
    return nullptr;
  }
  if (!IsAlive(w)) return nullptr;

  RECT rc = {w->x, w->y, ClampLong(static_cast<long long>(w->x) + w->cx),
             ClampLong(static_cast<long long>(w->y) + w->cy)};
  CallProc(w->proc, hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rc));
  if (!IsAlive(w)) return nullptr;

  if (CallProc(w->proc, hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (IsAlive(w)) {
      w->state = WindowState::kAlive;
      DestroyWindow(hwnd);
    }
    return nullptr;
  }
  if (!IsAlive(w)) return nullptr;
  w->state = WindowState::kAlive;

  // The initial size and place, as after any SetWindowPos.
  CallProc(w->proc, hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->cx, w->cy));
  if (!IsAlive(w)) return nullptr;
  CallProc(w->proc, hwnd, WM_MOVE, 0, MAKELPARAM(w->x, w->y));
  if (!IsAlive(w)) return nullptr;

  if (child && !(dwExStyle & WS_EX_NOPARENTNOTIFY)) {
    CallProc(parent->proc, parent->hwnd, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, LOWORD(w->id)),
             reinterpret_cast<LPARAM>(hwnd));
    if (!IsAlive(w)) return nullptr;
  }
  if (dwStyle & WS_VISIBLE) {
    ShowWindow(hwnd, SW_SHOW);
    if (!IsAlive(w)) return nullptr;
  }
  return hwnd;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return FALSE;
  if (w->hwnd == State().desktop) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  Destroy(w);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
  return FindWindowPtr(hWnd) != nullptr;
}

HWND WINAPI GetDesktopWindow(void) {
  return State().desktop;
}

HWND WINAPI GetParent(HWND hWnd) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return nullptr;
  if (w->style & WS_CHILD) return PublicParent(*w);
  if (w->style & WS_POPUP) return w->owner;
  return nullptr;
}

HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) {
  WindowPtr w = RequireWindow(hwnd);
  UserState& s = State();
  if (!w || w->hwnd == s.desktop) return nullptr;
  switch (gaFlags) {
    case GA_PARENT:
      return w->parent;
    case GA_ROOT:
    case GA_ROOTOWNER: {
      while (w->parent != s.desktop) {
        WindowPtr parent = FindWindowPtr(w->parent);
        if (!parent) break;
        w = parent;
      }
      if (gaFlags == GA_ROOTOWNER) {
        while (WindowPtr owner = FindWindowPtr(w->owner)) w = owner;  // owner chains have no cycles
      }
      return w->hwnd;
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
  WindowPtr w = FindWindowPtr(hWnd);
  while (w && (w->style & WS_CHILD)) {
    if (w->parent == hWndParent) return TRUE;
    w = FindWindowPtr(w->parent);
  }
  return FALSE;
}

HWND WINAPI SetParent(HWND hWndChild, HWND hWndNewParent) {
  UserState& s = State();
  WindowPtr w = RequireWindow(hWndChild);
  if (!w) return nullptr;
  WindowPtr newParent = RequireWindow(hWndNewParent ? hWndNewParent : s.desktop);
  if (!newParent) return nullptr;
  if (w->hwnd == s.desktop || IsDescendantOrSelf(w->hwnd, newParent->hwnd)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HWND old = w->parent;
  Unlink(*w);
  w->parent = newParent->hwnd;
  newParent->children.insert(newParent->children.begin(), w->hwnd);
  if (newParent->hwnd != s.desktop) w->owner = nullptr;
  if (IsShown(*w)) InvalidateTree(*w);
  return old;
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return nullptr;
  if (uCmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (uCmd == GW_OWNER) return w->owner;
  if (uCmd == GW_ENABLEDPOPUP) return nullptr;
  WindowPtr parent = FindWindowPtr(w->parent);
  if (!parent) return nullptr;  // the desktop has no siblings
  const auto& sib = parent->children;
  auto it = std::find(sib.begin(), sib.end(), w->hwnd);
  switch (uCmd) {
    case GW_HWNDFIRST:
      return sib.front();
    case GW_HWNDLAST:
      return sib.back();
    case GW_HWNDNEXT:
      return (it == sib.end() || it + 1 == sib.end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV:
      return (it == sib.end() || it == sib.begin()) ? nullptr : *(it - 1);
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

HWND WINAPI GetTopWindow(HWND hWnd) {
  return GetWindow(hWnd ? hWnd : State().desktop, GW_CHILD);
}

BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  if (!lpEnumFunc) return FALSE;
  WindowPtr root = FindWindowPtr(hWndParent ? hWndParent : State().desktop);
  if (!root) return FALSE;
  // Collects first: the callback may create or destroy windows.
  std::vector<HWND> all;
  std::vector<HWND> stack(root->children.rbegin(), root->children.rend());
  while (!stack.empty()) {
    HWND h = stack.back();
    stack.pop_back();
    WindowPtr w = FindWindowPtr(h);
    if (!w) continue;
    all.push_back(h);
    stack.insert(stack.end(), w->children.rbegin(), w->children.rend());
  }
  for (HWND h : all)
    if (FindWindowPtr(h) && !lpEnumFunc(h, lParam)) break;
  return TRUE;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w || !(w->style & WS_CHILD)) return 0;
  return static_cast<int>(w->id);
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
  WindowPtr w = RequireWindow(hDlg);
  if (!w) return nullptr;
  for (HWND h : w->children) {
    WindowPtr c = FindWindowPtr(h);
    if (c && (c->style & WS_CHILD) && static_cast<int>(c->id) == nIDDlgItem) return h;
  }
  SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return nullptr;
}

LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex) {
  return static_cast<LONG>(GetLong(hWnd, nIndex, false));
}

LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  return static_cast<LONG>(SetLong(hWnd, nIndex, dwNewLong, false));
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
  return GetLong(hWnd, nIndex, true);
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  return SetLong(hWnd, nIndex, dwNewLong, true);
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return FALSE;
  return CallProc(w->proc, hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w || !lpString || nMaxCount <= 0) return 0;
  lpString[0] = '\0';
  LRESULT n =
      CallProc(w->proc, hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString));
  return static_cast<int>(std::min<LRESULT>(std::max<LRESULT>(n, 0), nMaxCount - 1));
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return 0;
  return static_cast<int>(CallProc(w->proc, hWnd, WM_GETTEXTLENGTH, 0, 0));
}

void MrwTestRecycleNextHandle(HWND hWnd) {
  State().recycledHandle = hWnd;
}

void MrwTestDestroyAllWindows(void) {
  UserState& s = State();
  for (;;) {
    WindowPtr desktop = FindWindowPtr(s.desktop);
    if (desktop->children.empty()) break;
    HWND h = desktop->children.front();
    WindowPtr w = FindWindowPtr(h);
    if (!w || w->destroyMessagesSent) {
      // Cannot happen outside a destruction in progress; never loop forever.
      desktop->children.erase(desktop->children.begin());
      continue;
    }
    Destroy(w);
  }
}
