#pragma once
// For the targets that drive a real socket component against a server in the same process:
// a listener on 127.0.0.1 kept for the whole run, and per input the server's end of one
// connection, which the target writes and reads itself on the loop's thread. Nothing runs
// on another thread, so an input always plays out the same way: a piece written here and
// followed by Drain() has been taken by the component in a read of its own.

#include <functional>
#include <string>

class TFuzzListener {
 public:
  TFuzzListener();
  int Port() const { return FPort; }
  std::string PortText() const { return std::to_string(FPort); }
  // The next connection from the component (which has already called Connect).
  int Accept();

 private:
  int FFd = -1;
  int FPort = 0;
};

class TFuzzConnection {
 public:
  explicit TFuzzConnection(int fd) : FFd(fd) {}
  ~TFuzzConnection();
  TFuzzConnection(const TFuzzConnection&) = delete;
  TFuzzConnection& operator=(const TFuzzConnection&) = delete;

  void Send(const std::string& bytes);
  // The end of the server's stream (FIN); with reset, a reset (RST) instead.
  void HangUp(bool reset = false);
  // Everything the component sent so far; reading also notices its close.
  const std::string& Received();
  bool ComponentClosed() {
    Received();
    return FEof;
  }
  bool HungUp() const { return FHungUp; }
  bool WasReset() const { return FHungUp && FFd < 0; }
  // Everything sent to the component.
  const std::string& Sent() const { return FSent; }

 private:
  int FFd;
  std::string FReceived;
  std::string FSent;
  bool FEof = false;
  bool FHungUp = false;
};

// Dispatches every message that is pending now, descriptors looked at included.
void Drain();
// Dispatches messages until done() holds, or the time bound runs out (then false).
bool RunUntil(const std::function<bool()>& done, int ms = 5000);
