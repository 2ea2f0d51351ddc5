// Edits a host makes without recording them: the history cannot replay its
// older records over the changed text, so it is forgotten, undo and redo both.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "control_fixture.h"
#include "mirelctrl/mirelctrl.h"

namespace {

constexpr UINT kRedo = WM_USER + 100;

struct UnrecordedEdit {
  const char* name;
  std::function<void(HWND)> edit;  // runs with "abcdXYef", nothing selected, caret at 0
  const char* after;
};

class UnrecordedEditExports : public mirel_test::ControlTest {
 protected:
  UnrecordedEditExports() : ControlTest(41) {}
};

TEST_F(UnrecordedEditExports, ForgetUndoAndRedo) {
  const UnrecordedEdit kEdits[] = {
      {"InsertA", [](HWND h) { Mirel_InsertA(h, "[[", 2, FALSE); }, "[[abcdXYef"},
      {"InsertW",
       [](HWND h) {
         const WCHAR wide[] = {'[', '['};
         Mirel_InsertW(h, wide, 2, FALSE);
       },
       "[[abcdXYef"},
      {"InsertU", [](HWND h) { Mirel_InsertU(h, "[[", 2, FALSE); }, "[[abcdXYef"},
      {"AttachA", [](HWND h) { Mirel_AttachA(h, "[[", 2, "]]", 2, FALSE); }, "[[]]abcdXYef"},
      {"AttachOnParagraphA", [](HWND h) { Mirel_AttachOnParagraphA(h, "# ", 2, nullptr, 0, FALSE); },
       "# abcdXYef"},
      {"DetachOnParagraphA", [](HWND h) { Mirel_DetachOnParagraphA(h, "ab", 2, "ef", 2, FALSE); }, "cdXY"},
      {"InsertColumnsNumber",
       [](HWND h) {
         Mirel_SetColumnMode(h, TRUE);
         Mirel_InsertColumnsNumber(h, 7, 1, FALSE, FALSE, FALSE, FALSE);
       },
       "7abcdXYef"},
      {"InsertColumnsNumber2",
       [](HWND h) {
         Mirel_SetColumnMode(h, TRUE);
         Mirel_InsertColumnsNumber2(h, "<%d>", 7, 1, FALSE);
       },
       "<7>abcdXYef"},
  };
  for (const UnrecordedEdit& e : kEdits) {
    for (BOOL bRedoTail : {FALSE, TRUE}) {
      SCOPED_TRACE(std::string(e.name) + (bRedoTail ? " after an undo" : ""));
      Fill("abcdef");
      Mirel_SetSel(m_hCtrl, 4, 4, FALSE);
      ASSERT_EQ(Mirel_InsertA(m_hCtrl, "XY", 2, TRUE), 1);
      if (bRedoTail) {
        Mirel_SeparateUndo(m_hCtrl);
        ASSERT_EQ(Mirel_InsertA(m_hCtrl, "Z", 1, TRUE), 1);
        SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
        ASSERT_TRUE(Mirel_CanRedo(m_hCtrl));
      }
      ASSERT_EQ(Text(), "abcdXYef");
      Mirel_SetModified(m_hCtrl, FALSE);  // saved here
      Mirel_SetSel(m_hCtrl, 0, 0, FALSE);
      e.edit(m_hCtrl);
      Mirel_SetColumnMode(m_hCtrl, FALSE);
      ASSERT_EQ(Text(), e.after);
      EXPECT_FALSE(Mirel_CanUndo(m_hCtrl));
      EXPECT_FALSE(Mirel_CanRedo(m_hCtrl));
      SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
      EXPECT_EQ(Text(), e.after);
      SendMessageA(m_hCtrl, kRedo, 0, 0);
      EXPECT_EQ(Text(), e.after);
      // The document is still changed, and what follows is recorded again.
      EXPECT_TRUE(Mirel_IsModified(m_hCtrl));
      ASSERT_EQ(Mirel_InsertA(m_hCtrl, "!", 1, TRUE), 1);
      SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
      EXPECT_EQ(Text(), e.after);
      EXPECT_TRUE(Mirel_IsModified(m_hCtrl)) << "the saved text lies before the unrecorded edit";
    }
  }
}

}  // namespace
