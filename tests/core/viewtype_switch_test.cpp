// Switching a document between the text and the hex view: the caret and the
// selection stay on their bytes across the byte-order mark, every window
// shows the new view, the history starts again, and nothing is refreshed for
// a switch that changes nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "hexview_fixture.h"
#include "mirel/cmirelviewtext.h"

namespace {

using mirel_hex_test::B;
using mirel_hex_test::HexViewTest;

class ViewSwitch : public HexViewTest {
 protected:
  // Back to the text view with a text position as caret.
  void ToText() {
    doc.SetViewType(MIREL_VIEW_TYPE_TEXT);
    ASSERT_EQ(pEdit->pView, pEdit->pViewText);
  }
  void TextCaret(DWORD nPos) {
    doc.nCaretPos = static_cast<int>(nPos);
    doc.cli = doc.GetLineFromPos(nPos);
    doc.block.Reset(nPos, doc.cli, FALSE);
  }
};

TEST_F(ViewSwitch, TheCaretKeepsItsByteAcrossTheByteOrderMark) {
  struct Case {
    int nEncoding;
    std::string text;
    DWORD nMark;
  };
  const Case cases[] = {
      {MIREL_ENCODING_ANSI, std::string(30, 'a'), 0},
      {MIREL_ENCODING_UTF8_BOM, std::string(30, 'a'), 3},
      {MIREL_ENCODING_UTF8, std::string(30, 'a'), 0},
      {MIREL_ENCODING_UTF16LE, std::string(30, 'a'), 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nEncoding);
    Open(c.text, c.nEncoding);
    ToText();
    TextCaret(10);
    doc.SetViewType(MIREL_VIEW_TYPE_HEX);
    EXPECT_EQ(pEdit->pView, pEdit->pViewHex);
    EXPECT_EQ(Pos(), 10 + c.nMark);
    EXPECT_EQ(doc.GetCurrentFilePos(), 10 + c.nMark);
    ExpectConsistent();
    ToText();
    EXPECT_EQ(Pos(), 10u);
    EXPECT_EQ(doc.cli, doc.GetLineFromPos(10));
    EXPECT_EQ(doc.block.nAnchor, 10u);
    EXPECT_EQ(doc.block.nCaret, 10u);
  }
}

TEST_F(ViewSwitch, ASelectionComesBackWithItsAnchorAtTheStart) {
  Open("0123456789abcdef", MIREL_ENCODING_UTF8_BOM);
  ToText();
  // Made from right to left.
  TextCaret(9);
  doc.block.SetCaret(3, doc.GetLineFromPos(3));
  doc.nCaretPos = 3;
  doc.SetViewType(MIREL_VIEW_TYPE_HEX);
  EXPECT_EQ(doc.block.nAnchor, 6u);
  EXPECT_EQ(doc.block.nCaret, 12u);
  EXPECT_EQ(Pos(), 12u);
  ExpectConsistent();
  ToText();
  EXPECT_EQ(doc.block.nAnchor, 3u);
  EXPECT_EQ(doc.block.nCaret, 9u);
  EXPECT_EQ(Pos(), 9u);
}

TEST_F(ViewSwitch, HexPositionsWithoutATextPositionLandOnTheCharacterThatHoldsThem) {
  // Inside the mark: the text's start.
  Open("abc", MIREL_ENCODING_UTF8_BOM);
  Caret(1);
  ToText();
  EXPECT_EQ(Pos(), 0u);
  // The second byte of a double-byte character (code page 949): its first.
  Open(B({'a', 0xB0, 0xA1, 'b'}));
  Caret(2);
  ToText();
  EXPECT_EQ(Pos(), 1u);
  // Half a UTF-16 unit: the unit.
  Open(std::string("a\0b\0", 4), MIREL_ENCODING_UTF16LE);
  Caret(5);
  ToText();
  EXPECT_EQ(Pos(), 2u);
  // Between CR and LF: the line end's start.
  Open("ab\r\ncd");
  Caret(3);
  ToText();
  EXPECT_EQ(Pos(), 2u);
}

TEST_F(ViewSwitch, EveryWindowSwitchesAndTheHistoryStartsAgain) {
  Open(std::string(100, 'q'));
  ToText();
  Edit& second = NewEdit(false);
  ASSERT_NE(CreateEditWindow(second, 101), nullptr);
  second.edit.nHScrollPos = 40;
  pEdit->nHScrollPos = 30;
  ASSERT_EQ(doc.InsertA("x", 1, TRUE), 1);
  ASSERT_TRUE(doc.CanUndo());
  doc.SetViewType(MIREL_VIEW_TYPE_HEX);
  EXPECT_FALSE(doc.CanUndo());
  for (CMirel* p : {pEdit, &second.edit}) {
    ASSERT_NE(p->pViewHex, nullptr);
    EXPECT_EQ(p->pView, p->pViewHex);
    EXPECT_EQ(p->nHScrollPos, 0);
  }
  // The hex layout is known: the cells start after the address column.
  EXPECT_GT(doc.sizeHexDigit.cx, 0);
  EXPECT_GT(doc.nHexCharsX, doc.nHexDigitsEndX);
  // Each window keeps its views.
  CMirelViewText* pText = pEdit->pViewText;
  ToText();
  EXPECT_EQ(pEdit->pViewText, pText);
  EXPECT_EQ(second.edit.pView, second.edit.pViewText);
}

TEST_F(ViewSwitch, OtherTypesAndTheSameTypeChangeNothing) {
  Open("abcdef");
  Select(1, 4);
  ASSERT_EQ(doc.InsertA("z", 1, TRUE), 1);
  const DWORD nCaret = Pos();
  pEdit->nRepaintTag = REPAINT_TAG_NONE;
  for (int nType : {MIREL_VIEW_TYPE_HEX, 0, 3, -1}) {
    SCOPED_TRACE(nType);
    doc.SetViewType(nType);
    EXPECT_EQ(doc.nViewType, MIREL_VIEW_TYPE_HEX);
    EXPECT_EQ(pEdit->pView, pEdit->pViewHex);
    EXPECT_EQ(Pos(), nCaret);
    EXPECT_TRUE(doc.CanUndo());
    EXPECT_EQ(pEdit->nRepaintTag, REPAINT_TAG_NONE);
  }
}

TEST_F(ViewSwitch, BeforeTheFirstTextTheSwitchIsKept) {
  CMirelDoc fresh;
  fresh.SetViewType(MIREL_VIEW_TYPE_HEX);
  EXPECT_EQ(fresh.nViewType, MIREL_VIEW_TYPE_HEX);
  EXPECT_EQ(fresh.nCaretPos, 0);
  ASSERT_EQ(fresh.NewFile(), 1);
  ASSERT_EQ(fresh.InsertA("ab", 2, TRUE), 1);
  fresh.SetViewType(MIREL_VIEW_TYPE_TEXT);
  EXPECT_EQ(fresh.nViewType, MIREL_VIEW_TYPE_TEXT);
  EXPECT_EQ(fresh.nCaretPos, 2);
}

TEST_F(ViewSwitch, AHexWindowWithoutTextPaintsItsBackgroundAndIgnoresInput) {
  Edit& e = NewEdit(false);
  hEdit = CreateEditWindow(e, 100, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 300, 200);
  ASSERT_NE(hEdit, nullptr);
  pEdit = &e.edit;
  doc.SetViewType(MIREL_VIEW_TYPE_HEX);
  ASSERT_EQ(pEdit->pView, pEdit->pViewHex);
  const COLORREF kBack = RGB(1, 200, 3);
  doc.SetBackColor(kBack);
  SendMessageA(hEdit, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
  Type("4a\tb");
  Key(VK_BACK);
  Key(VK_END);
  Key(VK_NEXT, mirel_hex_test::kShift);
  SendMessageA(hEdit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 20));
  SendMessageA(hEdit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(160, 40));
  SendMessageA(hEdit, WM_LBUTTONUP, 0, MAKELPARAM(160, 40));
  SendMessageA(hEdit, WM_IME_CHAR, 0xB0A1, 1);
  InvalidateRect(hEdit, nullptr, FALSE);
  SendMessageA(hEdit, WM_PAINT, 0, 0);
  EXPECT_EQ(doc.pContents, nullptr);
  EXPECT_EQ(doc.nCaretPos, 0);
  ASSERT_NE(pEdit->hBackBitmap, nullptr);
  HDC hMem = CreateCompatibleDC(nullptr);
  HGDIOBJ hOld = SelectObject(hMem, pEdit->hBackBitmap);
  EXPECT_EQ(GetPixel(hMem, 5, 5), kBack);
  EXPECT_EQ(GetPixel(hMem, 120, 60), kBack);
  SelectObject(hMem, hOld);
  DeleteDC(hMem);
}

TEST_F(ViewSwitch, TypingAfterTheSwitchEditsTheSameBytes) {
  // A UTF-8 text with its mark: typed at the caret in hex, read back as text.
  Open("hello", MIREL_ENCODING_UTF8_BOM);
  ToText();
  TextCaret(2);
  doc.SetViewType(MIREL_VIEW_TYPE_HEX);
  Type("41");
  ToText();
  char text[16] = {0};
  ASSERT_EQ(doc.GetTextA(text, 0, 6), 6);
  EXPECT_STREQ(text, "heAllo");
  EXPECT_EQ(Pos(), 3u);
}

}  // namespace
