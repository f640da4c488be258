// Ending connections: Abort, a reset from the peer, and what the counters show around a
// close.

#include <gtest/gtest.h>

#include "SocketEventLog.h"
#include "SocketTestPeer.h"
#include "platform/winsock/WinsockTestHooks.h"
#include "support/LoopRunner.h"

namespace {

void ConnectTo(TWSocket& socket, SocketEventLog& log, const TestPeer& peer) {
  socket.SetAddr("127.0.0.1");
  socket.SetPort(peer.PortText());
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("connected 0"); }));
}

TEST(SocketCloseTest, AbortCancelsTheLookupDropsTheQueueAndReportsTheClose) {
  TestPeer peer([](int fd) { TestPeer::ReadAll(fd); });
  SocketEventLog log;
  TWSocket socket;
  log.Attach(socket);
  ConnectTo(socket, log, peer);
  winsock::SimulateLookupDelay(100);
  socket.DnsLookup("localhost");
  socket.Abort();
  winsock::SimulateLookupDelay(0);
  std::vector<std::string> tail(log.events.end() - 3, log.events.end());
  std::vector<std::string> expected = {"dns 10004", "state 4>7", "closed 0"};
  EXPECT_EQ(tail, expected);
  EXPECT_EQ(socket.State(), wsClosed);
  // A second Abort or Close on a closed socket does nothing.
  size_t count = log.events.size();
  socket.Abort();
  socket.Close();
  EXPECT_EQ(log.events.size(), count);
}

TEST(SocketCloseTest, PeerResetIsReportedOnce) {
  TestPeer peer([](int fd) {
    TestPeer::ReadAll(fd, 1);
    ResetFd(fd);
  });
  SocketEventLog log;
  TWSocket socket;
  log.Attach(socket);
  ConnectTo(socket, log, peer);
  socket.SendStr("x");
  ASSERT_TRUE(RunLoopUntil([&] { return socket.State() == wsClosed; }));
  DrainMessages();
  int closes = 0;
  for (const auto& e : log.events) closes += e.rfind("closed ", 0) == 0;
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(log.Has("closed 10054")) << ::testing::PrintToString(log.events);
  // Sending now is refused with the closed-socket text.
  EXPECT_EQ(ExceptionText([&] { socket.SendStr("y"); }),
            "Error 10057 in function Send\r\nSocket is not connected");
}

TEST(SocketCloseTest, CountersAndLocalPortAroundAConnection) {
  TestPeer peer([](int fd) {
    TestPeer::SendAll(fd, "0123456789");
    TestPeer::ReadAll(fd);
  });
  SocketEventLog log;
  std::string received;
  TWSocket socket;
  log.Attach(socket);
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) {
    char buffer[4];
    int n = socket.Receive(buffer, sizeof buffer);
    if (n > 0) received.append(buffer, static_cast<size_t>(n));
  };
  std::string localPort = std::to_string(UnusedPort());
  socket.SetLocalPort(localPort);
  ConnectTo(socket, log, peer);
  EXPECT_EQ(socket.GetLocalPortText(), localPort);
  EXPECT_EQ(socket.LocalPort(), localPort);
  ASSERT_TRUE(RunLoopUntil([&] { return received.size() == 10; }));
  EXPECT_EQ(socket.ReadCount(), 10);
  EXPECT_EQ(socket.RcvdCount(), 0);
  EXPECT_EQ(socket.ReceiveStr(), "");
  EXPECT_EQ(socket.LastError(), 0);
  socket.Close();
  EXPECT_EQ(socket.ReadCount(), 0);
  EXPECT_EQ(socket.LocalPort(), "0");
}

}  // namespace
