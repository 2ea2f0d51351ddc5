// GDI objects and DC state: stock objects, object descriptions, selection,
// saved states, attributes, device capabilities and clipping. These run
// against Windows' gdi32 as well as the stand-in.
#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

#include "gdi_test_canvas.h"
#include "test_support.h"

namespace {

using gdi_test::Canvas;

TEST(GdiStockObjects, HaveTheirTypesAndDescriptions) {
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(GetObjectType(GetStockObject(NULL_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), static_cast<DWORD>(OBJ_PEN));
  EXPECT_EQ(GetObjectType(GetStockObject(NULL_PEN)), static_cast<DWORD>(OBJ_PEN));
  for (int font : {SYSTEM_FONT, DEFAULT_GUI_FONT, ANSI_FIXED_FONT, OEM_FIXED_FONT, SYSTEM_FIXED_FONT,
                   DEVICE_DEFAULT_FONT}) {
    EXPECT_EQ(GetObjectType(GetStockObject(font)), static_cast<DWORD>(OBJ_FONT)) << font;
  }

  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectA(GetStockObject(WHITE_BRUSH), sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(lb.lbColor, RGB(255, 255, 255));
  ASSERT_EQ(GetObjectA(GetStockObject(BLACK_BRUSH), sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
  EXPECT_EQ(lb.lbColor, RGB(0, 0, 0));
  ASSERT_EQ(GetObjectA(GetStockObject(NULL_BRUSH), sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_NULL));

  LOGPEN lp{};
  ASSERT_EQ(GetObjectA(GetStockObject(WHITE_PEN), sizeof(lp), &lp), static_cast<int>(sizeof(lp)));
  EXPECT_EQ(lp.lopnColor, RGB(255, 255, 255));
  ASSERT_EQ(GetObjectA(GetStockObject(NULL_PEN), sizeof(lp), &lp), static_cast<int>(sizeof(lp)));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_NULL));
}

TEST(GdiStockObjects, SurviveDeleteObject) {
  HGDIOBJ brush = GetStockObject(GRAY_BRUSH);
  HGDIOBJ font = GetStockObject(SYSTEM_FONT);
  DeleteObject(brush);
  DeleteObject(font);
  EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetStockObject(GRAY_BRUSH), brush);
}

TEST(GdiObjects, DescribeWhatTheyWereMadeFrom) {
  LOGFONTA lf = gdi_test::MakeLogFont(-19, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Courier New");
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = TRUE;
  HFONT font = CreateFontIndirectA(&lf);
  ASSERT_NE(font, nullptr);
  LOGFONTA back{};
  EXPECT_EQ(GetObjectA(font, sizeof(back), &back), static_cast<int>(sizeof(back)));
  EXPECT_EQ(back.lfHeight, -19);
  EXPECT_EQ(back.lfWeight, FW_BOLD);
  EXPECT_TRUE(back.lfItalic);
  EXPECT_STREQ(back.lfFaceName, "Courier New");
  EXPECT_EQ(GetObjectA(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTA)));
  EXPECT_TRUE(DeleteObject(font));

  HPEN pen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
  LOGPEN lp{};
  ASSERT_EQ(GetObjectA(pen, sizeof(lp), &lp), static_cast<int>(sizeof(lp)));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASH));
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  EXPECT_EQ(lp.lopnWidth.x, 1);
  EXPECT_TRUE(DeleteObject(pen));

  LOGBRUSH request{BS_HATCHED, RGB(9, 8, 7), HS_CROSS};
  HBRUSH brush = CreateBrushIndirect(&request);
  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectA(brush, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HATCHED));
  EXPECT_EQ(lb.lbColor, RGB(9, 8, 7));
  EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_CROSS));
  EXPECT_TRUE(DeleteObject(brush));

  HBITMAP colour = CreateBitmap(7, 5, 1, 32, nullptr);
  HBITMAP mono = CreateBitmap(9, 3, 1, 1, nullptr);
  BITMAP bm{};
  ASSERT_EQ(GetObjectA(colour, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
  EXPECT_EQ(bm.bmWidth, 7);
  EXPECT_EQ(bm.bmHeight, 5);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  ASSERT_EQ(GetObjectA(mono, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
  EXPECT_EQ(bm.bmWidth, 9);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(GetObjectType(mono), static_cast<DWORD>(OBJ_BITMAP));
  DeleteObject(colour);
  DeleteObject(mono);
}

TEST(GdiObjects, DeletedHandlesFailCleanly) {
  HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1));
  ASSERT_TRUE(DeleteObject(brush));
  EXPECT_EQ(GetObjectType(brush), 0u);
  LOGBRUSH lb{};
  EXPECT_EQ(GetObjectA(brush, sizeof(lb), &lb), 0);
  EXPECT_FALSE(DeleteObject(brush));

  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_TRUE(DeleteDC(dc));
  EXPECT_EQ(GetObjectType(dc), 0u);
  EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), nullptr);
  EXPECT_FALSE(TextOutA(dc, 0, 0, "x", 1));
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
  EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
  SIZE size{};
  EXPECT_FALSE(GetTextExtentPoint32A(dc, "x", 1, &size));
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 0);
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

TEST(GdiObjects, RefuseBadArguments) {
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 4, 4), nullptr);  // needs a DC
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  if (mirel_test::kStandIn) {
    EXPECT_EQ(CreateCompatibleBitmap(display, -1, 5), nullptr);  // refused rather than guessed at
  }
  // An empty size gives the 1x1 monochrome bitmap.
  BITMAP bm{};
  ASSERT_NE(GetObjectA(CreateCompatibleBitmap(display, 0, 7), sizeof(bm), &bm), 0);
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmHeight, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  DeleteDC(display);
  EXPECT_EQ(CreateHatchBrush(99, 0), nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  SIZE size{};
  EXPECT_FALSE(GetTextExtentPoint32A(dc, "abc", -1, &size));
  EXPECT_FALSE(TextOutA(dc, 0, 0, "abc", -2));
  POINT one{0, 0};
  EXPECT_FALSE(Polyline(dc, &one, 1));
  int widths[2] = {};
  EXPECT_FALSE(GetCharWidth32A(dc, 'b', 'a', widths));
  DeleteDC(dc);
}

TEST(GdiDc, NewMemoryDcHoldsTheDefaultObjects) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  // Its bitmap is 1x1 monochrome, so compatible bitmaps made from it are too.
  BITMAP bm{};
  ASSERT_NE(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof(bm), &bm), 0);
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmHeight, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  HBITMAP made = CreateCompatibleBitmap(dc, 8, 8);
  ASSERT_NE(GetObjectA(made, sizeof(bm), &bm), 0);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  DeleteObject(made);
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
  EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_LEFT | TA_TOP | TA_NOUPDATECP));
  EXPECT_EQ(GetMapMode(dc), MM_TEXT);
  DeleteDC(dc);
}

TEST(GdiDc, SelectObjectReturnsThePreviousObjectOfItsType) {
  HDC dc = CreateCompatibleDC(nullptr);
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HPEN blue = CreatePen(PS_SOLID, 2, RGB(0, 0, 255));
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  LOGFONTA lf = gdi_test::MakeLogFont(-12, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "Arial");
  HFONT font = CreateFontIndirectA(&lf);

  EXPECT_EQ(SelectObject(dc, red), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));  // the pen stays
  EXPECT_EQ(SelectObject(dc, blue), red);
  EXPECT_EQ(SelectObject(dc, font), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), blue);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), blue);
  EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), brush);
  EXPECT_EQ(SelectObject(dc, GetStockObject(SYSTEM_FONT)), font);

  DeleteObject(red);
  DeleteObject(blue);
  DeleteObject(brush);
  DeleteObject(font);
  DeleteDC(dc);
}

TEST(GdiDc, BitmapGoesIntoOneMemoryDcOnly) {
  HDC first = CreateCompatibleDC(nullptr);
  HDC second = CreateCompatibleDC(nullptr);
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(display, 4, 4);
  HGDIOBJ original = SelectObject(first, bitmap);
  ASSERT_NE(original, nullptr);
  EXPECT_EQ(SelectObject(second, bitmap), nullptr);
  EXPECT_EQ(SelectObject(display, bitmap), nullptr);  // not a memory DC
  // Once the first lets go, the second may take it.
  EXPECT_EQ(SelectObject(first, original), bitmap);
  EXPECT_NE(SelectObject(second, bitmap), nullptr);
  SelectObject(second, original);
  DeleteObject(bitmap);
  DeleteDC(first);
  DeleteDC(second);
  DeleteDC(display);
}

TEST(GdiDc, SaveAndRestoreBringBackAttributesAndObjects) {
  HDC dc = CreateCompatibleDC(nullptr);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 128, 0));
  SetTextColor(dc, RGB(1, 1, 1));
  const int level = SaveDC(dc);
  ASSERT_GT(level, 0);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  SetTextColor(dc, RGB(2, 2, 2));
  SetBkMode(dc, TRANSPARENT);
  const int inner = SaveDC(dc);
  EXPECT_EQ(inner, level + 1);
  SetTextColor(dc, RGB(3, 3, 3));

  EXPECT_TRUE(RestoreDC(dc, -1));
  EXPECT_EQ(GetTextColor(dc), RGB(2, 2, 2));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_TRUE(RestoreDC(dc, level));
  EXPECT_EQ(GetTextColor(dc), RGB(1, 1, 1));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), oldPen);
  EXPECT_FALSE(RestoreDC(dc, level));  // already popped
  EXPECT_FALSE(RestoreDC(dc, 0));
  DeleteObject(pen);
  DeleteDC(dc);
}

TEST(GdiDc, AttributeSettersReturnThePreviousValue) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SetTextColor(dc, RGB(10, 20, 30)), RGB(0, 0, 0));
  EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(10, 20, 30));
  EXPECT_EQ(SetBkColor(dc, RGB(40, 50, 60)), RGB(255, 255, 255));
  EXPECT_EQ(GetBkColor(dc), RGB(40, 50, 60));
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetBkMode(dc, OPAQUE), TRANSPARENT);
  EXPECT_EQ(SetTextAlign(dc, TA_RIGHT | TA_BASELINE), static_cast<UINT>(TA_LEFT | TA_TOP));
  EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_RIGHT | TA_BASELINE));
  EXPECT_EQ(SetTextCharacterExtra(dc, 3), 0);
  EXPECT_EQ(GetTextCharacterExtra(dc), 3);
  EXPECT_EQ(SetROP2(dc, R2_XORPEN), R2_COPYPEN);
  EXPECT_EQ(SetROP2(dc, R2_NOT), R2_XORPEN);
  EXPECT_EQ(SetMapMode(dc, MM_TEXT), MM_TEXT);
  POINT previous{-1, -1};
  EXPECT_TRUE(SetViewportOrgEx(dc, 5, 6, &previous));
  EXPECT_EQ(previous.x, 0);
  EXPECT_TRUE(SetViewportOrgEx(dc, 0, 0, &previous));
  EXPECT_EQ(previous.y, 6);
  DeleteDC(dc);
}

TEST(GdiDc, DeviceCapsDescribeA96DpiDisplay) {
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(GetObjectType(display), static_cast<DWORD>(OBJ_DC));
  EXPECT_EQ(GetDeviceCaps(display, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(display, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(display, TECHNOLOGY), DT_RASDISPLAY);
  EXPECT_GT(GetDeviceCaps(display, HORZRES), 0);
  EXPECT_GT(GetDeviceCaps(display, VERTRES), 0);
  EXPECT_NE(GetDeviceCaps(display, RASTERCAPS) & RC_BITBLT, 0);
  HDC memory = CreateCompatibleDC(display);
  EXPECT_EQ(GetDeviceCaps(memory, LOGPIXELSY), 96);
  DeleteDC(memory);
  DeleteDC(display);
}

TEST(GdiDc, StandInScreenIs1024By768With32Bits) {
  MIREL_REQUIRE_STANDIN();
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  EXPECT_EQ(GetDeviceCaps(display, HORZRES), 1024);
  EXPECT_EQ(GetDeviceCaps(display, VERTRES), 768);
  EXPECT_EQ(GetDeviceCaps(display, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(display, PLANES), 1);
  DeleteDC(display);
}

TEST(GdiClip, ClippingRestrictsPaintingAndTheClipBox) {
  Canvas canvas(40, 30);
  ASSERT_TRUE(canvas.ok());
  RECT box{};
  EXPECT_EQ(GetClipBox(canvas.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 40);
  EXPECT_EQ(box.bottom, 30);

  EXPECT_EQ(IntersectClipRect(canvas.dc(), 10, 5, 30, 25), SIMPLEREGION);
  EXPECT_EQ(GetClipBox(canvas.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.top, 5);
  EXPECT_EQ(box.right, 30);
  EXPECT_EQ(box.bottom, 25);
  EXPECT_EQ(ExcludeClipRect(canvas.dc(), 15, 10, 20, 15), COMPLEXREGION);

  canvas.Fill(gdi_test::kRed);
  EXPECT_EQ(canvas.Count(RECT{0, 0, 40, 30}, gdi_test::kRed), 20 * 20 - 5 * 5);
  SelectClipRgn(canvas.dc(), nullptr);
  EXPECT_EQ(canvas.Pixel(16, 11), gdi_test::kWhite);  // the hole
  EXPECT_EQ(canvas.Pixel(9, 5), gdi_test::kWhite);
  EXPECT_EQ(canvas.Pixel(10, 5), gdi_test::kRed);
  EXPECT_EQ(canvas.Pixel(29, 24), gdi_test::kRed);
  EXPECT_EQ(canvas.Pixel(30, 24), gdi_test::kWhite);

  // A region selected as the clip is in device units and copied.
  HRGN region = CreateRectRgn(0, 0, 4, 4);
  EXPECT_EQ(SelectClipRgn(canvas.dc(), region), SIMPLEREGION);
  DeleteObject(region);
  canvas.Fill(gdi_test::kBlue);
  EXPECT_EQ(canvas.Count(RECT{0, 0, 40, 30}, gdi_test::kBlue), 16);
  if (mirel_test::kStandIn) {
    EXPECT_EQ(GetPixel(canvas.dc(), 5, 5), CLR_INVALID);  // outside the clip, as documented
  }
}

TEST(GdiClip, ClipRectanglesFollowTheOrigins) {
  Canvas canvas(40, 30);
  SetViewportOrgEx(canvas.dc(), 10, 10, nullptr);
  IntersectClipRect(canvas.dc(), 0, 0, 5, 5);  // device 10..15
  RECT box{};
  GetClipBox(canvas.dc(), &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 5);
  canvas.Fill(gdi_test::kGreen);
  SetViewportOrgEx(canvas.dc(), 0, 0, nullptr);
  SelectClipRgn(canvas.dc(), nullptr);
  EXPECT_EQ(canvas.Pixel(10, 10), gdi_test::kGreen);
  EXPECT_EQ(canvas.Pixel(14, 14), gdi_test::kGreen);
  EXPECT_EQ(canvas.Pixel(9, 10), gdi_test::kWhite);
  EXPECT_EQ(canvas.Pixel(15, 14), gdi_test::kWhite);
}

}  // namespace
