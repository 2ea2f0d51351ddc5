// The repaint protocol and the geometry both views share: how requests are
// recorded and merged, the row under a point, bringing a row into view,
// vertical scrolling within its range, the vertical bar, and auto-scroll.
// Row heights come from the document's measured font, never a fixed size.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mirel/mirel.h"
#include "window_test_util.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

using namespace mirel_window_test;

namespace {

// A view made of the shared steps only: repaint requests follow the text or
// the hex rules, the page is the whole rows below the ruler.
class GeometryView : public CallView {
 public:
  GeometryView(CallLog* pLog, BOOL bHexRules) : CallView(pLog), m_bHexRules(bHexRules) {}
  int GetPageLineCount() override { return GetWholeRowsBelowRuler(); }
  void Invalidate(int nTag, DWORD nFrom, DWORD nTo) override {
    CallView::Invalidate(nTag, nFrom, nTo);
    RecordRepaint(nTag, nFrom, nTo, m_bHexRules);
  }
  void UpdateScrollBars() override { SetVerticalScrollBar(); }
  void OnVScroll(HWND, HWND, UINT nCode, short) override { ScrollVertically(nCode); }
  // Rows are painted in the row colour; the painted rows are kept.
  void OnPaint(HWND) override {
    painted.clear();
    PaintThroughBackBuffer(nullptr,
                           [this](HDC hdc, int nRow, const RECT& rcRow) {
                             painted.push_back(nRow);
                             HBRUSH hBrush = CreateSolidBrush(kRowColor);
                             RECT rc = rcRow;
                             rc.right = rc.left + 8;  // a mark at the start of the row
                             FillRect(hdc, &rc, hBrush);
                             DeleteObject(hBrush);
                           },
                           {});
  }
  static constexpr COLORREF kRowColor = RGB(255, 0, 0);
  std::vector<int> painted;

 private:
  BOOL m_bHexRules;
};

class WindowRepaint : public WindowFixture {
 protected:
  void Make(BOOL bHexRules, bool bShown = false) {
    // Invalidation is seen on shown windows only.
    if (bShown) ShowWindow(hParent, SW_SHOWNA);
    view = std::make_unique<GeometryView>(&log, bHexRules);
    edit = std::make_unique<CMirel>(&doc);
    edit->pView = view.get();
    view->pMirel = edit.get();
    view->pdoc = &doc;
    hWnd = edit->Create(hParent, 300, 0, 0, 200, 100, 0, WS_CHILD | WS_VISIBLE | WS_VSCROLL);
    ASSERT_NE(hWnd, nullptr);
    edit->pView = view.get();  // creation made the window's own view
    doc.RegisterEdit(edit.get());
    doc.NewFile();
    std::string text;
    for (int i = 0; i < 100; ++i) text += "row\r\n";
    doc.InsertA(text.c_str(), static_cast<int>(text.size()), TRUE);
    ASSERT_EQ(doc.nLineCount, 101);
    H = doc.nLineHeight;
    ASSERT_GT(H, 0);
    SizeToRows(10, 0);
  }
  // A text area of whole rows plus extra pixels.
  void SizeToRows(int nRows, int nExtra) {
    // The window's own bars may take room from its client area.
    const int nWanted = nRows * H + nExtra + doc.nRulerHeight;
    MoveWindow(hWnd, 0, 0, 200, nWanted, FALSE);
    RECT rc{};
    GetClientRect(hWnd, &rc);
    MoveWindow(hWnd, 0, 0, 200, 2 * nWanted - rc.bottom, FALSE);
    view->ResizeToClient();
    ASSERT_EQ(edit->rcEdit.bottom, nWanted);
    ValidateRect(hWnd, nullptr);
    edit->nRepaintTag = REPAINT_TAG_NONE;
    log.clear();
  }
  BOOL Pending() {
    RECT rc{};
    return GetUpdateRect(hWnd, &rc, FALSE);
  }
  // A window manager may invalidate a shown window at any time (exposure),
  // so only the stand-in can tell that nothing was invalidated.
  void ExpectNothingPending() {
    if (mirel_test::kStandIn) {
      EXPECT_FALSE(Pending());
    }
  }
  void TearDown() override {
    edit.reset();
    view.reset();
    WindowFixture::TearDown();
  }
  std::unique_ptr<GeometryView> view;
  std::unique_ptr<CMirel> edit;
  HWND hWnd = nullptr;
  int H = 0;
};

TEST_F(WindowRepaint, TextRulesRepaintEveryVisibleRowForAnyRequest) {
  Make(FALSE, true);
  edit->nTopLine = 5;
  view->RecordRepaint(REPAINT_TAG_RANGE, doc.pLines[50].nStart, doc.pLines[52].nStart, FALSE);
  EXPECT_EQ(edit->nRepaintTag, REPAINT_TAG_ALL);
  EXPECT_EQ(edit->nDirtyFirst, 5);
  EXPECT_EQ(edit->nDirtyLast, 5 + 10 + 1);
  EXPECT_TRUE(Pending());
  // A tag 1 request invalidates too in the text rules.
  ValidateRect(hWnd, nullptr);
  edit->nRepaintTag = REPAINT_TAG_NONE;
  view->RecordRepaint(REPAINT_TAG_RECORD, 0, 0, FALSE);
  EXPECT_EQ(edit->nRepaintTag, REPAINT_TAG_ALL);
  EXPECT_TRUE(Pending());
  // Near the end the page stops at the last row.
  edit->nTopLine = 95;
  view->RecordRepaint(REPAINT_TAG_ALL, 0, 0, FALSE);
  EXPECT_EQ(edit->nDirtyLast, 100);
}

TEST_F(WindowRepaint, HexRulesKeepARangeUntilASecondRequestWidensIt) {
  Make(TRUE, true);
  view->RecordRepaint(REPAINT_TAG_FROM, doc.pLines[3].nStart, 0, TRUE);
  EXPECT_EQ(edit->nRepaintTag, REPAINT_TAG_FROM);
  EXPECT_EQ(edit->nDirtyFirst, view->GetRowOfPos(doc.pLines[3].nStart));
  view->RecordRepaint(REPAINT_TAG_RANGE, 0, 4, TRUE);
  EXPECT_EQ(edit->nRepaintTag, REPAINT_TAG_ALL);
  EXPECT_EQ(edit->nDirtyFirst, 0);

  // A reversed range still covers its rows.
  edit->nRepaintTag = REPAINT_TAG_NONE;
  const DWORD nLate = doc.pLines[60].nStart;
  view->RecordRepaint(REPAINT_TAG_RANGE, nLate, 0, TRUE);
  EXPECT_EQ(edit->nRepaintTag, REPAINT_TAG_RANGE);
  EXPECT_EQ(edit->nDirtyFirst, 0);
  EXPECT_EQ(edit->nDirtyLast, view->GetRowOfPos(nLate));

  // Tag 1 records without invalidating.
  ValidateRect(hWnd, nullptr);
  edit->nRepaintTag = REPAINT_TAG_NONE;
  view->RecordRepaint(REPAINT_TAG_RECORD, 0, 0, TRUE);
  EXPECT_EQ(edit->nRepaintTag, REPAINT_TAG_RECORD);
  ExpectNothingPending();
  // The ruler alone keeps the dirty rows.
  edit->nRepaintTag = REPAINT_TAG_NONE;
  edit->nDirtyFirst = 7;
  edit->nDirtyLast = 9;
  view->RecordRepaint(REPAINT_TAG_RULER, 0, 0, TRUE);
  EXPECT_EQ(edit->nRepaintTag, REPAINT_TAG_RULER);
  EXPECT_EQ(edit->nDirtyFirst, 7);
  EXPECT_EQ(edit->nDirtyLast, 9);
  EXPECT_TRUE(Pending());
}

TEST_F(WindowRepaint, RedrawOffAndUnknownTagsLeaveThePendingRequestAlone) {
  Make(FALSE);
  edit->bRedraw = 0;
  view->RecordRepaint(REPAINT_TAG_ALL, 0, 0, FALSE);
  EXPECT_EQ(edit->nRepaintTag, REPAINT_TAG_NONE);
  ExpectNothingPending();
  edit->bRedraw = 1;
  view->RecordRepaint(9, 0, 0, FALSE);
  EXPECT_EQ(edit->nRepaintTag, REPAINT_TAG_NONE);
  ExpectNothingPending();
  // Switching redraw on refreshes everything.
  edit->SetRedraw(1);
  EXPECT_EQ(edit->nRepaintTag, REPAINT_TAG_ALL);
}

TEST_F(WindowRepaint, RowUnderAPointStaysBetweenTheTopAndTheLastRow) {
  Make(FALSE);
  doc.nRulerHeight = H;  // a ruler one row high
  SizeToRows(10, 0);
  edit->nTopLine = 20;
  EXPECT_EQ(view->RowFromY(0), 20u);
  EXPECT_EQ(view->RowFromY(H - 1), 20u);
  EXPECT_EQ(view->RowFromY(H + 2 * H + 1), 22u);
  EXPECT_EQ(view->RowFromY(1000 * H), 100u);
  EXPECT_EQ(view->RowFromY(-30000), 20u);
}

TEST_F(WindowRepaint, BringingARowIntoViewByEachMode) {
  Make(FALSE);
  UINT nTop = 12345;
  EXPECT_TRUE(view->FindTopLineToShow(9, 1, &nTop));
  EXPECT_EQ(nTop, 12345u);  // visible: not written
  // The row right below the page becomes the last visible row.
  EXPECT_FALSE(view->FindTopLineToShow(10, 1, &nTop));
  edit->nTopLine = static_cast<int>(nTop);
  EXPECT_TRUE(view->FindTopLineToShow(10, 1, nullptr));
  EXPECT_FALSE(view->FindTopLineToShow(11, 1, nullptr));
  // Mode 0: the row becomes the second one; row 0 stays the first.
  EXPECT_FALSE(view->FindTopLineToShow(50, 0, &nTop));
  EXPECT_EQ(nTop, 49u);
  EXPECT_FALSE(view->FindTopLineToShow(0, 0, &nTop));
  EXPECT_EQ(nTop, 0u);
  // Mode 2 on a 40-row page: row 3 cannot be centred, the top becomes 0.
  SizeToRows(40, H / 2);
  edit->nTopLine = 50;
  EXPECT_FALSE(view->FindTopLineToShow(3, 2, &nTop));
  EXPECT_EQ(nTop, 0u);
  EXPECT_FALSE(view->FindTopLineToShow(95, 2, &nTop));
  EXPECT_EQ(nTop, 95u - 20u);
}

TEST_F(WindowRepaint, VerticalBarCoversTheTextPlusOnePageAndScrollingStaysInside) {
  Make(FALSE);
  view->SetVerticalScrollBar();
  EXPECT_EQ(doc.nScrollHeight, (10 + 101) * H);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(hWnd, SB_VERT, &si));
  EXPECT_EQ(si.nMax, (10 + 101) * H);
  EXPECT_EQ(si.nPage, static_cast<UINT>(10 * H));
  EXPECT_EQ(si.nPos, 0);

  // At the top, up changes nothing and repaints nothing.
  log.clear();
  SendMessageA(hWnd, WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(edit->nTopLine, 0);
  EXPECT_TRUE(log.empty());
  SendMessageA(hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(edit->nTopLine, 1);
  EXPECT_EQ(GetScrollPos(hWnd, SB_VERT), H);
  EXPECT_EQ(log, (CallLog{"caret(0,0)", "invalidate(2)"}));
  // Page by page the top row goes no further than the last row.
  for (int i = 0; i < 20; ++i) SendMessageA(hWnd, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(edit->nTopLine, 101);
  SendMessageA(hWnd, WM_VSCROLL, SB_PAGEUP, 0);
  EXPECT_EQ(edit->nTopLine, 91);
  SendMessageA(hWnd, WM_VSCROLL, SB_ENDSCROLL, 0);
  EXPECT_EQ(edit->nTopLine, 91);
}

TEST_F(WindowRepaint, ThumbTrackingScrollsToWholeRows) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  Make(FALSE);
  view->SetVerticalScrollBar();
  MrwTestSetScrollTrackPos(hWnd, SB_VERT, 30 * H + H / 2);
  SendMessageA(hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
  EXPECT_EQ(edit->nTopLine, 30);
#endif
}

TEST_F(WindowRepaint, PaintDrawsTheDirtyRowsThroughAKeptBackBuffer) {
  Make(FALSE, true);
  const COLORREF crBack = RGB(0, 128, 255);
  doc.SetBackColor(crBack);
  edit->nTopLine = 0;
  edit->nRepaintTag = REPAINT_TAG_NONE;
  view->RecordRepaint(REPAINT_TAG_ALL, 0, 0, FALSE);
  SendMessageA(hWnd, WM_PAINT, 0, 0);
  // Rows that start inside the ten-row client area, no further.
  EXPECT_EQ(view->painted, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(edit->nRepaintTag, REPAINT_TAG_NONE);
  HBITMAP hBuffer = edit->hBackBitmap;
  ASSERT_NE(hBuffer, nullptr);

  // Nothing pending: the picture is copied, no row is painted again.
  SendMessageA(hWnd, WM_PAINT, 0, 0);
  EXPECT_TRUE(view->painted.empty());
  EXPECT_EQ(edit->hBackBitmap, hBuffer);

  // Near the end: the rows left, then the background below the last one.
  edit->nTopLine = 96;
  view->RecordRepaint(REPAINT_TAG_ALL, 0, 0, FALSE);
  SendMessageA(hWnd, WM_PAINT, 0, 0);
  EXPECT_EQ(view->painted, (std::vector<int>{96, 97, 98, 99, 100}));
  HDC hdc = GetDC(hWnd);
  ASSERT_NE(hdc, nullptr);
  EXPECT_EQ(GetPixel(hdc, 2, H / 2), GeometryView::kRowColor);
  EXPECT_EQ(GetPixel(hdc, 20, H / 2), crBack);
  EXPECT_EQ(GetPixel(hdc, 2, 5 * H + H / 2), crBack);  // below the last row
  ReleaseDC(hWnd, hdc);

  // A new size drops the buffer; the next paint makes one of that size.
  SizeToRows(12, 0);
  EXPECT_EQ(edit->hBackBitmap, nullptr);
}

TEST_F(WindowRepaint, AutoScrollIsFastNearTheEdgeAndSlowFarAway) {
  Make(FALSE);
  const int nBottom = edit->rcEdit.bottom;
  EXPECT_EQ(view->AutoScroll(nBottom / 2), 0u);
  EXPECT_EQ(edit->nTopLine, 0);
  EXPECT_EQ(view->AutoScroll(nBottom + 10), 100u);
  EXPECT_EQ(view->AutoScroll(nBottom + 51), 500u);
  EXPECT_EQ(edit->nTopLine, 2);
  EXPECT_EQ(view->AutoScroll(-10), 100u);
  EXPECT_EQ(view->AutoScroll(-51), 500u);
  EXPECT_EQ(edit->nTopLine, 0);
}

}  // namespace
