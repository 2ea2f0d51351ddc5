#include "mirel/mrlargeblock.h"

#include <algorithm>
#include <cstdint>

#if defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#endif

void MrAdviseLargeBlock(void* p, size_t n) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr uintptr_t kLargePage = uintptr_t{1} << 21;
  constexpr uintptr_t kPage = 4096;
  if (p == nullptr || n < 2 * kLargePage) return;
  // The advice covers the whole pages of the block as the allocator holds it
  // (a block this large has a mapping of its own): advice on part of a
  // mapping splits it, and a split mapping can no longer grow in place, so
  // every realloc would copy the whole block. The contents never change.
  const uintptr_t nBegin = reinterpret_cast<uintptr_t>(p) & ~(kPage - 1);
  const uintptr_t nEnd =
      (reinterpret_cast<uintptr_t>(p) + std::max(n, malloc_usable_size(p)) + kPage - 1) & ~(kPage - 1);
  madvise(reinterpret_cast<void*>(nBegin), nEnd - nBegin, MADV_HUGEPAGE);
#else
  (void)p;
  (void)n;
#endif
}
