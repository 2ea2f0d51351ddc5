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

}  // namespace mirel_host
