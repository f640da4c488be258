#include "platform/headless/HeadlessDisplay.h"

#include <algorithm>

#include "platform/MessageLoop.h"
#include "platform/draw/ImageFiles.h"

namespace {

// The private message that tells the hidden window to hand queued input to the windows.
constexpr UINT WM_HEADLESS_INPUT = WM_USER + 0x3A1;

}  // namespace

THeadlessDisplay::THeadlessDisplay(int width, int height, int depth)
    : FWidth(width), FHeight(height), FDepth(depth) {
  FPoster = AllocateHWnd([this](UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_HEADLESS_INPUT) DeliverPending();
    return 0;
  });
}

THeadlessDisplay::~THeadlessDisplay() {
  ::DestroyWindow(FPoster);
  for (auto& [id, w] : FWindows) delete w;
}

void THeadlessDisplay::SetScreen(int width, int height, int depth) {
  FWidth = width;
  FHeight = height;
  FDepth = depth;
}

THeadlessDisplay::Window* THeadlessDisplay::Find(TDisplayWindow window) {
  auto it = FWindows.find(window);
  return it == FWindows.end() ? nullptr : it->second;
}

const THeadlessDisplay::Window* THeadlessDisplay::Find(TDisplayWindow window) const {
  auto it = FWindows.find(window);
  return it == FWindows.end() ? nullptr : it->second;
}

TDisplayWindow THeadlessDisplay::CreateWindow(const TWindowParams& params,
                                              TDisplayEventHandler handler) {
  TDisplayWindow id = FNextId++;
  auto* w = new Window{params.Title, params.Bounds, params.Visible,
                       TSurface(params.Bounds.Width(), params.Bounds.Height(), clBlack),
                       std::move(handler)};
  FWindows[id] = w;
  FZOrder.push_back(id);
  return id;
}

void THeadlessDisplay::DestroyWindow(TDisplayWindow window) {
  auto it = FWindows.find(window);
  if (it == FWindows.end()) return;
  delete it->second;
  FWindows.erase(it);
  FZOrder.erase(std::remove(FZOrder.begin(), FZOrder.end(), window), FZOrder.end());
  if (FCapture == window) FCapture = 0;
  if (FDragging == window) FDragging = 0;
}

void THeadlessDisplay::SetTitle(TDisplayWindow window, const std::string& title) {
  if (Window* w = Find(window)) w->title = title;
}

void THeadlessDisplay::SetBounds(TDisplayWindow window, const TRect& bounds) {
  if (Window* w = Find(window)) {
    w->bounds = bounds;
    w->pixels.SetSize(bounds.Width(), bounds.Height());
  }
}

TRect THeadlessDisplay::Bounds(TDisplayWindow window) const {
  const Window* w = Find(window);
  return w ? w->bounds : TRect{};
}

void THeadlessDisplay::SetVisible(TDisplayWindow window, bool visible) {
  Window* w = Find(window);
  if (!w) return;
  w->visible = visible;
  // A hidden window lets go of the pointer, as an unmapped X window loses its grab: what
  // follows goes to the window below, and a drag of it ends.
  if (!visible && FCapture == window) FCapture = 0;
  if (!visible && FDragging == window) FDragging = 0;
  if (visible) {  // showing a window raises it, as a freshly mapped window is on top
    FZOrder.erase(std::remove(FZOrder.begin(), FZOrder.end(), window), FZOrder.end());
    FZOrder.push_back(window);
  }
}

bool THeadlessDisplay::Visible(TDisplayWindow window) const {
  const Window* w = Find(window);
  return w && w->visible;
}

void THeadlessDisplay::Present(TDisplayWindow window, const TSurface& surface, const TRect& area) {
  Window* w = Find(window);
  if (!w) return;
  TRect r = area.Intersect(surface.BoundsRect()).Intersect(w->pixels.BoundsRect());
  for (int y = r.Top; y < r.Bottom; ++y)
    std::copy(surface.Row(y) + r.Left, surface.Row(y) + r.Right, w->pixels.Row(y) + r.Left);
}

bool THeadlessDisplay::Capture(TDisplayWindow window, TSurface& out) {
  Window* w = Find(window);
  if (!w) return false;
  out = w->pixels;
  return true;
}

TDisplayWindow THeadlessDisplay::FindWindow(const std::string& title) const {
  for (const auto& [id, w] : FWindows)
    if (w->title == title) return id;
  return 0;
}

std::string THeadlessDisplay::Title(TDisplayWindow window) const {
  const Window* w = Find(window);
  return w ? w->title : std::string();
}

bool THeadlessDisplay::SaveWindowPng(TDisplayWindow window, const std::string& path) {
  Window* w = Find(window);
  return w && SavePngFile(path, w->pixels);
}

bool THeadlessDisplay::GetClipboardText(std::string& text) {
  if (FClipboard.empty()) return false;
  text = FClipboard;
  return true;
}
