// Library frames and the frees put off until none is open.
#include "mirel/mrlibraryframe.h"

#include <utility>
#include <vector>

namespace {

int g_nOpenFrames = 0;

// Holds memory only while a free is kept.
std::vector<std::function<void()>>& KeptFrees() {
  static std::vector<std::function<void()>> kept;
  return kept;
}

// Runs the kept frees; called as the outermost frame closes. A free may
// destroy windows and so enter the library again: it runs inside a frame of
// its own, so that what it frees in turn is kept and run by the next round
// instead of from inside it.
void RunKeptFrees() noexcept {
  std::vector<std::function<void()>>& kept = KeptFrees();
  while (!kept.empty()) {
    std::vector<std::function<void()>> now;
    now.swap(kept);
    ++g_nOpenFrames;
    for (std::function<void()>& fnFree : now) {
      try {
        fnFree();
      } catch (...) {
      }
    }
    --g_nOpenFrames;
  }
}

}  // namespace

MrLibraryFrame::MrLibraryFrame() {
  ++g_nOpenFrames;
}

MrLibraryFrame::~MrLibraryFrame() {
  if (--g_nOpenFrames == 0) RunKeptFrees();
}

bool MrIsInLibraryFrame() {
  return g_nOpenFrames > 0;
}

void MrFreeWhenIdle(std::function<void()> fnFree) {
  if (!fnFree) return;
  if (!MrIsInLibraryFrame()) {
    fnFree();
    return;
  }
  try {
    KeptFrees().push_back(std::move(fnFree));
  } catch (...) {
  }
}

int MrIdleFreesPending() {
  return static_cast<int>(KeptFrees().size());
}
