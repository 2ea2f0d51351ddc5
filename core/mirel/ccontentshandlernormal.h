// The in-memory text store: the whole body in one growable buffer.
#pragma once

#include "mirel/ccontentshandler.h"

// Size of the first buffer.
constexpr DWORD MIREL_FIRST_BODY_ALLOC = 0x10000;
// Growth granularity of the buffer.
constexpr DWORD MIREL_BODY_GROWTH_STEP = 4096;

class CContentsHandlerNormal : public CContentsHandler {
 public:
  explicit CContentsHandlerNormal(CMirelDoc* pDocument);
  ~CContentsHandlerNormal() override;

  // Re-encodes the whole text (ccontentshandlernormal_encoding.cpp): 1 when
  // converted (or without a body), 0 with the old text intact otherwise.
  BOOL ChangeEncoding(int nNewEncoding) override;
  BOOL DeleteText(DWORD nPos, DWORD nLen, BOOL bRecordUndo) override;
  BOOL InsertText(DWORD nPos, const BYTE* pData, DWORD nLen, BOOL bRecordUndo) override;
  BOOL Reserve(DWORD nExtra) override;
  BOOL ReplaceText(DWORD nPos, DWORD nOldLen, BOOL bRecordOld, const BYTE* pData, DWORD nNewLen,
                   BOOL bRecordNew) override;
  DWORD GetTextLength() override { return nTextLen; }
  DWORD GetBodyLength() override { return nBodyLen; }

 protected:
  BOOL EditBytes(EditKind kind, DWORD nPos, DWORD nOldLen, BOOL bRecordOld, const BYTE* pData, DWORD nNewLen,
                 BOOL bRecordNew, TextEdit* pEdit) override;
  // Memory of the body buffer; tests fail them to exercise the recovery paths.
  virtual void* AllocateBody(DWORD nBytes);
  virtual void* ReallocateBody(void* p, DWORD nBytes);
};
