// Find and replace in the document: plain text, regular expressions and, in
// the hex view, byte patterns; the match is selected with the caret at its end.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/chexa.h"
#include "mirel/cencodings.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"
#include "mirel/mrcharsync.h"
#include "mirel/mrmodifiednotify.h"
#include "mirel/mrtextunits.h"
#include "mirel/search/cregexp.h"
#include "mirel/search/mrcharstarts.h"
#include "mirel/search/mrfind.h"
#include "mirel/search/mrwholeword.h"
#include "mirel/mrtryalloc.h"

namespace {

constexpr int kKnownFlags = MIREL_FIND_BACKWARD | MIREL_FIND_WHOLEWORD | MIREL_FIND_MATCHCASE |
                            MIREL_FIND_WRAP | MIREL_FIND_REGEXP | MIREL_FIND_HEX_TEXT;

BOOL IsForward(int nFlags) {
  return (nFlags & MIREL_FIND_BACKWARD) == 0;
}

// The searched bytes of the view: the text (mark excluded) in the text view,
// the whole body in the hex view.
struct SearchBuffer {
  const BYTE* p = nullptr;
  DWORD nLen = 0;
};

SearchBuffer BufferOf(CMirelDoc& doc) {
  SearchBuffer buf;
  if (doc.pContents == nullptr) return buf;
  if (doc.nViewType == MIREL_VIEW_TYPE_HEX) {
    buf.p = doc.pContents->GetBody(0);
    buf.nLen = buf.p ? doc.pContents->GetBodyLength() : 0;
  } else {
    const MrDocText text = MrGetDocText(doc);
    buf.p = text.p;
    buf.nLen = text.nLen;
  }
  return buf;
}

// A position of the text view moved back to the start of the character
// holding it. Rows start on characters, so the walk is one row at most; in
// UTF-16 the unit before the second half of a CR LF or surrogate pair starts
// it.
DWORD AlignToChar(CMirelDoc& doc, DWORD nPos) {
  const MrDocText text = MrGetDocText(doc);
  nPos = std::min(nPos, text.nLen);
  if (text.bWide) nPos &= ~1u;
  if (doc.pLines == nullptr || doc.nLineCount <= 0 || nPos == 0 || nPos >= text.nLen) return nPos;
  const BYTE* pLead = doc.GetLeadByteTable();
  // Most positions, a match end among them, tell from their neighbours.
  if (MrIsSurelyCharStart(text.p, nPos, text.nLen, doc.nFileEncoding, pLead)) return nPos;
  if (text.bWide) return nPos - 2;
  if (text.UnitIs(nPos, MR_CHAR_LF) && text.UnitIs(nPos - 1, MR_CHAR_CR)) return nPos - 1;
  const MIREL_LINE& row = doc.pLines[doc.GetLineFromPos(nPos)];
  const DWORD nRowStart = std::min(row.nStart, nPos);
  if (doc.nFileEncoding == MIREL_ENCODING_ANSI) {
    // Inside a run of lead-byte values: pairs count from the row start.
    CMrDbcsBoundary boundary(text.p, text.nLen, pLead, nRowStart, nRowStart);
    return boundary.IsBoundary(nPos) ? nPos : nPos - 1;
  }
  DWORD nChar = nRowStart;
  while (nChar < nPos) {
    const DWORD nLen = MrCharLength(text.p, nChar, text.nLen, doc.nFileEncoding, pLead);
    if (nLen == 0 || nChar + nLen > nPos) break;
    nChar += nLen;
  }
  return nChar;
}

// The row of nPos as CMirelDoc::GetLineFromPos answers it, found by walking
// on from nNear when that row starts at or a few rows before the position
// (a find that follows the last match starts on the caret's row).
int RowOfPosNear(CMirelDoc& doc, DWORD nPos, int nNear) {
  constexpr int kMaxRowsWalked = 16;
  const MIREL_LINE* pLines = doc.pLines;
  if (pLines != nullptr && nNear >= 0 && nNear < doc.nLineCount && pLines[nNear].nStart <= nPos) {
    const int nStop = std::min(doc.nLineCount - 1, nNear + kMaxRowsWalked);
    int nRow = nNear;
    while (nRow < nStop && pLines[nRow + 1].nStart <= nPos) ++nRow;
    if (nRow == doc.nLineCount - 1 || pLines[nRow + 1].nStart > nPos) {
      // The last row starting at or before the position holds it when every
      // row is a paragraph, or when the position lies strictly inside it.
      if (doc.RowsAreParagraphs()) return nRow;
      if (pLines[nRow].nStart < nPos && nPos < MrRowEnd(pLines[nRow])) return nRow;
    }
  }
  return doc.GetLineFromPos(nPos);
}

// Where a find starts: the selection or caret, or the host's position cut to
// the text and to a whole unit or character.
DWORD StartPosition(CMirelDoc& doc, int nFlags, BOOL bFindCurrent, const int* pnPos) {
  const BOOL bHex = doc.nViewType == MIREL_VIEW_TYPE_HEX;
  const SearchBuffer buf = BufferOf(doc);
  DWORD nPos;
  if (bFindCurrent) {
    if (doc.block.IsNotEmpty()) {
      nPos = IsForward(nFlags) ? doc.block.GetEndPtr() : doc.block.GetStartPtr();
    } else {
      nPos = doc.nCaretPos < 0 ? 0 : static_cast<DWORD>(doc.nCaretPos);
    }
  } else {
    nPos = (pnPos == nullptr || *pnPos < 0) ? 0 : static_cast<DWORD>(*pnPos);
  }
  nPos = std::min(nPos, buf.nLen);
  if (bHex) return IsWideEncoding(doc.nFileEncoding) ? nPos & ~1u : nPos;
  return AlignToChar(doc, nPos);
}

BOOL IsHexDigitsFind(const CMirelDoc& doc, int nFlags) {
  return doc.nViewType == MIREL_VIEW_TYPE_HEX && (nFlags & MIREL_FIND_HEX_TEXT) == 0;
}

// An empty regular expression searches with the last one compiled.
BOOL IsRegExpFind(const CMirelDoc& doc, int nFlags) {
  return doc.nViewType == MIREL_VIEW_TYPE_TEXT && (nFlags & MIREL_FIND_REGEXP) != 0;
}

void SetPos(int* pnPos, DWORD nPos) {
  if (pnPos != nullptr) *pnPos = static_cast<int>(std::min<DWORD>(nPos, 0x7FFFFFFF));
}

// The paragraph holding a display row: its first and last rows and extent.
struct Paragraph {
  int nFirst = 0;
  int nLast = 0;
  DWORD nStart = 0;
  DWORD nEnd = 0;
};

Paragraph ParagraphOfRow(const CMirelDoc& doc, int nRow) {
  Paragraph para;
  para.nFirst = nRow - static_cast<int>(std::min<DWORD>(doc.pLines[nRow].nSubLine, static_cast<DWORD>(nRow)));
  para.nLast = nRow;
  while (para.nLast + 1 < doc.nLineCount && doc.pLines[para.nLast + 1].nSubLine != 0) ++para.nLast;
  para.nStart = doc.pLines[para.nFirst].nStart;
  para.nEnd = MrRowEnd(doc.pLines[para.nLast]);
  return para;
}

// Text converted from ANSI (code page) into the document encoding.
BOOL ConvertFromAnsi(const char* psz, int nEncoding, UINT nCodePage, std::vector<BYTE>* pOut) {
  pOut->clear();
  if (psz == nullptr) return FALSE;
  const size_t n = MrStrLen(psz);
  if (n > 0x3FFFFFFF) return FALSE;
  if (nEncoding != MIREL_ENCODING_UTF16LE && nEncoding != MIREL_ENCODING_UTF8 &&
      nEncoding != MIREL_ENCODING_UTF8_BOM) {
    return MrTryAppend(*pOut, psz, psz + n);
  }
  if (n == 0) return TRUE;
  const int nUnits = MultiByteToWideChar(nCodePage, 0, psz, static_cast<int>(n), nullptr, 0);
  if (nUnits <= 0) return FALSE;
  std::vector<WCHAR> wide;
  if (!MrTryResize(wide, static_cast<size_t>(nUnits))) return FALSE;
  if (MultiByteToWideChar(nCodePage, 0, psz, static_cast<int>(n), wide.data(), nUnits) != nUnits)
    return FALSE;
  if (nEncoding == MIREL_ENCODING_UTF16LE) {
    if (!MrTryResize(*pOut, static_cast<size_t>(nUnits) * 2)) return FALSE;
    for (int i = 0; i < nUnits; ++i) MrPutUnit(pOut->data() + 2 * i, TRUE, wide[static_cast<size_t>(i)]);
    return TRUE;
  }
  const int nBytes = Utf8LengthOfUtf16(wide.data(), nUnits);
  if (nBytes <= 0) return FALSE;
  if (!MrTryResize(*pOut, static_cast<size_t>(nBytes))) return FALSE;
  return Utf16ToUtf8(wide.data(), nUnits, pOut->data(), nBytes) == nBytes;
}

}  // namespace

BOOL MrIsWholeWordMatch(CMirelDoc& doc, const BYTE* p, DWORD nLen, DWORD s, DWORD e, CMrTextFinder* pFinder) {
  const BOOL bWide = IsWideEncoding(doc.nFileEncoding);
  const BOOL bUtf8 = doc.nFileEncoding == MIREL_ENCODING_UTF8 || doc.nFileEncoding == MIREL_ENCODING_UTF8_BOM;
  const DWORD nUnit = bWide ? 2 : 1;
  BOOL bBefore = TRUE;
  if (s >= nUnit) {
    if (bUtf8 && p[s - 1] >= 0x80) {
      bBefore = FALSE;  // the last byte of a multi-byte character
    } else if (!bWide && doc.nFileEncoding == MIREL_ENCODING_ANSI && s >= 2) {
      const BYTE* lead = doc.GetLeadByteTable();
      // After a double-byte character (its trail byte may have any value).
      const BOOL bAfterPair =
          lead[p[s - 2]] && p[s - 1] >= MR_MIN_TRAIL_BYTE &&
          !(pFinder != nullptr ? pFinder->IsDbcsCharStart(s - 1) : MrIsDbcsBoundary(p, nLen, s - 1, lead));
      bBefore = !bAfterPair && doc.IsWordDelimiter(p + s - nUnit);
    } else {
      bBefore = doc.IsWordDelimiter(p + s - nUnit);
    }
  }
  const BOOL bAfter = e + nUnit > nLen || doc.IsWordDelimiter(p + e);
  return bBefore && bAfter;
}

namespace {

// After a find: select [s, e) with the caret at e, and show it.
void SelectMatch(CMirelDoc& doc, DWORD s, DWORD e, int nFlags, int* pnPos, BOOL bShow) {
  doc.nVirtualSpace = 0;
  if (doc.nViewType == MIREL_VIEW_TYPE_HEX) {
    const DWORD nPerRow = static_cast<DWORD>(std::max(doc.nHexBytesPerLine, 1));
    doc.block.SetBoth(s, static_cast<int>(s / nPerRow));
    doc.cli = static_cast<int>(e / nPerRow);
    doc.block.SetCaretRaw(e, doc.cli);
  } else {
    // Searched from the caret, a match most often lies a few rows after it.
    const int nStartRow = RowOfPosNear(doc, s, doc.cli);
    doc.block.Reset(s, nStartRow, FALSE);
    doc.cli = RowOfPosNear(doc, e, nStartRow);
    if (doc.cli == nStartRow) {
      // In the anchor's row the caret's x goes on from the anchor's.
      doc.block.SetCaretAtX(e, doc.cli, doc.GetXFromPosAfter(doc.cli, s, doc.block.nAnchorX, e, TRUE));
    } else {
      doc.block.SetCaret(e, doc.cli);
    }
  }
  doc.nCaretPos = static_cast<int>(e);
  SetPos(pnPos, e);
  CMirel* pEdit = doc.GetActiveEdit();
  if (!bShow || pEdit == nullptr || pEdit->pView == nullptr) return;
  UINT nTop = 0;
  const int nMode = IsForward(nFlags) ? 0 : 1;
  if (!pEdit->pView->GetTopLineToShow(static_cast<UINT>(std::max(doc.cli, 0)), nMode, &nTop)) {
    pEdit->nTopLine = static_cast<int>(std::min<UINT>(nTop, 0x7FFFFFFF));
    pEdit->pView->UpdateScrollBars();
  }
  doc.UpdateActiveCaret(1, 1);
  doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}

// Replaces the selection [s, e) by the bytes as one undo step and leaves the
// caret after them. FALSE (nothing changed) when the store refuses. The
// read-only flag guards the user's typing, not the host's calls.
BOOL ReplaceSelection(CMirelDoc& doc, DWORD s, DWORD e, const BYTE* pReplace, DWORD nReplace, int* pnPos,
                      BOOL bShow) {
  CMrModifiedNotifyHold notify(doc);
  doc.nVirtualSpace = 0;
  doc.SeparateUndo();
  doc.StartUndoGroup();
  const BOOL bDone = notify.Note(doc.ReplaceContents(s, e - s, TRUE, pReplace, nReplace, TRUE));
  doc.EndUndoGroup();
  if (!bDone) return FALSE;
  DWORD nCaret = s + nReplace;
  if (doc.nViewType == MIREL_VIEW_TYPE_HEX) {
    doc.cli = static_cast<int>(nCaret / static_cast<DWORD>(std::max(doc.nHexBytesPerLine, 1)));
    doc.block.SetBoth(nCaret, doc.cli);
  } else {
    nCaret = MrCaretOffCharMiddle(doc, nCaret, nReplace > 0);
    doc.cli = doc.GetLineFromPos(nCaret);
    doc.block.Reset(nCaret, doc.cli, FALSE);
  }
  doc.nCaretPos = static_cast<int>(nCaret);
  SetPos(pnPos, nCaret);
  // The text changed: every window shows it again; only bShow scrolls.
  doc.UpdateAllScrollBars();
  if (bShow) doc.UpdateActiveCaret(1, 1);
  doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
  return TRUE;
}

// The span a regular-expression match selects: group 0 with a CR LF pair it
// cuts kept whole.
void RegexMatchSpan(const MrDocText& text, const CRegExp& rx, DWORD* ps, DWORD* pe) {
  DWORD s = std::min(rx.anGroupStart[0], text.nLen);
  DWORD e = std::min(rx.anGroupEnd[0], text.nLen);
  if (s > 0 && text.UnitIs(s, MR_CHAR_LF) && text.UnitIs(s - 1, MR_CHAR_CR)) --s;
  if (e > 0 && text.UnitIs(e, MR_CHAR_LF) && text.UnitIs(e - 1, MR_CHAR_CR)) ++e;
  *ps = s;
  *pe = e;
}

// A match of a plain or hex scan: its start and byte length (0: none).
struct ScanHit {
  DWORD nStart = 0;
  DWORD nLen = 0;
};

// Scans for a plain or hex pattern with the wrap rule; TRUE with the accepted
// match. scan(nPos, nEndLimit, bForward) gives the first match that starts at
// or after nPos, or backward the last one that starts at or before nPos and
// ends at or before nEndLimit. A backward match ends at or before the start;
// nMinMatch is the fewest bytes a match takes.
template <typename Scan, typename Accept>
BOOL ScanWithWrap(DWORD nStart, DWORD nLen, DWORD nMinMatch, int nFlags, int* pnPos, Scan scan, Accept accept,
                  DWORD nUnit, ScanHit* pFound) {
  const BOOL bForward = IsForward(nFlags);
  BOOL bWrapLeft = (nFlags & MIREL_FIND_WRAP) != 0;
  const DWORD nLast = nLen > 0 ? nLen - 1 : 0;
  DWORD nPos = nStart;
  DWORD nEndLimit = nLen;
  if (!bForward) {
    if (nStart < nMinMatch) {
      if (!bWrapLeft) {
        SetPos(pnPos, 0);
        return FALSE;
      }
      bWrapLeft = FALSE;
      nPos = nLast;
    } else {
      nPos = nStart - nMinMatch;
      nEndLimit = nStart;
    }
  }
  for (;;) {
    const ScanHit hit = scan(nPos, nEndLimit, bForward);
    if (hit.nLen > 0) {
      if (accept(hit)) {
        *pFound = hit;
        return TRUE;
      }
      // A rejected match may overlap the next one: go on one character
      // (or unit: no match starts inside a character) past its start.
      if (bForward) {
        nPos = hit.nStart + nUnit;
        continue;
      }
      if (hit.nStart >= nUnit) {
        nPos = hit.nStart - nUnit;
        continue;
      }
    }
    if (!bWrapLeft) return FALSE;
    bWrapLeft = FALSE;
    nPos = bForward ? 0 : nLast;
    nEndLimit = nLen;
  }
}

// The scan of a finder, as ScanWithWrap calls it.
ScanHit ScanText(CMrTextFinder& finder, DWORD nPos, DWORD nEndLimit, BOOL bForward) {
  ScanHit hit;
  DWORD nMatch = 0;
  const long long nAt = bForward ? finder.Forward(nPos, &nMatch) : finder.Backward(nPos, nEndLimit, &nMatch);
  if (nAt >= 0) {
    hit.nStart = static_cast<DWORD>(nAt);
    hit.nLen = nMatch;
  }
  return hit;
}

}  // namespace

// ---------------------------------------------------------------------------
// Entry with ANSI strings

int CMirelDoc::FindTextA(const char* pszText, int nFlags, BOOL bFindCurrent, int* pnPos, BOOL bShow) {
  if (pContents == nullptr || pszText == nullptr) return 0;
  if (nFileEncoding == MIREL_ENCODING_UTF16BE) {
    MirelTrace("nFileEncoding: %d\n", nFileEncoding);
    return 0;
  }
  std::vector<BYTE> pattern;
  // Hex digits are read as they stand; text goes into the document encoding.
  const int nForm = IsHexDigitsFind(*this, nFlags) ? MIREL_ENCODING_ANSI : nFileEncoding;
  if (!ConvertFromAnsi(pszText, nForm, static_cast<UINT>(nCodePage), &pattern)) return 0;
  if (pattern.empty() && !IsRegExpFind(*this, nFlags)) return 0;
  const int nLen = static_cast<int>(pattern.size());
  if (nViewType == MIREL_VIEW_TYPE_TEXT)
    return FindText(pattern.data(), nLen, nFlags, bFindCurrent, pnPos, bShow);
  if (nViewType == MIREL_VIEW_TYPE_HEX)
    return FindHex(pattern.data(), nLen, nFlags, bFindCurrent, pnPos, bShow);
  return 0;
}

int CMirelDoc::ReplaceTextA(const char* pszFind, const char* pszReplace, int nFlags, BOOL bFindCurrent,
                            int* pnPos, BOOL bShow) {
  if (pContents == nullptr || pszFind == nullptr || nFileEncoding == MIREL_ENCODING_UTF16BE) return 0;
  std::vector<BYTE> find;
  std::vector<BYTE> replace;
  const int nForm = IsHexDigitsFind(*this, nFlags) ? MIREL_ENCODING_ANSI : nFileEncoding;
  if (!ConvertFromAnsi(pszFind, nForm, CP_ACP, &find)) return 0;
  if (find.empty() && !IsRegExpFind(*this, nFlags)) return 0;
  if (!ConvertFromAnsi(pszReplace != nullptr ? pszReplace : "", nForm, CP_ACP, &replace)) return 0;
  const int nFind = static_cast<int>(find.size());
  const int nReplace = static_cast<int>(replace.size());
  if (nViewType == MIREL_VIEW_TYPE_TEXT)
    return ReplaceText(find.data(), nFind, replace.data(), nReplace, nFlags, bFindCurrent, pnPos, bShow);
  if (nViewType == MIREL_VIEW_TYPE_HEX)
    return ReplaceHex(find.data(), nFind, replace.data(), nReplace, nFlags, bFindCurrent, pnPos, bShow);
  return 0;
}

// ---------------------------------------------------------------------------
// Plain text

int CMirelDoc::FindText(const BYTE* pPattern, int nLen, int nFlags, BOOL bFindCurrent, int* pnPos,
                        BOOL bShow) {
  if (nViewType != MIREL_VIEW_TYPE_TEXT || pContents == nullptr || pLines == nullptr) return 0;
  if (nLen < 0 || (pPattern == nullptr && nLen > 0)) return 0;
  if (!bFindCurrent && pnPos == nullptr) return 0;
  nFlags &= kKnownFlags;
  if (nFlags & MIREL_FIND_REGEXP) return FindRegExp(pPattern, nLen, nFlags, bFindCurrent, pnPos, bShow);
  if (nLen == 0) return 0;
  const MrDocText text = MrGetDocText(*this);
  const DWORD nUnit = text.bWide ? 2 : 1;
  const BOOL bMatchCase = (nFlags & MIREL_FIND_MATCHCASE) != 0;
  const BOOL bWhole = (nFlags & MIREL_FIND_WHOLEWORD) != 0;
  const DWORD nStart = StartPosition(*this, nFlags, bFindCurrent, pnPos);
  // The start and its row's start are character starts: the walks of a
  // double-byte text stop there.
  const DWORD nRowStart = std::min(pLines[RowOfPosNear(*this, nStart, cli)].nStart, nStart);
  CMrTextFinder finder(text.p, text.nLen, pPattern, static_cast<DWORD>(nLen), nFileEncoding, nCodePage,
                       bMatchCase, nStart, nRowStart);
  auto scan = [&](DWORD nPos, DWORD nEndLimit, BOOL bForward) {
    return ScanText(finder, nPos, nEndLimit, bForward);
  };
  auto accept = [&](const ScanHit& hit) {
    return !bWhole ||
           MrIsWholeWordMatch(*this, text.p, text.nLen, hit.nStart, hit.nStart + hit.nLen, &finder);
  };
  ScanHit found;
  if (!ScanWithWrap(nStart, text.nLen, finder.MinMatchLength(), nFlags, pnPos, scan, accept, nUnit, &found))
    return 0;
  SelectMatch(*this, found.nStart, found.nStart + found.nLen, nFlags, pnPos, bShow);
  SetFindResult(pPattern, nLen, nFlags);
  return 1;
}

int CMirelDoc::ReplaceText(const BYTE* pFind, int nFindLen, const BYTE* pReplace, int nReplaceLen, int nFlags,
                           BOOL bFindCurrent, int* pnPos, BOOL bShow) {
  if (nViewType != MIREL_VIEW_TYPE_TEXT || pContents == nullptr || pLines == nullptr) return 0;
  nFlags &= kKnownFlags;
  // An empty regular expression stands for the last one.
  const int nMinFind = (nFlags & MIREL_FIND_REGEXP) ? 0 : 1;
  if (nFindLen < nMinFind || (pFind == nullptr && nFindLen > 0) || nReplaceLen < 0 ||
      (pReplace == nullptr && nReplaceLen > 0))
    return 0;
  const MrDocText text = MrGetDocText(*this);
  const DWORD s = block.GetStartPtr();
  const DWORD e = std::min(block.GetEndPtr(), text.nLen);
  const BOOL bSelected = block.IsNotEmpty() && !block.IsColumnBlock() && s < e;
  BOOL bIsMatch = FALSE;
  if (bSelected && (nFlags & MIREL_FIND_REGEXP)) {
    // The selection must be the last match, and still be one: an edit since
    // may have changed the text under it.
    CRegExp* pRx = pRegExp;
    DWORD nMatchStart = 0;
    DWORD nMatchEnd = 0;
    if (pRx != nullptr && pRx->abGroupValid[0]) RegexMatchSpan(text, *pRx, &nMatchStart, &nMatchEnd);
    if (pRx != nullptr && pRx->abGroupValid[0] && nMatchStart == s && nMatchEnd == e) {
      const Paragraph para = ParagraphOfRow(*this, GetLineFromPos(s));
      if (pRx->MatchAt(text.p, pRx->anGroupStart[0], para.nEnd, text.nLen, para.nStart)) {
        RegexMatchSpan(text, *pRx, &nMatchStart, &nMatchEnd);
        bIsMatch = nMatchStart == s && nMatchEnd == e;
      }
    }
  } else if (bSelected) {
    // The same comparison as the find: the only candidate is the selection.
    const DWORD nRowStart = std::min(pLines[GetLineFromPos(s)].nStart, s);
    CMrTextFinder finder(text.p, text.nLen, pFind, static_cast<DWORD>(nFindLen), nFileEncoding, nCodePage,
                         (nFlags & MIREL_FIND_MATCHCASE) != 0, nRowStart, nRowStart);
    bIsMatch = finder.MatchAtCharStart(s) == e - s;
  }
  if (bIsMatch) {
    return ReplaceSelection(*this, s, e, pReplace, static_cast<DWORD>(nReplaceLen), pnPos, bShow) ? 2 : 0;
  }
  return FindText(pFind, nFindLen, nFlags, bFindCurrent, pnPos, bShow);
}

// ---------------------------------------------------------------------------
// Regular expressions

namespace {

// The matches a find may select: they start and end on whole characters; a
// forward find also passes over the empty match at its own start, and a
// backward one starts no attempt at the paragraph end unless the pattern is
// anchored. Starts and ends are asked about in runs of their own.
class CWholeCharFilter : public CRegExpFilter {
 public:
  CWholeCharFilter(const MrDocText& text, BOOL bUtf8, const BYTE* pLead)
      : m_text(text),
        m_bUtf8(bUtf8),
        m_pLead(pLead),
        m_starts(text.p, text.nLen, bUtf8, pLead),
        m_ends(text.p, text.nLen, bUtf8, pLead) {}

  // nKnown starts a character (a row start near where the search begins):
  // the walks through a run of lead-byte values stop there instead of going
  // back to the run's start, so steps through a long double-byte line stay
  // short.
  void KnowStart(DWORD nKnown) {
    m_starts = CMrCharStarts(m_text.p, m_text.nLen, m_bUtf8, m_pLead, nKnown);
    m_ends = CMrCharStarts(m_text.p, m_text.nLen, m_bUtf8, m_pLead, nKnown);
  }

  // Forward from nFrom.
  void SetForward(DWORD nFrom) {
    m_bForward = TRUE;
    m_nFrom = nFrom;
    m_nNoStart = kNowhere;
  }
  // Backward in a paragraph ending at nEnd; bAnyStart: the pattern is
  // anchored, so an attempt at the end counts.
  void SetBackward(DWORD nEnd, BOOL bAnyStart) {
    m_bForward = FALSE;
    m_nNoStart = bAnyStart ? kNowhere : nEnd;
  }

  BOOL IsStartAllowed(DWORD nPos) override { return nPos != m_nNoStart && m_starts.IsCharStart(nPos); }
  BOOL IsMatchAllowed(DWORD s, DWORD e) override {
    if (m_bForward && s == m_nFrom && e == m_nFrom) return FALSE;
    return m_ends.IsCharStart(e);
  }

 private:
  static constexpr DWORD kNowhere = 0xFFFFFFFF;
  MrDocText m_text;
  BOOL m_bUtf8;
  const BYTE* m_pLead;
  CMrCharStarts m_starts;
  CMrCharStarts m_ends;
  BOOL m_bForward = TRUE;
  DWORD m_nFrom = 0;
  DWORD m_nNoStart = kNowhere;
};

// A regular-expression search over the paragraphs of the document. Each
// paragraph is one line to the matcher, with its own step budget; when a
// budget runs out the search stops and finds nothing.
class CRegexSearch {
 public:
  CRegexSearch(CMirelDoc& doc, CRegExp& rx)
      : m_doc(doc),
        m_rx(rx),
        m_text(MrGetDocText(doc)),
        m_filter(m_text,
                 doc.nFileEncoding == MIREL_ENCODING_UTF8 || doc.nFileEncoding == MIREL_ENCODING_UTF8_BOM,
                 doc.nFileEncoding == MIREL_ENCODING_ANSI ? doc.GetLeadByteTable() : nullptr) {}

  // First match with start >= nFrom that is not the empty match at nFrom;
  // paragraphs from the one holding nFrom to the end of the text.
  BOOL Forward(DWORD nFrom, DWORD* ps, DWORD* pe) {
    m_filter.SetForward(nFrom);
    int nRow = m_doc.GetLineFromPos(nFrom);
    if (nRow < m_doc.nLineCount) m_filter.KnowStart(m_doc.pLines[nRow].nStart);
    while (nRow < m_doc.nLineCount) {
      const Paragraph para = ParagraphOfRow(m_doc, nRow);
      const DWORD p = std::max(nFrom, para.nStart);
      if (p <= para.nEnd && m_rx.MatchFirst(m_text.p, p, para.nEnd, m_text.nLen, para.nStart, m_filter))
        return Found(ps, pe);
      if (GaveUp(para)) return FALSE;
      nRow = para.nLast + 1;
    }
    return FALSE;
  }

  // Last match that starts strictly before nBefore.
  BOOL Backward(DWORD nBefore, DWORD* ps, DWORD* pe) {
    if (nBefore == 0) return FALSE;
    DWORD c = std::min(nBefore - 1, m_text.nLen);
    int nRow = m_doc.GetLineFromPos(c);
    if (nRow < m_doc.nLineCount) m_filter.KnowStart(m_doc.pLines[nRow].nStart);
    const BYTE nFirstCode = m_rx.abProgram[0];
    for (;;) {
      const Paragraph para = ParagraphOfRow(m_doc, nRow);
      if (c > para.nEnd) c = para.nEnd;
      m_filter.SetBackward(para.nEnd, nFirstCode == RX_BOL || nFirstCode == RX_EOL);
      if (nFirstCode == RX_EOL) {
        // A lone "$": the empty match at the paragraph end.
        if (c == para.nEnd && m_filter.IsStartAllowed(c)) {
          m_rx.anGroupStart[0] = m_rx.anGroupEnd[0] = c;
          m_rx.abGroupValid[0] = TRUE;
          return Found(ps, pe);
        }
      } else {
        if (m_rx.MatchLast(m_text.p, para.nStart, c, para.nEnd, m_text.nLen, para.nStart, m_filter))
          return Found(ps, pe);
        if (GaveUp(para)) return FALSE;
      }
      if (para.nFirst == 0) return FALSE;
      nRow = para.nFirst - 1;
      c = MrRowEnd(m_doc.pLines[nRow]);
    }
  }

 private:
  BOOL Found(DWORD* ps, DWORD* pe) const {
    *ps = m_rx.anGroupStart[0];
    *pe = m_rx.anGroupEnd[0];
    return TRUE;
  }
  // The matcher ran out of steps in this paragraph: the host learns only
  // "not found", so the trace says why.
  BOOL GaveUp(const Paragraph& para) const {
    if (!m_rx.IsOutOfSteps()) return FALSE;
    MirelTrace("Regular expression search stopped: too much backtracking in the line at %lu\n",
               static_cast<unsigned long>(para.nStart));
    return TRUE;
  }

  CMirelDoc& m_doc;
  CRegExp& m_rx;
  MrDocText m_text;
  CWholeCharFilter m_filter;
};

}  // namespace

int CMirelDoc::FindRegExp(const BYTE* pPattern, int nLen, int nFlags, BOOL bFindCurrent, int* pnPos,
                          BOOL bShow) {
  if (nViewType != MIREL_VIEW_TYPE_TEXT || pContents == nullptr || pLines == nullptr || nLineCount <= 0)
    return 0;
  if (!bFindCurrent && pnPos == nullptr) return 0;
  if (nLen < 0 || (pPattern == nullptr && nLen > 0)) return 0;
  nFlags &= kKnownFlags;
  // The engine works on bytes: no search is defined for UTF-16 text.
  if (IsWideEncoding(nFileEncoding)) return 0;
  if (pRegExp == nullptr) pRegExp = new (std::nothrow) CRegExp();
  if (pRegExp == nullptr) return 0;
  CRegExp& rx = *pRegExp;
  const char* pszError =
      rx.Compile(reinterpret_cast<const char*>(pPattern), nLen, (nFlags & MIREL_FIND_MATCHCASE) != 0, FALSE);
  if (pszError != nullptr) {
    MirelTrace("%s\n", pszError);
    return 0;
  }
  const MrDocText text = MrGetDocText(*this);
  const DWORD nStart = StartPosition(*this, nFlags, bFindCurrent, pnPos);
  CRegexSearch search(*this, rx);
  DWORD s = 0;
  DWORD e = 0;
  BOOL bFound;
  const BOOL bWrap = (nFlags & MIREL_FIND_WRAP) != 0;
  if (IsForward(nFlags)) {
    bFound = search.Forward(nStart, &s, &e);
    if (!bFound && bWrap && !rx.IsOutOfSteps()) bFound = search.Forward(0, &s, &e);
  } else {
    bFound = search.Backward(nStart, &s, &e);
    if (!bFound && bWrap && !rx.IsOutOfSteps()) bFound = search.Backward(text.nLen + 1, &s, &e);
  }
  if (!bFound) {
    rx.abGroupValid[0] = FALSE;  // no replace takes the old selection for this search's match
    return 0;
  }
  RegexMatchSpan(text, rx, &s, &e);
  SelectMatch(*this, s, e, nFlags, pnPos, bShow);
  return 1;
}

// ---------------------------------------------------------------------------
// Hex view

namespace {

// The find or replace bytes of the hex view: hex digits converted, or with
// MIREL_FIND_HEX_TEXT the bytes as given. FALSE when the memory for them is
// not there (never taken as an empty replacement).
BOOL HexPatternBytes(const BYTE* p, int nLen, int nFlags, std::vector<BYTE>* pOut) {
  std::vector<BYTE>& out = *pOut;
  out.clear();
  if (p == nullptr || nLen <= 0) return TRUE;
  if (nFlags & MIREL_FIND_HEX_TEXT) return MrTryAppend(out, p, p + nLen);
  if (!MrTryResize(out, static_cast<size_t>(nLen) / 2 + 1)) return FALSE;
  CHexa hexa;
  const int n = hexa.HexTextToBytes(reinterpret_cast<const char*>(p), nLen, out.data());
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return TRUE;
}

// TRUE when the text holds nothing to convert: no characters, or only the
// separators the conversion skips.
BOOL IsBlankHexText(const BYTE* p, int nLen, int nFlags) {
  if (p == nullptr || nLen <= 0) return TRUE;
  if (nFlags & MIREL_FIND_HEX_TEXT) return FALSE;
  CHexa hexa;
  return hexa.CountHexChars(reinterpret_cast<const char*>(p), nLen) == 0;
}

}  // namespace

int CMirelDoc::FindHex(const BYTE* pPattern, int nLen, int nFlags, BOOL bFindCurrent, int* pnPos,
                       BOOL bShow) {
  if (nViewType != MIREL_VIEW_TYPE_HEX || pContents == nullptr) return 0;
  if (!bFindCurrent && pnPos == nullptr) return 0;
  nFlags &= kKnownFlags;
  std::vector<BYTE> bytes;
  if (!HexPatternBytes(pPattern, nLen, nFlags, &bytes) || bytes.empty()) return 0;
  const SearchBuffer buf = BufferOf(*this);
  const BOOL bText = (nFlags & MIREL_FIND_HEX_TEXT) != 0;
  const BOOL bMatchCase = (nFlags & MIREL_FIND_MATCHCASE) != 0;
  const DWORD nPattern = static_cast<DWORD>(bytes.size());
  const DWORD nStart = StartPosition(*this, nFlags, bFindCurrent, pnPos);
  const DWORD nBom = pContents->GetBomLength();
  // Text is compared in the body after the mark, so that UTF-16 units and
  // characters line up.
  const DWORD nBody = buf.nLen > nBom ? buf.nLen - nBom : 0;
  CMrTextFinder finder(buf.p + std::min(nBom, buf.nLen), nBody, bytes.data(), nPattern, nFileEncoding,
                       nCodePage, bMatchCase);
  auto scan = [&](DWORD nPos, DWORD nEndLimit, BOOL bForward) {
    ScanHit hit;
    if (!bText) {
      const BYTE* p = FindBytes(buf.p, buf.nLen, nPos, bytes.data(), nPattern, bForward);
      if (p != nullptr && (bForward || static_cast<DWORD>(p - buf.p) + nPattern <= nEndLimit)) {
        hit.nStart = static_cast<DWORD>(p - buf.p);
        hit.nLen = nPattern;
      }
      return hit;
    }
    if (!bForward && (nPos < nBom || nEndLimit < nBom)) return hit;
    hit = ScanText(finder, nPos > nBom ? nPos - nBom : 0, nEndLimit - std::min(nEndLimit, nBom), bForward);
    hit.nStart += nBom;
    return hit;
  };
  auto accept = [](const ScanHit&) { return TRUE; };
  const DWORD nMinMatch = bText ? finder.MinMatchLength() : nPattern;
  ScanHit found;
  if (!ScanWithWrap(nStart, buf.nLen, nMinMatch, nFlags, pnPos, scan, accept, 1, &found)) return 0;
  SelectMatch(*this, found.nStart, found.nStart + found.nLen, nFlags, pnPos, bShow);
  return 1;
}

int CMirelDoc::ReplaceHex(const BYTE* pFind, int nFindLen, const BYTE* pReplace, int nReplaceLen, int nFlags,
                          BOOL bFindCurrent, int* pnPos, BOOL bShow) {
  if (nViewType != MIREL_VIEW_TYPE_HEX || pContents == nullptr) return 0;
  nFlags &= kKnownFlags;
  std::vector<BYTE> find, replace;
  // A find text that gives no bytes finds nothing and replaces nothing.
  if (!HexPatternBytes(pFind, nFindLen, nFlags, &find) || find.empty()) return 0;
  // A replacement with digits that give no bytes (an odd count) is a typing
  // slip, never a request to delete the match.
  if (!HexPatternBytes(pReplace, nReplaceLen, nFlags, &replace)) return 0;
  if (replace.empty() && !IsBlankHexText(pReplace, nReplaceLen, nFlags)) return 0;
  const SearchBuffer buf = BufferOf(*this);
  const DWORD s = block.GetStartPtr();
  const DWORD e = std::min(block.GetEndPtr(), buf.nLen);
  if (block.IsNotEmpty() && s < e && e - s == find.size() &&
      std::memcmp(buf.p + s, find.data(), find.size()) == 0) {
    return ReplaceSelection(*this, s, e, replace.data(), static_cast<DWORD>(replace.size()), pnPos, bShow)
               ? 2
               : 0;
  }
  return FindHex(pFind, nFindLen, nFlags, bFindCurrent, pnPos, bShow);
}
