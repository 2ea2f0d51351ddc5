// Per-code-page tables for the whole-text converter: what every character of
// an ANSI code page becomes in UTF-16 and UTF-8, and what every basic-plane
// unit becomes in the code page. Each entry is the system's own conversion of
// that one character alone (default characters and best-fit mappings
// included), so converting through the tables gives the very bytes the
// conversion functions give. Built once per code page and process, on first
// use, and read-only afterwards.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// The UTF-16 unit and UTF-8 bytes of one ANSI character. nLen 0: the tables do
// not cover the character (it converts to other than one basic-plane unit, or
// to NUL), and the caller converts it through the system.
struct MrAnsiChar {
  BYTE abUtf8[3];
  BYTE nLen;  // bytes of abUtf8 used
  WORD nUnit;
};

// ANSI code page to Unicode.
class CMrAnsiDecodeTable {
 public:
  // The table of a code page (0: the system ANSI code page); NULL when it
  // cannot be built.
  static const CMrAnsiDecodeTable* For(UINT nCodePage);

  // The lead bytes the converter pairs (from 0x80 on).
  BOOL IsLead(BYTE b) const { return abLead[b] != 0; }
  // A byte that is not a lead byte, alone.
  const MrAnsiChar& Single(BYTE b) const { return aSingle[b]; }
  // A lead byte and a trail byte (>= MR_MIN_TRAIL_BYTE); only for lead bytes.
  const MrAnsiChar& Pair(BYTE lead, BYTE trail) const { return vPairs[(lead << 8) | trail]; }
  // Every byte from 1 to 0x7F stands for itself and is no lead byte: ASCII
  // may be copied word by word.
  BOOL IsAsciiSame() const { return bAsciiSame; }

  // Fills the tables (For builds each once); FALSE when the system cannot
  // convert the code page.
  BOOL Build(UINT nCodePage);

 private:
  UINT nCp = 0;
  BYTE abLead[256] = {};
  MrAnsiChar aSingle[256] = {};
  std::vector<MrAnsiChar> vPairs;  // lead << 8 | trail; empty without lead bytes
  BOOL bAsciiSame = FALSE;
};

// Unicode to ANSI code page.
class CMrAnsiEncodeTable {
 public:
  static const CMrAnsiEncodeTable* For(UINT nCodePage);

  // The code-page bytes of one basic-plane unit alone. nLen 0: not covered
  // (NUL and surrogates, or a unit that takes other than one or two bytes).
  struct Bytes {
    BYTE ab[2];
    BYTE nLen;
    BYTE nPad;
  };
  const Bytes& Of(WORD nUnit) const { return vUnits[nUnit]; }
  BOOL IsAsciiSame() const { return bAsciiSame; }

  // Fills the tables (For builds each once); FALSE when the system cannot
  // convert the code page.
  BOOL Build(UINT nCodePage);

 private:
  UINT nCp = 0;
  std::vector<Bytes> vUnits;  // indexed by unit
  BOOL bAsciiSame = FALSE;
};
