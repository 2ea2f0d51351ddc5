// The one wrapper the range-list scans run through. In the debug library a
// crash-dump guard is in force for exactly the length of one scan; the
// release library runs the scan unguarded.
#pragma once

#ifdef MIREL_DEBUG
#include "mirel/cmirelminidump.h"
#endif

template <typename Fn>
inline void MrRunScanGuarded(Fn&& fn) {
#ifdef MIREL_DEBUG
  CMirelMiniDump guard;
#endif
  fn();
}
