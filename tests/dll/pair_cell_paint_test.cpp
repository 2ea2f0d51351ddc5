// A character beyond the basic plane (two UTF-16 units) keeps whatever the
// platform draws for it inside its own cell: in a face without it both units
// may come out as boxes. The next character starts at its measured x and its
// cell shows its own ink and nothing of the pair's. The pair and its
// neighbour are told apart by colour (selection, syntax) or by the neighbour
// being a blank, in UTF-16 and UTF-8 documents.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "control_host.h"
#include "mirelctrl/mirelctrl.h"
#include "screen_pixels.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 120;
constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kMarked = RGB(255, 0, 0);
// U+1F600 in UTF-16 and UTF-8.
const WCHAR kPairUnits[] = {0xD83D, 0xDE00};
constexpr char kPairUtf8[] = "\xF0\x9F\x98\x80";

// How the pair and the character after it come to differ.
enum class Mark {
  kNextSelected,   // the next character is selected (kMarked on kPaper)
  kPairSelected,   // the pair is selected
  kNextCommented,  // the next character opens a line comment coloured kMarked
  kNextBlank,      // the next character is a blank: its cell shows no ink at all
};

struct Case {
  const char* what;
  int nEncoding;
  const char* pszFace;  // NULL: the control keeps the DC's own font
  Mark mark;
};

// Whether a pixel lies on the blend from the paper to cr and at least an
// eighth of the way (a face may draw a missing character as a faint box).
bool IsInkOf(DWORD px, COLORREF cr) {
  const int have[3] = {static_cast<int>((px >> 16) & 0xFF), static_cast<int>((px >> 8) & 0xFF),
                       static_cast<int>(px & 0xFF)};
  const int want[3] = {GetRValue(cr), GetGValue(cr), GetBValue(cr)};
  int nSpan = 0;
  int nFromPaper = 0;
  for (int i = 0; i < 3; ++i) {
    if (255 - want[i] > nSpan) {
      nSpan = 255 - want[i];
      nFromPaper = 255 - have[i];
    }
  }
  if (nSpan == 0 || 8 * nFromPaper < nSpan) return false;
  for (int i = 0; i < 3; ++i) {
    if (std::abs(have[i] - (255 - (255 - want[i]) * nFromPaper / nSpan)) > 24) return false;
  }
  return true;
}

class PairCellPaint : public testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    ASSERT_NE(m_host.hWnd(), nullptr);
    SetWindowPos(m_host.hWnd(), nullptr, 0, 0, kWidth + 100, kHeight + 100, SWP_NOZORDER | SWP_NOMOVE);
    ShowWindow(m_host.hWnd(), SW_SHOWNORMAL);
    m_hCtrl = Mirel_Create(m_host.hWnd(), 62, 0, 0, kWidth, kHeight, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(m_hCtrl, nullptr);
  }
  void TearDown() override { Mirel_Destroy(m_hCtrl); }

  // Widths of the UTF-16 prefixes of text on the control's DC in its font.
  std::vector<int> PrefixWidths(const LOGFONTA* pFont, const std::vector<WCHAR>& text, int* pCellHeight) {
    HDC hdc = GetDC(m_hCtrl);
    HFONT hFont = pFont != nullptr ? CreateFontIndirectA(pFont) : nullptr;
    HGDIOBJ hOld = hFont != nullptr ? SelectObject(hdc, hFont) : nullptr;
    std::vector<int> widths;
    for (size_t n = 0; n <= text.size(); ++n) {
      SIZE size{0, 0};
      GetTextExtentPoint32W(hdc, text.data(), static_cast<int>(n), &size);
      widths.push_back(size.cx);
    }
    TEXTMETRICA tm{};
    GetTextMetricsA(hdc, &tm);
    *pCellHeight = tm.tmHeight;
    if (hOld != nullptr) SelectObject(hdc, hOld);
    if (hFont != nullptr) DeleteObject(hFont);
    ReleaseDC(m_hCtrl, hdc);
    return widths;
  }

  int CaretXAt(int nPos) {
    Mirel_SetSel(m_hCtrl, nPos, nPos, FALSE);
    POINT pt{-1, -1};
    GetCaretPos(&pt);
    return pt.x;
  }

  mirel_test::ControlHost m_host;
  HWND m_hCtrl = nullptr;
};

TEST_P(PairCellPaint, ThePairStaysInItsCellAndTheNextCharacterInItsOwn) {
  const Case& c = GetParam();
  const bool bUtf16 = c.nEncoding == MIREL_ENCODING_UTF16LE;
  const char chNext = c.mark == Mark::kNextBlank ? ' ' : 'B';
  ASSERT_EQ(Mirel_SetFileEncoding(m_hCtrl, c.nEncoding), 1);
  ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
  LOGFONTA lf{};
  if (c.pszFace != nullptr) {
    HDC hdc = GetDC(m_hCtrl);
    lf.lfHeight = -MulDiv(10, GetDeviceCaps(hdc, LOGPIXELSY), 72);
    ReleaseDC(m_hCtrl, hdc);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::strcpy(lf.lfFaceName, c.pszFace);
    Mirel_SetFont(m_hCtrl, &lf);
  }
  Mirel_SetForeColor(m_hCtrl, kInk);
  Mirel_SetBackColor(m_hCtrl, kPaper);
  Mirel_SetSelForeColor(m_hCtrl, kMarked);
  Mirel_SetSelBackColor(m_hCtrl, kPaper);
  if (c.mark == Mark::kNextCommented) {
    MIREL_SYNTAX_INFO def = {};
    def.bCaseSensitive = 1;
    def.pszLineComment1 = "B";
    MIREL_SYNTAX_COLORS colors;
    for (MIREL_SYNTAX_COLOR_PAIR& pair : colors.pairs)
      pair = MIREL_SYNTAX_COLOR_PAIR{MIREL_CLR_AUTO, MIREL_CLR_AUTO};
    colors.pairs[MIREL_SYNTAX_PAIR_COMMENT1].crFore = kMarked;
    ASSERT_EQ(Mirel_SetSyntaxGeneral(m_hCtrl, &def, &colors), 1);
  }
  // "A", the pair, the next character and one more letter after it.
  const std::vector<WCHAR> units = {L'A', kPairUnits[0], kPairUnits[1], static_cast<WCHAR>(chNext), L'C'};
  if (bUtf16) {
    ASSERT_EQ(Mirel_InsertW(m_hCtrl, units.data(), static_cast<int>(units.size()), FALSE), 1);
  } else {
    const std::string utf8 = std::string("A") + kPairUtf8 + chNext + "C";
    ASSERT_EQ(Mirel_InsertU(m_hCtrl, utf8.data(), static_cast<int>(utf8.size()), FALSE), 1);
  }
  // Byte positions of the pair and of the next character.
  const int nUnit = bUtf16 ? 2 : 1;
  const int nPairPos = nUnit;
  const int nNextPos = nPairPos + 4;  // four bytes in either encoding
  const int nNextEnd = nNextPos + nUnit;

  SetFocus(m_hCtrl);
  int nCellHeight = 0;
  const std::vector<int> prefix = PrefixWidths(c.pszFace != nullptr ? &lf : nullptr, units, &nCellHeight);
  ASSERT_GT(nCellHeight, 0);
  const int x0 = CaretXAt(0);
  const int xPair = x0 + prefix[1];
  const int xNext = x0 + prefix[3];
  const int xNextEnd = x0 + prefix[4];
  ASSERT_GT(xNext, xPair) << c.what;
  ASSERT_GT(xNextEnd, xNext) << c.what;
  // The layout puts the next character where the face measures it.
  EXPECT_EQ(CaretXAt(nNextPos), xNext) << c.what;

  COLORREF crPair = kInk;
  COLORREF crNext = kInk;
  switch (c.mark) {
    case Mark::kNextSelected:
      Mirel_SetSel(m_hCtrl, nNextPos, nNextEnd, FALSE);
      crNext = kMarked;
      break;
    case Mark::kPairSelected:
      Mirel_SetSel(m_hCtrl, nPairPos, nNextPos, FALSE);
      crPair = kMarked;
      break;
    case Mark::kNextCommented:
      Mirel_SetSel(m_hCtrl, 0, 0, FALSE);
      crNext = kMarked;
      break;
    case Mark::kNextBlank:
      Mirel_SetSel(m_hCtrl, 0, 0, FALSE);
      break;
  }
  InvalidateRect(m_hCtrl, nullptr, FALSE);
  UpdateWindow(m_hCtrl);
  const std::vector<DWORD> pixels = mirel_test::ScreenPixels(m_hCtrl);
  RECT rc{};
  GetClientRect(m_hCtrl, &rc);
  const int cx = rc.right;
  ASSERT_EQ(pixels.size(), static_cast<size_t>(cx) * static_cast<size_t>(rc.bottom));
  ASSERT_LE(xNextEnd, cx);

  // Ink of the first row by column: the pair's colour and the next's.
  size_t nPairInk = 0;
  size_t nPairInkInNext = 0;
  size_t nNextInkInCell = 0;
  size_t nNextInkOutside = 0;
  std::string where;
  for (int y = 0; y < nCellHeight && y < rc.bottom; ++y) {
    for (int x = xPair; x < xNextEnd; ++x) {
      const DWORD px = pixels[static_cast<size_t>(y) * cx + x] & 0xFFFFFF;
      const bool bInNext = x >= xNext;
      const bool bPairInk = c.mark == Mark::kNextBlank ? px != (kPaper & 0xFFFFFF) : IsInkOf(px, crPair);
      if (bPairInk && !bInNext) ++nPairInk;
      if (bPairInk && bInNext) {
        if (nPairInkInNext < 6) where += " x" + std::to_string(x) + "/y" + std::to_string(y);
        ++nPairInkInNext;
      }
      if (c.mark != Mark::kNextBlank && crNext != crPair && IsInkOf(px, crNext)) {
        if (bInNext) {
          ++nNextInkInCell;
        } else {
          ++nNextInkOutside;
        }
      }
    }
  }
  EXPECT_GT(nPairInk, 0u) << c.what << ": the pair shows in its cell " << xPair << ".." << xNext;
  EXPECT_EQ(nPairInkInNext, 0u) << c.what << ": ink of the pair in the next cell " << xNext << ".."
                                << xNextEnd << ", first at" << where;
  if (c.mark != Mark::kNextBlank && crNext != crPair) {
    EXPECT_GT(nNextInkInCell, 0u) << c.what << ": the next character shows in its cell";
    EXPECT_EQ(nNextInkOutside, 0u) << c.what << ": ink of the next character in the pair's cell";
  }
}

const Case kCases[] = {
    {"UTF-16, host face, next selected", MIREL_ENCODING_UTF16LE, "GulimChe", Mark::kNextSelected},
    {"UTF-8, host face, next selected", MIREL_ENCODING_UTF8, "GulimChe", Mark::kNextSelected},
    {"UTF-16, own font, next selected", MIREL_ENCODING_UTF16LE, nullptr, Mark::kNextSelected},
    {"UTF-16, host face, pair selected", MIREL_ENCODING_UTF16LE, "GulimChe", Mark::kPairSelected},
    {"UTF-8, host face, next coloured as a comment", MIREL_ENCODING_UTF8, "GulimChe", Mark::kNextCommented},
    {"UTF-16, host face, blank after the pair", MIREL_ENCODING_UTF16LE, "GulimChe", Mark::kNextBlank},
    {"UTF-8, host face, blank after the pair", MIREL_ENCODING_UTF8, "GulimChe", Mark::kNextBlank},
};

INSTANTIATE_TEST_SUITE_P(Rows, PairCellPaint, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                           return "Case" + std::to_string(info.index);
                         });

}  // namespace
