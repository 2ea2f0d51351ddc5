// Slots of the range lists: growth, clearing and the lazy rescan.
#include "mirel/metablock/cmrmetablock.h"

#include <new>

#include "mirel/cmireldoc.h"
#include "mirel/cmrwaitcursor.h"
#include "mirel/mirel.h"
#include "mirel/mrtryalloc.h"

CMrMetaBlock::CMrMetaBlock() {
  Reset(TRUE);
}

CMrMetaBlock::~CMrMetaBlock() = default;

void CMrMetaBlock::Reset(BOOL bAlloc) {
  m_slots.clear();
  m_slots.shrink_to_fit();
  if (!bAlloc) return;
  m_slots.resize(MIREL_META_SLOT_STEP);
  for (MIREL_META_SLOT& slot : m_slots) slot.ranges.assign(MIREL_META_RANGE_STEP, MIREL_META_RANGE{0, 0});
}

const MIREL_META_SLOT* CMrMetaBlock::GetSlot(int nPara) const {
  if (nPara < 0 || nPara >= GetSlotCount()) return nullptr;
  return &m_slots[static_cast<size_t>(nPara)];
}

const MIREL_META_RANGE* CMrMetaBlock::FindRange(int nPara, int nOffset) const {
  const MIREL_META_SLOT* pSlot = GetSlot(nPara);
  if (pSlot == nullptr) return nullptr;
  for (const MIREL_META_RANGE& range : pSlot->ranges) {
    if (range.nStart == 0 && range.nEnd == 0) break;
    if (range.nStart <= nOffset && nOffset <= range.nEnd) return &range;
  }
  return nullptr;
}

void CMrMetaBlock::ClearFrom(int nPara) {
  if (nPara < 0) nPara = 0;
  for (size_t i = static_cast<size_t>(nPara); i < m_slots.size(); ++i) {
    m_slots[i].bScanned = FALSE;
    m_slots[i].nUsed = 0;
    for (MIREL_META_RANGE& range : m_slots[i].ranges) range = MIREL_META_RANGE{0, 0};
  }
}

void CMrMetaBlock::GrowTo(int nPara) {
  if (nPara < GetSlotCount()) return;
  CMrWaitCursor wait;
  const size_t nOld = m_slots.size();
  const size_t nNew =
      (static_cast<size_t>(nPara) + MIREL_META_SLOT_STEP) / MIREL_META_SLOT_STEP * MIREL_META_SLOT_STEP;
  // Only highlights live here: without the memory for more paragraphs the
  // list stays as it was, and the paragraphs past it show none.
  try {
    if (g_pfnMrAllocFailHook != nullptr && g_pfnMrAllocFailHook(nNew * sizeof(MIREL_META_SLOT)))
      throw std::bad_alloc();
    m_slots.resize(nNew);
    for (size_t i = nOld; i < nNew; ++i)
      m_slots[i].ranges.assign(MIREL_META_RANGE_STEP, MIREL_META_RANGE{0, 0});
  } catch (...) {
    m_slots.resize(nOld);  // shrinking never allocates
  }
}

void CMrMetaBlock::Rescan(CMirelDoc* pDoc, int nFirstRow, int nLastRow) {
  if (pDoc == nullptr || pDoc->pLines == nullptr || pDoc->nLineCount <= 0) return;
  if (nLastRow >= pDoc->nLineCount) nLastRow = pDoc->nLineCount - 1;
  if (nFirstRow < 0) nFirstRow = 0;
  if (nFirstRow > nLastRow) return;
  GrowTo(static_cast<int>(pDoc->pLines[nLastRow].nPara));
  const DWORD nSub = pDoc->pLines[nFirstRow].nSubLine;
  nFirstRow -= static_cast<int>(nSub < static_cast<DWORD>(nFirstRow) ? nSub : static_cast<DWORD>(nFirstRow));
  for (int nRow = nFirstRow; nRow <= nLastRow; ++nRow) ScanLine(pDoc, nRow);
}

void CMrMetaBlock::AddRange(int nPara, int nStart, int nEnd) {
  if (nPara < 0 || nPara >= GetSlotCount()) return;
  MIREL_META_SLOT& slot = m_slots[static_cast<size_t>(nPara)];
  const size_t i = static_cast<size_t>(slot.nUsed);
  // A range the memory cannot hold is not shown.
  if (i == slot.ranges.size() && !MrTryResize(slot.ranges, i + MIREL_META_RANGE_STEP)) return;
  ++slot.nUsed;
  slot.ranges[i] = MIREL_META_RANGE{nStart, nEnd};
}

BOOL CMrMetaBlock::BeginScan(CMirelDoc* pDoc, int nRow, int* pnPara) {
  if (pDoc == nullptr || pDoc->pLines == nullptr || nRow < 0 || nRow >= pDoc->nLineCount) return FALSE;
  const MIREL_LINE& row = pDoc->pLines[nRow];
  if (row.nSubLine != 0 || row.nPara >= static_cast<DWORD>(GetSlotCount())) return FALSE;
  MIREL_META_SLOT& slot = m_slots[row.nPara];
  if (slot.bScanned) return FALSE;
  slot.bScanned = TRUE;
  *pnPara = static_cast<int>(row.nPara);
  return TRUE;
}
