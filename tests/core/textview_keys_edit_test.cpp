// Editing keys of the text view through real control windows: typing with
// overwrite and virtual space, Backspace and Delete with and without Ctrl,
// Return with auto-indentation, Tab, Escape, and a read-only document; in
// ANSI (code page 949), UTF-8 and UTF-16, with and without word wrap.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "textview_keys_fixture.h"

namespace {

using mirel_keys_test::kAlt;
using mirel_keys_test::kCtrl;
using mirel_keys_test::KeysTest;
using mirel_keys_test::kShift;
using mirel_keys_test::W;

using TextViewKeysEdit = KeysTest;

TEST_F(TextViewKeysEdit, TypingInsertsUnitsOfTheEncodingAndIgnoresOtherCodes) {
  Open(MIREL_ENCODING_UTF16LE, W("xy"));
  Caret(2);
  Type("ab");
  Type(std::string("\x02\x7F\xB0", 3));  // control, DEL and a high byte: ignored
  EXPECT_EQ(Text(), W("xaby"));
  EXPECT_EQ(Pos(), 6u);
  ExpectConsistent();
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(TextViewKeysEdit, OverwriteReplacesWholeCharactersButNeverALineEnd) {
  Open(MIREL_ENCODING_ANSI, "a\xB0\xA1\r\ncd");
  doc.SetOverwriteMode(TRUE);
  Caret(1);
  Type("XY");  // X over the Hangul syllable, Y before the line end
  EXPECT_EQ(Text(), "aXY\r\ncd");
  EXPECT_EQ(Pos(), 3u);
  ExpectConsistent();
}

TEST_F(TextViewKeysEdit, TypingInVirtualSpacePadsWithSpacesFirst) {
  Open(MIREL_ENCODING_UTF8, "ab\ncd");
  doc.bVirtualSpace = TRUE;
  Caret(2);
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(doc.nVirtualSpace, 2);
  EXPECT_EQ(Pos(), 2u);
  Type("z");
  EXPECT_EQ(Text(), "ab  z\ncd");
  EXPECT_EQ(Pos(), 5u);
  EXPECT_EQ(doc.nVirtualSpace, 0);
}

TEST_F(TextViewKeysEdit, TypingReplacesTheSelectionAsOneUndoStep) {
  Open(MIREL_ENCODING_ANSI, "hello world");
  Caret(0);
  for (int i = 0; i < 5; ++i) Key(VK_RIGHT, kShift);
  Type("J");
  EXPECT_EQ(Text(), "J world");
  EXPECT_FALSE(doc.block.HasSelection());
  ASSERT_TRUE(doc.Undo(pEdit));
  EXPECT_EQ(Text(), "hello world");
}

TEST_F(TextViewKeysEdit, BackspaceTakesWholeCharactersAndLineEnds) {
  Open(MIREL_ENCODING_ANSI, "a\xB0\xA1\r\nb");
  Caret(6);
  Key(VK_BACK);
  EXPECT_EQ(Text(), "a\xB0\xA1\r\n");
  Key(VK_BACK);  // the CR LF pair
  EXPECT_EQ(Text(), "a\xB0\xA1");
  Key(VK_BACK);  // the double-byte character
  EXPECT_EQ(Text(), "a");
  Key(VK_BACK);
  Key(VK_BACK);  // at 0: nothing
  EXPECT_EQ(Text(), "");
  EXPECT_EQ(Pos(), 0u);
  ExpectConsistent();

  Open(MIREL_ENCODING_UTF16LE, W("x\r\ny"));
  Caret(6);
  Key(VK_BACK);
  EXPECT_EQ(Text(), W("xy"));
  EXPECT_EQ(Pos(), 2u);
}

TEST_F(TextViewKeysEdit, BackspaceAtTheStartOfAWrappedRowDeletesTheCharacterBeforeIt) {
  Open(MIREL_ENCODING_ANSI, "abcdefghijklmnop", MIREL_WRAP_CHAR);
  WrapAt(5);
  ASSERT_GE(doc.nLineCount, 2);
  ASSERT_EQ(doc.pLines[1].nSubLine, 1u);
  const DWORD nBoundary = doc.pLines[1].nStart;
  doc.nCaretPos = static_cast<int>(nBoundary);
  doc.cli = 1;
  doc.block.Reset(nBoundary, 1, FALSE);
  const std::string before = Text();
  Key(VK_BACK);
  std::string expected = before;
  expected.erase(nBoundary - 1, 1);
  EXPECT_EQ(Text(), expected);
  EXPECT_EQ(Pos(), nBoundary - 1);
  ExpectConsistent();
}

TEST_F(TextViewKeysEdit, CtrlBackspaceTakesTheWordOrTheBlanksAndTheWordBefore) {
  Open(MIREL_ENCODING_ANSI, "one two  three");
  Caret(11);  // inside "three"
  Key(VK_BACK, kCtrl);
  EXPECT_EQ(Text(), "one two  ree");
  EXPECT_EQ(Pos(), 9u);
  Key(VK_BACK, kCtrl);  // at a word start: the blanks and "two"
  EXPECT_EQ(Text(), "one ree");
  EXPECT_EQ(Pos(), 4u);
  ExpectConsistent();
}

TEST_F(TextViewKeysEdit, CtrlBackspaceAndCtrlDeleteWithASelectionCollapseTheBlock) {
  Open(MIREL_ENCODING_ANSI, "alpha beta gamma");
  Caret(6);
  Key(VK_RIGHT, kShift);
  Key(VK_RIGHT, kShift);
  Key(VK_BACK, kCtrl);  // the word back from the caret, and the selection
  EXPECT_EQ(Text(), "alpha ta gamma");
  EXPECT_EQ(Pos(), 6u);
  EXPECT_FALSE(doc.block.HasSelection());
  ExpectConsistent();

  Caret(10);
  Key(VK_LEFT, kShift);
  Key(VK_DELETE, kCtrl);  // from the caret on "gamma" to its end
  EXPECT_EQ(Text(), "alpha ta ");
  EXPECT_EQ(Pos(), 9u);
  EXPECT_FALSE(doc.block.HasSelection());
  EXPECT_EQ(doc.block.nAnchor, Pos());
  ExpectConsistent();
}

TEST_F(TextViewKeysEdit, CtrlDeleteTakesBlanksWithAFollowingDelimiterButNotAWord) {
  Open(MIREL_ENCODING_UTF16LE, W("ab  . cd  ef"));
  Caret(4);  // on the blanks before the full stop
  Key(VK_DELETE, kCtrl);
  EXPECT_EQ(Text(), W("ab cd  ef"));
  Caret(8);  // inside "cd": the rest of it and the blanks after
  Key(VK_DELETE, kCtrl);
  EXPECT_EQ(Text(), W("ab cef"));
  Caret(4);
  Key(VK_DELETE, kCtrl | kShift);  // Ctrl with Shift: nothing
  EXPECT_EQ(Text(), W("ab cef"));
}

TEST_F(TextViewKeysEdit, DeleteTakesOneCharacterAndNothingAtTheEnd) {
  Open(MIREL_ENCODING_UTF8, "\xEA\xB0\x80x\r\n");
  Caret(0);
  Key(VK_DELETE);
  EXPECT_EQ(Text(), "x\r\n");
  Caret(1);
  Key(VK_DELETE);
  EXPECT_EQ(Text(), "x");
  Key(VK_DELETE);
  EXPECT_EQ(Text(), "x");
  ExpectConsistent();
}

TEST_F(TextViewKeysEdit, ReturnBreaksInTheFileFormatAndIndentsLikeTheParagraph) {
  Open(MIREL_ENCODING_ANSI, "\t  code");
  doc.nFileFormat = MIREL_FILE_FORMAT_LF;
  doc.bAutoIndentation = TRUE;
  Caret(7);
  Key(VK_RETURN);
  EXPECT_EQ(Text(), "\t  code\n\t  ");
  EXPECT_EQ(Pos(), 11u);
  EXPECT_EQ(doc.cli, 1);
  ExpectConsistent();

  Open(MIREL_ENCODING_UTF16LE, W("ab"));
  doc.nFileFormat = MIREL_FILE_FORMAT_CRLF;
  doc.bAutoIndentation = FALSE;
  Caret(2);
  Key(VK_RETURN);
  EXPECT_EQ(Text(), W("a\r\nb"));
  EXPECT_EQ(Pos(), 6u);
}

TEST_F(TextViewKeysEdit, ReturnInOverwriteModeOnlyMovesToTheNextRow) {
  Open(MIREL_ENCODING_ANSI, "abc\r\ndef");
  doc.SetOverwriteMode(TRUE);
  Caret(2);
  Key(VK_RETURN);
  EXPECT_EQ(Text(), "abc\r\ndef");
  EXPECT_EQ(Pos(), 5u);
  EXPECT_EQ(doc.cli, 1);
}

TEST_F(TextViewKeysEdit, TabInsertsATabOrSpacesToTheNextStop) {
  Open(MIREL_ENCODING_ANSI, "xy");
  Caret(0);
  Type("\t");
  EXPECT_EQ(Text(), "\txy");
  EXPECT_EQ(Pos(), 1u);

  Open(MIREL_ENCODING_UTF16LE, W("xy"));
  doc.bTabToSpace = TRUE;
  Caret(0);
  Type("\t");
  const int nSpaces = std::max(doc.nTabWidth / std::max(doc.GetSpaceWidth(), 1), 1);
  EXPECT_EQ(Text(), W(std::string(nSpaces, ' ') + "xy"));
  EXPECT_EQ(Pos(), static_cast<DWORD>(2 * nSpaces));
  ExpectConsistent();
}

TEST_F(TextViewKeysEdit, TabReplacesASelectionOnOneRowAsOneUndoStep) {
  Open(MIREL_ENCODING_ANSI, "abcd");
  Caret(1);
  Key(VK_RIGHT, kShift);
  Key(VK_RIGHT, kShift);
  Type("\t");
  EXPECT_EQ(Text(), "a\td");
  ASSERT_TRUE(doc.Undo(pEdit));
  EXPECT_EQ(Text(), "abcd");
}

TEST_F(TextViewKeysEdit, TabOnSeveralRowsIndentsTheirParagraphsAndShiftTabUnindents) {
  Open(MIREL_ENCODING_ANSI, "ab\r\ncd\tx\r\nef");
  Key(VK_END);
  Key(VK_DOWN, kShift);
  ASSERT_GT(SelEnd(), 4u);
  Type("\t");
  EXPECT_EQ(Text(), "\tab\r\n\tcd\tx\r\nef");
  EXPECT_EQ(SelStart(), 0u);
  EXPECT_EQ(SelEnd(), 10u);
  ExpectConsistent();
  // Shift+Tab (the view's operation with Shift down) takes one unit away.
  pEdit->pView->OnKeyTab(1, 0, 0, 1);
  EXPECT_EQ(Text(), "ab\r\ncd\tx\r\nef");
  EXPECT_EQ(SelEnd(), 8u);
  ASSERT_TRUE(doc.Undo(pEdit));  // one step per command
  EXPECT_EQ(Text(), "\tab\r\n\tcd\tx\r\nef");
}

TEST_F(TextViewKeysEdit, TabOnASelectionEndingAtARowStartLeavesThatRowAlone) {
  Open(MIREL_ENCODING_UTF16LE, W("ab\r\ncd"));
  doc.bTabToSpace = TRUE;
  doc.SetTabSize(2);
  Key(VK_DOWN, kShift);
  ASSERT_EQ(SelEnd(), 8u);
  Type("\t");
  EXPECT_EQ(Text(), W("  ab\r\ncd"));
  EXPECT_EQ(SelStart(), 0u);
  EXPECT_EQ(SelEnd(), 8u);  // the end of the indented paragraph
}

TEST_F(TextViewKeysEdit, DeleteEmptiesAColumnBlockAndLeavesAZeroWidthColumn) {
  Open(MIREL_ENCODING_ANSI, "abcd\r\nabcd\r\nijkl");
  Key(VK_RIGHT);
  Key(VK_DOWN, kShift | kAlt);
  Key(VK_RIGHT, kShift | kAlt);
  Key(VK_RIGHT, kShift | kAlt);
  ASSERT_TRUE(doc.block.IsColumnBlock());
  Key(VK_DELETE);
  EXPECT_EQ(Text(), "ad\r\nad\r\nijkl");
  EXPECT_TRUE(doc.block.IsColumnBlock());
  Key(VK_BACK);  // on the zero-width column: the character before it
  EXPECT_EQ(Text(), "d\r\nd\r\nijkl");
  ASSERT_TRUE(doc.Undo(pEdit));
  EXPECT_EQ(Text(), "ad\r\nad\r\nijkl");
  ASSERT_TRUE(doc.Undo(pEdit));
  EXPECT_EQ(Text(), "abcd\r\nabcd\r\nijkl");
}

TEST_F(TextViewKeysEdit, EscapeEndsStickySelectionThenTheSelectionThenNotifies) {
  Open(MIREL_ENCODING_ANSI, "abcdef");
  Caret(1);
  doc.bAutoSelect = TRUE;
  Key(VK_RIGHT);  // sticky selection extends without Shift
  Key(VK_RIGHT);
  EXPECT_EQ(SelStart(), 1u);
  EXPECT_EQ(SelEnd(), 3u);
  Key(VK_ESCAPE);
  EXPECT_FALSE(doc.bAutoSelect);
  EXPECT_TRUE(doc.block.HasSelection());
  EXPECT_TRUE(Notifications().empty());
  Key(VK_ESCAPE);
  EXPECT_FALSE(doc.block.HasSelection());
  EXPECT_EQ(Pos(), 3u);
  EXPECT_TRUE(Notifications().empty());
  Key(VK_ESCAPE);
  EXPECT_EQ(Notifications(), std::vector<int>{4});
}

TEST_F(TextViewKeysEdit, ReadOnlyDocumentIgnoresEveryEditButMoves) {
  Open(MIREL_ENCODING_ANSI, "abc\r\ndef");
  doc.SetReadOnly(TRUE);
  Caret(2);
  Type("x\t");
  Key(VK_BACK);
  Key(VK_DELETE);
  Key(VK_RETURN);
  Key(VK_BACK, kCtrl);
  Key(VK_DELETE, kCtrl);
  EXPECT_EQ(Text(), "abc\r\ndef");
  EXPECT_FALSE(doc.IsModified());
  EXPECT_FALSE(doc.undo.CanUndo());
  Key(VK_RIGHT);
  EXPECT_EQ(Pos(), 3u);
}

}  // namespace
