// Temporary files of the large-file stores.
#include "mirel/ccontentssector.h"

CContentsSector::~CContentsSector() {
  if (pFile != nullptr) std::fclose(pFile);
}

BOOL CContentsSector::Open(const char* pszPath) {
  if (pFile != nullptr) {
    std::fclose(pFile);
    pFile = nullptr;
  }
  if (pszPath == nullptr) return FALSE;
  pFile = std::fopen(pszPath, "wb");
  return pFile != nullptr;
}

BOOL CContentsSector::Write(const BYTE* pData, DWORD nLen) {
  if (pFile == nullptr || (pData == nullptr && nLen > 0)) return FALSE;
  return std::fwrite(pData, 1, nLen, pFile) == nLen;
}

BOOL CContentsSector::MakeTempFileName(int nDocId, int nCounter, char* pszOut, DWORD nSize) {
  if (pszOut == nullptr || nSize == 0) return FALSE;
  pszOut[0] = '\0';
  char szFolder[MAX_PATH + 1];
  const DWORD nFolder = GetTempPathA(sizeof(szFolder), szFolder);
  if (nFolder == 0 || nFolder >= sizeof(szFolder)) return FALSE;
  const int n = std::snprintf(pszOut, nSize, "%s%d_%d", szFolder, nDocId, nCounter);
  if (n < 0 || static_cast<DWORD>(n) >= nSize) {
    pszOut[0] = '\0';
    return FALSE;
  }
  return TRUE;
}
