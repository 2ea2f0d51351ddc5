// Rectangle helpers. Results that do not fit in 32 bits are clamped rather
// than wrapped.
#include "user/user_state.h"

using mrw_user::ClampLong;
using mrw_user::RectIsEmpty;

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
  if (!lprc) return FALSE;
  *lprc = RECT{xLeft, yTop, xRight, yBottom};
  return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT lprc) {
  return SetRect(lprc, 0, 0, 0, 0);
}

BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT* lprcSrc) {
  if (!lprcDst || !lprcSrc) return FALSE;
  *lprcDst = *lprcSrc;
  return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  *lprc = mrw_user::OffsetRectClamped(*lprc, dx, dy);
  return TRUE;
}

BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  *lprc = RECT{ClampLong(static_cast<long long>(lprc->left) - dx),
               ClampLong(static_cast<long long>(lprc->top) - dy),
               ClampLong(static_cast<long long>(lprc->right) + dx),
               ClampLong(static_cast<long long>(lprc->bottom) + dy)};
  return TRUE;
}

BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
  if (!lprcDst) return FALSE;
  if (!lprcSrc1 || !lprcSrc2) {
    *lprcDst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *lprcDst = mrw_user::IntersectRects(*lprcSrc1, *lprcSrc2);
  return !RectIsEmpty(*lprcDst);
}

BOOL WINAPI UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
  if (!lprcDst || !lprcSrc1 || !lprcSrc2) return FALSE;
  // An empty rectangle adds nothing to the union.
  bool empty1 = RectIsEmpty(*lprcSrc1);
  bool empty2 = RectIsEmpty(*lprcSrc2);
  if (empty1 && empty2) {
    *lprcDst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  if (empty1 || empty2) {
    *lprcDst = empty1 ? *lprcSrc2 : *lprcSrc1;
    return TRUE;
  }
  *lprcDst = RECT{std::min(lprcSrc1->left, lprcSrc2->left), std::min(lprcSrc1->top, lprcSrc2->top),
                  std::max(lprcSrc1->right, lprcSrc2->right), std::max(lprcSrc1->bottom, lprcSrc2->bottom)};
  return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* lprc) {
  return !lprc || RectIsEmpty(*lprc);
}

BOOL WINAPI EqualRect(const RECT* lprc1, const RECT* lprc2) {
  if (!lprc1 || !lprc2) return FALSE;
  return lprc1->left == lprc2->left && lprc1->top == lprc2->top && lprc1->right == lprc2->right &&
         lprc1->bottom == lprc2->bottom;
}

BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
  if (!lprc) return FALSE;
  return pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}
