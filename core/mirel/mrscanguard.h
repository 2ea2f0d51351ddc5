// The wrapper the find-result list runs its scan, invalidate and set-pattern
// operations through. In the debug library a crash-dump guard is in force for
// exactly the length of one of them; the release library runs them unguarded.
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
