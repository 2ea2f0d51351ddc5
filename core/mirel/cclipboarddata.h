// One movable global-memory block on its way to or from the clipboard.
//
// A block made with Alloc belongs to the object until SetClipboard* hands it
// to the clipboard; one that was never handed over is freed with the object.
// A block attached from GetClipboardData belongs to the clipboard: it is only
// locked and unlocked, never freed.
#pragma once

#include <windows.h>

class CClipboardData {
 public:
  CClipboardData() = default;
  // Takes a clipboard block for reading (locked when not NULL).
  explicit CClipboardData(HGLOBAL hBlock);
  virtual ~CClipboardData();
  CClipboardData(const CClipboardData&) = delete;
  CClipboardData& operator=(const CClipboardData&) = delete;

  // A new zero-filled block of nSize bytes, locked; FALSE on failure.
  BOOL Alloc(SIZE_T nSize);
  // A block of our own resized (zero-filled growth) and locked; FALSE for
  // NULL or on failure.
  BOOL ReAlloc(HGLOBAL hBlock, SIZE_T nSize);
  // Locks a clipboard block for reading; FALSE for NULL or when one is held.
  BOOL Attach(HGLOBAL hBlock);
  // Unlocks and forgets the block without freeing it.
  HGLOBAL Detach();
  // GlobalSize of the block (0 without one).
  SIZE_T GetSize() const;
  BYTE* GetPtr() const { return pData; }

  UINT GetFormat() const { return uFormat; }
  void SetFormat(UINT uNewFormat) { uFormat = uNewFormat; }
  // Places the block with the object's format / the given format; the
  // clipboard must be open. A block the clipboard refuses is freed.
  BOOL SetClipboardDefault() { return SetClipboard(uFormat); }
  BOOL SetClipboard(UINT uClipFormat);

 private:
  void Release();

  HGLOBAL hMem = nullptr;
  UINT uFormat = CF_UNICODETEXT;
  BYTE* pData = nullptr;
  BOOL bOwned = FALSE;
};
