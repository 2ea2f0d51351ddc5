// The word and goto exports: host positions and outputs checked at the
// boundary, results in the host's int positions.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "control_fixture.h"
#include "mirelctrl/mirelctrl.h"

namespace {

class GotoExports : public mirel_test::ControlTest {
 protected:
  GotoExports() : ControlTest(12) {}
  void SetUp() override {
    ControlTest::SetUp();
    Fill("alpha beta\r\ngamma");
  }
};

TEST_F(GotoExports, WordQueriesAnswerAndRefuseBadArguments) {
  int s = -1, e = -1;
  Mirel_GetCurrentWord(m_hCtrl, 7, &s, &e);
  EXPECT_EQ(s, 6);
  EXPECT_EQ(e, 10);
  Mirel_GetCurrentWordInLine(m_hCtrl, 9, &s, &e);  // on the last letter of "beta"
  EXPECT_EQ(s, 9);
  EXPECT_EQ(e, 10);
  Mirel_GetCurrentWordInLine(m_hCtrl, 10, &s, &e);  // on the line end after "beta": empty there
  EXPECT_EQ(s, 10);
  EXPECT_EQ(e, 10);
  Mirel_GetCurrentWordInLine(m_hCtrl, 5, &s, &e);  // on the space after "alpha": the word before
  EXPECT_EQ(s, 0);
  EXPECT_EQ(e, 5);
  Mirel_GetCurrentWord(m_hCtrl, INT_MAX, &s, &e);  // past the text: its end
  EXPECT_EQ(s, 17);
  EXPECT_EQ(e, 17);

  s = e = 99;
  Mirel_GetCurrentWord(m_hCtrl, -1, &s, &e);
  Mirel_GetCurrentWordInLine(m_hCtrl, -5, &s, &e);
  EXPECT_EQ(s, 99);
  EXPECT_EQ(e, 99);
  Mirel_GetCurrentWord(m_hCtrl, 0, nullptr, &e);
  Mirel_GetCurrentWordInLine(m_hCtrl, 0, &s, nullptr);
  EXPECT_EQ(s, 99);
  EXPECT_EQ(e, 99);
}

TEST_F(GotoExports, GotoClampsParagraphAndColumn) {
  Mirel_SetSel(m_hCtrl, 0, 5, FALSE);
  Mirel_Goto(m_hCtrl, 1, 2);
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 14);
  EXPECT_EQ(Mirel_GetCurrentParagraphIndex(m_hCtrl), 1);
  EXPECT_EQ(Mirel_IsSelected(m_hCtrl), 0);
  Mirel_Goto(m_hCtrl, 0, 500);
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 10);
  Mirel_Goto(m_hCtrl, -3, -3);
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 0);
  Mirel_Goto(m_hCtrl, INT_MAX, INT_MAX);
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 17);
}

}  // namespace
