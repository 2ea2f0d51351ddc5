// The regular-expression matcher remembers failed (position, closure) pairs
// or sweeps a run once: its matches must stay those of plain greedy
// backtracking, also in the searches that pass over matches inside a
// character, its work bounded by text length x program length, and back
// references bounded by the step budgets.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mirel/cmireldoc.h"
#include "mirel/search/cregexp.h"
#include "mirel/search/mrcharstarts.h"
#include "mirel/search/mrfind.h"
#include "positions_fixture.h"
#include "regexp_reference.h"
#ifndef _WIN32
#include <hooks_kernel.h>
#endif

namespace {

using mirel_test::CPlainMatcher;

const char* Compile(CRegExp& rx, const std::string& pattern, BOOL bCase = TRUE) {
  return rx.Compile(pattern.c_str(), static_cast<int>(pattern.size()), bCase, FALSE);
}

// Bytes of 0x81 and more lead a pair, as in code page 949.
const BYTE* DbcsLeadTable() {
  static BYTE abLead[256] = {};
  for (int b = 0x81; b <= 0xFE; ++b) abLead[b] = 1;
  return abLead;
}

// The filter a find passes the matcher, as a test states it: matches start
// and end on character starts; forward, not the empty match at nFrom;
// backward, no attempt at the end unless the program is anchored.
class CTestFilter : public CRegExpFilter {
 public:
  CTestFilter(CMrCharStarts& starts, CMrCharStarts& ends, BOOL bForward, DWORD nFrom, DWORD nNoStart)
      : m_starts(starts), m_ends(ends), m_bForward(bForward), m_nFrom(nFrom), m_nNoStart(nNoStart) {}
  BOOL IsStartAllowed(DWORD k) override { return k != m_nNoStart && m_starts.IsCharStart(k); }
  BOOL IsMatchAllowed(DWORD s, DWORD e) override {
    return !(m_bForward && s == m_nFrom && e == m_nFrom) && m_ends.IsCharStart(e);
  }

 private:
  CMrCharStarts& m_starts;
  CMrCharStarts& m_ends;
  BOOL m_bForward;
  DWORD m_nFrom;
  DWORD m_nNoStart;
};

// Runs the engine and the plain matcher over one text with every start,
// two range ends, limits at the end and at the text end, and line starts at
// the text start and at the start: forward searches (Match) and a backward
// walk of single attempts (MatchAt from the end down) must agree, with the
// record of failures and with the sweep that stands in for it; and so must
// the searches that pass over matches starting or ending inside a UTF-8 or
// double-byte character (MatchFirst, MatchLast).
void ExpectSameAsPlain(const std::string& pattern, const std::string& subject, BOOL bCase) {
  CRegExp rx;
  if (Compile(rx, pattern, bCase) != nullptr) return;
  const std::vector<BYTE> buf(subject.begin(), subject.end());
  const BYTE* t = buf.empty() ? reinterpret_cast<const BYTE*>("") : buf.data();
  const DWORD n = static_cast<DWORD>(buf.size());
  for (size_t nCap : {RX_MEMO_MAX_BYTES, size_t{0}}) {
    rx.SetMemoCap(nCap);
    for (DWORD nEnd : {n, n / 2}) {
      for (DWORD nLimit : {nEnd, n}) {
        for (DWORD nStart = 0; nStart <= nEnd; ++nStart) {
          for (DWORD nLineStart : {DWORD{0}, nStart}) {
            SCOPED_TRACE(testing::Message()
                         << "/" << pattern << "/ on \"" << subject << "\" [" << nStart << ", " << nEnd
                         << ") limit " << nLimit << " line " << nLineStart << " cap " << nCap);
            CPlainMatcher plain(rx, t, nEnd, nLimit, nLineStart);
            DWORD s = 0;
            DWORD e = 0;
            const BOOL bPlain = plain.First(nStart, &s, &e);
            ASSERT_EQ(rx.Match(t, nStart, nEnd, nLimit, nLineStart), bPlain ? 1 : 0);
            if (bPlain) {
              EXPECT_EQ(rx.anGroupStart[0], s);
              EXPECT_EQ(rx.anGroupEnd[0], e);
            }
          }
        }
        // The backward walk: each attempt may build on the failures of the
        // ones after it, up to the first that matches.
        ASSERT_EQ(Compile(rx, pattern, bCase), nullptr);
        CPlainMatcher plain(rx, t, nEnd, nLimit, 0);
        for (DWORD k = nEnd + 1; k-- > 0;) {
          SCOPED_TRACE(testing::Message() << "/" << pattern << "/ on \"" << subject << "\" attempt at " << k
                                          << " end " << nEnd << " limit " << nLimit << " cap " << nCap);
          const long long e = plain.At(k);
          ASSERT_EQ(rx.MatchAt(t, k, nEnd, nLimit, 0), e >= 0 ? 1 : 0);
          if (e < 0) continue;
          EXPECT_EQ(rx.anGroupEnd[0], static_cast<DWORD>(e));
          break;
        }
        // Finds in a line [0, nEnd) that must not split a character.
        if (nLimit != n) continue;
        for (BOOL bUtf8 : {TRUE, FALSE}) {
          const BYTE* pLead = bUtf8 ? nullptr : DbcsLeadTable();
          auto isStart = [&](DWORD k) {
            if (k == 0 || k >= n) return TRUE;
            return bUtf8 ? (t[k] & 0xC0) != 0x80 : MrIsDbcsBoundary(t, n, k, pLead);
          };
          for (DWORD nFrom = 0; nFrom <= nEnd; ++nFrom) {
            SCOPED_TRACE(testing::Message()
                         << "/" << pattern << "/ on \"" << subject << "\" from " << nFrom << " end " << nEnd
                         << " limit " << nLimit << " cap " << nCap << (bUtf8 ? " UTF-8" : " DBCS"));
            CPlainMatcher ref(rx, t, nEnd, nLimit, 0);
            DWORD s = 0;
            DWORD e = 0;
            const BOOL bFirst = mirel_test::ReferenceFirst(ref, nFrom, nFrom, nEnd, isStart, &s, &e);
            CMrCharStarts starts(t, n, bUtf8, pLead);
            CMrCharStarts ends(t, n, bUtf8, pLead);
            CTestFilter forward(starts, ends, TRUE, nFrom, 0xFFFFFFFF);
            ASSERT_EQ(rx.MatchFirst(t, nFrom, nEnd, nLimit, 0, forward), bFirst ? 1 : 0);
            if (bFirst) {
              EXPECT_EQ(rx.anGroupStart[0], s);
              EXPECT_EQ(rx.anGroupEnd[0], e);
            }
            const BOOL bAnchored = rx.abProgram[0] == RX_BOL || rx.abProgram[0] == RX_EOL;
            const BOOL bLast = mirel_test::ReferenceLast(ref, rx.abProgram, 0, nFrom, nEnd, isStart, &s, &e);
            CTestFilter backward(starts, ends, FALSE, 0, bAnchored ? 0xFFFFFFFF : nEnd);
            ASSERT_EQ(rx.MatchLast(t, 0, nFrom, nEnd, nLimit, 0, backward), bLast ? 1 : 0);
            if (bLast) {
              EXPECT_EQ(rx.anGroupStart[0], s);
              EXPECT_EQ(rx.anGroupEnd[0], e);
            }
          }
        }
      }
    }
  }
}

TEST(SearchRegExpMemo, SameMatchesAsPlainBacktracking) {
  const char* patterns[] = {
      "a.*b.*#",
      ".*.*=",
      "\\w+.*\\w+.*=",
      ".*.*.*.*#",
      "a*ab",
      "a*a*a*b",
      "[ab]*b[ab]*a",
      "x*",
      "a+b+",
      "^a.*b$",
      "^.*$",
      "\\<a.*b\\>",
      "a.*\\>",
      ".*\\<b",
      "\\(a*\\)b",
      "\\(a\\).*\\1",
      "\\([ab]*\\)#\\1",
      "\\(a\\).*\\1.*#",
      "\\(.\\).*\\1.*\\1.*a",
      "b.*\\r",
      "b.*\\r\\n",
      "a\\r\\n.*a",
      "[^#]*#",
      "\\s*a",
      ".\\w*b",
      "a.*",
      "ab*c*$",
      "\xC3.*\xC3",
      "\xC3.*.*.*\xC3",
      "\xB0\xA1.*\xB0\xA1.",
      "..",
      "\\>.",
  };
  const char* subjects[] = {
      "",
      "a",
      "ab",
      "a b a b a b",
      "aaaaaaaab",
      "aaaaaaaaa",
      "abba abab #",
      "x = y",
      "w1 w2 w3",
      "ab\r\nab",
      "a\r\nab#",
      "b a\r\n",
      "\xC3\xA9 a\xC3\xA9 b",
      "bab#ab",
      "\xC3\xA9\xC3\xA9\xC3\xA9\xC3",
      "\xB0\xA1\xB0\xA1\xB0\xA1"
      "a",
  };
  for (const char* pattern : patterns) {
    for (const char* subject : subjects) {
      ExpectSameAsPlain(pattern, subject, TRUE);
      if (HasFatalFailure()) return;
    }
  }
  ExpectSameAsPlain("A.*B.*#", "a b #", FALSE);
}

TEST(SearchRegExpMemo, SameMatchesAsPlainBacktrackingOnGeneratedCases) {
  const char* tokens[] = {"a", "b",   ".",     "a*", ".*",      "[ab]*", "b+",       "\\w+",  "\\<", "\\>",
                          "#", "\\r", "[^b]*", " ",  "\\(a\\)", "\\1",   "\\(.*\\)", "\\xC3", "\xB0"};
  const char alphabet[] = {'a', 'b', ' ', '#', '\r', '\n', '\xC3', '\xA9', '\xB0'};
  std::mt19937 rng(2151);
  for (int nCase = 0; nCase < 400; ++nCase) {
    std::string pattern = rng() % 5 == 0 ? "^" : "";
    const int nTokens = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < nTokens; ++i) pattern += tokens[rng() % (sizeof(tokens) / sizeof(tokens[0]))];
    if (rng() % 5 == 0) pattern += "$";
    std::string subject;
    const int nLen = static_cast<int>(rng() % 14);
    for (int i = 0; i < nLen; ++i) subject += alphabet[rng() % sizeof(alphabet)];
    ExpectSameAsPlain(pattern, subject, rng() % 2);
    if (HasFatalFailure()) return;
  }
}

TEST(SearchRegExpMemo, CharacterStartsAgreeWithAWalkInAnyOrderOfQueries) {
  // Double-byte text with runs of lead-byte values broken by single bytes,
  // asked about upward, downward and at random: the kept run must never
  // answer for a position outside it.
  const BYTE kBytes[] = {'a', ' ', 0x30, 0x41, 0x81, 0xA1, 0xB0, 0xFE, 0xFF};
  std::mt19937 rng(949);
  for (int nCase = 0; nCase < 300; ++nCase) {
    std::vector<BYTE> text(1 + rng() % 40);
    for (BYTE& b : text) b = kBytes[rng() % sizeof(kBytes)];
    const DWORD n = static_cast<DWORD>(text.size());
    std::vector<DWORD> order(n + 1);
    for (DWORD k = 0; k <= n; ++k) order[k] = k;
    if (nCase % 3 == 1) std::reverse(order.begin(), order.end());
    if (nCase % 3 == 2) std::shuffle(order.begin(), order.end(), rng);
    CMrCharStarts starts(text.data(), n, FALSE, DbcsLeadTable());
    for (DWORD k : order) {
      ASSERT_EQ(starts.IsCharStart(k), MrIsDbcsBoundary(text.data(), n, k, DbcsLeadTable()))
          << "case " << nCase << " at " << k;
    }
  }
}

TEST(SearchRegExpMemo, ACompileForgetsWhatTheLastTextTaught) {
  // Attempts stepping back over one run share their failures; after the text
  // changes (same run bounds), the next search compiles again and sees it.
  CRegExp rx;
  ASSERT_EQ(Compile(rx, "a.*b.*#"), nullptr);
  std::vector<BYTE> text{'a', 'b', 'a', 'b', 'a', 'b', 'x'};
  const DWORD n = static_cast<DWORD>(text.size());
  for (DWORD k = n; k-- > 1;) EXPECT_EQ(rx.MatchAt(text.data(), k, n, n, 0), 0);
  text[n - 1] = '#';
  ASSERT_EQ(Compile(rx, "a.*b.*#"), nullptr);
  EXPECT_EQ(rx.MatchAt(text.data(), 0, n, n, 0), 1);
  EXPECT_EQ(rx.anGroupEnd[0], n);
  // The same with an empty pattern, which keeps the program in force.
  text[n - 1] = 'x';
  for (DWORD k = n; k-- > 1;) EXPECT_EQ(rx.MatchAt(text.data(), k, n, n, 0), 0);
  text[n - 1] = '#';
  ASSERT_EQ(rx.Compile("", 0, TRUE, FALSE), nullptr);
  EXPECT_EQ(rx.MatchAt(text.data(), 0, n, n, 0), 1);
}

// Words with spaces, no "#" or "=", nLen bytes.
std::string Prose(size_t nLen) {
  static const char kWords[] = "a bank of clouds drifted above the quiet harbour while boats waited ";
  std::string text;
  while (text.size() < nLen) text += kWords;
  text.resize(nLen);
  return text;
}

TEST(SearchRegExpMemo, WorkIsBoundedByTextTimesProgram) {
  // The searches that used to take seconds to minutes: each position is
  // tried at most once per program step.
  struct Case {
    const char* pszPattern;
    size_t nLine;
  } cases[] = {
      {"a.*b.*#", 20000},
      {".*.*=", 2000},
      {"\\w+.*\\w+.*=", 2000},
      {".*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*#", 2000},
      {"[a-z ]*[a-z ]*[a-z ]*=", 2000},
  };
  for (const Case& c : cases) {
    for (size_t nCap : {RX_MEMO_MAX_BYTES, size_t{0}}) {
      SCOPED_TRACE(testing::Message() << c.pszPattern << " cap " << nCap);
      CRegExp rx;
      rx.SetMemoCap(nCap);
      ASSERT_EQ(Compile(rx, c.pszPattern), nullptr);
      const std::string text = Prose(c.nLine);
      const BYTE* t = reinterpret_cast<const BYTE*>(text.data());
      const DWORD n = static_cast<DWORD>(text.size());
      const uint64_t nBound = 2ull * (n + 1) * std::strlen(c.pszPattern);
      EXPECT_EQ(rx.Match(t, 0, n, n, 0), 0);
      EXPECT_LE(rx.GetSteps(), nBound);
      // A backward walk over the same line: the same bound for all attempts.
      ASSERT_EQ(Compile(rx, c.pszPattern), nullptr);
      uint64_t nSteps = 0;
      for (DWORD k = n; k-- > 0;) {
        EXPECT_EQ(rx.MatchAt(t, k, n, n, 0), 0);
        nSteps += rx.GetSteps();
      }
      EXPECT_LE(nSteps, nBound);
      EXPECT_FALSE(rx.IsOutOfSteps());
    }
  }
}

TEST(SearchRegExpMemo, MatchesInsideCharactersCostNoMoreThanTheLine) {
  // Every match ends inside a UTF-8 character: a find passes over all of
  // them, forward and backward, within text length x program length.
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "\xC3\xA9";
  text += std::string(2000, 'a');
  const BYTE* t = reinterpret_cast<const BYTE*>(text.data());
  const DWORD n = static_cast<DWORD>(text.size());
  std::string manyClosures = "\\xC3";
  for (int i = 0; i < 100; ++i) manyClosures += ".*";
  manyClosures += "\\xC3";
  for (const std::string& pattern : {std::string("\\xC3.*\\xC3"), manyClosures}) {
    SCOPED_TRACE(pattern);
    CRegExp rx;
    ASSERT_EQ(Compile(rx, pattern), nullptr);
    const uint64_t nBound = 2ull * (n + 1) * pattern.size();
    CMrCharStarts starts(t, n, TRUE, nullptr);
    CMrCharStarts ends(t, n, TRUE, nullptr);
    CTestFilter forward(starts, ends, TRUE, 0, 0xFFFFFFFF);
    EXPECT_EQ(rx.MatchFirst(t, 0, n, n, 0, forward), 0);
    EXPECT_LE(rx.GetSteps(), nBound);
    CTestFilter backward(starts, ends, FALSE, 0, n);
    EXPECT_EQ(rx.MatchLast(t, 0, n, n, n, 0, backward), 0);
    EXPECT_LE(rx.GetSteps(), nBound);
  }
}

TEST(SearchRegExpMemo, BackReferencesStopAtTheStepBudget) {
  // Closures before a back reference are not remembered: cubic in the line.
  // (The line's budget is lowered here to keep the test quick; the finds
  // below run with the real one.)
  const std::string text = Prose(3000);
  const BYTE* t = reinterpret_cast<const BYTE*>(text.data());
  const DWORD n = static_cast<DWORD>(text.size());
  constexpr uint64_t kLineSteps = 1u << 20;
  CRegExp rx;
  rx.SetLineStepBudget(kLineSteps);
  ASSERT_EQ(Compile(rx, "\\(a\\).*.*\\1.*#"), nullptr);
  EXPECT_EQ(rx.Match(t, 0, n, n, 0), 0);
  EXPECT_TRUE(rx.IsOutOfSteps());
  EXPECT_LE(rx.GetSteps(), kLineSteps + (RX_STEP_BUDGET_PER_BYTE + 1) * n);
  // The search is over: later runs find nothing at once, even a match.
  const BYTE hit[] = {'a', 'a', '#'};
  EXPECT_EQ(rx.Match(hit, 0, 3, 3, 0), 0);
  EXPECT_EQ(rx.GetSteps(), 0u);
  // A new search has the whole budget again.
  ASSERT_EQ(Compile(rx, "\\(a\\).*.*\\1.*#"), nullptr);
  EXPECT_EQ(rx.Match(hit, 0, 3, 3, 0), 1);
  EXPECT_FALSE(rx.IsOutOfSteps());
}

TEST(SearchRegExpMemo, BackReferencesFindTheirMatchPastOrdinaryLines) {
  // A back reference searched over lines of one letter costs steps
  // quadratic in each line; every line has its own budget, so the lines
  // before the match never use up the search.
  struct Case {
    int nLines;
    size_t nLine;
  } cases[] = {{1, 1200}, {1, 4000}, {1000, 200}, {1, 8192}};
  const std::string pattern = "\\(.*\\)=\\1";
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.nLines << " lines of " << c.nLine);
    std::string text;
    for (int i = 0; i < c.nLines; ++i) text += std::string(c.nLine, 'w') + "\r\n";
    text += "ab=ab";
    mirel_test::TextDoc t;
    ASSERT_TRUE(t.SetText(text));
    int nPos = 0;
    ASSERT_EQ(t.doc.FindText(reinterpret_cast<const BYTE*>(pattern.data()), static_cast<int>(pattern.size()),
                             MIREL_FIND_REGEXP | MIREL_FIND_MATCHCASE, FALSE, &nPos, FALSE),
              1);
    EXPECT_EQ(t.doc.block.GetStartPtr(), text.size() - 5);
    EXPECT_EQ(nPos, static_cast<int>(text.size()));
  }
}

TEST(SearchRegExpMemo, AFindThatRunsOutOfStepsFailsLikeANotFoundAndSaysWhy) {
  // Lines of prose and, far down, a line that matches: the budget of the
  // first line runs out (the work is cubic in it), so the find fails, leaves
  // the selection where it was and writes why to the debug trace.
  std::string text;
  for (int i = 0; i < 20; ++i) text += Prose(2000) + "\r\n";
  text += "a a#";
  mirel_test::TextDoc t;
  ASSERT_TRUE(t.SetText(text));
  t.doc.SetSel(3, 5, TRUE);
  const DWORD nAnchor = t.doc.block.GetStartPtr();
  const DWORD nCaret = t.doc.block.GetEndPtr();
  int nPos = 0;
  const std::string pattern = "\\(a\\).*.*\\1.*#";
#ifndef _WIN32
  MrwTestClearDebugOutput();
#endif
  EXPECT_EQ(t.doc.FindText(reinterpret_cast<const BYTE*>(pattern.data()), static_cast<int>(pattern.size()),
                           MIREL_FIND_REGEXP | MIREL_FIND_MATCHCASE, FALSE, &nPos, FALSE),
            0);
  ASSERT_NE(t.doc.pRegExp, nullptr);
  EXPECT_TRUE(t.doc.pRegExp->IsOutOfSteps());
  EXPECT_EQ(nPos, 0);
  EXPECT_EQ(t.doc.block.GetStartPtr(), nAnchor);
  EXPECT_EQ(t.doc.block.GetEndPtr(), nCaret);
#ifndef _WIN32
  EXPECT_EQ(MrwTestDebugOutput(),
            "Regular expression search stopped: too much backtracking in the line at 0\n");
#endif
  // Without the back reference the same search is remembered, not
  // budgeted, and finds the last line.
  const std::string plain = "a.*a.*.*#";
  EXPECT_EQ(t.doc.FindText(reinterpret_cast<const BYTE*>(plain.data()), static_cast<int>(plain.size()),
                           MIREL_FIND_REGEXP | MIREL_FIND_MATCHCASE, FALSE, &nPos, FALSE),
            1);
  EXPECT_EQ(nPos, static_cast<int>(text.size()));
}

}  // namespace
