#include "screen_pixels.h"

#include <cstdint>

#include <gtest/gtest.h>

namespace mirel_test {
namespace {

BITMAPINFO TopDown32(int cx, int cy) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = cx;
  info.bmiHeader.biHeight = -cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

std::vector<DWORD> BitmapPixels(HBITMAP hBitmap, int cx, int cy) {
  std::vector<DWORD> pixels(static_cast<std::size_t>(cx) * static_cast<std::size_t>(cy));
  BITMAPINFO info = TopDown32(cx, cy);
  HDC hScreen = GetDC(nullptr);
  const int nRows =
      GetDIBits(hScreen, hBitmap, 0, static_cast<UINT>(cy), pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, hScreen);
  if (nRows != cy) ADD_FAILURE() << "read " << nRows << " of " << cy << " rows";
  return pixels;
}

std::vector<DWORD> ScreenPixels(HWND hWnd) {
  RECT rc{};
  GetClientRect(hWnd, &rc);
  const int cx = rc.right, cy = rc.bottom;
  const BOOL bCaretHidden = HideCaret(hWnd);
  BITMAPINFO info = TopDown32(cx, cy);
  void* pBits = nullptr;
  HDC hdc = GetDC(hWnd);
  HBITMAP hCopy = CreateDIBSection(hdc, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
  std::vector<DWORD> pixels;
  if (hCopy != nullptr && pBits != nullptr) {
    HDC hMem = CreateCompatibleDC(hdc);
    HGDIOBJ hOld = SelectObject(hMem, hCopy);
    BitBlt(hMem, 0, 0, cx, cy, hdc, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD* p = static_cast<const DWORD*>(pBits);
    pixels.assign(p, p + static_cast<std::size_t>(cx) * static_cast<std::size_t>(cy));
    SelectObject(hMem, hOld);
    DeleteDC(hMem);
  } else {
    ADD_FAILURE() << "no bitmap to copy the screen into";
  }
  if (hCopy != nullptr) DeleteObject(hCopy);
  ReleaseDC(hWnd, hdc);
  if (bCaretHidden) ShowCaret(hWnd);
  return pixels;
}

std::size_t CountDiffering(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
  if (a.size() != b.size()) return SIZE_MAX;
  std::size_t n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i] ? 1 : 0;
  return n;
}

}  // namespace mirel_test
