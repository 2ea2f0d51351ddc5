// The buffer searches behind find, replace and the find-result highlighter,
// and the locale-independent case folding they share.
#pragma once

#include <windows.h>

// Byte length of the UTF-8 character at nIndex of a text ending at nEnd: 2 for
// CR LF, 4 / 3 / 2 from a lead byte 0xF0 / 0xE0 / other bytes of 128 and
// more (cut to what is left), otherwise 1; 0 when nIndex is at or past nEnd.
int GetUTF8CharLen(const BYTE* pText, DWORD nIndex, DWORD nEnd);

// The first occurrence of the nPattern bytes, trying starts from nIndex
// towards the end (bForward) or the start; only occurrences lying wholly in
// the buffer count. NULL when none or for an empty pattern.
const BYTE* FindBytes(const BYTE* pBuf, DWORD nLen, DWORD nIndex, const BYTE* pPattern, DWORD nPattern,
                      BOOL bForward);

// Text search in the document encoding: UTF-16 compares whole units, UTF-8
// whole characters (a case-insensitive match never pairs characters of
// different byte lengths), other encodings bytes, with only ASCII letters
// folded; in an ANSI buffer of a double-byte code page a match never starts
// or ends inside a double-byte character (pBuf must start on a character).
// A one-unit CR or LF pattern matches only a lone one. NULL when none or for
// an empty pattern.
const BYTE* FindTextInBuffer(const BYTE* pBuf, DWORD nLen, DWORD nIndex, const BYTE* pPattern, DWORD nPattern,
                             int nEncoding, int nCodePage, BOOL bForward, BOOL bMatchCase);

// Upper-case mapping of a UTF-16 unit (or a wider code point, unchanged):
// ASCII letters by themselves, every other unit as the system maps it.
UINT MrFoldWide(UINT ch);

// TRUE when some unit of 0x80 or more folds to the same ASCII value as ch
// (so a case-blind search cannot look for ch's two ASCII forms alone).
BOOL MrIsWideFoldTarget(UINT ch);

// TRUE when byte offset s of an ANSI buffer (starting on a character) in a
// double-byte code page with the lead-byte table pLead starts a character.
BOOL MrIsDbcsBoundary(const BYTE* pBuf, DWORD nLen, DWORD s, const BYTE* pLead);
