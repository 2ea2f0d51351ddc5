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

/* Find flags (Mirel_FindTextA, Mirel_ReplaceTextA, Mirel_SetFindResult). */
#define MIREL_FIND_BACKWARD 0x00001
#define MIREL_FIND_WHOLEWORD 0x00002 /* plain text only */
#define MIREL_FIND_MATCHCASE 0x00004
#define MIREL_FIND_WRAP 0x00008      /* continue once from the other end */
#define MIREL_FIND_REGEXP 0x00040    /* text view: a regular expression */
#define MIREL_FIND_HEX_TEXT 0x10000  /* hex view: text rather than hex digits */

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
 * UTF-8 bytes; with pBuf NULL the size needed, which is exactly what the call
 * with a buffer writes (no terminator). GetTextA on an ANSI document and
 * GetTextU on a UTF-8 document copy the stored bytes and return exactly
 * nTo - nFrom (cut at the text end). Every other combination converts whole
 * characters, so a range that starts or ends inside a character (or a CR LF
 * pair, or a surrogate pair) may return more than nTo - nFrom: size the
 * buffer from the NULL call. */
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
/* The character at pch is a word delimiter. ANSI and UTF-8 documents read
 * one byte (an empty string asks about NUL, which counts as a delimiter);
 * UTF-16 documents read one little-endian unit of two bytes, except that a
 * first byte of 0 ends the string there: nothing more is read and the answer
 * is FALSE. */
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
/* Closes the group the last Mirel_StartUndoGroup opened; without an open group
 * it does nothing. */
MIREL_API void MIREL_CALL Mirel_EndUndoGroup(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_SeparateUndo(HWND hWnd);

/* ---- Line and character commands (text view; each one undo step) ----------- */

/* Deletes the caret's paragraph with its line end. */
MIREL_API void MIREL_CALL Mirel_DeleteLine(HWND hWnd);
/* Inserts a copy of the caret's paragraph below it; the caret goes to the copy. */
MIREL_API void MIREL_CALL Mirel_DuplicateLine(HWND hWnd);
/* Opens an indented new line after the caret's row. */
MIREL_API void MIREL_CALL Mirel_InsertLine(HWND hWnd);
/* Joins the selected paragraphs with single spaces; the result is selected. */
MIREL_API void MIREL_CALL Mirel_JoinLines(HWND hWnd);
/* Swaps the caret's row with the one below (the last row: with the one above). */
MIREL_API void MIREL_CALL Mirel_TransposeLine(HWND hWnd);
/* Removes blanks at the ends of the selected paragraphs (or the caret's). */
MIREL_API void MIREL_CALL Mirel_TrimTrailingWhiteSpace(HWND hWnd);
/* ASCII letters of the selection (else the character at the caret): 0 upper,
 * 1 lower, 2 swapped case. */
MIREL_API void MIREL_CALL Mirel_ChangeCase(HWND hWnd, int nMode);
/* Runs of a tab size of spaces in the selection (else the caret's row) become
 * tabs; bLeadingOnly only at line starts. */
MIREL_API void MIREL_CALL Mirel_ConvertSpaceToTab(HWND hWnd, BOOL bLeadingOnly);
/* Every tab of the selection (else the caret's row) becomes a tab size of spaces. */
MIREL_API void MIREL_CALL Mirel_ConvertTabToSpace(HWND hWnd);
/* The page-break character at the caret, replacing the selection. */
MIREL_API void MIREL_CALL Mirel_InsertPageBreak(HWND hWnd);
/* The local date and time formatted by a strftime format (conversions
 * a A b B c d H I j m M p S U w W x X y Y and %%, optionally with #; names and
 * the date and time conversions of the user's default locale) at the caret,
 * replacing the selection. Any other conversion, or a result longer than 255
 * bytes, inserts nothing. */
MIREL_API void MIREL_CALL Mirel_InsertDate(HWND hWnd, const char* pszFormat);

/* ---- Bookmarks ------------------------------------------------------------- */

MIREL_API BOOL MIREL_CALL Mirel_IsExistBookmark(HWND hWnd);
/* pszName is one digit, "0" to "9". */
MIREL_API BOOL MIREL_CALL Mirel_IsExistNamedBookmark(HWND hWnd, const char* pszName);
/* Toggles an ordinary bookmark (pszName NULL) or sets, moves or clears the
 * named bookmark "0" to "9" (other names change nothing), on the caret's
 * paragraph when nAtCaret is 1, else on nParagraph. */
MIREL_API void MIREL_CALL Mirel_Bookmark(HWND hWnd, int nAtCaret, int nParagraph, const char* pszName);
/* Removes every ordinary bookmark; named ones stay. */
MIREL_API void MIREL_CALL Mirel_ClearBookmark(HWND hWnd);
/* Caret to the next (previous) ordinary bookmark, wrapping around. */
MIREL_API void MIREL_CALL Mirel_MoveBookmark(HWND hWnd, BOOL bNext);
MIREL_API void MIREL_CALL Mirel_GotoNamedBookmark(HWND hWnd, const char* pszName);
MIREL_API int MIREL_CALL Mirel_GetBookmarkCount(HWND hWnd);
MIREL_API int MIREL_CALL Mirel_GetNamedBookmarkCount(HWND hWnd);
/* Write the paragraphs of the ordinary bookmarks (by paragraph) or of the
 * named ones (by number) into an array that holds the count above; return
 * how many were written (0 for NULL). */
MIREL_API int MIREL_CALL Mirel_GetBookmark(HWND hWnd, int* pnParagraphs);
MIREL_API int MIREL_CALL Mirel_GetNamedBookmark(HWND hWnd, int* pnParagraphs);

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
/* Converts the text to another encoding (before Mirel_NewFile: the encoding
 * of the text to come); 1 when done, 0 when refused (same or unknown
 * encoding, UTF-16BE text either way) or failed, the text unchanged. */
MIREL_API int MIREL_CALL Mirel_SetFileEncoding(HWND hWnd, int nEncoding);
/* The newline kind of an empty text: 1, or 0 once the text is not empty. */
MIREL_API int MIREL_CALL Mirel_SetFileFormat(HWND hWnd, int nFormat);
/* The newline kind of the line breaks typed from now on; marks the document
 * modified. The line breaks already in the text stay as they are. */
MIREL_API void MIREL_CALL Mirel_ChangeFileFormat(HWND hWnd, int nFormat);
/* Code page of ANSI text (the system's own is stored as 0); 0 when the code
 * page is unknown. Clears the undo history. */
MIREL_API int MIREL_CALL Mirel_SetCodePage(HWND hWnd, int nCodePage);

/* ---- View, layout and marks ------------------------------------------------ */

MIREL_API int MIREL_CALL Mirel_GetViewType(HWND hWnd);
MIREL_API int MIREL_CALL Mirel_GetWordWrap(HWND hWnd);
MIREL_API int MIREL_CALL Mirel_GetTabSize(HWND hWnd);
/* Tab size in characters, from 1 to MIREL_MAX_TAB_SIZE (256: no layout needs
 * wider tab stops); other values are refused and the size stays as it was. */
#define MIREL_MAX_TAB_SIZE 256
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
/* Wrap mode MIREL_WRAP_NONE to MIREL_WRAP_WORD_DBCS; wrapping ends column
 * mode and virtual space. */
MIREL_API void MIREL_CALL Mirel_SetWordWrap(HWND hWnd, int nWrap);
/* The page-break character: the low byte of ch. */
MIREL_API void MIREL_CALL Mirel_SetPageBreakCode(HWND hWnd, int ch);
/* The caret may stand beyond the end of a row. */
MIREL_API void MIREL_CALL Mirel_EnableVirtualSpace(HWND hWnd, BOOL bEnable);
/* Shows the text (MIREL_VIEW_TYPE_TEXT, 1) or its bytes (MIREL_VIEW_TYPE_HEX,
 * 2) in every window of the control's document; other values change nothing.
 * The caret and the selection stay on the same bytes: positions of the hex
 * view count the byte-order mark, those of the text view do not. The undo
 * history is cleared. */
MIREL_API void MIREL_CALL Mirel_SetViewType(HWND hWnd, int nViewType);

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
/* ---- Find, replace, matching braces and highlighted ranges ----------------- */

/* Finds and selects the next (or with MIREL_FIND_BACKWARD the previous)
 * occurrence from the selection or caret (bFindCurrent) or from *pnPos; 1
 * found, with *pnPos at the match end. */
MIREL_API int MIREL_CALL Mirel_FindTextA(HWND hWnd, const char* pszText, int nFlags, BOOL bFindCurrent, int* pnPos,
                                         BOOL bShow);
/* 2 when the selected occurrence was replaced, 1 when the next one was found
 * and selected, 0 when neither. */
MIREL_API int MIREL_CALL Mirel_ReplaceTextA(HWND hWnd, const char* pszFind, const char* pszReplace, int nFlags,
                                            BOOL bFindCurrent, int* pnPos, BOOL bShow);
/* Selects from the first bracket at or after the caret to its partner; 0 when
 * there is no bracket. nUnused is not read. */
MIREL_API int MIREL_CALL Mirel_MatchBrace(HWND hWnd, int nUnused);
/* The pattern (bytes in the document encoding) whose occurrences are
 * highlighted; nLen <= 0 clears it. */
MIREL_API void MIREL_CALL Mirel_SetFindResult(HWND hWnd, const char* pPattern, int nLen, int nFlags);
MIREL_API void MIREL_CALL Mirel_SetShowFindResult(HWND hWnd, BOOL bShow);
MIREL_API BOOL MIREL_CALL Mirel_IsShowFindResult(HWND hWnd);
MIREL_API void MIREL_CALL Mirel_SetShowHyperLink(HWND hWnd, BOOL bShow);
MIREL_API BOOL MIREL_CALL Mirel_IsShowHyperLink(HWND hWnd);

/* ---- Column editing ----------------------------------------------------------- */

/* Status of the column commands: 0 done, 1 not the text view, 2 column mode
 * off, 3 the format holds the text \r or \n, 4 the format is 256 characters
 * or longer. Without a column block the text goes in at the caret. */
/* The same ANSI text (the document's code page) on every row of the column block. */
MIREL_API int MIREL_CALL Mirel_InsertColumnsTextA(HWND hWnd, const char* pText, int nLen, BOOL bUndo);
/* Numbers nStart, nStart + nStep, ... down the rows, all of one width. */
MIREL_API int MIREL_CALL Mirel_InsertColumnsNumber(HWND hWnd, int nStart, int nStep, BOOL bHex, BOOL bRightAlign,
                                                   BOOL bZeroPad, BOOL bUndo);
/* As Mirel_InsertColumnsNumber with a printf-style format: literal text, %%
 * and at most one integer conversion (d i u o x X c, with flags and a width
 * and precision of up to three digits); a format without a conversion writes
 * itself on every row. A format that one int argument cannot safely serve
 * changes nothing and returns 0: %s, %n, %p, floating-point and other
 * conversions, a length modifier (%ld), a * width or precision, a second
 * conversion, or a % at the end. */
MIREL_API int MIREL_CALL Mirel_InsertColumnsNumber2(HWND hWnd, const char* pszFormat, int nStart, int nStep,
                                                    BOOL bUndo);
/* Bytes of the column block's first row; 0 without a column block. */
MIREL_API void MIREL_CALL Mirel_GetBlockColumnCount(HWND hWnd, int* pnCount);

/* ---- Printing ---------------------------------------------------------------- */

/* The host's print record. The host owns the printer DC and the print job
 * (StartDoc, StartPage, EndPage, EndDoc) and selects the font to print with
 * into the DC before Mirel_PreparePrint. */
typedef struct MIREL_PRINT_PARAM {
  HDC hDC;            /* in: the DC rows are measured on */
  BOOL bColor;        /* in: print in the syntax colours (else black) */
  BOOL bLineNo;       /* in: paragraph numbers in front of the rows */
  int nWrapMode;      /* in: MIREL_WRAP_CHAR, _WORD or _WORD_DBCS; 0 is word wrap */
  int nReserved;      /* in: kept, not read */
  int nLinesPerPage;  /* out: rows per page */
  int nPageCount;     /* out: pages, 0 when nothing can be printed */
  RECT rcPrint;       /* in: printable area in device units */
} MIREL_PRINT_PARAM;
#if defined(__cplusplus) && (defined(_WIN32) && !defined(_WIN64))
static_assert(sizeof(MIREL_PRINT_PARAM) == 44, "the host print record is 44 bytes");
#endif

/* Measures and paginates the text for pParam's DC and rectangle and writes
 * back the rows per page and the page count. A DC handle that is no device
 * context, a wrap mode outside 0..3 or an area lower than one row give 0
 * pages. */
MIREL_API void MIREL_CALL Mirel_PreparePrint(HWND hWnd, MIREL_PRINT_PARAM* pParam);
/* Draws page nPage (0-based, below the page count) on hDC; any other page,
 * or a call without a preparation, draws nothing. */
MIREL_API void MIREL_CALL Mirel_PrintPage(HWND hWnd, HDC hDC, int nPage);
/* Releases the pages; Mirel_PrintPage draws nothing until the next
 * preparation. */
MIREL_API void MIREL_CALL Mirel_EndPrint(HWND hWnd);

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
