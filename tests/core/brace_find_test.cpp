// Finding the partner of a bracket in the document: nesting of the same kind,
// other kinds ignored, rows crossed, and every encoding compared by whole
// characters (a UTF-16 unit whose low byte is a bracket is no bracket).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mirel/cmireldoc.h"
#include "positions_fixture.h"

namespace {

using mirel_test::TextDoc;
using mirel_test::Utf16Bytes;

struct BraceCase {
  const char* pszName;
  std::string text;
  DWORD nStart;
  UINT ch;
  BOOL bForward;
  int nResult;
  DWORD nExpected;  // the partner, or the start left as it was
};

void ExpectBraceCases(int nEncoding, int nCodePage, const std::vector<BraceCase>& cases) {
  for (const BraceCase& c : cases) {
    SCOPED_TRACE(c.pszName);
    TextDoc t(nEncoding, MIREL_WRAP_NONE, nCodePage);
    ASSERT_TRUE(t.SetText(c.text));
    DWORD nPos = c.nStart;
    EXPECT_EQ(t.doc.FindMatchingBrace(&nPos, c.ch, c.bForward), c.nResult);
    EXPECT_EQ(nPos, c.nExpected);
  }
}

TEST(BraceFind, AnsiNestingAndKinds) {
  ExpectBraceCases(MIREL_ENCODING_ANSI, 949,
                   {
                       {"forward nested", "a(b(x)d)e", 2, '(', TRUE, 1, 7},
                       {"backward nested", "a(b(x)d)e", 6, ')', FALSE, 1, 1},
                       {"inner pair", "a(b(x)d)e", 4, '(', TRUE, 1, 5},
                       {"other kinds ignored", "( ] )", 1, '(', TRUE, 1, 4},
                       {"angle and square", "<[a]>", 1, '<', TRUE, 1, 4},
                       {"curly backward", "{x{y}z}", 5, '}', FALSE, 1, 0},
                       {"unmatched forward", "(ab(c)", 1, '(', TRUE, 0, 1},
                       {"unmatched backward", "a)b", 0, ')', FALSE, 0, 0},
                       {"not a bracket", "a(b)", 1, 'a', TRUE, 0, 1},
                       {"start at the end", "a(", 2, '(', TRUE, 0, 2},
                       {"start past the end", "a(b)", 9, '(', TRUE, 0, 9},
                       {"double-byte character inside", "(\xB0\xA1)", 1, '(', TRUE, 1, 3},
                       {"double-byte backward", "(\xB0\xA1)", 2, ')', FALSE, 1, 0},
                       {"trail byte bracket forward", "[\x81]]", 1, '[', TRUE, 1, 3},
                       {"trail byte bracket backward", "[\x81]]", 1, ']', FALSE, 1, 0},
                       {"lead byte runs backward", "{a\x81\x81\x81}{\x81\x81}}", 9, '}', FALSE, 1, 0},
                       {"nested around a trail bracket backward", "[[\x81[]]", 4, ']', FALSE, 1, 0},
                       {"nested around a trail bracket forward", "[[\x81[]]", 1, '[', TRUE, 1, 5},
                   });
}

TEST(BraceFind, PairsAcrossRows) {
  ExpectBraceCases(MIREL_ENCODING_ANSI, 949,
                   {
                       {"forward over line ends", "{\r\n  x;\r\n}", 1, '{', TRUE, 1, 9},
                       {"backward over line ends", "{\r\n  x;\r\n}", 8, '}', FALSE, 1, 0},
                       {"backward over LF only", "(\n\n)", 2, ')', FALSE, 1, 0},
                   });
}

TEST(BraceFind, Utf8MultiByteCharacters) {
  ExpectBraceCases(MIREL_ENCODING_UTF8, 0,
                   {
                       {"forward", "(\xC3\xA9[\xE7\xAC\xA8])", 1, '(', TRUE, 1, 8},
                       {"backward", "(\xC3\xA9[\xE7\xAC\xA8])", 7, ')', FALSE, 1, 0},
                   });
}

TEST(BraceFind, Utf16ComparesWholeUnits) {
  // U+7B28 and U+7B29 have '(' and ')' as their low bytes.
  const std::string text = Utf16Bytes(u"(\u7B29\u7B28x)");
  ExpectBraceCases(MIREL_ENCODING_UTF16LE, 0,
                   {
                       {"forward skips look-alikes", text, 2, '(', TRUE, 1, 8},
                       {"backward skips look-alikes", text, 6, ')', FALSE, 1, 0},
                       {"nested", Utf16Bytes(u"((a))"), 2, '(', TRUE, 1, 8},
                   });
  ExpectBraceCases(MIREL_ENCODING_UTF16BE, 0,
                   {
                       {"forward", text, 2, '(', TRUE, 1, 8},
                       {"only look-alikes", Utf16Bytes(u"(\u7B29"), 2, '(', TRUE, 0, 2},
                   });
}

TEST(BraceFind, RefusesMissingPositionAndEmptyDocument) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("(a)"));
  EXPECT_EQ(t.doc.FindMatchingBrace(nullptr, '(', TRUE), 0);
  CMirelDoc empty;  // no text store yet
  DWORD nPos = 0;
  EXPECT_EQ(empty.FindMatchingBrace(&nPos, '(', TRUE), 0);
  EXPECT_EQ(nPos, 0u);
}

}  // namespace
