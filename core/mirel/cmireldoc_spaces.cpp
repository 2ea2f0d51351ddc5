// The spaces that fill a caret's virtual space.
#include <climits>
#include "mirel/mirel.h"
#include "mirel/cmireldoc.h"

int CMirelDoc::MakeSpaces(int nCount, BYTE* pBuf, int nBufSize) const {
  if (nCount <= 0) return 0;
  const BOOL bWide = IsWideEncoding(nFileEncoding);
  const int nUnit = bWide ? 2 : 1;
  if (pBuf == nullptr) return nCount > INT_MAX / nUnit ? 0 : nCount * nUnit;
  int nWritten = 0;
  for (int i = 0; i < nCount && nBufSize - nWritten >= nUnit; ++i)
    nWritten += MrPutUnit(pBuf + nWritten, bWide, MR_CHAR_SPACE);
  return nWritten;
}
