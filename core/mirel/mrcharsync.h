// Stepping back through text without walking from the row start each time.
//
// Character lengths (MrCharLength) are only defined walking forward, from a
// position known to start a character. Some positions can be recognised as
// character starts from the bytes around them alone: a walk forward from the
// nearest such position before a place gives the same character starts as a
// walk from the row start, in time proportional to the distance walked.
#pragma once

#include <windows.h>

#include "mirel/mirel.h"
#include "mirel/mrtextunits.h"

// TRUE when every walk over the text of nLen bytes that reaches or passes
// nPos (0 < nPos < nLen) starts a character at nPos: no character of any
// length can hold the bytes on both sides of it.
inline BOOL MrIsSurelyCharStart(const BYTE* p, DWORD nPos, DWORD nLen, int nEncoding,
                                const BYTE* pLeadTable) {
  const BYTE b = p[nPos];
  const BYTE prev = p[nPos - 1];
  // The LF of a CR LF pair is part of the pair.
  const BOOL bLfAfterCr = b == MR_CHAR_LF && prev == MR_CHAR_CR;
  switch (nEncoding) {
    case MIREL_ENCODING_ANSI:
      // A trail byte is at least MR_MIN_TRAIL_BYTE and follows a lead byte.
      return !bLfAfterCr && (b < MR_MIN_TRAIL_BYTE || !pLeadTable[prev]);
    case MIREL_ENCODING_UTF8:
    case MIREL_ENCODING_UTF8_BOM:
      // A character takes continuation bytes only after its first byte.
      return !bLfAfterCr && (b & 0xC0) != 0x80;
    case MIREL_ENCODING_UTF16BE:
    case MIREL_ENCODING_UTF16LE:
      if (nPos & 1) return FALSE;
      if (nLen - nPos < 2) return TRUE;  // the lone byte at the end
      if (nPos < 2) return TRUE;
      // The second unit of a CR LF pair or of a surrogate pair. (Neither an
      // LF nor a low surrogate can end any other character, so the unit
      // before it always starts one.)
      if (MrUnitIs(p + nPos, TRUE, MR_CHAR_LF)) return !MrUnitIs(p + nPos - 2, TRUE, MR_CHAR_CR);
      return !MrIsSurrogatePairAt(p + nPos - 2, 4);
    default:
      return TRUE;  // one byte per character
  }
}

// The greatest position s with nFloor <= s <= nPos (< nLen) that certainly
// starts a character; nFloor (a row start, or 0) is taken as one.
inline DWORD MrCharStartAtOrBefore(const BYTE* p, DWORD nLen, DWORD nPos, DWORD nFloor, int nEncoding,
                                   const BYTE* pLeadTable) {
  while (nPos > nFloor && !MrIsSurelyCharStart(p, nPos, nLen, nEncoding, pLeadTable)) --nPos;
  return nPos;
}
