// What GetScrollBarInfo reports of a window's own bar: the thumb is as long
// against the track as the page against the range, slides with the position,
// and the bar is unavailable with nothing to scroll and invisible when hidden.
// The same expectations hold against Windows (Wine) and the stand-in.
#include <windows.h>

#include "user_test_window.h"

namespace {

using user_test::WindowTest;

class UserScrollBarInfoTest : public WindowTest {
 protected:
  HWND MakeBar(int nMax, UINT nPage, int nPos) {
    HWND h = CreateTopLevel(100, 100, 300, 400, WS_VISIBLE | WS_VSCROLL);
    SetBar(h, nMax, nPage, nPos);
    return h;
  }
  static void SetBar(HWND h, int nMax, UINT nPage, int nPos) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = nMax;
    si.nPage = nPage;
    si.nPos = nPos;
    SetScrollInfo(h, SB_VERT, &si, FALSE);
  }
  static SCROLLBARINFO Info(HWND h) {
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof(sbi);
    EXPECT_TRUE(GetScrollBarInfo(h, OBJID_VSCROLL, &sbi));
    return sbi;
  }
};

TEST_F(UserScrollBarInfoTest, ThumbFollowsPageAndPosition) {
  const SCROLLBARINFO half = Info(MakeBar(999, 500, 0));
  const SCROLLBARINFO quarter = Info(MakeBar(1999, 500, 0));
  EXPECT_EQ(half.rgstate[0] & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE), 0u);
  EXPECT_GT(half.rcScrollBar.bottom - half.rcScrollBar.top, 0);
  EXPECT_GT(half.xyThumbBottom - half.xyThumbTop, quarter.xyThumbBottom - quarter.xyThumbTop);

  // A move of a fraction of a pixel leaves the thumb where it was; the
  // whole range takes it to the end of the track.
  HWND h = MakeBar(9999999, 100, 0);
  const SCROLLBARINFO top = Info(h);
  SetBar(h, 9999999, 100, 100);
  const SCROLLBARINFO nudged = Info(h);
  EXPECT_EQ(nudged.xyThumbTop, top.xyThumbTop);
  EXPECT_EQ(nudged.xyThumbBottom, top.xyThumbBottom);
  SetBar(h, 9999999, 100, 9999999);
  EXPECT_GT(Info(h).xyThumbTop, top.xyThumbTop);
}

TEST_F(UserScrollBarInfoTest, BarStates) {
  // A bar kept when there is nothing to scroll is disabled.
  HWND h = CreateTopLevel(100, 100, 300, 400, WS_VISIBLE | WS_VSCROLL);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
  si.nMax = 99;
  si.nPage = 500;
  SetScrollInfo(h, SB_VERT, &si, FALSE);
  EXPECT_NE(Info(h).rgstate[0] & STATE_SYSTEM_UNAVAILABLE, 0u) << "nothing to scroll";
  ShowScrollBar(h, SB_VERT, FALSE);
  EXPECT_NE(Info(h).rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u) << "hidden";
  SCROLLBARINFO bad{};
  bad.cbSize = 1;
  EXPECT_FALSE(GetScrollBarInfo(h, OBJID_VSCROLL, &bad));
}

}  // namespace
