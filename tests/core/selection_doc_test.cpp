// The document's selection operations: select all, selections from host
// positions (clamped, on whole characters, either direction), the block
// queries, the column-mode switch and moving or copying bytes, in ANSI (code
// page 949), UTF-16 and UTF-8, with word wrap off and on.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "mirel/cmireldoc.h"
#include "mirel/cmrundomanager.h"
#include "selection_fixture.h"
#ifndef _WIN32
#include "platform_hooks.h"
#endif

namespace {

using mirel_sel_test::kGa;
using mirel_sel_test::SelDoc;

// Rows long enough to wrap (the test documents have room for about twelve
// average characters a row), a short row and an empty last row.
const std::u16string kLongRow = u"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";

class SelectionByMode : public ::testing::TestWithParam<std::tuple<int, int>> {
 protected:
  int Encoding() const { return std::get<0>(GetParam()); }
  int WrapMode() const { return std::get<1>(GetParam()); }
};

TEST_P(SelectionByMode, SelectAllPutsTheAnchorAtTheEndAndTheCaretAtTheStart) {
  SelDoc t(Encoding(), WrapMode());
  ASSERT_TRUE(t.SetRows({kLongRow, u"ab"}));
  if (WrapMode() != MIREL_WRAP_NONE) {
    ASSERT_GT(t.doc.nLineCount, 2);
  }
  t.doc.SetSel(3, 3, FALSE);
  t.doc.SelectAll();

  const CMrBlock& b = t.doc.block;
  const DWORD nLen = t.Length();
  EXPECT_EQ(nLen, b.nAnchor);
  EXPECT_EQ(t.doc.nLineCount - 1, b.nAnchorLine);
  EXPECT_EQ(t.Width('a') + t.Width('b'), b.nAnchorX);
  EXPECT_EQ(t.doc.LinesToPixels(t.doc.nLineCount - 1), b.nAnchorY);
  EXPECT_EQ(0u, b.nCaret);
  EXPECT_EQ(0, b.nCaretLine);
  EXPECT_EQ(0, b.nCaretX);
  EXPECT_EQ(0, t.doc.nCaretPos);
  EXPECT_EQ(0, t.doc.cli);
  EXPECT_TRUE(t.doc.IsSelected());
  DWORD nStart = 99, nEnd = 99;
  t.doc.GetBlock(&nStart, &nEnd);
  EXPECT_EQ(0u, nStart);
  EXPECT_EQ(nLen, nEnd);
}

TEST_P(SelectionByMode, SetSelClampsPastTheEndAndNormalisesReversedEnds) {
  SelDoc t(Encoding(), WrapMode());
  ASSERT_TRUE(t.SetRows({kLongRow, u"abc", u""}));
  const DWORD nLen = t.Length();
  const int nLast = t.doc.nLineCount - 1;
  DWORD nStart = 0, nEnd = 0;

  t.doc.SetSel(t.Pos(0, 3), 100000, FALSE);
  t.doc.GetBlock(&nStart, &nEnd);
  EXPECT_EQ(t.Pos(0, 3), nStart);
  EXPECT_EQ(nLen, nEnd);
  EXPECT_EQ(static_cast<int>(nLen), t.doc.nCaretPos);
  EXPECT_EQ(nLast, t.doc.cli);

  // A negative host position arrives as a huge one: the end of the text.
  t.doc.SetSel(0xFFFFFFFFu, 0, FALSE);
  EXPECT_EQ(nLen, t.doc.block.nAnchor);
  EXPECT_EQ(nLast, t.doc.block.nAnchorLine);
  EXPECT_EQ(0, t.doc.nCaretPos);

  // Caret before the anchor: the caret stays where the host put it.
  const DWORD nFrom = t.Pos(1, 1);
  const DWORD nTo = t.Pos(0, 25);
  t.doc.SetSel(nFrom, nTo, FALSE);
  t.doc.GetBlock(&nStart, &nEnd);
  EXPECT_EQ(nTo, nStart);
  EXPECT_EQ(nFrom, nEnd);
  EXPECT_EQ(static_cast<int>(nTo), t.doc.nCaretPos);
  EXPECT_EQ(t.doc.GetLineFromPos(nTo), t.doc.cli);
  EXPECT_EQ(t.doc.cli, t.doc.block.nCaretLine);
  EXPECT_EQ(t.doc.LinesToPixels(t.doc.cli), t.doc.block.nCaretY);
  EXPECT_EQ(t.doc.GetLineFromPos(nFrom), t.doc.block.nAnchorLine);
  if (WrapMode() != MIREL_WRAP_NONE) {
    EXPECT_GT(t.doc.cli, 0);  // the 26th x lies on a wrapped row
  }
  EXPECT_TRUE(t.doc.block.IsMultiLine());

  // Equal ends: collapsed, nothing selected.
  t.doc.SetSel(t.Pos(1, 2), t.Pos(1, 2), FALSE);
  EXPECT_FALSE(t.doc.IsSelected());
  EXPECT_EQ(t.doc.block.nAnchor, t.doc.block.nCaret);
  EXPECT_EQ(static_cast<int>(t.Pos(1, 2)), t.doc.nCaretPos);
}

INSTANTIATE_TEST_SUITE_P(EncodingsAndWrap, SelectionByMode,
                         ::testing::Combine(::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE,
                                                              MIREL_ENCODING_UTF8),
                                            ::testing::Values(MIREL_WRAP_NONE, MIREL_WRAP_WORD)),
                         [](const ::testing::TestParamInfo<std::tuple<int, int>>& info) {
                           return std::string(mirel_sel_test::EncodingName(std::get<0>(info.param))) +
                                  (std::get<1>(info.param) == MIREL_WRAP_NONE ? "WrapOff" : "WrapOn");
                         });

// ---------------------------------------------------------------------------
// Host positions land on whole characters

TEST(SelectionSetSel, Utf16OffsetsFallOnWholeUnits) {
  SelDoc t(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(t.SetRows({u"abcd"}));
  t.doc.SetSel(3, 7, FALSE);
  EXPECT_EQ(2u, t.doc.block.nAnchor);
  EXPECT_EQ(6u, t.doc.block.nCaret);
  EXPECT_EQ(6, t.doc.nCaretPos);
}

TEST(SelectionSetSel, PositionsInsideALineEndGoToItsStart) {
  for (int nEncoding : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8}) {
    SCOPED_TRACE(mirel_sel_test::EncodingName(nEncoding));
    SelDoc t(nEncoding);
    ASSERT_TRUE(t.SetRows({u"ab", u"cd"}));
    const DWORD nLf = t.Pos(0, 2) + static_cast<DWORD>(t.Unit());  // between CR and LF
    t.doc.SetSel(nLf, nLf, FALSE);
    EXPECT_EQ(static_cast<int>(t.Pos(0, 2)), t.doc.nCaretPos);
    EXPECT_EQ(0, t.doc.cli);
  }
}

TEST(SelectionSetSel, PositionsInsideADoubleByteCharacterGoToItsStart) {
  for (int nEncoding : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8}) {
    SCOPED_TRACE(mirel_sel_test::EncodingName(nEncoding));
    SelDoc t(nEncoding);
    ASSERT_TRUE(t.SetRows({std::u16string(u"a") + kGa + u"b"}));
    for (DWORD nInside = t.Pos(0, 1) + 1; nInside < t.Pos(0, 2); ++nInside) {
      t.doc.SetSel(nInside, t.Pos(0, 3), FALSE);
      EXPECT_EQ(t.Pos(0, 1), t.doc.block.nAnchor) << nInside;
      EXPECT_EQ(t.Width('a'), t.doc.block.nAnchorX);
    }
  }
}

TEST(SelectionSetSel, Utf16UnitsWithALineEndByteAreOrdinaryCharacters) {
  SelDoc t(MIREL_ENCODING_UTF16LE);
  // U+0A0D and U+0D0A hold CR and LF bytes but are neither.
  ASSERT_TRUE(t.SetText(mirel_sel_test::Encode(MIREL_ENCODING_UTF16LE, u"a\u0A0D\u0D0Ab")));
  ASSERT_EQ(1, t.doc.nLineCount);
  t.doc.SetSel(4, 6, FALSE);
  EXPECT_EQ(4u, t.doc.block.nAnchor);
  EXPECT_EQ(6, t.doc.nCaretPos);
  EXPECT_EQ(0, t.doc.cli);
}

TEST(SelectionSetSel, HostPositionsCarryNoVirtualColumns) {
  SelDoc t(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(t.SetRows({u"xxxx"}));
  t.doc.nVirtualSpace = 3;  // left over from a caret past a row end
  t.doc.SetSel(1, 2, FALSE);
  EXPECT_EQ(0, t.doc.nVirtualSpace);
  EXPECT_EQ(t.Width('x'), t.doc.block.nAnchorX);
  EXPECT_EQ(2 * t.Width('x'), t.doc.block.nCaretX);
}

TEST(SelectionSetSel, HexViewTakesPositionsUpToTheTextLength) {
  SelDoc t(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(t.SetRows({u"abcdefghijklmnopq"}));  // 34 text bytes after a 2-byte mark
  ASSERT_EQ(36u, t.doc.GetFileSize());
  t.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  t.doc.block.nAnchorX = 77;
  t.doc.SetSel(5, 1000, FALSE);
  DWORD nStart = 0, nEnd = 0;
  t.doc.GetBlock(&nStart, &nEnd);
  EXPECT_EQ(5u, nStart);
  EXPECT_EQ(34u, nEnd);  // not the file length
  EXPECT_EQ(34, t.doc.nCaretPos);
  EXPECT_EQ(2, t.doc.cli);  // hex row of 16 bytes
  EXPECT_EQ(2, t.doc.block.nCaretLine);
  EXPECT_EQ(0, t.doc.block.nAnchorLine);
  EXPECT_EQ(77, t.doc.block.nAnchorX);  // no pixel points in the hex view
  EXPECT_TRUE(t.doc.IsSelected());
  t.doc.SetSel(8, 8, FALSE);
  EXPECT_FALSE(t.doc.IsSelected());

  t.doc.SelectAll();
  EXPECT_EQ(36u, t.doc.block.nAnchor);  // the whole file
  EXPECT_EQ(t.doc.GetHexLineCount() - 1, t.doc.block.nAnchorLine);
  EXPECT_EQ(0u, t.doc.block.nCaret);
  EXPECT_EQ(0, t.doc.cli);
}

TEST(SelectionQueries, UnknownViewsAndMissingTextChangeNothing) {
  CMirelDoc doc;
  doc.SetSel(1, 2, FALSE);  // no text store yet
  doc.SelectAll();
  EXPECT_EQ(0u, doc.block.nAnchor);
  EXPECT_EQ(0u, doc.block.nCaret);
  doc.GetBlock(nullptr, nullptr);

  SelDoc t(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(t.SetRows({u"abc"}));
  t.doc.SetSel(0, 2, FALSE);
  t.doc.nViewType = 0;
  EXPECT_FALSE(t.doc.IsSelected());
  t.doc.SetSel(1, 1, FALSE);
  EXPECT_EQ(2u, t.doc.block.nCaret);
}

// ---------------------------------------------------------------------------
// Column mode

TEST(SelectionColumnMode, TurningItOnSwitchesWordWrapOffAndReseatsTheBlock) {
  for (int nEncoding : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8}) {
    SCOPED_TRACE(mirel_sel_test::EncodingName(nEncoding));
    SelDoc t(nEncoding, MIREL_WRAP_CHAR);
    ASSERT_TRUE(t.SetRows({kLongRow, kLongRow, u"xxxxxxxxxx"}));
    ASSERT_GT(t.doc.nLineCount, 3);
    t.ShowInWindow();
    t.doc.SetSel(t.Pos(0, 2), t.Pos(2, 6), FALSE);
    ASSERT_GT(t.doc.cli, 2);  // a wrapped row

    t.doc.SetColumnMode(TRUE);
    EXPECT_EQ(MIREL_WRAP_NONE, t.doc.nWrapMode);
    EXPECT_EQ(3, t.doc.nLineCount);
    EXPECT_TRUE(t.doc.IsColumnMode());
    EXPECT_EQ(2, t.doc.cli);
    const CMrBlock& b = t.doc.block;
    EXPECT_EQ(0, b.nAnchorLine);
    EXPECT_EQ(2, b.nCaretLine);
    EXPECT_EQ(t.doc.LinesToPixels(2), b.nCaretY);
    ASSERT_TRUE(t.doc.IsColumnBlock());
    ASSERT_EQ(3, b.nRowCount);
    EXPECT_EQ(t.Pos(1, 2), b.pRows[1].nStart);
    EXPECT_EQ(t.Pos(1, 6), b.pRows[1].nEnd);

    t.doc.nVirtualSpace = 2;
    t.doc.SetColumnMode(FALSE);
    EXPECT_FALSE(t.doc.IsColumnMode());
    EXPECT_FALSE(t.doc.IsColumnBlock());
    EXPECT_EQ(nullptr, b.pRows);
    EXPECT_EQ(0, t.doc.nVirtualSpace);
    EXPECT_TRUE(t.doc.IsSelected());  // still the stream selection
  }
}

TEST(SelectionColumnMode, NothingInTheHexView) {
  SelDoc t(MIREL_ENCODING_ANSI, MIREL_WRAP_CHAR);
  ASSERT_TRUE(t.SetRows({u"abc"}));
  t.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  t.doc.SetColumnMode(TRUE);
  EXPECT_FALSE(t.doc.IsColumnMode());
  EXPECT_EQ(MIREL_WRAP_CHAR, t.doc.nWrapMode);
}

TEST(SelectionColumnMode, ResetKeepsARequestedColumnModeUnlessAskedToSetIt) {
  SelDoc t(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(t.SetRows({u"abc", u"def"}));
  CMrBlock& b = t.doc.block;
  b.Reset(1, 0, 5);
  EXPECT_TRUE(b.IsColumnMode());
  EXPECT_EQ(0, b.nCollapseLine);
  b.Reset(t.Pos(1, 1), 1, FALSE);
  EXPECT_TRUE(b.IsColumnMode());
  EXPECT_EQ(1, b.nCollapseLine);
  EXPECT_EQ(t.Width('d'), b.nAnchorX);
  EXPECT_EQ(t.doc.LinesToPixels(1), b.nAnchorY);
  EXPECT_FALSE(b.HasSelection());
}

TEST(SelectionColumnMode, SelectAllLeavesColumnMode) {
  SelDoc t(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(t.SetRows({u"abcdef", u"abcdef"}));
  t.ShowInWindow();
  t.doc.SetColumnMode(TRUE);
  t.doc.SetSel(1, t.Pos(1, 4), FALSE);
  ASSERT_TRUE(t.doc.IsColumnBlock());
  t.doc.SelectAll();
  EXPECT_FALSE(t.doc.IsColumnMode());
  EXPECT_FALSE(t.doc.IsColumnBlock());
  EXPECT_EQ(t.Length(), t.doc.block.nAnchor);
}

// Switching column mode while word wrap is on is refused with a beep, and so
// is the switch select all makes on its way; select all still selects.
TEST(SelectionBeeps, ColumnSwitchesInWordWrapBeepSelectAllIncluded) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  SelDoc t(MIREL_ENCODING_ANSI, MIREL_WRAP_WORD);
  ASSERT_TRUE(t.SetRows({kLongRow, u"ab"}));
  MrwTestResetBeepCount();
  t.doc.SelectAll();
  EXPECT_EQ(1, MrwTestBeepCount());
  EXPECT_EQ(t.Length(), t.doc.block.nAnchor);
  EXPECT_EQ(0u, t.doc.block.nCaret);
  t.doc.block.SetColumnMode(TRUE);
  EXPECT_EQ(2, MrwTestBeepCount());
  t.doc.SetColumnMode(FALSE);
  EXPECT_EQ(3, MrwTestBeepCount());
  t.doc.SetColumnMode(TRUE);  // switches word wrap off instead
  EXPECT_EQ(3, MrwTestBeepCount());
  EXPECT_TRUE(t.doc.IsColumnMode());
  t.doc.SelectAll();  // no wrap: leaving column mode is silent
  EXPECT_EQ(3, MrwTestBeepCount());
  EXPECT_FALSE(t.doc.IsColumnMode());
#endif
}

// ---------------------------------------------------------------------------
// Moving and copying bytes

class MoveBytes : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(t.SetRows({kAlphabet}));
    k = static_cast<DWORD>(t.Unit());
  }
  // The text with characters [from, from + n) moved or copied to dest.
  std::string Expected(size_t nFrom, size_t nDest, size_t n, bool bCopy) const {
    std::u16string s = kAlphabet;
    const std::u16string moved = s.substr(nFrom, n);
    if (!bCopy) s.erase(nFrom, n);
    const size_t nAt = (!bCopy && nDest > nFrom) ? nDest - n : nDest;
    s.insert(nAt, moved);
    return t.Bytes(s);
  }

  const std::u16string kAlphabet = u"0123456789abcdefghijklmnopqrstuvwxyzABCDEF";
  SelDoc t{GetParam()};
  DWORD k = 1;  // bytes per character
};

// Moves and copies without a record, in characters: where the bytes landed,
// and the text they leave (a move onto its own edges changes nothing).
TEST_P(MoveBytes, ReturnsWhereTheBytesLandedAndMovesOrCopiesThem) {
  const struct Case {
    const char* name;
    BOOL bCopy;
    DWORD nFrom, nDest, n;
    DWORD nLanded;
    bool bChanges;
  } kCases[] = {
      {"a move forward", FALSE, 10, 30, 5, 25, true},
      {"a move backward", FALSE, 30, 10, 5, 10, true},
      {"a copy forward", TRUE, 10, 30, 5, 30, true},
      {"a copy lands at the destination even inside its source", TRUE, 10, 12, 5, 12, true},
      {"a move onto its own start", FALSE, 10, 10, 5, 10, false},
      {"a move onto its own end", FALSE, 10, 15, 5, 10, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(t.SetRows({kAlphabet}));
    const std::string before = t.Text();
    EXPECT_EQ(c.nLanded * k, t.doc.MoveBytes(c.bCopy, c.nFrom * k, c.nDest * k, c.n * k, FALSE));
    EXPECT_EQ(c.bChanges ? Expected(c.nFrom, c.nDest, c.n, c.bCopy) : before, t.Text());
    EXPECT_FALSE(t.doc.undo.CanUndo());
  }
}

TEST_P(MoveBytes, RefusesRangesOutsideTheTextAndMovesIntoThemselves) {
  const std::string before = t.Text();
  const DWORD nLen = t.Length();
  EXPECT_EQ(10 * k, t.doc.MoveBytes(FALSE, 10 * k, 12 * k, 5 * k, TRUE));  // into the moved bytes
  EXPECT_EQ(nLen + 1, t.doc.MoveBytes(FALSE, nLen + 1, 0, 1, TRUE));
  EXPECT_EQ(nLen - k, t.doc.MoveBytes(TRUE, nLen - k, 0, 2 * k, TRUE));
  EXPECT_EQ(0xFFFFFFF0u, t.doc.MoveBytes(TRUE, 0xFFFFFFF0u, 0, 0x20, TRUE));  // the sum would wrap
  EXPECT_EQ(0u, t.doc.MoveBytes(TRUE, 0, nLen + k, k, TRUE));
  if (k == 2) {
    EXPECT_EQ(3u, t.doc.MoveBytes(FALSE, 3, 20, 4, TRUE));
    EXPECT_EQ(4u, t.doc.MoveBytes(FALSE, 4, 21, 4, TRUE));
    EXPECT_EQ(4u, t.doc.MoveBytes(FALSE, 4, 20, 3, TRUE));
  }
  EXPECT_EQ(before, t.Text());
  EXPECT_FALSE(t.doc.undo.CanUndo());
}

TEST_P(MoveBytes, RecordsOneMoveOrOneInsert) {
  t.doc.MoveBytes(FALSE, 10 * k, 30 * k, 5 * k, TRUE);
  ASSERT_TRUE(t.doc.undo.CanUndo());
  int nRecords = 0;
  for (LONG i = 0; i < t.doc.undo.nAlloc && t.doc.undo.pUR[i].action != URA_NONE; ++i) ++nRecords;
  ASSERT_EQ(1, nRecords);
  const MIREL_UNDO_RECORD& move = t.doc.undo.pUR[0];
  EXPECT_EQ(URA_MOVE, move.action);
  EXPECT_EQ(static_cast<LONG>(10 * k), move.pos);
  LONG nDest = 0, nSize = 0;
  ASSERT_TRUE(CMrUndoManager::GetMoveTarget(move, &nDest, &nSize));
  EXPECT_EQ(static_cast<LONG>(30 * k), nDest);
  EXPECT_EQ(static_cast<LONG>(5 * k), nSize);

  t.doc.MoveBytes(TRUE, 0, 2 * k, 3 * k, TRUE);
  ASSERT_EQ(URA_INSERT, t.doc.undo.pUR[1].action);
  const MIREL_UNDO_RECORD& copy = t.doc.undo.pUR[1];
  EXPECT_EQ(static_cast<LONG>(2 * k), copy.pos);
  ASSERT_EQ(static_cast<LONG>(3 * k), copy.count);
  EXPECT_EQ(t.Bytes(u"012"), std::string(reinterpret_cast<const char*>(copy.pData), 3 * k));
  EXPECT_NE(move.nGroup, copy.nGroup);
}

INSTANTIATE_TEST_SUITE_P(Encodings, MoveBytes,
                         ::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8),
                         mirel_sel_test::EncodingParamName);

}  // namespace
