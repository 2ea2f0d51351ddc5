// Temporary files and file handles: names, dispositions, reading, writing, seeking.
#include "test_support.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace {

std::string TempDirectory() {
  char path[MAX_PATH + 1];
  const DWORD n = GetTempPathA(sizeof(path), path);
  return std::string(path, n);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A fresh, empty temporary file that is deleted when the test ends.
class TempFile {
 public:
  TempFile() {
    char name[MAX_PATH];
    if (GetTempFileNameA(TempDirectory().c_str(), "mrk", 0, name) != 0) path = name;
  }
  ~TempFile() {
    if (!path.empty()) DeleteFileA(path.c_str());
  }
  std::string path;
};

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

HANDLE Open(const std::string& path, DWORD access, DWORD disposition, DWORD flags = FILE_ATTRIBUTE_NORMAL) {
  return CreateFileA(path.c_str(), access, 0, nullptr, disposition, flags, nullptr);
}

TEST(KernelTempFiles, TempPathEndsWithASeparatorAndAnswersSizeQueries) {
  char path[MAX_PATH + 1];
  const DWORD n = GetTempPathA(sizeof(path), path);
  ASSERT_GT(n, 0u);
  ASSERT_LT(n, sizeof(path));
  EXPECT_EQ(path[n], '\0');
  EXPECT_TRUE(path[n - 1] == '\\' || path[n - 1] == '/');
  EXPECT_EQ(GetFileAttributesA(path) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  // Too small a buffer (or none) gives the size needed, terminator included.
  EXPECT_EQ(GetTempPathA(0, nullptr), n + 1);
  char tiny[2];
  EXPECT_EQ(GetTempPathA(sizeof(tiny), tiny), n + 1);
  EXPECT_EQ(GetTempPathA(n + 1, path), n);
}

TEST(KernelTempFiles, UniqueNamesAreCreatedAndCarryTheirNumber) {
  const std::string directory = TempDirectory();
  char first[MAX_PATH];
  char second[MAX_PATH];
  const UINT a = GetTempFileNameA(directory.c_str(), "mrlong", 0, first);
  const UINT b = GetTempFileNameA(directory.c_str(), "mrlong", 0, second);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_NE(std::string(first), std::string(second));
  EXPECT_TRUE(Exists(first));
  EXPECT_TRUE(Exists(second));
  // <directory><first three letters of the prefix><hex number>.tmp
  const std::string name = Lower(FileNameOf(first));
  EXPECT_EQ(std::string(first).compare(0, directory.size(), directory), 0);
  ASSERT_GT(name.size(), 7u);
  EXPECT_EQ(name.substr(0, 3), "mrl");
  EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
  EXPECT_EQ(std::strtoul(name.substr(3, name.size() - 7).c_str(), nullptr, 16), a);
  EXPECT_TRUE(DeleteFileA(first));
  EXPECT_TRUE(DeleteFileA(second));
}

TEST(KernelTempFiles, GivenNumberMakesANameWithoutAFile) {
  const std::string directory = TempDirectory();
  char name[MAX_PATH];
  EXPECT_EQ(GetTempFileNameA(directory.c_str(), "abcdef", 0x1A2B, name), 0x1A2Bu);
  EXPECT_EQ(Lower(FileNameOf(name)), "abc1a2b.tmp");
  EXPECT_FALSE(Exists(name));
}

TEST(KernelTempFiles, MissingDirectoryFails) {
  char name[MAX_PATH];
  const std::string missing = TempDirectory() + "mirel-no-such-dir";
  SetLastError(0);
  EXPECT_EQ(GetTempFileNameA(missing.c_str(), "che", 0, name), 0u);
  EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST(KernelFiles, WriteSeekReadRoundTrip) {
  TempFile temp;
  ASSERT_FALSE(temp.path.empty());
  HANDLE file = Open(temp.path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, "hello world", 11, &written, nullptr));
  EXPECT_EQ(written, 11u);
  DWORD high = 7;
  EXPECT_EQ(GetFileSize(file, &high), 11u);
  EXPECT_EQ(high, 0u);

  EXPECT_EQ(SetFilePointer(file, 6, nullptr, FILE_BEGIN), 6u);
  char buffer[32] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(file, buffer, sizeof(buffer), &read, nullptr));
  EXPECT_EQ(read, 5u);
  EXPECT_STREQ(buffer, "world");
  // At the end a read succeeds with nothing.
  read = 99;
  EXPECT_TRUE(ReadFile(file, buffer, sizeof(buffer), &read, nullptr));
  EXPECT_EQ(read, 0u);

  EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_CURRENT), 6u);
  LONG moveHigh = -1;
  EXPECT_EQ(SetFilePointer(file, -1, &moveHigh, FILE_END), 10u);
  EXPECT_EQ(moveHigh, 0);
  ASSERT_TRUE(ReadFile(file, buffer, 1, &read, nullptr));
  EXPECT_EQ(buffer[0], 'd');

  EXPECT_EQ(SetFilePointer(file, 5, nullptr, FILE_BEGIN), 5u);
  EXPECT_TRUE(SetEndOfFile(file));
  EXPECT_EQ(GetFileSize(file, nullptr), 5u);
  EXPECT_TRUE(CloseHandle(file));

  EXPECT_TRUE(DeleteFileA(temp.path.c_str()));
  EXPECT_FALSE(Exists(temp.path));
  SetLastError(0);
  EXPECT_FALSE(DeleteFileA(temp.path.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(KernelFiles, SeekingRefusesNegativePositionsAndBadMethods) {
  TempFile temp;
  HANDLE file = Open(temp.path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  SetLastError(0);
  EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  SetLastError(0);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // The high part moves past 4 GiB without writing anything.
  LONG high = 1;
  EXPECT_EQ(SetFilePointer(file, 0, &high, FILE_BEGIN), 0u);
  EXPECT_EQ(high, 1);
  EXPECT_EQ(GetFileSize(file, nullptr), 0u);
  CloseHandle(file);
}

TEST(KernelFiles, CreationDispositions) {
  TempFile temp;
  ASSERT_TRUE(Exists(temp.path));
  SetLastError(0);
  EXPECT_EQ(Open(temp.path, GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));

  HANDLE file = Open(temp.path, GENERIC_WRITE, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, "data", 4, &written, nullptr);
  CloseHandle(file);

  file = Open(temp.path, GENERIC_READ, OPEN_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(file, nullptr), 4u);  // opened, not truncated
  CloseHandle(file);

  file = Open(temp.path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(file, nullptr), 0u);  // truncated
  CloseHandle(file);

  ASSERT_TRUE(DeleteFileA(temp.path.c_str()));
  SetLastError(0);
  EXPECT_EQ(Open(temp.path, GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  file = Open(temp.path, GENERIC_READ, OPEN_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(file);
}

TEST(KernelFiles, DeleteOnCloseRemovesTheFile) {
  TempFile temp;
  HANDLE file = Open(temp.path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, "x", 1, &written, nullptr));
  EXPECT_TRUE(Exists(temp.path));
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_FALSE(Exists(temp.path));
}

TEST(KernelFiles, AccessRightsAreEnforced) {
  TempFile temp;
  HANDLE file = Open(temp.path, GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 5;
  SetLastError(0);
  EXPECT_FALSE(WriteFile(file, "x", 1, &written, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(written, 0u);
  CloseHandle(file);
}

TEST(KernelFiles, BackslashPathsWork) {
  TempFile temp;
  std::string backslashed = temp.path;
  for (char& c : backslashed)
    if (c == '/') c = '\\';
  HANDLE file = Open(backslashed, GENERIC_READ, OPEN_EXISTING);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
}

TEST(KernelFiles, InvalidHandlesAreRefused) {
  char buffer[4];
  DWORD count = 0;
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_FALSE(ReadFile(INVALID_HANDLE_VALUE, buffer, sizeof(buffer), &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_EQ(GetFileSize(INVALID_HANDLE_VALUE, nullptr), INVALID_FILE_SIZE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_EQ(CreateFileA(TempDirectory().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));  // a directory is no file
}

}  // namespace
