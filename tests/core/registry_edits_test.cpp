// The document's list of edit windows: growth, removal from the middle, the
// active window, windows without a handle, and that no pointer to a deleted
// edit window or document stays behind.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mirel/mirel.h"
#include "registry_test_util.h"

using namespace mirel_registry_test;

namespace {

// Edit windows without real windows: the registry treats a missing handle as
// a failed window, so these carry a handle value that names no window.
HWND FakeHandle(int n) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7EAD0000 + 4 * n));
}

class RegistryEdits : public ::testing::Test {
 protected:
  TestEdit& Add(const std::string& name) {
    edits.push_back(std::make_unique<TestEdit>(&doc, &log, name, FakeHandle(static_cast<int>(edits.size()))));
    return *edits.back();
  }
  std::vector<CMirel*> Listed() const {
    return std::vector<CMirel*>(doc.ppEdits, doc.ppEdits + doc.nEditAlloc);
  }
  void TearDown() override {
    // The fake handles must not reach DestroyWindow.
    for (auto& e : edits) e->edit.hWndEdit = nullptr;
  }
  CMirelDoc doc;
  CallLog log;
  std::vector<std::unique_ptr<TestEdit>> edits;
};

TEST_F(RegistryEdits, FiveWindowsGrowTheArrayByFourAndAllGetEveryBroadcastInOrder) {
  for (int i = 0; i < 5; ++i) {
    TestEdit& e = Add("e" + std::to_string(i));
    EXPECT_EQ(doc.RegisterEdit(&e.edit), nullptr);
  }
  EXPECT_EQ(doc.nEditCount, 5);
  EXPECT_EQ(doc.nEditAlloc, 8);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(doc.ppEdits[i], &edits[i]->edit);
  for (int i = 5; i < 8; ++i) EXPECT_EQ(doc.ppEdits[i], nullptr);
  EXPECT_EQ(doc.GetActiveEdit(), &edits[0]->edit);

  log.clear();
  doc.UpdateAllViews(REPAINT_TAG_FROM, 7, 0);
  EXPECT_EQ(log, (CallLog{"e0.invalidate(3,7,0)", "e1.invalidate(3,7,0)", "e2.invalidate(3,7,0)",
                          "e3.invalidate(3,7,0)", "e4.invalidate(3,7,0)"}));
}

TEST_F(RegistryEdits, OnlyTheFirstRegistrationActivatesAndPlacesTheCaret) {
  TestEdit& a = Add("a");
  TestEdit& b = Add("b");
  doc.RegisterEdit(&a.edit);
  doc.RegisterEdit(&b.edit);
  EXPECT_EQ(log, (CallLog{"a.caret(1,1)"}));
  EXPECT_EQ(doc.GetActiveEdit(), &a.edit);
}

TEST_F(RegistryEdits, UnregisteringFromTheMiddleClosesTheGapAndKeepsTheActiveWindow) {
  for (int i = 0; i < 5; ++i) doc.RegisterEdit(&Add("e" + std::to_string(i)).edit);
  doc.pActiveMirel = &edits[3]->edit;  // as when that window took the focus

  doc.UnregisterEdit(&edits[1]->edit);
  EXPECT_EQ(doc.nEditCount, 4);
  EXPECT_EQ(doc.nEditAlloc, 8);
  EXPECT_EQ(Listed(), (std::vector<CMirel*>{&edits[0]->edit, &edits[2]->edit, &edits[3]->edit,
                                            &edits[4]->edit, nullptr, nullptr, nullptr, nullptr}));
  EXPECT_EQ(doc.GetActiveEdit(), &edits[3]->edit);

  log.clear();
  doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
  EXPECT_EQ(log, (CallLog{"e0.invalidate(2,0,0)", "e2.invalidate(2,0,0)", "e3.invalidate(2,0,0)",
                          "e4.invalidate(2,0,0)"}));
}

TEST_F(RegistryEdits, UnregisteringTheActiveWindowActivatesTheLastRemaining) {
  for (int i = 0; i < 3; ++i) doc.RegisterEdit(&Add("e" + std::to_string(i)).edit);
  doc.UnregisterEdit(&edits[0]->edit);
  EXPECT_EQ(doc.GetActiveEdit(), &edits[2]->edit);
  doc.UnregisterEdit(&edits[2]->edit);
  EXPECT_EQ(doc.GetActiveEdit(), &edits[1]->edit);
  doc.UnregisterEdit(&edits[1]->edit);
  EXPECT_EQ(doc.nEditCount, 0);
  EXPECT_EQ(doc.GetActiveEdit(), nullptr);
  for (CMirel* p : Listed()) EXPECT_EQ(p, nullptr);
}

TEST_F(RegistryEdits, UnknownOrRepeatedWindowsChangeNothing) {
  TestEdit& a = Add("a");
  TestEdit& stranger = Add("stranger");
  doc.RegisterEdit(&a.edit);
  const std::vector<CMirel*> before = Listed();

  doc.UnregisterEdit(&stranger.edit);
  doc.UnregisterEdit(nullptr);
  EXPECT_EQ(Listed(), before);
  EXPECT_EQ(doc.nEditCount, 1);

  // Registered twice, a window would be repainted twice and outlive its
  // unregistration in the second entry.
  EXPECT_EQ(doc.RegisterEdit(&a.edit), nullptr);
  EXPECT_EQ(doc.nEditCount, 1);
  doc.UnregisterEdit(&a.edit);
  for (CMirel* p : Listed()) EXPECT_EQ(p, nullptr);
}

TEST_F(RegistryEdits, WindowWithoutHandleIsListedButNeverActive) {
  TestEdit& broken = Add("broken");
  broken.edit.hWndEdit = nullptr;
  EXPECT_EQ(doc.RegisterEdit(&broken.edit), nullptr);
  EXPECT_EQ(doc.nEditCount, 1);
  EXPECT_EQ(doc.ppEdits[0], &broken.edit);
  EXPECT_EQ(doc.GetActiveEdit(), nullptr);
  EXPECT_TRUE(log.empty());  // no caret set-up

  // The next good window becomes the active one.
  TestEdit& good = Add("good");
  doc.RegisterEdit(&good.edit);
  EXPECT_EQ(doc.GetActiveEdit(), &good.edit);
  EXPECT_EQ(log, (CallLog{"good.caret(1,1)"}));
}

TEST_F(RegistryEdits, RegisteringNullIsRefused) {
  const int nFailuresBefore = MirelAssertFailureCount();
  EXPECT_EQ(doc.RegisterEdit(nullptr), nullptr);
  EXPECT_EQ(doc.nEditCount, 0);
  EXPECT_EQ(MirelAssertFailureCount(), nFailuresBefore + 1);
}

TEST_F(RegistryEdits, DeletingAnEditWindowRemovesItFromItsDocument) {
  auto pEdit = std::make_unique<TestEdit>(&doc, &log, "gone", FakeHandle(9));
  TestEdit& stays = Add("stays");
  doc.RegisterEdit(&pEdit->edit);
  doc.RegisterEdit(&stays.edit);
  pEdit->edit.hWndEdit = nullptr;
  pEdit.reset();
  EXPECT_EQ(doc.nEditCount, 1);
  EXPECT_EQ(doc.ppEdits[0], &stays.edit);
  EXPECT_EQ(doc.GetActiveEdit(), &stays.edit);
}

TEST_F(RegistryEdits, ReleasedWindowsForgetTheDocument) {
  TestEdit& a = Add("a");
  TestEdit& b = Add("b");
  doc.RegisterEdit(&a.edit);
  doc.RegisterEdit(&b.edit);
  doc.ReleaseEdits();
  EXPECT_EQ(a.edit.pdoc, nullptr);
  EXPECT_EQ(b.edit.pdoc, nullptr);
  EXPECT_EQ(doc.nEditCount, 0);
  EXPECT_EQ(doc.GetActiveEdit(), nullptr);
  for (CMirel* p : Listed()) EXPECT_EQ(p, nullptr);
}

// A real window: the first registration measures the font on its DC and
// computes the margins.
class RegistryFirstWindow : public WindowTest {};

TEST_F(RegistryFirstWindow, FirstRegistrationBringsFontMetricsAndMargins) {
  CMirelDoc doc;
  CallLog log;
  HWND hEdit = CreateChild(100);
  ASSERT_NE(hEdit, nullptr);
  ASSERT_EQ(doc.nFontHeight, 0);
  ASSERT_EQ(doc.nLeftMargin, 0);

  TestEdit e(&doc, &log, "e", hEdit);
  doc.RegisterEdit(&e.edit);

  HDC hdc = GetDC(hEdit);
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(hdc, &tm));
  ReleaseDC(hEdit, hdc);
  EXPECT_EQ(doc.nFontHeight, tm.tmHeight);
  EXPECT_EQ(doc.nLineHeight, tm.tmHeight * doc.nLineSpacing / 100);
  EXPECT_EQ(doc.nAveCharWidth, tm.tmAveCharWidth);
  // Default margins: line numbers and the indicator margin, no folder margin.
  EXPECT_GT(doc.nLineNoWidth, 0);
  EXPECT_EQ(doc.nLeftMargin, doc.nLineNoWidth + 19);
}

}  // namespace
