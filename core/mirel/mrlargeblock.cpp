#include "mirel/mrlargeblock.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

void MrAdviseLargeBlock(void* p, size_t n) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr uintptr_t kLargePage = uintptr_t{1} << 21;
  if (p == nullptr || n < 2 * kLargePage) return;
  // Only whole large pages inside the block: the advice must not reach
  // memory the block does not own.
  const uintptr_t nBegin = (reinterpret_cast<uintptr_t>(p) + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t nEnd = (reinterpret_cast<uintptr_t>(p) + n) & ~(kLargePage - 1);
  if (nEnd > nBegin) madvise(reinterpret_cast<void*>(nBegin), nEnd - nBegin, MADV_HUGEPAGE);
#else
  (void)p;
  (void)n;
#endif
}
