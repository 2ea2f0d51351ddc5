// The range's bytes are never handed to the shell as they stand: in UTF-16
// or UTF-8 text they are not the ANSI string the shell reads.
#include "mirel/mrhyperlinkopen.h"

#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "mirel/cmireldoc.h"

namespace {

constexpr const char* kLinkPrefixes[] = {"https://", "http://", "mailto:", "ftp://"};

// ASCII letters compared without regard to case.
BOOL StartsWithPrefix(const std::string& text) {
  for (const char* pszPrefix : kLinkPrefixes) {
    const size_t n = std::strlen(pszPrefix);
    if (text.size() < n) continue;
    BOOL bMatch = TRUE;
    for (size_t i = 0; i < n && bMatch; ++i) {
      char c = text[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      bMatch = c == pszPrefix[i];
    }
    if (bMatch) return TRUE;
  }
  return FALSE;
}

}  // namespace

BOOL MrOpenHyperLink(CMirelDoc& doc, DWORD nStart, DWORD nEnd) {
  if (nEnd <= nStart || nEnd > static_cast<DWORD>(INT_MAX)) return FALSE;
  const int nFrom = static_cast<int>(nStart);
  const int nTo = static_cast<int>(nEnd);
  const int nSize = doc.GetTextA(nullptr, nFrom, nTo);
  if (nSize <= 0) return FALSE;
  std::string link(static_cast<size_t>(nSize), '\0');
  const int nCopied = doc.GetTextA(&link[0], nFrom, nTo);
  if (nCopied <= 0) return FALSE;
  link.resize(std::min(static_cast<size_t>(nCopied), link.find('\0')));
  if (!StartsWithPrefix(link)) return FALSE;
  // The shell's answer is not looked at: a link that does not open is the
  // user's to see.
  ShellExecuteA(nullptr, "open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return TRUE;
}
