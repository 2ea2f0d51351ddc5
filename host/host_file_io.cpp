#include "host_file_io.h"

#include <fstream>

namespace mirel_host {

bool ReadWholeFile(const std::string& strPath, std::vector<char>* pBytes, std::string* pError) {
  std::ifstream file(strPath, std::ios::binary);
  if (!file) {
    *pError = "cannot open \"" + strPath + "\" for reading";
    return false;
  }
  // One read of the whole size: a character-by-character stream read costs
  // seconds on a file of a hundred megabytes.
  file.seekg(0, std::ios::end);
  const std::streamoff nSize = file.tellg();
  file.seekg(0, std::ios::beg);
  std::vector<char> bytes;
  if (nSize < 0 || static_cast<unsigned long long>(nSize) > bytes.max_size()) {
    *pError = "cannot read \"" + strPath + "\": it is too large";
    return false;
  }
  bytes.resize(static_cast<std::size_t>(nSize));
  if (!bytes.empty()) file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file.bad() || file.gcount() != static_cast<std::streamsize>(bytes.size())) {
    *pError = "cannot read \"" + strPath + "\"";
    return false;
  }
  pBytes->swap(bytes);
  return true;
}

bool WriteWholeFile(const std::string& strPath, const void* pBytes, std::size_t nLen, std::string* pError) {
  std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
  if (!file) {
    *pError = "cannot open \"" + strPath + "\" for writing";
    return false;
  }
  if (nLen > 0) file.write(static_cast<const char*>(pBytes), static_cast<std::streamsize>(nLen));
  file.close();
  if (!file) {
    *pError = "cannot write \"" + strPath + "\"";
    return false;
  }
  return true;
}

}  // namespace mirel_host
