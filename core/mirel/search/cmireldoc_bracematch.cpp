// The match-brace command: selects from the first bracket at or after the
// caret to its partner.
#include <windows.h>

#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"

namespace {

constexpr BOOL IsOpeningBrace(UINT ch) {
  return ch == '(' || ch == '{' || ch == '[' || ch == '<';
}

constexpr BOOL IsClosingBrace(UINT ch) {
  return ch == ')' || ch == '}' || ch == ']' || ch == '>';
}

}  // namespace

int CMirelDoc::MatchBrace(int /*nUnused*/) {
  if (nViewType != MIREL_VIEW_TYPE_TEXT || pContents == nullptr || pLines == nullptr || nLineCount <= 0)
    return 0;
  const MrDocText text = MrGetDocText(*this);
  const DWORD nUnit = text.bWide ? 2 : 1;
  DWORD q = nCaretPos < 0 ? 0 : static_cast<DWORD>(nCaretPos);
  if (q > text.nLen) q = text.nLen;
  if (text.bWide) q &= ~1u;
  // The first bracket at or after the caret, character by character (whole
  // UTF-16 units only).
  UINT ch = 0;
  while (q + nUnit <= text.nLen) {
    const UINT u = MrUnitAt(text.p + q, text.bWide);
    if (IsOpeningBrace(u) || IsClosingBrace(u)) {
      ch = u;
      break;
    }
    const DWORD nNext = GetNextCharPos(q);
    if (nNext <= q) break;
    q = nNext;
  }
  if (ch == 0) return 0;
  nVirtualSpace = 0;
  DWORD p = 0;
  if (IsOpeningBrace(ch)) {
    p = GetNextCharPos(q);
    if (p > q && FindMatchingBrace(&p, ch, TRUE)) {
      const DWORD nCaret = GetNextCharPos(p);
      block.Reset(q, GetLineFromPos(q), FALSE);
      cli = GetLineFromPos(nCaret);
      block.SetCaret(nCaret, cli);
      nCaretPos = static_cast<int>(nCaret);
    } else {
      cli = GetLineFromPos(q);
      block.Reset(q, cli, FALSE);
      nCaretPos = static_cast<int>(q);
    }
  } else {
    p = q > 0 ? GetPrevCharPos(q) : 0;
    if (q > 0 && p < q && FindMatchingBrace(&p, ch, FALSE)) {
      const DWORD nAnchor = GetNextCharPos(q);
      block.Reset(nAnchor, GetLineFromPos(nAnchor), FALSE);
      cli = GetLineFromPos(p);
      block.SetCaret(p, cli);
      nCaretPos = static_cast<int>(p);
    } else {
      cli = GetLineFromPos(q);
      block.Reset(q, cli, FALSE);
      nCaretPos = static_cast<int>(q);
    }
  }
  UpdateActiveCaret(1, 1);
  UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
  return 1;
}
