#include "platform/MessageLoop.h"
#include "platform/headless/HeadlessDisplay.h"

namespace {

constexpr UINT WM_HEADLESS_INPUT = WM_USER + 0x3A1;

}  // namespace

// Injected input is queued and announced with one posted message per event, so it reaches
// the windows in order with everything else the loop carries, never re-entrantly from the
// test's own call.
void THeadlessDisplay::Enqueue(const TDisplayEvent& event) {
  FQueue.push_back(event);
  PostMessage(FPoster, WM_HEADLESS_INPUT, 0, 0);
}

void THeadlessDisplay::DeliverPending() {
  if (FQueue.empty()) return;
  TDisplayEvent ev = FQueue.front();
  FQueue.erase(FQueue.begin());
  // Pointer state changes when the event is delivered, as on a real screen, so that a
  // handler asking for the pointer position sees where this event happened.
  const bool mouse = ev.Kind == TDisplayEventKind::MouseMove ||
                     ev.Kind == TDisplayEventKind::MouseDown ||
                     ev.Kind == TDisplayEventKind::MouseUp;
  if (mouse) {
    FPointer = {ev.X, ev.Y};
    if (ev.Kind == TDisplayEventKind::MouseDown) FButtons |= 1 << ev.Button;
    if (ev.Kind == TDisplayEventKind::MouseUp) FButtons &= ~(1 << ev.Button);
  }
  if (FDragging && mouse) {
    Window* w = Find(FDragging);
    if (w)
      w->bounds = ::Bounds(ev.X - FDragOffset.X, ev.Y - FDragOffset.Y, w->bounds.Width(),
                           w->bounds.Height());
    if (ev.Kind == TDisplayEventKind::MouseUp && ev.Button == mbLeft) FDragging = 0;
    return;
  }
  if (mouse) {
    TDisplayWindow target = FCapture ? FCapture : WindowAt(ev.X, ev.Y);
    if (ev.Kind == TDisplayEventKind::MouseDown && !FCapture) FCapture = target;
    if (ev.Kind == TDisplayEventKind::MouseUp && FButtons == 0) FCapture = 0;
    ev.Window = target;
  } else if (!ev.Window && !FZOrder.empty()) {
    for (auto it = FZOrder.rbegin(); it != FZOrder.rend() && !ev.Window; ++it)
      if (FWindows[*it]->visible) ev.Window = *it;
  }
  Window* w = Find(ev.Window);
  if (!w || !w->handler) return;
  if (mouse) {
    ev.X -= w->bounds.Left;
    ev.Y -= w->bounds.Top;
  }
  TDisplayEventHandler handler = w->handler;  // the window may be destroyed by its handler
  handler(ev);
}

TDisplayWindow THeadlessDisplay::WindowAt(int screenX, int screenY) const {
  for (auto it = FZOrder.rbegin(); it != FZOrder.rend(); ++it) {
    const Window* w = Find(*it);
    if (w && w->visible && w->bounds.Contains(screenX, screenY)) return *it;
  }
  return 0;
}

void THeadlessDisplay::RouteMouse(TDisplayEventKind kind, int screenX, int screenY, int button) {
  TDisplayEvent ev;
  ev.Kind = kind;
  ev.X = screenX;
  ev.Y = screenY;
  ev.Button = button;
  Enqueue(ev);
}

void THeadlessDisplay::InjectMouseMove(int x, int y) {
  RouteMouse(TDisplayEventKind::MouseMove, x, y, 0);
}
void THeadlessDisplay::InjectMouseDown(int x, int y, int button) {
  RouteMouse(TDisplayEventKind::MouseDown, x, y, button);
}
void THeadlessDisplay::InjectMouseUp(int x, int y, int button) {
  RouteMouse(TDisplayEventKind::MouseUp, x, y, button);
}

void THeadlessDisplay::InjectKey(int virtualKey, bool shift, bool ctrl, bool alt,
                                 TDisplayWindow window) {
  TDisplayEvent ev;
  ev.Kind = TDisplayEventKind::KeyDown;
  ev.Window = window;
  ev.Key = virtualKey;
  ev.Shift = shift;
  ev.Ctrl = ctrl;
  ev.Alt = alt;
  Enqueue(ev);
}

void THeadlessDisplay::InjectChar(unsigned ch, TDisplayWindow window) {
  TDisplayEvent ev;
  ev.Kind = TDisplayEventKind::Char;
  ev.Window = window;
  ev.Char = ch;
  Enqueue(ev);
}

void THeadlessDisplay::InjectClose(TDisplayWindow window) {
  TDisplayEvent ev;
  ev.Kind = TDisplayEventKind::Close;
  ev.Window = window;
  Enqueue(ev);
}

// The window follows the pointer until the left button comes up. The loop keeps running
// (other windows' timers tick), and the wait is in poll(), so nothing spins meanwhile.
void THeadlessDisplay::DragWindow(TDisplayWindow window) {
  Window* w = Find(window);
  if (!w || !w->visible || !(FButtons & (1 << mbLeft))) return;
  FDragging = window;
  FDragOffset = {FPointer.X - w->bounds.Left, FPointer.Y - w->bounds.Top};
  FCapture = 0;
  PumpWhile([&] { return FDragging == window; });
  FDragging = 0;
}
