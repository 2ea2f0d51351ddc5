// Exported helpers that sniff a byte buffer before the host opens a document.
#include "mirelctrl/mirelctrl.h"

#include "mirel/cencodings.h"
#include "mirel/mirel.h"

#include <algorithm>

extern "C" MIREL_API int MIREL_CALL Mirel_DetermineEncoding(const char* pBuf, int nLen) {
  if (pBuf == nullptr || nLen < 0) nLen = 0;
  CEncodings enc(reinterpret_cast<const BYTE*>(pBuf), nLen);
  return enc.GetEncoding();
}

extern "C" MIREL_API int MIREL_CALL Mirel_DetermineFileFormat(const char* pBuf, unsigned nLen,
                                                              int nEncoding) {
  if (pBuf == nullptr) nLen = 0;
  const auto* p = reinterpret_cast<const BYTE*>(pBuf);
  // UTF-16 (both codes hold little-endian units) is read a whole unit at a
  // time, so only a unit that equals CR or LF counts; a final odd byte is
  // not a unit.
  const BOOL wide = IsWideEncoding(nEncoding);
  const unsigned unit = static_cast<unsigned>(MrUnitSize(nEncoding));
  const unsigned units = nLen / unit;
  auto at = [&](unsigned i) { return MrUnitAt(p + i * unit, wide); };
  unsigned crlf = 0, lf = 0, cr = 0;
  for (unsigned i = 0; i < units; ++i) {
    const unsigned c = at(i);
    if (c == MR_CHAR_CR) {
      if (i + 1 < units && at(i + 1) == MR_CHAR_LF) {
        ++crlf;
        ++i;
      } else {
        ++cr;
      }
    } else if (c == MR_CHAR_LF) {
      ++lf;
    }
  }
  const unsigned most = std::max({crlf, lf, cr});
  if (crlf == most) return MIREL_FILE_FORMAT_CRLF;
  if (lf == most) return MIREL_FILE_FORMAT_LF;
  return MIREL_FILE_FORMAT_CR;
}
