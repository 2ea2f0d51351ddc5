// Counting the line ends of a text at memory-scan speed, for the layout
// steps that need the paragraph count before they lay the text out.
#pragma once

#include <windows.h>

// Line ends in n bytes of text: a CR LF pair, a lone CR and a lone LF each
// count once, as the layout counts paragraph ends. In UTF-16 (bWide) the
// text is read as little-endian units and a trailing odd byte is ignored.
DWORD MrCountLineEnds(const BYTE* p, DWORD n, BOOL bWide);
