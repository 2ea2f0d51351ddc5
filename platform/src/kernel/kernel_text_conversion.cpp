// MultiByteToWideChar and WideCharToMultiByte: UTF-8 and the table-driven
// code pages, with Windows' size queries, default characters and errors.
#include "kernel_code_pages.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

using mrw_kernel::CodePageTable;

// Collects output units or bytes, or only counts them when there is no buffer.
template <typename T>
class OutputSink {
 public:
  OutputSink(T* pBuffer, int capacity) : pOut(pBuffer), nCapacity(capacity) {}

  void Put(T value) {
    if (pOut != nullptr) {
      if (nCount >= nCapacity) {
        bOverflow = true;
        return;
      }
      pOut[nCount] = value;
    }
    ++nCount;
  }
  bool Overflowed() const { return bOverflow || nCount > INT_MAX; }
  int Count() const { return static_cast<int>(nCount); }

 private:
  T* pOut;
  std::int64_t nCapacity;
  std::int64_t nCount = 0;
  bool bOverflow = false;
};

// Writes into a buffer known to be large enough for the whole output: the
// same walks as OutputSink without a check a unit.
template <typename T>
class DirectSink {
 public:
  explicit DirectSink(T* pBuffer) : pOut(pBuffer) {}
  void Put(T value) { pOut[nCount++] = value; }
  int Count() const { return static_cast<int>(nCount); }

 private:
  T* pOut;
  std::int64_t nCount = 0;
};

// The length of the input, counting the terminator when the caller passed -1.
template <typename T>
std::int64_t InputLength(const T* pText, int length) {
  if (length >= 0) return length;
  std::int64_t n = 0;
  while (pText[n] != 0) ++n;
  return n + 1;
}

template <typename T>
int Finish(const OutputSink<T>& sink) {
  if (sink.Overflowed()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  return sink.Count();
}

int Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

bool IsContinuation(BYTE b) {
  return (b & 0xC0) == 0x80;
}

// Decodes UTF-8; every maximal ill-formed part becomes one U+FFFD.
// Returns false on ill-formed input when bStrict is set.
template <typename Sink>
bool DecodeUtf8(const BYTE* p, std::int64_t n, bool bStrict, Sink& sink) {
  std::int64_t i = 0;
  while (i < n) {
    const BYTE b0 = p[i];
    if (b0 < 0x80) {
      sink.Put(static_cast<WCHAR>(b0));
      ++i;
      continue;
    }
    int need = 0;
    BYTE lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    std::uint32_t cp = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
      need = 1;
      cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      need = 2;
      cp = b0 & 0x0F;
      if (b0 == 0xE0) lo = 0xA0;  // no overlong forms
      if (b0 == 0xED) hi = 0x9F;  // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      need = 3;
      cp = b0 & 0x07;
      if (b0 == 0xF0) lo = 0x90;
      if (b0 == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    }
    std::int64_t j = i + 1;
    bool ok = need > 0;
    for (int k = 0; ok && k < need; ++k, ++j) {
      if (j >= n) {
        ok = false;
        break;
      }
      const BYTE b = p[j];
      if (k == 0 ? (b < lo || b > hi) : !IsContinuation(b)) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (b & 0x3F);
    }
    if (!ok) {
      if (bStrict) return false;
      sink.Put(u'\uFFFD');
      i = j > i + 1 ? j : i + 1;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      sink.Put(static_cast<WCHAR>(0xD800 + (cp >> 10)));
      sink.Put(static_cast<WCHAR>(0xDC00 + (cp & 0x3FF)));
    } else {
      sink.Put(static_cast<WCHAR>(cp));
    }
    i = j;
  }
  return true;
}

// Decodes a code page's bytes; an undefined pair or a lead byte without a
// trail byte becomes the code page's default unit (false when bStrict).
template <typename Sink>
bool DecodeTable(const CodePageTable& table, const BYTE* p, std::int64_t n, bool bStrict, Sink& sink) {
  std::int64_t i = 0;
  while (i < n) {
    const BYTE b = p[i];
    if (table.IsLead(b)) {
      char16_t unit = 0;
      if (i + 1 < n && p[i + 1] != 0) {
        unit = table.Double(b, p[i + 1]);
        i += 2;
      } else {
        ++i;  // a terminator is never a trail byte
      }
      if (unit == 0) {
        if (bStrict) return false;
        unit = table.UnicodeDefault();
      }
      sink.Put(static_cast<WCHAR>(unit));
      continue;
    }
    bool valid = false;
    const char16_t unit = table.Single(b, &valid);
    if (!valid && bStrict) return false;
    sink.Put(static_cast<WCHAR>(unit));
    ++i;
  }
  return true;
}

template <typename Sink>
void PutUtf8(std::uint32_t cp, Sink& sink) {
  if (cp < 0x80) {
    sink.Put(static_cast<char>(cp));
  } else if (cp < 0x800) {
    sink.Put(static_cast<char>(0xC0 | (cp >> 6)));
    sink.Put(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    sink.Put(static_cast<char>(0xE0 | (cp >> 12)));
    sink.Put(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    sink.Put(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    sink.Put(static_cast<char>(0xF0 | (cp >> 18)));
    sink.Put(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    sink.Put(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    sink.Put(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Encodes UTF-16 as UTF-8; a lone surrogate becomes U+FFFD (false when bStrict).
template <typename Sink>
bool EncodeUtf8(const WCHAR* p, std::int64_t n, bool bStrict, Sink& sink) {
  for (std::int64_t i = 0; i < n; ++i) {
    std::uint32_t u = static_cast<char16_t>(p[i]);
    if (u >= 0xD800 && u <= 0xDFFF) {
      const bool paired = u <= 0xDBFF && i + 1 < n && static_cast<char16_t>(p[i + 1]) >= 0xDC00 &&
                          static_cast<char16_t>(p[i + 1]) <= 0xDFFF;
      if (paired) {
        u = 0x10000 + ((u - 0xD800) << 10) + (static_cast<char16_t>(p[i + 1]) - 0xDC00);
        ++i;
      } else {
        if (bStrict) return false;
        u = 0xFFFD;
      }
    }
    PutUtf8(u, sink);
  }
  return true;
}

}  // namespace

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar) {
  if (lpMultiByteStr == nullptr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
      (lpWideCharStr == nullptr && cchWideChar > 0) ||
      (cchWideChar > 0 &&
       static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr)))
    return Fail(ERROR_INVALID_PARAMETER);
  const UINT codePage = mrw_kernel::ResolveCodePage(CodePage);
  const CodePageTable* table = codePage == CP_UTF8 ? nullptr : CodePageTable::Find(codePage);
  if (codePage != CP_UTF8 && table == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if (codePage == CP_UTF8) {
    if ((dwFlags & ~static_cast<DWORD>(MB_ERR_INVALID_CHARS)) != 0) return Fail(ERROR_INVALID_FLAGS);
  } else {
    // Composition and glyph flags are accepted; the tables hold precomposed characters only.
    const DWORD known = MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS;
    if ((dwFlags & ~known) != 0 ||
        (dwFlags & (MB_PRECOMPOSED | MB_COMPOSITE)) == (MB_PRECOMPOSED | MB_COMPOSITE))
      return Fail(ERROR_INVALID_FLAGS);
  }

  const BYTE* pBytes = reinterpret_cast<const BYTE*>(lpMultiByteStr);
  const std::int64_t length = InputLength(pBytes, cbMultiByte);
  const bool strict = (dwFlags & MB_ERR_INVALID_CHARS) != 0;
  auto decode = [&](auto& sink) {
    return table == nullptr ? DecodeUtf8(pBytes, length, strict, sink)
                            : DecodeTable(*table, pBytes, length, strict, sink);
  };
  // Every byte gives one unit at most: a buffer of the input's length needs
  // no check a unit.
  if (cchWideChar > 0 && length <= cchWideChar) {
    DirectSink<WCHAR> sink(lpWideCharStr);
    if (!decode(sink)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    return sink.Count();
  }
  OutputSink<WCHAR> sink(cchWideChar > 0 ? lpWideCharStr : nullptr, cchWideChar);
  if (!decode(sink)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
  return Finish(sink);
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar) {
  if (lpWideCharStr == nullptr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
      (lpMultiByteStr == nullptr && cbMultiByte > 0) ||
      (cbMultiByte > 0 &&
       static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr)))
    return Fail(ERROR_INVALID_PARAMETER);
  const UINT codePage = mrw_kernel::ResolveCodePage(CodePage);
  const CodePageTable* table = codePage == CP_UTF8 ? nullptr : CodePageTable::Find(codePage);
  if (codePage != CP_UTF8 && table == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if (codePage == CP_UTF8) {
    if (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if ((dwFlags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0) return Fail(ERROR_INVALID_FLAGS);
  } else {
    // Composite checking is accepted; the tables hold precomposed characters only.
    const DWORD known =
        WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_NO_BEST_FIT_CHARS;
    if ((dwFlags & ~known) != 0) return Fail(ERROR_INVALID_FLAGS);
  }

  const std::int64_t length = InputLength(lpWideCharStr, cchWideChar);
  // Every unit gives three bytes at most: a buffer of that size needs no
  // check a byte.
  const bool direct = cbMultiByte > 0 && length <= cbMultiByte / 3;
  OutputSink<char> sink(cbMultiByte > 0 && !direct ? lpMultiByteStr : nullptr, cbMultiByte);
  DirectSink<char> directSink(lpMultiByteStr);
  if (table == nullptr) {
    const bool strict = (dwFlags & WC_ERR_INVALID_CHARS) != 0;
    const bool ok = direct ? EncodeUtf8(lpWideCharStr, length, strict, directSink)
                           : EncodeUtf8(lpWideCharStr, length, strict, sink);
    if (!ok) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    return direct ? directSink.Count() : Finish(sink);
  }

  // The default character: the caller's (one character of the code page) or the table's.
  char defaultBytes[2] = {'?', 0};
  int defaultLength = 1;
  if (lpDefaultChar != nullptr) {
    defaultBytes[0] = lpDefaultChar[0];
    if (table->IsLead(static_cast<BYTE>(lpDefaultChar[0])) && lpDefaultChar[1] != 0) {
      defaultBytes[1] = lpDefaultChar[1];
      defaultLength = 2;
    }
  }
  const bool allowBestFit = (dwFlags & WC_NO_BEST_FIT_CHARS) == 0;
  bool usedDefault = false;
  auto encode = [&](auto& out) {
    for (std::int64_t i = 0; i < length; ++i) {
      const std::uint16_t bytes = table->Encode(static_cast<char16_t>(lpWideCharStr[i]), allowBestFit);
      if (bytes == CodePageTable::kUnmapped) {
        usedDefault = true;
        for (int k = 0; k < defaultLength; ++k) out.Put(defaultBytes[k]);
      } else if (bytes > 0xFF) {
        out.Put(static_cast<char>(bytes >> 8));
        out.Put(static_cast<char>(bytes & 0xFF));
      } else {
        out.Put(static_cast<char>(bytes));
      }
    }
  };
  if (direct) {
    encode(directSink);
    if (lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    return directSink.Count();
  }
  encode(sink);
  const int result = Finish(sink);
  if (result != 0 && lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
  return result;
}
