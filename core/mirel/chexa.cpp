// Hexadecimal text to bytes and back.
#include "mirel/chexa.h"

#include <climits>

#include "mirel/mirel.h"

namespace {

// Value of a hexadecimal digit, or -1.
constexpr int HexDigitValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

constexpr bool IsHexSeparator(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Visits the characters of the text that are not separators, within nLen
// characters and before a zero byte. Returns how many there are.
template <typename Visit>
int ForEachHexChar(const char* pszText, int nLen, Visit visit) {
  int nCount = 0;
  for (int i = 0; i < nLen && pszText[i] != '\0'; ++i) {
    if (IsHexSeparator(pszText[i])) continue;
    visit(nCount, pszText[i]);
    ++nCount;
  }
  return nCount;
}

}  // namespace

int CHexa::HexToInt(const char* pszHex) {
  if (pszHex == nullptr || pszHex[0] == '\0') {
    MirelTrace("NULL Hexadecimal String \n");
    return 0;
  }
  unsigned int nValue = 0;
  for (const char* p = pszHex; *p != '\0'; ++p) {
    const int nDigit = HexDigitValue(*p);
    if (nDigit < 0) {
      MirelTrace("Invalid Hexadecimal String \n");
      return 0;
    }
    nValue = nValue * 16u + static_cast<unsigned int>(nDigit);
  }
  return static_cast<int>(nValue);
}

int CHexa::CountHexChars(const char* pszText, int nLen) {
  if (pszText == nullptr || nLen <= 0) return 0;
  return ForEachHexChar(pszText, nLen, [](int, char) {});
}

int CHexa::HexTextToBytes(const char* pszText, int nLen, BYTE* pOut) {
  if (pszText == nullptr || nLen <= 0) return 0;
  const int nChars = CountHexChars(pszText, nLen);
  if (nChars % 2 != 0) return 0;
  if (pOut != nullptr) {
    char szPair[3] = {};
    ForEachHexChar(pszText, nLen, [&](int nIndex, char ch) {
      szPair[nIndex % 2] = ch;
      if (nIndex % 2 == 1) pOut[nIndex / 2] = static_cast<BYTE>(HexToInt(szPair));
    });
  }
  return nChars / 2;
}

int CHexa::HexTextToBytesPadded(const char* pszText, BYTE* pOut, int nOutSize) {
  if (pszText == nullptr) return 0;
  const int nChars = ForEachHexChar(pszText, INT_MAX, [](int, char) {});
  const int nBytes = nChars / 2 + nChars % 2;
  if (pOut == nullptr) return nBytes;
  if (nOutSize <= nBytes) return 0;  // the bytes and the zero byte must fit
  char szPair[3] = {};
  ForEachHexChar(pszText, INT_MAX, [&](int nIndex, char ch) {
    szPair[nIndex % 2] = ch;
    if (nIndex % 2 == 1) pOut[nIndex / 2] = static_cast<BYTE>(HexToInt(szPair));
  });
  if (nChars % 2 != 0) {
    szPair[1] = '0';
    pOut[nBytes - 1] = static_cast<BYTE>(HexToInt(szPair));
  }
  pOut[nBytes] = 0;
  return nBytes;
}

int CHexa::IntToHex(int nValue, char* pszOut, int nOutSize) {
  if (pszOut == nullptr || nOutSize <= 0) return 0;
  pszOut[0] = '\0';
  if (nValue < 0) {
    MirelTrace("Invalid decimal below zero\n");
    return 0;
  }
  char szDigits[8];
  int nDigits = 0;
  unsigned int nRest = static_cast<unsigned int>(nValue);
  do {
    szDigits[nDigits++] = kHexDigits[nRest % 16];
    nRest /= 16;
  } while (nRest != 0);
  if (nDigits < 2) szDigits[nDigits++] = '0';
  if (nDigits >= nOutSize) return 0;
  for (int i = 0; i < nDigits; ++i) pszOut[i] = szDigits[nDigits - 1 - i];
  pszOut[nDigits] = '\0';
  return nDigits;
}

int CHexa::BytesToHexText(const BYTE* pBytes, int nCount, char* pszOut, int nOutSize, BOOL bSpaced) {
  if (pBytes == nullptr || nCount <= 0) nCount = 0;
  const int nSep = bSpaced ? 1 : 0;
  if (pszOut == nullptr) {
    if (nCount == 0) return 0;
    // Needed size, saturated so it cannot overflow.
    const long long nNeed = 2LL * nCount + static_cast<long long>(nSep) * (nCount - 1);
    return nNeed > INT_MAX ? INT_MAX : static_cast<int>(nNeed);
  }
  if (nOutSize <= 0) return 0;
  int nWritten = 0;
  for (int i = 0; i < nCount; ++i) {
    const int nSepHere = i > 0 ? nSep : 0;
    if (nOutSize - 1 - nWritten < nSepHere + 2) break;
    if (nSepHere) pszOut[nWritten++] = ' ';
    char szByte[4];
    IntToHex(pBytes[i], szByte, sizeof(szByte));
    pszOut[nWritten++] = szByte[0];
    pszOut[nWritten++] = szByte[1];
  }
  pszOut[nWritten] = '\0';
  return nWritten;
}
