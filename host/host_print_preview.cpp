#include "host_print_preview.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "host_bitmap_file.h"
#include "host_file_io.h"

namespace mirel_host {

namespace {

// The page: a memory DC holding a top-down 32-bit DIB section and the font
// the control measures and prints with, released in reverse order.
class CPreviewPage {
 public:
  CPreviewPage() {
    m_hdc = CreateCompatibleDC(nullptr);
    if (m_hdc == nullptr) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kPreviewWidth;
    info.bmiHeader.biHeight = -kPreviewHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    m_hBitmap = CreateDIBSection(m_hdc, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (m_hBitmap == nullptr) return;
    m_pBits = static_cast<const std::uint8_t*>(pBits);
    m_hOldBitmap = SelectObject(m_hdc, m_hBitmap);
    const int nHeight = -MulDiv(kPreviewPointSize, kPreviewDpi, 72);
    m_hFont =
        CreateFontA(nHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    if (m_hFont != nullptr) m_hOldFont = SelectObject(m_hdc, m_hFont);
    PatBlt(m_hdc, 0, 0, kPreviewWidth, kPreviewHeight, WHITENESS);
  }
  CPreviewPage(const CPreviewPage&) = delete;
  CPreviewPage& operator=(const CPreviewPage&) = delete;
  ~CPreviewPage() {
    if (m_hOldFont != nullptr) SelectObject(m_hdc, m_hOldFont);
    if (m_hFont != nullptr) DeleteObject(m_hFont);
    if (m_hOldBitmap != nullptr) SelectObject(m_hdc, m_hOldBitmap);
    if (m_hBitmap != nullptr) DeleteObject(m_hBitmap);
    if (m_hdc != nullptr) DeleteDC(m_hdc);
  }

  bool Ready() const { return m_pBits != nullptr && m_hFont != nullptr; }
  HDC Dc() const { return m_hdc; }
  std::vector<std::uint8_t> Pixels() const {
    GdiFlush();
    return std::vector<std::uint8_t>(m_pBits,
                                     m_pBits + static_cast<std::size_t>(kPreviewWidth) * kPreviewHeight * 4);
  }

 private:
  HDC m_hdc = nullptr;
  HBITMAP m_hBitmap = nullptr;
  HGDIOBJ m_hOldBitmap = nullptr;
  HFONT m_hFont = nullptr;
  HGDIOBJ m_hOldFont = nullptr;
  const std::uint8_t* m_pBits = nullptr;
};

}  // namespace

bool WritePrintPreview(const CMirelApi& api, HWND hWndMirel, const std::string& strPath,
                       std::string* pError) {
  if (api.pfnPreparePrint == nullptr || api.pfnPrintPage == nullptr || api.pfnEndPrint == nullptr) {
    *pError = "the control library has no printing exports";
    return false;
  }
  CPreviewPage page;
  if (!page.Ready()) {
    *pError = "cannot make the preview page";
    return false;
  }
  MIREL_PRINT_PARAM param;
  std::memset(&param, 0, sizeof param);
  param.hDC = page.Dc();
  param.bColor = TRUE;
  param.bLineNo = TRUE;
  param.nWrapMode = MIREL_WRAP_WORD;
  SetRect(&param.rcPrint, kPreviewMargin, kPreviewMargin, kPreviewWidth - kPreviewMargin,
          kPreviewHeight - kPreviewMargin);
  api.pfnPreparePrint(hWndMirel, &param);
  if (param.nPageCount < 1) {
    api.pfnEndPrint(hWndMirel);
    *pError = "the document gave no page to print";
    return false;
  }
  api.pfnPrintPage(hWndMirel, page.Dc(), 0);
  api.pfnEndPrint(hWndMirel);
  const std::vector<std::uint8_t> file = EncodeBmp24(kPreviewWidth, kPreviewHeight, page.Pixels());
  if (file.empty()) {
    *pError = "cannot encode the preview page";
    return false;
  }
  return WriteWholeFile(strPath, file.data(), file.size(), pError);
}

}  // namespace mirel_host
