// The narrowed row and paragraph look-ups (row samples, paragraph index)
// against the searches of the table read plainly, on texts long enough for
// the narrowing to be used, with and without wrap, page breaks and rows cut
// at 0xFFFF bytes, before and after edits at the start, middle and end.
#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "mirel/cmireldoc.h"
#include "positions_fixture.h"

using namespace mirel_doc_test;

namespace {

// The position search probe by probe: the first probed row that holds the
// position answers; else the rows are scanned from the top.
int ProbedRowOfPos(const CMirelDoc& doc, DWORD nPos) {
  const DWORD nCount = static_cast<DWORD>(doc.nLineCount);
  DWORD lo = 0, hi = nCount - 1;
  while (lo <= hi) {
    const DWORD mid = (lo + hi) / 2;
    const MIREL_LINE& r = doc.pLines[mid];
    if (r.nStart <= nPos && nPos <= r.nStart + r.nLen) return static_cast<int>(mid);
    if (nPos >= r.nStart) {
      lo = mid + 1;
    } else {
      if (mid == 0) break;
      hi = mid - 1;
    }
  }
  for (DWORD i = 0; i + 1 < nCount; ++i) {
    if (doc.pLines[i].nStart + doc.pLines[i].nLen <= nPos && doc.pLines[i + 1].nStart > nPos)
      return static_cast<int>(i);
  }
  return static_cast<int>(nCount) - 1;
}

// First rows of all paragraphs, by a walk over the table.
std::vector<int> FirstRows(const CMirelDoc& doc) {
  std::vector<int> first;
  for (int i = 0; i < doc.nLineCount; ++i) {
    if (doc.pLines[i].nSubLine == 0) first.push_back(i);
  }
  return first;
}

struct SampleCase {
  const char* pszName;
  int nWrapMode;
  bool bPageBreaks;
  bool bLongRuns;  // runs past 0xFFFF bytes: continuation rows even without wrap
};

class LayoutSamples : public ::testing::TestWithParam<SampleCase> {};

TEST_P(LayoutSamples, LookUpsMatchTheTableSearchesThroughEdits) {
  const SampleCase& c = GetParam();
  std::mt19937 rng(4711);
  mirel_test::TextDoc t(MIREL_ENCODING_ANSI, c.nWrapMode);
  t.doc.chPageBreak = c.bPageBreaks ? 0x0C : 0;
  std::string text;
  for (int i = 0; i < 1200; ++i) {
    const int nWords = static_cast<int>(rng() % 6);
    for (int w = 0; w < nWords; ++w)
      text += std::string(1 + rng() % 9, static_cast<char>('a' + rng() % 26)) + " ";
    if (c.bPageBreaks && rng() % 7 == 0) text += rng() % 2 ? "\x0C\x0C" : "x\x0C";
    if (c.bLongRuns && i % 500 == 250) text += std::string(0xFFFF + 10 + rng() % 3, 'y');
    text += i % 5 == 0 ? "\n" : "\r\n";
  }
  ASSERT_TRUE(t.SetText(text));

  auto check = [&](const std::string& when) {
    // Positions around every row start and end (where rows meet, and in
    // line ends), and past the text.
    std::vector<DWORD> positions = {t.Length() + 1, t.Length() + 2};
    for (int i = 0; i < t.doc.nLineCount; ++i) {
      const DWORD s = t.doc.pLines[i].nStart, e = s + t.doc.pLines[i].nLen;
      for (const DWORD pos : {s - 1, s, s + 1, e - 1, e, e + 1}) {
        if (pos <= t.Length()) positions.push_back(pos);
      }
    }
    for (const DWORD pos : positions) {
      ASSERT_EQ(t.doc.GetLineFromPos(pos), ProbedRowOfPos(t.doc, pos)) << when << ", position " << pos;
    }
    const std::vector<int> first = FirstRows(t.doc);
    const int nParas = static_cast<int>(first.size());
    ASSERT_EQ(t.doc.GetParagraphCount(), nParas) << when;
    for (int p = 0; p < nParas + 2; ++p) {
      const int nWanted = p < nParas ? first[p] : -1;
      ASSERT_EQ(t.doc.FindFirstRowOfParagraph(static_cast<DWORD>(p)), nWanted) << when << ", paragraph " << p;
      const int nLineWanted = p == 0 ? 0 : p < nParas ? first[p] : first.back();
      ASSERT_EQ(t.doc.GetLineFromParagraph(p), nLineWanted) << when << ", paragraph " << p;
    }
    // The table the edits left equals a fresh layout (rebuilt in place).
    const std::vector<Row> kept = RowsOf(t.doc);
    ASSERT_EQ(kept, RebuiltRows(t.doc)) << when;
  };
  check("loaded");
  // Only the plain unwrapped text has a row per paragraph.
  EXPECT_EQ(t.doc.RowsAreParagraphs() != FALSE,
            c.nWrapMode == MIREL_WRAP_NONE && !c.bPageBreaks && !c.bLongRuns);
  struct Edit {
    const char* pszName;
    const char* pszInsert;
    DWORD nDelete;
  };
  const Edit edits[] = {{"a letter", "q", 0},        {"a line end", "\r\n", 0}, {"a page break", "a\x0C", 0},
                        {"lines", "1\n2\r3\r\n", 0}, {"a deletion", "", 40},    {"a replacement", "zz\n", 3}};
  for (const Edit& e : edits) {
    for (const char* pszWhere : {"start", "middle", "end"}) {
      const DWORD nLen = t.Length();
      const DWORD nDel = std::min(e.nDelete, nLen);
      const DWORD nAt = pszWhere[0] == 's' ? 0 : pszWhere[0] == 'm' ? nLen / 2 : nLen - nDel;
      if (nDel > 0) {
        ASSERT_TRUE(t.doc.DeleteContents(nAt, nDel, FALSE));
      }
      const std::string ins = e.pszInsert;
      if (!ins.empty()) {
        ASSERT_TRUE(t.doc.InsertContents(nAt, Bytes(ins), Len(ins), FALSE));
      }
      check(std::string(e.pszName) + " at the " + pszWhere);
      if (HasFatalFailure()) return;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(WrapAndBreaks, LayoutSamples,
                         ::testing::Values(SampleCase{"NoWrap", MIREL_WRAP_NONE, false, false},
                                           SampleCase{"NoWrapPageBreaks", MIREL_WRAP_NONE, true, false},
                                           SampleCase{"NoWrapCappedRows", MIREL_WRAP_NONE, false, true},
                                           SampleCase{"CharWrapPageBreaks", MIREL_WRAP_CHAR, true, false},
                                           SampleCase{"WordWrap", MIREL_WRAP_WORD, false, false},
                                           SampleCase{"WordDbcsWrapPageBreaks", MIREL_WRAP_WORD_DBCS, true,
                                                      false}),
                         [](const auto& info) { return std::string(info.param.pszName); });

}  // namespace
