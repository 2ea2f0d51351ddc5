// The text-store interface: what every store shares (accessors and the
// defaults of the slots a store may replace).
#include "mirel/ccontentshandler.h"

#include <cstdlib>

CContentsHandler::CContentsHandler(CMirelDoc* pDocument, BYTE nHandlerType)
    : nType(nHandlerType),
      nBomLen(0),
      pText(nullptr),
      pEditBodyFile(nullptr),
      pDoc(pDocument),
      pInsLines(nullptr),
      nAlloc(0),
      nTextLen(0),
      nBodyLen(0),
      nWindowOffset(0),
      nTextOffset(0) {}

CContentsHandler::~CContentsHandler() {
  std::free(pEditBodyFile);
  std::free(pInsLines);
}

BOOL CContentsHandler::ChangeEncoding(int /*nNewEncoding*/) {
  return FALSE;
}

BOOL CContentsHandler::DeleteText(DWORD /*nPos*/, DWORD /*nLen*/, BOOL /*bRecordUndo*/) {
  return TRUE;
}

BOOL CContentsHandler::InsertText(DWORD /*nPos*/, const BYTE* /*pData*/, DWORD /*nLen*/,
                                  BOOL /*bRecordUndo*/) {
  return TRUE;
}

BOOL CContentsHandler::LoadFile(FILE* /*pFile*/, DWORD /*nSize*/, int* /*pnEncoding*/,
                                int* /*pnFileFormat*/) {
  return FALSE;
}

BOOL CContentsHandler::Reserve(DWORD /*nExtra*/) {
  return FALSE;
}

BOOL CContentsHandler::ReplaceText(DWORD /*nPos*/, DWORD /*nOldLen*/, BOOL /*bRecordOld*/,
                                   const BYTE* /*pData*/, DWORD /*nNewLen*/, BOOL /*bRecordNew*/) {
  return TRUE;
}

BOOL CContentsHandler::RecalcLayout(int /*nFrom*/, int /*nTo*/) {
  return TRUE;
}

BYTE CContentsHandler::GetTextByte(DWORD nOffset) {
  // The zero bytes after the body answer for offsets just past the text.
  return (pText != nullptr && nOffset < nTextLen) ? pText[nOffset] : 0;
}

BYTE CContentsHandler::GetBodyByte(DWORD nOffset) {
  return (pEditBodyFile != nullptr && nOffset < nBodyLen) ? pEditBodyFile[nOffset] : 0;
}

BYTE* CContentsHandler::GetText(DWORD /*nPos*/) {
  nTextOffset = 0;
  return pText;
}

BYTE* CContentsHandler::GetBody(DWORD /*nPos*/) {
  nTextOffset = 0;
  return pEditBodyFile;
}

DWORD CContentsHandler::GetTextLength() {
  return 0;
}

DWORD CContentsHandler::GetBodyLength() {
  return 0;
}

LONG CContentsHandler::GetWindowOffset() {
  return nWindowOffset;
}

DWORD CContentsHandler::GetLoadedLength() {
  return nTextLen;
}

DWORD CContentsHandler::GetTotalLength() {
  return nBodyLen;
}

LONG CContentsHandler::GetTextOffset() {
  return nTextOffset;
}

BOOL CContentsHandler::IsValid() {
  return TRUE;
}

BOOL CContentsHandler::EditBytes(EditKind /*kind*/, DWORD /*nPos*/, DWORD /*nOldLen*/, BOOL /*bRecordOld*/,
                                 const BYTE* /*pData*/, DWORD /*nNewLen*/, BOOL /*bRecordNew*/,
                                 TextEdit* /*pEdit*/) {
  return FALSE;
}
