// Converts a whole text from one encoding to another, character by
// character, into memory or (for large texts) into a temporary file, and
// carries up to three positions (the caret and the two ends of the
// selection) through the conversion so that they point at the same
// characters afterwards.
#pragma once

#include <windows.h>

#include <cstddef>

class CMirelDoc;

class CMrCharEncoder {
 public:
  // pSource is borrowed and must outlive the encoder; nCodePage is the code
  // page of ANSI text (0: the system ANSI code page).
  CMrCharEncoder(CMirelDoc* pDocument, const BYTE* pSource, DWORD nSourceLen, int nSourceEncoding,
                 int nAnsiCodePage);
  virtual ~CMrCharEncoder();
  CMrCharEncoder(const CMrCharEncoder&) = delete;
  CMrCharEncoder& operator=(const CMrCharEncoder&) = delete;

  // Source byte offsets before Convert, converted byte offsets after it.
  void SetTrackedPointers(DWORD nCaretPos, DWORD nStart, DWORD nEnd);
  void GetTrackedPointers(DWORD* pnCaret, DWORD* pnStart, DWORD* pnEnd) const;

  // Where the memory output is allocated (the C heap by default): the text
  // store hands in its body allocation, so that the output can become its
  // new body without a copy. Blocks come from the C heap either way.
  class COutputBlocks {
   public:
    virtual ~COutputBlocks() = default;
    virtual void* Allocate(DWORD nBytes) = 0;
    virtual void* Reallocate(void* p, DWORD nBytes) = 0;
  };
  // Before Convert: the blocks to use, and the bytes kept free in front of
  // the memory output (room for a byte-order mark). pBlocks must outlive the
  // conversion.
  void SetOutputBlocks(COutputBlocks* pBlocks, DWORD nFrontRoom);
  // After Convert: hands over the memory output (free() releases it), with
  // the text nFrontRoom bytes in and *pnCapacity the block size; NULL when
  // the output is in the temporary file.
  BYTE* DetachOutput(DWORD* pnCapacity);

  // Converts the whole source; FALSE for a refused pair (UTF-16BE either way,
  // a target outside 1..5, the source's own encoding) or when the output
  // could not be written. The tracked positions are mapped only on success.
  BOOL Convert(int nTargetEncoding);
  DWORD GetOutputLength() const { return nOutLen; }
  // Copies the whole output into pDest when nCapacity holds it; returns the
  // bytes copied (0 when it does not fit or cannot be read back).
  DWORD Read(BYTE* pDest, DWORD nCapacity);
  // Kept for the interface; Read always starts at the beginning.
  void SetReadPos(DWORD nPos) { nReadPos = nPos; }

  // Texts convert in memory; through a temporary file only when room for
  // twice the source cannot be had, or when the memory output cannot grow
  // part-way (the bytes so far move to the file and the walk goes on there).
  static constexpr DWORD kMemoryLimit = 0x200000;
  // Tests lower the limit to reach the temporary-file path with small texts;
  // 0 puts the default back.
  static void SetMemoryLimitForTesting(DWORD nBytes);
  // Tests stand in for a failing allocation or a full disk: the memory output
  // cannot grow past nMemoryBytes, and writes that would take the temporary
  // file past nFileBytes fail. 0 lifts a limit.
  static void SetOutputLimitsForTesting(DWORD nMemoryBytes, DWORD nFileBytes);
  // The path of the temporary file while there is one, else "".
  const char* GetTempName() const { return pszTempName != nullptr ? pszTempName : ""; }

 private:
  class COutput;
  friend class COutput;

  BOOL OpenTempFile();
  void CloseTempFile();
  void FreeOutput();
  void* ReallocateOutput(void* p, DWORD nBytes);

  BYTE* pOut;  // memory output (C heap), nOutCap bytes, the text nOutFront bytes in
  size_t nOutCap;
  DWORD nOutFront;
  COutputBlocks* pOutBlocks;
  const BYTE* pSrc;
  char* pszTempName;
  HANDLE hTempFile;
  int nSrcEncoding;
  int nCodePage;
  DWORD nOutLen;
  DWORD nSrcLen;
  DWORD nReadPos;
  DWORD nCaret;
  DWORD nBlockStart;
  DWORD nBlockEnd;
};
