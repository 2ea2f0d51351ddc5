// The texts the find benchmarks search, made the same way by the native
// benchmarks and by the program that times the control library under Wine,
// so their figures compare.
#pragma once

#include <cstddef>
#include <random>
#include <string>

namespace mirel_bench {

// Lower-case words and spaces in lines of 10 to 90 characters, CR LF ends;
// with bKorean every line also holds a Hangul syllable in UTF-8.
inline std::string MakeSearchText(size_t nBytes, bool bKorean) {
  std::mt19937 rng(4242);
  std::string text;
  text.reserve(nBytes + 128);
  while (text.size() < nBytes) {
    const int nLine = 10 + static_cast<int>(rng() % 81);
    for (int i = 0; i < nLine; ++i) {
      if (i > 2 && rng() % 6 == 0) {
        text.push_back(' ');
      } else {
        text.push_back(static_cast<char>('a' + rng() % 26));
      }
    }
    if (bKorean) text += "\xEA\xB0\x80";
    text += "\r\n";
  }
  return text;
}

// Words of a small vocabulary in lines of about 60 characters, CR LF ends:
// each word is "with" with a probability of 1 in 28.
inline std::string MakeWordText(size_t nBytes) {
  static const char* const kWords[] = {"with", "the", "of",   "and", "to",   "in",   "is",
                                       "for",  "on",  "that", "as",  "by",   "from", "at",
                                       "an",   "be",  "this", "are", "or",   "have", "which",
                                       "one",  "had", "not",  "but", "what", "all",  "were"};
  std::mt19937 rng(77);
  std::string text;
  text.reserve(nBytes + 128);
  while (text.size() < nBytes) {
    const size_t nLineStart = text.size();
    while (text.size() - nLineStart < 60) {
      text += kWords[rng() % 28];
      text.push_back(' ');
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace mirel_bench
