// The double-byte code pages convert through tables built once from the C
// library's converters: every lead and trail pair and every basic-plane unit
// gives what a direct conversion by the C library gives, one at a time and
// as one whole run, and what it cannot convert gives the default character
// and the used-default flag.
#ifndef _WIN32

#include <iconv.h>

#include <string>

#include "test_support.h"

namespace {

using WString = std::basic_string<WCHAR>;

struct CodePage {
  UINT nCodePage;
  const char* pszIconv;
  WCHAR chUnicodeDefault;
};
constexpr CodePage kDoubleByteCodePages[] = {
    {932, "CP932", 0x30FB}, {936, "CP936", u'?'}, {949, "CP949", u'?'}, {950, "CP950", u'?'}};

// A direct conversion by the C library; false when it refuses any of the input.
class Direct {
 public:
  Direct(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Direct() {
    if (IsOpen()) iconv_close(cd);
  }
  Direct(const Direct&) = delete;
  Direct& operator=(const Direct&) = delete;
  bool IsOpen() const { return cd != reinterpret_cast<iconv_t>(-1); }

  bool Run(const std::string& in, std::string* pOut) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 4 + 16, '\0');
    char* pIn = const_cast<char*>(in.data());
    char* pOut2 = &out[0];
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    if (iconv(cd, &pIn, &inLeft, &pOut2, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return false;
    if (iconv(cd, nullptr, nullptr, &pOut2, &outLeft) == static_cast<size_t>(-1)) return false;
    out.resize(static_cast<size_t>(pOut2 - out.data()));
    *pOut = out;
    return true;
  }

 private:
  iconv_t cd;
};

std::string UnitsAsBytes(const WString& units) {
  std::string out;
  for (WCHAR u : units) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

WString BytesAsUnits(const std::string& bytes) {
  WString out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    out += static_cast<WCHAR>(static_cast<BYTE>(bytes[i]) | (static_cast<BYTE>(bytes[i + 1]) << 8));
  return out;
}

WString Decode(UINT codePage, DWORD flags, const std::string& bytes) {
  WString out(bytes.size() + 1, 0);
  const int n = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), &out[0],
                                    static_cast<int>(out.size()));
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

std::string Encode(UINT codePage, DWORD flags, const WString& units, LPCSTR pDefault, BOOL* pUsedDefault) {
  std::string out(units.size() * 2 + 1, '\0');
  const int n = WideCharToMultiByte(codePage, flags, units.data(), static_cast<int>(units.size()), &out[0],
                                    static_cast<int>(out.size()), pDefault, pUsedDefault);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

TEST(KernelCodePageIconv, EveryLeadAndTrailPairDecodesAsTheCLibraryDoes) {
  for (const CodePage& cp : kDoubleByteCodePages) {
    Direct decoder("UTF-16LE", cp.pszIconv);
    if (!decoder.IsOpen()) continue;
    std::string all;
    WString want;
    int nRefused = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      if (!IsDBCSLeadByteEx(cp.nCodePage, static_cast<BYTE>(lead))) continue;
      for (int trail = 0x01; trail <= 0xFF; ++trail) {
        const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
        std::string direct;
        const bool bOne = decoder.Run(pair, &direct) && direct.size() == 2 && direct != std::string(2, '\0');
        if (bOne) {
          const WString unit = BytesAsUnits(direct);
          ASSERT_TRUE(Decode(cp.nCodePage, MB_ERR_INVALID_CHARS, pair) == unit)
              << cp.nCodePage << " " << lead << " " << trail;
          all += pair;
          want += unit;
          continue;
        }
        // Refused by the C library: refused in strict mode, else the code page's default unit.
        ++nRefused;
        SetLastError(0);
        EXPECT_TRUE(Decode(cp.nCodePage, MB_ERR_INVALID_CHARS, pair).empty()) << cp.nCodePage << " " << lead;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
        const WString loose = Decode(cp.nCodePage, 0, pair);
        ASSERT_FALSE(loose.empty());
        EXPECT_EQ(loose[0], cp.chUnicodeDefault) << cp.nCodePage << " " << lead << " " << trail;
      }
    }
    EXPECT_GT(nRefused, 0) << cp.nCodePage;
    // The whole run in one call against one direct conversion of it.
    std::string direct;
    ASSERT_TRUE(decoder.Run(all, &direct)) << cp.nCodePage;
    EXPECT_TRUE(BytesAsUnits(direct) == want) << cp.nCodePage;
    EXPECT_TRUE(Decode(cp.nCodePage, 0, all) == want) << cp.nCodePage;
  }
}

TEST(KernelCodePageIconv, EveryBasicPlaneUnitEncodesAsTheCLibraryDoes) {
  for (const CodePage& cp : kDoubleByteCodePages) {
    Direct encoder(cp.pszIconv, "UTF-16LE");
    Direct decoder("UTF-16LE", cp.pszIconv);
    if (!encoder.IsOpen() || !decoder.IsOpen()) continue;
    WString all;
    std::string want;
    int nUnmappable = 0;
    for (unsigned u = 1; u < 0x10000; ++u) {
      if (u >= 0xD800 && u <= 0xDFFF) continue;
      const WString unit(1, static_cast<WCHAR>(u));
      std::string direct, back;
      const bool bEncoded = encoder.Run(UnitsAsBytes(unit), &direct) && !direct.empty() && direct.size() <= 2;
      const bool bRoundTrip = bEncoded && decoder.Run(direct, &back) && BytesAsUnits(back) == unit;
      BOOL bUsed = TRUE;
      const std::string got = Encode(cp.nCodePage, 0, unit, nullptr, &bUsed);
      if (bRoundTrip) {
        ASSERT_EQ(got, direct) << cp.nCodePage << " U+" << std::hex << u;
        EXPECT_FALSE(bUsed) << cp.nCodePage << " U+" << std::hex << u;
        all += unit;
        want += direct;
        continue;
      }
      // A one-way mapping counts only while best fit is allowed; with it
      // refused, only bytes that decode back to the unit may stand for it.
      BOOL bUsedStrict = FALSE;
      const std::string strict = Encode(cp.nCodePage, WC_NO_BEST_FIT_CHARS, unit, nullptr, &bUsedStrict);
      if (bUsedStrict) {
        EXPECT_EQ(strict, "?") << cp.nCodePage << " U+" << std::hex << u;
      } else {
        EXPECT_TRUE(Decode(cp.nCodePage, 0, strict) == unit) << cp.nCodePage << " U+" << std::hex << u;
      }
      if (!bEncoded && bUsed) {
        ++nUnmappable;
        EXPECT_EQ(got, "?") << cp.nCodePage << " U+" << std::hex << u;
        // The caller's default character, here a double-byte one.
        BOOL bUsedOwn = FALSE;
        EXPECT_EQ(Encode(cp.nCodePage, 0, unit, "\x81\x81", &bUsedOwn), "\x81\x81") << cp.nCodePage;
        EXPECT_TRUE(bUsedOwn);
      }
    }
    EXPECT_GT(nUnmappable, 1000) << cp.nCodePage;
    std::string direct;
    ASSERT_TRUE(encoder.Run(UnitsAsBytes(all), &direct)) << cp.nCodePage;
    EXPECT_EQ(direct, want) << cp.nCodePage;
    BOOL bUsed = TRUE;
    EXPECT_EQ(Encode(cp.nCodePage, 0, all, nullptr, &bUsed), want) << cp.nCodePage;
    EXPECT_FALSE(bUsed);
  }
}

}  // namespace

#endif  // _WIN32
