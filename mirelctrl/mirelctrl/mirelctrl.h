/* Mirel text-editing control: the flat interface a host program calls.
 *
 * Plain C, cdecl, every argument and result one 32-bit value on the 32-bit
 * build. Every function except Mirel_Create, Mirel_DetermineEncoding and
 * Mirel_DetermineFileFormat takes the control's window handle first; for a
 * handle that Mirel_Create did not return (or that was destroyed) a function
 * with a result returns 0 and a function without one does nothing.
 *
 * Positions are byte offsets into the document text (after the byte-order
 * mark in the text view). Text ending in A is ANSI, W UTF-16 (lengths in
 * 16-bit units), U UTF-8. Reads take a caller buffer and a byte range
 * [nFrom, nTo) and return the count written, or with a NULL buffer the count
 * needed. After Mirel_Create the host calls Mirel_NewFile before anything
 * that reads or changes the text. */
#ifndef MIRELCTRL_H
#define MIRELCTRL_H

#include <windows.h>

#include "mirelsyntax.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define MIREL_API
#define MIREL_CALL __cdecl
#else
#define MIREL_API __attribute__((visibility("default")))
#define MIREL_CALL
#endif

/* Encoding codes of a document or byte buffer. */
#define MIREL_ENCODING_UNDEFINED 0
#define MIREL_ENCODING_ANSI 1
#define MIREL_ENCODING_UTF16BE 2 /* only its byte-order mark is big-endian; units are little-endian */
#define MIREL_ENCODING_UTF16LE 3
#define MIREL_ENCODING_UTF8 4
#define MIREL_ENCODING_UTF8_BOM 5
#define MIREL_ENCODING_BINARY 255

/* Newline kinds. */
#define MIREL_FILE_FORMAT_CRLF 1
#define MIREL_FILE_FORMAT_LF 2
#define MIREL_FILE_FORMAT_CR 3

/* View types. */
#define MIREL_VIEW_TYPE_TEXT 1
#define MIREL_VIEW_TYPE_HEX 2

/* Wrap modes. */
#define MIREL_WRAP_NONE 0      /* rows break only at line ends */
#define MIREL_WRAP_CHAR 1      /* before the character that passes the width */
#define MIREL_WRAP_WORD 2      /* at the last word break */
#define MIREL_WRAP_WORD_DBCS 3 /* at the last word break or single/double-byte change */

/* A colour that follows the default or system colour. */
#ifndef MIREL_CLR_AUTO
#define MIREL_CLR_AUTO 0xFF000000u
#endif

/* The control sends WM_COMMAND to its parent with the identifier given to
 * Mirel_Create in the low word of wParam, a code in the high word (1 the
 * modified state changed, 3 the Insert key toggled overwrite mode, 4 Escape,
 * 5 a double click in the text) and the control's window in lParam. */

/* ---- Control lifetime ---------------------------------------------------- */

/* Makes one control: a child window of hWndParent with the identifier nID and
 * exactly the given styles (pass WS_CHILD and whatever else is wanted). NULL
 * on failure, with nothing left behind. */
MIREL_API HWND MIREL_CALL Mirel_Create(HWND hWndParent, int nID, int x, int y, int cx, int cy,
                                       DWORD dwExStyle, DWORD dwStyle);
/* Destroys a control made by Mirel_Create, its window and its document. */
MIREL_API void MIREL_CALL Mirel_Destroy(HWND hWnd);

/* ---- Text in and out ------------------------------------------------------- */

/* Inserts text at the caret, replacing the selection; bUndo records the change
 * for undo. 1 on success. InsertA converts from the system ANSI code page. */
MIREL_API int MIREL_CALL Mirel_InsertA(HWND hWnd, const char* pText, int nLen, BOOL bUndo);
MIREL_API int MIREL_CALL Mirel_InsertW(HWND hWnd, const WCHAR* pText, int nChars, BOOL bUndo);
MIREL_API int MIREL_CALL Mirel_InsertU(HWND hWnd, const char* pUtf8, int nLen, BOOL bUndo);
/* Deletes the selection, else the character at the caret; nUnused is not read. */
MIREL_API int MIREL_CALL Delete(HWND hWnd, int nUnused);
/* Deletes from the caret to the end of the word. */
MIREL_API int MIREL_CALL DeleteWord(HWND hWnd);
/* The text of [nFrom, nTo) in ANSI (document code page), UTF-16 units or
 * UTF-8 bytes; with pBuf NULL the size needed. */
MIREL_API int MIREL_CALL Mirel_GetTextA(HWND hWnd, char* pBuf, int nFrom, int nTo);
MIREL_API int MIREL_CALL Mirel_GetTextW(HWND hWnd, WCHAR* pBuf, int nFrom, int nTo);
MIREL_API int MIREL_CALL Mirel_GetTextU(HWND hWnd, char* pBuf, int nFrom, int nTo);
/* Raw bytes [nFrom, nTo) of the file contents in the file encoding (byte-order
 * mark included), for saving; with pBuf NULL the count. */
MIREL_API int MIREL_CALL Mirel_GetFileBuffer(HWND hWnd, char* pBuf, int nFrom, int nTo);

/* ---- Sizes, positions and lines -------------------------------------------- */

MIREL_API int MIREL_CALL Mirel_GetContentsSize(HWND hWnd); /* text bytes, mark excluded */
MIREL_API int MIREL_CALL Mirel_GetFileSize(HWND hWnd);     /* file bytes, mark included */
MIREL_API int MIREL_CALL Mirel_GetCurrentCharLen(HWND hWnd);
MIREL_API int MIREL_CALL Mirel_GetCurrentPos(HWND hWnd);
MIREL_API int MIREL_CALL Mirel_GetCurrentFilePos(HWND hWnd);
MIREL_API int MIREL_CALL Mirel_GetCurrentColumnIndex(HWND hWnd);
MIREL_API int MIREL_CALL Mirel_GetCurrentParagraphIndex(HWND hWnd);
/* Paragraphs (hex view: hex rows). */
MIREL_API int MIREL_CALL Mirel_GetParagraphCount(HWND hWnd);
MIREL_API int MIREL_CALL Mirel_GetParagraphIndex(HWND hWnd, int nPos);
/* Start and end (before its line end) of a paragraph; 1 when it exists. */
MIREL_API int MIREL_CALL Mirel_GetParagraph(HWND hWnd, int nParagraph, int* pnStart, int* pnEnd);
/* Display rows (hex view: hex rows). */
MIREL_API int MIREL_CALL Mirel_GetLineCount(HWND hWnd);
/* The character at pch is a word delimiter. */
MIREL_API BOOL MIREL_CALL Mirel_IsDelimiter(HWND hWnd, const char* pch);
/* Words and goto. The word around nPos (on a delimiter that a word follows,
 * that word; on a space an empty range at nPos), and the word around nPos
 * within its display row (text view only). Positions past the text are
 * clamped; a negative nPos or a NULL output leaves both outputs untouched. */
MIREL_API void MIREL_CALL Mirel_GetCurrentWord(HWND hWnd, int nPos, int* pnStart, int* pnEnd);
MIREL_API void MIREL_CALL Mirel_GetCurrentWordInLine(HWND hWnd, int nPos, int* pnStart, int* pnEnd);
/* Caret to a byte column of a paragraph (hex view: of a hex row); never past
 * the paragraph's first row or the text; negative values count as 0. */
MIREL_API void MIREL_CALL Mirel_Goto(HWND hWnd, int nParagraph, int nColumn);

/* ---- Selection ------------------------------------------------------------- */

/* Selects [nFrom, nTo) with the caret at nTo. */
MIREL_API void MIREL_CALL Mirel_SetSel(HWND hWnd, int nFrom, int nTo, BOOL bNoScroll);
MIREL_API void MIREL_CALL Mirel_GetBlock(HWND hWnd, int* pnStart, int* pnEnd);
MIREL_API BOOL MIREL_CALL Mirel_IsSelected(HWND hWnd);
MIREL_API BOOL MIREL_CALL Mirel_IsColumnBlock(HWND hWnd);
MIREL_API BOOL MIREL_CALL Mirel_IsColumnMode(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_SetColumnMode(HWND hWnd, BOOL bEnable);
MIREL_API BOOL MIREL_CALL Mirel_IsAutoSelectMode(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_SetAutoSelect(HWND hWnd, BOOL bEnable);

/* ---- Clipboard and undo ---------------------------------------------------- */

MIREL_API BOOL MIREL_CALL Mirel_CanPaste(HWND hWnd);
MIREL_API BOOL MIREL_CALL Mirel_CanUndo(HWND hWnd);
MIREL_API BOOL MIREL_CALL Mirel_CanRedo(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_StartUndoGroup(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_EndUndoGroup(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_SeparateUndo(HWND hWnd);

/* ---- Bookmarks ------------------------------------------------------------- */

MIREL_API BOOL MIREL_CALL Mirel_IsExistBookmark(HWND hWnd);
/* pszName is one digit, "0" to "9". */
MIREL_API BOOL MIREL_CALL Mirel_IsExistNamedBookmark(HWND hWnd, const char* pszName);

/* ---- Contents, encoding, newline kind and code page ------------------------ */

/* Starts an empty text; 1. */
MIREL_API int MIREL_CALL Mirel_NewFile(HWND hWnd);
/* Clears the current tag, bookmarks, undo history and contents. */
MIREL_API void MIREL_CALL Mirel_Reset(HWND hWnd);
MIREL_API int MIREL_CALL Mirel_GetFileEncoding(HWND hWnd);
MIREL_API int MIREL_CALL Mirel_GetFileFormat(HWND hWnd);
/* 2 for CR LF, 1 for LF or CR; copies "\r\n", "\n" or "\r" with its
 * terminator into pBuf when it fits in nBufSize bytes, else an empty string
 * (nothing when nBufSize < 1 or pBuf is NULL). */
MIREL_API int MIREL_CALL Mirel_GetNewLineCodeA(HWND hWnd, char* pBuf, int nBufSize);
/* Code page of ANSI text; 0 is the system ANSI code page. */
MIREL_API int MIREL_CALL Mirel_GetCodePage(HWND hWnd);
MIREL_API BOOL MIREL_CALL Mirel_IsBinary(HWND hWnd);

/* ---- View, layout and marks ------------------------------------------------ */

MIREL_API int MIREL_CALL Mirel_GetViewType(HWND hWnd);
MIREL_API int MIREL_CALL Mirel_GetWordWrap(HWND hWnd);
MIREL_API int MIREL_CALL Mirel_GetTabSize(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_SetTabSize(HWND hWnd, int nTabSize);
MIREL_API void MIREL_CALL Mirel_SetHexCharsPerLine(HWND hWnd, int nBytes);
/* Line height in per cent of the font height. */
MIREL_API void MIREL_CALL Mirel_SetLineSpacing(HWND hWnd, int nPercent);
MIREL_API void MIREL_CALL Mirel_SetFont(HWND hWnd, const LOGFONTA* pLogFont);
MIREL_API void MIREL_CALL Mirel_SetFontHex(HWND hWnd, const LOGFONTA* pLogFont);
MIREL_API void MIREL_CALL Mirel_EnableLineNo(HWND hWnd, BOOL bEnable);
MIREL_API BOOL MIREL_CALL Mirel_IsShowLineNo(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_EnableRuler(HWND hWnd, BOOL bEnable);
MIREL_API BOOL MIREL_CALL Mirel_IsShowRuler(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_EnableIndicatorMargin(HWND hWnd, BOOL bEnable);
MIREL_API BOOL MIREL_CALL Mirel_IsShowIndicatorMargin(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_EnableFolderMargin(HWND hWnd, BOOL bEnable);
MIREL_API void MIREL_CALL Mirel_ShowBreakCode(HWND hWnd, BOOL bShow);
MIREL_API void MIREL_CALL Mirel_ShowWhiteSpaceCode(HWND hWnd, BOOL bShow);
MIREL_API BOOL MIREL_CALL Mirel_IsSimpleSpace(HWND hWnd);
MIREL_API BOOL MIREL_CALL Mirel_IsSimpleTab(HWND hWnd);
MIREL_API BOOL MIREL_CALL Mirel_IsSimpleEnter(HWND hWnd);
MIREL_API BOOL MIREL_CALL Mirel_IsSimpleEOF(HWND hWnd);
/* Caret-row style 0 to 7; 0 none. */
MIREL_API void MIREL_CALL Mirel_SetActiveLineType(HWND hWnd, int nType);
MIREL_API void MIREL_CALL Mirel_SetShowMatchingBrace(HWND hWnd, BOOL bShow);

/* ---- Editing behaviour and state ------------------------------------------- */

MIREL_API BOOL MIREL_CALL Mirel_IsModified(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_SetModified(HWND hWnd, BOOL bModified);
MIREL_API BOOL MIREL_CALL Mirel_IsReadOnly(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_SetReadOnly(HWND hWnd, BOOL bReadOnly);
MIREL_API BOOL MIREL_CALL Mirel_IsOverwriteMode(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_SetOverwriteMode(HWND hWnd, BOOL bEnable);
MIREL_API void MIREL_CALL Mirel_SetAutoIndentation(HWND hWnd, BOOL bEnable);
MIREL_API void MIREL_CALL Mirel_SetSyntaxIndentation(HWND hWnd, BOOL bEnable);
MIREL_API void MIREL_CALL Mirel_SetSkipEmptyLineOnBlockIndent(HWND hWnd, BOOL bEnable);
/* The Tab key inserts spaces. */
MIREL_API void MIREL_CALL Mirel_SetTabToSpace(HWND hWnd, BOOL bEnable);
/* The Tab key is taken by the control rather than the dialog. */
MIREL_API void MIREL_CALL Mirel_WantTab(HWND hWnd, BOOL bWantTab);
/* Home goes to column 0. */
MIREL_API void MIREL_CALL Mirel_SetHomeToFirstCol(HWND hWnd, BOOL bEnable);

/* ---- Colours (MIREL_CLR_AUTO: follow the system colour, for the back, fore,
 * selection back, selection fore and line-number colours) ------------------ */

MIREL_API void MIREL_CALL Mirel_SetForeColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetBackColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetSelForeColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetSelBackColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetActiveLineColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetActiveLineBackColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetLineNoColor(HWND hWnd, COLORREF cr);
/* Newline, white-space and control marks. */
MIREL_API void MIREL_CALL Mirel_SetCodeColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetBookmarkColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetBookmarkForeColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetMatchingBraceForeColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetMatchingBraceBackColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetFindHighlightColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetFindHighlightBackColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetCurrentTagColor(HWND hWnd, COLORREF cr);
MIREL_API void MIREL_CALL Mirel_SetCurrentTagForeColor(HWND hWnd, COLORREF cr);

/* ---- Current tag ----------------------------------------------------------- */

/* Marks the paragraph of the current tag. */
MIREL_API void MIREL_CALL Mirel_SetCurrentTag(HWND hWnd, int nParagraph);
MIREL_API void MIREL_CALL Mirel_ResetCurrentTag(HWND hWnd);

/* ---- Syntax colouring ------------------------------------------------------- */

/* Colours the text as a keyword language described by pDef with the colours
 * of pColors (both copied; NULL refuses). 1, or 0 when refused or out of
 * memory. */
MIREL_API int MIREL_CALL Mirel_SetSyntaxGeneral(HWND hWnd, const MIREL_SYNTAX_INFO* pDef,
                                                const MIREL_SYNTAX_COLORS* pColors);

/* Colours the text as HTML: tags, comments and quoted values by pHtmlDef,
 * script bodies (between the script tags) by pScriptDef. 1, or 0 when a
 * record is NULL or out of memory. */
MIREL_API int MIREL_CALL Mirel_SetSyntaxHtml(HWND hWnd, const MIREL_SYNTAX_INFO* pHtmlDef,
                                             const MIREL_SYNTAX_COLORS* pHtmlColors,
                                             const MIREL_SYNTAX_INFO* pScriptDef,
                                             const MIREL_SYNTAX_COLORS* pScriptColors);

/* Colours HTML pages with server-script sections (between the pszScriptOpen
 * and pszScriptClose of pServerDef) and client scripts. 1, or 0 when a record
 * is NULL or out of memory. */
MIREL_API int MIREL_CALL Mirel_SetSyntaxHtmlEmbedded(HWND hWnd, const MIREL_SYNTAX_INFO* pServerDef,
                                                     const MIREL_SYNTAX_COLORS* pServerColors,
                                                     const MIREL_SYNTAX_INFO* pHtmlDef,
                                                     const MIREL_SYNTAX_COLORS* pHtmlColors,
                                                     const MIREL_SYNTAX_INFO* pClientDef,
                                                     const MIREL_SYNTAX_COLORS* pClientColors);

/* ---- Attach and detach ------------------------------------------------------ */

/* Puts pszStart before and pszEnd after the selection (or at the caret); the
 * text stays selected between them. Strings are in the system ANSI code page,
 * a length of 0 leaves that side alone; bUndo makes it one undo step. */
MIREL_API void MIREL_CALL Mirel_AttachA(HWND hWnd, const char* pszStart, int nStartLen, const char* pszEnd,
                                       int nEndLen, BOOL bUndo);
/* Adds the strings at the start and end of every paragraph of the selection. */
MIREL_API void MIREL_CALL Mirel_AttachOnParagraphA(HWND hWnd, const char* pszStart, int nStartLen,
                                                  const char* pszEnd, int nEndLen, BOOL bUndo);
/* Removes them from every paragraph of the selection where they stand. */
MIREL_API void MIREL_CALL Mirel_DetachOnParagraphA(HWND hWnd, const char* pszStart, int nStartLen,
                                                  const char* pszEnd, int nEndLen, BOOL bUndo);

/* ---- Column editing ----------------------------------------------------------- */

/* Status of the column commands: 0 done, 1 not the text view, 2 column mode
 * off, 3 the format holds the text \r or \n, 4 the format is 256 characters
 * or longer. Without a column block the text goes in at the caret. */
/* The same ANSI text (system code page) on every row of the column block. */
MIREL_API int MIREL_CALL Mirel_InsertColumnsTextA(HWND hWnd, const char* pText, int nLen, BOOL bUndo);
/* Numbers nStart, nStart + nStep, ... down the rows, all of one width. */
MIREL_API int MIREL_CALL Mirel_InsertColumnsNumber(HWND hWnd, int nStart, int nStep, BOOL bHex, BOOL bRightAlign,
                                                   BOOL bZeroPad, BOOL bUndo);
/* As Mirel_InsertColumnsNumber with a printf-style format holding exactly one
 * integer conversion (d i u o x X c with flags, width and precision) besides
 * literal text and %%; any other format changes nothing. */
MIREL_API int MIREL_CALL Mirel_InsertColumnsNumber2(HWND hWnd, const char* pszFormat, int nStart, int nStep,
                                                    BOOL bUndo);
/* Bytes of the column block's first row; 0 without a column block. */
MIREL_API void MIREL_CALL Mirel_GetBlockColumnCount(HWND hWnd, int* pnCount);

/* ---- Byte buffers, without a control ---------------------------------------- */

/* Encoding of a byte buffer: a byte-order mark, else UTF-8 when the bytes are
 * valid UTF-8 with at least one multi-byte sequence, else ANSI. */
MIREL_API int MIREL_CALL Mirel_DetermineEncoding(const char* pBuf, int nLen);

/* The most frequent newline kind in a byte buffer of the given encoding
 * (ties go to CR LF, then LF; no newline gives CR LF). */
MIREL_API int MIREL_CALL Mirel_DetermineFileFormat(const char* pBuf, unsigned nLen, int nEncoding);

#ifdef __cplusplus
}
#endif

#endif /* MIRELCTRL_H */
