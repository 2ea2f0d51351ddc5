// Formatting (wsprintfA) and the lstr* string helpers.
//
// wsprintfA knows the documented conversions only: c C d i u x X s S p and %,
// with the flags - # 0, a width, a precision and the size prefixes h l I64
// (h selects narrow characters and strings; numbers are read whole). It
// never writes more than 1024 bytes, terminator included.
//
// lstrcmpA/lstrcmpiA compare as a word sort does rather than by byte value:
// letters compare without case first, hyphens and apostrophes are ignored
// at first, punctuation sorts before digits and digits before letters; only
// strings equal under those rules are then told apart by case (lowercase
// first) and by the ignored marks (more marks sort later).
#include <cstring>
#include <string>

#include "user/user_state.h"

namespace mrw_user {

namespace {

constexpr size_t kMaxOutput = 1024;

struct FieldFormat {
  bool left = false;
  bool alternate = false;
  bool zero = false;
  int width = 0;
  int precision = -1;
  enum { kDefault, kShort, kLong, kLong64 } size = kDefault;
};

std::string NarrowFromWide(const WCHAR* w, int count) {
  if (count <= 0) return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, w, count, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w, count, &out[0], n, nullptr, nullptr);
  return out;
}

std::string Digits(unsigned long long v, unsigned base, bool upperCase) {
  const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string s;
  do {
    s.insert(s.begin(), digits[v % base]);
    v /= base;
  } while (v);
  return s;
}

// Pads a number. A sign counts towards the width; a "0x" prefix does not.
void Pad(std::string* out, const FieldFormat& field, const std::string& sign, std::string digits,
         const std::string& prefix = std::string()) {
  if (field.precision >= 0 && digits.size() < static_cast<size_t>(field.precision))
    digits.insert(0, static_cast<size_t>(field.precision) - digits.size(), '0');
  size_t len = sign.size() + digits.size();
  size_t width = static_cast<size_t>(field.width);
  size_t fill = width > len ? width - len : 0;
  if (field.left) {
    *out += prefix + sign + digits + std::string(fill, ' ');
  } else if (field.zero && field.precision < 0) {
    *out += prefix + sign + std::string(fill, '0') + digits;
  } else {
    *out += std::string(fill, ' ') + prefix + sign + digits;
  }
}

void PadText(std::string* out, const FieldFormat& field, std::string text) {
  if (field.precision >= 0 && text.size() > static_cast<size_t>(field.precision))
    text.resize(static_cast<size_t>(field.precision));
  FieldFormat s = field;
  s.precision = -1;
  s.zero = false;
  Pad(out, s, std::string(), text);
}

std::string Format(LPCSTR fmt, va_list args) {
  std::string out;
  for (const char* p = fmt; *p && out.size() < kMaxOutput; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    ++p;
    if (*p == '\0') break;
    FieldFormat field;
    for (;; ++p) {
      if (*p == '-')
        field.left = true;
      else if (*p == '#')
        field.alternate = true;
      else if (*p == '0')
        field.zero = true;
      else
        break;
    }
    for (; *p >= '0' && *p <= '9'; ++p)
      field.width = std::min(field.width * 10 + (*p - '0'), static_cast<int>(kMaxOutput));
    if (*p == '.') {
      field.precision = 0;
      for (++p; *p >= '0' && *p <= '9'; ++p)
        field.precision = std::min(field.precision * 10 + (*p - '0'), static_cast<int>(kMaxOutput));
    }
    if (*p == 'h') {
      field.size = FieldFormat::kShort;
      ++p;
    } else if (*p == 'l') {
      field.size = FieldFormat::kLong;
      ++p;
    } else if (p[0] == 'I' && p[1] == '6' && p[2] == '4') {
      field.size = FieldFormat::kLong64;
      p += 3;
    }
    switch (*p) {
      case 'd':
      case 'i': {
        long long v = field.size == FieldFormat::kLong64 ? va_arg(args, long long) : va_arg(args, int);
        unsigned long long magnitude =
            v < 0 ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
        Pad(&out, field, v < 0 ? "-" : "", Digits(magnitude, 10, false));
        break;
      }
      case 'u':
      case 'x':
      case 'X': {
        unsigned long long v = field.size == FieldFormat::kLong64 ? va_arg(args, unsigned long long)
                                                                  : va_arg(args, unsigned int);
        unsigned base = *p == 'u' ? 10 : 16;
        std::string prefix = (base == 16 && field.alternate) ? (*p == 'X' ? "0X" : "0x") : "";
        Pad(&out, field, "", Digits(v, base, *p == 'X'), prefix);
        break;
      }
      case 'p': {
        auto v = reinterpret_cast<ULONG_PTR>(va_arg(args, void*));
        FieldFormat s = field;
        if (s.precision < 0) s.precision = static_cast<int>(sizeof(void*) * 2);
        Pad(&out, s, "", Digits(v, 16, true));
        break;
      }
      case 'c':
      case 'C': {
        int v = va_arg(args, int);
        bool wide = (*p == 'C') != (field.size == FieldFormat::kLong);
        if (field.size == FieldFormat::kShort) wide = false;
        if (wide) {
          WCHAR w = static_cast<WCHAR>(v);
          PadText(&out, field, NarrowFromWide(&w, 1));
        } else {
          PadText(&out, field, std::string(1, static_cast<char>(v)));
        }
        break;
      }
      case 's':
      case 'S': {
        bool wide = (*p == 'S') != (field.size == FieldFormat::kLong);
        if (field.size == FieldFormat::kShort) wide = false;
        if (wide) {
          const WCHAR* w = va_arg(args, const WCHAR*);
          if (!w) {
            PadText(&out, field, "(null)");
            break;
          }
          // Only the characters the precision lets through are converted.
          int count = 0;
          int limit = field.precision >= 0 ? field.precision : static_cast<int>(kMaxOutput);
          while (count < limit && w[count]) ++count;
          PadText(&out, field, NarrowFromWide(w, count));
        } else {
          const char* s = va_arg(args, const char*);
          if (!s) {
            PadText(&out, field, "(null)");
            break;
          }
          size_t limit = field.precision >= 0 ? static_cast<size_t>(field.precision) : kMaxOutput;
          PadText(&out, field, std::string(s, strnlen(s, limit)));
        }
        break;
      }
      case '\0':
        --p;  // the format ended inside a conversion
        break;
      default:
        out += *p;  // "%%" and unknown conversions give the character itself
        break;
    }
  }
  if (out.size() > kMaxOutput - 1) out.resize(kMaxOutput - 1);
  return out;
}

// Sort weight of a byte at the first comparison level.
int PrimaryWeight(BYTE b) {
  if (b >= 'a' && b <= 'z') b = static_cast<BYTE>(b - 'a' + 'A');
  if (b >= 'A' && b <= 'Z') return 0x300 + b;
  if (b >= '0' && b <= '9') return 0x200 + b;
  if (b >= 0x80) return 0x400 + b;
  return 0x100 + b;  // punctuation and controls
}

constexpr bool IsIgnoredMark(BYTE b) {
  return b == '-' || b == '\'';
}

int Sign(int v) {
  return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

int CompareWords(LPCSTR a, LPCSTR b, bool ignoreCase) {
  if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
  auto ua = reinterpret_cast<const BYTE*>(a);
  auto ub = reinterpret_cast<const BYTE*>(b);
  // Level 1: letters without case, marks ignored.
  for (size_t i = 0, j = 0;;) {
    while (ua[i] && IsIgnoredMark(ua[i])) ++i;
    while (ub[j] && IsIgnoredMark(ub[j])) ++j;
    if (!ua[i] || !ub[j]) {
      if (ua[i] || ub[j]) return ua[i] ? 1 : -1;
      break;
    }
    int d = PrimaryWeight(ua[i]) - PrimaryWeight(ub[j]);
    if (d) return Sign(d);
    ++i;
    ++j;
  }
  // Level 2: case, lowercase first.
  if (!ignoreCase) {
    for (size_t i = 0, j = 0; ua[i] && ub[j];) {
      while (ua[i] && IsIgnoredMark(ua[i])) ++i;
      while (ub[j] && IsIgnoredMark(ub[j])) ++j;
      if (!ua[i] || !ub[j]) break;
      bool lowerA = ua[i] >= 'a' && ua[i] <= 'z';
      bool lowerB = ub[j] >= 'a' && ub[j] <= 'z';
      if (ua[i] != ub[j] && lowerA != lowerB) return lowerA ? -1 : 1;
      ++i;
      ++j;
    }
  }
  // Level 3: the string with more ignored marks sorts later, then plain bytes.
  auto marks = [](const BYTE* s) {
    size_t n = 0;
    for (; *s; ++s) n += IsIgnoredMark(*s) ? 1 : 0;
    return n;
  };
  size_t marksA = marks(ua);
  size_t marksB = marks(ub);
  if (marksA != marksB) return marksA < marksB ? -1 : 1;
  for (size_t i = 0;; ++i) {
    BYTE x = ua[i];
    BYTE y = ub[i];
    if (ignoreCase) {
      if (x >= 'a' && x <= 'z') x = static_cast<BYTE>(x - 'a' + 'A');
      if (y >= 'a' && y <= 'z') y = static_cast<BYTE>(y - 'a' + 'A');
    }
    if (x != y) return x < y ? -1 : 1;
    if (!x) return 0;
  }
}

}  // namespace

}  // namespace mrw_user

using namespace mrw_user;

int WINAPI wvsprintfA(LPSTR lpOut, LPCSTR lpFmt, va_list arglist) {
  if (!lpOut) return 0;
  if (!lpFmt) {
    lpOut[0] = '\0';
    return 0;
  }
  va_list copy;
  va_copy(copy, arglist);
  std::string text = Format(lpFmt, copy);
  va_end(copy);
  std::memcpy(lpOut, text.c_str(), text.size() + 1);
  return static_cast<int>(text.size());
}

int CDECL wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...) {
  va_list args;
  va_start(args, lpFmt);
  int n = wvsprintfA(lpOut, lpFmt, args);
  va_end(args);
  return n;
}

int WINAPI lstrlenA(LPCSTR lpString) {
  if (!lpString) return 0;
  return static_cast<int>(strnlen(lpString, INT32_MAX));
}

LPSTR WINAPI lstrcpyA(LPSTR lpString1, LPCSTR lpString2) {
  if (!lpString1 || !lpString2) return nullptr;
  std::memmove(lpString1, lpString2, std::strlen(lpString2) + 1);
  return lpString1;
}

LPSTR WINAPI lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength) {
  if (!lpString1) return nullptr;
  if (iMaxLength <= 0) return lpString1;
  size_t n = lpString2 ? strnlen(lpString2, static_cast<size_t>(iMaxLength - 1)) : 0;
  if (n) std::memmove(lpString1, lpString2, n);
  lpString1[n] = '\0';
  return lpString1;
}

LPSTR WINAPI lstrcatA(LPSTR lpString1, LPCSTR lpString2) {
  if (!lpString1 || !lpString2) return nullptr;
  std::memmove(lpString1 + std::strlen(lpString1), lpString2, std::strlen(lpString2) + 1);
  return lpString1;
}

int WINAPI lstrcmpA(LPCSTR lpString1, LPCSTR lpString2) {
  return CompareWords(lpString1, lpString2, false);
}

int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2) {
  return CompareWords(lpString1, lpString2, true);
}
