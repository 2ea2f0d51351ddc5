// An edit window before the host's first NewFile: no text store, no rows and
// no view. Sizing, painting, keys, characters, clicks, scrolling and the
// document commands sent as messages must do nothing harmful: no fault, no
// failed invariant, no text, and a painted window shows its background.
#include <windows.h>

#include <imm.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "mirel/mirel.h"
#include "window_test_util.h"

using namespace mirel_window_test;

namespace {

class WindowBeforeNewFile : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    MirelResetAssertFailures();
    pEdit = &NewEdit(false);
    hWnd = CreateEditWindow(*pEdit, 100, WS_CHILD | WS_VISIBLE, 120, 80);
    ASSERT_NE(hWnd, nullptr);
    // As the library does once the window is registered.
    SendMessageA(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 80));
    ASSERT_EQ(doc.pContents, nullptr);
  }
  void TearDown() override {
    EXPECT_EQ(MirelAssertFailureCount(), 0);
    EXPECT_EQ(doc.GetContentsSize(), 0u);
    EXPECT_FALSE(doc.IsModified());
    WindowFixture::TearDown();
  }
  Edit* pEdit = nullptr;
  HWND hWnd = nullptr;
};

TEST_F(WindowBeforeNewFile, SizeKeepsTheClientRectangleAndIgnoresMinimising) {
  ASSERT_TRUE(MoveWindow(hWnd, 0, 0, 150, 90, TRUE));
  SendMessageA(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(150, 90));
  RECT rc{};
  GetClientRect(hWnd, &rc);
  EXPECT_EQ(pEdit->edit.rcEdit.right, rc.right);
  EXPECT_EQ(pEdit->edit.rcEdit.bottom, rc.bottom);
  SendMessageA(hWnd, WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_EQ(pEdit->edit.rcEdit.right, rc.right);
}

TEST_F(WindowBeforeNewFile, PaintShowsTheBackgroundAndValidatesTheWindow) {
  ShowWindow(hParent, SW_SHOW);  // only a shown window has pixels to read
  const COLORREF crBack = RGB(0, 128, 255);
  doc.SetBackColor(crBack);
  InvalidateRect(hWnd, nullptr, TRUE);
  UpdateWindow(hWnd);
  RECT rcUpdate{};
  EXPECT_FALSE(GetUpdateRect(hWnd, &rcUpdate, FALSE));  // painted, nothing left to paint
  HDC hdc = GetDC(hWnd);
  ASSERT_NE(hdc, nullptr);
  EXPECT_EQ(GetPixel(hdc, 3, 3), crBack);
  EXPECT_EQ(GetPixel(hdc, 100, 60), crBack);
  ReleaseDC(hWnd, hdc);
}

TEST_F(WindowBeforeNewFile, InputScrollAndCommandsChangeNothing) {
  SendMessageA(hWnd, WM_KEYDOWN, VK_DOWN, 1);
  SendMessageA(hWnd, WM_KEYDOWN, VK_DELETE, 1);
  SendMessageA(hWnd, WM_KEYDOWN, VK_BACK, 1);
  SendMessageA(hWnd, WM_SYSKEYDOWN, VK_LEFT, 1);
  SendMessageA(hWnd, WM_CHAR, 'a', 1);
  SendMessageA(hWnd, WM_CHAR, '\t', 1);
  SendMessageA(hWnd, WM_CHAR, 0x1A, 1);  // Ctrl+Z
  SendMessageA(hWnd, WM_CHAR, 0x19, 1);  // Ctrl+Y
  SendMessageA(hWnd, WM_CHAR, 0x01, 1);  // Ctrl+A
  SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(12, 200));
  SendMessageA(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(12, 12));
  SendMessageA(hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
  SendMessageA(hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 500), 0);
  SendMessageA(hWnd, WM_HSCROLL, SB_PAGERIGHT, 0);
  SendMessageA(hWnd, WM_TIMER, TIMER_AUTOSCROLL, 0);
  SendMessageA(hWnd, WM_TIMER, TIMER_DBLCLK_WAIT, 0);
  SendMessageA(hWnd, WM_UNDO, 0, 0);
  SendMessageA(hWnd, WM_MIREL_REDO, 0, 0);
  SendMessageA(hWnd, WM_MIREL_SELECTALL, 0, 0);
  SendMessageA(hWnd, WM_MIREL_KEYCOMMAND, VK_END, 0x04);
  SendMessageA(hWnd, WM_COMMAND, ID_MIREL_SELECTALL, 0);
  SendMessageA(hWnd, WM_COMMAND, ID_MIREL_UNDO, 0);
  SendMessageA(hWnd, WM_IME_STARTCOMPOSITION, 0, 0);
  SendMessageA(hWnd, WM_IME_COMPOSITION, 0, 0);
  SendMessageA(hWnd, WM_IME_ENDCOMPOSITION, 0, 0);
  SendMessageA(hWnd, WM_IME_KEYDOWN, VK_HANJA, 0);
  SendMessageA(hWnd, WM_IME_CHAR, 0xB0A1, 1);
  // On Windows the built-in menu would wait for the user: hand it to the
  // parent there. The stand-in answers the menu at once.
  if (!mirel_test::kStandIn) SendMessageA(hWnd, WM_MIREL_SETPARENTMENU, TRUE, 0);
  SendMessageA(hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd), MAKELPARAM(-1, -1));
  SendMessageA(hWnd, WM_SYSCOLORCHANGE, 0, 0);
  SendMessageA(hWnd, WM_INPUTLANGCHANGE, 0, reinterpret_cast<LPARAM>(GetKeyboardLayout(0)));
  SendMessageA(hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  SetFocus(hWnd);
  SetFocus(hParent);
  EXPECT_EQ(doc.nLineCount, 0);
  EXPECT_FALSE(doc.IsSelected());
  EXPECT_EQ(pEdit->edit.bTracking, 0);
  EXPECT_TRUE(IsWindow(hWnd));
}

TEST_F(WindowBeforeNewFile, AWindowWhoseDocumentWentAwayStillAnswers) {
  doc.ReleaseEdits();  // the document forgets its windows and their pointer to it
  ASSERT_EQ(pEdit->edit.pdoc, nullptr);
  SendMessageA(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(60, 40));
  SendMessageA(hWnd, WM_KEYDOWN, VK_INSERT, 1);
  SendMessageA(hWnd, WM_CHAR, 0x1A, 1);
  SendMessageA(hWnd, WM_UNDO, 0, 0);
  SendMessageA(hWnd, WM_IME_STARTCOMPOSITION, 0, 0);
  SendMessageA(hWnd, WM_SYSCOLORCHANGE, 0, 0);
  SetFocus(hWnd);
  SetFocus(hParent);
  InvalidateRect(hWnd, nullptr, FALSE);
  UpdateWindow(hWnd);
  EXPECT_EQ(SendMessageA(hWnd, WM_GETDLGCODE, 0, 0), 0x87);
}

}  // namespace
