// Ending connections: Abort, a reset from the peer, and what the counters show around a
// close.

#include <gtest/gtest.h>

#include "SocketEventLog.h"
#include "platform/MessageLoop.h"
#include "platform/winsock/WinsockTestHooks.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"
#include "support/SocketArrival.h"

namespace {

void ConnectTo(TWSocket& socket, SocketEventLog& log, const TScriptedPeer& peer) {
  socket.SetAddr("127.0.0.1");
  socket.SetPort(peer.Port());
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("connected 0"); }));
}

TEST(SocketCloseTest, AbortCancelsTheLookupDropsTheQueueAndReportsTheClose) {
  TScriptedPeer peer;
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
  TScriptedPeer peer;
  peer.Expect("x").Reset();
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

// A peer that resets the connection once the test says so, and a wait, without running the
// loop, until the component's side has taken the reset. The loop must stay still: it would
// find the reset first and close the socket through FD_CLOSE, and the case under test is a
// send that meets the reset.
struct ResettingPeer {
  TScriptedPeer peer;
  ResettingPeer() { peer.Hold().Reset(); }
  bool ResetNow(TWSocket& socket) {
    peer.Release();
    return peer.WaitPlayed() && WaitForArrival(socket.HSocket(), 1);
  }
};

TEST(SocketCloseTest, SendMeetingAResetReportsTheCloseAndNoDataSent) {
  ResettingPeer reset;
  SocketEventLog log;
  TWSocket socket;
  log.Attach(socket);
  ConnectTo(socket, log, reset.peer);
  DrainMessages();  // the first FD_WRITE after the connect
  ASSERT_TRUE(reset.ResetNow(socket));
  size_t before = log.events.size();
  EXPECT_EQ(socket.SendStr("lost"), 4);
  EXPECT_EQ(socket.State(), wsClosed);
  DrainMessages();
  // Nothing was sent, so no OnDataSent may follow the close.
  std::vector<std::string> expected = {"state 4>7", "closed 10054"};
  EXPECT_EQ(std::vector<std::string>(log.events.begin() + before, log.events.end()), expected);
}

TEST(SocketCloseTest, WriteNotificationMeetingAResetReportsTheCloseAndNoDataSent) {
  ResettingPeer reset;
  SocketEventLog log;
  TWSocket socket;
  log.Attach(socket);
  ConnectTo(socket, log, reset.peer);
  DrainMessages();
  // More than the kernel buffers hold, so the queue keeps the rest for the next FD_WRITE.
  socket.SendStr(std::string(16 * 1024 * 1024, 'x'));
  ASSERT_TRUE(reset.ResetNow(socket));
  // An FD_WRITE that was queued before the reset showed: the send it resumes fails.
  PostMessage(socket.Handle(), SocketNotifyMessage, static_cast<WPARAM>(socket.HSocket()),
              MAKELONG(winsock::FD_WRITE, 0));
  size_t before = log.events.size();
  DrainMessages();
  std::vector<std::string> expected = {"state 4>7", "closed 10054"};
  EXPECT_EQ(std::vector<std::string>(log.events.begin() + before, log.events.end()), expected);
}

TEST(SocketCloseTest, CountersAndLocalPortAroundAConnection) {
  TScriptedPeer peer;
  peer.Send("0123456789");
  SocketEventLog log;
  std::string received;
  TWSocket socket;
  log.Attach(socket);
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) {
    char buffer[4];
    int n = socket.Receive(buffer, sizeof buffer);
    if (n > 0) received.append(buffer, static_cast<size_t>(n));
  };
  std::string localPort;
  {
    TRefusingPort free;  // bound and let go again: nobody uses it now
    localPort = free.Port();
  }
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
