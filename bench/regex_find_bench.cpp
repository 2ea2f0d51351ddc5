// Regular-expression finds that find nothing, as a host runs them through
// Mirel_FindTextA on a control: about 1 MiB of prose in lines of 200, 2,000
// or 20,000 bytes, with patterns whose closures can be retried at every
// length (the cases that used to freeze the window), one backward, and one
// with a back reference (bounded by the step budget). Then single long
// lines: one whose record of failures passes its memory cap, and ones where
// every match starts or ends inside a character, so the find passes over
// all of them.
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

// One line of text in a document of the given encoding (and code page).
struct LongLineCase {
  int nEncoding;
  int nCodePage;
  std::string text;
  std::string pattern;
  bool bBackward;
  bool bFound;
};

std::string Repeat(const std::string& piece, size_t nTimes) {
  std::string s;
  s.reserve(piece.size() * nTimes);
  for (size_t i = 0; i < nTimes; ++i) s += piece;
  return s;
}

void BM_RegexFindLongLine(benchmark::State& state, const LongLineCase& c) {
  HWND h = Mirel_Create(BenchParentWindow(), 1, 0, 0, 700, 500, 0, WS_CHILD);
  if (c.nCodePage != 0) Mirel_SetCodePage(h, c.nCodePage);
  Mirel_SetFileEncoding(h, c.nEncoding);
  Mirel_NewFile(h);
  if (c.nEncoding == MIREL_ENCODING_UTF8) {
    Mirel_InsertU(h, c.text.data(), static_cast<int>(c.text.size()), FALSE);
  } else {
    Mirel_InsertA(h, c.text.data(), static_cast<int>(c.text.size()), FALSE);
  }
  const int nFlags = MIREL_FIND_REGEXP | MIREL_FIND_MATCHCASE | (c.bBackward ? MIREL_FIND_BACKWARD : 0);
  for (auto _ : state) {
    int nPos = c.bBackward ? Mirel_GetContentsSize(h) : 0;
    const int nFound = Mirel_FindTextA(h, c.pattern.c_str(), nFlags, FALSE, &nPos, FALSE);
    if ((nFound != 0) != c.bFound) state.SkipWithError("the find gave another answer");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c.text.size()));
  Mirel_Destroy(h);
}

// 30 closures over an 18 MiB line with "#" in its middle.
LongLineCase PastTheRecordCap() {
  std::string text(18u << 20, 'w');
  text[text.size() / 2] = '#';
  return {MIREL_ENCODING_ANSI, 0, text, Repeat(".*", 30) + "#", false, true};
}

const std::string kGa = "\xB0\xA1";  // code page 949
const std::string kE = "\xC3\xA9";   // UTF-8

BENCHMARK_CAPTURE(BM_RegexFindLongLine, any_x30_hash_18MiB, PastTheRecordCap())
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RegexFindLongLine, cp949_ga_any_ga_60KB,
                  LongLineCase{MIREL_ENCODING_ANSI, 949, Repeat(kGa, 30000), kGa + ".*" + kGa + ".", false,
                               false})
    ->Unit(benchmark::kMillisecond);
// Half the line "\xC3\xA9" (U+00E9), half ASCII: every match of the
// patterns below ends inside a character, after backtracking over the tail.
std::string AccentsThenAscii(size_t nBytes) {
  return Repeat(kE, nBytes / 4) + std::string(nBytes / 2, 'a');
}

BENCHMARK_CAPTURE(BM_RegexFindLongLine, utf8_c3_any_c3_64KB,
                  LongLineCase{MIREL_ENCODING_UTF8, 0, AccentsThenAscii(64 * 1024), "\\xC3.*\\xC3", false,
                               false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RegexFindLongLine, utf8_c3_any_x100_c3_4KB,
                  LongLineCase{MIREL_ENCODING_UTF8, 0, AccentsThenAscii(4 * 1024),
                               "\\xC3" + Repeat(".*", 100) + "\\xC3", false, false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RegexFindLongLine, utf8_c3_any_x100_c3_4KB_backward,
                  LongLineCase{MIREL_ENCODING_UTF8, 0, AccentsThenAscii(4 * 1024),
                               "\\xC3" + Repeat(".*", 100) + "\\xC3", true, false})
    ->Unit(benchmark::kMillisecond);

}  // namespace
