#include "platform/x11/X11Clipboard.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <climits>
#include <cstdint>

#include "platform/MessageLoop.h"
#include "platform/x11/X11Text.h"

namespace {

// How long an owner may take to answer. Owners answer from their event loop at once; one
// that is busy or hung must not freeze this program's window for longer.
constexpr std::uint64_t kAnswerMs = 1000;

}  // namespace

TX11Clipboard::TX11Clipboard(::Display* dpy, ::Window root) : FDpy(dpy) {
  XSetWindowAttributes attrs{};
  FWindow = XCreateWindow(dpy, root, -1, -1, 1, 1, 0, 0, InputOnly, CopyFromParent, 0, &attrs);
  FClipboard = XInternAtom(dpy, "CLIPBOARD", False);
  FTargets = XInternAtom(dpy, "TARGETS", False);
  FUtf8 = XInternAtom(dpy, "UTF8_STRING", False);
  FIncr = XInternAtom(dpy, "INCR", False);
  for (unsigned i = 0; i < 4; ++i) {
    const std::string name = "QUILLET_CLIPBOARD" + std::to_string(i);
    FProperties[i] = XInternAtom(dpy, name.c_str(), False);
  }
}

// Destroying the owner window ends the ownership; the server tells the next reader so.
TX11Clipboard::~TX11Clipboard() {
  XDestroyWindow(FDpy, FWindow);
}

bool TX11Clipboard::Owned() const {
  return FOwner && XGetSelectionOwner(FDpy, FClipboard) == FWindow;
}

void TX11Clipboard::SetText(const std::string& text) {
  FText = text;
  if (text.empty()) {
    // Only an owner may give the selection up: CurrentTime would otherwise take it from
    // a program whose ownership we have not heard of yet.
    if (Owned()) XSetSelectionOwner(FDpy, FClipboard, None, CurrentTime);
    FOwner = false;
    return;
  }
  XSetSelectionOwner(FDpy, FClipboard, FWindow, CurrentTime);
  FOwner = XGetSelectionOwner(FDpy, FClipboard) == FWindow;
}

bool TX11Clipboard::GetText(std::string& text, const TOtherEvent& other) {
  ::Window owner = XGetSelectionOwner(FDpy, FClipboard);
  if (owner == None) return false;
  if (owner == FWindow && FOwner) {
    text = FText;
    return !text.empty();
  }
  std::string data;
  TAnswer answer = Convert(FUtf8, data, other);
  if (answer == TAnswer::Data) {
    text = Utf8ToLatin1(data);
    return !text.empty();
  }
  // Older owners offer only Latin-1 STRING; an owner that did not answer at all is not
  // asked again, so the whole read stays within one bounded wait.
  if (answer == TAnswer::NoAnswer || Convert(XA_STRING, data, other) != TAnswer::Data) return false;
  text = data;
  return !text.empty();
}

TX11Clipboard::TAnswer TX11Clipboard::Convert(Atom target, std::string& data,
                                              const TOtherEvent& other) {
  XDeleteProperty(FDpy, FWindow, Property());
  XConvertSelection(FDpy, FClipboard, target, Property(), FWindow, CurrentTime);
  XSelectionEvent reply{};
  if (!AwaitNotify(target, reply, other)) return TAnswer::NoAnswer;
  if (reply.property == None || !TakeProperty(data)) return TAnswer::Refused;
  return TAnswer::Data;
}

// Waits in poll() on the connection, never spinning; events that are not the answer go to
// other, so windows keep repainting and input keeps its order.
bool TX11Clipboard::AwaitNotify(Atom target, XSelectionEvent& reply, const TOtherEvent& other) {
  const std::uint64_t deadline = TickCount() + kAnswerMs;
  XFlush(FDpy);
  for (;;) {
    while (XPending(FDpy) > 0) {
      XEvent ev;
      XNextEvent(FDpy, &ev);
      const XSelectionEvent& sel = ev.xselection;
      if (ev.type == SelectionNotify && sel.requestor == FWindow && sel.selection == FClipboard &&
          sel.target == target && (sel.property == None || sel.property == Property())) {
        reply = sel;
        return true;
      }
      other(ev);
    }
    const std::uint64_t now = TickCount();
    if (now >= deadline) {
      ++FRequest;
      return false;
    }
    pollfd p{ConnectionNumber(FDpy), POLLIN, 0};
    // A broken connection stays readable forever; waiting on would only spin.
    if (::poll(&p, 1, static_cast<int>(deadline - now)) > 0 && (p.revents & (POLLERR | POLLHUP)))
      return false;
  }
}

// An INCR answer (text too large for one property) is not read: the transfer it would
// start is left alone rather than half done.
bool TX11Clipboard::TakeProperty(std::string& data) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* bytes = nullptr;
  if (XGetWindowProperty(FDpy, FWindow, Property(), 0, LONG_MAX / 4, False, AnyPropertyType, &type,
                         &format, &count, &after, &bytes) != Success)
    return false;
  const bool ok = type != None && type != FIncr && format == 8;
  if (ok) data.assign(reinterpret_cast<const char*>(bytes), count);
  if (bytes) XFree(bytes);
  if (ok) XDeleteProperty(FDpy, FWindow, Property());
  return ok;
}

bool TX11Clipboard::Handle(XEvent& ev) {
  if (ev.xany.window != FWindow) return false;
  if (ev.type == SelectionRequest) {
    Answer(ev.xselectionrequest);
  } else if (ev.type == SelectionClear && ev.xselectionclear.selection == FClipboard) {
    FOwner = false;
    FText.clear();
  }
  return true;  // also a late answer to a read that gave up waiting
}

void TX11Clipboard::Answer(const XSelectionRequestEvent& req) {
  XEvent ev{};
  XSelectionEvent& reply = ev.xselection;
  reply.type = SelectionNotify;
  reply.display = FDpy;
  reply.requestor = req.requestor;
  reply.selection = req.selection;
  reply.target = req.target;
  reply.time = req.time;
  reply.property = Store(req);
  XSendEvent(FDpy, req.requestor, False, NoEventMask, &ev);
  XFlush(FDpy);
}

// Puts what the requestor asked for on its window; None refuses.
Atom TX11Clipboard::Store(const XSelectionRequestEvent& req) {
  if (req.selection != FClipboard || !FOwner) return None;
  // Requestors older than ICCCM 2 name no property; the target's name stands in for it.
  const Atom property = req.property != None ? req.property : req.target;
  if (req.target == FTargets) {
    Atom targets[] = {FTargets, FUtf8, XA_STRING};
    XChangeProperty(FDpy, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(targets), 3);
    return property;
  }
  std::string data;
  if (req.target == FUtf8)
    data = Latin1ToUtf8(FText);
  else if (req.target == XA_STRING)
    data = FText;
  else
    return None;
  // A text larger than one request would need the INCR transfer, which we do not offer.
  long words = XExtendedMaxRequestSize(FDpy);
  if (words == 0) words = XMaxRequestSize(FDpy);
  if (data.size() + 64 > static_cast<unsigned long>(words) * 4) return None;
  XChangeProperty(FDpy, req.requestor, property, req.target, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(data.data()),
                  static_cast<int>(data.size()));
  return property;
}
