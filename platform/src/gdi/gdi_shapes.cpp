// Shapes and pixels: rectangle fills and frames, lines with pen styles and
// mix modes, polylines, polygons, rectangles, rounded rectangles, ellipses
// and single pixels.
#include "gdi_internal.h"
#include "internal.h"

#include <algorithm>
#include <cmath>

namespace mrw_gdi {
namespace {

constexpr int kMaxSystemColorBrush = 31;  // (HBRUSH)(COLOR_x + 1), COLOR_x up to 30

// A system colour brush ((HBRUSH)(COLOR_x + 1)) is a small number no
// handle ever has; its colour is asked for before the lock is taken, so the
// graphics lock is never held while calling into the window manager.
std::optional<COLORREF> SystemBrushColor(HBRUSH hbr) {
  const auto value = reinterpret_cast<std::uintptr_t>(hbr);
  if (value < 1 || value > kMaxSystemColorBrush) return std::nullopt;
  return GetSysColor(static_cast<int>(value - 1)) & 0xFFFFFF;
}

// The brush a fill names: an object, or a system colour.
std::optional<BrushObject> ResolveBrush(HBRUSH hbr, std::optional<COLORREF> systemColor) {
  if (const BrushObject* brush = FindBrush(hbr)) return *brush;
  if (!systemColor) return std::nullopt;
  BrushObject brush;
  brush.style = BS_SOLID;
  brush.color = *systemColor;
  return brush;
}

void FillWithBrush(Surface& surface, const std::vector<RECT>& rects, const RECT& area,
                   const BrushObject& brush, const DcState& state) {
  if (brush.style == BS_SOLID) {
    FillSolid(surface, rects, area, PixelFromColor(brush.color));
    return;
  }
  PaintArea(surface, rects, area,
            [&](int x, int y, std::uint32_t) { return BrushPixel(brush, state, x, y); });
}

RECT NormalizeRect(const RECT& rc) {
  return RECT{std::min(rc.left, rc.right), std::min(rc.top, rc.bottom), std::max(rc.left, rc.right),
              std::max(rc.top, rc.bottom)};
}

// FillRect and InvertRect are pattern blits of the rectangle's corner and
// extents, so reversed corners cover what a blit with negative extents does.
RECT BlitArea(const DcState& state, const RECT& rc) {
  const RECT device = ToDevice(state, rc);
  return ExtentRect(device.left, device.top, static_cast<std::int64_t>(device.right) - device.left,
                    static_cast<std::int64_t>(device.bottom) - device.top);
}

RECT UnionBounds(const std::vector<RECT>& rects) {
  if (rects.empty()) return RECT{0, 0, 0, 0};
  RECT box = rects.front();
  for (const RECT& rc : rects) {
    box = RECT{std::min(box.left, rc.left), std::min(box.top, rc.top), std::max(box.right, rc.right),
               std::max(box.bottom, rc.bottom)};
  }
  return box;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// On/off run lengths of the cosmetic pen styles, starting with a dash.
const std::vector<int>& StylePattern(UINT style) {
  static const std::vector<int> kSolid;
  static const std::vector<int> kDash{18, 6};
  static const std::vector<int> kDot{3, 3};
  static const std::vector<int> kDashDot{9, 6, 3, 6};
  static const std::vector<int> kDashDotDot{9, 3, 3, 3, 3, 3};
  switch (style) {
    case PS_DASH:
      return kDash;
    case PS_DOT:
      return kDot;
    case PS_DASHDOT:
      return kDashDot;
    case PS_DASHDOTDOT:
      return kDashDotDot;
    default:
      return kSolid;
  }
}

bool StyleIsOn(const std::vector<int>& pattern, std::int64_t position) {
  if (pattern.empty()) return true;
  int period = 0;
  for (int run : pattern) period += run;
  std::int64_t offset = position % period;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (offset < pattern[i]) return i % 2 == 0;
    offset -= pattern[i];
  }
  return true;
}

// Draws the pixels of a line from `a` to `b` (device coordinates), the end
// point excluded as on Windows. Each step along the major axis paints a
// span of the pen's width across it, so no pixel is mixed twice. `styleStep`
// carries the dash position from one segment to the next.
void DrawSegment(DcObject& dc, POINT a, POINT b, std::int64_t& styleStep) {
  Surface* surface = SurfaceOf(dc);
  const PenObject* pen = FindPen(dc.state.pen);
  if (!surface || !pen || pen->style == PS_NULL) return;
  const DcState& state = dc.state;
  const int width = std::max(1, pen->width);
  // Styles apply to one-pixel pens only; wider pens draw solid.
  const std::vector<int>& pattern = width == 1 ? StylePattern(pen->style) : StylePattern(PS_SOLID);
  const std::int64_t dx = static_cast<std::int64_t>(b.x) - a.x, dy = static_cast<std::int64_t>(b.y) - a.y;
  const std::int64_t steps = std::max(std::llabs(dx), std::llabs(dy));
  if (steps == 0) return;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const std::vector<RECT> rects = PaintableRects(dc);
  const RECT bounds = UnionBounds(rects);
  if (IsEmptyRect(bounds)) {
    styleStep += steps;
    return;
  }
  const std::uint32_t ink = PixelFromColor(pen->color);
  const std::uint32_t gap = PixelFromColor(state.bkColor);
  const int half = width / 2;
  // Only the steps whose major coordinate can reach the visible area.
  const std::int64_t majorStart = xMajor ? a.x : a.y;
  const std::int64_t majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const std::int64_t lo = (xMajor ? bounds.left : bounds.top) - width;
  const std::int64_t hi = (xMajor ? bounds.right : bounds.bottom) + width;
  std::int64_t first = 0, last = steps - 1;
  if (majorSign > 0) {
    first = std::max<std::int64_t>(first, lo - majorStart);
    last = std::min<std::int64_t>(last, hi - majorStart);
  } else {
    first = std::max<std::int64_t>(first, majorStart - hi);
    last = std::min<std::int64_t>(last, majorStart - lo);
  }
  const std::int64_t minorStart = xMajor ? a.y : a.x;
  const std::int64_t minorDelta = xMajor ? dy : dx;
  for (std::int64_t i = first; i <= last; ++i) {
    const bool on = StyleIsOn(pattern, styleStep + i);
    if (!on && state.bkMode != OPAQUE) continue;
    const std::uint32_t color = on ? ink : gap;
    const std::int64_t major = majorStart + majorSign * i;
    const std::int64_t minor = minorStart + FloorDiv(2 * i * minorDelta + steps, 2 * steps);
    for (int k = 0; k < width; ++k) {
      const std::int64_t across = minor - half + k;
      const int x = static_cast<int>(xMajor ? major : across);
      const int y = static_cast<int>(xMajor ? across : major);
      if (!RectsContain(rects, x, y)) continue;
      std::uint32_t& pixel = surface->At(x, y);
      pixel = surface->Store(ApplyRop2(state.rop2, color, pixel));
    }
  }
  styleStep += steps;
}

// Paints a closed shape given by `inside(x, y, inset)`: the band between
// the shape and the shape shrunk by the pen width with the pen, the rest
// with the brush, both through the DC's mix mode.
template <typename Inside>
void PaintShape(DcObject& dc, const RECT& box, int penWidth, Inside&& inside) {
  Surface* surface = SurfaceOf(dc);
  if (!surface) return;
  const DcState& state = dc.state;
  const PenObject* pen = FindPen(state.pen);
  const BrushObject* brush = FindBrush(state.brush);
  const std::uint32_t ink = pen ? PixelFromColor(pen->color) : 0;
  PaintArea(*surface, PaintableRects(dc), box,
            [&](int x, int y, std::uint32_t dest) -> std::optional<std::uint32_t> {
              if (!inside(x, y, 0)) return std::nullopt;
              if (penWidth > 0 && !inside(x, y, penWidth)) return ApplyRop2(state.rop2, ink, dest);
              if (!brush) return std::nullopt;
              const std::optional<std::uint32_t> fill = BrushPixel(*brush, state, x, y);
              if (!fill) return std::nullopt;
              return ApplyRop2(state.rop2, *fill, dest);
            });
}

// Pen width for outlines; 0 for the null pen.
int OutlineWidth(DcObject& dc) {
  const PenObject* pen = FindPen(dc.state.pen);
  if (!pen || pen->style == PS_NULL) return 0;
  return std::max(1, pen->width);
}

// The pixels a bounding rectangle covers, right and bottom edges excluded;
// without an outline the shape is one pixel smaller still, as on Windows.
RECT ShapeBox(DcObject& dc, int left, int top, int right, int bottom, int penWidth) {
  RECT box = NormalizeRect(ToDevice(dc.state, RECT{left, top, right, bottom}));
  if (penWidth == 0) {
    box.right = std::max(box.left, box.right - 1);
    box.bottom = std::max(box.top, box.bottom - 1);
  }
  return box;
}

MrwDrawOp ShapeOp(MrwDrawKind kind, int left, int top, int right, int bottom) {
  MrwDrawOp op;
  op.kind = kind;
  op.rect = RECT{left, top, right, bottom};
  return op;
}

}  // namespace
}  // namespace mrw_gdi

using namespace mrw_gdi;

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  if (!lprc) return 0;
  const std::optional<COLORREF> systemColor = SystemBrushColor(hbr);
  Lock lock(Mutex());
  DcObject* dc = FindDc(hDC);
  const std::optional<BrushObject> brush = ResolveBrush(hbr, systemColor);
  if (!dc || !brush) return 0;
  MrwDrawOp op;
  op.kind = MrwDrawKind::kFillRect;
  op.rect = *lprc;
  op.brushColor = brush->color;
  op.brushNull = brush->style == BS_NULL;
  op.rop = PATCOPY;
  Record(*dc, op);
  if (Surface* surface = SurfaceOf(*dc)) {
    FillWithBrush(*surface, PaintableRects(*dc), BlitArea(dc->state, *lprc), *brush, dc->state);
  }
  return 1;
}

int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  if (!lprc) return 0;
  const std::optional<COLORREF> systemColor = SystemBrushColor(hbr);
  Lock lock(Mutex());
  DcObject* dc = FindDc(hDC);
  const std::optional<BrushObject> brush = ResolveBrush(hbr, systemColor);
  if (!dc || !brush) return 0;
  MrwDrawOp op;
  op.kind = MrwDrawKind::kFrameRect;
  op.rect = *lprc;
  op.brushColor = brush->color;
  op.brushNull = brush->style == BS_NULL;
  Record(*dc, op);
  const RECT rc = ToDevice(dc->state, *lprc);
  Surface* surface = SurfaceOf(*dc);
  if (!surface || IsEmptyRect(rc)) return 1;
  const std::vector<RECT> rects = PaintableRects(*dc);
  // Top and bottom rows, then the side columns between them.
  FillWithBrush(*surface, rects, RECT{rc.left, rc.top, rc.right, rc.top + 1}, *brush, dc->state);
  if (rc.bottom - rc.top > 1) {
    FillWithBrush(*surface, rects, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom}, *brush, dc->state);
  }
  FillWithBrush(*surface, rects, RECT{rc.left, rc.top + 1, rc.left + 1, rc.bottom - 1}, *brush, dc->state);
  if (rc.right - rc.left > 1) {
    FillWithBrush(*surface, rects, RECT{rc.right - 1, rc.top + 1, rc.right, rc.bottom - 1}, *brush,
                  dc->state);
  }
  return 1;
}

BOOL WINAPI InvertRect(HDC hDC, const RECT* lprc) {
  if (!lprc) return FALSE;
  Lock lock(Mutex());
  DcObject* dc = FindDc(hDC);
  if (!dc) return FALSE;
  MrwDrawOp op;
  op.kind = MrwDrawKind::kInvertRect;
  op.rect = *lprc;
  op.rop = DSTINVERT;
  Record(*dc, op);
  if (Surface* surface = SurfaceOf(*dc)) {
    PaintArea(*surface, PaintableRects(*dc), BlitArea(dc->state, *lprc),
              [](int, int, std::uint32_t dest) { return std::optional<std::uint32_t>(~dest & 0xFFFFFF); });
  }
  return TRUE;
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return FALSE;
  if (lppt) *lppt = dc->state.current;
  dc->state.current = POINT{x, y};
  return TRUE;
}

BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc || !lppt) return FALSE;
  *lppt = dc->state.current;
  return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return FALSE;
  const POINT from = dc->state.current;
  MrwDrawOp op;
  op.kind = MrwDrawKind::kLine;
  op.points = {from, POINT{x, y}};
  op.rop = static_cast<DWORD>(dc->state.rop2);
  Record(*dc, op);
  std::int64_t styleStep = 0;
  DrawSegment(*dc, ToDevice(dc->state, from.x, from.y), ToDevice(dc->state, x, y), styleStep);
  dc->state.current = POINT{x, y};
  return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt) {
  if (!apt || cpt < 2) return FALSE;
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return FALSE;
  MrwDrawOp op;
  op.kind = MrwDrawKind::kPolyline;
  op.points.assign(apt, apt + cpt);
  op.rop = static_cast<DWORD>(dc->state.rop2);
  Record(*dc, op);
  std::int64_t styleStep = 0;
  for (int i = 0; i + 1 < cpt; ++i) {
    DrawSegment(*dc, ToDevice(dc->state, apt[i].x, apt[i].y), ToDevice(dc->state, apt[i + 1].x, apt[i + 1].y),
                styleStep);
  }
  return TRUE;
}

BOOL WINAPI Polygon(HDC hdc, const POINT* apt, int cpt) {
  if (!apt || cpt < 2) return FALSE;
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return FALSE;
  MrwDrawOp op;
  op.kind = MrwDrawKind::kPolygon;
  op.points.assign(apt, apt + cpt);
  op.rop = static_cast<DWORD>(dc->state.rop2);
  Record(*dc, op);
  std::vector<POINT> device;
  device.reserve(static_cast<std::size_t>(cpt));
  for (int i = 0; i < cpt; ++i) device.push_back(ToDevice(dc->state, apt[i].x, apt[i].y));

  // Interior: pixels whose centres lie inside, alternate (even-odd) rule.
  Surface* surface = SurfaceOf(*dc);
  const BrushObject* brush = FindBrush(dc->state.brush);
  if (surface && brush) {
    const std::vector<RECT> rects = PaintableRects(*dc);
    RECT box = UnionBounds(rects);
    LONG minY = device[0].y, maxY = device[0].y;
    for (const POINT& p : device) {
      minY = std::min(minY, p.y);
      maxY = std::max(maxY, p.y);
    }
    box.top = std::max(box.top, minY);
    box.bottom = std::min(box.bottom, maxY);
    std::vector<double> crossings;
    for (int y = box.top; y < box.bottom; ++y) {
      const double sy = y + 0.5;
      crossings.clear();
      for (std::size_t i = 0; i < device.size(); ++i) {
        const POINT& p = device[i];
        const POINT& q = device[(i + 1) % device.size()];
        if ((p.y <= sy && q.y > sy) || (q.y <= sy && p.y > sy)) {
          crossings.push_back(p.x + (sy - p.y) * (static_cast<double>(q.x) - p.x) /
                                        (static_cast<double>(q.y) - p.y));
        }
      }
      std::sort(crossings.begin(), crossings.end());
      for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
        const double from = std::clamp(std::ceil(crossings[i] - 0.5), -1e9, 1e9);
        const double to = std::clamp(std::ceil(crossings[i + 1] - 0.5), -1e9, 1e9);
        const RECT span{ClampCoordinate(static_cast<std::int64_t>(from)), y,
                        ClampCoordinate(static_cast<std::int64_t>(to)), y + 1};
        PaintArea(*surface, rects, span,
                  [&](int x, int yy, std::uint32_t dest) -> std::optional<std::uint32_t> {
                    const std::optional<std::uint32_t> fill = BrushPixel(*brush, dc->state, x, yy);
                    if (!fill) return std::nullopt;
                    return ApplyRop2(dc->state.rop2, *fill, dest);
                  });
      }
    }
  }
  std::int64_t styleStep = 0;
  for (std::size_t i = 0; i < device.size(); ++i)
    DrawSegment(*dc, device[i], device[(i + 1) % device.size()], styleStep);
  return TRUE;
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return FALSE;
  Record(*dc, ShapeOp(MrwDrawKind::kRectangle, left, top, right, bottom));
  const int penWidth = OutlineWidth(*dc);
  const RECT box = ShapeBox(*dc, left, top, right, bottom, penWidth);
  PaintShape(*dc, box, penWidth, [&](int x, int y, int inset) {
    return x >= box.left + inset && x < box.right - inset && y >= box.top + inset && y < box.bottom - inset;
  });
  return TRUE;
}

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return FALSE;
  Record(*dc, ShapeOp(MrwDrawKind::kEllipse, left, top, right, bottom));
  const int penWidth = OutlineWidth(*dc);
  const RECT box = ShapeBox(*dc, left, top, right, bottom, penWidth);
  if (IsEmptyRect(box)) return TRUE;
  // Pixel centres inside the ellipse through the outermost pixels of the box.
  const double cx = (box.left + box.right - 1) / 2.0, cy = (box.top + box.bottom - 1) / 2.0;
  const double rx = (box.right - box.left) / 2.0, ry = (box.bottom - box.top) / 2.0;
  PaintShape(*dc, box, penWidth, [&](int x, int y, int inset) {
    const double a = rx - inset, b = ry - inset;
    if (a <= 0 || b <= 0) return false;
    const double u = (x - cx) / a, v = (y - cy) / b;
    return u * u + v * v <= 1.0;
  });
  return TRUE;
}

BOOL WINAPI RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return FALSE;
  MrwDrawOp op = ShapeOp(MrwDrawKind::kRoundRect, left, top, right, bottom);
  op.points = {POINT{width, height}};
  Record(*dc, op);
  const int penWidth = OutlineWidth(*dc);
  const RECT box = ShapeBox(*dc, left, top, right, bottom, penWidth);
  if (IsEmptyRect(box)) return TRUE;
  const double cornerX = std::min<double>(std::abs(static_cast<double>(width)), box.right - box.left) / 2.0;
  const double cornerY = std::min<double>(std::abs(static_cast<double>(height)), box.bottom - box.top) / 2.0;
  PaintShape(*dc, box, penWidth, [&](int x, int y, int inset) {
    const double l = box.left + inset, t = box.top + inset, r = box.right - 1 - inset,
                 b = box.bottom - 1 - inset;
    if (x < l || x > r || y < t || y > b) return false;
    const double rx = cornerX - inset, ry = cornerY - inset;
    if (rx <= 0 || ry <= 0) return true;
    // In a corner square the pixel must lie inside the corner's ellipse.
    const double ex = x < l + rx - 0.5 ? l + rx - 0.5 : (x > r - rx + 0.5 ? r - rx + 0.5 : x);
    const double ey = y < t + ry - 0.5 ? t + ry - 0.5 : (y > b - ry + 0.5 ? b - ry + 0.5 : y);
    const double u = (x - ex) / rx, v = (y - ey) / ry;
    return u * u + v * v <= 1.0;
  });
  return TRUE;
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  MrwDrawOp op;
  op.kind = MrwDrawKind::kSetPixel;
  op.x = x;
  op.y = y;
  op.color = color & 0xFFFFFF;
  Record(*dc, op);
  Surface* surface = SurfaceOf(*dc);
  const POINT p = ToDevice(dc->state, x, y);
  if (!surface || !RectsContain(PaintableRects(*dc), p.x, p.y)) return CLR_INVALID;
  std::uint32_t& pixel = surface->At(p.x, p.y);
  pixel = surface->Store(PixelFromColor(color));
  return ColorFromPixel(pixel);
}

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
  return SetPixel(hdc, x, y, color) != CLR_INVALID ? TRUE : FALSE;
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  Surface* surface = SurfaceOf(*dc);
  const POINT p = ToDevice(dc->state, x, y);
  if (!surface || !RectsContain(PaintableRects(*dc), p.x, p.y)) return CLR_INVALID;
  return ColorFromPixel(surface->At(p.x, p.y));
}
