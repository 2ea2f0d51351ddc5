// Undo and redo in the text view: typing runs, backspace and delete runs,
// host groups, replaces and block moves, the caret and block they leave, the
// records that no longer fit the text, and the hex view.
#include <windows.h>

#include <gtest/gtest.h>

#include "textio_test_util.h"

namespace mirel_textio_test {
namespace {

// Typing one character at the caret, as a key press does.
void Type(CMirelDoc& doc, const char* psz) {
  for (const char* p = psz; *p; ++p) ASSERT_EQ(doc.InsertA(p, 1, TRUE), 1);
}

// A backspace: the character before the caret goes, recorded.
void Backspace(CMirelDoc& doc) {
  ASSERT_GT(doc.nCaretPos, 0);
  const DWORD nPos = static_cast<DWORD>(doc.nCaretPos - 1);
  ASSERT_TRUE(doc.DeleteContents(nPos, 1, TRUE));
  doc.SetSel(nPos, nPos, FALSE);
}

void ExpectCaretCollapsedAt(CMirelDoc& doc, int nPos) {
  EXPECT_EQ(doc.nCaretPos, nPos);
  EXPECT_EQ(doc.block.nAnchor, static_cast<DWORD>(nPos));
  EXPECT_EQ(doc.block.nCaret, static_cast<DWORD>(nPos));
  EXPECT_FALSE(doc.block.HasSelection());
  EXPECT_EQ(doc.cli, doc.GetLineFromPos(static_cast<DWORD>(nPos)));
  EXPECT_EQ(doc.nVirtualSpace, 0);
}

// One undo or redo step that succeeds, then the text it leaves and, unless
// nCaret is -1, the collapsed caret.
void ExpectStep(IoDoc& d, bool bUndo, const std::string& text, int nCaret = -1) {
  SCOPED_TRACE(bUndo ? "undo" : "redo");
  ASSERT_TRUE(bUndo ? d.doc.Undo(nullptr) : d.doc.Redo(nullptr));
  EXPECT_EQ(d.Text(), text);
  if (nCaret >= 0) ExpectCaretCollapsedAt(d.doc, nCaret);
}
constexpr bool kUndo = true;
constexpr bool kRedo = false;

class UndoText : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(d.Fill("")); }
  IoDoc d{MIREL_ENCODING_ANSI};
};

TEST_F(UndoText, ANewDocumentHasNothingToUndoOrRedo) {
  EXPECT_FALSE(d.doc.CanUndo());
  EXPECT_FALSE(d.doc.CanRedo());
  EXPECT_FALSE(d.doc.Undo(nullptr));
  EXPECT_FALSE(d.doc.Redo(nullptr));
}

TEST_F(UndoText, TypingIsUndoneAWordAtATime) {
  Type(d.doc, "ab cd");
  ASSERT_EQ(d.Text(), "ab cd");
  EXPECT_TRUE(d.doc.CanUndo());
  EXPECT_FALSE(d.doc.CanRedo());

  ExpectStep(d, kUndo, "ab ", 3);
  EXPECT_TRUE(d.doc.CanRedo());
  ExpectStep(d, kUndo, "", 0);
  EXPECT_FALSE(d.doc.CanUndo());
  EXPECT_FALSE(d.doc.Undo(nullptr));

  ExpectStep(d, kRedo, "ab ", 3);
  ExpectStep(d, kRedo, "ab cd", 5);
  EXPECT_FALSE(d.doc.CanRedo());
  EXPECT_FALSE(d.doc.Redo(nullptr));
  EXPECT_EQ(d.Text(), "ab cd");
}

TEST_F(UndoText, ABackspaceRunIsOneStepRestoredWithTheCaretAfterIt) {
  ASSERT_TRUE(d.Fill("wxyz"));
  d.doc.SetSel(4, 4, FALSE);
  for (int i = 0; i < 3; ++i) Backspace(d.doc);
  ASSERT_EQ(d.Text(), "w");
  ExpectStep(d, kUndo, "wxyz", 4);
  EXPECT_FALSE(d.doc.CanUndo());
  ExpectStep(d, kRedo, "w", 1);
}

TEST_F(UndoText, AHostGroupOfInsertsIsOneStep) {
  ASSERT_TRUE(d.Fill("0123456789"));
  d.doc.StartUndoGroup();
  for (DWORD nPos : {8u, 5u, 1u}) {
    d.doc.SetSel(nPos, nPos, FALSE);
    ASSERT_EQ(d.doc.InsertA("ab", 2, TRUE), 1);
  }
  d.doc.EndUndoGroup();
  ASSERT_EQ(d.Text(), "0ab1234ab567ab89");
  ExpectStep(d, kUndo, "0123456789", 8);  // where the first insert of the group was
  EXPECT_FALSE(d.doc.CanUndo());
  ExpectStep(d, kRedo, "0ab1234ab567ab89", 3);  // after the last insert of the group
  EXPECT_FALSE(d.doc.CanRedo());
}

TEST(UndoTextEdit, AReplaceOrABlockMoveIsOneStepBothWays) {
  struct Case {
    const char* name;
    const char* text;
    void (*edit)(CMirelDoc& doc);
    const char* after;
    int nCaretAfterUndo;
    int nCaretAfterRedo;
  } const cases[] = {
      {"a replace", "one two three",
       [](CMirelDoc& doc) {
         doc.SetSel(4, 7, FALSE);
         ASSERT_EQ(doc.InsertA("2", 1, TRUE), 1);
       },
       "one 2 three", 7, 5},
      // Undone, the caret stands at the end of the block at its source.
      {"a block moved forward", "ABCdefgh",
       [](CMirelDoc& doc) { ASSERT_EQ(doc.MoveBytes(FALSE, 0, 6, 3, TRUE), 3u); }, "defABCgh", 3, 6},
      {"a block moved backward", "abcdeXYZ",
       [](CMirelDoc& doc) { ASSERT_EQ(doc.MoveBytes(FALSE, 5, 1, 3, TRUE), 1u); }, "aXYZbcde", 8, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IoDoc d{MIREL_ENCODING_ANSI};
    ASSERT_TRUE(d.Fill(c.text));
    c.edit(d.doc);
    ASSERT_EQ(d.Text(), c.after);
    ExpectStep(d, kUndo, c.text, c.nCaretAfterUndo);
    ExpectStep(d, kRedo, c.after, c.nCaretAfterRedo);
  }
}

// ---------------------------------------------------------------------------
// Records that no longer fit the text

// An unrecorded deletion that keeps the history, which no longer fits the
// text: the replay must step over what lies outside it. (Through the
// gateways an unrecorded edit forgets the history instead.)
void StaleDelete(CMirelDoc& doc, DWORD nPos, DWORD nLen) {
  CMrKeepUndoHistory keep(doc);
  ASSERT_TRUE(doc.DeleteContents(nPos, nLen, FALSE));
}

TEST_F(UndoText, AnInsertionCutAwayWithoutUndoIsSteppedOver) {
  Type(d.doc, "hello");
  StaleDelete(d.doc, 0, 4);
  ASSERT_EQ(d.Text(), "o");
  d.doc.SetSel(1, 1, FALSE);
  ExpectStep(d, kUndo, "o", 1);
  EXPECT_FALSE(d.doc.CanUndo());
  EXPECT_TRUE(d.doc.CanRedo());
}

TEST_F(UndoText, ARemovalPastTheTextIsSteppedOverAndTheCaretStaysInside) {
  ASSERT_TRUE(d.Fill("0123456789"));
  d.doc.SetSel(9, 9, FALSE);
  ASSERT_EQ(d.doc.Delete(0), 1);  // removal recorded at 9
  StaleDelete(d.doc, 2, 7);
  ASSERT_EQ(d.Text(), "01");
  d.doc.nCaretPos = 40;  // a stale caret beyond the text
  ExpectStep(d, kUndo, "01", 2);
  ExpectStep(d, kRedo, "01");
}

TEST_F(UndoText, AMoveThatNoLongerFitsIsSteppedOver) {
  ASSERT_TRUE(d.Fill("ABCdefgh"));
  ASSERT_EQ(d.doc.MoveBytes(FALSE, 0, 6, 3, TRUE), 3u);
  StaleDelete(d.doc, 2, 6);
  ASSERT_EQ(d.Text(), "de");
  ExpectStep(d, kUndo, "de");
  ExpectStep(d, kRedo, "de");
}

// ---------------------------------------------------------------------------
// Modified flag

TEST_F(UndoText, UndoingBackToTheSavePointClearsTheModifiedFlag) {
  Type(d.doc, "abc ");
  d.doc.SetModified(FALSE);  // saved
  Type(d.doc, "de");
  EXPECT_TRUE(d.doc.IsModified());
  ExpectStep(d, kUndo, "abc ");
  EXPECT_FALSE(d.doc.IsModified());
  ExpectStep(d, kUndo, "");
  EXPECT_TRUE(d.doc.IsModified());
  ASSERT_TRUE(d.doc.Redo(nullptr));
  EXPECT_FALSE(d.doc.IsModified());
  ASSERT_TRUE(d.doc.Redo(nullptr));
  EXPECT_TRUE(d.doc.IsModified());
}

// ---------------------------------------------------------------------------
// UTF-16 text

TEST(UndoUtf16, ReplayKeepsWholeUnitsAndLineEnds) {
  IoDoc d(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(d.Fill(""));
  const std::basic_string<WCHAR> w = HostWide(u"\uD55C\r\n\U0001F600");
  ASSERT_EQ(d.doc.InsertW(w.data(), static_cast<int>(w.size()), TRUE), 1);
  d.doc.SetSel(2, 2, FALSE);
  ASSERT_EQ(d.doc.Delete(0), 1);  // the CR LF pair
  ASSERT_EQ(d.Text(), LeBytes(u"\uD55C\U0001F600"));
  ExpectStep(d, kUndo, LeBytes(u"\uD55C\r\n\U0001F600"), 6);
  EXPECT_EQ(d.doc.cli, 1);
  ExpectStep(d, kUndo, "");
}

// ---------------------------------------------------------------------------
// Hex view

TEST(UndoHex, UndoingATypedByteRemovesItAndAbandonsAHalfTypedDigit) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill(std::string(20, '.')));
  d.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  d.doc.undo.Reset();
  const BYTE b = 0xA0;
  ASSERT_TRUE(d.doc.InsertContents(17, &b, 1, TRUE));
  d.doc.bHexComposition = TRUE;
  ExpectStep(d, kUndo, std::string(20, '.'));
  EXPECT_FALSE(d.doc.bHexComposition);
  EXPECT_EQ(d.doc.nCaretPos, 17);
  EXPECT_EQ(d.doc.cli, 1);
  EXPECT_EQ(d.doc.block.nAnchor, 17u);
  EXPECT_EQ(d.doc.block.nCaret, 17u);
  ExpectStep(d, kRedo, std::string(17, '.') + "\xA0...");
  EXPECT_EQ(d.doc.nCaretPos, 18);
}

TEST(UndoHex, RemovedMarkBytesComeBackInTheHexView) {
  IoDoc d(MIREL_ENCODING_UTF8_BOM);
  ASSERT_TRUE(d.Fill("abc"));
  d.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  d.doc.undo.Reset();
  d.doc.block.SetBoth(0, 0);
  d.doc.block.SetCaretRaw(4, 0);
  ASSERT_EQ(d.doc.DeleteBlockHex(), 1);
  ASSERT_EQ(d.File(), "bc");
  ASSERT_TRUE(d.doc.Undo(nullptr));
  EXPECT_EQ(d.File(),
            "\xEF\xBB\xBF"
            "abc");
  EXPECT_EQ(d.doc.nCaretPos, 4);
}

TEST(UndoHex, TextViewRecordsAreSteppedOverInTheHexView) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill(""));
  ASSERT_EQ(d.doc.InsertA("abc", 3, TRUE), 1);
  d.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  ExpectStep(d, kUndo, "abc");
  EXPECT_FALSE(d.doc.CanUndo());
}

}  // namespace
}  // namespace mirel_textio_test
