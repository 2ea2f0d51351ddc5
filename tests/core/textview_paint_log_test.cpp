// The drawing calls of the text view's row painter, read from the stand-in's
// draw log: line numbers, the end-of-text mark, a run cut at the right edge,
// UTF-16 units that only look like control characters, matching braces and
// GDI objects left behind.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mirel/syntax/cmrsyntax.h"
#include "textview_paint_fixture.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

using mirel_paint_test::TextViewPaint;

#ifndef _WIN32

namespace {

class TextViewRowLog : public TextViewPaint {
 protected:
  void TearDown() override {
    canvas.reset();
    TextViewPaint::TearDown();
  }

  // Paints one row at y into a memory DC of its own and returns what it drew.
  std::vector<MrwDrawOp> DrawRow(int nRow, int y, BOOL bFocused = FALSE) {
    const HDC hdc = NewCanvas();
    View().DrawLine(hdc, nRow, y, doc.crFore, kBack, bFocused, MIREL_BOOKMARK_FREE, FALSE);
    return MrwTestDrawLog(hdc);
  }

  std::vector<MrwDrawOp> DrawRulerAlone() {
    const HDC hdc = NewCanvas();
    View().DrawRuler(hdc);
    return MrwTestDrawLog(hdc);
  }

  HDC NewCanvas() {
    canvas.reset();
    canvas = std::make_unique<mirel_paint_test::Canvas>(hWnd, cx, cy, doc.hFont);
    return canvas->hdc();
  }

  static std::vector<MrwDrawOp> OfKind(const std::vector<MrwDrawOp>& ops, MrwDrawKind kind) {
    std::vector<MrwDrawOp> out;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(out),
                 [kind](const MrwDrawOp& op) { return op.kind == kind; });
    return out;
  }

  std::unique_ptr<mirel_paint_test::Canvas> canvas;
};

}  // namespace

TEST_F(TextViewRowLog, LineNumbersCountParagraphsFromOneRightAligned) {
  MIREL_REQUIRE_STANDIN();
  Open("a\r\nb\r\nc");
  for (int nRow = 0; nRow < 3; ++nRow) {
    const std::vector<MrwDrawOp> ops = DrawRow(nRow, 0);
    std::vector<MrwDrawOp> numbers;
    for (const MrwDrawOp& op : OfKind(ops, MrwDrawKind::kTextOut))
      if (op.textAlign & TA_RIGHT) numbers.push_back(op);
    ASSERT_EQ(numbers.size(), 1u) << nRow;
    EXPECT_EQ(numbers[0].text, std::u16string(1, static_cast<char16_t>(u'1' + nRow)));
    EXPECT_EQ(numbers[0].x, 15 + doc.nLineNoWidth - 1);
    EXPECT_EQ(numbers[0].textColor, doc.crLineNo);
    EXPECT_EQ(numbers[0].bkMode, TRANSPARENT);
  }
}

TEST_F(TextViewRowLog, EndOfTextMarkOnlyWithBreakCodesAndNoLineEndMarkAtTheEnd) {
  MIREL_REQUIRE_STANDIN();
  Open("");
  EXPECT_TRUE(OfKind(DrawRow(0, 0), MrwDrawKind::kEllipse).empty());
  doc.ShowBreakCode(TRUE);
  const std::vector<MrwDrawOp> ops = DrawRow(0, 0);
  const std::vector<MrwDrawOp> ellipses = OfKind(ops, MrwDrawKind::kEllipse);
  ASSERT_EQ(ellipses.size(), 1u);
  const int mx = doc.nLeftMargin + std::max(nSpace, 6) / 2;
  const int my = tm.tmHeight / 2;
  EXPECT_EQ(ellipses[0].rect.left, mx - 2);
  EXPECT_EQ(ellipses[0].rect.top, my - 2);
  EXPECT_EQ(ellipses[0].rect.right, mx + 2);
  EXPECT_EQ(ellipses[0].rect.bottom, my + 2);
  EXPECT_EQ(ellipses[0].penColor, doc.crCode);
  // The last row has no line end: no line-end mark is read past the text.
  EXPECT_TRUE(OfKind(ops, MrwDrawKind::kPolyline).empty());
}

TEST_F(TextViewRowLog, LineEndMarkOnARowThatEndsAParagraph) {
  MIREL_REQUIRE_STANDIN();
  Open("ab\r\ncd");
  doc.ShowBreakCode(TRUE);
  const std::vector<MrwDrawOp> lines = OfKind(DrawRow(0, 0), MrwDrawKind::kPolyline);
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(lines[0].points.size(), 6u);
  const int x = doc.nLeftMargin + TextWidth("ab");
  EXPECT_EQ(lines[0].points[2].x, x + 1);
  EXPECT_EQ(lines[0].points[2].y, tm.tmHeight / 2);
}

TEST_F(TextViewRowLog, RunIsDrawnFromTheMarginToTheFirstCharacterThatReachesTheRightEdge) {
  MIREL_REQUIRE_STANDIN();
  Open(std::string(400, 'W'));
  const int w = TextWidth("W");
  ASSERT_GT(w, 2);
  // Scrolled so that three characters lie wholly left of the text area and
  // the fourth is cut by the margin.
  for (int hs : {0, 3 * w + 2}) {
    SCOPED_TRACE(hs);
    edit->nHScrollPos = hs;
    std::vector<MrwDrawOp> runs;
    for (const MrwDrawOp& op : OfKind(DrawRow(0, 0), MrwDrawKind::kTextOut))
      if (op.text.find(u'W') != std::u16string::npos) runs.push_back(op);
    ASSERT_EQ(runs.size(), 1u);
    const int x = runs[0].x;
    EXPECT_EQ(x, doc.nLeftMargin - hs + (hs / w) * w);
    const std::string ansi(runs[0].text.size(), 'W');
    EXPECT_GE(x + TextWidth(ansi.c_str()), cx);
    EXPECT_LT(x + TextWidth(ansi.substr(1).c_str()), cx);
  }
}

TEST_F(TextViewRowLog, Utf16UnitsWhoseLowByteIsATabAreText) {
  MIREL_REQUIRE_STANDIN();
  Open("", MIREL_ENCODING_UTF16LE);
  const std::basic_string<WCHAR> text = mirel_test::Wide(u"\u0909x\u0920");
  ASSERT_EQ(doc.InsertW(text.c_str(), static_cast<int>(text.size()), TRUE), 1);
  bool bFound = false;
  for (const MrwDrawOp& op : OfKind(DrawRow(0, 0), MrwDrawKind::kTextOut))
    if (op.text == u"\u0909x\u0920") bFound = true;
  EXPECT_TRUE(bFound);
}

TEST_F(TextViewRowLog, MatchingBracesAreRedrawnOnlyWhenThePositionsDiffer) {
  MIREL_REQUIRE_STANDIN();
  Open("(ab)");
  constexpr COLORREF kBraceFore = RGB(1, 100, 1);
  doc.crMatchingBraceFore = kBraceFore;
  doc.bShowMatchingBrace = TRUE;
  doc.nBracePos[0] = 0;
  doc.nBracePos[1] = 3;
  std::vector<MrwDrawOp> braces;
  for (const MrwDrawOp& op : OfKind(DrawRow(0, 0), MrwDrawKind::kTextOut))
    if (op.textColor == kBraceFore) braces.push_back(op);
  ASSERT_EQ(braces.size(), 2u);
  EXPECT_EQ(braces[0].text, u"(");
  EXPECT_EQ(braces[0].x, doc.nLeftMargin);
  EXPECT_EQ(braces[1].text, u")");
  EXPECT_EQ(braces[1].x, doc.nLeftMargin + TextWidth("(ab"));

  doc.nBracePos[1] = 0;
  for (const MrwDrawOp& op : OfKind(DrawRow(0, 0), MrwDrawKind::kTextOut))
    EXPECT_NE(op.textColor, kBraceFore);
}

TEST_F(TextViewRowLog, EachSyntaxRunIsOneTextRunInItsStyleColours) {
  MIREL_REQUIRE_STANDIN();
  Open("int x; // c");
  MIREL_SYNTAX_INFO info = {};
  info.bCaseSensitive = 1;
  info.pszDelimiters = "";
  info.pszLineComment1 = "//";
  info.pszKeywords[0] = " int ";
  MIREL_SYNTAX_COLORS colors;
  for (MIREL_SYNTAX_COLOR_PAIR& pair : colors.pairs) pair = {MIREL_CLR_AUTO, MIREL_CLR_AUTO};
  constexpr COLORREF kKeyword = RGB(0, 0, 255);
  constexpr COLORREF kComment = RGB(0, 128, 0);
  constexpr COLORREF kCommentBack = RGB(0, 128, 128);
  colors.pairs[MIREL_SYNTAX_PAIR_KEYWORD1] = {kKeyword, MIREL_CLR_AUTO};
  colors.pairs[MIREL_SYNTAX_PAIR_COMMENT1] = {kComment, kCommentBack};
  ASSERT_EQ(doc.SetSyntaxGeneral(&info, &colors), 1);
  doc.pSyntax->ParseUpTo(&doc, 0);
  std::vector<MrwDrawOp> runs;
  for (const MrwDrawOp& op : OfKind(DrawRow(0, 0), MrwDrawKind::kTextOut))
    if (!(op.textAlign & TA_RIGHT)) runs.push_back(op);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].text, u"int");
  EXPECT_EQ(runs[0].textColor, kKeyword);
  EXPECT_EQ(runs[0].bkColor, kBack);
  EXPECT_EQ(runs[1].text, u" x; ");
  EXPECT_EQ(runs[1].textColor, doc.crFore);
  EXPECT_EQ(runs[1].x, doc.nLeftMargin + TextWidth("int"));
  EXPECT_EQ(runs[2].text, u"// c");
  EXPECT_EQ(runs[2].textColor, kComment);
  EXPECT_EQ(runs[2].bkColor, kCommentBack);
  EXPECT_EQ(runs[2].x, doc.nLeftMargin + TextWidth("int x; "));
}

TEST_F(TextViewRowLog, CompositionIsUnderlinedClauseByClauseOrAsAWhole) {
  MIREL_REQUIRE_STANDIN();
  Open("xabcd");
  // "abcd" is being composed: clause "ab" converted (attribute 1), "cd" input.
  doc.bComposing = TRUE;
  doc.nIMEProperty = 0x10000;
  doc.nIMECompPos = 1;
  doc.nIMECompLen = 4;
  doc.pIMEAttr = static_cast<BYTE*>(std::malloc(4));
  doc.pIMEClause = static_cast<int*>(std::malloc(3 * sizeof(int)));
  ASSERT_NE(doc.pIMEAttr, nullptr);
  ASSERT_NE(doc.pIMEClause, nullptr);
  const BYTE attrs[4] = {1, 1, 0, 0};
  std::memcpy(doc.pIMEAttr, attrs, 4);
  doc.nIMEAttrLen = 4;
  doc.pIMEClause[0] = 0;
  doc.pIMEClause[1] = 2;
  doc.pIMEClause[2] = 4;
  const int x0 = doc.nLeftMargin + TextWidth("x");
  const int yLine = tm.tmHeight;
  auto underlines = [&]() {
    std::vector<MrwDrawOp> out;
    for (const MrwDrawOp& op : OfKind(DrawRow(0, 0), MrwDrawKind::kLine))
      if (op.points.size() == 2 && op.points[0].y == yLine && op.points[1].y == yLine) out.push_back(op);
    return out;
  };

  doc.nIMELanguage = 2;
  std::vector<MrwDrawOp> lines = underlines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].points[0].x, x0 + 1);
  EXPECT_EQ(lines[0].points[1].x, x0 + TextWidth("ab") - 1);
  EXPECT_EQ(lines[0].penWidth, 2);
  EXPECT_EQ(lines[0].penStyle, PS_SOLID);
  EXPECT_EQ(lines[1].points[0].x, x0 + TextWidth("ab") + 1);
  EXPECT_EQ(lines[1].points[1].x, x0 + TextWidth("abcd") - 1);
  EXPECT_EQ(lines[1].penStyle, PS_DOT);

  doc.nIMELanguage = 1;
  lines = underlines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points[0].x, x0);
  EXPECT_EQ(lines[0].points[1].x, x0 + TextWidth("abcd"));
  EXPECT_EQ(lines[0].penStyle, PS_DOT);

  // A Korean input method composes in its own window: nothing inline.
  doc.nIMELanguage = 3;
  EXPECT_TRUE(underlines().empty());
}

TEST_F(TextViewRowLog, RulerNumbersEveryTenColumnsFromTheTextStart) {
  MIREL_REQUIRE_STANDIN();
  Open("abc");
  doc.EnableRuler(TRUE);
  const int acw = tm.tmAveCharWidth;
  ASSERT_GT(acw, 0);
  for (int nColumns : {0, 10}) {
    SCOPED_TRACE(nColumns);
    edit->nHScrollPos = nColumns * acw;
    std::vector<MrwDrawOp> labels;
    for (const MrwDrawOp& op : OfKind(DrawRulerAlone(), MrwDrawKind::kTextOut))
      if ((op.textAlign & TA_CENTER) == TA_CENTER) labels.push_back(op);
    ASSERT_FALSE(labels.empty());
    // Column c stands at the text start plus c average widths, less the scroll.
    for (const MrwDrawOp& op : labels) {
      const int c = std::stoi(std::string(op.text.begin(), op.text.end()));
      EXPECT_EQ(c % 10, 0);
      EXPECT_EQ(op.x, doc.nLeftMargin - edit->nHScrollPos + c * acw);
    }
    const bool bHasColumn = std::any_of(labels.begin(), labels.end(), [&](const MrwDrawOp& op) {
      return op.text == (nColumns == 0 ? u"10" : u"20");
    });
    EXPECT_TRUE(bHasColumn);
  }
}

TEST_F(TextViewRowLog, ColumnGuideGoesToTheScreenOnlyWhileFocused) {
  MIREL_REQUIRE_STANDIN();
  Open("\r\n\r\n");
  doc.SetActiveLineType(6);
  const int xGuide = View().nCaretX - edit->nHScrollPos;
  ASSERT_EQ(xGuide, doc.nLeftMargin);
  auto guidePixels = [&]() {
    MrwTestClearDrawLog(hWnd);
    Paint();
    std::vector<MrwDrawOp> out;
    for (const MrwDrawOp& op : OfKind(MrwTestDrawLog(hWnd), MrwDrawKind::kSetPixel))
      if (op.x == xGuide) out.push_back(op);
    return out;
  };
  EXPECT_TRUE(guidePixels().empty());
  SetFocus(hWnd);
  ASSERT_EQ(GetFocus(), hWnd);
  const std::vector<MrwDrawOp> dots = guidePixels();
  ASSERT_GE(dots.size(), static_cast<size_t>(cy / 2 - 1));
  for (size_t i = 0; i < dots.size(); ++i) {
    EXPECT_EQ(dots[i].y, doc.nRulerHeight + 2 * static_cast<int>(i));
    EXPECT_EQ(dots[i].color, doc.crActiveLine);
  }
  // The kept buffer has no guide: the empty last row shows its background.
  EXPECT_EQ(Pixel(xGuide, RowY(2) + 2), kBack);
}

TEST_F(TextViewRowLog, APaintLeavesNoGdiObjectBehind) {
  MIREL_REQUIRE_STANDIN();
  Open("one\r\n\ttwo three\r\n");
  doc.ShowBreakCode(TRUE);
  doc.ShowWhiteSpaceCode(TRUE);
  doc.EnableRuler(TRUE);
  doc.SetSel(1, 8, TRUE);
  Paint();  // makes the back buffer, which stays
  const int nBefore = MrwTestLiveGdiObjects();
  Paint();
  EXPECT_EQ(MrwTestLiveGdiObjects(), nBefore);
}

#endif  // !_WIN32
