// Lead-byte tables of the double-byte code pages.
#include "mirel/mrtextunits.h"

void MrBuildLeadByteTable(UINT nCodePage, BYTE* pTable) {
  if (pTable == nullptr) return;
  const UINT nCp = nCodePage == 0 ? CP_ACP : nCodePage;
  for (int b = 0; b < 256; ++b) pTable[b] = IsDBCSLeadByteEx(nCp, static_cast<BYTE>(b)) ? 1 : 0;
}
