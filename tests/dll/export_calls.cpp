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

// An export without a result or output: the table reports 0.
ExportCall Void(const char* name, void (*call)(HWND)) {
  return {name, [call](HWND h) {
            call(h);
            return 0LL;
          }};
}

// An export whose result the table reports as it stands.
template <typename Call>
ExportCall Result(const char* name, Call call) {
  return {name, [call](HWND h) { return static_cast<long long>(call(h)); }};
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
      Void("Mirel_Destroy", [](HWND h) { Mirel_Destroy(h); }),
      Result("Mirel_InsertA", [](HWND h) { return Mirel_InsertA(h, "ab", 2, TRUE); }),
      {"Mirel_InsertW",
       [](HWND h) {
         const WCHAR text[] = {'a', 'b', 0};
         return static_cast<long long>(Mirel_InsertW(h, text, 2, TRUE));
       }},
      Result("Mirel_InsertU", [](HWND h) { return Mirel_InsertU(h, "ab", 2, TRUE); }),
      Result("Delete", [](HWND h) { return Delete(h, 0); }),
      Result("DeleteWord", [](HWND h) { return DeleteWord(h); }),
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
      Result("Mirel_GetContentsSize", [](HWND h) { return Mirel_GetContentsSize(h); }),
      Result("Mirel_GetFileSize", [](HWND h) { return Mirel_GetFileSize(h); }),
      Result("Mirel_GetCurrentCharLen", [](HWND h) { return Mirel_GetCurrentCharLen(h); }),
      Result("Mirel_GetCurrentPos", [](HWND h) { return Mirel_GetCurrentPos(h); }),
      Result("Mirel_GetCurrentFilePos", [](HWND h) { return Mirel_GetCurrentFilePos(h); }),
      Result("Mirel_GetCurrentColumnIndex", [](HWND h) { return Mirel_GetCurrentColumnIndex(h); }),
      Result("Mirel_GetCurrentParagraphIndex", [](HWND h) { return Mirel_GetCurrentParagraphIndex(h); }),
      Result("Mirel_GetParagraphCount", [](HWND h) { return Mirel_GetParagraphCount(h); }),
      Result("Mirel_GetParagraphIndex", [](HWND h) { return Mirel_GetParagraphIndex(h, 1); }),
      {"Mirel_GetParagraph",
       [](HWND h) {
         int nStart = kUntouched, nEnd = kUntouched;
         const int n = Mirel_GetParagraph(h, 0, &nStart, &nEnd);
         return n != 0 ? n : Changed(nStart != kUntouched || nEnd != kUntouched);
       }},
      Result("Mirel_GetLineCount", [](HWND h) { return Mirel_GetLineCount(h); }),
      Result("Mirel_IsDelimiter", [](HWND h) { return Mirel_IsDelimiter(h, " "); }),
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
      Void("Mirel_Goto", [](HWND h) { Mirel_Goto(h, 1, 1); }),
      Void("Mirel_SetSel", [](HWND h) { Mirel_SetSel(h, 0, 1, FALSE); }),
      {"Mirel_GetBlock",
       [](HWND h) {
         int nStart = kUntouched, nEnd = kUntouched;
         Mirel_GetBlock(h, &nStart, &nEnd);
         return Changed(nStart != kUntouched || nEnd != kUntouched);
       }},
      Result("Mirel_IsSelected", [](HWND h) { return Mirel_IsSelected(h); }),
      Result("Mirel_IsColumnBlock", [](HWND h) { return Mirel_IsColumnBlock(h); }),
      Result("Mirel_IsColumnMode", [](HWND h) { return Mirel_IsColumnMode(h); }),
      Void("Mirel_SetColumnMode", [](HWND h) { Mirel_SetColumnMode(h, TRUE); }),
      Result("Mirel_IsAutoSelectMode", [](HWND h) { return Mirel_IsAutoSelectMode(h); }),
      Void("Mirel_SetAutoSelect", [](HWND h) { Mirel_SetAutoSelect(h, TRUE); }),
      Result("Mirel_CanPaste", [](HWND h) { return Mirel_CanPaste(h); }),
      Result("Mirel_CanUndo", [](HWND h) { return Mirel_CanUndo(h); }),
      Result("Mirel_CanRedo", [](HWND h) { return Mirel_CanRedo(h); }),
      Void("Mirel_StartUndoGroup", [](HWND h) { Mirel_StartUndoGroup(h); }),
      Void("Mirel_EndUndoGroup", [](HWND h) { Mirel_EndUndoGroup(h); }),
      Void("Mirel_SeparateUndo", [](HWND h) { Mirel_SeparateUndo(h); }),
      Void("Mirel_DeleteLine", [](HWND h) { Mirel_DeleteLine(h); }),
      Void("Mirel_DuplicateLine", [](HWND h) { Mirel_DuplicateLine(h); }),
      Void("Mirel_InsertLine", [](HWND h) { Mirel_InsertLine(h); }),
      Void("Mirel_JoinLines", [](HWND h) { Mirel_JoinLines(h); }),
      Void("Mirel_TransposeLine", [](HWND h) { Mirel_TransposeLine(h); }),
      Void("Mirel_TrimTrailingWhiteSpace", [](HWND h) { Mirel_TrimTrailingWhiteSpace(h); }),
      Void("Mirel_ChangeCase", [](HWND h) { Mirel_ChangeCase(h, 2); }),
      Void("Mirel_ConvertSpaceToTab", [](HWND h) { Mirel_ConvertSpaceToTab(h, FALSE); }),
      Void("Mirel_ConvertTabToSpace", [](HWND h) { Mirel_ConvertTabToSpace(h); }),
      Void("Mirel_InsertPageBreak", [](HWND h) { Mirel_InsertPageBreak(h); }),
      Void("Mirel_InsertDate", [](HWND h) { Mirel_InsertDate(h, "%Y"); }),
      Result("Mirel_IsExistBookmark", [](HWND h) { return Mirel_IsExistBookmark(h); }),
      Result("Mirel_IsExistNamedBookmark", [](HWND h) { return Mirel_IsExistNamedBookmark(h, "1"); }),
      Void("Mirel_Bookmark", [](HWND h) { Mirel_Bookmark(h, 1, 0, nullptr); }),
      Void("Mirel_ClearBookmark", [](HWND h) { Mirel_ClearBookmark(h); }),
      Void("Mirel_MoveBookmark", [](HWND h) { Mirel_MoveBookmark(h, TRUE); }),
      Void("Mirel_GotoNamedBookmark", [](HWND h) { Mirel_GotoNamedBookmark(h, "1"); }),
      Result("Mirel_GetBookmarkCount", [](HWND h) { return Mirel_GetBookmarkCount(h); }),
      Result("Mirel_GetNamedBookmarkCount", [](HWND h) { return Mirel_GetNamedBookmarkCount(h); }),
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
      Result("Mirel_NewFile", [](HWND h) { return Mirel_NewFile(h); }),
      Void("Mirel_Reset", [](HWND h) { Mirel_Reset(h); }),
      Result("Mirel_GetFileEncoding", [](HWND h) { return Mirel_GetFileEncoding(h); }),
      Result("Mirel_GetFileFormat", [](HWND h) { return Mirel_GetFileFormat(h); }),
      {"Mirel_GetNewLineCodeA",
       [](HWND h) { return ReadInto([h](char* b) { return Mirel_GetNewLineCodeA(h, b, 16); }); }},
      Result("Mirel_GetCodePage", [](HWND h) { return Mirel_GetCodePage(h); }),
      Result("Mirel_IsBinary", [](HWND h) { return Mirel_IsBinary(h); }),
      Result("Mirel_GetViewType", [](HWND h) { return Mirel_GetViewType(h); }),
      Result("Mirel_GetWordWrap", [](HWND h) { return Mirel_GetWordWrap(h); }),
      Result("Mirel_GetTabSize", [](HWND h) { return Mirel_GetTabSize(h); }),
      Void("Mirel_SetTabSize", [](HWND h) { Mirel_SetTabSize(h, 8); }),
      Void("Mirel_SetHexCharsPerLine", [](HWND h) { Mirel_SetHexCharsPerLine(h, 8); }),
      Void("Mirel_SetLineSpacing", [](HWND h) { Mirel_SetLineSpacing(h, 150); }),
      Void("Mirel_SetFont", [](HWND h) { Mirel_SetFont(h, &font); }),
      Void("Mirel_SetFontHex", [](HWND h) { Mirel_SetFontHex(h, &font); }),
      Void("Mirel_EnableLineNo", [](HWND h) { Mirel_EnableLineNo(h, TRUE); }),
      Result("Mirel_IsShowLineNo", [](HWND h) { return Mirel_IsShowLineNo(h); }),
      Void("Mirel_EnableRuler", [](HWND h) { Mirel_EnableRuler(h, TRUE); }),
      Result("Mirel_IsShowRuler", [](HWND h) { return Mirel_IsShowRuler(h); }),
      Void("Mirel_EnableIndicatorMargin", [](HWND h) { Mirel_EnableIndicatorMargin(h, TRUE); }),
      Result("Mirel_IsShowIndicatorMargin", [](HWND h) { return Mirel_IsShowIndicatorMargin(h); }),
      Void("Mirel_EnableFolderMargin", [](HWND h) { Mirel_EnableFolderMargin(h, TRUE); }),
      Void("Mirel_ShowBreakCode", [](HWND h) { Mirel_ShowBreakCode(h, TRUE); }),
      Void("Mirel_ShowWhiteSpaceCode", [](HWND h) { Mirel_ShowWhiteSpaceCode(h, TRUE); }),
      Result("Mirel_IsSimpleSpace", [](HWND h) { return Mirel_IsSimpleSpace(h); }),
      Result("Mirel_IsSimpleTab", [](HWND h) { return Mirel_IsSimpleTab(h); }),
      Result("Mirel_IsSimpleEnter", [](HWND h) { return Mirel_IsSimpleEnter(h); }),
      Result("Mirel_IsSimpleEOF", [](HWND h) { return Mirel_IsSimpleEOF(h); }),
      Void("Mirel_SetActiveLineType", [](HWND h) { Mirel_SetActiveLineType(h, 1); }),
      Void("Mirel_SetShowMatchingBrace", [](HWND h) { Mirel_SetShowMatchingBrace(h, TRUE); }),
      Void("Mirel_SetViewType", [](HWND h) { Mirel_SetViewType(h, 2); }),
      Result("Mirel_IsModified", [](HWND h) { return Mirel_IsModified(h); }),
      Void("Mirel_SetModified", [](HWND h) { Mirel_SetModified(h, TRUE); }),
      Result("Mirel_IsReadOnly", [](HWND h) { return Mirel_IsReadOnly(h); }),
      Void("Mirel_SetReadOnly", [](HWND h) { Mirel_SetReadOnly(h, TRUE); }),
      Result("Mirel_IsOverwriteMode", [](HWND h) { return Mirel_IsOverwriteMode(h); }),
      Void("Mirel_SetOverwriteMode", [](HWND h) { Mirel_SetOverwriteMode(h, TRUE); }),
      Void("Mirel_SetAutoIndentation", [](HWND h) { Mirel_SetAutoIndentation(h, TRUE); }),
      Void("Mirel_SetSyntaxIndentation", [](HWND h) { Mirel_SetSyntaxIndentation(h, TRUE); }),
      Void("Mirel_SetSkipEmptyLineOnBlockIndent",
           [](HWND h) { Mirel_SetSkipEmptyLineOnBlockIndent(h, TRUE); }),
      Void("Mirel_SetTabToSpace", [](HWND h) { Mirel_SetTabToSpace(h, TRUE); }),
      Void("Mirel_WantTab", [](HWND h) { Mirel_WantTab(h, TRUE); }),
      Void("Mirel_SetHomeToFirstCol", [](HWND h) { Mirel_SetHomeToFirstCol(h, TRUE); }),
      Void("Mirel_SetForeColor", [](HWND h) { Mirel_SetForeColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetBackColor", [](HWND h) { Mirel_SetBackColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetSelForeColor", [](HWND h) { Mirel_SetSelForeColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetSelBackColor", [](HWND h) { Mirel_SetSelBackColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetActiveLineColor", [](HWND h) { Mirel_SetActiveLineColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetActiveLineBackColor", [](HWND h) { Mirel_SetActiveLineBackColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetLineNoColor", [](HWND h) { Mirel_SetLineNoColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetCodeColor", [](HWND h) { Mirel_SetCodeColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetBookmarkColor", [](HWND h) { Mirel_SetBookmarkColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetBookmarkForeColor", [](HWND h) { Mirel_SetBookmarkForeColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetMatchingBraceForeColor",
           [](HWND h) { Mirel_SetMatchingBraceForeColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetMatchingBraceBackColor",
           [](HWND h) { Mirel_SetMatchingBraceBackColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetFindHighlightColor", [](HWND h) { Mirel_SetFindHighlightColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetFindHighlightBackColor",
           [](HWND h) { Mirel_SetFindHighlightBackColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetCurrentTagColor", [](HWND h) { Mirel_SetCurrentTagColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetCurrentTagForeColor", [](HWND h) { Mirel_SetCurrentTagForeColor(h, RGB(1, 2, 3)); }),
      Void("Mirel_SetCurrentTag", [](HWND h) { Mirel_SetCurrentTag(h, 0); }),
      {"Mirel_SetSyntaxGeneral",
       [](HWND h) {
         MIREL_SYNTAX_INFO def = {};
         def.pszKeywords[0] = " int ";
         MIREL_SYNTAX_COLORS colors = {};
         return static_cast<long long>(Mirel_SetSyntaxGeneral(h, &def, &colors));
       }},
      Void("Mirel_ResetCurrentTag", [](HWND h) { Mirel_ResetCurrentTag(h); }),
      Void("Mirel_SetWordWrap", [](HWND h) { Mirel_SetWordWrap(h, MIREL_WRAP_CHAR); }),
      Result("Mirel_SetCodePage", [](HWND h) { return Mirel_SetCodePage(h, 1252); }),
      Result("Mirel_SetFileEncoding", [](HWND h) { return Mirel_SetFileEncoding(h, MIREL_ENCODING_UTF8); }),
      Result("Mirel_SetFileFormat", [](HWND h) { return Mirel_SetFileFormat(h, MIREL_FILE_FORMAT_LF); }),
      Void("Mirel_ChangeFileFormat", [](HWND h) { Mirel_ChangeFileFormat(h, MIREL_FILE_FORMAT_CR); }),
      Void("Mirel_SetPageBreakCode", [](HWND h) { Mirel_SetPageBreakCode(h, 0x10C); }),
      Void("Mirel_EnableVirtualSpace", [](HWND h) { Mirel_EnableVirtualSpace(h, TRUE); }),
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
      Void("Mirel_AttachA", [](HWND h) { Mirel_AttachA(h, "<", 1, ">", 1, TRUE); }),
      Void("Mirel_AttachOnParagraphA",
           [](HWND h) { Mirel_AttachOnParagraphA(h, "# ", 2, nullptr, 0, TRUE); }),
      Void("Mirel_DetachOnParagraphA",
           [](HWND h) { Mirel_DetachOnParagraphA(h, "# ", 2, nullptr, 0, TRUE); }),
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
      Result("Mirel_MatchBrace", [](HWND h) { return Mirel_MatchBrace(h, 0); }),
      Void("Mirel_SetFindResult", [](HWND h) { Mirel_SetFindResult(h, "a", 1, 0); }),
      Void("Mirel_SetShowFindResult", [](HWND h) { Mirel_SetShowFindResult(h, TRUE); }),
      Result("Mirel_IsShowFindResult", [](HWND h) { return Mirel_IsShowFindResult(h); }),
      Void("Mirel_SetShowHyperLink", [](HWND h) { Mirel_SetShowHyperLink(h, TRUE); }),
      Result("Mirel_IsShowHyperLink", [](HWND h) { return Mirel_IsShowHyperLink(h); }),
      Result("Mirel_InsertColumnsTextA", [](HWND h) { return Mirel_InsertColumnsTextA(h, "ab", 2, TRUE); }),
      Result("Mirel_InsertColumnsNumber",
             [](HWND h) { return Mirel_InsertColumnsNumber(h, 1, 1, FALSE, TRUE, TRUE, TRUE); }),
      Result("Mirel_InsertColumnsNumber2",
             [](HWND h) { return Mirel_InsertColumnsNumber2(h, "%d.", 1, 1, TRUE); }),
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
