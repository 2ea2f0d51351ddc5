// Bookmark record of a document: ten named slots (0 to 9) followed by the
// ordinary bookmarks, each marking one paragraph. The re-layout keeps the
// paragraph numbers in step with edits.
#pragma once

#include <windows.h>

// Slots 0..9 hold the named bookmarks, slot n for bookmark n.
constexpr int MIREL_NAMED_BOOKMARK_COUNT = 10;
// Kind of a slot that marks nothing.
constexpr BYTE MIREL_BOOKMARK_FREE = 0x0A;
// Kind of an ordinary (unnamed) bookmark; they live in the slots from 10 on.
constexpr BYTE MIREL_BOOKMARK_ORDINARY = 0x0B;
// Slots made by the first toggle, and the growth step after that.
constexpr int MIREL_BOOKMARK_INITIAL_SLOTS = 20;
constexpr int MIREL_BOOKMARK_GROWTH = 10;

// One slot. A plain record: the slot array is grown with realloc.
class CMrBookmark {
 public:
  CMrBookmark() = default;
  CMrBookmark(BYTE kind, int para) : chKind(kind), nPara(para) {}

  BOOL IsFree() const { return chKind == MIREL_BOOKMARK_FREE; }

  BYTE chKind = MIREL_BOOKMARK_FREE;  // 0..9 named, 0x0B ordinary, 0x0A free
  int nPara = 0;                      // paragraph marked
};
