// Update regions, WM_PAINT and WM_ERASEBKGND, and window device contexts.
//
// Only the part of a window that can be seen collects invalid area: hidden
// windows and areas outside the parents' client areas stay valid, as on
// Windows (overlapping sibling and top-level windows are not subtracted).
// A window of a CS_OWNDC class keeps one DC for its whole life; every other
// GetDC/BeginPaint makes a fresh DC that ReleaseDC/EndPaint delete.
#include "user/user_state.h"

namespace mrw_user {

namespace {

RECT ClientRect(const Window& w) {
  return RECT{0, 0, w.cx, w.cy};
}

HDC AcquireDC(Window& w) {
  if (w.cls->style & CS_OWNDC) {
    if (!w.ownDC) w.ownDC = MrwGdiCreateWindowDC(w.hwnd);
    return w.ownDC;
  }
  HDC hdc = MrwGdiCreateWindowDC(w.hwnd);
  if (hdc) State().commonDCs[hdc] = w.hwnd;
  return hdc;
}

void ReleaseAcquiredDC(HDC hdc) {
  UserState& s = State();
  auto it = s.commonDCs.find(hdc);
  if (it == s.commonDCs.end()) {
    SelectClipRgn(hdc, nullptr);  // a window's own DC stays, without the paint clip
    return;
  }
  s.commonDCs.erase(it);
  MrwGdiDeleteWindowDC(hdc);
}

// Clips in device units, whatever mapping the DC uses.
void ClipDC(HDC hdc, const RECT& r) {
  HRGN rgn = CreateRectRgn(r.left, r.top, r.right, r.bottom);
  SelectClipRgn(hdc, rgn);
  DeleteObject(rgn);
}

// Sends WM_ERASEBKGND with a DC clipped to `area`; true when it erased.
bool SendErase(const WindowPtr& w, const RECT& area) {
  HDC hdc = AcquireDC(*w);
  if (!hdc) return false;
  ClipDC(hdc, area);
  bool erased = CallProc(w->proc, w->hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) != 0;
  ReleaseAcquiredDC(hdc);
  return erased;
}

void Redraw(const WindowPtr& w, const RECT& area, UINT flags) {
  if (flags & RDW_INVALIDATE) {
    InvalidateClient(*w, &area, (flags & RDW_ERASE) != 0);
    if ((flags & RDW_INTERNALPAINT) && IsShown(*w)) w->internalPaint = true;
  }
  if (flags & RDW_VALIDATE) {
    w->update.Subtract(area);
    if (w->update.Empty()) w->erasePending = false;
    if (flags & RDW_NOERASE) w->erasePending = false;
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
  }
  if (flags & RDW_ALLCHILDREN) {
    std::vector<HWND> children = w->children;
    for (HWND h : children) {
      WindowPtr c = FindWindowPtr(h);
      if (!c) continue;
      Redraw(c, OffsetRectClamped(area, -static_cast<long long>(c->x), -static_cast<long long>(c->y)),
             flags & ~(RDW_UPDATENOW | RDW_ERASENOW));
    }
  }
}

void UpdateNow(const WindowPtr& w, bool eraseOnly, bool children) {
  if (!IsAlive(w)) return;
  if (eraseOnly) {
    if (w->erasePending && !w->update.Empty()) {
      w->erasePending = false;
      SendErase(w, w->update.Bounds());
    }
  } else {
    UpdateWindow(w->hwnd);
  }
  if (!children || !IsAlive(w)) return;
  std::vector<HWND> list = w->children;
  for (HWND h : list) UpdateNow(FindWindowPtr(h), eraseOnly, true);
}

bool PaintOrder(const Window& w, HWND filter, const std::vector<HWND>& skip, HWND* found) {
  HWND desktop = State().desktop;
  if (w.hwnd != desktop && (!filter || filter == w.hwnd) && NeedsPaint(w) &&
      std::find(skip.begin(), skip.end(), w.hwnd) == skip.end()) {
    *found = w.hwnd;
    return true;
  }
  for (HWND h : w.children) {
    WindowPtr c = FindWindowPtr(h);
    if (c && (c->style & WS_VISIBLE) && PaintOrder(*c, filter, skip, found)) return true;
  }
  return false;
}

void InvalidateEverything(const RECT* rect, bool erase) {
  WindowPtr desktop = FindWindowPtr(State().desktop);
  RECT screen = {INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2};
  std::vector<HWND> tops = desktop->children;
  for (HWND h : tops)
    if (WindowPtr w = FindWindowPtr(h))
      Redraw(w, rect ? *rect : screen, RDW_INVALIDATE | RDW_ALLCHILDREN | (erase ? RDW_ERASE : 0));
}

}  // namespace

void InvalidateClient(Window& w, const RECT* rect, bool erase) {
  if (w.hwnd == State().desktop || !IsShown(w)) return;
  RECT r = rect ? IntersectRects(*rect, ClientRect(w)) : ClientRect(w);
  r = IntersectRects(r, VisibleClientRect(w));
  if (RectIsEmpty(r)) return;
  w.update.Add(r);
  if (erase) w.erasePending = true;
}

void InvalidateTree(Window& w) {
  InvalidateClient(w, nullptr, true);
  for (HWND h : w.children) {
    WindowPtr c = FindWindowPtr(h);
    if (c && (c->style & WS_VISIBLE)) InvalidateTree(*c);
  }
}

bool NeedsPaint(const Window& w) {
  return (!w.update.Empty() || w.internalPaint) && IsShown(w);
}

HWND NextWindowToPaint(HWND filter, const std::vector<HWND>& skip) {
  WindowPtr desktop = FindWindowPtr(State().desktop);
  HWND found = nullptr;
  PaintOrder(*desktop, filter, skip, &found);
  return found;
}

void ForgetWindowDCs(Window& w) {
  UserState& s = State();
  for (auto it = s.commonDCs.begin(); it != s.commonDCs.end();) {
    if (it->second == w.hwnd) {
      MrwGdiDeleteWindowDC(it->first);
      it = s.commonDCs.erase(it);
    } else {
      ++it;
    }
  }
  if (w.ownDC) {
    MrwGdiDeleteWindowDC(w.ownDC);
    w.ownDC = nullptr;
  }
}

}  // namespace mrw_user

using namespace mrw_user;

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  if (!hWnd) {
    InvalidateEverything(lpRect, bErase != FALSE);
    return TRUE;
  }
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return FALSE;
  InvalidateClient(*w, lpRect, bErase != FALSE);
  return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
  if (!hWnd) {
    InvalidateEverything(lpRect, true);
    return TRUE;
  }
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return FALSE;
  if (lpRect)
    w->update.Subtract(*lpRect);
  else
    w->update.Clear();
  if (w->update.Empty()) {
    w->erasePending = false;
    w->internalPaint = false;
  }
  return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return FALSE;
  bool any = !w->update.Empty();
  if (lpRect) *lpRect = w->update.Bounds();
  if (any && bErase && w->erasePending) {
    w->erasePending = false;
    SendErase(w, w->update.Bounds());
  }
  return any;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return FALSE;
  if (NeedsPaint(*w)) CallProc(w->proc, hWnd, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
  UserState& s = State();
  WindowPtr w = RequireWindow(hWnd ? hWnd : s.desktop);
  if (!w) return FALSE;
  RECT area = ClientRect(*w);
  if (lprcUpdate) {
    area = *lprcUpdate;
  } else if (hrgnUpdate) {
    if (GetRgnBox(hrgnUpdate, &area) == 0) return FALSE;
  }
  if (w->hwnd == s.desktop) {
    // The desktop itself is never painted; its windows are.
    std::vector<HWND> tops = w->children;
    if (flags & RDW_ALLCHILDREN)
      for (HWND h : tops)
        if (WindowPtr t = FindWindowPtr(h))
          Redraw(t, OffsetRectClamped(area, -static_cast<long long>(t->x), -static_cast<long long>(t->y)),
                 flags);
  } else {
    Redraw(w, area, flags);
  }
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
    UpdateNow(w, !(flags & RDW_UPDATENOW), (flags & RDW_ALLCHILDREN) != 0);
  return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w || !lpPaint) return nullptr;
  RECT paint = w->update.Bounds();
  bool erase = w->erasePending;
  w->update.Clear();
  w->erasePending = false;
  w->internalPaint = false;
  HDC hdc = AcquireDC(*w);
  if (!hdc) return nullptr;
  ClipDC(hdc, paint);
  *lpPaint = PAINTSTRUCT{};
  lpPaint->hdc = hdc;
  lpPaint->rcPaint = paint;
  if (erase) {
    bool erased = CallProc(w->proc, hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) != 0;
    lpPaint->fErase = erased ? FALSE : TRUE;
  }
  return hdc;
}

BOOL WINAPI EndPaint(HWND /*hWnd*/, const PAINTSTRUCT* lpPaint) {
  if (!lpPaint || !lpPaint->hdc) return FALSE;
  ReleaseAcquiredDC(lpPaint->hdc);
  return TRUE;
}

HDC WINAPI GetDC(HWND hWnd) {
  if (!hWnd) {
    HDC hdc = MrwGdiCreateWindowDC(nullptr);
    if (hdc) State().commonDCs[hdc] = nullptr;
    return hdc;
  }
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return nullptr;
  return AcquireDC(*w);
}

HDC WINAPI GetWindowDC(HWND hWnd) {
  return GetDC(hWnd);
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
  UserState& s = State();
  auto it = s.commonDCs.find(hDC);
  if (it != s.commonDCs.end()) {
    s.commonDCs.erase(it);
    MrwGdiDeleteWindowDC(hDC);
    return 1;
  }
  WindowPtr w = FindWindowPtr(hWnd);
  return (w && hDC && w->ownDC == hDC) ? 1 : 0;
}

HWND WINAPI WindowFromDC(HDC hDC) {
  if (!hDC) return nullptr;
  UserState& s = State();
  auto it = s.commonDCs.find(hDC);
  if (it != s.commonDCs.end()) return it->second;
  for (const auto& entry : s.windows)
    if (entry.second->ownDC == hDC && entry.second->state != WindowState::kGone) return entry.first;
  return nullptr;
}
