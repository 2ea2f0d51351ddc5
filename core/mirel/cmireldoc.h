// The document behind every edit window: settings, colours, fonts, metrics,
// caret and selections, the display-line table, bookmarks, undo history and
// the text store. The text store, the lexers and the views read and write
// these fields directly, so the field list is a shared contract.
//
// Where the members are implemented:
//   cmireldoc.cpp              construction, defaults, NewFile, Reset, the text
//                              gateways, modified and read-only state, faults,
//                              undo pass-throughs, line-table growth, delimiters
//   ccontentshandler*.cpp      the text store and the display-line layout
//   cmireldoc_positions.cpp,
//   cmireldoc_words.cpp,
//   cmireldoc_hexlayout.cpp    positions, rows, paragraphs, characters, words,
//                              pixel x and the hex layout
//   cmireldoc_metrics.cpp      character widths, text metrics, fonts, margins
//   cmrblock.cpp,
//   cmireldoc_selection.cpp    selection blocks and the selection operations
//   cmireldoc_goto.cpp         word queries and goto
//   cmireldoc_textio.cpp, cmireldoc_undo.cpp, cmireldoc_registry.cpp,
//   cmireldoc_settings.cpp     text in and out, undo and redo, the edit
//                              registry, settings (see their sections below)
//   cmireldoc_viewtype.cpp     switching between the text and the hex view
#pragma once

#include <vector>
#include <windows.h>

#include <cstdio>
#include <vector>
#ifdef _WIN32
#include <locale.h>
#endif

#include "mirel/cmrblock.h"
#include "mirel/cmrbookmark.h"
#include "mirel/cmrcursor.h"
#include "mirel/cmrundomanager.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelsyntax.h"

class CContentsHandler;
class CMirel;
class CMrSyntax;
class CMrMetaBlockFindResult;
class CMrMetaBlockHyperLink;
class CMrPrintInfo;
class CRegExp;

// TRUE when the handle is a device context of any kind (GetObjectType).
BOOL MrIsDeviceContext(HDC hdc);

// ---------------------------------------------------------------------------
// Display rows

// One display row of the line table.
struct MIREL_LINE {
  DWORD nStart;    // text offset of the row's first byte (byte-order mark excluded)
  DWORD nPara;     // paragraph index from 0
  DWORD nSubLine;  // row number within its paragraph, 0 for the first row
  WORD nLen;       // bytes in the row without its line end
  BYTE nKind;      // MIREL_LINE_SPARE, MIREL_LINE_ROW or MIREL_LINE_LAST
  BYTE reserved[5];
};
static_assert(sizeof(MIREL_LINE) == 20, "a display row is a 20-byte record");

constexpr BYTE MIREL_LINE_SPARE = 0;  // zeroed record beyond nLineCount
constexpr BYTE MIREL_LINE_ROW = 1;
constexpr BYTE MIREL_LINE_LAST = 2;  // last row of the text

// Longest row in bytes (the 16-bit length field).
constexpr DWORD MIREL_MAX_ROW_BYTES = 0xFFFF;

// Wrap modes (nWrapMode).
#ifndef MIREL_WRAP_NONE
#define MIREL_WRAP_NONE 0       // rows break at line ends, page breaks and the row cap
#define MIREL_WRAP_CHAR 1       // before the character that passes the width limit
#define MIREL_WRAP_WORD 2       // at the last word break (delimiters, double-byte characters)
#define MIREL_WRAP_WORD_DBCS 3  // at the last word break (delimiters, single/double-byte changes)
#endif

// Break codes of the line finder.
constexpr int MIREL_BREAK_END = 0;   // the row ends at the end of the text
constexpr int MIREL_BREAK_WRAP = 1;  // soft break: width limit or row cap
constexpr int MIREL_BREAK_PAGE = 3;  // before the page-break character
constexpr int MIREL_BREAK_CRLF = 11;
constexpr int MIREL_BREAK_LF = 12;
constexpr int MIREL_BREAK_CR = 13;
constexpr int MIREL_BREAK_BAD_MODE = -1;

// Records the insert and replace re-layouts stage before writing them.
constexpr int TX_INS_LN_BUF_LEN = 2;

// View types (nViewType).
#ifndef MIREL_VIEW_TYPE_TEXT
#define MIREL_VIEW_TYPE_TEXT 1
#define MIREL_VIEW_TYPE_HEX 2
#endif

// A colour that follows the default or system colour.
#ifndef MIREL_CLR_AUTO
#define MIREL_CLR_AUTO 0xFF000000u
#endif

// ---------------------------------------------------------------------------
// Bits of nOptions
constexpr BYTE MIREL_OPT_DBLCLK_WORD_SELECT = 0x01;
constexpr BYTE MIREL_OPT_OVERWRITE = 0x02;
constexpr BYTE MIREL_OPT_BINARY = 0x04;
constexpr BYTE MIREL_OPT_DRAG_PENDING = 0x08;
constexpr BYTE MIREL_OPT_LINE_NO = 0x10;
constexpr BYTE MIREL_OPT_INDICATOR_MARGIN = 0x20;
constexpr BYTE MIREL_OPT_FOLDER_MARGIN = 0x40;
constexpr BYTE MIREL_OPT_INSERT_TOGGLE = 0x80;
constexpr BYTE MIREL_OPT_DEFAULT = MIREL_OPT_DBLCLK_WORD_SELECT | MIREL_OPT_LINE_NO |
                                   MIREL_OPT_INDICATOR_MARGIN | MIREL_OPT_INSERT_TOGGLE;  // 0xB1

// Bits of nSimpleMarks: draw these marks in their simple form.
constexpr BYTE MIREL_MARK_SIMPLE_SPACE = 0x01;
constexpr BYTE MIREL_MARK_SIMPLE_TAB = 0x02;
constexpr BYTE MIREL_MARK_SIMPLE_ENTER = 0x04;
constexpr BYTE MIREL_MARK_SIMPLE_EOF = 0x08;

// Bits of nSysColors: these colours follow the system colours.
constexpr BYTE MIREL_SYSCLR_BACK = 0x01;      // crBack = COLOR_WINDOW
constexpr BYTE MIREL_SYSCLR_FORE = 0x02;      // crFore = COLOR_WINDOWTEXT
constexpr BYTE MIREL_SYSCLR_SEL_BACK = 0x04;  // crSelBack, crSelBackSaved = COLOR_HIGHLIGHT
constexpr BYTE MIREL_SYSCLR_SEL_FORE = 0x08;  // crSelFore = COLOR_HIGHLIGHTTEXT
constexpr BYTE MIREL_SYSCLR_LINE_NO = 0x10;   // crLineNo = COLOR_3DDKSHADOW
constexpr BYTE MIREL_SYSCLR_DEFAULT = 0x1F;

// Capacity of the edit-window array at start.
constexpr int MIREL_INITIAL_EDIT_ALLOC = 4;

// Locale used to tell lead bytes in the document code page.
#ifdef _WIN32
typedef _locale_t MIREL_LOCALE;
#else
typedef void* MIREL_LOCALE;
#endif

// ---------------------------------------------------------------------------

// How an input-method composition shown in a text view ends when the text
// under it changes by anything but the composition: forgotten with the text
// it is in (a new or emptied store), taken back first (the text is about to
// be converted), or kept as typed and recorded as a step (an edit whose
// positions include it). In every case the input method is told to cancel
// it, so nothing it sends later lands at the composition's old offsets.
enum class MrImeDrop { kForget, kTakeBack, kKeepAsText };

class CMirelDoc {
 public:
  CMirelDoc();
  virtual ~CMirelDoc();
  CMirelDoc(const CMirelDoc&) = delete;
  CMirelDoc& operator=(const CMirelDoc&) = delete;

  // --- Lifecycle and the text gateways (cmireldoc.cpp) ---------------------
  void Init();
  // Starts an empty text: new store, one row of kind 2, caret 0, no selection,
  // no history, bookmarks and current tag cleared.
  int NewFile();
  // Empties the text and clears bookmarks, current tag and undo history; in
  // the hex view the byte-order mark stays.
  BOOL Reset();

  // Every change of the text goes through one of these. A change made
  // without recording moves text under the older records, so the history is
  // forgotten, unless the step is one the history accounts for itself
  // (CMrKeepUndoHistory).
  BOOL ReloadContents();
  BOOL DeleteContents(DWORD nPos, DWORD nLen, BOOL bRecordUndo);
  BOOL InsertContents(DWORD nPos, const BYTE* pData, DWORD nLen, BOOL bRecordUndo);
  BOOL ReplaceContents(DWORD nPos, DWORD nOldLen, BOOL bRecordOld, const BYTE* pData, DWORD nNewLen,
                       BOOL bRecordNew);
  BOOL RecalcContentsLayout();

  // Ends an input-method composition shown in a text view when the text
  // under it changes by anything but the composition (see MrImeDrop).
  void DropImeComposition(MrImeDrop how);

  DWORD GetContentsSize() const;  // text length, byte-order mark excluded
  DWORD GetFileSize() const;      // file length, byte-order mark included
  DWORD GetFileBuffer(BYTE* pBuffer, DWORD nFrom, DWORD nTo) const;
  BOOL WriteFile(FILE* pFile) const;

  BOOL IsModified() const { return bModified; }
  void SetModified(BOOL bValue);
  void UpdateModifiedAfterUndo();
  void SetReadOnly(BOOL bValue) { bReadOnly = bValue; }
  BOOL IsReadOnly() const { return bReadOnly; }
  int ReportFault();

  void StartUndoGroup();
  void EndUndoGroup();
  void SeparateUndo();
  void SetUndoLimit(int nBytes);
  void SetUndoKeepCount(int nCount);

  MIREL_LINE* GetLines() const { return pLines; }
  CMrSyntax* GetSyntax() const { return pSyntax; }
  // Syntax object (cmireldoc_syntax.cpp): SetSyntax installs one, deleting
  // the old; SetSyntaxGeneral builds a keyword-language lexer from host
  // records and returns 1, or 0 for a NULL record or no memory.
  void SetSyntax(CMrSyntax* pNew);
  int SetSyntaxGeneral(const MIREL_SYNTAX_INFO* pDef, const MIREL_SYNTAX_COLORS* pColors);
  // The HTML kinds (cmireldoc_syntax_html.cpp), from two or three
  // definition and colour records; 0 when one is NULL or out of memory.
  int SetSyntaxHtml(const MIREL_SYNTAX_INFO* pHtmlDef, const MIREL_SYNTAX_COLORS* pHtmlColors,
                    const MIREL_SYNTAX_INFO* pScriptDef, const MIREL_SYNTAX_COLORS* pScriptColors);
  int SetSyntaxHtmlEmbedded(const MIREL_SYNTAX_INFO* pServerDef, const MIREL_SYNTAX_COLORS* pServerColors,
                            const MIREL_SYNTAX_INFO* pHtmlDef, const MIREL_SYNTAX_COLORS* pHtmlColors,
                            const MIREL_SYNTAX_INFO* pClientDef, const MIREL_SYNTAX_COLORS* pClientColors);
  int GetViewType() const { return nViewType; }
  DWORD GetCharLengthAt(DWORD nPos);
  BOOL IsParagraphBlank(int nPara);
  BOOL IsShowLineNo() const { return (nOptions & MIREL_OPT_LINE_NO) != 0; }

  // --- Line table (cmireldoc.cpp) -------------------------------------------
  // Makes room for n more records; the first call makes one row of kind 2.
  BOOL GrowLines(int n);
  // Gives back the records beyond nKeep (rounded up to an even count) when
  // more are free; the rows in use stay. Shrinking never fails the caller.
  void TrimLines(int nKeep);
  // TRUE when the character at p is a word delimiter (the host's set or the
  // default one; in UTF-16 the whole unit is looked up).
  BOOL IsWordDelimiter(const BYTE* p) const;
  // The delimiter set in force: the host's, or the default one.
  const char* GetDelimiterSet() const;
  // Called by the text store after every layout: keeps the line-number margin
  // in step with the row count while edit windows exist.
  void UpdateMarginsAfterLayout();
  // Called by the text store before it changes the text from paragraph nPara
  // on: the syntax object and the range lists drop what they kept from there.
  void InvalidateParagraphDataFrom(int nPara);
  // First row of a paragraph, -1 when there is none.
  int FindFirstRowOfParagraph(DWORD nPara) const;
  // TRUE while every row is the whole of its paragraph (no wrapped or
  // page-break continuation rows): row n is then paragraph n.
  BOOL RowsAreParagraphs() const {
    return pLines != nullptr && nLineCount > 0 &&
           pLines[nLineCount - 1].nPara == static_cast<DWORD>(nLineCount - 1);
  }
  // The paragraph index beside the row table holds the first row of every
  // paragraph whose number is a multiple of 1 << kParaSampleShift.
  static constexpr int kParaSampleShift = 3;
  // Before the whole text of nLen bytes is laid out with word wrap: the
  // line-number margin is set for its paragraph count at once, so that the
  // margin step after the layout finds nothing to change and the text is
  // not wrapped a second time at the new width.
  void PrepareMarginForText(const BYTE* pText, DWORD nLen);
  // TRUE when the position index beside the row table holds the start of
  // every row whose number is a multiple of 1 << kRowSampleShift (the
  // layout keeps it in step; the look-ups check what they use of it).
  BOOL RowSamplesInStep() const;

  // --- Positions, rows and navigation (cmireldoc_positions.cpp) --------------
  DWORD GetCharLength(const BYTE* pText, DWORD nPos, DWORD nLen, int nEncoding, int nCodePage);
  BOOL IsNewLineChar(DWORD nPos, DWORD* pnLen);
  // Byte size of nCount spaces in the document encoding; with a buffer, writes
  // them (a whole unit each) up to nBufSize bytes and returns what was written.
  int MakeSpaces(int nCount, BYTE* pBuf, int nBufSize) const;
  int GetLineFromPos(DWORD nPos);
  int GetLineFromFilePos(DWORD nPos);
  int GetHexLineFromPos(DWORD nPos);
  int GetParagraphFromPos(DWORD nPos);
  DWORD GetParagraphStart(DWORD nPos);
  int GetLineFromParagraph(int nPara);
  DWORD GetParagraphEnd(DWORD nPos);
  DWORD GetParagraphEndWithNewline(DWORD nPos);
  int GetPrevParagraph(DWORD nPos, BOOL bSkipEmpty);
  int GetParagraphCount();
  int GetParagraphIndex(DWORD nPos);
  DWORD GetNextCharPos(DWORD nPos);
  DWORD GetPrevCharPos(DWORD nPos);
  DWORD GetPrevCharPosInParagraph(DWORD nPos);

  // --- Matching braces (cmireldoc_brace.cpp) --------------------------------
  // Finds the partner of the bracket ch by counting nesting, searching from
  // *pnPos forward or backward; 1 with *pnPos on the partner, else 0.
  int FindMatchingBrace(DWORD* pnPos, UINT ch, BOOL bForward);
  DWORD GetWordStart(int nLine, DWORD nPos);
  DWORD GetWordEnd(int nLine, DWORD nPos);
  DWORD GetNextWordEnd(int nLine, DWORD nPos);
  int GetNextLineClamped(int nLine);
  int GetPrevLineClamped(int nLine);
  int GetXFromPos(int nLine, DWORD nPos, BOOL bAddVirtual);
  // The same, walking on from nFrom of the row (a character start whose x,
  // without virtual space, is xFrom) instead of from the row start.
  int GetXFromPosAfter(int nLine, DWORD nFrom, int xFrom, DWORD nPos, BOOL bAddVirtual);
  DWORD GetPosFromX(int nLine, int x, BOOL bAllowVirtual);
  int LinesToPixels(int nLines);
  int GetLineFromY(DWORD y);
  int GetHexLineCount();
  int CalcHexLayout();
  BOOL GetHexLineRange(int nHexLine, int* pnStart, int* pnEnd);
  int HexHitTest(int x);
  int GetHexXFromPos(int nHexLine, DWORD nPos, int nArea);
  DWORD GetHexPosFromX(int nHexLine, int x, int nArea);
  DWORD GetCurrentPos();
  DWORD GetCurrentFilePos();
  DWORD GetCurrentColumnIndex();
  int GetCurrentParagraphIndex();
  DWORD GetCurrentCharLen();
  int GetIndentWidth(const BYTE* pText, int nLen);
  int GetLeadingBlanks(int nPara, BYTE* pBuffer, int nCapacity);
  int FillIndent(int nUnits, BYTE* pBuffer, int nCapacity);
  BOOL IsParagraphEmpty(int nPara);

  // --- Character metrics, fonts and margins (cmireldoc_metrics.cpp) ---------
  void MeasureCharWidths(HDC hdc, BOOL bSingle, BOOL bWide);
  int GetCharWidth(const BYTE* p, DWORD nLen);
  int GetStringWidth(const BYTE* pText, DWORD nFrom, DWORD nCount);
  void UpdateTextMetrics(HDC hdc);
  void ApplyFont();
  void SetFont(const LOGFONTA* pFont);
  void SetEditFont(CMirel* pEdit, const LOGFONTA* pFont);
  void SetFontHex(const LOGFONTA* pFont);
  void SetEditFontHex(CMirel* pEdit, const LOGFONTA* pFont);
  void CalcLineNoWidth();
  void CalcLeftMargin();
  // Width of the line-number area that shows numbers up to nWidestNumber,
  // and the left margin that a line-number area of nNumberWidth gives.
  int LineNoWidthFor(long long nWidestNumber);
  int LeftMarginFor(int nNumberWidth) const;
  void EnableRuler(BOOL bOn);
  BOOL IsShowRuler() const { return nRulerHeight > 0; }
  LOGFONTA* GetTextLogFont() { return &lfText; }
  // Width of a space in the text font (measured on first use).
  int GetSpaceWidth();
  // Measures one 256-code row of the two-byte width table on hdc.
  void MeasureWideRow(HDC hdc, int nHigh);
  // Measures what a width lookup found missing: the single-byte table and/or
  // one row (nWideRow >= 0) of the two-byte table.
  void MeasureLazily(BOOL bSingle, int nWideRow);
  // Both width tables measured again after a change of how they are read
  // (encoding, code page): on the active window with the text font, or,
  // without a window, emptied to be measured when asked for.
  void MeasureWidthsAgain();
  // The window whose DC widths are measured on; NULL (the screen) while no
  // edit window is registered.
  HWND GetMeasureWindow() const;
  // Width of the character beyond the basic plane that the surrogate pair
  // (nHigh, nLow) stands for: one glyph, measured from both units.
  int GetSurrogatePairWidth(UINT nHigh, UINT nLow);

  // --- Layout changes that are not edits (cmireldoc_relayout.cpp) ----------
  // After the rows were laid out again: cli becomes the caret's row (when
  // the row it names no longer holds the caret) and the selection's rows and
  // pixel points follow their positions. Text view only.
  void ResyncRowsAfterRelayout();
  // With word wrap on, a left margin other than nOldLeftMargin changes the
  // width rows wrap at: the rows are laid out again once and the caret and
  // selection rows follow. TRUE when it re-laid.
  BOOL RelayoutForWrapWidth(int nOldLeftMargin);
  // Scroll bars of every window, the caret of pEdit (NULL: the active
  // window) placed and scrolled into view, every view repainted. Nothing
  // while no edit window is registered.
  void RefreshEditAfterLayoutChange(CMirel* pEdit);

  // --- Selection operations (cmireldoc_selection.cpp) -----------------------
  void SelectAll();
  void SetSel(DWORD nFrom, DWORD nTo, BOOL bKeepScroll);
  void GetBlock(DWORD* pnStart, DWORD* pnEnd);
  BOOL IsSelected();
  BOOL IsColumnBlock() { return block.IsColumnBlock(); }
  BOOL IsColumnMode() { return block.IsColumnMode(); }
  void SetColumnMode(BOOL bOn);
  DWORD MoveBytes(BOOL bCopy, DWORD nSource, DWORD nDest, DWORD nCount, BOOL bRecordUndo);

  // --- Text input and output (cmireldoc_textio.cpp) --------------------------
  // Host text at the caret, replacing exactly the selection: InsertA in the
  // system ANSI code page, InsertW in UTF-16 units, InsertU in UTF-8. 1 on
  // success (also for an empty text); 0 when the text is refused (NULL with a
  // length, negative length) or converts to nothing, or the store refuses.
  int InsertA(const char* pText, int nLen, BOOL bUndo);
  int InsertW(const WCHAR* pText, int nChars, BOOL bUndo);
  int InsertU(const char* pText, int nLen, BOOL bUndo);
  // The selection, else the character at the caret (a CR LF pair is one);
  // always 1.
  int Delete(int nUnused);
  // The word or delimiter at the caret with the blanks after it, as one undo
  // step; FALSE (with a beep) in the hex view.
  BOOL DeleteWord();
  // Delete the selection without repainting; 0 when there is none.
  int DeleteBlock();
  int DeleteBlockHex();
  // Start and end (before its line end) of a paragraph; 0 when there is none.
  int GetParagraph(int nParagraph, int* pnStart, int* pnEnd);
  // The text in [nFrom, nTo) in ANSI (nCodePage) bytes, UTF-16 units or
  // UTF-8 bytes; with a NULL buffer the size needed. A copy without
  // conversion is exactly the range; a converted range is widened to whole
  // characters.
  int GetTextA(char* pBuf, int nFrom, int nTo);
  int GetTextW(WCHAR* pBuf, int nFrom, int nTo);
  int GetTextU(char* pBuf, int nFrom, int nTo);

  // --- Attach and detach (cmireldoc_attach.cpp) ------------------------------
  // Host ANSI strings (system code page) put around the selection or the
  // caret, or added to / removed from every paragraph of the selection; a
  // length of 0 leaves that side alone. With bUndo one undo step. 1 when the
  // text changed; 0 when nothing was done (hex view: a beep).
  int AttachA(const char* pszStart, int nStartLen, const char* pszEnd, int nEndLen, BOOL bUndo);
  int AttachOnParagraphA(const char* pszStart, int nStartLen, const char* pszEnd, int nEndLen, BOOL bUndo);
  int DetachOnParagraphA(const char* pszStart, int nStartLen, const char* pszEnd, int nEndLen, BOOL bUndo);

  // --- Column insertion (cmireldoc_column.cpp) -------------------------------
  // Pastes the lines of pData (document encoding) as a column from nPos, each
  // next line at the same pixel x on the next row (rows are added at the
  // text's end as needed), as one undo step; FALSE when it could not go in
  // whole (a group of its own is then taken back).
  BOOL InsertColumnText(const BYTE* pData, DWORD nLen, DWORD nPos);
  // Status codes: 0 done, 1 not the text view, 2 column mode off, 3 the
  // format holds the text \r or \n, 4 the format is 256 characters or more.
  int InsertColumnsTextA(const char* pText, int nLen, BOOL bUndo);
  int InsertColumnsNumber(int nStart, int nStep, BOOL bHex, BOOL bRightAlign, BOOL bZeroPad, BOOL bUndo);
  // pszFormat: literal text, "%%" and exactly one integer conversion (flags,
  // width, precision; d i u o x X c); any other format changes nothing.
  int InsertColumnsNumberFormat(const char* pszFormat, int nStart, int nStep, BOOL bUndo);
  void GetBlockColumnCount(int* pnCount);
  // Writes perRow[r] (the last entry for rows past it) on every row of the
  // column block, or the first entry at the caret without one.
  int InsertColumnRows(const std::vector<std::vector<BYTE>>& perRow, BOOL bRecord);

  // --- Word queries and goto (cmireldoc_goto.cpp) --------------------------
  // Positions are clamped to the text and to whole characters; every range
  // is made of whole characters. FALSE (outputs untouched) for a NULL output
  // or a document without text.
  // The word at nPos (on a delimiter that a word follows, that word); an
  // empty range at nPos on a space.
  BOOL GetWordRange(DWORD nPos, DWORD* pnStart, DWORD* pnEnd);
  // As GetWordRange, but on punctuation the run of delimiters around nPos
  // that are neither spaces nor tabs: what a double click selects.
  BOOL GetWordRangeForSelect(DWORD nPos, DWORD* pnStart, DWORD* pnEnd);
  // Within the row of nPos: the character at nPos; on a space or the text
  // end, the word just before, else the nearest word or delimiter on the
  // row; a row of spaces gives the whole row. Text view only.
  BOOL GetCurrentWordInLine(DWORD nPos, DWORD* pnStart, DWORD* pnEnd);
  // Caret to a byte column of a paragraph (text view; never past the row
  // that starts the paragraph) or of a hex row; negative numbers count as 0.
  // The selection collapses at the caret.
  void Goto(int nParagraph, int nColumn);

  // --- Indentation (cmireldoc_indent.cpp) ------------------------------------
  // A tab at nPos (spaces just before it become the tabs that reach the same
  // tab stop); returns the position after what was inserted. At a row start
  // in the spaces mode nothing is inserted.
  DWORD InsertTab(DWORD nPos, BOOL bUndo);
  // Indents (1) or unindents (0) the paragraphs of the selection, which stay
  // selected; beeps while rows wrap or nothing is selected.
  void IndentBlock(int nFlag);
  // The paragraph above the caret's ends with the syntax's indent-after string.
  BOOL IsSyntaxIndentTrigger();
  // CR: indents the new line after a Return. Any other character: re-indents
  // a line of blanks that the syntax's unindent string has just completed.
  void ApplySyntaxUnindent(char ch);

  // --- Line commands (cmireldoc_lines.cpp, cmireldoc_convert.cpp) -----------
  // Each is one undo step in the text view and refreshes the edit windows.
  void DeleteLine();
  void DuplicateLine();
  void InsertLine();
  void JoinLines();
  void TransposeLine();
  void TrimTrailingWhiteSpace();
  void InsertPageBreak();
  // The local date and time formatted by a strftime format (the common
  // conversions only, see MrFormatTime; anything else inserts nothing).
  void InsertDate(const char* pszFormat);
  // 0 upper, 1 lower, 2 swapped case of the ASCII letters of the selection,
  // else of the character at the caret (the caret then moves past it).
  void ChangeCase(int nMode);
  void ConvertSpaceToTab(BOOL bLeadingOnly);
  void ConvertTabToSpace();

  // --- Bookmarks (cmireldoc_bookmarks.cpp) -----------------------------------
  // pszName NULL toggles an ordinary bookmark, else the named bookmark "0" to
  // "9" (other names change nothing); nAtCaret 1 marks the caret's paragraph.
  void ToggleBookmark(int nAtCaret, int nPara, const char* pszName);
  void ClearBookmark();
  void MoveBookmark(BOOL bNext);
  void GotoNamedBookmark(const char* pszName);
  int GetBookmarkCount() const;
  int GetNamedBookmarkCount() const;
  // Copy at most nMax used slots (ordinary ones by paragraph, named ones by
  // number) and return how many were copied.
  int GetBookmarks(CMrBookmark* pOut, int nMax) const;
  int GetNamedBookmarks(CMrBookmark* pOut, int nMax) const;

  // --- Undo and redo (cmireldoc_undo.cpp) ------------------------------------
  // One step for the edit window that asked (NULL: the active one); TRUE
  // when a step was replayed.
  BOOL Undo(CMirel* pEdit);
  BOOL Redo(CMirel* pEdit);
  // What the user can take back or do again. A composition shown is not
  // yet in the history but is its newest step: undoing completes it and
  // takes it back, and it leaves nothing to redo.
  BOOL CanUndo();
  BOOL CanRedo();
  BOOL UndoText(CMirel* pEdit);
  BOOL RedoText(CMirel* pEdit);
  BOOL UndoHex(CMirel* pEdit);
  BOOL RedoHex(CMirel* pEdit);

  // --- Edit registry and repaint broadcasting (cmireldoc_registry.cpp) -------
  // Appends an edit window; the first one with a window handle becomes active
  // and gets the font, margins and caret. Returns the entry's previous value.
  CMirel* RegisterEdit(CMirel* pEdit);
  // Removes an edit window; the active one passes to the last remaining.
  void UnregisterEdit(CMirel* pEdit);
  CMirel* GetActiveEdit() const { return pActiveMirel; }
  // Every registered window's view gets the repaint request (REPAINT_TAG_*).
  void UpdateAllViews(int nHint, DWORD nFrom, DWORD nTo);
  // Scroll bars of every registered window, then its horizontal-bar style.
  void UpdateAllScrollBars();
  // The caret of the window that has the keyboard focus.
  void RefreshFocusedEdit();
  void SendMessageToEdits(UINT uMsg, WPARAM wParam, LPARAM lParam);
  // WM_COMMAND with the code to the parent of the first edit window.
  void NotifyParent(int nCode);
  BOOL CanPaste();
  // The active window's view places its caret; nothing without one.
  void UpdateActiveCaret(int bSetGoalX, int bScroll);
  // The refresh after every change of the text: scroll bars of every window,
  // the active caret (placed and scrolled into view), then the repaint with
  // the hint. Nothing while no edit window is registered.
  void UpdateEditsAfterChange(int nHint, DWORD nFrom, DWORD nTo);
  // Switches redrawing of every registered window off (0) or on (1).
  void SetRedraw(BOOL bOn);
  // Forgets every registered window and clears their document pointers, so
  // no window outlives the document holding a pointer to it.
  void ReleaseEdits();

  // --- Settings, options and colours (cmireldoc_settings.cpp) --------------
  void SetAutoIndentation(BOOL bOn);
  void SetAutoSelect(BOOL bOn);
  BOOL IsAutoSelectMode() const { return bAutoSelect; }
  void SetHomeToFirstCol(BOOL bOn);
  void SetSkipEmptyLineOnBlockIndent(BOOL bOn);
  void SetSyntaxIndentation(BOOL bOn);
  void SetTabToSpace(BOOL bOn);
  void WantTab(BOOL bOn);
  void ShowBreakCode(BOOL bOn);
  void ShowWhiteSpaceCode(BOOL bOn);
  void SetShowMatchingBrace(BOOL bOn);
  void SetActiveLineType(int nType);

  // Option bits of nOptions.
  void SetDblClkWordSelect(BOOL bOn);
  BOOL IsDblClkWordSelect() const { return (nOptions & MIREL_OPT_DBLCLK_WORD_SELECT) != 0; }
  void SetOverwriteMode(BOOL bOn);
  BOOL IsOverwriteMode() const { return (nOptions & MIREL_OPT_OVERWRITE) != 0; }
  void SetBinary(BOOL bOn);
  BOOL IsBinary() const { return (nOptions & MIREL_OPT_BINARY) != 0; }
  void SetDragPending(BOOL bOn);
  BOOL IsDragPending() const { return (nOptions & MIREL_OPT_DRAG_PENDING) != 0; }
  void SetLineNoFlag(BOOL bOn);
  void SetIndicatorMarginFlag(BOOL bOn);
  BOOL IsShowIndicatorMargin() const { return (nOptions & MIREL_OPT_INDICATOR_MARGIN) != 0; }
  void SetFolderMarginFlag(BOOL bOn);
  BOOL IsShowFolderMargin() const { return (nOptions & MIREL_OPT_FOLDER_MARGIN) != 0; }
  void SetInsertKeyEnabled(BOOL bOn);
  BOOL IsInsertKeyEnabled() const { return (nOptions & MIREL_OPT_INSERT_TOGGLE) != 0; }
  void EnableLineNo(BOOL bOn);
  void EnableIndicatorMargin(BOOL bOn);
  void EnableFolderMargin(BOOL bOn);

  // Colours. The five system-bound setters take MIREL_CLR_AUTO as an order
  // to follow the system colour.
  void SetActiveLineColor(COLORREF cr);
  void SetActiveLineBackColor(COLORREF cr);
  void SetBookmarkColor(COLORREF cr);
  void SetBookmarkForeColor(COLORREF cr);
  void SetMatchingBraceForeColor(COLORREF cr);
  void SetMatchingBraceBackColor(COLORREF cr);
  void SetCurrentTagColor(COLORREF cr);
  void SetCurrentTagForeColor(COLORREF cr);
  void SetCodeColor(COLORREF cr);
  void SetFindHighlightColor(COLORREF cr);
  void SetFindHighlightBackColor(COLORREF cr);
  void SetBackColor(COLORREF cr);
  void SetForeColor(COLORREF cr);
  void SetSelBackColor(COLORREF cr);
  void SetSelForeColor(COLORREF cr);
  void SetLineNoColor(COLORREF cr);
  void SetSysColorBack(BOOL bOn);
  BOOL IsSysColorBack() const { return (nSysColors & MIREL_SYSCLR_BACK) != 0; }
  void SetSysColorFore(BOOL bOn);
  BOOL IsSysColorFore() const { return (nSysColors & MIREL_SYSCLR_FORE) != 0; }
  void SetSysColorSelBack(BOOL bOn);
  BOOL IsSysColorSelBack() const { return (nSysColors & MIREL_SYSCLR_SEL_BACK) != 0; }
  void SetSysColorSelFore(BOOL bOn);
  BOOL IsSysColorSelFore() const { return (nSysColors & MIREL_SYSCLR_SEL_FORE) != 0; }
  void SetSysColorLineNo(BOOL bOn);
  BOOL IsSysColorLineNo() const { return (nSysColors & MIREL_SYSCLR_LINE_NO) != 0; }
  // After a system colour change: the colours that follow the system are
  // read again, then every view repaints.
  void ReloadSystemColors();
  // An edit window losing the focus shows the selection on the inactive
  // colour (selection mode 1) and keeps the real one; gaining it puts back
  // what was kept, if anything was.
  void UseInactiveSelBack();
  void RestoreSelBack();

  // Marks (nSimpleMarks).
  BOOL IsSimpleSpace() const { return (nSimpleMarks & MIREL_MARK_SIMPLE_SPACE) != 0; }
  BOOL IsSimpleTab() const { return (nSimpleMarks & MIREL_MARK_SIMPLE_TAB) != 0; }
  BOOL IsSimpleEnter() const { return (nSimpleMarks & MIREL_MARK_SIMPLE_ENTER) != 0; }
  BOOL IsSimpleEOF() const { return (nSimpleMarks & MIREL_MARK_SIMPLE_EOF) != 0; }

  // The paragraph drawn in the current-tag colours.
  void SetCurrentTag(UINT nPara);
  void ResetCurrentTag();

  // Bookmark queries.
  BOOL IsExistBookmark() const;
  BOOL IsExistNamedBookmark(const char* pszDigit) const;
  void GetBookmarkAtLine(int nPara, CMrBookmark* pOut) const;

  // Input-method language and properties of a keyboard layout (NULL: the
  // calling thread's).
  void SetKeyboardLayout(HKL hLayout);

  // Tab size, line spacing and bytes per hex row; values below 1 (and tab
  // sizes above MIREL_MAX_TAB_SIZE) are refused.
  void SetTabSize(int nSize);
  int GetTabSize() const { return nTabSize; }
  void SetLineSpacing(int nPercent);
  void SetHexCharsPerLine(int nBytes);

  // --- Layout and encoding switches (cmireldoc_switches.cpp) -----------------
  // Each stores its setting and brings rows, caret, selection, scroll bars and
  // windows back into step. Values outside their range are refused with no
  // change.
  void SetWordWrap(int nMode);
  int GetWordWrap() const { return nWrapMode; }
  // 1, or 0 when no locale can be made for the code page.
  int SetCodePage(int nNewCodePage);
  int GetCodePage() const { return nCodePage; }
  // Converts the text to the encoding; 1 when converted (or stored before
  // there is a text), 0 when refused or the conversion failed.
  int SetFileEncoding(int nNewEncoding);
  int GetFileEncoding() const { return nFileEncoding; }
  // The newline kind of an empty text; 0 once the text is not empty.
  int SetFileFormat(int nFormat);
  // The kind of the line breaks typed from now on; the text is not converted.
  void ChangeFileFormat(int nFormat);
  int GetFileFormat() const { return nFileFormat; }
  // The newline of the kind in force (with its terminator when pBuf has
  // room; an empty string when it has not) and its length.
  int GetNewLineCodeA(char* pBuf, int nBufSize) const;
  void SetPageBreakCode(BYTE ch);
  void EnableVirtualSpace(BOOL bOn);
  // The encoding of a byte buffer, and its most frequent newline kind (with
  // the total of line breaks in *pnTotal); sets the binary flag for an ANSI
  // document whose bytes hold a NUL.
  int DetectEncoding(const BYTE* pData, int nLen);
  int DetectFileFormat(const BYTE* pData, DWORD nLen, int* pnTotal);
  // The rows laid out again, then the caret row, the selection rows, the
  // scroll bars, the caret and every view brought into step.
  void RelayoutAndRefresh();
  // cli and the selection's rows taken again from their positions (text or
  // hex rows by view).
  void SyncCaretAndBlockRows();

  // --- Clipboard transfer (cmireldoc_clipboard.cpp) --------------------------
  // Each takes the edit window that has the focus (its window owns the
  // clipboard while it is open); 1 on success, 0 on failure or refusal. The
  // dispatchers pick the text or hex form by view.
  int Copy(CMirel* pEditFocus);
  int CopyAppend(CMirel* pEditFocus);
  int Cut(CMirel* pEditFocus);
  int CutAppend(CMirel* pEditFocus);
  int Paste(CMirel* pEditFocus);
  int CopyText(CMirel* pEditFocus);
  int CopyHex(CMirel* pEditFocus);
  int CopyAppendText(CMirel* pEditFocus);
  int CopyAppendHex(CMirel* pEditFocus);
  int CutText(CMirel* pEditFocus, BOOL bAppend);
  int CutHex(CMirel* pEditFocus, BOOL bAppend);
  int PasteText(CMirel* pEditFocus);
  int PasteHex(CMirel* pEditFocus);
  // --- View switch (cmireldoc_viewtype.cpp) ----------------------------------
  // Shows the document as text (MIREL_VIEW_TYPE_TEXT) or as hex
  // (MIREL_VIEW_TYPE_HEX) in every edit window; other values and the current
  // type change nothing. The caret and the selection stay on the same bytes
  // (text positions exclude the byte-order mark, hex positions include it);
  // the undo history is cleared.
  void SetViewType(int nType);
  // --- Find, replace, matching braces, range lists (search/) ----------------
  // Finds and selects the next or previous occurrence (MIREL_FIND_* flags);
  // the A forms convert ANSI text to the document encoding. Finds return 1
  // found and selected, 0 not found; replaces 2 replaced, 1 found and
  // selected, 0 neither. *pnPos is the start (bFindCurrent 0) and receives
  // the caret after the match.
  int FindTextA(const char* pszText, int nFlags, BOOL bFindCurrent, int* pnPos, BOOL bShow);
  int ReplaceTextA(const char* pszFind, const char* pszReplace, int nFlags, BOOL bFindCurrent, int* pnPos,
                   BOOL bShow);
  int FindText(const BYTE* pPattern, int nLen, int nFlags, BOOL bFindCurrent, int* pnPos, BOOL bShow);
  int FindRegExp(const BYTE* pPattern, int nLen, int nFlags, BOOL bFindCurrent, int* pnPos, BOOL bShow);
  int FindHex(const BYTE* pPattern, int nLen, int nFlags, BOOL bFindCurrent, int* pnPos, BOOL bShow);
  int ReplaceText(const BYTE* pFind, int nFindLen, const BYTE* pReplace, int nReplaceLen, int nFlags,
                  BOOL bFindCurrent, int* pnPos, BOOL bShow);
  int ReplaceHex(const BYTE* pFind, int nFindLen, const BYTE* pReplace, int nReplaceLen, int nFlags,
                 BOOL bFindCurrent, int* pnPos, BOOL bShow);
  // Selects from the first bracket at or after the caret to its partner; 0
  // when no bracket follows the caret.
  int MatchBrace(int nUnused);
  // The find-result and hyperlink highlighters: on creates the range list,
  // off destroys it; SetFindResult gives the find-result list its pattern
  // (bytes in the document encoding; a length <= 0 clears it).
  void SetShowFindResult(BOOL bShow);
  void SetShowHyperLink(BOOL bShow);
  BOOL IsShowFindResult() const { return bShowFindResult; }
  BOOL IsShowHyperLink() const { return bShowHyperLink; }
  void SetFindResult(const BYTE* pPattern, int nLen, int nFlags);

  // --- Printing (cmireldoc_print.cpp) -----------------------------------------
  // The print state, made on first use (NULL without memory).
  CMrPrintInfo* GetOrCreatePrintInfo();
  CMrPrintInfo* GetPrintInfo() const { return pPrintInfo; }
  // Measures and paginates the text for the state's DC and rectangle; the
  // state's page count is 0 when nothing can be printed.
  void PreparePrint(CMrPrintInfo* pInfo);
  // Draws page nPage (0-based) on the state's DC; 1 when every row was
  // drawn, 0 for a page that does not exist or a row the text lacks.
  int PrintPage(CMrPrintInfo* pInfo, int nPage);
  // Releases the print rows, pages and the syntax object printing made.
  void EndPrint(CMrPrintInfo* pInfo);

  // --- Fields ------------------------------------------------------------------
  BOOL bAutoIndentation;
  BOOL bAutoSelect;
  BOOL bVirtualSpace;
  BOOL bHexComposition;
  BOOL bHomeToFirstCol;
  BOOL bLineSelecting;
  BOOL bComposing;
  BOOL bHanjaConvert;
  BOOL bIMETarget;
  BOOL bModified;
  BOOL bReadOnly;
  BOOL bShowBreakCode;
  BOOL bShowWhiteSpaceCode;
  BOOL bSkipEmptyLineOnBlockIndent;
  BOOL bShowFindResult;
  BOOL bShowHyperLink;
  BOOL bShowMatchingBrace;
  BOOL bSyntaxIndentation;
  BOOL bTabToSpace;
  BOOL bWantTab;
  BYTE nActiveLineType;
  BYTE nSimpleMarks;
  BYTE nSysColors;
  BYTE nFileFormat;
  BYTE nLoadedFileFormat;
  BYTE nFileEncoding;
  BYTE nHexCaretArea;
  BYTE nOptions;
  BYTE nIMELanguage;
  BYTE nViewType;
  BYTE nWrapMode;
  BYTE* pIMEAttr;
  BYTE chPageBreak;
  char* pszDelimiters;
  COLORREF crActiveLine;
  COLORREF crActiveLineBack;
  COLORREF crBack;
  COLORREF crBookmark;
  COLORREF crBookmarkFore;
  COLORREF crMatchingBraceFore;
  COLORREF crMatchingBraceBack;
  COLORREF crCurrentTag;
  COLORREF crCurrentTagFore;
  COLORREF crCode;
  COLORREF crFindHighlight;
  COLORREF crFindHighlightBack;
  COLORREF crFore;
  COLORREF crMarginLine;
  COLORREF crLineNo;
  COLORREF crSelFore;
  COLORREF crSelBack;
  COLORREF crSelBackSaved;
  CMrCursor cursor;
  CMirel** ppEdits;
  CMirel* pActiveMirel;
  CMrMetaBlockFindResult* pFindResult;
  CMrMetaBlockHyperLink* pHyperLink;
  CMrPrintInfo* pPrintInfo;
  CRegExp* pRegExp;
  DWORD nIMEProperty;
  int* pIMEClause;
  HFONT hFont;
  HFONT hFontHex;
  int nEditAlloc;
  int nAveCharWidth;
  int nFontHeight;
  int nHexDigitsEndX;
  int nHexCharsX;
  int nHexBytesPerLine;
  int nHexAddrWidth;
  int nHexAddrDigits;
  int nLeftMargin;
  int nLineHeight;
  int nHexLineHeight;
  int nLineNoWidth;
  int nLineSpacing;
  int nTextWidth;
  int nEditCount;
  int nTabWidth;
  int nTabSize;
  int nRulerHeight;
  LOGFONTA lfText;
  LOGFONTA lfHex;
  int nCharWidth[256];
  int* pWideWidth;
  SIZE sizeHexDigit;
  int nVirtualSpace;
  int nBookmarkAlloc;
  int nLineAlloc;
  int nBookmarkCount;
  int nBracePos[2];
  int nScrollHeight;
  int nMaxLineWidth;
  int nIMEAttrLen;
  int nIMECompPos;
  int nIMECursor;
  int nIMETargetEnd;
  int nIMETargetStart;
  int nIMECompLen;
  int nCurrentTagPara;
  const void* pCurrentTag;
  int nLineCount;
  int nCodePage;
  MIREL_LOCALE localeCodePage;
  CContentsHandler* pContents;
  CMrBlock block;
  CMrBlock anchorBlock;
  CMrBookmark* pBookmark;
  MIREL_LINE* pLines;
  CMrSyntax* pSyntax;
  CMrUndoManager undo;
  int nKeepUndoHistory = 0;  // CMrKeepUndoHistory scopes open
  int nImeSplicing = 0;      // the input method is writing its own composition
  int nCaretPos;
  int cli;

  // Lead bytes of nCodePage (1 = lead byte), built on first use and again
  // after a code-page change; read through GetLeadByteTable.
  const BYTE* GetLeadByteTable();
  BYTE abLeadByte[256];
  int nLeadByteCodePage;

  // Set while crSelBackSaved holds the selection colour that an edit window
  // put aside when it lost the focus (cmireldoc_settings.cpp).
  BOOL bSelBackSaved = FALSE;

 protected:
  // Memory of the line table; tests fail it to exercise the recovery paths.
  // Returns NULL when the memory cannot be had.
  virtual void* ReallocateLines(void* p, size_t nBytes);

 private:
  friend class CContentsHandler;

  // The result of a gateway; forgets the history after an unrecorded change.
  BOOL NoteUnrecorded(BOOL bDone, BOOL bUnrecorded);

  // Row starts of every kRowSampleStep-th row, read by GetLineFromPos to
  // narrow its search. Never trusted: a bracket found in it is checked
  // against the table, and it is taken again from the table once enough
  // look-ups have missed since the last time.
  static constexpr int kRowSampleShift = 3;
  std::vector<DWORD> rowSamples;

  // Widths of characters beyond the basic plane (no width table covers
  // them), one slot per code point modulo the slot count; a code of 0 marks
  // an empty slot. Emptied whenever the two-byte table is made again.
  struct MrPairWidth {
    UINT nCode;
    int nWidth;
  };
  static constexpr size_t kPairWidthSlots = 256;
  MrPairWidth aPairWidth[kPairWidthSlots] = {};
  unsigned nSampleLookups = 0;
  bool bSamplesMissed = true;
  // The last row that starts at or before nPos, found through the samples;
  // -1 when the samples cannot tell (the caller searches the whole table).
  int FindRowThroughSamples(DWORD nPos);
  // The row the position search of the table answers for nPos, given the
  // last row that starts at or before it (see GetLineFromPos).
  int ResolveRowOfPos(DWORD nPos, int nLastStartingRow) const;

  // The paragraph index beside the row table while paragraphs wrap: the
  // first row of every kParaSampleStep-th paragraph. Checked and taken again
  // as the row samples are; the layout keeps it in step.
  mutable std::vector<DWORD> paraSamples;
  mutable unsigned nParaSampleLookups = 0;
  mutable bool bParaSamplesMissed = true;
  // The first row of paragraph nPara through the index; -1 when the index
  // cannot tell, -2 when the paragraph does not exist.
  int FindFirstRowThroughSamples(DWORD nPara) const;
  void TakeParagraphSamples() const;

  // Width pre-step of every gateway (text view: room for at least 10 pixels of
  // text; hex view: hex layout again).
  void PrepareLayout();
  // Caret 0 on row 0, both blocks empty, no virtual space.
  void ResetCaretAndSelection();
  // Forgets what a mouse gesture anchored before the text changed.
  void DropGestureAnchors();
  // Ends a composition shown before a change that is not its own.
  void EndCompositionBeforeEdit();
  // Frees every bookmark slot and clears the current tag.
  void ClearBookmarksAndTag();
  // Zeroes the line-table records from nFrom to the capacity.
  void ZeroRecordsFrom(int nFrom);
};

// Unrecorded edits that the history accounts for itself: the replay of undo
// and redo, the halves of a recorded block move, a hex digit folded into its
// open record, an input-method composition taken back before its result is
// recorded. Inside this scope they leave the history as it is.
class CMrKeepUndoHistory {
 public:
  explicit CMrKeepUndoHistory(CMirelDoc& doc) : m_doc(doc) { ++m_doc.nKeepUndoHistory; }
  ~CMrKeepUndoHistory() { --m_doc.nKeepUndoHistory; }
  CMrKeepUndoHistory(const CMrKeepUndoHistory&) = delete;
  CMrKeepUndoHistory& operator=(const CMrKeepUndoHistory&) = delete;

 private:
  CMirelDoc& m_doc;
};
