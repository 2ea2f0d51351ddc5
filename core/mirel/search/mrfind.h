// The buffer searches behind find, replace and the find-result highlighter,
// and the locale-independent case folding they share.
#pragma once

#include <windows.h>

#include "mirel/search/mrcharstarts.h"

// Byte length of the UTF-8 character at nIndex of a text ending at nEnd: 2 for
// CR LF, 4 / 3 / 2 from a lead byte 0xF0 / 0xE0 / other bytes of 128 and
// more (cut to what is left), otherwise 1; 0 when nIndex is at or past nEnd.
int GetUTF8CharLen(const BYTE* pText, DWORD nIndex, DWORD nEnd);

// The first occurrence of the nPattern bytes, trying starts from nIndex
// towards the end (bForward) or the start; only occurrences lying wholly in
// the buffer count. NULL when none or for an empty pattern.
const BYTE* FindBytes(const BYTE* pBuf, DWORD nLen, DWORD nIndex, const BYTE* pPattern, DWORD nPattern,
                      BOOL bForward);

// Text search in the document encoding (see CMrTextFinder), trying starts
// from nIndex towards the end (bForward) or the start. *pnMatchLen, when
// given, receives the match's length in the buffer: a case-blind UTF-8 match
// may be longer or shorter than the pattern. NULL when none or for an empty
// pattern.
const BYTE* FindTextInBuffer(const BYTE* pBuf, DWORD nLen, DWORD nIndex, const BYTE* pPattern, DWORD nPattern,
                             int nEncoding, int nCodePage, BOOL bForward, BOOL bMatchCase,
                             DWORD* pnMatchLen = nullptr);

// Upper-case mapping of a UTF-16 unit (or a wider code point, unchanged):
// ASCII letters by themselves, every other unit as the system maps it.
UINT MrFoldWide(UINT ch);

// TRUE when some unit of 0x80 or more folds to the same ASCII value as ch
// (so a case-blind search cannot look for ch's two ASCII forms alone).
BOOL MrIsWideFoldTarget(UINT ch);

// One pattern searched for in one buffer, as many times as a find or a scan
// needs. UTF-16 compares whole units, UTF-8 whole characters (a case-blind
// match compares the folded values of one character at a time on both sides
// and covers the text's own bytes), other encodings bytes, with only ASCII
// letters folded. No match starts or ends inside a character: a UTF-8
// sequence, a UTF-16 surrogate pair, or a double-byte character of an ANSI
// buffer in a double-byte code page. A one-unit CR or LF pattern matches only
// a lone one.
class CMrTextFinder {
 public:
  // pBuf starts on a character; nKnownStart is a character start near where
  // the search begins (it bounds the walks of a double-byte buffer).
  CMrTextFinder(const BYTE* pBuf, DWORD nLen, const BYTE* pPattern, DWORD nPattern, int nEncoding,
                int nCodePage, BOOL bMatchCase, DWORD nKnownStart = 0, DWORD nFloor = 0);

  // Start of the first match that starts at or after nIndex, or -1;
  // *pnMatchLen receives its length.
  long long Forward(DWORD nIndex, DWORD* pnMatchLen);
  // Start of the last match that starts at or before nIndex and ends at or
  // before nEndLimit, or -1.
  long long Backward(DWORD nIndex, DWORD nEndLimit, DWORD* pnMatchLen);
  // Length of the match that starts at nIndex; 0 when none does.
  DWORD MatchAt(DWORD nIndex) { return Verify(nIndex); }
  // The same for a span whose ends the caller knows to be character starts
  // of the document (a selection): in UTF-8 a byte that follows no sequence
  // is a character of its own there, whatever its value.
  DWORD MatchAtCharStart(DWORD nIndex) {
    m_bEndsKnown = TRUE;
    const DWORD nMatch = Verify(nIndex);
    m_bEndsKnown = FALSE;
    return nMatch;
  }
  // The fewest bytes a match can take (0 for an empty pattern).
  DWORD MinMatchLength() const { return m_nMinMatch; }
  // Character starts as the search sees them (ANSI in a double-byte code page
  // only; every other offset counts as one).
  BOOL IsDbcsCharStart(DWORD s) { return lead == nullptr || startB.IsBoundary(s); }

 private:
  DWORD Verify(DWORD c);
  DWORD VerifyUtf8NoCase(DWORD c);
  BOOL IsLoneLineEndHalf(DWORD c);

  const BYTE* buf;
  DWORD len;
  const BYTE* pat;
  DWORD n;
  BOOL wide;
  BOOL utf8;
  BOOL matchCase;
  const BYTE* lead;
  DWORD m_nMinMatch;
  CMrDbcsBoundary startB;
  CMrDbcsBoundary endB;
  BOOL m_bEndsKnown = FALSE;
};
