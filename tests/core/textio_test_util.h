// Texts written once and encoded for every document encoding and host form,
// and small helpers of the text input/output and undo tests.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "positions_fixture.h"

namespace mirel_textio_test {

// One character in every form: UTF-16 units, UTF-8 bytes, code page 949 bytes.
struct Char {
  std::u16string units;
  std::string utf8;
  std::string cp949;
};

inline Char Ascii(char c) {
  return {std::u16string(1, static_cast<char16_t>(c)), std::string(1, c), std::string(1, c)};
}

// Hangul HAN and GEUL, a smiling face outside the basic plane (a surrogate
// pair; two default characters in code page 949).
inline Char Han() {
  return {u"\uD55C", "\xED\x95\x9C", "\xC7\xD1"};
}
inline Char Geul() {
  return {u"\uAE00", "\xEA\xB8\x80", "\xB1\xDB"};
}
inline Char Smile() {
  return {u"\U0001F600", "\xF0\x9F\x98\x80", "??"};
}

// "Ab HAN", CR LF, "GEUL", the smile, "z".
inline std::vector<Char> MixedText() {
  return {Ascii('A'), Ascii('b'), Ascii(' '), Han(), Ascii('\r'), Ascii('\n'), Geul(), Smile(), Ascii('z')};
}

// The text as an ANSI (949) document holds it: what 949 cannot show became
// question marks.
inline std::vector<Char> ThroughAnsi(const std::vector<Char>& text) {
  std::vector<Char> out;
  for (const Char& c : text) {
    if (c.cp949.find('?') != std::string::npos && c.units != u"?") {
      for (size_t i = 0; i < c.cp949.size(); ++i) out.push_back(Ascii('?'));
    } else {
      out.push_back(c);
    }
  }
  return out;
}

inline std::u16string Units(const std::vector<Char>& text) {
  std::u16string out;
  for (const Char& c : text) out += c.units;
  return out;
}
inline std::string Utf8(const std::vector<Char>& text) {
  std::string out;
  for (const Char& c : text) out += c.utf8;
  return out;
}
inline std::string Cp949(const std::vector<Char>& text) {
  std::string out;
  for (const Char& c : text) out += c.cp949;
  return out;
}
// Little-endian bytes of UTF-16 units.
inline std::string LeBytes(const std::u16string& units) {
  std::string out;
  for (char16_t u : units) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
  return out;
}

// The text's bytes in a document encoding (codes 2 and 3 both hold
// little-endian units).
inline std::string InEncoding(const std::vector<Char>& text, int nEncoding) {
  switch (nEncoding) {
    case MIREL_ENCODING_ANSI:
      return Cp949(text);
    case MIREL_ENCODING_UTF16BE:
    case MIREL_ENCODING_UTF16LE:
      return LeBytes(Units(text));
    default:
      return Utf8(text);
  }
}

// The byte offset of character i of the text in a document encoding.
inline int OffsetOf(const std::vector<Char>& text, size_t i, int nEncoding) {
  std::vector<Char> head(text.begin(), text.begin() + static_cast<long>(i));
  return static_cast<int>(InEncoding(head, nEncoding).size());
}

inline const BYTE* Bytes(const std::string& s) {
  return reinterpret_cast<const BYTE*>(s.data());
}

// A document of the test font in one encoding (ANSI in code page 949).
class IoDoc : public mirel_test::TextDoc {
 public:
  explicit IoDoc(int nEncoding, int nWrapMode = MIREL_WRAP_NONE) : TextDoc(nEncoding, nWrapMode, 949) {}

  // The whole text, written without undo.
  bool Fill(const std::string& bytes) { return SetText(bytes); }
  std::string Text() {
    return std::string(reinterpret_cast<const char*>(doc.pContents->GetText(0)),
                       doc.pContents->GetTextLength());
  }
  std::string File() {
    std::string out(doc.GetFileSize(), '\0');
    if (!out.empty()) doc.GetFileBuffer(reinterpret_cast<BYTE*>(&out[0]), 0, static_cast<DWORD>(out.size()));
    return out;
  }
  int TextLength() { return static_cast<int>(doc.GetContentsSize()); }
};

// Guard bytes around a host buffer show a write past the size returned.
constexpr unsigned char kGuard = 0xCD;
constexpr size_t kGuardLen = 8;

// GetTextA or GetTextU into a guarded buffer of exactly the size the NULL
// call returned; fails the test when the two calls disagree or the guard is hit.
template <typename Fn>
std::string ReadBytes(Fn read, int nFrom, int nTo) {
  const int nSize = read(nullptr, nFrom, nTo);
  EXPECT_GE(nSize, 0);
  std::string buf(static_cast<size_t>(std::max(nSize, 0)) + kGuardLen, static_cast<char>(kGuard));
  const int nWritten = read(&buf[0], nFrom, nTo);
  EXPECT_EQ(nWritten, nSize) << "the NULL call and the buffer call disagree";
  for (size_t i = static_cast<size_t>(std::max(nSize, 0)); i < buf.size(); ++i) {
    EXPECT_EQ(static_cast<unsigned char>(buf[i]), kGuard) << "written past the size at " << i;
  }
  buf.resize(static_cast<size_t>(std::max(nSize, 0)));
  return buf;
}

inline std::string ReadA(CMirelDoc& doc, int nFrom, int nTo) {
  return ReadBytes([&](char* p, int a, int b) { return doc.GetTextA(p, a, b); }, nFrom, nTo);
}
inline std::string ReadU(CMirelDoc& doc, int nFrom, int nTo) {
  return ReadBytes([&](char* p, int a, int b) { return doc.GetTextU(p, a, b); }, nFrom, nTo);
}
// GetTextW: the size is in UTF-16 units.
inline std::u16string ReadW(CMirelDoc& doc, int nFrom, int nTo) {
  const int nUnits = doc.GetTextW(nullptr, nFrom, nTo);
  EXPECT_GE(nUnits, 0);
  const size_t n = static_cast<size_t>(std::max(nUnits, 0));
  std::vector<WCHAR> buf(n + kGuardLen, static_cast<WCHAR>(0xCDCD));
  EXPECT_EQ(doc.GetTextW(buf.data(), nFrom, nTo), nUnits) << "the NULL call and the buffer call disagree";
  for (size_t i = n; i < buf.size(); ++i)
    EXPECT_EQ(buf[i], static_cast<WCHAR>(0xCDCD)) << "written past the size";
  std::u16string out;
  for (size_t i = 0; i < n; ++i) out.push_back(static_cast<char16_t>(buf[i]));
  return out;
}

// Host UTF-16 text for InsertW.
inline std::basic_string<WCHAR> HostWide(const std::u16string& s) {
  std::basic_string<WCHAR> out;
  for (char16_t c : s) out.push_back(static_cast<WCHAR>(c));
  return out;
}

inline std::string Hex(const std::string& s) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if (!out.empty()) out.push_back(' ');
    out.push_back(kDigits[c >> 4]);
    out.push_back(kDigits[c & 15]);
  }
  return out;
}
inline std::string Hex(const std::u16string& s) {
  return Hex(LeBytes(s));
}

inline const char* EncodingName(int nEncoding) {
  switch (nEncoding) {
    case MIREL_ENCODING_ANSI:
      return "Ansi949";
    case MIREL_ENCODING_UTF16BE:
      return "Utf16Mark2";
    case MIREL_ENCODING_UTF16LE:
      return "Utf16Le";
    case MIREL_ENCODING_UTF8:
      return "Utf8";
    case MIREL_ENCODING_UTF8_BOM:
      return "Utf8Bom";
    default:
      return "Other";
  }
}

inline std::string EncodingParamName(const ::testing::TestParamInfo<int>& info) {
  return EncodingName(info.param);
}

}  // namespace mirel_textio_test
