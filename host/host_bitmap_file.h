// Encodes captured pixels as a Windows bitmap file (.bmp). No window is involved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mirel_host {

// Builds a 24-bit uncompressed BMP from nWidth x nHeight pixels given top row
// first, 4 bytes per pixel in blue, green, red, unused order (what GetDIBits
// writes for a 32-bit top-down DIB). Returns an empty vector when the sizes
// are not positive, the pixel count does not match or the file would exceed
// what the format's 32-bit fields can describe.
std::vector<std::uint8_t> EncodeBmp24(int nWidth, int nHeight, const std::vector<std::uint8_t>& pixels);

// Reads an uncompressed 24-bit BMP (bottom-up or top-down) back into the
// layout EncodeBmp24 takes. False for anything else or a truncated file.
bool DecodeBmp24(const std::vector<std::uint8_t>& file, int* pnWidth, int* pnHeight,
                 std::vector<std::uint8_t>* pPixels);

}  // namespace mirel_host
