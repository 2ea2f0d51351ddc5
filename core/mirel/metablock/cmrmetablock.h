// Per-paragraph range lists (find results and hyperlinks): byte ranges from
// the paragraph start, scanned lazily when a row of the paragraph is painted
// and dropped from the first paragraph an edit changes.
#pragma once

#include <windows.h>

#include <vector>

class CMirelDoc;

// {start, end}: offsets from the paragraph start, end exclusive.
struct MIREL_META_RANGE {
  int nStart;
  int nEnd;
};

// The ranges of one paragraph. Entries are filled from 0 in ascending order;
// unused entries are {0, 0}, so readers stop at the first of those.
struct MIREL_META_SLOT {
  std::vector<MIREL_META_RANGE> ranges;  // size is the capacity
  int nUsed = 0;
  BOOL bScanned = FALSE;
};

constexpr int MIREL_META_SLOT_STEP = 128;
constexpr int MIREL_META_RANGE_STEP = 4;

class CMrMetaBlock {
 public:
  CMrMetaBlock();
  virtual ~CMrMetaBlock();
  CMrMetaBlock(const CMrMetaBlock&) = delete;
  CMrMetaBlock& operator=(const CMrMetaBlock&) = delete;

  // Scans the paragraph whose first display row is nRow.
  virtual void ScanLine(CMirelDoc* pDoc, int nRow) = 0;
  // The text changed from paragraph nPara on: those slots become unscanned
  // and empty.
  virtual void ClearFrom(int nPara);
  // Scans the paragraphs of rows nFirstRow..nLastRow not yet scanned.
  virtual void Rescan(CMirelDoc* pDoc, int nFirstRow, int nLastRow);

  // Drops every slot; with bAlloc starts again with 128 empty ones.
  void Reset(BOOL bAlloc);
  int GetSlotCount() const { return static_cast<int>(m_slots.size()); }
  // The slot of a paragraph, NULL beyond the slot count.
  const MIREL_META_SLOT* GetSlot(int nPara) const;
  // The range of paragraph nPara holding offset nOffset (start <= offset <=
  // end), NULL when none.
  const MIREL_META_RANGE* FindRange(int nPara, int nOffset) const;

 protected:
  // Appends a range to a paragraph's slot, growing it by 4 entries when full.
  void AddRange(int nPara, int nStart, int nEnd);
  // TRUE when the row starts a paragraph whose slot waits for a scan; the
  // slot is then marked scanned and *pnPara receives the paragraph.
  BOOL BeginScan(CMirelDoc* pDoc, int nRow, int* pnPara);

 private:
  void GrowTo(int nPara);
  std::vector<MIREL_META_SLOT> m_slots;
};

// Every occurrence of the last find pattern, searched as plain text.
class CMrMetaBlockFindResult : public CMrMetaBlock {
 public:
  void ScanLine(CMirelDoc* pDoc, int nRow) override;
  // Clears from nPara when a pattern is set.
  virtual void Invalidate(int nPara);
  // A copy of the pattern bytes (NULL or a length <= 0 forgets the pattern).
  void SetPattern(const BYTE* pPattern, int nLen, int nFlags);
  int GetPatternLength() const { return static_cast<int>(m_pattern.size()); }
  int GetFlags() const { return m_nFlags; }

 private:
  std::vector<BYTE> m_pattern;
  int m_nFlags = 0;
};

// Every link: one of the prefixes "https://", "http://", "mailto:", "ftp://"
// (any case) and what follows up to a separator or the paragraph end.
class CMrMetaBlockHyperLink : public CMrMetaBlock {
 public:
  void ScanLine(CMirelDoc* pDoc, int nRow) override;
  virtual void Invalidate(int nPara);
};
