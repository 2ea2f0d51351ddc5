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

class RegistryHost : public WindowTest {};

TEST_F(RegistryHost, NotifyParentSendsCommandWithTheFirstWindowsIdentifier) {
  CMirelDoc doc;
  CallLog log;
  TestEdit first(&doc, &log, "first", CreateChild(0x1234));
  TestEdit second(&doc, &log, "second", CreateChild(0x5678));
  doc.RegisterEdit(&first.edit);
  doc.RegisterEdit(&second.edit);
  doc.pActiveMirel = &second.edit;  // the active window does not matter

  doc.NotifyParent(4);
  const auto commands = Received(hParent, WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(LOWORD(commands[0].wParam), 0x1234);
  EXPECT_EQ(HIWORD(commands[0].wParam), 4);
  EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(first.edit.hWndEdit));
}

TEST_F(RegistryHost, NotifyParentSendsNothingWithoutALiveWindow) {
  CMirelDoc doc;
  CallLog log;
  doc.NotifyParent(1);  // no window at all
  EXPECT_TRUE(Received(hParent, WM_COMMAND).empty());

  TestEdit e(&doc, &log, "e", CreateChild(7));
  doc.RegisterEdit(&e.edit);
  // The window went without its edit object hearing of it: the stale handle
  // must not be used.
  ASSERT_TRUE(DestroyWindow(e.edit.hWndEdit));
  doc.NotifyParent(1);
  EXPECT_TRUE(Received(hParent, WM_COMMAND).empty());
}

TEST_F(RegistryHost, MessagesGoToEveryWindowInRegistrationOrder) {
  CMirelDoc doc;
  CallLog log;
  TestEdit a(&doc, &log, "a", CreateChild(1));
  TestEdit b(&doc, &log, "b", CreateChild(2));
  TestEdit c(&doc, &log, "c", CreateChild(3));
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
  CMirelDoc doc;
  CallLog log;
  TestEdit a(&doc, &log, "a", CreateChild(1));
  TestEdit b(&doc, &log, "b", CreateChild(2));
  TestEdit c(&doc, &log, "c", CreateChild(3));
  doc.RegisterEdit(&a.edit);
  doc.RegisterEdit(&b.edit);
  doc.RegisterEdit(&c.edit);
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
class RegistryPaste : public WindowTest {
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
    WindowTest::TearDown();
  }
};

TEST_F(RegistryPaste, TextOrTheControlsOwnFormatCanBePastedAndNothingElse) {
  CMirelDoc doc;
  CallLog log;
  TestEdit e(&doc, &log, "e", CreateChild(1));
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
