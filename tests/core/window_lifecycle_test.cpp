// The control class and the life of an edit window: registration of the
// class, binding on creation, the order of creation messages, destruction
// dropping every trace of the window, recycled handle values, and the window
// table's growth.
#include <windows.h>

#include <gtest/gtest.h>

#include "mirel/cmirelviewhex.h"
#include "mirel/cmirelviewtext.h"
#include "mirel/mirel.h"
#include "window_test_util.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

using namespace mirel_window_test;

namespace {

using WindowLifecycle = WindowFixture;

TEST_F(WindowLifecycle, ClassIsRegisteredForTheHostModuleWithIBeamAndNoBackground) {
  WNDCLASSA wc{};
  ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "__MIREL_CONTROL_4__", &wc));
  EXPECT_EQ(wc.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC));
  EXPECT_EQ(wc.style, 0x2Bu);
  EXPECT_EQ(wc.lpfnWndProc, &MirelControlWndProc);
  EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_IBEAM));
  EXPECT_EQ(wc.hbrBackground, nullptr);
}

TEST_F(WindowLifecycle, CreationBindsTheObjectAndKeepsTheIdentifier) {
  Edit& e = NewEdit(false);
  HWND h = CreateEditWindow(e, 1234);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(Registrar().Lookup(h), &e.edit);
  EXPECT_EQ(e.edit.hWndEdit, h);
  EXPECT_EQ(GetDlgCtrlID(h), 1234);
  EXPECT_EQ(GetParent(h), hParent);
  EXPECT_EQ(e.edit.bInSplitter, 0);
  char szClass[64] = {0};
  GetClassNameA(h, szClass, sizeof(szClass));
  EXPECT_STREQ(szClass, "__MIREL_CONTROL_4__");
  // Creation makes the text view (the document's type); each view is made
  // once and kept across switches.
  ASSERT_NE(e.edit.pView, nullptr);
  EXPECT_EQ(e.edit.pView, e.edit.pViewText);
  EXPECT_EQ(e.edit.pView->nViewType, MIREL_VIEW_TYPE_TEXT);
  EXPECT_EQ(e.edit.pView->pMirel, &e.edit);
  EXPECT_EQ(e.edit.pView->pdoc, &doc);
  EXPECT_EQ(e.edit.CreateView(MIREL_VIEW_TYPE_TEXT), e.edit.pView);
  CMirelView* pText = e.edit.pViewText;
  CMirelView* pHex = e.edit.CreateView(MIREL_VIEW_TYPE_HEX);
  ASSERT_NE(pHex, nullptr);
  EXPECT_EQ(pHex, e.edit.pViewHex);
  EXPECT_EQ(e.edit.pView, pHex);
  EXPECT_EQ(pHex->nViewType, MIREL_VIEW_TYPE_HEX);
  EXPECT_EQ(e.edit.CreateView(MIREL_VIEW_TYPE_TEXT), pText);
  EXPECT_EQ(e.edit.CreateView(MIREL_VIEW_TYPE_HEX), pHex);
  EXPECT_EQ(e.edit.CreateView(7), pHex);
}

TEST_F(WindowLifecycle, ATopLevelControlWindowBindsOnItsCreationMessageOnly) {
  // A top-level window gets other messages before WM_NCCREATE; none of them
  // may be taken for the creation message.
  Edit& e = NewEdit(false);
  HWND h = e.edit.Create(nullptr, 0, 10, 10, 300, 200, 0, WS_OVERLAPPEDWINDOW);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(Registrar().Lookup(h), &e.edit);
  EXPECT_EQ(e.edit.hWndEdit, h);
}

TEST_F(WindowLifecycle, AControlWindowTheHostMakesItselfIsRefusedWhateverItsParameter) {
  // Only CMirel::Create makes a window of the class.
  Edit& idle = NewEdit(false);
  ExpectHostMadeWindowsRefused("__MIREL_CONTROL_4__", hParent, &idle.edit,
                               [] { return Registrar().GetUsed(); });
  EXPECT_EQ(idle.edit.hWndEdit, nullptr);
  // The object made by Create is still adopted.
  EXPECT_NE(CreateEditWindow(idle, 5), nullptr);
}

TEST_F(WindowLifecycle, AnUnknownWindowsMessageIsNotReadAsCreationData) {
  // A message that is not WM_NCCREATE with a pointer that looks like a
  // CREATESTRUCT naming an edit object binds nothing.
  Edit& e = NewEdit(false);
  CREATESTRUCTA cs{};
  cs.lpCreateParams = &e.edit;
  MirelControlWndProc(hParent, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(&cs));
  MirelControlWndProc(hParent, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&cs));
  EXPECT_EQ(Registrar().Lookup(hParent), nullptr);
  EXPECT_EQ(e.edit.hWndEdit, nullptr);
  // WM_NCCREATE without an edit object fails the creation.
  CREATESTRUCTA empty{};
  EXPECT_EQ(MirelControlWndProc(hParent, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&empty)), FALSE);
  EXPECT_EQ(MirelControlWndProc(hParent, WM_NCCREATE, 0, 0), FALSE);
  EXPECT_EQ(Registrar().Lookup(hParent), nullptr);
}

TEST_F(WindowLifecycle, CreateAndSizeReachTheViewOnlyOnceTheWindowIsRegistered) {
  Edit& e = NewEdit(true);
  HWND h = e.edit.Create(hParent, 7, 0, 0, 200, 100, 0, WS_CHILD | WS_VISIBLE);
  ASSERT_NE(h, nullptr);
  e.edit.pView = e.view.get();  // creation made the window's own view
  // Not yet registered with the document: sizes do not reach the view.
  log.clear();
  SendMessageA(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 100));
  EXPECT_EQ(log, CallLog{});
  doc.RegisterEdit(&e.edit);
  log.clear();
  SendMessageA(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(320, 240));
  SendMessageA(h, WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_EQ(log, (CallLog{"size(0,320,240)"}));
}

TEST_F(WindowLifecycle, DestroyingTheWindowDropsItsEntryAndItsHandle) {
  Edit& e = NewEdit(false);
  HWND h = CreateEditWindow(e);
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(doc.nEditCount, 1);
  const int nUsed = Registrar().GetUsed();
  e.edit.hBackBitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  ASSERT_NE(e.edit.hBackBitmap, nullptr);

  EXPECT_TRUE(DestroyWindow(h));
  EXPECT_EQ(e.edit.hBackBitmap, nullptr);  // WM_DESTROY freed the back buffer
  EXPECT_EQ(e.edit.hWndEdit, nullptr);     // WM_NCDESTROY forgot the handle
  EXPECT_EQ(Registrar().Lookup(h), nullptr);
  EXPECT_EQ(Registrar().GetUsed(), nUsed - 1);
  // The document still lists the object for its owner to find and delete;
  // broadcasts to it reach no window.
  EXPECT_EQ(doc.nEditCount, 1);
  doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
  doc.NotifyParent(1);
  EXPECT_TRUE(ParentMessages().empty());
}

TEST_F(WindowLifecycle, DeletingTheObjectEndsItsWindowAndItsEntry) {
  auto pEdit = std::make_unique<CMirel>(&doc);
  HWND h = pEdit->Create(hParent, 5, 0, 0, 100, 100, 0, WS_CHILD);
  ASSERT_NE(h, nullptr);
  doc.RegisterEdit(pEdit.get());
  pEdit.reset();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(Registrar().Lookup(h), nullptr);
  EXPECT_EQ(doc.nEditCount, 0);
}

TEST_F(WindowLifecycle, ARecycledHandleValueNeverReachesTheObjectOfTheOldWindow) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  // Old window gone, object still alive: a new window given the same handle
  // value must not be destroyed when the old object is deleted.
  auto pOld = std::make_unique<CMirel>(&doc);
  HWND hOld = pOld->Create(hParent, 1, 0, 0, 100, 100, 0, WS_CHILD);
  ASSERT_NE(hOld, nullptr);
  ASSERT_TRUE(DestroyWindow(hOld));
  MrwTestRecycleNextHandle(hOld);
  HWND hOther = CreateWindowExA(0, kParentClass, nullptr, WS_CHILD, 0, 0, 10, 10, hParent, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_EQ(hOther, hOld);
  pOld.reset();
  EXPECT_TRUE(IsWindow(hOther));  // not destroyed a second time
  DestroyWindow(hOther);

  // Old object deleted: a new control window with the recycled value binds
  // its own object, and messages reach that one.
  MrwTestRecycleNextHandle(hOld);
  Edit& e = NewEdit(false);
  HWND hNew = CreateEditWindow(e);
  ASSERT_EQ(hNew, hOld);
  EXPECT_EQ(Registrar().Lookup(hNew), &e.edit);
  SendMessageA(hNew, WM_MIREL_SETPARENTMENU, 1, 0);
  EXPECT_EQ(e.edit.bParentContextMenu, 1);
#endif
}

TEST_F(WindowLifecycle, NineControlsAreAllFoundAndEachDestructionDropsOnlyItsOwn) {
  std::vector<HWND> windows;
  for (int i = 0; i < 9; ++i) {
    Edit& e = NewEdit(false);
    windows.push_back(CreateEditWindow(e, 200 + i));
    ASSERT_NE(windows.back(), nullptr);
  }
  for (int i = 0; i < 9; ++i) EXPECT_EQ(Registrar().Lookup(windows[i]), &edits[i]->edit);
  ASSERT_TRUE(DestroyWindow(windows[3]));
  EXPECT_EQ(Registrar().Lookup(windows[3]), nullptr);
  for (int i = 0; i < 9; ++i) {
    if (i != 3) {
      EXPECT_EQ(Registrar().Lookup(windows[i]), &edits[i]->edit) << i;
    }
  }
  EXPECT_EQ(GetDlgCtrlID(windows[8]), 208);
}

// The window table on its own, with handle values that name no window.
HWND FakeHandle(int n) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x6EA00000 + 4 * n));
}

TEST(WindowTable, GrowsByFourWhenTheEighthWindowArrivesAndKeepsEveryEntry) {
  Registrar();  // the process's registrar stays the class's
  CMirelRegistrar table;
  EXPECT_NE(CMirelRegistrar::GetActive(), &table);
  EXPECT_EQ(table.GetCapacity(), 8);
  std::vector<std::unique_ptr<CMirel>> objects;
  for (int i = 0; i < 12; ++i) {
    objects.push_back(std::make_unique<CMirel>(nullptr));
    ASSERT_TRUE(table.Add(FakeHandle(i), objects.back().get()));
    EXPECT_EQ(objects.back()->hWndEdit, FakeHandle(i));
    const int nExpected = i + 1 < 8 ? 8 : (i + 1 < 12 ? 12 : 16);
    EXPECT_EQ(table.GetCapacity(), nExpected) << "after window " << i + 1;
  }
  EXPECT_EQ(table.GetUsed(), 12);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(table.Lookup(FakeHandle(i)), objects[i].get());

  // A handle twice, or NULL parts, are refused.
  EXPECT_FALSE(table.Add(FakeHandle(0), objects[1].get()));
  EXPECT_FALSE(table.Add(nullptr, objects[1].get()));
  EXPECT_FALSE(table.Add(FakeHandle(99), nullptr));

  // Removal from the middle moves the later entries forward.
  table.Remove(FakeHandle(4));
  EXPECT_EQ(table.GetUsed(), 11);
  EXPECT_EQ(table.Lookup(FakeHandle(4)), nullptr);
  EXPECT_EQ(table.pEntries[4].hWnd, FakeHandle(5));
  EXPECT_EQ(table.pEntries[11].hWnd, nullptr);
  for (int i = 0; i < 12; ++i) {
    if (i != 4) {
      EXPECT_EQ(table.Lookup(FakeHandle(i)), objects[i].get());
    }
  }
  table.Remove(FakeHandle(77));  // unknown: nothing changes
  EXPECT_EQ(table.GetUsed(), 11);

  table.ForgetEdit(objects[7].get());
  EXPECT_EQ(table.Lookup(FakeHandle(7)), nullptr);
  EXPECT_EQ(table.GetUsed(), 10);
  for (auto& p : objects) p->hWndEdit = nullptr;  // fake handles never reach DestroyWindow
}

}  // namespace
