// The proxy settings: what the setters accept, what Connect and Listen refuse before anything
// is sent, the fixed 128-byte areas, and the reset that sends the next connection direct.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SocketEventLog.h"
#include "SocksEventLog.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using SocksSettingsTest = SocksTest;

// Connects to a server the client is aimed at. A plain server speaks first: a SOCKS greeting
// reaching it would fail its script.
void ExpectDirectConnection(TSocksClient& client, TScriptedPeer& server) {
  server.Send("+OK direct\r\n").ExpectEnd();
  client.log = TSocksEventLog{};
  client.socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return client.log.Data == "+OK direct\r\n"; }));
  client.CloseAndCheck(server);
  EXPECT_THAT(client.log.Events, ElementsAre("SessionConnected(0)", "SessionClosed(0)"));
}

TEST_F(SocksSettingsTest, LevelPortAndServerValues) {
  EXPECT_EQ(socket.SocksLevel(), "5");
  socket.SetSocksLevel("4a");
  EXPECT_EQ(socket.SocksLevel(), "4A");
  for (const char* bad : {"6", "4 ", " 5", "4b", ""})
    EXPECT_EQ(ExceptionText([&] { socket.SetSocksLevel(bad); }),
              "Invalid socks level. Must be 4, 4A or 5.")
        << bad;
  EXPECT_EQ(socket.SocksLevel(), "4A");
  socket.SetSocksServer(" proxy.example ");
  socket.SetSocksPort("\t1080 ");
  EXPECT_EQ(socket.SocksServer(), "proxy.example");
  EXPECT_EQ(socket.SocksPort(), "1080");

  // With OnError assigned the refusal is an event and nothing changes.
  int errors = 0;
  socket.OnError = [&](TObject*) { ++errors; };
  socket.SetSocksLevel("6");
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(socket.SocksLevel(), "4A");
}

TEST_F(SocksSettingsTest, OnlyTcpGoesThroughAProxyAndNothingListensThroughOne) {
  socket.SetAddr("localhost");
  socket.SetPort("110");
  socket.SetProto("udp");
  socket.SetSocksServer("127.0.0.1");
  socket.SetSocksPort("1080");
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }),
            "tcp is the only protocol supported thru socks server");
  EXPECT_EQ(socket.State(), wsClosed);
  socket.SetProto("tcp");
  socket.SetAddr("127.0.0.1");
  EXPECT_EQ(ExceptionText([&] { socket.Listen(); }),
            "listening is not supported thru socks server");
  EXPECT_EQ(socket.State(), wsClosed);
}

TEST_F(SocksSettingsTest, SettingsAreFrozenWhileConnected) {
  TScriptedPeer proxy;
  proxy.Expect(Socks5Greeting).Hold().ExpectEnd();
  Through(proxy.Port());
  ASSERT_TRUE(RunLoopUntil([&] { return proxy.Holding(); }));
  EXPECT_EQ(ExceptionText([&] { socket.SetSocksLevel("4"); }),
            "Can't change socks level if not closed");
  EXPECT_EQ(ExceptionText([&] { socket.SetSocksPort("1"); }),
            "Can't change socks port if not closed");
  EXPECT_EQ(ExceptionText([&] { socket.SetSocksServer("x"); }),
            "Can't change socks server if not closed");
  EXPECT_EQ(socket.SocksLevel(), "5");
  EXPECT_EQ(socket.SocksPort(), proxy.Port());
  EXPECT_EQ(socket.SocksServer(), "127.0.0.1");
  // A second Connect is refused without disturbing the negotiation under way.
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }), "Connect: Socket already in use");
  socket.Close();
  proxy.Release();
  EXPECT_TRUE(RunLoopUntil([&] { return proxy.Done(); }));
  EXPECT_THAT(proxy.Failures(), IsEmpty());
}

// The requests are built in 128-byte areas: what fits goes out whole and exact, what does
// not is refused at Connect before any connection is made.
TEST_F(SocksSettingsTest, RequestsThatDoNotFitTheirAreaAreRefused) {
  auto connectWith = [&](const std::string& level, const std::string& addr, const std::string& user,
                         const std::string& pass, bool auth) {
    socket.SetSocksUsercode(user);
    socket.SetSocksPassword(pass);
    socket.SetSocksAuthentication(auth ? socksAuthenticateUsercode : socksNoAuthentication);
    AimThroughProxy(socket, "1", level, addr, "110");
    const std::string error = ExceptionText([&] { socket.Connect(); });
    EXPECT_EQ(socket.State(), wsClosed);
    return error;
  };
  EXPECT_EQ(connectWith("4", "127.0.0.1", std::string(120, 'u'), "", false),
            "socks user code too long");
  EXPECT_EQ(connectWith("4A", "localhost", std::string(110, 'u'), "", false),
            "socks user code and host name too long");
  EXPECT_EQ(connectWith("5", std::string(122, 'h'), "", "", false), "socks host name too long");
  EXPECT_EQ(connectWith("5", "localhost", std::string(60, 'u'), std::string(66, 'p'), true),
            "socks user name and password too long");
}

// The password may still change after Connect; if it no longer fits when the proxy asks for
// it, the negotiation fails cleanly instead of writing past the area.
TEST_F(SocksSettingsTest, PasswordGrownAfterConnectFailsTheNegotiation) {
  TScriptedPeer proxy;
  proxy.Expect(Socks5GreetingUserPass).Send(Bytes({5, 2})).ExpectEnd();
  socket.SetSocksUsercode("u");
  socket.SetSocksAuthentication(socksAuthenticateUsercode);
  Through(proxy.Port());
  socket.SetSocksPassword(std::string(300, 'p'));
  ASSERT_TRUE(RunLoopUntil([&] { return log.Count("SessionClosed") > 0 && proxy.Done(); }));
  EXPECT_THAT(log.Events, ElementsAre("SocksConnected(0)", "AuthState(0)", "AuthState(2)",
                                      "SocksError(20014,socks user name and password too long)",
                                      "SessionConnected(20014)", "SessionClosed(20014)"));
  EXPECT_THAT(proxy.Failures(), IsEmpty());
}

TEST_F(SocksSettingsTest, AfterACloseTheNextConnectGoesDirect) {
  TScriptedPeer proxy;
  proxy.Expect(Socks5GreetingUserPass)
      .Send(Bytes({5, 0}))
      .Expect(Socks5Request("localhost", 110))
      .Send(Socks5Ok)
      .ExpectEnd();
  OfferUserPass("u", "p");
  AimThroughProxy(socket, proxy.Port(), "4a", "localhost", "110");
  socket.SetSocksLevel("5");
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("SessionConnected(0)"); }));
  CloseAndCheck(proxy);
  EXPECT_EQ(socket.SocksServer(), "");
  EXPECT_EQ(socket.SocksPort(), "");
  EXPECT_EQ(socket.SocksLevel(), "5");
  EXPECT_EQ(socket.SocksUsercode(), "u");
  EXPECT_EQ(socket.SocksPassword(), "p");
  EXPECT_EQ(socket.SocksAuthentication(), socksAuthenticateUsercode);
  TScriptedPeer server;
  AimAt(socket, server.Port());
  ExpectDirectConnection(*this, server);
}

// A Connect through a proxy that a guard refuses has already resolved the proxy; turning the
// proxy off afterwards must give an ordinary connection to the destination's own port.
TEST_F(SocksSettingsTest, ARefusedProxyConnectLeavesNothingBehind) {
  TScriptedPeer server;
  socket.SetPort(server.Port());
  socket.SetSocksServer("127.0.0.1");
  socket.SetSocksPort("1");
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }), "Connect: No IP Address Specified");
  socket.SetSocksServer("");
  socket.SetAddr("127.0.0.1");
  ExpectDirectConnection(*this, server);
}
}  // namespace
