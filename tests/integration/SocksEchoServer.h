#pragma once
// A loopback server thread for the proxy tests: it accepts one connection, greets, echoes
// every line back, and answers "QUIT" with "+OK bye" and a close, so that data visibly
// crosses the proxy in both directions. Every wait is bounded.

#include <string>
#include <thread>

class TSocksEchoServer {
 public:
  TSocksEchoServer();
  ~TSocksEchoServer();
  std::string Port() const { return std::to_string(FPort); }

  static constexpr const char* Greeting = "+OK echo ready\r\n";

 private:
  void Serve();
  int FListenFd = -1;
  int FPort = 0;
  std::thread FThread;
};
