// The whole-word test of a match, shared by find and the find-result list.
#pragma once

#include <windows.h>

class CMirelDoc;
class CMrTextFinder;

// TRUE when the character before [s, e) and the one after it are word
// delimiters of the document (the ends of the text count as delimiters).
// Only the neighbouring bytes are read, except where a double-byte text must
// tell whether the byte before s ends a character: pFinder (the search of the
// match, when given) answers from what it has already walked.
BOOL MrIsWholeWordMatch(CMirelDoc& doc, const BYTE* p, DWORD nLen, DWORD s, DWORD e,
                        CMrTextFinder* pFinder = nullptr);
