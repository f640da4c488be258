#include "WinsockFixture.h"

#include <algorithm>

#include "support/LoopRunner.h"
#include "support/LoopbackSocket.h"
#include "support/SocketArrival.h"

namespace api = winsock::api;
using winsock::SOCKET;

void WinsockTest::SetUp() {
  winsock::TWSAData data;
  ASSERT_EQ(api::WSAStartup(0x0101, &data), 0);
  wnd_ = AllocateHWnd([this](UINT msg, WPARAM w, LPARAM l) {
    if (msg == kSocketMsg)
      notes_.push_back({static_cast<SOCKET>(w), static_cast<long>(LOWORD(l)), HIWORD(l)});
    return LRESULT{0};
  });
}

void WinsockTest::TearDown() {
  for (SOCKET s : sockets_) api::CloseSocket(s);
  for (int fd : fds_) ::close(fd);
  DestroyWindow(wnd_);
  DrainMessages();
  api::WSACleanup();
}

SOCKET WinsockTest::SelectedStream() {
  SOCKET s = TrackSocket(api::Socket(winsock::AF_INET, winsock::SOCK_STREAM, 0));
  EXPECT_NE(s, winsock::INVALID_SOCKET);
  EXPECT_EQ(api::WSAAsyncSelect(s, wnd_, kSocketMsg, 59), 0);
  return s;
}

winsock::TSockAddrIn WinsockTest::Loopback(std::uint16_t port) {
  winsock::TSockAddrIn a{};
  a.sin_family = winsock::AF_INET;
  a.sin_port = htons(port);
  a.sin_addr = htonl(0x7F000001);
  return a;
}

int WinsockTest::PosixListener(std::uint16_t& port) {
  int bound = 0;
  const int fd = Track(OpenLoopbackSocket(bound, 8));
  EXPECT_GE(fd, 0);
  port = static_cast<std::uint16_t>(bound);
  return fd;
}

std::uint16_t WinsockTest::ClosedPort() {
  refusing_.push_back(std::make_unique<TRefusingPort>());
  return refusing_.back()->PortNumber();
}

SOCKET WinsockTest::ConnectedPair(int& peerFd) {
  std::uint16_t port;
  int listener = PosixListener(port);
  SOCKET s = SelectedStream();
  winsock::TSockAddrIn to = Loopback(port);
  EXPECT_EQ(api::Connect(s, &to, sizeof to), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEWOULDBLOCK);
  peerFd = Track(::accept(listener, nullptr, nullptr));
  EXPECT_TRUE(WaitFor(s, winsock::FD_WRITE));
  notes_.clear();
  return s;
}

SOCKET WinsockTest::SelectedBound(int type, long mask, winsock::TSockAddrIn& local) {
  SOCKET s = TrackSocket(api::Socket(winsock::AF_INET, type, 0));
  local = Loopback(0);
  int len = sizeof local;
  EXPECT_EQ(api::Bind(s, &local, sizeof local), 0);
  if (type == winsock::SOCK_STREAM) {
    EXPECT_EQ(api::Listen(s, 5), 0);
  }
  EXPECT_EQ(api::GetSockName(s, &local, &len), 0);
  EXPECT_EQ(api::WSAAsyncSelect(s, wnd_, kSocketMsg, mask), 0);
  return s;
}

int WinsockTest::PosixClient(const winsock::TSockAddrIn& to) {
  int c = Track(::socket(posix::kAfInet, SOCK_STREAM, 0));
  sockaddr_in sa{};
  sa.sin_family = posix::kAfInet;
  sa.sin_port = to.sin_port;
  sa.sin_addr.s_addr = to.sin_addr;
  EXPECT_EQ(::connect(c, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
  return c;
}

void WinsockTest::PeerSend(int fd, const std::string& text) {
  ASSERT_EQ(::send(fd, text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
}

long WinsockTest::FillUntilWouldBlock(SOCKET s) {
  std::string block(65536, 'z');
  long sent = 0;
  for (int i = 0; i < 1000; ++i) {
    int n = api::Send(s, block.data(), static_cast<int>(block.size()), 0);
    if (n == winsock::SOCKET_ERROR) break;
    sent += n;
  }
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEWOULDBLOCK);
  return sent;
}

void WinsockTest::ClosePosix(int fd) {
  std::erase(fds_, fd);
  ::close(fd);
}

bool WinsockTest::WaitFor(SOCKET s, long event, int timeoutMs) {
  return RunLoopUntil([&] { return Count(s, event) > 0; }, timeoutMs);
}

int WinsockTest::Count(SOCKET s, long event) const {
  int n = 0;
  for (const Note& note : notes_)
    if (note.socket == s && note.event == event) ++n;
  return n;
}

std::vector<Note> WinsockTest::NotesOf(SOCKET s) const {
  std::vector<Note> out;
  for (const Note& note : notes_)
    if (note.socket == s) out.push_back(note);
  return out;
}

void WinsockTest::Settle() {
  DrainMessages();
}

bool WinsockTest::WaitArrived(SOCKET s, int bytes) {
  return WaitForArrival(s, bytes);
}
