#include "host_c_syntax.h"

#include "host_syntax_common.h"

namespace mirel_host {

namespace {

// Word lists are words separated by single spaces, with a space before the
// first and after the last word: the control finds a word framed by spaces.
constexpr char kCKeywords[] =
    " alignas alignof auto bool break case char const constexpr continue default do double else enum"
    " extern false float for goto if inline int long nullptr register restrict return short signed"
    " sizeof static static_assert struct switch thread_local true typedef typeof typeof_unqual union"
    " unsigned void volatile while _Alignas _Alignof _Atomic _BitInt _Bool _Complex _Decimal128"
    " _Decimal32 _Decimal64 _Generic _Imaginary _Noreturn _Static_assert _Thread_local ";

// Only what C++ adds: the words both languages share are in the C list.
constexpr char kCppKeywords[] =
    " and and_eq asm bitand bitor catch char8_t char16_t char32_t class co_await co_return co_yield"
    " compl concept const_cast consteval constinit decltype delete dynamic_cast explicit export friend"
    " mutable namespace new noexcept not not_eq operator or or_eq private protected public"
    " reinterpret_cast requires static_cast template this throw try typeid typename using virtual"
    " wchar_t xor xor_eq ";

// Operators and brackets end a word, so that "if(" and "x+int" still show
// their keyword. The dot does not: member names and floating-point numbers
// stay one word (a float such as 1.5 is not mistaken for two integers).
constexpr char kDelimiters[] = "()[]{}<>;,:?!~^&|=+-*/%\"'\\";

MIREL_SYNTAX_INFO MakeDefinition() {
  MIREL_SYNTAX_INFO def = BraceLanguageDefinition(kDelimiters);
  // A preprocessor line is coloured as the second comment kind from its '#'
  // on; outside such lines '#' does not occur in C code.
  def.pszLineComment2 = "#";
  def.chContinuation = '\\';
  def.pszKeywords[kCKeywordList] = kCKeywords;
  def.pszKeywords[kCppKeywordList] = kCppKeywords;
  return def;
}

// Dark, saturated colours that stay readable on white and apart from each
// other and from the black text.
MIREL_SYNTAX_COLORS MakeColors() {
  return MakeSyntaxColors({
      {MIREL_SYNTAX_PAIR_STRING1, 163, 21, 21},                   // strings: dark red
      {MIREL_SYNTAX_PAIR_STRING2, 160, 82, 0},                    // character literals: brown
      {MIREL_SYNTAX_PAIR_NUMBER, 0, 120, 120},                    // numbers: teal
      {MIREL_SYNTAX_PAIR_COMMENT1, 0, 128, 0},                    // comments: green
      {MIREL_SYNTAX_PAIR_COMMENT2, 128, 0, 128},                  // preprocessor lines: purple
      {MIREL_SYNTAX_PAIR_KEYWORD1 + kCKeywordList, 0, 0, 255},    // C keywords: blue
      {MIREL_SYNTAX_PAIR_KEYWORD1 + kCppKeywordList, 0, 0, 160},  // C++ keywords: navy
  });
}

}  // namespace

const MIREL_SYNTAX_INFO& CSyntaxDefinition() {
  static const MIREL_SYNTAX_INFO def = MakeDefinition();
  return def;
}

const MIREL_SYNTAX_COLORS& CSyntaxColors() {
  static const MIREL_SYNTAX_COLORS colors = MakeColors();
  return colors;
}

bool IsCSourceFile(const std::string& strPath) {
  return HasExtension(strPath, {"c", "cc", "cpp", "h", "hpp"});
}

}  // namespace mirel_host
