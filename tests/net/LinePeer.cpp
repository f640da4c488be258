#include "LinePeer.h"
#include "support/LoopbackSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "platform/MessageLoop.h"

TLinePeer::TLinePeer() {
  int port = 0;
  FListenFd = OpenLoopbackSocket(port);
  if (FListenFd < 0) throw std::runtime_error("scripted peer: cannot listen on 127.0.0.1");
  FPort = static_cast<std::uint16_t>(port);
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
    throw std::runtime_error("scripted peer: no pipe");
  FWakeRead = pipeFds[0];
  FWakeWrite = pipeFds[1];
  FPokeWnd = AllocateHWnd([](UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
  FThread = std::thread([this] { Run(); });
}

TLinePeer::~TLinePeer() {
  {
    std::lock_guard<std::mutex> guard(FLock);
    FStop = true;
  }
  Wake();
  FThread.join();
  for (int fd : {FListenFd, FConnFd, FWakeRead, FWakeWrite})
    if (fd >= 0) ::close(fd);
  DestroyWindow(FPokeWnd);
}

void TLinePeer::Send(const std::string& bytes) {
  {
    std::lock_guard<std::mutex> guard(FLock);
    FCommands.push_back({false, bytes});
  }
  Wake();
}

void TLinePeer::CloseConnection() {
  {
    std::lock_guard<std::mutex> guard(FLock);
    FCommands.push_back({true, {}});
  }
  Wake();
}

bool TLinePeer::Accepted() {
  std::lock_guard<std::mutex> guard(FLock);
  return FAccepted;
}

std::uint64_t TLinePeer::Written() {
  std::lock_guard<std::mutex> guard(FLock);
  return FWritten;
}

std::string TLinePeer::Received() {
  std::lock_guard<std::mutex> guard(FLock);
  return FReceived;
}

bool TLinePeer::PeerClosed() {
  std::lock_guard<std::mutex> guard(FLock);
  return FPeerClosed;
}

void TLinePeer::Wake() {
  const char b = 1;
  // A full pipe already means "wake up"; nothing is lost by a failed write.
  [[maybe_unused]] ssize_t n = ::write(FWakeWrite, &b, 1);
}

void TLinePeer::Poke() {
  PostMessage(FPokeWnd, WM_NULL, 0, 0);
}

void TLinePeer::Run() {
  for (;;) {
    {
      std::lock_guard<std::mutex> guard(FLock);
      if (FStop) return;
    }
    if (!FHaveCurrent) FHaveCurrent = TakeCommand(FCurrent);
    if (FConnFd >= 0 && FHaveCurrent && FCurrent.close) {
      DropConnection();
      FHaveCurrent = false;
      continue;
    }
    short connEvents = 0;
    if (FConnFd >= 0 && FReadOpen) connEvents |= POLLIN;
    if (FConnFd >= 0 && FHaveCurrent) connEvents |= POLLOUT;
    // Until a connection exists, watch the listening socket; poll skips negative fds.
    const int fd = FConnFd >= 0 ? (connEvents ? FConnFd : -1) : FListenFd;
    pollfd fds[2] = {{FWakeRead, POLLIN, 0}, {fd, FConnFd >= 0 ? connEvents : short(POLLIN), 0}};
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) return;
    if (fds[0].revents & POLLIN) {
      char drain[64];
      while (::read(FWakeRead, drain, sizeof drain) > 0) {
      }
    }
    const short ready = fds[1].revents;
    if (FConnFd < 0) {
      if ((ready & POLLIN) && !HandleListen()) return;
      continue;
    }
    if ((ready & (POLLIN | POLLHUP | POLLERR)) && FReadOpen) HandleReadable();
    if (FConnFd >= 0 && (ready & (POLLOUT | POLLERR)) && FHaveCurrent) WriteSome();
  }
}

void TLinePeer::DropConnection() {
  ::close(FConnFd);
  FConnFd = -1;
  FReadOpen = false;
  Poke();
}

bool TLinePeer::HandleListen() {
  FConnFd = ::accept4(FListenFd, nullptr, nullptr, SOCK_CLOEXEC);
  if (FConnFd < 0) return errno == EINTR || errno == EAGAIN;
  FReadOpen = true;
  // Small writes must leave at once, each as its own segment, not wait for an ACK.
  const int one = 1;
  ::setsockopt(FConnFd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  {
    std::lock_guard<std::mutex> guard(FLock);
    FAccepted = true;
  }
  Poke();
  return true;
}

void TLinePeer::HandleReadable() {
  char buf[65536];
  const ssize_t n = ::recv(FConnFd, buf, sizeof buf, MSG_DONTWAIT);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
  {
    std::lock_guard<std::mutex> guard(FLock);
    if (n <= 0)
      FPeerClosed = true;
    else
      FReceived.append(buf, static_cast<std::size_t>(n));
  }
  // After end of stream the descriptor stays for writes the script still wants; only
  // input is no longer watched (it would be readable forever).
  if (n <= 0) FReadOpen = false;
  Poke();
}

bool TLinePeer::TakeCommand(TCommand& cmd) {
  std::lock_guard<std::mutex> guard(FLock);
  if (FCommands.empty()) return false;
  cmd = std::move(FCommands.front());
  FCommands.pop_front();
  FCurrentDone = 0;
  return true;
}

void TLinePeer::WriteSome() {
  const std::string& bytes = FCurrent.bytes;
  while (FCurrentDone < bytes.size()) {
    const ssize_t n = ::send(FConnFd, bytes.data() + FCurrentDone, bytes.size() - FCurrentDone,
                             MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n < 0) {
      // The component is gone; what the script still wanted to say cannot be said.
      DropConnection();
      FHaveCurrent = false;
      return;
    }
    FCurrentDone += static_cast<std::size_t>(n);
  }
  {
    std::lock_guard<std::mutex> guard(FLock);
    FWritten += bytes.size();
  }
  FHaveCurrent = false;
  Poke();
}
