// Fast scans for a byte string in a buffer, shared by the plain-text find and
// the regular-expression skip to candidate positions. Both compare the first
// and the last byte of the needle over 16 bytes at a time where the compiler
// offers SSE2, so a needle absent from the text costs a fraction of a cycle
// per byte.
#pragma once

#include <windows.h>

#include <cstddef>

// Offset of the first occurrence of needle[0, nNeedle) that starts in
// [0, nStarts) of pHay; the occurrence may run past nStarts but never past
// nHay. nHay - nNeedle + 1 caps nStarts. Returns (size_t)-1 when none.
size_t MrScanBytes(const BYTE* pHay, size_t nStarts, size_t nHay, const BYTE* pNeedle, size_t nNeedle);

// The same with ASCII letters compared without regard to case (bytes of 128
// and more compare exactly).
size_t MrScanBytesNoCase(const BYTE* pHay, size_t nStarts, size_t nHay, const BYTE* pNeedle, size_t nNeedle);

constexpr size_t MR_SCAN_NONE = static_cast<size_t>(-1);

// The scan code this build compiled: the plain loop alone only for targets
// without SSE2; with AVX2 too, that is taken on processors that have it.
enum class MrScanCode { Plain, Sse2, Sse2AndAvx2 };
MrScanCode MrScanCodeBuilt();

// ASCII letter folding to upper case; other bytes unchanged.
constexpr BYTE MrFoldByte(BYTE b) {
  return (b >= 'a' && b <= 'z') ? static_cast<BYTE>(b - 'a' + 'A') : b;
}
