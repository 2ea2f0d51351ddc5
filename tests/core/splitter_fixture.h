// A split-pane window in a top-level parent, made through
// CMirelSplitter::Create, with helpers that script the mouse over it.
#pragma once

#include <windows.h>

#include <memory>

#include <gtest/gtest.h>

#include "mirel/cmireldoc.h"
#include "mirel/cmirelsplitter.h"
#include "window_test_util.h"

namespace mirel_splitter_test {

// The registrar the split-pane class uses: the library's own when it is
// linked in, otherwise one made for the rest of the test program.
inline CMirelSplitterRegistrar& SplitterRegistrar() {
  if (CMirelSplitterRegistrar::GetActive() == nullptr) {
    static CMirelSplitterRegistrar registrar;
  }
  return *CMirelSplitterRegistrar::GetActive();
}

constexpr int kMin = 20;  // minimum pane width and height
constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL;

class SplitterFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    mirel_window_test::Registrar();
    SplitterRegistrar();
    mirel_window_test::RegisterParentClass();
    mirel_window_test::ParentMessages().clear();
    hParent = CreateWindowExA(0, mirel_window_test::kParentClass, "parent", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                              480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hParent, nullptr);
  }
  void TearDown() override {
    splitter.reset();
    if (IsWindow(hParent)) DestroyWindow(hParent);
    mirel_window_test::ParentMessages().clear();
  }

  // A splitter of the given limits, sized kWidth x kHeight.
  CMirelSplitter& Make(int nMaxRows = 2, int nMaxCols = 2, DWORD dwStyle = kStyle) {
    splitter = std::make_unique<CMirelSplitter>();
    EXPECT_TRUE(splitter->Create(hParent, nMaxRows, nMaxCols, kMin, kMin, 77, nullptr, dwStyle));
    if (splitter->m_hWnd != nullptr) MoveWindow(splitter->m_hWnd, 0, 0, kWidth, kHeight, TRUE);
    return *splitter;
  }

  HWND Wnd() const { return splitter->m_hWnd; }
  void Send(UINT uMsg, int x, int y, WPARAM wParam = 0) {
    SendMessageA(Wnd(), uMsg, wParam, MAKELPARAM(x, y));
  }
  // Button down at one point, moves to the other, button up there.
  void Drag(POINT from, POINT to) {
    Send(WM_LBUTTONDOWN, from.x, from.y, MK_LBUTTON);
    Send(WM_MOUSEMOVE, (from.x + to.x) / 2, (from.y + to.y) / 2, MK_LBUTTON);
    Send(WM_MOUSEMOVE, to.x, to.y, MK_LBUTTON);
    Send(WM_LBUTTONUP, to.x, to.y);
  }
  // The rectangle of a child in the splitter's client coordinates.
  RECT ChildRect(HWND hChild) const {
    RECT rc{0, 0, 0, 0};
    GetWindowRect(hChild, &rc);
    MapWindowPoints(nullptr, Wnd(), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  }
  RECT PaneRect(int row, int col) const { return ChildRect(splitter->GetPaneWindow(row, col)); }
  // Where the bar right of a column (below a row) lies, its middle.
  int ColumnBarX(int col) const {
    return splitter->ColumnStart(col) + splitter->m_pColInfo[col].nCurSize + splitter->m_cxGap / 2;
  }
  int RowBarY(int row) const {
    return splitter->RowStart(row) + splitter->m_pRowInfo[row].nCurSize + splitter->m_cyGap / 2;
  }
  // The left (top) edge the tracker ends at for a pointer at x (y): the
  // tracker is centred on the pointer, and applying a drag takes one pixel
  // off.
  int TrackerEdge(int nPointer, int nBar) const {
    const int nTracker = nBar + splitter->m_bModernLook - 2 * splitter->m_cxBorder;
    return nPointer - nTracker / 2 - 1;
  }

  HWND hParent = nullptr;
  std::unique_ptr<CMirelSplitter> splitter;
};

}  // namespace mirel_splitter_test
