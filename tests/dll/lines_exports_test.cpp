// Line commands and bookmarks through the exported functions: one undo step
// each, the caret where the host expects it, and the bookmark lists written
// into the host's arrays without passing the count.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "control_fixture.h"
#include "mirelctrl/mirelctrl.h"

namespace {

class LinesExports : public mirel_test::ControlTest {
 protected:
  LinesExports() : ControlTest(13) {}
  void Fill(const char* text) {
    ControlTest::Fill(text);
    Mirel_SeparateUndo(m_hCtrl);
  }
  int Pos() { return Mirel_GetCurrentPos(m_hCtrl); }
  void Undo() { SendMessageA(m_hCtrl, WM_UNDO, 0, 0); }
  void Redo() { SendMessageA(m_hCtrl, WM_USER + 100, 0, 0); }
};

TEST_F(LinesExports, EachCommandIsOneUndoStep) {
  Fill("one\r\ntwo\r\nthree");
  Mirel_SetSel(m_hCtrl, 6, 6, FALSE);
  Mirel_DuplicateLine(m_hCtrl);
  EXPECT_EQ(Text(), "one\r\ntwo\r\ntwo\r\nthree");
  EXPECT_EQ(Pos(), 10);
  Mirel_TransposeLine(m_hCtrl);
  EXPECT_EQ(Text(), "one\r\ntwo\r\nthree\r\ntwo");
  EXPECT_EQ(Pos(), 17);
  Mirel_DeleteLine(m_hCtrl);
  EXPECT_EQ(Text(), "one\r\ntwo\r\nthree\r\n");
  Undo();
  EXPECT_EQ(Text(), "one\r\ntwo\r\nthree\r\ntwo");
  Undo();
  EXPECT_EQ(Text(), "one\r\ntwo\r\ntwo\r\nthree");
  Undo();
  EXPECT_EQ(Text(), "one\r\ntwo\r\nthree");
  Redo();
  EXPECT_EQ(Text(), "one\r\ntwo\r\ntwo\r\nthree");

  Fill("ab \t\r\nCd\tx");
  Mirel_SetSel(m_hCtrl, 0, 11, FALSE);
  Mirel_TrimTrailingWhiteSpace(m_hCtrl);
  EXPECT_EQ(Text(), "ab\r\nCd\tx");
  Mirel_ChangeCase(m_hCtrl, 2);
  EXPECT_EQ(Text(), "AB\r\ncD\tX");
  Mirel_SetTabSize(m_hCtrl, 3);
  Mirel_ConvertTabToSpace(m_hCtrl);
  EXPECT_EQ(Text(), "AB\r\ncD   X");
  Mirel_JoinLines(m_hCtrl);
  EXPECT_EQ(Text(), "AB cD   X");
  int nStart = -1, nEnd = -1;
  Mirel_GetBlock(m_hCtrl, &nStart, &nEnd);
  EXPECT_EQ(nStart, 0);
  EXPECT_EQ(nEnd, 9);
  Undo();
  EXPECT_EQ(Text(), "AB\r\ncD   X");
  EXPECT_TRUE(Mirel_CanRedo(m_hCtrl));
}

TEST_F(LinesExports, BadArgumentsChangeNothing) {
  Fill("ab");
  Mirel_InsertDate(m_hCtrl, nullptr);
  Mirel_InsertDate(m_hCtrl, "%Q");  // a conversion that not every runtime knows
  Mirel_ChangeCase(m_hCtrl, -1);
  Mirel_InsertPageBreak(m_hCtrl);  // no page-break character set
  EXPECT_EQ(Text(), "ab");
  Undo();  // only the filling was recorded
  EXPECT_EQ(Text(), "");
  Redo();
  Mirel_InsertDate(m_hCtrl, "[%Y]");
  EXPECT_EQ(Text().size(), 8u);
  EXPECT_EQ(Text().substr(0, 3), "ab[");
}

TEST_F(LinesExports, DeleteLineCommandOfTheWindow) {
  Fill("x\r\ny");
  Mirel_SetSel(m_hCtrl, 0, 0, FALSE);
  SendMessageA(m_hCtrl, WM_COMMAND, 40007, 0);
  EXPECT_EQ(Text(), "y");
}

TEST_F(LinesExports, BookmarkListsRespectTheHostsArray) {
  Fill("a\r\nb\r\nc\r\nd\r\ne");
  int paras[6] = {-7, -7, -7, -7, -7, -7};
  EXPECT_EQ(Mirel_GetBookmark(m_hCtrl, paras), 0);
  EXPECT_EQ(paras[0], -7);
  Mirel_Bookmark(m_hCtrl, 0, 3, nullptr);
  Mirel_Bookmark(m_hCtrl, 0, 1, nullptr);
  Mirel_SetSel(m_hCtrl, 12, 12, FALSE);  // paragraph 4
  Mirel_Bookmark(m_hCtrl, 1, 0, nullptr);
  ASSERT_EQ(Mirel_GetBookmarkCount(m_hCtrl), 3);
  EXPECT_TRUE(Mirel_IsExistBookmark(m_hCtrl));
  EXPECT_EQ(Mirel_GetBookmark(m_hCtrl, paras), 3);
  EXPECT_EQ(paras[0], 1);
  EXPECT_EQ(paras[1], 3);
  EXPECT_EQ(paras[2], 4);
  EXPECT_EQ(paras[3], -7);
  EXPECT_EQ(Mirel_GetBookmark(m_hCtrl, nullptr), 0);

  Mirel_Bookmark(m_hCtrl, 0, 4, "7");
  Mirel_Bookmark(m_hCtrl, 0, 2, "2");
  Mirel_Bookmark(m_hCtrl, 0, 0, "12");  // not a bookmark name
  ASSERT_EQ(Mirel_GetNamedBookmarkCount(m_hCtrl), 2);
  EXPECT_TRUE(Mirel_IsExistNamedBookmark(m_hCtrl, "7"));
  paras[2] = -7;
  EXPECT_EQ(Mirel_GetNamedBookmark(m_hCtrl, paras), 2);
  EXPECT_EQ(paras[0], 2);  // slot 2 first, then slot 7
  EXPECT_EQ(paras[1], 4);
  EXPECT_EQ(paras[2], -7);
  EXPECT_EQ(Mirel_GetNamedBookmark(m_hCtrl, nullptr), 0);

  Mirel_GotoNamedBookmark(m_hCtrl, "2");
  EXPECT_EQ(Mirel_GetCurrentParagraphIndex(m_hCtrl), 2);
  Mirel_MoveBookmark(m_hCtrl, TRUE);
  EXPECT_EQ(Mirel_GetCurrentParagraphIndex(m_hCtrl), 3);
  Mirel_MoveBookmark(m_hCtrl, FALSE);
  Mirel_MoveBookmark(m_hCtrl, FALSE);
  EXPECT_EQ(Mirel_GetCurrentParagraphIndex(m_hCtrl), 4);  // wrapped to the last
  Mirel_ClearBookmark(m_hCtrl);
  EXPECT_EQ(Mirel_GetBookmarkCount(m_hCtrl), 0);
  EXPECT_EQ(Mirel_GetNamedBookmarkCount(m_hCtrl), 2);
}

}  // namespace
