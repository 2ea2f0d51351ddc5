// Hex view layout: address digits, row ranges, hit areas and the mapping
// between file positions and x in both caret columns, with the digit width
// taken from the hex font the document made.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "mirel/cmireldoc.h"
#include "positions_fixture.h"

namespace {

using mirel_test::TextDoc;

enum { kAddress = 0, kDigits = 1, kGap = 2, kChars = 3, kBeyond = 4 };

// A hex-view document of nBytes bytes with the default hex font.
class HexDoc : public TextDoc {
 public:
  explicit HexDoc(size_t nBytes, int nBytesPerLine = 16) {
    doc.nHexBytesPerLine = nBytesPerLine;
    EXPECT_TRUE(SetText(std::string(nBytes, 'h')));
    doc.nViewType = MIREL_VIEW_TYPE_HEX;
    LOGFONTA lf{};  // height 0: the 10-point fixed-pitch default
    doc.SetFontHex(&lf);
    cx = doc.sizeHexDigit.cx;
  }
  int cx = 0;
};

TEST(PositionsHex, DefaultHexFontIsTenPointFixedPitch) {
  HexDoc h(40);
  ASSERT_NE(nullptr, h.doc.hFontHex);
  HDC hdc = GetDC(nullptr);
  ASSERT_NE(nullptr, hdc);
  HFONT hFont = CreateFontA(-MulDiv(10, GetDeviceCaps(hdc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                            FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            FIXED_PITCH | FF_MODERN, nullptr);
  HGDIOBJ hOld = SelectObject(hdc, hFont);
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32A(hdc, "0", 1, &size));
  SelectObject(hdc, hOld);
  DeleteObject(hFont);
  ReleaseDC(nullptr, hdc);
  EXPECT_EQ(size.cx, h.doc.sizeHexDigit.cx);
  EXPECT_EQ(size.cy, h.doc.sizeHexDigit.cy);
  EXPECT_EQ(size.cy * 120 / 100, h.doc.nHexLineHeight);
  // The layout follows the digit width.
  EXPECT_EQ(8 * h.cx + 4, h.doc.nHexAddrWidth);
  EXPECT_EQ(h.doc.nHexAddrWidth + 48 * h.cx, h.doc.nHexDigitsEndX);
  EXPECT_EQ(h.doc.nHexDigitsEndX + 2 * h.cx, h.doc.nHexCharsX);
}

TEST(PositionsHex, AddressDigitsGrowPastOneMebiRows) {
  HexDoc small(0xFFFFF, 1);  // 0x100000 rows
  EXPECT_EQ(0x100000, small.doc.GetHexLineCount());
  EXPECT_EQ(7, small.doc.nHexAddrDigits);
  HexDoc large(0x100000, 1);  // 0x100001 rows
  EXPECT_EQ(9, large.doc.nHexAddrDigits);
  EXPECT_EQ(10 * large.cx + 4, large.doc.nHexAddrWidth);
}

TEST(PositionsHex, RowRanges) {
  HexDoc h(40);
  int nStart = 0;
  int nEnd = 0;
  EXPECT_TRUE(h.doc.GetHexLineRange(1, &nStart, &nEnd));
  EXPECT_EQ(16, nStart);
  EXPECT_EQ(32, nEnd);
  EXPECT_TRUE(h.doc.GetHexLineRange(2, &nStart, &nEnd));
  EXPECT_EQ(40, nEnd);
  HexDoc exact(32);
  EXPECT_TRUE(exact.doc.GetHexLineRange(2, &nStart, &nEnd));  // just past the data: empty
  EXPECT_EQ(32, nStart);
  EXPECT_EQ(32, nEnd);
  EXPECT_FALSE(exact.doc.GetHexLineRange(3, &nStart, &nEnd));
  EXPECT_EQ(-1, nStart);
  EXPECT_EQ(-1, nEnd);
  EXPECT_FALSE(exact.doc.GetHexLineRange(-1, &nStart, &nEnd));
  EXPECT_FALSE(exact.doc.GetHexLineRange(INT_MAX, nullptr, nullptr));
  EXPECT_EQ(2, exact.doc.GetHexLineFromPos(32));
  // Rows never divide by a width below 1.
  exact.doc.nHexBytesPerLine = 0;
  EXPECT_EQ(33, exact.doc.GetHexLineCount());
}

TEST(PositionsHex, HitAreasAtTheirEdges) {
  HexDoc h(40);
  const int nCharsEnd = h.doc.nHexCharsX + 16 * h.cx;
  EXPECT_EQ(kAddress, h.doc.HexHitTest(h.doc.nHexAddrWidth - 1));
  EXPECT_EQ(kDigits, h.doc.HexHitTest(h.doc.nHexAddrWidth));
  EXPECT_EQ(kDigits, h.doc.HexHitTest(h.doc.nHexDigitsEndX));
  EXPECT_EQ(kGap, h.doc.HexHitTest(h.doc.nHexDigitsEndX + 1));
  EXPECT_EQ(kChars, h.doc.HexHitTest(h.doc.nHexCharsX));
  EXPECT_EQ(kChars, h.doc.HexHitTest(nCharsEnd));
  EXPECT_EQ(kBeyond, h.doc.HexHitTest(nCharsEnd + 1));
}

TEST(PositionsHex, PositionsAndXRoundTripInBothColumns) {
  HexDoc h(40);
  ASSERT_GE(h.cx, 2);
  for (int row = 0; row < h.doc.GetHexLineCount(); ++row) {
    int nStart = 0;
    int nEnd = 0;
    ASSERT_TRUE(h.doc.GetHexLineRange(row, &nStart, &nEnd));
    for (int pos = nStart; pos < nEnd; ++pos) {
      for (int area : {kDigits, kChars}) {
        const int x = h.doc.GetHexXFromPos(row, pos, area);
        EXPECT_EQ(area, h.doc.HexHitTest(x));
        EXPECT_EQ(static_cast<DWORD>(pos), h.doc.GetHexPosFromX(row, x, area)) << "area " << area;
      }
    }
  }
  // Outside the caret's own column: row start or row end.
  EXPECT_EQ(16u, h.doc.GetHexPosFromX(1, 0, kDigits));
  EXPECT_EQ(32u, h.doc.GetHexPosFromX(1, h.doc.nHexDigitsEndX + 1, kDigits));
  EXPECT_EQ(16u, h.doc.GetHexPosFromX(1, h.doc.nHexCharsX + 1, kDigits));
  EXPECT_EQ(16u, h.doc.GetHexPosFromX(1, h.doc.nHexAddrWidth + 5, kChars));
  EXPECT_EQ(32u, h.doc.GetHexPosFromX(1, INT_MAX, kChars));
  EXPECT_EQ(32u, h.doc.GetHexPosFromX(1, 0, kBeyond));
  EXPECT_EQ(16u, h.doc.GetHexPosFromX(1, 5000, kGap));
  // A position outside the row has no x.
  EXPECT_EQ(0, h.doc.GetHexXFromPos(0, 17, kDigits));
  EXPECT_EQ(0, h.doc.GetHexXFromPos(0, 3, kGap));
}

TEST(PositionsHex, EightBytesARowEndAfterEightCells) {
  HexDoc h(20, 8);
  const int nCharsEnd = h.doc.nHexCharsX + 8 * h.cx;
  EXPECT_EQ(8 * h.cx + 4 + 24 * h.cx, h.doc.nHexDigitsEndX);
  EXPECT_EQ(15u, h.doc.GetHexPosFromX(1, nCharsEnd - h.cx, kChars));  // the 8th cell
  EXPECT_EQ(16u, h.doc.GetHexPosFromX(1, nCharsEnd + 1, kChars));
  // The last, short row ends at the file end.
  EXPECT_EQ(20u, h.doc.GetHexPosFromX(2, nCharsEnd - h.cx, kChars));
}

}  // namespace
