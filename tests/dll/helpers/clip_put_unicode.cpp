// Helper program of the clipboard tests: from its own process, puts one
// text on the clipboard in CF_UNICODETEXT only and exits (0 on success).
#include <windows.h>

#include <cstring>

// Hangul, a character outside the basic plane, CR LF and a lone CR.
static const WCHAR kText[] = {0xD55C, 0xAE00, ' ', 'a', 0xD83D, 0xDE00, '\r', '\n', 'b', '\r', 'c', 0};

int main() {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, sizeof(kText));
  if (h == nullptr) return 1;
  std::memcpy(GlobalLock(h), kText, sizeof(kText));
  GlobalUnlock(h);
  // Another window of another process may hold the clipboard for a moment.
  for (int i = 0; i < 50 && !OpenClipboard(nullptr); ++i) Sleep(20);
  if (!EmptyClipboard()) return 2;
  if (SetClipboardData(CF_UNICODETEXT, h) == nullptr) return 3;
  CloseClipboard();
  return 0;
}
