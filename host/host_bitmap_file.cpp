#include "host_bitmap_file.h"

#include <cstdint>

namespace mirel_host {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint64_t kMaxFileSize = 0x7FFFFFFF;

void PutU16(std::vector<std::uint8_t>& out, std::size_t nAt, std::uint32_t nValue) {
  out[nAt] = static_cast<std::uint8_t>(nValue);
  out[nAt + 1] = static_cast<std::uint8_t>(nValue >> 8);
}

void PutU32(std::vector<std::uint8_t>& out, std::size_t nAt, std::uint32_t nValue) {
  PutU16(out, nAt, nValue & 0xFFFF);
  PutU16(out, nAt + 2, nValue >> 16);
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp24(int nWidth, int nHeight, const std::vector<std::uint8_t>& pixels) {
  if (nWidth <= 0 || nHeight <= 0) return {};
  const std::uint64_t nPixels = static_cast<std::uint64_t>(nWidth) * static_cast<std::uint64_t>(nHeight);
  if (pixels.size() != nPixels * 4) return {};
  // Each stored row holds 3 bytes per pixel, padded to a multiple of 4 bytes.
  const std::uint64_t nRowBytes = (static_cast<std::uint64_t>(nWidth) * 3 + 3) / 4 * 4;
  const std::uint64_t nImageBytes = nRowBytes * static_cast<std::uint64_t>(nHeight);
  const std::uint64_t nFileBytes = kFileHeaderSize + kInfoHeaderSize + nImageBytes;
  if (nFileBytes > kMaxFileSize) return {};

  std::vector<std::uint8_t> out(static_cast<std::size_t>(nFileBytes), 0);
  out[0] = 'B';
  out[1] = 'M';
  PutU32(out, 2, static_cast<std::uint32_t>(nFileBytes));
  PutU32(out, 10, kFileHeaderSize + kInfoHeaderSize);  // offset of the pixel rows
  PutU32(out, 14, kInfoHeaderSize);
  PutU32(out, 18, static_cast<std::uint32_t>(nWidth));
  PutU32(out, 22, static_cast<std::uint32_t>(nHeight));  // positive: bottom row stored first
  PutU16(out, 26, 1);                                    // planes
  PutU16(out, 28, 24);                                   // bits per pixel
  PutU32(out, 30, 0);                                    // BI_RGB
  PutU32(out, 34, static_cast<std::uint32_t>(nImageBytes));
  PutU32(out, 38, 2835);  // 72 dots per inch, in pixels per metre
  PutU32(out, 42, 2835);

  const std::size_t nWidthPx = static_cast<std::size_t>(nWidth);
  for (std::size_t y = 0; y < static_cast<std::size_t>(nHeight); ++y) {
    const std::size_t nSourceRow = static_cast<std::size_t>(nHeight) - 1 - y;
    const std::uint8_t* pSource = pixels.data() + nSourceRow * nWidthPx * 4;
    std::uint8_t* pTarget = out.data() + kFileHeaderSize + kInfoHeaderSize + y * nRowBytes;
    for (std::size_t x = 0; x < nWidthPx; ++x) {
      pTarget[x * 3] = pSource[x * 4];
      pTarget[x * 3 + 1] = pSource[x * 4 + 1];
      pTarget[x * 3 + 2] = pSource[x * 4 + 2];
    }
  }
  return out;
}

bool DecodeBmp24(const std::vector<std::uint8_t>& file, int* pnWidth, int* pnHeight,
                 std::vector<std::uint8_t>* pPixels) {
  constexpr std::size_t kHeaders = kFileHeaderSize + kInfoHeaderSize;
  const auto read32 = [&file](std::size_t nAt) {
    return static_cast<std::uint32_t>(file[nAt]) | static_cast<std::uint32_t>(file[nAt + 1]) << 8 |
           static_cast<std::uint32_t>(file[nAt + 2]) << 16 | static_cast<std::uint32_t>(file[nAt + 3]) << 24;
  };
  if (file.size() < kHeaders || file[0] != 'B' || file[1] != 'M') return false;
  const std::uint32_t nOffset = read32(10);
  const auto nWidth = static_cast<std::int32_t>(read32(18));
  const auto nRawHeight = static_cast<std::int32_t>(read32(22));
  if (read32(26) != ((24u << 16) | 1u) || read32(30) != 0) return false;
  if (nWidth <= 0 || nWidth > 65536 || nRawHeight == 0 || nRawHeight < -65536 || nRawHeight > 65536)
    return false;
  const bool bBottomUp = nRawHeight > 0;
  const std::int32_t nHeight = bBottomUp ? nRawHeight : -nRawHeight;
  const std::size_t nStride = (static_cast<std::size_t>(nWidth) * 3 + 3) / 4 * 4;
  if (nOffset > file.size() || (file.size() - nOffset) / nStride < static_cast<std::size_t>(nHeight))
    return false;
  pPixels->assign(static_cast<std::size_t>(nWidth) * static_cast<std::size_t>(nHeight) * 4, 0);
  for (std::int32_t y = 0; y < nHeight; ++y) {
    const std::size_t nRow = static_cast<std::size_t>(bBottomUp ? nHeight - 1 - y : y);
    const std::uint8_t* p = file.data() + nOffset + nRow * nStride;
    std::uint8_t* q = pPixels->data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(nWidth) * 4;
    for (std::int32_t x = 0; x < nWidth; ++x, p += 3, q += 4) {
      q[0] = p[0];
      q[1] = p[1];
      q[2] = p[2];
    }
  }
  *pnWidth = nWidth;
  *pnHeight = nHeight;
  return true;
}

}  // namespace mirel_host
