// Helpers of the paint tests of both views: a canvas for painting a row or
// the ruler on a DC of its own, a pixel of a bitmap, and a paint request for
// every row.
#pragma once

#include <windows.h>

#include <climits>

#include "mirel/cmirel.h"
#include "mirel/cmirelview.h"

namespace mirel_paint_test {

// A memory DC compatible with a window's, with a bitmap of cx x cy and a
// font selected; everything is put back and freed with the object.
class Canvas {
 public:
  Canvas(HWND hWnd, int cx, int cy, HFONT hFont) {
    HDC hScreen = GetDC(hWnd);
    m_hdc = CreateCompatibleDC(hScreen);
    m_hBitmap = CreateCompatibleBitmap(hScreen, cx, cy);
    ReleaseDC(hWnd, hScreen);
    m_hOldBitmap = SelectObject(m_hdc, m_hBitmap);
    m_hOldFont = SelectObject(m_hdc, hFont);
  }
  ~Canvas() {
    SelectObject(m_hdc, m_hOldFont);
    SelectObject(m_hdc, m_hOldBitmap);
    DeleteDC(m_hdc);
    DeleteObject(m_hBitmap);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC hdc() const { return m_hdc; }

 private:
  HDC m_hdc = nullptr;
  HBITMAP m_hBitmap = nullptr;
  HGDIOBJ m_hOldBitmap = nullptr;
  HGDIOBJ m_hOldFont = nullptr;
};

// A pixel of a bitmap, CLR_INVALID without one.
inline COLORREF BitmapPixel(HBITMAP hBitmap, int x, int y) {
  if (hBitmap == nullptr) return CLR_INVALID;
  HDC hMem = CreateCompatibleDC(nullptr);
  HGDIOBJ hOld = SelectObject(hMem, hBitmap);
  const COLORREF cr = GetPixel(hMem, x, y);
  SelectObject(hMem, hOld);
  DeleteDC(hMem);
  return cr;
}

// A paint of the window with a repaint request of the tag for every row.
inline void PaintEveryRow(CMirel& edit, HWND hWnd, int nTag = REPAINT_TAG_ALL) {
  edit.nRepaintTag = nTag;
  edit.nDirtyFirst = 0;
  edit.nDirtyLast = INT_MAX / 2;
  SendMessageA(hWnd, WM_PAINT, 0, 0);
}

}  // namespace mirel_paint_test
