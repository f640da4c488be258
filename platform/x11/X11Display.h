#pragma once
// Windows on an X server through Xlib. The connection's descriptor is watched by the
// message loop, so waiting for input stays the loop's one poll(). Works with or without a
// window manager (borderless through the Motif hints), on TrueColor visuals and on 8-bit
// PseudoColor ones, where every colour presented is allocated in the colormap.

#include <memory>
#include <string>

#include "platform/display/DisplayBackend.h"

class TX11Display : public TDisplayBackend {
 public:
  // Opens the display (empty: $DISPLAY); nullptr when it cannot be opened.
  static std::unique_ptr<TX11Display> Open(const std::string& displayName = "");
  ~TX11Display() override;

  std::string Name() const override { return "x11"; }
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
  TPoint PointerPos() override;
  TSize ScreenSize() const override;
  int ColorDepth() const override;
  void DragWindow(TDisplayWindow window) override;
  void Flush() override;
  void SetClipboardText(const std::string& text) override;
  bool GetClipboardText(std::string& text) override;

  // The X window id behind a display window (tests compare it with xdotool's answers).
  unsigned long NativeWindow(TDisplayWindow window) const;

 private:
  struct Impl;
  explicit TX11Display(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> FImpl;
};
