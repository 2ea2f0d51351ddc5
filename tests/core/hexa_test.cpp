// Hex text to bytes and back.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "mirel/chexa.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes ParseHex(const char* text, int len) {
  CHexa hexa;
  const int n = hexa.HexTextToBytes(text, len, nullptr);
  Bytes out(static_cast<size_t>(n) + 1, 0xAA);
  EXPECT_EQ(hexa.HexTextToBytes(text, len, out.data()), n);
  EXPECT_EQ(out.back(), 0xAA) << "wrote past the count";
  out.pop_back();
  return out;
}

TEST(HexToInt, DigitsOfBothCasesAndZeroForAnythingElse) {
  const struct Case {
    const char* text;
    int nExpected;
  } kCases[] = {
      {"fF", 255}, {"0", 0}, {"09aB", 0x9AB},   {"7fffffff", 0x7FFFFFFF}, {"G1", 0},
      {"1 ", 0},   {"", 0},  {"1000000001", 1},  // more digits than an int holds wrap instead of overflowing
  };
  CHexa hexa;
  for (const Case& c : kCases) EXPECT_EQ(hexa.HexToInt(c.text), c.nExpected) << '"' << c.text << '"';
  EXPECT_EQ(hexa.HexToInt(nullptr), 0);
}

// Separators are skipped; the length or a zero byte ends the text; an
// invalid pair gives a zero byte.
TEST(HexTextToBytes, PairsOfDigitsBecomeBytes) {
  const char kWithZero[] = {'4', '1', '\0', '4', '2'};
  const struct Case {
    std::string text;
    int nLen;
    std::string expected;
  } kCases[] = {
      {"41 42\r\n43", 9, "\x41\x42\x43"},
      {"\t4 1", 4, "\x41"},
      {"ff00Aa", 6, std::string("\xFF\x00\xAA", 3)},
      {"414243", 4, "\x41\x42"},
      {std::string(kWithZero, 5), 5, "\x41"},
      {"41zz43", 6, std::string("\x41\x00\x43", 3)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseHex(c.text.data(), c.nLen), Bytes(c.expected.begin(), c.expected.end()));
  }
}

TEST(HexTextToBytes, OddDigitCountGivesNothing) {
  CHexa hexa;
  BYTE out[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(hexa.HexTextToBytes("414", 3, out), 0);
  EXPECT_EQ(out[0], 0xAA);
  EXPECT_EQ(hexa.HexTextToBytes("414", 3, nullptr), 0);
}

TEST(HexTextToBytes, RefusesNullAndNegative) {
  CHexa hexa;
  EXPECT_EQ(hexa.HexTextToBytes(nullptr, 4, nullptr), 0);
  EXPECT_EQ(hexa.HexTextToBytes("4142", -2, nullptr), 0);
  EXPECT_EQ(hexa.HexTextToBytes("4142", 0, nullptr), 0);
}

TEST(HexTextToBytesPadded, PadsOddCountAndTerminates) {
  CHexa hexa;
  BYTE out[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(hexa.HexTextToBytesPadded("ABC", out, 4), 2);
  EXPECT_EQ(out[0], 0xAB);
  EXPECT_EQ(out[1], 0xC0);
  EXPECT_EQ(out[2], 0x00);
  EXPECT_EQ(out[3], 0xAA);
  EXPECT_EQ(hexa.HexTextToBytesPadded("A B\nC", nullptr, 0), 2);
}

TEST(HexTextToBytesPadded, WritesNothingWhenTooSmall) {
  CHexa hexa;
  BYTE out[3] = {0xAA, 0xAA, 0xAA};
  // Two bytes and the zero byte need 3.
  EXPECT_EQ(hexa.HexTextToBytesPadded("4142", out, 2), 0);
  EXPECT_EQ(out[0], 0xAA);
  EXPECT_EQ(out[1], 0xAA);
  EXPECT_EQ(hexa.HexTextToBytesPadded("4142", out, 3), 2);
  EXPECT_EQ(out[2], 0x00);
  EXPECT_EQ(hexa.HexTextToBytesPadded(nullptr, out, 3), 0);
}

// At least two upper-case digits; a negative value or a buffer without room
// for the digits and the zero gives an empty text.
TEST(IntToHex, DigitsThatFitOrAnEmptyText) {
  const struct Case {
    int nValue;
    int nSize;
    int nExpected;
    const char* text;
  } kCases[] = {
      {5, 16, 2, "05"},
      {0, 16, 2, "00"},
      {0x1234, 16, 4, "1234"},
      {0xABC, 16, 3, "ABC"},
      {0x7FFFFFFF, 16, 8, "7FFFFFFF"},
      {-1, 4, 0, ""},
      {0x1234, 4, 0, ""},
  };
  CHexa hexa;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.nValue);
    char text[16];
    std::memset(text, 'x', sizeof(text));
    EXPECT_EQ(hexa.IntToHex(c.nValue, text, c.nSize), c.nExpected);
    EXPECT_STREQ(text, c.text);
  }
  EXPECT_EQ(hexa.IntToHex(5, nullptr, 4), 0);
}

TEST(BytesToHexText, PlainAndSpaced) {
  CHexa hexa;
  const BYTE bytes[] = {0x00, 0xAB, 0x7F};
  char text[16];
  EXPECT_EQ(hexa.BytesToHexText(bytes, 3, text, sizeof(text), FALSE), 6);
  EXPECT_STREQ(text, "00AB7F");
  EXPECT_EQ(hexa.BytesToHexText(bytes, 3, text, sizeof(text), TRUE), 8);
  EXPECT_STREQ(text, "00 AB 7F");
  EXPECT_EQ(hexa.BytesToHexText(bytes, 3, nullptr, 0, TRUE), 8);
  EXPECT_EQ(hexa.BytesToHexText(bytes, 3, nullptr, 0, FALSE), 6);
}

TEST(BytesToHexText, StopsAtWholeBytesThatFit) {
  CHexa hexa;
  const BYTE bytes[] = {0x12, 0x34, 0x56};
  char text[8];
  std::memset(text, 'x', sizeof(text));
  // Room for "12 34" and the zero, not for " 56".
  EXPECT_EQ(hexa.BytesToHexText(bytes, 3, text, 7, TRUE), 5);
  EXPECT_STREQ(text, "12 34");
  EXPECT_EQ(text[7], 'x');
  EXPECT_EQ(hexa.BytesToHexText(bytes, 3, text, 2, FALSE), 0);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(hexa.BytesToHexText(nullptr, 3, text, 8, FALSE), 0);
  EXPECT_EQ(hexa.BytesToHexText(bytes, -1, text, 8, FALSE), 0);
}

TEST(HexText, RoundTrip) {
  CHexa hexa;
  Bytes bytes(256);
  for (int i = 0; i < 256; ++i) bytes[static_cast<size_t>(i)] = static_cast<BYTE>(i);
  std::string text(256 * 3, '\0');
  const int n = hexa.BytesToHexText(bytes.data(), 256, &text[0], static_cast<int>(text.size()), TRUE);
  ASSERT_EQ(n, 256 * 3 - 1);
  EXPECT_EQ(ParseHex(text.c_str(), n), bytes);
}

}  // namespace
