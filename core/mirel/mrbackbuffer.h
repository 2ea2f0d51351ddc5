// The edit window's back buffer, selected into a memory DC for one paint.
// Both views paint their rows into the buffer and copy it to the screen; the
// buffer outlives the paint (it is made at the client size when missing and
// dropped on a size change), so rows that did not change are not painted
// again.
#pragma once

#include <windows.h>

class CMrBackBufferDC {
 public:
  // hdcScreen: the paint DC the buffer is made compatible with. *phBitmap is
  // the kept buffer: made here when missing and the client is not empty.
  // hFont (may be NULL) is selected for the paint.
  CMrBackBufferDC(HDC hdcScreen, HBITMAP* phBitmap, int cx, int cy, HFONT hFont);
  ~CMrBackBufferDC();
  CMrBackBufferDC(const CMrBackBufferDC&) = delete;
  CMrBackBufferDC& operator=(const CMrBackBufferDC&) = delete;

  // The memory DC holding the buffer, NULL when there is none to paint into.
  HDC Get() const { return m_hBitmapOld != nullptr ? m_hMem : nullptr; }
  // TRUE when the buffer was made by this paint and holds nothing yet.
  BOOL IsNew() const { return m_bNew; }

 private:
  HDC m_hMem = nullptr;
  HGDIOBJ m_hBitmapOld = nullptr;
  HGDIOBJ m_hFontOld = nullptr;
  BOOL m_bNew = FALSE;
};
