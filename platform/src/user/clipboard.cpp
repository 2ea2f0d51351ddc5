// The clipboard: one per process here, shared by all windows.
//
// Text formats are synthesised on demand as on Windows: data placed as one of
// CF_TEXT, CF_OEMTEXT and CF_UNICODETEXT is also offered in the other two
// (converted with the ANSI or OEM code page) and with CF_LOCALE. The text
// format placed first is the source of every conversion. Synthesised blocks
// belong to the clipboard and live until it is emptied.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "user/user_state.h"

namespace mrw_user {

namespace {

struct ClipEntry {
  UINT format = 0;
  HANDLE data = nullptr;  // NULL: rendered on request by the owner
  bool synthesized = false;
};

struct Clipboard {
  bool open = false;
  HWND openWnd = nullptr;
  HWND owner = nullptr;
  std::vector<ClipEntry> entries;
  UINT textSource = 0;  // first text format placed, 0 when none
};

void FreeAll();

// The data still on the clipboard are released when the process ends, while
// global memory still exists.
void FreeAtExit() {
  FreeAll();
}

Clipboard& Board() {
  static Clipboard* board = new Clipboard();
  return *board;
}

constexpr bool IsTextFormat(UINT f) {
  return f == CF_TEXT || f == CF_OEMTEXT || f == CF_UNICODETEXT;
}

// Formats whose data are GDI objects rather than global memory.
constexpr bool IsGdiFormat(UINT f) {
  return f == CF_BITMAP || f == CF_PALETTE || (f >= CF_GDIOBJFIRST && f <= CF_GDIOBJLAST);
}

// Data the clipboard may not free itself: the owner frees private formats on
// WM_DESTROYCLIPBOARD, and enhanced metafiles have no deleter here.
constexpr bool IsUnownedFormat(UINT f) {
  return f == CF_ENHMETAFILE || (f >= CF_PRIVATEFIRST && f <= CF_PRIVATELAST);
}

void FreeData(UINT format, HANDLE data) {
  if (!data || IsUnownedFormat(format)) return;
  if (IsGdiFormat(format))
    DeleteObject(static_cast<HGDIOBJ>(data));
  else
    GlobalFree(data);
}

ClipEntry* Find(UINT format) {
  for (ClipEntry& e : Board().entries)
    if (e.format == format) return &e;
  return nullptr;
}

void DropSynthesized() {
  auto& entries = Board().entries;
  for (auto it = entries.begin(); it != entries.end();) {
    if (it->synthesized) {
      FreeData(it->format, it->data);
      it = entries.erase(it);
    } else {
      ++it;
    }
  }
}

void FreeAll() {
  Clipboard& b = Board();
  for (const ClipEntry& e : b.entries) FreeData(e.format, e.data);
  b.entries.clear();
  b.textSource = 0;
}

bool CanSynthesize(UINT format) {
  Clipboard& b = Board();
  if (!b.textSource) return false;
  return IsTextFormat(format) || format == CF_LOCALE;
}

// The locale that goes with text in the ANSI code page.
LCID LocaleForCodePage(UINT cp) {
  switch (cp) {
    case 932:
      return 0x0411;
    case 936:
      return 0x0804;
    case 949:
      return 0x0412;
    case 950:
      return 0x0404;
    case 1250:
      return 0x0405;
    case 1251:
      return 0x0419;
    case 1253:
      return 0x0408;
    case 1254:
      return 0x041F;
    case 1255:
      return 0x040D;
    case 1256:
      return 0x0401;
    case 1257:
      return 0x0425;
    case 1258:
      return 0x042A;
    default:
      return 0x0409;
  }
}

HGLOBAL CopyToGlobal(const void* bytes, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!h) return nullptr;
  void* p = GlobalLock(h);
  if (!p) {
    GlobalFree(h);
    return nullptr;
  }
  std::memcpy(p, bytes, size);
  GlobalUnlock(h);
  return h;
}

// The source text as UTF-16, up to its terminator or the end of its block.
bool SourceAsWide(std::u16string* out) {
  Clipboard& b = Board();
  ClipEntry* src = Find(b.textSource);
  if (src && !src->data && b.owner) {
    Send(b.owner, WM_RENDERFORMAT, b.textSource, 0);
    src = Find(b.textSource);
  }
  if (!src || !src->data) return false;
  SIZE_T size = GlobalSize(src->data);
  const void* p = GlobalLock(src->data);
  if (!p) return false;
  constexpr SIZE_T kMaxChars = 0x3FFFFFFF / 2;  // keeps every count an int
  if (b.textSource == CF_UNICODETEXT) {
    const auto* w = static_cast<const WCHAR*>(p);
    SIZE_T n = 0;
    SIZE_T limit = std::min<SIZE_T>(size / sizeof(WCHAR), kMaxChars);
    while (n < limit && w[n]) ++n;
    out->assign(reinterpret_cast<const char16_t*>(w), n);
  } else {
    const char* a = static_cast<const char*>(p);
    SIZE_T n = 0;
    SIZE_T limit = std::min<SIZE_T>(size, kMaxChars);
    while (n < limit && a[n]) ++n;
    UINT cp = b.textSource == CF_OEMTEXT ? CP_OEMCP : CP_ACP;
    out->clear();
    if (n > 0) {
      int wn = MultiByteToWideChar(cp, 0, a, static_cast<int>(n), nullptr, 0);
      if (wn > 0) {
        std::u16string wide(static_cast<size_t>(wn), u'\0');
        MultiByteToWideChar(cp, 0, a, static_cast<int>(n), reinterpret_cast<LPWSTR>(&wide[0]), wn);
        *out = wide;
      }
    }
  }
  GlobalUnlock(src->data);
  return true;
}

HANDLE Synthesize(UINT format) {
  HGLOBAL h = nullptr;
  if (format == CF_LOCALE) {
    LCID lcid = LocaleForCodePage(GetACP());
    h = CopyToGlobal(&lcid, sizeof(lcid));
  } else {
    std::u16string wide;
    if (!SourceAsWide(&wide)) return nullptr;
    if (format == CF_UNICODETEXT) {
      h = CopyToGlobal(wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
    } else {
      UINT cp = format == CF_OEMTEXT ? CP_OEMCP : CP_ACP;
      std::string narrow;
      if (!wide.empty()) {
        auto* w = reinterpret_cast<LPCWSTR>(wide.data());
        int n = WideCharToMultiByte(cp, 0, w, static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
        if (n > 0) {
          narrow.assign(static_cast<size_t>(n), '\0');
          WideCharToMultiByte(cp, 0, w, static_cast<int>(wide.size()), &narrow[0], n, nullptr, nullptr);
        }
      }
      h = CopyToGlobal(narrow.c_str(), narrow.size() + 1);
    }
  }
  if (h) Board().entries.push_back(ClipEntry{format, h, true});
  return h;
}

// Formats on offer: those placed, in order, then the synthesised ones.
std::vector<UINT> AvailableFormats() {
  std::vector<UINT> list;
  for (const ClipEntry& e : Board().entries)
    if (!e.synthesized) list.push_back(e.format);
  for (UINT f : {static_cast<UINT>(CF_LOCALE), static_cast<UINT>(CF_TEXT), static_cast<UINT>(CF_OEMTEXT),
                 static_cast<UINT>(CF_UNICODETEXT)})
    if (CanSynthesize(f) && std::find(list.begin(), list.end(), f) == list.end()) list.push_back(f);
  return list;
}

bool RequireOpen() {
  if (Board().open) return true;
  SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
  return false;
}

}  // namespace

void ClipboardWindowDestroyed(HWND hWnd) {
  Clipboard& b = Board();
  if (b.owner != hWnd) return;
  bool delayed = std::any_of(b.entries.begin(), b.entries.end(), [](const ClipEntry& e) { return !e.data; });
  if (delayed) Send(hWnd, WM_RENDERALLFORMATS, 0, 0);
  // Formats the owner never rendered are gone with it.
  b.entries.erase(
      std::remove_if(b.entries.begin(), b.entries.end(), [](const ClipEntry& e) { return !e.data; }),
      b.entries.end());
  if (b.textSource && !Find(b.textSource)) {
    DropSynthesized();
    b.textSource = 0;
    for (const ClipEntry& e : b.entries)
      if (IsTextFormat(e.format)) {
        b.textSource = e.format;
        break;
      }
  }
  if (b.owner == hWnd) b.owner = nullptr;
}

}  // namespace mrw_user

using namespace mrw_user;

BOOL WINAPI OpenClipboard(HWND hWndNewOwner) {
  Clipboard& b = Board();
  if (hWndNewOwner && !RequireWindow(hWndNewOwner)) return FALSE;
  if (b.open && b.openWnd != hWndNewOwner) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  b.open = true;
  b.openWnd = hWndNewOwner;
  return TRUE;
}

BOOL WINAPI CloseClipboard(void) {
  if (!RequireOpen()) return FALSE;
  Clipboard& b = Board();
  b.open = false;
  b.openWnd = nullptr;
  return TRUE;
}

BOOL WINAPI EmptyClipboard(void) {
  if (!RequireOpen()) return FALSE;
  Clipboard& b = Board();
  HWND oldOwner = b.owner;
  if (oldOwner && FindWindowPtr(oldOwner)) Send(oldOwner, WM_DESTROYCLIPBOARD, 0, 0);
  FreeAll();
  b.owner = b.openWnd;
  return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem) {
  if (!RequireOpen()) return nullptr;
  if (uFormat == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Clipboard& b = Board();
  static const bool releasedAtExit = std::atexit(FreeAtExit) == 0;
  (void)releasedAtExit;
  if (IsTextFormat(uFormat) || uFormat == CF_LOCALE) {
    // New text invalidates every conversion made from the old one.
    DropSynthesized();
    if (IsTextFormat(uFormat) && !b.textSource) b.textSource = uFormat;
  }
  if (ClipEntry* e = Find(uFormat)) {
    if (e->data != hMem) FreeData(uFormat, e->data);
    e->data = hMem;
    e->synthesized = false;
  } else {
    b.entries.push_back(ClipEntry{uFormat, hMem, false});
  }
  return hMem;
}

HANDLE WINAPI GetClipboardData(UINT uFormat) {
  if (!RequireOpen()) return nullptr;
  Clipboard& b = Board();
  if (ClipEntry* e = Find(uFormat)) {
    if (!e->data && b.owner) {
      Send(b.owner, WM_RENDERFORMAT, uFormat, 0);
      e = Find(uFormat);
    }
    return e ? e->data : nullptr;
  }
  if (CanSynthesize(uFormat)) return Synthesize(uFormat);
  return nullptr;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
  return Find(format) != nullptr || CanSynthesize(format);
}

int WINAPI CountClipboardFormats(void) {
  return static_cast<int>(AvailableFormats().size());
}

UINT WINAPI EnumClipboardFormats(UINT format) {
  if (!RequireOpen()) return 0;
  std::vector<UINT> list = AvailableFormats();
  SetLastError(ERROR_SUCCESS);
  if (format == 0) return list.empty() ? 0 : list.front();
  auto it = std::find(list.begin(), list.end(), format);
  if (it == list.end() || it + 1 == list.end()) return 0;
  return *(it + 1);
}

HWND WINAPI GetClipboardOwner(void) {
  HWND owner = Board().owner;
  return FindWindowPtr(owner) ? owner : nullptr;
}

HWND WINAPI GetOpenClipboardWindow(void) {
  Clipboard& b = Board();
  return b.open && FindWindowPtr(b.openWnd) ? b.openWnd : nullptr;
}

UINT WINAPI RegisterClipboardFormatA(LPCSTR lpszFormat) {
  if (!lpszFormat || !*lpszFormat) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return AddAtom(lpszFormat);
}

int WINAPI GetClipboardFormatNameA(UINT format, LPSTR lpszFormatName, int cchMaxCount) {
  if (!lpszFormatName || cchMaxCount <= 0 || format < 0xC000 || format > 0xFFFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string name = AtomName(static_cast<ATOM>(format));
  if (name.empty()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  size_t n = std::min(name.size(), static_cast<size_t>(cchMaxCount - 1));
  std::memcpy(lpszFormatName, name.data(), n);
  lpszFormatName[n] = '\0';
  return static_cast<int>(n);
}

void MrwTestResetClipboard(void) {
  Clipboard& b = Board();
  FreeAll();
  b.open = false;
  b.openWnd = nullptr;
  b.owner = nullptr;
}
