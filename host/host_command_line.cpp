#include "host_command_line.h"

#include <cstddef>

namespace mirel_host {

namespace {

struct CValueOption {
  const char* pszName;
  std::string CHostOptions::*pMember;
};

constexpr CValueOption kValueOptions[] = {
    {"--screenshot", &CHostOptions::strScreenshot},
    {"--save-as", &CHostOptions::strSaveAs},
    {"--print-preview", &CHostOptions::strPrintPreview},
    {"--dll", &CHostOptions::strDll},
};

const CValueOption* FindValueOption(const std::string& strName) {
  for (const CValueOption& option : kValueOptions) {
    if (strName == option.pszName) return &option;
  }
  return nullptr;
}

}  // namespace

bool ParseHostCommandLine(const std::vector<std::string>& args, CHostOptions* pOptions, std::string* pError) {
  CHostOptions options;
  bool bOptionsEnded = false;
  bool bHaveFile = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!bOptionsEnded && arg == "/?") {
      options.bHelp = true;
      continue;
    }
    const bool bLooksLikeOption = !bOptionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!bLooksLikeOption) {
      if (bHaveFile) {
        *pError = "only one file can be opened, got \"" + options.strFile + "\" and \"" + arg + "\"";
        return false;
      }
      options.strFile = arg;
      bHaveFile = true;
      continue;
    }
    if (arg == "--") {
      bOptionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.bHelp = true;
      continue;
    }
    const std::size_t nEquals = arg.find('=');
    const std::string strName = arg.substr(0, nEquals);
    const CValueOption* pOption = FindValueOption(strName);
    if (pOption == nullptr) {
      *pError = "unknown option \"" + strName + "\"";
      return false;
    }
    std::string strValue;
    if (nEquals != std::string::npos) {
      strValue = arg.substr(nEquals + 1);
    } else if (i + 1 < args.size()) {
      strValue = args[++i];
    }
    if (strValue.empty()) {
      *pError = "option " + strName + " needs a file name";
      return false;
    }
    options.*(pOption->pMember) = strValue;
  }
  *pOptions = options;
  return true;
}

std::string HostUsage(const std::string& strProgram) {
  return "usage: " + strProgram +
         " [--screenshot IMAGE.bmp] [--print-preview IMAGE.bmp] [--save-as FILE] [--dll MirelCtrl.dll] "
         "[FILE]\n"
         "  FILE          the text file to show (the bundled sample when omitted)\n"
         "  --screenshot  write a picture of the window as a BMP file and exit\n"
         "  --print-preview  print page 1 as a BMP file and exit\n"
         "  --save-as     write the document's bytes to FILE and exit\n"
         "  --dll         load the control from this library\n"
         "In the window, Ctrl+S saves the file back.\n";
}

}  // namespace mirel_host
