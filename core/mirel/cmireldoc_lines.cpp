// One-call line commands of the text view: delete, duplicate, open, join,
// transpose and trim lines, and insert a page break or the date.
//
// Each command is one undo step (nothing is recorded when it changes
// nothing), leaves the caret on a row that holds it and refreshes the edit
// windows. Blanks and line ends are recognised on whole units only.
#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_editstep.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"
#include "mirel/mrtimeformat.h"
#include "mirel/mrtryalloc.h"

namespace {

using Bytes = std::vector<BYTE>;

BOOL IsTextView(const CMirelDoc& doc) {
  return doc.nViewType == MIREL_VIEW_TYPE_TEXT && doc.pContents != nullptr && doc.pLines != nullptr &&
         doc.nLineCount > 0;
}

BOOL AppendUnit(BOOL bWide, UINT ch, Bytes* pOut) {
  BYTE ab[2];
  const int n = MrPutUnit(ab, bWide, ch);
  return MrTryAppend(*pOut, ab, ab + n);
}

// The document's line end in its encoding.
void AppendLineEnd(const CMirelDoc& doc, Bytes* pOut) {
  const BOOL bWide = IsWideEncoding(doc.nFileEncoding);
  if (doc.nFileFormat != MIREL_FILE_FORMAT_LF) AppendUnit(bWide, MR_CHAR_CR, pOut);
  if (doc.nFileFormat != MIREL_FILE_FORMAT_CR) AppendUnit(bWide, MR_CHAR_LF, pOut);
}

// Inserts the spaces of the caret's virtual space at the caret and moves the
// caret past them.
DWORD PadVirtualSpace(CMirelDoc& doc, CMrEditStep& step, DWORD nCaret) {
  if (doc.nVirtualSpace <= 0) return nCaret;
  Bytes spaces(static_cast<size_t>(std::max(doc.MakeSpaces(doc.nVirtualSpace, nullptr, 0), 0)));
  doc.MakeSpaces(doc.nVirtualSpace, spaces.data(), static_cast<int>(spaces.size()));
  doc.nVirtualSpace = 0;
  if (!step.Insert(nCaret, spaces.data(), static_cast<DWORD>(spaces.size()))) return nCaret;
  return nCaret + static_cast<DWORD>(spaces.size());
}

// Inserts bytes at the caret, replacing the selection (a column block is
// deleted first); returns the position after them, or the edit position
// when the store refused. *pnEdit receives where the text went.
DWORD ReplaceSelectionWith(CMirelDoc& doc, CMrEditStep& step, const Bytes& data, DWORD* pnEdit) {
  DWORD nStart = 0;
  DWORD nEnd = 0;
  if (MrStreamSelection(doc, &nStart, &nEnd)) {
    doc.nVirtualSpace = 0;
    *pnEdit = nStart;
    return step.Replace(nStart, nEnd - nStart, data.data(), static_cast<DWORD>(data.size()))
               ? nStart + static_cast<DWORD>(data.size())
               : nStart;
  }
  if (doc.block.IsColumnBlock()) {
    step.Open();
    step.Note(doc.DeleteBlock());
  }
  DWORD nPos = PadVirtualSpace(doc, step, MrCaretInText(doc));
  *pnEdit = nPos;
  if (step.Insert(nPos, data.data(), static_cast<DWORD>(data.size())))
    nPos += static_cast<DWORD>(data.size());
  return nPos;
}

// ANSI text of the code page (0: the system's) in the document encoding.
BOOL AnsiToDocument(const CMirelDoc& doc, const char* psz, int nLen, Bytes* pOut) {
  if (nLen <= 0) return FALSE;
  if (doc.nFileEncoding == MIREL_ENCODING_ANSI) {
    pOut->clear();
    return MrTryAppend(*pOut, psz, psz + nLen);
  }
  const UINT nCodePage = doc.nCodePage > 0 ? static_cast<UINT>(doc.nCodePage) : CP_ACP;
  const int nWide = MultiByteToWideChar(nCodePage, 0, psz, nLen, nullptr, 0);
  if (nWide <= 0) return FALSE;
  std::vector<WCHAR> wide;
  if (!MrTryResize(wide, static_cast<size_t>(nWide))) return FALSE;
  if (MultiByteToWideChar(nCodePage, 0, psz, nLen, wide.data(), nWide) != nWide) return FALSE;
  if (IsWideEncoding(doc.nFileEncoding)) {
    if (!MrTryReserve(*pOut, pOut->size() + 2 * static_cast<size_t>(nWide))) return FALSE;
    for (WCHAR w : wide) AppendUnit(TRUE, w, pOut);  // within the room taken
    return TRUE;
  }
  const int nUtf8 = WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, nullptr, 0, nullptr, nullptr);
  if (nUtf8 <= 0) return FALSE;
  if (!MrTryResize(*pOut, static_cast<size_t>(nUtf8))) return FALSE;
  return WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, reinterpret_cast<char*>(pOut->data()), nUtf8,
                             nullptr, nullptr) == nUtf8;
}

}  // namespace

// ---------------------------------------------------------------------------
// Delete, duplicate and open lines

void CMirelDoc::DeleteLine() {
  if (!IsTextView(*this)) return;
  const DWORD nCaret = MrCaretInText(*this);
  const DWORD nStart = GetParagraphStart(nCaret);
  const DWORD nEnd = GetParagraphEndWithNewline(nCaret);
  if (nEnd <= nStart) return;
  CMrEditStep step(*this, TRUE, FALSE);
  if (!step.Delete(nStart, nEnd - nStart)) return;
  step.Close();
  nVirtualSpace = 0;
  MrCollapseAt(*this, nStart);
  UpdateEditsAfterChange(REPAINT_TAG_ALL, 0, 0);
}

void CMirelDoc::DuplicateLine() {
  if (!IsTextView(*this)) return;
  const MrDocText text = MrGetDocText(*this);
  int nStart = 0;
  int nEnd = 0;
  if (!GetParagraph(GetParagraphFromPos(MrCaretInText(*this)), &nStart, &nEnd) || nEnd < nStart) return;
  Bytes copy;
  AppendLineEnd(*this, &copy);
  const DWORD nBreak = static_cast<DWORD>(copy.size());
  if (!MrTryAppend(copy, text.p + nStart, text.p + nEnd)) return;
  CMrEditStep step(*this, TRUE, FALSE);
  if (!step.Insert(static_cast<DWORD>(nEnd), copy.data(), static_cast<DWORD>(copy.size()))) return;
  step.Close();
  nVirtualSpace = 0;
  block.LeaveColumnMode();
  MrCollapseAt(*this, static_cast<DWORD>(nEnd) + nBreak);
  UpdateEditsAfterChange(REPAINT_TAG_ALL, 0, 0);
}

void CMirelDoc::InsertLine() {
  if (!IsTextView(*this)) return;
  // As End then Return: a line break at the end of the caret's row, the new
  // line indented as Return indents it. The selection and the caret's
  // virtual space give way; overwrite, auto-select and column modes play no
  // part and stay as they were.
  CMrEditStep step(*this);
  const DWORD nPadded = PadVirtualSpace(*this, step, MrCaretInText(*this));
  const BOOL bOnCli =
      cli >= 0 && cli < nLineCount && pLines[cli].nStart <= nPadded && nPadded <= MrRowEnd(pLines[cli]);
  const int nRow = bOnCli ? cli : GetLineFromPos(nPadded);
  const DWORD nCaret = std::max(nPadded, std::min(MrRowEnd(pLines[nRow]), GetContentsSize()));
  Bytes lineEnd;
  AppendLineEnd(*this, &lineEnd);
  if (step.Insert(nCaret, lineEnd.data(), static_cast<DWORD>(lineEnd.size()))) {
    MrCollapseAt(*this, nCaret + static_cast<DWORD>(lineEnd.size()));
    if (bAutoIndentation) ApplySyntaxUnindent(static_cast<char>(MR_CHAR_CR));
  }
  step.Close();
  if (!step.Changed()) return;
  MrCollapseAt(*this, MrCaretInText(*this));
  UpdateEditsAfterChange(REPAINT_TAG_ALL, 0, 0);
}

// ---------------------------------------------------------------------------
// Join and transpose

void CMirelDoc::JoinLines() {
  if (!IsTextView(*this) || !block.HasSelection()) return;
  const MrDocText text0 = MrGetDocText(*this);
  const DWORD nSelStart = std::min(block.GetStartPtr(), text0.nLen);
  const DWORD nSelEnd = std::min(block.GetEndPtr(), text0.nLen);
  const int nFirstRow = GetLineFromPos(nSelStart);
  const int nLastRow = GetLineFromPos(nSelEnd);
  if (nFirstRow == nLastRow) return;
  const int nFirst = static_cast<int>(pLines[nFirstRow].nPara);
  const int nLast = static_cast<int>(pLines[nLastRow].nPara);
  if (nLast <= nFirst) return;
  const DWORD nJoined = GetParagraphStart(nSelStart);
  int nLastEnd = 0;
  if (!GetParagraph(nLast, nullptr, &nLastEnd) || static_cast<DWORD>(nLastEnd) <= nJoined) return;
  // The paragraphs with a space for each line end between them, put in with
  // one replace (joining one line end at a time would lay the growing
  // paragraph out again for every line).
  const DWORD nUnit = text0.bWide ? 2 : 1;
  // Never longer than the paragraphs: the loop stays within the room taken.
  Bytes joined;
  if (!MrTryReserve(joined, static_cast<DWORD>(nLastEnd) - nJoined)) return;
  for (DWORD n = nJoined; n < static_cast<DWORD>(nLastEnd);) {
    const DWORD nBreak = text0.LineEndLength(n);
    if (nBreak == 0) {
      joined.insert(joined.end(), text0.p + n, text0.p + n + nUnit);
      n += nUnit;
    } else {
      AppendUnit(text0.bWide, MR_CHAR_SPACE, &joined);
      n += nBreak;
    }
  }
  CMrEditStep step(*this);
  step.Replace(nJoined, static_cast<DWORD>(nLastEnd) - nJoined, joined.data(),
               static_cast<DWORD>(joined.size()));
  step.Close();
  nVirtualSpace = 0;
  MrSelectRange(*this, nJoined, GetParagraphEnd(nJoined));
  UpdateEditsAfterChange(REPAINT_TAG_FROM, nJoined, 0);
}

void CMirelDoc::TransposeLine() {
  if (nViewType != MIREL_VIEW_TYPE_TEXT || nWrapMode != MIREL_WRAP_NONE) {
    MessageBeep(MB_ICONHAND);
    return;
  }
  if (!IsTextView(*this) || nLineCount < 2) return;
  const MrDocText text = MrGetDocText(*this);
  const DWORD nCaret = MrCaretInText(*this);
  int nCaretRow = GetLineFromPos(nCaret);
  if (cli >= 0 && cli < nLineCount && pLines[cli].nStart <= nCaret && nCaret <= MrRowEnd(pLines[cli]))
    nCaretRow = cli;
  const int a = std::min(nCaretRow, nLineCount - 2);
  const BOOL bCaretOnUpper = nCaretRow == a;
  const DWORD nUpper = pLines[a].nStart;
  const DWORD nUpperEnd = std::min(MrRowEnd(pLines[a]), text.nLen);
  const DWORD nLower = pLines[a + 1].nStart;
  const DWORD nLowerEnd = std::min(MrRowEnd(pLines[a + 1]), text.nLen);
  if (nUpperEnd > nLower || nLower > nLowerEnd) return;
  Bytes swapped;
  if (!MrTryReserve(swapped, nLowerEnd - nUpper)) return;
  swapped.insert(swapped.end(), text.p + nLower, text.p + nLowerEnd);
  swapped.insert(swapped.end(), text.p + nUpperEnd, text.p + nLower);
  swapped.insert(swapped.end(), text.p + nUpper, text.p + nUpperEnd);
  // The caret keeps its offset in its own line, which moves with it.
  const DWORD nOffset = bCaretOnUpper ? std::min(nCaret - nUpper, nUpperEnd - nUpper)
                                      : std::min(nCaret - nLower, nLowerEnd - nLower);
  const DWORD nNewCaret =
      bCaretOnUpper ? nUpper + (nLowerEnd - nLower) + (nLower - nUpperEnd) + nOffset : nUpper + nOffset;
  CMrEditStep step(*this, TRUE, FALSE);
  if (!step.Replace(nUpper, nLowerEnd - nUpper, swapped.data(), static_cast<DWORD>(swapped.size()))) return;
  step.Close();
  nVirtualSpace = 0;
  MrCollapseAt(*this, nNewCaret);
  UpdateEditsAfterChange(REPAINT_TAG_RANGE, nUpper, nLowerEnd);
}

// ---------------------------------------------------------------------------
// Trailing blanks

void CMirelDoc::TrimTrailingWhiteSpace() {
  if (nViewType != MIREL_VIEW_TYPE_TEXT) {
    MessageBeep(MB_ICONHAND);
    return;
  }
  if (!IsTextView(*this)) return;
  const MrDocText text0 = MrGetDocText(*this);
  int nFirst = 0;
  int nLast = 0;
  if (block.HasSelection()) {
    nFirst = GetParagraphFromPos(std::min(block.GetStartPtr(), text0.nLen));
    nLast = GetParagraphFromPos(std::min(block.GetEndPtr(), text0.nLen));
  } else {
    nFirst = nLast = GetParagraphFromPos(MrCaretInText(*this));
  }
  int nFrom = 0;
  GetParagraph(nFirst, &nFrom, nullptr);
  CMrEditStep step(*this);
  for (int nPara = nFirst; nPara <= nLast; ++nPara) {
    int nStart = 0;
    int nEnd = 0;
    if (!GetParagraph(nPara, &nStart, &nEnd)) break;
    const MrDocText text = MrGetDocText(*this);
    const DWORD nUnit = text.bWide ? 2 : 1;
    DWORD nRun = static_cast<DWORD>(nStart);
    for (DWORD n = static_cast<DWORD>(nStart); n < static_cast<DWORD>(nEnd);) {
      const DWORD nLen = std::max<DWORD>(GetCharLength(text.p, n, text.nLen, nFileEncoding, nCodePage), 1);
      const BOOL bBlank = nLen == nUnit && (text.UnitIs(n, MR_CHAR_SPACE) || text.UnitIs(n, MR_CHAR_TAB) ||
                                            text.UnitIs(n, MR_CHAR_NUL));
      n += nLen;
      if (!bBlank) nRun = n;
    }
    if (nRun < static_cast<DWORD>(nEnd)) step.Delete(nRun, static_cast<DWORD>(nEnd) - nRun);
  }
  step.Close();
  if (!step.Changed()) return;
  int nLastEnd = 0;
  GetParagraph(nLast, nullptr, &nLastEnd);
  nVirtualSpace = 0;
  MrSelectRange(*this, static_cast<DWORD>(nFrom), static_cast<DWORD>(std::max(nLastEnd, nFrom)));
  UpdateEditsAfterChange(REPAINT_TAG_FROM, static_cast<DWORD>(nFrom), 0);
}

// ---------------------------------------------------------------------------
// Page break and date

void CMirelDoc::InsertPageBreak() {
  if (!IsTextView(*this) || chPageBreak == 0) return;
  Bytes unit;
  AppendUnit(IsWideEncoding(nFileEncoding), chPageBreak, &unit);
  CMrEditStep step(*this);
  DWORD nEdit = 0;
  const DWORD nAfter = ReplaceSelectionWith(*this, step, unit, &nEdit);
  step.Close();
  if (!step.Changed()) return;
  MrCollapseAt(*this, nAfter);
  UpdateEditsAfterChange(REPAINT_TAG_ALL, 0, 0);
}

void CMirelDoc::InsertDate(const char* pszFormat) {
  if (!IsTextView(*this) || pszFormat == nullptr) return;
  SYSTEMTIME st{};
  GetLocalTime(&st);
  char buf[256];
  const size_t n = MrFormatTime(buf, sizeof buf, pszFormat, st);
  if (n == 0) return;
  Bytes data;
  if (!AnsiToDocument(*this, buf, static_cast<int>(n), &data) || data.empty()) return;
  CMrEditStep step(*this);
  DWORD nEdit = 0;
  const DWORD nAfter = ReplaceSelectionWith(*this, step, data, &nEdit);
  step.Close();
  if (!step.Changed()) return;
  MrCollapseAt(*this, nAfter);
  UpdateEditsAfterChange(REPAINT_TAG_FROM, GetParagraphStart(nEdit), 0);
}
