// The free UTF-8 / UTF-16 routines: pairs, lone surrogates, cut and broken
// sequences, destination limits, and length functions that match the output.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "mirel/cencodings.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<BYTE>;
using Units = std::vector<WCHAR>;

Units U(std::initializer_list<unsigned> units) {
  Units out;
  for (unsigned u : units) out.push_back(static_cast<WCHAR>(u));
  return out;
}

// Whole conversion with room to spare; the guard bytes past the reported
// length must stay untouched.
Bytes ToUtf8(const Units& in) {
  Bytes out(in.size() * 3 + 8, 0xAA);
  const int n = Utf16ToUtf8(in.data(), static_cast<int>(in.size()), out.data(), static_cast<int>(out.size()));
  EXPECT_GE(n, 0);
  for (size_t i = static_cast<size_t>(n); i < out.size(); ++i) EXPECT_EQ(out[i], 0xAA) << "byte " << i;
  out.resize(static_cast<size_t>(n));
  return out;
}

Units ToUtf16(const Bytes& in) {
  Units out(in.size() + 8, static_cast<WCHAR>(0xAAAA));
  const int n = Utf8ToUtf16(in.data(), static_cast<int>(in.size()), out.data(), static_cast<int>(out.size()));
  EXPECT_GE(n, 0);
  for (size_t i = static_cast<size_t>(n); i < out.size(); ++i) EXPECT_EQ(out[i], 0xAAAA) << "unit " << i;
  out.resize(static_cast<size_t>(n));
  return out;
}

// ---------------------------------------------------------------------------
// UTF-16 to UTF-8

struct Utf16Case {
  const char* name;
  Units in;
  Bytes out;
};

void PrintTo(const Utf16Case& c, std::ostream* os) {
  *os << c.name;
}

class Utf16ToUtf8Table : public testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16ToUtf8Table, WritesExactBytesAndMatchingLength) {
  const Utf16Case& c = GetParam();
  EXPECT_EQ(ToUtf8(c.in), c.out);
  EXPECT_EQ(Utf8LengthOfUtf16(c.in.data(), static_cast<int>(c.in.size())), static_cast<int>(c.out.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf16ToUtf8Table,
    testing::Values(
        Utf16Case{"Ascii", U({0x41, 0x7F}), {0x41, 0x7F}},
        Utf16Case{"TwoByteLimits", U({0x80, 0x7FF}), {0xC2, 0x80, 0xDF, 0xBF}},
        Utf16Case{"ThreeByteLimits", U({0x800, 0xFFFF}), {0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF}},
        Utf16Case{"Hangul", U({0xD55C}), {0xED, 0x95, 0x9C}},
        Utf16Case{"Pair", U({0xD83D, 0xDE00}), {0xF0, 0x9F, 0x98, 0x80}},
        Utf16Case{"HighestPair", U({0xDBFF, 0xDFFF}), {0xF4, 0x8F, 0xBF, 0xBF}},
        Utf16Case{"LoneHighAtEnd", U({0x41, 0xD83D}), {0x41, 0xEF, 0xBF, 0xBD}},
        Utf16Case{"LoneHighBeforeAscii", U({0xD83D, 0x41}), {0xEF, 0xBF, 0xBD, 0x41}},
        Utf16Case{"LoneLow", U({0xDE00, 0x41}), {0xEF, 0xBF, 0xBD, 0x41}},
        // Two highs: the first is lone, the second pairs with the low.
        Utf16Case{"HighHighLow", U({0xD83D, 0xD83D, 0xDE00}), {0xEF, 0xBF, 0xBD, 0xF0, 0x9F, 0x98, 0x80}},
        // Low before high is not a pair.
        Utf16Case{"ReversedPair", U({0xDE00, 0xD83D}), {0xEF, 0xBF, 0xBD, 0xEF, 0xBF, 0xBD}},
        Utf16Case{"ZeroUnitEnds", U({0x41, 0x0, 0x42}), {0x41}},
        Utf16Case{"HighThenZero", U({0xD83D, 0x0, 0xDE00}), {0xEF, 0xBF, 0xBD}}),
    [](const testing::TestParamInfo<Utf16Case>& info) { return std::string(info.param.name); });

TEST(Utf16ToUtf8, NeverReadsPastTheCount) {
  // The low surrogate lies past the count: the high one is lone.
  const Units units = U({0x41, 0xD83D, 0xDE00});
  Bytes out(16, 0);
  EXPECT_EQ(Utf16ToUtf8(units.data(), 2, out.data(), 16), 4);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 4), (Bytes{0x41, 0xEF, 0xBF, 0xBD}));
  EXPECT_EQ(Utf8LengthOfUtf16(units.data(), 2), 4);
  // Exactly sized heap copy, so a read past the end is caught by the sanitizer.
  std::unique_ptr<WCHAR[]> exact(new WCHAR[1]{static_cast<WCHAR>(0xD83D)});
  EXPECT_EQ(Utf16ToUtf8(exact.get(), 1, out.data(), 16), 3);
  EXPECT_EQ(Utf8LengthOfUtf16(exact.get(), 1), 3);
}

TEST(Utf16ToUtf8, StopsBeforeACharacterThatDoesNotFit) {
  const Units units = U({0x41, 0xD55C, 0x42});  // 1 + 3 + 1 bytes
  Bytes out(8, 0xAA);
  EXPECT_EQ(Utf16ToUtf8(units.data(), 3, out.data(), 3), 1);
  EXPECT_EQ(out[0], 0x41);
  EXPECT_EQ(out[1], 0xAA);  // no half character
  EXPECT_EQ(Utf16ToUtf8(units.data(), 3, out.data(), 4), 4);
  EXPECT_EQ(out[4], 0xAA);
  const Units pair = U({0xD83D, 0xDE00});
  Bytes small(3, 0xAA);
  EXPECT_EQ(Utf16ToUtf8(pair.data(), 2, small.data(), 3), 0);
  EXPECT_EQ(small, (Bytes{0xAA, 0xAA, 0xAA}));
}

TEST(Utf16ToUtf8, RefusesNullAndNegative) {
  const Units units = U({0x41});
  BYTE out[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(Utf16ToUtf8(nullptr, 5, out, 4), 0);
  EXPECT_EQ(Utf16ToUtf8(units.data(), -1, out, 4), 0);
  EXPECT_EQ(Utf16ToUtf8(units.data(), 1, nullptr, 4), 0);
  EXPECT_EQ(Utf16ToUtf8(units.data(), 1, out, -4), 0);
  EXPECT_EQ(out[0], 0xAA);
  EXPECT_EQ(Utf8LengthOfUtf16(nullptr, 5), 0);
  EXPECT_EQ(Utf8LengthOfUtf16(units.data(), -3), 0);
}

// ---------------------------------------------------------------------------
// UTF-8 to UTF-16

struct Utf8Case {
  const char* name;
  Bytes in;
  Units out;
};

void PrintTo(const Utf8Case& c, std::ostream* os) {
  *os << c.name;
}

class Utf8ToUtf16Table : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8ToUtf16Table, WritesExactUnitsAndMatchingCount) {
  const Utf8Case& c = GetParam();
  EXPECT_EQ(ToUtf16(c.in), c.out);
  EXPECT_EQ(Utf8CountUtf16Units(c.in.data(), static_cast<int>(c.in.size())), static_cast<int>(c.out.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToUtf16Table,
    testing::Values(Utf8Case{"Ascii", {0x41, 0x00, 0x7F}, U({0x41, 0x00, 0x7F})},
                    Utf8Case{"TwoByte", {0xC3, 0xA9}, U({0xE9})},
                    Utf8Case{"ThreeByte", {0xED, 0x95, 0x9C}, U({0xD55C})},
                    Utf8Case{"FourByte", {0xF0, 0x9F, 0x98, 0x80}, U({0xD83D, 0xDE00})},
                    Utf8Case{"HighestCodePoint", {0xF4, 0x8F, 0xBF, 0xBF}, U({0xDBFF, 0xDFFF})},
                    // A sequence cut at the end is one U+FFFD for all of its bytes.
                    Utf8Case{"CutTwoByte", {0x41, 0xC3}, U({0x41, 0xFFFD})},
                    Utf8Case{"CutThreeByte", {0x41, 0xE4, 0xB8}, U({0x41, 0xFFFD})},
                    Utf8Case{"CutFourByte", {0xF0, 0x9F, 0x98}, U({0xFFFD})},
                    // A broken sequence loses only its own bytes; the next character stays.
                    Utf8Case{"BrokenBeforeAscii", {0xE4, 0xB8, 0x41}, U({0xFFFD, 0x41})},
                    Utf8Case{"StrayContinuation", {0x80, 0x41}, U({0xFFFD, 0x41})},
                    Utf8Case{"InvalidLeads", {0xC0, 0xAF, 0xF5, 0xFF}, U({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})},
                    Utf8Case{"OverlongThreeByte", {0xE0, 0x80, 0xAF}, U({0xFFFD, 0xFFFD, 0xFFFD})},
                    Utf8Case{"EncodedSurrogate", {0xED, 0xA0, 0x80}, U({0xFFFD, 0xFFFD, 0xFFFD})},
                    Utf8Case{"AboveUnicode", {0xF4, 0x90, 0x80, 0x80}, U({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})}),
    [](const testing::TestParamInfo<Utf8Case>& info) { return std::string(info.param.name); });

TEST(Utf8ToUtf16, CutSequenceIsNotReadPastTheCount) {
  // Exactly sized heap buffers so the sanitizer sees any read past the end.
  for (int len = 1; len <= 3; ++len) {
    std::unique_ptr<BYTE[]> bytes(new BYTE[len]);
    const BYTE full[] = {0xF0, 0x9F, 0x98, 0x80};
    std::copy(full, full + len, bytes.get());
    WCHAR out[4] = {};
    EXPECT_EQ(Utf8ToUtf16(bytes.get(), len, out, 4), 1) << len;
    EXPECT_EQ(out[0], 0xFFFD);
    EXPECT_EQ(Utf8CountUtf16Units(bytes.get(), len), 1);
  }
}

TEST(Utf8ToUtf16, PairThatDoesNotFitIsNotSplit) {
  const Bytes bytes = {0x41, 0xF0, 0x9F, 0x98, 0x80, 0x42};
  Units out(4, static_cast<WCHAR>(0xAAAA));
  EXPECT_EQ(Utf8ToUtf16(bytes.data(), 6, out.data(), 2), 1);
  EXPECT_EQ(out[0], 0x41);
  EXPECT_EQ(out[1], 0xAAAA);  // no lone high surrogate
  EXPECT_EQ(Utf8ToUtf16(bytes.data(), 6, out.data(), 3), 3);
  EXPECT_EQ(out[1], 0xD83D);
  EXPECT_EQ(out[2], 0xDE00);
  EXPECT_EQ(out[3], 0xAAAA);
}

TEST(Utf8ToUtf16, RefusesNullAndNegative) {
  const Bytes bytes = {0x41};
  WCHAR out[2] = {static_cast<WCHAR>(0xAAAA), static_cast<WCHAR>(0xAAAA)};
  EXPECT_EQ(Utf8ToUtf16(nullptr, 3, out, 2), 0);
  EXPECT_EQ(Utf8ToUtf16(bytes.data(), -1, out, 2), 0);
  EXPECT_EQ(Utf8ToUtf16(bytes.data(), 1, nullptr, 2), 0);
  EXPECT_EQ(Utf8ToUtf16(bytes.data(), 1, out, 0), 0);
  EXPECT_EQ(out[0], 0xAAAA);
  EXPECT_EQ(Utf8CountUtf16Units(nullptr, 3), 0);
  EXPECT_EQ(Utf8CountUtf16Units(bytes.data(), -3), 0);
}

TEST(UtfRoutines, RoundTripOfWellFormedText) {
  const Units text = U({0x41, 0xE9, 0xD55C, 0xAE00, 0xD83D, 0xDE00, 0x4E2D, 0x0D, 0x0A});
  EXPECT_EQ(ToUtf16(ToUtf8(text)), text);
}

// ---------------------------------------------------------------------------
// Lengths equal outputs for any input, valid or not

class UtfLengthProperty : public testing::TestWithParam<unsigned> {};

TEST_P(UtfLengthProperty, Utf16LengthMatchesOutput) {
  std::mt19937 rng(GetParam());
  // Units drawn mostly from the interesting ranges: ASCII, zero, two- and
  // three-byte ranges and both surrogate halves.
  const unsigned ranges[][2] = {{0x01, 0x7F},     {0x80, 0x7FF},    {0x800, 0xD7FF}, {0xD800, 0xDBFF},
                                {0xDC00, 0xDFFF}, {0xE000, 0xFFFF}, {0, 0}};
  std::uniform_int_distribution<int> pickRange(0, 6), pickLen(0, 40);
  for (int round = 0; round < 200; ++round) {
    const int len = pickLen(rng);
    Units units;
    for (int i = 0; i < len; ++i) {
      const auto& r = ranges[pickRange(rng)];
      // Zero units are rare so that most inputs run to their end.
      if (r[1] == 0 && rng() % 4 != 0) continue;
      units.push_back(static_cast<WCHAR>(std::uniform_int_distribution<unsigned>(r[0], r[1])(rng)));
    }
    const int n = static_cast<int>(units.size());
    std::unique_ptr<WCHAR[]> exact(new WCHAR[n + 1]);
    std::copy(units.begin(), units.end(), exact.get());
    const int need = Utf8LengthOfUtf16(exact.get(), n);
    std::vector<BYTE> out(static_cast<size_t>(n) * 3 + 1);
    ASSERT_EQ(Utf16ToUtf8(exact.get(), n, out.data(), static_cast<int>(out.size())), need);
    // The output is well-formed UTF-8 and decodes back without replacement
    // characters beyond those the lone surrogates became.
    const int back = Utf8CountUtf16Units(out.data(), need);
    std::vector<WCHAR> units2(static_cast<size_t>(back));
    ASSERT_EQ(Utf8ToUtf16(out.data(), need, units2.data(), back), back);
    ASSERT_EQ(Utf8LengthOfUtf16(units2.data(), back), need);
    // With a smaller destination it writes a prefix and stays within it.
    if (need > 0) {
      const int cap = static_cast<int>(rng() % static_cast<unsigned>(need));
      std::vector<BYTE> small(static_cast<size_t>(cap) + 4, 0xAA);
      const int wrote = Utf16ToUtf8(exact.get(), n, small.data(), cap);
      ASSERT_LE(wrote, cap);
      ASSERT_GE(wrote, cap - 3);
      ASSERT_TRUE(std::equal(small.begin(), small.begin() + wrote, out.begin()));
      for (size_t i = static_cast<size_t>(cap); i < small.size(); ++i) ASSERT_EQ(small[i], 0xAA);
    }
  }
}

TEST_P(UtfLengthProperty, Utf8CountMatchesOutput) {
  std::mt19937 rng(GetParam());
  // Bytes from a mix of lead bytes, continuation bytes and ASCII so that
  // valid, broken and cut sequences all occur.
  const BYTE pool[] = {0x00, 0x41, 0x7F, 0x80, 0x9F, 0xA0, 0xBF, 0xC0, 0xC2, 0xC3, 0xDF, 0xE0,
                       0xE4, 0xED, 0xEF, 0xF0, 0xF1, 0xF4, 0xF5, 0xFF, 0xB8, 0x8F, 0x90};
  std::uniform_int_distribution<int> pickLen(0, 40), pickByte(0, sizeof(pool) - 1);
  for (int round = 0; round < 200; ++round) {
    const int n = pickLen(rng);
    std::unique_ptr<BYTE[]> exact(new BYTE[n > 0 ? n : 1]);
    for (int i = 0; i < n; ++i) exact[i] = pool[pickByte(rng)];
    const int need = Utf8CountUtf16Units(exact.get(), n);
    ASSERT_LE(need, n);
    std::vector<WCHAR> out(static_cast<size_t>(n) + 1);
    ASSERT_EQ(Utf8ToUtf16(exact.get(), n, out.data(), static_cast<int>(out.size())), need);
    // Surrogates in the output always come in proper pairs.
    for (int i = 0; i < need; ++i) {
      const unsigned u = out[i];
      if (u >= 0xD800 && u <= 0xDBFF) {
        ASSERT_LT(i + 1, need);
        ASSERT_TRUE(out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF);
        ++i;
      } else {
        ASSERT_FALSE(u >= 0xDC00 && u <= 0xDFFF);
      }
    }
    if (need > 0) {
      const int cap = static_cast<int>(rng() % static_cast<unsigned>(need));
      std::vector<WCHAR> small(static_cast<size_t>(cap) + 2, static_cast<WCHAR>(0xAAAA));
      const int wrote = Utf8ToUtf16(exact.get(), n, small.data(), cap);
      ASSERT_LE(wrote, cap);
      ASSERT_GE(wrote, cap - 1);
      ASSERT_TRUE(std::equal(small.begin(), small.begin() + wrote, out.begin()));
      for (size_t i = static_cast<size_t>(cap); i < small.size(); ++i) ASSERT_EQ(small[i], 0xAAAA);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, UtfLengthProperty, testing::Values(1u, 2u, 3u, 4u, 5u));

}  // namespace
