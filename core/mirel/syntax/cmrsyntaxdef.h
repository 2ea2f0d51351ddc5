// One language definition as a syntax object keeps it: its own copy of every
// string the host passed (undefined where the host passed NULL or an empty
// string), and the matchers through which the lexers test the text against
// it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "mirel/syntax/cmrsyntaxtext.h"
#include "mirelctrl/mirelsyntax.h"

using MrDefString = std::optional<std::string>;

// The delimiters every definition holds before the host's own ones.
constexpr const char* MR_SYNTAX_BASE_DELIMITERS = " \t\r\n";
// The set a kind made with its defaults holds.
constexpr const char* MR_SYNTAX_DEFAULT_DELIMITERS = " \t\r\n\"'\\.,<>:;/()[]{}~!@#%^&*-+=?|$";

// The strings a lexer tests for at a position.
enum MrDefPrefix {
  MR_DEF_BLOCK_COMMENT1_CLOSE,
  MR_DEF_BLOCK_COMMENT2_CLOSE,
  MR_DEF_BLOCK_COMMENT1_OPEN,
  MR_DEF_BLOCK_COMMENT2_OPEN,
  MR_DEF_LINE_COMMENT1,
  MR_DEF_LINE_COMMENT2,
  MR_DEF_SCRIPT_OPEN,
  MR_DEF_SCRIPT_CLOSE,
};

class CMrSyntaxDef {
 public:
  // Copies the host record. Script brackets are kept only for a base
  // definition (bKeepScript). Keyword lists are lower-cased when the
  // definition ignores case; comment word lists are kept as given.
  void Assign(const MIREL_SYNTAX_INFO& info, BOOL bKeepScript);

  // NULL when the string is undefined.
  static const char* Str(const MrDefString& s) { return s ? s->c_str() : nullptr; }

  // Prefix test: TRUE when the string stands at nPos, with its length in
  // bytes in *pnLen. An undefined string never matches.
  BOOL IsPrefixAt(MrDefPrefix nWhich, const CMrSyntaxText& t, DWORD nPos, DWORD* pnLen) const;

  // TRUE when the unit at nPos occurs in the delimiter set (a zero unit
  // does; a unit past the text counts as one too, since a word ends there).
  BOOL IsDelimiter(const CMrSyntaxText& t, DWORD nPos) const;

  // Word lookups for the word from nStart to nLast (the offset of its last
  // unit).
  BOOL IsLineComment1Word(const CMrSyntaxText& t, DWORD nStart, DWORD nLast) const;
  BOOL IsLineComment2Word(const CMrSyntaxText& t, DWORD nStart, DWORD nLast) const;
  // nList 0 to 7.
  BOOL IsKeyword(int nList, const CMrSyntaxText& t, DWORD nStart, DWORD nLast) const;

  // The word lookup of one list under this definition's case flag.
  BOOL FindWord(const MrDefString& list, const CMrSyntaxText& t, DWORD nStart, DWORD nLast) const;

  static BOOL MatchPrefix(const MrDefString& s, const CMrSyntaxText& t, DWORD nPos, DWORD* pnLen);

  BOOL bCaseSensitive = FALSE;
  MrDefString delimiters;
  char chQuote1 = 0;
  char chQuote2 = 0;
  char chEscape = 0;
  MrDefString lineComment1;
  MrDefString lineComment2;
  BOOL bLineComment1Word = FALSE;
  BOOL bLineComment2Word = FALSE;
  MrDefString blockComment1Open;
  MrDefString blockComment1Close;
  MrDefString blockComment2Open;
  MrDefString blockComment2Close;
  char chContinuation = 0;
  MrDefString indent;
  MrDefString unindent;
  MrDefString scriptOpen;
  MrDefString scriptClose;
  MrDefString keywords[MIREL_SYNTAX_KEYWORD_LISTS];
};
