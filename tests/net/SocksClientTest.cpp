// Successful negotiations against a scripted proxy: the exact bytes the client sends, replies
// that arrive in pieces, and the destination's data that rides behind the proxy's reply.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SocksEventLog.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string Socks5Ok = Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0x9C, 0x40});

std::string Socks5Request(const std::string& host, int port) {
  return Bytes({5, 1, 0, 3, static_cast<int>(host.size())}) + host +
         Bytes({port >> 8, port & 0xFF});
}

void CloseAndCheckProxy(TWSocket& socket, TScriptedPeer& proxy) {
  if (socket.State() != wsClosed) socket.Close();
  EXPECT_TRUE(RunLoopUntil([&] { return proxy.Done(); }));
  EXPECT_THAT(proxy.Failures(), IsEmpty());
}

TEST(SocksClientTest, Socks5WithoutAuthenticationSendsExactBytesAndCarriesData) {
  TScriptedPeer proxy;
  // A dotted destination still goes to the proxy as a name (address type 3).
  proxy.Expect(Bytes({5, 1, 0}))
      .Send(Bytes({5, 0}))
      .Expect(Socks5Request("192.0.2.7", 1080))
      .Send(Socks5Ok)
      .Expect("USER bob\r\n")
      .Send("+OK go on\r\n")
      .ExpectEnd();
  TWSocket socket;
  TSocksEventLog log;
  log.Attach(socket);
  AimThroughProxy(socket, proxy.Port(), "5", "192.0.2.7", "1080");
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("SessionConnected(0)"); }));
  EXPECT_EQ(socket.State(), wsConnected);
  socket.SendStr("USER bob\r\n");
  ASSERT_TRUE(RunLoopUntil([&] { return log.Data == "+OK go on\r\n"; }));
  CloseAndCheckProxy(socket, proxy);
  EXPECT_THAT(log.Events,
              ElementsAre("SocksConnected(0)", "SessionConnected(0)", "SessionClosed(0)"));
}

TEST(SocksClientTest, BytesBehindTheReplyAreReceivedFirstAndCounted) {
  TScriptedPeer proxy;
  proxy.Expect(Bytes({5, 1, 0}))
      .Send(Bytes({5, 0}))
      .Expect(Socks5Request("localhost", 110))
      .Send(Socks5Ok + "+OK hello\r\n")
      .Hold()
      .Send("second\r\n")
      .ExpectEnd();
  TWSocket socket;
  TSocksEventLog log;
  log.ReadSize = 4;  // the handler needs several calls for the leftover
  log.Attach(socket);
  int rcvdAtConnect = -1;
  socket.OnSessionConnected = [&](TObject*, std::uint16_t error) {
    log.Events.push_back("SessionConnected(" + std::to_string(error) + ")");
    rcvdAtConnect = socket.RcvdCount();
  };
  AimThroughProxy(socket, proxy.Port(), "5", "localhost", "110");
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Data.size() >= 11 && proxy.Holding(); }));
  EXPECT_EQ(log.Data, "+OK hello\r\n");
  EXPECT_EQ(rcvdAtConnect, 11);
  EXPECT_EQ(log.RcvdCountAtFirstData, 11);
  EXPECT_EQ(socket.RcvdCount(), 0);
  proxy.Release();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Data == "+OK hello\r\nsecond\r\n"; }));
  // Method choice, reply, and each byte of the destination's data once.
  EXPECT_EQ(socket.ReadCount(), 2 + 10 + 11 + 8);
  CloseAndCheckProxy(socket, proxy);
}

TEST(SocksClientTest, UserPasswordReplyOneByteAtATimeCompletesOnTheSecondByte) {
  TScriptedPeer proxy;
  proxy.Expect(Bytes({5, 1, 2}))
      .Send(Bytes({5, 2}))
      .Expect(Bytes({1, 5}) + "puser" + Bytes({5}) + "ppass")
      .Send(Bytes({1}))
      .Hold()
      .Send(Bytes({0}))
      .Expect(Socks5Request("localhost", 110))
      .Send(Socks5Ok)
      .ExpectEnd();
  TWSocket socket;
  TSocksEventLog log;
  log.Attach(socket);
  socket.SetSocksUsercode("puser");
  socket.SetSocksPassword("ppass");
  socket.SetSocksAuthentication(socksAuthenticateUsercode);
  AimThroughProxy(socket, proxy.Port(), "5", "localhost", "110");
  socket.Connect();
  // Method choice (2 bytes) and the first byte of the verdict have been read.
  ASSERT_TRUE(RunLoopUntil([&] { return proxy.Holding() && socket.ReadCount() == 3; }));
  DrainMessages();
  EXPECT_THAT(log.Events, ElementsAre("SocksConnected(0)", "AuthState(0)"));
  proxy.Release();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("SessionConnected(0)"); }));
  EXPECT_THAT(log.Events, ElementsAre("SocksConnected(0)", "AuthState(0)", "AuthState(1)",
                                      "SessionConnected(0)"));
  CloseAndCheckProxy(socket, proxy);
}

TEST(SocksClientTest, OfferedAuthenticationThatTheProxyDoesNotNeed) {
  TScriptedPeer proxy;
  proxy.Expect(Bytes({5, 1, 2}))
      .Send(Bytes({5, 0}))
      .Expect(Socks5Request("localhost", 110))
      .Send(Socks5Ok)
      .ExpectEnd();
  TWSocket socket;
  TSocksEventLog log;
  log.Attach(socket);
  socket.SetSocksAuthentication(socksAuthenticateUsercode);
  AimThroughProxy(socket, proxy.Port(), "5", "localhost", "110");
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("SessionConnected(0)"); }));
  EXPECT_THAT(log.Events, ElementsAre("SocksConnected(0)", "AuthState(3)", "SessionConnected(0)"));
  CloseAndCheckProxy(socket, proxy);
}

TEST(SocksClientTest, ReplyWithANameNeedsAllTenBytes) {
  TScriptedPeer proxy;
  const std::string reply = Bytes({5, 0, 0, 3, 3}) + "abc" + Bytes({0, 80});
  proxy.Expect(Bytes({5, 1, 0}))
      .Send(Bytes({5, 0}))
      .Expect(Socks5Request("localhost", 110))
      .Send(reply.substr(0, 9))
      .Hold()
      .Send(reply.substr(9) + "+OK\r\n")
      .ExpectEnd();
  TWSocket socket;
  TSocksEventLog log;
  log.Attach(socket);
  AimThroughProxy(socket, proxy.Port(), "5", "localhost", "110");
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return proxy.Holding() && socket.ReadCount() == 2 + 9; }));
  DrainMessages();
  EXPECT_FALSE(log.Has("SessionConnected(0)"));
  proxy.Release();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Data == "+OK\r\n"; }));
  EXPECT_THAT(log.Events, ElementsAre("SocksConnected(0)", "SessionConnected(0)"));
  CloseAndCheckProxy(socket, proxy);
}

TEST(SocksClientTest, Socks4RequestsCarryTheAddressOrTheNameForTheProxy) {
  struct TCase {
    std::string level;
    std::string expected;
  };
  const TCase cases[] = {
      // SOCKS 4 resolves the name here; 4A sends 0.0.0.1 and the name for the proxy.
      {"4", Bytes({4, 1, 0, 110, 127, 0, 0, 1}) + "bob" + Bytes({0})},
      {"4a", Bytes({4, 1, 0, 110, 0, 0, 0, 1}) + "bob" + Bytes({0}) + "localhost" + Bytes({0})},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.level);
    TScriptedPeer proxy;
    // The reply is read with an exact bound: the greeting behind it stays for the handler.
    proxy.Expect(c.expected).Send(Bytes({0, 90, 0, 0, 0, 0, 0, 0}) + "+OK\r\n").ExpectEnd();
    TWSocket socket;
    TSocksEventLog log;
    log.Attach(socket);
    socket.SetSocksUsercode("bob");
    AimThroughProxy(socket, proxy.Port(), c.level, "localhost", "110");
    socket.Connect();
    ASSERT_TRUE(RunLoopUntil([&] { return log.Data == "+OK\r\n"; }));
    EXPECT_THAT(log.Events, ElementsAre("SocksConnected(0)", "SessionConnected(0)"));
    CloseAndCheckProxy(socket, proxy);
  }
}

// An application that keeps its windows alive while the state changes may see the TCP
// connection to the proxy complete before Connect returns; it must still be negotiated.
TEST(SocksClientTest, ProxyConnectionCompletedInsideOnChangeStateIsNegotiated) {
  TScriptedPeer proxy;
  proxy.Expect(Bytes({5, 1, 0}))
      .Send(Bytes({5, 0}))
      .Expect(Socks5Request("localhost", 110))
      .Send(Socks5Ok)
      .ExpectEnd();
  TWSocket socket;
  TSocksEventLog log;
  log.Attach(socket);
  bool pumped = false;
  socket.OnChangeState = [&](TObject*, TSocketState, TSocketState newState) {
    if (newState != wsConnecting) return;
    pumped = RunLoopUntil([&] { return socket.State() != wsConnecting; });
  };
  AimThroughProxy(socket, proxy.Port(), "5", "localhost", "110");
  socket.Connect();
  ASSERT_TRUE(pumped);
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("SessionConnected(0)"); }));
  DrainMessages();
  EXPECT_THAT(log.Events, ElementsAre("SocksConnected(0)", "SessionConnected(0)"));
  CloseAndCheckProxy(socket, proxy);
}

// As on a direct connection, an exception from the application's OnSessionConnected goes to
// OnBgException and aborts the connection instead of vanishing inside the read loop.
TEST(SocksClientTest, ExceptionFromOnSessionConnectedAbortsTheConnection) {
  TScriptedPeer proxy;
  proxy.Expect(Bytes({5, 1, 0}))
      .Send(Bytes({5, 0}))
      .Expect(Socks5Request("localhost", 110))
      .Send(Socks5Ok)
      .ExpectEnd();
  TWSocket socket;
  std::string caught;
  socket.OnSessionConnected = [](TObject*, std::uint16_t) {
    throw ESocketException("handler failed");
  };
  socket.OnBgException = [&](TObject*, std::exception& e, bool&) { caught = e.what(); };
  AimThroughProxy(socket, proxy.Port(), "5", "localhost", "110");
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return proxy.Done(); }));
  EXPECT_EQ(caught, "handler failed");
  EXPECT_EQ(socket.State(), wsClosed);
  EXPECT_THAT(proxy.Failures(), IsEmpty());
}

// In line mode the bytes that rode behind the proxy's reply are framed like any others.
TEST(SocksClientTest, BytesBehindTheReplyComeAsLinesInLineMode) {
  TScriptedPeer proxy;
  proxy.Expect(Bytes({5, 1, 0}))
      .Send(Bytes({5, 0}))
      .Expect(Socks5Request("localhost", 110))
      .Send(Socks5Ok + "+OK one\r\n+OK tw")
      .Hold()
      .Send("o\r\n")
      .ExpectEnd();
  TWSocket socket;
  socket.SetLineMode(true);
  std::vector<std::string> lines;
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) {
    char buf[64];
    const int n = socket.Receive(buf, sizeof buf);
    if (n > 0) lines.emplace_back(buf, n);
  };
  AimThroughProxy(socket, proxy.Port(), "5", "localhost", "110");
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return !lines.empty() && proxy.Holding(); }));
  EXPECT_EQ(lines, std::vector<std::string>{"+OK one\r\n"});
  proxy.Release();
  ASSERT_TRUE(RunLoopUntil([&] { return lines.size() == 2; }));
  EXPECT_EQ(lines[1], "+OK two\r\n");
  EXPECT_EQ(socket.ReadCount(), 2 + 10 + 15 + 3);
  CloseAndCheckProxy(socket, proxy);
}

}  // namespace
