// Window classes, window creation and destruction, the window tree and
// window data.
#include <windows.h>

#include <cstring>
#include <set>

#include "user_test_window.h"

namespace {

using user_test::kClassName;
using user_test::Received;
using user_test::WindowTest;

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST(UserClassTest, RegistersOnceAndReportsItsInformation) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS | CS_HREDRAW;
  wc.lpfnWndProc = PlainProc;
  wc.cbWndExtra = 2 * sizeof(LONG_PTR);
  wc.hInstance = user_test::Instance();
  wc.lpszClassName = "MirelUserTestClassInfo";
  ATOM atom = RegisterClassExA(&wc);
  ASSERT_NE(atom, 0);

  SetLastError(0);
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
  wc.lpszClassName = "mireluserTESTclassinfo";  // class names ignore case
  EXPECT_EQ(RegisterClassExA(&wc), 0);

  WNDCLASSA info = {};
  ASSERT_TRUE(GetClassInfoA(user_test::Instance(), "MirelUserTestClassInfo", &info));
  EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS | CS_HREDRAW));
  EXPECT_EQ(info.lpfnWndProc, &PlainProc);
  EXPECT_EQ(info.cbWndExtra, static_cast<int>(2 * sizeof(LONG_PTR)));

  // A window can be made from the atom as well as from the name.
  HWND w = CreateWindowExA(0, MAKEINTATOM(atom), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           user_test::Instance(), nullptr);
  ASSERT_NE(w, nullptr);
  char name[64] = {};
  EXPECT_EQ(GetClassNameA(w, name, sizeof(name)), static_cast<int>(std::strlen("MirelUserTestClassInfo")));
  EXPECT_STREQ(name, "MirelUserTestClassInfo");
  EXPECT_EQ(GetClassNameA(w, name, 6), 5);  // truncated, still terminated
  EXPECT_STREQ(name, "Mirel");

  EXPECT_FALSE(UnregisterClassA("MirelUserTestClassInfo", user_test::Instance()));  // a window still uses it
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClassA("MirelUserTestClassInfo", user_test::Instance()));
  EXPECT_FALSE(GetClassInfoA(user_test::Instance(), "MirelUserTestClassInfo", &info));
}

TEST(UserClassTest, UnknownClassCreatesNoWindow) {
  SetLastError(0);
  EXPECT_EQ(CreateWindowExA(0, "MirelNoSuchClass", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            user_test::Instance(), nullptr),
            nullptr);
  EXPECT_NE(GetLastError(), 0u);
}

class UserWindowTest : public WindowTest {};

TEST_F(UserWindowTest, CreationSendsNcCreateThenCreateThenSizeWithTheCreateParams) {
  HWND parent = CreateTopLevel();
  ASSERT_NE(parent, nullptr);
  rec().Clear();
  int marker = 0;
  HWND child = CreateChild(parent, 7, 10, 20, 100, 50, WS_VISIBLE, kClassName, &marker);
  ASSERT_NE(child, nullptr);

  ASSERT_FALSE(rec().log.empty());
  const Received& first = rec().log.front();
  EXPECT_EQ(first.msg, static_cast<UINT>(WM_NCCREATE));
  EXPECT_EQ(first.hwnd, child);
  EXPECT_EQ(first.createParams, &marker);
  EXPECT_EQ(rec().MessagesOf(child, {WM_NCCREATE, WM_CREATE, WM_SIZE}),
            (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE}));
  auto create = rec().Find(child, WM_CREATE);
  ASSERT_EQ(create.size(), 1u);
  EXPECT_EQ(create[0].createParams, &marker);
  auto size = rec().Find(child, WM_SIZE);
  ASSERT_EQ(size.size(), 1u);
  EXPECT_EQ(size[0].wParam, static_cast<WPARAM>(SIZE_RESTORED));
  EXPECT_EQ(LOWORD(size[0].lParam), 100);
  EXPECT_EQ(HIWORD(size[0].lParam), 50);
  // The parent hears about its new child after WM_CREATE.
  auto notify = rec().Find(parent, WM_PARENTNOTIFY);
  ASSERT_EQ(notify.size(), 1u);
  EXPECT_EQ(LOWORD(notify[0].wParam), WM_CREATE);
  EXPECT_EQ(HIWORD(notify[0].wParam), 7);
  EXPECT_EQ(reinterpret_cast<HWND>(notify[0].lParam), child);
  EXPECT_EQ(GetParent(child), parent);
}

TEST_F(UserWindowTest, NcCreateReturningFalseAbortsWithNcDestroy) {
  HWND parent = CreateTopLevel();
  HWND refused = nullptr;
  rec().handler = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_NCCREATE && h != parent) {
      refused = h;
      return FALSE;
    }
    return std::nullopt;
  };
  rec().Clear();
  EXPECT_EQ(CreateChild(parent, 1, 0, 0, 10, 10), nullptr);
  ASSERT_NE(refused, nullptr);
  EXPECT_EQ(rec().MessagesOf(refused, {WM_NCCREATE, WM_CREATE, WM_NCDESTROY}),
            (std::vector<UINT>{WM_NCCREATE, WM_NCDESTROY}));
  EXPECT_FALSE(IsWindow(refused));
  EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
}

TEST_F(UserWindowTest, CreateReturningMinusOneAbortsWithNcDestroy) {
  HWND parent = CreateTopLevel();
  HWND refused = nullptr;
  rec().handler = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_CREATE && h != parent) {
      refused = h;
      return -1;
    }
    return std::nullopt;
  };
  EXPECT_EQ(CreateChild(parent, 1, 0, 0, 10, 10), nullptr);
  ASSERT_NE(refused, nullptr);
  std::vector<UINT> seen = rec().MessagesOf(refused, {WM_CREATE, WM_SIZE, WM_NCDESTROY});
  EXPECT_EQ(seen, (std::vector<UINT>{WM_CREATE, WM_NCDESTROY}));
  EXPECT_FALSE(IsWindow(refused));
}

TEST_F(UserWindowTest, DestroySendsDestroyParentFirstAndNcDestroyChildFirst) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 100, 100);
  HWND grandchild = CreateChild(child, 2, 0, 0, 50, 50);
  rec().watchedChild = grandchild;
  rec().Clear();
  ASSERT_TRUE(DestroyWindow(parent));

  EXPECT_EQ(rec().WindowsReceiving(WM_DESTROY), (std::vector<HWND>{parent, child, grandchild}));
  EXPECT_EQ(rec().WindowsReceiving(WM_NCDESTROY), (std::vector<HWND>{grandchild, child, parent}));
  // While WM_DESTROY runs, the children still exist.
  auto destroy = rec().Find(parent, WM_DESTROY);
  ASSERT_EQ(destroy.size(), 1u);
  EXPECT_TRUE(destroy[0].childAlive);
  for (HWND h : {parent, child, grandchild}) {
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(PostMessageA(h, WM_APP, 0, 0));
    EXPECT_EQ(SendMessageA(h, WM_GETTEXTLENGTH, 0, 0), 0);
  }
}

TEST_F(UserWindowTest, ChildDestroyedDuringParentDestroyIsDestroyedOnce) {
  HWND parent = CreateTopLevel();
  HWND child = CreateChild(parent, 1, 0, 0, 10, 10);
  rec().handler = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_DESTROY && h == parent) DestroyWindow(child);
    return std::nullopt;
  };
  rec().Clear();
  DestroyWindow(parent);
  EXPECT_EQ(rec().MessagesOf(child, {WM_DESTROY, WM_NCDESTROY}),
            (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsWindow(parent));
}

TEST_F(UserWindowTest, ControlIdsFindTheDirectChildren) {
  HWND parent = CreateTopLevel();
  HWND a = CreateChild(parent, 101, 0, 0, 10, 10);
  HWND b = CreateChild(parent, 102, 0, 10, 10, 10);
  HWND inner = CreateChild(a, 103, 0, 0, 5, 5);
  EXPECT_EQ(GetDlgCtrlID(a), 101);
  EXPECT_EQ(GetDlgCtrlID(b), 102);
  EXPECT_EQ(GetWindowLongA(b, GWL_ID), 102);
  EXPECT_EQ(GetDlgItem(parent, 102), b);
  EXPECT_EQ(GetDlgItem(parent, 103), nullptr);  // grandchildren are not searched
  EXPECT_EQ(GetDlgItem(a, 103), inner);
  // Children are kept in creation order.
  EXPECT_EQ(GetWindow(parent, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), nullptr);
  EXPECT_TRUE(IsChild(parent, inner));
  EXPECT_FALSE(IsChild(b, inner));
  EXPECT_EQ(GetAncestor(inner, GA_ROOT), parent);

  SetWindowLongA(b, GWL_ID, 555);
  EXPECT_EQ(GetDlgItem(parent, 555), b);
}

TEST_F(UserWindowTest, WindowDataAndTextRoundTrip) {
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  int data = 0;
  SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&data));
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&data));
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w, GWLP_WNDPROC)), &user_test::Recorder::Proc);

  LONG style = GetWindowLongA(w, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  SetWindowLongA(w, GWL_STYLE, style | WS_CLIPCHILDREN);
  EXPECT_TRUE(GetWindowLongA(w, GWL_STYLE) & WS_CLIPCHILDREN);
  EXPECT_EQ(rec().MessagesOf(w, {WM_STYLECHANGING, WM_STYLECHANGED}),
            (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));

  EXPECT_TRUE(SetWindowTextA(w, "Mirel text"));
  EXPECT_EQ(GetWindowTextLengthA(w), 10);
  char buf[6] = {};
  EXPECT_EQ(GetWindowTextA(w, buf, sizeof(buf)), 5);
  EXPECT_STREQ(buf, "Mirel");
  char full[32] = {};
  EXPECT_EQ(GetWindowTextA(w, full, sizeof(full)), 10);
  EXPECT_STREQ(full, "Mirel text");
}

TEST_F(UserWindowTest, SubclassingReplacesTheProcedureAndChainsToTheOldOne) {
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  static WNDPROC previous = nullptr;
  static int seen = 0;
  seen = 0;
  struct Sub {
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
      if (m == WM_APP + 3) {
        ++seen;
        return 77;
      }
      return CallWindowProcA(previous, h, m, wp, lp);
    }
  };
  previous =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Sub::Proc)));
  EXPECT_EQ(previous, &user_test::Recorder::Proc);
  EXPECT_EQ(SendMessageA(w, WM_APP + 3, 0, 0), 77);
  EXPECT_EQ(seen, 1);
  rec().Clear();
  SendMessageA(w, WM_APP + 4, 1, 2);  // goes on to the recorder
  EXPECT_EQ(rec().MessagesOf(w, {WM_APP + 4}), (std::vector<UINT>{WM_APP + 4}));
}

TEST_F(UserWindowTest, ExtraWindowBytesHoldAPointer) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = PlainProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = user_test::Instance();
  wc.lpszClassName = "MirelUserTestExtra";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, "MirelUserTestExtra", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           user_test::Instance(), nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(GetWindowLongPtrA(w, 0), 0);  // starts zeroed
  int data = 0;
  SetWindowLongPtrA(w, 0, reinterpret_cast<LONG_PTR>(&data));
  EXPECT_EQ(GetWindowLongPtrA(w, 0), reinterpret_cast<LONG_PTR>(&data));
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtrA(w, 1), 0);  // would read past the extra bytes
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  DestroyWindow(w);
  UnregisterClassA("MirelUserTestExtra", user_test::Instance());
}

TEST_F(UserWindowTest, CloseDestroysByDefault) {
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  SendMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(UserWindowTest, HandlesOfDestroyedWindowsAreNotHandedOutAgain) {
  MIREL_REQUIRE_STANDIN();
  std::set<HWND> seen;
  for (int i = 0; i < 200; ++i) {
    HWND w = CreateTopLevel(0, 0, 10, 10, 0);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(seen.insert(w).second);
    DestroyWindow(w);
  }
}

#ifndef _WIN32
TEST_F(UserWindowTest, RecycledHandleReachesOnlyTheNewWindow) {
  HWND old = CreateTopLevel(0, 0, 10, 10, 0);
  int oldData = 1;
  SetWindowLongPtrA(old, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&oldData));
  DestroyWindow(old);
  // The stale handle reaches nothing.
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(GetWindowLongPtrA(old, GWLP_USERDATA), 0);
  EXPECT_FALSE(SetWindowTextA(old, "x"));

  MrwTestRecycleNextHandle(old);
  HWND fresh = CreateTopLevel(0, 0, 10, 10, 0);
  ASSERT_EQ(fresh, old);
  EXPECT_EQ(GetWindowLongPtrA(fresh, GWLP_USERDATA), 0);  // nothing of the old window survives
  rec().Clear();
  SendMessageA(old, WM_APP, 0, 0);
  EXPECT_EQ(rec().MessagesOf(fresh, {WM_APP}), (std::vector<UINT>{WM_APP}));
}
#endif

}  // namespace
