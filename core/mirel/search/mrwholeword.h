// The whole-word test of a match, shared by find and the find-result list.
#pragma once

#include <windows.h>

class CMirelDoc;

// TRUE when the character before [s, e) and the one after it are word
// delimiters of the document (the ends of the text count as delimiters).
// Constant time: only the neighbouring bytes are read.
BOOL MrIsWholeWordMatch(CMirelDoc& doc, const BYTE* p, DWORD nLen, DWORD s, DWORD e);
