// Command line of the sample host: which file to show, and what to do with it.
#pragma once

#include <string>
#include <vector>

namespace mirel_host {

// What the user asked for. Empty strings mean "not given".
struct CHostOptions {
  std::string strFile;          // file to open; the bundled sample when empty
  std::string strScreenshot;    // write a picture of the window here, then exit
  std::string strPrintPreview;  // print page 1 as a picture here, then exit
  std::string strSaveAs;        // save the loaded document here (its file bytes), then exit
  std::string strDll;           // the control library to load; MirelCtrl.dll when empty
  bool bHelp = false;
};

// Reads the arguments after the program name. Options take their value as the
// next argument or after '='; "--" ends the options. Returns false with a
// message in *pError for an unknown option, a missing value or a second file.
bool ParseHostCommandLine(const std::vector<std::string>& args, CHostOptions* pOptions, std::string* pError);

// The usage text printed for --help and after a command-line error.
std::string HostUsage(const std::string& strProgram);

}  // namespace mirel_host
