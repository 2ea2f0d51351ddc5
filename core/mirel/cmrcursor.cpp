// The built cursors: their bit planes and hot spots.
//
// The planes are 32 x 32 pixels. The cursor is made at exactly that size
// whatever the system's cursor size is: the system scales it, and nothing
// reads beyond the planes. A pixel is transparent with AND 1 / XOR 0, black
// with 0 / 0, white with 0 / 1 and inverts the screen with 1 / 1.
#include "mirel/cmrcursor.h"

#include <array>
#include <cstdint>

namespace {

constexpr int kCursorSide = 32;
constexpr int kRowBytes = kCursorSide / 8;
using PlaneRows = std::array<std::uint32_t, kCursorSide>;  // bit 31 of a row is its leftmost pixel
using PlaneBytes = std::array<BYTE, kCursorSide * kRowBytes>;

// The arrow with a dotted rectangle below it (rows 0 to 18 of both drag
// cursors).
constexpr int kDragSharedRows = 19;

constexpr PlaneRows kDragCopyAnd = {
    0xffffffff, 0x9fffffff, 0x8fffffff, 0x87ffffff, 0x83ffffff, 0x81ffffff, 0x80ffffff, 0x807fffff,
    0x803fffff, 0x801fffff, 0x800fffff, 0x80ffffff, 0x887fffff, 0x987fffff, 0xbc3fffff, 0xfc3fffff,
    0xfe1fffff, 0xf001ffff, 0xf001ffff, 0xf3d9ffff, 0xf3c01fff, 0xf3c01fff, 0xf3c01fff, 0xf0001fff,
    0xf0001fff, 0xffc01fff, 0xffc01fff, 0xffc01fff, 0xffc01fff, 0xffffffff, 0xffffffff, 0xffffffff};
constexpr PlaneRows kDragCopyXor = {
    0x00000000, 0x00000000, 0x20000000, 0x30000000, 0x38000000, 0x3c000000, 0x3e000000, 0x3f000000,
    0x3f800000, 0x3fc00000, 0x3e000000, 0x3e000000, 0x2b000000, 0x03000000, 0x01800000, 0x01800000,
    0x00c00000, 0x04d40000, 0x0a0a0000, 0x04000000, 0x081fc000, 0x041dc000, 0x081dc000, 0x051dc000,
    0x0a904000, 0x001dc000, 0x001dc000, 0x001fc000, 0x00000000, 0x00000000, 0x00000000, 0x00000000};
// The drag-move cursor's own rows from row 19 on: the rest of the rectangle.
constexpr std::array<std::uint32_t, kCursorSide - kDragSharedRows> kDragMoveAndTail = {
    0xf3f9ffff, 0xf3f9ffff, 0xf3f9ffff, 0xf3f9ffff, 0xf001ffff, 0xf001ffff, 0xffffffff,
    0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff};
constexpr std::array<std::uint32_t, kCursorSide - kDragSharedRows> kDragMoveXorTail = {
    0x04040000, 0x08020000, 0x04040000, 0x08020000, 0x05540000, 0x0aaa0000, 0x00000000,
    0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000};
// The margin arrow points up and to the right; rows from 21 on are empty.
constexpr PlaneRows kMarginAnd = {
    0xffffffff, 0xfffffff9, 0xfffffff1, 0xffffffe1, 0xffffffc1, 0xffffff81, 0xffffff01, 0xfffffe01,
    0xfffffc01, 0xfffff801, 0xfffff001, 0xffffe001, 0xfffffe01, 0xfffffe01, 0xfffffc11, 0xfffffc39,
    0xfffff87d, 0xfffff87f, 0xfffff0ff, 0xfffff0ff, 0xfffff9ff, 0xffffffff, 0xffffffff, 0xffffffff,
    0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff};
constexpr PlaneRows kMarginXor = {
    0x00000000, 0x00000000, 0x00000004, 0x0000000c, 0x0000001c, 0x0000003c, 0x0000007c, 0x000000fc,
    0x000001fc, 0x000003fc, 0x000007fc, 0x000000fc, 0x000000dc, 0x000000cc, 0x00000184, 0x00000180,
    0x00000300, 0x00000300, 0x00000600, 0x00000600, 0x00000000, 0x00000000, 0x00000000, 0x00000000,
    0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000};

constexpr POINT kDragHotSpot{1, 1};
constexpr POINT kMarginHotSpot{31, 1};

// Rows of the drag-copy cursor up to row 19, then the drag-move rows.
constexpr PlaneRows DragMoveRows(const PlaneRows& shared, const std::array<std::uint32_t, 13>& tail) {
  PlaneRows rows{};
  for (int i = 0; i < kCursorSide; ++i) {
    rows[static_cast<size_t>(i)] =
        i < kDragSharedRows ? shared[static_cast<size_t>(i)] : tail[static_cast<size_t>(i - kDragSharedRows)];
  }
  return rows;
}

constexpr PlaneRows kDragMoveAnd = DragMoveRows(kDragCopyAnd, kDragMoveAndTail);
constexpr PlaneRows kDragMoveXor = DragMoveRows(kDragCopyXor, kDragMoveXorTail);

// Rows to bytes, the most significant bit first (the leftmost pixel).
constexpr PlaneBytes ToBytes(const PlaneRows& rows) {
  PlaneBytes bytes{};
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t b = 0; b < kRowBytes; ++b) {
      bytes[r * kRowBytes + b] = static_cast<BYTE>(rows[r] >> (8 * (kRowBytes - 1 - b)));
    }
  }
  return bytes;
}

HCURSOR BuildCursor(POINT hotSpot, const PlaneRows& andRows, const PlaneRows& xorRows) {
  const PlaneBytes andPlane = ToBytes(andRows);
  const PlaneBytes xorPlane = ToBytes(xorRows);
  return CreateCursor(GetModuleHandleA(nullptr), hotSpot.x, hotSpot.y, kCursorSide, kCursorSide,
                      andPlane.data(), xorPlane.data());
}

}  // namespace

CMrCursor::~CMrCursor() {
  // The arrow is the system's own and is not destroyed.
  for (HCURSOR h : {hDragCopy, hMargin, hDragMove}) {
    if (h != nullptr) DestroyCursor(h);
  }
}

HCURSOR CMrCursor::GetArrowCursor() {
  if (hArrow == nullptr) hArrow = LoadCursorA(nullptr, IDC_ARROW);
  return hArrow;
}

HCURSOR CMrCursor::GetDragCopyCursor() {
  if (hDragCopy == nullptr) CreateDragCopyCursor();
  return hDragCopy;
}

HCURSOR CMrCursor::GetMarginCursor() {
  if (hMargin == nullptr) CreateMarginCursor();
  return hMargin;
}

HCURSOR CMrCursor::GetDragMoveCursor() {
  if (hDragMove == nullptr) CreateDragMoveCursor();
  return hDragMove;
}

void CMrCursor::CreateDragCopyCursor() {
  hDragCopy = BuildCursor(kDragHotSpot, kDragCopyAnd, kDragCopyXor);
}

void CMrCursor::CreateMarginCursor() {
  hMargin = BuildCursor(kMarginHotSpot, kMarginAnd, kMarginXor);
}

void CMrCursor::CreateDragMoveCursor() {
  hDragMove = BuildCursor(kDragHotSpot, kDragMoveAnd, kDragMoveXor);
}
