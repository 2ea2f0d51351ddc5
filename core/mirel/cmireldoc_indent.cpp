// Indentation: the Tab key's tab that swallows the spaces before it, block
// indent and unindent of the selected paragraphs, the indentation of a new
// line after Return and the re-indentation of a line that a closing word
// (the syntax's unindent string) completes.
//
// Every test for a blank or an ASCII character looks at a whole unit, so a
// UTF-16 character whose low byte looks like one is left alone.
#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_editstep.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"
#include "mirel/syntax/cmrsyntax.h"
#include "mirel/mrtryalloc.h"

namespace {

// An indentation string never grows beyond this many bytes.
constexpr int kMaxIndentBytes = 0xFFFF;
constexpr int kIndentBufferBytes = 0x10000;

// Syntax string kinds.
constexpr int kIndentAfterString = 2;
constexpr int kUnindentString = 3;

BOOL IsBlank(UINT ch) {
  return ch == MR_CHAR_SPACE || ch == MR_CHAR_TAB || ch == MR_CHAR_NUL;
}

// The syntax string of a kind, NULL when it is missing or empty.
const char* SyntaxString(const CMirelDoc& doc, int nKind) {
  if (doc.pSyntax == nullptr) return nullptr;
  const char* psz = doc.pSyntax->GetSyntaxString(nKind);
  return psz != nullptr && *psz != '\0' ? psz : nullptr;
}

// TRUE when the nChars units of the text ending at nEnd spell psz, with the
// case rule of the syntax definition (only ASCII letters fold).
BOOL UnitsSpell(const CMirelDoc& doc, const MrDocText& text, DWORD nEnd, const char* psz, DWORD nChars) {
  const DWORD nUnit = text.bWide ? 2 : 1;
  if (nEnd > text.nLen || nEnd / nUnit < nChars) return FALSE;
  const BOOL bCase = doc.pSyntax != nullptr && doc.pSyntax->def.bCaseSensitive;
  DWORD nPos = nEnd - nChars * nUnit;
  for (DWORD i = 0; i < nChars; ++i, nPos += nUnit) {
    const UINT ch = MrUnitAt(text.p + nPos, text.bWide);
    const UINT want = static_cast<BYTE>(psz[i]);
    if (ch == want) continue;
    if (bCase || ch > 0x7F || MrToLowerA(static_cast<int>(ch)) != MrToLowerA(static_cast<int>(want)))
      return FALSE;
  }
  return TRUE;
}

// Bytes of blank units from nPos up to nEnd.
DWORD BlankRun(const MrDocText& text, DWORD nPos, DWORD nEnd) {
  const DWORD nUnit = text.bWide ? 2 : 1;
  DWORD n = nPos;
  while (n < nEnd && nEnd - n >= nUnit && IsBlank(MrUnitAt(text.p + n, text.bWide))) n += nUnit;
  return n - nPos;
}

}  // namespace

// ---------------------------------------------------------------------------
// Tab

DWORD CMirelDoc::InsertTab(DWORD nPos, BOOL bUndo) {
  const MrDocText text = MrGetDocText(*this);
  if (text.p == nullptr || pLines == nullptr || nLineCount <= 0 || nPos > text.nLen) return nPos;
  const DWORD nUnit = text.bWide ? 2 : 1;
  if (text.bWide && (nPos & 1)) return nPos;
  BYTE abTab[2];
  MrPutUnit(abTab, text.bWide, MR_CHAR_TAB);
  CMrEditStep step(*this, bUndo);
  const DWORD nRowStart = std::min(pLines[GetLineFromPos(nPos)].nStart, nPos);
  if (nPos == nRowStart) {
    // In the spaces mode the text view fills the row start itself.
    if (bTabToSpace) return nPos;
    return step.Insert(nPos, abTab, nUnit) ? nPos + nUnit : nPos;
  }
  if (nPos - nRowStart < nUnit || !text.UnitIs(nPos - nUnit, MR_CHAR_SPACE))
    return step.Insert(nPos, abTab, nUnit) ? nPos + nUnit : nPos;

  // The spaces before the position become the tabs that reach the same tab
  // stop (the next one after the position).
  DWORD nSpaces = nPos;
  while (nSpaces - nRowStart >= nUnit && text.UnitIs(nSpaces - nUnit, MR_CHAR_SPACE)) nSpaces -= nUnit;
  const long long nTab = std::max(nTabWidth, 1);
  long long x = 0;
  long long xSpaces = 0;
  for (DWORD n = nRowStart; n < nPos;) {
    if (n == nSpaces) xSpaces = x;
    const DWORD nLen = std::max<DWORD>(GetCharLength(text.p, n, text.nLen, nFileEncoding, nCodePage), 1);
    if (text.UnitIs(n, MR_CHAR_TAB)) {
      x = (x / nTab + 1) * nTab;
    } else {
      x += GetCharWidth(text.p + n, std::min(nLen, nPos - n));
    }
    n += nLen;
  }
  const long long nStop = (x / nTab + 1) * nTab;
  DWORD nTabs = 0;
  for (long long xs = xSpaces; xs < nStop; xs = (xs / nTab + 1) * nTab) ++nTabs;
  nTabs = std::max<DWORD>(nTabs, 1);
  std::vector<BYTE> tabs;
  if (!MrTryResize(tabs, static_cast<size_t>(nTabs) * nUnit)) return nPos;
  for (DWORD i = 0; i < nTabs; ++i) MrPutUnit(tabs.data() + i * nUnit, text.bWide, MR_CHAR_TAB);
  if (!step.Replace(nSpaces, nPos - nSpaces, tabs.data(), static_cast<DWORD>(tabs.size()))) return nPos;
  return nSpaces + static_cast<DWORD>(tabs.size());
}

// ---------------------------------------------------------------------------
// Block indent

void CMirelDoc::IndentBlock(int nFlag) {
  if (nWrapMode != MIREL_WRAP_NONE || !block.HasSelection() || pContents == nullptr || pLines == nullptr ||
      nLineCount <= 0) {
    MessageBeep(MB_OK);
    return;
  }
  const MrDocText text0 = MrGetDocText(*this);
  const DWORD nUnit = text0.bWide ? 2 : 1;
  const DWORD nSelStart = std::min(block.GetStartPtr(), text0.nLen);
  const DWORD nSelEnd = std::min(block.GetEndPtr(), text0.nLen);
  const BOOL bCaretFirst = block.nCaret < block.nAnchor;
  const int nFirst = GetParagraphFromPos(nSelStart);
  int nLast = GetParagraphFromPos(nSelEnd);
  // A block that ends at the start of a paragraph leaves that paragraph alone.
  if (nLast > nFirst && GetParagraphStart(nSelEnd) == nSelEnd) --nLast;

  BYTE abUnit[512];
  const DWORD nUnitLen = static_cast<DWORD>(std::max(FillIndent(1, abUnit, sizeof abUnit), 0));
  CMrEditStep step(*this);
  for (int nPara = nFirst; nPara <= nLast; ++nPara) {
    int nStart = 0;
    if (!GetParagraph(nPara, &nStart, nullptr)) break;
    const DWORD nAt = static_cast<DWORD>(nStart);
    if (nFlag) {
      if (bSkipEmptyLineOnBlockIndent && IsParagraphEmpty(nPara)) continue;
      step.Insert(nAt, abUnit, nUnitLen);
      continue;
    }
    // One tab, or up to a tab size of spaces.
    const MrDocText text = MrGetDocText(*this);
    DWORD nEnd = nAt;
    if (text.UnitIs(nEnd, MR_CHAR_TAB)) {
      nEnd += nUnit;
    } else {
      for (int i = 0; i < std::max(nTabSize, 1) && text.UnitIs(nEnd, MR_CHAR_SPACE); ++i) nEnd += nUnit;
    }
    step.Delete(nAt, nEnd - nAt);
  }
  step.Close();

  // The paragraphs stay selected, the caret at the end it was on.
  int nNewStart = 0;
  int nNewEnd = 0;
  GetParagraph(nFirst, &nNewStart, nullptr);
  GetParagraph(nLast, nullptr, &nNewEnd);
  const DWORD nFrom = static_cast<DWORD>(nNewStart);
  const DWORD nTo = static_cast<DWORD>(std::max(nNewEnd, nNewStart));
  nVirtualSpace = 0;
  if (bCaretFirst) {
    MrSelectRange(*this, nTo, nFrom);
  } else {
    MrSelectRange(*this, nFrom, nTo);
  }
  UpdateAllScrollBars();
  UpdateAllViews(REPAINT_TAG_FROM, nFrom, 0);
}

// ---------------------------------------------------------------------------
// Syntax indentation

BOOL CMirelDoc::IsSyntaxIndentTrigger() {
  const char* pszAfter = SyntaxString(*this, kIndentAfterString);
  if (!bSyntaxIndentation || pszAfter == nullptr || pContents == nullptr || pLines == nullptr) return FALSE;
  const MrDocText text = MrGetDocText(*this);
  const DWORD nUnit = text.bWide ? 2 : 1;
  int nStart = 0;
  int nEnd = 0;
  const DWORD nCaret = static_cast<DWORD>(std::clamp<long long>(nCaretPos, 0, text.nLen));
  if (!GetParagraph(GetPrevParagraph(nCaret, FALSE), &nStart, &nEnd)) return FALSE;
  // The last character that is not blank, within the paragraph.
  DWORD nLast = static_cast<DWORD>(nEnd);
  while (nLast - static_cast<DWORD>(nStart) >= nUnit && IsBlank(MrUnitAt(text.p + nLast - nUnit, text.bWide)))
    nLast -= nUnit;
  const DWORD nChars = static_cast<DWORD>(std::strlen(pszAfter));
  if ((nLast - static_cast<DWORD>(nStart)) / nUnit < nChars) return FALSE;
  return UnitsSpell(*this, text, nLast, pszAfter, nChars);
}

void CMirelDoc::ApplySyntaxUnindent(char ch) {
  if (pContents == nullptr || pLines == nullptr || nLineCount <= 0) return;
  const MrDocText text = MrGetDocText(*this);
  const DWORD nUnit = text.bWide ? 2 : 1;
  const DWORD nCaret = static_cast<DWORD>(std::clamp<long long>(nCaretPos, 0, text.nLen)) & ~(nUnit - 1);

  if (static_cast<BYTE>(ch) == MR_CHAR_CR) {
    std::vector<BYTE> indent(kIndentBufferBytes);
    // A new line: the indentation of the line above, one level deeper after
    // the indent-after string; it replaces the blanks carried down.
    int nLen = GetLeadingBlanks(GetPrevParagraph(nCaret, FALSE), indent.data(), kMaxIndentBytes);
    if (IsSyntaxIndentTrigger()) {
      if (nLen > kMaxIndentBytes - 1) return;
      nLen += FillIndent(1, indent.data() + nLen, kMaxIndentBytes - nLen);
    }
    const DWORD nOld = BlankRun(text, nCaret, GetParagraphEnd(nCaret));
    CMrEditStep step(*this, TRUE, TRUE);
    if (nOld == 0 && nLen == 0) return;
    if (!step.Replace(nCaret, nOld, indent.data(), static_cast<DWORD>(nLen))) return;
    step.Close();
    MrCollapseAt(*this, nCaret + static_cast<DWORD>(nLen));
    return;
  }

  // A closing word typed at the end of a line of blanks.
  const char* pszClose = SyntaxString(*this, kUnindentString);
  if (pszClose == nullptr) return;
  const DWORD nChars = static_cast<DWORD>(std::strlen(pszClose));
  const DWORD nStart = GetParagraphStart(nCaret);
  const DWORD nEnd = GetParagraphEnd(nCaret);
  if (nCaret != nEnd || (nCaret - nStart) / nUnit < nChars) return;
  if (!UnitsSpell(*this, text, nCaret, pszClose, nChars)) return;
  const DWORD nTrigger = nCaret - nChars * nUnit;
  if (BlankRun(text, nStart, nTrigger) != nTrigger - nStart) return;

  std::vector<BYTE> indent(kIndentBufferBytes);
  int nNew = 0;
  if (nChars == 1) {
    // The indentation of the line that holds the partner bracket.
    DWORD nPartner = nTrigger >= nUnit ? GetPrevCharPos(nTrigger) : 0;
    if (nTrigger >= nUnit && FindMatchingBrace(&nPartner, static_cast<BYTE>(pszClose[0]), FALSE))
      nNew = GetLeadingBlanks(GetParagraphFromPos(nPartner), indent.data(), kMaxIndentBytes);
  } else {
    // One level less than the line above, unless that line opens a level.
    std::vector<BYTE> above(kIndentBufferBytes);
    const int nAbove = GetLeadingBlanks(GetPrevParagraph(nCaret, FALSE), above.data(), kMaxIndentBytes);
    int nLevel = GetIndentWidth(above.data(), nAbove) / std::max(nTabSize, 1);
    if (!IsSyntaxIndentTrigger()) nLevel = std::max(nLevel - 1, 0);
    nNew = FillIndent(nLevel, indent.data(), kMaxIndentBytes);
  }
  const DWORD nOld = nTrigger - nStart;
  if (nOld == static_cast<DWORD>(nNew) && std::equal(text.p + nStart, text.p + nTrigger, indent.data()))
    return;
  CMrEditStep step(*this, TRUE, TRUE);
  if (!step.Replace(nStart, nOld, indent.data(), static_cast<DWORD>(nNew))) return;
  step.Close();
  MrCollapseAt(*this, nStart + static_cast<DWORD>(nNew) + nChars * nUnit);
}
