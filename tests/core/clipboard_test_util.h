// Helpers of the clipboard tests: what is on the clipboard, read and written
// with the Win32 calls a host would use.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace mirel_clipboard_test {

inline UINT BinaryFormat() {
  return RegisterClipboardFormatA("__BINARY_FORMAT__");
}

// What the text view's bytes are text in: the count they speak for, the
// encoding and the code page.
inline UINT BinarySourceFormat() {
  return RegisterClipboardFormatA("__BINARY_FORMAT_SOURCE__");
}

// Empties the clipboard and places the blocks (format, raw bytes) in order.
inline void Place(HWND hOwner, const std::vector<std::pair<UINT, std::string>>& blocks) {
  ASSERT_TRUE(OpenClipboard(hOwner));
  EmptyClipboard();
  for (const auto& b : blocks) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, b.second.size());
    ASSERT_NE(h, nullptr);
    void* p = GlobalLock(h);
    if (!b.second.empty()) memcpy(p, b.second.data(), b.second.size());
    GlobalUnlock(h);
    ASSERT_NE(SetClipboardData(b.first, h), nullptr);
  }
  CloseClipboard();
}

inline void Clear(HWND hOwner) {
  Place(hOwner, {});
}

// The raw bytes of a format's block, or "<absent>".
inline std::string Raw(HWND hOwner, UINT uFormat) {
  std::string out = "<absent>";
  if (!OpenClipboard(hOwner)) return "<not open>";
  if (HANDLE h = GetClipboardData(uFormat)) {
    const char* p = static_cast<const char*>(GlobalLock(h));
    out.assign(p, GlobalSize(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return out;
}

// The text of a text format up to its terminator.
inline std::string ClipText(HWND hOwner, UINT uFormat) {
  std::string raw = Raw(hOwner, uFormat);
  if (raw == "<absent>") return raw;
  if (uFormat == CF_UNICODETEXT) {
    for (size_t i = 0; i + 1 < raw.size(); i += 2)
      if (raw[i] == 0 && raw[i + 1] == 0) return raw.substr(0, i);
    return raw;
  }
  return raw.substr(0, raw.find('\0'));
}

// A "__BINARY_FORMAT__" block: the count, then the bytes.
inline std::string BinaryBlock(const std::string& bytes) {
  const size_t n = bytes.size();
  std::string out = {static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
                     static_cast<char>((n >> 16) & 0xFF), static_cast<char>((n >> 24) & 0xFF)};
  return out + bytes;
}

inline std::string BinarySourceBlock(unsigned nCount, unsigned nEncoding, unsigned nCodePage) {
  std::string out;
  for (unsigned n : {nCount, nEncoding, nCodePage})
    for (int i = 0; i < 4; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFF);
  return out;
}

// The formats placed on the clipboard (not the ones the system makes).
inline std::vector<UINT> Placed(HWND hOwner) {
  std::vector<UINT> out;
  if (!OpenClipboard(hOwner)) return out;
  for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f)) {
    if (f == CF_LOCALE || f == CF_OEMTEXT) continue;
    out.push_back(f);
  }
  CloseClipboard();
  return out;
}

}  // namespace mirel_clipboard_test
