#include "host_main_window.h"

#include <cstdio>

#include "host_code_font.h"
#include "host_text_format.h"

namespace mirel_host {

namespace {

const char kClassName[] = "MirelSampleHostWindow";
constexpr int kMirelControlId = 100;
constexpr WORD kCommandSave = 1;
constexpr WORD kNotifyModified = 1;  // the control's notification when its modified state changes
constexpr int kInitialWidth = 760;
constexpr int kInitialHeight = 540;

bool RegisterWindowClass(HINSTANCE hInstance, WNDPROC pfnWndProc) {
  WNDCLASSEXA wc = {};
  if (GetClassInfoExA(hInstance, kClassName, &wc)) return true;
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = pfnWndProc;
  wc.hInstance = hInstance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  return RegisterClassExA(&wc) != 0;
}

}  // namespace

CHostMainWindow::~CHostMainWindow() {
  if (m_hWnd != nullptr) DestroyWindow(m_hWnd);
}

bool CHostMainWindow::Create(HINSTANCE hInstance, std::string* pError) {
  if (!RegisterWindowClass(hInstance, &CHostMainWindow::WindowProc)) {
    *pError = "cannot register the host window class";
    return false;
  }
  m_hWnd = CreateWindowExA(0, kClassName, "Mirel sample host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                           CW_USEDEFAULT, CW_USEDEFAULT, kInitialWidth, kInitialHeight, nullptr, nullptr,
                           hInstance, this);
  if (m_hWnd == nullptr) {
    *pError = "cannot create the host window";
    return false;
  }
  RECT rcClient = {};
  GetClientRect(m_hWnd, &rcClient);
  m_hWndMirel =
      m_api.pfnCreate(m_hWnd, kMirelControlId, 0, 0, rcClient.right, rcClient.bottom, WS_EX_CLIENTEDGE,
                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP);
  if (m_hWndMirel == nullptr) {
    *pError = "Mirel_Create made no control";
    return false;
  }
  SetCodeFont();
  return true;
}

void CHostMainWindow::SetCodeFont() {
  if (m_api.pfnSetFont == nullptr) return;
  // Code reads best in a fixed-pitch face; this one has Hangul as well.
  HDC hDC = GetDC(nullptr);
  const LOGFONTA lf = CodeFont(hDC != nullptr ? GetDeviceCaps(hDC, LOGPIXELSY) : 96);
  if (hDC != nullptr) ReleaseDC(nullptr, hDC);
  m_api.pfnSetFont(m_hWndMirel, &lf);
}

void CHostMainWindow::ShowOpening(const std::string& strPath) {
  const std::string strTitle = FileNameOf(strPath) + " - opening... - Mirel sample host";
  SetWindowTextA(m_hWnd, strTitle.c_str());
  ShowAndPaint(SW_SHOWDEFAULT);
  // No messages are handled while the file loads, so the cursor stays until then.
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
}

bool CHostMainWindow::Open(const std::string& strPath, const char* pBytes, std::size_t nBytes,
                           std::vector<std::string>* pWarnings, std::string* pError) {
  if (!m_document.Load(m_hWndMirel, strPath, pBytes, nBytes, pWarnings, pError)) return false;
  m_bOpened = true;
  UpdateTitle();
  return true;
}

void CHostMainWindow::ShowAndPaint(int nShowCommand) {
  ShowWindow(m_hWnd, nShowCommand);
  SetFocus(m_hWndMirel);
  RedrawWindow(m_hWnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // Everything already posted (activation, focus, size) is handled before anyone looks.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  UpdateWindow(m_hWnd);
}

int CHostMainWindow::RunMessageLoop() {
  ACCEL accel = {FCONTROL | FVIRTKEY, 'S', kCommandSave};
  HACCEL hAccel = CreateAcceleratorTableA(&accel, 1);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (hAccel != nullptr && TranslateAcceleratorA(m_hWnd, hAccel, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (hAccel != nullptr) DestroyAcceleratorTable(hAccel);
  return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK CHostMainWindow::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_NCCREATE) {
    const auto* pCreate = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* pSelf = static_cast<CHostMainWindow*>(pCreate->lpCreateParams);
    pSelf->m_hWnd = hWnd;
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pSelf));
  }
  auto* pSelf = reinterpret_cast<CHostMainWindow*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  if (pSelf == nullptr) return DefWindowProcA(hWnd, uMsg, wParam, lParam);
  return pSelf->HandleMessage(uMsg, wParam, lParam);
}

LRESULT CHostMainWindow::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_SIZE:
      if (m_hWndMirel != nullptr) MoveWindow(m_hWndMirel, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (m_hWndMirel != nullptr) SetFocus(m_hWndMirel);
      return 0;
    case WM_COMMAND:
      if (lParam == 0 && LOWORD(wParam) == kCommandSave) {
        Save();
        return 0;
      }
      if (reinterpret_cast<HWND>(lParam) == m_hWndMirel && HIWORD(wParam) == kNotifyModified) {
        UpdateTitle();
        return 0;
      }
      break;
    case WM_CLOSE:
      if (ConfirmClose()) DestroyWindow(m_hWnd);
      return 0;
    case WM_DESTROY:
      // The control goes first, while its parent still exists.
      if (m_hWndMirel != nullptr) m_api.pfnDestroy(m_hWndMirel);
      m_hWndMirel = nullptr;
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
      m_hWnd = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcA(m_hWnd, uMsg, wParam, lParam);
}

bool CHostMainWindow::Save() {
  if (!m_bOpened) return false;
  std::string strError;
  if (!m_document.SaveAs(m_document.Path(), &strError)) {
    std::fprintf(stderr, "mirelhost: %s\n", strError.c_str());
    MessageBoxA(m_hWnd, strError.c_str(), "Mirel sample host", MB_OK | MB_ICONERROR);
    return false;
  }
  UpdateTitle();
  return true;
}

bool CHostMainWindow::ConfirmClose() {
  if (!m_bOpened || !m_document.IsModified()) return true;
  const std::string strQuestion = "Save the changes to " + FileNameOf(m_document.Path()) + "?";
  switch (MessageBoxA(m_hWnd, strQuestion.c_str(), "Mirel sample host", MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return Save();
    case IDNO:
      return true;
    default:
      return false;
  }
}

void CHostMainWindow::UpdateTitle() {
  if (!m_bOpened || m_hWnd == nullptr) return;
  const bool bModified = m_api.pfnIsModified != nullptr && m_api.pfnIsModified(m_hWndMirel) != FALSE;
  const std::string strTitle =
      WindowTitle(m_document.Path(), m_document.Encoding(), m_document.Format(), bModified);
  SetWindowTextA(m_hWnd, strTitle.c_str());
}

}  // namespace mirel_host
