// Fixture of the printing tests: a document, a memory DC at a printer-like
// size with a fixed-pitch font, a print state set up as the export does, and
// helpers that read the print rows and pages back. Widths come from the DC.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmrprintinfo.h"

namespace mirel_print_test {

struct Page {
  LONG nFirst, nLast;
  bool operator==(const Page& o) const { return nFirst == o.nFirst && nLast == o.nLast; }
};
inline std::ostream& operator<<(std::ostream& os, const Page& p) {
  return os << "[" << p.nFirst << ", " << p.nLast << "]";
}

class PrintTest : public ::testing::Test {
 protected:
  static constexpr int kPageWidth = 1200;
  static constexpr int kPageHeight = 1600;

  void SetUp() override {
    hdc = CreateCompatibleDC(nullptr);
    ASSERT_NE(hdc, nullptr);
    hBitmap = CreateCompatibleBitmap(hdc, kPageWidth, kPageHeight);
    ASSERT_NE(hBitmap, nullptr);
    hOldBitmap = SelectObject(hdc, hBitmap);
    hFont = CreateFontA(-20, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    ASSERT_NE(hFont, nullptr);
    hOldFont = SelectObject(hdc, hFont);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(hdc, &tm));
    nRowHeight = tm.tmHeight * 120 / 100;
    nCharWidth = ExtentA("a");
    ASSERT_GT(nCharWidth, 0);
    ASSERT_GT(nRowHeight, 0);
  }
  void TearDown() override {
    SelectObject(hdc, hOldFont);
    SelectObject(hdc, hOldBitmap);
    DeleteObject(hFont);
    DeleteObject(hBitmap);
    DeleteDC(hdc);
  }

  int ExtentA(const std::string& s) const {
    SIZE size{};
    GetTextExtentPoint32A(hdc, s.data(), static_cast<int>(s.size()), &size);
    return size.cx;
  }
  int ExtentW(const std::u16string& s) const {
    SIZE size{};
    GetTextExtentPoint32W(hdc, reinterpret_cast<const WCHAR*>(s.data()), static_cast<int>(s.size()), &size);
    return size.cx;
  }

  void Open(int nEncoding, const std::string& bytes, int nCodePage = 0) {
    mirel_doc_test::OpenEmpty(doc, nEncoding);
    if (nCodePage != 0) {
      ASSERT_EQ(doc.SetCodePage(nCodePage), 1);
    }
    if (!bytes.empty()) {
      ASSERT_TRUE(doc.InsertContents(0, mirel_doc_test::Bytes(bytes), mirel_doc_test::Len(bytes), FALSE));
    }
  }

  // The printable rectangle for a text width of nTextRoom pixels beyond what
  // a row may fill (the finder keeps 3 pixels) and nRows rows per page.
  void Prepare(int nWrap, int nTextRoom, int nRows, BOOL bLineNo = FALSE, BOOL bColor = FALSE) {
    CMrPrintInfo* s = doc.GetOrCreatePrintInfo();
    ASSERT_NE(s, nullptr);
    s->hDC = hdc;
    s->bColor = bColor;
    s->bLineNo = bLineNo;
    s->nWrapMode = nWrap;
    const int nNumbers = bLineNo ? ExtentA("99999") : 0;
    SetRect(&s->rcPrint, kLeft, kTop, kLeft + nNumbers + nTextRoom + 3, kTop + nRows * nRowHeight);
    doc.PreparePrint(s);
  }
  CMrPrintInfo& Info() { return *doc.GetPrintInfo(); }

  std::vector<mirel_doc_test::Row> Rows() {
    std::vector<mirel_doc_test::Row> rows;
    CMrPrintInfo& s = Info();
    if (s.pLines == nullptr || s.nPageCount == 0) return rows;
    for (int i = 0; i <= s.nLastLine; ++i) {
      const MIREL_LINE& l = s.pLines[i];
      rows.push_back({l.nStart, l.nPara, l.nSubLine, l.nLen, l.nKind});
    }
    return rows;
  }
  std::vector<Page> Pages() {
    std::vector<Page> pages;
    CMrPrintInfo& s = Info();
    for (int i = 0; i < s.nPageCount; ++i) pages.push_back({s.pPages[i].nFirst, s.pPages[i].nLast});
    return pages;
  }
  // The rows as their text bytes.
  std::vector<std::string> RowTexts() {
    std::vector<std::string> out;
    const std::string text = mirel_doc_test::TextOf(doc);
    for (const mirel_doc_test::Row& r : Rows()) out.push_back(text.substr(r.nStart, r.nLen));
    return out;
  }

  static constexpr int kLeft = 40;
  static constexpr int kTop = 30;
  CMirelDoc doc;
  HDC hdc = nullptr;
  HBITMAP hBitmap = nullptr;
  HGDIOBJ hOldBitmap = nullptr;
  HFONT hFont = nullptr;
  HGDIOBJ hOldFont = nullptr;
  int nRowHeight = 0;
  int nCharWidth = 0;
};

}  // namespace mirel_print_test
