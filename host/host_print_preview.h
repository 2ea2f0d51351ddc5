// Prints page 1 of the control's document on a page-sized bitmap, as a
// printer at 150 dots per inch would receive it, and writes it as a BMP.
#pragma once

#include <windows.h>

#include <string>

#include "host_mirel_api.h"

namespace mirel_host {

// The preview page: A4 at 150 dots per inch, margins of half an inch. The
// check program reads the picture with the same geometry.
constexpr int kPreviewDpi = 150;
constexpr int kPreviewWidth = 1240;
constexpr int kPreviewHeight = 1754;
constexpr int kPreviewMargin = kPreviewDpi / 2;
constexpr int kPreviewPointSize = 10;

// Prints page 1 of hWndMirel's document with colours and paragraph numbers.
// Returns false with a message when the library cannot print or the page
// cannot be made or written.
bool WritePrintPreview(const CMirelApi& api, HWND hWndMirel, const std::string& strPath, std::string* pError);

}  // namespace mirel_host
