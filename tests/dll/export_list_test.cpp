// The whole flat interface: the module definition file, both built
// libraries and the public header each name exactly these 152 functions,
// undecorated, two of them without the Mirel_ prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <regex>
#include <set>
#include <string>

#include "dll_paths.h"

namespace {

const std::set<std::string>& FullInterface() {
  static const std::set<std::string> names = {
      "Delete",
      "DeleteWord",
      "Mirel_AttachA",
      "Mirel_AttachOnParagraphA",
      "Mirel_Bookmark",
      "Mirel_CanPaste",
      "Mirel_CanRedo",
      "Mirel_CanUndo",
      "Mirel_ChangeCase",
      "Mirel_ChangeFileFormat",
      "Mirel_ClearBookmark",
      "Mirel_ConvertSpaceToTab",
      "Mirel_ConvertTabToSpace",
      "Mirel_Create",
      "Mirel_DeleteLine",
      "Mirel_Destroy",
      "Mirel_DetachOnParagraphA",
      "Mirel_DetermineEncoding",
      "Mirel_DetermineFileFormat",
      "Mirel_DuplicateLine",
      "Mirel_EnableFolderMargin",
      "Mirel_EnableIndicatorMargin",
      "Mirel_EnableLineNo",
      "Mirel_EnableRuler",
      "Mirel_EnableVirtualSpace",
      "Mirel_EndPrint",
      "Mirel_EndUndoGroup",
      "Mirel_FindTextA",
      "Mirel_GetBlock",
      "Mirel_GetBlockColumnCount",
      "Mirel_GetBookmark",
      "Mirel_GetBookmarkCount",
      "Mirel_GetCodePage",
      "Mirel_GetContentsSize",
      "Mirel_GetCurrentCharLen",
      "Mirel_GetCurrentColumnIndex",
      "Mirel_GetCurrentFilePos",
      "Mirel_GetCurrentParagraphIndex",
      "Mirel_GetCurrentPos",
      "Mirel_GetCurrentWord",
      "Mirel_GetCurrentWordInLine",
      "Mirel_GetFileBuffer",
      "Mirel_GetFileEncoding",
      "Mirel_GetFileFormat",
      "Mirel_GetFileSize",
      "Mirel_GetLineCount",
      "Mirel_GetNamedBookmark",
      "Mirel_GetNamedBookmarkCount",
      "Mirel_GetNewLineCodeA",
      "Mirel_GetParagraph",
      "Mirel_GetParagraphCount",
      "Mirel_GetParagraphIndex",
      "Mirel_GetTabSize",
      "Mirel_GetTextA",
      "Mirel_GetTextU",
      "Mirel_GetTextW",
      "Mirel_GetViewType",
      "Mirel_GetWordWrap",
      "Mirel_Goto",
      "Mirel_GotoNamedBookmark",
      "Mirel_InsertA",
      "Mirel_InsertColumnsNumber",
      "Mirel_InsertColumnsNumber2",
      "Mirel_InsertColumnsTextA",
      "Mirel_InsertDate",
      "Mirel_InsertLine",
      "Mirel_InsertPageBreak",
      "Mirel_InsertU",
      "Mirel_InsertW",
      "Mirel_IsAutoSelectMode",
      "Mirel_IsBinary",
      "Mirel_IsColumnBlock",
      "Mirel_IsColumnMode",
      "Mirel_IsDelimiter",
      "Mirel_IsExistBookmark",
      "Mirel_IsExistNamedBookmark",
      "Mirel_IsModified",
      "Mirel_IsOverwriteMode",
      "Mirel_IsReadOnly",
      "Mirel_IsSelected",
      "Mirel_IsShowFindResult",
      "Mirel_IsShowHyperLink",
      "Mirel_IsShowIndicatorMargin",
      "Mirel_IsShowLineNo",
      "Mirel_IsShowRuler",
      "Mirel_IsSimpleEOF",
      "Mirel_IsSimpleEnter",
      "Mirel_IsSimpleSpace",
      "Mirel_IsSimpleTab",
      "Mirel_JoinLines",
      "Mirel_MatchBrace",
      "Mirel_MoveBookmark",
      "Mirel_NewFile",
      "Mirel_PreparePrint",
      "Mirel_PrintPage",
      "Mirel_ReplaceTextA",
      "Mirel_Reset",
      "Mirel_ResetCurrentTag",
      "Mirel_SeparateUndo",
      "Mirel_SetActiveLineBackColor",
      "Mirel_SetActiveLineColor",
      "Mirel_SetActiveLineType",
      "Mirel_SetAutoIndentation",
      "Mirel_SetAutoSelect",
      "Mirel_SetBackColor",
      "Mirel_SetBookmarkColor",
      "Mirel_SetBookmarkForeColor",
      "Mirel_SetCodeColor",
      "Mirel_SetCodePage",
      "Mirel_SetColumnMode",
      "Mirel_SetCurrentTag",
      "Mirel_SetCurrentTagColor",
      "Mirel_SetCurrentTagForeColor",
      "Mirel_SetFileEncoding",
      "Mirel_SetFileFormat",
      "Mirel_SetFindHighlightBackColor",
      "Mirel_SetFindHighlightColor",
      "Mirel_SetFindResult",
      "Mirel_SetFont",
      "Mirel_SetFontHex",
      "Mirel_SetForeColor",
      "Mirel_SetHexCharsPerLine",
      "Mirel_SetHomeToFirstCol",
      "Mirel_SetLineNoColor",
      "Mirel_SetLineSpacing",
      "Mirel_SetMatchingBraceBackColor",
      "Mirel_SetMatchingBraceForeColor",
      "Mirel_SetModified",
      "Mirel_SetOverwriteMode",
      "Mirel_SetPageBreakCode",
      "Mirel_SetReadOnly",
      "Mirel_SetSel",
      "Mirel_SetSelBackColor",
      "Mirel_SetSelForeColor",
      "Mirel_SetShowFindResult",
      "Mirel_SetShowHyperLink",
      "Mirel_SetShowMatchingBrace",
      "Mirel_SetSkipEmptyLineOnBlockIndent",
      "Mirel_SetSyntaxGeneral",
      "Mirel_SetSyntaxHtml",
      "Mirel_SetSyntaxHtmlEmbedded",
      "Mirel_SetSyntaxIndentation",
      "Mirel_SetTabSize",
      "Mirel_SetTabToSpace",
      "Mirel_SetViewType",
      "Mirel_SetWordWrap",
      "Mirel_ShowBreakCode",
      "Mirel_ShowWhiteSpaceCode",
      "Mirel_StartUndoGroup",
      "Mirel_TransposeLine",
      "Mirel_TrimTrailingWhiteSpace",
      "Mirel_WantTab",
  };
  return names;
}

std::string ReadFile(const char* pszPath) {
  std::string out;
  FILE* f = std::fopen(pszPath, "rb");
  if (f == nullptr) return out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  std::fclose(f);
  return out;
}

TEST(ExportList, HoldsTheFullInterfaceWithTwoUnprefixedNames) {
  EXPECT_EQ(FullInterface().size(), 152u);
  size_t nPrefixed = 0;
  for (const std::string& name : FullInterface()) nPrefixed += name.rfind("Mirel_", 0) == 0 ? 1 : 0;
  EXPECT_EQ(nPrefixed, 150u);
  EXPECT_EQ(FullInterface().count("Delete"), 1u);
  EXPECT_EQ(FullInterface().count("DeleteWord"), 1u);
}

TEST(ExportList, TheModuleDefinitionFileNamesEveryFunctionOnce) {
  const std::string def = ReadFile(MIREL_DEF_PATH);
  ASSERT_FALSE(def.empty()) << MIREL_DEF_PATH;
  const size_t nExports = def.find("EXPORTS");
  ASSERT_NE(nExports, std::string::npos);
  std::multiset<std::string> listed;
  const std::regex word(R"(^[ \t]*([A-Za-z_][A-Za-z0-9_]*))", std::regex::multiline);
  const std::string rest = def.substr(nExports + 7);
  for (std::sregex_iterator it(rest.begin(), rest.end(), word), end; it != end; ++it) listed.insert((*it)[1]);
  EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()), FullInterface());
  EXPECT_EQ(listed.size(), FullInterface().size());
}

TEST(ExportList, ThePublicHeaderDeclaresEveryFunction) {
  const std::string header = ReadFile(MIREL_HEADER_PATH);
  ASSERT_FALSE(header.empty()) << MIREL_HEADER_PATH;
  std::multiset<std::string> declared;
  const std::regex decl(R"(MIREL_API[^;(]*MIREL_CALL\s+([A-Za-z_][A-Za-z0-9_]*)\s*\()");
  for (std::sregex_iterator it(header.begin(), header.end(), decl), end; it != end; ++it)
    declared.insert((*it)[1]);
  EXPECT_EQ(std::set<std::string>(declared.begin(), declared.end()), FullInterface());
  EXPECT_EQ(declared.size(), FullInterface().size());
}

class LibraryExports : public testing::TestWithParam<const char*> {};

TEST_P(LibraryExports, EveryFunctionIsFoundByItsPlainName) {
  HMODULE module = LoadLibraryA(GetParam());
  ASSERT_NE(module, nullptr) << GetParam();
  for (const std::string& name : FullInterface()) {
    EXPECT_NE(GetProcAddress(module, name.c_str()), nullptr) << name;
    EXPECT_EQ(GetProcAddress(module, ("_" + name).c_str()), nullptr) << name;
  }
  EXPECT_TRUE(FreeLibrary(module));
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, LibraryExports, testing::Values(kReleaseLibrary, kDebugLibrary));

}  // namespace
