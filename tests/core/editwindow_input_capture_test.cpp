// Losing the mouse in the middle of a gesture: the edit window ends the
// gesture as a button-up would, without dropping anything, so that typing,
// undo and commands are not blocked afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "window_test_util.h"

using namespace mirel_window_test;

namespace {

// A view that arms a drag on every button-down, as the text view does for a
// click inside the selection, and notes whether the drag was still armed at
// the button-up.
class DragView : public CallView {
 public:
  using CallView::CallView;
  void OnLButtonDown(HWND hWnd, int, int, int, UINT) override {
    pdoc->SetDragPending(1);
    pMirel->bTracking = 1;
    SetCapture(hWnd);
  }
  void OnLButtonUp(HWND, int, int, UINT) override {
    bDragArmedAtUp = pdoc->IsDragPending();
    pdoc->SetDragPending(0);
  }
  BOOL bDragArmedAtUp = FALSE;
};

class EditWindowCapture : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    edits.push_back(std::make_unique<Edit>(&doc));
    pEdit = edits.back().get();
    pView = new DragView(&log);
    pEdit->view.reset(pView);
    pEdit->edit.pView = pView;
    pView->pMirel = &pEdit->edit;
    pView->pdoc = &doc;
    hWnd = CreateEditWindow(*pEdit);
    ASSERT_NE(hWnd, nullptr);
    ASSERT_EQ(doc.NewFile(), 1);
    ASSERT_EQ(doc.InsertA("abc", 3, TRUE), 1);
    hOther = CreateWindowExA(0, kParentClass, "other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hOther, nullptr);
  }
  void TearDown() override {
    if (GetCapture() != nullptr) ReleaseCapture();
    if (IsWindow(hOther)) DestroyWindow(hOther);
    WindowFixture::TearDown();
  }
  void ButtonDown() {
    SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    ASSERT_EQ(GetCapture(), hWnd);
    ASSERT_EQ(pEdit->edit.bTracking, 1);
    log.clear();
  }
  // The gesture is over and nothing is blocked: characters reach the view
  // again and undo reaches the document.
  void ExpectInputFlowsAgain() {
    EXPECT_EQ(pEdit->edit.bTracking, 0);
    EXPECT_FALSE(doc.IsDragPending());
    SendMessageA(hWnd, WM_CHAR, 'x', 1);
    EXPECT_EQ(log.back(), "char(120,1)");
    SendMessageA(hWnd, WM_UNDO, 0, 0);
    EXPECT_EQ(mirel_doc_test::TextOf(doc), "");
  }
  Edit* pEdit = nullptr;
  DragView* pView = nullptr;
  HWND hWnd = nullptr;
  HWND hOther = nullptr;
};

TEST_F(EditWindowCapture, AnotherWindowTakingTheMouseEndsTheGesture) {
  ButtonDown();
  SetCapture(hOther);
  ExpectInputFlowsAgain();
  // A button-up that comes later finds no drag to drop.
  SendMessageA(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(60, 10));
  EXPECT_FALSE(pView->bDragArmedAtUp);
}

TEST_F(EditWindowCapture, CancelModeEndsTheGestureAndReleasesTheMouse) {
  ButtonDown();
  SendMessageA(hWnd, WM_CANCELMODE, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  ExpectInputFlowsAgain();
}

TEST_F(EditWindowCapture, TheWindowsOwnButtonUpStillDropsTheDrag) {
  ButtonDown();
  SendMessageA(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(60, 10));
  EXPECT_TRUE(pView->bDragArmedAtUp);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(pEdit->edit.bTracking, 0);
}

}  // namespace
