// The proxy settings: what the setters accept, what Connect and Listen refuse before anything
// is sent, the fixed 128-byte areas, and the reset that sends the next connection direct.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SocksEventLog.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const ESocketException& e) {
    return e.what();
  }
  return "(no exception)";
}

TEST(SocksSettingsTest, LevelPortAndServerValues) {
  TWSocket socket;
  EXPECT_EQ(socket.SocksLevel(), "5");
  socket.SetSocksLevel("4a");
  EXPECT_EQ(socket.SocksLevel(), "4A");
  for (const char* bad : {"6", "4 ", " 5", "4b", ""})
    EXPECT_EQ(ErrorOf([&] { socket.SetSocksLevel(bad); }),
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

TEST(SocksSettingsTest, OnlyTcpGoesThroughAProxyAndNothingListensThroughOne) {
  TWSocket socket;
  socket.SetAddr("localhost");
  socket.SetPort("110");
  socket.SetProto("udp");
  socket.SetSocksServer("127.0.0.1");
  socket.SetSocksPort("1080");
  EXPECT_EQ(ErrorOf([&] { socket.Connect(); }),
            "tcp is the only protocol supported thru socks server");
  EXPECT_EQ(socket.State(), wsClosed);
  socket.SetProto("tcp");
  socket.SetAddr("127.0.0.1");
  EXPECT_EQ(ErrorOf([&] { socket.Listen(); }), "listening is not supported thru socks server");
  EXPECT_EQ(socket.State(), wsClosed);
}

TEST(SocksSettingsTest, SettingsAreFrozenWhileConnected) {
  TScriptedPeer proxy;
  proxy.Expect(Bytes({5, 1, 0})).Hold().ExpectEnd();
  TWSocket socket;
  AimThroughProxy(socket, proxy.Port(), "5", "localhost", "110");
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return proxy.Holding(); }));
  EXPECT_EQ(ErrorOf([&] { socket.SetSocksLevel("4"); }), "Can't change socks level if not closed");
  EXPECT_EQ(ErrorOf([&] { socket.SetSocksPort("1"); }), "Can't change socks port if not closed");
  EXPECT_EQ(ErrorOf([&] { socket.SetSocksServer("x"); }),
            "Can't change socks server if not closed");
  EXPECT_EQ(socket.SocksLevel(), "5");
  EXPECT_EQ(socket.SocksPort(), proxy.Port());
  EXPECT_EQ(socket.SocksServer(), "127.0.0.1");
  // A second Connect is refused without disturbing the negotiation under way.
  EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "Connect: Socket already in use");
  socket.Close();
  proxy.Release();
  EXPECT_TRUE(RunLoopUntil([&] { return proxy.Done(); }));
  EXPECT_THAT(proxy.Failures(), IsEmpty());
}

// The requests are built in 128-byte areas: what fits goes out whole and exact, what does
// not is refused at Connect before any connection is made.
TEST(SocksSettingsTest, RequestsThatDoNotFitTheirAreaAreRefused) {
  TWSocket socket;
  auto connectWith = [&](const std::string& level, const std::string& addr, const std::string& user,
                         const std::string& pass, bool auth) {
    socket.SetSocksUsercode(user);
    socket.SetSocksPassword(pass);
    socket.SetSocksAuthentication(auth ? socksAuthenticateUsercode : socksNoAuthentication);
    AimThroughProxy(socket, "1", level, addr, "110");
    const std::string error = ErrorOf([&] { socket.Connect(); });
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

TEST(SocksSettingsTest, RequestsThatExactlyFillTheirAreaGoOutWhole) {
  const std::string user(119, 'u');
  const std::string host(121, 'h');
  TScriptedPeer proxy4;
  proxy4.Expect(Bytes({4, 1, 0, 110, 127, 0, 0, 1}) + user + Bytes({0}))
      .Send(Bytes({0, 90, 0, 0, 0, 0, 0, 0}))
      .ExpectEnd();
  TScriptedPeer proxy5;
  proxy5.Expect(Bytes({5, 1, 2}))
      .Send(Bytes({5, 2}))
      .Expect(Bytes({1, 60}) + std::string(60, 'u') + Bytes({65}) + std::string(65, 'p'))
      .Send(Bytes({1, 0}))
      .Expect(Bytes({5, 1, 0, 3, 121}) + host + Bytes({0, 110}))
      .Send(Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 1}))
      .ExpectEnd();
  TWSocket socket4, socket5;
  TSocksEventLog log4, log5;
  log4.Attach(socket4);
  log5.Attach(socket5);
  socket4.SetSocksUsercode(user);
  AimThroughProxy(socket4, proxy4.Port(), "4", "127.0.0.1", "110");
  socket5.SetSocksUsercode(std::string(60, 'u'));
  socket5.SetSocksPassword(std::string(65, 'p'));
  socket5.SetSocksAuthentication(socksAuthenticateUsercode);
  AimThroughProxy(socket5, proxy5.Port(), "5", host, "110");
  socket4.Connect();
  socket5.Connect();
  ASSERT_TRUE(RunLoopUntil(
      [&] { return log4.Has("SessionConnected(0)") && log5.Has("SessionConnected(0)"); }));
  socket4.Close();
  socket5.Close();
  EXPECT_TRUE(RunLoopUntil([&] { return proxy4.Done() && proxy5.Done(); }));
  EXPECT_THAT(proxy4.Failures(), IsEmpty());
  EXPECT_THAT(proxy5.Failures(), IsEmpty());
}

// The password may still change after Connect; if it no longer fits when the proxy asks for
// it, the negotiation fails cleanly instead of writing past the area.
TEST(SocksSettingsTest, PasswordGrownAfterConnectFailsTheNegotiation) {
  TScriptedPeer proxy;
  proxy.Expect(Bytes({5, 1, 2})).Send(Bytes({5, 2})).ExpectEnd();
  TWSocket socket;
  TSocksEventLog log;
  log.Attach(socket);
  socket.SetSocksUsercode("u");
  socket.SetSocksAuthentication(socksAuthenticateUsercode);
  AimThroughProxy(socket, proxy.Port(), "5", "localhost", "110");
  socket.Connect();
  socket.SetSocksPassword(std::string(300, 'p'));
  ASSERT_TRUE(RunLoopUntil([&] { return log.Count("SessionClosed") > 0 && proxy.Done(); }));
  EXPECT_THAT(log.Events, ElementsAre("SocksConnected(0)", "AuthState(0)", "AuthState(2)",
                                      "SocksError(20014,socks user name and password too long)",
                                      "SessionConnected(20014)", "SessionClosed(20014)"));
  EXPECT_THAT(proxy.Failures(), IsEmpty());
}

TEST(SocksSettingsTest, AfterACloseTheNextConnectGoesDirect) {
  TScriptedPeer proxy;
  proxy.Expect(Bytes({5, 1, 2}))
      .Send(Bytes({5, 0}))
      .Expect(Bytes({5, 1, 0, 3, 9}) + "localhost" + Bytes({0, 110}))
      .Send(Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 1}))
      .ExpectEnd();
  TWSocket socket;
  TSocksEventLog log;
  log.Attach(socket);
  socket.SetSocksUsercode("u");
  socket.SetSocksPassword("p");
  socket.SetSocksAuthentication(socksAuthenticateUsercode);
  AimThroughProxy(socket, proxy.Port(), "4a", "localhost", "110");
  socket.SetSocksLevel("5");
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("SessionConnected(0)"); }));
  socket.Close();
  EXPECT_TRUE(RunLoopUntil([&] { return proxy.Done(); }));
  EXPECT_THAT(proxy.Failures(), IsEmpty());
  EXPECT_EQ(socket.SocksServer(), "");
  EXPECT_EQ(socket.SocksPort(), "");
  EXPECT_EQ(socket.SocksLevel(), "5");
  EXPECT_EQ(socket.SocksUsercode(), "u");
  EXPECT_EQ(socket.SocksPassword(), "p");
  EXPECT_EQ(socket.SocksAuthentication(), socksAuthenticateUsercode);

  // A plain server speaks first: a SOCKS greeting reaching it would fail the script.
  TScriptedPeer server;
  server.Send("+OK direct\r\n").ExpectEnd();
  log = TSocksEventLog{};
  log.Attach(socket);
  socket.SetAddr("127.0.0.1");
  socket.SetPort(server.Port());
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Data == "+OK direct\r\n"; }));
  socket.Close();
  EXPECT_TRUE(RunLoopUntil([&] { return server.Done(); }));
  EXPECT_THAT(server.Failures(), IsEmpty());
  EXPECT_THAT(log.Events, ElementsAre("SessionConnected(0)", "SessionClosed(0)"));
}

// A Connect through a proxy that a guard refuses has already resolved the proxy; turning the
// proxy off afterwards must give an ordinary connection to the destination's own port.
TEST(SocksSettingsTest, ARefusedProxyConnectLeavesNothingBehind) {
  TScriptedPeer server;
  server.Send("+OK direct\r\n").ExpectEnd();
  TWSocket socket;
  TSocksEventLog log;
  log.Attach(socket);
  socket.SetPort(server.Port());
  socket.SetSocksServer("127.0.0.1");
  socket.SetSocksPort("1");
  EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "Connect: No IP Address Specified");
  socket.SetSocksServer("");
  socket.SetAddr("127.0.0.1");
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return log.Data == "+OK direct\r\n"; }));
  socket.Close();
  EXPECT_TRUE(RunLoopUntil([&] { return server.Done(); }));
  EXPECT_THAT(server.Failures(), IsEmpty());
  EXPECT_THAT(log.Events, ElementsAre("SessionConnected(0)", "SessionClosed(0)"));
}
}  // namespace
