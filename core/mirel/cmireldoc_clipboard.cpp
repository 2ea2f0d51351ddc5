// Copy, cut, append and paste through the Windows clipboard, in the text and
// the hex view.
//
// Text crosses the clipboard in the form the format demands (CF_TEXT in the
// ANSI code page, CF_UNICODETEXT in UTF-16 LE); the control's own format
// "__BINARY_FORMAT__" carries raw bytes behind a 32-bit count. Both views
// place the document's bytes in it. The text view says beside them what they
// are text in ("__BINARY_FORMAT_SOURCE__"), and a text paste takes them back
// only into a document that reads them alike, so that a copy pasted in the
// same document or one of the same encoding gives back exactly what was
// copied, zero bytes and bytes that are no text in the encoding included;
// every other text paste reads the text formats, converted. What other
// programs put on the clipboard is untrusted: every length is bounded by the
// block's GlobalSize. The clipboard is open only inside one operation, and
// it is left as it was by every failure that happens before it is emptied.
#include <algorithm>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cclipboarddata.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmireldoc_text.h"
#include "mirel/cmirelview.h"
#include "mirel/cmrcharencoder.h"
#include "mirel/cmrwaitcursor.h"
#include "mirel/mirel.h"
#include "mirel/mrmodifiednotify.h"
#include "mirel/mrtryalloc.h"

namespace {

using Bytes = std::vector<BYTE>;

// Largest text taken from or put on the clipboard.
constexpr SIZE_T kMaxTransfer = MIREL_MAX_BODY_BYTES;

// The clipboard open for one operation; closed on every way out.
class CClipboardOpen {
 public:
  explicit CClipboardOpen(HWND hWnd) : m_bOpen(OpenClipboard(hWnd)) {}
  ~CClipboardOpen() {
    if (m_bOpen) CloseClipboard();
  }
  CClipboardOpen(const CClipboardOpen&) = delete;
  CClipboardOpen& operator=(const CClipboardOpen&) = delete;
  BOOL IsOpen() const { return m_bOpen; }

 private:
  BOOL m_bOpen;
};

// Converts bytes between encodings (nCodePage for the ANSI side); FALSE when
// the converter refuses or fails.
BOOL Reencode(const BYTE* p, DWORD n, int nFrom, int nTo, int nCodePage, Bytes* pOut) {
  pOut->clear();
  if (n == 0) return TRUE;
  if (nFrom == nTo) return MrTryAppend(*pOut, p, p + n);
  CMrCharEncoder enc(nullptr, p, n, nFrom, nCodePage);
  if (!enc.Convert(nTo)) return FALSE;
  if (!MrTryResize(*pOut, enc.GetOutputLength())) return FALSE;
  return pOut->empty() || enc.Read(pOut->data(), static_cast<DWORD>(pOut->size())) == pOut->size();
}

// The clipboard's 32-bit numbers are little-endian.
DWORD ReadU32(const BYTE* p) {
  return static_cast<DWORD>(p[0] | (p[1] << 8) | (p[2] << 16)) | (static_cast<DWORD>(p[3]) << 24);
}

void WriteU32(BYTE* p, DWORD n) {
  p[0] = static_cast<BYTE>(n);
  p[1] = static_cast<BYTE>(n >> 8);
  p[2] = static_cast<BYTE>(n >> 16);
  p[3] = static_cast<BYTE>(n >> 24);
}

// ---------------------------------------------------------------------------
// Reading what is on the clipboard

// The length of text in a text format up to its terminator (a zero byte,
// or a zero unit for CF_UNICODETEXT) or the end of the bytes.
SIZE_T TextLength(const BYTE* p, SIZE_T nSize, UINT uFormat) {
  SIZE_T n = 0;
  if (uFormat == CF_UNICODETEXT) {
    while (n + 2 <= nSize && (p[n] | p[n + 1]) != 0) n += 2;
    return n;
  }
  const void* pEnd = nSize > 0 ? std::memchr(p, 0, nSize) : nullptr;
  return pEnd != nullptr ? static_cast<SIZE_T>(static_cast<const BYTE*>(pEnd) - p) : nSize;
}

// The bytes of a text block up to its terminator or the end of the block.
BOOL ReadTextFormat(UINT uFormat, Bytes* pOut) {
  pOut->clear();
  CClipboardData data(static_cast<HGLOBAL>(GetClipboardData(uFormat)));
  const BYTE* p = data.GetPtr();
  if (p == nullptr) return FALSE;
  const SIZE_T n = TextLength(p, std::min(data.GetSize(), kMaxTransfer), uFormat);
  const BOOL bRead = MrTryAppend(*pOut, p, p + n);
  data.Detach();  // the block stays the clipboard's
  return bRead;
}

// The bytes of a "__BINARY_FORMAT__" block: a block shorter than its count
// field is absent, and the count is cut to what the block holds.
BOOL ReadBinaryFormat(UINT uFormat, Bytes* pOut) {
  pOut->clear();
  if (uFormat == 0) return FALSE;
  CClipboardData data(static_cast<HGLOBAL>(GetClipboardData(uFormat)));
  const BYTE* p = data.GetPtr();
  if (p == nullptr) return FALSE;
  const SIZE_T nSize = std::min(data.GetSize(), kMaxTransfer);
  if (nSize < 4) {
    data.Detach();
    return FALSE;
  }
  const SIZE_T n = std::min<SIZE_T>(ReadU32(p), nSize - 4);
  const BOOL bRead = MrTryAppend(*pOut, p + 4, p + 4 + n);
  data.Detach();  // the block stays the clipboard's
  return bRead;
}

BOOL HasFormat(UINT uFormat) {
  return uFormat != 0 && IsClipboardFormatAvailable(uFormat);
}

// An ANSI document in another code page than the system's: CF_TEXT is
// always read and made in the system's code page, so the text meets other
// programs as Unicode.
BOOL HasForeignCodePage(const CMirelDoc& doc) {
  const int nEncoding = doc.nFileEncoding;
  return !IsWideEncoding(nEncoding) && nEncoding != MIREL_ENCODING_UTF8 &&
         nEncoding != MIREL_ENCODING_UTF8_BOM && doc.nCodePage != 0 &&
         static_cast<UINT>(doc.nCodePage) != GetACP();
}

// The text format the text view places for bytes of the document, by its
// encoding and the platform: UTF-16 and UTF-8 text as CF_UNICODETEXT (as
// CF_TEXT where the system has no Unicode), ANSI text as its bytes in CF_TEXT.
// CF_TEXT is in the system's code page for every program: ANSI text in
// another code page goes as CF_UNICODETEXT (converted to the system's code
// page where there is no Unicode), and the system offers it as CF_TEXT.
struct TextForm {
  UINT uFormat = 0;
  Bytes text;  // no terminator
};

BOOL TextFormOf(const CMirelDoc& doc, const Bytes& bytes, TextForm* pForm) {
  const int nEncoding = doc.nFileEncoding;
  const BOOL bNT = IsWindowsNT();
  const DWORD n = static_cast<DWORD>(bytes.size());
  pForm->uFormat = bNT ? CF_UNICODETEXT : CF_TEXT;
  if (IsWideEncoding(nEncoding)) {
    return bNT ? MrTryAppend(pForm->text, bytes.begin(), bytes.end())
               : Reencode(bytes.data(), n, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_ANSI, 0, &pForm->text);
  }
  if (nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM)
    return Reencode(bytes.data(), n, nEncoding, bNT ? MIREL_ENCODING_UTF16LE : MIREL_ENCODING_ANSI, 0,
                    &pForm->text);
  if (HasForeignCodePage(doc)) {
    if (bNT)
      return Reencode(bytes.data(), n, MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, doc.nCodePage,
                      &pForm->text);
    Bytes wide;
    return Reencode(bytes.data(), n, MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, doc.nCodePage, &wide) &&
           Reencode(wide.data(), static_cast<DWORD>(wide.size()), MIREL_ENCODING_UTF16LE, MIREL_ENCODING_ANSI,
                    0, &pForm->text);
  }
  pForm->uFormat = CF_TEXT;
  return MrTryAppend(pForm->text, bytes.begin(), bytes.end());
}

// ---------------------------------------------------------------------------
// What the control's own bytes are text in

// The "__BINARY_FORMAT_SOURCE__" block (three 32-bit little-endian numbers):
// how many bytes of "__BINARY_FORMAT__" it speaks for, the encoding of the
// document they came from and, for ANSI, its code page (0 otherwise). A
// separate format leaves the bytes' own block as every host knows it.
struct BinarySource {
  DWORD nCount = 0;
  DWORD nEncoding = 0;
  DWORD nCodePage = 0;
};
constexpr SIZE_T kBinarySourceSize = 12;

// Encodings whose text bytes read alike share one code: UTF-16 with either
// mark, UTF-8 with or without its mark (the mark is no part of the text).
int ReadingOf(DWORD nEncoding) {
  if (IsWideEncoding(static_cast<int>(nEncoding))) return MIREL_ENCODING_UTF16LE;
  if (nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM) return MIREL_ENCODING_UTF8;
  return nEncoding == MIREL_ENCODING_ANSI ? MIREL_ENCODING_ANSI : 0;
}

// What nCount bytes of the document's text are text in; the code page is the
// one in use, so the system's counts the same whether named or not.
BinarySource SourceOf(const CMirelDoc& doc, SIZE_T nCount) {
  BinarySource source;
  source.nCount = static_cast<DWORD>(nCount);
  source.nEncoding = doc.nFileEncoding;
  if (ReadingOf(source.nEncoding) == MIREL_ENCODING_ANSI)
    source.nCodePage = doc.nCodePage != 0 ? static_cast<DWORD>(doc.nCodePage) : GetACP();
  return source;
}

BOOL ReadAlike(const BinarySource& a, const BinarySource& b) {
  return ReadingOf(a.nEncoding) != 0 && ReadingOf(a.nEncoding) == ReadingOf(b.nEncoding) &&
         a.nCodePage == b.nCodePage;
}

// What the "__BINARY_FORMAT__" bytes on the clipboard are text in; FALSE when
// nothing says so, or what says so does not speak for exactly these bytes.
BOOL ReadBinarySource(UINT uFormat, const Bytes& bytes, BinarySource* pSource) {
  if (!HasFormat(uFormat)) return FALSE;
  CClipboardData data(static_cast<HGLOBAL>(GetClipboardData(uFormat)));
  const BYTE* p = data.GetPtr();
  if (p == nullptr) return FALSE;
  const BOOL bRead = data.GetSize() >= kBinarySourceSize;
  if (bRead) {
    pSource->nCount = ReadU32(p);
    pSource->nEncoding = ReadU32(p + 4);
    pSource->nCodePage = ReadU32(p + 8);
  }
  data.Detach();  // the block stays the clipboard's
  return bRead && pSource->nCount == bytes.size();
}

BOOL MakeBinarySourceBlock(const BinarySource& source, UINT uFormat, CClipboardData* pData) {
  if (uFormat == 0 || !pData->Alloc(kBinarySourceSize)) return FALSE;
  BYTE* p = pData->GetPtr();
  WriteU32(p, source.nCount);
  WriteU32(p + 4, source.nEncoding);
  WriteU32(p + 8, source.nCodePage);
  pData->SetFormat(uFormat);
  return TRUE;
}

// The text to paste in the document encoding: the control's own bytes when
// they are text in what this document reads them as, else the first usable
// format in the document's order of preference.
BOOL ReadPasteText(const CMirelDoc& doc, UINT uBinary, UINT uBinarySource, Bytes* pOut) {
  const int nEncoding = doc.nFileEncoding;
  BinarySource source;
  if (HasFormat(uBinary) && ReadBinaryFormat(uBinary, pOut) && !pOut->empty() &&
      ReadBinarySource(uBinarySource, *pOut, &source) && ReadAlike(source, SourceOf(doc, pOut->size()))) {
    // Half a unit cannot be pasted into UTF-16 text.
    if (IsWideEncoding(nEncoding) && (pOut->size() & 1)) pOut->pop_back();
    return TRUE;
  }
  Bytes raw;
  auto fromUnicode = [&](int nTo, int nCodePage) {
    return HasFormat(CF_UNICODETEXT) && ReadTextFormat(CF_UNICODETEXT, &raw) &&
           (nTo == MIREL_ENCODING_UTF16LE ? (pOut->swap(raw), TRUE)
                                          : Reencode(raw.data(), static_cast<DWORD>(raw.size()),
                                                     MIREL_ENCODING_UTF16LE, nTo, nCodePage, pOut));
  };
  // CF_TEXT is in the system ANSI code page.
  auto fromAnsi = [&](int nTo) {
    return HasFormat(CF_TEXT) && ReadTextFormat(CF_TEXT, &raw) &&
           Reencode(raw.data(), static_cast<DWORD>(raw.size()), MIREL_ENCODING_ANSI, nTo, 0, pOut);
  };
  auto fromBinary = [&] { return HasFormat(uBinary) && ReadBinaryFormat(uBinary, pOut); };

  if (IsWideEncoding(nEncoding)) {
    if (fromUnicode(MIREL_ENCODING_UTF16LE, 0) || fromAnsi(MIREL_ENCODING_UTF16LE) || fromBinary()) {
      // Half a unit cannot be pasted into UTF-16 text.
      if (pOut->size() & 1) pOut->pop_back();
      return TRUE;
    }
    return FALSE;
  }
  if (nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM)
    return fromUnicode(nEncoding, 0) || fromAnsi(nEncoding) || fromBinary();
  // The system's CF_TEXT would lose what the document's code page holds.
  if (HasForeignCodePage(doc) && fromUnicode(MIREL_ENCODING_ANSI, doc.nCodePage)) return TRUE;
  // ANSI: the text as it stands, else OEM text converted from the OEM code
  // page (never taken as ANSI bytes), the raw bytes, then Unicode text.
  if (HasFormat(CF_TEXT) && ReadTextFormat(CF_TEXT, pOut)) return TRUE;
  if (HasFormat(CF_OEMTEXT) && ReadTextFormat(CF_OEMTEXT, &raw)) {
    Bytes wide;
    if (Reencode(raw.data(), static_cast<DWORD>(raw.size()), MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE,
                 static_cast<int>(GetOEMCP()), &wide) &&
        Reencode(wide.data(), static_cast<DWORD>(wide.size()), MIREL_ENCODING_UTF16LE, MIREL_ENCODING_ANSI,
                 doc.nCodePage, pOut))
      return TRUE;
  }
  return fromBinary() || fromUnicode(MIREL_ENCODING_ANSI, doc.nCodePage);
}

// ---------------------------------------------------------------------------
// Building blocks

// A text block of the bytes and the format's terminator (zero-filled).
BOOL MakeTextBlock(const BYTE* p, SIZE_T n, UINT uFormat, CClipboardData* pData) {
  const SIZE_T nTerm = uFormat == CF_UNICODETEXT ? 2 : 1;
  if (n > kMaxTransfer || !pData->Alloc(n + nTerm)) return FALSE;
  if (n > 0) std::memcpy(pData->GetPtr(), p, n);
  pData->SetFormat(uFormat);
  return TRUE;
}

// A "__BINARY_FORMAT__" block: the count, then the parts one after another.
BOOL MakeBinaryBlock(const Bytes& first, const BYTE* pSecond, SIZE_T nSecond, CClipboardData* pData) {
  const SIZE_T n = first.size() + nSecond;
  if (n > kMaxTransfer || !pData->Alloc(4 + n)) return FALSE;
  BYTE* p = pData->GetPtr();
  WriteU32(p, static_cast<DWORD>(n));
  if (!first.empty()) std::memcpy(p + 4, first.data(), first.size());
  if (nSecond > 0) std::memcpy(p + 4 + first.size(), pSecond, nSecond);
  return TRUE;
}

// The text view's selection (a column block's rows joined by CR LF, the
// stream selection, else the caret's paragraph with its line break) in the
// document encoding.
BOOL SelectionBytes(CMirelDoc& doc, Bytes* pOut) {
  pOut->clear();
  const MrDocText text = MrGetDocText(doc);
  if (text.p == nullptr) return FALSE;
  if (doc.block.IsColumnBlock()) {
    const DWORD n = doc.block.GetColumnText(nullptr);
    if (n == 0) return FALSE;
    if (!MrTryResize(*pOut, n)) return FALSE;
    pOut->resize(doc.block.GetColumnText(pOut->data()));
    return !pOut->empty();
  }
  DWORD nStart = 0, nEnd = 0;
  if (doc.block.IsNotEmpty()) {
    nStart = std::min(doc.block.GetStartPtr(), text.nLen);
    nEnd = std::min(doc.block.GetEndPtr(), text.nLen);
  } else {
    const DWORD nCaret = std::min(static_cast<DWORD>(std::max(doc.nCaretPos, 0)), text.nLen);
    nStart = doc.GetParagraphStart(nCaret);
    nEnd = std::min(doc.GetParagraphEndWithNewline(nCaret), text.nLen);
  }
  if (text.bWide) {
    nStart &= ~1u;
    nEnd &= ~1u;
  }
  return nEnd <= nStart || MrTryAppend(*pOut, text.p + nStart, text.p + nEnd);
}

// What the text view places for its selection: the text, the document's own
// bytes and what they are text in.
struct TextCopy {
  TextForm form;
  Bytes bytes;
  BinarySource source;
};

// FALSE when there is nothing to copy or no memory for it.
BOOL TextCopyOfSelection(CMirelDoc& doc, TextCopy* pCopy) {
  if (!SelectionBytes(doc, &pCopy->bytes) || pCopy->bytes.empty()) return FALSE;
  pCopy->source = SourceOf(doc, pCopy->bytes.size());
  return TextFormOf(doc, pCopy->bytes, &pCopy->form);
}

// The blocks of a text copy: the text, and the bytes in the control's format
// with what they are text in when the edit window has those formats.
struct TextCopyBlocks {
  CClipboardData text, binary, source;
};

BOOL MakeTextCopyBlocks(const TextCopy& copy, const CMirel& edit, TextCopyBlocks* pBlocks) {
  if (!MakeTextBlock(copy.form.text.data(), copy.form.text.size(), copy.form.uFormat, &pBlocks->text))
    return FALSE;
  if (edit.uBinaryFormat == 0) return TRUE;
  if (!MakeBinaryBlock(Bytes(), copy.bytes.data(), copy.bytes.size(), &pBlocks->binary)) return FALSE;
  pBlocks->binary.SetFormat(edit.uBinaryFormat);
  return edit.uBinarySourceFormat == 0 ||
         MakeBinarySourceBlock(copy.source, edit.uBinarySourceFormat, &pBlocks->source);
}

// The hex view's selected body bytes (byte-order mark included when selected).
BOOL HexSelectionBytes(CMirelDoc& doc, const BYTE** ppBytes, DWORD* pnLen) {
  if (doc.pContents == nullptr || !doc.block.IsNotEmpty()) return FALSE;
  const DWORD nBody = doc.GetFileSize();
  const DWORD nStart = std::min(doc.block.GetStartPtr(), nBody);
  const DWORD nEnd = std::min(doc.block.GetEndPtr(), nBody);
  if (nEnd <= nStart) return FALSE;
  *ppBytes = doc.pContents->GetBody(0) + nStart;
  *pnLen = nEnd - nStart;
  return TRUE;
}

// Empties the clipboard and places the blocks that hold data, in order.
int EmptyAndPlace(std::initializer_list<CClipboardData*> blocks) {
  if (!EmptyClipboard()) return 0;
  BOOL bOk = TRUE;
  for (CClipboardData* pBlock : blocks) {
    if (pBlock->GetPtr() != nullptr) bOk = pBlock->SetClipboardDefault() && bOk;
  }
  return bOk ? 1 : 0;
}

HWND OwnerOf(CMirel* pEdit) {
  MIREL_ASSERT_TEXT(pEdit == nullptr || pEdit->hWndEdit != nullptr, "pEditFocus->hWndEdit");
  return pEdit != nullptr ? pEdit->hWndEdit : nullptr;
}

// ---------------------------------------------------------------------------
// Pasting into the text

// A column block's clipboard text goes in one line per display row at the
// caret's column; TRUE when the text changed.
BOOL InsertPastedColumn(CMirelDoc& doc, DWORD nPos, const Bytes& text) {
  const DWORD nBefore = doc.GetContentsSize();
  // A column that went in part way counts as changed text: the caller takes
  // its group back.
  return doc.InsertColumnText(text.data(), static_cast<DWORD>(text.size()), nPos) &&
         doc.GetContentsSize() != nBefore;
}

// The spaces that fill the caret's virtual space, in front of the text;
// FALSE when the memory for them is not there.
BOOL WithVirtualSpaces(CMirelDoc& doc, const Bytes& text, Bytes* pOut) {
  pOut->clear();
  const int nSize = doc.nVirtualSpace > 0 ? doc.MakeSpaces(doc.nVirtualSpace, nullptr, 0) : 0;
  if (!MrTryReserve(*pOut, static_cast<size_t>(std::max(nSize, 0)) + text.size())) return FALSE;
  pOut->resize(static_cast<size_t>(std::max(nSize, 0)));
  if (nSize > 0)
    pOut->resize(static_cast<size_t>(std::max(doc.MakeSpaces(doc.nVirtualSpace, pOut->data(), nSize), 0)));
  pOut->insert(pOut->end(), text.begin(), text.end());  // within the room taken
  return TRUE;
}

DWORD CaretInText(CMirelDoc& doc) {
  DWORD nCaret = std::min(static_cast<DWORD>(std::max(doc.nCaretPos, 0)), doc.GetContentsSize());
  if (IsWideEncoding(doc.nFileEncoding)) nCaret &= ~1u;
  return nCaret;
}

void RefreshAfterEdit(CMirelDoc& doc, CMirel* pEdit, int nHint, DWORD nFrom) {
  doc.UpdateAllScrollBars();
  if (pEdit != nullptr && pEdit->pView != nullptr) pEdit->pView->UpdateCaret(1, 1);
  doc.UpdateAllViews(nHint, nFrom, 0);
}

}  // namespace

// ---------------------------------------------------------------------------
// Dispatchers

int CMirelDoc::Copy(CMirel* pEditFocus) {
  if (pEditFocus != nullptr) pEditFocus->CompleteComposition();
  if (nViewType == MIREL_VIEW_TYPE_TEXT) return CopyText(pEditFocus);
  if (nViewType == MIREL_VIEW_TYPE_HEX) return CopyHex(pEditFocus);
  return 0;
}

int CMirelDoc::CopyAppend(CMirel* pEditFocus) {
  if (pEditFocus != nullptr) pEditFocus->CompleteComposition();
  if (nViewType == MIREL_VIEW_TYPE_TEXT) return CopyAppendText(pEditFocus);
  if (nViewType == MIREL_VIEW_TYPE_HEX) return CopyAppendHex(pEditFocus);
  return 0;
}

int CMirelDoc::Cut(CMirel* pEditFocus) {
  if (pEditFocus != nullptr) pEditFocus->CompleteComposition();
  if (nViewType == MIREL_VIEW_TYPE_TEXT) return CutText(pEditFocus, FALSE);
  if (nViewType == MIREL_VIEW_TYPE_HEX) return CutHex(pEditFocus, FALSE);
  return 0;
}

int CMirelDoc::CutAppend(CMirel* pEditFocus) {
  if (pEditFocus != nullptr) pEditFocus->CompleteComposition();
  if (nViewType == MIREL_VIEW_TYPE_TEXT) return CutText(pEditFocus, TRUE);
  if (nViewType == MIREL_VIEW_TYPE_HEX) return CutHex(pEditFocus, TRUE);
  return 0;
}

int CMirelDoc::Paste(CMirel* pEditFocus) {
  if (pEditFocus != nullptr) pEditFocus->CompleteComposition();
  if (nViewType == MIREL_VIEW_TYPE_TEXT) return PasteText(pEditFocus);
  if (nViewType == MIREL_VIEW_TYPE_HEX) return PasteHex(pEditFocus);
  return 0;
}

// ---------------------------------------------------------------------------
// Copy

int CMirelDoc::CopyText(CMirel* pEditFocus) {
  CMrWaitCursor wait;
  if (pContents == nullptr || pEditFocus == nullptr) return 0;
  // Nothing to copy leaves the clipboard as it is.
  TextCopy copy;
  if (!TextCopyOfSelection(*this, &copy)) return 0;
  TextCopyBlocks blocks;
  if (!MakeTextCopyBlocks(copy, *pEditFocus, &blocks)) return 0;
  CClipboardOpen clip(OwnerOf(pEditFocus));
  if (!clip.IsOpen()) return 0;
  return EmptyAndPlace({&blocks.text, &blocks.binary, &blocks.source});
}

int CMirelDoc::CopyHex(CMirel* pEditFocus) {
  CMrWaitCursor wait;
  if (pEditFocus == nullptr) return 0;
  const BYTE* p = nullptr;
  DWORD n = 0;
  if (!HexSelectionBytes(*this, &p, &n)) return 0;
  CClipboardData binary, text;
  if (!MakeBinaryBlock(Bytes(), p, n, &binary) || !MakeTextBlock(p, n, CF_TEXT, &text)) return 0;
  binary.SetFormat(pEditFocus->uBinaryFormat);
  CClipboardOpen clip(OwnerOf(pEditFocus));
  if (!clip.IsOpen()) return 0;
  if (pEditFocus->uBinaryFormat == 0) return EmptyAndPlace({&text});
  return EmptyAndPlace({&text, &binary});
}

int CMirelDoc::CopyAppendText(CMirel* pEditFocus) {
  CMrWaitCursor wait;
  if (pContents == nullptr || pEditFocus == nullptr) return 0;
  const UINT uBinary = pEditFocus->uBinaryFormat;
  if (!HasFormat(uBinary) && !HasFormat(CF_TEXT) && !HasFormat(CF_UNICODETEXT)) return CopyText(pEditFocus);
  TextCopy added;
  if (!TextCopyOfSelection(*this, &added)) return 0;
  CClipboardOpen clip(OwnerOf(pEditFocus));
  if (!clip.IsOpen()) return 0;
  // Each format the copy places that the clipboard holds grows by the new
  // text; the others are not placed.
  TextCopyBlocks blocks;
  BOOL bGrown = FALSE;
  Bytes old;
  if (HasFormat(uBinary) && ReadBinaryFormat(uBinary, &old)) {
    if (!MakeBinaryBlock(old, added.bytes.data(), added.bytes.size(), &blocks.binary)) return 0;
    blocks.binary.SetFormat(uBinary);
    bGrown = TRUE;
    // The grown bytes are text in one encoding only when the old ones are
    // text in what the new ones are; else nothing claims them to be.
    BinarySource source;
    if (ReadBinarySource(pEditFocus->uBinarySourceFormat, old, &source) && ReadAlike(source, added.source)) {
      source = added.source;
      source.nCount = static_cast<DWORD>(old.size() + added.bytes.size());
      if (!MakeBinarySourceBlock(source, pEditFocus->uBinarySourceFormat, &blocks.source)) return 0;
    }
  }
  const TextForm& form = added.form;
  if (HasFormat(form.uFormat) && ReadTextFormat(form.uFormat, &old)) {
    if (!MrTryAppend(old, form.text.begin(), form.text.end()) ||
        !MakeTextBlock(old.data(), old.size(), form.uFormat, &blocks.text))
      return 0;
    bGrown = TRUE;
  }
  // Old content that could not be read never takes the new text with it.
  if (!bGrown && !MakeTextCopyBlocks(added, *pEditFocus, &blocks)) return 0;
  return EmptyAndPlace({&blocks.binary, &blocks.source, &blocks.text});
}

int CMirelDoc::CopyAppendHex(CMirel* pEditFocus) {
  CMrWaitCursor wait;
  if (pEditFocus == nullptr) return 0;
  const UINT uBinary = pEditFocus->uBinaryFormat;
  if (!HasFormat(uBinary) && !HasFormat(CF_TEXT) && !HasFormat(CF_UNICODETEXT)) return CopyHex(pEditFocus);
  const BYTE* p = nullptr;
  DWORD n = 0;
  if (!HexSelectionBytes(*this, &p, &n)) return 0;
  CClipboardOpen clip(OwnerOf(pEditFocus));
  if (!clip.IsOpen()) return 0;
  Bytes oldBinary, oldText;
  if (HasFormat(uBinary)) ReadBinaryFormat(uBinary, &oldBinary);
  if (HasFormat(CF_TEXT)) ReadTextFormat(CF_TEXT, &oldText);
  if (!MrTryAppend(oldText, p, p + n)) return 0;
  CClipboardData binary, text;
  if (!MakeBinaryBlock(oldBinary, p, n, &binary) ||
      !MakeTextBlock(oldText.data(), oldText.size(), CF_TEXT, &text))
    return 0;
  binary.SetFormat(uBinary);
  return EmptyAndPlace({&binary, &text});
}

// ---------------------------------------------------------------------------
// Cut

int CMirelDoc::CutText(CMirel* pEditFocus, BOOL bAppend) {
  CMrWaitCursor wait;
  if (pContents == nullptr || pEditFocus == nullptr || bReadOnly || pEditFocus->bTracking) return 0;
  const DWORD nAnchor = block.nAnchor, nBlockCaret = block.nCaret;
  const int nAnchorLine = block.nAnchorLine, nCaretLine = block.nCaretLine;
  const BOOL bHadSelection = block.HasSelection();
  if (!bHadSelection) {
    // No selection: the caret's whole paragraph with its line break.
    const DWORD nCaret = CaretInText(*this);
    const DWORD nStart = GetParagraphStart(nCaret);
    const DWORD nEnd = GetParagraphEndWithNewline(nCaret);
    if (nEnd <= nStart) return 0;
    block.Reset(nStart, GetLineFromPos(nStart), FALSE);
    block.SetCaret(nEnd, GetLineFromPos(nEnd));
  }
  const BOOL bColumn = block.IsColumnBlock();
  const int nCopied = bAppend ? CopyAppendText(pEditFocus) : CopyText(pEditFocus);
  BOOL bDeleted = FALSE;
  if (nCopied) {
    CMrModifiedNotifyHold notify(*this);
    SeparateUndo();
    bDeleted = notify.Note(DeleteBlock());
    SeparateUndo();
  }
  if (!bDeleted) {
    // Nothing was cut: the selection is the one the user had.
    if (!bHadSelection) {
      block.Reset(nAnchor, nAnchorLine, FALSE);
      block.SetCaret(nBlockCaret, nCaretLine);
    }
    return 0;
  }
  cli = GetLineFromPos(static_cast<DWORD>(nCaretPos));
  RefreshAfterEdit(*this, pEditFocus, bColumn ? REPAINT_TAG_ALL : REPAINT_TAG_FROM,
                   GetParagraphStart(static_cast<DWORD>(nCaretPos)));
  return 1;
}

int CMirelDoc::CutHex(CMirel* pEditFocus, BOOL bAppend) {
  CMrWaitCursor wait;
  if (pContents == nullptr || pEditFocus == nullptr || bReadOnly || pEditFocus->bTracking) return 0;
  if (!block.IsNotEmpty()) return 0;
  if (!(bAppend ? CopyAppendHex(pEditFocus) : CopyHex(pEditFocus))) return 0;
  CMrModifiedNotifyHold notify(*this);
  SeparateUndo();
  const BOOL bDeleted = notify.Note(DeleteBlockHex());
  SeparateUndo();
  if (!bDeleted) return 0;
  int nRowStart = 0, nRowEnd = 0;
  GetHexLineRange(cli, &nRowStart, &nRowEnd);
  RefreshAfterEdit(*this, pEditFocus, REPAINT_TAG_FROM, static_cast<DWORD>(std::max(nRowStart, 0)));
  return 1;
}

// ---------------------------------------------------------------------------
// Paste

int CMirelDoc::PasteText(CMirel* pEditFocus) {
  CMrWaitCursor wait;
  if (pContents == nullptr || pEditFocus == nullptr || bReadOnly || pEditFocus->bTracking) return 0;
  const UINT uBinary = pEditFocus->uBinaryFormat;
  if (!HasFormat(uBinary) && !HasFormat(CF_TEXT) && !HasFormat(CF_UNICODETEXT)) return 0;
  Bytes text;
  {
    CClipboardOpen clip(OwnerOf(pEditFocus));
    if (!clip.IsOpen()) return 0;
    const BOOL bRead = ReadPasteText(*this, uBinary, pEditFocus->uBinarySourceFormat, &text);
    MIREL_ASSERT(bRead);
    if (!bRead) return 0;
  }
  if (text.empty()) return 0;
  // Room first, so that no step after the first edit fails for memory.
  if (!pContents->Reserve(static_cast<DWORD>(std::min<size_t>(text.size() + 64, MIREL_MAX_BODY_BYTES))))
    return 0;

  CMrModifiedNotifyHold notify(*this);
  DWORD nEditPos = 0;
  DWORD nLen = 0;
  if (block.IsColumnMode()) {
    SeparateUndo();
    StartUndoGroup();
    BOOL bEdited = block.HasSelection() && notify.Note(DeleteBlock());
    nEditPos = CaretInText(*this);
    // The spaces of the virtual space first: the column then starts at the
    // caret's shown column on every row.
    BOOL bInserted = TRUE;
    Bytes spaces;
    if (!WithVirtualSpaces(*this, Bytes(), &spaces)) bInserted = FALSE;
    if (bInserted && !spaces.empty()) {
      bInserted =
          notify.Note(InsertContents(nEditPos, spaces.data(), static_cast<DWORD>(spaces.size()), TRUE));
      if (bInserted) nEditPos += static_cast<DWORD>(spaces.size());
      bEdited = bEdited || bInserted;
    }
    if (bInserted) {
      const DWORD nBefore = GetContentsSize();
      bInserted = notify.Note(InsertPastedColumn(*this, nEditPos, text));
      bEdited = bEdited || GetContentsSize() != nBefore;  // in part, when it failed
    }
    EndUndoGroup();
    SeparateUndo();
    if (!bInserted) {
      // Whatever the group did before the failure is taken back; a group that
      // did nothing leaves the history alone.
      if (bEdited && CanUndo()) Undo(pEditFocus);
      return 0;
    }
    nVirtualSpace = 0;
    nLen = 0;  // the caret stays where the column went in
  } else if (block.IsNotEmpty()) {
    SeparateUndo();
    const DWORD nLimit = GetContentsSize();
    DWORD nStart = std::min(block.GetStartPtr(), nLimit);
    DWORD nEnd = std::min(block.GetEndPtr(), nLimit);
    if (IsWideEncoding(nFileEncoding)) {
      nStart &= ~1u;
      nEnd = std::min(nEnd + (nEnd & 1), nLimit);
    }
    if (!notify.Note(
            ReplaceContents(nStart, nEnd - nStart, TRUE, text.data(), static_cast<DWORD>(text.size()), TRUE)))
      return 0;
    SeparateUndo();
    nVirtualSpace = 0;
    nEditPos = nStart;
    nLen = static_cast<DWORD>(text.size());
  } else {
    // The spaces of the virtual space and the text go in as one insertion,
    // so a failure leaves nothing behind.
    SeparateUndo();
    nEditPos = CaretInText(*this);
    // The text itself goes in when there is no virtual space to fill (no
    // copy of a text of megabytes).
    Bytes withSpaces;
    if (nVirtualSpace > 0 && !WithVirtualSpaces(*this, text, &withSpaces)) return 0;
    const Bytes& data = nVirtualSpace > 0 ? withSpaces : text;
    StartUndoGroup();
    const BOOL bInserted =
        notify.Note(InsertContents(nEditPos, data.data(), static_cast<DWORD>(data.size()), TRUE));
    EndUndoGroup();
    SeparateUndo();
    if (!bInserted) return 0;
    nVirtualSpace = 0;
    nLen = static_cast<DWORD>(data.size());
  }
  nCaretPos = static_cast<int>(nEditPos + nLen);
  cli = GetLineFromPos(static_cast<DWORD>(nCaretPos));
  block.Reset(static_cast<DWORD>(nCaretPos), cli, FALSE);
  RefreshAfterEdit(*this, pEditFocus, REPAINT_TAG_FROM, GetParagraphStart(nEditPos));
  return 1;
}

int CMirelDoc::PasteHex(CMirel* pEditFocus) {
  CMrWaitCursor wait;
  if (pContents == nullptr || pEditFocus == nullptr || bReadOnly || pEditFocus->bTracking) return 0;
  const UINT uBinary = pEditFocus->uBinaryFormat;
  if (!HasFormat(uBinary) && !HasFormat(CF_TEXT) && !HasFormat(CF_UNICODETEXT)) return 0;
  Bytes bytes;
  {
    CClipboardOpen clip(OwnerOf(pEditFocus));
    if (!clip.IsOpen()) return 0;
    // The bytes as they stand, never converted.
    const BOOL bRead = (HasFormat(uBinary) && ReadBinaryFormat(uBinary, &bytes)) ||
                       (HasFormat(CF_TEXT) && ReadTextFormat(CF_TEXT, &bytes)) ||
                       (HasFormat(CF_UNICODETEXT) && ReadTextFormat(CF_UNICODETEXT, &bytes));
    if (!bRead) return 0;
  }
  if (bytes.empty()) return 0;
  CMrModifiedNotifyHold notify(*this);
  const DWORD nBody = GetFileSize();
  const DWORD nCaret = std::min(static_cast<DWORD>(std::max(nCaretPos, 0)), nBody);
  const DWORD n = static_cast<DWORD>(bytes.size());
  DWORD nEditPos = nCaret;
  SeparateUndo();
  BOOL bDone = FALSE;
  if (block.IsNotEmpty()) {
    const DWORD nStart = std::min({block.GetStartPtr(), nCaret, nBody});
    const DWORD nEnd = std::min(block.GetEndPtr(), nBody);
    nEditPos = nStart;
    bDone =
        notify.Note(ReplaceContents(nStart, nEnd > nStart ? nEnd - nStart : 0, TRUE, bytes.data(), n, TRUE));
  } else {
    bDone = notify.Note(InsertContents(nCaret, bytes.data(), n, TRUE));
  }
  SeparateUndo();
  if (!bDone) return 0;
  nCaretPos = static_cast<int>(nEditPos + n);
  cli = GetHexLineFromPos(static_cast<DWORD>(nCaretPos));
  block.SetBoth(static_cast<DWORD>(nCaretPos), cli);
  RefreshAfterEdit(*this, pEditFocus, REPAINT_TAG_FROM, nEditPos);
  return 1;
}
