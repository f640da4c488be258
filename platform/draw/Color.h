#pragma once
// Colours as the program names them: TColor is 0x00BBGGRR for plain colours; values with the
// top bit set name a system colour (clGrayText = 0x80000011) and are turned into a plain
// colour by ColorToRGB before they touch a pixel.

#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

// System colours (top bit set, low byte = the Windows COLOR_* index).
constexpr TColor clScrollBar = 0x80000000;
constexpr TColor clBackground = 0x80000001;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clGrayText = 0x80000011;
constexpr TColor clBtnText = 0x80000012;
constexpr TColor clHighlight = 0x8000000D;
constexpr TColor clHighlightText = 0x8000000E;

// Returned by pixel reads outside a surface (Windows CLR_INVALID).
constexpr TColor CLR_INVALID = 0xFFFFFFFF;

// A plain 0x00BBGGRR colour for any TColor: system colours take the classic Windows
// defaults (clBtnFace silver, clGrayText grey, clWindow white, clWindowText black, ...).
TColor ColorToRGB(TColor color);

inline constexpr TColor RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
inline constexpr std::uint8_t GetRValue(TColor c) {
  return c & 0xFF;
}
inline constexpr std::uint8_t GetGValue(TColor c) {
  return (c >> 8) & 0xFF;
}
inline constexpr std::uint8_t GetBValue(TColor c) {
  return (c >> 16) & 0xFF;
}
