#include "host_html_syntax.h"

#include "host_syntax_common.h"

namespace mirel_host {

namespace {

// Lower case: the control folds the words of a definition that ignores case.
constexpr char kElements[] =
    " a abbr address area article aside audio b base body br button canvas caption code col div dl dt dd"
    " em footer form h1 h2 h3 h4 h5 h6 head header hr html i iframe img input label li link main meta nav"
    " ol option p pre script section select small span strong style sub sup table tbody td textarea th"
    " thead title tr u ul video ";

constexpr char kScriptKeywords[] =
    " async await break case catch class const continue debugger default delete do else export extends"
    " false finally for function if import in instanceof let new null return static super switch this"
    " throw true try typeof undefined var void while with yield ";

MIREL_SYNTAX_INFO MakeHtml() {
  MIREL_SYNTAX_INFO def = {};
  def.bCaseSensitive = 0;
  // The tag brackets, the slash of an empty element and the equals sign of an
  // attribute end a word, so element names are found as keywords.
  def.pszDelimiters = "<>/=";
  def.chQuote1 = '"';
  def.chQuote2 = '\'';
  def.pszBlockComment1Open = "<!--";
  def.pszBlockComment1Close = "-->";
  def.pszKeywords[0] = kElements;
  return def;
}

MIREL_SYNTAX_COLORS MakeHtmlColors() {
  return MakeSyntaxColors({
      {MIREL_SYNTAX_PAIR_STRING1, 163, 21, 21},  // attribute values: dark red
      {MIREL_SYNTAX_PAIR_STRING2, 163, 21, 21},
      {MIREL_SYNTAX_PAIR_NUMBER, 0, 120, 120},  // numbers in tags: teal
      {MIREL_SYNTAX_PAIR_COMMENT1, 0, 128, 0},  // comments: green
      {MIREL_SYNTAX_PAIR_KEYWORD1, 128, 0, 0},  // element names: maroon
  });
}

MIREL_SYNTAX_INFO MakeScript() {
  MIREL_SYNTAX_INFO def = BraceLanguageDefinition("()[]{}<>;,.:?!~^&|=+-*/%\"'\\");
  def.pszKeywords[0] = kScriptKeywords;
  return def;
}

MIREL_SYNTAX_COLORS MakeScriptColors() {
  return MakeSyntaxColors({
      {MIREL_SYNTAX_PAIR_STRING1, 163, 21, 21},
      {MIREL_SYNTAX_PAIR_STRING2, 163, 21, 21},
      {MIREL_SYNTAX_PAIR_NUMBER, 0, 120, 120},
      {MIREL_SYNTAX_PAIR_COMMENT1, 0, 128, 0},
      {MIREL_SYNTAX_PAIR_KEYWORD1, 0, 0, 255},  // script keywords: blue
  });
}

}  // namespace

const MIREL_SYNTAX_INFO& HtmlSyntaxDefinition() {
  static const MIREL_SYNTAX_INFO def = MakeHtml();
  return def;
}

const MIREL_SYNTAX_COLORS& HtmlSyntaxColors() {
  static const MIREL_SYNTAX_COLORS colors = MakeHtmlColors();
  return colors;
}

const MIREL_SYNTAX_INFO& ScriptSyntaxDefinition() {
  static const MIREL_SYNTAX_INFO def = MakeScript();
  return def;
}

const MIREL_SYNTAX_COLORS& ScriptSyntaxColors() {
  static const MIREL_SYNTAX_COLORS colors = MakeScriptColors();
  return colors;
}

bool IsHtmlFile(const std::string& strPath) {
  return HasExtension(strPath, {"html", "htm"});
}

}  // namespace mirel_host
