#include "host_file_io.h"

#include <fstream>
#include <iterator>

namespace mirel_host {

bool ReadWholeFile(const std::string& strPath, std::vector<char>* pBytes, std::string* pError) {
  std::ifstream file(strPath, std::ios::binary);
  if (!file) {
    *pError = "cannot open \"" + strPath + "\" for reading";
    return false;
  }
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) {
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
