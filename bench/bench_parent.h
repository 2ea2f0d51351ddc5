// The visible top-level window the benchmarks put their controls in.
#pragma once

#include <windows.h>

inline HWND BenchParentWindow() {
  static HWND hParent = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "MirelBenchParent";
    wc.hInstance = GetModuleHandleA(nullptr);
    RegisterClassA(&wc);
    return CreateWindowExA(0, "MirelBenchParent", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700,
                           nullptr, nullptr, wc.hInstance, nullptr);
  }();
  return hParent;
}
