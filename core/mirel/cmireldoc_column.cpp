// Writing into a column block one row at a time: a pasted column, the same
// text on every row, row numbers, and the block's width.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_editstep.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/mrhostansi.h"
#include "mirel/mrtryalloc.h"

namespace {

constexpr int kColumnDone = 0;
constexpr int kColumnNotText = 1;
constexpr int kColumnModeOff = 2;
constexpr int kColumnFormatNewline = 3;
constexpr int kColumnFormatTooLong = 4;
constexpr size_t kFormatMax = 256;
constexpr size_t kNumberBuffer = 512;

// One line of a pasted column: where it starts in the data and its length.
struct ColumnLine {
  DWORD nStart;
  DWORD nLen;
};

// Calls onLine(start, length) for every line of the data; a line end is
// CR LF, a lone CR or a lone LF, and data ending with one has a last, empty
// line.
template <typename OnLine>
void ForEachLine(const BYTE* p, DWORD nLen, BOOL bWide, OnLine onLine) {
  const DWORD u = bWide ? 2 : 1;
  DWORD nLineStart = 0;
  DWORD i = 0;
  while (i + u <= nLen) {
    const BOOL bCr = MrUnitIs(p + i, bWide, MR_CHAR_CR);
    if (!bCr && !MrUnitIs(p + i, bWide, MR_CHAR_LF)) {
      i += u;
      continue;
    }
    onLine(nLineStart, i - nLineStart);
    i += u;
    if (bCr && i + u <= nLen && MrUnitIs(p + i, bWide, MR_CHAR_LF)) i += u;
    nLineStart = i;
  }
  onLine(nLineStart, nLen - nLineStart);
}

// The lines of the data, counted first so that the list is taken at once;
// FALSE when the memory for it is not there.
BOOL SplitLines(const BYTE* p, DWORD nLen, BOOL bWide, std::vector<ColumnLine>* pLines) {
  size_t nCount = 0;
  ForEachLine(p, nLen, bWide, [&nCount](DWORD, DWORD) { ++nCount; });
  if (!MrTryReserve(*pLines, nCount)) return FALSE;
  ForEachLine(p, nLen, bWide, [pLines](DWORD nStart, DWORD nLineLen) {
    pLines->push_back({nStart, nLineLen});
  });
  return TRUE;
}

// The document's line end in its encoding.
std::vector<BYTE> LineEnd(const CMirelDoc& doc) {
  const BOOL bWide = IsWideEncoding(doc.nFileEncoding);
  std::vector<UINT> units;
  if (doc.nFileFormat == MIREL_FILE_FORMAT_LF) {
    units = {MR_CHAR_LF};
  } else if (doc.nFileFormat == MIREL_FILE_FORMAT_CR) {
    units = {MR_CHAR_CR};
  } else {
    units = {MR_CHAR_CR, MR_CHAR_LF};
  }
  std::vector<BYTE> out(units.size() * (bWide ? 2 : 1));
  size_t n = 0;
  for (UINT c : units) n += MrPutUnit(out.data() + n, bWide, c);
  return out;
}

// Checks a numbering format: literal text, "%%" and at most one integer
// conversion with flags, width and precision, so that one int argument is
// all it can read. FALSE when it is refused; otherwise *pchConversion is the
// conversion letter, 0 when there is none (every row gets the same text).
BOOL CheckNumberFormat(const char* psz, char* pchConversion) {
  char chConversion = 0;
  for (const char* p = psz; *p != '\0'; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == '%') continue;
    if (chConversion != 0) return FALSE;  // a second conversion would read no argument
    while (*p != '\0' && std::strchr("-+ #0", *p) != nullptr) ++p;
    for (int n = 0; *p >= '0' && *p <= '9'; ++p) {
      if (++n > 3) return FALSE;
    }
    if (*p == '.') {
      ++p;
      for (int n = 0; *p >= '0' && *p <= '9'; ++p) {
        if (++n > 3) return FALSE;
      }
    }
    if (*p == '\0' || std::strchr("diuoxXc", *p) == nullptr) return FALSE;
    chConversion = *p;
  }
  *pchConversion = chConversion;
  return TRUE;
}

// The number as the checked format writes it; FALSE when it does not fit.
BOOL FormatNumber(const char* pszFormat, char chConversion, int nValue, std::string* pOut) {
  char buf[kNumberBuffer];
  int n = 0;
  if (chConversion == 'd' || chConversion == 'i' || chConversion == 'c') {
    n = std::snprintf(buf, sizeof buf, pszFormat, nValue);
  } else {
    n = std::snprintf(buf, sizeof buf, pszFormat, static_cast<unsigned>(nValue));
  }
  if (n < 0 || static_cast<size_t>(n) >= sizeof buf) return FALSE;
  pOut->assign(buf, static_cast<size_t>(n));
  return TRUE;
}

}  // namespace

BOOL CMirelDoc::InsertColumnText(const BYTE* pData, DWORD nLen, DWORD nPos) {
  if (pContents == nullptr || pLines == nullptr || nLineCount <= 0 || pData == nullptr || nLen == 0)
    return FALSE;
  const BOOL bWide = IsWideEncoding(nFileEncoding);
  if (bWide) nLen &= ~1u;
  const DWORD nTextLen = GetContentsSize();
  if (nLen == 0 || nLen > MIREL_MAX_BODY_BYTES - std::min(nTextLen, MIREL_MAX_BODY_BYTES)) return FALSE;
  std::vector<ColumnLine> lines;
  if (!SplitLines(pData, nLen, bWide, &lines)) return FALSE;
  const std::vector<BYTE> lineEnd = LineEnd(*this);
  if (static_cast<unsigned long long>(lineEnd.size()) * lines.size() >
      MIREL_MAX_BODY_BYTES - std::min<unsigned long long>(nTextLen + nLen, MIREL_MAX_BODY_BYTES)) {
    return FALSE;
  }

  const int nKeepVirtual = nVirtualSpace;
  DWORD p = std::min(nPos, nTextLen);
  if (bWide) p &= ~1u;
  int nRow = GetLineFromPos(p);
  const int x = GetXFromPos(nRow, p, TRUE);
  // Room for every line first; an insert that still fails takes the others
  // back, so the column goes in whole or not at all.
  if (!pContents->Reserve(static_cast<DWORD>(std::min<unsigned long long>(
          nLen + static_cast<unsigned long long>(lineEnd.size()) * lines.size(), MIREL_MAX_BODY_BYTES))))
    return FALSE;
  BOOL bFailed = FALSE;
  BOOL bChanged = FALSE;
  StartUndoGroup();
  for (size_t k = 0; k < lines.size() && !bFailed; ++k) {
    const ColumnLine& line = lines[k];
    if (line.nLen > 0) {
      if (!InsertContents(p, pData + line.nStart, line.nLen, TRUE)) bFailed = TRUE;
      bChanged = bChanged || !bFailed;
    }
    if (bFailed || k + 1 == lines.size()) break;
    // On the last row the row is split right after the line just put in, so
    // that the next line has a row to go to.
    if (nRow + 1 >= nLineCount) {
      if (!InsertContents(p + line.nLen, lineEnd.data(), static_cast<DWORD>(lineEnd.size()), TRUE))
        bFailed = TRUE;
      bChanged = bChanged || !bFailed;
    }
    ++nRow;
    p = GetPosFromX(nRow, x, FALSE);
  }
  EndUndoGroup();
  if (bFailed && bChanged) MrTakeBackFailedGroup(*this);
  nVirtualSpace = nKeepVirtual;
  return !bFailed;
}

int CMirelDoc::InsertColumnsTextA(const char* pText, int nLen, BOOL bUndo) {
  if (pContents == nullptr) return kColumnDone;  // no text yet: nothing to write into
  if (nViewType != MIREL_VIEW_TYPE_TEXT) return kColumnNotText;
  if (!IsColumnMode()) return kColumnModeOff;
  std::vector<BYTE> text;
  if (!MrAnsiToDocument(*this, pText, nLen, nCodePage, &text) || text.empty()) return kColumnDone;
  // The text is recorded for undo whatever the host asks.
  (void)bUndo;
  std::vector<std::vector<BYTE>> perRow;
  if (!MrTryReserve(perRow, 1)) return kColumnDone;
  perRow.push_back(std::move(text));
  return InsertColumnRows(perRow, TRUE);
}

int CMirelDoc::InsertColumnsNumberFormat(const char* pszFormat, int nStart, int nStep, BOOL bUndo) {
  if (pContents == nullptr) return kColumnDone;  // no text yet: nothing to write into
  if (nViewType != MIREL_VIEW_TYPE_TEXT) return kColumnNotText;
  if (!IsColumnMode()) return kColumnModeOff;
  if (pszFormat == nullptr) return kColumnDone;
  if (std::strstr(pszFormat, "\\r") != nullptr || std::strstr(pszFormat, "\\n") != nullptr) {
    return kColumnFormatNewline;
  }
  if (std::strlen(pszFormat) >= kFormatMax) return kColumnFormatTooLong;
  char chConversion = 0;
  if (!CheckNumberFormat(pszFormat, &chConversion)) return kColumnDone;
  // Every row's text is made first: nothing changes when one cannot be.
  const int nRows = block.IsColumnBlock() ? block.nRowCount : 1;
  std::vector<std::vector<BYTE>> perRow;
  if (!MrTryReserve(perRow, static_cast<size_t>(std::max(nRows, 1)))) return kColumnDone;
  for (int k = 0; k < nRows; ++k) {
    const long long nValue = static_cast<long long>(nStart) + static_cast<long long>(k) * nStep;
    if (nValue < INT_MIN || nValue > INT_MAX) return kColumnDone;
    std::string number;
    if (!FormatNumber(pszFormat, chConversion, static_cast<int>(nValue), &number)) return kColumnDone;
    std::vector<BYTE> text;
    if (!MrAnsiToDocument(*this, number.data(), static_cast<int>(number.size()), nCodePage, &text) ||
        text.empty()) {
      return kColumnDone;
    }
    perRow.push_back(std::move(text));
  }
  return InsertColumnRows(perRow, bUndo);
}

int CMirelDoc::InsertColumnsNumber(int nStart, int nStep, BOOL bHex, BOOL bRightAlign, BOOL bZeroPad,
                                   BOOL bUndo) {
  if (pContents == nullptr) return kColumnDone;  // no text yet: nothing to write into
  if (nViewType != MIREL_VIEW_TYPE_TEXT) return kColumnNotText;
  if (!IsColumnMode()) return kColumnModeOff;
  if (!block.IsColumnBlock()) return InsertColumnsNumberFormat(bHex ? "%X" : "%d", nStart, nStep, bUndo);
  const long long nLast =
      static_cast<long long>(nStart) + static_cast<long long>(block.nRowCount - 1) * nStep;
  const std::uint32_t nMax = static_cast<std::uint32_t>(nLast);
  int nWidth = 1;
  if (bHex) {
    int k = 1;
    while (k < 4 && (static_cast<std::uint64_t>(nMax) >> (8 * k)) != 0) ++k;
    nWidth = 2 * k;
  } else {
    for (std::uint64_t nPower = 10; nMax / nPower != 0; nPower *= 10) ++nWidth;
  }
  const char* pszPattern = bRightAlign ? (bZeroPad ? "%%0%d%c" : "%%%d%c") : "%%-%d%c";
  char format[128];
  std::snprintf(format, sizeof format, pszPattern, nWidth, bHex ? 'X' : 'd');
  return InsertColumnsNumberFormat(format, nStart, nStep, bUndo);
}

void CMirelDoc::GetBlockColumnCount(int* pnCount) {
  if (pnCount == nullptr || pContents == nullptr) return;
  *pnCount = 0;
  if (block.IsColumnBlock() && block.pRows != nullptr && block.nRowCount > 0 &&
      block.pRows[0].nEnd >= block.pRows[0].nStart) {
    *pnCount = static_cast<int>(block.pRows[0].nEnd - block.pRows[0].nStart);
  }
}

int CMirelDoc::InsertColumnRows(const std::vector<std::vector<BYTE>>& perRow, BOOL bRecord) {
  if (!block.IsColumnBlock() || block.pRows == nullptr || block.nRowCount <= 0) {
    // Column mode without a block: the one text goes in at the caret, which
    // stays where it is (in front of the text, out of virtual space).
    const std::vector<BYTE>& text = perRow.front();
    const DWORD nLimit = GetContentsSize();
    DWORD nAt = std::min(static_cast<DWORD>(std::max(nCaretPos, 0)), nLimit);
    if (IsWideEncoding(nFileEncoding)) nAt &= ~1u;
    if (text.size() > MIREL_MAX_BODY_BYTES - std::min(nLimit, MIREL_MAX_BODY_BYTES)) return kColumnDone;
    if (!InsertContents(nAt, text.data(), static_cast<DWORD>(text.size()), bRecord)) return kColumnDone;
    nVirtualSpace = 0;
    nAt = MrCaretOffCharMiddle(*this, nAt);
    nCaretPos = static_cast<int>(nAt);
    cli = GetLineFromPos(nAt);
    block.Reset(static_cast<DWORD>(nCaretPos), cli, FALSE);
    UpdateEditsAfterChange(REPAINT_TAG_FROM, GetParagraphStart(nAt), 0);
    return kColumnDone;
  }
  std::vector<MIREL_BLOCK_ROW> rows;
  if (!MrTryAppend(rows, block.pRows, block.pRows + block.nRowCount)) return kColumnDone;
  unsigned long long nGrowth = 0;
  for (size_t r = 0; r < rows.size(); ++r) {
    nGrowth += static_cast<unsigned long long>(MakeSpaces(rows[r].nStartVirtual, nullptr, 0)) +
               perRow[std::min(r, perRow.size() - 1)].size();
  }
  if (nGrowth > MIREL_MAX_BODY_BYTES - std::min(GetContentsSize(), MIREL_MAX_BODY_BYTES)) return kColumnDone;
  // Room for every row first; an insert that still fails takes the others
  // back (when they are recorded), so the rows go in whole or not at all.
  if (!pContents->Reserve(static_cast<DWORD>(nGrowth))) return kColumnDone;

  const BOOL bCaretOnFirst = cli == rows.front().nLine;
  DWORD nShift = 0;
  DWORD nFirstAt = 0, nLastAt = 0;
  BOOL bFailed = FALSE;
  BOOL bChanged = FALSE;
  std::vector<BYTE> spaces;
  SeparateUndo();
  StartUndoGroup();
  for (size_t r = 0; r < rows.size() && !bFailed; ++r) {
    DWORD p = rows[r].nStart + nShift;
    if (rows[r].nStartVirtual > 0) {
      if (!MrTryResize(spaces, static_cast<size_t>(MakeSpaces(rows[r].nStartVirtual, nullptr, 0)))) {
        bFailed = TRUE;
        break;
      }
      MakeSpaces(rows[r].nStartVirtual, spaces.data(), static_cast<int>(spaces.size()));
      if (!InsertContents(p, spaces.data(), static_cast<DWORD>(spaces.size()), bRecord)) {
        bFailed = TRUE;
        break;
      }
      bChanged = TRUE;
      p += static_cast<DWORD>(spaces.size());
      nShift += static_cast<DWORD>(spaces.size());
    }
    if (r == 0) nFirstAt = p;
    nLastAt = p;
    const std::vector<BYTE>& text = perRow[std::min(r, perRow.size() - 1)];
    if (!InsertContents(p, text.data(), static_cast<DWORD>(text.size()), bRecord)) {
      bFailed = TRUE;
      break;
    }
    bChanged = TRUE;
    nShift += static_cast<DWORD>(text.size());
  }
  EndUndoGroup();
  SeparateUndo();
  if (bFailed) {
    if (bChanged && bRecord) MrTakeBackFailedGroup(*this);
    if (bChanged) UpdateEditsAfterChange(REPAINT_TAG_ALL, 0, 0);
    return kColumnDone;
  }

  // A zero-width column through the rows at the left edge of what was
  // inserted, placed by pixel x so that it stays on whole characters.
  const int nCaretRow = bCaretOnFirst ? rows.front().nLine : rows.back().nLine;
  const int nAnchorRow = bCaretOnFirst ? rows.back().nLine : rows.front().nLine;
  const int x = GetXFromPos(nCaretRow, bCaretOnFirst ? nFirstAt : nLastAt, FALSE);
  nVirtualSpace = 0;
  const DWORD nAnchor = GetPosFromX(nAnchorRow, x, TRUE);
  nVirtualSpace = 0;
  block.Reset(nAnchor, nAnchorRow, FALSE);
  const DWORD nCaret = GetPosFromX(nCaretRow, x, TRUE);
  nVirtualSpace = 0;
  cli = nCaretRow;
  nCaretPos = static_cast<int>(nCaret);
  block.SetCaret(nCaret, nCaretRow);
  UpdateEditsAfterChange(REPAINT_TAG_ALL, 0, 0);
  return kColumnDone;
}
