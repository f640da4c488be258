#include "platform/x11/X11Display.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <algorithm>

#include "platform/MessageLoop.h"
#include "platform/text/Fonts.h"
#include "platform/x11/X11Impl.h"
#include "platform/x11/X11Text.h"

namespace {

constexpr UINT WM_X11_EVENTS = WM_USER + 0x3A2;

// What a window manager, if there is one, needs to know: no decorations (the Motif hints
// are what managers of every kind honour), the requested place (a manager would otherwise
// place the window where it likes), a class, and that a close request is to be sent to us
// instead of killing the connection.
void SetManagerHints(::Display* dpy, ::Window xid, const TRect& b, Atom motifHints, Atom wmDelete) {
  long motif[5] = {2 /* decorations field valid */, 0, 0 /* none */, 0, 0};
  XChangeProperty(dpy, xid, motifHints, motifHints, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(motif), 5);
  XSizeHints hints{};
  hints.flags = USPosition | PPosition | USSize | PSize;
  hints.x = b.Left;
  hints.y = b.Top;
  hints.width = b.Width();
  hints.height = b.Height();
  XSetWMNormalHints(dpy, xid, &hints);
  XClassHint cls{const_cast<char*>("quillet"), const_cast<char*>("Quillet")};
  XSetClassHint(dpy, xid, &cls);
  XSetWMProtocols(dpy, xid, &wmDelete, 1);
}

}  // namespace

std::unique_ptr<TX11Display> TX11Display::Open(const std::string& displayName) {
  X11InstallErrorHandler();
  ::Display* dpy = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
  if (!dpy) return nullptr;
  auto impl = std::make_unique<Impl>();
  Impl& s = *impl;
  s.dpy = dpy;
  s.screen = DefaultScreen(dpy);
  s.root = RootWindow(dpy, s.screen);
  s.visual = DefaultVisual(dpy, s.screen);
  s.depth = DefaultDepth(dpy, s.screen);
  s.gc = XCreateGC(dpy, s.root, 0, nullptr);
  s.palette = std::make_unique<TX11Palette>(dpy, s.visual, DefaultColormap(dpy, s.screen), s.depth);
  // Smoothed glyph edges would fill a 256-entry colormap with shades of text colours.
  if (s.palette->Mapped()) {
    s.smoothingWas = TextSmoothing();
    SetTextSmoothing(false);
  }
  s.wmProtocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
  s.wmDelete = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
  s.motifHints = XInternAtom(dpy, "_MOTIF_WM_HINTS", False);
  s.netWmName = XInternAtom(dpy, "_NET_WM_NAME", False);
  s.utf8String = XInternAtom(dpy, "UTF8_STRING", False);
  s.clipboard = std::make_unique<TX11Clipboard>(dpy, s.root);
  Impl* raw = impl.get();
  s.poster = AllocateHWnd([raw](UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_X11_EVENTS) raw->DeliverOne();
    return 0;
  });
  s.watchId = WatchFd(ConnectionNumber(dpy), POLLIN, [raw](short) { raw->ReadEvents(); });
  // Xlib's answer to a broken connection is to exit the process from inside whatever call
  // noticed it; this handler returns instead, and Xlib then turns every call into a no-op.
  XSetIOErrorExitHandler(
      dpy, [](::Display*, void* impl) { static_cast<Impl*>(impl)->ConnectionLost(); }, raw);
  return std::unique_ptr<TX11Display>(new TX11Display(std::move(impl)));
}

TX11Display::TX11Display(std::unique_ptr<Impl> impl) : FImpl(std::move(impl)) {}

TX11Display::~TX11Display() {
  Impl& s = *FImpl;
  // A break found only now, while closing, has nothing left to end: the quit it would post
  // would end the caller's next loop instead.
  XSetIOErrorExitHandler(
      s.dpy, [](::Display*, void*) {}, nullptr);
  UnwatchFd(s.watchId);
  ::DestroyWindow(s.poster);
  for (auto& [id, w] : s.windows)
    if (w.xid && !s.lost) XDestroyWindow(s.dpy, w.xid);
  s.clipboard.reset();
  if (s.palette->Mapped()) SetTextSmoothing(s.smoothingWas);
  s.palette.reset();
  XFreeGC(s.dpy, s.gc);
  XCloseDisplay(s.dpy);
}

TDisplayWindow TX11Display::CreateWindow(const TWindowParams& params,
                                         TDisplayEventHandler handler) {
  Impl& s = *FImpl;
  if (s.lost) return 0;
  const TRect& b = params.Bounds;
  XSetWindowAttributes attrs{};
  attrs.background_pixel = BlackPixel(s.dpy, s.screen);
  attrs.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                     KeyPressMask | KeyReleaseMask | StructureNotifyMask;
  ::Window xid = XCreateWindow(s.dpy, s.root, b.Left, b.Top, std::max(1, b.Width()),
                               std::max(1, b.Height()), 0, CopyFromParent, InputOutput,
                               CopyFromParent, CWBackPixel | CWEventMask, &attrs);
  if (!xid) return 0;
  SetManagerHints(s.dpy, xid, b, s.motifHints, s.wmDelete);
  TDisplayWindow id = s.nextId++;
  Impl::Win& w = s.windows[id];
  w.xid = xid;
  w.bounds = b;
  w.backing = TSurface(b.Width(), b.Height(), clBlack);
  w.handler = std::move(handler);
  s.byXid[xid] = id;
  SetTitle(id, params.Title);
  if (params.Visible) SetVisible(id, true);
  s.KickIfQueued();
  return id;
}

void TX11Display::DestroyWindow(TDisplayWindow window) {
  Impl& s = *FImpl;
  Impl::Win* w = s.Find(window);
  if (!w) return;
  if (s.dragging == window) s.EndDrag();
  if (s.Live(window)) {
    XDestroyWindow(s.dpy, w->xid);
    s.byXid.erase(w->xid);
  }
  s.windows.erase(window);
  s.KickIfQueued();
}

void TX11Display::SetTitle(TDisplayWindow window, const std::string& title) {
  Impl& s = *FImpl;
  Impl::Win* w = s.Live(window);
  if (!w) return;
  w->title = title;
  XStoreName(s.dpy, w->xid, title.c_str());
  std::string utf8 = Latin1ToUtf8(title);
  XChangeProperty(s.dpy, w->xid, s.netWmName, s.utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()),
                  static_cast<int>(utf8.size()));
  s.KickIfQueued();
}

void TX11Display::SetBounds(TDisplayWindow window, const TRect& bounds) {
  Impl& s = *FImpl;
  Impl::Win* w = s.Live(window);
  if (!w) return;
  w->bounds = bounds;
  w->backing.SetSize(bounds.Width(), bounds.Height());
  XMoveResizeWindow(s.dpy, w->xid, bounds.Left, bounds.Top, std::max(1, bounds.Width()),
                    std::max(1, bounds.Height()));
  s.KickIfQueued();
}

TRect TX11Display::Bounds(TDisplayWindow window) const {
  const Impl::Win* w = FImpl->Find(window);
  return w ? w->bounds : TRect{};
}

void TX11Display::SetVisible(TDisplayWindow window, bool visible) {
  Impl& s = *FImpl;
  Impl::Win* w = s.Live(window);
  if (!w || w->visible == visible) return;
  w->visible = visible;
  // An unmapped window loses the pointer grab, so the release that ends a drag of it would
  // go to whatever lies below: the drag ends here instead.
  if (!visible && s.dragging == window) s.EndDrag();
  if (visible) {
    XMapRaised(s.dpy, w->xid);
    // Without a window manager a mapped window keeps its requested place; with one, the
    // place is asked for again, because some managers ignore the hints of a first map.
    XMoveWindow(s.dpy, w->xid, w->bounds.Left, w->bounds.Top);
  } else {
    XUnmapWindow(s.dpy, w->xid);
  }
  s.KickIfQueued();
}

bool TX11Display::Visible(TDisplayWindow window) const {
  const Impl::Win* w = FImpl->Find(window);
  return w && w->visible;
}

TPoint TX11Display::PointerPos() {
  Impl& s = *FImpl;
  if (s.lost) return {};
  ::Window rootRet, child;
  int rx = 0, ry = 0, wx, wy;
  unsigned mask;
  XQueryPointer(s.dpy, s.root, &rootRet, &child, &rx, &ry, &wx, &wy, &mask);
  s.KickIfQueued();
  return {rx, ry};
}

TSize TX11Display::ScreenSize() const {
  return {DisplayWidth(FImpl->dpy, FImpl->screen), DisplayHeight(FImpl->dpy, FImpl->screen)};
}

int TX11Display::ColorDepth() const {
  return FImpl->depth;
}

void TX11Display::Flush() {
  if (!FImpl->lost) XFlush(FImpl->dpy);
}

unsigned long TX11Display::NativeWindow(TDisplayWindow window) const {
  const Impl::Win* w = FImpl->Find(window);
  return w && !FImpl->lost ? w->xid : 0;
}

void TX11Display::SetClipboardText(const std::string& text) {
  if (FImpl->lost) return;
  FImpl->clipboard->SetText(text);
  FImpl->KickIfQueued();
}

bool TX11Display::GetClipboardText(std::string& text) {
  Impl& s = *FImpl;
  if (s.lost) return false;
  const bool got = s.clipboard->GetText(text, [&s](XEvent& ev) { s.Handle(ev); });
  s.KickIfQueued();
  return got;
}
