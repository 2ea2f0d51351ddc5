// The sample host's colouring of C and C++ source: the language definition
// and the colours it hands to the control, and which files get them.
#pragma once

#include <windows.h>

#include <string>

#include "mirelctrl/mirelsyntax.h"

namespace mirel_host {

// Keyword list numbers inside the definition (styles 11 and 12).
constexpr int kCKeywordList = 0;    // keywords of C, up to C23
constexpr int kCppKeywordList = 1;  // keywords C++ adds to them

// C and C++: // and /* */ comments, "strings" and 'c' character literals
// with backslash escapes, preprocessor lines coloured from '#' to their end
// (a trailing backslash carries them, strings and // comments on), decimal
// and hexadecimal numbers, and the two keyword lists, compared as written.
// The strings point to static storage; the record lives as long as the host.
const MIREL_SYNTAX_INFO& CSyntaxDefinition();

// Colours for that definition on a white background; plain text and every
// background follow the control's own colours.
const MIREL_SYNTAX_COLORS& CSyntaxColors();

// True for the file names the host colours as C or C++: the extensions .c,
// .cc, .cpp, .h and .hpp, in any letter case.
bool IsCSourceFile(const std::string& strPath);

}  // namespace mirel_host
