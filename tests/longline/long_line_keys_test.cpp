// Caret moves and edits next to the far end of very long rows: each must
// cost time in proportion to the distance it walks, never a re-walk of the
// row per character. Every scenario here took minutes when a backward step
// started again from the row start; the program runs under a short timeout.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "positions_fixture.h"
#include "textview_keys_fixture.h"

using namespace mirel_keys_test;

namespace {

constexpr int kLetters = 60000;

struct LongCase {
  const char* pszName;
  int nEncoding;
  int nWrapMode;
};

class LongLineKeys : public KeysTest, public ::testing::WithParamInterface<LongCase> {
 protected:
  // The document's bytes for ASCII text (UTF-16 little-endian when wide).
  std::string Bytes(const std::string& ascii) const {
    return GetParam().nEncoding == MIREL_ENCODING_UTF16LE ? W(ascii) : ascii;
  }
  DWORD Unit() const { return GetParam().nEncoding == MIREL_ENCODING_UTF16LE ? 2 : 1; }
  void OpenLong(const std::string& ascii) {
    Open(GetParam().nEncoding, Bytes(ascii), GetParam().nWrapMode);
    if (GetParam().nWrapMode != MIREL_WRAP_NONE) WrapAt(70);
  }
};

TEST_P(LongLineKeys, MovesNextToAClosingBracketFindItsPartnerAtTheRowStart) {
  const std::string text = "(" + std::string(kLetters, 'a') + ")";
  OpenLong(text);
  const DWORD nClose = static_cast<DWORD>(text.size() - 1) * Unit();
  Caret(nClose);
  for (int i = 0; i < 20; ++i) {
    Key(i % 2 == 0 ? VK_RIGHT : VK_LEFT);
    ExpectConsistent();
    // Before and after the ")", the pair is the two outer brackets.
    EXPECT_EQ(doc.nBracePos[0], 0);
    EXPECT_EQ(doc.nBracePos[1], static_cast<int>(nClose));
  }
}

TEST_P(LongLineKeys, CtrlBackspaceOverALongRunOfBlanksDeletesThemWithTheWord) {
  OpenLong("x word" + std::string(kLetters, ' '));
  Caret(static_cast<DWORD>(6 + kLetters) * Unit());
  Key(VK_BACK, kCtrl);
  EXPECT_TRUE(Text() == Bytes("x "));
  EXPECT_EQ(Pos(), 2 * Unit());
  ExpectConsistent();
}

TEST_P(LongLineKeys, ShiftLeftCtrlLeftAndBackspaceFromTheEndOfALongRowStepOneCharacterOrWord) {
  OpenLong(std::string(kLetters, 'a') + " tail");
  const DWORD nEnd = static_cast<DWORD>(kLetters + 5) * Unit();
  Caret(nEnd);
  for (int i = 0; i < 50; ++i) {
    const DWORD nBefore = Pos();
    const int nRowBefore = doc.cli;
    Key(VK_LEFT, kShift);
    // One character back, or only up a row at a soft wrap.
    EXPECT_TRUE(Pos() == nBefore - Unit() || (Pos() == nBefore && doc.cli == nRowBefore - 1)) << i;
    ExpectConsistent();
  }
  EXPECT_EQ(SelEnd(), nEnd);
  Caret(nEnd);
  Key(VK_LEFT, kCtrl);
  EXPECT_EQ(Pos(), nEnd - 4 * Unit());
  ExpectConsistent();
  for (int i = 0; i < 50; ++i) Key(VK_BACK);
  // Compared whole but not printed: the text is long.
  EXPECT_TRUE(Text() == Bytes(std::string(kLetters - 49, 'a') + "tail"));
  EXPECT_EQ(Pos(), static_cast<DWORD>(kLetters - 49) * Unit());
  ExpectConsistent();
}

TEST_P(LongLineKeys, TheWordForADoubleClickOnALongRunOfPunctuationIsTheWholeRun) {
  OpenLong("a" + std::string(kLetters, '.') + "b");
  DWORD nStart = 0;
  DWORD nEnd = 0;
  ASSERT_TRUE(doc.GetWordRangeForSelect(static_cast<DWORD>(kLetters) * Unit(), &nStart, &nEnd));
  EXPECT_EQ(nStart, Unit());
  EXPECT_EQ(nEnd, static_cast<DWORD>(kLetters + 1) * Unit());
}

INSTANTIATE_TEST_SUITE_P(Encodings, LongLineKeys,
                         ::testing::Values(LongCase{"Ansi", MIREL_ENCODING_ANSI, MIREL_WRAP_NONE},
                                           LongCase{"Utf8", MIREL_ENCODING_UTF8, MIREL_WRAP_NONE},
                                           LongCase{"Utf16", MIREL_ENCODING_UTF16LE, MIREL_WRAP_NONE},
                                           LongCase{"AnsiWrapped", MIREL_ENCODING_ANSI, MIREL_WRAP_CHAR},
                                           LongCase{"Utf16Wrapped", MIREL_ENCODING_UTF16LE, MIREL_WRAP_WORD}),
                         [](const ::testing::TestParamInfo<LongCase>& info) { return info.param.pszName; });

// Double-byte text without a single ASCII byte gives no sure character start
// to step back to: the search still walks each character once.
TEST(LongLineBraces, DoubleByteTextFindsThePartnerOfASquareBracketAcrossTheRow) {
  mirel_test::TextDoc t(MIREL_ENCODING_ANSI, MIREL_WRAP_NONE, 949);
  std::string text = "[";
  for (int i = 0; i < 30000; ++i) text += "\xB0\xA1";
  text += "]";
  ASSERT_TRUE(t.SetText(text));
  DWORD nPos = static_cast<DWORD>(text.size() - 3);
  ASSERT_EQ(t.doc.GetPrevCharPosInParagraph(static_cast<DWORD>(text.size() - 1)), nPos);
  EXPECT_EQ(t.doc.FindMatchingBrace(&nPos, ']', FALSE), 1);
  EXPECT_EQ(nPos, 0u);
}

}  // namespace
