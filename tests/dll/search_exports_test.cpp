// Find, replace, matching braces and the highlighter switches through the
// exports, as a host calls them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "control_fixture.h"
#include "mirelctrl/mirelctrl.h"

namespace {

class SearchExports : public mirel_test::ControlTest {
 protected:
  SearchExports() : ControlTest(13) {}
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ControlTest::SetUp());
    Fill("one two\r\nOne (x) one");
  }
};

TEST_F(SearchExports, FindStepsThroughMatchesAndWraps) {
  int nPos = 0;
  EXPECT_EQ(Mirel_FindTextA(m_hCtrl, "one", MIREL_FIND_MATCHCASE, FALSE, &nPos, TRUE), 1);
  EXPECT_EQ(nPos, 3);
  EXPECT_EQ(Mirel_FindTextA(m_hCtrl, "one", MIREL_FIND_MATCHCASE, TRUE, &nPos, TRUE), 1);
  EXPECT_EQ(nPos, 20);
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 20);
  EXPECT_EQ(Mirel_FindTextA(m_hCtrl, "one", MIREL_FIND_MATCHCASE, TRUE, &nPos, TRUE), 0);
  EXPECT_EQ(nPos, 20);
  EXPECT_EQ(Mirel_FindTextA(m_hCtrl, "one", MIREL_FIND_MATCHCASE | MIREL_FIND_WRAP, TRUE, &nPos, TRUE), 1);
  EXPECT_EQ(nPos, 3);
  int s = -1, e = -1;
  Mirel_GetBlock(m_hCtrl, &s, &e);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(e, 3);
  EXPECT_EQ(
      Mirel_FindTextA(m_hCtrl, "^One", MIREL_FIND_REGEXP | MIREL_FIND_MATCHCASE, FALSE, &(nPos = 0), FALSE),
      1);
  EXPECT_EQ(nPos, 12);
  EXPECT_EQ(Mirel_FindTextA(m_hCtrl, nullptr, 0, FALSE, &nPos, TRUE), 0);
  EXPECT_EQ(Mirel_FindTextA(m_hCtrl, "one", 0, FALSE, nullptr, TRUE), 0);
}

TEST_F(SearchExports, ReplaceFindsThenReplaces) {
  int nPos = 0;
  EXPECT_EQ(Mirel_ReplaceTextA(m_hCtrl, "two", "2", 0, FALSE, &nPos, TRUE), 1);
  EXPECT_EQ(Mirel_ReplaceTextA(m_hCtrl, "two", "2", 0, TRUE, &nPos, TRUE), 2);
  EXPECT_EQ(Text(), "one 2\r\nOne (x) one");
  EXPECT_EQ(nPos, 5);
  EXPECT_TRUE(Mirel_CanUndo(m_hCtrl));
}

TEST_F(SearchExports, MatchBraceAndHighlighterSwitches) {
  Mirel_SetSel(m_hCtrl, 9, 9, TRUE);
  EXPECT_EQ(Mirel_MatchBrace(m_hCtrl, 12345), 1);
  int s = -1, e = -1;
  Mirel_GetBlock(m_hCtrl, &s, &e);
  EXPECT_EQ(s, 13);
  EXPECT_EQ(e, 16);
  Mirel_SetSel(m_hCtrl, 17, 17, TRUE);
  EXPECT_EQ(Mirel_MatchBrace(m_hCtrl, 0), 0);

  EXPECT_FALSE(Mirel_IsShowFindResult(m_hCtrl));
  Mirel_SetShowFindResult(m_hCtrl, TRUE);
  EXPECT_TRUE(Mirel_IsShowFindResult(m_hCtrl));
  Mirel_SetFindResult(m_hCtrl, "one", 3, 0);
  Mirel_SetFindResult(m_hCtrl, "one", -5, 0);
  Mirel_SetShowFindResult(m_hCtrl, FALSE);
  EXPECT_FALSE(Mirel_IsShowFindResult(m_hCtrl));
  Mirel_SetShowHyperLink(m_hCtrl, TRUE);
  EXPECT_TRUE(Mirel_IsShowHyperLink(m_hCtrl));
  Mirel_SetShowHyperLink(m_hCtrl, FALSE);
  EXPECT_FALSE(Mirel_IsShowHyperLink(m_hCtrl));
}

}  // namespace
