#include "SocketTestPeer.h"
#include "support/LoopbackSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <stdexcept>

namespace {

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in addr = {};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return addr;
}

// A peer never waits longer than this for anything, so a broken test cannot hang it.
void BoundWaits(int fd) {
  timeval tv = {20, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

}  // namespace

TestPeer::TestPeer(Script script) {
  int port = 0;
  FListenFd = OpenLoopbackSocket(port, 5);
  if (FListenFd < 0) throw std::runtime_error("test peer cannot listen");
  FPort = static_cast<std::uint16_t>(port);
  BoundWaits(FListenFd);
  FThread = std::thread([this, script] {
    int fd = ::accept(FListenFd, nullptr, nullptr);
    if (fd < 0) return;
    BoundWaits(fd);
    script(fd);
    ::close(fd);
  });
}

TestPeer::~TestPeer() {
  if (FListenFd >= 0) ::shutdown(FListenFd, SHUT_RDWR);
  Join();
  if (FListenFd >= 0) ::close(FListenFd);
}

void TestPeer::Join() {
  if (FThread.joinable()) FThread.join();
}

void TestPeer::SendAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

std::string TestPeer::ReadAll(int fd, size_t limit) {
  std::string result;
  char buffer[65536];
  while (result.size() < limit) {
    size_t want = std::min(sizeof buffer, limit - result.size());
    ssize_t n = ::recv(fd, buffer, want, 0);
    if (n <= 0) break;
    result.append(buffer, static_cast<size_t>(n));
  }
  return result;
}

std::string TestPeer::ReadSome(int fd, size_t limit) {
  std::string result(limit, '\0');
  ssize_t n = ::recv(fd, result.data(), limit, 0);
  result.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return result;
}

std::uint16_t UnusedPort() {
  int port = 0;
  int fd = OpenLoopbackSocket(port, 0);
  if (fd >= 0) ::close(fd);
  return static_cast<std::uint16_t>(port);
}

int ConnectBlocking(std::uint16_t port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr = Loopback(port);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  BoundWaits(fd);
  return fd;
}

void CloseFd(int fd) {
  ::close(fd);
}

void ResetFd(int fd) {
  linger hard = {1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  ::close(fd);
}
