// The handle-to-document registry: a densely packed pair array with a zero
// tail, grown one pair at a time.
#include "mirelctrl/creghelper.h"

#include <climits>
#include <cstdlib>
#include <cstring>

CRegHelper::CRegHelper() : pPairs(nullptr), nAlloc(0), nCount(0) {
  pPairs = static_cast<MIREL_REG_PAIR*>(std::calloc(MIREL_REG_INITIAL_ALLOC, sizeof(MIREL_REG_PAIR)));
  // Without memory the registry starts empty and Add grows it on demand.
  if (pPairs != nullptr) nAlloc = MIREL_REG_INITIAL_ALLOC;
}

CRegHelper::~CRegHelper() {
  // Pairs still registered at exit are dropped; their windows and documents
  // belong to the host's controls, not to the registry.
  std::free(pPairs);
  pPairs = nullptr;
  nAlloc = 0;
  nCount = 0;
}

void* CRegHelper::ReallocatePairs(void* p, size_t nBytes) {
  return std::realloc(p, nBytes);
}

int CRegHelper::IndexOf(HWND hWnd) const {
  if (hWnd == nullptr) return -1;
  for (int i = 0; i < nCount; ++i) {
    if (pPairs[i].hWnd == hWnd) return i;
  }
  return -1;
}

CMirelDoc* CRegHelper::Find(HWND hWnd) const {
  const int i = IndexOf(hWnd);
  return i < 0 ? nullptr : pPairs[i].pdoc;
}

BOOL CRegHelper::Add(HWND hWnd, CMirelDoc* pdoc) {
  if (hWnd == nullptr || pdoc == nullptr || IndexOf(hWnd) >= 0) return FALSE;
  if (nCount >= INT_MAX - 2) return FALSE;
  // After this pair is stored at least one zero pair must remain.
  const int nNeeded = nCount + 2;
  if (nAlloc < nNeeded) {
    void* pGrown = ReallocatePairs(pPairs, static_cast<size_t>(nNeeded) * sizeof(MIREL_REG_PAIR));
    if (pGrown == nullptr) return FALSE;  // the old array is still valid and unchanged
    pPairs = static_cast<MIREL_REG_PAIR*>(pGrown);
    std::memset(pPairs + nAlloc, 0, static_cast<size_t>(nNeeded - nAlloc) * sizeof(MIREL_REG_PAIR));
    nAlloc = nNeeded;
  }
  // The used pairs are packed, so the first zero pair is pair nCount.
  pPairs[nCount].hWnd = hWnd;
  pPairs[nCount].pdoc = pdoc;
  ++nCount;
  return TRUE;
}

void CRegHelper::Remove(HWND hWnd) {
  if (IndexOf(hWnd) < 0) return;
  // The window goes first, while its pair is registered and its edit object
  // still exists.
  if (IsWindow(hWnd)) DestroyWindow(hWnd);
  // Destruction may have reentered the registry; Drop looks the pair up again.
  Drop(hWnd);
}

void CRegHelper::Drop(HWND hWnd) {
  const int k = IndexOf(hWnd);
  if (k < 0) return;
  std::memmove(pPairs + k, pPairs + k + 1, static_cast<size_t>(nAlloc - k - 1) * sizeof(MIREL_REG_PAIR));
  pPairs[nAlloc - 1] = MIREL_REG_PAIR{nullptr, nullptr};
  --nCount;
}
