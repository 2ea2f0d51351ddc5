// The edit window object: construction and destruction, its GDI objects,
// redraw switching, the horizontal scroll-bar style under word wrap, the
// shared scroll bars of a split-pane parent and finishing a composition.
#include "mirel/cmirel.h"

#include <cstring>

#include <imm.h>

#include "mirel/cmireldoc.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"

// The concrete views are deleted through their own classes once they exist.
#if __has_include("mirel/cmirelviewhex.h")
#include "mirel/cmirelviewhex.h"
#define MIREL_HAS_HEX_VIEW 1
#endif
#if __has_include("mirel/cmirelviewtext.h")
#include "mirel/cmirelviewtext.h"
#define MIREL_HAS_TEXT_VIEW 1
#endif

namespace {

constexpr int kRulerFontHeight = 11;
constexpr BYTE kRulerPitchAndFamily = VARIABLE_PITCH | FF_MODERN;
constexpr int kClassNameCapacity = 255;

BOOL HasSplitterParent(HWND hWnd) {
  HWND hParent = GetParent(hWnd);
  if (hParent == nullptr) return FALSE;
  char szClass[kClassNameCapacity + 1] = {0};
  if (GetClassNameA(hParent, szClass, kClassNameCapacity) <= 0) return FALSE;
  return std::strcmp(szClass, MIREL_SPLITTER_CLASS_NAME) == 0;
}

}  // namespace

CMirel::CMirel(CMirelDoc* pDocument)
    : bTracking(0),
      bParentContextMenu(0),
      bCaretVisible(1),
      bRedraw(1),
      bInSplitter(0),
      nRepaintTag(REPAINT_TAG_NONE),
      pViewHex(nullptr),
      pViewText(nullptr),
      nGoalCaretX(0),
      nClickCount(0),
      nHScrollPos(0),
      hBackBitmap(nullptr),
      hFolderBrush(nullptr),
      hIndicatorBrush(nullptr),
      hGrayBrush(nullptr),
      hRulerFont(nullptr),
      nTopLine(0),
      nDirtyFirst(0),
      nDirtyLast(0),
      uBinaryFormat(0),
      pdoc(pDocument),
      pView(nullptr),
      hWndEdit(nullptr),
      rcEdit{0, 0, 0, 0} {
  CreateGdiObjects();
  uBinaryFormat = RegisterClipboardFormatA(MIREL_BINARY_CLIPBOARD_FORMAT);
}

CMirel::~CMirel() {
  // A document must never keep a pointer to a deleted edit window.
  if (pdoc != nullptr) pdoc->UnregisterEdit(this);
  DeleteGdiObjects();
  // The window gets WM_DESTROY while this object still exists.
  if (hWndEdit != nullptr && IsWindow(hWndEdit)) DestroyWindow(hWndEdit);
  hWndEdit = nullptr;
  if (hBackBitmap != nullptr) {
    DeleteObject(hBackBitmap);
    hBackBitmap = nullptr;
  }
  pView = nullptr;
#ifdef MIREL_HAS_HEX_VIEW
  delete pViewHex;
#endif
#ifdef MIREL_HAS_TEXT_VIEW
  delete pViewText;
#endif
  pViewHex = nullptr;
  pViewText = nullptr;
}

int CMirel::CreateGdiObjects() {
  hIndicatorBrush = GetSysColorBrush(COLOR_BTNFACE);
  if (pdoc != nullptr) pdoc->crMarginLine = GetSysColor(COLOR_BTNHIGHLIGHT);
  if (hGrayBrush == nullptr) hGrayBrush = CreateSolidBrush(MIREL_GRAY_MARGIN_COLOR);
  if (hFolderBrush == nullptr) hFolderBrush = CreateSolidBrush(MIREL_FOLDER_MARGIN_COLOR);
  if (hRulerFont == nullptr) {
    hRulerFont = CreateFontA(kRulerFontHeight, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY, kRulerPitchAndFamily,
                             "MS Sans Serif");
  }
  return 1;
}

void CMirel::DeleteGdiObjects() {
  if (hGrayBrush != nullptr) DeleteObject(hGrayBrush);
  if (hFolderBrush != nullptr) DeleteObject(hFolderBrush);
  if (hRulerFont != nullptr) DeleteObject(hRulerFont);
  hGrayBrush = nullptr;
  hFolderBrush = nullptr;
  hRulerFont = nullptr;
}

void CMirel::SetRedraw(int bOn) {
  bRedraw = bOn;
  if (bOn != 1 || pView == nullptr) return;
  pView->UpdateScrollBars();
  pView->UpdateCaret(1, 1);
  pView->Invalidate(REPAINT_TAG_ALL, 0, 0);
}

void CMirel::UpdateScrollStyle(int nWrapMode) {
  if (nWrapMode != MIREL_WRAP_NONE) nHScrollPos = 0;
  if (hWndEdit == nullptr || !IsWindow(hWndEdit)) return;
  const LONG lStyle = GetWindowLongA(hWndEdit, GWL_STYLE);
  // Inside a split-pane parent the horizontal bar is the parent's and stays
  // where it is; only a window's own bar comes and goes with word wrap.
  if (GetScrollBarCtrl(SB_HORZ) != nullptr) return;
  const LONG lNewStyle = nWrapMode != MIREL_WRAP_NONE ? (lStyle & ~static_cast<LONG>(WS_HSCROLL))
                                                      : (lStyle | static_cast<LONG>(WS_HSCROLL));
  if (lNewStyle == lStyle) return;
  SetWindowLongA(hWndEdit, GWL_STYLE, lNewStyle);
  SetWindowPos(hWndEdit, HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
}

HWND CMirel::GetScrollBarCtrl(int nBar) {
  MIREL_ASSERT(nBar == SB_HORZ || nBar == SB_VERT);
  if (nBar != SB_HORZ && nBar != SB_VERT) return nullptr;
  if (hWndEdit == nullptr) return nullptr;
  const LONG lStyle = GetWindowLongA(hWndEdit, GWL_STYLE);
  const LONG lOwnBar = nBar == SB_HORZ ? static_cast<LONG>(WS_HSCROLL) : static_cast<LONG>(WS_VSCROLL);
  if (lStyle & lOwnBar) return nullptr;
  if (!HasSplitterParent(hWndEdit)) return nullptr;
  const UINT nID = static_cast<UINT>(GetWindowLongA(hWndEdit, GWL_ID)) & 0xFFFF;
  if (nID < MIREL_PANE_ID_FIRST || nID > MIREL_PANE_ID_LAST) return nullptr;
  const UINT nRow = (nID - MIREL_PANE_ID_FIRST) / 16;
  const UINT nColumn = (nID - MIREL_PANE_ID_FIRST) % 16;
  const int nBarID =
      static_cast<int>(nBar == SB_HORZ ? MIREL_SHARED_HBAR_ID + nColumn : MIREL_SHARED_VBAR_ID + nRow);
  return GetDlgItem(GetParent(hWndEdit), nBarID);
}

void CMirel::CompleteComposition() {
  if (hWndEdit == nullptr) return;
  HIMC hIMC = ImmGetContext(hWndEdit);
  if (hIMC == nullptr) return;
  ImmNotifyIME(hIMC, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
  ImmReleaseContext(hWndEdit, hIMC);
}
