/* Language definitions that the host hands to the control for syntax
 * colouring: one definition record and one colour record per language
 * table. Plain C; the records are read only during the call that takes them.
 * The layout is that of the 32-bit module (124 and 120 bytes). */
#pragma once

#include <windows.h>

/* A colour that follows the view's default text or background colour. */
#ifndef MIREL_CLR_AUTO
#define MIREL_CLR_AUTO 0xFF000000u
#endif

/* Syntax object kinds. */
#define MIREL_SYNTAX_NONE 0
#define MIREL_SYNTAX_GENERAL 2
#define MIREL_SYNTAX_HTML 3
#define MIREL_SYNTAX_HTML_EMBEDDED 4

/* Keyword lists per definition (styles 11 to 18 of its table). */
#define MIREL_SYNTAX_KEYWORD_LISTS 8

/* Definition of one language. Strings are NUL-terminated 8-bit strings; a
 * NULL pointer, an empty string or a zero character leaves the item
 * undefined. Keyword and comment word lists are words separated by single
 * spaces, with a space before the first and after the last word. */
typedef struct MIREL_SYNTAX_INFO {
  int bCaseSensitive;        /* 0: keyword lists are lower-cased and words folded */
  const char* pszDelimiters; /* extra word delimiters (space, tab, CR, LF are always ones) */
  char chQuote1;             /* string kind 1 */
  char chQuote2;             /* string kind 2 */
  char chEscape;             /* escape inside strings */
  char reserved0;
  const char* pszLineComment1; /* a prefix, or a word list when bLineComment1Word */
  const char* pszLineComment2; /* a prefix, or a word list when bLineComment2Word */
  int bLineComment1Word;
  int bLineComment2Word;
  const char* pszBlockComment1Open;
  const char* pszBlockComment1Close;
  const char* pszBlockComment2Open;
  const char* pszBlockComment2Close;
  char chContinuation; /* a paragraph ending with it carries a string or line comment on */
  char reserved1[3];
  const char* pReserved1[6];
  const char* pszIndent;   /* word after which the next line is indented */
  const char* pszUnindent; /* word that unindents its line */
  const char* pReserved2;
  const char* pszScriptOpen; /* server-script section brackets (embedded HTML only) */
  const char* pszScriptClose;
  const char* pszKeywords[MIREL_SYNTAX_KEYWORD_LISTS];
} MIREL_SYNTAX_INFO;

/* One colour pair: text and background (MIREL_CLR_AUTO for the default). */
typedef struct MIREL_SYNTAX_COLOR_PAIR {
  COLORREF crFore;
  COLORREF crBack;
} MIREL_SYNTAX_COLOR_PAIR;

/* Indices into MIREL_SYNTAX_COLORS.pairs and the styles each one sets. */
#define MIREL_SYNTAX_PAIR_TEXT 0     /* styles 0 and 1: plain text */
#define MIREL_SYNTAX_PAIR_STRING1 1  /* style 2 */
#define MIREL_SYNTAX_PAIR_STRING2 2  /* style 3 */
#define MIREL_SYNTAX_PAIR_NUMBER 3   /* style 4 */
#define MIREL_SYNTAX_PAIR_COMMENT1 4 /* style 5 */
#define MIREL_SYNTAX_PAIR_COMMENT2 5 /* style 6 */
#define MIREL_SYNTAX_PAIR_SCRIPT 6   /* style 10: script sections */
#define MIREL_SYNTAX_PAIR_KEYWORD1 7 /* styles 11 to 18: keyword lists 1 to 8 */
#define MIREL_SYNTAX_COLOR_PAIRS 15

typedef struct MIREL_SYNTAX_COLORS {
  MIREL_SYNTAX_COLOR_PAIR pairs[MIREL_SYNTAX_COLOR_PAIRS];
} MIREL_SYNTAX_COLORS;

#if defined(__cplusplus) && (defined(_WIN32) && !defined(_WIN64))
static_assert(sizeof(MIREL_SYNTAX_INFO) == 124, "the host definition record is 124 bytes");
static_assert(sizeof(MIREL_SYNTAX_COLORS) == 120, "the host colour record is 120 bytes");
#endif
