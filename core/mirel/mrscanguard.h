// The one wrapper the range-list scans run through. The debug build's
// crash-dump guard will wrap them here; until then it simply calls.
#pragma once

template <typename Fn>
inline void MrRunScanGuarded(Fn&& fn) {
  fn();
}
