// Copying a host definition and the matchers the lexers test the text with.
#include "mirel/syntax/cmrsyntaxdef.h"

#include <cstring>

namespace {

// A copy of the host string, or undefined for NULL.
MrDefString CopyOf(const char* psz) {
  if (psz == nullptr) return std::nullopt;
  return std::string(psz);
}

// Comment and script brackets: an empty string would match everywhere without
// moving the lexer on, so it is kept as undefined.
MrDefString CopyBracket(const char* psz) {
  if (psz == nullptr || *psz == '\0') return std::nullopt;
  return std::string(psz);
}

BOOL IsListBlank(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

// Word lookup in 8-bit text: the word framed by single spaces must occur in
// the list. The frame lives on the stack for ordinary words.
BOOL FindWordFramed(const char* pszList, const CMrSyntaxText& t, DWORD nStart, DWORD nCount, BOOL bCase) {
  constexpr DWORD kLocal = 256;
  char local[kLocal];
  std::string heap;
  char* pFrame = local;
  if (nCount + 3 >= kLocal) {
    heap.assign(nCount + 3, '\0');
    pFrame = &heap[0];
  }
  pFrame[0] = ' ';
  std::memcpy(pFrame + 1, t.Ptr(nStart), nCount);
  pFrame[nCount + 1] = ' ';
  pFrame[nCount + 2] = '\0';
  if (!bCase) CharLowerA(pFrame);
  return std::strstr(pszList, pFrame) != nullptr;
}

// Word lookup in UTF-16 text: the list's words are separated by any run of
// blanks; each unit of the word must equal the list character as a whole
// (ASCII case folded when case is ignored).
BOOL FindWordWide(const char* pszList, const CMrSyntaxText& t, DWORD nStart, DWORD nCount, BOOL bCase) {
  const char* p = pszList;
  while (*p != '\0') {
    while (IsListBlank(*p)) ++p;
    if (*p == '\0') break;
    DWORD k = 0;
    for (; k < nCount; ++k) {
      const char ch = p[k];
      if (ch == '\0') break;
      const UINT nUnit = t.At(nStart + 2 * k);
      const UINT nListChar = static_cast<BYTE>(ch);
      const BOOL bSame = bCase ? nUnit == nListChar
                               : static_cast<UINT>(MrToUpperA(static_cast<int>(nUnit))) ==
                                     static_cast<UINT>(MrToUpperA(static_cast<int>(nListChar)));
      if (!bSame) break;
    }
    if (k == nCount && (p[k] == '\0' || IsListBlank(p[k]))) return TRUE;
    while (*p != '\0' && !IsListBlank(*p)) ++p;
  }
  return FALSE;
}

}  // namespace

void CMrSyntaxDef::Assign(const MIREL_SYNTAX_INFO& info, BOOL bKeepScript) {
  bCaseSensitive = info.bCaseSensitive != 0;
  // A NULL set is read as the empty one: the blanks still delimit words.
  delimiters = std::string(MR_SYNTAX_BASE_DELIMITERS) + (info.pszDelimiters ? info.pszDelimiters : "");
  chQuote1 = info.chQuote1;
  chQuote2 = info.chQuote2;
  chEscape = info.chEscape;
  lineComment1 = CopyBracket(info.pszLineComment1);
  lineComment2 = CopyBracket(info.pszLineComment2);
  bLineComment1Word = info.bLineComment1Word != 0;
  bLineComment2Word = info.bLineComment2Word != 0;
  blockComment1Open = CopyBracket(info.pszBlockComment1Open);
  blockComment1Close = CopyBracket(info.pszBlockComment1Close);
  blockComment2Open = CopyBracket(info.pszBlockComment2Open);
  blockComment2Close = CopyBracket(info.pszBlockComment2Close);
  chContinuation = info.chContinuation;
  indent = CopyOf(info.pszIndent);
  unindent = CopyOf(info.pszUnindent);
  scriptOpen = bKeepScript ? CopyBracket(info.pszScriptOpen) : std::nullopt;
  scriptClose = bKeepScript ? CopyBracket(info.pszScriptClose) : std::nullopt;
  for (int i = 0; i < MIREL_SYNTAX_KEYWORD_LISTS; ++i) {
    keywords[i] = CopyOf(info.pszKeywords[i]);
    if (!bCaseSensitive && keywords[i] && !keywords[i]->empty()) CharLowerA(&(*keywords[i])[0]);
  }
}

BOOL CMrSyntaxDef::MatchPrefix(const MrDefString& s, const CMrSyntaxText& t, DWORD nPos, DWORD* pnLen) {
  if (!s || s->empty()) return FALSE;
  const DWORD nUnit = t.UnitSize();
  const DWORD nCount = static_cast<DWORD>(s->size());
  // The whole string must lie inside the text: no read past its end.
  if (!t.HasUnit(nPos) || (t.TextEnd() - nPos) / nUnit < nCount) return FALSE;
  if (t.IsWide()) {
    for (DWORD k = 0; k < nCount; ++k) {
      if (t.At(nPos + 2 * k) != static_cast<BYTE>((*s)[k])) return FALSE;
    }
  } else if (std::memcmp(t.Ptr(nPos), s->data(), nCount) != 0) {
    return FALSE;
  }
  if (pnLen) *pnLen = nCount * nUnit;
  return TRUE;
}

BOOL CMrSyntaxDef::IsPrefixAt(MrDefPrefix nWhich, const CMrSyntaxText& t, DWORD nPos, DWORD* pnLen) const {
  static constexpr MrDefString CMrSyntaxDef::*kStrings[] = {
      &CMrSyntaxDef::blockComment1Close, &CMrSyntaxDef::blockComment2Close, &CMrSyntaxDef::blockComment1Open,
      &CMrSyntaxDef::blockComment2Open,  &CMrSyntaxDef::lineComment1,       &CMrSyntaxDef::lineComment2,
      &CMrSyntaxDef::scriptOpen,         &CMrSyntaxDef::scriptClose,
  };
  static_assert(sizeof kStrings / sizeof kStrings[0] == MR_DEF_SCRIPT_CLOSE + 1, "one string per prefix");
  if (nWhich < 0 || nWhich > MR_DEF_SCRIPT_CLOSE) return FALSE;
  return MatchPrefix(this->*kStrings[nWhich], t, nPos, pnLen);
}

BOOL CMrSyntaxDef::IsDelimiter(const CMrSyntaxText& t, DWORD nPos) const {
  const UINT nUnit = t.At(nPos);
  if (nUnit == MR_SYNTAX_NO_UNIT) return TRUE;
  if (nUnit > 0xFF) return FALSE;
  if (nUnit == 0) return TRUE;
  return delimiters && std::strchr(delimiters->c_str(), static_cast<int>(nUnit)) != nullptr;
}

BOOL CMrSyntaxDef::FindWord(const MrDefString& list, const CMrSyntaxText& t, DWORD nStart,
                            DWORD nLast) const {
  if (!list || nLast < nStart || !t.HasUnit(nStart) || !t.HasUnit(nLast)) return FALSE;
  const DWORD nBytes = nLast - nStart + t.UnitSize();
  if (t.IsWide()) return FindWordWide(list->c_str(), t, nStart, nBytes / 2, bCaseSensitive);
  return FindWordFramed(list->c_str(), t, nStart, nBytes, bCaseSensitive);
}

BOOL CMrSyntaxDef::IsLineComment1Word(const CMrSyntaxText& t, DWORD nStart, DWORD nLast) const {
  return FindWord(lineComment1, t, nStart, nLast);
}
BOOL CMrSyntaxDef::IsLineComment2Word(const CMrSyntaxText& t, DWORD nStart, DWORD nLast) const {
  return FindWord(lineComment2, t, nStart, nLast);
}
BOOL CMrSyntaxDef::IsKeyword(int nList, const CMrSyntaxText& t, DWORD nStart, DWORD nLast) const {
  if (nList < 0 || nList >= MIREL_SYNTAX_KEYWORD_LISTS) return FALSE;
  return FindWord(keywords[nList], t, nStart, nLast);
}
