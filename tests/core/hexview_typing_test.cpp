// Typing in the hex view: hex digits nibble by nibble in insert and overwrite
// mode, the second digit writing only the byte the first one started,
// characters in the character column, composed characters from the input
// method, Backspace and Delete, the byte-order mark, read-only documents,
// and undo and redo of all of it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "hexview_fixture.h"

namespace {

using mirel_hex_test::B;
using mirel_hex_test::HexViewTest;

struct NibbleCase {
  const char* name;
  BOOL bOverwrite;
  DWORD nCaret;
  const char* keys;
  std::string expected;
  DWORD nExpectedCaret;
  BOOL bPending;
};

TEST_F(HexViewTest, HexDigitsWriteBytesNibbleByNibble) {
  const NibbleCase cases[] = {
      {"insert two digits", FALSE, 0, "34", B({0x34, 0x5A, 0x01}), 1, FALSE},
      {"insert the high nibble alone", FALSE, 0, "3", B({0x30, 0x5A, 0x01}), 0, TRUE},
      {"insert in the middle", FALSE, 1, "aB", B({0x5A, 0xAB, 0x01}), 2, FALSE},
      {"insert at the end", FALSE, 2, "7f", B({0x5A, 0x01, 0x7F}), 3, FALSE},
      {"insert four digits", FALSE, 0, "C0dE", B({0xC0, 0xDE, 0x5A, 0x01}), 2, FALSE},
      {"overwrite two digits", TRUE, 0, "34", B({0x34, 0x01}), 1, FALSE},
      {"overwrite the high nibble alone", TRUE, 0, "9", B({0x90, 0x01}), 0, TRUE},
      {"overwrite at the end appends", TRUE, 2, "7f", B({0x5A, 0x01, 0x7F}), 3, FALSE},
      {"overwrite three digits", TRUE, 0, "123", B({0x12, 0x30}), 1, TRUE},
      {"other characters do nothing", FALSE, 1, "g. xZ", B({0x5A, 0x01}), 1, FALSE},
  };
  for (const NibbleCase& c : cases) {
    SCOPED_TRACE(c.name);
    Open(B({0x5A, 0x01}));
    doc.SetOverwriteMode(c.bOverwrite);
    Caret(c.nCaret);
    Type(c.keys);
    EXPECT_EQ(File(), c.expected);
    EXPECT_EQ(Pos(), c.nExpectedCaret);
    EXPECT_EQ(doc.bHexComposition, c.bPending);
    ExpectConsistent();
    if (c.bPending) {
      // The caret stands on the second digit of the byte being typed.
      EXPECT_EQ(View().nCaretX, doc.GetHexXFromPos(doc.cli, Pos(), MIREL_HEX_AREA_CELLS));
      POINT pt{};
      GetCaretPos(&pt);
      EXPECT_EQ(pt.x, View().nCaretX + cx - pEdit->nHScrollPos);
    }
  }
}

TEST_F(HexViewTest, TheSecondDigitWritesOnlyTheByteTheFirstStarted) {
  Open(B({0x11, 0x22, 0x33}));
  Type("3");
  ASSERT_TRUE(doc.bHexComposition);
  // The host moves the caret while the nibble is pending.
  doc.SetSel(2, 2, FALSE);
  Type("4");
  // The byte at the new caret is not OR-ed: a new byte starts there.
  EXPECT_EQ(File(), B({0x30, 0x11, 0x40, 0x22, 0x33}));
  EXPECT_TRUE(doc.bHexComposition);
  ExpectConsistent();

  // A move between the digits leaves the first byte with its low nibble 0.
  Open(B({0x11}));
  Type("3");
  Key(VK_RIGHT);
  EXPECT_FALSE(doc.bHexComposition);
  Type("4");
  EXPECT_EQ(File(), B({0x30, 0x40, 0x11}));
}

TEST_F(HexViewTest, TypedBytesUndoAndRedoExactly) {
  for (BOOL bOverwrite : {FALSE, TRUE}) {
    SCOPED_TRACE(bOverwrite ? "overwrite" : "insert");
    Open(B({0x5A, 0x01}));
    doc.SetOverwriteMode(bOverwrite);
    const std::string before = File();
    Type("34");
    Type("c");
    Type("d");
    const std::string after = File();
    ASSERT_EQ(after, bOverwrite ? B({0x34, 0xCD}) : B({0x34, 0xCD, 0x5A, 0x01}));
    // One step per byte, each with both digits.
    ASSERT_TRUE(doc.Undo(nullptr));
    EXPECT_EQ(File(), bOverwrite ? B({0x34, 0x01}) : B({0x34, 0x5A, 0x01}));
    ASSERT_TRUE(doc.Undo(nullptr));
    EXPECT_EQ(File(), before);
    EXPECT_FALSE(doc.CanUndo());
    ASSERT_TRUE(doc.Redo(nullptr));
    ASSERT_TRUE(doc.Redo(nullptr));
    EXPECT_EQ(File(), after);
    ExpectConsistent();
  }
}

TEST_F(HexViewTest, ADigitReplacesTheSelectionByOneByte) {
  Open("ABCD");
  Select(3, 1);
  Type("5");
  EXPECT_EQ(File(), B({'A', 0x50, 'D'}));
  EXPECT_EQ(Pos(), 1u);
  EXPECT_TRUE(doc.bHexComposition);
  Type("6");
  EXPECT_EQ(File(), B({'A', 0x56, 'D'}));
  EXPECT_EQ(Pos(), 2u);
  ExpectConsistent();
  ASSERT_TRUE(doc.Undo(nullptr));
  EXPECT_EQ(File(), "ABCD");
}

struct CharCase {
  const char* name;
  int nEncoding;
  BOOL bOverwrite;
  std::string text;
  DWORD nCaret;
  const char* typed;
  std::string expected;
  DWORD nExpectedCaret;
};

TEST_F(HexViewTest, CharactersGoIntoTheCharacterColumnAsUnits) {
  const std::string bomLE = B({0xFF, 0xFE});
  const CharCase cases[] = {
      {"ANSI insert", MIREL_ENCODING_ANSI, FALSE, "ab", 1, "xy", "axyb", 3},
      {"ANSI overwrite", MIREL_ENCODING_ANSI, TRUE, "ab", 1, "xy", "axy", 3},
      {"UTF-16 insert", MIREL_ENCODING_UTF16LE, FALSE, std::string("a\0", 2), 2, "x",
       bomLE + std::string("x\0a\0", 4), 4},
      // One byte left: it is replaced and the other byte appended.
      {"UTF-16 overwrite at the end", MIREL_ENCODING_UTF16LE, TRUE, std::string("a\0", 2), 3, "x",
       bomLE + std::string("ax\0", 3), 5},
      {"DEL and bytes from 0x80 are not typed", MIREL_ENCODING_ANSI, FALSE, "ab", 0, "\x7F\x80\xB0", "ab", 0},
  };
  for (const CharCase& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.text, c.nEncoding);
    doc.SetOverwriteMode(c.bOverwrite);
    Key(VK_TAB);  // no effect: Tab arrives as a character
    SendMessageA(hEdit, WM_CHAR, '\t', 1);
    ASSERT_EQ(doc.nHexCaretArea, MIREL_HEX_AREA_CHARS);
    Caret(c.nCaret);
    Type(c.typed);
    EXPECT_EQ(File(), c.expected);
    EXPECT_EQ(Pos(), c.nExpectedCaret);
    ExpectConsistent();
  }
}

TEST_F(HexViewTest, ComposedCharactersAreTypedInTheFileEncoding) {
  struct Case {
    int nEncoding;
    std::string expected;
  };
  // U+AC00 is 0xB0A1 in code page 949.
  const Case cases[] = {
      {MIREL_ENCODING_ANSI, B({'a', 0xB0, 0xA1})},
      {MIREL_ENCODING_UTF8, B({'a', 0xEA, 0xB0, 0x80})},
      {MIREL_ENCODING_UTF16LE, B({0xFF, 0xFE, 'a', 0, 0x00, 0xAC})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nEncoding);
    const std::string text = c.nEncoding == MIREL_ENCODING_UTF16LE ? std::string("a\0", 2) : "a";
    Open(text, c.nEncoding);
    // Composed characters are typed only in the character column.
    Caret(doc.GetFileSize());
    const std::string before = File();
    SendMessageA(hEdit, WM_IME_CHAR, 0xB0A1, 1);
    EXPECT_EQ(File(), before);
    doc.nHexCaretArea = MIREL_HEX_AREA_CHARS;
    SendMessageA(hEdit, WM_IME_CHAR, 0xB0A1, 1);
    EXPECT_EQ(File(), c.expected);
    EXPECT_EQ(Pos(), doc.GetFileSize());
    ExpectConsistent();
  }
}

TEST_F(HexViewTest, BackspaceAndDeleteRemoveBytes) {
  struct Case {
    const char* name;
    DWORD nAnchor, nCaret;
    BOOL bPending;
    UINT vk, mods;
    std::string expected;
    DWORD nExpectedCaret;
  };
  const Case cases[] = {
      {"Backspace", 2, 2, FALSE, VK_BACK, 0, "acd", 1},
      {"Backspace at 0", 0, 0, FALSE, VK_BACK, 0, "abcd", 0},
      {"Backspace with a nibble pending", 2, 2, TRUE, VK_BACK, 0, "abcd", 2},
      {"Backspace on a selection", 3, 1, FALSE, VK_BACK, 0, "ad", 1},
      {"Delete", 1, 1, FALSE, VK_DELETE, 0, "acd", 1},
      {"Delete at the end", 4, 4, FALSE, VK_DELETE, 0, "abcd", 4},
      {"Shift+Delete", 1, 1, FALSE, VK_DELETE, mirel_hex_test::kShift, "abcd", 1},
      {"Delete on a selection", 1, 3, FALSE, VK_DELETE, 0, "ad", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open("abcd");
    Select(c.nAnchor, c.nCaret);
    doc.bHexComposition = c.bPending;
    Key(c.vk, c.mods);
    EXPECT_EQ(File(), c.expected);
    EXPECT_EQ(Pos(), c.nExpectedCaret);
    EXPECT_EQ(SelStart(), SelEnd());
    ExpectConsistent();
  }
}

TEST_F(HexViewTest, ReadOnlyDocumentsSwallowEveryEdit) {
  Open("ab");
  doc.SetReadOnly(TRUE);
  Caret(1);
  Type("4");
  Key(VK_BACK);
  Key(VK_DELETE);
  SendMessageA(hEdit, WM_CHAR, '\t', 1);
  EXPECT_EQ(doc.nHexCaretArea, MIREL_HEX_AREA_CELLS);
  doc.nHexCaretArea = MIREL_HEX_AREA_CHARS;
  Type("x");
  SendMessageA(hEdit, WM_IME_CHAR, 0xB0A1, 1);
  EXPECT_EQ(File(), "ab");
  EXPECT_EQ(Pos(), 1u);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_FALSE(doc.CanUndo());
}

TEST_F(HexViewTest, NibblesInsideAndAfterTheByteOrderMarkFollowItsRules) {
  // Over the first byte of a UTF-8 mark: the mark is gone, its bytes are text.
  Open("abc", MIREL_ENCODING_UTF8_BOM);
  ASSERT_EQ(File(), B({0xEF, 0xBB, 0xBF, 'a', 'b', 'c'}));
  doc.SetOverwriteMode(TRUE);
  Type("4");
  EXPECT_EQ(doc.pContents->GetBomLength(), 0);
  Type("1");
  EXPECT_EQ(File(), B({0x41, 0xBB, 0xBF, 'a', 'b', 'c'}));
  EXPECT_EQ(doc.GetContentsSize(), 6u);
  EXPECT_EQ(Pos(), 1u);
  ExpectConsistent();
  // Typing the mark's byte again brings the mark back.
  Caret(0);
  Type("ef");
  EXPECT_EQ(doc.pContents->GetBomLength(), 3);
  EXPECT_EQ(doc.GetContentsSize(), 3u);
  ExpectConsistent();
  ASSERT_TRUE(doc.Undo(nullptr));
  ASSERT_TRUE(doc.Undo(nullptr));
  EXPECT_EQ(File(), B({0xEF, 0xBB, 0xBF, 'a', 'b', 'c'}));
  EXPECT_EQ(doc.pContents->GetBomLength(), 3);

  // Inserted inside the mark.
  Open("abc", MIREL_ENCODING_UTF8_BOM);
  Caret(1);
  Type("30");
  EXPECT_EQ(File(), B({0xEF, 0x30, 0xBB, 0xBF, 'a', 'b', 'c'}));
  EXPECT_EQ(doc.pContents->GetBomLength(), 0);
  ExpectConsistent();

  // At the end of a UTF-16 body: half a unit, and the text view copes.
  Open(std::string("a\0", 2), MIREL_ENCODING_UTF16LE);
  Caret(doc.GetFileSize());
  Type("41");
  EXPECT_EQ(File(), B({0xFF, 0xFE, 'a', 0, 0x41}));
  ExpectConsistent();
  doc.SetViewType(MIREL_VIEW_TYPE_TEXT);
  EXPECT_EQ(doc.nCaretPos % 2, 0);
  EXPECT_LE(static_cast<DWORD>(doc.nCaretPos), doc.GetContentsSize());
}

}  // namespace
