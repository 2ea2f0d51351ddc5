// The sample host's C and C++ colouring: the definition is one the control
// reads as meant (word lists framed by spaces, readable and distinct
// colours), a control given it colours C and C++ source, and only C and C++
// file names get it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host_c_syntax.h"
#include "host_syntax_fixture.h"
#include "mirel/cmireldoc.h"
#include "mirel/syntax/cmrsyntax.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

using mirel_host::CSyntaxColors;
using mirel_host::CSyntaxDefinition;

bool IsIdentifier(const std::string& strWord) {
  if (strWord.empty() || std::isdigit(static_cast<unsigned char>(strWord[0]))) return false;
  for (char ch : strWord) {
    if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '_') return false;
  }
  return true;
}

// Relative luminance of an sRGB colour, for the contrast ratio against white.
double Luminance(COLORREF cr) {
  auto channel = [](unsigned v) {
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(GetRValue(cr)) + 0.7152 * channel(GetGValue(cr)) + 0.0722 * channel(GetBValue(cr));
}

TEST(HostCSyntaxDefinition, KeywordListsAreFramedWordListsWithoutRepeats) {
  const MIREL_SYNTAX_INFO& def = CSyntaxDefinition();
  std::set<std::string> seen;
  int nLists = 0;
  for (int i = 0; i < MIREL_SYNTAX_KEYWORD_LISTS; ++i) {
    if (def.pszKeywords[i] == nullptr) continue;
    ++nLists;
    const std::string strList = def.pszKeywords[i];
    SCOPED_TRACE("list " + std::to_string(i + 1));
    // The control finds " word ": an unframed first or last word, or a
    // double space, would hide words or match an empty one.
    ASSERT_GE(strList.size(), 3u);
    EXPECT_EQ(strList.front(), ' ');
    EXPECT_EQ(strList.back(), ' ');
    EXPECT_EQ(strList.find("  "), std::string::npos);
    EXPECT_EQ(strList.find_first_of("\t\r\n"), std::string::npos);
    std::istringstream words(strList);
    std::string strWord;
    while (words >> strWord) {
      EXPECT_TRUE(IsIdentifier(strWord)) << strWord;
      EXPECT_TRUE(seen.insert(strWord).second) << strWord << " is in two lists";
    }
  }
  EXPECT_EQ(nLists, 2);
  // Words are compared as written: C is case-sensitive.
  EXPECT_NE(def.bCaseSensitive, 0);
  // No delimiter may be a character that words of the lists contain.
  ASSERT_NE(def.pszDelimiters, nullptr);
  for (const char* p = def.pszDelimiters; *p != '\0'; ++p) {
    EXPECT_FALSE(std::isalnum(static_cast<unsigned char>(*p)) || *p == '_') << *p;
  }
}

TEST(HostCSyntaxDefinition, ColoursAreReadableOnWhiteAndTellTheKindsApart) {
  const MIREL_SYNTAX_COLORS& colors = CSyntaxColors();
  const int coloured[] = {MIREL_SYNTAX_PAIR_STRING1,
                          MIREL_SYNTAX_PAIR_STRING2,
                          MIREL_SYNTAX_PAIR_NUMBER,
                          MIREL_SYNTAX_PAIR_COMMENT1,
                          MIREL_SYNTAX_PAIR_COMMENT2,
                          MIREL_SYNTAX_PAIR_KEYWORD1 + mirel_host::kCKeywordList,
                          MIREL_SYNTAX_PAIR_KEYWORD1 + mirel_host::kCppKeywordList};
  std::set<COLORREF> distinct;
  for (int nPair : coloured) {
    SCOPED_TRACE("pair " + std::to_string(nPair));
    const COLORREF cr = colors.pairs[nPair].crFore;
    ASSERT_NE(cr, MIREL_CLR_AUTO);
    EXPECT_EQ(cr & 0xFF000000u, 0u);
    // At least the 4.5:1 contrast that ordinary text needs against white.
    EXPECT_GE(1.05 / (Luminance(cr) + 0.05), 4.5);
    distinct.insert(cr);
  }
  EXPECT_EQ(distinct.size(), std::size(coloured));
  // Plain text and every background follow the control's own colours.
  EXPECT_EQ(colors.pairs[MIREL_SYNTAX_PAIR_TEXT].crFore, MIREL_CLR_AUTO);
  for (const MIREL_SYNTAX_COLOR_PAIR& pair : colors.pairs) EXPECT_EQ(pair.crBack, MIREL_CLR_AUTO);
}

TEST(HostCSyntaxFiles, OnlyCAndCppNamesAreColoured) {
  for (const char* pszPath : {"wordcount.c", "samples\\wordcount.c", "dir/x.CPP", "a.h", "b.Hpp", "c.cc"}) {
    EXPECT_TRUE(mirel_host::IsCSourceFile(pszPath)) << pszPath;
  }
  for (const char* pszPath :
       {"notes.txt", "c", "Makefile", "x.c.bak", "src.c\\readme", "src.cpp/", "a.cs", "a.hh.txt", ".c", ""}) {
    EXPECT_FALSE(mirel_host::IsCSourceFile(pszPath)) << pszPath;
  }
}

// A control that the host has given the C definition.
class HostCSyntaxControl : public mirel_test::HostSyntaxControl {
 protected:
  HostCSyntaxControl() : HostSyntaxControl(21) {}
  void Load(const std::vector<std::string>& lines) {
    LoadWith(
        lines,
        [](HWND hCtrl) { return Mirel_SetSyntaxGeneral(hCtrl, &CSyntaxDefinition(), &CSyntaxColors()); },
        MIREL_SYNTAX_GENERAL);
  }
};

constexpr int kText = MIREL_STYLE_TEXT;
constexpr int kString = MIREL_STYLE_STRING1;
constexpr int kChar = MIREL_STYLE_STRING2;
constexpr int kNumber = MIREL_STYLE_NUMBER;
constexpr int kComment = MIREL_STYLE_COMMENT1;
constexpr int kPreprocessor = MIREL_STYLE_COMMENT2;
constexpr int kCKeyword = MIREL_STYLE_KEYWORD1 + mirel_host::kCKeywordList;
constexpr int kCppKeyword = MIREL_STYLE_KEYWORD1 + mirel_host::kCppKeywordList;

TEST_F(HostCSyntaxControl, KeywordsNumbersAndPlainWords) {
  Load({"int main(void) {", "  while(n<10)if(integer+Int)return 0x1F;",
        "  template <typename T> class Counter : public Base {};",
        "  _Bool b = true; static_assert(sizeof(long) >= 4);"});
  EXPECT_EQ(StyleAt(0, "int"), kCKeyword);
  EXPECT_EQ(StyleAt(0, "main"), kText);
  EXPECT_EQ(StyleAt(0, "void"), kCKeyword);
  // Operators and brackets end words, so keywords run into them.
  EXPECT_EQ(StyleAt(1, "while"), kCKeyword);
  EXPECT_EQ(StyleAt(1, "10"), kNumber);
  EXPECT_EQ(StyleAt(1, "if"), kCKeyword);
  EXPECT_EQ(StyleAt(1, "integer"), kText);  // a keyword inside a longer word
  EXPECT_EQ(StyleAt(1, "Int"), kText);      // case counts
  EXPECT_EQ(StyleAt(1, "return"), kCKeyword);
  EXPECT_EQ(StyleAt(1, "0x1F"), kNumber);
  EXPECT_EQ(StyleAt(1, ";"), kText);
  EXPECT_EQ(StyleAt(2, "template"), kCppKeyword);
  EXPECT_EQ(StyleAt(2, "typename"), kCppKeyword);
  EXPECT_EQ(StyleAt(2, "T>"), kText);
  EXPECT_EQ(StyleAt(2, "class"), kCppKeyword);
  EXPECT_EQ(StyleAt(2, "Counter"), kText);
  EXPECT_EQ(StyleAt(2, "public"), kCppKeyword);
  EXPECT_EQ(StyleAt(3, "_Bool"), kCKeyword);
  EXPECT_EQ(StyleAt(3, "true"), kCKeyword);
  EXPECT_EQ(StyleAt(3, "static_assert"), kCKeyword);
  EXPECT_EQ(StyleAt(3, "sizeof"), kCKeyword);
  EXPECT_EQ(StyleAt(3, "long"), kCKeyword);
  EXPECT_EQ(StyleAt(3, "4"), kNumber);
}

TEST_F(HostCSyntaxControl, CommentsStringsCharactersAndPreprocessorLines) {
  Load({"#include <stdio.h> /* not a comment here */", "x = 1; /* a block",
        "   still comment */ int y; // rest \"of\" line",
        "const char* s = \"say \\\"hi\\\" // no comment\"; char q = '\\''; int z;", "#define TWICE(a) \\",
        "  ((a) + (a))", "return 0;"});
  EXPECT_EQ(StyleAt(0, "#include"), kPreprocessor);
  EXPECT_EQ(StyleAt(0, "/*"), kPreprocessor);
  EXPECT_EQ(StyleAt(1, "x"), kText);
  EXPECT_EQ(StyleAt(1, "/*"), kComment);
  // A block comment carries on into the next paragraph and ends at its close.
  EXPECT_EQ(StyleAt(2, "still"), kComment);
  EXPECT_EQ(StyleAt(2, "*/"), kComment);
  EXPECT_EQ(StyleAt(2, "int"), kCKeyword);
  EXPECT_EQ(StyleAt(2, "//"), kComment);
  EXPECT_EQ(StyleAt(2, "of"), kComment);
  EXPECT_EQ(StyleAt(3, "const"), kCKeyword);
  EXPECT_EQ(StyleAt(3, "\"say"), kString);
  // Escaped quotes keep the string open; a comment opening inside is text of it.
  EXPECT_EQ(StyleAt(3, "hi"), kString);
  EXPECT_EQ(StyleAt(3, "// no"), kString);
  EXPECT_EQ(StyleAt(3, "; char"), kText);
  EXPECT_EQ(StyleAt(3, "'"), kChar);
  EXPECT_EQ(StyleAt(3, "'", 2), kChar);
  EXPECT_EQ(StyleAt(3, "int"), kCKeyword);
  // A backslash at the end carries the preprocessor line on.
  EXPECT_EQ(StyleAt(4, "#define"), kPreprocessor);
  EXPECT_EQ(StyleAt(5, "((a)"), kPreprocessor);
  EXPECT_EQ(StyleAt(6, "return"), kCKeyword);
}

TEST_F(HostCSyntaxControl, StylesCarryTheHostColours) {
  Load({"int x;"});
  const CMrSyntax* pSyntax = m_pdoc->GetSyntax();
  const MIREL_SYNTAX_COLORS& colors = CSyntaxColors();
  const struct {
    int nStyle;
    int nPair;
  } expected[] = {{kString, MIREL_SYNTAX_PAIR_STRING1},
                  {kChar, MIREL_SYNTAX_PAIR_STRING2},
                  {kNumber, MIREL_SYNTAX_PAIR_NUMBER},
                  {kComment, MIREL_SYNTAX_PAIR_COMMENT1},
                  {kPreprocessor, MIREL_SYNTAX_PAIR_COMMENT2},
                  {kCKeyword, MIREL_SYNTAX_PAIR_KEYWORD1 + mirel_host::kCKeywordList},
                  {kCppKeyword, MIREL_SYNTAX_PAIR_KEYWORD1 + mirel_host::kCppKeywordList},
                  {kText, MIREL_SYNTAX_PAIR_TEXT}};
  for (const auto& e : expected) {
    COLORREF crFore = 0;
    COLORREF crBack = 0;
    pSyntax->GetStyleColor(e.nStyle, &crFore, &crBack);
    EXPECT_EQ(crFore, colors.pairs[e.nPair].crFore) << "style " << e.nStyle;
    EXPECT_EQ(crBack, MIREL_CLR_AUTO) << "style " << e.nStyle;
  }
  EXPECT_EQ(StyleAt(0, "int"), kCKeyword);
}

}  // namespace
