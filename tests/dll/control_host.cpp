// The host window of the control tests.
#include "control_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "mirelctrl/mirelctrl.h"

namespace mirel_test {

namespace {

constexpr char kHostClass[] = "MirelDllTestHost";

}  // namespace

ControlHost::ControlHost() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kHostClass;
  RegisterClassA(&wc);  // a second host finds the class registered
  m_hWnd = CreateWindowExA(0, kHostClass, "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  if (m_hWnd != nullptr) SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ControlHost::~ControlHost() {
  if (m_hWnd != nullptr && IsWindow(m_hWnd)) {
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hWnd);
  }
}

LRESULT CALLBACK ControlHost::Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<ControlHost*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  if (self != nullptr) {
    if (uMsg == WM_COMMAND) {
      self->m_commands.push_back(
          CommandRecord{LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
      if (self->onCommand) self->onCommand(self->m_commands.back());
      return 0;
    }
    if (uMsg == WM_PARENTNOTIFY && LOWORD(wParam) == WM_CREATE && self->onChildCreated) {
      self->onChildCreated(reinterpret_cast<HWND>(lParam));
      return 0;
    }
  }
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

void ExpectControlKeepsText(HWND hCtrl, const char* pszText) {
  const int nLen = static_cast<int>(std::strlen(pszText));
  ASSERT_EQ(Mirel_NewFile(hCtrl), 1);
  ASSERT_EQ(Mirel_InsertA(hCtrl, pszText, nLen, TRUE), 1);
  std::string text(static_cast<size_t>(nLen) + 1, '\0');
  EXPECT_EQ(Mirel_GetTextA(hCtrl, &text[0], 0, nLen), nLen);
  EXPECT_STREQ(text.c_str(), pszText);
}

}  // namespace mirel_test
