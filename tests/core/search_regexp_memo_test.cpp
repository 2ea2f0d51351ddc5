// The regular-expression matcher remembers failed (position, closure) pairs:
// its matches must stay those of plain greedy backtracking, its work bounded
// by text length x program length, and back references bounded by the step
// budget.
#include <windows.h>

#include <cctype>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mirel/cmireldoc.h"
#include "mirel/search/cregexp.h"
#include "positions_fixture.h"

namespace {

// Plain greedy backtracking over a compiled program, retrying the rest of
// the program at every repeat length: the matcher as it was before it
// remembered failures, kept as the reference for its results.
class CPlainMatcher {
 public:
  CPlainMatcher(const CRegExp& rx, const BYTE* t, DWORD nEnd, DWORD nLimit, DWORD nLineStart)
      : m_prog(rx.abProgram), m_t(t), m_nEnd(nEnd), m_nLimit(nLimit), m_nLineStart(nLineStart) {}

  // The end of a match attempted at p, or -1.
  long long At(DWORD p) {
    std::memset(m_bClosed, 0, sizeof(m_bClosed));
    DWORD e = 0;
    return Here(p, 0, &e) ? static_cast<long long>(e) : -1;
  }

  // First start in [nStart, nEnd) (for "^" only the line start, for "$"
  // the end) with its match end; FALSE when none.
  BOOL First(DWORD nStart, DWORD* ps, DWORD* pe) {
    if (m_prog[0] == RX_EOL) {
      *ps = *pe = m_nEnd;
      return TRUE;
    }
    for (DWORD p = nStart; p < m_nEnd || (m_prog[0] == RX_BOL && p == m_nEnd); ++p) {
      if (m_prog[0] == RX_BOL && p != m_nLineStart) continue;
      const long long e = At(p);
      if (e >= 0) {
        *ps = p;
        *pe = static_cast<DWORD>(e);
        return TRUE;
      }
    }
    return FALSE;
  }

 private:
  static BOOL Word(BYTE b) { return b >= 128 || std::isalnum(b) || b == '_'; }
  static int Size(const BYTE* prog, int pc) {
    switch (prog[pc]) {
      case RX_CHAR:
      case RX_GROUP_START:
      case RX_GROUP_END:
      case RX_BACKREF:
        return 2;
      case RX_CLASS:
        return 1 + RX_CLASS_SIZE;
      case RX_CLOSURE:
        return 2 + Size(prog, pc + 1);
      default:
        return 1;
    }
  }
  BOOL One(int pc, DWORD p, DWORD nBound) const {
    if (p >= nBound) return FALSE;
    if (m_prog[pc] == RX_CHAR) return m_t[p] == m_prog[pc + 1];
    if (m_prog[pc] == RX_CLASS) return (m_prog[pc + 1 + m_t[p] / 8] >> (m_t[p] % 8)) & 1;
    return TRUE;  // RX_ANY
  }

  BOOL Here(DWORD p, int pc, DWORD* pe) {
    for (;;) {
      const BYTE c = m_prog[pc];
      const int n = m_prog[pc + 1] % RX_MAX_GROUPS;
      switch (c) {
        case RX_END:
          *pe = p;
          return TRUE;
        case RX_CHAR:
        case RX_CLASS:
        case RX_ANY:
          if (!One(pc, p, c == RX_ANY ? m_nEnd : m_nLimit)) return FALSE;
          ++p;
          break;
        case RX_BOL:
          if (p != m_nLineStart) return FALSE;
          break;
        case RX_EOL:
          if (p < m_nEnd) return FALSE;
          break;
        case RX_GROUP_START:
          m_nStart[n] = p;
          m_bClosed[n] = FALSE;
          break;
        case RX_GROUP_END:
          m_nGroupEnd[n] = p;
          m_bClosed[n] = TRUE;
          break;
        case RX_WORD_START:
          if ((p > 0 && p <= m_nLimit && Word(m_t[p - 1])) || p >= m_nLimit || !Word(m_t[p])) return FALSE;
          break;
        case RX_WORD_END:
          if (p == 0 || p > m_nLimit || !Word(m_t[p - 1]) || (p < m_nLimit && Word(m_t[p]))) return FALSE;
          break;
        case RX_BACKREF: {
          const DWORD nLen = m_bClosed[n] && m_nGroupEnd[n] > m_nStart[n] ? m_nGroupEnd[n] - m_nStart[n] : 0;
          if (nLen > m_nLimit || p > m_nLimit - nLen) return FALSE;
          if (std::memcmp(m_t + m_nStart[n], m_t + p, nLen) != 0) return FALSE;
          p += nLen;
          break;
        }
        default: {  // RX_CLOSURE
          DWORD q = p;
          while (One(pc + 1, q, m_nEnd)) ++q;
          const int nRest = pc + Size(m_prog, pc);
          for (DWORD k = q + 1; k-- > p;) {
            if (Here(k, nRest, pe)) return TRUE;
          }
          return FALSE;
        }
      }
      pc += Size(m_prog, pc);
    }
  }

  const BYTE* m_prog;
  const BYTE* m_t;
  DWORD m_nEnd;
  DWORD m_nLimit;
  DWORD m_nLineStart;
  DWORD m_nStart[RX_MAX_GROUPS] = {};
  DWORD m_nGroupEnd[RX_MAX_GROUPS] = {};
  BOOL m_bClosed[RX_MAX_GROUPS] = {};
};

const char* Compile(CRegExp& rx, const std::string& pattern, BOOL bCase = TRUE) {
  return rx.Compile(pattern.c_str(), static_cast<int>(pattern.size()), bCase, FALSE);
}

// Runs the engine and the plain matcher over one text with every start,
// two range ends, limits at the end and at the text end, and line starts at
// the text start and at the start: forward searches (Match) and a backward
// walk of single attempts (MatchAt from the end down) must agree.
void ExpectSameAsPlain(const std::string& pattern, const std::string& subject, BOOL bCase) {
  CRegExp rx;
  if (Compile(rx, pattern, bCase) != nullptr) return;
  const std::vector<BYTE> buf(subject.begin(), subject.end());
  const BYTE* t = buf.empty() ? reinterpret_cast<const BYTE*>("") : buf.data();
  const DWORD n = static_cast<DWORD>(buf.size());
  for (DWORD nEnd : {n, n / 2}) {
    for (DWORD nLimit : {nEnd, n}) {
      for (DWORD nStart = 0; nStart <= nEnd; ++nStart) {
        for (DWORD nLineStart : {DWORD{0}, nStart}) {
          SCOPED_TRACE(testing::Message() << "/" << pattern << "/ on \"" << subject << "\" [" << nStart
                                          << ", " << nEnd << ") limit " << nLimit << " line " << nLineStart);
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
                                        << " end " << nEnd << " limit " << nLimit);
        const long long e = plain.At(k);
        ASSERT_EQ(rx.MatchAt(t, k, nEnd, nLimit, 0), e >= 0 ? 1 : 0);
        if (e < 0) continue;
        EXPECT_EQ(rx.anGroupEnd[0], static_cast<DWORD>(e));
        break;
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
  const char* tokens[] = {"a",   "b", ".",   "a*",    ".*", "[ab]*",   "b+",  "\\w+",    "\\<",
                          "\\>", "#", "\\r", "[^b]*", " ",  "\\(a\\)", "\\1", "\\(.*\\)"};
  const char alphabet[] = {'a', 'b', ' ', '#', '\r', '\n', '\xC3'};
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
    SCOPED_TRACE(c.pszPattern);
    CRegExp rx;
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

TEST(SearchRegExpMemo, BackReferencesStopAtTheStepBudget) {
  // Closures before a back reference are not remembered: cubic in the line.
  const std::string text = Prose(3000);
  const BYTE* t = reinterpret_cast<const BYTE*>(text.data());
  const DWORD n = static_cast<DWORD>(text.size());
  CRegExp rx;
  ASSERT_EQ(Compile(rx, "\\(a\\).*.*\\1.*#"), nullptr);
  EXPECT_EQ(rx.Match(t, 0, n, n, 0), 0);
  EXPECT_TRUE(rx.IsOutOfSteps());
  EXPECT_LE(rx.GetSteps(), RX_STEP_BUDGET + (RX_STEP_BUDGET_PER_BYTE + 1) * n);
  // The search is over: later runs find nothing at once, even a match.
  const BYTE hit[] = {'a', 'a', '#'};
  EXPECT_EQ(rx.Match(hit, 0, 3, 3, 0), 0);
  EXPECT_EQ(rx.GetSteps(), 0u);
  // A new search has the whole budget again.
  ASSERT_EQ(Compile(rx, "\\(a\\).*.*\\1.*#"), nullptr);
  EXPECT_EQ(rx.Match(hit, 0, 3, 3, 0), 1);
  EXPECT_FALSE(rx.IsOutOfSteps());
}

TEST(SearchRegExpMemo, AFindThatRunsOutOfStepsFailsLikeANotFound) {
  // Lines of prose and, far down, a line that matches: the budget runs out
  // first, so the find fails and leaves the selection where it was.
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
  EXPECT_EQ(t.doc.FindText(reinterpret_cast<const BYTE*>(pattern.data()), static_cast<int>(pattern.size()),
                           MIREL_FIND_REGEXP | MIREL_FIND_MATCHCASE, FALSE, &nPos, FALSE),
            0);
  ASSERT_NE(t.doc.pRegExp, nullptr);
  EXPECT_TRUE(t.doc.pRegExp->IsOutOfSteps());
  EXPECT_EQ(nPos, 0);
  EXPECT_EQ(t.doc.block.GetStartPtr(), nAnchor);
  EXPECT_EQ(t.doc.block.GetEndPtr(), nCaret);
  // Without the back reference the same search is remembered, not
  // budgeted, and finds the last line.
  const std::string plain = "a.*a.*.*#";
  EXPECT_EQ(t.doc.FindText(reinterpret_cast<const BYTE*>(plain.data()), static_cast<int>(plain.size()),
                           MIREL_FIND_REGEXP | MIREL_FIND_MATCHCASE, FALSE, &nPos, FALSE),
            1);
  EXPECT_EQ(nPos, static_cast<int>(text.size()));
}

}  // namespace
