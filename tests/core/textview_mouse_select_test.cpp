// Selecting with the mouse in the text view, in ANSI, UTF-8 and UTF-16
// documents with and without word wrap: clicks, drags, double and triple
// clicks, word-wise extension and whole rows from the left margin.
#include <windows.h>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "textview_mouse_test_util.h"

using namespace mirel_textview_mouse_test;

namespace {

// "alpha beta(gamma)" is 17 characters, 19 with its line break.
constexpr char kText[] = "alpha beta(gamma)\r\nsecond line\r\nthird\r\n";
constexpr int kRow1 = 19;

class TextViewMouseSelect : public MouseFixture, public ::testing::WithParamInterface<MouseCase> {
 protected:
  void SetUp() override {
    MouseFixture::SetUp();
    Open(kText, GetParam().nEncoding, GetParam().nWrapMode);
  }
};

TEST_P(TextViewMouseSelect, AClickPlacesTheCaretAndADragSelectsUpToThePointer) {
  Down(At(0, "alpha "));
  EXPECT_EQ(GetCapture(), hWnd);
  EXPECT_EQ(Mirel().bTracking, 1);
  EXPECT_EQ(doc.nCaretPos, static_cast<int>(P(6)));
  EXPECT_FALSE(doc.block.HasSelection());
  Move(At(1, "second"));
  Up(At(1, "second"));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Mirel().bTracking, 0);
  EXPECT_EQ(SelStart(), P(6));
  EXPECT_EQ(SelEnd(), P(kRow1 + 6));
  EXPECT_EQ(doc.nCaretPos, static_cast<int>(P(kRow1 + 6)));
  EXPECT_EQ(doc.cli, 1);
  // A plain click elsewhere collapses the selection there.
  Click(At(2, "th"));
  EXPECT_FALSE(doc.block.HasSelection());
  EXPECT_EQ(doc.nCaretPos, static_cast<int>(P(kRow1 + 13 + 2)));
}

TEST_P(TextViewMouseSelect, ADoubleClickSelectsTheWordAndAlwaysNotifiesTheParent) {
  doc.SetDblClkWordSelect(TRUE);
  Click(At(0, "alpha be"));
  DblClk(At(0, "alpha be"));
  Up(At(0, "alpha be"));
  EXPECT_EQ(SelStart(), P(6));
  EXPECT_EQ(SelEnd(), P(10));
  EXPECT_EQ(CountNotifications(5), 1);
  // A delimiter is selected on its own.
  SendMessageA(hWnd, WM_TIMER, TIMER_DBLCLK_WAIT, 0);
  Click(At(2, "t"));
  DblClk(At(0, "alpha beta"));
  EXPECT_EQ(SelStart(), P(10));
  EXPECT_EQ(SelEnd(), P(11));
  // Without the word option nothing is selected, the parent still hears.
  doc.SetDblClkWordSelect(FALSE);
  SendMessageA(hWnd, WM_TIMER, TIMER_DBLCLK_WAIT, 0);
  Click(At(1, "se"));
  DblClk(At(1, "se"));
  Up(At(1, "se"));
  EXPECT_FALSE(doc.block.HasSelection());
  EXPECT_EQ(CountNotifications(5), 3);
}

TEST_P(TextViewMouseSelect, ADoubleClickTakesTheDocumentsWordForSelection) {
  doc.SetDblClkWordSelect(TRUE);
  struct Case {
    int nRow;
    const char* pszBefore;  // text before the click point
    int nStart, nEnd;       // characters selected
  } cases[] = {
      {0, "alpha", 5, 5},                                // on a blank: nothing, the caret there
      {0, "alpha beta(gamma)    ", 16, 19},              // past the row end: the run ")\r\n"
      {1, "second line      ", kRow1 + 11, kRow1 + 13},  // the line break alone
  };
  for (const Case& c : cases) {
    SendMessageA(hWnd, WM_TIMER, TIMER_DBLCLK_WAIT, 0);
    Click(At(c.nRow, c.pszBefore));
    DblClk(At(c.nRow, c.pszBefore));
    Up(At(c.nRow, c.pszBefore));
    EXPECT_EQ(SelStart(), P(c.nStart)) << c.pszBefore;
    EXPECT_EQ(SelEnd(), P(c.nEnd)) << c.pszBefore;
    EXPECT_EQ(doc.cli, doc.GetLineFromPos(static_cast<DWORD>(doc.nCaretPos))) << c.pszBefore;
  }
}

TEST_P(TextViewMouseSelect, AThirdClickInTimeSelectsTheParagraphWithItsLineBreak) {
  Click(At(0, "al"));
  DblClk(At(0, "al"));
  Up(At(0, "al"));
  Down(At(0, "al"));
  Up(At(0, "al"));
  EXPECT_EQ(SelStart(), P(0));
  EXPECT_EQ(SelEnd(), P(kRow1));
  // Once the double-click time is over, the third click is a plain click.
  Click(At(1, "sec"));
  DblClk(At(1, "sec"));
  Up(At(1, "sec"));
  SendMessageA(hWnd, WM_TIMER, TIMER_DBLCLK_WAIT, 0);
  Down(At(1, "sec"));
  Up(At(1, "sec"));
  EXPECT_FALSE(doc.block.HasSelection());
  EXPECT_EQ(doc.nCaretPos, static_cast<int>(P(kRow1 + 3)));
}

TEST_P(TextViewMouseSelect, AfterADoubleClickADragExtendsByWholeWords) {
  doc.SetDblClkWordSelect(TRUE);
  Click(At(0, "alpha be"));
  DblClk(At(0, "alpha be"));
  Move(At(1, "sec"));
  EXPECT_EQ(SelStart(), P(6));
  EXPECT_EQ(SelEnd(), P(kRow1 + 6));  // the end of "second"
  Move(At(0, "al"));                  // back before the anchor: from "alpha" to the end of "beta"
  EXPECT_EQ(SelStart(), P(0));
  EXPECT_EQ(SelEnd(), P(10));
  Up(At(0, "al"));
  EXPECT_FALSE(doc.anchorBlock.HasSelection());
}

TEST_P(TextViewMouseSelect, TheMarginSelectsWholeRowsDownOrUp) {
  POINT pt = At(1, "");
  pt.x = doc.nLeftMargin / 2;
  Down(pt);
  EXPECT_EQ(doc.bLineSelecting, TRUE);
  EXPECT_EQ(SelStart(), P(kRow1));
  POINT below = At(2, "");
  below.x = pt.x;
  Move(below);
  Up(below);
  EXPECT_FALSE(doc.bLineSelecting);
  EXPECT_EQ(SelStart(), P(kRow1));
  EXPECT_EQ(SelEnd(), doc.pLines[3].nStart);  // row 2 with its line break
  // Upwards from row 2 to row 0: rows 0 to 2.
  POINT top = At(0, "");
  top.x = pt.x;
  Click(At(2, "thi"));  // a margin click on selected rows would start a drag instead
  Down(below);
  Move(top);
  Up(top);
  EXPECT_EQ(SelStart(), P(0));
  EXPECT_EQ(SelEnd(), doc.pLines[2].nStart + doc.pLines[2].nLen);
  EXPECT_EQ(doc.nCaretPos, 0);
}

INSTANTIATE_TEST_SUITE_P(Encodings, TextViewMouseSelect,
                         ::testing::Values(MouseCase{MIREL_ENCODING_ANSI, MIREL_WRAP_NONE},
                                           MouseCase{MIREL_ENCODING_UTF8, MIREL_WRAP_NONE},
                                           MouseCase{MIREL_ENCODING_UTF16LE, MIREL_WRAP_NONE},
                                           MouseCase{MIREL_ENCODING_ANSI, MIREL_WRAP_CHAR},
                                           MouseCase{MIREL_ENCODING_UTF8, MIREL_WRAP_WORD},
                                           MouseCase{MIREL_ENCODING_UTF16LE, MIREL_WRAP_CHAR}),
                         CaseName);

}  // namespace
