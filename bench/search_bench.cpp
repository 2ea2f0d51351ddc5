// Speed of find on 100 MB texts with the needle absent, one call over the
// whole text: plain match-case and ignore-case finds and two literal-prefixed
// regular expressions in ANSI, and plain finds in UTF-8 and UTF-16 texts.
// And counting every occurrence of a common word by repeated finds, one call
// per match as a host steps through them; and stepping backward from the end
// of one long line of double-byte Korean text, where no byte tells alone
// whether it starts a character.
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_documents.h"
#include "bench_texts.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"

namespace {

using mirel_bench::MakeSearchText;
using mirel_bench::MakeWordText;

constexpr size_t kTextBytes = 100u << 20;

std::string Widen(const std::string& ascii) {
  std::string out;
  out.reserve(ascii.size() * 2);
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

std::unique_ptr<CMirelDoc> MakeSearchDoc(const std::string& text, int nEncoding) {
  auto doc = std::make_unique<CMirelDoc>();
  doc->nFileEncoding = static_cast<BYTE>(nEncoding);
  doc->NewFile();
  doc->nLeftMargin = 0;
  doc->nTextWidth = 640;
  doc->InsertContents(0, reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()), FALSE);
  return doc;
}

CMirelDoc& AnsiDoc() {
  static std::unique_ptr<CMirelDoc> doc =
      MakeSearchDoc(MakeSearchText(kTextBytes, false), MIREL_ENCODING_ANSI);
  return *doc;
}

CMirelDoc& WordDoc() {
  static std::unique_ptr<CMirelDoc> doc = MakeSearchDoc(MakeWordText(kTextBytes), MIREL_ENCODING_ANSI);
  return *doc;
}

CMirelDoc& Utf8Doc() {
  static std::unique_ptr<CMirelDoc> doc =
      MakeSearchDoc(MakeSearchText(kTextBytes, true), MIREL_ENCODING_UTF8);
  return *doc;
}

CMirelDoc& Utf16Doc() {
  static std::unique_ptr<CMirelDoc> doc =
      MakeSearchDoc(Widen(MakeSearchText(kTextBytes / 2, false)), MIREL_ENCODING_UTF16LE);
  return *doc;
}

void RunFind(benchmark::State& state, CMirelDoc& doc, const std::string& pattern, int nFlags) {
  for (auto _ : state) {
    int nPos = 0;
    const int nFound = doc.FindText(reinterpret_cast<const BYTE*>(pattern.data()),
                                    static_cast<int>(pattern.size()), nFlags, FALSE, &nPos, FALSE);
    if (nFound != 0) state.SkipWithError("the needle is in the text");
    benchmark::DoNotOptimize(nFound);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * doc.GetContentsSize());
}

void BM_FindAnsiMatchCase(benchmark::State& state) {
  RunFind(state, AnsiDoc(), "needlezx", MIREL_FIND_MATCHCASE);
}
BENCHMARK(BM_FindAnsiMatchCase)->Unit(benchmark::kMillisecond);

void BM_FindAnsiIgnoreCase(benchmark::State& state) {
  RunFind(state, AnsiDoc(), "NeedleZx", 0);
}
BENCHMARK(BM_FindAnsiIgnoreCase)->Unit(benchmark::kMillisecond);

void BM_FindAnsiRegExp(benchmark::State& state) {
  RunFind(state, AnsiDoc(), "needle[0-9]+", MIREL_FIND_MATCHCASE | MIREL_FIND_REGEXP);
}
BENCHMARK(BM_FindAnsiRegExp)->Unit(benchmark::kMillisecond);

// A two-byte prefix that turns up every few hundred bytes, then a closure
// with more after it: the matcher itself runs at every candidate.
void BM_FindAnsiRegExpShortPrefix(benchmark::State& state) {
  RunFind(state, AnsiDoc(), "zq[0-9]+x", MIREL_FIND_MATCHCASE | MIREL_FIND_REGEXP);
}
BENCHMARK(BM_FindAnsiRegExpShortPrefix)->Unit(benchmark::kMillisecond);

void BM_FindUtf8MatchCase(benchmark::State& state) {
  RunFind(state, Utf8Doc(), "needle\xEA\xB0\x81", MIREL_FIND_MATCHCASE);
}
BENCHMARK(BM_FindUtf8MatchCase)->Unit(benchmark::kMillisecond);

void BM_FindUtf8IgnoreCase(benchmark::State& state) {
  RunFind(state, Utf8Doc(), "Needle\xEA\xB0\x81", 0);
}
BENCHMARK(BM_FindUtf8IgnoreCase)->Unit(benchmark::kMillisecond);

void BM_FindUtf16MatchCase(benchmark::State& state) {
  RunFind(state, Utf16Doc(), Widen("needlezx"), MIREL_FIND_MATCHCASE);
}
BENCHMARK(BM_FindUtf16MatchCase)->Unit(benchmark::kMillisecond);

void BM_FindUtf16IgnoreCase(benchmark::State& state) {
  RunFind(state, Utf16Doc(), Widen("NeedleZx"), 0);
}
BENCHMARK(BM_FindUtf16IgnoreCase)->Unit(benchmark::kMillisecond);

// Every occurrence of "with", found one call after another from the caret
// as a host counts them.
void BM_FindEveryMatchRepeated(benchmark::State& state) {
  CMirelDoc& doc = WordDoc();
  long long nMatches = 0;
  for (auto _ : state) {
    doc.SetSel(0, 0, FALSE);
    int nPos = 0;
    nMatches = 0;
    while (doc.FindTextA("with", MIREL_FIND_MATCHCASE, TRUE, &nPos, FALSE) == 1) ++nMatches;
    benchmark::DoNotOptimize(nMatches);
  }
  state.counters["matches"] = static_cast<double>(nMatches);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * doc.GetContentsSize());
}
BENCHMARK(BM_FindEveryMatchRepeated)->Unit(benchmark::kMillisecond);

// 500 backward finds, one after another from the end of a line of Hangul
// syllables in code page 949 without a space or line end, state.range(0)
// bytes long (every byte of it may be a lead byte).
void BM_FindBackwardInKoreanLine(benchmark::State& state) {
  static const char kSyllables[] =
      "\xB0\xA1\xB3\xAA\xB4\xD9\xB6\xF3\xB8\xB6\xB9\xD9\xBB\xE7";  // ga na da ra ma ba sa
  std::string line;
  while (line.size() < static_cast<size_t>(state.range(0))) line += kSyllables;
  auto doc = mirel_bench::MakeCp949Document(line);
  const DWORD nEnd = doc->GetContentsSize();
  // range(1): the syllable as a regular expression.
  const int nFlags = MIREL_FIND_BACKWARD | MIREL_FIND_MATCHCASE | (state.range(1) ? MIREL_FIND_REGEXP : 0);
  for (auto _ : state) {
    doc->SetSel(nEnd, nEnd, FALSE);
    int nPos = 0;
    for (int i = 0; i < 500; ++i) {
      if (doc->FindTextA("\xB8\xB6", nFlags, TRUE, &nPos, FALSE) != 1) {
        state.SkipWithError("a syllable was not found");
        break;
      }
    }
    benchmark::DoNotOptimize(nPos);
  }
}
BENCHMARK(BM_FindBackwardInKoreanLine)
    ->ArgsProduct({{100 << 10, 1 << 20}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
