// Where the text view puts the system caret: after the text before it in
// the row, at the row's y below the ruler, at the bottom of the glyph cell in
// overwrite mode, hidden left of the text area, and only by the window that
// has the focus (there is one caret per thread).
#include <windows.h>

#include <gtest/gtest.h>

#include "textview_test_util.h"

using namespace mirel_textview_test;

namespace {

using TextViewCaretPlace = TextViewFixture;

POINT CaretPos() {
  POINT pt{-1000, -1000};
  EXPECT_TRUE(GetCaretPos(&pt));
  return pt;
}

TEST_F(TextViewCaretPlace, CaretStandsAfterTheTextBeforeItInItsRow) {
  MakeWindow("abc\r\nxyW");
  SetFocus(hWnd);
  PutCaret(3);
  pView->UpdateCaret(1, 1);
  const int nLeft = doc.nLeftMargin;
  POINT pt = CaretPos();
  EXPECT_EQ(pt.x, nLeft + TextWidth("abc"));
  EXPECT_EQ(pt.y, doc.nRulerHeight);
  EXPECT_EQ(pView->nCaretX, nLeft + TextWidth("abc"));
  EXPECT_EQ(Mirel().nGoalCaretX, pView->nCaretX);
  EXPECT_EQ(Mirel().bCaretVisible, 1);

  // Second row, after "xy"; without bSetGoalX the goal stays.
  const int nGoal = Mirel().nGoalCaretX;
  PutCaret(7);
  pView->UpdateCaret(0, 1);
  pt = CaretPos();
  EXPECT_EQ(pt.x, nLeft + TextWidth("xy"));
  EXPECT_EQ(pt.y, H + doc.nRulerHeight);
  EXPECT_EQ(Mirel().nGoalCaretX, nGoal);
}

TEST_F(TextViewCaretPlace, AStaleCaretRowIsTakenFromTheCaretPosition) {
  MakeWindow("abc\r\nxyz\r\n");
  SetFocus(hWnd);
  doc.nCaretPos = 6;  // after "x" on the second row
  doc.cli = 0;
  pView->UpdateCaret(1, 1);
  EXPECT_EQ(doc.cli, 1);
  POINT pt{};
  ASSERT_TRUE(GetCaretPos(&pt));
  EXPECT_EQ(pt.x, doc.nLeftMargin + TextWidth("x"));
  EXPECT_EQ(pt.y, H + doc.nRulerHeight);
  doc.cli = 99;  // past the row table
  pView->UpdateCaret(1, 1);
  EXPECT_EQ(doc.cli, 1);
}

TEST_F(TextViewCaretPlace, TheRulerPushesTheCaretDown) {
  MakeWindow("abc\r\nxyz");
  doc.EnableRuler(TRUE);
  ASSERT_GT(doc.nRulerHeight, 0);
  SizeTextArea(10, 0, 200);
  SetFocus(hWnd);
  PutCaret(6);
  pView->UpdateCaret(1, 1);
  EXPECT_EQ(CaretPos().y, H + doc.nRulerHeight);
}

TEST_F(TextViewCaretPlace, OverwriteCaretSitsAtTheBottomOfTheGlyphCell) {
  MakeWindow("aW");
  SetFocus(hWnd);
  doc.SetOverwriteMode(TRUE);
  PutCaret(1);
  pView->UpdateCaret(1, 1);
  POINT pt = CaretPos();
  EXPECT_EQ(pt.x, doc.nLeftMargin + TextWidth("a"));
  EXPECT_EQ(pt.y, nFontHeight - 2);
  // At the end of the text there is no character to measure: the caret
  // still goes after the text.
  PutCaret(2);
  pView->UpdateCaret(1, 1);
  pt = CaretPos();
  EXPECT_EQ(pt.x, doc.nLeftMargin + TextWidth("aW"));
  EXPECT_EQ(pt.y, nFontHeight - 2);
}

TEST_F(TextViewCaretPlace, TheCaretFollowsTheHorizontalOffsetAndHidesLeftOfTheText) {
  MakeWindow("abcdefghij");
  SetFocus(hWnd);
  PutCaret(2);
  Mirel().nHScrollPos = TextWidth("a");
  pView->UpdateCaret(1, 0);
  EXPECT_EQ(CaretPos().x, doc.nLeftMargin + TextWidth("ab") - TextWidth("a"));
  EXPECT_EQ(Mirel().bCaretVisible, 1);
  // Scrolled past the caret (no scrolling asked for): hidden in the margin.
  Mirel().nHScrollPos = TextWidth("abcd");
  pView->UpdateCaret(1, 0);
  EXPECT_EQ(Mirel().bCaretVisible, 0);
  EXPECT_EQ(pView->nCaretX, doc.nLeftMargin + TextWidth("ab"));  // x before scrolling
}

TEST_F(TextViewCaretPlace, OnlyTheFocusedWindowMovesTheSystemCaret) {
  MakeWindow("abc\r\nxyz");
  Edit& other = NewEdit(false);
  HWND hOther = CreateEditWindow(other, 101);
  ASSERT_NE(hOther, nullptr);
  SendMessageA(hOther, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 100));
  CMirelViewText* pOtherView = other.edit.pViewText;
  ASSERT_NE(pOtherView, nullptr);

  SetFocus(hWnd);
  PutCaret(3);
  pView->UpdateCaret(1, 1);
  const POINT ptFocused = CaretPos();
  ASSERT_EQ(Mirel().bCaretVisible, 1);

  // The other window computes its caret but leaves the system caret, and its
  // own visibility flag, alone.
  other.edit.bCaretVisible = 0;
  PutCaret(6);
  pOtherView->UpdateCaret(1, 1);
  EXPECT_EQ(pOtherView->nCaretX, doc.nLeftMargin + TextWidth("x"));
  EXPECT_EQ(other.edit.nGoalCaretX, pOtherView->nCaretX);
  const POINT ptAfter = CaretPos();
  EXPECT_EQ(ptAfter.x, ptFocused.x);
  EXPECT_EQ(ptAfter.y, ptFocused.y);
  EXPECT_EQ(other.edit.bCaretVisible, 0);
  EXPECT_EQ(Mirel().bCaretVisible, 1);
}

TEST_F(TextViewCaretPlace, CaretOfARowOffThePageGoesAboveTheWindow) {
  MakeWindow(Rows(40));
  SetFocus(hWnd);
  PutCaret(0);
  pView->UpdateCaret(1, 1);
  // Scrolled down without moving the caret: the caret leaves the page.
  SendMessageA(hWnd, WM_VSCROLL, SB_PAGEDOWN, 0);
  ASSERT_GT(Mirel().nTopLine, 0);
  EXPECT_EQ(CaretPos().y, -2 * H - doc.nRulerHeight);
  EXPECT_EQ(Mirel().bCaretVisible, 0);
  EXPECT_EQ(doc.cli, 0);  // scrolling moves the page, not the caret
}

}  // namespace
