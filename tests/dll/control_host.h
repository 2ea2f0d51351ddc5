// A host window for the control tests: a top-level parent that records the
// WM_COMMAND notifications its controls send and lets a test act when a child
// window has just been created.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace mirel_test {

struct CommandRecord {
  WORD wID;
  WORD wCode;
  HWND hWndFrom;
};

class ControlHost {
 public:
  ControlHost();
  ~ControlHost();
  ControlHost(const ControlHost&) = delete;
  ControlHost& operator=(const ControlHost&) = delete;

  HWND hWnd() const { return m_hWnd; }
  const std::vector<CommandRecord>& Commands() const { return m_commands; }
  void ClearCommands() { m_commands.clear(); }
  // Called with the child's handle from WM_PARENTNOTIFY (WM_CREATE): the
  // child has run WM_CREATE and CreateWindowEx has not returned yet.
  std::function<void(HWND)> onChildCreated;
  // Called with each notification after it is recorded.
  std::function<void(const CommandRecord&)> onCommand;

 private:
  static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  HWND m_hWnd = nullptr;
  std::vector<CommandRecord> m_commands;
};

// Gives a control an empty text, inserts pszText through the exports and
// reads it back: the control works.
void ExpectControlKeepsText(HWND hCtrl, const char* pszText);

}  // namespace mirel_test
