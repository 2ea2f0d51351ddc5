// The sample host's colouring of HTML pages: the tag language and the script
// language between script tags, their colours, and which files get them.
#pragma once

#include <windows.h>

#include <string>

#include "mirelctrl/mirelsyntax.h"

namespace mirel_host {

// Tags: <!-- --> comments, "double" and 'single' quoted attribute values,
// the common element names as keyword list 1. Case is ignored, as HTML does.
const MIREL_SYNTAX_INFO& HtmlSyntaxDefinition();
const MIREL_SYNTAX_COLORS& HtmlSyntaxColors();

// Scripts: // and /* */ comments, both string quotes with backslash escapes,
// numbers and the script keywords as keyword list 1, compared as written.
const MIREL_SYNTAX_INFO& ScriptSyntaxDefinition();
const MIREL_SYNTAX_COLORS& ScriptSyntaxColors();

// True for the extensions .html and .htm, in any letter case.
bool IsHtmlFile(const std::string& strPath);

}  // namespace mirel_host
