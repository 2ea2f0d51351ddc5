// GDI objects: the handle table, stock objects, fonts, brushes, pens,
// bitmaps and rectangular regions, and their deletion and description.
#include "gdi_internal.h"
#include "internal.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace mrw_gdi {
namespace {

// Handles are spaced out and start far from small integers so that system
// colour brushes ((HBRUSH)(COLOR_x + 1)) and stray values never match one.
constexpr std::uintptr_t kFirstHandle = 0x00A10000;
constexpr std::uintptr_t kHandleStep = 4;

struct Table {
  std::unordered_map<std::uintptr_t, std::unique_ptr<GdiObject>> objects;
  std::uintptr_t next = kFirstHandle;
  HGDIOBJ stock[DEFAULT_GUI_FONT + 1] = {};
  HGDIOBJ defaultBitmap = nullptr;
};

HGDIOBJ AddStock(Table& table, std::unique_ptr<GdiObject> object) {
  object->stock = true;
  const std::uintptr_t key = table.next;
  table.next += kHandleStep;
  table.objects.emplace(key, std::move(object));
  return reinterpret_cast<HGDIOBJ>(key);
}

std::unique_ptr<GdiObject> MakeStockBrush(UINT style, COLORREF color) {
  auto brush = std::make_unique<BrushObject>();
  brush->style = style;
  brush->color = color;
  return brush;
}

std::unique_ptr<GdiObject> MakeStockPen(UINT style, COLORREF color) {
  auto pen = std::make_unique<PenObject>();
  pen->style = style;
  pen->width = 1;
  pen->color = color;
  return pen;
}

std::u16string WidenAscii(const char* text) {
  std::u16string out;
  for (; *text; ++text) out.push_back(static_cast<unsigned char>(*text));
  return out;
}

std::unique_ptr<FontObject> MakeFont(const LOGFONTA& source) {
  auto font = std::make_unique<FontObject>();
  font->lf = source;
  font->lf.lfFaceName[LF_FACESIZE - 1] = '\0';  // the caller's name may lack its terminator
  font->metrics = ComputeFontMetrics(font->lf);
  if (font->lf.lfFaceName[0] == '\0') {
    // An unnamed font gets a face from its pitch, as font mapping would pick one.
    const char* face = (font->metrics.pitchAndFamily & TMPF_FIXED_PITCH) ? "Mirel Sans" : "Mirel Mono";
    std::strncpy(font->lf.lfFaceName, face, LF_FACESIZE - 1);
    font->faceW = WidenAscii(face);
  } else {
    font->faceW = WidenAscii(font->lf.lfFaceName);
  }
  return font;
}

std::unique_ptr<GdiObject> MakeStockFont(LONG height, LONG width, LONG weight, BYTE charSet,
                                         BYTE pitchAndFamily, const char* face) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfWeight = weight;
  lf.lfCharSet = charSet;
  lf.lfPitchAndFamily = pitchAndFamily;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return MakeFont(lf);
}

Table& TheTable() {
  static Table* table = [] {
    auto* t = new Table;  // lives for the process, like the system's stock objects
    t->stock[WHITE_BRUSH] = AddStock(*t, MakeStockBrush(BS_SOLID, RGB(255, 255, 255)));
    t->stock[LTGRAY_BRUSH] = AddStock(*t, MakeStockBrush(BS_SOLID, RGB(192, 192, 192)));
    t->stock[GRAY_BRUSH] = AddStock(*t, MakeStockBrush(BS_SOLID, RGB(128, 128, 128)));
    t->stock[DKGRAY_BRUSH] = AddStock(*t, MakeStockBrush(BS_SOLID, RGB(64, 64, 64)));
    t->stock[BLACK_BRUSH] = AddStock(*t, MakeStockBrush(BS_SOLID, RGB(0, 0, 0)));
    t->stock[NULL_BRUSH] = AddStock(*t, MakeStockBrush(BS_NULL, 0));
    t->stock[WHITE_PEN] = AddStock(*t, MakeStockPen(PS_SOLID, RGB(255, 255, 255)));
    t->stock[BLACK_PEN] = AddStock(*t, MakeStockPen(PS_SOLID, RGB(0, 0, 0)));
    t->stock[NULL_PEN] = AddStock(*t, MakeStockPen(PS_NULL, 0));
    t->stock[OEM_FIXED_FONT] =
        AddStock(*t, MakeStockFont(12, 8, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN, "OEM Fixed"));
    t->stock[ANSI_FIXED_FONT] =
        AddStock(*t, MakeStockFont(13, 8, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "ANSI Fixed"));
    t->stock[ANSI_VAR_FONT] = AddStock(
        *t, MakeStockFont(13, 0, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "ANSI Variable"));
    t->stock[SYSTEM_FONT] =
        AddStock(*t, MakeStockFont(16, 0, FW_BOLD, DEFAULT_CHARSET, VARIABLE_PITCH | FF_SWISS, "System"));
    t->stock[DEVICE_DEFAULT_FONT] =
        AddStock(*t, MakeStockFont(16, 0, FW_BOLD, DEFAULT_CHARSET, VARIABLE_PITCH | FF_SWISS, "System"));
    t->stock[DEFAULT_PALETTE] = AddStock(*t, std::make_unique<GdiObject>(OBJ_PAL));
    t->stock[SYSTEM_FIXED_FONT] = AddStock(
        *t, MakeStockFont(16, 8, FW_NORMAL, DEFAULT_CHARSET, FIXED_PITCH | FF_MODERN, "System Fixed"));
    t->stock[DEFAULT_GUI_FONT] = AddStock(
        *t, MakeStockFont(-11, 0, FW_NORMAL, DEFAULT_CHARSET, VARIABLE_PITCH | FF_SWISS, "GUI Default"));
    auto bitmap = std::make_unique<BitmapObject>();
    bitmap->surface = Surface::Make(1, 1, true, kBlackPixel);
    t->defaultBitmap = AddStock(*t, std::move(bitmap));
    return t;
  }();
  return *table;
}

HBITMAP AddBitmap(std::shared_ptr<Surface> surface, bool dibSection = false) {
  if (!surface) return nullptr;
  auto bitmap = std::make_unique<BitmapObject>();
  bitmap->surface = std::move(surface);
  bitmap->dibSection = dibSection;
  return static_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

// A size a bitmap may have: positive and not absurdly large.
bool BitmapSizeOk(int cx, int cy) {
  return cx > 0 && cy > 0 && static_cast<std::int64_t>(cx) * cy <= kMaxSurfacePixels;
}

// Reads pixel rows in the layout of CreateBitmap (rows padded to 16 bits).
void LoadBitmapBits(Surface& surface, UINT bitCount, const void* bits) {
  const auto* bytes = static_cast<const BYTE*>(bits);
  const std::size_t rowBytes = ((static_cast<std::size_t>(surface.width) * bitCount + 15) / 16) * 2;
  for (int y = 0; y < surface.height; ++y) {
    const BYTE* row = bytes + rowBytes * static_cast<std::size_t>(y);
    for (int x = 0; x < surface.width; ++x) {
      std::uint32_t pixel = 0;
      switch (bitCount) {
        case 1:
          pixel = (row[x / 8] & (0x80 >> (x % 8))) ? kWhitePixel : kBlackPixel;
          break;
        case 24:
          pixel = row[x * 3] | (row[x * 3 + 1] << 8) | (static_cast<std::uint32_t>(row[x * 3 + 2]) << 16);
          break;
        case 32:
          pixel = row[x * 4] | (row[x * 4 + 1] << 8) | (static_cast<std::uint32_t>(row[x * 4 + 2]) << 16);
          break;
        default:
          return;  // other depths start black
      }
      surface.At(x, y) = surface.Store(pixel);
    }
  }
}

int CopyOut(const void* source, int size, int c, LPVOID pv) {
  if (!pv) return size;
  if (c <= 0) return 0;
  const int n = std::min(c, size);
  std::memcpy(pv, source, static_cast<std::size_t>(n));
  return n;
}

}  // namespace

std::recursive_mutex& Mutex() {
  static std::recursive_mutex* mutex = new std::recursive_mutex;
  return *mutex;
}

HGDIOBJ AddObject(std::unique_ptr<GdiObject> object) {
  Table& table = TheTable();
  const std::uintptr_t key = table.next;
  table.next += kHandleStep;
  table.objects.emplace(key, std::move(object));
  return reinterpret_cast<HGDIOBJ>(key);
}

GdiObject* FindObject(HGDIOBJ handle) {
  if (!handle) return nullptr;
  Table& table = TheTable();
  const auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == table.objects.end() ? nullptr : it->second.get();
}

FontObject* FindFont(HGDIOBJ handle) {
  return Find<FontObject>(handle, OBJ_FONT);
}
BrushObject* FindBrush(HGDIOBJ handle) {
  return Find<BrushObject>(handle, OBJ_BRUSH);
}
PenObject* FindPen(HGDIOBJ handle) {
  return Find<PenObject>(handle, OBJ_PEN);
}
BitmapObject* FindBitmap(HGDIOBJ handle) {
  return Find<BitmapObject>(handle, OBJ_BITMAP);
}
RegionObject* FindRegion(HGDIOBJ handle) {
  return Find<RegionObject>(handle, OBJ_REGION);
}

DcObject* FindDc(HDC hdc) {
  GdiObject* object = FindObject(hdc);
  return object && (object->type == OBJ_DC || object->type == OBJ_MEMDC) ? static_cast<DcObject*>(object)
                                                                         : nullptr;
}

void DestroyObject(HGDIOBJ handle) {
  Table& table = TheTable();
  const auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == table.objects.end() || it->second->stock) return;
  // Destroying may release other objects (a DC's selections); detach first.
  std::unique_ptr<GdiObject> doomed = std::move(it->second);
  table.objects.erase(it);
}

void AddRef(HGDIOBJ handle) {
  if (GdiObject* object = FindObject(handle)) ++object->refs;
}

void Release(HGDIOBJ handle) {
  GdiObject* object = FindObject(handle);
  if (!object || object->refs <= 0) return;
  if (--object->refs == 0 && object->deletePending) DestroyObject(handle);
}

int LiveObjectCount() {
  int count = 0;
  for (const auto& entry : TheTable().objects) {
    if (!entry.second->stock && !entry.second->permanent) ++count;
  }
  return count;
}

HGDIOBJ StockObject(int index) {
  if (index < 0 || index > DEFAULT_GUI_FONT) return nullptr;
  return TheTable().stock[index];
}

HBITMAP DefaultBitmap() {
  return static_cast<HBITMAP>(TheTable().defaultBitmap);
}

}  // namespace mrw_gdi

using namespace mrw_gdi;

HBRUSH MrwGdiCreatePermanentBrush(COLORREF color) {
  Lock lock(Mutex());
  auto brush = std::make_unique<BrushObject>();
  brush->color = color & 0xFFFFFF;
  brush->permanent = true;
  return static_cast<HBRUSH>(AddObject(std::move(brush)));
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
  if (!lplf) return nullptr;
  Lock lock(Mutex());
  return static_cast<HFONT>(AddObject(MakeFont(*lplf)));
}

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf) {
  if (!lplf) return nullptr;
  LOGFONTA lf{};
  std::memcpy(&lf, lplf, offsetof(LOGFONTA, lfFaceName));
  std::u16string face;
  for (int i = 0; i < LF_FACESIZE - 1 && lplf->lfFaceName[i]; ++i) {
    const WCHAR unit = lplf->lfFaceName[i];
    face.push_back(static_cast<char16_t>(unit));
    lf.lfFaceName[i] = unit < 0x80 ? static_cast<char>(unit) : '?';
  }
  Lock lock(Mutex());
  std::unique_ptr<FontObject> font = MakeFont(lf);
  if (!face.empty()) font->faceW = face;
  return static_cast<HFONT>(AddObject(std::move(font)));
}

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                         DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                         DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily,
                         LPCSTR pszFaceName) {
  LOGFONTA lf{};
  lf.lfHeight = cHeight;
  lf.lfWidth = cWidth;
  lf.lfEscapement = cEscapement;
  lf.lfOrientation = cOrientation;
  lf.lfWeight = cWeight;
  lf.lfItalic = static_cast<BYTE>(bItalic);
  lf.lfUnderline = static_cast<BYTE>(bUnderline);
  lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
  lf.lfCharSet = static_cast<BYTE>(iCharSet);
  lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
  lf.lfQuality = static_cast<BYTE>(iQuality);
  lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
  if (pszFaceName) {
    for (int i = 0; i < LF_FACESIZE - 1 && pszFaceName[i]; ++i) lf.lfFaceName[i] = pszFaceName[i];
  }
  return CreateFontIndirectA(&lf);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  LOGBRUSH lb{BS_SOLID, color, 0};
  return CreateBrushIndirect(&lb);
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush) {
  if (!plbrush) return nullptr;
  Lock lock(Mutex());
  auto brush = std::make_unique<BrushObject>();
  brush->style = plbrush->lbStyle;
  brush->color = plbrush->lbColor & 0xFFFFFF;
  switch (plbrush->lbStyle) {
    case BS_SOLID:
    case BS_NULL:
      break;
    case BS_HATCHED:
      if (plbrush->lbHatch > HS_DIAGCROSS) return nullptr;
      brush->hatch = plbrush->lbHatch;
      break;
    case BS_PATTERN: {
      const HBITMAP hbm = reinterpret_cast<HBITMAP>(plbrush->lbHatch);
      BitmapObject* bitmap = FindBitmap(hbm);
      if (!bitmap) return nullptr;
      // The brush keeps its own copy: the bitmap may be deleted afterwards.
      brush->pattern = std::make_shared<Surface>(*bitmap->surface);
      brush->pattern->bottomUp = false;
      for (int y = 0; y < bitmap->surface->height; ++y) {
        for (int x = 0; x < bitmap->surface->width; ++x) brush->pattern->At(x, y) = bitmap->surface->At(x, y);
      }
      brush->patternBitmap = hbm;
      break;
    }
    default:
      return nullptr;
  }
  return static_cast<HBRUSH>(AddObject(std::move(brush)));
}

HBRUSH WINAPI CreateHatchBrush(int iHatch, COLORREF color) {
  if (iHatch < HS_HORIZONTAL || iHatch > HS_DIAGCROSS) return nullptr;
  LOGBRUSH lb{BS_HATCHED, color, static_cast<ULONG_PTR>(iHatch)};
  return CreateBrushIndirect(&lb);
}

HBRUSH WINAPI CreatePatternBrush(HBITMAP hbm) {
  LOGBRUSH lb{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(hbm)};
  return CreateBrushIndirect(&lb);
}

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
  const int style = iStyle & 0x0F;
  if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
  Lock lock(Mutex());
  auto pen = std::make_unique<PenObject>();
  pen->style = static_cast<UINT>(style);
  pen->width = std::clamp(cWidth, 0, 4096);
  pen->color = color & 0xFFFFFF;
  return static_cast<HPEN>(AddObject(std::move(pen)));
}

HPEN WINAPI CreatePenIndirect(const LOGPEN* plpen) {
  if (!plpen) return nullptr;
  return CreatePen(static_cast<int>(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  if (!dc) return nullptr;
  // A memory DC makes bitmaps like the one it holds: a fresh memory DC
  // still holds its 1x1 monochrome bitmap.
  bool mono = false;
  if (dc->kind == DcKind::kMemory) {
    Surface* surface = SurfaceOf(*dc);
    mono = !surface || surface->mono;
  }
  if (cx < 0 || cy < 0) return nullptr;
  if (cx == 0 || cy == 0) return DefaultBitmap();
  if (!BitmapSizeOk(cx, cy)) return nullptr;
  return AddBitmap(Surface::Make(cx, cy, mono, kBlackPixel));
}

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
  if (nWidth < 0 || nHeight < 0 || nPlanes == 0 || nPlanes > 32 || nBitCount > 32) return nullptr;
  Lock lock(Mutex());
  if (nWidth == 0 || nHeight == 0) return DefaultBitmap();
  if (!BitmapSizeOk(nWidth, nHeight)) return nullptr;
  const UINT depth = nPlanes * nBitCount;
  std::shared_ptr<Surface> surface = Surface::Make(nWidth, nHeight, depth <= 1, kBlackPixel);
  if (lpBits && nPlanes == 1) LoadBitmapBits(*surface, nBitCount, lpBits);
  return AddBitmap(std::move(surface));
}

HBITMAP WINAPI CreateDIBSection(HDC /*hdc*/, const BITMAPINFO* pbmi, UINT usage, void** ppvBits,
                                HANDLE hSection, DWORD /*offset*/) {
  if (ppvBits) *ppvBits = nullptr;
  if (!pbmi || hSection || usage != DIB_RGB_COLORS) return nullptr;
  const BITMAPINFOHEADER& header = pbmi->bmiHeader;
  // Only the 32-bit layout the surfaces use themselves.
  if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biBitCount != 32 || header.biCompression != BI_RGB ||
      header.biHeight == INT32_MIN) {
    return nullptr;
  }
  const int cy = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  if (!BitmapSizeOk(header.biWidth, cy)) return nullptr;
  Lock lock(Mutex());
  std::shared_ptr<Surface> surface = Surface::Make(header.biWidth, cy, false, kBlackPixel);
  surface->bottomUp = header.biHeight > 0;
  void* bits = surface->pixels.data();
  HBITMAP hbm = AddBitmap(std::move(surface), true);
  if (hbm && ppvBits) *ppvBits = bits;
  return hbm;
}

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
  Lock lock(Mutex());
  auto region = std::make_unique<RegionObject>();
  region->region = RectSet(RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)});
  return static_cast<HRGN>(AddObject(std::move(region)));
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* lprect) {
  if (!lprect) return nullptr;
  return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

BOOL WINAPI SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom) {
  Lock lock(Mutex());
  RegionObject* region = FindRegion(hrgn);
  if (!region) return FALSE;
  region->region = RectSet(
      RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
  return TRUE;
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
  Lock lock(Mutex());
  RegionObject* region = FindRegion(hrgn);
  if (!region || !lprc) return ERROR;
  *lprc = region->region.Bounds();
  return region->region.Complexity();
}

HGDIOBJ WINAPI GetStockObject(int i) {
  Lock lock(Mutex());
  return StockObject(i);
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  Lock lock(Mutex());
  GdiObject* object = FindObject(ho);
  if (!object || object->type == OBJ_DC || object->type == OBJ_MEMDC) return FALSE;
  if (object->stock || object->permanent) return TRUE;
  if (object->deletePending) return FALSE;
  if (object->refs > 0) {
    // A bitmap in a DC cannot go; a selected pen, brush or font goes when
    // the last DC lets go of it.
    if (object->type == OBJ_BITMAP) return FALSE;
    object->deletePending = true;
    return TRUE;
  }
  DestroyObject(ho);
  return TRUE;
}

namespace {

int DescribeObject(HANDLE h, int c, LPVOID pv, bool wide) {
  Lock lock(Mutex());
  GdiObject* object = FindObject(h);
  if (!object) return 0;
  switch (object->type) {
    case OBJ_FONT: {
      const auto* font = static_cast<FontObject*>(object);
      if (!wide) return CopyOut(&font->lf, sizeof(LOGFONTA), c, pv);
      LOGFONTW lf{};
      std::memcpy(&lf, &font->lf, offsetof(LOGFONTW, lfFaceName));
      for (std::size_t i = 0; i < font->faceW.size() && i < LF_FACESIZE - 1; ++i) {
        lf.lfFaceName[i] = static_cast<WCHAR>(font->faceW[i]);
      }
      return CopyOut(&lf, sizeof(LOGFONTW), c, pv);
    }
    case OBJ_BRUSH: {
      const auto* brush = static_cast<BrushObject*>(object);
      LOGBRUSH lb{
          brush->style, brush->color,
          brush->style == BS_PATTERN ? reinterpret_cast<ULONG_PTR>(brush->patternBitmap) : brush->hatch};
      return CopyOut(&lb, sizeof(lb), c, pv);
    }
    case OBJ_PEN: {
      const auto* pen = static_cast<PenObject*>(object);
      LOGPEN lp{pen->style, POINT{pen->width, 0}, pen->color};
      return CopyOut(&lp, sizeof(lp), c, pv);
    }
    case OBJ_BITMAP: {
      const auto* bitmap = static_cast<BitmapObject*>(object);
      const Surface& surface = *bitmap->surface;
      BITMAP bm{};
      bm.bmWidth = surface.width;
      bm.bmHeight = surface.height;
      bm.bmPlanes = 1;
      bm.bmBitsPixel = surface.mono ? 1 : 32;
      bm.bmWidthBytes = surface.mono ? ((surface.width + 15) / 16) * 2 : surface.width * 4;
      bm.bmBits = bitmap->dibSection ? const_cast<std::uint32_t*>(surface.pixels.data()) : nullptr;
      return CopyOut(&bm, sizeof(bm), c, pv);
    }
    default:
      return 0;
  }
}

}  // namespace

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
  return DescribeObject(h, c, pv, false);
}
int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
  return DescribeObject(h, c, pv, true);
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
  Lock lock(Mutex());
  GdiObject* object = FindObject(h);  // one whose deletion waits for its DCs still counts
  return object ? object->type : 0;
}

BOOL WINAPI GdiFlush(void) {
  return TRUE;
}
