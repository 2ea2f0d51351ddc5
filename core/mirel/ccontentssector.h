// One temporary file that a large-file store writes, and the names such
// files get in the temporary folder.
#pragma once

#include <windows.h>

#include <cstdio>

class CContentsSector {
 public:
  CContentsSector() = default;
  ~CContentsSector();
  CContentsSector(const CContentsSector&) = delete;
  CContentsSector& operator=(const CContentsSector&) = delete;

  // Opens (creates or empties) the file for writing; FALSE when it cannot.
  BOOL Open(const char* pszPath);
  // Writes the bytes; FALSE unless every byte was written.
  BOOL Write(const BYTE* pData, DWORD nLen);

  // "<temporary folder><document id>_<counter>" into pszOut of nSize bytes;
  // FALSE (and an empty name) when the folder is unknown or the name does not fit.
  static BOOL MakeTempFileName(int nDocId, int nCounter, char* pszOut, DWORD nSize);

  FILE* pFile = nullptr;
};
