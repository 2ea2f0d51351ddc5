// The temporary-file directory and unique temporary file names.
#include "kernel_paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

constexpr std::size_t kPrefixLength = 3;
constexpr std::size_t kNameTail = kPrefixLength + 4 + 4;  // prefix, four hex digits, ".tmp"

std::string TempDirectory() {
  for (const char* name : {"TMPDIR", "TMP", "TEMP"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return value;
  }
  return "/tmp";
}

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '/' || path.back() == '\\');
}

// The next number to try: spread between processes, never 0.
UINT NextUnique() {
  static std::atomic<unsigned> counter{static_cast<unsigned>(std::time(nullptr)) ^
                                       (static_cast<unsigned>(getpid()) << 4)};
  for (;;) {
    const UINT value = counter.fetch_add(1) & 0xFFFF;
    if (value != 0) return value;
  }
}

std::string MakeName(const std::string& directory, const std::string& prefix, UINT number) {
  char tail[16];
  std::snprintf(tail, sizeof(tail), "%X.tmp", number & 0xFFFF);
  return directory + prefix + tail;
}

}  // namespace

DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
  std::string path = TempDirectory();
  if (!EndsWithSeparator(path)) path += '/';
  return mrw_kernel::CopyOutWithTerminator(path, lpBuffer, nBufferLength);
}

UINT GetTempFileNameA(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName) {
  if (lpPathName == nullptr || lpTempFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string directory(lpPathName);
  if (!directory.empty() && !EndsWithSeparator(directory)) directory += '/';
  if (directory.size() + kNameTail >= MAX_PATH) {
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return 0;
  }
  std::string prefix;
  if (lpPrefixString != nullptr) prefix.assign(lpPrefixString, strnlen(lpPrefixString, kPrefixLength));

  if (uUnique != 0) {
    // A caller-chosen number: the name only, no file and no uniqueness test.
    const std::string name = MakeName(directory, prefix, uUnique);
    std::memcpy(lpTempFileName, name.c_str(), name.size() + 1);
    return uUnique & 0xFFFF;
  }

  struct stat info {};
  const std::string hostDirectory = mrw_kernel::HostPath(directory.empty() ? "." : directory.c_str());
  if (stat(hostDirectory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    SetLastError(ERROR_DIRECTORY);
    return 0;
  }
  for (unsigned attempt = 0; attempt < 0xFFFF; ++attempt) {
    const UINT number = NextUnique();
    const std::string name = MakeName(directory, prefix, number);
    const int fd =
        open(mrw_kernel::HostPath(name.c_str()).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      std::memcpy(lpTempFileName, name.c_str(), name.size() + 1);
      return number;
    }
    if (errno != EEXIST) {
      SetLastError(mrw_kernel::ErrorFromErrno(errno));
      return 0;
    }
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}
