#pragma once
// Turns 0x00RRGGBB pixels into the values of an X visual and back. TrueColor visuals are
// computed from their channel masks; on colormapped visuals (8-bit PseudoColor) each colour
// gets a read-only cell of exactly that colour, allocated on first use, and once the colormap
// is full a colour takes the nearest cell of the colormap.

#include <X11/Xlib.h>

#include <cstdint>
#include <map>
#include <vector>

class TX11Palette {
 public:
  TX11Palette(::Display* dpy, Visual* visual, Colormap cmap, int depth);
  ~TX11Palette();
  TX11Palette(const TX11Palette&) = delete;
  TX11Palette& operator=(const TX11Palette&) = delete;

  unsigned long ToNative(std::uint32_t rgb);
  std::uint32_t FromNative(unsigned long pixel);
  bool Mapped() const { return !FTrueColor; }

 private:
  struct Channel {
    int shift = 0;
    int bits = 0;
  };
  static Channel ChannelOf(unsigned long mask);
  unsigned long Nearest(std::uint32_t rgb);

  ::Display* FDpy;
  Colormap FCmap;
  int FMapEntries;
  bool FTrueColor;
  Channel FRed, FGreen, FBlue;
  bool FFull = false;
  std::map<std::uint32_t, unsigned long> FCells;      // colour -> cell
  std::map<unsigned long, std::uint32_t> FCellColor;  // cell -> colour it really holds
  std::vector<unsigned long> FOwned;                  // cells to free at the end
  std::vector<XColor> FAll;                           // the whole colormap, read once it is full
};
