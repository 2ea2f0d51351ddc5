// The edit window object: construction and destruction, its window and
// views, its GDI objects, focus, redraw switching, the horizontal scroll-bar
// style under word wrap, the shared scroll bars of a split-pane parent and
// finishing a composition.
#include "mirel/cmirel.h"

#include <cstring>
#include <new>

#include <imm.h>

#include "mirel/cmireldoc.h"
#include "mirel/cmirelregistrar.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"
#include "mirel/mrcreatingobject.h"

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
      uBinarySourceFormat(0),
      pdoc(pDocument),
      pView(nullptr),
      hWndEdit(nullptr),
      rcEdit{0, 0, 0, 0} {
  CreateGdiObjects();
  uBinaryFormat = RegisterClipboardFormatA(MIREL_BINARY_CLIPBOARD_FORMAT);
  uBinarySourceFormat = RegisterClipboardFormatA(MIREL_BINARY_SOURCE_CLIPBOARD_FORMAT);
}

CMirel::~CMirel() {
  // A document must never keep a pointer to a deleted edit window.
  if (pdoc != nullptr) pdoc->UnregisterEdit(this);
  DeleteGdiObjects();
  // The window gets WM_DESTROY while this object still exists. A window that
  // is already gone cleared hWndEdit on its last message, so no handle is
  // destroyed twice.
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
  // Whatever happened to the window, its handle must not lead here any more.
  if (CMirelRegistrar* pRegistrar = CMirelRegistrar::GetActive()) pRegistrar->ForgetEdit(this);
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
  const BOOL bWrap = nWrapMode != MIREL_WRAP_NONE;
  if (bWrap) nHScrollPos = 0;
  // An empty client rectangle (a window not sized yet, or minimised) is a
  // normal state here: the style is kept in step all the same.
  if (hWndEdit == nullptr || !IsWindow(hWndEdit)) return;
  // Inside a split-pane parent the horizontal bar is the parent's: it is
  // disabled while wrapping instead of taken away.
  if (HWND hBar = GetScrollBarCtrl(SB_HORZ)) {
    EnableScrollBar(hBar, SB_CTL, bWrap ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
    return;
  }
  const LONG lStyle = GetWindowLongA(hWndEdit, GWL_STYLE);
  const LONG lNewStyle =
      bWrap ? (lStyle & ~static_cast<LONG>(WS_HSCROLL)) : (lStyle | static_cast<LONG>(WS_HSCROLL));
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

// ---------------------------------------------------------------------------
// Window and views

HWND CMirel::Create(HWND hWndParent, UINT nID, int x, int y, int cx, int cy, DWORD dwExStyle, DWORD dwStyle) {
  // The registrar binds the new window to this object on WM_NCCREATE.
  MrCreatingObject<CMirel> creating(this, MIREL_CONTROL_CLASS_NAME, MirelControlWndProc);
  return CreateWindowExA(dwExStyle, MIREL_CONTROL_CLASS_NAME, nullptr, dwStyle, x, y, cx, cy, hWndParent,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), GetModuleHandleA(nullptr),
                         this);
}

int CMirel::OnCreate(HWND hWnd) {
  hWndEdit = hWnd;
  bInSplitter = HasSplitterParent(hWnd) ? 1 : 0;
  MIREL_ASSERT(pdoc);
  if (pdoc != nullptr) CreateView(pdoc->nViewType);
  return 0;
}

CMirelView* CMirel::CreateView(int nType) {
  if (nType != MIREL_VIEW_TYPE_TEXT && nType != MIREL_VIEW_TYPE_HEX) return pView;
  CMirelView* pTarget = FindOrMakeView(nType);
  // Without a view of the type the window shows only its background and
  // leaves every message that needs a view alone.
  if (pTarget == nullptr) return nullptr;
  pView = pTarget;
  pView->pMirel = this;
  pView->pdoc = pdoc;
  return pView;
}

CMirelView* CMirel::FindOrMakeView(int nType) {
  // This edit window makes each view once and keeps it.
  if (nType == MIREL_VIEW_TYPE_HEX) {
#ifdef MIREL_HAS_HEX_VIEW
    if (pViewHex == nullptr) pViewHex = new (std::nothrow) CMirelViewHex();
    return pViewHex;
#else
    return nullptr;
#endif
  }
  if (nType != MIREL_VIEW_TYPE_TEXT) return nullptr;
#ifdef MIREL_HAS_TEXT_VIEW
  if (pViewText == nullptr) pViewText = new (std::nothrow) CMirelViewText();
  return pViewText;
#else
  return nullptr;
#endif
}

void CMirel::CopyViewState(CMirel* pOther) {
  if (pOther != nullptr && pOther != this) {
    nHScrollPos = pOther->nHScrollPos;
    nTopLine = pOther->nTopLine;
  }
  if (pdoc != nullptr) CreateView(pdoc->nViewType);
}

void CMirel::OnDestroy() {
  if (hBackBitmap != nullptr) DeleteObject(hBackBitmap);
  hBackBitmap = nullptr;
}

void CMirel::OnNcDestroy() {
  // The system may give the handle to another window from now on. The
  // document keeps listing this edit object until its owner deletes it (the
  // owner finds it there); without a window it is neither painted nor
  // notified.
  bTracking = 0;
  hWndEdit = nullptr;
}

// ---------------------------------------------------------------------------
// Focus

namespace {

BOOL IsRegisteredWith(const CMirelDoc& doc, const CMirel* pEdit) {
  for (int i = 0; i < doc.nEditCount && doc.ppEdits != nullptr; ++i) {
    if (doc.ppEdits[i] == pEdit) return TRUE;
  }
  return FALSE;
}

// The selection looks different focused and unfocused, or the active line is
// marked: the visible rows are painted again.
BOOL NeedsFocusRepaint(CMirelDoc& doc) {
  return (doc.block.nInactiveSelMode != 2 && doc.block.IsBlockSelected()) || doc.nActiveLineType != 0;
}

}  // namespace

void CMirel::OnSetFocus() {
  if (pdoc == nullptr) return;
  // Only a window the document knows may become its active one: the document
  // must never point to an edit window it will not be told about deleting.
  if (IsRegisteredWith(*pdoc, this)) pdoc->pActiveMirel = this;
  pdoc->RestoreSelBack();
  if (pView == nullptr) return;
  if (bInSplitter) pView->UpdateScrollBars();
  pView->UpdateCaret(0, 0);
  if (NeedsFocusRepaint(*pdoc)) pView->Invalidate(REPAINT_TAG_ALL, 0, 0);
}

void CMirel::OnKillFocus() {
  if (pdoc == nullptr) return;
  pdoc->bHexComposition = 0;  // a half-typed hex byte is dropped
  CompleteComposition();
  DestroyCaret();
  pdoc->UseInactiveSelBack();
  if (pView != nullptr && NeedsFocusRepaint(*pdoc)) pView->Invalidate(REPAINT_TAG_ALL, 0, 0);
}
