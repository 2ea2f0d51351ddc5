// The raster surface: pixel storage, rectangle sets for clipping, raster
// operations and brush sampling that every drawing function builds on.
#include "gdi_internal.h"

#include <algorithm>

namespace mrw_gdi {

std::shared_ptr<Surface> Surface::Make(int cx, int cy, bool mono, std::uint32_t fill) {
  if (cx < 0 || cy < 0 || static_cast<std::int64_t>(cx) * cy > kMaxSurfacePixels) return nullptr;
  auto surface = std::make_shared<Surface>();
  surface->width = cx;
  surface->height = cy;
  surface->mono = mono;
  surface->pixels.assign(static_cast<std::size_t>(cx) * static_cast<std::size_t>(cy), surface->Store(fill));
  return surface;
}

std::uint32_t Surface::Store(std::uint32_t pixel) const {
  pixel &= 0xFFFFFFu;
  if (!mono) return pixel;
  // One bit per pixel: the nearer of black and white by brightness.
  const std::uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return (r * 30 + g * 59 + b * 11) / 100 >= 128 ? kWhitePixel : kBlackPixel;
}

void Surface::Resize(int cx, int cy, std::uint32_t fill) {
  cx = std::max(cx, 0);
  cy = std::max(cy, 0);
  if (static_cast<std::int64_t>(cx) * cy > kMaxSurfacePixels) return;
  std::vector<std::uint32_t> resized(static_cast<std::size_t>(cx) * static_cast<std::size_t>(cy),
                                     Store(fill));
  const int keepX = std::min(cx, width), keepY = std::min(cy, height);
  for (int y = 0; y < keepY; ++y) {
    for (int x = 0; x < keepX; ++x) {
      resized[static_cast<std::size_t>(y) * static_cast<std::size_t>(cx) + static_cast<std::size_t>(x)] =
          At(x, y);
    }
  }
  pixels = std::move(resized);
  width = cx;
  height = cy;
  bottomUp = false;
}

bool IsEmptyRect(const RECT& rc) {
  return rc.right <= rc.left || rc.bottom <= rc.top;
}

RECT IntersectRects(const RECT& a, const RECT& b) {
  RECT out{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
  if (IsEmptyRect(out)) out = RECT{0, 0, 0, 0};
  return out;
}

RectSet::RectSet(const RECT& rc) {
  if (!IsEmptyRect(rc)) rects_.push_back(rc);
}

void RectSet::Intersect(const RECT& rc) {
  std::vector<RECT> kept;
  for (const RECT& r : rects_) {
    const RECT part = IntersectRects(r, rc);
    if (!IsEmptyRect(part)) kept.push_back(part);
  }
  rects_ = std::move(kept);
}

void RectSet::Intersect(const RectSet& other) {
  std::vector<RECT> kept;
  for (const RECT& a : rects_) {
    for (const RECT& b : other.rects_) {
      const RECT part = IntersectRects(a, b);
      if (!IsEmptyRect(part)) kept.push_back(part);
    }
  }
  rects_ = std::move(kept);
}

void RectSet::Subtract(const RECT& cut) {
  if (IsEmptyRect(cut)) return;
  std::vector<RECT> kept;
  for (const RECT& r : rects_) {
    const RECT hole = IntersectRects(r, cut);
    if (IsEmptyRect(hole)) {
      kept.push_back(r);
      continue;
    }
    // Up to four pieces around the hole: full-width bands above and below,
    // side pieces beside it.
    if (hole.top > r.top) kept.push_back(RECT{r.left, r.top, r.right, hole.top});
    if (hole.bottom < r.bottom) kept.push_back(RECT{r.left, hole.bottom, r.right, r.bottom});
    if (hole.left > r.left) kept.push_back(RECT{r.left, hole.top, hole.left, hole.bottom});
    if (hole.right < r.right) kept.push_back(RECT{hole.right, hole.top, r.right, hole.bottom});
  }
  rects_ = std::move(kept);
}

void RectSet::Offset(int dx, int dy) {
  for (RECT& r : rects_) {
    r.left = ClampCoordinate(static_cast<std::int64_t>(r.left) + dx);
    r.right = ClampCoordinate(static_cast<std::int64_t>(r.right) + dx);
    r.top = ClampCoordinate(static_cast<std::int64_t>(r.top) + dy);
    r.bottom = ClampCoordinate(static_cast<std::int64_t>(r.bottom) + dy);
  }
}

bool RectSet::Contains(int x, int y) const {
  for (const RECT& r : rects_) {
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  }
  return false;
}

RECT RectSet::Bounds() const {
  if (rects_.empty()) return RECT{0, 0, 0, 0};
  RECT out = rects_.front();
  for (const RECT& r : rects_) {
    out.left = std::min(out.left, r.left);
    out.top = std::min(out.top, r.top);
    out.right = std::max(out.right, r.right);
    out.bottom = std::max(out.bottom, r.bottom);
  }
  return out;
}

int RectSet::Complexity() const {
  if (rects_.empty()) return NULLREGION;
  return rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool RectsContain(const std::vector<RECT>& rects, int x, int y) {
  for (const RECT& r : rects) {
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  }
  return false;
}

void FillSolid(Surface& surface, const std::vector<RECT>& rects, const RECT& area, std::uint32_t pixel) {
  const std::uint32_t stored = surface.Store(pixel);
  for (const RECT& clip : rects) {
    const RECT part = IntersectRects(IntersectRects(clip, area), surface.Bounds());
    for (int y = part.top; y < part.bottom; ++y) {
      std::fill_n(surface.Row(y) + part.left, part.right - part.left, stored);
    }
  }
}

// The index byte of a ternary raster operation lists the result for every
// combination of pattern (bit 2), source (bit 1) and destination (bit 0);
// applying it bit-wise to whole colours gives the operation on 24 bits.
std::uint32_t ApplyRop3(DWORD rop, std::uint32_t pattern, std::uint32_t source, std::uint32_t dest) {
  const unsigned index = (rop >> 16) & 0xFF;
  switch (index) {  // the common ones directly
    case 0xCC:
      return source & 0xFFFFFF;
    case 0xF0:
      return pattern & 0xFFFFFF;
    case 0x00:
      return 0;
    case 0xFF:
      return 0xFFFFFF;
    default:
      break;
  }
  std::uint32_t result = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!(index & (1u << i))) continue;
    const std::uint32_t p = (i & 4) ? pattern : ~pattern;
    const std::uint32_t s = (i & 2) ? source : ~source;
    const std::uint32_t d = (i & 1) ? dest : ~dest;
    result |= p & s & d;
  }
  return result & 0xFFFFFF;
}

// Mix modes R2_BLACK (1) to R2_WHITE (16): code - 1 lists the result for
// pen (bit 1) and destination (bit 0).
std::uint32_t ApplyRop2(int rop2, std::uint32_t pen, std::uint32_t dest) {
  if (rop2 == R2_COPYPEN) return pen & 0xFFFFFF;
  const unsigned table = static_cast<unsigned>(std::clamp(rop2, R2_BLACK, R2_WHITE) - 1);
  std::uint32_t result = 0;
  for (unsigned i = 0; i < 4; ++i) {
    if (!(table & (1u << i))) continue;
    const std::uint32_t p = (i & 2) ? pen : ~pen;
    const std::uint32_t d = (i & 1) ? dest : ~dest;
    result |= p & d;
  }
  return result & 0xFFFFFF;
}

bool RopUsesSource(DWORD rop) {
  const unsigned index = (rop >> 16) & 0xFF;
  return (((index >> 2) ^ index) & 0x33) != 0;
}

bool RopUsesPattern(DWORD rop) {
  const unsigned index = (rop >> 16) & 0xFF;
  return (((index >> 4) ^ index) & 0x0F) != 0;
}

namespace {

bool HatchBit(ULONG_PTR hatch, int x, int y) {
  const bool horizontal = (y & 7) == 0;
  const bool vertical = (x & 7) == 0;
  const bool forward = ((x - y) & 7) == 0;  // top left to bottom right
  const bool backward = ((x + y) & 7) == 0;
  switch (hatch) {
    case HS_HORIZONTAL:
      return horizontal;
    case HS_VERTICAL:
      return vertical;
    case HS_FDIAGONAL:
      return forward;
    case HS_BDIAGONAL:
      return backward;
    case HS_CROSS:
      return horizontal || vertical;
    default:
      return forward || backward;
  }
}

}  // namespace

std::optional<std::uint32_t> BrushPixel(const BrushObject& brush, const DcState& state, int x, int y) {
  switch (brush.style) {
    case BS_SOLID:
      return PixelFromColor(brush.color);
    case BS_HATCHED:
      if (HatchBit(brush.hatch, x, y)) return PixelFromColor(brush.color);
      if (state.bkMode == OPAQUE) return PixelFromColor(state.bkColor);
      return std::nullopt;
    case BS_PATTERN: {
      if (!brush.pattern || brush.pattern->width <= 0 || brush.pattern->height <= 0) return std::nullopt;
      const Surface& pattern = *brush.pattern;
      const int px = ((x % pattern.width) + pattern.width) % pattern.width;
      const int py = ((y % pattern.height) + pattern.height) % pattern.height;
      const std::uint32_t pixel = pattern.At(px, py);
      // A monochrome pattern takes the DC's colours: black bits the text
      // colour, white bits the background colour.
      if (pattern.mono) return PixelFromColor(pixel ? state.bkColor : state.textColor);
      return pixel;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace mrw_gdi
