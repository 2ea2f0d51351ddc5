// Shared helpers of the editing core.
#include "mirel/mirel.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

int g_nAssertFailures = 0;

}  // namespace

void MirelTrace(const char* pszFormat, ...) {
  if (pszFormat == nullptr) return;
  char szBuf[MIREL_TRACE_BUFFER_SIZE] = {};
  va_list args;
  va_start(args, pszFormat);
  // vsnprintf cuts what does not fit; the last byte is set to zero again for
  // runtimes that leave a full buffer unterminated.
  std::vsnprintf(szBuf, sizeof(szBuf), pszFormat, args);
  va_end(args);
  szBuf[sizeof(szBuf) - 1] = '\0';
  OutputDebugStringA(szBuf);
}

void MirelAssertFailed(const char* pszExpr, const char* pszFile, int nLine) {
  ++g_nAssertFailures;
  MirelTrace("Assertion failed: %s (%s:%d)\n", pszExpr ? pszExpr : "", pszFile ? pszFile : "", nLine);
}

int MirelAssertFailureCount() {
  return g_nAssertFailures;
}

void MirelResetAssertFailures() {
  g_nAssertFailures = 0;
}

BOOL MrContainsNul(const BYTE* pData, int nCount, int nEncoding) {
  if (nEncoding != MIREL_ENCODING_ANSI) {
    MIREL_ASSERT(FALSE);
    return TRUE;
  }
  if (pData == nullptr || nCount <= 0) return FALSE;
  return std::memchr(pData, 0, static_cast<std::size_t>(nCount)) != nullptr ? TRUE : FALSE;
}

const char* MrStrChr(const char* psz, int ch) {
  if (psz == nullptr) return nullptr;
  return std::strchr(psz, static_cast<unsigned char>(ch));
}

char* MrStrChr(char* psz, int ch) {
  if (psz == nullptr) return nullptr;
  return std::strchr(psz, static_cast<unsigned char>(ch));
}

std::size_t MrStrLen(const char* psz) {
  return psz == nullptr ? 0 : std::strlen(psz);
}

BOOL IsWindowsNT() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExA(&info)) return FALSE;
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT ? TRUE : FALSE;
}
