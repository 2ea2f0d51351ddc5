// What the host's language definitions share: the base of the brace
// languages, colour tables that name only the pairs they set, and file-name
// extension tests.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "mirelctrl/mirelsyntax.h"

namespace mirel_host {

// One foreground colour for one colour pair of a definition; its background
// follows the control.
struct CSyntaxForeColor {
  int nPair;  // MIREL_SYNTAX_PAIR_*
  BYTE r, g, b;
};

// The base of the brace languages (C, C++, script): compared as written,
// "strings" and 'c' literals with backslash escapes, // and /* */ comments,
// and braces that indent; the delimiters are the language's own.
MIREL_SYNTAX_INFO BraceLanguageDefinition(const char* pszDelimiters);

// Every pair automatic except the ones listed.
MIREL_SYNTAX_COLORS MakeSyntaxColors(std::initializer_list<CSyntaxForeColor> foreColors);

// True when the file name's extension (after its last dot; a leading dot
// alone is no extension) is one of the lower-case ones given, in any case.
bool HasExtension(const std::string& strPath, std::initializer_list<const char*> extensions);

}  // namespace mirel_host
