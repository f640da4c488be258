#pragma once
// The state behind TX11Display, shared by the files of the x11 folder only.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <deque>
#include <map>
#include <memory>
#include <string>

#include "platform/Messages.h"
#include "platform/x11/X11Clipboard.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Palette.h"

struct TX11Display::Impl {
  struct Win {
    ::Window xid = 0;
    TRect bounds;
    bool visible = false;
    std::string title;
    TSurface backing;  // what was presented last, for exposures and captures
    TDisplayEventHandler handler;
  };

  ::Display* dpy = nullptr;
  int screen = 0;
  ::Window root = 0;
  Visual* visual = nullptr;
  int depth = 0;
  GC gc = nullptr;
  std::unique_ptr<TX11Palette> palette;
  std::unique_ptr<TX11Clipboard> clipboard;
  bool smoothingWas = true;
  Atom wmProtocols = 0, wmDelete = 0, motifHints = 0, netWmName = 0, utf8String = 0;
  int watchId = -1;
  HWND poster = 0;  // hidden window that carries queued events into the loop
  std::map<TDisplayWindow, Win> windows;
  std::map<::Window, TDisplayWindow> byXid;
  TDisplayWindow nextId = 1;
  std::deque<TDisplayEvent> queue;
  TDisplayWindow dragging = 0;
  TPoint dragOffset;
  // The connection broke (the server ended or closed it): nothing may reach Xlib any more.
  bool lost = false;

  Win* Find(TDisplayWindow w) {
    auto it = windows.find(w);
    return it == windows.end() ? nullptr : &it->second;
  }
  const Win* Find(TDisplayWindow w) const {
    auto it = windows.find(w);
    return it == windows.end() ? nullptr : &it->second;
  }
  // A window that still exists on the server; null once the connection is lost or another
  // client (a window manager) destroyed it.
  Win* Live(TDisplayWindow w) {
    Win* win = Find(w);
    return win && win->xid && !lost ? win : nullptr;
  }

  // Reads everything the server has sent, handles drags and exposures at once and queues
  // the rest for delivery from the loop.
  void ReadEvents();
  // Flushes, then handles events that Xlib or XCB took off the socket during a request:
  // those never make the descriptor readable again.
  void KickIfQueued();
  void DeliverOne();
  void Handle(XEvent& ev);
  void HandleKey(XKeyEvent& key, TDisplayWindow id);
  void HandlePointer(XEvent& ev, TDisplayWindow id);
  void Enqueue(const TDisplayEvent& ev);
  // Another client destroyed one of our windows: it is forgotten on our side and the
  // program is asked to close it.
  void Destroyed(TDisplayWindow id);
  void EndDrag();
  // Called by Xlib instead of exiting the process when the connection breaks.
  void ConnectionLost();
  void Put(Win& w, const TRect& area);  // backing pixels to the server
};

// Installs an Xlib error handler that records instead of exiting the process; returns the
// last error code seen since the previous call (0 when none) after syncing with the server.
int X11TakeError(::Display* dpy);
void X11InstallErrorHandler();
