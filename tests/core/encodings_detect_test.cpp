// Encoding detection of raw byte buffers and the UTF-8 scan behind it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mirel/cencodings.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<BYTE>;

struct DetectCase {
  const char* name;
  Bytes bytes;
  int expected;
};

void PrintTo(const DetectCase& c, std::ostream* os) {
  *os << c.name;
}

class DetectEncodingTable : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectEncodingTable, GivesTheExpectedCode) {
  const DetectCase& c = GetParam();
  EXPECT_EQ(CEncodings::DetectEncoding(c.bytes.data(), static_cast<int>(c.bytes.size())), c.expected);
  // The one-argument constructor detects the same way.
  CEncodings enc(c.bytes.data(), static_cast<int>(c.bytes.size()));
  EXPECT_EQ(enc.GetEncoding(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DetectEncodingTable,
    testing::Values(
        // A big-endian mark is not taken as UTF-16: such text is handled as ANSI.
        DetectCase{"BigEndianMarkIsAnsi", {0xFE, 0xFF, 0x41, 0x00}, MIREL_ENCODING_ANSI},
        DetectCase{"LittleEndianMark", {0xFF, 0xFE, 0x41, 0x00}, MIREL_ENCODING_UTF16LE},
        DetectCase{"LittleEndianMarkAlone", {0xFF, 0xFE}, MIREL_ENCODING_UTF16LE},
        DetectCase{"Utf8Mark", {0xEF, 0xBB, 0xBF, 0x41}, MIREL_ENCODING_UTF8_BOM},
        DetectCase{"Utf8MarkAloneIsBomEncoding", {0xEF, 0xBB, 0xBF}, MIREL_ENCODING_UTF8_BOM},
        // Two bytes are too short for the UTF-8 mark.
        DetectCase{"TwoMarkBytesAreNotTheMark", {0xEF, 0xBB}, MIREL_ENCODING_ANSI},
        DetectCase{"TwoByteSequence", {0x41, 0xC3, 0xA9}, MIREL_ENCODING_UTF8},
        DetectCase{"ThreeByteSequence", {0xE4, 0xB8, 0xAD, 0x41}, MIREL_ENCODING_UTF8},
        DetectCase{"PlainAscii", {'a', 'b', 'c', '\r', '\n'}, MIREL_ENCODING_ANSI},
        DetectCase{"SingleByte", {0xC3}, MIREL_ENCODING_ANSI},
        DetectCase{"SingleMarkByte", {0xFF}, MIREL_ENCODING_ANSI},
        DetectCase{"Empty", {}, MIREL_ENCODING_ANSI},
        DetectCase{"E0LeadRefused", {0x41, 0xE0, 0xA0, 0x80}, MIREL_ENCODING_ANSI},
        DetectCase{"C0LeadRefused", {0x41, 0xC0, 0x81}, MIREL_ENCODING_ANSI},
        DetectCase{"FourByteSequence", {0xC3, 0xA9, 0xF0, 0x9F, 0x98, 0x80}, MIREL_ENCODING_UTF8},
        DetectCase{"StrayContinuation", {0x41, 0x80, 0x41}, MIREL_ENCODING_ANSI},
        DetectCase{"BadSecondByte", {0xC3, 0x41}, MIREL_ENCODING_ANSI},
        DetectCase{"BadThirdByte", {0xE4, 0xB8, 0x41}, MIREL_ENCODING_ANSI},
        // Korean ANSI text (CP949) is not mistaken for UTF-8.
        DetectCase{"KoreanAnsi", {0xC7, 0xD1, 0xB1, 0xDB}, MIREL_ENCODING_ANSI},
        DetectCase{"ZeroByteBeforeSequence", {0x41, 0x00, 0xC3, 0xA9}, MIREL_ENCODING_ANSI},
        DetectCase{"ZeroByteAfterSequence", {0xC3, 0xA9, 0x00}, MIREL_ENCODING_ANSI},
        // A cut sequence at the end counts only after a complete one.
        DetectCase{"CutAfterCompleteSequence", {0xC3, 0xA9, 0xE4, 0xB8}, MIREL_ENCODING_UTF8},
        DetectCase{"CutOnlyIsNotUtf8", {0x41, 0xC3}, MIREL_ENCODING_ANSI}),
    [](const testing::TestParamInfo<DetectCase>& info) { return std::string(info.param.name); });

TEST(DetectEncoding, NullOrNegativeIsEmpty) {
  EXPECT_EQ(CEncodings::DetectEncoding(nullptr, 10), MIREL_ENCODING_ANSI);
  const BYTE mark[] = {0xFF, 0xFE, 0x41, 0x00};
  EXPECT_EQ(CEncodings::DetectEncoding(mark, -4), MIREL_ENCODING_ANSI);
  CEncodings enc(nullptr, 100);
  EXPECT_EQ(enc.GetEncoding(), MIREL_ENCODING_ANSI);
  CEncodings negative(mark, -1);
  EXPECT_EQ(negative.GetEncoding(), MIREL_ENCODING_ANSI);
}

TEST(DetectEncoding, LengthLimitsTheScan) {
  // Only the first bytes are looked at: the invalid byte past the length does
  // not count, the sequence past it is not seen.
  const BYTE bytes[] = {0xC3, 0xA9, 0x80, 0x41};
  EXPECT_EQ(CEncodings::DetectEncoding(bytes, 2), MIREL_ENCODING_UTF8);
  EXPECT_EQ(CEncodings::DetectEncoding(bytes, 4), MIREL_ENCODING_ANSI);
}

TEST(DetectEncoding, GivenEncodingIsKept) {
  const BYTE bytes[] = {0x41, 0xC3, 0xA9};
  CEncodings given(bytes, 3, MIREL_ENCODING_ANSI, 949);
  EXPECT_EQ(given.GetEncoding(), MIREL_ENCODING_ANSI);
  CEncodings detected(bytes, 3, MIREL_ENCODING_UNDEFINED, 949);
  EXPECT_EQ(detected.GetEncoding(), MIREL_ENCODING_UTF8);
}

struct TailCase {
  const char* name;
  Bytes bytes;
  BOOL utf8;
  int tail;
};

void PrintTo(const TailCase& c, std::ostream* os) {
  *os << c.name;
}

class IsUtf8Tail : public testing::TestWithParam<TailCase> {};

TEST_P(IsUtf8Tail, ReportsResultAndTail) {
  const TailCase& c = GetParam();
  int tail = -1;
  EXPECT_EQ(CEncodings::IsUtf8(c.bytes.data(), static_cast<int>(c.bytes.size()), &tail), c.utf8);
  EXPECT_EQ(tail, c.tail);
  // The tail is optional.
  EXPECT_EQ(CEncodings::IsUtf8(c.bytes.data(), static_cast<int>(c.bytes.size()), nullptr), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(Cases, IsUtf8Tail,
                         testing::Values(TailCase{"Complete", {0x41, 0xC3, 0xA9}, TRUE, 0},
                                         // The scan ends valid at the cut lead byte, but no complete
                                         // multi-byte sequence was seen.
                                         TailCase{"CutTwoByteOnly", {0x41, 0xC3}, FALSE, 1},
                                         TailCase{"CutThreeByteAfterOne", {0xC3, 0xA9, 0xE4, 0xB8}, TRUE, 2},
                                         TailCase{"CutThreeByteLeadAlone", {0xC3, 0xA9, 0xE4}, TRUE, 1},
                                         TailCase{"CutFourByte", {0xC3, 0xA9, 0xF0, 0x9F, 0x98}, TRUE, 3},
                                         TailCase{"CutFourByteOverlong", {0xC3, 0xA9, 0xF0, 0x8F}, FALSE, 0},
                                         TailCase{"AsciiOnly", {0x41, 0x42}, FALSE, 0},
                                         TailCase{"Invalid", {0xC3, 0xA9, 0xFF}, FALSE, 0},
                                         TailCase{"ZeroByte", {0xC3, 0xA9, 0x00, 0xC3}, FALSE, 0},
                                         TailCase{"Empty", {}, FALSE, 0}),
                         [](const testing::TestParamInfo<TailCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(IsUtf8, NullDataIsEmpty) {
  int tail = -1;
  EXPECT_FALSE(CEncodings::IsUtf8(nullptr, 5, &tail));
  EXPECT_EQ(tail, 0);
}

}  // namespace
