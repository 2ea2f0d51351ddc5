// Writes a picture of a window, frame included, to a BMP file.
#pragma once

#include <windows.h>

#include <string>

namespace mirel_host {

// Copies what the window shows on screen (it must be visible and painted)
// and writes it as a 24-bit BMP. Returns false with a message in *pError.
bool WriteWindowScreenshot(HWND hWnd, const std::string& strPath, std::string* pError);

}  // namespace mirel_host
