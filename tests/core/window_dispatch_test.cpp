// What the edit window does with each message: which view operation gets
// it and with what arguments, the triple click, the drag gate, the dialog
// code, the private messages and the context menu passed to the parent.
#include <windows.h>

#include <imm.h>

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "mirel/mirel.h"
#include "window_test_util.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

using namespace mirel_window_test;

namespace {

class WindowDispatch : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    pEdit = &NewEdit(true);
    hWnd = CreateEditWindow(*pEdit);
    ASSERT_NE(hWnd, nullptr);
    log.clear();
  }
  CMirel& edit() { return pEdit->edit; }
  Edit* pEdit = nullptr;
  HWND hWnd = nullptr;
};

TEST_F(WindowDispatch, NavigationAndEditingKeysReachTheirViewOperations) {
  const UINT keys[] = {VK_BACK, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_END,
                       VK_HOME, VK_LEFT,   VK_UP,     VK_RIGHT, VK_DOWN, VK_DELETE};
  for (UINT vk : keys) SendMessageA(hWnd, WM_KEYDOWN, vk, MAKELPARAM(2, 0));
  EXPECT_EQ(log, (CallLog{"back(2,0,0,0)", "return(2,0,0,0)", "escape(2,0,0,0)", "pageup(2,0,0,0)",
                          "pagedown(2,0,0,0)", "end(2,0,0,0)", "home(2,0,0,0)", "left(2,0,0,0)",
                          "up(2,0,0,0)", "right(2,0,0,0)", "down(2,0,0,0)", "delete(2,0,0,0)"}));
  log.clear();
  SendMessageA(hWnd, WM_KEYDOWN, 'A', 1);  // characters come as WM_CHAR
  SendMessageA(hWnd, WM_KEYDOWN, VK_F5, 1);
  EXPECT_EQ(log, CallLog{});
}

TEST_F(WindowDispatch, KeyCommandTakesItsModifiersFromTheFlags) {
  SendMessageA(hWnd, WM_MIREL_KEYCOMMAND, VK_DOWN, 0x0C);  // ctrl and shift
  SendMessageA(hWnd, WM_MIREL_KEYCOMMAND, VK_LEFT, 0x10);  // alt
  SendMessageA(hWnd, WM_MIREL_KEYCOMMAND, VK_INSERT, 0);   // not a view key
  SendMessageA(hWnd, WM_MIREL_KEYCOMMAND, 'A', 0);
  EXPECT_EQ(log, (CallLog{"down(1,1,0,1)", "left(1,0,1,0)"}));
}

TEST_F(WindowDispatch, InsertTogglesOverwriteOnlyWhenEnabledAndTellsTheParent) {
  SendMessageA(hWnd, WM_MIREL_SETINSERTKEY, 0, 0);
  SendMessageA(hWnd, WM_KEYDOWN, VK_INSERT, 1);
  EXPECT_FALSE(doc.IsOverwriteMode());
  EXPECT_TRUE(ParentMessages().empty());
  SendMessageA(hWnd, WM_MIREL_SETINSERTKEY, 1, 0);
  SendMessageA(hWnd, WM_KEYDOWN, VK_INSERT, 1);
  EXPECT_TRUE(doc.IsOverwriteMode());
  ASSERT_EQ(ParentMessages().size(), 1u);
  EXPECT_EQ(ParentMessages()[0].uMsg, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(ParentMessages()[0].wParam, MAKEWPARAM(100, 3));
  EXPECT_EQ(ParentMessages()[0].lParam, reinterpret_cast<LPARAM>(hWnd));
  SendMessageA(hWnd, WM_KEYDOWN, VK_INSERT, 1);
  EXPECT_FALSE(doc.IsOverwriteMode());
}

TEST_F(WindowDispatch, CharactersGoToTheViewTabToItsTabOperation) {
  SendMessageA(hWnd, WM_CHAR, 'x', MAKELPARAM(3, 0));
  SendMessageA(hWnd, WM_CHAR, 0x1B0, 1);  // only the low byte counts
  SendMessageA(hWnd, WM_CHAR, '\t', 1);
  EXPECT_EQ(log, (CallLog{"char(120,3)", "char(176,1)", "tab(1,0,0,0)"}));
}

TEST_F(WindowDispatch, ClicksCountToATripleClickAndSingleClicksNeverDo) {
  SetFocus(hWnd);
  log.clear();
  SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  EXPECT_EQ(log, (CallLog{"down_button(0,5,6)", "down_button(0,5,6)", "down_button(0,5,6)"}));
  log.clear();
  SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  SendMessageA(hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 6));
  SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  EXPECT_EQ(log, (CallLog{"down_button(0,5,6)", "down_button(1,5,6)", "triple(5,6)"}));
  EXPECT_EQ(GetFocus(), hWnd);
  // After the double-click wait a third button-down is a plain one.
  log.clear();
  SendMessageA(hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 6));
  SendMessageA(hWnd, WM_TIMER, TIMER_DBLCLK_WAIT, 0);
  SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, -4));  // coordinates are signed
  EXPECT_EQ(log, (CallLog{"down_button(1,5,6)", "down_button(0,-3,-4)"}));
}

TEST_F(WindowDispatch, TheViewSeesMouseMovesOnlyDuringADragAndButtonUpEndsIt) {
  SendMessageA(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(1, 2));
  EXPECT_EQ(log, CallLog{});
  SetCapture(hWnd);
  edit().bTracking = 1;
  SendMessageA(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(1, 2));
  SendMessageA(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
  EXPECT_EQ(log, (CallLog{"mousemove(1,2)", "up_button(3,4)"}));
  EXPECT_EQ(edit().bTracking, 0);
  EXPECT_NE(GetCapture(), hWnd);
}

TEST_F(WindowDispatch, ScrollPaintAndCursorMessagesGoToTheView) {
  SendMessageA(hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
  SendMessageA(hWnd, WM_HSCROLL, SB_LINERIGHT, 0);
  SendMessageA(hWnd, WM_PAINT, 0, 0);
  EXPECT_EQ(log, (CallLog{"vscroll(5,40)", "hscroll(1,0)", "paint"}));
  log.clear();
  pEdit->view->nSetCursorResult = 1;
  EXPECT_EQ(
      SendMessageA(hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
      1);
  EXPECT_EQ(log, (CallLog{"cursor(1)"}));
}

TEST_F(WindowDispatch, TheDragGateStopsEditsButNotKeys) {
  doc.NewFile();
  doc.InsertA("abc", 3, TRUE);
  doc.SetSel(0, 0, FALSE);
  log.clear();
  edit().bTracking = 1;
  SendMessageA(hWnd, WM_MIREL_SELECTALL, 0, 0);
  SendMessageA(hWnd, WM_UNDO, 0, 0);
  SendMessageA(hWnd, WM_CHAR, 'q', 1);
  SendMessageA(hWnd, WM_COMMAND, ID_MIREL_SELECTALL, 0);
  EXPECT_FALSE(doc.IsSelected());
  char buf[8] = {0};
  EXPECT_EQ(doc.GetTextA(buf, 0, 3), 3);
  EXPECT_STREQ(buf, "abc");
  SendMessageA(hWnd, WM_KEYDOWN, VK_LEFT, 1);
  EXPECT_EQ(log, (CallLog{"left(1,0,0,0)"}));

  edit().bTracking = 0;
  log.clear();
  SendMessageA(hWnd, WM_MIREL_SELECTALL, 0, 0);
  EXPECT_TRUE(doc.IsSelected());
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "caret(1,1)");
  SendMessageA(hWnd, WM_UNDO, 0, 0);
  EXPECT_EQ(doc.GetContentsSize(), 0u);
  SendMessageA(hWnd, WM_MIREL_REDO, 0, 0);
  EXPECT_EQ(doc.GetContentsSize(), 3u);
}

TEST_F(WindowDispatch, DialogCodeKeepsTabForTheDialogUnlessTabsAreWanted) {
  EXPECT_EQ(SendMessageA(hWnd, WM_GETDLGCODE, 0, 0), 0x87);
  MSG msg{};
  msg.hwnd = hWnd;
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_TAB;
  doc.WantTab(FALSE);
  EXPECT_EQ(SendMessageA(hWnd, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&msg)), 0);
  doc.WantTab(TRUE);
  EXPECT_EQ(SendMessageA(hWnd, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&msg)), 0x87);
  doc.WantTab(FALSE);
  msg.wParam = VK_LEFT;
  EXPECT_EQ(SendMessageA(hWnd, WM_GETDLGCODE, VK_LEFT, reinterpret_cast<LPARAM>(&msg)), 0x87);
}

TEST_F(WindowDispatch, PrivateOptionMessagesSetTheirOptions) {
  SendMessageA(hWnd, WM_MIREL_SETOPTION0, 0, 0);
  EXPECT_FALSE(doc.IsDblClkWordSelect());
  SendMessageA(hWnd, WM_MIREL_SETOPTION0, 1, 0);
  EXPECT_TRUE(doc.IsDblClkWordSelect());
  EXPECT_EQ(SendMessageA(hWnd, WM_MIREL_GETSCROLLBAR, SB_VERT, 0), 0);
  EXPECT_EQ(SendMessageA(hWnd, WM_MIREL_GETSCROLLBAR, 7, 0), 0);
}

TEST_F(WindowDispatch, TheParentGetsTheContextMenuUnchangedWhenItAskedForIt) {
  SendMessageA(hWnd, WM_MIREL_SETPARENTMENU, 1, 0);
  EXPECT_EQ(edit().bParentContextMenu, 1);
  EXPECT_EQ(SendMessageA(hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd), MAKELPARAM(-1, -1)), 77);
  ASSERT_EQ(ParentMessages().size(), 1u);
  EXPECT_EQ(ParentMessages()[0].uMsg, static_cast<UINT>(WM_CONTEXTMENU));
  EXPECT_EQ(ParentMessages()[0].wParam, reinterpret_cast<WPARAM>(hWnd));
  EXPECT_EQ(LOWORD(ParentMessages()[0].lParam), 0xFFFF);
  EXPECT_EQ(HIWORD(ParentMessages()[0].lParam), 0xFFFF);
}

TEST_F(WindowDispatch, CompositionStartAndEndKeepTheDocumentsStateInStep) {
  doc.nIMEProperty = IME_PROP_AT_CARET;
  doc.pIMEAttr = static_cast<BYTE*>(std::malloc(4));
  doc.pIMEClause = static_cast<int*>(std::malloc(8));
  EXPECT_EQ(SendMessageA(hWnd, WM_IME_STARTCOMPOSITION, 0, 0), 0);
  EXPECT_TRUE(doc.bComposing);
  EXPECT_EQ(SendMessageA(hWnd, WM_IME_ENDCOMPOSITION, 0, 0), 0);
  EXPECT_FALSE(doc.bComposing);
  EXPECT_EQ(doc.pIMEAttr, nullptr);
  EXPECT_EQ(doc.pIMEClause, nullptr);
  // While an IME that composes in its own window is at work, keys wait.
  doc.nIMEProperty = 0;
  SendMessageA(hWnd, WM_IME_STARTCOMPOSITION, 0, 0);
  SendMessageA(hWnd, WM_KEYDOWN, VK_LEFT, 1);
  EXPECT_EQ(log, CallLog{});
  SendMessageA(hWnd, WM_IME_ENDCOMPOSITION, 0, 0);
  SendMessageA(hWnd, WM_KEYDOWN, VK_LEFT, 1);
  EXPECT_EQ(log, (CallLog{"left(1,0,0,0)"}));
}

}  // namespace

namespace {

// The wheel scrolls whole rows by the system's lines per notch, within the
// scroll range that the view last set.
class WindowWheel : public WindowDispatch {
 protected:
  void SetUp() override {
    WindowDispatch::SetUp();
    H = std::max(doc.nLineHeight, 1);
    MoveWindow(hWnd, 0, 0, 200, 10 * H, FALSE);
    GetClientRect(hWnd, &edit().rcEdit);
    doc.nScrollHeight = 200 * H;
    SetScrollRange(hWnd, SB_VERT, 0, 200 * H, FALSE);
    UINT nLines = 0;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &nLines, 0);
    nLinesPerNotch = static_cast<int>(nLines);
    log.clear();
  }
  void Wheel(int nDelta) { SendMessageA(hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(nDelta)), 0); }
  int H = 1;
  int nLinesPerNotch = 0;
};

TEST_F(WindowWheel, ANotchScrollsTheSystemsLinesAndNothingPastTheTop) {
  if (nLinesPerNotch <= 0 || nLinesPerNotch > 20) GTEST_SKIP() << "unusual wheel setting";
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(edit().nTopLine, nLinesPerNotch);
  EXPECT_EQ(GetScrollPos(hWnd, SB_VERT), nLinesPerNotch * H);
  EXPECT_EQ(log, (CallLog{"caret(0,0)", "invalidate(2)"}));
  Wheel(WHEEL_DELTA);
  EXPECT_EQ(edit().nTopLine, 0);
  log.clear();
  Wheel(WHEEL_DELTA);  // at the top: nothing, no repaint
  EXPECT_EQ(edit().nTopLine, 0);
  EXPECT_TRUE(log.empty());
  // At the end of the range the top stops where the last page begins.
  const int nPageRows = edit().rcEdit.bottom / H;  // the window's bars may take room
  const int nLastTop = 200 - nPageRows;            // 200 rows of range less a page
  edit().nTopLine = nLastTop - 1;
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(edit().nTopLine, nLastTop);
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(edit().nTopLine, nLastTop);
}

TEST_F(WindowWheel, PageSettingScrollsAPageAndHugeSettingsDoNotHang) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  MrwTestSetWheelScrollLines(WHEEL_PAGESCROLL);
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(edit().nTopLine, 10);
  edit().nTopLine = 0;
  MrwTestSetWheelScrollLines(1000);
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(edit().nTopLine, WHEEL_DELTA);
  MrwTestSetWheelScrollLines(0);
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(edit().nTopLine, WHEEL_DELTA);
  MrwTestResetSystemSettings();
#endif
}

TEST_F(WindowWheel, ATouchPadDeltaWaitsUntilItMakesARow) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  MrwTestSetWheelScrollLines(3);  // a row per 40 units
  // Bring what earlier messages left over back to a known remainder.
  edit().nTopLine = 100;
  Wheel(-WHEEL_DELTA);
  const int nTop = edit().nTopLine;
  for (int i = 0; i < 40; ++i) {
    Wheel(-1);
    if (edit().nTopLine != nTop) break;
  }
  ASSERT_EQ(edit().nTopLine, nTop + 1);  // the remainder is now 0
  Wheel(-30);
  EXPECT_EQ(edit().nTopLine, nTop + 1);
  Wheel(-30);
  EXPECT_EQ(edit().nTopLine, nTop + 2);  // 60 units: one row, 20 kept
  MrwTestResetSystemSettings();
#endif
}

}  // namespace
