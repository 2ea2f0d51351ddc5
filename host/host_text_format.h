// How the host turns a file's bytes into text for the control, and how it
// names encodings and newline kinds for the user. No window is involved.
#pragma once

#include <cstddef>
#include <string>

namespace mirel_host {

// Which insert function takes the text without any conversion.
enum class EInsertKind { Ansi, Wide, Utf8 };

// The text part of a file: where it starts after the byte-order mark, how long
// it is, how to hand it to the control, and the encoding the document gets.
struct CTextPlan {
  bool bOk = false;      // false: the file is too large for the interface
  int nDocEncoding = 1;  // encoding code set on the document
  EInsertKind eKind = EInsertKind::Ansi;
  std::size_t nOffset = 0;       // first byte of the text (after the mark)
  int nUnits = 0;                // bytes (Ansi, Utf8) or UTF-16 units (Wide)
  bool bDroppedOddByte = false;  // a UTF-16 file ended in half a unit, which is left out
};

// Plans the hand-over of nLen bytes detected as nEncoding. Binary and
// undefined contents are kept as ANSI so their bytes come back unchanged.
CTextPlan PlanText(const char* pBytes, std::size_t nLen, int nEncoding);

// "ANSI", "UTF-8 with BOM", ... for an encoding code; "unknown (n)" otherwise.
std::string EncodingName(int nEncoding);

// "CR LF", "LF" or "CR" for a newline kind; "unknown (n)" otherwise.
std::string NewlineName(int nFormat);

// The last component of a path with '/' or '\\' separators.
std::string FileNameOf(const std::string& strPath);

// Title of the host window, e.g. "*sample.c - UTF-8, LF - Mirel sample host".
std::string WindowTitle(const std::string& strPath, int nEncoding, int nFormat, bool bModified);

}  // namespace mirel_host
