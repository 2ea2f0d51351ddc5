// Painting of the hex view: the back buffer, the dirty rows, each row's
// address, hex cells and characters cut into runs at the selection edges,
// and the ruler of column numbers.
//
// Every row is painted into the edit window's back buffer and the whole
// client area is then copied to the screen in one blit; only the rows the
// pending repaint names are painted again.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmirelviewhex.h"
#include "mirel/mirel.h"
#include "mirel/mrbackbuffer.h"
#include "mirel/mrviewdraw.h"

namespace {

using MrViewDraw::ClampToInt;
using MrViewDraw::FillSolid;
using MrViewDraw::FillWith;
using MrViewDraw::Line;
using MrViewDraw::PenScope;

// Text of the address column starts this far from the left edge.
constexpr int kAddressTextX = 5;
// Tick heights of the ruler: a byte's cell, and every eighth character.
constexpr int kCellTick = 5;
constexpr int kCharTick = 7;
constexpr int kCharTickEvery = 8;
// Debug trace of a paint with nothing pending.
constexpr char kNothingPendingTrace[] = "REPAINT_TAG_NONE HEX\n";

// Text drawn opaque in one pair of colours; the DC's colours are put back.
void TextOpaque(HDC hdc, int x, int y, const char* psz, int nLen, COLORREF crFore, COLORREF crBack) {
  const COLORREF crOldFore = SetTextColor(hdc, crFore);
  const COLORREF crOldBack = SetBkColor(hdc, crBack);
  const int nOldMode = SetBkMode(hdc, OPAQUE);
  TextOutA(hdc, x, y, psz, nLen);
  SetBkMode(hdc, nOldMode);
  SetBkColor(hdc, crOldBack);
  SetTextColor(hdc, crOldFore);
}

// Printable ASCII only: every other byte (control characters, DEL and the
// bytes from 0x80 up, whatever their sign as char) shows as a full stop.
char CharCellOf(BYTE b) {
  return b >= 0x20 && b <= 0x7E ? static_cast<char>(b) : '.';
}

}  // namespace

// ---------------------------------------------------------------------------
// Paint

void CMirelViewHex::OnPaint(HWND hWnd) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hWnd, &ps);
  CMirel* pEdit = pMirel;
  if (hdc == nullptr || pEdit == nullptr) {
    if (hdc != nullptr) EndPaint(hWnd, &ps);
    if (pEdit != nullptr) pEdit->nRepaintTag = REPAINT_TAG_NONE;
    return;
  }
  const int cx = pEdit->rcEdit.right;
  const int cy = pEdit->rcEdit.bottom;
  const CMrBackBufferDC buffer(hdc, &pEdit->hBackBitmap, cx, cy, pdoc != nullptr ? pdoc->hFontHex : nullptr);
  if (HDC hMem = buffer.Get()) {
    const BOOL bNewBuffer = buffer.IsNew();
    const BOOL bFocused = GetFocus() == pEdit->hWndEdit;
    const BOOL bHasRows = IsReady();
    int nTag = pEdit->nRepaintTag;
    if (bNewBuffer && bHasRows && (nTag == REPAINT_TAG_NONE || nTag == REPAINT_TAG_RULER)) {
      // A new buffer holds nothing yet: everything visible is painted.
      nTag = REPAINT_TAG_ALL;
      pEdit->nDirtyFirst = pEdit->nTopLine;
      pEdit->nDirtyLast = GetRowCount() - 1;
    }
    if (!bHasRows) {
      // Before the first text the client area stays empty.
      FillSolid(hMem, 0, 0, cx, cy, pdoc != nullptr ? pdoc->crBack : GetSysColor(COLOR_WINDOW));
    } else if (nTag == REPAINT_TAG_NONE) {
      MirelTrace("%s", kNothingPendingTrace);
    } else if (nTag == REPAINT_TAG_RULER) {
      DrawRuler(hMem);
    } else {
      CMirelDoc& doc = *pdoc;
      DrawRuler(hMem);
      const long long h = GetRowHeight();
      const int nTop = std::max(pEdit->nTopLine, 0);
      const int nRows = GetRowCount();
      pEdit->nDirtyFirst = std::max(pEdit->nDirtyFirst, nTop);
      const int nLast = std::min(pEdit->nDirtyLast, nRows - 1);
      HBRUSH hBack = CreateSolidBrush(doc.crBack);
      int i = pEdit->nDirtyFirst;
      for (; i <= nLast; ++i) {
        const long long yRow = (static_cast<long long>(i) - nTop) * h + doc.nRulerHeight;
        if (yRow >= cy) break;
        const RECT rcRow{0, ClampToInt(yRow), cx, ClampToInt(yRow + h)};
        if (hBack != nullptr) FillRect(hMem, &rcRow, hBack);
        DrawLine(hMem, i, rcRow.top, doc.crFore, doc.crBack, bFocused);
      }
      if (i >= nRows) {
        // Past the last row only the background shows.
        const long long yBelow = std::max<long long>(
            (static_cast<long long>(nRows) - nTop) * h + doc.nRulerHeight, doc.nRulerHeight);
        if (yBelow < cy && hBack != nullptr) {
          const RECT rcBelow{0, ClampToInt(yBelow), cx, cy};
          FillRect(hMem, &rcBelow, hBack);
        }
      }
      if (hBack != nullptr) DeleteObject(hBack);
    }
    BitBlt(hdc, 0, 0, cx, cy, hMem, 0, 0, SRCCOPY);
  }
  EndPaint(hWnd, &ps);
  pEdit->nRepaintTag = REPAINT_TAG_NONE;
}

// ---------------------------------------------------------------------------
// Rows

BOOL CMirelViewHex::DrawLine(HDC hdc, int nRow, int y, COLORREF crFore, COLORREF crBack, BOOL bFocused) {
  (void)bFocused;  // the unfocused selection colour is the document's (set on focus changes)
  if (!IsReady()) return FALSE;
  CMirelDoc& doc = *pdoc;
  int nStart = 0;
  int nEnd = 0;
  if (!doc.GetHexLineRange(nRow, &nStart, &nEnd)) return FALSE;
  const long long hs = pMirel->nHScrollPos;
  int xHex = ClampToInt(doc.nHexAddrWidth - hs);
  int xChar = ClampToInt(doc.nHexCharsX - hs);
  const DWORD nSelStart = doc.block.GetStartPtr();
  const DWORD nSelEnd = doc.block.GetEndPtr();
  const BOOL bSelection = nSelStart < nSelEnd;

  // Runs end at the row end and at the selection's edges inside the row.
  DWORD p = static_cast<DWORD>(nStart);
  const DWORD nRowEnd = static_cast<DWORD>(nEnd);
  while (p < nRowEnd) {
    DWORD q = nRowEnd;
    BOOL bSelected = FALSE;
    if (bSelection && p < nSelStart && nSelStart < nRowEnd) {
      q = nSelStart;
    } else if (bSelection && p >= nSelStart && p < nSelEnd) {
      q = std::min(nSelEnd, nRowEnd);
      bSelected = TRUE;
    }
    DrawHexCells(hdc, &xHex, y, p, q - p, bSelected, crFore, crBack);
    DrawChars(hdc, &xChar, y, p, q - p, bSelected, crFore, crBack);
    p = q;
  }

  if (doc.nLeftMargin != 0) {
    const int h = GetRowHeight();
    FillWith(hdc, 0, y, doc.nHexAddrWidth - 1, y + h, pMirel->hGrayBrush, MIREL_GRAY_MARGIN_COLOR);
    {
      PenScope pen(hdc, GetSysColor(COLOR_WINDOW));
      Line(hdc, doc.nHexAddrWidth - 1, y, doc.nHexAddrWidth - 1, y + h);
    }
    char szAddress[32];
    const int nDigits = std::clamp(doc.nHexAddrDigits, 1, 16);
    std::snprintf(szAddress, sizeof szAddress, "%0*XH", nDigits - 1, static_cast<unsigned>(nStart));
    const int nOldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF crOld = SetTextColor(hdc, doc.crLineNo);
    TextOutA(hdc, kAddressTextX, y, szAddress, static_cast<int>(std::strlen(szAddress)));
    SetTextColor(hdc, crOld);
    SetBkMode(hdc, nOldMode);
  }
  return TRUE;
}

void CMirelViewHex::DrawHexCells(HDC hdc, int* px, int y, DWORD p, DWORD n, BOOL bSelected, COLORREF crFore,
                                 COLORREF crBack) {
  CMirelDoc& doc = *pdoc;
  COLORREF crText = crFore;
  COLORREF crFill = crBack;
  if (bSelected && doc.nHexCaretArea == MIREL_HEX_AREA_CELLS) {
    crText = doc.crSelFore;
    crFill = doc.crSelBack;
  } else if (bSelected) {
    crFill = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
  }
  const long long cx = GetDigitWidth();
  const DWORD nBytes = static_cast<DWORD>(std::max(doc.nHexBytesPerLine, 1));
  long long x = *px;
  for (DWORD i = 0; i < n; ++i) {
    if ((p + i) % nBytes == 0) x += cx;  // the gap after the address column
    char szCell[4];
    const BOOL bLast = i + 1 == n;
    std::snprintf(szCell, sizeof szCell, bLast ? "%02X" : "%02X ", doc.pContents->GetBodyByte(p + i));
    TextOpaque(hdc, ClampToInt(x), y, szCell, bLast ? 2 : 3, crText, crFill);
    x += 3 * cx;
  }
  *px = ClampToInt(x);
}

void CMirelViewHex::DrawChars(HDC hdc, int* px, int y, DWORD p, DWORD n, BOOL bSelected, COLORREF crFore,
                              COLORREF crBack) {
  CMirelDoc& doc = *pdoc;
  COLORREF crText = crFore;
  COLORREF crFill = crBack;
  if (bSelected && doc.nHexCaretArea == MIREL_HEX_AREA_CHARS) {
    crText = doc.crSelFore;
    crFill = doc.crSelBack;
  } else if (bSelected) {
    crFill = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
  }
  const long long cx = GetDigitWidth();
  long long x = *px;
  for (DWORD i = 0; i < n; ++i) {
    const char szChar[2] = {CharCellOf(doc.pContents->GetBodyByte(p + i)), '\0'};
    TextOpaque(hdc, ClampToInt(x), y, szChar, 1, crText, crFill);
    x += cx;
  }
  *px = ClampToInt(x);
}

// ---------------------------------------------------------------------------
// Ruler

void CMirelViewHex::DrawRuler(HDC hdc) {
  if (pdoc == nullptr || pMirel == nullptr || pdoc->nRulerHeight <= 0) return;
  CMirelDoc& doc = *pdoc;
  CMirel& edit = *pMirel;
  const int cxClient = edit.rcEdit.right;
  const int rh = doc.nRulerHeight;
  const long long cx = GetDigitWidth();
  const long long hs = edit.nHScrollPos;
  FillWith(hdc, 0, 0, cxClient, rh, edit.hGrayBrush, MIREL_GRAY_MARGIN_COLOR);
  {
    PenScope pen(hdc, doc.crLineNo);
    Line(hdc, 0, rh - 1, cxClient, rh - 1);
    const UINT nOldAlign = SetTextAlign(hdc, TA_CENTER);
    const int nOldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF crOld = SetTextColor(hdc, doc.crLineNo);
    const int nOldExtra = SetTextCharacterExtra(hdc, -1);
    HGDIOBJ hOldFont = edit.hRulerFont != nullptr ? SelectObject(hdc, edit.hRulerFont) : nullptr;
    long long x = doc.nHexAddrWidth - hs;
    const long long xc = doc.nHexCharsX - hs;
    const int nBytes = std::max(doc.nHexBytesPerLine, 1);
    for (int i = 0; i < nBytes; ++i) {
      if (i != 0 && i % kCharTickEvery == 0) {
        const int xt = ClampToInt(xc + cx * i);
        Line(hdc, xt, rh - kCharTick, xt, rh - 1);
      }
      if (i == 0) x += cx;
      const int xt = ClampToInt(x + cx);
      Line(hdc, xt, rh - kCellTick, xt, rh - 1);
      char szColumn[16];
      std::snprintf(szColumn, sizeof szColumn, "%X", static_cast<unsigned>(i));
      TextOutA(hdc, xt, 0, szColumn, static_cast<int>(std::strlen(szColumn)));
      x += 3 * cx;
    }
    if (hOldFont != nullptr) SelectObject(hdc, hOldFont);
    SetTextCharacterExtra(hdc, nOldExtra);
    SetTextColor(hdc, crOld);
    SetBkMode(hdc, nOldMode);
    SetTextAlign(hdc, nOldAlign);
  }
  FillWith(hdc, 0, 0, doc.nHexAddrWidth - 2, rh - 1, edit.hGrayBrush, MIREL_GRAY_MARGIN_COLOR);
}
