// Regular-expression finds over very long lines: a pattern without back
// references finds its match however long the line (the record of failures
// that no longer fits its memory gives way to a sweep, never to a budget),
// and matches that start or end inside a character are passed over without
// starting the line again for each. Each case here took from minutes to
// hours before; the program runs under a short timeout.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "mirel/search/cregexp.h"
#include "positions_fixture.h"

namespace {

std::string Repeat(const std::string& piece, size_t nTimes) {
  std::string s;
  s.reserve(piece.size() * nTimes);
  for (size_t i = 0; i < nTimes; ++i) s += piece;
  return s;
}

TEST(RegexLongLine, ManyClosuresFindTheMatchPastTheRecordsMemory) {
  // 30 closures over an 18 MiB line need more than the record's memory cap.
  constexpr DWORD kLine = 18u << 20;
  std::string line(kLine, 'w');
  line[kLine / 2] = '#';
  const std::string pattern = Repeat(".*", 30) + "#";
  CRegExp rx;
  ASSERT_EQ(rx.Compile(pattern.c_str(), static_cast<int>(pattern.size()), TRUE, FALSE), nullptr);
  const BYTE* t = reinterpret_cast<const BYTE*>(line.data());
  ASSERT_EQ(rx.Match(t, 0, kLine, kLine, 0), 1);
  EXPECT_EQ(rx.anGroupStart[0], 0u);
  EXPECT_EQ(rx.anGroupEnd[0], kLine / 2 + 1);
  EXPECT_FALSE(rx.IsOutOfSteps());
  // Text length x program length, not more.
  EXPECT_LE(rx.GetSteps(), 2ull * (kLine + 1) * pattern.size());
  // Attempts from the end backward, as a backward find makes them.
  EXPECT_EQ(rx.MatchAt(t, kLine - 1, kLine, kLine, 0), 0);
  EXPECT_EQ(rx.MatchAt(t, kLine / 2 + 1, kLine, kLine, 0), 0);
  ASSERT_EQ(rx.MatchAt(t, kLine / 2, kLine, kLine, 0), 1);
  EXPECT_EQ(rx.anGroupEnd[0], kLine / 2 + 1);
}

// Half the line "\xC3\xA9" (U+00E9), half ASCII: every match of "\xC3",
// closures, "\xC3" ends inside a character, found after backtracking over
// the ASCII tail.
std::string AccentsThenAscii(size_t nBytes) {
  return Repeat("\xC3\xA9", nBytes / 4) + std::string(nBytes / 2, 'a');
}

// Finds whose candidates all start or end inside a character on one long
// line, with the match they must find on the line before or after it.
TEST(RegexLongLine, MatchesInsideCharactersArePassedOverInOneWalk) {
  const std::string kGa = "\xB0\xA1";  // code page 949
  const std::string kAnyX100 = "\\xC3" + Repeat(".*", 100) + "\\xC3";
  struct Case {
    const char* pszName;
    int nEncoding;
    int nCodePage;
    std::string pattern;
    std::string rejected;  // a line of nothing but rejected matches
    std::string wanted;    // a line holding the match, whole
    BOOL bBackward;
  } cases[] = {
      {"Cp949Forward", MIREL_ENCODING_ANSI, 949, kGa + ".*" + kGa + ".", Repeat(kGa, 512 * 1024),
       kGa + kGa + "a", FALSE},
      {"Cp949Backward", MIREL_ENCODING_ANSI, 949, kGa + ".*" + kGa + ".", Repeat(kGa, 512 * 1024),
       kGa + kGa + "a", TRUE},
      {"Utf8Forward", MIREL_ENCODING_UTF8, 0, "\\xC3.*\\xC3", AccentsThenAscii(512 * 1024), "\xC3\xC3",
       FALSE},
      {"Utf8Backward", MIREL_ENCODING_UTF8, 0, "\\xC3.*\\xC3", AccentsThenAscii(512 * 1024), "\xC3\xC3",
       TRUE},
      {"Utf8ManyClosuresForward", MIREL_ENCODING_UTF8, 0, kAnyX100, AccentsThenAscii(32 * 1024), "\xC3\xC3",
       FALSE},
      {"Utf8ManyClosuresBackward", MIREL_ENCODING_UTF8, 0, kAnyX100, AccentsThenAscii(32 * 1024), "\xC3\xC3",
       TRUE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszName);
    mirel_test::TextDoc t(c.nEncoding, MIREL_WRAP_NONE, c.nCodePage);
    // Forward the wanted line comes last, backward first (at the text's
    // end, a match may end there).
    const std::string text = c.bBackward ? c.wanted + "\r\n" + c.rejected : c.rejected + "\r\n" + c.wanted;
    ASSERT_TRUE(t.SetText(text));
    const DWORD nWanted = c.bBackward ? 0u : static_cast<DWORD>(c.rejected.size() + 2);
    int nPos = c.bBackward ? static_cast<int>(text.size()) : 0;
    const int nFlags = MIREL_FIND_REGEXP | MIREL_FIND_MATCHCASE | (c.bBackward ? MIREL_FIND_BACKWARD : 0);
    ASSERT_EQ(t.doc.FindTextA(c.pattern.c_str(), nFlags, FALSE, &nPos, FALSE), 1);
    EXPECT_EQ(t.doc.block.GetStartPtr(), nWanted);
    EXPECT_EQ(t.doc.block.GetEndPtr(), nWanted + static_cast<DWORD>(c.wanted.size()));
    EXPECT_EQ(nPos, static_cast<int>(nWanted + c.wanted.size()));
  }
}

}  // namespace
