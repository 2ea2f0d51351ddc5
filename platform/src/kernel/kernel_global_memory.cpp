// Global and local memory: fixed blocks (the handle is the pointer) and
// moveable blocks (a separate handle, locked to get the pointer).
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

struct Block {
  void* pData = nullptr;  // NULL for a moveable block of size 0
  SIZE_T nSize = 0;
  bool bMoveable = false;
  unsigned nLocks = 0;
};

// Moveable handles are small odd-looking values far from any heap pointer,
// so a handle is never mistaken for the pointer of a fixed block.
constexpr std::uintptr_t kFirstMoveableHandle = 0x00E70004;
constexpr std::uintptr_t kHandleStep = 8;

struct Heap {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, Block> blocks;  // by handle (the pointer for fixed blocks)
  std::uintptr_t nextHandle = kFirstMoveableHandle;
};

Heap& TheHeap() {
  // Never destroyed: what the process still holds at exit stays reachable, and
  // code in other static destructors may still free blocks.
  static Heap& heap = *new Heap;
  return heap;
}

std::uintptr_t Key(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

// The control is a 32-bit program: no block can be larger than its address space allows.
constexpr SIZE_T kMaxBlockSize = 0x7FFFFFFF;

// Allocates at least one byte so that every fixed block has its own address.
void* AllocateData(SIZE_T size, bool zero) {
  const SIZE_T bytes = size == 0 ? 1 : size;
  return zero ? std::calloc(1, bytes) : std::malloc(bytes);
}

Block* FindBlock(Heap& heap, HGLOBAL hMem) {
  auto found = heap.blocks.find(Key(hMem));
  return found == heap.blocks.end() ? nullptr : &found->second;
}

HGLOBAL Allocate(UINT uFlags, SIZE_T dwBytes) {
  Heap& heap = TheHeap();
  const bool moveable = (uFlags & GMEM_MOVEABLE) != 0;
  const bool zero = (uFlags & GMEM_ZEROINIT) != 0;
  if (dwBytes > kMaxBlockSize) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  Block block;
  block.bMoveable = moveable;
  block.nSize = dwBytes;
  if (!moveable || dwBytes > 0) {
    block.pData = AllocateData(dwBytes, zero);
    if (block.pData == nullptr) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
  }
  std::lock_guard<std::mutex> lock(heap.mutex);
  std::uintptr_t key = Key(block.pData);
  if (moveable) {
    while (heap.blocks.count(heap.nextHandle) != 0) heap.nextHandle += kHandleStep;
    key = heap.nextHandle;
    heap.nextHandle += kHandleStep;
  }
  heap.blocks.emplace(key, block);
  return reinterpret_cast<HGLOBAL>(key);
}

HGLOBAL Free(HGLOBAL hMem) {
  if (hMem == nullptr) return nullptr;
  Heap& heap = TheHeap();
  std::lock_guard<std::mutex> lock(heap.mutex);
  auto found = heap.blocks.find(Key(hMem));
  if (found == heap.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return hMem;
  }
  std::free(found->second.pData);  // Windows frees a locked block too
  heap.blocks.erase(found);
  return nullptr;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  return Allocate(uFlags, dwBytes);
}

LPVOID GlobalLock(HGLOBAL hMem) {
  Heap& heap = TheHeap();
  std::lock_guard<std::mutex> lock(heap.mutex);
  Block* block = FindBlock(heap, hMem);
  if (block == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (!block->bMoveable) return block->pData;
  if (block->pData == nullptr) {
    SetLastError(ERROR_DISCARDED);  // an empty moveable block has no memory to lock
    return nullptr;
  }
  ++block->nLocks;
  return block->pData;
}

BOOL GlobalUnlock(HGLOBAL hMem) {
  Heap& heap = TheHeap();
  std::lock_guard<std::mutex> lock(heap.mutex);
  Block* block = FindBlock(heap, hMem);
  if (block == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!block->bMoveable) return TRUE;
  if (block->nLocks == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--block->nLocks > 0) return TRUE;
  SetLastError(NO_ERROR);  // unlocked now: FALSE without an error
  return FALSE;
}

SIZE_T GlobalSize(HGLOBAL hMem) {
  Heap& heap = TheHeap();
  std::lock_guard<std::mutex> lock(heap.mutex);
  Block* block = FindBlock(heap, hMem);
  if (block == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return block->nSize;
}

HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) {
  Heap& heap = TheHeap();
  std::lock_guard<std::mutex> lock(heap.mutex);
  Block* block = FindBlock(heap, hMem);
  if (block == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if ((uFlags & GMEM_MODIFY) != 0) return hMem;  // only attributes would change; none is kept
  if (block->bMoveable && dwBytes == 0 && block->nLocks == 0) {
    // Like Windows, an unlocked moveable block resized to 0 keeps its handle but loses its memory.
    std::free(block->pData);
    block->pData = nullptr;
    block->nSize = 0;
    return hMem;
  }
  if (dwBytes > block->nSize || block->pData == nullptr) {
    // Growing may move the block: allowed when it is moveable and unlocked, or when the caller says so.
    const bool mayMove = (block->bMoveable && block->nLocks == 0) || (uFlags & GMEM_MOVEABLE) != 0;
    if (!mayMove || dwBytes > kMaxBlockSize) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    void* data = std::realloc(block->pData, dwBytes == 0 ? 1 : dwBytes);
    if (data == nullptr) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    if ((uFlags & GMEM_ZEROINIT) != 0 && dwBytes > block->nSize)
      std::memset(static_cast<char*>(data) + block->nSize, 0, dwBytes - block->nSize);
    block->pData = data;
  }
  block->nSize = dwBytes;  // shrinking keeps the memory where it is
  if (block->bMoveable || block->pData == hMem) return hMem;
  // A fixed block that moved is known by its new address from now on.
  const Block moved = *block;
  heap.blocks.erase(Key(hMem));
  heap.blocks.emplace(Key(moved.pData), moved);
  return reinterpret_cast<HGLOBAL>(moved.pData);
}

HGLOBAL GlobalFree(HGLOBAL hMem) {
  return Free(hMem);
}

HGLOBAL GlobalHandle(LPCVOID pMem) {
  if (pMem == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  Heap& heap = TheHeap();
  std::lock_guard<std::mutex> lock(heap.mutex);
  for (const auto& entry : heap.blocks)
    if (entry.second.pData == pMem) return reinterpret_cast<HGLOBAL>(entry.first);
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes) {
  return Allocate(uFlags, uBytes);
}

HLOCAL LocalFree(HLOCAL hMem) {
  return Free(hMem);
}
