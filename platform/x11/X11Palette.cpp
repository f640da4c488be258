#include "platform/x11/X11Palette.h"

#include <limits>

TX11Palette::TX11Palette(::Display* dpy, Visual* visual, Colormap cmap, int depth)
    : FDpy(dpy), FCmap(cmap), FMapEntries(visual->map_entries) {
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
  FFull = true;
  return FCells[rgb] = Nearest(rgb);
}

// The colormap is full: the colour takes the nearest cell of the whole colormap. Frames and
// fills are painted before anything else and so got exact cells; what comes late (pictures,
// rare shades) is approximated. The nearest cell is shared through XAllocColor when it is
// read-only, so its owner cannot free it from under us.
unsigned long TX11Palette::Nearest(std::uint32_t rgb) {
  if (FAll.empty()) {
    FAll.resize(static_cast<std::size_t>(FMapEntries));
    for (int i = 0; i < FMapEntries; ++i) FAll[i].pixel = static_cast<unsigned long>(i);
    XQueryColors(FDpy, FCmap, FAll.data(), FMapEntries);
  }
  const XColor* best = nullptr;
  long bestDist = std::numeric_limits<long>::max();
  for (const XColor& c : FAll) {
    long dr = static_cast<long>(c.red >> 8) - ((rgb >> 16) & 0xFF);
    long dg = static_cast<long>(c.green >> 8) - ((rgb >> 8) & 0xFF);
    long db = static_cast<long>(c.blue >> 8) - (rgb & 0xFF);
    long dist = dr * dr + dg * dg + db * db;
    if (dist < bestDist) {
      bestDist = dist;
      best = &c;
    }
  }
  if (!best) return BlackPixel(FDpy, DefaultScreen(FDpy));
  XColor shared = *best;
  if (XAllocColor(FDpy, FCmap, &shared)) {
    FOwned.push_back(shared.pixel);
    return shared.pixel;
  }
  return best->pixel;
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
