// Keystroke latency through the real control window: a Windows program that
// loads the control library, fills a 1000 x 700 control and times, with
// QueryPerformanceCounter, what a user waits for after each input: a full
// repaint, one character typed at the start and at the end, Backspace, Page
// Down and a caret move next to a bracket, each followed by UpdateWindow.
// Prints the median of 30 rounds per document size as a table, and the
// system's own cost of redrawing one scroll bar, which bounds every keystroke
// that changes a bar.
// Usage: mirel_latency [BYTES ...]   (default 13 10000000 100000000)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "mirelctrl/mirelctrl.h"

namespace {

constexpr int kRounds = 30;
constexpr int kWidth = 1000;
constexpr int kHeight = 700;

double NowMs() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Text of about nBytes: lines of program-like text with brackets, CR LF.
std::string MakeText(long long nBytes) {
  if (nBytes <= 13) return std::string("int f(a);\r\nx", static_cast<size_t>(std::max(0LL, nBytes)));
  static const char kLine[] = "    if (count[index] > limit) { total += value(index); }  // check\r\n";
  std::string s;
  s.reserve(static_cast<size_t>(nBytes));
  while (static_cast<long long>(s.size()) + static_cast<long long>(sizeof(kLine) - 1) <= nBytes) s += kLine;
  return s;
}

template <typename F>
double Median(F&& once) {
  std::vector<double> times;
  for (int i = 0; i < kRounds; ++i) {
    Pump();
    const double t0 = NowMs();
    once(i);
    times.push_back(NowMs() - t0);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

LRESULT CALLBACK FrameProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

// The floor under any keystroke that changes a scroll bar: the system's own
// redraw of one horizontal bar, on a plain window of the control's size with
// nothing else in it, its range grown by a character's width per round as
// typing at the end of the longest line grows it.
double BarRedrawOnPlainWindow(HWND hFrame, const char* pszClass) {
  HWND h = CreateWindowA(pszClass, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, kWidth, kHeight,
                         hFrame, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (h == nullptr) return 0;
  UpdateWindow(h);
  const double ms = Median([&](int i) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMax = kWidth + 100 + 8 * i;
    si.nPage = kWidth;
    SetScrollInfo(h, SB_HORZ, &si, TRUE);
    UpdateWindow(h);
  });
  DestroyWindow(h);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long long> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoll(argv[i]));
  if (sizes.empty()) sizes = {13, 10000000, 100000000};

  WNDCLASSA wc{};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MirelLatencyFrame";
  RegisterClassA(&wc);
  HWND hFrame = CreateWindowA(wc.lpszClassName, "latency", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              kWidth + 40, kHeight + 60, nullptr, nullptr, wc.hInstance, nullptr);
  if (hFrame == nullptr) return 1;

  std::printf(
      "| document | full repaint | character at start | character at end | Backspace | Page Down | "
      "caret next to a bracket |\n|---|---|---|---|---|---|---|\n");
  for (long long nBytes : sizes) {
    HWND h =
        Mirel_Create(hFrame, 1, 0, 0, kWidth, kHeight, 0, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
    if (h == nullptr || !Mirel_NewFile(h)) return 1;
    const std::string text = MakeText(nBytes);
    Mirel_InsertA(h, text.data(), static_cast<int>(text.size()), FALSE);
    Mirel_EnableLineNo(h, TRUE);
    SetFocus(h);
    Mirel_Goto(h, 0, 0);
    UpdateWindow(h);
    Pump();

    const double repaint = Median([&](int) {
      InvalidateRect(h, nullptr, FALSE);
      UpdateWindow(h);
    });
    const double start = Median([&](int) {
      Mirel_Goto(h, 0, 0);
      SendMessageA(h, WM_CHAR, 'x', 1);
      UpdateWindow(h);
    });
    const int nParagraphs = Mirel_GetParagraphCount(h);
    const double end = Median([&](int) {
      Mirel_Goto(h, nParagraphs - 1, 1 << 30);
      SendMessageA(h, WM_CHAR, 'y', 1);
      UpdateWindow(h);
    });
    // Backspace is a key (WM_KEYDOWN), not a character: it takes back the
    // characters just typed at the end.
    const double back = Median([&](int) {
      SendMessageA(h, WM_KEYDOWN, VK_BACK, 1);
      UpdateWindow(h);
    });
    const double pageDown = Median([&](int i) {
      if (i == 0) Mirel_Goto(h, 0, 0);
      SendMessageA(h, WM_KEYDOWN, VK_NEXT, 1);
      SendMessageA(h, WM_KEYUP, VK_NEXT, 1);
      UpdateWindow(h);
    });
    // Column 4 of the first line stands before "(count": the caret moves onto
    // and off the bracket by turns.
    Mirel_Goto(h, 0, 7);
    const double brace = Median([&](int i) {
      SendMessageA(h, WM_KEYDOWN, (i % 2) == 0 ? VK_RIGHT : VK_LEFT, 1);
      UpdateWindow(h);
    });
    std::printf("| %lld bytes | %.2f ms | %.2f ms | %.2f ms | %.2f ms | %.2f ms | %.2f ms |\n", nBytes,
                repaint, start, end, back, pageDown, brace);
    std::fflush(stdout);
    Mirel_Destroy(h);
  }
  std::printf("\nFor reference, one redraw of a horizontal scroll bar on a plain window: %.2f ms\n",
              BarRedrawOnPlainWindow(hFrame, wc.lpszClassName));
  DestroyWindow(hFrame);
  return 0;
}
