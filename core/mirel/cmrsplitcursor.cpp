// The split cursors' bit planes, drawn in code on a 32 x 32 grid. Each
// cursor is made at exactly the planes' size, whatever the system's cursor
// size is, so nothing is read beyond the planes. A pixel is transparent with
// AND 1 / XOR 0, black with 0 / 0 and white with 0 / 1.
#include "mirel/cmrsplitcursor.h"

#include <array>

namespace {

constexpr int kSide = 32;
constexpr int kRowBytes = kSide / 8;
using Plane = std::array<BYTE, kSide * kRowBytes>;

// A pixel grid: ' ' transparent, 'B' black (the outline), 'W' white.
using Grid = std::array<std::array<char, kSide>, kSide>;

Grid EmptyGrid() {
  Grid g;
  for (auto& row : g) row.fill(' ');
  return g;
}

void Put(Grid* g, int x, int y, char c) {
  if (x < 0 || y < 0 || x >= kSide || y >= kSide) return;
  (*g)[static_cast<size_t>(y)][static_cast<size_t>(x)] = c;
}

// A white shape with a black outline one pixel wide around it.
void Outline(Grid* g) {
  Grid copy = *g;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      if (copy[static_cast<size_t>(y)][static_cast<size_t>(x)] != 'W') continue;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= kSide || ny >= kSide) continue;
          if (copy[static_cast<size_t>(ny)][static_cast<size_t>(nx)] == ' ') Put(g, nx, ny, 'B');
        }
      }
    }
  }
}

// Two vertical strokes around x = cx (columns cx - 2 and cx + 1) from top to
// bottom, and arrows from them to the left and the right along y = cy.
void AddHorizontalArrows(Grid* g, int cx, int cy, int nHalfStroke) {
  for (int y = cy - nHalfStroke; y <= cy + nHalfStroke; ++y) {
    Put(g, cx - 2, y, 'W');
    Put(g, cx + 1, y, 'W');
  }
  for (int x = cx - 9; x <= cx + 8; ++x) Put(g, x, cy, 'W');
  for (int i = 1; i <= 3; ++i) {
    for (int y = cy - i; y <= cy + i; ++y) {
      Put(g, cx - 9 + i, y, 'W');
      Put(g, cx + 8 - i, y, 'W');
    }
  }
}

Grid Transposed(const Grid& g) {
  Grid t = EmptyGrid();
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x)
      t[static_cast<size_t>(x)][static_cast<size_t>(y)] = g[static_cast<size_t>(y)][static_cast<size_t>(x)];
  return t;
}

void ToPlanes(const Grid& g, Plane* pAnd, Plane* pXor) {
  pAnd->fill(0xFF);
  pXor->fill(0x00);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const char c = g[static_cast<size_t>(y)][static_cast<size_t>(x)];
      if (c == ' ') continue;
      const size_t i = static_cast<size_t>(y * kRowBytes + x / 8);
      const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
      (*pAnd)[i] = static_cast<BYTE>((*pAnd)[i] & ~bit);
      if (c == 'W') (*pXor)[i] = static_cast<BYTE>((*pXor)[i] | bit);
    }
  }
}

HCURSOR Build(const Grid& g, int xHot, int yHot) {
  Plane andPlane{}, xorPlane{};
  ToPlanes(g, &andPlane, &xorPlane);
  return CreateCursor(GetModuleHandleA(nullptr), xHot, yHot, kSide, kSide, andPlane.data(), xorPlane.data());
}

Grid ColumnGrid() {
  Grid g = EmptyGrid();
  AddHorizontalArrows(&g, 16, 15, 8);
  Outline(&g);
  return g;
}

Grid CrossGrid() {
  Grid g = EmptyGrid();
  AddHorizontalArrows(&g, 16, 15, 8);
  const Grid turned = Transposed(g);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x)
      if (turned[static_cast<size_t>(y)][static_cast<size_t>(x)] == 'W') Put(&g, x, y, 'W');
  Outline(&g);
  return g;
}

}  // namespace

CMrSplitCursor::CMrSplitCursor()
    : hColumn(Build(ColumnGrid(), 15, 15)),
      hCross(Build(CrossGrid(), 16, 15)),
      hRow(Build(Transposed(ColumnGrid()), 15, 15)) {}

CMrSplitCursor::~CMrSplitCursor() {
  for (HCURSOR h : {hColumn, hCross, hRow}) {
    if (h != nullptr) DestroyCursor(h);
  }
}
