// Printing: the print state, the preparation that measures and paginates the
// text for the host's printable rectangle, and the drawing of one page on the
// DC the host passes, with paragraph numbers and syntax colours.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <new>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cencodings.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmrprintinfo.h"
#include "mirel/mirel.h"
#include "mirel/mrtextunits.h"
#include "mirel/syntax/cmrsyntax.h"

namespace {

int ClampToInt(long long v) {
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// A colour the painters take as "use the default": the automatic marker and
// the unset records of the extra style tables.
bool IsDefaultColor(COLORREF cr) {
  return (cr & 0xFF000000u) != 0;
}

// Draws the bytes [p, p + n) at (x, y) clipped to rc and returns their extent.
int DrawPrintSegment(HDC hdc, int nEncoding, const BYTE* p, int n, int x, int y, const RECT& rc) {
  SIZE size{0, 0};
  if (IsWideEncoding(nEncoding) || nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM) {
    std::vector<WCHAR> units;
    if (IsWideEncoding(nEncoding)) {
      units.resize(static_cast<size_t>(n / 2));
      for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<WCHAR>(MrUnitAt(p + 2 * i, TRUE));
    } else {
      units.resize(static_cast<size_t>(Utf8CountUtf16Units(p, n)));
      units.resize(static_cast<size_t>(Utf8ToUtf16(p, n, units.data(), static_cast<int>(units.size()))));
    }
    if (units.empty()) return 0;
    const int nUnits = static_cast<int>(units.size());
    ExtTextOutW(hdc, x, y, ETO_CLIPPED, &rc, units.data(), static_cast<UINT>(nUnits), nullptr);
    if (!GetTextExtentPoint32W(hdc, units.data(), nUnits, &size)) return 0;
  } else {
    const char* psz = reinterpret_cast<const char*>(p);
    ExtTextOutA(hdc, x, y, ETO_CLIPPED, &rc, psz, static_cast<UINT>(n), nullptr);
    if (!GetTextExtentPoint32A(hdc, psz, n, &size)) return 0;
  }
  return size.cx > 0 ? static_cast<int>(size.cx) : 0;
}

}  // namespace

BOOL MrIsDeviceContext(HDC hdc) {
  if (hdc == nullptr) return FALSE;
  switch (GetObjectType(hdc)) {
    case OBJ_DC:
    case OBJ_MEMDC:
    case OBJ_METADC:
    case OBJ_ENHMETADC:
      return TRUE;
    default:
      return FALSE;
  }
}

CMrPrintInfo* CMirelDoc::GetOrCreatePrintInfo() {
  if (pPrintInfo == nullptr) pPrintInfo = new (std::nothrow) CMrPrintInfo();
  return pPrintInfo;
}

void CMirelDoc::PreparePrint(CMrPrintInfo* pInfo) {
  if (pInfo == nullptr) return;
  // Whatever happens below, the pages of an earlier preparation are gone.
  pInfo->ReleaseTables();
  pInfo->nLinesPerPage = 0;
  TEXTMETRICA tm{};
  if (!MrIsDeviceContext(pInfo->hDC) || !GetTextMetricsA(pInfo->hDC, &tm)) return;
  pInfo->nTabWidth = std::max(1, ClampToInt(static_cast<long long>(tm.tmAveCharWidth) * nTabSize));
  pInfo->nLineHeight = ClampToInt(static_cast<long long>(tm.tmHeight) * nLineSpacing / 100);
  const long long nHeight = static_cast<long long>(pInfo->rcPrint.bottom) - pInfo->rcPrint.top;
  pInfo->nLinesPerPage =
      (pInfo->nLineHeight > 0 && nHeight > 0) ? ClampToInt(nHeight / pInfo->nLineHeight) : 0;
  long long nLeft = pInfo->rcPrint.left;
  if (pInfo->bLineNo) {
    SIZE size{0, 0};
    if (GetTextExtentPoint32A(pInfo->hDC, MIREL_PRINT_LINE_NO_SAMPLE, MIREL_PRINT_LINE_NO_DIGITS, &size))
      nLeft += size.cx;
  }
  pInfo->nTextLeft = ClampToInt(nLeft);
  if (pInfo->nLinesPerPage == 0 || pContents == nullptr) return;
  if (pInfo->bColor) {
    pInfo->pSyntax = pSyntax;  // the document's own: never deleted here
    pInfo->bOwnsSyntax = FALSE;
  } else {
    pInfo->pSyntax = CreateSyntax(0, MIREL_SYNTAX_NONE, TRUE);
    pInfo->bOwnsSyntax = pInfo->pSyntax != nullptr;
  }
  if (!pContents->BuildPrintLines(pInfo)) pInfo->ReleaseTables();
}

int CMirelDoc::PrintPage(CMrPrintInfo* pInfo, int nPage) {
  if (pInfo == nullptr || pInfo->pLines == nullptr || pInfo->pPages == nullptr || nPage < 0 ||
      nPage >= pInfo->nPageCount || pContents == nullptr || !MrIsDeviceContext(pInfo->hDC))
    return 0;
  HDC hdc = pInfo->hDC;
  const COLORREF crOldText = GetTextColor(hdc);
  const COLORREF crOldBack = GetBkColor(hdc);
  const int nOldMode = GetBkMode(hdc);

  CMrSyntax* pPrintSyntax = pInfo->CurrentSyntax(pSyntax);
  const BYTE* pBody = pContents->GetText(0);
  const DWORD nTextLen = pContents->GetTextLength();
  const BOOL bWide = IsWideEncoding(nFileEncoding);
  const DWORD nUnit = bWide ? 2 : 1;
  const BYTE* pLead = GetLeadByteTable();
  const RECT& rc = pInfo->rcPrint;
  const MIREL_PRINT_PAGE page = pInfo->pPages[nPage];
  const int nLast = std::min<LONG>(page.nLast, pInfo->nLastLine);
  const long long nTab = pInfo->nTabWidth >= 1 ? pInfo->nTabWidth : 1;
  int nResult = 1;
  for (int r = page.nFirst; r <= nLast; ++r) {
    const MIREL_LINE& row = pInfo->pLines[r];
    // A spare record, or rows the text no longer holds (it changed since the
    // preparation), end the page.
    if (row.nKind == MIREL_LINE_SPARE || pBody == nullptr || row.nStart > nTextLen ||
        row.nLen > nTextLen - row.nStart) {
      nResult = 0;
      break;
    }
    const int y = ClampToInt(static_cast<long long>(r - page.nFirst) * pInfo->nLineHeight + rc.top);
    if (pInfo->bLineNo && row.nSubLine == 0) {
      char szNumber[32];
      const int n =
          std::snprintf(szNumber, sizeof szNumber, "%lu", static_cast<unsigned long>(row.nPara) + 1);
      SetTextColor(hdc, MIREL_PRINT_LINE_NO_COLOR);
      SetBkMode(hdc, TRANSPARENT);
      TextOutA(hdc, rc.left, y, szNumber, std::min(std::max(n, 0), MIREL_PRINT_LINE_NO_DIGITS));
    }
    const std::vector<MrStyleRun> runs = MrParagraphStyleRuns(pPrintSyntax, row.nPara);
    size_t k = 0;  // the last run at or before the segment start
    const DWORD nEnd = row.nStart + row.nLen;
    long long x = pInfo->nTextLeft;
    DWORD p = row.nStart;
    while (p < nEnd) {
      if (p + nUnit <= nEnd && MrUnitIs(pBody + p, bWide, MR_CHAR_TAB)) {
        x = ((x - pInfo->nTextLeft) / nTab + 1) * nTab + pInfo->nTextLeft;
        p += nUnit;
        continue;
      }
      while (k + 1 < runs.size() && runs[k + 1].nPos <= p) ++k;
      const DWORD nNextRun = k + 1 < runs.size() ? runs[k + 1].nPos : nEnd;
      DWORD q = p;
      while (q < nEnd && (q == p || q < nNextRun) &&
             !(q + nUnit <= nEnd && MrUnitIs(pBody + q, bWide, MR_CHAR_TAB)))
        q += MrCharLength(pBody, q, nEnd, nFileEncoding, pLead);
      if (!runs.empty() && runs[k].nPos <= p) {
        COLORREF crFore = 0;
        COLORREF crBack = 0;
        pPrintSyntax->GetStyleColor(runs[k].nStyle, &crFore, &crBack);
        SetTextColor(hdc, IsDefaultColor(crFore) ? 0 : crFore);
        if (IsDefaultColor(crBack)) {
          SetBkMode(hdc, TRANSPARENT);
        } else {
          SetBkColor(hdc, crBack);
          SetBkMode(hdc, OPAQUE);
        }
      } else {
        SetTextColor(hdc, 0);
        SetBkMode(hdc, TRANSPARENT);
      }
      x += DrawPrintSegment(hdc, nFileEncoding, pBody + p, static_cast<int>(q - p), ClampToInt(x), y, rc);
      p = q;
    }
  }
  SetTextColor(hdc, crOldText);
  SetBkColor(hdc, crOldBack);
  SetBkMode(hdc, nOldMode);
  return nResult;
}

void CMirelDoc::EndPrint(CMrPrintInfo* pInfo) {
  if (pInfo != nullptr) pInfo->ReleaseTables();
}
