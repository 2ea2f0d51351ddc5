// Windows paths and error codes on a POSIX file system.
#include "kernel_paths.h"

#include <cerrno>
#include <cstring>

namespace mrw_kernel {

std::string HostPath(LPCSTR pszPath) {
  std::string path(pszPath);
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

DWORD ErrorFromErrno(int error) {
  switch (error) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case EINVAL:
    case EFBIG:
    case EOVERFLOW:
      return ERROR_INVALID_PARAMETER;
    default:
      return ERROR_ACCESS_DENIED;
  }
}

DWORD CopyOutWithTerminator(const std::string& text, LPSTR pszBuffer, DWORD nSize) {
  const std::size_t needed = text.size() + 1;
  if (pszBuffer == nullptr || nSize < needed) return static_cast<DWORD>(needed);
  std::memcpy(pszBuffer, text.c_str(), needed);
  return static_cast<DWORD>(text.size());
}

}  // namespace mrw_kernel
