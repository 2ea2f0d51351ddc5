// A control window of the control class showing a document as hex, made the
// way a host does it: window, text, then the switch to the hex view. Keys go
// in as the host's key command (which carries its own modifier bits),
// characters as WM_CHAR, clicks as mouse messages at the pixel of a byte
// computed from the hex font's own metrics.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doc_test_util.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmirelviewhex.h"
#include "window_test_util.h"

namespace mirel_hex_test {

// Modifier bits of the key command.
constexpr UINT kShift = 0x04;
constexpr UINT kCtrl = 0x08;

class HexViewTest : public mirel_window_test::WindowFixture {
 protected:
  static constexpr int kWidth = 700;
  static constexpr int kHeight = 300;

  // A focused window over a document in the encoding (code page 949 for
  // ANSI) holding the text bytes (byte-order mark excluded), shown as hex
  // with the caret at file position 0.
  void Open(const std::string& text, int nEncoding = MIREL_ENCODING_ANSI) {
    ShowWindow(hParent, SW_SHOWNA);
    // A test may open several times: the text goes in through the text view.
    edits.clear();
    doc.SetViewType(MIREL_VIEW_TYPE_TEXT);
    doc.SetReadOnly(FALSE);
    doc.SetOverwriteMode(FALSE);
    doc.bAutoSelect = FALSE;
    doc.nHexCaretArea = MIREL_HEX_AREA_CELLS;
    doc.nFileEncoding = static_cast<BYTE>(nEncoding);
    doc.nCodePage = 949;
    Edit& e = NewEdit(false);
    hEdit = CreateEditWindow(e, 100, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, kWidth, kHeight);
    ASSERT_NE(hEdit, nullptr);
    pEdit = &e.edit;
    SetFocus(hEdit);
    ASSERT_EQ(doc.NewFile(), 1);
    if (!text.empty()) {
      ASSERT_TRUE(doc.InsertContents(0, reinterpret_cast<const BYTE*>(text.data()),
                                     static_cast<DWORD>(text.size()), FALSE));
    }
    doc.SetViewType(MIREL_VIEW_TYPE_HEX);
    ASSERT_NE(pEdit->pViewHex, nullptr);
    ASSERT_EQ(pEdit->pView, pEdit->pViewHex);
    RECT rc{};
    GetClientRect(hEdit, &rc);
    SendMessageA(hEdit, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
    ReadMetrics();
    Caret(0);
    doc.SetModified(FALSE);
    mirel_window_test::ParentMessages().clear();
  }

  // The size of "0" in the hex font, measured on the window as the document does.
  void ReadMetrics() {
    HDC hdc = GetDC(hEdit);
    ASSERT_NE(hdc, nullptr);
    HGDIOBJ hOld = doc.hFontHex != nullptr ? SelectObject(hdc, doc.hFontHex) : nullptr;
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(hdc, "0", 1, &size));
    if (hOld != nullptr) SelectObject(hdc, hOld);
    ReleaseDC(hEdit, hdc);
    cx = size.cx;
    cy = size.cy;
    ASSERT_GT(cx, 0);
    ASSERT_GT(cy, 0);
    ASSERT_EQ(doc.sizeHexDigit.cx, cx);
    H = doc.nHexLineHeight;
    ASSERT_GE(H, cy);
  }

  CMirelViewHex& View() { return *pEdit->pViewHex; }

  void Caret(DWORD nPos) {
    doc.nCaretPos = static_cast<int>(nPos);
    doc.cli = doc.GetHexLineFromPos(nPos);
    doc.block.SetBoth(nPos, doc.cli);
    doc.bHexComposition = FALSE;
  }
  void Select(DWORD nAnchor, DWORD nCaret) {
    Caret(nCaret);
    doc.block.SetBoth(nAnchor, doc.GetHexLineFromPos(nAnchor));
    doc.block.SetCaretRaw(nCaret, doc.cli);
  }

  void Key(UINT vk, UINT nModifiers = 0) { SendMessageA(hEdit, WM_MIREL_KEYCOMMAND, vk, nModifiers); }
  void Type(const std::string& s) {
    for (char c : s) SendMessageA(hEdit, WM_CHAR, static_cast<unsigned char>(c), 1);
  }

  // Client point of the middle of a byte's cell (area 1) or character (area 3).
  POINT PointOf(DWORD nPos, int nArea) {
    const int nRow = doc.GetHexLineFromPos(nPos);
    const int x = doc.GetHexXFromPos(nRow, nPos, nArea) - pEdit->nHScrollPos + cx / 2;
    const int y = doc.nRulerHeight + (nRow - pEdit->nTopLine) * H + H / 2;
    return POINT{x, y};
  }
  void Click(POINT pt, WPARAM keys = MK_LBUTTON) {
    SendMessageA(hEdit, WM_LBUTTONDOWN, keys, MAKELPARAM(pt.x, pt.y));
  }
  void DragTo(POINT pt) { SendMessageA(hEdit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pt.x, pt.y)); }
  void Release(POINT pt) { SendMessageA(hEdit, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y)); }

  std::string File() {
    std::string out(doc.GetFileSize(), '\0');
    if (!out.empty()) doc.GetFileBuffer(reinterpret_cast<BYTE*>(&out[0]), 0, static_cast<DWORD>(out.size()));
    return out;
  }
  DWORD Pos() const { return static_cast<DWORD>(doc.nCaretPos); }
  DWORD SelStart() const { return doc.block.GetStartPtr(); }
  DWORD SelEnd() const { return doc.block.GetEndPtr(); }

  // After every command: the caret is inside the data, cli is its hex row,
  // the block's caret end is the caret and the text rows equal a fresh
  // layout of the text.
  void ExpectConsistent() {
    EXPECT_LE(Pos(), doc.GetFileSize());
    EXPECT_EQ(doc.cli, doc.GetHexLineFromPos(Pos()));
    EXPECT_EQ(doc.block.nCaret, Pos());
    EXPECT_EQ(doc.block.nCaretLine, doc.cli);
    EXPECT_EQ(doc.block.nAnchorLine, doc.GetHexLineFromPos(doc.block.nAnchor));
    EXPECT_GE(pEdit->nHScrollPos, 0);
    const std::vector<mirel_doc_test::Row> rows = mirel_doc_test::RowsOf(doc);
    ASSERT_TRUE(doc.pContents->RebuildLines());
    EXPECT_EQ(rows, mirel_doc_test::RowsOf(doc));
  }

  // WM_COMMAND notification codes the parent received.
  std::vector<int> Notifications() { return mirel_window_test::ParentNotificationCodes(); }

  HWND hEdit = nullptr;
  CMirel* pEdit = nullptr;
  int cx = 0;
  int cy = 0;
  int H = 0;
};

// Bytes from a list of values.
inline std::string B(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

}  // namespace mirel_hex_test
