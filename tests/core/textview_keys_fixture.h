// A control window of the control class with a text view over a document
// holding a text, and the key presses the keyboard tests send to it: plain
// keys as WM_KEYDOWN, modified keys as the host's key command (which carries
// its own modifier bits, so no keyboard state is needed), characters as
// WM_CHAR.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirelviewtext.h"
#include "window_test_util.h"

namespace mirel_keys_test {

// Modifier bits of the key command.
constexpr UINT kShift = 0x04;
constexpr UINT kCtrl = 0x08;
constexpr UINT kAlt = 0x10;

class KeysTest : public mirel_window_test::WindowFixture {
 protected:
  // A window over a document in the encoding (ANSI in code page 949) with
  // the text, the caret at 0.
  void Open(int nEncoding, const std::string& bytes, int nWrapMode = MIREL_WRAP_NONE) {
    doc.nFileEncoding = static_cast<BYTE>(nEncoding);
    doc.nCodePage = 949;
    doc.nWrapMode = static_cast<BYTE>(nWrapMode);
    // A second Open in a test keeps the window and only replaces the text.
    if (hEdit == nullptr) {
      Edit& e = NewEdit(false);
      m_view = std::make_unique<CMirelViewText>();
      e.edit.pView = m_view.get();
      m_view->pMirel = &e.edit;
      m_view->pdoc = &doc;
      hEdit = CreateEditWindow(e, 100, WS_CHILD | WS_VISIBLE | WS_VSCROLL, 300, 200);
      ASSERT_NE(hEdit, nullptr);
      pEdit = &e.edit;
    }
    doc.SetReadOnly(FALSE);
    doc.SetOverwriteMode(FALSE);
    ASSERT_EQ(doc.NewFile(), 1);
    if (!bytes.empty()) {
      ASSERT_TRUE(doc.InsertContents(0, reinterpret_cast<const BYTE*>(bytes.data()),
                                     static_cast<DWORD>(bytes.size()), FALSE));
    }
    SendMessageA(hEdit, WM_SIZE, 0, MAKELPARAM(300, 200));
    Caret(0);
    // Tests look only at what their own keys change and notify.
    doc.SetModified(FALSE);
    mirel_window_test::ParentMessages().clear();
  }

  // Word wrap at a width of about nChars characters of 'a'.
  void WrapAt(int nChars) {
    const BYTE a = 'a';
    doc.nTextWidth = doc.nLeftMargin + 3 + nChars * doc.GetCharWidth(&a, 1) + 1;
    ASSERT_TRUE(doc.ReloadContents());
  }

  void Caret(DWORD nPos) {
    doc.nCaretPos = static_cast<int>(nPos);
    doc.cli = doc.GetLineFromPos(nPos);
    doc.nVirtualSpace = 0;
    doc.block.Reset(nPos, doc.cli, FALSE);
  }

  void Key(UINT vk) { SendMessageA(hEdit, WM_KEYDOWN, vk, 1); }
  void Key(UINT vk, UINT nModifiers) { SendMessageA(hEdit, WM_MIREL_KEYCOMMAND, vk, nModifiers); }
  void Type(const std::string& s) {
    for (char c : s) SendMessageA(hEdit, WM_CHAR, static_cast<unsigned char>(c), 1);
  }

  std::string Text() {
    if (doc.pContents == nullptr) return std::string();
    const BYTE* p = doc.pContents->GetText(0);
    return std::string(reinterpret_cast<const char*>(p), doc.pContents->GetTextLength());
  }
  DWORD Pos() const { return static_cast<DWORD>(doc.nCaretPos); }
  DWORD SelStart() const { return doc.block.GetStartPtr(); }
  DWORD SelEnd() const { return doc.block.GetEndPtr(); }

  // After every command the caret row holds the caret, and the caret is on
  // the block's caret end.
  void ExpectConsistent() {
    ASSERT_GE(doc.cli, 0);
    ASSERT_LT(doc.cli, doc.nLineCount);
    const MIREL_LINE& row = doc.pLines[doc.cli];
    EXPECT_LE(row.nStart, Pos());
    EXPECT_LE(Pos(), row.nStart + row.nLen);
    EXPECT_EQ(doc.block.nCaret, Pos());
  }

  // WM_COMMAND notification codes the parent received.
  std::vector<int> Notifications() { return mirel_window_test::ParentNotificationCodes(); }

  HWND hEdit = nullptr;
  CMirel* pEdit = nullptr;

 private:
  std::unique_ptr<CMirelViewText> m_view;
};

// Text in UTF-16 little-endian bytes.
inline std::string W(const std::string& ascii) {
  std::string out;
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

}  // namespace mirel_keys_test
