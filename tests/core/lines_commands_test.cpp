// The line and character commands, one table each, in ANSI (949), UTF-8 and
// UTF-16 documents: text, caret and selection before, after, after one undo
// and after a redo.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "lines_test_util.h"
#include "mirel/mrtimeformat.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

namespace mirel_lines_test {
namespace {

void RunAll(const std::vector<CommandCase>& cases) {
  for (const CommandCase& c : cases) RunCommandCase(c);
}

auto Cmd(void (CMirelDoc::*pfn)()) {
  return [pfn](CMirelDoc& doc) { (doc.*pfn)(); };
}

// Each command over its table: text, caret and selection before, after,
// after one undo and after a redo.
TEST(LineCommands, EachCommandOverItsTable) {
  const auto del = Cmd(&CMirelDoc::DeleteLine);
  const auto dup = Cmd(&CMirelDoc::DuplicateLine);
  const auto ins = Cmd(&CMirelDoc::InsertLine);
  const auto join = Cmd(&CMirelDoc::JoinLines);
  const auto swap = Cmd(&CMirelDoc::TransposeLine);
  const auto trim = Cmd(&CMirelDoc::TrimTrailingWhiteSpace);
  auto brk = [](CMirelDoc& doc) {
    doc.chPageBreak = 0x0C;
    doc.InsertPageBreak();
  };
  auto none = [](CMirelDoc& doc) {
    doc.chPageBreak = 0;
    doc.InsertPageBreak();
  };
  auto mode = [](int n) { return [n](CMirelDoc& doc) { doc.ChangeCase(n); }; };
  const auto toSpaces = Cmd(&CMirelDoc::ConvertTabToSpace);
  auto toTabs = [](BOOL bLeading) { return [bLeading](CMirelDoc& doc) { doc.ConvertSpaceToTab(bLeading); }; };
  struct Table {
    const char* command;
    std::vector<CommandCase> cases;
  };
  const Table tables[] = {
      {"DeleteLine",
       {
           {"middle", del, "ab\r\nc|d\r\nef", "ab\r\n|ef", "ab\r\ncd\r\n|ef", "ab\r\n|ef"},
           {"last without a line end", del, "ab\r\nc|d", "ab\r\n|", "ab\r\ncd|", "ab\r\n|"},
           {"empty last", del, "ab\r\n|", "ab\r\n|", "", ""},
           {"double-byte", del, "한|글\r\nx", "|x", "한글\r\n|x", "|x"},
           {"a stale selection collapses", del, "^a|b\r\nc", "|c", "", ""},
       }},
      {"DuplicateLine",
       {
           {"first", dup, "a|b\r\ncd", "ab\r\n|ab\r\ncd", "ab|\r\ncd", "ab\r\nab|\r\ncd"},
           {"double-byte last", dup, "x\r\n한|글", "x\r\n한글\r\n|한글", "x\r\n한글|", "x\r\n한글\r\n한글|"},
           {"empty", dup, "|", "\r\n|", "|", "\r\n|"},
       }},
      {"InsertLine",
       {
           {"middle of a row", ins, "a|b\r\nc", "ab\r\n|\r\nc", "ab|\r\nc", "ab\r\n|\r\nc"},
           {"keeps the indentation", ins, "\t 한|b", "\t 한b\r\n\t |", "\t 한b|", "\t 한b\r\n\t |"},
           {"a selection collapses", ins, "^a|b", "ab\r\n|", "ab|", "ab\r\n|"},
       }},
      {"JoinLines",
       {
           {"three paragraphs", join, "^a\r\n b\r\nc|d\r\ne", "^a  b cd|\r\ne", "a\r\n b\r\ncd|\r\ne",
            "a  b cd|\r\ne"},
           {"double-byte", join, "한^\r\n|글", "^한 글|", "한\r\n글|", "한 글|"},
           {"one row: nothing", join, "^a|b\r\nc", "^a|b\r\nc", "", ""},
           {"no selection: nothing", join, "a|\r\nb", "a|\r\nb", "", ""},
       }},
      {"TransposeLine",
       {
           {"with the row below", swap, "a|b\r\ncd\r\nef", "cd\r\na|b\r\nef", "ab\r\ncd|\r\nef",
            "cd\r\nab|\r\nef"},
           {"last row with the row above", swap, "한\r\nc|d", "c|d\r\n한", "한\r\ncd|", "cd\r\n한|"},
           {"one row: nothing", swap, "a|b", "a|b", "", ""},
       }},
      {"TrimTrailingWhiteSpace",
       {
           {"blanks after text", trim, "a|b \t \r\ncd", "^ab|\r\ncd", "ab \t |\r\ncd", "ab|\r\ncd"},
           {"blanks only", trim, "  |\r\nx", "|\r\nx", "  |\r\nx", "|\r\nx"},
           {"nothing to trim", trim, "a|b\r\n", "a|b\r\n", "", ""},
           // U+AC00 and U+4E09 are units whose first byte is a NUL and a tab.
           {"whole units stay", trim, "x가三|", "x가三|", "", ""},
           {"whole units before blanks", trim, "x가三 |", "^x가三|", "x가三 |", "x가三|"},
           {"selected paragraphs", trim, "^a \r\nb \r\nc|", "^a\r\nb\r\nc|", "", "a\r\nb|\r\nc"},
       }},
      {"InsertPageBreak",
       {
           {"at the caret", brk, "한|b", "한\f|b", "한|b", "한\f|b"},
           {"replaces the selection", brk, "a^bc|d", "a\f|d", "", "a\f|d"},
           {"without a page-break character", none, "a|b", "a|b", "", ""},
       }},
      {"ChangeCase",
       {
           {"upper at the caret", mode(0), "|ab", "A|b", "a|b", "A|b"},
           {"at the text end the caret stays", mode(0), "ab|", "ab|", "", ""},
           {"a character without case", mode(1), "|1a", "1|a", "", ""},
           {"swap a selection", mode(2), "^aB1한c|", "^Ab1한C|", "aB1한c|", "Ab1한C|"},
           // U+B178 ends in the byte 'x'; U+AC02 is 0x81 'A' in code page 949.
           {"lower touches whole letters only", mode(1), "^노갂AB|", "^노갂ab|", "", ""},
           {"upper touches whole letters only", mode(0), "|노갂a", "노|갂a", "", ""},
           {"unknown mode", mode(7), "|ab", "|ab", "", ""},
       }},
      {"ConvertTabToSpace",
       {
           {"the caret's row", toSpaces, "a\tb|\r\n\t", "^a    b|\r\n\t", "a\tb|\r\n\t", "a    b|\r\n\t"},
           {"caret at the start", toSpaces, "|\t한", "|    한^", "", ""},
           {"U+4E09 is no tab", toSpaces, "^三\t|", "^三    |", "", ""},
           {"no tab: nothing", toSpaces, "a|b", "a|b", "", ""},
       }},
      {"ConvertSpaceToTab",
       {
           {"eight spaces", toTabs(FALSE), "        x|", "^\t\tx|", "", ""},
           {"spaces before a tab", toTabs(FALSE), "  \tx|", "^\tx|", "", ""},
           {"three spaces stay", toTabs(FALSE), "   x|", "   x|", "", ""},
           {"tabs only", toTabs(FALSE), "\t\t|", "\t\t|", "", ""},
           {"leading only", toTabs(TRUE), "    a    b|", "^\ta    b|", "", ""},
           {"every line start", toTabs(TRUE), "^    a\r\n\r\n    b|", "^\ta\r\n\r\n\tb|", "", ""},
           {"inside", toTabs(FALSE), "三    |", "^三\t|", "", ""},
           {"inside, leading only", toTabs(TRUE), "三    |", "三    |", "", ""},
       }},
  };
  for (const Table& t : tables) {
    SCOPED_TRACE(t.command);
    RunAll(t.cases);
  }
}

TEST(LineCommands, DuplicateLineUsesTheDocumentsLineEnd) {
  for (int nEncoding : TableEncodings()) {
    MarkedDoc d(nEncoding);
    d.doc.nFileFormat = MIREL_FILE_FORMAT_LF;
    d.Load("a|b\ncd");
    d.doc.DuplicateLine();
    EXPECT_EQ(Show(d.doc), "ab\n|ab\ncd") << EncodingName(nEncoding);
    d.doc.nFileFormat = MIREL_FILE_FORMAT_CR;
    d.Load("a|b");
    d.doc.DuplicateLine();
    EXPECT_EQ(Show(d.doc), "ab\r|ab") << EncodingName(nEncoding);
  }
}

// Opening a line leaves the modes the user had: column mode, overwrite and
// auto-select are the same afterwards.
TEST(LineCommands, InsertLineKeepsColumnOverwriteAndAutoSelectModes) {
  for (const BOOL bOn : {TRUE, FALSE}) {
    MarkedDoc d(MIREL_ENCODING_ANSI);
    d.Load("a|b\r\nc");
    d.doc.SetColumnMode(bOn);
    d.doc.SetOverwriteMode(bOn);
    d.doc.bAutoSelect = bOn;
    d.doc.InsertLine();
    EXPECT_EQ(Show(d.doc), "ab\r\n|\r\nc");
    EXPECT_EQ(d.doc.IsColumnMode(), bOn);
    EXPECT_EQ(d.doc.IsOverwriteMode(), bOn);
    EXPECT_EQ(d.doc.IsAutoSelectMode(), bOn);
    EXPECT_FALSE(d.doc.IsColumnBlock());
  }
}

TEST(LineCommands, TransposeLineBeepsWhileRowsWrap) {
  ExpectBeepsWhileRowsWrap("a|b\r\ncd", MIREL_WRAP_CHAR, Cmd(&CMirelDoc::TransposeLine));
}

TEST(LineCommands, WrongViewAndNoTextChangeNothing) {
  MarkedDoc d(MIREL_ENCODING_ANSI);
  d.Load("a|b\r\ncd");
  d.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  for (auto fn : {&CMirelDoc::DeleteLine, &CMirelDoc::DuplicateLine, &CMirelDoc::InsertLine,
                  &CMirelDoc::JoinLines, &CMirelDoc::TransposeLine, &CMirelDoc::TrimTrailingWhiteSpace,
                  &CMirelDoc::InsertPageBreak, &CMirelDoc::ConvertTabToSpace})
    (d.doc.*fn)();
  d.doc.ChangeCase(0);
  d.doc.ConvertSpaceToTab(FALSE);
  d.doc.InsertDate("%Y");
  d.doc.nViewType = MIREL_VIEW_TYPE_TEXT;
  EXPECT_EQ(Show(d.doc), "a|b\r\ncd");
  EXPECT_FALSE(d.doc.CanUndo());

  CMirelDoc empty;  // no text store yet
  empty.DeleteLine();
  empty.DuplicateLine();
  empty.InsertLine();
  empty.JoinLines();
  empty.TransposeLine();
  empty.TrimTrailingWhiteSpace();
  empty.ChangeCase(2);
  empty.ConvertSpaceToTab(TRUE);
  empty.ConvertTabToSpace();
  empty.InsertPageBreak();
  empty.InsertDate("%Y");
  EXPECT_EQ(empty.pContents, nullptr);
}

TEST(TimeFormat, NumbersAndTheConversionsItRefuses) {
  const SYSTEMTIME st = {2023, 1, 0, 8, 0, 7, 9, 0};  // Sunday 8 January 2023, 00:07:09
  char buf[64];
  struct Case {
    const char* format;
    const char* expected;  // NULL: refused
  };
  for (const Case& c : std::vector<Case>{
           {"%Y%m%d %H%M%S", "20230108 000709"},
           {"%#d.%#m.%y %I|%#I %j %w", "8.1.23 12|12 008 0"},
           {"%U %W 100%%", "02 01 100%"},
           {"%Q", nullptr},
           {"%", nullptr},
           {"%#", nullptr},
           {"%Ez", nullptr},
       }) {
    std::memset(buf, '#', sizeof buf);
    const size_t n = MrFormatTime(buf, sizeof buf, c.format, st);
    if (c.expected == nullptr) {
      EXPECT_EQ(n, 0u) << c.format;
      EXPECT_EQ(buf[0], '#') << c.format;
    } else {
      EXPECT_STREQ(buf, c.expected) << c.format;
      EXPECT_EQ(n, std::strlen(c.expected));
    }
  }
  EXPECT_EQ(MrFormatTime(buf, 5, "%Y", st), 4u);
  EXPECT_EQ(MrFormatTime(buf, 4, "%Y", st), 0u);  // no room for the terminator
  EXPECT_EQ(MrFormatTime(nullptr, 4, "%Y", st), 0u);
  EXPECT_EQ(MrFormatTime(buf, sizeof buf, nullptr, st), 0u);
#ifndef _WIN32
  // Without locale data from the system, the C locale's names and formats.
  ASSERT_GT(MrFormatTime(buf, sizeof buf, "%a %A %b %B %p|%c|%x|%X", st), 0u);
  EXPECT_STREQ(buf, "Sun Sunday Jan January AM|01/08/23 00:07:09|01/08/23|00:07:09");
#endif
}

#ifndef _WIN32
class InsertDate : public testing::Test {
 protected:
  void SetUp() override {
    SYSTEMTIME st = {2024, 2, 4, 29, 13, 5, 0, 0};  // Thursday 29 February 2024, 13:05
    MrwTestSetLocalTime(&st);
  }
  void TearDown() override { MrwTestSetLocalTime(nullptr); }
};

TEST_F(InsertDate, FormatsTheLocalTimeAndReplacesExactlyTheSelection) {
  auto date = [](const char* psz) { return [psz](CMirelDoc& doc) { doc.InsertDate(psz); }; };
  RunAll({
      {"at the caret", date("%Y-%m-%d %H:%M (%j)"), "한|", "한2024-02-29 13:05 (060)|", "한|", ""},
      {"replaces the selection", date("%d"), "a^bc|d", "a29|d", "", ""},
      {"a selection made backwards", date("%m"), "a|bc^d", "a02|d", "", ""},
      {"a conversion some runtimes end on", date("%Q %Y"), "a|", "a|", "", ""},
      {"a format that formats nothing", date(""), "a|", "a|", "", ""},
  });
  MarkedDoc d(MIREL_ENCODING_ANSI);
  d.Load("a|");
  d.doc.InsertDate(nullptr);
  EXPECT_EQ(Show(d.doc), "a|");
  // A result that does not fit the bounded buffer inserts nothing.
  d.doc.InsertDate(std::string(300, 'x').c_str());
  EXPECT_EQ(Show(d.doc), "a|");
}
#endif

}  // namespace
}  // namespace mirel_lines_test
