// Matching braces: the partner of a bracket character found by counting the
// nesting of that bracket kind only.
#include <windows.h>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/mirel.h"

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

}  // namespace

int CMirelDoc::FindMatchingBrace(DWORD* pnPos, UINT ch, BOOL bForward) {
  const UINT nPartner = BracePartner(ch);
  if (pnPos == nullptr || nPartner == 0 || pContents == nullptr) return 0;
  const MrDocText text = MrGetDocText(*this);
  DWORD nPos = *pnPos;
  if (nPos > text.nLen) return 0;
  int nDepth = 0;
  if (bForward) {
    while (nPos < text.nLen) {
      // Whole units only: a UTF-16 unit whose low byte is a bracket is not one.
      if (text.UnitIs(nPos, nPartner)) {
        if (nDepth == 0) {
          *pnPos = nPos;
          return 1;
        }
        --nDepth;
      }
      const BOOL bSame = text.UnitIs(nPos, ch);
      const DWORD nNext = GetNextCharPos(nPos);
      if (nNext <= nPos) return 0;  // never loop on a step that does not advance
      nPos = nNext;
      if (bSame) ++nDepth;
    }
    return 0;
  }
  for (;;) {
    if (text.UnitIs(nPos, nPartner)) {
      if (nDepth == 0) {
        *pnPos = nPos;
        return 1;
      }
      --nDepth;
    }
    if (nPos == 0) return 0;
    const BOOL bSame = text.UnitIs(nPos, ch);
    const DWORD nPrev = GetPrevCharPosInParagraph(nPos);
    if (nPrev >= nPos) return 0;
    nPos = nPrev;
    if (bSame) ++nDepth;
  }
}
