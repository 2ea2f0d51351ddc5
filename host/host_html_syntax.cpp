#include "host_html_syntax.h"

#include <cstddef>

#include "host_text_format.h"

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

constexpr MIREL_SYNTAX_COLOR_PAIR Fore(BYTE r, BYTE g, BYTE b) {
  return MIREL_SYNTAX_COLOR_PAIR{static_cast<COLORREF>(r | (g << 8) | (b << 16)), MIREL_CLR_AUTO};
}

MIREL_SYNTAX_COLORS AutoColors() {
  MIREL_SYNTAX_COLORS colors;
  for (MIREL_SYNTAX_COLOR_PAIR& pair : colors.pairs)
    pair = MIREL_SYNTAX_COLOR_PAIR{MIREL_CLR_AUTO, MIREL_CLR_AUTO};
  return colors;
}

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
  MIREL_SYNTAX_COLORS colors = AutoColors();
  colors.pairs[MIREL_SYNTAX_PAIR_STRING1] = Fore(163, 21, 21);  // attribute values: dark red
  colors.pairs[MIREL_SYNTAX_PAIR_STRING2] = Fore(163, 21, 21);
  colors.pairs[MIREL_SYNTAX_PAIR_NUMBER] = Fore(0, 120, 120);  // numbers in tags: teal
  colors.pairs[MIREL_SYNTAX_PAIR_COMMENT1] = Fore(0, 128, 0);  // comments: green
  colors.pairs[MIREL_SYNTAX_PAIR_KEYWORD1] = Fore(128, 0, 0);  // element names: maroon
  return colors;
}

MIREL_SYNTAX_INFO MakeScript() {
  MIREL_SYNTAX_INFO def = {};
  def.bCaseSensitive = 1;
  def.pszDelimiters = "()[]{}<>;,.:?!~^&|=+-*/%\"'\\";
  def.chQuote1 = '"';
  def.chQuote2 = '\'';
  def.chEscape = '\\';
  def.pszLineComment1 = "//";
  def.pszBlockComment1Open = "/*";
  def.pszBlockComment1Close = "*/";
  def.pszIndent = "{";
  def.pszUnindent = "}";
  def.pszKeywords[0] = kScriptKeywords;
  return def;
}

MIREL_SYNTAX_COLORS MakeScriptColors() {
  MIREL_SYNTAX_COLORS colors = AutoColors();
  colors.pairs[MIREL_SYNTAX_PAIR_STRING1] = Fore(163, 21, 21);
  colors.pairs[MIREL_SYNTAX_PAIR_STRING2] = Fore(163, 21, 21);
  colors.pairs[MIREL_SYNTAX_PAIR_NUMBER] = Fore(0, 120, 120);
  colors.pairs[MIREL_SYNTAX_PAIR_COMMENT1] = Fore(0, 128, 0);
  colors.pairs[MIREL_SYNTAX_PAIR_KEYWORD1] = Fore(0, 0, 255);  // script keywords: blue
  return colors;
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
  const std::string strName = FileNameOf(strPath);
  const std::size_t nDot = strName.find_last_of('.');
  if (nDot == std::string::npos || nDot == 0) return false;
  std::string strExt = strName.substr(nDot + 1);
  for (char& ch : strExt) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  return strExt == "html" || strExt == "htm";
}

}  // namespace mirel_host
