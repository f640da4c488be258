#include "platform/x11/X11Palette.h"

#include <limits>

TX11Palette::TX11Palette(::Display* dpy, Visual* visual, Colormap cmap, int depth)
    : FDpy(dpy), FCmap(cmap) {
  // DirectColor is treated as TrueColor: its default colormap is a ramp in practice.
  FTrueColor = depth > 8 && (visual->c_class == TrueColor || visual->c_class == DirectColor);
  if (FTrueColor) {
    FRed = ChannelOf(visual->red_mask);
    FGreen = ChannelOf(visual->green_mask);
    FBlue = ChannelOf(visual->blue_mask);
  }
}

TX11Palette::~TX11Palette() {
  if (!FOwned.empty()) XFreeColors(FDpy, FCmap, FOwned.data(), static_cast<int>(FOwned.size()), 0);
}

TX11Palette::Channel TX11Palette::ChannelOf(unsigned long mask) {
  Channel c;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++c.shift;
  }
  while (mask & 1) {
    mask >>= 1;
    ++c.bits;
  }
  return c;
}

unsigned long TX11Palette::ToNative(std::uint32_t rgb) {
  rgb &= 0xFFFFFF;
  if (FTrueColor) {
    auto part = [&](unsigned v, const Channel& c) -> unsigned long {
      if (c.bits >= 8) return static_cast<unsigned long>(v) << (c.shift + c.bits - 8);
      return static_cast<unsigned long>(v >> (8 - c.bits)) << c.shift;
    };
    return part((rgb >> 16) & 0xFF, FRed) | part((rgb >> 8) & 0xFF, FGreen) |
           part(rgb & 0xFF, FBlue);
  }
  auto it = FCells.find(rgb);
  if (it != FCells.end()) return it->second;
  XColor color{};
  color.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 257);
  color.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 257);
  color.blue = static_cast<unsigned short>((rgb & 0xFF) * 257);
  color.flags = DoRed | DoGreen | DoBlue;
  if (!FFull && XAllocColor(FDpy, FCmap, &color)) {
    FOwned.push_back(color.pixel);
    FCellColor[color.pixel] =
        ((color.red >> 8) << 16) | ((color.green >> 8) << 8) | (color.blue >> 8);
    return FCells[rgb] = color.pixel;
  }
  // The colormap is full: take the nearest colour among the cells we hold, so frames and
  // fills (allocated first, as they are painted first) stay exact and only the blended
  // edges of glyphs are approximated.
  FFull = true;
  unsigned long best = BlackPixel(FDpy, DefaultScreen(FDpy));
  long bestDist = std::numeric_limits<long>::max();
  for (const auto& [pixel, held] : FCellColor) {
    long dr = static_cast<long>((held >> 16) & 0xFF) - ((rgb >> 16) & 0xFF);
    long dg = static_cast<long>((held >> 8) & 0xFF) - ((rgb >> 8) & 0xFF);
    long db = static_cast<long>(held & 0xFF) - (rgb & 0xFF);
    long dist = dr * dr + dg * dg + db * db;
    if (dist < bestDist) {
      bestDist = dist;
      best = pixel;
    }
  }
  return FCells[rgb] = best;
}

std::uint32_t TX11Palette::FromNative(unsigned long pixel) {
  if (FTrueColor) {
    auto part = [&](const Channel& c) -> std::uint32_t {
      unsigned long v = (pixel >> c.shift) & ((1ul << c.bits) - 1);
      if (c.bits >= 8) return static_cast<std::uint32_t>(v >> (c.bits - 8));
      return static_cast<std::uint32_t>(c.bits ? v * 255 / ((1ul << c.bits) - 1) : 0);
    };
    return (part(FRed) << 16) | (part(FGreen) << 8) | part(FBlue);
  }
  auto it = FCellColor.find(pixel);
  if (it != FCellColor.end()) return it->second;
  XColor color{};
  color.pixel = pixel;
  XQueryColor(FDpy, FCmap, &color);
  std::uint32_t rgb = ((color.red >> 8) << 16) | ((color.green >> 8) << 8) | (color.blue >> 8);
  FCellColor[pixel] = rgb;
  return rgb;
}
