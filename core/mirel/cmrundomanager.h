// Undo history of one document: a flat array of change records with a cursor.
//
// Records [0, cr) are done. pUR[cr] is empty (the next change starts a record
// there), open (in use and not undone: the next change may merge into it) or
// undone (the first record of the redo tail). At least one record always
// follows cr, so a scan from index 0 stops at an empty record.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Actions of an undo record.
constexpr BYTE URA_NONE = 0;       // empty record
constexpr BYTE URA_INSERT = 1;     // text-view insertion
constexpr BYTE URA_REMOVE = 2;     // text-view removal
constexpr BYTE URA_MOVE = 3;       // block moved by drag and drop
constexpr BYTE URA_INSERT_HV = 4;  // hex-view insertion
constexpr BYTE URA_REMOVE_HV = 5;  // hex-view removal

struct MIREL_UNDO_RECORD {
  BYTE action;      // URA_*
  BYTE bUndone;     // 1 once the record has been undone
  LONG nGroup;      // group id; 0 outside groups
  LONG pos;         // text-view position (actions 1-3) or hex-view position (4, 5)
  LONG count;       // bytes inserted or removed; 0 for URA_MOVE
  BYTE* pData;      // the bytes; for URA_MOVE the destination and the size (two LONGs)
  LONG nDataAlloc;  // capacity of pData in bytes (counted by the memory limit)
};

class CMrUndoManager {
 public:
  static constexpr LONG UNDO_INITIAL_RECORDS = 128;
  static constexpr LONG UNDO_GROW_RECORDS = 64;
  static constexpr LONG UNDO_DEFAULT_KEEP_MIN = 100;
  static constexpr LONG UNDO_DEFAULT_MEM_LIMIT = 0x100000;
  static constexpr LONG UNDO_RECORD_OVERHEAD = 20;  // bytes charged per record beside its data
  static constexpr LONG UNDO_DATA_SLACK = 8;        // zeroed bytes a new data buffer has past its count

  CMrUndoManager();
  virtual ~CMrUndoManager();
  CMrUndoManager(const CMrUndoManager&) = delete;
  CMrUndoManager& operator=(const CMrUndoManager&) = delete;

  // Groups: every record made while a group is open carries its id, and undo
  // and redo replay such records as one step. Groups nest; only the outermost
  // one makes an id. Both return FALSE when they change nothing.
  BOOL StartUndoGroup();
  BOOL EndUndoGroup();

  // Forces a boundary between the previous change and the next one (drops the
  // redo tail after an undo). Refused (FALSE) inside a group.
  BOOL SeparateUndo();

  // Closes the open record and remembers the current position as the saved state.
  BOOL SetSavePoint();

  BOOL CanUndo() const;
  BOOL IsCurrentUndone() const;  // a redo is possible
  BOOL IsCurrentFree() const;    // the current record is empty or undone

  // Forgets the whole history.
  void Reset();
  // Forgets every record after a change the history does not know of: undo
  // and redo are gone, the saved state can no longer be reached, and groups
  // open around the change stay open.
  void ForgetRecords();
  void Clear() { Reset(); }

  // Recording. Each returns TRUE when the change is in the history (a change
  // of 0 bytes needs no record) and FALSE when it is refused (bad arguments)
  // or memory runs out; on FALSE the history is exactly as before.
  BOOL AddInsert(LONG nPos, const BYTE* pBytes, LONG nCount);
  BOOL AddDelete(LONG nPos, const BYTE* pBytes, LONG nCount);
  BOOL AddInsertHex(LONG nPos, const BYTE* pBytes, LONG nCount);
  BOOL AddDeleteHex(LONG nPos, const BYTE* pBytes, LONG nCount);
  BOOL AddMove(LONG nSource, LONG nDest, LONG nSize);

  // A replacement as one step: the removal of the old bytes, then the
  // insertion of the new ones, in one group (joining an open group). Both
  // records are made or neither, so a store can refuse the edit on FALSE.
  // Pass 0 as a count to leave that side unrecorded.
  BOOL AddReplace(LONG nPos, const BYTE* pOld, LONG nOldCount, const BYTE* pNew, LONG nNewCount);
  BOOL AddReplaceHex(LONG nPos, const BYTE* pOld, LONG nOldCount, const BYTE* pNew, LONG nNewCount);

  // Rewrites bytes inside the open hex insertion (second digit of a typed byte).
  BOOL UpdateInsertHex(LONG nPos, const BYTE* pBytes, LONG nCount);

  // Closes the open record and advances the cursor; also used by redo after it
  // has replayed pUR[cr] and cleared its bUndone. May trim the oldest records.
  BOOL NextRecord();

  // Frees the redo tail (the undone records from cr on).
  void DropRedoTail();

  // In UTF-16 documents blanks and line breaks are whole 16-bit units (little-
  // endian): a byte 0x20 that is half of another character starts no new step.
  void SetWideUnits(BOOL bWide) { bWideUnits = bWide ? TRUE : FALSE; }
  void SetMemLimit(LONG nBytes) { nMemLimit = nBytes < 0 ? 0 : nBytes; }
  void SetKeepMin(LONG nRecords) { nKeepMin = nRecords < 0 ? 0 : nRecords; }

  LONG GetUsedRecords() const { return nUsed; }          // records in use from index 0
  ULONGLONG GetUsedBytes() const { return nUsedBytes; }  // their size as the limit counts it

  // Destination and size of a URA_MOVE record; FALSE for any other record.
  static BOOL GetMoveTarget(const MIREL_UNDO_RECORD& rec, LONG* pDest, LONG* pSize);

  MIREL_UNDO_RECORD* pUR;  // the history, nAlloc records
  LONG cr;                 // current record
  LONG nSavePoint;         // cr of the saved state; -1 when it can no longer be reached
  LONG nGroupId;           // id given to new records while a group is open
  LONG nKeepMin;           // never trimmed while no more records than this are in use
  LONG nNestLevel;         // depth of open groups
  LONG nAlloc;             // capacity of pUR in records
  LONG nMemLimit;          // size above which the oldest records are dropped

 protected:
  // Memory for the record array and the data buffers; derived classes may
  // fail them to exercise the recovery paths. Both may return NULL.
  virtual void* AllocateZeroed(std::size_t nBytes);
  virtual void* Reallocate(void* p, std::size_t nBytes);

 private:
  // How one change enters the history; made before anything is modified.
  struct ChangePlan {
    enum Kind { NEW_RECORD, APPEND, PREPEND } kind;
    BYTE* pFresh;      // NEW_RECORD: its data buffer, bytes already copied in
    LONG nFreshAlloc;  // capacity of pFresh
    bool bCloseAfter;  // APPEND: a blank or line break ends the step
  };

  BOOL Record(BYTE action, LONG nPos, const BYTE* pBytes, LONG nCount);
  BOOL RecordReplace(BYTE removeAction, BYTE insertAction, LONG nPos, const BYTE* pOld, LONG nOldCount,
                     const BYTE* pNew, LONG nNewCount);
  BOOL PlanChange(BYTE action, LONG nPos, const BYTE* pBytes, LONG nCount, LONG nGroup, bool bMayMerge,
                  ChangePlan* pPlan);
  BOOL PlanNewRecord(const BYTE* pBytes, LONG nCount, ChangePlan* pPlan);
  BOOL GrowData(MIREL_UNDO_RECORD& rec, LONG nNeeded);
  void CommitChange(const ChangePlan& plan, BYTE action, LONG nPos, const BYTE* pBytes, LONG nCount,
                    LONG nGroup);
  LONG NextRecordIndex() const;
  BOOL EnsureRecords(LONG nNeeded);
  LONG MakeGroupId();
  void Advance();
  void TrimOldest();
  bool StartsWithBreak(const BYTE* pBytes, LONG nCount) const;
  void FreeRecord(MIREL_UNDO_RECORD& rec);

  LONG nUsed;            // records in use: [0, nUsed)
  ULONGLONG nUsedBytes;  // sum of nDataAlloc + UNDO_RECORD_OVERHEAD over them
  WORD nGroupSerial;     // low half of group ids; never 0
  BOOL bWideUnits;
};
