// Code-page conversions and lead bytes, as Windows' kernel32 answers them.
// Expected bytes come from the code pages' published tables.
#include "test_support.h"

#ifndef _WIN32
#include <platform_hooks.h>
#endif

#include <string>
#include <vector>

namespace {

using WString = std::basic_string<WCHAR>;
using mirel_test::Wide;

// Converts the whole input (no terminator); *pError is the last error after the call.
WString ToWide(UINT codePage, const std::string& bytes, DWORD flags = 0, DWORD* pError = nullptr) {
  WCHAR out[256];
  SetLastError(0);
  const int n = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), out, 256);
  if (pError != nullptr) *pError = GetLastError();
  return WString(out, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string ToBytes(UINT codePage, const WString& text, BOOL* pUsedDefault = nullptr,
                    LPCSTR defaultChar = nullptr, DWORD flags = 0) {
  char out[256];
  const int n = WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), out, 256,
                                    defaultChar, pUsedDefault);
  return std::string(out, n > 0 ? static_cast<std::size_t>(n) : 0);
}

const std::string kKoreanBytes =
    "\xC7\xD1\xB1\xDB"
    "A";                                                                // 한글A in 949
const std::string kJapaneseBytes = "\x93\xFA\x96\x7B\x8C\xEA\x82\xA0";  // 日本語あ in 932
const std::string kWesternBytes = "caf\xE9\x80";                        // café€ in 1252

TEST(KernelCodePage, KoreanRoundTrip) {
  EXPECT_EQ(ToWide(949, kKoreanBytes), Wide(u"\uD55C\uAE00A"));
  BOOL used = TRUE;
  EXPECT_EQ(ToBytes(949, Wide(u"\uD55C\uAE00A"), &used), kKoreanBytes);
  EXPECT_FALSE(used);
}

TEST(KernelCodePage, JapaneseRoundTripAndHalfWidthKatakana) {
  EXPECT_EQ(ToWide(932, kJapaneseBytes), Wide(u"\u65E5\u672C\u8A9E\u3042"));
  EXPECT_EQ(ToBytes(932, Wide(u"\u65E5\u672C\u8A9E\u3042")), kJapaneseBytes);
  // 0xA1-0xDF are single-byte katakana, not lead bytes.
  EXPECT_EQ(ToWide(932, "\xB1\xDF"), Wide(u"\uFF71\uFF9F"));
  EXPECT_EQ(ToBytes(932, Wide(u"\uFF71")), "\xB1");
}

TEST(KernelCodePage, WesternRoundTripIncludingUndefinedBytes) {
  EXPECT_EQ(ToWide(1252, kWesternBytes), Wide(u"caf\u00E9\u20AC"));
  EXPECT_EQ(ToBytes(1252, Wide(u"caf\u00E9\u20AC")), kWesternBytes);
  // The holes of 1252 map to the C1 controls of the same value and back.
  EXPECT_EQ(ToWide(1252, "\x81\x8D\x9D"), Wide(u"\u0081\u008D\u009D"));
  EXPECT_EQ(ToBytes(1252, Wide(u"\u0081\u008D")), "\x81\x8D");
}

TEST(KernelCodePage, ChineseCodePages) {
  EXPECT_EQ(ToWide(936, "\xD6\xD0\xCE\xC4"), Wide(u"\u4E2D\u6587"));
  EXPECT_EQ(ToWide(950, "\xA4\xA4\xA4\xE5"), Wide(u"\u4E2D\u6587"));
  EXPECT_EQ(ToBytes(936, Wide(u"\u4E2D\u6587")), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(ToBytes(950, Wide(u"\u4E2D\u6587")), "\xA4\xA4\xA4\xE5");
}

TEST(KernelCodePage, SizeQueriesCountTheTerminatorOnlyForMinusOne) {
  const char* korean =
      "\xC7\xD1"
      "A";
  EXPECT_EQ(MultiByteToWideChar(949, 0, korean, -1, nullptr, 0), 3);
  EXPECT_EQ(MultiByteToWideChar(949, 0, korean, 3, nullptr, 0), 2);
  const WString wide = Wide(u"\uD55CA");
  EXPECT_EQ(WideCharToMultiByte(949, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr), 4);
  EXPECT_EQ(WideCharToMultiByte(949, 0, wide.c_str(), 2, nullptr, 0, nullptr, nullptr), 3);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr), 5);

  // With -1 the terminator is written as well.
  WCHAR out[4] = {0x7777, 0x7777, 0x7777, 0x7777};
  ASSERT_EQ(MultiByteToWideChar(949, 0, korean, -1, out, 4), 3);
  EXPECT_EQ(out[2], 0);
  EXPECT_EQ(out[3], 0x7777);
}

TEST(KernelCodePage, TooSmallBufferFailsAndExactFitSucceeds) {
  const char* korean = "\xC7\xD1\xB1\xDB";
  WCHAR wide[2];
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(949, 0, korean, 4, wide, 1), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(MultiByteToWideChar(949, 0, korean, 4, wide, 2), 2);

  const WString text = Wide(u"\uD55C\uAE00");
  char bytes[4];
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(949, 0, text.data(), 2, bytes, 3, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(WideCharToMultiByte(949, 0, text.data(), 2, bytes, 4, nullptr, nullptr), 4);
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.data(), 2, bytes, 4, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(KernelCodePage, UnmappableCharactersUseTheDefaultCharacter) {
  BOOL used = FALSE;
  EXPECT_EQ(ToBytes(1252, Wide(u"\uD55CA"), &used), "?A");
  EXPECT_TRUE(used);
  used = FALSE;
  EXPECT_EQ(ToBytes(1252, Wide(u"\uD55CA"), &used, "*"), "*A");
  EXPECT_TRUE(used);
  // A double-byte code page takes a two-byte default character.
  EXPECT_EQ(ToBytes(932, Wide(u"\uD55CA"), nullptr, "\x81\x45"),
            "\x81\x45"
            "A");
  // Without best fit, a letter missing from the code page is not approximated.
  used = FALSE;
  EXPECT_EQ(ToBytes(1252, Wide(u"\u0100"), &used, nullptr, WC_NO_BEST_FIT_CHARS), "?");
  EXPECT_TRUE(used);
  // A surrogate pair has no two-byte form: each half becomes a default character.
  EXPECT_EQ(ToBytes(949, Wide(u"\U0001F600"), &used), "??");
}

TEST(KernelCodePage, Utf8SurrogatePairs) {
  EXPECT_EQ(ToWide(CP_UTF8,
                   "\xF0\x9F\x98\x80"
                   "A"),
            Wide(u"\U0001F600A"));
  EXPECT_EQ(ToBytes(CP_UTF8, Wide(u"\U0001F600A")),
            "\xF0\x9F\x98\x80"
            "A");
  EXPECT_EQ(ToBytes(CP_UTF8, Wide(u"\uD55C")), "\xED\x95\x9C");
  // A lone surrogate becomes U+FFFD, or fails when invalid characters are refused.
  const WString lone(1, static_cast<WCHAR>(0xD800));
  EXPECT_EQ(ToBytes(CP_UTF8, lone + Wide(u"A")),
            "\xEF\xBF\xBD"
            "A");
  char out[8];
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone.data(), 1, out, 8, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(KernelCodePage, InvalidUtf8BecomesReplacementCharacters) {
  const WString replacement(1, static_cast<WCHAR>(0xFFFD));
  EXPECT_EQ(ToWide(CP_UTF8, "A\xFF"), Wide(u"A") + replacement);
  EXPECT_EQ(ToWide(CP_UTF8, "\x80\x80"), replacement + replacement);
  EXPECT_EQ(ToWide(CP_UTF8,
                   "\xE2\x82"
                   "A"),
            replacement + Wide(u"A"));                            // truncated sequence
  EXPECT_EQ(ToWide(CP_UTF8, "A\xC3"), Wide(u"A") + replacement);  // truncated at the end
  EXPECT_EQ(ToWide(CP_UTF8,
                   "\xEF\xBB\xBF"
                   "A"),
            Wide(u"\uFEFFA"));  // a byte-order mark is kept
  DWORD error = 0;
  EXPECT_TRUE(ToWide(CP_UTF8, "A\xFF", MB_ERR_INVALID_CHARS, &error).empty());
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(KernelCodePage, InvalidDoubleByteInputUsesTheCodePageDefault) {
  // A lead byte without its trail byte, at the end or before a terminator.
  EXPECT_EQ(ToWide(949, "A\xB0"), Wide(u"A?"));
  EXPECT_EQ(ToWide(949, std::string("\xB0\0A", 3)), WString({'?', 0, 'A'}));
  EXPECT_EQ(ToWide(932, "\x82"), Wide(u"\u30FB"));
  // An undefined pair is one character.
  EXPECT_EQ(ToWide(949,
                   "\x81\x20"
                   "A"),
            Wide(u"?A"));
  DWORD error = 0;
  EXPECT_TRUE(ToWide(949, "A\xB0", MB_ERR_INVALID_CHARS, &error).empty());
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_TRUE(ToWide(949, "\x81\x20", MB_ERR_INVALID_CHARS, &error).empty());
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(ToWide(949, "\xB0\xA1", MB_ERR_INVALID_CHARS), Wide(u"\uAC00"));
}

TEST(KernelCodePage, RefusesBadArguments) {
  WCHAR wide[8];
  char bytes[8];
  const WCHAR unit[] = {'A', 0};
  struct Case {
    const char* name;
    int (*call)(WCHAR* wide, char* bytes, const WCHAR* unit);
    DWORD error;
  };
  const Case cases[] = {
      {"NULL source",
       [](WCHAR* w, char*, const WCHAR*) { return MultiByteToWideChar(949, 0, nullptr, 1, w, 8); },
       ERROR_INVALID_PARAMETER},
      {"empty source",
       [](WCHAR* w, char*, const WCHAR*) { return MultiByteToWideChar(949, 0, "A", 0, w, 8); },
       ERROR_INVALID_PARAMETER},
      {"NULL output with a size",
       [](WCHAR*, char*, const WCHAR*) { return MultiByteToWideChar(949, 0, "A", 1, nullptr, 8); },
       ERROR_INVALID_PARAMETER},
      {"unknown code page",
       [](WCHAR* w, char*, const WCHAR*) { return MultiByteToWideChar(12345, 0, "A", 1, w, 8); },
       ERROR_INVALID_PARAMETER},
      {"unknown flag",
       [](WCHAR* w, char*, const WCHAR*) { return MultiByteToWideChar(949, 0x1000, "A", 1, w, 8); },
       ERROR_INVALID_FLAGS},
      {"wide NULL source",
       [](WCHAR*, char* b, const WCHAR*) {
         return WideCharToMultiByte(949, 0, nullptr, 1, b, 8, nullptr, nullptr);
       },
       ERROR_INVALID_PARAMETER},
      {"wide empty source",
       [](WCHAR*, char* b, const WCHAR* u) {
         return WideCharToMultiByte(949, 0, u, 0, b, 8, nullptr, nullptr);
       },
       ERROR_INVALID_PARAMETER},
      {"wide unknown code page",
       [](WCHAR*, char* b, const WCHAR* u) {
         return WideCharToMultiByte(12345, 0, u, 1, b, 8, nullptr, nullptr);
       },
       ERROR_INVALID_PARAMETER},
      {"wide unknown flag",
       [](WCHAR*, char* b, const WCHAR* u) {
         return WideCharToMultiByte(949, 0x1, u, 1, b, 8, nullptr, nullptr);
       },
       ERROR_INVALID_FLAGS},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(c.call(wide, bytes, unit), 0) << c.name;
    EXPECT_EQ(GetLastError(), c.error) << c.name;
  }
}

// Every character that a code page encodes without best fit decodes back to itself.
TEST(KernelCodePage, EncodedCharactersDecodeBackInEveryEastAsianAndWesternCodePage) {
  for (UINT codePage : {949u, 932u, 936u, 950u, 1252u}) {
    int mapped = 0;
    int mismatches = 0;
    for (unsigned u = 1; u < 0x10000; ++u) {
      if (u >= 0xD800 && u <= 0xDFFF) continue;
      const WCHAR unit = static_cast<WCHAR>(u);
      char bytes[4];
      BOOL used = FALSE;
      const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, &unit, 1, bytes, 4, nullptr, &used);
      if (n <= 0 || used) continue;
      ++mapped;
      WCHAR back[4];
      if (MultiByteToWideChar(codePage, 0, bytes, n, back, 4) != 1 || back[0] != unit) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0) << "code page " << codePage;
    EXPECT_GT(mapped, codePage == 1252 ? 200 : 7000) << "code page " << codePage;
  }
}

TEST(KernelCodePage, Code949HasEveryModernHangulSyllable) {
  WString syllables;
  for (unsigned u = 0xAC00; u <= 0xD7A3; ++u) syllables.push_back(static_cast<WCHAR>(u));
  BOOL used = TRUE;
  const int n = WideCharToMultiByte(949, 0, syllables.data(), static_cast<int>(syllables.size()), nullptr, 0,
                                    nullptr, &used);
  EXPECT_EQ(n, 2 * 11172);
  EXPECT_FALSE(used);
}

TEST(KernelLeadByte, RangesOfTheDoubleByteCodePages) {
  struct Range {
    UINT codePage;
    BYTE first;
    BYTE last;
  };
  const Range leads[] = {
      {949, 0x81, 0xFE}, {936, 0x81, 0xFE}, {950, 0x81, 0xFE}, {932, 0x81, 0x9F}, {932, 0xE0, 0xFC}};
  for (UINT codePage : {949u, 932u, 936u, 950u, 1252u, static_cast<UINT>(CP_UTF8)}) {
    for (int b = 0; b < 256; ++b) {
      bool expected = false;
      for (const Range& r : leads) expected |= r.codePage == codePage && b >= r.first && b <= r.last;
      EXPECT_EQ(IsDBCSLeadByteEx(codePage, static_cast<BYTE>(b)) != FALSE, expected)
          << "code page " << codePage << " byte " << b;
    }
  }
}

TEST(KernelLeadByte, SystemCodePageIsKorean) {
  EXPECT_EQ(GetACP(), 949u);
  EXPECT_TRUE(IsDBCSLeadByte(0xB0));
  EXPECT_FALSE(IsDBCSLeadByte(0x41));
  EXPECT_TRUE(IsDBCSLeadByteEx(CP_ACP, 0xB0));
  EXPECT_EQ(ToWide(CP_ACP, kKoreanBytes), Wide(u"\uD55C\uAE00A"));
  EXPECT_TRUE(IsValidCodePage(949));
  EXPECT_TRUE(IsValidCodePage(CP_UTF8));
  EXPECT_FALSE(IsValidCodePage(12345));
}

TEST(KernelCodePageStandIn, AnsiCodePageOverride) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  MrwTestSetACP(1252);
  EXPECT_EQ(GetACP(), 1252u);
  EXPECT_EQ(ToWide(CP_ACP, "\xE9\xB0"), Wide(u"\u00E9\u00B0"));
  EXPECT_FALSE(IsDBCSLeadByte(0xB0));
  MrwTestSetACP(932);
  EXPECT_EQ(ToBytes(CP_ACP, Wide(u"\u3042")), "\x82\xA0");
  MrwTestSetACP(CP_ACP);  // back to the default
  EXPECT_EQ(GetACP(), 949u);
#endif
}

TEST(KernelCodePageStandIn, Utf8RefusesDefaultCharacterArguments) {
  // Windows documents that CP_UTF8 takes neither a default character nor its flag.
  MIREL_REQUIRE_STANDIN();
  const WCHAR unit[] = {'A', 0};
  char bytes[8];
  BOOL used = FALSE;
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, unit, 1, bytes, 8, nullptr, &used), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, unit, 1, bytes, 8, "?", nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
