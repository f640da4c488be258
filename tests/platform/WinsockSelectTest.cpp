// Socket notifications: which events arrive, how often, in what order.
#include "WinsockFixture.h"

#include <cstring>
#include <string>

#include "support/LoopRunner.h"

namespace api = winsock::api;
using winsock::FD_ACCEPT;
using winsock::FD_CLOSE;
using winsock::FD_CONNECT;
using winsock::FD_READ;
using winsock::FD_WRITE;
using winsock::SOCKET;

namespace {

std::string Receive(SOCKET s, int len) {
  std::string buf(static_cast<std::size_t>(len), '\0');
  int n = api::Recv(s, buf.data(), len, 0);
  return n > 0 ? buf.substr(0, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

TEST_F(WinsockTest, ConnectToListenerGivesConnectThenOneWrite) {
  std::uint16_t port;
  int listener = PosixListener(port);
  SOCKET s = SelectedStream();
  winsock::TSockAddrIn to = Loopback(port);
  // Whatever Linux knows at once, WinSock's answer to a selected socket is "would block".
  EXPECT_EQ(api::Connect(s, &to, sizeof to), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEWOULDBLOCK);
  EXPECT_TRUE(notes_.empty()) << "the outcome must come from the loop, not from connect()";
  Track(::accept(listener, nullptr, nullptr));
  ASSERT_TRUE(WaitFor(s, FD_WRITE));
  Settle();
  std::vector<Note> seen = NotesOf(s);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].event, FD_CONNECT);
  EXPECT_EQ(seen[0].error, 0);
  EXPECT_EQ(seen[1].event, FD_WRITE);
  EXPECT_EQ(seen[1].error, 0);
  // A second connect on the connected socket is a plain error.
  EXPECT_EQ(api::Connect(s, &to, sizeof to), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEISCONN);
}

TEST_F(WinsockTest, ConnectToClosedPortGivesRefusedAndNothingElse) {
  SOCKET s = SelectedStream();
  winsock::TSockAddrIn to = Loopback(ClosedPort());
  EXPECT_EQ(api::Connect(s, &to, sizeof to), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEWOULDBLOCK);
  ASSERT_TRUE(WaitFor(s, FD_CONNECT));
  Settle();
  std::vector<Note> seen = NotesOf(s);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].event, FD_CONNECT);
  EXPECT_EQ(seen[0].error, winsock::WSAECONNREFUSED);
}

TEST_F(WinsockTest, ReadIsPostedOnceUntilRecvAndAgainWhileDataRemains) {
  int peer;
  SOCKET s = ConnectedPair(peer);
  PeerSend(peer, "hello world");
  ASSERT_TRUE(WaitFor(s, FD_READ));
  PeerSend(peer, "!");
  ASSERT_TRUE(WaitArrived(s, 12));
  Settle();
  EXPECT_EQ(Count(s, FD_READ), 1) << "no second FD_READ before recv";
  EXPECT_EQ(Receive(s, 5), "hello");
  ASSERT_TRUE(RunLoopUntil([&] { return Count(s, FD_READ) == 2; }));
  EXPECT_EQ(Receive(s, 100), " world!");
  Settle();
  EXPECT_EQ(Count(s, FD_READ), 2) << "nothing left, nothing posted";
  // Would-block, not end of stream, once the data is gone.
  char c;
  EXPECT_EQ(api::Recv(s, &c, 1, 0), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEWOULDBLOCK);
  std::uint32_t waiting = 99;
  EXPECT_EQ(api::IoctlSocket(s, winsock::FIONREAD, &waiting), 0);
  EXPECT_EQ(waiting, 0u);
}

TEST_F(WinsockTest, DataThenPeerCloseGivesAllReadsBeforeExactlyOneClose) {
  int peer;
  SOCKET s = ConnectedPair(peer);
  const std::string sent(5000, 'x');
  PeerSend(peer, sent + "END");
  ::shutdown(peer, SHUT_WR);
  std::string got;
  bool readAfterClose = false;
  // Reads a little per FD_READ, as a slow reader would, so several FD_READs are needed.
  ASSERT_TRUE(RunLoopUntil(
      [&] {
        for (std::size_t i = 0; i < notes_.size(); ++i) {
          if (notes_[i].event == FD_READ && notes_[i].socket == s) {
            if (Count(s, FD_CLOSE) > 0) readAfterClose = true;
            got += Receive(s, 700);
            notes_[i].event = -FD_READ;  // handled
          }
        }
        return Count(s, FD_CLOSE) > 0;
      },
      5000));
  Settle();
  EXPECT_FALSE(readAfterClose);
  EXPECT_EQ(got, sent + "END");
  EXPECT_EQ(Count(s, FD_CLOSE), 1);
  for (const Note& n : NotesOf(s)) {
    if (n.event == FD_CLOSE) {
      EXPECT_EQ(n.error, 0);
    }
  }
  char c;
  EXPECT_EQ(api::Recv(s, &c, 1, 0), 0) << "end of stream";
}

TEST_F(WinsockTest, ResetGivesCloseWithConnectionReset) {
  int peer;
  SOCKET s = ConnectedPair(peer);
  // Linger on with no time: close() sends RST instead of FIN.
  linger l{1, 0};
  ASSERT_EQ(::setsockopt(peer, posix::kSolSocket, posix::kSoLinger, &l, sizeof l), 0);
  char c;
  EXPECT_EQ(::recv(peer, &c, 1, MSG_DONTWAIT), -1);
  ClosePosix(peer);
  ASSERT_TRUE(WaitFor(s, FD_CLOSE));
  Settle();
  EXPECT_EQ(Count(s, FD_CLOSE), 1);
  EXPECT_EQ(NotesOf(s).back().error, winsock::WSAECONNRESET);
}

TEST_F(WinsockTest, AcceptIsPostedOnceUntilAcceptAndAcceptedSocketInherits) {
  winsock::TSockAddrIn local;
  SOCKET listener = SelectedBound(winsock::SOCK_STREAM, 43, local);
  PosixClient(local);
  PosixClient(local);
  ASSERT_TRUE(WaitFor(listener, FD_ACCEPT));
  Settle();
  EXPECT_EQ(Count(listener, FD_ACCEPT), 1);
  winsock::TSockAddrIn from{};
  int fromLen = sizeof from;
  SOCKET a = TrackSocket(api::Accept(listener, &from, &fromLen));
  ASSERT_NE(a, winsock::INVALID_SOCKET);
  EXPECT_EQ(from.sin_addr, htonl(0x7F000001));
  EXPECT_EQ(fromLen, 16);
  // The second connection is still waiting, so accept() re-enabled the notification.
  ASSERT_TRUE(RunLoopUntil([&] { return Count(listener, FD_ACCEPT) == 2; }));
  // The accepted socket took over the listener's registration: writable at once.
  EXPECT_TRUE(WaitFor(a, FD_WRITE));
  EXPECT_EQ(Count(a, FD_CONNECT), 0);
  SOCKET b = TrackSocket(api::Accept(listener, nullptr, nullptr));
  EXPECT_NE(b, winsock::INVALID_SOCKET);
  EXPECT_EQ(api::Accept(listener, nullptr, nullptr), winsock::INVALID_SOCKET);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEWOULDBLOCK);
  Settle();
  EXPECT_EQ(Count(listener, FD_ACCEPT), 2);
  EXPECT_EQ(api::Accept(a, nullptr, nullptr), winsock::INVALID_SOCKET);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEINVAL);
}

TEST_F(WinsockTest, WriteReturnsOnlyAfterASendWouldBlock) {
  int peer;
  SOCKET s = ConnectedPair(peer);
  // Nobody reads on the other side.
  const long sent = FillUntilWouldBlock(s);
  Settle();
  EXPECT_EQ(Count(s, FD_WRITE), 0) << "still full";
  // Drain the peer; the socket can take data again and says so once.
  std::string sink(1 << 20, '\0');
  long drained = 0;
  while (drained < sent) {
    ssize_t n = ::recv(peer, sink.data(), sink.size(), 0);
    ASSERT_GT(n, 0);
    drained += n;
    if (drained > sent / 2) break;
  }
  ASSERT_TRUE(WaitFor(s, FD_WRITE));
  Settle();
  EXPECT_EQ(Count(s, FD_WRITE), 1);
}

TEST_F(WinsockTest, MaskZeroStopsNotificationsAndReregistrationReportsWaitingData) {
  int peer;
  SOCKET s = ConnectedPair(peer);
  ASSERT_EQ(api::WSAAsyncSelect(s, wnd_, 0, 0), 0);
  PeerSend(peer, "queued while paused");
  ASSERT_TRUE(WaitArrived(s, 19));
  Settle();
  EXPECT_TRUE(NotesOf(s).empty());
  ASSERT_EQ(api::WSAAsyncSelect(s, wnd_, kSocketMsg, 51), 0);
  ASSERT_TRUE(WaitFor(s, FD_READ));
  EXPECT_EQ(Count(s, FD_WRITE), 1) << "a writable socket is reported on registration";
  EXPECT_EQ(Receive(s, 100), "queued while paused");
}

TEST_F(WinsockTest, ClosedHandlesAreNeverReusedSoStaleNotificationsCannotMatch) {
  int peer;
  SOCKET first = ConnectedPair(peer);
  PeerSend(peer, "x");
  ASSERT_TRUE(WaitFor(first, FD_READ));
  ASSERT_EQ(api::CloseSocket(first), 0);
  EXPECT_EQ(api::CloseSocket(first), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAENOTSOCK);
  std::vector<SOCKET> seen{first};
  for (int i = 0; i < 20; ++i) {
    // Each new socket is likely to get the descriptor the previous one gave back.
    SOCKET s = api::Socket(winsock::AF_INET, winsock::SOCK_STREAM, 0);
    ASSERT_NE(s, winsock::INVALID_SOCKET);
    for (SOCKET old : seen) ASSERT_NE(s, old);
    seen.push_back(s);
    ASSERT_EQ(api::CloseSocket(s), 0);
  }
  char c;
  EXPECT_EQ(api::Recv(first, &c, 1, 0), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAENOTSOCK);
  // A new connection on the same window: none of its notifications names the old handle.
  notes_.clear();
  int peer2;
  SOCKET second = ConnectedPair(peer2);
  PeerSend(peer2, "y");
  ASSERT_TRUE(WaitFor(second, FD_READ));
  EXPECT_EQ(Count(first, FD_READ) + Count(first, FD_WRITE) + Count(first, FD_CLOSE), 0);
}

TEST_F(WinsockTest, DatagramsGiveReadAndWriteOnly) {
  SOCKET a = TrackSocket(api::Socket(winsock::AF_INET, winsock::SOCK_DGRAM, 0));
  winsock::TSockAddrIn local;
  SOCKET b = SelectedBound(winsock::SOCK_DGRAM, 59, local);
  ASSERT_TRUE(WaitFor(b, FD_WRITE));
  ASSERT_EQ(api::SendTo(a, "ping", 4, 0, &local, sizeof local), 4);
  ASSERT_EQ(api::SendTo(a, "a longer datagram", 17, 0, &local, sizeof local), 17);
  ASSERT_TRUE(WaitFor(b, FD_READ));
  char buf[8];
  winsock::TSockAddrIn from{};
  int fromLen = sizeof from;
  EXPECT_EQ(api::RecvFrom(b, buf, sizeof buf, 0, &from, &fromLen), 4);
  EXPECT_EQ(std::string(buf, 4), "ping");
  EXPECT_EQ(from.sin_addr, htonl(0x7F000001));
  // A datagram larger than the buffer is an error on WinSock, not a silent cut.
  EXPECT_EQ(api::RecvFrom(b, buf, sizeof buf, 0, &from, &fromLen), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEMSGSIZE);
  Settle();
  for (const Note& n : NotesOf(b)) EXPECT_TRUE(n.event == FD_READ || n.event == FD_WRITE);
}

TEST_F(WinsockTest, ShortSendArmsWriteAsAWouldBlockDoes) {
  int peer;
  SOCKET s = ConnectedPair(peer);
  // Small fixed buffers on both ends, so that one large send cannot fit.
  const std::int32_t small = 16384;
  ASSERT_EQ(api::SetSockOpt(s, winsock::SOL_SOCKET, 0x1001, reinterpret_cast<const char*>(&small),
                            sizeof small),
            0);
  ASSERT_EQ(::setsockopt(peer, posix::kSolSocket, SO_RCVBUF, &small, sizeof small), 0);
  // Linux takes what fits and answers with a short count instead of "would block". A
  // sender that waits for FD_WRITE before offering the rest must still hear of the room.
  std::string big(4 << 20, 'w');
  int n = api::Send(s, big.data(), static_cast<int>(big.size()), 0);
  ASSERT_GT(n, 0);
  ASSERT_LT(n, static_cast<int>(big.size()));
  // No further send is made: the room the peer makes by reading must be reported anyway.
  timeval bound{5, 0};
  ::setsockopt(peer, posix::kSolSocket, SO_RCVTIMEO, &bound, sizeof bound);
  std::string sink(1 << 16, '\0');
  for (int got = 0; got < n;) {
    ssize_t r = ::recv(peer, sink.data(), sink.size(), 0);
    ASSERT_GT(r, 0);
    got += static_cast<int>(r);
  }
  ASSERT_TRUE(WaitFor(s, FD_WRITE));
  Settle();
  EXPECT_EQ(Count(s, FD_WRITE), 1);
}
