#include "mirel/cmrprintinfo.h"

#include <cstdlib>

#include "mirel/syntax/cmrsyntax.h"

CMrPrintInfo::CMrPrintInfo()
    : bOwnsSyntax(FALSE),
      pLines(nullptr),
      pPages(nullptr),
      pSyntax(nullptr),
      hDC(nullptr),
      bColor(FALSE),
      bLineNo(FALSE),
      nWrapMode(1),
      nReserved(0),
      nLineHeight(0),
      nLinesPerPage(0),
      nTabWidth(0),
      nPageCount(0),
      nTextLeft(0),
      nLastLine(0),
      rcPrint{0, 0, 0, 0} {}

CMrPrintInfo::~CMrPrintInfo() {
  ReleaseTables();
}

void CMrPrintInfo::ReleaseTables() {
  std::free(pLines);
  std::free(pPages);
  pLines = nullptr;
  pPages = nullptr;
  nLineAlloc = 0;
  nPageAlloc = 0;
  nPageCount = 0;
  nLastLine = 0;
  if (bOwnsSyntax) DeleteSyntax(pSyntax);
  pSyntax = nullptr;
  bOwnsSyntax = FALSE;
  widthCache.clear();
  widthCache.shrink_to_fit();
}

CMrSyntax* CMrPrintInfo::CurrentSyntax(CMrSyntax* pDocSyntax) {
  if (pSyntax != nullptr && !bOwnsSyntax) pSyntax = pDocSyntax;
  return pSyntax;
}
