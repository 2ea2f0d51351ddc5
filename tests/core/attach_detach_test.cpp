// Strings put around the selection and added to or removed from every
// paragraph of it, in ANSI (949), UTF-8 and UTF-16, with and without undo.
#include <string>

#include "selection_fixture.h"

namespace {

using mirel_sel_test::SelDoc;

class AttachDetach : public ::testing::TestWithParam<int> {
 protected:
  int Encoding() const { return GetParam(); }
};

TEST_P(AttachDetach, AttachAtTheCaretLeavesTheCaretBetweenTheStrings) {
  SelDoc t(Encoding());
  ASSERT_TRUE(t.SetRows({u"ab"}));
  t.doc.SetSel(t.Pos(0, 1), t.Pos(0, 1), FALSE);
  EXPECT_EQ(t.doc.AttachA("[", 1, "]", 1, TRUE), 1);
  EXPECT_TRUE(t.TextIs({u"a[]b"}));
  EXPECT_EQ(t.doc.nCaretPos, static_cast<int>(t.Pos(0, 2)));
  EXPECT_FALSE(t.doc.IsSelected());
  EXPECT_EQ(t.doc.cli, 0);
  ASSERT_TRUE(t.doc.Undo(nullptr));
  EXPECT_TRUE(t.TextIs({u"ab"}));
}

TEST_P(AttachDetach, AttachKeepsTheSelectionAndTheCaretSide) {
  SelDoc t(Encoding());
  ASSERT_TRUE(t.SetRows({u"a\uAC00cd", u"xy"}));
  // The caret at the start of the selection stays there.
  t.doc.SetSel(t.Pos(1, 1), t.Pos(0, 1), FALSE);
  EXPECT_EQ(t.doc.AttachA("<b>", 3, "</b>", 4, FALSE), 1);
  EXPECT_TRUE(t.TextIs({u"a<b>\uAC00cd", u"x</b>y"}));
  EXPECT_EQ(t.doc.nCaretPos, static_cast<int>(t.Pos(0, 4)));
  EXPECT_EQ(t.doc.block.nAnchor, t.Pos(1, 1));
  EXPECT_EQ(t.doc.cli, 0);
  EXPECT_FALSE(t.doc.CanUndo());  // not recorded
  // A start string only; the end side is left alone.
  t.doc.SetSel(t.Pos(1, 0), t.Pos(1, 1), FALSE);
  EXPECT_EQ(t.doc.AttachA("(", 1, nullptr, 0, TRUE), 1);
  EXPECT_TRUE(t.TextIs({u"a<b>\uAC00cd", u"(x</b>y"}));
  EXPECT_EQ(t.doc.nCaretPos, static_cast<int>(t.Pos(1, 2)));
  EXPECT_EQ(t.doc.cli, 1);
}

TEST_P(AttachDetach, PrefixRoundTripOverParagraphs) {
  SelDoc t(Encoding());
  ASSERT_TRUE(t.SetRows({u"one", u"", u"\uAC00", u"four"}));
  t.doc.SetSel(t.Pos(0, 1), t.Pos(2, 1), FALSE);
  EXPECT_EQ(t.doc.AttachOnParagraphA("// ", 3, nullptr, 0, TRUE), 1);
  EXPECT_TRUE(t.TextIs({u"// one", u"// ", u"// \uAC00", u"four"}));
  // The whole range is selected, caret at the last paragraph's end.
  EXPECT_EQ(t.doc.block.nAnchor, t.Pos(0, 0));
  EXPECT_EQ(t.doc.nCaretPos, static_cast<int>(t.Pos(2, 4)));
  EXPECT_EQ(t.doc.cli, 2);
  // One undo takes every paragraph back; redo replays them all.
  ASSERT_TRUE(t.doc.Undo(nullptr));
  EXPECT_TRUE(t.TextIs({u"one", u"", u"\uAC00", u"four"}));
  ASSERT_TRUE(t.doc.Redo(nullptr));
  EXPECT_TRUE(t.TextIs({u"// one", u"// ", u"// \uAC00", u"four"}));
  // Detaching over all four paragraphs leaves the one without it alone.
  t.doc.SelectAll();
  EXPECT_EQ(t.doc.DetachOnParagraphA("// ", 3, nullptr, 0, TRUE), 1);
  EXPECT_TRUE(t.TextIs({u"one", u"", u"\uAC00", u"four"}));
  EXPECT_EQ(t.doc.nCaretPos, static_cast<int>(t.Pos(3, 4)));
  // Nothing left to detach: no change and no undo step.
  ASSERT_TRUE(t.doc.Undo(nullptr));
  ASSERT_TRUE(t.doc.Redo(nullptr));
  t.doc.SelectAll();
  EXPECT_EQ(t.doc.DetachOnParagraphA("// ", 3, nullptr, 0, TRUE), 0);
  ASSERT_TRUE(t.doc.Undo(nullptr));
  EXPECT_TRUE(t.TextIs({u"// one", u"// ", u"// \uAC00", u"four"}));
}

// With nothing to take off, the paragraphs are selected all the same.
TEST_P(AttachDetach, DetachMatchingNothingSelectsTheParagraphs) {
  SelDoc t(Encoding());
  ASSERT_TRUE(t.SetRows({u"one", u"two", u"three"}));
  t.doc.SetSel(t.Pos(0, 1), t.Pos(1, 1), FALSE);
  EXPECT_EQ(t.doc.DetachOnParagraphA("//", 2, ";", 1, TRUE), 0);
  EXPECT_TRUE(t.TextIs({u"one", u"two", u"three"}));
  EXPECT_EQ(t.doc.block.nAnchor, t.Pos(0, 0));
  EXPECT_EQ(t.doc.nCaretPos, static_cast<int>(t.Pos(1, 3)));
  EXPECT_EQ(t.doc.block.nCaret, t.Pos(1, 3));
  EXPECT_EQ(t.doc.cli, 1);
  EXPECT_FALSE(t.doc.CanUndo());
}

TEST_P(AttachDetach, BothStringsOnEveryParagraphAndBack) {
  SelDoc t(Encoding());
  ASSERT_TRUE(t.SetRows({u"a", u"", u"bc"}));
  t.doc.SelectAll();
  EXPECT_EQ(t.doc.AttachOnParagraphA("<p>", 3, "</p>", 4, TRUE), 1);
  EXPECT_TRUE(t.TextIs({u"<p>a</p>", u"<p></p>", u"<p>bc</p>"}));
  t.doc.SelectAll();
  EXPECT_EQ(t.doc.DetachOnParagraphA("<p>", 3, "</p>", 4, TRUE), 1);
  EXPECT_TRUE(t.TextIs({u"a", u"", u"bc"}));
  // A paragraph shorter than the string, or holding only part of it, stays.
  ASSERT_TRUE(t.SetRows({u"<p", u"p>x", u"<p>"}));
  t.doc.SelectAll();
  EXPECT_EQ(t.doc.DetachOnParagraphA("<p>", 3, "</p>", 4, TRUE), 1);
  EXPECT_TRUE(t.TextIs({u"<p", u"p>x", u""}));
}

TEST_P(AttachDetach, StringsHoldingLineEndsWrapEveryParagraphOnce) {
  SelDoc t(Encoding());
  ASSERT_TRUE(t.SetRows({u"a", u"b", u"c"}));
  t.doc.SelectAll();
  EXPECT_EQ(t.doc.AttachOnParagraphA("{\r\n", 3, "\r\n}", 3, TRUE), 1);
  EXPECT_TRUE(t.TextIs({u"{", u"a", u"}", u"{", u"b", u"}", u"{", u"c", u"}"}));
  EXPECT_EQ(t.doc.nCaretPos, static_cast<int>(t.Length()));
  EXPECT_EQ(t.doc.cli, t.doc.nLineCount - 1);
  ASSERT_TRUE(t.doc.Undo(nullptr));
  EXPECT_TRUE(t.TextIs({u"a", u"b", u"c"}));
}

TEST_P(AttachDetach, NothingHappensWithoutTextOrInTheHexView) {
  SelDoc t(Encoding());
  EXPECT_EQ(t.doc.AttachA("[", 1, "]", 1, TRUE), 0);  // before the first NewFile
  ASSERT_TRUE(t.SetRows({u"ab"}));
  EXPECT_EQ(t.doc.AttachA(nullptr, 1, "]", 1, TRUE), 0);
  EXPECT_EQ(t.doc.AttachA("[", -1, "]", 1, TRUE), 0);
  EXPECT_EQ(t.doc.AttachOnParagraphA("", 0, nullptr, 0, TRUE), 0);
  t.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  EXPECT_EQ(t.doc.AttachOnParagraphA("[", 1, "]", 1, TRUE), 0);
  t.doc.nViewType = MIREL_VIEW_TYPE_TEXT;
  EXPECT_TRUE(t.TextIs({u"ab"}));
  EXPECT_FALSE(t.doc.CanUndo());
}

INSTANTIATE_TEST_SUITE_P(Encodings, AttachDetach,
                         ::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE),
                         mirel_sel_test::EncodingParamName);

// Bytes that stand at a paragraph's edge only as part of a double-byte
// character are no string there.
TEST(AttachDetachAnsi, DetachTakesOnlyWholeCharacters) {
  SelDoc t(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(t.SetRows({u"\uAC00", u"a\uAC00"}));  // GA is B0 A1 in code page 949
  t.doc.SelectAll();
  EXPECT_EQ(t.doc.DetachOnParagraphA("\xB0", 1, "\xA1", 1, TRUE), 0);
  EXPECT_TRUE(t.TextIs({u"\uAC00", u"a\uAC00"}));
  EXPECT_EQ(t.doc.DetachOnParagraphA("a", 1, "\xB0\xA1", 2, TRUE), 1);
  EXPECT_TRUE(t.TextIs({u"", u""}));
}

}  // namespace
