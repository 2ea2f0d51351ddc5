// Characters an input method delivers as WM_IME_CHAR, through the library:
// typed at the caret in the control's code page, undone by WM_UNDO, refused
// by a read-only text.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control_host.h"
#include "mirelctrl/mirelctrl.h"

namespace {

constexpr int kEnd = 1000;  // past the text: its end

class ImeCharExports : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(m_host.hWnd(), nullptr);
    m_hCtrl = Mirel_Create(m_host.hWnd(), 14, 0, 0, 300, 200, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(m_hCtrl, nullptr);
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    ASSERT_EQ(Mirel_InsertA(m_hCtrl, "ab", 2, FALSE), 1);
    Mirel_SetSel(m_hCtrl, 1, 1, FALSE);
    m_nCodePage = static_cast<UINT>(Mirel_GetCodePage(m_hCtrl));
    if (m_nCodePage == 0) m_nCodePage = GetACP();
  }
  void TearDown() override { Mirel_Destroy(m_hCtrl); }

  std::wstring Text() {
    const int n = Mirel_GetTextW(m_hCtrl, nullptr, 0, kEnd);
    if (n <= 0) return std::wstring();
    std::vector<WCHAR> buf(static_cast<size_t>(n) + 1, 0);
    Mirel_GetTextW(m_hCtrl, buf.data(), 0, kEnd);
    std::wstring out;
    for (int i = 0; i < n && buf[static_cast<size_t>(i)] != 0; ++i)
      out.push_back(buf[static_cast<size_t>(i)]);
    return out;
  }

  // A character of the code page beyond ASCII: a double-byte one where the
  // code page has them. wParam carries a lead byte in bits 8-15.
  WPARAM WideChar(std::wstring* pExpected) {
    const BYTE lead = 0xB0;
    char bytes[2] = {static_cast<char>(lead), static_cast<char>(0xA1)};
    const bool bDouble = IsDBCSLeadByteEx(m_nCodePage, lead) != FALSE;
    WCHAR units[2] = {0, 0};
    const int n = MultiByteToWideChar(m_nCodePage, 0, bDouble ? bytes : bytes + 1, bDouble ? 2 : 1, units, 2);
    pExpected->assign(units, units + (n > 0 ? n : 0));
    return bDouble ? static_cast<WPARAM>((lead << 8) | 0xA1) : static_cast<WPARAM>(0xA1);
  }

  mirel_test::ControlHost m_host;
  HWND m_hCtrl = nullptr;
  UINT m_nCodePage = 0;
};

TEST_F(ImeCharExports, CharactersAreTypedAtTheCaretAndUndone) {
  std::wstring wide;
  const WPARAM ch = WideChar(&wide);
  ASSERT_FALSE(wide.empty());
  SendMessageA(m_hCtrl, WM_IME_CHAR, 'x', 1);
  SendMessageA(m_hCtrl, WM_IME_CHAR, ch, 1);
  EXPECT_EQ(Text(), L"ax" + wide + L"b");
  // After "ax" and the character's one or two bytes.
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 2 + ((ch >> 8) != 0 ? 2 : 1));
  EXPECT_TRUE(Mirel_CanUndo(m_hCtrl));
  SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
  EXPECT_EQ(Text(), L"ab");
}

TEST_F(ImeCharExports, ReadOnlyTextAndControlCharactersChangeNothing) {
  SendMessageA(m_hCtrl, WM_IME_CHAR, 0x07, 1);
  EXPECT_EQ(Text(), L"ab");
  Mirel_SetReadOnly(m_hCtrl, TRUE);
  SendMessageA(m_hCtrl, WM_IME_CHAR, 'x', 1);
  EXPECT_EQ(Text(), L"ab");
  EXPECT_FALSE(Mirel_CanUndo(m_hCtrl));
}

}  // namespace
