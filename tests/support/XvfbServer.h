#pragma once
// A private X server for tests that need a real display. Xvfb picks a free display number
// itself and writes it to the pipe given with -displayfd once it accepts connections, so
// there is no guessing and no sleep. The server ends with the object.

#include <sys/types.h>

#include <string>

// Whether an executable of that name is on PATH (tests skip, saying so, when not).
bool OnPath(const std::string& program);

class TXvfbServer {
 public:
  TXvfbServer() = default;
  TXvfbServer(const TXvfbServer&) = delete;
  TXvfbServer& operator=(const TXvfbServer&) = delete;
  ~TXvfbServer();

  // Starts Xvfb with one screen of the given size ("1024x768") and depth in bits per pixel.
  bool Start(int depth, const std::string& size = "1024x768");
  // The display name (":N") to connect to.
  const std::string& Name() const { return FName; }
  // Runs a shell command with this display, waits for it and returns what it printed.
  std::string Run(const std::string& command) const;
  // Starts a shell command with this display without waiting for it, for input that must
  // arrive while the caller's message loop runs.
  pid_t Spawn(const std::string& command) const;

 private:
  pid_t FPid = -1;
  std::string FName;
};
