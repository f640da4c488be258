#pragma once
// The message vocabulary shared by every layer: window handles, message numbers and the
// record the loop hands out. The numbers are the classic ones so that code written for
// them (hidden socket windows, WM_USER-based private messages) reads the same here.

#include <cstdint>
#include <functional>

using HWND = std::uint32_t;  // 0 means "no window"
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_FONTCHANGE = 0x001D;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_USER = 0x0400;

constexpr WPARAM HTCAPTION = 2;

inline constexpr std::uint16_t LOWORD(LPARAM v) {
  return static_cast<std::uint16_t>(v & 0xFFFF);
}
inline constexpr std::uint16_t HIWORD(LPARAM v) {
  return static_cast<std::uint16_t>((v >> 16) & 0xFFFF);
}
inline constexpr LPARAM MAKELONG(std::uint16_t lo, std::uint16_t hi) {
  return static_cast<LPARAM>(static_cast<std::uint32_t>(lo) |
                             (static_cast<std::uint32_t>(hi) << 16));
}

struct TMsg {
  HWND hwnd = 0;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// A window procedure: what a window does with a message sent or dispatched to it.
using TWndProc = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;
