// The window manager's shared state, window lookup, geometry helpers and the
// string atom table.
#include "user/user_state.h"

namespace mrw_user {

namespace {

// The desktop window: root of all top-level windows, the size of the screen.
constexpr char kDesktopClassName[] = "#32769";
constexpr UINT_PTR kDesktopHandle = 0x10010;

LRESULT CALLBACK DesktopProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hWnd, msg, wParam, lParam);
}

}  // namespace

UserState::UserState() {
  auto cls = std::make_shared<WindowClass>();
  cls->name = kDesktopClassName;
  cls->proc = DesktopProc;
  cls->system = true;
  classes.push_back(cls);

  auto w = std::make_shared<Window>();
  w->hwnd = reinterpret_cast<HWND>(kDesktopHandle);
  w->cls = cls;
  w->proc = DesktopProc;
  w->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  w->cx = 1024;
  w->cy = 768;
  w->state = WindowState::kAlive;
  cls->windowCount = 1;
  desktop = w->hwnd;
  windows.emplace(desktop, w);
}

UserState& State() {
  static UserState* state = new UserState();  // never destroyed: windows may outlive static destructors
  return *state;
}

WindowPtr FindWindowPtr(HWND hWnd) {
  if (!hWnd) return nullptr;
  UserState& s = State();
  auto it = s.windows.find(hWnd);
  if (it == s.windows.end() || it->second->state == WindowState::kGone) return nullptr;
  return it->second;
}

WindowPtr RequireWindow(HWND hWnd) {
  WindowPtr w = FindWindowPtr(hWnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

bool IsAlive(const WindowPtr& w) {
  return w && w->state != WindowState::kGone;
}

bool IsTopLevel(const Window& w) {
  return w.parent == State().desktop;
}

POINT ClientOrigin(const Window& w) {
  // Sums in 64 bits and clamps: positions are host input and may be extreme.
  long long x = 0;
  long long y = 0;
  const Window* p = &w;
  HWND desktop = State().desktop;
  while (p && p->hwnd != desktop) {
    x += p->x;
    y += p->y;
    WindowPtr parent = FindWindowPtr(p->parent);
    p = parent.get();
  }
  return POINT{ClampLong(x), ClampLong(y)};
}

bool IsShown(const Window& w) {
  const Window* p = &w;
  HWND desktop = State().desktop;
  while (p) {
    if (!(p->style & WS_VISIBLE)) return false;
    if (p->hwnd == desktop) return true;
    WindowPtr parent = FindWindowPtr(p->parent);
    p = parent.get();
  }
  return false;
}

RECT VisibleClientRect(const Window& w) {
  RECT visible = {0, 0, w.cx, w.cy};
  POINT origin = ClientOrigin(w);
  HWND desktop = State().desktop;
  WindowPtr p = FindWindowPtr(w.parent);
  while (p && p->hwnd != desktop) {
    POINT po = ClientOrigin(*p);
    long long left = static_cast<long long>(po.x) - origin.x;
    long long top = static_cast<long long>(po.y) - origin.y;
    RECT parentRect = {ClampLong(left), ClampLong(top), ClampLong(left + p->cx), ClampLong(top + p->cy)};
    visible = IntersectRects(visible, parentRect);
    p = FindWindowPtr(p->parent);
  }
  return visible;
}

std::string UpperAscii(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

ATOM FindAtom(const std::string& name) {
  UserState& s = State();
  auto it = s.atomsByName.find(UpperAscii(name));
  return it == s.atomsByName.end() ? 0 : it->second;
}

ATOM AddAtom(const std::string& name) {
  constexpr size_t kMaxAtomName = 255;
  if (name.empty() || name.size() > kMaxAtomName) return 0;
  if (ATOM existing = FindAtom(name)) return existing;
  UserState& s = State();
  if (s.nextAtom == 0) return 0;  // table full: all of 0xC000..0xFFFF handed out
  ATOM atom = s.nextAtom;
  s.nextAtom = static_cast<ATOM>(atom == 0xFFFF ? 0 : atom + 1);
  s.atomsByName.emplace(UpperAscii(name), atom);
  s.namesByAtom.emplace(atom, name);
  return atom;
}

std::string AtomName(ATOM atom) {
  UserState& s = State();
  auto it = s.namesByAtom.find(atom);
  return it == s.namesByAtom.end() ? std::string() : it->second;
}

LRESULT CallProc(WNDPROC proc, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return 0;
  UserState& s = State();
  if (s.sendDepth >= kMaxSendDepth) return 0;
  ++s.sendDepth;
  LRESULT result = proc(hWnd, msg, wParam, lParam);
  --s.sendDepth;
  return result;
}

LRESULT Send(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WindowPtr w = FindWindowPtr(hWnd);
  if (!w) return 0;
  return CallProc(w->proc, hWnd, msg, wParam, lParam);
}

}  // namespace mrw_user

// Contract with the graphics part.
bool MrwUserGetClientSize(HWND hWnd, int* pcx, int* pcy) {
  mrw_user::WindowPtr w = mrw_user::FindWindowPtr(hWnd);
  if (!w) return false;
  if (pcx) *pcx = w->cx;
  if (pcy) *pcy = w->cy;
  return true;
}

bool MrwUserIsWindow(HWND hWnd) {
  return mrw_user::FindWindowPtr(hWnd) != nullptr;
}
