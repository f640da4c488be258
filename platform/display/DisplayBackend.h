#pragma once
// The one small interface between the program's windows and whatever shows them: an X
// server (x11/) or an in-memory screen (headless/). Everything runs on the loop's thread.
//
// A window here is a borderless top-level window. Its pixels come only from Present; the
// backend keeps a copy of what was presented, so it can redraw uncovered parts itself.

#include <memory>
#include <string>

#include "platform/display/DisplayEvent.h"
#include "platform/draw/Surface.h"

struct TWindowParams {
  std::string Title;  // shown as the window's name (X11 WM_NAME / _NET_WM_NAME)
  TRect Bounds;       // screen position and size
  bool Visible = false;
};

class TDisplayBackend {
 public:
  virtual ~TDisplayBackend() = default;
  virtual std::string Name() const = 0;  // "x11" or "headless"

  // Creates a top-level window; events for it go to handler. 0 on failure.
  virtual TDisplayWindow CreateWindow(const TWindowParams& params,
                                      TDisplayEventHandler handler) = 0;
  // Destroys the window; events still pending for it are dropped.
  virtual void DestroyWindow(TDisplayWindow window) = 0;
  virtual void SetTitle(TDisplayWindow window, const std::string& title) = 0;
  // Moves and resizes (screen coordinates).
  virtual void SetBounds(TDisplayWindow window, const TRect& bounds) = 0;
  virtual TRect Bounds(TDisplayWindow window) const = 0;
  virtual void SetVisible(TDisplayWindow window, bool visible) = 0;
  virtual bool Visible(TDisplayWindow window) const = 0;

  // Shows the pixels of surface inside area (client coordinates; the surface is the whole
  // client area, so surface (x, y) goes to client (x, y)). Pixels outside the surface or
  // the window are ignored.
  virtual void Present(TDisplayWindow window, const TSurface& surface, const TRect& area) = 0;
  void Present(TDisplayWindow window, const TSurface& surface) {
    Present(window, surface, surface.BoundsRect());
  }
  // Reads back what the window shows now, as true colours (on an 8-bit screen, the colours
  // the colormap entries hold). False when the window does not exist or cannot be read.
  virtual bool Capture(TDisplayWindow window, TSurface& out) = 0;

  // The pointer's position in screen coordinates (Windows GetCursorPos).
  virtual TPoint PointerPos() = 0;
  virtual TSize ScreenSize() const = 0;
  // Bits per pixel of the screen (Windows GetDeviceCaps(BITSPIXEL)).
  virtual int ColorDepth() const = 0;

  // The caption drag: moves the window with the pointer until the left button is
  // released, then returns. Runs the message loop meanwhile (timers keep ticking); the
  // pointer's motion is not delivered as MouseMove events while it lasts. Returns at once
  // when the button is not down.
  virtual void DragWindow(TDisplayWindow window) = 0;

  // Sends pending output to the display (a no-op when there is nothing to send).
  virtual void Flush() {}

  // The clipboard's text, shared with other programs where the display has a clipboard.
  // The text is the program's 8-bit (Latin-1) text; an empty text gives the clipboard up.
  virtual void SetClipboardText(const std::string& text) = 0;
  // False when the clipboard holds no text or its owner did not answer in time (the wait
  // is bounded, so a hung program cannot freeze this one).
  virtual bool GetClipboardText(std::string& text) = 0;
};

// The backend of the run, created on first use: X11 when a display can be opened
// ($DISPLAY set and reachable), headless otherwise.
TDisplayBackend& TheDisplay();
// Replaces the backend of the run (tests); nullptr goes back to choosing on next use.
// Windows of the old backend must have been destroyed.
void SetDisplay(std::unique_ptr<TDisplayBackend> backend);
// Makes the backend that TheDisplay() would choose: X11 on displayName (empty: $DISPLAY) when
// it can be opened, else headless.
std::unique_ptr<TDisplayBackend> CreateDisplayBackend(const std::string& displayName = "");
