// Listening, accepting and handing a connection to another component, datagrams, and
// pausing notifications.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SocketEventLog.h"
#include "platform/MessageLoop.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

std::uint16_t ListenOnLoopback(TWSocket& server, const std::string& proto = "tcp") {
  server.SetAddr("127.0.0.1");
  server.SetPort("0");
  server.SetProto(proto);
  server.Listen();
  return static_cast<std::uint16_t>(std::stoi(server.GetLocalPortText()));
}

using SocketListenTest = SocketTest;

TEST_F(SocketListenTest, AcceptedConnectionIsTakenOverWithDup) {
  SocketEventLog serverLog;
  TWSocket server;
  serverLog.Attach(server);
  SocketEventLog sessionLog;
  TWSocket session;
  sessionLog.Attach(session);
  std::string received;
  session.OnDataAvailable = [&](TObject*, std::uint16_t) { received += session.ReceiveStr(); };
  server.OnSessionAvailable = [&](TObject*, std::uint16_t error) {
    EXPECT_EQ(error, 0);
    session.Dup(server.Accept());
  };
  std::uint16_t port = ListenOnLoopback(server);
  std::vector<std::string> listening = {"state 7>2", "state 2>6"};
  EXPECT_EQ(serverLog.events, listening);
  EXPECT_EQ(server.State(), wsListening);

  TScriptedPeer client(TScriptedPeer::TDial{port});
  client.Send("to the session").Expect("back").Close();
  ASSERT_TRUE(RunLoopUntil([&] { return session.State() == wsConnected; }));
  EXPECT_EQ(session.PeerAddr(), "127.0.0.1");
  ASSERT_TRUE(RunLoopUntil([&] { return received == "to the session"; }));
  session.SendStr("back");
  ASSERT_TRUE(RunLoopUntil([&] { return sessionLog.Has("closed 0"); }));
  EXPECT_THAT(client.Failures(), ::testing::IsEmpty());
  EXPECT_EQ(session.State(), wsClosed);
  EXPECT_EQ(server.State(), wsListening);
  server.Close();
  EXPECT_EQ(server.State(), wsClosed);
}

TEST_F(SocketListenTest, DupStartsTheAdoptedConnectionWithAnEmptyQueue) {
  TWSocket server;
  TWSocket session;
  server.OnSessionAvailable = [&](TObject*, std::uint16_t) { session.Dup(server.Accept()); };
  std::uint16_t port = ListenOnLoopback(server);
  TScriptedPeer first(TScriptedPeer::TDial{port});
  first.Hold();  // never reads, so most of what is sent stays in the session's send queue
  ASSERT_TRUE(RunLoopUntil([&] { return session.State() == wsConnected; }));
  session.SendStr(std::string(16 * 1024 * 1024, 'x'));
  winsock::SOCKET firstHandle = session.HSocket();
  TScriptedPeer second(TScriptedPeer::TDial{port});
  second.Expect("fresh").ExpectEnd();
  ASSERT_TRUE(RunLoopUntil([&] { return session.HSocket() != firstHandle; }));
  EXPECT_EQ(session.State(), wsConnected);
  // What was queued for the first client must never reach the second one.
  session.SendStr("fresh");
  session.Close();
  ASSERT_TRUE(RunLoopUntil([&] { return second.Done(); }));
  EXPECT_THAT(second.Failures(), ::testing::IsEmpty());
}

TEST_F(SocketListenTest, RefusedListenAcceptAndDup) {
  EXPECT_EQ(ExceptionText([&] { socket.Listen(); }),
            "Error 10022 in function listen: port not assigned\r\nInvalid argument");
  EXPECT_EQ(socket.LastError(), 10022);
  socket.SetPort("0");
  EXPECT_EQ(ExceptionText([&] { socket.Listen(); }),
            "Error 10022 in function listen: address not assigned\r\nInvalid argument");
  EXPECT_EQ(ExceptionText([&] { socket.Accept(); }),
            "Error 10022 in function not a listening socket\r\nInvalid argument");
  EXPECT_EQ(ExceptionText([&] { socket.Dup(winsock::INVALID_SOCKET); }),
            "Error 10022 in function Dup\r\nInvalid argument");
  socket.OnError = [](TObject*) {};
  EXPECT_EQ(socket.Accept(), winsock::INVALID_SOCKET);
  EXPECT_EQ(socket.State(), wsClosed);
}

TEST_F(SocketListenTest, BindFailureLeavesNoSocketBehind) {
  TWSocket first;
  std::uint16_t port = ListenOnLoopback(first);
  TWSocket second;
  second.SetAddr("127.0.0.1");
  second.SetPort(std::to_string(port));
  EXPECT_EQ(ExceptionText([&] { second.Listen(); }),
            "Error 10048 in function Bind\r\nAddress already in use");
  EXPECT_EQ(second.State(), wsClosed);
  EXPECT_EQ(second.HSocket(), winsock::INVALID_SOCKET);
}

TEST_F(SocketListenTest, ListeningAgainIsRefusedAndKeepsTheFirstSocket) {
  TWSocket server;
  std::uint16_t port = ListenOnLoopback(server);
  winsock::SOCKET handle = server.HSocket();
  EXPECT_EQ(ExceptionText([&] { server.Listen(); }), "listen: Socket already in use");
  EXPECT_EQ(server.HSocket(), handle);
  EXPECT_EQ(server.GetLocalPortText(), std::to_string(port));
  // The first socket still takes connections.
  bool offered = false;
  server.OnSessionAvailable = [&](TObject*, std::uint16_t) { offered = true; };
  TScriptedPeer client(TScriptedPeer::TDial{port});
  EXPECT_TRUE(RunLoopUntil([&] { return offered; }));
}

TEST_F(SocketListenTest, DatagramListenSendToAndReceiveFrom) {
  TWSocket& receiver = socket;
  std::uint16_t port = ListenOnLoopback(receiver, "udp");
  std::vector<std::string> expected = {"state 7>2", "state 2>6", "state 6>4", "connected 0"};
  EXPECT_EQ(log.events, expected);

  TWSocket sender;
  sender.SetAddr("127.0.0.1");
  sender.SetPort("0");
  sender.SetProto("udp");
  std::uint16_t senderPort = ListenOnLoopback(sender, "udp");

  std::string got;
  winsock::TSockAddrIn from = {};
  receiver.OnDataAvailable = [&](TObject*, std::uint16_t) {
    char buffer[100];
    int fromLen = sizeof from;
    int n = receiver.ReceiveFrom(buffer, sizeof buffer, from, fromLen);
    if (n > 0) got.assign(buffer, static_cast<size_t>(n));
  };
  winsock::TSockAddrIn dest = {};
  dest.sin_family = winsock::AF_INET;
  dest.sin_port = ws::htons(port);
  dest.sin_addr = ws::inet_addr("127.0.0.1");
  EXPECT_EQ(sender.SendTo(dest, sizeof dest, "datagram", 8), 8);
  ASSERT_TRUE(RunLoopUntil([&] { return !got.empty(); }));
  EXPECT_EQ(got, "datagram");
  EXPECT_EQ(ws::ntohs(from.sin_port), senderPort);
  EXPECT_EQ(receiver.ReadCount(), 8);
}

TEST_F(SocketListenTest, DatagramListenClosedByItsConnectHandlerEndsQuietly) {
  socket.OnSessionConnected = [&](TObject*, std::uint16_t error) {
    log.Add("connected", error);
    socket.Close();
  };
  socket.SetAddr("127.0.0.1");
  socket.SetPort("0");
  socket.SetProto("udp");
  EXPECT_EQ(ExceptionText([&] { socket.Listen(); }), "(no exception)");
  std::vector<std::string> expected = {"state 7>2",   "state 2>6", "state 6>4",
                                       "connected 0", "state 4>7", "closed 0"};
  EXPECT_EQ(log.events, expected);
  EXPECT_EQ(socket.State(), wsClosed);
  EXPECT_EQ(socket.HSocket(), winsock::INVALID_SOCKET);
}

TEST_F(SocketListenTest, DatagramConnectSendsThroughTheQueue) {
  TWSocket receiver;
  std::uint16_t port = ListenOnLoopback(receiver, "udp");
  std::string got;
  receiver.OnDataAvailable = [&](TObject*, std::uint16_t) {
    char buffer[100];
    winsock::TSockAddrIn from = {};
    int fromLen = sizeof from;
    int n = receiver.ReceiveFrom(buffer, sizeof buffer, from, fromLen);
    if (n > 0) got.append(buffer, static_cast<size_t>(n));
  };
  socket.SetProto("udp");
  ConnectTo(std::to_string(port));
  std::vector<std::string> expected = {"state 7>1", "state 1>4", "connected 0"};
  EXPECT_EQ(log.events, expected);
  EXPECT_EQ(socket.SendStr("one"), 3);
  ASSERT_TRUE(RunLoopUntil([&] { return got == "one"; }));
}

TEST_F(SocketListenTest, PauseSuppressesQueuedNotificationsUntilResume) {
  TScriptedPeer peer;
  peer.Send("data");
  std::string received;
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) { received += socket.ReceiveStr(); };
  ConnectAndWait(peer.Port());
  // Queue a notification, then pause before the loop delivers it.
  PostMessage(socket.Handle(), SocketNotifyMessage, static_cast<WPARAM>(socket.HSocket()),
              MAKELONG(winsock::FD_READ | winsock::FD_WRITE, 0));
  EXPECT_EQ(socket.Pause(), 0);
  size_t eventsBefore = log.events.size();
  DrainMessages();
  EXPECT_EQ(received, "");
  EXPECT_EQ(log.events.size(), eventsBefore);
  EXPECT_EQ(socket.Resume(), 0);
  ASSERT_TRUE(RunLoopUntil([&] { return received == "data"; }));
  socket.Close();
}

TEST_F(SocketListenTest, ListenerResumedAfterPauseStillAccepts) {
  TWSocket server;
  int available = 0;
  server.OnSessionAvailable = [&](TObject*, std::uint16_t) {
    ++available;
    winsock::SOCKET s = server.Accept();
    if (s != winsock::INVALID_SOCKET) ws::closesocket(s);
  };
  std::uint16_t port = ListenOnLoopback(server);
  server.Pause();
  server.Resume();
  TScriptedPeer client(TScriptedPeer::TDial{port});
  EXPECT_TRUE(RunLoopUntil([&] { return available == 1; }));
}

}  // namespace
