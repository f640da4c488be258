#pragma once
// Input and window notifications as a display backend hands them to the program. They are
// delivered on the loop's thread, from the message loop (never from inside a backend call
// such as Present), through the handler given when the window was created.

#include <cstdint>
#include <functional>

#include "platform/draw/Geometry.h"

using TDisplayWindow = std::uint32_t;  // 0 means "no window"

enum class TDisplayEventKind {
  MouseMove,  // X, Y: client coordinates; Button: 0
  MouseDown,  // X, Y, Button
  MouseUp,    // X, Y, Button
  KeyDown,    // Key: Windows virtual key code; Shift/Ctrl/Alt
  KeyUp,      // Key
  Char,       // Char: the character typed (also 8, 9, 13, 27 for Backspace, Tab, Enter, Esc)
  Close,      // the user asked to close the window (window manager's close)
  Paint       // Area (client) was uncovered; the backend has already redrawn it from the
              // last presented pixels, so handling this is optional
};

constexpr int mbLeft = 1;
constexpr int mbMiddle = 2;
constexpr int mbRight = 3;

// Windows virtual key codes used in KeyDown/KeyUp. Letters are 'A'..'Z', digits '0'..'9'.
constexpr int VK_BACK = 8;
constexpr int VK_TAB = 9;
constexpr int VK_RETURN = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_MENU = 18;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_PRIOR = 33;
constexpr int VK_NEXT = 34;
constexpr int VK_END = 35;
constexpr int VK_HOME = 36;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_INSERT = 45;
constexpr int VK_DELETE = 46;
constexpr int VK_F1 = 112;

struct TDisplayEvent {
  TDisplayEventKind Kind = TDisplayEventKind::MouseMove;
  TDisplayWindow Window = 0;
  int X = 0;  // client coordinates of the pointer (mouse events)
  int Y = 0;
  int Button = 0;     // mbLeft, mbMiddle, mbRight
  int Key = 0;        // virtual key code (key events)
  unsigned Char = 0;  // character code, Latin-1 (Char events)
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;
  TRect Area;  // Paint
};

using TDisplayEventHandler = std::function<void(const TDisplayEvent&)>;
