// Speed of find through the control library's exports, as a host calls it:
// a program that loads the library, puts a text into a control and times
// with a steady clock
//   - a case-sensitive and a case-blind Mirel_FindTextA of a needle that is
//     not in the text, one call over the whole text of lower-case letters
//     and spaces,
//   - counting every "with" of a text of words by repeated finds, one call
//     per match from the selection the last one left,
// on the texts the native find benchmarks search (bench/bench_texts.h), so
// the figures compare with theirs. Prints the median and the fastest of the
// rounds.
// Built in the Windows trees (run under Wine by scripts/latency.sh find) and
// in the native benchmark build.
// Usage: mirel_dll_find [MIB] [ROUNDS]   (default 100 MiB, 7 rounds)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_texts.h"
#include "mirelctrl/mirelctrl.h"

namespace {

#if defined(__x86_64__) || defined(_M_X64)
constexpr const char* kTarget = "x86_64";
#elif defined(__i386__) || defined(_M_IX86)
constexpr const char* kTarget = "i686";
#else
constexpr const char* kTarget = "other";
#endif

double NowSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Seconds of nRounds calls of once(): the median and the fastest round
// (the one least disturbed on a busy machine).
struct CTimes {
  double median;
  double fastest;
};

template <typename F>
CTimes TimeRounds(int nRounds, F&& once) {
  std::vector<double> times;
  for (int i = 0; i < nRounds; ++i) {
    const double t0 = NowSeconds();
    once();
    times.push_back(NowSeconds() - t0);
  }
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times.front()};
}

LRESULT CALLBACK FrameProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

// A control holding the text; the text's copy is freed once the control has
// it, as a 32-bit process has little address space to spare.
HWND MakeControl(HWND hFrame, std::string text) {
  HWND h = Mirel_Create(hFrame, 1, 0, 0, 800, 600, 0, WS_CHILD | WS_VSCROLL | WS_HSCROLL);
  if (h == nullptr || !Mirel_NewFile(h)) return nullptr;
  const int nInserted = Mirel_InsertA(h, text.data(), static_cast<int>(text.size()), FALSE);
  const bool bAll = static_cast<size_t>(Mirel_GetContentsSize(h)) == text.size();
  std::string().swap(text);
  if (nInserted == 0 || !bAll) {
    Mirel_Destroy(h);
    return nullptr;
  }
  Mirel_Goto(h, 0, 0);
  return h;
}

double MiB(double nBytes) {
  return nBytes / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  const long nMiB = argc > 1 ? std::atol(argv[1]) : 100;
  const int nRounds = argc > 2 ? std::atoi(argv[2]) : 7;
  if (nMiB < 1 || nMiB > 1024 || nRounds < 1) {
    std::fprintf(stderr, "usage: mirel_dll_find [MIB (1 to 1024)] [ROUNDS]\n");
    return 2;
  }
  const size_t nBytes = static_cast<size_t>(nMiB) << 20;

  WNDCLASSA wc{};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MirelFindBenchFrame";
  RegisterClassA(&wc);
  HWND hFrame = CreateWindowA(wc.lpszClassName, "find", WS_OVERLAPPEDWINDOW, 0, 0, 840, 660, nullptr, nullptr,
                              wc.hInstance, nullptr);
  if (hFrame == nullptr) return 1;

  // One control at a time: two texts of this size at once need more address
  // space than a 32-bit process may find in one piece.
  HWND h = MakeControl(hFrame, mirel_bench::MakeSearchText(nBytes, false));
  if (h == nullptr) {
    std::fprintf(stderr, "the control did not take the %ld MiB text\n", nMiB);
    return 1;
  }
  const double nLetters = static_cast<double>(Mirel_GetContentsSize(h));
  bool bFoundAbsent = false;
  const auto findAbsent = [&](const char* pszNeedle, int nFlags) {
    return TimeRounds(nRounds, [&] {
      int nPos = 0;
      if (Mirel_FindTextA(h, pszNeedle, nFlags, FALSE, &nPos, FALSE) != 0) bFoundAbsent = true;
    });
  };
  const CTimes matchCase = findAbsent("needlezx", MIREL_FIND_MATCHCASE);
  const CTimes ignoreCase = findAbsent("NeedleZx", 0);
  Mirel_Destroy(h);
  if (bFoundAbsent) {
    std::fprintf(stderr, "a find reported a needle that is not in the text\n");
    return 1;
  }

  h = MakeControl(hFrame, mirel_bench::MakeWordText(nBytes));
  if (h == nullptr) {
    std::fprintf(stderr, "the control did not take the %ld MiB text\n", nMiB);
    return 1;
  }
  const double nWords = static_cast<double>(Mirel_GetContentsSize(h));
  long long nMatches = 0;
  const CTimes repeated = TimeRounds(nRounds, [&] {
    Mirel_SetSel(h, 0, 0, TRUE);
    int nPos = 0;
    nMatches = 0;
    while (Mirel_FindTextA(h, "with", MIREL_FIND_MATCHCASE, TRUE, &nPos, FALSE) == 1) ++nMatches;
  });
  Mirel_Destroy(h);
  DestroyWindow(hFrame);

  std::printf("%s build, %ld MiB texts, %d rounds\n\n| figure | median | fastest round |\n|---|---|---|\n",
              kTarget, nMiB, nRounds);
  const auto printFind = [](const char* pszFigure, double nBytes, CTimes t) {
    std::printf("| %s | %.2f GiB/s (%.1f ms) | %.2f GiB/s (%.1f ms) |\n", pszFigure,
                MiB(nBytes) / 1024.0 / t.median, t.median * 1000.0, MiB(nBytes) / 1024.0 / t.fastest,
                t.fastest * 1000.0);
  };
  printFind("case-sensitive find", nLetters, matchCase);
  printFind("case-blind find", nLetters, ignoreCase);
  std::printf("| counting %lld matches by repeated finds | %.0f MiB/s (%.0f ms) | %.0f MiB/s (%.0f ms) |\n",
              nMatches, MiB(nWords) / repeated.median, repeated.median * 1000.0,
              MiB(nWords) / repeated.fastest, repeated.fastest * 1000.0);
  return 0;
}
