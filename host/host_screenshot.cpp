#include "host_screenshot.h"

#include <cstdint>
#include <vector>

#include "host_bitmap_file.h"
#include "host_file_io.h"

namespace mirel_host {

namespace {

// Releases the GDI objects of one capture in reverse order of creation.
class CCaptureDcs {
 public:
  explicit CCaptureDcs(HWND hWnd) : m_hWnd(hWnd), m_hWindowDc(GetWindowDC(hWnd)) {
    if (m_hWindowDc != nullptr) m_hMemoryDc = CreateCompatibleDC(m_hWindowDc);
  }
  CCaptureDcs(const CCaptureDcs&) = delete;
  CCaptureDcs& operator=(const CCaptureDcs&) = delete;
  ~CCaptureDcs() {
    if (m_hOldBitmap != nullptr) SelectObject(m_hMemoryDc, m_hOldBitmap);
    if (m_hBitmap != nullptr) DeleteObject(m_hBitmap);
    if (m_hMemoryDc != nullptr) DeleteDC(m_hMemoryDc);
    if (m_hWindowDc != nullptr) ReleaseDC(m_hWnd, m_hWindowDc);
  }

  bool Ready() const { return m_hMemoryDc != nullptr; }

  // Copies the window's pixels into a compatible bitmap selected in the memory DC.
  bool Copy(int nWidth, int nHeight) {
    m_hBitmap = CreateCompatibleBitmap(m_hWindowDc, nWidth, nHeight);
    if (m_hBitmap == nullptr) return false;
    m_hOldBitmap = SelectObject(m_hMemoryDc, m_hBitmap);
    return BitBlt(m_hMemoryDc, 0, 0, nWidth, nHeight, m_hWindowDc, 0, 0, SRCCOPY) != FALSE;
  }

  // Reads the copied pixels as 32-bit top-down rows (blue, green, red, unused).
  bool ReadPixels(int nWidth, int nHeight, std::vector<std::uint8_t>* pPixels) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight;  // negative: top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    pPixels->assign(static_cast<std::size_t>(nWidth) * static_cast<std::size_t>(nHeight) * 4, 0);
    // GetDIBits wants the bitmap not selected into a DC.
    SelectObject(m_hMemoryDc, m_hOldBitmap);
    m_hOldBitmap = nullptr;
    return GetDIBits(m_hMemoryDc, m_hBitmap, 0, static_cast<UINT>(nHeight), pPixels->data(), &info,
                     DIB_RGB_COLORS) == nHeight;
  }

 private:
  HWND m_hWnd;
  HDC m_hWindowDc;
  HDC m_hMemoryDc = nullptr;
  HBITMAP m_hBitmap = nullptr;
  HGDIOBJ m_hOldBitmap = nullptr;
};

}  // namespace

bool WriteWindowScreenshot(HWND hWnd, const std::string& strPath, std::string* pError) {
  RECT rcWindow = {};
  if (!GetWindowRect(hWnd, &rcWindow)) {
    *pError = "cannot measure the window";
    return false;
  }
  const int nWidth = rcWindow.right - rcWindow.left;
  const int nHeight = rcWindow.bottom - rcWindow.top;
  if (nWidth <= 0 || nHeight <= 0) {
    *pError = "the window has no area to capture";
    return false;
  }
  CCaptureDcs dcs(hWnd);
  std::vector<std::uint8_t> pixels;
  if (!dcs.Ready() || !dcs.Copy(nWidth, nHeight) || !dcs.ReadPixels(nWidth, nHeight, &pixels)) {
    *pError = "cannot copy the window's pixels";
    return false;
  }
  const std::vector<std::uint8_t> file = EncodeBmp24(nWidth, nHeight, pixels);
  if (file.empty()) {
    *pError = "the window is too large for a BMP file";
    return false;
  }
  return WriteWholeFile(strPath, file.data(), file.size(), pError);
}

}  // namespace mirel_host
