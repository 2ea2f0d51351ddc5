// Checks a print preview of the sample host's bundled wordcount.c: inside the
// margins there is text on many rows, grey paragraph numbers left of the
// text and at least one syntax colour; the margins are blank. Exit code 0
// when every check holds, 1 when one fails, 2 when the file cannot be read.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "host_bitmap_file.h"
#include "host_file_io.h"
#include "host_print_preview.h"

namespace {

using mirel_host::kPreviewHeight;
using mirel_host::kPreviewMargin;
using mirel_host::kPreviewWidth;

int g_nFailures = 0;

void Check(bool bHolds, const char* pszWhat) {
  std::printf("%s: %s\n", bHolds ? "ok" : "FAILED", pszWhat);
  if (!bHolds) ++g_nFailures;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s PREVIEW.bmp\n", argv[0]);
    return 2;
  }
  std::vector<char> raw;
  std::string strError;
  if (!mirel_host::ReadWholeFile(argv[1], &raw, &strError)) {
    std::fprintf(stderr, "%s\n", strError.c_str());
    return 2;
  }
  int w = 0, h = 0;
  std::vector<std::uint8_t> pixels;
  if (!mirel_host::DecodeBmp24(std::vector<std::uint8_t>(raw.begin(), raw.end()), &w, &h, &pixels)) {
    std::fprintf(stderr, "%s is no 24-bit BMP\n", argv[1]);
    return 2;
  }
  Check(w == kPreviewWidth && h == kPreviewHeight, "the picture has the page's size");
  if (w != kPreviewWidth || h != kPreviewHeight) return 1;
  const auto color = [&](int x, int y) {
    const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * w + x) * 4];
    return RGB(p[2], p[1], p[0]);
  };
  const COLORREF kWhite = RGB(255, 255, 255);
  const COLORREF kGrey = RGB(0x80, 0x80, 0x80);
  std::set<int> textRows;
  int nGreyLeft = 0;  // grey in the left quarter of the text area: the numbers
  int nColoured = 0;  // neither white, black nor grey: syntax colours
  int nInMargins = 0;
  int xFirstGrey = w;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const COLORREF c = color(x, y);
      if (c == kWhite) continue;
      const bool bInside =
          x >= kPreviewMargin && x < w - kPreviewMargin && y >= kPreviewMargin && y < h - kPreviewMargin;
      if (!bInside) {
        ++nInMargins;
        continue;
      }
      textRows.insert(y);
      if (c == kGrey && x < kPreviewMargin + w / 4) {
        ++nGreyLeft;
        if (x < xFirstGrey) xFirstGrey = x;
      }
      if (c != kGrey && c != RGB(0, 0, 0)) ++nColoured;
    }
  }
  Check(nInMargins == 0, "nothing is printed in the margins");
  Check(textRows.size() > 200, "text covers many pixel rows of the page");
  Check(nGreyLeft > 0 && xFirstGrey < kPreviewMargin + 20, "grey paragraph numbers start at the left margin");
  Check(nColoured > 0, "some text is in a syntax colour");
  return g_nFailures == 0 ? 0 : 1;
}
