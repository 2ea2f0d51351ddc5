// Fuzz target: the text search of find, replace and the find-result list,
// over a buffer of exactly the searched size in every encoding.
//
// Input: byte 0 = encoding (low 2 bits: ANSI, UTF-16, UTF-8, UTF-8 with
// mark), bit 2 forward, bit 3 match case, bits 4-5 code page (system, 949,
// 932, 1252); byte 1 = start index; byte 2 = pattern length; then the
// pattern, then the text.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "mirel/search/mrfind.h"
#include "mirelctrl/mirelctrl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  static const int kEncodings[] = {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8,
                                   MIREL_ENCODING_UTF8_BOM};
  static const int kCodePages[] = {0, 949, 932, 1252};
  const int nEncoding = kEncodings[data[0] & 3];
  const BOOL bForward = (data[0] >> 2) & 1;
  const BOOL bMatchCase = (data[0] >> 3) & 1;
  const int nCodePage = kCodePages[(data[0] >> 4) & 3];
  const DWORD nIndex = data[1];
  size_t nPattern = data[2];
  data += 3;
  size -= 3;
  if (nPattern > size) nPattern = size;
  const std::vector<BYTE> pattern(data, data + nPattern);
  const std::vector<BYTE> text(data + nPattern, data + size);
  if (text.empty()) return 0;
  const DWORD nLen = static_cast<DWORD>(text.size());
  const DWORD n = static_cast<DWORD>(pattern.size());
  const BYTE* pPattern = pattern.empty() ? reinterpret_cast<const BYTE*>("") : pattern.data();

  const BYTE* pHit =
      FindTextInBuffer(text.data(), nLen, nIndex, pPattern, n, nEncoding, nCodePage, bForward, bMatchCase);
  if (pHit != nullptr) {
    const DWORD s = static_cast<DWORD>(pHit - text.data());
    // UTF-16 searches whole units: an odd last byte of the pattern is dropped.
    const DWORD nMatch = nEncoding == MIREL_ENCODING_UTF16LE ? n & ~1u : n;
    if (nMatch == 0 || s > nLen || nMatch > nLen - s) __builtin_trap();
    if (bForward && s < (nEncoding == MIREL_ENCODING_UTF16LE ? (nIndex & ~1u) : nIndex)) __builtin_trap();
    if (bMatchCase && nEncoding != MIREL_ENCODING_UTF16LE && std::memcmp(pHit, pPattern, n) != 0)
      __builtin_trap();
  }
  const BYTE* pBytes = FindBytes(text.data(), nLen, nIndex, pPattern, n, bForward);
  if (pBytes != nullptr) {
    const DWORD s = static_cast<DWORD>(pBytes - text.data());
    if (s > nLen || n > nLen - s || std::memcmp(pBytes, pPattern, n) != 0) __builtin_trap();
  }
  for (DWORD i = 0; i <= nLen && i < 8; ++i) {
    const int nChar = GetUTF8CharLen(text.data(), i, nLen);
    if (nChar < 0 || static_cast<DWORD>(nChar) > nLen - (i < nLen ? i : nLen)) __builtin_trap();
  }
  return 0;
}
