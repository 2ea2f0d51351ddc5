// The control's own small regular-expression engine: a pattern is compiled
// into a byte program that a backtracking matcher runs over bytes of the
// document text. It knows nothing of code pages: a multi-byte character is a
// run of bytes to it.
//
// Without back references the outcome of the rest of the program at a text
// position depends on nothing but that position, so the matcher remembers
// every (position, closure) pair that has failed and never tries it again:
// a search costs at most text length x program length steps, and the memory
// for it covers only the span one attempt can reach. Where that record would
// not fit its memory cap, and where a search goes on past matches its caller
// turns down, the matcher sweeps the run once from its end towards its start
// instead, working out at each position where every element's rest of the
// program matches from there: the same bound in time, memory for one value
// per element, and the same matches as backtracking (group 0 only: groups
// are recorded where back references need them).
//
// With back references only the closures after the last one are remembered,
// and the search runs under step budgets: one for each line it passes (the
// runs that share a text, line start, end and limit) and one for the whole
// search. When either runs out the search finds nothing, and IsOutOfSteps
// tells that apart from no match.
#pragma once

#include <windows.h>

#include <cstdint>

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
// Matcher steps one line may take where failures cannot be remembered: a
// fixed part (a back reference whose work is quadratic in the line's length
// completes on lines of well over 8 KB) and a part per byte of the line.
constexpr uint64_t RX_STEP_BUDGET = 1u << 27;
constexpr uint64_t RX_STEP_BUDGET_PER_BYTE = 64;
// Steps a whole search may take (all lines since the last Compile or match):
// a fixed part and the same part per byte of the text (up to the run limit).
constexpr uint64_t RX_SEARCH_STEP_BUDGET = 1u << 30;
// Most memory the remembered failures of one run may take.
constexpr size_t RX_MEMO_MAX_BYTES = 64u << 20;

// Tells a search which of the matcher's matches it may return (a find that
// must not select part of a character turns some down).
class CRegExpFilter {
 public:
  virtual ~CRegExpFilter() = default;
  // An attempt may start at nPos.
  virtual BOOL IsStartAllowed(DWORD nPos) = 0;
  // The match [s, e) found at an allowed start may be returned; one turned
  // down is passed over and the search goes on at the next start.
  virtual BOOL IsMatchAllowed(DWORD s, DWORD e) = 0;
};

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
  // One attempt at nStart only. Calls that step back over the same run
  // (same text, end, limit and line start, each start below the last, none
  // matching) share what earlier ones learnt failed: a caller that changes
  // the text between such calls compiles again first.
  int MatchAt(const BYTE* pText, DWORD nStart, DWORD nEnd, DWORD nLimit, DWORD nLineStart);

  // The first start in [nStart, nEnd) (with "^" the line start, for a lone
  // "$" the end) whose match, as Match finds it there, the filter lets
  // through. 1 with group 0 set, else 0.
  int MatchFirst(const BYTE* pText, DWORD nStart, DWORD nEnd, DWORD nLimit, DWORD nLineStart,
                 CRegExpFilter& filter);
  // The last start from nHigh down to nLow whose single attempt (as MatchAt
  // makes it) matches and the filter lets through. 1 with group 0 set, else 0.
  int MatchLast(const BYTE* pText, DWORD nLow, DWORD nHigh, DWORD nEnd, DWORD nLimit, DWORD nLineStart,
                CRegExpFilter& filter);

  // Matcher steps the last Match, MatchAt, MatchFirst or MatchLast call took.
  uint64_t GetSteps() const { return nSteps - nCallFirstStep; }
  // A step budget ran out: every run finds nothing until the next Compile.
  BOOL IsOutOfSteps() const { return bOutOfSteps; }
  // Most memory the record of failures of one run may take; past it the run
  // is swept instead (tests lower it to reach the sweep on short texts).
  void SetMemoCap(size_t nBytes) { nMemoCap = nBytes; }
  // The fixed part of each line's step budget (the fuzz target lowers it, so
  // that inputs whose work is cubic in their short lines stay quick).
  void SetLineStepBudget(uint64_t nSteps) { nLineStepBudget = nSteps; }

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
  // bStepBack: a MatchAt call, which may go on from the failures of the
  // call before it.
  BOOL BeginRun(const BYTE* pText, DWORD nStart, DWORD& nEnd, DWORD nLimit, DWORD nLineStart, BOOL bStepBack);
  struct CompileState;
  const char* CompileElements(CompileState& st);
  const char* CompileClass(CompileState& st);
  void ClearGroups();
  void Analyse();
  void ForgetSearch();
  BOOL MatchHere(DWORD p, int pc, DWORD* pnEnd);
  BOOL MatchClosureRemembered(DWORD p, int pc, int nRest, DWORD* pnEnd);
  BOOL MatchClosureBudgeted(DWORD p, DWORD q, int nRest, DWORD* pnEnd);
  int TryAt(DWORD p, DWORD* pnEnd);
  int Found(DWORD s, DWORD e);
  BOOL NextCandidate(DWORD* pnPos) const;
  BOOL IsCandidate(DWORD p) const;
  void StartSweep();
  void SweepDownTo(DWORD nPos);
  void SweepColumn(DWORD p);
  int SweepFirst(DWORD nFrom, CRegExpFilter& filter);
  BOOL PrepareMemo();
  BOOL HasFailed(DWORD p, int nSlot) const;
  void MarkFailed(DWORD p, int nSlot);
  void FreeMemo();

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

  // Remembered failures: per closure that has more program after it (its
  // slot), one bit per text position from nMemoBase; the bits come in words
  // of 64 positions, each block of words valid while its generation is the
  // current one, so a new run forgets the old one without clearing.
  BOOL bHasBackrefs = FALSE;
  int nMemoSlots = 0;
  static constexpr WORD RX_NO_MEMO_SLOT = 0xFFFF;
  WORD anMemoSlot[RX_PROGRAM_SIZE] = {};  // by closure position
  uint64_t* pMemoBits = nullptr;
  DWORD* pMemoGen = nullptr;
  size_t nMemoWordsAlloc = 0;
  size_t nMemoBlocksAlloc = 0;
  DWORD nMemoGen = 0;
  DWORD nMemoBase = 0;
  DWORD nMemoSpan = 0;
  BOOL bMemoReady = FALSE;
  DWORD nRunBase = 0;  // lowest position the current run (or MatchAt chain) can start at
  size_t nMemoCap = RX_MEMO_MAX_BYTES;
  BOOL bMemoOut = FALSE;  // a run without back references found no room for its record

  // The sweep: the program's elements in order without the group codes
  // (which do nothing without back references), the last one the end; and
  // for each, where the rest of the program from it matches at the position
  // swept last (its end, or RX_NO_MATCH).
  struct SweepNode {
    BYTE nKind;  // the element's code; for a closure RX_SWEEP_STAR + its element's code
    BYTE nByte;
    WORD nSet;       // program offset of a class's bitmap
    WORD nRunStart;  // first node of the run of closures over any byte that holds this one
  };
  static constexpr DWORD RX_NO_MATCH = 0xFFFFFFFF;
  SweepNode aSweepNodes[RX_PROGRAM_SIZE] = {};
  int nSweepNodes = 0;
  DWORD nSweepLiterals = 0;  // literal and class elements, the only ones that step past the range end
  DWORD anSweepValues[RX_PROGRAM_SIZE] = {};
  BOOL bSweeping = FALSE;
  DWORD nSweepPos = 0;

  // The MatchAt chain that may share remembered failures.
  BOOL bChainOpen = FALSE;
  const BYTE* pChainText = nullptr;
  DWORD nChainStart = 0;
  DWORD nChainEnd = 0;
  DWORD nChainLimit = 0;
  DWORD nChainLineStart = 0;

  // The line whose runs share one budget.
  BOOL bLineOpen = FALSE;
  const BYTE* pLineText = nullptr;
  DWORD nLineEnd = 0;
  DWORD nLineLimit = 0;
  DWORD nLineLineStart = 0;

  // Steps taken in all, at the start of the current search, line and call,
  // and the count at which the current run is out of steps.
  uint64_t nSteps = 0;
  uint64_t nSearchFirstStep = 0;
  uint64_t nLineFirstStep = 0;
  uint64_t nLineBudget = 0;
  uint64_t nLineStepBudget = RX_STEP_BUDGET;
  uint64_t nCallFirstStep = 0;
  uint64_t nStepLimit = 0;
  BOOL bBudgeted = FALSE;  // the current run counts its steps against the budgets
  BOOL bNoMemo = FALSE;    // no memory for remembering in the current run
  BOOL bOutOfSteps = FALSE;
};
