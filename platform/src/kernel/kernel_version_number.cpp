// GetVersion: the packed form of what GetVersionExA reports (Windows 7 SP1,
// NT 6.1 build 7601).
#include <windows.h>

extern "C" DWORD WINAPI GetVersion(void) {
  // Major version in the low byte, minor in the next, build in the high word.
  return 6u | (1u << 8) | (7601u << 16);
}
