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

// One key or the typed characters at a caret: the text and the caret after.
TEST_F(TextViewKeysEdit, EachEditKeyChangesTheTextAndMovesTheCaret) {
  constexpr UINT kChars = 0;  // vk: type the characters instead
  enum Mode { kInsert, kOverwrite, kAutoIndentLf, kCrLf };
  const struct Case {
    const char* name;
    int nEncoding;
    std::string text;  // empty: the text the case before left
    Mode mode;
    DWORD nCaret;
    UINT vk, nModifiers;
    std::string chars;
    std::string expected;
    DWORD nPos;  // caret after; -1: not checked
  } kCases[] = {
      // Control codes, DEL and a lone high byte are ignored.
      {"typing units", MIREL_ENCODING_UTF16LE, W("xy"), kInsert, 2, kChars, 0,
       std::string("ab\x02\x7F\xB0", 5), W("xaby"), 6},
      // X over the Hangul syllable, Y before the line end.
      {"overwrite", MIREL_ENCODING_ANSI, "a\xB0\xA1\r\ncd", kOverwrite, 1, kChars, 0, "XY", "aXY\r\ncd", 3},
      {"Ctrl+Backspace inside a word", MIREL_ENCODING_ANSI, "one two  three", kInsert, 11, VK_BACK, kCtrl, "",
       "one two  ree", 9},
      {"Ctrl+Backspace at a word start: the blanks and the word", MIREL_ENCODING_ANSI, "", kInsert, 9,
       VK_BACK, kCtrl, "", "one ree", 4},
      {"Ctrl+Delete on blanks before a delimiter", MIREL_ENCODING_UTF16LE, W("ab  . cd  ef"), kInsert, 4,
       VK_DELETE, kCtrl, "", W("ab cd  ef"), DWORD(-1)},
      {"Ctrl+Delete inside a word: its rest and the blanks", MIREL_ENCODING_UTF16LE, "", kInsert, 8,
       VK_DELETE, kCtrl, "", W("ab cef"), DWORD(-1)},
      {"Ctrl+Shift+Delete: nothing", MIREL_ENCODING_UTF16LE, "", kInsert, 4, VK_DELETE, kCtrl | kShift, "",
       W("ab cef"), DWORD(-1)},
      {"Delete a UTF-8 sequence", MIREL_ENCODING_UTF8, "\xEA\xB0\x80x\r\n", kInsert, 0, VK_DELETE, 0, "",
       "x\r\n", DWORD(-1)},
      {"Delete a line end", MIREL_ENCODING_UTF8, "", kInsert, 1, VK_DELETE, 0, "", "x", DWORD(-1)},
      {"Delete at the end: nothing", MIREL_ENCODING_UTF8, "", kInsert, 1, VK_DELETE, 0, "", "x", 1},
      {"Return indents like the paragraph", MIREL_ENCODING_ANSI, "\t  code", kAutoIndentLf, 7, VK_RETURN, 0,
       "", "\t  code\n\t  ", 11},
      {"Return in CR LF", MIREL_ENCODING_UTF16LE, W("ab"), kCrLf, 2, VK_RETURN, 0, "", W("a\r\nb"), 6},
      {"Return in overwrite mode only moves", MIREL_ENCODING_ANSI, "abc\r\ndef", kOverwrite, 2, VK_RETURN, 0,
       "", "abc\r\ndef", 5},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    if (!c.text.empty()) {
      Open(c.nEncoding, c.text);
      doc.SetOverwriteMode(c.mode == kOverwrite);
      doc.nFileFormat = c.mode == kAutoIndentLf ? MIREL_FILE_FORMAT_LF : MIREL_FILE_FORMAT_CRLF;
      doc.bAutoIndentation = c.mode == kAutoIndentLf;
    }
    Caret(c.nCaret);
    if (c.vk == kChars) {
      Type(c.chars);
    } else if (c.nModifiers == 0) {
      Key(c.vk);
    } else {
      Key(c.vk, c.nModifiers);
    }
    EXPECT_EQ(Text(), c.expected);
    if (c.nPos != DWORD(-1)) {
      EXPECT_EQ(Pos(), c.nPos);
    }
    if (!c.text.empty()) {
      EXPECT_EQ(doc.IsModified(), c.expected != c.text);
    }
    ExpectConsistent();
  }
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

// In UTF-16 a character beyond the basic plane is a surrogate pair of units:
// the keys step over it, select, delete and overwrite it whole, and typing
// never lands between its halves.
TEST_F(TextViewKeysEdit, Utf16SurrogatePairIsOneCharacterForTheKeys) {
  const std::string smile("\x3D\xD8\x00\xDE", 4);  // U+1F600
  const std::string text = W("a") + smile + W("b");
  const struct Case {
    const char* name;
    DWORD nCaret;
    bool bOverwrite;
    std::vector<UINT> keys;  // virtual keys; Shift+Right as VK_SELECT
    std::string chars;
    std::string expected;
    DWORD nPos;
  } kCases[] = {
      {"Right twice, then typing", 0, false, {VK_RIGHT, VK_RIGHT}, "x", W("a") + smile + W("xb"), 8},
      {"Left from after the pair", 6, false, {VK_LEFT}, "", text, 2},
      {"Left twice, then typing", 8, false, {VK_LEFT, VK_LEFT}, "x", W("ax") + smile + W("b"), 4},
      {"Backspace after the pair", 6, false, {VK_BACK}, "", W("ab"), 2},
      {"Delete before the pair", 2, false, {VK_DELETE}, "", W("ab"), 2},
      {"Shift+Right selects the pair, typing replaces it", 2, false, {VK_SELECT}, "x", W("axb"), 4},
      {"overwriting the pair", 2, true, {}, "x", W("axb"), 4},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Open(MIREL_ENCODING_UTF16LE, text);
    doc.SetOverwriteMode(c.bOverwrite);
    Caret(c.nCaret);
    for (UINT vk : c.keys) {
      if (vk == VK_SELECT) {
        Key(VK_RIGHT, kShift);
      } else {
        Key(vk);
      }
    }
    Type(c.chars);
    EXPECT_EQ(Text(), c.expected);
    EXPECT_EQ(Pos(), c.nPos);
    ExpectConsistent();
  }
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
