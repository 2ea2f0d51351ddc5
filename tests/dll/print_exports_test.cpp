// Printing through the exports onto a page the system really renders: a
// 32-bit DIB section at a printer-like size. Rows land where the pagination
// puts them, keywords in their syntax colours, paragraph numbers in grey,
// and every refused call leaves the page blank. Positions come from the
// font's own metrics.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "control_host.h"
#include "mirelctrl/mirelctrl.h"

namespace {

constexpr int kPageWidth = 1240;
constexpr int kPageHeight = 1754;
constexpr RECT kPrintArea = {100, 120, 1140, 1634};
constexpr COLORREF kKeywordFore = RGB(220, 0, 0);
constexpr COLORREF kKeywordBack = RGB(0, 0, 230);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80);

class PrintExports : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(m_host.hWnd(), nullptr);
    m_hCtrl = Mirel_Create(m_host.hWnd(), 15, 0, 0, 300, 200, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(m_hCtrl, nullptr);
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = kPageWidth;
    bmi.bmiHeader.biHeight = -kPageHeight;  // top-down rows
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    m_hdc = CreateCompatibleDC(nullptr);
    ASSERT_NE(m_hdc, nullptr);
    void* pBits = nullptr;
    m_hPage = CreateDIBSection(m_hdc, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    ASSERT_NE(m_hPage, nullptr);
    m_pBits = static_cast<const DWORD*>(pBits);
    m_hOldBitmap = SelectObject(m_hdc, m_hPage);
    m_hFont =
        CreateFontA(-25, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    ASSERT_NE(m_hFont, nullptr);
    m_hOldFont = SelectObject(m_hdc, m_hFont);
    ASSERT_TRUE(GetTextMetricsA(m_hdc, &m_tm));
    Blank();
  }
  void TearDown() override {
    Mirel_Destroy(m_hCtrl);
    SelectObject(m_hdc, m_hOldFont);
    SelectObject(m_hdc, m_hOldBitmap);
    DeleteObject(m_hFont);
    DeleteObject(m_hPage);
    DeleteDC(m_hdc);
  }

  void SetText(const char* text) {
    Mirel_SetSel(m_hCtrl, 0, Mirel_GetContentsSize(m_hCtrl), TRUE);
    ASSERT_EQ(Mirel_InsertA(m_hCtrl, text, static_cast<int>(std::strlen(text)), FALSE), 1);
  }
  void Blank() {
    PatBlt(m_hdc, 0, 0, kPageWidth, kPageHeight, WHITENESS);
    GdiFlush();
  }
  MIREL_PRINT_PARAM Prepare(BOOL bColor, BOOL bLineNo, int nWrap = MIREL_WRAP_WORD) {
    MIREL_PRINT_PARAM p{};
    p.hDC = m_hdc;
    p.bColor = bColor;
    p.bLineNo = bLineNo;
    p.nWrapMode = nWrap;
    p.rcPrint = kPrintArea;
    p.nLinesPerPage = -1;
    p.nPageCount = -1;
    Mirel_PreparePrint(m_hCtrl, &p);
    return p;
  }
  int Extent(const char* s) const {
    SIZE size{};
    GetTextExtentPoint32A(m_hdc, s, static_cast<int>(std::strlen(s)), &size);
    return size.cx;
  }
  int RowHeight() const { return m_tm.tmHeight * 120 / 100; }
  COLORREF Pixel(int x, int y) const {
    const DWORD p = m_pBits[static_cast<size_t>(y) * kPageWidth + static_cast<size_t>(x)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Pixels of the colour inside [x0, x1) x [y0, y1).
  int Count(COLORREF color, int x0, int y0, int x1, int y1) const {
    GdiFlush();
    int n = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, kPageHeight); ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, kPageWidth); ++x) n += Pixel(x, y) == color ? 1 : 0;
    return n;
  }
  int NonWhite(int x0, int y0, int x1, int y1) const {
    return (x1 - x0) * (y1 - y0) - Count(kWhite, x0, y0, x1, y1);
  }
  bool PageIsBlank() const { return NonWhite(0, 0, kPageWidth, kPageHeight) == 0; }
  // The cell of row r on the page, between x0 and x1.
  int RowTop(int r) const { return kPrintArea.top + r * RowHeight(); }

  mirel_test::ControlHost m_host;
  HWND m_hCtrl = nullptr;
  HDC m_hdc = nullptr;
  HBITMAP m_hPage = nullptr;
  HGDIOBJ m_hOldBitmap = nullptr;
  HFONT m_hFont = nullptr;
  HGDIOBJ m_hOldFont = nullptr;
  const DWORD* m_pBits = nullptr;
  TEXTMETRICA m_tm{};
};

TEST_F(PrintExports, RowsNumbersAndKeywordsAppearWhereThePaginationPutsThem) {
  MIREL_SYNTAX_INFO def{};
  def.bCaseSensitive = 1;
  def.pszDelimiters = "";
  def.pszKeywords[0] = " int ";
  MIREL_SYNTAX_COLORS colors;
  for (MIREL_SYNTAX_COLOR_PAIR& pair : colors.pairs) pair = {MIREL_CLR_AUTO, MIREL_CLR_AUTO};
  colors.pairs[MIREL_SYNTAX_PAIR_KEYWORD1] = {kKeywordFore, kKeywordBack};
  ASSERT_EQ(Mirel_SetSyntaxGeneral(m_hCtrl, &def, &colors), 1);
  SetText("int x\r\n\r\nyy\fzz");
  Mirel_SetPageBreakCode(m_hCtrl, '\f');

  const MIREL_PRINT_PARAM p = Prepare(TRUE, TRUE);
  ASSERT_EQ(p.nLinesPerPage, (kPrintArea.bottom - kPrintArea.top) / RowHeight());
  ASSERT_EQ(p.nPageCount, 2);
  Mirel_PrintPage(m_hCtrl, m_hdc, 0);
  const int xText = kPrintArea.left + Extent("99999");
  const int xInt = xText + Extent("int");
  const int cy = m_tm.tmHeight;
  // Row 0: number 1 in grey, "int" red on blue, " x" in black.
  EXPECT_GT(Count(kGrey, kPrintArea.left, RowTop(0), xText, RowTop(0) + cy), 0);
  EXPECT_GT(Count(kKeywordFore, xText, RowTop(0), xInt, RowTop(0) + cy), 0);
  EXPECT_GT(Count(kKeywordBack, xText, RowTop(0), xInt, RowTop(0) + cy), 0);
  EXPECT_GT(Count(RGB(0, 0, 0), xInt, RowTop(0), xInt + Extent(" x"), RowTop(0) + cy), 0);
  // Row 1 is empty but numbered; row 2 ("yy") ends the page at the break.
  EXPECT_GT(Count(kGrey, kPrintArea.left, RowTop(1), xText, RowTop(1) + cy), 0);
  EXPECT_EQ(NonWhite(xText, RowTop(1), kPrintArea.right, RowTop(1) + cy), 0);
  EXPECT_GT(Count(RGB(0, 0, 0), xText, RowTop(2), xText + Extent("yy"), RowTop(2) + cy), 0);
  EXPECT_EQ(NonWhite(0, RowTop(3), kPageWidth, kPageHeight), 0);
  // Nothing outside the printable area.
  EXPECT_EQ(NonWhite(0, 0, kPageWidth, kPrintArea.top), 0);
  EXPECT_EQ(NonWhite(kPrintArea.right, 0, kPageWidth, kPageHeight), 0);

  // Page 1: the rest of the paragraph after the break, without a number.
  Blank();
  Mirel_PrintPage(m_hCtrl, m_hdc, 1);
  EXPECT_GT(Count(RGB(0, 0, 0), xText, RowTop(0), xText + Extent("zz"), RowTop(0) + cy), 0);
  EXPECT_EQ(NonWhite(kPrintArea.left, RowTop(0), xText, RowTop(0) + cy), 0);
  EXPECT_EQ(NonWhite(0, RowTop(1), kPageWidth, kPageHeight), 0);

  // Without colours everything is black on the paper.
  Mirel_EndPrint(m_hCtrl);
  ASSERT_EQ(Prepare(FALSE, FALSE).nPageCount, 2);
  Blank();
  Mirel_PrintPage(m_hCtrl, m_hdc, 0);
  const int xPlain = kPrintArea.left + Extent("int");
  EXPECT_GT(Count(RGB(0, 0, 0), kPrintArea.left, RowTop(0), xPlain, RowTop(0) + cy), 0);
  EXPECT_EQ(Count(kKeywordFore, 0, 0, kPageWidth, kPageHeight), 0);
  EXPECT_EQ(Count(kKeywordBack, 0, 0, kPageWidth, kPageHeight), 0);
}

TEST_F(PrintExports, LongRowsWrapInsideThePrintableWidth) {
  std::string text(200, 'm');
  SetText(text.c_str());
  const MIREL_PRINT_PARAM p = Prepare(FALSE, FALSE, MIREL_WRAP_CHAR);
  ASSERT_EQ(p.nPageCount, 1);
  Mirel_PrintPage(m_hCtrl, m_hdc, 0);
  const int nPerRow = (kPrintArea.right - kPrintArea.left - 3) / Extent("m");
  const int nRows = (200 + nPerRow - 1) / nPerRow;
  for (int r = 0; r < nRows; ++r)
    EXPECT_GT(NonWhite(kPrintArea.left, RowTop(r), kPrintArea.right, RowTop(r + 1)), 0) << r;
  EXPECT_EQ(NonWhite(0, RowTop(nRows), kPageWidth, kPageHeight), 0);
  EXPECT_EQ(NonWhite(kPrintArea.right, 0, kPageWidth, kPageHeight), 0);
}

TEST_F(PrintExports, RefusedCallsLeaveThePageBlank) {
  SetText("one\r\ntwo\r\nthree");
  // Before any preparation.
  Mirel_PrintPage(m_hCtrl, m_hdc, 0);
  EXPECT_TRUE(PageIsBlank());
  // A NULL record, and a record whose DC is no device context.
  Mirel_PreparePrint(m_hCtrl, nullptr);
  MIREL_PRINT_PARAM bad{};
  bad.hDC = reinterpret_cast<HDC>(GetStockObject(WHITE_BRUSH));
  bad.rcPrint = kPrintArea;
  bad.nPageCount = bad.nLinesPerPage = -1;
  Mirel_PreparePrint(m_hCtrl, &bad);
  EXPECT_EQ(bad.nPageCount, 0);
  EXPECT_EQ(bad.nLinesPerPage, 0);
  Mirel_PrintPage(m_hCtrl, m_hdc, 0);
  EXPECT_TRUE(PageIsBlank());

  ASSERT_EQ(Prepare(FALSE, TRUE).nPageCount, 1);
  for (int nPage : {-1, 1, 0x7FFFFFFF}) {
    Mirel_PrintPage(m_hCtrl, m_hdc, nPage);
    EXPECT_TRUE(PageIsBlank()) << nPage;
  }
  Mirel_PrintPage(m_hCtrl, reinterpret_cast<HDC>(m_hFont), 0);
  EXPECT_TRUE(PageIsBlank());
  // A failed pagination never reports the last count.
  EXPECT_EQ(Prepare(FALSE, TRUE, 9).nPageCount, 0);
  Mirel_PrintPage(m_hCtrl, m_hdc, 0);
  EXPECT_TRUE(PageIsBlank());
  // After the end, until the next preparation.
  ASSERT_EQ(Prepare(FALSE, TRUE).nPageCount, 1);
  Mirel_EndPrint(m_hCtrl);
  Mirel_EndPrint(m_hCtrl);
  Mirel_PrintPage(m_hCtrl, m_hdc, 0);
  EXPECT_TRUE(PageIsBlank());
  // An area lower than one row: no pages.
  MIREL_PRINT_PARAM low = Prepare(FALSE, FALSE);
  low.rcPrint.bottom = low.rcPrint.top + RowHeight() - 1;
  Mirel_PreparePrint(m_hCtrl, &low);
  EXPECT_EQ(low.nLinesPerPage, 0);
  EXPECT_EQ(low.nPageCount, 0);
  // The control still prints afterwards.
  ASSERT_EQ(Prepare(FALSE, FALSE).nPageCount, 1);
  Mirel_PrintPage(m_hCtrl, m_hdc, 0);
  EXPECT_FALSE(PageIsBlank());
}

}  // namespace
