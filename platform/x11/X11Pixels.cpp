#include <cstdlib>
#include <map>

#include "platform/x11/X11Impl.h"

namespace {

int gLastError = 0;

int RecordError(::Display*, XErrorEvent* e) {
  gLastError = e->error_code;
  return 0;
}

// Xlib's own handler exits the process. Returning lets Xlib go on to the display's exit
// handler, which TX11Display sets so the program can end in an orderly way.
int NoteBrokenConnection(::Display*) {
  return 0;
}

// An image of the visual's format; Xlib owns the buffer from here on and frees it with
// the image.
XImage* MakeImage(::Display* dpy, Visual* visual, int depth, int w, int h) {
  XImage* img = XCreateImage(dpy, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                             static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
  if (!img) return nullptr;
  img->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(img->bytes_per_line), h));
  if (!img->data) {
    XDestroyImage(img);
    return nullptr;
  }
  return img;
}

}  // namespace

void X11InstallErrorHandler() {
  XSetErrorHandler(RecordError);
  XSetIOErrorHandler(NoteBrokenConnection);
}

int X11TakeError(::Display* dpy) {
  XSync(dpy, False);
  int e = gLastError;
  gLastError = 0;
  return e;
}

void TX11Display::Impl::Put(Win& w, const TRect& area) {
  TRect r = area.Intersect(w.backing.BoundsRect());
  if (r.IsEmpty()) return;
  XImage* img = MakeImage(dpy, visual, depth, r.Width(), r.Height());
  if (!img) return;
  for (int y = 0; y < r.Height(); ++y) {
    const std::uint32_t* src = w.backing.Row(r.Top + y) + r.Left;
    for (int x = 0; x < r.Width(); ++x) XPutPixel(img, x, y, palette->ToNative(src[x]));
  }
  XPutImage(dpy, w.xid, gc, img, 0, 0, r.Left, r.Top, static_cast<unsigned>(r.Width()),
            static_cast<unsigned>(r.Height()));
  XDestroyImage(img);
}

void TX11Display::Present(TDisplayWindow window, const TSurface& surface, const TRect& area) {
  Impl& s = *FImpl;
  Impl::Win* w = s.Live(window);
  if (!w) return;
  TRect r = area.Intersect(surface.BoundsRect()).Intersect(w->backing.BoundsRect());
  for (int y = r.Top; y < r.Bottom; ++y)
    std::copy(surface.Row(y) + r.Left, surface.Row(y) + r.Right, w->backing.Row(y) + r.Left);
  s.Put(*w, r);
  s.KickIfQueued();
}

// Reads the window back from the server. On a colormapped screen the colours are asked of
// the colormap itself, so a capture shows what the cells really hold.
bool TX11Display::Capture(TDisplayWindow window, TSurface& out) {
  Impl& s = *FImpl;
  Impl::Win* w = s.Live(window);
  if (!w || !w->visible || w->backing.Empty()) return false;
  X11TakeError(s.dpy);
  XImage* img = XGetImage(s.dpy, w->xid, 0, 0, static_cast<unsigned>(w->backing.Width()),
                          static_cast<unsigned>(w->backing.Height()), AllPlanes, ZPixmap);
  s.KickIfQueued();
  if (!img) return false;
  TSurface shot(img->width, img->height);
  std::map<unsigned long, std::uint32_t> cells;
  for (int y = 0; y < img->height; ++y)
    for (int x = 0; x < img->width; ++x) {
      unsigned long p = XGetPixel(img, x, y);
      if (!s.palette->Mapped()) {
        shot.Row(y)[x] = s.palette->FromNative(p);
        continue;
      }
      auto it = cells.find(p);
      if (it == cells.end()) {
        XColor c{};
        c.pixel = p;
        XQueryColor(s.dpy, DefaultColormap(s.dpy, s.screen), &c);
        it = cells.emplace(p, ((c.red >> 8) << 16) | ((c.green >> 8) << 8) | (c.blue >> 8)).first;
      }
      shot.Row(y)[x] = it->second;
    }
  XDestroyImage(img);
  out = std::move(shot);
  return true;
}
