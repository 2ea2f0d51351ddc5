// Printers for tests: a printer DC draws on a page-sized surface at the
// printer's own resolution, reports it through GetDeviceCaps, and keeps every
// page of a print job (StartDoc, StartPage, EndPage, EndDoc) with its drawing
// calls and pixels.
#include "gdi_internal.h"
#include "internal.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace mrw_gdi {
namespace {

struct Printer {
  int dpi;
  int width;
  int height;
};

std::string Upper(const char* psz) {
  std::string s(psz ? psz : "");
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::map<std::string, Printer>& Printers() {
  static auto* printers = new std::map<std::string, Printer>;
  return *printers;
}

DcObject* FindPrinterDc(HDC hdc) {
  DcObject* dc = FindDc(hdc);
  return dc && dc->kind == DcKind::kPrinter ? dc : nullptr;
}

int Millimetres(int pixels, int dpi) {
  return static_cast<int>((static_cast<std::int64_t>(pixels) * 254 + dpi * 5) /
                          (static_cast<std::int64_t>(dpi) * 10));
}

}  // namespace

HDC CreatePrinterDc(const char* pszDevice) {
  Lock lock(Mutex());
  const auto it = Printers().find(Upper(pszDevice));
  if (it == Printers().end()) return nullptr;
  const Printer& printer = it->second;
  auto page = std::make_shared<WindowSurface>();
  page->surface = Surface::Make(printer.width, printer.height, false, kWhitePixel);
  if (!page->surface) return nullptr;
  auto dc = std::make_unique<DcObject>(DcKind::kPrinter);
  dc->window = std::move(page);
  dc->printerDpi = printer.dpi;
  dc->state.font = static_cast<HFONT>(StockObject(SYSTEM_FONT));
  dc->state.brush = static_cast<HBRUSH>(StockObject(WHITE_BRUSH));
  dc->state.pen = static_cast<HPEN>(StockObject(BLACK_PEN));
  AddRef(dc->state.font);
  AddRef(dc->state.brush);
  AddRef(dc->state.pen);
  return static_cast<HDC>(AddObject(std::move(dc)));
}

int PrinterDeviceCaps(const DcObject& dc, int index) {
  const Surface* page = dc.window ? dc.window->surface.get() : nullptr;
  const int width = page ? page->width : 0;
  const int height = page ? page->height : 0;
  switch (index) {
    case TECHNOLOGY:
      return DT_RASPRINTER;
    case HORZRES:
    case PHYSICALWIDTH:
      return width;
    case VERTRES:
    case PHYSICALHEIGHT:
      return height;
    case HORZSIZE:
      return Millimetres(width, dc.printerDpi);
    case VERTSIZE:
      return Millimetres(height, dc.printerDpi);
    case LOGPIXELSX:
    case LOGPIXELSY:
      return dc.printerDpi;
    case BITSPIXEL:
      return 24;
    case PLANES:
      return 1;
    case NUMCOLORS:
      return -1;
    case RASTERCAPS:
      return RC_BITBLT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    default:  // no unprintable offsets, no refresh rate
      return 0;
  }
}

}  // namespace mrw_gdi

using namespace mrw_gdi;

void MrwTestAddPrinter(const char* pszName, int nDpi, int nPageWidth, int nPageHeight) {
  Lock lock(Mutex());
  if (!pszName || nDpi <= 0 || nPageWidth <= 0 || nPageHeight <= 0) return;
  Printers()[Upper(pszName)] = Printer{nDpi, nPageWidth, nPageHeight};
}

std::vector<MrwPrintedPage> MrwTestPrintedPages(HDC hdc) {
  Lock lock(Mutex());
  const DcObject* dc = FindPrinterDc(hdc);
  return dc ? dc->pages : std::vector<MrwPrintedPage>{};
}

int WINAPI StartDocA(HDC hdc, const DOCINFOA* lpdi) {
  Lock lock(Mutex());
  DcObject* dc = FindPrinterDc(hdc);
  if (!dc || !lpdi || dc->inDoc) return SP_ERROR;
  dc->inDoc = true;
  dc->pages.clear();
  return 1;  // the job number
}

int WINAPI StartPage(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindPrinterDc(hdc);
  if (!dc || !dc->inDoc || dc->inPage) return SP_ERROR;
  dc->inPage = true;
  Surface& page = *dc->window->surface;
  std::fill(page.pixels.begin(), page.pixels.end(), page.Store(kWhitePixel));
  dc->log.clear();
  return 1;
}

int WINAPI EndPage(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindPrinterDc(hdc);
  if (!dc || !dc->inPage) return SP_ERROR;
  dc->inPage = false;
  const Surface& page = *dc->window->surface;
  MrwPrintedPage printed;
  printed.log = dc->log;
  printed.width = page.width;
  printed.height = page.height;
  printed.pixels.reserve(page.pixels.size());
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x) printed.pixels.push_back(ColorFromPixel(page.At(x, y)));
  dc->pages.push_back(std::move(printed));
  return 1;
}

int WINAPI EndDoc(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindPrinterDc(hdc);
  if (!dc || !dc->inDoc || dc->inPage) return SP_ERROR;
  dc->inDoc = false;
  return 1;
}
