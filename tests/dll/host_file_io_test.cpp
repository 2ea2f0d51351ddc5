// The sample host reads and writes files byte for byte: no newline translation,
// zero bytes kept, a rewrite replaces the old contents.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_file_io.h"

namespace {

class HostFileIo : public testing::Test {
 protected:
  void SetUp() override {
    char szFolder[MAX_PATH] = {};
    char szFile[MAX_PATH] = {};
    ASSERT_NE(GetTempPathA(MAX_PATH, szFolder), 0u);
    ASSERT_NE(GetTempFileNameA(szFolder, "mh", 0, szFile), 0u);
    m_strPath = szFile;
  }
  void TearDown() override {
    if (!m_strPath.empty()) DeleteFileA(m_strPath.c_str());
  }
  std::string m_strPath;
};

TEST_F(HostFileIo, BytesComeBackExactlyAsWritten) {
  const std::string bytes("a\r\nb\n\x1A\0\xFF\r", 10);
  std::string strError;
  ASSERT_TRUE(mirel_host::WriteWholeFile(m_strPath, bytes.data(), bytes.size(), &strError)) << strError;
  std::vector<char> read;
  ASSERT_TRUE(mirel_host::ReadWholeFile(m_strPath, &read, &strError)) << strError;
  EXPECT_EQ(std::string(read.begin(), read.end()), bytes);

  // A shorter second write leaves nothing of the first behind.
  ASSERT_TRUE(mirel_host::WriteWholeFile(m_strPath, "xy", 2, &strError)) << strError;
  ASSERT_TRUE(mirel_host::ReadWholeFile(m_strPath, &read, &strError)) << strError;
  EXPECT_EQ(std::string(read.begin(), read.end()), "xy");

  ASSERT_TRUE(mirel_host::WriteWholeFile(m_strPath, nullptr, 0, &strError)) << strError;
  ASSERT_TRUE(mirel_host::ReadWholeFile(m_strPath, &read, &strError)) << strError;
  EXPECT_TRUE(read.empty());
}

TEST_F(HostFileIo, AMissingFileIsReportedAndLeavesTheBufferAlone) {
  const std::string strMissing = m_strPath + ".missing";
  std::vector<char> read{'k'};
  std::string strError;
  EXPECT_FALSE(mirel_host::ReadWholeFile(strMissing, &read, &strError));
  EXPECT_NE(strError.find(strMissing), std::string::npos);
  EXPECT_EQ(read, std::vector<char>{'k'});
}

}  // namespace
