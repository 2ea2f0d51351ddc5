// Undo history: recording, merging of typing runs, groups, save point, growth
// and trimming to the memory limit.
//
// Every recording operation first makes all the memory it needs (a plan), and
// only then changes the history, so a failed allocation leaves it untouched.
// All growth of the record array happens when a record is made: a record at
// index k is only made when at least k + 3 slots exist, so closing it later
// (NextRecord, also during redo) never needs memory.
#include "mirel/cmrundomanager.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "mirel/mirel.h"

namespace {

// LONG is 32 bits on every platform (LONG_MAX is the C long limit, 64 bits on Linux).
constexpr LONG kLongMax = std::numeric_limits<LONG>::max();
constexpr LONG kMaxDataCount = kLongMax - CMrUndoManager::UNDO_DATA_SLACK;

bool InUse(const MIREL_UNDO_RECORD& rec) {
  return rec.action != URA_NONE;
}
bool IsOpen(const MIREL_UNDO_RECORD& rec) {
  return InUse(rec) && !rec.bUndone;
}
bool IsUndone(const MIREL_UNDO_RECORD& rec) {
  return InUse(rec) && rec.bUndone;
}

ULONGLONG RecordSize(const MIREL_UNDO_RECORD& rec) {
  return static_cast<ULONGLONG>(rec.nDataAlloc) + CMrUndoManager::UNDO_RECORD_OVERHEAD;
}

// A change that can be recorded: a position and span that stay within 32 bits.
bool ValidChange(LONG nPos, const BYTE* pBytes, LONG nCount) {
  if (nPos < 0 || nCount < 0 || nCount > kMaxDataCount) return false;
  if (nCount > 0 && pBytes == nullptr) return false;
  return static_cast<LONGLONG>(nPos) + nCount <= kLongMax;
}

LONG GroupIdAt(LONG nCurrent, WORD nSerial) {
  return static_cast<LONG>((static_cast<DWORD>(nCurrent) << 16) | nSerial);
}

WORD FollowingSerial(WORD nSerial) {
  const WORD next = static_cast<WORD>(nSerial + 1);
  return next != 0 ? next : 1;  // a zero low half could make the id 0, which means "no group"
}

}  // namespace

CMrUndoManager::CMrUndoManager()
    : pUR(nullptr),
      cr(0),
      nSavePoint(0),
      nGroupId(0),
      nKeepMin(UNDO_DEFAULT_KEEP_MIN),
      nNestLevel(0),
      nAlloc(0),
      nMemLimit(UNDO_DEFAULT_MEM_LIMIT),
      nUsed(0),
      nUsedBytes(0),
      nGroupSerial(0),
      bWideUnits(FALSE) {
  // Without the array every operation still works; the first record retries.
  pUR = static_cast<MIREL_UNDO_RECORD*>(std::calloc(UNDO_INITIAL_RECORDS, sizeof(MIREL_UNDO_RECORD)));
  if (pUR != nullptr) nAlloc = UNDO_INITIAL_RECORDS;
}

CMrUndoManager::~CMrUndoManager() {
  if (pUR == nullptr) return;
  for (LONG i = 0; i < nAlloc; ++i) std::free(pUR[i].pData);
  std::free(pUR);
}

void* CMrUndoManager::AllocateZeroed(std::size_t nBytes) {
  return std::calloc(1, nBytes);
}

void* CMrUndoManager::Reallocate(void* p, std::size_t nBytes) {
  return std::realloc(p, nBytes);
}

BOOL CMrUndoManager::StartUndoGroup() {
  if (nNestLevel == kLongMax) return FALSE;
  if (nNestLevel == 0) {
    // A serial in the low half keeps two groups opened at the same cr apart.
    nGroupSerial = FollowingSerial(nGroupSerial);
    nGroupId = GroupIdAt(cr, nGroupSerial);
  }
  ++nNestLevel;
  return TRUE;
}

BOOL CMrUndoManager::EndUndoGroup() {
  // A host may close a group it never opened: refused, not an invariant.
  if (nNestLevel <= 0) return FALSE;
  if (--nNestLevel == 0) nGroupId = 0;
  return TRUE;
}

BOOL CMrUndoManager::SeparateUndo() {
  // Commands run inside a host's group call this too: the group stays one step.
  if (nNestLevel != 0) return FALSE;
  if (pUR == nullptr) return TRUE;
  if (IsUndone(pUR[cr])) {
    DropRedoTail();
  } else if (IsOpen(pUR[cr])) {
    return NextRecord();
  }
  return TRUE;
}

BOOL CMrUndoManager::SetSavePoint() {
  if (pUR != nullptr && IsOpen(pUR[cr]) && !NextRecord()) {
    // The saved text includes the open record; without closing it no undo
    // position matches the saved state.
    nSavePoint = -1;
    return FALSE;
  }
  nSavePoint = cr;
  return TRUE;
}

BOOL CMrUndoManager::CanUndo() const {
  return pUR != nullptr && (cr > 0 || IsOpen(pUR[cr]));
}

BOOL CMrUndoManager::IsCurrentUndone() const {
  return pUR != nullptr && IsUndone(pUR[cr]);
}

BOOL CMrUndoManager::IsCurrentFree() const {
  return pUR == nullptr || !IsOpen(pUR[cr]);
}

void CMrUndoManager::Reset() {
  for (LONG i = 0; i < nUsed; ++i) FreeRecord(pUR[i]);
  nUsed = 0;
  nUsedBytes = 0;
  cr = 0;
  nSavePoint = 0;
  nGroupId = 0;
  nNestLevel = 0;
}

void CMrUndoManager::ForgetRecords() {
  const LONG nKeepNest = nNestLevel;
  const LONG nKeepGroup = nGroupId;
  Reset();
  nNestLevel = nKeepNest;
  nGroupId = nKeepGroup;
  nSavePoint = -1;
}

BOOL CMrUndoManager::AddInsert(LONG nPos, const BYTE* pBytes, LONG nCount) {
  return Record(URA_INSERT, nPos, pBytes, nCount);
}

BOOL CMrUndoManager::AddDelete(LONG nPos, const BYTE* pBytes, LONG nCount) {
  return Record(URA_REMOVE, nPos, pBytes, nCount);
}

BOOL CMrUndoManager::AddInsertHex(LONG nPos, const BYTE* pBytes, LONG nCount) {
  return Record(URA_INSERT_HV, nPos, pBytes, nCount);
}

BOOL CMrUndoManager::AddDeleteHex(LONG nPos, const BYTE* pBytes, LONG nCount) {
  return Record(URA_REMOVE_HV, nPos, pBytes, nCount);
}

BOOL CMrUndoManager::AddMove(LONG nSource, LONG nDest, LONG nSize) {
  if (nSource < 0 || nDest < 0 || nSize < 0) return FALSE;
  if (static_cast<LONGLONG>(nSource) + nSize > kLongMax || static_cast<LONGLONG>(nDest) + nSize > kLongMax)
    return FALSE;
  if (nSize == 0) return TRUE;  // nothing moved, nothing to undo

  BYTE target[2 * sizeof(LONG)];
  std::memcpy(target, &nDest, sizeof(LONG));
  std::memcpy(target + sizeof(LONG), &nSize, sizeof(LONG));
  ChangePlan plan;
  if (!PlanNewRecord(target, sizeof(target), &plan)) return FALSE;
  if (!EnsureRecords(NextRecordIndex() + 3)) {
    std::free(plan.pFresh);
    return FALSE;
  }
  CommitChange(plan, URA_MOVE, nSource, nullptr, 0, nGroupId);
  return TRUE;
}

BOOL CMrUndoManager::AddReplace(LONG nPos, const BYTE* pOld, LONG nOldCount, const BYTE* pNew,
                                LONG nNewCount) {
  return RecordReplace(URA_REMOVE, URA_INSERT, nPos, pOld, nOldCount, pNew, nNewCount);
}

BOOL CMrUndoManager::AddReplaceHex(LONG nPos, const BYTE* pOld, LONG nOldCount, const BYTE* pNew,
                                   LONG nNewCount) {
  return RecordReplace(URA_REMOVE_HV, URA_INSERT_HV, nPos, pOld, nOldCount, pNew, nNewCount);
}

BOOL CMrUndoManager::UpdateInsertHex(LONG nPos, const BYTE* pBytes, LONG nCount) {
  if (pUR == nullptr || nCount <= 0 || !ValidChange(nPos, pBytes, nCount)) return FALSE;
  MIREL_UNDO_RECORD& rec = pUR[cr];
  MIREL_ASSERT(rec.action == URA_INSERT_HV && !rec.bUndone);
  if (!IsOpen(rec) || rec.action != URA_INSERT_HV) return FALSE;
  // The rewritten bytes must lie inside the inserted ones.
  const bool bInside = nPos >= rec.pos && static_cast<LONGLONG>(nPos - rec.pos) + nCount <= rec.count;
  MIREL_ASSERT(bInside);
  if (!bInside) return FALSE;
  std::memcpy(rec.pData + (nPos - rec.pos), pBytes, static_cast<std::size_t>(nCount));
  return TRUE;
}

BOOL CMrUndoManager::NextRecord() {
  if (pUR == nullptr || !IsOpen(pUR[cr])) return FALSE;
  if (!EnsureRecords(cr + 3)) return FALSE;  // present already unless fields were changed from outside
  Advance();
  return TRUE;
}

void CMrUndoManager::DropRedoTail() {
  if (pUR == nullptr || !IsUndone(pUR[cr])) return;
  if (nSavePoint > cr) nSavePoint = -1;  // the saved state lay in the dropped part
  for (LONG i = cr; i < nUsed; ++i) FreeRecord(pUR[i]);
  nUsed = cr;
}

BOOL CMrUndoManager::GetMoveTarget(const MIREL_UNDO_RECORD& rec, LONG* pDest, LONG* pSize) {
  if (rec.action != URA_MOVE || rec.pData == nullptr || rec.nDataAlloc < 2 * static_cast<LONG>(sizeof(LONG)))
    return FALSE;
  LONG dest = 0;
  LONG size = 0;
  std::memcpy(&dest, rec.pData, sizeof(LONG));
  std::memcpy(&size, rec.pData + sizeof(LONG), sizeof(LONG));
  if (pDest != nullptr) *pDest = dest;
  if (pSize != nullptr) *pSize = size;
  return TRUE;
}

BOOL CMrUndoManager::Record(BYTE action, LONG nPos, const BYTE* pBytes, LONG nCount) {
  if (!ValidChange(nPos, pBytes, nCount)) return FALSE;
  if (nCount == 0) return TRUE;
  ChangePlan plan;
  if (!PlanChange(action, nPos, pBytes, nCount, nGroupId, action != URA_INSERT_HV, &plan)) return FALSE;
  if (plan.kind == ChangePlan::NEW_RECORD && !EnsureRecords(NextRecordIndex() + 3)) {
    std::free(plan.pFresh);
    return FALSE;
  }
  CommitChange(plan, action, nPos, pBytes, nCount, nGroupId);
  return TRUE;
}

BOOL CMrUndoManager::RecordReplace(BYTE removeAction, BYTE insertAction, LONG nPos, const BYTE* pOld,
                                   LONG nOldCount, const BYTE* pNew, LONG nNewCount) {
  if (!ValidChange(nPos, pOld, nOldCount) || !ValidChange(nPos, pNew, nNewCount)) return FALSE;
  if (nNestLevel == kLongMax) return FALSE;
  const bool bRemove = nOldCount > 0;
  const bool bInsert = nNewCount > 0;
  if (!bRemove && !bInsert) return TRUE;

  // The id the group will carry: the open one, or the one StartUndoGroup makes now.
  const LONG nGroup = nNestLevel > 0 ? nGroupId : GroupIdAt(cr, FollowingSerial(nGroupSerial));
  const LONG nNewIndex = NextRecordIndex();
  ChangePlan remove{ChangePlan::NEW_RECORD, nullptr, 0, false};
  ChangePlan insert{ChangePlan::NEW_RECORD, nullptr, 0, false};
  LONG nLastNew = -1;  // index of the last record made, when one is
  LONG nRemoveIndex = cr;

  if (bRemove) {
    if (!PlanChange(removeAction, nPos, pOld, nOldCount, nGroup, true, &remove)) return FALSE;
    if (remove.kind == ChangePlan::NEW_RECORD) nRemoveIndex = nLastNew = nNewIndex;
  }
  if (bInsert) {
    // After the removal the open record is a removal, which an insertion never joins.
    const BOOL bPlanned = bRemove ? PlanNewRecord(pNew, nNewCount, &insert)
                                  : PlanChange(insertAction, nPos, pNew, nNewCount, nGroup,
                                               insertAction != URA_INSERT_HV, &insert);
    if (!bPlanned) {
      std::free(remove.pFresh);
      return FALSE;
    }
    if (insert.kind == ChangePlan::NEW_RECORD) nLastNew = bRemove ? nRemoveIndex + 1 : nNewIndex;
  }
  if (nLastNew >= 0 && !EnsureRecords(nLastNew + 3)) {
    std::free(remove.pFresh);
    std::free(insert.pFresh);
    return FALSE;
  }

  StartUndoGroup();
  if (bRemove) CommitChange(remove, removeAction, nPos, pOld, nOldCount, nGroupId);
  if (bInsert) CommitChange(insert, insertAction, nPos, pNew, nNewCount, nGroupId);
  EndUndoGroup();
  return TRUE;
}

BOOL CMrUndoManager::PlanChange(BYTE action, LONG nPos, const BYTE* pBytes, LONG nCount, LONG nGroup,
                                bool bMayMerge, ChangePlan* pPlan) {
  if (bMayMerge && pUR != nullptr && IsOpen(pUR[cr])) {
    MIREL_UNDO_RECORD& rec = pUR[cr];
    // Never merge across a group boundary: the group would no longer undo as one step.
    if (rec.action == action && rec.nGroup == nGroup &&
        static_cast<LONGLONG>(rec.count) + nCount <= kMaxDataCount) {
      bool bMerge = false;
      pPlan->bCloseAfter = false;
      if (action == URA_INSERT) {
        if (static_cast<LONGLONG>(rec.pos) + rec.count == nPos) {
          bMerge = true;
          pPlan->kind = ChangePlan::APPEND;
          pPlan->bCloseAfter = StartsWithBreak(pBytes, nCount);  // the blank ends the word
        }
      } else if (action == URA_REMOVE || action == URA_REMOVE_HV) {
        if (action == URA_REMOVE && StartsWithBreak(pBytes, nCount)) {
          bMerge = false;  // a removed blank starts the next step
        } else if (static_cast<LONGLONG>(nPos) + nCount == rec.pos) {
          bMerge = true;  // backspace: the removed bytes end where the record starts
          pPlan->kind = ChangePlan::PREPEND;
        } else if (nPos == rec.pos) {
          bMerge = true;  // forward delete at the same place
          pPlan->kind = ChangePlan::APPEND;
        }
      }
      if (bMerge) {
        pPlan->pFresh = nullptr;
        pPlan->nFreshAlloc = 0;
        return GrowData(rec, rec.count + nCount);
      }
    }
  }
  return PlanNewRecord(pBytes, nCount, pPlan);
}

BOOL CMrUndoManager::PlanNewRecord(const BYTE* pBytes, LONG nCount, ChangePlan* pPlan) {
  const LONG nAllocBytes = nCount + UNDO_DATA_SLACK;
  BYTE* pFresh = static_cast<BYTE*>(AllocateZeroed(static_cast<std::size_t>(nAllocBytes)));
  if (pFresh == nullptr) return FALSE;
  if (nCount > 0) std::memcpy(pFresh, pBytes, static_cast<std::size_t>(nCount));
  pPlan->kind = ChangePlan::NEW_RECORD;
  pPlan->pFresh = pFresh;
  pPlan->nFreshAlloc = nAllocBytes;
  pPlan->bCloseAfter = false;
  return TRUE;
}

BOOL CMrUndoManager::GrowData(MIREL_UNDO_RECORD& rec, LONG nNeeded) {
  if (rec.nDataAlloc >= nNeeded) return TRUE;
  // Grow by half again for long runs (text appended in chunks), by the slack for typing.
  LONGLONG nNew = static_cast<LONGLONG>(nNeeded) + UNDO_DATA_SLACK;
  const LONGLONG nHalfAgain = static_cast<LONGLONG>(rec.nDataAlloc) + rec.nDataAlloc / 2;
  if (nHalfAgain > nNew) nNew = nHalfAgain;
  if (nNew > kLongMax) nNew = kLongMax;
  BYTE* p = static_cast<BYTE*>(Reallocate(rec.pData, static_cast<std::size_t>(nNew)));
  if (p == nullptr) return FALSE;
  // The bytes past the data stay zero, as in a new buffer.
  std::memset(p + rec.nDataAlloc, 0, static_cast<std::size_t>(nNew - rec.nDataAlloc));
  nUsedBytes += static_cast<ULONGLONG>(nNew - rec.nDataAlloc);
  rec.pData = p;
  rec.nDataAlloc = static_cast<LONG>(nNew);
  return TRUE;
}

void CMrUndoManager::CommitChange(const ChangePlan& plan, BYTE action, LONG nPos, const BYTE* pBytes,
                                  LONG nCount, LONG nGroup) {
  if (plan.kind == ChangePlan::APPEND) {
    MIREL_UNDO_RECORD& rec = pUR[cr];
    std::memcpy(rec.pData + rec.count, pBytes, static_cast<std::size_t>(nCount));
    rec.count += nCount;
    if (plan.bCloseAfter) Advance();
    return;
  }
  if (plan.kind == ChangePlan::PREPEND) {
    MIREL_UNDO_RECORD& rec = pUR[cr];
    std::memmove(rec.pData + nCount, rec.pData, static_cast<std::size_t>(rec.count));
    std::memcpy(rec.pData, pBytes, static_cast<std::size_t>(nCount));
    rec.pos = nPos;
    rec.count += nCount;
    return;
  }
  if (IsUndone(pUR[cr])) DropRedoTail();
  if (IsOpen(pUR[cr])) Advance();
  if (IsUndone(pUR[cr])) DropRedoTail();  // an open record followed by undone ones
  MIREL_UNDO_RECORD& rec = pUR[cr];
  rec.action = action;
  rec.bUndone = 0;
  rec.nGroup = nGroup;
  rec.pos = nPos;
  rec.count = nCount;
  rec.pData = plan.pFresh;
  rec.nDataAlloc = plan.nFreshAlloc;
  nUsed = cr + 1;
  nUsedBytes += RecordSize(rec);
}

LONG CMrUndoManager::NextRecordIndex() const {
  return pUR != nullptr && IsOpen(pUR[cr]) ? cr + 1 : cr;
}

BOOL CMrUndoManager::EnsureRecords(LONG nNeeded) {
  if (nNeeded <= nAlloc) return TRUE;
  LONGLONG nNew = nAlloc > 0 ? nAlloc : UNDO_INITIAL_RECORDS;
  while (nNew < nNeeded) nNew += UNDO_GROW_RECORDS;
  if (nNew > kLongMax || static_cast<ULONGLONG>(nNew) > SIZE_MAX / sizeof(MIREL_UNDO_RECORD)) return FALSE;
  void* p = Reallocate(pUR, static_cast<std::size_t>(nNew) * sizeof(MIREL_UNDO_RECORD));
  if (p == nullptr) return FALSE;
  pUR = static_cast<MIREL_UNDO_RECORD*>(p);
  std::memset(static_cast<void*>(pUR + nAlloc), 0,
              static_cast<std::size_t>(nNew - nAlloc) * sizeof(MIREL_UNDO_RECORD));
  nAlloc = static_cast<LONG>(nNew);
  return TRUE;
}

void CMrUndoManager::Advance() {
  ++cr;
  TrimOldest();
}

void CMrUndoManager::TrimOldest() {
  const LONG nLimit = nMemLimit > 0 ? nMemLimit : 0;
  if (nUsed <= nKeepMin || nUsedBytes <= static_cast<ULONGLONG>(nLimit)) return;

  // Drop the oldest done records until more than half the limit is gone. Only
  // done records go: the current record and the redo tail stay.
  const ULONGLONG nHalf = static_cast<ULONGLONG>(nLimit / 2);
  ULONGLONG nDropped = 0;
  LONG j = 0;
  while (j < cr && nDropped <= nHalf) {
    nDropped += RecordSize(pUR[j]);
    ++j;
  }
  // A step is undone whole: the cut never falls inside a group. The rest of
  // the group goes too when the group is closed (a record of another step
  // follows it before cr); a group that may still grow stays whole.
  const auto bSplitsGroup = [this](LONG k) {
    return k > 0 && k < nUsed && pUR[k].nGroup != 0 && pUR[k].nGroup == pUR[k - 1].nGroup;
  };
  LONG nGroupEnd = j;
  while (bSplitsGroup(nGroupEnd)) ++nGroupEnd;
  if (nGroupEnd < cr) {
    for (; j < nGroupEnd; ++j) nDropped += RecordSize(pUR[j]);
  } else {
    while (bSplitsGroup(j)) {
      --j;
      nDropped -= RecordSize(pUR[j]);
    }
  }
  if (j == 0) return;
  for (LONG k = 0; k < j; ++k) std::free(pUR[k].pData);
  std::memmove(static_cast<void*>(pUR), pUR + j,
               static_cast<std::size_t>(nUsed - j) * sizeof(MIREL_UNDO_RECORD));
  std::memset(static_cast<void*>(pUR + (nUsed - j)), 0,
              static_cast<std::size_t>(j) * sizeof(MIREL_UNDO_RECORD));
  nUsed -= j;
  nUsedBytes -= nDropped;
  cr -= j;
  nSavePoint = nSavePoint >= j ? nSavePoint - j : -1;
}

bool CMrUndoManager::StartsWithBreak(const BYTE* pBytes, LONG nCount) const {
  const UINT unit = MrUnitAtIn(pBytes, 0, nCount, bWideUnits, MR_CHAR_NUL);
  return unit == MR_CHAR_SPACE || unit == MR_CHAR_TAB || unit == MR_CHAR_CR || unit == MR_CHAR_LF;
}

void CMrUndoManager::FreeRecord(MIREL_UNDO_RECORD& rec) {
  if (InUse(rec)) nUsedBytes -= RecordSize(rec);
  std::free(rec.pData);
  rec = MIREL_UNDO_RECORD{};
}
