// The print state of a document: the printer's device context, the page
// geometry the host asked for, and the print rows and pages cut from the
// text (ccontentshandler_print.cpp). One per document, made on the first
// preparation and kept until the document goes; EndPrint releases the
// tables and the syntax object printing made for itself.
#pragma once

#include <windows.h>

#include <vector>

struct MIREL_LINE;
class CMrSyntax;

// One page: its first and last print row.
struct MIREL_PRINT_PAGE {
  LONG nFirst;
  LONG nLast;
};

// Records the row and page tables start with and grow by.
constexpr int MIREL_PRINT_PAGE_STEP = 32;
constexpr int MIREL_PRINT_ROW_STEP = 128;

// Width of the line-number column: the extent of this text.
constexpr char MIREL_PRINT_LINE_NO_SAMPLE[] = "99999";
constexpr int MIREL_PRINT_LINE_NO_DIGITS = 5;
constexpr COLORREF MIREL_PRINT_LINE_NO_COLOR = 0x808080;

class CMrPrintInfo {
 public:
  CMrPrintInfo();
  virtual ~CMrPrintInfo();
  CMrPrintInfo(const CMrPrintInfo&) = delete;
  CMrPrintInfo& operator=(const CMrPrintInfo&) = delete;

  // Frees the row and page tables and the syntax object printing owns;
  // the page count drops to 0.
  void ReleaseTables();
  // The syntax object to print with: the document's own is looked up again
  // on every use, so a definition the host installed since the preparation
  // is never read through a stale pointer.
  CMrSyntax* CurrentSyntax(CMrSyntax* pDocSyntax);

  BOOL bOwnsSyntax;
  MIREL_LINE* pLines;
  MIREL_PRINT_PAGE* pPages;
  CMrSyntax* pSyntax;
  HDC hDC;
  BOOL bColor;
  BOOL bLineNo;
  int nWrapMode;
  int nReserved;
  int nLineHeight;
  int nLinesPerPage;
  int nTabWidth;
  int nPageCount;
  int nTextLeft;
  int nLastLine;
  RECT rcPrint;

  // Capacities of the two tables, in records.
  int nLineAlloc = 0;
  int nPageAlloc = 0;
  // Widths measured on hDC during one pagination (-1: not yet): single
  // bytes, then 16-bit codes (double-byte ANSI pairs or UTF-16 units).
  std::vector<int> widthCache;
};
