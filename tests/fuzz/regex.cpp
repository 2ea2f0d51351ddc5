// Fuzz target: compile a pattern with the regular-expression engine and run
// it over a subject held in a buffer of exactly its size, so any read past
// the text shows under the address sanitizer.
//
// Input: byte 0 = options (bit 0 case-sensitive, bit 1 paren groups), byte 1
// = pattern length, then the pattern, then the subject.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "mirel/search/cregexp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const BOOL bCase = data[0] & 1;
  const BOOL bParen = (data[0] >> 1) & 1;
  size_t nPattern = data[1];
  data += 2;
  size -= 2;
  if (nPattern > size) nPattern = size;
  // The pattern is also NUL-terminated, as hosts hand it over.
  std::vector<char> pattern(data, data + nPattern);
  pattern.push_back('\0');
  const std::vector<BYTE> subject(data + nPattern, data + size);
  const BYTE* p = subject.empty() ? nullptr : subject.data();
  const DWORD n = static_cast<DWORD>(subject.size());

  CRegExp rx;
  if (rx.Compile(pattern.data(), static_cast<int>(nPattern), bCase, bParen) != nullptr) {
    if (rx.abProgram[0] != RX_END || rx.IsCompiled()) __builtin_trap();
    return 0;
  }
  if (p == nullptr) return 0;
  // A range that ends before the text does: literals may look past the range
  // end, never past the limit.
  const DWORD nEnd = n / 2 + (n & 1);
  for (DWORD nStart : {0u, nEnd / 2}) {
    if (rx.Match(p, nStart, nEnd, n, nStart)) {
      const DWORD s = rx.anGroupStart[0];
      const DWORD e = rx.anGroupEnd[0];
      if (s < nStart || s > nEnd || e < s || e > n) __builtin_trap();
    }
  }
  if (rx.MatchAt(p, 0, n, n, 0) && (rx.anGroupStart[0] != 0 || rx.anGroupEnd[0] > n)) __builtin_trap();
  return 0;
}
