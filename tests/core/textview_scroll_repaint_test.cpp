// Repaint requests and row geometry of the text view: every request with a
// known tag repaints all visible rows, nothing is recorded while redrawing is
// off or for an unknown tag, and the rows under a y and the top row that
// shows a row come out of the row height.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "textview_test_util.h"

using namespace mirel_textview_test;

namespace {

class TextViewRepaint : public TextViewFixture {
 protected:
  void SetUp() override {
    TextViewFixture::SetUp();
    MakeWindow(Rows(40));
    SendMessageA(hWnd, WM_PAINT, 0, 0);  // nothing pending from here on
    ASSERT_EQ(Mirel().nRepaintTag, REPAINT_TAG_NONE);
  }
  void ExpectAllVisibleRowsPending() {
    EXPECT_EQ(Mirel().nRepaintTag, REPAINT_TAG_ALL);
    EXPECT_EQ(Mirel().nDirtyFirst, Mirel().nTopLine);
    EXPECT_EQ(Mirel().nDirtyLast,
              std::min(Mirel().nTopLine + pView->GetPageLineCount() + 1, doc.nLineCount - 1));
    RECT rc{};
    EXPECT_TRUE(GetUpdateRect(hWnd, &rc, FALSE));
  }
};

TEST_F(TextViewRepaint, EveryKnownTagRepaintsAllVisibleRows) {
  for (int nTag : {REPAINT_TAG_RECORD, REPAINT_TAG_FROM, REPAINT_TAG_RANGE, REPAINT_TAG_RULER}) {
    SCOPED_TRACE(nTag);
    Mirel().nTopLine = 5;
    pView->Invalidate(nTag, 300, 310);  // positions are not used
    ExpectAllVisibleRowsPending();
    SendMessageA(hWnd, WM_PAINT, 0, 0);
    EXPECT_EQ(Mirel().nRepaintTag, REPAINT_TAG_NONE);
  }
  // Near the end the dirty rows stop at the last row.
  Mirel().nTopLine = 38;
  pView->Invalidate(REPAINT_TAG_ALL, 0, 0);
  EXPECT_EQ(Mirel().nDirtyLast, doc.nLineCount - 1);
}

TEST_F(TextViewRepaint, UnknownTagsAndSwitchedOffRedrawRecordNothing) {
  ValidateRect(hWnd, nullptr);
  pView->Invalidate(REPAINT_TAG_NONE, 0, 0);
  pView->Invalidate(6, 0, 0);
  EXPECT_EQ(Mirel().nRepaintTag, REPAINT_TAG_NONE);
  if (mirel_test::kStandIn) {
    RECT rc{};
    EXPECT_FALSE(GetUpdateRect(hWnd, &rc, FALSE));
  }
  Mirel().bRedraw = 0;
  pView->Invalidate(REPAINT_TAG_ALL, 0, 0);
  EXPECT_EQ(Mirel().nRepaintTag, REPAINT_TAG_NONE);
  // Switched on again: everything visible is repainted.
  Mirel().SetRedraw(1);
  ExpectAllVisibleRowsPending();
}

TEST_F(TextViewRepaint, RowsUnderAYFollowTheRowHeight) {
  Mirel().nTopLine = 3;
  EXPECT_EQ(pView->LineFromY(0), 3u);
  EXPECT_EQ(pView->LineFromY(H - 1), 3u);
  EXPECT_EQ(pView->LineFromY(H), 4u);
  EXPECT_EQ(pView->LineFromY(-50), 3u);
  EXPECT_EQ(pView->LineFromY(1000 * H), static_cast<UINT>(doc.nLineCount - 1));
  // For the mouse a y on a row boundary belongs to the row above.
  EXPECT_EQ(pView->LineFromYRaw(H), 3u);
  EXPECT_EQ(pView->LineFromYRaw(H + 1), 4u);
  EXPECT_EQ(pView->LineFromYRaw(-5), 3u);
  EXPECT_EQ(pView->LineFromYRaw(1000 * H), static_cast<UINT>(doc.nLineCount - 1));
}

TEST_F(TextViewRepaint, TheRulerIsAboveTheFirstRow) {
  doc.EnableRuler(TRUE);
  SizeTextArea(10, 0, 200);
  const int nRuler = doc.nRulerHeight;
  ASSERT_GT(nRuler, 0);
  EXPECT_EQ(pView->LineFromY(nRuler - 1), 0u);
  EXPECT_EQ(pView->LineFromY(nRuler + H), 1u);
  EXPECT_EQ(pView->LineFromYRaw(nRuler + H), 0u);
}

TEST_F(TextViewRepaint, TopRowThatShowsARow) {
  UINT nTop = 999;
  EXPECT_TRUE(pView->GetTopLineToShow(9, 0, &nTop));  // the tenth whole row
  EXPECT_EQ(nTop, 999u);
  // Right below the page, mode 1: it becomes the last visible row.
  EXPECT_FALSE(pView->GetTopLineToShow(10, 1, &nTop));
  Mirel().nTopLine = static_cast<int>(nTop);
  EXPECT_TRUE(pView->GetTopLineToShow(10, 1, nullptr));
  EXPECT_FALSE(pView->GetTopLineToShow(11, 1, nullptr));
  // Mode 0 shows it as the second row; mode 2 centres it, never above row 0.
  EXPECT_FALSE(pView->GetTopLineToShow(30, 0, &nTop));
  EXPECT_EQ(nTop, 29u);
  Mirel().nTopLine = 30;
  EXPECT_FALSE(pView->GetTopLineToShow(3, 2, &nTop));
  EXPECT_EQ(nTop, 0u);
}

}  // namespace
