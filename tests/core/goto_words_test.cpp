// Word queries and goto on a document without windows: the word at a
// position, the word a double click takes, the word around the caret within
// its row, and the caret moved to a paragraph and column; in ANSI (code page
// 949), UTF-8 and UTF-16, with untrusted positions and outputs.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

#include "mirel/cmireldoc.h"
#include "positions_fixture.h"

namespace {

using mirel_test::TextDoc;
using mirel_test::Utf16Bytes;

using Range = std::pair<DWORD, DWORD>;

Range Word(CMirelDoc& doc, DWORD nPos) {
  DWORD s = 0xDEAD, e = 0xBEEF;
  EXPECT_TRUE(doc.GetWordRange(nPos, &s, &e));
  return {s, e};
}
Range Select(CMirelDoc& doc, DWORD nPos) {
  DWORD s = 0xDEAD, e = 0xBEEF;
  EXPECT_TRUE(doc.GetWordRangeForSelect(nPos, &s, &e));
  return {s, e};
}
Range InLine(CMirelDoc& doc, DWORD nPos) {
  DWORD s = 0xDEAD, e = 0xBEEF;
  EXPECT_TRUE(doc.GetCurrentWordInLine(nPos, &s, &e));
  return {s, e};
}

TEST(GotoWords, WordRangeTakesTheWordAfterAFullStopAndNothingOnASpace) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("abc.def ghi"));
  // a0 b1 c2 .3 d4 e5 f6 _7 g8 h9 i10
  EXPECT_EQ(Word(t.doc, 0), Range(0, 3));
  EXPECT_EQ(Word(t.doc, 2), Range(0, 3));
  EXPECT_EQ(Word(t.doc, 5), Range(4, 7));
  EXPECT_EQ(Word(t.doc, 3), Range(4, 7));  // the full stop: the word after it
  EXPECT_EQ(Word(t.doc, 7), Range(7, 7));  // a space: empty there
  EXPECT_EQ(Word(t.doc, 10), Range(8, 11));
  EXPECT_EQ(Word(t.doc, 11), Range(11, 11));    // the text end
  EXPECT_EQ(Word(t.doc, 5000), Range(11, 11));  // clamped to it
}

TEST(GotoWords, WordRangeStopsAtLineEndsAndKeepsDoubleByteCharactersWhole) {
  TextDoc t(MIREL_ENCODING_ANSI, MIREL_WRAP_NONE, 949);
  // "ab\r\n" then two Hangul syllables and "x".
  ASSERT_TRUE(t.SetText("ab\r\n\xB0\xA1\xB3\xAAx y"));
  EXPECT_EQ(Word(t.doc, 1), Range(0, 2));
  EXPECT_EQ(Word(t.doc, 4), Range(4, 9));
  EXPECT_EQ(Word(t.doc, 7), Range(4, 9));  // inside a character: the same word
}

TEST(GotoWords, NullOutputsAndAnEmptyDocumentAreRefused) {
  TextDoc t;
  DWORD s = 5, e = 6;
  EXPECT_FALSE(t.doc.GetWordRange(0, &s, &e));  // no text store yet
  t.doc.Goto(3, 3);                             // nothing to move in
  EXPECT_EQ(t.doc.nCaretPos, 0);
  ASSERT_TRUE(t.SetText("word"));
  EXPECT_FALSE(t.doc.GetWordRange(0, nullptr, &e));
  EXPECT_FALSE(t.doc.GetWordRangeForSelect(0, &s, nullptr));
  EXPECT_FALSE(t.doc.GetCurrentWordInLine(0, nullptr, nullptr));
  EXPECT_EQ(s, 5u);
  EXPECT_EQ(e, 6u);
}

TEST(GotoWords, SelectTakesRunsOfPunctuationButNeverBlanks) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("f(a)) \t;;x"));
  // f0 (1 a2 )3 )4 _5 \t6 ;7 ;8 x9
  EXPECT_EQ(Select(t.doc, 3), Range(3, 5));
  EXPECT_EQ(Select(t.doc, 4), Range(3, 5));
  EXPECT_EQ(Select(t.doc, 5), Range(5, 5));
  EXPECT_EQ(Select(t.doc, 6), Range(6, 6));
  EXPECT_EQ(Select(t.doc, 8), Range(7, 9));
  EXPECT_EQ(Select(t.doc, 2), Range(2, 3));
  EXPECT_EQ(Select(t.doc, 9), Range(9, 10));
}

TEST(GotoWords, CurrentWordInLineFollowsTheCaretWithinItsRow) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("abc def\r\n    \r\n  ,x"));
  // row 0: a0..c2 _3 d4..f6 (end 7); row 1: 9..13; row 2: 15 16 ,17 x18
  EXPECT_EQ(InLine(t.doc, 1), Range(1, 2));     // on a letter: that letter
  EXPECT_EQ(InLine(t.doc, 3), Range(0, 3));     // right after a word
  EXPECT_EQ(InLine(t.doc, 7), Range(7, 7));     // on the line end: empty there
  EXPECT_EQ(InLine(t.doc, 8), Range(7, 7));     // inside the CR LF: the same
  EXPECT_EQ(InLine(t.doc, 11), Range(9, 13));   // a row of spaces: all of it
  EXPECT_EQ(InLine(t.doc, 15), Range(17, 18));  // spaces, then a delimiter
  EXPECT_EQ(InLine(t.doc, 19), Range(18, 19));  // the text end, after a word
}

TEST(GotoWords, CurrentWordInLineGivesWholeCharacters) {
  {
    TextDoc t(MIREL_ENCODING_ANSI, MIREL_WRAP_NONE, 949);
    ASSERT_TRUE(t.SetText("\xB0\xA1\xB3\xAA"));
    EXPECT_EQ(InLine(t.doc, 0), Range(0, 2));
    EXPECT_EQ(InLine(t.doc, 3), Range(2, 4));  // inside the second: all of it
  }
  {
    TextDoc t(MIREL_ENCODING_UTF8);
    ASSERT_TRUE(t.SetText("a\xEA\xB0\x80"));
    EXPECT_EQ(InLine(t.doc, 1), Range(1, 4));
    EXPECT_EQ(InLine(t.doc, 2), Range(1, 4));
  }
  {
    TextDoc t(MIREL_ENCODING_UTF16LE);
    ASSERT_TRUE(t.SetText(Utf16Bytes(u"ab cd")));
    // a0 b2 _4 c6 d8: an odd position means the unit it cuts.
    EXPECT_EQ(InLine(t.doc, 5), Range(0, 4));  // the space after "ab"
    EXPECT_EQ(InLine(t.doc, 7), Range(6, 8));
    EXPECT_EQ(Word(t.doc, 7), Range(6, 10));
    EXPECT_EQ(Word(t.doc, 3), Range(0, 4));
  }
}

TEST(GotoWords, CurrentWordInLineIsRefusedInTheHexView) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("abc"));
  t.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  DWORD s = 9, e = 9;
  EXPECT_FALSE(t.doc.GetCurrentWordInLine(0, &s, &e));
  EXPECT_EQ(s, 9u);
}

TEST(GotoWords, GotoStaysOnTheParagraphsFirstRow) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("first\r\nsecond\r\nthird"));
  t.doc.Goto(1, 3);
  EXPECT_EQ(t.doc.nCaretPos, 10);
  EXPECT_EQ(t.doc.cli, 1);
  t.doc.Goto(1, 100);  // past the row: its end, not the next row
  EXPECT_EQ(t.doc.nCaretPos, 13);
  EXPECT_EQ(t.doc.cli, 1);
  t.doc.Goto(99, 2);  // past the last paragraph: the last one
  EXPECT_EQ(t.doc.nCaretPos, 17);
  EXPECT_EQ(t.doc.cli, 2);
  t.doc.Goto(-5, -3);  // negative: the start
  EXPECT_EQ(t.doc.nCaretPos, 0);
  EXPECT_EQ(t.doc.cli, 0);
  t.doc.Goto(INT_MAX, INT_MAX);
  EXPECT_EQ(t.doc.nCaretPos, 20);
}

TEST(GotoWords, GotoStopsBeforeACharacterItWouldCutAndCollapsesTheSelection) {
  TextDoc t(MIREL_ENCODING_ANSI, MIREL_WRAP_NONE, 949);
  ASSERT_TRUE(t.SetText("a\xB0\xA1z"));
  t.doc.SetSel(0, 3, FALSE);
  t.doc.Goto(0, 2);
  EXPECT_EQ(t.doc.nCaretPos, 1);
  EXPECT_FALSE(t.doc.block.HasSelection());
  EXPECT_EQ(t.doc.block.nCaret, 1u);

  TextDoc w(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(w.SetText(Utf16Bytes(u"abc")));
  w.doc.Goto(0, 3);  // odd column: before the unit
  EXPECT_EQ(w.doc.nCaretPos, 2);
}

TEST(GotoWords, GotoInTheHexViewKeepsTheRowWithTheCaret) {
  TextDoc t;
  ASSERT_TRUE(t.SetText(std::string(40, 'x')));
  t.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  t.doc.nHexBytesPerLine = 16;
  t.doc.Goto(1, 2);
  EXPECT_EQ(t.doc.nCaretPos, 18);
  EXPECT_EQ(t.doc.cli, 1);
  t.doc.Goto(50, 0);  // past the last row: the last byte, on its row
  EXPECT_EQ(t.doc.nCaretPos, 39);
  EXPECT_EQ(t.doc.cli, 2);
}

}  // namespace
