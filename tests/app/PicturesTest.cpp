// The four pictures built into the program.

#include <gtest/gtest.h>

#include <cmath>

#include "assets/Pictures.h"
#include "forms/Bitmap.h"

namespace {

std::uint32_t Field(const TPictureData& p, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p.Data[at + i];
  return v;
}

double Luminance(TColor c) {
  auto channel = [](int v) {
    double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c & 0xFF) + 0.7152 * channel((c >> 8) & 0xFF) +
         0.0722 * channel((c >> 16) & 0xFF);
}

}  // namespace

TEST(Pictures, EachIsAnUncompressed24BitBmpOfItsSize) {
  const struct {
    const TPictureData& picture;
    int width, height;
  } cases[] = {
      {TitlePicture, 256, 23},
      {CloseInactivePicture, 19, 19},
      {CloseActivePicture, 19, 19},
      {MainPicture, 34, 39},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Field(c.picture, 28, 2), 24u);  // bits per pixel
    EXPECT_EQ(Field(c.picture, 30, 4), 0u);   // no compression
    EXPECT_EQ(Field(c.picture, 10, 4), 54u);  // pixels right after the header: no palette
    TBitmap bitmap;
    bitmap.LoadFromMemory(c.picture.Data, c.picture.Size);
    EXPECT_EQ(bitmap.Width(), c.width);
    EXPECT_EQ(bitmap.Height(), c.height);
  }
}

TEST(Pictures, TheCaptionReadsOnTheTitleAndTheCloseButtonsDiffer) {
  TBitmap title;
  title.LoadFromMemory(TitlePicture.Data, TitlePicture.Size);
  // The yellow caption covers up to 217 of at least 318 pixels, rows 4 to 17 of the strip.
  const double yellow = Luminance(clYellow);
  for (int y = 4; y < 18; ++y)
    for (int x = 0; x < 256 * 217 / 318; ++x)
      ASSERT_GE((yellow + 0.05) / (Luminance(title.Surface().Pixel(x, y)) + 0.05), 4.5)
          << x << "," << y;

  TBitmap inactive, active;
  inactive.LoadFromMemory(CloseInactivePicture.Data, CloseInactivePicture.Size);
  active.LoadFromMemory(CloseActivePicture.Data, CloseActivePicture.Size);
  int differing = 0;
  for (int y = 0; y < 19; ++y)
    for (int x = 0; x < 19; ++x)
      differing += inactive.Surface().Pixel(x, y) != active.Surface().Pixel(x, y);
  EXPECT_GT(differing, 19 * 19 / 2);
}
