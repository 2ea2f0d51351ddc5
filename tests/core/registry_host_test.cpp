// What the document sends beyond its views: notifications to the host
// window, messages to every edit window, the paste check on the clipboard
// and the wait cursor of long operations.
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "mirel/cmrwaitcursor.h"
#include "registry_test_util.h"

using namespace mirel_registry_test;

namespace {

constexpr UINT kTestMessage = WM_USER + 77;

class RegistryHost : public EditsTest {};

TEST_F(RegistryHost, NotifyParentSendsCommandWithTheFirstWindowsIdentifier) {
  TestEdit& first = AddEdit("first", 0x1234);
  TestEdit& second = AddEdit("second", 0x5678);
  doc.pActiveMirel = &second.edit;  // the active window does not matter

  doc.NotifyParent(4);
  const auto commands = Received(hParent, WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(LOWORD(commands[0].wParam), 0x1234);
  EXPECT_EQ(HIWORD(commands[0].wParam), 4);
  EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(first.edit.hWndEdit));
}

TEST_F(RegistryHost, NotifyParentSendsNothingWithoutALiveWindow) {
  doc.NotifyParent(1);  // no window at all
  EXPECT_TRUE(Received(hParent, WM_COMMAND).empty());

  TestEdit& e = AddEdit("e", 7);
  // The window went without its edit object hearing of it: the stale handle
  // must not be used.
  ASSERT_TRUE(DestroyWindow(e.edit.hWndEdit));
  doc.NotifyParent(1);
  EXPECT_TRUE(Received(hParent, WM_COMMAND).empty());
}

TEST_F(RegistryHost, MessagesGoToEveryWindowInRegistrationOrder) {
  TestEdit& a = AddEdit("a", 1, WS_CHILD | WS_VISIBLE, false);
  TestEdit& b = AddEdit("b", 2, WS_CHILD | WS_VISIBLE, false);
  TestEdit& c = AddEdit("c", 3, WS_CHILD | WS_VISIBLE, false);
  doc.RegisterEdit(&c.edit);
  doc.RegisterEdit(&a.edit);
  doc.RegisterEdit(&b.edit);

  doc.SendMessageToEdits(kTestMessage, 11, 22);
  const auto& messages = MessageRecorder::Get().messages;
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].hWnd, c.edit.hWndEdit);
  EXPECT_EQ(messages[1].hWnd, a.edit.hWndEdit);
  EXPECT_EQ(messages[2].hWnd, b.edit.hWndEdit);
  for (const WindowMessage& m : messages) {
    EXPECT_EQ(m.uMsg, kTestMessage);
    EXPECT_EQ(m.wParam, 11u);
    EXPECT_EQ(m.lParam, 22);
  }
}

TEST_F(RegistryHost, AWindowDestroyedWhileMessagesGoOutGetsNone) {
  TestEdit& a = AddEdit("a", 1);
  TestEdit& b = AddEdit("b", 2);
  TestEdit& c = AddEdit("c", 3);
  MessageRecorder& recorder = MessageRecorder::Get();
  recorder.hDestroyOnMessageTo = a.edit.hWndEdit;
  recorder.uDestroyOnMessage = kTestMessage;
  recorder.hDestroyTarget = b.edit.hWndEdit;
  HWND hB = b.edit.hWndEdit;

  doc.SendMessageToEdits(kTestMessage, 0, 0);
  EXPECT_EQ(Received(a.edit.hWndEdit, kTestMessage).size(), 1u);
  EXPECT_TRUE(Received(hB, kTestMessage).empty());
  EXPECT_EQ(Received(c.edit.hWndEdit, kTestMessage).size(), 1u);
}

// The clipboard is shared with everything else on the desktop: each test
// puts what it needs there and empties it again.
class RegistryPaste : public EditsTest {
 protected:
  void Put(UINT uFormat, const void* pData, size_t nSize) {
    ASSERT_TRUE(OpenClipboard(hParent));
    EmptyClipboard();
    if (pData != nullptr) {
      HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, nSize);
      ASSERT_NE(h, nullptr);
      std::memcpy(GlobalLock(h), pData, nSize);
      GlobalUnlock(h);
      ASSERT_NE(SetClipboardData(uFormat, h), nullptr);
    }
    CloseClipboard();
  }
  void TearDown() override {
    Put(0, nullptr, 0);
    EditsTest::TearDown();
  }
};

TEST_F(RegistryPaste, TextOrTheControlsOwnFormatCanBePastedAndNothingElse) {
  TestEdit& e = AddEdit("e", 1, WS_CHILD | WS_VISIBLE, false);
  EXPECT_FALSE(doc.CanPaste());  // no active window yet
  doc.RegisterEdit(&e.edit);
  ASSERT_NE(e.edit.uBinaryFormat, 0u);

  Put(0, nullptr, 0);
  EXPECT_FALSE(doc.CanPaste());

  Put(CF_TEXT, "abc", 4);
  EXPECT_TRUE(doc.CanPaste());

  const WCHAR wide[] = {'x', 0};
  Put(CF_UNICODETEXT, wide, sizeof(wide));
  EXPECT_TRUE(doc.CanPaste());

  const BYTE binary[] = {2, 0, 0, 0, 0x00, 0xFF};
  Put(e.edit.uBinaryFormat, binary, sizeof(binary));
  EXPECT_TRUE(doc.CanPaste());

  const UINT uOther = RegisterClipboardFormatA("MirelRegistryTestOtherFormat");
  Put(uOther, binary, sizeof(binary));
  EXPECT_FALSE(doc.CanPaste());
}

TEST(RegistryWaitCursor, ShowsTheWaitCursorForItsScopeAndRestoresTheOldOne) {
  HCURSOR hArrow = LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR hWait = LoadCursorA(nullptr, IDC_WAIT);
  ASSERT_NE(hArrow, hWait);
  SetCursor(hArrow);
  {
    CMrWaitCursor wait;
    EXPECT_EQ(GetCursor(), hWait);
    {
      CMrWaitCursor nested;
      EXPECT_EQ(GetCursor(), hWait);
    }
    EXPECT_EQ(GetCursor(), hWait);
  }
  EXPECT_EQ(GetCursor(), hArrow);
}

}  // namespace
