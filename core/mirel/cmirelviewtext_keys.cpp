// The text view's keyboard: typing, Backspace, Delete, Return, Tab, Escape and
// the caret moves with their Shift, Ctrl and Alt variants.
//
// Every change of the text goes through the document's gateways, which keep
// undo, layout, syntax and ranges in step. After every operation the caret
// row (cli) is a row that holds the caret position, and the selection is
// collapsed at the caret unless the operation extends it.
#include <algorithm>
#include <climits>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelviewtext.h"
#include "mirel/mirel.h"

namespace {

using Bytes = std::vector<BYTE>;

BOOL IsBlankUnit(UINT ch) {
  return ch == MR_CHAR_SPACE || ch == MR_CHAR_TAB || ch == MR_CHAR_NUL;
}

// One character unit of the document encoding (a byte, or the byte and 0).
void AppendUnit(const CMirelDoc& doc, BYTE ch, Bytes* pOut) {
  pOut->push_back(ch);
  if (IsWideEncoding(doc.nFileEncoding)) pOut->push_back(0);
}

void AppendSpaces(const CMirelDoc& doc, int nCount, Bytes* pOut) {
  const int nSize = doc.MakeSpaces(nCount, nullptr, 0);
  const size_t nOld = pOut->size();
  pOut->resize(nOld + static_cast<size_t>(nSize));
  doc.MakeSpaces(nCount, pOut->data() + nOld, nSize);
}

void AppendNewline(const CMirelDoc& doc, Bytes* pOut) {
  if (doc.nFileFormat != MIREL_FILE_FORMAT_LF) AppendUnit(doc, MR_CHAR_CR, pOut);
  if (doc.nFileFormat != MIREL_FILE_FORMAT_CR) AppendUnit(doc, MR_CHAR_LF, pOut);
}

BOOL RowHolds(const CMirelDoc& doc, int nRow, DWORD nPos) {
  return nRow >= 0 && nRow < doc.nLineCount && doc.pLines[nRow].nStart <= nPos &&
         nPos <= MrRowEnd(doc.pLines[nRow]);
}

// The row to show a position on: nPreferred when it holds it, else the row
// that holds it; where a soft wrap makes the end of one row the start of the
// next, the next (the character after the caret is there).
int RowForPos(CMirelDoc& doc, DWORD nPos, int nPreferred = -1) {
  if (RowHolds(doc, nPreferred, nPos)) return nPreferred;
  int nRow = doc.GetLineFromPos(nPos);
  while (nRow + 1 < doc.nLineCount && doc.pLines[nRow + 1].nStart == nPos &&
         doc.pLines[nRow + 1].nSubLine != 0)
    ++nRow;
  return nRow;
}

// The caret and its row, both kept consistent. Moves go from character
// start to character start, so only a split line end is checked (a check
// that costs nothing on every key).
void SetCaret(CMirelDoc& doc, DWORD nPos, int nPreferredRow = -1) {
  nPos = MrGetDocText(doc).OffPairMiddle(nPos);
  doc.nCaretPos = static_cast<int>(nPos);
  doc.cli = RowForPos(doc, nPos, nPreferredRow);
}

// The caret where a removal left it: the pieces around it may have joined
// into one character, whose start it goes to.
void SetCaretAfterRemoval(CMirelDoc& doc, DWORD nPos, int nPreferredRow = -1) {
  SetCaret(doc, MrCaretOffCharMiddle(doc, nPos), nPreferredRow);
}

// The caret after text inserted before nPos.
void SetCaretAfterInsert(CMirelDoc& doc, DWORD nPos) {
  nPos = MrCaretOffCharMiddle(doc, nPos, TRUE);
  doc.nCaretPos = static_cast<int>(nPos);
  doc.cli = RowForPos(doc, nPos, -1);
}

DWORD RowStart(const CMirelDoc& doc, int nRow) {
  return doc.pLines[nRow].nStart;
}

DWORD RowEnd(const CMirelDoc& doc, int nRow) {
  return MrRowEnd(doc.pLines[nRow]);
}

// A plain Left or Right with a selection up: the caret goes to the selection's
// start (or end), on the row that end of the selection was shown on. FALSE
// when there is no selection to collapse.
BOOL CollapseSelection(CMirelDoc& doc, BOOL bToEnd) {
  if (!doc.block.HasSelection() || doc.pLines == nullptr || doc.nLineCount <= 0) return FALSE;
  const BOOL bCaretLast = doc.block.nAnchor < doc.block.nCaret;
  const BOOL bCaretSide = bToEnd ? bCaretLast : !bCaretLast;
  const int nRow = bCaretSide ? doc.block.nCaretLine : doc.block.nAnchorLine;
  const DWORD nPos = bToEnd ? doc.block.GetEndPtr() : doc.block.GetStartPtr();
  doc.nVirtualSpace = 0;
  SetCaret(doc, std::min(nPos, doc.GetContentsSize()), nRow);
  return TRUE;
}

// Where typed text goes: over a stream selection (its start in *pnPos, its
// length in *pnOldLen), or at *pnPos after the spaces that fill the virtual
// space (put in *pData). FALSE when neither applies.
BOOL PlaceTyping(CMirelDoc& doc, DWORD* pnPos, DWORD* pnOldLen, Bytes* pData) {
  DWORD nSelStart = 0;
  DWORD nSelEnd = 0;
  if (MrStreamSelection(doc, &nSelStart, &nSelEnd)) {
    doc.nVirtualSpace = 0;
    *pnPos = nSelStart;
    *pnOldLen = nSelEnd - nSelStart;
    return TRUE;
  }
  if (doc.nVirtualSpace > 0) {
    AppendSpaces(doc, doc.nVirtualSpace, pData);
    doc.nVirtualSpace = 0;
    return TRUE;
  }
  return FALSE;
}

// Ctrl+Backspace and Ctrl+Delete: the range, widened to take in a selection,
// goes as an undo step of its own; the caret stays at its start.
void DeleteWordRange(CMirelDoc& doc, DWORD nStart, DWORD nEnd, BOOL bSelection, DWORD nSelStart,
                     DWORD nSelEnd) {
  if (bSelection) {
    nStart = std::min(nStart, nSelStart);
    nEnd = std::max(nEnd, nSelEnd);
  }
  doc.nVirtualSpace = 0;
  if (nEnd > nStart) {
    doc.SeparateUndo();
    doc.DeleteContents(nStart, nEnd - nStart, TRUE);
    doc.SeparateUndo();
  }
  SetCaretAfterRemoval(doc, nStart);
}

// Bytes of the character at nPos (a line end counts as one); 0 at the end.
DWORD CharLengthAt(CMirelDoc& doc, DWORD nPos) {
  const MrDocText text = MrGetDocText(doc);
  if (nPos >= text.nLen) return 0;
  DWORD nLen = 0;
  doc.IsNewLineChar(nPos, &nLen);
  return std::clamp<DWORD>(nLen, 1, text.nLen - nPos);
}

// Inserts (or replaces nOldLen bytes by) pData at nPos as one undoable edit.
BOOL ReplaceAt(CMirelDoc& doc, DWORD nPos, DWORD nOldLen, const Bytes& data) {
  if (nOldLen == 0) {
    if (data.empty()) return TRUE;
    return doc.InsertContents(nPos, data.data(), static_cast<DWORD>(data.size()), TRUE);
  }
  return doc.ReplaceContents(nPos, nOldLen, TRUE, data.data(), static_cast<DWORD>(data.size()), TRUE);
}

}  // namespace

// ---------------------------------------------------------------------------
// Shared steps

void CMirelViewText::EndGestureColumnMode() {
  if (!bColumnModeFromGesture || pdoc == nullptr) return;
  bColumnModeFromGesture = FALSE;
  // Leaving column mode drops virtual space; a plain move keeps its own.
  const int nVirtual = pdoc->nVirtualSpace;
  pdoc->block.LeaveColumnMode();
  pdoc->nVirtualSpace = nVirtual;
}

void CMirelViewText::FinishEdit(DWORD nFrom, BOOL bInCaretParagraph) {
  CMirelDoc& doc = *pdoc;
  EndGestureColumnMode();
  SetCaret(doc, MrCaretInText(doc), doc.cli);
  doc.block.Reset(static_cast<DWORD>(doc.nCaretPos), doc.cli, FALSE);
  doc.UpdateAllScrollBars();
  UpdateCaret(1, 1);
  if (bInCaretParagraph && RequestCaretParagraphRepaint()) return;
  doc.UpdateAllViews(REPAINT_TAG_FROM, nFrom, 0);
}

BOOL CMirelViewText::BeginMove(int bAlt, BOOL bExtend) {
  if (pdoc == nullptr || pMirel == nullptr || pdoc->pContents == nullptr || pdoc->pLines == nullptr ||
      pdoc->nLineCount <= 0)
    return FALSE;
  CMirelDoc& doc = *pdoc;
  SetCaret(doc, MrCaretInText(doc), doc.cli);
  if (!doc.block.HasSelection()) {
    // Shift+Alt starts a column block, but never while rows wrap.
    const BOOL bColumn = bExtend && bAlt && doc.nWrapMode == MIREL_WRAP_NONE;
    if (bColumn && !doc.block.IsColumnMode()) bColumnModeFromGesture = TRUE;
    doc.block.Reset(static_cast<DWORD>(doc.nCaretPos), doc.cli, bColumn);
  }
  return TRUE;
}

void CMirelViewText::FinishMove(BOOL bExtend, DWORD nOldCaret) {
  CMirelDoc& doc = *pdoc;
  SetCaret(doc, MrCaretInText(doc), doc.cli);
  const DWORD nCaret = static_cast<DWORD>(doc.nCaretPos);
  if (bExtend) {
    doc.block.SetCaret(nCaret, doc.cli);
    const DWORD nFrom = std::min(doc.block.GetStartPtr(), nOldCaret);
    const DWORD nTo = std::max(doc.block.GetEndPtr(), nOldCaret);
    doc.UpdateAllViews(REPAINT_TAG_RANGE, nFrom, nTo);
    return;
  }
  if (doc.block.HasSelection())
    doc.UpdateAllViews(REPAINT_TAG_RANGE, doc.block.GetStartPtr(), doc.block.GetEndPtr());
  EndGestureColumnMode();
  doc.block.Reset(nCaret, doc.cli, FALSE);
}

void CMirelViewText::PlaceCaretAtGoalX(int nRow, BOOL bAllowVirtual) {
  CMirelDoc& doc = *pdoc;
  nRow = std::clamp(nRow, 0, doc.nLineCount - 1);
  const long long x = static_cast<long long>(pMirel->nGoalCaretX) - doc.nLeftMargin;
  const DWORD nPos =
      doc.GetPosFromX(nRow, static_cast<int>(std::clamp<long long>(x, INT_MIN, INT_MAX)), bAllowVirtual);
  if (!bAllowVirtual) doc.nVirtualSpace = 0;
  doc.nCaretPos = static_cast<int>(nPos);
  doc.cli = nRow;
}

// ---------------------------------------------------------------------------
// Typing

void CMirelViewText::OnChar(HWND, char ch, int) {
  if (pdoc == nullptr || pdoc->bReadOnly || pdoc->pContents == nullptr) return;
  CMirelDoc& doc = *pdoc;
  // Only printable ASCII: control characters have their own keys and the
  // input method delivers everything else.
  const int c = static_cast<signed char>(ch);
  if (c < static_cast<int>(MR_CHAR_SPACE) || c == 0x7F) return;
  if (doc.block.IsColumnBlock()) {
    TypeInBox(&ch, 1);
    return;
  }
  const DWORD nCaret = MrCaretInText(doc);
  Bytes data;
  DWORD nPos = nCaret;
  DWORD nOldLen = 0;
  if (!PlaceTyping(doc, &nPos, &nOldLen, &data) && doc.IsOverwriteMode()) {
    // A line end is never overwritten: the character goes before it.
    DWORD nLen = 0;
    if (nCaret < doc.GetContentsSize() && !doc.IsNewLineChar(nCaret, &nLen)) nOldLen = nLen;
  }
  AppendUnit(doc, static_cast<BYTE>(c), &data);
  if (!ReplaceAt(doc, nPos, nOldLen, data)) return;
  SetCaretAfterInsert(doc, nPos + static_cast<DWORD>(data.size()));
  doc.bHanjaConvert = FALSE;
  // A closing word may re-indent its line.
  if (doc.bAutoIndentation) doc.ApplySyntaxUnindent(static_cast<char>(c));
  FinishEdit(std::min(nPos, doc.GetParagraphStart(nPos)), TRUE);
}

// ---------------------------------------------------------------------------
// Backspace and Delete

void CMirelViewText::OnKeyBack(int, int bCtrl, int, int) {
  if (pdoc == nullptr || pdoc->bReadOnly || pdoc->pContents == nullptr || pdoc->nLineCount <= 0) return;
  CMirelDoc& doc = *pdoc;
  if (doc.block.IsColumnBlock()) {
    BackInBox();
    return;
  }
  const MrDocText text = MrGetDocText(doc);
  const DWORD nCaret = MrCaretInText(doc);
  SetCaret(doc, nCaret, doc.cli);
  DWORD nSelStart = 0;
  DWORD nSelEnd = 0;
  const BOOL bSelection = MrStreamSelection(doc, &nSelStart, &nSelEnd);

  if (bCtrl) {
    // Back to the start of the word the caret is in or after; blanks before
    // the caret go with the word or the delimiter before them.
    DWORD nStart = nCaret;
    DWORD nWordStart = 0;
    DWORD nWordEnd = 0;
    if (doc.GetWordRange(nCaret, &nWordStart, &nWordEnd) && nWordStart < nCaret && nCaret <= nWordEnd) {
      nStart = nWordStart;
    } else {
      DWORD nPos = nCaret;
      while (nPos > 0) {
        const DWORD nPrev = doc.GetPrevCharPos(nPos);
        if (nPrev >= nPos) break;
        if (nPos - nPrev == (text.bWide ? 2u : 1u) && IsBlankUnit(MrUnitAt(text.p + nPrev, text.bWide))) {
          nPos = nPrev;
          continue;
        }
        nPos = nPrev;
        if (!doc.IsWordDelimiter(text.p + nPrev) && doc.GetWordRange(nPrev, &nWordStart, &nWordEnd) &&
            nWordStart < nWordEnd) {
          nPos = nWordStart;
        }
        break;
      }
      nStart = nPos;
    }
    DeleteWordRange(doc, nStart, nCaret, bSelection, nSelStart, nSelEnd);
  } else if (bSelection) {
    doc.DeleteBlock();
    SetCaretAfterRemoval(doc, MrCaretInText(doc));
  } else if (doc.nVirtualSpace > 0) {
    --doc.nVirtualSpace;
  } else if (nCaret == 0) {
    return;
  } else {
    // The character before the caret, also where the caret stands at the
    // start of a wrapped row (the end of the row above is the same position).
    const DWORD nPrev = doc.GetPrevCharPos(nCaret);
    if (nPrev >= nCaret) return;
    doc.DeleteContents(nPrev, nCaret - nPrev, TRUE);
    SetCaretAfterRemoval(doc, nPrev);
  }
  FinishEdit(static_cast<DWORD>(doc.nCaretPos), TRUE);
}

void CMirelViewText::OnKeyDelete(int, int bCtrl, int bAlt, int bShift) {
  if (pdoc == nullptr || pdoc->pContents == nullptr || pdoc->nLineCount <= 0) return;
  CMirelDoc& doc = *pdoc;
  const BOOL bExtend = bShift || doc.bAutoSelect;
  if (bAlt || (bCtrl && bExtend) || doc.bReadOnly) return;
  if (doc.block.IsColumnBlock()) {
    DeleteBox();
    return;
  }
  const MrDocText text = MrGetDocText(doc);
  const DWORD nCaret = MrCaretInText(doc);
  SetCaret(doc, nCaret, doc.cli);
  DWORD nSelStart = 0;
  DWORD nSelEnd = 0;
  const BOOL bSelection = MrStreamSelection(doc, &nSelStart, &nSelEnd);
  const DWORD nUnit = text.bWide ? 2 : 1;
  auto blankAt = [&](DWORD nPos) {
    return nPos < text.nLen && text.nLen - nPos >= nUnit && IsBlankUnit(MrUnitAt(text.p + nPos, text.bWide));
  };

  if (bCtrl) {
    DWORD nEnd = nCaret;
    DWORD nWordStart = 0;
    DWORD nWordEnd = 0;
    if (nCaret < text.nLen && !doc.IsWordDelimiter(text.p + nCaret) &&
        doc.GetWordRange(nCaret, &nWordStart, &nWordEnd) && nWordEnd > nCaret) {
      // The rest of the word and the blanks after it.
      nEnd = nWordEnd;
      while (blankAt(nEnd)) nEnd += nUnit;
    } else {
      // The blanks, and a delimiter after them (a word after them stays).
      while (blankAt(nEnd)) nEnd += nUnit;
      if (nEnd < text.nLen && doc.IsWordDelimiter(text.p + nEnd)) nEnd += CharLengthAt(doc, nEnd);
    }
    DeleteWordRange(doc, nCaret, std::min(nEnd, text.nLen), bSelection, nSelStart, nSelEnd);
  } else if (bSelection) {
    doc.DeleteBlock();
    SetCaretAfterRemoval(doc, MrCaretInText(doc));
  } else if (doc.nVirtualSpace > 0) {
    --doc.nVirtualSpace;
  } else if (nCaret < text.nLen) {
    doc.DeleteContents(nCaret, CharLengthAt(doc, nCaret), TRUE);
    SetCaretAfterRemoval(doc, std::min(nCaret, doc.GetContentsSize()));
  }
  FinishEdit(static_cast<DWORD>(doc.nCaretPos));
}

void CMirelViewText::DeleteBox() {
  CMirelDoc& doc = *pdoc;
  doc.SeparateUndo();
  doc.block.DeleteColumnBlock(pdoc);
  doc.SeparateUndo();
  // The block stays a zero-width column; only the caret row is checked.
  SetCaretAfterRemoval(doc, MrCaretInText(doc), doc.cli);
  doc.UpdateAllScrollBars();
  UpdateCaret(1, 1);
  doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}

// ---------------------------------------------------------------------------
// Return, Tab and Escape

void CMirelViewText::OnKeyReturn(int nRepeat, int bCtrl, int bAlt, int bShift) {
  if (pdoc == nullptr || pMirel == nullptr || pdoc->pContents == nullptr || pdoc->nLineCount <= 0) return;
  CMirelDoc& doc = *pdoc;
  if (doc.bReadOnly) return;
  if (doc.block.IsColumnBlock()) {
    if (doc.IsOverwriteMode()) {
      MessageBeep(MB_ICONHAND);
    } else {
      DeleteBox();
    }
    return;
  }
  if (doc.IsOverwriteMode()) {
    // Overwrite mode only moves to the start of the next row.
    pMirel->nGoalCaretX = doc.nLeftMargin;
    MoveDown(nRepeat, bCtrl, bAlt, bShift);
    return;
  }
  const DWORD nCaret = MrCaretInText(doc);
  SetCaret(doc, nCaret, doc.cli);
  Bytes data;
  DWORD nPos = nCaret;
  DWORD nOldLen = 0;
  PlaceTyping(doc, &nPos, &nOldLen, &data);
  AppendNewline(doc, &data);
  // The line break and the new line's indentation are one undo step.
  doc.SeparateUndo();
  doc.StartUndoGroup();
  const BOOL bDone = ReplaceAt(doc, nPos, nOldLen, data);
  if (bDone) {
    SetCaretAfterInsert(doc, nPos + static_cast<DWORD>(data.size()));
    doc.bHanjaConvert = FALSE;
    if (doc.bAutoIndentation) doc.ApplySyntaxUnindent(static_cast<char>(MR_CHAR_CR));
  }
  doc.EndUndoGroup();
  doc.SeparateUndo();
  if (bDone) FinishEdit(nPos);
}

void CMirelViewText::OnKeyTab(int, int, int, int bShift) {
  if (pdoc == nullptr || pdoc->bReadOnly || pdoc->pContents == nullptr || pdoc->nLineCount <= 0) return;
  CMirelDoc& doc = *pdoc;
  if (doc.block.IsColumnBlock()) {
    TabInBox();
    return;
  }
  if (doc.block.HasSelection() && doc.block.IsMultiLine()) {
    EndGestureColumnMode();
    doc.IndentBlock(bShift ? 0 : 1);
    UpdateCaret(1, 1);
    return;
  }
  DWORD nCaret = MrCaretInText(doc);
  SetCaret(doc, nCaret, doc.cli);
  DWORD nFrom = RowStart(doc, doc.cli);
  doc.StartUndoGroup();
  DWORD nSelStart = 0;
  DWORD nSelEnd = 0;
  if (MrStreamSelection(doc, &nSelStart, &nSelEnd)) {
    doc.DeleteContents(nSelStart, nSelEnd - nSelStart, TRUE);
    doc.nVirtualSpace = 0;
    nCaret = nSelStart;
    SetCaret(doc, nCaret);
    nFrom = nSelStart;
  } else if (doc.IsOverwriteMode() && doc.nVirtualSpace == 0 && nCaret < doc.GetContentsSize()) {
    DWORD nLen = 0;
    if (!doc.IsNewLineChar(nCaret, &nLen)) doc.DeleteContents(nCaret, nLen, TRUE);
  }
  Bytes data;
  if (doc.bTabToSpace) {
    // Spaces up to the next tab stop from the caret's x (virtual columns
    // included, and filled with spaces first).
    const long long x = doc.GetXFromPos(doc.cli, nCaret, TRUE);
    const long long nTab = std::max(doc.nTabWidth, 1);
    const long long nSpace = std::max(doc.GetSpaceWidth(), 1);
    const long long n = std::max<long long>(((x / nTab + 1) * nTab - x) / nSpace, 1);
    AppendSpaces(doc, doc.nVirtualSpace, &data);
    AppendSpaces(doc, n, &data);
  } else {
    AppendSpaces(doc, doc.nVirtualSpace, &data);
  }
  doc.nVirtualSpace = 0;
  DWORD nAfter = nCaret;
  if (ReplaceAt(doc, nCaret, 0, data)) nAfter += static_cast<DWORD>(data.size());
  if (!doc.bTabToSpace) {
    // Spaces that the tab swallows may lie before the caret's old place.
    nFrom = std::min(nFrom, doc.GetParagraphStart(nAfter));
    nAfter = doc.InsertTab(nAfter, TRUE);
  }
  doc.EndUndoGroup();
  SetCaretAfterInsert(doc, nAfter);
  doc.bHanjaConvert = FALSE;
  FinishEdit(std::min(nFrom, static_cast<DWORD>(doc.nCaretPos)));
}

void CMirelViewText::OnKeyEscape(int, int, int, int) {
  if (pdoc == nullptr) return;
  CMirelDoc& doc = *pdoc;
  if (doc.bAutoSelect) {
    // Sticky selection ends; the selection stays.
    doc.bAutoSelect = FALSE;
    return;
  }
  if (doc.block.HasSelection() && doc.pLines != nullptr && doc.nLineCount > 0) {
    const DWORD nOldStart = doc.block.GetStartPtr();
    const DWORD nOldEnd = doc.block.GetEndPtr();
    SetCaret(doc, MrCaretInText(doc), doc.cli);
    UpdateCaret(1, 1);
    EndGestureColumnMode();
    doc.block.Reset(static_cast<DWORD>(doc.nCaretPos), doc.cli, FALSE);
    doc.UpdateAllViews(REPAINT_TAG_RANGE, nOldStart, nOldEnd);
    return;
  }
  doc.NotifyParent(4);
}

// ---------------------------------------------------------------------------
// Moves

void CMirelViewText::MoveLeft(int, int bCtrl, int bAlt, int bShift) {
  if (pdoc == nullptr || (bCtrl && bAlt)) return;
  CMirelDoc& doc = *pdoc;
  const BOOL bExtend = bShift || doc.bAutoSelect;
  if (!bExtend && CollapseSelection(doc, FALSE)) {
    FinishMove(FALSE, static_cast<DWORD>(doc.nCaretPos));
    UpdateCaret(1, 1);
    return;
  }
  if (!BeginMove(bAlt, bExtend)) return;
  const BOOL bVirtual = doc.bVirtualSpace || (doc.block.IsColumnMode() && bExtend);
  const DWORD nOld = static_cast<DWORD>(doc.nCaretPos);
  const DWORD nRowStart = RowStart(doc, doc.cli);
  if (doc.nVirtualSpace > 0) {
    if (bVirtual) {
      --doc.nVirtualSpace;
    } else {
      doc.nVirtualSpace = 0;
      doc.nCaretPos = static_cast<int>(RowEnd(doc, doc.cli));
    }
  } else if (nOld > nRowStart) {
    doc.nCaretPos = static_cast<int>(bCtrl ? doc.GetWordStart(doc.cli, nOld) : doc.GetPrevCharPos(nOld));
    doc.nCaretPos = static_cast<int>(std::max<DWORD>(static_cast<DWORD>(doc.nCaretPos), nRowStart));
  } else if (doc.cli > 0) {
    // At a soft wrap only the row changes: the position stays.
    --doc.cli;
    doc.nCaretPos = static_cast<int>(RowEnd(doc, doc.cli));
  }
  if (!bVirtual) doc.nVirtualSpace = 0;
  FinishMove(bExtend, nOld);
  UpdateCaret(1, 1);
}

void CMirelViewText::MoveRight(int, int bCtrl, int bAlt, int bShift) {
  if (pdoc == nullptr || (bCtrl && bAlt)) return;
  CMirelDoc& doc = *pdoc;
  const BOOL bExtend = bShift || doc.bAutoSelect;
  if (!bExtend && CollapseSelection(doc, TRUE)) {
    FinishMove(FALSE, static_cast<DWORD>(doc.nCaretPos));
    UpdateCaret(1, 1);
    return;
  }
  if (!BeginMove(bAlt, bExtend)) return;
  const BOOL bVirtual = doc.bVirtualSpace || (doc.block.IsColumnMode() && bExtend);
  const DWORD nOld = static_cast<DWORD>(doc.nCaretPos);
  const DWORD nRowEnd = std::min(RowEnd(doc, doc.cli), doc.GetContentsSize());
  if (nOld >= nRowEnd) {
    if (bVirtual) {
      ++doc.nVirtualSpace;
    } else if (doc.cli + 1 < doc.nLineCount) {
      // At a soft wrap only the row changes: the position stays.
      ++doc.cli;
      doc.nCaretPos = static_cast<int>(RowStart(doc, doc.cli));
    }
  } else if (bCtrl) {
    const DWORD nTo = bExtend ? doc.GetNextWordEnd(doc.cli, nOld) : doc.GetWordEnd(doc.cli, nOld);
    doc.nCaretPos = static_cast<int>(std::min(nTo, nRowEnd));
  } else {
    doc.nCaretPos = static_cast<int>(std::min(doc.GetNextCharPos(nOld), nRowEnd));
  }
  if (!bVirtual) doc.nVirtualSpace = 0;
  FinishMove(bExtend, nOld);
  UpdateCaret(1, 1);
}

int CMirelViewText::LastWhollyVisibleRow() {
  // Rows that fit the text area whole; at least the top row, never past the text.
  const int nWhole = std::max(GetTextAreaHeight() / GetSafeLineHeight(), 1);
  const long long nRow = static_cast<long long>(std::max(pMirel->nTopLine, 0)) + nWhole - 1;
  return static_cast<int>(std::clamp<long long>(nRow, 0, std::max(pdoc->nLineCount - 1, 0)));
}

void CMirelViewText::MoveUp(int, int bCtrl, int bAlt, int bShift) {
  if (pdoc == nullptr || (bCtrl && bAlt)) return;
  CMirelDoc& doc = *pdoc;
  const BOOL bExtend = bShift || doc.bAutoSelect;
  if (bCtrl && bExtend) return;
  if (!BeginMove(bAlt, bExtend)) return;
  const BOOL bVirtual = doc.bVirtualSpace || (doc.block.IsColumnMode() && bExtend);
  const DWORD nOld = static_cast<DWORD>(doc.nCaretPos);
  if (bCtrl) {
    // Scroll one row; the caret follows only when its row left the page.
    if (pMirel->hWndEdit != nullptr) SendMessageA(pMirel->hWndEdit, WM_VSCROLL, SB_LINEUP, 0);
    NotifyPaneScrolled(-1, pMirel->nTopLine, reinterpret_cast<LPARAM>(pMirel));
    const int nLastVisible = LastWhollyVisibleRow();
    if (doc.cli > nLastVisible) PlaceCaretAtGoalX(nLastVisible, bVirtual);
  } else if (doc.cli > 0) {
    PlaceCaretAtGoalX(doc.cli - 1, bVirtual);
  }
  FinishMove(bExtend, nOld);
  UpdateCaret(0, 1);
}

void CMirelViewText::MoveDown(int, int bCtrl, int bAlt, int bShift) {
  if (pdoc == nullptr || (bCtrl && bAlt)) return;
  CMirelDoc& doc = *pdoc;
  const BOOL bExtend = bShift || doc.bAutoSelect;
  if (bCtrl && bExtend) return;
  if (!BeginMove(bAlt, bExtend)) return;
  const BOOL bVirtual = doc.bVirtualSpace || (doc.block.IsColumnMode() && bExtend);
  const DWORD nOld = static_cast<DWORD>(doc.nCaretPos);
  if (bCtrl) {
    if (pMirel->hWndEdit != nullptr) SendMessageA(pMirel->hWndEdit, WM_VSCROLL, SB_LINEDOWN, 0);
    NotifyPaneScrolled(-1, pMirel->nTopLine, reinterpret_cast<LPARAM>(pMirel));
    if (doc.cli < pMirel->nTopLine) PlaceCaretAtGoalX(pMirel->nTopLine, bVirtual);
  } else if (doc.cli + 1 < doc.nLineCount) {
    PlaceCaretAtGoalX(doc.cli + 1, bVirtual);
  }
  FinishMove(bExtend, nOld);
  UpdateCaret(0, 1);
}

void CMirelViewText::MoveLineHome(int, int bCtrl, int bAlt, int bShift) {
  if (pdoc == nullptr || (bCtrl && bAlt)) return;
  CMirelDoc& doc = *pdoc;
  const BOOL bExtend = bShift || doc.bAutoSelect;
  if (!BeginMove(bAlt, bExtend)) return;
  const DWORD nOld = static_cast<DWORD>(doc.nCaretPos);
  doc.nVirtualSpace = 0;
  if (bCtrl) {
    doc.nCaretPos = 0;
    doc.cli = 0;
  } else {
    const MrDocText text = MrGetDocText(doc);
    const DWORD nStart = RowStart(doc, doc.cli);
    const DWORD nEnd = std::min(RowEnd(doc, doc.cli), text.nLen);
    DWORD nTarget = nStart;
    if (!doc.bHomeToFirstCol) {
      // The first character that is not blank, unless the caret is there
      // already (then the row start) or the row is all blanks.
      const DWORD nUnit = text.bWide ? 2 : 1;
      DWORD nFirst = nStart;
      while (nFirst < nEnd && nEnd - nFirst >= nUnit && IsBlankUnit(MrUnitAt(text.p + nFirst, text.bWide)))
        nFirst += nUnit;
      if (nFirst != nOld && nFirst != nEnd) nTarget = nFirst;
    }
    doc.nCaretPos = static_cast<int>(nTarget);
  }
  FinishMove(bExtend, nOld);
  UpdateCaret(1, 1);
}

void CMirelViewText::MoveLineEnd(int, int bCtrl, int bAlt, int bShift) {
  if (pdoc == nullptr || (bCtrl && bAlt)) return;
  CMirelDoc& doc = *pdoc;
  const BOOL bExtend = bShift || doc.bAutoSelect;
  if (!BeginMove(bAlt, bExtend)) return;
  const DWORD nOld = static_cast<DWORD>(doc.nCaretPos);
  doc.nVirtualSpace = 0;
  if (bCtrl) doc.cli = doc.nLineCount - 1;
  doc.nCaretPos = static_cast<int>(std::min(RowEnd(doc, doc.cli), doc.GetContentsSize()));
  FinishMove(bExtend, nOld);
  UpdateCaret(1, 1);
}

void CMirelViewText::MovePageUp(int, int bCtrl, int bAlt, int bShift) {
  if (pdoc == nullptr) return;
  CMirelDoc& doc = *pdoc;
  const BOOL bExtend = bShift || doc.bAutoSelect;
  if (!BeginMove(bAlt, bExtend)) return;
  const BOOL bVirtual = doc.bVirtualSpace || (doc.block.IsColumnMode() && bExtend);
  const DWORD nOld = static_cast<DWORD>(doc.nCaretPos);
  if (bCtrl) {
    PlaceCaretAtGoalX(pMirel->nTopLine, bVirtual);
  } else {
    // A page here leaves room for a partly shown row: one glyph less.
    const long long nRoom = static_cast<long long>(pMirel->rcEdit.bottom - pMirel->rcEdit.top) -
                            doc.nRulerHeight - doc.nFontHeight;
    const int nRows = static_cast<int>(std::clamp<long long>(nRoom / GetSafeLineHeight(), 1, INT_MAX));
    const int nRow = std::max(doc.cli - nRows, 0);
    pMirel->nTopLine = std::max(pMirel->nTopLine - nRows, 0);
    SetVScrollPosToTopLine();
    Invalidate(REPAINT_TAG_ALL, 0, 0);
    NotifyPaneScrolled(-1, pMirel->nTopLine, reinterpret_cast<LPARAM>(pMirel));
    PlaceCaretAtGoalX(nRow, bVirtual);
  }
  FinishMove(bExtend, nOld);
  UpdateCaret(0, 1);
}

void CMirelViewText::MovePageDown(int, int bCtrl, int bAlt, int bShift) {
  if (pdoc == nullptr) return;
  CMirelDoc& doc = *pdoc;
  const BOOL bExtend = bShift || doc.bAutoSelect;
  if (!BeginMove(bAlt, bExtend)) return;
  const BOOL bVirtual = doc.bVirtualSpace || (doc.block.IsColumnMode() && bExtend);
  const DWORD nOld = static_cast<DWORD>(doc.nCaretPos);
  if (bCtrl) {
    PlaceCaretAtGoalX(LastWhollyVisibleRow(), bVirtual);
  } else {
    const long long nRoom =
        static_cast<long long>(pMirel->rcEdit.bottom - pMirel->rcEdit.top) - doc.nRulerHeight;
    const int nRows = static_cast<int>(std::clamp<long long>(nRoom / GetSafeLineHeight(), 1, INT_MAX));
    const int nRow =
        static_cast<int>(std::min<long long>(static_cast<long long>(doc.cli) + nRows, doc.nLineCount - 1));
    if (static_cast<long long>(pMirel->nTopLine) + nRows < doc.nLineCount) {
      pMirel->nTopLine += nRows;
    } else {
      pMirel->nTopLine = nRow;
    }
    SetVScrollPosToTopLine();
    Invalidate(REPAINT_TAG_ALL, 0, 0);
    NotifyPaneScrolled(-1, pMirel->nTopLine, reinterpret_cast<LPARAM>(pMirel));
    PlaceCaretAtGoalX(nRow, bVirtual);
  }
  FinishMove(bExtend, nOld);
  UpdateCaret(0, 1);
}
