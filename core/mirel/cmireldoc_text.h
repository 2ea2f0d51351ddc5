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
  // nPos, or the nearer edge of the CR LF pair nPos splits: an edit that
  // joins a CR and an LF makes one line end of them, and no caret stands
  // inside it. After an insert the caret goes past the pair (the inserted
  // CR broke the line, as a typed line break would), after a delete before it.
  DWORD OffPairMiddle(DWORD nPos, BOOL bAfterInsert = FALSE) const {
    const DWORD nUnit = bWide ? 2 : 1;
    if (nPos < nUnit || !UnitIs(nPos - nUnit, MR_CHAR_CR) || !UnitIs(nPos, MR_CHAR_LF)) return nPos;
    return bAfterInsert ? nPos + nUnit : nPos - nUnit;
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
