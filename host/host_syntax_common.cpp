#include "host_syntax_common.h"

#include <cstddef>

#include "host_text_format.h"

namespace mirel_host {

MIREL_SYNTAX_INFO BraceLanguageDefinition(const char* pszDelimiters) {
  MIREL_SYNTAX_INFO def = {};
  def.bCaseSensitive = 1;
  def.pszDelimiters = pszDelimiters;
  def.chQuote1 = '"';
  def.chQuote2 = '\'';
  def.chEscape = '\\';
  def.pszLineComment1 = "//";
  def.pszBlockComment1Open = "/*";
  def.pszBlockComment1Close = "*/";
  def.pszIndent = "{";
  def.pszUnindent = "}";
  return def;
}

MIREL_SYNTAX_COLORS MakeSyntaxColors(std::initializer_list<CSyntaxForeColor> foreColors) {
  MIREL_SYNTAX_COLORS colors;
  for (MIREL_SYNTAX_COLOR_PAIR& pair : colors.pairs)
    pair = MIREL_SYNTAX_COLOR_PAIR{MIREL_CLR_AUTO, MIREL_CLR_AUTO};
  for (const CSyntaxForeColor& fore : foreColors) {
    if (fore.nPair < 0 || fore.nPair >= MIREL_SYNTAX_COLOR_PAIRS) continue;
    colors.pairs[fore.nPair] = MIREL_SYNTAX_COLOR_PAIR{
        static_cast<COLORREF>(fore.r | (fore.g << 8) | (fore.b << 16)), MIREL_CLR_AUTO};
  }
  return colors;
}

bool HasExtension(const std::string& strPath, std::initializer_list<const char*> extensions) {
  const std::string strName = FileNameOf(strPath);
  const std::size_t nDot = strName.find_last_of('.');
  if (nDot == std::string::npos || nDot == 0) return false;
  std::string strExt = strName.substr(nDot + 1);
  for (char& ch : strExt) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  for (const char* pszExt : extensions) {
    if (strExt == pszExt) return true;
  }
  return false;
}

}  // namespace mirel_host
