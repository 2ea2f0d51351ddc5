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

}  // namespace

MrLibraryFrame::MrLibraryFrame() {
  ++g_nOpenFrames;
}

MrLibraryFrame::~MrLibraryFrame() {
  --g_nOpenFrames;
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

void MrRunIdleFrees() {
  std::vector<std::function<void()>>& kept = KeptFrees();
  if (MrIsInLibraryFrame() || kept.empty()) return;
  // A free may destroy windows and so come back here: take the list first.
  std::vector<std::function<void()>> now;
  now.swap(kept);
  for (std::function<void()>& fnFree : now) fnFree();
}

int MrIdleFreesPending() {
  return static_cast<int>(KeptFrees().size());
}
