#pragma once
// The CLIPBOARD selection of an X display. Setting text takes ownership with a hidden window
// of ours, and the text is then handed out whenever another program asks for it; reading
// asks the current owner, waiting a bounded time so a hung owner cannot freeze us.

#include <X11/Xlib.h>

#include <functional>
#include <string>

class TX11Clipboard {
 public:
  // Receives the events that arrive while a read waits for its answer.
  using TOtherEvent = std::function<void(XEvent&)>;

  TX11Clipboard(::Display* dpy, ::Window root);
  ~TX11Clipboard();
  TX11Clipboard(const TX11Clipboard&) = delete;
  TX11Clipboard& operator=(const TX11Clipboard&) = delete;

  // Latin-1 text; empty gives the clipboard up.
  void SetText(const std::string& text);
  bool GetText(std::string& text, const TOtherEvent& other);
  // Handles the selection events of our window; false for every other event.
  bool Handle(XEvent& ev);

 private:
  enum class TAnswer { Data, Refused, NoAnswer };
  TAnswer Convert(Atom target, std::string& data, const TOtherEvent& other);
  bool AwaitNotify(Atom target, XSelectionEvent& reply, const TOtherEvent& other);
  bool TakeProperty(std::string& data);
  void Answer(const XSelectionRequestEvent& req);
  Atom Store(const XSelectionRequestEvent& req);
  bool Owned() const;
  Atom Property() const { return FProperties[FRequest % 4]; }

  ::Display* FDpy;
  ::Window FWindow;
  Atom FClipboard, FTargets, FUtf8, FIncr;
  // Where answers arrive. A read that gave up moves on to the next one, so the late answer
  // to it, naming the old property, is never taken for the answer to a newer read.
  Atom FProperties[4] = {};
  unsigned FRequest = 0;
  std::string FText;  // what we hand out while we own the selection
  bool FOwner = false;
};
