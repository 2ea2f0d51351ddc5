// Encoding and newline sniffing of byte buffers, called directly.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mirelctrl/mirelctrl.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<char>;

// The text as UTF-16: every character becomes one little-endian unit. Both
// UTF-16 codes hold little-endian units.
Bytes Wide(const std::string& text) {
  Bytes out;
  for (char c : text) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

int Format(const Bytes& bytes, int encoding) {
  return Mirel_DetermineFileFormat(bytes.data(), static_cast<unsigned>(bytes.size()), encoding);
}

struct FormatCase {
  const char* name;
  std::string text;
  int expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << c.name;
}

class DetermineFileFormatTable : public testing::TestWithParam<FormatCase> {};

TEST_P(DetermineFileFormatTable, SameResultInEveryEncoding) {
  const FormatCase& c = GetParam();
  const Bytes ansi(c.text.begin(), c.text.end());
  EXPECT_EQ(Format(ansi, MIREL_ENCODING_ANSI), c.expected) << "ANSI";
  EXPECT_EQ(Format(ansi, MIREL_ENCODING_UTF8), c.expected) << "UTF-8";
  EXPECT_EQ(Format(Wide(c.text), MIREL_ENCODING_UTF16LE), c.expected) << "UTF-16LE";
  EXPECT_EQ(Format(Wide(c.text), MIREL_ENCODING_UTF16BE), c.expected) << "code 2";
}

INSTANTIATE_TEST_SUITE_P(Cases, DetermineFileFormatTable,
                         testing::Values(FormatCase{"MostlyLf", "a\nb\nc\r\n", MIREL_FILE_FORMAT_LF},
                                         FormatCase{"TieGoesToCrLf", "a\r\nb\n", MIREL_FILE_FORMAT_CRLF},
                                         FormatCase{"TieOfLfAndCrGoesToLf", "a\nb\r", MIREL_FILE_FORMAT_LF},
                                         FormatCase{"ThreeWayTie", "a\r\nb\nc\r", MIREL_FILE_FORMAT_CRLF},
                                         FormatCase{"NoNewline", "abc", MIREL_FILE_FORMAT_CRLF},
                                         FormatCase{"Empty", "", MIREL_FILE_FORMAT_CRLF},
                                         FormatCase{"CrAtTheEnd", "a\r", MIREL_FILE_FORMAT_CR},
                                         FormatCase{"MostlyCr", "a\rb\rc\r\n", MIREL_FILE_FORMAT_CR},
                                         // LF CR is an LF and then a lone CR, not a pair.
                                         FormatCase{"LfCrIsNotAPair", "a\n\rb\r", MIREL_FILE_FORMAT_CR},
                                         FormatCase{"CrCrLf", "\r\r\n\r\n", MIREL_FILE_FORMAT_CRLF}),
                         [](const testing::TestParamInfo<FormatCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(DetermineFileFormat, WideUnitsCountOnlyAsWholeUnits) {
  // U+0D0A and U+0A0D hold CR and LF bytes, U+4E0D a CR byte, U+0D00 a CR in
  // the high byte: none of them is a newline.
  const Bytes fakes = {0x0A, 0x0D, 0x0D, 0x0A, 0x0D, 0x4E, 0x00, 0x0D, 0x0D, 0x0A, 0x0A, 0x00, 0x0A, 0x00};
  // Only the two real LF units at the end count.
  EXPECT_EQ(Format(fakes, MIREL_ENCODING_UTF16LE), MIREL_FILE_FORMAT_LF);
  EXPECT_EQ(Format(fakes, MIREL_ENCODING_UTF16BE), MIREL_FILE_FORMAT_LF);
  // Without the real ones nothing counts, so the answer is the default.
  const Bytes onlyFakes(fakes.begin(), fakes.end() - 6);
  EXPECT_EQ(Format(onlyFakes, MIREL_ENCODING_UTF16LE), MIREL_FILE_FORMAT_CRLF);
  // A CR unit followed by U+0D0A is a lone CR.
  const Bytes crThenFake = {0x0D, 0x00, 0x0A, 0x0D};
  EXPECT_EQ(Format(crThenFake, MIREL_ENCODING_UTF16LE), MIREL_FILE_FORMAT_CR);
}

TEST(DetermineFileFormat, HalfUnitAtTheEndIsIgnored) {
  // The last byte is half a unit: it is no CR.
  const Bytes odd = {'a', 0x00, '\n', 0x00, 0x0D};
  EXPECT_EQ(Format(odd, MIREL_ENCODING_UTF16LE), MIREL_FILE_FORMAT_LF);
  EXPECT_EQ(Format(odd, MIREL_ENCODING_UTF16BE), MIREL_FILE_FORMAT_LF);
  // A CR unit whose following LF lies past the length is a lone CR.
  const Bytes cut = {0x0D, 0x00, 0x0A};
  EXPECT_EQ(Format(cut, MIREL_ENCODING_UTF16LE), MIREL_FILE_FORMAT_CR);
}

TEST(DetermineFileFormat, LengthLimitsTheScan) {
  const std::string text = "a\r\nb\nc\nd\n";
  // Within the first four bytes there is one CR LF only.
  EXPECT_EQ(Mirel_DetermineFileFormat(text.data(), 4, MIREL_ENCODING_ANSI), MIREL_FILE_FORMAT_CRLF);
  // Cutting between CR and LF leaves a lone CR.
  EXPECT_EQ(Mirel_DetermineFileFormat(text.data(), 2, MIREL_ENCODING_ANSI), MIREL_FILE_FORMAT_CR);
  EXPECT_EQ(Mirel_DetermineFileFormat(text.data(), static_cast<unsigned>(text.size()), MIREL_ENCODING_ANSI),
            MIREL_FILE_FORMAT_LF);
}

TEST(DetermineFileFormat, NullBufferIsEmpty) {
  EXPECT_EQ(Mirel_DetermineFileFormat(nullptr, 100, MIREL_ENCODING_ANSI), MIREL_FILE_FORMAT_CRLF);
  EXPECT_EQ(Mirel_DetermineFileFormat(nullptr, 100, MIREL_ENCODING_UTF16LE), MIREL_FILE_FORMAT_CRLF);
}

TEST(DetermineFileFormat, DbcsTrailBytesAreBytes) {
  // In byte encodings every byte is looked at on its own.
  const Bytes ansi = {static_cast<char>(0xC7), 0x0A, 'a', 0x0A};
  EXPECT_EQ(Format(ansi, MIREL_ENCODING_ANSI), MIREL_FILE_FORMAT_LF);
}

TEST(DetermineEncoding, DetectsFromTheBuffer) {
  const char utf8[] = "A\xC3\xA9";
  EXPECT_EQ(Mirel_DetermineEncoding(utf8, 3), MIREL_ENCODING_UTF8);
  EXPECT_EQ(Mirel_DetermineEncoding("\xFF\xFE"
                                    "A",
                                    4),
            MIREL_ENCODING_UTF16LE);
  EXPECT_EQ(Mirel_DetermineEncoding("\xFE\xFF"
                                    "A",
                                    4),
            MIREL_ENCODING_ANSI);
  EXPECT_EQ(Mirel_DetermineEncoding("\xEF\xBB\xBF"
                                    "A",
                                    4),
            MIREL_ENCODING_UTF8_BOM);
  EXPECT_EQ(Mirel_DetermineEncoding("plain", 5), MIREL_ENCODING_ANSI);
  EXPECT_EQ(Mirel_DetermineEncoding("\xC7\xD1\xB1\xDB", 4), MIREL_ENCODING_ANSI);
  // The length decides what is looked at.
  EXPECT_EQ(Mirel_DetermineEncoding(utf8, 2), MIREL_ENCODING_ANSI);
}

// Four-byte sequences are UTF-8 like the shorter ones; forms no UTF-8 text
// holds (overlong, past U+10FFFF, stray lead bytes) are not.
TEST(DetermineEncoding, FourByteSequencesAreUtf8) {
  // ASCII and Korean with one emoji, as a file of mixed text has it.
  const std::string mixed = "Hello \xED\x95\x9C\xEA\xB8\x80 \xF0\x9F\x98\x80!\r\n";
  const struct {
    const char* name;
    std::string bytes;
    int expected;
  } kCases[] = {
      {"mixed text with an emoji", mixed, MIREL_ENCODING_UTF8},
      {"emoji alone", "\xF0\x9F\x98\x80", MIREL_ENCODING_UTF8},
      {"lowest F0 form", "a\xF0\x90\x80\x80", MIREL_ENCODING_UTF8},
      {"F1 to F3", "\xF1\x80\x80\x80\xF3\xBF\xBF\xBF", MIREL_ENCODING_UTF8},
      {"U+10FFFF", "\xF4\x8F\xBF\xBF", MIREL_ENCODING_UTF8},
      {"cut after a whole sequence", "\xC3\xA9\xF0\x9F\x98", MIREL_ENCODING_UTF8},
      {"overlong F0", "\xC3\xA9\xF0\x8F\xBF\xBF", MIREL_ENCODING_ANSI},
      {"past U+10FFFF", "\xC3\xA9\xF4\x90\x80\x80", MIREL_ENCODING_ANSI},
      {"F5 lead", "\xC3\xA9\xF5\x80\x80\x80", MIREL_ENCODING_ANSI},
      {"FF lead", "\xC3\xA9\xFF\x80\x80\x80", MIREL_ENCODING_ANSI},
      {"short of continuation bytes", "\xF0\x9F\x98\x41\xC3\xA9", MIREL_ENCODING_ANSI},
      {"cut overlong", "\xC3\xA9\xF0\x80", MIREL_ENCODING_ANSI},
      {"C0 lead", "\xC3\xA9\xC0\x80", MIREL_ENCODING_ANSI},
      {"C1 lead", "\xC3\xA9\xC1\xBF", MIREL_ENCODING_ANSI},
      {"E0 lead", "\xC3\xA9\xE0\xA0\x80", MIREL_ENCODING_ANSI},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Mirel_DetermineEncoding(c.bytes.data(), static_cast<int>(c.bytes.size())), c.expected)
        << c.name;
  }
}

TEST(DetermineEncoding, NullOrNegativeIsEmpty) {
  EXPECT_EQ(Mirel_DetermineEncoding(nullptr, 50), MIREL_ENCODING_ANSI);
  EXPECT_EQ(Mirel_DetermineEncoding("\xFF\xFE"
                                    "A",
                                    -4),
            MIREL_ENCODING_ANSI);
  EXPECT_EQ(Mirel_DetermineEncoding("", 0), MIREL_ENCODING_ANSI);
}

}  // namespace
