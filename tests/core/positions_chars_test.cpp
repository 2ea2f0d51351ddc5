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

TEST(PositionsCharLength, WholeCharactersAndLineEndsInEveryEncoding) {
  constexpr int A = MIREL_ENCODING_ANSI, U8 = MIREL_ENCODING_UTF8, LE = MIREL_ENCODING_UTF16LE;
  // Korean code page: B0 A1 is one character; a lead byte as the last byte
  // of the text is a character of its own.
  const std::string dbcs =
      "\xB0\xA1"
      "a\r\n\r\xB0";
  const std::string utf8 = "\xEA\xB0\x80\xF0\x9F\x98\x80\xC3\xA9\r\n";
  // A pair, a lone high surrogate before a letter, a lone low one and a high
  // one as the last unit.
  const std::string surrogates = Utf16Bytes(
      u"a\xD83D\xDE00\xD83D"
      u"b\xDE00\xD83D");
  // U+4E0D is 0D 4E and U+AC0A is 0A AC: neither is a CR or an LF.
  const std::string lookalike = Utf16Bytes(u"\u4E0D\n\r\uAC0A\u4E0D\uAC0D");
  const struct Case {
    const char* name;
    std::string text;
    DWORD nPos;
    int nEncoding;
    int nCodePage;
    DWORD nExpected;
  } kCases[] = {
      {"double byte", dbcs, 0, A, 949, 2},
      {"ASCII", dbcs, 2, A, 949, 1},
      {"CR LF", dbcs, 3, A, 949, 2},
      {"lone CR", dbcs, 5, A, 949, 1},
      {"lead byte last", dbcs, 6, A, 949, 1},
      {"a lead byte never swallows a line end", "\xB0\n", 0, A, 949, 1},
      {"a code page without lead bytes", dbcs, 0, A, 1252, 1},
      {"three-byte sequence", utf8, 0, U8, 0, 3},
      {"four-byte sequence with a mark", utf8, 3, MIREL_ENCODING_UTF8_BOM, 0, 4},
      {"two-byte sequence", utf8, 7, U8, 0, 2},
      {"UTF-8 CR LF", utf8, 9, U8, 0, 2},
      {"a sequence cut by the text end", "a\xE3\x81", 1, U8, 0, 2},
      {"CR LF units at the very end", Utf16Bytes(u"a\r\n"), 2, LE, 0, 4},
      {"CR LF units with code 2", Utf16Bytes(u"a\r\n"), 2, MIREL_ENCODING_UTF16BE, 0, 4},
      {"U+4E0D", lookalike, 0, LE, 0, 2},
      {"LF unit before a CR unit", lookalike, 4, LE, 0, 2},
      {"U+AC0A", lookalike, 8, LE, 0, 2},
      // Half a unit steps to the next whole unit; a lone last byte is 1 byte.
      {"half a unit", lookalike, 3, LE, 0, 1},
      {"a lone last byte", Utf16Bytes(u"a") + "x", 2, LE, 0, 1},
      // A character beyond the basic plane is one surrogate pair of 4 bytes.
      {"surrogate pair", surrogates, 2, LE, 0, 4},
      {"surrogate pair with code 2", surrogates, 2, MIREL_ENCODING_UTF16BE, 0, 4},
      {"low half of a pair", surrogates, 4, LE, 0, 2},
      {"lone high surrogate", surrogates, 6, LE, 0, 2},
      {"lone low surrogate", surrogates, 10, LE, 0, 2},
      {"high surrogate as the last unit", surrogates, 12, LE, 0, 2},
      {"high surrogate before half a unit", surrogates + "x", 12, LE, 0, 2},
  };
  CMirelDoc doc;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.nExpected, doc.GetCharLength(Bytes(c.text), c.nPos, Len(c.text), c.nEncoding, c.nCodePage));
  }
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

TEST(PositionsStepping, Utf16SurrogatePairIsOneCharacter) {
  TextDoc doc(MIREL_ENCODING_UTF16LE);
  // a, U+1F600, b, a lone low surrogate, c.
  ASSERT_TRUE(
      doc.SetText(Utf16Bytes(u"a\xD83D\xDE00"
                             u"b\xDE00"
                             u"c")));
  // A position (4 lies between the halves of the pair), the next character
  // start, the previous one, and the previous one within the paragraph.
  const struct {
    DWORD nPos, nNext, nPrev, nPrevInParagraph;
  } kSteps[] = {{0, 2, 0, 0},  {2, 6, 0, 0},   {4, 6, 2, 0},    {6, 8, 2, 2},
                {8, 10, 6, 6}, {10, 12, 8, 8}, {12, 12, 10, 10}};
  for (const auto& c : kSteps) {
    EXPECT_EQ(c.nNext, doc.doc.GetNextCharPos(c.nPos)) << "at " << c.nPos;
    EXPECT_EQ(c.nPrev, doc.doc.GetPrevCharPos(c.nPos)) << "at " << c.nPos;
    EXPECT_EQ(c.nPrevInParagraph, doc.doc.GetPrevCharPosInParagraph(c.nPos)) << "at " << c.nPos;
  }
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
