// The sample host's screenshot format: captured 32-bit pixels as a 24-bit BMP file.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host_bitmap_file.h"

namespace {

using mirel_host::EncodeBmp24;
using Pixels = std::vector<std::uint8_t>;

std::uint32_t U32At(const Pixels& file, std::size_t nAt) {
  return file[nAt] | file[nAt + 1] << 8 | file[nAt + 2] << 16 |
         static_cast<std::uint32_t>(file[nAt + 3]) << 24;
}

// A pixel whose colour encodes where it came from: blue = x, green = y, red = 200.
Pixels NumberedPixels(int nWidth, int nHeight) {
  Pixels pixels;
  for (int y = 0; y < nHeight; ++y) {
    for (int x = 0; x < nWidth; ++x) {
      pixels.insert(pixels.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 200, 0xEE});
    }
  }
  return pixels;
}

TEST(HostBitmapFile, HeaderDescribesA24BitBottomUpImage) {
  const Pixels file = EncodeBmp24(3, 2, NumberedPixels(3, 2));
  // 3 pixels of 3 bytes are padded to 12 bytes per row.
  ASSERT_EQ(file.size(), 14u + 40u + 12u * 2u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(U32At(file, 2), file.size());
  EXPECT_EQ(U32At(file, 10), 54u);
  EXPECT_EQ(U32At(file, 14), 40u);
  EXPECT_EQ(U32At(file, 18), 3u);
  EXPECT_EQ(U32At(file, 22), 2u);
  EXPECT_EQ(file[26] | file[27] << 8, 1);
  EXPECT_EQ(file[28] | file[29] << 8, 24);
  EXPECT_EQ(U32At(file, 30), 0u);
  EXPECT_EQ(U32At(file, 34), 24u);
}

TEST(HostBitmapFile, RowsAreStoredBottomFirstWithZeroPadding) {
  const int nWidth = 5;  // 15 bytes of pixels, 1 byte of padding per row
  const int nHeight = 3;
  const Pixels file = EncodeBmp24(nWidth, nHeight, NumberedPixels(nWidth, nHeight));
  const std::size_t nRowBytes = 16;
  ASSERT_EQ(file.size(), 54u + nRowBytes * nHeight);
  for (int nStored = 0; nStored < nHeight; ++nStored) {
    const std::size_t nRow = 54 + nStored * nRowBytes;
    const int y = nHeight - 1 - nStored;
    for (int x = 0; x < nWidth; ++x) {
      EXPECT_EQ(file[nRow + x * 3], x) << "blue at " << x << "," << y;
      EXPECT_EQ(file[nRow + x * 3 + 1], y) << "green at " << x << "," << y;
      EXPECT_EQ(file[nRow + x * 3 + 2], 200) << "red at " << x << "," << y;
    }
    EXPECT_EQ(file[nRow + 15], 0) << "padding of stored row " << nStored;
  }
}

TEST(HostBitmapFile, WrongSizesGiveNoFile) {
  EXPECT_TRUE(EncodeBmp24(0, 2, {}).empty());
  EXPECT_TRUE(EncodeBmp24(2, -1, {}).empty());
  EXPECT_TRUE(EncodeBmp24(2, 2, Pixels(15)).empty());  // one byte short of 2 x 2 pixels
  EXPECT_TRUE(EncodeBmp24(2, 2, Pixels(17)).empty());
  // Sizes whose file would not fit the format's 32-bit size field.
  EXPECT_TRUE(EncodeBmp24(0x10000, 0x10000, Pixels(4)).empty());
}

TEST(HostBitmapFile, DecodingGivesBackThePixelsAndRefusesOtherFiles) {
  for (int nWidth : {1, 5, 8}) {
    const Pixels pixels = NumberedPixels(nWidth, 3);
    int w = 0, h = 0;
    Pixels back;
    ASSERT_TRUE(mirel_host::DecodeBmp24(EncodeBmp24(nWidth, 3, pixels), &w, &h, &back)) << nWidth;
    EXPECT_EQ(w, nWidth);
    EXPECT_EQ(h, 3);
    for (size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(back[i], i % 4 == 3 ? 0 : pixels[i]) << i;
  }
  Pixels file = EncodeBmp24(4, 4, NumberedPixels(4, 4));
  int w = 0, h = 0;
  Pixels back;
  file.resize(file.size() - 1);  // the last row cut short
  EXPECT_FALSE(mirel_host::DecodeBmp24(file, &w, &h, &back));
  file = EncodeBmp24(4, 4, NumberedPixels(4, 4));
  file[28] = 32;  // not 24 bits per pixel
  EXPECT_FALSE(mirel_host::DecodeBmp24(file, &w, &h, &back));
  EXPECT_FALSE(mirel_host::DecodeBmp24(Pixels{'B', 'M'}, &w, &h, &back));
}

}  // namespace
