// Opening a hyperlink: the range is handed to the shell as ANSI text in
// every encoding, and only when it is a link.
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "mirel/cmireldoc.h"
#include "mirel/mirel.h"
#include "mirel/mrhyperlinkopen.h"
#include "test_support.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

namespace {

#ifndef _WIN32

class HyperLinkOpen : public ::testing::TestWithParam<BYTE> {
 protected:
  void SetUp() override {
    MrwTestResetShellExecute();
    doc.nFileEncoding = GetParam();
    ASSERT_EQ(doc.NewFile(), 1);
    ASSERT_EQ(doc.InsertA(kText, static_cast<int>(std::strlen(kText)), TRUE), 1);
    nUnit = IsWideEncoding(GetParam()) ? 2 : 1;
  }
  DWORD P(size_t i) const { return static_cast<DWORD>(i * nUnit); }
  static constexpr const char* kText = "see HTTP://example.org/a and notepad.exe";
  CMirelDoc doc;
  DWORD nUnit = 1;
};

TEST_P(HyperLinkOpen, TheLinkReachesTheShellAsText) {
  MIREL_REQUIRE_STANDIN();
  EXPECT_TRUE(MrOpenHyperLink(doc, P(4), P(24)));
  ASSERT_EQ(MrwTestShellExecuteCount(), 1);
  EXPECT_STREQ(MrwTestLastShellExecuteFile(), "HTTP://example.org/a");
  EXPECT_STREQ(MrwTestLastShellExecuteVerb(), "open");
  EXPECT_EQ(MrwTestLastShellExecuteShow(), SW_SHOWNORMAL);
}

TEST_P(HyperLinkOpen, TextThatIsNoLinkNeverReachesTheShell) {
  MIREL_REQUIRE_STANDIN();
  EXPECT_FALSE(MrOpenHyperLink(doc, P(29), P(40)));  // "notepad.exe"
  EXPECT_FALSE(MrOpenHyperLink(doc, P(5), P(24)));   // "TTP://…": the prefix cut
  EXPECT_FALSE(MrOpenHyperLink(doc, P(4), P(4)));
  EXPECT_FALSE(MrOpenHyperLink(doc, P(24), P(4)));
  EXPECT_FALSE(MrOpenHyperLink(doc, P(100), P(200)));
  EXPECT_EQ(MrwTestShellExecuteCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Encodings, HyperLinkOpen,
                         ::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE,
                                           MIREL_ENCODING_UTF16BE));

#endif

}  // namespace
