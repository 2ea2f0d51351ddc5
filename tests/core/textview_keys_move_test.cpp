// Caret moves of the text view through real control windows: whole
// characters in every encoding, rows and soft wraps, Home and End, vertical
// moves at the goal x, pages, Ctrl scrolling, selections with Shift and column
// blocks started with Shift+Alt.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "textview_keys_fixture.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

namespace {

using mirel_keys_test::kAlt;
using mirel_keys_test::kCtrl;
using mirel_keys_test::KeysTest;
using mirel_keys_test::kShift;
using mirel_keys_test::W;

using TextViewKeysMove = KeysTest;

TEST_F(TextViewKeysMove, LeftAndRightStepOverWholeCharactersAndRows) {
  Open(MIREL_ENCODING_ANSI, "a\xB0\xA1\r\nb");
  const DWORD right[] = {1, 3, 5, 6, 6};
  for (DWORD nExpected : right) {
    Key(VK_RIGHT);
    EXPECT_EQ(Pos(), nExpected);
    ExpectConsistent();
  }
  EXPECT_EQ(doc.cli, 1);
  const DWORD left[] = {5, 3, 1, 0, 0};
  for (DWORD nExpected : left) {
    Key(VK_LEFT);
    EXPECT_EQ(Pos(), nExpected);
    ExpectConsistent();
  }

  Open(MIREL_ENCODING_UTF8, "\xEA\xB0\x80z");
  Key(VK_RIGHT);
  EXPECT_EQ(Pos(), 3u);

  Open(MIREL_ENCODING_UTF16LE, W("ab cd"));
  Key(VK_RIGHT);
  EXPECT_EQ(Pos(), 2u);
  Key(VK_RIGHT, kCtrl);  // to the next word's start
  EXPECT_EQ(Pos(), 6u);
  Caret(0);
  Key(VK_RIGHT, kCtrl | kShift);  // to the end of the word
  EXPECT_EQ(Pos(), 4u);
  EXPECT_EQ(SelStart(), 0u);
  Key(VK_LEFT, kCtrl);  // a plain move collapses first
  EXPECT_EQ(Pos(), 0u);
  EXPECT_FALSE(doc.block.HasSelection());
}

TEST_F(TextViewKeysMove, AtASoftWrapLeftAndRightChangeOnlyTheRow) {
  Open(MIREL_ENCODING_ANSI, "abcdefghijkl", MIREL_WRAP_CHAR);
  WrapAt(5);
  ASSERT_GE(doc.nLineCount, 2);
  const DWORD nBoundary = doc.pLines[1].nStart;
  Key(VK_END);
  EXPECT_EQ(Pos(), nBoundary);
  EXPECT_EQ(doc.cli, 0);
  Key(VK_RIGHT);
  EXPECT_EQ(Pos(), nBoundary);
  EXPECT_EQ(doc.cli, 1);
  ExpectConsistent();
  Key(VK_LEFT);
  EXPECT_EQ(Pos(), nBoundary);
  EXPECT_EQ(doc.cli, 0);
  ExpectConsistent();
}

TEST_F(TextViewKeysMove, HomeTogglesBetweenTheFirstCharacterAndTheRowStart) {
  Open(MIREL_ENCODING_UTF16LE, W("  ab\r\nxyz"));
  Caret(6);
  Key(VK_HOME);
  EXPECT_EQ(Pos(), 4u);
  Key(VK_HOME);
  EXPECT_EQ(Pos(), 0u);
  Key(VK_HOME);
  EXPECT_EQ(Pos(), 4u);
  doc.bHomeToFirstCol = TRUE;
  Key(VK_HOME);
  EXPECT_EQ(Pos(), 0u);
  Key(VK_END);
  EXPECT_EQ(Pos(), 8u);
  Key(VK_END, kCtrl);
  EXPECT_EQ(Pos(), 18u);
  EXPECT_EQ(doc.cli, 1);
  Key(VK_HOME, kCtrl);
  EXPECT_EQ(Pos(), 0u);
  EXPECT_EQ(doc.cli, 0);
  Key(VK_END, kCtrl | kAlt);  // Ctrl+Alt: nothing
  EXPECT_EQ(Pos(), 0u);
}

TEST_F(TextViewKeysMove, UpAndDownKeepTheGoalColumn) {
  Open(MIREL_ENCODING_ANSI, "abcdef\r\nab\r\nabcdef");
  Caret(4);
  Key(VK_RIGHT);  // the goal x is now that of column 5
  Key(VK_DOWN);
  EXPECT_EQ(Pos(), 10u);  // the short row's end
  EXPECT_EQ(doc.cli, 1);
  Key(VK_DOWN);
  EXPECT_EQ(Pos(), 17u);
  Key(VK_DOWN);  // on the last row: nothing
  EXPECT_EQ(Pos(), 17u);
  Key(VK_UP);
  Key(VK_UP);
  EXPECT_EQ(Pos(), 5u);
  EXPECT_EQ(doc.cli, 0);
  ExpectConsistent();
}

TEST_F(TextViewKeysMove, ShiftExtendsAndAPlainMoveCollapsesToTheSelectionsEnd) {
  Open(MIREL_ENCODING_ANSI, "abc\r\ndef");
  Caret(1);
  Key(VK_RIGHT, kShift);
  Key(VK_DOWN, kShift);
  EXPECT_EQ(SelStart(), 1u);
  EXPECT_EQ(SelEnd(), 7u);
  ExpectConsistent();
  Key(VK_LEFT);
  EXPECT_EQ(Pos(), 1u);
  EXPECT_FALSE(doc.block.HasSelection());
  ExpectConsistent();
  Key(VK_RIGHT, kShift);
  Key(VK_RIGHT, kShift);
  Key(VK_RIGHT);
  EXPECT_EQ(Pos(), 3u);
  EXPECT_FALSE(doc.block.HasSelection());
}

TEST_F(TextViewKeysMove, ShiftAltStartsAColumnBlockThatTheNextPlainMoveEnds) {
  Open(MIREL_ENCODING_ANSI, "abcd\r\nefgh\r\nijkl");
  Caret(1);
  Key(VK_DOWN, kShift | kAlt);
  Key(VK_RIGHT, kShift | kAlt);
  EXPECT_TRUE(doc.block.IsColumnBlock());
  EXPECT_EQ(doc.block.nRowCount, 2);
  Key(VK_RIGHT);
  EXPECT_FALSE(doc.block.HasSelection());
  EXPECT_FALSE(doc.block.IsColumnMode());
  // A later Shift selection is a stream again.
  Key(VK_DOWN, kShift);
  EXPECT_TRUE(doc.block.HasSelection());
  EXPECT_FALSE(doc.block.IsColumnBlock());
  ExpectConsistent();
}

TEST_F(TextViewKeysMove, AColumnModeTheHostSetOutlastsPlainMoves) {
  Open(MIREL_ENCODING_ANSI, "abcd\r\nefgh");
  doc.SetColumnMode(TRUE);
  ASSERT_TRUE(doc.block.IsColumnMode());
  Key(VK_RIGHT);
  EXPECT_TRUE(doc.block.IsColumnMode());
  Key(VK_DOWN, kShift);
  Key(VK_RIGHT, kShift);
  EXPECT_TRUE(doc.block.IsColumnBlock());
}

TEST_F(TextViewKeysMove, ShiftAltUnderWordWrapExtendsAStreamSelection) {
  Open(MIREL_ENCODING_ANSI, "abcd\r\nefgh\r\nijkl", MIREL_WRAP_WORD);
  Key(VK_RIGHT);  // caret and goal x at column 1
  Key(VK_DOWN, kShift | kAlt);
  EXPECT_TRUE(doc.block.HasSelection());
  EXPECT_FALSE(doc.block.IsColumnBlock());
  EXPECT_FALSE(doc.block.IsColumnMode());
  EXPECT_EQ(SelStart(), 1u);
  EXPECT_EQ(SelEnd(), 7u);
}

TEST_F(TextViewKeysMove, PageUpAndPageDownUseTheirOwnPageSizes) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "row\r\n";
  Open(MIREL_ENCODING_ANSI, text);
  RECT rc{};
  GetClientRect(hEdit, &rc);
  const int nLineHeight = std::max(doc.nLineHeight, 1);
  const int nHeight = static_cast<int>(rc.bottom);
  const int nDown = std::max((nHeight - doc.nRulerHeight) / nLineHeight, 1);
  const int nUp = std::max((nHeight - doc.nRulerHeight - doc.nFontHeight) / nLineHeight, 1);
  ASSERT_LT(nDown, 30);
  Key(VK_NEXT);
  EXPECT_EQ(doc.cli, nDown);
  EXPECT_EQ(pEdit->nTopLine, nDown);
  ExpectConsistent();
  Key(VK_NEXT);
  Key(VK_PRIOR);
  EXPECT_EQ(doc.cli, 2 * nDown - nUp);
  ExpectConsistent();
  Key(VK_PRIOR, kCtrl);  // the top row, no scrolling
  EXPECT_EQ(doc.cli, pEdit->nTopLine);
  ExpectConsistent();
}

TEST_F(TextViewKeysMove, CtrlDownScrollsAndTheCaretFollowsOnlyOffThePage) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "line\r\n";
  Open(MIREL_ENCODING_ANSI, text);
  Caret(18);  // row 3
  Key(VK_DOWN, kCtrl);
  EXPECT_EQ(pEdit->nTopLine, 1);
  EXPECT_EQ(doc.cli, 3);
  for (int i = 0; i < 3; ++i) Key(VK_DOWN, kCtrl);
  EXPECT_EQ(pEdit->nTopLine, 4);
  EXPECT_EQ(doc.cli, 4);
  ExpectConsistent();
  Key(VK_DOWN, kCtrl | kShift);  // Ctrl with Shift: nothing
  EXPECT_EQ(pEdit->nTopLine, 4);
}

TEST_F(TextViewKeysMove, ShiftFromTheKeyboardStateExtends) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  Open(MIREL_ENCODING_ANSI, "abcdef");
  MrwTestSetKeyDown(VK_SHIFT, TRUE);
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  MrwTestResetKeyState();
  EXPECT_EQ(SelStart(), 0u);
  EXPECT_EQ(SelEnd(), 2u);
  Key(VK_RIGHT);
  EXPECT_FALSE(doc.block.HasSelection());
  EXPECT_EQ(Pos(), 2u);
#endif
}

}  // namespace
