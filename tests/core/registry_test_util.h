// Helpers of the edit-registry and settings tests: a view double that records
// what the document asks of it, edit windows built without the control class
// (a CMirel with that view, with or without a real window), and a window
// class whose windows record the messages they receive.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmirelview.h"
#include "test_support.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

namespace mirel_registry_test {

// What the views were asked, in order, across all views of a test.
using CallLog = std::vector<std::string>;

// A view that records the calls the document makes and does nothing else.
class RecordingView : public CMirelView {
 public:
  RecordingView(CallLog* pLog, std::string name)
      : CMirelView(MIREL_VIEW_TYPE_TEXT), m_pLog(pLog), m_name(name) {}

  void Invalidate(int nTag, DWORD nFrom, DWORD nTo) override {
    Record("invalidate(" + std::to_string(nTag) + "," + std::to_string(nFrom) + "," + std::to_string(nTo) +
           ")");
  }
  void UpdateCaret(int bSetGoalX, int bScroll) override {
    Record("caret(" + std::to_string(bSetGoalX) + "," + std::to_string(bScroll) + ")");
  }
  void UpdateScrollBars() override { Record("scrollbars"); }

  BOOL GetTopLineToShow(UINT, int, UINT*) override { return TRUE; }
  BOOL IsPointInSelection(int, int) override { return FALSE; }
  int OnSetCursor(HWND, HWND, UINT, UINT) override { return 0; }
  UINT OnMouseMove(HWND, int, int, UINT) override { return 0; }
  LRESULT OnImeChar(WPARAM, LPARAM) override { return 0; }
  LRESULT OnImeComposition(WPARAM, LPARAM) override { return 0; }
  LRESULT OnImeNotify(WPARAM, LPARAM) override { return 0; }
  UINT LineFromY(int) override { return 0; }
  void OnChar(HWND, char, int) override {}
  void OnHScroll(HWND, HWND, UINT, short) override {}
  void OnKeyBack(int, int, int, int) override {}
  void OnKeyDelete(int, int, int, int) override {}
  void MoveDown(int, int, int, int) override {}
  void MoveLineEnd(int, int, int, int) override {}
  void OnKeyReturn(int, int, int, int) override {}
  void OnKeyEscape(int, int, int, int) override {}
  void OnKeyHanja(int, int, int, int) override {}
  void MoveLineHome(int, int, int, int) override {}
  void MoveLeft(int, int, int, int) override {}
  void MovePageDown(int, int, int, int) override {}
  void MovePageUp(int, int, int, int) override {}
  void MoveRight(int, int, int, int) override {}
  void OnKeyTab(int, int, int, int) override {}
  void MoveUp(int, int, int, int) override {}
  void OnLButtonDown(HWND, int, int, int, UINT) override {}
  void OnLButtonTripleClk(HWND, int, int, UINT) override {}
  void OnLButtonUp(HWND, int, int, UINT) override {}
  void OnPaint(HWND) override {}
  void OnSize(HWND, UINT, int, int) override {}
  void OnVScroll(HWND, HWND, UINT, short) override {}

 private:
  void Record(const std::string& call) { m_pLog->push_back(m_name + "." + call); }
  CallLog* m_pLog;
  std::string m_name;
};

// An edit window object of a document with a recording view as its current
// view; the view is owned here, not by the edit window.
struct TestEdit {
  TestEdit(CMirelDoc* pDoc, CallLog* pLog, const std::string& name, HWND hWnd = nullptr)
      : view(pLog, name), edit(pDoc) {
    edit.hWndEdit = hWnd;
    edit.pView = &view;
    view.pMirel = &edit;
    view.pdoc = pDoc;
  }
  RecordingView view;
  CMirel edit;
};

// One message a recording window received.
struct WindowMessage {
  HWND hWnd;
  UINT uMsg;
  WPARAM wParam;
  LPARAM lParam;
};

// Windows of one class that record WM_COMMAND and private messages. A test
// may destroy a window when a given window receives a given message.
class MessageRecorder {
 public:
  static MessageRecorder& Get() {
    static MessageRecorder recorder;
    return recorder;
  }
  std::vector<WindowMessage> messages;
  HWND hDestroyOnMessageTo = nullptr;
  HWND hDestroyTarget = nullptr;
  UINT uDestroyOnMessage = 0;

  void Clear() {
    messages.clear();
    hDestroyOnMessageTo = hDestroyTarget = nullptr;
    uDestroyOnMessage = 0;
  }

  static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    MessageRecorder& self = Get();
    if (uMsg == WM_COMMAND || uMsg >= WM_USER) {
      self.messages.push_back({hWnd, uMsg, wParam, lParam});
      if (hWnd == self.hDestroyOnMessageTo && uMsg == self.uDestroyOnMessage &&
          self.hDestroyTarget != nullptr) {
        HWND hTarget = self.hDestroyTarget;
        self.hDestroyTarget = nullptr;
        DestroyWindow(hTarget);
      }
      return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
  }
};

constexpr char kRecordingClass[] = "MirelRegistryTestWindow";

inline void RegisterRecordingClass() {
  static bool bRegistered = false;
  if (bRegistered) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = &MessageRecorder::Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kRecordingClass;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  bRegistered = RegisterClassA(&wc) != 0;
}

// Fixture for tests with real windows: a top-level parent and child edit
// windows of the recording class, all destroyed after each test.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterRecordingClass();
    MessageRecorder::Get().Clear();
    hParent = CreateWindowExA(0, kRecordingClass, "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hParent, nullptr);
  }
  void TearDown() override {
    if (IsWindow(hParent)) DestroyWindow(hParent);
    MessageRecorder::Get().Clear();
  }
  HWND CreateChild(int nID, DWORD dwStyle = WS_CHILD | WS_VISIBLE) {
    HWND h = CreateWindowExA(0, kRecordingClass, nullptr, dwStyle, 0, 0, 200, 100, hParent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(nID)), GetModuleHandleA(nullptr),
                             nullptr);
    EXPECT_NE(h, nullptr);
    return h;
  }
  // The messages of one number that a window received, in order.
  static std::vector<WindowMessage> Received(HWND hWnd, UINT uMsg) {
    std::vector<WindowMessage> out;
    for (const WindowMessage& m : MessageRecorder::Get().messages) {
      if (m.hWnd == hWnd && m.uMsg == uMsg) out.push_back(m);
    }
    return out;
  }
  HWND hParent = nullptr;
};

// Fixture for tests of one document and its edit windows: each AddEdit
// makes a real child window with a recording view and registers it.
class EditsTest : public WindowTest {
 protected:
  void TearDown() override {
    edits.clear();  // the edit objects go before their windows
    WindowTest::TearDown();
  }
  TestEdit& AddEdit(const std::string& name, int nID, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                    bool bRegister = true) {
    edits.emplace_back(&doc, &log, name, CreateChild(nID, dwStyle));
    if (bRegister) doc.RegisterEdit(&edits.back().edit);
    return edits.back();
  }
  CMirelDoc doc;
  CallLog log;
  std::deque<TestEdit> edits;
};

}  // namespace mirel_registry_test
