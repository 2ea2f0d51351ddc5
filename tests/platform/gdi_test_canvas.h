// Helpers of the graphics tests: a memory DC holding a colour bitmap, and a
// font selected for the length of a scope. Both work with Windows' own
// gdi32 and with the stand-in.
#pragma once

#include <windows.h>

namespace gdi_test {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A memory DC with a display-compatible (colour) bitmap, filled white.
class Canvas {
 public:
  Canvas(int cx, int cy) : width_(cx), height_(cy) {
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, cx, cy);
    DeleteDC(screen);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    Fill(kWhite);
  }
  ~Canvas() {
    SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }
  bool ok() const { return dc_ && bitmap_ && oldBitmap_; }

  void Fill(COLORREF color) { FillArea(RECT{0, 0, width_, height_}, color); }
  void FillArea(const RECT& rc, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc_, &rc, brush);
    DeleteObject(brush);
  }
  COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

  // Pixels of `area` (clipped to the canvas) that have / lack `color`.
  int Count(const RECT& area, COLORREF color) const {
    int count = 0;
    for (int y = Clamp(area.top, height_); y < Clamp(area.bottom, height_); ++y) {
      for (int x = Clamp(area.left, width_); x < Clamp(area.right, width_); ++x) {
        if (GetPixel(dc_, x, y) == color) ++count;
      }
    }
    return count;
  }
  int CountOther(const RECT& area, COLORREF color) const {
    const RECT clipped{Clamp(area.left, width_), Clamp(area.top, height_), Clamp(area.right, width_),
                       Clamp(area.bottom, height_)};
    const int size = (clipped.right > clipped.left && clipped.bottom > clipped.top)
                         ? (clipped.right - clipped.left) * (clipped.bottom - clipped.top)
                         : 0;
    return size - Count(clipped, color);
  }
  // Pixels outside `area` that lack `color`.
  int CountOtherOutside(const RECT& area, COLORREF color) const {
    return CountOther(RECT{0, 0, width_, height_}, color) - CountOther(area, color);
  }

 private:
  static int Clamp(int value, int limit) { return value < 0 ? 0 : (value > limit ? limit : value); }

  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
};

// A font created from a LOGFONT and selected into a DC until the scope ends.
class SelectedFont {
 public:
  SelectedFont(HDC dc, const LOGFONTA& lf) : dc_(dc), font_(CreateFontIndirectA(&lf)) {
    old_ = SelectObject(dc_, font_);
  }
  ~SelectedFont() {
    SelectObject(dc_, old_);
    DeleteObject(font_);
  }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

  HFONT font() const { return font_; }
  TEXTMETRICA Metrics() const {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc_, &tm);
    return tm;
  }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_ = nullptr;
};

inline LOGFONTA MakeLogFont(LONG height, BYTE charSet, BYTE pitchAndFamily, const char* face) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = charSet;
  lf.lfPitchAndFamily = pitchAndFamily;
  for (int i = 0; face && face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
  return lf;
}

}  // namespace gdi_test
