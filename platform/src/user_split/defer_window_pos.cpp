// Batches of window moves: BeginDeferWindowPos, DeferWindowPos and
// EndDeferWindowPos. A batch collects SetWindowPos requests and applies them
// in order at the end; one bad request drops the whole batch, as documented.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

namespace {

struct DeferredMove {
  HWND hWnd;
  HWND hWndInsertAfter;
  int x, y, cx, cy;
  UINT uFlags;
};

struct Batch {
  std::vector<DeferredMove> moves;
};

// Live batches; a handle is the address of its batch.
std::set<Batch*>& Batches() {
  static std::set<Batch*> batches;
  return batches;
}

Batch* FindBatch(HDWP h) {
  auto* p = reinterpret_cast<Batch*>(h);
  return Batches().count(p) != 0 ? p : nullptr;
}

void Drop(Batch* p) {
  Batches().erase(p);
  delete p;
}

}  // namespace

extern "C" {

HDWP WINAPI BeginDeferWindowPos(int nNumWindows) {
  if (nNumWindows < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto batch = std::make_unique<Batch>();
  batch->moves.reserve(static_cast<size_t>(std::min(nNumWindows, 1024)));
  Batch* p = batch.release();
  Batches().insert(p);
  return reinterpret_cast<HDWP>(p);
}

HDWP WINAPI DeferWindowPos(HDWP hWinPosInfo, HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy,
                           UINT uFlags) {
  Batch* p = FindBatch(hWinPosInfo);
  if (p == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!IsWindow(hWnd)) {
    Drop(p);
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  p->moves.push_back(DeferredMove{hWnd, hWndInsertAfter, x, y, cx, cy, uFlags});
  return hWinPosInfo;
}

BOOL WINAPI EndDeferWindowPos(HDWP hWinPosInfo) {
  Batch* p = FindBatch(hWinPosInfo);
  if (p == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::vector<DeferredMove> moves = std::move(p->moves);
  Drop(p);
  BOOL bAll = TRUE;
  for (const DeferredMove& m : moves) {
    // A window destroyed by an earlier move's messages is skipped.
    if (!IsWindow(m.hWnd) || !SetWindowPos(m.hWnd, m.hWndInsertAfter, m.x, m.y, m.cx, m.cy, m.uFlags))
      bAll = FALSE;
  }
  return bAll;
}

}  // extern "C"
