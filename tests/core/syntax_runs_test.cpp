// Run lists of the keyword-language lexer: each text in, the {offset, style}
// list of every paragraph and its end state out, in ANSI, UTF-8 and UTF-16.
#include <string>
#include <tuple>
#include <vector>

#include "syntax_test_util.h"

namespace {

using mirel_syntax_test::BasicDefinition;
using mirel_syntax_test::Encoded;
using mirel_syntax_test::Runs;
using mirel_syntax_test::SyntaxDocTest;

struct Para {
  std::string text;  // template (see Encode)
  Runs runs;         // offsets in template characters
  int nEndState;
  Runs wideRuns;  // when 2-byte text gives other runs
};

using Case = mirel_syntax_test::LexerCase<MIREL_SYNTAX_INFO, Para>;
constexpr auto NoChange = mirel_syntax_test::NoChange<MIREL_SYNTAX_INFO>;

const std::vector<Case>& Cases() {
  static const std::vector<Case> kCases = {
      {"KeywordReplacesStartRunAndWordWithPunctuationStaysPlain",
       NoChange,
       {{"int x;", {{0, 11}, {3, 1}, {6, 0}}, 1, {}}}},
      {"WordRunningIntoQuoteIsNotClassified", NoChange, {{"int\"a\"", {{0, 1}, {3, 2}, {6, 0}}, 1, {}}}},
      {"WordRightAfterClosingQuoteIsClassified", NoChange, {{"\"a\"int", {{0, 2}, {3, 11}, {6, 0}}, 1, {}}}},
      {"EmptyParagraphHoldsOnlyTheTerminator", NoChange, {{"", {{0, 0}}, 1, {}}}},
      {"BlockCommentCarriesThroughEmptyParagraph",
       NoChange,
       {{"a /* b", {{0, 1}, {2, 5}, {6, 0}}, 6, {}},
        {"", {{0, 0}}, 6, {}},
        {"c */ int", {{0, 5}, {4, 1}, {5, 11}, {8, 0}}, 1, {}}}},
      {"WordRunningIntoBlockCommentIsNotClassified",
       NoChange,
       {{"int/*c*/", {{0, 1}, {3, 5}, {8, 0}}, 1, {}}}},
      {"UnterminatedStringEndsWithItsParagraph",
       NoChange,
       {{"x = \"ab", {{0, 1}, {4, 2}, {7, 0}}, 1, {}}, {"y", {{0, 1}, {1, 0}}, 1, {}}}},
      {"ContinuationCarriesStringIntoNextParagraph",
       [](MIREL_SYNTAX_INFO& d) { d.chContinuation = '\\'; },
       {{"s = \"a\\", {{0, 1}, {4, 2}, {7, 0}}, 2, {}},
        {"b\" int", {{0, 2}, {2, 1}, {3, 11}, {6, 0}}, 1, {}}}},
      {"Numbers", NoChange, {{"0x1F 0x 1e5 42", {{0, 4}, {4, 1}, {5, 4}, {7, 1}, {12, 4}, {14, 0}}, 1, {}}}},
      {"EscapeKeepsStringOpen",
       [](MIREL_SYNTAX_INFO& d) { d.chEscape = '\\'; },
       {{"\"a\\\"b\" c", {{0, 2}, {6, 1}, {8, 0}}, 1, {}}}},
      {"EscapeAsLastUnitDoesNotRunPastParagraph",
       [](MIREL_SYNTAX_INFO& d) { d.chEscape = '\\'; },
       {{"\"a\\", {{0, 2}, {3, 0}}, 1, {}}, {"int", {{0, 11}, {3, 0}}, 1, {}}}},
      {"LineCommentPrefixStopsLexing",
       NoChange,
       {{"x // int", {{0, 1}, {2, 5}, {8, 0}}, 1, {}}, {"int", {{0, 11}, {3, 0}}, 1, {}}}},
      {"ContinuationCarriesLineComment",
       [](MIREL_SYNTAX_INFO& d) { d.chContinuation = '\\'; },
       {{"x // a\\", {{0, 1}, {2, 5}, {7, 0}}, 4, {}}, {"int", {{0, 5}, {3, 0}}, 1, {}}}},
      {"LineCommentWordMatchesFoldedWord",
       [](MIREL_SYNTAX_INFO& d) {
         d.bCaseSensitive = 0;
         d.bLineComment1Word = 1;
         d.pszLineComment1 = " rem ";
       },
       {{"REM int", {{0, 5}, {7, 0}}, 1, {}}}},
      {"UpperCaseCommentWordListMatchesOnlyIn2ByteText",
       [](MIREL_SYNTAX_INFO& d) {
         d.bCaseSensitive = 0;
         d.bLineComment2Word = 1;
         d.pszLineComment2 = " REM ";
       },
       {{"REM x", {{0, 1}, {5, 0}}, 1, {{0, 6}, {5, 0}}}}},
      {"CaseInsensitiveKeywords",
       [](MIREL_SYNTAX_INFO& d) {
         d.bCaseSensitive = 0;
         d.pszKeywords[0] = " If Then ";
       },
       {{"IF x THEN", {{0, 11}, {2, 1}, {5, 11}, {9, 0}}, 1, {}}}},
      {"CaseSensitiveKeywordsKeepTheirCase",
       [](MIREL_SYNTAX_INFO& d) { d.pszKeywords[0] = " If "; },
       {{"if If", {{0, 1}, {3, 11}, {5, 0}}, 1, {}}}},
      {"ListWithoutLeadingSpaceMissesFirstWordIn8BitText",
       [](MIREL_SYNTAX_INFO& d) { d.pszKeywords[0] = "int float"; },
       {{"int", {{0, 1}, {3, 0}}, 1, {{0, 11}, {3, 0}}}}},
      {"SecondKeywordList",
       [](MIREL_SYNTAX_INFO& d) { d.pszKeywords[1] = " x "; },
       {{"int x", {{0, 11}, {3, 1}, {4, 12}, {5, 0}}, 1, {}}}},
      {"SecondQuoteAndSecondBlockComment",
       [](MIREL_SYNTAX_INFO& d) {
         d.chQuote2 = '\'';
         d.pszBlockComment2Open = "(*";
         d.pszBlockComment2Close = "*)";
       },
       {{"'a' (*b", {{0, 3}, {3, 1}, {4, 6}, {7, 0}}, 7, {}}, {"*)int", {{0, 6}, {2, 11}, {5, 0}}, 1, {}}}},
      {"CommentOpeningCutByTextEndDoesNotMatch", NoChange, {{"a /", {{0, 1}, {3, 0}}, 1, {}}}},
      {"ExtraDelimiterEndsWord",
       [](MIREL_SYNTAX_INFO& d) { d.pszDelimiters = ";"; },
       {{"int;x", {{0, 11}, {3, 1}, {5, 0}}, 1, {}}}},
      {"PunctuationIsNoDelimiterUnlessDefined", NoChange, {{"int;", {{0, 1}, {4, 0}}, 1, {}}}},
      {"KeywordAtParagraphEnd", NoChange, {{"x int", {{0, 1}, {2, 11}, {5, 0}}, 1, {}}}},
      {"HangulInsideString", NoChange, {{"\"@\" int", {{0, 2}, {3, 1}, {4, 11}, {7, 0}}, 1, {}}}},
      {"UnitWithQuoteLowByteIsNoQuote", NoChange, {{"~int x", {{0, 1}, {6, 0}}, 1, {}}}},
      {"UnitWithLetterLowByteIsNoLetter", NoChange, {{"^nt x", {{0, 1}, {5, 0}}, 1, {}}}},
      {"UnitWithSpaceLowByteIsNoDelimiter", NoChange, {{"int%int", {{0, 1}, {7, 0}}, 1, {}}}},
      {"EmptyCommentStringsAreUndefined",
       [](MIREL_SYNTAX_INFO& d) {
         d.pszBlockComment1Open = "";
         d.pszBlockComment2Open = "";
         d.pszLineComment1 = "";
       },
       {{"a // int", {{0, 1}, {5, 11}, {8, 0}}, 1, {}}}},
  };
  return kCases;
}

class GeneralRunsTest : public SyntaxDocTest,
                        public ::testing::WithParamInterface<std::tuple<size_t, int>> {};

TEST_P(GeneralRunsTest, RunsAndEndStates) {
  const Case& c = Cases()[std::get<0>(GetParam())];
  const int nEncoding = std::get<1>(GetParam());
  const std::vector<Encoded> encoded = OpenParagraphs(nEncoding, c.paras);
  ASSERT_EQ(doc.nLineCount, static_cast<int>(c.paras.size()));

  MIREL_SYNTAX_INFO info = BasicDefinition();
  c.adjust(info);
  CMrSyntaxGeneral* pSyntax = MakeGeneral(info);
  pSyntax->ParseUpTo(&doc, doc.nLineCount - 1);

  for (size_t i = 0; i < c.paras.size(); ++i) {
    const Para& p = c.paras[i];
    const Runs& want = (IsWideEncoding(nEncoding) && !p.wideRuns.empty()) ? p.wideRuns : p.runs;
    Runs expected;
    for (const auto& r : want) expected.push_back({encoded[i].offsets[r.nOffset], r.nStyle});
    EXPECT_EQ(RunsOf(*pSyntax, static_cast<int>(i)), expected) << "paragraph " << i;
    EXPECT_EQ(EndStateOf(*pSyntax, static_cast<int>(i)), p.nEndState) << "paragraph " << i;
  }
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<size_t, int>>& info) {
  return std::string(Cases()[std::get<0>(info.param)].pszName) + "_" +
         mirel_syntax_test::LexerEncodingName(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(Texts, GeneralRunsTest,
                         ::testing::Combine(::testing::Range<size_t>(0, Cases().size()),
                                            mirel_syntax_test::LexerEncodings()),
                         CaseName);

}  // namespace
