// A waiting loop must sleep in poll(), whatever state its sockets are in.
#include "WinsockFixture.h"

#include <time.h>

#include "support/LoopRunner.h"

namespace api = winsock::api;
using winsock::SOCKET;

namespace {

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

}  // namespace

TEST_F(WinsockTest, IdleLoopWithPendingSocketsUsesAlmostNoCpu) {
  // An idle connection: connected, FD_WRITE delivered, nothing to read.
  int idlePeer;
  SOCKET idle = ConnectedPair(idlePeer);
  // A connection with unread data whose FD_READ was delivered but not answered by recv.
  int unreadPeer;
  SOCKET unread = ConnectedPair(unreadPeer);
  PeerSend(unreadPeer, "data");
  ASSERT_TRUE(WaitFor(unread, winsock::FD_READ));
  // The same, and then the peer closed: FD_CLOSE must wait for the data to be read.
  int closedPeer;
  SOCKET closed = ConnectedPair(closedPeer);
  PeerSend(closedPeer, "more");
  ASSERT_TRUE(WaitFor(closed, winsock::FD_READ));
  ClosePosix(closedPeer);
  // A connection reset after its close was reported.
  int resetPeer;
  SOCKET reset = ConnectedPair(resetPeer);
  linger l{1, 0};
  ::setsockopt(resetPeer, posix::kSolSocket, posix::kSoLinger, &l, sizeof l);
  ClosePosix(resetPeer);
  ASSERT_TRUE(WaitFor(reset, winsock::FD_CLOSE));

  notes_.clear();
  const double before = ProcessCpuSeconds();
  RunLoopUntil([] { return false; }, 500);
  const double used = ProcessCpuSeconds() - before;
  EXPECT_LT(used, 0.1) << "the loop spun while waiting";
  EXPECT_EQ(Count(idle, winsock::FD_READ), 0);
  EXPECT_EQ(Count(unread, winsock::FD_READ), 0) << "no second FD_READ without recv";
  EXPECT_EQ(Count(closed, winsock::FD_CLOSE), 0) << "data still unread";

  // Reading the rest lets the owed close through, exactly once.
  char buf[16];
  EXPECT_EQ(api::Recv(closed, buf, sizeof buf, 0), 4);
  ASSERT_TRUE(WaitFor(closed, winsock::FD_CLOSE));
  const double before2 = ProcessCpuSeconds();
  RunLoopUntil([] { return false; }, 200);
  EXPECT_LT(ProcessCpuSeconds() - before2, 0.05);
  EXPECT_EQ(Count(closed, winsock::FD_CLOSE), 1);
}

TEST_F(WinsockTest, IdleLoopWithUnacceptedConnectionAndUnreadDatagramUsesAlmostNoCpu) {
  // A listener whose FD_ACCEPT was delivered while the connection still waits in the backlog.
  winsock::TSockAddrIn local;
  SOCKET listener = SelectedBound(winsock::SOCK_STREAM, winsock::FD_ACCEPT, local);
  PosixClient(local);
  ASSERT_TRUE(WaitFor(listener, winsock::FD_ACCEPT));
  // A datagram socket whose FD_READ was delivered while the datagram stays unread.
  winsock::TSockAddrIn target;
  SOCKET dgram = SelectedBound(winsock::SOCK_DGRAM, winsock::FD_READ, target);
  SOCKET sender = TrackSocket(api::Socket(winsock::AF_INET, winsock::SOCK_DGRAM, 0));
  ASSERT_EQ(api::SendTo(sender, "ping", 4, 0, &target, sizeof target), 4);
  ASSERT_TRUE(WaitFor(dgram, winsock::FD_READ));

  notes_.clear();
  const double before = ProcessCpuSeconds();
  RunLoopUntil([] { return false; }, 500);
  EXPECT_LT(ProcessCpuSeconds() - before, 0.1) << "the loop spun while waiting";
  EXPECT_TRUE(notes_.empty()) << "nothing re-enabled, nothing posted";
}
