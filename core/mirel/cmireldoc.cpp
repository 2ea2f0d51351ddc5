// The document record: defaults, lifecycle, the gateways through which every
// change of the text reaches the text store, the modified and read-only
// states, the fault report and the growth of the display-line table.
#include "mirel/cmireldoc.h"
#include "mirel/cmrprintinfo.h"
#include "mirel/mrtryalloc.h"

#ifndef _WIN32
#include <crt_locale.h>
#endif

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <algorithm>

#include "mirel/ccontentshandlernormal.h"
#include "mirel/cmirel.h"
#include "mirel/cmirelviewtext.h"
#include "mirel/metablock/cmrmetablock.h"
#include "mirel/search/cregexp.h"
#include "mirel/mirel.h"
#include "mirel/mrlibraryframe.h"
#include "mirel/mrlineends.h"
#include "mirel/mrlargeblock.h"
#include "mirel/mrtextunits.h"
#include "mirel/syntax/cmrsyntax.h"
#include "mirel/syntax/cmrsyntaxnone.h"

namespace {

// Word delimiters used while the host has set none. The terminating zero takes
// part in the lookup, so a zero byte or unit is a delimiter too.
constexpr char kDefaultDelimiters[] = " \t\r\n'\"\\,.<>;:/~!@#$%^&*()[]-+?=";

// Room kept after the text for the widest layout: a row needs at least 10 pixels.
constexpr int kMinTextRoom = 10;

// WM_COMMAND code sent to the host when the modified state changes.
constexpr int MIREL_NOTIFY_MODIFIED = 1;

// Buffers of the fault message.
constexpr int kFaultPathSize = 1300;
constexpr int kFaultTextSize = 1560;

}  // namespace

CMirelDoc::CMirelDoc() {
  Init();
}

CMirelDoc::~CMirelDoc() {
  // Edit windows that outlive the document must not keep a pointer to it.
  ReleaseEdits();
  delete pSyntax;
  std::free(ppEdits);
  std::free(pszDelimiters);
  delete pContents;
  std::free(pLines);
  delete pFindResult;
  delete pHyperLink;
  std::free(pWideWidth);
  std::free(pBookmark);
  if (localeCodePage != MIREL_LOCALE()) _free_locale(static_cast<_locale_t>(localeCodePage));
  if (hFont) DeleteObject(hFont);
  if (hFontHex) DeleteObject(hFontHex);
  std::free(pIMEAttr);
  std::free(pIMEClause);
  delete pRegExp;
  delete pPrintInfo;
}

void CMirelDoc::Init() {
  // The current thread's keyboard layout gives the input-method language.
  nIMELanguage = 0;
  nIMEProperty = 0;
  SetKeyboardLayout(nullptr);

  ppEdits = static_cast<CMirel**>(std::calloc(MIREL_INITIAL_EDIT_ALLOC, sizeof(CMirel*)));
  MIREL_ASSERT(ppEdits);
  nEditAlloc = ppEdits ? MIREL_INITIAL_EDIT_ALLOC : 0;
  nEditCount = 0;
  pActiveMirel = nullptr;
  pFindResult = nullptr;
  pHyperLink = nullptr;
  pPrintInfo = nullptr;
  pRegExp = nullptr;
  pIMEAttr = nullptr;
  pIMEClause = nullptr;
  pszDelimiters = nullptr;
  pContents = nullptr;
  pBookmark = nullptr;
  pLines = nullptr;
  pSyntax = nullptr;
  pCurrentTag = nullptr;
  pWideWidth = nullptr;
  localeCodePage = MIREL_LOCALE();

  nBookmarkAlloc = 0;
  nBookmarkCount = 0;
  nLineAlloc = 0;
  nLineCount = 0;
  nCurrentTagPara = 0;
  nCodePage = 0;
  nCaretPos = 0;
  cli = 0;
  nVirtualSpace = 0;
  nBracePos[0] = nBracePos[1] = 0;
  nScrollHeight = 0;
  nMaxLineWidth = 0;
  nIMEAttrLen = nIMECompPos = nIMECursor = nIMETargetEnd = nIMETargetStart = nIMECompLen = 0;

  block.pdoc = this;
  anchorBlock.pdoc = this;

  nCharWidth[0] = 6;
  for (int i = 1; i < 256; ++i) nCharWidth[i] = -1;
  std::memset(abLeadByte, 0, sizeof(abLeadByte));
  nLeadByteCodePage = -1;

  hFont = nullptr;
  hFontHex = nullptr;
  std::memset(&lfText, 0, sizeof(lfText));
  std::memset(&lfHex, 0, sizeof(lfHex));
  nAveCharWidth = 4;
  nTabSize = 4;
  // Font-derived values until a font is applied: the tab stop follows the
  // average width, heights stay 0 until measured.
  nTabWidth = nAveCharWidth * nTabSize;
  nFontHeight = 0;
  nLineHeight = 0;
  nHexLineHeight = 0;
  nLineNoWidth = 0;
  sizeHexDigit.cx = sizeHexDigit.cy = 0;
  nLineSpacing = 120;
  nTextWidth = 0;
  nLeftMargin = 0;
  nRulerHeight = 0;
  nHexDigitsEndX = 0;
  nHexCharsX = 0;
  nHexBytesPerLine = 16;
  nHexAddrWidth = 0;
  nHexAddrDigits = 0;

  bAutoIndentation = TRUE;
  bAutoSelect = FALSE;
  bVirtualSpace = FALSE;
  bHexComposition = FALSE;
  bHomeToFirstCol = FALSE;
  bLineSelecting = FALSE;
  bComposing = FALSE;
  bHanjaConvert = FALSE;
  bIMETarget = FALSE;
  bModified = FALSE;
  bReadOnly = FALSE;
  bShowBreakCode = FALSE;
  bShowWhiteSpaceCode = FALSE;
  bSkipEmptyLineOnBlockIndent = TRUE;
  bShowFindResult = FALSE;
  bShowHyperLink = FALSE;
  bShowMatchingBrace = TRUE;
  bSyntaxIndentation = TRUE;
  bTabToSpace = FALSE;
  bWantTab = TRUE;

  nActiveLineType = 0;
  nSimpleMarks = 0xFF;
  nSysColors = MIREL_SYSCLR_DEFAULT;
  nFileFormat = MIREL_FILE_FORMAT_CRLF;
  nLoadedFileFormat = MIREL_FILE_FORMAT_CRLF;
  nFileEncoding = MIREL_ENCODING_ANSI;
  nHexCaretArea = 1;
  nOptions = MIREL_OPT_DEFAULT;
  nViewType = MIREL_VIEW_TYPE_TEXT;
  nWrapMode = MIREL_WRAP_NONE;
  chPageBreak = 0;

  crActiveLine = RGB(0x00, 0x00, 0x00);
  crActiveLineBack = 0xFFFFC0;
  crBack = GetSysColor(COLOR_WINDOW);
  crBookmark = 0xFFFF00;
  crBookmarkFore = 0x000000;
  crMatchingBraceFore = 0x0000FF;
  crMatchingBraceBack = 0xAAD5FF;
  crCurrentTag = 0x840000;
  crCurrentTagFore = 0xFFFFFF;
  crCode = 0x99A8AC;
  crFindHighlight = 0xFFFFFF;
  crFindHighlightBack = 0xD568D5;
  crFore = GetSysColor(COLOR_WINDOWTEXT);
  crMarginLine = 0;
  crLineNo = GetSysColor(COLOR_3DDKSHADOW);
  crSelFore = GetSysColor(COLOR_HIGHLIGHTTEXT);
  crSelBack = GetSysColor(COLOR_HIGHLIGHT);
  crSelBackSaved = crSelBack;

  undo.SetWideUnits(IsWideEncoding(nFileEncoding));
}

// ---------------------------------------------------------------------------
// Lifecycle

int CMirelDoc::NewFile() {
  DropImeComposition(MrImeDrop::kForget);
  CContentsHandlerNormal* pNew = new (std::nothrow) CContentsHandlerNormal(this);
  if (pNew == nullptr || pNew->pEditBodyFile == nullptr) {
    delete pNew;
    return 0;
  }
  if (pLines == nullptr && !GrowLines(2)) {
    delete pNew;
    return 0;
  }
  // A text store never goes without a syntax object; an installed one stays.
  if (pSyntax == nullptr) pSyntax = new (std::nothrow) CMrSyntaxNone(0, TRUE);
  if (pSyntax == nullptr) {
    delete pNew;
    return 0;
  }
  delete pContents;
  pContents = pNew;

  // An empty text has exactly one row; whatever the old text left goes.
  ZeroRecordsFrom(0);
  pLines[0].nKind = MIREL_LINE_LAST;
  nLineCount = 1;
  nMaxLineWidth = 0;

  InvalidateParagraphDataFrom(0);
  ClearBookmarksAndTag();
  undo.Reset();
  undo.SetWideUnits(IsWideEncoding(nFileEncoding));
  ResetCaretAndSelection();
  SetModified(FALSE);
  return 1;
}

BOOL CMirelDoc::Reset() {
  DropImeComposition(MrImeDrop::kForget);
  ClearBookmarksAndTag();
  undo.Reset();
  ResetCaretAndSelection();
  InvalidateParagraphDataFrom(0);
  if (pContents == nullptr) return FALSE;
  // The hex view empties the text and keeps the byte-order mark in front of it.
  const DWORD nTextLen = pContents->GetTextLength();
  if (nTextLen == 0) return TRUE;
  const DWORD nFrom = nViewType == MIREL_VIEW_TYPE_HEX ? pContents->GetBomLength() : 0;
  CMrKeepUndoHistory keep(*this);  // cleared above
  const BOOL bDone = DeleteContents(nFrom, nTextLen, FALSE);
  // No row of the text that went is wider than the empty one.
  if (bDone) nMaxLineWidth = 0;
  return bDone;
}

void CMirelDoc::ResetCaretAndSelection() {
  nCaretPos = 0;
  cli = 0;
  nVirtualSpace = 0;
  block.Clear();
  block.nCollapseLine = 0;
  block.nAnchorX = block.nAnchorY = block.nCaretX = block.nCaretY = 0;
  anchorBlock.Clear();
  anchorBlock.nCollapseLine = 0;
  anchorBlock.nAnchorX = anchorBlock.nAnchorY = anchorBlock.nCaretX = anchorBlock.nCaretY = 0;
}

void CMirelDoc::ClearBookmarksAndTag() {
  nCurrentTagPara = 0;
  pCurrentTag = nullptr;
  for (int i = 0; i < nBookmarkAlloc && pBookmark; ++i) pBookmark[i] = CMrBookmark();
  nBookmarkCount = 0;
}

// ---------------------------------------------------------------------------
// Gateways

void CMirelDoc::PrepareLayout() {
  if (nViewType == MIREL_VIEW_TYPE_TEXT) {
    if (nTextWidth <= nLeftMargin + kMinTextRoom) nTextWidth = nLeftMargin + kMinTextRoom;
  } else if (nViewType == MIREL_VIEW_TYPE_HEX) {
    CalcHexLayout();
  }
}

// A mouse gesture keeps positions taken before the text changed: the word or
// paragraph it extends from and an armed drag of the selection. An edit made
// during the gesture (a key, the host) drops them, so the gesture goes on
// from the caret and never drops text onto positions that no longer exist.
void CMirelDoc::DropGestureAnchors() {
  anchorBlock.Clear();
  SetDragPending(0);
}

// A composition's place is its own only while the input method alone writes
// there; any other change first keeps it as typed.
void CMirelDoc::EndCompositionBeforeEdit() {
  if (nImeSplicing == 0 && nIMECompLen > 0) DropImeComposition(MrImeDrop::kKeepAsText);
}

void CMirelDoc::DropImeComposition(MrImeDrop how) {
  for (int i = 0; ppEdits != nullptr && i < nEditCount; ++i) {
    if (ppEdits[i] != nullptr && ppEdits[i]->pViewText != nullptr)
      ppEdits[i]->pViewText->DropImeComposition(how);
  }
  // Whatever no view answered for is gone with it.
  nIMECompLen = 0;
}

BOOL CMirelDoc::ReloadContents() {
  if (pContents == nullptr) return FALSE;
  PrepareLayout();
  return pContents->RebuildLines();
}

BOOL CMirelDoc::DeleteContents(DWORD nPos, DWORD nLen, BOOL bRecordUndo) {
  if (pContents == nullptr) return FALSE;
  EndCompositionBeforeEdit();
  DropGestureAnchors();
  PrepareLayout();
  return NoteUnrecorded(pContents->DeleteAndRelayout(nPos, nLen, bRecordUndo), !bRecordUndo && nLen > 0);
}

BOOL CMirelDoc::InsertContents(DWORD nPos, const BYTE* pData, DWORD nLen, BOOL bRecordUndo) {
  if (pContents == nullptr) return FALSE;
  EndCompositionBeforeEdit();
  DropGestureAnchors();
  PrepareLayout();
  return NoteUnrecorded(pContents->InsertAndRelayout(nPos, pData, nLen, bRecordUndo),
                        !bRecordUndo && nLen > 0);
}

BOOL CMirelDoc::ReplaceContents(DWORD nPos, DWORD nOldLen, BOOL bRecordOld, const BYTE* pData, DWORD nNewLen,
                                BOOL bRecordNew) {
  if (pContents == nullptr) return FALSE;
  EndCompositionBeforeEdit();
  DropGestureAnchors();
  PrepareLayout();
  return NoteUnrecorded(pContents->ReplaceAndRelayout(nPos, nOldLen, bRecordOld, pData, nNewLen, bRecordNew),
                        (!bRecordOld && nOldLen > 0) || (!bRecordNew && nNewLen > 0));
}

BOOL CMirelDoc::NoteUnrecorded(BOOL bDone, BOOL bUnrecorded) {
  if (bDone && bUnrecorded && nKeepUndoHistory == 0) undo.ForgetRecords();
  return bDone;
}

BOOL CMirelDoc::RecalcContentsLayout() {
  if (pContents == nullptr) return FALSE;
  PrepareLayout();
  return pContents->RecalcLayout(0, 0);
}

// ---------------------------------------------------------------------------
// Contents

DWORD CMirelDoc::GetContentsSize() const {
  return pContents ? pContents->GetTextLength() : 0;
}

DWORD CMirelDoc::GetFileSize() const {
  return pContents ? pContents->GetBodyLength() : 0;
}

DWORD CMirelDoc::GetFileBuffer(BYTE* pBuffer, DWORD nFrom, DWORD nTo) const {
  const DWORD nFileLen = GetFileSize();
  if (nFrom >= nFileLen) return 0;
  if (nTo > nFileLen) nTo = nFileLen;
  if (nTo <= nFrom) return 0;
  if (pBuffer) std::memcpy(pBuffer, pContents->GetBody(nFrom) + nFrom, nTo - nFrom);
  return nTo - nFrom;
}

BOOL CMirelDoc::WriteFile(FILE* pFile) const {
  if (pFile == nullptr || pContents == nullptr) return FALSE;
  const DWORD nLen = pContents->GetBodyLength();
  if (nLen == 0) return TRUE;
  return std::fwrite(pContents->GetBody(0), 1, nLen, pFile) == nLen;
}

DWORD CMirelDoc::GetCharLengthAt(DWORD nPos) {
  if (nViewType == MIREL_VIEW_TYPE_HEX) return 1;
  if (pContents == nullptr) return 0;
  const DWORD nLen = pContents->GetTextLength();
  if (nPos >= nLen) return 0;
  // The store's pointer stands for its text offset (a windowed store loads
  // only part of the text).
  const BYTE* p = pContents->GetText(nPos);
  const long long nIndex = static_cast<long long>(nPos) - pContents->GetTextOffset();
  const DWORD nLoaded = pContents->GetLoadedLength();
  if (p == nullptr || nIndex < 0 || nIndex >= nLoaded) return 0;
  return MrCharLength(p, static_cast<DWORD>(nIndex), nLoaded, nFileEncoding, GetLeadByteTable());
}

BOOL CMirelDoc::IsParagraphBlank(int nPara) {
  if (pContents == nullptr || pLines == nullptr || nPara < 0) return FALSE;
  const int nRow = FindFirstRowOfParagraph(static_cast<DWORD>(nPara));
  if (nRow < 0) return FALSE;
  const BOOL bWide = IsWideEncoding(nFileEncoding);
  const DWORD nUnit = bWide ? 2 : 1;
  const BYTE* pText = pContents->GetText(0);
  const DWORD nTextLen = pContents->GetTextLength();
  for (int i = nRow; i < nLineCount && pLines[i].nPara == static_cast<DWORD>(nPara); ++i) {
    const DWORD nEnd = pLines[i].nStart + pLines[i].nLen;
    for (DWORD p = pLines[i].nStart; p + nUnit <= nEnd && p + nUnit <= nTextLen; p += nUnit) {
      const UINT ch = MrUnitAt(pText + p, bWide);
      if (ch != MR_CHAR_SPACE && ch != MR_CHAR_TAB && ch != MR_CHAR_NUL) return FALSE;
    }
  }
  return TRUE;
}

int CMirelDoc::FindFirstRowOfParagraph(DWORD nPara) const {
  if (pLines == nullptr || nLineCount <= 0) return -1;
  if (RowsAreParagraphs()) return nPara < static_cast<DWORD>(nLineCount) ? static_cast<int>(nPara) : -1;
  const int nSampled = FindFirstRowThroughSamples(nPara);
  if (nSampled != -1) return nSampled < 0 ? -1 : nSampled;
  int lo = 0;
  int hi = nLineCount - 1;
  int nFound = -1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    if (pLines[mid].nPara >= nPara) {
      if (pLines[mid].nPara == nPara) nFound = mid;
      hi = mid - 1;
    } else {
      lo = mid + 1;
    }
  }
  return nFound;
}

void CMirelDoc::TakeParagraphSamples() const {
  paraSamples.clear();
  // Room for every entry first, so that the scan never grows it; without
  // the memory the index stays empty and the look-ups search the table.
  nParaSampleLookups = 0;
  if (!MrTryReserve(paraSamples, (static_cast<size_t>(pLines[nLineCount - 1].nPara) >> kParaSampleShift) + 1))
    return;
  constexpr DWORD kMask = (1u << kParaSampleShift) - 1;
  for (int i = 0; i < nLineCount; ++i) {
    if (pLines[i].nSubLine == 0 && (pLines[i].nPara & kMask) == 0)
      paraSamples.push_back(static_cast<DWORD>(i));
  }
  bParaSamplesMissed = false;
}

int CMirelDoc::FindFirstRowThroughSamples(DWORD nPara) const {
  constexpr int kStep = 1 << kParaSampleShift;
  if (nLineCount < 4 * kStep) return -1;
  const DWORD nLastPara = pLines[nLineCount - 1].nPara;
  if (nPara > nLastPara) return -2;
  ++nParaSampleLookups;
  const size_t nWanted = (static_cast<size_t>(nLastPara) >> kParaSampleShift) + 1;
  // Taken again once the look-ups since the last time pay for the scan.
  if (bParaSamplesMissed && (paraSamples.size() != nWanted || nParaSampleLookups >= nWanted / 4)) {
    TakeParagraphSamples();
  }
  const size_t k = nPara >> kParaSampleShift;
  if (k >= paraSamples.size()) {
    bParaSamplesMissed = true;
    return -1;
  }
  // Both ends of the bracket must be the first rows of their paragraphs.
  auto startsParagraph = [this](DWORD nRow, DWORD nWantedPara) {
    return nRow < static_cast<DWORD>(nLineCount) && pLines[nRow].nPara == nWantedPara &&
           pLines[nRow].nSubLine == 0;
  };
  const DWORD nLow = paraSamples[k];
  const DWORD nBase = static_cast<DWORD>(k) << kParaSampleShift;
  const bool bLast = k + 1 >= nWanted;
  const DWORD nHigh =
      bLast ? static_cast<DWORD>(nLineCount) : (k + 1 < paraSamples.size() ? paraSamples[k + 1] : 0);
  if (!startsParagraph(nLow, nBase) ||
      (!bLast && !startsParagraph(nHigh, nBase + static_cast<DWORD>(kStep))) || nHigh <= nLow) {
    bParaSamplesMissed = true;
    return -1;
  }
  // The first row of the paragraph lies in [nLow, nHigh).
  const MIREL_LINE* pFound = std::lower_bound(pLines + nLow, pLines + nHigh, nPara,
                                              [](const MIREL_LINE& row, DWORD p) { return row.nPara < p; });
  return static_cast<int>(pFound - pLines);
}

const BYTE* CMirelDoc::GetLeadByteTable() {
  if (nLeadByteCodePage != nCodePage) {
    MrBuildLeadByteTable(static_cast<UINT>(nCodePage), abLeadByte);
    nLeadByteCodePage = nCodePage;
  }
  return abLeadByte;
}

// ---------------------------------------------------------------------------
// Modified and read-only state, faults

void CMirelDoc::SetModified(BOOL bValue) {
  bValue = bValue ? TRUE : FALSE;
  if (bValue != bModified) {
    bModified = bValue;
    NotifyParent(MIREL_NOTIFY_MODIFIED);
  }
  if (!bValue) undo.SetSavePoint();
}

void CMirelDoc::UpdateModifiedAfterUndo() {
  if (bModified != TRUE) {
    SetModified(TRUE);
    return;
  }
  const LONG cr = undo.cr;
  if (cr >= 0 && cr < undo.nAlloc && cr == undo.nSavePoint &&
      (undo.pUR[cr].bUndone || undo.pUR[cr].action == URA_NONE)) {
    SetModified(FALSE);
  }
}

int CMirelDoc::ReportFault() {
  char szPath[kFaultPathSize] = {0};
  GetModuleFileNameA(nullptr, szPath, kFaultPathSize);
  // Drive ("C:") and directory (up to and including the last separator).
  char szDrive[kFaultPathSize] = {0};
  char szDir[kFaultPathSize] = {0};
  const char* pRest = szPath;
  if (szPath[0] != '\0' && szPath[1] == ':') {
    szDrive[0] = szPath[0];
    szDrive[1] = ':';
    pRest = szPath + 2;
  }
  const char* pLastSep = nullptr;
  for (const char* p = pRest; *p; ++p) {
    if (*p == '\\' || *p == '/') pLastSep = p;
  }
  if (pLastSep) std::memcpy(szDir, pRest, static_cast<size_t>(pLastSep - pRest + 1));
  // The active edit window's handle, as a number, names the emergency file.
  long long nWindow = 0;
  if (pActiveMirel != nullptr) {
    nWindow = static_cast<long long>(reinterpret_cast<INT_PTR>(pActiveMirel->hWndEdit));
  }
  // The text is cut at the buffer size when the path is very long.
  std::string text =
      "Edit engin has encountered a problem.\nPlease close and restart editing job.\nAnd It will be save "
      "contents in\n ";
  text += szDrive;
  text += szDir;
  text += std::to_string(nWindow);
  text += ".kvf";
  char szText[kFaultTextSize];
  const size_t nCopy = std::min(text.size(), sizeof(szText) - 1);
  std::memcpy(szText, text.data(), nCopy);
  szText[nCopy] = '\0';
  MirelTrace("%s\n", szText);
  MrLibraryFrame frame;  // the box runs a message loop
  return MessageBoxA(nullptr, szText, "Edit routine fault", MB_ICONERROR);
}

// ---------------------------------------------------------------------------
// Undo

void CMirelDoc::StartUndoGroup() {
  undo.StartUndoGroup();
}

void CMirelDoc::EndUndoGroup() {
  undo.EndUndoGroup();
}

void CMirelDoc::SeparateUndo() {
  undo.SeparateUndo();
}

void CMirelDoc::SetUndoLimit(int nBytes) {
  undo.SetMemLimit(nBytes);
}

void CMirelDoc::SetUndoKeepCount(int nCount) {
  undo.SetKeepMin(nCount < CMrUndoManager::UNDO_DEFAULT_KEEP_MIN ? CMrUndoManager::UNDO_DEFAULT_KEEP_MIN
                                                                 : nCount);
}

// ---------------------------------------------------------------------------
// Line table

void* CMirelDoc::ReallocateLines(void* p, size_t nBytes) {
  void* pNew = std::realloc(p, nBytes);
  MrAdviseLargeBlock(pNew, nBytes);
  return pNew;
}

BOOL CMirelDoc::GrowLines(int n) {
  if (n < 0) n = 0;
  constexpr long long kMaxRecords =
      static_cast<long long>(INT_MAX) / static_cast<long long>(sizeof(MIREL_LINE));
  if (pLines == nullptr) {
    const long long nCap = n > 2 ? ((static_cast<long long>(n) + 2) & ~1LL) : 2;
    if (nCap > kMaxRecords) return FALSE;
    MIREL_LINE* pNew =
        static_cast<MIREL_LINE*>(ReallocateLines(nullptr, static_cast<size_t>(nCap) * sizeof(MIREL_LINE)));
    if (pNew == nullptr) return FALSE;
    std::memset(pNew, 0, static_cast<size_t>(nCap) * sizeof(MIREL_LINE));
    pLines = pNew;
    nLineAlloc = static_cast<int>(nCap);
    pLines[0].nKind = MIREL_LINE_LAST;
    nLineCount = 1;
    return TRUE;
  }
  const long long nCap = (static_cast<long long>(nLineAlloc) + n + 2) & ~1LL;
  if (nCap > kMaxRecords) return FALSE;
  if (nCap <= nLineAlloc) return TRUE;
  MIREL_LINE* pNew =
      static_cast<MIREL_LINE*>(ReallocateLines(pLines, static_cast<size_t>(nCap) * sizeof(MIREL_LINE)));
  if (pNew == nullptr) return FALSE;
  std::memset(pNew + nLineAlloc, 0, static_cast<size_t>(nCap - nLineAlloc) * sizeof(MIREL_LINE));
  pLines = pNew;
  nLineAlloc = static_cast<int>(nCap);
  return TRUE;
}

void CMirelDoc::TrimLines(int nKeep) {
  if (pLines == nullptr) return;
  nKeep = std::max(nKeep, nLineCount);
  const long long nCap = (static_cast<long long>(nKeep) + 1) & ~1LL;
  if (nCap >= nLineAlloc || nCap < 2) return;
  MIREL_LINE* pNew =
      static_cast<MIREL_LINE*>(ReallocateLines(pLines, static_cast<size_t>(nCap) * sizeof(MIREL_LINE)));
  if (pNew == nullptr) return;
  pLines = pNew;
  nLineAlloc = static_cast<int>(nCap);
}

void CMirelDoc::ZeroRecordsFrom(int nFrom) {
  if (pLines == nullptr || nFrom >= nLineAlloc) return;
  if (nFrom < 0) nFrom = 0;
  std::memset(pLines + nFrom, 0, static_cast<size_t>(nLineAlloc - nFrom) * sizeof(MIREL_LINE));
}

const char* CMirelDoc::GetDelimiterSet() const {
  return pszDelimiters ? pszDelimiters : kDefaultDelimiters;
}

BOOL CMirelDoc::IsWordDelimiter(const BYTE* p) const {
  if (p == nullptr) return FALSE;
  // In UTF-16 only a unit that is a whole byte value can equal a delimiter.
  const UINT ch = IsWideEncoding(nFileEncoding) ? MrUnitAt(p, TRUE) : p[0];
  if (ch > 0xFF) return FALSE;
  return MrStrChr(GetDelimiterSet(), static_cast<int>(ch)) != nullptr;
}

void CMirelDoc::UpdateMarginsAfterLayout() {
  // The line-number width follows the row count; margins exist only while
  // edit windows show the document.
  if (!IsShowLineNo() || nEditCount <= 0) return;
  const int nOldMargin = nLeftMargin;
  CalcLineNoWidth();
  CalcLeftMargin();
  // The views take WM_SIZE (0, 0) as a resize and lay themselves out again.
  if (nLeftMargin != nOldMargin) SendMessageToEdits(WM_SIZE, 0, 0);
}

void CMirelDoc::PrepareMarginForText(const BYTE* pText, DWORD nLen) {
  if (!IsShowLineNo() || nEditCount <= 0 || nViewType != MIREL_VIEW_TYPE_TEXT || nWrapMode == MIREL_WRAP_NONE)
    return;
  const long long nParagraphs =
      static_cast<long long>(MrCountLineEnds(pText, nLen, IsWideEncoding(nFileEncoding))) + 1;
  nLineNoWidth = LineNoWidthFor(nParagraphs);
  CalcLeftMargin();
}

void CMirelDoc::InvalidateParagraphDataFrom(int nPara) {
  if (pSyntax) pSyntax->InvalidateFrom(nPara);
  if (bShowFindResult && pFindResult) pFindResult->ClearFrom(nPara);
  if (bShowHyperLink && pHyperLink) pHyperLink->ClearFrom(nPara);
}
