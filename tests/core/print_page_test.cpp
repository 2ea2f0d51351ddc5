// Drawing of printed pages, read back from the stand-in's drawing record:
// every row where the pagination puts it, paragraph numbers, tabs, syntax
// colours, decoded UTF-8, the DC's colours restored, and the refused calls.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "print_test_util.h"
#include "syntax_test_util.h"
#include "mirel/syntax/cmrsyntax.h"

#ifndef _WIN32
#include "platform_hooks.h"

using mirel_print_test::PrintTest;

namespace {

struct Drawn {
  int x, y;
  std::u16string text;
  COLORREF color;
  int bkMode;
  COLORREF bkColor;
};

class PrintPageTest : public PrintTest {
 protected:
  std::vector<Drawn> Draw(int nPage, int* pnResult = nullptr) {
    MrwTestClearDrawLog(hdc);
    const int n = doc.PrintPage(&Info(), nPage);
    if (pnResult) *pnResult = n;
    std::vector<Drawn> out;
    for (const MrwDrawOp& op : MrwTestDrawLog(hdc)) {
      if (op.kind == MrwDrawKind::kTextOut)
        out.push_back({op.x, op.y, op.text, op.textColor, op.bkMode, op.bkColor});
    }
    return out;
  }
  // The text drawn on one row (y), concatenated in drawing order.
  static std::u16string RowText(const std::vector<Drawn>& ops, int y, int xFrom) {
    std::u16string s;
    for (const Drawn& d : ops) {
      if (d.y == y && d.x >= xFrom) s += d.text;
    }
    return s;
  }
  int RowY(int nRowOnPage) const { return kTop + nRowOnPage * Info().nLineHeight; }
  const CMrPrintInfo& Info() const { return *doc.pPrintInfo; }
  using PrintTest::Info;
};

TEST_F(PrintPageTest, EveryPageDrawsItsRowsWithParagraphNumbersOnFirstRowsOnly) {
  Open(MIREL_ENCODING_ANSI, "hello world\nab\n\ncd\fef");
  doc.SetPageBreakCode('\f');
  Prepare(MIREL_WRAP_WORD, 8 * nCharWidth, 2, TRUE);
  ASSERT_EQ(Info().nPageCount, 4);
  const int xText = Info().nTextLeft;
  // page: rows of text, then the numbers drawn at the left edge.
  struct Expect {
    std::vector<std::u16string> rows;
    std::vector<std::u16string> numbers;  // per row, empty for none
  };
  const Expect pages[] = {
      {{u"hello ", u"world"}, {u"1", u""}},
      {{u"ab", u""}, {u"2", u"3"}},
      {{u"cd"}, {u"4"}},
      {{u"ef"}, {u""}},
  };
  for (int nPage = 0; nPage < 4; ++nPage) {
    SCOPED_TRACE(nPage);
    int nResult = -1;
    const std::vector<Drawn> ops = Draw(nPage, &nResult);
    EXPECT_EQ(nResult, 1);
    for (size_t r = 0; r < pages[nPage].rows.size(); ++r) {
      const int y = RowY(static_cast<int>(r));
      EXPECT_EQ(RowText(ops, y, xText), pages[nPage].rows[r]);
      std::u16string number;
      for (const Drawn& d : ops) {
        if (d.y == y && d.x == kLeft) {
          number += d.text;
          EXPECT_EQ(d.color, MIREL_PRINT_LINE_NO_COLOR);
        }
      }
      EXPECT_EQ(number, pages[nPage].numbers[r]);
    }
    for (const Drawn& d : ops) EXPECT_EQ(d.text.find(u'\f'), std::u16string::npos);
  }
  // The page-break character never prints; the rest of the paragraph opens
  // the next page without a number.
  Prepare(MIREL_WRAP_WORD, 8 * nCharWidth, 10, TRUE);
  ASSERT_EQ(Info().nPageCount, 2);
  const std::vector<Drawn> last = Draw(1);
  EXPECT_EQ(RowText(last, RowY(0), xText), u"ef");
  EXPECT_EQ(RowText(last, RowY(0), kLeft), u"ef");
}

TEST_F(PrintPageTest, NumbersKeepTheirFirstFiveCharacters) {
  std::string text;
  for (int i = 0; i < 123456; ++i) text += "\n";
  Open(MIREL_ENCODING_ANSI, text);
  Prepare(MIREL_WRAP_CHAR, 8 * nCharWidth, 1, TRUE);
  ASSERT_EQ(Info().nPageCount, 123457);
  EXPECT_EQ(RowText(Draw(99998), RowY(0), kLeft), u"99999");
  EXPECT_EQ(RowText(Draw(123455), RowY(0), kLeft), u"12345");
}

TEST_F(PrintPageTest, TabsMoveToTheNextStopAndTextIsClippedToThePrintArea) {
  Open(MIREL_ENCODING_ANSI, "\tab\tc");
  doc.SetTabSize(4);
  Prepare(MIREL_WRAP_CHAR, 40 * nCharWidth, 3);
  const int nTab = Info().nTabWidth;
  const std::vector<Drawn> ops = Draw(0);
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[0].x, Info().nTextLeft + nTab);
  EXPECT_EQ(ops[0].text, u"ab");
  EXPECT_EQ(ops[1].x, Info().nTextLeft + 2 * nTab);
  for (const MrwDrawOp& op : MrwTestDrawLog(hdc)) {
    EXPECT_TRUE(op.options & ETO_CLIPPED);
    EXPECT_EQ(op.rect.left, Info().rcPrint.left);
    EXPECT_EQ(op.rect.bottom, Info().rcPrint.bottom);
  }
}

TEST_F(PrintPageTest, ColourFollowsTheSyntaxStylesOrIsBlackOnTransparent) {
  Open(MIREL_ENCODING_ANSI, "int x\nint y");
  MIREL_SYNTAX_INFO def = mirel_syntax_test::BasicDefinition();
  MIREL_SYNTAX_COLORS colors = mirel_syntax_test::AutoColors();
  colors.pairs[MIREL_SYNTAX_PAIR_KEYWORD1] = {RGB(200, 0, 0), RGB(0, 0, 220)};
  colors.pairs[MIREL_SYNTAX_PAIR_TEXT] = {RGB(0, 120, 0), MIREL_CLR_AUTO};
  ASSERT_EQ(doc.SetSyntaxGeneral(&def, &colors), 1);
  SetTextColor(hdc, RGB(1, 2, 3));
  SetBkColor(hdc, RGB(4, 5, 6));
  SetBkMode(hdc, OPAQUE);
  for (BOOL bColor : {TRUE, FALSE}) {
    SCOPED_TRACE(bColor);
    Prepare(MIREL_WRAP_CHAR, 40 * nCharWidth, 5, FALSE, bColor);
    const std::vector<Drawn> ops = Draw(0);
    ASSERT_EQ(RowText(ops, RowY(1), 0), u"int y");
    for (const Drawn& d : ops) {
      const bool bKeyword = d.text == u"int";
      if (!bColor) {
        EXPECT_EQ(d.color, 0u);
        EXPECT_EQ(d.bkMode, TRANSPARENT);
      } else if (bKeyword) {
        EXPECT_EQ(d.color, RGB(200, 0, 0));
        EXPECT_EQ(d.bkMode, OPAQUE);
        EXPECT_EQ(d.bkColor, RGB(0, 0, 220));
      } else {
        EXPECT_EQ(d.color, RGB(0, 120, 0));
        EXPECT_EQ(d.bkMode, TRANSPARENT);
      }
    }
    EXPECT_EQ(GetTextColor(hdc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkColor(hdc), RGB(4, 5, 6));
    EXPECT_EQ(GetBkMode(hdc), OPAQUE);
  }
}

TEST_F(PrintPageTest, Utf8IsDrawnAsDecodedCharacters) {
  Open(MIREL_ENCODING_UTF8,
       "a\xEA\xB0\xA0\xED\x95\x9C"
       "b\nc");
  Prepare(MIREL_WRAP_CHAR, 40 * nCharWidth, 5);
  const std::vector<Drawn> ops = Draw(0);
  EXPECT_EQ(RowText(ops, RowY(0), 0), u"a\uAC20\uD55Cb");
  EXPECT_EQ(RowText(ops, RowY(1), 0), u"c");
}

TEST_F(PrintPageTest, PagesThatDoNotExistOrAreReleasedDrawNothing) {
  Open(MIREL_ENCODING_ANSI, "1\n2\n3");
  // Before any preparation.
  CMrPrintInfo* s = doc.GetOrCreatePrintInfo();
  s->hDC = hdc;
  EXPECT_TRUE(Draw(0).empty());
  Prepare(MIREL_WRAP_CHAR, 8 * nCharWidth, 2);
  ASSERT_EQ(Info().nPageCount, 2);
  for (int nPage : {-1, 2, 1000}) EXPECT_TRUE(Draw(nPage).empty()) << nPage;
  EXPECT_FALSE(Draw(1).empty());
  // Not a device context.
  Info().hDC = reinterpret_cast<HDC>(hFont);
  EXPECT_TRUE(Draw(0).empty());
  Info().hDC = hdc;
  doc.EndPrint(&Info());
  EXPECT_TRUE(Draw(0).empty());
  doc.EndPrint(&Info());  // a second end is harmless
  EXPECT_TRUE(Draw(0).empty());
}

TEST_F(PrintPageTest, TheDocumentsSyntaxOutlivesPrintingAndAReplacedOneIsNotRead) {
  Open(MIREL_ENCODING_ANSI, "int x");
  MIREL_SYNTAX_INFO def = mirel_syntax_test::BasicDefinition();
  MIREL_SYNTAX_COLORS colors = mirel_syntax_test::AutoColors();
  colors.pairs[MIREL_SYNTAX_PAIR_KEYWORD1] = {RGB(200, 0, 0), MIREL_CLR_AUTO};
  ASSERT_EQ(doc.SetSyntaxGeneral(&def, &colors), 1);
  Prepare(MIREL_WRAP_CHAR, 40 * nCharWidth, 5, FALSE, TRUE);
  CMrSyntax* pDocSyntax = doc.pSyntax;
  doc.EndPrint(&Info());
  EXPECT_EQ(doc.pSyntax, pDocSyntax);
  EXPECT_EQ(pDocSyntax->GetSyntaxType(), MIREL_SYNTAX_GENERAL);
  // The host installs another definition between preparing and printing.
  Prepare(MIREL_WRAP_CHAR, 40 * nCharWidth, 5, FALSE, TRUE);
  colors.pairs[MIREL_SYNTAX_PAIR_KEYWORD1] = {RGB(0, 0, 200), MIREL_CLR_AUTO};
  ASSERT_EQ(doc.SetSyntaxGeneral(&def, &colors), 1);
  doc.pSyntax->ParseAll(&doc, nullptr);
  const std::vector<Drawn> ops = Draw(0);
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops[0].text, u"int");
  EXPECT_EQ(ops[0].color, RGB(0, 0, 200));
}

TEST_F(PrintPageTest, RowsTheChangedTextNoLongerHoldsEndThePage) {
  Open(MIREL_ENCODING_ANSI, "abc\ndef\nghi");
  Prepare(MIREL_WRAP_CHAR, 8 * nCharWidth, 5);
  ASSERT_TRUE(doc.DeleteContents(1, 9, FALSE));
  int nResult = -1;
  EXPECT_TRUE(Draw(0, &nResult).empty());
  EXPECT_EQ(nResult, 0);
}

}  // namespace

#endif  // !_WIN32
