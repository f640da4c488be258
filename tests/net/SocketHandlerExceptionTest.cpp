// What happens to an exception that escapes an event handler while a notification is
// being handled: the read loop swallows it, everything else aborts unless told not to.

#include <gtest/gtest.h>

#include <stdexcept>

#include "SocketEventLog.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

void Target(TWSocket& socket, const std::string& port) {
  socket.SetAddr("127.0.0.1");
  socket.SetPort(port);
}

TEST(SocketHandlerExceptionTest, DataHandlerExceptionEndsReadLoopSilently) {
  TScriptedPeer peer;
  peer.Send("first").Expect("go").Send("second");  // more only once the component answers
  SocketEventLog log;
  TWSocket socket;
  log.Attach(socket);
  int bgExceptions = 0;
  socket.OnBgException = [&](TObject*, std::exception&, bool&) { ++bgExceptions; };
  std::string received;
  int calls = 0;
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) {
    ++calls;
    char buffer[2];
    int n = socket.Receive(buffer, sizeof buffer);
    if (n > 0) received.append(buffer, static_cast<size_t>(n));
    if (calls == 1) throw std::runtime_error("handler failed");
  };
  Target(socket, peer.Port());
  socket.Connect();
  // After the exception, "first" still has unread bytes, but the loop stopped.
  ASSERT_TRUE(RunLoopUntil([&] { return calls >= 1; }));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(received, "fi");
  EXPECT_EQ(socket.State(), wsConnected);
  socket.SendStr("go");
  ASSERT_TRUE(RunLoopUntil([&] { return received.find("second") != std::string::npos; }));
  EXPECT_EQ(received, "firstsecond");
  EXPECT_EQ(bgExceptions, 0);
  EXPECT_FALSE(log.Has("closed 0"));
  socket.Close();
}

TEST(SocketHandlerExceptionTest, ConnectHandlerExceptionAbortsByDefault) {
  TScriptedPeer peer;
  SocketEventLog log;
  TWSocket socket;
  log.Attach(socket);
  socket.OnSessionConnected = [&](TObject*, std::uint16_t) {
    log.events.push_back("connected");
    throw std::runtime_error("connect handler failed");
  };
  Target(socket, peer.Port());
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return socket.State() == wsClosed; }));
  std::vector<std::string> tail(log.events.end() - 3, log.events.end());
  std::vector<std::string> expected = {"connected", "state 4>7", "closed 0"};
  EXPECT_EQ(tail, expected);
}

TEST(SocketHandlerExceptionTest, BgExceptionHandlerMayKeepTheConnection) {
  TScriptedPeer peer;
  peer.Expect("ping").Send("ping");
  TWSocket socket;
  std::string message;
  socket.OnBgException = [&](TObject* sender, std::exception& e, bool& canClose) {
    EXPECT_EQ(sender, &socket);
    message = e.what();
    canClose = false;
  };
  socket.OnSessionConnected = [&](TObject*, std::uint16_t) {
    throw std::runtime_error("connect handler failed");
  };
  std::string echoed;
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) { echoed += socket.ReceiveStr(); };
  Target(socket, peer.Port());
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return !message.empty(); }));
  EXPECT_EQ(message, "connect handler failed");
  EXPECT_EQ(socket.State(), wsConnected);
  socket.SendStr("ping");
  ASSERT_TRUE(RunLoopUntil([&] { return echoed == "ping"; }));
  socket.Close();
}

TEST(SocketHandlerExceptionTest, ThrowingBgExceptionHandlerStillAborts) {
  TScriptedPeer peer;
  TWSocket socket;
  socket.OnBgException = [&](TObject*, std::exception&, bool&) {
    throw std::runtime_error("nested");
  };
  socket.OnSessionConnected = [&](TObject*, std::uint16_t) {
    throw std::runtime_error("connect handler failed");
  };
  Target(socket, peer.Port());
  socket.Connect();
  EXPECT_TRUE(RunLoopUntil([&] { return socket.State() == wsClosed; }));
}

TEST(SocketHandlerExceptionTest, HandlerThatNeverReadsDoesNotHangTheLoop) {
  TScriptedPeer peer;
  peer.Send("unread bytes");
  TWSocket socket;
  int calls = 0;
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) { ++calls; };
  Target(socket, peer.Port());
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return calls > 0; }));
  DrainMessages();
  EXPECT_LT(calls, 5);
  EXPECT_EQ(socket.RcvdCount(), 12);
  EXPECT_EQ(socket.ReceiveStr(), "unread bytes");
  socket.Close();
}

}  // namespace
