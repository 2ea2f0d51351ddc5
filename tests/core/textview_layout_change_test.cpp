// Layout changes that are not edits (margin switches, a font, the margin
// growing with the paragraph count) with word wrap on and off: the rows
// equal a fresh layout, the caret row holds the caret, the selection keeps
// its text, and vertical moves keep their goal x. Also the keys that depend
// on how many rows the page shows whole.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "doc_test_util.h"
#include "textview_keys_fixture.h"

using namespace mirel_keys_test;

namespace {

class TextViewLayoutChange : public KeysTest {
 protected:
  // Paragraphs long enough to wrap at a window of 300 pixels.
  void OpenLong(int nWrapMode) {
    std::string text;
    for (int i = 0; i < 20; ++i) text += "word after word after word after word after word\r\n";
    Open(MIREL_ENCODING_ANSI, text, nWrapMode);
  }

  // Rows equal a fresh layout of the same text; caret and block agree.
  void ExpectRowsFresh() {
    const std::vector<mirel_doc_test::Row> rows = mirel_doc_test::RowsOf(doc);
    EXPECT_EQ(rows, mirel_doc_test::RebuiltRows(doc));
    ExpectConsistent();
    const int nAnchorRow = doc.block.nAnchorLine;
    ASSERT_GE(nAnchorRow, 0);
    ASSERT_LT(nAnchorRow, doc.nLineCount);
    EXPECT_LE(doc.pLines[nAnchorRow].nStart, doc.block.nAnchor);
    EXPECT_LE(doc.block.nAnchor, doc.pLines[nAnchorRow].nStart + doc.pLines[nAnchorRow].nLen);
    EXPECT_EQ(doc.block.nCaretLine, doc.cli);
  }
};

TEST_F(TextViewLayoutChange, MarginSwitchesReWrapOnceAndKeepCaretAndSelection) {
  OpenLong(MIREL_WRAP_WORD);
  // A selection from paragraph 3 to the caret in paragraph 9.
  const DWORD nAnchor = doc.pLines[doc.GetLineFromParagraph(3)].nStart + 7;
  Caret(nAnchor);
  const DWORD nCaret = doc.pLines[doc.GetLineFromParagraph(9)].nStart + 30;
  doc.nCaretPos = static_cast<int>(nCaret);
  doc.cli = doc.GetLineFromPos(nCaret);
  doc.block.SetCaret(nCaret, doc.cli);

  using Switch = void (CMirelDoc::*)(BOOL);
  const Switch switches[] = {&CMirelDoc::EnableLineNo,           &CMirelDoc::EnableIndicatorMargin,
                             &CMirelDoc::EnableFolderMargin,     &CMirelDoc::SetLineNoFlag,
                             &CMirelDoc::SetIndicatorMarginFlag, &CMirelDoc::SetFolderMarginFlag};
  for (Switch s : switches) {
    for (BOOL bOn : {TRUE, FALSE, TRUE}) {
      (doc.*s)(bOn);
      ExpectRowsFresh();
      EXPECT_EQ(Pos(), nCaret);
      EXPECT_EQ(doc.block.nAnchor, nAnchor);
      EXPECT_EQ(doc.GetCurrentParagraphIndex(), 9);
    }
  }
}

// Only the width moves wrap points: a window made taller or shorter keeps
// its rows; a wider or narrower one, or a margin change (WM_SIZE 0, 0), lays
// them out again.
TEST_F(TextViewLayoutChange, OnlyAWidthOrMarginChangeReWraps) {
  struct Resize {
    const char* what;
    int dx, dy;        // change of the window size
    bool bMarginStep;  // the WM_SIZE (0, 0) a margin change sends instead
    DWORD nLayouts;
  };
  const Resize kResizes[] = {
      {"taller", 0, 120, false, 0},    {"shorter", 0, -150, false, 0}, {"wider", 40, 0, false, 1},
      {"narrower", -80, 30, false, 1}, {"margin step", 0, 0, true, 1},
  };
  for (int nWrap : {MIREL_WRAP_WORD, MIREL_WRAP_NONE}) {
    for (const Resize& r : kResizes) {
      SCOPED_TRACE(std::string(r.what) + (nWrap == MIREL_WRAP_NONE ? " without wrap" : ""));
      OpenLong(nWrap);
      Caret(doc.pLines[doc.GetLineFromParagraph(9)].nStart + 30);
      RECT rc;
      GetWindowRect(hEdit, &rc);
      const DWORD nBefore = doc.pContents->nFullLayouts;
      if (r.bMarginStep) {
        SendMessageA(hEdit, WM_SIZE, 0, 0);
      } else {
        MoveWindow(hEdit, 0, 0, rc.right - rc.left + r.dx, rc.bottom - rc.top + r.dy, FALSE);
      }
      EXPECT_EQ(doc.pContents->nFullLayouts - nBefore, nWrap == MIREL_WRAP_NONE ? 0 : r.nLayouts);
      ExpectRowsFresh();
      EXPECT_EQ(doc.GetCurrentParagraphIndex(), 9);
    }
  }
}

TEST_F(TextViewLayoutChange, AFontChangeReWrapsAndTheCaretRowFollows) {
  OpenLong(MIREL_WRAP_CHAR);
  Caret(doc.pLines[doc.GetLineFromParagraph(5)].nStart + 20);
  const int nRows = doc.nLineCount;
  LOGFONTA lf{};
  lf.lfHeight = -36;
  doc.SetFont(&lf);
  EXPECT_GT(doc.nLineCount, nRows);
  ExpectRowsFresh();
  EXPECT_EQ(doc.GetCurrentParagraphIndex(), 5);
}

TEST_F(TextViewLayoutChange, TheGoalXMovesWithTheMargin) {
  OpenLong(MIREL_WRAP_NONE);
  Caret(12);
  pEdit->pView->UpdateCaret(1, 1);
  const int nGoal = pEdit->nGoalCaretX;
  const int nMargin = doc.nLeftMargin;
  doc.SetLineNoFlag(FALSE);  // the flag alone leaves the goal to the margin step
  ASSERT_NE(doc.nLeftMargin, nMargin);
  EXPECT_EQ(pEdit->nGoalCaretX - nGoal, doc.nLeftMargin - nMargin);
  // A vertical move keeps the text column the goal named.
  Key(VK_DOWN);
  EXPECT_EQ(doc.GetCurrentColumnIndex(), 12u);
}

TEST_F(TextViewLayoutChange, CtrlPageDownAndCtrlUpUseTheRowsShownWhole) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "row\r\n";
  Open(MIREL_ENCODING_ANSI, text);
  RECT rc{};
  GetClientRect(hEdit, &rc);
  const int nWhole =
      std::max((static_cast<int>(rc.bottom) - doc.nRulerHeight) / std::max(doc.nLineHeight, 1), 1);
  ASSERT_LT(nWhole + 10, 60);

  Key(VK_NEXT, kCtrl);  // the last row shown whole, no scroll
  EXPECT_EQ(pEdit->nTopLine, 0);
  EXPECT_EQ(doc.cli, nWhole - 1);
  ExpectConsistent();

  // Scrolled down by five rows, the caret on the row above the last whole one.
  for (int i = 0; i < 5; ++i) Key(VK_DOWN, kCtrl);
  ASSERT_EQ(pEdit->nTopLine, 5);
  Caret(doc.pLines[5 + nWhole - 2].nStart);
  Key(VK_UP, kCtrl);  // that row is still shown whole: the caret stays
  EXPECT_EQ(pEdit->nTopLine, 4);
  EXPECT_EQ(doc.cli, 5 + nWhole - 2);
  Key(VK_UP, kCtrl);  // now it is not: onto the last row shown whole
  EXPECT_EQ(pEdit->nTopLine, 3);
  EXPECT_EQ(doc.cli, 3 + nWhole - 1);
  ExpectConsistent();
}

}  // namespace
