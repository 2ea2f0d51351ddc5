// Attach and detach through the exports: the text and selection a host sees.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "control_fixture.h"
#include "mirelctrl/mirelctrl.h"

namespace {

class AttachExports : public mirel_test::ControlTest {
 protected:
  AttachExports() : ControlTest(31) {}
};

TEST_F(AttachExports, WrapCommentAndUncommentParagraphs) {
  Mirel_AttachA(m_hCtrl, "<", 1, ">", 1, TRUE);  // no text yet: nothing
  ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
  const char* kText = "one\r\ntwo\r\nthree";
  ASSERT_EQ(Mirel_InsertA(m_hCtrl, kText, static_cast<int>(std::strlen(kText)), TRUE), 1);
  Mirel_SetSel(m_hCtrl, 5, 8, FALSE);
  Mirel_AttachA(m_hCtrl, "<b>", 3, "</b>", 4, TRUE);
  EXPECT_EQ(Text(), "one\r\n<b>two</b>\r\nthree");
  int nFrom = 0, nTo = 0;
  Mirel_GetBlock(m_hCtrl, &nFrom, &nTo);
  EXPECT_EQ(nFrom, 8);
  EXPECT_EQ(nTo, 11);

  Mirel_SetSel(m_hCtrl, 0, 20, FALSE);
  Mirel_AttachOnParagraphA(m_hCtrl, "# ", 2, nullptr, 0, TRUE);
  EXPECT_EQ(Text(), "# one\r\n# <b>two</b>\r\n# three");
  Mirel_DetachOnParagraphA(m_hCtrl, "# ", 2, "</b>", 4, TRUE);
  EXPECT_EQ(Text(), "one\r\n<b>two\r\nthree");
  ASSERT_TRUE(Mirel_CanUndo(m_hCtrl));
  SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
  EXPECT_EQ(Text(), "# one\r\n# <b>two</b>\r\n# three");
}

}  // namespace
