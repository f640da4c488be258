#pragma once
// The messages controls exchange among themselves (component messages, from 0xB000) and
// the few window messages the layer adds to the platform's list, with the record a
// control's WndProc receives.

#include "platform/Messages.h"

constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 3;
constexpr UINT CM_COLORCHANGED = CM_BASE + 4;
// The dialog-key query: wParam the virtual key, lParam the shift state; a control that
// takes the key sets Result to 1, and the search stops there.
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 9;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 23;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
// Private to forms: a paint requested by Invalidate, and a deferred Release.
constexpr UINT CM_DEFERREDPAINT = CM_BASE + 0x100;
constexpr UINT CM_RELEASE = CM_BASE + 0x101;

// Mouse-message key state (wParam of mouse messages).
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr WPARAM MK_ALT = 0x1000;  // not a Windows flag: Alt travels in the same word here

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// Shift state of keyboard and mouse events.
enum TShiftFlag : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
};
using TShiftState = unsigned;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Signed client coordinates packed into a message's lParam (negative while captured).
inline LPARAM PointToLParam(int x, int y) {
  return MAKELONG(static_cast<std::uint16_t>(static_cast<std::int16_t>(x)),
                  static_cast<std::uint16_t>(static_cast<std::int16_t>(y)));
}
inline int LParamX(LPARAM l) {
  return static_cast<std::int16_t>(LOWORD(l));
}
inline int LParamY(LPARAM l) {
  return static_cast<std::int16_t>(HIWORD(l));
}

TShiftState KeysToShiftState(WPARAM keys);
