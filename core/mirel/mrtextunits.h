// Character lengths in the document encodings, shared by the layout and the
// position operations so that both always agree on where a character ends.
//
// A character never swallows a control character: a lead byte followed by a
// byte below 0x40 (in a double-byte code page), or a UTF-8 lead byte followed
// by something other than a continuation byte, is a character of its own.
// Line ends therefore depend only on the bytes around them, never on how the
// text before them pairs up.
#pragma once

#include <windows.h>

#include "mirel/mirel.h"

// Lowest byte value that can follow a lead byte in any double-byte code page.
constexpr BYTE MR_MIN_TRAIL_BYTE = 0x40;

// Fills pTable[256] with 1 for the lead bytes of the code page (0 = the system
// ANSI code page) and 0 for every other byte.
void MrBuildLeadByteTable(UINT nCodePage, BYTE* pTable);

// TRUE for the code points that East Asian text shows double width (Hangul,
// kana, CJK ideographs and their punctuation, full-width forms).
constexpr BOOL MrIsWideCodePoint(UINT ch) {
  return (ch >= 0x1100 && ch <= 0x115F) || (ch >= 0x2E80 && ch <= 0x303E) || (ch >= 0x3041 && ch <= 0x33FF) ||
         (ch >= 0x3400 && ch <= 0x4DBF) || (ch >= 0x4E00 && ch <= 0x9FFF) || (ch >= 0xA000 && ch <= 0xA4CF) ||
         (ch >= 0xAC00 && ch <= 0xD7A3) || (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0xFE30 && ch <= 0xFE4F) ||
         (ch >= 0xFF00 && ch <= 0xFF60) || (ch >= 0xFFE0 && ch <= 0xFFE6);
}

// Columns a character of nCharLen bytes takes as a double-byte code page
// counts them: two for a wide character (a double-byte character of the code
// page, a wide code point, a character beyond the basic plane, or a CR LF
// pair, two bytes there), one for any other.
inline int MrCharColumns(const BYTE* p, DWORD nCharLen, int nEncoding) {
  if (p == nullptr || nCharLen < 2) return 1;
  switch (nEncoding) {
    case MIREL_ENCODING_UTF16BE:
    case MIREL_ENCODING_UTF16LE:
      return nCharLen >= 4 || MrIsWideCodePoint(MrUnitAt(p, TRUE)) ? 2 : 1;
    case MIREL_ENCODING_UTF8:
    case MIREL_ENCODING_UTF8_BOM:
      if (nCharLen >= 4 || p[0] == MR_CHAR_CR) return 2;
      if (nCharLen < 3) return 1;
      return MrIsWideCodePoint(((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu)) ? 2 : 1;
    default:
      return 2;
  }
}

// Byte length of the character at nPos of a text of nLen bytes (nPos < nLen):
// a CR LF pair is one character (2 bytes, 4 in UTF-16); in UTF-16 a surrogate
// pair is 4 bytes and any other unit 2 (1 for a lone byte at the very end);
// ANSI uses pLeadTable; UTF-8 a lead byte and the continuation bytes that
// follow it; other codes 1 byte.
inline DWORD MrCharLength(const BYTE* pText, DWORD nPos, DWORD nLen, int nEncoding, const BYTE* pLeadTable) {
  const DWORD nLeft = nLen - nPos;
  const BYTE* p = pText + nPos;
  switch (nEncoding) {
    case MIREL_ENCODING_ANSI:
      if (p[0] == MR_CHAR_CR) return (nLeft >= 2 && p[1] == MR_CHAR_LF) ? 2 : 1;
      if (nLeft >= 2 && pLeadTable[p[0]] && p[1] >= MR_MIN_TRAIL_BYTE) return 2;
      return 1;
    case MIREL_ENCODING_UTF8:
    case MIREL_ENCODING_UTF8_BOM: {
      const BYTE b = p[0];
      if (b < 0x80) return (b == MR_CHAR_CR && nLeft >= 2 && p[1] == MR_CHAR_LF) ? 2 : 1;
      const DWORD nWant = b >= 0xF0 ? 4 : (b >= 0xE0 ? 3 : 2);
      DWORD n = 1;
      while (n < nWant && n < nLeft && (p[n] & 0xC0) == 0x80) ++n;
      return n;
    }
    case MIREL_ENCODING_UTF16BE:
    case MIREL_ENCODING_UTF16LE:
      if (nLeft < 2) return nLeft;
      if (nLeft >= 4 && MrUnitIs(p, TRUE, MR_CHAR_CR) && MrUnitIs(p + 2, TRUE, MR_CHAR_LF)) return 4;
      return MrIsSurrogatePairAt(p, nLeft) ? 4 : 2;
    default:
      return 1;
  }
}
