// Paragraph bookmarks: ten named ones in slots 0 to 9 and the ordinary ones
// from slot 10 on, kept compact and in paragraph order. The re-layout moves
// their paragraphs with edits and frees those whose paragraph went.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "mirel/cmireldoc.h"
#include "mirel/cmirelview.h"
#include "mirel/cmrbookmark.h"
#include "mirel/mirel.h"

namespace {

BOOL IsOrdinary(const CMrBookmark& b) {
  return b.chKind == MIREL_BOOKMARK_ORDINARY;
}

// The paragraph of the caret's row, or -1 without text.
int CaretParagraph(const CMirelDoc& doc) {
  if (doc.pLines == nullptr || doc.nLineCount <= 0) return -1;
  const int nRow = std::clamp(doc.cli, 0, doc.nLineCount - 1);
  return static_cast<int>(doc.pLines[nRow].nPara);
}

}  // namespace

// ---------------------------------------------------------------------------
// Toggle and clear

void CMirelDoc::ToggleBookmark(int nAtCaret, int nPara, const char* pszName) {
  if (pContents == nullptr || pLines == nullptr || nLineCount <= 0) return;
  int nSlot = 0;
  if (pszName != nullptr && !MrParseBookmarkName(pszName, &nSlot)) return;
  // The caret's paragraph is a text-view notion (the hex view's rows are not paragraphs).
  if (nAtCaret == 1 && nViewType != MIREL_VIEW_TYPE_TEXT) return;
  const int nTarget = nAtCaret == 1 ? CaretParagraph(*this) : nPara;
  // Only paragraphs of the text can carry a bookmark.
  if (nTarget < 0 || static_cast<DWORD>(nTarget) > pLines[nLineCount - 1].nPara) return;
  if (pBookmark == nullptr) {
    MIREL_ASSERT(pBookmark == NULL);
    pBookmark = static_cast<CMrBookmark*>(std::malloc(sizeof(CMrBookmark) * MIREL_BOOKMARK_INITIAL_SLOTS));
    if (pBookmark == nullptr) return;
    for (int i = 0; i < MIREL_BOOKMARK_INITIAL_SLOTS; ++i) pBookmark[i] = CMrBookmark();
    nBookmarkAlloc = MIREL_BOOKMARK_INITIAL_SLOTS;
    nBookmarkCount = 0;
  }

  if (pszName != nullptr) {
    // A paragraph carries one named bookmark at most.
    for (int j = 0; j < MIREL_NAMED_BOOKMARK_COUNT; ++j) {
      if (j != nSlot && !pBookmark[j].IsFree() && pBookmark[j].nPara == nTarget) return;
    }
    CMrBookmark& slot = pBookmark[nSlot];
    if (!slot.IsFree() && slot.nPara == nTarget) {
      slot = CMrBookmark();
    } else {
      slot = CMrBookmark(static_cast<BYTE>(nSlot), nTarget);
    }
    UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
    return;
  }

  // Ordinary: off where one marks the paragraph, else on in a free slot.
  std::vector<CMrBookmark> marks;
  BOOL bRemoved = FALSE;
  for (int i = MIREL_NAMED_BOOKMARK_COUNT; i < nBookmarkAlloc; ++i) {
    if (!IsOrdinary(pBookmark[i])) continue;
    if (pBookmark[i].nPara == nTarget && !bRemoved) {
      bRemoved = TRUE;
      continue;
    }
    marks.push_back(pBookmark[i]);
  }
  if (!bRemoved) {
    marks.push_back(CMrBookmark(MIREL_BOOKMARK_ORDINARY, nTarget));
    if (marks.size() > static_cast<size_t>(nBookmarkAlloc - MIREL_NAMED_BOOKMARK_COUNT)) {
      const int nNew = nBookmarkAlloc + MIREL_BOOKMARK_GROWTH;
      void* p = std::realloc(pBookmark, sizeof(CMrBookmark) * static_cast<size_t>(nNew));
      if (p == nullptr) return;
      pBookmark = static_cast<CMrBookmark*>(p);
      MIREL_ASSERT(pBookmark != NULL);
      for (int i = nBookmarkAlloc; i < nNew; ++i) pBookmark[i] = CMrBookmark();
      nBookmarkAlloc = nNew;
    }
  }
  // Compact and by paragraph, the free slots after the used ones.
  std::stable_sort(marks.begin(), marks.end(),
                   [](const CMrBookmark& a, const CMrBookmark& b) { return a.nPara < b.nPara; });
  for (int i = MIREL_NAMED_BOOKMARK_COUNT; i < nBookmarkAlloc; ++i) {
    const size_t k = static_cast<size_t>(i - MIREL_NAMED_BOOKMARK_COUNT);
    pBookmark[i] = k < marks.size() ? marks[k] : CMrBookmark();
  }
  nBookmarkCount = static_cast<int>(marks.size());
  UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}

void CMirelDoc::ClearBookmark() {
  if (pBookmark == nullptr) return;
  for (int i = MIREL_NAMED_BOOKMARK_COUNT; i < nBookmarkAlloc; ++i) pBookmark[i] = CMrBookmark();
  nBookmarkCount = 0;
  UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}

// ---------------------------------------------------------------------------
// Queries

int CMirelDoc::GetBookmarkCount() const {
  return pBookmark != nullptr ? std::max(nBookmarkCount, 0) : 0;
}

int CMirelDoc::GetNamedBookmarkCount() const {
  int n = 0;
  for (int i = 0; pBookmark != nullptr && i < std::min(nBookmarkAlloc, MIREL_NAMED_BOOKMARK_COUNT); ++i)
    if (!pBookmark[i].IsFree()) ++n;
  return n;
}

int CMirelDoc::GetBookmarks(CMrBookmark* pOut, int nMax) const {
  if (pOut == nullptr || pBookmark == nullptr) return 0;
  int n = 0;
  for (int i = MIREL_NAMED_BOOKMARK_COUNT; i < nBookmarkAlloc && n < nMax; ++i)
    if (IsOrdinary(pBookmark[i])) pOut[n++] = pBookmark[i];
  return n;
}

int CMirelDoc::GetNamedBookmarks(CMrBookmark* pOut, int nMax) const {
  if (pOut == nullptr || pBookmark == nullptr) return 0;
  int n = 0;
  for (int i = 0; i < std::min(nBookmarkAlloc, MIREL_NAMED_BOOKMARK_COUNT) && n < nMax; ++i)
    if (!pBookmark[i].IsFree()) pOut[n++] = pBookmark[i];
  return n;
}

// ---------------------------------------------------------------------------
// Jumps

namespace {

// Caret to the start of a paragraph's first row, the selection collapsed
// there; the old selection is repainted away.
void CaretToParagraph(CMirelDoc& doc, int nPara) {
  if (nPara < 0) return;
  const int nRow = doc.FindFirstRowOfParagraph(static_cast<DWORD>(nPara));
  if (nRow < 0) return;
  const BOOL bHadSelection = doc.block.HasSelection();
  const DWORD nOldStart = doc.block.GetStartPtr();
  const DWORD nOldEnd = doc.block.GetEndPtr();
  doc.block.LeaveColumnMode();
  doc.nVirtualSpace = 0;
  doc.nCaretPos = static_cast<int>(doc.pLines[nRow].nStart);
  doc.cli = nRow;
  doc.block.Reset(doc.pLines[nRow].nStart, nRow, FALSE);
  doc.UpdateActiveCaret(1, 1);
  if (bHadSelection) doc.UpdateAllViews(REPAINT_TAG_RANGE, nOldStart, nOldEnd);
}

}  // namespace

void CMirelDoc::GotoNamedBookmark(const char* pszName) {
  int nSlot = 0;
  if (pBookmark == nullptr || !MrParseBookmarkName(pszName, &nSlot) || nSlot >= nBookmarkAlloc) return;
  if (pBookmark[nSlot].IsFree() || nViewType != MIREL_VIEW_TYPE_TEXT) return;
  CaretToParagraph(*this, pBookmark[nSlot].nPara);
}

void CMirelDoc::MoveBookmark(BOOL bNext) {
  const int nHere = CaretParagraph(*this);
  if (pBookmark == nullptr || nHere < 0 || nViewType != MIREL_VIEW_TYPE_TEXT) return;
  // The nearest bookmark after (before) the caret's paragraph; the search
  // wraps to the first (last) one.
  int nFirst = -1;
  int nLast = -1;
  int nChosen = -1;
  for (int i = MIREL_NAMED_BOOKMARK_COUNT; i < nBookmarkAlloc; ++i) {
    if (!IsOrdinary(pBookmark[i])) continue;
    const int nPara = pBookmark[i].nPara;
    if (nFirst < 0 || nPara < nFirst) nFirst = nPara;
    if (nLast < 0 || nPara > nLast) nLast = nPara;
    if (bNext && nPara > nHere && (nChosen < 0 || nPara < nChosen)) nChosen = nPara;
    if (!bNext && nPara < nHere && (nChosen < 0 || nPara > nChosen)) nChosen = nPara;
  }
  if (nFirst < 0) return;
  if (nChosen < 0) nChosen = bNext ? nFirst : nLast;
  CaretToParagraph(*this, nChosen);
}
