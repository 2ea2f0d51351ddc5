// Test windows for the window manager tests: one window class whose
// procedure records every message and lets a test answer some of them.
// The same code runs against the stand-in and against Windows (Wine).
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "test_support.h"

#ifndef _WIN32
#include <platform_hooks.h>
#endif

namespace user_test {

struct Received {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  LPVOID createParams;  // WM_NCCREATE and WM_CREATE
  RECT paint;           // WM_PAINT answered by the default painter
  BOOL paintErase;
  BOOL validAfterBeginPaint;
  bool childAlive;  // WM_DESTROY: whether the watched child still existed
};

// An answer for a message, or nothing to let DefWindowProcA answer.
using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

class Recorder {
 public:
  static Recorder& Get() {
    static Recorder recorder;
    return recorder;
  }

  std::vector<Received> log;
  Handler handler;
  HWND watchedChild = nullptr;
  bool paintWithBeginPaint = true;

  void Clear() { log.clear(); }

  // Messages a window received, in order, keeping only those in `keep`.
  std::vector<UINT> MessagesOf(HWND hwnd, std::initializer_list<UINT> keep) const {
    std::vector<UINT> out;
    for (const Received& r : log)
      if (r.hwnd == hwnd && std::find(keep.begin(), keep.end(), r.msg) != keep.end()) out.push_back(r.msg);
    return out;
  }

  // Windows that received `msg`, in order.
  std::vector<HWND> WindowsReceiving(UINT msg) const {
    std::vector<HWND> out;
    for (const Received& r : log)
      if (r.msg == msg) out.push_back(r.hwnd);
    return out;
  }

  std::vector<Received> Find(HWND hwnd, UINT msg) const {
    std::vector<Received> out;
    for (const Received& r : log)
      if (r.hwnd == hwnd && r.msg == msg) out.push_back(r);
    return out;
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Recorder& self = Get();
    Received r = {hwnd, msg, wParam, lParam, nullptr, {0, 0, 0, 0}, FALSE, FALSE, false};
    if (msg == WM_NCCREATE || msg == WM_CREATE)
      r.createParams = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
    if (msg == WM_DESTROY) r.childAlive = self.watchedChild && IsWindow(self.watchedChild);
    size_t at = self.log.size();
    self.log.push_back(r);
    if (self.handler) {
      std::optional<LRESULT> answer = self.handler(hwnd, msg, wParam, lParam);
      if (answer) return *answer;
    }
    if (msg == WM_PAINT && self.paintWithBeginPaint) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT left;
      BOOL stillInvalid = GetUpdateRect(hwnd, &left, FALSE);
      if (dc) EndPaint(hwnd, &ps);
      self.log[at].paint = ps.rcPaint;
      self.log[at].paintErase = ps.fErase;
      self.log[at].validAfterBeginPaint = !stillInvalid;
      return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }

 private:
  Recorder() = default;
};

constexpr char kClassName[] = "MirelUserTestWindow";
constexpr char kOwnDCClassName[] = "MirelUserTestOwnDC";
constexpr char kBrushlessClassName[] = "MirelUserTestNoBrush";

inline HINSTANCE Instance() {
  return GetModuleHandleA(nullptr);
}

inline void RegisterTestClasses() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Recorder::Proc;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);  // fails harmlessly when already registered
  wc.style = CS_OWNDC;
  wc.lpszClassName = kOwnDCClassName;
  RegisterClassA(&wc);
  wc.style = 0;
  wc.hbrBackground = nullptr;
  wc.lpszClassName = kBrushlessClassName;
  RegisterClassA(&wc);
}

// Dispatches what is waiting in the queue, as a message loop would.
inline void Pump() {
#ifdef _WIN32
  MSG m;
  for (int i = 0; i < 10000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
#else
  MrwTestPumpMessages();
#endif
}

// Creates and destroys test windows; every test starts with an empty log.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    Recorder::Get().handler = nullptr;
    Recorder::Get().watchedChild = nullptr;
    Recorder::Get().paintWithBeginPaint = true;
    Recorder::Get().Clear();
  }

  void TearDown() override {
    Recorder::Get().handler = nullptr;
    for (auto it = created_.rbegin(); it != created_.rend(); ++it)
      if (IsWindow(*it)) DestroyWindow(*it);
    Pump();
    Recorder::Get().Clear();
  }

  // A borderless pop-up window on the screen: its client area is its window
  // rectangle on Windows too.
  HWND CreateTopLevel(int x = 100, int y = 100, int cx = 300, int cy = 200, DWORD style = WS_VISIBLE,
                      const char* cls = kClassName) {
    HWND h =
        CreateWindowExA(0, cls, "top", WS_POPUP | style, x, y, cx, cy, nullptr, nullptr, Instance(), nullptr);
    if (h) created_.push_back(h);
    return h;
  }

  HWND CreateChild(HWND parent, int id, int x, int y, int cx, int cy, DWORD style = WS_VISIBLE,
                   const char* cls = kClassName, LPVOID param = nullptr) {
    HWND h = CreateWindowExA(0, cls, "child", WS_CHILD | style, x, y, cx, cy, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), param);
    if (h) created_.push_back(h);
    return h;
  }

  // Dispatches pending messages, then marks everything painted so later
  // checks see only what the test caused.
  void Settle() {
    Pump();
    for (HWND h : created_)
      if (IsWindow(h)) ValidateRect(h, nullptr);
    Pump();
    Recorder::Get().Clear();
  }

  Recorder& rec() { return Recorder::Get(); }

 private:
  std::vector<HWND> created_;
};

}  // namespace user_test
