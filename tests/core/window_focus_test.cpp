// Focus: the focused edit window becomes the document's active one, the
// selection takes the inactive colour while unfocused and gets its own back,
// and the views repaint only when focus changes what they show.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "mirel/mirel.h"
#include "window_test_util.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

using namespace mirel_window_test;

namespace {

class WindowFocus : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    pFirst = &NewEdit(true);
    pSecond = &NewEdit(true);
    hFirst = CreateEditWindow(*pFirst, 101);
    hSecond = CreateEditWindow(*pSecond, 102);
    ASSERT_NE(hFirst, nullptr);
    ASSERT_NE(hSecond, nullptr);
    doc.NewFile();
    doc.InsertA("focus", 5, TRUE);
  }
  Edit* pFirst = nullptr;
  Edit* pSecond = nullptr;
  HWND hFirst = nullptr;
  HWND hSecond = nullptr;
};

TEST_F(WindowFocus, TheFocusedWindowBecomesTheActiveOneAndPlacesItsCaret) {
  doc.block.nInactiveSelMode = 2;  // the selection colour stays as it is
  SetFocus(hSecond);
  EXPECT_EQ(doc.GetActiveEdit(), &pSecond->edit);
  SetFocus(hFirst);
  EXPECT_EQ(doc.GetActiveEdit(), &pFirst->edit);
  log.clear();
  SetFocus(hSecond);
  EXPECT_EQ(doc.GetActiveEdit(), &pSecond->edit);
  // No selection and no active-line marking: the caret only, no repaint.
  EXPECT_EQ(log, (CallLog{"caret(0,0)"}));
}

TEST_F(WindowFocus, AWindowTheDocumentDoesNotListNeverBecomesActive) {
  Edit& loose = NewEdit(true);
  HWND h = loose.edit.Create(hParent, 103, 0, 0, 50, 50, 0, WS_CHILD | WS_VISIBLE);
  ASSERT_NE(h, nullptr);
  SetFocus(hFirst);
  SetFocus(h);
  EXPECT_EQ(doc.GetActiveEdit(), &pFirst->edit);
}

TEST_F(WindowFocus, InactiveColourWhileUnfocusedAndTheOwnColourBackAfterwards) {
  const COLORREF crOwn = RGB(10, 20, 30);
  doc.SetSelBackColor(crOwn);
  doc.block.nInactiveSelMode = 1;
  doc.SelectAll();
  SetFocus(hFirst);
  EXPECT_EQ(doc.crSelBack, crOwn);
  log.clear();
  SetFocus(hParent);
  EXPECT_EQ(doc.crSelBack, GetSysColor(COLOR_INACTIVECAPTIONTEXT));
  // The selection looks different now: both windows of the document repaint.
  EXPECT_NE(std::find(log.begin(), log.end(), "invalidate(2)"), log.end());
  SetFocus(hFirst);
  EXPECT_EQ(doc.crSelBack, crOwn);
  // Moving between the document's windows twice keeps the real colour.
  SetFocus(hSecond);
  SetFocus(hParent);
  SetFocus(hFirst);
  EXPECT_EQ(doc.crSelBack, crOwn);
}

TEST_F(WindowFocus, ModeTwoKeepsTheSelectionColourAndDoesNotRepaint) {
  const COLORREF crOwn = RGB(200, 100, 50);
  doc.SetSelBackColor(crOwn);
  doc.block.nInactiveSelMode = 2;
  doc.SelectAll();
  SetFocus(hFirst);
  log.clear();
  SetFocus(hParent);
  EXPECT_EQ(doc.crSelBack, crOwn);
  EXPECT_EQ(std::find(log.begin(), log.end(), "invalidate(2)"), log.end());
}

TEST_F(WindowFocus, LosingTheFocusDropsAHalfTypedHexByteAndTheCaret) {
  SetFocus(hFirst);
  ASSERT_TRUE(CreateCaret(hFirst, nullptr, 2, 10));
  doc.bHexComposition = 1;
  SetFocus(hParent);
  EXPECT_FALSE(doc.bHexComposition);
#ifndef _WIN32
  EXPECT_EQ(MrwTestCaretOwner(), nullptr);  // the caret went with the focus
#endif
}

TEST_F(WindowFocus, SystemColourChangeRereadsTheColoursThatFollowTheSystem) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  doc.SetSysColorBack(TRUE);
  MrwTestSetSysColor(COLOR_WINDOW, RGB(1, 2, 3));
  log.clear();
  SendMessageA(hFirst, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(doc.crBack, RGB(1, 2, 3));
  EXPECT_EQ(log, (CallLog{"invalidate(2)", "invalidate(2)"}));
  MrwTestResetSystemSettings();
#endif
}

}  // namespace
