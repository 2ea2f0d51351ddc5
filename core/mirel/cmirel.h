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

// Pane identifiers inside a split-pane parent: 0xE900 + 16 * row + column;
// the shared bars are 0xEA00 + column (horizontal) and 0xEA10 + row (vertical).
constexpr UINT MIREL_PANE_ID_FIRST = 0xE900;
constexpr UINT MIREL_PANE_ID_LAST = 0xE9FF;
constexpr UINT MIREL_SHARED_HBAR_ID = 0xEA00;
constexpr UINT MIREL_SHARED_VBAR_ID = 0xEA10;

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
  // Makes (once) and activates the view of the type; other types change nothing.
  void CreateView(int nType);
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
  UINT uBinaryFormat;  // registered number of MIREL_BINARY_CLIPBOARD_FORMAT
  CMirelDoc* pdoc;
  CMirelView* pView;
  HWND hWndEdit;
  RECT rcEdit;  // client rectangle, set by the view on WM_SIZE
};
