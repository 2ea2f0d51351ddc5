// Column blocks through the exported functions: a block set by the host,
// its width, the same text and row numbers written on every row (padding a
// short row up to the block's edge), one undo step each, and nothing done
// while word wrap is on.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "control_fixture.h"
#include "mirelctrl/mirelctrl.h"

namespace {

class ColumnExports : public mirel_test::ControlTest {
 protected:
  ColumnExports() : ControlTest(14) {}
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ControlTest::SetUp());
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    ASSERT_EQ(Mirel_InsertA(m_hCtrl, kText, static_cast<int>(std::strlen(kText)), FALSE), 1);
    ASSERT_FALSE(Mirel_CanUndo(m_hCtrl));  // the text is the starting point
    // Padding is counted in letter widths: a fixed-pitch font makes the
    // blank as wide as a letter (a system font need not).
    LOGFONTA lf{};
    lf.lfHeight = -13;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    Mirel_SetFont(m_hCtrl, &lf);
  }
  int ColumnCount() {
    int n = -1;
    Mirel_GetBlockColumnCount(m_hCtrl, &n);
    return n;
  }
  void Undo() { SendMessageA(m_hCtrl, WM_UNDO, 0, 0); }

  // Rows start at 0, 8 and 11; the middle row ends before the block.
  static constexpr const char* kText = "abcdef\r\na\r\nabcdef";
};

TEST_F(ColumnExports, TextAndNumbersOnEveryRowOfTheBlock) {
  Mirel_SetColumnMode(m_hCtrl, TRUE);
  Mirel_SetSel(m_hCtrl, 2, 15, FALSE);  // characters 2 to 4 of each row
  EXPECT_EQ(ColumnCount(), 2);
  EXPECT_EQ(Mirel_InsertColumnsTextA(m_hCtrl, "XY", 2, TRUE), 0);
  EXPECT_EQ(Text(), "abXYcdef\r\na XY\r\nabXYcdef");
  // What follows goes in at the left edge of the inserted text.
  EXPECT_EQ(ColumnCount(), 0);
  EXPECT_EQ(Mirel_InsertColumnsNumber(m_hCtrl, 9, 1, FALSE, TRUE, TRUE, TRUE), 0);
  EXPECT_EQ(Text(), "ab09XYcdef\r\na 10XY\r\nab11XYcdef");
  Undo();
  EXPECT_EQ(Text(), "abXYcdef\r\na XY\r\nabXYcdef");
  Undo();
  EXPECT_EQ(Text(), kText);
  EXPECT_FALSE(Mirel_CanUndo(m_hCtrl));
}

TEST_F(ColumnExports, WordWrapTurnsColumnModeOffAndTheCommandsDoNothing) {
  Mirel_SetColumnMode(m_hCtrl, TRUE);
  Mirel_SetSel(m_hCtrl, 2, 15, FALSE);
  ASSERT_EQ(ColumnCount(), 2);
  Mirel_SetWordWrap(m_hCtrl, MIREL_WRAP_CHAR);
  EXPECT_EQ(ColumnCount(), 0);
  EXPECT_EQ(Mirel_InsertColumnsTextA(m_hCtrl, "XY", 2, TRUE), 2);
  EXPECT_EQ(Mirel_InsertColumnsNumber(m_hCtrl, 1, 1, FALSE, TRUE, TRUE, TRUE), 2);
  EXPECT_EQ(Mirel_InsertColumnsNumber2(m_hCtrl, "%d.", 1, 1, TRUE), 2);
  EXPECT_EQ(Text(), kText);
  EXPECT_FALSE(Mirel_CanUndo(m_hCtrl));
}

}  // namespace
