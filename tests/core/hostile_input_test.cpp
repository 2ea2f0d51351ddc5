// Host misuse and bad bytes are refused or measured, never asserted: closing
// an undo group that is not open, UTF-8 sequences that are no character,
// huge tab widths; and the overwrite caret measures the character it stands
// on, read through the store's offset like every windowed reader.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "mirel/cmirelviewtext.h"
#include "mirel/mirel.h"
#include "positions_fixture.h"
#include "textview_test_util.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

namespace {

using mirel_test::TextDoc;

TEST(HostileInput, ClosingAnUndoGroupThatIsNotOpenIsRefusedWithoutAnAssertion) {
  TextDoc t;
  ASSERT_TRUE(t.SetText(""));
  MirelResetAssertFailures();
  t.doc.EndUndoGroup();
  t.doc.EndUndoGroup();
  EXPECT_EQ(MirelAssertFailureCount(), 0);
  // The history still works: one group, one undo step.
  t.doc.StartUndoGroup();
  ASSERT_EQ(t.doc.InsertA("ab", 2, TRUE), 1);
  ASSERT_EQ(t.doc.InsertA("cd", 2, TRUE), 1);
  t.doc.EndUndoGroup();
  t.doc.EndUndoGroup();
  EXPECT_EQ(t.Length(), 4u);
  EXPECT_TRUE(t.doc.Undo(nullptr));
  EXPECT_EQ(t.Length(), 0u);
  EXPECT_EQ(MirelAssertFailureCount(), 0);
}

TEST(HostileInput, Utf8BytesThatAreNoCharacterMeasureAsOneReplacementCharacter) {
  TextDoc t(MIREL_ENCODING_UTF8);
  const std::string kReplacement = "\xEF\xBF\xBD";
  const int nReplacement = t.doc.GetCharWidth(reinterpret_cast<const BYTE*>(kReplacement.data()), 3);
  ASSERT_GT(nReplacement, 0);
  MirelResetAssertFailures();
  for (const std::string bad : {"\xF4\x90\x80\x80", "\xF0\x80\x80\x80", "\xF8\x88\x80\x80", "\xE0\x80\x80",
                                "\xED\xA0\x80", "\xC0\xAF"}) {
    SCOPED_TRACE(testing::PrintToString(bad));
    EXPECT_EQ(t.doc.GetCharWidth(reinterpret_cast<const BYTE*>(bad.data()), static_cast<DWORD>(bad.size())),
              nReplacement);
  }
  // In the text: laid out and measured as one character each, no assertion.
  ASSERT_TRUE(
      t.SetText("a\xF4\x90\x80\x80"
                "b\xF0\x80\x80\x80"));
  EXPECT_EQ(t.doc.GetCharLengthAt(1), 4u);
  const BYTE a = 'a';
  EXPECT_EQ(t.doc.GetXFromPos(0, 5, FALSE), t.doc.GetCharWidth(&a, 1) + nReplacement);
  EXPECT_EQ(MirelAssertFailureCount(), 0);
}

TEST(HostileInput, TabStopsBeyondTheRangeOfIntSaturateInsteadOfOverflowing) {
  for (int nWrap : {MIREL_WRAP_NONE, MIREL_WRAP_CHAR}) {
    for (int nEncoding : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE}) {
      SCOPED_TRACE(std::to_string(nWrap) + "/" + std::to_string(nEncoding));
      TextDoc t(nEncoding, nWrap);
      // Wider than any tab size allows: every width sum must stay in range.
      t.doc.nTabWidth = INT_MAX;
      const std::string text = "a\tbc\t\td\r\n\tx";
      ASSERT_TRUE(t.SetText(nEncoding == MIREL_ENCODING_UTF16LE ? mirel_test::Utf16Bytes(u"a\tbc\t\td\r\n\tx")
                                                                : text));
      ASSERT_TRUE(t.doc.ReloadContents());
      EXPECT_GE(t.doc.nLineCount, 2);
      const int x = t.doc.GetXFromPos(0, t.doc.pLines[0].nStart + t.doc.pLines[0].nLen, FALSE);
      // Without wrap the first row holds every tab: its end is as far right
      // as an int goes. With wrap each tab starts a row of its own.
      if (nWrap == MIREL_WRAP_NONE) {
        EXPECT_EQ(x, INT_MAX);
      } else {
        EXPECT_GE(x, 0);
      }
      EXPECT_GE(t.doc.nMaxLineWidth, 0);
    }
  }
}

// The overwrite caret is as wide as the character under it, also in the
// middle of the text and in every encoding.
class HostileCaretWidth : public mirel_textview_test::TextViewFixture,
                          public testing::WithParamInterface<int> {};

TEST_P(HostileCaretWidth, TheOverwriteCaretTakesTheWidthOfTheCharacterUnderIt) {
  const int nEncoding = GetParam();
  doc.nFileEncoding = static_cast<BYTE>(nEncoding);
  doc.nCodePage = 949;
  MakeWindow("");
  // "a", U+AC00 (a wide syllable), "b", in the document's encoding.
  std::string bytes;
  DWORD nWide = 0;
  if (nEncoding == MIREL_ENCODING_UTF16LE) {
    bytes = mirel_test::Utf16Bytes(
        u"a\xAC00"
        "b");
    nWide = 2;
  } else if (nEncoding == MIREL_ENCODING_UTF8) {
    bytes =
        "a\xEA\xB0\x80"
        "b";
    nWide = 3;
  } else {
    bytes =
        "a\xB0\xA1"
        "b";
    nWide = 2;
  }
  ASSERT_TRUE(doc.InsertContents(0, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size()), FALSE));
  const DWORD nUnit = nEncoding == MIREL_ENCODING_UTF16LE ? 2 : 1;
  const int nWideWidth = doc.GetCharWidth(reinterpret_cast<const BYTE*>(bytes.data()) + nUnit, nWide);
  const int nFirstWidth = doc.GetCharWidth(reinterpret_cast<const BYTE*>(bytes.data()), nUnit);
  ASSERT_NE(nWideWidth, nFirstWidth);  // else the test could not tell them apart
  SetFocus(hWnd);
  doc.SetOverwriteMode(TRUE);
  MirelResetAssertFailures();
  PutCaret(nUnit);
  pView->UpdateCaret(1, 1);
#ifndef _WIN32  // Windows has no query for the caret's size
  EXPECT_EQ(MrwTestCaretSize().cx, nWideWidth);
#endif
  PutCaret(nUnit + nWide);  // on "b"
  pView->UpdateCaret(1, 1);
#ifndef _WIN32
  const BYTE b = 'b';
  EXPECT_EQ(MrwTestCaretSize().cx, std::max(doc.GetCharWidth(&b, 1), 1));
#endif
  EXPECT_EQ(MirelAssertFailureCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Encodings, HostileCaretWidth,
                         testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE));

}  // namespace

namespace {

// An edit deep in a long wrapped paragraph lays out only the rows from just
// before it: the result still equals a layout of the whole text, also where
// the edit pulls a word back to the row above or pushes one down.
TEST(HostileInput, EditsInALongWrappedParagraphGiveTheRowsOfAFreshLayout) {
  std::string words;
  for (int i = 0; words.size() < 600; ++i)
    words += std::string(1 + i % 7, static_cast<char>('a' + i % 26)) + " ";
  words += "\r\nnext\r\n";
  struct Edit {
    const char* pszName;
    bool bInsert;
    const char* pszText;
  };
  const Edit edits[] = {{"delete one", false, ""},
                        {"insert a space", true, " "},
                        {"insert a long word", true, "xxxxxxxxxxxxxxxxxxxxxx"},
                        {"insert a line end", true, "\r\n"},
                        {"insert a page break", true, "\x0C"}};
  for (int nWrap : {MIREL_WRAP_CHAR, MIREL_WRAP_WORD, MIREL_WRAP_WORD_DBCS}) {
    for (const Edit& e : edits) {
      for (int nRowPick : {3, 10, 20}) {
        SCOPED_TRACE(std::string(e.pszName) + " wrap " + std::to_string(nWrap) + " row " +
                     std::to_string(nRowPick));
        TextDoc t(MIREL_ENCODING_ANSI, nWrap);
        t.doc.chPageBreak = 0x0C;
        ASSERT_TRUE(t.SetText(words));
        ASSERT_GT(t.doc.nLineCount, nRowPick + 2);
        // At a row start, where a deletion can pull the word back up.
        const DWORD nPos = t.doc.pLines[nRowPick].nStart;
        if (e.bInsert) {
          ASSERT_TRUE(t.doc.InsertContents(nPos, reinterpret_cast<const BYTE*>(e.pszText),
                                           static_cast<DWORD>(std::strlen(e.pszText)), TRUE));
        } else {
          ASSERT_TRUE(t.doc.DeleteContents(nPos - 1, 1, TRUE));
        }
        const std::vector<MIREL_LINE> incremental(t.doc.pLines, t.doc.pLines + t.doc.nLineCount);
        ASSERT_TRUE(t.doc.ReloadContents());
        ASSERT_EQ(static_cast<size_t>(t.doc.nLineCount), incremental.size());
        for (size_t i = 0; i < incremental.size(); ++i) {
          EXPECT_EQ(incremental[i].nStart, t.doc.pLines[i].nStart) << i;
          EXPECT_EQ(incremental[i].nLen, t.doc.pLines[i].nLen) << i;
          EXPECT_EQ(incremental[i].nPara, t.doc.pLines[i].nPara) << i;
          EXPECT_EQ(incremental[i].nSubLine, t.doc.pLines[i].nSubLine) << i;
        }
      }
    }
  }
}

}  // namespace
