#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include "platform/MessageLoop.h"
#include "platform/x11/X11Impl.h"

namespace {

constexpr UINT WM_X11_EVENTS = WM_USER + 0x3A2;

int VirtualKey(KeySym sym) {
  if (sym >= XK_a && sym <= XK_z) return static_cast<int>('A' + (sym - XK_a));
  if (sym >= XK_A && sym <= XK_Z) return static_cast<int>('A' + (sym - XK_A));
  if (sym >= XK_0 && sym <= XK_9) return static_cast<int>('0' + (sym - XK_0));
  if (sym >= XK_F1 && sym <= XK_F12) return static_cast<int>(112 + (sym - XK_F1));
  switch (sym) {
    case XK_BackSpace:
      return VK_BACK;
    case XK_Tab:
    case XK_ISO_Left_Tab:
      return VK_TAB;
    case XK_Return:
    case XK_KP_Enter:
      return VK_RETURN;
    case XK_Escape:
      return VK_ESCAPE;
    case XK_space:
      return VK_SPACE;
    case XK_Prior:
    case XK_KP_Prior:
      return VK_PRIOR;
    case XK_Next:
    case XK_KP_Next:
      return VK_NEXT;
    case XK_End:
    case XK_KP_End:
      return VK_END;
    case XK_Home:
    case XK_KP_Home:
      return VK_HOME;
    case XK_Left:
    case XK_KP_Left:
      return VK_LEFT;
    case XK_Up:
    case XK_KP_Up:
      return VK_UP;
    case XK_Right:
    case XK_KP_Right:
      return VK_RIGHT;
    case XK_Down:
    case XK_KP_Down:
      return VK_DOWN;
    case XK_Insert:
    case XK_KP_Insert:
      return VK_INSERT;
    case XK_Delete:
    case XK_KP_Delete:
      return VK_DELETE;
    case XK_Shift_L:
    case XK_Shift_R:
      return VK_SHIFT;
    case XK_Control_L:
    case XK_Control_R:
      return VK_CONTROL;
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R:
      return VK_MENU;
    default:
      return 0;
  }
}

}  // namespace

void TX11Display::Impl::ReadEvents() {
  while (!lost && XPending(dpy) > 0) {
    XEvent ev;
    XNextEvent(dpy, &ev);
    Handle(ev);
  }
}

// Xlib over XCB reads whatever the server has sent while it writes, so events may leave
// the socket during any request and poll() would not see them again. Every call that
// talks to the server ends here; QueuedAfterReading also takes what XCB has buffered.
void TX11Display::Impl::KickIfQueued() {
  if (lost) return;
  XFlush(dpy);
  if (XEventsQueued(dpy, QueuedAfterReading) > 0) ReadEvents();
}

void TX11Display::Impl::Enqueue(const TDisplayEvent& ev) {
  queue.push_back(ev);
  PostMessage(poster, WM_X11_EVENTS, 0, 0);
}

void TX11Display::Impl::DeliverOne() {
  if (queue.empty()) return;
  TDisplayEvent ev = queue.front();
  queue.pop_front();
  Win* w = Find(ev.Window);
  if (!w || !w->handler) return;  // destroyed meanwhile
  TDisplayEventHandler handler = w->handler;
  handler(ev);
}

void TX11Display::Impl::Handle(XEvent& ev) {
  if (clipboard && clipboard->Handle(ev)) return;
  auto it = byXid.find(ev.xany.window);
  if (it == byXid.end()) return;
  TDisplayWindow id = it->second;
  Win& w = windows[id];
  TDisplayEvent out;
  out.Window = id;
  switch (ev.type) {
    case Expose:
      out.Kind = TDisplayEventKind::Paint;
      out.Area = ::Bounds(ev.xexpose.x, ev.xexpose.y, ev.xexpose.width, ev.xexpose.height);
      Put(w, out.Area);
      if (ev.xexpose.count == 0) XFlush(dpy);
      Enqueue(out);
      return;
    case DestroyNotify:
      if (ev.xdestroywindow.window == w.xid) Destroyed(id);
      return;
    case MapNotify:
      // Without a window manager nobody gives a new window the keyboard; errors (the window
      // was unmapped again meanwhile) are harmless and swallowed by the error handler.
      XSetInputFocus(dpy, w.xid, RevertToParent, CurrentTime);
      return;
    case ConfigureNotify:
      // Only a synthetic notification (sent by a window manager) carries the screen
      // position; a real one is relative to the parent, which may be a manager's frame.
      if (ev.xconfigure.send_event)
        w.bounds = ::Bounds(ev.xconfigure.x, ev.xconfigure.y, w.bounds.Width(), w.bounds.Height());
      return;
    case ClientMessage:
      if (ev.xclient.message_type == wmProtocols &&
          static_cast<Atom>(ev.xclient.data.l[0]) == wmDelete) {
        out.Kind = TDisplayEventKind::Close;
        Enqueue(out);
      }
      return;
    case KeyPress:
    case KeyRelease:
      HandleKey(ev.xkey, id);
      return;
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
      HandlePointer(ev, id);
      return;
    default:
      return;
  }
}

// Pointer input becomes mouse events, except during a caption drag, where motion moves the
// dragged window and the release of the left button ends the drag.
void TX11Display::Impl::HandlePointer(XEvent& ev, TDisplayWindow id) {
  TDisplayEvent out;
  out.Window = id;
  const bool press = ev.type == ButtonPress, release = ev.type == ButtonRelease;
  if (press || release) {
    if (ev.xbutton.button < 1 || ev.xbutton.button > 3) return;  // wheel
    if (dragging) {
      if (release && ev.xbutton.button == Button1) EndDrag();
      return;
    }
    out.Kind = press ? TDisplayEventKind::MouseDown : TDisplayEventKind::MouseUp;
    out.X = ev.xbutton.x;
    out.Y = ev.xbutton.y;
    out.Button = static_cast<int>(ev.xbutton.button);
    out.Shift = ev.xbutton.state & ShiftMask;
    out.Ctrl = ev.xbutton.state & ControlMask;
    out.Alt = ev.xbutton.state & Mod1Mask;
    Enqueue(out);
  } else if (ev.type == MotionNotify) {
    if (dragging) {
      Win* d = Find(dragging);
      if (!d) return;
      d->bounds = ::Bounds(ev.xmotion.x_root - dragOffset.X, ev.xmotion.y_root - dragOffset.Y,
                           d->bounds.Width(), d->bounds.Height());
      XMoveWindow(dpy, d->xid, d->bounds.Left, d->bounds.Top);
      XFlush(dpy);
      return;
    }
    out.Kind = TDisplayEventKind::MouseMove;
    out.X = ev.xmotion.x;
    out.Y = ev.xmotion.y;
    Enqueue(out);
  }
}

void TX11Display::Impl::HandleKey(XKeyEvent& key, TDisplayWindow id) {
  TDisplayEvent out;
  out.Window = id;
  out.Shift = key.state & ShiftMask;
  out.Ctrl = key.state & ControlMask;
  out.Alt = key.state & Mod1Mask;
  KeySym sym = XLookupKeysym(&key, 0);
  // A keypad key's first symbol is its moving meaning (KP_Home); NumLock turns it into the
  // digit, which only the modifier-aware lookup sees.
  if (IsKeypadKey(sym)) {
    char ignored[8];
    XLookupString(&key, ignored, sizeof ignored, &sym, nullptr);
  }
  out.Key = VirtualKey(sym);
  out.Kind = key.type == KeyPress ? TDisplayEventKind::KeyDown : TDisplayEventKind::KeyUp;
  if (out.Key) Enqueue(out);
  if (key.type != KeyPress) return;
  char text[16];
  int n = XLookupString(&key, text, sizeof text, nullptr, nullptr);
  // Shift+Tab is ISO_Left_Tab, which X gives no text; Windows still types a tab.
  if (n == 0 && out.Key == VK_TAB && !out.Ctrl && !out.Alt) {
    text[0] = '\t';
    n = 1;
  }
  for (int i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == 127) continue;  // Delete is a key, not a character
    TDisplayEvent ch = out;
    ch.Kind = TDisplayEventKind::Char;
    ch.Key = 0;
    ch.Char = c;
    Enqueue(ch);
  }
}

// The window follows the pointer until the left button is released. The pointer is
// grabbed so the motion keeps coming when it outruns the window; the loop keeps running,
// waiting in its poll(), so timers tick and nothing spins.
void TX11Display::DragWindow(TDisplayWindow window) {
  Impl& s = *FImpl;
  Impl::Win* w = s.Live(window);
  if (!w || s.dragging) return;
  ::Window rootRet, child;
  int rx, ry, wx, wy;
  unsigned mask = 0;
  XQueryPointer(s.dpy, s.root, &rootRet, &child, &rx, &ry, &wx, &wy, &mask);
  if (!(mask & Button1Mask)) return;
  // Without the grab (the window is not viewable, or another program holds the pointer)
  // the release could go elsewhere and the drag would never end.
  if (XGrabPointer(s.dpy, w->xid, False, ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                   GrabModeAsync, None, None, CurrentTime) != GrabSuccess) {
    s.KickIfQueued();
    return;
  }
  s.dragOffset = {rx - w->bounds.Left, ry - w->bounds.Top};
  s.dragging = window;
  s.KickIfQueued();
  PumpWhile([&] { return s.dragging == window; });
  if (s.dragging == window) {
    s.EndDrag();
    s.KickIfQueued();
  }
}

void TX11Display::Impl::EndDrag() {
  if (!dragging) return;
  dragging = 0;
  if (lost) return;
  XUngrabPointer(dpy, CurrentTime);
  XFlush(dpy);
}

void TX11Display::Impl::Destroyed(TDisplayWindow id) {
  Win& w = windows[id];
  if (dragging == id) EndDrag();
  byXid.erase(w.xid);
  w.xid = 0;
  w.visible = false;
  TDisplayEvent out;
  out.Kind = TDisplayEventKind::Close;
  out.Window = id;
  Enqueue(out);
}

// Runs inside the Xlib call that met the broken connection, so it must not call Xlib. The
// program's windows are gone with the server, and it can take no more input: the loop is
// told to quit (a modal window ends as cancelled on the way), so the program ends through
// its normal exit instead of being cut off in the middle of a handler.
void TX11Display::Impl::ConnectionLost() {
  if (lost) return;
  lost = true;
  dragging = 0;
  UnwatchFd(watchId);  // the dead descriptor would stay readable and wake the loop forever
  watchId = -1;
  PostQuitMessage(0);
}
