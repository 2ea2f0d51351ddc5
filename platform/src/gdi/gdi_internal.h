// Shared state of the graphics part of the stand-in: the handle table, the
// objects behind the handles, device contexts and their pixel surfaces.
// Every exported function takes the lock first, so the table is never seen
// half-changed.
#pragma once

#include <windows.h>
#include <platform_hooks.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace mrw_gdi {

std::recursive_mutex& Mutex();
using Lock = std::lock_guard<std::recursive_mutex>;

// ---------------------------------------------------------------------------
// Pixels and surfaces

// Surfaces keep pixels as 0x00RRGGBB, the layout of a 32-bit DIB; COLORREF
// is 0x00BBGGRR.
constexpr std::uint32_t PixelFromColor(COLORREF color) {
  return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}
constexpr COLORREF ColorFromPixel(std::uint32_t pixel) {
  return ((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) | ((pixel >> 16) & 0xFFu);
}
constexpr std::uint32_t kWhitePixel = 0xFFFFFFu;
constexpr std::uint32_t kBlackPixel = 0;

// Largest surface accepted, in pixels (a refused size fails like lack of memory).
constexpr std::int64_t kMaxSurfacePixels = 64ll * 1024 * 1024;

struct Surface {
  int width = 0;
  int height = 0;
  bool mono = false;      // one bit per pixel on Windows: only black and white
  bool bottomUp = false;  // rows stored bottom first, as in a bottom-up DIB section
  std::vector<std::uint32_t> pixels;

  static std::shared_ptr<Surface> Make(int cx, int cy, bool mono, std::uint32_t fill);
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  std::uint32_t& At(int x, int y) {
    const int row = bottomUp ? height - 1 - y : y;
    return pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
  std::uint32_t At(int x, int y) const { return const_cast<Surface*>(this)->At(x, y); }
  std::uint32_t* Row(int y) { return &At(0, y); }
  const std::uint32_t* Row(int y) const { return const_cast<Surface*>(this)->Row(y); }
  // What a colour becomes when stored here.
  std::uint32_t Store(std::uint32_t pixel) const;
  // Resizes keeping the pixels where old and new overlap.
  void Resize(int cx, int cy, std::uint32_t fill);
  RECT Bounds() const { return RECT{0, 0, width, height}; }
};

// ---------------------------------------------------------------------------
// Rectangle sets: clip regions and HRGN objects (rectangles only, disjoint).

bool IsEmptyRect(const RECT& rc);
RECT IntersectRects(const RECT& a, const RECT& b);

class RectSet {
 public:
  RectSet() = default;
  explicit RectSet(const RECT& rc);
  void Intersect(const RECT& rc);
  void Intersect(const RectSet& other);
  void Subtract(const RECT& rc);
  void Offset(int dx, int dy);
  bool Contains(int x, int y) const;
  RECT Bounds() const;
  int Complexity() const;  // NULLREGION, SIMPLEREGION or COMPLEXREGION
  const std::vector<RECT>& Rects() const { return rects_; }

 private:
  std::vector<RECT> rects_;
};

// ---------------------------------------------------------------------------
// Objects

struct GdiObject {
  explicit GdiObject(DWORD objectType) : type(objectType) {}
  virtual ~GdiObject() = default;
  DWORD type;              // OBJ_*
  bool stock = false;      // never deleted
  bool permanent = false;  // system colour brushes: DeleteObject ignores them
  int refs = 0;            // DC states (current and saved) that hold the object
  bool deletePending = false;
};

struct FontMetrics {
  int height = 16;
  int ascent = 13;
  int descent = 3;
  int internalLeading = 0;
  int aveWidth = 8;
  int maxWidth = 16;
  int weight = FW_NORMAL;
  UINT codePage = 0;
  BYTE charSet = ANSI_CHARSET;
  BYTE pitchAndFamily = 0;
};

struct FontObject : GdiObject {
  FontObject() : GdiObject(OBJ_FONT) {}
  LOGFONTA lf{};
  std::u16string faceW;  // face name as given (or derived), for the W functions
  FontMetrics metrics;
};

struct BrushObject : GdiObject {
  BrushObject() : GdiObject(OBJ_BRUSH) {}
  UINT style = BS_SOLID;
  COLORREF color = 0;
  ULONG_PTR hatch = 0;
  std::shared_ptr<Surface> pattern;  // BS_PATTERN: a copy of the bitmap
  HBITMAP patternBitmap = nullptr;
};

struct PenObject : GdiObject {
  PenObject() : GdiObject(OBJ_PEN) {}
  UINT style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};

struct BitmapObject : GdiObject {
  BitmapObject() : GdiObject(OBJ_BITMAP) {}
  std::shared_ptr<Surface> surface;
  HDC selectedInto = nullptr;
  bool dibSection = false;
};

struct RegionObject : GdiObject {
  RegionObject() : GdiObject(OBJ_REGION) {}
  RectSet region;
};

// The pixels and drawing record of a window's client area (or of the screen).
struct WindowSurface {
  std::shared_ptr<Surface> surface;
  std::vector<MrwDrawOp> log;
};

struct DcState {
  HFONT font = nullptr;
  HBRUSH brush = nullptr;
  HPEN pen = nullptr;
  HBITMAP bitmap = nullptr;  // memory DCs only
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  UINT textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
  int charExtra = 0;
  int rop2 = R2_COPYPEN;
  int mapMode = MM_TEXT;
  POINT viewportOrg{0, 0};
  POINT windowOrg{0, 0};
  POINT current{0, 0};          // current position, logical
  std::optional<RectSet> clip;  // device coordinates; none: the whole surface
};

enum class DcKind { kMemory, kWindow, kDisplay, kPrinter };

struct DcObject : GdiObject {
  explicit DcObject(DcKind dcKind)
      : GdiObject(dcKind == DcKind::kMemory ? OBJ_MEMDC : OBJ_DC), kind(dcKind) {}
  DcKind kind;
  HWND hwnd = nullptr;
  std::shared_ptr<WindowSurface> window;  // window and display DCs
  DcState state;
  std::vector<DcState> saved;
  std::vector<MrwDrawOp> log;
  // Printer DCs: the printer's resolution, the job and the pages it ended.
  int printerDpi = 0;
  bool inDoc = false;
  bool inPage = false;
  std::vector<MrwPrintedPage> pages;
};

// The DC of an added printer, or NULL (gdi_printer.cpp).
HDC CreatePrinterDc(const char* pszDevice);
// GetDeviceCaps of a printer DC.
int PrinterDeviceCaps(const DcObject& dc, int index);

// Handle table. Handles are never reused while the process runs.
HGDIOBJ AddObject(std::unique_ptr<GdiObject> object);
GdiObject* FindObject(HGDIOBJ handle);
template <typename T>
T* Find(HGDIOBJ handle, DWORD type) {
  GdiObject* object = FindObject(handle);
  return object && object->type == type ? static_cast<T*>(object) : nullptr;
}
FontObject* FindFont(HGDIOBJ handle);
BrushObject* FindBrush(HGDIOBJ handle);
PenObject* FindPen(HGDIOBJ handle);
BitmapObject* FindBitmap(HGDIOBJ handle);
RegionObject* FindRegion(HGDIOBJ handle);
DcObject* FindDc(HDC hdc);  // memory, window and display DCs
void DestroyObject(HGDIOBJ handle);
void AddRef(HGDIOBJ handle);
void Release(HGDIOBJ handle);  // destroys an object whose deletion was deferred
int LiveObjectCount();
HGDIOBJ StockObject(int index);
HBITMAP DefaultBitmap();  // the 1x1 monochrome bitmap of new memory DCs

// Fonts (gdi_fonts.cpp).
FontMetrics ComputeFontMetrics(const LOGFONTA& lf);
UINT CodePageOfCharSet(BYTE charSet);

// One character of a text run.
struct Glyph {
  int width = 0;
  int units = 1;       // bytes (ANSI) or UTF-16 units it takes in the source
  bool blank = false;  // paints nothing but its background
};
std::vector<Glyph> GlyphsOfA(const FontObject& font, const char* text, int count);
std::vector<Glyph> GlyphsOfW(const FontObject& font, const WCHAR* text, int count);
std::u16string TextToUtf16(const FontObject& font, const char* text, int count);
FontObject& SelectedFont(DcObject& dc);

// DCs (gdi_dc.cpp).
Surface* SurfaceOf(DcObject& dc);
POINT ToDevice(const DcState& state, LONG x, LONG y);
RECT ToDevice(const DcState& state, const RECT& rc);
int ClampCoordinate(std::int64_t value);
// The pixels a blit with corner (x, y) and signed extents covers: the corner
// is inside and the far end outside, whichever way the extents point.
RECT ExtentRect(std::int64_t x, std::int64_t y, std::int64_t cx, std::int64_t cy);
// The device rectangles a DC may paint: its clip within its surface.
std::vector<RECT> PaintableRects(DcObject& dc);
std::shared_ptr<WindowSurface> ScreenSurface();
std::shared_ptr<WindowSurface> FindWindowSurface(HWND hWnd);  // NULL window: the screen, if made

// Drawing helpers (gdi_surface.cpp).
// Ternary raster operation on 24-bit values, and binary mix modes.
std::uint32_t ApplyRop3(DWORD rop, std::uint32_t pattern, std::uint32_t source, std::uint32_t dest);
std::uint32_t ApplyRop2(int rop2, std::uint32_t pen, std::uint32_t dest);
bool RopUsesSource(DWORD rop);
bool RopUsesPattern(DWORD rop);
// Colour of a brush at a device pixel; nothing where the brush leaves the
// destination alone (null brush, transparent hatch background).
std::optional<std::uint32_t> BrushPixel(const BrushObject& brush, const DcState& state, int x, int y);

// Paints every pixel of `area` (device coordinates) that lies in `rects`;
// `op(x, y, dest)` returns the new pixel or nothing to leave it.
template <typename Op>
void PaintArea(Surface& surface, const std::vector<RECT>& rects, const RECT& area, Op&& op) {
  for (const RECT& clip : rects) {
    const RECT part = IntersectRects(clip, area);
    for (int y = part.top; y < part.bottom; ++y) {
      for (int x = part.left; x < part.right; ++x) {
        std::uint32_t& pixel = surface.At(x, y);
        const std::optional<std::uint32_t> result = op(x, y, pixel);
        if (result) pixel = surface.Store(*result);
      }
    }
  }
}
bool RectsContain(const std::vector<RECT>& rects, int x, int y);
// Paints one colour over every pixel of `area` within `rects`, row by row.
void FillSolid(Surface& surface, const std::vector<RECT>& rects, const RECT& area, std::uint32_t pixel);

// Drawing record (gdi_log.cpp): fills the DC's state into `op` and keeps it.
void Record(DcObject& dc, MrwDrawOp op);

// Image files (gdi_image.cpp).
bool SaveSurface(const Surface& surface, const char* path);

}  // namespace mrw_gdi
