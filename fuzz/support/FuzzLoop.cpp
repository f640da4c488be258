#include "FuzzLoop.h"

#include <cstdint>

#include "FuzzInput.h"
#include "platform/MessageLoop.h"

// After the message loop's header: the system's socket macros would clash with the
// WinSock names.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

TFuzzListener::TFuzzListener() {
  FFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  Check(::bind(FFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0);
  Check(::listen(FFd, 4) == 0);
  ::getsockname(FFd, reinterpret_cast<sockaddr*>(&addr), &len);
  FPort = ntohs(addr.sin_port);
}

int TFuzzListener::Accept() {
  const int fd = ::accept4(FFd, nullptr, nullptr, SOCK_CLOEXEC);
  Check(fd >= 0);
  // Each piece must leave at once as a segment of its own, not wait for the client's
  // acknowledgement of the one before (Nagle): the client takes it in a read of its own.
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}

TFuzzConnection::~TFuzzConnection() {
  if (FFd >= 0) ::close(FFd);
}

void TFuzzConnection::Send(const std::string& bytes) {
  if (FHungUp || bytes.empty()) return;
  ::send(FFd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  FSent += bytes;
}

void TFuzzConnection::HangUp(bool reset) {
  if (FHungUp) return;
  FHungUp = true;
  if (!reset) {
    ::shutdown(FFd, SHUT_WR);
    return;
  }
  // Linger on with no time turns the close into a reset; nothing can be read afterwards.
  Received();
  linger hard{1, 0};
  ::setsockopt(FFd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  ::close(FFd);
  FFd = -1;
  FEof = true;
}

const std::string& TFuzzConnection::Received() {
  if (FFd < 0) return FReceived;
  char buf[16384];
  for (;;) {
    const ssize_t n = ::recv(FFd, buf, sizeof buf, MSG_DONTWAIT);
    if (n <= 0) {
      if (n == 0) FEof = true;
      break;
    }
    FReceived.append(buf, static_cast<std::size_t>(n));
  }
  return FReceived;
}

void Drain() {
  TMsg msg;
  while (PeekMessage(msg)) DispatchMessage(msg);
}

bool RunUntil(const std::function<bool()>& done, int ms) {
  const std::uint64_t deadline = TickCount() + static_cast<std::uint64_t>(ms);
  TMsg msg;
  while (!done() && TickCount() < deadline) {
    // The server's end is read here, not from a watch, so the condition is looked at
    // again before the loop sleeps.
    if (PeekMessage(msg))
      DispatchMessage(msg);
    else if (!done())
      WaitMessage(static_cast<int>(deadline - TickCount()));
  }
  return done();
}
