// Inserting host text at the caret and over the selection, the deletions
// (selection, character, word) and the paragraph range.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <functional>

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

// An insertion at the caret or over the selection leaves the caret after the
// new text with the block collapsed there and no virtual space.
TEST(TextIoInsert, TheCaretEndsAfterTheTextWithNoSelection) {
  const std::basic_string<WCHAR> wide = HostWide(u"b\r\nc");
  const struct Case {
    const char* name;
    int nEncoding;
    std::string text;
    std::function<void(CMirelDoc&)> setUp;
    std::function<int(CMirelDoc&)> insert;
    std::string expected;
    int nCaret, nRow;
  } kCases[] = {
      {"at the caret", MIREL_ENCODING_UTF16LE, LeBytes(u"ad"),
       [](CMirelDoc& doc) {
         doc.SetSel(2, 2, FALSE);
         doc.nVirtualSpace = 0;
       },
       [&wide](CMirelDoc& doc) { return doc.InsertW(wide.data(), 4, FALSE); }, LeBytes(u"ab\r\ncd"), 10, 1},
      {"over a backward selection", MIREL_ENCODING_UTF8, "one two three",
       [](CMirelDoc& doc) {
         doc.SetSel(8, 4, FALSE);  // "two "
         doc.nVirtualSpace = 3;
       },
       [](CMirelDoc& doc) { return doc.InsertU("\xEA\xB8\x80", 3, TRUE); }, "one \xEA\xB8\x80three", 7, 0},
      // A host may move the caret away from the selection; the insert still
      // replaces the selected bytes and no others.
      {"over the selection wherever the caret stands", MIREL_ENCODING_ANSI, "0123456789",
       [](CMirelDoc& doc) {
         doc.SetSel(6, 8, FALSE);
         doc.nCaretPos = 1;
       },
       [](CMirelDoc& doc) { return doc.InsertA("ab", 2, TRUE); }, "012345ab89", 8, 0},
      {"over a stale selection past the text, cut to the text", MIREL_ENCODING_ANSI, "0123456789",
       [](CMirelDoc& doc) {
         doc.SetSel(7, 10, FALSE);
         ASSERT_TRUE(doc.DeleteContents(5, 5, FALSE));  // the host cut the text without the selection
       },
       [](CMirelDoc& doc) { return doc.InsertA("x", 1, FALSE); }, "01234x", 6, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    IoDoc d(c.nEncoding);
    ASSERT_TRUE(d.Fill(c.text));
    c.setUp(d.doc);
    ASSERT_EQ(c.insert(d.doc), 1);
    EXPECT_EQ(d.Text(), c.expected);
    EXPECT_EQ(d.doc.nCaretPos, c.nCaret);
    EXPECT_EQ(d.doc.cli, c.nRow);
    EXPECT_EQ(d.doc.nVirtualSpace, 0);
    EXPECT_FALSE(d.doc.block.HasSelection());
    EXPECT_EQ(d.doc.block.nAnchor, static_cast<DWORD>(c.nCaret));
    EXPECT_EQ(d.doc.block.nCaret, static_cast<DWORD>(c.nCaret));
    EXPECT_EQ(d.doc.block.nCaretLine, c.nRow);
  }
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

// Delete at a caret or over a selection: what goes, where the caret ends,
// and an undo record only when the text changed.
TEST(TextIoDelete, TakesWholeCharactersOrTheSelection) {
  const struct Case {
    const char* name;
    int nEncoding;
    std::string text;
    DWORD nAnchor, nCaret;
    int nVirtual;
    std::string expected;
    int nCaretAfter;    // -1: not checked
    int nVirtualAfter;  // -1: not checked
  } kCases[] = {
      {"at the end of the text nothing changes", MIREL_ENCODING_ANSI, "ab", 2, 2, 0, "ab", 2, -1},
      {"a surrogate pair goes whole", MIREL_ENCODING_UTF16LE, LeBytes(u"a\U0001F600b"), 2, 2, 0,
       LeBytes(u"ab"), -1, -1},
      {"a double-byte character goes whole", MIREL_ENCODING_ANSI, "a\xC7\xD1z", 1, 1, 0, "az", -1, -1},
      {"a UTF-8 sequence goes whole", MIREL_ENCODING_UTF8, "a\xF0\x9F\x98\x80z", 1, 1, 0, "az", -1, -1},
      {"the selection goes and nothing else", MIREL_ENCODING_ANSI, "abcdef", 4, 1, 0, "aef", 1, -1},
      {"in virtual space only the caret moves back", MIREL_ENCODING_ANSI, "ab\r\ncd", 2, 2, 2, "ab\r\ncd", -1,
       1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    IoDoc d(c.nEncoding);
    ASSERT_TRUE(d.Fill(c.text));
    d.doc.SetSel(c.nAnchor, c.nCaret, FALSE);
    d.doc.nVirtualSpace = c.nVirtual;
    EXPECT_EQ(d.doc.Delete(0), 1);
    EXPECT_EQ(d.Text(), c.expected);
    if (c.nCaretAfter >= 0) {
      EXPECT_EQ(d.doc.nCaretPos, c.nCaretAfter);
    }
    if (c.nVirtualAfter >= 0) {
      EXPECT_EQ(d.doc.nVirtualSpace, c.nVirtualAfter);
    }
    EXPECT_FALSE(d.doc.block.HasSelection());
    EXPECT_EQ(d.doc.CanUndo(), c.expected != c.text);
  }
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

// "bbbb" stands on the second row; the shorter word after the deletion fits
// the first row, and cli follows the caret there.
TEST(TextIoWrapDelete, DeletionsLeaveCliOnTheRowThatHoldsTheCaret) {
  const struct Case {
    const char* name;
    const char* text;
    BOOL bWord;
    const char* expected;
  } kCases[] = {
      {"Delete", "aaaaaa bbbb", FALSE, "aaaaaa bbb"},
      {"DeleteWord", "aaaaaa bbbb c", TRUE, "aaaaaa bbc"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    // Rows of 10 fixed-width characters at most, words wrapped.
    IoDoc d(MIREL_ENCODING_ANSI);
    d.doc.nWrapMode = MIREL_WRAP_WORD;
    mirel_doc_test::SetFixedMetrics(d.doc, 8, 32, 84);
    ASSERT_TRUE(d.Fill(c.text));
    const DWORD nCaret = 9;  // inside "bbbb"
    ASSERT_EQ(d.doc.GetLineFromPos(nCaret), 1);
    d.doc.SetSel(nCaret, nCaret, FALSE);
    ASSERT_EQ(d.doc.cli, 1);
    if (c.bWord) {
      ASSERT_TRUE(d.doc.DeleteWord());
    } else {
      d.doc.Delete(0);
    }
    ASSERT_EQ(d.Text(), c.expected);
    ASSERT_EQ(d.doc.GetLineFromPos(nCaret), 0);
    EXPECT_EQ(d.doc.cli, 0);
    EXPECT_EQ(d.doc.block.nCaretLine, 0);
  }
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
