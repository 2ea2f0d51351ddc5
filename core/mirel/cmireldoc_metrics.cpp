// Character widths, text metrics, the text and hex fonts, the left margin and
// the ruler of a document.
//
// Widths are measured once per byte value and once per 256-code row of the
// two-byte table, on the first edit window's device context with the text
// font selected, or on the screen while no edit window exists. The layout
// asks for a width per character, so GetCharWidth is a table lookup once a
// row is measured.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iterator>

#include "mirel/cmireldoc.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cencodings.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"

#if __has_include("mirel/cmirel.h")
#include "mirel/cmirel.h"
#define MIREL_HAS_EDIT_WINDOW 1
#endif

namespace {

// U+FFFD, shown for bytes that are no character.
constexpr UINT kReplacementChar = 0xFFFD;
// Entries of the two-byte width table: every 16-bit code has one.
constexpr int kWideWidthEntries = 0x10000;
constexpr int kUnmeasured = -1;
constexpr int kRulerHeight = 15;
constexpr int kIndicatorMarginWidth = 15;
constexpr int kFolderMarginWidth = 10;
// Text starts this far right of the line numbers with both side margins shown.
constexpr int kMarginsAndGap = 29;
constexpr int kLineNoPadding = 4;
constexpr int kHexFontPoints = 10;
constexpr BYTE kHexPitchAndFamily = FIXED_PITCH | FF_MODERN;

HWND EditWindowOf(const CMirel* pEdit) {
#ifdef MIREL_HAS_EDIT_WINDOW
  return pEdit != nullptr ? pEdit->hWndEdit : nullptr;
#else
  (void)pEdit;
  return nullptr;
#endif
}

// A device context to measure on, with a font selected while it lives: the
// given window's, or the screen's when there is no window (or its DC cannot
// be had).
class CMrMeasureDC {
 public:
  CMrMeasureDC(HWND hWnd, HFONT hFont) : m_hWnd(hWnd) {
    m_hdc = GetDC(m_hWnd);
    if (m_hdc == nullptr && m_hWnd != nullptr) {
      m_hWnd = nullptr;
      m_hdc = GetDC(nullptr);
    }
    if (m_hdc != nullptr && hFont != nullptr) m_hOldFont = SelectObject(m_hdc, hFont);
  }
  ~CMrMeasureDC() {
    if (m_hdc == nullptr) return;
    if (m_hOldFont != nullptr) SelectObject(m_hdc, m_hOldFont);
    ReleaseDC(m_hWnd, m_hdc);
  }
  CMrMeasureDC(const CMrMeasureDC&) = delete;
  CMrMeasureDC& operator=(const CMrMeasureDC&) = delete;

  HDC Get() const { return m_hdc; }

 private:
  HWND m_hWnd;
  HDC m_hdc = nullptr;
  HGDIOBJ m_hOldFont = nullptr;
};

// Rows of the Korean and Japanese two-byte ranges measured in advance.
constexpr BYTE kKoreanLeadFirst = 0xB0;
constexpr BYTE kKoreanLeadLast = 0xC8;
constexpr BYTE kJapaneseLeadFirst = 0xAA;
constexpr BYTE kJapaneseLeadLast = 0xAB;
constexpr BYTE kIMELanguageJapanese = 2;
constexpr BYTE kIMELanguageKorean = 3;

int ScaleByPercent(int nValue, int nPercent) {
  const long long n = static_cast<long long>(nValue) * nPercent / 100;
  return static_cast<int>(std::clamp<long long>(n, 1, INT_MAX));
}

}  // namespace

// ---------------------------------------------------------------------------
// Measuring

namespace {

// Width of a measured extent, or the fallback when the measurement failed.
int ExtentWidth(BOOL bOk, const SIZE& size, int nFallback) {
  return bOk && size.cx >= 0 ? static_cast<int>(size.cx) : nFallback;
}

}  // namespace

void CMirelDoc::MeasureCharWidths(HDC hdc, BOOL bSingle, BOOL bWide) {
  // Without a DC of the caller, measure on the screen with the text font.
  if (hdc == nullptr) {
    CMrMeasureDC dc(nullptr, hFont);
    if (dc.Get() != nullptr) MeasureCharWidths(dc.Get(), bSingle, bWide);
    return;
  }
  const int nFallback = std::max(nAveCharWidth, 0);
  if (bSingle) {
    for (int b = 1; b < 256; ++b) {
      const char ch = static_cast<char>(b);
      SIZE size{};
      BOOL bOk = FALSE;
      WCHAR wsz[2] = {};
      const int nUnits = nCodePage != 0 ? MultiByteToWideChar(nCodePage, 0, &ch, 1, wsz, 2) : 0;
      if (nUnits > 0) {
        bOk = GetTextExtentPoint32W(hdc, wsz, nUnits, &size);
      } else {
        bOk = GetTextExtentPoint32A(hdc, &ch, 1, &size);
      }
      nCharWidth[b] = ExtentWidth(bOk, size, nFallback);
    }
    nCharWidth[0] = nCharWidth[MR_CHAR_SPACE];
  }
  if (bWide) {
    std::fill(std::begin(aPairWidth), std::end(aPairWidth), MrPairWidth{0, 0});
    std::free(pWideWidth);
    pWideWidth = static_cast<int*>(std::malloc(sizeof(int) * kWideWidthEntries));
    if (pWideWidth == nullptr) return;
    std::fill(pWideWidth, pWideWidth + kWideWidthEntries, kUnmeasured);
    const BOOL bAnsi = nFileEncoding == MIREL_ENCODING_UNDEFINED || nFileEncoding == MIREL_ENCODING_ANSI;
    if (bAnsi && nCodePage == 0) {
      if (nIMELanguage == kIMELanguageKorean) {
        for (int lead = kKoreanLeadFirst; lead <= kKoreanLeadLast; ++lead) MeasureWideRow(hdc, lead);
      } else if (nIMELanguage == kIMELanguageJapanese) {
        for (int lead = kJapaneseLeadFirst; lead <= kJapaneseLeadLast; ++lead) MeasureWideRow(hdc, lead);
      }
    }
  }
}

void CMirelDoc::MeasureWideRow(HDC hdc, int nHigh) {
  if (pWideWidth == nullptr || nHigh < 0 || nHigh > 0xFF) return;
  const int nFallback = std::max(nAveCharWidth, 0);
  int* pRow = pWideWidth + nHigh * 256;
  const BOOL bUnicode = IsWideEncoding(nFileEncoding) || nFileEncoding == MIREL_ENCODING_UTF8 ||
                        nFileEncoding == MIREL_ENCODING_UTF8_BOM;
  for (int low = 0; low < 256; ++low) {
    SIZE size{};
    BOOL bOk = FALSE;
    if (bUnicode) {
      const WCHAR unit = static_cast<WCHAR>(nHigh * 256 + low);
      bOk = GetTextExtentPoint32W(hdc, &unit, 1, &size);
    } else {
      // A lead byte and a trail byte, read in the document code page.
      const char pair[2] = {static_cast<char>(nHigh), static_cast<char>(low)};
      WCHAR wsz[2] = {};
      const int nUnits = nCodePage != 0 ? MultiByteToWideChar(nCodePage, 0, pair, 2, wsz, 2) : 0;
      bOk = nUnits > 0 ? GetTextExtentPoint32W(hdc, wsz, nUnits, &size)
                       : GetTextExtentPoint32A(hdc, pair, 2, &size);
    }
    pRow[low] = ExtentWidth(bOk, size, nFallback);
  }
}

void CMirelDoc::MeasureWidthsAgain() {
  HWND hWnd = EditWindowOf(pActiveMirel);
  if (hWnd == nullptr) hWnd = GetMeasureWindow();
  if (hWnd != nullptr) {
    CMrMeasureDC dc(hWnd, hFont);
    if (dc.Get() != nullptr) {
      MeasureCharWidths(dc.Get(), TRUE, TRUE);
      return;
    }
  }
  // No window to measure on yet: nothing measured before may be read, and
  // the first window measures both tables when it registers.
  std::fill(nCharWidth + 1, nCharWidth + 256, kUnmeasured);
  std::fill(std::begin(aPairWidth), std::end(aPairWidth), MrPairWidth{0, 0});
  std::free(pWideWidth);
  pWideWidth = nullptr;
}

HWND CMirelDoc::GetMeasureWindow() const {
  if (nEditCount <= 0 || ppEdits == nullptr) return nullptr;
  return EditWindowOf(ppEdits[0]);
}

void CMirelDoc::MeasureLazily(BOOL bSingle, int nWideRow) {
  CMrMeasureDC dc(GetMeasureWindow(), hFont);
  if (dc.Get() == nullptr) {
    // Nothing to measure on: settle the entries so that they are not asked
    // for again and again.
    const int nFallback = std::max(nAveCharWidth, 0);
    if (bSingle) std::replace(nCharWidth + 1, nCharWidth + 256, kUnmeasured, nFallback);
    if (nWideRow >= 0 && pWideWidth != nullptr) {
      std::fill(pWideWidth + nWideRow * 256, pWideWidth + nWideRow * 256 + 256, nFallback);
    }
    return;
  }
  if (bSingle) MeasureCharWidths(dc.Get(), TRUE, FALSE);
  if (nWideRow >= 0) MeasureWideRow(dc.Get(), nWideRow);
}

int CMirelDoc::GetSurrogatePairWidth(UINT nHigh, UINT nLow) {
  const UINT nCode = 0x10000 + ((nHigh & 0x3FF) << 10) + (nLow & 0x3FF);
  MrPairWidth& slot = aPairWidth[nCode % kPairWidthSlots];
  if (slot.nCode == nCode) return slot.nWidth;
  // One glyph for both units, as the row is drawn.
  const WCHAR units[2] = {static_cast<WCHAR>(nHigh), static_cast<WCHAR>(nLow)};
  CMrMeasureDC dc(GetMeasureWindow(), hFont);
  SIZE size{};
  const BOOL bOk = dc.Get() != nullptr && GetTextExtentPoint32W(dc.Get(), units, 2, &size);
  slot = {nCode, ExtentWidth(bOk, size, std::max(nAveCharWidth, 0))};
  return slot.nWidth;
}

int CMirelDoc::GetSpaceWidth() {
  if (nCharWidth[MR_CHAR_SPACE] < 0) MeasureLazily(TRUE, -1);
  return std::max(nCharWidth[MR_CHAR_SPACE], 0);
}

int CMirelDoc::GetCharWidth(const BYTE* p, DWORD nLen) {
  if (p == nullptr || nLen == 0) return 0;
  if (nLen == 1) {
    const BYTE b = p[0];
    if (b != 0 && nCharWidth[b] < 0) MeasureLazily(TRUE, -1);
    return std::max(nCharWidth[b], 0);
  }
  const BOOL bWide = IsWideEncoding(nFileEncoding);
  // A line end of more than one byte (CR LF, a UTF-16 CR or LF unit) shows as a space.
  const UINT nFirst = MrUnitAt(p, bWide);
  if (nFirst == MR_CHAR_CR || nFirst == MR_CHAR_LF) return GetSpaceWidth();

  UINT nIndex = 0;
  if (bWide || nFileEncoding == MIREL_ENCODING_UTF8 || nFileEncoding == MIREL_ENCODING_UTF8_BOM) {
    if (bWide) {
      // A surrogate pair is one character; a lone surrogate is a unit.
      if (nLen == 4 && MrIsSurrogatePairAt(p, nLen))
        return GetSurrogatePairWidth(nFirst, MrUnitAt(p + 2, TRUE));
      MIREL_ASSERT(nLen <= 2);
      if (nLen > 2) return GetSpaceWidth();
      nIndex = nFirst;
    } else {
      // The table is indexed by the UTF-16 unit of the character; a character
      // beyond the basic plane is measured whole. Bytes that are not one
      // well-formed character (a bad sequence, a code point past U+10FFFF)
      // show as one replacement character.
      WCHAR units[3] = {};
      const int nUnits = Utf8ToUtf16(p, static_cast<int>(std::min<DWORD>(nLen, 8)), units, 3);
      if (nUnits == 2 && MrIsHighSurrogate(units[0]) && MrIsLowSurrogate(units[1]))
        return GetSurrogatePairWidth(units[0], units[1]);
      nIndex = nUnits == 1 ? static_cast<UINT>(units[0]) : kReplacementChar;
    }
  } else {
    MIREL_ASSERT(nLen <= 2);
    if (nLen > 2) return GetSpaceWidth();
    nIndex = static_cast<UINT>(p[0]) * 256 + p[1];
  }
  if (pWideWidth == nullptr) {
    CMrMeasureDC dc(GetMeasureWindow(), hFont);
    MeasureCharWidths(dc.Get(), FALSE, TRUE);
    if (pWideWidth == nullptr) return GetSpaceWidth();
  }
  if (pWideWidth[nIndex] < 0) MeasureLazily(FALSE, static_cast<int>(nIndex >> 8));
  return std::max(pWideWidth[nIndex], 0);
}

int CMirelDoc::GetStringWidth(const BYTE* pText, DWORD nFrom, DWORD nCount) {
  if (pText == nullptr) return 0;
  const DWORD nEnd = nCount > 0xFFFFFFFFu - nFrom ? 0xFFFFFFFFu : nFrom + nCount;
  long long nWidth = 0;
  DWORD nPos = nFrom;
  while (nPos < nEnd) {
    const DWORD nCharLen = GetCharLength(pText, nPos, nEnd, nFileEncoding, nCodePage);
    if (nCharLen == 0) break;
    nWidth += GetCharWidth(pText + nPos, nCharLen);
    nPos += nCharLen;
  }
  return static_cast<int>(std::min<long long>(nWidth, INT_MAX));
}

// ---------------------------------------------------------------------------
// Metrics and fonts

void CMirelDoc::UpdateTextMetrics(HDC hdc) {
  if (hdc == nullptr) {
    CMrMeasureDC dc(nullptr, hFont);
    if (dc.Get() != nullptr) UpdateTextMetrics(dc.Get());
    return;
  }
  TEXTMETRICA tm{};
  if (!GetTextMetricsA(hdc, &tm)) return;
  nFontHeight = std::max<int>(tm.tmHeight, 1);
  nLineHeight = ScaleByPercent(nFontHeight, nLineSpacing);
  nAveCharWidth = std::max<int>(tm.tmAveCharWidth, 0);
  // The tab stop distance divides x positions: keep it at least 1 pixel.
  const long long nTab = static_cast<long long>(nAveCharWidth) * std::max(nTabSize, 1);
  nTabWidth = static_cast<int>(std::clamp<long long>(nTab, 1, INT_MAX));
}

void CMirelDoc::ApplyFont() {
  HWND hWnd = EditWindowOf(pActiveMirel);
  if (hWnd == nullptr) hWnd = GetMeasureWindow();
  if (lfText.lfHeight != 0) {
    if (hFont != nullptr) DeleteObject(hFont);
    hFont = CreateFontIndirectA(&lfText);
  }
  {
    CMrMeasureDC dc(hWnd, hFont);
    if (dc.Get() != nullptr) {
      MeasureCharWidths(dc.Get(), TRUE, TRUE);
      UpdateTextMetrics(dc.Get());
    }
  }
  CalcLineNoWidth();
  CalcLeftMargin();
}

void CMirelDoc::SetFont(const LOGFONTA* pFont) {
  SetEditFont(pActiveMirel, pFont);
}

void CMirelDoc::SetEditFont(CMirel* pEdit, const LOGFONTA* pFont) {
  if (pFont == nullptr) return;
  if (hFont != nullptr) {
    DeleteObject(hFont);
    hFont = nullptr;
  }
  lfText = *pFont;
  HWND hWnd = EditWindowOf(pEdit);
  if (hWnd == nullptr) hWnd = GetMeasureWindow();
  // A zero height keeps the DC's own font.
  if (lfText.lfHeight != 0) hFont = CreateFontIndirectA(&lfText);
  {
    CMrMeasureDC dc(hWnd, hFont);
    if (dc.Get() != nullptr) {
      MeasureCharWidths(dc.Get(), TRUE, TRUE);
      UpdateTextMetrics(dc.Get());
    }
  }
  CalcLineNoWidth();
  CalcLeftMargin();
  if (pContents == nullptr || pContents->GetTextLength() == 0) return;
  if (nViewType != MIREL_VIEW_TYPE_TEXT) return;
  // Wrapped rows depend on the widths just measured, and so does the widest
  // row (the horizontal range); the caret row and the selection's pixel
  // points follow the new metrics either way.
  if (nWrapMode != MIREL_WRAP_NONE) {
    ReloadContents();
  } else {
    nMaxLineWidth = pContents->MeasureWidestRow();
  }
  ResyncRowsAfterRelayout();
  RefreshEditAfterLayoutChange(pEdit);
}

void CMirelDoc::SetFontHex(const LOGFONTA* pFont) {
  SetEditFontHex(pActiveMirel, pFont);
}

void CMirelDoc::SetEditFontHex(CMirel* pEdit, const LOGFONTA* pFont) {
  if (pFont == nullptr) return;
  if (hFontHex != nullptr) {
    DeleteObject(hFontHex);
    hFontHex = nullptr;
  }
  lfHex = *pFont;
  HWND hWnd = EditWindowOf(pEdit);
  if (hWnd == nullptr) hWnd = GetMeasureWindow();
  {
    CMrMeasureDC dc(hWnd, nullptr);
    HDC hdc = dc.Get();
    if (hdc == nullptr) return;
    if (lfHex.lfHeight != 0) {
      hFontHex = CreateFontIndirectA(&lfHex);
    } else {
      const int nHeight = -MulDiv(kHexFontPoints, GetDeviceCaps(hdc, LOGPIXELSY), 72);
      hFontHex =
          CreateFontA(nHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, kHexPitchAndFamily, nullptr);
    }
    HGDIOBJ hOld = hFontHex != nullptr ? SelectObject(hdc, hFontHex) : nullptr;
    SIZE size{};
    if (GetTextExtentPoint32A(hdc, "0", 1, &size)) {
      sizeHexDigit = size;
      nHexLineHeight = ScaleByPercent(static_cast<int>(size.cy), nLineSpacing);
    }
    if (hOld != nullptr) SelectObject(hdc, hOld);
  }
  if (nViewType != MIREL_VIEW_TYPE_HEX) return;
  CalcHexLayout();
  RefreshEditAfterLayoutChange(pEdit);
}

// ---------------------------------------------------------------------------
// Margins and ruler

void CMirelDoc::CalcLineNoWidth() {
  // The numbers shown are paragraph number + 1, so the widest is the
  // paragraph count; wrapped continuation rows carry no number.
  const long long nWidest =
      (pLines != nullptr && nLineCount > 0) ? static_cast<long long>(pLines[nLineCount - 1].nPara) + 1 : 1;
  nLineNoWidth = LineNoWidthFor(nWidest);
}

int CMirelDoc::LineNoWidthFor(long long nWidestNumber) {
  int nDigits = 7;
  if (nWidestNumber <= 999) {
    nDigits = 3;
  } else if (nWidestNumber <= 9999) {
    nDigits = 4;
  } else if (nWidestNumber <= 99999) {
    nDigits = 5;
  } else if (nWidestNumber <= 999999) {
    nDigits = 6;
  }
  const BYTE nine = '9';
  return GetCharWidth(&nine, 1) * nDigits + kLineNoPadding;
}

int CMirelDoc::LeftMarginFor(int nNumberWidth) const {
  int nMargin = (IsShowLineNo() ? nNumberWidth : 0) + kMarginsAndGap;
  if (!(nOptions & MIREL_OPT_INDICATOR_MARGIN)) nMargin -= kIndicatorMarginWidth;
  if (!(nOptions & MIREL_OPT_FOLDER_MARGIN)) nMargin -= kFolderMarginWidth;
  return nMargin;
}

void CMirelDoc::CalcLeftMargin() {
  const int nMargin = LeftMarginFor(nLineNoWidth);
  const int nShift = nMargin - nLeftMargin;
  nLeftMargin = nMargin;
  if (nShift == 0) return;
#ifdef MIREL_HAS_EDIT_WINDOW
  // The goal x of vertical moves is a window x: it moves with the text.
  for (int i = 0; i < nEditCount && ppEdits != nullptr; ++i) {
    if (ppEdits[i] != nullptr) {
      const long long x = static_cast<long long>(ppEdits[i]->nGoalCaretX) + nShift;
      ppEdits[i]->nGoalCaretX = static_cast<int>(std::clamp<long long>(x, INT_MIN, INT_MAX));
    }
  }
#endif
}

void CMirelDoc::EnableRuler(BOOL bOn) {
  nRulerHeight = bOn ? kRulerHeight : 0;
  if (nEditCount <= 0) return;
  CalcLineNoWidth();
  CalcLeftMargin();
  // The text area moves down by the ruler: the page, the caret and every row.
  UpdateAllScrollBars();
  UpdateActiveCaret(1, 0);
  UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}
