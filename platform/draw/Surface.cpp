#include "platform/draw/Surface.h"

#include <algorithm>

TSurface::TSurface(int width, int height, TColor fill) {
  FWidth = std::max(width, 0);
  FHeight = std::max(height, 0);
  FPixels.assign(static_cast<std::size_t>(FWidth) * FHeight, ToPixel(fill));
}

void TSurface::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == FWidth && height == FHeight) return;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, ToPixel(clWhite));
  int keepW = std::min(width, FWidth);
  int keepH = std::min(height, FHeight);
  for (int y = 0; y < keepH; ++y)
    std::copy_n(Row(y), keepW, pixels.data() + static_cast<std::size_t>(y) * width);
  FPixels.swap(pixels);
  FWidth = width;
  FHeight = height;
}

TColor TSurface::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return CLR_INVALID;
  return FromPixel(Row(y)[x]);
}

void TSurface::SetPixel(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
  Row(y)[x] = ToPixel(color);
}

void TSurface::Fill(TColor color) {
  std::fill(FPixels.begin(), FPixels.end(), ToPixel(color));
}

void TSurface::FillRect(const TRect& rect, TColor color) {
  TRect r = rect.Intersect(BoundsRect());
  std::uint32_t p = ToPixel(color);
  for (int y = r.Top; y < r.Bottom; ++y) std::fill(Row(y) + r.Left, Row(y) + r.Right, p);
}

std::uint32_t TSurface::ToPixel(TColor color) {
  TColor c = ColorToRGB(color);
  return (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

TColor TSurface::FromPixel(std::uint32_t pixel) {
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}
