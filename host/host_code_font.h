// The face the sample host shows code in, for the host and for the checks
// of its screenshot.
#pragma once

#include <windows.h>

namespace mirel_host {

// A 10-point fixed-pitch face that has Hangul, at nLogPixelsY dots per inch.
LOGFONTA CodeFont(int nLogPixelsY);

}  // namespace mirel_host
