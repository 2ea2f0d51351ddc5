// Shared helpers: the debug trace and assertions, unit reading for UTF-16,
// ASCII case mapping and the byte-string scans.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "mirel/chexa.h"
#include "mirel/mirel.h"
#include "test_support.h"
#ifndef _WIN32
#include <hooks_kernel.h>
#endif

namespace {

#ifdef _WIN32
std::string CapturedTrace() {
  return {};
}
void ClearTrace() {}
#else
std::string CapturedTrace() {
  return MrwTestDebugOutput();
}
void ClearTrace() {
  MrwTestClearDebugOutput();
}
#endif

// ---------------------------------------------------------------------------
// Trace and assertions

TEST(MirelTrace, FormatsLikePrintf) {
  MIREL_REQUIRE_STANDIN();
  ClearTrace();
  MirelTrace("line %d of %s: %02X\n", 12, "text", 0xAB);
  EXPECT_EQ(CapturedTrace(), "line 12 of text: AB\n");
}

TEST(MirelTrace, TruncatesLongOutput) {
  MIREL_REQUIRE_STANDIN();
  ClearTrace();
  const std::string longText(5000, 'x');
  MirelTrace("%s%s", "<", longText.c_str());
  const std::string out = CapturedTrace();
  ASSERT_EQ(out.size(), static_cast<size_t>(MIREL_TRACE_BUFFER_SIZE - 1));
  EXPECT_EQ(out[0], '<');
  EXPECT_EQ(out.find_first_not_of('x', 1), std::string::npos);
}

TEST(MirelAssert, CheckedFormTracesAndCounts) {
  MirelResetAssertFailures();
  ClearTrace();
  int evaluations = 0;
  MIREL_ASSERT_CHECKED(++evaluations == 1);
  EXPECT_EQ(MirelAssertFailureCount(), 0);
  MIREL_ASSERT_CHECKED(++evaluations == 7);
  EXPECT_EQ(evaluations, 2);  // once per assertion
  EXPECT_EQ(MirelAssertFailureCount(), 1);
  MirelResetAssertFailures();
  EXPECT_EQ(MirelAssertFailureCount(), 0);
  if (mirel_test::kStandIn) {
    const std::string out = CapturedTrace();
    EXPECT_EQ(out.rfind("Assertion failed: ++evaluations == 7 (", 0), 0u) << out;
    EXPECT_NE(out.find("helpers_test.cpp:"), std::string::npos) << out;
  }
}

TEST(MirelAssert, UncheckedFormDoesNotEvaluate) {
  MirelResetAssertFailures();
  int evaluations = 0;
  MIREL_ASSERT_UNCHECKED(++evaluations == 7);
  EXPECT_EQ(evaluations, 0);
  EXPECT_EQ(MirelAssertFailureCount(), 0);
}

TEST(MirelAssert, TestsRunWithChecksOn) {
  // The tests link the debug variant of the core, where MIREL_ASSERT checks.
  MirelResetAssertFailures();
  ClearTrace();
  const char* pNothing = nullptr;
  MIREL_ASSERT(pNothing != NULL);
  MIREL_ASSERT(FALSE);
  EXPECT_EQ(MirelAssertFailureCount(), 2);
  MirelResetAssertFailures();
  if (mirel_test::kStandIn) {
    // The expression reads as written, not as its macro expansion.
    const std::string out = CapturedTrace();
    EXPECT_EQ(out.rfind("Assertion failed: pNothing != NULL (", 0), 0u) << out;
    EXPECT_NE(out.find("Assertion failed: FALSE ("), std::string::npos) << out;
  }
}

TEST(HexaTrace, ReportsInvalidInput) {
  MIREL_REQUIRE_STANDIN();
  CHexa hexa;
  ClearTrace();
  EXPECT_EQ(hexa.HexToInt("G1"), 0);
  EXPECT_EQ(CapturedTrace(), "Invalid Hexadecimal String \n");
  ClearTrace();
  EXPECT_EQ(hexa.HexToInt(""), 0);
  EXPECT_EQ(CapturedTrace(), "NULL Hexadecimal String \n");
  ClearTrace();
  char text[8];
  EXPECT_EQ(hexa.IntToHex(-5, text, sizeof(text)), 0);
  EXPECT_EQ(CapturedTrace(), "Invalid decimal below zero\n");
  ClearTrace();
  EXPECT_EQ(hexa.HexToInt("1f"), 31);
  EXPECT_EQ(CapturedTrace(), "");
}

// ---------------------------------------------------------------------------
// Units

TEST(Units, WideEncodingsAndUnitSizes) {
  EXPECT_TRUE(IsWideEncoding(MIREL_ENCODING_UTF16BE));
  EXPECT_TRUE(IsWideEncoding(MIREL_ENCODING_UTF16LE));
  for (int e : {MIREL_ENCODING_UNDEFINED, MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF8_BOM,
                MIREL_ENCODING_BINARY}) {
    EXPECT_FALSE(IsWideEncoding(e)) << e;
    EXPECT_EQ(MrUnitSize(e), 1) << e;
  }
  EXPECT_EQ(MrUnitSize(MIREL_ENCODING_UTF16BE), 2);
  EXPECT_EQ(MrUnitSize(MIREL_ENCODING_UTF16LE), 2);
}

TEST(Units, WideUnitMatchesOnlyAsAWhole) {
  // U+0D0A, U+4E0D and U+0A0D carry CR or LF in one byte only.
  const BYTE text[] = {0x0A, 0x0D, 0x0D, 0x4E, 0x0D, 0x0A, 0x0D, 0x00, 0x0A, 0x00};
  EXPECT_EQ(MrUnitAt(text, TRUE), 0x0D0Au);
  EXPECT_FALSE(MrUnitIs(text, TRUE, MR_CHAR_LF));
  EXPECT_FALSE(MrUnitIs(text + 2, TRUE, MR_CHAR_CR));
  EXPECT_FALSE(MrUnitIs(text + 4, TRUE, MR_CHAR_CR));
  EXPECT_TRUE(MrUnitIs(text + 6, TRUE, MR_CHAR_CR));
  EXPECT_TRUE(MrUnitIs(text + 8, TRUE, MR_CHAR_LF));
  // Byte encodings read one byte.
  EXPECT_TRUE(MrUnitIs(text, FALSE, MR_CHAR_LF));
  EXPECT_EQ(MrUnitAt(text + 3, FALSE), 0x4Eu);
}

TEST(Units, BoundedReadRefusesHalfUnits) {
  const BYTE text[] = {0x20, 0x00, 0x09};
  EXPECT_EQ(MrUnitAtIn(text, 0, 3, TRUE, 0xFFFF), MR_CHAR_SPACE);
  EXPECT_EQ(MrUnitAtIn(text, 2, 3, TRUE, 0xFFFF), 0xFFFFu);  // one byte left
  EXPECT_EQ(MrUnitAtIn(text, 2, 3, FALSE, 0xFFFF), MR_CHAR_TAB);
  EXPECT_EQ(MrUnitAtIn(text, 3, 3, FALSE, 0xFFFF), 0xFFFFu);
  EXPECT_EQ(MrUnitAtIn(text, -1, 3, FALSE, 0xFFFF), 0xFFFFu);
  EXPECT_EQ(MrUnitAtIn(nullptr, 0, 3, FALSE, 0xFFFF), 0xFFFFu);
  EXPECT_EQ(MrUnitAtIn(text, 0, 1, TRUE, 0xFFFF), 0xFFFFu);
}

TEST(Units, PutWritesLittleEndian) {
  BYTE out[3] = {0xAA, 0xAA, 0xAA};
  EXPECT_EQ(MrPutUnit(out, TRUE, MR_CHAR_PAGE_BREAK), 2);
  EXPECT_EQ(out[0], 0x0C);
  EXPECT_EQ(out[1], 0x00);
  EXPECT_EQ(out[2], 0xAA);
  EXPECT_EQ(MrPutUnit(out, FALSE, MR_CHAR_CR), 1);
  EXPECT_EQ(out[0], 0x0D);
  EXPECT_EQ(out[1], 0x00);
}

// ---------------------------------------------------------------------------
// ASCII and strings

TEST(CaseMapping, OnlyAsciiLettersChange) {
  for (int c = 0; c < 256; ++c) {
    const bool upper = c >= 'A' && c <= 'Z';
    const bool lower = c >= 'a' && c <= 'z';
    EXPECT_EQ(MrToLowerA(c), upper ? c + 32 : c) << c;
    EXPECT_EQ(MrToUpperA(c), lower ? c - 32 : c) << c;
  }
  // Signed bytes of DBCS text pass through.
  EXPECT_EQ(MrToUpperA(static_cast<char>(0xE1)), static_cast<char>(0xE1));
}

TEST(MrContainsNul, FindsAZeroByteAnywhere) {
  const BYTE text[] = {0x41, 0x42, 0x43, 0x44, 0x00};
  EXPECT_TRUE(MrContainsNul(text, 5, MIREL_ENCODING_ANSI));
  EXPECT_FALSE(MrContainsNul(text, 4, MIREL_ENCODING_ANSI));
  EXPECT_FALSE(MrContainsNul(text, 0, MIREL_ENCODING_ANSI));
  EXPECT_FALSE(MrContainsNul(nullptr, 5, MIREL_ENCODING_ANSI));
  EXPECT_FALSE(MrContainsNul(text, -5, MIREL_ENCODING_ANSI));
  // Each position and each tail length, on exactly sized heap buffers.
  for (int len = 1; len <= 9; ++len) {
    for (int zeroAt = -1; zeroAt < len; ++zeroAt) {
      std::unique_ptr<BYTE[]> buf(new BYTE[len]);
      std::memset(buf.get(), 0x7F, static_cast<size_t>(len));
      if (zeroAt >= 0) buf[zeroAt] = 0;
      EXPECT_EQ(MrContainsNul(buf.get(), len, MIREL_ENCODING_ANSI), zeroAt >= 0 ? TRUE : FALSE)
          << len << " " << zeroAt;
    }
  }
}

TEST(MrContainsNul, OtherEncodingsAreUnexpected) {
  const BYTE text[] = {0x41, 0x42};
  MirelResetAssertFailures();
  EXPECT_TRUE(MrContainsNul(text, 2, MIREL_ENCODING_UTF8));
  EXPECT_TRUE(MrContainsNul(text, 2, MIREL_ENCODING_UTF16LE));
  EXPECT_EQ(MirelAssertFailureCount(), 2);
  MirelResetAssertFailures();
}

TEST(MrStrChr, BehavesLikeStrchr) {
  const char text[] = "ab,c\xE9";
  EXPECT_EQ(MrStrChr(text, ','), text + 2);
  EXPECT_EQ(MrStrChr(text, 'z'), nullptr);
  EXPECT_EQ(MrStrChr(text, '\0'), text + 5);
  EXPECT_EQ(MrStrChr(text, static_cast<char>(0xE9)), text + 4);
  EXPECT_EQ(MrStrChr(text, 0xE9), text + 4);
  EXPECT_EQ(MrStrChr(static_cast<const char*>(nullptr), 'a'), nullptr);
  char writable[] = "x;y";
  *MrStrChr(writable, ';') = ':';
  EXPECT_STREQ(writable, "x:y");
}

TEST(MrStrLen, CountsUpToTheTerminator) {
  EXPECT_EQ(MrStrLen(nullptr), 0u);
  EXPECT_EQ(MrStrLen(""), 0u);
  // Every length from 0 to 9 in an exactly sized heap buffer.
  for (size_t len = 0; len < 10; ++len) {
    std::unique_ptr<char[]> s(new char[len + 1]);
    std::memset(s.get(), 'a', len);
    s[len] = '\0';
    EXPECT_EQ(MrStrLen(s.get()), len);
  }
}

TEST(IsWindowsNT, ReportsTheNtPlatform) {
  // Every system the control runs on today reports the NT platform.
  EXPECT_TRUE(IsWindowsNT());
  EXPECT_EQ(sizeof(OSVERSIONINFOA), 148u);
}

}  // namespace
