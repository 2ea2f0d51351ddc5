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

// Reads a bookmark name as a number the way atoi does (leading white space,
// a sign, digits; what follows is ignored), but only a name with digits whose
// number is 0 to 9 names a bookmark. FALSE for NULL and every other name.
inline BOOL MrParseBookmarkName(const char* psz, int* pnSlot) {
  if (psz == nullptr) return FALSE;
  while (*psz == ' ' || (*psz >= '\t' && *psz <= '\r')) ++psz;
  const BOOL bNegative = *psz == '-';
  if (*psz == '-' || *psz == '+') ++psz;
  if (*psz < '0' || *psz > '9') return FALSE;
  int n = 0;
  for (; *psz >= '0' && *psz <= '9'; ++psz) {
    n = n * 10 + (*psz - '0');
    if (n >= MIREL_NAMED_BOOKMARK_COUNT) return FALSE;
  }
  if (bNegative && n != 0) return FALSE;
  *pnSlot = n;
  return TRUE;
}
