// Host definitions: what an installed definition stores, the matchers on
// exact-size buffers, and installing a definition in a document.
#include <string>
#include <utility>
#include <vector>

#include "mirel/syntax/cmrsyntaxdef.h"
#include "syntax_test_util.h"

namespace {

using mirel_syntax_test::AutoColors;
using mirel_syntax_test::BasicDefinition;
using mirel_syntax_test::Encode;
using mirel_syntax_test::Runs;
using mirel_syntax_test::SyntaxDocTest;
using Pair = std::pair<COLORREF, COLORREF>;

CMrSyntaxDef Stored(const MIREL_SYNTAX_INFO& info) {
  CMrSyntaxDef def;
  def.Assign(info, TRUE);
  return def;
}

TEST(SyntaxDefinitionTest, DelimitersStartWithTheBlanks) {
  MIREL_SYNTAX_INFO info = BasicDefinition();
  EXPECT_EQ(*Stored(info).delimiters, " \t\r\n");
  info.pszDelimiters = ".";
  EXPECT_EQ(*Stored(info).delimiters, " \t\r\n.");
  info.pszDelimiters = nullptr;
  EXPECT_EQ(*Stored(info).delimiters, " \t\r\n");
}

TEST(SyntaxDefinitionTest, KeywordsAreLowerCasedWhenCaseIsIgnored) {
  MIREL_SYNTAX_INFO info = BasicDefinition();
  info.pszKeywords[2] = " If Then ";
  info.pszLineComment1 = " REM ";
  info.bLineComment1Word = 1;
  EXPECT_EQ(*Stored(info).keywords[2], " If Then ");
  info.bCaseSensitive = 0;
  const CMrSyntaxDef def = Stored(info);
  EXPECT_EQ(*def.keywords[2], " if then ");
  EXPECT_EQ(*def.lineComment1, " REM ");  // comment word lists stay as given
  EXPECT_FALSE(def.keywords[3].has_value());
}

TEST(SyntaxDefinitionTest, EmptyBracketsAreUndefinedAndScriptOnlyInBase) {
  MIREL_SYNTAX_INFO info = BasicDefinition();
  info.pszBlockComment2Open = "";
  info.pszBlockComment2Close = "";
  info.pszLineComment2 = "";
  info.pszScriptOpen = "<%";
  info.pszScriptClose = "";
  CMrSyntaxDef def = Stored(info);
  EXPECT_FALSE(def.blockComment2Open.has_value());
  EXPECT_FALSE(def.blockComment2Close.has_value());
  EXPECT_FALSE(def.lineComment2.has_value());
  EXPECT_EQ(*def.scriptOpen, "<%");
  EXPECT_FALSE(def.scriptClose.has_value());
  def.Assign(info, FALSE);
  EXPECT_FALSE(def.scriptOpen.has_value());
}

// Matchers read an exact-size copy of the text, so a read past its end is
// caught by the address sanitizer.
class MatcherTest : public ::testing::Test {
 protected:
  CMrSyntaxText Text(const std::string& tmpl, int nEncoding) {
    const std::string bytes = Encode(tmpl, nEncoding).bytes;
    buffer.assign(bytes.begin(), bytes.end());
    return CMrSyntaxText(buffer.data(), 0, static_cast<DWORD>(buffer.size()), nEncoding);
  }
  std::vector<BYTE> buffer;
  CMrSyntaxDef def = Stored(BasicDefinition());
};

TEST_F(MatcherTest, PrefixAtTextEndNeverReadsPast) {
  for (int nEncoding : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE}) {
    const DWORD u = MrUnitSize(nEncoding);
    CMrSyntaxText t = Text("a /", nEncoding);
    DWORD nLen = 0;
    EXPECT_FALSE(def.IsPrefixAt(MR_DEF_BLOCK_COMMENT1_OPEN, t, 2 * u, &nLen));
    EXPECT_FALSE(def.IsPrefixAt(MR_DEF_BLOCK_COMMENT1_OPEN, t, 3 * u, &nLen));
    EXPECT_FALSE(def.IsPrefixAt(MR_DEF_BLOCK_COMMENT1_OPEN, t, 100, &nLen));
    t = Text("a /*", nEncoding);
    EXPECT_TRUE(def.IsPrefixAt(MR_DEF_BLOCK_COMMENT1_OPEN, t, 2 * u, &nLen));
    EXPECT_EQ(nLen, 2 * u);
  }
  // Half a unit at the end of UTF-16 text is no unit.
  buffer = {'/', 0, '*'};
  CMrSyntaxText odd(buffer.data(), 0, 3, MIREL_ENCODING_UTF16LE);
  DWORD nLen = 0;
  EXPECT_FALSE(def.IsPrefixAt(MR_DEF_BLOCK_COMMENT1_OPEN, odd, 0, &nLen));
}

TEST_F(MatcherTest, WideTestsCompareWholeUnits) {
  CMrSyntaxText t = Text("a/*", MIREL_ENCODING_UTF16LE);
  DWORD nLen = 0;
  EXPECT_FALSE(def.IsPrefixAt(MR_DEF_BLOCK_COMMENT1_OPEN, t, 0, &nLen));
  EXPECT_TRUE(def.IsPrefixAt(MR_DEF_BLOCK_COMMENT1_OPEN, t, 2, &nLen));
  // '/' in the low byte of a Hangul unit is not a slash.
  buffer = {'/', 0xAC, '*', 0};
  CMrSyntaxText trap(buffer.data(), 0, 4, MIREL_ENCODING_UTF16LE);
  EXPECT_FALSE(def.IsPrefixAt(MR_DEF_BLOCK_COMMENT1_OPEN, trap, 0, &nLen));
  EXPECT_FALSE(def.IsDelimiter(Text("%", MIREL_ENCODING_UTF16LE), 0));
  EXPECT_TRUE(def.IsDelimiter(Text(" ", MIREL_ENCODING_UTF16LE), 0));
  buffer = {0, 0};
  EXPECT_TRUE(def.IsDelimiter(CMrSyntaxText(buffer.data(), 0, 2, MIREL_ENCODING_UTF16LE), 0));
}

TEST_F(MatcherTest, WordLookups) {
  MIREL_SYNTAX_INFO info = BasicDefinition();
  info.pszKeywords[0] = "\tint\r\nlong  ";
  def = Stored(info);
  CMrSyntaxText w = Text("long", MIREL_ENCODING_UTF16LE);
  EXPECT_TRUE(def.IsKeyword(0, w, 0, 6));
  EXPECT_FALSE(def.IsKeyword(0, w, 0, 4));  // "lon" is no word of the list
  w = Text("in", MIREL_ENCODING_UTF16LE);
  EXPECT_FALSE(def.IsKeyword(0, w, 0, 2));
  EXPECT_FALSE(def.IsKeyword(8, w, 0, 2));
  EXPECT_FALSE(def.IsKeyword(0, w, 2, 0));  // reversed word
  // A word longer than the local frame buffer takes the heap.
  info.pszKeywords[0] = nullptr;
  const std::string longWord(300, 'k');
  const std::string list = " " + longWord + " ";
  info.pszKeywords[1] = list.c_str();
  def = Stored(info);
  CMrSyntaxText a = Text(longWord, MIREL_ENCODING_ANSI);
  EXPECT_TRUE(def.IsKeyword(1, a, 0, 299));
  EXPECT_FALSE(def.IsKeyword(1, a, 1, 299));
  EXPECT_FALSE(def.IsKeyword(0, a, 0, 299));  // undefined list
}

TEST_F(MatcherTest, Numbers) {
  struct Case {
    const char* text;
    bool bNumber;
  };
  const Case cases[] = {{"0", true},    {"42", true},    {"0x1F", true}, {"0XaB", true}, {"0x", true},
                        {"1e5", false}, {"0x1G", false}, {"x1", false},  {"4 2", false}};
  for (int nEncoding : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE}) {
    for (const Case& c : cases) {
      const CMrSyntaxText t = Text(c.text, nEncoding);
      const DWORD nLast = static_cast<DWORD>(buffer.size()) - MrUnitSize(nEncoding);
      EXPECT_EQ(CMrSyntax::IsNumber(t, 0, nLast) != FALSE, c.bNumber) << c.text << " in " << nEncoding;
    }
  }
}

TEST_F(SyntaxDocTest, InstallingLexesEveryParagraphAndAppliesColours) {
  Open(MIREL_ENCODING_ANSI);
  SetBytes("int a\nx\n/* c\nint");
  MIREL_SYNTAX_INFO info = BasicDefinition();
  MIREL_SYNTAX_COLORS colors = AutoColors();
  colors.pairs[MIREL_SYNTAX_PAIR_TEXT] = {0x000000FF, MIREL_CLR_AUTO};
  colors.pairs[MIREL_SYNTAX_PAIR_NUMBER] = {0x00112233, 0x00445566};
  colors.pairs[MIREL_SYNTAX_PAIR_SCRIPT] = {0x00000001, 0x00000002};
  colors.pairs[MIREL_SYNTAX_PAIR_KEYWORD1 + 7] = {0x00000003, 0x00000004};
  ASSERT_EQ(doc.SetSyntaxGeneral(&info, &colors), 1);
  CMrSyntax* pSyntax = doc.pSyntax;
  ASSERT_EQ(pSyntax->GetSyntaxType(), MIREL_SYNTAX_GENERAL);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(pSyntax->GetParaInfo(i)->bParsed, 1) << i;
  EXPECT_EQ(RunsOf(*pSyntax, 3), (Runs{{0, 5}, {3, 0}}));

  auto colour = [pSyntax](int nStyle) {
    COLORREF f = 0, b = 0;
    pSyntax->GetStyleColor(nStyle, &f, &b);
    return std::make_pair(f, b);
  };
  EXPECT_EQ(colour(0), Pair(0x000000FF, MIREL_CLR_AUTO));
  EXPECT_EQ(colour(1), Pair(0x000000FF, MIREL_CLR_AUTO));
  EXPECT_EQ(colour(4), Pair(0x00112233, 0x00445566));
  EXPECT_EQ(colour(9), Pair(0x00FF0000, MIREL_CLR_AUTO));  // kept
  EXPECT_EQ(colour(10), Pair(1, 2));
  EXPECT_EQ(colour(18), Pair(3, 4));
  MIREL_SYNTAX_STYLE defaults[MAX_SYNTAX_STYLE] = {};
  pSyntax->GetDefaultStyleColors(defaults);
  EXPECT_EQ(defaults[1].crFore, MIREL_CLR_AUTO);
  EXPECT_EQ(defaults[10].crBack, 0x0000FFFFu);
}

TEST_F(SyntaxDocTest, HostRecordsAreCopied) {
  Open(MIREL_ENCODING_ANSI);
  SetBytes("int");
  std::string keywords = " int ";
  MIREL_SYNTAX_INFO info = BasicDefinition();
  info.pszKeywords[0] = keywords.c_str();
  MIREL_SYNTAX_COLORS colors = AutoColors();
  ASSERT_EQ(doc.SetSyntaxGeneral(&info, &colors), 1);
  keywords = " xyz ";  // the host's memory changes afterwards
  doc.pSyntax->InvalidateFrom(0);
  doc.pSyntax->ParseUpTo(&doc, 0);
  EXPECT_EQ(RunsOf(*doc.pSyntax, 0), (Runs{{0, 11}, {3, 0}}));
}

TEST_F(SyntaxDocTest, NullRecordsChangeNothing) {
  Open(MIREL_ENCODING_ANSI);
  CMrSyntax* pBefore = doc.pSyntax;
  MIREL_SYNTAX_INFO info = BasicDefinition();
  MIREL_SYNTAX_COLORS colors = AutoColors();
  EXPECT_EQ(doc.SetSyntaxGeneral(nullptr, &colors), 0);
  EXPECT_EQ(doc.SetSyntaxGeneral(&info, nullptr), 0);
  EXPECT_EQ(doc.pSyntax, pBefore);
  doc.SetSyntax(nullptr);
  EXPECT_EQ(doc.pSyntax, pBefore);
}

TEST_F(SyntaxDocTest, InstallingBeforeAnyTextStoreOnlyStoresTheObject) {
  MIREL_SYNTAX_INFO info = BasicDefinition();
  MIREL_SYNTAX_COLORS colors = AutoColors();
  ASSERT_EQ(doc.SetSyntaxGeneral(&info, &colors), 1);
  CMrSyntax* pInstalled = doc.pSyntax;
  Open(MIREL_ENCODING_UTF16LE);
  EXPECT_EQ(doc.pSyntax, pInstalled);
  SetBytes(Encode("x int", MIREL_ENCODING_UTF16LE).bytes);
  doc.pSyntax->ParseUpTo(&doc, 0);
  EXPECT_EQ(RunsOf(*doc.pSyntax, 0), (Runs{{0, 1}, {4, 11}, {10, 0}}));
}

}  // namespace
