// Creating and destroying controls: the order of creation (bound on
// WM_NCCREATE, WM_CREATE, then registered, then WM_SIZE) and of destruction
// (WM_DESTROY after the edit left its document, before anything is deleted),
// the identifier, notifications, failures and stale handles.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "control_host.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmirelregistrar.h"
#include "mirel/mrlibraryframe.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"
#include "test_support.h"

#ifndef _WIN32
#include <platform_hooks.h>
#endif

namespace {

// What a subclassed control saw, with the state of the library at that
// moment.
struct Seen {
  UINT uMsg;
  WPARAM wParam;
  LPARAM lParam;
  bool bRegistered;  // the registry found a document for the window
  int nDocEdits;     // edit windows the document listed (-1: no document)
  bool bEditBound;   // the control class knew the window's edit object
};

std::vector<Seen>* g_pSeen = nullptr;
WNDPROC g_pfnControlProc = nullptr;
CMirelDoc* g_pWatchedDoc = nullptr;

LRESULT CALLBACK SpyProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (g_pSeen != nullptr && (uMsg == WM_SIZE || uMsg == WM_DESTROY || uMsg == WM_NCDESTROY)) {
    CMirelDoc* pdoc = MirelFindDoc(hWnd);
    if (pdoc == nullptr) pdoc = g_pWatchedDoc;
    g_pSeen->push_back(Seen{uMsg, wParam, lParam, MirelFindDoc(hWnd) != nullptr,
                            pdoc != nullptr ? pdoc->nEditCount : -1,
                            g_EditRegistrar.Lookup(hWnd) != nullptr});
  }
  return CallWindowProcA(g_pfnControlProc, hWnd, uMsg, wParam, lParam);
}

class ControlLifetime : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(m_host.hWnd(), nullptr);
    g_pSeen = &m_seen;
  }
  void TearDown() override {
    g_pSeen = nullptr;
    g_pWatchedDoc = nullptr;
  }

  // Subclasses each new control from the parent's WM_PARENTNOTIFY, which
  // arrives after the child's WM_CREATE and before Mirel_Create goes on.
  void WatchCreation() {
    m_host.onChildCreated = [this](HWND hChild) {
      m_bCreatedBound = g_EditRegistrar.Lookup(hChild) != nullptr;
      m_bCreatedRegistered = MirelFindDoc(hChild) != nullptr;
      g_pfnControlProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(hChild, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpyProc)));
      m_seen.clear();
    };
  }

  mirel_test::ControlHost m_host;
  std::vector<Seen> m_seen;
  bool m_bCreatedBound = false;
  bool m_bCreatedRegistered = true;
};

TEST_F(ControlLifetime, CreationBindsThenRegistersThenSendsTheRequestedSize) {
  WatchCreation();
  const int nBefore = g_RegHelper.GetCount();
  HWND hCtrl = Mirel_Create(m_host.hWnd(), 301, 5, 6, 120, 70, 0, WS_CHILD | WS_VISIBLE);
  ASSERT_NE(hCtrl, nullptr);
  // By the end of WM_CREATE the window had its edit object but was not yet
  // registered.
  EXPECT_TRUE(m_bCreatedBound);
  EXPECT_FALSE(m_bCreatedRegistered);
  // The size message came once the control was registered and its edit
  // listed by the document.
  // Showing scroll bars may resize the client area afterwards (Windows sends
  // further WM_SIZE messages then), so look at the first size message after
  // registration.
  auto sized = std::find_if(m_seen.begin(), m_seen.end(),
                            [](const Seen& s) { return s.uMsg == WM_SIZE && s.bRegistered; });
  ASSERT_NE(sized, m_seen.end());
  const Seen& last = *sized;
  EXPECT_EQ(last.wParam, 0u);
  EXPECT_EQ(LOWORD(last.lParam), 120);
  EXPECT_EQ(HIWORD(last.lParam), 70);
  EXPECT_TRUE(last.bRegistered);
  EXPECT_EQ(last.nDocEdits, 1);
  EXPECT_EQ(g_RegHelper.GetCount(), nBefore + 1);
  EXPECT_EQ(GetDlgCtrlID(hCtrl), 301);
  EXPECT_EQ(GetParent(hCtrl), m_host.hWnd());

  Mirel_Destroy(hCtrl);
  EXPECT_EQ(g_RegHelper.GetCount(), nBefore);
}

TEST_F(ControlLifetime, AZeroSizeIsStillSent) {
  WatchCreation();
  HWND hCtrl = Mirel_Create(m_host.hWnd(), 302, 0, 0, 0, 0, 0, WS_CHILD);
  ASSERT_NE(hCtrl, nullptr);
  ASSERT_FALSE(m_seen.empty());
  EXPECT_EQ(m_seen.back().uMsg, static_cast<UINT>(WM_SIZE));
  EXPECT_EQ(m_seen.back().lParam, 0);
  EXPECT_TRUE(m_seen.back().bRegistered);
  Mirel_Destroy(hCtrl);
}

TEST_F(ControlLifetime, DestroyUnregistersTheEditBeforeTheWindowAndDeletesAfter) {
  WatchCreation();
  HWND hCtrl = Mirel_Create(m_host.hWnd(), 303, 0, 0, 80, 40, 0, WS_CHILD);
  ASSERT_NE(hCtrl, nullptr);
  g_pWatchedDoc = MirelFindDoc(hCtrl);
  ASSERT_NE(g_pWatchedDoc, nullptr);
  m_seen.clear();

  Mirel_Destroy(hCtrl);
  g_pWatchedDoc = nullptr;  // deleted now

  const Seen* pDestroy = nullptr;
  for (const Seen& s : m_seen) {
    if (s.uMsg == WM_DESTROY) pDestroy = &s;
  }
  ASSERT_NE(pDestroy, nullptr);
  // The pair is still registered and the edit object still bound, but the
  // document no longer lists the edit. (Reading the document here would be
  // a use after free if it had been deleted first.)
  EXPECT_TRUE(pDestroy->bRegistered);
  EXPECT_TRUE(pDestroy->bEditBound);
  EXPECT_EQ(pDestroy->nDocEdits, 0);
  EXPECT_FALSE(IsWindow(hCtrl));
  EXPECT_EQ(MirelFindDoc(hCtrl), nullptr);
  EXPECT_EQ(g_EditRegistrar.Lookup(hCtrl), nullptr);
}

TEST_F(ControlLifetime, NotificationsCarryTheIdentifier) {
  HWND hFirst = Mirel_Create(m_host.hWnd(), 0x1234, 0, 0, 100, 50, 0, WS_CHILD);
  HWND hSecond = Mirel_Create(m_host.hWnd(), 77, 0, 60, 100, 50, 0, WS_CHILD);
  ASSERT_NE(hFirst, nullptr);
  ASSERT_NE(hSecond, nullptr);
  ASSERT_EQ(Mirel_NewFile(hFirst), 1);
  ASSERT_EQ(Mirel_NewFile(hSecond), 1);
  m_host.ClearCommands();

  // The first edit makes the document modified, which the parent is told.
  ASSERT_EQ(Mirel_InsertA(hSecond, "x", 1, TRUE), 1);
  ASSERT_EQ(m_host.Commands().size(), 1u);
  EXPECT_EQ(m_host.Commands()[0].wID, 77);
  EXPECT_EQ(m_host.Commands()[0].wCode, 1);
  EXPECT_EQ(m_host.Commands()[0].hWndFrom, hSecond);

  Mirel_SetModified(hFirst, TRUE);
  ASSERT_EQ(m_host.Commands().size(), 2u);
  EXPECT_EQ(m_host.Commands()[1].wID, 0x1234);
  EXPECT_EQ(m_host.Commands()[1].hWndFrom, hFirst);

  Mirel_Destroy(hFirst);
  Mirel_Destroy(hSecond);
}

TEST_F(ControlLifetime, ControlsBeyondTheFirstThreeGrowTheRegistryAndKeepTheirDocuments) {
  const int nBefore = g_RegHelper.GetCount();
  std::vector<HWND> controls;
  for (int i = 0; i < 6; ++i) {
    HWND h = Mirel_Create(m_host.hWnd(), 400 + i, 0, 0, 60, 30, 0, WS_CHILD);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(Mirel_NewFile(h), 1);
    const char ch = static_cast<char>('a' + i);
    ASSERT_EQ(Mirel_InsertA(h, &ch, 1, FALSE), 1);
    controls.push_back(h);
  }
  EXPECT_EQ(g_RegHelper.GetCount(), nBefore + 6);
  EXPECT_GE(g_RegHelper.GetAlloc(), g_RegHelper.GetCount() + 1);
  // Destroying the first moves the others down; each still reaches its text.
  Mirel_Destroy(controls[0]);
  for (int i = 1; i < 6; ++i) {
    char ch = 0;
    EXPECT_EQ(Mirel_GetTextA(controls[i], &ch, 0, 1), 1);
    EXPECT_EQ(ch, 'a' + i);
    EXPECT_EQ(GetDlgCtrlID(controls[i]), 400 + i);
  }
  for (int i = 1; i < 6; ++i) Mirel_Destroy(controls[i]);
  EXPECT_EQ(g_RegHelper.GetCount(), nBefore);
}

TEST_F(ControlLifetime, AFailedCreationLeavesNothingBehind) {
  const int nBefore = g_RegHelper.GetCount();
  const int nEditsBefore = g_EditRegistrar.GetUsed();
  // A child window needs a parent: the window cannot be made.
  EXPECT_EQ(Mirel_Create(nullptr, 1, 0, 0, 10, 10, 0, WS_CHILD), nullptr);
  HWND hNotAWindow = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x5A5A0));
  EXPECT_EQ(Mirel_Create(hNotAWindow, 1, 0, 0, 10, 10, 0, WS_CHILD), nullptr);
  EXPECT_EQ(g_RegHelper.GetCount(), nBefore);
  EXPECT_EQ(g_EditRegistrar.GetUsed(), nEditsBefore);
  // (The document and edit object made before the failing step are freed;
  // the native leak checker reports them otherwise.)
}

TEST_F(ControlLifetime, DestroyingTwiceOrAForeignWindowChangesNothing) {
  HWND hCtrl = Mirel_Create(m_host.hWnd(), 5, 0, 0, 50, 50, 0, WS_CHILD);
  ASSERT_NE(hCtrl, nullptr);
  const int nCount = g_RegHelper.GetCount();
  Mirel_Destroy(m_host.hWnd());
  EXPECT_TRUE(IsWindow(m_host.hWnd()));
  EXPECT_EQ(g_RegHelper.GetCount(), nCount);
  Mirel_Destroy(hCtrl);
  Mirel_Destroy(hCtrl);
  EXPECT_EQ(g_RegHelper.GetCount(), nCount - 1);
}

TEST_F(ControlLifetime, ARecycledHandleValueDoesNotReachTheDestroyedControl) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  HWND hCtrl = Mirel_Create(m_host.hWnd(), 6, 0, 0, 50, 50, 0, WS_CHILD);
  ASSERT_NE(hCtrl, nullptr);
  Mirel_Destroy(hCtrl);
  // The next window, of another class, gets the old value.
  MrwTestRecycleNextHandle(hCtrl);
  HWND hOther = CreateWindowExA(0, "MirelDllTestHost", "", WS_CHILD, 0, 0, 10, 10, m_host.hWnd(), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_EQ(hOther, hCtrl);
  EXPECT_EQ(Mirel_GetContentsSize(hOther), 0);
  EXPECT_EQ(Mirel_InsertA(hOther, "x", 1, TRUE), 0);
  Mirel_Destroy(hOther);
  EXPECT_TRUE(IsWindow(hOther));
  DestroyWindow(hOther);
#endif
}

// The stand-in gives the next window this value; Windows reuses values
// only now and then, so there the next window may or may not get it.
void OfferValueToNextWindow(HWND hWnd) {
#ifndef _WIN32
  MrwTestRecycleNextHandle(hWnd);
#else
  (void)hWnd;
#endif
}

HWND MakePlainChild(HWND hParent) {
  return CreateWindowExA(0, "MirelDllTestHost", "", WS_CHILD, 0, 0, 200, 100, hParent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST_F(ControlLifetime, AControlWhoseWindowWentFirstIsFreedAndItsValueLeadsNowhere) {
  // The host destroys the parent, or the control's own window, and cleans
  // up with Mirel_Destroy later, when the value may name another window.
  for (bool bParentFirst : {true, false}) {
    SCOPED_TRACE(bParentFirst ? "parent destroyed first" : "control window destroyed");
    const int nPairs = g_RegHelper.GetCount();
    const int nEdits = g_EditRegistrar.GetUsed();
    HWND hParent = MakePlainChild(m_host.hWnd());
    ASSERT_NE(hParent, nullptr);
    HWND hCtrl = Mirel_Create(hParent, 9, 0, 0, 100, 50, 0, WS_CHILD);
    ASSERT_NE(hCtrl, nullptr);
    ASSERT_EQ(Mirel_NewFile(hCtrl), 1);
    ASSERT_EQ(Mirel_InsertA(hCtrl, "abc", 3, FALSE), 1);
    if (!bParentFirst) DestroyWindow(hCtrl);
    DestroyWindow(hParent);
    ASSERT_FALSE(IsWindow(hCtrl));
    // Both tables forgot the window and its objects are gone (the native
    // leak checker would report them).
    EXPECT_EQ(g_RegHelper.GetCount(), nPairs);
    EXPECT_EQ(g_EditRegistrar.GetUsed(), nEdits);
    EXPECT_EQ(MrIdleFreesPending(), 0);
    EXPECT_EQ(Mirel_GetContentsSize(hCtrl), 0);
    EXPECT_EQ(Mirel_InsertA(hCtrl, "x", 1, TRUE), 0);

    // Another window with the value outlives the host's clean-up.
    OfferValueToNextWindow(hCtrl);
    HWND hOther = MakePlainChild(m_host.hWnd());
    ASSERT_NE(hOther, nullptr);
    if (mirel_test::kStandIn) {
      ASSERT_EQ(hOther, hCtrl);
    }
    Mirel_Destroy(hCtrl);
    Mirel_Destroy(hCtrl);
    EXPECT_TRUE(IsWindow(hOther));
    DestroyWindow(hOther);

    // A new control with the value works.
    OfferValueToNextWindow(hCtrl);
    HWND hNew = Mirel_Create(m_host.hWnd(), 10, 0, 0, 100, 50, 0, WS_CHILD);
    ASSERT_NE(hNew, nullptr);
    if (mirel_test::kStandIn) {
      EXPECT_EQ(hNew, hCtrl);
    }
    mirel_test::ExpectControlKeepsText(hNew, "xyz");
    Mirel_Destroy(hNew);
    EXPECT_FALSE(IsWindow(hNew));
    EXPECT_EQ(g_RegHelper.GetCount(), nPairs);
  }
}

}  // namespace
