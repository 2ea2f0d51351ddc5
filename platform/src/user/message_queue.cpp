// Sending and posting messages, the thread's message queue, timers on a
// virtual clock and the keyboard state.
//
// Retrieval order follows Windows: posted messages first, then WM_QUIT, then
// WM_PAINT for windows with something to paint, then WM_TIMER for timers
// that are due. Timers are due by a virtual clock that only tests advance
// (MrwTestAdvanceClock); GetTickCount keeps the real time. A GetMessageA that
// would wait lets the virtual clock run to the next timer; with no timer at
// all it would wait forever, so it reports the end of the loop instead (as if
// WM_QUIT with exit code 0 had been posted).
#include <algorithm>

#include "user/user_state.h"

namespace mrw_user {

namespace {

constexpr int kMaxPumpedMessages = 100000;

bool InRange(UINT msg, UINT min, UINT max) {
  return (min == 0 && max == 0) || (msg >= min && msg <= max);
}

bool WindowMatches(HWND msgWnd, HWND filter) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(-1)) return msgWnd == nullptr;
  return msgWnd == filter;
}

DWORD Now() {
  return static_cast<DWORD>(State().clock);
}

Timer* DueTimer(HWND filter) {
  UserState& s = State();
  Timer* best = nullptr;
  for (Timer& t : s.timers) {
    if (t.due > s.clock || !WindowMatches(t.hwnd, filter)) continue;
    if (!best || t.due < best->due || (t.due == best->due && t.serial < best->serial)) best = &t;
  }
  return best;
}

struct RetrieveOptions {
  HWND filter = nullptr;
  UINT min = 0;
  UINT max = 0;
  bool remove = true;
  bool quit = true;  // whether WM_QUIT may be returned
  const std::vector<HWND>* paintSkip = nullptr;
};

bool Retrieve(MSG* out, const RetrieveOptions& o) {
  UserState& s = State();
  for (auto it = s.posted.begin(); it != s.posted.end(); ++it) {
    if (!WindowMatches(it->hwnd, o.filter) || !InRange(it->message, o.min, o.max)) continue;
    *out = *it;
    if (o.remove) s.posted.erase(it);
    return true;
  }
  if (o.quit && s.quitPending) {
    *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(s.quitCode), 0, Now(), s.cursorPos};
    if (o.remove) s.quitPending = false;
    return true;
  }
  if (InRange(WM_PAINT, o.min, o.max)) {
    static const std::vector<HWND> kNone;
    HWND h = NextWindowToPaint(o.filter, o.paintSkip ? *o.paintSkip : kNone);
    if (h) {
      *out = MSG{h, WM_PAINT, 0, 0, Now(), s.cursorPos};
      return true;
    }
  }
  if (InRange(WM_TIMER, o.min, o.max)) {
    if (Timer* t = DueTimer(o.filter)) {
      *out = MSG{t->hwnd, WM_TIMER, t->id, reinterpret_cast<LPARAM>(t->proc), Now(), s.cursorPos};
      if (o.remove) t->due = s.clock + t->elapse;
      return true;
    }
  }
  return false;
}

void NoteRetrieved(const MSG& m) {
  UserState& s = State();
  s.lastMessageTime = m.time;
  s.lastMessagePos = static_cast<DWORD>(MAKELONG(static_cast<WORD>(m.pt.x), static_cast<WORD>(m.pt.y)));
}

bool FilterIsValid(HWND filter) {
  return !filter || filter == reinterpret_cast<HWND>(-1) || FindWindowPtr(filter) != nullptr;
}

// Character a key produces on a US keyboard layout; 0 for none.
int KeyToChar(UINT vk, bool shift, bool caps, bool ctrl) {
  if (ctrl) {
    if (vk >= 'A' && vk <= 'Z') return static_cast<int>(vk - 'A' + 1);
    switch (vk) {
      case VK_OEM_4:
        return 0x1B;
      case VK_OEM_5:
        return 0x1C;
      case VK_OEM_6:
        return 0x1D;
      case VK_RETURN:
        return '\n';
      case VK_BACK:
        return 0x7F;
      case VK_CANCEL:
        return 0x03;
      case VK_SPACE:
        return ' ';
      default:
        return 0;
    }
  }
  if (vk >= 'A' && vk <= 'Z') return static_cast<int>((shift != caps) ? vk : vk - 'A' + 'a');
  if (vk >= '0' && vk <= '9') {
    static constexpr char kShiftedDigits[] = ")!@#$%^&*(";
    return shift ? kShiftedDigits[vk - '0'] : static_cast<int>(vk);
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<int>('0' + (vk - VK_NUMPAD0));
  struct Pair {
    UINT vk;
    char plain;
    char shifted;
  };
  static constexpr Pair kKeys[] = {
      {VK_SPACE, ' ', ' '},     {VK_RETURN, '\r', '\r'},  {VK_BACK, 8, 8},           {VK_TAB, '\t', '\t'},
      {VK_ESCAPE, 0x1B, 0x1B},  {VK_MULTIPLY, '*', '*'},  {VK_ADD, '+', '+'},        {VK_SUBTRACT, '-', '-'},
      {VK_DECIMAL, '.', '.'},   {VK_DIVIDE, '/', '/'},    {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'},
      {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
      {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},     {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},
      {VK_OEM_7, '\'', '"'},
  };
  for (const Pair& p : kKeys)
    if (p.vk == vk) return shift ? p.shifted : p.plain;
  return 0;
}

}  // namespace

void ForgetWindowMessages(HWND hWnd) {
  UserState& s = State();
  s.posted.erase(
      std::remove_if(s.posted.begin(), s.posted.end(), [&](const MSG& m) { return m.hwnd == hWnd; }),
      s.posted.end());
  s.timers.erase(
      std::remove_if(s.timers.begin(), s.timers.end(), [&](const Timer& t) { return t.hwnd == hWnd; }),
      s.timers.end());
}

}  // namespace mrw_user

using namespace mrw_user;

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd == HWND_BROADCAST) {
    WindowPtr desktop = FindWindowPtr(State().desktop);
    std::vector<HWND> all = desktop->children;
    for (HWND h : all) Send(h, Msg, wParam, lParam);
    return 0;
  }
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return 0;
  return CallProc(w->proc, hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  UserState& s = State();
  if (hWnd == HWND_BROADCAST) {
    WindowPtr desktop = FindWindowPtr(s.desktop);
    for (HWND h : desktop->children) s.posted.push_back(MSG{h, Msg, wParam, lParam, Now(), s.cursorPos});
    return TRUE;
  }
  if (hWnd && !RequireWindow(hWnd)) return FALSE;
  s.posted.push_back(MSG{hWnd, Msg, wParam, lParam, Now(), s.cursorPos});
  return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
  UserState& s = State();
  s.quitPending = true;
  s.quitCode = nExitCode;
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) return FALSE;
  if (!FilterIsValid(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  RetrieveOptions o;
  o.filter = hWnd;
  o.min = wMsgFilterMin;
  o.max = wMsgFilterMax;
  o.remove = (wRemoveMsg & PM_REMOVE) != 0;
  if (!Retrieve(lpMsg, o)) return FALSE;
  NoteRetrieved(*lpMsg);
  return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (!lpMsg || !FilterIsValid(hWnd)) {
    SetLastError(lpMsg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
    return -1;
  }
  UserState& s = State();
  RetrieveOptions o;
  o.filter = hWnd;
  o.min = wMsgFilterMin;
  o.max = wMsgFilterMax;
  for (;;) {
    if (Retrieve(lpMsg, o)) break;
    // Waiting: the virtual clock runs to the next timer, if there is one.
    ULONGLONG next = 0;
    bool any = false;
    if (InRange(WM_TIMER, o.min, o.max))
      for (const Timer& t : s.timers)
        if (WindowMatches(t.hwnd, o.filter) && (!any || t.due < next)) {
          next = t.due;
          any = true;
        }
    if (!any) {
      *lpMsg = MSG{nullptr, WM_QUIT, 0, 0, Now(), s.cursorPos};
      break;
    }
    s.clock = std::max(s.clock, next);
  }
  NoteRetrieved(*lpMsg);
  return lpMsg->message != WM_QUIT;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  if (!lpMsg) return FALSE;
  UINT m = lpMsg->message;
  if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP) return FALSE;
  if (m == WM_KEYUP || m == WM_SYSKEYUP) return TRUE;
  bool shift = GetKeyState(VK_SHIFT) < 0;
  bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
  bool ctrl = GetKeyState(VK_CONTROL) < 0;
  bool alt = m == WM_SYSKEYDOWN;
  if (ctrl && (alt || GetKeyState(VK_MENU) < 0)) return TRUE;  // AltGr combinations type nothing here
  int ch = KeyToChar(static_cast<UINT>(lpMsg->wParam), shift, caps, ctrl);
  if (ch) {
    // Posted like any message: it comes after what is already waiting.
    UserState& s = State();
    s.posted.push_back(MSG{lpMsg->hwnd, alt ? static_cast<UINT>(WM_SYSCHAR) : static_cast<UINT>(WM_CHAR),
                           static_cast<WPARAM>(ch), lpMsg->lParam, lpMsg->time, lpMsg->pt});
  }
  return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  if (!lpMsg) return 0;
  UserState& s = State();
  if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
    // Only a callback registered with SetTimer is called: lParam of a posted
    // message is not trusted as a function pointer.
    auto it = std::find_if(s.timers.begin(), s.timers.end(), [&](const Timer& t) {
      return t.hwnd == lpMsg->hwnd && t.id == lpMsg->wParam &&
             reinterpret_cast<LPARAM>(t.proc) == lpMsg->lParam;
    });
    if (it == s.timers.end()) return 0;
    TIMERPROC proc = it->proc;
    proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, lpMsg->time);
    return 0;
  }
  if (!lpMsg->hwnd) return 0;
  WindowPtr w = RequireWindow(lpMsg->hwnd);
  if (!w) return 0;
  return CallProc(w->proc, lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

LONG WINAPI GetMessageTime(void) {
  return static_cast<LONG>(State().lastMessageTime);
}

DWORD WINAPI GetMessagePos(void) {
  return State().lastMessagePos;
}

UINT WINAPI RegisterWindowMessageA(LPCSTR lpString) {
  if (!lpString || !*lpString) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return AddAtom(lpString);
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  UserState& s = State();
  if (hWnd && !RequireWindow(hWnd)) return 0;
  uElapse = std::min<UINT>(std::max<UINT>(uElapse, USER_TIMER_MINIMUM), USER_TIMER_MAXIMUM);
  if (hWnd) {
    for (Timer& t : s.timers)
      if (t.hwnd == hWnd && t.id == nIDEvent) {
        t.elapse = uElapse;
        t.proc = lpTimerFunc;
        t.due = s.clock + uElapse;
        return nIDEvent ? nIDEvent : 1;
      }
  } else {
    // A timer without a window gets a fresh identifier, unless it replaces
    // an existing one.
    bool replaces = std::any_of(s.timers.begin(), s.timers.end(),
                                [&](const Timer& t) { return !t.hwnd && t.id == nIDEvent && nIDEvent != 0; });
    if (replaces) {
      for (Timer& t : s.timers)
        if (!t.hwnd && t.id == nIDEvent) {
          t.elapse = uElapse;
          t.proc = lpTimerFunc;
          t.due = s.clock + uElapse;
        }
      return nIDEvent;
    }
    nIDEvent = ++s.nextThreadTimerId;
  }
  Timer t;
  t.hwnd = hWnd;
  t.id = nIDEvent;
  t.elapse = uElapse;
  t.proc = lpTimerFunc;
  t.due = s.clock + uElapse;
  t.serial = ++s.timerSerial;
  s.timers.push_back(t);
  return nIDEvent ? nIDEvent : 1;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  UserState& s = State();
  auto it = std::find_if(s.timers.begin(), s.timers.end(),
                         [&](const Timer& t) { return t.hwnd == hWnd && t.id == uIDEvent; });
  if (it == s.timers.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  s.timers.erase(it);
  return TRUE;
}

SHORT WINAPI GetKeyState(int nVirtKey) {
  if (nVirtKey < 0 || nVirtKey > 255) return 0;
  BYTE k = State().keyState[nVirtKey];
  return static_cast<SHORT>(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
}

SHORT WINAPI GetAsyncKeyState(int vKey) {
  if (vKey < 0 || vKey > 255) return 0;
  return static_cast<SHORT>((State().keyState[vKey] & 0x80) ? 0x8000 : 0);
}

void MrwTestAdvanceClock(DWORD dwMilliseconds) {
  State().clock += dwMilliseconds;
}

DWORD MrwTestTimerClock(void) {
  return Now();
}

int MrwTestPumpMessages(void) {
  std::vector<HWND> unpainted;  // windows whose WM_PAINT left them invalid
  RetrieveOptions o;
  o.quit = false;
  o.paintSkip = &unpainted;
  int count = 0;
  MSG m;
  while (count < kMaxPumpedMessages && Retrieve(&m, o)) {
    NoteRetrieved(m);
    TranslateMessage(&m);
    DispatchMessageA(&m);
    ++count;
    if (m.message == WM_PAINT) {
      WindowPtr w = FindWindowPtr(m.hwnd);
      if (w && NeedsPaint(*w)) unpainted.push_back(m.hwnd);
    }
  }
  return count;
}

void MrwTestDiscardMessages(void) {
  UserState& s = State();
  s.posted.clear();
  s.quitPending = false;
  for (Timer& t : s.timers) t.due = std::max(t.due, s.clock + t.elapse);
}

void MrwTestSetKeyDown(int nVirtKey, BOOL bDown) {
  if (nVirtKey < 0 || nVirtKey > 255) return;
  BYTE* keys = State().keyState;
  BYTE& k = keys[nVirtKey];
  if (bDown && !(k & 0x80)) k ^= 0x01;  // each press toggles (Caps Lock, Num Lock)
  k = static_cast<BYTE>(bDown ? (k | 0x80) : (k & ~0x80));
  // The side-specific modifier keys also drive the generic ones.
  auto pair = [&](int generic, int left, int right) {
    if (nVirtKey == left || nVirtKey == right)
      keys[generic] = static_cast<BYTE>((keys[generic] & 0x01) | ((keys[left] | keys[right]) & 0x80));
  };
  pair(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
  pair(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
  pair(VK_MENU, VK_LMENU, VK_RMENU);
}

void MrwTestResetKeyState(void) {
  BYTE* keys = State().keyState;
  std::fill(keys, keys + 256, static_cast<BYTE>(0));
}
