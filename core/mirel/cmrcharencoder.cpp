// The whole-text converter. The source is walked one character at a time;
// characters that convert the same alone as in company are gathered into runs
// and converted with one call, so a long text costs few conversion calls.
// Characters that could convert differently in company (a lead byte cut off
// by a control character, an ill-formed UTF-8 sequence, a lone surrogate)
// are converted alone. A tracked position ends a run, so it maps to the
// output length exactly at its character boundary.
#include "mirel/cmrcharencoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "mirel/cencodings.h"
#include "mirel/cmireldoc.h"
#include "mirel/mirel.h"
#include "mirel/mrtextunits.h"

namespace {

DWORD g_nMemoryLimitOverride = 0;

// Source bytes converted by one call at most; scratch buffers hold the
// output of a run of that size plus its last character.
constexpr DWORD kRunBytes = 0x10000;
constexpr DWORD kRunSlack = 16;
constexpr DWORD kScratchUnits = kRunBytes + kRunSlack;
// Temporary-file output is written in blocks of this size.
constexpr DWORD kFileBlock = 0x100000;

constexpr BOOL IsHighSurrogate(UINT u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
constexpr BOOL IsLowSurrogate(UINT u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// How a character may be converted.
enum class CharClass {
  kAscii,  // below 0x80 (NUL excluded): the same code in every encoding
  kNul,    // the NUL character: one zero unit in the target
  kPlain,  // converts the same inside a run as alone
  kLone,   // must be converted alone
  kDrop,   // half a UTF-16 unit at the end: nothing to convert
};

struct CharInfo {
  DWORD nLen;
  CharClass cls;
};

// TRUE when the UTF-8 sequence of n bytes at p is well formed (shortest
// form, no surrogate, at most U+10FFFF).
BOOL IsWellFormedUtf8(const BYTE* p, DWORD n) {
  const BYTE b = p[0];
  if (b >= 0xC2 && b <= 0xDF) return n == 2;
  if (b >= 0xE0 && b <= 0xEF) {
    if (n != 3) return FALSE;
    if (b == 0xE0 && p[1] < 0xA0) return FALSE;
    if (b == 0xED && p[1] >= 0xA0) return FALSE;
    return TRUE;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    if (n != 4) return FALSE;
    if (b == 0xF0 && p[1] < 0x90) return FALSE;
    if (b == 0xF4 && p[1] >= 0x90) return FALSE;
    return TRUE;
  }
  return FALSE;
}

}  // namespace

// ---------------------------------------------------------------------------
// Output: a growing memory buffer, or blocks written to the temporary file.

class CMrCharEncoder::COutput {
 public:
  explicit COutput(CMrCharEncoder& enc) : m_enc(enc) {
    if (m_enc.hTempFile != INVALID_HANDLE_VALUE) m_block.reserve(kFileBlock);
  }

  BOOL Append(const BYTE* p, DWORD n) {
    if (n == 0) return TRUE;
    if (n > 0xFFFFFFFFu - m_nTotal) return FALSE;
    if (m_enc.hTempFile == INVALID_HANDLE_VALUE) {
      auto& out = m_enc.pOut;
      // Room is checked on every append: some pairs need three bytes a byte.
      if (out.size() + n > out.capacity()) out.reserve(std::max<size_t>(out.capacity() * 2, out.size() + n));
      out.insert(out.end(), p, p + n);
    } else {
      while (n > 0) {
        const DWORD nTake = std::min<DWORD>(n, kFileBlock - static_cast<DWORD>(m_block.size()));
        m_block.insert(m_block.end(), p, p + nTake);
        p += nTake;
        n -= nTake;
        m_nTotal += nTake;
        if (m_block.size() == kFileBlock && !Flush()) return FALSE;
      }
      return TRUE;
    }
    m_nTotal += n;
    return TRUE;
  }

  BOOL Flush() {
    if (m_enc.hTempFile == INVALID_HANDLE_VALUE || m_block.empty()) return TRUE;
    DWORD nWritten = 0;
    const DWORD nSize = static_cast<DWORD>(m_block.size());
    const BOOL bOk = ::WriteFile(m_enc.hTempFile, m_block.data(), nSize, &nWritten, nullptr);
    m_block.clear();
    return bOk && nWritten == nSize;
  }

  DWORD Total() const { return m_nTotal; }

 private:
  CMrCharEncoder& m_enc;
  std::vector<BYTE> m_block;
  DWORD m_nTotal = 0;
};

// ---------------------------------------------------------------------------

namespace {

// One conversion pass: the character walk and the run converters.
class CConvertPass {
 public:
  CConvertPass(const BYTE* pSrc, DWORD nSrcLen, int nFrom, int nTo, int nCodePage)
      : m_p(pSrc), m_n(nSrcLen), m_nFrom(nFrom), m_nTo(nTo), m_nCp(nCodePage == 0 ? CP_ACP : nCodePage) {
    if (m_nFrom == MIREL_ENCODING_ANSI) MrBuildLeadByteTable(static_cast<UINT>(nCodePage), m_abLead.data());
    m_wide.resize(kScratchUnits * 2);
    m_bytes.resize(kScratchUnits * 4 * 2);
  }

  // Converts whole characters from nPos on without passing nLimit; returns
  // where it stopped (nLimit, or the start of the character nLimit lies in).
  BOOL ConvertUntil(DWORD nPos, DWORD nLimit, CMrCharEncoder& enc, void* pOut, DWORD* pnEnd);

  // Appends the conversion of [nFrom, nTo) of the source; FALSE on failure.
  template <typename Sink>
  BOOL ConvertRun(DWORD nFrom, DWORD nTo, BOOL bAllAscii, Sink& sink);

  CharInfo Classify(DWORD nPos) const;

  const BYTE* m_p;
  DWORD m_n;
  int m_nFrom;
  int m_nTo;
  UINT m_nCp;
  std::array<BYTE, 256> m_abLead{};
  std::vector<WCHAR> m_wide;
  std::vector<BYTE> m_bytes;
};

CharInfo CConvertPass::Classify(DWORD nPos) const {
  const BYTE* p = m_p + nPos;
  const DWORD nLeft = m_n - nPos;
  if (IsWideEncoding(m_nFrom)) {
    if (nLeft < 2) return {nLeft, CharClass::kDrop};
    const UINT u = MrUnitAt(p, TRUE);
    if (u == MR_CHAR_NUL) return {2, CharClass::kNul};
    if (u == MR_CHAR_CR && nLeft >= 4 && MrUnitIs(p + 2, TRUE, MR_CHAR_LF)) return {4, CharClass::kAscii};
    if (u < 0x80) return {2, CharClass::kAscii};
    if (IsHighSurrogate(u)) {
      if (nLeft >= 4 && IsLowSurrogate(MrUnitAt(p + 2, TRUE))) return {4, CharClass::kPlain};
      return {2, CharClass::kLone};
    }
    if (IsLowSurrogate(u)) return {2, CharClass::kLone};
    return {2, CharClass::kPlain};
  }
  const BYTE b = p[0];
  if (b == MR_CHAR_NUL) return {1, CharClass::kNul};
  if (b < 0x80) return {(b == MR_CHAR_CR && nLeft >= 2 && p[1] == MR_CHAR_LF) ? 2u : 1u, CharClass::kAscii};
  if (m_nFrom == MIREL_ENCODING_ANSI) {
    if (m_abLead[b]) {
      if (nLeft >= 2 && p[1] >= MR_MIN_TRAIL_BYTE) return {2, CharClass::kPlain};
      return {1, CharClass::kLone};
    }
    return {1, CharClass::kPlain};
  }
  // UTF-8: a lead byte and the continuation bytes that follow it, as the
  // layout counts characters.
  const DWORD nWant = b >= 0xF0 ? 4 : (b >= 0xE0 ? 3 : 2);
  DWORD n = 1;
  while (n < nWant && n < nLeft && (p[n] & 0xC0) == 0x80) ++n;
  return {n, IsWellFormedUtf8(p, n) ? CharClass::kPlain : CharClass::kLone};
}

template <typename Sink>
BOOL CConvertPass::ConvertRun(DWORD nFrom, DWORD nTo, BOOL bAllAscii, Sink& sink) {
  if (nFrom >= nTo) return TRUE;
  const BYTE* p = m_p + nFrom;
  const DWORD n = nTo - nFrom;
  const BOOL bSrcWide = IsWideEncoding(m_nFrom);
  const BOOL bDstWide = IsWideEncoding(m_nTo);
  const BOOL bSrcUtf8 = m_nFrom == MIREL_ENCODING_UTF8 || m_nFrom == MIREL_ENCODING_UTF8_BOM;
  const BOOL bDstUtf8 = m_nTo == MIREL_ENCODING_UTF8 || m_nTo == MIREL_ENCODING_UTF8_BOM;
  BYTE* pBytes = m_bytes.data();
  if (bAllAscii) {
    // Codes below 0x80 are the same character in every encoding here.
    if (bSrcWide == bDstWide) return sink.Append(p, n);
    DWORD k = 0;
    if (bDstWide) {
      for (DWORD i = 0; i < n; ++i) {
        pBytes[k++] = p[i];
        pBytes[k++] = 0;
      }
    } else {
      for (DWORD i = 0; i < n; i += 2) pBytes[k++] = p[i];
    }
    return sink.Append(pBytes, k);
  }
  if (bSrcUtf8 && bDstUtf8) return sink.Append(p, n);

  // Everything else goes through UTF-16 units.
  const WCHAR* pUnits = nullptr;
  int nUnits = 0;
  WCHAR* pWide = m_wide.data();
  const int nWideCap = static_cast<int>(m_wide.size());
  if (bSrcWide) {
    pUnits = reinterpret_cast<const WCHAR*>(p);
    nUnits = static_cast<int>(n / 2);
    if ((reinterpret_cast<uintptr_t>(p) & 1) != 0) {
      std::memcpy(pWide, p, n & ~1u);
      pUnits = pWide;
    }
  } else if (bSrcUtf8) {
    nUnits = Utf8ToUtf16(p, static_cast<int>(n), pWide, nWideCap);
    pUnits = pWide;
  } else {
    nUnits =
        MultiByteToWideChar(m_nCp, 0, reinterpret_cast<const char*>(p), static_cast<int>(n), pWide, nWideCap);
    pUnits = pWide;
  }
  if (nUnits <= 0) return FALSE;
  if (bDstWide) return sink.Append(reinterpret_cast<const BYTE*>(pUnits), static_cast<DWORD>(nUnits) * 2);
  const int nByteCap = static_cast<int>(m_bytes.size());
  int nBytes = 0;
  if (bDstUtf8) {
    nBytes = Utf16ToUtf8(pUnits, nUnits, pBytes, nByteCap);
  } else {
    nBytes = WideCharToMultiByte(m_nCp, 0, pUnits, nUnits, reinterpret_cast<char*>(pBytes), nByteCap, nullptr,
                                 nullptr);
  }
  if (nBytes <= 0) return FALSE;
  return sink.Append(pBytes, static_cast<DWORD>(nBytes));
}

}  // namespace

// ---------------------------------------------------------------------------

CMrCharEncoder::CMrCharEncoder(CMirelDoc* /*pDocument*/, const BYTE* pSource, DWORD nSourceLen,
                               int nSourceEncoding, int nAnsiCodePage)
    : pSrc(pSource),
      pszTempName(nullptr),
      hTempFile(INVALID_HANDLE_VALUE),
      nSrcEncoding(nSourceEncoding),
      nCodePage(nAnsiCodePage),
      nOutLen(0),
      nSrcLen(pSource != nullptr ? nSourceLen : 0),
      nReadPos(0),
      nCaret(0),
      nBlockStart(0),
      nBlockEnd(0) {}

CMrCharEncoder::~CMrCharEncoder() {
  CloseTempFile();
}

void CMrCharEncoder::SetMemoryLimitForTesting(DWORD nBytes) {
  g_nMemoryLimitOverride = nBytes;
}

void CMrCharEncoder::SetTrackedPointers(DWORD nCaretPos, DWORD nStart, DWORD nEnd) {
  nCaret = nCaretPos;
  nBlockStart = nStart;
  nBlockEnd = nEnd;
}

void CMrCharEncoder::GetTrackedPointers(DWORD* pnCaret, DWORD* pnStart, DWORD* pnEnd) const {
  if (pnCaret != nullptr) *pnCaret = nCaret;
  if (pnStart != nullptr) *pnStart = nBlockStart;
  if (pnEnd != nullptr) *pnEnd = nBlockEnd;
}

BOOL CMrCharEncoder::OpenTempFile() {
  char szDir[1040] = {0};
  const DWORD nDir = GetTempPathA(sizeof(szDir), szDir);
  if (nDir == 0 || nDir >= sizeof(szDir)) return FALSE;
  pszTempName = static_cast<char*>(std::calloc(1300, 1));
  if (pszTempName == nullptr) return FALSE;
  if (GetTempFileNameA(szDir, "che", 0, pszTempName) == 0) {
    CloseTempFile();
    return FALSE;
  }
  hTempFile = CreateFileA(pszTempName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hTempFile == INVALID_HANDLE_VALUE) {
    CloseTempFile();
    return FALSE;
  }
  return TRUE;
}

void CMrCharEncoder::CloseTempFile() {
  if (hTempFile != INVALID_HANDLE_VALUE) CloseHandle(hTempFile);
  hTempFile = INVALID_HANDLE_VALUE;
  // GetTempFileNameA already made the file, so the name is removed even when
  // opening it failed.
  if (pszTempName != nullptr && pszTempName[0] != '\0') DeleteFileA(pszTempName);
  std::free(pszTempName);
  pszTempName = nullptr;
}

BOOL CMrCharEncoder::Convert(int nTargetEncoding) {
  if (nTargetEncoding == nSrcEncoding) return FALSE;
  if (nTargetEncoding < MIREL_ENCODING_ANSI || nTargetEncoding > MIREL_ENCODING_UTF8_BOM) return FALSE;
  if (nTargetEncoding == MIREL_ENCODING_UTF16BE || nSrcEncoding == MIREL_ENCODING_UTF16BE) return FALSE;
  if (nSrcEncoding < MIREL_ENCODING_ANSI || nSrcEncoding > MIREL_ENCODING_UTF8_BOM) return FALSE;
  if (pSrc == nullptr && nSrcLen > 0) return FALSE;

  // A second conversion starts from nothing.
  CloseTempFile();
  pOut.clear();
  nOutLen = 0;
  // In memory whenever room for twice the source can be had (a write to a
  // file and a read back cost more than the conversion); the temporary file
  // is the way out when it cannot, or when a test asks for it.
  BOOL bInMemory = g_nMemoryLimitOverride != 0 ? nSrcLen < g_nMemoryLimitOverride : nSrcLen <= SIZE_MAX / 4;
  if (bInMemory) {
    try {
      pOut.reserve(static_cast<size_t>(nSrcLen) * 2);
    } catch (const std::bad_alloc&) {
      bInMemory = FALSE;
    }
  }
  if (!bInMemory && !OpenTempFile()) return FALSE;

  // The tracked positions in source order; each ends the walk there once.
  DWORD* const apTracked[3] = {&nCaret, &nBlockStart, &nBlockEnd};
  std::array<DWORD, 3> aTargets = {nCaret, nBlockStart, nBlockEnd};
  std::array<DWORD, 3> aMapped = {0, 0, 0};
  std::array<DWORD, 3> aOrder = {aTargets[0], aTargets[1], aTargets[2]};
  std::sort(aOrder.begin(), aOrder.end());

  const BOOL bCopyOnly =
      (nSrcEncoding == MIREL_ENCODING_UTF8 || nSrcEncoding == MIREL_ENCODING_UTF8_BOM) &&
      (nTargetEncoding == MIREL_ENCODING_UTF8 || nTargetEncoding == MIREL_ENCODING_UTF8_BOM);
  COutput out(*this);
  BOOL bOk = TRUE;
  try {
    if (bCopyOnly) {
      // Only the byte-order mark differs: bytes and positions stay.
      bOk = out.Append(pSrc, nSrcLen);
      aMapped = aTargets;
    } else {
      CConvertPass pass(pSrc, nSrcLen, nSrcEncoding, nTargetEncoding, nCodePage);
      DWORD nPos = 0;
      auto walkTo = [&](DWORD nStop) -> BOOL {
        DWORD nRun = nPos;
        BOOL bRunAscii = TRUE;
        const BOOL bNarrowSrc = !IsWideEncoding(nSrcEncoding);
        while (nPos < nStop) {
          if (bNarrowSrc) {
            // A stretch of ASCII bytes (NUL excluded) needs no character
            // walk; its last byte goes through the walk, which keeps a CR LF
            // pair whole at the stop.
            const DWORD nCap = std::min(nStop, nRun + kRunBytes);
            DWORD q = nPos;
            while (q < nCap && static_cast<BYTE>(pSrc[q] - 1) < 0x7F) ++q;
            if (q > nPos + 1) {
              nPos = q - 1;  // the last byte goes through the walk below
            }
          }
          const CharInfo c = pass.Classify(nPos);
          if (nPos + c.nLen > nStop) break;
          if (c.cls == CharClass::kAscii || c.cls == CharClass::kPlain) {
            if (c.cls == CharClass::kPlain && bRunAscii && nPos > nRun) {
              // An ASCII stretch converts without a call; a character that
              // needs one starts a new run.
              if (nPos - nRun >= 64 && !pass.ConvertRun(nRun, nPos, TRUE, out)) return FALSE;
              if (nPos - nRun >= 64) nRun = nPos;
            }
            if (c.cls == CharClass::kPlain) bRunAscii = FALSE;
            nPos += c.nLen;
            if (nPos - nRun >= kRunBytes) {
              if (!pass.ConvertRun(nRun, nPos, bRunAscii, out)) return FALSE;
              nRun = nPos;
              bRunAscii = TRUE;
            }
            continue;
          }
          if (!pass.ConvertRun(nRun, nPos, bRunAscii, out)) return FALSE;
          if (c.cls == CharClass::kNul) {
            static constexpr BYTE kZero[2] = {0, 0};
            if (!out.Append(kZero, IsWideEncoding(nTargetEncoding) ? 2 : 1)) return FALSE;
          } else if (c.cls == CharClass::kLone) {
            if (!pass.ConvertRun(nPos, nPos + c.nLen, FALSE, out)) return FALSE;
          }
          nPos += c.nLen;
          nRun = nPos;
          bRunAscii = TRUE;
        }
        return pass.ConvertRun(nRun, nPos, bRunAscii, out);
      };
      for (DWORD t : aOrder) {
        if (!bOk) break;
        if (t == 0 || t > nSrcLen) continue;
        if (t > nPos) bOk = walkTo(t);
        // A position inside a character maps to where that character starts.
        for (int i = 0; i < 3; ++i)
          if (aTargets[i] == t) aMapped[i] = out.Total();
      }
      if (bOk) bOk = walkTo(nSrcLen);
    }
    if (bOk) bOk = out.Flush();
  } catch (const std::bad_alloc&) {
    bOk = FALSE;
  }
  if (!bOk) {
    CloseTempFile();
    pOut.clear();
    return FALSE;
  }
  nOutLen = out.Total();
  for (int i = 0; i < 3; ++i) *apTracked[i] = aMapped[i];
  return TRUE;
}

DWORD CMrCharEncoder::Read(BYTE* pDest, DWORD nCapacity) {
  if (pDest == nullptr) return 0;
  if (hTempFile == INVALID_HANDLE_VALUE) {
    if (nCapacity < nOutLen) return 0;
    if (nOutLen > 0) std::memcpy(pDest, pOut.data(), nOutLen);
    return nOutLen;
  }
  // The file is read from its start, whatever was written last.
  if (SetFilePointer(hTempFile, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return 0;
  const DWORD nWant = std::min(nCapacity, nOutLen);
  DWORD nTotal = 0;
  while (nTotal < nWant) {
    DWORD nRead = 0;
    if (!ReadFile(hTempFile, pDest + nTotal, nWant - nTotal, &nRead, nullptr) || nRead == 0) break;
    nTotal += nRead;
  }
  return nTotal;
}
