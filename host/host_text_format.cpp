#include "host_text_format.h"

#include <climits>
#include <cstring>

namespace mirel_host {

namespace {

// Encoding codes of the control's interface.
constexpr int kAnsi = 1;
constexpr int kUtf16Be = 2;
constexpr int kUtf16Le = 3;
constexpr int kUtf8 = 4;
constexpr int kUtf8Bom = 5;
constexpr int kBinary = 255;

bool StartsWith(const char* pBytes, std::size_t nLen, const char* pMark, std::size_t nMarkLen) {
  return nLen >= nMarkLen && std::memcmp(pBytes, pMark, nMarkLen) == 0;
}

}  // namespace

CTextPlan PlanText(const char* pBytes, std::size_t nLen, int nEncoding) {
  CTextPlan plan;
  if (pBytes == nullptr) nLen = 0;
  switch (nEncoding) {
    case kUtf16Be:
    case kUtf16Le: {
      // Code 2 differs from code 3 only in its mark; both hold little-endian units.
      const char* pMark = nEncoding == kUtf16Be ? "\xFE\xFF" : "\xFF\xFE";
      plan.nDocEncoding = nEncoding;
      plan.eKind = EInsertKind::Wide;
      plan.nOffset = StartsWith(pBytes, nLen, pMark, 2) ? 2 : 0;
      const std::size_t nBytes = nLen - plan.nOffset;
      plan.bDroppedOddByte = nBytes % 2 != 0;
      if (nBytes / 2 > static_cast<std::size_t>(INT_MAX)) return plan;
      plan.nUnits = static_cast<int>(nBytes / 2);
      break;
    }
    case kUtf8:
    case kUtf8Bom: {
      plan.nDocEncoding = nEncoding;
      plan.eKind = EInsertKind::Utf8;
      plan.nOffset = nEncoding == kUtf8Bom && StartsWith(pBytes, nLen, "\xEF\xBB\xBF", 3) ? 3 : 0;
      if (nLen - plan.nOffset > static_cast<std::size_t>(INT_MAX)) return plan;
      plan.nUnits = static_cast<int>(nLen - plan.nOffset);
      break;
    }
    default:
      // ANSI, binary and anything unknown: the bytes go in as they are.
      plan.nDocEncoding = kAnsi;
      plan.eKind = EInsertKind::Ansi;
      if (nLen > static_cast<std::size_t>(INT_MAX)) return plan;
      plan.nUnits = static_cast<int>(nLen);
      break;
  }
  plan.bOk = true;
  return plan;
}

std::string EncodingName(int nEncoding) {
  switch (nEncoding) {
    case kAnsi:
      return "ANSI";
    case kUtf16Be:
      return "UTF-16 BE";
    case kUtf16Le:
      return "UTF-16 LE";
    case kUtf8:
      return "UTF-8";
    case kUtf8Bom:
      return "UTF-8 with BOM";
    case kBinary:
      return "binary";
    default:
      return "unknown (" + std::to_string(nEncoding) + ")";
  }
}

std::string NewlineName(int nFormat) {
  switch (nFormat) {
    case 1:
      return "CR LF";
    case 2:
      return "LF";
    case 3:
      return "CR";
    default:
      return "unknown (" + std::to_string(nFormat) + ")";
  }
}

std::string FileNameOf(const std::string& strPath) {
  const std::size_t nSlash = strPath.find_last_of("/\\");
  return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

std::string WindowTitle(const std::string& strPath, int nEncoding, int nFormat, bool bModified) {
  return (bModified ? "*" : "") + FileNameOf(strPath) + " - " + EncodingName(nEncoding) + ", " +
         NewlineName(nFormat) + " - Mirel sample host";
}

}  // namespace mirel_host
