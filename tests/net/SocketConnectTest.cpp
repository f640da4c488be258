// The client path on 127.0.0.1: connect, the events around it, and the guards and texts
// of the operations that are refused.

#include <gtest/gtest.h>

#include "SocketEventLog.h"
#include "platform/MessageLoop.h"
#include "platform/winsock/WinsockTestHooks.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

using SocketConnectTest = SocketTest;

TEST_F(SocketConnectTest, RefusedConnectReportsInOrder) {
  TRefusingPort refusing;
  ConnectTo(refusing.Port());
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("closed 0"); }));
  std::vector<std::string> expected = {"state 7>1",       "state 1>3", "state 3>4",
                                       "connected 10061", "state 4>7", "closed 0"};
  EXPECT_EQ(log.events, expected);
  EXPECT_EQ(socket.State(), wsClosed);
  EXPECT_EQ(socket.HSocket(), winsock::INVALID_SOCKET);
}

TEST_F(SocketConnectTest, FirstWriteAfterConnectReportsDataSent) {
  TScriptedPeer peer;
  ConnectTo(peer.Port());
  EXPECT_EQ(socket.State(), wsConnecting);
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("sent 0"); }));
  EXPECT_EQ(log.events[3], "connected 0");
  EXPECT_EQ(socket.PeerAddr(), "127.0.0.1");
  EXPECT_EQ(socket.PeerPort(), peer.Port());
  EXPECT_NE(socket.GetLocalPortText(), "error");
  socket.Close();
  EXPECT_EQ(log.events.back(), "closed 0");
}

TEST_F(SocketConnectTest, SendOfNothingReportsDataSentFromTheLoop) {
  TScriptedPeer peer;
  ConnectAndWait(peer.Port());
  DrainMessages();
  int before = log.Count("sent 0");
  EXPECT_EQ(socket.Send("", 0), 0);
  EXPECT_EQ(log.Count("sent 0"), before);  // never from inside Send
  ASSERT_TRUE(RunLoopUntil([&] { return log.Count("sent 0") > before; }));
  // The same after data has gone out and the queue holds only its emptied block.
  EXPECT_EQ(socket.SendStr("abc"), 3);
  int afterData = log.Count("sent 0");
  ASSERT_TRUE(RunLoopUntil([&] { return log.Count("sent 0") > afterData; }));
  socket.Close();
}

TEST_F(SocketConnectTest, DataFlowsBothWaysAndPeerCloseIsReportedOnce) {
  TScriptedPeer peer;
  peer.Expect("hello").Send("echo:hello").Close();
  std::string received;
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) {
    char buffer[3];  // small on purpose: the read loop must call again for the rest
    int n = socket.Receive(buffer, sizeof buffer);
    if (n > 0) received.append(buffer, static_cast<size_t>(n));
  };
  socket.OnSessionConnected = [&](TObject*, std::uint16_t error) {
    if (error == 0) socket.SendStr("hello");
  };
  ConnectTo(peer.Port());
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("closed 0"); }));
  EXPECT_EQ(received, "echo:hello");
  EXPECT_EQ(socket.ReadCount(), 0);  // reset by the close
  EXPECT_EQ(log.Count("closed 0"), 1);
  EXPECT_EQ(socket.State(), wsClosed);
}

TEST_F(SocketConnectTest, SendWhileClosedNamesTheError) {
  EXPECT_EQ(ExceptionText([&] { socket.SendStr("x"); }),
            "Error 10057 in function Send\r\nSocket is not connected");
  EXPECT_EQ(socket.LastError(), 10057);
  int errors = 0;
  socket.OnError = [&](TObject*) { ++errors; };
  EXPECT_EQ(socket.SendStr("x"), -1);
  EXPECT_EQ(errors, 1);
}

TEST_F(SocketConnectTest, ConnectGuardsAndResolutionFailures) {
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }), "Connect: No Port Specified");
  socket.SetPort("110");
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }), "Connect: No IP Address Specified");
  socket.SetAddr("127.0.0.1");
  socket.SetProto("");
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }), "Connect: No Protocol Specified");
  socket.SetProto("tcp");
  socket.SetPort(std::string(32, '9'));
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }), "connect: WSocketResolvePort: Invalid Port.");
  socket.SetPort("110");
  socket.SetAddr("256.1.1.1");
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }),
            "connect: WSocketResolveHost: '256.1.1.1' Invalid IP address.");
  EXPECT_EQ(socket.State(), wsClosed);
}

TEST_F(SocketConnectTest, AfterCloseAddressAndPortMustBeAssignedAgain) {
  TScriptedPeer peer;
  socket.SetProto("6");
  ConnectAndWait(peer.Port());
  // Assigning the same text while connected is silent; a different one is refused.
  socket.SetAddr("127.0.0.1");
  EXPECT_EQ(ExceptionText([&] { socket.SetAddr("127.0.0.2"); }),
            "Cannot change Addr if not closed");
  EXPECT_EQ(ExceptionText([&] { socket.SetPort("1"); }), "Cannot change Port if not closed");
  EXPECT_EQ(ExceptionText([&] { socket.SetLocalPort("1"); }),
            "Cannot change LocalPort if not closed");
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }), "Connect: Socket already in use");
  socket.Close();
  EXPECT_EQ(socket.Port(), peer.Port());
  EXPECT_EQ(socket.Proto(), "tcp");
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }), "Connect: No Port Specified");
  socket.SetPort(peer.Port());
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }), "Connect: No IP Address Specified");
}

// A service name goes through the services database (here with the name put on a listener
// of the test's own); a number is read up to its first non-digit.
TEST_F(SocketConnectTest, ServiceNameAndNumberPortsConnect) {
  std::string received;
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) { received += socket.ReceiveStr(); };
  for (const bool byName : {true, false}) {
    SCOPED_TRACE(byName ? "pop3" : "number");
    TScriptedPeer peer;
    peer.Send("+OK\r\n").Close();
    winsock::SimulateService("pop3", peer.PortNumber());
    log.events.clear();
    received.clear();
    ConnectTo(byName ? "pop3" : peer.Port() + "x");
    ASSERT_TRUE(RunLoopUntil([&] { return log.Has("closed 0"); }));
    EXPECT_TRUE(log.Has("connected 0"));
    EXPECT_EQ(received, "+OK\r\n");
  }
  winsock::SimulateService("pop3", 0);
}

TEST_F(SocketConnectTest, SendFlagsAndLingerSettings) {
  EXPECT_EQ(socket.SendFlags(), wsSendNormal);
  socket.SetSendFlags(wsSendUrgent);
  EXPECT_EQ(socket.SendFlags(), wsSendUrgent);
  EXPECT_EQ(ExceptionText([&] { socket.SetSendFlags(static_cast<TSocketSendFlags>(5)); }),
            "Invalid SendFlags");
  EXPECT_EQ(socket.SendFlags(), wsSendUrgent);
  EXPECT_EQ(socket.LingerOnOff(), wsLingerOn);
  EXPECT_EQ(socket.LingerTimeout(), 0);
  EXPECT_EQ(socket.FlushTimeout(), 60);
  EXPECT_EQ(socket.LocalPort(), "0");
  EXPECT_EQ(socket.PeerAddr(), "error");
  EXPECT_EQ(socket.PeerPort(), "error");
  EXPECT_EQ(socket.GetLocalPortText(), "error");
}

TEST_F(SocketConnectTest, CloseNotificationWhileConnectingIsIgnored) {
  TScriptedPeer peer;
  ConnectTo(peer.Port());
  ASSERT_EQ(socket.State(), wsConnecting);
  PostMessage(socket.Handle(), SocketNotifyMessage, static_cast<WPARAM>(socket.HSocket()),
              MAKELONG(winsock::FD_CLOSE, 0));
  // A notification for another handle is stale and ignored as well.
  PostMessage(socket.Handle(), SocketNotifyMessage, static_cast<WPARAM>(socket.HSocket() + 1000),
              MAKELONG(winsock::FD_CONNECT, 10061));
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("connected 0"); }));
  DrainMessages();
  EXPECT_FALSE(log.Has("closed 0"));
  EXPECT_FALSE(log.Has("connected 10061"));
  EXPECT_EQ(socket.State(), wsConnected);
  socket.Close();
}

}  // namespace
