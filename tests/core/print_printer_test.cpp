// A whole print job on a printer DC of the stand-in: the margins and the font
// come from the printer's resolution, every page is printed between
// StartPage and EndPage, and each kept page shows exactly the rows the
// pagination gave it, numbered where a paragraph starts.
#include <windows.h>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <string>
#include <vector>

#include "doc_test_util.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmrprintinfo.h"
#include "platform_hooks.h"

namespace {

TEST(PrintJob, EveryKeptPageShowsThePaginatedRowsWithTheirNumbers) {
  MrwTestAddPrinter("Mirel Test Printer", 150, 1275, 1650);
  HDC hdc = CreateDCA("WINSPOOL", "Mirel Test Printer", nullptr, nullptr);
  ASSERT_NE(hdc, nullptr);
  EXPECT_EQ(GetObjectType(hdc), static_cast<DWORD>(OBJ_DC));
  EXPECT_EQ(GetDeviceCaps(hdc, TECHNOLOGY), DT_RASPRINTER);
  const int nDpi = GetDeviceCaps(hdc, LOGPIXELSY);
  ASSERT_EQ(nDpi, 150);
  HFONT hFont =
      CreateFontA(-MulDiv(12, nDpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, "Courier New");
  HGDIOBJ hOld = SelectObject(hdc, hFont);

  CMirelDoc doc;
  mirel_doc_test::OpenEmpty(doc, MIREL_ENCODING_ANSI);
  std::string text;
  for (int i = 0; i < 150; ++i)
    text += "line " + std::to_string(i) + (i % 7 == 0 ? std::string(150, 'w') : "") + "\r\n";
  ASSERT_TRUE(doc.InsertContents(0, mirel_doc_test::Bytes(text), mirel_doc_test::Len(text), FALSE));

  CMrPrintInfo* s = doc.GetOrCreatePrintInfo();
  s->hDC = hdc;
  s->bLineNo = TRUE;
  s->nWrapMode = MIREL_WRAP_CHAR;
  const int nMargin = nDpi / 2;
  SetRect(&s->rcPrint, nMargin, nMargin, GetDeviceCaps(hdc, HORZRES) - nMargin,
          GetDeviceCaps(hdc, VERTRES) - nMargin);
  doc.PreparePrint(s);
  ASSERT_GT(s->nPageCount, 2);

  DOCINFOA di{};
  di.cbSize = sizeof di;
  di.lpszDocName = "rows";
  ASSERT_GT(StartDocA(hdc, &di), 0);
  for (int nPage = 0; nPage < s->nPageCount; ++nPage) {
    ASSERT_GT(StartPage(hdc), 0);
    EXPECT_EQ(doc.PrintPage(s, nPage), 1);
    ASSERT_GT(EndPage(hdc), 0);
  }
  ASSERT_GT(EndDoc(hdc), 0);

  const std::vector<MrwPrintedPage> pages = MrwTestPrintedPages(hdc);
  ASSERT_EQ(static_cast<int>(pages.size()), s->nPageCount);
  for (int nPage = 0; nPage < s->nPageCount; ++nPage) {
    SCOPED_TRACE(nPage);
    const MIREL_PRINT_PAGE range = s->pPages[nPage];
    std::vector<std::string> want;
    for (int r = range.nFirst; r <= range.nLast; ++r) {
      const MIREL_LINE& row = s->pLines[r];
      const int y = s->rcPrint.top + (r - range.nFirst) * s->nLineHeight;
      if (row.nSubLine == 0) want.push_back(std::to_string(row.nPara + 1) + "@" + std::to_string(y));
      if (row.nLen > 0) want.push_back(text.substr(row.nStart, row.nLen) + "@" + std::to_string(y));
    }
    std::vector<std::string> got;
    for (const MrwDrawOp& op : pages[nPage].log) {
      if (op.kind == MrwDrawKind::kTextOut)
        got.push_back(std::string(op.text.begin(), op.text.end()) + "@" + std::to_string(op.y));
    }
    EXPECT_EQ(got, want);
    // Ink inside the printable area only.
    const MrwPrintedPage& page = pages[nPage];
    int nInk = 0;
    for (int y = 0; y < page.height; ++y) {
      for (int x = 0; x < page.width; ++x) {
        if (page.pixels[static_cast<size_t>(y) * page.width + x] == RGB(255, 255, 255)) continue;
        ++nInk;
        ASSERT_TRUE(x >= s->rcPrint.left && x < s->rcPrint.right && y >= s->rcPrint.top &&
                    y < s->rcPrint.bottom)
            << x << "," << y;
      }
    }
    EXPECT_GT(nInk, 0);
  }
  SelectObject(hdc, hOld);
  DeleteObject(hFont);
  EXPECT_TRUE(DeleteDC(hdc));
}

}  // namespace

#endif  // !_WIN32
