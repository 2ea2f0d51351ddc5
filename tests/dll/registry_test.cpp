// The handle-to-document registry on local instances: packing, growth one
// pair at a time, removal, refusals and a failed growth.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "mirelctrl/creghelper.h"

namespace {

// Stand-in values: the registry never dereferences the document and only asks
// IsWindow about a handle it removes.
HWND FakeWindow(uintptr_t n) {
  return reinterpret_cast<HWND>(0x7000 + n * 16);
}
CMirelDoc* FakeDoc(uintptr_t n) {
  return reinterpret_cast<CMirelDoc*>(0x9000 + n * 16);
}

TEST(RegHelper, HoldsThreeControlsBeforeGrowingOnePairAtATime) {
  CRegHelper reg;
  EXPECT_EQ(reg.GetAlloc(), MIREL_REG_INITIAL_ALLOC);
  EXPECT_EQ(reg.GetCount(), 0);
  for (uintptr_t i = 1; i <= 3; ++i) ASSERT_TRUE(reg.Add(FakeWindow(i), FakeDoc(i)));
  EXPECT_EQ(reg.GetAlloc(), 4);
  ASSERT_TRUE(reg.Add(FakeWindow(4), FakeDoc(4)));
  EXPECT_EQ(reg.GetAlloc(), 5);
  ASSERT_TRUE(reg.Add(FakeWindow(5), FakeDoc(5)));
  EXPECT_EQ(reg.GetAlloc(), 6);
  EXPECT_EQ(reg.GetCount(), 5);
  for (uintptr_t i = 1; i <= 5; ++i) EXPECT_EQ(reg.Find(FakeWindow(i)), FakeDoc(i)) << i;
  EXPECT_EQ(reg.Find(FakeWindow(6)), nullptr);
  EXPECT_EQ(reg.Find(nullptr), nullptr);
}

TEST(RegHelper, RemovingTheFirstKeepsTheOthersAndTheNextAddFollowsThem) {
  CRegHelper reg;
  for (uintptr_t i = 1; i <= 3; ++i) ASSERT_TRUE(reg.Add(FakeWindow(i), FakeDoc(i)));
  reg.Remove(FakeWindow(1));
  EXPECT_EQ(reg.GetCount(), 2);
  EXPECT_EQ(reg.Find(FakeWindow(1)), nullptr);
  EXPECT_EQ(reg.Find(FakeWindow(2)), FakeDoc(2));
  EXPECT_EQ(reg.Find(FakeWindow(3)), FakeDoc(3));
  // Two used pairs, then the new one: still no growth.
  ASSERT_TRUE(reg.Add(FakeWindow(4), FakeDoc(4)));
  EXPECT_EQ(reg.GetAlloc(), 4);
  EXPECT_EQ(reg.Find(FakeWindow(4)), FakeDoc(4));
  // Removing everything leaves an empty registry that works again.
  for (uintptr_t i = 2; i <= 4; ++i) reg.Remove(FakeWindow(i));
  EXPECT_EQ(reg.GetCount(), 0);
  ASSERT_TRUE(reg.Add(FakeWindow(9), FakeDoc(9)));
  EXPECT_EQ(reg.Find(FakeWindow(9)), FakeDoc(9));
}

TEST(RegHelper, RefusesWhatWouldBreakTheTable) {
  CRegHelper reg;
  EXPECT_FALSE(reg.Add(nullptr, FakeDoc(1)));
  EXPECT_FALSE(reg.Add(FakeWindow(1), nullptr));
  ASSERT_TRUE(reg.Add(FakeWindow(1), FakeDoc(1)));
  // A handle is registered once; the first document stays.
  EXPECT_FALSE(reg.Add(FakeWindow(1), FakeDoc(2)));
  EXPECT_EQ(reg.Find(FakeWindow(1)), FakeDoc(1));
  EXPECT_EQ(reg.GetCount(), 1);
  // Unknown handles change nothing.
  reg.Remove(FakeWindow(7));
  reg.Remove(nullptr);
  EXPECT_EQ(reg.GetCount(), 1);
}

// A registry whose memory runs out after a given number of growths.
class CRegHelperOutOfMemory : public CRegHelper {
 public:
  int nGrowthsLeft = 0;

 protected:
  void* ReallocatePairs(void* p, size_t nBytes) override {
    if (nGrowthsLeft <= 0) return nullptr;
    --nGrowthsLeft;
    return CRegHelper::ReallocatePairs(p, nBytes);
  }
};

TEST(RegHelper, AFailedGrowthRefusesThePairAndKeepsTheRest) {
  CRegHelperOutOfMemory reg;
  for (uintptr_t i = 1; i <= 3; ++i) ASSERT_TRUE(reg.Add(FakeWindow(i), FakeDoc(i)));
  EXPECT_FALSE(reg.Add(FakeWindow(4), FakeDoc(4)));
  EXPECT_EQ(reg.GetCount(), 3);
  EXPECT_EQ(reg.GetAlloc(), 4);
  EXPECT_EQ(reg.Find(FakeWindow(4)), nullptr);
  for (uintptr_t i = 1; i <= 3; ++i) EXPECT_EQ(reg.Find(FakeWindow(i)), FakeDoc(i));
  // Once memory is back, the same pair fits.
  reg.nGrowthsLeft = 1;
  ASSERT_TRUE(reg.Add(FakeWindow(4), FakeDoc(4)));
  EXPECT_EQ(reg.GetAlloc(), 5);
  EXPECT_EQ(reg.Find(FakeWindow(4)), FakeDoc(4));
}

LRESULT CALLBACK PlainProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

HWND MakePlainWindow() {
  static const char kClass[] = "MirelRegistryTestWindow";
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kClass;
  RegisterClassA(&wc);  // already registered by an earlier test is fine
  return CreateWindowExA(0, kClass, "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST(RegHelper, RemoveDestroysOnlyARegisteredWindow) {
  CRegHelper reg;
  HWND hRegistered = MakePlainWindow();
  HWND hStranger = MakePlainWindow();
  ASSERT_NE(hRegistered, nullptr);
  ASSERT_NE(hStranger, nullptr);
  ASSERT_TRUE(reg.Add(hRegistered, FakeDoc(1)));
  reg.Remove(hStranger);
  EXPECT_TRUE(IsWindow(hStranger));
  reg.Remove(hRegistered);
  EXPECT_FALSE(IsWindow(hRegistered));
  EXPECT_EQ(reg.Find(hRegistered), nullptr);
  DestroyWindow(hStranger);
}

}  // namespace
