#include "mirel/mrhostansi.h"

#include <cstring>

#include "mirel/ccontentshandler.h"
#include "mirel/cencodings.h"
#include "mirel/cmireldoc.h"

namespace {

// One run without NUL bytes through the converter.
BOOL ConvertRun(const BYTE* p, int n, int nCodePage, BOOL bWide, std::vector<BYTE>* pOut) {
  if (n == 0) return TRUE;
  CEncodings enc(p, n, MIREL_ENCODING_ANSI, nCodePage);
  const int nOut = bWide ? enc.ToWideChar() : enc.ToUtf8();
  if (nOut <= 0 || enc.GetOutput() == nullptr) return FALSE;
  pOut->insert(pOut->end(), enc.GetOutput(), enc.GetOutput() + nOut);
  return TRUE;
}

}  // namespace

BOOL MrAnsiToDocument(const CMirelDoc& doc, const char* pText, int nLen, int nCodePage,
                      std::vector<BYTE>* pOut) {
  pOut->clear();
  if (doc.pContents == nullptr || nLen < 0 || static_cast<DWORD>(nLen) > MIREL_MAX_BODY_BYTES) return FALSE;
  if (nLen == 0) return TRUE;
  if (pText == nullptr) return FALSE;
  const BYTE* p = reinterpret_cast<const BYTE*>(pText);
  BOOL bWide = FALSE;
  switch (doc.nFileEncoding) {
    case MIREL_ENCODING_ANSI:
      pOut->assign(p, p + nLen);
      return TRUE;
    case MIREL_ENCODING_UTF16BE:  // its units are little-endian as well
    case MIREL_ENCODING_UTF16LE:
      bWide = TRUE;
      break;
    case MIREL_ENCODING_UTF8:
    case MIREL_ENCODING_UTF8_BOM:
      break;
    default:
      return FALSE;
  }
  // The converters stop at a NUL, so the text is converted between its NULs.
  int nRun = 0;
  for (int i = 0; i <= nLen; ++i) {
    if (i < nLen && p[i] != 0) continue;
    if (!ConvertRun(p + nRun, i - nRun, nCodePage, bWide, pOut)) return FALSE;
    if (i < nLen) pOut->insert(pOut->end(), bWide ? 2 : 1, 0);
    nRun = i + 1;
  }
  return !pOut->empty();
}
