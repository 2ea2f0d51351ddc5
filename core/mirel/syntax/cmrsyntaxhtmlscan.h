// The HTML state machine both HTML kinds share: text, tags with quoted
// values and comments, opening script tags and the script body (lexed by the
// keyword-language machine on the script definition), and for the embedded
// kind the server-script sections that may interrupt any of them.
#pragma once

#include <windows.h>

#include "mirel/syntax/cmrsyntax.h"

// HTML states, numbered as the HTML kind stores them; the embedded kind
// stores state s as 2s - 1 and its server-section twin as 2s.
constexpr BYTE MR_HTML_TEXT = 1;
constexpr BYTE MR_HTML_TAG = 2;
constexpr BYTE MR_HTML_TAG_QUOTE1 = 3;
constexpr BYTE MR_HTML_TAG_QUOTE2 = 4;
constexpr BYTE MR_HTML_SCRIPT_TAG = 5;
constexpr BYTE MR_HTML_SCRIPT_TAG_QUOTE1 = 6;
constexpr BYTE MR_HTML_SCRIPT_TAG_QUOTE2 = 7;
constexpr BYTE MR_HTML_SCRIPT = 8;
constexpr BYTE MR_HTML_LINE_COMMENT1 = 9;
constexpr BYTE MR_HTML_LINE_COMMENT2 = 10;
constexpr BYTE MR_HTML_TEXT_COMMENT1 = 11;
constexpr BYTE MR_HTML_TEXT_COMMENT2 = 12;
constexpr BYTE MR_HTML_TAG_COMMENT1 = 13;
constexpr BYTE MR_HTML_TAG_COMMENT2 = 14;
constexpr BYTE MR_HTML_SCRIPT_TAG_COMMENT1 = 15;
constexpr BYTE MR_HTML_SCRIPT_TAG_COMMENT2 = 16;

// The definitions a scan reads and the first style of each table.
struct MrHtmlDefs {
  const CMrSyntaxDef* pHtml = nullptr;
  int nHtmlBase = MIREL_STYLE_BASE;
  const CMrSyntaxDef* pScript = nullptr;  // the script body's
  const CMrSyntaxDef* pServer = nullptr;  // server sections; NULL: none open
};

// Working values of one paragraph's scan.
struct MrHtmlScan {
  BYTE nState = MR_HTML_TEXT;
  DWORD nWordStart = 0;    // of the current tag word
  MrGeneralScan script;    // the script body (meaningful in MR_HTML_SCRIPT)
  BOOL bInServer = FALSE;  // inside a server section opened in nState
  MrGeneralScan server;    // that section
};

// The style (within the HTML table) of text resumed in an HTML state.
int MrHtmlStateStyle(BYTE nState);

// Sets up an extra style table of the HTML kinds: records 0 to 10 follow the
// view's colours, records 11 to 18 are left without a colour until the host
// gives them one.
void MrInitExtraStyles(MIREL_SYNTAX_STYLE* pTable);

// The colours or name of style n of a table of MAX_SYNTAX_STYLE records.
void MrTableStyleColor(const MIREL_SYNTAX_STYLE* pTable, int n, COLORREF* pcrFore, COLORREF* pcrBack);
void MrTableStyleName(const MIREL_SYNTAX_STYLE* pTable, int n, char* pszName, int nSize);
void MrTableSetColors(MIREL_SYNTAX_STYLE* pTable, const MIREL_SYNTAX_STYLE* pStyles);
