// Speed of the editing commands next to the far end of very long text: a
// 64 KB line without wrap and a 1 MB paragraph with word wrap, each opened by
// "(" and closed by ")" at its end. Measured per command, in a real control:
// a caret move beside the ")" (its partner is found at the start), Backspace
// at the end, Ctrl+Left and a full paint.
#include <windows.h>

#include <climits>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_parent.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

constexpr UINT kCtrl = 0x08;  // modifier bit of the key command

// "(" + words of letters + ")", nBytes long, without a line end.
std::string Paragraph(size_t nBytes) {
  std::string text = "(";
  while (text.size() + 1 < nBytes)
    text += (text.size() % 9 == 8) ? ' ' : static_cast<char>('a' + text.size() % 26);
  return text + ")";
}

// A focused control showing the text, the caret after the closing bracket.
class LongText {
 public:
  LongText(size_t nBytes, int nWrapMode) {
    h = Mirel_Create(BenchParentWindow(), 9, 0, 0, 800, 600, 0,
                     WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
    CMirelDoc* pdoc = MirelFindDoc(h);
    pdoc->nWrapMode = static_cast<BYTE>(nWrapMode);
    Mirel_NewFile(h);
    SendMessageA(h, WM_SIZE, 0, MAKELPARAM(800, 600));
    const std::string text = Paragraph(nBytes);
    Mirel_InsertA(h, text.data(), static_cast<int>(text.size()), FALSE);
    SetFocus(h);
    nEnd = Mirel_GetContentsSize(h);
    Mirel_SetSel(h, nEnd, nEnd, FALSE);
    UpdateWindow(h);
  }
  ~LongText() { Mirel_Destroy(h); }
  void Key(UINT vk, UINT nModifiers = 0) { SendMessageA(h, WM_MIREL_KEYCOMMAND, vk, nModifiers); }

  HWND h = nullptr;
  int nEnd = 0;
};

struct Scenario {
  size_t nBytes;
  int nWrapMode;
};
constexpr Scenario kLine64K{65536, MIREL_WRAP_NONE};
constexpr Scenario kParagraph1MB{1u << 20, MIREL_WRAP_WORD};

void CaretMoveBesideBracket(benchmark::State& state, Scenario s) {
  LongText t(s.nBytes, s.nWrapMode);
  bool bLeft = true;
  for (auto _ : state) {
    t.Key(bLeft ? VK_LEFT : VK_RIGHT);
    bLeft = !bLeft;
  }
  CMirelDoc* pdoc = MirelFindDoc(t.h);
  if (pdoc->nBracePos[0] != 0) state.SkipWithError("the bracket pair was not found");
}

void BackspaceAtTheEnd(benchmark::State& state, Scenario s) {
  LongText t(s.nBytes, s.nWrapMode);
  for (auto _ : state) {
    t.Key(VK_BACK);
    state.PauseTiming();
    Mirel_InsertA(t.h, ")", 1, FALSE);
    state.ResumeTiming();
  }
}

void CtrlLeftFromTheEnd(benchmark::State& state, Scenario s) {
  LongText t(s.nBytes, s.nWrapMode);
  for (auto _ : state) {
    t.Key(VK_LEFT, kCtrl);
    state.PauseTiming();
    Mirel_SetSel(t.h, t.nEnd, t.nEnd, FALSE);
    state.ResumeTiming();
  }
}

void FullPaint(benchmark::State& state, Scenario s) {
  LongText t(s.nBytes, s.nWrapMode);
  for (auto _ : state) {
    InvalidateRect(t.h, nullptr, FALSE);
    UpdateWindow(t.h);
  }
}

BENCHMARK_CAPTURE(CaretMoveBesideBracket, Line64K, kLine64K)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(CaretMoveBesideBracket, Paragraph1MBWrapped, kParagraph1MB)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BackspaceAtTheEnd, Line64K, kLine64K)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BackspaceAtTheEnd, Paragraph1MBWrapped, kParagraph1MB)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(CtrlLeftFromTheEnd, Line64K, kLine64K)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(CtrlLeftFromTheEnd, Paragraph1MBWrapped, kParagraph1MB)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullPaint, Line64K, kLine64K)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullPaint, Paragraph1MBWrapped, kParagraph1MB)->Unit(benchmark::kMicrosecond);

}  // namespace
