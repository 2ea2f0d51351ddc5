// The sample host's top-level window: one control that fills its client area,
// the file's name, encoding and newline kind in the title, Ctrl+S to save.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host_document.h"
#include "host_mirel_api.h"

namespace mirel_host {

class CHostMainWindow {
 public:
  explicit CHostMainWindow(const CMirelApi& api) : m_api(api), m_document(api) {}
  CHostMainWindow(const CHostMainWindow&) = delete;
  CHostMainWindow& operator=(const CHostMainWindow&) = delete;
  ~CHostMainWindow();

  // Creates the window (hidden) and the control inside it.
  bool Create(HINSTANCE hInstance, std::string* pError);

  // Shows the file's bytes in the control.
  bool Open(const std::string& strPath, const char* pBytes, std::size_t nBytes,
            std::vector<std::string>* pWarnings, std::string* pError);

  // Shows the window with the file's name and a wait cursor while the file
  // is read and handed to the control.
  void ShowOpening(const std::string& strPath);

  // Shows the window and lets it paint everything before returning.
  void ShowAndPaint(int nShowCommand);

  // Runs until the window is closed; returns the exit code of WM_QUIT.
  int RunMessageLoop();

  HWND Handle() const { return m_hWnd; }
  HWND Control() const { return m_hWndMirel; }
  const CHostDocument& Document() const { return m_document; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
  bool Save();
  bool ConfirmClose();
  void UpdateTitle();
  void SetCodeFont();

  const CMirelApi& m_api;
  CHostDocument m_document;
  HWND m_hWnd = nullptr;
  HWND m_hWndMirel = nullptr;
  bool m_bOpened = false;
};

}  // namespace mirel_host
