// The two halves of a whole-text re-encoding of a 100 MB document apart:
// the converter alone (into memory) and the full re-layout of the converted
// text, so that a change to either shows on its own.
#include <windows.h>

#include <map>
#include <memory>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirel/cmrcharencoder.h"

namespace {

// Code page 949 text: ASCII words with every fourth word a Hangul one, CR LF
// line ends (the text of the re-encoding benchmark).
std::string MakeText(size_t nBytes) {
  std::mt19937 rng(7);
  std::string text;
  text.reserve(nBytes + 128);
  while (text.size() < nBytes) {
    const int nWords = 2 + static_cast<int>(rng() % 12);
    for (int w = 0; w < nWords; ++w) {
      const int nLen = 2 + static_cast<int>(rng() % 6);
      if (rng() % 4 == 0) {
        for (int i = 0; i < nLen; ++i) {
          text.push_back(static_cast<char>(0xB0 + rng() % 0x17));
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

// The text in an encoding, converted once from the code page 949 original.
const std::string& TextIn(int nEncoding) {
  static std::map<int, std::string> texts;
  auto it = texts.find(nEncoding);
  if (it != texts.end()) return it->second;
  std::string text = MakeText(100u << 20);
  if (nEncoding != MIREL_ENCODING_ANSI) {
    CMrCharEncoder enc(nullptr, reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()),
                       MIREL_ENCODING_ANSI, 949);
    enc.Convert(nEncoding);
    std::string out(enc.GetOutputLength(), '\0');
    enc.Read(reinterpret_cast<BYTE*>(&out[0]), static_cast<DWORD>(out.size()));
    text.swap(out);
  }
  return texts.emplace(nEncoding, std::move(text)).first->second;
}

void BM_EncoderConvert(benchmark::State& state) {
  const int nFrom = static_cast<int>(state.range(0));
  const int nTo = static_cast<int>(state.range(1));
  const std::string& src = TextIn(nFrom);
  for (auto _ : state) {
    CMrCharEncoder enc(nullptr, reinterpret_cast<const BYTE*>(src.data()), static_cast<DWORD>(src.size()),
                       nFrom, 949);
    if (!enc.Convert(nTo)) state.SkipWithError("conversion failed");
    benchmark::DoNotOptimize(enc.GetOutputLength());
  }
  state.SetBytesProcessed(static_cast<long long>(state.iterations()) * static_cast<long long>(src.size()));
}
BENCHMARK(BM_EncoderConvert)
    ->Args({MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8})
    ->Args({MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE})
    ->Args({MIREL_ENCODING_UTF8, MIREL_ENCODING_ANSI})
    ->Args({MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE})
    ->Args({MIREL_ENCODING_UTF16LE, MIREL_ENCODING_ANSI})
    ->Args({MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// The full re-layout of a document in an encoding, as it follows a switch.
void BM_RelayoutIn(benchmark::State& state) {
  const int nEncoding = static_cast<int>(state.range(0));
  const std::string& text = TextIn(nEncoding);
  auto doc = std::make_unique<CMirelDoc>();
  doc->nFileEncoding = static_cast<BYTE>(nEncoding);
  doc->nCodePage = 949;
  doc->NewFile();
  doc->nLeftMargin = 0;
  doc->nTextWidth = 640;
  doc->InsertContents(0, reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()), FALSE);
  for (auto _ : state) {
    if (!doc->ReloadContents()) state.SkipWithError("layout failed");
  }
  state.SetBytesProcessed(static_cast<long long>(state.iterations()) * static_cast<long long>(text.size()));
}
BENCHMARK(BM_RelayoutIn)
    ->Arg(MIREL_ENCODING_ANSI)
    ->Arg(MIREL_ENCODING_UTF8)
    ->Arg(MIREL_ENCODING_UTF16LE)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
