// Keeping the caret in view: the page follows the caret row up and down by
// as little as needed, a long row scrolls so the caret is centred, word wrap
// never scrolls sideways, and the scroll bars follow.
#include <windows.h>

#include <gtest/gtest.h>

#include "textview_test_util.h"

using namespace mirel_textview_test;

namespace {

using TextViewCaretScroll = TextViewFixture;

TEST_F(TextViewCaretScroll, ARowPageLinesBelowTheTopIsOnScreenOneMoreScrollsByOne) {
  MakeWindow(Rows(60));
  SetFocus(hWnd);
  const int nPage = pView->GetPageLineCount();
  // Ten whole rows of text area; the page leaves room for one glyph cell.
  EXPECT_EQ(nPage, (10 * H - nFontHeight) / H);
  PutCaret(0);
  pView->UpdateCaret(1, 1);
  ASSERT_EQ(Mirel().nTopLine, 0);

  PutCaret(static_cast<DWORD>(doc.pLines[nPage].nStart));
  pView->UpdateCaret(1, 1);
  EXPECT_EQ(Mirel().nTopLine, 0);

  PutCaret(static_cast<DWORD>(doc.pLines[nPage + 1].nStart));
  pView->UpdateCaret(1, 1);
  EXPECT_EQ(Mirel().nTopLine, 1);
  EXPECT_EQ(GetScrollPos(hWnd, SB_VERT), H);
  POINT pt{};
  ASSERT_TRUE(GetCaretPos(&pt));
  EXPECT_EQ(pt.y, nPage * H + doc.nRulerHeight);
}

TEST_F(TextViewCaretScroll, ACaretAboveThePageBecomesTheTopRow) {
  MakeWindow(Rows(60));
  SetFocus(hWnd);
  SendMessageA(hWnd, WM_VSCROLL, SB_PAGEDOWN, 0);
  SendMessageA(hWnd, WM_VSCROLL, SB_PAGEDOWN, 0);
  ASSERT_EQ(Mirel().nTopLine, 20);
  PutCaret(static_cast<DWORD>(doc.pLines[7].nStart));
  pView->UpdateCaret(1, 1);
  EXPECT_EQ(Mirel().nTopLine, 7);
  EXPECT_EQ(GetScrollPos(hWnd, SB_VERT), 7 * H);
  // Without bScroll the page stays where it is.
  PutCaret(static_cast<DWORD>(doc.pLines[30].nStart));
  pView->UpdateCaret(1, 0);
  EXPECT_EQ(Mirel().nTopLine, 7);
}

TEST_F(TextViewCaretScroll, ACaretPastTheRightEdgeIsCentredAndBackAtTheStartScrollsHome) {
  const std::string row(200, 'm');
  MakeWindow(row + "\r\nshort");
  SetFocus(hWnd);
  const int nClient = Mirel().rcEdit.right;
  PutCaret(200);  // end of the long row
  pView->UpdateCaret(1, 1);
  const int nCaretX = doc.nLeftMargin + TextWidth(row.c_str());
  EXPECT_EQ(pView->nCaretX, nCaretX);
  EXPECT_EQ(Mirel().nHScrollPos, nCaretX - nClient / 2);
  EXPECT_EQ(GetScrollPos(hWnd, SB_HORZ), Mirel().nHScrollPos);
  POINT pt{};
  ASSERT_TRUE(GetCaretPos(&pt));
  EXPECT_EQ(pt.x, nClient / 2);

  PutCaret(0);
  pView->UpdateCaret(1, 1);
  EXPECT_EQ(Mirel().nHScrollPos, 0);
}

TEST_F(TextViewCaretScroll, WithWordWrapTheViewNeverScrollsSideways) {
  MakeWindow(std::string(300, 'w'));
  doc.nWrapMode = MIREL_WRAP_CHAR;
  PutCaret(300);
  SizeTextArea(10, 0, 200);  // the new size wraps the rows
  ASSERT_GT(doc.nLineCount, 1);
  EXPECT_EQ(doc.cli, doc.nLineCount - 1);  // the caret's row after wrapping
  SetFocus(hWnd);
  pView->UpdateCaret(1, 1);
  EXPECT_EQ(Mirel().nHScrollPos, 0);
  SendMessageA(hWnd, WM_HSCROLL, SB_LINERIGHT, 0);
  SendMessageA(hWnd, WM_HSCROLL, SB_PAGERIGHT, 0);
  EXPECT_EQ(Mirel().nHScrollPos, 0);
}

TEST_F(TextViewCaretScroll, AnEmptyClientAreaNeverScrolls) {
  MakeWindow(Rows(30));
  SetFocus(hWnd);
  MoveWindow(hWnd, 0, 0, 0, 0, FALSE);
  SendMessageA(hWnd, WM_SIZE, SIZE_RESTORED, 0);
  ASSERT_EQ(pView->GetPageLineCount(), 0);
  PutCaret(static_cast<DWORD>(doc.pLines[25].nStart));
  pView->UpdateCaret(1, 1);
  EXPECT_EQ(Mirel().nTopLine, 0);
  EXPECT_EQ(Mirel().nHScrollPos, 0);
}

}  // namespace
