// Cursors built from bit planes, and moving the pointer. A built cursor keeps
// copies of its planes until DestroyCursor; the stand-in draws no pointer.
#include <hooks_user_menu.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "user/user_state.h"

namespace {

// Larger cursors than this are refused (Windows' own limit is far lower).
constexpr int kMaxCursorSide = 256;

struct BuiltCursor {
  POINT hotSpot{0, 0};
  SIZE size{0, 0};
  std::vector<BYTE> andPlane;
  std::vector<BYTE> xorPlane;
};

struct CursorState {
  std::vector<std::unique_ptr<BuiltCursor>> cursors;
  int createCount = 0;
};

CursorState& Cursors() {
  static CursorState state;
  return state;
}

BuiltCursor* FindCursor(HCURSOR hCursor) {
  for (auto& c : Cursors().cursors)
    if (reinterpret_cast<HCURSOR>(c.get()) == hCursor) return c.get();
  return nullptr;
}

}  // namespace

HCURSOR WINAPI CreateCursor(HINSTANCE /*hInst*/, int xHotSpot, int yHotSpot, int nWidth, int nHeight,
                            const VOID* pvANDPlane, const VOID* pvXORPlane) {
  if (!pvANDPlane || !pvXORPlane || nWidth <= 0 || nHeight <= 0 || nWidth > kMaxCursorSide ||
      nHeight > kMaxCursorSide) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // Each row is padded to a whole 16-bit word.
  const size_t rowBytes = static_cast<size_t>((nWidth + 15) / 16) * 2;
  const size_t planeBytes = rowBytes * static_cast<size_t>(nHeight);
  auto cursor = std::make_unique<BuiltCursor>();
  cursor->hotSpot = POINT{xHotSpot, yHotSpot};
  cursor->size = SIZE{nWidth, nHeight};
  const BYTE* pAnd = static_cast<const BYTE*>(pvANDPlane);
  const BYTE* pXor = static_cast<const BYTE*>(pvXORPlane);
  cursor->andPlane.assign(pAnd, pAnd + planeBytes);
  cursor->xorPlane.assign(pXor, pXor + planeBytes);
  CursorState& s = Cursors();
  ++s.createCount;
  s.cursors.push_back(std::move(cursor));
  return reinterpret_cast<HCURSOR>(s.cursors.back().get());
}

BOOL WINAPI DestroyCursor(HCURSOR hCursor) {
  auto& cursors = Cursors().cursors;
  auto it = std::find_if(cursors.begin(), cursors.end(),
                         [hCursor](const auto& c) { return reinterpret_cast<HCURSOR>(c.get()) == hCursor; });
  if (it == cursors.end()) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return FALSE;
  }
  if (GetCursor() == hCursor) SetCursor(nullptr);
  cursors.erase(it);
  return TRUE;
}

BOOL WINAPI SetCursorPos(int X, int Y) {
  mrw_user::State().cursorPos = POINT{X, Y};
  return TRUE;
}

int MrwTestLiveCursorCount(void) {
  return static_cast<int>(Cursors().cursors.size());
}

int MrwTestCreateCursorCount(void) {
  return Cursors().createCount;
}

BOOL MrwTestCursorInfo(HCURSOR hCursor, POINT* pHotSpot, SIZE* pSize, BYTE* pAnd, BYTE* pXor, int nCapacity) {
  const BuiltCursor* c = FindCursor(hCursor);
  if (!c) return FALSE;
  if (pHotSpot) *pHotSpot = c->hotSpot;
  if (pSize) *pSize = c->size;
  const size_t n = std::min(c->andPlane.size(), static_cast<size_t>(std::max(nCapacity, 0)));
  if (pAnd) std::memcpy(pAnd, c->andPlane.data(), n);
  if (pXor) std::memcpy(pXor, c->xorPlane.data(), n);
  return TRUE;
}
