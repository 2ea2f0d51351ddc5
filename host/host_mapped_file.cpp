#include "host_mapped_file.h"

namespace mirel_host {

bool CMappedFile::Open(const std::string& strPath, std::string* pError) {
  Close();
  m_hFile = CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (m_hFile == INVALID_HANDLE_VALUE) {
    *pError = "cannot open \"" + strPath + "\" for reading";
    return false;
  }
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(m_hFile, &size) || static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) {
    *pError = "cannot read \"" + strPath + "\": it is too large";
    Close();
    return false;
  }
  m_nSize = static_cast<std::size_t>(size.QuadPart);
  if (m_nSize == 0) return true;  // nothing to map
  m_hMapping = CreateFileMappingA(m_hFile, nullptr, PAGE_READONLY, 0, 0, nullptr);
  m_pView = m_hMapping != nullptr ? MapViewOfFile(m_hMapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
  if (m_pView == nullptr) {
    *pError = "cannot read \"" + strPath + "\" (error " + std::to_string(GetLastError()) + ")";
    Close();
    return false;
  }
  return true;
}

void CMappedFile::Close() {
  if (m_pView != nullptr) UnmapViewOfFile(m_pView);
  if (m_hMapping != nullptr) CloseHandle(m_hMapping);
  if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
  m_pView = nullptr;
  m_hMapping = nullptr;
  m_hFile = INVALID_HANDLE_VALUE;
  m_nSize = 0;
}

}  // namespace mirel_host
