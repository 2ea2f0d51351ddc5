// Print pagination: the text cut into print rows measured on the printer's
// device context, and the rows grouped into pages. Unlike the screen layout
// every mode wraps (no wrap means word wrap), the page-break character ends
// the page and forms no row, and each character is measured on the DC; the
// widths are kept for the rest of the pagination, so every character costs
// one table look-up once its code was seen.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "mirel/ccontentshandler.h"
#include "mirel/cencodings.h"
#include "mirel/cmrprintinfo.h"
#include "mirel/mirel.h"
#include "mirel/mrwordbreak.h"
#include "mirel/mrtextunits.h"
#include "mirel/syntax/cmrsyntax.h"

namespace {

// Width cache layout: single bytes first, then 16-bit codes.
constexpr size_t kWideCacheBase = 256;
constexpr size_t kWidthCacheSize = kWideCacheBase + 0x10000;

int ExtentA(HDC hdc, const BYTE* p, int n) {
  SIZE size{0, 0};
  if (!GetTextExtentPoint32A(hdc, reinterpret_cast<const char*>(p), n, &size)) return 0;
  return size.cx > 0 ? static_cast<int>(size.cx) : 0;
}

int ExtentW(HDC hdc, const WCHAR* p, int n) {
  SIZE size{0, 0};
  if (!GetTextExtentPoint32W(hdc, p, n, &size)) return 0;
  return size.cx > 0 ? static_cast<int>(size.cx) : 0;
}

int CachedWidth(CMrPrintInfo* pInfo, size_t nSlot, int (*measure)(CMrPrintInfo*, const void*),
                const void* p) {
  if (pInfo->widthCache.size() != kWidthCacheSize) pInfo->widthCache.assign(kWidthCacheSize, -1);
  int& w = pInfo->widthCache[nSlot];
  if (w < 0) w = measure(pInfo, p);
  return w;
}

// Width of one character of nCharLen bytes on the print DC: ANSI bytes as
// they are, UTF-16 units, UTF-8 decoded to UTF-16 first.
int PrintCharWidth(CMrPrintInfo* pInfo, const BYTE* p, DWORD nCharLen, int nEncoding) {
  HDC hdc = pInfo->hDC;
  if (IsWideEncoding(nEncoding)) {
    if (nCharLen < 2) return 0;
    if (MrIsSurrogatePairAt(p, nCharLen)) {
      // One glyph for the pair, as the page draws it.
      const WCHAR units[2] = {static_cast<WCHAR>(MrUnitAt(p, TRUE)),
                              static_cast<WCHAR>(MrUnitAt(p + 2, TRUE))};
      return ExtentW(hdc, units, 2);
    }
    const WCHAR unit = static_cast<WCHAR>(MrUnitAt(p, TRUE));
    return CachedWidth(
        pInfo, kWideCacheBase + unit,
        [](CMrPrintInfo* s, const void* q) { return ExtentW(s->hDC, static_cast<const WCHAR*>(q), 1); },
        &unit);
  }
  if (nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM) {
    WCHAR units[2];
    const int n = Utf8ToUtf16(p, static_cast<int>(nCharLen), units, 2);
    if (n == 2) return ExtentW(hdc, units, 2);
    if (n != 1) return 0;
    return CachedWidth(
        pInfo, kWideCacheBase + units[0],
        [](CMrPrintInfo* s, const void* q) { return ExtentW(s->hDC, static_cast<const WCHAR*>(q), 1); },
        &units[0]);
  }
  if (nCharLen == 1) {
    return CachedWidth(
        pInfo, p[0],
        [](CMrPrintInfo* s, const void* q) { return ExtentA(s->hDC, static_cast<const BYTE*>(q), 1); }, p);
  }
  if (nCharLen == 2) {
    return CachedWidth(
        pInfo, kWideCacheBase + (static_cast<size_t>(p[0]) << 8 | p[1]),
        [](CMrPrintInfo* s, const void* q) { return ExtentA(s->hDC, static_cast<const BYTE*>(q), 2); }, p);
  }
  return ExtentA(hdc, p, static_cast<int>(nCharLen));
}

bool IsLineEndCode(int nCode) {
  return nCode == MIREL_BREAK_CRLF || nCode == MIREL_BREAK_LF || nCode == MIREL_BREAK_CR;
}

// Grows a malloc'ed table of T by at least nStep records, and by half its
// size once that is more, so that filling it stays linear; false (table
// unchanged) when the size cannot be had.
template <typename T>
bool GrowTable(T** ppTable, int* pnAlloc, int nMinStep) {
  const int nStep = std::max(nMinStep, *pnAlloc / 2);
  if (*pnAlloc > INT_MAX - nStep) return false;
  const size_t nNew = static_cast<size_t>(*pnAlloc) + static_cast<size_t>(nStep);
  if (nNew > SIZE_MAX / sizeof(T)) return false;
  T* p = static_cast<T*>(std::realloc(*ppTable, nNew * sizeof(T)));
  if (p == nullptr) return false;
  std::memset(p + *pnAlloc, 0, static_cast<size_t>(nStep) * sizeof(T));
  *ppTable = p;
  *pnAlloc = static_cast<int>(nNew);
  return true;
}

}  // namespace

int CContentsHandler::FindPrintLineEnd(CMrPrintInfo* pInfo, const BYTE* pTextIn, DWORD nLen, DWORD* pnStart,
                                       DWORD* pnEnd) {
  if (pInfo == nullptr || pnStart == nullptr || pnEnd == nullptr || pDoc == nullptr)
    return MIREL_PRINT_BAD_MODE;
  if (pInfo->nWrapMode == MIREL_WRAP_NONE) pInfo->nWrapMode = MIREL_WRAP_WORD;
  const int nMode = pInfo->nWrapMode;
  if (nMode < MIREL_WRAP_CHAR || nMode > MIREL_WRAP_WORD_DBCS) return MIREL_PRINT_BAD_MODE;
  const DWORD nStart = *pnStart;
  if (pTextIn == nullptr || nStart >= nLen) {
    *pnEnd = std::min(nStart, nLen);
    return MIREL_BREAK_END;
  }
  const int nEncoding = pDoc->nFileEncoding;
  const BOOL bWide = IsWideEncoding(nEncoding);
  const DWORD nUnit = bWide ? 2 : 1;
  const BYTE* pLead = pDoc->GetLeadByteTable();
  const bool bUtf8 = nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM;
  const UINT chPageBreak = pDoc->chPageBreak;
  const long long nLimit = static_cast<long long>(pInfo->rcPrint.right) - pInfo->nTextLeft - 3;
  const long long nTab = pInfo->nTabWidth >= 1 ? pInfo->nTabWidth : 1;

  auto isDoubleByte = [&](DWORD nPos, DWORD nCharLen) {
    if (nCharLen < 2) return false;
    const BYTE* p = pTextIn + nPos;
    if (bWide) return MrIsWideCodePoint(MrUnitAt(p, TRUE)) != FALSE;
    if (bUtf8) {
      WCHAR units[2];
      return Utf8ToUtf16(p, static_cast<int>(nCharLen), units, 2) >= 1 && MrIsWideCodePoint(units[0]);
    }
    return pLead[p[0]] != 0;
  };

  long long w = 0;
  DWORD pos = nStart;
  CMrWordBreak brk(nMode);
  for (;;) {
    if (pos >= nLen) {
      *pnEnd = nLen;
      return MIREL_BREAK_END;
    }
    const bool bWholeUnit = pos + nUnit <= nLen;
    const UINT ch = bWholeUnit ? MrUnitAt(pTextIn + pos, bWide) : 0x100000;
    if (chPageBreak != 0 && ch == chPageBreak) {
      *pnEnd = pos;
      return MIREL_BREAK_PAGE;
    }
    if (ch == MR_CHAR_CR || ch == MR_CHAR_LF) {
      *pnEnd = pos;
      if (ch == MR_CHAR_LF) return MIREL_BREAK_LF;
      const bool bPair = pos + 2 * nUnit <= nLen && MrUnitAt(pTextIn + pos + nUnit, bWide) == MR_CHAR_LF;
      return bPair ? MIREL_BREAK_CRLF : MIREL_BREAK_CR;
    }
    const DWORD nCharLen = MrCharLength(pTextIn, pos, nLen, nEncoding, pLead);
    // A row's length is a 16-bit field: a character that would pass it
    // starts the next row.
    if (pos - nStart + nCharLen > MIREL_MAX_ROW_BYTES) {
      *pnEnd = pos;
      return MIREL_BREAK_WRAP;
    }
    const bool bTab = ch == MR_CHAR_TAB;
    if (bTab) {
      w = (w / nTab + 1) * nTab;
    } else {
      w += PrintCharWidth(pInfo, pTextIn + pos, nCharLen, nEncoding);
    }
    if (nMode >= MIREL_WRAP_WORD) brk.Step(pos, bTab, isDoubleByte(pos, nCharLen));
    // Every row keeps at least its first character.
    if (w > nLimit && pos > nStart) {
      *pnEnd = (nMode >= MIREL_WRAP_WORD && brk.nCandidate > nStart) ? brk.nCandidate : pos;
      return MIREL_BREAK_WRAP;
    }
    if (nMode >= MIREL_WRAP_WORD && bWholeUnit && pDoc->IsWordDelimiter(pTextIn + pos))
      brk.nCandidate = pos + nCharLen;
    pos += nCharLen;
  }
}

BOOL CContentsHandler::BuildPrintLines(CMrPrintInfo* pInfo) {
  return BuildPrintLineTable(pInfo);
}

BOOL CContentsHandler::BuildPrintLineTable(CMrPrintInfo* pInfo) {
  if (pInfo == nullptr || pDoc == nullptr || pInfo->nLinesPerPage < 1) return FALSE;
  std::free(pInfo->pLines);
  std::free(pInfo->pPages);
  pInfo->pLines = nullptr;
  pInfo->pPages = nullptr;
  pInfo->nLineAlloc = 0;
  pInfo->nPageAlloc = 0;
  pInfo->nPageCount = 0;
  pInfo->nLastLine = 0;
  pInfo->widthCache.assign(kWidthCacheSize, -1);
  if (!GrowTable(&pInfo->pLines, &pInfo->nLineAlloc, std::max(pDoc->nLineAlloc, 1)) ||
      !GrowTable(&pInfo->pPages, &pInfo->nPageAlloc, MIREL_PRINT_PAGE_STEP))
    return FALSE;

  const BYTE* pBody = GetText(0);
  const DWORD nLen = GetTextLength();
  const DWORD nUnit = IsWideEncoding(pDoc->nFileEncoding) ? 2 : 1;
  int nPagesDone = 0;
  pInfo->pPages[0].nFirst = 0;
  // Closes the current page at row nRow; the next page starts after it.
  auto endPage = [&](int nRow) {
    pInfo->pPages[nPagesDone].nLast = nRow;
    ++nPagesDone;
    if (nPagesDone >= pInfo->nPageAlloc &&
        !GrowTable(&pInfo->pPages, &pInfo->nPageAlloc, MIREL_PRINT_PAGE_STEP))
      return false;
    pInfo->pPages[nPagesDone].nFirst = nRow + 1;
    return true;
  };

  DWORD nStart = 0;
  DWORD nPara = 0;
  DWORD nSubLine = 0;
  int nOnPage = 0;
  for (int i = 0;; ++i) {
    if (i >= pInfo->nLineAlloc) {
      MIREL_ASSERT(pInfo->pLines != NULL);
      if (!GrowTable(&pInfo->pLines, &pInfo->nLineAlloc, MIREL_PRINT_ROW_STEP)) return FALSE;
    }
    DWORD nEnd = nStart;
    const int nState = FindPrintLineEnd(pInfo, pBody, nLen, &nStart, &nEnd);
    MIREL_LINE& row = pInfo->pLines[i];
    row.nStart = nStart;
    row.nPara = nPara;
    row.nSubLine = nSubLine;
    row.nLen = static_cast<WORD>(nEnd - nStart);
    row.nKind = MIREL_LINE_ROW;
    if (nState == MIREL_BREAK_END) {
      row.nKind = MIREL_LINE_LAST;
      pInfo->pPages[nPagesDone].nLast = i;
      pInfo->nLastLine = i;
      if (pInfo->pSyntax != nullptr) {
        // Colour runs for every paragraph printed, in order, over the print rows.
        const MIREL_LINE_TABLE rows{pInfo->pLines, i + 1};
        for (int r = 0; r <= i; ++r) {
          if (pInfo->pLines[r].nSubLine == 0) pInfo->pSyntax->ParseParagraph(pDoc, r, &rows);
        }
      }
      pInfo->nPageCount = nPagesDone + 1;
      return TRUE;
    }
    if (nState == MIREL_BREAK_PAGE) {
      if (!endPage(i)) return FALSE;
      nStart = std::min(nLen, nEnd + nUnit);
      ++nSubLine;
      nOnPage = 0;
      continue;
    }
    if (nState == MIREL_BREAK_WRAP) {
      nStart = nEnd;
      ++nSubLine;
    } else if (IsLineEndCode(nState)) {
      nStart = std::min(nLen, nEnd + (nState == MIREL_BREAK_CRLF ? 2 * nUnit : nUnit));
      ++nPara;
      nSubLine = 0;
    } else {
      return FALSE;
    }
    if (++nOnPage >= pInfo->nLinesPerPage) {
      if (!endPage(i)) return FALSE;
      nOnPage = 0;
    }
  }
}
