// Host strings in the system ANSI code page brought into a document's own
// encoding, for the commands that take ANSI text from the host.
#pragma once

#include <windows.h>

#include <vector>

class CMirelDoc;

// Converts nLen bytes of ANSI text in code page nCodePage (0: the system
// ANSI code page) into the document encoding: ANSI stays as it is, UTF-8
// documents get UTF-8, UTF-16 documents little-endian units. An empty text
// gives an empty result. FALSE for a NULL text with a length, a negative or
// oversized length, a document without text, or a text that converts to
// nothing.
BOOL MrAnsiToDocument(const CMirelDoc& doc, const char* pText, int nLen, int nCodePage,
                      std::vector<BYTE>* pOut);

// The same for host text in the system ANSI code page.
inline BOOL MrAnsiToDocument(const CMirelDoc& doc, const char* pText, int nLen, std::vector<BYTE>* pOut) {
  return MrAnsiToDocument(doc, pText, nLen, 0, pOut);
}
