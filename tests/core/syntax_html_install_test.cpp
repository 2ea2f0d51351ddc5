// The HTML kinds in a document: installing them from host records, their
// style tables, damaged records, and lazy re-lexing after edits that always
// equals lexing the whole text afresh.
#include <memory>
#include <string>
#include <vector>

#include "mirel/syntax/cmrsyntaxhtml.h"
#include "mirel/syntax/cmrsyntaxhtmlembedded.h"
#include "syntax_test_util.h"

namespace {

using mirel_syntax_test::AutoColors;
using mirel_syntax_test::Encode;
using mirel_syntax_test::HtmlDefinition;
using mirel_syntax_test::Runs;
using mirel_syntax_test::SyntaxDocTest;

// The basic definition with script delimiters, a continuation character and
// the keyword var.
MIREL_SYNTAX_INFO ScriptDef() {
  MIREL_SYNTAX_INFO d = mirel_syntax_test::BasicDefinition();
  d.pszDelimiters = "=;(){}";
  d.chContinuation = '\\';
  d.pszKeywords[0] = " var ";
  return d;
}

MIREL_SYNTAX_INFO ServerDef() {
  MIREL_SYNTAX_INFO d = ScriptDef();
  d.pszScriptOpen = "<?";
  d.pszScriptClose = "?>";
  d.pszKeywords[0] = " if ";
  return d;
}

MIREL_SYNTAX_COLORS Colors(COLORREF crText) {
  MIREL_SYNTAX_COLORS c = AutoColors();
  c.pairs[MIREL_SYNTAX_PAIR_TEXT].crFore = crText;
  c.pairs[MIREL_SYNTAX_PAIR_KEYWORD1].crFore = crText + 1;
  return c;
}

class HtmlInstallTest : public SyntaxDocTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override { Open(GetParam()); }

  int Install(bool bEmbedded) {
    const MIREL_SYNTAX_INFO html = HtmlDefinition(), script = ScriptDef(), server = ServerDef();
    const MIREL_SYNTAX_COLORS c1 = Colors(0x10), c2 = Colors(0x20), c3 = Colors(0x30);
    if (bEmbedded) return doc.SetSyntaxHtmlEmbedded(&server, &c1, &html, &c2, &script, &c3);
    return doc.SetSyntaxHtml(&html, &c1, &script, &c2);
  }
  // A fresh object of the installed kind that lexes the whole text.
  std::unique_ptr<CMrSyntax> Fresh(bool bEmbedded) {
    const MIREL_SYNTAX_INFO html = HtmlDefinition(), script = ScriptDef(), server = ServerDef();
    std::unique_ptr<CMrSyntax> p;
    if (bEmbedded) {
      auto e = std::make_unique<CMrSyntaxHtmlEmbedded>(0, FALSE);
      e->SetDefinition(server, AutoColors(), html, AutoColors(), script, AutoColors());
      p = std::move(e);
    } else {
      auto h = std::make_unique<CMrSyntaxHtml>(0, FALSE);
      h->SetDefinition(html, AutoColors(), script, AutoColors());
      p = std::move(h);
    }
    p->ParseAll(&doc, nullptr);
    return p;
  }
  DWORD Bytes(const std::string& tmpl) { return static_cast<DWORD>(Encode(tmpl, GetParam()).bytes.size()); }
};

TEST_P(HtmlInstallTest, NullRecordsAreRefusedAndTheOldSyntaxStays) {
  SetBytes(Encode("<b>x", GetParam()).bytes);
  const MIREL_SYNTAX_INFO d = HtmlDefinition();
  const MIREL_SYNTAX_COLORS c = AutoColors();
  EXPECT_EQ(doc.SetSyntaxHtml(nullptr, &c, &d, &c), 0);
  EXPECT_EQ(doc.SetSyntaxHtml(&d, &c, &d, nullptr), 0);
  EXPECT_EQ(doc.SetSyntaxHtmlEmbedded(&d, &c, &d, &c, nullptr, &c), 0);
  EXPECT_EQ(doc.SetSyntaxHtmlEmbedded(&d, nullptr, &d, &c, &d, &c), 0);
  EXPECT_EQ(doc.GetSyntax()->GetSyntaxType(), MIREL_SYNTAX_NONE);
}

TEST_P(HtmlInstallTest, InstallingLexesEveryParagraphAndFillsTheTables) {
  SetBytes(Encode("<b>x\n<script>var", GetParam()).bytes);
  for (bool bEmbedded : {false, true}) {
    ASSERT_EQ(Install(bEmbedded), 1);
    CMrSyntax* p = doc.GetSyntax();
    EXPECT_EQ(p->GetSyntaxType(), bEmbedded ? MIREL_SYNTAX_HTML_EMBEDDED : MIREL_SYNTAX_HTML);
    EXPECT_TRUE(p->GetParaInfo(0)->bParsed && p->GetParaInfo(1)->bParsed);
    const int nKeyword = bEmbedded ? 30 : 11;
    EXPECT_EQ(RunsOf(*p, 0)[1].nStyle, nKeyword);
    COLORREF crFore = 0, crBack = 0;
    // Each record's colours reach its own table; style 19 is the HTML table's
    // first record only in the embedded kind.
    p->GetStyleColor(1, &crFore, &crBack);
    EXPECT_EQ(crFore, 0x10u);
    p->GetStyleColor(MIREL_STYLE_SCRIPT + 1, &crFore, &crBack);
    EXPECT_EQ(crFore, bEmbedded ? 0x30u : 0x20u);
    p->GetStyleColor(MIREL_STYLE_SCRIPT + 11, &crFore, &crBack);
    EXPECT_EQ(crFore, bEmbedded ? 0x31u : 0x21u);
    p->GetStyleColor(MIREL_STYLE_HTML + 1, &crFore, &crBack);
    EXPECT_EQ(crFore, bEmbedded ? 0x20u : 0x10u);  // the HTML kind serves style 0
    p->GetStyleColor(MIREL_STYLE_SCRIPT + MAX_SYNTAX_STYLE, &crFore, &crBack);
    EXPECT_EQ(crFore, 0x10u);
  }
}

TEST_P(HtmlInstallTest, ExtraTablesStartWithoutKeywordColours) {
  CMrSyntaxHtml html(0, TRUE);
  CMrSyntaxHtmlEmbedded embedded(0, TRUE);
  COLORREF crFore = 0, crBack = 0;
  html.GetStyleColor(MIREL_STYLE_SCRIPT + 12, &crFore, &crBack);
  EXPECT_EQ(crFore, MIREL_CLR_UNSET);
  EXPECT_EQ(crBack, MIREL_CLR_AUTO);
  embedded.GetStyleColor(MIREL_STYLE_HTML + 10, &crFore, &crBack);
  EXPECT_EQ(crFore, MIREL_CLR_AUTO);
  html.GetStyleColor(MIREL_STYLE_SCRIPT + 7, &crFore, &crBack);  // the script table's record 7
  EXPECT_EQ(crFore, MIREL_CLR_AUTO);
  html.GetStyleColor(20, &crFore, &crBack);
  EXPECT_EQ(crFore, html.styles[0].crFore);
  EXPECT_STREQ(html.GetSyntaxString(1), MR_SYNTAX_DEFAULT_DELIMITERS);
  EXPECT_STREQ(CMrSyntaxDef::Str(embedded.clientDef.delimiters), MR_SYNTAX_DEFAULT_DELIMITERS);
}

TEST_P(HtmlInstallTest, DamagedStatesRestartAtTheInitialOnes) {
  SetBytes(Encode("<script>\nvar", GetParam()).bytes);
  for (bool bEmbedded : {false, true}) {
    ASSERT_EQ(Install(bEmbedded), 1);
    CMrSyntax* p = doc.GetSyntax();
    const int nText = bEmbedded ? 20 : 1;
    // States no paragraph can end in start the next one in the text (18 is
    // the embedded kind's line-comment twin, which does not exist).
    for (BYTE nState : {BYTE{0}, BYTE{3}, static_cast<BYTE>(bEmbedded ? 18 : 17), BYTE{33}, BYTE{200}}) {
      p->GetParaInfo(0)->nEndState = nState;
      p->InvalidateFrom(1);
      p->ParseUpTo(&doc, 1);
      EXPECT_EQ(RunsOf(*p, 1), (Runs{{0, nText}, {static_cast<int>(Bytes("var")), 0}})) << int(nState);
    }
    // A script sub-state out of range restarts the script as code.
    p->GetParaInfo(0)->nEndState = bEmbedded ? 15 : 8;
    p->GetParaInfo(0)->nEndSubState = 99;
    p->GetParaInfo(0)->nEndSubState2 = 7;
    p->InvalidateFrom(1);
    p->ParseUpTo(&doc, 1);
    EXPECT_EQ(RunsOf(*p, 1), (Runs{{0, 49}, {static_cast<int>(Bytes("var")), 0}}));
  }
}

// Edits inside a script block, each followed by a lazy re-lex: the runs and
// end states always equal those of an object that lexes the text afresh.
TEST_P(HtmlInstallTest, IncrementalRelexEqualsFullLex) {
  const std::string kStart =
      "<p>a</p>\n<script>\nvar x = 1;\nvar s = \"t\";\n</script>\n<b>end</b>\n<? if ?>";
  struct Edit {
    const char* pszFind;  // the edit happens before its first occurrence
    const char* pszInsert;
    int nDelete;  // template characters deleted there first
  };
  const std::vector<Edit> kEdits = {
      {"x = 1", "/* ", 0},        {"</script>", "*/", 0},    {"\"t\"", "\"\\", 0}, {"x = 1", "", 3},
      {"var s", "</script>", 0},  {"</script>\n<b>", "", 9}, {"end", "<!-- ", 0},  {"<b>", "<? ", 0},
      {"var s", "\n// c\\\n", 0}, {"<script>", "", 8},
  };
  for (bool bEmbedded : {false, true}) {
    std::string model = kStart;
    SetBytes(Encode(model, GetParam()).bytes);
    ASSERT_EQ(Install(bEmbedded), 1);
    for (const Edit& e : kEdits) {
      const size_t nAt = model.find(e.pszFind);
      ASSERT_NE(nAt, std::string::npos) << e.pszFind;
      const DWORD nPos = Bytes(model.substr(0, nAt));
      if (e.nDelete > 0) {
        ASSERT_TRUE(doc.DeleteContents(nPos, Bytes(model.substr(nAt, e.nDelete)), FALSE));
        model.erase(nAt, e.nDelete);
      }
      const std::string ins = Encode(e.pszInsert, GetParam()).bytes;
      if (!ins.empty()) {
        ASSERT_TRUE(doc.InsertContents(nPos, mirel_doc_test::Bytes(ins), mirel_doc_test::Len(ins), FALSE));
        model.insert(nAt, e.pszInsert);
      }
      CMrSyntax* p = doc.GetSyntax();
      p->ParseUpTo(&doc, doc.nLineCount - 1);
      std::unique_ptr<CMrSyntax> fresh = Fresh(bEmbedded);
      for (int i = 0; i < doc.nLineCount; ++i) {
        ASSERT_EQ(RunsOf(*p, i), RunsOf(*fresh, i)) << "paragraph " << i << " of\n" << model;
        const MIREL_PARA_INFO* a = p->GetParaInfo(i);
        const MIREL_PARA_INFO* b = fresh->GetParaInfo(i);
        ASSERT_EQ(a->nEndState, b->nEndState) << i;
        ASSERT_EQ(a->nEndSubState, b->nEndSubState) << i;
        ASSERT_EQ(a->nEndSubState2, b->nEndSubState2) << i;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Encodings, HtmlInstallTest,
                         ::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE));

}  // namespace
