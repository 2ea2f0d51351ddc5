// Scroll bars of the edit window: the horizontal bar follows word wrap (also
// before the window has a size), panes of a split-pane parent use the
// parent's shared bars, and the scroll-bar and caret calls the views rely on
// behave as Windows documents them.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "mirel/cmirelsplitter.h"
#include "mirel/mirel.h"
#include "window_test_util.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

using namespace mirel_window_test;

namespace {

using WindowScroll = WindowFixture;

LONG StyleOf(HWND h) {
  return GetWindowLongA(h, GWL_STYLE);
}

TEST_F(WindowScroll, WrapTakesTheHorizontalBarAwayEvenWithAnEmptyClientArea) {
  MirelResetAssertFailures();
  Edit& e = NewEdit(false);
  HWND h = CreateEditWindow(e, 100, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0);
  ASSERT_NE(h, nullptr);
  RECT rc{};
  GetClientRect(h, &rc);
  ASSERT_TRUE(rc.right == 0 || rc.bottom == 0);
  e.edit.rcEdit = rc;
  e.edit.nHScrollPos = 40;

  e.edit.UpdateScrollStyle(MIREL_WRAP_WORD);
  EXPECT_EQ(StyleOf(h) & WS_HSCROLL, 0);
  EXPECT_NE(StyleOf(h) & WS_VSCROLL, 0);
  EXPECT_EQ(e.edit.nHScrollPos, 0);
  EXPECT_EQ(MirelAssertFailureCount(), 0);

  e.edit.UpdateScrollStyle(MIREL_WRAP_NONE);
  EXPECT_NE(StyleOf(h) & WS_HSCROLL, 0);
  e.edit.UpdateScrollStyle(MIREL_WRAP_NONE);  // already so: unchanged
  EXPECT_NE(StyleOf(h) & WS_HSCROLL, 0);
}

TEST_F(WindowScroll, WithoutAWindowOnlyTheOffsetIsReset) {
  CMirel edit(&doc);
  edit.nHScrollPos = 12;
  edit.UpdateScrollStyle(MIREL_WRAP_CHAR);
  EXPECT_EQ(edit.nHScrollPos, 0);
  EXPECT_EQ(edit.GetScrollBarCtrl(SB_HORZ), nullptr);
}

TEST_F(WindowScroll, APaneIdentifierOutsideASplitPaneParentHasNoSharedBar) {
  Edit& e = NewEdit(false);
  HWND h = CreateEditWindow(e, 0xE912, WS_CHILD | WS_VISIBLE);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(e.edit.GetScrollBarCtrl(SB_HORZ), nullptr);
  EXPECT_EQ(e.edit.GetScrollBarCtrl(SB_VERT), nullptr);
}

// A stand-in split-pane parent: a window of the split-pane class name with
// its shared bars as children.
class WindowInSplitter : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    // Only the class name matters; another test may have registered it.
    WNDCLASSA wc{};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), MIREL_SPLITTER_CLASS_NAME, &wc)) {
      wc.lpfnWndProc = DefWindowProcA;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = MIREL_SPLITTER_CLASS_NAME;
      RegisterClassA(&wc);
    }
    hSplitter = CreateWindowExA(0, MIREL_SPLITTER_CLASS_NAME, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 300, 200,
                                hParent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hSplitter == nullptr) {
      // The library's own class: a real split-pane window without shared bars.
      splitter = std::make_unique<CMirelSplitter>();
      if (splitter->Create(hParent, 16, 16, 20, 20, 0, nullptr, WS_CHILD | WS_VISIBLE))
        hSplitter = splitter->m_hWnd;
    }
    if (hSplitter == nullptr) GTEST_SKIP() << "no split-pane window can be made here";
    hHorz = Bar(0xEA02);
    hVert = Bar(0xEA11);
  }
  HWND Bar(int nID) {
    return CreateWindowExA(0, kParentClass, nullptr, WS_CHILD, 0, 0, 10, 10, hSplitter,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(nID)), GetModuleHandleA(nullptr),
                           nullptr);
  }
  std::unique_ptr<CMirelSplitter> splitter;  // when the class is the library's own
  HWND hSplitter = nullptr;
  HWND hHorz = nullptr;
  HWND hVert = nullptr;
};

TEST_F(WindowInSplitter, APaneUsesTheBarsOfItsRowAndColumn) {
  Edit& e = NewEdit(false);
  HWND h = CreateEditWindow(e, 0xE912, WS_CHILD | WS_VISIBLE, 100, 100, hSplitter);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(e.edit.bInSplitter, 1);
  EXPECT_EQ(e.edit.GetScrollBarCtrl(SB_HORZ), hHorz);
  EXPECT_EQ(e.edit.GetScrollBarCtrl(SB_VERT), hVert);
  EXPECT_EQ(SendMessageA(h, WM_MIREL_GETSCROLLBAR, SB_HORZ, 0), reinterpret_cast<LRESULT>(hHorz));
  EXPECT_EQ(SendMessageA(h, WM_MIREL_GETSCROLLBAR, SB_VERT, 0), reinterpret_cast<LRESULT>(hVert));

  // Word wrap disables the shared horizontal bar instead of removing it.
  e.edit.nHScrollPos = 9;
  e.edit.UpdateScrollStyle(MIREL_WRAP_CHAR);
  EXPECT_EQ(e.edit.nHScrollPos, 0);
  EXPECT_EQ(StyleOf(h) & WS_HSCROLL, 0);
#ifndef _WIN32
  EXPECT_EQ(MrwTestScrollBarDisabledArrows(hHorz, SB_CTL), static_cast<UINT>(ESB_DISABLE_BOTH));
  e.edit.UpdateScrollStyle(MIREL_WRAP_NONE);
  EXPECT_EQ(MrwTestScrollBarDisabledArrows(hHorz, SB_CTL), 0u);
#endif
  EXPECT_EQ(StyleOf(h) & WS_HSCROLL, 0);
}

TEST_F(WindowInSplitter, APaneWithItsOwnBarsOrANonPaneIdentifierUsesItsOwn) {
  Edit& own = NewEdit(false);
  HWND h = CreateEditWindow(own, 0xE912, WS_CHILD | WS_HSCROLL | WS_VSCROLL, 100, 100, hSplitter);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(own.edit.GetScrollBarCtrl(SB_HORZ), nullptr);
  EXPECT_EQ(own.edit.GetScrollBarCtrl(SB_VERT), nullptr);
  Edit& other = NewEdit(false);
  HWND h2 = CreateEditWindow(other, 0xEA00, WS_CHILD, 100, 100, hSplitter);
  ASSERT_NE(h2, nullptr);
  EXPECT_EQ(other.edit.GetScrollBarCtrl(SB_HORZ), nullptr);
}

// The window's own bars as the views set and read them.
TEST_F(WindowScroll, ScrollInfoClampsPageAndPositionAndReportsTheThumb) {
  HWND h = CreateWindowExA(0, kParentClass, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 100, 100,
                           hParent, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(h, nullptr);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 20;
  si.nPos = 95;  // beyond the last page: clamped to 100 - 20
  EXPECT_EQ(SetScrollInfo(h, SB_VERT, &si, TRUE), 80);
  SCROLLINFO out{};
  out.cbSize = sizeof(out);
  out.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &out));
  EXPECT_EQ(out.nMin, 0);
  EXPECT_EQ(out.nMax, 99);
  EXPECT_EQ(out.nPage, 20u);
  EXPECT_EQ(out.nPos, 80);
  EXPECT_EQ(out.nTrackPos, 80);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 80);
  EXPECT_EQ(SetScrollPos(h, SB_VERT, -5, TRUE), 80);  // returns the old position
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 0);

  si.fMask = SIF_PAGE;
  si.nPage = 500;  // more than the range: clamped to it
  SetScrollInfo(h, SB_VERT, &si, TRUE);
  out.fMask = SIF_PAGE;
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &out));
  EXPECT_EQ(out.nPage, 100u);
  DestroyWindow(h);
}

TEST_F(WindowScroll, CaretBelongsToOneWindowAndGoesWithDestroyCaret) {
  HWND h = CreateWindowExA(0, kParentClass, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, hParent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(h, nullptr);
  SetFocus(h);
  ASSERT_TRUE(CreateCaret(h, nullptr, 2, 14));
  EXPECT_TRUE(SetCaretPos(7, 9));
  POINT pt{};
  ASSERT_TRUE(GetCaretPos(&pt));
  EXPECT_EQ(pt.x, 7);
  EXPECT_EQ(pt.y, 9);
  EXPECT_TRUE(ShowCaret(h));
  EXPECT_TRUE(HideCaret(h));
  EXPECT_GT(GetCaretBlinkTime(), 0u);
  EXPECT_TRUE(DestroyCaret());
#ifndef _WIN32
  EXPECT_EQ(MrwTestCaretOwner(), nullptr);
#endif
  DestroyWindow(h);
}

}  // namespace
