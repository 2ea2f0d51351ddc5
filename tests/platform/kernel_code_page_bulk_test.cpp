// Long conversions give what the same characters give one call each: every
// lead and trail byte pair of the double-byte code pages, every UTF-16 unit,
// with a buffer large enough for any output and one just large enough.
#include "test_support.h"

#include <string>
#include <vector>

namespace {

using WString = std::basic_string<WCHAR>;

constexpr UINT kDoubleByteCodePages[] = {932, 936, 949, 950};

WString Decode(UINT codePage, const std::string& bytes, int nCapacity) {
  WString out(static_cast<size_t>(nCapacity), 0);
  const int n =
      MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], nCapacity);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

std::string Encode(UINT codePage, const WString& units, int nCapacity, BOOL* pUsedDefault) {
  std::string out(static_cast<size_t>(nCapacity), '\0');
  const int n = WideCharToMultiByte(codePage, 0, units.data(), static_cast<int>(units.size()), &out[0],
                                    nCapacity, nullptr, pUsedDefault);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

TEST(KernelCodePageBulk, EveryLeadAndTrailPairDecodesAsInOneCallOfItsOwn) {
  for (UINT codePage : kDoubleByteCodePages) {
    if (!IsValidCodePage(codePage)) continue;
    std::string all;
    WString want;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      if (!IsDBCSLeadByteEx(codePage, static_cast<BYTE>(lead))) continue;
      for (int trail = 0x01; trail <= 0xFF; ++trail) {
        const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
        // Pairs that decode as one character alone (a lead byte before a
        // byte that cannot follow it may be two characters, the second of
        // which could start a pair with the next lead).
        const WString alone = Decode(codePage, pair, 2);
        if (alone.size() != 1) continue;
        all += pair;
        want += alone;
      }
    }
    EXPECT_GT(want.size(), 10000u) << codePage;
    EXPECT_TRUE(Decode(codePage, all, static_cast<int>(all.size())) == want) << codePage;
    EXPECT_TRUE(Decode(codePage, all, static_cast<int>(want.size())) == want) << codePage;
  }
}

TEST(KernelCodePageBulk, EveryUnitEncodesAsInOneCallOfItsOwn) {
  for (UINT codePage : kDoubleByteCodePages) {
    if (!IsValidCodePage(codePage)) continue;
    WString all;
    std::string want;
    bool bAnyDefault = false;
    for (unsigned u = 1; u <= 0xFFFF; ++u) {
      // Surrogates next to each other would make pairs.
      if (u >= 0xD800 && u <= 0xDFFF) continue;
      BOOL bDefault = FALSE;
      const std::string alone = Encode(codePage, WString(1, static_cast<WCHAR>(u)), 2, &bDefault);
      ASSERT_FALSE(alone.empty()) << codePage << " " << u;
      bAnyDefault = bAnyDefault || bDefault;
      all += static_cast<WCHAR>(u);
      want += alone;
    }
    for (int nCapacity : {static_cast<int>(want.size()), static_cast<int>(all.size() * 3)}) {
      BOOL bDefault = FALSE;
      EXPECT_TRUE(Encode(codePage, all, nCapacity, &bDefault) == want) << codePage << " " << nCapacity;
      EXPECT_EQ(bDefault != FALSE, bAnyDefault) << codePage;
    }
  }
}

}  // namespace
