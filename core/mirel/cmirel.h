// One edit window of a document: the object behind one window of the control
// class. It points to its document (not owned), owns its two views (text and
// hex, each made on first use) and points to the active one, and holds the
// window-level state both views share: scroll offsets, the pending repaint,
// the back buffer, the click counter, the drag flag and the GDI objects of
// the margins and the ruler.
#pragma once

#include <windows.h>

class CMirelDoc;
class CMirelView;
class CMirelViewHex;
class CMirelViewText;

// Class name of the split-pane window; a pane inside one shares its parent's
// scroll bars.
constexpr char MIREL_SPLITTER_CLASS_NAME[] = "__MIREL_SPLITTER__";
// Class name of the edit window.
constexpr char MIREL_CONTROL_CLASS_NAME[] = "__MIREL_CONTROL_4__";
// The control's private clipboard format: a 32-bit byte count, then the bytes.
constexpr char MIREL_BINARY_CLIPBOARD_FORMAT[] = "__BINARY_FORMAT__";
// Placed beside the text view's bytes: what they are text in (32-bit byte
// count of the bytes it speaks for, encoding, code page), so that only a
// document that reads them alike takes them back as they are.
constexpr char MIREL_BINARY_SOURCE_CLIPBOARD_FORMAT[] = "__BINARY_FORMAT_SOURCE__";

// Pane identifiers inside a split-pane parent: 0xE900 + 16 * row + column;
// the shared bars are 0xEA00 + column (horizontal) and 0xEA10 + row (vertical).
constexpr UINT MIREL_PANE_ID_FIRST = 0xE900;
constexpr UINT MIREL_PANE_ID_LAST = 0xE9FF;
constexpr UINT MIREL_SHARED_HBAR_ID = 0xEA00;
constexpr UINT MIREL_SHARED_VBAR_ID = 0xEA10;

// Private messages of the control window. A host sends them (Ctrl+A sends
// WM_MIREL_SELECTALL to the window itself); WM_MIREL_GETSCROLLBAR comes from a
// split-pane parent and WM_MIREL_PANESCROLLED goes to one.
#ifndef WM_MIREL_SETOPTION0
#define WM_MIREL_SETOPTION0 (WM_USER + 50)     // wParam: a double click selects a word
#define WM_MIREL_GETSCROLLBAR (WM_USER + 51)   // wParam SB_HORZ or SB_VERT: the shared bar
#define WM_MIREL_PANESCROLLED (WM_USER + 52)   // a view reports its position to a split-pane parent
#define WM_MIREL_SETPARENTMENU (WM_USER + 54)  // wParam: the parent opens the context menu
#define WM_MIREL_SETINSERTKEY (WM_USER + 55)   // wParam: the Insert key toggles overwrite mode
#define WM_MIREL_REDO (WM_USER + 100)
#define WM_MIREL_SELECTALL (WM_USER + 101)
#define WM_MIREL_KEYCOMMAND (WM_USER + 200)  // wParam a virtual key, lParam modifier bits
#endif

// Context-menu commands; 40005 to 40007 also arrive as message numbers.
#ifndef ID_MIREL_COPY
#define ID_MIREL_COPY 40001
#define ID_MIREL_CUT 40002
#define ID_MIREL_PASTE 40003
#define ID_MIREL_SELECTALL 40004
#define ID_MIREL_APPENDCOPY 40005
#define ID_MIREL_APPENDCUT 40006
#define ID_MIREL_DELETELINE 40007
#define ID_MIREL_UNDO 40010
#define ID_MIREL_REDO 40011
#endif

// Timers of an edit window: auto-scroll while a drag selection is outside the
// text area, and the wait after a double click for a third click.
constexpr UINT_PTR TIMER_AUTOSCROLL = 2048;
constexpr UINT_PTR TIMER_DBLCLK_WAIT = 2049;

// Fixed colours of the margin brushes.
constexpr COLORREF MIREL_FOLDER_MARGIN_COLOR = 0xF5F5F5;
constexpr COLORREF MIREL_GRAY_MARGIN_COLOR = 0xE4E4E4;

class CMirel {
 public:
  explicit CMirel(CMirelDoc* pDocument);
  virtual ~CMirel();
  CMirel(const CMirel&) = delete;
  CMirel& operator=(const CMirel&) = delete;

  // Margin brushes and the ruler font; each made only while still NULL.
  int CreateGdiObjects();
  void DeleteGdiObjects();

  // Creates the window of the control class with this object as its
  // creation parameter; NULL when the window cannot be made.
  HWND Create(HWND hWndParent, UINT nID, int x, int y, int cx, int cy, DWORD dwExStyle, DWORD dwStyle);
  // WM_CREATE: binds the window, notes a split-pane parent and makes the view
  // of the document's view type.
  int OnCreate(HWND hWnd);
  // Makes (once) and activates the view of the type and gives it this window
  // and the document; other types change nothing. Returns the active view,
  // NULL while none can be made.
  CMirelView* CreateView(int nType);
  // A new pane of a split-pane window starts where another pane stands.
  void CopyViewState(CMirel* pOther);
  // 0 stops all invalidation and repainting; 1 refreshes scroll bars, caret
  // and every visible row.
  void SetRedraw(int bOn);
  // Keeps the horizontal scroll bar in step with word wrap: none while
  // wrapping (offset back to 0), present otherwise.
  void UpdateScrollStyle(int nWrapMode);
  // The split-pane parent's shared bar that stands in for this window's own
  // bar (SB_HORZ or SB_VERT), or NULL.
  HWND GetScrollBarCtrl(int nBar);
  // Finishes a running input-method composition.
  void CompleteComposition();
  void OnSetFocus();
  void OnKillFocus();
  void OnDestroy();
  // WM_NCDESTROY, the window's last message: the object forgets the handle.
  void OnNcDestroy();
  // Called once the window's last message has been handled; an owner that
  // lets the window decide the object's life frees it here.
  virtual void OnFinalMessage(HWND /*hWnd*/) {}

  // The window procedure of the edit window (every message of hWndEdit).
  LRESULT WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam);

  // Keyboard, mouse and timer handlers: they turn messages into operations
  // of the active view.
  void OnKeyDown(HWND hWnd, UINT nVirtKey, int bKeyDown, int nRepeat, UINT nFlags);
  void OnKeyCommand(UINT nVirtKey, UINT nFlags);
  void OnChar(HWND hWnd, char ch, int nRepeat);
  void OnLButtonDown(HWND hWnd, int bDouble, int x, int y, UINT nKeys);
  void OnLButtonTripleClk(HWND hWnd, int x, int y, UINT nKeys);
  void OnLButtonUp(HWND hWnd, int x, int y, UINT nKeys);
  void OnMouseMove(HWND hWnd, int x, int y, UINT nKeys);
  void OnTimer(HWND hWnd, UINT_PTR nID);
  // WM_MOUSEWHEEL: whole rows per the system's wheel setting; what is left of
  // a notch is kept for the next message.
  void OnMouseWheel(HWND hWnd, WPARAM wParam, LPARAM lParam);
  // Context-menu commands (ID_MIREL_*), also from a host's WM_COMMAND.
  void OnCommand(HWND hWnd, UINT nID, HWND hWndCtl, UINT nCode);
  LRESULT OnContextMenu(HWND hWnd, HWND hWndFrom, int x, int y);
  // The mouse was taken away during a gesture (WM_CAPTURECHANGED,
  // WM_CANCELMODE): tracking ends as at a button-up, without a drop.
  void EndTrackingWithoutDrop(HWND hWnd);
  LRESULT OnGetDlgCode(LPARAM lParam);

  // The view of a type that this window keeps, made on first use; NULL
  // when it cannot be had.
  CMirelView* FindOrMakeView(int nType);
  // WM_PAINT while there is no view: the client area in the background colour.
  void PaintBackground();

  int bTracking;           // a view holds the mouse for a drag selection
  int bParentContextMenu;  // WM_CONTEXTMENU goes to the parent window
  int bCaretVisible;       // the last caret update showed the caret
  int bRedraw;             // 0: the views neither invalidate nor repaint
  int bInSplitter;         // the parent is a split-pane window
  int nRepaintTag;         // pending repaint request (REPAINT_TAG_*)
  CMirelViewHex* pViewHex;
  CMirelViewText* pViewText;
  int nGoalCaretX;  // caret x that vertical moves try to keep
  int nClickCount;  // button-down counter for the triple click
  int nHScrollPos;  // horizontal scroll offset in pixels
  HBITMAP hBackBitmap;
  HBRUSH hFolderBrush;
  HBRUSH hIndicatorBrush;  // a system brush, never deleted
  HBRUSH hGrayBrush;
  HFONT hRulerFont;
  int nTopLine;     // first visible display line or hex row
  int nDirtyFirst;  // rows of the pending repaint
  int nDirtyLast;
  UINT uBinaryFormat;        // registered number of MIREL_BINARY_CLIPBOARD_FORMAT
  UINT uBinarySourceFormat;  // and of MIREL_BINARY_SOURCE_CLIPBOARD_FORMAT
  CMirelDoc* pdoc;
  CMirelView* pView;
  HWND hWndEdit;
  RECT rcEdit;  // client rectangle, set by the view on WM_SIZE
};
