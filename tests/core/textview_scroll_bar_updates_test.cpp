// Scroll bars are set only when what they show changes: typing or moving
// inside a line leaves both bars alone, while every command leaves them
// showing exactly what a fresh update would show.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "textview_keys_fixture.h"

#ifndef _WIN32
#include "hooks_user_extra.h"
#endif

using namespace mirel_keys_test;

namespace {

SCROLLINFO BarInfo(HWND h, int nBar) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  GetScrollInfo(h, nBar, &si);
  return si;
}

bool SameBar(const SCROLLINFO& a, const SCROLLINFO& b) {
  return a.nMin == b.nMin && a.nMax == b.nMax && a.nPage == b.nPage && a.nPos == b.nPos;
}

std::string ManyRows(int nRows) {
  std::string s;
  for (int i = 0; i < nRows; ++i) s += "row " + std::to_string(i) + " with some text\r\n";
  return s;
}

enum class ECommand { kType, kBackspace, kRight, kReturn, kPageDown, kLongLine };

struct CCommand {
  const char* pszName;
  ECommand command;
  bool bBarsMayChange;
};

const CCommand kCommands[] = {
    {"typing inside a line", ECommand::kType, false},
    {"Backspace inside a line", ECommand::kBackspace, false},
    {"Right arrow", ECommand::kRight, false},
    {"Return", ECommand::kReturn, true},
    {"Page Down", ECommand::kPageDown, true},
    {"a line wider than the window typed", ECommand::kLongLine, true},
};

class ScrollBarUpdates : public KeysTest, public ::testing::WithParamInterface<int> {
 protected:
  void Run(ECommand command) {
    switch (command) {
      case ECommand::kType:
        Type("x");
        break;
      case ECommand::kBackspace:
        Key(VK_BACK);
        break;
      case ECommand::kRight:
        Key(VK_RIGHT);
        break;
      case ECommand::kReturn:
        SendMessageA(hEdit, WM_CHAR, VK_RETURN, 1);
        break;
      case ECommand::kPageDown:
        Key(VK_NEXT);
        break;
      case ECommand::kLongLine:
        Type(std::string(80, 'w'));
        break;
    }
  }
};

TEST_P(ScrollBarUpdates, BarsShowWhatAFreshUpdateShows) {
  const CCommand& c = kCommands[GetParam()];
  SCOPED_TRACE(c.pszName);
  Open(MIREL_ENCODING_ANSI, ManyRows(60));
  Caret(5);
#ifndef _WIN32
  const UINT nVertBefore = MrwTestScrollBarSetCalls(hEdit, SB_VERT);
  const UINT nHorzBefore = MrwTestScrollBarSetCalls(hEdit, SB_HORZ);
#endif
  Run(c.command);
  ExpectConsistent();
  const SCROLLINFO vert = BarInfo(hEdit, SB_VERT);
  const SCROLLINFO horz = BarInfo(hEdit, SB_HORZ);
#ifndef _WIN32
  if (!c.bBarsMayChange) {
    EXPECT_EQ(MrwTestScrollBarSetCalls(hEdit, SB_VERT), nVertBefore);
    EXPECT_EQ(MrwTestScrollBarSetCalls(hEdit, SB_HORZ), nHorzBefore);
  }
#endif
  // Spoil both bars, then let the view set them from scratch: the skipped
  // updates must have left them as the full update makes them.
  SCROLLINFO junk{};
  junk.cbSize = sizeof(junk);
  junk.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  junk.nMax = 7;
  junk.nPage = 3;
  junk.nPos = 2;
  SetScrollInfo(hEdit, SB_VERT, &junk, TRUE);
  SetScrollInfo(hEdit, SB_HORZ, &junk, TRUE);
  pEdit->pView->UpdateScrollBars();
  EXPECT_TRUE(SameBar(BarInfo(hEdit, SB_VERT), vert));
  EXPECT_TRUE(SameBar(BarInfo(hEdit, SB_HORZ), horz));
}

INSTANTIATE_TEST_SUITE_P(Commands, ScrollBarUpdates,
                         ::testing::Range(0, static_cast<int>(sizeof(kCommands) / sizeof(kCommands[0]))));

SCROLLBARINFO Looks(HWND h, LONG idObject) {
  SCROLLBARINFO sbi{};
  sbi.cbSize = sizeof(sbi);
  EXPECT_TRUE(GetScrollBarInfo(h, idObject, &sbi));
  return sbi;
}

// A bar whose thumb would stay on the same pixels takes its new values
// without a redraw; one whose thumb moves is redrawn.
struct CQuietCase {
  const char* pszName;
  int nRows;
  ECommand command;
  int nBar;
  bool bRedrawn;
};

const CQuietCase kQuietCases[] = {
    {"Page Down in a long document", 20000, ECommand::kPageDown, SB_VERT, false},
    {"Page Down in a short document", 60, ECommand::kPageDown, SB_VERT, true},
    {"a wide line typed in a short document", 60, ECommand::kLongLine, SB_HORZ, true},
};

class ScrollBarRedraws : public ScrollBarUpdates {};

TEST_P(ScrollBarRedraws, RedrawnOnlyWhenTheThumbMoves) {
  const CQuietCase& c = kQuietCases[GetParam()];
  SCOPED_TRACE(c.pszName);
  Open(MIREL_ENCODING_ANSI, ManyRows(c.nRows));
  Caret(5);
  const LONG idObject = c.nBar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL;
  const SCROLLINFO before = BarInfo(hEdit, c.nBar);
  const SCROLLBARINFO looksBefore = Looks(hEdit, idObject);
#ifndef _WIN32
  const UINT nRedraws = MrwTestScrollBarRedraws(hEdit, c.nBar);
#endif
  Run(c.command);
  ExpectConsistent();
  const SCROLLINFO after = BarInfo(hEdit, c.nBar);
  EXPECT_FALSE(SameBar(before, after)) << "the command must change the bar";
  const SCROLLBARINFO looksAfter = Looks(hEdit, idObject);
  const bool bThumbMoved = looksAfter.xyThumbTop != looksBefore.xyThumbTop ||
                           looksAfter.xyThumbBottom != looksBefore.xyThumbBottom;
  EXPECT_EQ(bThumbMoved, c.bRedrawn);
#ifndef _WIN32
  EXPECT_EQ(MrwTestScrollBarRedraws(hEdit, c.nBar) != nRedraws, c.bRedrawn);
#endif
}

INSTANTIATE_TEST_SUITE_P(Commands, ScrollBarRedraws,
                         ::testing::Range(0, static_cast<int>(sizeof(kQuietCases) / sizeof(kQuietCases[0]))));

}  // namespace
