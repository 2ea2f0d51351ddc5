// Speed of the text store and its line table on large texts: a full rebuild
// without and with word wrap, and one character typed at the start, the
// middle and the end of a 100 MB text (insert, undo record, re-layout).
#include <windows.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"

namespace {

// ANSI text of about nBytes in lines of 10 to 90 characters (about 50 on
// average), words of letters and digits, CR LF line ends.
std::string MakeText(size_t nBytes) {
  std::mt19937 rng(12345);
  std::string text;
  text.reserve(nBytes + 128);
  while (text.size() < nBytes) {
    const int nLine = 10 + static_cast<int>(rng() % 81);
    int nWord = 0;
    for (int i = 0; i < nLine; ++i) {
      if (nWord > 2 && rng() % 6 == 0) {
        text.push_back(' ');
        nWord = 0;
      } else {
        text.push_back(static_cast<char>('a' + rng() % 26));
        ++nWord;
      }
    }
    text += "\r\n";
  }
  return text;
}

// Widths come from the document's own measuring (the screen while no edit
// window exists); the wrap width is that of a window about 640 pixels wide.
void SetMetrics(CMirelDoc& doc) {
  doc.nLeftMargin = 0;
  doc.nTextWidth = 640;
}

std::unique_ptr<CMirelDoc> MakeDocument(const std::string& text, int nWrapMode) {
  auto doc = std::make_unique<CMirelDoc>();
  doc->NewFile();
  SetMetrics(*doc);
  doc->nWrapMode = static_cast<BYTE>(nWrapMode);
  doc->InsertContents(0, reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()), FALSE);
  return doc;
}

const std::string& BigText() {
  static const std::string text = MakeText(100u << 20);
  return text;
}

const std::string& WrapText() {
  static const std::string text = MakeText(10u << 20);
  return text;
}

void ReportTable(benchmark::State& state, const CMirelDoc& doc) {
  state.counters["rows"] = doc.nLineCount;
  state.counters["table_MB_used"] = doc.nLineCount * static_cast<double>(sizeof(MIREL_LINE)) / (1 << 20);
  state.counters["table_MB_alloc"] = doc.nLineAlloc * static_cast<double>(sizeof(MIREL_LINE)) / (1 << 20);
}

void BM_RebuildNoWrap100MB(benchmark::State& state) {
  auto doc = MakeDocument(BigText(), MIREL_WRAP_NONE);
  for (auto _ : state) benchmark::DoNotOptimize(doc->ReloadContents());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(doc->GetContentsSize()));
  ReportTable(state, *doc);
}
BENCHMARK(BM_RebuildNoWrap100MB)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_RebuildWordWrap10MB(benchmark::State& state) {
  auto doc = MakeDocument(WrapText(), MIREL_WRAP_WORD);
  for (auto _ : state) benchmark::DoNotOptimize(doc->ReloadContents());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(doc->GetContentsSize()));
  ReportTable(state, *doc);
}
BENCHMARK(BM_RebuildWordWrap10MB)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Types characters one after another at a place given in per mille of the
// text. Every 32 characters the typed word is taken out again (untimed), so
// the line stays as long as typing makes it.
void TypeAt(benchmark::State& state, int nWrapMode) {
  auto doc = MakeDocument(nWrapMode == MIREL_WRAP_NONE ? BigText() : WrapText(), nWrapMode);
  DWORD nStart =
      static_cast<DWORD>(static_cast<unsigned long long>(doc->GetContentsSize()) * state.range(0) / 1000);
  // Type inside a line, not between CR and LF.
  while (nStart > 0 && nStart < doc->GetContentsSize() && doc->pContents->GetTextByte(nStart) == '\n')
    --nStart;
  const BYTE ch = 'x';
  DWORD nTyped = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(doc->InsertContents(nStart + nTyped, &ch, 1, TRUE));
    if (++nTyped == 32) {
      state.PauseTiming();
      doc->DeleteContents(nStart, nTyped, FALSE);
      doc->undo.Reset();
      nTyped = 0;
      state.ResumeTiming();
    }
  }
  ReportTable(state, *doc);
}

void BM_TypeNoWrap100MB(benchmark::State& state) {
  TypeAt(state, MIREL_WRAP_NONE);
}
BENCHMARK(BM_TypeNoWrap100MB)->Arg(0)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_TypeWordWrap10MB(benchmark::State& state) {
  TypeAt(state, MIREL_WRAP_WORD);
}
BENCHMARK(BM_TypeWordWrap10MB)->Arg(0)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
