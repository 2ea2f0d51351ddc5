// Sending and posting, the message queue, keyboard translation and timers.
#include <windows.h>

#include "user_test_window.h"

namespace {

using user_test::Pump;
using user_test::WindowTest;

class UserMessagesTest : public WindowTest {};

TEST_F(UserMessagesTest, SendMessageCallsTheProcedureAtOnce) {
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  rec().handler = [&](HWND, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg == WM_APP) return static_cast<LRESULT>(wParam + static_cast<WPARAM>(lParam));
    return std::nullopt;
  };
  EXPECT_EQ(SendMessageA(w, WM_APP, 40, 2), 42);
}

TEST_F(UserMessagesTest, PostedMessagesComeOutInOrder) {
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  ASSERT_TRUE(PostMessageA(w, WM_APP + 1, 1, 10));
  ASSERT_TRUE(PostMessageA(w, WM_APP + 2, 2, 20));
  ASSERT_TRUE(PostMessageA(w, WM_APP + 3, 3, 30));

  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, w, WM_APP, WM_APP + 10, PM_NOREMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_APP + 1));
  ASSERT_TRUE(PeekMessageA(&m, w, WM_APP, WM_APP + 10, PM_NOREMOVE));  // still there
  EXPECT_EQ(m.message, static_cast<UINT>(WM_APP + 1));

  // A range filter skips earlier messages without losing them.
  ASSERT_TRUE(PeekMessageA(&m, w, WM_APP + 2, WM_APP + 2, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_APP + 2));
  EXPECT_EQ(m.hwnd, w);
  EXPECT_EQ(m.wParam, 2u);
  EXPECT_EQ(m.lParam, 20);

  ASSERT_TRUE(GetMessageA(&m, w, WM_APP, WM_APP + 10));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_APP + 1));
  ASSERT_TRUE(GetMessageA(&m, w, WM_APP, WM_APP + 10));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_APP + 3));
  EXPECT_FALSE(PeekMessageA(&m, w, WM_APP, WM_APP + 10, PM_REMOVE));
}

TEST_F(UserMessagesTest, QuitEndsTheLoopAfterThePostedMessages) {
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  PostMessageA(w, WM_APP, 0, 0);
  PostQuitMessage(7);
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_APP));
  EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 7u);
}

TEST_F(UserMessagesTest, PaintComesAfterPostedMessages) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 50, 50);
  Settle();
  InvalidateRect(child, nullptr, FALSE);
  PostMessageA(child, WM_APP, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, child, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_APP));
  ASSERT_TRUE(PeekMessageA(&m, child, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  EXPECT_EQ(m.hwnd, child);
  // WM_PAINT stays until the window is validated.
  ASSERT_TRUE(PeekMessageA(&m, child, WM_PAINT, WM_PAINT, PM_REMOVE));
  DispatchMessageA(&m);
  EXPECT_FALSE(PeekMessageA(&m, child, WM_PAINT, WM_PAINT, PM_REMOVE));
}

TEST_F(UserMessagesTest, TranslateMessagePostsTheCharacterOfTheKey) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 50, 50);
  Settle();
  PostMessageA(child, WM_KEYDOWN, 'A', 0x001E0001);  // scan code of A, one repeat
  PostMessageA(child, WM_APP, 0, 0);
  Pump();
  // The character is posted: it queues up behind what was already waiting.
  std::vector<UINT> seen = rec().MessagesOf(child, {WM_KEYDOWN, WM_CHAR, WM_APP});
  EXPECT_EQ(seen, (std::vector<UINT>{WM_KEYDOWN, WM_APP, WM_CHAR}));
  auto ch = rec().Find(child, WM_CHAR);
  ASSERT_EQ(ch.size(), 1u);
  EXPECT_EQ(ch[0].wParam, static_cast<WPARAM>('a'));
  EXPECT_EQ(ch[0].lParam, 0x001E0001);
}

TEST_F(UserMessagesTest, TranslateMessageHonoursShiftAndControl) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  MrwTestSetKeyDown(VK_SHIFT, TRUE);
  PostMessageA(w, WM_KEYDOWN, '1', 0);
  Pump();
  MrwTestSetKeyDown(VK_SHIFT, FALSE);
  MrwTestSetKeyDown(VK_LCONTROL, TRUE);
  EXPECT_LT(GetKeyState(VK_CONTROL), 0);
  PostMessageA(w, WM_KEYDOWN, 'C', 0);
  Pump();
  MrwTestResetKeyState();
  auto ch = rec().Find(w, WM_CHAR);
  ASSERT_EQ(ch.size(), 2u);
  EXPECT_EQ(ch[0].wParam, static_cast<WPARAM>('!'));
  EXPECT_EQ(ch[1].wParam, 3u);  // Ctrl+C
#endif
}

#ifndef _WIN32
TEST_F(UserMessagesTest, TimersFireWhenTheVirtualClockReachesThem) {
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  MrwTestDiscardMessages();
  ASSERT_EQ(SetTimer(w, 5, 100, nullptr), 5u);
  MrwTestAdvanceClock(99);
  Pump();
  EXPECT_TRUE(rec().Find(w, WM_TIMER).empty());
  MrwTestAdvanceClock(1);
  Pump();
  auto fired = rec().Find(w, WM_TIMER);
  ASSERT_EQ(fired.size(), 1u);
  EXPECT_EQ(fired[0].wParam, 5u);
  // Several missed periods give one message, not a backlog.
  rec().Clear();
  MrwTestAdvanceClock(450);
  Pump();
  EXPECT_EQ(rec().Find(w, WM_TIMER).size(), 1u);
  ASSERT_TRUE(KillTimer(w, 5));
  EXPECT_FALSE(KillTimer(w, 5));
  rec().Clear();
  MrwTestAdvanceClock(1000);
  Pump();
  EXPECT_TRUE(rec().Find(w, WM_TIMER).empty());
}

TEST_F(UserMessagesTest, TimerCallbacksAndDestroyedWindowsTimers) {
  static int calls = 0;
  static UINT_PTR lastId = 0;
  calls = 0;
  struct Callback {
    static void CALLBACK Proc(HWND, UINT msg, UINT_PTR id, DWORD) {
      if (msg == WM_TIMER) ++calls;
      lastId = id;
    }
  };
  UINT_PTR id = SetTimer(nullptr, 0, 50, &Callback::Proc);
  ASSERT_NE(id, 0u);
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  SetTimer(w, 1, 50, nullptr);
  DestroyWindow(w);  // takes its timer along
  MrwTestAdvanceClock(50);
  Pump();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(lastId, id);
  EXPECT_TRUE(rec().Find(w, WM_TIMER).empty());
  KillTimer(nullptr, id);

  // A forged WM_TIMER cannot make DispatchMessage call an arbitrary address.
  MSG forged = {nullptr, WM_TIMER, 99, reinterpret_cast<LPARAM>(&Callback::Proc), 0, {0, 0}};
  DispatchMessageA(&forged);
  EXPECT_EQ(calls, 1);
}

TEST_F(UserMessagesTest, GetMessageWaitsForTheNextTimer) {
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  MrwTestDiscardMessages();
  DWORD start = MrwTestTimerClock();
  SetTimer(w, 1, 300, nullptr);
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, w, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
  EXPECT_EQ(MrwTestTimerClock() - start, 300u);
  KillTimer(w, 1);
}
#endif

TEST_F(UserMessagesTest, InvalidWindowsAreRefused) {
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  DestroyWindow(w);
  SetLastError(0);
  EXPECT_FALSE(PostMessageA(w, WM_APP, 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  MSG m;
  EXPECT_EQ(GetMessageA(&m, w, 0, 0), -1);
  EXPECT_EQ(SetTimer(w, 1, 10, nullptr), 0u);
}

TEST_F(UserMessagesTest, RegisteredMessagesAreStable) {
  UINT a = RegisterWindowMessageA("MirelUserTestMessage");
  EXPECT_GE(a, 0xC000u);
  EXPECT_EQ(RegisterWindowMessageA("mireluserTESTmessage"), a);
  EXPECT_NE(RegisterWindowMessageA("MirelUserTestMessage2"), a);
}

}  // namespace
