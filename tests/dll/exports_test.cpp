// What the exported functions add to the document operations they reach:
// host arguments checked at the boundary, caller buffers respected, and a
// control that has no text yet.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "control_fixture.h"
#include "export_calls.h"
#include "mirel/cmireldoc.h"
#include "mirel/syntax/cmrsyntax.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"
#include "test_support.h"

namespace {

class Exports : public mirel_test::ControlTest {
 protected:
  Exports() : ControlTest(11) {}
};

TEST_F(Exports, EveryExportIsHarmlessBeforeTheFirstNewFile) {
  for (const mirel_test::ExportCall& e : mirel_test::HandleExports()) {
    const std::string name = e.name;
    if (name == "Mirel_Destroy" || name == "Mirel_NewFile") continue;
    e.call(m_hCtrl);
  }
  // Nothing was made by the calls above that NewFile cannot replace.
  Mirel_SetReadOnly(m_hCtrl, FALSE);
  Fill("after");
  char text[8] = {0};
  EXPECT_EQ(Mirel_GetTextA(m_hCtrl, text, 0, 5), 5);
  EXPECT_STREQ(text, "after");
}

// Before NewFile there is no text: every text operation answers 0.
TEST_F(Exports, TextOperationsAnswerZeroBeforeTheFirstNewFile) {
  const std::pair<const char*, std::function<int(HWND)>> kOps[] = {
      {"Delete", [](HWND h) { return Delete(h, 0); }},
      {"DeleteWord", [](HWND h) { return DeleteWord(h); }},
      {"Mirel_InsertA", [](HWND h) { return Mirel_InsertA(h, "a", 1, TRUE); }},
      {"Mirel_InsertColumnsTextA", [](HWND h) { return Mirel_InsertColumnsTextA(h, "a", 1, TRUE); }},
      {"Mirel_GetTextA", [](HWND h) { return Mirel_GetTextA(h, nullptr, 0, 1); }},
  };
  for (const auto& op : kOps) EXPECT_EQ(op.second(m_hCtrl), 0) << op.first;
}

// The paragraph is taken unsigned: a negative one lies past the last
// paragraph and marks the last.
TEST_F(Exports, CurrentTagOfANegativeParagraphIsTheLast) {
  Fill("a\r\nb\r\nc");
  CMirelDoc* pdoc = MirelFindDoc(m_hCtrl);
  ASSERT_NE(pdoc, nullptr);
  for (int nPara : {-1, INT_MIN, 7}) {
    Mirel_SetCurrentTag(m_hCtrl, 0);
    Mirel_SetCurrentTag(m_hCtrl, nPara);
    EXPECT_EQ(pdoc->nCurrentTagPara, 2) << nPara;
  }
}

TEST_F(Exports, NewLineCodeRespectsTheCallersBuffer) {
  Fill("a");
  EXPECT_EQ(Mirel_GetNewLineCodeA(m_hCtrl, nullptr, 0), 2);  // a new document uses CR LF
  char buf[4];
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(Mirel_GetNewLineCodeA(m_hCtrl, buf, 3), 2);
  EXPECT_STREQ(buf, "\r\n");
  // Too small for the newline and its terminator: an empty string, nothing
  // beyond the buffer, and still the length.
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(Mirel_GetNewLineCodeA(m_hCtrl, buf, 2), 2);
  EXPECT_EQ(buf[0], '\0');
  EXPECT_EQ(buf[2], '#');
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(Mirel_GetNewLineCodeA(m_hCtrl, buf, 0), 2);
  EXPECT_EQ(Mirel_GetNewLineCodeA(m_hCtrl, buf, -5), 2);
  EXPECT_EQ(buf[0], '#');

  MirelFindDoc(m_hCtrl)->nFileFormat = MIREL_FILE_FORMAT_LF;
  EXPECT_EQ(Mirel_GetNewLineCodeA(m_hCtrl, buf, 2), 1);
  EXPECT_STREQ(buf, "\n");
  MirelFindDoc(m_hCtrl)->nFileFormat = MIREL_FILE_FORMAT_CR;
  EXPECT_EQ(Mirel_GetNewLineCodeA(m_hCtrl, buf, 4), 1);
  EXPECT_STREQ(buf, "\r");
}

TEST_F(Exports, FileBufferRangesAreClampedAndRefused) {
  Fill("0123456789");
  char buf[16];
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(Mirel_GetFileBuffer(m_hCtrl, nullptr, 0, 10), 10);
  EXPECT_EQ(Mirel_GetFileBuffer(m_hCtrl, buf, -4, 3), 3);
  EXPECT_EQ(std::string(buf, 4), "012#");
  EXPECT_EQ(Mirel_GetFileBuffer(m_hCtrl, buf, 8, 1000), 2);
  EXPECT_EQ(std::string(buf, 2), "89");
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(Mirel_GetFileBuffer(m_hCtrl, buf, 6, 2), 0);
  EXPECT_EQ(Mirel_GetFileBuffer(m_hCtrl, buf, 2, -1), 0);
  EXPECT_EQ(Mirel_GetFileBuffer(m_hCtrl, buf, -9, -1), 0);
  EXPECT_EQ(buf[0], '#');
}

TEST_F(Exports, SelectionCrossesTheBoundaryAsInts) {
  Fill("hello world");
  Mirel_SetSel(m_hCtrl, -3, 5, FALSE);
  int nStart = -1, nEnd = -1;
  Mirel_GetBlock(m_hCtrl, &nStart, &nEnd);
  EXPECT_EQ(nStart, 0);
  EXPECT_EQ(nEnd, 5);
  EXPECT_TRUE(Mirel_IsSelected(m_hCtrl));
  // Either output may be left out.
  Mirel_GetBlock(m_hCtrl, nullptr, &nEnd);
  Mirel_GetBlock(m_hCtrl, &nStart, nullptr);
  Mirel_GetBlock(m_hCtrl, nullptr, nullptr);
  EXPECT_EQ(nStart, 0);
  EXPECT_EQ(nEnd, 5);
  EXPECT_EQ(Mirel_GetParagraphIndex(m_hCtrl, -100), 0);
}

TEST_F(Exports, LineCountFollowsTheDisplayRows) {
  Fill("one\r\ntwo\r\nthree");
  EXPECT_EQ(Mirel_GetLineCount(m_hCtrl), 3);
  EXPECT_EQ(Mirel_GetParagraphCount(m_hCtrl), 3);
  int nStart = -1, nEnd = -1;
  EXPECT_EQ(Mirel_GetParagraph(m_hCtrl, 1, &nStart, &nEnd), 1);
  EXPECT_EQ(nStart, 5);
  EXPECT_EQ(nEnd, 8);
}

TEST_F(Exports, LineCountInTheHexViewCountsHexRows) {
  Fill("0123456789abcdef0123456789abcdef");  // 32 bytes, 16 per hex row
  CMirelDoc* pdoc = MirelFindDoc(m_hCtrl);
  ASSERT_NE(pdoc, nullptr);
  pdoc->nViewType = MIREL_VIEW_TYPE_HEX;
  EXPECT_EQ(Mirel_GetLineCount(m_hCtrl), 3);
  pdoc->nViewType = 7;  // no such view
  EXPECT_EQ(Mirel_GetLineCount(m_hCtrl), 0);
  pdoc->nViewType = MIREL_VIEW_TYPE_TEXT;
  EXPECT_EQ(Mirel_GetLineCount(m_hCtrl), 1);
}

TEST_F(Exports, DeleteIgnoresItsSecondArgument) {
  Fill("abc");
  Mirel_SetSel(m_hCtrl, 0, 0, FALSE);
  EXPECT_EQ(Delete(m_hCtrl, 0), 1);
  EXPECT_EQ(Delete(m_hCtrl, 0x7FFFFFFF), 1);
  char ch = 0;
  EXPECT_EQ(Mirel_GetContentsSize(m_hCtrl), 1);
  EXPECT_EQ(Mirel_GetTextA(m_hCtrl, &ch, 0, 1), 1);
  EXPECT_EQ(ch, 'c');
}

TEST_F(Exports, AKeywordLanguageReplacesThePlainSyntax) {
  Fill("int x;");
  MIREL_SYNTAX_INFO def = {};
  def.bCaseSensitive = 1;
  def.pszKeywords[0] = " int ";
  MIREL_SYNTAX_COLORS colors;
  for (MIREL_SYNTAX_COLOR_PAIR& pair : colors.pairs)
    pair = MIREL_SYNTAX_COLOR_PAIR{MIREL_CLR_AUTO, MIREL_CLR_AUTO};
  EXPECT_EQ(Mirel_SetSyntaxGeneral(m_hCtrl, nullptr, &colors), 0);
  EXPECT_EQ(Mirel_SetSyntaxGeneral(m_hCtrl, &def, nullptr), 0);
  CMirelDoc* pdoc = MirelFindDoc(m_hCtrl);
  ASSERT_NE(pdoc->GetSyntax(), nullptr);
  EXPECT_EQ(pdoc->GetSyntax()->GetSyntaxType(), MIREL_SYNTAX_NONE);
  EXPECT_EQ(Mirel_SetSyntaxGeneral(m_hCtrl, &def, &colors), 1);
  ASSERT_NE(pdoc->GetSyntax(), nullptr);
  EXPECT_EQ(pdoc->GetSyntax()->GetSyntaxType(), MIREL_SYNTAX_GENERAL);
  EXPECT_EQ(Mirel_GetContentsSize(m_hCtrl), 6);
}

TEST_F(Exports, SettingsReachTheDocumentOfTheirControl) {
  HWND hOther = Mirel_Create(m_host.hWnd(), 12, 0, 0, 100, 100, 0, WS_CHILD);
  ASSERT_NE(hOther, nullptr);
  Mirel_SetTabSize(m_hCtrl, 8);
  Mirel_SetReadOnly(m_hCtrl, TRUE);
  Mirel_SetOverwriteMode(m_hCtrl, TRUE);
  EXPECT_EQ(Mirel_GetTabSize(m_hCtrl), 8);
  EXPECT_TRUE(Mirel_IsReadOnly(m_hCtrl));
  EXPECT_TRUE(Mirel_IsOverwriteMode(m_hCtrl));
  EXPECT_EQ(Mirel_GetTabSize(hOther), 4);
  EXPECT_FALSE(Mirel_IsReadOnly(hOther));
  EXPECT_FALSE(Mirel_IsOverwriteMode(hOther));
  EXPECT_EQ(Mirel_GetViewType(hOther), MIREL_VIEW_TYPE_TEXT);
  EXPECT_EQ(Mirel_GetFileEncoding(hOther), MIREL_ENCODING_ANSI);
  EXPECT_EQ(Mirel_GetFileFormat(hOther), MIREL_FILE_FORMAT_CRLF);
  Mirel_Destroy(hOther);
}

}  // namespace
