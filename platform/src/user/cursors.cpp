// Cursors and icons. Only the system's predefined ones exist (there are no
// resources in the stand-in); their handles are stable for the process.
#include "user/user_state.h"

namespace mrw_user {

namespace {

struct SystemImage {
  WORD id;
  int unused;
};

SystemImage kCursors[] = {{32512, 0}, {32513, 0}, {32514, 0}, {32515, 0}, {32516, 0}, {32640, 0},
                          {32641, 0}, {32642, 0}, {32643, 0}, {32644, 0}, {32645, 0}, {32646, 0},
                          {32648, 0}, {32649, 0}, {32650, 0}, {32651, 0}};
SystemImage kIcons[] = {{32512, 0}, {32513, 0}, {32514, 0}, {32515, 0}, {32516, 0}, {32517, 0}};

template <size_t N>
HICON LoadSystemImage(SystemImage (&table)[N], HINSTANCE hInstance, LPCSTR name) {
  if (!hInstance && IS_INTRESOURCE(name)) {
    WORD id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    for (SystemImage& image : table)
      if (image.id == id) return reinterpret_cast<HICON>(&image);
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

}  // namespace

}  // namespace mrw_user

using namespace mrw_user;

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  return LoadSystemImage(kCursors, hInstance, lpCursorName);
}

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
  return LoadSystemImage(kIcons, hInstance, lpIconName);
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
  UserState& s = State();
  HCURSOR old = s.cursor;
  s.cursor = hCursor;
  return old;
}

HCURSOR WINAPI GetCursor(void) {
  return State().cursor;
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *lpPoint = State().cursorPos;
  return TRUE;
}

void MrwTestSetCursorPos(int x, int y) {
  State().cursorPos = POINT{x, y};
}
