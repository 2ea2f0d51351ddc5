// File handles over POSIX descriptors: CreateFileA, ReadFile, WriteFile,
// SetFilePointer, SetEndOfFile, GetFileSize, CloseHandle, DeleteFileA and
// GetFileAttributesA. Sharing modes are not enforced.
#include "kernel_paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

using mrw_kernel::ErrorFromErrno;

struct FileObject {
  int fd = -1;
  bool bRead = false;
  bool bWrite = false;
  std::string deleteOnClose;  // host path to remove when the handle closes
};

// Handles are multiples of 4 far from small integers and from heap pointers.
constexpr std::uintptr_t kFirstFileHandle = 0x00F10000;
constexpr std::uintptr_t kHandleStep = 4;

struct FileTable {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::shared_ptr<FileObject>> files;
  std::uintptr_t next = kFirstFileHandle;
};

FileTable& Files() {
  static FileTable& table = *new FileTable;  // never destroyed, like the process's handle table
  return table;
}

std::shared_ptr<FileObject> FindFile(HANDLE hFile) {
  FileTable& table = Files();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto found = table.files.find(reinterpret_cast<std::uintptr_t>(hFile));
  if (found == table.files.end()) return nullptr;
  return found->second;
}

BOOL FailWith(DWORD error) {
  SetLastError(error);
  return FALSE;
}

int OpenFlags(DWORD access) {
  const bool read = (access & GENERIC_READ) != 0;
  const bool write = (access & GENERIC_WRITE) != 0;
  return (write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY) | O_CLOEXEC;
}

// Opens with the POSIX flags a creation disposition stands for. *pbExisted
// tells whether CREATE_ALWAYS or OPEN_ALWAYS found the file already there.
int OpenForDisposition(const std::string& path, int flags, DWORD disposition, mode_t mode, bool* pbExisted) {
  *pbExisted = false;
  switch (disposition) {
    case CREATE_NEW:
      return open(path.c_str(), flags | O_CREAT | O_EXCL, mode);
    case OPEN_EXISTING:
      return open(path.c_str(), flags);
    case TRUNCATE_EXISTING:
      return open(path.c_str(), flags | O_TRUNC);
    case CREATE_ALWAYS:
    case OPEN_ALWAYS: {
      const int extra = disposition == CREATE_ALWAYS ? O_TRUNC : 0;
      for (int attempt = 0; attempt < 8; ++attempt) {  // the file may come and go meanwhile
        int fd = open(path.c_str(), flags | O_CREAT | O_EXCL, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
        fd = open(path.c_str(), flags | extra);
        if (fd >= 0) {
          *pbExisted = true;
          return fd;
        }
        if (errno != ENOENT) return -1;
      }
      return -1;
    }
    default:
      errno = EINVAL;
      return -1;
  }
}

// Reads or writes the whole count unless the file ends or an error occurs.
template <typename Transfer>
bool TransferAll(Transfer transfer, DWORD count, DWORD* pDone) {
  DWORD done = 0;
  while (done < count) {
    const ssize_t n = transfer(done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      *pDone = done;
      return false;
    }
    if (n == 0) break;
    done += static_cast<DWORD>(n);
  }
  *pDone = done;
  return true;
}

}  // namespace

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD /*dwShareMode*/,
                   LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE /*hTemplateFile*/) {
  if (lpFileName == nullptr || lpFileName[0] == '\0') {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING ||
      (dwCreationDisposition == TRUNCATE_EXISTING && (dwDesiredAccess & GENERIC_WRITE) == 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const std::string path = mrw_kernel::HostPath(lpFileName);
  const mode_t mode = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
  bool existed = false;
  const int fd = OpenForDisposition(path, OpenFlags(dwDesiredAccess), dwCreationDisposition, mode, &existed);
  if (fd < 0) {
    SetLastError(ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    SetLastError(ERROR_ACCESS_DENIED);  // a directory is not a file
    return INVALID_HANDLE_VALUE;
  }
  auto file = std::make_shared<FileObject>();
  file->fd = fd;
  file->bRead = (dwDesiredAccess & GENERIC_READ) != 0;
  file->bWrite = (dwDesiredAccess & GENERIC_WRITE) != 0;
  if ((dwFlagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) != 0) file->deleteOnClose = path;

  FileTable& table = Files();
  std::uintptr_t key = 0;
  {
    std::lock_guard<std::mutex> lock(table.mutex);
    while (table.files.count(table.next) != 0) table.next += kHandleStep;
    key = table.next;
    table.next += kHandleStep;
    table.files.emplace(key, std::move(file));
  }
  SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return reinterpret_cast<HANDLE>(key);
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = 0;
  const std::shared_ptr<FileObject> file = FindFile(hFile);
  if (file == nullptr) return FailWith(ERROR_INVALID_HANDLE);
  if (lpOverlapped != nullptr || lpNumberOfBytesRead == nullptr) return FailWith(ERROR_INVALID_PARAMETER);
  if (lpBuffer == nullptr && nNumberOfBytesToRead > 0) return FailWith(ERROR_NOACCESS);
  if (!file->bRead) return FailWith(ERROR_ACCESS_DENIED);
  char* out = static_cast<char*>(lpBuffer);
  auto transfer = [&](DWORD done, DWORD left) { return read(file->fd, out + done, left); };
  if (!TransferAll(transfer, nNumberOfBytesToRead, lpNumberOfBytesRead))
    return FailWith(ErrorFromErrno(errno));
  return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = 0;
  const std::shared_ptr<FileObject> file = FindFile(hFile);
  if (file == nullptr) return FailWith(ERROR_INVALID_HANDLE);
  if (lpOverlapped != nullptr || lpNumberOfBytesWritten == nullptr) return FailWith(ERROR_INVALID_PARAMETER);
  if (lpBuffer == nullptr && nNumberOfBytesToWrite > 0) return FailWith(ERROR_NOACCESS);
  if (!file->bWrite) return FailWith(ERROR_ACCESS_DENIED);
  const char* in = static_cast<const char*>(lpBuffer);
  auto transfer = [&](DWORD done, DWORD left) { return write(file->fd, in + done, left); };
  if (!TransferAll(transfer, nNumberOfBytesToWrite, lpNumberOfBytesWritten))
    return FailWith(ErrorFromErrno(errno));
  return TRUE;
}

DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh, DWORD dwMoveMethod) {
  const std::shared_ptr<FileObject> file = FindFile(hFile);
  if (file == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_SET_FILE_POINTER;
  }
  std::int64_t distance = lDistanceToMove;
  if (lpDistanceToMoveHigh != nullptr)
    distance = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(*lpDistanceToMoveHigh)) << 32) |
        static_cast<std::uint32_t>(lDistanceToMove));
  int whence = 0;
  switch (dwMoveMethod) {
    case FILE_BEGIN:
      whence = SEEK_SET;
      break;
    case FILE_CURRENT:
      whence = SEEK_CUR;
      break;
    case FILE_END:
      whence = SEEK_END;
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_SET_FILE_POINTER;
  }
  std::int64_t base = 0;
  if (whence != SEEK_SET) {
    const off_t origin = lseek(file->fd, 0, whence);
    if (origin < 0) {
      SetLastError(ErrorFromErrno(errno));
      return INVALID_SET_FILE_POINTER;
    }
    base = origin;
  }
  std::int64_t target = 0;
  if (__builtin_add_overflow(base, distance, &target)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (target < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  if (lpDistanceToMoveHigh == nullptr && target > 0xFFFFFFFFLL) {
    SetLastError(ERROR_INVALID_PARAMETER);  // the position would not fit the 32-bit result
    return INVALID_SET_FILE_POINTER;
  }
  if (lseek(file->fd, static_cast<off_t>(target), SEEK_SET) < 0) {
    SetLastError(ErrorFromErrno(errno));
    return INVALID_SET_FILE_POINTER;
  }
  if (lpDistanceToMoveHigh != nullptr) *lpDistanceToMoveHigh = static_cast<LONG>(target >> 32);
  const DWORD low = static_cast<DWORD>(target & 0xFFFFFFFF);
  if (low == INVALID_SET_FILE_POINTER) SetLastError(NO_ERROR);  // lets the caller tell it from a failure
  return low;
}

BOOL SetEndOfFile(HANDLE hFile) {
  const std::shared_ptr<FileObject> file = FindFile(hFile);
  if (file == nullptr) return FailWith(ERROR_INVALID_HANDLE);
  if (!file->bWrite) return FailWith(ERROR_ACCESS_DENIED);
  const off_t position = lseek(file->fd, 0, SEEK_CUR);
  if (position < 0 || ftruncate(file->fd, position) != 0) return FailWith(ErrorFromErrno(errno));
  return TRUE;
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  const std::shared_ptr<FileObject> file = FindFile(hFile);
  struct stat info {};
  if (file == nullptr || fstat(file->fd, &info) != 0) {
    SetLastError(file == nullptr ? ERROR_INVALID_HANDLE : ErrorFromErrno(errno));
    return INVALID_FILE_SIZE;
  }
  const std::uint64_t size = static_cast<std::uint64_t>(info.st_size);
  if (lpFileSizeHigh != nullptr) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  const DWORD low = static_cast<DWORD>(size & 0xFFFFFFFF);
  if (low == INVALID_FILE_SIZE) SetLastError(NO_ERROR);
  return low;
}

BOOL CloseHandle(HANDLE hObject) {
  // INVALID_HANDLE_VALUE is also the current process's pseudo-handle, which closes without effect.
  if (hObject == INVALID_HANDLE_VALUE) return TRUE;
  std::shared_ptr<FileObject> file;
  {
    FileTable& table = Files();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto found = table.files.find(reinterpret_cast<std::uintptr_t>(hObject));
    if (found == table.files.end()) return FailWith(ERROR_INVALID_HANDLE);
    file = std::move(found->second);
    table.files.erase(found);
  }
  if (!file->deleteOnClose.empty()) unlink(file->deleteOnClose.c_str());
  close(file->fd);
  return TRUE;
}

BOOL DeleteFileA(LPCSTR lpFileName) {
  if (lpFileName == nullptr || lpFileName[0] == '\0') return FailWith(ERROR_PATH_NOT_FOUND);
  if (unlink(mrw_kernel::HostPath(lpFileName).c_str()) != 0) return FailWith(ErrorFromErrno(errno));
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR lpFileName) {
  if (lpFileName == nullptr || lpFileName[0] == '\0') {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  struct stat info {};
  if (stat(mrw_kernel::HostPath(lpFileName).c_str(), &info) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISDIR(info.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}
