// The host's road into and out of the document text: inserting ANSI, UTF-16
// and UTF-8 text at the caret (replacing the selection), deleting the
// selection, a character or a word, the range of one paragraph, and copying a
// range of the text out in a host character set.
//
// Text that is converted is made of whole characters: a range boundary
// inside a character (a double-byte character, a UTF-8 sequence, a UTF-16
// surrogate pair or a CR LF pair) takes the whole character. ANSI out of an
// ANSI document and UTF-8 out of a UTF-8 document are copied as stored,
// exactly the range asked for. A NULL buffer returns
// exactly the size that the same call with a buffer writes. GetTextW counts
// UTF-16 units in every document encoding.
#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cencodings.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"
#include "mirel/mrmodifiednotify.h"
#include "mirel/mrtextunits.h"
#include "mirel/mrtryalloc.h"

namespace {

// The three host character sets.
enum class HostForm { kAnsi, kWide, kUtf8 };

// The host character set the document's own bytes already are in; FALSE for
// the codes that hold no text (undefined, binary).
BOOL DocumentForm(int nEncoding, HostForm* pForm) {
  switch (nEncoding) {
    case MIREL_ENCODING_ANSI:
      *pForm = HostForm::kAnsi;
      return TRUE;
    case MIREL_ENCODING_UTF16BE:  // its units are little-endian as well
    case MIREL_ENCODING_UTF16LE:
      *pForm = HostForm::kWide;
      return TRUE;
    case MIREL_ENCODING_UTF8:
    case MIREL_ENCODING_UTF8_BOM:
      *pForm = HostForm::kUtf8;
      return TRUE;
    default:
      return FALSE;
  }
}

// The encoding code that CEncodings reads a host form as.
int EncodingOfForm(HostForm form) {
  switch (form) {
    case HostForm::kAnsi:
      return MIREL_ENCODING_ANSI;
    case HostForm::kWide:
      return MIREL_ENCODING_UTF16LE;
    default:
      return MIREL_ENCODING_UTF8;
  }
}

// Where converted bytes go: counted always, copied into a caller's buffer
// or appended to a vector when one is given.
class CByteSink {
 public:
  CByteSink(BYTE* pDst, std::vector<BYTE>* pVec) : m_pDst(pDst), m_pVec(pVec) {}

  BOOL Put(const BYTE* p, size_t n) {
    if (n > kMaxTotal - m_nTotal) return FALSE;
    if (m_pDst != nullptr) std::memcpy(m_pDst + m_nTotal, p, n);
    // A vector that cannot grow refuses the whole conversion.
    if (m_pVec != nullptr && !MrTryAppend(*m_pVec, p, p + n)) return FALSE;
    m_nTotal += n;
    return TRUE;
  }
  size_t Total() const { return m_nTotal; }

  // Results are returned as int: nothing larger is ever produced.
  static constexpr size_t kMaxTotal = static_cast<size_t>(INT_MAX) - 1;

 private:
  BYTE* m_pDst;
  std::vector<BYTE>* m_pVec;
  size_t m_nTotal = 0;
};

// One run of text without NUL characters, converted between two different
// forms by CEncodings (nCodePage is the code page of the ANSI side).
BOOL ConvertRun(HostForm from, HostForm to, int nCodePage, const BYTE* p, size_t n, CByteSink* pSink) {
  if (n == 0) return TRUE;
  if (n > static_cast<size_t>(INT_MAX)) return FALSE;
  CEncodings enc(p, static_cast<int>(n), EncodingOfForm(from), nCodePage);
  int nOut = 0;
  switch (to) {
    case HostForm::kAnsi:
      nOut = enc.ToMultiByte();
      break;
    case HostForm::kWide:
      nOut = enc.ToWideChar();
      break;
    case HostForm::kUtf8:
      nOut = enc.ToUtf8();
      break;
  }
  if (nOut <= 0 || enc.GetOutput() == nullptr) return FALSE;
  return pSink->Put(enc.GetOutput(), static_cast<size_t>(nOut));
}

// Converts n bytes of text from one form to another. The UTF-8 writers end
// at a NUL unit, so the text is converted in the runs between its NUL
// characters and each NUL is written as the NUL of the target form. The
// same form is copied unchanged (UTF-16 as whole units).
BOOL ConvertText(HostForm from, HostForm to, int nCodePage, const BYTE* p, size_t n, CByteSink* pSink) {
  const size_t nUnit = from == HostForm::kWide ? 2 : 1;
  n -= n % nUnit;
  if (from == to) return pSink->Put(p, n);
  static constexpr BYTE kNul[2] = {0, 0};
  const size_t nNulOut = to == HostForm::kWide ? 2 : 1;
  size_t nRun = 0;
  for (size_t i = 0; i < n; i += nUnit) {
    if (!MrUnitIs(p + i, nUnit == 2, MR_CHAR_NUL)) continue;
    if (!ConvertRun(from, to, nCodePage, p + nRun, i - nRun, pSink) || !pSink->Put(kNul, nNulOut))
      return FALSE;
    nRun = i + nUnit;
  }
  return ConvertRun(from, to, nCodePage, p + nRun, n - nRun, pSink);
}

// Byte length of the whole character at nPos (nPos < nLen), as the layout
// counts it (a CR LF pair, a surrogate pair); at least 1.
DWORD WholeCharLength(CMirelDoc& doc, const BYTE* p, DWORD nPos, DWORD nLen) {
  const DWORD n = MrCharLength(p, nPos, nLen, doc.nFileEncoding, doc.GetLeadByteTable());
  return n == 0 ? 1 : n;
}

// The start of the character that holds nPos. Rows begin on character
// boundaries, so the walk starts at the row of the position.
DWORD CharStartAtOrBefore(CMirelDoc& doc, const MrDocText& text, DWORD nPos) {
  nPos = std::min(nPos, text.nLen);
  DWORD nChar = 0;
  if (doc.pLines != nullptr && doc.nLineCount > 0) {
    nChar = std::min(doc.pLines[doc.GetLineFromPos(nPos)].nStart, nPos);
    if (text.bWide) nChar &= ~static_cast<DWORD>(1);
  }
  while (nChar < nPos) {
    const DWORD nCharLen = WholeCharLength(doc, text.p, nChar, text.nLen);
    if (nChar + nCharLen > nPos) return nChar;
    nChar += nCharLen;
  }
  return nPos;
}

// Puts [nFrom, nTo) of the text, widened to whole characters, into the sink
// in the host form; FALSE when a conversion fails or the result grows too large.
BOOL ExportRange(CMirelDoc& doc, const MrDocText& text, HostForm to, DWORD nFrom, DWORD nTo,
                 CByteSink* pSink) {
  HostForm from;
  if (!DocumentForm(doc.nFileEncoding, &from)) return FALSE;
  const int nCodePage = doc.nCodePage;
  const BOOL bAnsi = doc.nFileEncoding == MIREL_ENCODING_ANSI;
  const BYTE* pLead = doc.GetLeadByteTable();
  // Converted in chunks of whole characters; a lead byte that stands alone
  // (cut by a control character) is converted on its own, so that the
  // converter cannot join it with the byte after it.
  constexpr DWORD kChunk = 4096;
  DWORD nPos = CharStartAtOrBefore(doc, text, nFrom);
  DWORD nChunk = nPos;
  while (nPos < nTo) {
    const DWORD nCharLen = WholeCharLength(doc, text.p, nPos, text.nLen);
    const BOOL bLoneLead = bAnsi && nCharLen == 1 && pLead[text.p[nPos]];
    if (bLoneLead || nPos - nChunk >= kChunk) {
      if (!ConvertText(from, to, nCodePage, text.p + nChunk, nPos - nChunk, pSink)) return FALSE;
      nChunk = nPos;
    }
    nPos += nCharLen;
    if (bLoneLead) {
      if (!ConvertText(from, to, nCodePage, text.p + nChunk, nPos - nChunk, pSink)) return FALSE;
      nChunk = nPos;
    }
  }
  return ConvertText(from, to, nCodePage, text.p + nChunk, nPos - nChunk, pSink);
}

// GetTextA, GetTextW and GetTextU: the size of the range in the host form
// (bytes; UTF-16 units for the wide form), written to pDst unless NULL.
int GetTextIn(CMirelDoc& doc, HostForm to, BYTE* pDst, int nFrom, int nTo) {
  const MrDocText text = MrGetDocText(doc);
  if (text.p == nullptr || nFrom < 0 || nTo <= nFrom) return 0;
  const DWORD nStart = static_cast<DWORD>(nFrom);
  if (nStart >= text.nLen) return 0;
  const DWORD nEnd = std::min(static_cast<DWORD>(nTo), text.nLen);
  // ANSI out of an ANSI document and UTF-8 out of a UTF-8 document are the
  // bytes as stored: exactly the range, so that a host sizing its buffer by
  // the range is never overrun.
  HostForm from;
  if (DocumentForm(doc.nFileEncoding, &from) && from == to && to != HostForm::kWide) {
    if (pDst != nullptr) std::memcpy(pDst, text.p + nStart, nEnd - nStart);
    return static_cast<int>(nEnd - nStart);
  }
  // UTF-8 may take up to three times the bytes of the source; a range that
  // could pass the int result is counted first, so that a refused request
  // writes nothing.
  if (pDst != nullptr && (static_cast<unsigned long long>(nEnd) - nStart) * 3 > CByteSink::kMaxTotal) {
    CByteSink counter(nullptr, nullptr);
    if (!ExportRange(doc, text, to, nStart, nEnd, &counter)) return 0;
  }
  CByteSink sink(pDst, nullptr);
  if (!ExportRange(doc, text, to, nStart, nEnd, &sink)) return 0;
  const size_t nTotal = sink.Total();
  return static_cast<int>(to == HostForm::kWide ? nTotal / 2 : nTotal);
}

// The end of the positions the caret may take: the text length in the text
// view, the file length (byte-order mark included) in the hex view.
DWORD CaretLimit(CMirelDoc& doc) {
  if (doc.pContents == nullptr) return 0;
  return doc.nViewType == MIREL_VIEW_TYPE_HEX ? doc.GetFileSize() : doc.GetContentsSize();
}

// TRUE when positions of the current view must fall on whole UTF-16 units.
BOOL NeedsWholeUnits(const CMirelDoc& doc) {
  return doc.nViewType == MIREL_VIEW_TYPE_TEXT && IsWideEncoding(doc.nFileEncoding);
}

// The caret kept inside the text and on a whole unit.
DWORD SaneCaret(CMirelDoc& doc) {
  DWORD nCaret = doc.nCaretPos < 0 ? 0 : static_cast<DWORD>(doc.nCaretPos);
  nCaret = std::min(nCaret, CaretLimit(doc));
  if (NeedsWholeUnits(doc)) nCaret &= ~static_cast<DWORD>(1);
  return nCaret;
}

// Caret and collapsed block at nPos: the text row in the text view, the hex
// row in the hex view.
void PlaceCaret(CMirelDoc& doc, DWORD nPos, BOOL bAfterInsert = FALSE) {
  doc.nCaretPos = static_cast<int>(nPos);
  if (doc.nViewType == MIREL_VIEW_TYPE_HEX) {
    doc.cli = doc.GetHexLineFromPos(nPos);
    doc.block.SetBoth(nPos, doc.cli);
  } else {
    nPos = MrCaretOffCharMiddle(doc, nPos, bAfterInsert);
    doc.nCaretPos = static_cast<int>(nPos);
    doc.cli = doc.GetLineFromPos(nPos);
    doc.block.Reset(nPos, doc.cli, FALSE);
  }
}

// Inserts text already in the document encoding at the caret, replacing the
// selection. 0 when the store refuses; the caret then stays.
int InsertDocumentBytes(CMirelDoc& doc, const BYTE* pData, DWORD nLen, BOOL bUndo) {
  CMrModifiedNotifyHold notify(doc);
  const DWORD nLimit = CaretLimit(doc);
  DWORD nEditPos = 0;
  if (doc.block.IsBlockSelected()) {
    // Exactly the selected range is replaced, wherever the caret stands.
    DWORD nStart = std::min(doc.block.GetStartPtr(), nLimit);
    DWORD nEnd = std::min(doc.block.GetEndPtr(), nLimit);
    if (NeedsWholeUnits(doc)) {
      nStart &= ~static_cast<DWORD>(1);
      nEnd = std::min(nEnd + (nEnd & 1), nLimit);
    }
    if (!notify.Note(doc.ReplaceContents(nStart, nEnd - nStart, bUndo, pData, nLen, bUndo))) return 0;
    nEditPos = nStart;
    doc.nVirtualSpace = 0;
  } else {
    nEditPos = SaneCaret(doc);
    if (!notify.Note(doc.InsertContents(nEditPos, pData, nLen, bUndo))) return 0;
  }
  PlaceCaret(doc, nEditPos + nLen, TRUE);
  const DWORD nRepaintFrom =
      doc.nViewType == MIREL_VIEW_TYPE_HEX ? nEditPos : doc.GetParagraphStart(nEditPos);
  doc.UpdateEditsAfterChange(REPAINT_TAG_FROM, nRepaintFrom, 0);
  return 1;
}

// InsertA, InsertW and InsertU: nBytes of host text in the form given,
// converted to the document encoding.
int InsertHostText(CMirelDoc& doc, HostForm form, const BYTE* pText, long long nBytes, BOOL bUndo) {
  if (nBytes == 0) return 1;
  if (pText == nullptr || nBytes < 0 || nBytes > static_cast<long long>(MIREL_MAX_BODY_BYTES)) return 0;
  HostForm docForm;
  if (doc.pContents == nullptr || !DocumentForm(doc.nFileEncoding, &docForm)) return 0;
  const size_t n = static_cast<size_t>(nBytes);
  if (form == docForm) return InsertDocumentBytes(doc, pText, static_cast<DWORD>(n), bUndo);
  std::vector<BYTE> converted;
  CByteSink sink(nullptr, &converted);
  // Host ANSI text is in the system code page, whatever the document's is;
  // text converted into an ANSI document takes the document's code page.
  const int nConvCodePage = form == HostForm::kAnsi ? 0 : doc.nCodePage;
  if (!ConvertText(form, docForm, nConvCodePage, pText, n, &sink) || converted.empty()) return 0;
  return InsertDocumentBytes(doc, converted.data(), static_cast<DWORD>(converted.size()), bUndo);
}

// Blanks that DeleteWord takes after a word: space, tab, NUL, CR and LF.
BOOL IsBlankUnit(UINT ch) {
  return ch == MR_CHAR_SPACE || ch == MR_CHAR_TAB || ch == MR_CHAR_NUL || ch == MR_CHAR_CR ||
         ch == MR_CHAR_LF;
}

}  // namespace

// ---------------------------------------------------------------------------
// Insert

int CMirelDoc::InsertA(const char* pText, int nLen, BOOL bUndo) {
  return InsertHostText(*this, HostForm::kAnsi, reinterpret_cast<const BYTE*>(pText), nLen, bUndo);
}

int CMirelDoc::InsertW(const WCHAR* pText, int nChars, BOOL bUndo) {
  return InsertHostText(*this, HostForm::kWide, reinterpret_cast<const BYTE*>(pText),
                        static_cast<long long>(nChars) * 2, bUndo);
}

int CMirelDoc::InsertU(const char* pText, int nLen, BOOL bUndo) {
  return InsertHostText(*this, HostForm::kUtf8, reinterpret_cast<const BYTE*>(pText), nLen, bUndo);
}

// ---------------------------------------------------------------------------
// Delete

int CMirelDoc::DeleteBlock() {
  if (!block.HasSelection()) return 0;
  if (block.IsColumnBlock()) {
    block.DeleteColumnBlock(this);
    return 1;
  }
  const DWORD nLimit = CaretLimit(*this);
  const DWORD nStart = block.GetStartPtr();
  const DWORD nEnd = std::min(block.GetEndPtr(), nLimit);
  // A stale block past the text, or one that cuts a UTF-16 unit, deletes nothing.
  if (nStart >= nEnd) return 0;
  if (NeedsWholeUnits(*this) && ((nStart | nEnd) & 1)) return 0;
  CMrModifiedNotifyHold notify(*this);
  if (!notify.Note(DeleteContents(nStart, nEnd - nStart, TRUE))) return 0;
  nVirtualSpace = 0;
  PlaceCaret(*this, nStart);
  return 1;
}

int CMirelDoc::DeleteBlockHex() {
  if (!block.IsNotEmpty()) return 0;
  const DWORD nStart = block.GetStartPtr();
  const DWORD nEnd = std::min(block.GetEndPtr(), CaretLimit(*this));
  if (nStart >= nEnd) return 0;
  CMrModifiedNotifyHold notify(*this);
  if (!notify.Note(DeleteContents(nStart, nEnd - nStart, TRUE))) return 0;
  PlaceCaret(*this, nStart);
  return 1;
}

int CMirelDoc::Delete(int /*nUnused*/) {
  if (pContents == nullptr) return 0;  // no text yet
  CMrModifiedNotifyHold notify(*this);
  const BOOL bHex = nViewType == MIREL_VIEW_TYPE_HEX;
  if (bHex ? DeleteBlockHex() : DeleteBlock()) {
    // The selection went; nothing else is deleted.
  } else if (nVirtualSpace > 0) {
    --nVirtualSpace;
  } else {
    const DWORD nCaret = SaneCaret(*this);
    const MrDocText text = MrGetDocText(*this);
    const DWORD nLimit = CaretLimit(*this);
    if (nCaret < nLimit) {
      // One whole character (a CR LF pair, a surrogate pair); one byte in the hex view.
      const DWORD nCharLen = bHex ? 1 : WholeCharLength(*this, text.p, nCaret, text.nLen);
      notify.Note(DeleteContents(nCaret, std::min(nCharLen, nLimit - nCaret), TRUE));
    }
    // The rows may have changed under word wrap: the caret row is looked up again.
    PlaceCaret(*this, std::min(nCaret, CaretLimit(*this)));
  }
  UpdateEditsAfterChange(REPAINT_TAG_FROM, static_cast<DWORD>(nCaretPos), 0);
  return 1;
}

BOOL CMirelDoc::DeleteWord() {
  if (nViewType == MIREL_VIEW_TYPE_HEX) {
    MessageBeep(MB_ICONHAND);
    return FALSE;
  }
  if (pContents == nullptr) return FALSE;  // no text yet
  const MrDocText text = MrGetDocText(*this);
  const DWORD nCaret = SaneCaret(*this);
  const DWORD nUnit = text.bWide ? 2 : 1;
  // The word (or the single delimiter) under the caret, then the blanks after
  // it, line ends included; from a blank only the run of blanks.
  DWORD nPos = nCaret;
  while (nPos < text.nLen && text.nLen - nPos >= nUnit) {
    const UINT ch = MrUnitAt(text.p + nPos, text.bWide);
    if (IsBlankUnit(ch)) {
      nPos += nUnit;
    } else if (nPos != nCaret) {
      break;
    } else if (IsWordDelimiter(text.p + nPos)) {
      nPos += WholeCharLength(*this, text.p, nPos, text.nLen);
    } else {
      while (nPos < text.nLen && text.nLen - nPos >= nUnit &&
             !IsBlankUnit(MrUnitAt(text.p + nPos, text.bWide)) && !IsWordDelimiter(text.p + nPos)) {
        nPos += WholeCharLength(*this, text.p, nPos, text.nLen);
      }
    }
  }
  nPos = std::min(nPos, text.nLen);
  if (nPos > nCaret) {
    CMrModifiedNotifyHold notify(*this);
    nVirtualSpace = 0;
    SeparateUndo();
    notify.Note(DeleteContents(nCaret, nPos - nCaret, TRUE));
    SeparateUndo();
    PlaceCaret(*this, std::min(nCaret, CaretLimit(*this)));
  }
  UpdateEditsAfterChange(REPAINT_TAG_FROM, static_cast<DWORD>(nCaretPos), 0);
  return TRUE;
}

// ---------------------------------------------------------------------------
// Paragraphs

int CMirelDoc::GetParagraph(int nParagraph, int* pnStart, int* pnEnd) {
  if (nViewType == MIREL_VIEW_TYPE_HEX || pLines == nullptr || nLineCount <= 0) return 0;
  const int nFirst = nParagraph < 0 ? -1 : FindFirstRowOfParagraph(static_cast<DWORD>(nParagraph));
  if (nFirst < 0) {
    if (pnStart != nullptr) *pnStart = 0;
    if (pnEnd != nullptr) *pnEnd = 0;
    return 0;
  }
  int nLast = nFirst;
  while (nLast + 1 < nLineCount && pLines[nLast + 1].nSubLine != 0) ++nLast;
  if (pnStart != nullptr) *pnStart = static_cast<int>(pLines[nFirst].nStart);
  if (pnEnd != nullptr) *pnEnd = static_cast<int>(MrRowEnd(pLines[nLast]));
  return 1;
}

// ---------------------------------------------------------------------------
// Text out

int CMirelDoc::GetTextA(char* pBuf, int nFrom, int nTo) {
  return GetTextIn(*this, HostForm::kAnsi, reinterpret_cast<BYTE*>(pBuf), nFrom, nTo);
}

int CMirelDoc::GetTextW(WCHAR* pBuf, int nFrom, int nTo) {
  return GetTextIn(*this, HostForm::kWide, reinterpret_cast<BYTE*>(pBuf), nFrom, nTo);
}

int CMirelDoc::GetTextU(char* pBuf, int nFrom, int nTo) {
  return GetTextIn(*this, HostForm::kUtf8, reinterpret_cast<BYTE*>(pBuf), nFrom, nTo);
}
