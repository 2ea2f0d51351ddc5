// The two HTML lexers: the style of every byte and the end states of each
// paragraph, for tags, comments, script and style blocks, server sections
// and unterminated constructs, in ANSI, UTF-8 and UTF-16.
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "mirel/syntax/cmrsyntaxhtml.h"
#include "mirel/syntax/cmrsyntaxhtmlembedded.h"
#include "syntax_test_util.h"

namespace {

using mirel_syntax_test::AutoColors;
using mirel_syntax_test::Encoded;
using mirel_syntax_test::SyntaxDocTest;

// {count of template characters, style}.
using Spans = std::vector<std::pair<int, int>>;

struct Para {
  std::string text;  // template (see Encode)
  Spans styles;
  std::vector<int> endStates;  // nEndState, nEndSubState (and nEndSubState2)
};

struct Defs {
  MIREL_SYNTAX_INFO server = {};
  MIREL_SYNTAX_INFO html = {};
  MIREL_SYNTAX_INFO script = {};
};

// Tags with the delimiters < > / =, double-quoted values, <!-- --> comments
// and the tag name b; scripts with "strings", // and /* */ comments and the
// keyword var; server sections <? ?> with the keyword if.
Defs StandardDefs() {
  Defs d;
  d.html = mirel_syntax_test::HtmlDefinition();
  d.script = mirel_syntax_test::BasicDefinition();
  d.script.pszDelimiters = "=;(){}";
  d.script.pszKeywords[0] = " var ";
  d.server = mirel_syntax_test::BasicDefinition();
  d.server.pszLineComment1 = nullptr;
  d.server.pszKeywords[0] = " if ";
  d.server.pszScriptOpen = "<?";
  d.server.pszScriptClose = "?>";
  return d;
}

using Case = mirel_syntax_test::LexerCase<Defs, Para>;
constexpr auto NoChange = mirel_syntax_test::NoChange<Defs>;

const std::vector<Case>& HtmlCases() {
  static const std::vector<Case> kCases = {
      {"BlankAfterScriptTagIsText",
       NoChange,
       {{"<script> var x", {{8, 9}, {1, 1}, {3, 49}, {2, 39}}, {8, 18}}}},
      {"CapitalScriptTag", NoChange, {{"<SCRIPT>var", {{8, 9}, {3, 49}}, {8, 18}}}},
      {"TagNamedScriptsIsOrdinary", NoChange, {{"<scripts>x", {{1, 9}, {7, 1}, {1, 9}, {1, 1}}, {1, 18}}}},
      {"TagKeywordAndQuotedValue",
       NoChange,
       {{"<b a=\"x\">t", {{1, 9}, {1, 11}, {3, 1}, {3, 2}, {1, 9}, {1, 1}}, {1, 18}}}},
      {"ScriptTagWithAttributes",
       NoChange,
       {{"<script type=\"t\">var", {{8, 9}, {5, 1}, {3, 2}, {1, 9}, {3, 49}}, {8, 18}}}},
      {"ClosingTagEndsScriptString",
       NoChange,
       {{"<script>s=\"</script>x", {{8, 9}, {2, 1}, {1, 40}, {9, 9}, {1, 1}}, {1, 18}}}},
      {"ClosingTagEndsScriptLineComment",
       NoChange,
       {{"<script>x // c </script>y", {{8, 9}, {2, 1}, {5, 43}, {9, 9}, {1, 1}}, {1, 18}}}},
      {"ClosingTagWithAttributesEndsScript",
       NoChange,
       {{"<script>x</script a=\"1\">y", {{8, 9}, {1, 1}, {8, 9}, {3, 1}, {3, 2}, {1, 9}, {1, 1}}, {1, 18}},
        {"var", {{3, 1}}, {1, 18}}}},
      {"ClosingTagAtParagraphEndEndsScript",
       NoChange,
       {{"<script>x</script", {{8, 9}, {1, 1}, {8, 9}}, {1, 18}}, {"var", {{3, 1}}, {1, 18}}}},
      {"CommentInTextAcrossParagraphs",
       NoChange,
       {{"a<!-- b", {{1, 1}, {6, 5}}, {11, 18}}, {"", {}, {11, 18}}, {"c --> d", {{5, 5}, {2, 1}}, {1, 18}}}},
      {"CommentInTagReturnsToTag",
       NoChange,
       {{"<b <!-- x", {{1, 9}, {1, 11}, {1, 1}, {6, 5}}, {13, 18}},
        {"y --> c>z", {{5, 5}, {3, 9}, {1, 1}}, {1, 18}}}},
      {"UnclosedTagEndsWithParagraph",
       NoChange,
       {{"<b x", {{1, 9}, {1, 11}, {2, 1}}, {1, 18}}, {"y", {{1, 1}}, {1, 18}}}},
      {"UnclosedQuotedValueEndsWithParagraph",
       NoChange,
       {{"<a x=\"y", {{1, 9}, {4, 1}, {2, 2}}, {1, 18}}, {"b>", {{2, 1}}, {1, 18}}}},
      {"ScriptStringClosedAtParagraphEnd",
       NoChange,
       {{"<script>\"ab", {{8, 9}, {3, 40}}, {8, 18}}, {"c\"", {{1, 39}, {1, 40}}, {8, 18}}}},
      {"ContinuationCarriesScriptString",
       [](Defs& d) { d.script.chContinuation = '\\'; },
       {{"<script>\"a\\", {{8, 9}, {3, 40}}, {8, 19}}, {"b\" x", {{2, 40}, {2, 39}}, {8, 18}}}},
      {"ScriptBlockCommentAcrossParagraphs",
       NoChange,
       {{"<script>/* a", {{8, 9}, {4, 43}}, {8, 23}}, {"b */ var", {{4, 43}, {1, 39}, {3, 49}}, {8, 18}}}},
      {"StyleBlockIsAnOrdinaryTagAndText",
       NoChange,
       {{"<style>b{}</style>", {{1, 9}, {5, 1}, {1, 9}, {3, 1}, {2, 9}, {5, 1}, {1, 9}}, {1, 18}}}},
      {"ScriptTagCutByTextEndIsOrdinary", NoChange, {{"x <scrip", {{2, 1}, {1, 9}, {5, 1}}, {1, 18}}}},
      {"CommentOpeningCutByTextEnd", NoChange, {{"x <!-", {{2, 1}, {1, 9}, {2, 1}}, {1, 18}}}},
      {"HangulUnitsAreNeitherQuotesNorLetters",
       NoChange,
       {{"<b ~>x<scr^pt>@",
         {{1, 9}, {1, 11}, {2, 1}, {1, 9}, {1, 1}, {1, 9}, {6, 1}, {1, 9}, {1, 1}},
         {1, 18}}}},
      {"LineCommentInTextStopsLexing",
       [](Defs& d) { d.html.pszLineComment1 = "##"; },
       {{"a ## <b>", {{2, 1}, {6, 5}}, {1, 18}}}},
      {"EmptyStringsAndNoDelimitersNeverHang",
       [](Defs& d) {
         d.html = {};
         d.html.pszDelimiters = "";
         d.html.pszBlockComment1Open = "";
         d.html.pszBlockComment1Close = "";
         d.html.pszLineComment1 = "";
         d.script = {};
         d.script.pszBlockComment1Open = "";
       },
       {{"<a>x<script>y", {{1, 9}, {11, 1}, {1, 1}}, {1, 18}}}},
  };
  return kCases;
}

const std::vector<Case>& EmbeddedCases() {
  static const std::vector<Case> kCases = {
      {"ServerSectionInText",
       NoChange,
       {{"<?if x?>t", {{2, 10}, {2, 11}, {2, 1}, {2, 10}, {1, 20}}, {1, 34, 49}}}},
      {"ServerSectionInQuotedValue",
       NoChange,
       {{"<a href=\"<?x?>y\">z",
         {{1, 28}, {7, 20}, {1, 21}, {2, 10}, {1, 1}, {2, 10}, {2, 21}, {1, 28}, {1, 20}},
         {1, 34, 49}}}},
      {"ServerSectionInClientString",
       NoChange,
       {{"<script>s=\"a<?x?>b\";",
         {{8, 28}, {2, 20}, {2, 40}, {2, 10}, {1, 1}, {2, 10}, {3, 39}},
         {15, 34, 49}}}},
      {"ServerSectionOpenAtParagraphEnd",
       NoChange,
       {{"a<?if", {{1, 20}, {2, 10}, {2, 11}}, {2, 34, 49}},
        {"x?>b", {{1, 1}, {2, 10}, {1, 20}}, {1, 34, 49}}}},
      {"NoServerSectionInHtmlLineComment",
       [](Defs& d) { d.html.pszLineComment1 = "##"; },
       {{"## <?x", {{6, 24}}, {1, 34, 49}}}},
      {"ServerNumber", NoChange, {{"<?42 ?>", {{2, 10}, {2, 4}, {1, 1}, {2, 10}}, {1, 34, 49}}}},
      {"ClosingTagEndsClientString",
       NoChange,
       {{"<script>\"a</script>b", {{8, 28}, {2, 40}, {9, 28}, {1, 20}}, {1, 34, 49}}}},
      {"ClientBlockCommentAcrossParagraphs",
       NoChange,
       {{"<script>/* a", {{8, 28}, {4, 43}}, {15, 44, 49}},
        {"b */ var", {{4, 43}, {1, 39}, {3, 49}}, {15, 34, 49}}}},
      {"ServerSectionInClientBodyAcrossParagraphs",
       NoChange,
       {{"<script>x<?if", {{8, 28}, {1, 20}, {2, 10}, {2, 11}}, {16, 34, 49}},
        {"?>y", {{2, 10}, {1, 39}}, {15, 34, 49}}}},
      {"ServerBlockCommentAcrossParagraphs",
       NoChange,
       {{"<?/*a", {{2, 10}, {3, 5}}, {2, 34, 54}}, {"b*/?>c", {{3, 5}, {2, 10}, {1, 20}}, {1, 34, 49}}}},
      {"TagsAndCommentsInHtmlTable",
       NoChange,
       {{"<b>x<!--y-->", {{1, 28}, {1, 30}, {1, 28}, {1, 20}, {8, 24}}, {1, 34, 49}}}},
      {"ClosingTagWithBlankEndsClientBody",
       NoChange,
       {{"<script>x</script >var", {{8, 28}, {1, 20}, {8, 28}, {1, 20}, {1, 28}, {3, 20}}, {1, 34, 49}}}},
  };
  return kCases;
}

// Style of every byte from a parsed paragraph's runs; -1 where none holds.
std::vector<int> StylePerByte(CMrSyntax& syntax, int nPara, int nBytes) {
  std::vector<int> out(static_cast<size_t>(nBytes), -1);
  MIREL_PARA_INFO* p = syntax.GetParaInfo(nPara);
  if (p == nullptr || !p->bParsed || p->pRuns == nullptr) return out;
  for (DWORD i = 0; i + 1 < p->nRunAlloc && p->pRuns[i].nStyle != MIREL_STYLE_END; ++i) {
    for (LONG b = p->pRuns[i].nOffset; b < p->pRuns[i + 1].nOffset && b < nBytes; ++b) {
      if (b >= 0) out[static_cast<size_t>(b)] = p->pRuns[i].nStyle;
    }
  }
  return out;
}

// The offset of the terminator run, or -1.
int TerminatorOf(CMrSyntax& syntax, int nPara) {
  MIREL_PARA_INFO* p = syntax.GetParaInfo(nPara);
  if (p == nullptr || p->pRuns == nullptr) return -1;
  for (DWORD i = 0; i < p->nRunAlloc; ++i) {
    if (p->pRuns[i].nStyle == MIREL_STYLE_END) return p->pRuns[i].nOffset;
  }
  return -1;
}

class HtmlRunsTest : public SyntaxDocTest,
                     public ::testing::WithParamInterface<std::tuple<bool, size_t, int>> {
 protected:
  std::unique_ptr<CMrSyntax> Make(bool bEmbedded, const Defs& d) {
    if (bEmbedded) {
      auto p = std::make_unique<CMrSyntaxHtmlEmbedded>(0, FALSE);
      p->SetDefinition(d.server, AutoColors(), d.html, AutoColors(), d.script, AutoColors());
      return p;
    }
    auto p = std::make_unique<CMrSyntaxHtml>(0, FALSE);
    p->SetDefinition(d.html, AutoColors(), d.script, AutoColors());
    return p;
  }
};

TEST_P(HtmlRunsTest, StylesPerByteAndEndStates) {
  const bool bEmbedded = std::get<0>(GetParam());
  const Case& c = (bEmbedded ? EmbeddedCases() : HtmlCases())[std::get<1>(GetParam())];
  const int nEncoding = std::get<2>(GetParam());
  const std::vector<Encoded> encoded = OpenParagraphs(nEncoding, c.paras);
  ASSERT_EQ(doc.nLineCount, static_cast<int>(c.paras.size()));
  Defs d = StandardDefs();
  c.adjust(d);
  std::unique_ptr<CMrSyntax> pSyntax = Make(bEmbedded, d);
  pSyntax->ParseUpTo(&doc, doc.nLineCount - 1);

  for (size_t i = 0; i < c.paras.size(); ++i) {
    const Para& p = c.paras[i];
    const Encoded& e = encoded[i];
    std::vector<int> want;
    size_t nChar = 0;
    for (const auto& span : p.styles) {
      for (int k = 0; k < span.first; ++k, ++nChar) {
        ASSERT_LT(nChar + 1, e.offsets.size()) << "template of paragraph " << i;
        for (int b = e.offsets[nChar]; b < e.offsets[nChar + 1]; ++b) want.push_back(span.second);
      }
    }
    ASSERT_EQ(nChar + 1, e.offsets.size()) << "template of paragraph " << i;
    const int nBytes = static_cast<int>(e.bytes.size());
    const int nPara = static_cast<int>(i);
    EXPECT_EQ(StylePerByte(*pSyntax, nPara, nBytes), want) << "paragraph " << i;
    EXPECT_EQ(TerminatorOf(*pSyntax, nPara), nBytes) << "paragraph " << i;
    MIREL_PARA_INFO* pInfo = pSyntax->GetParaInfo(nPara);
    ASSERT_NE(pInfo, nullptr);
    std::vector<int> ends = {pInfo->nEndState, pInfo->nEndSubState};
    if (bEmbedded) ends.push_back(pInfo->nEndSubState2);
    EXPECT_EQ(ends, p.endStates) << "paragraph " << i;
  }
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<bool, size_t, int>>& info) {
  const bool bEmbedded = std::get<0>(info.param);
  const Case& c = (bEmbedded ? EmbeddedCases() : HtmlCases())[std::get<1>(info.param)];
  return std::string(bEmbedded ? "Embedded_" : "Html_") + c.pszName + "_" +
         mirel_syntax_test::LexerEncodingName(std::get<2>(info.param));
}

const auto kEncodings = mirel_syntax_test::LexerEncodings();

INSTANTIATE_TEST_SUITE_P(Html, HtmlRunsTest,
                         ::testing::Combine(::testing::Values(false),
                                            ::testing::Range<size_t>(0, HtmlCases().size()), kEncodings),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(Embedded, HtmlRunsTest,
                         ::testing::Combine(::testing::Values(true),
                                            ::testing::Range<size_t>(0, EmbeddedCases().size()), kEncodings),
                         CaseName);

}  // namespace
