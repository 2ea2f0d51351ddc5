// Documents the native benchmarks work on, made the same way in each.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "mirel/cmireldoc.h"

namespace mirel_bench {

// A document holding text as code page 949 bytes, laid out 640 pixels wide
// with no margin and no undo record.
inline std::unique_ptr<CMirelDoc> MakeCp949Document(const std::string& text) {
  auto doc = std::make_unique<CMirelDoc>();
  doc->nFileEncoding = MIREL_ENCODING_ANSI;
  doc->nCodePage = 949;
  doc->NewFile();
  doc->nLeftMargin = 0;
  doc->nTextWidth = 640;
  doc->InsertContents(0, reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()), FALSE);
  return doc;
}

}  // namespace mirel_bench
