// The sample host's command line: file, options with their values, and the errors it reports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_command_line.h"

namespace {

using mirel_host::CHostOptions;
using mirel_host::ParseHostCommandLine;

struct Parsed {
  bool bOk;
  CHostOptions options;
  std::string strError;
};

Parsed Parse(const std::vector<std::string>& args) {
  Parsed parsed;
  parsed.bOk = ParseHostCommandLine(args, &parsed.options, &parsed.strError);
  return parsed;
}

TEST(HostCommandLine, NothingGivenMeansTheBundledSampleShownInAWindow) {
  const Parsed parsed = Parse({});
  ASSERT_TRUE(parsed.bOk);
  EXPECT_TRUE(parsed.options.strFile.empty());
  EXPECT_TRUE(parsed.options.strScreenshot.empty());
  EXPECT_TRUE(parsed.options.strSaveAs.empty());
  EXPECT_TRUE(parsed.options.strDll.empty());
  EXPECT_FALSE(parsed.options.bHelp);
}

TEST(HostCommandLine, OptionsTakeTheNextArgumentOrTheTextAfterEquals) {
  const Parsed parsed = Parse({"--screenshot", "shot.bmp", "C:\\text\\a.c", "--save-as=out.c", "--dll",
                               "MirelCtrlD.dll", "--print-preview=page.bmp"});
  ASSERT_TRUE(parsed.bOk) << parsed.strError;
  EXPECT_EQ(parsed.options.strPrintPreview, "page.bmp");
  EXPECT_EQ(parsed.options.strScreenshot, "shot.bmp");
  EXPECT_EQ(parsed.options.strFile, "C:\\text\\a.c");
  EXPECT_EQ(parsed.options.strSaveAs, "out.c");
  EXPECT_EQ(parsed.options.strDll, "MirelCtrlD.dll");
}

TEST(HostCommandLine, AfterDoubleDashADashedNameIsAFile) {
  const Parsed parsed = Parse({"--", "-notes.txt"});
  ASSERT_TRUE(parsed.bOk) << parsed.strError;
  EXPECT_EQ(parsed.options.strFile, "-notes.txt");
  // A lone dash is a file name too, not an option.
  EXPECT_EQ(Parse({"-"}).options.strFile, "-");
}

TEST(HostCommandLine, HelpIsRecognisedInEachSpelling) {
  for (const char* pszHelp : {"--help", "-h", "/?"}) {
    const Parsed parsed = Parse({pszHelp});
    ASSERT_TRUE(parsed.bOk) << pszHelp;
    EXPECT_TRUE(parsed.options.bHelp) << pszHelp;
    EXPECT_TRUE(parsed.options.strFile.empty()) << pszHelp;
  }
}

TEST(HostCommandLine, MistakesAreRefusedWithAMessageAndLeaveTheOptionsAlone) {
  struct Case {
    std::vector<std::string> args;
    const char* pszInMessage;
  };
  const Case cases[] = {
      {{"--shot", "x.bmp"}, "--shot"},     {{"--screenshot"}, "--screenshot"},
      {{"--screenshot="}, "--screenshot"}, {{"a.c", "b.c"}, "b.c"},
      {{"--dll=", "a.c"}, "--dll"},
  };
  for (const Case& c : cases) {
    CHostOptions options;
    options.strFile = "untouched";
    std::string strError;
    EXPECT_FALSE(ParseHostCommandLine(c.args, &options, &strError)) << c.pszInMessage;
    EXPECT_NE(strError.find(c.pszInMessage), std::string::npos) << strError;
    EXPECT_EQ(options.strFile, "untouched");
  }
}

}  // namespace
