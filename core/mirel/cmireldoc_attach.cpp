// Putting a pair of host strings around the selection, or adding them to and
// removing them from every paragraph of the selection.
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/mrhostansi.h"

namespace {

struct AttachStrings {
  std::vector<BYTE> start;
  std::vector<BYTE> end;
};

// Both strings in the document encoding; FALSE when the command has nothing
// to do (no text, hex view, a string that cannot be converted, or both
// sides empty).
BOOL PrepareStrings(CMirelDoc& doc, const char* pszStart, int nStartLen, const char* pszEnd, int nEndLen,
                    AttachStrings* pOut) {
  if (doc.pContents == nullptr || doc.pLines == nullptr || doc.nLineCount <= 0) return FALSE;
  if (doc.nViewType == MIREL_VIEW_TYPE_HEX) {
    MessageBeep(MB_OK);
    return FALSE;
  }
  if (!MrAnsiToDocument(doc, pszStart, nStartLen, &pOut->start)) return FALSE;
  if (!MrAnsiToDocument(doc, pszEnd, nEndLen, &pOut->end)) return FALSE;
  return !pOut->start.empty() || !pOut->end.empty();
}

// TRUE when the text may grow by nGrowth bytes.
BOOL RoomFor(CMirelDoc& doc, unsigned long long nGrowth) {
  return nGrowth <=
         MIREL_MAX_BODY_BYTES - std::min<unsigned long long>(doc.GetContentsSize(), MIREL_MAX_BODY_BYTES);
}

// The paragraphs of the selection's rows, or of the caret row.
void SelectedParagraphs(CMirelDoc& doc, int* pnFirst, int* pnLast) {
  auto paraOf = [&doc](int nLine) {
    nLine = std::max(0, std::min(nLine, doc.nLineCount - 1));
    return static_cast<int>(doc.pLines[nLine].nPara);
  };
  if (doc.block.IsBlockSelected()) {
    *pnFirst = paraOf(doc.block.GetStartLine());
    *pnLast = paraOf(doc.block.GetEndLine());
  } else {
    *pnFirst = *pnLast = paraOf(doc.cli);
  }
}

// Collapses nothing: anchor and caret as given, caret and row kept in step.
void SelectRange(CMirelDoc& doc, DWORD nAnchor, DWORD nCaret) {
  doc.nVirtualSpace = 0;
  doc.block.Reset(nAnchor, doc.GetLineFromPos(nAnchor), FALSE);
  doc.cli = doc.GetLineFromPos(nCaret);
  if (nCaret != nAnchor) doc.block.SetCaret(nCaret, doc.cli);
  doc.nCaretPos = static_cast<int>(nCaret);
}

// Opens and closes one undo step around edits when bUndo is set.
class CUndoStep {
 public:
  CUndoStep(CMirelDoc& doc, BOOL bUndo) : m_doc(doc), m_bUndo(bUndo) {
    if (!m_bUndo) return;
    m_doc.SeparateUndo();
    m_doc.StartUndoGroup();
  }
  ~CUndoStep() {
    if (!m_bUndo) return;
    m_doc.EndUndoGroup();
    m_doc.SeparateUndo();
  }
  CUndoStep(const CUndoStep&) = delete;
  CUndoStep& operator=(const CUndoStep&) = delete;

 private:
  CMirelDoc& m_doc;
  BOOL m_bUndo;
};

BOOL InsertBytes(CMirelDoc& doc, DWORD nPos, const std::vector<BYTE>& bytes, BOOL bUndo) {
  return bytes.empty() || doc.InsertContents(nPos, bytes.data(), static_cast<DWORD>(bytes.size()), bUndo);
}

// TRUE when nPos is the start of a character (or the end) of [nFrom, nTo).
BOOL IsCharBoundary(CMirelDoc& doc, const MrDocText& text, DWORD nFrom, DWORD nTo, DWORD nPos) {
  DWORD p = nFrom;
  while (p < nPos && p < nTo) {
    const DWORD n = doc.GetCharLength(text.p, p, nTo, doc.nFileEncoding, doc.nCodePage);
    p += n > 0 ? n : 1;
  }
  return p == nPos;
}

}  // namespace

int CMirelDoc::AttachA(const char* pszStart, int nStartLen, const char* pszEnd, int nEndLen, BOOL bUndo) {
  AttachStrings s;
  if (!PrepareStrings(*this, pszStart, nStartLen, pszEnd, nEndLen, &s)) return 0;
  const DWORD nLimit = GetContentsSize();
  const BOOL bWide = IsWideEncoding(nFileEncoding);
  DWORD nStart = std::min(
      block.IsBlockSelected() ? block.GetStartPtr() : static_cast<DWORD>(std::max(nCaretPos, 0)), nLimit);
  DWORD nEnd = std::min(block.IsBlockSelected() ? block.GetEndPtr() : nStart, nLimit);
  if (bWide) {
    nStart &= ~1u;
    nEnd = std::min(nEnd + (nEnd & 1), nLimit);
  }
  const BOOL bCaretAtEnd = !block.IsBlockSelected() || block.nCaret >= block.nAnchor;
  const DWORD nStartLenDoc = static_cast<DWORD>(s.start.size());
  if (!RoomFor(*this, static_cast<unsigned long long>(s.start.size()) + s.end.size())) return 0;
  {
    CUndoStep step(*this, bUndo);
    if (!InsertBytes(*this, nStart, s.start, bUndo)) return 0;
    InsertBytes(*this, nEnd + nStartLenDoc, s.end, bUndo);
  }
  // The text that was selected stays selected between the two strings.
  const DWORD nNewStart = nStart + nStartLenDoc;
  const DWORD nNewEnd = nEnd + nStartLenDoc;
  if (bCaretAtEnd) {
    SelectRange(*this, nNewStart, nNewEnd);
  } else {
    SelectRange(*this, nNewEnd, nNewStart);
  }
  UpdateEditsAfterChange(REPAINT_TAG_FROM, GetParagraphStart(nStart), 0);
  return 1;
}

int CMirelDoc::AttachOnParagraphA(const char* pszStart, int nStartLen, const char* pszEnd, int nEndLen,
                                  BOOL bUndo) {
  AttachStrings s;
  if (!PrepareStrings(*this, pszStart, nStartLen, pszEnd, nEndLen, &s)) return 0;
  int nFirst = 0, nLast = 0;
  SelectedParagraphs(*this, &nFirst, &nLast);
  int nFirstStart = 0, nFirstEnd = 0, nLastStart = 0, nLastEnd = 0;
  if (!GetParagraph(nFirst, &nFirstStart, &nFirstEnd) || !GetParagraph(nLast, &nLastStart, &nLastEnd))
    return 0;
  const unsigned long long nEach = s.start.size() + s.end.size();
  const unsigned long long nGrowth = nEach * static_cast<unsigned long long>(nLast - nFirst + 1);
  if (!RoomFor(*this, nGrowth)) return 0;
  {
    CUndoStep step(*this, bUndo);
    // From the last paragraph back: strings holding line ends add paragraphs
    // only after the ones still to do, so their numbers stay valid.
    for (int p = nLast; p >= nFirst; --p) {
      int nStart = 0, nEnd = 0;
      if (!GetParagraph(p, &nStart, &nEnd)) continue;
      InsertBytes(*this, static_cast<DWORD>(nStart), s.start, bUndo);
      InsertBytes(*this, static_cast<DWORD>(nEnd) + static_cast<DWORD>(s.start.size()), s.end, bUndo);
    }
  }
  SelectRange(*this, static_cast<DWORD>(nFirstStart), static_cast<DWORD>(nLastEnd + nGrowth));
  UpdateEditsAfterChange(REPAINT_TAG_FROM, static_cast<DWORD>(nFirstStart), 0);
  return 1;
}

int CMirelDoc::DetachOnParagraphA(const char* pszStart, int nStartLen, const char* pszEnd, int nEndLen,
                                  BOOL bUndo) {
  AttachStrings s;
  if (!PrepareStrings(*this, pszStart, nStartLen, pszEnd, nEndLen, &s)) return 0;
  int nFirst = 0, nLast = 0;
  SelectedParagraphs(*this, &nFirst, &nLast);
  int nFirstStart = 0, nFirstEnd = 0, nLastStart = 0, nLastEnd = 0;
  if (!GetParagraph(nFirst, &nFirstStart, &nFirstEnd) || !GetParagraph(nLast, &nLastStart, &nLastEnd))
    return 0;

  // What goes, found first so that nothing is recorded when nothing matches:
  // a string counts only where it stands as whole characters.
  const MrDocText text = MrGetDocText(*this);
  std::vector<std::pair<DWORD, DWORD>> cuts;  // descending positions
  DWORD nRemoved = 0;
  for (int p = nLast; p >= nFirst; --p) {
    int nStart = 0, nEnd = 0;
    if (!GetParagraph(p, &nStart, &nEnd) || nEnd < nStart || static_cast<DWORD>(nEnd) > text.nLen) continue;
    DWORD ps = static_cast<DWORD>(nStart), pe = static_cast<DWORD>(nEnd);
    const DWORD nParaStart = ps;
    BOOL bCutStart = FALSE;
    const DWORD sl = static_cast<DWORD>(s.start.size()), el = static_cast<DWORD>(s.end.size());
    if (sl > 0 && pe - ps >= sl && std::memcmp(text.p + ps, s.start.data(), sl) == 0 &&
        IsCharBoundary(*this, text, ps, pe, ps + sl)) {
      bCutStart = TRUE;
      ps += sl;
    }
    if (el > 0 && pe - ps >= el && std::memcmp(text.p + pe - el, s.end.data(), el) == 0 &&
        IsCharBoundary(*this, text, ps, pe, pe - el)) {
      cuts.push_back({pe - el, el});
      nRemoved += el;
    }
    if (bCutStart) {
      cuts.push_back({nParaStart, sl});
      nRemoved += sl;
    }
  }
  if (cuts.empty()) return 0;
  {
    CUndoStep step(*this, bUndo);
    for (const auto& cut : cuts) DeleteContents(cut.first, cut.second, bUndo);
  }
  SelectRange(*this, static_cast<DWORD>(nFirstStart), static_cast<DWORD>(nLastEnd) - nRemoved);
  UpdateEditsAfterChange(REPAINT_TAG_FROM, static_cast<DWORD>(nFirstStart), 0);
  return 1;
}
