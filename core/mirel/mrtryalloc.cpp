// The allocation-failure hook of the growth helpers.
#include "mirel/mrtryalloc.h"

MrAllocFailHook g_pfnMrAllocFailHook = nullptr;

BOOL MrTryGrowIndex(std::vector<DWORD>* pIndex) noexcept {
  const size_t nCap = pIndex->capacity();
  return MrTryReserve(*pIndex, nCap + std::max<size_t>(nCap / 2, 64)) || MrTryReserve(*pIndex, nCap + 1);
}
