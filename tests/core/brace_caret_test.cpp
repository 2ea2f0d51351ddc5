// The bracket pair the text view records when the caret moves, and the
// composition window it moves with the caret for an input method that
// composes in its own window.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

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

TEST_F(BraceCaret, PairAtOrBeforeTheCaret) {
  MakeWindow("a(b)c");
  EXPECT_EQ(PairAt(doc, pView, 1), Pair(1, 3));  // "(" at the caret
  EXPECT_EQ(PairAt(doc, pView, 3), Pair(1, 3));  // ")" at the caret
  EXPECT_EQ(PairAt(doc, pView, 2), Pair(1, 3));  // "(" before the caret
  EXPECT_EQ(PairAt(doc, pView, 4), Pair(1, 3));  // ")" before the caret
}

TEST_F(BraceCaret, BracketAtTheCaretWinsOverTheOneBefore) {
  MakeWindow("()(x)");
  EXPECT_EQ(PairAt(doc, pView, 2), Pair(2, 4));
}

TEST_F(BraceCaret, NestedAndAcrossRows) {
  MakeWindow("f{\r\n  g(h[i]);\r\n}");
  EXPECT_EQ(PairAt(doc, pView, 1), Pair(1, 16));
  EXPECT_EQ(PairAt(doc, pView, 17), Pair(1, 16));  // after the last "}"
  EXPECT_EQ(PairAt(doc, pView, 10), Pair(9, 11));  // after "[", before "i"
}

TEST_F(BraceCaret, UnmatchedOrNoBracketClearsTheOldPair) {
  MakeWindow("a(b)c(d x");
  ASSERT_EQ(PairAt(doc, pView, 1), Pair(1, 3));
  // An unmatched "(" must not leave the old pair lit on unrelated text.
  EXPECT_EQ(PairAt(doc, pView, 5), Pair(0, 0));
  ASSERT_EQ(PairAt(doc, pView, 3), Pair(1, 3));
  EXPECT_EQ(PairAt(doc, pView, 8), Pair(0, 0));  // between " " and "x"
}

TEST_F(BraceCaret, CaretAtTheEndOfTheText) {
  MakeWindow("x(y)");
  EXPECT_EQ(PairAt(doc, pView, 4), Pair(1, 3));
}

TEST_F(BraceCaret, UnmatchedBracketAtTheEndOfTheText) {
  MakeWindow("x(");
  EXPECT_EQ(PairAt(doc, pView, 2), Pair(0, 0));
  EXPECT_EQ(PairAt(doc, pView, 1), Pair(0, 0));
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
