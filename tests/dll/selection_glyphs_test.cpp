// A selected row shows exactly the glyphs of the same row unselected: only
// the background behind them changes. Rows of Korean and Latin text, in UTF-8
// and UTF-16, each ending in a line feed, are painted once plain and once
// selected, and their glyph pixels are compared row by row.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "control_host.h"
#include "mirelctrl/mirelctrl.h"
#include "screen_pixels.h"

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 160;
constexpr UINT kSelectAllMessage = WM_USER + 101;
constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kSelPaper = RGB(160, 200, 255);

// UTF-8: "대한민국 헌법 제1조 대한민국은 민주공화국이다. Mirel editor test" and
// "한국어 문서와 English words mixed here, 가나다 abc def", each ended by LF.
constexpr char kText[] =
    "\xEB\x8C\x80\xED\x95\x9C\xEB\xAF\xBC\xEA\xB5\xAD \xED\x97\x8C\xEB\xB2\x95 \xEC\xA0\x9C"
    "1\xEC\xA1\xB0 \xEB\x8C\x80\xED\x95\x9C\xEB\xAF\xBC\xEA\xB5\xAD\xEC\x9D\x80 \xEB\xAF\xBC"
    "\xEC\xA3\xBC\xEA\xB3\xB5\xED\x99\x94\xEA\xB5\xAD\xEC\x9D\xB4\xEB\x8B\xA4. Mirel editor test\n"
    "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 \xEB\xAC\xB8\xEC\x84\x9C\xEC\x99\x80 English words "
    "mixed here, \xEA\xB0\x80\xEB\x82\x98\xEB\x8B\xA4 abc def\n";
constexpr int kRows = 2;

// How the selection is made and how the control comes to paint it.
enum class Select { kAll, kAllFullRepaint, kMiddle, kIntoWord };

struct Case {
  const char* what;
  int nEncoding;
  const char* pszFace;  // NULL: the control keeps the DC's own font
  Select select;
  BOOL bBreakMarks;
};

// Every pixel that is neither of the two backgrounds is glyph ink (the
// margins count too: they must not change either).
std::vector<bool> InkOfRow(const std::vector<DWORD>& pixels, int cx, int yTop, int nHeight) {
  const DWORD paper = RGB(GetBValue(kPaper), GetGValue(kPaper), GetRValue(kPaper));
  const DWORD selPaper = RGB(GetBValue(kSelPaper), GetGValue(kSelPaper), GetRValue(kSelPaper));
  std::vector<bool> ink;
  for (int y = yTop; y < yTop + nHeight && static_cast<size_t>(y + 1) * cx <= pixels.size(); ++y) {
    for (int x = 0; x < cx; ++x) {
      const DWORD px = pixels[static_cast<size_t>(y) * cx + x] & 0xFFFFFF;
      ink.push_back(px != paper && px != selPaper);
    }
  }
  return ink;
}

size_t CountPixels(const std::vector<DWORD>& pixels, COLORREF cr) {
  const DWORD want = RGB(GetBValue(cr), GetGValue(cr), GetRValue(cr));
  size_t n = 0;
  for (DWORD px : pixels) n += (px & 0xFFFFFF) == want ? 1 : 0;
  return n;
}

class SelectionGlyphs : public testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    ASSERT_NE(m_host.hWnd(), nullptr);
    // Wide enough that the whole control, and so both rows, is on screen.
    SetWindowPos(m_host.hWnd(), nullptr, 0, 0, kWidth + 100, kHeight + 100, SWP_NOZORDER | SWP_NOMOVE);
    ShowWindow(m_host.hWnd(), SW_SHOWNORMAL);
    m_hCtrl = Mirel_Create(m_host.hWnd(), 61, 0, 0, kWidth, kHeight, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(m_hCtrl, nullptr);
  }
  void TearDown() override { Mirel_Destroy(m_hCtrl); }

  // Height of a glyph cell in the control's font, and its row pitch.
  void Metrics(const LOGFONTA* pFont, int* pCell, int* pPitch) const {
    HDC hdc = GetDC(m_hCtrl);
    HFONT hFont = pFont != nullptr ? CreateFontIndirectA(pFont) : nullptr;
    HGDIOBJ hOld = hFont != nullptr ? SelectObject(hdc, hFont) : nullptr;
    TEXTMETRICA tm{};
    GetTextMetricsA(hdc, &tm);
    if (hOld != nullptr) SelectObject(hdc, hOld);
    if (hFont != nullptr) DeleteObject(hFont);
    ReleaseDC(m_hCtrl, hdc);
    *pCell = tm.tmHeight;
    *pPitch = tm.tmHeight * 120 / 100;  // the default line spacing
  }

  mirel_test::ControlHost m_host;
  HWND m_hCtrl = nullptr;
};

TEST_P(SelectionGlyphs, SelectedRowsShowTheGlyphsOfTheUnselectedOnes) {
  const Case& c = GetParam();
  ASSERT_EQ(Mirel_SetFileEncoding(m_hCtrl, c.nEncoding), 1);
  ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
  LOGFONTA lf{};
  if (c.pszFace != nullptr) {
    HDC hdc = GetDC(m_hCtrl);
    lf.lfHeight = -MulDiv(11, GetDeviceCaps(hdc, LOGPIXELSY), 72);
    ReleaseDC(m_hCtrl, hdc);
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, c.pszFace);
    Mirel_SetFont(m_hCtrl, &lf);
  }
  Mirel_SetFileFormat(m_hCtrl, MIREL_FILE_FORMAT_LF);
  Mirel_ShowBreakCode(m_hCtrl, c.bBreakMarks);
  Mirel_SetForeColor(m_hCtrl, kInk);
  Mirel_SetBackColor(m_hCtrl, kPaper);
  Mirel_SetSelForeColor(m_hCtrl, kInk);
  Mirel_SetSelBackColor(m_hCtrl, kSelPaper);
  ASSERT_EQ(Mirel_InsertU(m_hCtrl, kText, static_cast<int>(std::strlen(kText)), FALSE), 1);
  SetFocus(m_hCtrl);
  const int nEnd = Mirel_GetContentsSize(m_hCtrl);
  Mirel_SetSel(m_hCtrl, nEnd, nEnd, FALSE);
  InvalidateRect(m_hCtrl, nullptr, FALSE);
  UpdateWindow(m_hCtrl);
  const std::vector<DWORD> plain = mirel_test::ScreenPixels(m_hCtrl);

  switch (c.select) {
    case Select::kAll:
      SendMessageA(m_hCtrl, kSelectAllMessage, 0, 0);
      break;
    case Select::kAllFullRepaint:
      SendMessageA(m_hCtrl, kSelectAllMessage, 0, 0);
      InvalidateRect(m_hCtrl, nullptr, FALSE);
      break;
    case Select::kMiddle: {
      // From inside the first row's Korean to inside the second row's: the
      // selection starts and ends in the middle of runs.
      const int nFrom = (c.nEncoding == MIREL_ENCODING_UTF8 ? 6 : 4);
      const int nTo = nEnd - (c.nEncoding == MIREL_ENCODING_UTF8 ? 30 : 20);
      Mirel_SetSel(m_hCtrl, nFrom, nTo, FALSE);
      break;
    }
    case Select::kIntoWord:
      // Up to the first letter of "test": the next run starts on the ink of
      // its glyph.
      Mirel_SetSel(m_hCtrl, 0, static_cast<int>(std::strstr(kText, "test\n") - kText) + 1, FALSE);
      break;
  }
  UpdateWindow(m_hCtrl);
  const std::vector<DWORD> selected = mirel_test::ScreenPixels(m_hCtrl);
  ASSERT_EQ(plain.size(), selected.size());
  // The selection shows, and the text was drawn.
  EXPECT_GT(CountPixels(selected, kSelPaper), CountPixels(plain, kSelPaper));

  int nCell = 0;
  int nPitch = 0;
  Metrics(c.pszFace != nullptr ? &lf : nullptr, &nCell, &nPitch);
  ASSERT_GT(nCell, 0);
  RECT rc{};
  GetClientRect(m_hCtrl, &rc);
  const int cx = rc.right;
  for (int nRow = 0; nRow < kRows; ++nRow) {
    const int y = nRow * nPitch;
    const std::vector<bool> inkPlain = InkOfRow(plain, cx, y, nCell);
    const std::vector<bool> inkSelected = InkOfRow(selected, cx, y, nCell);
    size_t nInk = 0;
    size_t nWrong = 0;
    std::string columns;
    for (size_t i = 0; i < inkPlain.size(); ++i) {
      nInk += inkPlain[i] ? 1 : 0;
      if (inkPlain[i] != inkSelected[i]) {
        if (nWrong < 8) columns += " x" + std::to_string(i % cx) + "/y" + std::to_string(y + i / cx);
        ++nWrong;
      }
    }
    EXPECT_GT(nInk, 0u) << c.what << ", row " << nRow;
    EXPECT_EQ(nWrong, 0u) << c.what << ", row " << nRow << ": " << nWrong << " of " << nInk
                          << " ink pixels differ, first at" << columns;
  }
}

const Case kCases[] = {
    {"UTF-8, own font, select all", MIREL_ENCODING_UTF8, nullptr, Select::kAll, FALSE},
    {"UTF-8, own font, select all, full repaint", MIREL_ENCODING_UTF8, nullptr, Select::kAllFullRepaint,
     FALSE},
    {"UTF-16, own font, select all", MIREL_ENCODING_UTF16LE, nullptr, Select::kAll, FALSE},
    {"UTF-8, own font, selection inside rows", MIREL_ENCODING_UTF8, nullptr, Select::kMiddle, FALSE},
    {"UTF-8, Tahoma, select all", MIREL_ENCODING_UTF8, "Tahoma", Select::kAll, FALSE},
    {"UTF-16, Tahoma, selection inside rows", MIREL_ENCODING_UTF16LE, "Tahoma", Select::kMiddle, FALSE},
    {"UTF-8, Tahoma, line-end marks, select all", MIREL_ENCODING_UTF8, "Tahoma", Select::kAll, TRUE},
    {"UTF-8, Tahoma, selection ending inside a word", MIREL_ENCODING_UTF8, "Tahoma", Select::kIntoWord,
     FALSE},
    {"UTF-8, Courier New, select all", MIREL_ENCODING_UTF8, "Courier New", Select::kAll, FALSE},
};

INSTANTIATE_TEST_SUITE_P(Rows, SelectionGlyphs, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                           return "Case" + std::to_string(info.index);
                         });

}  // namespace
