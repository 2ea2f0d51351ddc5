// Speed as a host sees it, through the exported functions on a control
// window: loading a 100 MiB ANSI text (new file, then one insert of all of
// it), with word wrap and line numbers too; the start of a paragraph and the
// paragraph of a position; one character typed at the start; a window
// resized over a wrapped text.
#include <windows.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

constexpr char kHostClass[] = "MirelBenchHost";

// ANSI text of about nBytes in CR LF lines of 10 to 90 characters (about
// 50 on average, about 2 million lines in 100 MiB).
std::string MakeText(size_t nBytes) {
  std::mt19937 rng(4242);
  std::string text;
  text.reserve(nBytes + 128);
  while (text.size() < nBytes) {
    const int nLine = 10 + static_cast<int>(rng() % 81);
    for (int i = 0; i < nLine; ++i) text.push_back(i % 7 == 6 ? ' ' : static_cast<char>('a' + rng() % 26));
    text += "\r\n";
  }
  return text;
}

const std::string& BigText() {
  static const std::string text = MakeText(100u << 20);
  return text;
}

// A host window with one control in it, as a host makes them.
class BenchControl {
 public:
  BenchControl() {
    static const bool bRegistered = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = DefWindowProcA;
      wc.lpszClassName = kHostClass;
      return RegisterClassA(&wc) != 0;
    }();
    (void)bRegistered;
    m_hHost = CreateWindowExA(0, kHostClass, "host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                              nullptr, nullptr);
    m_hCtrl = Mirel_Create(m_hHost, 1, 0, 0, 700, 500, 0, WS_CHILD | WS_VISIBLE);
  }
  ~BenchControl() {
    Mirel_Destroy(m_hCtrl);
    DestroyWindow(m_hHost);
  }
  HWND Get() const { return m_hCtrl; }

  // Word wrap has no export yet: set on the document, then sized as a host would.
  void SetWrap(int nMode) {
    Mirel_NewFile(m_hCtrl);
    MirelFindDoc(m_hCtrl)->nWrapMode = static_cast<BYTE>(nMode);
    MoveWindow(m_hCtrl, 0, 0, 701, 500, FALSE);
    MoveWindow(m_hCtrl, 0, 0, 700, 500, FALSE);
  }
  void Load(const std::string& text) {
    Mirel_NewFile(m_hCtrl);
    Mirel_InsertA(m_hCtrl, text.data(), static_cast<int>(text.size()), FALSE);
  }

 private:
  HWND m_hHost = nullptr;
  HWND m_hCtrl = nullptr;
};

void SetLoadCounters(benchmark::State& state, const std::string& text) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_ExportLoad100MiB(benchmark::State& state) {
  const std::string& text = BigText();
  BenchControl ctrl;
  for (auto _ : state) {
    ctrl.Load(text);
    benchmark::DoNotOptimize(Mirel_GetLineCount(ctrl.Get()));
  }
  SetLoadCounters(state, text);
  // Memory the loaded document holds: the text store, the row table and
  // the two indexes beside it (one entry per eight rows or paragraphs).
  const CMirelDoc* pDoc = MirelFindDoc(ctrl.Get());
  const double nIndexes = 4.0 * (pDoc->nLineCount / 8 + 1 + Mirel_GetParagraphCount(ctrl.Get()) / 8 + 1);
  state.counters["doc_MiB"] = (static_cast<double>(pDoc->pContents->nAlloc) +
                               static_cast<double>(pDoc->nLineAlloc) * sizeof(MIREL_LINE) + nIndexes) /
                              (1 << 20);
}
BENCHMARK(BM_ExportLoad100MiB)->Unit(benchmark::kMillisecond)->Iterations(7);

// Word wrap on; line numbers shown (1) or hidden (0).
void BM_ExportLoadWrapped10MiB(benchmark::State& state) {
  static const std::string text = MakeText(10u << 20);
  BenchControl ctrl;
  Mirel_EnableLineNo(ctrl.Get(), state.range(0) != 0);
  ctrl.SetWrap(MIREL_WRAP_WORD);
  // Whole-text layouts of each load (a new file starts a new store and
  // count); the first load goes into a fresh window, whose scroll bar may
  // change.
  double nLayouts = 0;
  for (auto _ : state) {
    ctrl.Load(text);
    benchmark::DoNotOptimize(Mirel_GetLineCount(ctrl.Get()));
    nLayouts += MirelFindDoc(ctrl.Get())->pContents->nFullLayouts;
  }
  SetLoadCounters(state, text);
  state.counters["layouts_per_load"] = nLayouts / static_cast<double>(state.iterations());
  // The numbers narrow the text area: more rows wrap, which is part of the cost.
  state.counters["rows"] = Mirel_GetLineCount(ctrl.Get());
}
BENCHMARK(BM_ExportLoadWrapped10MiB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(7);

// Dragging the bottom edge of a window over a wrapped 10 MiB text: every
// step changes the height only (arg 0), or the width too (arg 1), which
// moves the wrap points.
void BM_ExportResizeWrapped10MiB(benchmark::State& state) {
  static const std::string text = MakeText(10u << 20);
  BenchControl ctrl;
  ctrl.SetWrap(MIREL_WRAP_WORD);
  ctrl.Load(text);
  const bool bWidth = state.range(0) != 0;
  int nStep = 0;
  for (auto _ : state) {
    ++nStep;
    MoveWindow(ctrl.Get(), 0, 0, bWidth ? 700 - (nStep & 1) * 20 : 700, 500 - (nStep & 1) * 20, FALSE);
    benchmark::DoNotOptimize(Mirel_GetLineCount(ctrl.Get()));
  }
}
BENCHMARK(BM_ExportResizeWrapped10MiB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);

// Paragraph look-ups on the loaded 100 MiB text, wrap off (0) or on (1), at
// spread-out paragraphs.
class LoadedFixture {
 public:
  explicit LoadedFixture(int nWrap) {
    if (nWrap != 0) ctrl.SetWrap(MIREL_WRAP_WORD);
    ctrl.Load(BigText());
    nParagraphs = Mirel_GetParagraphCount(ctrl.Get());
    nLength = Mirel_GetContentsSize(ctrl.Get());
    std::mt19937 rng(7);
    for (int i = 0; i < 4096; ++i) {
      paras.push_back(static_cast<int>(rng() % static_cast<unsigned>(nParagraphs)));
      positions.push_back(static_cast<int>(rng() % static_cast<unsigned>(nLength)));
    }
  }
  BenchControl ctrl;
  int nParagraphs = 0;
  int nLength = 0;
  std::vector<int> paras;
  std::vector<int> positions;
};

LoadedFixture& Loaded(int nWrap) {
  static LoadedFixture unwrapped(0);
  if (nWrap == 0) return unwrapped;
  static LoadedFixture wrapped(1);
  return wrapped;
}

void BM_ExportParagraphStart(benchmark::State& state) {
  LoadedFixture& f = Loaded(static_cast<int>(state.range(0)));
  size_t i = 0;
  for (auto _ : state) {
    int nStart = 0, nEnd = 0;
    Mirel_GetParagraph(f.ctrl.Get(), f.paras[i++ & 4095], &nStart, &nEnd);
    benchmark::DoNotOptimize(nStart);
  }
}
BENCHMARK(BM_ExportParagraphStart)->Arg(0)->Arg(1);

void BM_ExportParagraphOfPosition(benchmark::State& state) {
  LoadedFixture& f = Loaded(static_cast<int>(state.range(0)));
  size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(Mirel_GetParagraphIndex(f.ctrl.Get(), f.positions[i++ & 4095]));
}
BENCHMARK(BM_ExportParagraphOfPosition)->Arg(0)->Arg(1);

// The same while typing: a character typed at the start (untimed) moves
// every row after it, then 256 look-ups; items are look-ups.
void BM_ExportParagraphOfPositionWhileTyping(benchmark::State& state) {
  LoadedFixture& f = Loaded(static_cast<int>(state.range(0)));
  const HWND hCtrl = f.ctrl.Get();
  constexpr int kLookups = 256;
  size_t i = 0;
  int nTyped = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (nTyped == 32) {
      Mirel_SetSel(hCtrl, 0, nTyped, TRUE);
      Delete(hCtrl, 0);
      nTyped = 0;
    }
    Mirel_SetSel(hCtrl, 0, 0, TRUE);
    Mirel_InsertA(hCtrl, "x", 1, FALSE);
    ++nTyped;
    state.ResumeTiming();
    for (int k = 0; k < kLookups; ++k)
      benchmark::DoNotOptimize(Mirel_GetParagraphIndex(hCtrl, f.positions[i++ & 4095]));
  }
  Mirel_SetSel(hCtrl, 0, nTyped, TRUE);
  Delete(hCtrl, 0);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kLookups);
}
BENCHMARK(BM_ExportParagraphOfPositionWhileTyping)->Arg(0)->Arg(1)->Iterations(200);

// One character typed through the exports, per iteration: at the start of
// the 100 MiB text (the whole text moves), or alternately at the start and
// at the end (1). Every 32 characters the typed ones are taken out again,
// untimed, so the text keeps its size.
void BM_ExportTypeAtStart(benchmark::State& state) {
  LoadedFixture& f = Loaded(0);
  const HWND hCtrl = f.ctrl.Get();
  const bool bAlternate = state.range(0) != 0;
  int nTyped = 0;
  for (auto _ : state) {
    const int nLen = Mirel_GetContentsSize(hCtrl);
    const int nAt = bAlternate && (nTyped & 1) ? nLen : 0;
    Mirel_SetSel(hCtrl, nAt, nAt, TRUE);
    Mirel_InsertA(hCtrl, "x", 1, TRUE);
    if (++nTyped == 32) {
      state.PauseTiming();
      const int nEnd = bAlternate ? 16 : 32;
      Mirel_SetSel(hCtrl, 0, nEnd, TRUE);
      Delete(hCtrl, 0);
      if (bAlternate) {
        const int nNewLen = Mirel_GetContentsSize(hCtrl);
        Mirel_SetSel(hCtrl, nNewLen - 16, nNewLen, TRUE);
        Delete(hCtrl, 0);
      }
      nTyped = 0;
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_ExportTypeAtStart)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(64);

}  // namespace
