// The windowed read-only store. The file is copied once into a temporary file
// while its rows are laid out; readers get a window of about a hundred rows
// read back from the copy, never the whole text.
#include "mirel/ccontentshandlerviewer.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "mirel/ccontentssector.h"
#include "mirel/mirel.h"
#include "mirel/mrfilebom.h"

namespace {

std::atomic<int> gTempCounter{0};

bool SeekTo(std::FILE* pFile, DWORD nOffset) {
#ifdef _WIN32
  return _fseeki64(pFile, static_cast<long long>(nOffset), SEEK_SET) == 0;
#else
  return fseeko(pFile, static_cast<off_t>(nOffset), SEEK_SET) == 0;
#endif
}

}  // namespace

CContentsHandlerViewer::CContentsHandlerViewer(CMirelDoc* pDocument)
    : CContentsHandler(pDocument, MIREL_HANDLER_VIEWER), window(MIREL_BODY_PADDING, 0) {}

CContentsHandlerViewer::~CContentsHandlerViewer() {
  Discard();
}

void CContentsHandlerViewer::Discard() {
  if (pCopy != nullptr) std::fclose(pCopy);
  pCopy = nullptr;
  if (!tempPath.empty()) std::remove(tempPath.c_str());
  tempPath.clear();
  sectors.clear();
  window.assign(MIREL_BODY_PADDING, 0);
  nWindowOffset = nTextOffset = 0;
  nTotalTextLen = nTextLen = nBodyLen = 0;
  nBomLen = 0;
  nRows = 0;
  nPara = nSubLine = 0;
  bLoaded = false;
}

BOOL CContentsHandlerViewer::ChangeEncoding(int /*nNewEncoding*/) {
  return FALSE;
}
BOOL CContentsHandlerViewer::RebuildLines() {
  return FALSE;
}
BOOL CContentsHandlerViewer::DeleteAndRelayout(DWORD /*nPos*/, DWORD /*nLen*/, BOOL /*bRecordUndo*/) {
  return FALSE;
}
BOOL CContentsHandlerViewer::InsertAndRelayout(DWORD /*nPos*/, const BYTE* /*pData*/, DWORD /*nLen*/,
                                               BOOL /*bRecordUndo*/) {
  return FALSE;
}
BOOL CContentsHandlerViewer::ReplaceAndRelayout(DWORD /*nPos*/, DWORD /*nOldLen*/, BOOL /*bRecordOld*/,
                                                const BYTE* /*pData*/, DWORD /*nNewLen*/,
                                                BOOL /*bRecordNew*/) {
  return FALSE;
}
BOOL CContentsHandlerViewer::RecalcLayout(int /*nFrom*/, int /*nTo*/) {
  return FALSE;
}

DWORD CContentsHandlerViewer::FindCut(const BYTE* p, DWORD nLen, DWORD nFrom) const {
  const DWORD nUnit = bWide ? 2 : 1;
  const UINT chPage = pDoc->chPageBreak;
  nFrom = nFrom / nUnit * nUnit;
  for (DWORD i = nLen / nUnit * nUnit; i >= nFrom + nUnit; i -= nUnit) {
    const UINT ch = MrUnitAt(p + i - nUnit, bWide);
    // A CR at the very end may be the first half of a CR LF pair.
    if (ch == MR_CHAR_CR && i + nUnit > nLen) continue;
    if (ch == MR_CHAR_CR || ch == MR_CHAR_LF || (chPage != 0 && ch == chPage)) return i;
  }
  return 0;
}

BOOL CContentsHandlerViewer::AddRow(DWORD nStart, DWORD nLen, bool bEndsParagraph) {
  CMirelDoc* d = pDoc;
  if (nRows >= d->nLineAlloc && !d->GrowLines(std::max(256, d->nLineAlloc / 2)) && !d->GrowLines(1))
    return FALSE;
  MIREL_LINE& row = d->pLines[nRows++];
  row = MIREL_LINE{};
  row.nStart = nStart;
  row.nPara = nPara;
  row.nSubLine = nSubLine;
  row.nLen = static_cast<WORD>(nLen);
  row.nKind = MIREL_LINE_ROW;
  if (bEndsParagraph) {
    ++nPara;
    nSubLine = 0;
  } else {
    ++nSubLine;
  }
  return TRUE;
}

BOOL CContentsHandlerViewer::LayRows(const BYTE* p, DWORD nLen, DWORD nBase, bool bLast) {
  const DWORD nUnit = bWide ? 2 : 1;
  const UINT chPage = pDoc->chPageBreak;
  const int nEncoding = pDoc->nFileEncoding;
  const bool bUtf8 = nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM;
  const BYTE* pLead = bWide || bUtf8 ? nullptr : pDoc->GetLeadByteTable();
  DWORD nRowStart = 0;
  DWORD i = 0;
  while (i + nUnit <= nLen) {
    const UINT ch = MrUnitAt(p + i, bWide);
    if (ch == MR_CHAR_CR || ch == MR_CHAR_LF) {
      DWORD nNext = i + nUnit;
      if (ch == MR_CHAR_CR && nNext + nUnit <= nLen && MrUnitAt(p + nNext, bWide) == MR_CHAR_LF)
        nNext += nUnit;
      if (!AddRow(nBase + nRowStart, i - nRowStart, true)) return FALSE;
      nRowStart = i = nNext;
      continue;
    }
    if (chPage != 0 && ch == chPage) {
      // The page break closes its row; the paragraph goes on below it.
      i += nUnit;
      if (!AddRow(nBase + nRowStart, i - nRowStart, false)) return FALSE;
      nRowStart = i;
      continue;
    }
    DWORD nChar = nUnit;
    if (bUtf8) {
      while (i + nChar < nLen && nChar < 4 && (p[i + nChar] & 0xC0) == 0x80) ++nChar;
    } else if (pLead != nullptr && pLead[p[i]] && i + 1 < nLen) {
      nChar = 2;
    }
    // A row holds at most 0xFFFF bytes: a longer paragraph goes on in the next row.
    if (i + nChar - nRowStart > MIREL_MAX_ROW_BYTES && i > nRowStart) {
      if (!AddRow(nBase + nRowStart, i - nRowStart, false)) return FALSE;
      nRowStart = i;
    }
    i += nChar;
  }
  if (!bLast) return TRUE;
  if (!AddRow(nBase + nRowStart, nLen - nRowStart, true)) return FALSE;
  pDoc->pLines[nRows - 1].nKind = MIREL_LINE_LAST;
  return TRUE;
}

BOOL CContentsHandlerViewer::LoadFile(FILE* pFile, DWORD nSize, int* pnEncoding, int* pnFileFormat) {
  if (pFile == nullptr || pDoc == nullptr || nSize <= MIREL_LARGE_FILE_MIN) return FALSE;
  Discard();
  char szPath[MAX_PATH + 64];
  if (!CContentsSector::MakeTempFileName(static_cast<int>(GetCurrentProcessId()), ++gTempCounter, szPath,
                                         sizeof(szPath)))
    return FALSE;
  pCopy = std::fopen(szPath, "w+b");  // written now, read back window by window
  if (pCopy == nullptr) return FALSE;
  tempPath = szPath;

  bool bOk = true;
  BYTE head[3];
  if (std::fread(head, 1, 3, pFile) != 3 || std::fwrite(head, 1, 3, pCopy) != 3) bOk = false;
  const MrFileStart start = bOk ? MrDetectFileStart(head) : MrFileStart{0, 0};
  if (start.nBomLen != 0) pDoc->nFileEncoding = static_cast<BYTE>(start.nEncoding);
  nBomLen = start.nBomLen;
  bWide = IsWideEncoding(pDoc->nFileEncoding) != FALSE;
  nTotalTextLen = nSize - nBomLen;
  if (bOk && pDoc->pLines == nullptr) bOk = pDoc->GrowLines(1) != FALSE;
  if (bOk) pDoc->GrowLines(static_cast<int>(nSize / 80));  // a guess: the rows grow as needed anyway
  pDoc->InvalidateParagraphDataFrom(0);

  std::vector<BYTE> buffer(head + nBomLen, head + 3);
  DWORD nBufferBase = 0;  // text offset of buffer[0]
  DWORD nRead = 3;
  const DWORD nUnit = bWide ? 2 : 1;
  const DWORD nChunk = nSize < MIREL_VIEWER_CHUNK / 2 ? nSize : MIREL_VIEWER_CHUNK;
  while (bOk && nRead < nSize) {
    const DWORD nWant = std::min(nChunk, nSize - nRead);
    const size_t nOld = buffer.size();
    buffer.resize(nOld + nWant);
    if (std::fread(buffer.data() + nOld, 1, nWant, pFile) != nWant ||
        std::fwrite(buffer.data() + nOld, 1, nWant, pCopy) != nWant) {
      bOk = false;
      break;
    }
    nRead += nWant;
    if (nRead == nSize) break;
    // Only the new bytes can hold the cut, or a CR held back just before them.
    const DWORD nOldUnits = static_cast<DWORD>(nOld) / nUnit * nUnit;
    const DWORD nCut =
        FindCut(buffer.data(), static_cast<DWORD>(buffer.size()), nOldUnits >= nUnit ? nOldUnits - nUnit : 0);
    if (nCut == 0) continue;  // one paragraph longer than the chunk: carried whole
    sectors.push_back({nBufferBase + nBomLen, nBufferBase + nBomLen + nCut});
    MirelTrace("sector: %d, sci %d, eci: %d\n", static_cast<int>(sectors.size() - 1),
               static_cast<int>(sectors.back().nStart), static_cast<int>(sectors.back().nEnd));
    bOk = LayRows(buffer.data(), nCut, nBufferBase, false) != FALSE;
    buffer.erase(buffer.begin(), buffer.begin() + nCut);
    nBufferBase += nCut;
  }
  if (bOk) {
    sectors.push_back({nBufferBase + nBomLen, nSize});
    bOk = LayRows(buffer.data(), static_cast<DWORD>(buffer.size()), nBufferBase, true) != FALSE;
    MirelTrace("\xC6\xC4\xC0\xCF \xB3\xA1\n");  // end of the file
  }
  if (bOk) bOk = std::fflush(pCopy) == 0;
  CMirelDoc* d = pDoc;
  if (!bOk) {
    Discard();
    // The table is left as one empty row rather than half a file.
    nRows = 0;
    AddRow(0, 0, true);
    d->pLines[0].nKind = MIREL_LINE_LAST;
  }
  d->nLineCount = nRows;
  std::memset(d->pLines + nRows, 0, static_cast<size_t>(d->nLineAlloc - nRows) * sizeof(MIREL_LINE));
  if (!bOk) return FALSE;
  nTextLen = nTotalTextLen;
  nBodyLen = nSize;
  bLoaded = true;
  LoadWindow(0);
  if (pnEncoding != nullptr) *pnEncoding = start.nEncoding != 0 ? start.nEncoding : d->nFileEncoding;
  if (pnFileFormat != nullptr) *pnFileFormat = d->nFileFormat;
  return TRUE;
}

BOOL CContentsHandlerViewer::LoadWindow(DWORD nPos) {
  CMirelDoc* d = pDoc;
  if (!bLoaded || d->pLines == nullptr || d->nLineCount <= 0) return FALSE;
  const int nCount = d->nLineCount;
  const int nRow = std::min(std::max(d->GetLineFromPos(nPos), 0), nCount - 1);
  const int nBlock = nRow / MIREL_VIEWER_BLOCK_ROWS * MIREL_VIEWER_BLOCK_ROWS;
  int nFirst = nBlock;
  while (nFirst > 0 && d->pLines[nFirst].nSubLine > 0) --nFirst;
  int nEnd = std::min(nBlock + MIREL_VIEWER_BLOCK_ROWS, nCount);
  while (nEnd < nCount && d->pLines[nEnd].nSubLine > 0) ++nEnd;
  const DWORD nStart = d->pLines[nFirst].nStart;
  const DWORD nStop = nEnd < nCount ? d->pLines[nEnd].nStart : nTotalTextLen;
  const DWORD nLen = nStop > nStart ? nStop - nStart : 0;
  if (static_cast<DWORD>(nWindowOffset) == nStart && GetLoadedLength() == nLen && nLen > 0) return TRUE;
  window.assign(static_cast<size_t>(nLen) + MIREL_BODY_PADDING, 0);
  if (!SeekTo(pCopy, nStart + nBomLen) || std::fread(window.data(), 1, nLen, pCopy) != nLen) {
    window.assign(MIREL_BODY_PADDING, 0);  // nothing readable: an empty window
    nWindowOffset = nTextOffset = static_cast<LONG>(nStart);
    return FALSE;
  }
  nWindowOffset = nTextOffset = static_cast<LONG>(nStart);
  return TRUE;
}

BYTE* CContentsHandlerViewer::GetText(DWORD nPos) {
  LoadWindow(nPos);
  nTextOffset = nWindowOffset;
  return window.data();
}

BYTE CContentsHandlerViewer::ReadFileByte(DWORD nOffset) {
  if (pCopy == nullptr || nOffset >= nTotalTextLen + nBomLen || !SeekTo(pCopy, nOffset)) return 0;
  const int ch = std::fgetc(pCopy);
  return ch == EOF ? 0 : static_cast<BYTE>(ch);
}

BYTE CContentsHandlerViewer::GetTextByte(DWORD nOffset) {
  if (nOffset >= nTotalTextLen) return 0;
  const DWORD nWindowStart = static_cast<DWORD>(nWindowOffset);
  if (nOffset >= nWindowStart && nOffset - nWindowStart < GetLoadedLength())
    return window[nOffset - nWindowStart];
  return ReadFileByte(nOffset + nBomLen);
}

BYTE CContentsHandlerViewer::GetBodyByte(DWORD nOffset) {
  return ReadFileByte(nOffset);
}
