// Small helpers shared by the whole editing core: the debug trace, the
// assertion macro, ASCII case mapping, byte scans, the operating-system test,
// and the one place that reads a character unit out of the text buffer.
#pragma once

#include <windows.h>

#include <cstddef>

#include "mirelctrl/mirelctrl.h"

// ---------------------------------------------------------------------------
// Debug trace and assertions

#if defined(__MINGW_PRINTF_FORMAT)
#define MIREL_PRINTF_LIKE(fmt, first) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, first)))
#elif defined(__GNUC__)
#define MIREL_PRINTF_LIKE(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#define MIREL_PRINTF_LIKE(fmt, first)
#endif

// Size of the trace buffer; longer output is cut to this size less one.
constexpr int MIREL_TRACE_BUFFER_SIZE = 2048;

// Formats like printf and writes the text with OutputDebugStringA. Output that
// does not fit the buffer is truncated.
void MirelTrace(const char* pszFormat, ...) MIREL_PRINTF_LIKE(1, 2);

// Records a failed invariant: traces "Assertion failed: <expr> (file:line)"
// and counts it. Called by MIREL_ASSERT only.
void MirelAssertFailed(const char* pszExpr, const char* pszFile, int nLine);

// Number of failed assertions since start-up or the last reset (always 0 when
// assertions are compiled out).
int MirelAssertFailureCount();
void MirelResetAssertFailures();

// The checked form traces and counts a failure; the unchecked form neither
// evaluates the expression nor leaves its variables unused. Both macros
// stringize their own argument, so the trace shows the expression as written
// (NULL, FALSE) rather than its expansion.
#define MIREL_ASSERT_TEXT(expr, text) \
  (static_cast<bool>(expr) ? static_cast<void>(0) : MirelAssertFailed(text, __FILE__, __LINE__))
#define MIREL_ASSERT_CHECKED(expr) MIREL_ASSERT_TEXT(expr, #expr)
#define MIREL_ASSERT_UNCHECKED(expr) static_cast<void>(sizeof(static_cast<bool>(expr)))

#ifdef MIREL_DEBUG
#define MIREL_ASSERT(expr) MIREL_ASSERT_TEXT(expr, #expr)
#else
#define MIREL_ASSERT(expr) MIREL_ASSERT_UNCHECKED(expr)
#endif

// ---------------------------------------------------------------------------
// Character units of the text buffer
//
// UTF-16 text (both encoding codes 2 and 3 hold little-endian units) is read
// one whole 16-bit unit at a time: a unit counts as CR, LF, tab and so on only
// when all of it equals that character, never by its first byte alone. Every
// test for a control or ASCII character in the buffer goes through these.

constexpr UINT MR_CHAR_NUL = 0x00;
constexpr UINT MR_CHAR_TAB = 0x09;
constexpr UINT MR_CHAR_LF = 0x0A;
constexpr UINT MR_CHAR_PAGE_BREAK = 0x0C;
constexpr UINT MR_CHAR_CR = 0x0D;
constexpr UINT MR_CHAR_SPACE = 0x20;

// TRUE for the encodings whose text is made of 2-byte units.
constexpr BOOL IsWideEncoding(int nEncoding) {
  return nEncoding == MIREL_ENCODING_UTF16BE || nEncoding == MIREL_ENCODING_UTF16LE;
}

// Bytes in one unit of the encoding: 2 for UTF-16, else 1.
constexpr int MrUnitSize(int nEncoding) {
  return IsWideEncoding(nEncoding) ? 2 : 1;
}

// The unit at p: the whole little-endian 16-bit unit when bWide (p must have
// two readable bytes), else the byte.
constexpr UINT MrUnitAt(const BYTE* p, BOOL bWide) {
  return bWide ? static_cast<UINT>(p[0] | (p[1] << 8)) : static_cast<UINT>(p[0]);
}

// The unit at byte offset nPos of a buffer of nLen bytes, or nFallback when no
// whole unit lies there (negative offset, past the end, half a unit).
constexpr UINT MrUnitAtIn(const BYTE* pBuf, long long nPos, long long nLen, BOOL bWide, UINT nFallback) {
  const long long nSize = bWide ? 2 : 1;
  if (pBuf == nullptr || nPos < 0 || nLen < nSize || nPos > nLen - nSize) return nFallback;
  return MrUnitAt(pBuf + nPos, bWide);
}

// TRUE when the unit at p equals the character ch as a whole.
constexpr BOOL MrUnitIs(const BYTE* p, BOOL bWide, UINT ch) {
  return MrUnitAt(p, bWide) == ch;
}

// Halves of a UTF-16 surrogate pair: a high unit followed by a low one is one
// character beyond the basic plane; either alone is a character of its own.
constexpr BOOL MrIsHighSurrogate(UINT u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
constexpr BOOL MrIsLowSurrogate(UINT u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// TRUE when the nLeft bytes at p begin with a surrogate pair of little-endian
// units.
constexpr BOOL MrIsSurrogatePairAt(const BYTE* p, DWORD nLeft) {
  return nLeft >= 4 && MrIsHighSurrogate(MrUnitAt(p, TRUE)) && MrIsLowSurrogate(MrUnitAt(p + 2, TRUE));
}

// Writes the unit ch at p (two little-endian bytes when bWide, else one byte)
// and returns the bytes written.
inline int MrPutUnit(BYTE* p, BOOL bWide, UINT ch) {
  p[0] = static_cast<BYTE>(ch & 0xFF);
  if (!bWide) return 1;
  p[1] = static_cast<BYTE>((ch >> 8) & 0xFF);
  return 2;
}

// ---------------------------------------------------------------------------
// ASCII and byte-string helpers

// Maps 'A'..'Z' to 'a'..'z'; every other value is returned unchanged.
constexpr int MrToLowerA(int ch) {
  return (ch >= 'A' && ch <= 'Z') ? ch - 'A' + 'a' : ch;
}

// Maps 'a'..'z' to 'A'..'Z'; every other value is returned unchanged.
constexpr int MrToUpperA(int ch) {
  return (ch >= 'a' && ch <= 'z') ? ch - 'a' + 'A' : ch;
}

// TRUE when one of the nCount bytes is zero. Only ANSI text
// (MIREL_ENCODING_ANSI) is expected; any other encoding asserts and gives
// TRUE. A NULL buffer or a count below 1 holds no zero byte.
BOOL MrContainsNul(const BYTE* pData, int nCount, int nEncoding);

// strchr: the first occurrence of ch (as a byte) in the string, the
// terminator included; NULL when absent or when the string is NULL.
const char* MrStrChr(const char* psz, int ch);
char* MrStrChr(char* psz, int ch);

// Length of a zero-terminated string; 0 for NULL. Never reads past the
// terminator.
std::size_t MrStrLen(const char* psz);

// TRUE when the system reports the Windows NT platform.
BOOL IsWindowsNT();
