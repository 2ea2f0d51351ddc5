// Checks a screenshot of the sample host showing its bundled wordcount.c:
// the comment, preprocessor, string and keyword colours of the host's C
// definition appear, and in the order of the sample's lines (the opening
// comment block, then the #include lines, then the line that declares the
// format string after the keywords "static const char"), in a fixed-pitch face. Exit code 0 when
// every check holds, 1 when one fails, 2 when the file cannot be read.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "host_c_syntax.h"
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
  // ("#include <ctype.h>") and the comment line in Hangul (the fifth band of
  // the opening comment) each show several different letter shapes.
  int nTop = 0;
  int nBottom = 0;
  Check(NextBand(preprocessor, preprocessor.nFirstRow, &nTop, &nBottom) &&
            DistinctGlyphShapes(pixels, colors.pairs[MIREL_SYNTAX_PAIR_COMMENT2].crFore, nTop, nBottom) >= 6,
        "the #include line is drawn in letters, not boxes");
  bool bHangulBand = true;
  nBottom = comment.nFirstRow - 1;
  for (int nBand = 0; nBand < 5 && bHangulBand; ++nBand)
    bHangulBand = NextBand(comment, nBottom + 1, &nTop, &nBottom);
  Check(bHangulBand &&
            DistinctGlyphShapes(pixels, colors.pairs[MIREL_SYNTAX_PAIR_COMMENT1].crFore, nTop, nBottom) >= 6,
        "the Hangul comment line is drawn in glyphs, not boxes");

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
