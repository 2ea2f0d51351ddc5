// Test hooks for the gdi part of the Win32 stand-in (non-Windows builds only).
// Every drawing call is recorded on the DC that made it and, for a window's
// DC, on the window too, so tests can check what was drawn without pixels.
#pragma once

#include "win32_types.h"

#include <string>
#include <vector>

enum class MrwDrawKind {
  kTextOut,     // TextOutA/W and ExtTextOutA/W
  kFillRect,    // FillRect
  kFrameRect,   // FrameRect
  kInvertRect,  // InvertRect
  kPatBlt,      // PatBlt
  kBitBlt,      // BitBlt
  kStretchBlt,  // StretchBlt
  kLine,        // LineTo (points: start, end)
  kPolyline,    // Polyline
  kPolygon,     // Polygon
  kRectangle,   // Rectangle
  kRoundRect,   // RoundRect
  kEllipse,     // Ellipse
  kSetPixel,    // SetPixel/SetPixelV
  kSetDIBits,   // SetDIBitsToDevice
};

// One recorded drawing call. Coordinates are logical, as the caller passed
// them; `origin` is what was added to reach device pixels.
struct MrwDrawOp {
  MrwDrawKind kind = MrwDrawKind::kTextOut;
  int x = 0;  // reference point of text, destination of blits, pixel position
  int y = 0;
  RECT rect = {0, 0, 0, 0};   // rectangle argument (text: the ExtTextOut rectangle)
  std::vector<POINT> points;  // lines and polygons
  std::u16string text;        // text output as UTF-16 (ANSI text converted with the font's code page)
  std::vector<int> dx;        // ExtTextOut advances, when given
  UINT options = 0;           // ExtTextOut options
  DWORD rop = 0;              // ternary raster operation of blits, binary mix mode of lines and shapes
  HFONT font = nullptr;
  COLORREF textColor = 0;
  COLORREF bkColor = 0;
  int bkMode = 0;
  UINT textAlign = 0;
  int charExtra = 0;
  COLORREF brushColor = 0;  // brush used (FillRect/FrameRect argument or the DC's brush)
  bool brushNull = false;
  COLORREF penColor = 0;
  int penStyle = 0;
  int penWidth = 0;
  COLORREF color = 0;  // SetPixel colour
  POINT origin = {0, 0};
  RECT clip = {0, 0, 0, 0};  // device clip box in effect
};

// The drawing calls recorded on a DC, or on all DCs of a window; empty for
// an unknown handle.
std::vector<MrwDrawOp> MrwTestDrawLog(HDC hdc);
std::vector<MrwDrawOp> MrwTestDrawLog(HWND hWnd);
void MrwTestClearDrawLog(HDC hdc);
void MrwTestClearDrawLog(HWND hWnd);

// A pixel of a window's surface (client coordinates) as a COLORREF;
// CLR_INVALID outside the surface or for an unknown window.
COLORREF MrwTestWindowPixel(HWND hWnd, int x, int y);
// Size of a window's surface; false when the window has none.
bool MrwTestWindowSurfaceSize(HWND hWnd, int* pcx, int* pcy);

// Writes a window's surface or a bitmap as an image file: PNG when the path
// ends in ".png", BMP otherwise (".bmp"). False on failure.
bool MrwTestSaveWindowImage(HWND hWnd, const char* path);
bool MrwTestSaveBitmap(HBITMAP hbm, const char* path);

// Number of GDI objects and DCs alive that were created by the program
// (stock objects excluded), to find leaks.
int MrwTestLiveGdiObjects();

// Printers. CreateDCA("WINSPOOL" or NULL, name, ...) makes a DC of an added
// printer: GetDeviceCaps reports its dots per inch and page size in device
// pixels, and every page between StartPage and EndPage is kept.
void MrwTestAddPrinter(const char* pszName, int nDpi, int nPageWidth, int nPageHeight);

struct MrwPrintedPage {
  std::vector<MrwDrawOp> log;  // the drawing calls on the page, in order
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // top row first
};
// The pages a printer DC has ended so far (EndPage), oldest first.
std::vector<MrwPrintedPage> MrwTestPrintedPages(HDC hdc);
