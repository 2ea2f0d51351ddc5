// The invalid part of a window's client area, kept as disjoint rectangles so
// that validating part of it is exact.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace mrw_user {

constexpr bool RectIsEmpty(const RECT& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

constexpr RECT IntersectRects(const RECT& a, const RECT& b) {
  RECT r = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
  if (RectIsEmpty(r)) r = {0, 0, 0, 0};
  return r;
}

class UpdateRegion {
 public:
  bool Empty() const { return rects_.empty(); }
  void Clear() { rects_.clear(); }

  // Adds the part of `r` not yet covered, so the pieces stay disjoint.
  void Add(const RECT& r) {
    if (RectIsEmpty(r)) return;
    std::vector<RECT> pieces{r};
    for (const RECT& existing : rects_) {
      std::vector<RECT> next;
      for (const RECT& piece : pieces) Cut(piece, existing, &next);
      pieces.swap(next);
      if (pieces.empty()) return;
    }
    rects_.insert(rects_.end(), pieces.begin(), pieces.end());
    Compact();
  }

  void Subtract(const RECT& r) {
    if (RectIsEmpty(r)) return;
    std::vector<RECT> next;
    for (const RECT& piece : rects_) Cut(piece, r, &next);
    rects_.swap(next);
    Compact();
  }

  void ClipTo(const RECT& bounds) {
    std::vector<RECT> next;
    for (const RECT& piece : rects_) {
      RECT c = IntersectRects(piece, bounds);
      if (!RectIsEmpty(c)) next.push_back(c);
    }
    rects_.swap(next);
  }

  RECT Bounds() const {
    if (rects_.empty()) return RECT{0, 0, 0, 0};
    RECT b = rects_.front();
    for (const RECT& r : rects_) {
      b.left = std::min(b.left, r.left);
      b.top = std::min(b.top, r.top);
      b.right = std::max(b.right, r.right);
      b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
  }

 private:
  // Appends the parts of `piece` outside `hole` (at most four bands).
  static void Cut(const RECT& piece, const RECT& hole, std::vector<RECT>* out) {
    RECT overlap = IntersectRects(piece, hole);
    if (RectIsEmpty(overlap)) {
      out->push_back(piece);
      return;
    }
    if (piece.top < overlap.top) out->push_back({piece.left, piece.top, piece.right, overlap.top});
    if (overlap.bottom < piece.bottom)
      out->push_back({piece.left, overlap.bottom, piece.right, piece.bottom});
    if (piece.left < overlap.left) out->push_back({piece.left, overlap.top, overlap.left, overlap.bottom});
    if (overlap.right < piece.right)
      out->push_back({overlap.right, overlap.top, piece.right, overlap.bottom});
  }

  // Repeated invalidation of many small areas must not grow the list without
  // bound: past a limit the pieces collapse into their bounding box, which
  // only means a little more gets repainted.
  void Compact() {
    constexpr size_t kMaxPieces = 64;
    if (rects_.size() > kMaxPieces) {
      RECT b = Bounds();
      rects_.assign(1, b);
    }
  }

  std::vector<RECT> rects_;
};

}  // namespace mrw_user
