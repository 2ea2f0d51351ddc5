// Image files of surfaces for tests and screenshots: PNG (uncompressed
// deflate blocks inside a zlib stream, with their CRC-32 and Adler-32) or a
// 24-bit bottom-up BMP.
#include "gdi_internal.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <fstream>

namespace mrw_gdi {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::array<std::uint32_t, 256>& CrcTable() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = CrcTable()[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t Adler32(const Bytes& data) {
  constexpr std::uint32_t kModulus = 65521;
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : data) {
    a = (a + byte) % kModulus;
    b = (b + a) % kModulus;
  }
  return (b << 16) | a;
}

void PutBigEndian32(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutLittleEndian(Bytes& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutChunk(Bytes& out, const char type[4], const Bytes& data) {
  PutBigEndian32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBigEndian32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks.
Bytes StoredZlib(const Bytes& raw) {
  constexpr std::size_t kMaxBlock = 65535;
  Bytes out{0x78, 0x01};  // deflate, 32K window, no preset dictionary, check bits
  std::size_t offset = 0;
  do {
    const std::size_t size = std::min(kMaxBlock, raw.size() - offset);
    const bool last = offset + size == raw.size();
    out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00
    PutLittleEndian(out, static_cast<std::uint32_t>(size), 2);
    PutLittleEndian(out, static_cast<std::uint32_t>(~size & 0xFFFF), 2);
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
               raw.begin() + static_cast<std::ptrdiff_t>(offset + size));
    offset += size;
  } while (offset < raw.size());
  PutBigEndian32(out, Adler32(raw));
  return out;
}

Bytes EncodePng(const Surface& surface) {
  Bytes raw;
  raw.reserve(static_cast<std::size_t>(surface.height) * (1 + static_cast<std::size_t>(surface.width) * 3));
  for (int y = 0; y < surface.height; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < surface.width; ++x) {
      const std::uint32_t pixel = surface.At(x, y);
      raw.push_back(static_cast<std::uint8_t>(pixel >> 16));
      raw.push_back(static_cast<std::uint8_t>(pixel >> 8));
      raw.push_back(static_cast<std::uint8_t>(pixel));
    }
  }
  Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBigEndian32(header, static_cast<std::uint32_t>(surface.width));
  PutBigEndian32(header, static_cast<std::uint32_t>(surface.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter set, no interlace
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", StoredZlib(raw));
  PutChunk(png, "IEND", Bytes{});
  return png;
}

Bytes EncodeBmp(const Surface& surface) {
  const std::size_t stride = (static_cast<std::size_t>(surface.width) * 3 + 3) & ~static_cast<std::size_t>(3);
  const std::size_t imageSize = stride * static_cast<std::size_t>(surface.height);
  constexpr std::uint32_t kHeadersSize = 14 + 40;
  Bytes out;
  out.reserve(kHeadersSize + imageSize);
  out.push_back('B');
  out.push_back('M');
  PutLittleEndian(out, static_cast<std::uint32_t>(kHeadersSize + imageSize), 4);
  PutLittleEndian(out, 0, 4);  // reserved
  PutLittleEndian(out, kHeadersSize, 4);
  PutLittleEndian(out, 40, 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(surface.width), 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(surface.height), 4);  // positive: bottom-up
  PutLittleEndian(out, 1, 2);
  PutLittleEndian(out, 24, 2);
  PutLittleEndian(out, BI_RGB, 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(imageSize), 4);
  PutLittleEndian(out, 3780, 4);  // 96 dots per inch in dots per metre
  PutLittleEndian(out, 3780, 4);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, 0, 4);
  for (int y = surface.height - 1; y >= 0; --y) {
    const std::size_t rowStart = out.size();
    for (int x = 0; x < surface.width; ++x) {
      const std::uint32_t pixel = surface.At(x, y);
      out.push_back(static_cast<std::uint8_t>(pixel));
      out.push_back(static_cast<std::uint8_t>(pixel >> 8));
      out.push_back(static_cast<std::uint8_t>(pixel >> 16));
    }
    out.resize(rowStart + stride, 0);
  }
  return out;
}

bool EndsWithNoCase(const char* text, const char* suffix) {
  const std::size_t length = std::strlen(text), suffixLength = std::strlen(suffix);
  if (length < suffixLength) return false;
  for (std::size_t i = 0; i < suffixLength; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[length - suffixLength + i])) != suffix[i]) return false;
  }
  return true;
}

}  // namespace

bool SaveSurface(const Surface& surface, const char* path) {
  if (!path || !*path || surface.width <= 0 || surface.height <= 0) return false;
  const Bytes data = EndsWithNoCase(path, ".png") ? EncodePng(surface) : EncodeBmp(surface);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(file);
}

}  // namespace mrw_gdi
