// What the screen shows after typing and Backspace equals what a control
// that paints the same text afresh shows, pixel by pixel: an edit inside one
// paragraph repaints only that paragraph, and nothing else may go stale.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control_fixture.h"
#include "mirelctrl/mirelctrl.h"
#include "screen_pixels.h"

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 200;
constexpr char kText[] = "alpha beta\r\n(gamma) [delta]\r\n\r\nepsilon zeta eta\r\ntheta";

class TypingScreen : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(m_host.hWnd(), nullptr);
    ShowWindow(m_host.hWnd(), SW_SHOWNORMAL);  // only a shown window has an update region
  }
  void TearDown() override {
    for (HWND h : m_controls) Mirel_Destroy(h);
  }

  HWND Make(int nID, const std::string& text) {
    HWND h = Mirel_Create(m_host.hWnd(), nID, 0, 0, kWidth, kHeight, 0, WS_CHILD | WS_VISIBLE | WS_VSCROLL);
    if (h == nullptr) return nullptr;
    m_controls.push_back(h);
    if (Mirel_NewFile(h) != 1) return nullptr;
    Mirel_EnableLineNo(h, TRUE);
    if (!text.empty()) Mirel_InsertA(h, text.data(), static_cast<int>(text.size()), FALSE);
    return h;
  }

  mirel_test::ControlHost m_host;
  std::vector<HWND> m_controls;
};

TEST_F(TypingScreen, EachEditShowsWhatAFreshPaintShows) {
  HWND hTyped = Make(41, kText);
  ASSERT_NE(hTyped, nullptr);
  SetFocus(hTyped);
  struct Step {
    const char* what;
    int nPara;  // the caret goes to this paragraph and column first; -1: stays
    int nColumn;
    UINT uMsg;
    WPARAM wParam;
  };
  const Step kSteps[] = {
      {"type at the start", 0, 0, WM_CHAR, 'x'},
      {"type inside a line", 1, 3, WM_CHAR, 'y'},
      {"type on an empty line", 2, 0, WM_CHAR, 'z'},
      {"Backspace inside a line", 3, 4, WM_KEYDOWN, VK_BACK},
      {"Backspace joining two lines", 3, 0, WM_KEYDOWN, VK_BACK},
      {"type at the end", 3, 1 << 20, WM_CHAR, 'w'},
  };
  int nID = 100;
  for (const Step& step : kSteps) {
    if (step.nPara >= 0) Mirel_Goto(hTyped, step.nPara, step.nColumn);
    UpdateWindow(hTyped);
    SendMessageA(hTyped, step.uMsg, step.wParam, 1);
    UpdateWindow(hTyped);
    const std::vector<DWORD> typed = mirel_test::ScreenPixels(hTyped);
    // The same text and caret in a control painted once, from scratch.
    HWND hFresh = Make(++nID, mirel_test::ControlText(hTyped));
    ASSERT_NE(hFresh, nullptr);
    const int nCaret = Mirel_GetCurrentPos(hTyped);
    SetFocus(hFresh);
    Mirel_SetSel(hFresh, nCaret, nCaret, FALSE);
    UpdateWindow(hFresh);
    const std::vector<DWORD> fresh = mirel_test::ScreenPixels(hFresh);
    SetFocus(hTyped);
    EXPECT_EQ(mirel_test::CountDiffering(typed, fresh), 0u) << step.what;
    ShowWindow(hFresh, SW_HIDE);
  }
}

}  // namespace
