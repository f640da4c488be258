// Successful negotiations against a scripted proxy: the exact bytes the client sends, replies
// that arrive in pieces, and the destination's data that rides behind the proxy's reply.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>

#include "SocksEventLog.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

using SocksClientTest = SocksTest;

struct TNegotiation {
  const char* name;
  std::string level, addr, user, pass;
  int port;
  // What the proxy expects from the client and what it answers, in turn; the last answer
  // may carry the destination's first bytes behind the proxy's reply.
  std::vector<std::pair<std::string, std::string>> exchange;
  std::string behind;
  std::vector<std::string> events;  // up to SessionConnected
};

std::vector<TNegotiation> Negotiations() {
  const std::string ok4 = Bytes({0, 90, 0, 0, 0, 0, 0, 0});
  const std::string request4 = Bytes({4, 1, 0, 110, 127, 0, 0, 1});
  const std::string host(121, 'h'), user(60, 'u'), pass(65, 'p');
  const std::vector<std::string> plain = {"SocksConnected(0)", "SessionConnected(0)"};
  const std::vector<std::string> auth = {"SocksConnected(0)", "AuthState(0)", "AuthState(1)",
                                         "SessionConnected(0)"};
  const std::pair<std::string, std::string> noAuth = {Socks5Greeting, Bytes({5, 0})};
  // clang-format off
  return {
      // A dotted destination still goes to the proxy as a name (address type 3).
      {"socks 5 to a dotted address", "5", "192.0.2.7", "", "", 1080,
       {noAuth, {Socks5Request("192.0.2.7", 1080), Socks5Ok}}, "", plain},
      {"user/password offered, not needed", "5", "localhost", "u", "p", 110,
       {{Socks5GreetingUserPass, Bytes({5, 0})}, {Socks5Request("localhost", 110), Socks5Ok}},
       "", {"SocksConnected(0)", "AuthState(3)", "SessionConnected(0)"}},
      // SOCKS 4 resolves the name here; 4A sends 0.0.0.1 and the name for the proxy. The
      // reply is read with an exact bound: the greeting behind it stays for the handler.
      {"socks 4", "4", "localhost", "bob", "", 110,
       {{request4 + "bob" + Bytes({0}), ok4 + "+OK\r\n"}}, "+OK\r\n", plain},
      {"socks 4a", "4a", "localhost", "bob", "", 110,
       {{Bytes({4, 1, 0, 110, 0, 0, 0, 1, 'b', 'o', 'b', 0}) + "localhost" + Bytes({0}),
         ok4 + "+OK\r\n"}}, "+OK\r\n", plain},
      // The requests are built in 128-byte areas; what exactly fills one goes out whole.
      {"socks 4 user code filling its area", "4", "127.0.0.1", std::string(119, 'u'), "", 110,
       {{request4 + std::string(119, 'u') + Bytes({0}), ok4}}, "", plain},
      {"socks 5 user, password and name filling their areas", "5", host, user, pass, 110,
       {{Socks5GreetingUserPass, Bytes({5, 2})},
        {Bytes({1, 60}) + user + Bytes({65}) + pass, Bytes({1, 0})},
        {Socks5Request(host, 110), Socks5Ok}}, "", auth},
  };
  // clang-format on
}

// Each negotiation sends exactly the bytes the proxy expects, and data then crosses the
// proxy both ways.
TEST_F(SocksClientTest, EveryNegotiationSendsExactBytesThenCarriesDataBothWays) {
  for (const TNegotiation& c : Negotiations()) {
    SCOPED_TRACE(c.name);
    TScriptedPeer proxy;
    for (const auto& [expected, answer] : c.exchange) proxy.Expect(expected).Send(answer);
    proxy.Expect("USER bob\r\n").Send("+OK go on\r\n").ExpectEnd();
    TSocksClient client;
    client.socket.SetSocksUsercode(c.user);
    if (!c.pass.empty()) client.OfferUserPass(c.user, c.pass);
    client.Through(proxy.Port(), c.level, c.addr, std::to_string(c.port));
    ASSERT_TRUE(RunLoopUntil([&] { return client.log.Has("SessionConnected(0)"); }));
    EXPECT_EQ(client.socket.State(), wsConnected);
    client.socket.SendStr("USER bob\r\n");
    ASSERT_TRUE(RunLoopUntil([&] { return client.log.Data == c.behind + "+OK go on\r\n"; }));
    client.CloseAndCheck(proxy);
    std::vector<std::string> expected = c.events;
    expected.push_back("SessionClosed(0)");
    EXPECT_THAT(client.log.Events, ElementsAreArray(expected));
  }
}

TEST_F(SocksClientTest, BytesBehindTheReplyAreReceivedFirstAndCounted) {
  TScriptedPeer proxy;
  ScriptNoAuthNegotiation(proxy, Socks5Ok + "+OK hello\r\n").Hold().Send("second\r\n").ExpectEnd();
  log.ReadSize = 4;  // the handler needs several calls for the leftover
  int rcvdAtConnect = -1;
  socket.OnSessionConnected = [&](TObject*, std::uint16_t error) {
    log.Events.push_back("SessionConnected(" + std::to_string(error) + ")");
    rcvdAtConnect = socket.RcvdCount();
  };
  Through(proxy.Port());
  ASSERT_TRUE(RunLoopUntil([&] { return log.Data.size() >= 11 && proxy.Holding(); }));
  EXPECT_EQ(log.Data, "+OK hello\r\n");
  EXPECT_EQ(rcvdAtConnect, 11);
  EXPECT_EQ(log.RcvdCountAtFirstData, 11);
  EXPECT_EQ(socket.RcvdCount(), 0);
  proxy.Release();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Data == "+OK hello\r\nsecond\r\n"; }));
  // Method choice, reply, and each byte of the destination's data once.
  EXPECT_EQ(socket.ReadCount(), 2 + 10 + 11 + 8);
  CloseAndCheck(proxy);
}

TEST_F(SocksClientTest, UserPasswordReplyOneByteAtATimeCompletesOnTheSecondByte) {
  TScriptedPeer proxy;
  proxy.Expect(Socks5GreetingUserPass)
      .Send(Bytes({5, 2}))
      .Expect(Bytes({1, 5}) + "puser" + Bytes({5}) + "ppass")
      .Send(Bytes({1}))
      .Hold()
      .Send(Bytes({0}))
      .Expect(Socks5Request("localhost", 110))
      .Send(Socks5Ok)
      .ExpectEnd();
  OfferUserPass("puser", "ppass");
  Through(proxy.Port());
  // Method choice (2 bytes) and the first byte of the verdict have been read.
  ASSERT_TRUE(RunLoopUntil([&] { return proxy.Holding() && socket.ReadCount() == 3; }));
  DrainMessages();
  EXPECT_THAT(log.Events, ElementsAre("SocksConnected(0)", "AuthState(0)"));
  proxy.Release();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("SessionConnected(0)"); }));
  EXPECT_THAT(log.Events, ElementsAre("SocksConnected(0)", "AuthState(0)", "AuthState(1)",
                                      "SessionConnected(0)"));
  CloseAndCheck(proxy);
}

TEST_F(SocksClientTest, ReplyWithANameNeedsAllTenBytes) {
  TScriptedPeer proxy;
  const std::string reply = Bytes({5, 0, 0, 3, 3}) + "abc" + Bytes({0, 80});
  ScriptNoAuthNegotiation(proxy, reply.substr(0, 9))
      .Hold()
      .Send(reply.substr(9) + "+OK\r\n")
      .ExpectEnd();
  Through(proxy.Port());
  ASSERT_TRUE(RunLoopUntil([&] { return proxy.Holding() && socket.ReadCount() == 2 + 9; }));
  DrainMessages();
  EXPECT_FALSE(log.Has("SessionConnected(0)"));
  proxy.Release();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Data == "+OK\r\n"; }));
  EXPECT_THAT(log.Events, ElementsAre("SocksConnected(0)", "SessionConnected(0)"));
  CloseAndCheck(proxy);
}

// An application that keeps its windows alive while the state changes may see the TCP
// connection to the proxy complete before Connect returns; it must still be negotiated.
TEST_F(SocksClientTest, ProxyConnectionCompletedInsideOnChangeStateIsNegotiated) {
  TScriptedPeer proxy;
  ScriptNoAuthNegotiation(proxy).ExpectEnd();
  bool pumped = false;
  socket.OnChangeState = [&](TObject*, TSocketState, TSocketState newState) {
    if (newState != wsConnecting) return;
    pumped = RunLoopUntil([&] { return socket.State() != wsConnecting; });
  };
  Through(proxy.Port());
  ASSERT_TRUE(pumped);
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("SessionConnected(0)"); }));
  DrainMessages();
  EXPECT_THAT(log.Events, ElementsAre("SocksConnected(0)", "SessionConnected(0)"));
  CloseAndCheck(proxy);
}

// As on a direct connection, an exception from the application's OnSessionConnected goes to
// OnBgException and aborts the connection instead of vanishing inside the read loop.
TEST_F(SocksClientTest, ExceptionFromOnSessionConnectedAbortsTheConnection) {
  TScriptedPeer proxy;
  ScriptNoAuthNegotiation(proxy).ExpectEnd();
  std::string caught;
  socket.OnSessionConnected = [](TObject*, std::uint16_t) {
    throw ESocketException("handler failed");
  };
  socket.OnBgException = [&](TObject*, std::exception& e, bool&) { caught = e.what(); };
  Through(proxy.Port());
  ASSERT_TRUE(RunLoopUntil([&] { return proxy.Done(); }));
  EXPECT_EQ(caught, "handler failed");
  EXPECT_EQ(socket.State(), wsClosed);
  EXPECT_THAT(proxy.Failures(), IsEmpty());
}

// In line mode the proxy's replies are the negotiation's business and never lines, and the
// destination's bytes are framed like any others, whether they ride behind the reply or
// come later; a line is offered only once its terminator is there.
TEST_F(SocksClientTest, InLineModeDestinationBytesComeAsLinesAndRepliesNever) {
  const struct {
    const char* name;
    std::vector<std::string> packets;  // the proxy holds before each but the first
    std::vector<std::vector<std::string>> linesAtHolds;
  } cases[] = {
      {"lines behind the reply", {Socks5Ok + "+OK one\r\n+OK tw", "o\r\n"}, {{"+OK one\r\n"}}},
      {"lines after the reply", {Socks5Ok, "+OK one\r\n+OK tw", "o\r\n"}, {{}, {"+OK one\r\n"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TScriptedPeer proxy;
    ScriptNoAuthNegotiation(proxy, c.packets[0]);
    for (std::size_t i = 1; i < c.packets.size(); ++i) proxy.Hold().Send(c.packets[i]);
    proxy.ExpectEnd();
    TSocksClient client;
    client.socket.SetLineMode(true);
    std::vector<std::string> lines;
    // The SOCKS layer announces the end of the negotiation with a notification of its own,
    // which has no line to offer; only what is read counts here.
    client.socket.OnDataAvailable = [&](TObject*, std::uint16_t) {
      const std::string line = client.socket.ReceiveStr();
      if (!line.empty()) lines.push_back(line);
    };
    client.Through(proxy.Port());
    int taken = 2;  // the method choice
    for (std::size_t hold = 0; hold < c.linesAtHolds.size(); ++hold) {
      taken += static_cast<int>(c.packets[hold].size());
      ASSERT_TRUE(
          RunLoopUntil([&] { return proxy.Holding() && client.socket.ReadCount() == taken; }));
      DrainMessages();
      EXPECT_EQ(lines, c.linesAtHolds[hold]);
      proxy.Release();
    }
    ASSERT_TRUE(RunLoopUntil([&] { return lines.size() == 2; }));
    EXPECT_EQ(lines, (std::vector<std::string>{"+OK one\r\n", "+OK two\r\n"}));
    EXPECT_EQ(client.socket.ReadCount(), 2 + 10 + 18);
    EXPECT_TRUE(client.log.Has("SessionConnected(0)"));
    client.CloseAndCheck(proxy);
  }
}

}  // namespace
