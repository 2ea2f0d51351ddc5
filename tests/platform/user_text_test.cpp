// Character case and classification in the ANSI code page (949 on both
// platforms), wsprintfA and the lstr* helpers.
#include <windows.h>

#include <cstring>
#include <string>

#include "test_support.h"

#ifndef _WIN32
#include <platform_hooks.h>
#endif

namespace {

std::string Hex(const std::string& s) {
  std::string out;
  char buf[4];
  for (unsigned char c : s) {
    std::snprintf(buf, sizeof(buf), "%02X ", c);
    out += buf;
  }
  return out;
}

TEST(UserTextCaseTest, DoubleByteTrailBytesAreNotLetters) {
  // 0x81 0x61 and 0x81 0x41 are Hangul syllables whose trail bytes look like 'a' and 'A'.
  char upper[] =
      "a\x81\x61"
      "b";
  CharUpperA(upper);
  EXPECT_EQ(Hex(upper), Hex("A\x81\x61"
                            "B"));
  char lower[] =
      "A\x81\x41"
      "B";
  CharLowerA(lower);
  EXPECT_EQ(Hex(lower), Hex("a\x81\x41"
                            "b"));

  char buffer[] = "x\x81\x61y\x81\x61";
  EXPECT_EQ(CharUpperBuffA(buffer, 4), 4u);  // stops after y
  EXPECT_EQ(Hex(buffer), Hex("X\x81\x61Y\x81\x61"));
}

TEST(UserTextCaseTest, SingleCharacterInTheLowWord) {
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>('q')))),
            static_cast<ULONG_PTR>('Q'));
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(CharLowerA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>('Q')))),
            static_cast<ULONG_PTR>('q'));
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>('5')))),
            static_cast<ULONG_PTR>('5'));
}

TEST(UserTextCaseTest, ClassifiesCharacters) {
  EXPECT_TRUE(IsCharAlphaA('a'));
  EXPECT_TRUE(IsCharAlphaA('Z'));
  EXPECT_FALSE(IsCharAlphaA('1'));
  EXPECT_FALSE(IsCharAlphaA('_'));
  EXPECT_TRUE(IsCharAlphaNumericA('1'));
  EXPECT_FALSE(IsCharAlphaNumericA(' '));
  EXPECT_TRUE(IsCharUpperA('A'));
  EXPECT_FALSE(IsCharUpperA('a'));
  EXPECT_TRUE(IsCharLowerA('a'));
  EXPECT_FALSE(IsCharAlphaA(static_cast<CHAR>(0xC7)));  // a lead byte alone is no letter
}

TEST(UserTextCaseTest, CharNextAndPrevStepOverWholeCharacters) {
  const char text[] =
      "a\xC7\xD1"
      "b";
  LPCSTR p = text;
  p = CharNextA(p);
  EXPECT_EQ(p, text + 1);
  p = CharNextA(p);
  EXPECT_EQ(p, text + 3);  // both bytes of the Hangul syllable
  p = CharNextA(p);
  EXPECT_EQ(p, text + 4);
  EXPECT_EQ(CharNextA(p), p);  // the terminator is the end
  EXPECT_EQ(CharPrevA(text, text + 4), text + 3);
  EXPECT_EQ(CharPrevA(text, text + 3), text + 1);
  EXPECT_EQ(CharPrevA(text, text + 1), text);
  EXPECT_EQ(CharPrevA(text, text), text);
}

#ifndef _WIN32
TEST(UserTextCaseTest, LatinLettersOfASingleByteCodePage) {
  MrwTestSetACP(1252);
  char text[] = "\xE0\xE9\xFF\xDF\xB5x";  // à é ÿ ß µ x
  CharUpperA(text);
  // ÿ becomes Ÿ (0x9F); ß and µ have no capital in the code page.
  EXPECT_EQ(Hex(text), Hex("\xC0\xC9\x9F\xDF\xB5X"));
  EXPECT_TRUE(IsCharAlphaA(static_cast<CHAR>(0xE9)));
  EXPECT_TRUE(IsCharUpperA(static_cast<CHAR>(0xC9)));
  EXPECT_FALSE(IsCharAlphaA(static_cast<CHAR>(0xD7)));  // multiplication sign
  MrwTestSetACP(949);
}
#endif

TEST(UserFormatTest, DocumentedConversions) {
  char buf[256];
  int n = wsprintfA(buf, "%d|%5d|%-5d|%05d|%u|%x|%X|%#x|%s|%c|%ld|%lu|%lx|%.3s|%%|%5.3d|%-#6x|", -42, 42, 42,
                    42, 4000000000u, 255, 255, 255, "str", 'z', static_cast<LONG>(-7), static_cast<DWORD>(7),
                    static_cast<LONG>(0xabc), "abcdef", 7, 10);
  const char expected[] = "-42|   42|42   |00042|4000000000|ff|FF|0xff|str|z|-7|7|abc|abc|%|  007|0xa     |";
  EXPECT_STREQ(buf, expected);
  EXPECT_EQ(n, static_cast<int>(std::strlen(expected)));
  EXPECT_EQ(wsprintfA(buf, "%s", static_cast<const char*>(nullptr)), 6);
  EXPECT_STREQ(buf, "(null)");
}

TEST(UserFormatTest, OutputStopsAtTheLimit) {
  std::string big(1500, 'x');
  char buf[2048];
  std::memset(buf, '#', sizeof(buf));
  int n = wsprintfA(buf, "%s", big.c_str());
  EXPECT_EQ(std::strlen(buf), 1023u);  // 1024 bytes with the terminator
  EXPECT_GE(n, 1023);
  EXPECT_LE(n, 1024);
  EXPECT_EQ(buf[1024], '#');  // nothing written past the limit
}

TEST(UserStringTest, CompareLikeAWordSort) {
  EXPECT_LT(lstrcmpA("abc", "abd"), 0);
  EXPECT_LT(lstrcmpA("ab", "abc"), 0);
  EXPECT_LT(lstrcmpA("a", "B"), 0);  // letters first, case second
  EXPECT_GT(lstrcmpA("B", "a"), 0);
  EXPECT_LT(lstrcmpA("a", "A"), 0);  // lowercase first
  EXPECT_GT(lstrcmpA("co-op", "coop"), 0);
  EXPECT_LT(lstrcmpA("1", "a"), 0);
  EXPECT_LT(lstrcmpA("_", "a"), 0);
  EXPECT_EQ(lstrcmpA("same", "same"), 0);
  EXPECT_EQ(lstrcmpiA("Hello", "hELLO"), 0);
  EXPECT_LT(lstrcmpiA("apple", "BANANA"), 0);
}

TEST(UserStringTest, CopyHelpers) {
  char buf[8];
  EXPECT_EQ(lstrlenA("mirel"), 5);
  EXPECT_EQ(lstrlenA(nullptr), 0);
  EXPECT_EQ(lstrcpynA(buf, "abcdefghij", 4), buf);
  EXPECT_STREQ(buf, "abc");
  lstrcpyA(buf, "ab");
  lstrcatA(buf, "cd");
  EXPECT_STREQ(buf, "abcd");
}

}  // namespace
