// Encoding detection, the one-shot converter and the UTF routines.
#include "mirel/cencodings.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "mirel/mirel.h"

namespace {

constexpr UINT kReplacementChar = 0xFFFD;

constexpr bool IsContinuation(BYTE b) {
  return b >= 0x80 && b <= 0xBF;
}
constexpr bool IsSurrogate(UINT u) {
  return u >= 0xD800 && u <= 0xDFFF;
}

// Reads one character from nUnits (>= 1) units: a high surrogate followed by
// a low one is a pair, any other surrogate stands for U+FFFD. Returns the
// units consumed.
int DecodeUtf16(const WCHAR* p, int nUnits, UINT* pCode) {
  const UINT u = static_cast<UINT>(p[0]);
  if (MrIsHighSurrogate(u) && nUnits >= 2 && MrIsLowSurrogate(static_cast<UINT>(p[1]))) {
    *pCode = 0x10000 + ((u - 0xD800) << 10) + (static_cast<UINT>(p[1]) - 0xDC00);
    return 2;
  }
  *pCode = IsSurrogate(u) ? kReplacementChar : u;
  return 1;
}

// Reads one character from nBytes (>= 1) bytes. A well-formed sequence gives
// its code point; otherwise the longest prefix that could have begun a
// well-formed sequence (at least one byte) gives U+FFFD, so a sequence cut at
// the end is one U+FFFD for all of its bytes. Returns the bytes consumed.
int DecodeUtf8(const BYTE* p, int nBytes, UINT* pCode) {
  const BYTE b = p[0];
  if (b < 0x80) {
    *pCode = b;
    return 1;
  }
  int nTrail = 0;
  UINT c = 0;
  BYTE lo = 0x80, hi = 0xBF;  // range of the first trail byte
  if (b >= 0xC2 && b <= 0xDF) {
    nTrail = 1;
    c = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    nTrail = 2;
    c = b & 0x0F;
    if (b == 0xE0)
      lo = 0xA0;  // overlong below U+0800
    else if (b == 0xED)
      hi = 0x9F;  // surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    nTrail = 3;
    c = b & 0x07;
    if (b == 0xF0)
      lo = 0x90;  // overlong below U+10000
    else if (b == 0xF4)
      hi = 0x8F;  // above U+10FFFF
  } else {
    *pCode = kReplacementChar;
    return 1;
  }
  for (int i = 1; i <= nTrail; ++i) {
    if (i >= nBytes || p[i] < lo || p[i] > hi) {
      *pCode = kReplacementChar;
      return i;
    }
    c = (c << 6) | (p[i] & 0x3F);
    lo = 0x80;
    hi = 0xBF;
  }
  *pCode = c;
  return nTrail + 1;
}

constexpr int Utf8Length(UINT c) {
  return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

void EncodeUtf8(UINT c, int nLen, BYTE* p) {
  switch (nLen) {
    case 1:
      p[0] = static_cast<BYTE>(c);
      break;
    case 2:
      p[0] = static_cast<BYTE>(0xC0 | (c >> 6));
      p[1] = static_cast<BYTE>(0x80 | (c & 0x3F));
      break;
    case 3:
      p[0] = static_cast<BYTE>(0xE0 | (c >> 12));
      p[1] = static_cast<BYTE>(0x80 | ((c >> 6) & 0x3F));
      p[2] = static_cast<BYTE>(0x80 | (c & 0x3F));
      break;
    default:
      p[0] = static_cast<BYTE>(0xF0 | (c >> 18));
      p[1] = static_cast<BYTE>(0x80 | ((c >> 12) & 0x3F));
      p[2] = static_cast<BYTE>(0x80 | ((c >> 6) & 0x3F));
      p[3] = static_cast<BYTE>(0x80 | (c & 0x3F));
      break;
  }
}

// The single walk behind Utf16ToUtf8 and Utf8LengthOfUtf16, so the length
// always equals the output. pDst NULL only counts.
int WalkUtf16ToUtf8(const WCHAR* pUnits, int nUnits, BYTE* pDst, int nDstSize) {
  if (pUnits == nullptr || nUnits <= 0 || nDstSize <= 0) return 0;
  int nWritten = 0;
  for (int i = 0; i < nUnits && pUnits[i] != 0;) {
    UINT c = 0;
    const int nUsed = DecodeUtf16(pUnits + i, nUnits - i, &c);
    const int nLen = Utf8Length(c);
    if (nLen > nDstSize - nWritten) break;
    if (pDst != nullptr) EncodeUtf8(c, nLen, pDst + nWritten);
    nWritten += nLen;
    i += nUsed;
  }
  return nWritten;
}

// The single walk behind Utf8ToUtf16 and Utf8CountUtf16Units.
int WalkUtf8ToUtf16(const BYTE* pBytes, int nBytes, WCHAR* pDst, int nDstUnits) {
  if (pBytes == nullptr || nBytes <= 0 || nDstUnits <= 0) return 0;
  int nWritten = 0;
  for (int i = 0; i < nBytes;) {
    UINT c = 0;
    const int nUsed = DecodeUtf8(pBytes + i, nBytes - i, &c);
    const int nNeed = c >= 0x10000 ? 2 : 1;
    if (nNeed > nDstUnits - nWritten) break;
    if (pDst != nullptr) {
      if (nNeed == 2) {
        pDst[nWritten] = static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10));
        pDst[nWritten + 1] = static_cast<WCHAR>(0xDC00 | (c & 0x3FF));
      } else {
        pDst[nWritten] = static_cast<WCHAR>(c);
      }
    }
    nWritten += nNeed;
    i += nUsed;
  }
  return nWritten;
}

// The largest unit count whose byte size still fits an int.
constexpr int kMaxUnits = INT_MAX / 2;

// UTF-16 units: a temporary copy from the OLE string allocator, or a buffer
// from malloc that an output adopts.
class CWideUnits {
 public:
  explicit CWideUnits(BOOL bForOutput) : m_bForOutput(bForOutput) {}
  ~CWideUnits() { Free(); }
  CWideUnits(const CWideUnits&) = delete;
  CWideUnits& operator=(const CWideUnits&) = delete;

  BOOL Allocate(int nUnits) {
    Free();
    if (nUnits <= 0 || nUnits > kMaxUnits) return FALSE;
    m_pUnits = m_bForOutput ? static_cast<WCHAR*>(std::malloc(static_cast<size_t>(nUnits) * 2))
                            : SysAllocStringLen(nullptr, static_cast<UINT>(nUnits));
    m_nUnits = m_pUnits != nullptr ? nUnits : 0;
    return m_pUnits != nullptr;
  }
  WCHAR* Get() const { return m_pUnits; }
  int Count() const { return m_nUnits; }
  void SetCount(int nUnits) { m_nUnits = nUnits; }
  // Hands a malloc buffer over to its new owner.
  WCHAR* Release() {
    WCHAR* p = m_pUnits;
    m_pUnits = nullptr;
    m_nUnits = 0;
    return p;
  }

 private:
  void Free() {
    if (m_pUnits != nullptr) {
      if (m_bForOutput) {
        std::free(m_pUnits);
      } else {
        SysFreeString(m_pUnits);
      }
    }
    m_pUnits = nullptr;
    m_nUnits = 0;
  }

  BOOL m_bForOutput;
  WCHAR* m_pUnits = nullptr;
  int m_nUnits = 0;
};

// The source text as UTF-16 units in *pWide. FALSE when there is nothing to
// convert, the conversion fails or the encoding is not one of text.
BOOL TextToWide(int nEncoding, UINT cp, const BYTE* pSrc, int nSrcLen, CWideUnits* pWide) {
  const bool bText = nEncoding == MIREL_ENCODING_ANSI || IsWideEncoding(nEncoding) ||
                     nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM;
  MIREL_ASSERT(bText);
  if (!bText || pSrc == nullptr || nSrcLen <= 0) return FALSE;
  if (nEncoding == MIREL_ENCODING_ANSI) {
    const auto* pszSrc = reinterpret_cast<LPCSTR>(pSrc);
    if (!pWide->Allocate(MultiByteToWideChar(cp, 0, pszSrc, nSrcLen, nullptr, 0))) return FALSE;
    pWide->SetCount(MultiByteToWideChar(cp, 0, pszSrc, nSrcLen, pWide->Get(), pWide->Count()));
  } else if (IsWideEncoding(nEncoding)) {
    // Code 2 units are little-endian as well. The source may sit at an odd
    // address: the whole units are copied, a trailing half unit is dropped.
    if (!pWide->Allocate(nSrcLen / 2)) return FALSE;
    std::memcpy(pWide->Get(), pSrc, static_cast<size_t>(pWide->Count()) * 2);
  } else {
    if (!pWide->Allocate(Utf8CountUtf16Units(pSrc, nSrcLen))) return FALSE;
    pWide->SetCount(Utf8ToUtf16(pSrc, nSrcLen, pWide->Get(), pWide->Count()));
  }
  return pWide->Count() > 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// Free UTF routines

int Utf16ToUtf8(const WCHAR* pUnits, int nUnits, BYTE* pDst, int nDstSize) {
  if (pDst == nullptr) return 0;
  return WalkUtf16ToUtf8(pUnits, nUnits, pDst, nDstSize);
}

int Utf8LengthOfUtf16(const WCHAR* pUnits, int nUnits) {
  return WalkUtf16ToUtf8(pUnits, nUnits, nullptr, INT_MAX);
}

int Utf8ToUtf16(const BYTE* pBytes, int nBytes, WCHAR* pDst, int nDstUnits) {
  if (pDst == nullptr) return 0;
  return WalkUtf8ToUtf16(pBytes, nBytes, pDst, nDstUnits);
}

int Utf8CountUtf16Units(const BYTE* pBytes, int nBytes) {
  return WalkUtf8ToUtf16(pBytes, nBytes, nullptr, INT_MAX);
}

// ---------------------------------------------------------------------------
// CEncodings

CEncodings::CEncodings(const BYTE* pData, int nLen) : CEncodings(pData, nLen, MIREL_ENCODING_UNDEFINED, 0) {}

CEncodings::CEncodings(const BYTE* pData, int nLen, int nEncodingIn, int nCodePageIn)
    : bOwnsOut(FALSE),
      pSrc(pData != nullptr && nLen > 0 ? pData : nullptr),
      pOut(nullptr),
      nEncoding(nEncodingIn),
      nOutLen(0),
      nSrcLen(pData != nullptr && nLen > 0 ? nLen : 0),
      nCodePage(nCodePageIn) {
  if (nEncoding == MIREL_ENCODING_UNDEFINED) nEncoding = DetectEncoding(pSrc, nSrcLen);
}

CEncodings::~CEncodings() {
  ReleaseOutput();
}

void CEncodings::ReleaseOutput() {
  if (bOwnsOut) std::free(pOut);
  bOwnsOut = FALSE;
  pOut = nullptr;
  nOutLen = 0;
}

void CEncodings::AdoptOutput(BYTE* pBuf, int nLen) {
  pOut = pBuf;
  nOutLen = nLen;
  bOwnsOut = TRUE;
}

int CEncodings::DetectEncoding(const BYTE* pData, int nLen) {
  if (pData == nullptr || nLen < 2) return MIREL_ENCODING_ANSI;
  if (pData[0] == 0xFE && pData[1] == 0xFF) return MIREL_ENCODING_ANSI;
  if (pData[0] == 0xFF && pData[1] == 0xFE) return MIREL_ENCODING_UTF16LE;
  if (nLen > 2 && pData[0] == 0xEF && pData[1] == 0xBB && pData[2] == 0xBF) return MIREL_ENCODING_UTF8_BOM;
  if (IsUtf8(pData, nLen)) return MIREL_ENCODING_UTF8;
  return MIREL_ENCODING_ANSI;
}

BOOL CEncodings::IsUtf8(const BYTE* pData, int nLen, int* pnTail) {
  if (pnTail != nullptr) *pnTail = 0;
  if (pData == nullptr || nLen <= 0) return FALSE;
  BOOL bMultiByteSeen = FALSE;
  int i = 0;
  while (i < nLen) {
    const BYTE b = pData[i];
    const int nLeft = nLen - i;
    if (b == 0) return FALSE;
    if (b < 0x80) {
      ++i;
    } else if (b >= 0xC0 && b <= 0xDF) {
      if (nLeft < 2) break;  // cut at the end
      // C0 and C1 could only start overlong forms of ASCII.
      if (b < 0xC2 || !IsContinuation(pData[i + 1])) return FALSE;
      i += 2;
      bMultiByteSeen = TRUE;
    } else if (b >= 0xE0 && b <= 0xEF) {
      if (nLeft < 3) break;  // cut at the end
      if ((b & 0x0F) == 0 || !IsContinuation(pData[i + 1]) || !IsContinuation(pData[i + 2])) return FALSE;
      i += 3;
      bMultiByteSeen = TRUE;
    } else if (b >= 0xF0 && b <= 0xF4) {
      // A character beyond the basic plane: no overlong form (F0 80-8F), none
      // past U+10FFFF (F4 90 and above). The bytes of a sequence cut at the
      // end must still fit it.
      const BYTE lo = b == 0xF0 ? 0x90 : 0x80;
      const BYTE hi = b == 0xF4 ? 0x8F : 0xBF;
      const int nHave = nLeft < 4 ? nLeft : 4;
      if (nHave >= 2 && (pData[i + 1] < lo || pData[i + 1] > hi)) return FALSE;
      for (int k = 2; k < nHave; ++k) {
        if (!IsContinuation(pData[i + k])) return FALSE;
      }
      if (nLeft < 4) break;  // cut at the end
      i += 4;
      bMultiByteSeen = TRUE;
    } else {
      return FALSE;
    }
  }
  if (pnTail != nullptr) *pnTail = nLen - i;
  return bMultiByteSeen;
}

int CEncodings::WideToOutputMultiByte(const WCHAR* pUnits, int nUnits) {
  const UINT cp = static_cast<UINT>(nCodePage);
  const int nSize = WideCharToMultiByte(cp, 0, pUnits, nUnits, nullptr, 0, nullptr, nullptr);
  if (nSize <= 0) return 0;
  auto* pBuf = static_cast<BYTE*>(std::malloc(static_cast<size_t>(nSize)));
  if (pBuf == nullptr) return 0;
  const int nDone =
      WideCharToMultiByte(cp, 0, pUnits, nUnits, reinterpret_cast<LPSTR>(pBuf), nSize, nullptr, nullptr);
  if (nDone <= 0) {
    std::free(pBuf);
    return 0;
  }
  AdoptOutput(pBuf, nDone);
  return nOutLen;
}

int CEncodings::WideToOutputUtf8(const WCHAR* pUnits, int nUnits) {
  const int nSize = Utf8LengthOfUtf16(pUnits, nUnits);
  if (nSize <= 0) return 0;
  auto* pBuf = static_cast<BYTE*>(std::malloc(static_cast<size_t>(nSize)));
  if (pBuf == nullptr) return 0;
  AdoptOutput(pBuf, Utf16ToUtf8(pUnits, nUnits, pBuf, nSize));
  return nOutLen;
}

int CEncodings::ToMultiByte() {
  ReleaseOutput();
  if (nEncoding == MIREL_ENCODING_ANSI) return 0;  // already in the code page: the caller uses the source
  CWideUnits wide(FALSE);
  if (!TextToWide(nEncoding, static_cast<UINT>(nCodePage), pSrc, nSrcLen, &wide)) return 0;
  return WideToOutputMultiByte(wide.Get(), wide.Count());
}

int CEncodings::ToWideChar() {
  ReleaseOutput();
  if (IsWideEncoding(nEncoding)) return 0;  // already UTF-16
  CWideUnits wide(TRUE);
  if (!TextToWide(nEncoding, static_cast<UINT>(nCodePage), pSrc, nSrcLen, &wide)) return 0;
  const int nLen = wide.Count() * 2;
  AdoptOutput(reinterpret_cast<BYTE*>(wide.Release()), nLen);
  return nOutLen;
}

int CEncodings::ToUtf8() {
  ReleaseOutput();
  if (nEncoding == MIREL_ENCODING_UTF8 || nEncoding == MIREL_ENCODING_UTF8_BOM) return 0;  // already UTF-8
  CWideUnits wide(FALSE);
  if (!TextToWide(nEncoding, static_cast<UINT>(nCodePage), pSrc, nSrcLen, &wide)) return 0;
  return WideToOutputUtf8(wide.Get(), wide.Count());
}
