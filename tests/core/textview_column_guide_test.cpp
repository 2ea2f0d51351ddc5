// The column guide (active line types 6 and 7) is drawn on the screen at the
// caret's x: a caret that moves along its row, by a key or by the host,
// takes the guide along and leaves no trace where it stood.
#include "textview_paint_fixture.h"

namespace {

using mirel_paint_test::TextViewPaint;

class TextViewColumnGuide : public TextViewPaint, public ::testing::WithParamInterface<int> {
 protected:
  static constexpr COLORREF kGuide = RGB(255, 0, 128);
  // Guide dots (every second pixel from the ruler down) in a screen column.
  int GuideDots(int x) {
    HDC hdc = GetDC(hWnd);
    int n = 0;
    for (int y = doc.nRulerHeight; y < cy; y += 2) n += GetPixel(hdc, x, y) == kGuide ? 1 : 0;
    ReleaseDC(hWnd, hdc);
    return n;
  }
  int CaretX() { return doc.nLeftMargin + doc.GetXFromPos(doc.cli, static_cast<DWORD>(doc.nCaretPos), TRUE); }
};

TEST_P(TextViewColumnGuide, FollowsTheCaretAlongItsRow) {
  ShowWindow(hParent, SW_SHOWNA);  // only a shown window collects invalid area
  SetFocus(hWnd);
  Open("alpha beta gamma\r\nzeta");
  doc.SetActiveLineColor(kGuide);
  doc.SetActiveLineType(GetParam());
  InvalidateRect(hWnd, nullptr, FALSE);
  Paint();
  const struct {
    const char* what;
    UINT nKey;  // 0: the host puts the caret at nPos
    int nPos;
  } kMoves[] = {{"host goes to column 8", 0, 8},
                {"host puts the caret at 3", 0, 3},
                {"End", VK_END, 0},
                {"Left", VK_LEFT, 0},
                {"typed", 'q', 0}};
  int xOld = CaretX();
  for (const auto& move : kMoves) {
    ASSERT_GT(GuideDots(xOld), 0) << move.what;
    if (move.nKey == 'q') {
      SendMessageA(hWnd, WM_CHAR, 'q', 1);
    } else if (move.nKey != 0) {
      SendMessageA(hWnd, WM_KEYDOWN, move.nKey, 1);
    } else if (move.nPos == 8) {
      doc.Goto(0, move.nPos);
    } else {
      doc.SetSel(move.nPos, move.nPos, TRUE);
    }
    UpdateWindow(hWnd);
    const int xNew = CaretX();
    ASSERT_NE(xNew, xOld) << move.what;
    EXPECT_EQ(GuideDots(xOld), 0) << move.what << ": left behind";
    EXPECT_GT(GuideDots(xNew), 0) << move.what << ": drawn at the caret";
    xOld = xNew;
  }
}

INSTANTIATE_TEST_SUITE_P(GuideTypes, TextViewColumnGuide, ::testing::Values(6, 7));

}  // namespace
