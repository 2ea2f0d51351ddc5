// Word stepping inside a row and the indentation helpers, in ANSI (with a
// double-byte code page whose trail bytes include delimiter values) and in
// UTF-16 (with units whose low byte is a blank or a control character).
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "mirel/cmireldoc.h"
#include "positions_fixture.h"

namespace {

using mirel_test::TextDoc;
using mirel_test::Utf16Bytes;

TEST(PositionsWords, StartsAndEndsWithinARow) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("foo bar.baz  qux\r\nnext"));
  // f0 o1 o2 _3 b4 a5 r6 .7 b8 a9 z10 _11 _12 q13 u14 x15, row end 16
  EXPECT_EQ(4u, t.doc.GetWordStart(0, 6));    // inside a word: its start
  EXPECT_EQ(0u, t.doc.GetWordStart(0, 4));    // at a word start: the word before
  EXPECT_EQ(8u, t.doc.GetWordStart(0, 11));   // right after a word: that word
  EXPECT_EQ(13u, t.doc.GetWordStart(0, 16));  // at the row end: the last word
  EXPECT_EQ(0u, t.doc.GetWordStart(0, 0));

  EXPECT_EQ(4u, t.doc.GetWordEnd(0, 1));  // the next word's start
  EXPECT_EQ(13u, t.doc.GetWordEnd(0, 11));
  EXPECT_EQ(16u, t.doc.GetWordEnd(0, 14));  // no next word in the row
  EXPECT_EQ(16u, t.doc.GetWordEnd(0, 16));

  EXPECT_EQ(3u, t.doc.GetNextWordEnd(0, 0));
  EXPECT_EQ(7u, t.doc.GetNextWordEnd(0, 3));
  EXPECT_EQ(16u, t.doc.GetNextWordEnd(0, 12));
  EXPECT_EQ(22u, t.doc.GetNextWordEnd(1, 18));  // the last row ends at the text end
}

TEST(PositionsWords, OutOfRowArgumentsStayInside) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("ab cd\r\nef gh"));
  EXPECT_EQ(3u, t.doc.GetWordEnd(0, 0));
  // A position past the row is taken as the row end; one before it as the start.
  EXPECT_EQ(3u, t.doc.GetWordStart(0, 9));
  EXPECT_EQ(10u, t.doc.GetWordEnd(1, 2));
  // A row that does not exist moves nothing.
  EXPECT_EQ(4u, t.doc.GetWordStart(5, 4));
  EXPECT_EQ(4u, t.doc.GetWordEnd(-1, 4));
  EXPECT_EQ(12u, t.doc.GetNextWordEnd(99, 100));
}

TEST(PositionsWords, DoubleByteTrailBytesAreNotDelimiters) {
  // In code page 932 the trail byte of U+8868 (95 5C) is a backslash.
  TextDoc t(MIREL_ENCODING_ANSI, MIREL_WRAP_NONE, 932);
  ASSERT_TRUE(t.SetText("\x95\x5C\x95\x5C x \x95\x5C\x95\x5C"));
  EXPECT_EQ(4u, t.doc.GetNextWordEnd(0, 0));
  EXPECT_EQ(5u, t.doc.GetWordEnd(0, 0));
  EXPECT_EQ(7u, t.doc.GetWordStart(0, 11));
  EXPECT_EQ(7u, t.doc.GetWordStart(0, 9));
}

TEST(PositionsWords, Utf16MovesByWholeUnits) {
  TextDoc t(MIREL_ENCODING_UTF16LE);
  // U+4E09 and U+AC20 have a tab and a space as their low byte.
  ASSERT_TRUE(t.SetText(Utf16Bytes(u"\u4E09\uAC20 ab\u4E0D\t.x")));
  // units: 0 U+4E09, 2 U+AC20, 4 space, 6 a, 8 b, 10 U+4E0D, 12 tab, 14 '.', 16 x, end 18
  EXPECT_EQ(6u, t.doc.GetWordEnd(0, 0));
  EXPECT_EQ(4u, t.doc.GetNextWordEnd(0, 0));
  EXPECT_EQ(12u, t.doc.GetNextWordEnd(0, 6));
  EXPECT_EQ(16u, t.doc.GetWordEnd(0, 6));
  EXPECT_EQ(6u, t.doc.GetWordStart(0, 12));
  EXPECT_EQ(0u, t.doc.GetWordStart(0, 6));
  for (DWORD pos = 0; pos <= 18; ++pos) {
    EXPECT_EQ(0u, t.doc.GetWordStart(0, pos) % 2);
    EXPECT_EQ(0u, t.doc.GetWordEnd(0, pos) % 2);
    EXPECT_EQ(0u, t.doc.GetNextWordEnd(0, pos) % 2);
  }
}

// ---------------------------------------------------------------------------
// Indentation

TEST(PositionsIndent, LeadingBlanksStopAtTheFirstOtherCharacter) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("x\r\n \t y\r\n  \r\n\t"));
  BYTE buf[16] = {};
  EXPECT_EQ(0, t.doc.GetLeadingBlanks(0, buf, sizeof(buf)));
  EXPECT_EQ(3, t.doc.GetLeadingBlanks(1, buf, sizeof(buf)));
  EXPECT_EQ(0, std::string(reinterpret_cast<char*>(buf), 3).compare(" \t "));
  EXPECT_EQ(2, t.doc.GetLeadingBlanks(1, buf, 2));  // the capacity lasts 2 bytes
  EXPECT_EQ(2, t.doc.GetLeadingBlanks(2, buf, sizeof(buf)));
  // The last paragraph ends at the text end, not in the zero bytes after it.
  EXPECT_EQ(1, t.doc.GetLeadingBlanks(3, buf, sizeof(buf)));
  EXPECT_EQ(0, t.doc.GetLeadingBlanks(4, buf, sizeof(buf)));
  EXPECT_EQ(0, t.doc.GetLeadingBlanks(-1, buf, sizeof(buf)));
  EXPECT_EQ(0, t.doc.GetLeadingBlanks(1, nullptr, 8));
}

TEST(PositionsIndent, Utf16BlanksAreWholeUnits) {
  TextDoc t(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(t.SetText(Utf16Bytes(u" \t\u4E09\uAC20 ")));
  BYTE buf[16] = {};
  EXPECT_EQ(4, t.doc.GetLeadingBlanks(0, buf, sizeof(buf)));
  EXPECT_EQ(2, t.doc.GetLeadingBlanks(0, buf, 3));  // never half a unit
  EXPECT_EQ(1 + t.doc.nTabSize, t.doc.GetIndentWidth(t.Text(), 10));
  const std::string lookalike = Utf16Bytes(u"\uAC20\u4E09");
  EXPECT_EQ(0, t.doc.GetIndentWidth(reinterpret_cast<const BYTE*>(lookalike.data()), 4));
}

TEST(PositionsIndent, WidthAndFill) {
  TextDoc t;
  t.doc.nTabSize = 8;
  const std::string s("\t \0\tx\t", 6);
  EXPECT_EQ(8 + 1 + 1 + 8, t.doc.GetIndentWidth(reinterpret_cast<const BYTE*>(s.data()), 6));
  EXPECT_EQ(9, t.doc.GetIndentWidth(reinterpret_cast<const BYTE*>(s.data()), 2));
  EXPECT_EQ(0, t.doc.GetIndentWidth(nullptr, 5));

  BYTE buf[32] = {};
  EXPECT_EQ(3, t.doc.FillIndent(3, buf, sizeof(buf)));
  EXPECT_EQ(0, std::string(reinterpret_cast<char*>(buf), 3).compare("\t\t\t"));
  t.doc.bTabToSpace = TRUE;
  t.doc.nTabSize = 4;
  EXPECT_EQ(8, t.doc.FillIndent(2, buf, sizeof(buf)));
  EXPECT_EQ(0, std::string(reinterpret_cast<char*>(buf), 8).compare("        "));
  EXPECT_EQ(5, t.doc.FillIndent(2, buf, 5));
  EXPECT_EQ(32, t.doc.FillIndent(INT_MAX, buf, sizeof(buf)));
  EXPECT_EQ(0, t.doc.FillIndent(-1, buf, sizeof(buf)));

  t.doc.nFileEncoding = MIREL_ENCODING_UTF16LE;
  t.doc.bTabToSpace = FALSE;
  EXPECT_EQ(4, t.doc.FillIndent(3, buf, 5));  // two whole units fit
  EXPECT_EQ(0x09, buf[0]);
  EXPECT_EQ(0x00, buf[1]);
}

}  // namespace
