// The split-pane window's panes: one shared document, splitting and deleting
// rows and columns, a split that fails half-way, scrolling through the shared
// bars, and destruction leaving no trace in either window table.
#include <windows.h>

#include <climits>
#include <cstring>

#include <gtest/gtest.h>

#include "mirel/cmirelview.h"
#include "mirel/cmirelviewtext.h"
#include "splitter_fixture.h"

using namespace mirel_splitter_test;

namespace {

using SplitterPanes = SplitterFixture;

// A document with a few hundred lines and the caret somewhere in the middle.
void FillDocument(CMirelDoc* pDoc) {
  ASSERT_NE(pDoc, nullptr);
  ASSERT_NE(pDoc->NewFile(), 0);
  std::string text;
  for (int i = 0; i < 300; ++i) text += "line " + std::to_string(i) + " of the shared document\r\n";
  ASSERT_EQ(pDoc->InsertA(text.c_str(), static_cast<int>(text.size()), FALSE), 1);
}

TEST_F(SplitterPanes, SplitAndUnsplitShareTheDocumentAndKeepTheCaret) {
  CMirelSplitter& s = Make(3, 3);
  CMirelDoc* pDoc = s.GetDocument();
  FillDocument(pDoc);
  const int nCaret = pDoc->nCaretPos;
  struct Step {
    const char* name;
    int nOp;  // 0 split row, 1 split column, 2 delete row, 3 delete column
    int nArg;
    int nWantRows, nWantCols;
  };
  for (const Step& step : {Step{"split row", 0, 120, 2, 1}, Step{"split column", 1, 180, 2, 2},
                           Step{"split row again", 0, 60, 3, 2}, Step{"delete middle row", 2, 1, 2, 2},
                           Step{"delete first column", 3, 0, 2, 1}, Step{"delete last row", 2, 1, 1, 1}}) {
    SCOPED_TRACE(step.name);
    switch (step.nOp) {
      case 0:
        EXPECT_TRUE(s.SplitRow(step.nArg));
        break;
      case 1:
        EXPECT_TRUE(s.SplitColumn(step.nArg));
        break;
      case 2:
        s.DeleteRow(step.nArg);
        break;
      default:
        s.DeleteColumn(step.nArg);
        break;
    }
    ASSERT_EQ(s.m_nRows, step.nWantRows);
    ASSERT_EQ(s.m_nCols, step.nWantCols);
    EXPECT_EQ(s.GetDocument(), pDoc);
    EXPECT_EQ(pDoc->nEditCount, step.nWantRows * step.nWantCols);
    EXPECT_EQ(pDoc->nCaretPos, nCaret);
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) {
        CMirel* pEdit = s.GetPaneEdit(r, c);
        const bool bUsed = r < s.m_nRows && c < s.m_nCols;
        ASSERT_EQ(pEdit != nullptr, bUsed) << r << "," << c;
        if (!bUsed) continue;
        // Each pane shows the shared document under its own identifier, and
        // its shared bars are those of its row and column.
        EXPECT_EQ(pEdit->pdoc, pDoc);
        EXPECT_EQ(GetDlgCtrlID(pEdit->hWndEdit), static_cast<int>(CMirelSplitter::PaneID(r, c)));
        EXPECT_EQ(GetDlgCtrlID(pEdit->GetScrollBarCtrl(SB_VERT)), 0xEA10 + r);
        EXPECT_EQ(GetDlgCtrlID(pEdit->GetScrollBarCtrl(SB_HORZ)), 0xEA00 + c);
      }
    }
    // No shared bar is left for a row or column that is gone.
    EXPECT_EQ(GetDlgItem(Wnd(), 0xEA10 + s.m_nRows), nullptr);
    EXPECT_EQ(GetDlgItem(Wnd(), 0xEA00 + s.m_nCols), nullptr);
  }
}

TEST_F(SplitterPanes, ANewPaneStartsWhereThePaneItSplitFromStands) {
  CMirelSplitter& s = Make();
  FillDocument(s.GetDocument());
  CMirel* pFirst = s.GetPaneEdit(0, 0);
  pFirst->nTopLine = 40;
  ASSERT_TRUE(s.SplitRow(120));
  EXPECT_EQ(s.GetPaneEdit(1, 0)->nTopLine, 40);
  // The new row's bar shows the copied position.
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS;
  ASSERT_TRUE(GetScrollInfo(GetDlgItem(Wnd(), 0xEA11), SB_CTL, &si));
  EXPECT_EQ(si.nPos, 40 * s.GetDocument()->nLineHeight);
}

TEST_F(SplitterPanes, SplittingColumnsSwitchesWordWrapOff) {
  CMirelSplitter& s = Make();
  FillDocument(s.GetDocument());
  s.GetDocument()->SetWordWrap(MIREL_WRAP_CHAR);
  ASSERT_NE(s.GetDocument()->GetWordWrap(), MIREL_WRAP_NONE);
  ASSERT_TRUE(s.SplitRow(120));
  EXPECT_NE(s.GetDocument()->GetWordWrap(), MIREL_WRAP_NONE);
  ASSERT_TRUE(s.SplitColumn(150));
  EXPECT_EQ(s.GetDocument()->GetWordWrap(), MIREL_WRAP_NONE);
}

TEST_F(SplitterPanes, AFailedPaneCreationRollsTheSplitBack) {
  struct Case {
    const char* name;
    bool bColumn;
    UINT nBlockedID;  // a child that takes the identifier of a pane to be made
  };
  for (const Case& c : {Case{"row split, second pane blocked", false, 0xE900 + 16 + 1},
                        Case{"column split, second pane blocked", true, 0xE900 + 16 + 1},
                        Case{"row split, first pane blocked", false, 0xE900 + 16}}) {
    SCOPED_TRACE(c.name);
    CMirelSplitter& s = Make(2, 2);
    FillDocument(s.GetDocument());
    // A 1 x 2 grid for the row split, a 2 x 1 grid for the column split.
    ASSERT_TRUE(c.bColumn ? s.SplitRow(140) : s.SplitColumn(200));
    s.GetDocument()->SetWordWrap(MIREL_WRAP_CHAR);
    const int nWrap = s.GetDocument()->GetWordWrap();
    HWND hBlock = CreateWindowExA(0, mirel_window_test::kParentClass, nullptr, WS_CHILD, 0, 0, 5, 5, Wnd(),
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.nBlockedID)),
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hBlock, nullptr);
    const int nRows = s.m_nRows, nCols = s.m_nCols;
    const int nEdits = s.GetDocument()->nEditCount;
    const CMirelSplitterRowColInfo row0 = s.m_pRowInfo[0], row1 = s.m_pRowInfo[1];
    const CMirelSplitterRowColInfo col0 = s.m_pColInfo[0], col1 = s.m_pColInfo[1];
    const int nEditWindows = mirel_window_test::Registrar().GetUsed();
    EXPECT_FALSE(c.bColumn ? s.SplitColumn(150) : s.SplitRow(120));
    EXPECT_EQ(s.m_nRows, nRows);
    EXPECT_EQ(s.m_nCols, nCols);
    EXPECT_EQ(s.GetDocument()->nEditCount, nEdits);
    EXPECT_EQ(mirel_window_test::Registrar().GetUsed(), nEditWindows);
    EXPECT_EQ(s.GetDocument()->GetWordWrap(), nWrap);
    for (const auto& [got, want] : {std::pair{s.m_pRowInfo[0], row0}, std::pair{s.m_pRowInfo[1], row1},
                                    std::pair{s.m_pColInfo[0], col0}, std::pair{s.m_pColInfo[1], col1}}) {
      EXPECT_EQ(got.nIdealSize, want.nIdealSize);
      EXPECT_EQ(got.nCurSize, want.nCurSize);
    }
    // Nothing of the new row or column is left: no pane, no shared bar.
    EXPECT_EQ(GetDlgItem(Wnd(), c.bColumn ? 0xEA01 : 0xEA11), nullptr);
    EXPECT_EQ(s.GetPaneEdit(1, 1), nullptr);
    EXPECT_EQ(GetDlgItem(Wnd(), static_cast<int>(c.nBlockedID)), hBlock);
    DestroyWindow(hBlock);
  }
}

TEST_F(SplitterPanes, ASplitThatLeavesAPaneBelowItsMinimumChangesNothing) {
  CMirelSplitter& s = Make();
  RECT grid, inside;
  s.GetGridRects(&grid, &inside);
  for (int x :
       {kMin - 1, static_cast<int>(inside.right) - s.m_cxBar - kMin + 1, -10, 100000, INT_MIN, INT_MAX}) {
    EXPECT_FALSE(s.SplitColumn(x)) << x;
    EXPECT_EQ(s.m_nCols, 1);
    EXPECT_EQ(GetDlgItem(Wnd(), 0xEA01), nullptr);
  }
  // The limit: no third row in a grid of two.
  ASSERT_TRUE(s.SplitRow(120));
  EXPECT_FALSE(s.SplitRow(60));
  EXPECT_EQ(s.m_nRows, 2);
}

TEST_F(SplitterPanes, SharedBarsScrollThePaneOfTheirColumnAndRow) {
  CMirelSplitter& s = Make();
  FillDocument(s.GetDocument());
  ASSERT_TRUE(s.SplitRow(120));
  s.SetActivePane(0, 0, nullptr);
  CMirel* pTop = s.GetPaneEdit(0, 0);
  CMirel* pBottom = s.GetPaneEdit(1, 0);
  const int nTop = pTop->nTopLine, nBottom = pBottom->nTopLine;
  // Row 1's bar scrolls row 1's pane, whichever pane is active.
  HWND hBar1 = GetDlgItem(Wnd(), 0xEA11);
  SendMessageA(Wnd(), WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(hBar1));
  EXPECT_EQ(pBottom->nTopLine, nBottom + 1);
  EXPECT_EQ(pTop->nTopLine, nTop);
  // The wheel scrolls every pane.
  SendMessageA(Wnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_GT(pTop->nTopLine, nTop);
  EXPECT_GT(pBottom->nTopLine, nBottom + 1);
  // A pane's scroll report reaches the splitter and changes nothing.
  MIREL_PANESCROLL_INFO info{reinterpret_cast<LONG_PTR>(pTop), 0, 3, 0, 1};
  const int nTopNow = pTop->nTopLine;
  EXPECT_EQ(SendMessageA(Wnd(), WM_MIREL_PANESCROLLED, reinterpret_cast<WPARAM>(&info), 0), 0);
  EXPECT_EQ(pTop->nTopLine, nTopNow);
}

TEST_F(SplitterPanes, DestructionLeavesNoTraceInEitherWindowTable) {
  struct Case {
    const char* name;
    bool bDeleteObject;  // delete the object instead of destroying the window
  };
  for (const Case& c : {Case{"window destroyed", false}, Case{"object deleted", true}}) {
    SCOPED_TRACE(c.name);
    const int nSplitters = SplitterRegistrar().GetUsed();
    const int nEdits = mirel_window_test::Registrar().GetUsed();
    CMirelSplitter& s = Make();
    FillDocument(s.GetDocument());
    ASSERT_TRUE(s.SplitRow(120));
    ASSERT_TRUE(s.SplitColumn(150));
    s.SetActivePane(1, 1, nullptr);
    HWND hSplitter = Wnd();
    HWND hPanes[4] = {s.GetPaneWindow(0, 0), s.GetPaneWindow(0, 1), s.GetPaneWindow(1, 0),
                      s.GetPaneWindow(1, 1)};
    EXPECT_EQ(mirel_window_test::Registrar().GetUsed(), nEdits + 4);
    if (c.bDeleteObject) {
      splitter.reset();
    } else {
      DestroyWindow(hSplitter);
      EXPECT_EQ(s.m_hWnd, nullptr);
      EXPECT_EQ(s.GetDocument(), nullptr);
      EXPECT_EQ(s.hActivePane, nullptr);
      EXPECT_EQ(s.GetPaneEdit(0, 0), nullptr);
    }
    EXPECT_FALSE(IsWindow(hSplitter));
    EXPECT_EQ(SplitterRegistrar().GetUsed(), nSplitters);
    EXPECT_EQ(SplitterRegistrar().Lookup(hSplitter), nullptr);
    EXPECT_EQ(mirel_window_test::Registrar().GetUsed(), nEdits);
    for (HWND h : hPanes) {
      EXPECT_FALSE(IsWindow(h));
      EXPECT_EQ(mirel_window_test::Registrar().Lookup(h), nullptr);
    }
  }
}

TEST_F(SplitterPanes, RegistrarGrowsByOnePairAndKeepsOneFree) {
  CMirelSplitterRegistrar registrar;
  EXPECT_EQ(registrar.GetCapacity(), 10);
  CMirelSplitter objects[12];
  for (int i = 0; i < 12; ++i) {
    ASSERT_TRUE(registrar.Add(&objects[i], reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1000 + 2 * i))));
    EXPECT_EQ(registrar.GetCapacity(), i < 9 ? 10 : i + 2);
    objects[i].m_hWnd = nullptr;  // none of them is a real window
  }
  EXPECT_FALSE(registrar.Add(&objects[0], reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1000))));
  registrar.Forget(reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1000)));
  EXPECT_EQ(registrar.GetUsed(), 11);
  EXPECT_EQ(registrar.Lookup(reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1000))), nullptr);
  EXPECT_EQ(registrar.Lookup(reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1002))), &objects[1]);
  for (auto& o : objects) registrar.ForgetSplitter(&o);
  EXPECT_EQ(registrar.GetUsed(), 0);
}

}  // namespace
