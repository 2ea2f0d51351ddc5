// Global-memory blocks of the clipboard transfer.
#include "mirel/cclipboarddata.h"

#include "mirel/mirel.h"

CClipboardData::CClipboardData(HGLOBAL hBlock) {
  Attach(hBlock);
}

CClipboardData::~CClipboardData() {
  Release();
}

void CClipboardData::Release() {
  if (hMem == nullptr) return;
  if (pData != nullptr) GlobalUnlock(hMem);
  if (bOwned) GlobalFree(hMem);
  hMem = nullptr;
  pData = nullptr;
  bOwned = FALSE;
}

BOOL CClipboardData::Alloc(SIZE_T nSize) {
  Release();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, nSize);
  if (h == nullptr) return FALSE;
  BYTE* p = static_cast<BYTE*>(GlobalLock(h));
  if (p == nullptr) {
    GlobalFree(h);
    return FALSE;
  }
  hMem = h;
  pData = p;
  bOwned = TRUE;
  return TRUE;
}

BOOL CClipboardData::ReAlloc(HGLOBAL hBlock, SIZE_T nSize) {
  MIREL_ASSERT_TEXT(hBlock != nullptr, "h");
  if (hBlock == nullptr) return FALSE;
  if (hBlock == hMem && pData != nullptr) {
    GlobalUnlock(hMem);
    pData = nullptr;
  }
  HGLOBAL h = GlobalReAlloc(hBlock, nSize, GMEM_MOVEABLE | GMEM_ZEROINIT);
  if (h == nullptr) return FALSE;
  BYTE* p = static_cast<BYTE*>(GlobalLock(h));
  if (p == nullptr) return FALSE;
  hMem = h;
  pData = p;
  bOwned = TRUE;
  return TRUE;
}

BOOL CClipboardData::Attach(HGLOBAL hBlock) {
  MIREL_ASSERT_TEXT(pData == nullptr, "!ptr");
  if (hBlock == nullptr || pData != nullptr) return FALSE;
  BYTE* p = static_cast<BYTE*>(GlobalLock(hBlock));
  if (p == nullptr) return FALSE;
  hMem = hBlock;
  pData = p;
  bOwned = FALSE;
  return TRUE;
}

HGLOBAL CClipboardData::Detach() {
  MIREL_ASSERT_TEXT(pData != nullptr, "ptr");
  HGLOBAL h = hMem;
  if (h != nullptr && pData != nullptr) GlobalUnlock(h);
  hMem = nullptr;
  pData = nullptr;
  bOwned = FALSE;
  return h;
}

SIZE_T CClipboardData::GetSize() const {
  return hMem != nullptr ? GlobalSize(hMem) : 0;
}

BOOL CClipboardData::SetClipboard(UINT uClipFormat) {
  if (hMem == nullptr) return FALSE;
  const BOOL bWasOwned = bOwned;
  HGLOBAL h = Detach();
  if (SetClipboardData(uClipFormat, h) != nullptr) return TRUE;
  // Not taken: still ours to free.
  if (bWasOwned) GlobalFree(h);
  return FALSE;
}
