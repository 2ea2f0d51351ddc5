// The hex view's keyboard: hex digits typed nibble by nibble into the cells,
// characters typed into the character column (also from the input method),
// Backspace, Delete, Tab, Escape and the caret moves.
//
// Every change goes through the document's gateways, which record undo and
// lay the rows out again. After every operation cli is the row of the caret
// position and the selection is collapsed at the caret unless the operation
// extends it. Copy, cut and paste reach the document from the edit window
// (WM_COPY, WM_CUT, WM_PASTE): nothing of them is handled here.
#include <algorithm>
#include <climits>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmirelviewhex.h"
#include "mirel/mirel.h"
#include "mirel/mrmodifiednotify.h"

namespace {

// Value of a hex digit, -1 for any other character.
int HexDigitValue(int ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

// Code point of a UTF-16 unit as UTF-8; returns the bytes written (1 to 3).
DWORD EncodeUtf8(WCHAR wc, BYTE* pOut) {
  const UINT c = wc;
  if (c < 0x80) {
    pOut[0] = static_cast<BYTE>(c);
    return 1;
  }
  if (c < 0x800) {
    pOut[0] = static_cast<BYTE>(0xC0 | (c >> 6));
    pOut[1] = static_cast<BYTE>(0x80 | (c & 0x3F));
    return 2;
  }
  pOut[0] = static_cast<BYTE>(0xE0 | (c >> 12));
  pOut[1] = static_cast<BYTE>(0x80 | ((c >> 6) & 0x3F));
  pOut[2] = static_cast<BYTE>(0x80 | (c & 0x3F));
  return 3;
}

}  // namespace

// ---------------------------------------------------------------------------
// Shared steps

void CMirelViewHex::PlaceCaret(DWORD nPos) {
  CMirelDoc& doc = *pdoc;
  nPos = std::min(nPos, GetDataLength());
  doc.nCaretPos = static_cast<int>(nPos);
  doc.cli = doc.GetHexLineFromPos(nPos);
}

void CMirelViewHex::FinishEdit(DWORD nFrom) {
  CMirelDoc& doc = *pdoc;
  PlaceCaret(static_cast<DWORD>(std::max(doc.nCaretPos, 0)));
  doc.block.SetBoth(static_cast<DWORD>(doc.nCaretPos), doc.cli);
  doc.UpdateAllScrollBars();
  UpdateCaret(1, 1);
  doc.UpdateAllViews(REPAINT_TAG_FROM, nFrom, 0);
}

void CMirelViewHex::BeginMove() {
  CMirelDoc& doc = *pdoc;
  doc.bHexComposition = FALSE;
  PlaceCaret(static_cast<DWORD>(std::max(doc.nCaretPos, 0)));
  if (!doc.block.IsNotEmpty()) doc.block.SetBoth(static_cast<DWORD>(doc.nCaretPos), doc.cli);
}

void CMirelViewHex::FinishMove(BOOL bExtend, DWORD nOldCaret) {
  CMirelDoc& doc = *pdoc;
  PlaceCaret(static_cast<DWORD>(std::max(doc.nCaretPos, 0)));
  const DWORD nCaret = static_cast<DWORD>(doc.nCaretPos);
  if (bExtend) {
    doc.block.SetCaretRaw(nCaret, doc.cli);
    const DWORD nFrom = std::min(doc.block.GetStartPtr(), nOldCaret);
    const DWORD nTo = std::max(doc.block.GetEndPtr(), nOldCaret);
    doc.UpdateAllViews(REPAINT_TAG_RANGE, nFrom, nTo);
    return;
  }
  if (doc.block.IsNotEmpty())
    doc.UpdateAllViews(REPAINT_TAG_RANGE, doc.block.GetStartPtr(), doc.block.GetEndPtr());
  doc.block.SetBoth(nCaret, doc.cli);
}

template <typename Step>
void CMirelViewHex::RunMove(int bAlt, int bShift, BOOL bSetGoalX, Step step) {
  if (!IsReady() || bAlt) return;
  CMirelDoc& doc = *pdoc;
  const BOOL bExtend = bShift || doc.bAutoSelect;
  BeginMove();
  const DWORD nOld = static_cast<DWORD>(doc.nCaretPos);
  step(doc, bExtend, nOld);
  FinishMove(bExtend, nOld);
  UpdateCaret(bSetGoalX, 1);
}

void CMirelViewHex::PlaceCaretAtGoalX(int nRow) {
  CMirelDoc& doc = *pdoc;
  nRow = std::clamp(nRow, 0, std::max(doc.GetHexLineCount() - 1, 0));
  PlaceCaret(doc.GetHexPosFromX(nRow, pMirel->nGoalCaretX, doc.nHexCaretArea));
}

BOOL CMirelViewHex::ReplaceBytes(DWORD nPos, DWORD nOldLen, const BYTE* pData, DWORD nLen) {
  CMirelDoc& doc = *pdoc;
  if (nOldLen == 0) return nLen == 0 || doc.InsertContents(nPos, pData, nLen, TRUE);
  return doc.ReplaceContents(nPos, nOldLen, TRUE, pData, nLen, TRUE);
}

// ---------------------------------------------------------------------------
// Typing

void CMirelViewHex::OnChar(HWND, char ch, int) {
  if (!IsReady() || pdoc->bReadOnly) return;
  CMirelDoc& doc = *pdoc;
  const int c = static_cast<signed char>(ch);
  if (doc.nHexCaretArea == MIREL_HEX_AREA_CELLS) {
    const int nValue = HexDigitValue(c);
    if (nValue >= 0) TypeHexDigit(nValue);
    return;
  }
  if (doc.nHexCaretArea != MIREL_HEX_AREA_CHARS) return;
  // Printable ASCII only; the input method delivers everything else.
  if (c < 0x20 || c > 0x7E) return;
  BYTE abUnit[2] = {static_cast<BYTE>(c), 0};
  const DWORD nUnitLen = IsWideEncoding(doc.nFileEncoding) ? 2 : 1;
  const DWORD nCaret = std::min(static_cast<DWORD>(std::max(doc.nCaretPos, 0)), GetDataLength());
  DWORD nFrom = nCaret;
  if (doc.block.IsNotEmpty()) nFrom = std::min(doc.block.GetStartPtr(), nCaret);
  TypeCharUnit(abUnit, nUnitLen, TRUE, nFrom);
}

void CMirelViewHex::TypeHexDigit(int nValue) {
  CMirelDoc& doc = *pdoc;
  const DWORD nLength = GetDataLength();
  const DWORD nCaret = std::min(static_cast<DWORD>(std::max(doc.nCaretPos, 0)), nLength);
  const BYTE bHigh = static_cast<BYTE>(nValue << 4);

  if (doc.block.IsNotEmpty()) {
    // The selection gives way to one byte whose high nibble is the digit; a
    // nibble still pending (the host selected meanwhile) is dropped.
    doc.bHexComposition = FALSE;
    const DWORD nStart = std::min(doc.block.GetStartPtr(), nLength);
    const DWORD nEnd = std::min(doc.block.GetEndPtr(), nLength);
    if (nStart >= nEnd) return;
    doc.SeparateUndo();
    if (!ReplaceBytes(nStart, nEnd - nStart, &bHigh, 1)) return;
    doc.bHexComposition = TRUE;
    nNibblePos = nStart;
    PlaceCaret(nStart);
    FinishEdit(nStart);
    return;
  }

  if (doc.bHexComposition && nNibblePos == nCaret && nCaret < nLength) {
    // The low nibble completes the byte the high one started, and only it.
    const BYTE bOld = doc.pContents->GetBodyByte(nCaret);
    const BYTE bNew = static_cast<BYTE>((bOld & 0xF0) | nValue);
    const CMrUndoManager& undo = doc.undo;
    const MIREL_UNDO_RECORD* pRec = undo.pUR != nullptr ? &undo.pUR[undo.cr] : nullptr;
    // The byte is folded into the open insertion that recorded the first
    // digit; when another change closed it, the byte is its own step.
    const BOOL bInOpenInsertion =
        pRec != nullptr && pRec->action == URA_INSERT_HV && !pRec->bUndone &&
        static_cast<LONG>(nCaret) >= pRec->pos &&
        static_cast<long long>(nCaret) < static_cast<long long>(pRec->pos) + pRec->count;
    BOOL bDone;
    if (bInOpenInsertion) {
      CMrKeepUndoHistory keep(doc);
      bDone = doc.ReplaceContents(nCaret, 1, FALSE, &bNew, 1, FALSE);
      if (bDone) doc.undo.UpdateInsertHex(static_cast<LONG>(nCaret), &bNew, 1);
    } else {
      bDone = ReplaceBytes(nCaret, 1, &bNew, 1);
    }
    doc.bHexComposition = FALSE;
    if (!bDone) {
      UpdateCaret(1, 1);
      return;
    }
    PlaceCaret(nCaret + 1);
    FinishEdit(nCaret);
    return;
  }

  // A new byte: inserted, or written over the byte at the caret (appended at
  // the end of the data).
  const DWORD nOldLen = doc.IsOverwriteMode() && nCaret < nLength ? 1 : 0;
  doc.SeparateUndo();
  if (!ReplaceBytes(nCaret, nOldLen, &bHigh, 1)) {
    doc.bHexComposition = FALSE;
    return;
  }
  doc.bHexComposition = TRUE;
  nNibblePos = nCaret;
  PlaceCaret(nCaret);
  FinishEdit(nCaret);
}

void CMirelViewHex::TypeCharUnit(const BYTE* pUnit, DWORD nLen, BOOL bReplaceSelection, DWORD nRepaintFrom) {
  CMirelDoc& doc = *pdoc;
  const DWORD nLength = GetDataLength();
  const DWORD nCaret = std::min(static_cast<DWORD>(std::max(doc.nCaretPos, 0)), nLength);
  doc.bHexComposition = FALSE;
  DWORD nPos = nCaret;
  DWORD nOldLen = 0;
  if (bReplaceSelection && doc.block.IsNotEmpty()) {
    nPos = std::min(doc.block.GetStartPtr(), nLength);
    nOldLen = std::min(doc.block.GetEndPtr(), nLength) - nPos;
  } else if (doc.IsOverwriteMode()) {
    nOldLen = std::min(nLen, nLength - nCaret);
  }
  if (!ReplaceBytes(nPos, nOldLen, pUnit, nLen)) return;
  PlaceCaret(nPos + nLen);
  FinishEdit(std::min(nRepaintFrom, nPos));
}

LRESULT CMirelViewHex::OnImeChar(WPARAM wParam, LPARAM) {
  if (!IsReady() || pdoc->bReadOnly || pdoc->nHexCaretArea != MIREL_HEX_AREA_CHARS) return 0;
  CMirelDoc& doc = *pdoc;
  const UINT nCodePage = doc.nCodePage != 0 ? static_cast<UINT>(doc.nCodePage) : CP_ACP;
  const BYTE bHigh = static_cast<BYTE>((wParam >> 8) & 0xFF);
  const BYTE bLow = static_cast<BYTE>(wParam & 0xFF);
  BYTE abChar[2] = {bLow, 0};
  int nCharLen = 1;
  if (bHigh != 0 && IsDBCSLeadByteEx(nCodePage, bHigh)) {
    abChar[0] = bHigh;
    abChar[1] = bLow;
    nCharLen = 2;
  }
  BYTE abUnit[4] = {0, 0, 0, 0};
  DWORD nUnitLen = 0;
  const int nEncoding = doc.nFileEncoding;
  if (IsWideEncoding(nEncoding) || nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM) {
    WCHAR wc = 0;
    if (MultiByteToWideChar(nCodePage, 0, reinterpret_cast<const char*>(abChar), nCharLen, &wc, 1) != 1)
      return 0;
    if (IsWideEncoding(nEncoding)) {
      nUnitLen = static_cast<DWORD>(MrPutUnit(abUnit, TRUE, wc));
    } else {
      nUnitLen = EncodeUtf8(wc, abUnit);
    }
  } else {
    std::copy(abChar, abChar + nCharLen, abUnit);
    nUnitLen = static_cast<DWORD>(nCharLen);
  }
  // A composed character is typed at the caret; the selection stays text.
  const DWORD nOldCaret = static_cast<DWORD>(std::max(doc.nCaretPos, 0));
  TypeCharUnit(abUnit, nUnitLen, FALSE, nOldCaret);
  return 0;
}

// ---------------------------------------------------------------------------
// Backspace and Delete

void CMirelViewHex::OnKeyBack(int, int, int, int) {
  if (!IsReady() || pdoc->bReadOnly) return;
  CMirelDoc& doc = *pdoc;
  const int nArea = doc.nHexCaretArea;
  if (nArea != MIREL_HEX_AREA_CHARS && !(nArea == MIREL_HEX_AREA_CELLS && !doc.bHexComposition)) return;
  PlaceCaret(static_cast<DWORD>(std::max(doc.nCaretPos, 0)));
  if (!doc.DeleteBlockHex()) {
    const DWORD nCaret = static_cast<DWORD>(doc.nCaretPos);
    if (nCaret == 0) return;
    if (!doc.DeleteContents(nCaret - 1, 1, TRUE)) return;
    PlaceCaret(nCaret - 1);
  }
  FinishEdit(static_cast<DWORD>(doc.nCaretPos));
}

void CMirelViewHex::OnKeyDelete(int, int, int, int bShift) {
  if (!IsReady() || pdoc->bReadOnly) return;
  CMirelDoc& doc = *pdoc;
  if (bShift || doc.bAutoSelect) return;
  const int nArea = doc.nHexCaretArea;
  if (nArea != MIREL_HEX_AREA_CHARS && !(nArea == MIREL_HEX_AREA_CELLS && !doc.bHexComposition)) return;
  PlaceCaret(static_cast<DWORD>(std::max(doc.nCaretPos, 0)));
  if (!doc.DeleteBlockHex()) {
    const DWORD nCaret = static_cast<DWORD>(doc.nCaretPos);
    if (nCaret >= GetDataLength() || !doc.DeleteContents(nCaret, 1, TRUE)) return;
    PlaceCaret(nCaret);
  }
  // From the start of the caret row.
  const DWORD nBytes = static_cast<DWORD>(std::max(doc.nHexBytesPerLine, 1));
  FinishEdit(static_cast<DWORD>(doc.nCaretPos) / nBytes * nBytes);
}

// ---------------------------------------------------------------------------
// Return, Hanja, Tab and Escape

void CMirelViewHex::OnKeyReturn(int, int, int, int) {}

void CMirelViewHex::OnKeyHanja(int, int, int, int) {}

void CMirelViewHex::OnKeyTab(int, int, int, int) {
  if (!IsReady() || pdoc->bReadOnly) return;
  CMirelDoc& doc = *pdoc;
  doc.bHexComposition = FALSE;
  if (doc.nHexCaretArea == MIREL_HEX_AREA_CELLS) {
    doc.nHexCaretArea = MIREL_HEX_AREA_CHARS;
  } else if (doc.nHexCaretArea == MIREL_HEX_AREA_CHARS) {
    doc.nHexCaretArea = MIREL_HEX_AREA_CELLS;
  } else {
    return;
  }
  UpdateCaret(1, 1);
  // The selection's colours depend on the area.
  if (doc.block.IsNotEmpty())
    doc.UpdateAllViews(REPAINT_TAG_RANGE, doc.block.GetStartPtr(), doc.block.GetEndPtr());
}

void CMirelViewHex::OnKeyEscape(int, int, int, int) {
  if (pdoc == nullptr) return;
  CMirelDoc& doc = *pdoc;
  if (doc.bAutoSelect) {
    // Sticky selection ends; the selection stays.
    doc.bAutoSelect = FALSE;
    return;
  }
  if (IsReady() && doc.block.IsNotEmpty()) {
    const DWORD nOldStart = doc.block.GetStartPtr();
    const DWORD nOldEnd = doc.block.GetEndPtr();
    UpdateCaret(0, 0);
    doc.block.SetBoth(static_cast<DWORD>(doc.nCaretPos), doc.cli);
    doc.UpdateAllViews(REPAINT_TAG_RANGE, nOldStart, nOldEnd);
    return;
  }
  doc.bHexComposition = FALSE;
  UpdateCaret(0, 0);
  doc.NotifyParent(4);
}

// ---------------------------------------------------------------------------
// Moves. Alt with any of them does nothing; Shift or sticky selection
// extends the selection.

void CMirelViewHex::MoveLeft(int, int, int bAlt, int bShift) {
  RunMove(bAlt, bShift, TRUE, [&](CMirelDoc& doc, BOOL bExtend, DWORD nOld) {
    if (!bExtend && doc.block.IsNotEmpty()) {
      PlaceCaret(doc.block.GetStartPtr());
    } else if (nOld > 0) {
      PlaceCaret(nOld - 1);
    }
  });
}

void CMirelViewHex::MoveRight(int, int, int bAlt, int bShift) {
  RunMove(bAlt, bShift, TRUE, [&](CMirelDoc& doc, BOOL bExtend, DWORD nOld) {
    if (!bExtend && doc.block.IsNotEmpty()) {
      PlaceCaret(doc.block.GetEndPtr());
    } else if (nOld < GetDataLength()) {
      PlaceCaret(nOld + 1);
    }
  });
}

void CMirelViewHex::MoveUp(int, int bCtrl, int bAlt, int bShift) {
  RunMove(bAlt, bShift, FALSE, [&](CMirelDoc& doc, BOOL, DWORD) {
    if (bCtrl) {
      // Scroll one row; the caret follows only when its row left the page.
      if (pMirel->hWndEdit != nullptr) SendMessageA(pMirel->hWndEdit, WM_VSCROLL, SB_LINEUP, 0);
      NotifyPaneScrolled(-1, pMirel->nTopLine);
      const int nLastVisible = pMirel->nTopLine + std::max(GetWholeRowsBelowRuler(), 1) - 1;
      if (doc.cli > nLastVisible) PlaceCaretAtGoalX(nLastVisible);
    } else if (doc.cli > 0) {
      PlaceCaretAtGoalX(doc.cli - 1);
    }
  });
}

void CMirelViewHex::MoveDown(int, int bCtrl, int bAlt, int bShift) {
  RunMove(bAlt, bShift, FALSE, [&](CMirelDoc& doc, BOOL, DWORD) {
    if (bCtrl) {
      if (pMirel->hWndEdit != nullptr) SendMessageA(pMirel->hWndEdit, WM_VSCROLL, SB_LINEDOWN, 0);
      NotifyPaneScrolled(-1, pMirel->nTopLine);
      if (doc.cli < pMirel->nTopLine) PlaceCaretAtGoalX(pMirel->nTopLine);
    } else if (doc.cli + 1 < doc.GetHexLineCount()) {
      PlaceCaretAtGoalX(doc.cli + 1);
    }
  });
}

void CMirelViewHex::MoveLineHome(int, int bCtrl, int bAlt, int bShift) {
  RunMove(bAlt, bShift, TRUE, [&](CMirelDoc& doc, BOOL, DWORD) {
    const int nRow = bCtrl ? 0 : doc.cli;
    int nStart = 0;
    if (doc.GetHexLineRange(nRow, &nStart, nullptr)) PlaceCaret(static_cast<DWORD>(nStart));
  });
}

void CMirelViewHex::MoveLineEnd(int, int bCtrl, int bAlt, int bShift) {
  RunMove(bAlt, bShift, TRUE, [&](CMirelDoc& doc, BOOL, DWORD) {
    // The end of a full row is the next row's start (and shows there).
    const int nRow = bCtrl ? doc.GetHexLineCount() - 1 : doc.cli;
    int nEnd = 0;
    if (doc.GetHexLineRange(nRow, nullptr, &nEnd)) PlaceCaret(static_cast<DWORD>(nEnd));
  });
}

void CMirelViewHex::MovePageUp(int, int bCtrl, int bAlt, int bShift) {
  RunMove(bAlt, bShift, FALSE, [&](CMirelDoc& doc, BOOL, DWORD) {
    if (bCtrl) {
      PlaceCaretAtGoalX(pMirel->nTopLine);
    } else {
      const long long nRoom =
          static_cast<long long>(pMirel->rcEdit.bottom) - doc.nRulerHeight - std::max(doc.nFontHeight, 0);
      const int nRows = static_cast<int>(std::clamp<long long>(nRoom / GetRowHeight(), 1, INT_MAX));
      const int nRow = std::max(doc.cli - nRows, 0);
      pMirel->nTopLine = std::max(pMirel->nTopLine - nRows, 0);
      SetVScrollPosToTopLine();
      Invalidate(REPAINT_TAG_ALL, 0, 0);
      NotifyPaneScrolled(-1, pMirel->nTopLine);
      PlaceCaretAtGoalX(nRow);
    }
  });
}

void CMirelViewHex::MovePageDown(int, int bCtrl, int bAlt, int bShift) {
  RunMove(bAlt, bShift, FALSE, [&](CMirelDoc& doc, BOOL, DWORD) {
    const int nRowCount = doc.GetHexLineCount();
    if (bCtrl) {
      PlaceCaretAtGoalX(pMirel->nTopLine + std::max(GetWholeRowsBelowRuler(), 1) - 1);
    } else {
      const long long nRoom = static_cast<long long>(pMirel->rcEdit.bottom) - doc.nRulerHeight;
      const int nRows = static_cast<int>(std::clamp<long long>(nRoom / GetRowHeight(), 1, INT_MAX));
      const int nRow =
          static_cast<int>(std::min<long long>(static_cast<long long>(doc.cli) + nRows, nRowCount - 1));
      if (static_cast<long long>(pMirel->nTopLine) + nRows < nRowCount) {
        pMirel->nTopLine += nRows;
      } else {
        pMirel->nTopLine = nRow;
      }
      SetVScrollPosToTopLine();
      Invalidate(REPAINT_TAG_ALL, 0, 0);
      NotifyPaneScrolled(-1, pMirel->nTopLine);
      PlaceCaretAtGoalX(nRow);
    }
  });
}
