// Drawing into memory DCs: fills, blits, lines, shapes and pixels, checked
// pixel by pixel. These run against Windows' gdi32 as well as the stand-in.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "gdi_test_canvas.h"
#include "test_support.h"

namespace {

using gdi_test::Canvas;
using gdi_test::kBlack;
using gdi_test::kBlue;
using gdi_test::kGreen;
using gdi_test::kRed;
using gdi_test::kWhite;

// Selects a pen and a brush for the length of a scope.
class PenAndBrush {
 public:
  PenAndBrush(HDC dc, HPEN pen, HBRUSH brush) : dc_(dc), pen_(pen), brush_(brush) {
    oldPen_ = SelectObject(dc_, pen_);
    oldBrush_ = SelectObject(dc_, brush_);
  }
  ~PenAndBrush() {
    SelectObject(dc_, oldPen_);
    SelectObject(dc_, oldBrush_);
    DeleteObject(pen_);
    DeleteObject(brush_);
  }
  PenAndBrush(const PenAndBrush&) = delete;
  PenAndBrush& operator=(const PenAndBrush&) = delete;

 private:
  HDC dc_;
  HPEN pen_;
  HBRUSH brush_;
  HGDIOBJ oldPen_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
};

// One expected pixel colour.
struct Spot {
  int x;
  int y;
  COLORREF color;
};

void ExpectPixels(const Canvas& canvas, std::initializer_list<Spot> spots) {
  for (const Spot& s : spots)
    EXPECT_EQ(canvas.Pixel(s.x, s.y), s.color) << "pixel (" << s.x << ", " << s.y << ")";
}

TEST(GdiFill, FillRectPaintsExactlyItsRectangle) {
  Canvas canvas(20, 20);
  ASSERT_TRUE(canvas.ok());
  HBRUSH brush = CreateSolidBrush(RGB(12, 34, 56));
  RECT rc{3, 4, 8, 10};
  EXPECT_NE(FillRect(canvas.dc(), &rc, brush), 0);
  DeleteObject(brush);
  EXPECT_EQ(canvas.Count(rc, RGB(12, 34, 56)), 5 * 6);
  EXPECT_EQ(canvas.CountOtherOutside(rc, kWhite), 0);

  // Reversed corners work like a pattern blit with negative extents: the
  // first corner is inside, the second outside.
  RECT reversed{15, 15, 10, 12};
  FillRect(canvas.dc(), &reversed, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(canvas.Count(RECT{11, 13, 16, 16}, kBlack), 5 * 3);
  EXPECT_EQ(canvas.Count(RECT{0, 0, 20, 20}, kBlack), 5 * 3);
  HBRUSH blue = CreateSolidBrush(kBlue);
  HGDIOBJ old = SelectObject(canvas.dc(), blue);
  EXPECT_TRUE(PatBlt(canvas.dc(), 4, 4, -3, -2, PATCOPY));
  EXPECT_EQ(canvas.Count(RECT{2, 3, 5, 5}, kBlue), 3 * 2);
  EXPECT_EQ(canvas.Count(RECT{0, 0, 20, 20}, kBlue), 3 * 2);
  SelectObject(canvas.dc(), old);
  DeleteObject(blue);
}

TEST(GdiFill, SystemColourBrushesUseTheSystemColour) {
  Canvas canvas(8, 8);
  RECT rc{0, 0, 4, 4};
  EXPECT_NE(FillRect(canvas.dc(), &rc, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_HIGHLIGHT + 1))),
            0);
  EXPECT_EQ(canvas.Pixel(1, 1), GetSysColor(COLOR_HIGHLIGHT) & 0xFFFFFF);
  EXPECT_EQ(canvas.Pixel(5, 5), kWhite);
}

TEST(GdiFill, FrameAndInvertRect) {
  Canvas canvas(20, 20);
  RECT rc{2, 2, 12, 9};
  EXPECT_NE(FrameRect(canvas.dc(), &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
  // The frame only: (5, 5) inside stays white.
  ExpectPixels(canvas, {{2, 2, kBlack}, {11, 8, kBlack}, {11, 5, kBlack}, {5, 5, kWhite}, {12, 5, kWhite}});
  EXPECT_EQ(canvas.Count(RECT{0, 0, 20, 20}, kBlack), 2 * 10 + 2 * 5);

  EXPECT_TRUE(InvertRect(canvas.dc(), &rc));
  EXPECT_EQ(canvas.Pixel(2, 2), kWhite);
  EXPECT_EQ(canvas.Pixel(5, 5), kBlack);
}

TEST(GdiFill, PatBltRasterOperations) {
  Canvas canvas(10, 10);
  HBRUSH brush = CreateSolidBrush(kBlue);
  HGDIOBJ old = SelectObject(canvas.dc(), brush);
  EXPECT_TRUE(PatBlt(canvas.dc(), 0, 0, 5, 5, PATCOPY));
  EXPECT_EQ(canvas.Pixel(4, 4), kBlue);
  EXPECT_EQ(canvas.Pixel(5, 5), kWhite);
  EXPECT_TRUE(PatBlt(canvas.dc(), 0, 0, 10, 1, DSTINVERT));
  EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 255, 0));
  EXPECT_EQ(canvas.Pixel(9, 0), kBlack);
  EXPECT_TRUE(PatBlt(canvas.dc(), 0, 1, 10, 1, PATINVERT));  // blue xor white
  EXPECT_EQ(canvas.Pixel(9, 1), RGB(255, 255, 0));
  EXPECT_TRUE(PatBlt(canvas.dc(), 0, 2, 2, 1, BLACKNESS));
  EXPECT_TRUE(PatBlt(canvas.dc(), 0, 3, 2, 1, WHITENESS));
  EXPECT_EQ(canvas.Pixel(1, 2), kBlack);
  EXPECT_EQ(canvas.Pixel(1, 3), kWhite);
  EXPECT_FALSE(PatBlt(canvas.dc(), 0, 0, 1, 1, SRCCOPY));  // needs a source
  SelectObject(canvas.dc(), old);
  DeleteObject(brush);
}

TEST(GdiBlit, BitBltCopiesPixelsAndClipsToTheSource) {
  Canvas source(8, 8);
  Canvas dest(16, 16);
  source.FillArea(RECT{0, 0, 4, 4}, kRed);
  source.FillArea(RECT{4, 4, 8, 8}, kGreen);
  EXPECT_TRUE(BitBlt(dest.dc(), 2, 3, 8, 8, source.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(dest.Pixel(2, 3), kRed);
  EXPECT_EQ(dest.Pixel(5, 6), kRed);
  EXPECT_EQ(dest.Pixel(6, 7), kGreen);
  EXPECT_EQ(dest.Pixel(9, 10), kGreen);
  EXPECT_EQ(dest.Pixel(6, 3), kWhite);
  EXPECT_EQ(dest.Pixel(10, 11), kWhite);  // beyond the copied block
  EXPECT_EQ(dest.Pixel(1, 3), kWhite);
  EXPECT_EQ(dest.Count(RECT{0, 0, 16, 16}, kRed), 16);
  EXPECT_EQ(dest.Count(RECT{0, 0, 16, 16}, kGreen), 16);
}

TEST(GdiBlit, SourceRasterOperationsCombinePixels) {
  Canvas source(4, 1);
  Canvas dest(4, 1);
  source.FillArea(RECT{0, 0, 4, 1}, RGB(0xF0, 0x0F, 0x33));
  dest.FillArea(RECT{0, 0, 4, 1}, RGB(0x3C, 0x3C, 0x3C));
  BitBlt(dest.dc(), 0, 0, 1, 1, source.dc(), 0, 0, SRCINVERT);
  BitBlt(dest.dc(), 1, 0, 1, 1, source.dc(), 1, 0, SRCAND);
  BitBlt(dest.dc(), 2, 0, 1, 1, source.dc(), 2, 0, SRCPAINT);
  BitBlt(dest.dc(), 3, 0, 1, 1, source.dc(), 3, 0, NOTSRCCOPY);
  EXPECT_EQ(dest.Pixel(0, 0), RGB(0xF0 ^ 0x3C, 0x0F ^ 0x3C, 0x33 ^ 0x3C));
  EXPECT_EQ(dest.Pixel(1, 0), RGB(0xF0 & 0x3C, 0x0F & 0x3C, 0x33 & 0x3C));
  EXPECT_EQ(dest.Pixel(2, 0), RGB(0xF0 | 0x3C, 0x0F | 0x3C, 0x33 | 0x3C));
  EXPECT_EQ(dest.Pixel(3, 0), RGB(0x0F, 0xF0, 0xCC));
}

TEST(GdiBlit, OverlappingCopyWithinOneBitmap) {
  // Scrolling a DC onto itself must read every source pixel before it is
  // overwritten.
  Canvas canvas(10, 1);
  for (int x = 0; x < 10; ++x) SetPixel(canvas.dc(), x, 0, RGB(x * 20, 0, 0));
  EXPECT_TRUE(BitBlt(canvas.dc(), 2, 0, 8, 1, canvas.dc(), 0, 0, SRCCOPY));
  for (int x = 2; x < 10; ++x) EXPECT_EQ(canvas.Pixel(x, 0), RGB((x - 2) * 20, 0, 0)) << x;
  EXPECT_TRUE(BitBlt(canvas.dc(), 0, 0, 8, 1, canvas.dc(), 2, 0, SRCCOPY));
  for (int x = 0; x < 8; ++x) EXPECT_EQ(canvas.Pixel(x, 0), RGB(x * 20, 0, 0)) << x;
}

TEST(GdiBlit, MonochromeSourceTakesTheDestinationColours) {
  Canvas dest(4, 1);
  HDC monoDc = CreateCompatibleDC(nullptr);
  HBITMAP mono = CreateBitmap(2, 1, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(monoDc, mono);
  SetPixel(monoDc, 1, 0, kWhite);  // pixel 0 stays black
  SetTextColor(dest.dc(), kRed);
  SetBkColor(dest.dc(), kBlue);
  EXPECT_TRUE(BitBlt(dest.dc(), 0, 0, 2, 1, monoDc, 0, 0, SRCCOPY));
  EXPECT_EQ(dest.Pixel(0, 0), kRed);
  EXPECT_EQ(dest.Pixel(1, 0), kBlue);
  SelectObject(monoDc, old);
  DeleteObject(mono);
  DeleteDC(monoDc);
}

TEST(GdiBlit, StretchBltScalesByNearestPixel) {
  Canvas source(2, 2);
  Canvas dest(8, 8);
  SetPixel(source.dc(), 0, 0, kRed);
  SetPixel(source.dc(), 1, 0, kGreen);
  SetPixel(source.dc(), 0, 1, kBlue);
  SetPixel(source.dc(), 1, 1, kBlack);
  EXPECT_TRUE(StretchBlt(dest.dc(), 0, 0, 4, 4, source.dc(), 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(dest.Count(RECT{0, 0, 2, 2}, kRed), 4);
  EXPECT_EQ(dest.Count(RECT{2, 0, 4, 2}, kGreen), 4);
  EXPECT_EQ(dest.Count(RECT{0, 2, 2, 4}, kBlue), 4);
  EXPECT_EQ(dest.Count(RECT{2, 2, 4, 4}, kBlack), 4);
  EXPECT_EQ(dest.Pixel(4, 4), kWhite);
}

TEST(GdiPixels, SetAndGetPixel) {
  Canvas canvas(5, 5);
  EXPECT_EQ(SetPixel(canvas.dc(), 2, 3, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(canvas.Pixel(2, 3), RGB(1, 2, 3));
  EXPECT_TRUE(SetPixelV(canvas.dc(), 0, 0, kGreen));
  EXPECT_EQ(canvas.Pixel(0, 0), kGreen);
  EXPECT_EQ(GetPixel(canvas.dc(), 5, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(canvas.dc(), -1, 0), CLR_INVALID);
  if (mirel_test::kStandIn) {
    EXPECT_EQ(SetPixel(canvas.dc(), 9, 9, kRed), CLR_INVALID);  // outside: fails, as documented
  }
}

TEST(GdiPixels, GetDIBitsReadsTopDownRows) {
  Canvas canvas(3, 2);
  SetPixel(canvas.dc(), 0, 0, RGB(0x11, 0x22, 0x33));
  SetPixel(canvas.dc(), 2, 1, RGB(0x44, 0x55, 0x66));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 3;
  info.bmiHeader.biHeight = -2;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(6, 0xDEADBEEF);
  HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  EXPECT_EQ(GetDIBits(screen, canvas.bitmap(), 0, 2, pixels.data(), &info, DIB_RGB_COLORS), 2);
  DeleteDC(screen);
  EXPECT_EQ(pixels[0] & 0xFFFFFF, 0x112233u);  // 0x00RRGGBB in memory order B, G, R
  EXPECT_EQ(pixels[5] & 0xFFFFFF, 0x445566u);
  EXPECT_EQ(pixels[1] & 0xFFFFFF, 0xFFFFFFu);
}

TEST(GdiLines, LineToDrawsThePenUpToButNotIncludingTheEnd) {
  Canvas canvas(20, 20);
  PenAndBrush tools(canvas.dc(), CreatePen(PS_SOLID, 1, kRed), CreateSolidBrush(kWhite));
  POINT previous{};
  EXPECT_TRUE(MoveToEx(canvas.dc(), 2, 5, &previous));
  EXPECT_TRUE(LineTo(canvas.dc(), 12, 5));
  EXPECT_EQ(canvas.Count(RECT{2, 5, 12, 6}, kRed), 10);
  EXPECT_EQ(canvas.Pixel(12, 5), kWhite);
  EXPECT_EQ(canvas.Pixel(1, 5), kWhite);
  POINT current{};
  GetCurrentPositionEx(canvas.dc(), &current);
  EXPECT_EQ(current.x, 12);
  EXPECT_EQ(current.y, 5);

  LineTo(canvas.dc(), 12, 15);  // down from the end point, which it now paints
  EXPECT_EQ(canvas.Count(RECT{12, 5, 13, 15}, kRed), 10);
  EXPECT_EQ(canvas.Pixel(12, 15), kWhite);
  EXPECT_EQ(canvas.CountOtherOutside(RECT{2, 5, 13, 15}, kWhite), 0);
}

TEST(GdiLines, DiagonalLineStaysOnTheDiagonal) {
  Canvas canvas(12, 12);
  PenAndBrush tools(canvas.dc(), CreatePen(PS_SOLID, 1, kBlue), CreateSolidBrush(kWhite));
  MoveToEx(canvas.dc(), 1, 1, nullptr);
  LineTo(canvas.dc(), 9, 9);
  for (int i = 1; i < 9; ++i) EXPECT_EQ(canvas.Pixel(i, i), kBlue) << i;
  EXPECT_EQ(canvas.Pixel(9, 9), kWhite);
  EXPECT_EQ(canvas.Count(RECT{0, 0, 12, 12}, kBlue), 8);
}

TEST(GdiLines, DottedPenLeavesGapsUnlessOpaque) {
  Canvas canvas(60, 4);
  PenAndBrush tools(canvas.dc(), CreatePen(PS_DOT, 1, kBlack), CreateSolidBrush(kWhite));
  SetBkMode(canvas.dc(), TRANSPARENT);
  MoveToEx(canvas.dc(), 0, 1, nullptr);
  LineTo(canvas.dc(), 60, 1);
  const int inked = canvas.Count(RECT{0, 1, 60, 2}, kBlack);
  EXPECT_GT(inked, 10);
  EXPECT_LT(inked, 50);
  SetBkMode(canvas.dc(), OPAQUE);
  SetBkColor(canvas.dc(), kGreen);
  MoveToEx(canvas.dc(), 0, 2, nullptr);
  LineTo(canvas.dc(), 60, 2);
  EXPECT_EQ(canvas.Count(RECT{0, 2, 60, 3}, kBlack) + canvas.Count(RECT{0, 2, 60, 3}, kGreen), 60);
  EXPECT_GT(canvas.Count(RECT{0, 2, 60, 3}, kGreen), 0);
}

TEST(GdiLines, MixModesCombineWithTheDestination) {
  Canvas canvas(10, 3);
  PenAndBrush tools(canvas.dc(), CreatePen(PS_SOLID, 1, RGB(0x0F, 0xF0, 0x55)), CreateSolidBrush(kWhite));
  SetROP2(canvas.dc(), R2_XORPEN);
  MoveToEx(canvas.dc(), 0, 0, nullptr);
  LineTo(canvas.dc(), 10, 0);
  EXPECT_EQ(canvas.Pixel(3, 0), RGB(0xF0, 0x0F, 0xAA));
  MoveToEx(canvas.dc(), 0, 0, nullptr);
  LineTo(canvas.dc(), 10, 0);  // twice: back to white
  EXPECT_EQ(canvas.Pixel(3, 0), kWhite);
  SetROP2(canvas.dc(), R2_NOT);
  MoveToEx(canvas.dc(), 0, 1, nullptr);
  LineTo(canvas.dc(), 10, 1);
  EXPECT_EQ(canvas.Pixel(5, 1), kBlack);
}

TEST(GdiLines, WidePenCoversItsWidth) {
  Canvas canvas(20, 20);
  PenAndBrush tools(canvas.dc(), CreatePen(PS_SOLID, 3, kRed), CreateSolidBrush(kWhite));
  MoveToEx(canvas.dc(), 5, 10, nullptr);
  LineTo(canvas.dc(), 15, 10);
  ExpectPixels(canvas, {{10, 9, kRed}, {10, 10, kRed}, {10, 11, kRed}, {10, 13, kWhite}, {10, 7, kWhite}});
}

TEST(GdiShapes, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
  Canvas canvas(20, 20);
  PenAndBrush tools(canvas.dc(), CreatePen(PS_SOLID, 1, kRed), CreateSolidBrush(kBlue));
  EXPECT_TRUE(Rectangle(canvas.dc(), 2, 3, 12, 10));
  // The right and bottom edges, as at (11, 9), are inside.
  ExpectPixels(canvas,
               {{2, 3, kRed}, {11, 9, kRed}, {11, 5, kRed}, {6, 9, kRed}, {3, 4, kBlue}, {10, 8, kBlue}});
  EXPECT_EQ(canvas.Count(RECT{0, 0, 20, 20}, kBlue), 8 * 5);
  EXPECT_EQ(canvas.CountOtherOutside(RECT{2, 3, 12, 10}, kWhite), 0);
}

TEST(GdiShapes, NullBrushAndNullPen) {
  Canvas canvas(20, 20);
  HGDIOBJ oldBrush = SelectObject(canvas.dc(), GetStockObject(NULL_BRUSH));
  Rectangle(canvas.dc(), 2, 2, 10, 10);
  EXPECT_EQ(canvas.Pixel(2, 2), kBlack);
  EXPECT_EQ(canvas.Pixel(5, 5), kWhite);
  SelectObject(canvas.dc(), oldBrush);

  HBRUSH green = CreateSolidBrush(kGreen);
  oldBrush = SelectObject(canvas.dc(), green);
  HGDIOBJ oldPen = SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
  canvas.Fill(kWhite);
  Rectangle(canvas.dc(), 2, 2, 10, 10);
  // Without a pen the rectangle is one pixel smaller on the right and bottom.
  EXPECT_EQ(canvas.Count(RECT{0, 0, 20, 20}, kGreen), 7 * 7);
  EXPECT_EQ(canvas.Pixel(2, 2), kGreen);
  EXPECT_EQ(canvas.Pixel(9, 9), kWhite);
  SelectObject(canvas.dc(), oldPen);
  SelectObject(canvas.dc(), oldBrush);
  DeleteObject(green);
}

TEST(GdiShapes, EllipseAndRoundRectLeaveTheirCornersAlone) {
  Canvas canvas(40, 20);
  PenAndBrush tools(canvas.dc(), CreatePen(PS_SOLID, 1, kRed), CreateSolidBrush(kBlue));
  EXPECT_TRUE(Ellipse(canvas.dc(), 0, 0, 17, 17));
  // The outline touches the box's sides at (0, 8) and (8, 0).
  ExpectPixels(canvas, {{8, 8, kBlue}, {0, 0, kWhite}, {16, 16, kWhite}, {0, 8, kRed}, {8, 0, kRed}});
  EXPECT_EQ(canvas.CountOtherOutside(RECT{0, 0, 17, 17}, kWhite), 0);

  EXPECT_TRUE(RoundRect(canvas.dc(), 20, 2, 38, 18, 8, 8));
  ExpectPixels(canvas, {{20, 2, kWhite}, {37, 17, kWhite}, {29, 10, kBlue}, {29, 2, kRed}, {20, 10, kRed}});
}

TEST(GdiShapes, PolygonFillsItsInterior) {
  Canvas canvas(30, 30);
  PenAndBrush tools(canvas.dc(), CreatePen(PS_SOLID, 1, kRed), CreateSolidBrush(kGreen));
  const POINT triangle[] = {{2, 2}, {26, 2}, {2, 26}};
  EXPECT_TRUE(Polygon(canvas.dc(), triangle, 3));
  ExpectPixels(canvas, {{6, 6, kGreen}, {10, 2, kRed}, {2, 10, kRed}, {20, 20, kWhite}, {1, 1, kWhite}});

  const POINT path[] = {{2, 28}, {20, 28}, {20, 20}};
  EXPECT_TRUE(Polyline(canvas.dc(), path, 3));
  // The last point, (20, 20), is left out.
  ExpectPixels(canvas, {{10, 28, kRed}, {20, 24, kRed}, {20, 20, kWhite}});
}

}  // namespace
