// Opening a hyperlink of the document with the shell (Ctrl+click in the text
// view).
#pragma once

#include <windows.h>

class CMirelDoc;

// The text in [nStart, nEnd) of the document, converted to ANSI in the
// document's code page, is handed to the shell's "open" when it starts with
// one of the link prefixes (http://, https://, ftp://, mailto:, any case).
// TRUE when the shell was asked; FALSE for an empty, unconvertible or
// prefix-less range, so that no arbitrary text (a program name, a path)
// reaches the shell.
BOOL MrOpenHyperLink(CMirelDoc& doc, DWORD nStart, DWORD nEnd);
