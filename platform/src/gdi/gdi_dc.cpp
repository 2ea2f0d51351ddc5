// Device contexts: memory, window and display DCs, their drawing state,
// object selection, saved states, coordinates and clipping.
#include "gdi_internal.h"
#include "internal.h"

#include <algorithm>
#include <cctype>
#include <type_traits>
#include <unordered_map>
#include <utility>

namespace mrw_gdi {
namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kDpi = 96;
// Device coordinates stay within this range so that products of two of
// them never overflow 64 bits in the rasterisers.
constexpr std::int64_t kCoordinateLimit = 1 << 27;
constexpr int kMaxCharExtra = 1 << 20;

std::unordered_map<HWND, std::shared_ptr<WindowSurface>>& WindowSurfaces() {
  static auto* surfaces = new std::unordered_map<HWND, std::shared_ptr<WindowSurface>>;
  return *surfaces;
}

std::shared_ptr<WindowSurface> MakeWindowSurface(int cx, int cy) {
  auto window = std::make_shared<WindowSurface>();
  window->surface = Surface::Make(std::max(cx, 0), std::max(cy, 0), false, kWhitePixel);
  if (!window->surface) window->surface = Surface::Make(0, 0, false, kWhitePixel);
  return window;
}

void HoldState(const DcState& state) {
  AddRef(state.font);
  AddRef(state.brush);
  AddRef(state.pen);
  AddRef(state.bitmap);
}

void ReleaseState(const DcState& state) {
  Release(state.font);
  Release(state.brush);
  Release(state.pen);
  if (BitmapObject* bitmap = FindBitmap(state.bitmap)) {
    Release(state.bitmap);
    if (bitmap->refs == 0) bitmap->selectedInto = nullptr;
  }
}

HDC AddDc(std::unique_ptr<DcObject> dc) {
  dc->state.font = static_cast<HFONT>(StockObject(SYSTEM_FONT));
  dc->state.brush = static_cast<HBRUSH>(StockObject(WHITE_BRUSH));
  dc->state.pen = static_cast<HPEN>(StockObject(BLACK_PEN));
  if (dc->kind == DcKind::kMemory) dc->state.bitmap = DefaultBitmap();
  HoldState(dc->state);
  return static_cast<HDC>(AddObject(std::move(dc)));
}

void DestroyDc(HDC hdc, DcObject& dc) {
  for (const DcState& state : dc.saved) ReleaseState(state);
  dc.saved.clear();
  ReleaseState(dc.state);
  DestroyObject(hdc);
}

// The area a DC shows: its surface, for clipping and GetClipBox.
RECT SurfaceBounds(DcObject& dc) {
  Surface* surface = SurfaceOf(dc);
  return surface ? surface->Bounds() : RECT{0, 0, 0, 0};
}

RECT NormalizedDeviceRect(const DcState& state, int left, int top, int right, int bottom) {
  const RECT rc = ToDevice(state, RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                                       std::max(top, bottom)});
  return rc;
}

bool SameText(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b)))
      return false;
  }
  return *a == *b;
}

}  // namespace

int ClampCoordinate(std::int64_t value) {
  return static_cast<int>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}

POINT ToDevice(const DcState& state, LONG x, LONG y) {
  return POINT{ClampCoordinate(static_cast<std::int64_t>(x) - state.windowOrg.x + state.viewportOrg.x),
               ClampCoordinate(static_cast<std::int64_t>(y) - state.windowOrg.y + state.viewportOrg.y)};
}

RECT ToDevice(const DcState& state, const RECT& rc) {
  const POINT topLeft = ToDevice(state, rc.left, rc.top);
  const POINT bottomRight = ToDevice(state, rc.right, rc.bottom);
  return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

Surface* SurfaceOf(DcObject& dc) {
  if (dc.kind == DcKind::kMemory) {
    BitmapObject* bitmap = FindBitmap(dc.state.bitmap);
    return bitmap ? bitmap->surface.get() : nullptr;
  }
  return dc.window ? dc.window->surface.get() : nullptr;
}

std::vector<RECT> PaintableRects(DcObject& dc) {
  const RECT bounds = SurfaceBounds(dc);
  if (!dc.state.clip) return IsEmptyRect(bounds) ? std::vector<RECT>{} : std::vector<RECT>{bounds};
  RectSet visible = *dc.state.clip;
  visible.Intersect(bounds);
  return visible.Rects();
}

std::shared_ptr<WindowSurface> ScreenSurface() {
  auto& surfaces = WindowSurfaces();
  std::shared_ptr<WindowSurface>& screen = surfaces[nullptr];
  if (!screen) screen = MakeWindowSurface(kScreenWidth, kScreenHeight);
  return screen;
}

std::shared_ptr<WindowSurface> FindWindowSurface(HWND hWnd) {
  auto& surfaces = WindowSurfaces();
  const auto it = surfaces.find(hWnd);
  return it == surfaces.end() ? nullptr : it->second;
}

}  // namespace mrw_gdi

using namespace mrw_gdi;

// ---------------------------------------------------------------------------
// Window DCs for the window manager

HDC MrwGdiCreateWindowDC(HWND hWnd) {
  // Asked before locking: the window manager may be calling in with its own lock held.
  int cx = 0, cy = 0;
  if (hWnd && !MrwUserGetClientSize(hWnd, &cx, &cy)) return nullptr;
  Lock lock(Mutex());
  std::shared_ptr<WindowSurface> window;
  if (!hWnd) {
    window = ScreenSurface();
  } else {
    std::shared_ptr<WindowSurface>& slot = WindowSurfaces()[hWnd];
    if (!slot) slot = MakeWindowSurface(cx, cy);
    if (slot->surface->width != cx || slot->surface->height != cy) slot->surface->Resize(cx, cy, kWhitePixel);
    window = slot;
  }
  auto dc = std::make_unique<DcObject>(hWnd ? DcKind::kWindow : DcKind::kDisplay);
  dc->hwnd = hWnd;
  dc->window = std::move(window);
  return AddDc(std::move(dc));
}

void MrwGdiDeleteWindowDC(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (dc && dc->kind != DcKind::kMemory) DestroyDc(hdc, *dc);
}

void MrwGdiWindowResized(HWND hWnd, int cx, int cy) {
  Lock lock(Mutex());
  if (std::shared_ptr<WindowSurface> window = FindWindowSurface(hWnd); window && hWnd) {
    window->surface->Resize(cx, cy, kWhitePixel);
  }
}

void MrwGdiWindowDestroyed(HWND hWnd) {
  Lock lock(Mutex());
  if (hWnd) WindowSurfaces().erase(hWnd);  // DCs still open keep drawing on the orphaned surface
}

// ---------------------------------------------------------------------------
// Creating and deleting DCs

HDC WINAPI CreateCompatibleDC(HDC hdc) {
  Lock lock(Mutex());
  if (hdc && !FindDc(hdc)) return nullptr;
  return AddDc(std::make_unique<DcObject>(DcKind::kMemory));
}

HDC WINAPI CreateDCA(LPCSTR pwszDriver, LPCSTR pwszDevice, LPCSTR /*pszPort*/, const void* /*pdm*/) {
  // The display, or a printer a test added.
  if (pwszDevice && (!pwszDriver || SameText(pwszDriver, "WINSPOOL"))) {
    if (HDC printer = CreatePrinterDc(pwszDevice)) return printer;
  }
  const bool display = (pwszDriver && SameText(pwszDriver, "DISPLAY")) ||
                       (!pwszDriver && pwszDevice && SameText(pwszDevice, "DISPLAY"));
  if (!display) return nullptr;
  Lock lock(Mutex());
  auto dc = std::make_unique<DcObject>(DcKind::kDisplay);
  dc->window = ScreenSurface();
  return AddDc(std::move(dc));
}

BOOL WINAPI DeleteDC(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  // A window's DC goes back with ReleaseDC/EndPaint, never with DeleteDC.
  if (!dc || dc->kind == DcKind::kWindow) return FALSE;
  DestroyDc(hdc, *dc);
  return TRUE;
}

int WINAPI SaveDC(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return 0;
  HoldState(dc->state);
  dc->saved.push_back(dc->state);
  return static_cast<int>(dc->saved.size());
}

BOOL WINAPI RestoreDC(HDC hdc, int nSavedDC) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc || nSavedDC == 0) return FALSE;
  const std::int64_t count = static_cast<std::int64_t>(dc->saved.size());
  const std::int64_t level = nSavedDC > 0 ? nSavedDC : count + 1 + nSavedDC;
  if (level < 1 || level > count) return FALSE;
  DcState restored = dc->saved[static_cast<std::size_t>(level - 1)];
  // The restored state keeps the holds it took when saved; the current
  // state and the newer saved ones give theirs up.
  std::vector<DcState> dropped(dc->saved.begin() + level, dc->saved.end());
  dc->saved.resize(static_cast<std::size_t>(level - 1));
  const DcState previous = dc->state;
  dc->state = restored;
  if (BitmapObject* bitmap = FindBitmap(restored.bitmap); bitmap && !bitmap->stock)
    bitmap->selectedInto = hdc;
  ReleaseState(previous);
  for (const DcState& state : dropped) ReleaseState(state);
  return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  GdiObject* object = FindObject(h);
  if (!dc || !object || object->deletePending) return nullptr;
  DcState& state = dc->state;
  auto swap = [&](auto& slot) -> HGDIOBJ {
    using Handle = std::remove_reference_t<decltype(slot)>;
    const Handle previous = slot;
    slot = static_cast<Handle>(h);
    AddRef(h);
    Release(previous);
    return previous;
  };
  switch (object->type) {
    case OBJ_FONT:
      return swap(state.font);
    case OBJ_BRUSH:
      return swap(state.brush);
    case OBJ_PEN:
      return swap(state.pen);
    case OBJ_BITMAP: {
      auto* bitmap = static_cast<BitmapObject*>(object);
      if (dc->kind != DcKind::kMemory) return nullptr;
      if (!bitmap->stock && bitmap->selectedInto && bitmap->selectedInto != hdc) return nullptr;
      const HBITMAP previous = state.bitmap;
      state.bitmap = static_cast<HBITMAP>(h);
      AddRef(h);
      if (!bitmap->stock) bitmap->selectedInto = hdc;
      if (BitmapObject* old = FindBitmap(previous)) {
        Release(previous);
        if (old->refs == 0) old->selectedInto = nullptr;
      }
      return previous;
    }
    case OBJ_REGION:
      return reinterpret_cast<HGDIOBJ>(static_cast<INT_PTR>(SelectClipRgn(hdc, static_cast<HRGN>(h))));
    default:
      return nullptr;
  }
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_FONT:
      return dc->state.font;
    case OBJ_BRUSH:
      return dc->state.brush;
    case OBJ_PEN:
      return dc->state.pen;
    case OBJ_BITMAP:
      // Window DCs draw on the window itself; like Windows, report the
      // stock bitmap for them.
      return dc->kind == DcKind::kMemory ? static_cast<HGDIOBJ>(dc->state.bitmap) : DefaultBitmap();
    case OBJ_PAL:
      return StockObject(DEFAULT_PALETTE);
    default:
      return nullptr;
  }
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
  Lock lock(Mutex());
  const DcObject* dc = FindDc(hdc);
  if (!dc) return 0;
  if (dc->kind == DcKind::kPrinter) return PrinterDeviceCaps(*dc, index);
  switch (index) {
    case DRIVERVERSION:
      return 0x4000;
    case TECHNOLOGY:
      return DT_RASDISPLAY;
    case HORZSIZE:  // millimetres at 96 dots per inch
      return (kScreenWidth * 254 + kDpi * 5) / (kDpi * 10);
    case VERTSIZE:
      return (kScreenHeight * 254 + kDpi * 5) / (kDpi * 10);
    case HORZRES:
    case DESKTOPHORZRES:
      return kScreenWidth;
    case VERTRES:
    case DESKTOPVERTRES:
      return kScreenHeight;
    case BITSPIXEL:
      return 32;
    case PLANES:
      return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS:  // more than 256 colours
      return -1;
    case RASTERCAPS:
      return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case ASPECTX:
    case ASPECTY:
      return 36;
    case ASPECTXY:
      return 51;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return kDpi;
    case COLORRES:
      return 24;
    case VREFRESH:
      return 60;
    default:  // physical page values are 0 for a display, like the rest
      return 0;
  }
}

// ---------------------------------------------------------------------------
// Drawing attributes

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  return std::exchange(dc->state.textColor, color & 0xFFFFFF);
}

COLORREF WINAPI GetTextColor(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  return dc ? dc->state.textColor : CLR_INVALID;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  return std::exchange(dc->state.bkColor, color & 0xFFFFFF);
}

COLORREF WINAPI GetBkColor(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  return dc ? dc->state.bkColor : CLR_INVALID;
}

int WINAPI SetBkMode(HDC hdc, int mode) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(dc->state.bkMode, mode);
}

int WINAPI GetBkMode(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  return dc ? dc->state.bkMode : 0;
}

UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return GDI_ERROR;
  return std::exchange(dc->state.textAlign, align & (TA_UPDATECP | TA_CENTER | TA_BASELINE | TA_RTLREADING));
}

UINT WINAPI GetTextAlign(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  return dc ? dc->state.textAlign : GDI_ERROR;
}

int WINAPI SetTextCharacterExtra(HDC hdc, int extra) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return static_cast<int>(0x80000000u);
  return std::exchange(dc->state.charExtra, std::clamp(extra, -kMaxCharExtra, kMaxCharExtra));
}

int WINAPI GetTextCharacterExtra(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  return dc ? dc->state.charExtra : static_cast<int>(0x80000000u);
}

int WINAPI SetROP2(HDC hdc, int rop2) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc || rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return std::exchange(dc->state.rop2, rop2);
}

int WINAPI GetROP2(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  return dc ? dc->state.rop2 : 0;
}

int WINAPI SetMapMode(HDC hdc, int iMode) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  // Only one logical unit per pixel is supported.
  if (!dc || iMode != MM_TEXT) return 0;
  return std::exchange(dc->state.mapMode, iMode);
}

int WINAPI GetMapMode(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  return dc ? dc->state.mapMode : 0;
}

namespace {

BOOL SetOrigin(HDC hdc, POINT DcState::*member, std::int64_t x, std::int64_t y, LPPOINT lppt) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return FALSE;
  POINT& origin = dc->state.*member;
  if (lppt) *lppt = origin;
  origin = POINT{ClampCoordinate(x), ClampCoordinate(y)};
  return TRUE;
}

BOOL GetOrigin(HDC hdc, POINT DcState::*member, LPPOINT lppt) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc || !lppt) return FALSE;
  *lppt = dc->state.*member;
  return TRUE;
}

}  // namespace

BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return SetOrigin(hdc, &DcState::viewportOrg, x, y, lppt);
}

BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT lppoint) {
  return GetOrigin(hdc, &DcState::viewportOrg, lppoint);
}

BOOL WINAPI OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return FALSE;
  const POINT origin = dc->state.viewportOrg;
  return SetOrigin(hdc, &DcState::viewportOrg, static_cast<std::int64_t>(origin.x) + x,
                   static_cast<std::int64_t>(origin.y) + y, lppt);
}

BOOL WINAPI SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return SetOrigin(hdc, &DcState::windowOrg, x, y, lppt);
}

BOOL WINAPI GetWindowOrgEx(HDC hdc, LPPOINT lppoint) {
  return GetOrigin(hdc, &DcState::windowOrg, lppoint);
}

// ---------------------------------------------------------------------------
// Clipping

int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return ERROR;
  const RECT rc = NormalizedDeviceRect(dc->state, left, top, right, bottom);
  if (dc->state.clip) {
    dc->state.clip->Intersect(rc);
  } else {
    dc->state.clip = RectSet(rc);
  }
  return dc->state.clip->Complexity();
}

int WINAPI ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return ERROR;
  if (!dc->state.clip) dc->state.clip = RectSet(SurfaceBounds(*dc));
  dc->state.clip->Subtract(NormalizedDeviceRect(dc->state, left, top, right, bottom));
  return dc->state.clip->Complexity();
}

int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return ERROR;
  if (!hrgn) {
    dc->state.clip.reset();
    return SIMPLEREGION;
  }
  RegionObject* region = FindRegion(hrgn);
  if (!region) return ERROR;
  dc->state.clip = region->region;  // a copy, in device coordinates
  return dc->state.clip->Complexity();
}

int WINAPI GetClipBox(HDC hdc, LPRECT lprect) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc || !lprect) return ERROR;
  RectSet visible(SurfaceBounds(*dc));
  if (dc->state.clip) visible.Intersect(*dc->state.clip);
  RECT box = visible.Bounds();
  const DcState& state = dc->state;
  const std::int64_t dx = static_cast<std::int64_t>(state.windowOrg.x) - state.viewportOrg.x;
  const std::int64_t dy = static_cast<std::int64_t>(state.windowOrg.y) - state.viewportOrg.y;
  if (visible.Complexity() != NULLREGION) {
    box = RECT{ClampCoordinate(box.left + dx), ClampCoordinate(box.top + dy), ClampCoordinate(box.right + dx),
               ClampCoordinate(box.bottom + dy)};
  }
  *lprect = box;
  return visible.Complexity();
}
