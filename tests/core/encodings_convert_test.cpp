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

TEST_P(CodePageConversion, AnsiToWideChar) {
  const CodePageText& t = GetParam();
  CEncodings enc(t.ansi.data(), static_cast<int>(t.ansi.size()), MIREL_ENCODING_ANSI, t.codePage);
  EXPECT_EQ(enc.ToWideChar(), static_cast<int>(t.utf16le.size()));
  EXPECT_EQ(Output(enc), t.utf16le);
}

TEST_P(CodePageConversion, AnsiToUtf8) {
  const CodePageText& t = GetParam();
  CEncodings enc(t.ansi.data(), static_cast<int>(t.ansi.size()), MIREL_ENCODING_ANSI, t.codePage);
  EXPECT_EQ(enc.ToUtf8(), static_cast<int>(t.utf8.size()));
  EXPECT_EQ(Output(enc), t.utf8);
}

TEST_P(CodePageConversion, WideToMultiByte) {
  const CodePageText& t = GetParam();
  CEncodings enc(t.utf16le.data(), static_cast<int>(t.utf16le.size()), MIREL_ENCODING_UTF16LE, t.codePage);
  EXPECT_EQ(enc.ToMultiByte(), static_cast<int>(t.ansi.size()));
  EXPECT_EQ(Output(enc), t.ansi);
}

TEST_P(CodePageConversion, Utf8ToMultiByte) {
  const CodePageText& t = GetParam();
  for (int encoding : {MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF8_BOM}) {
    CEncodings enc(t.utf8.data(), static_cast<int>(t.utf8.size()), encoding, t.codePage);
    EXPECT_EQ(enc.ToMultiByte(), static_cast<int>(t.ansi.size())) << encoding;
    EXPECT_EQ(Output(enc), t.ansi) << encoding;
  }
}

TEST_P(CodePageConversion, Utf8ToWideChar) {
  const CodePageText& t = GetParam();
  CEncodings enc(t.utf8.data(), static_cast<int>(t.utf8.size()), MIREL_ENCODING_UTF8, t.codePage);
  EXPECT_EQ(enc.ToWideChar(), static_cast<int>(t.utf16le.size()));
  EXPECT_EQ(Output(enc), t.utf16le);
}

TEST_P(CodePageConversion, WideToUtf8) {
  const CodePageText& t = GetParam();
  CEncodings enc(t.utf16le.data(), static_cast<int>(t.utf16le.size()), MIREL_ENCODING_UTF16LE, t.codePage);
  EXPECT_EQ(enc.ToUtf8(), static_cast<int>(t.utf8.size()));
  EXPECT_EQ(Output(enc), t.utf8);
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

TEST(CEncodingsConvert, LatinSmallEAcuteToUtf8) {
  const BYTE wide[] = {0x41, 0x00, 0xE9, 0x00};
  CEncodings enc(wide, 4, MIREL_ENCODING_UTF16LE, 0);
  EXPECT_EQ(enc.ToUtf8(), 3);
  EXPECT_EQ(Output(enc), (Bytes{0x41, 0xC3, 0xA9}));
}

TEST(CEncodingsConvert, SurrogatePairs) {
  const BYTE utf8[] = {0xF0, 0x9F, 0x98, 0x80};
  CEncodings toWide(utf8, 4, MIREL_ENCODING_UTF8, 0);
  EXPECT_EQ(toWide.ToWideChar(), 4);
  EXPECT_EQ(Output(toWide), (Bytes{0x3D, 0xD8, 0x00, 0xDE}));

  const BYTE wide[] = {0x3D, 0xD8, 0x00, 0xDE, 0x00, 0xD8};  // a pair, then a lone high surrogate
  CEncodings toUtf8(wide, 6, MIREL_ENCODING_UTF16LE, 0);
  EXPECT_EQ(toUtf8.ToUtf8(), 7);
  EXPECT_EQ(Output(toUtf8), (Bytes{0xF0, 0x9F, 0x98, 0x80, 0xEF, 0xBF, 0xBD}));
}

TEST(CEncodingsConvert, CodeTwoUnitsAreLittleEndian) {
  const BYTE wide[] = {0x41, 0x00, 0x5C, 0xD5};
  CEncodings enc(wide, 4, MIREL_ENCODING_UTF16BE, 949);
  EXPECT_EQ(enc.ToUtf8(), 4);
  EXPECT_EQ(Output(enc), (Bytes{0x41, 0xED, 0x95, 0x9C}));
  EXPECT_EQ(enc.ToMultiByte(), 3);
  EXPECT_EQ(Output(enc), (Bytes{0x41, 0xC7, 0xD1}));
}

TEST(CEncodingsConvert, OddUtf16LengthDropsTheHalfUnit) {
  // Source at an odd address and with a trailing half unit.
  const BYTE storage[] = {0x00, 0x41, 0x00, 0x42, 0x00, 0x43};
  CEncodings enc(storage + 1, 5, MIREL_ENCODING_UTF16LE, 1252);
  EXPECT_EQ(enc.ToMultiByte(), 2);
  EXPECT_EQ(Output(enc), (Bytes{0x41, 0x42}));
}

TEST(CEncodingsConvert, CutUtf8SequenceBecomesOneReplacement) {
  const BYTE utf8[] = {0x41, 0xE4, 0xB8};
  CEncodings enc(utf8, 3, MIREL_ENCODING_UTF8, 0);
  EXPECT_EQ(enc.ToWideChar(), 4);
  EXPECT_EQ(Output(enc), (Bytes{0x41, 0x00, 0xFD, 0xFF}));
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

TEST(CEncodingsConvert, AZeroUnitEndsTheUtf8Output) {
  const BYTE wide[] = {0x41, 0x00, 0x00, 0x00, 0x42, 0x00};
  CEncodings enc(wide, 6, MIREL_ENCODING_UTF16LE, 0);
  EXPECT_EQ(enc.ToUtf8(), 1);
  EXPECT_EQ(Output(enc), (Bytes{0x41}));
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
