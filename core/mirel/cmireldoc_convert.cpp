// Character conversions of the text view: the case of ASCII letters, and
// tabs to spaces and back.
//
// Only whole characters change: a letter is a one-unit character (never a
// trail byte of a double-byte character, never part of a UTF-16 unit), and
// spaces and tabs are whole units.
#include <algorithm>
#include <climits>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_editstep.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"
#include "mirel/mrtryalloc.h"

namespace {

using Bytes = std::vector<BYTE>;

constexpr int kCaseUpper = 0;
constexpr int kCaseLower = 1;
constexpr int kCaseSwap = 2;

// The unit ch in the case that nMode asks for (ASCII letters only).
UINT ConvertCase(UINT ch, int nMode) {
  if (ch > 0x7F) return ch;
  const int c = static_cast<int>(ch);
  const BOOL bLower = c >= 'a' && c <= 'z';
  const BOOL bUpper = c >= 'A' && c <= 'Z';
  if ((nMode == kCaseUpper || nMode == kCaseSwap) && bLower) return static_cast<UINT>(MrToUpperA(c));
  if ((nMode == kCaseLower || nMode == kCaseSwap) && bUpper) return static_cast<UINT>(MrToLowerA(c));
  return ch;
}

// Changes the case of the letters in [nFrom, nTo): one replace from the
// first changed character to the last, so characters that stay are never
// rewritten and a range without letters records nothing. FALSE when the
// change could not be made (out of memory).
BOOL ChangeCaseIn(CMirelDoc& doc, CMrEditStep& step, DWORD nFrom, DWORD nTo, int nMode) {
  const MrDocText text = MrGetDocText(doc);
  const DWORD nUnit = text.bWide ? 2 : 1;
  nFrom &= ~(nUnit - 1);
  nTo = std::min(nTo, text.nLen) & ~(nUnit - 1);
  if (nFrom >= nTo) return TRUE;
  Bytes copy;
  if (!MrTryAppend(copy, text.p + nFrom, text.p + nTo)) return FALSE;
  DWORD nFirst = nTo;
  DWORD nLast = nFrom;
  for (DWORD n = nFrom; n < nTo;) {
    const DWORD nLen =
        std::max<DWORD>(doc.GetCharLength(text.p, n, text.nLen, doc.nFileEncoding, doc.nCodePage), 1);
    if (nLen == nUnit && nTo - n >= nUnit) {
      const UINT ch = MrUnitAt(text.p + n, text.bWide);
      const UINT to = ConvertCase(ch, nMode);
      if (to != ch) {
        MrPutUnit(copy.data() + (n - nFrom), text.bWide, to);
        nFirst = std::min(nFirst, n);
        nLast = n + nUnit;
      }
    }
    n += nLen;
  }
  if (nFirst >= nLast) return TRUE;
  return step.Replace(nFirst, nLast - nFirst, copy.data() + (nFirst - nFrom), nLast - nFirst);
}

BOOL IsLineEndUnit(UINT ch) {
  return ch == MR_CHAR_CR || ch == MR_CHAR_LF;
}

// The range of the two conversions: the selection, else the caret's row.
BOOL ConversionRange(CMirelDoc& doc, DWORD* pnStart, DWORD* pnEnd, BOOL* pbSelection) {
  const MrDocText text = MrGetDocText(doc);
  DWORD nStart = 0;
  DWORD nEnd = 0;
  *pbSelection = doc.block.HasSelection();
  if (*pbSelection) {
    nStart = std::min(doc.block.GetStartPtr(), text.nLen);
    nEnd = std::min(doc.block.GetEndPtr(), text.nLen);
  } else {
    const DWORD nCaret = static_cast<DWORD>(std::clamp<long long>(doc.nCaretPos, 0, text.nLen));
    const int nRow = doc.GetLineFromPos(nCaret);
    nStart = doc.pLines[nRow].nStart;
    nEnd = std::min(MrRowEnd(doc.pLines[nRow]), text.nLen);
  }
  if (text.bWide) {
    nStart &= ~static_cast<DWORD>(1);
    nEnd &= ~static_cast<DWORD>(1);
  }
  *pnStart = nStart;
  *pnEnd = nEnd;
  return nStart < nEnd;
}

// Replaces the range by its converted copy when they differ, keeps the new
// range selected and refreshes.
void ReplaceConverted(CMirelDoc& doc, DWORD nStart, DWORD nEnd, const Bytes& converted) {
  const MrDocText text = MrGetDocText(doc);
  if (converted.size() == nEnd - nStart && std::equal(converted.begin(), converted.end(), text.p + nStart))
    return;
  const DWORD nCaret = static_cast<DWORD>(std::max(doc.nCaretPos, 0));
  CMrEditStep step(doc, TRUE, FALSE);
  if (!step.Replace(nStart, nEnd - nStart, converted.data(), static_cast<DWORD>(converted.size()))) return;
  step.Close();
  const DWORD nNewEnd = nStart + static_cast<DWORD>(converted.size());
  doc.nVirtualSpace = 0;
  if (nCaret == nStart) {
    MrSelectRange(doc, nNewEnd, nStart);
  } else {
    MrSelectRange(doc, nStart, nNewEnd);
  }
  doc.UpdateEditsAfterChange(REPAINT_TAG_FROM, nStart, 0);
}

}  // namespace

// ---------------------------------------------------------------------------
// Case

void CMirelDoc::ChangeCase(int nMode) {
  if (nViewType != MIREL_VIEW_TYPE_TEXT) {
    MessageBeep(MB_OK);
    return;
  }
  if (pContents == nullptr || pLines == nullptr || nLineCount <= 0) return;
  const MrDocText text = MrGetDocText(*this);
  const DWORD nCaret = static_cast<DWORD>(std::clamp<long long>(nCaretPos, 0, text.nLen)) &
                       ~static_cast<DWORD>(text.bWide ? 1 : 0);
  CMrEditStep step(*this);
  DWORD nFrom = block.GetStartPtr();
  if (block.IsColumnBlock() && block.pRows != nullptr) {
    for (int i = 0; i < block.nRowCount; ++i) {
      if (!ChangeCaseIn(*this, step, block.pRows[i].nStart, block.pRows[i].nEnd, nMode)) {
        // Every row or none.
        step.TakeBack();
        UpdateEditsAfterChange(REPAINT_TAG_ALL, 0, 0);
        return;
      }
    }
    nFrom = GetParagraphStart(block.pRows[0].nStart);
  } else if (block.HasSelection()) {
    ChangeCaseIn(*this, step, block.GetStartPtr(), block.GetEndPtr(), nMode);
  } else {
    ChangeCaseIn(*this, step, nCaret, GetNextCharPos(nCaret), nMode);
    nFrom = nCaret;
    // The caret moves on one character, never past the text.
    if (nMode >= kCaseUpper && nMode <= kCaseSwap) {
      const DWORD nNext = std::min(std::max(GetNextCharPos(nCaret), nCaret), GetContentsSize());
      nVirtualSpace = 0;
      MrCollapseAt(*this, nNext);
    }
  }
  step.Close();
  UpdateEditsAfterChange(REPAINT_TAG_FROM, std::min<DWORD>(nFrom, GetContentsSize()), 0);
}

// ---------------------------------------------------------------------------
// Tabs and spaces

void CMirelDoc::ConvertTabToSpace() {
  if (nViewType != MIREL_VIEW_TYPE_TEXT) {
    MessageBeep(MB_OK);
    return;
  }
  if (pContents == nullptr || pLines == nullptr || nLineCount <= 0) return;
  DWORD nStart = 0;
  DWORD nEnd = 0;
  BOOL bSelection = FALSE;
  if (!ConversionRange(*this, &nStart, &nEnd, &bSelection)) return;
  const MrDocText text = MrGetDocText(*this);
  const DWORD nUnit = text.bWide ? 2 : 1;
  const unsigned long long nSpaces = static_cast<unsigned long long>(std::max(nTabSize, 1));
  unsigned long long nSize = 0;
  for (DWORD n = nStart; n < nEnd; n += nUnit) nSize += text.UnitIs(n, MR_CHAR_TAB) ? nSpaces * nUnit : nUnit;
  // A text that would outgrow the store is left as it is.
  if (nSize > MIREL_MAX_BODY_BYTES - text.nLen + (nEnd - nStart)) return;
  // Taken at its final size: the loop below never grows it.
  Bytes out;
  if (!MrTryReserve(out, static_cast<size_t>(nSize))) return;
  for (DWORD n = nStart; n < nEnd; n += nUnit) {
    if (text.UnitIs(n, MR_CHAR_TAB)) {
      for (unsigned long long i = 0; i < nSpaces; ++i) {
        out.push_back(MR_CHAR_SPACE);
        if (text.bWide) out.push_back(0);
      }
    } else {
      out.insert(out.end(), text.p + n, text.p + n + nUnit);
    }
  }
  ReplaceConverted(*this, nStart, nEnd, out);
}

void CMirelDoc::ConvertSpaceToTab(BOOL bLeadingOnly) {
  if (nViewType != MIREL_VIEW_TYPE_TEXT) {
    MessageBeep(MB_OK);
    return;
  }
  if (block.IsColumnBlock() || (bLeadingOnly && nWrapMode != MIREL_WRAP_NONE)) {
    MessageBeep(MB_ICONHAND);
    return;
  }
  if (pContents == nullptr || pLines == nullptr || nLineCount <= 0) return;
  DWORD nStart = 0;
  DWORD nEnd = 0;
  BOOL bSelection = FALSE;
  if (!ConversionRange(*this, &nStart, &nEnd, &bSelection)) return;
  const MrDocText text = MrGetDocText(*this);
  const DWORD nUnit = text.bWide ? 2 : 1;
  const DWORD nTab = static_cast<DWORD>(std::max(nTabSize, 1));
  auto unitAt = [&](DWORD n) { return MrUnitAt(text.p + n, text.bWide); };

  // Leading white space starts at a row start; a selection that starts after
  // other text on its row starts outside it.
  BOOL bLeading = TRUE;
  if (bSelection) {
    for (DWORD n = pLines[GetLineFromPos(nStart)].nStart; n < nStart && bLeading; n += nUnit)
      bLeading = unitAt(n) == MR_CHAR_SPACE || unitAt(n) == MR_CHAR_TAB;
  }
  // Never longer than the range: the loop below never grows it.
  Bytes out;
  if (!MrTryReserve(out, nEnd - nStart)) return;
  auto copyUnits = [&](DWORD n, DWORD nCount) {
    out.insert(out.end(), text.p + n, text.p + n + nCount * nUnit);
  };
  for (DWORD n = nStart; n < nEnd;) {
    const UINT ch = unitAt(n);
    if (IsLineEndUnit(ch)) {
      copyUnits(n, 1);
      n += nUnit;
      bLeading = TRUE;
      continue;
    }
    if (bLeadingOnly && !bLeading) {
      copyUnits(n, 1);
      n += nUnit;
      continue;
    }
    DWORD nSpaces = 0;
    while (nSpaces < nTab && n + (nSpaces + 1) * nUnit <= nEnd &&
           unitAt(n + nSpaces * nUnit) == MR_CHAR_SPACE)
      ++nSpaces;
    const DWORD nAfter = n + nSpaces * nUnit;
    if (nSpaces == nTab) {
      BYTE abTab[2];
      out.insert(out.end(), abTab, abTab + MrPutUnit(abTab, text.bWide, MR_CHAR_TAB));
      n = nAfter;
    } else if (nSpaces > 0 && nAfter < nEnd && unitAt(nAfter) == MR_CHAR_TAB) {
      // The tab that follows absorbs the spaces.
      n = nAfter;
    } else if (nSpaces == 0 && ch == MR_CHAR_TAB) {
      copyUnits(n, 1);
      n += nUnit;
    } else {
      // A short run (or any other character) stays; in the leading mode it
      // ends the leading white space.
      const DWORD nCopy = std::max<DWORD>(nSpaces, 1);
      copyUnits(n, nCopy);
      n += nCopy * nUnit;
      bLeading = FALSE;
    }
  }
  ReplaceConverted(*this, nStart, nEnd, out);
}
