// Character lengths, line-end tests and character stepping in every encoding,
// with UTF-16 units that only look like control characters by their low byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "mirel/cmireldoc.h"
#include "positions_fixture.h"

namespace {

using mirel_test::TextDoc;
using mirel_test::Utf16Bytes;

const BYTE* Bytes(const std::string& s) {
  return reinterpret_cast<const BYTE*>(s.data());
}

DWORD Len(const std::string& s) {
  return static_cast<DWORD>(s.size());
}

// ---------------------------------------------------------------------------
// GetCharLength

TEST(PositionsCharLength, AnsiDoubleByteAndLineEnds) {
  CMirelDoc doc;
  // Korean code page: B0 A1 is one character; a lead byte as the last byte
  // of the text is a character of its own.
  const std::string s =
      "\xB0\xA1"
      "a\r\n\r\xB0";
  EXPECT_EQ(2u, doc.GetCharLength(Bytes(s), 0, Len(s), MIREL_ENCODING_ANSI, 949));
  EXPECT_EQ(1u, doc.GetCharLength(Bytes(s), 2, Len(s), MIREL_ENCODING_ANSI, 949));
  EXPECT_EQ(2u, doc.GetCharLength(Bytes(s), 3, Len(s), MIREL_ENCODING_ANSI, 949));
  EXPECT_EQ(1u, doc.GetCharLength(Bytes(s), 5, Len(s), MIREL_ENCODING_ANSI, 949));
  EXPECT_EQ(1u, doc.GetCharLength(Bytes(s), 6, Len(s), MIREL_ENCODING_ANSI, 949));
  // A lead byte followed by a line end never swallows it.
  const std::string t = "\xB0\n";
  EXPECT_EQ(1u, doc.GetCharLength(Bytes(t), 0, Len(t), MIREL_ENCODING_ANSI, 949));
  // The same bytes in a code page without lead bytes.
  EXPECT_EQ(1u, doc.GetCharLength(Bytes(s), 0, Len(s), MIREL_ENCODING_ANSI, 1252));
}

TEST(PositionsCharLength, Utf8SequencesAreCutAtTheTextEnd) {
  CMirelDoc doc;
  const std::string s = "\xEA\xB0\x80\xF0\x9F\x98\x80\xC3\xA9\r\n";
  EXPECT_EQ(3u, doc.GetCharLength(Bytes(s), 0, Len(s), MIREL_ENCODING_UTF8, 0));
  EXPECT_EQ(4u, doc.GetCharLength(Bytes(s), 3, Len(s), MIREL_ENCODING_UTF8_BOM, 0));
  EXPECT_EQ(2u, doc.GetCharLength(Bytes(s), 7, Len(s), MIREL_ENCODING_UTF8, 0));
  EXPECT_EQ(2u, doc.GetCharLength(Bytes(s), 9, Len(s), MIREL_ENCODING_UTF8, 0));
  // E3 two bytes before the end: only the two bytes left.
  const std::string cut = "a\xE3\x81";
  EXPECT_EQ(2u, doc.GetCharLength(Bytes(cut), 1, Len(cut), MIREL_ENCODING_UTF8, 0));
}

TEST(PositionsCharLength, Utf16UnitsAreWhole) {
  CMirelDoc doc;
  // CR LF units at the very end: one line end of 4 bytes.
  const std::string crlf = Utf16Bytes(u"a\r\n");
  EXPECT_EQ(4u, doc.GetCharLength(Bytes(crlf), 2, Len(crlf), MIREL_ENCODING_UTF16LE, 0));
  EXPECT_EQ(4u, doc.GetCharLength(Bytes(crlf), 2, Len(crlf), MIREL_ENCODING_UTF16BE, 0));
  // U+4E0D is 0D 4E and U+AC0A is 0A AC: neither is a CR or an LF.
  const std::string lookalike = Utf16Bytes(u"\u4E0D\n\r\uAC0A\u4E0D\uAC0D");
  EXPECT_EQ(2u, doc.GetCharLength(Bytes(lookalike), 0, Len(lookalike), MIREL_ENCODING_UTF16LE, 0));
  EXPECT_EQ(2u, doc.GetCharLength(Bytes(lookalike), 4, Len(lookalike), MIREL_ENCODING_UTF16LE, 0));
  EXPECT_EQ(2u, doc.GetCharLength(Bytes(lookalike), 8, Len(lookalike), MIREL_ENCODING_UTF16LE, 0));
  // Half a unit steps to the next whole unit; a lone last byte is 1 byte.
  EXPECT_EQ(1u, doc.GetCharLength(Bytes(lookalike), 3, Len(lookalike), MIREL_ENCODING_UTF16LE, 0));
  const std::string odd = Utf16Bytes(u"a") + "x";
  EXPECT_EQ(1u, doc.GetCharLength(Bytes(odd), 2, Len(odd), MIREL_ENCODING_UTF16LE, 0));
}

TEST(PositionsCharLength, OutsideTheTextOrUnknownEncoding) {
  CMirelDoc doc;
  const std::string s = "\r\nab";
  EXPECT_EQ(0u, doc.GetCharLength(Bytes(s), 4, 4, MIREL_ENCODING_ANSI, 0));
  EXPECT_EQ(0u, doc.GetCharLength(Bytes(s), 0xFFFFFFFFu, 4, MIREL_ENCODING_UTF16LE, 0));
  EXPECT_EQ(0u, doc.GetCharLength(nullptr, 0, 4, MIREL_ENCODING_ANSI, 0));
  EXPECT_EQ(1u, doc.GetCharLength(Bytes(s), 0, 4, MIREL_ENCODING_BINARY, 0));
  EXPECT_EQ(1u, doc.GetCharLength(Bytes(s), 0, 4, MIREL_ENCODING_UNDEFINED, 0));
  EXPECT_EQ(1u, doc.GetCharLength(Bytes(s), 0, 4, 77, 0));
}

// ---------------------------------------------------------------------------
// IsNewLineChar

TEST(PositionsNewLine, LineEndsInEveryEncoding) {
  TextDoc ansi;
  ASSERT_TRUE(ansi.SetText("a\r\nb\rc\n\xB0\xA1"));
  DWORD n = 99;
  EXPECT_FALSE(ansi.doc.IsNewLineChar(0, &n));
  EXPECT_EQ(1u, n);
  EXPECT_TRUE(ansi.doc.IsNewLineChar(1, &n));
  EXPECT_EQ(2u, n);
  EXPECT_TRUE(ansi.doc.IsNewLineChar(2, &n));  // the LF of the pair on its own
  EXPECT_EQ(1u, n);
  EXPECT_TRUE(ansi.doc.IsNewLineChar(4, &n));
  EXPECT_EQ(1u, n);
  EXPECT_FALSE(ansi.doc.IsNewLineChar(7, &n));
  EXPECT_EQ(2u, n);
  EXPECT_FALSE(ansi.doc.IsNewLineChar(9, &n));  // the text end
  EXPECT_EQ(0u, n);
  EXPECT_FALSE(ansi.doc.IsNewLineChar(1000, nullptr));

  TextDoc wide(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(wide.SetText(Utf16Bytes(u"\u4E0D\uAC0A\r\n\u4E0A\r")));
  EXPECT_FALSE(wide.doc.IsNewLineChar(0, &n));
  EXPECT_EQ(2u, n);
  EXPECT_FALSE(wide.doc.IsNewLineChar(2, &n));
  EXPECT_EQ(2u, n);
  EXPECT_TRUE(wide.doc.IsNewLineChar(4, &n));
  EXPECT_EQ(4u, n);
  EXPECT_FALSE(wide.doc.IsNewLineChar(8, &n));
  EXPECT_TRUE(wide.doc.IsNewLineChar(10, &n));
  EXPECT_EQ(2u, n);
  EXPECT_FALSE(wide.doc.IsNewLineChar(5, &n));  // half a unit
}

// ---------------------------------------------------------------------------
// Character stepping

TEST(PositionsStepping, PrevAndNextAcrossLineEndsAndDoubleBytes) {
  TextDoc doc;
  // The trail byte 0xB0 of "\xC7\xB0" is also a lead byte: stepping back must
  // not split the character.
  ASSERT_TRUE(doc.SetText("a\xC7\xB0\r\n\xB0\xA1"));
  EXPECT_EQ(1u, doc.doc.GetNextCharPos(0));
  EXPECT_EQ(3u, doc.doc.GetNextCharPos(1));
  EXPECT_EQ(5u, doc.doc.GetNextCharPos(3));
  EXPECT_EQ(7u, doc.doc.GetNextCharPos(5));
  EXPECT_EQ(7u, doc.doc.GetNextCharPos(7));
  EXPECT_EQ(7u, doc.doc.GetNextCharPos(500));

  EXPECT_EQ(5u, doc.doc.GetPrevCharPos(7));
  EXPECT_EQ(3u, doc.doc.GetPrevCharPos(5));  // the start of the CR LF
  EXPECT_EQ(1u, doc.doc.GetPrevCharPos(3));
  EXPECT_EQ(0u, doc.doc.GetPrevCharPos(1));
  EXPECT_EQ(0u, doc.doc.GetPrevCharPos(0));
  EXPECT_EQ(5u, doc.doc.GetPrevCharPos(500));  // clamped to the text end

  EXPECT_EQ(5u, doc.doc.GetPrevCharPosInParagraph(7));
  EXPECT_EQ(3u, doc.doc.GetPrevCharPosInParagraph(5));  // the end of the row before
  EXPECT_EQ(1u, doc.doc.GetPrevCharPosInParagraph(3));
  EXPECT_EQ(1u, doc.doc.GetPrevCharPosInParagraph(4));  // inside the CR LF pair
  EXPECT_EQ(0u, doc.doc.GetPrevCharPosInParagraph(1));
  EXPECT_EQ(0u, doc.doc.GetPrevCharPosInParagraph(0));
}

TEST(PositionsStepping, Utf8StepsBackOverWholeSequences) {
  TextDoc doc(MIREL_ENCODING_UTF8);
  ASSERT_TRUE(doc.SetText("\xC3\xA9\xEA\xB0\x80"));
  EXPECT_EQ(2u, doc.doc.GetPrevCharPos(5));
  EXPECT_EQ(2u, doc.doc.GetPrevCharPosInParagraph(5));
  EXPECT_EQ(0u, doc.doc.GetPrevCharPosInParagraph(2));
}

TEST(PositionsStepping, Utf16StepsByWholeUnits) {
  TextDoc doc(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(doc.SetText(Utf16Bytes(u"\uAC0D\r\n\u4E09")));
  EXPECT_EQ(2u, doc.doc.GetNextCharPos(0));
  EXPECT_EQ(6u, doc.doc.GetNextCharPos(2));
  EXPECT_EQ(2u, doc.doc.GetPrevCharPos(6));
  EXPECT_EQ(0u, doc.doc.GetPrevCharPos(2));
  EXPECT_EQ(6u, doc.doc.GetPrevCharPos(8));
  // An odd position steps back to the unit that holds its first half.
  EXPECT_EQ(6u, doc.doc.GetPrevCharPos(7));
  EXPECT_EQ(2u, doc.doc.GetCharLength(doc.Text(), 6, doc.Length(), MIREL_ENCODING_UTF16LE, 0));
}

TEST(PositionsStepping, NoTextStoreAnswersZero) {
  CMirelDoc doc;
  DWORD n = 5;
  EXPECT_FALSE(doc.IsNewLineChar(0, &n));
  EXPECT_EQ(0u, n);
  EXPECT_EQ(0u, doc.GetNextCharPos(3));
  EXPECT_EQ(0u, doc.GetPrevCharPos(3));
  EXPECT_EQ(0u, doc.GetPrevCharPosInParagraph(3));
  EXPECT_EQ(0, doc.GetLineFromPos(3));
  EXPECT_EQ(0u, doc.GetParagraphEnd(3));
  EXPECT_EQ(0u, doc.GetCurrentCharLen());
}

}  // namespace
