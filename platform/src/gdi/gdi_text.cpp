// Text output. Glyphs are drawn as boxes: each visible character paints a
// solid rectangle of its width, inset by one pixel on each side so that
// neighbours stay apart, from one pixel below the cell top down to the
// baseline, in the text colour. Blanks paint only their background.
#include "gdi_internal.h"

#include <algorithm>

namespace mrw_gdi {
namespace {

struct TextRun {
  std::vector<Glyph> glyphs;
  std::u16string text;  // for the drawing record
  const INT* dx = nullptr;
  int units = 0;
};

RECT SpanRect(std::int64_t left, std::int64_t right, std::int64_t top, std::int64_t bottom) {
  if (right < left) std::swap(left, right);
  return RECT{ClampCoordinate(left), ClampCoordinate(top), ClampCoordinate(right), ClampCoordinate(bottom)};
}

BOOL DrawTextRun(HDC hdc, int x, int y, UINT options, const RECT* lprect, const TextRun& run) {
  DcObject* dc = FindDc(hdc);
  if (!dc) return FALSE;
  DcState& state = dc->state;
  const FontObject& font = SelectedFont(*dc);
  const FontMetrics& metrics = font.metrics;

  // Advances: the caller's, summed over a character's units, or the widths.
  std::vector<std::int64_t> advances;
  advances.reserve(run.glyphs.size());
  std::int64_t extent = 0;
  int unit = 0;
  for (const Glyph& glyph : run.glyphs) {
    std::int64_t advance = glyph.width + static_cast<std::int64_t>(state.charExtra);
    if (run.dx) {
      advance = 0;
      for (int i = 0; i < glyph.units; ++i) advance += run.dx[unit + i];
    }
    advances.push_back(advance);
    extent += advance;
    unit += glyph.units;
  }

  const bool updateCp = (state.textAlign & TA_UPDATECP) != 0;
  const POINT reference = updateCp ? state.current : POINT{x, y};
  std::int64_t left = reference.x;
  switch (state.textAlign & TA_CENTER) {
    case TA_RIGHT:
      left -= extent;
      break;
    case TA_CENTER:
      left -= extent / 2;
      break;
    default:
      break;
  }
  std::int64_t top = reference.y;
  switch (state.textAlign & TA_BASELINE) {
    case TA_BOTTOM:
      top -= metrics.height;
      break;
    case TA_BASELINE:
      top -= metrics.ascent;
      break;
    default:
      break;
  }
  const POINT device = ToDevice(state, ClampCoordinate(left), ClampCoordinate(top));

  MrwDrawOp op;
  op.kind = MrwDrawKind::kTextOut;
  op.x = reference.x;
  op.y = reference.y;
  if (lprect) op.rect = *lprect;
  op.text = run.text;
  if (run.dx) op.dx.assign(run.dx, run.dx + run.units);
  op.options = options;
  Record(*dc, op);

  Surface* surface = SurfaceOf(*dc);
  if (surface) {
    const std::vector<RECT> rects = PaintableRects(*dc);
    std::vector<RECT> textRects = rects;
    if (lprect) {
      // Reversed corners name the same rectangle.
      const RECT given = ToDevice(state, *lprect);
      const RECT box{std::min(given.left, given.right), std::min(given.top, given.bottom),
                     std::max(given.left, given.right), std::max(given.top, given.bottom)};
      if (options & ETO_OPAQUE) FillSolid(*surface, rects, box, PixelFromColor(state.bkColor));
      if (options & ETO_CLIPPED) {
        std::vector<RECT> kept;
        for (const RECT& rc : rects) {
          const RECT part = IntersectRects(rc, box);
          if (!IsEmptyRect(part)) kept.push_back(part);
        }
        textRects = std::move(kept);
      }
    }
    const std::int64_t cellTop = device.y;
    if (state.bkMode == OPAQUE) {
      FillSolid(*surface, textRects, SpanRect(device.x, device.x + extent, cellTop, cellTop + metrics.height),
                PixelFromColor(state.bkColor));
    }
    const std::uint32_t ink = PixelFromColor(state.textColor);
    std::int64_t pen = device.x;
    for (std::size_t i = 0; i < run.glyphs.size(); ++i) {
      const Glyph& glyph = run.glyphs[i];
      if (!glyph.blank && glyph.width > 0) {
        const int inset = glyph.width > 2 ? 1 : 0;
        const std::int64_t boxTop = cellTop + (metrics.ascent > 1 ? 1 : 0);
        FillSolid(*surface, textRects,
                  SpanRect(pen + inset, pen + glyph.width - inset, boxTop, cellTop + metrics.ascent), ink);
      }
      pen += advances[i];
    }
    if (font.lf.lfUnderline) {
      const std::int64_t row = cellTop + std::min(metrics.ascent + 1, metrics.height - 1);
      FillSolid(*surface, textRects, SpanRect(device.x, device.x + extent, row, row + 1), ink);
    }
    if (font.lf.lfStrikeOut) {
      const std::int64_t row = cellTop + metrics.ascent / 2;
      FillSolid(*surface, textRects, SpanRect(device.x, device.x + extent, row, row + 1), ink);
    }
  }

  if (updateCp) {
    switch (state.textAlign & TA_CENTER) {
      case TA_LEFT:
        state.current.x = ClampCoordinate(reference.x + extent);
        break;
      case TA_RIGHT:
        state.current.x = ClampCoordinate(reference.x - extent);
        break;
      default:
        break;
    }
  }
  return TRUE;
}

bool CountOk(UINT c) {
  return c <= static_cast<UINT>(INT_MAX);
}

}  // namespace
}  // namespace mrw_gdi

using namespace mrw_gdi;

BOOL WINAPI ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c,
                        const INT* lpDx) {
  if (!CountOk(c) || (!lpString && c > 0)) return FALSE;
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return FALSE;
  const FontObject& font = SelectedFont(*dc);
  TextRun run;
  run.units = static_cast<int>(c);
  run.glyphs = GlyphsOfA(font, lpString, run.units);
  run.text = TextToUtf16(font, lpString, run.units);
  run.dx = c > 0 ? lpDx : nullptr;
  return DrawTextRun(hdc, x, y, options, lprect, run);
}

BOOL WINAPI ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCWSTR lpString, UINT c,
                        const INT* lpDx) {
  if (!CountOk(c) || (!lpString && c > 0)) return FALSE;
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return FALSE;
  TextRun run;
  run.units = static_cast<int>(c);
  run.glyphs = GlyphsOfW(SelectedFont(*dc), lpString, run.units);
  if (lpString) run.text.assign(lpString, lpString + c);
  run.dx = c > 0 ? lpDx : nullptr;
  return DrawTextRun(hdc, x, y, options, lprect, run);
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  if (c < 0) return FALSE;
  return ExtTextOutA(hdc, x, y, 0, nullptr, lpString, static_cast<UINT>(c), nullptr);
}

BOOL WINAPI TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c) {
  if (c < 0) return FALSE;
  return ExtTextOutW(hdc, x, y, 0, nullptr, lpString, static_cast<UINT>(c), nullptr);
}
