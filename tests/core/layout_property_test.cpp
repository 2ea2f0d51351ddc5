// Random edits in every wrap mode and in ANSI, UTF-16 and UTF-8 text: after
// each one the incrementally kept line table equals a fresh rebuild, the
// bytes equal a model of the file, the bookmarks stay valid, and the row that
// GetLineFromPos gives agrees with a scan of the table. A second check
// compares the fast no-wrap scan with a plain reading of the rules.
//
#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"

using namespace mirel_doc_test;

namespace {

constexpr unsigned kSeed = 20240611;

// Pieces of text the edits are made of, per encoding.
std::vector<std::string> PiecesFor(int nEncoding) {
  if (nEncoding == MIREL_ENCODING_UTF16LE) {
    return {Utf16("a"), Utf16("word "), Utf16("\r"), Utf16("\n"), Utf16("\r\n"), Utf16("\t"), Utf16({0x0C}),
            Utf16({0xAC00, 0xAC01}), Utf16({0x4E0D, 0x4E0A, 0x4E09, 0xAC0A, 0xAC0D, 0x4E20}), Utf16("x-y.z"),
            Utf16({0xD83D, 0xDE00}), Utf16("long line of text that wraps "),
            // Lone halves, which edits join into pairs and pull apart again.
            Utf16({0xD840}), Utf16({0xDC00})};
  }
  if (nEncoding == MIREL_ENCODING_UTF8) {
    return {"a",
            "word ",
            "\r",
            "\n",
            "\r\n",
            "\t",
            "\x0C",
            "\xEA\xB0\x80\xEA\xB0\x81",
            "\xE4\xB8\x8D",
            "\xF0\x9F\x98\x80",
            "\xEA",
            "\x80\x80",
            "x-y.z",
            "long line of text that wraps "};
  }
  return {"a",    "word ", "\r",    "\n",
          "\r\n", "\t",    "\x0C",  "\xB0\xA1\xB0\xA2",
          "\xB0", "\xA1",  "x-y.z", "long line of text that wraps "};
}

// The row a position belongs to, by scanning the table: a row that holds it
// (start to start + length, both included) when there is one; otherwise (in a
// line end, or past the text) the row whose end is at or before it while the
// next row starts after it, or the last row.
bool RowHolds(const Row& r, DWORD nPos) {
  return r.nStart <= nPos && nPos <= r.nStart + r.nLen;
}

int ScanRowOf(const std::vector<Row>& rows, DWORD nPos) {
  for (size_t i = 0; i < rows.size(); ++i) {
    if (RowHolds(rows[i], nPos)) return static_cast<int>(i);
  }
  for (size_t i = 0; i + 1 < rows.size(); ++i) {
    if (rows[i].nStart + rows[i].nLen <= nPos && rows[i + 1].nStart > nPos) return static_cast<int>(i);
  }
  return static_cast<int>(rows.size()) - 1;
}

class LayoutProperty : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(LayoutProperty, IncrementalTableEqualsRebuild) {
  const int nEncoding = std::get<0>(GetParam());
  const int nMode = std::get<1>(GetParam());
  const bool bWide = nEncoding == MIREL_ENCODING_UTF16LE;
  const DWORD u = bWide ? 2 : 1;
  std::mt19937 rng(kSeed + nEncoding * 10 + nMode);
  const std::vector<std::string> pieces = PiecesFor(nEncoding);

  CMirelDoc doc;
  OpenEmpty(doc, nEncoding);
  doc.nWrapMode = static_cast<BYTE>(nMode);
  doc.chPageBreak = 0x0C;
  SetFixedMetrics(doc, 7, 28, 100);
  MakeBookmarkSlots(doc, 40);
  std::string file = FileOf(doc);
  auto rnd = [&](DWORD n) { return n == 0 ? 0u : static_cast<DWORD>(rng() % n); };

  for (int step = 0; step < 600; ++step) {
    // Now and then the hex view edits any byte, the mark included.
    const bool bHex = rnd(8) == 0;
    doc.nViewType = bHex ? MIREL_VIEW_TYPE_HEX : MIREL_VIEW_TYPE_TEXT;
    const DWORD nBom = doc.pContents->GetBomLength();
    const DWORD nLimit = bHex ? doc.GetFileSize() : doc.GetContentsSize();
    const DWORD nStep = bHex ? 1 : u;
    const DWORD nPos = rnd(nLimit / nStep + 1) * nStep;
    std::string bytes;
    const int nPieces = static_cast<int>(rnd(4));
    for (int i = 0; i < nPieces; ++i) bytes += pieces[rnd(static_cast<DWORD>(pieces.size()))];
    if (bHex && rnd(2) == 0 && !bytes.empty()) bytes.pop_back();  // odd lengths in the hex view
    DWORD nOld = std::min<DWORD>(rnd(12) * nStep, (nLimit - nPos) / nStep * nStep);
    const int op = static_cast<int>(rnd(3));
    const BOOL bUndo = rnd(2);
    const DWORD nBodyPos = bHex ? nPos : nPos + nBom;
    BOOL bOk = FALSE;
    if (op == 0 || (op == 1 && nOld == 0)) {
      bOk = doc.InsertContents(nPos, Bytes(bytes), Len(bytes), bUndo);
      nOld = 0;
    } else if (op == 1) {
      bOk = doc.DeleteContents(nPos, nOld, bUndo);
      bytes.clear();
    } else {
      bOk = doc.ReplaceContents(nPos, nOld, bUndo, Bytes(bytes), Len(bytes), bUndo);
    }
    ASSERT_TRUE(bOk) << "step " << step << " op " << op << " pos " << nPos << " old " << nOld << " new "
                     << bytes.size() << (bHex ? " hex" : "");
    file.replace(nBodyPos, nOld, bytes);
    ASSERT_EQ(FileOf(doc), file) << "step " << step;
    ASSERT_LE(doc.pContents->GetBomLength(), doc.GetFileSize());

    const std::vector<Row> rows = RowsOf(doc);
    ASSERT_TRUE(SpareRecordsZero(doc)) << "step " << step;
    const std::vector<Row> rebuilt = RebuiltRows(doc);
    ASSERT_EQ(rows, rebuilt) << "step " << step << " op " << op << " pos " << nPos << " old " << nOld
                             << " new " << bytes.size() << (bHex ? " hex" : "");
    for (const Row& r : rows) ASSERT_LE(r.nStart + r.nLen, doc.GetContentsSize());

    doc.nViewType = MIREL_VIEW_TYPE_TEXT;
    const DWORD nTextLen = doc.GetContentsSize();
    for (int i = 0; i < 40; ++i) {
      const DWORD p = i == 0 ? nTextLen : (i == 1 ? nTextLen + 3 : rnd(nTextLen + 1));
      const int nRow = doc.GetLineFromPos(p);
      ASSERT_GE(nRow, 0);
      ASSERT_LT(nRow, doc.nLineCount);
      const int nScan = ScanRowOf(rows, p);
      if (RowHolds(rows[nScan], p)) {
        ASSERT_TRUE(RowHolds(rows[nRow], p)) << "step " << step << " pos " << p << " row " << nRow;
      } else {
        ASSERT_EQ(nRow, nScan) << "step " << step << " pos " << p;
      }
    }

    // Bookmarks stay on existing paragraphs, ordinary ones ascending and unique.
    const int nParas = static_cast<int>(rows.back().nPara) + 1;
    std::vector<int> marks = OrdinaryBookmarks(doc);
    ASSERT_EQ(static_cast<int>(marks.size()), doc.nBookmarkCount);
    for (size_t i = 0; i < marks.size(); ++i) {
      ASSERT_LT(marks[i], nParas);
      if (i > 0) {
        ASSERT_LT(marks[i - 1], marks[i]);
      }
    }
    if (rnd(4) == 0 && doc.nBookmarkCount < 25) {
      // Re-make the ordinary bookmarks on a few random paragraphs.
      for (int i = MIREL_NAMED_BOOKMARK_COUNT; i < doc.nBookmarkAlloc; ++i) doc.pBookmark[i] = CMrBookmark();
      doc.nBookmarkCount = 0;
      std::vector<int> paras;
      for (int i = 0; i < 5; ++i) paras.push_back(static_cast<int>(rnd(static_cast<DWORD>(nParas))));
      std::sort(paras.begin(), paras.end());
      paras.erase(std::unique(paras.begin(), paras.end()), paras.end());
      for (int p : paras) AddOrdinaryBookmark(doc, p);
    }
    if (doc.GetFileSize() > 6000) {
      doc.nViewType = MIREL_VIEW_TYPE_TEXT;
      ASSERT_TRUE(doc.DeleteContents(0, doc.GetContentsSize() / 2 / u * u, FALSE));
      file = FileOf(doc);
      ASSERT_EQ(RowsOf(doc), RebuiltRows(doc));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EncodingsAndModes, LayoutProperty,
                         ::testing::Combine(::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE,
                                                              MIREL_ENCODING_UTF8),
                                            ::testing::Values(MIREL_WRAP_NONE, MIREL_WRAP_CHAR,
                                                              MIREL_WRAP_WORD, MIREL_WRAP_WORD_DBCS)));

// The rules of the no-wrap row finder read plainly, for 1-byte encodings,
// with the running width: a tab to the next stop, every other character its
// measured width.
int ReferenceNoWrapEnd(CMirelDoc& doc, const std::string& t, DWORD nStart, BYTE chPageBreak, DWORD* pEnd,
                       long long* pWidth) {
  const BYTE* pLead = doc.GetLeadByteTable();
  DWORD pos = nStart;
  const DWORD n = static_cast<DWORD>(t.size());
  long long& w = *pWidth;
  w = 0;
  for (;;) {
    if (pos >= n) {
      *pEnd = n;
      return MIREL_BREAK_END;
    }
    const BYTE c = static_cast<BYTE>(t[pos]);
    if (chPageBreak && c == chPageBreak) {
      *pEnd = pos;
      return MIREL_BREAK_PAGE;
    }
    if (pos - nStart >= 0xFFFF) {
      *pEnd = pos;
      return MIREL_BREAK_WRAP;
    }
    if (c == '\r') {
      *pEnd = pos;
      return pos + 1 < n && t[pos + 1] == '\n' ? MIREL_BREAK_CRLF : MIREL_BREAK_CR;
    }
    if (c == '\n') {
      *pEnd = pos;
      return MIREL_BREAK_LF;
    }
    const DWORD len = (pLead[c] && pos + 1 < n && static_cast<BYTE>(t[pos + 1]) >= 0x40) ? 2 : 1;
    if (pos - nStart + len > 0xFFFF) {
      *pEnd = pos;
      return MIREL_BREAK_WRAP;
    }
    if (c == '\t') {
      w = (w / doc.nTabWidth + 1) * doc.nTabWidth;
    } else {
      w +=
          len == 1 ? doc.nCharWidth[c] : doc.GetCharWidth(reinterpret_cast<const BYTE*>(t.data()) + pos, len);
    }
    pos += len;
  }
}

// Widths the same for every byte (the run is summed by count) or not, a
// page-break character below 0x20 or a printable one (the word-at-a-time
// scan of plain runs is then off), or none.
struct NoWrapScanCase {
  const char* pszName;
  bool bVaryingWidths;
  BYTE chPageBreak;
};

class LayoutNoWrapScan : public ::testing::TestWithParam<NoWrapScanCase> {};

TEST_P(LayoutNoWrapScan, MatchesThePlainRules) {
  const NoWrapScanCase& c = GetParam();
  std::mt19937 rng(kSeed);
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  doc.chPageBreak = c.chPageBreak;
  SetFixedMetrics(doc, 3, 12, 50);
  if (c.bVaryingWidths) {
    for (int b = 0; b < 256; ++b) doc.nCharWidth[b] = 1 + b % 5;
  }
  // Long plain runs (so that the row cap is reached and whole words are
  // scanned), control characters that are plain, line ends of all kinds,
  // double-byte characters and the page-break character at every offset.
  const char alphabet[] = "ab \t\r\n\f\x01\x1F~q\xB0\xA1\xC8";
  std::string text;
  for (int i = 0; i < 200000; ++i) {
    if (rng() % 5000 == 0) text.append(70000 + rng() % 3, (rng() % 2) ? 'x' : '\xB0');
    if (rng() % 50 == 0) text.append(rng() % 40, static_cast<char>('c' + rng() % 20));
    text.push_back(alphabet[rng() % (sizeof(alphabet) - 1)]);
  }
  ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), FALSE));
  CContentsHandler* s = doc.pContents;
  DWORD nStart = 0;
  int nChecked = 0;
  while (nStart <= text.size()) {
    DWORD e1 = 0, e2 = 0;
    int w1 = 0;
    long long w2 = 0;
    const int c1 = s->FindLineEnd(s->GetText(0), s->GetTextLength(), nStart, &e1, &w1, FALSE);
    const int c2 = ReferenceNoWrapEnd(doc, text, nStart, c.chPageBreak, &e2, &w2);
    ASSERT_EQ(c1, c2) << "at " << nStart;
    ASSERT_EQ(e1, e2) << "at " << nStart;
    ASSERT_EQ(w1, w2) << "at " << nStart;
    ++nChecked;
    if (c1 == MIREL_BREAK_END) break;
    if (c1 == MIREL_BREAK_CRLF) {
      nStart = e1 + 2;
    } else if (c1 == MIREL_BREAK_WRAP) {
      nStart = e1;
    } else {
      nStart = e1 + 1;
    }
  }
  EXPECT_GT(nChecked, 1000);
}

INSTANTIATE_TEST_SUITE_P(WidthsAndPageBreaks, LayoutNoWrapScan,
                         ::testing::Values(NoWrapScanCase{"FixedFormFeed", false, '\f'},
                                           NoWrapScanCase{"VaryingFormFeed", true, '\f'},
                                           NoWrapScanCase{"VaryingPrintable", true, 'q'},
                                           NoWrapScanCase{"FixedNone", false, 0}),
                         [](const auto& info) { return std::string(info.param.pszName); });

}  // namespace
