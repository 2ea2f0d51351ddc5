#include "host_mirel_api.h"

namespace mirel_host {

namespace {

// Stores the export's address in a function pointer of any type.
template <typename Fn>
bool Resolve(HMODULE hModule, const char* pszName, Fn* pfn) {
  *pfn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(hModule, pszName)));
  return *pfn != nullptr;
}

}  // namespace

CMirelApi::~CMirelApi() {
  if (m_hModule != nullptr) FreeLibrary(m_hModule);
}

bool CMirelApi::Load(const std::string& strPath, std::string* pError) {
  if (m_hModule == nullptr) m_hModule = LoadLibraryA(strPath.c_str());
  if (m_hModule == nullptr) {
    *pError =
        "cannot load the control library \"" + strPath + "\" (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  std::string strMissing;
  auto require = [&](const char* pszName, auto* pfn) {
    if (!Resolve(m_hModule, pszName, pfn))
      strMissing += std::string(strMissing.empty() ? "" : ", ") + pszName;
  };
  require("Mirel_Create", &pfnCreate);
  require("Mirel_Destroy", &pfnDestroy);
  require("Mirel_NewFile", &pfnNewFile);
  require("Mirel_InsertA", &pfnInsertA);
  require("Mirel_InsertW", &pfnInsertW);
  require("Mirel_InsertU", &pfnInsertU);
  require("Mirel_GetFileBuffer", &pfnGetFileBuffer);
  require("Mirel_DetermineEncoding", &pfnDetermineEncoding);
  require("Mirel_DetermineFileFormat", &pfnDetermineFileFormat);

  // Optional exports stay NULL when missing; their users check.
  Resolve(m_hModule, "Mirel_SetFileEncoding", &pfnSetFileEncoding);
  Resolve(m_hModule, "Mirel_SetFileFormat", &pfnSetFileFormat);
  Resolve(m_hModule, "Mirel_SetSel", &pfnSetSel);
  Resolve(m_hModule, "Mirel_SetModified", &pfnSetModified);
  Resolve(m_hModule, "Mirel_IsModified", &pfnIsModified);
  Resolve(m_hModule, "Mirel_SetSyntaxGeneral", &pfnSetSyntaxGeneral);
  Resolve(m_hModule, "Mirel_SetSyntaxHtml", &pfnSetSyntaxHtml);
  Resolve(m_hModule, "Mirel_PreparePrint", &pfnPreparePrint);
  Resolve(m_hModule, "Mirel_PrintPage", &pfnPrintPage);
  Resolve(m_hModule, "Mirel_EndPrint", &pfnEndPrint);
  Resolve(m_hModule, "Mirel_SetFont", &pfnSetFont);

  if (!strMissing.empty()) {
    *pError = "the control library \"" + strPath + "\" does not export " + strMissing;
    return false;
  }
  return true;
}

}  // namespace mirel_host
