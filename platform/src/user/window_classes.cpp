// Window classes: registration, lookup and information.
//
// A class is registered for a module instance; CS_GLOBALCLASS makes it
// visible to every module. Lookups by CreateWindowExA try the given instance
// first, then global classes, and finally any class of that name: the
// stand-in is lenient there, the Windows test runs catch misuse.
#include <cstring>

#include "user/user_state.h"

namespace mrw_user {

namespace {

constexpr int kMaxExtraBytes = 40000;

bool NameMatches(const WindowClass& cls, LPCSTR name) {
  if (IS_INTRESOURCE(name))
    return cls.atom != 0 && cls.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
  return UpperAscii(cls.name) == UpperAscii(name);
}

ATOM Register(const WNDCLASSEXA& wc) {
  if (!wc.lpszClassName || IS_INTRESOURCE(wc.lpszClassName) || !*wc.lpszClassName || !wc.lpfnWndProc ||
      wc.cbClsExtra < 0 || wc.cbWndExtra < 0 || wc.cbClsExtra > kMaxExtraBytes ||
      wc.cbWndExtra > kMaxExtraBytes) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  UserState& s = State();
  for (const auto& existing : s.classes) {
    if (!NameMatches(*existing, wc.lpszClassName)) continue;
    bool global = (existing->style & CS_GLOBALCLASS) || (wc.style & CS_GLOBALCLASS);
    if (existing->system || global || existing->hInstance == wc.hInstance) {
      SetLastError(ERROR_CLASS_ALREADY_EXISTS);
      return 0;
    }
  }
  ATOM atom = AddAtom(wc.lpszClassName);
  if (!atom) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  auto cls = std::make_shared<WindowClass>();
  cls->atom = atom;
  cls->name = wc.lpszClassName;
  cls->style = wc.style;
  cls->proc = wc.lpfnWndProc;
  cls->cbClsExtra = wc.cbClsExtra;
  cls->cbWndExtra = wc.cbWndExtra;
  cls->hInstance = wc.hInstance;
  cls->hIcon = wc.hIcon;
  cls->hIconSm = wc.hIconSm;
  cls->hCursor = wc.hCursor;
  cls->hbrBackground = wc.hbrBackground;
  if (wc.lpszMenuName && !IS_INTRESOURCE(wc.lpszMenuName))
    cls->menuName = wc.lpszMenuName;
  else
    cls->menuId = wc.lpszMenuName;
  s.classes.push_back(cls);
  return atom;
}

void FillInfo(const WindowClass& cls, LPCSTR requestedName, WNDCLASSEXA* out) {
  out->style = cls.style;
  out->lpfnWndProc = cls.proc;
  out->cbClsExtra = cls.cbClsExtra;
  out->cbWndExtra = cls.cbWndExtra;
  out->hInstance = cls.system ? nullptr : cls.hInstance;
  out->hIcon = cls.hIcon;
  out->hCursor = cls.hCursor;
  out->hbrBackground = cls.hbrBackground;
  out->lpszMenuName = cls.menuName.empty() ? cls.menuId : cls.menuName.c_str();
  out->lpszClassName = requestedName;
  out->hIconSm = cls.hIconSm;
}

}  // namespace

std::shared_ptr<WindowClass> FindClass(LPCSTR name, HINSTANCE hInstance, bool lenient) {
  if (!name) return nullptr;
  UserState& s = State();
  std::shared_ptr<WindowClass> global;
  std::shared_ptr<WindowClass> any;
  for (const auto& cls : s.classes) {
    if (!NameMatches(*cls, name)) continue;
    if (!cls->system && cls->hInstance == hInstance) return cls;
    if (cls->system || (cls->style & CS_GLOBALCLASS)) {
      if (!global) global = cls;
    } else if (!any) {
      any = cls;
    }
  }
  if (global) return global;
  return lenient ? any : nullptr;
}

}  // namespace mrw_user

using namespace mrw_user;

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (!lpWndClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = lpWndClass->style;
  wc.lpfnWndProc = lpWndClass->lpfnWndProc;
  wc.cbClsExtra = lpWndClass->cbClsExtra;
  wc.cbWndExtra = lpWndClass->cbWndExtra;
  wc.hInstance = lpWndClass->hInstance;
  wc.hIcon = lpWndClass->hIcon;
  wc.hCursor = lpWndClass->hCursor;
  wc.hbrBackground = lpWndClass->hbrBackground;
  wc.lpszMenuName = lpWndClass->lpszMenuName;
  wc.lpszClassName = lpWndClass->lpszClassName;
  return Register(wc);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpWndClass) {
  if (!lpWndClass || lpWndClass->cbSize != sizeof(WNDCLASSEXA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return Register(*lpWndClass);
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance) {
  UserState& s = State();
  for (auto it = s.classes.begin(); it != s.classes.end(); ++it) {
    WindowClass& cls = **it;
    if (cls.system || !NameMatches(cls, lpClassName ? lpClassName : "")) continue;
    if (cls.hInstance != hInstance && !(cls.style & CS_GLOBALCLASS)) continue;
    if (cls.windowCount > 0) {
      SetLastError(ERROR_CLASS_HAS_WINDOWS);
      return FALSE;
    }
    s.classes.erase(it);
    return TRUE;
  }
  SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
  return FALSE;
}

BOOL WINAPI GetClassInfoExA(HINSTANCE hInstance, LPCSTR lpszClass, LPWNDCLASSEXA lpwcx) {
  if (!lpwcx) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // A NULL instance stands for the program itself, so any registered class
  // of that name is found.
  std::shared_ptr<WindowClass> cls = FindClass(lpszClass, hInstance, hInstance == nullptr);
  if (!cls) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  FillInfo(*cls, lpszClass, lpwcx);
  return cls->atom ? cls->atom : TRUE;
}

BOOL WINAPI GetClassInfoA(HINSTANCE hInstance, LPCSTR lpClassName, LPWNDCLASSA lpWndClass) {
  if (!lpWndClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  BOOL result = GetClassInfoExA(hInstance, lpClassName, &wc);
  if (!result) return FALSE;
  lpWndClass->style = wc.style;
  lpWndClass->lpfnWndProc = wc.lpfnWndProc;
  lpWndClass->cbClsExtra = wc.cbClsExtra;
  lpWndClass->cbWndExtra = wc.cbWndExtra;
  lpWndClass->hInstance = wc.hInstance;
  lpWndClass->hIcon = wc.hIcon;
  lpWndClass->hCursor = wc.hCursor;
  lpWndClass->hbrBackground = wc.hbrBackground;
  lpWndClass->lpszMenuName = wc.lpszMenuName;
  lpWndClass->lpszClassName = wc.lpszClassName;
  return result;
}

int WINAPI GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
  WindowPtr w = RequireWindow(hWnd);
  if (!w) return 0;
  if (!lpClassName || nMaxCount <= 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  const std::string& name = w->cls->name;
  size_t n = std::min(name.size(), static_cast<size_t>(nMaxCount - 1));
  std::memcpy(lpClassName, name.data(), n);
  lpClassName[n] = '\0';
  return static_cast<int>(n);
}
