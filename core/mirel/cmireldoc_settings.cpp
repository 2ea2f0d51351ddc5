// The document's settings that change no layout (flags, option bits, colours,
// marks, the current tag, bookmark queries, the keyboard layout) and the tab
// size, line spacing and bytes per hex row. Each setter stores its value and
// repaints as its kind needs; before the first edit window is registered
// only the value changes.
#include <algorithm>
#include <climits>

#include <windows.h>
#include <imm.h>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"

namespace {

// Primary language identifiers of the input methods the views know.
constexpr WORD kLangChineseTraditional = 1028;
constexpr WORD kLangJapanese = 1041;
constexpr WORD kLangKorean = 1042;
constexpr WORD kLangChineseSimplified = 2052;
constexpr BYTE kIMELanguageNone = 0;
constexpr BYTE kIMELanguageChineseTraditional = 1;
constexpr BYTE kIMELanguageJapanese = 2;
constexpr BYTE kIMELanguageKorean = 3;
constexpr BYTE kIMELanguageChineseSimplified = 4;

// Every visible row of every edit window, once windows exist.
void RepaintAll(CMirelDoc& doc) {
  if (doc.nEditCount > 0) doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}

void SetOption(BYTE& nOptions, BYTE nBit, BOOL bOn) {
  nOptions = static_cast<BYTE>(bOn ? (nOptions | nBit) : (nOptions & ~nBit));
}

int ClampToPositiveInt(long long n) {
  return static_cast<int>(std::clamp<long long>(n, 1, INT_MAX));
}

// The device context of an edit window with the text font selected while
// it lives.
class CMrEditDC {
 public:
  CMrEditDC(HWND hWnd, HFONT hFont) : m_hWnd(hWnd), m_hdc(GetDC(hWnd)) {
    if (m_hdc != nullptr && hFont != nullptr) m_hOldFont = SelectObject(m_hdc, hFont);
  }
  ~CMrEditDC() {
    if (m_hdc == nullptr) return;
    if (m_hOldFont != nullptr) SelectObject(m_hdc, m_hOldFont);
    ReleaseDC(m_hWnd, m_hdc);
  }
  CMrEditDC(const CMrEditDC&) = delete;
  CMrEditDC& operator=(const CMrEditDC&) = delete;
  HDC Get() const { return m_hdc; }

 private:
  HWND m_hWnd;
  HDC m_hdc;
  HGDIOBJ m_hOldFont = nullptr;
};

}  // namespace

// ---------------------------------------------------------------------------
// Flags

void CMirelDoc::SetAutoIndentation(BOOL bOn) {
  bAutoIndentation = bOn;
}

void CMirelDoc::SetAutoSelect(BOOL bOn) {
  bAutoSelect = bOn;
  if (bOn) return;
  // Leaving sticky selection collapses the selection to the caret.
  if (pLines == nullptr || nLineCount <= 0) return;
  const DWORD nCaret = static_cast<DWORD>(std::max(nCaretPos, 0));
  block.Clear();
  if (nViewType == MIREL_VIEW_TYPE_TEXT) {
    const int nLine = cli >= 0 && cli < nLineCount ? cli : GetLineFromPos(nCaret);
    block.Reset(nCaret, nLine, FALSE);
  } else {
    block.SetBoth(nCaret, std::max(cli, 0));
  }
  RefreshFocusedEdit();
  RepaintAll(*this);
}

void CMirelDoc::SetHomeToFirstCol(BOOL bOn) {
  bHomeToFirstCol = bOn;
}

void CMirelDoc::SetSkipEmptyLineOnBlockIndent(BOOL bOn) {
  bSkipEmptyLineOnBlockIndent = bOn;
}

void CMirelDoc::SetSyntaxIndentation(BOOL bOn) {
  bSyntaxIndentation = bOn;
}

void CMirelDoc::SetTabToSpace(BOOL bOn) {
  bTabToSpace = bOn;
}

void CMirelDoc::WantTab(BOOL bOn) {
  bWantTab = bOn;
}

void CMirelDoc::ShowBreakCode(BOOL bOn) {
  bShowBreakCode = bOn;
  RepaintAll(*this);
}

void CMirelDoc::ShowWhiteSpaceCode(BOOL bOn) {
  bShowWhiteSpaceCode = bOn;
  RepaintAll(*this);
}

void CMirelDoc::SetShowMatchingBrace(BOOL bOn) {
  bShowMatchingBrace = bOn;
  // Turned on again, no brace shows until the caret moves.
  if (!bOn) nBracePos[0] = nBracePos[1] = 0;
}

void CMirelDoc::SetActiveLineType(int nType) {
  nActiveLineType = static_cast<BYTE>(nType);
  RepaintAll(*this);
}

// ---------------------------------------------------------------------------
// Option bits

void CMirelDoc::SetDblClkWordSelect(BOOL bOn) {
  SetOption(nOptions, MIREL_OPT_DBLCLK_WORD_SELECT, bOn);
}

void CMirelDoc::SetOverwriteMode(BOOL bOn) {
  SetOption(nOptions, MIREL_OPT_OVERWRITE, bOn);
  // The caret shape follows the mode.
  UpdateActiveCaret(0, 0);
}

void CMirelDoc::SetBinary(BOOL bOn) {
  SetOption(nOptions, MIREL_OPT_BINARY, bOn);
}

void CMirelDoc::SetDragPending(BOOL bOn) {
  SetOption(nOptions, MIREL_OPT_DRAG_PENDING, bOn);
}

void CMirelDoc::SetInsertKeyEnabled(BOOL bOn) {
  SetOption(nOptions, MIREL_OPT_INSERT_TOGGLE, bOn);
}

namespace {

// A margin switch: the bit, then, with edit windows, the margins again and a
// repaint. Without windows the margins are computed when the first registers.
void SetMarginOption(CMirelDoc& doc, BYTE nBit, BOOL bOn) {
  SetOption(doc.nOptions, nBit, bOn);
  if (doc.nEditCount <= 0) return;
  const int nOldMargin = doc.nLeftMargin;
  doc.CalcLineNoWidth();
  doc.CalcLeftMargin();
  if (doc.nLeftMargin != nOldMargin) {
    // The text moved sideways: wrapped rows break at the new width, and the
    // scroll bars and the caret follow the text.
    doc.RelayoutForWrapWidth(nOldMargin);
    doc.UpdateAllScrollBars();
    doc.UpdateActiveCaret(0, 0);
  }
  RepaintAll(doc);
}

void EnableMargin(CMirelDoc& doc, BYTE nBit, BOOL bOn) {
  SetMarginOption(doc, nBit, bOn);
  if (doc.nEditCount <= 0) return;
  doc.UpdateActiveCaret(1, 0);
  RepaintAll(doc);
}

}  // namespace

void CMirelDoc::SetLineNoFlag(BOOL bOn) {
  SetMarginOption(*this, MIREL_OPT_LINE_NO, bOn);
}

void CMirelDoc::SetIndicatorMarginFlag(BOOL bOn) {
  SetMarginOption(*this, MIREL_OPT_INDICATOR_MARGIN, bOn);
}

void CMirelDoc::SetFolderMarginFlag(BOOL bOn) {
  SetMarginOption(*this, MIREL_OPT_FOLDER_MARGIN, bOn);
}

void CMirelDoc::EnableLineNo(BOOL bOn) {
  EnableMargin(*this, MIREL_OPT_LINE_NO, bOn);
}

void CMirelDoc::EnableIndicatorMargin(BOOL bOn) {
  EnableMargin(*this, MIREL_OPT_INDICATOR_MARGIN, bOn);
}

void CMirelDoc::EnableFolderMargin(BOOL bOn) {
  EnableMargin(*this, MIREL_OPT_FOLDER_MARGIN, bOn);
}

// ---------------------------------------------------------------------------
// Colours

void CMirelDoc::SetActiveLineColor(COLORREF cr) {
  crActiveLine = cr;
  RepaintAll(*this);
}

void CMirelDoc::SetActiveLineBackColor(COLORREF cr) {
  crActiveLineBack = cr;
  RepaintAll(*this);
}

void CMirelDoc::SetBookmarkColor(COLORREF cr) {
  crBookmark = cr;
  RepaintAll(*this);
}

void CMirelDoc::SetBookmarkForeColor(COLORREF cr) {
  crBookmarkFore = cr;
  RepaintAll(*this);
}

void CMirelDoc::SetMatchingBraceForeColor(COLORREF cr) {
  crMatchingBraceFore = cr;
  RepaintAll(*this);
}

void CMirelDoc::SetMatchingBraceBackColor(COLORREF cr) {
  crMatchingBraceBack = cr;
  RepaintAll(*this);
}

void CMirelDoc::SetCurrentTagColor(COLORREF cr) {
  crCurrentTag = cr;
  RepaintAll(*this);
}

void CMirelDoc::SetCurrentTagForeColor(COLORREF cr) {
  crCurrentTagFore = cr;
  RepaintAll(*this);
}

void CMirelDoc::SetCodeColor(COLORREF cr) {
  crCode = cr;
  RepaintAll(*this);
}

void CMirelDoc::SetFindHighlightColor(COLORREF cr) {
  crFindHighlight = cr;
  RepaintAll(*this);
}

void CMirelDoc::SetFindHighlightBackColor(COLORREF cr) {
  crFindHighlightBack = cr;
  RepaintAll(*this);
}

// The system-colour operations set or clear their bit; set, they load the
// colour from the system. They do not repaint: their callers do.

void CMirelDoc::SetSysColorBack(BOOL bOn) {
  SetOption(nSysColors, MIREL_SYSCLR_BACK, bOn);
  if (bOn) crBack = GetSysColor(COLOR_WINDOW);
}

void CMirelDoc::SetSysColorFore(BOOL bOn) {
  SetOption(nSysColors, MIREL_SYSCLR_FORE, bOn);
  if (bOn) crFore = GetSysColor(COLOR_WINDOWTEXT);
}

void CMirelDoc::SetSysColorSelBack(BOOL bOn) {
  SetOption(nSysColors, MIREL_SYSCLR_SEL_BACK, bOn);
  if (!bOn) return;
  crSelBack = GetSysColor(COLOR_HIGHLIGHT);
  crSelBackSaved = crSelBack;
}

void CMirelDoc::SetSysColorSelFore(BOOL bOn) {
  SetOption(nSysColors, MIREL_SYSCLR_SEL_FORE, bOn);
  if (bOn) crSelFore = GetSysColor(COLOR_HIGHLIGHTTEXT);
}

void CMirelDoc::SetSysColorLineNo(BOOL bOn) {
  SetOption(nSysColors, MIREL_SYSCLR_LINE_NO, bOn);
  if (bOn) crLineNo = GetSysColor(COLOR_3DDKSHADOW);
}

void CMirelDoc::SetBackColor(COLORREF cr) {
  SetSysColorBack(cr == MIREL_CLR_AUTO);
  if (cr != MIREL_CLR_AUTO) crBack = cr;
  RepaintAll(*this);
}

void CMirelDoc::SetForeColor(COLORREF cr) {
  SetSysColorFore(cr == MIREL_CLR_AUTO);
  if (cr != MIREL_CLR_AUTO) crFore = cr;
  RepaintAll(*this);
}

void CMirelDoc::SetSelBackColor(COLORREF cr) {
  SetSysColorSelBack(cr == MIREL_CLR_AUTO);
  if (cr != MIREL_CLR_AUTO) {
    // The kept colour changes too, so a window that lost the focus shows the
    // new colour once it has it back.
    crSelBack = cr;
    crSelBackSaved = cr;
  }
  RepaintAll(*this);
}

void CMirelDoc::SetSelForeColor(COLORREF cr) {
  SetSysColorSelFore(cr == MIREL_CLR_AUTO);
  if (cr != MIREL_CLR_AUTO) crSelFore = cr;
  RepaintAll(*this);
}

void CMirelDoc::SetLineNoColor(COLORREF cr) {
  SetSysColorLineNo(cr == MIREL_CLR_AUTO);
  if (cr != MIREL_CLR_AUTO) crLineNo = cr;
  RepaintAll(*this);
}

void CMirelDoc::ReloadSystemColors() {
  SetSysColorBack(IsSysColorBack());
  SetSysColorFore(IsSysColorFore());
  SetSysColorSelBack(IsSysColorSelBack());
  SetSysColorSelFore(IsSysColorSelFore());
  SetSysColorLineNo(IsSysColorLineNo());
  RepaintAll(*this);
}

void CMirelDoc::UseInactiveSelBack() {
  if (block.nInactiveSelMode != 1) return;
  // Losing the focus twice in a row must not keep the inactive colour as
  // the real one.
  if (!bSelBackSaved) {
    crSelBackSaved = crSelBack;
    bSelBackSaved = TRUE;
  }
  crSelBack = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
}

void CMirelDoc::RestoreSelBack() {
  // Only a colour that was put aside comes back, and putting it back is not
  // a host's choice of colour: whether it follows the system stays as it was.
  if (!bSelBackSaved) return;
  crSelBack = crSelBackSaved;
  bSelBackSaved = FALSE;
  RepaintAll(*this);
}

// ---------------------------------------------------------------------------
// Current tag and bookmark queries

void CMirelDoc::SetCurrentTag(UINT nPara) {
  // The tag names a paragraph of the text, in either view.
  if (pLines == nullptr || nLineCount <= 0) return;
  const DWORD nLastPara = pLines[nLineCount - 1].nPara;
  const DWORD nClamped = std::min<DWORD>(std::min<DWORD>(nPara, nLastPara), INT_MAX);
  nCurrentTagPara = static_cast<int>(nClamped);
  pCurrentTag = this;
}

void CMirelDoc::ResetCurrentTag() {
  nCurrentTagPara = 0;
  pCurrentTag = nullptr;
}

BOOL CMirelDoc::IsExistBookmark() const {
  return pBookmark != nullptr && nBookmarkCount != 0;
}

BOOL CMirelDoc::IsExistNamedBookmark(const char* pszDigit) const {
  if (pszDigit == nullptr || pBookmark == nullptr) return FALSE;
  // Only the ten named slots can answer; anything else is not a bookmark name.
  int nSlot = 0;
  if (!MrParseBookmarkName(pszDigit, &nSlot)) return FALSE;
  if (nSlot >= nBookmarkAlloc || nSlot >= MIREL_NAMED_BOOKMARK_COUNT) return FALSE;
  return !pBookmark[nSlot].IsFree();
}

void CMirelDoc::GetBookmarkAtLine(int nPara, CMrBookmark* pOut) const {
  if (pOut == nullptr) return;
  *pOut = CMrBookmark();
  if (pBookmark == nullptr || nPara < 0) return;
  for (int i = 0; i < nBookmarkAlloc; ++i) {
    if (!pBookmark[i].IsFree() && pBookmark[i].nPara == nPara) {
      *pOut = pBookmark[i];
      return;
    }
  }
}

// ---------------------------------------------------------------------------
// Keyboard layout

void CMirelDoc::SetKeyboardLayout(HKL hLayout) {
  if (hLayout == nullptr) hLayout = GetKeyboardLayout(0);
  switch (LOWORD(reinterpret_cast<UINT_PTR>(hLayout))) {
    case kLangChineseTraditional:
      nIMELanguage = kIMELanguageChineseTraditional;
      break;
    case kLangJapanese:
      nIMELanguage = kIMELanguageJapanese;
      break;
    case kLangKorean:
      nIMELanguage = kIMELanguageKorean;
      break;
    case kLangChineseSimplified:
      nIMELanguage = kIMELanguageChineseSimplified;
      break;
    default:
      nIMELanguage = kIMELanguageNone;
      break;
  }
  nIMEProperty = ImmGetProperty(hLayout, IGP_PROPERTY);
}

// ---------------------------------------------------------------------------
// Tab size, line spacing and bytes per hex row. Each divides pixel or byte
// positions somewhere, so a value below 1 is refused and changes nothing.

void CMirelDoc::SetTabSize(int nSize) {
  if (nSize < 1 || nSize > MIREL_MAX_TAB_SIZE || nSize == nTabSize) return;
  nTabSize = nSize;
  HWND hWnd = pActiveMirel != nullptr ? pActiveMirel->hWndEdit : nullptr;
  int nAverage = nAveCharWidth;
  if (hWnd != nullptr) {
    CMrEditDC dc(hWnd, hFont);
    TEXTMETRICA tm{};
    if (dc.Get() != nullptr && GetTextMetricsA(dc.Get(), &tm)) nAverage = tm.tmAveCharWidth;
  }
  nTabWidth = ClampToPositiveInt(static_cast<long long>(std::max(nAverage, 0)) * nTabSize);
  // Wrapped rows end where the width runs out, and tabs change the width.
  if (nWrapMode != MIREL_WRAP_NONE && pContents != nullptr) {
    RelayoutAndRefresh();
    return;
  }
  // Unwrapped rows do not depend on tabs: only x positions move, and with
  // them the end of the widest row.
  if (pContents != nullptr && nViewType == MIREL_VIEW_TYPE_TEXT)
    nMaxLineWidth = pContents->MeasureWidestRow();
  if (hWnd == nullptr) return;
  UpdateAllScrollBars();
  UpdateActiveCaret(1, 1);
  UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}

void CMirelDoc::SetLineSpacing(int nPercent) {
  if (nPercent < 1 || nPercent == nLineSpacing) return;
  nLineSpacing = nPercent;
  // Until a font is measured there is no height to scale. The hex rows take
  // the spacing as well, as they would from a hex font set after it.
  if (nFontHeight > 0) nLineHeight = ClampToPositiveInt(static_cast<long long>(nFontHeight) * nPercent / 100);
  if (sizeHexDigit.cy > 0)
    nHexLineHeight = ClampToPositiveInt(static_cast<long long>(sizeHexDigit.cy) * nPercent / 100);
  if (pActiveMirel == nullptr) return;
  UpdateAllScrollBars();
  UpdateActiveCaret(1, 1);
  UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}

void CMirelDoc::SetHexCharsPerLine(int nBytes) {
  if (nBytes < 1) return;
  nHexBytesPerLine = nBytes;
  if (nViewType != MIREL_VIEW_TYPE_HEX) return;
  CalcHexLayout();
  // The hex rows of the caret and the selection move with the row width;
  // without taking them again the caret and scroll bars would show old rows.
  const DWORD nCaret = static_cast<DWORD>(std::max(nCaretPos, 0));
  cli = GetHexLineFromPos(nCaret);
  const DWORD nAnchor = block.nAnchor;
  const DWORD nBlockCaret = block.nCaret;
  block.SetBoth(nAnchor, GetHexLineFromPos(nAnchor));
  block.SetCaretRaw(nBlockCaret, GetHexLineFromPos(nBlockCaret));
  UpdateEditsAfterChange(REPAINT_TAG_ALL, 0, 0);
}
