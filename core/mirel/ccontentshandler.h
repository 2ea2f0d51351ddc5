// The text store interface: one document's text as one contiguous byte buffer
// in the file encoding, the byte-order mark in front, zero bytes after it.
// The same object lays the text out into the document's display-line table.
//
// Positions given to the editing operations are view positions: text offsets
// (mark excluded) in the text view, body offsets (mark included) in the hex
// view. The line table always holds text offsets.
#pragma once

#include <windows.h>

#include <cstdio>

#include "mirel/cmireldoc.h"

// Handler types (nType).
constexpr BYTE MIREL_HANDLER_NORMAL = 1;
constexpr BYTE MIREL_HANDLER_VIEWER = 2;
constexpr BYTE MIREL_HANDLER_HUGE = 3;

// Largest body the store holds: positions stay positive 32-bit values and the
// growth arithmetic cannot wrap.
constexpr DWORD MIREL_MAX_BODY_BYTES = 0x7FF00000;

// Zero bytes kept after the body end.
constexpr DWORD MIREL_BODY_PADDING = 4;

class CMrPrintInfo;

// Break code of the print row finder for a print wrap mode outside 0..3.
constexpr int MIREL_PRINT_BAD_MODE = 255;

class CContentsHandler {
 public:
  CContentsHandler(CMirelDoc* pDocument, BYTE nHandlerType);
  virtual ~CContentsHandler();
  CContentsHandler(const CContentsHandler&) = delete;
  CContentsHandler& operator=(const CContentsHandler&) = delete;

  // Finds the end of the row that starts at nStart (the layout lives in
  // ccontentshandler_layout.cpp). Returns a MIREL_BREAK_* code, or
  // MIREL_BREAK_BAD_MODE for a wrap mode outside 0..3.
  virtual int FindLineEnd(const BYTE* pText, DWORD nLen, DWORD nStart, DWORD* pnEnd, int* pnWidth,
                          BOOL bNoLimit);
  virtual BOOL ChangeEncoding(int nNewEncoding);
  virtual BOOL DeleteText(DWORD nPos, DWORD nLen, BOOL bRecordUndo);
  virtual BOOL InsertText(DWORD nPos, const BYTE* pData, DWORD nLen, BOOL bRecordUndo);
  virtual BOOL LoadFile(FILE* pFile, DWORD nSize, int* pnEncoding, int* pnFileFormat);
  virtual BOOL Reserve(DWORD nExtra);
  virtual BOOL ReplaceText(DWORD nPos, DWORD nOldLen, BOOL bRecordOld, const BYTE* pData, DWORD nNewLen,
                           BOOL bRecordNew);
  virtual BOOL RebuildLines();
  // Width of the widest row of the text as the current widths lay it out,
  // without touching the rows.
  int MeasureWidestRow();
  virtual BOOL DeleteAndRelayout(DWORD nPos, DWORD nLen, BOOL bRecordUndo);
  virtual BOOL InsertAndRelayout(DWORD nPos, const BYTE* pData, DWORD nLen, BOOL bRecordUndo);
  virtual BOOL ReplaceAndRelayout(DWORD nPos, DWORD nOldLen, BOOL bRecordOld, const BYTE* pData,
                                  DWORD nNewLen, BOOL bRecordNew);
  virtual BOOL RecalcLayout(int nFrom, int nTo);
  virtual BYTE GetTextByte(DWORD nOffset);
  virtual BYTE GetBodyByte(DWORD nOffset);
  virtual BYTE* GetText(DWORD nPos);
  virtual BYTE* GetBody(DWORD nPos);
  virtual DWORD GetTextLength();
  virtual DWORD GetBodyLength();
  virtual LONG GetWindowOffset();
  virtual DWORD GetLoadedLength();
  virtual DWORD GetTotalLength();
  virtual LONG GetTextOffset();
  virtual BOOL IsValid();

  // Print pagination (ccontentshandler_print.cpp): the whole text cut into
  // print rows and pages for the print state's DC, wrap mode, printable
  // width, tab stops and rows per page. FALSE (no page count) on failure.
  virtual BOOL BuildPrintLines(CMrPrintInfo* pInfo);
  // The end of the print row that starts at *pnStart: a MIREL_BREAK_* code,
  // or MIREL_PRINT_BAD_MODE. A wrap mode of 0 becomes word wrap.
  virtual int FindPrintLineEnd(CMrPrintInfo* pInfo, const BYTE* pText, DWORD nLen, DWORD* pnStart,
                               DWORD* pnEnd);

  BYTE GetBomLength() const { return nBomLen; }
  BYTE GetType() const { return nType; }

  BYTE nType;
  BYTE nBomLen;
  BYTE* pText;
  BYTE* pEditBodyFile;
  CMirelDoc* pDoc;
  MIREL_LINE* pInsLines;  // scratch rows of the incremental re-layout
  DWORD nAlloc;
  DWORD nTextLen;
  DWORD nBodyLen;
  LONG nWindowOffset;
  LONG nTextOffset;
  // Layouts of the whole text so far (loads, rebuilds, re-wraps): a load must
  // cost one, whatever the margins do.
  DWORD nFullLayouts = 0;

 protected:
  // Which operation an edit comes from: decides how the undo history records it.
  enum class EditKind { kInsert, kDelete, kReplace };

  // One edit of the body as the text side sees it.
  struct TextEdit {
    DWORD nPos;     // text offset where the change starts
    DWORD nOldLen;  // text bytes replaced
    DWORD nNewLen;  // text bytes that replace them
    BYTE nNewBom;   // mark length after the edit
  };

  // The byte edit shared by the three editing operations: checks the
  // arguments, reserves room, records undo, moves the bytes. The mark length
  // follows hex-view edits of the front bytes. Does not mark the document
  // modified. Fills *pEdit with the change on the text side.
  virtual BOOL EditBytes(EditKind kind, DWORD nPos, DWORD nOldLen, BOOL bRecordOld, const BYTE* pData,
                         DWORD nNewLen, BOOL bRecordNew, TextEdit* pEdit);

  // Edits and re-lays the touched paragraphs (ccontentshandler_layout.cpp).
  BOOL EditAndRelayout(EditKind kind, DWORD nPos, DWORD nOldLen, BOOL bRecordOld, const BYTE* pData,
                       DWORD nNewLen, BOOL bRecordNew);

 private:
  BOOL BuildPrintLineTable(CMrPrintInfo* pInfo);
  // Rows of the line table for the text from row nFirstRow on, laid from
  // nStart as paragraph nPara; the table ends with them.
  BOOL LayToEnd(int nFirstRow, DWORD nStart, DWORD nPara);
  // Inserts text into an empty store and lays all of it out at once.
  BOOL LoadAndLayout(DWORD nPos, const BYTE* pData, DWORD nLen, BOOL bRecordUndo);
  // Re-lays the paragraphs an edit of the text side touched and splices the
  // new rows in front of the first old paragraph past the edit.
  BOOL RelayoutAfterEdit(const TextEdit& edit);
  BOOL EnsureScratch(DWORD nRows);
  // Last row whose start is at or before the text offset (0 for none).
  int FindRowAtOrBefore(DWORD nOffset) const;
  // Zeroes the records from nFrom to nTo (exclusive), clipped to the capacity.
  void ZeroRecords(int nFrom, int nTo);

  DWORD nInsAlloc = 0;  // capacity of pInsLines in records
};
