// The switches on which the layout or the bytes of the text depend: word
// wrap, code page, file encoding, newline kind, page-break character and
// virtual space, with the buffer detection helpers. Each switch stores its
// value and then brings rows, caret, selection, scroll bars and windows back
// into step; a value outside its range is refused with no change.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include <windows.h>
#ifndef _WIN32
#include <crt_locale.h>
#endif

#include "mirel/ccontentshandler.h"
#include "mirel/cencodings.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"

namespace {

void FreeLocale(MIREL_LOCALE& locale) {
  if (locale != MIREL_LOCALE()) _free_locale(static_cast<_locale_t>(locale));
  locale = MIREL_LOCALE();
}

}  // namespace

// ---------------------------------------------------------------------------
// Shared refresh

void CMirelDoc::SyncCaretAndBlockRows() {
  if (pLines == nullptr || nLineCount <= 0) return;
  const DWORD nCaret = static_cast<DWORD>(std::max(nCaretPos, 0));
  const DWORD nAnchor = block.nAnchor;
  const DWORD nBlockCaret = block.nCaret;
  if (nViewType == MIREL_VIEW_TYPE_HEX) {
    cli = GetHexLineFromPos(nCaret);
    block.SetBoth(nAnchor, GetHexLineFromPos(nAnchor));
    block.SetCaretRaw(nBlockCaret, GetHexLineFromPos(nBlockCaret));
    return;
  }
  cli = GetLineFromPos(nCaret);
  block.Reset(nAnchor, GetLineFromPos(nAnchor), FALSE);
  if (nBlockCaret != nAnchor) block.SetCaret(nBlockCaret, GetLineFromPos(nBlockCaret));
}

void CMirelDoc::RelayoutAndRefresh() {
  if (pContents == nullptr) return;
  ReloadContents();
  SyncCaretAndBlockRows();
  if (nEditCount <= 0) return;
  UpdateAllScrollBars();
  UpdateActiveCaret(1, 1);
  UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}

// ---------------------------------------------------------------------------
// Word wrap

void CMirelDoc::SetWordWrap(int nMode) {
  if (nMode < MIREL_WRAP_NONE || nMode > MIREL_WRAP_WORD_DBCS) return;
  if (nMode != MIREL_WRAP_NONE) {
    // Column blocks and virtual space do not exist while wrapping; the mode
    // is still the old one here, so only a second switch-on beeps.
    block.SetColumnMode(FALSE);
    nVirtualSpace = 0;
  }
  nWrapMode = static_cast<BYTE>(nMode);
  if (nEditCount <= 0 || ppEdits == nullptr || ppEdits[0] == nullptr) {
    // Without windows the rows still follow the mode, so that positions and
    // rows agree until a window comes.
    if (pContents != nullptr) {
      ReloadContents();
      SyncCaretAndBlockRows();
    }
    return;
  }
  if (nMode != MIREL_WRAP_NONE) {
    // A host may have sized the window to nothing; the rows are then laid
    // out for one pixel until its next WM_SIZE.
    const RECT& rc = ppEdits[0]->rcEdit;
    MIREL_ASSERT(rc.right >= 0 && rc.bottom >= 0);  // a client rectangle
    nTextWidth = std::max<int>(rc.right, 1);
  } else {
    nTextWidth = nLeftMargin + 10;
  }
  for (int i = 0; i < nEditCount; ++i)
    if (ppEdits[i] != nullptr) ppEdits[i]->UpdateScrollStyle(nWrapMode);
  if (pContents == nullptr) return;
  ReloadContents();
  SyncCaretAndBlockRows();
  UpdateAllScrollBars();
  RefreshFocusedEdit();
  UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}

// ---------------------------------------------------------------------------
// Code page

int CMirelDoc::SetCodePage(int nNewCodePage) {
  if (nNewCodePage == static_cast<int>(GetACP())) nNewCodePage = 0;
  if (nNewCodePage < 0 || nNewCodePage > 0xFFFF) return 0;
  if (nNewCodePage != 0) {
    char szName[16];
    std::snprintf(szName, sizeof(szName), ".%d", nNewCodePage);
    FreeLocale(localeCodePage);
    _locale_t locale = _create_locale(LC_ALL, szName);
    if (locale == nullptr) return 0;
    localeCodePage = static_cast<MIREL_LOCALE>(locale);
  } else {
    FreeLocale(localeCodePage);
  }
  const BOOL bChanged = nNewCodePage != nCodePage;
  // A composition is text of the old code page.
  if (bChanged) DropImeComposition(MrImeDrop::kTakeBack);
  nCodePage = nNewCodePage;
  undo.Reset();
  MeasureWidthsAgain();
  // Lead bytes decide where ANSI characters end, so wrapped rows (and the
  // row cap) can fall elsewhere now.
  if (bChanged && pContents != nullptr && nFileEncoding == MIREL_ENCODING_ANSI) {
    RelayoutAndRefresh();
  } else if (nEditCount > 0) {
    UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
  }
  return 1;
}

// ---------------------------------------------------------------------------
// File encoding

int CMirelDoc::SetFileEncoding(int nNewEncoding) {
  MIREL_ASSERT_TEXT(nNewEncoding != MIREL_ENCODING_UNDEFINED, "nNewEncoding != MIREL_ENCODING_UNDEFINED");
  if (nNewEncoding < MIREL_ENCODING_ANSI || nNewEncoding > MIREL_ENCODING_UTF8_BOM) return 0;
  if (nNewEncoding == nFileEncoding) return 0;
  if (pContents == nullptr) {
    nFileEncoding = static_cast<BYTE>(nNewEncoding);
    undo.SetWideUnits(IsWideEncoding(nFileEncoding));
    // The two-byte table is indexed by the encoding's own codes (byte pairs
    // in ANSI, UTF-16 units otherwise): nothing measured for the old one may
    // be read for the text that comes.
    MeasureWidthsAgain();
    return 1;
  }
  // The composition goes before the text is converted under it.
  DropImeComposition(MrImeDrop::kTakeBack);
  if (!pContents->ChangeEncoding(nNewEncoding)) return 0;
  nFileEncoding = static_cast<BYTE>(nNewEncoding);
  nVirtualSpace = 0;
  MeasureWidthsAgain();
  InvalidateParagraphDataFrom(0);
  ReloadContents();
  SyncCaretAndBlockRows();
  undo.Reset();
  undo.SetWideUnits(IsWideEncoding(nFileEncoding));
  SetModified(TRUE);
  if (nEditCount > 0) {
    UpdateAllScrollBars();
    UpdateActiveCaret(1, 1);
    UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
  }
  return 1;
}

// ---------------------------------------------------------------------------
// Newline kind

int CMirelDoc::SetFileFormat(int nFormat) {
  if (nFormat < MIREL_FILE_FORMAT_CRLF || nFormat > MIREL_FILE_FORMAT_CR) return 0;
  if (pContents != nullptr && pContents->GetTextLength() != 0) return 0;
  nFileFormat = static_cast<BYTE>(nFormat);
  nLoadedFileFormat = static_cast<BYTE>(nFormat);
  return 1;
}

void CMirelDoc::ChangeFileFormat(int nFormat) {
  if (nFormat < MIREL_FILE_FORMAT_CRLF || nFormat > MIREL_FILE_FORMAT_CR) return;
  if (nFormat == nFileFormat) return;
  nFileFormat = static_cast<BYTE>(nFormat);
  SetModified(TRUE);
}

int CMirelDoc::GetNewLineCodeA(char* pBuf, int nBufSize) const {
  const char* pszNewLine = nFileFormat == MIREL_FILE_FORMAT_LF   ? "\n"
                           : nFileFormat == MIREL_FILE_FORMAT_CR ? "\r"
                                                                 : "\r\n";
  const int nLen = static_cast<int>(std::strlen(pszNewLine));
  // A buffer too small for the newline and its terminator gets an empty
  // string rather than half a newline.
  if (pBuf != nullptr && nBufSize > 0) {
    if (nBufSize > nLen) {
      std::memcpy(pBuf, pszNewLine, static_cast<size_t>(nLen) + 1);
    } else {
      pBuf[0] = '\0';
    }
  }
  return nLen;
}

// ---------------------------------------------------------------------------
// Page break and virtual space

void CMirelDoc::SetPageBreakCode(BYTE ch) {
  const BYTE chOld = chPageBreak;
  chPageBreak = ch;
  if (nViewType != MIREL_VIEW_TYPE_TEXT || ch == chOld || pContents == nullptr) return;
  RelayoutAndRefresh();
}

void CMirelDoc::EnableVirtualSpace(BOOL bOn) {
  bVirtualSpace = bOn ? TRUE : FALSE;
  if (!bOn) nVirtualSpace = 0;
  UpdateActiveCaret(1, 1);
  if (nEditCount > 0) UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
}

// ---------------------------------------------------------------------------
// Detection

int CMirelDoc::DetectEncoding(const BYTE* pData, int nLen) {
  if (pData == nullptr || nLen < 0) nLen = 0;
  CEncodings enc(pData, nLen);
  return enc.GetEncoding();
}

int CMirelDoc::DetectFileFormat(const BYTE* pData, DWORD nLen, int* pnTotal) {
  if (pData == nullptr) nLen = 0;
  if (nFileEncoding == MIREL_ENCODING_ANSI && nLen > 0 &&
      MrContainsNul(pData, static_cast<int>(std::min<DWORD>(nLen, 0x7FFFFFFF)), MIREL_ENCODING_ANSI))
    SetBinary(TRUE);
  // A unit counts as CR or LF only when all of it equals the character.
  const BOOL bWide = IsWideEncoding(nFileEncoding);
  const DWORD nUnit = bWide ? 2 : 1;
  const DWORD nUnits = nLen / nUnit;
  DWORD nCrLf = 0, nLf = 0, nCr = 0;
  for (DWORD i = 0; i < nUnits; ++i) {
    const UINT c = MrUnitAt(pData + i * nUnit, bWide);
    if (c == MR_CHAR_CR) {
      if (i + 1 < nUnits && MrUnitAt(pData + (i + 1) * nUnit, bWide) == MR_CHAR_LF) {
        ++nCrLf;
        ++i;
      } else {
        ++nCr;
      }
    } else if (c == MR_CHAR_LF) {
      ++nLf;
    }
  }
  if (pnTotal != nullptr) *pnTotal = static_cast<int>(std::min<DWORD>(nCrLf + nLf + nCr, 0x7FFFFFFF));
  const DWORD nMost = std::max({nCrLf, nLf, nCr});
  if (nCrLf == nMost) return MIREL_FILE_FORMAT_CRLF;
  if (nLf == nMost) return MIREL_FILE_FORMAT_LF;
  return MIREL_FILE_FORMAT_CR;
}
