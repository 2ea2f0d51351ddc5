// Character widths, text metrics, fonts, margins and the pixel x of positions.
// Expected pixels come from the same font measured on the screen DC, so the
// tests hold for the stand-in's font metrics and for real fonts alike.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "mirel/cmireldoc.h"
#include "positions_fixture.h"
#ifndef _WIN32
#include <hooks_gdi.h>
#endif

namespace {

using mirel_test::ScreenMeasure;
using mirel_test::TestFont;
using mirel_test::TextDoc;
using mirel_test::Utf16Bytes;

int Width(CMirelDoc& doc, const std::string& ch) {
  return doc.GetCharWidth(reinterpret_cast<const BYTE*>(ch.data()), static_cast<DWORD>(ch.size()));
}

// ---------------------------------------------------------------------------
// Fonts and metrics

TEST(MetricsFont, WidthsAndMetricsFollowTheTextFont) {
  CMirelDoc doc;
  const LOGFONTA lf = TestFont(-20);
  doc.SetFont(&lf);
  ASSERT_NE(nullptr, doc.hFont);
  ScreenMeasure screen(&lf);
  for (const char* ch : {"i", "W", "9", " ", "~", "\xA1"}) EXPECT_EQ(screen.WidthA(ch), Width(doc, ch)) << ch;
  EXPECT_EQ(doc.nCharWidth[' '], doc.nCharWidth[0]);
  const TEXTMETRICA tm = screen.Metrics();
  EXPECT_EQ(tm.tmHeight, doc.nFontHeight);
  EXPECT_EQ(tm.tmHeight * 120 / 100, doc.nLineHeight);
  EXPECT_EQ(tm.tmAveCharWidth, doc.nAveCharWidth);
  EXPECT_EQ(tm.tmAveCharWidth * 4, doc.nTabWidth);
  EXPECT_EQ(0, std::memcmp(&lf, doc.GetTextLogFont(), sizeof(lf)));
}

TEST(MetricsFont, LineSpacingScalesTheRowHeight) {
  CMirelDoc doc;
  doc.nLineSpacing = 150;
  const LOGFONTA lf = TestFont(-16);
  doc.SetFont(&lf);
  EXPECT_EQ(ScreenMeasure(&lf).Metrics().tmHeight * 150 / 100, doc.nLineHeight);
  // Divisors derived from the metrics never drop below 1.
  doc.nLineSpacing = 0;
  doc.nTabSize = 0;
  doc.UpdateTextMetrics(nullptr);
  EXPECT_GE(doc.nLineHeight, 1);
  EXPECT_GE(doc.nTabWidth, 1);
}

TEST(MetricsFont, ZeroHeightKeepsTheDcFont) {
  CMirelDoc doc;
  const LOGFONTA big = TestFont(-30);
  doc.SetFont(&big);
  const LOGFONTA zero{};
  doc.SetFont(&zero);
  EXPECT_EQ(nullptr, doc.hFont);
  ScreenMeasure screen(nullptr);
  EXPECT_EQ(screen.WidthA("W"), Width(doc, "W"));
  EXPECT_EQ(screen.Metrics().tmHeight, doc.nFontHeight);
}

TEST(MetricsFont, NullFontsChangeNothing) {
  CMirelDoc doc;
  const LOGFONTA lf = TestFont(-18);
  doc.SetFont(&lf);
  doc.SetFontHex(&lf);
  HFONT hFont = doc.hFont;
  HFONT hFontHex = doc.hFontHex;
  const int nHeight = doc.nLineHeight;
  doc.SetFont(nullptr);
  doc.SetFontHex(nullptr);
  doc.SetEditFont(nullptr, nullptr);
  EXPECT_EQ(hFont, doc.hFont);
  EXPECT_EQ(hFontHex, doc.hFontHex);
  EXPECT_EQ(nHeight, doc.nLineHeight);
}

TEST(MetricsFont, FontsAreNotLeaked) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  const int nBefore = MrwTestLiveGdiObjects();
  {
    CMirelDoc doc;
    const LOGFONTA lf = TestFont(-14);
    for (int i = 0; i < 3; ++i) {
      doc.SetFont(&lf);
      doc.SetFontHex(&lf);
      doc.ApplyFont();
    }
  }
  EXPECT_EQ(nBefore, MrwTestLiveGdiObjects());
#endif
}

// ---------------------------------------------------------------------------
// Two-byte widths

TEST(MetricsWide, AnsiPairsMeasureAsOneCharacter) {
  TextDoc t;
  ScreenMeasure screen(&t.font);
  EXPECT_EQ(screen.WidthA("\xB0\xA1"), Width(t.doc, "\xB0\xA1"));
  EXPECT_EQ(screen.WidthA("\xC7\xD1"), Width(t.doc, "\xC7\xD1"));
  // The last code of the table has an entry of its own.
  EXPECT_EQ(screen.WidthA("\xFF\xFF"), Width(t.doc, "\xFF\xFF"));
  // A CR LF pair shows as a space; longer than a pair: a space.
  EXPECT_EQ(screen.WidthA(" "), Width(t.doc, "\r\n"));
  EXPECT_EQ(screen.WidthA(" "), Width(t.doc, "abc"));
  EXPECT_EQ(0, t.doc.GetCharWidth(nullptr, 1));
  EXPECT_EQ(0, Width(t.doc, ""));
}

TEST(MetricsWide, Utf16UnitsMeasureWhole) {
  TextDoc t(MIREL_ENCODING_UTF16LE);
  ScreenMeasure screen(&t.font);
  const int nSpace = screen.WidthA(" ");
  EXPECT_EQ(screen.WidthW(u'\uAC00'), Width(t.doc, Utf16Bytes(u"\uAC00")));
  // Units whose low byte is CR or LF are characters, not line ends.
  for (char16_t unit : {u'\u4E0D', u'\u4E0A', u'\uAC0A', u'\uAC0D', u'\u4E09'}) {
    const char16_t s[2] = {unit, 0};
    EXPECT_EQ(screen.WidthW(unit), Width(t.doc, Utf16Bytes(s))) << static_cast<int>(unit);
  }
  EXPECT_EQ(nSpace, Width(t.doc, Utf16Bytes(u"\r\n")));
  EXPECT_EQ(nSpace, Width(t.doc, Utf16Bytes(u"\r")));
  EXPECT_EQ(screen.WidthW(u'\uFFFF'), Width(t.doc, Utf16Bytes(u"\uFFFF")));
  EXPECT_GE(Width(t.doc, Utf16Bytes(u"\uFFFF")), 0);
}

TEST(MetricsWide, Utf8DecodesToTheUnitItsWidthIsKeptUnder) {
  TextDoc t(MIREL_ENCODING_UTF8);
  ScreenMeasure screen(&t.font);
  EXPECT_EQ(screen.WidthW(u'\uAC00'), Width(t.doc, "\xEA\xB0\x80"));
  EXPECT_EQ(screen.WidthW(u'\u00E9'), Width(t.doc, "\xC3\xA9"));
  EXPECT_GE(Width(t.doc, "\xF0\x9F\x98\x80"), 0);
  EXPECT_GE(Width(t.doc, "\xC3\x41"), 0);  // ill-formed
}

// A character beyond the basic plane is drawn as one glyph from its surrogate
// pair, so it is measured as one: in UTF-16 and in UTF-8, before and after the
// width tables are made again. A lone surrogate is a unit of its own.
TEST(MetricsWide, CharactersBeyondTheBasicPlaneMeasureAsOneGlyph) {
  const struct {
    const char* name;
    std::u16string pair;
    std::string utf8;
  } kChars[] = {
      {"U+1F600", u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
      {"U+20000", u"\xD840\xDC00", "\xF0\xA0\x80\x80"},
      {"U+10FFFF", u"\xDBFF\xDFFF", "\xF4\x8F\xBF\xBF"},
  };
  TextDoc wide(MIREL_ENCODING_UTF16LE);
  TextDoc utf8(MIREL_ENCODING_UTF8);
  ScreenMeasure screen(&wide.font);
  for (int round = 0; round < 2; ++round) {
    for (const auto& c : kChars) {
      SCOPED_TRACE(std::string(c.name) + (round == 0 ? "" : " after a new table"));
      const int nGlyph = screen.WidthW(c.pair);
      EXPECT_EQ(nGlyph, Width(wide.doc, Utf16Bytes(c.pair.c_str())));
      EXPECT_EQ(nGlyph, Width(utf8.doc, c.utf8));
      EXPECT_EQ(screen.WidthW(c.pair[0]), Width(wide.doc, Utf16Bytes(c.pair.substr(0, 1).c_str())));
      EXPECT_EQ(screen.WidthW(c.pair[1]), Width(wide.doc, Utf16Bytes(c.pair.substr(1).c_str())));
    }
    wide.doc.MeasureCharWidths(nullptr, FALSE, TRUE);
    utf8.doc.MeasureCharWidths(nullptr, FALSE, TRUE);
  }
}

TEST(MetricsWide, ForgottenEntriesAreMeasuredAgain) {
  TextDoc t;
  ScreenMeasure screen(&t.font);
  t.doc.nCharWidth['q'] = -1;
  EXPECT_EQ(screen.WidthA("q"), Width(t.doc, "q"));
  t.doc.MeasureCharWidths(nullptr, FALSE, TRUE);  // a fresh two-byte table
  EXPECT_EQ(screen.WidthA("\xB0\xA1"), Width(t.doc, "\xB0\xA1"));
  const std::string s = "ab\xB0\xA1";
  EXPECT_EQ(screen.WidthA("a") + screen.WidthA("b") + screen.WidthA("\xB0\xA1"),
            t.doc.GetStringWidth(reinterpret_cast<const BYTE*>(s.data()), 0, 4));
  EXPECT_EQ(screen.WidthA("\xB0\xA1"), t.doc.GetStringWidth(reinterpret_cast<const BYTE*>(s.data()), 2, 2));
  EXPECT_EQ(0, t.doc.GetStringWidth(nullptr, 0, 4));
}

// ---------------------------------------------------------------------------
// Margins and ruler

TEST(MetricsMargins, LineNumberDigitsFollowTheRowCount) {
  TextDoc t;
  const int nNine = Width(t.doc, "9");
  ASSERT_TRUE(t.SetText(std::string(998, '\n')));
  ASSERT_EQ(999, t.doc.nLineCount);
  t.doc.CalcLineNoWidth();
  EXPECT_EQ(3 * nNine + 4, t.doc.nLineNoWidth);
  ASSERT_TRUE(t.SetText(std::string(999, '\n')));
  ASSERT_EQ(1000, t.doc.nLineCount);
  t.doc.CalcLineNoWidth();
  EXPECT_EQ(4 * nNine + 4, t.doc.nLineNoWidth);
}

TEST(MetricsMargins, LineNumberDigitsCountParagraphsNotWrappedRows) {
  TextDoc t(MIREL_ENCODING_ANSI, MIREL_WRAP_CHAR);
  const int nNine = Width(t.doc, "9");
  std::string text(40, 'a');
  for (int i = 1; i < 301; ++i) text += "\r\n" + std::string(40, 'a');
  ASSERT_TRUE(t.SetText(text));
  ASSERT_GE(t.doc.nLineCount, 1000);  // wrapped into more rows than 3 digits count
  ASSERT_EQ(301, t.doc.GetParagraphCount());
  t.doc.CalcLineNoWidth();
  EXPECT_EQ(3 * nNine + 4, t.doc.nLineNoWidth);
  // Numbers run to the paragraph count: 999 paragraphs fit 3 digits, 1000 do not.
  ASSERT_TRUE(t.SetText(std::string(998, '\n')));
  t.doc.CalcLineNoWidth();
  EXPECT_EQ(3 * nNine + 4, t.doc.nLineNoWidth);
  ASSERT_TRUE(t.SetText(std::string(999, '\n')));
  t.doc.CalcLineNoWidth();
  EXPECT_EQ(4 * nNine + 4, t.doc.nLineNoWidth);
}

TEST(MetricsMargins, LeftMarginFromTheOptions) {
  TextDoc t;
  ASSERT_EQ(MIREL_OPT_DEFAULT, t.doc.nOptions);
  t.doc.CalcLeftMargin();
  EXPECT_EQ(t.doc.nLineNoWidth + 19, t.doc.nLeftMargin);
  t.doc.nOptions |= MIREL_OPT_FOLDER_MARGIN;
  t.doc.CalcLeftMargin();
  EXPECT_EQ(t.doc.nLineNoWidth + 29, t.doc.nLeftMargin);
  t.doc.nOptions &= ~(MIREL_OPT_LINE_NO | MIREL_OPT_INDICATOR_MARGIN | MIREL_OPT_FOLDER_MARGIN);
  t.doc.CalcLeftMargin();
  EXPECT_EQ(4, t.doc.nLeftMargin);
}

TEST(MetricsMargins, Ruler) {
  CMirelDoc doc;
  EXPECT_FALSE(doc.IsShowRuler());
  doc.EnableRuler(TRUE);
  EXPECT_EQ(15, doc.nRulerHeight);
  EXPECT_TRUE(doc.IsShowRuler());
  doc.EnableRuler(FALSE);
  EXPECT_EQ(0, doc.nRulerHeight);
}

// ---------------------------------------------------------------------------
// Pixel x of positions

TEST(MetricsX, TabsAndCharactersAlongARow) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("Wi\tj\xB0\xA1"));
  ScreenMeasure screen(&t.font);
  const int w = screen.WidthA("W");
  const int i = screen.WidthA("i");
  const int tab = t.doc.nTabWidth;
  const int nStop = ((w + i) / tab + 1) * tab;
  EXPECT_EQ(0, t.doc.GetXFromPos(0, 0, FALSE));
  EXPECT_EQ(w, t.doc.GetXFromPos(0, 1, FALSE));
  EXPECT_EQ(w + i, t.doc.GetXFromPos(0, 2, FALSE));
  EXPECT_EQ(nStop, t.doc.GetXFromPos(0, 3, FALSE));
  EXPECT_EQ(nStop + screen.WidthA("j"), t.doc.GetXFromPos(0, 4, FALSE));
  const int nEnd = nStop + screen.WidthA("j") + screen.WidthA("\xB0\xA1");
  EXPECT_EQ(nEnd, t.doc.GetXFromPos(0, 6, FALSE));
  EXPECT_EQ(nEnd, t.doc.GetXFromPos(0, 600, FALSE));  // past the row: its end
  EXPECT_EQ(0, t.doc.GetXFromPos(7, 1, FALSE));
  // Left half of W: before it; right half: after it.
  EXPECT_EQ(0u, t.doc.GetPosFromX(0, 1, FALSE));
  EXPECT_EQ(1u, t.doc.GetPosFromX(0, w - 1, FALSE));
  EXPECT_EQ(0u, t.doc.GetPosFromX(0, -5, FALSE));
  EXPECT_EQ(3u, t.doc.GetPosFromX(0, nStop + 1, FALSE));
  EXPECT_EQ(6u, t.doc.GetPosFromX(0, INT_MAX, FALSE));
}

TEST(MetricsX, Utf16TabIsOneWholeUnit) {
  TextDoc t(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(t.SetText(Utf16Bytes(u"\ta\u4E09b")));
  ScreenMeasure screen(&t.font);
  const int tab = t.doc.nTabWidth;
  EXPECT_EQ(tab, t.doc.GetXFromPos(0, 2, FALSE));
  EXPECT_EQ(tab + screen.WidthW(u'a'), t.doc.GetXFromPos(0, 4, FALSE));
  // U+4E09 has the tab's value as its low byte but is a character.
  EXPECT_EQ(tab + screen.WidthW(u'a') + screen.WidthW(u'\u4E09'), t.doc.GetXFromPos(0, 6, FALSE));
  EXPECT_EQ(2u, t.doc.GetPosFromX(0, tab, FALSE));
  EXPECT_EQ(6u, t.doc.GetPosFromX(0, t.doc.GetXFromPos(0, 6, FALSE), FALSE));
}

// The caret x and the hit test step over a surrogate pair as one character
// of one glyph's width, and never answer a position between its halves.
TEST(MetricsX, Utf16SurrogatePairIsOneCharacterAlongARow) {
  TextDoc t(MIREL_ENCODING_UTF16LE);
  // a, U+1F600, b, U+20000, c
  ASSERT_TRUE(
      t.SetText(Utf16Bytes(u"a\xD83D\xDE00"
                           u"b\xD840\xDC00"
                           u"c")));
  ScreenMeasure screen(&t.font);
  const int a = screen.WidthW(u'a');
  const int x6 = a + screen.WidthW(u"\xD83D\xDE00");
  const int x8 = x6 + screen.WidthW(u'b');
  const int x12 = x8 + screen.WidthW(u"\xD840\xDC00");
  const int x14 = x12 + screen.WidthW(u'c');
  EXPECT_EQ(a, t.doc.GetXFromPos(0, 2, FALSE));
  EXPECT_EQ(x6, t.doc.GetXFromPos(0, 6, FALSE));
  EXPECT_EQ(x8, t.doc.GetXFromPos(0, 8, FALSE));
  EXPECT_EQ(x12, t.doc.GetXFromPos(0, 12, FALSE));
  EXPECT_EQ(x14, t.doc.GetXFromPos(0, 14, FALSE));
  // The row is laid out at the same width.
  DWORD nEnd = 0;
  int nWidth = 0;
  t.doc.pContents->FindLineEnd(t.Text(), t.Length(), 0, &nEnd, &nWidth, FALSE);
  EXPECT_EQ(14u, nEnd);
  EXPECT_EQ(x14, nWidth);
  for (int x = 0; x <= x14 + 4; ++x) {
    const DWORD nPos = t.doc.GetPosFromX(0, x, FALSE);
    EXPECT_TRUE(nPos != 4 && nPos != 10) << "x " << x << " gives " << nPos;
  }
  EXPECT_EQ(6u, t.doc.GetPosFromX(0, x6, FALSE));
  EXPECT_EQ(12u, t.doc.GetPosFromX(0, x12, FALSE));
}

TEST(MetricsX, VirtualSpaceBeyondTheRowEnd) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("ab\r\n"));
  const int w = t.doc.GetXFromPos(0, 2, FALSE);
  const int s = Width(t.doc, " ");
  ASSERT_GE(s, 2);
  EXPECT_EQ(2u, t.doc.GetPosFromX(0, w + 3 * s, TRUE));
  EXPECT_EQ(3, t.doc.nVirtualSpace);
  EXPECT_EQ(w + 3 * s, t.doc.GetXFromPos(0, 2, TRUE));
  EXPECT_EQ(w, t.doc.GetXFromPos(0, 2, FALSE));
  t.doc.GetPosFromX(0, w + 3 * s - s / 2 - 1, TRUE);
  EXPECT_EQ(2, t.doc.nVirtualSpace);
  // Inside the row no virtual column is added.
  EXPECT_EQ(0u, t.doc.GetPosFromX(0, 1, TRUE));
  EXPECT_EQ(0, t.doc.nVirtualSpace);
  // Far out: a count, not a walk.
  t.doc.GetPosFromX(0, INT_MAX, TRUE);
  EXPECT_GE(t.doc.nVirtualSpace, (INT_MAX - w) / s - 1);
  // Without a space width no virtual column can be told apart.
  t.doc.nCharWidth[' '] = 0;
  EXPECT_EQ(2u, t.doc.GetPosFromX(0, INT_MAX, TRUE));
  EXPECT_EQ(0, t.doc.nVirtualSpace);
}

TEST(MetricsX, XAndPositionAgreeOnEveryBoundary) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("a\tWW\xB0\xA1 .\t\t\xC7\xD1iii\x0C"));
  const DWORD nEnd = t.Row(0).nStart + t.Row(0).nLen;
  int nPrevX = -1;
  for (DWORD pos = 0; pos <= nEnd; pos = pos < nEnd ? t.doc.GetNextCharPos(pos) : nEnd + 1) {
    const int x = t.doc.GetXFromPos(0, pos, FALSE);
    EXPECT_GE(x, nPrevX);
    EXPECT_EQ(x, t.doc.GetXFromPos(0, t.doc.GetPosFromX(0, x, FALSE), FALSE)) << "pos " << pos;
    nPrevX = x;
  }
}

}  // namespace
