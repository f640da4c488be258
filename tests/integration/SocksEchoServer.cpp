#include "SocksEchoServer.h"
#include "support/LoopbackSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int WaitMs = 10000;

bool SendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

TSocksEchoServer::TSocksEchoServer() {
  int port = 0;
  FListenFd = OpenLoopbackSocket(port);
  if (FListenFd < 0) return;
  FPort = static_cast<decltype(FPort)>(port);
  FThread = std::thread([this] { Serve(); });
}

TSocksEchoServer::~TSocksEchoServer() {
  // Wakes a thread still waiting for its client, so that a server nobody used ends at once.
  if (FListenFd >= 0) ::shutdown(FListenFd, SHUT_RDWR);
  if (FThread.joinable()) FThread.join();
  if (FListenFd >= 0) ::close(FListenFd);
}

void TSocksEchoServer::Serve() {
  pollfd p{FListenFd, POLLIN, 0};
  if (::poll(&p, 1, WaitMs) != 1 || (p.revents & POLLIN) == 0) return;
  const int fd = ::accept(FListenFd, nullptr, nullptr);
  if (fd < 0) return;
  std::string pending;
  bool open = SendAll(fd, Greeting);
  while (open) {
    pollfd q{fd, POLLIN, 0};
    char buf[512];
    const ssize_t n = ::poll(&q, 1, WaitMs) == 1 ? ::recv(fd, buf, sizeof buf, 0) : -1;
    if (n <= 0) break;
    pending.append(buf, static_cast<std::size_t>(n));
    for (std::size_t end; open && (end = pending.find("\r\n")) != std::string::npos;) {
      const std::string line = pending.substr(0, end + 2);
      pending.erase(0, end + 2);
      open = line == "QUIT\r\n" ? (SendAll(fd, "+OK bye\r\n"), false) : SendAll(fd, line);
    }
  }
  ::close(fd);
}
