// Range lists as the text view reads them: absolute text positions of a
// paragraph's ranges, and the link under a text position.
#pragma once

#include <windows.h>

#include <vector>

class CMirelDoc;
class CMrMetaBlock;

struct MrTextRange {
  DWORD nStart;
  DWORD nEnd;
};

// The ranges of the paragraph of display row nRow, in text positions.
std::vector<MrTextRange> MrParagraphRanges(const CMrMetaBlock* pList, const CMirelDoc& doc, int nRow);

// The hyperlink range holding nPos (start <= nPos <= end) while links are
// shown; FALSE when there is none.
BOOL MrFindLinkAt(CMirelDoc& doc, DWORD nPos, MrTextRange* pRange);

// Steps through a row's ranges as the painted runs move on: InRange(p) for
// ascending p in amortised constant time.
class CMrRangeCursor {
 public:
  explicit CMrRangeCursor(const std::vector<MrTextRange>& ranges) : m_ranges(ranges) {}
  BOOL InRange(DWORD p) {
    while (m_nNext < m_ranges.size() && m_ranges[m_nNext].nEnd <= p) ++m_nNext;
    return m_nNext < m_ranges.size() && m_ranges[m_nNext].nStart <= p;
  }

 private:
  const std::vector<MrTextRange>& m_ranges;
  size_t m_nNext = 0;
};
