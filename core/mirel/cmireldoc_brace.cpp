// Matching braces: the partner of a bracket character found by counting the
// nesting of that bracket kind only.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/mirel.h"
#include "mirel/mrcharsync.h"
#include "mirel/mrtextunits.h"

namespace {

// The partner of a bracket, 0 for any other character.
constexpr UINT BracePartner(UINT ch) {
  switch (ch) {
    case '(':
      return ')';
    case ')':
      return '(';
    case '<':
      return '>';
    case '>':
      return '<';
    case '[':
      return ']';
    case ']':
      return '[';
    case '{':
      return '}';
    case '}':
      return '{';
    default:
      return 0;
  }
}

// Where a bracket byte can be read as a character of its own without walking
// the characters before it: UTF-8 (ASCII bytes are never part of another
// character), UTF-16 (every whole unit but the LF of CR LF), one byte per
// character, and code pages without lead bytes. In a double-byte code page
// the brackets below the lowest trail byte ("()<>") can be read that way too;
// "[]{}" can be trail bytes and need a walk over the characters.
BOOL BracketStandsAlone(int nEncoding, const BYTE* pLeadTable, UINT ch) {
  if (nEncoding != MIREL_ENCODING_ANSI || ch < MR_MIN_TRAIL_BYTE) return TRUE;
  for (int b = 0; b < 256; ++b)
    if (pLeadTable[b]) return FALSE;
  return TRUE;
}

// Nesting count of a search: the partner at depth 0 ends it.
struct BraceCounter {
  UINT ch;
  UINT nPartner;
  int nDepth = 0;
  // TRUE when the unit read is the partner at depth 0.
  BOOL Visit(UINT nUnit) {
    if (nUnit == nPartner) {
      if (nDepth == 0) return TRUE;
      --nDepth;
    }
    if (nUnit == ch) ++nDepth;
    return FALSE;
  }
};

}  // namespace

int CMirelDoc::FindMatchingBrace(DWORD* pnPos, UINT ch, BOOL bForward) {
  const UINT nPartner = BracePartner(ch);
  if (pnPos == nullptr || nPartner == 0 || pContents == nullptr) return 0;
  const MrDocText text = MrGetDocText(*this);
  const DWORD nStart = *pnPos;
  if (nStart > text.nLen || text.p == nullptr) return 0;
  const BYTE* pLead = GetLeadByteTable();
  const DWORD nUnit = text.bWide ? 2 : 1;
  BraceCounter counter{ch, nPartner};
  auto found = [pnPos](DWORD nPos) {
    *pnPos = nPos;
    return 1;
  };
  // Every search reads each character once: the time is linear in the
  // distance to the partner (or to the end of the text).
  if (bForward) {
    if (BracketStandsAlone(nFileEncoding, pLead, ch)) {
      // Whole units only: a UTF-16 unit whose low byte is a bracket is not one.
      DWORD nPos = nStart;
      if (text.bWide && (nPos & 1)) ++nPos;
      for (; nPos < text.nLen && text.nLen - nPos >= nUnit; nPos += nUnit) {
        const UINT nRead = MrUnitAt(text.p + nPos, text.bWide);
        if ((nRead == ch || nRead == nPartner) && counter.Visit(nRead)) return found(nPos);
      }
      return 0;
    }
    for (DWORD nPos = nStart; nPos < text.nLen;) {
      if (counter.Visit(text.p[nPos])) return found(nPos);
      const DWORD nLen = MrCharLength(text.p, nPos, text.nLen, nFileEncoding, pLead);
      if (nLen == 0) return 0;
      nPos += nLen;
    }
    return 0;
  }

  // Backward: the character at the start, then every character that ends
  // at or before it.
  if (text.UnitIs(nStart, ch) || text.UnitIs(nStart, nPartner)) {
    if (counter.Visit(MrUnitAt(text.p + nStart, text.bWide))) return found(nStart);
  }
  if (BracketStandsAlone(nFileEncoding, pLead, ch)) {
    // The last whole unit that ends at or before the start.
    DWORD nEnd = nStart;
    if (text.bWide) nEnd &= ~1u;
    for (DWORD nPos = nEnd; nPos >= nUnit;) {
      nPos -= nUnit;
      const UINT nRead = MrUnitAt(text.p + nPos, text.bWide);
      if ((nRead == ch || nRead == nPartner) && counter.Visit(nRead)) return found(nPos);
    }
    return 0;
  }
  // Double-byte text: a stretch at a time, from a sure character start back
  // to the end of the stretch after it, walked forward once; the brackets in
  // it are then counted backward.
  std::vector<DWORD> brackets;
  DWORD nEnd = nStart;
  while (nEnd > 0) {
    const int nRow = GetLineFromPos(nEnd - 1);
    const DWORD nFloor = nLineCount > 0 && pLines != nullptr ? std::min(pLines[nRow].nStart, nEnd - 1) : 0;
    const DWORD nFrom = MrCharStartAtOrBefore(text.p, text.nLen, nEnd - 1, nFloor, nFileEncoding, pLead);
    brackets.clear();
    for (DWORD nPos = nFrom; nPos < nEnd;) {
      const DWORD nLen = MrCharLength(text.p, nPos, text.nLen, nFileEncoding, pLead);
      if (nLen == 0 || nPos + nLen > nEnd) break;  // the character holding the start is not read
      if (text.p[nPos] == ch || text.p[nPos] == nPartner) brackets.push_back(nPos);
      nPos += nLen;
    }
    for (auto it = brackets.rbegin(); it != brackets.rend(); ++it)
      if (counter.Visit(text.p[*it])) return found(*it);
    nEnd = nFrom;
  }
  return 0;
}
