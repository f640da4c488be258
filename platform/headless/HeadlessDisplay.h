#pragma once
// A display held in memory: windows are surfaces placed on a virtual screen, input is
// injected by tests in screen coordinates, and a window's pixels can be saved as PNG. A
// full peer of the X11 backend, not a mock: events travel through the message loop the
// same way, and the caption drag runs the loop until the button is released.

#include <map>
#include <string>
#include <vector>

#include "platform/Messages.h"
#include "platform/display/DisplayBackend.h"

class THeadlessDisplay : public TDisplayBackend {
 public:
  explicit THeadlessDisplay(int width = 1024, int height = 768, int depth = 24);
  ~THeadlessDisplay() override;

  std::string Name() const override { return "headless"; }
  TDisplayWindow CreateWindow(const TWindowParams& params, TDisplayEventHandler handler) override;
  void DestroyWindow(TDisplayWindow window) override;
  void SetTitle(TDisplayWindow window, const std::string& title) override;
  void SetBounds(TDisplayWindow window, const TRect& bounds) override;
  TRect Bounds(TDisplayWindow window) const override;
  void SetVisible(TDisplayWindow window, bool visible) override;
  bool Visible(TDisplayWindow window) const override;
  using TDisplayBackend::Present;
  void Present(TDisplayWindow window, const TSurface& surface, const TRect& area) override;
  bool Capture(TDisplayWindow window, TSurface& out) override;
  TPoint PointerPos() override { return FPointer; }
  TSize ScreenSize() const override { return {FWidth, FHeight}; }
  int ColorDepth() const override { return FDepth; }
  void DragWindow(TDisplayWindow window) override;
  void SetClipboardText(const std::string& text) override { FClipboard = text; }
  bool GetClipboardText(std::string& text) override;

  // Configuration.
  void SetScreen(int width, int height, int depth);

  // Injected input, queued and delivered through the message loop in order. Mouse input is
  // in screen coordinates and goes to the topmost visible window under the pointer, or,
  // while a button is held, to the window where it was pressed (as a real pointer grab).
  void InjectMouseMove(int screenX, int screenY);
  void InjectMouseDown(int screenX, int screenY, int button = mbLeft);
  void InjectMouseUp(int screenX, int screenY, int button = mbLeft);
  // Keys go to the window given (0: the topmost visible window).
  void InjectKey(int virtualKey, bool shift = false, bool ctrl = false, bool alt = false,
                 TDisplayWindow window = 0);
  void InjectChar(unsigned ch, TDisplayWindow window = 0);
  void InjectClose(TDisplayWindow window);

  // Window lookup by title (first match, 0 when none) and a screenshot of one window.
  TDisplayWindow FindWindow(const std::string& title) const;
  std::string Title(TDisplayWindow window) const;
  bool SaveWindowPng(TDisplayWindow window, const std::string& path);

 private:
  struct Window {
    std::string title;
    TRect bounds;
    bool visible = false;
    TSurface pixels;  // what was presented last
    TDisplayEventHandler handler;
  };
  void Enqueue(const TDisplayEvent& event);
  void DeliverPending();
  TDisplayWindow WindowAt(int screenX, int screenY) const;
  void RouteMouse(TDisplayEventKind kind, int screenX, int screenY, int button);
  Window* Find(TDisplayWindow window);
  const Window* Find(TDisplayWindow window) const;

  int FWidth;
  int FHeight;
  int FDepth;
  TPoint FPointer;
  int FButtons = 0;  // bit per held button
  TDisplayWindow FCapture = 0;
  TDisplayWindow FNextId = 1;
  std::map<TDisplayWindow, Window*> FWindows;  // owned
  std::vector<TDisplayWindow> FZOrder;         // bottom to top
  HWND FPoster = 0;                            // hidden window the injected events travel to
  std::vector<TDisplayEvent> FQueue;
  TDisplayWindow FDragging = 0;
  TPoint FDragOffset;
  std::string FClipboard;  // empty: the clipboard holds nothing
};
