// Helpers of the syntax tests: a document holding a text in any encoding,
// texts written once as templates, and the run list of a paragraph.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "doc_test_util.h"
#include "mirel/cmireldoc.h"
#include "mirel/syntax/cmrsyntax.h"
#include "mirel/syntax/cmrsyntaxgeneral.h"
#include "mirelctrl/mirelsyntax.h"

namespace mirel_syntax_test {

// A run as the tests write it: offset and style.
struct Run {
  int nOffset;
  int nStyle;
  bool operator==(const Run& o) const { return nOffset == o.nOffset && nStyle == o.nStyle; }
};
inline std::ostream& operator<<(std::ostream& os, const Run& r) {
  return os << "{" << r.nOffset << ", " << r.nStyle << "}";
}
using Runs = std::vector<Run>;

// Template characters that stand for Hangul syllables chosen for their low
// byte in UTF-16: '~' U+AC22 (low byte a double quote), '^' U+AC69 (low byte
// i), '%' U+AC20 (low byte a space), '@' U+D55C. Every other character is
// ASCII and written as itself.
struct Encoded {
  std::string bytes;
  std::vector<int> offsets;  // byte offset of every template character, and the end
};

inline Encoded Encode(const std::string& tmpl, int nEncoding) {
  struct Special {
    char ch;
    unsigned unit;
    const char* cp949;
    const char* utf8;
  };
  static const Special kSpecial[] = {
      {'~', 0xAC22, "\x81\x4E", "\xEA\xB0\xA2"},
      {'^', 0xAC69, "\x81\x92", "\xEA\xB1\xA9"},
      {'%', 0xAC20, "\xB0\xB5", "\xEA\xB0\xA0"},
      {'@', 0xD55C, "\xC7\xD1", "\xED\x95\x9C"},
  };
  Encoded out;
  for (char c : tmpl) {
    out.offsets.push_back(static_cast<int>(out.bytes.size()));
    const Special* pSpecial = nullptr;
    for (const Special& s : kSpecial) {
      if (s.ch == c) pSpecial = &s;
    }
    const unsigned unit = pSpecial ? pSpecial->unit : static_cast<unsigned char>(c);
    if (IsWideEncoding(nEncoding)) {
      out.bytes.push_back(static_cast<char>(unit & 0xFF));
      out.bytes.push_back(static_cast<char>(unit >> 8));
    } else if (pSpecial) {
      out.bytes += nEncoding == MIREL_ENCODING_ANSI ? pSpecial->cp949 : pSpecial->utf8;
    } else {
      out.bytes.push_back(c);
    }
  }
  out.offsets.push_back(static_cast<int>(out.bytes.size()));
  return out;
}

// The definition most tests start from: double quote, block comment /* */,
// line comment // by prefix, keyword list 1 " int ", case sensitive, no
// extra delimiters.
inline MIREL_SYNTAX_INFO BasicDefinition() {
  MIREL_SYNTAX_INFO info = {};
  info.bCaseSensitive = 1;
  info.pszDelimiters = "";
  info.chQuote1 = '"';
  info.pszLineComment1 = "//";
  info.pszBlockComment1Open = "/*";
  info.pszBlockComment1Close = "*/";
  info.pszKeywords[0] = " int ";
  return info;
}

// The markup definition the HTML tests start from: tags with the delimiters
// < > / =, double-quoted values, <!-- --> comments and the tag name b.
inline MIREL_SYNTAX_INFO HtmlDefinition() {
  MIREL_SYNTAX_INFO info = {};
  info.pszDelimiters = "<>/=";
  info.chQuote1 = '"';
  info.pszBlockComment1Open = "<!--";
  info.pszBlockComment1Close = "-->";
  info.pszKeywords[0] = " b ";
  return info;
}

// Every pair {MIREL_CLR_AUTO, MIREL_CLR_AUTO}.
inline MIREL_SYNTAX_COLORS AutoColors() {
  MIREL_SYNTAX_COLORS colors;
  for (MIREL_SYNTAX_COLOR_PAIR& p : colors.pairs) p = {MIREL_CLR_AUTO, MIREL_CLR_AUTO};
  return colors;
}

// One lexer case: a name, a change to the definitions the test starts from,
// and the paragraphs with what each must give.
template <typename Defs, typename Para>
struct LexerCase {
  const char* pszName;
  std::function<void(Defs&)> adjust;
  std::vector<Para> paras;
};

template <typename Defs>
void NoChange(Defs&) {}

// The encodings every lexer case runs in, and their names in test names.
inline auto LexerEncodings() {
  return ::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE,
                           MIREL_ENCODING_UTF16BE);
}

inline const char* LexerEncodingName(int nEncoding) {
  switch (nEncoding) {
    case MIREL_ENCODING_ANSI:
      return "Ansi";
    case MIREL_ENCODING_UTF8:
      return "Utf8";
    case MIREL_ENCODING_UTF16BE:
      return "Utf16Be";
    default:
      return "Utf16Le";
  }
}

// A document without wrapping (one row per paragraph) and fixed widths.
class SyntaxDocTest : public ::testing::Test {
 protected:
  void Open(int nEncoding) {
    mirel_doc_test::OpenEmpty(doc, nEncoding);
    doc.nWrapMode = MIREL_WRAP_NONE;
    mirel_doc_test::SetFixedMetrics(doc, 10, 40, 100000);
  }
  // Replaces the text with the given bytes.
  void SetBytes(const std::string& bytes) {
    if (doc.GetContentsSize() > 0) {
      ASSERT_TRUE(doc.DeleteContents(0, doc.GetContentsSize(), FALSE));
    }
    if (!bytes.empty()) {
      ASSERT_TRUE(doc.InsertContents(0, mirel_doc_test::Bytes(bytes), mirel_doc_test::Len(bytes), FALSE));
    }
  }
  // Opens a document of the paragraphs (templates, see Encode) joined by LF
  // and returns how each paragraph was encoded.
  template <typename Para>
  std::vector<Encoded> OpenParagraphs(int nEncoding, const std::vector<Para>& paras) {
    Open(nEncoding);
    std::string text;
    std::vector<Encoded> encoded;
    for (size_t i = 0; i < paras.size(); ++i) {
      if (i > 0) text += Encode("\n", nEncoding).bytes;
      encoded.push_back(Encode(paras[i].text, nEncoding));
      text += encoded.back().bytes;
    }
    SetBytes(text);
    return encoded;
  }
  // A general lexer owned by the test (not installed in the document).
  CMrSyntaxGeneral* MakeGeneral(const MIREL_SYNTAX_INFO& info) {
    general.reset(new CMrSyntaxGeneral(0, FALSE));
    general->SetDefinition(info, AutoColors());
    return general.get();
  }
  // The run list of a parsed paragraph, terminator included.
  static Runs RunsOf(CMrSyntax& syntax, int nPara) {
    Runs out;
    MIREL_PARA_INFO* p = syntax.GetParaInfo(nPara);
    if (p == nullptr || !p->bParsed || p->pRuns == nullptr) return out;
    for (DWORD i = 0; i < p->nRunAlloc; ++i) {
      out.push_back({p->pRuns[i].nOffset, p->pRuns[i].nStyle});
      if (p->pRuns[i].nStyle == MIREL_STYLE_END) break;
    }
    return out;
  }
  static int EndStateOf(CMrSyntax& syntax, int nPara) {
    MIREL_PARA_INFO* p = syntax.GetParaInfo(nPara);
    return p ? p->nEndState : -1;
  }

  CMirelDoc doc;
  std::unique_ptr<CMrSyntaxGeneral> general;
};

}  // namespace mirel_syntax_test
