// Fonts, text measurement and text output. Every expected width and pixel
// position comes from the font's own metrics and extents, so the same tests
// hold for Windows' fonts and the stand-in's.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gdi_test_canvas.h"
#include "test_support.h"

namespace {

using gdi_test::Canvas;
using gdi_test::kBlack;
using gdi_test::kGreen;
using gdi_test::kWhite;

LOGFONTA FixedFont() {
  return gdi_test::MakeLogFont(-16, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Courier New");
}

SIZE Extent(HDC dc, const char* text) {
  SIZE size{-1, -1};
  EXPECT_TRUE(GetTextExtentPoint32A(dc, text, static_cast<int>(std::char_traits<char>::length(text)), &size));
  return size;
}

// Bounds of the pixels in `area` that differ from `background`; empty when none.
RECT InkBounds(const Canvas& canvas, const RECT& area, COLORREF background) {
  RECT ink{area.right, area.bottom, area.left, area.top};
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (canvas.Pixel(x, y) == background) continue;
      ink.left = std::min<LONG>(ink.left, x);
      ink.top = std::min<LONG>(ink.top, y);
      ink.right = std::max<LONG>(ink.right, x + 1);
      ink.bottom = std::max<LONG>(ink.bottom, y + 1);
    }
  }
  if (ink.right <= ink.left) ink = RECT{0, 0, 0, 0};
  return ink;
}

bool IsFixedPitch(const TEXTMETRICA& tm) {
  return (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
}

TEST(GdiTextMetrics, ExtentsAgreeWithTheMetrics) {
  Canvas canvas(10, 10);
  gdi_test::SelectedFont font(canvas.dc(), FixedFont());
  const TEXTMETRICA tm = font.Metrics();
  ASSERT_GT(tm.tmHeight, 0);
  EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
  EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 16);  // a negative height asks for the character height

  const SIZE one = Extent(canvas.dc(), "a");
  const SIZE two = Extent(canvas.dc(), "ab");
  EXPECT_EQ(one.cy, tm.tmHeight);
  EXPECT_GT(two.cx, one.cx);
  SIZE empty{-1, -1};
  EXPECT_TRUE(GetTextExtentPoint32A(canvas.dc(), "", 0, &empty));
  EXPECT_EQ(empty.cx, 0);
  if (IsFixedPitch(tm)) {
    EXPECT_EQ(two.cx, 2 * one.cx);
    EXPECT_EQ(one.cx, tm.tmAveCharWidth);
    EXPECT_EQ(Extent(canvas.dc(), "iW").cx, 2 * one.cx);
    int width = 0;
    EXPECT_TRUE(GetCharWidth32A(canvas.dc(), 'W', 'W', &width));
    EXPECT_EQ(width, one.cx);
  }
  SIZE wide{};
  const std::basic_string<WCHAR> ab = mirel_test::Wide(u"ab");
  EXPECT_TRUE(GetTextExtentPoint32W(canvas.dc(), ab.c_str(), 2, &wide));
  EXPECT_EQ(wide.cx, two.cx);
}

TEST(GdiTextMetrics, CharacterExtraAddsToEveryCharacter) {
  Canvas canvas(10, 10);
  gdi_test::SelectedFont font(canvas.dc(), FixedFont());
  const SIZE plain = Extent(canvas.dc(), "abc");
  SetTextCharacterExtra(canvas.dc(), 4);
  EXPECT_EQ(Extent(canvas.dc(), "abc").cx, plain.cx + 3 * 4);
  const std::basic_string<WCHAR> abc = mirel_test::Wide(u"abc");
  SIZE wide{};
  GetTextExtentPoint32W(canvas.dc(), abc.c_str(), 3, &wide);
  EXPECT_EQ(wide.cx, plain.cx + 3 * 4);
  SetTextCharacterExtra(canvas.dc(), -1);
  EXPECT_EQ(Extent(canvas.dc(), "abc").cx, plain.cx - 3);
}

TEST(GdiTextMetrics, ExtentExPointGivesFitAndPartialExtents) {
  Canvas canvas(10, 10);
  gdi_test::SelectedFont font(canvas.dc(), FixedFont());
  const char* text = "abcdef";
  std::vector<int> partial(6, -1);
  SIZE size{};
  ASSERT_TRUE(GetTextExtentExPointA(canvas.dc(), text, 6, 0, nullptr, partial.data(), &size));
  EXPECT_EQ(size.cx, Extent(canvas.dc(), text).cx);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(partial[i], Extent(canvas.dc(), std::string(text, i + 1).c_str()).cx) << i;
  }
  int fit = -1;
  ASSERT_TRUE(GetTextExtentExPointA(canvas.dc(), text, 6, partial[2], &fit, nullptr, &size));
  EXPECT_EQ(fit, 3);
  ASSERT_TRUE(GetTextExtentExPointA(canvas.dc(), text, 6, partial[2] - 1, &fit, nullptr, &size));
  EXPECT_EQ(fit, 2);
  ASSERT_TRUE(GetTextExtentExPointA(canvas.dc(), text, 6, 100000, &fit, nullptr, &size));
  EXPECT_EQ(fit, 6);
}

TEST(GdiTextOutput, EtoOpaqueFillsItsRectangleWithTheBackgroundColour) {
  Canvas canvas(60, 40);
  SetBkColor(canvas.dc(), kGreen);
  const RECT rc{5, 6, 45, 30};
  EXPECT_TRUE(ExtTextOutA(canvas.dc(), 5, 6, ETO_OPAQUE, &rc, nullptr, 0, nullptr));
  EXPECT_EQ(canvas.Count(rc, kGreen), 40 * 24);
  EXPECT_EQ(canvas.CountOtherOutside(rc, kWhite), 0);

  canvas.Fill(kWhite);  // reversed corners name the same rectangle
  const RECT reversed{rc.right, rc.bottom, rc.left, rc.top};
  EXPECT_TRUE(ExtTextOutA(canvas.dc(), 5, 6, ETO_OPAQUE, &reversed, nullptr, 0, nullptr));
  EXPECT_EQ(canvas.Count(rc, kGreen), 40 * 24);
  EXPECT_EQ(canvas.CountOtherOutside(rc, kWhite), 0);
}

TEST(GdiTextOutput, EtoClippedKeepsTextInsideItsRectangle) {
  Canvas canvas(120, 40);
  gdi_test::SelectedFont font(canvas.dc(), FixedFont());
  SetBkMode(canvas.dc(), OPAQUE);
  SetBkColor(canvas.dc(), kGreen);
  const SIZE size = Extent(canvas.dc(), "MMMMMM");
  const RECT rc{10, 5, 10 + size.cx / 2, 5 + size.cy};
  EXPECT_TRUE(ExtTextOutA(canvas.dc(), 10, 5, ETO_CLIPPED, &rc, "MMMMMM", 6, nullptr));
  EXPECT_EQ(canvas.CountOtherOutside(rc, kWhite), 0);
  EXPECT_GT(canvas.CountOther(rc, kWhite), 0);
}

TEST(GdiTextOutput, TransparentTextLeavesThePixelsAroundItsGlyphs) {
  Canvas canvas(80, 50);
  gdi_test::SelectedFont font(canvas.dc(), FixedFont());
  const TEXTMETRICA tm = font.Metrics();
  const SIZE size = Extent(canvas.dc(), "HH");
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetBkColor(canvas.dc(), kGreen);
  SetTextColor(canvas.dc(), kBlack);
  const int x = 10, y = 8;
  EXPECT_TRUE(TextOutA(canvas.dc(), x, y, "HH", 2));
  const RECT cell{x, y, x + size.cx, y + tm.tmHeight};
  EXPECT_EQ(canvas.Count(RECT{0, 0, 80, 50}, kGreen), 0);
  EXPECT_GT(canvas.CountOther(cell, kWhite), 0);
  EXPECT_EQ(canvas.CountOtherOutside(RECT{cell.left - 1, cell.top, cell.right + 1, cell.bottom}, kWhite), 0);
  EXPECT_EQ(canvas.Pixel(x, y), kWhite);  // the cell's top left is no glyph
}

TEST(GdiTextOutput, OpaqueTextFillsItsCellWithTheBackgroundColour) {
  Canvas canvas(80, 50);
  gdi_test::SelectedFont font(canvas.dc(), FixedFont());
  const TEXTMETRICA tm = font.Metrics();
  const SIZE size = Extent(canvas.dc(), "H H");
  SetBkMode(canvas.dc(), OPAQUE);
  SetBkColor(canvas.dc(), kGreen);
  const int x = 10, y = 8;
  EXPECT_TRUE(TextOutA(canvas.dc(), x, y, "H H", 3));
  const RECT cell{x, y, x + size.cx, y + tm.tmHeight};
  EXPECT_EQ(canvas.Pixel(x, y), kGreen);
  EXPECT_EQ(canvas.Pixel(x + size.cx - 1, y + tm.tmHeight - 1), kGreen);
  // The blank in the middle paints only background.
  const int third = size.cx / 3;
  EXPECT_EQ(canvas.Count(RECT{x + third + 1, y, x + 2 * third - 1, y + tm.tmHeight}, kGreen),
            (third - 2) * tm.tmHeight);
  EXPECT_EQ(canvas.CountOtherOutside(cell, kWhite), 0);
}

TEST(GdiTextOutput, AlignmentPlacesTheTextAroundTheReferencePoint) {
  Canvas canvas(120, 80);
  gdi_test::SelectedFont font(canvas.dc(), FixedFont());
  const TEXTMETRICA tm = font.Metrics();
  const SIZE size = Extent(canvas.dc(), "HHH");
  SetBkMode(canvas.dc(), TRANSPARENT);

  SetTextAlign(canvas.dc(), TA_RIGHT | TA_TOP);
  TextOutA(canvas.dc(), 100, 5, "HHH", 3);
  RECT ink = InkBounds(canvas, RECT{0, 0, 120, 80}, kWhite);
  EXPECT_GE(ink.left, 100 - size.cx - 1);
  EXPECT_LE(ink.right, 101);
  EXPECT_GT(ink.right, 100 - size.cx / 3);

  canvas.Fill(kWhite);
  SetTextAlign(canvas.dc(), TA_LEFT | TA_BASELINE);
  TextOutA(canvas.dc(), 10, 50, "HHH", 3);
  ink = InkBounds(canvas, RECT{0, 0, 120, 80}, kWhite);
  EXPECT_GE(ink.top, 50 - tm.tmAscent);
  EXPECT_LE(ink.bottom, 50 + 1);  // "H" sits on the baseline

  canvas.Fill(kWhite);
  SetTextAlign(canvas.dc(), TA_CENTER | TA_BOTTOM);
  TextOutA(canvas.dc(), 60, 70, "HHH", 3);
  ink = InkBounds(canvas, RECT{0, 0, 120, 80}, kWhite);
  EXPECT_GE(ink.left, 60 - size.cx / 2 - 1);
  EXPECT_LE(ink.right, 60 + size.cx / 2 + 2);
  EXPECT_LE(ink.bottom, 70);
  EXPECT_GE(ink.top, 70 - tm.tmHeight);
}

TEST(GdiTextOutput, UpdateCpDrawsAtAndAdvancesTheCurrentPosition) {
  Canvas canvas(120, 40);
  gdi_test::SelectedFont font(canvas.dc(), FixedFont());
  const SIZE size = Extent(canvas.dc(), "abc");
  SetTextAlign(canvas.dc(), TA_UPDATECP);
  MoveToEx(canvas.dc(), 7, 3, nullptr);
  EXPECT_TRUE(TextOutA(canvas.dc(), 500, 500, "abc", 3));  // the coordinates are ignored
  POINT current{};
  GetCurrentPositionEx(canvas.dc(), &current);
  EXPECT_EQ(current.x, 7 + size.cx);
  EXPECT_EQ(current.y, 3);
  EXPECT_GT(canvas.CountOther(RECT{7, 3, 7 + size.cx, 3 + size.cy}, kWhite), 0);
}

TEST(GdiTextOutput, ExtTextOutHonoursTheAdvances) {
  Canvas canvas(120, 40);
  gdi_test::SelectedFont font(canvas.dc(), FixedFont());
  const TEXTMETRICA tm = font.Metrics();
  const int width = Extent(canvas.dc(), "H").cx;
  const int gap = 10;
  const INT dx[2] = {width + gap, width + gap};
  SetBkMode(canvas.dc(), TRANSPARENT);
  const int x = 5, y = 5;
  EXPECT_TRUE(ExtTextOutA(canvas.dc(), x, y, 0, nullptr, "HH", 2, dx));
  // Nothing between the first glyph's cell and the second glyph.
  EXPECT_EQ(canvas.CountOther(RECT{x + width + 1, y, x + width + gap - 1, y + tm.tmHeight}, kWhite), 0);
  EXPECT_GT(canvas.CountOther(RECT{x + width + gap, y, x + 2 * width + gap, y + tm.tmHeight}, kWhite), 0);
}

}  // namespace
