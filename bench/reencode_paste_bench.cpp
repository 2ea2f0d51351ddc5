// Speed of the whole-text re-encoding of a 100 MB document between ANSI
// (code page 949), UTF-8 and UTF-16, and of pasting 10 MB of clipboard text
// at the start of a 100 MB document.
#include <windows.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_documents.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"

namespace {

// Code page 949 text of about nBytes: lines of ASCII words with every fourth
// word a Hangul one (two-byte characters), CR LF line ends.
std::string MakeKoreanText(size_t nBytes, unsigned nSeed) {
  std::mt19937 rng(nSeed);
  std::string text;
  text.reserve(nBytes + 128);
  while (text.size() < nBytes) {
    const int nWords = 2 + static_cast<int>(rng() % 12);
    for (int w = 0; w < nWords; ++w) {
      const int nLen = 2 + static_cast<int>(rng() % 6);
      if (rng() % 4 == 0) {
        for (int i = 0; i < nLen; ++i) {
          text.push_back(static_cast<char>(0xB0 + rng() % 0x17));  // lead byte of a Hangul syllable
          text.push_back(static_cast<char>(0xA1 + rng() % 0x5E));
        }
      } else {
        for (int i = 0; i < nLen; ++i) text.push_back(static_cast<char>('a' + rng() % 26));
      }
      text.push_back(' ');
    }
    text += "\r\n";
  }
  return text;
}

const std::string& BigText() {
  static const std::string text = MakeKoreanText(100u << 20, 7);
  return text;
}

// ANSI -> UTF-8 -> UTF-16 -> ANSI, one switch per iteration; the bytes
// processed are the source bytes of each switch.
void BM_SetFileEncodingCycle(benchmark::State& state) {
  auto doc = mirel_bench::MakeCp949Document(BigText());
  const int order[] = {MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_ANSI};
  size_t nStep = 0;
  long long nBytes = 0;
  for (auto _ : state) {
    const int nTarget = order[nStep++ % 3];
    nBytes += doc->GetContentsSize();
    if (!doc->SetFileEncoding(nTarget)) state.SkipWithError("conversion failed");
  }
  state.SetBytesProcessed(nBytes);
}
BENCHMARK(BM_SetFileEncodingCycle)->Iterations(6)->Unit(benchmark::kMillisecond);

// One switch of a pair; the document is converted back outside the timing.
void BM_SetFileEncoding(benchmark::State& state) {
  const int nFrom = static_cast<int>(state.range(0));
  const int nTo = static_cast<int>(state.range(1));
  auto doc = mirel_bench::MakeCp949Document(BigText());
  if (nFrom != MIREL_ENCODING_ANSI) doc->SetFileEncoding(nFrom);
  long long nBytes = 0;
  for (auto _ : state) {
    nBytes += doc->GetContentsSize();
    if (!doc->SetFileEncoding(nTo)) state.SkipWithError("conversion failed");
    state.PauseTiming();
    doc->SetFileEncoding(nFrom);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(nBytes);
}
BENCHMARK(BM_SetFileEncoding)
    ->Args({MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8})
    ->Args({MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE})
    ->Args({MIREL_ENCODING_UTF8, MIREL_ENCODING_ANSI})
    ->Args({MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE})
    ->Args({MIREL_ENCODING_UTF16LE, MIREL_ENCODING_ANSI})
    ->Args({MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// 10 MB of CF_TEXT pasted at the start of a 100 MB document: clipboard
// read, insertion, undo record and re-layout. Undone outside the timing.
void BM_Paste10MBAtStartOf100MB(benchmark::State& state) {
  auto doc = mirel_bench::MakeCp949Document(BigText());
  CMirel edit(doc.get());
  const std::string clip = MakeKoreanText(10u << 20, 11);
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, clip.size() + 1);
  std::memcpy(GlobalLock(h), clip.c_str(), clip.size() + 1);
  GlobalUnlock(h);
  OpenClipboard(nullptr);
  EmptyClipboard();
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
  for (auto _ : state) {
    doc->nCaretPos = 0;
    doc->cli = 0;
    doc->block.Reset(0, 0, FALSE);
    if (!doc->Paste(&edit)) state.SkipWithError("paste failed");
    state.PauseTiming();
    doc->Undo(&edit);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<long long>(state.iterations()) * static_cast<long long>(clip.size()));
}
BENCHMARK(BM_Paste10MBAtStartOf100MB)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
