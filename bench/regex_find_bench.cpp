// Regular-expression finds that find nothing, as a host runs them through
// Mirel_FindTextA on a control: about 1 MiB of prose in lines of 200, 2,000
// or 20,000 bytes, with patterns whose closures can be retried at every
// length (the cases that used to freeze the window), one backward, and one
// with a back reference (bounded by the step budget).
#include <windows.h>

#include <string>

#include <benchmark/benchmark.h>

#include "bench_parent.h"
#include "mirelctrl/mirelctrl.h"

namespace {

constexpr size_t kTextBytes = 1u << 20;

// Lines of nLine bytes (CR LF included) of words and spaces, with neither
// "#" nor "=" in them.
std::string Prose(size_t nLine) {
  static const char* const kWords[] = {"a",     "bank",    "of",    "clouds", "drifted", "above", "the",
                                       "quiet", "harbour", "while", "boats",  "waited",  "for",   "tide"};
  std::string text;
  text.reserve(kTextBytes + nLine);
  size_t nWord = 0;
  while (text.size() < kTextBytes) {
    const size_t nStart = text.size();
    while (text.size() - nStart + 2 < nLine) {
      text += kWords[nWord++ % (sizeof(kWords) / sizeof(kWords[0]))];
      text += ' ';
    }
    text.resize(nStart + nLine - 2);
    text += "\r\n";
  }
  return text;
}

struct Case {
  const char* pszPattern;
  size_t nLine;
  bool bBackward;
};

void BM_RegexFindNothing(benchmark::State& state, Case c) {
  const std::string text = Prose(c.nLine);
  HWND h = Mirel_Create(BenchParentWindow(), 1, 0, 0, 700, 500, 0, WS_CHILD);
  Mirel_NewFile(h);
  Mirel_InsertA(h, text.data(), static_cast<int>(text.size()), FALSE);
  const int nFlags = MIREL_FIND_REGEXP | MIREL_FIND_MATCHCASE | (c.bBackward ? MIREL_FIND_BACKWARD : 0);
  for (auto _ : state) {
    int nPos = c.bBackward ? Mirel_GetContentsSize(h) : 0;
    const int nFound = Mirel_FindTextA(h, c.pszPattern, nFlags, FALSE, &nPos, FALSE);
    if (nFound != 0) state.SkipWithError("the pattern was found");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
  Mirel_Destroy(h);
}

BENCHMARK_CAPTURE(BM_RegexFindNothing, a_b_hash_200, Case{"a.*b.*#", 200, false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RegexFindNothing, a_b_hash_2000, Case{"a.*b.*#", 2000, false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RegexFindNothing, a_b_hash_20000, Case{"a.*b.*#", 20000, false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RegexFindNothing, a_b_hash_2000_backward, Case{"a.*b.*#", 2000, true})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RegexFindNothing, any_any_eq_2000, Case{".*.*=", 2000, false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RegexFindNothing, words_eq_200, Case{"\\w+.*\\w+.*=", 200, false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RegexFindNothing, any_x8_hash_200, Case{".*.*.*.*.*.*.*.*#", 200, false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RegexFindNothing, any_x64_eq_200,
                  Case{".*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*"
                       ".*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*.*=",
                       200, false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RegexFindNothing, backref_2000, Case{"\\(a\\).*.*\\1.*#", 2000, false})
    ->Unit(benchmark::kMillisecond);

}  // namespace
