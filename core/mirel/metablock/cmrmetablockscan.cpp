// The two range-list scanners: occurrences of the find pattern and links.
#include <windows.h>

#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/metablock/cmrmetablock.h"
#include "mirel/mirel.h"
#include "mirel/mrscanguard.h"
#include "mirel/search/mrfind.h"
#include "mirel/search/mrwholeword.h"

namespace {

// End of the paragraph whose first row is nRow (its line break excluded).
DWORD ParagraphEnd(const CMirelDoc& doc, int nRow) {
  int nLast = nRow;
  while (nLast + 1 < doc.nLineCount && doc.pLines[nLast + 1].nSubLine != 0) ++nLast;
  return MrRowEnd(doc.pLines[nLast]);
}

// The text of the paragraph whose first row is nRow: [*pnStart, *pnEnd),
// cut at the end of the text. FALSE while there is no text.
bool GetParagraphSpan(CMirelDoc& doc, int nRow, MrDocText* pText, DWORD* pnStart, DWORD* pnEnd) {
  *pText = MrGetDocText(doc);
  if (pText->p == nullptr) return false;
  *pnStart = doc.pLines[nRow].nStart;
  const DWORD nEnd = ParagraphEnd(doc, nRow);
  *pnEnd = nEnd < pText->nLen ? nEnd : pText->nLen;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Find results

void CMrMetaBlockFindResult::Invalidate(int nPara) {
  MrRunScanGuarded([&] {
    if (!m_pattern.empty()) ClearFrom(nPara);
  });
}

void CMrMetaBlockFindResult::SetPattern(const BYTE* pPattern, int nLen, int nFlags) {
  MrRunScanGuarded([&] {
    if (pPattern != nullptr && nLen > 0) {
      m_pattern.assign(pPattern, pPattern + nLen);
      m_nFlags = nFlags;
      ClearFrom(0);
    } else {
      // A forgotten pattern has length 0: nothing is highlighted any more.
      ClearFrom(0);
      m_pattern.clear();
    }
  });
}

void CMrMetaBlockFindResult::ScanLine(CMirelDoc* pDoc, int nRow) {
  MrRunScanGuarded([&] {
    if (m_pattern.empty()) return;
    int nPara = 0;
    if (!BeginScan(pDoc, nRow, &nPara)) return;
    MrDocText text;
    DWORD nStart = 0, nEnd = 0;
    if (!GetParagraphSpan(*pDoc, nRow, &text, &nStart, &nEnd)) return;
    const BOOL bMatchCase = (m_nFlags & MIREL_FIND_MATCHCASE) != 0;
    const BOOL bWhole = (m_nFlags & MIREL_FIND_WHOLEWORD) != 0;
    // The buffer is cut at the paragraph end; it starts at the text start,
    // so characters line up, and the paragraph starts on one.
    CMrTextFinder finder(text.p, nEnd, m_pattern.data(), static_cast<DWORD>(m_pattern.size()),
                         pDoc->nFileEncoding, pDoc->nCodePage, bMatchCase, nStart, nStart);
    DWORD nPos = nStart;
    while (nPos < nEnd) {
      DWORD nMatch = 0;
      const long long nAt = finder.Forward(nPos, &nMatch);
      if (nAt < 0) break;
      const DWORD s = static_cast<DWORD>(nAt);
      if (bWhole && !MrIsWholeWordMatch(*pDoc, text.p, text.nLen, s, s + nMatch, &finder)) {
        // A whole word may overlap the rejected match.
        nPos = s + (text.bWide ? 2 : 1);
        continue;
      }
      AddRange(nPara, static_cast<int>(s - nStart), static_cast<int>(s + nMatch - nStart));
      nPos = s + nMatch;
    }
  });
}

// ---------------------------------------------------------------------------
// Hyperlinks

namespace {

constexpr const char* kLinkPrefixes[] = {"https://", "http://", "mailto:", "ftp://"};

BOOL IsLinkSeparator(UINT ch) {
  switch (ch) {
    case MR_CHAR_TAB:
    case MR_CHAR_CR:
    case MR_CHAR_LF:
    case MR_CHAR_SPACE:
    case '"':
    case '\'':
    case '>':
    case '<':
    case ')':
    case '(':
      return TRUE;
    default:
      return FALSE;
  }
}

// Units of the link prefix at nPos (whole units, ASCII letters in any case),
// 0 when none starts there or it is cut by nEnd.
DWORD LinkPrefixUnits(const BYTE* p, DWORD nPos, DWORD nEnd, BOOL bWide) {
  const DWORD nUnit = bWide ? 2 : 1;
  for (const char* pszPrefix : kLinkPrefixes) {
    const DWORD nChars = static_cast<DWORD>(MrStrLen(pszPrefix));
    if (nEnd - nPos < nChars * nUnit) continue;
    DWORD k = 0;
    while (k < nChars && MrToLowerA(static_cast<int>(MrUnitAt(p + nPos + k * nUnit, bWide))) ==
                             static_cast<int>(pszPrefix[k]))
      ++k;
    if (k == nChars) return nChars;
  }
  return 0;
}

}  // namespace

void CMrMetaBlockHyperLink::Invalidate(int nPara) {
  ClearFrom(nPara);
}

void CMrMetaBlockHyperLink::ScanLine(CMirelDoc* pDoc, int nRow) {
  // Runs without the crash-dump guard: only the find-result list swaps the
  // process-wide exception filter.
  int nPara = 0;
  if (!BeginScan(pDoc, nRow, &nPara)) return;
  MrDocText text;
  DWORD nStart = 0, nEnd = 0;
  if (!GetParagraphSpan(*pDoc, nRow, &text, &nStart, &nEnd)) return;
  const DWORD nUnit = text.bWide ? 2 : 1;
  BOOL bInLink = FALSE;
  DWORD nLinkStart = 0;
  DWORD nPos = nStart;
  while (nPos + nUnit <= nEnd) {
    const BOOL bSeparator = IsLinkSeparator(MrUnitAt(text.p + nPos, text.bWide));
    if (bInLink) {
      if (bSeparator) {
        AddRange(nPara, static_cast<int>(nLinkStart - nStart), static_cast<int>(nPos - nStart));
        bInLink = FALSE;
      }
      nPos += nUnit;
      continue;
    }
    if (!bSeparator) {
      const DWORD nPrefix = LinkPrefixUnits(text.p, nPos, nEnd, text.bWide);
      if (nPrefix > 0) {
        bInLink = TRUE;
        nLinkStart = nPos;
        nPos += nPrefix * nUnit;
        continue;
      }
    }
    nPos += nUnit;
  }
  if (bInLink) AddRange(nPara, static_cast<int>(nLinkStart - nStart), static_cast<int>(nEnd - nStart));
}
