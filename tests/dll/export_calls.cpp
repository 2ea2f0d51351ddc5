// The table of every export that takes a control handle.
#include "export_calls.h"

#include <cstring>

#include "mirelctrl/mirelctrl.h"

namespace mirel_test {

namespace {

constexpr int kUntouched = -7;
constexpr char kUntouchedByte = '#';

long long Changed(bool changed) {
  return changed ? 1 : 0;
}

// Reads of text into a caller buffer: result and whether the buffer changed.
long long ReadInto(const std::function<int(char*)>& read) {
  char buf[16];
  std::memset(buf, kUntouchedByte, sizeof buf);
  const int n = read(buf);
  bool changed = false;
  for (char c : buf) changed = changed || c != kUntouchedByte;
  return n != 0 ? n : Changed(changed);
}

}  // namespace

std::vector<ExportCall> HandleExports() {
  static const LOGFONTA font = [] {
    LOGFONTA lf{};
    lf.lfHeight = -12;
    std::strcpy(lf.lfFaceName, "Arial");
    return lf;
  }();
  return {
      {"Mirel_Destroy",
       [](HWND h) {
         Mirel_Destroy(h);
         return 0LL;
       }},
      {"Mirel_InsertA", [](HWND h) { return static_cast<long long>(Mirel_InsertA(h, "ab", 2, TRUE)); }},
      {"Mirel_InsertW",
       [](HWND h) {
         const WCHAR text[] = {'a', 'b', 0};
         return static_cast<long long>(Mirel_InsertW(h, text, 2, TRUE));
       }},
      {"Mirel_InsertU", [](HWND h) { return static_cast<long long>(Mirel_InsertU(h, "ab", 2, TRUE)); }},
      {"Delete", [](HWND h) { return static_cast<long long>(Delete(h, 0)); }},
      {"DeleteWord", [](HWND h) { return static_cast<long long>(DeleteWord(h)); }},
      {"Mirel_GetTextA",
       [](HWND h) { return ReadInto([h](char* b) { return Mirel_GetTextA(h, b, 0, 8); }); }},
      {"Mirel_GetTextW",
       [](HWND h) {
         return ReadInto([h](char* b) { return Mirel_GetTextW(h, reinterpret_cast<WCHAR*>(b), 0, 8); });
       }},
      {"Mirel_GetTextU",
       [](HWND h) { return ReadInto([h](char* b) { return Mirel_GetTextU(h, b, 0, 8); }); }},
      {"Mirel_GetFileBuffer",
       [](HWND h) { return ReadInto([h](char* b) { return Mirel_GetFileBuffer(h, b, 0, 8); }); }},
      {"Mirel_GetContentsSize", [](HWND h) { return static_cast<long long>(Mirel_GetContentsSize(h)); }},
      {"Mirel_GetFileSize", [](HWND h) { return static_cast<long long>(Mirel_GetFileSize(h)); }},
      {"Mirel_GetCurrentCharLen", [](HWND h) { return static_cast<long long>(Mirel_GetCurrentCharLen(h)); }},
      {"Mirel_GetCurrentPos", [](HWND h) { return static_cast<long long>(Mirel_GetCurrentPos(h)); }},
      {"Mirel_GetCurrentFilePos", [](HWND h) { return static_cast<long long>(Mirel_GetCurrentFilePos(h)); }},
      {"Mirel_GetCurrentColumnIndex",
       [](HWND h) { return static_cast<long long>(Mirel_GetCurrentColumnIndex(h)); }},
      {"Mirel_GetCurrentParagraphIndex",
       [](HWND h) { return static_cast<long long>(Mirel_GetCurrentParagraphIndex(h)); }},
      {"Mirel_GetParagraphCount", [](HWND h) { return static_cast<long long>(Mirel_GetParagraphCount(h)); }},
      {"Mirel_GetParagraphIndex",
       [](HWND h) { return static_cast<long long>(Mirel_GetParagraphIndex(h, 1)); }},
      {"Mirel_GetParagraph",
       [](HWND h) {
         int nStart = kUntouched, nEnd = kUntouched;
         const int n = Mirel_GetParagraph(h, 0, &nStart, &nEnd);
         return n != 0 ? n : Changed(nStart != kUntouched || nEnd != kUntouched);
       }},
      {"Mirel_GetLineCount", [](HWND h) { return static_cast<long long>(Mirel_GetLineCount(h)); }},
      {"Mirel_IsDelimiter", [](HWND h) { return static_cast<long long>(Mirel_IsDelimiter(h, " ")); }},
      {"Mirel_GetCurrentWord",
       [](HWND h) {
         int nStart = kUntouched, nEnd = kUntouched;
         Mirel_GetCurrentWord(h, 0, &nStart, &nEnd);
         return Changed(nStart != kUntouched || nEnd != kUntouched);
       }},
      {"Mirel_GetCurrentWordInLine",
       [](HWND h) {
         int nStart = kUntouched, nEnd = kUntouched;
         Mirel_GetCurrentWordInLine(h, 0, &nStart, &nEnd);
         return Changed(nStart != kUntouched || nEnd != kUntouched);
       }},
      {"Mirel_Goto",
       [](HWND h) {
         Mirel_Goto(h, 1, 1);
         return 0LL;
       }},
      {"Mirel_SetSel",
       [](HWND h) {
         Mirel_SetSel(h, 0, 1, FALSE);
         return 0LL;
       }},
      {"Mirel_GetBlock",
       [](HWND h) {
         int nStart = kUntouched, nEnd = kUntouched;
         Mirel_GetBlock(h, &nStart, &nEnd);
         return Changed(nStart != kUntouched || nEnd != kUntouched);
       }},
      {"Mirel_IsSelected", [](HWND h) { return static_cast<long long>(Mirel_IsSelected(h)); }},
      {"Mirel_IsColumnBlock", [](HWND h) { return static_cast<long long>(Mirel_IsColumnBlock(h)); }},
      {"Mirel_IsColumnMode", [](HWND h) { return static_cast<long long>(Mirel_IsColumnMode(h)); }},
      {"Mirel_SetColumnMode",
       [](HWND h) {
         Mirel_SetColumnMode(h, TRUE);
         return 0LL;
       }},
      {"Mirel_IsAutoSelectMode", [](HWND h) { return static_cast<long long>(Mirel_IsAutoSelectMode(h)); }},
      {"Mirel_SetAutoSelect",
       [](HWND h) {
         Mirel_SetAutoSelect(h, TRUE);
         return 0LL;
       }},
      {"Mirel_CanPaste", [](HWND h) { return static_cast<long long>(Mirel_CanPaste(h)); }},
      {"Mirel_CanUndo", [](HWND h) { return static_cast<long long>(Mirel_CanUndo(h)); }},
      {"Mirel_CanRedo", [](HWND h) { return static_cast<long long>(Mirel_CanRedo(h)); }},
      {"Mirel_StartUndoGroup",
       [](HWND h) {
         Mirel_StartUndoGroup(h);
         return 0LL;
       }},
      {"Mirel_EndUndoGroup",
       [](HWND h) {
         Mirel_EndUndoGroup(h);
         return 0LL;
       }},
      {"Mirel_SeparateUndo",
       [](HWND h) {
         Mirel_SeparateUndo(h);
         return 0LL;
       }},
      {"Mirel_DeleteLine",
       [](HWND h) {
         Mirel_DeleteLine(h);
         return 0LL;
       }},
      {"Mirel_DuplicateLine",
       [](HWND h) {
         Mirel_DuplicateLine(h);
         return 0LL;
       }},
      {"Mirel_InsertLine",
       [](HWND h) {
         Mirel_InsertLine(h);
         return 0LL;
       }},
      {"Mirel_JoinLines",
       [](HWND h) {
         Mirel_JoinLines(h);
         return 0LL;
       }},
      {"Mirel_TransposeLine",
       [](HWND h) {
         Mirel_TransposeLine(h);
         return 0LL;
       }},
      {"Mirel_TrimTrailingWhiteSpace",
       [](HWND h) {
         Mirel_TrimTrailingWhiteSpace(h);
         return 0LL;
       }},
      {"Mirel_ChangeCase",
       [](HWND h) {
         Mirel_ChangeCase(h, 2);
         return 0LL;
       }},
      {"Mirel_ConvertSpaceToTab",
       [](HWND h) {
         Mirel_ConvertSpaceToTab(h, FALSE);
         return 0LL;
       }},
      {"Mirel_ConvertTabToSpace",
       [](HWND h) {
         Mirel_ConvertTabToSpace(h);
         return 0LL;
       }},
      {"Mirel_InsertPageBreak",
       [](HWND h) {
         Mirel_InsertPageBreak(h);
         return 0LL;
       }},
      {"Mirel_InsertDate",
       [](HWND h) {
         Mirel_InsertDate(h, "%Y");
         return 0LL;
       }},
      {"Mirel_IsExistBookmark", [](HWND h) { return static_cast<long long>(Mirel_IsExistBookmark(h)); }},
      {"Mirel_IsExistNamedBookmark",
       [](HWND h) { return static_cast<long long>(Mirel_IsExistNamedBookmark(h, "1")); }},
      {"Mirel_Bookmark",
       [](HWND h) {
         Mirel_Bookmark(h, 1, 0, nullptr);
         return 0LL;
       }},
      {"Mirel_ClearBookmark",
       [](HWND h) {
         Mirel_ClearBookmark(h);
         return 0LL;
       }},
      {"Mirel_MoveBookmark",
       [](HWND h) {
         Mirel_MoveBookmark(h, TRUE);
         return 0LL;
       }},
      {"Mirel_GotoNamedBookmark",
       [](HWND h) {
         Mirel_GotoNamedBookmark(h, "1");
         return 0LL;
       }},
      {"Mirel_GetBookmarkCount", [](HWND h) { return static_cast<long long>(Mirel_GetBookmarkCount(h)); }},
      {"Mirel_GetNamedBookmarkCount",
       [](HWND h) { return static_cast<long long>(Mirel_GetNamedBookmarkCount(h)); }},
      {"Mirel_GetBookmark",
       [](HWND h) {
         int paras[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
         const int n = Mirel_GetBookmark(h, paras);
         return n != 0 ? n : Changed(paras[0] != kUntouched);
       }},
      {"Mirel_GetNamedBookmark",
       [](HWND h) {
         int paras[10] = {kUntouched, kUntouched, kUntouched, kUntouched, kUntouched,
                          kUntouched, kUntouched, kUntouched, kUntouched, kUntouched};
         const int n = Mirel_GetNamedBookmark(h, paras);
         return n != 0 ? n : Changed(paras[0] != kUntouched);
       }},
      {"Mirel_NewFile", [](HWND h) { return static_cast<long long>(Mirel_NewFile(h)); }},
      {"Mirel_Reset",
       [](HWND h) {
         Mirel_Reset(h);
         return 0LL;
       }},
      {"Mirel_GetFileEncoding", [](HWND h) { return static_cast<long long>(Mirel_GetFileEncoding(h)); }},
      {"Mirel_GetFileFormat", [](HWND h) { return static_cast<long long>(Mirel_GetFileFormat(h)); }},
      {"Mirel_GetNewLineCodeA",
       [](HWND h) { return ReadInto([h](char* b) { return Mirel_GetNewLineCodeA(h, b, 16); }); }},
      {"Mirel_GetCodePage", [](HWND h) { return static_cast<long long>(Mirel_GetCodePage(h)); }},
      {"Mirel_IsBinary", [](HWND h) { return static_cast<long long>(Mirel_IsBinary(h)); }},
      {"Mirel_GetViewType", [](HWND h) { return static_cast<long long>(Mirel_GetViewType(h)); }},
      {"Mirel_GetWordWrap", [](HWND h) { return static_cast<long long>(Mirel_GetWordWrap(h)); }},
      {"Mirel_GetTabSize", [](HWND h) { return static_cast<long long>(Mirel_GetTabSize(h)); }},
      {"Mirel_SetTabSize",
       [](HWND h) {
         Mirel_SetTabSize(h, 8);
         return 0LL;
       }},
      {"Mirel_SetHexCharsPerLine",
       [](HWND h) {
         Mirel_SetHexCharsPerLine(h, 8);
         return 0LL;
       }},
      {"Mirel_SetLineSpacing",
       [](HWND h) {
         Mirel_SetLineSpacing(h, 150);
         return 0LL;
       }},
      {"Mirel_SetFont",
       [](HWND h) {
         Mirel_SetFont(h, &font);
         return 0LL;
       }},
      {"Mirel_SetFontHex",
       [](HWND h) {
         Mirel_SetFontHex(h, &font);
         return 0LL;
       }},
      {"Mirel_EnableLineNo",
       [](HWND h) {
         Mirel_EnableLineNo(h, TRUE);
         return 0LL;
       }},
      {"Mirel_IsShowLineNo", [](HWND h) { return static_cast<long long>(Mirel_IsShowLineNo(h)); }},
      {"Mirel_EnableRuler",
       [](HWND h) {
         Mirel_EnableRuler(h, TRUE);
         return 0LL;
       }},
      {"Mirel_IsShowRuler", [](HWND h) { return static_cast<long long>(Mirel_IsShowRuler(h)); }},
      {"Mirel_EnableIndicatorMargin",
       [](HWND h) {
         Mirel_EnableIndicatorMargin(h, TRUE);
         return 0LL;
       }},
      {"Mirel_IsShowIndicatorMargin",
       [](HWND h) { return static_cast<long long>(Mirel_IsShowIndicatorMargin(h)); }},
      {"Mirel_EnableFolderMargin",
       [](HWND h) {
         Mirel_EnableFolderMargin(h, TRUE);
         return 0LL;
       }},
      {"Mirel_ShowBreakCode",
       [](HWND h) {
         Mirel_ShowBreakCode(h, TRUE);
         return 0LL;
       }},
      {"Mirel_ShowWhiteSpaceCode",
       [](HWND h) {
         Mirel_ShowWhiteSpaceCode(h, TRUE);
         return 0LL;
       }},
      {"Mirel_IsSimpleSpace", [](HWND h) { return static_cast<long long>(Mirel_IsSimpleSpace(h)); }},
      {"Mirel_IsSimpleTab", [](HWND h) { return static_cast<long long>(Mirel_IsSimpleTab(h)); }},
      {"Mirel_IsSimpleEnter", [](HWND h) { return static_cast<long long>(Mirel_IsSimpleEnter(h)); }},
      {"Mirel_IsSimpleEOF", [](HWND h) { return static_cast<long long>(Mirel_IsSimpleEOF(h)); }},
      {"Mirel_SetActiveLineType",
       [](HWND h) {
         Mirel_SetActiveLineType(h, 1);
         return 0LL;
       }},
      {"Mirel_SetShowMatchingBrace",
       [](HWND h) {
         Mirel_SetShowMatchingBrace(h, TRUE);
         return 0LL;
       }},
      {"Mirel_SetViewType",
       [](HWND h) {
         Mirel_SetViewType(h, 2);
         return 0LL;
       }},
      {"Mirel_IsModified", [](HWND h) { return static_cast<long long>(Mirel_IsModified(h)); }},
      {"Mirel_SetModified",
       [](HWND h) {
         Mirel_SetModified(h, TRUE);
         return 0LL;
       }},
      {"Mirel_IsReadOnly", [](HWND h) { return static_cast<long long>(Mirel_IsReadOnly(h)); }},
      {"Mirel_SetReadOnly",
       [](HWND h) {
         Mirel_SetReadOnly(h, TRUE);
         return 0LL;
       }},
      {"Mirel_IsOverwriteMode", [](HWND h) { return static_cast<long long>(Mirel_IsOverwriteMode(h)); }},
      {"Mirel_SetOverwriteMode",
       [](HWND h) {
         Mirel_SetOverwriteMode(h, TRUE);
         return 0LL;
       }},
      {"Mirel_SetAutoIndentation",
       [](HWND h) {
         Mirel_SetAutoIndentation(h, TRUE);
         return 0LL;
       }},
      {"Mirel_SetSyntaxIndentation",
       [](HWND h) {
         Mirel_SetSyntaxIndentation(h, TRUE);
         return 0LL;
       }},
      {"Mirel_SetSkipEmptyLineOnBlockIndent",
       [](HWND h) {
         Mirel_SetSkipEmptyLineOnBlockIndent(h, TRUE);
         return 0LL;
       }},
      {"Mirel_SetTabToSpace",
       [](HWND h) {
         Mirel_SetTabToSpace(h, TRUE);
         return 0LL;
       }},
      {"Mirel_WantTab",
       [](HWND h) {
         Mirel_WantTab(h, TRUE);
         return 0LL;
       }},
      {"Mirel_SetHomeToFirstCol",
       [](HWND h) {
         Mirel_SetHomeToFirstCol(h, TRUE);
         return 0LL;
       }},
      {"Mirel_SetForeColor",
       [](HWND h) {
         Mirel_SetForeColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetBackColor",
       [](HWND h) {
         Mirel_SetBackColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetSelForeColor",
       [](HWND h) {
         Mirel_SetSelForeColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetSelBackColor",
       [](HWND h) {
         Mirel_SetSelBackColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetActiveLineColor",
       [](HWND h) {
         Mirel_SetActiveLineColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetActiveLineBackColor",
       [](HWND h) {
         Mirel_SetActiveLineBackColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetLineNoColor",
       [](HWND h) {
         Mirel_SetLineNoColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetCodeColor",
       [](HWND h) {
         Mirel_SetCodeColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetBookmarkColor",
       [](HWND h) {
         Mirel_SetBookmarkColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetBookmarkForeColor",
       [](HWND h) {
         Mirel_SetBookmarkForeColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetMatchingBraceForeColor",
       [](HWND h) {
         Mirel_SetMatchingBraceForeColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetMatchingBraceBackColor",
       [](HWND h) {
         Mirel_SetMatchingBraceBackColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetFindHighlightColor",
       [](HWND h) {
         Mirel_SetFindHighlightColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetFindHighlightBackColor",
       [](HWND h) {
         Mirel_SetFindHighlightBackColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetCurrentTagColor",
       [](HWND h) {
         Mirel_SetCurrentTagColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetCurrentTagForeColor",
       [](HWND h) {
         Mirel_SetCurrentTagForeColor(h, RGB(1, 2, 3));
         return 0LL;
       }},
      {"Mirel_SetCurrentTag",
       [](HWND h) {
         Mirel_SetCurrentTag(h, 0);
         return 0LL;
       }},
      {"Mirel_SetSyntaxGeneral",
       [](HWND h) {
         MIREL_SYNTAX_INFO def = {};
         def.pszKeywords[0] = " int ";
         MIREL_SYNTAX_COLORS colors = {};
         return static_cast<long long>(Mirel_SetSyntaxGeneral(h, &def, &colors));
       }},
      {"Mirel_ResetCurrentTag",
       [](HWND h) {
         Mirel_ResetCurrentTag(h);
         return 0LL;
       }},
      {"Mirel_SetWordWrap",
       [](HWND h) {
         Mirel_SetWordWrap(h, MIREL_WRAP_CHAR);
         return 0LL;
       }},
      {"Mirel_SetCodePage", [](HWND h) { return static_cast<long long>(Mirel_SetCodePage(h, 1252)); }},
      {"Mirel_SetFileEncoding",
       [](HWND h) { return static_cast<long long>(Mirel_SetFileEncoding(h, MIREL_ENCODING_UTF8)); }},
      {"Mirel_SetFileFormat",
       [](HWND h) { return static_cast<long long>(Mirel_SetFileFormat(h, MIREL_FILE_FORMAT_LF)); }},
      {"Mirel_ChangeFileFormat",
       [](HWND h) {
         Mirel_ChangeFileFormat(h, MIREL_FILE_FORMAT_CR);
         return 0LL;
       }},
      {"Mirel_SetPageBreakCode",
       [](HWND h) {
         Mirel_SetPageBreakCode(h, 0x10C);
         return 0LL;
       }},
      {"Mirel_EnableVirtualSpace",
       [](HWND h) {
         Mirel_EnableVirtualSpace(h, TRUE);
         return 0LL;
       }},
      {"Mirel_SetSyntaxHtml",
       [](HWND h) {
         MIREL_SYNTAX_INFO def = {};
         def.pszKeywords[0] = " b ";
         MIREL_SYNTAX_COLORS colors = {};
         return static_cast<long long>(Mirel_SetSyntaxHtml(h, &def, &colors, &def, &colors));
       }},
      {"Mirel_SetSyntaxHtmlEmbedded",
       [](HWND h) {
         MIREL_SYNTAX_INFO def = {};
         def.pszScriptOpen = "<?";
         def.pszScriptClose = "?>";
         MIREL_SYNTAX_COLORS colors = {};
         return static_cast<long long>(
             Mirel_SetSyntaxHtmlEmbedded(h, &def, &colors, &def, &colors, &def, &colors));
       }},
      {"Mirel_AttachA",
       [](HWND h) {
         Mirel_AttachA(h, "<", 1, ">", 1, TRUE);
         return 0LL;
       }},
      {"Mirel_AttachOnParagraphA",
       [](HWND h) {
         Mirel_AttachOnParagraphA(h, "# ", 2, nullptr, 0, TRUE);
         return 0LL;
       }},
      {"Mirel_DetachOnParagraphA",
       [](HWND h) {
         Mirel_DetachOnParagraphA(h, "# ", 2, nullptr, 0, TRUE);
         return 0LL;
       }},
      {"Mirel_FindTextA",
       [](HWND h) {
         int nPos = 0;
         return static_cast<long long>(Mirel_FindTextA(h, "a", 0, FALSE, &nPos, TRUE));
       }},
      {"Mirel_ReplaceTextA",
       [](HWND h) {
         int nPos = 0;
         return static_cast<long long>(Mirel_ReplaceTextA(h, "a", "b", 0, FALSE, &nPos, TRUE));
       }},
      {"Mirel_MatchBrace", [](HWND h) { return static_cast<long long>(Mirel_MatchBrace(h, 0)); }},
      {"Mirel_SetFindResult",
       [](HWND h) {
         Mirel_SetFindResult(h, "a", 1, 0);
         return 0LL;
       }},
      {"Mirel_SetShowFindResult",
       [](HWND h) {
         Mirel_SetShowFindResult(h, TRUE);
         return 0LL;
       }},
      {"Mirel_IsShowFindResult", [](HWND h) { return static_cast<long long>(Mirel_IsShowFindResult(h)); }},
      {"Mirel_SetShowHyperLink",
       [](HWND h) {
         Mirel_SetShowHyperLink(h, TRUE);
         return 0LL;
       }},
      {"Mirel_IsShowHyperLink", [](HWND h) { return static_cast<long long>(Mirel_IsShowHyperLink(h)); }},
      {"Mirel_InsertColumnsTextA",
       [](HWND h) { return static_cast<long long>(Mirel_InsertColumnsTextA(h, "ab", 2, TRUE)); }},
      {"Mirel_InsertColumnsNumber",
       [](HWND h) {
         return static_cast<long long>(Mirel_InsertColumnsNumber(h, 1, 1, FALSE, TRUE, TRUE, TRUE));
       }},
      {"Mirel_InsertColumnsNumber2",
       [](HWND h) { return static_cast<long long>(Mirel_InsertColumnsNumber2(h, "%d.", 1, 1, TRUE)); }},
      {"Mirel_GetBlockColumnCount",
       [](HWND h) {
         int n = -1;
         Mirel_GetBlockColumnCount(h, &n);
         return n == -1 ? 0LL : 1LL;
       }},
      {"Mirel_PreparePrint",
       [](HWND h) {
         MIREL_PRINT_PARAM param{};
         param.hDC = GetDC(nullptr);
         param.nLinesPerPage = kUntouched;
         param.nPageCount = kUntouched;
         SetRect(&param.rcPrint, 0, 0, 400, 400);
         Mirel_PreparePrint(h, &param);
         ReleaseDC(nullptr, param.hDC);
         return Changed(param.nLinesPerPage != kUntouched || param.nPageCount != kUntouched);
       }},
      {"Mirel_PrintPage",
       [](HWND h) {
         HDC hdc = GetDC(nullptr);
         Mirel_PrintPage(h, hdc, 0);
         ReleaseDC(nullptr, hdc);
         return 0LL;
       }},
      {"Mirel_EndPrint",
       [](HWND h) {
         Mirel_EndPrint(h);
         return 0LL;
       }},
  };
}

}  // namespace mirel_test
