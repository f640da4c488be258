#include "platform/draw/Color.h"

namespace {

// The classic Windows defaults, so that a system colour looks the same on every machine.
TColor SystemColor(unsigned index) {
  switch (index) {
    case 0x00:
      return 0xC8C8C8;  // scroll bar
    case 0x01:
      return 0x808000;  // desktop
    case 0x05:
      return clWhite;  // window background
    case 0x08:
      return clBlack;  // window text
    case 0x0D:
      return 0x800000;  // highlight (navy)
    case 0x0E:
      return clWhite;  // highlighted text
    case 0x0F:
      return clSilver;  // button face
    case 0x10:
      return clGray;  // button shadow
    case 0x11:
      return clGray;  // grey text
    case 0x12:
      return clBlack;  // button text
    case 0x14:
      return clWhite;  // button highlight
    default:
      return clBlack;
  }
}

}  // namespace

TColor ColorToRGB(TColor color) {
  if (color & 0x80000000u) return SystemColor(color & 0xFF);
  return color & 0xFFFFFF;
}
