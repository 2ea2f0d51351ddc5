// Puts a file's bytes into a control with the encoding and newline kind the
// control detects, and takes the document's file bytes back out for saving.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host_mirel_api.h"

namespace mirel_host {

class CHostDocument {
 public:
  explicit CHostDocument(const CMirelApi& api) : m_api(api) {}

  // Detects the encoding and newline kind of bytes, then gives the control an
  // empty text in that encoding and inserts the text unchanged. Warnings that
  // do not stop the load (such as a dropped odd byte) go to *pWarnings.
  bool Load(HWND hWndMirel, const std::string& strPath, const char* pBytes, std::size_t nBytes,
            std::vector<std::string>* pWarnings, std::string* pError);

  // Writes the document's file bytes (byte-order mark included) to a file;
  // refused when the control could not hold the text in the file's encoding.
  bool SaveAs(const std::string& strPath, std::string* pError) const;

  // The document's file bytes as the control reports them.
  bool GetFileBytes(std::vector<char>* pBytes, std::string* pError) const;

  // True when the user changed the text since it was loaded or saved.
  bool IsModified() const;
  void SetModified(bool bModified) const;

  const std::string& Path() const { return m_strPath; }
  int Encoding() const { return m_nEncoding; }
  int Format() const { return m_nFormat; }

 private:
  const CMirelApi& m_api;
  HWND m_hWndMirel = nullptr;
  std::string m_strPath;
  int m_nEncoding = 1;
  int m_nFormat = 1;
  std::string m_strSaveRefusal;  // why saving would not give the file's bytes back, if it would not
};

}  // namespace mirel_host
