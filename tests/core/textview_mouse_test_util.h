// Helpers of the text-view mouse tests: a text view in a chosen encoding and
// wrap mode, client points of text positions derived from the font, and
// scripted button and move messages.
#pragma once

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "textview_test_util.h"

namespace mirel_textview_mouse_test {

struct MouseCase {
  BYTE nEncoding;
  BYTE nWrapMode;
};

inline std::string CaseName(const ::testing::TestParamInfo<MouseCase>& info) {
  const char* pszEnc = info.param.nEncoding == MIREL_ENCODING_ANSI   ? "Ansi"
                       : info.param.nEncoding == MIREL_ENCODING_UTF8 ? "Utf8"
                                                                     : "Utf16";
  return std::string(pszEnc) + (info.param.nWrapMode == MIREL_WRAP_NONE ? "NoWrap" : "Wrap");
}

class MouseFixture : public mirel_textview_test::TextViewFixture {
 protected:
  // A window over ASCII text (ANSI converted into the encoding). Rows are
  // short, so wrapping changes no row.
  void Open(const std::string& text, BYTE nEncoding, BYTE nWrapMode) {
    doc.nFileEncoding = nEncoding;
    doc.nWrapMode = nWrapMode;
    nUnit = nEncoding == MIREL_ENCODING_UTF16LE || nEncoding == MIREL_ENCODING_UTF16BE ? 2 : 1;
    MakeWindow(text);
    // Wide enough that no row of the short texts wraps, whatever the font.
    SizeTextArea(10, 0, 900);
    doc.RecalcContentsLayout();
    doc.EnableLineNo(TRUE);  // a left margin to click in
    ASSERT_GT(doc.nLeftMargin, 0);
    ParentMessages().clear();
  }
  // Byte position of the i-th ASCII character.
  DWORD P(int i) const { return static_cast<DWORD>(i * nUnit); }
  // The client point just before character nChar of row nRow, whose text up
  // to there is psz.
  POINT At(int nRow, const char* pszBefore) {
    return POINT{doc.nLeftMargin + TextWidth(pszBefore) - Mirel().nHScrollPos,
                 doc.nRulerHeight + (nRow - Mirel().nTopLine) * H + H / 2};
  }
  static LPARAM L(POINT pt) { return MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)); }
  void Down(POINT pt) { SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, L(pt)); }
  void DblClk(POINT pt) { SendMessageA(hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, L(pt)); }
  void Move(POINT pt) { SendMessageA(hWnd, WM_MOUSEMOVE, MK_LBUTTON, L(pt)); }
  void Up(POINT pt) { SendMessageA(hWnd, WM_LBUTTONUP, 0, L(pt)); }
  void Click(POINT pt) {
    Down(pt);
    Up(pt);
  }
  DWORD SelStart() { return doc.block.GetStartPtr(); }
  DWORD SelEnd() { return doc.block.GetEndPtr(); }
  int CountNotifications(int nCode) {
    int n = 0;
    for (const auto& m : ParentMessages())
      if (m.uMsg == WM_COMMAND && HIWORD(m.wParam) == nCode) ++n;
    return n;
  }
  static std::vector<mirel_window_test::ParentMessage>& ParentMessages() {
    return mirel_window_test::ParentMessages();
  }

  int nUnit = 1;
};

}  // namespace mirel_textview_mouse_test
