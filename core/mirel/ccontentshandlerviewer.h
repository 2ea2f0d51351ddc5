// The read-only store for large files: the file is copied to a temporary file
// and read back one window of rows at a time. The line table is laid out at
// line ends and page breaks while the file is copied (no wrapping).
#pragma once

#include <string>
#include <vector>

#include "mirel/ccontentshandler.h"

// Smallest file a large-file store takes: anything not larger stays in memory.
constexpr DWORD MIREL_LARGE_FILE_MIN = 65536;
// Bytes read from the file at a time (the whole file when below the half).
constexpr DWORD MIREL_VIEWER_CHUNK = 0x200000;
// Rows per window block.
constexpr int MIREL_VIEWER_BLOCK_ROWS = 100;

struct MIREL_SECTOR {
  DWORD nStart;  // file offset of the first byte
  DWORD nEnd;    // file offset after the last byte
};

class CContentsHandlerViewer : public CContentsHandler {
 public:
  explicit CContentsHandlerViewer(CMirelDoc* pDocument);
  // Closes and removes the temporary copy.
  ~CContentsHandlerViewer() override;

  // Read-only: none of these change anything.
  BOOL ChangeEncoding(int nNewEncoding) override;
  BOOL RebuildLines() override;
  BOOL DeleteAndRelayout(DWORD nPos, DWORD nLen, BOOL bRecordUndo) override;
  BOOL InsertAndRelayout(DWORD nPos, const BYTE* pData, DWORD nLen, BOOL bRecordUndo) override;
  BOOL ReplaceAndRelayout(DWORD nPos, DWORD nOldLen, BOOL bRecordOld, const BYTE* pData, DWORD nNewLen,
                          BOOL bRecordNew) override;
  BOOL RecalcLayout(int nFrom, int nTo) override;

  // Copies a file of nSize bytes (more than 64 KiB) from its current start,
  // cuts it into sectors and lays out its rows into the document's table.
  // *pnEncoding gets the encoding its first bytes show (the document's when
  // they show none), *pnFileFormat the document's newline kind. FALSE, with
  // nothing kept, when the file is too small, cannot be read whole or the
  // copy cannot be written.
  BOOL LoadFile(FILE* pFile, DWORD nSize, int* pnEncoding, int* pnFileFormat) override;

  BYTE GetTextByte(DWORD nOffset) override;
  BYTE GetBodyByte(DWORD nOffset) override;
  // The window holding the position (loaded when needed); its offset is
  // GetTextOffset and its length GetLoadedLength. NULL when nothing is loaded.
  BYTE* GetText(DWORD nPos) override;
  DWORD GetTextLength() override { return nTotalTextLen; }
  DWORD GetBodyLength() override { return nTotalTextLen + nBomLen; }
  DWORD GetTotalLength() override { return nTotalTextLen + nBomLen; }
  LONG GetWindowOffset() override { return nWindowOffset; }
  LONG GetTextOffset() override { return nWindowOffset; }
  DWORD GetLoadedLength() override { return static_cast<DWORD>(window.size()) - MIREL_BODY_PADDING; }

  // One byte at a raw file offset (the mark included); 0 past the end.
  BYTE ReadFileByte(DWORD nOffset);

  const std::vector<MIREL_SECTOR>& GetSectors() const { return sectors; }
  const std::string& GetCopyPath() const { return tempPath; }

 private:
  // Lays out the rows of whole paragraphs (and page-break-ended pieces) of
  // text starting at text offset nBase; bLast adds the text's final row.
  BOOL LayRows(const BYTE* p, DWORD nLen, DWORD nBase, bool bLast);
  BOOL AddRow(DWORD nStart, DWORD nLen, bool bEndsParagraph);
  // Offset just after the last line end or page break of the buffer at or
  // after nFrom, 0 for none.
  DWORD FindCut(const BYTE* p, DWORD nLen, DWORD nFrom) const;
  // Loads the rows around the row of nPos into the window.
  BOOL LoadWindow(DWORD nPos);
  void Discard();

  std::vector<MIREL_SECTOR> sectors;
  std::FILE* pCopy = nullptr;
  std::string tempPath;
  std::vector<BYTE> window;  // the loaded text, then zero padding
  DWORD nTotalTextLen = 0;
  int nRows = 0;  // rows laid out so far
  DWORD nPara = 0;
  DWORD nSubLine = 0;
  bool bWide = false;
  bool bLoaded = false;
};
