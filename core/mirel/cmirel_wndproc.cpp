// The window procedure of an edit window and the handlers that turn keys,
// characters, clicks and timers into operations of the active view.
//
// Messages that need a view do nothing while there is none; messages that
// need the document do nothing while the edit window has none. While a view
// holds the mouse for a drag selection (bTracking), nothing that edits the
// document gets through.
#include "mirel/cmirel.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <type_traits>

#include <imm.h>

#include "mirel/cmireldoc.h"
#include "mirel/cmirelview.h"
#include "mirel/mirel.h"
#include "mirel/mrscrollbar.h"

namespace {

// The code a dialog gets for the control: arrows, tab, every key, characters.
constexpr LRESULT kDlgCodeAll = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTCHARS;

// The hex view's caret is in the character column.
constexpr BYTE kHexCaretAreaChars = 3;

// Signed client coordinates of a mouse message.
int XOf(LPARAM lParam) {
  return static_cast<short>(LOWORD(lParam));
}
int YOf(LPARAM lParam) {
  return static_cast<short>(HIWORD(lParam));
}

int IsKeyDown(int nVirtKey) {
  return GetKeyState(nVirtKey) < 0 ? 1 : 0;
}

// One key operation of a view.
using KeyOperation = void (CMirelView::*)(int, int, int, int);

// The view operation of a navigation or editing key; NULL for any other key
// (characters come as WM_CHAR).
KeyOperation KeyOperationOf(UINT nVirtKey) {
  switch (nVirtKey) {
    case VK_BACK:
      return &CMirelView::OnKeyBack;
    case VK_RETURN:
      return &CMirelView::OnKeyReturn;
    case VK_ESCAPE:
      return &CMirelView::OnKeyEscape;
    case VK_PRIOR:
      return &CMirelView::MovePageUp;
    case VK_NEXT:
      return &CMirelView::MovePageDown;
    case VK_END:
      return &CMirelView::MoveLineEnd;
    case VK_HOME:
      return &CMirelView::MoveLineHome;
    case VK_LEFT:
      return &CMirelView::MoveLeft;
    case VK_UP:
      return &CMirelView::MoveUp;
    case VK_RIGHT:
      return &CMirelView::MoveRight;
    case VK_DOWN:
      return &CMirelView::MoveDown;
    case VK_DELETE:
      return &CMirelView::OnKeyDelete;
    default:
      return nullptr;
  }
}

// Wheel delta not yet turned into rows, shared by every edit window.
int g_nWheelRemainder = 0;

// The built-in context menu, top to bottom; 0 is a separator. Labels are in
// code page 949. Delete line joins the menu with its document operation.
struct ContextMenuEntry {
  UINT nID;
  const char* pszLabel;
};
constexpr ContextMenuEntry kContextMenu[] = {
    {ID_MIREL_UNDO, "\xbd\xc7\xc7\xe0\xc3\xeb\xbc\xd2(&U)"},  // "Undo"
    {ID_MIREL_REDO, "\xc0\xe7 \xbd\xc7\xc7\xe0(&R)"},         // "Redo"
    {0, nullptr},
    {ID_MIREL_COPY, "\xba\xb9\xbb\xe7(&C)"},                                                // "Copy"
    {ID_MIREL_CUT, "\xc0\xdf\xb6\xf3\xb3\xbb\xb1\xe2(&T)"},                                 // "Cut"
    {ID_MIREL_PASTE, "\xba\xd9\xbf\xa9\xb3\xd6\xb1\xe2(&P)"},                               // "Paste"
    {ID_MIREL_APPENDCOPY, "\xb5\xa1\xba\xd9\xbf\xa9 \xba\xb9\xbb\xe7(&O)"},                 // "Append copy"
    {ID_MIREL_APPENDCUT, "\xb5\xa1\xba\xd9\xbf\xa9 \xc0\xdf\xb6\xf3\xb3\xbb\xb1\xe2(&E)"},  // "Append cut"
    {0, nullptr},
    {ID_MIREL_SELECTALL, "\xc0\xfc\xc3\xbc \xbc\xb1\xc5\xc3(&A)"},  // "Select all"
    {0, nullptr},
    {ID_MIREL_DELETELINE, "\xc7\xd1 \xc1\xd9 \xbb\xe8\xc1\xa6(&L)"},  // "Delete line"
};

// Where a menu opened from the keyboard appears, in client pixels.
constexpr int kKeyboardMenuOffset = 6;

using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)>;

// Modifier bits of WM_MIREL_KEYCOMMAND's lParam.
constexpr UINT kKeyCommandShift = 0x04;
constexpr UINT kKeyCommandCtrl = 0x08;
constexpr UINT kKeyCommandAlt = 0x10;

}  // namespace

LRESULT CMirel::WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  HWND hWnd = hWndEdit;
  switch (uMsg) {
    case WM_CREATE:
      return OnCreate(hWnd);
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY:
      OnNcDestroy();
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) return 0;
      if (pView != nullptr && pdoc != nullptr && pdoc->nEditCount > 0) {
        pView->OnSize(hWnd, static_cast<UINT>(wParam), XOf(lParam), YOf(lParam));
      } else if (pView == nullptr) {
        // Nothing to lay out yet; the size is kept for when there is, and a
        // back buffer of the old size is no use any more.
        GetClientRect(hWnd, &rcEdit);
        if (hBackBitmap != nullptr) DeleteObject(hBackBitmap);
        hBackBitmap = nullptr;
      }
      return 0;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_KILLFOCUS:
      OnKillFocus();
      return 0;
    case WM_PAINT:
      if (pView != nullptr) {
        pView->OnPaint(hWnd);
      } else {
        PaintBackground();
      }
      return 0;
    case WM_SETCURSOR:
      if (pView != nullptr &&
          pView->OnSetCursor(hWnd, reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam)) == 1)
        return 1;
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    case WM_SYSCOLORCHANGE:
      // Colours that follow the system are read again, then every view repaints.
      if (pdoc != nullptr) pdoc->ReloadSystemColors();
      return 0;
    case WM_INPUTLANGCHANGE:
      if (pdoc != nullptr) {
        pdoc->SetKeyboardLayout(reinterpret_cast<HKL>(lParam));
        pdoc->UpdateAllViews(REPAINT_TAG_ALL, 0, 0);
      }
      if (pView != nullptr) pView->UpdateCaret(0, 0);
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    case WM_CONTEXTMENU:
      return OnContextMenu(hWnd, reinterpret_cast<HWND>(wParam), XOf(lParam), YOf(lParam));
    case WM_GETDLGCODE:
      return OnGetDlgCode(lParam);
    case WM_KEYDOWN:
      OnKeyDown(hWnd, static_cast<UINT>(wParam), 1, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_SYSKEYDOWN:
      OnKeyDown(hWnd, static_cast<UINT>(wParam), 1, LOWORD(lParam), HIWORD(lParam));
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    case WM_CHAR:
      OnChar(hWnd, static_cast<char>(wParam & 0xFF), static_cast<short>(LOWORD(lParam)));
      return 0;
    case WM_IME_STARTCOMPOSITION: {
      if (pdoc == nullptr) return DefWindowProcA(hWnd, uMsg, wParam, lParam);
      pdoc->bComposing = 1;
      // An IME that composes in its own window gets the system's handling.
      if ((pdoc->nIMEProperty & IME_PROP_AT_CARET) == 0) return DefWindowProcA(hWnd, uMsg, wParam, lParam);
      const BOOL bOwnWindow = pdoc->nViewType == MIREL_VIEW_TYPE_TEXT ? pdoc->IsColumnBlock()
                              : pdoc->nViewType == MIREL_VIEW_TYPE_HEX
                                  ? pdoc->nHexCaretArea == kHexCaretAreaChars
                                  : FALSE;
      return bOwnWindow ? DefWindowProcA(hWnd, uMsg, wParam, lParam) : 0;
    }
    case WM_IME_ENDCOMPOSITION:
      if (pdoc == nullptr) return DefWindowProcA(hWnd, uMsg, wParam, lParam);
      // A composition still shown when the input method ends was dropped by
      // it: the text view takes it out and puts back what it replaced.
      if (pdoc->nIMECompLen > 0 && pView != nullptr && pdoc->nViewType == MIREL_VIEW_TYPE_TEXT)
        pView->OnImeComposition(0, 0);
      std::free(pdoc->pIMEAttr);
      std::free(pdoc->pIMEClause);
      pdoc->pIMEAttr = nullptr;
      pdoc->pIMEClause = nullptr;
      pdoc->bComposing = 0;
      if (pdoc->nIMEProperty & IME_PROP_AT_CARET) return 0;
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    case WM_IME_COMPOSITION:
      if (bTracking) return 0;
      return pView != nullptr ? pView->OnImeComposition(wParam, lParam)
                              : DefWindowProcA(hWnd, uMsg, wParam, lParam);
    case WM_IME_NOTIFY:
      return pView != nullptr ? pView->OnImeNotify(wParam, lParam)
                              : DefWindowProcA(hWnd, uMsg, wParam, lParam);
    case WM_IME_CHAR:
      return pView != nullptr ? pView->OnImeChar(wParam, lParam) : 0;
    case WM_IME_KEYDOWN:
      if (wParam == VK_HANJA && pView != nullptr)
        pView->OnKeyHanja(1, IsKeyDown(VK_CONTROL), IsKeyDown(VK_MENU), IsKeyDown(VK_SHIFT));
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    case WM_COMMAND:
      OnCommand(hWnd, LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_TIMER:
      OnTimer(hWnd, wParam);
      return 0;
    case WM_HSCROLL:
      if (pView != nullptr)
        pView->OnHScroll(hWnd, reinterpret_cast<HWND>(lParam), LOWORD(wParam),
                         static_cast<short>(HIWORD(wParam)));
      return 0;
    case WM_VSCROLL:
      if (pView != nullptr)
        pView->OnVScroll(hWnd, reinterpret_cast<HWND>(lParam), LOWORD(wParam),
                         static_cast<short>(HIWORD(wParam)));
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(hWnd, XOf(lParam), YOf(lParam), static_cast<UINT>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      // The third button-down while the double-click wait runs is a triple
      // click; every other one starts counting again.
      if (++nClickCount >= 3) {
        nClickCount = 0;
        OnLButtonTripleClk(hWnd, XOf(lParam), YOf(lParam), static_cast<UINT>(wParam));
      } else {
        nClickCount = 0;
        OnLButtonDown(hWnd, 0, XOf(lParam), YOf(lParam), static_cast<UINT>(wParam));
      }
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(hWnd, XOf(lParam), YOf(lParam), static_cast<UINT>(wParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      nClickCount = 2;
      SetTimer(hWnd, TIMER_DBLCLK_WAIT, GetDoubleClickTime(), nullptr);
      OnLButtonDown(hWnd, 1, XOf(lParam), YOf(lParam), static_cast<UINT>(wParam));
      return 0;
    case WM_CAPTURECHANGED:
      // Losing the mouse without a button-up (another window took it, a
      // dialog opened) ends the gesture; our own button-up has already
      // cleared bTracking before it released the capture.
      if (bTracking) EndTrackingWithoutDrop(hWnd);
      return 0;
    case WM_CANCELMODE:
      if (bTracking) EndTrackingWithoutDrop(hWnd);
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    case WM_MOUSEWHEEL:
      OnMouseWheel(hWnd, wParam, lParam);
      return 0;
    case WM_UNDO:
      if (!bTracking && pdoc != nullptr) pdoc->Undo(this);
      return 0;
    case WM_CUT:
      if (!bTracking && pdoc != nullptr) pdoc->Cut(this);
      return 0;
    case WM_COPY:
      if (!bTracking && pdoc != nullptr) pdoc->Copy(this);
      return 0;
    case WM_PASTE:
      if (!bTracking && pdoc != nullptr) pdoc->Paste(this);
      return 0;
    case ID_MIREL_APPENDCOPY:  // a host sends the command number as a message
      if (!bTracking && pdoc != nullptr) pdoc->CopyAppend(this);
      return 0;
    case ID_MIREL_APPENDCUT:
      if (!bTracking && pdoc != nullptr) pdoc->CutAppend(this);
      return 0;
    case WM_MIREL_SETOPTION0:
      if (pdoc != nullptr) pdoc->SetDblClkWordSelect(wParam != 0);
      return 0;
    case WM_MIREL_GETSCROLLBAR:
      if (wParam != SB_HORZ && wParam != SB_VERT) return 0;
      return reinterpret_cast<LRESULT>(GetScrollBarCtrl(static_cast<int>(wParam)));
    case WM_MIREL_SETPARENTMENU:
      bParentContextMenu = wParam != 0 ? 1 : 0;
      return 0;
    case WM_MIREL_SETINSERTKEY:
      if (pdoc != nullptr) pdoc->SetInsertKeyEnabled(wParam != 0);
      return 0;
    case WM_MIREL_REDO:
      if (!bTracking && pdoc != nullptr) pdoc->Redo(this);
      return 0;
    case WM_MIREL_SELECTALL:
      if (bTracking || pdoc == nullptr) return 0;
      pdoc->SelectAll();
      if (pView != nullptr) pView->UpdateCaret(1, 1);
      return 0;
    case WM_MIREL_KEYCOMMAND:
      OnKeyCommand(static_cast<UINT>(wParam), static_cast<UINT>(lParam));
      return 0;
    case ID_MIREL_DELETELINE:  // the command's number sent as a message
      if (!bTracking && pdoc != nullptr) pdoc->DeleteLine();
      return 0;
    default:
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
  }
}

void CMirel::PaintBackground() {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hWndEdit, &ps);
  if (hdc != nullptr) {
    RECT rc{0, 0, 0, 0};
    GetClientRect(hWndEdit, &rc);
    HBRUSH hBrush = CreateSolidBrush(pdoc != nullptr ? pdoc->crBack : GetSysColor(COLOR_WINDOW));
    if (hBrush != nullptr) {
      FillRect(hdc, &rc, hBrush);
      DeleteObject(hBrush);
    }
  }
  EndPaint(hWndEdit, &ps);
}

LRESULT CMirel::OnGetDlgCode(LPARAM lParam) {
  // A dialog keeps Tab for moving the focus unless the host wants tabs typed.
  const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
  if (pMsg != nullptr && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB && pdoc != nullptr &&
      !pdoc->bWantTab)
    return 0;
  return kDlgCodeAll;
}

// ---------------------------------------------------------------------------
// Keys and characters

void CMirel::OnKeyDown(HWND hWnd, UINT nVirtKey, int bKeyDown, int nRepeat, UINT nFlags) {
  (void)nFlags;
  if (!bKeyDown || pdoc == nullptr) return;
  // An IME composing in its own window owns the keys until it is done.
  if (pdoc->bComposing && (pdoc->nIMEProperty & IME_PROP_AT_CARET) == 0) return;
  if (nVirtKey == VK_INSERT) {
    if (!pdoc->IsInsertKeyEnabled()) return;
    pdoc->SetOverwriteMode(!pdoc->IsOverwriteMode());
    if (pView != nullptr) pView->UpdateCaret(0, 0);
    pdoc->NotifyParent(3);
    return;
  }
  (void)hWnd;
  KeyOperation pOperation = KeyOperationOf(nVirtKey);
  if (pOperation == nullptr || pView == nullptr) return;
  (pView->*pOperation)(nRepeat, IsKeyDown(VK_CONTROL), IsKeyDown(VK_MENU), IsKeyDown(VK_SHIFT));
}

void CMirel::OnKeyCommand(UINT nVirtKey, UINT nFlags) {
  KeyOperation pOperation = KeyOperationOf(nVirtKey);
  if (pOperation == nullptr || pView == nullptr) return;
  (pView->*pOperation)(1, (nFlags & kKeyCommandCtrl) ? 1 : 0, (nFlags & kKeyCommandAlt) ? 1 : 0,
                       (nFlags & kKeyCommandShift) ? 1 : 0);
}

void CMirel::OnChar(HWND hWnd, char ch, int nRepeat) {
  if (bTracking) return;
  switch (static_cast<unsigned char>(ch)) {
    case 0x01:  // Ctrl+A
      SendMessageA(hWnd, WM_MIREL_SELECTALL, 0, 0);
      return;
    case 0x03:  // Ctrl+C
      SendMessageA(hWnd, WM_COPY, 0, 0);
      return;
    case 0x16:  // Ctrl+V
      SendMessageA(hWnd, WM_PASTE, 0, 0);
      return;
    case 0x18:  // Ctrl+X
      SendMessageA(hWnd, WM_CUT, 0, 0);
      return;
    case 0x19:  // Ctrl+Y
      if (pdoc != nullptr && pdoc->CanRedo()) pdoc->Redo(this);
      return;
    case 0x1A:  // Ctrl+Z
      if (pdoc != nullptr && pdoc->CanUndo()) pdoc->Undo(this);
      return;
    case 0x09:
      if (pView != nullptr)
        pView->OnKeyTab(nRepeat, IsKeyDown(VK_CONTROL), IsKeyDown(VK_MENU), IsKeyDown(VK_SHIFT));
      return;
    default:
      if (pView != nullptr) pView->OnChar(hWnd, ch, nRepeat);
      return;
  }
}

// ---------------------------------------------------------------------------
// Mouse and timers

void CMirel::OnLButtonDown(HWND hWnd, int bDouble, int x, int y, UINT nKeys) {
  SetFocus(hWnd);
  CompleteComposition();
  if (pView != nullptr) pView->OnLButtonDown(hWnd, bDouble, x, y, nKeys);
}

void CMirel::OnLButtonTripleClk(HWND hWnd, int x, int y, UINT nKeys) {
  SetFocus(hWnd);
  CompleteComposition();
  if (pView != nullptr) pView->OnLButtonTripleClk(hWnd, x, y, nKeys);
}

void CMirel::OnLButtonUp(HWND hWnd, int x, int y, UINT nKeys) {
  bTracking = 0;
  if (GetCapture() == hWnd) ReleaseCapture();
  KillTimer(hWnd, TIMER_AUTOSCROLL);
  if (pView != nullptr) pView->OnLButtonUp(hWnd, x, y, nKeys);
}

void CMirel::OnMouseMove(HWND hWnd, int x, int y, UINT nKeys) {
  // The views see the mouse only during a drag they started.
  if (hWnd == nullptr || GetCapture() != hWnd || pView == nullptr) return;
  const UINT nPeriod = pView->OnMouseMove(hWnd, x, y, nKeys);
  if (nPeriod != 0) {
    SetTimer(hWnd, TIMER_AUTOSCROLL, nPeriod, nullptr);
  } else {
    KillTimer(hWnd, TIMER_AUTOSCROLL);
  }
}

void CMirel::OnTimer(HWND hWnd, UINT_PTR nID) {
  if (nID == TIMER_AUTOSCROLL) {
    // The drag goes on (and scrolls) while the mouse stands still.
    POINT pt{0, 0};
    GetCursorPos(&pt);
    ScreenToClient(hWnd, &pt);
    SendMessageA(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
  } else if (nID == TIMER_DBLCLK_WAIT) {
    nClickCount = 0;
    KillTimer(hWnd, TIMER_DBLCLK_WAIT);
  }
}

void CMirel::OnCommand(HWND hWnd, UINT nID, HWND hWndCtl, UINT nCode) {
  (void)hWnd;
  (void)hWndCtl;
  (void)nCode;
  if (bTracking || pdoc == nullptr) return;
  switch (nID) {
    case ID_MIREL_SELECTALL:
      pdoc->SelectAll();
      if (pView != nullptr) pView->UpdateCaret(1, 1);
      break;
    case ID_MIREL_UNDO:
      if (pdoc->CanUndo()) pdoc->Undo(this);
      break;
    case ID_MIREL_COPY:
      pdoc->Copy(this);
      break;
    case ID_MIREL_CUT:
      pdoc->Cut(this);
      break;
    case ID_MIREL_PASTE:
      pdoc->Paste(this);
      break;
    case ID_MIREL_APPENDCOPY:
      pdoc->CopyAppend(this);
      break;
    case ID_MIREL_APPENDCUT:
      pdoc->CutAppend(this);
      break;
    case ID_MIREL_REDO:
      if (pdoc->CanRedo()) pdoc->Redo(this);
      break;
    case ID_MIREL_DELETELINE:
      pdoc->DeleteLine();
      break;
    default:
      break;
  }
}

void CMirel::OnMouseWheel(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  (void)lParam;  // the wheel scrolls the window that gets it, wherever the pointer is
  if (pdoc == nullptr || pView == nullptr || hWnd == nullptr) return;
  UINT nLines = 0;
  if (!SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &nLines, 0) || nLines == 0) return;
  const bool bHex = pdoc->nViewType == MIREL_VIEW_TYPE_HEX;
  const long long h = std::max(bHex ? pdoc->nHexLineHeight : pdoc->nLineHeight, 1);
  const long long wholeRows =
      std::max<long long>((static_cast<long long>(rcEdit.bottom) - pdoc->nRulerHeight) / h, 0);
  // A page per notch; a page without a whole row still moves one row.
  if (nLines == WHEEL_PAGESCROLL)
    nLines = static_cast<UINT>(std::clamp<long long>(wholeRows, 1, WHEEL_DELTA));
  // More lines than a notch has units still scroll, one row per unit.
  const long long step = std::max<long long>(WHEEL_DELTA / std::min<UINT>(nLines, WHEEL_DELTA), 1);
  const long long acc = static_cast<long long>(g_nWheelRemainder) + GET_WHEEL_DELTA_WPARAM(wParam);
  // A positive delta (away from the user) scrolls towards the start.
  const long long n = -(acc / step);
  g_nWheelRemainder = static_cast<int>(acc % step);
  if (pdoc->nViewType != MIREL_VIEW_TYPE_TEXT && pdoc->nViewType != MIREL_VIEW_TYPE_HEX) return;
  const long long cur = static_cast<long long>(std::max(nTopLine, 0)) * h;
  const long long page = wholeRows * h;
  long long d = std::min(n * h, static_cast<long long>(pdoc->nScrollHeight) - cur - page);
  d = std::max(d, -cur);
  d -= d % h;
  if (d == 0) return;
  nTopLine = static_cast<int>(std::clamp<long long>(cur / h + d / h, 0, INT_MAX));
  const int nPos = static_cast<int>(std::min<long long>(static_cast<long long>(nTopLine) * h, INT_MAX));
  if (HWND hBar = GetScrollBarCtrl(SB_VERT)) {
    MrSetScrollPos(hBar, SB_CTL, nPos);
  } else {
    MrSetScrollPos(hWnd, SB_VERT, nPos);
  }
  pView->UpdateCaret(0, 0);
  pView->Invalidate(REPAINT_TAG_ALL, 0, 0);
}

LRESULT CMirel::OnContextMenu(HWND hWnd, HWND hWndFrom, int x, int y) {
  (void)hWndFrom;
  // The host may open its own menu; it gets the position as it came, also
  // (-1, -1) from the keyboard.
  if (bParentContextMenu) {
    HWND hParent = GetParent(hWnd);
    if (hParent == nullptr) return 0;
    return SendMessageA(hParent, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd), MAKELPARAM(x, y));
  }
  if (pdoc == nullptr || hWnd == nullptr) return 0;
  MenuHandle menu(CreatePopupMenu(), &DestroyMenu);
  if (!menu) return 0;
  for (const ContextMenuEntry& entry : kContextMenu) {
    if (entry.nID == 0) {
      AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuA(menu.get(), MF_STRING, entry.nID, entry.pszLabel);
    }
  }
  if (!pdoc->CanUndo()) EnableMenuItem(menu.get(), ID_MIREL_UNDO, MF_BYCOMMAND | MF_GRAYED);
  if (!pdoc->CanRedo()) EnableMenuItem(menu.get(), ID_MIREL_REDO, MF_BYCOMMAND | MF_GRAYED);
  if (!pdoc->CanPaste()) EnableMenuItem(menu.get(), ID_MIREL_PASTE, MF_BYCOMMAND | MF_GRAYED);
  // From the keyboard (menu key, Shift+F10) the menu opens near the client
  // origin.
  POINT pt{x, y};
  if (x == -1 && y == -1) {
    pt = POINT{kKeyboardMenuOffset, kKeyboardMenuOffset};
    ClientToScreen(hWnd, &pt);
  }
  // The chosen command comes back to this window as WM_COMMAND.
  TrackPopupMenu(menu.get(), TPM_LEFTBUTTON, pt.x, pt.y, 0, hWnd, nullptr);
  return 0;
}

void CMirel::EndTrackingWithoutDrop(HWND hWnd) {
  bTracking = 0;
  if (hWnd != nullptr) KillTimer(hWnd, TIMER_AUTOSCROLL);
  if (pdoc == nullptr) return;
  // Whatever the gesture was doing stops where it stands: an armed drag is
  // dropped nowhere, a row or word selection keeps what it selected so far.
  pdoc->SetDragPending(0);
  pdoc->bLineSelecting = 0;
  pdoc->anchorBlock.Clear();
  if (pView == nullptr) return;
  pView->UpdateCaret(1, 1);
  pView->Invalidate(REPAINT_TAG_ALL, 0, 0);
}
