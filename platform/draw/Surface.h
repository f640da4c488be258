#pragma once
// A rectangle of 32-bit pixels held in memory: the image of a window, of an off-screen
// bitmap or of the headless screen. Pixels are stored as 0x00RRGGBB (the byte order X11
// TrueColor visuals use); the TColor-based calls convert, so callers never see the order.

#include <cstdint>
#include <vector>

#include "platform/draw/Color.h"
#include "platform/draw/Geometry.h"

class TSurface {
 public:
  TSurface() = default;
  // A new surface is white, like a fresh Windows bitmap.
  TSurface(int width, int height, TColor fill = clWhite);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
  TRect BoundsRect() const { return {0, 0, FWidth, FHeight}; }

  // Changes the size; pixels inside both the old and the new size are kept, new ones are
  // white. Negative sizes count as 0.
  void SetSize(int width, int height);

  // Reads a pixel as TColor; CLR_INVALID outside the surface.
  TColor Pixel(int x, int y) const;
  // Writes a pixel; ignored outside the surface. System colours are resolved.
  void SetPixel(int x, int y, TColor color);
  void Fill(TColor color);
  void FillRect(const TRect& rect, TColor color);  // clipped to the surface

  // Raw access for blitting and backends: row y holds Width() pixels 0x00RRGGBB.
  std::uint32_t* Row(int y) { return FPixels.data() + static_cast<std::size_t>(y) * FWidth; }
  const std::uint32_t* Row(int y) const {
    return FPixels.data() + static_cast<std::size_t>(y) * FWidth;
  }

  static std::uint32_t ToPixel(TColor color);  // resolves system colours
  static TColor FromPixel(std::uint32_t pixel);

 private:
  int FWidth = 0;
  int FHeight = 0;
  std::vector<std::uint32_t> FPixels;
};
