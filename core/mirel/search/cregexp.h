// The control's own small regular-expression engine: a pattern is compiled
// into a byte program that a backtracking matcher runs over bytes of the
// document text. It knows nothing of code pages: a multi-byte character is a
// run of bytes to it.
#pragma once

#include <windows.h>

// Program codes, one byte each, followed by their operands.
constexpr BYTE RX_END = 0;
constexpr BYTE RX_CHAR = 1;
constexpr BYTE RX_ANY = 2;
constexpr BYTE RX_CLASS = 3;
constexpr BYTE RX_BOL = 4;
constexpr BYTE RX_EOL = 5;
constexpr BYTE RX_GROUP_START = 6;
constexpr BYTE RX_GROUP_END = 7;
constexpr BYTE RX_WORD_START = 8;
constexpr BYTE RX_WORD_END = 9;
constexpr BYTE RX_BACKREF = 10;
constexpr BYTE RX_CLOSURE = 11;

constexpr int RX_PROGRAM_SIZE = 2048;
constexpr int RX_CLASS_SIZE = 32;
constexpr int RX_MAX_GROUPS = 10;
// Longest literal run kept for skipping ahead to candidate positions.
constexpr int RX_MAX_PREFIX = 64;

class CRegExp {
 public:
  CRegExp();
  virtual ~CRegExp();
  CRegExp(const CRegExp&) = delete;
  CRegExp& operator=(const CRegExp&) = delete;

  // Compiles nLen bytes of pszPattern; NULL on success, else the error text.
  // bCaseSensitive 0 folds ASCII letters; bParenGroups 1 makes "(" and ")"
  // the group brackets, 0 makes "\(" and "\)" them. An empty pattern keeps
  // the previous program in force when there is one.
  const char* Compile(const char* pszPattern, int nLen, BOOL bCaseSensitive, BOOL bParenGroups);

  // Searches pText[nStart, nEnd) for the first position at which the
  // program matches. No byte at or past nLimit is ever read (literal steps
  // may look at bytes from nEnd up to nLimit); "^" holds only at nLineStart.
  // 1 with group 0 set, else 0.
  int Match(const BYTE* pText, DWORD nStart, DWORD nEnd, DWORD nLimit, DWORD nLineStart);
  // The same with the range end as the limit and the range start as the
  // line start.
  int Match(const BYTE* pText, DWORD nStart, DWORD nEnd) { return Match(pText, nStart, nEnd, nEnd, nStart); }
  // One attempt at nStart only.
  int MatchAt(const BYTE* pText, DWORD nStart, DWORD nEnd, DWORD nLimit, DWORD nLineStart);

  BOOL IsCompiled() const { return bCompiled; }
  // The compiled program begins with "^" / a literal run (for skipping ahead).
  BOOL StartsAtLineStart() const { return abProgram[0] == RX_BOL; }

  // The pattern and flags of the last successful find, so that a replace can
  // tell its selection is that match.
  BYTE abLastPattern[RX_PROGRAM_SIZE] = {};
  int nLastPatternLen = -1;
  int nLastFlags = 0;

  // Fields read by the find and replace operations (group 0 only).
  DWORD nStartOfRange = 0;
  int anGroupStack[RX_MAX_GROUPS] = {};
  BYTE abProgram[RX_PROGRAM_SIZE] = {};
  BOOL bCompiled = FALSE;
  BYTE abClass[RX_CLASS_SIZE] = {};
  BOOL bFailure = FALSE;
  DWORD anGroupStart[RX_MAX_GROUPS] = {};
  DWORD anGroupEnd[RX_MAX_GROUPS] = {};
  BOOL abGroupValid[RX_MAX_GROUPS] = {};

 private:
  // Resets the groups and sets up a run over pText[nStart, nEnd) (nEnd cut
  // to nLimit); FALSE when there is nothing to run.
  BOOL BeginRun(const BYTE* pText, DWORD nStart, DWORD& nEnd, DWORD nLimit, DWORD nLineStart);
  struct CompileState;
  const char* CompileElements(CompileState& st);
  const char* CompileClass(CompileState& st);
  void ClearGroups();
  void Analyse();
  BOOL MatchHere(DWORD p, int pc, DWORD* pnEnd, int nDepth);
  BOOL Attempt(DWORD p);

  // The run being matched.
  const BYTE* pRunText = nullptr;
  DWORD nRunEnd = 0;
  DWORD nRunLimit = 0;
  DWORD nRunLineStart = 0;
  // Groups closed in the current attempt (a back reference to one still open
  // matches the empty span).
  BOOL abGroupClosed[RX_MAX_GROUPS] = {};
  BOOL bHasGroups = FALSE;
  // Literal bytes every match starts with.
  BYTE abPrefix[RX_MAX_PREFIX] = {};
  int nPrefixLen = 0;
};
