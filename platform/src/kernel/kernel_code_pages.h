// Code-page tables shared by the conversion functions and the lead-byte
// queries. Each table is built once, on first use, from the C library's
// iconv converters and is read-only afterwards.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

namespace mrw_kernel {

// Replaces CP_ACP, CP_OEMCP, CP_THREAD_ACP and CP_MACCP by the code page they stand for.
UINT ResolveCodePage(UINT codePage);

// True for the double-byte code pages and bytes that start a two-byte character.
bool IsLeadByteOf(UINT resolvedCodePage, BYTE byte);

class CodePageTable {
 public:
  static constexpr std::uint16_t kUnmapped = 0xFFFF;  // no byte sequence encodes 0xFFFF

  // The table of a resolved code page; NULL when it is not supported (or is UTF-8).
  static const CodePageTable* Find(UINT resolvedCodePage);

  bool IsDbcs() const { return bDbcs; }
  bool IsLead(BYTE byte) const { return aLead[byte]; }

  // One byte that is not a lead byte: its unit, and whether the byte is
  // defined (an undefined byte still yields a unit, as Windows does).
  char16_t Single(BYTE byte, bool* pbValid) const {
    *pbValid = aSingleValid[byte];
    return aSingle[byte];
  }
  // A lead and a trail byte: their unit, or 0 when the pair is undefined.
  char16_t Double(BYTE lead, BYTE trail) const { return vDouble[(lead << 8) | trail]; }
  // The bytes of one unit: one byte (<= 0xFF), two bytes (lead << 8 | trail) or kUnmapped.
  // A best-fit mapping (bytes that decode to another character) counts only when allowed.
  std::uint16_t Encode(char16_t unit, bool bAllowBestFit) const {
    return bAllowBestFit || !vBestFit[unit] ? vEncode[unit] : kUnmapped;
  }
  // The unit that stands for undecodable input.
  char16_t UnicodeDefault() const { return chUnicodeDefault; }

 private:
  CodePageTable() = default;
  bool Build(UINT codePage, const char* pszIconvName);

  UINT nCodePage = 0;
  bool bDbcs = false;
  char16_t chUnicodeDefault = u'?';
  std::array<char16_t, 256> aSingle{};
  std::array<bool, 256> aSingleValid{};
  std::array<bool, 256> aLead{};       // lead bytes of a double-byte code page
  std::vector<char16_t> vDouble;       // indexed by lead << 8 | trail (double-byte code pages only)
  std::vector<std::uint16_t> vEncode;  // indexed by unit
  std::vector<bool> vBestFit;          // indexed by unit: the encoding does not decode back
};

}  // namespace mrw_kernel
