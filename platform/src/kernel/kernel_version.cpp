// GetVersionExA: the stand-in reports Windows 7 Service Pack 1 (NT 6.1).
#include <windows.h>

#include <cstring>

BOOL GetVersionExA(LPOSVERSIONINFOA lpVersionInformation) {
  if (lpVersionInformation == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD size = lpVersionInformation->dwOSVersionInfoSize;
  if (size != sizeof(OSVERSIONINFOA) && size != sizeof(OSVERSIONINFOEXA)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  lpVersionInformation->dwMajorVersion = 6;
  lpVersionInformation->dwMinorVersion = 1;
  lpVersionInformation->dwBuildNumber = 7601;
  lpVersionInformation->dwPlatformId = VER_PLATFORM_WIN32_NT;
  std::memset(lpVersionInformation->szCSDVersion, 0, sizeof(lpVersionInformation->szCSDVersion));
  std::strcpy(lpVersionInformation->szCSDVersion, "Service Pack 1");
  if (size == sizeof(OSVERSIONINFOEXA)) {
    auto* extended = reinterpret_cast<LPOSVERSIONINFOEXA>(lpVersionInformation);
    extended->wServicePackMajor = 1;
    extended->wServicePackMinor = 0;
    extended->wSuiteMask = 0x0100;  // VER_SUITE_SINGLEUSERTS: a workstation
    extended->wProductType = 1;     // VER_NT_WORKSTATION
    extended->wReserved = 0;
  }
  return TRUE;
}
