// Painting of the hex view: what a row and the ruler draw (from the
// stand-in's draw log), the pixels a paint leaves in the back buffer, the
// rows a repaint request names, and the refresh after a new hex font.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "hexview_fixture.h"
#include "paint_test_util.h"
#include "test_support.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

namespace {

using mirel_hex_test::B;
using mirel_hex_test::HexViewTest;

// Colours no default uses, so a pixel tells where it came from.
constexpr COLORREF kBack = RGB(250, 240, 230);
constexpr COLORREF kFore = RGB(10, 20, 30);
constexpr COLORREF kSelBack = RGB(20, 60, 200);
constexpr COLORREF kSelFore = RGB(255, 255, 0);

class HexViewPaint : public HexViewTest {
 protected:
  void OpenColoured(const std::string& text) {
    Open(text);
    doc.SetBackColor(kBack);
    doc.SetForeColor(kFore);
    doc.SetSelBackColor(kSelBack);
    doc.SetSelForeColor(kSelFore);
  }

  // A paint with a repaint request of the tag for every row.
  void Paint() { mirel_paint_test::PaintEveryRow(*pEdit, hEdit); }

  // A pixel of the back buffer the last paint copied to the screen.
  COLORREF Pixel(int x, int y) { return mirel_paint_test::BitmapPixel(pEdit->hBackBitmap, x, y); }

  // The middle of the space that follows a byte's two digits (always the
  // cell's background) on a visible row.
  POINT SpaceAfter(DWORD nPos) {
    const int nRow = doc.GetHexLineFromPos(nPos);
    const int x = doc.GetHexXFromPos(nRow, nPos, MIREL_HEX_AREA_CELLS) + 2 * cx + cx / 2;
    return POINT{x, doc.nRulerHeight + (nRow - pEdit->nTopLine) * H + cy / 2};
  }
};

TEST_F(HexViewPaint, SelectedCellsShowTheSelectionColoursInTheCaretsArea) {
  OpenColoured(std::string(40, 'x'));
  Select(17, 20);  // bytes 17 to 19
  Paint();
  EXPECT_EQ(Pixel(SpaceAfter(16).x, SpaceAfter(16).y), kBack);
  EXPECT_EQ(Pixel(SpaceAfter(17).x, SpaceAfter(17).y), kSelBack);
  EXPECT_EQ(Pixel(SpaceAfter(18).x, SpaceAfter(18).y), kSelBack);
  // The space after the run's last byte belongs to the next run.
  EXPECT_EQ(Pixel(SpaceAfter(19).x, SpaceAfter(19).y), kBack);
  // Below the last row only the background shows.
  const int yBelow = doc.nRulerHeight + 3 * H + 1;
  ASSERT_LT(yBelow, pEdit->rcEdit.bottom);
  EXPECT_EQ(Pixel(doc.nHexAddrWidth + cx, yBelow), kBack);
}

TEST_F(HexViewPaint, RowsStartUnderTheRulerOrAtTheTopWithoutIt) {
  OpenColoured(std::string(40, 'x'));
  Select(0, 2);
  for (BOOL bRuler : {TRUE, FALSE}) {
    SCOPED_TRACE(bRuler);
    doc.EnableRuler(bRuler);
    ASSERT_EQ(doc.nRulerHeight > 0, bRuler != FALSE);
    Paint();
    const POINT pt = SpaceAfter(0);
    EXPECT_EQ(pt.y, (bRuler ? doc.nRulerHeight : 0) + cy / 2);
    EXPECT_EQ(Pixel(pt.x, pt.y), kSelBack);
    if (bRuler) {
      EXPECT_EQ(Pixel(pEdit->rcEdit.right - 2, 1), MIREL_GRAY_MARGIN_COLOR);
    }
  }
}

TEST_F(HexViewPaint, RepaintRequestsNameTheirRowsWhicheverWayTheRangeRuns) {
  Open(std::string(16 * 10, 'x'));
  View().Invalidate(REPAINT_TAG_NONE, 0, 0);
  pEdit->nRepaintTag = REPAINT_TAG_NONE;
  View().Invalidate(REPAINT_TAG_RANGE, 70, 3);
  EXPECT_EQ(pEdit->nRepaintTag, REPAINT_TAG_RANGE);
  EXPECT_EQ(pEdit->nDirtyFirst, 0);
  EXPECT_EQ(pEdit->nDirtyLast, 4);
  // A second request before the paint repaints every visible row.
  View().Invalidate(REPAINT_TAG_FROM, 40, 0);
  EXPECT_EQ(pEdit->nRepaintTag, REPAINT_TAG_ALL);
  EXPECT_EQ(pEdit->nDirtyFirst, pEdit->nTopLine);
  SendMessageA(hEdit, WM_PAINT, 0, 0);
  EXPECT_EQ(pEdit->nRepaintTag, REPAINT_TAG_NONE);
  View().Invalidate(REPAINT_TAG_FROM, 40, 0);
  EXPECT_EQ(pEdit->nDirtyFirst, 2);
  EXPECT_EQ(pEdit->nDirtyLast, std::min(pEdit->nTopLine + View().GetPageLineCount() + 1, 10));
}

TEST_F(HexViewPaint, ANewHexFontRepaintsMovesTheCaretAndResizesTheScrollBars) {
  Open(std::string(16 * 40, 'x'));
  Caret(21);
  View().UpdateCaret(1, 1);
  SendMessageA(hEdit, WM_PAINT, 0, 0);
  RECT rcUpdate{};
  ASSERT_FALSE(GetUpdateRect(hEdit, &rcUpdate, FALSE));
  const int nOldWidth = cx;

  LOGFONTA lf{};
  lf.lfHeight = -3 * doc.sizeHexDigit.cy;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  doc.SetFontHex(&lf);
  ReadMetrics();
  ASSERT_NE(cx, nOldWidth);

  // The window is to be painted again.
  EXPECT_TRUE(GetUpdateRect(hEdit, &rcUpdate, FALSE));
  EXPECT_NE(pEdit->nRepaintTag, REPAINT_TAG_NONE);
  // The caret stands on its byte in the new metrics.
  POINT pt{};
  ASSERT_TRUE(GetCaretPos(&pt));
  EXPECT_EQ(pt.x, doc.GetHexXFromPos(1, 21, MIREL_HEX_AREA_CELLS) - pEdit->nHScrollPos);
  EXPECT_EQ(pt.y, doc.nRulerHeight + (1 - pEdit->nTopLine) * H);
  // Both scroll ranges follow the new cell size.
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(hEdit, SB_HORZ, &si));
  EXPECT_EQ(si.nMax, (16 * 3 + 18) * cx + doc.nHexAddrWidth);
  EXPECT_EQ(View().nContentWidth, si.nMax);
  ASSERT_TRUE(GetScrollInfo(hEdit, SB_VERT, &si));
  const int nWholeRows = (pEdit->rcEdit.bottom - doc.nRulerHeight) / H;
  EXPECT_EQ(si.nMax, (nWholeRows + doc.GetHexLineCount()) * H);
}

#ifndef _WIN32

// ASCII text as the draw log records it.
std::u16string U16(const char* psz) {
  return std::u16string(psz, psz + std::strlen(psz));
}

// The drawing calls of one row or the ruler, painted on a DC of their own.
class HexViewRowLog : public HexViewPaint {
 protected:
  void TearDown() override {
    canvas.reset();
    HexViewPaint::TearDown();
  }

  std::vector<MrwDrawOp> DrawRow(int nRow) {
    const HDC hdc = NewCanvas();
    View().DrawLine(hdc, nRow, 0, kFore, kBack, TRUE);
    return TextOuts(MrwTestDrawLog(hdc));
  }

  std::vector<MrwDrawOp> DrawRulerAlone() {
    const HDC hdc = NewCanvas();
    View().DrawRuler(hdc);
    return MrwTestDrawLog(hdc);
  }

  static std::vector<MrwDrawOp> TextOuts(const std::vector<MrwDrawOp>& ops) {
    std::vector<MrwDrawOp> out;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(out),
                 [](const MrwDrawOp& op) { return op.kind == MrwDrawKind::kTextOut; });
    return out;
  }

  // The cells (two or three characters, a hex digit first), the characters
  // (one) and the address (ends with 'H') of a row's text calls.
  struct RowText {
    std::vector<MrwDrawOp> cells, chars, address;
  };
  static RowText Split(const std::vector<MrwDrawOp>& ops) {
    RowText r;
    for (const MrwDrawOp& op : ops) {
      if (!op.text.empty() && op.text.back() == u'H' && op.text.size() >= 7) {
        r.address.push_back(op);
      } else if (op.text.size() == 1) {
        r.chars.push_back(op);
      } else {
        r.cells.push_back(op);
      }
    }
    return r;
  }

  HDC NewCanvas() {
    canvas.reset();
    canvas = std::make_unique<mirel_paint_test::Canvas>(hEdit, pEdit->rcEdit.right, pEdit->rcEdit.bottom,
                                                        doc.hFontHex);
    return canvas->hdc();
  }

  std::unique_ptr<mirel_paint_test::Canvas> canvas;
};

TEST_F(HexViewRowLog, ASelectionCutsTheRowIntoThreeRunsInEachColumn) {
  MIREL_REQUIRE_STANDIN();
  std::string bytes;
  for (int i = 0; i < 16; ++i) bytes.push_back(static_cast<char>(0x41 + i));
  OpenColoured(bytes);
  const COLORREF crInactive = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
  for (int nArea : {MIREL_HEX_AREA_CELLS, MIREL_HEX_AREA_CHARS}) {
    SCOPED_TRACE(nArea);
    doc.nHexCaretArea = static_cast<BYTE>(nArea);
    Select(4, 10);  // bytes 4 to 9
    const RowText row = Split(DrawRow(0));
    ASSERT_EQ(row.cells.size(), 16u);
    ASSERT_EQ(row.chars.size(), 16u);
    for (int i = 0; i < 16; ++i) {
      SCOPED_TRACE(i);
      const bool bSelected = i >= 4 && i < 10;
      const bool bRunEnd = i == 3 || i == 9 || i == 15;
      char szCell[4];
      std::snprintf(szCell, sizeof szCell, bRunEnd ? "%02X" : "%02X ", 0x41 + i);
      EXPECT_EQ(row.cells[i].text, U16(szCell));
      EXPECT_EQ(row.cells[i].x, doc.nHexAddrWidth + cx + 3 * cx * i);
      EXPECT_EQ(row.chars[i].text, std::u16string(1, static_cast<char16_t>(0x41 + i)));
      EXPECT_EQ(row.chars[i].x, doc.nHexCharsX + cx * i);
      const bool bCellsActive = nArea == MIREL_HEX_AREA_CELLS;
      const COLORREF crCellBack = !bSelected ? kBack : bCellsActive ? kSelBack : crInactive;
      const COLORREF crCellFore = bSelected && bCellsActive ? kSelFore : kFore;
      const COLORREF crCharBack = !bSelected ? kBack : bCellsActive ? crInactive : kSelBack;
      const COLORREF crCharFore = bSelected && !bCellsActive ? kSelFore : kFore;
      EXPECT_EQ(row.cells[i].bkColor, crCellBack);
      EXPECT_EQ(row.cells[i].textColor, crCellFore);
      EXPECT_EQ(row.chars[i].bkColor, crCharBack);
      EXPECT_EQ(row.chars[i].textColor, crCharFore);
    }
  }
}

TEST_F(HexViewRowLog, TheCharacterColumnShowsPrintableAsciiAndFullStops) {
  MIREL_REQUIRE_STANDIN();
  OpenColoured(B({0x00, 0x1F, 0x20, 0x41, 0x7E, 0x7F, 0x80, 0xA1, 0xFF}));
  const RowText row = Split(DrawRow(0));
  ASSERT_EQ(row.chars.size(), 9u);
  std::u16string shown;
  for (const MrwDrawOp& op : row.chars) shown += op.text;
  EXPECT_EQ(shown, u".. A~....");
}

TEST_F(HexViewRowLog, AddressesHaveSixOrEightDigitsByTheRowCount) {
  MIREL_REQUIRE_STANDIN();
  // With one byte per row, 0x100000 rows still get 6 digits, one more row 8.
  for (DWORD nBytes : {0x100000u - 1, 0x100000u}) {
    SCOPED_TRACE(nBytes);
    OpenColoured(std::string(nBytes, 'x'));
    doc.SetHexCharsPerLine(1);
    View().UpdateScrollBars();
    const bool bLong = doc.GetHexLineCount() > 0x100000;
    EXPECT_EQ(bLong, nBytes == 0x100000u);
    const RowText row = Split(DrawRow(0x1A));
    ASSERT_EQ(row.address.size(), 1u);
    EXPECT_EQ(row.address[0].text, bLong ? u"0000001AH" : u"00001AH");
    EXPECT_EQ(row.address[0].x, 5);
    EXPECT_EQ(row.address[0].textColor, doc.crLineNo);
    EXPECT_EQ(row.address[0].bkMode, TRANSPARENT);
  }
  // The empty row after a whole last row is still a row with its address.
  OpenColoured(std::string(32, 'x'));
  doc.SetHexCharsPerLine(16);
  EXPECT_EQ(doc.GetHexLineCount(), 3);
  const RowText row = Split(DrawRow(2));
  EXPECT_TRUE(row.cells.empty());
  ASSERT_EQ(row.address.size(), 1u);
  EXPECT_EQ(row.address[0].text, u"000020H");
  EXPECT_TRUE(DrawRow(3).empty());
}

TEST_F(HexViewRowLog, TheRulerNumbersTheColumnsOverTheirCells) {
  MIREL_REQUIRE_STANDIN();
  OpenColoured("abc");
  doc.EnableRuler(TRUE);
  const int rh = doc.nRulerHeight;
  ASSERT_GT(rh, 0);
  const std::vector<MrwDrawOp> ops = DrawRulerAlone();
  std::vector<MrwDrawOp> labels = TextOuts(ops);
  ASSERT_EQ(labels.size(), 16u);
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE(i);
    char sz[4];
    std::snprintf(sz, sizeof sz, "%X", i);
    EXPECT_EQ(labels[i].text, U16(sz));
    EXPECT_EQ(labels[i].x, doc.nHexAddrWidth + 2 * cx + 3 * cx * i);
    EXPECT_EQ(labels[i].textAlign & TA_CENTER, static_cast<UINT>(TA_CENTER));
    EXPECT_EQ(labels[i].charExtra, -1);
  }
  // Ticks: one per cell, and in the character column every eighth.
  int nCellTicks = 0;
  int nCharTicks = 0;
  for (const MrwDrawOp& op : ops) {
    if (op.kind != MrwDrawKind::kLine || op.points.size() != 2) continue;
    if (op.points[0].y == rh - 5) ++nCellTicks;
    if (op.points[0].y == rh - 7) {
      ++nCharTicks;
      EXPECT_EQ(op.points[0].x, doc.nHexCharsX + 8 * cx);
    }
  }
  EXPECT_EQ(nCellTicks, 16);
  EXPECT_EQ(nCharTicks, 1);
}

#endif  // _WIN32

}  // namespace
