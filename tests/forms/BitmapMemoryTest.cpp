// TBitmap reads a BMP from memory, as the pictures built into the program are held.

#include <gtest/gtest.h>

#include "forms/Bitmap.h"
#include "forms/Exceptions.h"
#include "platform/draw/ImageFiles.h"

TEST(BitmapMemory, ABmpLoadsAndADamagedOneRaisesAndKeepsThePicture) {
  TSurface source(3, 2, clSilver);
  source.SetPixel(2, 1, clLime);
  const std::vector<std::uint8_t> bytes = EncodeBmp(source);
  TBitmap bitmap;
  bitmap.LoadFromMemory(bytes.data(), bytes.size());
  ASSERT_EQ(bitmap.Width(), 3);
  ASSERT_EQ(bitmap.Height(), 2);
  EXPECT_EQ(bitmap.Surface().Pixel(2, 1), clLime);

  const struct {
    std::size_t size;
    const char* reason;
  } damaged[] = {
      {bytes.size() - 1, "truncated BMP"}, {20, "not a BMP file"}, {0, "not a BMP file"}};
  for (const auto& d : damaged) {
    try {
      bitmap.LoadFromMemory(bytes.data(), d.size);
      ADD_FAILURE() << d.size << " bytes loaded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.what(), std::string("Bitmap image is not valid: ") + d.reason);
    }
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Surface().Pixel(2, 1), clLime);
  }
}
