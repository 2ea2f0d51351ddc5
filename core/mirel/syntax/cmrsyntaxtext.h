// The text a lexer reads: the pointer the text store gives for a paragraph,
// the text offset that pointer stands for, and the end of the stored text.
// Every read is bounded by the text end, and UTF-16 units are read whole.
#pragma once

#include <windows.h>

#include "mirel/mirel.h"

// Returned by CMrSyntaxText::At where no whole unit lies.
constexpr UINT MR_SYNTAX_NO_UNIT = 0xFFFFFFFFu;

class CMrSyntaxText {
 public:
  CMrSyntaxText(const BYTE* pData, DWORD nDataOffset, DWORD nTextEnd, int nEncoding)
      : pData(pData), nDataOffset(nDataOffset), nTextEnd(nTextEnd), bWide(IsWideEncoding(nEncoding)) {}

  BOOL IsWide() const { return bWide; }
  DWORD UnitSize() const { return bWide ? 2 : 1; }
  DWORD TextEnd() const { return nTextEnd; }

  // TRUE when a whole unit lies at text offset nPos.
  BOOL HasUnit(DWORD nPos) const {
    return pData != nullptr && nPos >= nDataOffset && nPos <= nTextEnd && nTextEnd - nPos >= UnitSize();
  }

  // The whole unit at text offset nPos, or MR_SYNTAX_NO_UNIT.
  UINT At(DWORD nPos) const {
    return HasUnit(nPos) ? MrUnitAt(pData + (nPos - nDataOffset), bWide) : MR_SYNTAX_NO_UNIT;
  }

  // TRUE when the unit at nPos is the 8-bit character ch (a zero character
  // never matches: it stands for an undefined one).
  BOOL Is(DWORD nPos, char ch) const { return ch != 0 && At(nPos) == static_cast<BYTE>(ch); }

  // The bytes from nPos (only for offsets where HasUnit holds).
  const BYTE* Ptr(DWORD nPos) const { return pData + (nPos - nDataOffset); }

 private:
  const BYTE* pData;
  DWORD nDataOffset;
  DWORD nTextEnd;
  BOOL bWide;
};
