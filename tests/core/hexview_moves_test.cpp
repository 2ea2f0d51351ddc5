// Caret moves in the hex view with and without selecting, Tab and Escape,
// the mouse (clicks in the cells and the character column, drag selection),
// paging and horizontal scrolling.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "hexview_fixture.h"

namespace {

using mirel_hex_test::HexViewTest;
using mirel_hex_test::kCtrl;
using mirel_hex_test::kShift;

struct MoveCase {
  const char* name;
  DWORD nBytes;  // file length, 16 bytes per row
  DWORD nFrom;
  UINT vk;
  UINT mods;
  DWORD nTo;
};

TEST_F(HexViewTest, KeysMoveTheCaretByBytesAndRows) {
  const MoveCase cases[] = {
      {"Left over a row start", 40, 16, VK_LEFT, 0, 15},
      {"Left at 0", 40, 0, VK_LEFT, 0, 0},
      {"Right onto the next row", 40, 15, VK_RIGHT, 0, 16},
      {"Right at the end", 40, 40, VK_RIGHT, 0, 40},
      {"Home", 40, 20, VK_HOME, 0, 16},
      {"End of a full row is the next row's start", 40, 20, VK_END, 0, 32},
      {"End of the last row is the end of the data", 40, 33, VK_END, 0, 40},
      {"End of the last full row of a whole-row file", 32, 20, VK_END, 0, 32},
      {"Ctrl+Home", 40, 37, VK_HOME, kCtrl, 0},
      {"Ctrl+End", 40, 3, VK_END, kCtrl, 40},
      {"Up keeps the column", 40, 20, VK_UP, 0, 4},
      {"Up on the first row", 40, 5, VK_UP, 0, 5},
      {"Down keeps the column", 40, 4, VK_DOWN, 0, 20},
      {"Down onto a short last row", 40, 30, VK_DOWN, 0, 40},
      {"Down on the last row", 40, 36, VK_DOWN, 0, 36},
  };
  for (const MoveCase& c : cases) {
    SCOPED_TRACE(c.name);
    Open(std::string(c.nBytes, 'x'));
    Caret(c.nFrom);
    View().UpdateCaret(1, 0);
    Key(c.vk, c.mods);
    EXPECT_EQ(Pos(), c.nTo);
    EXPECT_EQ(SelStart(), SelEnd());
    ExpectConsistent();
  }
}

TEST_F(HexViewTest, MovesAlsoWorkInTheCharacterColumn) {
  Open(std::string(40, 'x'));
  SendMessageA(hEdit, WM_CHAR, '\t', 1);
  Caret(20);
  View().UpdateCaret(1, 0);
  Key(VK_UP);
  EXPECT_EQ(Pos(), 4u);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(Pos(), 36u);
  ExpectConsistent();
}

TEST_F(HexViewTest, ShiftAndStickySelectionExtendAndPlainMovesCollapse) {
  Open(std::string(40, 'x'));
  Caret(2);
  for (int i = 0; i < 3; ++i) Key(VK_RIGHT, kShift);
  EXPECT_EQ(doc.block.nAnchor, 2u);
  EXPECT_EQ(Pos(), 5u);
  Key(VK_DOWN, kShift);
  EXPECT_EQ(SelStart(), 2u);
  EXPECT_EQ(SelEnd(), 21u);
  ExpectConsistent();
  // Left without Shift goes to the selection's start, Right to its end.
  Key(VK_LEFT);
  EXPECT_EQ(Pos(), 2u);
  EXPECT_EQ(SelStart(), SelEnd());
  Select(2, 21);
  Key(VK_RIGHT);
  EXPECT_EQ(Pos(), 21u);
  EXPECT_EQ(SelStart(), SelEnd());
  // Sticky selection extends without Shift; Escape ends it and keeps the selection.
  doc.bAutoSelect = TRUE;
  Key(VK_LEFT);
  Key(VK_LEFT);
  EXPECT_EQ(SelStart(), 19u);
  EXPECT_EQ(SelEnd(), 21u);
  Key(VK_ESCAPE);
  EXPECT_FALSE(doc.bAutoSelect);
  EXPECT_EQ(SelStart(), 19u);
  ExpectConsistent();
}

TEST_F(HexViewTest, EscapeCollapsesTheSelectionOrNotifiesTheHost) {
  Open("abcdef");
  Select(1, 4);
  Key(VK_ESCAPE);
  EXPECT_EQ(SelStart(), SelEnd());
  EXPECT_EQ(Pos(), 4u);
  EXPECT_TRUE(Notifications().empty());
  Type("3");
  ASSERT_TRUE(doc.bHexComposition);
  mirel_window_test::ParentMessages().clear();
  Key(VK_ESCAPE);
  EXPECT_FALSE(doc.bHexComposition);
  EXPECT_EQ(Notifications(), std::vector<int>{4});
  ExpectConsistent();
}

TEST_F(HexViewTest, TabSwitchesAreasAndRepaintsTheSelection) {
  Open(std::string(64, 'x'));
  Select(17, 40);
  pEdit->nRepaintTag = REPAINT_TAG_NONE;
  Type("\t");
  EXPECT_EQ(doc.nHexCaretArea, MIREL_HEX_AREA_CHARS);
  POINT pt{};
  GetCaretPos(&pt);
  EXPECT_EQ(pt.x, doc.GetHexXFromPos(doc.cli, Pos(), MIREL_HEX_AREA_CHARS) - pEdit->nHScrollPos);
  // The rows of the selection are repainted in the other colour scheme.
  EXPECT_NE(pEdit->nRepaintTag, REPAINT_TAG_NONE);
  EXPECT_LE(pEdit->nDirtyFirst, 1);
  EXPECT_GE(pEdit->nDirtyLast, 2);
  Type("\t");
  EXPECT_EQ(doc.nHexCaretArea, MIREL_HEX_AREA_CELLS);
  EXPECT_EQ(SelStart(), 17u);
  EXPECT_EQ(SelEnd(), 40u);
}

TEST_F(HexViewTest, ClicksPlaceTheCaretInTheirAreaAndRow) {
  Open(std::string(40, 'x'));
  // The first byte of a row keeps the caret on that row.
  Click(PointOf(16, MIREL_HEX_AREA_CELLS));
  Release(PointOf(16, MIREL_HEX_AREA_CELLS));
  EXPECT_EQ(Pos(), 16u);
  EXPECT_EQ(doc.cli, 1);
  EXPECT_FALSE(pEdit->bTracking);
  ExpectConsistent();
  Click(PointOf(5, MIREL_HEX_AREA_CHARS));
  Release(PointOf(5, MIREL_HEX_AREA_CHARS));
  EXPECT_EQ(Pos(), 5u);
  EXPECT_EQ(doc.nHexCaretArea, MIREL_HEX_AREA_CHARS);

  // The address column, the gap and the space right of the characters
  // change neither the caret nor its area.
  const int y = doc.nRulerHeight + H / 2;
  const int xGap = (doc.nHexDigitsEndX + doc.nHexCharsX) / 2;
  const int xBeyond = doc.nHexCharsX + 16 * cx + 2 * cx;
  for (int x : {2, xGap, xBeyond}) {
    SCOPED_TRACE(x);
    Click(POINT{x, y + H});
    Release(POINT{x, y + H});
    EXPECT_EQ(Pos(), 5u);
    EXPECT_EQ(doc.nHexCaretArea, MIREL_HEX_AREA_CHARS);
  }

  // A click drops a pending nibble.
  Click(PointOf(2, MIREL_HEX_AREA_CELLS));
  Release(PointOf(2, MIREL_HEX_AREA_CELLS));
  Type("7");
  ASSERT_TRUE(doc.bHexComposition);
  Click(PointOf(10, MIREL_HEX_AREA_CELLS));
  Release(PointOf(10, MIREL_HEX_AREA_CELLS));
  EXPECT_FALSE(doc.bHexComposition);
  Type("8");
  EXPECT_EQ(File().substr(0, 4), std::string("xx\x70x", 4));
  EXPECT_EQ(static_cast<BYTE>(File()[10]), 0x80);
}

TEST_F(HexViewTest, DraggingSelectsAndStickyClicksExtend) {
  Open(std::string(64, 'x'));
  Click(PointOf(3, MIREL_HEX_AREA_CELLS));
  EXPECT_TRUE(pEdit->bTracking);
  EXPECT_EQ(GetCapture(), hEdit);
  DragTo(PointOf(20, MIREL_HEX_AREA_CELLS));
  EXPECT_EQ(SelStart(), 3u);
  EXPECT_EQ(SelEnd(), 20u);
  EXPECT_EQ(Pos(), 20u);
  // Back above the anchor: the selection turns round it.
  DragTo(PointOf(1, MIREL_HEX_AREA_CELLS));
  EXPECT_EQ(SelStart(), 1u);
  EXPECT_EQ(SelEnd(), 3u);
  ExpectConsistent();
  Release(PointOf(1, MIREL_HEX_AREA_CELLS));
  EXPECT_FALSE(pEdit->bTracking);
  EXPECT_EQ(GetCapture(), nullptr);

  doc.bAutoSelect = TRUE;
  Click(PointOf(40, MIREL_HEX_AREA_CHARS));
  Release(PointOf(40, MIREL_HEX_AREA_CHARS));
  // The anchor stays where the drag started.
  EXPECT_EQ(doc.block.nAnchor, 3u);
  EXPECT_EQ(SelEnd(), 40u);
  EXPECT_EQ(doc.nHexCaretArea, MIREL_HEX_AREA_CHARS);
  ExpectConsistent();
}

TEST_F(HexViewTest, AnEditDuringADragLeavesNothingStale) {
  Open(std::string(64, 'x'));
  Click(PointOf(3, MIREL_HEX_AREA_CELLS));
  DragTo(PointOf(40, MIREL_HEX_AREA_CELLS));
  ASSERT_EQ(SelEnd(), 40u);
  // Keys are not held back during a drag: the selection goes.
  Key(VK_DELETE);
  EXPECT_EQ(doc.GetFileSize(), 64u - 37u);
  EXPECT_EQ(Pos(), 3u);
  ExpectConsistent();
  // The drag goes on from what is there now.
  DragTo(PointOf(5, MIREL_HEX_AREA_CELLS));
  EXPECT_EQ(SelStart(), 3u);
  EXPECT_EQ(SelEnd(), 5u);
  DragTo(POINT{PointOf(5, MIREL_HEX_AREA_CELLS).x, PointOf(5, MIREL_HEX_AREA_CELLS).y + 10 * H});
  // Below the rows: the same column on the last row.
  EXPECT_EQ(Pos(), 16u + 5u);
  ExpectConsistent();
  Release(PointOf(5, MIREL_HEX_AREA_CELLS));
}

TEST_F(HexViewTest, PagingMovesTheCaretAndTheTopRowTogether) {
  Open(std::string(16 * 60, 'x'));
  const int nRows = (pEdit->rcEdit.bottom - doc.nRulerHeight) / H;
  ASSERT_GT(nRows, 2);
  Caret(3);
  View().UpdateCaret(1, 0);
  Key(VK_NEXT);
  EXPECT_EQ(doc.cli, nRows);
  EXPECT_EQ(pEdit->nTopLine, nRows);
  EXPECT_EQ(Pos() % 16, 3u);
  // Page Up leaves room for a partly shown row: one text-font height less.
  const int nUp = std::max<int>((pEdit->rcEdit.bottom - doc.nRulerHeight - doc.nFontHeight) / H, 1);
  Key(VK_PRIOR);
  const int nTop = std::max(nRows - nUp, 0);
  EXPECT_EQ(pEdit->nTopLine, nTop);
  EXPECT_EQ(doc.cli, nTop);
  // Ctrl+PageDown: the last wholly visible row; Ctrl+PageUp: the top row.
  Key(VK_NEXT, kCtrl);
  EXPECT_EQ(doc.cli, nTop + nRows - 1);
  Key(VK_PRIOR, kCtrl);
  EXPECT_EQ(doc.cli, nTop);
  // Ctrl+Down scrolls a row; the caret follows once its row left the page.
  Key(VK_DOWN, kCtrl);
  EXPECT_EQ(pEdit->nTopLine, nTop + 1);
  EXPECT_EQ(doc.cli, nTop + 1);
  ExpectConsistent();
}

TEST_F(HexViewTest, TheHorizontalOffsetNeverGoesNegative) {
  Open(std::string(40, 'x'));
  pEdit->nHScrollPos = 1;
  SendMessageA(hEdit, WM_HSCROLL, SB_LINELEFT, 0);
  EXPECT_EQ(pEdit->nHScrollPos, 0);
  SendMessageA(hEdit, WM_HSCROLL, SB_PAGELEFT, 0);
  EXPECT_EQ(pEdit->nHScrollPos, 0);
  SendMessageA(hEdit, WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(pEdit->nHScrollPos, cx);
  // The caret a little left of the visible cells scrolls back to 0, not past it.
  pEdit->nHScrollPos = cx + 1;
  Caret(0);
  View().UpdateCaret(1, 1);
  EXPECT_EQ(pEdit->nHScrollPos, 0);
  // Far right of the window: the view scrolls until the caret shows.
  MoveWindow(hEdit, 0, 0, doc.nHexAddrWidth + 8 * cx, kHeight, TRUE);
  Caret(15);
  View().UpdateCaret(1, 1);
  const int xCaret = doc.GetHexXFromPos(0, 15, MIREL_HEX_AREA_CELLS) - pEdit->nHScrollPos;
  EXPECT_GE(xCaret, doc.nHexAddrWidth);
  EXPECT_LE(xCaret + 2 * cx, pEdit->rcEdit.right);
  EXPECT_TRUE(pEdit->bCaretVisible);
}

}  // namespace
