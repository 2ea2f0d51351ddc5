// Indentation: the tab that swallows the spaces before it, block indent and
// unindent, the indentation of a new line after Return with and without a
// syntax, and the re-indentation when a closing word is typed.
#include <windows.h>

#include <gtest/gtest.h>

#include "lines_test_util.h"
#include "mirel/cmireldoc_editstep.h"
#include "mirel/syntax/cmrsyntax.h"
#include "textview_keys_fixture.h"

namespace mirel_lines_test {
namespace {

constexpr int kWidth = 8;  // every character, so a tab (4 characters) is 32 pixels

// Every character kWidth pixels wide, tab stops every 4 characters.
void EqualWidths(CMirelDoc& doc) {
  mirel_doc_test::SetFixedMetrics(doc, kWidth, 4 * kWidth, 1000);
  const BYTE unit[2] = {'a', 0};
  doc.GetCharWidth(unit, 2);  // makes the two-byte table
  for (int i = 0; doc.pWideWidth != nullptr && i < 0x10000; ++i) doc.pWideWidth[i] = kWidth;
}

auto Tab(BOOL bToSpace = FALSE) {
  return [bToSpace](CMirelDoc& doc) {
    EqualWidths(doc);
    doc.bTabToSpace = bToSpace;
    const DWORD nPos = doc.InsertTab(static_cast<DWORD>(doc.nCaretPos), TRUE);
    MrCollapseAt(doc, nPos);
  };
}

TEST(Indent, InsertTab) {
  for (const CommandCase& c : std::vector<CommandCase>{
           {"after a letter", Tab(), "a|", "a\t|", "a|", "a\t|"},
           {"at the row start", Tab(), "x\r\n|y", "x\r\n\t|y", "x\r\n|y", "x\r\n\t|y"},
           {"one space before a stop", Tab(), "ab |", "ab\t|", "ab |", "ab\t|"},
           {"two spaces reaching a stop", Tab(), "ab  |", "ab\t\t|", "ab  |", "ab\t\t|"},
           {"five spaces", Tab(), "a     |c", "a\t\t|c", "a     |c", "a\t\t|c"},
           {"after a tab", Tab(), " \t |", " \t\t|", " \t |", " \t\t|"},
           {"double-byte before the spaces", Tab(), "한 |", "한\t|", "한 |", "한\t|"},
           // U+2020 is a unit whose first byte is a space.
           {"a whole space unit only", Tab(), "x†|", "x†\t|", "x†|", "x†\t|"},
           {"row start in the spaces mode", Tab(TRUE), "|x", "|x", "", ""},
       })
    RunCommandCase(c);
}

auto Indent(int nFlag, BOOL bSkipEmpty = TRUE) {
  return [nFlag, bSkipEmpty](CMirelDoc& doc) {
    doc.bSkipEmptyLineOnBlockIndent = bSkipEmpty;
    doc.IndentBlock(nFlag);
  };
}

TEST(Indent, IndentBlock) {
  for (const CommandCase& c : std::vector<CommandCase>{
           {"skips an empty paragraph", Indent(1), "^ab\r\n\r\ncd|", "^\tab\r\n\r\n\tcd|", "|ab\r\n\r\ncd",
            "\tab\r\n\r\n\t|cd"},
           {"indents an empty paragraph", Indent(1, FALSE), "a^b\r\n\r\nc|d", "^\tab\r\n\t\r\n\tcd|", "", ""},
           {"caret at the start stays first", Indent(1), "|ab\r\n한^", "|\tab\r\n\t한^", "", ""},
           {"a block ending at a paragraph start", Indent(1), "^ab\r\n|cd", "^\tab|\r\ncd", "", ""},
           {"unindent spaces and one tab", Indent(0), "^      a\r\n\t  b|", "^  a\r\n  b|", "", ""},
           // U+4E09 is a unit whose first byte is a tab.
           {"unindent whole units", Indent(0), "^三\r\n b|", "^三\r\nb|", "", ""},
           {"unindent with nothing to remove", Indent(0), "^a\r\nb|", "^a\r\nb|", "", ""},
           {"no selection", Indent(1), "a|b", "a|b", "", ""},
       })
    RunCommandCase(c);
}

TEST(Indent, IndentBlockBeepsWhileRowsWrap) {
  ExpectBeepsWhileRowsWrap("^ab\r\ncd|", MIREL_WRAP_WORD, [](CMirelDoc& doc) { doc.IndentBlock(1); });
}

TEST(Indent, IndentUnitsFollowTheSpacesMode) {
  MarkedDoc d(MIREL_ENCODING_UTF16LE);
  d.doc.bTabToSpace = TRUE;
  d.doc.SetTabSize(2);
  d.Load("^a\r\nb|");
  d.doc.IndentBlock(1);
  EXPECT_EQ(Show(d.doc), "^  a\r\n  b|");
}

// ---------------------------------------------------------------------------
// Through the text view's keys

using mirel_keys_test::KeysTest;

class IndentKeys : public KeysTest {
 protected:
  // A C-like syntax: "{" indents the next line, "}" closes it.
  void UseSyntax(const char* pszIndent, const char* pszUnindent, BOOL bCase = TRUE) {
    MIREL_SYNTAX_INFO def = {};
    def.bCaseSensitive = bCase;
    def.pszIndent = pszIndent;
    def.pszUnindent = pszUnindent;
    MIREL_SYNTAX_COLORS colors = {};
    ASSERT_EQ(doc.SetSyntaxGeneral(&def, &colors), 1);
  }
  void OpenMarked(int nEncoding, const std::string& marked) {
    const Marked m = Parse(marked, nEncoding);
    Open(nEncoding, m.bytes);
    Caret(m.nCaret);
    doc.undo.Reset();
  }
  std::string Now() { return Show(doc); }
};

struct KeyCase {
  const char* name;
  const char* syntaxIndent;  // NULL: no syntax
  const char* syntaxUnindent;
  BOOL bCase;
  std::string before;
  std::string keys;  // typed; '\r' presses Return
  std::string after;
  std::string undone;  // after one undo (of the re-indentation after a closing word)
};

TEST_F(IndentKeys, ReturnAndClosingWords) {
  const std::vector<KeyCase> cases = {
      {"no syntax: the line's indentation", nullptr, nullptr, TRUE, "\t  code|", "\r", "\t  code\r\n\t  |",
       "\t  code|"},
      {"no syntax: carried blanks are replaced", nullptr, nullptr, TRUE, "\t| x", "\r", "\t\r\n\t|x",
       "\t| x"},
      {"after the indent-after word", "{", "}", TRUE, "  if (a) {  |", "\r", "  if (a) {  \r\n  \t|",
       "  if (a) {  |"},
      {"after another line", "{", "}", TRUE, "  x;|", "\r", "  x;\r\n  |", "  x;|"},
      {"case folded", "then", nullptr, FALSE, "IF A THEN|", "\r", "IF A THEN\r\n\t|", "IF A THEN|"},
      {"case kept", "then", nullptr, TRUE, "IF A THEN|", "\r", "IF A THEN\r\n|", "IF A THEN|"},
      {"closing brace on a blank line", "{", "}", TRUE, "\tif {\r\n\t\tx;\r\n\t\t|", "}",
       "\tif {\r\n\t\tx;\r\n\t}|", "\tif {\r\n\t\tx;\r\n\t\t|}"},
      {"closing brace after text", "{", "}", TRUE, "\t{\r\n\t\tx|", "}", "\t{\r\n\t\tx}|", ""},
      {"closing brace without a partner", "{", "}", TRUE, "\t\t|", "}", "}|", "\t\t|}"},
      {"a closing word", "then", "end", TRUE, "\tif a then\r\n\t\tx\r\n\t\ten|", "d",
       "\tif a then\r\n\t\tx\r\n\tend|", "\tif a then\r\n\t\tx\r\n\t\t|end"},
  };
  for (int nEncoding : TableEncodings()) {
    for (const KeyCase& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " in " + EncodingName(nEncoding));
      OpenMarked(nEncoding, c.before);
      if (c.syntaxIndent != nullptr) {
        UseSyntax(c.syntaxIndent, c.syntaxUnindent, c.bCase);
      } else {
        doc.SetSyntax(new CMrSyntax());
      }
      for (char ch : c.keys) {
        if (ch == '\r') {
          Key(VK_RETURN);
        } else {
          Type(std::string(1, ch));
        }
      }
      EXPECT_EQ(Now(), c.after);
      ExpectConsistent();
      if (c.undone.empty()) continue;
      ASSERT_TRUE(doc.Undo(pEdit));
      EXPECT_EQ(Now(), c.undone);
    }
  }
}

TEST_F(IndentKeys, TabMergesSpacesAndShiftTabUnindentsSelectedRows) {
  OpenMarked(MIREL_ENCODING_UTF8, "ab  |");
  EqualWidths(doc);
  Type("\t");
  EXPECT_EQ(Now(), "ab\t\t|");
  ASSERT_TRUE(doc.Undo(pEdit));
  EXPECT_EQ(Now(), "ab  |");
  EXPECT_FALSE(doc.CanUndo());

  OpenMarked(MIREL_ENCODING_UTF16LE, "\t三\r\n  한");
  Key(VK_DOWN, mirel_keys_test::kShift);
  Key(VK_END, mirel_keys_test::kShift);
  pEdit->pView->OnKeyTab(1, 0, 0, 1);  // Shift+Tab
  EXPECT_EQ(Now(), "^三\r\n한|");
  ExpectConsistent();
  ASSERT_TRUE(doc.Undo(pEdit));
  EXPECT_EQ(Plain(Now()), "\t三\r\n  한");
}

}  // namespace
}  // namespace mirel_lines_test
