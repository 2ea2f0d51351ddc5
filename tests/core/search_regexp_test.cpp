// The regular-expression engine: every compile error, and a table of
// patterns matched over byte ranges.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mirel/search/cregexp.h"

namespace {

const char* CompileText(CRegExp& rx, const std::string& pattern, BOOL bCase = TRUE, BOOL bParen = FALSE) {
  return rx.Compile(pattern.c_str(), static_cast<int>(pattern.size()), bCase, bParen);
}

TEST(SearchRegExp, EveryCompileErrorText) {
  struct Case {
    std::string pattern;
    BOOL bParen;
    const char* pszError;
  } cases[] = {
      {"*a", FALSE, "Empty closure"},
      {"\\(ab\\)*", FALSE, "Illegal closure"},
      {"^*", FALSE, "Illegal closure"},
      {"[a", FALSE, "Missing ]"},
      {"[a-", FALSE, "Missing ]"},
      {"[a\\", FALSE, "Missing ]"},
      {"\\<\\>", FALSE, "Null pattern inside \\<\\>"},
      {"\\(a\\1\\)", FALSE, "Cyclical reference"},
      {"\\(a\\)\\2", FALSE, "Undetermined reference"},
      {std::string(10 * 3, ' ').replace(0, 30, "\\(a\\(a\\(a\\(a\\(a\\(a\\(a\\(a\\(a\\(a"), FALSE,
       "Too many \\(\\) pairs"},
      {"\\(\\)", FALSE, "Null pattern inside \\(\\)"},
      {"a\\)", FALSE, "Unmatched \\)"},
      {"(((((((((((", TRUE, "Too many () pairs"},
      {"()", TRUE, "Null pattern inside ()"},
      {"a)", TRUE, "Unmatched )"},
      {"(a", TRUE, "Unmatched ("},
      {"\\(a", FALSE, "Unmatched \\("},
      {std::string(700, '.') + std::string(700, '.') + std::string(700, '.'), FALSE, "Pattern too long"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    CRegExp rx;
    const char* psz = CompileText(rx, c.pattern, TRUE, c.bParen);
    ASSERT_NE(psz, nullptr);
    EXPECT_STREQ(psz, c.pszError);
    EXPECT_FALSE(rx.IsCompiled());
    EXPECT_EQ(rx.abProgram[0], RX_END);  // a failed compile never matches
  }
  CRegExp rx;
  EXPECT_STREQ(rx.Compile(nullptr, 0, TRUE, FALSE), "No previous regular expression");
}

TEST(SearchRegExp, ProgramNeverOverflowsAndEmptyPatternKeepsThePrevious) {
  // Closures of classes grow the program by more than the element check
  // allows for: the room is checked before every byte.
  for (int n = 50; n < 70; ++n) {
    std::string pattern;
    for (int i = 0; i < n; ++i) pattern += "[ab]+";
    CRegExp rx;
    const char* psz = CompileText(rx, pattern);
    if (psz != nullptr) {
      EXPECT_STREQ(psz, "Pattern too long");
    }
  }
  CRegExp rx;
  ASSERT_EQ(CompileText(rx, "b+"), nullptr);
  EXPECT_EQ(rx.Compile("", 0, TRUE, FALSE), nullptr);
  const BYTE text[] = "abbbc";
  ASSERT_EQ(rx.Match(text, 0, 5), 1);
  EXPECT_EQ(rx.anGroupStart[0], 1u);
  EXPECT_EQ(rx.anGroupEnd[0], 4u);
}

struct MatchCase {
  const char* pszPattern;
  std::string subject;
  BOOL bCase;
  int nStart;  // -1: no match
  int nEnd;
};

void ExpectMatches(const std::vector<MatchCase>& cases) {
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(std::string(c.pszPattern) + " on " + c.subject);
    CRegExp rx;
    ASSERT_EQ(rx.Compile(c.pszPattern, static_cast<int>(std::strlen(c.pszPattern)), c.bCase, FALSE), nullptr);
    // The subject lives in a buffer of exactly its size, so a read past it
    // shows under the address sanitizer.
    std::vector<BYTE> buf(c.subject.begin(), c.subject.end());
    const BYTE* p = buf.empty() ? reinterpret_cast<const BYTE*>("") : buf.data();
    const DWORD n = static_cast<DWORD>(buf.size());
    const int nFound = rx.Match(p, 0, n, n, 0);
    if (c.nStart < 0) {
      EXPECT_EQ(nFound, 0);
      continue;
    }
    ASSERT_EQ(nFound, 1);
    EXPECT_EQ(rx.anGroupStart[0], static_cast<DWORD>(c.nStart));
    EXPECT_EQ(rx.anGroupEnd[0], static_cast<DWORD>(c.nEnd));
  }
}

TEST(SearchRegExp, MatchTable) {
  ExpectMatches({
      {"abc", "xxabcx", TRUE, 2, 5},
      {"abc", "xxABCx", TRUE, -1, 0},
      {"abc", "xxABCx", FALSE, 2, 5},
      {"\\A", "a", FALSE, -1, 0},
      {"[a-c]", "xB", FALSE, 1, 2},
      {"a**", "baaa", TRUE, 0, 0},
      {"ba*", "baaa", TRUE, 0, 4},
      {"a+", "baaa", TRUE, 1, 4},
      {"x*", "yyy", TRUE, 0, 0},
      {"$", "abc", TRUE, 3, 3},
      {"a$", "aba", TRUE, 2, 3},
      {"^", "abc", TRUE, 0, 0},
      {"^$", "", TRUE, 0, 0},
      {"^b", "ab", TRUE, -1, 0},
      {"[]a]", "x]", TRUE, 1, 2},
      {"[^-]", "-q", TRUE, 1, 2},
      {"[\\d-x]", "a-", TRUE, 1, 2},
      {"[\\d-x]", "ax", TRUE, 1, 2},
      {"[z-a]", "az", TRUE, 1, 2},
      {"[z-a]", "b", TRUE, -1, 0},
      {"\\x41", "zA", TRUE, 1, 2},
      {"\\x4", "x4", TRUE, 0, 2},
      {"\\xG1", "xG1", TRUE, 0, 3},
      {"\\d+", "ab123c", TRUE, 2, 5},
      {"\\s\\S", "a b", TRUE, 1, 3},
      {"\\w+", "  ab_9 ", TRUE, 2, 6},
      {"\\<bc", "abc bc", TRUE, 4, 6},
      {"ab\\>", "abc ab", TRUE, 4, 6},
      {"\\(a\\)\\1", "xaab", TRUE, 1, 3},
      {"\\(a\\(b\\1\\)\\)", "ab", TRUE, 0, 2},  // group 1 still open: empty span
      {"a.c", "abc", TRUE, 0, 3},
      {"needle[0-9]+", "a needle needle42 x", TRUE, 9, 17},
      {"\xB0\xA1", "a\xB0\xA1", TRUE, 1, 3},
      {"\xEA\xB0\x80+", "\xEA\xB0\x80\x80", TRUE, 0, 4},
      {"a\\t", "a\tb", TRUE, 0, 2},
      {"c", "ab", TRUE, -1, 0},
  });
}

TEST(SearchRegExp, LimitsAndLineStartAreSeparate) {
  CRegExp rx;
  ASSERT_EQ(CompileText(rx, "^ab"), nullptr);
  const BYTE text[] = {'x', 'a', 'b', 'a', 'b'};
  // "^" holds only at the line start, not at the start of any range.
  EXPECT_EQ(rx.Match(text, 3, 5, 5, 1), 0);
  EXPECT_EQ(rx.Match(text, 1, 5, 5, 1), 1);
  // A literal step may look past the range end, never past the limit.
  ASSERT_EQ(CompileText(rx, "b\\r"), nullptr);
  const BYTE crlf[] = {'b', '\r', '\n'};
  EXPECT_EQ(rx.Match(crlf, 0, 1, 3, 0), 1);
  EXPECT_EQ(rx.anGroupEnd[0], 2u);
  EXPECT_EQ(rx.Match(crlf, 0, 1, 1, 0), 0);
}

}  // namespace
