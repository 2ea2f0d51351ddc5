// The document's broadcasts to its edit windows: the refresh order after a
// change, the repaint hint, the focused window's caret, redraw switching and
// the horizontal scroll bar under word wrap.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include <memory>

#include "mirel/cmirelregistrar.h"
#include "mirel/cmirelsplitter.h"
#include "mirel/mirel.h"
#include "registry_test_util.h"

using namespace mirel_registry_test;

namespace {

class RegistryBroadcast : public EditsTest {};

TEST_F(RegistryBroadcast, ChangeRefreshesScrollBarsOfAllThenActiveCaretThenRepaintsAll) {
  AddEdit("a", 1);
  TestEdit& b = AddEdit("b", 2);
  AddEdit("c", 3);
  doc.pActiveMirel = &b.edit;  // b took the focus
  log.clear();

  doc.UpdateEditsAfterChange(REPAINT_TAG_RANGE, 4, 9);
  EXPECT_EQ(log, (CallLog{"a.scrollbars", "b.scrollbars", "c.scrollbars", "b.caret(1,1)",
                          "a.invalidate(4,4,9)", "b.invalidate(4,4,9)", "c.invalidate(4,4,9)"}));
}

TEST_F(RegistryBroadcast, NothingIsRefreshedWhileNoWindowIsRegistered) {
  AddEdit("u", 1, WS_CHILD | WS_VISIBLE, false);  // made, never registered
  doc.pActiveMirel = nullptr;
  doc.UpdateEditsAfterChange(REPAINT_TAG_ALL, 0, 0);
  doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
  doc.UpdateAllScrollBars();
  doc.RefreshFocusedEdit();
  EXPECT_TRUE(log.empty());
}

TEST_F(RegistryBroadcast, WindowsWithoutViewAreSkipped) {
  TestEdit& a = AddEdit("a", 1, WS_CHILD | WS_VISIBLE, false);
  TestEdit& b = AddEdit("b", 2, WS_CHILD | WS_VISIBLE, false);
  b.edit.pView = nullptr;  // its window has not made a view yet
  doc.RegisterEdit(&a.edit);
  doc.RegisterEdit(&b.edit);
  log.clear();
  doc.UpdateEditsAfterChange(REPAINT_TAG_ALL, 0, 0);
  EXPECT_EQ(log, (CallLog{"a.scrollbars", "a.caret(1,1)", "a.invalidate(2,0,0)"}));
}

TEST_F(RegistryBroadcast, OnlyTheFocusedWindowRefreshesItsCaret) {
  AddEdit("a", 1);
  TestEdit& b = AddEdit("b", 2);
  SetFocus(b.edit.hWndEdit);
  ASSERT_EQ(GetFocus(), b.edit.hWndEdit);
  log.clear();
  doc.RefreshFocusedEdit();
  EXPECT_EQ(log, (CallLog{"b.caret(1,1)"}));

  SetFocus(hParent);
  log.clear();
  doc.RefreshFocusedEdit();
  EXPECT_TRUE(log.empty());
}

TEST_F(RegistryBroadcast, RedrawOffIsQuietAndOnRefreshesEveryWindowFully) {
  TestEdit& a = AddEdit("a", 1);
  TestEdit& b = AddEdit("b", 2);
  log.clear();

  doc.SetRedraw(FALSE);
  EXPECT_EQ(a.edit.bRedraw, 0);
  EXPECT_EQ(b.edit.bRedraw, 0);
  EXPECT_TRUE(log.empty());

  doc.SetRedraw(TRUE);
  EXPECT_EQ(a.edit.bRedraw, 1);
  EXPECT_EQ(b.edit.bRedraw, 1);
  EXPECT_EQ(log, (CallLog{"a.scrollbars", "a.caret(1,1)", "a.invalidate(2,0,0)", "b.scrollbars",
                          "b.caret(1,1)", "b.invalidate(2,0,0)"}));
}

TEST_F(RegistryBroadcast, WordWrapTakesTheHorizontalBarAwayAndBringsItBack) {
  TestEdit& a = AddEdit("a", 1, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL);
  a.edit.nHScrollPos = 40;

  doc.nWrapMode = MIREL_WRAP_WORD;
  doc.UpdateAllScrollBars();
  LONG lStyle = GetWindowLongA(a.edit.hWndEdit, GWL_STYLE);
  EXPECT_EQ(lStyle & WS_HSCROLL, 0);
  EXPECT_NE(lStyle & WS_VSCROLL, 0);
  EXPECT_EQ(a.edit.nHScrollPos, 0);

  doc.nWrapMode = MIREL_WRAP_NONE;
  doc.UpdateAllScrollBars();
  lStyle = GetWindowLongA(a.edit.hWndEdit, GWL_STYLE);
  EXPECT_NE(lStyle & WS_HSCROLL, 0);
  EXPECT_NE(lStyle & WS_VSCROLL, 0);
}

TEST_F(RegistryBroadcast, OutsideASplitPaneParentNoSharedBarIsUsed) {
  // A pane identifier without own bars, but the parent is no split-pane window.
  TestEdit& a = AddEdit("a", 0xE912, WS_CHILD | WS_VISIBLE, false);
  EXPECT_EQ(a.edit.GetScrollBarCtrl(SB_HORZ), nullptr);
  EXPECT_EQ(a.edit.GetScrollBarCtrl(SB_VERT), nullptr);
}

TEST_F(RegistryBroadcast, APaneOfASplitPaneParentUsesTheSharedBarsOfItsRowAndColumn) {
  // A stand-in for the split-pane window: only its class name matters here.
  WNDCLASSA wc{};
  wc.lpfnWndProc = &MessageRecorder::Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = MIREL_SPLITTER_CLASS_NAME;
  static const bool bRegistered = RegisterClassA(&wc) != 0;
  HWND hSplitter = CreateWindowExA(0, MIREL_SPLITTER_CLASS_NAME, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 300,
                                   200, hParent, nullptr, GetModuleHandleA(nullptr), nullptr);
  // The library's own class: a real split-pane window without shared bars;
  // its panes need the control class's registrar.
  if (CMirelRegistrar::GetActive() == nullptr) static CMirelRegistrar editRegistrar;
  auto splitter = std::make_unique<CMirelSplitter>();
  if (!bRegistered && splitter->Create(hParent, 16, 16, 20, 20, 0, nullptr, WS_CHILD | WS_VISIBLE))
    hSplitter = splitter->m_hWnd;
  ASSERT_NE(hSplitter, nullptr);
  auto child = [&](int nID, DWORD dwStyle) {
    return CreateWindowExA(0, kRecordingClass, nullptr, dwStyle, 0, 0, 50, 50, hSplitter,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(nID)), GetModuleHandleA(nullptr),
                           nullptr);
  };
  HWND hBarColumn2 = child(0xEA02, WS_CHILD);
  HWND hBarRow1 = child(0xEA11, WS_CHILD);
  CMirelDoc doc;
  CallLog log;
  TestEdit pane(&doc, &log, "pane", child(0xE912, WS_CHILD | WS_VISIBLE));
  TestEdit ownBars(&doc, &log, "own", child(0xE912, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL));
  TestEdit notAPane(&doc, &log, "other", child(0x0123, WS_CHILD | WS_VISIBLE));

  EXPECT_EQ(pane.edit.GetScrollBarCtrl(SB_HORZ), hBarColumn2);
  EXPECT_EQ(pane.edit.GetScrollBarCtrl(SB_VERT), hBarRow1);
  EXPECT_EQ(ownBars.edit.GetScrollBarCtrl(SB_HORZ), nullptr);
  EXPECT_EQ(ownBars.edit.GetScrollBarCtrl(SB_VERT), nullptr);
  EXPECT_EQ(notAPane.edit.GetScrollBarCtrl(SB_HORZ), nullptr);

  // A pane without its own bar keeps its style under word wrap.
  doc.RegisterEdit(&pane.edit);
  doc.nWrapMode = MIREL_WRAP_CHAR;
  const LONG lBefore = GetWindowLongA(pane.edit.hWndEdit, GWL_STYLE);
  doc.UpdateAllScrollBars();
  EXPECT_EQ(GetWindowLongA(pane.edit.hWndEdit, GWL_STYLE), lBefore);
}

}  // namespace
