// Block transfers: pattern fills, copies between surfaces with raster
// operations, stretching, and the device-independent pixel transfers.
#include "gdi_internal.h"

#include <algorithm>
#include <cstring>

namespace mrw_gdi {
namespace {

// Source pixels read before any destination pixel changes, so copies
// within one surface behave as if through a separate buffer.
struct SourceBlock {
  RECT area{0, 0, 0, 0};  // device coordinates of the source surface
  bool mono = false;
  std::vector<std::uint32_t> pixels;

  // Pixels from (x, y) on, within the block.
  const std::uint32_t* RowAt(std::int64_t x, std::int64_t y) const {
    const std::size_t width = static_cast<std::size_t>(area.right - area.left);
    return pixels.data() + static_cast<std::size_t>(y - area.top) * width +
           static_cast<std::size_t>(x - area.left);
  }

  std::optional<std::uint32_t> At(std::int64_t x, std::int64_t y) const {
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return std::nullopt;
    const std::size_t width = static_cast<std::size_t>(area.right - area.left);
    return pixels[static_cast<std::size_t>(y - area.top) * width + static_cast<std::size_t>(x - area.left)];
  }
};

SourceBlock ReadSource(const Surface& surface, const RECT& wanted) {
  SourceBlock block;
  block.mono = surface.mono;
  block.area = IntersectRects(wanted, surface.Bounds());
  if (IsEmptyRect(block.area)) return block;
  const std::size_t width = static_cast<std::size_t>(block.area.right - block.area.left);
  block.pixels.resize(width * static_cast<std::size_t>(block.area.bottom - block.area.top));
  for (int y = block.area.top; y < block.area.bottom; ++y) {
    const std::uint32_t* row = surface.Row(y) + block.area.left;
    std::copy(row, row + width,
              block.pixels.begin() + static_cast<std::ptrdiff_t>(width * (y - block.area.top)));
  }
  return block;
}

// A source pixel as the destination sees it: monochrome sources take the
// destination's text (black) and background (white) colours; colour
// sources going to monochrome turn white where they match the source's
// background colour.
std::uint32_t ConvertSource(std::uint32_t pixel, bool sourceMono, const DcState& sourceState, bool destMono,
                            const DcState& destState) {
  if (sourceMono && !destMono) return PixelFromColor(pixel ? destState.bkColor : destState.textColor);
  if (!sourceMono && destMono)
    return pixel == PixelFromColor(sourceState.bkColor) ? kWhitePixel : kBlackPixel;
  return pixel;
}

// Maps destination offset `i` of `destCount` onto `sourceCount` source
// pixels, nearest pixel centre, mirrored when asked.
std::int64_t StretchIndex(std::int64_t i, std::int64_t destCount, std::int64_t sourceCount, bool mirror) {
  const std::int64_t j = ((2 * i + 1) * sourceCount) / (2 * destCount);
  return mirror ? sourceCount - 1 - j : j;
}

struct BlitRequest {
  RECT dest;    // logical, normalized
  RECT source;  // logical, normalized
  bool mirrorX = false;
  bool mirrorY = false;
};

BOOL Blit(HDC hdcDest, HDC hdcSrc, const BlitRequest& request, DWORD rop, MrwDrawOp op) {
  DcObject* dest = FindDc(hdcDest);
  if (!dest) return FALSE;
  const bool usesSource = RopUsesSource(rop);
  DcObject* source = usesSource ? FindDc(hdcSrc) : nullptr;
  if (usesSource && !source) return FALSE;
  Record(*dest, op);
  Surface* destSurface = SurfaceOf(*dest);
  if (!destSurface) return TRUE;
  const RECT destRect = ToDevice(dest->state, request.dest);
  const std::int64_t destWidth = static_cast<std::int64_t>(destRect.right) - destRect.left;
  const std::int64_t destHeight = static_cast<std::int64_t>(destRect.bottom) - destRect.top;
  if (destWidth <= 0 || destHeight <= 0) return TRUE;

  SourceBlock block;
  RECT sourceRect{0, 0, 0, 0};
  if (source) {
    Surface* sourceSurface = SurfaceOf(*source);
    if (!sourceSurface) return TRUE;
    sourceRect = ToDevice(source->state, request.source);
    block = ReadSource(*sourceSurface, sourceRect);
  }
  const std::int64_t sourceWidth = static_cast<std::int64_t>(sourceRect.right) - sourceRect.left;
  const std::int64_t sourceHeight = static_cast<std::int64_t>(sourceRect.bottom) - sourceRect.top;
  if (source && (sourceWidth <= 0 || sourceHeight <= 0)) return TRUE;

  const bool stretched = source && (sourceWidth != destWidth || sourceHeight != destHeight ||
                                    request.mirrorX || request.mirrorY);
  if (source && !stretched && rop == SRCCOPY && block.mono == destSurface->mono) {
    // A plain copy, row by row, of the part the source has.
    const std::int64_t dx = static_cast<std::int64_t>(sourceRect.left) - destRect.left;
    const std::int64_t dy = static_cast<std::int64_t>(sourceRect.top) - destRect.top;
    const RECT copied = IntersectRects(
        destRect, RECT{ClampCoordinate(block.area.left - dx), ClampCoordinate(block.area.top - dy),
                       ClampCoordinate(block.area.right - dx), ClampCoordinate(block.area.bottom - dy)});
    for (const RECT& clip : PaintableRects(*dest)) {
      const RECT part = IntersectRects(clip, copied);
      for (int y = part.top; y < part.bottom; ++y) {
        const std::uint32_t* from = block.RowAt(part.left + dx, y + dy);
        std::copy(from, from + (part.right - part.left), destSurface->Row(y) + part.left);
      }
    }
    return TRUE;
  }

  const bool usesPattern = RopUsesPattern(rop);
  const BrushObject* brush = usesPattern ? FindBrush(dest->state.brush) : nullptr;
  const DcState& destState = dest->state;
  PaintArea(*destSurface, PaintableRects(*dest), destRect,
            [&](int x, int y, std::uint32_t pixel) -> std::optional<std::uint32_t> {
              std::uint32_t sourcePixel = 0;
              if (source) {
                const std::int64_t sx =
                    sourceRect.left +
                    (stretched ? StretchIndex(x - destRect.left, destWidth, sourceWidth, request.mirrorX)
                               : x - destRect.left);
                const std::int64_t sy =
                    sourceRect.top +
                    (stretched ? StretchIndex(y - destRect.top, destHeight, sourceHeight, request.mirrorY)
                               : y - destRect.top);
                const std::optional<std::uint32_t> read = block.At(sx, sy);
                if (!read) return std::nullopt;  // outside the source: left alone
                sourcePixel = ConvertSource(*read, block.mono, source->state, destSurface->mono, destState);
              }
              std::uint32_t patternPixel = 0;
              if (usesPattern) {
                if (!brush) return std::nullopt;
                const std::optional<std::uint32_t> fill = BrushPixel(*brush, destState, x, y);
                if (!fill) return std::nullopt;
                patternPixel = *fill;
              }
              return ApplyRop3(rop, patternPixel, sourcePixel, pixel);
            });
  return TRUE;
}

// Bytes per row of a DIB: rows are padded to 32 bits.
std::size_t DibStride(std::int64_t width, int bitCount) {
  return static_cast<std::size_t>(((width * bitCount + 31) / 32) * 4);
}

bool DibFormatOk(const BITMAPINFO* bmi) {
  return bmi && bmi->bmiHeader.biSize >= sizeof(BITMAPINFOHEADER) && bmi->bmiHeader.biCompression == BI_RGB &&
         (bmi->bmiHeader.biBitCount == 24 || bmi->bmiHeader.biBitCount == 32) && bmi->bmiHeader.biWidth > 0 &&
         bmi->bmiHeader.biHeight != 0 && bmi->bmiHeader.biHeight != INT32_MIN;
}

void WriteDibPixel(BYTE* row, int x, int bitCount, std::uint32_t pixel) {
  BYTE* at = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bitCount / 8);
  at[0] = static_cast<BYTE>(pixel & 0xFF);
  at[1] = static_cast<BYTE>((pixel >> 8) & 0xFF);
  at[2] = static_cast<BYTE>((pixel >> 16) & 0xFF);
  if (bitCount == 32) at[3] = 0;
}

std::uint32_t ReadDibPixel(const BYTE* row, int x, int bitCount) {
  const BYTE* at = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bitCount / 8);
  return at[0] | (static_cast<std::uint32_t>(at[1]) << 8) | (static_cast<std::uint32_t>(at[2]) << 16);
}

}  // namespace

RECT ExtentRect(std::int64_t x, std::int64_t y, std::int64_t cx, std::int64_t cy) {
  const std::int64_t left = cx < 0 ? x + cx + 1 : x, right = cx < 0 ? x + 1 : x + cx;
  const std::int64_t top = cy < 0 ? y + cy + 1 : y, bottom = cy < 0 ? y + 1 : y + cy;
  return RECT{ClampCoordinate(left), ClampCoordinate(top), ClampCoordinate(right), ClampCoordinate(bottom)};
}

}  // namespace mrw_gdi

using namespace mrw_gdi;

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  if (RopUsesSource(rop)) return FALSE;
  Lock lock(Mutex());
  MrwDrawOp op;
  op.kind = MrwDrawKind::kPatBlt;
  op.x = x;
  op.y = y;
  op.rect = ExtentRect(x, y, w, h);
  op.rop = rop;
  BlitRequest request;
  request.dest = op.rect;
  return Blit(hdc, nullptr, request, rop, op);
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  Lock lock(Mutex());
  MrwDrawOp op;
  op.kind = MrwDrawKind::kBitBlt;
  op.x = x;
  op.y = y;
  op.rect = ExtentRect(x, y, cx, cy);
  op.points = {POINT{x1, y1}};
  op.rop = rop;
  BlitRequest request;
  request.dest = op.rect;
  // Negative extents move the source corner with the destination corner.
  request.source = ExtentRect(x1, y1, cx, cy);
  return Blit(hdc, hdcSrc, request, rop, op);
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc,
                       int ySrc, int wSrc, int hSrc, DWORD rop) {
  Lock lock(Mutex());
  MrwDrawOp op;
  op.kind = MrwDrawKind::kStretchBlt;
  op.x = xDest;
  op.y = yDest;
  op.rect = ExtentRect(xDest, yDest, wDest, hDest);
  op.points = {POINT{xSrc, ySrc}, POINT{wSrc, hSrc}};
  op.rop = rop;
  BlitRequest request;
  request.dest = op.rect;
  request.source = ExtentRect(xSrc, ySrc, wSrc, hSrc);
  request.mirrorX = (wDest < 0) != (wSrc < 0);
  request.mirrorY = (hDest < 0) != (hSrc < 0);
  return Blit(hdcDest, hdcSrc, request, rop, op);
}

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi,
                     UINT usage) {
  Lock lock(Mutex());
  BitmapObject* bitmap = FindBitmap(hbm);
  if ((hdc && !FindDc(hdc)) || !bitmap || !lpbmi || usage != DIB_RGB_COLORS) return 0;
  const Surface& surface = *bitmap->surface;
  BITMAPINFOHEADER& header = lpbmi->bmiHeader;
  if (header.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  if (!lpvBits) {
    // Describe the bitmap: its size, and the bytes the asked format needs.
    if (header.biBitCount == 0) {
      header.biWidth = surface.width;
      header.biHeight = surface.height;
      header.biPlanes = 1;
      header.biBitCount = surface.mono ? 1 : 32;
      header.biCompression = BI_RGB;
    }
    header.biSizeImage = static_cast<DWORD>(DibStride(header.biWidth, header.biBitCount) *
                                            static_cast<std::size_t>(std::abs(header.biHeight)));
    return surface.height > 0 ? surface.height : 1;
  }
  if (!DibFormatOk(lpbmi)) return 0;
  const int bitCount = header.biBitCount;
  const bool topDown = header.biHeight < 0;
  const std::int64_t dibHeight = topDown ? -static_cast<std::int64_t>(header.biHeight) : header.biHeight;
  const std::size_t stride = DibStride(header.biWidth, bitCount);
  const int width = std::min<int>(header.biWidth, surface.width);
  auto* bytes = static_cast<BYTE*>(lpvBits);
  int copied = 0;
  for (std::int64_t scan = start; scan < static_cast<std::int64_t>(start) + cLines && scan < dibHeight;
       ++scan) {
    const std::int64_t y = topDown ? scan : dibHeight - 1 - scan;
    BYTE* row = bytes + stride * static_cast<std::size_t>(scan - start);
    std::memset(row, 0, stride);
    if (y >= 0 && y < surface.height) {
      for (int x = 0; x < width; ++x) WriteDibPixel(row, x, bitCount, surface.At(x, static_cast<int>(y)));
    }
    ++copied;
  }
  return copied;
}

int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc,
                             UINT StartScan, UINT cLines, const void* lpvBits, const BITMAPINFO* lpbmi,
                             UINT ColorUse) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc || !lpvBits || !DibFormatOk(lpbmi) || ColorUse != DIB_RGB_COLORS) return 0;
  const BITMAPINFOHEADER& header = lpbmi->bmiHeader;
  const bool bottomUp = header.biHeight > 0;
  const std::int64_t dibWidth = header.biWidth;
  const std::int64_t dibHeight = bottomUp ? header.biHeight : -static_cast<std::int64_t>(header.biHeight);
  const std::size_t stride = DibStride(dibWidth, header.biBitCount);
  MrwDrawOp op;
  op.kind = MrwDrawKind::kSetDIBits;
  op.x = xDest;
  op.y = yDest;
  op.rect = ExtentRect(xDest, yDest, std::min<DWORD>(w, INT_MAX), std::min<DWORD>(h, INT_MAX));
  Record(*dc, op);
  Surface* surface = SurfaceOf(*dc);
  if (!surface) return static_cast<int>(cLines);
  const RECT destRect = ToDevice(dc->state, op.rect);
  const auto* bytes = static_cast<const BYTE*>(lpvBits);
  const std::int64_t height = static_cast<std::int64_t>(destRect.bottom) - destRect.top;
  PaintArea(*surface, PaintableRects(*dc), destRect,
            [&](int x, int y, std::uint32_t) -> std::optional<std::uint32_t> {
              const std::int64_t sx = static_cast<std::int64_t>(xSrc) + (x - destRect.left);
              // A bottom-up image counts ySrc from its lower edge.
              const std::int64_t row = bottomUp ? dibHeight - ySrc - height + (y - destRect.top)
                                                : static_cast<std::int64_t>(ySrc) + (y - destRect.top);
              const std::int64_t scan = bottomUp ? dibHeight - 1 - row : row;
              if (sx < 0 || sx >= dibWidth || row < 0 || row >= dibHeight || scan < StartScan ||
                  scan >= static_cast<std::int64_t>(StartScan) + cLines) {
                return std::nullopt;
              }
              return ReadDibPixel(bytes + stride * static_cast<std::size_t>(scan - StartScan),
                                  static_cast<int>(sx), header.biBitCount);
            });
  return static_cast<int>(cLines);
}
