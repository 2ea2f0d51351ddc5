// Find, replace, matching braces and the highlighter switches through the
// exports, as a host calls them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "control_fixture.h"
#include "mirelctrl/mirelctrl.h"
#include "screen_pixels.h"

namespace {

class SearchExports : public mirel_test::ControlTest {
 protected:
  SearchExports() : ControlTest(13) {}
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ControlTest::SetUp());
    Fill("one two\r\nOne (x) one");
  }
};

TEST_F(SearchExports, FindStepsThroughMatchesAndWraps) {
  int nPos = 0;
  EXPECT_EQ(Mirel_FindTextA(m_hCtrl, "one", MIREL_FIND_MATCHCASE, FALSE, &nPos, TRUE), 1);
  EXPECT_EQ(nPos, 3);
  EXPECT_EQ(Mirel_FindTextA(m_hCtrl, "one", MIREL_FIND_MATCHCASE, TRUE, &nPos, TRUE), 1);
  EXPECT_EQ(nPos, 20);
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 20);
  EXPECT_EQ(Mirel_FindTextA(m_hCtrl, "one", MIREL_FIND_MATCHCASE, TRUE, &nPos, TRUE), 0);
  EXPECT_EQ(nPos, 20);
  EXPECT_EQ(Mirel_FindTextA(m_hCtrl, "one", MIREL_FIND_MATCHCASE | MIREL_FIND_WRAP, TRUE, &nPos, TRUE), 1);
  EXPECT_EQ(nPos, 3);
  int s = -1, e = -1;
  Mirel_GetBlock(m_hCtrl, &s, &e);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(e, 3);
  EXPECT_EQ(
      Mirel_FindTextA(m_hCtrl, "^One", MIREL_FIND_REGEXP | MIREL_FIND_MATCHCASE, FALSE, &(nPos = 0), FALSE),
      1);
  EXPECT_EQ(nPos, 12);
  EXPECT_EQ(Mirel_FindTextA(m_hCtrl, nullptr, 0, FALSE, &nPos, TRUE), 0);
  EXPECT_EQ(Mirel_FindTextA(m_hCtrl, "one", 0, FALSE, nullptr, TRUE), 0);
}

TEST_F(SearchExports, ReplaceFindsThenReplaces) {
  int nPos = 0;
  EXPECT_EQ(Mirel_ReplaceTextA(m_hCtrl, "two", "2", 0, FALSE, &nPos, TRUE), 1);
  EXPECT_EQ(Mirel_ReplaceTextA(m_hCtrl, "two", "2", 0, TRUE, &nPos, TRUE), 2);
  EXPECT_EQ(Text(), "one 2\r\nOne (x) one");
  EXPECT_EQ(nPos, 5);
  EXPECT_TRUE(Mirel_CanUndo(m_hCtrl));
}

TEST_F(SearchExports, MatchBraceAndHighlighterSwitches) {
  Mirel_SetSel(m_hCtrl, 9, 9, TRUE);
  EXPECT_EQ(Mirel_MatchBrace(m_hCtrl, 12345), 1);
  int s = -1, e = -1;
  Mirel_GetBlock(m_hCtrl, &s, &e);
  EXPECT_EQ(s, 13);
  EXPECT_EQ(e, 16);
  Mirel_SetSel(m_hCtrl, 17, 17, TRUE);
  EXPECT_EQ(Mirel_MatchBrace(m_hCtrl, 0), 0);

  EXPECT_FALSE(Mirel_IsShowFindResult(m_hCtrl));
  Mirel_SetShowFindResult(m_hCtrl, TRUE);
  EXPECT_TRUE(Mirel_IsShowFindResult(m_hCtrl));
  Mirel_SetFindResult(m_hCtrl, "one", 3, 0);
  Mirel_SetFindResult(m_hCtrl, "one", -5, 0);
  Mirel_SetShowFindResult(m_hCtrl, FALSE);
  EXPECT_FALSE(Mirel_IsShowFindResult(m_hCtrl));
  Mirel_SetShowHyperLink(m_hCtrl, TRUE);
  EXPECT_TRUE(Mirel_IsShowHyperLink(m_hCtrl));
  Mirel_SetShowHyperLink(m_hCtrl, FALSE);
  EXPECT_FALSE(Mirel_IsShowHyperLink(m_hCtrl));
}

// Finds and highlights on whole characters, in documents of each encoding.
class SearchExportsCharacters : public mirel_test::ControlTest {
 protected:
  SearchExportsCharacters() : ControlTest(14) {}
  // A new document in the encoding holding the UTF-16 text.
  void Open(int nEncoding, const std::wstring& text) {
    Mirel_SetFileEncoding(m_hCtrl, nEncoding);
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    ASSERT_EQ(Mirel_GetFileEncoding(m_hCtrl), nEncoding);
    std::vector<WCHAR> units(text.begin(), text.end());
    ASSERT_EQ(Mirel_InsertW(m_hCtrl, units.data(), static_cast<int>(units.size()), FALSE), 1);
  }
  // Pixels in the find-result background with the pattern set.
  size_t Highlighted(const std::string& pattern, int nFlags) {
    Mirel_SetFindResult(m_hCtrl, pattern.data(), static_cast<int>(pattern.size()), nFlags);
    UpdateWindow(m_hCtrl);
    const DWORD want = RGB(GetBValue(kFindBack), GetGValue(kFindBack), GetRValue(kFindBack));
    size_t n = 0;
    for (DWORD px : mirel_test::ScreenPixels(m_hCtrl)) n += (px & 0xFFFFFF) == want ? 1 : 0;
    return n;
  }
  static constexpr COLORREF kFindBack = RGB(10, 200, 30);
};

TEST_F(SearchExportsCharacters, FindStartsOnAWholeCharacterAndWholeWordsOverlapRejections) {
  constexpr int CASE = MIREL_FIND_MATCHCASE;
  constexpr int WORD = MIREL_FIND_WHOLEWORD;
  struct Case {
    int nEncoding;
    const wchar_t* pszText;
    const char* pszPattern;
    int nFlags;
    int nStart, nSelStart, nSelEnd;
  } cases[] = {
      {MIREL_ENCODING_UTF16LE, L"a\r\n", "\r\n", CASE, 4, 2, 6},
      {MIREL_ENCODING_UTF16LE, L"a\r\n", "\r\n", CASE, 5, 2, 6},
      {MIREL_ENCODING_UTF8, L"a\r\n", "\r\n", CASE, 2, 1, 3},
      {MIREL_ENCODING_ANSI, L"ba a a", "a a", WORD | CASE, 0, 3, 6},
      {MIREL_ENCODING_UTF16LE, L"ba a a", "a a", WORD | CASE, 0, 6, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pszPattern << " enc " << c.nEncoding << " from " << c.nStart);
    ASSERT_NO_FATAL_FAILURE(Open(c.nEncoding, c.pszText));
    int nPos = c.nStart;
    const int nFound = Mirel_FindTextA(m_hCtrl, c.pszPattern, c.nFlags, FALSE, &nPos, FALSE);
    EXPECT_EQ(nFound, 1);
    if (nFound != 1) continue;
    int s = -1, e = -1;
    Mirel_GetBlock(m_hCtrl, &s, &e);
    EXPECT_EQ(s, c.nSelStart);
    EXPECT_EQ(e, c.nSelEnd);
    EXPECT_EQ(nPos, c.nSelEnd);
  }
}

// A highlight covers the text's own bytes of a case-blind match (as many
// pixels as the exact match) and never half of a surrogate pair.
TEST_F(SearchExportsCharacters, HighlightsCoverWholeCharacters) {
  ShowWindow(m_host.hWnd(), SW_SHOWNORMAL);
  Mirel_SetFindHighlightBackColor(m_hCtrl, kFindBack);
  Mirel_SetShowFindResult(m_hCtrl, TRUE);
  struct Case {
    int nEncoding;
    const wchar_t* pszText;
    std::string pattern;
    int nFlags;
    std::string exact;  // the matched text; empty: nothing is highlighted
  } cases[] = {
      {MIREL_ENCODING_UTF8, L"x\x2C62y", "\xC9\xAB", 0, "\xE2\xB1\xA2"},
      {MIREL_ENCODING_UTF8, L"x\x2C65y", "\xC8\xBA", 0, "\xE2\xB1\xA5"},
      {MIREL_ENCODING_UTF16LE, L"x\xD83D\xDE00y", std::string("\x00\xDE", 2), MIREL_FIND_MATCHCASE, ""},
      {MIREL_ENCODING_UTF16LE, L"x\xD83D\xDE00y", std::string("\x3D\xD8", 2), MIREL_FIND_MATCHCASE, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "enc " << c.nEncoding << " flags " << c.nFlags);
    ASSERT_NO_FATAL_FAILURE(Open(c.nEncoding, c.pszText));
    const size_t nGot = Highlighted(c.pattern, c.nFlags);
    if (c.exact.empty()) {
      EXPECT_EQ(nGot, 0u);
      // The whole character is highlighted.
      EXPECT_GT(Highlighted(std::string("\x3D\xD8\x00\xDE", 4), MIREL_FIND_MATCHCASE), 0u);
    } else {
      EXPECT_GT(nGot, 0u);
      EXPECT_EQ(nGot, Highlighted(c.exact, MIREL_FIND_MATCHCASE));
    }
  }
}

}  // namespace
