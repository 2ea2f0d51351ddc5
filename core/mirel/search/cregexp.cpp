// CRegExp: compiler to the byte program and the backtracking matcher.
#include "mirel/search/cregexp.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "mirel/search/mrbytescan.h"

namespace {

// Highest program use at which another element may start.
constexpr int RX_ELEMENT_ROOM = 2006;
// Memory for remembered failures kept from one search to the next.
constexpr size_t RX_MEMO_KEEP_BYTES = 1u << 20;

constexpr BOOL IsWordByte(BYTE b) {
  return b >= 128 || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_';
}

constexpr BOOL IsAsciiLetter(BYTE b) {
  return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

constexpr BYTE OtherCase(BYTE b) {
  if (b >= 'a' && b <= 'z') return static_cast<BYTE>(b - 'a' + 'A');
  if (b >= 'A' && b <= 'Z') return static_cast<BYTE>(b - 'A' + 'a');
  return b;
}

inline void SetBit(BYTE* pSet, BYTE b) {
  pSet[b >> 3] = static_cast<BYTE>(pSet[b >> 3] | (1u << (b & 7)));
}

inline BOOL InSet(const BYTE* pSet, BYTE b) {
  return (pSet[b >> 3] >> (b & 7)) & 1u;
}

constexpr int HexValue(BYTE b) {
  return (b >= '0' && b <= '9')   ? b - '0'
         : (b >= 'a' && b <= 'f') ? b - 'a' + 10
         : (b >= 'A' && b <= 'F') ? b - 'A' + 10
                                  : -1;
}

// Bytes an element (a code and its operands) takes in the program.
int ElementSize(const BYTE* pProgram, int pc) {
  switch (pProgram[pc]) {
    case RX_CHAR:
    case RX_GROUP_START:
    case RX_GROUP_END:
    case RX_BACKREF:
      return 2;
    case RX_CLASS:
      return 1 + RX_CLASS_SIZE;
    case RX_CLOSURE:
      return 1 + ElementSize(pProgram, pc + 1) + 1;
    default:
      return 1;
  }
}

}  // namespace

struct CRegExp::CompileState {
  const BYTE* p;
  int nLen;
  int i;
  BOOL bCaseSensitive;
  BOOL bParenGroups;
  int nPos;   // program bytes used
  int nPrev;  // start of the previous element, -1 before the first
  int nGroupCount;
  int nStackDepth;
  BOOL bOverflow;

  // Appends a byte; the last program byte is kept for the final end code.
  void Emit(BYTE* pProgram, BYTE b) {
    if (nPos >= RX_PROGRAM_SIZE - 1) {
      bOverflow = TRUE;
      return;
    }
    pProgram[nPos++] = b;
  }
  BOOL Room(int n) const { return nPos + n <= RX_PROGRAM_SIZE - 1; }
};

CRegExp::CRegExp() {
  abProgram[0] = RX_END;
}

CRegExp::~CRegExp() {
  ClearGroups();
  FreeMemo();
}

void CRegExp::ClearGroups() {
  std::memset(anGroupStart, 0, sizeof(anGroupStart));
  std::memset(anGroupEnd, 0, sizeof(anGroupEnd));
  std::memset(abGroupValid, 0, sizeof(abGroupValid));
  std::memset(abGroupClosed, 0, sizeof(abGroupClosed));
}

namespace {

// Reads an escape whose first byte is at st.i (inside or outside a class).
// Either a single byte (*pnByte) or a set (pSet filled, TRUE returned).
template <typename State>
BOOL ReadEscape(State& st, BYTE* pnByte, BYTE* pSet) {
  const BYTE c = st.p[st.i++];
  switch (c) {
    case 'a':
      *pnByte = 7;
      return FALSE;
    case 'b':
      *pnByte = 8;
      return FALSE;
    case 'f':
      *pnByte = 12;
      return FALSE;
    case 'n':
      *pnByte = 10;
      return FALSE;
    case 'r':
      *pnByte = 13;
      return FALSE;
    case 't':
      *pnByte = 9;
      return FALSE;
    case 'v':
      *pnByte = 11;
      return FALSE;
    case 'x':
      if (st.i + 1 < st.nLen && HexValue(st.p[st.i]) >= 0 && HexValue(st.p[st.i + 1]) >= 0) {
        *pnByte = static_cast<BYTE>(HexValue(st.p[st.i]) * 16 + HexValue(st.p[st.i + 1]));
        st.i += 2;
      } else {
        *pnByte = 'x';
      }
      return FALSE;
    case 'd':
    case 'D':
    case 's':
    case 'S':
    case 'w':
    case 'W': {
      std::memset(pSet, 0, RX_CLASS_SIZE);
      for (int b = 0; b < 256; ++b) {
        const BYTE v = static_cast<BYTE>(b);
        BOOL bIn = FALSE;
        if (c == 'd' || c == 'D') bIn = (v >= '0' && v <= '9') != (c == 'D');
        if (c == 's' || c == 'S') bIn = (v == ' ' || (v >= 9 && v <= 13)) != (c == 'S');
        if (c == 'w') bIn = IsWordByte(v);
        if (c == 'W') bIn = v < 128 && !IsWordByte(v);
        if (bIn) SetBit(pSet, v);
      }
      return TRUE;
    }
    default:
      *pnByte = c;
      return FALSE;
  }
}

}  // namespace

const char* CRegExp::CompileClass(CompileState& st) {
  // st.i is just after "[".
  std::memset(abClass, 0, sizeof(abClass));
  auto add = [this, &st](BYTE b) {
    SetBit(abClass, b);
    if (!st.bCaseSensitive && IsAsciiLetter(b)) SetBit(abClass, OtherCase(b));
  };
  BOOL bNegate = FALSE;
  if (st.i < st.nLen && st.p[st.i] == '^') {
    bNegate = TRUE;
    ++st.i;
  }
  enum { kNone, kByte, kSet } prevKind = kNone;
  int nPrev = 0;  // the previous member byte (signed as the range rules take it)
  if (st.i < st.nLen && (st.p[st.i] == '-' || st.p[st.i] == ']')) {
    add(st.p[st.i]);
    nPrev = static_cast<signed char>(st.p[st.i]);
    prevKind = kByte;
    ++st.i;
  }
  BYTE abSet[RX_CLASS_SIZE];
  for (;;) {
    if (st.i >= st.nLen || st.p[st.i] == 0) return "Missing ]";
    const BYTE c = st.p[st.i];
    if (c == ']') {
      ++st.i;
      break;
    }
    if (c == '\\') {
      if (st.i + 1 >= st.nLen) return "Missing ]";
      ++st.i;
      BYTE b = 0;
      if (ReadEscape(st, &b, abSet)) {
        for (int k = 0; k < RX_CLASS_SIZE; ++k) abClass[k] = static_cast<BYTE>(abClass[k] | abSet[k]);
        prevKind = kSet;
      } else {
        SetBit(abClass, b);
        nPrev = static_cast<signed char>(b);
        prevKind = kByte;
      }
      continue;
    }
    if (c == '-') {
      if (st.i + 1 >= st.nLen) return "Missing ]";
      const BYTE next = st.p[st.i + 1];
      BOOL bLiteral = next == ']' || prevKind != kByte || nPrev < 0;
      if (!bLiteral && next == '\\') {
        // Before a set escape the "-" is literal.
        if (st.i + 2 >= st.nLen) return "Missing ]";
        const BYTE e = st.p[st.i + 2];
        bLiteral = e == 'd' || e == 'D' || e == 's' || e == 'S' || e == 'w' || e == 'W';
      }
      if (bLiteral) {
        add('-');
        ++st.i;
        continue;
      }
      st.i += 1;
      BYTE nEndByte = next;
      if (next == '\\') {
        ++st.i;
        ReadEscape(st, &nEndByte, abSet);
      } else {
        ++st.i;
      }
      const int nEnd = static_cast<signed char>(nEndByte);
      // A range ending at 128 or more, or reversed, adds nothing more; the
      // next "-" ranges from the same start again.
      for (int b = nPrev + 1; b <= nEnd; ++b) add(static_cast<BYTE>(b));
      continue;
    }
    add(c);
    nPrev = static_cast<signed char>(c);
    prevKind = kByte;
    ++st.i;
  }
  if (bNegate) {
    for (BYTE& b : abClass) b = static_cast<BYTE>(~b);
  }
  if (!st.Room(1 + RX_CLASS_SIZE)) {
    st.bOverflow = TRUE;
  } else {
    st.Emit(abProgram, RX_CLASS);
    for (BYTE b : abClass) st.Emit(abProgram, b);
  }
  std::memset(abClass, 0, sizeof(abClass));
  return nullptr;
}

const char* CRegExp::CompileElements(CompileState& st) {
  const char* pszTooMany = st.bParenGroups ? "Too many () pairs" : "Too many \\(\\) pairs";
  const char* pszNull = st.bParenGroups ? "Null pattern inside ()" : "Null pattern inside \\(\\)";
  const char* pszUnmatched = st.bParenGroups ? "Unmatched )" : "Unmatched \\)";
  auto openGroup = [&]() -> const char* {
    if (st.nGroupCount > 9) return pszTooMany;
    anGroupStack[++st.nStackDepth] = st.nGroupCount;
    st.Emit(abProgram, RX_GROUP_START);
    st.Emit(abProgram, static_cast<BYTE>(st.nGroupCount++));
    return nullptr;
  };
  auto closeGroup = [&]() -> const char* {
    if (st.nPrev >= 0 && abProgram[st.nPrev] == RX_GROUP_START) return pszNull;
    if (st.nStackDepth <= 0) return pszUnmatched;
    st.Emit(abProgram, RX_GROUP_END);
    st.Emit(abProgram, static_cast<BYTE>(anGroupStack[st.nStackDepth--]));
    return nullptr;
  };
  auto literal = [&](BYTE b) {
    if (!st.bCaseSensitive && IsWordByte(b)) {
      std::memset(abClass, 0, sizeof(abClass));
      SetBit(abClass, b);
      if (IsAsciiLetter(b)) SetBit(abClass, OtherCase(b));
      if (!st.Room(1 + RX_CLASS_SIZE)) {
        st.bOverflow = TRUE;
      } else {
        st.Emit(abProgram, RX_CLASS);
        for (BYTE v : abClass) st.Emit(abProgram, v);
      }
      std::memset(abClass, 0, sizeof(abClass));
    } else {
      st.Emit(abProgram, RX_CHAR);
      st.Emit(abProgram, b);
    }
  };

  while (st.i < st.nLen) {
    if (st.nPos > RX_ELEMENT_ROOM || st.bOverflow) return "Pattern too long";
    const int nStart = st.nPos;
    BYTE c = st.p[st.i];
    const char* pszError = nullptr;
    BOOL bElement = TRUE;  // the bytes emitted form a new element
    if (c == '^' && st.i == 0) {
      ++st.i;
      st.Emit(abProgram, RX_BOL);
    } else if (c == '$' && st.i + 1 == st.nLen) {
      ++st.i;
      st.Emit(abProgram, RX_EOL);
    } else if (c == '.') {
      ++st.i;
      st.Emit(abProgram, RX_ANY);
    } else if (c == '*' || c == '+') {
      ++st.i;
      bElement = FALSE;
      if (st.nPrev < 0) return "Empty closure";
      const BYTE nCode = abProgram[st.nPrev];
      if (nCode == RX_CLOSURE) continue;
      if (nCode != RX_CHAR && nCode != RX_ANY && nCode != RX_CLASS) return "Illegal closure";
      int nElem = st.nPos - st.nPrev;
      if (c == '+') {
        if (!st.Room(nElem)) return "Pattern too long";
        std::memmove(abProgram + st.nPos, abProgram + st.nPrev, static_cast<size_t>(nElem));
        st.nPrev = st.nPos;
        st.nPos += nElem;
      }
      if (!st.Room(2)) return "Pattern too long";
      std::memmove(abProgram + st.nPrev + 1, abProgram + st.nPrev, static_cast<size_t>(nElem));
      abProgram[st.nPrev] = RX_CLOSURE;
      st.nPos += 1;
      abProgram[st.nPos++] = RX_END;
    } else if (c == '[') {
      ++st.i;
      pszError = CompileClass(st);
    } else if (c == '\\' || c == 0) {
      ++st.i;
      if (c == 0 || st.i >= st.nLen) {
        literal('\\');
        if (c == 0) {
          st.nPrev = nStart;
          continue;
        }
      } else {
        c = st.p[st.i];
        if (c >= '1' && c <= '9') {
          ++st.i;
          const int n = c - '0';
          if (st.nStackDepth > 0 && anGroupStack[st.nStackDepth] == n) return "Cyclical reference";
          if (n >= st.nGroupCount) return "Undetermined reference";
          st.Emit(abProgram, RX_BACKREF);
          st.Emit(abProgram, static_cast<BYTE>(n));
        } else if (c == '<') {
          ++st.i;
          st.Emit(abProgram, RX_WORD_START);
        } else if (c == '>') {
          ++st.i;
          if (st.nPrev >= 0 && abProgram[st.nPrev] == RX_WORD_START) return "Null pattern inside \\<\\>";
          st.Emit(abProgram, RX_WORD_END);
        } else if (c == '(' && !st.bParenGroups) {
          ++st.i;
          pszError = openGroup();
        } else if (c == ')' && !st.bParenGroups) {
          ++st.i;
          pszError = closeGroup();
        } else {
          BYTE b = 0;
          BYTE abSet[RX_CLASS_SIZE];
          if (ReadEscape(st, &b, abSet)) {
            if (!st.Room(1 + RX_CLASS_SIZE)) return "Pattern too long";
            st.Emit(abProgram, RX_CLASS);
            for (BYTE v : abSet) st.Emit(abProgram, v);
          } else {
            st.Emit(abProgram, RX_CHAR);
            st.Emit(abProgram, b);
          }
        }
      }
    } else if (c == '(' && st.bParenGroups) {
      ++st.i;
      pszError = openGroup();
    } else if (c == ')' && st.bParenGroups) {
      ++st.i;
      pszError = closeGroup();
    } else {
      ++st.i;
      literal(c);
    }
    if (pszError != nullptr) return pszError;
    if (st.bOverflow) return "Pattern too long";
    if (bElement) st.nPrev = nStart;
  }
  if (st.bOverflow) return "Pattern too long";
  if (st.nStackDepth > 0) return st.bParenGroups ? "Unmatched (" : "Unmatched \\(";
  return nullptr;
}

const char* CRegExp::Compile(const char* pszPattern, int nLen, BOOL bCaseSensitive, BOOL bParenGroups) {
  // A search starts with every compile; memory a long paragraph needed is
  // not kept beyond it.
  if (nMemoWordsAlloc * sizeof(uint64_t) > RX_MEMO_KEEP_BYTES) FreeMemo();
  if (pszPattern == nullptr || nLen <= 0) {
    if (bCompiled) {
      ForgetSearch();
      return nullptr;
    }
    abProgram[0] = RX_END;
    Analyse();
    return "No previous regular expression";
  }
  bCompiled = FALSE;
  std::memset(anGroupStack, 0, sizeof(anGroupStack));
  CompileState st{
      reinterpret_cast<const BYTE*>(pszPattern), nLen, 0, bCaseSensitive, bParenGroups, 0, -1, 1, 0, FALSE};
  const char* pszError = CompileElements(st);
  std::memset(abClass, 0, sizeof(abClass));
  if (pszError != nullptr) {
    abProgram[0] = RX_END;
    Analyse();
    return pszError;
  }
  abProgram[st.nPos] = RX_END;  // the last byte was kept for it
  bCompiled = TRUE;
  Analyse();
  return nullptr;
}

namespace {

// Sweep kinds beyond the program codes: a closure over a literal, any byte
// or a class, and an element that never matches.
constexpr BYTE RX_SWEEP_STAR = 0x20;
constexpr BYTE RX_SWEEP_FAIL = 0xFF;

// Lets every match through.
class CPassAll : public CRegExpFilter {
 public:
  BOOL IsStartAllowed(DWORD) override { return TRUE; }
  BOOL IsMatchAllowed(DWORD, DWORD) override { return TRUE; }
};

}  // namespace

void CRegExp::Analyse() {
  nPrefixLen = 0;
  bHasGroups = FALSE;
  bHasBackrefs = FALSE;
  nMemoSlots = 0;
  int pc = 0;
  while (pc < RX_PROGRAM_SIZE && abProgram[pc] == RX_CHAR && nPrefixLen < RX_MAX_PREFIX) {
    abPrefix[nPrefixLen++] = abProgram[pc + 1];
    pc += 2;
  }
  nSweepNodes = 0;
  nSweepLiterals = 0;
  for (pc = 0; pc < RX_PROGRAM_SIZE && abProgram[pc] != RX_END; pc += ElementSize(abProgram, pc)) {
    const BYTE nCode = abProgram[pc];
    if (nCode == RX_GROUP_START || nCode == RX_BACKREF) bHasGroups = TRUE;
    if (nCode == RX_BACKREF) {
      // What the closures before a back reference meet depends on the
      // groups as well: only those after the last one are remembered.
      bHasBackrefs = TRUE;
      for (int k = 0; k < pc; k += ElementSize(abProgram, k)) anMemoSlot[k] = RX_NO_MEMO_SLOT;
      nMemoSlots = 0;
    }
    if (nCode != RX_GROUP_START && nCode != RX_GROUP_END) {
      SweepNode node{nCode, 0, 0, static_cast<WORD>(nSweepNodes)};
      if (nCode == RX_CHAR) node.nByte = abProgram[pc + 1];
      if (nCode == RX_CLASS) node.nSet = static_cast<WORD>(pc + 1);
      if (nCode == RX_CHAR || nCode == RX_CLASS) ++nSweepLiterals;
      if (nCode == RX_BACKREF) node.nKind = RX_SWEEP_FAIL;  // never swept: back references backtrack
      if (nCode == RX_CLOSURE) {
        const BYTE nElem = abProgram[pc + 1];
        node.nKind = (nElem == RX_CHAR || nElem == RX_ANY || nElem == RX_CLASS)
                         ? static_cast<BYTE>(RX_SWEEP_STAR + nElem)
                         : RX_SWEEP_FAIL;
        node.nByte = abProgram[pc + 2];
        node.nSet = static_cast<WORD>(pc + 2);
        const BYTE nAnyStar = RX_SWEEP_STAR + RX_ANY;
        if (node.nKind == nAnyStar && nSweepNodes > 0 && aSweepNodes[nSweepNodes - 1].nKind == nAnyStar)
          node.nRunStart = aSweepNodes[nSweepNodes - 1].nRunStart;
      }
      aSweepNodes[nSweepNodes++] = node;
    }
    if (nCode != RX_CLOSURE) continue;
    // A closure with nothing after it succeeds at once: nothing to remember.
    anMemoSlot[pc] = abProgram[pc + ElementSize(abProgram, pc)] != RX_END ? static_cast<WORD>(nMemoSlots++)
                                                                          : RX_NO_MEMO_SLOT;
  }
  aSweepNodes[nSweepNodes] = SweepNode{RX_END, 0, 0, static_cast<WORD>(nSweepNodes)};
  ++nSweepNodes;
  ForgetSearch();
}

void CRegExp::ForgetSearch() {
  bMemoReady = FALSE;
  bChainOpen = FALSE;
  bSweeping = FALSE;
  bLineOpen = FALSE;
  bOutOfSteps = FALSE;
  nSearchFirstStep = nSteps;
}

void CRegExp::FreeMemo() {
  std::free(pMemoBits);
  std::free(pMemoGen);
  pMemoBits = nullptr;
  pMemoGen = nullptr;
  nMemoWordsAlloc = 0;
  nMemoBlocksAlloc = 0;
  bMemoReady = FALSE;
}

BOOL CRegExp::PrepareMemo() {
  // Closures and "." stop at the run end; only literal steps (fewer than the
  // program's bytes) go past it, and never past the limit.
  const uint64_t nTop = std::min<uint64_t>(static_cast<uint64_t>(nRunEnd) + RX_PROGRAM_SIZE, nRunLimit);
  const uint64_t nSpan = nTop - nRunBase + 1;
  const uint64_t nBlocks = nSpan / 64 + 1;
  const uint64_t nWords = nBlocks * static_cast<uint64_t>(nMemoSlots);
  if (nWords * sizeof(uint64_t) + nBlocks * sizeof(DWORD) > nMemoCap) return FALSE;
  if (nWords > nMemoWordsAlloc) {
    void* p = std::realloc(pMemoBits, static_cast<size_t>(nWords) * sizeof(uint64_t));
    if (p == nullptr) return FALSE;
    pMemoBits = static_cast<uint64_t*>(p);
    nMemoWordsAlloc = static_cast<size_t>(nWords);
  }
  if (nBlocks > nMemoBlocksAlloc) {
    void* p = std::realloc(pMemoGen, static_cast<size_t>(nBlocks) * sizeof(DWORD));
    if (p == nullptr) return FALSE;
    pMemoGen = static_cast<DWORD*>(p);
    nMemoBlocksAlloc = static_cast<size_t>(nBlocks);
    // Fresh blocks must not pass for the current generation.
    std::memset(pMemoGen, 0, nMemoBlocksAlloc * sizeof(DWORD));
    nMemoGen = 0;
  }
  if (++nMemoGen == 0) {
    std::memset(pMemoGen, 0, nMemoBlocksAlloc * sizeof(DWORD));
    nMemoGen = 1;
  }
  nMemoBase = nRunBase;
  nMemoSpan = static_cast<DWORD>(nSpan);
  bMemoReady = TRUE;
  return TRUE;
}

inline BOOL CRegExp::HasFailed(DWORD p, int nSlot) const {
  const DWORD nOff = p - nMemoBase;
  if (p < nMemoBase || nOff >= nMemoSpan) return FALSE;
  const DWORD nBlock = nOff >> 6;
  if (pMemoGen[nBlock] != nMemoGen) return FALSE;
  return (pMemoBits[static_cast<size_t>(nBlock) * nMemoSlots + nSlot] >> (nOff & 63)) & 1u;
}

inline void CRegExp::MarkFailed(DWORD p, int nSlot) {
  const DWORD nOff = p - nMemoBase;
  if (p < nMemoBase || nOff >= nMemoSpan) return;
  const DWORD nBlock = nOff >> 6;
  uint64_t* pWords = pMemoBits + static_cast<size_t>(nBlock) * nMemoSlots;
  if (pMemoGen[nBlock] != nMemoGen) {
    std::memset(pWords, 0, static_cast<size_t>(nMemoSlots) * sizeof(uint64_t));
    pMemoGen[nBlock] = nMemoGen;
  }
  pWords[nSlot] |= uint64_t{1} << (nOff & 63);
}

// The closure at pc entered at p, greedy: its element repeated as often as
// it goes, then the rest of the program from the longest run down to the
// empty one. Seen one position at a time, the closure at k first tries the
// closure at k + 1 and then the rest at k; so once the closure at k has
// failed, all runs from k on have, and the walk stops there.
BOOL CRegExp::MatchClosureRemembered(DWORD p, int pc, int nRest, DWORD* pnEnd) {
  const int nSlot = anMemoSlot[pc];
  if (HasFailed(p, nSlot)) return FALSE;
  const BYTE* t = pRunText;
  const BYTE* pElem = abProgram + pc + 1;
  DWORD k = p;
  switch (pElem[0]) {
    case RX_CHAR:
      while (k < nRunEnd && t[k] == pElem[1] && !HasFailed(k + 1, nSlot)) ++k;
      break;
    case RX_ANY:
      while (k < nRunEnd && !HasFailed(k + 1, nSlot)) ++k;
      break;
    default:  // RX_CLASS
      while (k < nRunEnd && InSet(pElem + 1, t[k]) && !HasFailed(k + 1, nSlot)) ++k;
      break;
  }
  nSteps += k - p;
  for (DWORD j = k + 1; j-- > p;) {
    if (MatchHere(j, nRest, pnEnd)) return TRUE;
    MarkFailed(j, nSlot);
  }
  return FALSE;
}

// The same without remembering: every run length from the longest down.
BOOL CRegExp::MatchClosureBudgeted(DWORD p, DWORD q, int nRest, DWORD* pnEnd) {
  nSteps += q - p;
  for (DWORD k = q + 1; k-- > p;) {
    if (MatchHere(k, nRest, pnEnd)) return TRUE;
    if (bOutOfSteps) return FALSE;
  }
  return FALSE;
}

BOOL CRegExp::MatchHere(DWORD p, int pc, DWORD* pnEnd) {
  if (++nSteps > nStepLimit && bBudgeted) {
    bOutOfSteps = TRUE;
    return FALSE;
  }
  const BYTE* t = pRunText;
  for (;;) {
    switch (abProgram[pc]) {
      case RX_END:
        *pnEnd = p;
        return TRUE;
      case RX_CHAR:
        if (p >= nRunLimit || t[p] != abProgram[pc + 1]) return FALSE;
        ++p;
        pc += 2;
        break;
      case RX_ANY:
        if (p >= nRunEnd) return FALSE;
        ++p;
        pc += 1;
        break;
      case RX_CLASS:
        if (p >= nRunLimit || !InSet(abProgram + pc + 1, t[p])) return FALSE;
        ++p;
        pc += 1 + RX_CLASS_SIZE;
        break;
      case RX_BOL:
        if (p != nRunLineStart) return FALSE;
        pc += 1;
        break;
      case RX_EOL:
        if (p < nRunEnd) return FALSE;
        pc += 1;
        break;
      case RX_GROUP_START: {
        const int n = abProgram[pc + 1] % RX_MAX_GROUPS;
        anGroupStart[n] = p;
        abGroupClosed[n] = FALSE;
        pc += 2;
        break;
      }
      case RX_GROUP_END: {
        const int n = abProgram[pc + 1] % RX_MAX_GROUPS;
        anGroupEnd[n] = p;
        abGroupClosed[n] = TRUE;
        pc += 2;
        break;
      }
      case RX_WORD_START:
        if ((p > 0 && p <= nRunLimit && IsWordByte(t[p - 1])) || p >= nRunLimit || !IsWordByte(t[p]))
          return FALSE;
        pc += 1;
        break;
      case RX_WORD_END:
        if (p == 0 || p > nRunLimit || !IsWordByte(t[p - 1]) || (p < nRunLimit && IsWordByte(t[p])))
          return FALSE;
        pc += 1;
        break;
      case RX_BACKREF: {
        const int n = abProgram[pc + 1] % RX_MAX_GROUPS;
        DWORD nLen = 0;
        if (abGroupClosed[n] && anGroupEnd[n] > anGroupStart[n]) nLen = anGroupEnd[n] - anGroupStart[n];
        if (nLen > nRunLimit || p > nRunLimit - nLen) return FALSE;
        if (nLen > 0 && std::memcmp(t + anGroupStart[n], t + p, nLen) != 0) return FALSE;
        nSteps += nLen;
        p += nLen;
        pc += 2;
        break;
      }
      case RX_CLOSURE: {
        const int nElem = pc + 1;
        const int nRest = pc + ElementSize(abProgram, pc);
        if (abProgram[nElem] != RX_CHAR && abProgram[nElem] != RX_ANY && abProgram[nElem] != RX_CLASS) {
          bFailure = TRUE;
          return FALSE;
        }
        if (anMemoSlot[pc] != RX_NO_MEMO_SLOT && !bNoMemo) {
          if (bMemoReady || PrepareMemo()) return MatchClosureRemembered(p, pc, nRest, pnEnd);
          if (!bHasBackrefs) {
            // No room for the record: the caller sweeps the run instead (no
            // closure above this one remembers anything yet).
            bMemoOut = TRUE;
            return FALSE;
          }
          // Closures after a back reference: plain backtracking under the budget.
          bNoMemo = TRUE;
          bBudgeted = TRUE;
        }
        DWORD q = p;
        switch (abProgram[nElem]) {
          case RX_CHAR:
            while (q < nRunEnd && t[q] == abProgram[nElem + 1]) ++q;
            break;
          case RX_ANY:
            q = nRunEnd > p ? nRunEnd : p;
            break;
          default:  // RX_CLASS
            while (q < nRunEnd && InSet(abProgram + nElem + 1, t[q])) ++q;
            break;
        }
        // Nothing after the closure: the longest run is the match.
        if (abProgram[nRest] == RX_END) {
          *pnEnd = q;
          return TRUE;
        }
        return MatchClosureBudgeted(p, q, nRest, pnEnd);
      }
      default:
        return FALSE;
    }
  }
}

// ---------------------------------------------------------------------------
// The sweep

void CRegExp::StartSweep() {
  bSweeping = TRUE;
  // Past the top nothing matches: closures and "." stop at the range end,
  // and beyond it only the literal elements step, each at most once.
  const DWORD nTop =
      static_cast<DWORD>(std::min<uint64_t>(static_cast<uint64_t>(nRunEnd) + nSweepLiterals, nRunLimit));
  for (int i = 0; i < nSweepNodes; ++i) anSweepValues[i] = RX_NO_MATCH;
  nSweepPos = nTop + 1;
}

void CRegExp::SweepDownTo(DWORD nPos) {
  while (nSweepPos > nPos) SweepColumn(--nSweepPos);
}

// The values at p from those at p + 1, element by element from the end of
// the program: each is where the program matches when that element is
// reached at p, the closures greedy as MatchHere takes them. A closure over
// any byte whose rest did not change, or that already matched at p + 1,
// keeps its value (taking the run one longer gives what it gave), and so
// does every closure over any byte right before it: the run is passed over,
// so that lines of many such closures cost little per position.
void CRegExp::SweepColumn(DWORD p) {
  DWORD* v = anSweepValues;
  const BYTE* t = pRunText;
  const BOOL bByte = p < nRunLimit;
  const BYTE b = bByte ? t[p] : 0;
  const BOOL bInRange = p < nRunEnd;
  const BOOL bWordBefore = p > 0 && p <= nRunLimit && IsWordByte(t[p - 1]);
  const BOOL bWordAt = bByte && IsWordByte(b);
  int i = nSweepNodes - 1;
  DWORD nOldNext = v[i];  // the value of the element after the current one, at p + 1
  v[i] = p;               // RX_END
  BOOL bNextChanged = TRUE;
  while (i-- > 0) {
    const SweepNode& node = aSweepNodes[i];
    const DWORD nOld = v[i];
    DWORD nNew = RX_NO_MATCH;
    ++nSteps;
    switch (node.nKind) {
      case RX_CHAR:
        if (bByte && b == node.nByte) nNew = nOldNext;
        break;
      case RX_ANY:
        if (bInRange) nNew = nOldNext;
        break;
      case RX_CLASS:
        if (bByte && InSet(abProgram + node.nSet, b)) nNew = nOldNext;
        break;
      case RX_BOL:
        if (p == nRunLineStart) nNew = v[i + 1];
        break;
      case RX_EOL:
        if (!bInRange) nNew = v[i + 1];
        break;
      case RX_WORD_START:
        if (!bWordBefore && bWordAt) nNew = v[i + 1];
        break;
      case RX_WORD_END:
        if (bWordBefore && !bWordAt) nNew = v[i + 1];
        break;
      // A closure first takes the run one longer (itself at p + 1), then
      // the rest at p.
      case RX_SWEEP_STAR + RX_ANY:
        if (!bNextChanged || (bInRange && nOld != RX_NO_MATCH)) {
          i = node.nRunStart;
          nOldNext = v[i];
          bNextChanged = FALSE;
          continue;
        }
        nNew = v[i + 1];
        break;
      case RX_SWEEP_STAR + RX_CHAR:
        nNew = (bInRange && b == node.nByte && nOld != RX_NO_MATCH) ? nOld : v[i + 1];
        break;
      case RX_SWEEP_STAR + RX_CLASS:
        nNew = (bInRange && InSet(abProgram + node.nSet, b) && nOld != RX_NO_MATCH) ? nOld : v[i + 1];
        break;
      default:
        break;
    }
    v[i] = nNew;
    bNextChanged = nNew != nOld;
    nOldNext = nOld;
  }
}

// The lowest candidate start from nFrom on whose match the filter lets
// through, all found by one sweep of the run.
int CRegExp::SweepFirst(DWORD nFrom, CRegExpFilter& filter) {
  StartSweep();
  BOOL bFound = FALSE;
  DWORD s = 0;
  DWORD e = 0;
  for (DWORD p = nSweepPos; p-- > nFrom;) {
    SweepDownTo(p);
    const DWORD v = anSweepValues[0];
    if (v != RX_NO_MATCH && IsCandidate(p) && filter.IsStartAllowed(p) && filter.IsMatchAllowed(p, v)) {
      bFound = TRUE;
      s = p;
      e = v;
    }
  }
  return bFound ? Found(s, e) : 0;
}

// ---------------------------------------------------------------------------
// Runs and searches

// One attempt at p in the current run: 1 with its end, 0 none, -1 when the
// record it needs cannot be had.
int CRegExp::TryAt(DWORD p, DWORD* pnEnd) {
  if (bSweeping) {
    SweepDownTo(p);
    *pnEnd = anSweepValues[0];
    return *pnEnd != RX_NO_MATCH ? 1 : 0;
  }
  if (bHasGroups) std::memset(abGroupClosed, 0, sizeof(abGroupClosed));
  if (MatchHere(p, 0, pnEnd)) return 1;
  return bMemoOut ? -1 : 0;
}

// A match is returned: group 0 is set, and the search is over (the next run
// starts afresh).
int CRegExp::Found(DWORD s, DWORD e) {
  anGroupStart[0] = s;
  anGroupEnd[0] = e;
  abGroupValid[0] = TRUE;
  ForgetSearch();
  return 1;
}

// Whether a match of the program may start at p of the current run.
BOOL CRegExp::IsCandidate(DWORD p) const {
  switch (abProgram[0]) {
    case RX_BOL:
      return p == nRunLineStart && p <= nRunEnd;
    case RX_EOL:
      return p == nRunEnd;
    default:
      return p < nRunEnd;
  }
}

// Moves *pnPos on to the next candidate start; FALSE when there is none. A
// program that starts with a literal run skips to where that run lies (it
// may run past the range end, up to the limit).
BOOL CRegExp::NextCandidate(DWORD* pnPos) const {
  DWORD p = *pnPos;
  switch (abProgram[0]) {
    case RX_BOL:
    case RX_EOL: {
      const DWORD nOnly = abProgram[0] == RX_BOL ? nRunLineStart : nRunEnd;
      if (p > nOnly || !IsCandidate(nOnly)) return FALSE;
      *pnPos = nOnly;
      return TRUE;
    }
    default:
      break;
  }
  if (p >= nRunEnd) return FALSE;
  if (nPrefixLen > 0) {
    const size_t nAt =
        MrScanBytes(pRunText + p, nRunEnd - p, nRunLimit - p, abPrefix, static_cast<size_t>(nPrefixLen));
    if (nAt == MR_SCAN_NONE) return FALSE;
    p += static_cast<DWORD>(nAt);
  } else if (abProgram[0] == RX_CLASS) {
    while (p < nRunEnd && !InSet(abProgram + 1, pRunText[p])) ++p;
    if (p >= nRunEnd) return FALSE;
  }
  *pnPos = p;
  return TRUE;
}

BOOL CRegExp::BeginRun(const BYTE* pText, DWORD nStart, DWORD& nEnd, DWORD nLimit, DWORD nLineStart,
                       BOOL bStepBack) {
  ClearGroups();
  bFailure = FALSE;
  nStartOfRange = nStart;
  if (pText == nullptr || abProgram[0] == RX_END || bOutOfSteps) return FALSE;
  if (nEnd > nLimit) nEnd = nLimit;
  if (nStart > nEnd) return FALSE;
  // Failures learnt over this very run by a MatchAt call at a later start
  // still hold (and a sweep goes on down); anything else starts afresh.
  const BOOL bGoOn = bStepBack && bChainOpen && pText == pChainText && nEnd == nChainEnd &&
                     nLimit == nChainLimit && nLineStart == nChainLineStart && nStart < nChainStart &&
                     nLineStart <= nStart;
  if (!bGoOn) {
    bMemoReady = FALSE;
    bMemoOut = FALSE;
    bSweeping = FALSE;
    nRunBase = bStepBack ? std::min(nStart, nLineStart) : nStart;
  }
  bChainOpen = bStepBack;
  pChainText = pText;
  nChainStart = nStart;
  nChainEnd = nEnd;
  nChainLimit = nLimit;
  nChainLineStart = nLineStart;
  // Each line has its own budget, and the search one over all lines: enough
  // for back references that do little backtracking over a long text.
  const BOOL bSameLine = bLineOpen && pText == pLineText && nEnd == nLineEnd && nLimit == nLineLimit &&
                         nLineStart == nLineLineStart;
  if (!bSameLine) {
    bLineOpen = TRUE;
    pLineText = pText;
    nLineEnd = nEnd;
    nLineLimit = nLimit;
    nLineLineStart = nLineStart;
    nLineFirstStep = nSteps;
    nLineBudget = nLineStepBudget +
                  RX_STEP_BUDGET_PER_BYTE * static_cast<uint64_t>(nEnd - std::min(nStart, nLineStart));
  }
  nStepLimit =
      std::min(nLineFirstStep + nLineBudget, nSearchFirstStep + RX_SEARCH_STEP_BUDGET +
                                                 RX_STEP_BUDGET_PER_BYTE * static_cast<uint64_t>(nLimit));
  bBudgeted = bHasBackrefs;
  bNoMemo = FALSE;
  pRunText = pText;
  nRunEnd = nEnd;
  nRunLimit = nLimit;
  nRunLineStart = nLineStart;
  return TRUE;
}

int CRegExp::MatchAt(const BYTE* pText, DWORD nStart, DWORD nEnd, DWORD nLimit, DWORD nLineStart) {
  nCallFirstStep = nSteps;
  if (!BeginRun(pText, nStart, nEnd, nLimit, nLineStart, TRUE)) return 0;
  DWORD e = 0;
  int n = TryAt(nStart, &e);
  if (n < 0) {
    StartSweep();
    n = TryAt(nStart, &e);
  }
  return n > 0 ? Found(nStart, e) : 0;
}

int CRegExp::Match(const BYTE* pText, DWORD nStart, DWORD nEnd, DWORD nLimit, DWORD nLineStart) {
  CPassAll all;
  return MatchFirst(pText, nStart, nEnd, nLimit, nLineStart, all);
}

int CRegExp::MatchFirst(const BYTE* pText, DWORD nStart, DWORD nEnd, DWORD nLimit, DWORD nLineStart,
                        CRegExpFilter& filter) {
  nCallFirstStep = nSteps;
  if (!BeginRun(pText, nStart, nEnd, nLimit, nLineStart, FALSE)) return 0;
  if (abProgram[0] == RX_EOL) {
    // A lone "$": the empty match at the end.
    return filter.IsStartAllowed(nEnd) && filter.IsMatchAllowed(nEnd, nEnd) ? Found(nEnd, nEnd) : 0;
  }
  for (DWORD p = nStart; NextCandidate(&p); ++p) {
    if (!filter.IsStartAllowed(p)) continue;
    DWORD e = 0;
    const int n = TryAt(p, &e);
    if (n > 0 && filter.IsMatchAllowed(p, e)) return Found(p, e);
    if (bOutOfSteps) return 0;
    // Without back references the rest of the run is one sweep, whether
    // the record found no room or a match was turned down (starting again
    // after each of those would cost the whole run every time).
    if (n < 0) return SweepFirst(p, filter);
    if (n > 0 && !bHasBackrefs) return SweepFirst(p + 1, filter);
  }
  return 0;
}

int CRegExp::MatchLast(const BYTE* pText, DWORD nLow, DWORD nHigh, DWORD nEnd, DWORD nLimit, DWORD nLineStart,
                       CRegExpFilter& filter) {
  nCallFirstStep = nSteps;
  if (abProgram[0] == RX_END || bOutOfSteps) return 0;
  nHigh = std::min(nHigh, std::min(nEnd, nLimit));
  for (DWORD k = nHigh + 1; k-- > nLow;) {
    if (!filter.IsStartAllowed(k)) continue;
    if (!BeginRun(pText, k, nEnd, nLimit, nLineStart, TRUE)) {
      if (bOutOfSteps) return 0;
      continue;
    }
    DWORD e = 0;
    int n = TryAt(k, &e);
    if (n < 0) {
      StartSweep();
      n = TryAt(k, &e);
    }
    if (n > 0 && filter.IsMatchAllowed(k, e)) return Found(k, e);
    if (bOutOfSteps) return 0;
    // A match turned down: without back references the chain goes on as
    // one sweep down the run; with them it goes on from the failures it
    // remembered.
    if (n > 0 && !bHasBackrefs && !bSweeping) StartSweep();
  }
  return 0;
}
