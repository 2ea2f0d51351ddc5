// The built-in context menu: its items and labels, greying by state, where
// it opens, and the commands it sends back to the edit window.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "window_test_util.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

using namespace mirel_window_test;

namespace {

#ifndef _WIN32

class EditWindowMenu : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    MrwTestResetMenus();
    pEdit = &NewEdit(true);
    hWnd = CreateEditWindow(*pEdit);
    ASSERT_NE(hWnd, nullptr);
    ASSERT_EQ(doc.NewFile(), 1);
    ASSERT_EQ(doc.InsertA("abc", 3, TRUE), 1);
    doc.undo.Reset();
    log.clear();
  }
  void TearDown() override {
    MrwTestResetMenus();
    WindowFixture::TearDown();
  }
  MRW_MENU_ITEM Item(int i) {
    MRW_MENU_ITEM item{};
    EXPECT_TRUE(MrwTestLastMenuItem(i, &item));
    return item;
  }
  // Right-click at a screen point, choosing a command (0: none).
  void OpenMenu(int x, int y, UINT nChoice = 0) {
    MrwTestChooseMenuCommand(nChoice);
    SendMessageA(hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd),
                 MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    MrwTestPumpMessages();
  }
  Edit* pEdit = nullptr;
  HWND hWnd = nullptr;
};

TEST_F(EditWindowMenu, ItemsInOrderWithKoreanLabelsAndTheMenuIsDestroyed) {
  MIREL_REQUIRE_STANDIN();
  OpenMenu(100, 120);
  ASSERT_EQ(MrwTestMenuTrackCount(), 1);
  ASSERT_EQ(MrwTestLastMenuItemCount(), 12);
  EXPECT_EQ(Item(0).nID, 40010u);
  EXPECT_STREQ(Item(0).szText, "\xbd\xc7\xc7\xe0\xc3\xeb\xbc\xd2(&U)");  // "Undo"
  EXPECT_EQ(Item(1).nID, 40011u);
  EXPECT_STREQ(Item(1).szText, "\xc0\xe7 \xbd\xc7\xc7\xe0(&R)");  // "Redo"
  EXPECT_TRUE(Item(2).uFlags & MF_SEPARATOR);
  struct Expected {
    UINT nID;
    const char* pszLabel;
  } clipboard[] = {
      {40001, "\xba\xb9\xbb\xe7(&C)"},                                           // "Copy"
      {40002, "\xc0\xdf\xb6\xf3\xb3\xbb\xb1\xe2(&T)"},                           // "Cut"
      {40003, "\xba\xd9\xbf\xa9\xb3\xd6\xb1\xe2(&P)"},                           // "Paste"
      {40005, "\xb5\xa1\xba\xd9\xbf\xa9 \xba\xb9\xbb\xe7(&O)"},                  // "Append copy"
      {40006, "\xb5\xa1\xba\xd9\xbf\xa9 \xc0\xdf\xb6\xf3\xb3\xbb\xb1\xe2(&E)"},  // "Append cut"
  };
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Item(3 + i).nID, clipboard[i].nID);
    EXPECT_STREQ(Item(3 + i).szText, clipboard[i].pszLabel);
  }
  EXPECT_TRUE(Item(8).uFlags & MF_SEPARATOR);
  EXPECT_EQ(Item(9).nID, 40004u);
  EXPECT_STREQ(Item(9).szText, "\xc0\xfc\xc3\xbc \xbc\xb1\xc5\xc3(&A)");  // "Select all"
  EXPECT_TRUE(Item(10).uFlags & MF_SEPARATOR);
  EXPECT_EQ(Item(11).nID, 40007u);
  EXPECT_STREQ(Item(11).szText, "\xc7\xd1 \xc1\xd9 \xbb\xe8\xc1\xa6(&L)");  // "Delete line"
  EXPECT_EQ(MrwTestLastMenuPos().x, 100);
  EXPECT_EQ(MrwTestLastMenuPos().y, 120);
  EXPECT_EQ(MrwTestLastMenuOwner(), hWnd);
  EXPECT_EQ(MrwTestLiveMenuCount(), 0);
}

TEST_F(EditWindowMenu, UndoAndRedoAreGreyedExactlyWhileThereIsNothingToDo) {
  MIREL_REQUIRE_STANDIN();
  OpenMenu(10, 10);
  EXPECT_TRUE(Item(0).uFlags & MF_GRAYED);
  EXPECT_TRUE(Item(1).uFlags & MF_GRAYED);
  EXPECT_FALSE(Item(9).uFlags & MF_GRAYED);  // select all is never greyed
  ASSERT_EQ(doc.InsertA("d", 1, TRUE), 1);
  OpenMenu(10, 10);
  EXPECT_FALSE(Item(0).uFlags & MF_GRAYED);
  EXPECT_TRUE(Item(1).uFlags & MF_GRAYED);
  // A greyed command cannot be chosen: redo does nothing here.
  OpenMenu(10, 10, 40011);
  EXPECT_EQ(mirel_doc_test::TextOf(doc), "abcd");
  OpenMenu(10, 10, 40010);
  EXPECT_EQ(mirel_doc_test::TextOf(doc), "abc");
  OpenMenu(10, 10);
  EXPECT_FALSE(Item(1).uFlags & MF_GRAYED);
  OpenMenu(10, 10, 40011);
  EXPECT_EQ(mirel_doc_test::TextOf(doc), "abcd");
}

TEST_F(EditWindowMenu, PasteIsGreyedWhileTheClipboardHoldsNothingToPasteAndTheRestNever) {
  MIREL_REQUIRE_STANDIN();
  ASSERT_TRUE(OpenClipboard(hWnd));
  EmptyClipboard();
  CloseClipboard();
  OpenMenu(10, 10);
  EXPECT_TRUE(Item(5).uFlags & MF_GRAYED);
  for (int i : {3, 4, 6, 7}) EXPECT_FALSE(Item(i).uFlags & MF_GRAYED) << i;
  // Copy from the menu puts the caret's line there; paste is offered then.
  OpenMenu(10, 10, 40001);
  OpenMenu(10, 10);
  EXPECT_FALSE(Item(5).uFlags & MF_GRAYED);
  OpenMenu(10, 10, 40003);
  EXPECT_EQ(mirel_doc_test::TextOf(doc), "abcabc");
}

TEST_F(EditWindowMenu, SelectAllFromTheMenuSelectsTheWholeText) {
  MIREL_REQUIRE_STANDIN();
  OpenMenu(10, 10, 40004);
  DWORD nStart = 99, nEnd = 99;
  doc.GetBlock(&nStart, &nEnd);
  EXPECT_EQ(nStart, 0u);
  EXPECT_EQ(nEnd, 3u);
  EXPECT_EQ(log.back(), "caret(1,1)");
}

TEST_F(EditWindowMenu, DeleteLineFromTheMenuTheCommandOrItsNumberAsAMessage) {
  MIREL_REQUIRE_STANDIN();
  ASSERT_EQ(doc.InsertA("\r\nx\r\ny", 6, TRUE), 1);
  doc.SetSel(0, 0, FALSE);
  OpenMenu(10, 10, 40007);  // never greyed
  EXPECT_EQ(mirel_doc_test::TextOf(doc), "x\r\ny");
  SendMessageA(hWnd, WM_COMMAND, 40007, 0);
  EXPECT_EQ(mirel_doc_test::TextOf(doc), "y");
  pEdit->edit.bTracking = 1;  // a drag holds the mouse: nothing
  SendMessageA(hWnd, 40007, 0, 0);
  EXPECT_EQ(mirel_doc_test::TextOf(doc), "y");
  pEdit->edit.bTracking = 0;
  SendMessageA(hWnd, 40007, 0, 0);
  EXPECT_EQ(mirel_doc_test::TextOf(doc), "");
  EXPECT_EQ(doc.nCaretPos, 0);
  EXPECT_EQ(doc.cli, 0);
}

TEST_F(EditWindowMenu, FromTheKeyboardTheMenuOpensNearTheClientOrigin) {
  MIREL_REQUIRE_STANDIN();
  SetWindowPos(hParent, nullptr, 40, 30, 400, 300, SWP_NOZORDER);
  POINT expected{6, 6};
  ClientToScreen(hWnd, &expected);
  OpenMenu(-1, -1);
  EXPECT_EQ(MrwTestLastMenuPos().x, expected.x);
  EXPECT_EQ(MrwTestLastMenuPos().y, expected.y);
}

TEST_F(EditWindowMenu, ACommandDuringADragChangesNothing) {
  MIREL_REQUIRE_STANDIN();
  ASSERT_EQ(doc.InsertA("d", 1, TRUE), 1);
  pEdit->edit.bTracking = 1;
  SendMessageA(hWnd, WM_COMMAND, 40010, 0);
  SendMessageA(hWnd, WM_COMMAND, 40004, 0);
  EXPECT_EQ(mirel_doc_test::TextOf(doc), "abcd");
  EXPECT_FALSE(doc.IsSelected());
  pEdit->edit.bTracking = 0;
  SendMessageA(hWnd, WM_COMMAND, 40010, 0);  // a host's command acts like the menu's
  EXPECT_EQ(mirel_doc_test::TextOf(doc), "abc");
}

#endif

}  // namespace
