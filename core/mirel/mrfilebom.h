// What the first three bytes of a large file say about its encoding.
#pragma once

#include <windows.h>

#include "mirel/mirel.h"

struct MrFileStart {
  int nEncoding;  // MIREL_ENCODING_*, MIREL_ENCODING_BINARY, or 0 when the bytes tell nothing
  BYTE nBomLen;   // byte-order mark bytes: 0, 2 or 3
};

// A byte-order mark decides; without one, a zero byte marks a binary file.
constexpr MrFileStart MrDetectFileStart(const BYTE* p) {
  if (p[0] == 0xFE && p[1] == 0xFF) return {MIREL_ENCODING_UTF16BE, 2};
  if (p[0] == 0xFF && p[1] == 0xFE) return {MIREL_ENCODING_UTF16LE, 2};
  if (p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) return {MIREL_ENCODING_UTF8_BOM, 3};
  if (p[0] == 0 || p[1] == 0 || p[2] == 0) return {MIREL_ENCODING_BINARY, 0};
  return {0, 0};
}
