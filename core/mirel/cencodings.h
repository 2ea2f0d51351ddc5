// Encoding detection and the one-shot converter between the ANSI code page,
// UTF-16LE and UTF-8, with the UTF-8/UTF-16 routines the rest of the core
// shares.
#pragma once

#include <windows.h>

#include "mirelctrl/mirelctrl.h"

// One conversion of a borrowed source buffer. The output belongs to the
// object: callers copy it before the object goes.
class CEncodings {
 public:
  // Detects the encoding of the bytes; the ANSI side uses the system code page.
  CEncodings(const BYTE* pData, int nLen);
  // nEncoding 0 (MIREL_ENCODING_UNDEFINED) means detect; nCodePage 0 is CP_ACP.
  CEncodings(const BYTE* pData, int nLen, int nEncoding, int nCodePage);
  virtual ~CEncodings();

  CEncodings(const CEncodings&) = delete;
  CEncodings& operator=(const CEncodings&) = delete;

  // Encoding of a byte buffer: a byte-order mark, else UTF-8 when IsUtf8
  // holds, else ANSI. Never returns MIREL_ENCODING_UTF16BE.
  static int DetectEncoding(const BYTE* pData, int nLen);

  // TRUE when the bytes scan as UTF-8 (two-byte sequences from C2, three-byte
  // sequences with a non-zero payload in the lead byte, well-formed four-byte
  // sequences up to U+10FFFF, no zero byte) and hold at least one multi-byte
  // sequence. A sequence cut at the very end is allowed; its
  // length goes to *pnTail (0 when none) when pnTail is not NULL.
  static BOOL IsUtf8(const BYTE* pData, int nLen, int* pnTail = nullptr);

  // Source UTF-16LE or UTF-8 to the code page. Returns the output length in
  // bytes, 0 when there is nothing to do (ANSI source), nothing to convert or
  // the conversion failed.
  int ToMultiByte();
  // Source ANSI or UTF-8 to UTF-16LE; returns the output length in bytes.
  int ToWideChar();
  // Source ANSI or UTF-16LE to UTF-8; returns the output length in bytes.
  int ToUtf8();

  int GetEncoding() const { return nEncoding; }
  const BYTE* GetOutput() const { return pOut; }
  int GetOutputLength() const { return nOutLen; }

 private:
  void ReleaseOutput();
  // Takes ownership of a malloc'ed buffer of nLen bytes.
  void AdoptOutput(BYTE* pBuf, int nLen);
  // Converts wide units to the code page into an owned buffer.
  int WideToOutputMultiByte(const WCHAR* pUnits, int nUnits);
  // Converts wide units to UTF-8 into an owned buffer.
  int WideToOutputUtf8(const WCHAR* pUnits, int nUnits);

  BOOL bOwnsOut;
  const BYTE* pSrc;
  BYTE* pOut;
  int nEncoding;
  int nOutLen;
  int nSrcLen;
  int nCodePage;
};

// UTF-16 units to UTF-8. Stops at a zero unit, at the end of the units, or at
// the first character that no longer fits in nDstSize bytes (characters are
// never split). A high surrogate followed by a low one makes one 4-byte
// character; any other surrogate is written as U+FFFD. Returns the bytes
// written.
int Utf16ToUtf8(const WCHAR* pUnits, int nUnits, BYTE* pDst, int nDstSize);

// Bytes Utf16ToUtf8 writes for these units given room enough.
int Utf8LengthOfUtf16(const WCHAR* pUnits, int nUnits);

// UTF-8 bytes to UTF-16 units. Well-formed sequences of one to four bytes
// decode to their character (two units for characters above U+FFFF); each
// ill-formed part (a stray continuation byte, a bad lead byte, an overlong or
// surrogate form, a sequence broken or cut at the end) becomes one U+FFFD.
// Stops when the next character no longer fits in nDstUnits units (a
// surrogate pair is written whole or not at all). Returns the units written.
int Utf8ToUtf16(const BYTE* pBytes, int nBytes, WCHAR* pDst, int nDstUnits);

// Units Utf8ToUtf16 writes for these bytes given room enough.
int Utf8CountUtf16Units(const BYTE* pBytes, int nBytes);
