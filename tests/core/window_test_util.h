// Helpers of the edit-window tests: the process's control registrar, a view
// that records every operation the window routes to it, and a fixture with a
// parent window and edit windows of the control class over one document.
#pragma once

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmirelregistrar.h"
#include "mirel/cmirelview.h"
#include "test_support.h"

namespace mirel_window_test {

// The registrar the control class uses. The library's own is used when it is
// linked in; otherwise one is made for the rest of the test program.
inline CMirelRegistrar& Registrar() {
  if (CMirelRegistrar::GetActive() == nullptr) {
    static CMirelRegistrar registrar;
  }
  return *CMirelRegistrar::GetActive();
}

// A window of one of the library's classes that a host makes itself, with no
// creation parameter, a record of its own or an object of the class that is
// not being created (pIdle): each is refused, the table size nUsed() stays,
// and the host's record is never written to.
template <typename UsedFn>
void ExpectHostMadeWindowsRefused(const char* szClass, HWND hParent, void* pIdle, UsedFn nUsed) {
  unsigned char record[512];
  std::memset(record, 0xAB, sizeof(record));
  for (void* pParam : {static_cast<void*>(nullptr), static_cast<void*>(record), pIdle}) {
    const int nBefore = nUsed();
    HWND h = CreateWindowExA(0, szClass, nullptr, WS_CHILD, 0, 0, 50, 50, hParent, nullptr,
                             GetModuleHandleA(nullptr), pParam);
    EXPECT_EQ(h, nullptr);
    if (h != nullptr) DestroyWindow(h);
    EXPECT_EQ(nUsed(), nBefore);
  }
  for (unsigned char b : record) ASSERT_EQ(b, 0xAB);
}

using CallLog = std::vector<std::string>;

// A view that records each operation with its arguments and does nothing else.
class CallView : public CMirelView {
 public:
  explicit CallView(CallLog* pLog, int nType = MIREL_VIEW_TYPE_TEXT) : CMirelView(nType), m_pLog(pLog) {}

  BOOL GetTopLineToShow(UINT, int, UINT*) override { return TRUE; }
  BOOL IsPointInSelection(int, int) override { return FALSE; }
  int OnSetCursor(HWND, HWND, UINT nHit, UINT) override {
    Log("cursor", static_cast<int>(nHit));
    return nSetCursorResult;
  }
  UINT OnMouseMove(HWND, int x, int y, UINT) override {
    Log("mousemove", x, y);
    return 0;
  }
  LRESULT OnImeChar(WPARAM, LPARAM) override { return Log("imechar"), 0; }
  LRESULT OnImeComposition(WPARAM, LPARAM) override { return Log("imecomposition"), 0; }
  LRESULT OnImeNotify(WPARAM, LPARAM) override { return Log("imenotify"), 0; }
  UINT LineFromY(int) override { return 0; }
  void Invalidate(int nTag, DWORD, DWORD) override { Log("invalidate", nTag); }
  void OnChar(HWND, char ch, int nRepeat) override { Log("char", static_cast<unsigned char>(ch), nRepeat); }
  void OnHScroll(HWND, HWND, UINT nCode, short nPos) override {
    Log("hscroll", static_cast<int>(nCode), nPos);
  }
  void OnKeyBack(int r, int c, int a, int s) override { Log("back", r, c, a, s); }
  void OnKeyDelete(int r, int c, int a, int s) override { Log("delete", r, c, a, s); }
  void MoveDown(int r, int c, int a, int s) override { Log("down", r, c, a, s); }
  void MoveLineEnd(int r, int c, int a, int s) override { Log("end", r, c, a, s); }
  void OnKeyReturn(int r, int c, int a, int s) override { Log("return", r, c, a, s); }
  void OnKeyEscape(int r, int c, int a, int s) override { Log("escape", r, c, a, s); }
  void OnKeyHanja(int r, int c, int a, int s) override { Log("hanja", r, c, a, s); }
  void MoveLineHome(int r, int c, int a, int s) override { Log("home", r, c, a, s); }
  void MoveLeft(int r, int c, int a, int s) override { Log("left", r, c, a, s); }
  void MovePageDown(int r, int c, int a, int s) override { Log("pagedown", r, c, a, s); }
  void MovePageUp(int r, int c, int a, int s) override { Log("pageup", r, c, a, s); }
  void MoveRight(int r, int c, int a, int s) override { Log("right", r, c, a, s); }
  void OnKeyTab(int r, int c, int a, int s) override { Log("tab", r, c, a, s); }
  void MoveUp(int r, int c, int a, int s) override { Log("up", r, c, a, s); }
  void OnLButtonDown(HWND, int bDouble, int x, int y, UINT) override { Log("down_button", bDouble, x, y); }
  void OnLButtonTripleClk(HWND, int x, int y, UINT) override { Log("triple", x, y); }
  void OnLButtonUp(HWND, int x, int y, UINT) override { Log("up_button", x, y); }
  void OnPaint(HWND hWnd) override {
    PAINTSTRUCT ps;
    BeginPaint(hWnd, &ps);
    EndPaint(hWnd, &ps);
    Log("paint");
  }
  void OnSize(HWND, UINT nType, int cx, int cy) override { Log("size", static_cast<int>(nType), cx, cy); }
  void OnVScroll(HWND, HWND, UINT nCode, short nPos) override {
    Log("vscroll", static_cast<int>(nCode), nPos);
  }
  void UpdateCaret(int bSetGoalX, int bScroll) override { Log("caret", bSetGoalX, bScroll); }
  void UpdateScrollBars() override { Log("scrollbars"); }

  int nSetCursorResult = 0;

 private:
  template <typename... Args>
  void Log(const char* name, Args... args) {
    std::string s = name;
    if constexpr (sizeof...(args) > 0) {
      std::string sep = "(";
      ((s += sep + std::to_string(args), sep = ","), ...);
      s += ")";
    }
    m_pLog->push_back(s);
  }
  CallLog* m_pLog;
};

// The parent window: records what its controls send it.
struct ParentMessage {
  UINT uMsg;
  WPARAM wParam;
  LPARAM lParam;
};

inline std::vector<ParentMessage>& ParentMessages() {
  static std::vector<ParentMessage> messages;
  return messages;
}

// WM_COMMAND notification codes the parent received, in order.
inline std::vector<int> ParentNotificationCodes() {
  std::vector<int> codes;
  for (const ParentMessage& m : ParentMessages()) {
    if (m.uMsg == WM_COMMAND) codes.push_back(HIWORD(m.wParam));
  }
  return codes;
}

inline LRESULT CALLBACK ParentProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_COMMAND || uMsg == WM_CONTEXTMENU) {
    ParentMessages().push_back({uMsg, wParam, lParam});
    return uMsg == WM_CONTEXTMENU ? 77 : 0;
  }
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

constexpr char kParentClass[] = "MirelWindowTestParent";

inline void RegisterParentClass() {
  WNDCLASSA wc{};
  if (GetClassInfoA(GetModuleHandleA(nullptr), kParentClass, &wc)) return;
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kParentClass;
  RegisterClassA(&wc);
}

// A document with edit windows of the control class in one parent. Views are
// not made by the window yet; a test that wants to see what reaches the view
// gives an edit window a recording view before creating its window.
class WindowFixture : public ::testing::Test {
 protected:
  struct Edit {
    explicit Edit(CMirelDoc* pDoc) : edit(pDoc) {}
    // The view outlives the edit object, which may still call it while its
    // window goes (focus leaving).
    std::unique_ptr<CallView> view;
    CMirel edit;
  };

  void SetUp() override {
    Registrar();
    RegisterParentClass();
    ParentMessages().clear();
    hParent = CreateWindowExA(0, kParentClass, "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hParent, nullptr);
  }
  void TearDown() override {
    // Edit objects first (each ends its window), then the parent.
    edits.clear();
    if (IsWindow(hParent)) DestroyWindow(hParent);
    ParentMessages().clear();
  }

  // A new edit object, optionally with a recording view as its active view.
  Edit& NewEdit(bool bWithView) {
    edits.push_back(std::make_unique<Edit>(&doc));
    Edit& e = *edits.back();
    if (bWithView) {
      e.view = std::make_unique<CallView>(&log);
      e.edit.pView = e.view.get();
      e.view->pMirel = &e.edit;
      e.view->pdoc = &doc;
    }
    return e;
  }

  // Its window in the parent, registered with the document as the library
  // does it; NULL when creation failed.
  HWND CreateEditWindow(Edit& e, UINT nID = 100,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, int cx = 200,
                        int cy = 100, HWND hParentWnd = nullptr) {
    HWND h = e.edit.Create(hParentWnd != nullptr ? hParentWnd : hParent, nID, 0, 0, cx, cy, 0, dwStyle);
    // Creation makes the window's own view; a recording view given before
    // stays the active one.
    if (e.view != nullptr) e.edit.pView = e.view.get();
    if (h != nullptr) doc.RegisterEdit(&e.edit);
    return h;
  }

  CMirelDoc doc;
  CallLog log;
  HWND hParent = nullptr;
  std::vector<std::unique_ptr<Edit>> edits;
};

}  // namespace mirel_window_test
