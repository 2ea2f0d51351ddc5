// Helpers of the text-view tests: an edit window made the way the library
// makes one (window, registration, text, then WM_SIZE), so the window builds
// its own text view, with pixel sizes taken from the font's metrics.
#pragma once

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "mirel/cmirelviewtext.h"
#include "mirel/mirel.h"
#include "window_test_util.h"

namespace mirel_textview_test {

using mirel_window_test::WindowFixture;

class TextViewFixture : public WindowFixture {
 protected:
  // A shown parent with one edit window of the control class holding text.
  void MakeWindow(const std::string& text, DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL) {
    ShowWindow(hParent, SW_SHOWNA);
    pEdit = &NewEdit(false);
    hWnd = CreateEditWindow(*pEdit, 100, dwStyle, 200, 100);
    ASSERT_NE(hWnd, nullptr);
    doc.NewFile();
    if (!text.empty()) {
      ASSERT_EQ(doc.InsertA(text.c_str(), static_cast<int>(text.size()), TRUE), 1);
    }
    pView = pEdit->edit.pViewText;
    ASSERT_NE(pView, nullptr);
    ASSERT_EQ(pEdit->edit.pView, pView);
    ReadMetrics();
    SizeTextArea(10, 0, 200);
  }

  // The font's cell height, measured on the window like the document does.
  void ReadMetrics() {
    HDC hdc = GetDC(hWnd);
    ASSERT_NE(hdc, nullptr);
    HGDIOBJ hOld = doc.hFont != nullptr ? SelectObject(hdc, doc.hFont) : nullptr;
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(hdc, &tm));
    nFontHeight = tm.tmHeight;
    if (hOld != nullptr) SelectObject(hdc, hOld);
    ReleaseDC(hWnd, hdc);
    ASSERT_GT(nFontHeight, 0);
    ASSERT_EQ(doc.nFontHeight, nFontHeight);
    H = doc.nLineHeight;
    ASSERT_GE(H, nFontHeight);
  }

  // Width in pixels of ANSI text in the document's font.
  int TextWidth(const char* psz) {
    HDC hdc = GetDC(hWnd);
    HGDIOBJ hOld = doc.hFont != nullptr ? SelectObject(hdc, doc.hFont) : nullptr;
    int nSum = 0;
    for (const char* p = psz; *p != '\0'; ++p) {
      INT w = 0;
      const UINT ch = static_cast<unsigned char>(*p);
      EXPECT_TRUE(GetCharWidth32A(hdc, ch, ch, &w));
      nSum += w;
    }
    if (hOld != nullptr) SelectObject(hdc, hOld);
    ReleaseDC(hWnd, hdc);
    return nSum;
  }

  // Sizes the window so that its text area is nRows rows plus nExtra pixels
  // high and its client area nWidth wide, then tells it with WM_SIZE.
  void SizeTextArea(int nRows, int nExtra, int nWidth) {
    const int nWantedHeight = nRows * H + nExtra + doc.nRulerHeight;
    MoveWindow(hWnd, 0, 0, nWidth, nWantedHeight, FALSE);
    RECT rc{};
    GetClientRect(hWnd, &rc);
    MoveWindow(hWnd, 0, 0, 2 * nWidth - rc.right, 2 * nWantedHeight - rc.bottom, FALSE);
    GetClientRect(hWnd, &rc);
    ASSERT_EQ(rc.bottom, nWantedHeight);
    ASSERT_EQ(rc.right, nWidth);
    SendMessageA(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
    ASSERT_EQ(pEdit->edit.rcEdit.bottom, nWantedHeight);
  }

  // Puts the caret at a position of the text (its row found by the
  // document), as a command would leave it.
  void PutCaret(DWORD nPos) {
    doc.nCaretPos = static_cast<int>(nPos);
    doc.cli = doc.GetLineFromPos(nPos);
  }

  // "line 0\r\nline 1\r\n..." with n rows of text and the empty last row.
  static std::string Rows(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "line " + std::to_string(i) + "\r\n";
    return text;
  }

  CMirel& Mirel() { return pEdit->edit; }

  WindowFixture::Edit* pEdit = nullptr;
  CMirelViewText* pView = nullptr;
  HWND hWnd = nullptr;
  int nFontHeight = 0;
  int H = 0;
};

}  // namespace mirel_textview_test
