// Exported functions: sizes, positions, paragraphs and display rows.
#include "mirelctrl/mirelctrl.h"

#include <climits>

#include "mirel/cmireldoc.h"
#include "mirel/mirel.h"
#include "mirel/mrlibraryframe.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

// Document sizes and positions are unsigned; the interface hands out ints.
int ToInt(DWORD n) {
  return n > static_cast<DWORD>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

}  // namespace

extern "C" {

MIREL_API int MIREL_CALL Mirel_GetContentsSize(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? ToInt(pdoc->GetContentsSize()) : 0;
}

MIREL_API int MIREL_CALL Mirel_GetFileSize(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? ToInt(pdoc->GetFileSize()) : 0;
}

MIREL_API int MIREL_CALL Mirel_GetCurrentCharLen(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? ToInt(pdoc->GetCurrentCharLen()) : 0;
}

MIREL_API int MIREL_CALL Mirel_GetCurrentPos(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? ToInt(pdoc->GetCurrentPos()) : 0;
}

MIREL_API int MIREL_CALL Mirel_GetCurrentFilePos(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? ToInt(pdoc->GetCurrentFilePos()) : 0;
}

MIREL_API int MIREL_CALL Mirel_GetCurrentColumnIndex(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? ToInt(pdoc->GetCurrentColumnIndex()) : 0;
}

MIREL_API int MIREL_CALL Mirel_GetCurrentParagraphIndex(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->GetCurrentParagraphIndex() : 0;
}

MIREL_API int MIREL_CALL Mirel_GetParagraphCount(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->GetParagraphCount() : 0;
}

MIREL_API int MIREL_CALL Mirel_GetParagraphIndex(HWND hWnd, int nPos) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  // A negative position is the start of the text.
  return pdoc ? pdoc->GetParagraphIndex(nPos < 0 ? 0 : static_cast<DWORD>(nPos)) : 0;
}

MIREL_API int MIREL_CALL Mirel_GetParagraph(HWND hWnd, int nParagraph, int* pnStart, int* pnEnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  return pdoc ? pdoc->GetParagraph(nParagraph, pnStart, pnEnd) : 0;
}

MIREL_API int MIREL_CALL Mirel_GetLineCount(HWND hWnd) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  if (pdoc == nullptr) return 0;
  switch (pdoc->nViewType) {
    case MIREL_VIEW_TYPE_TEXT:
      return pdoc->nLineCount;
    case MIREL_VIEW_TYPE_HEX:
      return pdoc->GetHexLineCount();
    default:
      return 0;
  }
}

MIREL_API BOOL MIREL_CALL Mirel_IsDelimiter(HWND hWnd, const char* pch) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  if (pdoc == nullptr || pch == nullptr) return FALSE;
  // A UTF-16 unit is two bytes, but a host may pass "" (one byte): the second
  // byte is read only when the first is not a terminator. A unit whose low
  // byte is zero is above 0xFF then, and no unit above 0xFF is a delimiter.
  if (IsWideEncoding(pdoc->nFileEncoding) && pch[0] == '\0') return FALSE;
  return pdoc->IsWordDelimiter(reinterpret_cast<const BYTE*>(pch));
}

}  // extern "C"
