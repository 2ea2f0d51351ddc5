// Inserting host text at the caret and over the selection, the deletions
// (selection, character, word) and the paragraph range.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>

#include "doc_test_util.h"
#include "textio_test_util.h"

namespace mirel_textio_test {
namespace {

// ---------------------------------------------------------------------------
// Insert

TEST(TextIoInsert, EmptyTextChangesNothingNotEvenTheSelection) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill("hello"));
  d.doc.SetSel(1, 4, FALSE);
  EXPECT_EQ(d.doc.InsertA("xyz", 0, TRUE), 1);
  EXPECT_EQ(d.doc.InsertA(nullptr, 0, TRUE), 1);
  EXPECT_EQ(d.doc.InsertW(nullptr, 0, TRUE), 1);
  EXPECT_EQ(d.Text(), "hello");
  EXPECT_EQ(d.doc.block.GetStartPtr(), 1u);
  EXPECT_EQ(d.doc.block.GetEndPtr(), 4u);
  EXPECT_FALSE(d.doc.CanUndo());
}

TEST(TextIoInsert, BadHostTextIsRefusedWithZero) {
  for (int e : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8}) {
    SCOPED_TRACE(EncodingName(e));
    IoDoc d(e);
    ASSERT_TRUE(d.Fill(""));
    EXPECT_EQ(d.doc.InsertA(nullptr, 3, TRUE), 0);
    EXPECT_EQ(d.doc.InsertW(nullptr, 3, TRUE), 0);
    EXPECT_EQ(d.doc.InsertU(nullptr, 3, TRUE), 0);
    EXPECT_EQ(d.doc.InsertA("abc", -1, TRUE), 0);
    EXPECT_EQ(d.doc.InsertW(HostWide(u"abc").data(), -3, TRUE), 0);
    EXPECT_EQ(d.doc.InsertU("abc", INT_MIN, TRUE), 0);
    // A unit count whose byte length passes every limit is refused before
    // anything is read.
    EXPECT_EQ(d.doc.InsertW(HostWide(u"abc").data(), INT_MAX, TRUE), 0);
    EXPECT_EQ(d.TextLength(), 0);
    EXPECT_FALSE(d.doc.CanUndo());
  }
}

TEST(TextIoInsert, ADocumentWithoutTextEncodingRefusesText) {
  IoDoc d(MIREL_ENCODING_BINARY);
  ASSERT_TRUE(d.Fill(""));
  EXPECT_EQ(d.doc.InsertA("ab", 2, FALSE), 0);
  EXPECT_EQ(d.TextLength(), 0);
}

TEST(TextIoInsert, AtTheCaretMovesTheCaretAfterTheText) {
  IoDoc d(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(d.Fill(LeBytes(u"ad")));
  d.doc.SetSel(2, 2, FALSE);
  d.doc.nVirtualSpace = 0;
  const std::basic_string<WCHAR> w = HostWide(u"b\r\nc");
  ASSERT_EQ(d.doc.InsertW(w.data(), 4, FALSE), 1);
  EXPECT_EQ(d.Text(), LeBytes(u"ab\r\ncd"));
  EXPECT_EQ(d.doc.nCaretPos, 10);
  EXPECT_EQ(d.doc.cli, 1);
  EXPECT_FALSE(d.doc.block.HasSelection());
  EXPECT_EQ(d.doc.block.nCaret, 10u);
  EXPECT_EQ(d.doc.block.nCaretLine, 1);
}

TEST(TextIoInsert, ReplacesTheSelectionAndLeavesNoSelection) {
  IoDoc d(MIREL_ENCODING_UTF8);
  ASSERT_TRUE(d.Fill("one two three"));
  d.doc.SetSel(8, 4, FALSE);  // "two " selected backwards
  d.doc.nVirtualSpace = 3;
  ASSERT_EQ(d.doc.InsertU("\xEA\xB8\x80", 3, TRUE), 1);
  EXPECT_EQ(d.Text(), "one \xEA\xB8\x80three");
  EXPECT_EQ(d.doc.nCaretPos, 7);
  EXPECT_EQ(d.doc.nVirtualSpace, 0);
  EXPECT_FALSE(d.doc.block.HasSelection());
  EXPECT_EQ(d.doc.block.nAnchor, 7u);
}

// A host may move the caret away from the selection; the insert still
// replaces the selected bytes and no others.
TEST(TextIoInsert, ReplacesExactlyTheSelectionWhereverTheCaretStands) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill("0123456789"));
  d.doc.SetSel(6, 8, FALSE);
  d.doc.nCaretPos = 1;
  ASSERT_EQ(d.doc.InsertA("ab", 2, TRUE), 1);
  EXPECT_EQ(d.Text(), "012345ab89");
  EXPECT_EQ(d.doc.nCaretPos, 8);
}

TEST(TextIoInsert, AStaleSelectionPastTheTextIsCutToTheText) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill("0123456789"));
  d.doc.SetSel(7, 10, FALSE);
  ASSERT_TRUE(d.doc.DeleteContents(5, 5, FALSE));  // the host cut the text without the selection
  ASSERT_EQ(d.doc.InsertA("x", 1, FALSE), 1);
  EXPECT_EQ(d.Text(), "01234x");
  EXPECT_EQ(d.doc.nCaretPos, 6);
}

TEST(TextIoInsert, RecordsUndoOnlyWhenAsked) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill(""));
  ASSERT_EQ(d.doc.InsertA("abc", 3, FALSE), 1);
  EXPECT_FALSE(d.doc.CanUndo());
  ASSERT_EQ(d.doc.InsertA("def", 3, TRUE), 1);
  EXPECT_TRUE(d.doc.CanUndo());
  ASSERT_TRUE(d.doc.Undo(nullptr));
  EXPECT_EQ(d.Text(), "abc");
}

TEST(TextIoInsert, HexViewInsertsAtTheFilePositionAndPutsTheCaretOnItsHexRow) {
  IoDoc d(MIREL_ENCODING_UTF8_BOM);
  ASSERT_TRUE(d.Fill("0123456789abcdef"));
  d.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  d.doc.nCaretPos = 3;  // the first text byte, after the three mark bytes
  d.doc.block.SetBoth(3, 0);
  ASSERT_EQ(d.doc.InsertA("XY", 2, TRUE), 1);
  EXPECT_EQ(d.File(), "\xEF\xBB\xBFXY0123456789abcdef");
  EXPECT_EQ(d.doc.nCaretPos, 5);
  EXPECT_EQ(d.doc.cli, 5 / d.doc.nHexBytesPerLine);
  EXPECT_EQ(d.doc.block.nAnchor, 5u);
}

// ---------------------------------------------------------------------------
// Delete

TEST(TextIoDelete, AtTheEndOfTheTextChangesNothing) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill("ab"));
  d.doc.SetSel(2, 2, FALSE);
  EXPECT_EQ(d.doc.Delete(0), 1);
  EXPECT_EQ(d.Text(), "ab");
  EXPECT_FALSE(d.doc.CanUndo());
}

TEST(TextIoDelete, ALineEndPairGoesWhole) {
  for (int e : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE}) {
    SCOPED_TRACE(EncodingName(e));
    const std::vector<Char> text = {Ascii('a'), Ascii('\r'), Ascii('\n'), Ascii('b')};
    IoDoc d(e);
    ASSERT_TRUE(d.Fill(InEncoding(text, e)));
    const int nCr = OffsetOf(text, 1, e);
    d.doc.SetSel(static_cast<DWORD>(nCr), static_cast<DWORD>(nCr), FALSE);
    EXPECT_EQ(d.doc.Delete(0), 1);
    EXPECT_EQ(Hex(d.Text()), Hex(InEncoding({Ascii('a'), Ascii('b')}, e)));
    EXPECT_EQ(d.doc.nLineCount, 1);
  }
}

TEST(TextIoDelete, ASurrogatePairGoesWhole) {
  IoDoc d(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(d.Fill(LeBytes(u"a\U0001F600b")));
  d.doc.SetSel(2, 2, FALSE);
  EXPECT_EQ(d.doc.Delete(0), 1);
  EXPECT_EQ(d.Text(), LeBytes(u"ab"));
}

TEST(TextIoDelete, DoubleByteAndUtf8CharactersGoWhole) {
  IoDoc ansi(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(ansi.Fill("a\xC7\xD1z"));
  ansi.doc.SetSel(1, 1, FALSE);
  ansi.doc.Delete(0);
  EXPECT_EQ(ansi.Text(), "az");

  IoDoc u8(MIREL_ENCODING_UTF8);
  ASSERT_TRUE(u8.Fill("a\xF0\x9F\x98\x80z"));
  u8.doc.SetSel(1, 1, FALSE);
  u8.doc.Delete(0);
  EXPECT_EQ(u8.Text(), "az");
}

TEST(TextIoDelete, TheSelectionGoesAndNothingElse) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill("abcdef"));
  d.doc.SetSel(4, 1, FALSE);
  EXPECT_EQ(d.doc.Delete(0), 1);
  EXPECT_EQ(d.Text(), "aef");
  EXPECT_EQ(d.doc.nCaretPos, 1);
  EXPECT_FALSE(d.doc.block.HasSelection());
}

TEST(TextIoDelete, InVirtualSpaceOnlyTheCaretMovesBack) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill("ab\r\ncd"));
  d.doc.SetSel(2, 2, FALSE);
  d.doc.nVirtualSpace = 2;
  EXPECT_EQ(d.doc.Delete(0), 1);
  EXPECT_EQ(d.doc.nVirtualSpace, 1);
  EXPECT_EQ(d.Text(), "ab\r\ncd");
}

TEST(TextIoDelete, SuccessiveDeletesAtOnePlaceAreOneUndoStep) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill("abcdef"));
  d.doc.SetSel(1, 1, FALSE);
  for (int i = 0; i < 3; ++i) d.doc.Delete(0);
  EXPECT_EQ(d.Text(), "aef");
  ASSERT_TRUE(d.doc.Undo(nullptr));
  EXPECT_EQ(d.Text(), "abcdef");
  EXPECT_EQ(d.doc.nCaretPos, 4);
  EXPECT_FALSE(d.doc.CanUndo());
}

TEST(TextIoDelete, HexViewDeletesOneFileByteAtTheCaret) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill(std::string(18, '.') + "\xC7\xD1z"));
  d.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  d.doc.nCaretPos = 18;
  d.doc.block.SetBoth(18, 1);
  EXPECT_EQ(d.doc.Delete(0), 1);
  EXPECT_EQ(d.Text(), std::string(18, '.') + "\xD1z");
  EXPECT_EQ(d.doc.nCaretPos, 18);
  EXPECT_EQ(d.doc.cli, 1);
}

TEST(TextIoDeleteBlock, WithoutASelectionReturnsZero) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill("abc"));
  d.doc.SetSel(1, 1, FALSE);
  EXPECT_EQ(d.doc.DeleteBlock(), 0);
  EXPECT_EQ(d.doc.DeleteBlockHex(), 0);
  EXPECT_EQ(d.Text(), "abc");
}

TEST(TextIoDeleteBlock, ABlockThatCutsAUtf16UnitIsRefused) {
  IoDoc d(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(d.Fill(LeBytes(u"abcd")));
  d.doc.block.Reset(1, 0, FALSE);
  d.doc.block.SetCaret(4, 0);
  d.doc.nCaretPos = 4;
  EXPECT_EQ(d.doc.DeleteBlock(), 0);
  EXPECT_EQ(d.Text(), LeBytes(u"abcd"));
  EXPECT_EQ(d.doc.nCaretPos, 4);
}

TEST(TextIoDeleteBlock, HexViewDeletesFileBytesAndPutsTheCaretOnItsHexRow) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill(std::string(40, 'x') + "ABCDEF"));
  d.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  d.doc.block.SetBoth(44, 2);
  d.doc.block.SetCaretRaw(34, 2);
  EXPECT_EQ(d.doc.DeleteBlockHex(), 1);
  EXPECT_EQ(d.Text(), std::string(34, 'x') + "EF");
  EXPECT_EQ(d.doc.nCaretPos, 34);
  EXPECT_EQ(d.doc.cli, 2);
  EXPECT_FALSE(d.doc.block.IsNotEmpty());
}

// ---------------------------------------------------------------------------
// DeleteWord

struct WordCase {
  const char* text;
  DWORD caret;
  const char* left;
};

TEST(TextIoDeleteWord, TakesTheWordOrDelimiterWithTheBlanksAfterIt) {
  const WordCase kCases[] = {
      {"alpha   beta", 0, "beta"},       // the word and its blanks
      {"alpha   beta", 5, "alphabeta"},  // from a blank: the blanks only
      {"x;  y", 1, "xy"},                // a delimiter and its blanks
      {"alpha\r\n  beta", 2, "albeta"},  // the rest of the word; line ends are blanks
      {"alpha", 5, "alpha"},             // nothing at the end of the text
  };
  for (int e : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8}) {
    for (const WordCase& c : kCases) {
      SCOPED_TRACE(testing::Message() << EncodingName(e) << " \"" << c.text << "\" at " << c.caret);
      std::vector<Char> text;
      for (const char* p = c.text; *p; ++p) text.push_back(Ascii(*p));
      std::vector<Char> left;
      for (const char* p = c.left; *p; ++p) left.push_back(Ascii(*p));
      IoDoc d(e);
      ASSERT_TRUE(d.Fill(InEncoding(text, e)));
      const DWORD nCaret = static_cast<DWORD>(OffsetOf(text, c.caret, e));
      d.doc.SetSel(nCaret, nCaret, FALSE);
      EXPECT_TRUE(d.doc.DeleteWord());
      EXPECT_EQ(Hex(d.Text()), Hex(InEncoding(left, e)));
      EXPECT_EQ(d.doc.nCaretPos, static_cast<int>(nCaret));
    }
  }
}

TEST(TextIoDeleteWord, AUtf16UnitIsABlankOnlyAsAWhole) {
  // U+0A20 and U+2020 have a blank or a line feed as one of their bytes.
  IoDoc d(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(d.Fill(LeBytes(u"ab\u0A20\u2020cd ef")));
  d.doc.SetSel(0, 0, FALSE);
  EXPECT_TRUE(d.doc.DeleteWord());
  EXPECT_EQ(d.Text(), LeBytes(u"ef"));
}

TEST(TextIoDeleteWord, IsAnUndoStepOfItsOwn) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill(""));
  ASSERT_EQ(d.doc.InsertA("ab", 2, TRUE), 1);
  ASSERT_EQ(d.doc.InsertA("cd", 2, TRUE), 1);  // one typing step "abcd"
  d.doc.SetSel(0, 0, FALSE);
  ASSERT_TRUE(d.doc.DeleteWord());
  EXPECT_EQ(d.Text(), "");
  ASSERT_TRUE(d.doc.Undo(nullptr));
  EXPECT_EQ(d.Text(), "abcd");
  // The typing after the deletion's undo stays one step of its own.
  ASSERT_TRUE(d.doc.Undo(nullptr));
  EXPECT_EQ(d.Text(), "");
}

TEST(TextIoDeleteWord, BeepsAndRefusesInTheHexView) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill("word"));
  d.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  EXPECT_FALSE(d.doc.DeleteWord());
  EXPECT_EQ(d.Text(), "word");
}

// ---------------------------------------------------------------------------
// The caret row after a deletion under word wrap

class TextIoWrapDelete : public ::testing::Test {
 protected:
  // Rows of 10 fixed-width characters at most, words wrapped.
  void Open(const std::string& text) {
    d.doc.nWrapMode = MIREL_WRAP_WORD;
    mirel_doc_test::SetFixedMetrics(d.doc, 8, 32, 84);
    ASSERT_TRUE(d.Fill(text));
  }
  IoDoc d{MIREL_ENCODING_ANSI};
};

TEST_F(TextIoWrapDelete, DeleteLeavesCliOnTheRowThatHoldsTheCaret) {
  Open("aaaaaa bbbb");
  const DWORD nCaret = 9;  // inside "bbbb", which the width sent to the second row
  ASSERT_EQ(d.doc.GetLineFromPos(nCaret), 1);
  d.doc.SetSel(nCaret, nCaret, FALSE);
  ASSERT_EQ(d.doc.cli, 1);
  d.doc.Delete(0);
  ASSERT_EQ(d.Text(), "aaaaaa bbb");
  ASSERT_EQ(d.doc.GetLineFromPos(nCaret), 0) << "the shorter word fits the first row";
  EXPECT_EQ(d.doc.cli, 0);
  EXPECT_EQ(d.doc.block.nCaretLine, 0);
}

TEST_F(TextIoWrapDelete, DeleteWordLeavesCliOnTheRowThatHoldsTheCaret) {
  Open("aaaaaa bbbb c");
  const DWORD nCaret = 9;
  ASSERT_EQ(d.doc.GetLineFromPos(nCaret), 1);
  d.doc.SetSel(nCaret, nCaret, FALSE);
  ASSERT_TRUE(d.doc.DeleteWord());
  ASSERT_EQ(d.Text(), "aaaaaa bbc");
  ASSERT_EQ(d.doc.GetLineFromPos(nCaret), 0);
  EXPECT_EQ(d.doc.cli, 0);
  EXPECT_EQ(d.doc.block.nCaretLine, 0);
}

// ---------------------------------------------------------------------------
// GetParagraph

TEST(TextIoParagraph, AWrappedParagraphSpansFromItsFirstRowToItsLast) {
  IoDoc d(MIREL_ENCODING_ANSI);
  d.doc.nWrapMode = MIREL_WRAP_WORD;
  mirel_doc_test::SetFixedMetrics(d.doc, 8, 32, 84);
  ASSERT_TRUE(d.Fill("ab\r\naaaa bbbb cccc dddd eeee\r\nz"));
  ASSERT_EQ(d.doc.nLineCount, 5) << "the second paragraph wraps over three rows";
  int nStart = -1;
  int nEnd = -1;
  EXPECT_EQ(d.doc.GetParagraph(1, &nStart, &nEnd), 1);
  EXPECT_EQ(nStart, 4);
  EXPECT_EQ(nEnd, 28);  // before the CR LF
  EXPECT_EQ(d.doc.GetParagraph(2, &nStart, &nEnd), 1);
  EXPECT_EQ(nStart, 30);
  EXPECT_EQ(nEnd, 31);
  EXPECT_EQ(d.doc.GetParagraph(0, &nStart, nullptr), 1);
  EXPECT_EQ(nStart, 0);
}

TEST(TextIoParagraph, ANumberPastTheLastOrNegativeGivesZeros) {
  IoDoc d(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(d.Fill("a\r\nb"));
  for (int n : {2, 100, -1, INT_MIN}) {
    int nStart = 7;
    int nEnd = 7;
    EXPECT_EQ(d.doc.GetParagraph(n, &nStart, &nEnd), 0);
    EXPECT_EQ(nStart, 0);
    EXPECT_EQ(nEnd, 0);
  }
  // The hex view has no paragraphs: the outputs stay as they were.
  d.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  int nStart = 7;
  EXPECT_EQ(d.doc.GetParagraph(0, &nStart, nullptr), 0);
  EXPECT_EQ(nStart, 7);
}

}  // namespace
}  // namespace mirel_textio_test
