// Writing into a column block: the same text or numbers on every row, with
// spaces up to the block's edge on short rows, a pasted column, the status
// codes and the refused formats, in ANSI (949), UTF-8 and UTF-16.
#include <climits>
#include <string>

#include "selection_fixture.h"

namespace {

using mirel_sel_test::SelDoc;

class ColumnInsert : public ::testing::TestWithParam<int> {
 protected:
  // A zero-width column at character nChar of rows nFirst to nLast.
  // The text gets a fixed-pitch font: tabs and padding are counted in the
  // widths of letters, which a system font need not give its blank.
  static void UseFixedPitch(SelDoc& t) {
    LOGFONTA lf{};
    lf.lfHeight = -13;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    t.doc.SetFont(&lf);
  }
  static void Column(SelDoc& t, int nFirst, int nLast, size_t nChar) {
    t.ShowInWindow();
    UseFixedPitch(t);
    t.doc.SetColumnMode(TRUE);
    t.doc.SetSel(t.Pos(nFirst, nChar), t.Pos(nLast, nChar), FALSE);
  }
};

TEST_P(ColumnInsert, TextOnEveryRowPadsShortRowsAndIsOneUndoStep) {
  SelDoc t(GetParam());
  ASSERT_TRUE(t.SetRows({u"ab\uAC00d", u"a", u"ab\uAC00d"}));
  Column(t, 0, 2, 2);
  ASSERT_TRUE(t.doc.IsColumnBlock());
  const int nPad = t.doc.block.pRows[1].nStartVirtual;
  ASSERT_GT(nPad, 0);
  int nCount = -1;
  t.doc.GetBlockColumnCount(&nCount);
  EXPECT_EQ(nCount, 0);
  EXPECT_EQ(t.doc.InsertColumnsTextA("XY", 2, FALSE), 0);
  const std::u16string pad(static_cast<size_t>(nPad), u' ');
  EXPECT_TRUE(t.TextIs({u"abXY\uAC00d", u"a" + pad + u"XY", u"abXY\uAC00d"}));
  // The caret was on the last row: it stays there, at the left edge of the
  // inserted text, on a whole character.
  EXPECT_EQ(t.doc.cli, 2);
  EXPECT_EQ(t.doc.nCaretPos, static_cast<int>(t.Pos(2, 2)));
  EXPECT_EQ(t.doc.block.nAnchor, t.Pos(0, 2));
  EXPECT_EQ(t.doc.nVirtualSpace, 0);
  ASSERT_TRUE(t.doc.Undo(nullptr));
  EXPECT_TRUE(t.TextIs({u"ab\uAC00d", u"a", u"ab\uAC00d"}));
}

// The host's text and the numbering format are ANSI in the document's code
// page, which here is not the system's: HIRAGANA A (82 A0 in code page 932)
// or GA (B0 A1 in code page 949).
TEST_P(ColumnInsert, TextAndNumbersAreReadInTheDocumentsCodePage) {
  SelDoc t(GetParam());
  ASSERT_TRUE(t.SetRows({u"ab", u"ab", u"ab"}));
  Column(t, 0, 2, 1);
  const bool bJapanese = GetACP() != 932;
  t.doc.nCodePage = bJapanese ? 932 : 949;
  const std::string ansi = bJapanese ? "\x82\xA0" : "\xB0\xA1";
  std::string ch = ansi;  // an ANSI document keeps the bytes as given
  if (GetParam() == MIREL_ENCODING_UTF8) ch = bJapanese ? "\xE3\x81\x82" : "\xEA\xB0\x80";
  if (GetParam() == MIREL_ENCODING_UTF16LE)
    ch = bJapanese ? std::string("\x42\x30", 2) : std::string("\x00\xAC", 2);
  auto rows = [&](const std::string& a, const std::string& b, const std::string& c) {
    return t.Bytes(u"a") + a + t.Bytes(u"b\r\na") + b + t.Bytes(u"b\r\na") + c + t.Bytes(u"b");
  };
  EXPECT_EQ(t.doc.InsertColumnsTextA(ansi.data(), static_cast<int>(ansi.size()), TRUE), 0);
  EXPECT_EQ(t.Text(), rows(ch, ch, ch));
  EXPECT_EQ(t.doc.InsertColumnsNumberFormat((ansi + "%d").c_str(), 1, 1, TRUE), 0);
  EXPECT_EQ(t.Text(), rows(ch + t.Bytes(u"1") + ch, ch + t.Bytes(u"2") + ch, ch + t.Bytes(u"3") + ch));
}

// Column mode without a column block: the one text (or the first number,
// unpadded) goes in at the caret, and the caret stays where it was.
TEST_P(ColumnInsert, WithoutABlockTheTextGoesInAtTheCaretWhichStays) {
  SelDoc t(GetParam());
  ASSERT_TRUE(t.SetRows({u"ab", u"cd"}));
  Column(t, 1, 1, 1);
  ASSERT_FALSE(t.doc.IsColumnBlock());
  EXPECT_EQ(t.doc.InsertColumnsTextA("XY", 2, TRUE), 0);
  EXPECT_TRUE(t.TextIs({u"ab", u"cXYd"}));
  EXPECT_EQ(t.doc.nCaretPos, static_cast<int>(t.Pos(1, 1)));
  EXPECT_EQ(t.doc.InsertColumnsNumber(7, 1, FALSE, TRUE, TRUE, TRUE), 0);
  EXPECT_TRUE(t.TextIs({u"ab", u"c7XYd"}));
  EXPECT_EQ(t.doc.nCaretPos, static_cast<int>(t.Pos(1, 1)));
  EXPECT_EQ(t.doc.cli, 1);
  EXPECT_EQ(t.doc.block.nCaret, t.Pos(1, 1));
  EXPECT_FALSE(t.doc.block.HasSelection());
  ASSERT_TRUE(t.doc.Undo(nullptr));
  EXPECT_TRUE(t.TextIs({u"ab", u"cXYd"}));
}

TEST_P(ColumnInsert, NumbersShareOneWidth) {
  struct Numbering {
    int nRows, nStart, nStep;
    BOOL bHex, bRight, bZero;
    const char* pszFormat;  // instead of the flags when set
    std::u16string expected[4];
  } const kCases[] = {
      {4, 8, 1, FALSE, TRUE, TRUE, nullptr, {u"x08", u"x09", u"x10", u"x11"}},
      {4, 9, 1, FALSE, FALSE, FALSE, nullptr, {u"x9 ", u"x10", u"x11", u"x12"}},
      {4, 1, 1, FALSE, TRUE, FALSE, nullptr, {u"x1", u"x2", u"x3", u"x4"}},
      {2, 255, 1, TRUE, TRUE, TRUE, nullptr, {u"x00FF", u"x0100", u"x", u"x"}},
      {2, 254, 1, TRUE, TRUE, TRUE, nullptr, {u"xFE", u"xFF", u"x", u"x"}},
      {2, 7, -1, FALSE, FALSE, FALSE, "n=%03d%%", {u"xn=007%", u"xn=006%", u"x", u"x"}},
      // A format without a conversion writes itself on every row.
      {3, 7, 1, FALSE, FALSE, FALSE, "- ", {u"x- ", u"x- ", u"x- ", u"x"}},
      {2, 7, 1, FALSE, FALSE, FALSE, "100%%", {u"x100%", u"x100%", u"x", u"x"}},
  };
  for (const Numbering& c : kCases) {
    SelDoc t(GetParam());
    ASSERT_TRUE(t.SetRows({u"x", u"x", u"x", u"x"}));
    Column(t, 0, c.nRows - 1, 1);
    const int nStatus = c.pszFormat
                            ? t.doc.InsertColumnsNumberFormat(c.pszFormat, c.nStart, c.nStep, TRUE)
                            : t.doc.InsertColumnsNumber(c.nStart, c.nStep, c.bHex, c.bRight, c.bZero, TRUE);
    EXPECT_EQ(nStatus, 0);
    EXPECT_TRUE(t.TextIs({c.expected[0], c.expected[1], c.expected[2], c.expected[3]})) << c.nStart;
    ASSERT_TRUE(t.doc.Undo(nullptr));
    EXPECT_TRUE(t.TextIs({u"x", u"x", u"x", u"x"}));
  }
}

TEST_P(ColumnInsert, RefusedFormatsAndStatesChangeNothing) {
  SelDoc t(GetParam());
  ASSERT_TRUE(t.SetRows({u"x", u"x"}));
  EXPECT_EQ(t.doc.InsertColumnsTextA("a", 1, TRUE), 2);  // column mode off
  Column(t, 0, 1, 1);
  const std::string kLong(256, 'a');
  struct Refusal {
    const char* pszFormat;
    int nStart;
    int nStatus;
  } const kRefusals[] = {
      {"%d\\n", 1, 3}, {"\\r%d", 1, 3},  {kLong.c_str(), 1, 4}, {"%s", 1, 0},
      {"%d %d", 1, 0}, {"%n", 1, 0},     {"%ld", 1, 0},         {"%*d", 1, 0},
      {"%", 1, 0},     {"%1234d", 1, 0}, {"%d", INT_MAX, 0},    {"", 1, 0},
  };
  for (const Refusal& r : kRefusals) {
    EXPECT_EQ(t.doc.InsertColumnsNumberFormat(r.pszFormat, r.nStart, 1, TRUE), r.nStatus) << r.pszFormat;
  }
  EXPECT_EQ(t.doc.InsertColumnsNumberFormat(nullptr, 1, 1, TRUE), 0);
  EXPECT_EQ(t.doc.InsertColumnsNumber(INT_MIN, -1, FALSE, FALSE, FALSE, TRUE), 0);
  EXPECT_TRUE(t.TextIs({u"x", u"x"}));
  EXPECT_FALSE(t.doc.CanUndo());
  t.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  EXPECT_EQ(t.doc.InsertColumnsTextA("a", 1, TRUE), 1);
  t.doc.nViewType = MIREL_VIEW_TYPE_TEXT;
  EXPECT_TRUE(t.TextIs({u"x", u"x"}));
}

// A pasted column goes down the rows at the x where it starts; on the last
// row the row is split right after the text pasted on it, so that the next
// line has a row below.
TEST_P(ColumnInsert, PasteSplitsTheLastRowAfterTheTextPastedOnIt) {
  struct Paste {
    std::u16string text;
    size_t nAt;  // characters of the text before the paste position
    std::u16string data;
    std::u16string expected;
  } const kCases[] = {
      {u"aa\r\naa", 1, u"12\r\n34\r\n56", u"a12a\r\na34\r\na56"},
      {u"abcdef", 2, u"12\r\n34", u"ab12\r\ncd34ef"},
      {u"aa\r\naa", 5, u"1\n2\n", u"aa\r\na1\r\na2\r\n"},
  };
  for (const Paste& c : kCases) {
    SelDoc t(GetParam());
    ASSERT_TRUE(t.SetText(t.Bytes(c.text)));
    UseFixedPitch(t);
    const std::string data = t.Bytes(c.data);
    const DWORD nPos = static_cast<DWORD>(t.Bytes(c.text.substr(0, c.nAt)).size());
    EXPECT_TRUE(t.doc.InsertColumnText(reinterpret_cast<const BYTE*>(data.data()),
                                       static_cast<DWORD>(data.size()), nPos));
    EXPECT_EQ(t.Text(), t.Bytes(c.expected));
    ASSERT_TRUE(t.doc.Undo(nullptr));
    EXPECT_EQ(t.Text(), t.Bytes(c.text));
  }
}

// A tab the block's left edge falls inside, and rows that end before the
// edge (padded with spaces up to it), for the text and the numbers alike.
TEST_P(ColumnInsert, TabsAndShortRowsInsideTheBlock) {
  struct Case {
    size_t nAnchorChar, nCaretChar;  // on the first and the last row
    BOOL bNumbers;
    int nWidth;  // bytes of the first row's part of the block, in characters
    std::u16string expected[4];
  } const kCases[] = {
      {3, 6, FALSE, 3, {u"abcZdefgh", u"a  Z", u"a\tZbc", u"abcZdefgh"}},
      {6, 3, TRUE, 3, {u"abc1defgh", u"a  2", u"a\t3bc", u"abc4defgh"}},
      {5, 5, FALSE, 0, {u"abcdeZfgh", u"a    Z", u"a\tbZc", u"abcdeZfgh"}},
  };
  const size_t kUnit = GetParam() == MIREL_ENCODING_UTF16LE ? 2 : 1;
  for (const Case& c : kCases) {
    SelDoc t(GetParam());
    t.doc.SetTabSize(4);
    ASSERT_TRUE(t.SetRows({u"abcdefgh", u"a", u"a\tbc", u"abcdefgh"}));
    t.ShowInWindow();
    UseFixedPitch(t);
    t.doc.SetColumnMode(TRUE);
    t.doc.SetSel(t.Pos(0, c.nAnchorChar), t.Pos(3, c.nCaretChar), FALSE);
    ASSERT_TRUE(t.doc.IsColumnBlock());
    int nCount = -1;
    t.doc.GetBlockColumnCount(&nCount);
    EXPECT_EQ(nCount, static_cast<int>(c.nWidth * kUnit)) << c.nAnchorChar;
    const int nStatus = c.bNumbers ? t.doc.InsertColumnsNumber(1, 1, FALSE, TRUE, FALSE, TRUE)
                                   : t.doc.InsertColumnsTextA("Z", 1, TRUE);
    EXPECT_EQ(nStatus, 0);
    EXPECT_TRUE(t.TextIs({c.expected[0], c.expected[1], c.expected[2], c.expected[3]})) << c.nAnchorChar;
    EXPECT_EQ(t.doc.cli, t.doc.GetLineFromPos(static_cast<DWORD>(t.doc.nCaretPos)));
    EXPECT_EQ(t.doc.nVirtualSpace, 0);
    ASSERT_TRUE(t.doc.Undo(nullptr));
    EXPECT_TRUE(t.TextIs({u"abcdefgh", u"a", u"a\tbc", u"abcdefgh"}));
  }
}

// Column mode does not exist while wrapping: switching wrap on leaves it, it
// cannot be entered under wrap, and every column command then changes nothing
// and records nothing.
TEST_P(ColumnInsert, WordWrapLeavesColumnModeAndTheCommandsChangeNothing) {
  SelDoc t(GetParam());
  ASSERT_TRUE(t.SetRows({u"abc", u"abc"}));
  Column(t, 0, 1, 1);
  ASSERT_TRUE(t.doc.IsColumnBlock());
  t.doc.SetWordWrap(MIREL_WRAP_CHAR);
  ASSERT_EQ(t.doc.nWrapMode, MIREL_WRAP_CHAR);
  t.doc.SetModified(FALSE);
  for (int nTry = 0; nTry < 2; ++nTry) {
    EXPECT_FALSE(t.doc.IsColumnMode());
    EXPECT_FALSE(t.doc.IsColumnBlock());
    int nCount = -1;
    t.doc.GetBlockColumnCount(&nCount);
    EXPECT_EQ(nCount, 0);
    EXPECT_EQ(t.doc.InsertColumnsTextA("Z", 1, TRUE), 2);
    EXPECT_EQ(t.doc.InsertColumnsNumber(1, 1, FALSE, TRUE, TRUE, TRUE), 2);
    EXPECT_EQ(t.doc.InsertColumnsNumberFormat("%d", 1, 1, TRUE), 2);
    EXPECT_TRUE(t.TextIs({u"abc", u"abc"}));
    EXPECT_FALSE(t.doc.CanUndo());
    EXPECT_FALSE(t.doc.IsModified());
    // The block's own switch is refused while wrapping.
    t.doc.block.SetColumnMode(TRUE);
  }
}

INSTANTIATE_TEST_SUITE_P(Encodings, ColumnInsert,
                         ::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE),
                         mirel_sel_test::EncodingParamName);

}  // namespace
