// Rows and paragraphs: GetLineFromPos and the paragraph queries checked
// against brute-force scans of the line table and of the text, over random
// texts in several encodings and every wrap mode; then the fixed cases, the
// caret queries and arguments out of range.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "mirel/cmireldoc.h"
#include "positions_fixture.h"

namespace {

using mirel_test::TextDoc;
using mirel_test::Utf16Bytes;

// Pieces random texts are made of, per encoding: plain characters, blanks,
// every kind of line end, the page-break character, double-byte characters and
// (in UTF-16) units whose low byte is a control character.
std::vector<std::string> Pieces(int nEncoding) {
  if (nEncoding == MIREL_ENCODING_UTF16LE) {
    std::vector<std::string> out;
    for (const char16_t* s : {u"a", u"b", u" ", u".", u"\t", u"\r", u"\n", u"\r\n", u"\f", u"\u4E0D",
                              u"\u4E0A", u"\u4E09", u"\u4E0C", u"\uAC0A", u"\uAC0D", u"\uAC20", u"\uAC00"}) {
      out.push_back(Utf16Bytes(s));
    }
    return out;
  }
  if (nEncoding == MIREL_ENCODING_UTF8) {
    return {
        "a", "b", " ", ".", "\t", "\r", "\n", "\r\n", "\f", "\xEA\xB0\x80", "\xC3\xA9", "\xF0\x9F\x98\x80"};
  }
  return {"a", "b", " ", ".", "\t", "\r", "\n", "\r\n", "\f", "\xB0\xA1", "\xC7\xD1", "\xB0"};
}

std::string RandomText(std::mt19937& rng, int nEncoding, int nPieces) {
  const std::vector<std::string> pieces = Pieces(nEncoding);
  std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
  std::string text;
  for (int i = 0; i < nPieces; ++i) text += pieces[pick(rng)];
  return text;
}

// Bytes of the line end at nPos by a plain scan of the text, 0 for none.
DWORD ScanLineEnd(const std::string& text, DWORD nPos, bool bWide) {
  const DWORD nUnit = bWide ? 2 : 1;
  auto unitAt = [&](DWORD p) -> int {
    if (p + nUnit > text.size()) return -1;
    const auto* b = reinterpret_cast<const unsigned char*>(text.data()) + p;
    return bWide ? b[0] | (b[1] << 8) : b[0];
  };
  if (unitAt(nPos) == '\r') return unitAt(nPos + nUnit) == '\n' ? 2 * nUnit : nUnit;
  return unitAt(nPos) == '\n' ? nUnit : 0;
}

// Every property checked on one laid-out text.
void CheckAgainstScans(TextDoc& t, const std::string& text, bool bWide) {
  CMirelDoc& doc = t.doc;
  const int nRows = doc.nLineCount;
  ASSERT_GE(nRows, 1);
  const DWORD nLen = static_cast<DWORD>(text.size());
  ASSERT_EQ(nLen, t.Length());

  // Position to row: a row that holds the position, or else the last row
  // starting at or before it.
  for (DWORD pos = 0; pos <= nLen + 2; ++pos) {
    const int r = doc.GetLineFromPos(pos);
    ASSERT_TRUE(r >= 0 && r < nRows) << "pos " << pos;
    bool bHeld = false;
    int nLastBefore = 0;
    for (int i = 0; i < nRows; ++i) {
      if (t.Row(i).nStart <= pos && pos <= t.Row(i).nStart + t.Row(i).nLen) bHeld = true;
      if (t.Row(i).nStart <= pos) nLastBefore = i;
    }
    if (bHeld) {
      EXPECT_TRUE(t.Row(r).nStart <= pos && pos <= t.Row(r).nStart + t.Row(r).nLen) << "pos " << pos;
    } else {
      EXPECT_EQ(nLastBefore, r) << "pos " << pos;
    }
    EXPECT_EQ(static_cast<int>(t.Row(r).nPara), doc.GetParagraphFromPos(pos));
  }

  // Paragraph to its first row, one past the last paragraph included.
  const int nLastPara = static_cast<int>(t.Row(nRows - 1).nPara);
  EXPECT_EQ(nLastPara + 1, doc.GetParagraphCount());
  for (int para = 0; para <= nLastPara + 1; ++para) {
    int nExpected = -1;
    for (int i = 0; i < nRows && nExpected < 0; ++i) {
      if (static_cast<int>(t.Row(i).nPara) == std::min(para, nLastPara)) nExpected = i;
    }
    EXPECT_EQ(nExpected, doc.GetLineFromParagraph(para)) << "para " << para;
  }

  // Paragraph starts and ends against a scan of the text for line ends.
  int nParas = 1;
  DWORD nParaStart = 0;
  for (DWORD pos = 0; pos <= nLen;) {
    const DWORD nBreak = pos < nLen ? ScanLineEnd(text, pos, bWide) : 0;
    if (pos == nLen || nBreak != 0) {
      EXPECT_EQ(nParaStart, doc.GetParagraphStart(pos)) << "pos " << pos;
      EXPECT_EQ(pos, doc.GetParagraphEnd(nParaStart)) << "para start " << nParaStart;
      EXPECT_EQ(pos + nBreak, doc.GetParagraphEndWithNewline(nParaStart));
      if (pos == nLen) break;
      pos += nBreak;
      nParaStart = pos;
      ++nParas;
      continue;
    }
    pos += bWide && pos + 1 < nLen ? 2 : 1;
  }
  EXPECT_EQ(nParas, doc.GetParagraphCount());

  // Character starts: forwards and backwards agree, and UTF-16 never stops
  // inside a unit.
  DWORD nChar = 0;
  while (nChar < nLen) {
    const DWORD nNext = doc.GetNextCharPos(nChar);
    ASSERT_GT(nNext, nChar);
    if (bWide && nNext < nLen) {
      EXPECT_EQ(0u, nNext % 2);
    }
    EXPECT_EQ(nChar, doc.GetPrevCharPos(nNext)) << "at " << nNext;
    EXPECT_EQ(nChar, doc.GetPrevCharPosInParagraph(nNext)) << "at " << nNext;
    nChar = nNext;
  }
}

struct LayoutCase {
  int nEncoding;
  int nWrapMode;
};

class PositionsRowsBruteForce : public testing::TestWithParam<LayoutCase> {};

TEST_P(PositionsRowsBruteForce, AgreesWithScans) {
  const LayoutCase c = GetParam();
  std::mt19937 rng(0x5EED + c.nEncoding * 7 + c.nWrapMode);
  const bool bWide = c.nEncoding == MIREL_ENCODING_UTF16LE;
  const DWORD nUnit = bWide ? 2 : 1;
  bool bSawWrappedRow = false;
  for (int round = 0; round < 12; ++round) {
    TextDoc t(c.nEncoding, c.nWrapMode);
    if (round % 3 == 1) t.doc.chPageBreak = '\f';
    std::string text = RandomText(rng, c.nEncoding, 20 + round * 15);
    ASSERT_TRUE(t.SetText(text));
    CheckAgainstScans(t, text, bWide);
    // The same after edits that the table follows incrementally: an insert
    // and a delete at unit boundaries.
    const std::string piece = RandomText(rng, c.nEncoding, 3);
    const DWORD nAt = static_cast<DWORD>(rng() % (text.size() / nUnit + 1)) * nUnit;
    ASSERT_TRUE(t.doc.InsertContents(nAt, reinterpret_cast<const BYTE*>(piece.data()),
                                     static_cast<DWORD>(piece.size()), FALSE));
    text.insert(nAt, piece);
    CheckAgainstScans(t, text, bWide);
    const DWORD nFrom = static_cast<DWORD>(rng() % (text.size() / nUnit)) * nUnit;
    const DWORD nCount = std::min<DWORD>(static_cast<DWORD>(text.size()) - nFrom, 3 * nUnit);
    ASSERT_TRUE(t.doc.DeleteContents(nFrom, nCount, FALSE));
    text.erase(nFrom, nCount);
    CheckAgainstScans(t, text, bWide);
    for (int i = 0; i < t.doc.nLineCount; ++i) bSawWrappedRow |= t.Row(i).nSubLine != 0;
    if (HasFatalFailure()) return;
  }
  // The texts are long enough for the narrow width to break rows.
  if (c.nWrapMode != MIREL_WRAP_NONE) {
    EXPECT_TRUE(bSawWrappedRow);
  }
}

INSTANTIATE_TEST_SUITE_P(PositionsEncodingsAndWrapModes, PositionsRowsBruteForce,
                         testing::Values(LayoutCase{MIREL_ENCODING_ANSI, MIREL_WRAP_NONE},
                                         LayoutCase{MIREL_ENCODING_ANSI, MIREL_WRAP_CHAR},
                                         LayoutCase{MIREL_ENCODING_ANSI, MIREL_WRAP_WORD},
                                         LayoutCase{MIREL_ENCODING_ANSI, MIREL_WRAP_WORD_DBCS},
                                         LayoutCase{MIREL_ENCODING_UTF16LE, MIREL_WRAP_NONE},
                                         LayoutCase{MIREL_ENCODING_UTF16LE, MIREL_WRAP_CHAR},
                                         LayoutCase{MIREL_ENCODING_UTF16LE, MIREL_WRAP_WORD},
                                         LayoutCase{MIREL_ENCODING_UTF16LE, MIREL_WRAP_WORD_DBCS},
                                         LayoutCase{MIREL_ENCODING_UTF8, MIREL_WRAP_NONE},
                                         LayoutCase{MIREL_ENCODING_UTF8, MIREL_WRAP_CHAR},
                                         LayoutCase{MIREL_ENCODING_UTF8, MIREL_WRAP_WORD},
                                         LayoutCase{MIREL_ENCODING_UTF8, MIREL_WRAP_WORD_DBCS}),
                         [](const testing::TestParamInfo<LayoutCase>& info) {
                           return "Encoding" + std::to_string(info.param.nEncoding) + "Wrap" +
                                  std::to_string(info.param.nWrapMode);
                         });

// ---------------------------------------------------------------------------
// Fixed cases

TEST(PositionsRows, LineEndsAndPositionsPastTheText) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("ab\r\ncd\n"));
  ASSERT_EQ(3, t.doc.nLineCount);
  EXPECT_EQ(0, t.doc.GetLineFromPos(2));
  EXPECT_EQ(0, t.doc.GetLineFromPos(3));  // between CR and LF: the row the pair ends
  EXPECT_EQ(1, t.doc.GetLineFromPos(4));
  EXPECT_EQ(2, t.doc.GetLineFromPos(7));
  EXPECT_EQ(2, t.doc.GetLineFromPos(0xFFFFFFFFu));
  EXPECT_EQ(2u, t.doc.GetParagraphEnd(1));
  EXPECT_EQ(4u, t.doc.GetParagraphEndWithNewline(1));
  EXPECT_EQ(7u, t.doc.GetParagraphEnd(7));
  EXPECT_EQ(7u, t.doc.GetParagraphEndWithNewline(7));
  EXPECT_EQ(2, t.doc.GetLineFromParagraph(1000));
  EXPECT_EQ(0, t.doc.GetLineFromParagraph(-3));
}

TEST(PositionsRows, Utf16LookalikesDoNotEndParagraphs) {
  TextDoc t(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(t.SetText(Utf16Bytes(u"a\u4E0Db\uAC0A\r\nc")));
  EXPECT_EQ(2, t.doc.GetParagraphCount());
  EXPECT_EQ(8u, t.doc.GetParagraphEnd(0));
  EXPECT_EQ(12u, t.doc.GetParagraphEndWithNewline(2));
  EXPECT_EQ(12u, t.doc.GetParagraphStart(14));
}

TEST(PositionsRows, PrevParagraphSkipsEmptyOnes) {
  TextDoc t;
  // Paragraphs: "one", "two", "", "", "x", "".
  ASSERT_TRUE(t.SetText("one\r\ntwo\r\n\r\n\nx\r\n"));
  const DWORD nX = 13;
  EXPECT_EQ(4, t.doc.GetParagraphFromPos(nX));
  EXPECT_EQ(3, t.doc.GetPrevParagraph(nX, FALSE));
  EXPECT_EQ(1, t.doc.GetPrevParagraph(nX, TRUE));
  EXPECT_EQ(0, t.doc.GetPrevParagraph(1, TRUE));
  EXPECT_TRUE(t.doc.IsParagraphEmpty(2));
  EXPECT_FALSE(t.doc.IsParagraphEmpty(4));
  EXPECT_FALSE(t.doc.IsParagraphEmpty(5));  // after the final line end: no line end at its start
  EXPECT_FALSE(t.doc.IsParagraphEmpty(6));
  EXPECT_FALSE(t.doc.IsParagraphEmpty(-1));

  TextDoc blank;
  ASSERT_TRUE(blank.SetText("\r\n\nx"));
  EXPECT_EQ(0, blank.doc.GetPrevParagraph(3, TRUE));  // passes paragraph 0
  EXPECT_EQ(1, blank.doc.GetPrevParagraph(3, FALSE));
}

TEST(PositionsRows, WrappedRowStartsMapToRowsHoldingThem) {
  TextDoc t(MIREL_ENCODING_ANSI, MIREL_WRAP_CHAR);
  ASSERT_TRUE(t.SetText(std::string(200, 'w') + "\r\n" + std::string(90, 'i')));
  ASSERT_GT(t.doc.nLineCount, 4);
  for (int i = 0; i < t.doc.nLineCount; ++i) {
    const int r = t.doc.GetLineFromPos(t.Row(i).nStart);
    EXPECT_LE(t.Row(r).nStart, t.Row(i).nStart);
    EXPECT_GE(t.Row(r).nStart + t.Row(r).nLen, t.Row(i).nStart);
    EXPECT_EQ(t.Row(i - static_cast<int>(t.Row(i).nSubLine)).nStart,
              t.doc.GetParagraphStart(t.Row(i).nStart));
  }
}

TEST(PositionsRows, ClampedRowSteps) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("a\nb\nc"));
  EXPECT_EQ(1, t.doc.GetNextLineClamped(0));
  EXPECT_EQ(2, t.doc.GetNextLineClamped(2));
  EXPECT_EQ(2, t.doc.GetNextLineClamped(INT_MAX));
  EXPECT_EQ(0, t.doc.GetNextLineClamped(-5));
  EXPECT_EQ(0, t.doc.GetPrevLineClamped(1));
  EXPECT_EQ(0, t.doc.GetPrevLineClamped(-5));
  EXPECT_EQ(1, t.doc.GetPrevLineClamped(2));
}

// ---------------------------------------------------------------------------
// Caret queries and view types

TEST(PositionsCaret, ColumnAndParagraphInTheTextView) {
  TextDoc t(MIREL_ENCODING_UTF8_BOM);
  ASSERT_TRUE(t.SetText("ab\r\ncd"));
  t.doc.nCaretPos = 5;
  t.doc.cli = 1;
  EXPECT_EQ(1u, t.doc.GetCurrentColumnIndex());
  EXPECT_EQ(1, t.doc.GetCurrentParagraphIndex());
  EXPECT_EQ(8u, t.doc.GetCurrentFilePos());  // the 3-byte mark in front
  EXPECT_EQ(1u, t.doc.GetCurrentCharLen());
  t.doc.nCaretPos = 2;
  t.doc.cli = 0;
  EXPECT_EQ(2u, t.doc.GetCurrentCharLen());  // CR LF is one character
  // A caret row outside the table answers 0 instead of reading past it.
  t.doc.cli = 1000;
  EXPECT_EQ(0u, t.doc.GetCurrentColumnIndex());
  EXPECT_EQ(0, t.doc.GetCurrentParagraphIndex());
  t.doc.cli = -1;
  EXPECT_EQ(0u, t.doc.GetCurrentColumnIndex());
}

TEST(PositionsCaret, HexViewUsesHexRows) {
  TextDoc t;
  ASSERT_TRUE(t.SetText(std::string(100, 'x')));
  ASSERT_EQ(1, t.doc.nLineCount);
  t.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  t.doc.nCaretPos = 37;
  t.doc.cli = 2;  // a hex row, far past the one display row
  EXPECT_EQ(37u % 16, t.doc.GetCurrentColumnIndex());
  EXPECT_EQ(2, t.doc.GetCurrentParagraphIndex());
  EXPECT_EQ(37u, t.doc.GetCurrentFilePos());
  EXPECT_EQ(1u, t.doc.GetCurrentCharLen());
  EXPECT_EQ(100 / 16 + 1, t.doc.GetParagraphCount());
  EXPECT_EQ(2, t.doc.GetParagraphIndex(37));
}

TEST(PositionsCaret, UnknownViewTypeAnswersZero) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("ab\r\ncd\r\nef"));
  t.doc.nViewType = 7;
  t.doc.nCaretPos = 5;
  t.doc.cli = 1;
  EXPECT_EQ(0, t.doc.GetParagraphCount());
  EXPECT_EQ(0, t.doc.GetParagraphIndex(5));
  EXPECT_EQ(0, t.doc.LinesToPixels(3));
  EXPECT_EQ(0, t.doc.GetLineFromY(1000));
  EXPECT_EQ(0u, t.doc.GetCurrentFilePos());
  EXPECT_EQ(0u, t.doc.GetCurrentColumnIndex());
  EXPECT_EQ(0, t.doc.GetCurrentParagraphIndex());
  EXPECT_EQ(0u, t.doc.GetCurrentCharLen());
}

TEST(PositionsCaret, RowsFromYAndPixelsFromRows) {
  TextDoc t;
  ASSERT_TRUE(t.SetText("1\n2\n3\n4\n5"));
  const int h = t.doc.nLineHeight;
  ASSERT_GT(h, 0);
  EXPECT_EQ(3 * h, t.doc.LinesToPixels(3));
  EXPECT_EQ(INT_MAX, t.doc.LinesToPixels(INT_MAX));
  EXPECT_EQ(2, t.doc.GetLineFromY(2 * h + h - 1));
  EXPECT_EQ(4, t.doc.GetLineFromY(0xFFFFFFFFu));
  t.doc.nLineHeight = 0;  // never a divisor of 0
  EXPECT_EQ(4, t.doc.GetLineFromY(100));
  t.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  t.doc.nHexLineHeight = 10;
  EXPECT_EQ(30, t.doc.LinesToPixels(3));
  EXPECT_EQ(0, t.doc.GetLineFromY(500));  // 9 bytes: one hex row
}

}  // namespace
