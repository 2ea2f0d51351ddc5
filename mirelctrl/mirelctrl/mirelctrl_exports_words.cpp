// Exported functions: the word at a position and moving the caret to a
// paragraph and column.
#include <climits>

#include "mirel/cmireldoc.h"
#include "mirelctrl/mirelctrl.h"
#include "mirel/mrlibraryframe.h"
#include "mirel/mrnothrow.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

using WordQuery = BOOL (CMirelDoc::*)(DWORD, DWORD*, DWORD*);

// Runs a word query for the host: a negative position or a NULL output is
// refused and leaves the outputs as they were.
void QueryWord(HWND hWnd, WordQuery query, int nPos, int* pnStart, int* pnEnd) {
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  if (pdoc == nullptr || nPos < 0 || pnStart == nullptr || pnEnd == nullptr) return;
  DWORD nStart = 0;
  DWORD nEnd = 0;
  if (!(pdoc->*query)(static_cast<DWORD>(nPos), &nStart, &nEnd)) return;
  // Texts are far below INT_MAX; the cap only keeps the conversion defined.
  *pnStart = nStart > static_cast<DWORD>(INT_MAX) ? INT_MAX : static_cast<int>(nStart);
  *pnEnd = nEnd > static_cast<DWORD>(INT_MAX) ? INT_MAX : static_cast<int>(nEnd);
}

}  // namespace

extern "C" {

MIREL_API void MIREL_CALL Mirel_GetCurrentWord(HWND hWnd, int nPos, int* pnStart, int* pnEnd) {
  const MrLibraryFrame frame;
  QueryWord(hWnd, &CMirelDoc::GetWordRange, nPos, pnStart, pnEnd);
}

MIREL_API void MIREL_CALL Mirel_GetCurrentWordInLine(HWND hWnd, int nPos, int* pnStart, int* pnEnd) {
  const MrLibraryFrame frame;
  QueryWord(hWnd, &CMirelDoc::GetCurrentWordInLine, nPos, pnStart, pnEnd);
}

MIREL_API void MIREL_CALL Mirel_Goto(HWND hWnd, int nParagraph, int nColumn) {
  const MrLibraryFrame frame;
  CMirelDoc* pdoc = MirelFindDoc(hWnd);
  if (pdoc != nullptr) MrGuarded([&] { return pdoc->Goto(nParagraph, nColumn); });
}

}  // extern "C"
