// Painting of the text view: the back buffer, the dirty rows with their
// colours, selection, syntax runs and marks, the left margins, the ruler and
// the caret-row decorations.
//
// Every row is painted into the edit window's back buffer and the whole
// client area is then copied to the screen in one blit; only the rows the
// pending repaint names are painted again.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelviewtext.h"
#include "mirel/metablock/cmrmetablock.h"
#include "mirel/metablock/mrmetaranges.h"
#include "mirel/mirel.h"
#include "mirel/mrbackbuffer.h"
#include "mirel/mrviewdraw.h"
#include "mirel/syntax/cmrsyntax.h"

namespace {

using MrViewDraw::ClampToInt;
using MrViewDraw::FillSolid;
using MrViewDraw::FillWith;
using MrViewDraw::Line;
using MrViewDraw::PenScope;

// A run colour, mark background or selection colour that means "none / the
// row's own colour".
constexpr COLORREF kNoColor = MIREL_CLR_AUTO;

// Widths of the fixed margins and the gap before the text.
constexpr int kIndicatorWidth = 14;
constexpr int kIndicatorAdvance = 15;
constexpr int kFolderWidth = 10;
constexpr int kTextGap = 4;
// Tallest bookmark glyph.
constexpr int kMaxGlyphHeight = 15;
// The input method draws at the caret (IME_PROP_AT_CARET) and its language
// code for Korean, which composes in its own window.
constexpr DWORD kImePropAtCaret = 0x10000;
constexpr BYTE kImeLanguageKorean = 3;
constexpr BYTE kImeLanguageJapanese = 2;

long long FloorDiv(long long a, long long b) {
  const long long q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Any brush (a stock one or a made one) selected for the life of the object;
// a made brush is deleted at the end.
class BrushScope {
 public:
  BrushScope(HDC hdc, HBRUSH hBrush, bool bOwned) : m_hdc(hdc), m_hBrush(hBrush), m_bOwned(bOwned) {
    if (m_hBrush != nullptr) m_hOld = SelectObject(m_hdc, m_hBrush);
  }
  ~BrushScope() {
    if (m_hOld != nullptr) SelectObject(m_hdc, m_hOld);
    if (m_bOwned && m_hBrush != nullptr) DeleteObject(m_hBrush);
  }
  BrushScope(const BrushScope&) = delete;
  BrushScope& operator=(const BrushScope&) = delete;

 private:
  HDC m_hdc;
  HBRUSH m_hBrush;
  bool m_bOwned;
  HGDIOBJ m_hOld = nullptr;
};

// Text in one colour, transparent, with the given alignment and a character
// extra of -1; the DC's settings are put back afterwards.
void DrawLabel(HDC hdc, int x, int y, const char* psz, COLORREF cr, UINT nAlign) {
  const int nLen = static_cast<int>(std::strlen(psz));
  const UINT nOldAlign = SetTextAlign(hdc, nAlign);
  const int nOldMode = SetBkMode(hdc, TRANSPARENT);
  const COLORREF crOld = SetTextColor(hdc, cr);
  const int nOldExtra = SetTextCharacterExtra(hdc, -1);
  TextOutA(hdc, x, y, psz, nLen);
  SetTextCharacterExtra(hdc, nOldExtra);
  SetTextColor(hdc, crOld);
  SetBkMode(hdc, nOldMode);
  SetTextAlign(hdc, nOldAlign);
}

// Whole characters of [p, p + nLen) with their byte lengths and widths.
struct CharSpan {
  DWORD nOffset;
  DWORD nLen;
  int nWidth;
};

std::vector<CharSpan> SplitChars(CMirelDoc& doc, const BYTE* p, DWORD nLen) {
  std::vector<CharSpan> chars;
  DWORD i = 0;
  while (i < nLen) {
    DWORD n = doc.GetCharLength(p, i, nLen, doc.nFileEncoding, doc.nCodePage);
    if (n == 0) n = 1;
    n = std::min(n, nLen - i);
    chars.push_back({i, n, doc.GetCharWidth(p + i, n)});
    i += n;
  }
  return chars;
}

// Width of the line-end and end-of-text marks: a space, at least 6 pixels.
int EolMarkWidth(CMirelDoc& doc) {
  return std::max(doc.GetSpaceWidth(), 6);
}

// Writes the whole characters of nLen bytes of document text from (x, y) in
// the DC's colours: UTF-16 as it stands, UTF-8 and code-page text converted
// to UTF-16, ANSI text of the system code page (or any text when bAnsiOnly)
// as bytes. Every character is placed at the width the layout measured for
// it: a face linked in for some scripts (Hangul in a Latin font) may advance
// its glyphs by other widths than it measures them one by one, and a row
// painted in several runs must show its glyphs where one painted whole does,
// where the caret and the line-end mark go.
void OutputText(CMirelViewText& view, HDC hdc, int x, int y, const BYTE* p, DWORD nLen, BOOL bAnsiOnly) {
  CMirelDoc& doc = *view.pdoc;
  const int nCap = CMirelViewText::TEXT_RUN_BUFFER_LEN;
  const std::vector<CharSpan> chars = SplitChars(doc, p, std::min<DWORD>(nLen, nCap));
  const BOOL bWide = IsWideEncoding(doc.nFileEncoding);
  const BOOL bUtf8 = doc.nFileEncoding == MIREL_ENCODING_UTF8 || doc.nFileEncoding == MIREL_ENCODING_UTF8_BOM;
  std::vector<INT> advances;
  if (!bWide && !bUtf8 && (bAnsiOnly || doc.nCodePage == 0)) {
    // Bytes: the advance of a two-byte character goes on its lead byte.
    DWORD nBytes = 0;
    advances.assign(chars.empty() ? 0 : chars.back().nOffset + chars.back().nLen, 0);
    for (const CharSpan& ch : chars) {
      advances[ch.nOffset] = ch.nWidth;
      nBytes = ch.nOffset + ch.nLen;
    }
    ExtTextOutA(hdc, x, y, 0, nullptr, reinterpret_cast<const char*>(p), static_cast<UINT>(nBytes),
                advances.empty() ? nullptr : advances.data());
    return;
  }
  // UTF-16 units, the advance of a character on its unit. Characters of one
  // unit are written together; the units written so far start at xPending.
  WCHAR* pBuf = view.szRunBuffer.data();
  const UINT nCodePage = bUtf8 ? CP_UTF8 : static_cast<UINT>(doc.nCodePage);
  const int fh = std::max(doc.nFontHeight, 1);
  advances.reserve(chars.size());
  int nUnits = 0;
  long long xPending = x;
  long long xChar = x;
  auto writePending = [&]() {
    if (nUnits > 0)
      ExtTextOutW(hdc, ClampToInt(xPending), y, 0, nullptr, pBuf, static_cast<UINT>(nUnits), advances.data());
    nUnits = 0;
    advances.clear();
  };
  for (const CharSpan& ch : chars) {
    constexpr int kMaxUnits = 8;
    WCHAR units[kMaxUnits];
    int n = 0;
    if (bWide) {
      // Copied, so that the units are read whole whatever the alignment.
      n = static_cast<int>(std::min<DWORD>(ch.nLen / 2, kMaxUnits));
      std::memcpy(units, p + ch.nOffset, static_cast<size_t>(n) * 2);
    } else {
      n = MultiByteToWideChar(nCodePage, 0, reinterpret_cast<const char*>(p + ch.nOffset),
                              static_cast<int>(ch.nLen), units, kMaxUnits);
    }
    if (n == 1) {
      if (nUnits >= nCap) break;
      if (nUnits == 0) xPending = xChar;
      pBuf[nUnits++] = units[0];
      advances.push_back(ch.nWidth);
    } else if (n > 1) {
      // A character of several units (a surrogate pair): platforms read the
      // advances of its units differently, and a face without it may draw a
      // box for each unit. It is written by itself with the platform's own
      // advances and kept to its cell, so the next character stays clean.
      writePending();
      const RECT rcCell{ClampToInt(xChar), y, ClampToInt(xChar + ch.nWidth), y + fh};
      ExtTextOutW(hdc, rcCell.left, y, ETO_CLIPPED, &rcCell, units, static_cast<UINT>(n), nullptr);
    } else if (nUnits > 0) {
      // Nothing to show: the character still takes its measured width.
      advances.back() += ch.nWidth;
    }
    xChar += ch.nWidth;
  }
  writePending();
}

// What the line end of a row shows behind its mark or blank: the selection
// back when it is selected, else the row back behind the line-end mark (none
// in a column block, none without the mark); kNoColor when nothing.
COLORREF LineEndBack(const CMirelDoc& doc, BOOL bSelected, BOOL bColumn, COLORREF crRowBack) {
  if (bSelected) return doc.crSelBack;
  return doc.bShowBreakCode && !bColumn ? crRowBack : kNoColor;
}

// Width of the line-end cell: the mark's, or the selected blank's.
int LineEndWidth(CMirelDoc& doc) {
  return doc.bShowBreakCode ? EolMarkWidth(doc) : doc.GetSpaceWidth();
}

// The margins of one row (or, with pRow NULL, of the strip below the last
// row): indicator strip with bookmark, arrow and triangle, line numbers,
// folder strip and the gap before the text.
void DrawMargins(CMirelViewText& view, HDC hdc, int y, int h, const MIREL_LINE* pRow, int chBookmark,
                 BOOL bArrow, BOOL bTriangle) {
  CMirelDoc& doc = *view.pdoc;
  CMirel& edit = *view.pMirel;
  if (doc.nLeftMargin == 0 || h <= 0) return;
  const int fh = std::max(doc.nFontHeight, 1);
  const BOOL bFirstRow = pRow != nullptr && pRow->nSubLine == 0;
  int x = 0;
  if (doc.IsShowIndicatorMargin()) {
    FillWith(hdc, x, y, x + kIndicatorWidth, y + h, edit.hIndicatorBrush, GetSysColor(COLOR_BTNFACE));
    {
      PenScope pen(hdc, PS_SOLID, 1, doc.crMarginLine);
      Line(hdc, x + kIndicatorWidth, y, x + kIndicatorWidth, y + h);
    }
    if (bFirstRow && chBookmark != MIREL_BOOKMARK_FREE) {
      const int gh = std::min(fh, kMaxGlyphHeight);
      if (chBookmark == MIREL_BOOKMARK_ORDINARY) {
        const int cy = y + fh / 2;
        PenScope pen(hdc, PS_SOLID, 1, doc.crBookmarkFore);
        BrushScope brush(hdc, CreateSolidBrush(doc.crBookmark), true);
        RoundRect(hdc, x + 1, cy - gh / 2, x + 13, cy + gh / 2, 2, 2);
      } else if (chBookmark >= 0 && chBookmark < MIREL_NAMED_BOOKMARK_COUNT) {
        {
          PenScope pen(hdc, PS_SOLID, 1, doc.crBookmark);
          BrushScope brush(hdc, CreateSolidBrush(doc.crBookmarkFore), true);
          RoundRect(hdc, x + 1, y, x + 13, y + fh, 2, 2);
        }
        char szDigit[4];
        std::snprintf(szDigit, sizeof(szDigit), "%d", chBookmark);
        SIZE size{0, 0};
        GetTextExtentPoint32A(hdc, szDigit, 1, &size);
        DrawLabel(hdc, x + 7 - size.cx / 2, y, szDigit, doc.crBookmark, TA_LEFT | TA_TOP);
      }
    }
    if (bFirstRow && bArrow) {
      const int half = fh / 2;
      if (fh > 4) {
        {
          PenScope pen(hdc, PS_SOLID, 1, doc.crCurrentTagFore);
          for (int i = 0; i <= 3; ++i) Line(hdc, x + 1, y + i + half - 3, x + i + 9, y + i + half - 3);
          for (int i = 0; i <= 2; ++i) Line(hdc, x + 1, y + 1 + i + half, x - i + 11, y + 1 + i + half);
        }
        PenScope pen(hdc, PS_SOLID, 1, doc.crCurrentTag);
        for (int i = 0; i <= 2; ++i) Line(hdc, x + 2, y + i + half - 2, x + i + 9, y + i + half - 2);
        Line(hdc, x + 2, y + 1 + half, x + 10, y + 1 + half);
        Line(hdc, x + 2, y + 2 + half, x + 9, y + 2 + half);
      } else {
        {
          PenScope pen(hdc, PS_SOLID, 1, doc.crCurrentTagFore);
          for (int i = 0; i <= 2; ++i) Line(hdc, x + 1, y + i + half - 1, x + 12, y + i + half - 1);
        }
        PenScope pen(hdc, PS_SOLID, 1, doc.crCurrentTag);
        Line(hdc, x + 2, y + half, x + 13, y + half);
      }
    }
    if (pRow != nullptr && bTriangle) {
      const int gh = std::min(fh, kMaxGlyphHeight);
      const int half = gh / 2;
      int u = fh / 2 - half;
      if (u < 2) u = 1;
      const int b = ((y + fh / 2 + half) & ~1) - 1;
      const int mid = y + u + (b - y - u) / 2;
      const POINT pts[4] = {{x + 1, y + u}, {x + 1, b}, {x + half, mid}, {x + 1, y + u}};
      PenScope pen(hdc, PS_SOLID, 1, doc.crActiveLine);
      BrushScope brush(hdc, CreateSolidBrush(doc.crActiveLine), true);
      Polygon(hdc, pts, 4);
    }
    x += kIndicatorAdvance;
  }
  if (doc.IsShowLineNo()) {
    const int w = std::max(doc.nLineNoWidth, 0);
    FillWith(hdc, x, y, x + w, y + h, edit.hGrayBrush, MIREL_GRAY_MARGIN_COLOR);
    {
      PenScope pen(hdc, PS_SOLID, 1, GetSysColor(COLOR_WINDOW));
      Line(hdc, x + w, y, x + w, y + h);
    }
    if (bFirstRow) {
      // People count lines from 1.
      char szNumber[16];
      std::snprintf(szNumber, sizeof(szNumber), "%lu", static_cast<unsigned long>(pRow->nPara) + 1UL);
      DrawLabel(hdc, x + w - 1, y, szNumber, doc.crLineNo, TA_RIGHT | TA_TOP);
    }
    x += w;
  }
  if (doc.IsShowFolderMargin()) {
    FillWith(hdc, x, y, x + kFolderWidth, y + h, edit.hFolderBrush, MIREL_FOLDER_MARGIN_COLOR);
    x += kFolderWidth;
  }
  FillSolid(hdc, x, y, x + kTextGap, y + h, doc.crBack);
}

// The underline of a composing run at yLine: clause by clause for a Japanese
// input method that gave clauses and attributes (thick under the converted
// clause, thin under other converted ones, dotted under plain input), one
// dotted line under the whole run for every other one. nPos is the run's
// text position.
void DrawImeUnderline(CMirelViewText& view, HDC hdc, int x0, int yLine, const BYTE* pRun, DWORD nPos,
                      DWORD nLen) {
  CMirelDoc& doc = *view.pdoc;
  const long long nCompLen = std::max(doc.nIMECompLen, 0);
  if (doc.nIMELanguage != kImeLanguageJapanese) {
    PenScope pen(hdc, PS_DOT, 1, RGB(0, 0, 0));
    Line(hdc, x0, yLine, x0 + doc.GetStringWidth(pRun, 0, nLen), yLine);
    return;
  }
  if (doc.pIMEClause == nullptr || doc.pIMEAttr == nullptr || doc.nIMEAttrLen <= 0) return;
  // The run in composition offsets.
  const long long r0 = static_cast<long long>(nPos) - std::max(doc.nIMECompPos, 0);
  const long long r1 = r0 + nLen;
  // The clause list ends with the composition length; a list that never
  // reaches it stops after as many clauses as there are attributes.
  const long long nMaxClauses = std::min<long long>(doc.nIMEAttrLen, nCompLen);
  for (long long k = 0; k < nMaxClauses; ++k) {
    const long long c0 = doc.pIMEClause[k];
    if (c0 < 0 || c0 >= nCompLen) break;
    const long long c1 = std::clamp<long long>(doc.pIMEClause[k + 1], c0, nCompLen);
    const long long s = std::max(c0, r0);
    const long long e = std::min(c1, r1);
    if (s < e) {
      const BYTE nAttr = c0 < doc.nIMEAttrLen ? doc.pIMEAttr[c0] : 0;
      const int xs = x0 + doc.GetStringWidth(pRun, 0, static_cast<DWORD>(s - r0));
      const int xe = x0 + doc.GetStringWidth(pRun, 0, static_cast<DWORD>(e - r0));
      const int nStyle = nAttr == 0 ? PS_DOT : PS_SOLID;
      const int nWidth = nAttr == 1 ? 2 : 1;
      PenScope pen(hdc, nStyle, nWidth, RGB(0, 0, 0));
      Line(hdc, xs + 1, yLine, xe - 1, yLine);
    }
    if (c1 >= nCompLen) break;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// The whole paint

void CMirelViewText::OnPaint(HWND hWnd) {
  // A paint that drops its request without painting leaves rows the buffer
  // may not show: only a finished paint says what the buffer holds.
  paintedLayout = PaintedLayout{};
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
  const CMrBackBufferDC buffer(hdc, &pEdit->hBackBitmap, cx, cy, pdoc != nullptr ? pdoc->hFont : nullptr);
  if (HDC hMem = buffer.Get()) {
    const BOOL bNewBuffer = buffer.IsNew();
    const BOOL bFocused = GetFocus() == pEdit->hWndEdit;
    const BOOL bHasText =
        pdoc != nullptr && pdoc->pLines != nullptr && pdoc->pContents != nullptr && pdoc->nLineCount > 0;
    int nTag = pEdit->nRepaintTag;
    if (bNewBuffer && bHasText && (nTag == REPAINT_TAG_NONE || nTag == REPAINT_TAG_RULER)) {
      // A new buffer holds nothing yet: everything visible is painted.
      nTag = REPAINT_TAG_ALL;
      pEdit->nDirtyFirst = pEdit->nTopLine;
      pEdit->nDirtyLast = pdoc->nLineCount - 1;
    }
    if (!bHasText) {
      // Before the first text the client area stays empty.
      FillSolid(hMem, 0, 0, cx, cy, pdoc != nullptr ? pdoc->crBack : GetSysColor(COLOR_WINDOW));
    } else if (nTag == REPAINT_TAG_RULER) {
      if (pdoc->nRulerHeight > 0) DrawRuler(hMem);
    } else if (nTag != REPAINT_TAG_NONE) {
      CMirelDoc& doc = *pdoc;
      const int nTop = std::max(pEdit->nTopLine, 0);
      const int nFirst = std::max(pEdit->nDirtyFirst, nTop);
      const int nLast = std::min(pEdit->nDirtyLast, doc.nLineCount - 1);
      const long long h = std::max(doc.nLineHeight, 1);
      if (doc.pSyntax != nullptr && nLast >= 0) doc.pSyntax->ParseUpTo(&doc, nLast);
      if (doc.bShowFindResult && doc.pFindResult != nullptr) doc.pFindResult->Rescan(&doc, nFirst, nLast);
      if (doc.bShowHyperLink && doc.pHyperLink != nullptr) doc.pHyperLink->Rescan(&doc, nFirst, nLast);
      if (doc.nRulerHeight > 0) DrawRuler(hMem);
      const BOOL bIndicator = doc.IsShowIndicatorMargin();
      int i = nFirst;
      for (; i <= nLast; ++i) {
        const long long yRow = (static_cast<long long>(i) - nTop) * h + doc.nRulerHeight;
        if (yRow >= cy) break;
        const int y = ClampToInt(yRow);
        const MIREL_LINE& row = doc.pLines[i];
        CMrBookmark bookmark;
        doc.GetBookmarkAtLine(static_cast<int>(row.nPara), &bookmark);
        const int chBookmark = bookmark.chKind;
        const int yEnd = ClampToInt(yRow + h);
        const int xRow = doc.nLeftMargin - kTextGap;
        const BOOL bTagRow =
            doc.pCurrentTag != nullptr && static_cast<long long>(row.nPara) == doc.nCurrentTagPara;
        if (bTagRow && !bIndicator) {
          FillSolid(hMem, xRow, y, cx, yEnd, doc.crCurrentTag);
          DrawLine(hMem, i, y, doc.crCurrentTagFore, doc.crCurrentTag, bFocused, MIREL_BOOKMARK_FREE, TRUE);
        } else if (bIndicator || chBookmark == MIREL_BOOKMARK_FREE) {
          const BOOL bActiveBack = i == doc.cli && (doc.nActiveLineType == 4 || doc.nActiveLineType == 5 ||
                                                    doc.nActiveLineType == 7);
          const COLORREF crRowBack = bActiveBack ? doc.crActiveLineBack : doc.crBack;
          FillSolid(hMem, xRow, y, cx, yEnd, crRowBack);
          // With the indicator margin shown, the current tag is the arrow there.
          DrawLine(hMem, i, y, doc.crFore, crRowBack, bFocused, chBookmark, bTagRow);
        } else {
          FillSolid(hMem, xRow, y, cx, yEnd, doc.crBookmark);
          DrawLine(hMem, i, y, doc.crBookmarkFore, doc.crBookmark, bFocused, chBookmark, FALSE);
        }
      }
      if (i >= doc.nLineCount) {
        const long long yBelow = std::max<long long>(
            (static_cast<long long>(doc.nLineCount) - nTop) * h + doc.nRulerHeight, doc.nRulerHeight);
        if (yBelow < cy) {
          const int y = ClampToInt(yBelow);
          DrawMargins(*this, hMem, y, cy - y, nullptr, MIREL_BOOKMARK_FREE, FALSE, FALSE);
          FillSolid(hMem, doc.nLeftMargin, y, cx, cy, doc.crBack);
        }
      }
    }
    BitBlt(hdc, 0, 0, cx, cy, hMem, 0, 0, SRCCOPY);
    // Every visible row now shows the current text and layout.
    paintedLayout = bHasText ? CurrentLayout() : PaintedLayout{};
    // The column guide goes on the screen only, so the kept buffer stays free of it.
    if (bHasText && bFocused && (pdoc->nActiveLineType == 6 || pdoc->nActiveLineType == 7)) {
      const long long x = static_cast<long long>(nCaretX) - pEdit->nHScrollPos;
      if (x >= pdoc->nLeftMargin && x < cx) {
        for (int y = std::max(pdoc->nRulerHeight, 0); y < cy; y += 2)
          SetPixel(hdc, static_cast<int>(x), y, pdoc->crActiveLine);
      }
    }
  }
  EndPaint(hWnd, &ps);
  pEdit->nRepaintTag = REPAINT_TAG_NONE;
}

// ---------------------------------------------------------------------------
// One row

BOOL CMirelViewText::DrawLine(HDC hdc, int nLine, int y, COLORREF crFore, COLORREF crBack, BOOL bFocused,
                              int chBookmark, BOOL bArrow) {
  if (pdoc == nullptr || pMirel == nullptr || nLine < 0 || nLine >= pdoc->nLineCount ||
      pdoc->pLines == nullptr)
    return FALSE;
  CMirelDoc& doc = *pdoc;
  const MIREL_LINE& row = doc.pLines[nLine];
  if (row.nKind == MIREL_LINE_SPARE) return FALSE;
  const MrDocText text = MrGetDocText(doc);
  if (text.p == nullptr) return FALSE;
  const int cx = pMirel->rcEdit.right;
  const int fh = std::max(doc.nFontHeight, 1);
  const DWORD nUnit = text.bWide ? 2 : 1;
  const DWORD p0 = std::min<DWORD>(row.nStart, text.nLen);
  const DWORD nRowEnd = std::min<DWORD>(MrRowEnd(row), text.nLen);

  // Selection on this row: a column block's segment, or the stream block.
  CMrBlock& block = doc.block;
  const BOOL bColumn = block.IsColumnBlock();
  DWORD nSelStart = 0;
  DWORD nSelEnd = 0;
  BOOL bEmptySegment = FALSE;
  DWORD nSegmentPos = 0;
  if (bColumn) {
    int xLeft = 0;
    int xRight = 0;
    if (block.GetBoxSegmentLeftX(nLine, &xLeft) && block.GetBoxSegmentRightX(nLine, &xRight)) {
      block.GetBoxSegmentStart(nLine, &nSelStart);
      block.GetBoxSegmentEnd(nLine, &nSelEnd);
      if (nSelEnd < nSelStart) std::swap(nSelStart, nSelEnd);
      if (nSelStart == nSelEnd) {
        bEmptySegment = TRUE;
        nSegmentPos = nSelStart;
      }
      const int xShift = doc.nLeftMargin - pMirel->nHScrollPos;
      FillSelectionRect(hdc, xLeft + xShift, xRight + xShift, y, doc.crSelBack);
    }
  } else {
    nSelStart = block.GetStartPtr();
    nSelEnd = block.GetEndPtr();
  }
  const BOOL bSelection = nSelStart < nSelEnd;
  const BOOL bShowSelection = bSelection && (bFocused || block.nInactiveSelMode != 0);
  const BOOL bBreakSelected = bShowSelection && nRowEnd >= nSelStart && nRowEnd < nSelEnd;

  // The inline composition of an input method that draws at the caret.
  DWORD nImeStart = 0;
  DWORD nImeEnd = 0;
  if (doc.bComposing && (doc.nIMEProperty & kImePropAtCaret) != 0 && doc.nIMELanguage != kImeLanguageKorean &&
      doc.nIMECompPos >= 0 && doc.nIMECompLen > 0) {
    nImeStart = static_cast<DWORD>(doc.nIMECompPos);
    nImeEnd = nImeStart + static_cast<DWORD>(doc.nIMECompLen);
  }
  const BOOL bIme = nImeStart < nImeEnd;

  const int nPara = static_cast<int>(std::min<DWORD>(row.nPara, INT_MAX));
  const std::vector<MrStyleRun> runs = MrParagraphStyleRuns(doc.pSyntax, nPara);

  // Every place where a run has to end, in order.
  std::vector<DWORD> stops;
  if (bSelection) stops.insert(stops.end(), {nSelStart, nSelEnd});
  if (bIme) stops.insert(stops.end(), {nImeStart, nImeEnd});
  if (bEmptySegment) stops.push_back(nSegmentPos);
  // Find results and links of the paragraph (lists scanned by OnPaint).
  const std::vector<MrTextRange> found =
      doc.bShowFindResult ? MrParagraphRanges(doc.pFindResult, doc, nLine) : std::vector<MrTextRange>();
  const std::vector<MrTextRange> links =
      doc.bShowHyperLink ? MrParagraphRanges(doc.pHyperLink, doc, nLine) : std::vector<MrTextRange>();
  for (const MrTextRange& r : found) stops.insert(stops.end(), {r.nStart, r.nEnd});
  for (const MrTextRange& r : links) stops.insert(stops.end(), {r.nStart, r.nEnd});
  for (const MrStyleRun& run : runs) stops.push_back(run.nPos);
  std::sort(stops.begin(), stops.end());

  const BOOL bPageBreak = doc.chPageBreak != 0 && p0 < nRowEnd && text.UnitIs(p0, doc.chPageBreak);
  if (bPageBreak) {
    PenScope pen(hdc, PS_SOLID, 1, doc.crCode);
    const int yRule = y + std::max(doc.nLineHeight, 1) / 2;
    Line(hdc, doc.nLeftMargin, yRule, cx, yRule);
  }
  // Every background of the row goes down before any glyph: ink a glyph
  // puts past its advance stays, whatever run or line end follows it, so a
  // selected row shows the glyphs of the same row unselected.
  const BOOL bBraces = doc.bShowMatchingBrace && doc.nBracePos[0] != doc.nBracePos[1];
  for (const RunLayer layer : {RUN_LAYER_BACK, RUN_LAYER_INK}) {
    if (bPageBreak) break;
    nRunLayer = layer;
    CMrRangeCursor foundCursor(found);
    CMrRangeCursor linkCursor(links);
    int x = doc.nLeftMargin - pMirel->nHScrollPos;
    DWORD p = p0;
    BOOL bRightEdge = FALSE;
    while (p < nRowEnd) {
      DWORD q = p;
      if (text.UnitIs(p, MR_CHAR_TAB)) {
        q = p + nUnit;
      } else {
        const auto next = std::upper_bound(stops.begin(), stops.end(), p);
        const DWORD nLimit = next != stops.end() ? std::min(*next, nRowEnd) : nRowEnd;
        while (q < nLimit && !text.UnitIs(q, MR_CHAR_TAB)) {
          DWORD n = doc.GetCharLength(text.p, q, text.nLen, doc.nFileEncoding, doc.nCodePage);
          if (n == 0) n = 1;
          q = std::min(q + n, nRowEnd);
        }
      }
      const DWORD nLen = q - p;
      const BOOL bSelected = bSelection && p >= nSelStart && p < nSelEnd;
      const BOOL bComposing = bIme && p >= nImeStart && p < nImeEnd;
      const BOOL bFound = foundCursor.InRange(p);
      const BOOL bLink = linkCursor.InRange(p);
      COLORREF fore = crFore;
      COLORREF back = crBack;
      if (bSelected && bShowSelection) {
        fore = doc.crSelFore;
        back = doc.crSelBack;
      } else if (nLen > 0 && bFound) {
        fore = doc.crFindHighlight == kNoColor ? crFore : doc.crFindHighlight;
        back = doc.crFindHighlightBack == kNoColor ? crBack : doc.crFindHighlightBack;
      } else if (nLen > 0 && !runs.empty()) {
        // The style of the last syntax run that starts before the run's end.
        LONG nStyle = runs.front().nStyle;
        for (const MrStyleRun& run : runs) {
          if (run.nPos >= q || run.nStyle == MIREL_STYLE_END) break;
          nStyle = run.nStyle;
        }
        COLORREF crStyleFore = kNoColor;
        COLORREF crStyleBack = kNoColor;
        doc.pSyntax->GetStyleColor(nStyle, &crStyleFore, &crStyleBack);
        fore = crStyleFore == kNoColor ? crFore : crStyleFore;
        back = crStyleBack == kNoColor ? crBack : crStyleBack;
      }
      const int xRun = x;
      int nResult;
      if (bComposing) {
        nResult = DrawImeRun(hdc, &x, y, text.p + p, p, nLen, fore, back);
      } else {
        nResult = DrawTextRun(hdc, &x, y, text.p + p, nLen, fore, back, bLink);
        // A highlighted brace is drawn whole, cell and glyph, over its run.
        if (bBraces && nResult != -1 && layer == RUN_LAYER_INK) {
          for (int nBrace : doc.nBracePos) {
            if (nBrace < 0) continue;
            const DWORD nPos = static_cast<DWORD>(nBrace);
            if (nPos >= p && nPos < q)
              DrawMatchingBrace(hdc, xRun, y, text.p + p, nLen, nPos - p, doc.crMatchingBraceFore,
                                doc.crMatchingBraceBack);
          }
        }
      }
      p = q;
      if (nResult == 1) {
        bRightEdge = TRUE;
        break;
      }
      if (bEmptySegment && q == nSegmentPos) ++x;
    }
    if (bRightEdge) continue;
    const BOOL bBack = layer == RUN_LAYER_BACK;
    if (text.IsLineEndAt(nRowEnd) && p >= nRowEnd) {
      // The line-end mark, or the blank of a selected line end, on its cell.
      const COLORREF crCell = LineEndBack(doc, bBreakSelected, bColumn, crBack);
      if (bBack && crCell != kNoColor) FillSolid(hdc, x, y, x + LineEndWidth(doc), y + fh, crCell);
      if (!bBack && doc.bShowBreakCode) DrawEolMark(hdc, x, y, kNoColor);
    }
    if (p >= text.nLen && doc.bShowBreakCode) {
      if (bBack && !bColumn) FillSolid(hdc, x, y, x + EolMarkWidth(doc), y + fh, crBack);
      if (!bBack) DrawEofMark(hdc, x, y, kNoColor);
    }
  }
  nRunLayer = RUN_LAYER_ALL;

  const BOOL bCaretRow = nLine == doc.cli;
  const int nType = doc.nActiveLineType;
  if (bFocused && bCaretRow && (nType == 2 || nType == 3 || nType == 5 || nType == 6 || nType == 7)) {
    const int yTop = y;
    const int yBottom = y + fh - 1;
    for (int xDot = doc.nLeftMargin; xDot < cx + 1; xDot += 2) {
      if (nType == 3 || nType == 5) SetPixel(hdc, xDot, yTop, doc.crActiveLine);
      SetPixel(hdc, xDot, yBottom, doc.crActiveLine);
    }
  }

  DrawMargins(*this, hdc, y, std::max(doc.nLineHeight, 1), &row, chBookmark, bArrow,
              bFocused && bCaretRow && nType == 1);
  return TRUE;
}

// ---------------------------------------------------------------------------
// Runs

int CMirelViewText::DrawTextRun(HDC hdc, int* px, int y, const BYTE* pText, DWORD nLen, COLORREF crFore,
                                COLORREF crBack, BOOL bLink) {
  if (px == nullptr || pdoc == nullptr || pMirel == nullptr || pText == nullptr) return -1;
  CMirelDoc& doc = *pdoc;
  const int cx = pMirel->rcEdit.right;
  const int lm = doc.nLeftMargin;
  const int fh = std::max(doc.nFontHeight, 1);
  if (*px >= cx) return 1;
  const BOOL bWide = IsWideEncoding(doc.nFileEncoding);
  if (nLen >= (bWide ? 2u : 1u) && MrUnitAt(pText, bWide) == MR_CHAR_TAB) {
    const long long tab = std::max(doc.nTabWidth, 1);
    const long long x0 = *px;
    const long long docX = x0 + pMirel->nHScrollPos - lm;
    const long long xNext = (FloorDiv(docX, tab) + 1) * tab + lm - pMirel->nHScrollPos;
    *px = ClampToInt(xNext);
    if (xNext < lm) return -1;
    if (nRunLayer != RUN_LAYER_INK) FillSolid(hdc, static_cast<int>(x0), y, *px, y + fh, crBack);
    if (nRunLayer != RUN_LAYER_BACK && doc.bShowWhiteSpaceCode)
      DrawTabMark(hdc, static_cast<int>(x0), *px, y);
    return *px >= cx ? 1 : 0;
  }

  const std::vector<CharSpan> chars = SplitChars(doc, pText, nLen);
  size_t nFirst = 0;
  long long x = *px;
  // Characters wholly left of the text area are only measured.
  while (nFirst < chars.size() && x + chars[nFirst].nWidth < lm) x += chars[nFirst++].nWidth;
  if (nFirst == chars.size()) {
    *px = ClampToInt(x);
    return -1;
  }
  // Characters up to the first that reaches the right edge, and never more
  // bytes than the conversion buffer holds units.
  const long long xStart = x;
  size_t nEnd = nFirst;
  DWORD nBytes = 0;
  while (nEnd < chars.size()) {
    if (nBytes + chars[nEnd].nLen > static_cast<DWORD>(TEXT_RUN_BUFFER_LEN)) break;
    nBytes += chars[nEnd].nLen;
    x += chars[nEnd].nWidth;
    ++nEnd;
    if (x >= cx) break;
  }
  const BYTE* pDraw = pText + chars[nFirst].nOffset;

  if (nRunLayer != RUN_LAYER_INK) FillSolid(hdc, ClampToInt(xStart), y, ClampToInt(x), y + fh, crBack);
  if (nRunLayer != RUN_LAYER_BACK) {
    HFONT hLinkFont = nullptr;
    HGDIOBJ hOldFont = nullptr;
    if (bLink) {
      LOGFONTA lf = doc.lfText;
      lf.lfUnderline = 1;
      hLinkFont = CreateFontIndirectA(&lf);
      if (hLinkFont != nullptr) hOldFont = SelectObject(hdc, hLinkFont);
    }
    SetTextColor(hdc, crFore);
    SetBkColor(hdc, crBack);
    SetBkMode(hdc, TRANSPARENT);
    OutputText(*this, hdc, static_cast<int>(xStart), y, pDraw, nBytes, FALSE);
    if (hOldFont != nullptr) SelectObject(hdc, hOldFont);
    if (hLinkFont != nullptr) DeleteObject(hLinkFont);
    if (doc.bShowWhiteSpaceCode) DrawSpaceMark(hdc, static_cast<int>(xStart), y, pDraw, nBytes);
  }
  *px = ClampToInt(x);
  return x >= cx ? 1 : 0;
}

int CMirelViewText::DrawImeRun(HDC hdc, int* px, int y, const BYTE* pText, DWORD nPos, DWORD nLen,
                               COLORREF crFore, COLORREF crBack) {
  if (px == nullptr || pdoc == nullptr || pMirel == nullptr || pText == nullptr) return -1;
  CMirelDoc& doc = *pdoc;
  const int cx = pMirel->rcEdit.right;
  const int fh = std::max(doc.nFontHeight, 1);
  if (*px >= cx) return 1;
  const BOOL bWide = IsWideEncoding(doc.nFileEncoding);
  if (nLen >= (bWide ? 2u : 1u) && MrUnitAt(pText, bWide) == MR_CHAR_TAB)
    return DrawTextRun(hdc, px, y, pText, nLen, crFore, crBack, FALSE);
  // The composition is drawn as a whole, never clipped at the margin.
  const DWORD nBytes = std::min<DWORD>(nLen, TEXT_RUN_BUFFER_LEN);
  const long long x0 = *px;
  const long long x1 = x0 + doc.GetStringWidth(pText, 0, nBytes);
  *px = ClampToInt(x1);
  if (x1 < doc.nLeftMargin) return -1;
  if (nRunLayer != RUN_LAYER_INK) FillSolid(hdc, static_cast<int>(x0), y, *px, y + fh, crBack);
  if (nRunLayer != RUN_LAYER_BACK) {
    SetTextColor(hdc, crFore);
    SetBkColor(hdc, crBack);
    SetBkMode(hdc, TRANSPARENT);
    OutputText(*this, hdc, static_cast<int>(x0), y, pText, nBytes, TRUE);
    if (doc.bShowWhiteSpaceCode) DrawSpaceMark(hdc, static_cast<int>(x0), y, pText, nBytes);
    DrawImeUnderline(*this, hdc, static_cast<int>(x0), y + fh, pText, nPos, nBytes);
  }
  return x1 >= cx ? 1 : 0;
}

void CMirelViewText::DrawMatchingBrace(HDC hdc, int xRun, int y, const BYTE* pRun, DWORD nRunLen,
                                       DWORD nOffset, COLORREF crFore, COLORREF crBack) {
  if (pdoc == nullptr || pRun == nullptr || nOffset >= nRunLen) return;
  long long x = xRun;
  DWORD nCharLen = 1;
  for (const CharSpan& ch : SplitChars(*pdoc, pRun, nRunLen)) {
    if (ch.nOffset + ch.nLen > nOffset) {
      nCharLen = ch.nLen;
      break;
    }
    x += ch.nWidth;
  }
  SetTextColor(hdc, crFore);
  SetBkColor(hdc, crBack);
  SetBkMode(hdc, OPAQUE);
  // The whole character (a UTF-16 brace is one 2-byte unit).
  OutputText(*this, hdc, ClampToInt(x), y, pRun + nOffset, std::min(nCharLen, nRunLen - nOffset), FALSE);
}

// ---------------------------------------------------------------------------
// Marks

void CMirelViewText::DrawEolMark(HDC hdc, int x, int y, COLORREF crBack) {
  if (pdoc == nullptr) return;
  const int fh = std::max(pdoc->nFontHeight, 1);
  const int w = EolMarkWidth(*pdoc);
  if (crBack != kNoColor) FillSolid(hdc, x, y, x + w, y + fh, crBack);
  const int cy = y + fh / 2;
  const POINT pts[6] = {{x + w - 1, y + fh / 10}, {x + w - 1, cy}, {x + 1, cy},
                        {x + 3, cy - 2},          {x + 3, cy + 2}, {x + 1, cy}};
  PenScope pen(hdc, PS_SOLID, 1, pdoc->crCode);
  Polyline(hdc, pts, 6);
}

void CMirelViewText::DrawEofMark(HDC hdc, int x, int y, COLORREF crBack) {
  if (pdoc == nullptr) return;
  const int fh = std::max(pdoc->nFontHeight, 1);
  const int w = EolMarkWidth(*pdoc);
  if (crBack != kNoColor) FillSolid(hdc, x, y, x + w, y + fh, crBack);
  const int mx = x + w / 2;
  const int my = y + fh / 2;
  PenScope pen(hdc, PS_SOLID, 1, pdoc->crCode);
  BrushScope brush(hdc, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)), false);
  Line(hdc, mx - 3, my - 3, mx + 3, my + 3);
  Line(hdc, mx - 3, my + 2, mx + 3, my - 4);
  Ellipse(hdc, mx - 2, my - 2, mx + 2, my + 2);
}

void CMirelViewText::DrawSpaceMark(HDC hdc, int x, int y, const BYTE* pText, DWORD nLen) {
  if (pdoc == nullptr || pText == nullptr) return;
  CMirelDoc& doc = *pdoc;
  const int fh = std::max(doc.nFontHeight, 1);
  const int s = doc.GetSpaceWidth();
  const BOOL bWide = IsWideEncoding(doc.nFileEncoding);
  PenScope pen(hdc, PS_SOLID, 1, doc.crCode);
  BrushScope brush(hdc, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)), false);
  long long xc = x;
  for (const CharSpan& ch : SplitChars(doc, pText, nLen)) {
    const BOOL bSpace = ch.nLen == (bWide ? 2u : 1u) && MrUnitAt(pText + ch.nOffset, bWide) == MR_CHAR_SPACE;
    if (!bSpace) {
      xc += ch.nWidth;
      continue;
    }
    const int xs = ClampToInt(xc);
    if (doc.IsSimpleSpace()) {
      Rectangle(hdc, xs + s / 2 - 1, y + fh / 2 - 1, xs + s / 2 + 1, y + fh / 2 + 1);
    } else {
      const POINT pts[4] = {
          {xs, y + fh * 3 / 4 + 1}, {xs, y + fh - 2}, {xs + s - 1, y + fh - 2}, {xs + s - 1, y + fh * 3 / 4}};
      Polyline(hdc, pts, 4);
    }
    xc += s;
  }
}

void CMirelViewText::DrawTabMark(HDC hdc, int x1, int x2, int y) {
  if (pdoc == nullptr) return;
  const int cy = y + std::max(pdoc->nFontHeight, 1) / 2;
  PenScope pen(hdc, PS_SOLID, 1, pdoc->crCode);
  if (pdoc->IsSimpleTab()) {
    const POINT a[3] = {{x1 + 1, cy - 2}, {x1 + 3, cy}, {x1, cy + 3}};
    const POINT b[3] = {{x1 + 2, cy - 2}, {x1 + 4, cy}, {x1 + 1, cy + 3}};
    Polyline(hdc, a, 3);
    Polyline(hdc, b, 3);
    return;
  }
  Line(hdc, x1 + 1, cy, x2 - 2, cy);
  const POINT head[3] = {{x2 - 4, cy - 2}, {x2 - 4, cy + 2}, {x2 - 2, cy}};
  Polyline(hdc, head, 3);
  Line(hdc, x2 - 1, cy - 3, x2 - 1, cy + 4);
}

void CMirelViewText::FillSelectionRect(HDC hdc, int x1, int x2, int y, COLORREF cr) {
  if (pdoc == nullptr) return;
  if (x2 < x1) std::swap(x1, x2);
  // An empty column still shows as a 1-pixel bar.
  const int xRight = x1 == x2 ? x2 + 1 : x2;
  FillSolid(hdc, x1, y, xRight, y + std::max(pdoc->nFontHeight, 1), cr);
}

// ---------------------------------------------------------------------------
// Ruler

void CMirelViewText::DrawRuler(HDC hdc) {
  if (pdoc == nullptr || pMirel == nullptr || pdoc->nRulerHeight <= 0) return;
  CMirelDoc& doc = *pdoc;
  CMirel& edit = *pMirel;
  const int cx = edit.rcEdit.right;
  const int rh = doc.nRulerHeight;
  const long long acw = std::max(doc.nAveCharWidth, 1);
  const long long hs = edit.nHScrollPos;
  FillWith(hdc, 0, 0, cx, rh, edit.hGrayBrush, MIREL_GRAY_MARGIN_COLOR);
  {
    PenScope pen(hdc, PS_SOLID, 1, doc.crLineNo);
    Line(hdc, 0, rh - 1, cx, rh - 1);
    const long long c0 = -static_cast<long long>(std::floor(static_cast<double>(hs) / acw + 0.5));
    const long long x0 = doc.nLeftMargin - 2 * hs;
    // Ticks left of the window are skipped without drawing.
    const long long kStart = x0 < 0 ? (-x0 + acw - 1) / acw : 0;
    HGDIOBJ hOldFont = edit.hRulerFont != nullptr ? SelectObject(hdc, edit.hRulerFont) : nullptr;
    for (long long k = kStart;; ++k) {
      const long long x = x0 + k * acw;
      if (x >= cx) break;
      const long long c = c0 + k;
      const int xi = static_cast<int>(x);
      Line(hdc, xi, c % 5 == 0 ? rh - 7 : rh - 5, xi, rh - 1);
      if (c % 10 == 0) {
        char szColumn[24];
        std::snprintf(szColumn, sizeof(szColumn), "%lld", c);
        DrawLabel(hdc, xi, 0, szColumn, doc.crLineNo, TA_CENTER | TA_TOP);
      }
    }
    if (hOldFont != nullptr) SelectObject(hdc, hOldFont);
    const int xc = ClampToInt(static_cast<long long>(nCaretX) - hs - 2);
    Line(hdc, xc, 1, xc + 5, 1);
    Line(hdc, xc + 2, 1, xc + 2, 6);
  }
  FillWith(hdc, 0, 0, doc.nLeftMargin - 2, rh - 1, edit.hGrayBrush, MIREL_GRAY_MARGIN_COLOR);
}
