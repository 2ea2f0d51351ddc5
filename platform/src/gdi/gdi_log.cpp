// The drawing record kept for tests, and the hooks that read it and the
// pixels of window surfaces.
#include "gdi_internal.h"

#include <algorithm>

namespace mrw_gdi {
namespace {

// A long-running program must not grow without bound: past this many
// entries the older half of a record is dropped.
constexpr std::size_t kMaxLogEntries = 100000;

void Append(std::vector<MrwDrawOp>& log, const MrwDrawOp& op) {
  if (log.size() >= kMaxLogEntries) log.erase(log.begin(), log.begin() + kMaxLogEntries / 2);
  log.push_back(op);
}

}  // namespace

void Record(DcObject& dc, MrwDrawOp op) {
  const DcState& state = dc.state;
  op.font = state.font;
  op.textColor = state.textColor;
  op.bkColor = state.bkColor;
  op.bkMode = state.bkMode;
  op.textAlign = state.textAlign;
  op.charExtra = state.charExtra;
  if (const PenObject* pen = FindPen(state.pen)) {
    op.penColor = pen->color;
    op.penStyle = static_cast<int>(pen->style);
    op.penWidth = pen->width;
  }
  // FillRect and FrameRect name their brush; everything else uses the DC's.
  if (op.kind != MrwDrawKind::kFillRect && op.kind != MrwDrawKind::kFrameRect) {
    if (const BrushObject* brush = FindBrush(state.brush)) {
      op.brushColor = brush->color;
      op.brushNull = brush->style == BS_NULL;
    }
  }
  op.origin = POINT{state.viewportOrg.x - state.windowOrg.x, state.viewportOrg.y - state.windowOrg.y};
  RECT box{0, 0, 0, 0};
  bool first = true;
  for (const RECT& rc : PaintableRects(dc)) {
    box = first ? rc
                : RECT{std::min(box.left, rc.left), std::min(box.top, rc.top), std::max(box.right, rc.right),
                       std::max(box.bottom, rc.bottom)};
    first = false;
  }
  op.clip = box;
  if (dc.window) Append(dc.window->log, op);
  Append(dc.log, op);
}

}  // namespace mrw_gdi

using namespace mrw_gdi;

std::vector<MrwDrawOp> MrwTestDrawLog(HDC hdc) {
  Lock lock(Mutex());
  DcObject* dc = FindDc(hdc);
  return dc ? dc->log : std::vector<MrwDrawOp>{};
}

std::vector<MrwDrawOp> MrwTestDrawLog(HWND hWnd) {
  Lock lock(Mutex());
  std::shared_ptr<WindowSurface> window = FindWindowSurface(hWnd);
  return window ? window->log : std::vector<MrwDrawOp>{};
}

void MrwTestClearDrawLog(HDC hdc) {
  Lock lock(Mutex());
  if (DcObject* dc = FindDc(hdc)) dc->log.clear();
}

void MrwTestClearDrawLog(HWND hWnd) {
  Lock lock(Mutex());
  if (std::shared_ptr<WindowSurface> window = FindWindowSurface(hWnd)) window->log.clear();
}

COLORREF MrwTestWindowPixel(HWND hWnd, int x, int y) {
  Lock lock(Mutex());
  std::shared_ptr<WindowSurface> window = FindWindowSurface(hWnd);
  if (!window || !window->surface->Contains(x, y)) return CLR_INVALID;
  return ColorFromPixel(window->surface->At(x, y));
}

bool MrwTestWindowSurfaceSize(HWND hWnd, int* pcx, int* pcy) {
  Lock lock(Mutex());
  std::shared_ptr<WindowSurface> window = FindWindowSurface(hWnd);
  if (!window) return false;
  if (pcx) *pcx = window->surface->width;
  if (pcy) *pcy = window->surface->height;
  return true;
}

bool MrwTestSaveWindowImage(HWND hWnd, const char* path) {
  Lock lock(Mutex());
  std::shared_ptr<WindowSurface> window = FindWindowSurface(hWnd);
  return window && SaveSurface(*window->surface, path);
}

bool MrwTestSaveBitmap(HBITMAP hbm, const char* path) {
  Lock lock(Mutex());
  BitmapObject* bitmap = FindBitmap(hbm);
  return bitmap && SaveSurface(*bitmap->surface, path);
}

int MrwTestLiveGdiObjects() {
  Lock lock(Mutex());
  return LiveObjectCount();
}
