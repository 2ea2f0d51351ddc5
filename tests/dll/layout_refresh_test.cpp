// What a host sees after the calls that change the layout without an edit
// (a font, the ruler, the margins): the window is due for a repaint, the
// caret shows where the text now is, and the caret's paragraph is the one
// the caret position is in, with word wrap on or off.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "control_host.h"
#include "mirel/cmireldoc.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 200;

class LayoutRefresh : public testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ASSERT_NE(m_host.hWnd(), nullptr);
    // Only a shown window keeps an update region.
    ShowWindow(m_host.hWnd(), SW_SHOWNORMAL);
    m_hCtrl = Mirel_Create(m_host.hWnd(), 21, 0, 0, kWidth, kHeight, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(m_hCtrl, nullptr);
    // Word wrap has no export of its own yet: it is set on the document and
    // the window is sized, as a host's resize would.
    CMirelDoc* pdoc = MirelFindDoc(m_hCtrl);
    ASSERT_NE(pdoc, nullptr);
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    pdoc->nWrapMode = static_cast<BYTE>(GetParam());
    MoveWindow(m_hCtrl, 0, 0, kWidth + 1, kHeight, FALSE);
    MoveWindow(m_hCtrl, 0, 0, kWidth, kHeight, FALSE);
    std::string text;
    for (int i = 0; i < 12; ++i) {
      text +=
          "paragraph " + std::to_string(i) + " with words enough to wrap over the width of the window\r\n";
    }
    ASSERT_EQ(Mirel_InsertA(m_hCtrl, text.data(), static_cast<int>(text.size()), FALSE), 1);
    SetFocus(m_hCtrl);
    Mirel_Goto(m_hCtrl, 5, 40);
    ASSERT_EQ(Mirel_GetCurrentParagraphIndex(m_hCtrl), 5);
    ValidateRect(m_hCtrl, nullptr);
  }
  void TearDown() override { Mirel_Destroy(m_hCtrl); }

  bool HasUpdateRegion() const {
    RECT rc{};
    return GetUpdateRect(m_hCtrl, &rc, FALSE) != 0;
  }
  POINT Caret() const {
    POINT pt{-1, -1};
    GetCaretPos(&pt);
    return pt;
  }
  // The caret's paragraph agrees with the paragraph its position lies in.
  void ExpectCaretParagraph(int nPara) const {
    EXPECT_EQ(Mirel_GetCurrentParagraphIndex(m_hCtrl), nPara);
    EXPECT_EQ(Mirel_GetParagraphIndex(m_hCtrl, Mirel_GetCurrentPos(m_hCtrl)), nPara);
  }

  mirel_test::ControlHost m_host;
  HWND m_hCtrl = nullptr;
};

TEST_P(LayoutRefresh, FontChangeRepaintsAndKeepsTheCaretOnItsParagraph) {
  const int nPos = Mirel_GetCurrentPos(m_hCtrl);
  const int nRows = Mirel_GetLineCount(m_hCtrl);
  LOGFONTA lf{};
  lf.lfHeight = -40;
  std::strcpy(lf.lfFaceName, "Courier New");
  Mirel_SetFont(m_hCtrl, &lf);
  EXPECT_TRUE(HasUpdateRegion());
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), nPos);
  ExpectCaretParagraph(5);
  if (GetParam() != MIREL_WRAP_NONE) {
    EXPECT_GT(Mirel_GetLineCount(m_hCtrl), nRows);
  }
  // The caret took the height of the new font.
  HDC hdc = GetDC(m_hCtrl);
  HFONT hFont = CreateFontIndirectA(&lf);
  HGDIOBJ hOld = SelectObject(hdc, hFont);
  TEXTMETRICA tm{};
  GetTextMetricsA(hdc, &tm);
  SelectObject(hdc, hOld);
  DeleteObject(hFont);
  ReleaseDC(m_hCtrl, hdc);
  // The caret row is scrolled into view: the caret lies in the client area.
  const POINT pt = Caret();
  EXPECT_GE(pt.y, 0);
  EXPECT_LE(pt.y + tm.tmHeight, kHeight);
}

TEST_P(LayoutRefresh, RulerMovesTheCaretDownAndRepaints) {
  const POINT before = Caret();
  Mirel_EnableRuler(m_hCtrl, TRUE);
  EXPECT_TRUE(HasUpdateRegion());
  const POINT after = Caret();
  EXPECT_EQ(after.x, before.x);
  EXPECT_GT(after.y, before.y);
  ExpectCaretParagraph(5);
  ValidateRect(m_hCtrl, nullptr);
  Mirel_EnableRuler(m_hCtrl, FALSE);
  EXPECT_TRUE(HasUpdateRegion());
  EXPECT_EQ(Caret().y, before.y);
}

TEST_P(LayoutRefresh, MarginSwitchesKeepCaretAndRowsInStep) {
  const int nPos = Mirel_GetCurrentPos(m_hCtrl);
  for (BOOL bOn : {FALSE, TRUE}) {
    const POINT before = Caret();
    Mirel_EnableLineNo(m_hCtrl, bOn);
    EXPECT_TRUE(HasUpdateRegion());
    EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), nPos);
    ExpectCaretParagraph(5);
    // The text moved sideways with the margin; wrapped rows may move the
    // caret to another row as well, so only the unwrapped x is certain.
    if (GetParam() == MIREL_WRAP_NONE) {
      if (bOn) {
        EXPECT_GT(Caret().x, before.x);
      } else {
        EXPECT_LT(Caret().x, before.x);
      }
    }
    ValidateRect(m_hCtrl, nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(WrapModes, LayoutRefresh, testing::Values(MIREL_WRAP_NONE, MIREL_WRAP_WORD),
                         [](const testing::TestParamInfo<int>& info) {
                           return info.param == MIREL_WRAP_NONE ? std::string("NoWrap") : std::string("Wrap");
                         });

}  // namespace
