// Layout of the hex view: rows of nHexBytesPerLine file bytes, an address
// column, the hex-digit cells, a gap and the character column. Positions here
// are file positions (byte-order mark included).
//
// Columns from the left, with cx the width of a digit in the hex font:
//   [0, nHexAddrWidth)                address
//   [nHexAddrWidth, nHexDigitsEndX]   hex digits, 3 cx per byte, 1 cx before the first
//   (nHexDigitsEndX, nHexCharsX)      gap of 2 cx
//   [nHexCharsX, E]                   characters, 1 cx per byte; E = nHexCharsX + cx * bytes per row
#include <algorithm>
#include <climits>

#include "mirel/cmireldoc.h"
#include "mirel/ccontentshandler.h"
#include "mirel/mirel.h"

namespace {

// More rows than this need 9 address digits instead of 7.
constexpr int kShortAddressRows = 0x100000;
constexpr int kShortAddressDigits = 7;
constexpr int kLongAddressDigits = 9;
constexpr int kAddressPadding = 4;

enum HexArea {
  kHexAreaAddress = 0,
  kHexAreaDigits = 1,
  kHexAreaGap = 2,
  kHexAreaChars = 3,
  kHexAreaBeyond = 4,
};

int Saturate(long long n) {
  return static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));
}

// The row width divides positions: never below 1.
DWORD HexBytesPerLine(const CMirelDoc& doc) {
  return static_cast<DWORD>(std::max(doc.nHexBytesPerLine, 1));
}

DWORD HexFileLength(const CMirelDoc& doc) {
  return doc.pContents != nullptr ? doc.pContents->GetBodyLength() : 0;
}

}  // namespace

int CMirelDoc::GetHexLineFromPos(DWORD nPos) {
  return static_cast<int>(std::min<DWORD>(nPos / HexBytesPerLine(*this), INT_MAX));
}

int CMirelDoc::GetHexLineCount() {
  return static_cast<int>(std::min<DWORD>(HexFileLength(*this) / HexBytesPerLine(*this), INT_MAX - 1)) + 1;
}

int CMirelDoc::CalcHexLayout() {
  const long long cx = sizeHexDigit.cx;
  const long long nBytes = HexBytesPerLine(*this);
  nHexAddrDigits = GetHexLineCount() <= kShortAddressRows ? kShortAddressDigits : kLongAddressDigits;
  nHexAddrWidth = Saturate((nHexAddrDigits + 1) * cx + kAddressPadding);
  nHexDigitsEndX = Saturate(cx * 3 * nBytes + nHexAddrWidth);
  nHexCharsX = Saturate(nHexDigitsEndX + 2 * cx);
  return 1;
}

BOOL CMirelDoc::GetHexLineRange(int nHexLine, int* pnStart, int* pnEnd) {
  const unsigned long long nFileLen = HexFileLength(*this);
  const unsigned long long nBytes = HexBytesPerLine(*this);
  const unsigned long long nStart = static_cast<unsigned long long>(nHexLine < 0 ? 0 : nHexLine) * nBytes;
  if (nHexLine < 0 || nStart > nFileLen) {
    if (pnStart != nullptr) *pnStart = -1;
    if (pnEnd != nullptr) *pnEnd = -1;
    return FALSE;
  }
  const unsigned long long nEnd = std::min(nStart + nBytes, nFileLen);
  if (pnStart != nullptr) *pnStart = static_cast<int>(nStart);
  if (pnEnd != nullptr) *pnEnd = static_cast<int>(nEnd);
  return TRUE;
}

int CMirelDoc::HexHitTest(int x) {
  const long long cx = sizeHexDigit.cx;
  if (x < nHexAddrWidth) return kHexAreaAddress;
  if (x <= nHexDigitsEndX) return kHexAreaDigits;
  if (x < nHexCharsX) return kHexAreaGap;
  if (x <= nHexCharsX + cx * static_cast<long long>(HexBytesPerLine(*this))) return kHexAreaChars;
  return kHexAreaBeyond;
}

int CMirelDoc::GetHexXFromPos(int nHexLine, DWORD nPos, int nArea) {
  int nStart = 0;
  int nEnd = 0;
  if (!GetHexLineRange(nHexLine, &nStart, &nEnd)) return 0;
  if (nPos < static_cast<DWORD>(nStart) || nPos > static_cast<DWORD>(nEnd)) {
    MIREL_ASSERT(0);
    return 0;
  }
  const long long k = nPos - static_cast<DWORD>(nStart);
  const long long cx = sizeHexDigit.cx;
  if (nArea == kHexAreaDigits) return Saturate(cx * (3 * k + 1) + nHexAddrWidth);
  if (nArea == kHexAreaChars) return Saturate(k * cx + nHexCharsX);
  MIREL_ASSERT(0);
  return 0;
}

DWORD CMirelDoc::GetHexPosFromX(int nHexLine, int x, int nArea) {
  // A row outside the data is taken as the nearest row that exists.
  nHexLine = std::clamp(nHexLine, 0, GetHexLineCount() - 1);
  int nRowStart = 0;
  int nRowEnd = 0;
  if (!GetHexLineRange(nHexLine, &nRowStart, &nRowEnd)) return HexFileLength(*this);
  const DWORD nStart = static_cast<DWORD>(nRowStart);
  const DWORD nEnd = static_cast<DWORD>(nRowEnd);
  const long long cx = sizeHexDigit.cx;
  const long long nBytes = HexBytesPerLine(*this);
  const long long nCharsEnd = nHexCharsX + cx * nBytes;
  const BOOL bInDigits = x >= nHexAddrWidth && x <= nHexDigitsEndX;
  const BOOL bInGap = x > nHexDigitsEndX && x < nHexCharsX;
  const BOOL bInChars = x >= nHexCharsX && x <= nCharsEnd;

  // The first cell whose right edge, less half a digit, reaches x.
  auto cellAt = [&](long long nFirstRight, long long nStep) -> DWORD {
    for (long long i = 0; i < nBytes; ++i) {
      if (nFirstRight + i * nStep - cx / 2 >= x) return std::min<DWORD>(nStart + static_cast<DWORD>(i), nEnd);
    }
    return nEnd;
  };

  switch (nArea) {
    case kHexAreaDigits:
      if (x < nHexAddrWidth) return nStart;
      if (bInGap || x > nCharsEnd) return nEnd;
      if (bInDigits) return cellAt(nHexAddrWidth + cx + 2 * cx, 3 * cx);
      return nStart;  // the character column
    case kHexAreaChars:
      if (x < nHexAddrWidth || bInGap || bInDigits) return nStart;
      if (x > nCharsEnd) return nEnd;
      if (bInChars) return cellAt(nHexCharsX + cx, cx);
      return nStart;
    case kHexAreaBeyond:
      return nEnd;
    default:
      return nStart;
  }
}
