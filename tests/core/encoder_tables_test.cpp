// The converter takes plain characters of a code page straight through
// tables built from the system's conversion of each character alone, and
// ASCII up to eight bytes at a time. Every character of each code page, and
// every basic-plane unit, after ASCII runs of every length, must come out as
// the system converts it alone: default characters, best-fit mappings, lone
// lead bytes and undefined pairs included.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "mirel/cmrcharencoder.h"
#include "mirel/mirel.h"
#include "mirel/mrcodepagetables.h"

namespace {

std::string Convert(const std::string& src, int nFrom, int nTo, UINT nCodePage) {
  CMrCharEncoder enc(nullptr, reinterpret_cast<const BYTE*>(src.data()), static_cast<DWORD>(src.size()),
                     nFrom, static_cast<int>(nCodePage));
  if (!enc.Convert(nTo)) return "(failed)";
  std::string out(enc.GetOutputLength(), '\0');
  if (!out.empty() && enc.Read(reinterpret_cast<BYTE*>(&out[0]), enc.GetOutputLength()) != out.size())
    return "(unread)";
  return out;
}

std::string UnitBytes(const std::u16string& units) {
  std::string out;
  for (char16_t u : units) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

std::u16string SystemUnits(UINT nCodePage, const std::string& ch) {
  WCHAR units[32];
  const int n = MultiByteToWideChar(nCodePage, 0, ch.data(), static_cast<int>(ch.size()), units, 32);
  EXPECT_GT(n, 0) << "code page " << nCodePage;
  return std::u16string(reinterpret_cast<const char16_t*>(units), static_cast<size_t>(n > 0 ? n : 0));
}

std::string SystemBytes(UINT nCodePage, const std::u16string& units) {
  if (units.empty()) return "";
  const WCHAR* p = reinterpret_cast<const WCHAR*>(units.data());
  const int nUnits = static_cast<int>(units.size());
  const int nSize = WideCharToMultiByte(nCodePage, 0, p, nUnits, nullptr, 0, nullptr, nullptr);
  EXPECT_GT(nSize, 0) << "code page " << nCodePage;
  std::string bytes(static_cast<size_t>(nSize > 0 ? nSize : 0), '\0');
  if (nSize > 0) WideCharToMultiByte(nCodePage, 0, p, nUnits, &bytes[0], nSize, nullptr, nullptr);
  return bytes;
}

// Where two long outputs first differ ("" when equal).
std::string Difference(const std::string& got, const std::string& want) {
  if (got == want) return "";
  size_t i = 0;
  while (i < got.size() && i < want.size() && got[i] == want[i]) ++i;
  std::string s = "at " + std::to_string(i) + " of " + std::to_string(want.size()) + ":";
  for (size_t k = i; k < i + 4 && k < got.size(); ++k)
    s += " got " + std::to_string(static_cast<BYTE>(got[k]));
  for (size_t k = i; k < i + 4 && k < want.size(); ++k)
    s += " want " + std::to_string(static_cast<BYTE>(want[k]));
  return s;
}

// ASCII letters before the i-th character: runs of every length from 0 to
// 10, so that characters fall at every place of the 8-byte words.
std::string Letters(size_t i) {
  return std::string("klmnopqrstu").substr(0, i % 11);
}

// The characters of a code page as the walk splits a text: every single
// byte, and every lead byte before every byte (a pair from 0x40 on, else the
// lead byte alone and then the other byte), with a lone lead byte last.
std::vector<std::string> EveryAnsiCharacter(UINT nCodePage) {
  std::vector<std::string> chars;
  for (int b = 1; b < 256; ++b)
    if (!IsDBCSLeadByteEx(nCodePage, static_cast<BYTE>(b))) chars.emplace_back(1, static_cast<char>(b));
  std::string lastLead;
  for (int lead = 0x80; lead < 256; ++lead) {
    if (!IsDBCSLeadByteEx(nCodePage, static_cast<BYTE>(lead))) continue;
    lastLead.assign(1, static_cast<char>(lead));
    for (int trail = 0; trail < 256; ++trail) {
      if (trail >= 0x40) {
        chars.push_back(lastLead + static_cast<char>(trail));
      } else {
        chars.push_back(lastLead);
        chars.emplace_back(1, static_cast<char>(trail));
      }
    }
  }
  if (!lastLead.empty()) chars.push_back(lastLead);
  return chars;
}

class EncoderTables : public testing::TestWithParam<UINT> {};

TEST_P(EncoderTables, EveryCodePageCharacterConvertsAsTheSystemConvertsItAlone) {
  const UINT cp = GetParam();
  ASSERT_NE(CMrAnsiDecodeTable::For(cp), nullptr);
  EXPECT_TRUE(CMrAnsiDecodeTable::For(cp)->IsAsciiSame());
  std::string src, wantUnits, wantUtf8;
  const std::vector<std::string> chars = EveryAnsiCharacter(cp);
  for (size_t i = 0; i < chars.size(); ++i) {
    // Nothing comes between a lone lead byte and the byte that cut it off.
    const bool bAfterLoneLead =
        i > 0 && chars[i - 1].size() == 1 && IsDBCSLeadByteEx(cp, static_cast<BYTE>(chars[i - 1][0]));
    const std::string ch = (bAfterLoneLead ? "" : Letters(i)) + chars[i];
    src += ch;
    const std::u16string units = SystemUnits(cp, ch);
    wantUnits += UnitBytes(units);
    wantUtf8 += SystemBytes(CP_UTF8, units);
  }
  EXPECT_EQ(Difference(Convert(src, MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, cp), wantUnits), "");
  EXPECT_EQ(Difference(Convert(src, MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8, cp), wantUtf8), "");
}

TEST_P(EncoderTables, EveryBasicPlaneUnitConvertsAsTheSystemConvertsItAlone) {
  const UINT cp = GetParam();
  ASSERT_NE(CMrAnsiEncodeTable::For(cp), nullptr);
  EXPECT_TRUE(CMrAnsiEncodeTable::For(cp)->IsAsciiSame());
  std::u16string units;
  std::string want;
  for (UINT u = 1; u < 0x10000; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    const std::string letters = Letters(u);
    const std::u16string unit = std::u16string(letters.begin(), letters.end()) + static_cast<char16_t>(u);
    units += unit;
    want += SystemBytes(cp, unit);
  }
  const std::string utf8 = SystemBytes(CP_UTF8, units);
  EXPECT_EQ(Difference(Convert(utf8, MIREL_ENCODING_UTF8, MIREL_ENCODING_ANSI, cp), want), "");
  EXPECT_EQ(Difference(Convert(UnitBytes(units), MIREL_ENCODING_UTF16LE, MIREL_ENCODING_ANSI, cp), want), "");
  // UTF-8 to UTF-16 goes in one pass too, with no table.
  EXPECT_EQ(Difference(Convert(utf8, MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE, cp), UnitBytes(units)), "");
}

// ---------------------------------------------------------------------------
// Random text, with the caret and the selection anywhere: the one-pass runs
// stop at every kind of character, at the 64 KiB run limit and at tracked
// positions, and give what converting each character alone gives.

// A character of random text, in the source encoding (a CR LF pair is one).
using Chars = std::vector<std::string>;

// Mostly Korean and ASCII words, with line ends, tabs, NUL, lone lead bytes
// and any high byte, in code page 949.
Chars RandomAnsiText(std::mt19937& rng, size_t nBytes) {
  Chars chars;
  size_t n = 0;
  while (n < nBytes) {
    std::string ch;
    const unsigned k = rng() % 100;
    if (k < 40) {
      ch.assign(1, static_cast<char>('a' + rng() % 26));
    } else if (k < 70) {
      ch = {static_cast<char>(0xB0 + rng() % 0x17), static_cast<char>(0xA1 + rng() % 0x5E)};
    } else if (k < 80) {
      ch = " ";
    } else if (k < 85) {
      ch = (rng() % 2) ? "\r\n" : (rng() % 2) ? "\r" : "\n";
    } else if (k < 88) {
      ch = (rng() % 2) ? std::string(1, '\0') : "\t";
    } else if (k < 92) {
      // A lone lead byte: before a byte below 0x40, or last.
      chars.emplace_back(1, static_cast<char>(0x81 + rng() % 0x7D));
      ch.assign(1, static_cast<char>(rng() % 0x40));
    } else if (k < 96) {
      // Any pair (defined or not) or a high byte that is no lead byte.
      ch = {static_cast<char>(0x81 + rng() % 0x7D), static_cast<char>(0x40 + rng() % 0xC0)};
      if (rng() % 3 == 0) ch.assign(1, (rng() % 2) ? '\x80' : '\xFF');
    } else {
      ch.assign(1, static_cast<char>(0x21 + rng() % 0x5E));
    }
    if (ch == "\n" && !chars.empty() && chars.back() == "\r") ch = "x";  // not a hidden CR LF pair
    n += ch.size();
    chars.push_back(ch);
  }
  if (rng() % 2) chars.emplace_back(1, '\xB0');  // a lead byte at the very end
  return chars;
}

// Well-formed UTF-8: ASCII, accented and Korean letters, a character outside
// the basic plane, line ends, tabs and NUL.
Chars RandomUtf8Text(std::mt19937& rng, size_t nBytes) {
  Chars chars;
  size_t n = 0;
  static const char* const kPieces[] = {"\xC3\xA9", "\xED\x95\x9C", "\xEA\xB8\x80", "\xF0\x9F\x98\x80",
                                        "\r\n",     "\r",           "\n",           "\t",
                                        " ",        "\xE2\x82\xAC", "\xEC\x95\x88"};
  while (n < nBytes) {
    std::string ch;
    const unsigned k = rng() % 100;
    if (k < 50) {
      ch.assign(1, static_cast<char>('a' + rng() % 26));
    } else if (k < 52) {
      ch.assign(1, '\0');
    } else {
      ch = kPieces[rng() % (sizeof(kPieces) / sizeof(kPieces[0]))];
    }
    if (ch == "\n" && !chars.empty() && chars.back() == "\r") ch = "y";
    n += ch.size();
    chars.push_back(ch);
  }
  return chars;
}

// One character alone, through the system.
std::string SystemConvertsAlone(const std::string& ch, int nFrom, int nTo, UINT cp) {
  const std::u16string units = SystemUnits(nFrom == MIREL_ENCODING_ANSI ? cp : CP_UTF8, ch);
  if (nTo == MIREL_ENCODING_UTF16LE) return UnitBytes(units);
  return SystemBytes(nTo == MIREL_ENCODING_ANSI ? cp : CP_UTF8, units);
}

TEST(EncoderTableRuns, RandomTextAndTrackedPositionsConvertAsEachCharacterAlone) {
  constexpr UINT cp = 949;
  struct Pair {
    int nFrom, nTo;
  } pairs[] = {{MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8},
               {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE},
               {MIREL_ENCODING_UTF8, MIREL_ENCODING_ANSI},
               {MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE}};
  for (const Pair& pair : pairs) {
    for (unsigned nSeed = 1; nSeed <= 6; ++nSeed) {
      std::mt19937 rng(nSeed);
      const Chars chars =
          pair.nFrom == MIREL_ENCODING_ANSI ? RandomAnsiText(rng, 150000) : RandomUtf8Text(rng, 150000);
      std::string src, want;
      std::vector<DWORD> starts, outStarts;  // of each character, in the source and in the output
      for (const std::string& ch : chars) {
        starts.push_back(static_cast<DWORD>(src.size()));
        outStarts.push_back(static_cast<DWORD>(want.size()));
        src += ch;
        want += SystemConvertsAlone(ch, pair.nFrom, pair.nTo, cp);
      }
      // A position maps to the start of the character it lies in.
      auto mapped = [&](DWORD nPos) {
        if (nPos >= src.size()) return static_cast<DWORD>(want.size());
        const size_t k =
            static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), nPos) - starts.begin());
        return outStarts[k - 1];
      };
      const DWORD tracked[3] = {static_cast<DWORD>(rng() % (src.size() + 1)),
                                static_cast<DWORD>(rng() % (src.size() + 1)),
                                static_cast<DWORD>(rng() % (src.size() + 1))};
      CMrCharEncoder enc(nullptr, reinterpret_cast<const BYTE*>(src.data()), static_cast<DWORD>(src.size()),
                         pair.nFrom, static_cast<int>(cp));
      enc.SetTrackedPointers(tracked[0], tracked[1], tracked[2]);
      ASSERT_TRUE(enc.Convert(pair.nTo));
      std::string got(enc.GetOutputLength(), '\0');
      ASSERT_EQ(enc.Read(reinterpret_cast<BYTE*>(&got[0]), enc.GetOutputLength()), got.size());
      EXPECT_EQ(Difference(got, want), "") << pair.nFrom << " to " << pair.nTo << ", seed " << nSeed;
      DWORD nCaret = 0, nStart = 0, nEnd = 0;
      enc.GetTrackedPointers(&nCaret, &nStart, &nEnd);
      EXPECT_EQ(nCaret, mapped(tracked[0])) << "seed " << nSeed << ", caret at " << tracked[0];
      EXPECT_EQ(nStart, mapped(tracked[1])) << "seed " << nSeed;
      EXPECT_EQ(nEnd, mapped(tracked[2])) << "seed " << nSeed;
    }
  }
}

// Korean, Japanese, simplified and traditional Chinese, Western and Thai
// (single-byte characters that take three UTF-8 bytes).
INSTANTIATE_TEST_SUITE_P(CodePages, EncoderTables, testing::Values(949u, 932u, 936u, 950u, 1252u, 874u),
                         [](const testing::TestParamInfo<UINT>& info) {
                           return "Cp" + std::to_string(info.param);
                         });

}  // namespace
