// The sample host's HTML colouring: which files get it, and what a page
// with a style block and a script looks like through the exports.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_html_syntax.h"
#include "host_syntax_fixture.h"
#include "mirel/cmireldoc.h"
#include "mirel/syntax/cmrsyntax.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

using mirel_host::HtmlSyntaxColors;
using mirel_host::HtmlSyntaxDefinition;
using mirel_host::ScriptSyntaxColors;
using mirel_host::ScriptSyntaxDefinition;

TEST(HostHtmlSyntaxFiles, OnlyHtmlNamesAreColoured) {
  for (const char* pszPath : {"page.html", "samples\\page.html", "dir/INDEX.HTM", "a.Html"}) {
    EXPECT_TRUE(mirel_host::IsHtmlFile(pszPath)) << pszPath;
  }
  for (const char* pszPath : {"page.xhtml", "html", ".htm", "a.html.bak", "dir.html\\x", "a.c", ""}) {
    EXPECT_FALSE(mirel_host::IsHtmlFile(pszPath)) << pszPath;
  }
}

class HostHtmlSyntaxControl : public mirel_test::HostSyntaxControl {
 protected:
  HostHtmlSyntaxControl() : HostSyntaxControl(22) {}
  void Load(const std::vector<std::string>& lines) {
    LoadWith(
        lines,
        [](HWND hCtrl) {
          return Mirel_SetSyntaxHtml(hCtrl, &HtmlSyntaxDefinition(), &HtmlSyntaxColors(),
                                     &ScriptSyntaxDefinition(), &ScriptSyntaxColors());
        },
        MIREL_SYNTAX_HTML);
  }
};

TEST_F(HostHtmlSyntaxControl, PageWithStyleBlockAndScript) {
  Load({"<TITLE>Count</TITLE>", "<!-- a comment", "still comment -->", "<style>", "  body { margin: 2em; }",
        "</style>", "<p class=\"count\">Words</p>", "<script type=\"text/javascript\">",
        "  var s = 'x'; // note", "  /* open", "  close */ return 1;", "</script>", "<b>after</b>"});
  const int kScript = MIREL_STYLE_SCRIPT;
  struct Probe {
    int nPara;
    const char* pszWhat;
    int nStyle;
  } const kProbes[] = {
      {0, "<TITLE>", MIREL_STYLE_TAG},
      {0, "TITLE>", MIREL_STYLE_KEYWORD1},  // element names ignore case
      {0, "Count", MIREL_STYLE_TEXT},
      {1, "a comment", MIREL_STYLE_COMMENT1},
      {2, "still", MIREL_STYLE_COMMENT1},
      {4, "body", MIREL_STYLE_TEXT},  // a style block is text
      {6, "\"count\"", MIREL_STYLE_STRING1},
      {6, "class", MIREL_STYLE_TEXT},
      {8, "var", kScript + MIREL_STYLE_KEYWORD1},
      {8, "'x'", kScript + MIREL_STYLE_STRING2},
      {8, "// note", kScript + MIREL_STYLE_COMMENT1},
      {9, "open", kScript + MIREL_STYLE_COMMENT1},
      {10, "close", kScript + MIREL_STYLE_COMMENT1},
      {10, "return", kScript + MIREL_STYLE_KEYWORD1},
      {10, "1;", kScript + MIREL_STYLE_NUMBER},
      {11, "</script>", MIREL_STYLE_TAG},
      {12, "after", MIREL_STYLE_TEXT},
  };
  for (const Probe& p : kProbes) EXPECT_EQ(StyleAt(p.nPara, p.pszWhat), p.nStyle) << p.pszWhat;
}

TEST_F(HostHtmlSyntaxControl, ExportsRefuseNullRecordsAndUnknownWindows) {
  ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
  const MIREL_SYNTAX_INFO& d = HtmlSyntaxDefinition();
  const MIREL_SYNTAX_COLORS& c = HtmlSyntaxColors();
  EXPECT_EQ(Mirel_SetSyntaxHtml(m_hCtrl, &d, &c, nullptr, &c), 0);
  EXPECT_EQ(Mirel_SetSyntaxHtmlEmbedded(m_hCtrl, &d, &c, &d, &c, &d, nullptr), 0);
  EXPECT_EQ(Mirel_SetSyntaxHtml(m_host.hWnd(), &d, &c, &d, &c), 0);
  EXPECT_EQ(Mirel_SetSyntaxHtmlEmbedded(nullptr, &d, &c, &d, &c, &d, &c), 0);
  EXPECT_EQ(MirelFindDoc(m_hCtrl)->GetSyntax()->GetSyntaxType(), MIREL_SYNTAX_NONE);
  EXPECT_EQ(Mirel_SetSyntaxHtmlEmbedded(m_hCtrl, &d, &c, &d, &c, &ScriptSyntaxDefinition(), &c), 1);
  EXPECT_EQ(MirelFindDoc(m_hCtrl)->GetSyntax()->GetSyntaxType(), MIREL_SYNTAX_HTML_EMBEDDED);
}

}  // namespace
