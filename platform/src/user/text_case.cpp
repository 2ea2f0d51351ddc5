// Character case and classification of ANSI text in the process code page.
//
// A lead byte and its trail byte are always taken together, so a trail byte
// that looks like an ASCII letter is never mistaken for one. Every character,
// single or double byte, is classified by the Unicode character it stands
// for in the code page, and a case mapping is used only when the mapped
// character has the same length in the same code page: a full-width Latin
// letter changes case as on Windows, a Hangul syllable whose trail byte is
// 'a' stays as it is.
#include <locale.h>
#include <wctype.h>

#include <array>
#include <unordered_map>

#include "user/user_state.h"

namespace mrw_user {

namespace {

struct ByteTraits {
  BYTE upper = 0;
  BYTE lower = 0;
  bool isUpper = false;
  bool isLower = false;
  bool isAlpha = false;
  bool isDigit = false;
  bool isLead = false;
};

struct PairCase {
  WORD upper;
  WORD lower;
};

struct CodePageTable {
  UINT codePage = 0;
  bool built = false;
  std::array<ByteTraits, 256> bytes;
  std::unordered_map<WORD, PairCase> pairs;  // double-byte characters met so far
};

// Unicode character classes, independent of the C library's current locale.
locale_t UnicodeLocale() {
  static locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return loc;
}

bool ToWide(UINT cp, BYTE b, WCHAR* out) {
  char c = static_cast<char>(b);
  return MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, &c, 1, out, 1) == 1;
}

// The single byte that stands for `w`, if there is exactly one.
bool ToByte(UINT cp, WCHAR w, BYTE* out) {
  char buf[4];
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(cp, 0, &w, 1, buf, sizeof(buf), nullptr, &usedDefault);
  if (n != 1 || usedDefault) return false;
  WCHAR back = 0;
  if (!ToWide(cp, static_cast<BYTE>(buf[0]), &back) || back != w) return false;
  *out = static_cast<BYTE>(buf[0]);
  return true;
}

void ClassifyAscii(BYTE b, ByteTraits* t) {
  t->isUpper = b >= 'A' && b <= 'Z';
  t->isLower = b >= 'a' && b <= 'z';
  t->isAlpha = t->isUpper || t->isLower;
  t->isDigit = b >= '0' && b <= '9';
  t->upper = t->isLower ? static_cast<BYTE>(b - 'a' + 'A') : b;
  t->lower = t->isUpper ? static_cast<BYTE>(b - 'A' + 'a') : b;
}

void ClassifyHigh(UINT cp, BYTE b, ByteTraits* t) {
  t->upper = t->lower = b;
  WCHAR w = 0;
  locale_t loc = UnicodeLocale();
  if (!loc || !ToWide(cp, b, &w)) return;
  auto wc = static_cast<wint_t>(w);
  t->isAlpha = iswalpha_l(wc, loc) != 0;
  t->isUpper = iswupper_l(wc, loc) != 0;
  t->isLower = iswlower_l(wc, loc) != 0;
  t->isDigit = iswdigit_l(wc, loc) != 0;
  BYTE mapped = 0;
  if (t->isLower && ToByte(cp, static_cast<WCHAR>(towupper_l(wc, loc)), &mapped)) t->upper = mapped;
  if (t->isUpper && ToByte(cp, static_cast<WCHAR>(towlower_l(wc, loc)), &mapped)) t->lower = mapped;
}

// The double-byte character that stands for `w`, if it is one.
bool ToPair(UINT cp, WCHAR w, WORD* out) {
  char buf[4];
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(cp, 0, &w, 1, buf, sizeof(buf), nullptr, &usedDefault);
  if (n != 2 || usedDefault) return false;
  WCHAR back = 0;
  if (MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, buf, 2, &back, 1) != 1 || back != w) return false;
  *out = static_cast<WORD>((static_cast<BYTE>(buf[0]) << 8) | static_cast<BYTE>(buf[1]));
  return true;
}

PairCase ComputePair(UINT cp, BYTE lead, BYTE trail) {
  WORD self = static_cast<WORD>((lead << 8) | trail);
  PairCase result = {self, self};
  char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  WCHAR w = 0;
  locale_t loc = UnicodeLocale();
  if (!loc || MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, in, 2, &w, 1) != 1) return result;
  auto wc = static_cast<wint_t>(w);
  WORD mapped = 0;
  if (iswlower_l(wc, loc) && ToPair(cp, static_cast<WCHAR>(towupper_l(wc, loc)), &mapped))
    result.upper = mapped;
  if (iswupper_l(wc, loc) && ToPair(cp, static_cast<WCHAR>(towlower_l(wc, loc)), &mapped))
    result.lower = mapped;
  return result;
}

CodePageTable& Table() {
  static CodePageTable table;
  UINT cp = GetACP();
  if (table.built && table.codePage == cp) return table;
  for (int i = 0; i < 256; ++i) {
    BYTE b = static_cast<BYTE>(i);
    ByteTraits& t = table.bytes[static_cast<size_t>(i)];
    t = ByteTraits{};
    if (b < 0x80) {
      ClassifyAscii(b, &t);
    } else if (IsDBCSLeadByteEx(cp, b)) {
      t.upper = t.lower = b;
      t.isLead = true;
    } else {
      ClassifyHigh(cp, b, &t);
    }
  }
  table.pairs.clear();
  table.codePage = cp;
  table.built = true;
  return table;
}

const ByteTraits& Traits(CHAR ch) {
  return Table().bytes[static_cast<BYTE>(ch)];
}

void ConvertPair(CodePageTable& table, LPSTR at, bool upper) {
  auto lead = static_cast<BYTE>(at[0]);
  auto trail = static_cast<BYTE>(at[1]);
  WORD key = static_cast<WORD>((lead << 8) | trail);
  auto it = table.pairs.find(key);
  if (it == table.pairs.end()) it = table.pairs.emplace(key, ComputePair(table.codePage, lead, trail)).first;
  WORD result = upper ? it->second.upper : it->second.lower;
  at[0] = static_cast<CHAR>(HIBYTE(result));
  at[1] = static_cast<CHAR>(LOBYTE(result));
}

// Converts `len` bytes (or up to the terminator when `len` is negative).
void ConvertCase(LPSTR s, long long len, bool upper) {
  CodePageTable& table = Table();
  for (long long i = 0; len < 0 ? s[i] != '\0' : i < len; ++i) {
    const ByteTraits& t = table.bytes[static_cast<BYTE>(s[i])];
    if (t.isLead) {
      bool hasTrail = len < 0 ? s[i + 1] != '\0' : i + 1 < len;
      if (hasTrail) ConvertPair(table, s + i, upper);
      if (hasTrail) ++i;  // the trail byte belongs to the character
      continue;
    }
    s[i] = static_cast<CHAR>(upper ? t.upper : t.lower);
  }
}

bool IsSingleCharArgument(LPCSTR p) {
  return (reinterpret_cast<ULONG_PTR>(p) >> 16) == 0;
}

LPSTR ConvertArgument(LPSTR p, bool upper) {
  if (IsSingleCharArgument(p)) {
    // A character in the low word; a double-byte one stays as it is.
    auto value = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(p));
    if (HIBYTE(value) == 0) {
      const ByteTraits& t = Traits(static_cast<CHAR>(LOBYTE(value)));
      if (!t.isLead) value = upper ? t.upper : t.lower;
    }
    return reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(value));
  }
  ConvertCase(p, -1, upper);
  return p;
}

}  // namespace

}  // namespace mrw_user

using namespace mrw_user;

LPSTR WINAPI CharLowerA(LPSTR lpsz) {
  return ConvertArgument(lpsz, false);
}

LPSTR WINAPI CharUpperA(LPSTR lpsz) {
  return ConvertArgument(lpsz, true);
}

DWORD WINAPI CharLowerBuffA(LPSTR lpsz, DWORD cchLength) {
  if (!lpsz) return 0;
  ConvertCase(lpsz, cchLength, false);
  return cchLength;
}

DWORD WINAPI CharUpperBuffA(LPSTR lpsz, DWORD cchLength) {
  if (!lpsz) return 0;
  ConvertCase(lpsz, cchLength, true);
  return cchLength;
}

DWORD WINAPI CharUpperBuffW(LPWSTR lpsz, DWORD cchLength) {
  if (!lpsz) return 0;
  locale_t loc = UnicodeLocale();
  for (DWORD i = 0; i < cchLength; ++i) {
    const WCHAR w = lpsz[i];
    if (w < 0x80) {
      if (w >= 'a' && w <= 'z') lpsz[i] = static_cast<WCHAR>(w - 'a' + 'A');
      continue;
    }
    // A surrogate is half a character: it keeps its value, as does a
    // letter whose upper case lies outside the 16-bit range. As on Windows,
    // no other letter becomes an ASCII one (the dotless i stays as it is).
    if (!loc || (w >= 0xD800 && w <= 0xDFFF)) continue;
    const wint_t upper = towupper_l(static_cast<wint_t>(w), loc);
    if (upper >= 0x80 && upper <= 0xFFFF) lpsz[i] = static_cast<WCHAR>(upper);
  }
  return cchLength;
}

BOOL WINAPI IsCharLowerA(CHAR ch) {
  return Traits(ch).isLower;
}

BOOL WINAPI IsCharUpperA(CHAR ch) {
  return Traits(ch).isUpper;
}

BOOL WINAPI IsCharAlphaA(CHAR ch) {
  return Traits(ch).isAlpha;
}

BOOL WINAPI IsCharAlphaNumericA(CHAR ch) {
  const ByteTraits& t = Traits(ch);
  return t.isAlpha || t.isDigit;
}

LPSTR WINAPI CharNextA(LPCSTR lpsz) {
  if (!lpsz) return nullptr;
  if (*lpsz == '\0') return const_cast<LPSTR>(lpsz);
  if (Traits(*lpsz).isLead && lpsz[1] != '\0') return const_cast<LPSTR>(lpsz + 2);
  return const_cast<LPSTR>(lpsz + 1);
}

LPSTR WINAPI CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent) {
  if (!lpszStart || !lpszCurrent || lpszCurrent <= lpszStart) return const_cast<LPSTR>(lpszStart);
  // Character boundaries are only known from the start of the string.
  LPCSTR p = lpszStart;
  for (;;) {
    LPCSTR next = (*p == '\0') ? p + 1 : CharNextA(p);
    if (next >= lpszCurrent) return const_cast<LPSTR>(p);
    p = next;
  }
}
