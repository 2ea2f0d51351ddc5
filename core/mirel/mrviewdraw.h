// Drawing helpers both views paint with: clamping document arithmetic to a
// GDI coordinate, filling rectangles, a pen held for a scope and a line.
#pragma once

#include <windows.h>

#include <algorithm>
#include <climits>

namespace MrViewDraw {

inline int ClampToInt(long long n) {
  return static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));
}

inline void FillSolid(HDC hdc, int l, int t, int r, int b, COLORREF cr) {
  if (r <= l || b <= t) return;
  HBRUSH hBrush = CreateSolidBrush(cr);
  if (hBrush == nullptr) return;
  const RECT rc{l, t, r, b};
  FillRect(hdc, &rc, hBrush);
  DeleteObject(hBrush);
}

// Fills with one of the edit window's brushes, or a solid colour when the
// window has none.
inline void FillWith(HDC hdc, int l, int t, int r, int b, HBRUSH hBrush, COLORREF crFallback) {
  if (r <= l || b <= t) return;
  if (hBrush == nullptr) {
    FillSolid(hdc, l, t, r, b, crFallback);
    return;
  }
  const RECT rc{l, t, r, b};
  FillRect(hdc, &rc, hBrush);
}

// A pen selected for the life of the object (solid and 1 pixel wide unless
// given).
class PenScope {
 public:
  PenScope(HDC hdc, int nStyle, int nWidth, COLORREF cr) : m_hdc(hdc), m_hPen(CreatePen(nStyle, nWidth, cr)) {
    if (m_hPen != nullptr) m_hOld = SelectObject(m_hdc, m_hPen);
  }
  PenScope(HDC hdc, COLORREF cr) : PenScope(hdc, PS_SOLID, 1, cr) {}
  ~PenScope() {
    if (m_hOld != nullptr) SelectObject(m_hdc, m_hOld);
    if (m_hPen != nullptr) DeleteObject(m_hPen);
  }
  PenScope(const PenScope&) = delete;
  PenScope& operator=(const PenScope&) = delete;

 private:
  HDC m_hdc;
  HPEN m_hPen;
  HGDIOBJ m_hOld = nullptr;
};

inline void Line(HDC hdc, int x1, int y1, int x2, int y2) {
  MoveToEx(hdc, x1, y1, nullptr);
  LineTo(hdc, x2, y2);
}

}  // namespace MrViewDraw
