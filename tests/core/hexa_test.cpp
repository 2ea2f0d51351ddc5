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

TEST(HexToInt, ReadsDigitsOfBothCases) {
  CHexa hexa;
  EXPECT_EQ(hexa.HexToInt("fF"), 255);
  EXPECT_EQ(hexa.HexToInt("0"), 0);
  EXPECT_EQ(hexa.HexToInt("09aB"), 0x9AB);
  EXPECT_EQ(hexa.HexToInt("7fffffff"), 0x7FFFFFFF);
}

TEST(HexToInt, InvalidOrEmptyGivesZero) {
  CHexa hexa;
  EXPECT_EQ(hexa.HexToInt("G1"), 0);
  EXPECT_EQ(hexa.HexToInt("1 "), 0);
  EXPECT_EQ(hexa.HexToInt(""), 0);
  EXPECT_EQ(hexa.HexToInt(nullptr), 0);
  // More digits than an int holds wrap instead of overflowing.
  EXPECT_EQ(hexa.HexToInt("1000000001"), 1);
}

TEST(HexTextToBytes, SkipsSeparators) {
  EXPECT_EQ(ParseHex("41 42\r\n43", 9), (Bytes{0x41, 0x42, 0x43}));
  EXPECT_EQ(ParseHex("\t4 1", 4), (Bytes{0x41}));
  EXPECT_EQ(ParseHex("ff00Aa", 6), (Bytes{0xFF, 0x00, 0xAA}));
}

TEST(HexTextToBytes, OddDigitCountGivesNothing) {
  CHexa hexa;
  BYTE out[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(hexa.HexTextToBytes("414", 3, out), 0);
  EXPECT_EQ(out[0], 0xAA);
  EXPECT_EQ(hexa.HexTextToBytes("414", 3, nullptr), 0);
}

TEST(HexTextToBytes, LengthAndZeroByteEndTheText) {
  EXPECT_EQ(ParseHex("414243", 4), (Bytes{0x41, 0x42}));
  const char withZero[] = {'4', '1', '\0', '4', '2'};
  EXPECT_EQ(ParseHex(withZero, 5), (Bytes{0x41}));
}

TEST(HexTextToBytes, InvalidPairGivesZeroByte) {
  EXPECT_EQ(ParseHex("41zz43", 6), (Bytes{0x41, 0x00, 0x43}));
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

TEST(IntToHex, AtLeastTwoUpperCaseDigits) {
  CHexa hexa;
  char text[16];
  EXPECT_EQ(hexa.IntToHex(5, text, sizeof(text)), 2);
  EXPECT_STREQ(text, "05");
  EXPECT_EQ(hexa.IntToHex(0, text, sizeof(text)), 2);
  EXPECT_STREQ(text, "00");
  EXPECT_EQ(hexa.IntToHex(0x1234, text, sizeof(text)), 4);
  EXPECT_STREQ(text, "1234");
  EXPECT_EQ(hexa.IntToHex(0xABC, text, sizeof(text)), 3);
  EXPECT_STREQ(text, "ABC");
  EXPECT_EQ(hexa.IntToHex(0x7FFFFFFF, text, sizeof(text)), 8);
  EXPECT_STREQ(text, "7FFFFFFF");
}

TEST(IntToHex, NegativeOrTooSmallGivesEmpty) {
  CHexa hexa;
  char text[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(hexa.IntToHex(-1, text, sizeof(text)), 0);
  EXPECT_STREQ(text, "");
  std::memset(text, 'x', sizeof(text));
  EXPECT_EQ(hexa.IntToHex(0x1234, text, 4), 0);  // four digits and the zero need 5
  EXPECT_STREQ(text, "");
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
