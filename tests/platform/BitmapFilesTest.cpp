// BMP reading and writing, and PNG writing, checked through the bytes on disk.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/draw/ImageFiles.h"

namespace {

std::string TempPath(const char* name) {
  return std::string(::testing::TempDir()) + "/" + std::to_string(::getpid()) + "_" + name;
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

}  // namespace

TEST(BitmapFiles, Bmp24RoundTripKeepsEveryPixelWithRowPadding) {
  // Width 5: three bytes a pixel make 15, padded to 16 per row.
  TSurface s(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) s.SetPixel(x, y, RGB(x * 50, y * 100, 255 - x));
  const std::string path = TempPath("round.bmp");
  ASSERT_TRUE(SaveBmpFile(path, s));
  std::vector<std::uint8_t> bytes = ReadAll(path);
  ASSERT_EQ(bytes.size(), 54u + 16 * 3);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[28], 24);  // bits per pixel
  // Bottom-up: the first stored row is the image's last; blue, green, red order.
  EXPECT_EQ(bytes[54], 255);
  EXPECT_EQ(bytes[55], 200);
  EXPECT_EQ(bytes[56], 0);
  TSurface back;
  ASSERT_TRUE(LoadBmpFile(path, back));
  ASSERT_EQ(back.Width(), 5);
  ASSERT_EQ(back.Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(back.Pixel(x, y), s.Pixel(x, y)) << x << "," << y;
  std::remove(path.c_str());
}

TEST(BitmapFiles, TopDownAndPaletteImagesLoad) {
  TSurface s(2, 2);
  s.SetPixel(0, 0, clRed);
  s.SetPixel(1, 1, clBlue);
  std::vector<std::uint8_t> bytes = EncodeBmp(s);
  // Flip to top-down: negative height and the rows swapped.
  Put32(bytes, 22, static_cast<std::uint32_t>(-2));
  std::vector<std::uint8_t> topDown = bytes;
  std::copy(bytes.begin() + 54, bytes.begin() + 62, topDown.begin() + 62);
  std::copy(bytes.begin() + 62, bytes.begin() + 70, topDown.begin() + 54);
  TSurface back;
  ASSERT_TRUE(LoadBmpData(topDown.data(), topDown.size(), back));
  EXPECT_EQ(back.Pixel(0, 0), clRed);
  EXPECT_EQ(back.Pixel(1, 1), clBlue);

  // A 1x1 8-bit image with a two-entry palette whose pixel is entry 1.
  std::vector<std::uint8_t> pal(54 + 8 + 4, 0);
  pal[0] = 'B';
  pal[1] = 'M';
  Put32(pal, 10, 62);
  Put32(pal, 14, 40);
  Put32(pal, 18, 1);
  Put32(pal, 22, 1);
  pal[26] = 1;
  pal[28] = 8;
  Put32(pal, 46, 2);
  pal[58] = 0x10;  // entry 1: blue 0x10, green 0x20, red 0x30
  pal[59] = 0x20;
  pal[60] = 0x30;
  pal[62] = 1;
  ASSERT_TRUE(LoadBmpData(pal.data(), pal.size(), back));
  EXPECT_EQ(back.Pixel(0, 0), RGB(0x30, 0x20, 0x10));
}

TEST(BitmapFiles, DamagedFilesAreRefusedAndLeaveTheTargetAlone) {
  TSurface target(3, 3, clLime);
  std::string error;
  EXPECT_FALSE(LoadBmpFile(TempPath("missing.bmp"), target, &error));
  EXPECT_EQ(error, "File not found");
  std::vector<std::uint8_t> bytes = EncodeBmp(TSurface(40, 40));
  std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + 200);
  EXPECT_FALSE(LoadBmpData(cut.data(), cut.size(), target, &error));
  EXPECT_EQ(error, "truncated BMP");
  std::vector<std::uint8_t> huge = bytes;
  Put32(huge, 18, 0x7FFFFFFF);  // a width whose pixel data cannot be in the file
  EXPECT_FALSE(LoadBmpData(huge.data(), huge.size(), target));
  std::vector<std::uint8_t> rle = bytes;
  Put32(rle, 30, 1);
  EXPECT_FALSE(LoadBmpData(rle.data(), rle.size(), target, &error));
  EXPECT_FALSE(LoadBmpData(bytes.data(), 10, target));
  EXPECT_EQ(target.Width(), 3);
  EXPECT_EQ(target.Pixel(1, 1), clLime);
}

TEST(BitmapFiles, PngHasSignatureAndSize) {
  TSurface s(7, 3, clYellow);
  const std::string path = TempPath("shot.png");
  ASSERT_TRUE(SavePngFile(path, s));
  std::vector<std::uint8_t> b = ReadAll(path);
  ASSERT_GT(b.size(), 33u);
  const std::uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(sig, sig + 8, b.begin()));
  EXPECT_EQ(b[19], 7);  // IHDR width, big-endian
  EXPECT_EQ(b[23], 3);
  std::remove(path.c_str());
  std::string error;
  EXPECT_FALSE(SavePngFile("/nonexistent-dir/x.png", s, &error));
  EXPECT_FALSE(SavePngFile(path, TSurface(), &error));
}
