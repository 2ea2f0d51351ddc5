// A file's bytes mapped read-only into memory, so that the control copies
// them straight from the system's file cache: no read into a buffer of the
// host's own first.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace mirel_host {

class CMappedFile {
 public:
  CMappedFile() = default;
  CMappedFile(const CMappedFile&) = delete;
  CMappedFile& operator=(const CMappedFile&) = delete;
  ~CMappedFile() { Close(); }

  // Maps the whole file; false with a message when it cannot be opened or
  // mapped. An empty file maps to no bytes.
  bool Open(const std::string& strPath, std::string* pError);
  // Unmaps the file; the bytes are gone after this.
  void Close();

  const char* Data() const { return static_cast<const char*>(m_pView); }
  std::size_t Size() const { return m_nSize; }

 private:
  HANDLE m_hFile = INVALID_HANDLE_VALUE;
  HANDLE m_hMapping = nullptr;
  const void* m_pView = nullptr;
  std::size_t m_nSize = 0;
};

}  // namespace mirel_host
