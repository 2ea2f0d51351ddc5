// The scanning store for very large files: it reads a file once, counting its
// line ends and testing its first line for UTF-8, and keeps no text.
#pragma once

#include "mirel/ccontentshandler.h"

// Bytes read at a time.
constexpr DWORD MIREL_HUGE_PIECE = 0x100000;

class CContentsHandlerHuge : public CContentsHandler {
 public:
  explicit CContentsHandlerHuge(CMirelDoc* pDocument);
  ~CContentsHandlerHuge() override;

  // Scans a file of nSize bytes (more than 64 KiB) from its current position.
  // Holds no text, so it always returns 0; what the scan found is read from
  // the accessors below. *pnEncoding gets the encoding the first bytes show.
  BOOL LoadFile(FILE* pFile, DWORD nSize, int* pnEncoding, int* pnFileFormat) override;

  // CR, LF and CR LF line ends counted (whole units in UTF-16).
  DWORD GetLineEndCount() const { return nLineEnds; }
  // TRUE when the first line scans as UTF-8.
  BOOL IsFirstLineUtf8() const { return bFirstLineUtf8; }
  // TRUE when the last scan read every byte of the file.
  BOOL IsScanComplete() const { return bComplete; }

 private:
  DWORD nLineEnds = 0;
  BOOL bFirstLineUtf8 = FALSE;
  BOOL bComplete = FALSE;
};
