// Whole-file reading and writing for the sample host (the control never touches files).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace mirel_host {

// Reads the whole file into *pBytes. Returns false with a message in *pError.
bool ReadWholeFile(const std::string& strPath, std::vector<char>* pBytes, std::string* pError);

// Writes nLen bytes to the file, replacing it. Returns false with a message in *pError.
bool WriteWholeFile(const std::string& strPath, const void* pBytes, std::size_t nLen, std::string* pError);

}  // namespace mirel_host
