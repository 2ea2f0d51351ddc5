// CEncodings conversions between code pages, UTF-16LE and UTF-8, compared
// byte for byte. The code-page bytes were produced once by iconv and are
// kept here as data.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mirel/cencodings.h"
#include "mirel/mirel.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes Output(const CEncodings& enc) {
  if (enc.GetOutput() == nullptr) return {};
  return Bytes(enc.GetOutput(), enc.GetOutput() + enc.GetOutputLength());
}

// "41 C3 A9" as bytes.
Bytes HexBytes(const char* psz) {
  Bytes out;
  for (const char* p = psz; *p != 0;) {
    if (*p == ' ') {
      ++p;
      continue;
    }
    out.push_back(static_cast<BYTE>(std::stoi(std::string(p, 2), nullptr, 16)));
    p += 2;
  }
  return out;
}

// One text in three forms.
struct CodePageText {
  const char* name;
  int codePage;
  Bytes ansi;
  Bytes utf16le;
  Bytes utf8;
};

void PrintTo(const CodePageText& c, std::ostream* os) {
  *os << c.name;
}

class CodePageConversion : public testing::TestWithParam<CodePageText> {};

using Convert = int (CEncodings::*)();

// One conversion between two forms of a text.
struct Direction {
  const char* name;
  Bytes CodePageText::*from;
  int nEncoding;
  Convert convert;
  Bytes CodePageText::*to;
};

const Direction kDirections[] = {
    {"AnsiToWideChar", &CodePageText::ansi, MIREL_ENCODING_ANSI, &CEncodings::ToWideChar,
     &CodePageText::utf16le},
    {"AnsiToUtf8", &CodePageText::ansi, MIREL_ENCODING_ANSI, &CEncodings::ToUtf8, &CodePageText::utf8},
    {"WideToMultiByte", &CodePageText::utf16le, MIREL_ENCODING_UTF16LE, &CEncodings::ToMultiByte,
     &CodePageText::ansi},
    {"Utf8ToMultiByte", &CodePageText::utf8, MIREL_ENCODING_UTF8, &CEncodings::ToMultiByte,
     &CodePageText::ansi},
    {"Utf8BomToMultiByte", &CodePageText::utf8, MIREL_ENCODING_UTF8_BOM, &CEncodings::ToMultiByte,
     &CodePageText::ansi},
    {"Utf8ToWideChar", &CodePageText::utf8, MIREL_ENCODING_UTF8, &CEncodings::ToWideChar,
     &CodePageText::utf16le},
    {"WideToUtf8", &CodePageText::utf16le, MIREL_ENCODING_UTF16LE, &CEncodings::ToUtf8, &CodePageText::utf8},
};

TEST_P(CodePageConversion, EveryDirectionGivesTheOtherFormExactly) {
  const CodePageText& t = GetParam();
  for (const Direction& d : kDirections) {
    SCOPED_TRACE(d.name);
    const Bytes& from = t.*d.from;
    const Bytes& to = t.*d.to;
    CEncodings enc(from.data(), static_cast<int>(from.size()), d.nEncoding, t.codePage);
    EXPECT_EQ((enc.*d.convert)(), static_cast<int>(to.size()));
    EXPECT_EQ(Output(enc), to);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CodePageConversion,
    testing::Values(
        // "한글 가A"
        CodePageText{"Korean949",
                     949,
                     {0xC7, 0xD1, 0xB1, 0xDB, 0x20, 0xB0, 0xA1, 0x41},
                     {0x5C, 0xD5, 0x00, 0xAE, 0x20, 0x00, 0x00, 0xAC, 0x41, 0x00},
                     {0xED, 0x95, 0x9C, 0xEA, 0xB8, 0x80, 0x20, 0xEA, 0xB0, 0x80, 0x41}},
        // "똠방각하": the first syllable lies outside the older Korean set and
        // uses the extended lead byte 0x8C.
        CodePageText{"KoreanExtended949",
                     949,
                     {0x8C, 0x63, 0xB9, 0xE6, 0xB0, 0xA2, 0xC7, 0xCF},
                     {0x20, 0xB6, 0x29, 0xBC, 0x01, 0xAC, 0x58, 0xD5},
                     {0xEB, 0x98, 0xA0, 0xEB, 0xB0, 0xA9, 0xEA, 0xB0, 0x81, 0xED, 0x95, 0x98}},
        // "漢字"
        CodePageText{"Hanja949",
                     949,
                     {0xF9, 0xD3, 0xED, 0xAE},
                     {0x22, 0x6F, 0x57, 0x5B},
                     {0xE6, 0xBC, 0xA2, 0xE5, 0xAD, 0x97}},
        // "ｶﾀｶﾅ漢字ABC": single-byte katakana and double-byte kanji.
        CodePageText{"Japanese932",
                     932,
                     {0xB6, 0xC0, 0xB6, 0xC5, 0x8A, 0xBF, 0x8E, 0x9A, 0x41, 0x42, 0x43},
                     {0x76, 0xFF, 0x80, 0xFF, 0x76, 0xFF, 0x85, 0xFF, 0x22, 0x6F, 0x57, 0x5B, 0x41, 0x00,
                      0x42, 0x00, 0x43, 0x00},
                     {0xEF, 0xBD, 0xB6, 0xEF, 0xBE, 0x80, 0xEF, 0xBD, 0xB6, 0xEF, 0xBE,
                      0x85, 0xE6, 0xBC, 0xA2, 0xE5, 0xAD, 0x97, 0x41, 0x42, 0x43}},
        // "Ærø€": the euro sign sits at 0x80 in this code page.
        CodePageText{"Western1252",
                     1252,
                     {0xC6, 0x72, 0xF8, 0x80},
                     {0xC6, 0x00, 0x72, 0x00, 0xF8, 0x00, 0xAC, 0x20},
                     {0xC3, 0x86, 0x72, 0xC3, 0xB8, 0xE2, 0x82, 0xAC}}),
    [](const testing::TestParamInfo<CodePageText>& info) { return std::string(info.param.name); });

TEST(CEncodingsConvert, CodePageZeroIsTheSystemCodePage) {
  const BYTE ansi[] = {0xC7, 0xD1, 0x41, 0xE9, 0x80};
  CEncodings byZero(ansi, 5, MIREL_ENCODING_ANSI, 0);
  CEncodings byAcp(ansi, 5, MIREL_ENCODING_ANSI, static_cast<int>(GetACP()));
  byZero.ToWideChar();
  byAcp.ToWideChar();
  ASSERT_GT(byZero.GetOutputLength(), 0);
  EXPECT_EQ(Output(byZero), Output(byAcp));
  // The one-argument constructor converts with the system code page too.
  const BYTE utf8[] = {0xED, 0x95, 0x9C, 0x41};
  CEncodings detected(utf8, 4);
  CEncodings explicitAcp(utf8, 4, MIREL_ENCODING_UTF8, static_cast<int>(GetACP()));
  EXPECT_EQ(detected.ToMultiByte(), explicitAcp.ToMultiByte());
  EXPECT_EQ(Output(detected), Output(explicitAcp));
}

// Conversions whose output is not simply another form of the same text.
TEST(CEncodingsConvert, SurrogatesZerosAndCutSequences) {
  const struct Case {
    const char* name;
    const char* source;  // hex bytes
    int nEncoding;
    int nCodePage;
    Convert convert;
    const char* expected;  // hex bytes
  } kCases[] = {
      {"latin small e acute to UTF-8", "41 00 E9 00", MIREL_ENCODING_UTF16LE, 0, &CEncodings::ToUtf8,
       "41 C3 A9"},
      {"four bytes to a surrogate pair", "F0 9F 98 80", MIREL_ENCODING_UTF8, 0, &CEncodings::ToWideChar,
       "3D D8 00 DE"},
      {"a pair and a lone high surrogate to UTF-8", "3D D8 00 DE 00 D8", MIREL_ENCODING_UTF16LE, 0,
       &CEncodings::ToUtf8, "F0 9F 98 80 EF BF BD"},
      // Code 2 is only a byte-order mark: its units are little-endian.
      {"code 2 units to UTF-8", "41 00 5C D5", MIREL_ENCODING_UTF16BE, 949, &CEncodings::ToUtf8,
       "41 ED 95 9C"},
      {"code 2 units to the code page", "41 00 5C D5", MIREL_ENCODING_UTF16BE, 949, &CEncodings::ToMultiByte,
       "41 C7 D1"},
      {"a cut UTF-8 sequence is one replacement", "41 E4 B8", MIREL_ENCODING_UTF8, 0, &CEncodings::ToWideChar,
       "41 00 FD FF"},
      {"a zero unit ends the UTF-8 output", "41 00 00 00 42 00", MIREL_ENCODING_UTF16LE, 0,
       &CEncodings::ToUtf8, "41"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const Bytes source = HexBytes(c.source);  // exactly sized: a read past it shows
    const Bytes expected = HexBytes(c.expected);
    CEncodings enc(source.data(), static_cast<int>(source.size()), c.nEncoding, c.nCodePage);
    EXPECT_EQ((enc.*c.convert)(), static_cast<int>(expected.size()));
    EXPECT_EQ(Output(enc), expected);
  }
}

TEST(CEncodingsConvert, OddUtf16LengthDropsTheHalfUnit) {
  // Source at an odd address and with a trailing half unit.
  const BYTE storage[] = {0x00, 0x41, 0x00, 0x42, 0x00, 0x43};
  CEncodings enc(storage + 1, 5, MIREL_ENCODING_UTF16LE, 1252);
  EXPECT_EQ(enc.ToMultiByte(), 2);
  EXPECT_EQ(Output(enc), (Bytes{0x41, 0x42}));
}

TEST(CEncodingsConvert, SameEncodingGivesNothing) {
  const BYTE text[] = {0x41, 0x42};
  CEncodings ansi(text, 2, MIREL_ENCODING_ANSI, 0);
  EXPECT_EQ(ansi.ToMultiByte(), 0);
  EXPECT_EQ(ansi.GetOutput(), nullptr);
  CEncodings wide(text, 2, MIREL_ENCODING_UTF16LE, 0);
  EXPECT_EQ(wide.ToWideChar(), 0);
  CEncodings utf8(text, 2, MIREL_ENCODING_UTF8, 0);
  EXPECT_EQ(utf8.ToUtf8(), 0);
  EXPECT_EQ(utf8.GetOutputLength(), 0);
}

TEST(CEncodingsConvert, UnhandledEncodingAssertsAndGivesNothing) {
  const BYTE text[] = {0x41, 0x42};
  CEncodings binary(text, 2, MIREL_ENCODING_BINARY, 0);
  MirelResetAssertFailures();
  EXPECT_EQ(binary.ToMultiByte(), 0);
  EXPECT_EQ(binary.ToWideChar(), 0);
  EXPECT_EQ(binary.ToUtf8(), 0);
  EXPECT_EQ(binary.GetOutput(), nullptr);
  EXPECT_EQ(MirelAssertFailureCount(), 3);
  MirelResetAssertFailures();
}

TEST(CEncodingsConvert, EmptyNullAndNegativeSourcesGiveNothing) {
  const BYTE text[] = {0x41, 0x42};
  for (int encoding : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8}) {
    CEncodings null(nullptr, 10, encoding, 0);
    EXPECT_EQ(null.ToMultiByte(), 0);
    EXPECT_EQ(null.ToWideChar(), 0);
    EXPECT_EQ(null.ToUtf8(), 0);
    CEncodings negative(text, -2, encoding, 0);
    EXPECT_EQ(negative.ToMultiByte(), 0);
    EXPECT_EQ(negative.ToWideChar(), 0);
    EXPECT_EQ(negative.ToUtf8(), 0);
    EXPECT_EQ(negative.GetOutput(), nullptr);
  }
}

TEST(CEncodingsConvert, SecondConversionReplacesTheFirst) {
  const BYTE utf8[] = {0xED, 0x95, 0x9C};
  CEncodings enc(utf8, 3, MIREL_ENCODING_UTF8, 949);
  EXPECT_EQ(enc.ToWideChar(), 2);
  EXPECT_EQ(enc.ToMultiByte(), 2);
  EXPECT_EQ(Output(enc), (Bytes{0xC7, 0xD1}));
  // A conversion that has nothing to do leaves no stale output behind.
  EXPECT_EQ(enc.ToUtf8(), 0);
  EXPECT_EQ(enc.GetOutput(), nullptr);
  EXPECT_EQ(enc.GetOutputLength(), 0);
}

}  // namespace
