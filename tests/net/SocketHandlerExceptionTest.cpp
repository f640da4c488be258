// What happens to an exception that escapes an event handler while a notification is
// being handled: the read loop swallows it, everything else aborts unless told not to.

#include <gtest/gtest.h>

#include <stdexcept>

#include "SocketEventLog.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

using SocketHandlerExceptionTest = SocketTest;

TEST_F(SocketHandlerExceptionTest, DataHandlerExceptionEndsReadLoopSilently) {
  TScriptedPeer peer;
  peer.Send("first").Expect("go").Send("second");  // more only once the component answers
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
  ConnectTo(peer.Port());
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

TEST_F(SocketHandlerExceptionTest, ConnectHandlerExceptionAbortsByDefault) {
  TScriptedPeer peer;
  socket.OnSessionConnected = [&](TObject*, std::uint16_t) {
    log.events.push_back("connected");
    throw std::runtime_error("connect handler failed");
  };
  ConnectTo(peer.Port());
  ASSERT_TRUE(RunLoopUntil([&] { return socket.State() == wsClosed; }));
  std::vector<std::string> expected = {"connected", "state 4>7", "closed 0"};
  EXPECT_EQ(log.Since(log.events.size() - 3), expected);
}

TEST_F(SocketHandlerExceptionTest, BgExceptionHandlerMayKeepTheConnection) {
  TScriptedPeer peer;
  peer.Expect("ping").Send("ping");
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
  ConnectTo(peer.Port());
  ASSERT_TRUE(RunLoopUntil([&] { return !message.empty(); }));
  EXPECT_EQ(message, "connect handler failed");
  EXPECT_EQ(socket.State(), wsConnected);
  socket.SendStr("ping");
  ASSERT_TRUE(RunLoopUntil([&] { return echoed == "ping"; }));
  socket.Close();
}

TEST_F(SocketHandlerExceptionTest, ThrowingBgExceptionHandlerStillAborts) {
  TScriptedPeer peer;
  socket.OnBgException = [&](TObject*, std::exception&, bool&) {
    throw std::runtime_error("nested");
  };
  socket.OnSessionConnected = [&](TObject*, std::uint16_t) {
    throw std::runtime_error("connect handler failed");
  };
  ConnectTo(peer.Port());
  EXPECT_TRUE(RunLoopUntil([&] { return socket.State() == wsClosed; }));
}

TEST_F(SocketHandlerExceptionTest, HandlerThatNeverReadsDoesNotHangTheLoop) {
  TScriptedPeer peer;
  peer.Send("unread bytes");
  int calls = 0;
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) { ++calls; };
  ConnectTo(peer.Port());
  ASSERT_TRUE(RunLoopUntil([&] { return calls > 0; }));
  DrainMessages();
  EXPECT_LT(calls, 5);
  EXPECT_EQ(socket.RcvdCount(), 12);
  EXPECT_EQ(socket.ReceiveStr(), "unread bytes");
  socket.Close();
}

}  // namespace
