// Settings that change widths and heights give the same result whatever the
// order a host calls them in: before the text store, after it, and after the
// text. Expected pixels come from the platform's own text measurement.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "control_host.h"
#include "mirelctrl/mirelctrl.h"
#include "test_support.h"

namespace {

using mirel_test::Wide;
using WString = std::basic_string<WCHAR>;

// One control of its own with the focus (so it has the caret), destroyed
// with the object.
struct Control {
  explicit Control(HWND hParent) : h(Mirel_Create(hParent, 33, 0, 0, 320, 200, 0, WS_CHILD | WS_VISIBLE)) {
    SetFocus(h);
  }
  ~Control() { Mirel_Destroy(h); }
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  HWND h;
};

// The sample host's face; 0 points leaves the control's default font.
LOGFONTA Face(int nPoints) {
  LOGFONTA lf{};
  HDC hdc = GetDC(nullptr);
  lf.lfHeight = -MulDiv(nPoints, GetDeviceCaps(hdc, LOGPIXELSY), 72);
  ReleaseDC(nullptr, hdc);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  std::strcpy(lf.lfFaceName, "GulimChe");
  return lf;
}

// The control's own DC with the font it draws with selected.
class FontDC {
 public:
  FontDC(HWND hWnd, const LOGFONTA* pFont) : m_hWnd(hWnd), m_hdc(GetDC(hWnd)) {
    if (pFont != nullptr) m_hFont = CreateFontIndirectA(pFont);
    if (m_hFont != nullptr) m_hOld = SelectObject(m_hdc, m_hFont);
  }
  ~FontDC() {
    if (m_hOld != nullptr) SelectObject(m_hdc, m_hOld);
    if (m_hFont != nullptr) DeleteObject(m_hFont);
    ReleaseDC(m_hWnd, m_hdc);
  }
  FontDC(const FontDC&) = delete;
  FontDC& operator=(const FontDC&) = delete;
  int Width(WCHAR ch) const {
    SIZE size{};
    GetTextExtentPoint32W(m_hdc, &ch, 1, &size);
    return size.cx;
  }
  TEXTMETRICA Metrics() const {
    TEXTMETRICA tm{};
    GetTextMetricsA(m_hdc, &tm);
    return tm;
  }

 private:
  HWND m_hWnd;
  HDC m_hdc;
  HFONT m_hFont = nullptr;
  HGDIOBJ m_hOld = nullptr;
};

int CaretX(HWND hCtrl, int nPos) {
  Mirel_SetSel(hCtrl, nPos, nPos, TRUE);
  POINT pt{};
  GetCaretPos(&pt);
  return pt.x;
}

int CaretY(HWND hCtrl, int nPos) {
  Mirel_SetSel(hCtrl, nPos, nPos, FALSE);
  POINT pt{};
  GetCaretPos(&pt);
  return pt.y;
}

SCROLLINFO ScrollInfo(HWND hCtrl, int nBar) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(hCtrl, nBar, &si);
  return si;
}

// Bytes a character of the basic plane takes in a document encoding.
int CharBytes(WCHAR ch, int nEncoding) {
  if (nEncoding == MIREL_ENCODING_UTF16LE) return 2;
  if (ch < 0x80) return 1;
  if (nEncoding == MIREL_ENCODING_ANSI) return 2;
  return ch < 0x800 ? 2 : 3;
}

// Hangul from every lead byte range of code page 949, Hanja and ASCII.
const char16_t kSample[] = u"A\xC778\xC548\xB155\xD558\xC138\xC694\xAC00\xC8E0\xB0FF\x6F22x";

struct WidthCase {
  const char* name;
  std::vector<int> encodings;  // set one after another
  int nPoints;                 // 0: the default font
};

// Every order of: Korean input language (K), font (F), encoding (E) and the
// text store (N), then the sample is typed in: each character's laid-out
// width (the caret's step over it) is the width the face draws it with.
TEST(SettingOrder, CharacterWidthsFollowTheFaceInEveryOrder) {
  mirel_test::ControlHost host;
  const WidthCase kCases[] = {
      {"UTF-8", {MIREL_ENCODING_UTF8}, 10},
      {"UTF-16", {MIREL_ENCODING_UTF16LE}, 10},
      {"UTF-8, default font", {MIREL_ENCODING_UTF8}, 0},
      {"UTF-16, default font", {MIREL_ENCODING_UTF16LE}, 0},
      {"ANSI 949", {MIREL_ENCODING_ANSI}, 10},
      {"UTF-8 then ANSI 949", {MIREL_ENCODING_UTF8, MIREL_ENCODING_ANSI}, 10},
  };
  const WString text = Wide(kSample);
  for (const WidthCase& c : kCases) {
    const LOGFONTA lf = Face(c.nPoints);
    std::string order = c.nPoints != 0 ? "EFKN" : "EKN";
    do {
      SCOPED_TRACE(std::string(c.name) + ", order " + order);
      Control ctrl(host.hWnd());
      for (char step : order) {
        if (step == 'K') SendMessageA(ctrl.h, WM_INPUTLANGCHANGE, 0, static_cast<LPARAM>(0x04120412));
        if (step == 'F') Mirel_SetFont(ctrl.h, &lf);
        if (step == 'N') {
          ASSERT_EQ(Mirel_NewFile(ctrl.h), 1);
        }
        for (int nEncoding : c.encodings)
          if (step == 'E') Mirel_SetFileEncoding(ctrl.h, nEncoding);
      }
      ASSERT_EQ(Mirel_InsertW(ctrl.h, text.data(), static_cast<int>(text.size()), TRUE), 1);
      const FontDC dc(ctrl.h, c.nPoints != 0 ? &lf : nullptr);
      int nPos = 0;
      int x = CaretX(ctrl.h, 0);
      for (WCHAR ch : text) {
        nPos += CharBytes(ch, c.encodings.back());
        const int nNextX = CaretX(ctrl.h, nPos);
        EXPECT_EQ(nNextX - x, dc.Width(ch)) << "U+" << std::hex << ch;
        x = nNextX;
      }
    } while (std::next_permutation(order.begin(), order.end()));
  }
}

// The width of a row with tab stops, from the face's character widths.
int RowWidth(const FontDC& dc, const std::string& row, int nTabSize) {
  const int nTab = std::max<int>(dc.Metrics().tmAveCharWidth * nTabSize, 1);
  int w = 0;
  for (char ch : row) w = ch == '\t' ? (w / nTab + 1) * nTab : w + dc.Width(static_cast<BYTE>(ch));
  return w;
}

struct LayoutSetting {
  const char* name;
  std::function<void(HWND)> apply;
  int nPoints;   // the font it leaves
  int nTabSize;  // the tab size it leaves
  bool bWrap;
};

// A setting that changes widths gives the horizontal range of the widest row
// as it is then, set before the text or after it; paging right reaches the
// end of that row.
TEST(SettingOrder, HorizontalRangeFollowsWidthsInEitherOrder) {
  mirel_test::ControlHost host;
  const LOGFONTA big = Face(16);
  const LayoutSetting kSettings[] = {
      {"font", [&](HWND h) { Mirel_SetFont(h, &big); }, 16, 4, false},
      {"tab size 8", [](HWND h) { Mirel_SetTabSize(h, 8); }, 0, 8, false},
      {"tab size 3", [](HWND h) { Mirel_SetTabSize(h, 3); }, 0, 3, false},
      {"character wrap", [](HWND h) { Mirel_SetWordWrap(h, MIREL_WRAP_CHAR); }, 0, 4, true},
      {"word wrap", [](HWND h) { Mirel_SetWordWrap(h, MIREL_WRAP_WORD); }, 0, 4, true},
      {"word wrap, DBCS", [](HWND h) { Mirel_SetWordWrap(h, MIREL_WRAP_WORD_DBCS); }, 0, 4, true},
  };
  std::string row;
  for (int i = 0; i < 24; ++i) row += "\tcell" + std::to_string(i) + " x";
  const std::string text = row + "\r\nshort\tline\r\n";
  for (const LayoutSetting& s : kSettings) {
    SCOPED_TRACE(s.name);
    SCROLLINFO ranges[2]{};
    for (int nAfter = 0; nAfter < 2; ++nAfter) {
      Control ctrl(host.hWnd());
      if (!nAfter) s.apply(ctrl.h);
      ASSERT_EQ(Mirel_NewFile(ctrl.h), 1);
      ASSERT_EQ(Mirel_InsertA(ctrl.h, text.data(), static_cast<int>(text.size()), TRUE), 1);
      if (nAfter) s.apply(ctrl.h);
      ranges[nAfter] = ScrollInfo(ctrl.h, SB_HORZ);
      if (s.bWrap) continue;
      const LOGFONTA lf = Face(s.nPoints);
      const FontDC dc(ctrl.h, s.nPoints != 0 ? &lf : nullptr);
      for (int i = 0; i < 200; ++i) SendMessageA(ctrl.h, WM_HSCROLL, SB_PAGERIGHT, 0);
      EXPECT_EQ(ScrollInfo(ctrl.h, SB_HORZ).nPos, RowWidth(dc, row, s.nTabSize))
          << "after the text: " << nAfter;
    }
    EXPECT_EQ(ranges[1].nMin, ranges[0].nMin);
    EXPECT_EQ(ranges[1].nMax, ranges[0].nMax);
    EXPECT_EQ(ranges[1].nPage, ranges[0].nPage);
  }
}

// A new or emptied text keeps no horizontal range of a wider text before it:
// the range is that of a control that only ever had the new text.
TEST(SettingOrder, NewTextForgetsTheWidestRowBefore) {
  mirel_test::ControlHost host;
  const std::pair<const char*, int (*)(HWND)> kRestarts[] = {{"new file", Mirel_NewFile},
                                                             {"reset", [](HWND h) {
                                                                Mirel_Reset(h);
                                                                return 1;
                                                              }}};
  const std::string wide(600, 'w');
  const std::string text = "narrow\trow\r\nend";
  SCROLLINFO fresh{};
  {
    Control ctrl(host.hWnd());
    ASSERT_EQ(Mirel_NewFile(ctrl.h), 1);
    ASSERT_EQ(Mirel_InsertA(ctrl.h, text.data(), static_cast<int>(text.size()), TRUE), 1);
    fresh = ScrollInfo(ctrl.h, SB_HORZ);
  }
  for (const auto& restart : kRestarts) {
    SCOPED_TRACE(restart.first);
    Control ctrl(host.hWnd());
    ASSERT_EQ(Mirel_NewFile(ctrl.h), 1);
    ASSERT_EQ(Mirel_InsertA(ctrl.h, wide.data(), static_cast<int>(wide.size()), TRUE), 1);
    ASSERT_EQ(restart.second(ctrl.h), 1);
    ASSERT_EQ(Mirel_InsertA(ctrl.h, text.data(), static_cast<int>(text.size()), TRUE), 1);
    const SCROLLINFO si = ScrollInfo(ctrl.h, SB_HORZ);
    EXPECT_EQ(si.nMax, fresh.nMax);
    EXPECT_EQ(si.nPage, fresh.nPage);
    const FontDC dc(ctrl.h, nullptr);
    for (int i = 0; i < 20; ++i) SendMessageA(ctrl.h, WM_HSCROLL, SB_PAGERIGHT, 0);
    EXPECT_EQ(ScrollInfo(ctrl.h, SB_HORZ).nPos, RowWidth(dc, "narrow\trow", 4));
  }
}

// The line spacing gives the hex rows the same height whether it is set
// before or after the switch to the hex view.
TEST(SettingOrder, HexRowsFollowTheLineSpacingInEitherOrder) {
  mirel_test::ControlHost host;
  const std::string text(700, 'h');
  for (int nSpacing : {150, 200, 90}) {
    SCOPED_TRACE(nSpacing);
    SCROLLINFO ranges[2]{};
    int heights[2]{};
    for (int nAfter = 0; nAfter < 2; ++nAfter) {
      Control ctrl(host.hWnd());
      ASSERT_EQ(Mirel_NewFile(ctrl.h), 1);
      ASSERT_EQ(Mirel_InsertA(ctrl.h, text.data(), static_cast<int>(text.size()), TRUE), 1);
      if (!nAfter) Mirel_SetLineSpacing(ctrl.h, nSpacing);
      Mirel_SetViewType(ctrl.h, 2);
      if (nAfter) Mirel_SetLineSpacing(ctrl.h, nSpacing);
      ranges[nAfter] = ScrollInfo(ctrl.h, SB_VERT);
      const int y0 = CaretY(ctrl.h, 0);
      heights[nAfter] = CaretY(ctrl.h, 16) - y0;
    }
    EXPECT_GT(heights[0], 0);
    EXPECT_EQ(heights[1], heights[0]);
    EXPECT_EQ(ranges[1].nMax, ranges[0].nMax);
    EXPECT_EQ(ranges[1].nPage, ranges[0].nPage);
  }
}

}  // namespace
