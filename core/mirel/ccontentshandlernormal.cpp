// The in-memory text store: byte-order mark, text and zero padding in one
// buffer that grows in 4 KiB steps by at least the whole current need.
#include "mirel/ccontentshandlernormal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "mirel/mirel.h"
#include "mirel/mrlargeblock.h"

namespace {

// The byte-order mark an encoding keeps in front of its text (none: length 0).
struct ByteOrderMark {
  BYTE bytes[3];
  BYTE nLen;
};

ByteOrderMark MarkOf(int nEncoding) {
  switch (nEncoding) {
    case MIREL_ENCODING_UTF16BE:
      return {{0xFE, 0xFF, 0}, 2};
    case MIREL_ENCODING_UTF16LE:
      return {{0xFF, 0xFE, 0}, 2};
    case MIREL_ENCODING_UTF8_BOM:
      return {{0xEF, 0xBB, 0xBF}, 3};
    default:
      return {{0, 0, 0}, 0};
  }
}

constexpr DWORD kMaxMarkLen = 3;

}  // namespace

CContentsHandlerNormal::CContentsHandlerNormal(CMirelDoc* pDocument)
    : CContentsHandler(pDocument, MIREL_HANDLER_NORMAL) {
  Reserve(1);
  MIREL_ASSERT(pEditBodyFile);
}

CContentsHandlerNormal::~CContentsHandlerNormal() = default;

void* CContentsHandlerNormal::AllocateBody(DWORD nBytes) {
  void* p = std::calloc(nBytes, 1);
  MrAdviseLargeBlock(p, nBytes);
  return p;
}

void* CContentsHandlerNormal::ReallocateBody(void* p, DWORD nBytes) {
  void* pNew = std::realloc(p, nBytes);
  MrAdviseLargeBlock(pNew, nBytes);
  return pNew;
}

BOOL CContentsHandlerNormal::Reserve(DWORD nExtra) {
  if (nExtra > MIREL_MAX_BODY_BYTES) return FALSE;
  if (pEditBodyFile == nullptr) {
    const DWORD nSize = nExtra + 8 <= MIREL_FIRST_BODY_ALLOC
                            ? MIREL_FIRST_BODY_ALLOC
                            : ((nExtra + 4104) & ~(MIREL_BODY_GROWTH_STEP - 1));
    BYTE* pNew = static_cast<BYTE*>(AllocateBody(nSize));
    if (pNew == nullptr) return FALSE;
    const ByteOrderMark mark = MarkOf(pDoc ? pDoc->nFileEncoding : MIREL_ENCODING_ANSI);
    std::memcpy(pNew, mark.bytes, mark.nLen);
    pEditBodyFile = pNew;
    nAlloc = nSize;
    nBomLen = mark.nLen;
    pText = pEditBodyFile + nBomLen;
    nBodyLen = nBomLen;
    nTextLen = 0;
    return TRUE;
  }
  const unsigned long long nNeed = static_cast<unsigned long long>(nExtra) + nBodyLen + MIREL_BODY_PADDING;
  if (nAlloc >= nNeed) return TRUE;
  const unsigned long long nStep =
      (nNeed + MIREL_BODY_GROWTH_STEP) & ~static_cast<unsigned long long>(MIREL_BODY_GROWTH_STEP - 1);
  const unsigned long long nNewAlloc = nAlloc + nStep;
  if (nNewAlloc > 0xFFFFFFFFull || nNewAlloc > static_cast<unsigned long long>(SIZE_MAX)) return FALSE;
  BYTE* pNew = static_cast<BYTE*>(ReallocateBody(pEditBodyFile, static_cast<DWORD>(nNewAlloc)));
  if (pNew == nullptr) return FALSE;
  MIREL_ASSERT(nNewAlloc >= nNeed);
  pEditBodyFile = pNew;
  nAlloc = static_cast<DWORD>(nNewAlloc);
  pText = pEditBodyFile + nBomLen;
  return TRUE;
}

BOOL CContentsHandlerNormal::EditBytes(EditKind kind, DWORD nPos, DWORD nOldLen, BOOL bRecordOld,
                                       const BYTE* pData, DWORD nNewLen, BOOL bRecordNew, TextEdit* pEdit) {
  if (pEditBodyFile == nullptr || pDoc == nullptr) return FALSE;
  const int nView = pDoc->nViewType;
  if (nView != MIREL_VIEW_TYPE_TEXT && nView != MIREL_VIEW_TYPE_HEX) return FALSE;
  if (nNewLen > 0 && pData == nullptr) return FALSE;
  const BOOL bHex = nView == MIREL_VIEW_TYPE_HEX;
  const int nEncoding = pDoc->nFileEncoding;

  // The span must lie inside the text (text view) or the file (hex view); in
  // UTF-16 the text view edits whole units only.
  const DWORD nLimit = bHex ? nBodyLen : nTextLen;
  if (nPos > nLimit || nOldLen > nLimit - nPos) return FALSE;
  if (!bHex && IsWideEncoding(nEncoding) && ((nPos | nOldLen | nNewLen) & 1)) return FALSE;
  if (nNewLen > nOldLen && nNewLen - nOldLen > MIREL_MAX_BODY_BYTES - nBodyLen) return FALSE;
  const DWORD nBodyPos = bHex ? nPos : nPos + nBomLen;

  // Room first: an edit that is recorded must not fail afterwards.
  if (nNewLen > nOldLen && !Reserve(nNewLen - nOldLen)) return FALSE;

  // In the hex view the front bytes are edited like any others; the mark is
  // the encoding's mark whenever the body starts with it afterwards.
  BYTE nNewBom = nBomLen;
  if (bHex && nBodyPos < kMaxMarkLen) {
    const ByteOrderMark mark = MarkOf(nEncoding);
    const unsigned long long nNewBody = static_cast<unsigned long long>(nBodyLen) - nOldLen + nNewLen;
    BYTE front[kMaxMarkLen] = {0, 0, 0};
    for (DWORD i = 0; i < kMaxMarkLen && i < nNewBody; ++i) {
      if (i < nBodyPos) {
        front[i] = pEditBodyFile[i];
      } else if (i < nBodyPos + nNewLen) {
        front[i] = pData[i - nBodyPos];
      } else {
        front[i] = pEditBodyFile[i - nNewLen + nOldLen];
      }
    }
    nNewBom = (mark.nLen > 0 && nNewBody >= mark.nLen && std::memcmp(front, mark.bytes, mark.nLen) == 0)
                  ? mark.nLen
                  : 0;
  }

  // The change as the text side sees it: where the old and the new text
  // start to differ and how many bytes on each side differ up to the first
  // byte that both share again.
  TextEdit edit;
  edit.nNewBom = nNewBom;
  if (nNewBom == nBomLen && nBodyPos >= nBomLen) {
    edit.nPos = nBodyPos - nBomLen;
    edit.nOldLen = nOldLen;
    edit.nNewLen = nNewLen;
  } else {
    const long long a = nBomLen;
    const long long a2 = nNewBom;
    const long long b = nBodyPos;
    const long long o = nOldLen;
    const long long n = nNewLen;
    const long long c = std::max({b + o, a, a2 + o - n});
    edit.nPos = 0;
    if (c > static_cast<long long>(nBodyLen)) {
      edit.nOldLen = nTextLen;
      edit.nNewLen = static_cast<DWORD>(static_cast<long long>(nBodyLen) - o + n - a2);
    } else {
      edit.nOldLen = static_cast<DWORD>(c - a);
      edit.nNewLen = static_cast<DWORD>(c - o + n - a2);
    }
  }

  // Undo: the removed bytes are copied before they are overwritten.
  const BOOL bKeepOld = bRecordOld && nOldLen > 0;
  const BOOL bKeepNew = bRecordNew && nNewLen > 0;
  if (bKeepOld || bKeepNew) {
    BYTE* pOld = nullptr;
    if (bKeepOld) {
      pOld = static_cast<BYTE*>(std::malloc(nOldLen));
      if (pOld == nullptr) return FALSE;
      std::memcpy(pOld, pEditBodyFile + nBodyPos, nOldLen);
    }
    CMrUndoManager& undo = pDoc->undo;
    const LONG nUndoPos = static_cast<LONG>(nPos);
    BOOL bRecorded = TRUE;
    if (kind == EditKind::kReplace) {
      const LONG nOldCount = bKeepOld ? static_cast<LONG>(nOldLen) : 0;
      const LONG nNewCount = bKeepNew ? static_cast<LONG>(nNewLen) : 0;
      bRecorded = bHex ? undo.AddReplaceHex(nUndoPos, pOld, nOldCount, pData, nNewCount)
                       : undo.AddReplace(nUndoPos, pOld, nOldCount, pData, nNewCount);
    } else if (bKeepOld) {
      bRecorded = bHex ? undo.AddDeleteHex(nUndoPos, pOld, static_cast<LONG>(nOldLen))
                       : undo.AddDelete(nUndoPos, pOld, static_cast<LONG>(nOldLen));
    } else {
      bRecorded = bHex ? undo.AddInsertHex(nUndoPos, pData, static_cast<LONG>(nNewLen))
                       : undo.AddInsert(nUndoPos, pData, static_cast<LONG>(nNewLen));
    }
    std::free(pOld);
    // A change the history could not take is not made: undo would replay the
    // wrong bytes afterwards.
    if (!bRecorded) return FALSE;
  }

  // One overlapping move of the bytes after the span, then the new bytes.
  const DWORD nTail = nBodyLen - nBodyPos - nOldLen;
  if (nOldLen != nNewLen && nTail > 0) {
    std::memmove(pEditBodyFile + nBodyPos + nNewLen, pEditBodyFile + nBodyPos + nOldLen, nTail);
  }
  if (nNewLen > 0) std::memcpy(pEditBodyFile + nBodyPos, pData, nNewLen);
  nBodyLen = nBodyLen - nOldLen + nNewLen;
  std::memset(pEditBodyFile + nBodyLen, 0, std::min<DWORD>(MIREL_BODY_PADDING, nAlloc - nBodyLen));
  nBomLen = nNewBom;
  pText = pEditBodyFile + nBomLen;
  nTextLen = nBodyLen - nBomLen;
  if (pEdit) *pEdit = edit;
  return TRUE;
}

BOOL CContentsHandlerNormal::InsertText(DWORD nPos, const BYTE* pData, DWORD nLen, BOOL bRecordUndo) {
  if (!EditBytes(EditKind::kInsert, nPos, 0, FALSE, pData, nLen, bRecordUndo, nullptr)) return FALSE;
  pDoc->SetModified(TRUE);
  return TRUE;
}

BOOL CContentsHandlerNormal::DeleteText(DWORD nPos, DWORD nLen, BOOL bRecordUndo) {
  if (nLen == 0) return FALSE;
  if (!EditBytes(EditKind::kDelete, nPos, nLen, bRecordUndo, nullptr, 0, FALSE, nullptr)) return FALSE;
  pDoc->SetModified(TRUE);
  return TRUE;
}

BOOL CContentsHandlerNormal::ReplaceText(DWORD nPos, DWORD nOldLen, BOOL bRecordOld, const BYTE* pData,
                                         DWORD nNewLen, BOOL bRecordNew) {
  if (!EditBytes(EditKind::kReplace, nPos, nOldLen, bRecordOld, pData, nNewLen, bRecordNew, nullptr))
    return FALSE;
  pDoc->SetModified(TRUE);
  return TRUE;
}
