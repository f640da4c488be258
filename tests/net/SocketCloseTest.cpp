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

using SocketCloseTest = SocketTest;

TEST_F(SocketCloseTest, AbortCancelsTheLookupDropsTheQueueAndReportsTheClose) {
  TScriptedPeer peer;
  ConnectAndWait(peer.Port());
  winsock::SimulateLookupDelay(100);
  socket.DnsLookup("localhost");
  socket.Abort();
  winsock::SimulateLookupDelay(0);
  std::vector<std::string> expected = {"dns 10004", "state 4>7", "closed 0"};
  EXPECT_EQ(log.Since(log.events.size() - 3), expected);
  EXPECT_EQ(socket.State(), wsClosed);
  // A second Abort or Close on a closed socket does nothing.
  size_t count = log.events.size();
  socket.Abort();
  socket.Close();
  EXPECT_EQ(log.events.size(), count);
}

TEST_F(SocketCloseTest, PeerResetIsReportedOnce) {
  TScriptedPeer peer;
  peer.Expect("x").Reset();
  ConnectAndWait(peer.Port());
  socket.SendStr("x");
  ASSERT_TRUE(RunLoopUntil([&] { return socket.State() == wsClosed; }));
  DrainMessages();
  EXPECT_EQ(log.Sessions(), (std::vector<std::string>{"connected 0", "closed 10054"}));
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

TEST_F(SocketCloseTest, SendMeetingAResetReportsTheCloseAndNoDataSent) {
  ResettingPeer reset;
  ConnectAndWait(reset.peer.Port());
  DrainMessages();  // the first FD_WRITE after the connect
  ASSERT_TRUE(reset.ResetNow(socket));
  size_t before = log.events.size();
  EXPECT_EQ(socket.SendStr("lost"), 4);
  EXPECT_EQ(socket.State(), wsClosed);
  DrainMessages();
  // Nothing was sent, so no OnDataSent may follow the close.
  EXPECT_EQ(log.Since(before), (std::vector<std::string>{"state 4>7", "closed 10054"}));
}

TEST_F(SocketCloseTest, WriteNotificationMeetingAResetReportsTheCloseAndNoDataSent) {
  ResettingPeer reset;
  ConnectAndWait(reset.peer.Port());
  DrainMessages();
  // More than the kernel buffers hold, so the queue keeps the rest for the next FD_WRITE.
  socket.SendStr(std::string(16 * 1024 * 1024, 'x'));
  ASSERT_TRUE(reset.ResetNow(socket));
  // An FD_WRITE that was queued before the reset showed: the send it resumes fails.
  PostMessage(socket.Handle(), SocketNotifyMessage, static_cast<WPARAM>(socket.HSocket()),
              MAKELONG(winsock::FD_WRITE, 0));
  size_t before = log.events.size();
  DrainMessages();
  EXPECT_EQ(log.Since(before), (std::vector<std::string>{"state 4>7", "closed 10054"}));
}

TEST_F(SocketCloseTest, CountersAndLocalPortAroundAConnection) {
  TScriptedPeer peer;
  peer.Send("0123456789");
  std::string received;
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
  ConnectAndWait(peer.Port());
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

TEST_F(SocketCloseTest, WaitUntilClosedDeliversTheRestAndReturnsAtTheClose) {
  TScriptedPeer peer;
  peer.Expect("go").Send("last words").Close();
  std::string received;
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) { received += socket.ReceiveStr(); };
  ConnectAndWait(peer.Port());
  socket.SendStr("go");
  socket.WaitUntilClosed();
  EXPECT_EQ(received, "last words");
  EXPECT_EQ(socket.State(), wsClosed);
  EXPECT_TRUE(log.Has("closed 0"));
}

}  // namespace
