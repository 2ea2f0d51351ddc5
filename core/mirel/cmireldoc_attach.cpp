// Putting a pair of host strings around the selection, or adding them to and
// removing them from every paragraph of the selection.
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_editstep.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/mrhostansi.h"
#include "mirel/mrtryalloc.h"

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

// Collapses nothing: anchor and caret as given (an end inside a character
// the edit formed takes it whole), caret and row kept in step.
void SelectRange(CMirelDoc& doc, DWORD nAnchor, DWORD nCaret) {
  const BOOL bForward = nAnchor < nCaret;
  nAnchor = MrCaretOffCharMiddle(doc, nAnchor, !bForward && nAnchor != nCaret);
  nCaret = MrCaretOffCharMiddle(doc, nCaret, bForward);
  doc.nVirtualSpace = 0;
  doc.block.Reset(nAnchor, doc.GetLineFromPos(nAnchor), FALSE);
  doc.cli = doc.GetLineFromPos(nCaret);
  if (nCaret != nAnchor) doc.block.SetCaret(nCaret, doc.cli);
  doc.nCaretPos = static_cast<int>(nCaret);
}

// The edits of one command, one undo step when bUndo is set, made whole or
// not at all: an edit that fails part way (out of memory) takes back the
// ones made before it, so the text, the history and the modified flag stay
// as they were. Unrecorded edits forget the history only once the command
// has gone through.
class CAttachEdits {
 public:
  CAttachEdits(CMirelDoc& doc, BOOL bUndo) : m_doc(doc), m_notify(doc), m_keep(doc), m_bUndo(bUndo) {
    if (!m_bUndo) return;
    m_doc.SeparateUndo();
    m_doc.StartUndoGroup();
  }
  ~CAttachEdits() { Finish(); }
  CAttachEdits(const CAttachEdits&) = delete;
  CAttachEdits& operator=(const CAttachEdits&) = delete;

  BOOL Insert(DWORD nPos, const std::vector<BYTE>& bytes) {
    if (m_bFailed || bytes.empty()) return !m_bFailed;
    if (!Note(m_doc.InsertContents(nPos, bytes.data(), static_cast<DWORD>(bytes.size()), m_bUndo)))
      return FALSE;
    m_done.push_back({nPos, static_cast<DWORD>(bytes.size()), {}});
    return TRUE;
  }
  BOOL Delete(DWORD nPos, DWORD nLen, const BYTE* pOld) {
    if (m_bFailed || nLen == 0) return !m_bFailed;
    Change c{nPos, 0, {}};
    // What an unrecorded deletion removes is kept to put it back.
    if (!m_bUndo && !MrTryAppend(c.removed, pOld, pOld + nLen)) return Note(FALSE);
    if (!Note(m_doc.DeleteContents(nPos, nLen, m_bUndo))) return FALSE;
    m_done.push_back(std::move(c));
    return TRUE;
  }
  // Closes the step. TRUE when the command went through.
  BOOL Finish() {
    if (m_bFinished) return !m_bFailed;
    m_bFinished = TRUE;
    if (m_bUndo) {
      m_doc.EndUndoGroup();
      m_doc.SeparateUndo();
    }
    if (m_done.empty()) return !m_bFailed;
    if (!m_bFailed) {
      if (!m_bUndo) m_doc.undo.ForgetRecords();
      return TRUE;
    }
    if (m_bUndo) {
      MrTakeBackFailedGroup(m_doc);
    } else {
      for (auto it = m_done.rbegin(); it != m_done.rend(); ++it) {
        if (it->nInserted > 0) {
          m_doc.DeleteContents(it->nPos, it->nInserted, FALSE);
        } else {
          m_doc.InsertContents(it->nPos, it->removed.data(), static_cast<DWORD>(it->removed.size()), FALSE);
        }
      }
    }
    m_doc.UpdateEditsAfterChange(REPAINT_TAG_ALL, 0, 0);
    return FALSE;
  }

 private:
  struct Change {
    DWORD nPos;
    DWORD nInserted;            // an insertion: its length
    std::vector<BYTE> removed;  // an unrecorded deletion: the bytes it took
  };
  BOOL Note(BOOL bDone) {
    if (!bDone) m_bFailed = TRUE;
    return bDone;
  }

  CMirelDoc& m_doc;
  CMrModifiedNotifyHold m_notify;  // the host hears of a change once, and of a taken-back one never
  CMrKeepUndoHistory m_keep;
  BOOL m_bUndo;
  BOOL m_bFailed = FALSE;
  BOOL m_bFinished = FALSE;
  std::vector<Change> m_done;
};

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
  if (!pContents->Reserve(static_cast<DWORD>(s.start.size() + s.end.size()))) return 0;
  {
    CAttachEdits edits(*this, bUndo);
    edits.Insert(nStart, s.start);
    edits.Insert(nEnd + nStartLenDoc, s.end);
    if (!edits.Finish()) return 0;
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
  if (!pContents->Reserve(static_cast<DWORD>(nGrowth))) return 0;
  {
    CAttachEdits edits(*this, bUndo);
    // From the last paragraph back: strings holding line ends add paragraphs
    // only after the ones still to do, so their numbers stay valid.
    for (int p = nLast; p >= nFirst; --p) {
      int nStart = 0, nEnd = 0;
      if (!GetParagraph(p, &nStart, &nEnd)) continue;
      if (!edits.Insert(static_cast<DWORD>(nStart), s.start) ||
          !edits.Insert(static_cast<DWORD>(nEnd) + static_cast<DWORD>(s.start.size()), s.end))
        break;
    }
    if (!edits.Finish()) return 0;
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
  if (cuts.empty()) {
    // Nothing to take off: the paragraphs are still selected.
    SelectRange(*this, static_cast<DWORD>(nFirstStart), static_cast<DWORD>(nLastEnd));
    UpdateEditsAfterChange(REPAINT_TAG_FROM, static_cast<DWORD>(nFirstStart), 0);
    return 0;
  }
  {
    CAttachEdits edits(*this, bUndo);
    for (const auto& cut : cuts) {
      if (!edits.Delete(cut.first, cut.second, MrGetDocText(*this).p + cut.first)) break;
    }
    if (!edits.Finish()) return 0;
  }
  SelectRange(*this, static_cast<DWORD>(nFirstStart), static_cast<DWORD>(nLastEnd) - nRemoved);
  UpdateEditsAfterChange(REPAINT_TAG_FROM, static_cast<DWORD>(nFirstStart), 0);
  return 1;
}
