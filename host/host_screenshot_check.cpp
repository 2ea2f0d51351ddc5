// Checks a screenshot of the sample host showing its bundled wordcount.c:
// the comment, preprocessor, string and keyword colours of the host's C
// definition appear, and in the order of the sample's lines (the opening
// comment block, then the #include lines, then the line that declares the
// format string after the keywords "static const char"), in a fixed-pitch face,
// and every Hangul syllable of the comment line in Hangul sits in its own
// cell, as the host's face measures the line. Exit code 0 when every check
// holds, 1 when one fails, 2 when the file cannot be read.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "host_c_syntax.h"
#include "host_code_font.h"
#include "host_file_io.h"

namespace {

struct CPixels {
  int nWidth = 0;
  int nHeight = 0;
  std::vector<COLORREF> colors;  // top row first
};

std::uint32_t Read32(const std::vector<char>& bytes, std::size_t nAt) {
  std::uint32_t n = 0;
  for (int i = 3; i >= 0; --i)
    n = (n << 8) | static_cast<std::uint8_t>(bytes[nAt + static_cast<std::size_t>(i)]);
  return n;
}

// Reads an uncompressed 24-bit BMP (bottom-up or top-down) as the host writes it.
bool DecodeBmp24(const std::vector<char>& bytes, CPixels* pOut) {
  constexpr std::size_t kHeaders = 54;
  if (bytes.size() < kHeaders || bytes[0] != 'B' || bytes[1] != 'M') return false;
  const std::uint32_t nOffset = Read32(bytes, 10);
  const auto nWidth = static_cast<std::int32_t>(Read32(bytes, 18));
  const auto nRawHeight = static_cast<std::int32_t>(Read32(bytes, 22));
  const std::uint32_t nPlanesBits = Read32(bytes, 26);
  const std::uint32_t nCompression = Read32(bytes, 30);
  if (nPlanesBits != ((24u << 16) | 1u) || nCompression != 0) return false;
  if (nWidth <= 0 || nWidth > 65536 || nRawHeight == 0 || nRawHeight < -65536 || nRawHeight > 65536)
    return false;
  const bool bBottomUp = nRawHeight > 0;
  const std::int32_t nHeight = bBottomUp ? nRawHeight : -nRawHeight;
  const std::size_t nStride = (static_cast<std::size_t>(nWidth) * 3 + 3) & ~static_cast<std::size_t>(3);
  if (nOffset > bytes.size() || (bytes.size() - nOffset) / nStride < static_cast<std::size_t>(nHeight))
    return false;
  pOut->nWidth = nWidth;
  pOut->nHeight = nHeight;
  pOut->colors.resize(static_cast<std::size_t>(nWidth) * static_cast<std::size_t>(nHeight));
  for (std::int32_t y = 0; y < nHeight; ++y) {
    const std::size_t nRow = static_cast<std::size_t>(bBottomUp ? nHeight - 1 - y : y);
    const char* p = bytes.data() + nOffset + nRow * nStride;
    for (std::int32_t x = 0; x < nWidth; ++x, p += 3) {
      pOut->colors[static_cast<std::size_t>(y) * static_cast<std::size_t>(nWidth) +
                   static_cast<std::size_t>(x)] =
          RGB(static_cast<BYTE>(p[2]), static_cast<BYTE>(p[1]), static_cast<BYTE>(p[0]));
    }
  }
  return true;
}

// Whether a pixel belongs to a glyph drawn in cr on the white background:
// smoothed edges blend the two, so a pixel counts when it lies on that blend
// and at least half way to cr.
bool IsInk(COLORREF pixel, COLORREF cr) {
  const int channels[3][2] = {{GetRValue(pixel), GetRValue(cr)},
                              {GetGValue(pixel), GetGValue(cr)},
                              {GetBValue(pixel), GetBValue(cr)}};
  int nSpan = 0;
  int nFromWhite = 0;
  for (const auto& channel : channels) {
    if (255 - channel[1] > nSpan) {
      nSpan = 255 - channel[1];
      nFromWhite = 255 - channel[0];
    }
  }
  if (nSpan == 0) return pixel == cr;
  if (2 * nFromWhite < nSpan) return false;
  for (const auto& channel : channels) {
    const int nExpected = 255 - (255 - channel[1]) * nFromWhite / nSpan;
    if (std::abs(channel[0] - nExpected) > 24) return false;
  }
  return true;
}

// Where the pixels of one colour lie: first and last row, and per row the
// leftmost and rightmost pixel (-1 where the row has none).
struct CExtent {
  int nFirstRow = -1;
  int nLastRow = -1;
  std::vector<int> left;
  std::vector<int> right;
  bool Found() const { return nFirstRow >= 0; }
};

CExtent ExtentOf(const CPixels& pixels, COLORREF cr) {
  CExtent e;
  e.left.assign(static_cast<std::size_t>(pixels.nHeight), -1);
  e.right.assign(static_cast<std::size_t>(pixels.nHeight), -1);
  for (int y = 0; y < pixels.nHeight; ++y) {
    for (int x = 0; x < pixels.nWidth; ++x) {
      if (!IsInk(pixels.colors[static_cast<std::size_t>(y) * static_cast<std::size_t>(pixels.nWidth) +
                               static_cast<std::size_t>(x)],
                 cr))
        continue;
      if (e.left[static_cast<std::size_t>(y)] < 0) e.left[static_cast<std::size_t>(y)] = x;
      e.right[static_cast<std::size_t>(y)] = x;
      if (e.nFirstRow < 0) e.nFirstRow = y;
      e.nLastRow = y;
    }
  }
  return e;
}

// The glyph shapes of one band of rows in one colour: the runs of columns
// that hold that colour, separated by empty columns, each described by its
// per-column pixel counts. A line drawn as missing-glyph boxes gives the same
// shape for every character; real letters give many different ones.
int DistinctGlyphShapes(const CPixels& pixels, COLORREF cr, int nTop, int nBottom) {
  std::vector<std::vector<int>> shapes;
  std::vector<int> current;
  auto flush = [&]() {
    if (current.empty()) return;
    bool bKnown = false;
    for (const auto& shape : shapes) bKnown = bKnown || shape == current;
    if (!bKnown) shapes.push_back(current);
    current.clear();
  };
  for (int x = 0; x < pixels.nWidth; ++x) {
    int nCount = 0;
    for (int y = nTop; y <= nBottom; ++y)
      if (IsInk(pixels.colors[static_cast<std::size_t>(y) * static_cast<std::size_t>(pixels.nWidth) +
                              static_cast<std::size_t>(x)],
                cr))
        ++nCount;
    if (nCount == 0)
      flush();
    else
      current.push_back(nCount);
  }
  flush();
  return static_cast<int>(shapes.size());
}

// The rows of the first band (consecutive rows holding the colour) at or below nFrom.
bool NextBand(const CExtent& e, int nFrom, int* pnTop, int* pnBottom) {
  int y = nFrom;
  while (y <= e.nLastRow && e.left[static_cast<std::size_t>(y)] < 0) ++y;
  if (y > e.nLastRow || y < 0) return false;
  *pnTop = y;
  while (y <= e.nLastRow && e.left[static_cast<std::size_t>(y)] >= 0) ++y;
  *pnBottom = y - 1;
  return true;
}

// The rightmost pixel of the colour in rows nTop to nBottom.
int RightmostOf(const CExtent& e, int nTop, int nBottom) {
  int nRight = -1;
  for (int y = nTop; y <= nBottom; ++y) nRight = std::max(nRight, e.right[static_cast<std::size_t>(y)]);
  return nRight;
}

int g_nFailures = 0;

void Check(bool bHolds, const std::string& strWhat) {
  std::printf("%s: %s\n", bHolds ? "ok" : "FAILED", strWhat.c_str());
  if (!bHolds) ++g_nFailures;
}

// The ink of some text in the host's face in one colour: its pixels as
// offsets from the point it is drawn at, and its leftmost and rightmost
// ink column.
struct CGlyphInk {
  std::vector<POINT> ink;
  int nLeft = INT_MAX;
  int nRight = INT_MIN;
};

// Measures text in the host's code face and draws it on a white bitmap, as
// the host's control draws it on its white background.
class CCodeFaceCanvas {
 public:
  CCodeFaceCanvas() {
    HDC hScreen = GetDC(nullptr);
    const LOGFONTA lf = mirel_host::CodeFont(hScreen != nullptr ? GetDeviceCaps(hScreen, LOGPIXELSY) : 96);
    if (hScreen != nullptr) ReleaseDC(nullptr, hScreen);
    m_hFont = CreateFontIndirectA(&lf);
    m_hdc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    if (m_hdc != nullptr) m_hBitmap = CreateDIBSection(m_hdc, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    m_pBits = static_cast<const std::uint32_t*>(pBits);
    if (m_hFont == nullptr || m_hBitmap == nullptr) return;
    m_hOldBitmap = SelectObject(m_hdc, m_hBitmap);
    m_hOldFont = SelectObject(m_hdc, m_hFont);
  }
  CCodeFaceCanvas(const CCodeFaceCanvas&) = delete;
  CCodeFaceCanvas& operator=(const CCodeFaceCanvas&) = delete;
  ~CCodeFaceCanvas() {
    if (m_hOldFont != nullptr) SelectObject(m_hdc, m_hOldFont);
    if (m_hOldBitmap != nullptr) SelectObject(m_hdc, m_hOldBitmap);
    if (m_hBitmap != nullptr) DeleteObject(m_hBitmap);
    if (m_hdc != nullptr) DeleteDC(m_hdc);
    if (m_hFont != nullptr) DeleteObject(m_hFont);
  }

  bool Ready() const { return m_hOldFont != nullptr && m_pBits != nullptr; }

  int Extent(const WCHAR* p, int n) const {
    SIZE size = {};
    return GetTextExtentPoint32W(m_hdc, p, n, &size) ? static_cast<int>(size.cx) : 0;
  }

  int Height() const {
    TEXTMETRICW tm = {};
    return GetTextMetricsW(m_hdc, &tm) ? static_cast<int>(tm.tmHeight) : 0;
  }

  CGlyphInk Ink(const WCHAR* p, int n, COLORREF cr) const {
    const RECT rc = {0, 0, kWidth, kHeight};
    FillRect(m_hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(m_hdc, TRANSPARENT);
    SetTextColor(m_hdc, cr);
    TextOutW(m_hdc, kPad, kPad, p, n);
    GdiFlush();
    CGlyphInk glyph;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const std::uint32_t px = m_pBits[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)];
        if (!IsInk(RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF), cr)) continue;
        glyph.ink.push_back(POINT{x - kPad, y - kPad});
        glyph.nLeft = std::min(glyph.nLeft, x - kPad);
        glyph.nRight = std::max(glyph.nRight, x - kPad);
      }
    }
    return glyph;
  }

 private:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 64;
  static constexpr int kPad = 16;
  HFONT m_hFont = nullptr;
  HDC m_hdc = nullptr;
  HBITMAP m_hBitmap = nullptr;
  const std::uint32_t* m_pBits = nullptr;
  HGDIOBJ m_hOldBitmap = nullptr;
  HGDIOBJ m_hOldFont = nullptr;
};

// Where some ink is drawn in the picture: of the origins in [xFrom, xTo] x
// [yFrom, yTo], the one at which most of its pixels are ink of cr, the one
// nearest xNear among equals. False when none covers 9 in 10 of them.
bool FindInk(const CPixels& pixels, const CGlyphInk& glyph, COLORREF cr, int xFrom, int xTo, int yFrom,
             int yTo, int xNear, POINT* pOrigin) {
  if (glyph.ink.empty()) return false;
  std::size_t nBest = 0;
  for (int oy = yFrom; oy <= yTo; ++oy) {
    for (int ox = xFrom; ox <= xTo; ++ox) {
      std::size_t nCovered = 0;
      for (const POINT& pt : glyph.ink) {
        const int x = ox + pt.x;
        const int y = oy + pt.y;
        if (x < 0 || y < 0 || x >= pixels.nWidth || y >= pixels.nHeight) continue;
        if (IsInk(pixels.colors[static_cast<std::size_t>(y) * static_cast<std::size_t>(pixels.nWidth) +
                                static_cast<std::size_t>(x)],
                  cr))
          ++nCovered;
      }
      const bool bNearer = nCovered == nBest && std::abs(ox - xNear) < std::abs(pOrigin->x - xNear);
      if (nCovered > nBest || (nBest > 0 && bNearer)) {
        nBest = nCovered;
        *pOrigin = POINT{ox, oy};
      }
    }
  }
  return nBest * 10 >= glyph.ink.size() * 9;
}

// Rows of the sample's opening comment: the first, two of Latin text and
// the one in Hangul after them.
const WCHAR kFirstRow[] = L"/* wordcount.c - counts";
const WCHAR kThirdRow[] = L" * A small sample file for";
const WCHAR kFourthRow[] = L" * LF newlines, so the host";
const WCHAR kHangulRow[] = L" * \uC778\uC0AC\uB9D0: \uC548\uB155\uD558\uC138\uC694, Mirel!";

template <std::size_t N>
CGlyphInk InkOf(const CCodeFaceCanvas& canvas, const WCHAR (&text)[N], COLORREF cr) {
  return canvas.Ink(text, static_cast<int>(N - 1), cr);
}

// Where the Hangul row's text starts: its x is that of the first row, found
// next to the comment's first ink, and its y follows the third and fourth
// rows at their pitch. The rows before it hold only Latin letters, which sit
// where the face puts them in any picture of the sample.
bool FindHangulRow(const CPixels& pixels, const CExtent& comment, COLORREF cr, const CCodeFaceCanvas& canvas,
                   POINT* pRow) {
  const int h = canvas.Height();
  if (!comment.Found() || h <= 0) return false;
  int xInk = INT_MAX;
  for (int y = comment.nFirstRow; y <= std::min(comment.nLastRow, comment.nFirstRow + h); ++y) {
    const int x = comment.left[static_cast<std::size_t>(y)];
    if (x >= 0) xInk = std::min(xInk, x);
  }
  const CGlyphInk first = InkOf(canvas, kFirstRow, cr);
  POINT at1 = {};
  POINT at3 = {};
  POINT at4 = {};
  const int x1 = xInk - first.nLeft;
  if (!FindInk(pixels, first, cr, x1 - 2, x1 + 2, comment.nFirstRow - h, comment.nFirstRow, x1, &at1) ||
      !FindInk(pixels, InkOf(canvas, kThirdRow, cr), cr, at1.x, at1.x, at1.y + 1, at1.y + 4 * h, at1.x,
               &at3) ||
      !FindInk(pixels, InkOf(canvas, kFourthRow, cr), cr, at1.x, at1.x, at3.y + 1, at3.y + 2 * h, at1.x,
               &at4))
    return false;
  *pRow = POINT{at1.x, 2 * at4.y - at3.y};
  return true;
}

// Each Hangul syllable of the Hangul row (text starting at row) has its ink
// start inside its own cell, the cells being where the host's face puts the
// characters of the row, and no two syllables' ink overlap.
void CheckHangulCells(const CPixels& pixels, COLORREF cr, const CCodeFaceCanvas& canvas, POINT row) {
  struct CPlaced {
    int nIndex;
    int nInkLeft;
    int nInkRight;
  };
  std::vector<CPlaced> placed;
  std::string strOutside;
  const int nLength = static_cast<int>(sizeof kHangulRow / sizeof kHangulRow[0]) - 1;
  for (int i = 0; i < nLength; ++i) {
    if (kHangulRow[i] < 0xAC00 || kHangulRow[i] > 0xD7A3) continue;
    const int nCellLeft = row.x + canvas.Extent(kHangulRow, i);
    const int nCellRight = row.x + canvas.Extent(kHangulRow, i + 1);
    const int nCell = std::max(nCellRight - nCellLeft, 1);
    const CGlyphInk glyph = canvas.Ink(kHangulRow + i, 1, cr);
    POINT at = {};
    char szWhere[96];
    if (!FindInk(pixels, glyph, cr, nCellLeft - 4 * nCell, nCellRight + nCell, row.y, row.y, nCellLeft,
                 &at)) {
      std::snprintf(szWhere, sizeof szWhere, " character %d is not near its cell %d..%d;", i, nCellLeft,
                    nCellRight);
      strOutside += szWhere;
      continue;
    }
    const CPlaced p = {i, at.x + glyph.nLeft, at.x + glyph.nRight};
    if (p.nInkLeft < nCellLeft || p.nInkLeft >= nCellRight) {
      std::snprintf(szWhere, sizeof szWhere, " character %d starts at x %d, its cell is %d..%d;", i,
                    p.nInkLeft, nCellLeft, nCellRight);
      strOutside += szWhere;
    }
    placed.push_back(p);
  }
  Check(strOutside.empty(), "each Hangul syllable's ink starts inside its own cell" + strOutside);
  std::string strOverlaps;
  for (std::size_t a = 0; a < placed.size(); ++a) {
    for (std::size_t b = a + 1; b < placed.size(); ++b) {
      if (placed[a].nInkRight < placed[b].nInkLeft || placed[b].nInkRight < placed[a].nInkLeft) continue;
      char szPair[96];
      std::snprintf(szPair, sizeof szPair, " characters %d (x %d..%d) and %d (x %d..%d);", placed[a].nIndex,
                    placed[a].nInkLeft, placed[a].nInkRight, placed[b].nIndex, placed[b].nInkLeft,
                    placed[b].nInkRight);
      strOverlaps += szPair;
    }
  }
  Check(strOverlaps.empty(), "no two Hangul syllables' ink overlap" + strOverlaps);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mirelhost_shotcheck SCREENSHOT.bmp\n");
    return 2;
  }
  std::vector<char> bytes;
  std::string strError;
  CPixels pixels;
  if (!mirel_host::ReadWholeFile(argv[1], &bytes, &strError) || !DecodeBmp24(bytes, &pixels)) {
    std::fprintf(stderr, "mirelhost_shotcheck: cannot read %s as a 24-bit BMP %s\n", argv[1],
                 strError.c_str());
    return 2;
  }
  const MIREL_SYNTAX_COLORS& colors = mirel_host::CSyntaxColors();
  const CExtent comment = ExtentOf(pixels, colors.pairs[MIREL_SYNTAX_PAIR_COMMENT1].crFore);
  const CExtent preprocessor = ExtentOf(pixels, colors.pairs[MIREL_SYNTAX_PAIR_COMMENT2].crFore);
  const CExtent string = ExtentOf(pixels, colors.pairs[MIREL_SYNTAX_PAIR_STRING1].crFore);
  const CExtent keyword =
      ExtentOf(pixels, colors.pairs[MIREL_SYNTAX_PAIR_KEYWORD1 + mirel_host::kCKeywordList].crFore);

  Check(comment.Found(), "the comment colour is shown");
  Check(preprocessor.Found(), "the preprocessor colour is shown");
  Check(string.Found(), "the string colour is shown");
  Check(keyword.Found(), "the keyword colour is shown");
  if (g_nFailures > 0) return 1;

  // Legible glyphs, not a row of identical boxes: the first #include line
  // ("#include <ctype.h>") and the comment line in Hangul (the fifth row of
  // the opening comment) each show several different letter shapes.
  int nTop = 0;
  int nBottom = 0;
  Check(NextBand(preprocessor, preprocessor.nFirstRow, &nTop, &nBottom) &&
            DistinctGlyphShapes(pixels, colors.pairs[MIREL_SYNTAX_PAIR_COMMENT2].crFore, nTop, nBottom) >= 6,
        "the #include line is drawn in letters, not boxes");
  const COLORREF crComment = colors.pairs[MIREL_SYNTAX_PAIR_COMMENT1].crFore;
  const CCodeFaceCanvas canvas;
  POINT hangulRow = {};
  const bool bHangulRow = canvas.Ready() && FindHangulRow(pixels, comment, crComment, canvas, &hangulRow);
  Check(bHangulRow, "the opening comment's rows start where the host's face puts them");
  const int nHangulBottom = std::min(static_cast<int>(hangulRow.y) + canvas.Height(), pixels.nHeight) - 1;
  Check(bHangulRow && DistinctGlyphShapes(pixels, crComment, hangulRow.y, nHangulBottom) >= 6,
        "the Hangul comment line is drawn in glyphs, not boxes");
  if (bHangulRow) CheckHangulCells(pixels, crComment, canvas, hangulRow);

  // A fixed-pitch face: "#include <ctype.h>" and "#include <stdio.h>" have
  // as many characters, so they end at the same column; in a proportional
  // face "ctype" and "stdio" differ in width.
  // Bands of a row or two are the loose ends of descenders.
  auto nextLine = [&preprocessor](int nFrom, int* pnTop, int* pnBottom) {
    while (NextBand(preprocessor, nFrom, pnTop, pnBottom)) {
      if (*pnBottom - *pnTop >= 2) return true;
      nFrom = *pnBottom + 1;
    }
    return false;
  };
  int nSecondTop = 0;
  int nSecondBottom = 0;
  const bool bTwoIncludes =
      nextLine(preprocessor.nFirstRow, &nTop, &nBottom) && nextLine(nBottom + 1, &nSecondTop, &nSecondBottom);
  Check(bTwoIncludes && std::abs(RightmostOf(preprocessor, nTop, nBottom) -
                                 RightmostOf(preprocessor, nSecondTop, nSecondBottom)) <= 1,
        "the code is drawn in a fixed-pitch face");

  Check(comment.nLastRow < preprocessor.nFirstRow, "the opening comment lies above the #include lines");
  Check(preprocessor.nLastRow < string.nFirstRow, "the #include lines lie above the format string");
  Check(preprocessor.nLastRow < keyword.nFirstRow, "no keyword is coloured before the #include lines end");
  // The line "static const char report_format[] = "...";": its keywords and
  // its string share rows, the keywords to the left.
  bool bSharedRow = false;
  bool bKeywordsLeft = true;
  for (int y = string.nFirstRow; y <= string.nLastRow; ++y) {
    const auto i = static_cast<std::size_t>(y);
    if (string.left[i] < 0 || keyword.right[i] < 0) continue;
    bSharedRow = true;
    if (keyword.right[i] >= string.left[i]) bKeywordsLeft = false;
  }
  Check(bSharedRow, "the format string shares its line with keywords");
  Check(bSharedRow && bKeywordsLeft, "the keywords of that line stand left of the string");
  return g_nFailures == 0 ? 0 : 1;
}
