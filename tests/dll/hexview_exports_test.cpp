// The hex view as a host drives it: the view switch through the export,
// keys, characters and clicks as window messages, the bytes read back
// through the exports, and the switch back to the text.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "control_host.h"
#include "mirel/cmireldoc.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

// The control's private messages as a host sends them: redo, and a key press
// with modifier bits in lParam.
constexpr UINT kRedo = WM_USER + 100;
constexpr UINT kKeyCommand = WM_USER + 200;

class HexViewExports : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(m_host.hWnd(), nullptr);
    ShowWindow(m_host.hWnd(), SW_SHOWNA);
    m_hCtrl =
        Mirel_Create(m_host.hWnd(), 14, 0, 0, 600, 300, 0, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
    ASSERT_NE(m_hCtrl, nullptr);
    SetFocus(m_hCtrl);
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    const char* text = "0123456789abcdefXYZ";
    ASSERT_EQ(Mirel_InsertA(m_hCtrl, text, static_cast<int>(std::strlen(text)), TRUE), 1);
  }
  void TearDown() override { Mirel_Destroy(m_hCtrl); }

  std::string File() {
    char buf[64] = {0};
    const int n = Mirel_GetFileBuffer(m_hCtrl, buf, 0, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
  }
  void Key(UINT vk) { SendMessageA(m_hCtrl, WM_KEYDOWN, vk, 1); }
  void Type(const char* psz) {
    for (const char* p = psz; *p != '\0'; ++p) SendMessageA(m_hCtrl, WM_CHAR, static_cast<BYTE>(*p), 1);
  }

  mirel_test::ControlHost m_host;
  HWND m_hCtrl = nullptr;
};

TEST_F(HexViewExports, TheHostSwitchesTypesAndSwitchesBack) {
  Mirel_SetSel(m_hCtrl, 4, 4, FALSE);
  Mirel_SetViewType(m_hCtrl, MIREL_VIEW_TYPE_HEX);
  EXPECT_EQ(Mirel_GetViewType(m_hCtrl), MIREL_VIEW_TYPE_HEX);
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 4);
  EXPECT_FALSE(Mirel_CanUndo(m_hCtrl));

  // Two digits make one byte before the caret's byte.
  Type("41");
  EXPECT_EQ(File(), "0123A456789abcdefXYZ");
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 5);
  // End of a full row is the start of the next; Backspace removes the byte before.
  Key(VK_END);
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 16);
  Key(VK_BACK);
  EXPECT_EQ(File(), "0123A456789abcdfXYZ");
  // The character column takes characters.
  Type("\tQ");
  EXPECT_EQ(File(), "0123A456789abcdQfXYZ");
  SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
  EXPECT_EQ(File(), "0123A456789abcdfXYZ");
  SendMessageA(m_hCtrl, kRedo, 0, 0);
  EXPECT_EQ(File(), "0123A456789abcdQfXYZ");

  // Painting and a new hex font leave the window consistent.
  UpdateWindow(m_hCtrl);
  RECT rc{};
  EXPECT_FALSE(GetUpdateRect(m_hCtrl, &rc, FALSE));
  LOGFONTA lf{};
  lf.lfHeight = -20;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  Mirel_SetFontHex(m_hCtrl, &lf);
  EXPECT_TRUE(GetUpdateRect(m_hCtrl, &rc, FALSE));
  UpdateWindow(m_hCtrl);

  Mirel_SetViewType(m_hCtrl, MIREL_VIEW_TYPE_TEXT);
  EXPECT_EQ(Mirel_GetViewType(m_hCtrl), MIREL_VIEW_TYPE_TEXT);
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 16);
  char text[32] = {0};
  ASSERT_EQ(Mirel_GetTextA(m_hCtrl, text, 0, 20), 20);
  EXPECT_STREQ(text, "0123A456789abcdQfXYZ");
}

TEST_F(HexViewExports, ClicksAndShiftKeysSelectBytes) {
  Mirel_SetViewType(m_hCtrl, MIREL_VIEW_TYPE_HEX);
  CMirelDoc* pdoc = MirelFindDoc(m_hCtrl);
  ASSERT_NE(pdoc, nullptr);
  // A click on the first byte of the second row, from the document's own layout.
  const int x = pdoc->GetHexXFromPos(1, 16, 1) + pdoc->sizeHexDigit.cx / 2;
  const int y = pdoc->nRulerHeight + pdoc->nHexLineHeight + pdoc->nHexLineHeight / 2;
  SendMessageA(m_hCtrl, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageA(m_hCtrl, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 16);
  EXPECT_EQ(Mirel_GetCurrentParagraphIndex(m_hCtrl), 1);
  // The host's key command with Shift (bit 0x04) extends the selection.
  SendMessageA(m_hCtrl, kKeyCommand, VK_LEFT, 0x04);
  SendMessageA(m_hCtrl, kKeyCommand, VK_LEFT, 0x04);
  int nStart = -1;
  int nEnd = -1;
  Mirel_GetBlock(m_hCtrl, &nStart, &nEnd);
  EXPECT_EQ(nStart, 14);
  EXPECT_EQ(nEnd, 16);
  EXPECT_TRUE(Mirel_IsSelected(m_hCtrl));
  // A digit replaces the selection by one byte.
  Type("7e");
  EXPECT_EQ(File(), "0123456789abcd~XYZ");
  EXPECT_FALSE(Mirel_IsSelected(m_hCtrl));
}

}  // namespace
