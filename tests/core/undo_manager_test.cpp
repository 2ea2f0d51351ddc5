// Undo history: merging of typing runs, groups, save point, growth, trimming to
// the memory limit and recovery from failed allocations. A small text model
// replays the records the way the document's undo and redo do, so each test
// checks the texts that undo and redo give back, not only the record fields.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mirel/cmrundomanager.h"

namespace {

// LONG is 32 bits everywhere; LONG_MAX is the C long limit.
constexpr LONG kLongMax = std::numeric_limits<LONG>::max();

const BYTE* Bytes(const std::string& s) {
  return reinterpret_cast<const BYTE*>(s.data());
}
LONG Len(const std::string& s) {
  return static_cast<LONG>(s.size());
}

std::string DataOf(const MIREL_UNDO_RECORD& r) {
  return std::string(reinterpret_cast<const char*>(r.pData), static_cast<std::size_t>(r.count));
}

// A text edited through the history, undone and redone as the document does it.
class Editor {
 public:
  explicit Editor(CMrUndoManager& manager) : m(manager) {}

  void Insert(LONG pos, const std::string& s) {
    text.insert(static_cast<std::size_t>(pos), s);
    EXPECT_TRUE(m.AddInsert(pos, Bytes(s), Len(s)));
  }
  void Type(LONG pos, const std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) Insert(pos + static_cast<LONG>(i), s.substr(i, 1));
  }
  void Erase(LONG pos, LONG n) {
    const std::string removed = text.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(n));
    text.erase(static_cast<std::size_t>(pos), static_cast<std::size_t>(n));
    EXPECT_TRUE(m.AddDelete(pos, Bytes(removed), n));
  }
  void Replace(LONG pos, LONG n, const std::string& s) {
    const std::string removed = text.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(n));
    text.replace(static_cast<std::size_t>(pos), static_cast<std::size_t>(n), s);
    EXPECT_TRUE(m.AddReplace(pos, Bytes(removed), n, Bytes(s), Len(s)));
  }

  // One undo step: a record, or the consecutive records of one group.
  bool Undo() {
    if (m.IsCurrentFree()) {
      if (m.cr == 0) return false;
      --m.cr;
    }
    const LONG group = m.pUR[m.cr].nGroup;
    for (;;) {
      Apply(m.pUR[m.cr], false);
      m.pUR[m.cr].bUndone = 1;
      if (group == 0 || m.cr == 0 || m.pUR[m.cr - 1].nGroup != group) return true;
      --m.cr;
    }
  }
  bool Redo() {
    if (!m.IsCurrentUndone()) return false;
    const LONG group = m.pUR[m.cr].nGroup;
    do {
      Apply(m.pUR[m.cr], true);
      m.pUR[m.cr].bUndone = 0;
      if (!m.NextRecord()) {
        ADD_FAILURE() << "closing a redone record failed";
        return false;
      }
    } while (group != 0 && m.pUR[m.cr].nGroup == group);
    return true;
  }
  int UndoAll() {
    int steps = 0;
    while (Undo()) ++steps;
    return steps;
  }
  int RedoAll() {
    int steps = 0;
    while (Redo()) ++steps;
    return steps;
  }

  CMrUndoManager& m;
  std::string text;

 private:
  void Apply(const MIREL_UNDO_RECORD& r, bool forward) {
    const bool insert = (r.action == URA_INSERT || r.action == URA_INSERT_HV) == forward;
    ASSERT_GE(r.pos, 0);
    ASSERT_LE(static_cast<std::size_t>(r.pos) + (insert ? 0 : r.count), text.size())
        << "record past the text";
    if (insert) {
      text.insert(static_cast<std::size_t>(r.pos), DataOf(r));
    } else {
      ASSERT_EQ(text.substr(static_cast<std::size_t>(r.pos), static_cast<std::size_t>(r.count)), DataOf(r));
      text.erase(static_cast<std::size_t>(r.pos), static_cast<std::size_t>(r.count));
    }
  }
};

// Everything the history means, without buffer capacities.
struct Snapshot {
  explicit Snapshot(const CMrUndoManager& m)
      : cr(m.cr), savePoint(m.nSavePoint), groupId(m.nGroupId), nest(m.nNestLevel), alloc(m.nAlloc) {
    for (LONG i = 0; i < m.nAlloc; ++i) {
      const MIREL_UNDO_RECORD& r = m.pUR[i];
      if (r.action == URA_NONE) continue;
      records.push_back(std::to_string(i) + ":" + std::to_string(r.action) + "/" + std::to_string(r.bUndone) +
                        "/" + std::to_string(r.nGroup) + "/" + std::to_string(r.pos) + "/" + DataOf(r));
    }
  }
  bool operator==(const Snapshot& o) const {
    return cr == o.cr && savePoint == o.savePoint && groupId == o.groupId && nest == o.nest &&
           alloc == o.alloc && records == o.records;
  }
  LONG cr, savePoint, groupId, nest, alloc;
  std::vector<std::string> records;
};

ULONGLONG CountedBytes(const CMrUndoManager& m) {
  ULONGLONG total = 0;
  for (LONG i = 0; i < m.nAlloc; ++i)
    if (m.pUR[i].action != URA_NONE) total += m.pUR[i].nDataAlloc + CMrUndoManager::UNDO_RECORD_OVERHEAD;
  return total;
}

// A manager whose allocations fail once nAllowed of them have succeeded.
class CFailingUndoManager : public CMrUndoManager {
 public:
  int nAllowed = INT_MAX;

 protected:
  void* AllocateZeroed(std::size_t n) override {
    return Take() ? CMrUndoManager::AllocateZeroed(n) : nullptr;
  }
  void* Reallocate(void* p, std::size_t n) override {
    return Take() ? CMrUndoManager::Reallocate(p, n) : nullptr;
  }

 private:
  bool Take() { return nAllowed > 0 && nAllowed-- > 0; }
};

// n closed records of one byte each at positions 0, 1, ... (typed backwards so none merge).
void CloseRecords(Editor& e, int n) {
  for (int i = 0; i < n; ++i) {
    e.Insert(0, std::string(1, static_cast<char>('a' + i % 26)));
    ASSERT_TRUE(e.m.NextRecord());
  }
}

}  // namespace

TEST(UndoManagerTest, FreshManagerHasNothingToUndoOrRedo) {
  CMrUndoManager m;
  EXPECT_FALSE(m.CanUndo());
  EXPECT_FALSE(m.IsCurrentUndone());
  EXPECT_EQ(m.nAlloc, 128);
  EXPECT_EQ(m.nMemLimit, 0x100000);
  EXPECT_EQ(m.nKeepMin, 100);
  Editor e(m);
  EXPECT_FALSE(e.Undo());
  EXPECT_FALSE(e.Redo());
}

// --- Merging -----------------------------------------------------------------

TEST(UndoManagerMergeTest, TypedBlankEndsTheStep) {
  CMrUndoManager m;
  Editor e(m);
  e.Type(0, "ab cd");
  EXPECT_TRUE(m.CanUndo());
  EXPECT_EQ(m.cr, 1);
  EXPECT_EQ(DataOf(m.pUR[0]), "ab ");
  EXPECT_EQ(DataOf(m.pUR[1]), "cd");
  EXPECT_TRUE(e.Undo());
  EXPECT_EQ(e.text, "ab ");
  EXPECT_TRUE(e.Undo());
  EXPECT_EQ(e.text, "");
  EXPECT_FALSE(e.Undo());
  EXPECT_EQ(e.RedoAll(), 2);
  EXPECT_EQ(e.text, "ab cd");
}

TEST(UndoManagerMergeTest, TypingElsewhereStartsANewStep) {
  CMrUndoManager m;
  Editor e(m);
  e.Type(0, "ab");
  e.Type(0, "c");
  EXPECT_EQ(e.text, "cab");
  EXPECT_EQ(e.UndoAll(), 2);
  EXPECT_EQ(e.text, "");
}

// Single-character removals after an insertion: Backspace and Delete runs
// merge into one record in text order; a removed blank ends the record.
TEST(UndoManagerMergeTest, RemovalRunsMergeUntilABlank) {
  struct Removed {
    LONG pos;
    const char* data;
  };
  const struct Case {
    const char* name;
    const char* text;
    std::vector<LONG> erased;      // positions of the single-byte removals, in order
    std::vector<Removed> records;  // from record 1 on
    const char* afterOneUndo;
  } cases[] = {
      {"backspace run", "wxyz", {3, 2, 1}, {{1, "xyz"}}, "wxyz"},
      {"forward delete run", "wxyz", {1, 1, 1}, {{1, "xyz"}}, "wxyz"},
      {"a removed blank starts the next record", "a b", {2, 1, 0}, {{2, "b"}, {0, "a "}}, "a "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMrUndoManager m;
    Editor e(m);
    e.Insert(0, c.text);
    ASSERT_TRUE(m.SeparateUndo());
    for (LONG pos : c.erased) e.Erase(pos, 1);
    EXPECT_EQ(m.cr, static_cast<LONG>(c.records.size()));
    for (std::size_t i = 0; i < c.records.size(); ++i) {
      const MIREL_UNDO_RECORD& r = m.pUR[i + 1];
      EXPECT_EQ(r.action, URA_REMOVE);
      EXPECT_EQ(r.pos, c.records[i].pos);
      EXPECT_EQ(DataOf(r), c.records[i].data);
    }
    EXPECT_TRUE(e.Undo());
    EXPECT_EQ(e.text, c.afterOneUndo);
  }
}

TEST(UndoManagerMergeTest, WideTextBreaksOnlyOnWholeBlankUnits) {
  // U+4E20 is the bytes 20 4E: its first byte alone looks like a blank.
  const std::string wideWord(
      "a\0\x20\x4E"
      "b\0",
      6),
      wideBlank("\x20\0", 2);
  for (BOOL wide : {TRUE, FALSE}) {
    CMrUndoManager m;
    m.SetWideUnits(wide);
    Editor e(m);
    for (LONG i = 0; i < 6; i += 2) e.Insert(i, wideWord.substr(static_cast<std::size_t>(i), 2));
    e.Insert(6, wideBlank);
    e.Insert(8, std::string("c\0", 2));
    if (wide) {
      EXPECT_EQ(DataOf(m.pUR[0]), wideWord + wideBlank);
      EXPECT_EQ(m.cr, 1);
    } else {
      EXPECT_EQ(m.cr, 2) << "byte text ends a step at every byte 0x20";
    }
  }
}

TEST(UndoManagerMergeTest, TypingNeverJoinsAGroupRecord) {
  CMrUndoManager m;
  Editor e(m);
  e.Type(0, "ab");
  m.StartUndoGroup();
  e.Insert(2, "cd");
  m.EndUndoGroup();
  e.Type(4, "e");
  EXPECT_TRUE(e.Undo());
  EXPECT_EQ(e.text, "abcd");
  EXPECT_TRUE(e.Undo());
  EXPECT_EQ(e.text, "ab") << "the group is one step of its own";
}

TEST(UndoManagerMergeTest, HexInsertionsNeverMergeHexRemovalsDo) {
  CMrUndoManager m;
  const BYTE b[] = {0x20, 0x41};
  EXPECT_TRUE(m.AddInsertHex(0, b, 1));
  EXPECT_TRUE(m.AddInsertHex(1, b + 1, 1));
  EXPECT_EQ(m.cr, 1);
  EXPECT_TRUE(m.AddDeleteHex(1, b + 1, 1));
  EXPECT_TRUE(m.AddDeleteHex(0, b, 1));  // a removed 0x20 is an ordinary byte here
  EXPECT_EQ(m.cr, 2);
  EXPECT_EQ(m.pUR[2].action, URA_REMOVE_HV);
  EXPECT_EQ(m.pUR[2].pos, 0);
  EXPECT_EQ(DataOf(m.pUR[2]), "\x20\x41");
}

TEST(UndoManagerMergeTest, UpdateInsertHexRewritesOnlyInsideTheOpenInsertion) {
  CMrUndoManager m;
  const BYTE first = 0x10, second = 0x1A, pair[] = {1, 2};
  ASSERT_TRUE(m.AddInsertHex(5, &first, 1));
  EXPECT_FALSE(m.UpdateInsertHex(4, &second, 1));
  EXPECT_FALSE(m.UpdateInsertHex(6, &second, 1));
  EXPECT_FALSE(m.UpdateInsertHex(5, pair, 2));
  EXPECT_EQ(m.pUR[0].pData[0], 0x10);
  EXPECT_TRUE(m.UpdateInsertHex(5, &second, 1));
  EXPECT_EQ(m.pUR[0].pData[0], 0x1A);
  ASSERT_TRUE(m.NextRecord());
  EXPECT_FALSE(m.UpdateInsertHex(5, &first, 1));
}

TEST(UndoManagerMergeTest, MoveRecordHoldsDestinationAndSize) {
  CMrUndoManager m;
  ASSERT_TRUE(m.AddMove(10, 40, 5));
  LONG dest = 0, size = 0;
  ASSERT_TRUE(CMrUndoManager::GetMoveTarget(m.pUR[0], &dest, &size));
  EXPECT_EQ(m.pUR[0].pos, 10);
  EXPECT_EQ(m.pUR[0].count, 0);
  EXPECT_EQ(dest, 40);
  EXPECT_EQ(size, 5);
  EXPECT_TRUE(m.AddInsert(10, Bytes("x"), 1));
  EXPECT_EQ(m.cr, 1);
}

TEST(UndoManagerMergeTest, BadArgumentsAreRefusedAndEmptyChangesNotRecorded) {
  CMrUndoManager m;
  const Snapshot before(m);
  EXPECT_FALSE(m.AddInsert(-1, Bytes("x"), 1));
  EXPECT_FALSE(m.AddDelete(0, Bytes("x"), -1));
  EXPECT_FALSE(m.AddInsert(0, nullptr, 1));
  EXPECT_FALSE(m.AddInsert(kLongMax, Bytes("x"), 1));
  EXPECT_FALSE(m.AddMove(-1, 0, 1));
  EXPECT_TRUE(m.AddInsert(0, Bytes("x"), 0));
  EXPECT_TRUE(m.AddMove(3, 9, 0));
  EXPECT_TRUE(Snapshot(m) == before);
  EXPECT_FALSE(m.CanUndo());
}

// --- Groups ------------------------------------------------------------------

TEST(UndoManagerGroupTest, GroupIdCarriesTheCurrentRecord) {
  CMrUndoManager m;
  Editor e(m);
  CloseRecords(e, 3);
  m.StartUndoGroup();
  EXPECT_EQ((static_cast<DWORD>(m.nGroupId) >> 16) & 0xFFFF, 3u);
}

TEST(UndoManagerGroupTest, GroupsOpenedAtTheSameRecordDiffer) {
  CMrUndoManager m;
  LONG previous = 0;
  for (int i = 0; i < 70000; ++i) {  // past the wrap of the low half
    m.StartUndoGroup();
    ASSERT_NE(m.nGroupId, 0);
    ASSERT_NE(m.nGroupId, previous);
    previous = m.nGroupId;
    m.EndUndoGroup();
  }
}

TEST(UndoManagerGroupTest, NestedGroupsShareTheOuterId) {
  CMrUndoManager m;
  m.StartUndoGroup();
  const LONG outer = m.nGroupId;
  m.StartUndoGroup();
  EXPECT_EQ(m.nGroupId, outer);
  m.EndUndoGroup();
  EXPECT_EQ(m.nGroupId, outer);
  EXPECT_EQ(m.nNestLevel, 1);
  m.EndUndoGroup();
  EXPECT_EQ(m.nGroupId, 0);
}

TEST(UndoManagerGroupTest, UnbalancedEndAndSeparateInsideAGroupChangeNothing) {
  CMrUndoManager m;
  Editor e(m);
  const Snapshot empty(m);
  EXPECT_FALSE(m.EndUndoGroup());
  EXPECT_TRUE(Snapshot(m) == empty);

  m.StartUndoGroup();
  e.Type(0, "ab");
  const Snapshot grouped(m);
  EXPECT_FALSE(m.SeparateUndo());
  EXPECT_TRUE(Snapshot(m) == grouped);
  e.Type(2, "c");
  EXPECT_EQ(DataOf(m.pUR[0]), "abc");
  m.EndUndoGroup();
}

TEST(UndoManagerGroupTest, GroupUndoesAndRedoesAsOneStep) {
  CMrUndoManager m;
  Editor e(m);
  e.Type(0, "xy");
  m.SeparateUndo();
  m.StartUndoGroup();
  e.Insert(0, "1");
  e.Insert(3, "2");
  e.Erase(1, 1);
  m.EndUndoGroup();
  EXPECT_EQ(e.text, "1y2");
  EXPECT_TRUE(e.Undo());
  EXPECT_EQ(e.text, "xy");
  EXPECT_TRUE(e.Redo());
  EXPECT_EQ(e.text, "1y2");
  EXPECT_FALSE(m.IsCurrentUndone());
}

TEST(UndoManagerGroupTest, ReplaceIsARemovalThenAnInsertionInOneGroup) {
  CMrUndoManager m;
  Editor e(m);
  e.Type(0, "abcd");
  e.Replace(1, 2, "XYZ");
  EXPECT_EQ(m.nNestLevel, 0);
  EXPECT_EQ(m.nGroupId, 0);
  const MIREL_UNDO_RECORD& removal = m.pUR[m.cr - 1];
  const MIREL_UNDO_RECORD& insertion = m.pUR[m.cr];
  EXPECT_EQ(removal.action, URA_REMOVE);
  EXPECT_EQ(DataOf(removal), "bc");
  EXPECT_EQ(insertion.action, URA_INSERT);
  EXPECT_EQ(DataOf(insertion), "XYZ");
  EXPECT_NE(removal.nGroup, 0);
  EXPECT_EQ(removal.nGroup, insertion.nGroup);
  EXPECT_TRUE(e.Undo());
  EXPECT_EQ(e.text, "abcd");

  // Inside an open group the replacement joins it.
  m.StartUndoGroup();
  e.Replace(0, 1, "Q");
  EXPECT_EQ(m.pUR[m.cr].nGroup, m.nGroupId);
  m.EndUndoGroup();
}

// --- Save point and redo tail ---------------------------------------------------

TEST(UndoManagerSavePointTest, SavePointClosesTheOpenRecord) {
  CMrUndoManager m;
  Editor e(m);
  e.Type(0, "ab");
  ASSERT_TRUE(m.SetSavePoint());
  EXPECT_EQ(m.nSavePoint, 1);
  e.Type(2, "c");
  EXPECT_TRUE(e.Undo());
  EXPECT_EQ(e.text, "ab");
  EXPECT_EQ(m.cr, m.nSavePoint);
  EXPECT_TRUE(m.IsCurrentFree());
}

TEST(UndoManagerSavePointTest, ChangeAfterUndoDropsTheRedoTailAndALaterSavePoint) {
  CMrUndoManager m;
  Editor e(m);
  CloseRecords(e, 3);
  ASSERT_TRUE(m.SetSavePoint());
  e.Undo();
  e.Undo();
  EXPECT_TRUE(m.IsCurrentUndone());
  e.Insert(0, "z");
  EXPECT_FALSE(m.IsCurrentUndone());
  EXPECT_EQ(m.GetUsedRecords(), 2);
  EXPECT_EQ(m.nSavePoint, -1);
  EXPECT_FALSE(e.Redo());
  EXPECT_EQ(e.UndoAll(), 2);
  EXPECT_EQ(e.text, "");
}

TEST(UndoManagerSavePointTest, SavePointBeforeTheCurrentRecordSurvivesADrop) {
  CMrUndoManager m;
  Editor e(m);
  CloseRecords(e, 1);
  ASSERT_TRUE(m.SetSavePoint());
  CloseRecords(e, 2);
  e.Undo();
  ASSERT_TRUE(m.SeparateUndo());  // a forced boundary after an undo also drops the tail
  EXPECT_FALSE(m.IsCurrentUndone());
  EXPECT_EQ(m.GetUsedRecords(), 2);
  EXPECT_EQ(m.nSavePoint, 1);
}

TEST(UndoManagerSavePointTest, ResetForgetsEverything) {
  CMrUndoManager m;
  Editor e(m);
  CloseRecords(e, 5);
  m.StartUndoGroup();
  e.Type(0, "xy");
  m.Reset();
  EXPECT_FALSE(m.CanUndo());
  EXPECT_EQ(m.cr, 0);
  EXPECT_EQ(m.nNestLevel, 0);
  EXPECT_EQ(m.nGroupId, 0);
  EXPECT_EQ(m.nSavePoint, 0);
  EXPECT_EQ(m.GetUsedRecords(), 0);
  EXPECT_EQ(m.GetUsedBytes(), 0u);
  EXPECT_EQ(m.pUR[0].action, URA_NONE);
}

// --- Growth and trimming -----------------------------------------------------------

TEST(UndoManagerGrowthTest, ArrayGrowsBy64PastEachBoundary) {
  CMrUndoManager m;
  Editor e(m);
  CloseRecords(e, 126);
  EXPECT_EQ(m.nAlloc, 128);
  CloseRecords(e, 1);
  EXPECT_EQ(m.nAlloc, 192);
  CloseRecords(e, 64);
  EXPECT_EQ(m.nAlloc, 256);
  EXPECT_EQ(m.cr, 191);
  EXPECT_EQ(e.UndoAll(), 191);
  EXPECT_EQ(e.text, "");
  EXPECT_EQ(e.RedoAll(), 191);
  EXPECT_EQ(e.text.size(), 191u);
}

// n closed records of `size` bytes appended at the end, each filled with its own letter.
void AppendBlocks(Editor& e, int first, int n, LONG size) {
  for (int i = first; i < first + n; ++i) {
    e.Insert(Len(e.text), std::string(static_cast<std::size_t>(size), static_cast<char>('A' + i % 26)));
    ASSERT_TRUE(e.m.NextRecord());
  }
}

TEST(UndoManagerTrimTest, OverTheLimitTheOldestHalfLimitGoes) {
  constexpr LONG kData = 8192;
  constexpr LONG kRecordBytes =
      kData + CMrUndoManager::UNDO_DATA_SLACK + CMrUndoManager::UNDO_RECORD_OVERHEAD;
  constexpr LONG kDropped = (0x100000 / 2) / kRecordBytes + 1;  // the fewest records above half the limit
  CMrUndoManager m;
  Editor e(m);
  m.SetMemLimit(kLongMax);
  AppendBlocks(e, 0, 140, kData);
  ASSERT_TRUE(m.SetSavePoint());
  AppendBlocks(e, 140, 10, kData);
  ASSERT_EQ(m.cr, 150);
  const std::string full = e.text;

  m.SetMemLimit(0x100000);
  e.Insert(Len(e.text), "!");
  ASSERT_TRUE(m.NextRecord());
  EXPECT_EQ(m.cr, 151 - kDropped);
  EXPECT_EQ(m.nSavePoint, 140 - kDropped);
  EXPECT_EQ(m.GetUsedBytes(), CountedBytes(m));
  // The newest records stay: undoing all of them gives the text of the first dropped ones.
  EXPECT_EQ(m.pUR[0].pos, kDropped * kData);
  EXPECT_EQ(e.UndoAll(), 151 - kDropped);
  EXPECT_EQ(e.text, full.substr(0, static_cast<std::size_t>(kDropped) * kData));
}

TEST(UndoManagerTrimTest, NoTrimmingAtOrBelowTheKeepCount) {
  CMrUndoManager m;
  Editor e(m);
  AppendBlocks(e, 0, 100, 16384);  // 1.6 MiB in 100 records
  EXPECT_EQ(m.cr, 100);
  AppendBlocks(e, 100, 1, 16384);
  constexpr LONG kRecordBytes =
      16384 + CMrUndoManager::UNDO_DATA_SLACK + CMrUndoManager::UNDO_RECORD_OVERHEAD;
  EXPECT_EQ(m.cr, 101 - ((0x100000 / 2) / kRecordBytes + 1));
}

TEST(UndoManagerTrimTest, TrimmingDuringRedoKeepsTheWholeRedoTail) {
  CMrUndoManager m;
  Editor e(m);
  m.SetMemLimit(kLongMax);
  AppendBlocks(e, 0, 140, 8192);
  const std::string full = e.text;
  ASSERT_EQ(e.UndoAll(), 140);
  e.Redo();
  e.Redo();
  m.SetMemLimit(0x100000);
  // Only two records are done; the limit asks for 64 to go.
  ASSERT_TRUE(e.Redo());
  EXPECT_EQ(m.cr, 0);
  EXPECT_EQ(m.GetUsedRecords(), 137);
  EXPECT_TRUE(m.IsCurrentUndone());
  EXPECT_EQ(m.GetUsedBytes(), CountedBytes(m));
  e.RedoAll();
  EXPECT_EQ(e.text, full);
  EXPECT_GE(m.cr, 0);
}

// --- Failed allocations ------------------------------------------------------------

TEST(UndoManagerAllocationTest, FailedRecordingLeavesTheHistoryAsItWas) {
  CFailingUndoManager m;
  Editor e(m);
  e.Type(0, "abcdefghi");  // fills the first buffer: the next letter needs more room
  const Snapshot before(m);
  m.nAllowed = 0;
  EXPECT_FALSE(m.AddInsert(9, Bytes("j"), 1));  // merge
  EXPECT_FALSE(m.AddInsert(0, Bytes("j"), 1));  // new record
  EXPECT_FALSE(m.AddMove(0, 5, 1));
  EXPECT_FALSE(m.AddDeleteHex(0, Bytes("a"), 1));
  EXPECT_TRUE(Snapshot(m) == before);
  m.nAllowed = INT_MAX;
  EXPECT_TRUE(m.AddInsert(9, Bytes("j"), 1));
  EXPECT_EQ(DataOf(m.pUR[0]), "abcdefghij");
}

TEST(UndoManagerAllocationTest, FailedArrayGrowthLeavesTheHistoryAsItWas) {
  CFailingUndoManager m;
  Editor e(m);
  CloseRecords(e, 126);
  const Snapshot before(m);
  m.nAllowed = 1;  // the data buffer, not the bigger array
  EXPECT_FALSE(m.AddInsert(0, Bytes("x"), 1));
  EXPECT_TRUE(Snapshot(m) == before);
  m.nAllowed = INT_MAX;
  EXPECT_TRUE(m.AddInsert(0, Bytes("x"), 1));
  EXPECT_EQ(m.nAlloc, 192);
}

TEST(UndoManagerAllocationTest, ReplacementIsRecordedWholeOrNotAtAll) {
  bool failed = false;
  for (int allowed = 0;; ++allowed) {
    CFailingUndoManager m;
    Editor e(m);
    CloseRecords(e, 125);  // the second record of the replacement needs a bigger array
    e.Type(0, "abc");
    e.Undo();  // a redo tail that a failure must not drop
    const Snapshot before(m);
    m.nAllowed = allowed;
    const std::string removed = e.text.substr(0, 2);
    if (!m.AddReplace(0, Bytes(removed), 2, Bytes("XYZ"), 3)) {
      failed = true;
      EXPECT_TRUE(Snapshot(m) == before) << "after " << allowed << " allocations";
      continue;
    }
    EXPECT_TRUE(failed);
    EXPECT_EQ(m.pUR[m.cr - 1].action, URA_REMOVE);
    EXPECT_EQ(m.pUR[m.cr].action, URA_INSERT);
    EXPECT_EQ(m.nNestLevel, 0);
    break;
  }
}

// Redo closes records without checking for failure: closing must never need memory,
// whatever made the record and wherever it lies against the array's growth steps.
TEST(UndoManagerAllocationTest, ClosingAndRedoingNeverNeedMemory) {
  for (int kind = 0; kind < 4; ++kind) {
    for (int fill = 123; fill <= 127; ++fill) {
      CFailingUndoManager m;
      Editor e(m);
      CloseRecords(e, fill);
      const BYTE byte = 0x41;
      switch (kind) {
        case 0:
          e.Insert(0, "x");
          break;
        case 1:
          e.Replace(0, 1, "XY");
          break;
        case 2:
          ASSERT_TRUE(m.AddMove(0, 3, 1));
          break;
        default:
          ASSERT_TRUE(m.AddInsertHex(0, &byte, 1));
          break;
      }
      m.nAllowed = 0;
      EXPECT_TRUE(m.NextRecord()) << "kind " << kind << ", " << fill << " records before";
      if (kind < 2) {
        const std::string last = e.text;
        e.UndoAll();
        e.RedoAll();
        EXPECT_EQ(e.text, last);
      }
    }
  }
}

TEST(UndoManagerAllocationTest, MissingArrayIsMadeByTheFirstRecord) {
  struct CNoArrayManager : CFailingUndoManager {
    CNoArrayManager() {
      std::free(pUR);
      pUR = nullptr;
      nAlloc = 0;
    }
  } m;
  EXPECT_FALSE(m.CanUndo());
  EXPECT_FALSE(m.IsCurrentUndone());
  EXPECT_TRUE(m.SeparateUndo());
  EXPECT_TRUE(m.SetSavePoint());
  EXPECT_FALSE(m.NextRecord());
  m.nAllowed = 1;
  EXPECT_FALSE(m.AddInsert(0, Bytes("x"), 1));
  EXPECT_EQ(m.pUR, nullptr);
  m.nAllowed = INT_MAX;
  EXPECT_TRUE(m.AddInsert(0, Bytes("x"), 1));
  EXPECT_EQ(m.nAlloc, 128);
  EXPECT_TRUE(m.CanUndo());
}

// --- Random edits against a text model ---------------------------------------------

// Random typing, deletes, replacements, groups, undo and redo: undoing back to
// the save point always gives the saved text, redo restores what undo took, and
// the size count matches the records. A small limit makes trimming run too.
TEST(UndoManagerModelTest, RandomEditsUndoAndRedoConsistently) {
  for (LONG limit : {kLongMax, LONG{4096}}) {
    CMrUndoManager m;
    m.SetMemLimit(limit);
    m.SetKeepMin(limit == kLongMax ? 100 : 4);
    Editor e(m);
    std::mt19937 rng(1234);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::string saved;
    LONG caret = 0;
    for (int step = 0; step < 4000; ++step) {
      caret = std::min<LONG>(caret, Len(e.text));
      switch (pick(10)) {
        case 0:
        case 1:
        case 2:
          e.Insert(caret, std::string(1, " ab\r\n"[pick(5)]));
          ++caret;
          break;
        case 3:
          if (caret > 0) e.Erase(--caret, 1);
          break;
        case 4:
          if (caret < Len(e.text)) e.Erase(caret, 1);
          break;
        case 5:
          caret = pick(Len(e.text) + 1);
          break;
        case 6: {
          const LONG n = std::min<LONG>(pick(4), Len(e.text) - caret);
          e.Replace(caret, n, std::string(static_cast<std::size_t>(pick(4)), 'R'));
          break;
        }
        case 7:
          m.StartUndoGroup();
          e.Insert(caret, "G");
          e.Insert(0, "H");
          m.EndUndoGroup();
          break;
        case 8:
          for (int i = pick(4); i >= 0; --i) e.Undo();
          break;
        default:
          if (pick(3) == 0) {
            m.SetSavePoint();
            saved = e.text;
          } else {
            e.Redo();
          }
          break;
      }
      ASSERT_EQ(m.nNestLevel, 0);
      if (m.nSavePoint >= 0 && m.cr == m.nSavePoint && m.IsCurrentFree()) {
        ASSERT_EQ(e.text, saved) << "step " << step;
      }
      ASSERT_EQ(m.GetUsedBytes(), CountedBytes(m));
    }
    const std::string last = e.text;
    e.UndoAll();
    if (limit == kLongMax) {
      EXPECT_EQ(e.text, "");
    }
    e.RedoAll();
    EXPECT_EQ(e.text, last);
  }
}
