// Re-encoding the whole text in place: the converted text goes into a new
// body, which replaces the old one only once it is complete, and the caret
// and selection move with the characters they stood at.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "mirel/ccontentshandlernormal.h"
#include "mirel/cmrcharencoder.h"
#include "mirel/mirel.h"

namespace {

// The byte-order mark the text of an encoding starts with (may be empty).
DWORD WriteMark(int nEncoding, BYTE* p) {
  switch (nEncoding) {
    case MIREL_ENCODING_UTF16BE:
      p[0] = 0xFE;
      p[1] = 0xFF;
      return 2;
    case MIREL_ENCODING_UTF16LE:
      p[0] = 0xFF;
      p[1] = 0xFE;
      return 2;
    case MIREL_ENCODING_UTF8_BOM:
      p[0] = 0xEF;
      p[1] = 0xBB;
      p[2] = 0xBF;
      return 3;
    default:
      return 0;
  }
}

}  // namespace

BOOL CContentsHandlerNormal::ChangeEncoding(int nNewEncoding) {
  if (pEditBodyFile == nullptr || pDoc == nullptr) return TRUE;
  if (nNewEncoding == pDoc->nFileEncoding) return FALSE;
  CMirelDoc& doc = *pDoc;
  // In the hex view positions count the mark; the encoder counts text bytes.
  const BOOL bHex = doc.nViewType == MIREL_VIEW_TYPE_HEX;
  const DWORD nOldMark = bHex ? nBomLen : 0;
  auto toText = [&](DWORD n) { return n > nOldMark ? std::min(n - nOldMark, nTextLen) : 0; };
  // The selection keeps its direction: its anchor and caret are mapped each.
  const int nAnchorLine = doc.block.nAnchorLine;
  const int nBlockCaretLine = doc.block.nCaretLine;

  // The converted text is written into a block of the body's own kind,
  // behind room for the new mark, and becomes the new body without a copy.
  class CBodyBlocks : public CMrCharEncoder::COutputBlocks {
   public:
    explicit CBodyBlocks(CContentsHandlerNormal& store) : m_store(store) {}
    void* Allocate(DWORD nBytes) override { return m_store.AllocateBody(nBytes); }
    void* Reallocate(void* p, DWORD nBytes) override { return m_store.ReallocateBody(p, nBytes); }

   private:
    CContentsHandlerNormal& m_store;
  };
  CBodyBlocks blocks(*this);
  BYTE mark[3];
  const DWORD nMark = WriteMark(nNewEncoding, mark);

  CMrCharEncoder enc(&doc, pText, nTextLen, doc.nFileEncoding, doc.nCodePage);
  enc.SetOutputBlocks(&blocks, nMark);
  enc.SetTrackedPointers(toText(static_cast<DWORD>(std::max(doc.nCaretPos, 0))), toText(doc.block.nAnchor),
                         toText(doc.block.nCaret));
  if (!enc.Convert(nNewEncoding)) return FALSE;

  const DWORD nNewText = enc.GetOutputLength();
  if (nNewText > MIREL_MAX_BODY_BYTES - nMark) return FALSE;
  const DWORD nNeed = nMark + nNewText + MIREL_BODY_PADDING;
  const DWORD nSize = std::max(MIREL_FIRST_BODY_ALLOC, (nNeed + 4104) & ~(MIREL_BODY_GROWTH_STEP - 1));
  DWORD nOutCap = 0;
  BYTE* pNew = enc.DetachOutput(&nOutCap);
  if (pNew != nullptr) {
    // Cut (or grown) to the body size; the bytes after the text are zero as
    // everywhere.
    BYTE* pFit = static_cast<BYTE*>(ReallocateBody(pNew, nSize));
    if (pFit == nullptr) {
      std::free(pNew);
      return FALSE;
    }
    pNew = pFit;
    std::memset(pNew + nMark + nNewText, 0, nSize - nMark - nNewText);
  } else {
    // Zero-filled, so the bytes after the new body end are zero as everywhere.
    pNew = static_cast<BYTE*>(AllocateBody(nSize));
    if (pNew == nullptr) return FALSE;
    if (enc.Read(pNew + nMark, nNewText) != nNewText) {
      std::free(pNew);
      return FALSE;
    }
  }
  std::memcpy(pNew, mark, nMark);
  std::free(pEditBodyFile);
  pEditBodyFile = pNew;
  nAlloc = nSize;
  nBomLen = static_cast<BYTE>(nMark);
  pText = pEditBodyFile + nBomLen;
  nTextLen = nNewText;
  nBodyLen = nMark + nNewText;

  DWORD nCaret = 0, nAnchor = 0, nBlockCaret = 0;
  enc.GetTrackedPointers(&nCaret, &nAnchor, &nBlockCaret);
  const DWORD nNewMark = bHex ? nMark : 0;
  doc.nCaretPos = static_cast<int>(nCaret + nNewMark);
  doc.block.Reset(nAnchor + nNewMark, nAnchorLine, FALSE);
  doc.block.SetCaret(nBlockCaret + nNewMark, nBlockCaretLine);
  return TRUE;
}
