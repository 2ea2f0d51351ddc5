#include "host_document.h"

#include <climits>
#include <cstring>

#include "host_c_syntax.h"
#include "host_html_syntax.h"
#include "host_file_io.h"
#include "host_text_format.h"

namespace mirel_host {

namespace {

constexpr int kAnsi = 1;
constexpr int kCrLf = 1;  // every document's default newline kind

}  // namespace

bool CHostDocument::Load(HWND hWndMirel, const std::string& strPath, const char* pBytes, std::size_t nBytes,
                         std::vector<std::string>* pWarnings, std::string* pError) {
  if (nBytes > static_cast<std::size_t>(INT_MAX)) {
    *pError = "\"" + strPath + "\" is too large to show";
    return false;
  }
  m_hWndMirel = hWndMirel;
  m_strPath = strPath;
  const int nLen = static_cast<int>(nBytes);
  m_nEncoding = m_api.pfnDetermineEncoding(pBytes, nLen);
  m_nFormat = m_api.pfnDetermineFileFormat(pBytes, static_cast<unsigned>(nLen), m_nEncoding);

  const CTextPlan plan = PlanText(pBytes, nBytes, m_nEncoding);
  if (!plan.bOk) {
    *pError = "\"" + strPath + "\" is too large to show";
    return false;
  }
  if (plan.bDroppedOddByte) pWarnings->push_back("the last byte is half a UTF-16 unit and is left out");
  if (plan.nDocEncoding != m_nEncoding) {
    pWarnings->push_back("the contents look " + EncodingName(m_nEncoding) + "; they are shown as ANSI bytes");
  }

  // The encoding is set before the text store exists so the new store starts
  // with the right byte-order mark; ANSI is every document's default.
  m_strSaveRefusal.clear();
  if (plan.nDocEncoding != kAnsi && m_api.pfnSetFileEncoding == nullptr) {
    // The document stays ANSI and the insert converts the text into its code
    // page, so its bytes are no longer the file's: saving them is refused.
    m_strSaveRefusal = "the control library does not export Mirel_SetFileEncoding, so the " +
                       EncodingName(plan.nDocEncoding) +
                       " text is held in the ANSI code page; saving is refused " +
                       "because it would change the file's encoding";
    pWarnings->push_back(m_strSaveRefusal);
  } else if (plan.nDocEncoding != kAnsi) {
    if (m_api.pfnSetFileEncoding(hWndMirel, plan.nDocEncoding) == 0) {
      *pError = "the control refused the encoding " + EncodingName(plan.nDocEncoding);
      return false;
    }
  }
  m_api.pfnNewFile(hWndMirel);
  // The language is set while the document is still empty, so installing it
  // lexes nothing; the text inserted below is coloured as it is painted.
  if (IsCSourceFile(strPath)) {
    if (m_api.pfnSetSyntaxGeneral == nullptr) {
      pWarnings->push_back("Mirel_SetSyntaxGeneral is missing: the source is shown uncoloured");
    } else if (m_api.pfnSetSyntaxGeneral(hWndMirel, &CSyntaxDefinition(), &CSyntaxColors()) == 0) {
      pWarnings->push_back("the control refused the C syntax definition: the source is shown uncoloured");
    }
  } else if (IsHtmlFile(strPath)) {
    if (m_api.pfnSetSyntaxHtml == nullptr) {
      pWarnings->push_back("Mirel_SetSyntaxHtml is missing: the page is shown uncoloured");
    } else if (m_api.pfnSetSyntaxHtml(hWndMirel, &HtmlSyntaxDefinition(), &HtmlSyntaxColors(),
                                      &ScriptSyntaxDefinition(), &ScriptSyntaxColors()) == 0) {
      pWarnings->push_back("the control refused the HTML syntax definition: the page is shown uncoloured");
    }
  }
  if (m_api.pfnSetFileFormat != nullptr) {
    m_api.pfnSetFileFormat(hWndMirel, m_nFormat);
  } else if (m_nFormat != kCrLf) {
    pWarnings->push_back("Mirel_SetFileFormat is missing: new lines typed will be CR LF");
  }

  // Each kind of text goes through the insert that stores it as it is.
  int nInserted = 1;
  const char* pText = pBytes + plan.nOffset;
  switch (plan.eKind) {
    case EInsertKind::Ansi:
      nInserted = m_api.pfnInsertA(hWndMirel, pText, plan.nUnits, FALSE);
      break;
    case EInsertKind::Utf8:
      nInserted = m_api.pfnInsertU(hWndMirel, pText, plan.nUnits, FALSE);
      break;
    case EInsertKind::Wide: {
      // Copied into properly aligned units; the file's units are little-endian like the machine's.
      std::vector<WCHAR> units(static_cast<std::size_t>(plan.nUnits));
      if (!units.empty()) std::memcpy(units.data(), pText, units.size() * sizeof(WCHAR));
      nInserted = m_api.pfnInsertW(hWndMirel, units.data(), plan.nUnits, FALSE);
      break;
    }
  }
  if (nInserted == 0) {
    *pError = "the control did not take the text of \"" + strPath + "\"";
    return false;
  }
  if (m_api.pfnIsModified == nullptr) {
    pWarnings->push_back("Mirel_IsModified is missing: closing the window always offers to save");
  }
  if (m_api.pfnSetSel != nullptr) m_api.pfnSetSel(hWndMirel, 0, 0, FALSE);
  SetModified(false);
  return true;
}

bool CHostDocument::GetFileBytes(std::vector<char>* pBytes, std::string* pError) const {
  // With no buffer the control reports how many bytes the range holds; the end is clipped to the file.
  const int nSize = m_api.pfnGetFileBuffer(m_hWndMirel, nullptr, 0, INT_MAX);
  if (nSize < 0) {
    *pError = "the control reported a negative file size";
    return false;
  }
  std::vector<char> bytes(static_cast<std::size_t>(nSize));
  if (nSize > 0) {
    const int nCopied = m_api.pfnGetFileBuffer(m_hWndMirel, bytes.data(), 0, nSize);
    if (nCopied < 0 || nCopied > nSize) {
      *pError = "the control copied an unexpected number of bytes";
      return false;
    }
    bytes.resize(static_cast<std::size_t>(nCopied));
  }
  pBytes->swap(bytes);
  return true;
}

bool CHostDocument::SaveAs(const std::string& strPath, std::string* pError) const {
  if (!m_strSaveRefusal.empty()) {
    *pError = m_strSaveRefusal;
    return false;
  }
  std::vector<char> bytes;
  if (!GetFileBytes(&bytes, pError)) return false;
  if (!WriteWholeFile(strPath, bytes.data(), bytes.size(), pError)) return false;
  SetModified(false);
  return true;
}

bool CHostDocument::IsModified() const {
  // Without the query the host cannot tell, so it assumes a change.
  return m_api.pfnIsModified == nullptr || m_api.pfnIsModified(m_hWndMirel) != FALSE;
}

void CHostDocument::SetModified(bool bModified) const {
  if (m_api.pfnSetModified != nullptr) m_api.pfnSetModified(m_hWndMirel, bModified ? TRUE : FALSE);
}

}  // namespace mirel_host
