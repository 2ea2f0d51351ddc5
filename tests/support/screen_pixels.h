// Pixels as a test compares them: a bitmap's or what a window's client area
// shows, read as 32-bit values, top row first.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace mirel_test {

// Every pixel of a bitmap (not selected into a DC), cx by cy.
std::vector<DWORD> BitmapPixels(HBITMAP hBitmap, int cx, int cy);

// The client area as the screen shows it, without the blinking caret the
// system draws over it.
std::vector<DWORD> ScreenPixels(HWND hWnd);

// How many pixels differ; SIZE_MAX when the sizes do.
std::size_t CountDiffering(const std::vector<DWORD>& a, const std::vector<DWORD>& b);

}  // namespace mirel_test
