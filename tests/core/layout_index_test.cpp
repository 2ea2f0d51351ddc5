// The short cuts of the row and paragraph look-ups (row n is paragraph n
// while no paragraph has continuation rows), the line-end count of the load
// path and the load itself, checked against plain readings of the searches
// on random texts in every wrap mode and in 1- and 2-byte encodings.
#include <windows.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirel/mrlineends.h"
#include "positions_fixture.h"

using namespace mirel_doc_test;

namespace {

// The first row of a paragraph by the binary search over paragraph numbers:
// the last paragraph's first row past the end, 0 for none.
int ReferenceLineFromParagraph(const CMirelDoc& doc, int nPara) {
  if (nPara <= 0) return 0;
  const DWORD nWanted = static_cast<DWORD>(nPara);
  int nRow = doc.nLineCount - 1;
  if (doc.pLines[nRow].nPara >= nWanted) {
    nRow = 0;
    while (nRow < doc.nLineCount && doc.pLines[nRow].nPara < nWanted) ++nRow;
    if (nRow == doc.nLineCount || doc.pLines[nRow].nPara != nWanted) return 0;
    return nRow;
  }
  while (nRow > 0 && doc.pLines[nRow].nSubLine != 0) --nRow;
  return nRow;
}

int ReferenceFirstRow(const CMirelDoc& doc, DWORD nPara) {
  for (int i = 0; i < doc.nLineCount; ++i) {
    if (doc.pLines[i].nPara == nPara) return i;
  }
  return -1;
}

DWORD ReferenceLineEnds(const std::string& s, bool bWide) {
  const size_t u = bWide ? 2 : 1;
  DWORD n = 0;
  for (size_t i = 0; i + u <= s.size(); i += u) {
    const unsigned c =
        bWide ? static_cast<BYTE>(s[i]) | static_cast<BYTE>(s[i + 1]) << 8 : static_cast<BYTE>(s[i]);
    const unsigned next = i + 2 * u <= s.size()
                              ? (bWide ? static_cast<BYTE>(s[i + u]) | static_cast<BYTE>(s[i + u + 1]) << 8
                                       : static_cast<BYTE>(s[i + u]))
                              : 0;
    if (c == '\r') {
      ++n;
      if (next == '\n') i += u;
    } else if (c == '\n') {
      ++n;
    }
  }
  return n;
}

// Random text of words, blanks, tabs, line ends of every kind and the odd
// page break or long run, in the encoding.
std::string RandomText(std::mt19937& rng, bool bWide, size_t nPieces) {
  static const char* const pieces[] = {
      "a",  "word ", "\r",    "\n",     "\r\n",
      "\t", "\x0C",  "x-y.z", "\r\r\n", "a long run of words that wraps somewhere "};
  std::string s;
  for (size_t i = 0; i < nPieces; ++i) s += pieces[rng() % (sizeof(pieces) / sizeof(pieces[0]))];
  return bWide ? Utf16(s) : s;
}

class LayoutIndex : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(LayoutIndex, LookUpsAgreeWithThePlainSearchesAfterLoadsAndEdits) {
  const int nEncoding = std::get<0>(GetParam());
  const int nMode = std::get<1>(GetParam());
  const bool bWide = nEncoding == MIREL_ENCODING_UTF16LE;
  std::mt19937 rng(777 + nEncoding * 10 + nMode);
  mirel_test::TextDoc t(nEncoding, nMode);
  t.doc.chPageBreak = 0x0C;
  for (int round = 0; round < 12; ++round) {
    const std::string text = RandomText(rng, bWide, 5 + rng() % 60);
    ASSERT_TRUE(t.SetText(text));  // the load path: text into an empty store
    EXPECT_EQ(MrCountLineEnds(Bytes(text), Len(text), bWide), ReferenceLineEnds(text, bWide));
    EXPECT_TRUE(t.doc.RowSamplesInStep()) << "loaded, round " << round;
    const std::vector<Row> loaded = RowsOf(t.doc);
    EXPECT_EQ(loaded, RebuiltRows(t.doc)) << "round " << round;
    // An edit somewhere, then the look-ups.
    const DWORD nUnit = bWide ? 2 : 1;
    const DWORD nAt = static_cast<DWORD>(rng() % (text.size() / nUnit + 1)) * nUnit;
    const std::string more = RandomText(rng, bWide, 1 + rng() % 3);
    ASSERT_TRUE(t.doc.InsertContents(nAt, Bytes(more), Len(more), FALSE));
    EXPECT_TRUE(t.doc.RowSamplesInStep()) << "edited, round " << round;
    const int nParas = t.doc.GetParagraphCount();
    EXPECT_EQ(t.doc.RowsAreParagraphs(), t.doc.nLineCount == nParas);
    for (int p = -1; p <= nParas + 1; ++p) {
      EXPECT_EQ(t.doc.GetLineFromParagraph(p), ReferenceLineFromParagraph(t.doc, p)) << p;
      if (p >= 0) {
        EXPECT_EQ(t.doc.FindFirstRowOfParagraph(static_cast<DWORD>(p)),
                  ReferenceFirstRow(t.doc, static_cast<DWORD>(p)))
            << p;
      }
      int s = -7, e = -7;
      const int nFirst = p >= 0 ? ReferenceFirstRow(t.doc, static_cast<DWORD>(p)) : -1;
      EXPECT_EQ(t.doc.GetParagraph(p, &s, &e), nFirst >= 0 ? 1 : 0) << p;
      if (nFirst >= 0) {
        EXPECT_EQ(static_cast<DWORD>(s), t.doc.pLines[nFirst].nStart) << p;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EncodingsAndModes, LayoutIndex,
                         ::testing::Combine(::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE),
                                            ::testing::Values(MIREL_WRAP_NONE, MIREL_WRAP_CHAR,
                                                              MIREL_WRAP_WORD, MIREL_WRAP_WORD_DBCS)));

// Every position of a text of many one-row paragraphs maps to the row the
// plain search gives, also right after edits have moved every row start.
TEST(LayoutIndexRows, PositionSearchAgreesAcrossEditsThatMoveTheRows) {
  std::mt19937 rng(99);
  std::string text;
  for (int i = 0; i < 1500; ++i) text += std::string(rng() % 40, 'a') + (i % 3 == 0 ? "\n" : "\r\n");
  mirel_test::TextDoc t;
  ASSERT_TRUE(t.SetText(text));
  ASSERT_TRUE(t.doc.RowsAreParagraphs());
  auto expectAll = [&](const char* pszWhen) {
    const std::vector<Row> rows = RowsOf(t.doc);
    const DWORD nLen = t.doc.GetContentsSize();
    size_t r = 0;
    for (DWORD pos = 0; pos <= nLen + 2; ++pos) {
      while (r + 1 < rows.size() && rows[r + 1].nStart <= pos) ++r;
      ASSERT_EQ(t.doc.GetLineFromPos(pos), static_cast<int>(r)) << pszWhen << " at " << pos;
    }
  };
  expectAll("loaded");
  for (const char* piece : {"x", "\r\n", "yy\nzz", "\n\n\n"}) {
    // At the start, where every row after it moves, and near the end.
    for (const DWORD nAt : {DWORD{0}, t.doc.GetContentsSize() - 40}) {
      ASSERT_TRUE(t.doc.InsertContents(nAt, Bytes(piece), static_cast<DWORD>(std::strlen(piece)), FALSE));
      EXPECT_TRUE(t.doc.RowSamplesInStep()) << piece << " at " << nAt;
      expectAll(piece);
      ASSERT_TRUE(t.doc.DeleteContents(nAt + 5, 3, FALSE));
      EXPECT_TRUE(t.doc.RowSamplesInStep()) << "deleted at " << nAt;
      expectAll("deleted");
    }
  }
}

TEST(LayoutIndexCount, LineEndsAcrossBlockBoundariesAndAtTheEdges) {
  std::string s(70000, 'a');
  s[65535] = '\r';  // a CR LF pair across the counting blocks
  s[65536] = '\n';
  s[0] = '\n';
  s.back() = '\r';
  EXPECT_EQ(MrCountLineEnds(Bytes(s), Len(s), FALSE), ReferenceLineEnds(s, false));
  EXPECT_EQ(MrCountLineEnds(Bytes(s), Len(s), FALSE), 3u);
  EXPECT_EQ(MrCountLineEnds(nullptr, 5, FALSE), 0u);
  const std::string w = Utf16({0x0D, 0x0A, 0x0D, 0x0D0A, 0x0A}) + "\x0D";  // a unit 0x0D0A is no line end
  EXPECT_EQ(MrCountLineEnds(Bytes(w), Len(w), TRUE), 3u);
}

// Texts made of one line end only add one in every counter lane of every
// block: counters that were emptied too late would wrap around.
TEST(LayoutIndexCount, EveryUnitALineEnd) {
  struct Case {
    const char* pszUnit;
    bool bWide;
    DWORD nExpectedPerUnit;  // line ends per unit written
  };
  static const Case cases[] = {{"\r", false, 1}, {"\n", false, 1}, {"\r\n", false, 1},
                               {"\r", true, 1},  {"\n", true, 1},  {"\r\r\n", false, 2}};
  for (const Case& c : cases) {
    for (const size_t nCopies : {size_t{4079}, size_t{8160}, size_t{8177}, size_t{20011}}) {
      std::string s;
      for (size_t i = 0; i < nCopies; ++i) s += c.pszUnit;
      if (c.bWide) s = Utf16(s);
      EXPECT_EQ(MrCountLineEnds(Bytes(s), Len(s), c.bWide), c.nExpectedPerUnit * nCopies)
          << c.bWide << " " << nCopies;
    }
  }
}

// Texts thick with line ends, long enough for the block counters to be
// emptied several times, at every start alignment and with every tail
// length, in both encodings: a CR LF pair split across any boundary counts
// once.
TEST(LayoutIndexCount, DenseLineEndsAtEveryAlignmentAndTail) {
  std::mt19937 rng(4321);
  static const char* const pieces[] = {"\r", "\n", "\r\n", "a", "\r\r\n\n", "\n\r"};
  for (const bool bWide : {false, true}) {
    std::string base;
    while (base.size() < 9000) base += pieces[rng() % (sizeof(pieces) / sizeof(pieces[0]))];
    if (bWide) base = Utf16(base);
    for (size_t nSkip = 0; nSkip < 18; ++nSkip) {
      for (const size_t nCut : {size_t{0}, size_t{1}, size_t{7}, size_t{15}, size_t{16}, size_t{33}}) {
        const DWORD nLen = Len(base) - static_cast<DWORD>(nSkip + nCut);
        // Counted in place (any alignment); a wide text read from an odd
        // byte is another text, which the reference reads the same way.
        EXPECT_EQ(MrCountLineEnds(Bytes(base) + nSkip, nLen, bWide),
                  ReferenceLineEnds(base.substr(nSkip, nLen), bWide))
            << (bWide ? "wide" : "bytes") << " skip " << nSkip << " cut " << nCut;
      }
    }
  }
}

}  // namespace

namespace {

// The row of a position by the plain search of the whole table: the first
// row probed by halving that holds the position (start to end, both
// included), else the last row that starts at or before it.
int ReferenceRowOfPos(const CMirelDoc& doc, DWORD nPos) {
  int lo = 0;
  int hi = doc.nLineCount - 1;
  int nLastAtOrBefore = 0;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const MIREL_LINE& row = doc.pLines[mid];
    if (row.nStart <= nPos && nPos <= row.nStart + row.nLen) return mid;
    if (nPos < row.nStart) {
      hi = mid - 1;
    } else {
      lo = mid + 1;
    }
  }
  for (int i = 0; i < doc.nLineCount && doc.pLines[i].nStart <= nPos; ++i) nLastAtOrBefore = i;
  return nLastAtOrBefore;
}

// Random edits, undo and redo, wrap-mode, tab-size and font switches and new
// texts: after each, row and paragraph look-ups agree with the plain
// searches of the table, which itself equals a fresh layout.
TEST(LayoutIndexSteps, LookUpsFollowEditsUndoAndLayoutSwitches) {
  for (const int nEncoding : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE}) {
    const bool bWide = nEncoding == MIREL_ENCODING_UTF16LE;
    const DWORD nUnit = bWide ? 2 : 1;
    std::mt19937 rng(31337 + nEncoding);
    mirel_test::TextDoc t(nEncoding, MIREL_WRAP_WORD);
    t.doc.chPageBreak = 0x0C;
    ASSERT_TRUE(t.SetText(RandomText(rng, bWide, 400)));
    for (int step = 0; step < 400; ++step) {
      const DWORD nLen = t.Length();
      const DWORD nAt = static_cast<DWORD>(rng() % (nLen / nUnit + 1)) * nUnit;
      const int op = static_cast<int>(rng() % 20);
      if (op < 8) {
        const std::string more = RandomText(rng, bWide, 1 + rng() % 4);
        ASSERT_TRUE(t.doc.InsertContents(nAt, Bytes(more), Len(more), TRUE));
      } else if (op < 13) {
        if (nAt < nLen) {
          ASSERT_TRUE(t.doc.DeleteContents(nAt, std::min<DWORD>(nLen - nAt, nUnit * (1 + rng() % 30)), TRUE));
        }
      } else if (op < 15) {
        t.doc.Undo(nullptr);
      } else if (op == 15) {
        t.doc.Redo(nullptr);
      } else if (op == 16) {
        t.doc.SetWordWrap(static_cast<int>(rng() % 4));
      } else if (op == 17) {
        t.doc.SetTabSize(1 + static_cast<int>(rng() % 9));
      } else if (op == 18) {
        LOGFONTA font = t.font;
        font.lfHeight = -static_cast<LONG>(8 + rng() % 12);
        t.doc.SetFont(&font);
      } else if (rng() % 4 == 0) {
        ASSERT_TRUE(t.SetText(RandomText(rng, bWide, 100 + rng() % 400)));
      }
      const std::string when = "step " + std::to_string(step) + " op " + std::to_string(op);
      const DWORD nNewLen = t.Length();
      EXPECT_TRUE(t.doc.nLineCount < 32 || t.doc.RowSamplesInStep()) << when;
      for (int k = 0; k < 24; ++k) {
        const DWORD nPos = static_cast<DWORD>(rng() % (nNewLen + 3));
        ASSERT_EQ(t.doc.GetLineFromPos(nPos), ReferenceRowOfPos(t.doc, nPos)) << when << " at " << nPos;
      }
      const int nParas = t.doc.GetParagraphCount();
      for (int k = 0; k < 8; ++k) {
        const int p = static_cast<int>(rng() % static_cast<unsigned>(nParas + 2));
        ASSERT_EQ(t.doc.GetLineFromParagraph(p), ReferenceLineFromParagraph(t.doc, p))
            << when << " para " << p;
        ASSERT_EQ(t.doc.FindFirstRowOfParagraph(static_cast<DWORD>(p)),
                  ReferenceFirstRow(t.doc, static_cast<DWORD>(p)))
            << when << " para " << p;
      }
      if (step % 40 == 0) {
        ASSERT_EQ(RowsOf(t.doc), RebuiltRows(t.doc)) << when;
      }
    }
  }
}

// 16-bit units whose high byte is CR or LF, and CR and LF units beside them,
// at every start alignment: only whole CR and LF units count.
TEST(LayoutIndexCount, WideUnitsWithLineEndBytesAtRandom) {
  std::mt19937 rng(2718);
  static const unsigned kUnits[] = {0x000D, 0x000A, 0x0D0A, 0x0A0D, 0x0D00, 0x0A00, 0x0D0D, 0x0041, 0xAC00};
  std::string base;
  for (int i = 0; i < 3000; ++i) base += Utf16({kUnits[rng() % (sizeof(kUnits) / sizeof(kUnits[0]))]});
  for (int i = 0; i < 200; ++i) {
    const size_t nSkip = rng() % 40;
    const size_t nLen = rng() % (base.size() - nSkip);
    EXPECT_EQ(MrCountLineEnds(Bytes(base) + nSkip, static_cast<DWORD>(nLen), TRUE),
              ReferenceLineEnds(base.substr(nSkip, nLen), true))
        << "skip " << nSkip << " length " << nLen;
  }
}

}  // namespace
