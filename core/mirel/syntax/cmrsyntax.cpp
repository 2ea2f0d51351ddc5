// The syntax object: paragraph records and their runs, the parse drivers,
// invalidation and the style tables.
#include "mirel/syntax/cmrsyntax.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"

namespace {

struct DefaultStyle {
  const char* pszName;  // code page 949
  COLORREF crFore;
  COLORREF crBack;
};

constexpr COLORREF kMagenta = 0x00FF00FF;
constexpr COLORREF kGreen = 0x00008200;
constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kYellow = 0x0000FFFF;

constexpr DefaultStyle kDefaultStyles[MAX_SYNTAX_STYLE] = {
    {"", MIREL_CLR_AUTO, MIREL_CLR_AUTO},
    {"\xC0\xCF\xB9\xDD \xB1\xDB\xC0\xDA", MIREL_CLR_AUTO, MIREL_CLR_AUTO},  // "plain text"
    {"\xB9\xAE\xC0\xDA\xBF\xAD"
     "1",
     kMagenta, MIREL_CLR_AUTO},  // "string 1"
    {"\xB9\xAE\xC0\xDA\xBF\xAD"
     "2",
     kMagenta, MIREL_CLR_AUTO},                            // "string 2"
    {"\xBC\xFD\xC0\xDA", MIREL_CLR_AUTO, MIREL_CLR_AUTO},  // "number"
    {"\xC1\xD6\xBC\xAE"
     "1",
     kGreen, MIREL_CLR_AUTO},  // "comment 1"
    {"\xC1\xD6\xBC\xAE"
     "2",
     kGreen, MIREL_CLR_AUTO},  // "comment 2"
    {"", MIREL_CLR_AUTO, MIREL_CLR_AUTO},
    {"", MIREL_CLR_AUTO, MIREL_CLR_AUTO},
    {"HTML \xC5\xC2\xB1\xD7", kBlue, MIREL_CLR_AUTO},       // "HTML tag"
    {"\xBD\xBA\xC5\xA9\xB8\xB3\xC6\xAE", kBlack, kYellow},  // "script"
    {"", kBlue, MIREL_CLR_AUTO},
    {"", kBlue, MIREL_CLR_AUTO},
    {"", kBlue, MIREL_CLR_AUTO},
    {"", kBlue, MIREL_CLR_AUTO},
    {"", kBlue, MIREL_CLR_AUTO},
    {"", kBlue, MIREL_CLR_AUTO},
    {"", kBlue, MIREL_CLR_AUTO},
    {"", kBlue, MIREL_CLR_AUTO},
};

BOOL IsDecimalDigit(UINT u) {
  return u >= '0' && u <= '9';
}

BOOL IsHexDigit(UINT u) {
  return IsDecimalDigit(u) || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

}  // namespace

CMrSyntax::CMrSyntax(int nOwner, int nSyntaxType) : nOwner(nOwner), nSyntaxType(nSyntaxType) {
  for (int i = 0; i < MAX_SYNTAX_STYLE; ++i) {
    MIREL_SYNTAX_STYLE& cur = styles[i];
    std::memset(&cur, 0, sizeof cur);
    std::strncpy(cur.szName, kDefaultStyles[i].pszName, sizeof cur.szName - 1);
    cur.crFore = kDefaultStyles[i].crFore;
    cur.crBack = kDefaultStyles[i].crBack;
    defaultStyles[i] = cur;
    defaultStyles[i].szName[0] = '\0';  // names live in the current table only
  }
  ResetParaInfo(TRUE);
}

CMrSyntax::~CMrSyntax() {
  ResetParaInfo(FALSE);
}

void CMrSyntax::CopyCommonFrom(const CMrSyntax& other) {
  def = other.def;
  for (int i = 0; i < MAX_SYNTAX_STYLE; ++i) styles[i] = other.styles[i];
}

const char* CMrSyntax::GetSyntaxString(int nKind) const {
  switch (nKind) {
    case 0:
      MIREL_ASSERT(nKind != 0);
      return nullptr;
    case 1:
      return CMrSyntaxDef::Str(def.delimiters);
    case 2:
      return CMrSyntaxDef::Str(def.indent);
    case 3:
      return CMrSyntaxDef::Str(def.unindent);
    default:
      return "";
  }
}

MIREL_PARA_INFO* CMrSyntax::GetParaInfo(int nPara) {
  if (nPara < 0 || static_cast<DWORD>(nPara) >= nInfoAlloc || pInfo == nullptr) return nullptr;
  return &pInfo[nPara];
}

int CMrSyntax::ParagraphOfLine(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines) {
  const MIREL_LINE* pLines = pAltLines ? pAltLines->pLines : (pDoc ? pDoc->pLines : nullptr);
  const int nCount = pAltLines ? pAltLines->nLineCount : (pDoc ? pDoc->nLineCount : 0);
  if (pLines == nullptr || nLine < 0 || nLine >= nCount) return -1;
  const DWORD nPara = pLines[nLine].nPara;
  return nPara > static_cast<DWORD>(INT_MAX) - MIREL_PARA_INFO_STEP ? -1 : static_cast<int>(nPara);
}

int CMrSyntax::ParseParagraph(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines) {
  return ParagraphOfLine(pDoc, nLine, pAltLines);
}

void CMrSyntax::GetDefaultStyleColors(MIREL_SYNTAX_STYLE* pStyles) const {
  if (pStyles == nullptr) return;
  for (int i = 0; i < MAX_SYNTAX_STYLE; ++i) {
    pStyles[i].crFore = defaultStyles[i].crFore;
    pStyles[i].crBack = defaultStyles[i].crBack;
  }
}

void CMrSyntax::GetStyleColor(int nStyle, COLORREF* pcrFore, COLORREF* pcrBack) const {
  const MIREL_SYNTAX_STYLE& s = styles[(nStyle >= 0 && nStyle < MAX_SYNTAX_STYLE) ? nStyle : 0];
  if (pcrFore) *pcrFore = s.crFore;
  if (pcrBack) *pcrBack = s.crBack;
}

void CMrSyntax::GetStyleName(int nStyle, char* pszName, int nSize) const {
  if (pszName == nullptr || nSize < 1) return;
  const char* pszFrom = (nStyle >= 0 && nStyle < MAX_SYNTAX_STYLE) ? styles[nStyle].szName : "";
  std::strncpy(pszName, pszFrom, static_cast<size_t>(nSize) - 1);
  pszName[nSize - 1] = '\0';
}

void CMrSyntax::SetStyleColors(const MIREL_SYNTAX_STYLE* pStyles) {
  if (pStyles == nullptr) return;
  for (int i = 0; i < MAX_SYNTAX_STYLE; ++i) {
    styles[i].crFore = pStyles[i].crFore;
    styles[i].crBack = pStyles[i].crBack;
  }
}

void CMrSyntax::SetStyleColor(int nStyle, COLORREF crFore, COLORREF crBack) {
  if (nStyle < 0 || nStyle >= MAX_SYNTAX_STYLE) return;
  styles[nStyle].crFore = crFore;
  styles[nStyle].crBack = crBack;
}

void CMrSyntax::ApplyColors(const MIREL_SYNTAX_COLORS& colors, MIREL_SYNTAX_STYLE* pTable) {
  auto set = [pTable](int nStyle, const MIREL_SYNTAX_COLOR_PAIR& pair) {
    pTable[nStyle].crFore = pair.crFore;
    pTable[nStyle].crBack = pair.crBack;
  };
  set(MIREL_STYLE_END, colors.pairs[MIREL_SYNTAX_PAIR_TEXT]);
  set(MIREL_STYLE_TEXT, colors.pairs[MIREL_SYNTAX_PAIR_TEXT]);
  for (int i = MIREL_SYNTAX_PAIR_STRING1; i <= MIREL_SYNTAX_PAIR_COMMENT2; ++i) set(i + 1, colors.pairs[i]);
  set(MIREL_STYLE_SCRIPT_SECTION, colors.pairs[MIREL_SYNTAX_PAIR_SCRIPT]);
  for (int i = 0; i < MIREL_SYNTAX_KEYWORD_LISTS; ++i) {
    set(MIREL_STYLE_KEYWORD1 + i, colors.pairs[MIREL_SYNTAX_PAIR_KEYWORD1 + i]);
  }
}

BOOL CMrSyntax::IsNumber(const CMrSyntaxText& t, DWORD nStart, DWORD nLast) {
  const DWORD u = t.UnitSize();
  if (nLast < nStart || !t.HasUnit(nStart) || !t.HasUnit(nLast)) return FALSE;
  DWORD nPos = nStart;
  BOOL bHex = FALSE;
  if (t.At(nStart) == '0' && nLast - nStart >= u && (t.At(nStart + u) == 'x' || t.At(nStart + u) == 'X')) {
    bHex = TRUE;
    nPos = nStart + 2 * u;
  }
  for (; nPos <= nLast; nPos += u) {
    const UINT c = t.At(nPos);
    if (bHex ? !IsHexDigit(c) : !IsDecimalDigit(c)) return FALSE;
  }
  return TRUE;
}

BOOL CMrSyntax::EnsureParaInfo(DWORD nPara) {
  if (pInfo != nullptr && nPara < nInfoAlloc) return TRUE;
  if (nPara > static_cast<DWORD>(INT_MAX) - MIREL_PARA_INFO_STEP) return FALSE;
  const DWORD nNew = (nPara + MIREL_PARA_INFO_STEP) / MIREL_PARA_INFO_STEP * MIREL_PARA_INFO_STEP;
  constexpr size_t kMaxInfos = SIZE_MAX / sizeof(MIREL_PARA_INFO);
  if (static_cast<size_t>(nNew) > kMaxInfos) return FALSE;
  void* p = std::realloc(pInfo, nNew * sizeof(MIREL_PARA_INFO));
  if (p == nullptr) return FALSE;
  pInfo = static_cast<MIREL_PARA_INFO*>(p);
  const DWORD nOld = nInfoAlloc;
  std::memset(pInfo + nOld, 0, (nNew - nOld) * sizeof(MIREL_PARA_INFO));
  nInfoAlloc = nNew;
  return TRUE;
}

void CMrSyntax::ResetParaInfo(BOOL bReallocate) {
  if (pInfo != nullptr) {
    for (DWORD i = 0; i < nInfoAlloc; ++i) std::free(pInfo[i].pRuns);
    std::free(pInfo);
    pInfo = nullptr;
  }
  nInfoAlloc = 0;
  if (bReallocate) EnsureParaInfo(0);
}

void CMrSyntax::InvalidateAll() {
  for (DWORD i = 0; i < nInfoAlloc; ++i) {
    pInfo[i].nStart = 0;
    pInfo[i].bParsed = 0;
  }
}

void CMrSyntax::InvalidateFrom(int nPara) {
  // The parsed records form an unbroken run from paragraph 0, so the first
  // unparsed one ends the work.
  for (DWORD i = nPara < 0 ? 0 : static_cast<DWORD>(nPara); i < nInfoAlloc; ++i) {
    if (pInfo[i].bParsed == 0) break;
    pInfo[i].bParsed = 0;
  }
}

int CMrSyntax::ParseAll(CMirelDoc* pDoc, const MIREL_LINE_TABLE* pAltLines) {
  const MIREL_LINE* pLines = pAltLines ? pAltLines->pLines : (pDoc ? pDoc->pLines : nullptr);
  const int nCount = pAltLines ? pAltLines->nLineCount : (pDoc ? pDoc->nLineCount : 0);
  if (pLines == nullptr || nCount <= 0) return 0;
  EnsureParaInfo(static_cast<DWORD>(nCount));
  for (int i = 0; i < nCount; ++i) {
    if (pLines[i].nSubLine != 0) continue;
    MIREL_PARA_INFO* pRec =
        EnsureParaInfo(pLines[i].nPara) ? GetParaInfo(static_cast<int>(pLines[i].nPara)) : nullptr;
    if (pRec) pRec->bParsed = 0;
    ParseParagraph(pDoc, i, pAltLines);
  }
  return nCount;
}

void CMrSyntax::ParseUpTo(CMirelDoc* pDoc, int nLine) {
  if (pDoc == nullptr || pDoc->pLines == nullptr || pDoc->nLineCount <= 0) return;
  if (nLine < 0) nLine = 0;
  if (nLine >= pDoc->nLineCount) nLine = pDoc->nLineCount - 1;
  int nPara = ParagraphOfLine(pDoc, nLine, nullptr);
  if (nPara < 0 || !EnsureParaInfo(static_cast<DWORD>(nPara))) return;
  while (pInfo[nPara].bParsed != 1 && nPara > 0) --nPara;
  const int nFirst = nPara > 0 ? pDoc->GetLineFromParagraph(nPara + 1) : 0;
  for (int i = nFirst < 0 ? 0 : nFirst; i <= nLine; ++i) ParseParagraph(pDoc, i, nullptr);
}

BOOL CMrSyntax::BeginParagraph(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines,
                               MrParaFrame& frame, CMrSyntaxText* pText) {
  frame = MrParaFrame();
  frame.nPara = ParagraphOfLine(pDoc, nLine, pAltLines);
  if (frame.nPara < 0) return FALSE;
  const MIREL_LINE* pLines = pAltLines ? pAltLines->pLines : pDoc->pLines;
  const int nCount = pAltLines ? pAltLines->nLineCount : pDoc->nLineCount;
  if (pLines[nLine].nSubLine != 0) return FALSE;
  int nLast = nLine;
  while (nLast + 1 < nCount && pLines[nLast + 1].nSubLine != 0) ++nLast;
  // Records grow with the text; a paragraph past them is never dropped.
  if (!EnsureParaInfo(static_cast<DWORD>(frame.nPara))) return FALSE;
  MIREL_PARA_INFO& rec = pInfo[frame.nPara];
  if (rec.bParsed == 1) return FALSE;
  if (pDoc == nullptr || pDoc->pContents == nullptr) return FALSE;

  CContentsHandler* pStore = pDoc->pContents;
  const DWORD nTextLen = pStore->GetTextLength();
  std::uint64_t nEnd = static_cast<std::uint64_t>(pLines[nLast].nStart) + pLines[nLast].nLen;
  DWORD nStart = pLines[nLine].nStart;
  if (nEnd > nTextLen) nEnd = nTextLen;
  if (nStart > nEnd) nStart = static_cast<DWORD>(nEnd);
  frame.nStart = nStart;
  frame.nEnd = static_cast<DWORD>(nEnd);
  if (IsWideEncoding(pDoc->nFileEncoding)) frame.nEnd = nStart + ((frame.nEnd - nStart) & ~1u);
  const BYTE* pData = pStore->GetText(nStart);
  const LONG nDataOffset = pStore->GetTextOffset();
  // Lexers read no further than the paragraph's end: no definition string
  // spans a line break, and no run may lie past the terminator.
  *pText = CMrSyntaxText(pData, nDataOffset < 0 ? 0 : static_cast<DWORD>(nDataOffset), frame.nEnd,
                         pDoc->nFileEncoding);

  rec.nStart = nStart;
  if (frame.nPara == 0) {
    frame.nStartState = 1;
  } else {
    const MIREL_PARA_INFO& prev = pInfo[frame.nPara - 1];
    frame.nStartState = prev.nEndState;
    frame.nStartSubState = prev.nEndSubState;
    frame.nStartSubState2 = prev.nEndSubState2;
  }
  frame.pInfo = &rec;
  frame.nRuns = 0;
  return TRUE;
}

void CMrSyntax::AddRun(MrParaFrame& frame, DWORD nPos, int nStyle) {
  MIREL_PARA_INFO* pRec = frame.pInfo;
  if (pRec == nullptr) return;
  if (frame.nRuns > 0) {
    const MIREL_COLOR_RUN& last = pRec->pRuns[frame.nRuns - 1];
    if (nPos == pRec->nStart + static_cast<DWORD>(last.nOffset)) {
      --frame.nRuns;
    } else if (nStyle == last.nStyle) {
      return;
    }
  }
  if (pRec->pRuns == nullptr || static_cast<DWORD>(frame.nRuns) >= pRec->nRunAlloc) {
    const DWORD nOld = pRec->pRuns ? pRec->nRunAlloc : 0;
    const DWORD nNew = nOld + MIREL_COLOR_RUN_STEP;
    void* p = std::realloc(pRec->pRuns, nNew * sizeof(MIREL_COLOR_RUN));
    if (p == nullptr) {
      // Out of memory: the last slot becomes the terminator so the list stays
      // readable.
      if (pRec->pRuns && nOld > 0 && nStyle == MIREL_STYLE_END) {
        pRec->pRuns[nOld - 1] = {static_cast<LONG>(nPos - pRec->nStart), MIREL_STYLE_END};
      }
      return;
    }
    pRec->pRuns = static_cast<MIREL_COLOR_RUN*>(p);
    std::memset(pRec->pRuns + nOld, 0, MIREL_COLOR_RUN_STEP * sizeof(MIREL_COLOR_RUN));
    pRec->nRunAlloc = nNew;
  }
  pRec->pRuns[frame.nRuns] = {static_cast<LONG>(nPos - pRec->nStart), nStyle};
  ++frame.nRuns;
}

void CMrSyntax::EndParagraph(MrParaFrame& frame, BYTE nState, BYTE nSubState, BYTE nSubState2) {
  MIREL_PARA_INFO* pRec = frame.pInfo;
  if (pRec == nullptr) return;
  AddRun(frame, frame.nEnd, MIREL_STYLE_END);
  pRec->bParsed = 1;
  pRec->nEndState = nState;
  pRec->nEndSubState = nSubState;
  pRec->nEndSubState2 = nSubState2;
}

std::vector<MrStyleRun> MrParagraphStyleRuns(CMrSyntax* pSyntax, long long nPara) {
  std::vector<MrStyleRun> runs;
  if (pSyntax == nullptr || nPara < 0 || nPara > INT_MAX) return runs;
  const MIREL_PARA_INFO* pInfo = pSyntax->GetParaInfo(static_cast<int>(nPara));
  if (pInfo == nullptr || pInfo->pRuns == nullptr || !pInfo->bParsed) return runs;
  for (DWORD i = 0; i < pInfo->nRunAlloc; ++i) {
    const MIREL_COLOR_RUN& run = pInfo->pRuns[i];
    if (run.nOffset < 0) continue;
    runs.push_back({pInfo->nStart + static_cast<DWORD>(run.nOffset), run.nStyle});
    if (run.nStyle == MIREL_STYLE_END) break;
  }
  return runs;
}
