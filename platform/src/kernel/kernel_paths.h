// Windows paths and error codes on a POSIX file system.
#pragma once

#include <windows.h>

#include <string>

namespace mrw_kernel {

// The host path for a Windows path: backslashes become slashes.
std::string HostPath(LPCSTR pszPath);

// The Windows error code for an errno value of a file operation.
DWORD ErrorFromErrno(int error);

// Copies text and its terminator into a caller's buffer of nSize characters.
// Returns the length without the terminator when it fits, else the size
// needed including the terminator (the GetTempPath convention).
DWORD CopyOutWithTerminator(const std::string& text, LPSTR pszBuffer, DWORD nSize);

}  // namespace mrw_kernel
