// The scanning store: line ends are counted piece by piece, a CR LF pair
// split between two pieces counting once.
#include "mirel/ccontentshandlerhuge.h"

#include <algorithm>
#include <vector>

#include "mirel/cencodings.h"
#include "mirel/mirel.h"
#include "mirel/mrfilebom.h"

CContentsHandlerHuge::CContentsHandlerHuge(CMirelDoc* pDocument)
    : CContentsHandler(pDocument, MIREL_HANDLER_HUGE) {}

CContentsHandlerHuge::~CContentsHandlerHuge() = default;

BOOL CContentsHandlerHuge::LoadFile(FILE* pFile, DWORD nSize, int* pnEncoding, int* /*pnFileFormat*/) {
  nLineEnds = 0;
  bFirstLineUtf8 = FALSE;
  bComplete = FALSE;
  if (pFile == nullptr || pDoc == nullptr || nSize <= 65536) return FALSE;
  if (pDoc->pLines == nullptr) pDoc->GrowLines(1);
  pDoc->GrowLines(static_cast<int>(nSize / 80));

  BYTE head[3];
  if (std::fread(head, 1, 3, pFile) != 3) return FALSE;
  const MrFileStart start = MrDetectFileStart(head);
  nBomLen = start.nBomLen;
  const int nEncoding = start.nBomLen != 0 ? start.nEncoding : pDoc->nFileEncoding;
  if (pnEncoding != nullptr) *pnEncoding = start.nEncoding != 0 ? start.nEncoding : nEncoding;
  const BOOL bWide = IsWideEncoding(nEncoding);
  const DWORD nUnit = bWide ? 2 : 1;

  // Text bytes not yet counted: the start of the file after its mark, then
  // each piece; half a unit at a piece's end waits for the next piece.
  std::vector<BYTE> pending(head + nBomLen, head + 3);
  std::vector<BYTE> piece;
  bool bPrevCR = false;
  bool bFirstLine = true;
  DWORD nRead = 3;
  for (;;) {
    if (nRead < nSize) {
      const DWORD nWant = std::min(MIREL_HUGE_PIECE, nSize - nRead);
      piece.resize(nWant);
      if (std::fread(piece.data(), 1, nWant, pFile) != nWant) return FALSE;
      nRead += nWant;
      pending.insert(pending.end(), piece.begin(), piece.end());
    }
    const DWORD nWhole = static_cast<DWORD>(pending.size()) / nUnit * nUnit;
    DWORD i = 0;
    for (; i < nWhole; i += nUnit) {
      const UINT ch = MrUnitAt(pending.data() + i, bWide);
      if (ch == MR_CHAR_LF) {
        if (!bPrevCR) ++nLineEnds;
      } else if (ch == MR_CHAR_CR) {
        ++nLineEnds;
      }
      if (bFirstLine && (ch == MR_CHAR_LF || ch == MR_CHAR_CR)) {
        bFirstLine = false;
        if (!bWide) bFirstLineUtf8 = CEncodings::IsUtf8(pending.data(), static_cast<int>(i));
      }
      bPrevCR = ch == MR_CHAR_CR;
    }
    if (bFirstLine && !bWide) {
      // The first line is longer than what has been read: test what there is.
      int nTail = 0;
      bFirstLineUtf8 = CEncodings::IsUtf8(pending.data(), static_cast<int>(nWhole), &nTail);
      bFirstLine = false;
    }
    pending.erase(pending.begin(), pending.begin() + nWhole);
    if (nRead >= nSize) break;
  }
  bComplete = TRUE;
  return FALSE;  // nothing is held: the document cannot show this store
}
