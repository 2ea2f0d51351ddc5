// The display-line layout: the row finder in the four wrap modes, the full
// rebuild, and the edge cases of the incremental re-layout (CR LF pairs made
// or split at the edge of an edit, whole UTF-16 units), with bookmarks, the
// current tag and the paragraph listeners kept in step.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include "platform_hooks.h"
#endif
#include "doc_test_util.h"
#include "test_support.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirel/metablock/cmrmetablock.h"
#include "mirel/syntax/cmrsyntax.h"

using namespace mirel_doc_test;

namespace {

class LayoutTest : public ::testing::Test {
 protected:
  void Open(int nEncoding, int nMode = MIREL_WRAP_NONE) {
    OpenEmpty(doc, nEncoding);
    doc.nWrapMode = static_cast<BYTE>(nMode);
    SetFixedMetrics(doc, 10, 40, 1000);
  }
  void Set(const std::string& text) {
    if (doc.GetContentsSize() > 0) {
      ASSERT_TRUE(doc.DeleteContents(0, doc.GetContentsSize(), FALSE));
    }
    if (!text.empty()) {
      ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), FALSE));
    }
    ASSERT_TRUE(doc.ReloadContents());
  }
  int Find(DWORD nStart, DWORD* pEnd, int* pWidth) {
    CContentsHandler* s = doc.pContents;
    return s->FindLineEnd(s->GetText(0), s->GetTextLength(), nStart, pEnd, pWidth, FALSE);
  }
  // Every edit must leave the table a fresh rebuild would make.
  void ExpectConsistent() {
    const std::vector<Row> rows = RowsOf(doc);
    EXPECT_TRUE(SpareRecordsZero(doc));
    EXPECT_EQ(rows, RebuiltRows(doc)) << "text: " << ::testing::PrintToString(TextOf(doc));
  }
  CMirelDoc doc;
};

TEST_F(LayoutTest, EmptyTextHasOneLastRow) {
  Open(MIREL_ENCODING_ANSI);
  EXPECT_EQ(RowsOf(doc), (std::vector<Row>{{0, 0, 0, 0, MIREL_LINE_LAST}}));
  DWORD nEnd = 99;
  int nWidth = 99;
  EXPECT_EQ(Find(0, &nEnd, &nWidth), MIREL_BREAK_END);
  EXPECT_EQ(nEnd, 0u);
  EXPECT_EQ(nWidth, 0);
}

TEST_F(LayoutTest, LineEndsOfEveryKindStartParagraphs) {
  Open(MIREL_ENCODING_ANSI);
  Set("a\r\nb");
  EXPECT_EQ(RowsOf(doc), (std::vector<Row>{{0, 0, 0, 1, 1}, {3, 1, 0, 1, 2}}));
  Set("a\rb\nc\r\n");
  EXPECT_EQ(RowsOf(doc),
            (std::vector<Row>{{0, 0, 0, 1, 1}, {2, 1, 0, 1, 1}, {4, 2, 0, 1, 1}, {7, 3, 0, 0, 2}}));
  Open(MIREL_ENCODING_UTF16LE);
  Set(Utf16("a\r\nb"));
  EXPECT_EQ(RowsOf(doc), (std::vector<Row>{{0, 0, 0, 2, 1}, {6, 1, 0, 2, 2}}));
}

TEST_F(LayoutTest, FinderReportsTheBreakKinds) {
  Open(MIREL_ENCODING_ANSI);
  Set("ab\r\ncd\ref\ngh");
  DWORD e = 0;
  int w = 0;
  EXPECT_EQ(Find(0, &e, &w), MIREL_BREAK_CRLF);
  EXPECT_EQ(e, 2u);
  EXPECT_EQ(w, 20);
  EXPECT_EQ(Find(4, &e, &w), MIREL_BREAK_CR);
  EXPECT_EQ(e, 6u);
  EXPECT_EQ(Find(7, &e, &w), MIREL_BREAK_LF);
  EXPECT_EQ(e, 9u);
  EXPECT_EQ(Find(10, &e, &w), MIREL_BREAK_END);
  EXPECT_EQ(e, 12u);
  doc.nWrapMode = 9;
  EXPECT_EQ(Find(0, &e, &w), MIREL_BREAK_BAD_MODE);
}

TEST_F(LayoutTest, PageBreakCharacterGetsARowOfItsOwn) {
  for (int nMode = 0; nMode <= 3; ++nMode) {
    Open(MIREL_ENCODING_ANSI, nMode);
    doc.chPageBreak = 0x0C;
    Set("ab\x0C"
        "cd\n\x0C"
        "e");
    EXPECT_EQ(RowsOf(doc), (std::vector<Row>{{0, 0, 0, 2, 1},
                                             {2, 0, 1, 1, 1},
                                             {3, 0, 2, 2, 1},
                                             {6, 1, 0, 0, 1},
                                             {6, 1, 1, 1, 1},
                                             {7, 1, 2, 1, 2}}))
        << "mode " << nMode;
  }
}

TEST_F(LayoutTest, NoWrapRowsStopAtTheRowCap) {
  Open(MIREL_ENCODING_ANSI);
  Set(std::string(70000, 'x'));
  EXPECT_EQ(RowsOf(doc), (std::vector<Row>{{0, 0, 0, 65535, 1}, {65535, 0, 1, 4465, 2}}));
}

TEST_F(LayoutTest, NoRowExceedsTheCapOrSplitsACharacter) {
  // A double-byte character or a UTF-16 unit straddling 0xFFFF bytes moves to the next row.
  Open(MIREL_ENCODING_ANSI);
  std::string dbcs = "ab";
  for (int i = 0; i < 35000; ++i) dbcs += "\xB0\xA1";
  Set(dbcs);
  std::vector<Row> rows = RowsOf(doc);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].nLen, 65534u);
  EXPECT_EQ(rows[1].nStart, 65534u);

  Open(MIREL_ENCODING_UTF16LE);
  std::string units;
  for (int i = 0; i < 70000; ++i) units += Utf16({0xAC00});
  Set(units);
  rows = RowsOf(doc);
  ASSERT_EQ(rows.size(), 3u);
  for (const Row& r : rows) {
    EXPECT_LE(r.nLen, 0xFFFFu);
    EXPECT_EQ(r.nStart % 2, 0u);
  }
  for (int nMode = 1; nMode <= 3; ++nMode) {
    // Zero-width characters with word wrap: the cap still holds.
    Open(MIREL_ENCODING_ANSI, nMode);
    for (int& cw : doc.nCharWidth) cw = 0;
    Set(std::string(70000, 'z'));
    rows = RowsOf(doc);
    ASSERT_EQ(rows.size(), 2u) << nMode;
    EXPECT_EQ(rows[0].nLen, 65535u);
  }
}

TEST_F(LayoutTest, TabsMoveToTheNextStop) {
  Open(MIREL_ENCODING_ANSI);
  doc.nTabWidth = 32;
  for (int& cw : doc.nCharWidth) cw = 5;
  Set("aa\t");
  DWORD e = 0;
  int w = 0;
  EXPECT_EQ(Find(0, &e, &w), MIREL_BREAK_END);
  EXPECT_EQ(w, 32);  // 10 pixels of text, then the stop at 32
  for (int& cw : doc.nCharWidth) cw = 8;
  Set("aaaa\t");
  Find(0, &e, &w);
  EXPECT_EQ(w, 64);  // exactly 32, then the next stop
  // A stop distance below 1 counts as 1.
  doc.nTabWidth = 0;
  Find(0, &e, &w);
  EXPECT_EQ(w, 33);
  doc.nTabWidth = -5;
  Find(0, &e, &w);
  EXPECT_EQ(w, 33);
}

TEST_F(LayoutTest, WordWrapBreaksAfterTheBlankOrBeforeTheOverflowingCharacter) {
  Open(MIREL_ENCODING_ANSI, MIREL_WRAP_WORD);
  SetFixedMetrics(doc, 10, 40, 80);
  Set("hello world");
  EXPECT_EQ(RowsOf(doc), (std::vector<Row>{{0, 0, 0, 6, 1}, {6, 0, 1, 5, 2}}));
  Set("abcdefghijkl");
  EXPECT_EQ(RowsOf(doc), (std::vector<Row>{{0, 0, 0, 8, 1}, {8, 0, 1, 4, 2}}));
  doc.nWrapMode = MIREL_WRAP_CHAR;
  Set("hello world");
  EXPECT_EQ(RowsOf(doc), (std::vector<Row>{{0, 0, 0, 8, 1}, {8, 0, 1, 3, 2}}));
}

TEST_F(LayoutTest, DoubleByteRunsOfferBreaks) {
  // Korean text (code page 949) between ASCII words.
  const std::string text =
      "ab\xB0\xA1\xB0\xA1"
      "cd";
  Open(MIREL_ENCODING_ANSI, MIREL_WRAP_WORD);
  // Room for a, b and one double-byte character: the second one passes it.
  const int nDouble = doc.GetCharWidth(Bytes("\xB0\xA1"), 2);
  ASSERT_GT(nDouble, 0);
  SetFixedMetrics(doc, 10, 40, 20 + 2 * nDouble - 1);
  Set(text);
  // Mode 2 may break before every double-byte character, mode 3 only where
  // the run kind changes.
  std::vector<Row> rows = RowsOf(doc);
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows[0].nLen, 4u);
  doc.nWrapMode = MIREL_WRAP_WORD_DBCS;
  Set(text);
  rows = RowsOf(doc);
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows[0].nLen, 2u);
  for (const Row& r : rows) EXPECT_GT(r.nLen, 0u);
}

TEST_F(LayoutTest, NarrowWidthStillTakesOneCharacterPerRow) {
  for (int nMode = 1; nMode <= 3; ++nMode) {
    Open(MIREL_ENCODING_ANSI, nMode);
    SetFixedMetrics(doc, 10, 40, 3);  // narrower than any character
    Set("a b\xB0\xA1-c");
    const std::vector<Row> rows = RowsOf(doc);
    ASSERT_EQ(rows.size(), 6u) << "mode " << nMode;
    for (const Row& r : rows) EXPECT_GE(r.nLen, 1u);
    EXPECT_EQ(rows[3].nLen, 2u);  // the double-byte character stays whole
    // Room below zero too.
    doc.nTextWidth = -100;
    doc.nLeftMargin = 50;
    ASSERT_TRUE(doc.pContents->RebuildLines());
    EXPECT_EQ(doc.nLineCount, 6);
  }
}

TEST_F(LayoutTest, OutOfRangeWrapModeLaysOutWithoutWrapping) {
  Open(MIREL_ENCODING_ANSI);
  doc.nWrapMode = 200;
  Set("one\ntwo three");
  EXPECT_EQ(RowsOf(doc), (std::vector<Row>{{0, 0, 0, 3, 1}, {4, 1, 0, 9, 2}}));
  ASSERT_TRUE(doc.InsertContents(4, Bytes("x\n"), 2, FALSE));
  ExpectConsistent();
}

TEST_F(LayoutTest, Utf16ControlCharactersAreWholeUnits) {
  // Units whose low byte is CR, LF, tab, blank or the page-break character.
  const std::vector<unsigned> units = {'a', 0x4E0D, 0x4E0A, 0x4E09, 0xAC0A, 0xAC0D, 0x4E20, 0x4E0C, 'b'};
  std::string text;
  for (unsigned u : units) text += Utf16({u});
  for (int nMode = 0; nMode <= 3; ++nMode) {
    Open(MIREL_ENCODING_UTF16LE, nMode);
    doc.chPageBreak = 0x0C;
    Set(text);
    EXPECT_EQ(RowsOf(doc), (std::vector<Row>{{0, 0, 0, 18, 2}})) << "mode " << nMode;
    // No tab stop is applied: every unit has its character width.
    int nExpected = 0;
    for (size_t i = 0; i < text.size(); i += 2) nExpected += doc.GetCharWidth(Bytes(text) + i, 2);
    DWORD e = 0;
    int w = 0;
    EXPECT_EQ(Find(0, &e, &w), MIREL_BREAK_END);
    EXPECT_EQ(w, nExpected) << "mode " << nMode;
  }
  // Word wrap does not take the unit U+0120 for a blank: no break after it.
  Open(MIREL_ENCODING_UTF16LE, MIREL_WRAP_WORD);
  const std::string ab = Utf16({'a', 'b', 0x0120, 'c', 'd', 'e', 'f'});
  // Room for a, b, U+0120 and c: d passes the limit.
  int nRoom = 0;
  for (size_t i = 0; i < 8; i += 2) {
    ASSERT_GT(doc.GetCharWidth(Bytes(ab) + i, 2), 0);
    nRoom += doc.GetCharWidth(Bytes(ab) + i, 2);
  }
  doc.nTextWidth = nRoom + 3;
  Set(ab);
  const std::vector<Row> rows = RowsOf(doc);
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows[0].nLen, 8u);
}

// --- Edits at the edge of a CR LF pair ------------------------------------

struct EdgeCase {
  const char* name;
  std::string text;
  enum { kInsert, kDelete, kReplace } op;
  DWORD nPos;
  DWORD nLen;  // bytes removed
  std::string bytes;
  std::string expect;
};

std::vector<EdgeCase> EdgeCases() {
  return {
      {"LF joins a CR before it", "ab\rcd", EdgeCase::kInsert, 3, 0, "\n", "ab\r\ncd"},
      {"CR joins an LF after it", "ab\ncd\nef", EdgeCase::kInsert, 2, 0, "\r", "ab\r\ncd\nef"},
      {"deleting the LF of CR LF", "ab\r\ncd", EdgeCase::kDelete, 3, 1, "", "ab\rcd"},
      {"deleting the CR of CR LF", "ab\r\ncd", EdgeCase::kDelete, 2, 1, "", "ab\ncd"},
      {"deleting X between CR and LF", "ab\rX\ncd", EdgeCase::kDelete, 3, 1, "", "ab\r\ncd"},
      {"inserting between CR and LF", "ab\r\ncd", EdgeCase::kInsert, 3, 0, "X", "ab\rX\ncd"},
      {"line end inserted between CR and LF", "ab\r\ncd", EdgeCase::kInsert, 3, 0, "\n", "ab\r\n\ncd"},
      {"replacing across a CR LF", "ab\r\ncd\r\nef", EdgeCase::kReplace, 3, 4, "\n", "ab\r\n\nef"},
      {"text ending with a lone CR gets its LF", "ab\r", EdgeCase::kInsert, 3, 0, "\n", "ab\r\n"},
      {"replacing a paragraph with CRs", "a\nb\nc", EdgeCase::kReplace, 2, 2, "\r\r\r", "a\n\r\r\rc"},
      {"deleting every line end", "a\r\nb\rc\nd", EdgeCase::kDelete, 1, 6, "", "ad"},
  };
}

TEST_F(LayoutTest, EditsMakingOrSplittingCrLfMatchARebuild) {
  for (int nEncoding : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE}) {
    const bool bWide = nEncoding == MIREL_ENCODING_UTF16LE;
    const DWORD u = bWide ? 2 : 1;
    for (int nMode = 0; nMode <= 3; ++nMode) {
      for (const EdgeCase& c : EdgeCases()) {
        Open(nEncoding, nMode);
        SetFixedMetrics(doc, 10, 40, 25);
        Set(bWide ? Utf16(c.text) : c.text);
        const std::string bytes = bWide ? Utf16(c.bytes) : c.bytes;
        switch (c.op) {
          case EdgeCase::kInsert:
            ASSERT_TRUE(doc.InsertContents(c.nPos * u, Bytes(bytes), Len(bytes), TRUE)) << c.name;
            break;
          case EdgeCase::kDelete:
            ASSERT_TRUE(doc.DeleteContents(c.nPos * u, c.nLen * u, TRUE)) << c.name;
            break;
          case EdgeCase::kReplace:
            ASSERT_TRUE(doc.ReplaceContents(c.nPos * u, c.nLen * u, TRUE, Bytes(bytes), Len(bytes), TRUE))
                << c.name;
            break;
        }
        ASSERT_EQ(TextOf(doc), bWide ? Utf16(c.expect) : c.expect) << c.name;
        SCOPED_TRACE(std::string(c.name) + " mode " + std::to_string(nMode) + " encoding " +
                     std::to_string(nEncoding));
        ExpectConsistent();
      }
    }
  }
}

TEST_F(LayoutTest, DeletingTheLfOfCrLfKeepsBothParagraphs) {
  Open(MIREL_ENCODING_ANSI);
  Set("ab\r\ncd");
  ASSERT_TRUE(doc.DeleteContents(3, 1, FALSE));
  EXPECT_EQ(RowsOf(doc), (std::vector<Row>{{0, 0, 0, 2, 1}, {3, 1, 0, 2, 2}}));
  ASSERT_TRUE(doc.InsertContents(3, Bytes("\n"), 1, FALSE));
  EXPECT_EQ(RowsOf(doc), (std::vector<Row>{{0, 0, 0, 2, 1}, {4, 1, 0, 2, 2}}));
}

// --- Bookmarks, current tag, listeners --------------------------------------

class LayoutMarksTest : public LayoutTest {
 protected:
  void SetUp() override {
    Open(MIREL_ENCODING_ANSI);
    Set("p0\np1\np2\np3\np4");  // paragraph n starts at 3n
    MakeBookmarkSlots(doc);
  }
};

TEST_F(LayoutMarksTest, InsertingLineEndsMovesLaterBookmarks) {
  AddOrdinaryBookmark(doc, 1);
  AddOrdinaryBookmark(doc, 3);
  doc.pBookmark[2] = CMrBookmark(2, 2);
  doc.pCurrentTag = &doc;
  doc.nCurrentTagPara = 4;
  ASSERT_TRUE(doc.InsertContents(7, Bytes("x\ny\n"), 4, FALSE));  // inside p2
  EXPECT_EQ(OrdinaryBookmarks(doc), (std::vector<int>{1, 5}));
  EXPECT_EQ(doc.pBookmark[2].nPara, 2);  // text inserted inside the paragraph: it stays
  EXPECT_EQ(doc.nCurrentTagPara, 6);
  EXPECT_EQ(doc.nBookmarkCount, 2);
}

TEST_F(LayoutMarksTest, InsertingAtAParagraphStartMovesItsBookmark) {
  AddOrdinaryBookmark(doc, 2);
  ASSERT_TRUE(doc.InsertContents(6, Bytes("new\n"), 4, FALSE));
  EXPECT_EQ(OrdinaryBookmarks(doc), (std::vector<int>{3}));
  ASSERT_TRUE(doc.InsertContents(7, Bytes("in"), 2, FALSE));  // no line end: nothing moves
  EXPECT_EQ(OrdinaryBookmarks(doc), (std::vector<int>{3}));
}

TEST_F(LayoutMarksTest, DeletingAParagraphWithItsLineEndRemovesItsBookmark) {
  AddOrdinaryBookmark(doc, 1);
  AddOrdinaryBookmark(doc, 2);
  AddOrdinaryBookmark(doc, 4);
  doc.pCurrentTag = &doc;
  doc.nCurrentTagPara = 3;
  ASSERT_TRUE(doc.DeleteContents(6, 3, FALSE));  // "p2\n"
  EXPECT_EQ(TextOf(doc), "p0\np1\np3\np4");
  EXPECT_EQ(OrdinaryBookmarks(doc), (std::vector<int>{1, 3}));
  EXPECT_EQ(doc.nBookmarkCount, 2);
  EXPECT_EQ(doc.nCurrentTagPara, 2);
  EXPECT_NE(doc.pCurrentTag, nullptr);
}

TEST_F(LayoutMarksTest, DeletingAcrossParagraphsMergesThem) {
  AddOrdinaryBookmark(doc, 1);
  AddOrdinaryBookmark(doc, 2);
  AddOrdinaryBookmark(doc, 3);
  doc.pBookmark[5] = CMrBookmark(5, 4);
  doc.pCurrentTag = &doc;
  doc.nCurrentTagPara = 1;
  ASSERT_TRUE(doc.DeleteContents(4, 6, FALSE));  // "1\np2\np" : p1 and p3 merge
  EXPECT_EQ(TextOf(doc), "p0\np3\np4");
  // Paragraphs 1 and 2 lost their line ends; the merged paragraph keeps the
  // bookmark of paragraph 3, and later marks move up by two.
  EXPECT_EQ(OrdinaryBookmarks(doc), (std::vector<int>{1}));
  EXPECT_EQ(doc.nBookmarkCount, 1);
  EXPECT_EQ(doc.pBookmark[5].nPara, 2);
  EXPECT_EQ(doc.pCurrentTag, nullptr);
}

TEST_F(LayoutMarksTest, ReplacingMovesLaterMarksByTheChangeInParagraphs) {
  AddOrdinaryBookmark(doc, 0);
  AddOrdinaryBookmark(doc, 4);
  ASSERT_TRUE(doc.ReplaceContents(4, 4, FALSE, Bytes("A\nB\nC"), 5, FALSE));  // "1\np2" -> three paragraphs
  EXPECT_EQ(TextOf(doc), "p0\npA\nB\nC\np3\np4");
  EXPECT_EQ(OrdinaryBookmarks(doc), (std::vector<int>{0, 5}));
  ASSERT_TRUE(doc.ReplaceContents(3, 6, FALSE, Bytes("Z"), 1, FALSE));  // three paragraphs -> one
  EXPECT_EQ(TextOf(doc), "p0\nZ\np3\np4");
  EXPECT_EQ(OrdinaryBookmarks(doc), (std::vector<int>{0, 3}));
}

TEST_F(LayoutMarksTest, MergingCrAndLfDoesNotLeaveTwoBookmarksOnOneParagraph) {
  Set("ab\rX\ncd");
  AddOrdinaryBookmark(doc, 0);
  AddOrdinaryBookmark(doc, 1);
  AddOrdinaryBookmark(doc, 2);
  ASSERT_TRUE(doc.DeleteContents(3, 1, FALSE));
  EXPECT_EQ(TextOf(doc), "ab\r\ncd");
  EXPECT_EQ(OrdinaryBookmarks(doc), (std::vector<int>{0, 1}));
  EXPECT_EQ(doc.nBookmarkCount, 2);
}

struct RecordingSyntax : CMrSyntax {
  std::vector<int> calls;
  void InvalidateFrom(int nPara) override { calls.push_back(nPara); }
};

struct RecordingRanges : CMrMetaBlockFindResult {
  std::vector<int> calls;
  void ClearFrom(int nPara) override { calls.push_back(nPara); }
};

TEST_F(LayoutTest, ListenersHearTheFirstTouchedParagraph) {
  Open(MIREL_ENCODING_ANSI);
  Set("p0\np1\np2\np3");
  RecordingSyntax* pSyntax = new RecordingSyntax;
  RecordingRanges* pRanges = new RecordingRanges;
  delete doc.pSyntax;  // the plain kind NewFile made
  doc.pSyntax = pSyntax;
  doc.pFindResult = pRanges;
  doc.bShowFindResult = TRUE;
  ASSERT_TRUE(doc.InsertContents(7, Bytes("x"), 1, FALSE));
  ASSERT_TRUE(doc.DeleteContents(3, 4, FALSE));
  ASSERT_TRUE(doc.ReplaceContents(0, 1, FALSE, Bytes("P"), 1, FALSE));
  ASSERT_TRUE(doc.ReloadContents());
  EXPECT_EQ(pSyntax->calls, (std::vector<int>{2, 1, 0, 0}));
  EXPECT_EQ(pRanges->calls, (std::vector<int>{2, 1, 0, 0}));
  doc.bShowFindResult = FALSE;  // a hidden list is not told
  ASSERT_TRUE(doc.InsertContents(0, Bytes("y"), 1, FALSE));
  EXPECT_EQ(pRanges->calls.size(), 4u);
  EXPECT_EQ(pSyntax->calls.size(), 5u);
}

TEST_F(LayoutTest, WidestRowIsRemembered) {
  Open(MIREL_ENCODING_ANSI);
  doc.nMaxLineWidth = 0;
  Set("abc\nabcdefg\nab");
  EXPECT_EQ(doc.nMaxLineWidth, 70);
  ASSERT_TRUE(doc.InsertContents(0, Bytes("0123456789"), 10, FALSE));
  EXPECT_EQ(doc.nMaxLineWidth, 130);
}

}  // namespace

// --- A line table that cannot grow -----------------------------------------

class FailingLinesDoc : public CMirelDoc {
 public:
  bool bFail = false;

 protected:
  void* ReallocateLines(void* p, size_t nBytes) override {
    return bFail ? nullptr : CMirelDoc::ReallocateLines(p, nBytes);
  }
};

// Every row lies inside the text, in order, and the last one is marked last.
void ExpectSaneTable(const CMirelDoc& doc) {
  ASSERT_GE(doc.nLineCount, 1);
  ASSERT_LE(doc.nLineCount, doc.nLineAlloc);
  const DWORD nTextLen = doc.GetContentsSize();
  for (int i = 0; i < doc.nLineCount; ++i) {
    const MIREL_LINE& r = doc.pLines[i];
    EXPECT_LE(r.nStart + r.nLen, nTextLen) << i;
    if (i > 0) {
      EXPECT_GE(r.nStart, doc.pLines[i - 1].nStart) << i;
    }
    EXPECT_EQ(r.nKind, i + 1 == doc.nLineCount ? MIREL_LINE_LAST : MIREL_LINE_ROW) << i;
  }
  EXPECT_TRUE(SpareRecordsZero(doc));
}

TEST(LayoutGrowth, AnInsertThatNeedsRowsIsRefusedUntouchedWhenTheTableCannotGrow) {
  FailingLinesDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  ASSERT_TRUE(doc.InsertContents(0, Bytes("a\nb"), 3, FALSE));
  const std::vector<Row> rows = RowsOf(doc);
  doc.bFail = true;
  const std::string many(500, '\n');
  EXPECT_FALSE(doc.InsertContents(1, Bytes(many), Len(many), TRUE));
  EXPECT_FALSE(doc.ReplaceContents(0, 1, TRUE, Bytes(many), Len(many), TRUE));
  EXPECT_EQ(TextOf(doc), "a\nb");
  EXPECT_EQ(RowsOf(doc), rows);
  EXPECT_FALSE(doc.undo.CanUndo());
  // Edits that need no new rows still work.
  EXPECT_TRUE(doc.InsertContents(1, Bytes("xy"), 2, TRUE));
  EXPECT_EQ(RowsOf(doc), RebuiltRows(doc));
}

TEST(LayoutGrowth, RebuildStopsInsideTheTableWhenItCannotGrow) {
  FailingLinesDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  const std::string text = "one two three four five six seven eight nine ten";
  ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), FALSE));
  doc.bFail = true;
  doc.nWrapMode = MIREL_WRAP_CHAR;
  SetFixedMetrics(doc, 10, 40, 30);  // three characters a row: many more rows than the table holds
  EXPECT_FALSE(doc.pContents->RebuildLines());
  ExpectSaneTable(doc);
  doc.bFail = false;
  EXPECT_TRUE(doc.ReloadContents());
  EXPECT_EQ(doc.nLineCount, 16);  // 48 characters, three a row
}

TEST(LayoutGrowth, WrappedRowsBeyondTheReserveAreReportedAndTheTableStaysInsideTheText) {
  MIREL_REQUIRE_STANDIN();  // the fault report is a message box
#ifndef _WIN32
  MrwTestResetMessageBoxes();
  FailingLinesDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  doc.nWrapMode = MIREL_WRAP_CHAR;
  SetFixedMetrics(doc, 10, 40, 30);
  ASSERT_TRUE(doc.InsertContents(0, Bytes("abc"), 3, FALSE));
  doc.bFail = true;
  const std::string longWord(300, 'w');  // no line end: a hundred wrapped rows
  EXPECT_FALSE(doc.InsertContents(3, Bytes(longWord), Len(longWord), FALSE));
  EXPECT_EQ(MrwTestMessageBoxCount(), 1);
  ExpectSaneTable(doc);
  doc.bFail = false;
  EXPECT_TRUE(doc.ReloadContents());
  EXPECT_EQ(doc.nLineCount, 101);
  MrwTestResetMessageBoxes();
#endif
}
