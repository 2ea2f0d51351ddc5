// Mirel sample host: shows a text file in a Mirel control, saves it back, or
// writes a screenshot of its window and exits.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host_command_line.h"
#include "host_file_io.h"
#include "host_main_window.h"
#include "host_mapped_file.h"
#include "host_mirel_api.h"
#include "host_print_preview.h"
#include "host_screenshot.h"
#include "host_text_format.h"

namespace {

// Exit codes, so that scripts can tell what went wrong.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;
constexpr int kExitFile = 3;
constexpr int kExitLibrary = 4;
constexpr int kExitControl = 5;
constexpr int kExitSave = 6;
constexpr int kExitScreenshot = 7;
constexpr int kExitPrint = 8;

constexpr char kDefaultLibrary[] = "MirelCtrl.dll";
constexpr char kBundledSample[] = "samples\\wordcount.c";

int Fail(int nExitCode, const std::string& strMessage) {
  std::fprintf(stderr, "mirelhost: %s\n", strMessage.c_str());
  std::fflush(stderr);
  return nExitCode;
}

// The folder of this program, with a trailing separator.
std::string ProgramFolder() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD nLen = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (nLen == 0) return std::string();
    if (nLen < path.size()) {
      const std::string strPath(path.data(), nLen);
      const std::size_t nSlash = strPath.find_last_of("\\/");
      return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash + 1);
    }
    if (path.size() >= 32768) return std::string();
    path.resize(path.size() * 2);
  }
}

int Run(const mirel_host::CHostOptions& options) {
  const std::string strFolder = ProgramFolder();
  const std::string strFile = options.strFile.empty() ? strFolder + kBundledSample : options.strFile;
  std::string strError;

  // The library beside the program comes first in the search order of LoadLibraryA.
  mirel_host::CMirelApi api;
  if (!api.Load(options.strDll.empty() ? kDefaultLibrary : options.strDll, &strError)) {
    return Fail(kExitLibrary, strError);
  }

  mirel_host::CHostMainWindow window(api);
  if (!window.Create(GetModuleHandleA(nullptr), &strError)) return Fail(kExitControl, strError);
  const bool bInteractive =
      options.strSaveAs.empty() && options.strScreenshot.empty() && options.strPrintPreview.empty();
  // A person sees the window at once, not only when a large file is in.
  if (bInteractive) window.ShowOpening(strFile);
  mirel_host::CMappedFile file;
  if (!file.Open(strFile, &strError)) return Fail(kExitFile, strError);
  std::vector<std::string> warnings;
  const bool bOpened = window.Open(strFile, file.Data(), file.Size(), &warnings, &strError);
  for (const std::string& strWarning : warnings) {
    std::fprintf(stderr, "mirelhost: warning: %s\n", strWarning.c_str());
  }
  if (!bOpened) return Fail(kExitControl, strError);
  const mirel_host::CHostDocument& document = window.Document();
  std::printf("%s: %lu bytes, %s, %s newlines\n", strFile.c_str(), static_cast<unsigned long>(file.Size()),
              mirel_host::EncodingName(document.Encoding()).c_str(),
              mirel_host::NewlineName(document.Format()).c_str());

  if (!options.strSaveAs.empty()) {
    if (!document.SaveAs(options.strSaveAs, &strError)) return Fail(kExitSave, strError);
    std::printf("saved: %s\n", options.strSaveAs.c_str());
  }
  if (!options.strScreenshot.empty()) {
    window.ShowAndPaint(SW_SHOWNORMAL);
    if (!mirel_host::WriteWindowScreenshot(window.Handle(), options.strScreenshot, &strError)) {
      return Fail(kExitScreenshot, strError);
    }
    std::printf("screenshot: %s\n", options.strScreenshot.c_str());
  }
  if (!options.strPrintPreview.empty()) {
    if (!mirel_host::WritePrintPreview(api, window.Control(), options.strPrintPreview, &strError)) {
      return Fail(kExitPrint, strError);
    }
    std::printf("print preview: %s\n", options.strPrintPreview.c_str());
  }
  std::fflush(stdout);
  if (!bInteractive) return kExitOk;
  file.Close();  // the control holds its own copy

  window.ShowAndPaint(SW_SHOWDEFAULT);
  return window.RunMessageLoop();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string strProgram = argc > 0 ? mirel_host::FileNameOf(argv[0]) : "mirelhost";
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  mirel_host::CHostOptions options;
  std::string strError;
  if (!mirel_host::ParseHostCommandLine(args, &options, &strError)) {
    std::fprintf(stderr, "%s: %s\n%s", strProgram.c_str(), strError.c_str(),
                 mirel_host::HostUsage(strProgram).c_str());
    return kExitUsage;
  }
  if (options.bHelp) {
    std::printf("%s", mirel_host::HostUsage(strProgram).c_str());
    return kExitOk;
  }
  return Run(options);
}
