// Dragging the selection to move or copy it, refused drops, Alt column
// selection and the plain gesture that ends it, auto-scroll periods and the
// cursor the view shows.
#include <windows.h>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "textview_mouse_test_util.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

using namespace mirel_textview_mouse_test;
using mirel_doc_test::TextOf;

namespace {

class TextViewMouseDrag : public MouseFixture, public ::testing::WithParamInterface<MouseCase> {
 protected:
  void SetUp() override {
    MouseFixture::SetUp();
    Open("one two three\r\nfour\r\n", GetParam().nEncoding, GetParam().nWrapMode);
    doc.undo.Reset();
    doc.SetSel(P(4), P(7), FALSE);  // "two"
  }
  void TearDown() override {
#ifndef _WIN32
    MrwTestResetKeyState();
#endif
    MouseFixture::TearDown();
  }
  // The text as ANSI, whatever the encoding.
  std::string Text() {
    const int n = doc.GetTextA(nullptr, 0, static_cast<int>(doc.GetContentsSize()));
    std::string s(static_cast<size_t>(n), '\0');
    doc.GetTextA(&s[0], 0, static_cast<int>(doc.GetContentsSize()));
    return s.substr(0, s.find('\0'));
  }
};

TEST_P(TextViewMouseDrag, DraggingTheSelectionMovesItAndUndoPutsItBack) {
  Down(At(0, "one t"));
  EXPECT_TRUE(doc.IsDragPending());
  EXPECT_EQ(GetCapture(), hWnd);
  Move(At(1, "four"));
  Up(At(1, "four"));
  EXPECT_FALSE(doc.IsDragPending());
  EXPECT_EQ(Text(), "one  three\r\nfourtwo\r\n");
  // The moved text stays selected where it landed.
  EXPECT_EQ(SelStart(), P(12 + 4));
  EXPECT_EQ(SelEnd(), P(12 + 7));
  EXPECT_EQ(doc.nCaretPos, static_cast<int>(P(19)));
  SendMessageA(hWnd, WM_UNDO, 0, 0);
  EXPECT_EQ(Text(), "one two three\r\nfour\r\n");
}

#ifndef _WIN32
TEST_P(TextViewMouseDrag, CtrlAtTheReleaseCopiesAndTheCopyIsSelected) {
  MIREL_REQUIRE_STANDIN();
  Down(At(0, "one t"));
  MrwTestSetKeyDown(VK_CONTROL, TRUE);
  POINT start = At(0, "");
  ++start.x;  // the margin's edge is outside the text area
  Move(start);
  EXPECT_EQ(GetCursor(), doc.cursor.GetDragCopyCursor());
  Up(start);
  EXPECT_EQ(Text(), "twoone two three\r\nfour\r\n");
  EXPECT_EQ(SelStart(), P(0));
  EXPECT_EQ(SelEnd(), P(3));
  SendMessageA(hWnd, WM_UNDO, 0, 0);
  EXPECT_EQ(Text(), "one two three\r\nfour\r\n");
}

#endif

TEST_P(TextViewMouseDrag, ReleasingInTheSelectionOnlyPlacesTheCaret) {
  doc.bAutoSelect = TRUE;
  Down(At(0, "one t"));
  Up(At(0, "one tw"));
  EXPECT_EQ(Text(), "one two three\r\nfour\r\n");
  EXPECT_FALSE(doc.block.HasSelection());
  EXPECT_EQ(doc.nCaretPos, static_cast<int>(P(6)));
  EXPECT_FALSE(doc.bAutoSelect);
}

TEST_P(TextViewMouseDrag, ReleasingOutsideTheTextAreaDropsNothing) {
  Down(At(0, "one t"));
  POINT below = At(0, "one");
  below.y = Mirel().rcEdit.bottom + 5;
  Move(below);
  Up(below);
  EXPECT_EQ(Text(), "one two three\r\nfour\r\n");
  EXPECT_EQ(SelStart(), P(4));
  EXPECT_EQ(SelEnd(), P(7));
  EXPECT_FALSE(doc.undo.CanUndo());
}

TEST_P(TextViewMouseDrag, AReadOnlyDocumentShowsNoEntryAndOnlyMovesTheCaret) {
  doc.SetReadOnly(TRUE);
  Down(At(0, "one t"));
  Move(At(1, "fo"));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_NO));
  Up(At(1, "fo"));
  EXPECT_EQ(Text(), "one two three\r\nfour\r\n");
  EXPECT_FALSE(doc.block.HasSelection());
  EXPECT_EQ(doc.nCaretPos, static_cast<int>(P(15 + 2)));
}

TEST_P(TextViewMouseDrag, DraggingFarBelowTheWindowRepeatsMoreSlowly) {
  Click(At(0, "o"));
  Down(At(0, "on"));
  const LONG bottom = Mirel().rcEdit.bottom;
  const POINT ptNear{At(0, "").x, bottom + 30};
  const POINT ptFar{At(0, "").x, bottom + 80};
  EXPECT_EQ(pView->OnMouseMove(hWnd, ptNear.x, ptNear.y, MK_LBUTTON), 100u);
  EXPECT_EQ(pView->OnMouseMove(hWnd, ptFar.x, ptFar.y, MK_LBUTTON), 500u);
  // Inside the text area (on the first visible row) nothing repeats.
  EXPECT_EQ(pView->OnMouseMove(hWnd, At(0, "o").x, doc.nRulerHeight + H / 2, MK_LBUTTON), 0u);
  Up(At(0, "o"));
}

#ifndef _WIN32
TEST_P(TextViewMouseDrag, AltSelectsAColumnAndTheNextPlainClickEndsColumnMode) {
  MIREL_REQUIRE_STANDIN();
  MrwTestResetBeepCount();
  MrwTestSetKeyDown(VK_MENU, TRUE);
  Down(At(0, "o"));
  Move(At(1, "fou"));
  Up(At(1, "fou"));
  MrwTestSetKeyDown(VK_MENU, FALSE);
  if (GetParam().nWrapMode != MIREL_WRAP_NONE) {
    // Wrapped rows have no column grid: a beep, and no column block.
    EXPECT_EQ(MrwTestBeepCount(), 1);
    EXPECT_FALSE(doc.block.IsColumnMode());
    EXPECT_FALSE(doc.block.IsColumnBlock());
    return;
  }
  EXPECT_TRUE(doc.block.IsColumnBlock());
  // A plain drag afterwards selects a stream of text, not a column.
  Down(At(0, "one "));
  Move(At(1, "fo"));
  Up(At(1, "fo"));
  EXPECT_FALSE(doc.block.IsColumnMode());
  EXPECT_FALSE(doc.block.IsColumnBlock());
  EXPECT_EQ(SelStart(), P(4));
  EXPECT_EQ(SelEnd(), P(15 + 2));
}

#endif

TEST_P(TextViewMouseDrag, TheCursorShowsTheMarginTheSelectionOrTheIBeam) {
  MIREL_REQUIRE_STANDIN();  // the pointer is placed on the screen
  auto CursorAt = [&](POINT pt) {
    ClientToScreen(hWnd, &pt);
    SetCursorPos(pt.x, pt.y);
    SetCursor(nullptr);
    return SendMessageA(hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd),
                        MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  };
  POINT margin = At(0, "");
  margin.x = doc.nLeftMargin / 2;
  EXPECT_EQ(CursorAt(margin), 1);
  EXPECT_EQ(GetCursor(), doc.cursor.GetMarginCursor());
  EXPECT_EQ(CursorAt(At(0, "one t")), 1);
  EXPECT_EQ(GetCursor(), doc.cursor.GetArrowCursor());
  // Over plain text the view leaves the cursor to the window class.
  POINT text = At(1, "fo");
  ClientToScreen(hWnd, &text);
  SetCursorPos(text.x, text.y);
  EXPECT_EQ(pView->OnSetCursor(hWnd, hWnd, HTCLIENT, WM_MOUSEMOVE), 0);
}

INSTANTIATE_TEST_SUITE_P(Encodings, TextViewMouseDrag,
                         ::testing::Values(MouseCase{MIREL_ENCODING_ANSI, MIREL_WRAP_NONE},
                                           MouseCase{MIREL_ENCODING_UTF8, MIREL_WRAP_NONE},
                                           MouseCase{MIREL_ENCODING_UTF16LE, MIREL_WRAP_NONE},
                                           MouseCase{MIREL_ENCODING_ANSI, MIREL_WRAP_CHAR},
                                           MouseCase{MIREL_ENCODING_UTF16LE, MIREL_WRAP_WORD}),
                         CaseName);

}  // namespace
