// A control that the host destroys from inside one of its own notifications
// (its WM_COMMAND handler calls DestroyWindow or Mirel_Destroy): the library
// is still inside the control then, so its objects outlive the frames that
// use them and are freed the moment the library hands control back to the
// host. The host makes no further call; natively the leak checker also sees
// what was not freed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "control_host.h"
#include "export_calls.h"
#include "mirel/mrlibraryframe.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

constexpr UINT kRedo = WM_USER + 100;

enum class Destroyer { kDestroyWindow, kDestroyParent, kMirelDestroy };

struct Action {
  const char* name;
  WORD wCode;                       // the notification it sends
  std::function<void(HWND)> setUp;  // before the host listens
  std::function<void(HWND)> act;
};

void Type(HWND h, char ch) {
  SendMessageA(h, WM_CHAR, static_cast<BYTE>(ch), 1);
}

void Key(HWND h, UINT vk) {
  SendMessageA(h, WM_KEYDOWN, vk, 1);
}

// An edit that the modified flag does not know of yet: undoing it notifies.
void EditThenMarkSaved(HWND h) {
  ASSERT_EQ(Mirel_InsertA(h, "x", 1, TRUE), 1);
  Mirel_SetModified(h, FALSE);
}

void UndoThenMarkSaved(HWND h) {
  ASSERT_EQ(Mirel_InsertA(h, "x", 1, TRUE), 1);
  SendMessageA(h, WM_UNDO, 0, 0);
  Mirel_SetModified(h, FALSE);
}

void ToHexView(HWND h) {
  Mirel_SetViewType(h, MIREL_VIEW_TYPE_HEX);
}

const Action kActions[] = {
    {"typing", 1, nullptr, [](HWND h) { Type(h, 'a'); }},
    {"Mirel_InsertA", 1, nullptr, [](HWND h) { Mirel_InsertA(h, "y", 1, TRUE); }},
    {"WM_UNDO", 1, EditThenMarkSaved, [](HWND h) { SendMessageA(h, WM_UNDO, 0, 0); }},
    {"redo", 1, UndoThenMarkSaved, [](HWND h) { SendMessageA(h, kRedo, 0, 0); }},
    {"Mirel_SetModified", 1, nullptr, [](HWND h) { Mirel_SetModified(h, TRUE); }},
    {"double click", 5, nullptr,
     [](HWND h) { SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 5)); }},
    {"Escape", 4, nullptr, [](HWND h) { Key(h, VK_ESCAPE); }},
    {"Insert", 3, nullptr, [](HWND h) { Key(h, VK_INSERT); }},
    {"hex typing", 1, ToHexView, [](HWND h) { Type(h, '4'); }},
    {"hex Escape", 4, ToHexView, [](HWND h) { Key(h, VK_ESCAPE); }},
};

const char* NameOf(Destroyer d) {
  switch (d) {
    case Destroyer::kDestroyWindow:
      return "DestroyWindow(control)";
    case Destroyer::kDestroyParent:
      return "DestroyWindow(parent)";
    default:
      return "Mirel_Destroy";
  }
}

TEST(DestroyFromNotification, TheControlIsFreedWhenTheLibraryReturnsToTheHost) {
  for (const Action& a : kActions) {
    for (Destroyer d : {Destroyer::kDestroyWindow, Destroyer::kDestroyParent, Destroyer::kMirelDestroy}) {
      SCOPED_TRACE(std::string(a.name) + ", " + NameOf(d));
      const int nPairs = g_RegHelper.GetCount();
      mirel_test::ControlHost host;
      ASSERT_NE(host.hWnd(), nullptr);
      HWND hCtrl = Mirel_Create(host.hWnd(), 21, 0, 0, 200, 100, 0, WS_CHILD | WS_VISIBLE);
      ASSERT_NE(hCtrl, nullptr);
      ASSERT_EQ(Mirel_NewFile(hCtrl), 1);
      ASSERT_EQ(Mirel_InsertA(hCtrl, "word text", 9, FALSE), 1);
      Mirel_SetModified(hCtrl, FALSE);
      Mirel_SetSel(hCtrl, 2, 2, FALSE);
      if (a.setUp) a.setUp(hCtrl);
      int nPendingInside = -1;
      host.onCommand = [&](const mirel_test::CommandRecord& r) {
        if (r.wCode != a.wCode || r.hWndFrom != hCtrl || !IsWindow(hCtrl)) return;
        if (d == Destroyer::kMirelDestroy) {
          Mirel_Destroy(hCtrl);
        } else {
          DestroyWindow(d == Destroyer::kDestroyParent ? host.hWnd() : hCtrl);
        }
        // The library frames below this handler still use the objects.
        nPendingInside = MrIdleFreesPending();
      };
      a.act(hCtrl);
      ASSERT_FALSE(IsWindow(hCtrl));
      EXPECT_EQ(nPendingInside, 1);
      EXPECT_EQ(MrIdleFreesPending(), 0);
      EXPECT_EQ(g_RegHelper.GetCount(), nPairs);
      host.onCommand = nullptr;
    }
  }
}

TEST(DestroyFromNotification, ANestedChainFreesBothControlsWhenTheOutermostCallReturns) {
  // Typing in the first control notifies the host, whose handler types into
  // the second; the second's notification destroys both.
  mirel_test::ControlHost host;
  ASSERT_NE(host.hWnd(), nullptr);
  HWND hFirst = Mirel_Create(host.hWnd(), 31, 0, 0, 200, 100, 0, WS_CHILD);
  HWND hSecond = Mirel_Create(host.hWnd(), 32, 0, 100, 200, 100, 0, WS_CHILD);
  ASSERT_NE(hFirst, nullptr);
  ASSERT_NE(hSecond, nullptr);
  ASSERT_EQ(Mirel_NewFile(hFirst), 1);
  ASSERT_EQ(Mirel_NewFile(hSecond), 1);
  int nPendingInside = -1;
  host.onCommand = [&](const mirel_test::CommandRecord& r) {
    if (r.hWndFrom == hFirst && IsWindow(hSecond)) {
      Type(hSecond, 'b');
    } else if (r.hWndFrom == hSecond && IsWindow(hSecond)) {
      Mirel_Destroy(hSecond);
      DestroyWindow(hFirst);
      nPendingInside = MrIdleFreesPending();
    }
  };
  Type(hFirst, 'a');
  host.onCommand = nullptr;
  EXPECT_FALSE(IsWindow(hFirst));
  EXPECT_FALSE(IsWindow(hSecond));
  EXPECT_EQ(nPendingInside, 2);
  EXPECT_EQ(MrIdleFreesPending(), 0);
}

TEST(DestroyFromNotification, EveryExportFreesAControlDestroyedFromItsNotifications) {
  // Whatever an export does, a notification it sends may destroy the
  // control: the export must not touch the objects afterwards, and they go
  // when it returns.
  int nDestroyed = 0;
  for (const mirel_test::ExportCall& e : mirel_test::HandleExports()) {
    SCOPED_TRACE(e.name);
    mirel_test::ControlHost host;
    ASSERT_NE(host.hWnd(), nullptr);
    HWND hCtrl = Mirel_Create(host.hWnd(), 41, 0, 0, 200, 100, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(hCtrl, nullptr);
    ASSERT_EQ(Mirel_NewFile(hCtrl), 1);
    const char* text = "ab cd\r\nef\tgh\r\n";
    ASSERT_EQ(Mirel_InsertA(hCtrl, text, static_cast<int>(std::strlen(text)), TRUE), 1);
    Mirel_SetModified(hCtrl, FALSE);
    Mirel_SetSel(hCtrl, 1, 4, FALSE);
    host.onCommand = [hCtrl](const mirel_test::CommandRecord& r) {
      if (r.hWndFrom == hCtrl && IsWindow(hCtrl)) DestroyWindow(hCtrl);
    };
    e.call(hCtrl);
    host.onCommand = nullptr;
    EXPECT_EQ(MrIdleFreesPending(), 0);
    if (IsWindow(hCtrl)) {
      Mirel_Destroy(hCtrl);
    } else {
      ++nDestroyed;
    }
  }
  // The edits among the exports notify (the modified state changes).
  EXPECT_GE(nDestroyed, 15);
}

}  // namespace
