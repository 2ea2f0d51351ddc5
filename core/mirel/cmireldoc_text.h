// Read access to a document's text for the position, word and indentation
// operations: one pointer and length taken from the text store, plus the
// tests those operations share on whole character units.
#pragma once

#include <windows.h>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirel/mirel.h"

// The loaded text of a document (byte-order mark excluded). Empty while the
// document has no text store.
struct MrDocText {
  const BYTE* p = nullptr;
  DWORD nLen = 0;
  BOOL bWide = FALSE;  // 2-byte units (UTF-16)

  // TRUE when a whole unit starts at nPos and equals ch.
  BOOL UnitIs(DWORD nPos, UINT ch) const {
    const DWORD nSize = bWide ? 2 : 1;
    if (p == nullptr || nPos >= nLen || nLen - nPos < nSize || (bWide && (nPos & 1))) return FALSE;
    return MrUnitIs(p + nPos, bWide, ch);
  }
  BOOL IsLineEndAt(DWORD nPos) const { return UnitIs(nPos, MR_CHAR_CR) || UnitIs(nPos, MR_CHAR_LF); }
  // Bytes of the line end at nPos: a CR LF pair is one line end; 0 when none
  // starts there.
  DWORD LineEndLength(DWORD nPos) const {
    const DWORD nUnit = bWide ? 2 : 1;
    if (UnitIs(nPos, MR_CHAR_CR)) return UnitIs(nPos + nUnit, MR_CHAR_LF) ? 2 * nUnit : nUnit;
    return UnitIs(nPos, MR_CHAR_LF) ? nUnit : 0;
  }
  // nPos, or the CR of the CR LF pair nPos splits. A check that costs
  // nothing, for moves: they start and end on character starts.
  DWORD OffPairMiddle(DWORD nPos) const {
    const DWORD nUnit = bWide ? 2 : 1;
    if (nPos < nUnit || !UnitIs(nPos - nUnit, MR_CHAR_CR) || !UnitIs(nPos, MR_CHAR_LF)) return nPos;
    return nPos - nUnit;
  }
};

inline MrDocText MrGetDocText(CMirelDoc& doc) {
  MrDocText text;
  text.bWide = IsWideEncoding(doc.nFileEncoding);
  if (doc.pContents == nullptr) return text;
  // The in-memory store hands out the whole text at offset 0.
  MIREL_ASSERT(doc.pContents->GetTextOffset() == 0);
  text.p = doc.pContents->GetText(0);
  text.nLen = text.p != nullptr ? doc.pContents->GetLoadedLength() : 0;
  return text;
}

// The start of the character that holds nPos, as a walk from the start of
// its row finds it: nPos cut to the text and to a whole UTF-16 unit (so the
// caret never stands after a lone last byte of UTF-16 text), a position
// inside a line end at the start of the line end. It costs the distance to
// the nearest position the bytes around it show to be a character start,
// which inside a run of double-byte characters is the run (up to the row
// start): for edits and host positions, not for every caret move.
DWORD MrCharStartAt(CMirelDoc& doc, DWORD nPos);

// Where an edit that left the caret at nPos puts it: nPos when a character
// starts there. An edit can join the pieces around it into one character (a
// CR and an LF, the halves of a surrogate pair, a lead and a trail byte, a
// UTF-8 lead byte and its continuation bytes), and no caret stands inside
// one: after an insert the caret goes past the character the inserted text
// completed, as past a typed line break; otherwise (where a removal joined
// the pieces) to its start.
DWORD MrCaretOffCharMiddle(CMirelDoc& doc, DWORD nPos, BOOL bAfterInsert = FALSE);

// The caret inside the text and on a whole unit.
inline DWORD MrCaretInText(CMirelDoc& doc) {
  const MrDocText text = MrGetDocText(doc);
  DWORD nCaret = doc.nCaretPos < 0 ? 0 : static_cast<DWORD>(doc.nCaretPos);
  if (nCaret > text.nLen) nCaret = text.nLen;
  if (text.bWide) nCaret &= ~static_cast<DWORD>(1);
  return nCaret;
}

// The stream selection cut to the text and to whole units; FALSE without one
// (or for a column block).
inline BOOL MrStreamSelection(CMirelDoc& doc, DWORD* pnStart, DWORD* pnEnd) {
  if (!doc.block.HasSelection() || doc.block.IsColumnBlock()) return FALSE;
  const MrDocText text = MrGetDocText(doc);
  DWORD nStart = doc.block.GetStartPtr() < text.nLen ? doc.block.GetStartPtr() : text.nLen;
  DWORD nEnd = doc.block.GetEndPtr() < text.nLen ? doc.block.GetEndPtr() : text.nLen;
  if (text.bWide) {
    nStart &= ~static_cast<DWORD>(1);
    nEnd &= ~static_cast<DWORD>(1);
  }
  if (nStart >= nEnd) return FALSE;
  *pnStart = nStart;
  *pnEnd = nEnd;
  return TRUE;
}

// End of a display row (start + length).
constexpr DWORD MrRowEnd(const MIREL_LINE& row) {
  return row.nStart + row.nLen;
}
