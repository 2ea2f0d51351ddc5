// The wrapped row finder on 1-byte text against a plain reading of the
// rules: widths, tab stops, the width limit, break candidates after
// delimiters and around double-byte runs, line ends, the page-break
// character and the row cap, in the three wrap modes.
#include <windows.h>

#include <random>
#include <string>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirel/mrwordbreak.h"

using namespace mirel_doc_test;

namespace {

int ReferenceWrapEnd(CMirelDoc& doc, const std::string& t, DWORD nStart, DWORD* pEnd, long long* pWidth) {
  const BYTE* pLead = doc.GetLeadByteTable();
  const BYTE* p = reinterpret_cast<const BYTE*>(t.data());
  const int nMode = doc.nWrapMode;
  const bool bWord = nMode >= MIREL_WRAP_WORD;
  const long long nLimit = static_cast<long long>(doc.nTextWidth) - doc.nLeftMargin - 3;
  const DWORD n = static_cast<DWORD>(t.size());
  CMrWordBreak brk(nMode);
  DWORD pos = nStart;
  long long& w = *pWidth;
  w = 0;
  auto at = [&](DWORD nEnd, int nCode) {
    *pEnd = nEnd;
    return nCode;
  };
  for (;;) {
    if (pos >= n) return at(n, MIREL_BREAK_END);
    const BYTE c = p[pos];
    if (doc.chPageBreak && c == doc.chPageBreak) return at(pos, MIREL_BREAK_PAGE);
    if (pos - nStart >= 0xFFFF) return at(pos, MIREL_BREAK_WRAP);
    if (c == '\r') return at(pos, pos + 1 < n && p[pos + 1] == '\n' ? MIREL_BREAK_CRLF : MIREL_BREAK_CR);
    if (c == '\n') return at(pos, MIREL_BREAK_LF);
    const DWORD len = (pLead[c] && pos + 1 < n && p[pos + 1] >= 0x40) ? 2 : 1;
    if (pos - nStart + len > 0xFFFF) return at(pos, MIREL_BREAK_WRAP);
    if (c == '\t') {
      w = (w / doc.nTabWidth + 1) * doc.nTabWidth;
    } else {
      w += len == 1 ? doc.nCharWidth[c] : doc.GetCharWidth(p + pos, len);
    }
    if (bWord) brk.Step(pos, c == '\t', len == 2);
    if (w > nLimit && pos > nStart)
      return at(bWord && brk.nCandidate > nStart ? brk.nCandidate : pos, MIREL_BREAK_WRAP);
    if (bWord && doc.IsWordDelimiter(p + pos)) brk.nCandidate = pos + len;
    pos += len;
  }
}

struct WrapScanCase {
  const char* pszName;
  int nMode;
  bool bVaryingWidths;  // else every byte 3 pixels wide
  BYTE chPageBreak;
};

class LayoutWrapScan : public ::testing::TestWithParam<WrapScanCase> {};

TEST_P(LayoutWrapScan, MatchesThePlainRules) {
  const WrapScanCase& c = GetParam();
  std::mt19937 rng(20261209);
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  doc.chPageBreak = c.chPageBreak;
  doc.nWrapMode = static_cast<BYTE>(c.nMode);
  SetFixedMetrics(doc, 3, 12, 90);
  if (c.bVaryingWidths) {
    for (int b = 0; b < 256; ++b) doc.nCharWidth[b] = 1 + b % 5;
    doc.nCharWidth['x'] = 0;  // runs of it reach the row cap
  }
  // Words and blanks, delimiters, tabs, line ends of every kind, plain
  // control characters, double-byte characters and the page-break
  // character, with now and then a run longer than the row cap.
  const char alphabet[] = "ab  \t\r\n\f\x01\x1F~q.,(\xB0\xA1\xC8\0\xFF";
  std::string text;
  for (int i = 0; i < 120000; ++i) {
    if (rng() % 6000 == 0) text.append(70000 + rng() % 3, 'x');
    if (rng() % 40 == 0) text.append(rng() % 30, static_cast<char>('c' + rng() % 20));
    text.push_back(alphabet[rng() % (sizeof(alphabet) - 1)]);
  }
  ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), FALSE));
  CContentsHandler* s = doc.pContents;
  DWORD nStart = 0;
  int nWraps = 0;
  for (;;) {
    DWORD e1 = 0, e2 = 0;
    int w1 = 0;
    long long w2 = 0;
    const int c1 = s->FindLineEnd(s->GetText(0), s->GetTextLength(), nStart, &e1, &w1, FALSE);
    const int c2 = ReferenceWrapEnd(doc, text, nStart, &e2, &w2);
    ASSERT_EQ(c1, c2) << "at " << nStart;
    ASSERT_EQ(e1, e2) << "at " << nStart;
    ASSERT_EQ(w1, w2) << "at " << nStart;
    if (c1 == MIREL_BREAK_END) break;
    if (c1 == MIREL_BREAK_WRAP) {
      ++nWraps;
      nStart = e1;
    } else {
      nStart = e1 + (c1 == MIREL_BREAK_CRLF ? 2 : 1);
    }
  }
  EXPECT_GT(nWraps, 1000);
}

INSTANTIATE_TEST_SUITE_P(ModesWidthsAndPageBreaks, LayoutWrapScan,
                         ::testing::Values(WrapScanCase{"CharFixed", MIREL_WRAP_CHAR, false, '\f'},
                                           WrapScanCase{"CharVarying", MIREL_WRAP_CHAR, true, 'q'},
                                           WrapScanCase{"WordFixed", MIREL_WRAP_WORD, false, '\f'},
                                           WrapScanCase{"WordVarying", MIREL_WRAP_WORD, true, 0},
                                           WrapScanCase{"DbcsFixed", MIREL_WRAP_WORD_DBCS, false, 0},
                                           WrapScanCase{"DbcsVarying", MIREL_WRAP_WORD_DBCS, true, 'q'},
                                           WrapScanCase{"WordLeadBreak", MIREL_WRAP_WORD, true, 0xB0},
                                           WrapScanCase{"CharDelimBreak", MIREL_WRAP_CHAR, true, '.'},
                                           WrapScanCase{"WordDelimBreak", MIREL_WRAP_WORD, false, ' '}),
                         [](const auto& info) { return std::string(info.param.pszName); });

}  // namespace
