// The bracket pair the text view records when the caret moves, and the
// composition window it moves with the caret for an input method that
// composes in its own window.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "test_support.h"
#include "textview_test_util.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

using namespace mirel_textview_test;

namespace {

using BraceCaret = TextViewFixture;

// The pair recorded after the caret is put at nPos.
std::pair<int, int> PairAt(CMirelDoc& doc, CMirelViewText* pView, DWORD nPos) {
  doc.nCaretPos = static_cast<int>(nPos);
  doc.cli = doc.GetLineFromPos(nPos);
  pView->UpdateCaret(1, 1);
  return {doc.nBracePos[0], doc.nBracePos[1]};
}

using Pair = std::pair<int, int>;

// Each case puts the caret at its positions in turn: the pair recorded after
// each move, (0, 0) where no bracket at or before the caret has a match.
TEST_F(BraceCaret, PairsRecordedAsTheCaretMoves) {
  struct Move {
    DWORD nCaret;
    Pair expected;
  };
  const struct Case {
    const char* name;
    const char* text;
    std::vector<Move> moves;
  } kCases[] = {
      {"at or before the caret, either bracket",
       "a(b)c",
       {{1, {1, 3}}, {3, {1, 3}}, {2, {1, 3}}, {4, {1, 3}}}},
      {"the bracket at the caret wins over the one before", "()(x)", {{2, {2, 4}}}},
      // After the last "}", then after "[" and before "i".
      {"nested and across rows", "f{\r\n  g(h[i]);\r\n}", {{1, {1, 16}}, {17, {1, 16}}, {10, {9, 11}}}},
      // An unmatched "(" must not leave the old pair lit on unrelated text.
      {"unmatched or no bracket clears the old pair",
       "a(b)c(d x",
       {{1, {1, 3}}, {5, {0, 0}}, {3, {1, 3}}, {8, {0, 0}}}},
      {"caret at the end of the text", "x(y)", {{4, {1, 3}}}},
      {"unmatched bracket at the end of the text", "x(", {{2, {0, 0}}, {1, {0, 0}}}},
  };
  MakeWindow("");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc.NewFile();
    ASSERT_EQ(doc.InsertA(c.text, static_cast<int>(std::strlen(c.text)), TRUE), 1);
    for (const Move& m : c.moves) EXPECT_EQ(PairAt(doc, pView, m.nCaret), m.expected) << "caret " << m.nCaret;
  }
}

TEST_F(BraceCaret, OptionOffRecordsNoPair) {
  MakeWindow("a(b)c");
  ASSERT_EQ(PairAt(doc, pView, 1), Pair(1, 3));
  doc.SetShowMatchingBrace(FALSE);
  EXPECT_EQ(Pair(doc.nBracePos[0], doc.nBracePos[1]), Pair(0, 0));
  EXPECT_EQ(PairAt(doc, pView, 1), Pair(0, 0));
}

TEST_F(BraceCaret, Utf16LookAlikeUnitIsNoBracket) {
  MakeWindow("");
  doc.nFileEncoding = MIREL_ENCODING_UTF16LE;
  // "(" U+7B28 ")": the middle unit's low byte is "(".
  const BYTE text[] = {'(', 0, 0x28, 0x7B, ')', 0};
  ASSERT_TRUE(doc.InsertContents(0, text, sizeof(text), FALSE));
  EXPECT_EQ(PairAt(doc, pView, 0), Pair(0, 4));
  EXPECT_EQ(PairAt(doc, pView, 6), Pair(0, 4));
  // Caret after U+7B28, before ")": the ")" at the caret is matched.
  EXPECT_EQ(PairAt(doc, pView, 4), Pair(0, 4));
}

#ifndef _WIN32
TEST_F(BraceCaret, CompositionWindowFollowsTheFocusedCaret) {
  MIREL_REQUIRE_STANDIN();
  MakeWindow("abc");
  MrwTestResetImm();
  doc.nIMEProperty = 0;
  SetFocus(hWnd);
  MrwTestResetImm();
  PairAt(doc, pView, 2);
  int nCount = 0;
  COMPOSITIONFORM form{};
  MrwTestGetCompositionWindowCalls(&nCount, &form, nullptr);
  ASSERT_GE(nCount, 1);
  EXPECT_EQ(form.dwStyle, static_cast<DWORD>(CFS_POINT));
  POINT pt{};
  ASSERT_TRUE(GetCaretPos(&pt));
  EXPECT_EQ(form.ptCurrentPos.x, pt.x);
  EXPECT_EQ(form.ptCurrentPos.y, pt.y);
  EXPECT_EQ(form.ptCurrentPos.x, doc.nLeftMargin + TextWidth("ab"));

  // An input method drawing at the caret has no composition window to move.
  doc.nIMEProperty = IME_PROP_AT_CARET;
  MrwTestResetImm();
  PairAt(doc, pView, 1);
  MrwTestGetCompositionWindowCalls(&nCount, nullptr, nullptr);
  EXPECT_EQ(nCount, 0);

  // Nor does a window without the focus.
  doc.nIMEProperty = 0;
  SetFocus(nullptr);
  MrwTestResetImm();
  PairAt(doc, pView, 1);
  MrwTestGetCompositionWindowCalls(&nCount, nullptr, nullptr);
  EXPECT_EQ(nCount, 0);
}
#endif

}  // namespace
