// Global and local memory blocks: handles, locking, sizes, reallocation.
#include "test_support.h"

#include <cstring>

namespace {

bool AllZero(const void* p, SIZE_T size) {
  const unsigned char* bytes = static_cast<const unsigned char*>(p);
  for (SIZE_T i = 0; i < size; ++i)
    if (bytes[i] != 0) return false;
  return true;
}

TEST(KernelGlobalMemory, MoveableBlockHasAHandleAndALockCount) {
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, 10);
  ASSERT_NE(handle, nullptr);
  void* data = GlobalLock(handle);
  ASSERT_NE(data, nullptr);
  EXPECT_NE(data, static_cast<void*>(handle));
  EXPECT_EQ(GlobalLock(handle), data);
  EXPECT_EQ(GlobalHandle(data), handle);
  EXPECT_GE(GlobalSize(handle), 10u);
  std::memcpy(data, "clipboard", 10);

  // Two locks: the first unlock leaves it locked, the second unlocks it, a third is an error.
  EXPECT_TRUE(GlobalUnlock(handle));
  SetLastError(12345);
  EXPECT_FALSE(GlobalUnlock(handle));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
  EXPECT_FALSE(GlobalUnlock(handle));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));

  EXPECT_STREQ(static_cast<const char*>(GlobalLock(handle)), "clipboard");
  GlobalUnlock(handle);
  EXPECT_EQ(GlobalFree(handle), nullptr);
}

TEST(KernelGlobalMemory, FixedBlockIsItsOwnPointer) {
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, 16);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalLock(block), static_cast<void*>(block));
  EXPECT_TRUE(GlobalUnlock(block));
  EXPECT_EQ(GlobalHandle(block), block);
  EXPECT_GE(GlobalSize(block), 16u);
  EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(KernelGlobalMemory, ZeroInitClearsTheBlock) {
  HGLOBAL moveable = GlobalAlloc(GHND, 4096);
  ASSERT_NE(moveable, nullptr);
  EXPECT_TRUE(AllZero(GlobalLock(moveable), 4096));
  GlobalUnlock(moveable);
  GlobalFree(moveable);

  HGLOBAL fixed = GlobalAlloc(GPTR, 4096);
  ASSERT_NE(fixed, nullptr);
  EXPECT_TRUE(AllZero(fixed, 4096));
  GlobalFree(fixed);

  HLOCAL local = LocalAlloc(LPTR, 64);
  ASSERT_NE(local, nullptr);
  EXPECT_TRUE(AllZero(local, 64));
  EXPECT_EQ(LocalFree(local), nullptr);
}

TEST(KernelGlobalMemory, ReallocKeepsTheHandleAndTheContents) {
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, 8);
  ASSERT_NE(handle, nullptr);
  std::memcpy(GlobalLock(handle), "1234567", 8);
  GlobalUnlock(handle);

  EXPECT_EQ(GlobalReAlloc(handle, 100000, GMEM_MOVEABLE | GMEM_ZEROINIT), handle);
  EXPECT_GE(GlobalSize(handle), 100000u);
  const char* data = static_cast<const char*>(GlobalLock(handle));
  ASSERT_NE(data, nullptr);
  EXPECT_STREQ(data, "1234567");
  EXPECT_TRUE(AllZero(data + 8, 100000 - 8));
  GlobalUnlock(handle);

  EXPECT_EQ(GlobalReAlloc(handle, 4, 0), handle);
  EXPECT_EQ(std::memcmp(GlobalLock(handle), "1234", 4), 0);
  GlobalUnlock(handle);
  GlobalFree(handle);
}

TEST(KernelGlobalMemory, LockedBlockDoesNotMoveUnlessAllowed) {
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, 16);
  ASSERT_NE(handle, nullptr);
  void* data = GlobalLock(handle);
  std::memcpy(data, "locked", 7);
  SetLastError(0);
  EXPECT_EQ(GlobalReAlloc(handle, 1 << 20, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  // The failed call left the block as it was.
  EXPECT_STREQ(static_cast<const char*>(data), "locked");
  GlobalUnlock(handle);
  GlobalFree(handle);

  HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 16);
  ASSERT_NE(fixed, nullptr);
  std::memcpy(fixed, "fixed", 6);
  EXPECT_EQ(GlobalReAlloc(fixed, 1 << 20, 0), nullptr);
  HGLOBAL moved = GlobalReAlloc(fixed, 1 << 20, GMEM_MOVEABLE);
  ASSERT_NE(moved, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(moved)), "fixed");
  EXPECT_GE(GlobalSize(moved), static_cast<SIZE_T>(1 << 20));
  GlobalFree(moved);
}

TEST(KernelGlobalMemory, EmptyMoveableBlockCannotBeLocked) {
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(GlobalSize(handle), 0u);
  EXPECT_EQ(GlobalLock(handle), nullptr);
  ASSERT_EQ(GlobalReAlloc(handle, 32, GMEM_MOVEABLE), handle);
  EXPECT_NE(GlobalLock(handle), nullptr);
  GlobalUnlock(handle);
  GlobalFree(handle);
}

TEST(KernelGlobalMemory, NullHandleFailsCleanly) {
  EXPECT_EQ(GlobalLock(nullptr), nullptr);
  SetLastError(0);
  EXPECT_FALSE(GlobalUnlock(nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalSize(nullptr), 0u);
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST(KernelGlobalMemory, ImpossibleSizesFailWithoutHarm) {
  const SIZE_T huge = static_cast<SIZE_T>(-1);
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, huge), nullptr);
  EXPECT_EQ(GlobalAlloc(GMEM_FIXED, huge), nullptr);
  EXPECT_EQ(LocalAlloc(LMEM_FIXED, huge), nullptr);
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, 8);
  ASSERT_NE(handle, nullptr);
  std::memcpy(GlobalLock(handle), "intact", 7);
  GlobalUnlock(handle);
  EXPECT_EQ(GlobalReAlloc(handle, huge, GMEM_MOVEABLE), nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(handle)), "intact");
  GlobalUnlock(handle);
  GlobalFree(handle);
}

TEST(KernelGlobalMemoryStandIn, UnknownHandlesFailCleanly) {
  // Windows may fault on a handle it never gave out; the stand-in refuses it.
  MIREL_REQUIRE_STANDIN();
  int notABlock = 0;
  HGLOBAL bogus = static_cast<HGLOBAL>(&notABlock);
  SetLastError(0);
  EXPECT_EQ(GlobalLock(bogus), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalSize(bogus), 0u);
  EXPECT_EQ(GlobalReAlloc(bogus, 10, GMEM_MOVEABLE), nullptr);
  EXPECT_EQ(GlobalFree(bogus), bogus);
  HGLOBAL freed = GlobalAlloc(GMEM_MOVEABLE, 4);
  GlobalFree(freed);
  EXPECT_EQ(GlobalLock(freed), nullptr);
  EXPECT_EQ(GlobalFree(freed), freed);
}

}  // namespace
