// Fixture of the text-view paint tests: one edit window of the control class
// with a real text view over a document, helpers to paint it and to read
// pixels back from the window's back buffer, and the font's own metrics.
#pragma once

#include <windows.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmirelviewtext.h"
#include "paint_test_util.h"
#include "window_test_util.h"

namespace mirel_paint_test {

class TextViewPaint : public ::testing::Test {
 protected:
  static constexpr int kClientWidth = 300;
  static constexpr int kClientHeight = 200;
  // Colours no default uses, so a pixel tells where it came from.
  static constexpr COLORREF kBack = RGB(250, 240, 230);
  static constexpr COLORREF kSelBack = RGB(20, 60, 200);
  static constexpr COLORREF kSelFore = RGB(255, 255, 0);

  void SetUp() override {
    mirel_window_test::Registrar();
    mirel_window_test::RegisterParentClass();
    hParent = CreateWindowExA(0, mirel_window_test::kParentClass, "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                              300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hParent, nullptr);
    ownView = std::make_unique<CMirelViewText>();
    edit = std::make_unique<CMirel>(&doc);
    edit->pView = ownView.get();
    ownView->pMirel = edit.get();
    ownView->pdoc = &doc;
    hWnd = edit->Create(hParent, 100, 0, 0, kClientWidth, kClientHeight, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(hWnd, nullptr);
    doc.RegisterEdit(edit.get());
    ASSERT_NE(edit->pView, nullptr);
    ASSERT_EQ(edit->pView->nViewType, MIREL_VIEW_TYPE_TEXT);
    RECT rc{};
    GetClientRect(hWnd, &rc);
    SendMessageA(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
    cx = rc.right;
    cy = rc.bottom;
    ASSERT_GT(cx, 100);
    ASSERT_GT(cy, 100);
    doc.SetBackColor(kBack);
    doc.SetSelBackColor(kSelBack);
    doc.SetSelForeColor(kSelFore);
  }

  void TearDown() override {
    edit.reset();
    ownView.reset();
    if (IsWindow(hParent)) DestroyWindow(hParent);
  }

  CMirelViewText& View() { return *static_cast<CMirelViewText*>(edit->pView); }

  // A new empty text and the given ANSI text in it, caret at 0, nothing selected.
  void Open(const std::string& text, int nEncoding = MIREL_ENCODING_ANSI) {
    doc.nFileEncoding = static_cast<BYTE>(nEncoding);
    ASSERT_EQ(doc.NewFile(), 1);
    if (!text.empty()) {
      ASSERT_EQ(doc.InsertA(text.c_str(), static_cast<int>(text.size()), TRUE), 1);
    }
    doc.SetSel(0, 0, TRUE);
    // Inserting scrolled to the caret at the end; the tests start unscrolled.
    edit->nHScrollPos = 0;
    edit->nTopLine = 0;
    MeasureFont();
    ReadClientSize();
  }

  // Scroll bars come and go with the text (and change the client area).
  void ReadClientSize() {
    RECT rc{};
    GetClientRect(hWnd, &rc);
    cx = rc.right;
    cy = rc.bottom;
    EXPECT_EQ(edit->rcEdit.right, cx);
    EXPECT_EQ(edit->rcEdit.bottom, cy);
  }

  // The metrics of the document's font, as the system reports them.
  void MeasureFont() {
    HDC hdc = GetDC(hWnd);
    HGDIOBJ hOld = doc.hFont != nullptr ? SelectObject(hdc, doc.hFont) : nullptr;
    GetTextMetricsA(hdc, &tm);
    SIZE size{};
    GetTextExtentPoint32A(hdc, " ", 1, &size);
    nSpace = size.cx;
    if (hOld != nullptr) SelectObject(hdc, hOld);
    ReleaseDC(hWnd, hdc);
    ASSERT_GT(tm.tmHeight, 0);
    ASSERT_GT(nSpace, 0);
    ASSERT_EQ(doc.nFontHeight, tm.tmHeight);
  }

  int TextWidth(const char* psz) {
    HDC hdc = GetDC(hWnd);
    HGDIOBJ hOld = doc.hFont != nullptr ? SelectObject(hdc, doc.hFont) : nullptr;
    SIZE size{};
    GetTextExtentPoint32A(hdc, psz, static_cast<int>(std::strlen(psz)), &size);
    if (hOld != nullptr) SelectObject(hdc, hOld);
    ReleaseDC(hWnd, hdc);
    return size.cx;
  }

  // Top of a visible row.
  int RowY(int nRow) const { return doc.nRulerHeight + (nRow - edit->nTopLine) * doc.nLineHeight; }
  // Middle of a row's glyph cell.
  int MidY(int nRow) const { return RowY(nRow) + tm.tmHeight / 2; }

  // A paint with a repaint request of the tag for every row.
  void Paint(int nTag = REPAINT_TAG_ALL) {
    ReadClientSize();
    PaintEveryRow(*edit, hWnd, nTag);
  }

  // A pixel of the back buffer the last paint copied to the screen.
  COLORREF Pixel(int x, int y) { return BitmapPixel(edit->hBackBitmap, x, y); }

  CMirelDoc doc;
  std::unique_ptr<CMirelViewText> ownView;
  std::unique_ptr<CMirel> edit;
  HWND hParent = nullptr;
  HWND hWnd = nullptr;
  int cx = 0;
  int cy = 0;
  TEXTMETRICA tm{};
  int nSpace = 0;
};

}  // namespace mirel_paint_test
