// The back buffer selected into a memory DC for one paint.
#include "mirel/mrbackbuffer.h"

CMrBackBufferDC::CMrBackBufferDC(HDC hdcScreen, HBITMAP* phBitmap, int cx, int cy, HFONT hFont) {
  if (hdcScreen == nullptr || phBitmap == nullptr || cx <= 0 || cy <= 0) return;
  m_hMem = CreateCompatibleDC(hdcScreen);
  if (m_hMem == nullptr) return;
  if (*phBitmap == nullptr) {
    *phBitmap = CreateCompatibleBitmap(hdcScreen, cx, cy);
    m_bNew = *phBitmap != nullptr;
  }
  if (*phBitmap == nullptr) return;
  m_hBitmapOld = SelectObject(m_hMem, *phBitmap);
  if (m_hBitmapOld != nullptr && hFont != nullptr) m_hFontOld = SelectObject(m_hMem, hFont);
}

CMrBackBufferDC::~CMrBackBufferDC() {
  if (m_hMem == nullptr) return;
  // The buffer and the font go back out of the DC, so the window can drop
  // the buffer while no DC holds it.
  if (m_hFontOld != nullptr) SelectObject(m_hMem, m_hFontOld);
  if (m_hBitmapOld != nullptr) SelectObject(m_hMem, m_hBitmapOld);
  DeleteDC(m_hMem);
}
