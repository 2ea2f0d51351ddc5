// The clipboard: ownership, formats, registered formats and the conversion
// between the text formats (Korean text in code page 949).
#include <windows.h>

#include <cstring>
#include <string>

#include "user_test_window.h"

namespace {

using user_test::WindowTest;

// "한글" (U+D55C U+AE00) in code page 949.
const char kKoreanAnsi[] = "\xC7\xD1\xB1\xDB";

HGLOBAL GlobalFromBytes(const void* bytes, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  void* p = GlobalLock(h);
  std::memcpy(p, bytes, size);
  GlobalUnlock(h);
  return h;
}

std::string AnsiFrom(HANDLE h) {
  if (!h) return "<null>";
  const char* p = static_cast<const char*>(GlobalLock(h));
  std::string s(p, strnlen(p, GlobalSize(h)));
  GlobalUnlock(h);
  return s;
}

std::basic_string<WCHAR> WideFrom(HANDLE h) {
  std::basic_string<WCHAR> s;
  if (!h) return s;
  const WCHAR* p = static_cast<const WCHAR*>(GlobalLock(h));
  size_t limit = GlobalSize(h) / sizeof(WCHAR);
  for (size_t i = 0; i < limit && p[i]; ++i) s.push_back(p[i]);
  GlobalUnlock(h);
  return s;
}

class UserClipboardTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
#ifndef _WIN32
    MrwTestResetClipboard();
#endif
    owner_ = CreateTopLevel(0, 0, 50, 50, 0);
  }

  void Put(UINT format, const void* bytes, size_t size) {
    ASSERT_TRUE(OpenClipboard(owner_));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_NE(SetClipboardData(format, GlobalFromBytes(bytes, size)), nullptr);
    ASSERT_TRUE(CloseClipboard());
  }

  HWND owner_ = nullptr;
};

TEST_F(UserClipboardTest, AnsiTextIsOfferedAsUnicodeText) {
  Put(CF_TEXT, kKoreanAnsi, sizeof(kKoreanAnsi));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_OEMTEXT));
  EXPECT_EQ(GetClipboardOwner(), owner_);

  ASSERT_TRUE(OpenClipboard(owner_));
  EXPECT_EQ(WideFrom(GetClipboardData(CF_UNICODETEXT)), mirel_test::Wide(u"\uD55C\uAE00"));
  EXPECT_EQ(AnsiFrom(GetClipboardData(CF_TEXT)), kKoreanAnsi);
  if (GetOEMCP() == GetACP()) {
    EXPECT_EQ(AnsiFrom(GetClipboardData(CF_OEMTEXT)), kKoreanAnsi);
  }
  CloseClipboard();
}

TEST_F(UserClipboardTest, UnicodeTextIsOfferedAsAnsiText) {
  std::basic_string<WCHAR> text = mirel_test::Wide(u"\uD55C\uAE00 abc");
  Put(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
  ASSERT_TRUE(OpenClipboard(owner_));
  EXPECT_EQ(AnsiFrom(GetClipboardData(CF_TEXT)), std::string(kKoreanAnsi) + " abc");
  EXPECT_EQ(WideFrom(GetClipboardData(CF_UNICODETEXT)), text);

  // Every format is listed once, the placed one and the synthesised ones.
  bool sawText = false;
  bool sawUnicode = false;
  int count = 0;
  for (UINT f = EnumClipboardFormats(0); f != 0 && count < 100; f = EnumClipboardFormats(f), ++count) {
    sawText |= f == CF_TEXT;
    sawUnicode |= f == CF_UNICODETEXT;
  }
  EXPECT_TRUE(sawText);
  EXPECT_TRUE(sawUnicode);
  EXPECT_EQ(count, CountClipboardFormats());
  CloseClipboard();
}

TEST_F(UserClipboardTest, RegisteredFormatsAreStableAndKeepTheirData) {
  UINT binary = RegisterClipboardFormatA("__BINARY_FORMAT__");
  EXPECT_GE(binary, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormatA("__BINARY_FORMAT__"), binary);
  EXPECT_EQ(RegisterClipboardFormatA("__binary_format__"), binary);  // names ignore case
  UINT other = RegisterClipboardFormatA("__MIREL_TEST_OTHER__");
  EXPECT_GE(other, 0xC000u);
  EXPECT_NE(other, binary);
  char name[64] = {};
  EXPECT_EQ(GetClipboardFormatNameA(binary, name, sizeof(name)), 17);
  EXPECT_STREQ(name, "__BINARY_FORMAT__");

  const unsigned char bytes[] = {0, 1, 2, 0xFF, 0, 7};
  Put(binary, bytes, sizeof(bytes));
  EXPECT_TRUE(IsClipboardFormatAvailable(binary));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));  // binary data is not text
  ASSERT_TRUE(OpenClipboard(owner_));
  HANDLE h = GetClipboardData(binary);
  ASSERT_NE(h, nullptr);
  ASSERT_GE(GlobalSize(h), sizeof(bytes));
  EXPECT_EQ(std::memcmp(GlobalLock(h), bytes, sizeof(bytes)), 0);
  GlobalUnlock(h);
  CloseClipboard();
}

TEST_F(UserClipboardTest, OnlyOneWindowHasTheClipboardOpen) {
  HWND other = CreateTopLevel(0, 0, 50, 50, 0);
  ASSERT_TRUE(OpenClipboard(owner_));
  EXPECT_FALSE(OpenClipboard(other));
  EXPECT_TRUE(CloseClipboard());
  EXPECT_TRUE(OpenClipboard(other));
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_TRUE(CloseClipboard());
  EXPECT_EQ(GetClipboardOwner(), other);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(UserClipboardTest, ClosedClipboardRefusesDataAccess) {
  SetLastError(0);
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
  HGLOBAL h = GlobalFromBytes("x", 2);
  EXPECT_EQ(SetClipboardData(CF_TEXT, h), nullptr);
  GlobalFree(h);  // refused data stays the caller's
  EXPECT_FALSE(EmptyClipboard());
  EXPECT_FALSE(CloseClipboard());
}

TEST_F(UserClipboardTest, NewTextReplacesTheOldConversions) {
  Put(CF_TEXT, "old", 4);
  ASSERT_TRUE(OpenClipboard(owner_));
  EXPECT_EQ(WideFrom(GetClipboardData(CF_UNICODETEXT)), mirel_test::Wide(u"old"));
  CloseClipboard();
  Put(CF_TEXT, "new", 4);
  ASSERT_TRUE(OpenClipboard(owner_));
  EXPECT_EQ(WideFrom(GetClipboardData(CF_UNICODETEXT)), mirel_test::Wide(u"new"));
  CloseClipboard();
}

}  // namespace
