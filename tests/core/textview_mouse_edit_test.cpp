// Edits made while the mouse button is held (a key, the host): the gesture
// goes on from the text as it now is; its word anchor and an armed drag of the
// selection never point at text that is gone.
#include <windows.h>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "textview_mouse_test_util.h"

using namespace mirel_textview_mouse_test;

namespace {

class TextViewMouseEdit : public MouseFixture, public ::testing::WithParamInterface<MouseCase> {
 protected:
  void SetUp() override { MouseFixture::SetUp(); }
  // Caret, its row and the block lie inside the text, as a fresh layout has them.
  void ExpectInsideText() {
    const DWORD nLen = doc.GetContentsSize();
    EXPECT_LE(SelStart(), SelEnd());
    EXPECT_LE(SelEnd(), nLen);
    EXPECT_LE(static_cast<DWORD>(doc.nCaretPos), nLen);
    ASSERT_GE(doc.cli, 0);
    ASSERT_LT(doc.cli, doc.nLineCount);
    EXPECT_EQ(doc.cli, doc.GetLineFromPos(static_cast<DWORD>(doc.nCaretPos)));
  }
};

TEST_P(TextViewMouseEdit, DeletingTheDoubleClickedWordEndsItsWordAnchor) {
  Open("hello", GetParam().nEncoding, GetParam().nWrapMode);
  doc.SetDblClkWordSelect(TRUE);
  Click(At(0, "he"));
  DblClk(At(0, "he"));  // the button stays down
  ASSERT_EQ(SelEnd(), P(5));
  SendMessageA(hWnd, WM_KEYDOWN, VK_DELETE, 1);
  ASSERT_EQ(doc.GetContentsSize(), 0u);
  Move(At(0, "hel"));
  ExpectInsideText();
  EXPECT_FALSE(doc.block.HasSelection());
  Up(At(0, "hel"));
  DWORD nStart = 99;
  DWORD nEnd = 99;
  doc.GetBlock(&nStart, &nEnd);
  EXPECT_EQ(nStart, 0u);
  EXPECT_EQ(nEnd, 0u);
  ExpectInsideText();
}

TEST_P(TextViewMouseEdit, AWordDragAfterTheHostInsertedTextExtendsFromTheCaret) {
  Open("one two three", GetParam().nEncoding, GetParam().nWrapMode);
  doc.SetDblClkWordSelect(TRUE);
  Click(At(0, "one tw"));
  DblClk(At(0, "one tw"));
  ASSERT_EQ(SelStart(), P(4));
  // The host replaces the whole text while the button is down.
  doc.SelectAll();
  ASSERT_EQ(doc.InsertA("x", 1, TRUE), 1);
  Move(At(0, "x"));
  ExpectInsideText();
  Up(At(0, "x"));
  ExpectInsideText();
}

TEST_P(TextViewMouseEdit, AnArmedDragDropsNothingAfterTheHostChangedTheText) {
  Open("abcdef ghij", GetParam().nEncoding, GetParam().nWrapMode);
  doc.SetSel(P(0), P(6), FALSE);
  Down(At(0, "ab"));  // inside the selection: a drag is armed
  ASSERT_TRUE(doc.IsDragPending());
  // The host deletes most of the text during the drag.
  doc.SetSel(P(2), P(11), FALSE);
  ASSERT_EQ(doc.Delete(0), 1);
  ASSERT_EQ(doc.GetContentsSize(), P(2));
  Move(At(0, "a"));
  Up(At(0, "a"));
  EXPECT_EQ(doc.GetContentsSize(), P(2));
  ExpectInsideText();
  // One undo step puts back the host's deletion, nothing else was recorded.
  ASSERT_TRUE(doc.Undo(nullptr));
  EXPECT_EQ(doc.GetContentsSize(), P(11));
}

INSTANTIATE_TEST_SUITE_P(Encodings, TextViewMouseEdit,
                         ::testing::Values(MouseCase{MIREL_ENCODING_ANSI, MIREL_WRAP_NONE},
                                           MouseCase{MIREL_ENCODING_UTF8, MIREL_WRAP_WORD},
                                           MouseCase{MIREL_ENCODING_UTF16LE, MIREL_WRAP_NONE},
                                           MouseCase{MIREL_ENCODING_UTF16LE, MIREL_WRAP_CHAR}),
                         CaseName);

}  // namespace
