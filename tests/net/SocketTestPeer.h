#pragma once
// A scripted peer for socket tests: a thread with ordinary blocking POSIX sockets on
// 127.0.0.1, listening on a port the kernel chose. The script runs on the peer's thread
// with the accepted connection and may send, read and close exactly as a case needs.

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

class TestPeer {
 public:
  using Script = std::function<void(int fd)>;

  // Listens at once; the script runs once a connection is accepted.
  explicit TestPeer(Script script);
  ~TestPeer();

  std::string PortText() const { return std::to_string(FPort); }
  std::uint16_t Port() const { return FPort; }
  // Waits for the script to finish (bounded by the peer's own receive timeouts).
  void Join();

  // Helpers for scripts.
  static void SendAll(int fd, const std::string& bytes);
  // Reads until the peer closes or `limit` bytes have arrived.
  static std::string ReadAll(int fd, size_t limit = SIZE_MAX);
  // One read of at most `limit` bytes; empty when the connection has ended.
  static std::string ReadSome(int fd, size_t limit);

 private:
  int FListenFd = -1;
  std::uint16_t FPort = 0;
  std::thread FThread;
};

// A port on 127.0.0.1 where nothing listens (bound once, then released).
std::uint16_t UnusedPort();
// A blocking client connection to 127.0.0.1:port, for tests where the component listens.
int ConnectBlocking(std::uint16_t port);
void CloseFd(int fd);
// Closes the connection with a reset instead of an orderly end.
void ResetFd(int fd);
