// Popup menus. A menu is a list of items kept until DestroyMenu; a handle is
// valid only while its menu lives. TrackPopupMenu shows nothing: it answers
// with the command a test chose beforehand, as a user's choice would.
#include <hooks_user_menu.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct MenuItem {
  UINT_PTR id = 0;
  UINT flags = 0;
  std::string text;
};

struct Menu {
  std::vector<MenuItem> items;
};

struct MenuState {
  std::vector<std::unique_ptr<Menu>> menus;
  UINT pendingChoice = 0;
  int trackCount = 0;
  std::vector<MRW_MENU_ITEM> lastItems;
  POINT lastPos{0, 0};
  UINT lastFlags = 0;
  HWND lastOwner = nullptr;
};

MenuState& Menus() {
  static MenuState state;
  return state;
}

Menu* FindMenu(HMENU hMenu) {
  for (auto& m : Menus().menus)
    if (reinterpret_cast<HMENU>(m.get()) == hMenu) return m.get();
  return nullptr;
}

// The item a call names, by command or by position.
MenuItem* FindItem(HMENU hMenu, UINT uId, UINT uFlags) {
  Menu* m = FindMenu(hMenu);
  if (!m) return nullptr;
  if (uFlags & MF_BYPOSITION) return uId < m->items.size() ? &m->items[uId] : nullptr;
  for (MenuItem& item : m->items)
    if (!(item.flags & (MF_SEPARATOR | MF_POPUP)) && item.id == uId) return &item;
  return nullptr;
}

}  // namespace

HMENU WINAPI CreatePopupMenu(void) {
  Menus().menus.push_back(std::make_unique<Menu>());
  return reinterpret_cast<HMENU>(Menus().menus.back().get());
}

BOOL WINAPI DestroyMenu(HMENU hMenu) {
  auto& menus = Menus().menus;
  auto it = std::find_if(menus.begin(), menus.end(),
                         [hMenu](const auto& m) { return reinterpret_cast<HMENU>(m.get()) == hMenu; });
  if (it == menus.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  menus.erase(it);
  return TRUE;
}

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
  Menu* m = FindMenu(hMenu);
  if (!m) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  MenuItem item;
  item.id = (uFlags & MF_SEPARATOR) ? 0 : uIDNewItem;
  item.flags = uFlags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR);
  if (!(uFlags & MF_SEPARATOR) && lpNewItem) item.text = lpNewItem;
  m->items.push_back(std::move(item));
  return TRUE;
}

BOOL WINAPI EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable) {
  MenuItem* item = FindItem(hMenu, uIDEnableItem, uEnable);
  if (!item) return -1;
  const UINT previous = item->flags & (MF_GRAYED | MF_DISABLED);
  item->flags =
      (item->flags & ~static_cast<UINT>(MF_GRAYED | MF_DISABLED)) | (uEnable & (MF_GRAYED | MF_DISABLED));
  return static_cast<BOOL>(previous);
}

DWORD WINAPI CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck) {
  MenuItem* item = FindItem(hMenu, uIDCheckItem, uCheck);
  if (!item) return static_cast<DWORD>(-1);
  const DWORD previous = item->flags & MF_CHECKED;
  item->flags = (item->flags & ~static_cast<UINT>(MF_CHECKED)) | (uCheck & MF_CHECKED);
  return previous;
}

UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
  const MenuItem* item = FindItem(hMenu, uId, uFlags);
  return item ? item->flags : static_cast<UINT>(-1);
}

int WINAPI GetMenuItemCount(HMENU hMenu) {
  const Menu* m = FindMenu(hMenu);
  if (!m) {
    SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  return static_cast<int>(m->items.size());
}

UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos) {
  const Menu* m = FindMenu(hMenu);
  if (!m || nPos < 0 || static_cast<size_t>(nPos) >= m->items.size()) return static_cast<UINT>(-1);
  const MenuItem& item = m->items[static_cast<size_t>(nPos)];
  if (item.flags & MF_POPUP) return static_cast<UINT>(-1);
  return static_cast<UINT>(item.id);
}

int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
  const MenuItem* item = FindItem(hMenu, uIDItem, flags);
  if (!item) return 0;
  const int length = static_cast<int>(item->text.size());
  if (!lpString || cchMax <= 0) return length;
  const int n = std::min(length, cchMax - 1);
  std::memcpy(lpString, item->text.data(), static_cast<size_t>(n));
  lpString[n] = '\0';
  return n;
}

BOOL WINAPI TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int /*nReserved*/, HWND hWnd,
                           const RECT* /*prcRect*/) {
  MenuState& s = Menus();
  const Menu* m = FindMenu(hMenu);
  const UINT choice = s.pendingChoice;
  s.pendingChoice = 0;
  if (!m || !IsWindow(hWnd)) {
    SetLastError(m ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  ++s.trackCount;
  s.lastItems.clear();
  for (const MenuItem& item : m->items) {
    MRW_MENU_ITEM shown{};
    shown.nID = static_cast<UINT>(item.id);
    shown.uFlags = item.flags;
    std::strncpy(shown.szText, item.text.c_str(), sizeof shown.szText - 1);
    s.lastItems.push_back(shown);
  }
  s.lastPos = POINT{x, y};
  s.lastFlags = uFlags;
  s.lastOwner = hWnd;
  const MenuItem* chosen = choice != 0 ? FindItem(hMenu, choice, MF_BYCOMMAND) : nullptr;
  if (!chosen || (chosen->flags & (MF_GRAYED | MF_DISABLED))) return (uFlags & TPM_RETURNCMD) ? 0 : TRUE;
  if (uFlags & TPM_RETURNCMD) return static_cast<BOOL>(choice);
  // The owner gets the command after the menu has closed, as from a menu loop.
  if (!(uFlags & TPM_NONOTIFY)) PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(choice, 0), 0);
  return TRUE;
}

void MrwTestChooseMenuCommand(UINT nID) {
  Menus().pendingChoice = nID;
}

int MrwTestMenuTrackCount(void) {
  return Menus().trackCount;
}

int MrwTestLastMenuItemCount(void) {
  return static_cast<int>(Menus().lastItems.size());
}

BOOL MrwTestLastMenuItem(int nIndex, MRW_MENU_ITEM* pItem) {
  const auto& items = Menus().lastItems;
  if (!pItem || nIndex < 0 || static_cast<size_t>(nIndex) >= items.size()) return FALSE;
  *pItem = items[static_cast<size_t>(nIndex)];
  return TRUE;
}

POINT MrwTestLastMenuPos(void) {
  return Menus().lastPos;
}

UINT MrwTestLastMenuFlags(void) {
  return Menus().lastFlags;
}

HWND MrwTestLastMenuOwner(void) {
  return Menus().lastOwner;
}

int MrwTestLiveMenuCount(void) {
  return static_cast<int>(Menus().menus.size());
}

void MrwTestResetMenus(void) {
  MenuState& s = Menus();
  s.menus.clear();
  s.pendingChoice = 0;
  s.trackCount = 0;
  s.lastItems.clear();
  s.lastPos = POINT{0, 0};
  s.lastFlags = 0;
  s.lastOwner = nullptr;
}
