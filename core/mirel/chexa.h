// Hexadecimal text to bytes and back, for the hex search and replace.
#pragma once

#include <windows.h>

class CHexa {
 public:
  CHexa() = default;
  virtual ~CHexa() = default;

  // Value of a string of hexadecimal digits (0-9, a-f, A-F). An empty or
  // NULL string, or any other character, traces and gives 0. Digits beyond
  // the eighth wrap the value modulo 2^32.
  int HexToInt(const char* pszHex);

  // Bytes of the hex text in the first nLen characters (a zero byte ends it
  // earlier). Blanks, tabs, CR and LF are skipped; the remaining characters
  // are taken in pairs, a pair that is not hexadecimal gives the byte 0. An
  // odd number of remaining characters gives 0 and writes nothing. With
  // pOut NULL only the count is returned; otherwise pOut must hold it.
  int HexTextToBytes(const char* pszText, int nLen, BYTE* pOut);
  // The characters of the first nLen (up to a zero byte) that HexTextToBytes
  // takes in pairs: all but blanks, tabs, CR and LF.
  int CountHexChars(const char* pszText, int nLen);

  // As HexTextToBytes over a zero-terminated text, but an odd count is padded
  // with a final digit "0", and the bytes are followed by a zero byte. With
  // pOut NULL returns the byte count; when the bytes and the zero byte do not
  // fit in nOutSize, writes nothing and returns 0.
  int HexTextToBytesPadded(const char* pszText, BYTE* pOut, int nOutSize);

  // Upper-case hexadecimal digits of a non-negative value, at least two, and
  // a terminating zero. A negative value traces and gives 0 with an empty
  // text; so does a buffer too small for the digits and the zero. Returns
  // the number of digits.
  int IntToHex(int nValue, char* pszOut, int nOutSize);

  // Two upper-case digits per byte, one blank between bytes when bSpaced,
  // then a terminating zero. Writes whole bytes only, as many as fit in
  // nOutSize with the zero; with pszOut NULL returns the characters the
  // whole text needs (without the zero). Returns the characters written.
  int BytesToHexText(const BYTE* pBytes, int nCount, char* pszOut, int nOutSize, BOOL bSpaced);
};
